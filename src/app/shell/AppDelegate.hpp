#pragma once

#include "app/shell/AppModel.hpp"
#include "platform/ui/Application.hpp"

#include <optional>
#include <string>

namespace tidemark {

// The application's delegate: holds the model for the life of the process and makes the
// start-up dispatches.
class AppDelegate final : public ApplicationDelegate {
public:
    explicit AppDelegate(AppModelEnvironment environment = AppModelEnvironment::standard());

    AppModel& model() { return m_model; }

    // Asks for the stored settings and attaches the notification delegate.
    void applicationWillFinishLaunching() override;
    // Hands the main store to the windows store, puts the status item into the bar and
    // records whether the start came from the autostart entry.
    void applicationDidFinishLaunching() override;
    // Closes the windows and status items.
    void applicationWillTerminate() override;
    // Another start of the program found this one running and asked it to show itself: the
    // popover opens as a click on the status item opens it, and the application comes
    // forward.
    void showForAnotherStart();

private:
    AppModel m_model;
};

// Which application the entry point runs.
enum class ApplicationKind {
    // The whole application.
    main,
    // Nothing at all: no model, store, service, status item or window, for previews and
    // test harnesses that load the program.
    empty,
};

// The variable that, set to exactly "1", makes the program start empty.
inline constexpr const char* previewsVariable = "TIDEMARK_RUNNING_FOR_PREVIEWS";

ApplicationKind applicationKindFor(
    bool testHarnessPresent, const std::optional<std::string>& previewsValue);

// The variable that, set to exactly "1", puts the scroll entry's item in the status bar
// beside the status item (the program takes no command-line arguments).
inline constexpr const char* scrollEntryVariable = "TIDEMARK_SCROLL_ENTRY";
bool scrollEntryRequested(const std::string& value);

// The variable that, set to "1", makes the program report and quit once its status item is
// on screen: the start-up benchmark's end mark.
inline constexpr const char* exitWhenShownVariable = "TIDEMARK_EXIT_WHEN_SHOWN";

// The program: chooses the application, runs it and returns the exit status (0 once the run
// ends; 1 when there is no display to run on). One instance runs per user session: a start
// that finds one running asks it to show itself and returns 0 at once, before it reads or
// writes anything of the user's (1 when the running one does not answer).
int runAppEntryPoint(int argc, char** argv);

} // namespace tidemark
