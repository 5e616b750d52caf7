#include "platform/persistence/PersistenceError.hpp"

namespace tidemark {

PersistenceError::PersistenceError(Code code, const std::string& description,
    std::map<std::string, std::string> userInfo, int sqliteCode)
    : std::runtime_error(description)
    , m_code(code)
    , m_userInfo(std::move(userInfo))
    , m_sqliteCode(sqliteCode)
{
    if (m_sqliteCode != 0)
        m_userInfo.emplace("sqliteCode", std::to_string(m_sqliteCode));
}

std::string PersistenceError::userInfoDescription() const
{
    std::string text = "{";
    bool first = true;
    for (const auto& [key, value] : m_userInfo) {
        if (!first)
            text += "; ";
        first = false;
        text += key + " = " + value;
    }
    return text + "}";
}

} // namespace tidemark
