#include "platform/foundation/Uuid.hpp"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>

namespace tidemark {

std::string Uuid::make()
{
    // A version 4 identifier: 122 bits from the system's random source.
    std::array<std::uint8_t, 16> bytes {};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got > 0) {
            filled += static_cast<std::size_t>(got);
        } else if (got < 0 && errno != EINTR) {
            // No getrandom (a very old kernel): the C++ library's own source.
            std::random_device device;
            for (std::size_t i = filled; i < bytes.size(); ++i)
                bytes[i] = static_cast<std::uint8_t>(device());
            filled = bytes.size();
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    char text[37];
    std::snprintf(text, sizeof text,
        "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", bytes[0], bytes[1],
        bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
        bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return std::string(text);
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
