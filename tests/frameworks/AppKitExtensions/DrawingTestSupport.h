#pragma once

#include "support/Canvas.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace drawing {

using RGBA = std::array<double, 4>;

inline RGBA grey(double g, double a = 1)
{
    return { g, g, g, a };
}

inline std::string show(const RGBA& c)
{
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) + ", "
        + std::to_string(c[3]) + ")";
}

// A colour's components, or NaNs for a null colour (so that a comparison fails and says so).
inline RGBA rgba(const gfx::ColorPtr& c)
{
    if (!c)
        return { NAN, NAN, NAN, NAN };
    return c->rgba();
}

inline ::testing::AssertionResult near(const RGBA& actual, const RGBA& expected, double tolerance = 1e-9)
{
    for (int k = 0; k < 4; ++k)
        if (!(std::fabs(actual[k] - expected[k]) <= tolerance))
            return ::testing::AssertionFailure() << show(actual) << " is not " << show(expected);
    return ::testing::AssertionSuccess();
}

struct Stop {
    RGBA color;
    double location;
};

inline ::testing::AssertionResult hasStops(const std::shared_ptr<gfx::Gradient>& gradient, std::vector<Stop> expected)
{
    if (!gradient)
        return ::testing::AssertionFailure() << "no gradient";
    if (gradient->numberOfColorStops() != static_cast<std::int64_t>(expected.size()))
        return ::testing::AssertionFailure() << gradient->numberOfColorStops() << " stops";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto stop = gradient->colorStopAtIndex(static_cast<std::int64_t>(i));
        if (stop.location != expected[i].location)
            return ::testing::AssertionFailure() << "stop " << i << " at " << stop.location;
        if (auto same = near(rgba(stop.color), expected[i].color, 1e-12); !same)
            return same << " (stop " << i << ")";
    }
    return ::testing::AssertionSuccess();
}

// A premultiplied device pixel as straight RGBA in 0..1 (0 for a transparent pixel).
inline RGBA straight(std::uint32_t p)
{
    double a = ((p >> 24) & 0xFF) / 255.0;
    if (a == 0)
        return { 0, 0, 0, 0 };
    return { ((p >> 16) & 0xFF) / 255.0 / a, ((p >> 8) & 0xFF) / 255.0 / a, (p & 0xFF) / 255.0 / a, a };
}

// A colour as it lands on the canvas when drawn over nothing: premultiplied and rounded to bytes.
inline std::uint32_t pixelOf(const RGBA& c)
{
    auto byte = [](double v) { return static_cast<unsigned>(std::lround(v * 255)); };
    return argb(byte(c[3]), byte(c[0] * c[3]), byte(c[1] * c[3]), byte(c[2] * c[3]));
}

inline ::testing::AssertionResult pixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 2)
{
    if (pixelDistance(actual, expected) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[64];
    std::snprintf(text, sizeof text, "pixel %08x is not %08x", actual, expected);
    return ::testing::AssertionFailure() << text;
}

// Writes the canvas as a PNG beside the other test output, to be looked at.
inline void savePNG(Canvas& canvas, const std::string& name)
{
    auto pixels = *canvas.context().pixelBuffer();
    auto rep = gfx::BitmapImageRep::create(pixels.width, pixels.height, gfx::BitmapLayout::ARGB32Premultiplied);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            rep->pixelBuffer().row(y)[x] = pixels.pixel(x, y);
    auto path = std::filesystem::temp_directory_path() / (name + ".png");
    EXPECT_TRUE(rep->writeToFile(path.string(), gfx::BitmapImageFileType::PNG)) << path;
}

}
