#pragma once

#include "core/Store.hpp"
#include "menubar/ScrollMenuBarExtraConnectingView.hpp"
#include "platform/foundation/Geometry.hpp"
#include "toolkit/MainStore.hpp"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace tidemark {

// The scroll extra's figure: a 16-point circle and a 14-point square side by side, 22 points
// high with 9 points of margin left and right, the whole area taking the pointer. It reports
// its frame on screen (once per change: when it is laid out, and when its item or the strip
// moves) and hands every wheel event over it on as one delta in points.
class ScrollMenuBarExtraView final : public QWidget {
    Q_OBJECT
public:
    ScrollMenuBarExtraView(std::function<void(std::optional<Rect>)> frame,
        std::function<void(Size)> deltaTranslation, QWidget* parent = nullptr);

    static constexpr double circleSize = 16;
    static constexpr double squareSize = 14;
    static constexpr double spacing = 8;
    static constexpr double itemHeight = 22;
    static constexpr double margin = 9;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The frame on screen; none while the view is not shown or not laid out.
    std::optional<Rect> frameOnScreen() const;
    // Reports the frame when it differs from the one last reported.
    void reportFrame();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void followButton();

    std::function<void(std::optional<Rect>)> m_frame;
    std::optional<Rect> m_reported;
    QMetaObject::Connection m_moves;
    QPointer<QWidget> m_window;
};

// The connected extra: its frame becomes `frame`, each delta `deltaTranslation`.
class ScrollMenuBarExtraConnectingWidget final : public QWidget {
    Q_OBJECT
public:
    using State = ScrollMenuBarExtraConnectingView::State;
    using Action = ScrollMenuBarExtraConnectingView::Action;
    using ViewStore = Store<State, Action>;

    explicit ScrollMenuBarExtraConnectingWidget(
        std::shared_ptr<ViewStore> store, QWidget* parent = nullptr);

    ScrollMenuBarExtraView* view() const { return m_view; }

private:
    std::shared_ptr<ViewStore> m_store;
    ScrollMenuBarExtraView* m_view;
};

// The view the scroll extra hosts in its button, bound to the main store.
QWidget* makeScrollMenuBarExtraContainerView(const AppStoreRef& store);

} // namespace tidemark
