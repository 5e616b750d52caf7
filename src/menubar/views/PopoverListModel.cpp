#include "menubar/views/PopoverListModel.hpp"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace tidemark {

PopoverListModel::PopoverListModel(QObject* parent)
    : QAbstractListModel(parent)
    , m_current(std::make_shared<const std::vector<AnyReminder>>())
    , m_past(std::make_shared<const std::vector<AnyReminder>>())
{
}

std::vector<PopoverListModel::Row> PopoverListModel::rowsOf(
    const std::vector<AnyReminder>& current, const std::vector<AnyReminder>& past)
{
    std::vector<Row> rows;
    rows.reserve(current.size() + past.size() + 2);
    auto section = [&rows](PopoverListSection which, const std::vector<AnyReminder>& items) {
        if (items.empty())
            return;
        rows.push_back({ PopoverListRow::Kind::header, which, nullptr });
        for (const auto& reminder : items)
            rows.push_back({ PopoverListRow::Kind::reminder, which, &reminder });
    };
    section(PopoverListSection::current, current);
    section(PopoverListSection::past, past);
    return rows;
}

namespace {

bool sameIDs(const std::vector<AnyReminder>& a, const std::vector<AnyReminder>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](const AnyReminder& x, const AnyReminder& y) { return x.id == y.id; });
}

template <class Row> std::vector<std::string> keysOf(const std::vector<Row>& rows)
{
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const auto& row : rows) {
        keys.push_back(popoverListRowKey(
            { row.kind, row.section, row.reminder ? row.reminder->id : std::string() }));
    }
    return keys;
}

} // namespace

void PopoverListModel::setLists(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems)
{
    setLists(std::make_shared<const std::vector<AnyReminder>>(std::move(currentItems)),
        std::make_shared<const std::vector<AnyReminder>>(std::move(pastItems)));
}

void PopoverListModel::setLists(SharedReminderList currentItems, SharedReminderList pastItems)
{
    if (currentItems == m_current && pastItems == m_past)
        return;
    if (*currentItems == *m_current && *pastItems == *m_past) {
        // Nothing to tell, but the new lists are held, so the ones they replace (and whatever
        // shares them) can go.
        m_current = std::move(currentItems);
        m_past = std::move(pastItems);
        m_rows = rowsOf(*m_current, *m_past);
        return;
    }
    if (sameIDs(*currentItems, *m_current) && sameIDs(*pastItems, *m_past)) {
        // Every row stays where it is (the common case of a typed title or a tick of new
        // times): no keys to build or steps to find, only the changed rows to tell.
        const SharedReminderList oldCurrent = std::exchange(m_current, std::move(currentItems));
        const SharedReminderList oldPast = std::exchange(m_past, std::move(pastItems));
        m_rows = rowsOf(*m_current, *m_past);
        int row = 0;
        int firstChanged = -1;
        int lastChanged = -1;
        auto flush = [this, &firstChanged, &lastChanged] {
            if (firstChanged >= 0)
                Q_EMIT dataChanged(index(firstChanged), index(lastChanged));
            firstChanged = lastChanged = -1;
        };
        for (const auto& [before, after] : { std::pair { oldCurrent.get(), m_current.get() },
                 std::pair { oldPast.get(), m_past.get() } }) {
            if (after->empty())
                continue;
            ++row; // the header
            for (std::size_t i = 0; i < after->size(); ++i, ++row) {
                if ((*before)[i] == (*after)[i])
                    continue;
                if (firstChanged >= 0 && lastChanged != row - 1)
                    flush();
                if (firstChanged < 0)
                    firstChanged = row;
                lastChanged = row;
            }
        }
        flush();
        return;
    }
    m_rowByIDIsCurrent = false;
    // The old lists stay alive until every step has been told: rows not yet reached still
    // point into them.
    const SharedReminderList oldCurrent = std::exchange(m_current, std::move(currentItems));
    const SharedReminderList oldPast = std::exchange(m_past, std::move(pastItems));
    std::vector<Row> target = rowsOf(*m_current, *m_past);

    const std::vector<std::string> before = keysOf(m_rows);
    const std::vector<std::string> after = keysOf(target);
    const auto edits = popoverListEdits(before, after);

    // The rows as they stand before the steps, by key, to tell changed reminders apart.
    std::unordered_map<std::string_view, const AnyReminder*> previous;
    previous.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        previous.emplace(before[i], m_rows[i].reminder);

    std::vector<Row> inserted;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (!previous.contains(after[i]))
            inserted.push_back(target[i]);
    }
    std::size_t next = 0;
    for (const auto& edit : edits) {
        switch (edit.kind) {
        case PopoverListEdit::Kind::remove:
            beginRemoveRows({}, edit.row, edit.row + edit.count - 1);
            m_rows.erase(m_rows.begin() + edit.row, m_rows.begin() + edit.row + edit.count);
            endRemoveRows();
            break;
        case PopoverListEdit::Kind::insert:
            beginInsertRows({}, edit.row, edit.row + edit.count - 1);
            m_rows.insert(m_rows.begin() + edit.row, inserted.begin() + std::ptrdiff_t(next),
                inserted.begin() + std::ptrdiff_t(next + std::size_t(edit.count)));
            next += std::size_t(edit.count);
            endInsertRows();
            break;
        case PopoverListEdit::Kind::move: {
            beginMoveRows({}, edit.row, edit.row, {}, edit.to);
            const Row moved = m_rows[std::size_t(edit.row)];
            m_rows.erase(m_rows.begin() + edit.row);
            m_rows.insert(m_rows.begin() + edit.to, moved);
            endMoveRows();
            break;
        }
        }
    }
    // Every row now stands where the new lists have it: point them there, and tell the rows
    // whose reminder changed.
    m_rows = std::move(target);
    m_rowByIDIsCurrent = false;
    int firstChanged = -1;
    int lastChanged = -1;
    auto flush = [this, &firstChanged, &lastChanged] {
        if (firstChanged >= 0)
            Q_EMIT dataChanged(index(firstChanged), index(lastChanged));
        firstChanged = lastChanged = -1;
    };
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const AnyReminder* now = m_rows[i].reminder;
        const auto found = previous.find(after[i]);
        const bool changed
            = now && found != previous.end() && found->second && !(*found->second == *now);
        if (changed) {
            if (firstChanged < 0)
                firstChanged = int(i);
            else if (lastChanged != int(i) - 1)
                flush(), firstChanged = int(i);
            lastChanged = int(i);
        }
    }
    flush();
}

PopoverListRow::Kind PopoverListModel::kind(int row) const
{
    return row >= 0 && std::size_t(row) < m_rows.size() ? m_rows[std::size_t(row)].kind
                                                        : PopoverListRow::Kind::header;
}

PopoverListSection PopoverListModel::section(int row) const
{
    return row >= 0 && std::size_t(row) < m_rows.size() ? m_rows[std::size_t(row)].section
                                                        : PopoverListSection::current;
}

const AnyReminder* PopoverListModel::reminder(int row) const
{
    return row >= 0 && std::size_t(row) < m_rows.size() ? m_rows[std::size_t(row)].reminder
                                                        : nullptr;
}

int PopoverListModel::rowOf(const std::string& id) const
{
    if (!m_rowByIDIsCurrent) {
        m_rowByID.clear();
        m_rowByID.reserve(m_rows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].reminder)
                m_rowByID.emplace(m_rows[i].reminder->id, int(i));
        }
        m_rowByIDIsCurrent = true;
    }
    const auto found = m_rowByID.find(id);
    return found == m_rowByID.end() ? -1 : found->second;
}

bool PopoverListModel::isLastOfSection(int row) const
{
    const std::size_t next = std::size_t(row) + 1;
    return next >= m_rows.size() || m_rows[next].kind == PopoverListRow::Kind::header;
}

int PopoverListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PopoverListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_rows.size())
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (!row.reminder)
            return QString::fromStdString(popoverSectionTitle(row.section));
        return QString::fromStdString(row.reminder->title);
    case Qt::AccessibleTextRole:
        if (!row.reminder)
            return QString::fromStdString(popoverSectionTitle(row.section));
        return QString::fromStdString(
            m_accessibleText ? m_accessibleText(*row.reminder) : row.reminder->title);
    case kindRole:
        return int(row.kind);
    case sectionRole:
        return int(row.section);
    default:
        return {};
    }
}

Qt::ItemFlags PopoverListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || kind(index.row()) == PopoverListRow::Kind::header)
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

} // namespace tidemark
