#pragma once

#include <algorithm>
#include <cmath>

namespace ui::detail {

// A value brought into the range of a control that shows one (its bounds given in either order); what is not a
// number becomes the minimum.
inline double valueInRange(double value, double minValue, double maxValue)
{
    if (!std::isfinite(value))
        value = minValue;
    return std::clamp(value, std::min(minValue, maxValue), std::max(minValue, maxValue));
}

}
