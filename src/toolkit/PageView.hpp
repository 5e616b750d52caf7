#pragma once

#include "core/Store.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "platform/ui/Animator.hpp"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tidemark {

// Pages side by side on a horizontal strip, one shown at a time; turning a page slides the
// strip on the frame clock. A horizontal swipe (wheel or touchpad events) drags the strip
// along and, when it ends (the touchpad's scroll end, or 150 ms without events), lands on the
// neighbouring page if it went far enough, else back on its own. Swipes can be refused.
class ALPageController : public QWidget {
public:
    explicit ALPageController(QWidget* parent = nullptr, FrameClock* clock = nullptr);
    ~ALPageController() override;

    // Whether swipes turn pages. When false they are dropped: nothing else sees them.
    bool enableSwipe() const { return m_enableSwipe; }
    void setEnableSwipe(bool enable) { m_enableSwipe = enable; }

    int pageCount() const { return int(m_pages.size()); }
    // The pages in order; a page given as null is shown as an empty view.
    QWidget* page(int index) const;
    int selectedIndex() const { return m_selectedIndex; }
    // True from the start of a swipe until its page has landed.
    bool isLiveTransitioning() const { return m_liveTransition; }
    // Where the strip stands, in pages (0 the first page); between pages while it slides.
    const Animated<double>& position() const { return m_position; }

    // Turns to `index`: slides there while the view is on screen, moves at once otherwise.
    // An index that names no page is ignored.
    void animateToIndex(int index);
    // Puts the strip exactly on the selected page, ending any slide.
    void completeTransition();

    // The spring pages slide with.
    static Animation pageAnimation();
    // How far a swipe must go, as a share of the page width, to turn the page.
    static constexpr double swipeThreshold = 0.25;
    // A swipe with no event for this long has ended.
    static constexpr int swipePauseMilliseconds = 150;
    // Points a wheel notch (120 eighths of a degree) moves the strip by.
    static constexpr double pointsPerWheelNotch = 40;

protected:
    // Lays the pages on the strip in order, keeping the selected index where it still names a
    // page. The controller owns every page given to it.
    void setPages(std::vector<QWidget*> pages);
    // Takes a view into the controller's keeping without showing it.
    void adoptPage(QWidget* page);
    void setSelectedIndexWithoutAnimation(int index);

    // What a swipe reports, in order: it started; it landed on a page; its landing ended.
    virtual void willStartLiveTransition() { }
    virtual void didTransitionToIndex(int /*index*/) { }
    virtual void didEndLiveTransition() { }

    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void beginSwipe();
    void endSwipe();
    void layoutPages();
    void placeStrip(double position);
    void landed();

    QWidget* m_strip = nullptr;
    std::vector<QPointer<QWidget>> m_pages;
    std::vector<QPointer<QWidget>> m_emptyPages;
    int m_selectedIndex = 0;
    bool m_enableSwipe = true;
    bool m_liveTransition = false;
    bool m_swiping = false;
    double m_swipeStartPosition = 0;
    double m_swipeDistance = 0;
    QTimer* m_swipePause = nullptr;
    Animated<double> m_position;
    rx::Cancellable m_positionToken;
    rx::Cancellable m_landingToken;
};

// Pages through a fixed list of views by index. The index lives outside, behind a binding:
// each update schedules, on the next turn of the main queue, a slide to the index the binding
// then holds (not during a swipe, not when already there, and never to an index outside the
// pages); a swipe writes the index it landed on back, on the next turn as well.
class PageControllerView : public ALPageController {
public:
    PageControllerView(Binding<int> selectedIndex, std::vector<QWidget*> viewControllers,
        bool enableSwipe = true, QWidget* parent = nullptr, FrameClock* clock = nullptr);

    // A new value of the view: its binding and swipe setting. The pages stay those it was
    // made with.
    void update(Binding<int> selectedIndex, bool enableSwipe = true);
    // The same binding again, after the state behind it changed.
    void update() { update(m_selectedIndexBinding, enableSwipe()); }

protected:
    void didTransitionToIndex(int index) override;

private:
    void scheduleSelectionStep();

    std::vector<QPointer<QWidget>> m_viewControllers;
    // The binding the view was made with: a landed swipe is written there.
    Binding<int> m_parentBinding;
    Binding<int> m_selectedIndexBinding;
};

// Pages through views chosen by a value of any hashable type: `arrangedSelection` orders the
// values, each value's view comes from the content given when the view is made, keyed by the
// decimal text of the value's hash (so two values with the same hash share one view, the one
// that came later). A value without a view shows an empty page. Like PageControllerView, an
// update slides to the bound selection on the next turn of the main queue and a swipe writes
// its page's value back; a selection that is not among the arranged values is ignored.
template <class T> class PageView : public ALPageController {
public:
    PageView(Binding<T> selection, bool enableSwipe, std::vector<T> arrangedSelection,
        const std::vector<std::pair<T, QWidget*>>& selectionContent, QWidget* parent = nullptr,
        FrameClock* clock = nullptr)
        : ALPageController(parent, clock)
        , m_parentSelection(selection)
    {
        for (const auto& [value, widget] : selectionContent) {
            adoptPage(widget);
            m_controllers[identifier(value)] = widget;
        }
        setEnableSwipe(enableSwipe);
        m_arranged = std::move(arrangedSelection);
        applyArrangement();
        update(std::move(selection), enableSwipe, m_arranged);
    }

    // A new value of the view. The arranged values may change; the views of the pages stay
    // those given when it was made.
    void update(Binding<T> selection, bool enableSwipe, const std::vector<T>& arrangedSelection)
    {
        if (arrangedSelection != m_arranged) {
            m_arranged = arrangedSelection;
            applyArrangement();
        }
        setEnableSwipe(enableSwipe);
        m_selection = std::move(selection);
        rx::mainQueue().post([self = QPointer<ALPageController>(this), selection = m_selection,
                                 arranged = m_arranged] {
            if (!self || self->isLiveTransitioning() || !selection.get)
                return;
            const T current = selection.get();
            const auto found = std::find(arranged.begin(), arranged.end(), current);
            if (found == arranged.end())
                return;
            self->animateToIndex(int(found - arranged.begin()));
        });
    }

    const std::vector<T>& arrangedObjects() const { return m_arranged; }

    // A page's identifier: the decimal text of its value's hash, stable within one run.
    static std::string identifier(const T& value)
    {
        return std::to_string(static_cast<long long>(std::hash<T> {}(value)));
    }

protected:
    void didTransitionToIndex(int index) override
    {
        if (index < 0 || index >= int(m_arranged.size()))
            return;
        rx::mainQueue().post([self = QPointer<ALPageController>(this),
                                 selection = m_parentSelection, value = m_arranged[index]] {
            if (self && selection.set)
                selection.set(value);
        });
    }

private:
    void applyArrangement()
    {
        std::vector<QWidget*> pages;
        pages.reserve(m_arranged.size());
        for (const T& value : m_arranged) {
            const auto found = m_controllers.find(identifier(value));
            pages.push_back(found != m_controllers.end() ? found->second.data() : nullptr);
        }
        setPages(std::move(pages));
    }

    Binding<T> m_parentSelection;
    Binding<T> m_selection;
    std::vector<T> m_arranged;
    std::map<std::string, QPointer<QWidget>> m_controllers;
};

} // namespace tidemark
