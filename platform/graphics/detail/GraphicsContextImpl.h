#pragma once

// Private to the graphics module: the state behind a GraphicsContext.

#include "platform/graphics/CairoConversions.h"
#include "platform/graphics/GraphicsContext.h"

#include <functional>
#include <vector>

namespace gfx {

// Draws one primitive on a Cairo context whose matrix is user space, with the given operator. The pipeline may run
// it twice: once into a shadow mask and once onto the target.
using CairoDraw = std::function<void(cairo_t*, cairo_operator_t)>;

struct GraphicsContext::Impl {
    struct ShadowSpec {
        std::array<double, 4> rgba;
        double blurRadius;
        Size offset;
    };

    struct State {
        AffineTransform ctm;
        Color fill;
        Color stroke;
        CompositingOperation op { CompositingOperation::SourceOver };
        double alpha { 1 };
        bool antialias { true };
        ImageInterpolation interpolation { ImageInterpolation::Default };
        std::optional<ShadowSpec> shadow;
        // Alpha masks in Cairo device space, intersected.
        std::vector<std::shared_ptr<cairo_pattern_t>> masks;
    };

    Target target { Target::Bitmap };
    bool flipped { false };
    Size pointSize;
    // Device extent: pixels for bitmaps and windows, points for documents.
    int deviceWidth { 0 };
    int deviceHeight { 0 };
    // Cairo's device space is y down: device y = flipHeight − our device y.
    double flipHeight { 0 };
    double scaleX { 1 };
    double scaleY { 1 };

    CairoSurfacePtr surface;
    CairoPtr cr;
    std::vector<std::uint8_t> ownedPixels;
    PixelBufferView pixels;
    std::shared_ptr<WindowSurface> window;
    fnd::Data document;
    bool finished { false };

    std::vector<State> states;
    std::vector<std::pair<std::shared_ptr<const PatternImage>, std::shared_ptr<cairo_surface_t>>> tiles;

    bool hasPixels() const { return target == Target::Bitmap || target == Target::Window; }
    bool isLive() const { return cr && !finished; }
    State& state() { return states.back(); }
    const State& state() const { return states.back(); }

    // The CTM a fresh state starts with: points to device units, flipped when asked.
    AffineTransform baseTransform() const;
    // Puts Cairo's matrix in step with the CTM (Cairo's device space is y down).
    void syncMatrix();
    void resetStates();

    void setSource(cairo_t* c, const Color& color);
    void applyStrokeAttributes(cairo_t* c, const BezierPath& path, double deviceScale);
    // Runs a primitive through alpha, masks, shadow and the compositing operator.
    void render(const CairoDraw& draw);

private:
    void paintShadow(const CairoDraw& draw);
    void blendPlusDarker(cairo_pattern_t* group);
    std::shared_ptr<cairo_surface_t> tileFor(const std::shared_ptr<const PatternImage>& image, double scale);
};

// Blurs an A8 surface in place with three box passes approximating a Gaussian of the given standard deviation.
void blurAlpha(cairo_surface_t* a8, double sigma);

}
