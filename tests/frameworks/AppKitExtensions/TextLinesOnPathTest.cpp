#include "frameworks/AppKitExtensions/TBQUnderlineCategory.h"
#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "support/Canvas.h"
#include "support/TemporaryFolder.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// No installed font reports an underline thickness of 0, so this program gets one of its own: a copy of DejaVu Sans
// with the thickness in its "post" table set to 0 and its names in the "name" table changed to "Zerolined A" (the
// same length, so no offset moves), in a folder the font configuration adds to the installed fonts. Made before any
// other static object of the program (the shared test font among them) asks for a font.
struct TextLinesZeroUnderlineFont {
    static constexpr const char* Family = "Zerolined A";

    TextLinesZeroUnderlineFont()
    {
        std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
        std::string font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (folder.path().empty() || font.size() < 12)
            return;
        auto be = [&](std::size_t at, int bytes) {
            std::size_t v = 0;
            for (int i = 0; i < bytes; ++i)
                v = v << 8 | static_cast<unsigned char>(font[at + std::size_t(i)]);
            return v;
        };
        for (std::size_t i = 0, tables = be(4, 2); i < tables; ++i) {
            const std::size_t record = 12 + 16 * i;
            const std::string tag = font.substr(record, 4);
            const std::size_t offset = be(record + 8, 4), length = be(record + 12, 4);
            if (tag == "post") {
                font[offset + 10] = font[offset + 11] = 0; // underlineThickness, an FWord
            } else if (tag == "name") {
                for (auto [from, to] :
                    { std::pair<std::string, std::string> { "DejaVu Sans", Family }, { "DejaVuSans", "ZerolinedA" } }) {
                    for (bool wide : { false, true }) {
                        auto encode = [wide](const std::string& ascii) {
                            std::string out;
                            for (char c : ascii)
                                out += wide ? std::string { '\0', c } : std::string(1, c);
                            return out;
                        };
                        const std::string a = encode(from), b = encode(to);
                        for (auto at = font.find(a, offset);
                             at != std::string::npos && at + a.size() <= offset + length; at = font.find(a, at + 1))
                            font.replace(at, a.size(), b);
                    }
                }
            }
        }
        folder.write("fonts/Zerolined.ttf", font);
        const std::string conf = folder.write("fonts.conf",
            "<?xml version=\"1.0\"?>\n<fontconfig><include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include><dir>"
                + folder.file("fonts") + "</dir><cachedir>" + folder.file("cache") + "</cachedir></fontconfig>\n");
        setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    }
    testsupport::TemporaryFolder folder;
};

__attribute__((init_priority(101))) const TextLinesZeroUnderlineFont textLinesZeroUnderlineFont;

using namespace pathtest;
using namespace Text_ZORAppKitExtensions;
using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;

txt::AttributedString text(const char* s, txt::Attributes extra = {})
{
    if (!extra.contains(txt::FontAttributeName))
        extra.set(txt::FontAttributeName, font);
    return txt::AttributedString(s, extra);
}

int subpaths(const BezierPath& path)
{
    int n = 0;
    for (auto kind : path.elementKinds())
        n += kind == gfx::BezierPathElement::MoveTo ? 1 : 0;
    return n;
}

TEST(TextLinesOnPath, DescendersCrossTheUnderlineBelowTheBaseline)
{
    const BezierPath path = line({ 0, 0 }, { 500, 0 });
    const double underline = -4;
    EXPECT_TRUE(descenderBreaksForString(path, text("Hxa"), { 0, 3 }, underline).empty())
        << "no descender reaches below the baseline";
    auto breaks = descenderBreaksForString(path, text("Hgyp"), { 1, 3 }, underline);
    ASSERT_EQ(breaks.size(), 6u) << "each descender enters and leaves the underline once";
    // Measured in a layout of the run alone, after the container's padding.
    const double g = advanceOf('g'), y = advanceOf('y');
    EXPECT_GT(breaks[0].x, DescenderBreakPadding);
    EXPECT_LT(breaks[1].x, DescenderBreakPadding + g);
    EXPECT_GT(breaks[2].x, DescenderBreakPadding + g - 1);
    EXPECT_LT(breaks[3].x, DescenderBreakPadding + g + y + 1);
    EXPECT_GT(breaks[4].x, DescenderBreakPadding + g + y);
    for (std::size_t i = 1; i < breaks.size(); ++i)
        EXPECT_LE(breaks[i - 1].x, breaks[i].x);
    // The current context's orientation does not change where they are.
    Canvas flipped(10, 10, true);
    auto again = descenderBreaksForString(path, text("Hgyp"), { 1, 3 }, underline);
    ASSERT_EQ(again.size(), breaks.size());
    for (std::size_t i = 0; i < breaks.size(); ++i)
        EXPECT_NEAR(again[i].x, breaks[i].x, 1e-9);
}

TEST(TextLinesOnPath, LinePathsFollowThePathBesideIt)
{
    const BezierPath path = line({ 0, 100 }, { 500, 100 });
    EXPECT_EQ(textLinePathWithMask(path, 0x200, 10, 50, 0, 1, nullptr, 0), nullptr) << "a pattern without a line";
    auto single = textLinePathWithMask(path, txt::UnderlineStyle::Single, 10, 50, -2, 1.5, nullptr, 0);
    ASSERT_TRUE(single);
    EXPECT_TRUE(gfx::nearlyEqual(single->bounds(), { 10, 98, 50, 0 }, 1e-9)) << "2 below: away from the text";
    EXPECT_EQ(single->lineWidth(), 1.5);
    EXPECT_TRUE(single->lineDash().empty());
    EXPECT_EQ(textLinePathWithMask(path, txt::UnderlineStyle::Thick, 10, 50, -2, 1.5, nullptr, 0)->lineWidth(), 3);

    auto twice = textLinePathWithMask(path, txt::UnderlineStyle::Double, 10, 50, -2, 2, nullptr, 0);
    EXPECT_EQ(twice->lineWidth(), 1.5);
    ASSERT_EQ(subpaths(*twice), 2);
    EXPECT_EQ(twice->associatedPoints(0)[0].y, 100 - 2 + 0.75);
    EXPECT_EQ(twice->associatedPoints(2)[0].y, 100 - 2 + 0.75 - 3) << "the second line twice the width further away";

    struct Pattern {
        int mask;
        std::vector<double> dash;
    };
    for (const auto& p : std::vector<Pattern> { { 0x201, { 4, 2 } }, { 0x301, { 4, 2, 1, 2 } },
             { 0x401, { 4, 2, 1, 2, 1, 2 } }, { 0x101, { 1, 1 } }, { 0x701, { 1, 1 } } })
        EXPECT_EQ(textLinePathWithMask(path, p.mask, 10, 50, 0, 1, nullptr, 0)->lineDash(), p.dash) << p.mask;

    // Along a curve the line keeps its distance from it. A counter-clockwise arc has its text inside.
    BezierPath arc;
    arc.appendBezierPathWithArcWithCenter({ 0, 0 }, 100, 0, 180);
    auto beside = textLinePathWithMask(arc, 1, 20, 200, -3, 1, nullptr, 0);
    for (Point p : beside->allPoints())
        EXPECT_NEAR(std::hypot(p.x, p.y), 103, 0.05) << "outside, away from the text";
}

TEST(TextLinesOnPath, GapsAreCentredOnTheCrossingsAndShortPiecesDropped)
{
    const BezierPath path = line({ 0, 0 }, { 500, 0 });
    const double p = DescenderBreakPadding;
    // One descender from 20 to 24 into the run, which starts at 10 and is 50 long; threshold 10 makes gaps of 3.
    std::vector<Point> one { { p + 20, 0 }, { p + 24, 0 } };
    auto gapped = textLinePathWithMask(path, 1, 10, 50, 0, 1, &one, 10);
    ASSERT_EQ(subpaths(*gapped), 2);
    EXPECT_NEAR(gapped->associatedPoints(0)[0].x, 10, 1e-9);
    EXPECT_NEAR(gapped->associatedPoints(1)[0].x, 27, 1e-9);
    EXPECT_NEAR(gapped->associatedPoints(2)[0].x, 37, 1e-9);
    EXPECT_NEAR(gapped->associatedPoints(3)[0].x, 60, 1e-9);
    // Two descenders close together: the sliver between their gaps goes; the first piece always stays.
    std::vector<Point> two { { p + 20, 0 }, { p + 24, 0 }, { p + 30, 0 }, { p + 34, 0 } };
    auto pieces = textLinePathWithMask(path, 1, 10, 50, 0, 1, &two, 10);
    ASSERT_EQ(subpaths(*pieces), 2);
    EXPECT_NEAR(pieces->associatedPoints(2)[0].x, 47, 1e-9);
    std::vector<Point> atStart { { p + 0, 0 }, { p + 4, 0 } };
    auto leading = textLinePathWithMask(path, 1, 10, 50, 0, 1, &atStart, 10);
    EXPECT_NEAR(leading->bounds().minX(), 17, 1e-9) << "a first piece of no length draws nothing";
}

// The inked pixels of row y between x0 and x1.
int inkedAlong(Canvas& canvas, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += canvas.alpha(x, y) > 128 ? 1 : 0;
    return n;
}

TEST(TextLinesOnPath, UnderlinesBreakAroundDescendersOnly)
{
    const BezierPath path = line({ 10, 40 }, { 590, 40 });
    txt::Attributes underlined { { txt::UnderlineStyleAttributeName, 1 } };
    const double runLength = 4 * advanceOf('H') + advanceOf('g');
    for (const char* word : { "HHHHH", "HHgHH" }) {
        Canvas canvas(600, 80);
        fnd::Dictionary cache;
        drawTextOnPath(path, text(word, underlined), 0, nullptr, &cache);
        auto underline = cache.get("TBQUnderlinePath_{0, 5}_0.00").objectAs<BezierPath>();
        ASSERT_TRUE(underline) << word;
        double y = underline->bounds().minY();
        EXPECT_LT(y, 40) << "below the baseline";
        EXPECT_GT(y, 40 + font->descender()) << "above the descenders' ends";
        int row = static_cast<int>(std::floor(y));
        int across = inkedAlong(canvas, row, 12, 600);
        if (word[2] == 'H') {
            EXPECT_EQ(subpaths(*underline), 1) << "unbroken";
            EXPECT_NEAR(across, 5 * advanceOf('H'), 3);
        } else {
            EXPECT_GE(subpaths(*underline), 2) << "broken at the descender";
            // Keyed by the underline's offset from the baseline.
            EXPECT_TRUE(cache.contains(fnd::String(fmt::format("TBQUnderlineBreaks_{{0, 5}}_{:.2f}", y - 40))))
                << "the crossings are cached";
            EXPECT_LT(across, runLength - advanceOf('g') / 2);
            EXPECT_GT(across, 4 * advanceOf('H') - 8) << "the H's keep their underline";
            // Under the g itself, where its descender crosses, there is no line.
            int gx = static_cast<int>(10 + 2 * advanceOf('H') + advanceOf('g') / 2);
            EXPECT_LT(inkedAlong(canvas, row, gx - 2, gx + 3), 5);
        }
    }
}

TEST(TextLinesOnPath, LinesUseTheirRunsFontAndColourAndAreCached)
{
    const BezierPath path = line({ 10, 60 }, { 590, 60 });
    auto large = gfx::Font::fontWithName("DejaVu Sans", 48);
    txt::AttributedString mixed = text("HH");
    mixed.appendAttributedString(text("HH",
        { { txt::FontAttributeName, large }, { txt::UnderlineStyleAttributeName, 1 },
            { txt::UnderlineColorAttributeName, gfx::Color::redColor() } }));
    Canvas canvas(600, 120);
    fnd::Dictionary cache;
    drawTextOnPath(path, mixed, 0, nullptr, &cache);
    auto big = cache.get("TBQUnderlinePath_{2, 2}_0.00").objectAs<BezierPath>();
    ASSERT_TRUE(big);
    EXPECT_NEAR(big->lineWidth(), large->underlineThickness(), 1e-9) << "the run's own font, not the text's first";
    EXPECT_NEAR(big->bounds().minX(), 10 + 2 * advanceOf('H'), 1e-6);
    int row = static_cast<int>(std::floor(big->bounds().minY()));
    int x = static_cast<int>(big->bounds().midX());
    EXPECT_EQ(canvas.at(x, row), argb(255, 255, 0, 0)) << "in the underline colour";

    // A second draw strokes the cached path, whatever it holds.
    auto planted = std::make_shared<BezierPath>(line({ 5, 100 }, { 400, 100 }));
    planted->setLineWidth(3);
    cache.set("TBQUnderlinePath_{2, 2}_0.00", planted);
    drawTextOnPath(path, mixed, 0, nullptr, &cache);
    EXPECT_GT(canvas.alpha(200, 100), 200);
}

TEST(TextLinesOnPath, StrikethroughsAreDrawnWithTheCallersLayoutManagerToo)
{
    const BezierPath path = line({ 10, 40 }, { 590, 40 });
    auto manager = fnd::makeObject<txt::LayoutManager>();
    manager->addTextContainer(std::make_shared<txt::TextContainer>());
    Canvas canvas(600, 80);
    fnd::Dictionary cache;
    drawTextOnPath(path, text("xxxx", { { txt::StrikethroughStyleAttributeName, 1 } }), 0, manager, &cache);
    auto strike = cache.get("TBQStrikethroughPath_{0, 4}_0.00").objectAs<BezierPath>();
    ASSERT_TRUE(strike);
    EXPECT_NEAR(strike->bounds().minY(), 40 + font->xHeight() / 2, 1e-6) << "half the x-height up";
    EXPECT_EQ(strike->lineWidth(), font->underlineThickness());
    int row = static_cast<int>(std::floor(strike->bounds().minY()));
    EXPECT_EQ(inkedAlong(canvas, row, 14, 6 + static_cast<int>(4 * advanceOf('x'))),
        static_cast<int>(4 * advanceOf('x')) - 8);
}

// A font without an underline thickness: its underlines take the stand-in, its strikethroughs keep the font's own
// thickness (none: the thinnest line).
TEST(TextLinesOnPath, OnlyUnderlinesTakeTheStandInThicknessOfAFontWithoutOne)
{
    auto zero = gfx::Font::fontWithName(TextLinesZeroUnderlineFont::Family, 24);
    ASSERT_TRUE(zero && !zero->isFallback()) << "the test font is not installed";
    ASSERT_EQ(zero->underlineThickness(), 0);
    // "Helvetica" and "Times" are not installed and stand in as DejaVu Sans, whose thickness is 90 of 2048 units.
    const double standIn = TBQUnderlineCategory::valueForInvalidUnderlineThickness(*zero);
    EXPECT_NEAR(standIn, 90.0 / 2048 * 24, 1e-9);

    const BezierPath path = line({ 10, 40 }, { 590, 40 });
    Canvas canvas(600, 80);
    fnd::Dictionary cache;
    drawTextOnPath(path,
        text("xxxx",
            { { txt::FontAttributeName, zero }, { txt::UnderlineStyleAttributeName, 1 },
                { txt::StrikethroughStyleAttributeName, 1 } }),
        0, nullptr, &cache);
    auto under = cache.get("TBQUnderlinePath_{0, 4}_0.00").objectAs<BezierPath>();
    auto strike = cache.get("TBQStrikethroughPath_{0, 4}_0.00").objectAs<BezierPath>();
    ASSERT_TRUE(under && strike);
    EXPECT_NEAR(under->lineWidth(), standIn, 1e-9);
    EXPECT_EQ(strike->lineWidth(), 0);
    int row = static_cast<int>(std::floor(strike->bounds().minY()));
    EXPECT_GT(inkedAlong(canvas, row, 14, 6 + static_cast<int>(4 * advanceOf('x'))), 0) << "drawn all the same";
}

TEST(TextLinesOnPath, StandInUnderlineMetricsScaleWithTheFont)
{
    auto twelve = gfx::Font::fontWithName("DejaVu Sans", 12), twentyFour = gfx::Font::fontWithName("DejaVu Sans", 24);
    double thin = TBQUnderlineCategory::valueForInvalidUnderlineThickness(*twelve);
    EXPECT_GT(thin, 0);
    EXPECT_NEAR(TBQUnderlineCategory::valueForInvalidUnderlineThickness(*twentyFour), 2 * thin, 1e-9);
    EXPECT_LT(TBQUnderlineCategory::valueForInvalidUnderlinePosition(*twelve), 0) << "below the baseline";
}

}
