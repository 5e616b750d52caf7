#pragma once

#include <QWidget>

#include <functional>

class QSlider;

namespace tidemark {

// A title over two sliders, "On" and "Off", each of 1,000 steps over one range. The sliders
// read and write through the two bindings; refresh() reads them again.
class DebugToggledSliders : public QWidget {
    Q_OBJECT
public:
    static constexpr int steps = 1000;

    // One value the sliders read and write.
    struct Value {
        std::function<double()> get;
        std::function<void(double)> set;
    };

    DebugToggledSliders(const QString& title, double lower, double upper, Value on, Value off,
        QWidget* parent = nullptr);

    QSlider* onSlider() const { return m_on; }
    QSlider* offSlider() const { return m_off; }
    void refresh();

    // The slider position of a value in the range, and the value at a position.
    int position(double value) const;
    double valueAt(int position) const;

private:
    double m_lower;
    double m_upper;
    Value m_onBinding;
    Value m_offBinding;
    QSlider* m_on;
    QSlider* m_off;
    bool m_refreshing = false;
};

} // namespace tidemark
