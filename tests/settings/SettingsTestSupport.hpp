#pragma once

#include "platform/foundation/UserDefaults.hpp"
#include "platform/logging/LogSystem.hpp"
#include "platform/workspace/Workspace.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tidemark::test {

namespace fs = std::filesystem;

// A folder of its own for each test, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder() { EXPECT_TRUE(m_dir.isValid()); }
    fs::path path() const { return fs::path(m_dir.path().toStdString()); }
    fs::path operator/(const std::string& name) const { return path() / name; }

private:
    QTemporaryDir m_dir;
};

inline std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

// Knows the programs it is told of, records every start and starts nothing.
class RecordingLauncher : public ProcessLauncher {
public:
    struct Start {
        fs::path program;
        std::vector<std::string> arguments;
    };
    std::set<std::string> installed;
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
        starts.push_back({ program, arguments });
        return rx::Result<int, WorkspaceError>::success(4242);
    }
};

// A log system of its own writing into `folder`, never to standard error.
inline std::shared_ptr<LogSystem> logSystemIn(const fs::path& folder)
{
    auto system = std::make_shared<LogSystem>();
    LoggingConfiguration configuration;
    configuration.stateDirectory = folder;
    configuration.writesToStandardError = false;
    EXPECT_TRUE(system->configure(configuration).isSuccess());
    return system;
}

} // namespace tidemark::test
