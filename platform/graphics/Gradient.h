#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <vector>

namespace gfx {

class BezierPath;

// An immutable list of colour stops, interpolated in RGB, drawn through the current graphics context. Archived as
// its colours, their locations and the colour space name.
class Gradient : public fnd::Object, public fnd::Coding {
    FND_OBJECT(Gradient)
public:
    struct ColorStop {
        ColorPtr color;
        double location;
    };

    Gradient();
    // Stops are sorted by location; stops at the same location keep their order and make a hard edge. Pattern
    // colours and null colours count as clear.
    explicit Gradient(std::vector<ColorStop> stops, fnd::String colorSpaceName = ColorSpaceName::CalibratedRGB);

    static std::shared_ptr<Gradient> gradientWithStartingColor(const Color& start, const Color& end);
    // Evenly spaced from 0 to 1.
    static std::shared_ptr<Gradient> gradientWithColors(const std::vector<ColorPtr>& colors);
    static std::shared_ptr<Gradient> gradientWithColorsAndLocations(
        std::vector<ColorStop> stops, fnd::String colorSpaceName = ColorSpaceName::CalibratedRGB);

    std::int64_t numberOfColorStops() const { return static_cast<std::int64_t>(m_stops.size()); }
    // Raises a range exception for an index beyond the stops.
    ColorStop colorStopAtIndex(std::int64_t index) const;
    const fnd::String& colorSpaceName() const { return m_colorSpaceName; }
    const std::vector<GradientStop>& stops() const { return m_rgbaStops; }
    // The first colour before the first stop, the last after the last; white when there are no stops.
    ColorPtr interpolatedColorAtLocation(double location) const;

    void drawFromPoint(Point start, Point end, unsigned options) const;
    // Along the angle (degrees, counter-clockwise from +x) through the rectangle's centre, from edge to edge:
    // the first colour touches the rectangle where the line enters it, the last where it leaves.
    void drawInRect(const Rect& rect, double angle) const;
    void drawInBezierPath(const BezierPath& path, double angle) const;
    void drawFromCenter(
        Point startCenter, double startRadius, Point endCenter, double endRadius, unsigned options) const;
    // Radial: both circles centred at rect centre + relative · half size (relative clamped to −1..1), radius 0 to
    // the distance of the farthest corner, clipped to the rectangle.
    void drawInRect(const Rect& rect, Point relativeCenterPosition) const;
    void drawInBezierPath(const BezierPath& path, Point relativeCenterPosition) const;

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override { return m_rgbaStops.size(); }

    // Keyed: "NSColors", "NSLocations", "NSColorSpaceName"; sequential: the same three objects in that order.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void drawAxialIn(const Rect& rect, double angle) const;
    void drawRadialIn(const Rect& rect, Point relative) const;

    std::vector<ColorStop> m_stops;
    std::vector<GradientStop> m_rgbaStops;
    fnd::String m_colorSpaceName;
};

}
