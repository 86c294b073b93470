#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/PixelBuffer.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace gfx {

class BezierPath;
class Font;
class Shadow;
using Glyph = std::uint32_t;

// The platform's operator numbers, kept because callers store and pass them.
enum class CompositingOperation {
    Clear = 0,
    Copy = 1,
    SourceOver = 2,
    SourceIn = 3,
    SourceOut = 4,
    SourceAtop = 5,
    DestinationOver = 6,
    DestinationIn = 7,
    DestinationOut = 8,
    DestinationAtop = 9,
    XOR = 10,
    PlusDarker = 11,
    Highlight = 12, // drawn as SourceOver
    PlusLighter = 13,
};

enum class ImageInterpolation { Default = 0, None = 1, Low = 2, High = 3, Medium = 4 };

// Whether a gradient continues past its end points with its end colours.
enum GradientDrawingOptions : unsigned {
    GradientDrawsBeforeStartingLocation = 1,
    GradientDrawsAfterEndingLocation = 2
};

// A colour stop in RGBA (not premultiplied); locations 0..1, coincident locations make a hard edge.
struct GradientStop {
    double location { 0 };
    std::array<double, 4> rgba { 0, 0, 0, 1 };
};

// A colour laid over a box of a window's pixels as they are shown: device pixels [x0, x1) × [y0, y1), rows from
// the top; the colour straight (not premultiplied), its alpha in 0..255 levels.
struct SurfaceTint {
    int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    double red { 0 }, green { 0 }, blue { 0 };
    std::uint8_t alpha { 0 };
    bool operator==(const SurfaceTint&) const = default;
};

// A window's backing store, supplied by the UI backend: premultiplied ARGB32 pixels of pointSize() times the
// backing scale. The context draws straight into them and reports what it flushed.
class WindowSurface {
public:
    virtual ~WindowSurface() = default;
    virtual Size pointSize() const = 0;
    virtual PixelBufferView pixels() = 0;
    // Called by flush() once drawing may be shown.
    virtual void pixelsChanged() { }
    // Whether the surface lays tints over its pixels as they are shown, so the window leaves them out of its
    // drawing and only hands them over (a window system then composes a fading tint without a new picture).
    virtual bool laysTints() const { return false; }
    // The tints laid from now on, bottom to top; shown with the next flush.
    virtual void setTints(std::vector<SurfaceTint>) { }
};

// A fill recorded by a shape-capturing context: the rectangle or path in user space with the transform and
// antialiasing it was filled under, so that the same pixels can be filled again, a piece at a time.
struct CapturedFill {
    std::shared_ptr<const BezierPath> path; // nullptr: the rectangle
    Rect rect;
    AffineTransform ctm;
    bool antialias { true };
};

// A drawing destination with its graphics state. User space is y up (a flipped context is y down from the top);
// the device space behind the CTM is the target's pixels (points for PDF and EPS), also y up.
//
// Images: drawImage maps the pixel rectangle `source` (in the image's own coordinates: from the bottom-left for an
// unflipped image, from the top-left for a flipped one; the zero rectangle means the whole image) onto `destination`
// in user space. An unflipped image puts its top row at the destination's maxY edge, so it stands upright in a
// y-up context and upside down in a flipped one; a flipped image puts its top row at minY, so it stands upright in
// a flipped context. Callers that respect the context's flippedness pass imageFlipped = isFlipped().
//
// Operators Cairo lacks: PlusLighter is Cairo's saturating ADD everywhere. PlusDarker (R = max(0, S + D − 1) on
// opaque colours) is computed on the pixels for bitmap and window targets; PDF and EPS have no such blend, and draw
// it as multiply, its nearest relative.
class GraphicsContext : public std::enable_shared_from_this<GraphicsContext> {
public:
    enum class Target { Bitmap, PDF, EPS, Window };

    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // Draws into caller-owned pixels (which must outlive the context). pointSize may differ from the pixel size:
    // the scale between them is the resolution. A zero pointSize means one point per pixel.
    static std::shared_ptr<GraphicsContext> createForBitmap(
        PixelBufferView pixels, Size pointSize = {}, bool flipped = false);
    // Owns a transparent buffer of the given pixel size.
    static std::shared_ptr<GraphicsContext> createForBitmap(
        int pixelWidth, int pixelHeight, Size pointSize = {}, bool flipped = false);
    // A PDF document whose first page is begun at once; beginPage() starts the next.
    static std::shared_ptr<GraphicsContext> createForPDF(Size firstPageSize, bool flipped = false);
    // An encapsulated PostScript page whose %%BoundingBox is (0, 0, size) whatever is drawn.
    static std::shared_ptr<GraphicsContext> createForEPS(Size pageSize, bool flipped = false);
    static std::shared_ptr<GraphicsContext> createForWindow(
        std::shared_ptr<WindowSurface> surface, bool flipped = false);
    // Draws nothing: records the fills of an opaque colour in the plain operator without clip, alpha, mask or
    // shadow (fillPath, fillRect), whose pixels follow from their outlines alone. Anything else drawn (a stroke, an
    // image, text, a gradient, a clip, a translucent or otherwise composited fill) makes the capture give up. Its
    // device space is that of a bitmap of one point per pixel.
    static std::shared_ptr<GraphicsContext> createForShapeCapture(bool flipped = false);
    // The fills a shape-capturing context recorded, in order; nullopt for other contexts and once a capture gave up.
    std::optional<std::span<const CapturedFill>> capturedFills() const;

    // The current context of this thread (nullptr when none).
    static GraphicsContext* current();
    static std::shared_ptr<GraphicsContext> currentShared();
    static void setCurrent(std::shared_ptr<GraphicsContext> context);
    // Saves the current context's graphics state and pushes the context; restore pops it, makes it current again
    // and restores its state. Unbalanced restores are ignored with a logged warning.
    static void saveCurrentGraphicsState();
    static void restoreCurrentGraphicsState();

    Target target() const;
    bool isFlipped() const;
    // What isFlipped reports while a view of the other orientation draws; the CTM is the caller's business.
    void setFlipped(bool flipped);
    bool isDrawingToScreen() const { return target() == Target::Window; }
    // Page or bitmap size in points, and the device pixels per point.
    Size pointSize() const;
    Size pixelsPerPoint() const;

    void saveGraphicsState();
    void restoreGraphicsState();

    // User space to device space.
    AffineTransform CTM() const;
    void setCTM(const AffineTransform& t);
    void concatCTM(const AffineTransform& t);
    void translateCTM(double x, double y);
    void scaleCTM(double sx, double sy);
    void rotateCTM(double radians);

    bool shouldAntialias() const;
    void setShouldAntialias(bool on);
    CompositingOperation compositingOperation() const;
    void setCompositingOperation(CompositingOperation op);
    // Multiplies everything drawn.
    double alpha() const;
    void setAlpha(double alpha);
    ImageInterpolation imageInterpolation() const;
    void setImageInterpolation(ImageInterpolation i);
    void setFillColor(const Color& c);
    void setStrokeColor(const Color& c);
    // The shadow cast by later drawing; its offset and blur are in base space (points, +y up), whatever the CTM.
    void setShadow(const Shadow& shadow);
    void clearShadow();

    void clipToPath(const BezierPath& path);
    void clipToRect(const Rect& r);
    // Intersects the clip with the alpha of an image laid over rect (user space), as drawImage would place it.
    void clipToMask(ConstPixelBufferView mask, const Rect& rect, bool maskFlipped = false);
    Rect clipBoundingBox() const;

    void fillPath(const BezierPath& path);
    void strokePath(const BezierPath& path);
    void fillRect(const Rect& r);
    void fillRectUsingOperation(const Rect& r, CompositingOperation op);
    void drawImage(ConstPixelBufferView image, const Rect& destination, const Rect& source, CompositingOperation op,
        double fraction, bool imageFlipped = false);
    // Fills the glyphs of the font with the fill colour, each with its origin at its position in user space;
    // glyphToUser maps the font's y-up glyph space around an origin to user space (a y flip in a flipped context).
    // Glyphs are rasterised once per size and transform, hinted and antialiased as the desktop asks; documents
    // embed the font, so the text stays selectable.
    void showGlyphs(const Font& font, std::span<const Glyph> glyphs, std::span<const Point> positions,
        const AffineTransform& glyphToUser = {});
    // Fills the clip area with a gradient between two points (user space) or two circles.
    void drawLinearGradient(std::span<const GradientStop> stops, Point start, Point end, unsigned options);
    void drawRadialGradient(std::span<const GradientStop> stops, Point startCenter, double startRadius, Point endCenter,
        double endRadius, unsigned options);

    // Pushes drawing to the target: a window shows it, a bitmap's pixels are up to date afterwards.
    void flush();
    // The pixels of a bitmap or window target, flushed; nullopt for document targets.
    std::optional<PixelBufferView> pixelBuffer();

    // PDF: ends the current page and begins a new one of the given size with a fresh graphics state (a
    // non-positive size is ignored with a logged warning).
    void beginPage(Size pageSize);
    // PDF and EPS: ends the document and returns its bytes. Later drawing is ignored.
    fnd::Expected<fnd::Data> finishDocument();
    // finishDocument() written atomically (temporary file, then rename).
    fnd::Expected<void> writeDocumentToFile(const std::filesystem::path& path);

    // Made by the create functions; Impl is private to the module.
    struct Impl;
    explicit GraphicsContext(std::unique_ptr<Impl> impl);
    Impl& impl() { return *m_impl; }

private:
    std::unique_ptr<Impl> m_impl;
};

// Saves the current context's state on construction and restores it on destruction.
class GraphicsStateGuard {
public:
    GraphicsStateGuard() { GraphicsContext::saveCurrentGraphicsState(); }
    ~GraphicsStateGuard() { GraphicsContext::restoreCurrentGraphicsState(); }
    GraphicsStateGuard(const GraphicsStateGuard&) = delete;
    GraphicsStateGuard& operator=(const GraphicsStateGuard&) = delete;
};

// Makes a context current for a scope, restoring the previous one (and its state) afterwards.
class CurrentContextScope {
public:
    explicit CurrentContextScope(std::shared_ptr<GraphicsContext> context)
    {
        GraphicsContext::saveCurrentGraphicsState();
        GraphicsContext::setCurrent(std::move(context));
    }
    ~CurrentContextScope() { GraphicsContext::restoreCurrentGraphicsState(); }
    CurrentContextScope(const CurrentContextScope&) = delete;
    CurrentContextScope& operator=(const CurrentContextScope&) = delete;
};

}
