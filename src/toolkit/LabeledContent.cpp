#include "toolkit/LabeledContent.hpp"

#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/Environment.hpp"
#include "toolkit/Availability.hpp"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>

#include <algorithm>

namespace tidemark {

namespace {

// Our row: the label right-aligned against the shared content column, the content after it.
class LabeledRowLayout final : public QLayout {
public:
    explicit LabeledRowLayout(LabeledContent* row)
        : QLayout(row)
        , m_row(row)
    {
        setContentsMargins(0, 0, 0, 0);
        addChildWidget(row->label());
        addChildWidget(row->content());
        m_items[0] = new QWidgetItem(row->label());
        m_items[1] = new QWidgetItem(row->content());
    }
    ~LabeledRowLayout() override
    {
        for (QLayoutItem*& item : m_items) {
            delete item;
            item = nullptr;
        }
    }

    void addItem(QLayoutItem* item) override { delete item; }
    QLayoutItem* itemAt(int index) const override
    {
        return index >= 0 && index < 2 ? m_items[index] : nullptr;
    }
    QLayoutItem* takeAt(int index) override
    {
        if (index < 0 || index >= 2 || !m_items[index])
            return nullptr;
        QLayoutItem* item = m_items[index];
        m_items[index] = nullptr;
        return item;
    }
    int count() const override { return (m_items[0] ? 1 : 0) + (m_items[1] ? 1 : 0); }

    QSize sizeHint() const override { return measure(false); }
    // The row grows where its content does, never because it is a layout.
    Qt::Orientations expandingDirections() const override
    {
        return m_items[1] ? m_items[1]->expandingDirections() : Qt::Orientations();
    }
    QSize minimumSize() const override { return measure(true); }

    void setGeometry(const QRect& rect) override
    {
        QLayout::setGeometry(rect);
        const int column = m_row->contentColumn();
        const int innerTop = rect.top() + LabeledContent::verticalPadding;
        const int innerHeight = std::max(0, rect.height() - 2 * LabeledContent::verticalPadding);
        auto centred = [&](const QSize& hint) {
            const int height = std::min(hint.height(), innerHeight);
            return std::pair(innerTop + (innerHeight - height) / 2, height);
        };
        if (QLayoutItem* label = m_items[0]) {
            const QSize hint = label->sizeHint();
            const auto [top, height] = centred(hint);
            label->setGeometry(QRect(rect.left() + column - LabeledContent::spacing - hint.width(),
                top, hint.width(), height));
        }
        if (QLayoutItem* content = m_items[1]) {
            const QSize hint = content->sizeHint();
            const auto [top, height] = centred(hint);
            content->setGeometry(
                QRect(rect.left() + column, top, std::max(0, rect.width() - column), height));
        }
    }

private:
    QSize measure(bool minimum) const
    {
        const QSize label
            = m_items[0] ? (minimum ? m_items[0]->minimumSize() : m_items[0]->sizeHint()) : QSize();
        const QSize content
            = m_items[1] ? (minimum ? m_items[1]->minimumSize() : m_items[1]->sizeHint()) : QSize();
        return { m_row->contentColumn() + std::max(0, content.width()),
            std::max(label.height(), content.height()) + 2 * LabeledContent::verticalPadding };
    }

    LabeledContent* m_row;
    QLayoutItem* m_items[2] = { nullptr, nullptr };
};

} // namespace

LabeledContent::LabeledContent(QWidget* content, QWidget* label, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
    , m_label(label)
{
    m_content->setParent(this);
    m_label->setParent(this);
    m_labelMinimumWidth = m_label->minimumWidth();
    // The form depends on the preview version, which an ancestor may set or change later.
    m_ancestry = new AncestorEventFilter(this, [this](QWidget*, QEvent* event) {
        if (event->type() == QEvent::ParentChange)
            chooseForm();
    });
    chooseForm();
}

LabeledContent::LabeledContent(QWidget* content, const QString& label, QWidget* parent)
    : LabeledContent(content, new QLabel(label), parent)
{
}

LabeledContent::~LabeledContent()
{
    delete m_ancestry;
}

int LabeledContent::labelColumnWidth() const
{
    int widest = m_label ? m_label->sizeHint().width() : 0;
    if (QWidget* parent = parentWidget()) {
        for (QObject* child : parent->children()) {
            auto* row = qobject_cast<LabeledContent*>(child);
            if (!row || row == this || row->isHidden() || !row->m_label
                || row->m_formLayoutRow != m_formLayoutRow)
                continue;
            widest = std::max(widest, row->m_label->sizeHint().width());
        }
    }
    return widest;
}

bool LabeledContent::event(QEvent* event)
{
    if (isEnvironmentChange(event))
        chooseForm();
    else if (event->type() == QEvent::LayoutRequest)
        labelWidthMayHaveChanged();
    else if (event->type() == QEvent::ParentChange || event->type() == QEvent::ShowToParent
        || event->type() == QEvent::HideToParent)
        // Only visible rows decide the label column.
        relayoutSiblings();
    return QWidget::event(event);
}

void LabeledContent::chooseForm()
{
    const bool formLayoutRow
        = allowsNewerFacility(this, AvailabilityTest::runningSystemAndPreviewVersion);
    if (m_built && formLayoutRow == m_formLayoutRow)
        return;
    m_formLayoutRow = formLayoutRow;
    build();
}

void LabeledContent::build()
{
    if (!m_label || !m_content)
        return;
    delete layout();
    m_label->setMinimumWidth(m_labelMinimumWidth);
    if (m_formLayoutRow) {
        auto* form = new QFormLayout(this);
        form->setContentsMargins(0, 0, 0, 0);
        form->addRow(m_label, m_content);
    } else {
        new LabeledRowLayout(this);
    }
    m_built = true;
    m_lastLabelWidth = -1;
    labelWidthMayHaveChanged();
    relayoutSiblings();
}

void LabeledContent::labelWidthMayHaveChanged()
{
    if (!m_label)
        return;
    const int width = m_label->sizeHint().width();
    if (width == m_lastLabelWidth)
        return;
    m_lastLabelWidth = width;
    relayoutSiblings();
}

void LabeledContent::relayoutSiblings()
{
    QWidget* parent = parentWidget();
    const auto siblings = parent ? parent->children() : QObjectList { this };
    for (QObject* child : siblings) {
        auto* row = qobject_cast<LabeledContent*>(child);
        if (!row || !row->layout() || !row->m_label)
            continue;
        // The platform's form row sizes its label column from the label's minimum width.
        if (row->m_formLayoutRow)
            row->m_label->setMinimumWidth(
                std::max(row->m_labelMinimumWidth, row->labelColumnWidth()));
        row->layout()->invalidate();
        row->updateGeometry();
    }
}

} // namespace tidemark
