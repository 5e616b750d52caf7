#include "platform/ui/Window.hpp"

#include "platform/ui/Animator.hpp"
#include "platform/ui/Application.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/X11Hints.hpp"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace tidemark {

namespace {

std::vector<Window*>& registry()
{
    static std::vector<Window*> windows;
    return windows;
}

WindowTraits defaultTraits(WindowKind kind)
{
    switch (kind) {
    case WindowKind::normal:
        return { kind, WindowLevel::normal, false, true, true };
    case WindowKind::panel:
        return { kind, WindowLevel::normal, false, true, true };
    case WindowKind::overlay:
        return { kind, WindowLevel::status, false, false, false };
    }
    return {};
}

} // namespace

Qt::WindowFlags qtWindowFlags(const WindowTraits& traits)
{
    Qt::WindowFlags flags;
    switch (traits.kind) {
    case WindowKind::normal:
        flags = Qt::Window;
        break;
    case WindowKind::panel:
    case WindowKind::overlay:
        // A tool window has no taskbar entry of its own.
        flags = Qt::Tool | Qt::FramelessWindowHint;
        break;
    }
    if (traits.level != WindowLevel::normal)
        flags |= Qt::WindowStaysOnTopHint;
    if (traits.ignoresMouseEvents)
        flags |= Qt::WindowTransparentForInput;
    if (!traits.canBecomeKey)
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (!traits.hasShadow)
        flags |= Qt::NoDropShadowWindowHint;
    return flags;
}

Window::Window(WindowKind kind)
    : QWidget(nullptr)
    , m_traits(defaultTraits(kind))
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (kind != WindowKind::normal) {
        // Must precede the native window: it chooses a visual with an alpha channel.
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    setWindowFlags(qtWindowFlags(m_traits));
    setAttribute(Qt::WA_ShowWithoutActivating, !m_traits.canBecomeKey);

    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    addPinnedSubview(this, m_contentView);
    registry().push_back(this);
}

Window::~Window()
{
    m_slide.cancel();
    std::erase(registry(), this);
    for (const QPointer<Window>& child : m_children) {
        if (child)
            child->m_parentWindow = nullptr;
    }
    if (m_parentWindow)
        m_parentWindow->removeChildWindow(this);
}

std::vector<Window*> Window::allWindows()
{
    return registry();
}

Rect Window::frame() const
{
    return fromQt(frameGeometry());
}

void Window::setFrame(const Rect& frame, bool animate)
{
    // Qt places a top-level window by its frame but sizes it by its content.
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QRect target = toQRect(frame);
    const QRect content(target.topLeft() + (inner.topLeft() - outer.topLeft()),
        QSize(std::max(0, target.width() - (outer.width() - inner.width())),
            std::max(0, target.height() - (outer.height() - inner.height()))));
    if (animate && isVisible()) {
        if (!m_animatedGeometry) {
            m_animatedGeometry = std::make_unique<Animated<Rect>>(fromQt(inner));
            m_slide = m_animatedGeometry->onFrame([this](const Rect& r) {
                const QRect geometry = toQRect(r);
                if (geometry != this->geometry())
                    setGeometry(geometry);
            });
        } else if (!m_animatedGeometry->isAnimating()
            && toQRect(m_animatedGeometry->value()) != inner) {
            // Moved by other means since the last slide: start from where it stands.
            m_animatedGeometry->jump(fromQt(inner));
        }
        m_animatedGeometry->setTarget(
            fromQt(content), currentTransaction().animation.value_or(frameAnimation()));
        return;
    }
    // Without animation the new frame wins over a slide under way.
    if (m_animatedGeometry)
        m_animatedGeometry->jump(fromQt(content));
    setGeometry(content);
}

Animation Window::frameAnimation()
{
    // Brisk and decelerating, like a cubic ease-out.
    return Animation::timingCurve({ 0.33, 1, 0.68, 1 }, 0.15);
}

Rect Window::contentRect() const
{
    return fromQt(geometry());
}

Rect Window::convertRectToScreen(const Rect& rect) const
{
    const QPointF origin = mapToGlobal(toQPointF(rect.origin));
    return { fromQt(origin), rect.size };
}

Rect Window::convertRectFromScreen(const Rect& rect) const
{
    const QPointF origin = mapFromGlobal(toQPointF(rect.origin));
    return { fromQt(origin), rect.size };
}

std::optional<Screen> Window::currentScreen() const
{
    if (QScreen* s = screen())
        return Screen(s);
    return std::nullopt;
}

std::optional<Screen> Window::presentationScreen() const
{
    return isVisible() ? currentScreen() : Screen::underMouse();
}

void Window::makeKeyAndOrderFront()
{
    if (!m_traits.canBecomeKey) {
        orderFrontRegardless();
        return;
    }
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    show();
    raise();
    activateWindow();
    raiseChildren();
    // X ignores a focus change asked for while the pointer is grabbed (a window made key at
    // the end of a drag, while the button is still held), and without a window manager
    // nobody gives the focus later: ask once more when the event loop is back.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isActiveWindow())
            activateWindow();
    });
}

void Window::orderFrontRegardless()
{
    const bool showWithoutActivating = testAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    raise();
    setAttribute(Qt::WA_ShowWithoutActivating, showWithoutActivating);
    raiseChildren();
}

void Window::orderOut()
{
    hide();
}

void Window::center()
{
    std::optional<Screen> target = presentationScreen();
    if (!target)
        target = Screen::primary();
    if (!target)
        return;
    const Rect bounds = target->visibleFrame();
    setFrame(frame().centered(bounds).keptInside(bounds));
}

bool Window::isKeyWindow() const
{
    return isActiveWindow();
}

void Window::setLevel(WindowLevel level)
{
    WindowTraits traits = m_traits;
    traits.level = level;
    applyTraits(traits);
}

void Window::setIgnoresMouseEvents(bool ignores)
{
    WindowTraits traits = m_traits;
    traits.ignoresMouseEvents = ignores;
    applyTraits(traits);
}

void Window::setCanBecomeKey(bool canBecomeKey)
{
    WindowTraits traits = m_traits;
    traits.canBecomeKey = canBecomeKey;
    applyTraits(traits);
}

void Window::setHasShadow(bool hasShadow)
{
    WindowTraits traits = m_traits;
    traits.hasShadow = hasShadow;
    applyTraits(traits);
}

void Window::setJoinsAllSpaces(bool joins)
{
    m_joinsAllSpaces = joins;
}

void Window::setReleasesBackingStoreWhenHidden(bool releases)
{
    m_releasesWhenHidden = releases;
    if (releases && !isVisible())
        create();
}

void Window::setInputRegion(std::optional<Rect> region)
{
    if (region == m_inputRegion)
        return;
    m_inputRegion = region;
    applyShapes();
}

void Window::setPaintedRegion(std::optional<QRegion> region)
{
    if (region == m_paintedRegion)
        return;
    m_paintedRegion = std::move(region);
    if (!m_composited)
        applyShapes();
}

void Window::setRegions(std::optional<Rect> input, std::optional<QRegion> painted)
{
    const bool inputChanged = input != m_inputRegion;
    const bool paintedChanged = painted != m_paintedRegion;
    if (!inputChanged && !paintedChanged)
        return;
    m_inputRegion = input;
    m_paintedRegion = std::move(painted);
    if (inputChanged || !m_composited)
        applyShapes();
}

// A mask set while the native window did not exist yet clips every paint; once the shapes
// can be set it has to go, or the window shows only what exposes redraw.
void Window::dropMaskStandIn()
{
    if (!m_usesMask)
        return;
    clearMask();
    m_usesMask = false;
}

void Window::applyShapes()
{
    const bool created = testAttribute(Qt::WA_WState_Created);
    // A native window kept ready while hidden is shaped as it is shown, once it is known
    // whether anything composes its translucent pixels.
    if (created && !isVisible() && x11::isAvailable())
        return;
    std::vector<QRect> input;
    if (m_inputRegion && !m_inputRegion->isEmpty())
        input.push_back(toQRect(*m_inputRegion));
    // What shows: the painted region where nothing composes translucent pixels.
    std::optional<QRegion> shown;
    if (!m_composited && m_paintedRegion)
        shown = *m_paintedRegion;
    if (created && x11::isAvailable()) {
        // A card moving by fractions of a pixel asks for the shapes it already has: each one
        // sent costs a request the server answers by working out the window's exposures again.
        const AppliedShapes wanted { m_inputRegion.has_value(), input, shown };
        if (m_appliedShapes == wanted)
            return;
        m_appliedShapes.reset();
        if (!m_inputRegion && !shown) {
            if (x11::clearShapes(this)) {
                dropMaskStandIn();
                m_appliedShapes = wanted;
                return;
            }
        } else {
            bool applied = true;
            if (shown) {
                applied
                    = x11::setBoundingShape(this, std::vector<QRect>(shown->begin(), shown->end()));
            }
            if (applied && m_inputRegion)
                applied = x11::setInputShape(this, input);
            else if (applied && !m_inputRegion && shown) {
                // The input follows the bounding shape once one is set: take the whole window.
                applied = x11::setInputShape(this, { rect() });
            }
            if (applied) {
                dropMaskStandIn();
                m_appliedShapes = wanted;
                return;
            }
        }
    }
    // Without the shape extension a mask stands in: it clips the drawing as well.
    if (m_inputRegion) {
        setMask(QRegion(input.empty() ? QRect() : input.front()));
        m_usesMask = true;
    } else if (m_usesMask) {
        clearMask();
        m_usesMask = false;
    }
}

bool Window::appearsInTaskbar() const
{
    return m_traits.kind == WindowKind::normal
        && Application::currentActivationPolicy() == ActivationPolicy::regular;
}

void Window::updateTaskbarPresence()
{
    if (isVisible())
        x11::setSkipTaskbar(this, !appearsInTaskbar(), true);
}

void Window::addChildWindow(Window* child)
{
    if (!child || child == this)
        return;
    if (child->m_parentWindow && child->m_parentWindow != this)
        child->m_parentWindow->removeChildWindow(child);
    if (std::find(m_children.begin(), m_children.end(), child) == m_children.end())
        m_children.emplace_back(child);
    child->m_parentWindow = this;
    if (isVisible() && child->isVisible())
        child->raise();
}

void Window::removeChildWindow(Window* child)
{
    std::erase_if(m_children, [child](const QPointer<Window>& w) { return !w || w == child; });
    if (child && child->m_parentWindow == this)
        child->m_parentWindow = nullptr;
}

std::vector<Window*> Window::childWindows() const
{
    std::vector<Window*> result;
    for (const QPointer<Window>& child : m_children) {
        if (child)
            result.push_back(child);
    }
    return result;
}

void Window::applyTraits(const WindowTraits& traits)
{
    if (traits == m_traits)
        return;
    m_traits = traits;
    const Qt::WindowFlags flags = qtWindowFlags(m_traits);
    setAttribute(Qt::WA_ShowWithoutActivating, !m_traits.canBecomeKey);
    if (flags == windowFlags())
        return;
    // Changing the flags of a shown window recreates it hidden; put it back as it was.
    const bool wasVisible = isVisible();
    const QRect geometryBefore = geometry();
    setWindowFlags(flags);
    setGeometry(geometryBefore);
    if (wasVisible)
        orderFrontRegardless();
}

void Window::raiseChildren()
{
    for (Window* child : childWindows()) {
        if (child->isVisible())
            child->raise();
    }
}

void Window::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        const bool key = isActiveWindow();
        if (key != m_wasKey) {
            m_wasKey = key;
            if (key)
                Q_EMIT didBecomeKey();
            else
                Q_EMIT didResignKey();
        }
    }
    QWidget::changeEvent(event);
}

void Window::closeEvent(QCloseEvent* event)
{
    Q_EMIT willClose();
    event->accept();
}

void Window::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    const QPoint delta = event->pos() - event->oldPos();
    if (!delta.isNull() && event->oldPos() != QPoint(-1, -1)) {
        for (Window* child : childWindows())
            child->move(child->pos() + delta);
    }
    Q_EMIT didMove();
}

void Window::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Q_EMIT didResize();
}

void Window::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // The native window exists but is not mapped yet: the moment for window-manager hints.
        x11::setSkipTaskbar(this, !appearsInTaskbar(), false);
        if (m_traits.kind != WindowKind::normal) {
            // Without X the platform composes translucent windows itself.
            m_composited = x11::isAvailable() ? x11::isCompositing() : true;
            // The native window may be new: whatever it had before is not known to it.
            m_appliedShapes.reset();
            if (m_inputRegion || m_paintedRegion)
                applyShapes();
        }
        if (m_joinsAllSpaces)
            x11::setOnAllDesktops(this);
        // Qt rewrites the state as it maps the window; ask again once it is mapped.
        QTimer::singleShot(0, this, [this] { updateTaskbarPresence(); });
    }
    Q_EMIT didAppear();
}

void Window::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_wasKey) {
        m_wasKey = false;
        Q_EMIT didResignKey();
    }
    Q_EMIT didDisappear();
    if (m_releasesWhenHidden && !event->spontaneous()) {
        // Once control is back in the event loop, and only if nothing showed it again. A close
        // has destroyed the native window already but kept its QWindow and backing store (the
        // full-window image): all goes, and a bare native window is made ready for the next
        // show.
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                return;
            destroy(true, true);
            create();
        });
    }
}

namespace detail {

void releaseLater(QObject* object)
{
    if (!object)
        return;
    if (QCoreApplication::instance())
        object->deleteLater();
    else
        delete object;
}

} // namespace detail

} // namespace tidemark
