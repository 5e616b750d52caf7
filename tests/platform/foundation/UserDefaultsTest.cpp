#include "platform/foundation/UserDefaults.hpp"
#include "platform/foundation/Uuid.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <optional>
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

std::vector<fs::path> copiesBeside(const fs::path& file)
{
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        const auto name = entry.path().filename().string();
        if (name.starts_with(file.filename().string() + ".") && name.ends_with(".bak"))
            copies.push_back(entry.path());
    }
    return copies;
}

unsigned modeOf(const fs::path& file)
{
    struct stat info { };
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

TEST_F(UserDefaultsTest, ARewriteKeepsTheFilesModeAndANewFileIsPrivate)
{
    const struct {
        const char* name;
        std::optional<unsigned> mode; // none: no file yet
        unsigned expected;
    } cases[] {
        { "new", std::nullopt, 0600 },
        { "private", 0600, 0600 },
        { "group may read", 0640, 0640 },
        { "everyone may read", 0644, 0644 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        const auto file = folder / "domain.json";
        const auto exported = folder / "logs";
        if (c.mode) {
            std::ofstream(file) << "{\"value\": 1}";
            std::ofstream(exported) << "earlier";
            ASSERT_EQ(::chmod(file.c_str(), *c.mode), 0);
            ASSERT_EQ(::chmod(exported.c_str(), *c.mode), 0);
        }
        {
            auto defaults = UserDefaults::suite("domain", folder);
            ASSERT_TRUE(defaults->set(2, "value"));
            ASSERT_TRUE(defaults->set(3, "value"));
        }
        EXPECT_EQ(modeOf(file), c.expected);
        ASSERT_FALSE(writeFileAtomically(exported, "lines"));
        EXPECT_EQ(modeOf(exported), c.expected);
        EXPECT_EQ(readFile(exported), "lines");
    }
}

TEST_F(UserDefaultsTest, AVerbatimCopyIsKeptBeforeTheFirstRewriteThatLosesSomething)
{
    const std::string written = "{ \"settings\" : {\"flag\": \"yes\",\n  \"count\": 1},"
                                "\n\"note\": [1, 2]   }";
    const struct {
        const char* name;
        std::function<void(UserDefaults&)> change;
        bool copies;
    } cases[] {
        { "a changed value of the same kind",
            [](UserDefaults& d) {
                d.set({ { "flag", "no" }, { "count", 2.5 } }, "settings");
            },
            false },
        { "a key added", [](UserDefaults& d) { d.set(true, "added"); }, false },
        { "a value of another kind",
            [](UserDefaults& d) {
                d.set({ { "flag", true }, { "count", 1 } }, "settings");
            },
            true },
        { "a nested key left out",
            [](UserDefaults& d) {
                d.set({ { "flag", "yes" } }, "settings");
            },
            true },
        { "a key removed", [](UserDefaults& d) { d.removeObject("note"); }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        const auto file = folder / "domain.json";
        std::ofstream(file) << written;
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        auto defaults = UserDefaults::suite("domain", folder);
        c.change(*defaults);
        // Again: there is never more than one copy per reading of the file.
        c.change(*defaults);
        defaults->removeObject("settings");
        const auto copies = copiesBeside(file);
        if (!c.copies) {
            // Only the removal at the end loses something.
            ASSERT_EQ(copies.size(), 1u);
            continue;
        }
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(readFile(copies[0]), written);
        EXPECT_EQ(modeOf(copies[0]), 0640u);
        const auto error = defaults->errors().front();
        EXPECT_EQ(error.kind, UserDefaultsError::Kind::keptCopy);
        EXPECT_EQ(error.movedTo, copies[0]);
        EXPECT_EQ(defaults->keepVerbatimCopy("asked again"), copies[0]);
    }

    // A copy never replaces an earlier one, also within the same second.
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::vector<fs::path> kept;
    for (int run = 0; run < 3; ++run) {
        std::ofstream(folder / "domain.json") << "{\"run\": " << run << "}";
        auto defaults = UserDefaults::suite("domain", folder);
        const auto copy = defaults->keepVerbatimCopy("asked");
        ASSERT_TRUE(copy);
        kept.push_back(*copy);
    }
    ASSERT_EQ(copiesBeside(folder / "domain.json").size(), 3u);
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(readFile(kept[run]), "{\"run\": " + std::to_string(run) + "}");
}

TEST_F(UserDefaultsTest, NestingDeeperThanAnyValueIsLeftOutAndTheFileKeptAside)
{
    const int depths[] = { UserDefaults::maximumDepth + 1, 40'000, 100'000 };
    for (const int depth : depths) {
        SCOPED_TRACE(depth);
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::string deepArray(depth, '[');
        deepArray += std::string(depth, ']');
        std::string deepObject;
        for (int i = 0; i < depth; ++i)
            deepObject += "{\"k\":";
        deepObject += "1" + std::string(depth, '}');
        const std::string written = "{\"settings\": {\"flag\": true}, \"array\": " + deepArray
            + ", \"object\": " + deepObject + "}";
        std::ofstream(folder / "domain.json") << written;

        auto defaults = UserDefaults::suite("domain", folder);
        EXPECT_EQ(defaults->object("settings"), (nlohmann::json { { "flag", true } }));
        const auto error = defaults->errors().front();
        EXPECT_EQ(error.kind, UserDefaultsError::Kind::tooDeep);
        ASSERT_TRUE(error.movedTo);
        EXPECT_EQ(readFile(*error.movedTo), written);
        ASSERT_TRUE(defaults->set(false, "other"));
        EXPECT_LT(fs::file_size(folder / "domain.json"), 16'384u);
        EXPECT_EQ(copiesBeside(folder / "domain.json").size(), 1u);
    }

    // Nothing but nesting: no object to read, so the file is moved aside whole.
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "domain.json") << std::string(100'000, '[') + std::string(100'000, ']');
    auto defaults = UserDefaults::suite("domain", folder);
    EXPECT_EQ(defaults->lastError()->kind, UserDefaultsError::Kind::corruptFile);
}

TEST_F(UserDefaultsTest, TextThatIsNotUtf8IsStoredAsValidUtf8)
{
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] {
        { "plain", "Tea at five", "Tea at five" },
        { "multi-byte", "T\xC3\xA9 \xE2\x8F\xB0 \xF0\x9F\x8D\xB5",
            "T\xC3\xA9 \xE2\x8F\xB0 \xF0\x9F\x8D\xB5" },
        { "a stray byte",
            "a\xFF"
            "b",
            "a\xEF\xBF\xBD"
            "b" },
        { "cut short", "a\xE2\x8F", "a\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "overlong", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "a surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "past U+10FFFF", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(validUtf8(c.text), c.expected);
        fs::remove_all(folder);
        {
            auto defaults = UserDefaults::suite("domain", folder);
            EXPECT_TRUE(
                defaults->set(nlohmann::json { { "title", c.text }, { c.text, 1 } }, c.text));
        }
        auto reread = UserDefaults::suite("domain", folder);
        EXPECT_EQ(reread->object(c.expected),
            (nlohmann::json { { "title", c.expected }, { c.expected, 1 } }));
    }
}

} // namespace
} // namespace tidemark
