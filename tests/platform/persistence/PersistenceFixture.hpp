#pragma once

#include "platform/persistence/PersistentContainer.hpp"
#include "support/TestMainQueue.hpp"

#include <QTemporaryDir>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tidemark::test {

inline Date at(double secondsSince1970)
{
    return dateFromTimeIntervalSince1970(secondsSince1970);
}

inline CDReminder reminder(const std::string& identifier, const std::string& title,
    std::optional<Date> completionDate = std::nullopt, std::optional<Date> dueDate = std::nullopt)
{
    CDReminder object;
    object.identifier = identifier;
    object.title = title;
    object.startDate = at(1'700'000'000);
    object.dueDate = dueDate;
    object.completionDate = completionDate;
    object.isCompleted = completionDate.has_value();
    return object;
}

inline std::set<std::string> identifiers(const std::vector<CDReminder>& objects)
{
    std::set<std::string> result;
    for (const auto& object : objects)
        result.insert(object.identifierString());
    return result;
}

// A store file in a fresh temporary folder, a container over it, and a way to look at the
// file through a connection of its own.
class PersistenceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        drainMainQueue();
        open();
    }

    void TearDown() override
    {
        m_container.reset();
        drainMainQueue();
    }

    std::filesystem::path folder() const { return m_folder.path().toStdString(); }
    std::filesystem::path storeFile() const { return folder() / "Tidemark.sqlite"; }

    void open(StoreDescription description = {})
    {
        m_container.reset();
        description.directory = folder();
        m_container = std::make_unique<PersistentContainer>("Tidemark", description);
        auto error = m_container->loadPersistentStores();
        ASSERT_FALSE(error) << error->what();
    }

    ManagedObjectContext& context() { return m_container->viewContext(); }

    // What the file holds, read past the context: identifier to title.
    std::map<std::string, std::string> storedTitles() const
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
        SQLite::Statement query(database, "SELECT identifier, IFNULL(title, '') FROM CDReminder");
        std::map<std::string, std::string> rows;
        while (query.executeStep())
            rows[query.getColumn(0).getString()] = query.getColumn(1).getString();
        return rows;
    }

    std::vector<CDReminder> fetchAll(std::optional<Predicate> predicate = std::nullopt)
    {
        FetchRequest request;
        request.predicate = std::move(predicate);
        return context().fetch(request);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<PersistentContainer> m_container;
};

} // namespace tidemark::test
