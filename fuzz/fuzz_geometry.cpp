// Geometry arrives from stored defaults and archives: any bytes must parse to a value or to zero. Paths from the same
// places are combined and offset through the polygon clipper: any path, offset and miter limit must give a path (an
// empty one when the clipper cannot hold it), or none when refused as too large, in bounded time and memory.
#include "frameworks/AppKitExtensions/ClipperExtensions.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Geometry.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// The bytes read as a small program: numbers and choices taken from the front, zeros once they run out.
class GeometryFuzzReader {
public:
    GeometryFuzzReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    std::uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }
    // Mostly small coordinates, now and then one of the sizes that have hurt before or any double at all: huge
    // curves flatten into thousands of segments, so inputs made only of them would explore slowly.
    double number()
    {
        static constexpr double Extremes[]
            = { 0, 1, -1, 0.05, 1e4, 1e11, 1e13, -1e13, 4.6e17, 1e18, 1e300, -1e300, 1e-300, NAN, HUGE_VAL, -HUGE_VAL };
        auto choice = byte();
        if (choice < 244)
            return (double(std::int8_t(byte())) * 256 + byte()) / 64;
        if (choice < 252)
            return Extremes[byte() % std::size(Extremes)];
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | byte();
        return std::bit_cast<double>(bits);
    }
    gfx::Point point() { return { number(), number() }; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position { 0 };
};

// A handful of elements: enough for holes, curves and self-crossings, few enough that an input stays quick (each
// curve may flatten into thousands of segments).
constexpr int GeometryFuzzMaxElements = 8;

std::shared_ptr<gfx::BezierPath> geometryFuzzPath(GeometryFuzzReader& in)
{
    auto path = gfx::BezierPath::bezierPath();
    const int count = in.byte() % (GeometryFuzzMaxElements + 1);
    for (int i = 0; i < count; ++i) {
        const int kind = in.byte() % 6;
        // Lines and curves go on from a point: the first of them starts the path where it is.
        if ((kind == 1 || kind == 2) && !path->hasCurrentPoint())
            path->moveToPoint({});
        switch (kind) {
        case 0:
            path->moveToPoint(in.point());
            break;
        case 1:
            path->lineToPoint(in.point());
            break;
        case 2: {
            auto c1 = in.point();
            auto c2 = in.point();
            path->curveToPoint(in.point(), c1, c2);
            break;
        }
        case 3:
            path->closePath();
            break;
        case 4:
            path->appendBezierPathWithRect({ in.point(), gfx::Size { in.number(), in.number() } });
            break;
        case 5:
            path->appendBezierPathWithOvalInRect({ in.point(), gfx::Size { in.number(), in.number() } });
            break;
        }
    }
    return path;
}

void geometryFuzzPaths(const std::uint8_t* data, std::size_t size)
{
    GeometryFuzzReader in(data, size);
    auto path = geometryFuzzPath(in);
    auto other = geometryFuzzPath(in);
    const double offset = in.number();
    const auto join = static_cast<gfx::LineJoinStyle>(in.byte() % 3);
    const double miterLimit = in.number();
    // Refused as too large, the path is combined as it came.
    auto grown = ClipperExtensions::bezierPathWithOffset(path, offset, join, miterLimit);
    if (!grown)
        grown = path;
    // What the clipper made holds its integers brought back, never a number that is none (an offset of 0 gives the
    // path itself, as it came).
    for (const auto& p : grown == path ? std::vector<gfx::Point> {} : grown->allPoints()) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            __builtin_trap();
    }
    ClipperExtensions::bezierPathByApplyingBooleanOperation(*grown, in.byte() % 5, *other);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fnd::String text(std::string_view(reinterpret_cast<const char*>(data), size));
    gfx::Rect r = gfx::rectFromString(text);
    // What parses prints and parses back to the same value.
    if (gfx::rectFromString(gfx::stringFromRect(r)) != r)
        __builtin_trap();
    gfx::pointFromString(text);
    gfx::sizeFromString(text);
    fnd::Range range = gfx::rangeFromString(text);
    if (gfx::rangeFromString(gfx::stringFromRange(range)) != range)
        __builtin_trap();
    geometryFuzzPaths(data, size);
    return 0;
}
