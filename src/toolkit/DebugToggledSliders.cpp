#include "toolkit/DebugToggledSliders.hpp"

#include "platform/foundation/StringTables.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

QSlider* makeColumn(QHBoxLayout* row, const char* key)
{
    auto* column = new QVBoxLayout;
    auto* title = new QLabel(QString::fromStdString(localized("Localizable", key)));
    title->setAlignment(Qt::AlignCenter);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, DebugToggledSliders::steps);
    column->addWidget(title);
    column->addWidget(slider);
    row->addLayout(column);
    return slider;
}

} // namespace

DebugToggledSliders::DebugToggledSliders(
    const QString& title, double lower, double upper, Value on, Value off, QWidget* parent)
    : QWidget(parent)
    , m_lower(lower)
    , m_upper(upper)
    , m_onBinding(std::move(on))
    , m_offBinding(std::move(off))
{
    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(0);
    auto* heading = new QLabel(title);
    heading->setAlignment(Qt::AlignCenter);
    stack->addWidget(heading);
    auto* row = new QHBoxLayout;
    stack->addLayout(row);
    m_on = makeColumn(row, "On");
    m_off = makeColumn(row, "Off");
    refresh();
    connect(m_on, &QSlider::valueChanged, this, [this](int position) {
        if (!m_refreshing)
            m_onBinding.set(valueAt(position));
    });
    connect(m_off, &QSlider::valueChanged, this, [this](int position) {
        if (!m_refreshing)
            m_offBinding.set(valueAt(position));
    });
}

void DebugToggledSliders::refresh()
{
    m_refreshing = true;
    m_on->setValue(position(m_onBinding.get()));
    m_off->setValue(position(m_offBinding.get()));
    m_refreshing = false;
}

int DebugToggledSliders::position(double value) const
{
    if (m_upper == m_lower)
        return 0;
    const double share = (value - m_lower) / (m_upper - m_lower);
    return int(std::lround(std::clamp(share, 0.0, 1.0) * steps));
}

double DebugToggledSliders::valueAt(int position) const
{
    return m_lower + (m_upper - m_lower) * double(position) / steps;
}

} // namespace tidemark
