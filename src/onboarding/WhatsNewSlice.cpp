#include "onboarding/WhatsNewSlice.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace tidemark {

void whatsNewReducer(WhatsNewState& state, const WhatsNewAction& action)
{
    state.isPresented = action.isPresented;
}

namespace {

std::vector<std::string> split(const std::string& version)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : version) {
        if (c == '.') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

bool isNumber(const std::string& text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

int compareParts(const std::string& left, const std::string& right)
{
    if (isNumber(left) && isNumber(right)) {
        // Compare without converting, so long numbers cannot overflow.
        auto trim = [](const std::string& s) {
            const auto first = s.find_first_not_of('0');
            return first == std::string::npos ? std::string() : s.substr(first);
        };
        const std::string a = trim(left);
        const std::string b = trim(right);
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    }
    const int c = left.compare(right);
    return c < 0 ? -1 : (c == 0 ? 0 : 1);
}

} // namespace

int compareVersions(const std::string& left, const std::string& right)
{
    auto a = split(left);
    auto b = split(right);
    const std::size_t count = std::max(a.size(), b.size());
    a.resize(count, "0");
    b.resize(count, "0");
    for (std::size_t i = 0; i < count; ++i) {
        if (int c = compareParts(a[i].empty() ? "0" : a[i], b[i].empty() ? "0" : b[i]); c != 0)
            return c;
    }
    return 0;
}

bool shouldPresentWhatsNew(
    const std::optional<std::string>& lastPresentedVersion, const std::string& version)
{
    return lastPresentedVersion && compareVersions(*lastPresentedVersion, version) < 0;
}

} // namespace tidemark
