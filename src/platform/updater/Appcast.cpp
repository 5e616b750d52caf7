#include "platform/updater/Appcast.hpp"

#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <variant>

namespace tidemark {

namespace {

const QString sparkleNamespace
    = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

// A number kept as its digits without leading zeros, so any length compares correctly.
struct Number {
    std::string digits;
};
using Component = std::variant<Number, std::string>;

std::vector<Component> components(std::string_view version)
{
    std::vector<Component> out;
    std::size_t i = 0;
    while (i < version.size()) {
        unsigned char c = static_cast<unsigned char>(version[i]);
        if (std::isdigit(c)) {
            std::size_t start = i;
            while (i < version.size() && std::isdigit(static_cast<unsigned char>(version[i])))
                ++i;
            auto digits = version.substr(start, i - start);
            auto first = digits.find_first_not_of('0');
            out.push_back(
                Number { first == std::string_view::npos ? std::string()
                                                         : std::string(digits.substr(first)) });
        } else if (std::isalpha(c)) {
            std::size_t start = i;
            while (i < version.size() && std::isalpha(static_cast<unsigned char>(version[i])))
                ++i;
            std::string word(version.substr(start, i - start));
            std::transform(word.begin(), word.end(), word.begin(),
                [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
            out.push_back(std::move(word));
        } else {
            ++i; // separators: '.', '-', '_', '+', blanks …
        }
    }
    return out;
}

int compareNumbers(const Number& a, const Number& b)
{
    if (a.digits.size() != b.digits.size())
        return a.digits.size() < b.digits.size() ? -1 : 1;
    return a.digits.compare(b.digits) < 0 ? -1 : a.digits == b.digits ? 0 : 1;
}

// What the rest of the longer version means against the end of the shorter one.
int compareTail(const std::vector<Component>& longer, std::size_t from)
{
    for (std::size_t i = from; i < longer.size(); ++i) {
        if (std::holds_alternative<std::string>(longer[i]))
            return -1; // a pre-release of the shorter version
        if (!std::get<Number>(longer[i]).digits.empty())
            return 1;
    }
    return 0;
}

QString attribute(const QXmlStreamAttributes& attributes, const QString& name)
{
    for (const auto& attribute : attributes) {
        if (attribute.name() == name
            && (attribute.namespaceUri() == sparkleNamespace || attribute.namespaceUri().isEmpty()))
            return attribute.value().toString().trimmed();
    }
    return {};
}

} // namespace

int compareVersions(std::string_view a, std::string_view b)
{
    auto left = components(a);
    auto right = components(b);
    std::size_t count = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto& x = left[i];
        const auto& y = right[i];
        if (x.index() != y.index())
            return std::holds_alternative<Number>(x) ? 1 : -1; // 1.0.1 is newer than 1.0b1
        int order = std::holds_alternative<Number>(x)
            ? compareNumbers(std::get<Number>(x), std::get<Number>(y))
            : std::get<std::string>(x).compare(std::get<std::string>(y));
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    if (left.size() > count)
        return compareTail(left, count);
    if (right.size() > count)
        return -compareTail(right, count);
    return 0;
}

const AppcastItem* Appcast::newestItem() const
{
    const AppcastItem* newest = nullptr;
    for (const auto& item : items) {
        if (!newest || compareVersions(item.versionString, newest->versionString) > 0)
            newest = &item;
    }
    return newest;
}

rx::Result<Appcast, std::string> parseAppcast(std::string_view xml)
{
    using Outcome = rx::Result<Appcast, std::string>;
    QXmlStreamReader reader(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
    Appcast appcast;
    bool sawRss = false;
    bool sawChannel = false;
    int skippedItems = 0;
    std::optional<AppcastItem> item;
    QString enclosureVersion;
    QString enclosureShortVersion;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto name = reader.name();
            bool isSparkle = reader.namespaceUri() == sparkleNamespace;
            if (!sawRss) {
                if (name != QLatin1String("rss"))
                    return Outcome::failure("it is not an RSS feed");
                sawRss = true;
            } else if (name == QLatin1String("channel") && !isSparkle) {
                sawChannel = true;
            } else if (name == QLatin1String("item") && !isSparkle) {
                item = AppcastItem {};
                enclosureVersion.clear();
                enclosureShortVersion.clear();
            } else if (item && name == QLatin1String("enclosure") && !isSparkle) {
                auto attributes = reader.attributes();
                item->fileUrl = attributes.value(QLatin1String("url")).toString().toStdString();
                enclosureVersion = attribute(attributes, QStringLiteral("version"));
                enclosureShortVersion = attribute(attributes, QStringLiteral("shortVersionString"));
            } else if (item && isSparkle && name == QLatin1String("version")) {
                item->versionString = reader.readElementText().trimmed().toStdString();
            } else if (item && isSparkle && name == QLatin1String("shortVersionString")) {
                item->displayVersionString = reader.readElementText().trimmed().toStdString();
            } else if (item && isSparkle && name == QLatin1String("releaseNotesLink")) {
                item->releaseNotesUrl = reader.readElementText().trimmed().toStdString();
            } else if (item && !isSparkle && name == QLatin1String("title")) {
                item->title = reader.readElementText().trimmed().toStdString();
            } else if (item && !isSparkle && name == QLatin1String("link")) {
                item->infoUrl = reader.readElementText().trimmed().toStdString();
            }
        } else if (reader.isEndElement() && item && reader.name() == QLatin1String("item")
            && reader.namespaceUri() != sparkleNamespace) {
            if (item->versionString.empty())
                item->versionString = enclosureVersion.toStdString();
            if (item->displayVersionString.empty())
                item->displayVersionString = enclosureShortVersion.toStdString();
            if (item->displayVersionString.empty())
                item->displayVersionString = item->versionString;
            if (item->versionString.empty())
                ++skippedItems;
            else
                appcast.items.push_back(std::move(*item));
            item.reset();
        }
    }
    if (reader.hasError()) {
        return Outcome::failure(reader.errorString().toStdString() + " (line "
            + std::to_string(reader.lineNumber()) + ", column "
            + std::to_string(reader.columnNumber()) + ")");
    }
    if (!sawRss)
        return Outcome::failure("it is empty");
    if (!sawChannel)
        return Outcome::failure("it has no channel");
    if (appcast.items.empty() && skippedItems > 0)
        return Outcome::failure("none of its releases gives a version");
    return Outcome::success(std::move(appcast));
}

} // namespace tidemark
