#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QLayout>

#include <vector>

namespace tidemark {

// A layout in which every item fills its container less its own insets, one over the other
// in the order added. The container's size hint is the largest item's hint plus its insets,
// so a variable-width container follows its content.
class PinnedLayout final : public QLayout {
    Q_OBJECT
public:
    explicit PinnedLayout(QWidget* parent = nullptr);
    ~PinnedLayout() override;

    void addPinnedWidget(QWidget* widget, EdgeInsets insets);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        EdgeInsets insets;
    };
    std::vector<Entry> m_entries;
};

// Adds `subview` to `container` pinned to all four edges with the given insets (container
// edge = subview edge + inset). Earlier subviews stay where they are, beneath it.
void addPinnedSubview(QWidget* container, QWidget* subview, EdgeInsets insets = {});

} // namespace tidemark
