#pragma once

#include "platform/foundation/Geometry.hpp"

namespace tidemark {

// The sizes of the clock-hand icon: the whole icon, the area of its ring and clock (centred in
// the icon), the ring's line and the gap inside it, the largest the clock may be, its hands
// (width: thickness, height: length) and its centre dot (width: diameter). In points.
class ZevovozoConfiguring {
public:
    virtual ~ZevovozoConfiguring() = default;

    virtual Size size() const = 0;
    virtual Size contentSize() const = 0;
    virtual double timerIndicatorWidth() const = 0;
    virtual double timerIndicatorInnerPadding() const = 0;
    // The content area less two ring lines and one gap on each axis: the clock keeps clear of
    // the ring's line with room to spare on one side only.
    virtual Size clockSize() const;
    virtual Size hourHandSize() const = 0;
    virtual Size minuteHandSize() const = 0;
    virtual Size handCircleSize() const = 0;

protected:
    ZevovozoConfiguring() = default;
    ZevovozoConfiguring(const ZevovozoConfiguring&) = default;
    ZevovozoConfiguring& operator=(const ZevovozoConfiguring&) = default;
};

// The icon in the menu bar: 22 × 22 around a 16 × 16 content area; the hour hand is the
// longer one.
class MenubarZevovozoConfiguration final : public ZevovozoConfiguring {
public:
    Size size() const override { return m_size; }
    Size contentSize() const override { return m_contentSize; }
    double timerIndicatorWidth() const override { return m_timerIndicatorWidth; }
    double timerIndicatorInnerPadding() const override { return m_timerIndicatorInnerPadding; }
    // Both follow the clock's size on every read.
    Size hourHandSize() const override;
    Size minuteHandSize() const override;
    Size handCircleSize() const override { return m_handCircleSize; }

private:
    Size m_size { 22, 22 };
    Size m_contentSize { 16, 16 };
    double m_timerIndicatorWidth = 2;
    double m_timerIndicatorInnerPadding = 1;
    Size m_handCircleSize { 2, 2 };
};

// The icon beside a list item: 64 × 64 around a 59 × 59 content area; the minute hand is the
// longer one.
class ListItemZevovozoConfiguration final : public ZevovozoConfiguring {
public:
    Size size() const override { return m_size; }
    Size contentSize() const override { return m_contentSize; }
    double timerIndicatorWidth() const override { return m_timerIndicatorWidth; }
    double timerIndicatorInnerPadding() const override { return m_timerIndicatorInnerPadding; }
    // Both follow the clock's size on every read.
    Size hourHandSize() const override;
    Size minuteHandSize() const override;
    Size handCircleSize() const override { return m_handCircleSize; }

private:
    Size m_size { 64, 64 };
    Size m_contentSize { 59, 59 };
    double m_timerIndicatorWidth = 4;
    double m_timerIndicatorInnerPadding = 2;
    Size m_handCircleSize { 8, 8 };
};

} // namespace tidemark
