#include "platform/ui/BlurBehind.hpp"

#include <QGuiApplication>
#include <QWidget>

#ifdef TIDEMARK_HAVE_XCB
#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#endif

namespace tidemark::blur {

#ifdef TIDEMARK_HAVE_XCB
namespace {

constexpr const char* blurRegionAtomName = "_KDE_NET_WM_BLUR_BEHIND_REGION";

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const std::string& name, bool onlyIfExists)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c,
        xcb_intern_atom(c, onlyIfExists ? 1 : 0, static_cast<uint16_t>(name.size()), name.data()),
        nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

xcb_screen_t* firstScreen(xcb_connection_t* c)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem ? it.data : nullptr;
}

// A compositing manager owns the selection _NET_WM_CM_S<screen>; KWin's blur effect, while
// loaded, puts a property of the blur atom's name on the root window.
bool askServer()
{
    xcb_connection_t* c = connection();
    xcb_screen_t* screen = c ? firstScreen(c) : nullptr;
    if (!screen)
        return false;
    const xcb_atom_t compositor = atom(c, "_NET_WM_CM_S0", false);
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, compositor), nullptr);
    const bool composited = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    if (!composited)
        return false;
    const xcb_atom_t blurAtom = atom(c, blurRegionAtomName, true);
    if (blurAtom == XCB_ATOM_NONE)
        return false;
    xcb_list_properties_reply_t* list
        = xcb_list_properties_reply(c, xcb_list_properties(c, screen->root), nullptr);
    if (!list)
        return false;
    const xcb_atom_t* atoms = xcb_list_properties_atoms(list);
    const int count = xcb_list_properties_atoms_length(list);
    bool found = false;
    for (int i = 0; i < count && !found; ++i)
        found = atoms[i] == blurAtom;
    std::free(list);
    return found;
}

} // namespace

bool isAvailable()
{
    static const bool available = askServer();
    return available;
}

void setRegion(QWidget* window, const QRegion& region)
{
    if (!window || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created)
        || !isAvailable())
        return;
    xcb_connection_t* c = connection();
    if (!c)
        return;
    const auto nativeWindow = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t blurAtom = atom(c, blurRegionAtomName, false);
    if (region.isEmpty()) {
        xcb_delete_property(c, nativeWindow, blurAtom);
    } else {
        const double ratio = window->devicePixelRatioF();
        std::vector<uint32_t> values;
        for (const QRect& r : region) {
            values.push_back(uint32_t(std::lround(r.x() * ratio)));
            values.push_back(uint32_t(std::lround(r.y() * ratio)));
            values.push_back(uint32_t(std::lround(r.width() * ratio)));
            values.push_back(uint32_t(std::lround(r.height() * ratio)));
        }
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, nativeWindow, blurAtom, XCB_ATOM_CARDINAL, 32,
            uint32_t(values.size()), values.data());
    }
    xcb_flush(c);
}

#else

bool isAvailable()
{
    return false;
}

void setRegion(QWidget*, const QRegion&) { }

#endif

} // namespace tidemark::blur
