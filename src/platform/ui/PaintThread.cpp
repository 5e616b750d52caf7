#include "platform/ui/PaintThread.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>

#include <sys/mman.h>

namespace tidemark {

namespace {

// Spins for a moment where a wait is expected to be short: a thread that sleeps is woken
// late now and then, by milliseconds on a virtual machine whose processor went idle.
inline void pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

class PaintThread {
public:
    static PaintThread& shared()
    {
        static PaintThread thread;
        return thread;
    }

    void run(const std::function<void()>& job)
    {
        std::unique_lock lock(m_mutex);
        if (!QCoreApplication::instance() || m_stopping || QThread::currentThread() == m_thread) {
            lock.unlock();
            job();
            return;
        }
        if (!m_running)
            start(lock);
        m_job = &job;
        m_error = nullptr;
        m_state.store(posted, std::memory_order_release);
        m_changed.notify_all();
        lock.unlock();
        // The paint thread normally takes the job within microseconds. Where it is slow to
        // wake, the job runs here (with the split fills) rather than waiting on it.
        QElapsedTimer waited;
        waited.start();
        while (m_state.load(std::memory_order_acquire) == posted
            && waited.nsecsElapsed() < claimWithinNs)
            pause();
        int expected = posted;
        if (m_state.compare_exchange_strong(expected, idle, std::memory_order_acq_rel)) {
            job();
            return;
        }
        // Taken: a frame's paint lasts a fraction of a millisecond, which this thread spends
        // spinning rather than asleep; past 2 ms it waits asleep.
        while (m_state.load(std::memory_order_acquire) != done && waited.nsecsElapsed() < spinForNs)
            pause();
        lock.lock();
        m_changed.wait(lock, [this] { return m_state.load(std::memory_order_acquire) == done; });
        m_state.store(idle, std::memory_order_relaxed);
        if (m_error)
            std::rethrow_exception(std::exchange(m_error, nullptr));
    }

    // Ends the loop before the application (and later the pool, which waits for its jobs)
    // goes away.
    static void stop()
    {
        PaintThread& self = shared();
        std::unique_lock lock(self.m_mutex);
        if (!self.m_running)
            return;
        self.m_stopping = true;
        self.m_changed.notify_all();
        self.m_changed.wait(lock, [&self] { return !self.m_running; });
        self.m_stopping = false;
        QThreadPool* pool = QThreadPool::globalInstance();
        pool->setMaxThreadCount(pool->maxThreadCount() - 1);
    }

private:
    enum State { idle, posted, running, done };
    static constexpr qint64 claimWithinNs = 200'000;
    static constexpr qint64 spinForNs = 2'000'000;

    void start(std::unique_lock<std::mutex>& lock)
    {
        QThreadPool* pool = QThreadPool::globalInstance();
        // The loop holds its thread for good: the fills of other threads keep every thread
        // they had, and a pool of one thread does not wait on itself.
        pool->setMaxThreadCount(pool->maxThreadCount() + 1);
        m_running = true;
        pool->start([this] { loop(); });
        m_changed.wait(lock, [this] { return m_thread != nullptr; });
        qAddPostRoutine(&PaintThread::stop);
    }

    void loop()
    {
        std::unique_lock lock(m_mutex);
        m_thread = QThread::currentThread();
        m_changed.notify_all();
        for (;;) {
            m_changed.wait(lock,
                [this] { return m_state.load(std::memory_order_acquire) == posted || m_stopping; });
            int expected = posted;
            if (!m_state.compare_exchange_strong(expected, running, std::memory_order_acq_rel)) {
                if (m_stopping)
                    break;
                continue; // the caller took it back
            }
            const std::function<void()>* job = m_job;
            lock.unlock();
            std::exception_ptr error;
            try {
                (*job)();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            m_error = error;
            m_state.store(done, std::memory_order_release);
            m_changed.notify_all();
        }
        m_thread = nullptr;
        m_running = false;
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<int> m_state { idle };
    const std::function<void()>* m_job = nullptr;
    std::exception_ptr m_error;
    QThread* m_thread = nullptr;
    bool m_running = false;
    bool m_stopping = false;
};

// An image in pages of its own, given back to the system when it goes: from the heap, the
// images of a pull (a new one every few frames as the shape grows) stayed behind in it as
// free space the program kept.
QImage mappedImage(int width, int height)
{
    const qsizetype stride = qsizetype(width) * 4;
    const std::size_t bytes = std::size_t(stride) * std::size_t(height);
    void* pages = bytes > 0
        ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
        : MAP_FAILED;
    if (pages == MAP_FAILED)
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    struct Mapping {
        void* pages;
        std::size_t bytes;
    };
    return QImage(
        static_cast<uchar*>(pages), width, height, stride, QImage::Format_ARGB32_Premultiplied,
        [](void* info) {
            auto* mapping = static_cast<Mapping*>(info);
            munmap(mapping->pages, mapping->bytes);
            delete mapping;
        },
        new Mapping { pages, bytes });
}

} // namespace

void runOnPaintThread(const std::function<void()>& job)
{
    PaintThread::shared().run(job);
}

void PaintThreadCanvas::paint(
    QWidget* widget, const QRegion& region, const std::function<void(QPainter&)>& draw)
{
    const QRect bounds = region.boundingRect();
    if (bounds.isEmpty())
        return;
    const qreal ratio = widget->devicePixelRatioF();
    const int width = int(std::ceil(bounds.width() * ratio));
    const int height = int(std::ceil(bounds.height() * ratio));
    // The image only grows (a pull grows frame by frame); a hidden window lets it go.
    if (m_image.isNull() || m_image.width() < width || m_image.height() < height
        || m_image.devicePixelRatio() != ratio) {
        // In steps of 64 pixels: a growing shape makes a new image every few frames, not
        // every frame.
        const auto step = [](int pixels) { return (pixels + 63) / 64 * 64; };
        const bool sameRatio = !m_image.isNull() && m_image.devicePixelRatio() == ratio;
        m_image = mappedImage(step(sameRatio ? std::max(width, m_image.width()) : width),
            step(sameRatio ? std::max(height, m_image.height()) : height));
        m_image.setDevicePixelRatio(ratio);
    }
    const QRegion local = region.translated(-bounds.topLeft());
    const QFont font = widget->font();
    runOnPaintThread([&] {
        QPainter painter(&m_image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : local)
            painter.fillRect(rect, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setFont(font);
        painter.setClipRegion(local);
        painter.translate(-bounds.topLeft());
        draw(painter);
    });
    QPainter painter(widget);
    drawImageByRects(painter, bounds.topLeft(), m_image, region);
}

void drawImageByRects(
    QPainter& painter, const QPointF& topLeft, const QImage& image, const QRegion& region)
{
    const double ratio = image.devicePixelRatio();
    const QRectF covered(topLeft, image.deviceIndependentSize());
    for (const QRect& rect : region) {
        const QRectF part = QRectF(rect).intersected(covered);
        if (part.isEmpty())
            continue;
        const QRectF source = part.translated(-topLeft);
        painter.save();
        painter.setClipRect(part, Qt::IntersectClip);
        painter.drawImage(part, image,
            QRectF(source.x() * ratio, source.y() * ratio, source.width() * ratio,
                source.height() * ratio));
        painter.restore();
    }
}

} // namespace tidemark
