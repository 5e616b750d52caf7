// tidemark-previews: renders the registered states of the application's views to PNG files
// (device pixel ratios 1 and 2) and an index.html gallery that shows them all.
//
//   tidemark-previews [--output <folder>]      (default: ./previews)

#include "entry/views/EntryPreviews.hpp"
#include "entry/views/ScrollEntryPreviews.hpp"
#include "menubar/views/MenubarPreviews.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "menubar/views/PopoverPreviews.hpp"
#include "notifications/views/NotificationSettingsPreviews.hpp"
#include "onboarding/views/DragDemonstrationView.hpp"
#include "onboarding/views/OnboardingPreviews.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "previews/Gallery.hpp"
#include "reminders/views/SyncSettingsPreviews.hpp"
#include "settings/views/SettingsPreviews.hpp"
#include "toolkit/Previews.hpp"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The offscreen platform says, for every window whose minimum size a layout sets, that it
// cannot pass size hints on; nothing here needs them.
void dropSizeHintNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv)
{
    std::string output = "previews";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: %s [--output <folder>]\nRenders every registered view state to "
                        "PNG files and <folder>/index.html (default folder: ./previews).\n",
                argv[0]);
            return 0;
        } else {
            std::fprintf(stderr, "%s: unknown argument \"%s\" (try --help)\n", argv[0], argv[i]);
            return 2;
        }
    }
    // The previews are drawn, never shown: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropSizeHintNotices);
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Views bound to stores take their states through the main queue.
    tidemark::rx::QtMainQueue mainQueue;
    tidemark::rx::setMainQueue(&mainQueue);

    // As in the application: the popover's empty view shows the drag demonstration.
    tidemark::setPopoverEmptyDemonstrationFactory(tidemark::makePopoverDragDemonstration);

    tidemark::PreviewRegistry registry;
    // Each library with views adds its states here.
    tidemark::registerToolkitPreviews(registry);
    tidemark::registerOnboardingPreviews(registry);
    tidemark::registerPopoverPreviews(registry);
    tidemark::registerMenubarPreviews(registry);
    tidemark::registerNotificationSettingsPreviews(registry);
    tidemark::registerSyncSettingsPreviews(registry);
    tidemark::registerEntryPreviews(registry);
    tidemark::registerScrollEntryPreviews(registry);
    tidemark::registerSettingsPreviews(registry);

    const auto result = tidemark::previews::writeGallery(registry, output);
    tidemark::rx::setMainQueue(nullptr);
    for (const std::string& problem : result.problems)
        std::fprintf(stderr, "%s\n", problem.c_str());
    std::printf("%d images and %s/index.html written\n", result.images, output.c_str());
    return result.problems.empty() ? 0 : 1;
}
