#include "frameworks/AppKitExtensions/TBQPathGlyphInfo.h"
#include "frameworks/AppKitExtensions/TBQTextOnPathMetricsHelper.h"
#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "support/Canvas.h"
#include "support/Raised.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace pathtest;
using namespace Text_ZORAppKitExtensions;
using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;

txt::AttributedString textInFont(const char* s, txt::Attributes extra = {})
{
    extra.set(txt::FontAttributeName, font);
    return txt::AttributedString(s, extra);
}

// A circle of radius r about c, run clockwise so that text stands outside it.
BezierPath clockwiseCircle(Point c, double r)
{
    return BezierPath::bezierPathWithOvalInRect({ c.x - r, c.y - r, 2 * r, 2 * r })->bezierPathByReversingPath();
}

Rect outlineOf(char32_t c)
{
    return font->boundingRectForGlyph(font->glyphForCharacter(c));
}

// Records every placement.
struct Recorder : TextOnPathPlacement {
    struct Placed {
        std::uint64_t glyph;
        Point at;
        double angle;
    };
    std::vector<Placed> placed;
    void layoutManager(txt::LayoutManager&, std::uint64_t glyph, Point at, double angle, double) override
    {
        placed.push_back({ glyph, at, angle });
    }
};

// The bounding box of the drawn pixels, in device pixels counted from the bottom left.
Rect inkBounds(Canvas& canvas, int width, int height)
{
    int x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.alpha(x, y) > 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    return x1 < 0 ? Rect {} : Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

TEST(TextOnPath, GlyphsStandOnAStraightPathOneAfterAnother)
{
    auto glyphs = bezierPathsWithGlyphsOnPath(line({ 10, 40 }, { 290, 40 }), textInFont("HHH"), 0);
    ASSERT_EQ(glyphs.size(), 3u);
    const Rect h = outlineOf('H');
    for (std::size_t i = 0; i < 3; ++i) {
        Rect b = glyphs[i]->bounds();
        EXPECT_NEAR(b.minX(), 10 + i * advanceOf('H') + h.minX(), 1e-4) << i;
        EXPECT_NEAR(b.minY(), 40, 1e-4) << "on the baseline, " << i;
        EXPECT_NEAR(b.maxY(), 40 + h.maxY(), 1e-4) << i;
    }
    // A y offset raises the text off the path; a negative one lowers it.
    auto raised = bezierPathWithTextOnPath(line({ 10, 40 }, { 290, 40 }), textInFont("H"), 5);
    EXPECT_NEAR(raised->bounds().minY(), 45, 1e-4);
    // Running the other way, the text stands on the other side, upside down.
    auto back = bezierPathWithTextOnPath(line({ 290, 40 }, { 10, 40 }), textInFont("H"), 0);
    EXPECT_NEAR(back->bounds().maxY(), 40, 1e-4);
    EXPECT_NEAR(back->bounds().maxX(), 290 - h.minX(), 1e-4);
    // In a flipped context "up" is towards smaller y.
    Canvas flipped(10, 10, true);
    auto mirrored = bezierPathWithTextOnPath(line({ 10, 40 }, { 290, 40 }), textInFont("H"), 0);
    EXPECT_NEAR(mirrored->bounds().maxY(), 40, 1e-4);
    EXPECT_NEAR(mirrored->bounds().minY(), 40 - h.maxY(), 1e-4);
}

TEST(TextOnPath, GlyphsOnACircleSitOnIt)
{
    const Point c { 150, 150 };
    const double r = 100;
    auto glyphs = bezierPathsWithGlyphsOnPath(clockwiseCircle(c, r), textInFont("HHHHHHHHHH"), 0);
    ASSERT_EQ(glyphs.size(), 10u);
    for (const auto& glyph : glyphs) {
        double nearest = INFINITY, farthest = 0;
        for (Point p : glyph->allPoints()) {
            double d = std::hypot(p.x - c.x, p.y - c.y);
            nearest = std::min(nearest, d);
            farthest = std::max(farthest, d);
        }
        // The baseline touches the circle at the glyph's centre; the stems stand a hair outside where it curves away.
        EXPECT_GT(nearest, r - 0.1);
        EXPECT_LT(nearest, r + 0.6);
        EXPECT_NEAR(farthest, r + outlineOf('H').maxY(), 1.0);
    }
    // Drawn: every inked pixel lies in the ring the glyphs occupy (glyphs are rasterised at whole-pixel origins, so
    // the ring is a pixel wider on each side than the outlines').
    Canvas canvas(300, 300);
    EXPECT_TRUE(drawTextOnPath(clockwiseCircle(c, r), textInFont("HHHHHHHHHH"), 0));
    int inked = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (canvas.alpha(x, y) > 0) {
                ++inked;
                double d = std::hypot(x + 0.5 - c.x, y + 0.5 - c.y);
                EXPECT_GT(d, r - 2.5);
                EXPECT_LT(d, r + outlineOf('H').maxY() + 2.5);
            }
    EXPECT_GT(inked, 500);
}

TEST(TextOnPath, TextLongerThanThePathPlacesWhatFitsAndSaysSo)
{
    Recorder recorder;
    auto manager = textOnPathLayoutManager();
    BezierPath path = line({ 0, 0 }, { 3.5 * advanceOf('H'), 0 });
    auto storage = preadjustedTextStorageWithString(path, textInFont("HHHHHH"), manager);
    EXPECT_FALSE(layoutStringOnPath(path, *storage, 0, &recorder, manager.get(), nullptr));
    EXPECT_EQ(recorder.placed.size(), 3u) << "the fourth glyph's centre has less than half its width left";

    Recorder none;
    BezierPath lone;
    lone.moveToPoint({ 0, 0 });
    auto empty = preadjustedTextStorageWithString(path, textInFont(""), manager);
    EXPECT_FALSE(layoutStringOnPath(path, *empty, 0, &none, manager.get(), nullptr));
    EXPECT_FALSE(layoutStringOnPath(lone, *storage, 0, &none, manager.get(), nullptr));
    EXPECT_TRUE(none.placed.empty());
    // The checksum is still recorded when nothing can be drawn.
    fnd::Dictionary cache;
    Canvas canvas(10, 10);
    EXPECT_FALSE(drawTextOnPath(lone, textInFont("H"), 0, nullptr, &cache));
    EXPECT_TRUE(cache.contains("TBQTextOnPathChecksum"));
    EXPECT_FALSE(cache.contains("TBQTextOnPathGlyphPositions"));
}

TEST(TextOnPath, PlacementsAreTheGlyphBoxCornersAndIgnoreTheYOffset)
{
    Recorder at0, at10;
    auto manager = textOnPathLayoutManager();
    BezierPath path = line({ 0, 0 }, { 0, 200 }); // straight up
    auto storage = preadjustedTextStorageWithString(path, textInFont("Hi"), manager);
    layoutStringOnPath(path, *storage, 0, &at0, manager.get(), nullptr);
    layoutStringOnPath(path, *storage, 10, &at10, manager.get(), nullptr);
    ASSERT_EQ(at0.placed.size(), 2u);
    const double ascent = manager->locationForGlyphAtIndex(0).y;
    // Going up, the text's side is to the left (negative x): the box starts an ascent off the path.
    EXPECT_NEAR(at0.placed[0].at.x, -ascent, 1e-4);
    EXPECT_NEAR(at0.placed[0].at.y, 0, 1e-4);
    EXPECT_NEAR(at0.placed[1].at.y, advanceOf('H'), 1e-4);
    EXPECT_NEAR(at0.placed[0].angle, M_PI / 2, 1e-6);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(at0.placed[i].at, at10.placed[i].at);
        EXPECT_EQ(at0.placed[i].angle, at10.placed[i].angle);
    }
}

TEST(TextOnPath, JustifiedTextIsKernedToThePathsLength)
{
    auto justified = [](const char* s) {
        auto style = txt::ParagraphStyle::defaultParagraphStyle();
        style->setAlignment(txt::TextAlignment::Justified);
        return textInFont(s, { { txt::ParagraphStyleAttributeName, style } });
    };
    const double length = 300;
    BezierPath path = line({ 0, 0 }, { length, 0 });
    auto manager = textOnPathLayoutManager();
    // Shorter: spread so that the last glyph ends where the path does.
    auto storage = preadjustedTextStorageWithString(path, justified("HHHH"), manager);
    double kern = storage->attributeAtIndex(txt::KernAttributeName, 0).doubleValue();
    EXPECT_NEAR(kern, (length - 4 * advanceOf('H')) / 3, 1e-6);
    EXPECT_FALSE(storage->attributeAtIndex(txt::KernAttributeName, 3)) << "no gap after the last glyph";
    auto glyphs = bezierPathsWithGlyphsOnPath(path, justified("HHHH"), 0);
    ASSERT_EQ(glyphs.size(), 4u) << "every glyph fits";
    EXPECT_NEAR(glyphs[3]->bounds().maxX(), length - (advanceOf('H') - outlineOf('H').maxX()), 1e-3);
    // Longer: squeezed, by no more than 0.15 of the text's height per gap.
    auto squeezed
        = preadjustedTextStorageWithString(line({ 0, 0 }, { 2 * advanceOf('H'), 0 }), justified("HHHHHHHH"), manager);
    kern = squeezed->attributeAtIndex(txt::KernAttributeName, 0).doubleValue();
    EXPECT_NEAR(kern, -0.15 * squeezed->size().height, 1e-6);
    auto slightly
        = preadjustedTextStorageWithString(line({ 0, 0 }, { 4 * advanceOf('H') - 3, 0 }), justified("HHHH"), manager);
    EXPECT_NEAR(slightly->attributeAtIndex(txt::KernAttributeName, 0).doubleValue(), -1, 1e-6);
    auto single = preadjustedTextStorageWithString(path, justified("H"), manager);
    EXPECT_FALSE(single->attributeAtIndex(txt::KernAttributeName, 0)) << "one glyph has no gap to kern";
}

TEST(TextOnPath, ACacheServesOnePathAndOneText)
{
    Canvas canvas(320, 80);
    BezierPath path = line({ 10, 20 }, { 310, 20 });
    fnd::Dictionary cache;
    EXPECT_TRUE(drawTextOnPath(path, textInFont("Hello"), 0, nullptr, &cache));
    ASSERT_TRUE(cache.contains("TBQTextOnPathGlyphPositions"));
    EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 5u);
    EXPECT_TRUE(cache.get("TBQTextOnPathTextFitted").boolValue());

    // Drawing again replays the stored placements without placing anything anew.
    auto manager = textOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(path, textInFont("Hello"), manager);
    fnd::Array planted { std::make_shared<TBQPathGlyphInfo>(4, Point { 1, 2 }, 0.5) };
    cache.set("TBQTextOnPathGlyphPositions", planted);
    Recorder recorder;
    layoutStringOnPath(path, *storage, 0, &recorder, manager.get(), &cache);
    ASSERT_EQ(recorder.placed.size(), 1u);
    EXPECT_EQ(recorder.placed[0].at, (Point { 1, 2 }));

    // The same path and text keep the cache; a moved point, another text or other attributes empty it.
    drawTextOnPath(path, textInFont("Hello"), 0, nullptr, &cache);
    EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 1u);
    drawTextOnPath(path, textInFont("Help!"), 0, nullptr, &cache);
    EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 5u) << "new text, new layout";
    cache.set("TBQTextOnPathGlyphPositions", planted);
    drawTextOnPath(path, textInFont("Help!", { { txt::ForegroundColorAttributeName, gfx::Color::redColor() } }), 0,
        nullptr, &cache);
    EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 5u);
    cache.set("TBQTextOnPathGlyphPositions", planted);
    cache.set("Unrelated", 1);
    BezierPath moved = line({ 10, 20 }, { 300, 21 });
    drawTextOnPath(moved, textInFont("Help!", { { txt::ForegroundColorAttributeName, gfx::Color::redColor() } }), 0,
        nullptr, &cache);
    EXPECT_FALSE(cache.contains("Unrelated")) << "a changed path discards every entry";
    EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 5u);
}

// A cache the caller filled for some other text, or with something else, is laid out again: its placements would
// draw glyphs the text does not have, or put them nowhere.
TEST(TextOnPath, AStaleOrForeignCacheIsIgnoredAndRebuilt)
{
    BezierPath path = line({ 10, 20 }, { 310, 20 });
    Canvas fresh(320, 80);
    EXPECT_TRUE(drawTextOnPath(path, textInFont("Hi"), 0));
    const auto drawn = fresh.picture();

    const std::pair<const char*, fnd::Array> foreign[] = {
        { "a glyph past the text", { std::make_shared<TBQPathGlyphInfo>(40, Point { 10, 20 }, 0) } },
        { "no placement", { fnd::Value(1) } },
        { "a point that is no number",
            { std::make_shared<TBQPathGlyphInfo>(0, Point { std::nan(""), 20 }, 0),
                std::make_shared<TBQPathGlyphInfo>(1, Point { 20, 20 }, 0) } },
        { "glyphs out of order",
            { std::make_shared<TBQPathGlyphInfo>(1, Point { 20, 20 }, 0),
                std::make_shared<TBQPathGlyphInfo>(0, Point { 10, 20 }, 0) } },
    };
    for (const auto& [what, records] : foreign) {
        Canvas canvas(320, 80);
        fnd::Dictionary cache;
        cache.set("TBQTextOnPathGlyphPositions", records);
        cache.set("TBQTextOnPathTextFitted", false);
        bool fitted = false;
        EXPECT_FALSE(raised([&] { fitted = drawTextOnPath(path, textInFont("Hi"), 0, nullptr, &cache); })) << what;
        EXPECT_TRUE(fitted) << what;
        ASSERT_TRUE(cache.get("TBQTextOnPathGlyphPositions").array()) << what;
        EXPECT_EQ(cache.get("TBQTextOnPathGlyphPositions").array()->size(), 2u) << what;
        EXPECT_TRUE(canvas.picture() == drawn) << what << ": drawn otherwise than without a cache";
    }
}

TEST(TextOnPath, DrawnTextStandsOnThePathInEitherOrientation)
{
    // The path runs rightwards along the middle row whichever way y runs, so the text stands on it upright on screen
    // in both cases.
    auto small = gfx::Font::fontWithName("Helvetica", 12);
    const double descent = -small->boundingRectForGlyph(small->glyphForCharacter('y')).minY();
    for (bool flipped : { false, true }) {
        Canvas canvas(300, 100, flipped);
        EXPECT_TRUE(drawStringOnPath(line({ 20, 50 }, { 280, 50 }), "Hxy", nullptr)) << flipped;
        Rect ink = inkBounds(canvas, 300, 100);
        EXPECT_NEAR(ink.minX(), 20, 2) << flipped;
        EXPECT_NEAR(ink.maxY(), 50 + small->capHeight(), 1.5) << flipped;
        EXPECT_NEAR(ink.minY(), 50 - descent, 1.5) << "the y's descender, " << flipped;
    }
}

TEST(TextOnPath, MetricsHelperMeasuresARunAlongThePath)
{
    double position = -1, length = -1;
    BezierPath path = line({ 0, 0 }, { 500, 0 });
    pathPosition(path, &position, &length, textInFont("HHxHH"), { 1, 3 });
    EXPECT_NEAR(position, advanceOf('H'), 1e-6);
    EXPECT_NEAR(length, advanceOf('H') * 2 + advanceOf('x'), 1e-6);
    pathPosition(path, &position, nullptr, textInFont("HH"), { 0, 1 });
    EXPECT_NEAR(position, advanceOf('H'), 1e-6) << "nothing without both outputs";
    // Centred text starts where the layout centres it on a line as long as the path.
    auto style = txt::ParagraphStyle::defaultParagraphStyle();
    style->setAlignment(txt::TextAlignment::Center);
    pathPosition(path, &position, &length, textInFont("HH", { { txt::ParagraphStyleAttributeName, style } }), { 0, 2 });
    EXPECT_NEAR(position, (500 - 2 * advanceOf('H')) / 2, 1e-6);
}

}
