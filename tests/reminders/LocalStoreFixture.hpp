#pragma once

#include "reminders/PersistentRemindersService.hpp"
#include "support/TestMainQueue.hpp"

#include <QTemporaryDir>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::test {

// A reminder as the local store gives it back: whole seconds, no list.
inline AnyReminder localReminder(const std::string& id, const std::string& title,
    double startSeconds = 1'700'000'000, std::optional<double> dueSeconds = 1'700'000'600,
    std::optional<Date> completionDate = std::nullopt)
{
    AnyReminder reminder;
    reminder.id = id;
    reminder.title = title;
    reminder.startDateComponents = reminderComponents(dateFromTimeIntervalSince1970(startSeconds));
    if (dueSeconds)
        reminder.dueDateComponents = reminderComponents(dateFromTimeIntervalSince1970(*dueSeconds));
    reminder.completionDate = completionDate;
    return reminder;
}

struct StoredRow {
    std::string title;
    bool isCompleted = false;
    bool hasCompletionDate = false;
    bool operator==(const StoredRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const StoredRow& row)
{
    return out << "{" << row.title << ", completed " << row.isCompleted << ", date "
               << row.hasCompletionDate << "}";
}

// A local store in a fresh temporary folder, the service over it, and a look at the file
// past the service. A load failure is recorded instead of ending the test program.
class LocalStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        drainMainQueue();
        open();
        ASSERT_TRUE(m_fatalMessages.empty()) << m_fatalMessages.front();
    }

    void TearDown() override
    {
        m_service.reset();
        drainMainQueue();
    }

    std::filesystem::path folder() const { return m_folder.path().toStdString(); }
    std::filesystem::path storeFile() const { return folder() / "Tidemark.sqlite"; }

    PersistenceControllerOptions options()
    {
        PersistenceControllerOptions options;
        options.directory = folder();
        options.fatalError
            = [this](const std::string& message) { m_fatalMessages.push_back(message); };
        return options;
    }

    void open()
    {
        m_service.reset();
        m_service = std::make_shared<PersistentRemindersService>(
            PersistenceController(false, false, options()));
    }

    PersistentRemindersService& service() { return *m_service; }
    ManagedObjectContext& context() { return m_service->persistenceController().viewContext(); }

    // Identifier to row, read from the file through a connection of its own.
    std::map<std::string, StoredRow> storedRows() const
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
        SQLite::Statement query(database,
            "SELECT identifier, IFNULL(title, ''), isCompleted, completionDate IS NOT NULL "
            "FROM CDReminder");
        std::map<std::string, StoredRow> rows;
        while (query.executeStep()) {
            rows[query.getColumn(0).getString()] = StoredRow { query.getColumn(1).getString(),
                query.getColumn(2).getInt() != 0, query.getColumn(3).getInt() != 0 };
        }
        return rows;
    }

    // Makes every later save that writes a reminder titled "poison" fail inside its
    // transaction, as a full disk or a broken file would.
    void poisonTitle()
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READWRITE);
        database.exec("CREATE TRIGGER refuseInsert BEFORE INSERT ON CDReminder "
                      "WHEN NEW.title = 'poison' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        database.exec("CREATE TRIGGER refuseUpdate BEFORE UPDATE ON CDReminder "
                      "WHEN NEW.title = 'poison' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }

    QTemporaryDir m_folder;
    std::vector<std::string> m_fatalMessages;
    std::shared_ptr<PersistentRemindersService> m_service;
};

} // namespace tidemark::test
