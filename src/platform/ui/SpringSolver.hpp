#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

// The closed form of a damped spring, x'' + 2ζω x' + ω² x = 0, with ω = 2π / response and ζ the
// damping fraction. x is the displacement from the target, v its velocity. The motion over a
// time t is linear in the state it starts from, so one step is four coefficients that carry
// any number of components at once, exactly, whatever the step's length.

namespace tidemark {

struct SpringStep {
    // x(t) = xx·x0 + xv·v0;  v(t) = vx·x0 + vv·v0
    double xx = 1;
    double xv = 0;
    double vx = 0;
    double vv = 1;
};

// A damping fraction the solver can take: not a number counts as critical damping, below 0 as
// 0 (undamped), and very large values are held where the exponentials stay finite.
inline double springDampingFraction(double dampingFraction)
{
    if (std::isnan(dampingFraction))
        return 1;
    return std::clamp(dampingFraction, 0.0, 1e3);
}

// The step over `t` seconds. A response of 0 or less (or not finite) reaches the target at
// once; so does a step of infinite length with any damping above 0.
inline SpringStep springStep(double response, double dampingFraction, double t)
{
    if (!(response > 0) || !std::isfinite(response))
        return { 0, 0, 0, 0 };
    if (!(t > 0))
        return {};
    const double zeta = springDampingFraction(dampingFraction);
    const double omega = 2 * std::numbers::pi / response;
    // Close to 1 the two other forms lose precision; the critical form is exact enough there.
    constexpr double criticalBand = 1e-6;
    if (zeta < 1 - criticalBand) {
        const double decay = zeta * omega;
        const double omegaD = omega * std::sqrt(1 - zeta * zeta);
        const double e = std::exp(-decay * t);
        const double c = std::cos(omegaD * t);
        const double s = std::sin(omegaD * t);
        const double sOverOmegaD = s / omegaD;
        return { e * (c + decay * sOverOmegaD), e * sOverOmegaD, -e * omega * omega * sOverOmegaD,
            e * (c - decay * sOverOmegaD) };
    }
    if (zeta <= 1 + criticalBand) {
        const double e = std::exp(-omega * t);
        return { e * (1 + omega * t), e * t, -e * omega * omega * t, e * (1 - omega * t) };
    }
    const double root = std::sqrt(zeta * zeta - 1);
    const double r1 = -omega * (zeta - root);
    const double r2 = -omega * (zeta + root);
    const double e1 = std::exp(r1 * t);
    const double e2 = std::exp(r2 * t);
    const double span = r1 - r2;
    return { (r1 * e2 - r2 * e1) / span, (e1 - e2) / span, r1 * r2 * (e2 - e1) / span,
        (r1 * e1 - r2 * e2) / span };
}

} // namespace tidemark
