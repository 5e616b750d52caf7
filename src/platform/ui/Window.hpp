#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/Screen.hpp"

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tidemark {

template <class T> class Animated;

// What a window is for; decides its frame, taskbar presence and background.
enum class WindowKind {
    // A titled window of its own (onboarding, what's new, settings). It has a taskbar entry
    // while the application's activation policy is regular.
    normal,
    // A frameless tool panel with a translucent background (the popover). Never in the taskbar.
    panel,
    // A frameless, translucent, borderless window over everything (the drag and scroll
    // overlays). Never in the taskbar; by default it neither takes focus nor activates.
    overlay,
};

// How high a window stands. Above `normal` the window stays on top of ordinary windows.
enum class WindowLevel {
    normal,
    floating,
    status,
};

// The Qt window flags for a window of this kind with these properties: a pure rule, so the
// mapping can be checked without showing anything.
struct WindowTraits {
    WindowKind kind = WindowKind::normal;
    WindowLevel level = WindowLevel::normal;
    bool ignoresMouseEvents = false;
    bool canBecomeKey = true;
    bool hasShadow = true;

    bool operator==(const WindowTraits&) const = default;
};
Qt::WindowFlags qtWindowFlags(const WindowTraits& traits);

// A top-level window of the application. Its content view fills it; coordinates of the
// content count from its top-left corner. Close hides the window and keeps the object, so it
// can be shown again; only releasing the last reference (see makeWindow) destroys it.
class Window : public QWidget {
    Q_OBJECT
public:
    explicit Window(WindowKind kind = WindowKind::normal);
    ~Window() override;

    WindowKind kind() const { return m_traits.kind; }
    const WindowTraits& traits() const { return m_traits; }

    // The view that fills the window; add views to it with addPinnedSubview.
    QWidget* contentView() const { return m_contentView; }

    // Every window that exists, in the order made.
    static std::vector<Window*> allWindows();

    // Geometry, in screen coordinates.
    Rect frame() const;
    // Moves and resizes the window. `animate` slides a visible window to the new frame on the
    // frame clock, with the current transaction's animation or else `frameAnimation`; a new
    // frame in mid-slide turns it from where it stands, and a frame set without animation
    // stops it there.
    void setFrame(const Rect& frame, bool animate = false);
    // How a window slides when no transaction names an animation.
    static Animation frameAnimation();
    Rect contentRect() const;
    // A rectangle of the content view (top-left origin) in screen coordinates, and back.
    Rect convertRectToScreen(const Rect& rect) const;
    Rect convertRectFromScreen(const Rect& rect) const;
    // The screen the window is on; none before it has one.
    std::optional<Screen> currentScreen() const;
    // Where the window is to be shown: its own screen while it shows, else the one under
    // the pointer.
    std::optional<Screen> presentationScreen() const;

    // Shows the window above the others and gives it the keyboard when it can take it.
    void makeKeyAndOrderFront();
    // Shows the window above the others without giving it the keyboard or activating.
    void orderFrontRegardless();
    // Hides the window without the close notification.
    void orderOut();
    // Centres the window on its screen, or the screen under the pointer before it has one.
    void center();
    bool isKeyWindow() const;

    WindowLevel level() const { return m_traits.level; }
    void setLevel(WindowLevel level);
    // A window that ignores the mouse lets every press and movement through to what lies
    // beneath it.
    bool ignoresMouseEvents() const { return m_traits.ignoresMouseEvents; }
    void setIgnoresMouseEvents(bool ignores);
    bool canBecomeKey() const { return m_traits.canBecomeKey; }
    void setCanBecomeKey(bool canBecomeKey);
    bool hasShadow() const { return m_traits.hasShadow; }
    void setHasShadow(bool hasShadow);
    // Shows the window on every virtual desktop. Takes effect when the window is next shown.
    bool joinsAllSpaces() const { return m_joinsAllSpaces; }
    void setJoinsAllSpaces(bool joins);
    // Where the window takes the mouse, in content coordinates; none means everywhere, an
    // empty rectangle nowhere. Outside the region presses reach what lies beneath. On X11 it
    // is the window's input shape, which leaves the drawing whole; elsewhere a mask, outside
    // which the window is not drawn either.
    std::optional<Rect> inputRegion() const { return m_inputRegion; }
    void setInputRegion(std::optional<Rect> region);

    // Where a translucent window draws anything at all, in content coordinates; none means
    // everywhere. Without a compositing manager translucent pixels show black, so there the
    // window is shaped to this region; with one (or off X11) it changes nothing.
    std::optional<QRegion> paintedRegion() const { return m_paintedRegion; }
    void setPaintedRegion(std::optional<QRegion> region);
    // Both at once: a window whose input and painted regions move together is reshaped once
    // per change, not once for each.
    void setRegions(std::optional<Rect> input, std::optional<QRegion> painted);
    // Whether translucent pixels show what lies beneath (a compositing manager runs, or the
    // platform composes windows itself). Looked at each time the window is shown.
    bool isComposited() const { return m_composited; }

    // Lets the backing store (an image of the whole window) go each time the window is
    // hidden, so a large window that is seldom shown costs nothing while it is not. An
    // unmapped native window without one costs next to nothing: it is made at once and kept
    // ready, so a show only maps it.
    void setReleasesBackingStoreWhenHidden(bool releases);

    // Whether the window currently has a taskbar entry (normal windows under the regular
    // activation policy).
    bool appearsInTaskbar() const;

    // Child windows follow this window's moves and stay in front of it.
    void addChildWindow(Window* child);
    void removeChildWindow(Window* child);
    std::vector<Window*> childWindows() const;
    Window* parentWindow() const { return m_parentWindow; }

    // Applies the application's activation policy; called by the application.
    void updateTaskbarPresence();

Q_SIGNALS:
    void didBecomeKey();
    void didResignKey();
    // Sent when the window is closed by close() or by the user, before it hides.
    void willClose();
    void didMove();
    void didResize();
    // The window has been shown, or hidden.
    void didAppear();
    void didDisappear();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void applyTraits(const WindowTraits& traits);
    void raiseChildren();
    void applyShapes();
    void dropMaskStandIn();

    WindowTraits m_traits;
    QWidget* m_contentView = nullptr;
    bool m_joinsAllSpaces = false;
    std::optional<Rect> m_inputRegion;
    std::optional<QRegion> m_paintedRegion;
    // The shapes last given to the X server: whether an input shape was set, its rectangles,
    // and the bounding shape.
    struct AppliedShapes {
        bool hasInput = false;
        std::vector<QRect> input;
        std::optional<QRegion> shown;
        bool operator==(const AppliedShapes&) const = default;
    };
    std::optional<AppliedShapes> m_appliedShapes;
    bool m_composited = true;
    bool m_releasesWhenHidden = false;
    bool m_usesMask = false;
    bool m_wasKey = false;
    std::vector<QPointer<Window>> m_children;
    QPointer<Window> m_parentWindow;
    // The content geometry while it slides; made on the first animated move.
    std::unique_ptr<Animated<Rect>> m_animatedGeometry;
    rx::Cancellable m_slide;
};

namespace detail {

// Releases a widget-backed object safely: it leaves the screen at once, and is destroyed
// once control is back in the event loop, so releasing it from inside one of its own signals
// or event handlers is harmless.
void releaseLater(QObject* object);

} // namespace detail

// A shared, owning reference to a window: copies name the same window, equality is identity,
// and the window goes away when the last reference does.
template <class W = Window, class... Args> std::shared_ptr<W> makeWindow(Args&&... args)
{
    return std::shared_ptr<W>(new W(std::forward<Args>(args)...), [](W* window) {
        window->hide();
        detail::releaseLater(window);
    });
}

using WindowRef = std::shared_ptr<Window>;

} // namespace tidemark
