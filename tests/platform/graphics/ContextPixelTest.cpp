#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shading.h"
#include "platform/graphics/Shadow.h"

#include "GraphicsPrinters.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace gfx;

namespace {

constexpr std::uint32_t Red = argb(255, 255, 0, 0);
constexpr std::uint32_t Blue = argb(255, 0, 0, 255);
constexpr std::uint32_t Clear = 0;

}

TEST(ContextPixels, FillsLandYUpAndFlippedYDown)
{
    const char* upright = "..........\n"
                          "..........\n"
                          "..###.....\n"
                          "..###.....\n"
                          "..........\n";
    const char* flipped = "..........\n"
                          "..###.....\n"
                          "..###.....\n"
                          "..........\n"
                          "..........\n";
    for (bool isFlipped : { false, true }) {
        Canvas canvas(10, 5, isFlipped);
        Color::redColor()->set();
        BezierPath::fillRect({ 2, 1, 3, 2 });
        EXPECT_EQ(canvas.picture(), isFlipped ? flipped : upright);
        EXPECT_EQ(canvas.at(2, isFlipped ? 3 : 1), Red);
    }
}

TEST(ContextPixels, PointSizeSetsTheResolution)
{
    // 10 × 5 points on 20 × 10 pixels: one point is two pixels.
    Canvas canvas(20, 10, false, { 10, 5 });
    EXPECT_EQ(canvas.context().pixelsPerPoint(), (Size { 2, 2 }));
    Color::blackColor()->set();
    BezierPath::fillRect({ 1, 1, 1, 1 });
    EXPECT_EQ(canvas.alpha(2, 2), 255);
    EXPECT_EQ(canvas.alpha(3, 3), 255);
    EXPECT_EQ(canvas.alpha(4, 2), 0);
    EXPECT_EQ(canvas.alpha(1, 2), 0);
}

TEST(ContextPixels, HairlineIsOneDevicePixelWhateverTheTransform)
{
    for (double scale : { 1.0, 2.0, 3.5 }) {
        Canvas canvas(20, 20);
        canvas.context().scaleCTM(scale, scale);
        Color::blackColor()->set();
        BezierPath line;
        // Device row 7, centred on the pixel: y = 7.5 device units.
        line.moveToPoint({ 0, 7.5 / scale });
        line.lineToPoint({ 19 / scale, 7.5 / scale });
        line.setLineWidth(0);
        line.stroke();
        for (int y = 5; y <= 9; ++y)
            EXPECT_EQ(canvas.alpha(10, y), y == 7 ? 255 : 0) << "scale " << scale << " row " << y;
    }
    // A user-space width scales with the transform.
    Canvas canvas(20, 20);
    canvas.context().scaleCTM(2, 2);
    BezierPath line;
    line.moveToPoint({ 0, 4 });
    line.lineToPoint({ 10, 4 });
    line.setLineWidth(1);
    line.stroke();
    EXPECT_EQ(canvas.alpha(5, 7), 255);
    EXPECT_EQ(canvas.alpha(5, 8), 255);
    EXPECT_EQ(canvas.alpha(5, 9), 0);
}

TEST(ContextPixels, DashesCapsAndJoins)
{
    Canvas canvas(12, 3);
    Color::blackColor()->set();
    BezierPath line;
    line.moveToPoint({ 0, 1.5 });
    line.lineToPoint({ 12, 1.5 });
    line.setLineWidth(1);
    const double dash[] = { 3, 1 };
    line.setLineDash(dash, 0);
    line.stroke();
    EXPECT_EQ(canvas.picture(), "............\n###.###.###.\n............\n");

    // Square caps reach half the width past the ends; butt caps do not.
    for (auto cap : { LineCapStyle::Butt, LineCapStyle::Square }) {
        Canvas capped(10, 4);
        BezierPath seg;
        seg.moveToPoint({ 3, 2 });
        seg.lineToPoint({ 7, 2 });
        seg.setLineWidth(2);
        seg.setLineCapStyle(cap);
        seg.stroke();
        EXPECT_EQ(capped.alpha(2, 2), cap == LineCapStyle::Square ? 255 : 0);
        EXPECT_EQ(capped.alpha(7, 2), cap == LineCapStyle::Square ? 255 : 0);
        EXPECT_EQ(capped.alpha(3, 2), 255);
    }
}

TEST(ContextPixels, ClipsIntersectAndRestoreWithTheState)
{
    Canvas canvas(10, 10);
    auto& context = canvas.context();
    Color::blackColor()->set();
    context.saveGraphicsState();
    BezierPath::clipRect({ 0, 0, 6, 10 });
    BezierPath::clipRect({ 4, 0, 6, 10 });
    EXPECT_EQ(context.clipBoundingBox(), (Rect { 4, 0, 2, 10 }));
    BezierPath::fillRect({ 0, 0, 10, 10 });
    context.restoreGraphicsState();
    EXPECT_EQ(canvas.alpha(3, 5), 0);
    EXPECT_EQ(canvas.alpha(4, 5), 255);
    EXPECT_EQ(canvas.alpha(5, 5), 255);
    EXPECT_EQ(canvas.alpha(6, 5), 0);
    // The clip went with the restored state.
    BezierPath::fillRect({ 0, 0, 1, 1 });
    EXPECT_EQ(canvas.alpha(0, 0), 255);

    // Even-odd clipping leaves the hole of a ring alone.
    Canvas ring(10, 10);
    BezierPath path;
    path.appendBezierPathWithRect({ 0, 0, 10, 10 });
    path.appendBezierPathWithRect({ 3, 3, 4, 4 });
    path.setWindingRule(WindingRule::EvenOdd);
    path.addClip();
    BezierPath::fillRect({ 0, 0, 10, 10 });
    EXPECT_EQ(ring.alpha(5, 5), 0);
    EXPECT_EQ(ring.alpha(1, 1), 255);
}

TEST(ContextPixels, EveryCompositingOperator)
{
    // Destination: opaque red in column 0, transparent in column 1, red in column 2 outside the source. Source:
    // opaque blue over columns 0 and 1.
    struct Case {
        CompositingOperation op;
        std::uint32_t overRed, overClear;
    };
    const Case cases[] = {
        { CompositingOperation::Clear, Clear, Clear },
        { CompositingOperation::Copy, Blue, Blue },
        { CompositingOperation::SourceOver, Blue, Blue },
        { CompositingOperation::SourceIn, Blue, Clear },
        { CompositingOperation::SourceOut, Clear, Blue },
        { CompositingOperation::SourceAtop, Blue, Clear },
        { CompositingOperation::DestinationOver, Red, Blue },
        { CompositingOperation::DestinationIn, Red, Clear },
        { CompositingOperation::DestinationOut, Clear, Clear },
        { CompositingOperation::DestinationAtop, Red, Blue },
        { CompositingOperation::XOR, Clear, Blue },
        { CompositingOperation::PlusDarker, argb(255, 0, 0, 0), Blue },
        { CompositingOperation::Highlight, Blue, Blue },
        { CompositingOperation::PlusLighter, argb(255, 255, 0, 255), Blue },
    };
    for (const auto& c : cases) {
        for (bool throughGroup : { false, true }) {
            Canvas canvas(3, 1);
            Color::redColor()->set();
            BezierPath::fillRect({ 0, 0, 1, 1 });
            BezierPath::fillRect({ 2, 0, 1, 1 });
            Color::blueColor()->set();
            // A transparent shadow still sends the drawing through a group.
            if (throughGroup) {
                Shadow shadow;
                shadow.setShadowColor(Color::colorWithCalibratedWhite(0, 0.001));
                shadow.set();
            }
            canvas.context().fillRectUsingOperation({ 0, 0, 2, 1 }, c.op);
            int op = static_cast<int>(c.op);
            EXPECT_EQ(canvas.at(0, 0), c.overRed) << "op " << op << (throughGroup ? " grouped" : "");
            EXPECT_EQ(canvas.at(1, 0), c.overClear) << "op " << op << (throughGroup ? " grouped" : "");
            // Grouped, the operators Cairo leaves unbounded still reach the rest of the clip (a known gap).
            bool unbounded = c.op == CompositingOperation::SourceIn || c.op == CompositingOperation::SourceOut
                || c.op == CompositingOperation::DestinationIn || c.op == CompositingOperation::DestinationAtop;
            if (!throughGroup || !unbounded) {
                EXPECT_EQ(canvas.at(2, 0), Red) << "op " << op << " changed a pixel it does not cover";
            }
        }
    }
}

TEST(ContextPixels, PlusDarkerAddsDarkness)
{
    // 0.75 + 0.5 − 1 = 0.25, under a clip and away from the origin.
    Canvas canvas(8, 8);
    Color::colorWithCalibratedWhite(0.75)->set();
    BezierPath::fillRect({ 0, 0, 8, 8 });
    canvas.context().clipToRect({ 2, 2, 4, 4 });
    Color::colorWithCalibratedWhite(0.5)->set();
    canvas.context().fillRectUsingOperation({ 3, 3, 5, 5 }, CompositingOperation::PlusDarker);
    EXPECT_LE(pixelDistance(canvas.at(4, 4), argb(255, 64, 64, 64)), 1);
    EXPECT_LE(pixelDistance(canvas.at(6, 6), argb(255, 191, 191, 191)), 1); // outside the clip
    EXPECT_LE(pixelDistance(canvas.at(2, 2), argb(255, 191, 191, 191)), 1); // outside the shape
}

TEST(ContextPixels, GlobalAlphaAndAntialiasing)
{
    Canvas canvas(4, 4);
    canvas.context().setAlpha(0.5);
    Color::blackColor()->set();
    BezierPath::fillRect({ 0, 0, 2, 2 });
    EXPECT_NEAR(canvas.alpha(0, 0), 128, 1);

    for (bool antialias : { true, false }) {
        Canvas edges(4, 4);
        edges.context().setShouldAntialias(antialias);
        BezierPath::fillRect({ 0.5, 0.5, 2.2, 2.2 });
        bool partial = false;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                partial = partial || (edges.alpha(x, y) != 0 && edges.alpha(x, y) != 255);
        EXPECT_EQ(partial, antialias);
    }
}

TEST(ContextPixels, GradientsRunEdgeToEdge)
{
    auto gradient = Gradient::gradientWithStartingColor(*Color::blackColor(), *Color::whiteColor());
    struct Case {
        double angle;
        Point dark, light;
    };
    // Sample points just inside the edges the gradient starts and ends on.
    const Case cases[] = {
        { 0, { 0, 50 }, { 99, 50 } },
        { 90, { 50, 0 }, { 50, 99 } },
        { 180, { 99, 50 }, { 0, 50 } },
        { 270, { 50, 99 }, { 50, 0 } },
        { 45, { 0, 0 }, { 99, 99 } },
    };
    for (const auto& c : cases) {
        Canvas canvas(100, 100);
        gradient->drawInRect({ 0, 0, 100, 100 }, c.angle);
        int dark = redOf(canvas.at(int(c.dark.x), int(c.dark.y)));
        int light = redOf(canvas.at(int(c.light.x), int(c.light.y)));
        EXPECT_LE(dark, 6) << "angle " << c.angle;
        EXPECT_GE(light, 249) << "angle " << c.angle;
        EXPECT_NEAR(redOf(canvas.at(50, 50)), 128, 3) << "angle " << c.angle;
    }

    // Drawing in a rectangle stays inside it.
    Canvas clipped(10, 10);
    gradient->drawInRect({ 2, 2, 4, 4 }, 0);
    EXPECT_EQ(clipped.alpha(1, 3), 0);
    EXPECT_EQ(clipped.alpha(6, 3), 0);
    EXPECT_EQ(clipped.alpha(3, 3), 255);

    // Radial: dark at the relative centre, light at the farthest corner.
    Canvas radial(100, 100);
    gradient->drawInRect(Rect { 0, 0, 100, 100 }, Point { 0, 1 });
    EXPECT_LE(redOf(radial.at(50, 99)), 6);
    EXPECT_GE(redOf(radial.at(0, 0)), 245);
}

TEST(ContextPixels, StopsAndShadingsSampleTheirFunctions)
{
    // Coincident stops make a hard edge.
    auto hard = Gradient::gradientWithColorsAndLocations({
        { Color::blackColor(), 0 },
        { Color::blackColor(), 0.5 },
        { Color::whiteColor(), 0.5 },
        { Color::whiteColor(), 1 },
    });
    Canvas canvas(100, 1);
    hard->drawInRect({ 0, 0, 100, 1 }, 0);
    EXPECT_EQ(redOf(canvas.at(48, 0)), 0);
    EXPECT_EQ(redOf(canvas.at(51, 0)), 255);
    EXPECT_EQ(hard->interpolatedColorAtLocation(0.5)->redComponent(), 0); // the first of the two stops

    // A bilinear function sampled at its kink only: exact.
    ShadingFunction bilinear = [](double t) {
        double s = t <= 0.5 ? 2 * t : 2 - 2 * t;
        return std::array<double, 4> { s, s, s, 1 };
    };
    const double kink[] = { 0.5 };
    Canvas shaded(101, 1);
    drawAxialShading(shaded.context(), bilinear, { 0.5, 0 }, { 100.5, 0 }, { .samples = 0, .breakpoints = kink });
    EXPECT_LE(redOf(shaded.at(0, 0)), 1);
    EXPECT_GE(redOf(shaded.at(50, 0)), 254);
    EXPECT_NEAR(redOf(shaded.at(25, 0)), 128, 2);
    EXPECT_LE(redOf(shaded.at(100, 0)), 1);

    // Without extension nothing is drawn beyond the end points.
    Canvas bounded(20, 1);
    drawAxialShading(bounded.context(), bilinear, { 5, 0 }, { 15, 0 }, {});
    EXPECT_EQ(bounded.alpha(2, 0), 0);
    EXPECT_EQ(bounded.alpha(17, 0), 0);
    EXPECT_EQ(bounded.alpha(10, 0), 255);
}

TEST(ContextPixels, ShadowOffsetIsInBaseSpace)
{
    for (bool transformed : { false, true }) {
        Canvas canvas(20, 20);
        auto& context = canvas.context();
        if (transformed) {
            // Rotated a quarter turn and doubled: the square lands at the same device pixels.
            context.translateCTM(6, 4);
            context.rotateCTM(std::numbers::pi / 2);
            context.scaleCTM(2, 2);
        }
        Shadow shadow;
        shadow.setShadowColor(Color::blackColor());
        shadow.setShadowOffset({ 5, -3 });
        shadow.set();
        Color::whiteColor()->set();
        BezierPath::fillRect(transformed ? Rect { 0, 0, 2, 2 } : Rect { 2, 4, 4, 4 });
        // The square covers x 2..5, y 4..7; the shadow x 7..10, y 1..4, hard-edged without blur.
        EXPECT_EQ(canvas.at(3, 5), argb(255, 255, 255, 255)) << transformed;
        EXPECT_EQ(canvas.at(8, 2), argb(255, 0, 0, 0)) << transformed;
        EXPECT_EQ(canvas.at(10, 1), argb(255, 0, 0, 0)) << transformed;
        EXPECT_EQ(canvas.alpha(11, 2), 0) << transformed;
        EXPECT_EQ(canvas.alpha(8, 5), 0) << transformed;
    }

    // Blur spreads the same amount of shadow over a wider area.
    Canvas blurred(40, 40);
    Shadow soft;
    soft.setShadowColor(Color::blackColor());
    soft.setShadowOffset({ 0, 0 });
    soft.setShadowBlurRadius(6);
    soft.set();
    Color::clearColor()->set();
    // A clear fill casts no shadow; draw the caster in a colour and look around it.
    Color::whiteColor()->set();
    BezierPath::fillRect({ 15, 15, 10, 10 });
    EXPECT_GT(blurred.alpha(13, 20), 0);
    EXPECT_LT(blurred.alpha(13, 20), 255);
    EXPECT_EQ(blurred.alpha(2, 20), 0);
    EXPECT_GT(blurred.alpha(14, 20), blurred.alpha(12, 20));
}

namespace {

// A 2 × 2 image: red top-left, green top-right, blue bottom-left, white bottom-right.
struct TestImage {
    std::uint32_t pixels[4]
        = { argb(255, 255, 0, 0), argb(255, 0, 255, 0), argb(255, 0, 0, 255), argb(255, 255, 255, 255) };
    ConstPixelBufferView view() const { return { reinterpret_cast<const std::uint8_t*>(pixels), 2, 2, 8 }; }
};

}

TEST(ContextPixels, ImagesFollowTheTwoFlipConventions)
{
    const TestImage image;
    struct Case {
        bool contextFlipped, imageFlipped;
        std::uint32_t visualTopLeft;
    };
    const Case cases[] = {
        { false, false, argb(255, 255, 0, 0) }, // upright
        { true, false, argb(255, 0, 0, 255) }, // an unflipped image in a flipped context stands on its head
        { true, true, argb(255, 255, 0, 0) }, // respecting the flipped context
        { false, true, argb(255, 0, 0, 255) },
    };
    for (const auto& c : cases) {
        Canvas canvas(2, 2, c.contextFlipped);
        canvas.context().setImageInterpolation(ImageInterpolation::None);
        canvas.context().drawImage(
            image.view(), { 0, 0, 2, 2 }, ZeroRect, CompositingOperation::SourceOver, 1.0, c.imageFlipped);
        EXPECT_EQ(canvas.at(0, 1), c.visualTopLeft) << c.contextFlipped << c.imageFlipped;
    }

    Canvas canvas(4, 4);
    auto& context = canvas.context();
    context.setImageInterpolation(ImageInterpolation::None);
    // The source rectangle counts from the image's bottom-left: (1, 0) is the white pixel; scaled up to 2 × 2.
    context.drawImage(image.view(), { 0, 0, 2, 2 }, { 1, 0, 1, 1 }, CompositingOperation::SourceOver, 1.0);
    EXPECT_EQ(canvas.at(0, 0), argb(255, 255, 255, 255));
    EXPECT_EQ(canvas.at(1, 1), argb(255, 255, 255, 255));
    EXPECT_EQ(canvas.alpha(2, 0), 0);
    // Fraction scales the opacity.
    context.drawImage(image.view(), { 2, 2, 2, 2 }, ZeroRect, CompositingOperation::SourceOver, 0.5);
    EXPECT_NEAR(canvas.alpha(2, 3), 128, 1);
    EXPECT_NEAR(redOf(canvas.at(2, 3)), 128, 1);
}

TEST(ContextPixels, ImageMaskClipsByAlpha)
{
    // Left column opaque, right column transparent.
    const std::uint32_t mask[4] = { 0xFF000000, 0, 0xFF000000, 0 };
    Canvas canvas(4, 4);
    canvas.context().setImageInterpolation(ImageInterpolation::None);
    canvas.context().saveGraphicsState();
    canvas.context().clipToMask({ reinterpret_cast<const std::uint8_t*>(mask), 2, 2, 8 }, { 0, 0, 4, 4 });
    Color::blackColor()->set();
    BezierPath::fillRect({ 0, 0, 4, 4 });
    canvas.context().restoreGraphicsState();
    EXPECT_EQ(canvas.picture(), "##..\n##..\n##..\n##..\n");
}

namespace {

// A 4 × 4 point checkerboard tile: black squares bottom-left and top-right.
class Checker : public PatternImage {
public:
    Size patternSize() const override { return { 4, 4 }; }
    void drawPatternTile(GraphicsContext&) const override
    {
        Color::blackColor()->set();
        BezierPath::fillRect({ 0, 0, 2, 2 });
        BezierPath::fillRect({ 2, 2, 2, 2 });
    }
};

}

TEST(ContextPixels, PatternColoursRepeatFromTheBaseOrigin)
{
    Canvas canvas(8, 4);
    // Moving the user space does not move the pattern.
    canvas.context().translateCTM(1, 0);
    Color::colorWithPatternImage(std::make_shared<Checker>())->set();
    BezierPath::fillRect({ -1, 0, 8, 4 });
    EXPECT_EQ(canvas.picture(), "..##..##\n..##..##\n##..##..\n##..##..\n");
}

// A context keeps each pattern's tile only while the pattern lives: one that lasts (a window's) and meets a new
// pattern for every draw keeps no tile, and no pattern, of the draws before. A pattern made where a freed one was
// draws its own tile.
TEST(ContextPixels, APatternsTileGoesWithThePattern)
{
    struct Counted : Checker {
        explicit Counted(int& alive, bool inverted)
            : alive(alive)
            , inverted(inverted)
        {
            ++alive;
        }
        ~Counted() override { --alive; }
        void drawPatternTile(GraphicsContext& context) const override
        {
            if (!inverted) {
                Checker::drawPatternTile(context);
                return;
            }
            Color::blackColor()->set();
            BezierPath::fillRect({ 2, 0, 2, 2 });
            BezierPath::fillRect({ 0, 2, 2, 2 });
        }
        int& alive;
        bool inverted;
    };
    Canvas canvas(4, 4);
    int alive = 0;
    for (int draw = 0; draw < 6; ++draw) {
        const bool inverted = draw % 2 == 1;
        Color::colorWithPatternImage(std::make_shared<Counted>(alive, inverted))->set();
        BezierPath::fillRect({ 0, 0, 4, 4 });
        EXPECT_EQ(canvas.picture(), inverted ? "##..\n##..\n..##\n..##\n" : "..##\n..##\n##..\n##..\n")
            << "draw " << draw;
        Color::clearColor()->set();
        canvas.context().setCompositingOperation(CompositingOperation::Copy);
        BezierPath::fillRect({ 0, 0, 4, 4 });
        canvas.context().setCompositingOperation(CompositingOperation::SourceOver);
        EXPECT_EQ(alive, 0) << "draw " << draw << ": the pattern is kept after its last use";
    }
}

TEST(ContextPixels, CurrentContextStackRestoresContextAndState)
{
    Canvas outer(4, 4);
    auto outerContext = outer.shared();
    outerContext->translateCTM(1, 1);
    {
        auto inner = GraphicsContext::createForBitmap(2, 2);
        CurrentContextScope scope(inner);
        EXPECT_EQ(GraphicsContext::current(), inner.get());
        {
            GraphicsStateGuard guard;
            GraphicsContext::current()->translateCTM(5, 5);
        }
        EXPECT_TRUE(inner->CTM().isIdentity());
    }
    EXPECT_EQ(GraphicsContext::current(), outerContext.get());
    EXPECT_EQ(outerContext->CTM(), AffineTransform::translation(1, 1));
    // A singular transform draws nothing, and restoring it makes drawing work again.
    outerContext->saveGraphicsState();
    outerContext->scaleCTM(0, 1);
    BezierPath::fillRect({ 0, 0, 2, 2 });
    outerContext->restoreGraphicsState();
    EXPECT_EQ(outer.alpha(1, 1), 0);
    BezierPath::fillRect({ 0, 0, 1, 1 });
    EXPECT_EQ(outer.alpha(1, 1), 255);
    // Unbalanced restores are ignored.
    outerContext->restoreGraphicsState();
    EXPECT_EQ(outerContext->CTM(), AffineTransform::translation(1, 1));
}

TEST(ContextPixels, CallerOwnedPixelsAreDrawnInPlace)
{
    std::vector<std::uint32_t> memory(6 * 3, 0);
    PixelBufferView view { reinterpret_cast<std::uint8_t*>(memory.data()), 5, 3, 24 }; // padded rows
    auto context = GraphicsContext::createForBitmap(view);
    {
        CurrentContextScope scope(context);
        Color::redColor()->set();
        BezierPath::fillRect({ 4, 0, 1, 1 });
    }
    context->flush();
    EXPECT_EQ(memory[2 * 6 + 4], Red); // bottom row, last column
    EXPECT_EQ(memory[2 * 6 + 5], 0u); // padding untouched
}

namespace {

// A backing store at twice the point size, as a high-resolution window has.
class FakeWindow : public WindowSurface {
public:
    Size pointSize() const override { return { 5, 3 }; }
    PixelBufferView pixels() override { return { reinterpret_cast<std::uint8_t*>(memory.data()), 10, 6, 40 }; }
    void pixelsChanged() override { ++flushes; }
    std::vector<std::uint32_t> memory = std::vector<std::uint32_t>(60, 0);
    int flushes = 0;
};

}

TEST(ContextPixels, WindowSurfacesAreDrawnAtTheirBackingScale)
{
    auto window = std::make_shared<FakeWindow>();
    auto context = GraphicsContext::createForWindow(window, true);
    EXPECT_TRUE(context->isDrawingToScreen());
    EXPECT_EQ(context->pixelsPerPoint(), (Size { 2, 2 }));
    {
        CurrentContextScope scope(context);
        Color::blackColor()->set();
        BezierPath::fillRect({ 0, 0, 1, 1 }); // the top-left point of a flipped view: 2 × 2 pixels
    }
    context->flush();
    EXPECT_EQ(window->flushes, 1);
    EXPECT_EQ(window->memory[0], 0xFF000000u);
    EXPECT_EQ(window->memory[11], 0xFF000000u);
    EXPECT_EQ(window->memory[2], 0u);
    EXPECT_EQ(window->memory[20], 0u);
}

TEST(ContextPixels, ImpossibleSizesGiveNoContext)
{
    EXPECT_FALSE(GraphicsContext::createForBitmap(0, 10));
    EXPECT_FALSE(GraphicsContext::createForBitmap(40000, 10));
    EXPECT_FALSE(GraphicsContext::createForPDF({ 0, 10 }));
    EXPECT_FALSE(GraphicsContext::createForEPS({ 10, NAN }));
    EXPECT_THROW(GraphicsContext::createForBitmap(PixelBufferView {}), fnd::Exception);
    // A bad next page is refused and the current one stays usable.
    auto pdf = GraphicsContext::createForPDF({ 10, 10 });
    pdf->beginPage({ -1, 5 });
    EXPECT_EQ(pdf->pointSize(), (Size { 10, 10 }));
    EXPECT_TRUE(pdf->finishDocument());
}

// The shadow's mask covers only the clip (and the blur's reach around it): inside the clip the pixels are those of
// the same drawing without a clip, also where the shape casting the shadow lies outside the clip.
TEST(ContextPixels, AClippedShadowMatchesTheUnclippedOneInsideTheClip)
{
    auto draw = [](Canvas& canvas, bool clipped) {
        auto& context = canvas.context();
        if (clipped)
            context.clipToRect({ 30, 20, 25, 30 });
        Shadow shadow;
        shadow.setShadowColor(Color::colorWithDeviceRed(0, 0, 1, 0.8));
        shadow.setShadowOffset({ 12, -7 });
        shadow.setShadowBlurRadius(5);
        context.setShadow(shadow);
        context.setFillColor(*Color::colorWithDeviceRed(1, 0, 0));
        // Most of the disc lies left of the clip; its shadow falls into it.
        context.fillPath(*BezierPath::bezierPathWithOvalInRect({ 10, 20, 30, 30 }));
    };
    Canvas whole(80, 70), clipped(80, 70);
    draw(whole, false);
    draw(clipped, true);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool inside = x >= 30 && x < 55 && y >= 20 && y < 50;
            if (inside)
                ASSERT_EQ(clipped.at(x, y), whole.at(x, y)) << "(" << x << ", " << y << ")";
            else
                ASSERT_EQ(clipped.alpha(x, y), 0) << "(" << x << ", " << y << ") outside the clip";
        }
}
