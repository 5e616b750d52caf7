#include "platform/ui/PinnedLayout.hpp"

#include <QWidget>
#include <QWidgetItem>

#include <cmath>

namespace tidemark {

namespace {

int px(double points)
{
    return int(std::lround(points));
}

QSize grown(QSize size, const EdgeInsets& insets)
{
    return { size.width() + px(insets.left) + px(insets.right),
        size.height() + px(insets.top) + px(insets.bottom) };
}

} // namespace

PinnedLayout::PinnedLayout(QWidget* parent)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

PinnedLayout::~PinnedLayout()
{
    for (Entry& entry : m_entries)
        delete entry.item;
}

void PinnedLayout::addPinnedWidget(QWidget* widget, EdgeInsets insets)
{
    addChildWidget(widget);
    m_entries.push_back({ new QWidgetItem(widget), insets });
    invalidate();
}

void PinnedLayout::addItem(QLayoutItem* item)
{
    m_entries.push_back({ item, {} });
}

QLayoutItem* PinnedLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_entries[std::size_t(index)].item : nullptr;
}

QLayoutItem* PinnedLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = m_entries[std::size_t(index)].item;
    m_entries.erase(m_entries.begin() + index);
    return item;
}

int PinnedLayout::count() const
{
    return int(m_entries.size());
}

QSize PinnedLayout::sizeHint() const
{
    QSize result(0, 0);
    for (const Entry& entry : m_entries) {
        if (!entry.item->isEmpty())
            result = result.expandedTo(grown(entry.item->sizeHint(), entry.insets));
    }
    return result;
}

QSize PinnedLayout::minimumSize() const
{
    QSize result(0, 0);
    for (const Entry& entry : m_entries) {
        if (!entry.item->isEmpty())
            result = result.expandedTo(grown(entry.item->minimumSize(), entry.insets));
    }
    return result;
}

void PinnedLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    for (const Entry& entry : m_entries) {
        const EdgeInsets& in = entry.insets;
        entry.item->setGeometry(
            rect.adjusted(px(in.left), px(in.top), -px(in.right), -px(in.bottom)));
    }
}

void addPinnedSubview(QWidget* container, QWidget* subview, EdgeInsets insets)
{
    if (!container || !subview)
        return;
    auto* layout = qobject_cast<PinnedLayout*>(container->layout());
    if (!layout) {
        // A container laid out some other way keeps its layout; the subview is then pinned
        // inside a fresh pinned layer so that the two never fight over geometry.
        if (container->layout()) {
            auto* layer = new QWidget(container);
            container->layout()->addWidget(layer);
            container = layer;
        }
        layout = new PinnedLayout(container);
    }
    layout->addPinnedWidget(subview, insets);
    subview->show();
}

} // namespace tidemark
