#include "platform/ui/X11Hints.hpp"

#include <QGuiApplication>
#include <QWidget>

#ifdef TIDEMARK_HAVE_XCB
#include <xcb/xcb.h>
#ifdef TIDEMARK_HAVE_XCB_SHAPE
#include <xcb/shape.h>
#endif

#include <QtMath>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>
#endif

namespace tidemark::x11 {

#ifdef TIDEMARK_HAVE_XCB
namespace {

constexpr xcb_window_t noWindow = XCB_WINDOW_NONE;

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

// Each lookup is a round trip to the server, and the hints are set at every show: an atom,
// once known, is kept for as long as the connection lasts (the server never renames one).
xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    static xcb_connection_t* known = nullptr;
    static std::map<std::string, xcb_atom_t, std::less<>> atoms;
    if (c != known) {
        atoms.clear();
        known = c;
    }
    if (const auto found = atoms.find(std::string_view(name)); found != atoms.end())
        return found->second;
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    if (result != XCB_ATOM_NONE)
        atoms.emplace(name, result);
    return result;
}

xcb_window_t nativeWindow(QWidget* window)
{
    if (!window || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created))
        return XCB_WINDOW_NONE;
    return static_cast<xcb_window_t>(window->winId());
}

xcb_window_t rootWindow(xcb_connection_t* c)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.rem ? it.data->root : noWindow;
}

#ifdef TIDEMARK_HAVE_XCB_SHAPE
bool hasShapeExtension(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shape_id);
    return extension && extension->present;
}

// Rectangles in device pixels, as the X server counts them.
std::vector<xcb_rectangle_t> deviceRectangles(QWidget* window, const std::vector<QRect>& rects)
{
    const qreal ratio = window->devicePixelRatioF();
    std::vector<xcb_rectangle_t> result;
    result.reserve(rects.size());
    for (const QRect& rect : rects) {
        if (rect.isEmpty())
            continue;
        const QRect scaled(QPoint(qFloor(rect.left() * ratio), qFloor(rect.top() * ratio)),
            QPoint(qCeil((rect.right() + 1) * ratio) - 1, qCeil((rect.bottom() + 1) * ratio) - 1));
        result.push_back({ static_cast<int16_t>(scaled.x()), static_cast<int16_t>(scaled.y()),
            static_cast<uint16_t>(scaled.width()), static_cast<uint16_t>(scaled.height()) });
    }
    return result;
}

bool setShape(QWidget* window, xcb_shape_kind_t kind, const std::vector<QRect>& rects)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE || !hasShapeExtension(c))
        return false;
    const std::vector<xcb_rectangle_t> device = deviceRectangles(window, rects);
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, w, 0, 0,
        static_cast<uint32_t>(device.size()), device.data());
    xcb_flush(c);
    return true;
}
#endif

} // namespace

bool isAvailable()
{
    return connection() != nullptr;
}

bool isCompositing()
{
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    // Screens beside the first are rare (multi-head is one screen under RandR).
    const xcb_atom_t selection = atom(c, "_NET_WM_CM_S0");
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* reply
        = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    if (!reply)
        return false;
    const bool owned = reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

void setDockWindowType(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE)
        return;
    const xcb_atom_t dock = atom(c, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dock);
    xcb_flush(c);
}

void setOnAllDesktops(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE)
        return;
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
        32, 1, &allDesktops);
    xcb_flush(c);
}

void setSkipTaskbar(QWidget* window, bool skip, bool mapped)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE)
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    if (mapped) {
        // A mapped window's state belongs to the window manager: ask it by a client message.
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = state;
        event.data.data32[0] = skip ? 1 : 0; // _NET_WM_STATE_ADD or _REMOVE
        event.data.data32[1] = skipTaskbar;
        event.data.data32[2] = skipPager;
        event.data.data32[3] = 1; // from a normal application
        xcb_send_event(c, 0, rootWindow(c),
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&event));
        xcb_flush(c);
        return;
    }
    // Unmapped: edit the property; Qt merges its own states into it when it maps the window.
    std::vector<xcb_atom_t> atoms;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (reply) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
    }
    std::erase(atoms, skipTaskbar);
    std::erase(atoms, skipPager);
    if (skip) {
        atoms.push_back(skipTaskbar);
        atoms.push_back(skipPager);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32,
        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(c);
}

#ifdef TIDEMARK_HAVE_XCB_SHAPE
bool setInputShape(QWidget* window, const std::vector<QRect>& rects)
{
    return setShape(window, XCB_SHAPE_SK_INPUT, rects);
}

bool setBoundingShape(QWidget* window, const std::vector<QRect>& rects)
{
    return setShape(window, XCB_SHAPE_SK_BOUNDING, rects);
}

bool clearShapes(QWidget* window)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE || !hasShapeExtension(c))
        return false;
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, w, 0, 0, XCB_PIXMAP_NONE);
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, w, 0, 0, XCB_PIXMAP_NONE);
    xcb_flush(c);
    return true;
}
#else
bool setInputShape(QWidget*, const std::vector<QRect>&)
{
    return false;
}
bool setBoundingShape(QWidget*, const std::vector<QRect>&)
{
    return false;
}
bool clearShapes(QWidget*)
{
    return false;
}
#endif

void setAspectRatio(QWidget* window, int width, int height)
{
    xcb_connection_t* c = connection();
    const xcb_window_t w = c ? nativeWindow(window) : noWindow;
    if (w == XCB_WINDOW_NONE || width <= 0 || height <= 0)
        return;
    // WM_SIZE_HINTS: flags, x, y, width, height, min, max, increments, min and max aspect,
    // base size, gravity; 18 numbers of 32 bits.
    constexpr std::size_t count = 18;
    constexpr uint32_t programAspect = 1u << 7;
    uint32_t hints[count] = {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c,
        xcb_get_property(c, 0, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, count),
        nullptr);
    if (reply) {
        if (reply->format == 32 && reply->type == XCB_ATOM_WM_SIZE_HINTS) {
            const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            const std::size_t length
                = std::min<std::size_t>(count, xcb_get_property_value_length(reply) / 4);
            std::copy(values, values + length, hints);
        }
        std::free(reply);
    }
    const uint32_t ratio[4]
        = { uint32_t(width), uint32_t(height), uint32_t(width), uint32_t(height) };
    if ((hints[0] & programAspect) && std::equal(ratio, ratio + 4, hints + 11))
        return;
    hints[0] |= programAspect;
    std::copy(ratio, ratio + 4, hints + 11);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NORMAL_HINTS,
        XCB_ATOM_WM_SIZE_HINTS, 32, count, hints);
    xcb_flush(c);
}

#else

bool isAvailable()
{
    return false;
}
bool setInputShape(QWidget*, const std::vector<QRect>&)
{
    return false;
}
bool setBoundingShape(QWidget*, const std::vector<QRect>&)
{
    return false;
}
bool clearShapes(QWidget*)
{
    return false;
}
bool isCompositing()
{
    return false;
}
void setDockWindowType(QWidget*) { }
void setOnAllDesktops(QWidget*) { }
void setSkipTaskbar(QWidget*, bool, bool) { }
void setAspectRatio(QWidget*, int, int) { }

#endif

} // namespace tidemark::x11
