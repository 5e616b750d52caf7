#include "entry/views/TimeViewWidget.hpp"

#include "platform/foundation/Clock.hpp"
#include "toolkit/EditingHighlight.hpp"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tidemark {

namespace {

// The padding of an editable text run, which every line wears.
constexpr double runPaddingX = EditingViewModifier::horizontalPadding;
constexpr double runPaddingY = EditingViewModifier::verticalPadding;

QString qtext(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string systemLocale()
{
    return QLocale::system().name().toStdString();
}

} // namespace

// The two time lines of a time view.
class TimeViewWidget::Lines final : public QWidget {
public:
    explicit Lines(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void set(std::optional<TimeLinesText> lines, double lineSpacing, double opacity)
    {
        const bool changed = lines != m_text || lineSpacing != m_lineSpacing;
        m_text = std::move(lines);
        m_lineSpacing = lineSpacing;
        if (changed) {
            m_layout.reset();
            if (m_text)
                m_layout.emplace(*m_text, timeLinesFont(font()), m_lineSpacing);
            updateGeometry();
            update();
        }
        if (opacity != m_opacity) {
            m_opacity = opacity;
            update();
        }
    }

    QSize sizeHint() const override
    {
        if (!m_layout)
            return {};
        return m_layout->size().toSize() + QSize(1, 1);
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange && m_text) {
            m_layout.emplace(*m_text, timeLinesFont(font()), m_lineSpacing);
            updateGeometry();
        }
        QWidget::changeEvent(event);
    }

    void paintEvent(QPaintEvent*) override
    {
        if (!m_layout || m_opacity <= 0)
            return;
        QPainter painter(this);
        m_layout->paint(painter, QPointF(0, 0), palette(), m_opacity);
    }

private:
    std::optional<TimeLinesText> m_text;
    std::optional<TimeLinesLayout> m_layout;
    double m_lineSpacing = 2;
    double m_opacity = 1;
};

TimeLinesText TimeLinesText::of(Date startDate, TimeInterval timeInterval, Date now,
    const std::optional<std::string>& timerRelativeTime, DateComponentsFormatter& formatter)
{
    return { TimeView::relativeLine(startDate, timeInterval, now, timerRelativeTime, formatter),
        TimeView::absoluteLine(startDate, timeInterval, systemLocale()) };
}

QFont timeLinesFont(const QFont& base)
{
    QFont font = base;
    const double size = base.pointSizeF() > 0 ? base.pointSizeF() : 10;
    font.setPointSizeF(size * 1.3);
    font.setWeight(QFont::Light);
    return font;
}

TimeLinesLayout::TimeLinesLayout(const TimeLinesText& text, const QFont& font, double lineSpacing)
    : m_font(font)
{
    const QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.height()) + 2 * runPaddingY;
    double width = 0;
    double y = 0;
    auto line = [&](const TimeView::Phrase& phrase) {
        double x = runPaddingX;
        for (const auto& [part, primary] : { std::pair { &phrase.before, false },
                 std::pair { &phrase.value, true }, std::pair { &phrase.after, false } }) {
            if (part->empty())
                continue;
            const QString s = qtext(*part);
            Run run { QStaticText(s), QPointF(x, y + runPaddingY), primary };
            run.text.setTextFormat(Qt::PlainText);
            run.text.setPerformanceHint(QStaticText::AggressiveCaching);
            run.text.prepare(QTransform(), font);
            m_runs.push_back(std::move(run));
            x += metrics.horizontalAdvance(s);
        }
        width = std::max(width, metrics.horizontalAdvance(qtext(phrase.text())));
        y += lineHeight + lineSpacing;
    };
    int lines = 1;
    if (text.relative) {
        line(*text.relative);
        ++lines;
    }
    line(text.absolute);
    m_size = QSizeF(
        std::ceil(width) + 2 * runPaddingX, lines * lineHeight + (lines - 1) * lineSpacing);
}

void TimeLinesLayout::paint(
    QPainter& painter, QPointF topLeft, const QPalette& palette, double opacity) const
{
    if (opacity <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * std::min(opacity, 1.0));
    painter.setFont(m_font);
    const QColor primary = palette.color(QPalette::Active, QPalette::WindowText);
    QColor secondary = primary;
    secondary.setAlphaF(0.55f);
    for (const Run& run : m_runs) {
        painter.setPen(run.primary ? primary : secondary);
        painter.drawStaticText(topLeft + run.at, run.text);
    }
    painter.restore();
}

TimeViewWidget::TimeViewWidget(QWidget* parent)
    : QWidget(parent)
    , m_now([] { return SystemClock {}.now(); })
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_labels = new QWidget(this);
    auto* column = new QVBoxLayout(m_labels);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(int(TimeView::lineSpacing(false)));
    m_lines = new Lines(m_labels);
    column->addWidget(m_lines);

    m_titleField = new QLineEdit;
    m_titleField->setFrame(false);
    m_titleField->setPlaceholderText(qtext(TimeView::titlePlaceholder()));
    m_titleField->setAttribute(Qt::WA_MacShowFocusRect, false);
    QFont body = m_titleField->font();
    body.setWeight(QFont::Light);
    m_titleField->setFont(body);
    m_titleRow = new EditingViewModifier(m_titleField, false, QColor(), true, m_labels);
    column->addWidget(m_titleRow);
    row->addWidget(m_labels);

    m_plainTitle = new QLabel(this);
    m_plainTitle->setTextFormat(Qt::PlainText);
    row->addWidget(m_plainTitle);

    connect(m_titleField, &QLineEdit::textEdited, this, [this](const QString& typed) {
        m_title = typed.toStdString();
        applyTitleColour();
        if (m_onTitleEdited)
            m_onTitleEdited(m_title);
    });
    connect(m_titleField, &QLineEdit::returnPressed, this, [this] {
        if (m_onSubmit)
            m_onSubmit();
    });
    relayout();
}

TimeViewWidget::~TimeViewWidget() = default;

void TimeViewWidget::setId(const std::string& id)
{
    m_id = id;
}

void TimeViewWidget::setTimes(
    std::optional<Date> startDate, std::optional<TimeInterval> timeInterval)
{
    if (startDate == m_startDate && timeInterval == m_timeInterval)
        return;
    m_startDate = startDate;
    m_timeInterval = timeInterval;
    m_timerRelativeTime.reset();
    relayout();
}

void TimeViewWidget::setTitle(const std::string& title)
{
    if (title == m_title && m_titleField->text().toStdString() == title)
        return;
    m_title = title;
    if (m_titleField->text().toStdString() != title)
        m_titleField->setText(qtext(title));
    relayout();
}

void TimeViewWidget::setExpanded(bool isExpanded)
{
    if (isExpanded == m_isExpanded)
        return;
    m_isExpanded = isExpanded;
    m_titleRow->setEditing(isExpanded);
    relayout();
}

void TimeViewWidget::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    const double old = m_progress;
    m_progress = progress;
    relayout();
    if (TimeView::takesFocus(old, progress) && showsTitleRow()) {
        if (m_focus)
            m_focus->set(TimeView::Focusable { m_id, TimeView::Field::title });
        m_titleField->setFocus(Qt::OtherFocusReason);
    }
}

void TimeViewWidget::setFormatter(std::shared_ptr<DateComponentsFormatter> formatter)
{
    if (formatter == m_formatter)
        return;
    m_formatter = std::move(formatter);
    relayout();
}

void TimeViewWidget::setTimer(rx::Publisher<rx::Unit> timer)
{
    m_timerToken = timer.sink([this](const rx::Unit&) { tick(); });
}

void TimeViewWidget::setFocusBinding(Binding<std::optional<TimeView::Focusable>> focus)
{
    m_focus = std::move(focus);
}

void TimeViewWidget::setOnTitleEdited(std::function<void(const std::string&)> onTitleEdited)
{
    m_onTitleEdited = std::move(onTitleEdited);
}

void TimeViewWidget::setOnSubmit(std::function<void()> onSubmit)
{
    m_onSubmit = std::move(onSubmit);
}

std::optional<TimeLinesText> TimeViewWidget::shownLines() const
{
    if (!TimeView::showsLabels(m_startDate, m_timeInterval) || !m_formatter)
        return std::nullopt;
    return TimeLinesText::of(
        *m_startDate, *m_timeInterval, m_now(), m_timerRelativeTime, *m_formatter);
}

bool TimeViewWidget::showsTitleRow() const
{
    return TimeView::showsLabels(m_startDate, m_timeInterval)
        && TimeView::showsTitleRow(m_isExpanded, m_title);
}

void TimeViewWidget::tick()
{
    if (!m_startDate || !m_timeInterval || !m_formatter)
        return;
    const auto ticked
        = TimeView::relativeTimeOnTick(*m_startDate, *m_timeInterval, m_now(), *m_formatter);
    if (ticked == m_timerRelativeTime)
        return;
    m_timerRelativeTime = ticked;
    relayout();
}

void TimeViewWidget::applyTitleColour()
{
    const double opacity = TimeView::labelsOpacity(m_progress);
    QPalette palette = m_titleField->palette();
    QColor primary = this->palette().color(QPalette::Active, QPalette::WindowText);
    QColor secondary = primary;
    secondary.setAlphaF(0.55f);
    QColor colour = TimeView::titleIsPrimary(m_title) ? primary : secondary;
    colour.setAlphaF(float(colour.alphaF() * opacity));
    secondary.setAlphaF(float(secondary.alphaF() * opacity));
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::PlaceholderText, secondary);
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    m_titleField->setPalette(palette);
}

void TimeViewWidget::relayout()
{
    const bool labels = TimeView::showsLabels(m_startDate, m_timeInterval);
    layout()->setSpacing(int(std::lround(TimeView::stackSpacing(m_progress))));
    static_cast<QVBoxLayout*>(m_labels->layout())
        ->setSpacing(int(TimeView::lineSpacing(m_isExpanded)));
    m_plainTitle->setVisible(!labels);
    m_labels->setVisible(labels);
    if (!labels) {
        m_plainTitle->setText(qtext(m_title));
        return;
    }
    const bool collapse = TimeView::labelsCollapse(m_progress);
    m_labels->setMaximumSize(collapse ? QSize(0, 0) : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    m_lines->set(
        shownLines(), TimeView::lineSpacing(m_isExpanded), TimeView::labelsOpacity(m_progress));
    m_titleRow->setVisible(showsTitleRow());
    applyTitleColour();
}

bool TimeViewWidget::event(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyTitleColour();
    return QWidget::event(event);
}

} // namespace tidemark
