#include "platform/workspace/Workspace.hpp"
#include "platform/workspace/RunningApplications.hpp"
#include "platform/workspace/SystemInformation.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace tidemark {
namespace {

namespace fs = std::filesystem;

// Knows the programs it is told of, records every start and starts nothing.
class RecordingLauncher : public ProcessLauncher {
public:
    struct Start {
        fs::path program;
        std::vector<std::string> arguments;
        bool operator==(const Start&) const = default;
    };

    std::set<std::string> installed;
    std::set<std::string> failing;
    std::vector<Start> starts;

    std::optional<fs::path> findExecutable(const std::string& name) const override
    {
        if (!installed.count(name))
            return std::nullopt;
        return fs::path("/usr/bin") / name;
    }
    rx::Result<int, WorkspaceError> startDetached(
        const fs::path& program, const std::vector<std::string>& arguments) override
    {
        if (failing.count(program.filename().string()))
            return rx::Result<int, WorkspaceError>::failure(
                { "Could not start " + program.string() });
        starts.push_back({ program, arguments });
        return rx::Result<int, WorkspaceError>::success(4242);
    }
};

class MailTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        auto folder = fs::path(m_dir.path().toStdString()) / "Documents and more";
        fs::create_directories(folder);
        logs = folder / "logs";
        settings = folder / "settings";
        std::ofstream(logs) << "line";
        std::ofstream(settings) << "Settings: …";
        message = { { "bugs@tidemark.app" }, "Bug report", "Body text\n\n---", { logs, settings } };
    }

    QTemporaryDir m_dir;
    fs::path logs;
    fs::path settings;
    MailMessage message;
    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    Workspace workspace { launcher };
};

TEST_F(MailTest, xdgEmailGetsEveryAttachmentInOrder)
{
    launcher->installed = { "xdg-email", "xdg-open" };
    auto result = workspace.composeEmail(message);
    ASSERT_TRUE(result.isSuccess());
    EXPECT_EQ(result.value(), MailComposition::withAttachments);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0],
        (RecordingLauncher::Start { "/usr/bin/xdg-email",
            { "--utf8", "--subject", "Bug report", "--body", "Body text\n\n---", "--attach",
                logs.string(), "--attach", settings.string(), "bugs@tidemark.app" } }));
}

TEST_F(MailTest, fallsBackToAMailtoAddressWithoutAttachments)
{
    struct Case {
        const char* name;
        std::set<std::string> installed;
        std::set<std::string> failing;
    };
    const Case cases[] = {
        { "no xdg-email", { "xdg-open" }, {} },
        { "xdg-email does not start", { "xdg-email", "xdg-open" }, { "xdg-email" } },
    };
    for (const auto& c : cases) {
        launcher->installed = c.installed;
        launcher->failing = c.failing;
        launcher->starts.clear();
        auto result = workspace.composeEmail(message);
        ASSERT_TRUE(result.isSuccess()) << c.name;
        EXPECT_EQ(result.value(), MailComposition::mailtoWithoutAttachments) << c.name;
        ASSERT_EQ(launcher->starts.size(), 1u) << c.name;
        EXPECT_EQ(launcher->starts[0],
            (RecordingLauncher::Start { "/usr/bin/xdg-open",
                { "mailto:bugs@tidemark.app?subject=Bug%20report&body=Body%20text%0D%0A%0D%0A--"
                  "-" } }))
            << c.name;
    }
}

TEST_F(MailTest, failuresAreReportedAndNothingIsOpened)
{
    struct Case {
        const char* name;
        std::set<std::string> installed;
        std::set<std::string> failing;
        MailMessage message;
    };
    auto with = [&](auto change) {
        auto m = message;
        change(m);
        return m;
    };
    const Case cases[] = {
        { "no mail program at all", {}, {}, message },
        { "neither starts", { "xdg-email", "xdg-open" }, { "xdg-email", "xdg-open" }, message },
        { "recipient looks like an option", { "xdg-email" }, {},
            with([](MailMessage& m) { m.recipients = { "--help@x" }; }) },
        { "two recipients in one", { "xdg-email" }, {},
            with([](MailMessage& m) { m.recipients = { "a@x.org,b@y.org" }; }) },
        { "recipient with a header", { "xdg-email" }, {},
            with([](MailMessage& m) { m.recipients = { "a@x.org?bcc=c@z.org" }; }) },
        { "missing attachment", { "xdg-email" }, {},
            with([&](MailMessage& m) { m.attachments.push_back(logs.parent_path() / "gone"); }) },
    };
    for (const auto& c : cases) {
        launcher->installed = c.installed;
        launcher->failing = c.failing;
        launcher->starts.clear();
        auto result = workspace.composeEmail(c.message);
        EXPECT_FALSE(result.isSuccess()) << c.name;
        if (!result.isSuccess()) {
            EXPECT_FALSE(result.error().message.empty()) << c.name;
        }
        EXPECT_TRUE(launcher->starts.empty()) << c.name;
    }
    launcher->installed = {};
    EXPECT_FALSE(workspace.canComposeEmail());
    launcher->installed = { "xdg-open" };
    EXPECT_TRUE(workspace.canComposeEmail());
}

TEST(MailtoTest, encodesEveryPartSoItArrivesUnchanged)
{
    MailMessage message { { "feedback@tidemark.app", "x+y@tidemark.app" }, "Tidemark & you?",
        "\n\n---\r\nTidemark 1.2 (34)\nLinux = é #1", {} };
    EXPECT_EQ(mailtoAddress(message),
        "mailto:feedback@tidemark.app,x%2By@tidemark.app?subject=Tidemark%20%26%20you%3F"
        "&body=%0D%0A%0D%0A---%0D%0ATidemark%201.2%20%2834%29%0D%0ALinux%20%3D%20%C3%A9%20%231");
    EXPECT_EQ(mailtoAddress({ { "a@b.org" }, "", "", {} }), "mailto:a@b.org");
}

TEST(OpenUrlTest, opensValidAddressesThroughXdgOpenAndRefusesTheRest)
{
    auto launcher = std::make_shared<RecordingLauncher>();
    Workspace workspace(launcher);
    EXPECT_FALSE(workspace.openUrl("https://tidemark.app/help").isSuccess()); // no xdg-open
    launcher->installed = { "xdg-open" };
    EXPECT_TRUE(workspace.openUrl("https://tidemark.app/help").isSuccess());
    EXPECT_FALSE(workspace.openUrl("not an address").isSuccess());
    EXPECT_FALSE(workspace.openUrl("").isSuccess());
    EXPECT_FALSE(workspace.openUrl("-oProxyCommand=x").isSuccess());
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(
        launcher->starts[0].arguments, std::vector<std::string> { "https://tidemark.app/help" });
}

TEST(RunningApplicationsTest, findsProgramsByExecutableInAProcTree)
{
    QTemporaryDir dir;
    auto root = fs::path(dir.path().toStdString());
    auto proc = root / "proc";
    auto app = root / "Apps With Blanks" / "tidemark";
    fs::create_directories(app.parent_path());
    std::ofstream(app) << "";
    fs::create_symlink(app, root / "linked-tidemark");
    auto process = [&](const std::string& pid, const std::string& exe) {
        fs::create_directories(proc / pid);
        if (!exe.empty())
            fs::create_symlink(exe, proc / pid / "exe");
    };
    process("12", "/usr/bin/bash");
    process("345", app.string());
    process("678", app.string() + " (deleted)"); // replaced on disk while it runs
    process("901", ""); // a kernel thread or a hidden process
    process("self", app.string()); // not a process directory
    fs::create_directories(proc / "sys");

    std::vector<int> pids;
    for (const auto& application : runningApplications(root / "linked-tidemark", proc))
        pids.push_back(application.processIdentifier);
    EXPECT_EQ(pids, (std::vector<int> { 345, 678 }));
    EXPECT_TRUE(isRunningForCurrentUser(app, proc));
    EXPECT_FALSE(isRunningForCurrentUser(root / "other", proc));
    EXPECT_TRUE(runningApplications(app, root / "no-proc").empty());

    // This very test, in the system's own table.
    auto self = fs::read_symlink("/proc/self/exe");
    bool found = false;
    for (const auto& application : runningApplications(self, "/proc"))
        found = found || application.processIdentifier == ::getpid();
    EXPECT_TRUE(found);
}

TEST(SystemInformationTest, namesTheKernel)
{
    EXPECT_NE(operatingSystemVersionString().find("(linux "), std::string::npos);
}

} // namespace
} // namespace tidemark
