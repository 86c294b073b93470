#pragma once

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

// An owned bitmap context made current for the test's scope, with pixel reads in y-up device coordinates.
class Canvas {
public:
    Canvas(int width, int height, bool flipped = false, gfx::Size pointSize = {})
        : m_context(gfx::GraphicsContext::createForBitmap(width, height, pointSize, flipped))
        , m_scope(m_context)
    {
    }

    gfx::GraphicsContext& context() { return *m_context; }
    const std::shared_ptr<gfx::GraphicsContext>& shared() { return m_context; }

    // Premultiplied ARGB of device pixel column x, row y counted from the bottom.
    std::uint32_t at(int x, int y)
    {
        auto pixels = *m_context->pixelBuffer();
        return pixels.pixel(x, pixels.height - 1 - y);
    }
    int alpha(int x, int y) { return gfx::alphaOf(at(x, y)); }

    // Rows top first, one character per pixel: '#' opaque, '.' transparent, '+' partly covered.
    std::string picture()
    {
        auto pixels = *m_context->pixelBuffer();
        std::ostringstream out;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                int a = gfx::alphaOf(pixels.pixel(x, y));
                out << (a == 255 ? '#' : a == 0 ? '.' : '+');
            }
            out << '\n';
        }
        return out.str();
    }

    // Pixels whose alpha differs by more than threshold from every pixel within one pixel of the same place in the
    // other canvas, counted both ways: text compared at the tolerance its rasterising needs (glyphs stand on whole
    // pixels and hinting moves edges by up to a pixel).
    int alphaDifferencesBeyondOnePixel(Canvas& other, int threshold = 64)
    {
        auto mine = *m_context->pixelBuffer();
        auto theirs = *other.m_context->pixelBuffer();
        const int w = std::min(mine.width, theirs.width), h = std::min(mine.height, theirs.height);
        auto differs = [&](const gfx::PixelBufferView& a, const gfx::PixelBufferView& b, int x, int y) {
            const int value = gfx::alphaOf(a.pixel(x, y));
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h
                        && std::abs(value - gfx::alphaOf(b.pixel(nx, ny))) <= threshold)
                        return false;
                }
            return true;
        };
        int count = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                count += (differs(mine, theirs, x, y) ? 1 : 0) + (differs(theirs, mine, x, y) ? 1 : 0);
        return count;
    }

private:
    std::shared_ptr<gfx::GraphicsContext> m_context;
    gfx::CurrentContextScope m_scope;
};

constexpr std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Channel-wise distance between two pixels.
inline int pixelDistance(std::uint32_t p, std::uint32_t q)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int d = int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}
