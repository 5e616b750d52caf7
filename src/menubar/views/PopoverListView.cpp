#include "menubar/views/PopoverListView.hpp"

#include "menubar/views/PopoverGlyphs.hpp"
#include "menubar/views/PopoverKeys.hpp"
#include "menubar/views/PopoverListModel.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/EditingHighlight.hpp"
#include "toolkit/ListAppearance.hpp"
#include "toolkit/ListRowDivider.hpp"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace tidemark {

namespace {

constexpr double rowLeadingPadding = 2.5;
constexpr double rowTrailingPadding = 2.5;
constexpr double rowInset = 4; // the list's own inset of a row's content
constexpr double removeButtonSize = 18;
constexpr double plateRadius = 6;

bool hasLabels(const AnyReminder& reminder)
{
    return reminder.startDateComponents && reminder.dueDateComponents;
}

// The locale the time of day is written in, as ICU names it.
std::string timeLocale(const QWidget* view)
{
    const QString name = view->locale().name();
    return name == QLatin1String("C") ? std::string("en_US") : name.toStdString();
}

// One line of the time view: the phrase around its value, the value in the primary colour,
// the rest in the secondary one, inside the line's editing padding.
void drawPhrase(QPainter& painter, const QRectF& line, const TimeView::Phrase& phrase,
    const QFont& font, const QColor& secondary, const QColor& primary)
{
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    double x = line.left() + EditingViewModifier::horizontalPadding;
    const double right = line.right() - EditingViewModifier::horizontalPadding;
    const double baseline = line.top() + EditingViewModifier::verticalPadding + metrics.ascent();
    const std::pair<const std::string*, const QColor*> parts[] = {
        { &phrase.before, &secondary },
        { &phrase.value, &primary },
        { &phrase.after, &secondary },
    };
    for (const auto& [text, color] : parts) {
        if (text->empty() || x >= right)
            continue;
        QString part = QString::fromStdString(*text);
        double width = metrics.horizontalAdvance(part);
        if (x + width > right) {
            part = metrics.elidedText(part, Qt::ElideRight, right - x);
            width = metrics.horizontalAdvance(part);
        }
        painter.setPen(*color);
        painter.drawText(QPointF(x, baseline), part);
        x += width;
    }
}

// Draws a menu entry's glyph again in the menu's text colour whenever its palette changes
// (light to dark and back), as the menu's own texts follow it.
class GlyphFollowsPalette final : public QObject {
public:
    GlyphFollowsPalette(QMenu* menu, QAction* action, PopoverGlyph glyph)
        : QObject(menu)
        , m_action(action)
        , m_glyph(glyph)
    {
        menu->installEventFilter(this);
        paint(menu);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            paint(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void paint(const QWidget* menu)
    {
        m_action->setIcon(popoverGlyphIcon(m_glyph, primaryTextColor(menu->palette())));
    }

    QAction* m_action;
    PopoverGlyph m_glyph;
};

} // namespace

// --- Delegate ---------------------------------------------------------------------------

PopoverRowDelegate::PopoverRowDelegate(PopoverListView* view, std::shared_ptr<const Clock> clock)
    : QStyledItemDelegate(view)
    , m_view(view)
    , m_clock(std::move(clock))
    , m_formatter(std::make_shared<DateComponentsFormatter>())
{
}

void PopoverRowDelegate::setFormatter(std::shared_ptr<DateComponentsFormatter> formatter)
{
    m_formatter = formatter ? std::move(formatter) : std::make_shared<DateComponentsFormatter>();
}

void PopoverRowDelegate::invalidateMeasures()
{
    m_measures.reset();
}

const PopoverRowDelegate::Measures& PopoverRowDelegate::measures() const
{
    if (!m_measures) {
        Measures m;
        m.fonts = popoverFonts(m_view->font());
        const double linePadding = 2 * EditingViewModifier::verticalPadding;
        m.timeLine = QFontMetricsF(m.fonts.time).height() + linePadding;
        m.titleLine = QFontMetricsF(m.fonts.title).height() + linePadding;
        m.headerHeight = std::ceil(QFontMetricsF(m.fonts.sectionHeader).height() + 14);
        m_measures = m;
        for (auto& labels : m_heights)
            for (auto& selected : labels)
                for (int& height : selected)
                    height = 0;
    }
    return *m_measures;
}

int PopoverRowDelegate::rowHeight(bool labels, bool selected, bool showsTitle) const
{
    const Measures& m = measures();
    int& cached = m_heights[labels][selected][showsTitle];
    if (cached == 0) {
        const double padding = selected ? 3.5 : 9.0;
        const double spacing = TimeView::lineSpacing(selected);
        double content = m.titleLine;
        if (labels)
            content = 2 * m.timeLine + spacing + (showsTitle ? spacing + m.titleLine : 0);
        cached = int(std::ceil(2 * padding + content + 1));
    }
    return cached;
}

PopoverRowGeometry PopoverRowDelegate::geometry(
    const QRect& rowRect, const AnyReminder& reminder, bool selected) const
{
    const Measures& m = measures();
    const QRectF row(rowRect);
    PopoverRowGeometry g;
    g.plate = QRectF(row.left() + popoverMetrics::listMargin, row.top(),
        row.width() - 2 * popoverMetrics::listMargin, row.height() - 1);
    const double left = g.plate.left() + rowLeadingPadding + rowInset;
    const double right = g.plate.right() - rowTrailingPadding - rowInset;
    const double width = std::max(0.0, right - left);
    const double spacing = TimeView::lineSpacing(selected);
    double y = row.top() + (selected ? 3.5 : 9.0);
    if (hasLabels(reminder)) {
        g.relativeLine = QRectF(left, y, width, m.timeLine);
        y += m.timeLine + spacing;
        g.absoluteLine = QRectF(left, y, width, m.timeLine);
        y += m.timeLine;
        if (TimeView::showsTitleRow(selected, reminder.title))
            g.title = QRectF(left, y + spacing, width, m.titleLine);
    } else {
        g.title = QRectF(left, y, width, m.titleLine);
    }
    g.removeButton = QRectF(g.plate.right() - rowTrailingPadding - removeButtonSize,
        g.plate.center().y() - removeButtonSize / 2, removeButtonSize, removeButtonSize);
    const double lineY = row.bottom() - 0.5;
    g.divider = QLineF(left + EditingViewModifier::horizontalPadding, lineY,
        right - EditingViewModifier::horizontalPadding, lineY);
    return g;
}

std::optional<TimeView::Phrase> PopoverRowDelegate::relativeLine(
    const AnyReminder& reminder, Date now) const
{
    const auto start = startDate(reminder);
    const auto interval = duration(reminder);
    if (!start || !interval)
        return std::nullopt;
    // The time left (or passed) at the moment of drawing, not the whole interval: a row
    // drawn before the first tick already counts down.
    const auto left = TimeView::relativeTimeOnTick(*start, *interval, now, *m_formatter);
    return TimeView::relativeLine(*start, *interval, now, left, *m_formatter);
}

std::optional<TimeView::Phrase> PopoverRowDelegate::absoluteLine(const AnyReminder& reminder) const
{
    const auto start = startDate(reminder);
    const auto interval = duration(reminder);
    if (!start || !interval)
        return std::nullopt;
    return TimeView::absoluteLine(*start, *interval, timeLocale(m_view));
}

void PopoverRowDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const PopoverListModel* model = m_view->listModel();
    if (model->kind(index.row()) == PopoverListRow::Kind::header) {
        paintHeader(*painter, option.rect, model->section(index.row()));
        return;
    }
    if (const AnyReminder* reminder = model->reminder(index))
        paintReminder(*painter, option, index, *reminder);
}

void PopoverRowDelegate::paintHeader(
    QPainter& painter, const QRect& rect, PopoverListSection section) const
{
    const Measures& m = measures();
    painter.save();
    painter.setFont(m.fonts.sectionHeader);
    painter.setPen(secondaryTextColor(m_view->palette()));
    const QFontMetricsF metrics(m.fonts.sectionHeader);
    const double left = rect.left() + popoverMetrics::listMargin + rowLeadingPadding + rowInset
        + EditingViewModifier::horizontalPadding;
    const double baseline = rect.bottom() + 1 - 5 - metrics.descent();
    painter.drawText(QPointF(left, baseline), QString::fromStdString(popoverSectionTitle(section)));
    painter.restore();
}

void PopoverRowDelegate::paintReminder(QPainter& painter, const QStyleOptionViewItem& option,
    const QModelIndex& index, const AnyReminder& reminder) const
{
    const Measures& m = measures();
    const QPalette& palette = m_view->palette();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool active = option.state.testFlag(QStyle::State_Active);
    const auto hover = m_view->hoverPoint();
    const bool hovered = hover && option.rect.contains(*hover);
    const bool editing = m_view->isEditing(index);
    const PopoverRowGeometry g = geometry(option.rect, reminder, selected);
    const QColor primary = primaryTextColor(palette);
    const QColor secondary = secondaryTextColor(palette);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (selected)
        fillContinuousRoundedRect(
            painter, g.plate, plateRadius, withOpacity(accentColor(palette), active ? 0.26 : 0.14));

    if (g.relativeLine) {
        if (auto phrase = relativeLine(reminder, now()))
            drawPhrase(painter, *g.relativeLine, *phrase, m.fonts.time, secondary, primary);
    }
    if (g.absoluteLine) {
        if (auto phrase = absoluteLine(reminder))
            drawPhrase(painter, *g.absoluteLine, *phrase, m.fonts.time, secondary, primary);
    }
    if (g.title) {
        const bool isField = hasLabels(reminder);
        const bool hoversTitle = isField && hover && g.title->contains(*hover);
        if (isField && (selected || editing || hoversTitle))
            paintEditingPlate(painter, *g.title, primary);
        if (!editing) {
            const bool empty = reminder.title.empty();
            const QString text = QString::fromStdString(
                empty && isField ? TimeView::titlePlaceholder() : reminder.title);
            const QFontMetricsF metrics(m.fonts.title);
            const QRectF inner = g.title->adjusted(EditingViewModifier::horizontalPadding, 0,
                -EditingViewModifier::horizontalPadding, 0);
            painter.setFont(m.fonts.title);
            painter.setPen(TimeView::titleIsPrimary(reminder.title) ? primary : secondary);
            painter.drawText(
                QPointF(inner.left(),
                    g.title->top() + EditingViewModifier::verticalPadding + metrics.ascent()),
                metrics.elidedText(text, Qt::ElideRight, inner.width()));
        }
    }

    const PopoverListModel* model = m_view->listModel();
    const int row = index.row();
    const bool nextSelected = !model->isLastOfSection(row)
        && m_view->selectionModel()->isSelected(model->index(row + 1));
    if (popoverRowShowsDivider(model->isLastOfSection(row), selected, nextSelected)) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(dividerColor(palette), 1));
        painter.drawLine(g.divider);
        painter.setRenderHint(QPainter::Antialiasing);
    }

    if (hovered && !editing) {
        const QColor red = destructiveColor(palette);
        const bool overButton = g.removeButton.contains(*hover);
        painter.setPen(Qt::NoPen);
        painter.setBrush(overButton ? red.darker(110) : red);
        painter.drawEllipse(g.removeButton);
        paintPopoverGlyph(
            painter, PopoverGlyph::archiveBox, g.removeButton.adjusted(4, 4, -4, -4), Qt::white);
    }
    painter.restore();
}

QSize PopoverRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const PopoverListModel* model = m_view->listModel();
    const int width = m_view->viewport()->width();
    if (model->kind(index.row()) == PopoverListRow::Kind::header)
        return { width, int(measures().headerHeight) };
    const AnyReminder* reminder = model->reminder(index);
    if (!reminder)
        return { width, 0 };
    const bool selected = m_view->selectionModel()->isSelected(index);
    const bool labels = hasLabels(*reminder);
    return { width,
        rowHeight(labels, selected, labels && TimeView::showsTitleRow(selected, reminder->title)) };
}

QPalette PopoverRowDelegate::editorPalette() const
{
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, primaryTextColor(palette));
    palette.setColor(QPalette::PlaceholderText, secondaryTextColor(palette));
    return palette;
}

QWidget* PopoverRowDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const AnyReminder* reminder = m_view->listModel()->reminder(index);
    if (!reminder || !hasLabels(*reminder))
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setFont(measures().fonts.title);
    editor->setTextMargins(0, 0, 0, 0);
    editor->setContentsMargins(0, 0, 0, 0);
    editor->setPalette(editorPalette());
    editor->setAutoFillBackground(false);
    editor->setAttribute(Qt::WA_TranslucentBackground);
    const QString placeholder = QString::fromStdString(TimeView::titlePlaceholder());
    editor->setPlaceholderText(placeholder);
    editor->setAccessibleName(placeholder);
    PopoverListView* view = m_view;
    QObject::connect(editor, &QLineEdit::textEdited, view,
        [view](const QString& text) { view->titleEdited(text); });
    view->m_editor = editor;
    view->m_editedIndex = index;
    return editor;
}

void PopoverRowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    // Only when the field opens: later states (one turn behind the typing) must not take
    // back what the user typed since.
    if (editor->property("tidemarkFilled").toBool())
        return;
    editor->setProperty("tidemarkFilled", true);
    if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        if (const AnyReminder* reminder = m_view->listModel()->reminder(index))
            field->setText(QString::fromStdString(reminder->title));
        field->end(false);
    }
}

void PopoverRowDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
    // The edit goes to the store as it is typed and is committed when the field closes.
}

void PopoverRowDelegate::updateEditorGeometry(
    QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const AnyReminder* reminder = m_view->listModel()->reminder(index);
    if (!reminder)
        return;
    const bool selected = m_view->selectionModel()->isSelected(index);
    const auto g = geometry(option.rect, *reminder, selected);
    QRectF title = g.title.value_or(QRectF(option.rect));
    // The field's text stands where the painted title stood.
    title.adjust(
        EditingViewModifier::horizontalPadding - 2, 0, -EditingViewModifier::horizontalPadding, 0);
    editor->setGeometry(title.toAlignedRect());
}

// --- View -------------------------------------------------------------------------------

PopoverListView::PopoverListView(std::shared_ptr<const Clock> clock, QWidget* parent)
    : QListView(parent)
    , m_clock(std::move(clock))
    , m_model(new PopoverListModel(this))
    , m_delegate(new PopoverRowDelegate(this, m_clock))
    , m_transition(new QTimer(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    m_model->setAccessibleText([this](const AnyReminder& reminder) {
        return popoverRowAccessibleText(reminder.title,
            m_delegate->relativeLine(reminder, m_clock->now()), m_delegate->absoluteLine(reminder));
    });
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(16);
    // A slim scroller over the rows' edge, as lists on floating panels have, rather than a
    // trough that takes a tenth of the width.
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 7px; margin: 2px 1px 2px 0; }"
        "QScrollBar::handle:vertical { background: rgba(128, 128, 128, 0.45); border-radius: 3px;"
        " min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setTabKeyNavigation(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    hideListBackground(this);
    clearTableBackground(this, Qt::transparent);
    m_transition->setSingleShot(true);
    connect(m_transition, &QTimer::timeout, this, [this] { moveDueReminders(); });
}

PopoverListView::~PopoverListView() = default;

void PopoverListView::setLists(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems)
{
    setLists(std::make_shared<const std::vector<AnyReminder>>(std::move(currentItems)),
        std::make_shared<const std::vector<AnyReminder>>(std::move(pastItems)));
}

void PopoverListView::setLists(SharedReminderList currentItems, SharedReminderList pastItems)
{
    // A due time may have passed since these lists were split. The lists shown already were
    // advanced when taken in: until their next transition none of them can have fallen due.
    const Date now = m_clock->now();
    const bool shownAlready
        = currentItems == m_model->sharedCurrentItems() && pastItems == m_model->sharedPastItems();
    const auto due = shownAlready && (!m_nextTransition || *m_nextTransition >= now)
        ? PopoverListDue { false, m_nextTransition }
        : popoverListDueAt(*currentItems, now);
    if (due.anyDue) {
        auto advanced = advancePopoverListAt(*currentItems, *pastItems, now);
        currentItems = std::make_shared<const std::vector<AnyReminder>>(
            std::move(advanced.split.currentItems));
        pastItems
            = std::make_shared<const std::vector<AnyReminder>>(std::move(advanced.split.pastItems));
    }
    ++m_syncingSelection;
    m_model->setLists(std::move(currentItems), std::move(pastItems));
    --m_syncingSelection;
    relayout();
    m_nextTransition = due.nextTransition;
    scheduleTransition(due.nextTransition, now);
}

void PopoverListView::setFormatter(std::shared_ptr<DateComponentsFormatter> formatter)
{
    m_delegate->setFormatter(std::move(formatter));
    viewport()->update();
}

void PopoverListView::moveDueReminders()
{
    setLists(m_model->sharedCurrentItems(), m_model->sharedPastItems());
}

void PopoverListView::scheduleTransition(std::optional<Date> next, Date now)
{
    if (!next) {
        m_transition->stop();
        return;
    }
    // Just past the due time: a reminder due exactly now is not past yet.
    const auto wait
        = std::chrono::ceil<std::chrono::milliseconds>(*next - now) + std::chrono::milliseconds(1);
    m_transition->start(int(std::min<std::int64_t>(wait.count(), 24LL * 3600 * 1000)));
}

void PopoverListView::relayout()
{
    // Row heights follow the selection and the titles; the layout measures them again.
    scheduleDelayedItemsLayout();
}

void PopoverListView::setSelectedIDs(const std::set<std::string>& ids)
{
    if (ids == selectedIDs())
        return;
    QItemSelection selection;
    for (const auto& id : ids) {
        const int row = m_model->rowOf(id);
        if (row >= 0)
            selection.select(m_model->index(row), m_model->index(row));
    }
    ++m_syncingSelection;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    --m_syncingSelection;
}

std::set<std::string> PopoverListView::selectedIDs() const
{
    std::set<std::string> ids;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (const AnyReminder* reminder = m_model->reminder(index))
            ids.insert(reminder->id);
    }
    return ids;
}

void PopoverListView::selectionChanged(
    const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    relayout();
    if (m_syncingSelection == 0 && m_callbacks.selection)
        m_callbacks.selection(selectedIDs());
}

void PopoverListView::tick()
{
    viewport()->update();
}

std::optional<AnyReminder> PopoverListView::editedReminder() const
{
    if (!m_editor || !m_editedIndex.isValid())
        return std::nullopt;
    const AnyReminder* reminder = m_model->reminder(m_editedIndex.row());
    if (!reminder)
        return std::nullopt;
    return withTitle(*reminder, m_editor->text().toStdString());
}

QLineEdit* PopoverListView::titleEditor() const
{
    return m_editor;
}

bool PopoverListView::isEditing(const QModelIndex& index) const
{
    return m_editor && m_editedIndex.isValid() && m_editedIndex.row() == index.row();
}

void PopoverListView::editTitle(int row)
{
    const QModelIndex index = m_model->index(row);
    const AnyReminder* reminder = m_model->reminder(index);
    if (!reminder || !(reminder->startDateComponents && reminder->dueDateComponents))
        return;
    if (isEditing(index)) {
        m_editor->setFocus(Qt::MouseFocusReason);
        return;
    }
    const std::string id = reminder->id;
    // The field left is committed first; its commit empties the selection, so the row
    // entered is selected after it.
    std::optional<AnyReminder> left = editedReminder();
    if (m_editor) {
        m_closingQuietly = true;
        closeEditor(m_editor, QAbstractItemDelegate::NoHint);
        m_closingQuietly = false;
    }
    if (m_callbacks.focusChange)
        m_callbacks.focusChange(left, id);
    const int at = m_model->rowOf(id);
    if (at >= 0)
        QListView::edit(m_model->index(at), QAbstractItemView::AllEditTriggers, nullptr);
    // The view selects a field's whole text as it opens, and the first key typed would
    // replace the title: the cursor goes to its end instead.
    if (m_editor) {
        m_editor->deselect();
        m_editor->end(false);
    }
}

void PopoverListView::endEditing()
{
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::NoHint);
}

bool PopoverListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger == QAbstractItemView::EditKeyPressed) {
        editTitle(index.row());
        return isEditing(index);
    }
    return QListView::edit(index, trigger, event);
}

void PopoverListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint)
{
    if (!editor || editor != m_editor) {
        QListView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
    const std::optional<AnyReminder> left = editedReminder();
    const bool quietly = m_closingQuietly;
    m_editor = nullptr;
    m_editedIndex = QPersistentModelIndex();
    QListView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    viewport()->update();
    // The field lost the keyboard: what was typed is committed.
    if (!quietly && left && m_callbacks.focusChange)
        m_callbacks.focusChange(left, std::nullopt);
}

void PopoverListView::commitData(QWidget*)
{
    // Committed as the field closes (closeEditor), once, whatever closes it.
}

void PopoverListView::titleEdited(const QString& text)
{
    const auto edited = editedReminder();
    if (!edited || !m_callbacks.edit)
        return;
    const PopoverListSection section = m_model->section(m_editedIndex.row());
    m_callbacks.edit(section,
        replacingReminder(m_model->items(section), withTitle(*edited, text.toStdString())));
}

void PopoverListView::keyPressEvent(QKeyEvent* event)
{
    // Removal, undo and redo, and closing belong to the popover, not to the list.
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Escape || isUndoKey(event)
        || isRedoKey(event)) {
        event->ignore();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        editTitle(currentIndex().row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void PopoverListView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    if (event->button() == Qt::LeftButton && index.isValid()) {
        if (const AnyReminder* reminder = m_model->reminder(index)) {
            const auto g = m_delegate->geometry(
                visualRect(index), *reminder, selectionModel()->isSelected(index));
            if (!isEditing(index) && g.removeButton.contains(point)) {
                if (m_callbacks.remove)
                    m_callbacks.remove({ reminder->id });
                event->accept();
                return;
            }
            if (g.title && g.title->contains(point) && hasLabels(*reminder)) {
                editTitle(index.row());
                // The cursor stands where the title was clicked.
                if (m_editor)
                    m_editor->setCursorPosition(
                        m_editor->cursorPositionAt(m_editor->mapFrom(viewport(), point)));
                event->accept();
                return;
            }
        }
    }
    QListView::mousePressEvent(event);
}

void PopoverListView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_hoverPoint != point) {
        const QModelIndex before = m_hoverPoint ? indexAt(*m_hoverPoint) : QModelIndex();
        m_hoverPoint = point;
        const QModelIndex now = indexAt(point);
        if (before.isValid())
            viewport()->update(visualRect(before));
        if (now.isValid())
            viewport()->update(visualRect(now));
    }
    QListView::mouseMoveEvent(event);
}

bool PopoverListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave && m_hoverPoint) {
        m_hoverPoint.reset();
        viewport()->update();
    }
    return QListView::viewportEvent(event);
}

QMenu* PopoverListView::makeContextMenu(int row)
{
    const AnyReminder* reminder = m_model->reminder(row);
    if (!reminder)
        return nullptr;
    const auto menu = popoverRowContextMenu(selectedIDs(), reminder->id, m_model->reminderCount());
    auto* contextMenu = new QMenu(this);
    contextMenu->setToolTipsVisible(true);
    const QString title = QString::fromStdString(menu.content.title());
    QAction* remove = contextMenu->addAction(title);
    new GlyphFollowsPalette(contextMenu, remove, PopoverGlyph::archiveBox);
    remove->setToolTip(title);
    remove->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);
    remove->setEnabled(menu.content.isEnabled());
    connect(remove, &QAction::triggered, this, [this, targets = menu.targets] {
        if (m_callbacks.remove)
            m_callbacks.remove(targets);
    });
    return contextMenu;
}

void PopoverListView::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    QMenu* menu = index.isValid() ? makeContextMenu(index.row()) : nullptr;
    if (!menu) {
        event->ignore();
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void PopoverListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_delegate->invalidateMeasures();
        relayout();
    }
    if (event->type() == QEvent::PaletteChange && m_editor)
        m_editor->setPalette(m_delegate->editorPalette());
    QListView::changeEvent(event);
}

} // namespace tidemark
