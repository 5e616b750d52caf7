#include "toolkit/PageView.hpp"

#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace tidemark {

ALPageController::ALPageController(QWidget* parent, FrameClock* clock)
    : QWidget(parent)
    , m_position(0.0, clock)
{
    m_strip = new QWidget(this);
    m_strip->setObjectName(QStringLiteral("pageStrip"));
    m_swipePause = new QTimer(this);
    m_swipePause->setObjectName(QStringLiteral("swipePause"));
    m_swipePause->setSingleShot(true);
    m_swipePause->setInterval(swipePauseMilliseconds);
    connect(m_swipePause, &QTimer::timeout, this, [this] { endSwipe(); });
    m_positionToken = m_position.onFrame([this](const double& position) { placeStrip(position); });
    m_landingToken = m_position.onTargetReached([this] { landed(); });
}

ALPageController::~ALPageController()
{
    m_positionToken.cancel();
    m_landingToken.cancel();
}

QWidget* ALPageController::page(int index) const
{
    if (index < 0 || index >= pageCount())
        return nullptr;
    return m_pages[std::size_t(index)];
}

Animation ALPageController::pageAnimation()
{
    // Critically damped: the strip settles on the page without swinging past it.
    return Animation::spring(0.3, 1.0);
}

void ALPageController::adoptPage(QWidget* page)
{
    if (!page || page->parentWidget() == m_strip)
        return;
    page->hide();
    page->setParent(m_strip);
}

void ALPageController::setPages(std::vector<QWidget*> pages)
{
    for (const QPointer<QWidget>& old : m_pages) {
        if (old && std::find(pages.begin(), pages.end(), old.data()) == pages.end())
            old->hide();
    }
    m_pages.clear();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QWidget* page = pages[i];
        if (!page) {
            // A page without a view shows an empty one, made once per position.
            if (m_emptyPages.size() <= i)
                m_emptyPages.resize(i + 1);
            if (!m_emptyPages[i])
                m_emptyPages[i] = new QWidget(m_strip);
            page = m_emptyPages[i];
        }
        adoptPage(page);
        m_pages.emplace_back(page);
    }
    for (std::size_t i = pages.size(); i < m_emptyPages.size(); ++i) {
        if (m_emptyPages[i])
            m_emptyPages[i]->hide();
    }
    const int last = std::max(0, pageCount() - 1);
    if (m_selectedIndex > last) {
        m_selectedIndex = last;
        completeTransition();
    }
    layoutPages();
}

void ALPageController::setSelectedIndexWithoutAnimation(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    m_selectedIndex = index;
    completeTransition();
}

void ALPageController::animateToIndex(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    m_selectedIndex = index;
    if (!isVisible()) {
        completeTransition();
        return;
    }
    m_position.setTarget(double(index), pageAnimation());
}

void ALPageController::completeTransition()
{
    const double selected = double(m_selectedIndex);
    if (m_position.value() != selected || m_position.isAnimating())
        m_position.jump(selected);
}

void ALPageController::landed()
{
    if (m_swiping || !m_liveTransition)
        return;
    completeTransition();
    m_liveTransition = false;
    didEndLiveTransition();
}

void ALPageController::beginSwipe()
{
    m_swiping = true;
    m_swipeDistance = 0;
    m_swipeStartPosition = m_position.value();
    if (!m_liveTransition) {
        m_liveTransition = true;
        willStartLiveTransition();
    }
}

void ALPageController::endSwipe()
{
    m_swipePause->stop();
    if (!m_swiping)
        return;
    m_swiping = false;
    // How far the strip stands from the selected page, in pages: past the threshold it turns
    // one page that way.
    const double moved = m_position.value() - double(m_selectedIndex);
    int target = m_selectedIndex;
    if (moved >= swipeThreshold)
        target = m_selectedIndex + 1;
    else if (moved <= -swipeThreshold)
        target = m_selectedIndex - 1;
    target = std::clamp(target, 0, std::max(0, pageCount() - 1));
    m_selectedIndex = target;
    didTransitionToIndex(target);
    m_position.setTarget(double(target), pageAnimation());
    if (!m_position.isAnimating())
        landed();
}

void ALPageController::wheelEvent(QWheelEvent* event)
{
    if (!m_enableSwipe) {
        event->accept();
        return;
    }
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    const double dx = !pixels.isNull() ? pixels.x() : angle.x() / 120.0 * pointsPerWheelNotch;
    const double dy = !pixels.isNull() ? pixels.y() : angle.y() / 120.0 * pointsPerWheelNotch;
    const bool horizontal = std::abs(dx) > std::abs(dy);
    switch (event->phase()) {
    case Qt::ScrollMomentum:
        // The glide after a swipe has ended carries no new swipe.
        event->setAccepted(horizontal || m_swiping);
        return;
    case Qt::ScrollEnd:
        event->setAccepted(m_swiping);
        endSwipe();
        return;
    default:
        break;
    }
    if (!m_swiping) {
        if (!horizontal || pageCount() == 0) {
            event->ignore();
            return;
        }
        beginSwipe();
    }
    m_swipeDistance += dx;
    const double pageWidth = std::max(1, width());
    // Content follows the fingers: a swipe to the left brings the next page in.
    const double position = std::clamp(m_swipeStartPosition - m_swipeDistance / pageWidth, 0.0,
        double(std::max(0, pageCount() - 1)));
    m_position.jump(position);
    m_swipePause->start();
    event->accept();
}

void ALPageController::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPages();
}

void ALPageController::layoutPages()
{
    const int w = width();
    const int h = height();
    m_strip->resize(std::max(1, pageCount()) * std::max(1, w), h);
    for (int i = 0; i < pageCount(); ++i) {
        if (i == m_selectedIndex)
            continue;
        if (QWidget* p = m_pages[std::size_t(i)]) {
            p->setGeometry(i * w, 0, w, h);
            p->show();
        }
    }
    // A view that stands for several pages sits where the selected one is.
    if (QWidget* selected = page(m_selectedIndex)) {
        selected->setGeometry(m_selectedIndex * w, 0, w, h);
        selected->show();
    }
    placeStrip(m_position.value());
}

void ALPageController::placeStrip(double position)
{
    m_strip->move(int(std::lround(-position * width())), 0);
}

PageControllerView::PageControllerView(Binding<int> selectedIndex,
    std::vector<QWidget*> viewControllers, bool enableSwipe, QWidget* parent, FrameClock* clock)
    : ALPageController(parent, clock)
    , m_parentBinding(selectedIndex)
    , m_selectedIndexBinding(selectedIndex)
{
    for (QWidget* controller : viewControllers)
        m_viewControllers.emplace_back(controller);
    setPages(std::move(viewControllers));
    update(std::move(selectedIndex), enableSwipe);
}

void PageControllerView::update(Binding<int> selectedIndex, bool enableSwipe)
{
    setEnableSwipe(enableSwipe);
    m_selectedIndexBinding = std::move(selectedIndex);
    scheduleSelectionStep();
}

void PageControllerView::scheduleSelectionStep()
{
    rx::mainQueue().post(
        [self = QPointer<PageControllerView>(this), binding = m_selectedIndexBinding] {
            if (!self || self->isLiveTransitioning() || !binding.get)
                return;
            // An index outside the pages is ignored: there is nothing to turn to.
            self->animateToIndex(binding.get());
        });
}

void PageControllerView::didTransitionToIndex(int index)
{
    QWidget* landed = page(index);
    const auto found = std::find(m_viewControllers.begin(), m_viewControllers.end(), landed);
    if (!landed || found == m_viewControllers.end())
        return;
    const int position = int(found - m_viewControllers.begin());
    rx::mainQueue().post(
        [self = QPointer<PageControllerView>(this), binding = m_parentBinding, position] {
            if (self && binding.set)
                binding.set(position);
        });
}

} // namespace tidemark
