#include "settings/views/SettingsForm.hpp"

#include "platform/foundation/StringTables.hpp"
#include "platform/ui/ColorScheme.hpp"

#include <QEvent>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tidemark {

QString Mnemonics::mark(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped[i];
        if (c == QLatin1Char('&')) {
            ++i; // an escaped ampersand
            continue;
        }
        if (!c.isLetterOrNumber())
            continue;
        const QChar key = c.toLower();
        if (m_used.contains(key))
            continue;
        m_used.insert(key);
        escaped.insert(i, QLatin1Char('&'));
        return escaped;
    }
    return escaped;
}

SettingsForm::SettingsForm(std::optional<FormStyle> style, QWidget* parent)
    : QWidget(parent)
    , m_style(style)
    , m_layout(new QVBoxLayout(this))
{
    if (!isGrouped()) {
        m_layout->setContentsMargins(0, 0, 0, 0);
        m_layout->setSpacing(20);
    }
}

QWidget* SettingsForm::addSection(const QString& header)
{
    const Section section = makeSection(m_style, header);
    section.frame->setParent(this);
    m_layout->addWidget(section.frame);
    return section.rows;
}

SettingsForm::Section SettingsForm::makeSection(
    std::optional<FormStyle> style, const QString& header)
{
    if (style == FormStyle::grouped) {
        auto* box = new QGroupBox(header);
        box->setAccessibleName(header);
        new QVBoxLayout(box);
        return { box, box };
    }
    auto* plain = new QWidget;
    auto* column = new QVBoxLayout(plain);
    column->setContentsMargins(0, 0, 0, 0);
    if (!header.isEmpty()) {
        auto* title = new QLabel(header, plain);
        QFont font = title->font();
        font.setBold(true);
        title->setFont(font);
        column->addWidget(title);
        plain->setAccessibleName(header);
    }
    auto* body = new QWidget(plain);
    auto* rows = new QVBoxLayout(body);
    rows->setContentsMargins(0, 0, 0, 0);
    column->addWidget(body);
    return { plain, body };
}

void SettingsForm::addRow(QWidget* section, QWidget* row)
{
    static_cast<QVBoxLayout*>(section->layout())->addWidget(row);
}

namespace {

// Secondary text: the text colour of its surroundings at reduced opacity, followed when the
// surroundings change palette (dark mode).
class SecondaryLabel final : public QLabel {
public:
    SecondaryLabel(const QString& text, QWidget* parent)
        : QLabel(text, parent)
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        QFont callout = font();
        callout.setPointSizeF(callout.pointSizeF() * 12.0 / 13.0);
        setFont(callout);
        follow();
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
            follow();
    }

private:
    void follow()
    {
        const QPalette around = parentWidget() ? parentWidget()->palette() : QPalette();
        const QColor wanted = withOpacity(around.color(QPalette::WindowText), 0.6);
        if (palette().color(QPalette::WindowText) == wanted)
            return;
        QPalette own = palette();
        own.setColor(QPalette::WindowText, wanted);
        setPalette(own);
    }
};

} // namespace

QLabel* secondaryLabel(const QString& text, QWidget* parent)
{
    return new SecondaryLabel(text, parent);
}

QLabel* failureLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xd7, 0x3a, 0x31));
    label->setPalette(palette);
    label->hide();
    return label;
}

void showFailure(QLabel* label, const std::optional<QString>& text)
{
    if (!text) {
        label->clear();
        label->setAccessibleName(QString());
        label->hide();
        return;
    }
    label->setText(*text);
    label->setAccessibleName(*text);
    label->show();
}

QString settingsText(const char* table, const char* key)
{
    return QString::fromStdString(localized(table, key));
}

} // namespace tidemark
