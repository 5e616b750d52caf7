#include "app/shell/PendingWindows.hpp"

#include "core/state/AppState.hpp"
#include "platform/ui/Screen.hpp"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tidemark {

namespace {

std::weak_ptr<AppStore> weakly(const AppStoreRef& store)
{
    return store;
}

QWidget* messageView(const QString& title, const QString& text, const QString& button,
    std::function<void()> onButton)
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* heading = new QLabel(title, view);
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    auto* body = new QLabel(text, view);
    body->setWordWrap(true);
    layout->addWidget(body, 1);
    if (!button.isEmpty()) {
        auto* push = new QPushButton(button, view);
        QObject::connect(push, &QPushButton::clicked, view, std::move(onButton));
        layout->addWidget(push, 0, Qt::AlignRight);
    }
    return view;
}

// The screen under the pointer, else the primary one.
std::optional<Rect> targetScreenFrame()
{
    std::optional<Screen> screen = Screen::underMouse();
    if (!screen)
        screen = Screen::primary();
    if (!screen)
        return std::nullopt;
    return screen->frame();
}

void coverScreenUnderMouse(const WindowRef& window)
{
    if (const std::optional<Rect> frame = targetScreenFrame())
        window->setFrame(*frame);
}

} // namespace

void YoyoDragBackWindowState::reduce(const YoyoDragBackWindowAction& action)
{
    if (!window)
        return;
    if (const auto* presented = caseOf<YoyoDragBackWindowAction::IsPresented>(action)) {
        if (presented->value) {
            coverScreenUnderMouse(window);
            window->orderFrontRegardless();
        } else {
            window->close();
        }
    } else {
        coverScreenUnderMouse(window);
    }
}

void YoyoDragFrontWindowState::reduce(const YoyoDragFrontWindowAction& action)
{
    if (!window)
        return;
    if (action.isPresented) {
        coverScreenUnderMouse(window);
        window->makeKeyAndOrderFront();
    } else {
        window->close();
    }
}

} // namespace tidemark
