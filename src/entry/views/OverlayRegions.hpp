#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QRegion>

#include <functional>

namespace tidemark {

// Tells a front overlay's window where the overlay takes the pointer and what it paints,
// once at the start and then once per change: each report reshapes an X window, so equal
// regions are not passed on.
class OverlayRegionReporter {
public:
    using Callback = std::function<void(const Rect& input, const QRegion& painted)>;

    bool isSet() const { return static_cast<bool>(m_callback); }

    void setCallback(Callback callback, const Rect& input, const QRegion& painted)
    {
        m_callback = std::move(callback);
        m_input = input;
        m_painted = painted;
        if (m_callback)
            m_callback(m_input, m_painted);
    }

    void report(const Rect& input, const QRegion& painted)
    {
        if (!m_callback || (input == m_input && painted == m_painted))
            return;
        m_input = input;
        m_painted = painted;
        m_callback(m_input, m_painted);
    }

private:
    Callback m_callback;
    Rect m_input;
    QRegion m_painted;
};

} // namespace tidemark
