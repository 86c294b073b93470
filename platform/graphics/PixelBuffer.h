#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

// A view of premultiplied ARGB32 pixels: one native-endian 32-bit word per pixel, alpha in the top byte, rows from
// the top down, `stride` bytes apart. The memory belongs to whoever made the view.
struct PixelBufferView {
    std::uint8_t* data { nullptr };
    int width { 0 };
    int height { 0 };
    std::ptrdiff_t stride { 0 };

    bool isValid() const { return data && width > 0 && height > 0 && stride >= std::ptrdiff_t(width) * 4; }
    std::uint32_t* row(int y) const { return reinterpret_cast<std::uint32_t*>(data + y * stride); }
    std::uint32_t pixel(int x, int y) const { return row(y)[x]; }
};

struct ConstPixelBufferView {
    const std::uint8_t* data { nullptr };
    int width { 0 };
    int height { 0 };
    std::ptrdiff_t stride { 0 };

    ConstPixelBufferView() = default;
    ConstPixelBufferView(const std::uint8_t* d, int w, int h, std::ptrdiff_t s)
        : data(d)
        , width(w)
        , height(h)
        , stride(s)
    {
    }
    ConstPixelBufferView(const PixelBufferView& v)
        : data(v.data)
        , width(v.width)
        , height(v.height)
        , stride(v.stride)
    {
    }

    bool isValid() const { return data && width > 0 && height > 0 && stride >= std::ptrdiff_t(width) * 4; }
    const std::uint32_t* row(int y) const { return reinterpret_cast<const std::uint32_t*>(data + y * stride); }
    std::uint32_t pixel(int x, int y) const { return row(y)[x]; }
};

// Components of one premultiplied pixel word.
constexpr std::uint8_t alphaOf(std::uint32_t p)
{
    return static_cast<std::uint8_t>(p >> 24);
}
constexpr std::uint8_t redOf(std::uint32_t p)
{
    return static_cast<std::uint8_t>(p >> 16);
}
constexpr std::uint8_t greenOf(std::uint32_t p)
{
    return static_cast<std::uint8_t>(p >> 8);
}
constexpr std::uint8_t blueOf(std::uint32_t p)
{
    return static_cast<std::uint8_t>(p);
}
constexpr std::uint32_t packPixel(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

}
