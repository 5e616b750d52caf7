#include "platform/usernotifications/StateFile.hpp"

#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>

namespace tidemark {
namespace {

class StateFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string path(const char* name = "state.json") const
    {
        return QDir(m_dir.path()).filePath(name).toStdString();
    }

    std::vector<std::string> fileNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.path().toStdString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    static unsigned modeOf(const std::string& path)
    {
        struct stat status { };
        return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }

    QTemporaryDir m_dir;
};

TEST_F(StateFileTest, keepsTheModeOfTheFileItReplacesAndMakesNewOnesPrivate)
{
    const StateFile file(path());
    ASSERT_EQ(file.save({ { "n", 1 } }), "");
    EXPECT_EQ(modeOf(file.path()), 0600u);

    ASSERT_EQ(::chmod(file.path().c_str(), 0640), 0);
    ASSERT_EQ(file.save({ { "n", 2 } }), "");
    EXPECT_EQ(modeOf(file.path()), 0640u);
    EXPECT_EQ(file.load().document, nlohmann::json({ { "n", 2 } }));
    // No temporary file is left behind.
    EXPECT_THAT(fileNames(), testing::ElementsAre("state.json"));
}

// Two writers of one file (two centres, or two runs of the program): each write lands
// whole, and a reader meanwhile sees one whole document or the other.
TEST_F(StateFileTest, twoWritersRacingLeaveOneWholeDocument)
{
    const auto document = [](const std::string& writer) {
        return nlohmann::json { { "writer", writer }, { "padding", std::string(64 * 1024, 'x') } };
    };
    const std::vector<nlohmann::json> documents { document("a"), document("b") };
    ASSERT_EQ(StateFile(path()).save(documents[0]), "");

    constexpr int writes = 60;
    std::atomic<bool> writing = true;
    std::vector<std::string> problems[2];
    std::vector<std::jthread> writers;
    for (int w = 0; w < 2; ++w) {
        writers.emplace_back([&, w] {
            const StateFile file(path());
            for (int i = 0; i < writes; ++i) {
                if (auto problem = file.save(documents[w]); !problem.empty())
                    problems[w].push_back(problem);
            }
        });
    }
    int torn = 0;
    std::jthread reader([&] {
        const StateFile file(path());
        while (writing) {
            const auto loaded = file.load();
            if (!loaded.document
                || (*loaded.document != documents[0] && *loaded.document != documents[1]))
                ++torn;
        }
    });
    writers.clear();
    writing = false;
    reader.join();

    EXPECT_THAT(problems[0], testing::IsEmpty());
    EXPECT_THAT(problems[1], testing::IsEmpty());
    EXPECT_EQ(torn, 0);
    EXPECT_THAT(fileNames(), testing::ElementsAre("state.json"));
}

TEST_F(StateFileTest, anUnreadableFileIsSetAsideNeverOverAnEarlierOne)
{
    const StateFile file(path());
    std::vector<std::string> asides;
    for (const char* text : { "{ first", "{ second" }) {
        {
            std::ofstream out(file.path(), std::ios::binary);
            out << text;
        }
        const auto loaded = file.load();
        EXPECT_FALSE(loaded.document);
        EXPECT_FALSE(loaded.problem.empty());
        std::string problem;
        asides.push_back(file.moveAside(problem));
        ASSERT_FALSE(asides.back().empty()) << problem;
        EXPECT_THAT(asides.back(), testing::EndsWith(".unreadable"));
        EXPECT_EQ(read(asides.back()), text);
    }
    EXPECT_NE(asides[0], asides[1]);
    EXPECT_EQ(read(asides[0]), "{ first");
    EXPECT_FALSE(std::filesystem::exists(file.path()));

    // A copy leaves the file in place and also never replaces an earlier one.
    ASSERT_EQ(file.save({ { "kept", true } }), "");
    std::string problem;
    const auto copy = file.copyAside("{ third", problem);
    ASSERT_FALSE(copy.empty()) << problem;
    EXPECT_EQ(read(copy), "{ third");
    EXPECT_EQ(read(asides[0]), "{ first");
    EXPECT_EQ(read(asides[1]), "{ second");
    EXPECT_EQ(file.load().document, nlohmann::json({ { "kept", true } }));
}

// The writer runs on a thread of its own: anything thrown there would end the process.
TEST_F(StateFileTest, theWriterSurvivesTextThatIsNotUtf8AndAnEncoderThatThrows)
{
    std::vector<std::string> problems;
    std::mutex mutex;
    StateFileWriter writer(StateFile(path()), [&](const std::string& problem) {
        std::lock_guard lock(mutex);
        problems.push_back(problem);
    });

    writer.post([] { return nlohmann::json { { "title", "Caf\xE9" } }; });
    writer.waitUntilWritten();
    EXPECT_EQ(
        StateFile(path()).load().document, nlohmann::json({ { "title", "Caf\xEF\xBF\xBD" } }));

    writer.post([]() -> nlohmann::json { throw std::runtime_error("no memory left"); });
    writer.waitUntilWritten();
    writer.post([] { return nlohmann::json { { "title", "Tea" } }; });
    writer.waitUntilWritten();

    std::lock_guard lock(mutex);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], "");
    EXPECT_THAT(problems[1], testing::HasSubstr("no memory left"));
    EXPECT_EQ(problems[2], "");
    EXPECT_EQ(StateFile(path()).load().document, nlohmann::json({ { "title", "Tea" } }));
}

} // namespace
} // namespace tidemark
