#include "menubar/views/PopoverEmptyView.hpp"

#include "menubar/views/PopoverStyle.hpp"
#include "platform/foundation/StringTables.hpp"

#include <QVBoxLayout>

namespace tidemark {

namespace {

PopoverEmptyDemonstrationFactory& demonstrationFactory()
{
    static PopoverEmptyDemonstrationFactory factory;
    return factory;
}

} // namespace

void setPopoverEmptyDemonstrationFactory(PopoverEmptyDemonstrationFactory factory)
{
    demonstrationFactory() = std::move(factory);
}

PopoverEmptyView::PopoverEmptyView(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QString::fromStdString(localized("Reminders", "all_reminders_label")));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (const auto& factory = demonstrationFactory()) {
        m_demonstration = factory(m_isPlaying);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_demonstration.view);
    }
}

void PopoverEmptyView::setPlaying(bool isPlaying)
{
    m_isPlaying = isPlaying;
    if (m_demonstration.setPlaying)
        m_demonstration.setPlaying(isPlaying);
}

QSize PopoverEmptyView::sizeHint() const
{
    return { popoverMetrics::contentWidth, popoverMetrics::contentHeight };
}

} // namespace tidemark
