#include "app/shell/StatusItemDragMiddleware.hpp"

#include "core/Action.hpp"
#include "platform/ui/StatusBar.hpp"

namespace tidemark {

namespace {

// `rect` (on screen) in the coordinates of `target`, whose content starts at its origin.
Rect into(const Rect& rect, const Window& target)
{
    const Point origin = target.contentRect().origin;
    return rect.offsetBy(-origin.x, -origin.y);
}

// The button's window: the status bar's strip. None without an item or a button.
QWidget* buttonWindow(const MenuBarExtraState& extra)
{
    StatusBarButton* button = extra.item ? extra.item->button() : nullptr;
    return button ? button->window() : nullptr;
}

rx::Publisher<AppAction> answer(std::optional<AppAction> action)
{
    if (!action)
        return rx::Empty<AppAction>();
    return rx::Just<AppAction>(std::move(*action));
}

std::optional<AppAction> dragFrameAction(const AppState& state, const AppWindowsState& windows)
{
    const std::optional<Rect> frame = statusItemDragFrame(state, windows);
    if (!frame)
        return std::nullopt;
    return actions::viewAction(ViewAction::StatusItem { StatusItemAction::DragFrame { *frame } });
}

} // namespace

std::optional<Rect> statusItemDragFrame(const AppState& state, const AppWindowsState& windows)
{
    if (!windows.yoyoDragBack || !windows.yoyoDragBack->window)
        return std::nullopt;
    const Window& back = *windows.yoyoDragBack->window;
    if (const std::optional<Rect>& local = state.dragGesture.localFrame) {
        // A drag that began on a row of the popover's list: that row's frame in the popover.
        if (!windows.popover || !windows.popover->window)
            return std::nullopt;
        return into(windows.popover->window->convertRectToScreen(*local), back);
    }
    if (!buttonWindow(windows.dragDropMenuBarExtra))
        return std::nullopt;
    // The icon reports its frame on screen itself.
    return into(state.view.statusItem.zevovozo.frame, back);
}

std::optional<Rect> statusItemScrollFrame(const AppState& state, const AppWindowsState& windows)
{
    if (!windows.yoyoScroll || !windows.yoyoScroll->window)
        return std::nullopt;
    StatusBarButton* button
        = windows.scrollMenuBarExtra.item ? windows.scrollMenuBarExtra.item->button() : nullptr;
    if (!button || !button->window())
        return std::nullopt;
    // The extra reports its bounds on screen.
    return into(state.view.statusItem.scrollBounds, *windows.yoyoScroll->window);
}

AppStore::Middleware makeStatusItemDragMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* phase = caseAt<AppAction::DragGesture, DragGestureAction::Phase>(action);
            phase && phase->phase == DragGesturePhase::begin) {
            // Copied first: the windows store's work may dispatch into the main store.
            const AppState copy = state;
            windowsStore->dispatch(AppWindowsAction::YoyoDragBack {
                YoyoDragBackWindowAction::PreparePresentation {} });
            return answer(dragFrameAction(copy, windowsStore->state()));
        }
        if (caseAt<AppAction::View, ViewAction::StatusItem, StatusItemAction::UpdateDragFrame>(
                action)
            || caseAt<AppAction::View, ViewAction::Popover, PopoverAction::LaunchedAsLoginItem>(
                action))
            return answer(dragFrameAction(state, windowsStore->state()));
        const auto* scroll = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Scroll,
            YoyoScrollAction::IsPresented>(action);
        const auto* bounds
            = caseAt<AppAction::View, ViewAction::StatusItem, StatusItemAction::ScrollBounds>(
                action);
        // Measured as soon as the extra says where it is, so the first scroll already finds
        // the frame that opens the window. The window is placed around the item first (a
        // presentation has placed it already): the frame is measured into the window.
        if ((scroll && scroll->isPresented) || bounds) {
            const AppState copy = state;
            if (bounds)
                windowsStore->dispatch(AppWindowsAction::YoyoScroll {
                    YoyoScrollWindowAction::PreparePresentation { bounds->bounds } });
            const std::optional<Rect> frame = statusItemScrollFrame(copy, windowsStore->state());
            if (!frame)
                return rx::Empty<AppAction>();
            return answer(actions::viewAction(
                ViewAction::StatusItem { StatusItemAction::ScrollFrame { *frame } }));
        }
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
