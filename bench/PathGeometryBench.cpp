// Path geometry at scale: flattening and measuring a path of 10,000 curves and lines, and the union of two polygons of
// 1,000 vertices each through the polygon clipper.
#include "frameworks/AppKitExtensions/ClipperExtensions.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

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

}
