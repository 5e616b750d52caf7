#pragma once

#include <ostream>
#include <string>

namespace tidemark {

// A failure as a value. Two errors are the same when their descriptions are equal, which
// is what a request state or an action compares.
struct Error {
    std::string description;

    Error() = default;
    explicit Error(std::string text)
        : description(std::move(text))
    {
    }

    bool operator==(const Error& other) const { return description == other.description; }
};

inline std::ostream& operator<<(std::ostream& out, const Error& error)
{
    return out << "Error(" << error.description << ")";
}

// The error of work that was cancelled before it could deliver.
inline Error cancellationError()
{
    return Error("CancellationError()");
}

} // namespace tidemark
