#include "platform/layers/MediaTimingFunction.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(MediaTimingFunction, fnd::Object)

std::shared_ptr<MediaTimingFunction> MediaTimingFunction::functionWithName(const fnd::String& name)
{
    // The usual control points of these curves.
    if (name == MediaTimingFunctionName::Linear)
        return functionWithControlPoints(0, 0, 1, 1);
    if (name == MediaTimingFunctionName::EaseIn)
        return functionWithControlPoints(0.42, 0, 1, 1);
    if (name == MediaTimingFunctionName::EaseOut)
        return functionWithControlPoints(0, 0, 0.58, 1);
    if (name == MediaTimingFunctionName::EaseInEaseOut)
        return functionWithControlPoints(0.42, 0, 0.58, 1);
    if (name == MediaTimingFunctionName::Default)
        return functionWithControlPoints(0.25, 0.1, 0.25, 1);
    return nullptr;
}

std::shared_ptr<MediaTimingFunction> MediaTimingFunction::functionWithControlPoints(
    double c1x, double c1y, double c2x, double c2y)
{
    auto f = std::make_shared<MediaTimingFunction>();
    // x must stay monotonic for the curve to be a function of time.
    f->m_c1 = { std::clamp(c1x, 0.0, 1.0), c1y };
    f->m_c2 = { std::clamp(c2x, 0.0, 1.0), c2y };
    return f;
}

gfx::Point MediaTimingFunction::controlPointAtIndex(int index) const
{
    switch (index) {
    case 0:
        return { 0, 0 };
    case 1:
        return m_c1;
    case 2:
        return m_c2;
    case 3:
        return { 1, 1 };
    default:
        return {};
    }
}

double MediaTimingFunction::valueAt(double x) const
{
    x = std::clamp(x, 0.0, 1.0);
    // Bézier polynomials in the parameter s: b(s) = 3(1−s)²s·c1 + 3(1−s)s²·c2 + s³.
    auto bezier = [](double s, double p1, double p2) {
        const double r = 1 - s;
        return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
    };
    auto slope = [](double s, double p1, double p2) {
        const double r = 1 - s;
        return 3 * r * r * p1 + 6 * r * s * (p2 - p1) + 3 * s * s * (1 - p2);
    };
    // Newton steps from s = x, then bisection if they stray.
    double s = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(s, m_c1.x, m_c2.x) - x;
        if (std::abs(error) < 1e-9)
            return bezier(s, m_c1.y, m_c2.y);
        const double d = slope(s, m_c1.x, m_c2.x);
        if (std::abs(d) < 1e-9)
            break;
        s -= error / d;
        if (s < 0 || s > 1)
            break;
    }
    double lo = 0, hi = 1;
    s = x;
    for (int i = 0; i < 60; ++i) {
        const double value = bezier(s, m_c1.x, m_c2.x);
        if (std::abs(value - x) < 1e-12)
            break;
        (value < x ? lo : hi) = s;
        s = (lo + hi) / 2;
    }
    return bezier(s, m_c1.y, m_c2.y);
}

bool MediaTimingFunction::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const MediaTimingFunction*>(&other);
    return o && o->m_c1 == m_c1 && o->m_c2 == m_c2;
}

}
