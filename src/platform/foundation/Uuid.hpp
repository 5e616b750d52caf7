#pragma once

#include <functional>
#include <string>

namespace tidemark {

// Makes identifiers: the uppercase, hyphenated form of a random (version 4) UUID, such as
// "3F2504E0-4F89-41D3-9A0C-0305E82C3301".
class Uuid {
public:
    // A function that makes a fresh identifier each call; injected where tests need
    // identifiers they can predict.
    using Generator = std::function<std::string()>;

    static std::string make();
    static Generator systemGenerator() { return &Uuid::make; }
    // A generator that counts: "00000000-0000-4000-8000-000000000001", then …0002 and so on.
    static Generator sequentialGenerator();
    // True for the uppercase hyphenated form of any UUID.
    static bool isValid(const std::string& text);
};

} // namespace tidemark
