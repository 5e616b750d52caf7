#include "platform/foundation/UserDefaults.hpp"
#include "platform/foundation/Uuid.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream file(path);
    std::stringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// While it lives, no file of this process may grow past `bytes`: a write beyond fails with
// EFBIG, as on a full disk, for root as well (the signal that would end the process is
// ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &m_saved), 0);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = SIG_DFL;
};

bool runsAsRoot()
{
    return ::geteuid() == 0;
}

class UserDefaultsTest : public testing::Test {
protected:
    QTemporaryDir temporary;
    fs::path folder = fs::path(temporary.path().toStdString()) / "tidemark";
};

TEST_F(UserDefaultsTest, RoundTripKeepsTheKindOfEveryValue)
{
    const nlohmann::json nested = { { "countdownIsEnabled", true },
        { "progressBar", { { "opacity", 0.5 }, { "isEnabled", false } } } };
    {
        auto defaults = UserDefaults::suite("com.example.settings", folder);
        EXPECT_TRUE(defaults->set(3, "count"));
        EXPECT_TRUE(defaults->set(2.0, "ratio"));
        EXPECT_TRUE(defaults->set(true, "flag"));
        EXPECT_TRUE(defaults->set("text", "name"));
        EXPECT_TRUE(defaults->set(nested, "menubar"));
        EXPECT_TRUE(defaults->set(nullptr, "nothing"));
    }
    // A fresh object reads the file again.
    auto reread = UserDefaults::suite("com.example.settings", folder);
    EXPECT_TRUE(reread->object("count")->is_number_integer());
    EXPECT_TRUE(reread->object("ratio")->is_number_float());
    EXPECT_TRUE(reread->object("flag")->is_boolean());
    EXPECT_EQ(reread->object("menubar"), nested);
    EXPECT_TRUE(reread->object("nothing")->is_null());
    EXPECT_EQ(reread->integer("count"), 3);
    EXPECT_EQ(reread->doubleValue("ratio"), 2.0);
    EXPECT_TRUE(reread->boolean("flag"));
    EXPECT_EQ(reread->string("name"), "text");
    EXPECT_EQ(reread->string("count"), std::nullopt);
    EXPECT_FALSE(reread->boolean("count")); // numbers are not Booleans
    EXPECT_TRUE(reread->errors().empty());

    EXPECT_TRUE(reread->removeObject("count"));
    EXPECT_FALSE(UserDefaults::suite("com.example.settings", folder)->object("count").has_value());
    EXPECT_TRUE(reread->removePersistentDomain());
    EXPECT_FALSE(fs::exists(folder / "com.example.settings.json"));
}

TEST_F(UserDefaultsTest, RegisteredValuesAnswerAfterStoredOnes)
{
    auto defaults = UserDefaults::inMemory(Uuid::make());
    EXPECT_FALSE(defaults->object("a").has_value());
    defaults->registerDefaults({ { "a", 1 }, { "b", { { "x", 1 } } } });
    EXPECT_EQ(defaults->integer("a"), 1);
    defaults->set(2, "a");
    EXPECT_EQ(defaults->integer("a"), 2);
    EXPECT_EQ(defaults->persistentDomain(), (nlohmann::json { { "a", 2 } }));
    EXPECT_EQ(defaults->dictionaryRepresentation(),
        (nlohmann::json { { "a", 2 }, { "b", { { "x", 1 } } } }));
    defaults->removeObject("a");
    EXPECT_EQ(defaults->integer("a"), 1);
    EXPECT_EQ(defaults->path(), std::nullopt);

    // Separate throw-away suites see nothing of each other; the same name is the same object.
    auto other = UserDefaults::inMemory(Uuid::make());
    EXPECT_FALSE(other->object("a").has_value());
    const auto name = Uuid::make();
    EXPECT_EQ(UserDefaults::inMemory(name).get(), UserDefaults::inMemory(name).get());
}

TEST_F(UserDefaultsTest, WritesAreAtomicAndLeaveNoTemporaryFile)
{
    auto defaults = UserDefaults::suite("domain", folder);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(defaults->set(i, "value"));
    EXPECT_EQ(filesIn(folder), (std::vector<std::string> { "domain.json" }));
    EXPECT_EQ(nlohmann::json::parse(readFile(folder / "domain.json")),
        (nlohmann::json { { "value", 4 } }));
    struct stat info { };
    ASSERT_EQ(::stat((folder / "domain.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u); // the user's alone

    // A failing write keeps the old file whole and reports the failure.
    struct Failure {
        const char* name;
        bool needsNonRoot; // root writes into any folder
        std::function<bool()> write;
    };
    const Failure failures[] = {
        { "a full disk", false,
            [&] {
                const FileSizeLimit full(0);
                return defaults->set(99, "value");
            } },
        { "a folder without write permission", true,
            [&] {
                fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
                const bool written = defaults->set(99, "value");
                fs::permissions(folder, fs::perms::owner_all);
                return written;
            } },
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        if (failure.needsNonRoot && runsAsRoot())
            continue;
        EXPECT_FALSE(failure.write());
        ASSERT_TRUE(defaults->lastError().has_value());
        EXPECT_EQ(defaults->lastError()->kind, UserDefaultsError::Kind::writeFailed);
        EXPECT_EQ(nlohmann::json::parse(readFile(folder / "domain.json")),
            (nlohmann::json { { "value", 4 } }));
        EXPECT_EQ(filesIn(folder), (std::vector<std::string> { "domain.json" }));
    }
}

TEST_F(UserDefaultsTest, NonFiniteNumbersAreRefused)
{
    auto defaults = UserDefaults::suite("numbers", folder);
    EXPECT_FALSE(defaults->set(NAN, "x"));
    EXPECT_FALSE(defaults->set(nlohmann::json { { "inner", INFINITY } }, "y"));
    EXPECT_FALSE(defaults->object("x").has_value());
    EXPECT_EQ(defaults->lastError()->kind, UserDefaultsError::Kind::invalidValue);
}

TEST_F(UserDefaultsTest, ACorruptFileIsMovedAsideAndReported)
{
    const std::string corrupt[] = { "{\"settings\": {\"a\": 1", "[1, 2, 3]", "" };
    for (const auto& contents : corrupt) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::ofstream(folder / "domain.json") << contents;
        auto defaults = UserDefaults::suite("domain", folder);
        const auto error = defaults->lastError();
        ASSERT_TRUE(error.has_value()) << contents;
        EXPECT_EQ(error->kind, UserDefaultsError::Kind::corruptFile);
        ASSERT_TRUE(error->movedTo.has_value());
        EXPECT_EQ(readFile(*error->movedTo), contents); // kept, byte for byte
        EXPECT_FALSE(defaults->object("settings").has_value());
        // The domain goes on: a new value lands in a new file beside the kept one.
        EXPECT_TRUE(defaults->set(1, "fresh"));
        EXPECT_EQ(filesIn(folder).size(), 2u);
        EXPECT_EQ(nlohmann::json::parse(readFile(folder / "domain.json")),
            (nlohmann::json { { "fresh", 1 } }));
    }
}

TEST_F(UserDefaultsTest, SomethingElseInPlaceOfTheFileIsLeftAlone)
{
    // Something that is not a file where the domain's file belongs: left as it is.
    fs::create_directories(folder / "odd.json" / "inside");
    auto odd = UserDefaults::suite("odd", folder);
    EXPECT_FALSE(odd->set(1, "value"));
    ASSERT_TRUE(odd->lastError().has_value());
    EXPECT_EQ(odd->lastError()->kind, UserDefaultsError::Kind::unreadableFile);
    EXPECT_TRUE(fs::is_directory(folder / "odd.json" / "inside"));
    EXPECT_EQ(filesIn(folder), (std::vector<std::string> { "odd.json" }));
}

TEST_F(UserDefaultsTest, AFileThatCannotBeReadIsNeverOverwritten)
{
    // Each way leaves a domain file that is there but cannot be read at start.
    struct Case {
        const char* name;
        bool needsNonRoot; // root reads every file
        std::function<void(const fs::path&)> make;
        std::function<void(const fs::path&)> check;
    };
    const Case cases[] = {
        { "without read permission", true,
            [](const fs::path& file) {
                std::ofstream(file) << "{\"kept\": true}";
                fs::permissions(file, fs::perms::none);
            },
            [](const fs::path& file) {
                fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
                EXPECT_EQ(readFile(file), "{\"kept\": true}");
            } },
        { "a link that leads to itself", false,
            [](const fs::path& file) { fs::create_symlink(file.filename(), file); },
            [](const fs::path& file) {
                ASSERT_TRUE(fs::is_symlink(file)) << "replaced";
                EXPECT_EQ(fs::read_symlink(file), file.filename());
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && runsAsRoot())
            continue;
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path file = folder / "locked.json";
        c.make(file);
        auto defaults = UserDefaults::suite("locked", folder);
        EXPECT_FALSE(defaults->set(1, "other"));
        ASSERT_TRUE(defaults->lastError().has_value());
        EXPECT_EQ(defaults->lastError()->kind, UserDefaultsError::Kind::unreadableFile);
        EXPECT_FALSE(defaults->removeObject("other"));
        EXPECT_FALSE(defaults->removePersistentDomain());
        c.check(file);
        EXPECT_EQ(filesIn(folder), (std::vector<std::string> { "locked.json" }));
    }
}

TEST_F(UserDefaultsTest, ChangesArePublishedAndNamesAreSafeFileNames)
{
    auto defaults = UserDefaults::suite("../escape/attempt", folder);
    std::vector<std::string> keys;
    auto subscription
        = defaults->changes().sink([&](const std::string& key) { keys.push_back(key); });
    defaults->set(1, "a");
    defaults->removeObject("a");
    defaults->removeObject("a"); // nothing to remove, nothing announced
    defaults->removePersistentDomain();
    EXPECT_EQ(keys, (std::vector<std::string> { "a", "a", "" }));
    defaults->set(1, "b");
    ASSERT_TRUE(defaults->path().has_value());
    EXPECT_EQ(defaults->path()->parent_path(), fs::absolute(folder));
    EXPECT_EQ(filesIn(folder), (std::vector<std::string> { "%2E.%2Fescape%2Fattempt.json" }));
}

} // namespace
} // namespace tidemark
