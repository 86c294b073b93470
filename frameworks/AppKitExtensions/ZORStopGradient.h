#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A gradient of colour stops of its own, blended in RGB or around the hue circle, drawn as a function shading
// rather than through the platform gradient. Stops stay sorted by position; stops at one position keep the order in
// which they were added, so two of them make a hard edge. Clients never change a gradient: every operation that
// adds, removes or re-blends returns a new one.
class ZORStopGradient : public fnd::Object {
    FND_OBJECT(ZORStopGradient)
public:
    // Values of the platform's stored blending numbers; any other number blends linearly.
    enum class BlendingMode : std::int32_t {
        Linear = 0,
        // Hue increases from one stop to the next.
        Chromatic = 1,
        // Hue decreases from one stop to the next.
        InverseChromatic = 2,
    };

    // A stop: calibrated RGB components and alpha in 0..1, position in 0..1.
    struct StopGradientElement {
        double red { 0 };
        double green { 0 };
        double blue { 0 };
        double alpha { 1 };
        double position { 0 };
    };

    // No stops, linear blending.
    ZORStopGradient() = default;

    static std::shared_ptr<ZORStopGradient> gradientWithBeginningColor(const gfx::Color& begin, const gfx::Color& end);

    static std::shared_ptr<ZORStopGradient> aquaSelectedGradient();
    static std::shared_ptr<ZORStopGradient> aquaNormalGradient();
    static std::shared_ptr<ZORStopGradient> aquaPressedGradient();
    static std::shared_ptr<ZORStopGradient> unifiedSelectedGradient();
    static std::shared_ptr<ZORStopGradient> unifiedNormalGradient();
    static std::shared_ptr<ZORStopGradient> unifiedPressedGradient();
    static std::shared_ptr<ZORStopGradient> unifiedDarkGradient();
    static std::shared_ptr<ZORStopGradient> sourceListSelectedGradient();
    static std::shared_ptr<ZORStopGradient> sourceListUnselectedGradient();
    static std::shared_ptr<ZORStopGradient> rainbowGradient();
    static std::shared_ptr<ZORStopGradient> hydrogenSpectrumGradient();

    // Derived gradients; the receiver is unchanged.
    std::shared_ptr<ZORStopGradient> copy() const;
    // Every stop with its alpha replaced; the blending mode is kept.
    std::shared_ptr<ZORStopGradient> gradientWithAlphaComponent(double alpha) const;
    std::shared_ptr<ZORStopGradient> gradientWithBlendingMode(BlendingMode mode) const;
    // Raises an invalid-argument exception for a position that is not a finite number.
    std::shared_ptr<ZORStopGradient> addColorStop(const gfx::Color& color, double atPosition) const;
    // Raise a range exception naming the class when there is no such stop (positions compare exactly).
    std::shared_ptr<ZORStopGradient> removeColorStopAtIndex(std::uint64_t index) const;
    std::shared_ptr<ZORStopGradient> removeColorStopAtPosition(double position) const;

    BlendingMode blendingMode() const { return m_blendingMode; }
    std::size_t numberOfColorStops() const { return m_elements.size(); }
    // Raises a range exception for an index beyond the stops.
    gfx::ColorPtr colorStopAtIndex(std::uint64_t index) const;
    // The colour the shading shows at the position, in calibrated RGB. An empty gradient is opaque white.
    gfx::ColorPtr colorAtPosition(double position) const;

    // Drawing into the current context. fillRect runs the stops along the angle (degrees) across the rectangle so
    // that the first and last colours touch opposite corners or edges, clipped to it, not extended.
    void fillRect(const gfx::Rect& rect, double angle) const;
    void drawInRect(const gfx::Rect& rect, double angle) const;
    // From radius 1 at the centre out to half the longer side, extended both ways, clipped to the rectangle.
    void radialFillRect(const gfx::Rect& rect) const;
    void drawSwatchInRect(const gfx::Rect& rect) const;

    // The end points fillRect uses for a rectangle and angle.
    static std::array<gfx::Point, 2> axialEndPoints(const gfx::Rect& rect, double angle);

private:
    // The list operations; only ever used on new gradients before they are handed out.
    void addElement(const StopGradientElement& element);
    // The removed stop, or one with position NaN when there is none.
    StopGradientElement removeElementAtIndex(std::uint64_t index);
    StopGradientElement removeElementAtPosition(double position);
    const StopGradientElement* elementAtIndex(std::uint64_t index) const;
    void setBlendingMode(BlendingMode mode) { m_blendingMode = mode; }

    std::array<double, 4> evaluate(double position) const;

    std::vector<StopGradientElement> m_elements;
    BlendingMode m_blendingMode { BlendingMode::Linear };
};
