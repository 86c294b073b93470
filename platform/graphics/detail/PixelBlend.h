#pragma once

// Premultiplied colour laid over premultiplied pixels as pixman composites them (source over), with its rounding of
// every product x·c/255, so pixels written here match the ones Cairo writes. Private to the graphics module.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx::detail {

// A premultiplied pixel scaled by 0..255, rounded as x·c/255; two channels a lane.
inline std::uint32_t scaledPixel(std::uint32_t p, std::uint32_t c)
{
    std::uint32_t rb = (p & 0xFF00FF) * c + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((p >> 8) & 0xFF00FF) * c + 0x800080;
    ag = ((ag + ((ag >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

// The source over one pixel.
inline std::uint32_t overPixel(std::uint32_t source, std::uint32_t pixel)
{
    return source + scaledPixel(pixel, 255 - (source >> 24));
}

#if defined(__SSE2__)
// The same on 16-bit lanes (two pixels, a channel each): v·c/255 rounded.
inline __m128i scaledLanes(__m128i v, __m128i c)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(v, c), _mm_set1_epi16(0x80));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Source over pixels, both on 16-bit lanes.
inline __m128i overLanes(__m128i source, __m128i pixels)
{
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
    return _mm_add_epi16(source, scaledLanes(pixels, _mm_sub_epi16(_mm_set1_epi16(255), alpha)));
}
#endif

// One colour over a row of pixels, everywhere wholly (a translucent rectangle).
inline void overRow(std::uint32_t* row, int count, std::uint32_t colour)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i colours = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    for (; x + 4 <= count; x += 4) {
        auto* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i pixels = _mm_loadu_si128(at);
        const __m128i low = overLanes(colours, _mm_unpacklo_epi8(pixels, zero));
        const __m128i high = overLanes(colours, _mm_unpackhi_epi8(pixels, zero));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
#endif
    for (; x < count; ++x)
        row[x] = overPixel(colour, row[x]);
}

}
