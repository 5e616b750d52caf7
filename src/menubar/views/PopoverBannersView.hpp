#pragma once

#include "core/Store.hpp"
#include "menubar/PopoverView.hpp"
#include "platform/reactive/Cancellable.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVBoxLayout;

namespace tidemark {

using PopoverBannersStore
    = Store<PopoverNotificationsView::State, PopoverNotificationsView::Action>;

// The banners at the top of the popover, one row per notification: the review prompt, whose
// click opens the review page (then it goes) and whose close button removes it. When the
// page cannot be opened, or there is no address, the banner stays. The background of the
// rows is the accent colour, stronger while the pointer is over the strip.
class PopoverBannersView final : public QWidget {
public:
    // `reviewAddress` gives the review page's address (none when there is none).
    PopoverBannersView(std::shared_ptr<PopoverBannersStore> store,
        std::function<std::optional<std::string>()> reviewAddress, QWidget* parent = nullptr);

    bool isHighlighted() const { return m_isHighlighted; }
    // The banner's click, and its close button.
    void accept(PopoverNotification notification);
    void dismiss(PopoverNotification notification);

    // The rows' widgets, top down.
    std::vector<QWidget*> rows() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void render(const PopoverNotificationsView::State& state);
    void setHighlighted(bool highlighted);

    std::shared_ptr<PopoverBannersStore> m_store;
    std::function<std::optional<std::string>()> m_reviewAddress;
    QVBoxLayout* m_layout;
    std::vector<QWidget*> m_rows;
    std::vector<PopoverNotification> m_shown;
    bool m_isHighlighted = false;
    rx::Cancellable m_subscription;
};

} // namespace tidemark
