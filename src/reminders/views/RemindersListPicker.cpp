#include "reminders/views/RemindersListPicker.hpp"

#include "platform/foundation/StringTables.hpp"
#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/Environment.hpp"
#include "toolkit/FormStyle.hpp"

#include <QSignalBlocker>
#include <QStandardItemModel>

namespace tidemark {

RemindersListPicker::RemindersListPicker(QWidget* parent)
    : QComboBox(parent)
    , m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setAccessibleName(QString::fromStdString(localized("Reminders", "list_selection_label")));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::activated, this, &RemindersListPicker::picked);
    // The form style comes from whichever ancestor sets it, which may arrive later.
    m_ancestry = new AncestorEventFilter(this, [this](QWidget*, QEvent* event) {
        if (event->type() == QEvent::ParentChange)
            followFormStyle();
    });
    followFormStyle();
    showSelection();
}

RemindersListPicker::~RemindersListPicker()
{
    delete m_ancestry;
}

void RemindersListPicker::setSources(const std::vector<AnySource>& sources)
{
    if (sources == m_sources)
        return;
    m_sources = sources;
    rebuild();
}

void RemindersListPicker::setSelectedList(const std::optional<AnyList>& list)
{
    if (list == m_selectedList)
        return;
    m_selectedList = list;
    showSelection();
}

void RemindersListPicker::setChooseHandler(std::function<void(const AnyList&)> handler)
{
    m_choose = std::move(handler);
}

bool RemindersListPicker::event(QEvent* event)
{
    if (isEnvironmentChange(event))
        followFormStyle();
    return QComboBox::event(event);
}

void RemindersListPicker::rebuild()
{
    const QSignalBlocker blocker(this);
    m_rows = remindersListPickerRows(m_sources);
    m_model->clear();
    for (const auto& row : m_rows) {
        auto* item = new QStandardItem(QString::fromStdString(row.title));
        if (row.kind == RemindersListPickerRow::Kind::header) {
            // A heading: seen, never chosen.
            item->setFlags(Qt::NoItemFlags);
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setData(QString::fromStdString(row.list->id), Qt::UserRole);
        }
        m_model->appendRow(item);
    }
    showSelection();
}

void RemindersListPicker::showSelection()
{
    const QSignalBlocker blocker(this);
    const auto index = remindersListPickerIndex(m_rows, m_selectedList);
    setCurrentIndex(index ? int(*index) : -1);
}

void RemindersListPicker::followFormStyle()
{
    const bool grouped = environmentValue(this, formStyleKey).has_value();
    setMaximumWidth(grouped ? QWIDGETSIZE_MAX : plainMaximumWidth);
}

void RemindersListPicker::picked(int index)
{
    const auto chosen = index >= 0 && std::size_t(index) < m_rows.size()
        ? m_rows[std::size_t(index)].list
        : std::nullopt;
    // The owner's state decides what shows.
    showSelection();
    if (chosen && m_choose)
        m_choose(*chosen);
}

} // namespace tidemark
