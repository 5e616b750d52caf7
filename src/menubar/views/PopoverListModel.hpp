#pragma once

#include "menubar/PopoverListRows.hpp"
#include "reminders/Reminder.hpp"

#include <QAbstractListModel>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tidemark {

// The popover's rows for a list view: a header before each section that has reminders, then
// its reminders. A new state is taken in by the rows' identity (a reminder by its id): rows
// that went are removed, new ones inserted, kept ones moved where they now stand and told
// when their reminder changed, never a reset, so the view keeps its selection, an open
// editor and its scroll position. Headers can be neither selected nor focused.
class PopoverListModel final : public QAbstractListModel {
public:
    // The reminder a row shows (null for a header).
    static constexpr int reminderRole = Qt::UserRole + 1;
    // The row's kind as an int (PopoverListRow::Kind), and its section.
    static constexpr int kindRole = Qt::UserRole + 2;
    static constexpr int sectionRole = Qt::UserRole + 3;

    explicit PopoverListModel(QObject* parent = nullptr);

    // What assistive technology reads for a reminder's row.
    void setAccessibleText(std::function<std::string(const AnyReminder&)> text)
    {
        m_accessibleText = std::move(text);
    }

    // Takes in the two lists, announcing each change to the rows. Shared lists are kept as
    // they are, not copied; the lists the model holds already are recognised at once.
    void setLists(SharedReminderList currentItems, SharedReminderList pastItems);
    void setLists(std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems);

    const std::vector<AnyReminder>& currentItems() const { return *m_current; }
    const std::vector<AnyReminder>& pastItems() const { return *m_past; }
    const SharedReminderList& sharedCurrentItems() const { return m_current; }
    const SharedReminderList& sharedPastItems() const { return m_past; }
    const std::vector<AnyReminder>& items(PopoverListSection section) const
    {
        return section == PopoverListSection::current ? *m_current : *m_past;
    }
    // How many reminders there are in both sections.
    std::size_t reminderCount() const { return m_current->size() + m_past->size(); }

    PopoverListRow::Kind kind(int row) const;
    PopoverListSection section(int row) const;
    // The reminder of a row; null for a header or a row that does not exist.
    const AnyReminder* reminder(int row) const;
    const AnyReminder* reminder(const QModelIndex& index) const { return reminder(index.row()); }
    // The row of a reminder, or -1.
    int rowOf(const std::string& id) const;
    // Whether the row is the last of its section.
    bool isLastOfSection(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        PopoverListRow::Kind kind;
        PopoverListSection section;
        const AnyReminder* reminder;
    };
    static std::vector<Row> rowsOf(
        const std::vector<AnyReminder>& current, const std::vector<AnyReminder>& past);

    SharedReminderList m_current;
    SharedReminderList m_past;
    std::vector<Row> m_rows;
    // Rows by reminder id, made when first asked for after a change.
    mutable std::unordered_map<std::string, int> m_rowByID;
    mutable bool m_rowByIDIsCurrent = false;
    std::function<std::string(const AnyReminder&)> m_accessibleText;
};

} // namespace tidemark
