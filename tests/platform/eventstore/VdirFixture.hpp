#pragma once

#include "platform/eventstore/EventStore.hpp"
#include "support/LogCapture.hpp"
#include "support/TestMainQueue.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tidemark::test {

// A vdir tree in a temporary folder and a store over it whose access was granted.
class VdirFixture : public testing::Test {
protected:
    void SetUp() override;

    QString root() const { return m_dir.path() + "/calendars"; }
    QString stateDir() const { return m_dir.path() + "/state"; }
    QString pathOf(const QString& relative) const { return root() + "/" + relative; }

    void makeDir(const QString& relative) const;
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    bool exists(const QString& relative) const { return QFile::exists(pathOf(relative)); }
    QStringList icsFiles(const QString& list) const;

    // A store with the access answer already given.
    std::unique_ptr<EventStore> makeStore(
        AuthorizationStatus status = AuthorizationStatus::fullAccess,
        int coalesceMilliseconds = 50) const;

    // The usual tree: source "personal" ("Personal") with lists "work" ("Work", red) and
    // "home", and an empty source "bare".
    void makeUsualTree() const;

    QTemporaryDir m_dir;
};

// A VCALENDAR text with one VTODO made of `body` lines (CRLF endings).
QByteArray todoFile(const QByteArray& body);

DateComponents components(int year, int month, int day, std::optional<int> hour,
    std::optional<int> minute, std::optional<std::string> zone);

} // namespace tidemark::test
