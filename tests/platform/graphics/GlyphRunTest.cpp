#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/graphics/TextRendering.h"
#include "platform/graphics/detail/GlyphRunCount.h"

#include "ImageTestSupport.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace gfx;

namespace {

// A line of glyphs for the text, laid along the baseline from the origin by their advances.
struct GlyphLine {
    std::vector<Glyph> glyphs;
    std::vector<Point> positions;
};

GlyphLine lineOf(const Font& font, const std::u32string& text, Point origin)
{
    GlyphLine line;
    for (char32_t c : text) {
        const Glyph glyph = font.glyphForCharacter(c);
        line.glyphs.push_back(glyph);
        line.positions.push_back(origin);
        origin.x += font.advancementForGlyph(glyph).width;
    }
    return line;
}

// Device pixels with coverage above half, as a rectangle (y up); nullopt without any.
std::optional<Rect> inkOf(Canvas& canvas, int width, int height)
{
    int x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.alpha(x, y) > 128) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return std::nullopt;
    return Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

// Restores the desktop's rendering choice when the test ends.
// The light engraving header labels draw under their text: white, one point down, unblurred.
Shadow engravingShadow()
{
    Shadow shadow;
    shadow.setShadowColor(Color::colorWithDeviceWhite(1.0, 0.8));
    shadow.setShadowOffset({ 0, -1 });
    shadow.setShadowBlurRadius(0);
    return shadow;
}

struct RenderingChoice {
    TextRenderingOptions saved = desktopTextRendering();
    ~RenderingChoice() { setDesktopTextRendering(saved); }
};

}

TEST(GlyphRuns, GlyphsStandWhereTheirOutlinesAreInTheFillColour)
{
    auto font = Font::fontWithName("DejaVu Sans", 24);
    ASSERT_TRUE(font);
    const Glyph h = font->glyphForCharacter(U'H');
    const Rect outline = font->boundingRectForGlyph(h);
    for (bool flipped : { false, true }) {
        Canvas canvas(60, 50, flipped);
        canvas.context().setFillColor(*Color::colorWithDeviceRed(1, 0, 0));
        // In a flipped context the glyph space is turned over so the letter stands upright.
        const Point origin { 10, flipped ? 40.0 : 10.0 };
        const Glyph glyphs[] = { h };
        const Point positions[] = { origin };
        canvas.context().showGlyphs(
            *font, glyphs, positions, flipped ? AffineTransform::scaling(1, -1) : AffineTransform::identity());
        auto ink = inkOf(canvas, 60, 50);
        ASSERT_TRUE(ink) << "flipped " << flipped << "\n" << canvas.picture();
        // Expected in device pixels, y up: the baseline 10 points above the bottom either way.
        const Rect expected { 10 + outline.minX(), 10 + outline.minY(), outline.width(), outline.height() };
        EXPECT_NEAR(ink->minX(), expected.minX(), 1.5) << "flipped " << flipped;
        EXPECT_NEAR(ink->maxX(), expected.maxX(), 1.5) << "flipped " << flipped;
        EXPECT_NEAR(ink->minY(), expected.minY(), 1.5) << "flipped " << flipped;
        EXPECT_NEAR(ink->maxY(), expected.maxY(), 1.5) << "flipped " << flipped;
        // The stem's middle is solid red.
        const auto stem = canvas.at(int(ink->minX()) + 1, int(ink->midY()));
        EXPECT_EQ(alphaOf(stem), 255u);
        EXPECT_EQ(redOf(stem), 255u);
        EXPECT_EQ(blueOf(stem), 0u);
    }
}

TEST(GlyphRuns, AntialiasingAndHintingFollowTheRenderingChoice)
{
    RenderingChoice restore;
    auto font = Font::fontWithName("DejaVu Sans", 11);
    const auto line = lineOf(*font, U"Hamburgefonts 0123", { 2.3, 6.4 });
    auto render = [&](TextRenderingOptions options, bool contextAntialias) {
        setDesktopTextRendering(options);
        EXPECT_EQ(desktopTextRendering(), options);
        Canvas canvas(140, 20);
        canvas.context().setShouldAntialias(contextAntialias);
        canvas.context().setFillColor(*Color::blackColor());
        canvas.context().showGlyphs(*font, line.glyphs, line.positions);
        std::vector<int> alphas;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 140; ++x)
                alphas.push_back(canvas.alpha(x, y));
        return alphas;
    };
    auto partlyCovered = [](const std::vector<int>& alphas) {
        return std::count_if(alphas.begin(), alphas.end(), [](int a) { return a > 0 && a < 255; });
    };
    const auto smooth = render({ true, TextHinting::None }, true);
    EXPECT_GT(partlyCovered(smooth), 50) << "antialiased edges";
    EXPECT_EQ(partlyCovered(render({ false, TextHinting::Full }, true)), 0) << "the desktop turns antialiasing off";
    EXPECT_EQ(partlyCovered(render({ true, TextHinting::Slight }, false)), 0) << "the context turns it off";
    // Hinting moves edges onto pixels: the same text rasterises differently.
    EXPECT_NE(render({ true, TextHinting::Full }, true), smooth);
}

TEST(GlyphRuns, AShadowFallsBesideTheGlyphs)
{
    auto font = Font::fontWithName("DejaVu Sans", 30);
    const auto line = lineOf(*font, U"I", { 10, 10 });
    Canvas canvas(50, 50);
    Shadow shadow;
    shadow.setShadowColor(Color::colorWithDeviceRed(0, 0, 1));
    shadow.setShadowOffset({ 6, -4 });
    shadow.setShadowBlurRadius(0);
    canvas.context().setShadow(shadow);
    canvas.context().setFillColor(*Color::colorWithDeviceRed(1, 0, 0));
    canvas.context().showGlyphs(*font, line.glyphs, line.positions);
    const Rect stem = font->boundingRectForGlyph(line.glyphs[0]);
    const int x = int(10 + stem.midX()), y = int(10 + stem.midY());
    EXPECT_EQ(redOf(canvas.at(x, y)), 255u) << "the glyph";
    // Six points right of the stem (which is thinner than that), four down: only the shadow.
    const auto beside = canvas.at(x + 6, y - 4);
    EXPECT_EQ(blueOf(beside), 255u);
    EXPECT_EQ(redOf(beside), 0u);
}

TEST(GlyphRuns, DocumentsCarryTheTextAsText)
{
    test::TemporaryFolder dir;
    auto font = Font::fontWithName("DejaVu Sans", 14);
    const auto line = lineOf(*font, U"Barcode 42", { 10, 20 });
    auto draw = [&](const std::shared_ptr<GraphicsContext>& context) {
        context->setFillColor(*Color::blackColor());
        context->showGlyphs(*font, line.glyphs, line.positions);
    };

    auto pdf = GraphicsContext::createForPDF({ 200, 50 });
    draw(pdf);
    ASSERT_TRUE(pdf->writeDocumentToFile(dir.file("text.pdf")));
    if (test::haveTool("pdftotext")) {
        auto text = test::runCommand("pdftotext " + dir.file("text.pdf") + " -");
        EXPECT_NE(text.output.find("Barcode 42"), std::string::npos) << text.output;
    }

    auto eps = GraphicsContext::createForEPS({ 200, 50 });
    draw(eps);
    auto data = eps->finishDocument();
    ASSERT_TRUE(data);
    const std::string postscript(data->view());
    // The font goes into the document, and the glyphs are shown with it rather than filled as paths.
    EXPECT_NE(postscript.find("%%BeginResource: font"), std::string::npos);
    EXPECT_NE(postscript.find("DejaVuSans"), std::string::npos);
}

// Plain runs are drawn straight into the pixels from our own rasterised glyphs; the same runs through Cairo (here
// behind a clip that is not a rectangle, covering everything) give the same pixels, at any size, scale and hinting,
// but for the accents of composed letters, which light hinting may set a row apart.
TEST(GlyphRuns, GlyphsDrawnStraightIntoPixelsMatchCairos)
{
    RenderingChoice restore;
    for (auto hinting : { TextHinting::None, TextHinting::Slight, TextHinting::Full })
        for (bool antialias : { true, false })
            for (double scale : { 1.0, 2.0 })
                for (double size : { 9.0, 13.0, 24.0 }) {
                    setDesktopTextRendering({ antialias, hinting });
                    auto font = Font::fontWithName("DejaVu Sans", size);
                    const auto line = lineOf(*font, U"Agyb 0123 \u00C4rger", { 3.3, 7.6 });
                    auto render = [&](bool throughCairo) {
                        auto canvas
                            = std::make_unique<Canvas>(int(160 * scale), int(40 * scale), false, Size { 160, 40 });
                        if (throughCairo)
                            canvas->context().clipToPath(
                                *BezierPath::bezierPathWithOvalInRect({ -200, -200, 560, 440 }));
                        canvas->context().setFillColor(*Color::colorWithDeviceRed(0.2, 0.3, 0.9, 0.8));
                        canvas->context().showGlyphs(*font, line.glyphs, line.positions);
                        return canvas;
                    };
                    auto direct = render(false), cairo = render(true);
                    int inked = 0, differing = 0;
                    for (int y = 0; y < int(40 * scale); ++y)
                        for (int x = 0; x < int(160 * scale); ++x) {
                            inked += cairo->alpha(x, y) > 0;
                            differing += pixelDistance(direct->at(x, y), cairo->at(x, y)) > 2;
                        }
                    EXPECT_GT(inked, 100);
                    EXPECT_LE(differing, inked / 100) << "hinting " << int(hinting) << " antialias " << antialias
                                                      << " scale " << scale << " size " << size;
                }
}

// An engraved label: an unblurred shadow moved by whole pixels is drawn straight into the pixels too (the run again
// in the shadow's colour, under it), and comes out as Cairo's shadow mask gives it, on an opaque and a clear ground.
TEST(GlyphRuns, UnblurredShadowsDrawnStraightIntoPixelsMatchCairos)
{
    auto font = Font::fontWithName("DejaVu Sans", 13);
    const auto line = lineOf(*font, U"Column 42 \u00C4g", { 4, 12 });
    for (double scale : { 1.0, 2.0 })
        for (bool opaque : { true, false }) {
            auto render = [&](bool throughCairo) {
                auto canvas = std::make_unique<Canvas>(int(120 * scale), int(30 * scale), false, Size { 120, 30 });
                if (opaque) {
                    canvas->context().setFillColor(*Color::colorWithDeviceWhite(0.85, 1));
                    canvas->context().fillRect({ 0, 0, 120, 30 });
                }
                if (throughCairo)
                    canvas->context().clipToPath(*BezierPath::bezierPathWithOvalInRect({ -200, -200, 520, 430 }));
                canvas->context().setShadow(engravingShadow());
                canvas->context().setFillColor(*Color::colorWithDeviceRed(0.1, 0.1, 0.3, 1));
                canvas->context().showGlyphs(*font, line.glyphs, line.positions);
                return canvas;
            };
            auto direct = render(false), cairo = render(true);
            int inked = 0, differing = 0;
            for (int y = 0; y < int(30 * scale); ++y)
                for (int x = 0; x < int(120 * scale); ++x) {
                    inked += pixelDistance(cairo->at(x, y), opaque ? cairo->at(0, 0) : 0u) > 2;
                    differing += pixelDistance(direct->at(x, y), cairo->at(x, y)) > 2;
                }
            EXPECT_GT(inked, 100);
            EXPECT_LE(differing, inked / 100) << "scale " << scale << " opaque " << opaque;
        }
}

// A label centred in a cell is clipped at fractions of a pixel. Glyphs clear of the pixels such a clip covers in
// part are drawn straight into the pixels and come out as Cairo's (here behind a clip that is not a rectangle,
// inside the rectangle's); glyphs reaching them are left to Cairo, whose coverage of those pixels is its own.
TEST(GlyphRuns, ClipsEndingInsidePixelsLeaveOnlyGlyphsClearOfThemToUs)
{
    auto font = Font::fontWithName("DejaVu Sans", 13);
    const auto line = lineOf(*font, U"Row 1234 gy", { 6, 12 });
    struct Case {
        Rect clip;
        bool direct;
        const char* what;
    };
    const Case cases[] = {
        { { 2.3, 3.6, 90.4, 20.7 }, true, "well around the ink" },
        { { 2.3, 3.6, 40.45, 20.7 }, false, "cutting through a glyph" },
        { { 2.3, 12.5, 90.4, 8.2 }, false, "cutting the descenders" },
    };
    for (double scale : { 1.0, 2.0 })
        for (bool shadowed : { false, true })
            for (const auto& c : cases) {
                bool drawnDirectly = false;
                auto render = [&](bool throughCairo) {
                    auto canvas = std::make_unique<Canvas>(int(100 * scale), int(30 * scale), false, Size { 100, 30 });
                    canvas->context().setFillColor(*Color::colorWithDeviceWhite(0.9, 1));
                    canvas->context().fillRect({ 0, 0, 100, 30 });
                    canvas->context().clipToRect(c.clip);
                    if (throughCairo)
                        canvas->context().clipToPath(*BezierPath::bezierPathWithOvalInRect({ -300, -300, 700, 630 }));
                    if (shadowed)
                        canvas->context().setShadow(engravingShadow());
                    canvas->context().setFillColor(*Color::colorWithDeviceRed(0.1, 0.1, 0.3, 1));
                    const auto before = detail::directGlyphRunCount();
                    canvas->context().showGlyphs(*font, line.glyphs, line.positions);
                    if (!throughCairo)
                        drawnDirectly = detail::directGlyphRunCount() > before;
                    return canvas;
                };
                auto direct = render(false), cairo = render(true);
                EXPECT_EQ(drawnDirectly, c.direct) << c.what << " scale " << scale << " shadowed " << shadowed;
                if (!c.direct)
                    continue;
                int inked = 0, differing = 0;
                for (int y = 0; y < int(30 * scale); ++y)
                    for (int x = 0; x < int(100 * scale); ++x) {
                        inked += pixelDistance(cairo->at(x, y), cairo->at(0, 0)) > 2;
                        differing += pixelDistance(direct->at(x, y), cairo->at(x, y)) > 2;
                    }
                EXPECT_GT(inked, 100);
                EXPECT_LE(differing, inked / 100) << c.what << " scale " << scale << " shadowed " << shadowed;
            }
}
