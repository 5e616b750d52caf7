#include "platform/foundation/StringTables.hpp"
#include "toolkit/AlertButtonStyle.hpp"
#include "toolkit/AlertContentView.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/Availability.hpp"
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
