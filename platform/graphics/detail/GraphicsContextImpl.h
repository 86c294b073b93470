#pragma once

// Private to the graphics module: the state behind a GraphicsContext.

#include "platform/graphics/CairoConversions.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {

// Draws one primitive on a Cairo context whose matrix is user space, with the given operator. The pipeline may run
// it twice: once into a shadow mask and once onto the target.
using CairoDraw = std::function<void(cairo_t*, cairo_operator_t)>;

struct GraphicsContext::Impl {
    // A device-space box in Cairo's 24.8 fixed point, y down.
    struct FixedBox {
        std::int32_t x1, y1, x2, y2;
    };
    struct ClipBox {
        FixedBox box;
        bool antialias;
    };

    struct ShadowSpec {
        std::array<double, 4> rgba;
        double blurRadius;
        Size offset;
    };

    struct State {
        AffineTransform ctm;
        // Shared, not copied: every saved state holds them, and a table cell saves and restores several times.
        std::shared_ptr<const Color> fill { Color::blackColor() };
        std::shared_ptr<const Color> stroke { Color::blackColor() };
        CompositingOperation op { CompositingOperation::SourceOver };
        double alpha { 1 };
        bool antialias { true };
        ImageInterpolation interpolation { ImageInterpolation::Default };
        std::optional<ShadowSpec> shadow;
        // Alpha masks in Cairo device space, intersected.
        std::vector<std::shared_ptr<cairo_pattern_t>> masks;
        // The clip as the boxes Cairo intersected, while every clip was one axis-aligned rectangle; nullopt after
        // any other.
        std::optional<std::vector<ClipBox>> clipBoxes { std::in_place };
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
    // Pattern tiles drawn at the device's resolution, each kept while its pattern lives: a window's context lasts
    // as long as the window's size, and a window that takes a new pattern for every change of look (the attached
    // window's bubble) would otherwise keep a tile of its own size for each one.
    std::vector<std::pair<std::weak_ptr<const PatternImage>, std::shared_ptr<cairo_surface_t>>> tiles;

    // A shape-capturing context's record: the fills so far, or nullopt once it gave up.
    struct ShapeCapture {
        std::optional<std::vector<CapturedFill>> fills { std::in_place };
    };
    std::unique_ptr<ShapeCapture> capture;

    bool hasPixels() const { return !capture && (target == Target::Bitmap || target == Target::Window); }
    // Whether a drawing call meets a shape-capturing context, which then gives up: the call draws nothing.
    bool abandonsCapture()
    {
        if (!capture)
            return false;
        capture->fills.reset();
        return true;
    }
    // A fill on a shape-capturing context: recorded when its outline tells its pixels, else the capture gives up.
    void captureFill(std::shared_ptr<const BezierPath> path, const Rect& rect);
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
    // Fills a path of rectangles straight into the pixels when that gives exactly Cairo's pixels (an opaque colour, or
    // a translucent one for a single rectangle; an axis-aligned transform, a clip of whole pixels, no alpha, mask or
    // shadow); false when Cairo must draw it.
    bool fillRectanglesDirectly(const BezierPath& path, const Color& color);
    // The same for one rectangle, without making a path of it.
    bool fillRectDirectly(const Rect& r, const Color& color);
    // The clip as one box in Cairo's device space (y down) and its 24.8 fixed point (x1, y1, x2, y2), when it is
    // made of axis-aligned boxes; nullopt for documents and other clips.
    std::optional<std::array<std::int32_t, 4>> clipBoxInFixedPoint() const;
    // Draws glyphs straight into the pixels from our own cache of rasterised glyphs, when the context would show
    // them plainly (upright at an even scale, the plain operator, no blurred shadow, alpha or mask, no glyph reaching
    // a pixel the clip covers in part); false when Cairo must draw them.
    bool showGlyphsDirectly(const Font& font, std::span<const Glyph> glyphs, std::span<const Point> positions,
        const AffineTransform& glyphToUser);
    // Keeps clipBoxes in step with a clip about to be added.
    void noteClip(const BezierPath& path);
    // The same for a rectangle given as its path's four corners (user space).
    void noteClipRect(const Point (&corners)[4]);

private:
    void paintShadow(const CairoDraw& draw);
    void blendPlusDarker(cairo_pattern_t* group);
    std::shared_ptr<cairo_surface_t> tileFor(const std::shared_ptr<const PatternImage>& image, double scale);
};

// Blurs an A8 surface in place with three box passes approximating a Gaussian of the given standard deviation.
void blurAlpha(cairo_surface_t* a8, double sigma);

}
