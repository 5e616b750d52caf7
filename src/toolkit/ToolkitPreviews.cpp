#include "platform/foundation/StringTables.hpp"
#include "toolkit/AlertButtonStyle.hpp"
#include "toolkit/AlertContentView.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/Availability.hpp"
#include "toolkit/ClockView.hpp"
#include "toolkit/DebugToggles.hpp"
#include "toolkit/DropShadow.hpp"
#include "toolkit/EditingHighlight.hpp"
#include "toolkit/GoldenControl.hpp"
#include "toolkit/LabeledContent.hpp"
#include "toolkit/ListRowDivider.hpp"
#include "toolkit/MaterialView.hpp"
#include "toolkit/Previews.hpp"
#include "toolkit/VisualEffectBorder.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

#include <cmath>
#include <memory>
#include <numbers>
#include <set>

namespace tidemark {

namespace {

QString text(const char* table, const char* key)
{
    return QString::fromStdString(localized(table, key));
}

constexpr double cardCornerRadius = 12;

// A strip of material behind a few alert buttons, so the default button's accent has
// something to tint.
QWidget* makeButtonRow(double progress, bool enabled, bool pressed)
{
    auto* row = new QWidget;
    visualEffectBackground(row, Material::popover, BlendingMode::withinWindow)
        ->setCornerRadius(cardCornerRadius);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    auto* cancel = new QPushButton(text("Controls", "cancel_label"));
    setButtonRole(cancel, ButtonRole::cancel);
    auto* remove = new QPushButton(text("Localizable", "Destructive"));
    setButtonRole(remove, ButtonRole::destructive);
    auto* save = new QPushButton(text("Controls", "save_label"));
    save->setDefault(true);
    for (QPushButton* button : { cancel, remove, save }) {
        AlertButtonStyle::apply(button, progress);
        button->setEnabled(enabled);
        button->setDown(pressed);
        layout->addWidget(button);
    }
    return row;
}

// A list of five rows with the second selected and the lines between them.
class DividerSample final : public QWidget {
public:
    DividerSample() { setMinimumSize(200, int(m_rows.size()) * (rowHeight + gap)); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        std::vector<QRectF> frames;
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            const QRectF frame(8, double(i) * (rowHeight + gap), width() - 16, rowHeight);
            frames.push_back(frame);
            if (m_selection.contains(m_rows[i])) {
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(palette().color(QPalette::Highlight));
                painter.drawRoundedRect(frame.adjusted(-4, -2, 4, 2), 5, 5);
            }
            painter.setPen(m_selection.contains(m_rows[i])
                    ? palette().color(QPalette::HighlightedText)
                    : palette().color(QPalette::WindowText));
            painter.drawText(
                frame, Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(m_rows[i]));
        }
        paintListRowDividers(painter, frames, listRowDividers(m_rows, m_selection), palette());
    }

private:
    static constexpr int rowHeight = 20;
    static constexpr int gap = 8;
    std::vector<std::string> m_rows { "Water the plants", "Call Ada", "Book the ferry",
        "Return the library books", "Stretch" };
    std::set<std::string> m_selection { "Call Ada" };
};

QWidget* makeLabeledForm(bool fallback)
{
    auto* form = new QWidget;
    if (fallback)
        setEnvironmentValue(form, availablePreviewVersionKey, OperatingSystemVersion { 12, 0, 0 });
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new LabeledContent(new QLabel(QStringLiteral("1.2.5 (125)")), QStringLiteral("Version")));
    layout->addWidget(
        new LabeledContent(new QLineEdit(QStringLiteral("Tidemark")), QStringLiteral("Name")));
    return form;
}

QWidget* fixedSize(QWidget* widget, int width, int height)
{
    widget->setFixedSize(width, height);
    return widget;
}

constexpr double turn = 2 * std::numbers::pi;

// A clock at ten past ten in the proportions of the list-item icon.
QWidget* makeClock(int width, int height)
{
    auto* clock = new ClockView(8, { Angle { (10 + 10.0 / 60) / 12 * turn }, 17.15, 4 },
        { Angle { 10.0 / 60 * turn }, 20.5, 4 });
    clock->setFixedSize(width, height);
    return clock;
}

// The minute hand springing from twelve to a quarter past: a clock on a frame clock of its
// own, stopped every 50 ms for 0.75 s and once at rest; each frame is a clock of its own
// showing the hands as they stood, with the time under it.
class ClockFilmStrip final : public QWidget {
public:
    ClockFilmStrip()
    {
        constexpr int side = 49;
        const ClockHand hour { Angle { 0.75 * turn }, 17.15, 4 };
        const ClockHand minuteFrom { Angle { 0 }, 20.5, 4 };
        ManualFrameClock frames;
        ClockFace spring(8, hour, minuteFrom, &frames);
        spring.setMinute({ Angle { 0.25 * turn }, 20.5, 4 });
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        auto addFrame = [&](const QString& caption) {
            auto* cell = new QWidget;
            auto* column = new QVBoxLayout(cell);
            column->setContentsMargins(0, 0, 0, 0);
            column->setSpacing(2);
            auto* clock = new ClockView(
                8, { spring.hourAngle(), 17.15, 4 }, { spring.minuteAngle(), 20.5, 4 });
            clock->setFixedSize(side, side);
            column->addWidget(clock, 0, Qt::AlignHCenter);
            auto* label = new QLabel(caption);
            label->setAlignment(Qt::AlignHCenter);
            column->addWidget(label);
            layout->addWidget(cell);
        };
        constexpr double step = 0.05;
        for (int i = 0; i <= 15; ++i) {
            char caption[16];
            std::snprintf(caption, sizeof caption, "%.2f s", i * step);
            addFrame(QString::fromLatin1(caption));
            frames.advance(step);
        }
        frames.runUntilIdle();
        addFrame(QStringLiteral("at rest"));
    }
};

} // namespace

QWidget* makeSampleCard()
{
    const int margin = 16;
    const Size size = Popover::contentSize();
    auto* surface = new QWidget;
    surface->setFixedSize(int(size.width) + 2 * margin, int(size.height) + 2 * margin);
    auto* card = new QWidget(surface);
    card->setGeometry(margin, margin, int(size.width), int(size.height));
    addDropShadow(card, cardCornerRadius, Shadow { QColor(0, 0, 0, 64), 8, QPointF(0, 2) });
    visualEffectBackground(card, Material::popover, BlendingMode::behindWindow)
        ->setCornerRadius(cardCornerRadius);

    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(14, 14, 14, 14);
    auto* title = new QLabel(text("Localizable", "reminder_notification_title"));
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    auto* cancel = new QPushButton(text("Controls", "cancel_label"));
    auto* save = new QPushButton(text("Controls", "save_label"));
    save->setDefault(true);
    for (QPushButton* button : { cancel, save }) {
        AlertButtonStyle::apply(button, 1);
        buttons->addWidget(button, 1);
    }
    layout->addLayout(buttons);
    new VisualEffectBorderViewModifier(card, 1, cardCornerRadius, 1);
    return surface;
}

void registerToolkitPreviews(PreviewRegistry& registry)
{
    registry.add({ "AlertButtonStyle",
        {
            { "progress 1", [] { return makeButtonRow(1, true, false); } },
            { "progress 0.5", [] { return makeButtonRow(0.5, true, false); } },
            { "progress 0", [] { return makeButtonRow(0, true, false); } },
            { "pressed", [] { return makeButtonRow(1, true, true); } },
            { "disabled", [] { return makeButtonRow(1, false, false); } },
        } });
    registry.add({ "MaterialView", { { "card", [] { return makeSampleCard(); } } } });
    registry.add({ "EditingViewModifier",
        {
            { "editing",
                [] {
                    return new EditingViewModifier(
                        new QLabel(QStringLiteral("in 25 minutes")), true, QColor(), true);
                } },
            { "not editing",
                [] {
                    return new EditingViewModifier(
                        new QLabel(QStringLiteral("in 25 minutes")), false, QColor(), true);
                } },
        } });
    registry.add({ "LabeledContent",
        {
            { "form row", [] { return makeLabeledForm(false); } },
            { "own row", [] { return makeLabeledForm(true); } },
        } });
    registry.add({ "GoldenControl_Previews", { { "Cancel and Save", [] {
                                                    auto* control = new GoldenControl([] {},
                                                        text("Localizable", "Cancel"), [] {},
                                                        text("Localizable", "Save"));
                                                    control->setFixedWidth(200);
                                                    return control;
                                                } } } });
    registry.add({ "AppIcon",
        {
            { "square", [] { return fixedSize(new AppIcon, 64, 64); } },
            { "stretched", [] { return fixedSize(new AppIcon, 96, 48); } },
        } });
    registry.add({ "DebugToggledView",
        {
            { "range",
                [] {
                    auto pair = std::make_shared<Toggled<double>>(1.0, 0.5);
                    return new DebugToggledViewRangeValue<double>("Scale",
                        { [pair] { return *pair; },
                            [pair](const Toggled<double>& v) { *pair = v; } },
                        0.0, 2.0);
                } },
            { "angle",
                [] {
                    auto pair
                        = std::make_shared<Toggled<Angle>>(Angle { std::numbers::pi }, Angle { 0 });
                    return new DebugToggledViewAngleRangeValue<double>("Rotation",
                        { [pair] { return *pair; },
                            [pair](const Toggled<Angle>& v) { *pair = v; } },
                        0.0, 360.0);
                } },
        } });
    registry.add({ "SwiftyListDividerModifier",
        { { "second row selected", [] { return new DividerSample; } } } });
    registry.add({ "ClockView",
        {
            { "ten past ten", [] { return makeClock(49, 49); } },
            { "wide frame: the face a circle of the height", [] { return makeClock(98, 49); } },
            { "minute hand springing to a quarter past", [] { return new ClockFilmStrip; } },
        } });
    registry.add({ "AlertContentView",
        {
            { "text", [] { return new AlertContentView; } },
            { "alert",
                [] {
                    QMessageBox* alert = AlertContentView::makeAlert();
                    alert->setWindowFlags(Qt::Widget);
                    alert->setAutoFillBackground(true);
                    return static_cast<QWidget*>(alert);
                } },
        } });
}

} // namespace tidemark
