#include "onboarding/views/OnboardingPageLayout.hpp"

#include "onboarding/OnboardingLayout.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/ListAppearance.hpp"
#include "toolkit/MaterialView.hpp"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

} // namespace

QString tableText(const char* table, const char* key)
{
    return QString::fromStdString(localized(table, key));
}

OnboardingLabel::OnboardingLabel(QWidget* icon, const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_icon(icon)
    , m_title(new StyledLabel(title, TextStyle::largeTitle, true, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(px(OnboardingLayout::spacing));
    if (m_icon) {
        m_icon->setParent(this);
        layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    }
    m_title->setAlignment(Qt::AlignHCenter);
    m_title->setWordWrap(true);
    layout->addWidget(m_title, 0, Qt::AlignHCenter);
}

OnboardingPageView::OnboardingPageView(
    QWidget* content, OnboardingLabel* titleLabel, QWidget* subtitle, QWidget* parent)
    : QWidget(parent)
    , m_header(new QWidget(this))
    , m_scrollArea(new QScrollArea(this))
    , m_form(new QWidget)
    , m_content(content)
    , m_headerSpace(new QWidget)
{
    // The form: below the header's room, 160 in from each side, 60 clear at the bottom.
    auto* form = new QVBoxLayout(m_form);
    const int side = px(OnboardingLayout::formHorizontalPadding);
    form->setContentsMargins(side, 0, side, px(verticalPadding));
    form->setSpacing(px(OnboardingLayout::sectionSpacing / 2));
    form->addWidget(m_headerSpace);
    if (m_content)
        form->addWidget(m_content);
    form->addStretch(1);

    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidget(m_form);
    // The window's material shows through: the scroll area fills neither its viewport nor
    // the form it was given.
    hideListBackground(m_scrollArea);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_form->setAutoFillBackground(false);
    addPinnedSubview(this, m_scrollArea);

    // The header stands over the scroll area, so the form passes beneath it.
    visualEffectBackground(m_header, Material::underWindowBackground, BlendingMode::behindWindow);
    auto* header = new QVBoxLayout(m_header);
    header->setContentsMargins(px(horizontalPadding), px(verticalPadding), px(horizontalPadding),
        px(OnboardingLayout::sectionSpacing / 2));
    header->setSpacing(px(OnboardingLayout::spacing));
    if (titleLabel)
        header->addWidget(titleLabel);
    if (auto* label = qobject_cast<QLabel*>(subtitle)) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (subtitle)
        header->addWidget(subtitle);
    m_header->installEventFilter(this);
    m_header->raise();
}

void OnboardingPageView::layoutHeader()
{
    QLayout* layout = m_header->layout();
    layout->activate();
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width())
                                                   : layout->totalSizeHint().height();
    if (m_header->geometry() != QRect(0, 0, width(), height))
        m_header->setGeometry(0, 0, width(), height);
    if (m_headerSpace->height() != height)
        m_headerSpace->setFixedHeight(height);
}

void OnboardingPageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutHeader();
}

bool OnboardingPageView::eventFilter(QObject* watched, QEvent* event)
{
    // The header's labels take their fonts when first shown: its height follows them.
    if (watched == m_header && (event->type() == QEvent::LayoutRequest))
        layoutHeader();
    return QWidget::eventFilter(watched, event);
}

FormSection::FormSection(QWidget* parent)
    : QWidget(parent)
    , m_rows(new QVBoxLayout(this))
{
    m_rows->setContentsMargins(10, 4, 10, 4);
    m_rows->setSpacing(0);
}

void FormSection::addRow(QWidget* label, QWidget* control)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 6, 0, 6);
    row->setSpacing(10);
    if (label)
        row->addWidget(label, 1);
    if (control)
        row->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    m_rows->addLayout(row);
}

void FormSection::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool dark = colorScheme(palette()) == ColorScheme::dark;
    const QColor fill = dark ? QColor(255, 255, 255, 13) : QColor(0, 0, 0, 10);
    const QColor line = dark ? QColor(255, 255, 255, 26) : QColor(0, 0, 0, 20);
    fillContinuousRoundedRect(painter, rect(), 6, fill);
    strokeContinuousRoundedRect(painter, rect(), 6, 1, line);
}

Divider::Divider(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), withOpacity(palette().color(QPalette::WindowText), 0.12));
}

} // namespace tidemark
