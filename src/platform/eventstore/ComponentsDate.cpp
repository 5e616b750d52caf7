#include "platform/eventstore/ComponentsDate.hpp"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <mutex>
#include <unordered_map>

namespace tidemark::eventstore {

namespace {
bool isKnownZone(const QByteArray& id)
{
    return QTimeZone::isTimeZoneIdAvailable(id);
}

std::optional<std::string> resolveUncached(const std::string& tzid)
{
    const QByteArray id = QByteArray::fromStdString(tzid);
    if (tzid == "UTC" || tzid == "GMT" || tzid == "Z" || tzid == "Etc/UTC")
        return std::string("UTC");
    if (isKnownZone(id))
        return tzid;
    const QByteArray windows = QTimeZone::windowsIdToDefaultIanaId(id);
    if (!windows.isEmpty() && isKnownZone(windows))
        return windows.toStdString();
    // Prefixed names: try the last one, two and three path segments.
    const QList<QByteArray> parts = id.split('/');
    for (qsizetype take = std::min<qsizetype>(3, parts.size() - 1); take >= 1; --take) {
        QByteArray candidate;
        for (qsizetype i = parts.size() - take; i < parts.size(); ++i)
            candidate += (candidate.isEmpty() ? QByteArray() : QByteArray("/")) + parts[i];
        if (!candidate.isEmpty() && isKnownZone(candidate))
            return candidate.toStdString();
    }
    return std::nullopt;
}
} // namespace

std::optional<std::string> resolveTimeZone(const std::string& tzid)
{
    static std::mutex mutex;
    static std::unordered_map<std::string, std::optional<std::string>> known;
    std::lock_guard lock(mutex);
    auto it = known.find(tzid);
    if (it == known.end())
        it = known.emplace(tzid, resolveUncached(tzid)).first;
    return it->second;
}

std::optional<Date> dateFromComponents(const DateComponents& c)
{
    if (!c.year || !c.month || !c.day)
        return std::nullopt;
    const QDate day(*c.year, *c.month, *c.day);
    if (!day.isValid())
        return std::nullopt;
    // The wall time counted as if it were UTC.
    const qint64 wall = QDateTime(day, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch()
        + qint64(c.hour.value_or(0)) * 3600 + qint64(c.minute.value_or(0)) * 60
        + c.second.value_or(0);

    QTimeZone zone = QTimeZone::systemTimeZone();
    if (c.timeZone) {
        const auto resolved = resolveTimeZone(*c.timeZone);
        if (!resolved)
            return std::nullopt;
        zone = *resolved == "UTC" ? QTimeZone::utc()
                                  : QTimeZone(QByteArray::fromStdString(*resolved));
    }
    auto offsetAt = [&zone](qint64 instant) {
        return qint64(zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc())));
    };
    const qint64 before = offsetAt(wall - 86400);
    const qint64 after = offsetAt(wall + 86400);
    qint64 instant = wall - before; // also the reading of a skipped wall time
    if (offsetAt(wall - before) != before && offsetAt(wall - after) == after)
        instant = wall - after;
    return checkedDateFromTimeIntervalSince1970(static_cast<TimeInterval>(instant));
}

} // namespace tidemark::eventstore
