#include "platform/foundation/Uuid.hpp"

#include <QUuid>

#include <cstdio>
#include <memory>

namespace tidemark {

std::string Uuid::make()
{
    // QUuid draws version 4 identifiers from the system's random source.
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

Uuid::Generator Uuid::sequentialGenerator()
{
    auto counter = std::make_shared<unsigned long long>(0);
    return [counter] {
        char text[40];
        std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012llX", ++*counter);
        return std::string(text);
    };
}

bool Uuid::isValid(const std::string& text)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-')
                return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

} // namespace tidemark
