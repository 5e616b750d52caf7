#include "platform/workspace/RunningApplications.hpp"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <filesystem>

namespace tidemark {
namespace {

namespace fs = std::filesystem;

// Each test puts the fake application (and sometimes the launcher) into a folder of its
// own, runs the launcher as login would, and ends whatever it started.
class LauncherTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        root = fs::path(m_dir.path().toStdString());
        programs = root / "Login Items";
        fs::create_directories(programs);
        application = programs / "tidemark";
        fs::copy_file(TIDEMARK_FAKE_APPLICATION_PATH, application);
        record = root / "starts";
    }

    void TearDown() override
    {
        for (const auto& running : runningApplications(application, "/proc"))
            ::kill(running.processIdentifier, SIGTERM);
    }

    struct Run {
        int exitCode;
        QString errors;
    };

    Run runLauncher(const fs::path& launcher, bool pointAtApplication)
    {
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TIDEMARK_FAKE_RECORD", QString::fromStdString(record.string()));
        if (pointAtApplication)
            environment.insert(
                "TIDEMARK_APPLICATION", QString::fromStdString(application.string()));
        else
            environment.remove("TIDEMARK_APPLICATION");
        process.setProcessEnvironment(environment);
        process.start(QString::fromStdString(launcher.string()), {});
        if (!process.waitForFinished(30000))
            return { -1, "the launcher did not end" };
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardError()) };
    }

    QStringList recordedStarts() const
    {
        QFile file(QString::fromStdString(record.string()));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    fs::path root;
    fs::path programs;
    fs::path application;
    fs::path record;
};

TEST_F(LauncherTest, startedTwiceOpensTheApplicationOnceAndEnds)
{
    auto first = runLauncher(TIDEMARK_LAUNCHER_PATH, true);
    EXPECT_EQ(first.exitCode, 0) << first.errors.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recordedStarts().isEmpty(); }, 10000));

    auto second = runLauncher(TIDEMARK_LAUNCHER_PATH, true);
    EXPECT_EQ(second.exitCode, 0) << second.errors.toStdString();

    // The launcher has ended, so any application it started has been executed by now.
    EXPECT_EQ(runningApplications(application, "/proc").size(), 1u);
    auto starts = recordedStarts();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_TRUE(starts[0].endsWith(" --launched-at-login")) << starts[0].toStdString();
}

TEST_F(LauncherTest, findsTheApplicationBesideItself)
{
    auto launcher = programs / "tidemark-launcher";
    fs::copy_file(TIDEMARK_LAUNCHER_PATH, launcher);
    auto run = runLauncher(launcher, false);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recordedStarts().isEmpty(); }, 10000));
    EXPECT_EQ(runningApplications(application, "/proc").size(), 1u);
}

TEST_F(LauncherTest, findsTheApplicationWhereTheInstallationPutsIt)
{
    // As installed: the launcher in <prefix>/libexec, the application in <prefix>/bin.
    auto prefix = root / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "libexec");
    application = prefix / "bin" / "tidemark";
    fs::copy_file(TIDEMARK_FAKE_APPLICATION_PATH, application);
    auto launcher = prefix / "libexec" / "tidemark-launcher";
    fs::copy_file(TIDEMARK_LAUNCHER_PATH, launcher);

    auto run = runLauncher(launcher, false);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recordedStarts().isEmpty(); }, 10000));
    EXPECT_EQ(runningApplications(application, "/proc").size(), 1u);
}

TEST_F(LauncherTest, aMissingApplicationIsReportedNotOpened)
{
    fs::remove(application);
    auto run = runLauncher(TIDEMARK_LAUNCHER_PATH, true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("not found")) << run.errors.toStdString();
    EXPECT_TRUE(recordedStarts().isEmpty());
}

} // namespace
} // namespace tidemark
