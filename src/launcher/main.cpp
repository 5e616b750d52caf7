// The login helper: started at login, it opens Tidemark unless it is already running, and
// then ends.
//
// Tidemark is the program "tidemark" in the bin/ beside this program's libexec/ (or beside
// this program, as in the build tree), or the one TIDEMARK_APPLICATION names. Exit status:
// 0 when Tidemark was opened or already runs, 1 when it could not be opened (the reason
// goes to standard error).

#include "platform/loginitems/InstallLayout.hpp"
#include "platform/loginitems/LoginItems.hpp"
#include "platform/workspace/RunningApplications.hpp"
#include "platform/workspace/Workspace.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path applicationExecutable()
{
    if (const char* overridden = std::getenv("TIDEMARK_APPLICATION"); overridden && *overridden)
        return overridden;
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "tidemark";
    return tidemark::companionProgram(self, tidemark::applicationFromLauncher);
}

} // namespace

int main()
{
    auto application = applicationExecutable();
    if (tidemark::isRunningForCurrentUser(application))
        return EXIT_SUCCESS;
    std::error_code error;
    if (!std::filesystem::is_regular_file(application, error)) {
        std::fprintf(
            stderr, "tidemark-launcher: Tidemark was not found at %s\n", application.c_str());
        return EXIT_FAILURE;
    }
    // The start is a start at login, so Tidemark does not open its panel over the desktop.
    tidemark::SystemProcessLauncher launcher;
    auto started = launcher.startDetached(application, { tidemark::launchedAtLoginArgument });
    if (!started.isSuccess()) {
        std::fprintf(stderr, "tidemark-launcher: %s\n", started.error().message.c_str());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
