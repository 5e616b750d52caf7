#include "toolkit/FormPane.hpp"

#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/Environment.hpp"

#include <QEvent>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tidemark {

namespace {

// A section that draws its frame only in the grouped form style. (A style sheet would hide the
// frame too, but it takes the palette's colours from every control inside.)
class FormSection final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    void setFramed(bool framed)
    {
        if (framed == m_framed)
            return;
        m_framed = framed;
        setFlat(!framed);
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_framed || !title().isEmpty())
            QGroupBox::paintEvent(event);
    }

private:
    bool m_framed = true;
};

} // namespace

FormPane::FormPane(QWidget* parent)
    : QWidget(parent)
    , m_sections(new QVBoxLayout(this))
{
    m_sections->setSpacing(sectionSpacing);
    m_sections->addStretch(1);
    m_ancestry = new AncestorEventFilter(this, [this](QWidget*, QEvent* event) {
        if (event->type() == QEvent::ParentChange)
            followFormStyle();
    });
    m_formStyle = environmentValue(this, formStyleKey);
    const int padding = m_formStyle ? 0 : plainPadding;
    m_sections->setContentsMargins(padding, padding, padding, padding);
}

FormPane::~FormPane()
{
    delete m_ancestry;
}

QGroupBox* FormPane::addSection(const QString& title)
{
    auto* section = new FormSection(title, this);
    frame(section);
    auto* rows = new QVBoxLayout(section);
    rows->setSpacing(6);
    // The stretch stays last.
    m_sections->insertWidget(m_sections->count() - 1, section);
    return section;
}

QVBoxLayout* FormPane::rows(QGroupBox* section)
{
    return static_cast<QVBoxLayout*>(section->layout());
}

void FormPane::setFormStyleHandler(std::function<void(std::optional<FormStyle>)> handler)
{
    m_handler = std::move(handler);
}

bool FormPane::event(QEvent* event)
{
    if (isEnvironmentChange(event))
        followFormStyle();
    return QWidget::event(event);
}

void FormPane::frame(QGroupBox* section) const
{
    if (auto* own = dynamic_cast<FormSection*>(section))
        own->setFramed(m_formStyle.has_value());
}

void FormPane::followFormStyle()
{
    const auto style = environmentValue(this, formStyleKey);
    if (style == m_formStyle)
        return;
    m_formStyle = style;
    const int padding = m_formStyle ? 0 : plainPadding;
    m_sections->setContentsMargins(padding, padding, padding, padding);
    for (auto* section : findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly))
        frame(section);
    if (m_handler)
        m_handler(m_formStyle);
}

} // namespace tidemark
