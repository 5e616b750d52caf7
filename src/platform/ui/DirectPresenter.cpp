#include "platform/ui/DirectPresenter.hpp"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#ifdef TIDEMARK_HAVE_XCB_SHM
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <sys/ipc.h>
#include <sys/shm.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace tidemark {

#ifdef TIDEMARK_HAVE_XCB_SHM

namespace {

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

// A shared-memory segment, attached here and in the server.
struct Attached {
    xcb_shm_seg_t id;
    uchar* address;
};

// Makes a segment of `size` bytes; `checked` waits for the server's answer to the attach.
std::optional<Attached> attachSegment(xcb_connection_t* c, std::size_t size, bool checked)
{
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id == -1)
        return std::nullopt;
    void* address = shmat(id, nullptr, 0);
    // Marked for removal now: it goes when the server and this process have detached.
    shmctl(id, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1))
        return std::nullopt;
    const xcb_shm_seg_t segment = xcb_generate_id(c);
    if (checked) {
        xcb_generic_error_t* error
            = xcb_request_check(c, xcb_shm_attach_checked(c, segment, uint32_t(id), 0));
        if (error) {
            std::free(error);
            shmdt(address);
            return std::nullopt;
        }
    } else {
        xcb_shm_attach(c, segment, uint32_t(id), 0);
    }
    return Attached { segment, static_cast<uchar*>(address) };
}

// Whether the server takes shared-memory segments of this process, asked once: the extension
// may be there and still unable to attach (a server on another machine).
bool sharedMemoryWorks(xcb_connection_t* c)
{
    static const bool works = [c] {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
        if (!extension || !extension->present)
            return false;
        const std::optional<Attached> test = attachSegment(c, 4096, true);
        if (!test)
            return false;
        xcb_shm_detach(c, test->id);
        shmdt(test->address);
        return true;
    }();
    return works;
}

// The depth of a window's pixels.
uint8_t windowDepth(xcb_connection_t* c, xcb_window_t window)
{
    xcb_get_geometry_reply_t* reply
        = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const uint8_t depth = reply ? reply->depth : 0;
    std::free(reply);
    return depth;
}

} // namespace

// A few shared-memory segments, each with the request that tells when the server has read
// the last frame sent from it.
struct DirectPresenter::Buffers final : QAbstractNativeEventFilter {
    struct Segment {
        xcb_shm_seg_t id = 0;
        uchar* address = nullptr;
        std::size_t size = 0;
        // The request whose reply says the server is done with the segment, when one is awaited.
        unsigned int fence = 0;
        bool awaited = false;
        // When it was last sent, to find the oldest.
        std::uint64_t sent = 0;
    };

    // A frame as sent: the sequence number of its first request and its region in the window.
    struct Sent {
        unsigned int sequence;
        QRegion region;
    };

    DirectPresenter& owner;
    xcb_connection_t* c = nullptr;
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_gcontext_t gc = 0;
    bool usable = true;
    std::vector<Segment> segments;
    std::deque<Sent> recent;

    // Three are enough: one the server may still read, one just sent, one to draw into.
    static constexpr std::size_t most = 3;
    // Exposes come a few requests after their cause; frames further back than this are not
    // needed to tell what an expose lost.
    static constexpr std::size_t remembered = 16;

    Buffers(DirectPresenter& presenter, xcb_connection_t* connection)
        : owner(presenter)
        , c(connection)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~Buffers() override
    {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
        clear();
    }

    // What the server showed of the window and then lost (another window lay over it, or its
    // shape grew) comes back as exposes. Qt answers them from its own copy of the window,
    // which the frames sent since have passed: once a frame has gone out, the exposes are
    // answered here instead. What a later frame drew is there already; the rest is redrawn.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (window == XCB_WINDOW_NONE || recent.empty() || type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_EXPOSE)
            return false;
        auto* expose = reinterpret_cast<xcb_expose_event_t*>(event);
        QWidget* top = owner.m_widget->window();
        // Until Qt has seen the window exposed, the exposes are its own to handle: it paints
        // the whole window then.
        if (expose->window != window || !top->windowHandle() || !top->windowHandle()->isExposed())
            return false;
        QRegion lost(expose->x, expose->y, expose->width, expose->height);
        for (const Sent& frame : recent) {
            // Sequence numbers in events keep their low 16 bits: a frame sent after the
            // expose's cause is ahead of it there.
            if (int16_t(uint16_t(frame.sequence) - expose->sequence) > 0)
                lost -= frame.region;
        }
        if (!lost.isEmpty()) {
            static int k = 0;
            if (++k % 50 == 0) {
                std::fprintf(stderr, "DBGX expose %d,%d %dx%d seq=%u frames:", expose->x, expose->y,
                    expose->width, expose->height, unsigned(expose->sequence));
                for (const Sent& f : recent) {
                    auto b = f.region.boundingRect();
                    std::fprintf(stderr, " [%u %d,%d %dx%d]", f.sequence & 0xffff, b.x(), b.y(),
                        b.width(), b.height());
                }
                std::fprintf(stderr, "\n");
            }
        }
        if (!lost.isEmpty() && owner.m_onLost)
            owner.m_onLost(lost.translated(-owner.m_widget->mapTo(top, QPoint(0, 0))));
        return true;
    }

    void clear()
    {
        for (Segment& segment : segments)
            drop(segment);
        segments.clear();
        recent.clear();
        if (gc != 0)
            xcb_free_gc(c, gc);
        gc = 0;
        window = XCB_WINDOW_NONE;
        if (c)
            xcb_flush(c);
    }

    void drop(Segment& segment)
    {
        if (segment.awaited)
            xcb_discard_reply(c, segment.fence);
        // The server handles the detach after every frame sent before it; the segment itself
        // goes once both sides let it go.
        xcb_shm_detach(c, segment.id);
        shmdt(segment.address);
    }

    static bool answered(xcb_connection_t* c, Segment& segment)
    {
        if (!segment.awaited)
            return true;
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(c, segment.fence, &reply, &error) == 0)
            return false;
        std::free(reply);
        std::free(error);
        segment.awaited = false;
        return true;
    }

    static bool create(xcb_connection_t* c, std::size_t size, Segment& segment)
    {
        const std::optional<Attached> attached = attachSegment(c, size, false);
        if (!attached)
            return false;
        segment.id = attached->id;
        segment.address = attached->address;
        segment.size = size;
        segment.awaited = false;
        return true;
    }

    // A segment of at least `size` bytes that the server no longer reads; null if none can
    // be made.
    Segment* acquire(std::size_t size)
    {
        Segment* fits = nullptr;
        Segment* idleSmall = nullptr;
        for (Segment& segment : segments) {
            if (!answered(c, segment))
                continue;
            if (segment.size >= size) {
                if (!fits || segment.size < fits->size)
                    fits = &segment;
            } else if (!idleSmall) {
                idleSmall = &segment;
            }
        }
        if (fits)
            return fits;
        // In steps of 256 KiB: a growing shape makes a new segment now and then, not every frame.
        const std::size_t step = 256 * 1024;
        const std::size_t rounded = (size + step - 1) / step * step;
        if (idleSmall) {
            drop(*idleSmall);
            if (!create(c, rounded, *idleSmall)) {
                segments.erase(segments.begin() + (idleSmall - segments.data()));
                return nullptr;
            }
            return idleSmall;
        }
        if (segments.size() < most) {
            Segment segment;
            if (!create(c, rounded, segment))
                return nullptr;
            segments.push_back(segment);
            return &segments.back();
        }
        // Every segment is still with the server (it is far behind): wait for the oldest.
        Segment* oldest = &*std::min_element(segments.begin(), segments.end(),
            [](const Segment& a, const Segment& b) { return a.sent < b.sent; });
        std::free(xcb_wait_for_reply(c, oldest->fence, nullptr));
        oldest->awaited = false;
        if (oldest->size < size) {
            drop(*oldest);
            if (!create(c, rounded, *oldest)) {
                segments.erase(segments.begin() + (oldest - segments.data()));
                return nullptr;
            }
        }
        return oldest;
    }
};

DirectPresenter::DirectPresenter(QWidget* widget)
    : m_widget(widget)
{
}

DirectPresenter::~DirectPresenter() = default;

// Asked once per native window: a window shown again keeps its depth.
uint8_t DirectPresenter::depthOf(xcb_connection_t* c, unsigned long window)
{
    if (m_depthOf != window) {
        m_depth = windowDepth(c, xcb_window_t(window));
        m_depthOf = window;
    }
    return m_depth;
}

bool DirectPresenter::present(const QRegion& region, const Draw& draw)
{
    if (region.isEmpty())
        return true;
    QWidget* top = m_widget->window();
    if (m_widget->devicePixelRatioF() != 1.0 || !top->isVisible()
        || !top->testAttribute(Qt::WA_WState_Created))
        return false;
    // The connection is looked up once a showing, not once a frame.
    xcb_connection_t* c = m_buffers ? m_buffers->c : connection();
    if (!c || !sharedMemoryWorks(c))
        return false;
    if (!m_buffers)
        m_buffers = std::make_unique<Buffers>(*this, c);
    Buffers& buffers = *m_buffers;
    const auto window = xcb_window_t(top->winId());
    if (buffers.window != window) {
        buffers.clear();
        buffers.window = window;
        // The frames go out as 32-bit premultiplied pixels: only a translucent window takes them.
        const xcb_setup_t* setup = xcb_get_setup(c);
        buffers.usable
            = depthOf(c, window) == 32 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
        if (buffers.usable) {
            buffers.gc = xcb_generate_id(c);
            const uint32_t noExposures = 0;
            xcb_create_gc(c, buffers.gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        }
    }
    if (!buffers.usable)
        return false;

    // The widget's region in the window's pixels, cut to the window.
    const QPoint offset = m_widget->mapTo(top, QPoint(0, 0));
    const QRegion inWindow = region.translated(offset) & top->rect();
    if (inWindow.isEmpty())
        return true;
    const QRect bounds = inWindow.boundingRect();
    const std::size_t size = std::size_t(bounds.width()) * 4 * std::size_t(bounds.height());
    Buffers::Segment* segment = buffers.acquire(size);
    if (!segment) {
        buffers.usable = false;
        return false;
    }

    QImage target(segment->address, bounds.width(), bounds.height(), bounds.width() * 4,
        QImage::Format_ARGB32_Premultiplied);
    const QRegion local = inWindow.translated(-bounds.topLeft());
    {
        QPainter clear(&target);
        clear.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : local)
            clear.fillRect(rect, Qt::transparent);
    }
    draw(target, bounds.topLeft() - offset);

    std::optional<unsigned int> first;
    for (const QRect& rect : local) {
        const xcb_void_cookie_t put
            = xcb_shm_put_image(c, window, buffers.gc, uint16_t(bounds.width()),
                uint16_t(bounds.height()), int16_t(rect.x()), int16_t(rect.y()),
                uint16_t(rect.width()), uint16_t(rect.height()), int16_t(rect.x() + bounds.x()),
                int16_t(rect.y() + bounds.y()), 32, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment->id, 0);
        if (!first)
            first = put.sequence;
    }
    buffers.recent.push_back({ *first, inWindow });
    if (buffers.recent.size() > Buffers::remembered)
        buffers.recent.pop_front();
    // Its answer says the server has read the segment: the frame after next may draw there.
    segment->fence = xcb_get_input_focus(c).sequence;
    segment->awaited = true;
    segment->sent = std::uint64_t(++m_frames);
    xcb_flush(c);
    return true;
}

void DirectPresenter::release()
{
    m_buffers.reset();
}

qsizetype DirectPresenter::bytes() const
{
    qsizetype total = 0;
    if (m_buffers) {
        for (const auto& segment : m_buffers->segments)
            total += qsizetype(segment.size);
    }
    return total;
}

#else

struct DirectPresenter::Buffers { };

DirectPresenter::DirectPresenter(QWidget* widget)
    : m_widget(widget)
{
}

DirectPresenter::~DirectPresenter() = default;

bool DirectPresenter::present(const QRegion& region, const Draw&)
{
    return region.isEmpty();
}

void DirectPresenter::release() { }

qsizetype DirectPresenter::bytes() const
{
    return 0;
}

#endif

} // namespace tidemark
