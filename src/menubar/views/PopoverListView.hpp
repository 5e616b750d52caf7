#pragma once

#include "menubar/PopoverListRows.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <QListView>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QLineEdit;
class QTimer;

namespace tidemark {

class PopoverListModel;
class PopoverListView;

// Where a reminder's row draws what, in the row's coordinates of its view.
struct PopoverRowGeometry {
    QRectF plate; // the selection's plate
    std::optional<QRectF> relativeLine; // absent for a reminder without a start or due date
    std::optional<QRectF> absoluteLine;
    std::optional<QRectF> title; // the title row (or the plain title)
    QRectF removeButton;
    QLineF divider;
};

// Draws each row from the time view's rules, so that a list of thousands of reminders costs
// no widget per row: the relative line ("in 10 min", counted from now when it is drawn), the
// absolute line ("at 9:41 AM"), the title, the selection's plate, the divider and, under the
// pointer, the remove button. Heights come from a few measures kept per font.
class PopoverRowDelegate final : public QStyledItemDelegate {
public:
    PopoverRowDelegate(PopoverListView* view, std::shared_ptr<const Clock> clock);

    void setFormatter(std::shared_ptr<DateComponentsFormatter> formatter);

    PopoverRowGeometry geometry(
        const QRect& rowRect, const AnyReminder& reminder, bool selected) const;
    // The texts of a row's lines at `now`.
    std::optional<TimeView::Phrase> relativeLine(const AnyReminder& reminder, Date now) const;
    std::optional<TimeView::Phrase> absoluteLine(const AnyReminder& reminder) const;
    Date now() const { return m_clock->now(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(
        QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;

    // The title field's colours in the list's palette (light or dark as it stands now).
    QPalette editorPalette() const;

    // The fonts changed (or the pixel ratio): measure again.
    void invalidateMeasures();

private:
    struct Measures {
        PopoverFonts fonts;
        double timeLine = 0;
        double titleLine = 0;
        double headerHeight = 0;
    };
    const Measures& measures() const;
    int rowHeight(bool hasLabels, bool selected, bool showsTitle) const;
    void paintHeader(QPainter& painter, const QRect& rect, PopoverListSection section) const;
    void paintReminder(QPainter& painter, const QStyleOptionViewItem& option,
        const QModelIndex& index, const AnyReminder& reminder) const;

    PopoverListView* m_view;
    std::shared_ptr<const Clock> m_clock;
    std::shared_ptr<DateComponentsFormatter> m_formatter;
    mutable std::optional<Measures> m_measures;
    mutable int m_heights[2][2][2] = {};
};

// What the list tells its owner. Each is optional.
struct PopoverListCallbacks {
    // The user changed the selection.
    std::function<void(const std::set<std::string>&)> selection;
    // The keyboard focus moved between title fields: the reminder left, with what was typed
    // (none when no field had it), and the id of the reminder entered (none when the focus
    // left the fields).
    std::function<void(const std::optional<AnyReminder>&, const std::optional<std::string>&)>
        focusChange;
    // A title was typed into: the whole section with the edited reminder.
    std::function<void(PopoverListSection, std::vector<AnyReminder>)> edit;
    // Remove these reminders (the context menu, the remove button).
    std::function<void(const std::set<std::string>&)> remove;
};

// The popover's reminder list: a header and the rows of the current section, then of the past
// one. Arrows (with Shift and Ctrl) move and extend the selection; Ctrl+A selects all; a
// click into a row's title, or F2, edits it in place, and the edit is committed when the field
// loses the keyboard; the context menu and the remove button at a hovered row's end remove.
// Keys it does not use (Delete, Escape, Ctrl+Z …) go on to its owner.
class PopoverListView final : public QListView {
public:
    explicit PopoverListView(
        std::shared_ptr<const Clock> clock = Clock::system(), QWidget* parent = nullptr);
    ~PopoverListView() override;

    PopoverListModel* listModel() const { return m_model; }
    PopoverRowDelegate* rowDelegate() const { return m_delegate; }
    void setCallbacks(PopoverListCallbacks callbacks) { m_callbacks = std::move(callbacks); }

    // Takes in new lists; reminders that come due later move to the past section at their
    // due time, by themselves. Shared lists are kept, not copied, unless a reminder in them
    // has fallen due since they were split.
    void setLists(SharedReminderList currentItems, SharedReminderList pastItems);
    void setLists(std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems);
    void setFormatter(std::shared_ptr<DateComponentsFormatter> formatter);
    // Selects exactly these reminders (ids of no row are left out), telling nobody.
    void setSelectedIDs(const std::set<std::string>& ids);
    std::set<std::string> selectedIDs() const;

    // Redraws the rows on screen, so their relative lines count on.
    void tick();

    // The reminder whose title is being edited, with what has been typed so far.
    std::optional<AnyReminder> editedReminder() const;
    QLineEdit* titleEditor() const;
    // Puts the keyboard into the title of the reminder at `row` (the rules of focusing a
    // title: the field left is committed first, then the row is selected).
    void editTitle(int row);
    // Ends editing as losing the keyboard does, committing what was typed.
    void endEditing();

    // Where the pointer rests, in the viewport; none when it is elsewhere.
    std::optional<QPoint> hoverPoint() const { return m_hoverPoint; }
    bool isEditing(const QModelIndex& index) const;

    // The context menu of a row, built as it would be shown (the caller owns it); null for a
    // header or no row.
    QMenu* makeContextMenu(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget* editor) override;
    void selectionChanged(
        const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    friend class PopoverRowDelegate;
    void titleEdited(const QString& text);
    // Moves the reminders that fall due at `next` (none: no reminder will) then.
    void scheduleTransition(std::optional<Date> next, Date now);
    void relayout();

public:
    // Moves the reminders that have fallen due to the past section now (the view's own timer
    // does this at each due time).
    void moveDueReminders();

private:
    std::shared_ptr<const Clock> m_clock;
    PopoverListModel* m_model;
    PopoverRowDelegate* m_delegate;
    PopoverListCallbacks m_callbacks;
    QPersistentModelIndex m_editedIndex;
    QPointer<QLineEdit> m_editor;
    bool m_closingQuietly = false;
    int m_syncingSelection = 0;
    std::optional<QPoint> m_hoverPoint;
    QTimer* m_transition;
    std::optional<Date> m_nextTransition; // of the lists the model holds
};

} // namespace tidemark
