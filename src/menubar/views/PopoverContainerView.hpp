#pragma once

#include "core/Store.hpp"
#include "menubar/PopoverView.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "toolkit/MainStore.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class OpenSettingsViewModifier;
class PopoverBannersView;
class PopoverEmptyView;
class PopoverListContainerWidget;
template <class T> class Animated;

using PopoverViewStore = Store<PopoverView::State, PopoverView::Action>;

// The popover's content: the list, or the empty view when there is no reminder to list,
// under the strip of banners. The switch between list and empty view fades, half a second
// late; a banner slides in from the top and the list makes room for it.
class PopoverViewWidget final : public QWidget {
public:
    PopoverViewWidget(std::shared_ptr<PopoverViewStore> viewModel, PopoverListContainerWidget* list,
        std::function<std::optional<std::string>()> reviewAddress, QWidget* parent = nullptr);
    ~PopoverViewWidget() override;

    PopoverListContainerWidget* listContainer() const { return m_list; }
    PopoverEmptyView* emptyView() const { return m_empty; }
    PopoverBannersView* banners() const { return m_banners; }
    // Where the switch and the banner stand now (0 to 1): 1 shows the list, 1 shows the
    // banners in full.
    double listOpacity() const;
    double bannerProgress() const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void render(const PopoverView::State& state, bool animated);
    void layoutContent();

    std::shared_ptr<PopoverViewStore> m_viewModel;
    PopoverListContainerWidget* m_list;
    PopoverEmptyView* m_empty;
    PopoverBannersView* m_banners;
    std::unique_ptr<Animated<double>> m_listOpacity;
    std::unique_ptr<Animated<double>> m_bannerProgress;
    std::optional<bool> m_shownEmpty;
    std::optional<bool> m_shownBanners;
    rx::Cancellable m_subscription;
    rx::Cancellable m_listFrames;
    rx::Cancellable m_bannerFrames;
};

// The root of the popover panel's content: binds the application store to the popover view
// (its own store and the list's, both derived from the application store), opens the settings
// window when the settings slice asks for it, and closes the popover when the panel stops
// being the active window (a menu, a context menu or the title editor of the panel's own do
// not count).
class PopoverContainerView final : public QWidget {
public:
    explicit PopoverContainerView(const AppStoreRef& store,
        std::shared_ptr<const Clock> clock = Clock::system(), QWidget* parent = nullptr);
    ~PopoverContainerView() override;

    PopoverViewWidget* popoverView() const { return m_view; }

private:
    void windowResignedKey(QWidget* window);

    std::weak_ptr<AppStore> m_store;
    PopoverViewWidget* m_view;
    OpenSettingsViewModifier* m_openSettings;
    rx::Cancellable m_mainState;
};

} // namespace tidemark
