#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace ui {

// Names of the built-in timing functions, with the platform's values.
namespace MediaTimingFunctionName {
inline const fnd::String Linear = "linear";
inline const fnd::String EaseIn = "easeIn";
inline const fnd::String EaseOut = "easeOut";
inline const fnd::String EaseInEaseOut = "easeInEaseOut";
inline const fnd::String Default = "default";
}

// How an animation's progress turns into the fraction of the change shown: a cubic Bézier from (0, 0) to (1, 1)
// through two control points, read as y for a given x.
class MediaTimingFunction : public fnd::Object {
    FND_OBJECT(MediaTimingFunction)
public:
    MediaTimingFunction() = default;
    // nullptr for a name that is not one of the built-in ones.
    static std::shared_ptr<MediaTimingFunction> functionWithName(const fnd::String& name);
    static std::shared_ptr<MediaTimingFunction> functionWithControlPoints(
        double c1x, double c1y, double c2x, double c2y);

    // Index 0 is (0, 0), 1 and 2 the control points, 3 is (1, 1); others give the zero point.
    gfx::Point controlPointAtIndex(int index) const;
    // The curve's y at x, for x clamped to 0..1.
    double valueAt(double x) const;

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override { return std::hash<double>()(m_c1.x + m_c1.y); }

private:
    gfx::Point m_c1;
    gfx::Point m_c2 { 1, 1 };
};

}
