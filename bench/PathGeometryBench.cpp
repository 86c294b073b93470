// Path geometry at scale: flattening and measuring a path of 10,000 curves and lines, the union of two polygons of
// 1,000 vertices each through the polygon clipper, and the operations whose work once grew faster than their input
// or output (offsets of many-toothed outlines, pieces placed along long paths, line fragments of toothed shapes);
// booleans of many small outlines, and offsets of ordinary shapes beside the clipper's own offsetter.
#include "frameworks/AppKitExtensions/ClipperExtensions.h"
#include "frameworks/AppKitExtensions/Editing_ZORAppKitExtensions.h"
#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"
#include "frameworks/AppKitExtensions/ZORClipperConversions.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/ZORShading.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string_view>
#include <vector>

namespace {

// Alternating curves and lines wandering to the right, 10,000 elements after the first move.
gfx::BezierPath longPath()
{
    gfx::BezierPath path;
    path.moveToPoint({ 0, 0 });
    for (int i = 0; i < 5000; ++i) {
        double x = i * 10.0;
        path.curveToPoint({ x + 8, 0 }, { x + 2, 6 }, { x + 6, -6 });
        path.lineToPoint({ x + 10, std::sin(i) * 3 });
    }
    return path;
}

// A star-like polygon of n vertices around a centre, its radius wobbling so that two of them overlap in many places.
gfx::BezierPath wobblyPolygon(int n, gfx::Point centre, double phase)
{
    gfx::BezierPath path;
    for (int i = 0; i < n; ++i) {
        double a = 2 * std::numbers::pi * i / n;
        double r = 100 + 10 * std::sin(17 * a + phase);
        gfx::Point p { centre.x + r * std::cos(a), centre.y + r * std::sin(a) };
        if (i == 0)
            path.moveToPoint(p);
        else
            path.lineToPoint(p);
    }
    path.closePath();
    return path;
}

// A closed comb: `teeth` points zigzagging along the top between heights 0 and `height`, a step apart, over a base
// 10 units deep. Its outline has teeth + 2 points.
gfx::BezierPath comb(int teeth, double height = 10, double step = 1)
{
    gfx::BezierPath path;
    path.moveToPoint({ 0, -10 });
    for (int i = 0; i < teeth; ++i)
        path.lineToPoint({ i * step, (i % 2) * height });
    path.lineToPoint({ (teeth - 1) * step, -10 });
    path.closePath();
    return path;
}

// A path of `segments` alternating curves and lines.
gfx::BezierPath wanderingPath(int segments)
{
    gfx::BezierPath path;
    path.moveToPoint({ 0, 0 });
    for (int i = 0; i < segments / 2; ++i) {
        double x = i * 10.0;
        path.curveToPoint({ x + 8, 0 }, { x + 2, 6 }, { x + 6, -6 });
        path.lineToPoint({ x + 10, std::sin(i) * 3 });
    }
    return path;
}

class CountingFactory final : public Text_ZORAppKitExtensions::PathObjectFactory,
                              public Text_ZORAppKitExtensions::PathLinkFactory {
public:
    fnd::Value placeObjectAtPoint(gfx::Point point, const gfx::BezierPath&, double, double, void*) override
    {
        return fnd::Value(point.x);
    }
    fnd::Value placeLinkFromPoint(gfx::Point, gfx::Point to, const gfx::BezierPath&, std::int64_t, void*) override
    {
        return fnd::Value(to.x);
    }
};

void BM_FlattenLongPath(benchmark::State& state)
{
    const auto path = longPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(path.flattened(0.6).elementCount());
}
BENCHMARK(BM_FlattenLongPath)->Unit(benchmark::kMillisecond);

void BM_MeasureLongPath(benchmark::State& state)
{
    const auto path = longPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(ZORNSBezierPathExtension::length(path));
}
BENCHMARK(BM_MeasureLongPath)->Unit(benchmark::kMillisecond);

void BM_PointAtLengthOnLongPath(benchmark::State& state)
{
    const auto path = longPath();
    const double half = ZORNSBezierPathExtension::length(path) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(ZORNSBezierPathExtension::pointOnPathAtLength(path, half));
}
BENCHMARK(BM_PointAtLengthOnLongPath)->Unit(benchmark::kMillisecond);

void BM_UnionOfTwoPolygons(benchmark::State& state)
{
    const auto a = wobblyPolygon(1000, { 0, 0 }, 0), b = wobblyPolygon(1000, { 60, 10 }, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipperExtensions::bezierPathByUnionWithPath(a, b)->elementCount());
}
BENCHMARK(BM_UnionOfTwoPolygons)->Unit(benchmark::kMillisecond);

// The comb grown by 1e4 with round joins: every tooth's join is a near half turn of the offset's radius, all of them
// overlapping. 1,000 and 10,000 points (the most the clipper is handed).
void BM_OffsetCombRound(benchmark::State& state)
{
    const auto path = std::make_shared<gfx::BezierPath>(comb(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, 1e4, gfx::LineJoinStyle::Round, 10)->elementCount());
}
BENCHMARK(BM_OffsetCombRound)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OffsetCombMiter(benchmark::State& state)
{
    const auto path = std::make_shared<gfx::BezierPath>(comb(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, 1e4, gfx::LineJoinStyle::Miter, 10)->elementCount());
}
BENCHMARK(BM_OffsetCombMiter)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_OffsetCombBevel(benchmark::State& state)
{
    const auto path = std::make_shared<gfx::BezierPath>(comb(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, 1e4, gfx::LineJoinStyle::Bevel, 10)->elementCount());
}
BENCHMARK(BM_OffsetCombBevel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// As many pieces as segments along a path of 2,000 and 20,000 segments: a small stamp, objects, links.
double pieceInterval(const gfx::BezierPath& path, int pieces)
{
    return ZORNSBezierPathExtension::length(path) / pieces;
}

void BM_StampAlongPath(benchmark::State& state)
{
    const int segments = static_cast<int>(state.range(0));
    const auto path = wanderingPath(segments);
    const auto stamp = wobblyPolygon(8, { 0, 0 }, 0);
    const double interval = pieceInterval(path, segments);
    for (auto _ : state)
        benchmark::DoNotOptimize(Text_ZORAppKitExtensions::bezierPathWithPath(path, stamp, interval)->elementCount());
}
BENCHMARK(BM_StampAlongPath)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ObjectsAlongPath(benchmark::State& state)
{
    const int segments = static_cast<int>(state.range(0));
    const auto path = wanderingPath(segments);
    const double interval = pieceInterval(path, segments);
    CountingFactory factory;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Text_ZORAppKitExtensions::placeObjectsOnPathAtInterval(path, interval, &factory, nullptr)->size());
}
BENCHMARK(BM_ObjectsAlongPath)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_LinksAlongPath(benchmark::State& state)
{
    const int segments = static_cast<int>(state.range(0));
    const auto path = wanderingPath(segments);
    const double interval = pieceInterval(path, segments);
    CountingFactory factory;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Text_ZORAppKitExtensions::placeLinksOnPathWithLinkLength(path, interval, &factory, nullptr)->size());
}
BENCHMARK(BM_LinksAlongPath)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Line fragments of 31 lines across a comb of 1,000 and 10,000 points, its teeth 300 units high: every line crosses
// every tooth.
void BM_LineFragmentsAcrossComb(benchmark::State& state)
{
    const auto path = comb(static_cast<int>(state.range(0)), 300, 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(Text_ZORAppKitExtensions::lineFragmentRectsForFixedLineheight(path, 10).size());
}
BENCHMARK(BM_LineFragmentsAcrossComb)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Lines of 0.01 over a shape 101 units high whose top edge has 500 and 5,000 teeth of 1 unit: 10,101 lines, most of
// them below the teeth.
void BM_ThinLinesUnderComb(benchmark::State& state)
{
    const int teeth = static_cast<int>(state.range(0)) * 2;
    gfx::BezierPath deep;
    deep.moveToPoint({ 0, -100 });
    for (int i = 0; i < teeth; ++i)
        deep.lineToPoint({ double(i), double(i % 2) });
    deep.lineToPoint({ double(teeth - 1), -100 });
    deep.closePath();
    for (auto _ : state)
        benchmark::DoNotOptimize(Text_ZORAppKitExtensions::lineFragmentRectsForFixedLineheight(deep, 0.01).size());
}
BENCHMARK(BM_ThinLinesUnderComb)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// Each operation at 10 and 100 times a typical path of some 100 elements (a glyph outline, a drawn shape).

void BM_LengthOfPath(benchmark::State& state)
{
    const auto path = wanderingPath(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ZORNSBezierPathExtension::length(path));
}
BENCHMARK(BM_LengthOfPath)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TrimPathFromCentre(benchmark::State& state)
{
    const auto path = std::make_shared<gfx::BezierPath>(wanderingPath(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(ZORNSBezierPathExtension::bezierPathByTrimmingFromCentre(path, 10)->elementCount());
}
BENCHMARK(BM_TrimPathFromCentre)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A hit test of the element under a point near the path's end, and of the partcode of its last point.
void BM_HitTestElement(benchmark::State& state)
{
    const auto path = wanderingPath(static_cast<int>(state.range(0)));
    const gfx::Point p = ZORNSBezierPathExtension::lastPoint(path);
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Editing_ZORAppKitExtensions::elementHitByPoint(path, { p.x - 1, p.y }, 2, &t));
        benchmark::DoNotOptimize(Editing_ZORAppKitExtensions::partcodeHitByPoint(path, p, 1));
    }
}
BENCHMARK(BM_HitTestElement)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Moving one point of the path, as a drag does at every step.
void BM_MoveControlPoint(benchmark::State& state)
{
    auto path = wanderingPath(static_cast<int>(state.range(0)));
    const auto partcode = Editing_ZORAppKitExtensions::partcodeForLastPoint(path);
    double y = 0;
    for (auto _ : state) {
        Editing_ZORAppKitExtensions::moveControlPointPartcode(path, partcode, { 5, y += 0.01 }, 0);
        benchmark::DoNotOptimize(path.elementCount());
    }
}
BENCHMARK(BM_MoveControlPoint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A text of 100 and 1,000 characters along a path of 1,000 and 10,000 segments.
void BM_TextOnPath(benchmark::State& state)
{
    const auto path = wanderingPath(static_cast<int>(state.range(0)));
    std::string text;
    for (int i = 0; i < state.range(0) / 10; ++i)
        text += static_cast<char>('a' + i % 26);
    const txt::AttributedString string(fnd::String(text), Text_ZORAppKitExtensions::textOnPathDefaultAttributes());
    for (auto _ : state)
        benchmark::DoNotOptimize(Text_ZORAppKitExtensions::bezierPathWithTextOnPath(path, string, 0)->elementCount());
}
BENCHMARK(BM_TextOnPath)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The crossings of one line with a comb of 1,000 and 10,000 points.
void BM_CrossingsOfALine(benchmark::State& state)
{
    const auto path = comb(static_cast<int>(state.range(0)), 300, 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(Text_ZORAppKitExtensions::intersectingPointsWithHorizontalLineAtY(path, 150).size());
}
BENCHMARK(BM_CrossingsOfALine)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The union of two wobbly polygons of 1,000 and 10,000 points each, and of two combs, whose every tooth the
// clipper's sweep meets as a local minimum.
void BM_UnionOfPolygons(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto a = wobblyPolygon(n, { 0, 0 }, 0), b = wobblyPolygon(n, { 60, 10 }, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipperExtensions::bezierPathByUnionWithPath(a, b)->elementCount());
}
BENCHMARK(BM_UnionOfPolygons)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_UnionOfCombs(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    gfx::BezierPath a = comb(n), b = comb(n);
    b.transformUsingAffineTransform(gfx::AffineTransform::translation(0.5, 3));
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipperExtensions::bezierPathByUnionWithPath(a, b)->elementCount());
}
BENCHMARK(BM_UnionOfCombs)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Rounded rectangles made one after another into one path, as a list of cards draws them.
void BM_RoundedRectangles(benchmark::State& state)
{
    for (auto _ : state) {
        gfx::BezierPath path;
        for (int i = 0; i < state.range(0); ++i)
            ZORNSBezierPathExtension::appendBezierPathWithRoundedRectangle(path, { 0, i * 30.0, 200, 24 }, 6);
        benchmark::DoNotOptimize(path.elementCount());
    }
}
BENCHMARK(BM_RoundedRectangles)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A point put into and taken out of the path again, as an editor does at a click.
void BM_InsertAndDeletePoint(benchmark::State& state)
{
    const auto path = wanderingPath(static_cast<int>(state.range(0)));
    const gfx::Point end = ZORNSBezierPathExtension::lastPoint(path);
    for (auto _ : state) {
        auto inserted = Editing_ZORAppKitExtensions::insertControlPointAtPoint(path, { end.x - 1, end.y }, 2, 0);
        auto removed = Editing_ZORAppKitExtensions::deleteControlPointForPartcode(
            inserted, Editing_ZORAppKitExtensions::partcodeForLastPoint(*inserted));
        benchmark::DoNotOptimize(removed->elementCount());
    }
}
BENCHMARK(BM_InsertAndDeletePoint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// An underline along a path of 1,000 and 10,000 segments with a gap every 10 units, as descenders break it.
void BM_UnderlineWithGaps(benchmark::State& state)
{
    const auto path = wanderingPath(static_cast<int>(state.range(0)));
    const double length = ZORNSBezierPathExtension::length(path);
    std::vector<gfx::Point> breaks;
    for (double x = 10; x + 12 < length; x += 10) {
        breaks.push_back({ x, 0 });
        breaks.push_back({ x + 2, 0 });
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Text_ZORAppKitExtensions::textLinePathWithMask(path, 1, 0, length, 2, 1, &breaks, 3)->elementCount());
}
BENCHMARK(BM_UnderlineWithGaps)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A path of 1,000 and 10,000 segments filled with a shading into a bitmap.
void BM_ShadingFill(benchmark::State& state)
{
    auto path = wanderingPath(static_cast<int>(state.range(0)));
    path.closePath();
    const auto bounds = path.bounds();
    auto context = gfx::GraphicsContext::createForBitmap(512, 256, { bounds.maxX(), 256 }, false);
    gfx::CurrentContextScope scope(context);
    const auto start = gfx::Color::colorWithDeviceRed(1, 0, 0), end = gfx::Color::colorWithDeviceRed(0, 0, 1);
    for (auto _ : state) {
        ZORShading::linearGradientFillWithStartColor(path, *start, *end);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShadingFill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// `count` dots of radius 5 on a square grid 12 apart, in one path.
gfx::BezierPath dots(int count)
{
    const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
    gfx::BezierPath path;
    for (int i = 0; i < count; ++i)
        path.appendBezierPathWithOvalInRect({ (i % columns) * 12.0, (i / columns) * 12.0, 10, 10 });
    return path;
}

// 1,000, 5,000 and 50,000 dots intersected with a rectangle around all of them: some 170 points a dot at the
// clipper's flattening.
void BM_DotsIntersectRectangle(benchmark::State& state)
{
    const auto path = dots(static_cast<int>(state.range(0)));
    const auto rectangle = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(path.bounds(), -1, -1));
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipperExtensions::bezierPathByIntersectingPath(path, *rectangle)->elementCount());
}
BENCHMARK(BM_DotsIntersectRectangle)->Arg(1000)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Ordinary shapes offset, beside the clipper's own offsetter run on the same outlines (converted, resolved by the
// even-odd rule, offset in one go, converted back), so the ratio can be read off: a circle of radius 50 grown by 5,
// and a label (glyph outlines with 12 holes) grown by 1, both with round joins.
std::shared_ptr<gfx::BezierPath> circle()
{
    return gfx::BezierPath::bezierPathWithOvalInRect({ -50, -50, 100, 100 });
}

std::shared_ptr<gfx::BezierPath> label()
{
    const auto font = gfx::Font::fontWithName("DejaVu Sans", 48);
    auto path = gfx::BezierPath::bezierPath();
    path->moveToPoint({ 0, 0 });
    std::vector<gfx::Glyph> glyphs;
    for (char c : std::string_view("BARCODE 80946"))
        glyphs.push_back(font->glyphForCharacter(static_cast<char32_t>(c)));
    gfx::appendBezierPathWithGlyphs(*path, glyphs, *font);
    return path;
}

std::shared_ptr<gfx::BezierPath> offsettersOffset(const gfx::BezierPath& path, double offset)
{
    ClipperLib::Clipper resolve;
    resolve.AddPaths(ZORClipperPathToPolygons(path, ZORClipperScale), ClipperLib::ptSubject, true);
    ClipperLib::Paths outlines;
    resolve.Execute(ClipperLib::ctUnion, outlines, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    ClipperLib::ClipperOffset offsetter(10, 0.25);
    offsetter.AddPaths(outlines, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths solution;
    offsetter.Execute(solution, offset * ZORClipperScale);
    return ZORClipperPolygonsToPath(solution, ZORClipperScale);
}

void BM_OffsetCircle(benchmark::State& state)
{
    const auto path = circle();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, 5, gfx::LineJoinStyle::Round, 10)->elementCount());
}
BENCHMARK(BM_OffsetCircle)->Unit(benchmark::kMillisecond);

void BM_OffsetCircleByTheOffsetter(benchmark::State& state)
{
    const auto path = circle();
    for (auto _ : state)
        benchmark::DoNotOptimize(offsettersOffset(*path, 5)->elementCount());
}
BENCHMARK(BM_OffsetCircleByTheOffsetter)->Unit(benchmark::kMillisecond);

void BM_OffsetLabel(benchmark::State& state)
{
    const auto path = label();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, 1, gfx::LineJoinStyle::Round, 10)->elementCount());
}
BENCHMARK(BM_OffsetLabel)->Unit(benchmark::kMillisecond);

void BM_OffsetLabelByTheOffsetter(benchmark::State& state)
{
    const auto path = label();
    for (auto _ : state)
        benchmark::DoNotOptimize(offsettersOffset(*path, 1)->elementCount());
}
BENCHMARK(BM_OffsetLabelByTheOffsetter)->Unit(benchmark::kMillisecond);

// 5,000 dots of radius 5 shrunk by half a unit, beside the offsetter: every few joins of a shrinking curve turn
// inwards and loop through their vertex, and one run over many outlines side by side walks far more of them.
void BM_OffsetDotsShrunk(benchmark::State& state)
{
    const auto path = std::make_shared<gfx::BezierPath>(dots(5000));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ClipperExtensions::bezierPathWithOffset(path, -0.5, gfx::LineJoinStyle::Round, 10)->elementCount());
}
BENCHMARK(BM_OffsetDotsShrunk)->Unit(benchmark::kMillisecond);

void BM_OffsetDotsShrunkByTheOffsetter(benchmark::State& state)
{
    const auto path = dots(5000);
    for (auto _ : state)
        benchmark::DoNotOptimize(offsettersOffset(path, -0.5)->elementCount());
}
BENCHMARK(BM_OffsetDotsShrunkByTheOffsetter)->Unit(benchmark::kMillisecond);

// The comb of 1,000 points grown by 1e4 as the offsetter makes it in one go, beside BM_OffsetCombRound/1000 (the
// 10,000 points took it minutes).
void BM_OffsetCombRoundByTheOffsetter(benchmark::State& state)
{
    const auto path = comb(1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(offsettersOffset(path, 1e4)->elementCount());
}
BENCHMARK(BM_OffsetCombRoundByTheOffsetter)->Unit(benchmark::kMillisecond);

}
