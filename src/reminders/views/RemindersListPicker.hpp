#pragma once

#include "reminders/RemindersListPickerRows.hpp"

#include <QComboBox>

#include <functional>
#include <optional>
#include <vector>

class QStandardItemModel;

namespace tidemark {

class AncestorEventFilter;
// Chooses the reminder list new reminders go into: the lists of every account, under the
// account's title (a disabled entry) when there are two accounts or more. It shows what it is
// given and reports the user's choice; its owner decides what it then shows. At most 200 wide
// unless the grouped form style is in force around it.
class RemindersListPicker final : public QComboBox {
public:
    static constexpr int plainMaximumWidth = 200;

    explicit RemindersListPicker(QWidget* parent = nullptr);
    ~RemindersListPicker() override;

    // Both change nothing when the value is the one shown, and send nothing.
    void setSources(const std::vector<AnySource>& sources);
    void setSelectedList(const std::optional<AnyList>& list);

    const std::vector<AnySource>& sources() const { return m_sources; }
    const std::optional<AnyList>& selectedList() const { return m_selectedList; }
    const std::vector<RemindersListPickerRow>& rows() const { return m_rows; }

    // Called with the list the user picked.
    void setChooseHandler(std::function<void(const AnyList&)> handler);

protected:
    bool event(QEvent* event) override;

private:
    void rebuild();
    void showSelection();
    void followFormStyle();
    void picked(int index);

    QStandardItemModel* m_model;
    AncestorEventFilter* m_ancestry = nullptr;
    std::vector<AnySource> m_sources;
    std::optional<AnyList> m_selectedList;
    std::vector<RemindersListPickerRow> m_rows;
    std::function<void(const AnyList&)> m_choose;
};

} // namespace tidemark
