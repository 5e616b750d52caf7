#pragma once

#include <map>
#include <stdexcept>
#include <string>

namespace tidemark {

// What went wrong in the reminder store: a kind, a sentence for people, and details (the
// file, the SQLite result code …) for logs and bug reports.
class PersistenceError : public std::runtime_error {
public:
    enum class Code {
        cannotOpenStore, // the file or its folder cannot be opened or created
        notAStore, // the file is no SQLite database, is damaged, or holds other tables
        newerStore, // written by a newer version of the program; left untouched
        migrationFailed, // a step that brings an older store up to date failed
        storeNotLoaded, // used before the store was loaded
        saveFailed, // a save was rolled back; the context's changes were discarded
        fetchFailed,
        batchDeleteFailed,
        objectNotFound, // the object is not (or no longer) in the store
        unknownEntity,
        moveAsideFailed,
    };

    PersistenceError(Code code, const std::string& description,
        std::map<std::string, std::string> userInfo = {}, int sqliteCode = 0);

    Code code() const { return m_code; }
    std::string description() const { return what(); }
    // The SQLite (extended) result code behind the error, 0 when there is none.
    int sqliteCode() const { return m_sqliteCode; }
    const std::map<std::string, std::string>& userInfo() const { return m_userInfo; }
    // The details as one line: `{key = value; key = value}`.
    std::string userInfoDescription() const;

    // True when the store file itself is unusable (not a database, damaged, foreign), so
    // that moving it aside and starting with a new store is a way out.
    bool storeFileIsUnusable() const { return m_code == Code::notAStore; }

private:
    Code m_code;
    std::map<std::string, std::string> m_userInfo;
    int m_sqliteCode;
};

} // namespace tidemark
