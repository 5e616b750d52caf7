#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace tidemark {

class StatusBar;
class StatusItem;

// The clickable area of a status item. Views hosted in it (addPinnedSubview) fill it and get
// every press, drag, release, hover and wheel event over it; a drag that leaves the strip
// keeps going to the view that was pressed until the button is released.
class StatusBarButton final : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarButton(QWidget* parent);

    // The highlight shows the item as selected, for example while its panel is open.
    bool isHighlighted() const { return m_highlighted; }
    void highlight(bool highlighted);

    // The button's frame in screen coordinates.
    Rect frameInScreen() const;

Q_SIGNALS:
    // The preferred size of the hosted content changed.
    void contentSizeChanged();
    // The button's frame on screen changed (its item's `moved`), for the views it hosts.
    void moved();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_highlighted = false;
};

// One item of the status bar. Made by StatusBar::statusItem; releasing the last reference
// removes it from the bar.
class StatusItem final : public QObject {
    Q_OBJECT
public:
    // The item is as wide as its content wants.
    static constexpr double variableLength = -1.0;
    // The item is as wide as the bar is high.
    static constexpr double squareLength = -2.0;

    ~StatusItem() override;

    double length() const { return m_length; }
    void setLength(double length);
    // The button's window is the status bar's strip. Null once the item left its bar.
    StatusBarButton* button() const { return m_button; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    // The button's frame in screen coordinates.
    Rect frame() const;
    StatusBar* statusBar() const { return m_statusBar; }

Q_SIGNALS:
    // The item's frame on screen changed: the strip moved or the items around it resized.
    void moved();

private:
    friend class StatusBar;
    StatusItem(StatusBar* statusBar, double length);
    void detach();

    QPointer<StatusBar> m_statusBar;
    StatusBarButton* m_button = nullptr;
    double m_length;
    bool m_visible = true;
    Rect m_lastFrame;
};

using StatusItemRef = std::shared_ptr<StatusItem>;

// A frameless strip at the top right of the primary screen's usable area, above every other
// window, holding the status items: the first item made stands rightmost, later ones to its
// left. It is as wide as its items and hidden while it holds none. It stands in for a tray
// because tray protocols deliver no press-and-drag, hover or scroll over an icon.
class StatusBar final : public QObject {
    Q_OBJECT
public:
    StatusBar();
    ~StatusBar() override;

    // The bar of the application, made on first use (a Qt application must exist).
    static StatusBar& system();

    StatusItemRef statusItem(double length);
    // Removes the item from the bar at once; releasing its last reference does the same.
    void removeStatusItem(StatusItem* item);

    // The height of the strip and of every item.
    double thickness() const { return 24; }
    // The strip's window; its title is "Tidemark status bar".
    QWidget* window() const { return m_window; }
    Rect frame() const;
    std::vector<StatusItem*> items() const;

    // Lays the items out and places the strip now rather than on the next turn of the loop.
    void layoutNow();

private:
    friend class StatusItem;
    friend class StatusBarButton;
    void onStripMoved();
    void reportMoves();
    double widthOf(const StatusItem* item) const;

    QWidget* m_window = nullptr;
    std::vector<StatusItem*> m_items;
};

} // namespace tidemark
