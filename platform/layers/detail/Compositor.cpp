#include "platform/layers/detail/Compositor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace ui::detail {

void extendEdges(gfx::PixelBufferView pixels)
{
    const int m = SourceMargin;
    const int w = pixels.width - 2 * m, h = pixels.height - 2 * m;
    if (w <= 0 || h <= 0)
        return;
    for (int y = m; y < m + h; ++y) {
        auto* row = pixels.row(y);
        std::fill(row, row + m, row[m]);
        std::fill(row + m + w, row + pixels.width, row[m + w - 1]);
    }
    for (int y = 0; y < m; ++y) {
        std::copy_n(pixels.row(m), pixels.width, pixels.row(y));
        std::copy_n(pixels.row(m + h - 1), pixels.width, pixels.row(m + h + y));
    }
}

namespace {

std::atomic<CompositorKernels> compositorKernels { CompositorKernels::Fastest };

// lround for coverage's non-negative values, without the library call.
[[gnu::always_inline]] inline std::uint8_t coverageByte(double v)
{
    const auto whole = std::int32_t(v);
    return std::uint8_t(whole + (v - whole >= 0.5));
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define COMPOSITOR_HAS_AVX2_KERNEL 1
// Loops for processors that have AVX2; the build's baseline stays SSE2, and they are chosen at run time.
#define COMPOSITOR_AVX2 __attribute__((target("avx2")))
#define COMPOSITOR_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

bool compositorHasAVX2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

void partlyCoveredAVX2(
    const double* from, const double* to, const int* xs, int count, std::uint32_t level, std::uint8_t* at);
#endif

// The antialiased coverage of a convex outline (target coordinates), a pixel row at a time: each row is cut by
// sixteen lines across it, and each line's span covers the pixels it crosses by the length it crosses them. Pixels
// that every line crosses wholly are covered wholly without adding anything up.
class CompositorRowCoverage {
public:
    explicit CompositorRowCoverage(const std::vector<gfx::Point>& outline)
    {
        const std::size_t n = outline.size();
        for (std::size_t i = 0; i < n; ++i) {
            auto a = outline[i], b = outline[(i + 1) % n];
            m_top = std::min(m_top, a.y);
            m_bottom = std::max(m_bottom, a.y);
            if (a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y))
                continue;
            if (a.y > b.y)
                std::swap(a, b);
            m_edges.push_back({ a.x, a.y, b.y, (b.x - a.x) / (b.y - a.y) });
        }
    }

    // Fills the row's coverage (0 to level) for pixels [first, last] of the box's columns [x0, x1), into
    // row[x - x0]; false when the outline misses the row.
    bool fill(int y, int x0, int x1, std::uint32_t level, std::uint8_t* row, int& first, int& last)
    {
        if (y + 1 <= m_top || y >= m_bottom)
            return false;
        double ly[Lines], from[Lines], to[Lines];
        for (int i = 0; i < Lines; ++i) {
            ly[i] = y + (i + 0.5) / Lines;
            from[i] = std::numeric_limits<double>::infinity();
            to[i] = -from[i];
        }
        // Only the edges that reach the row, in their order; one that spans it wholly (most) crosses every line.
        for (const auto& e : m_edges) {
            if (!(e.y0 < y + 1 && e.y1 > y))
                continue;
            if (e.y0 <= ly[0] && ly[Lines - 1] < e.y1) {
                int i = 0;
#if defined(__SSE2__)
                // Two lines at a time; minpd and maxpd take the crossing where std::min and std::max do.
                const __m128d x0 = _mm_set1_pd(e.x0), y0 = _mm_set1_pd(e.y0), slope = _mm_set1_pd(e.slope);
                for (; i < Lines; i += 2) {
                    const __m128d x = _mm_add_pd(x0, _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(ly + i), y0), slope));
                    _mm_storeu_pd(from + i, _mm_min_pd(x, _mm_loadu_pd(from + i)));
                    _mm_storeu_pd(to + i, _mm_max_pd(x, _mm_loadu_pd(to + i)));
                }
#endif
                for (; i < Lines; ++i) {
                    const double x = e.x0 + (ly[i] - e.y0) * e.slope;
                    from[i] = std::min(from[i], x);
                    to[i] = std::max(to[i], x);
                }
                continue;
            }
            for (int i = 0; i < Lines; ++i)
                if (ly[i] >= e.y0 && ly[i] < e.y1) {
                    const double x = e.x0 + (ly[i] - e.y0) * e.slope;
                    from[i] = std::min(from[i], x);
                    to[i] = std::max(to[i], x);
                }
        }
        double outerFrom = std::numeric_limits<double>::infinity(), outerTo = -outerFrom;
        double innerFrom = -outerFrom, innerTo = outerFrom;
        for (int i = 0; i < Lines; ++i) {
            outerFrom = std::min(outerFrom, from[i]);
            outerTo = std::max(outerTo, to[i]);
            innerFrom = std::max(innerFrom, from[i]);
            innerTo = std::min(innerTo, to[i]);
        }
        if (!(outerFrom < outerTo))
            return false;
        // Clamped while still doubles: a plane far beyond the target (a view thousands of points long) has edges
        // no int holds.
        auto column = [&](double x) { return int(std::clamp(x, double(x0), double(x1))); };
        first = column(std::floor(outerFrom));
        const int end = column(std::ceil(outerTo));
        if (first >= end)
            return false;
        last = end - 1;
        // Wholly covered: [solidFrom, solidTo).
        int solidFrom = end, solidTo = end;
        if (innerFrom < innerTo) {
            solidFrom = std::clamp(column(std::ceil(innerFrom)), first, end);
            solidTo = std::clamp(column(std::floor(innerTo)), solidFrom, end);
        }
        if (m_partial.size() < std::size_t(end - first))
            m_partial.resize(std::size_t(end - first));
        int count = 0;
        for (int x = first; x < solidFrom; ++x)
            m_partial[std::size_t(count++)] = x;
        for (int x = solidTo; x < end; ++x)
            m_partial[std::size_t(count++)] = x;
        partly(from, to, m_partial.data(), count, level, row - x0);
        std::fill(row + (solidFrom - x0), row + (solidTo - x0), std::uint8_t(level));
        return true;
    }

private:
    static constexpr int Lines = 16;

    // The pixels xs[0 .. count) that the lines cross in part: each the lengths of the lines' spans within it,
    // added up in the lines' order, as a share of the lines, times the level. Several pixels at a time, each in its
    // own lane with the same numbers as alone, so that the sums' chains of additions (most of the time here)
    // overlap: a row's part-covered pixels at both ends go together.
    static void partly(
        const double* from, const double* to, const int* xs, int count, std::uint32_t level, std::uint8_t* at)
    {
        const auto kernels = compositorKernels.load(std::memory_order_relaxed);
#if defined(COMPOSITOR_HAS_AVX2_KERNEL)
        if (kernels == CompositorKernels::Fastest && compositorHasAVX2()) {
            partlyCoveredAVX2(from, to, xs, count, level, at);
            return;
        }
#endif
        int k = 0;
#if defined(__SSE2__)
        if (kernels != CompositorKernels::OneByOne) {
            const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd(1), lines = _mm_set1_pd(Lines),
                          scale = _mm_set1_pd(level);
            for (; k + 2 <= count; k += 2) {
                const __m128d left = _mm_setr_pd(xs[k], xs[k + 1]), right = _mm_add_pd(left, one);
                __m128d sum = zero;
                for (int i = 0; i < Lines; ++i) {
                    const __m128d span
                        = _mm_sub_pd(_mm_min_pd(_mm_set1_pd(to[i]), right), _mm_max_pd(_mm_set1_pd(from[i]), left));
                    sum = _mm_add_pd(sum, _mm_min_pd(_mm_max_pd(span, zero), one));
                }
                double v[2];
                _mm_storeu_pd(v, _mm_mul_pd(_mm_div_pd(sum, lines), scale));
                at[xs[k]] = coverageByte(v[0]);
                at[xs[k + 1]] = coverageByte(v[1]);
            }
        }
#endif
        for (; k < count; ++k) {
            const int x = xs[k];
            double sum = 0;
            for (int i = 0; i < Lines; ++i)
                sum += std::clamp(std::min(to[i], x + 1.0) - std::max(from[i], double(x)), 0.0, 1.0);
            at[x] = coverageByte(sum / Lines * level);
        }
    }

    struct Edge {
        double x0, y0, y1, slope;
    };
    std::vector<Edge> m_edges;
    std::vector<int> m_partial;
    double m_top { std::numeric_limits<double>::infinity() }, m_bottom { -std::numeric_limits<double>::infinity() };
};

// Premultiplied pixels, two channels at a time in the red-blue and alpha-green lanes.
[[gnu::always_inline, maybe_unused]] inline std::uint32_t lerpPixels(
    std::uint32_t a, std::uint32_t b, std::uint32_t w) // w in 0..256
{
    const std::uint32_t rb = ((((a & 0xFF00FF) * (256 - w)) + ((b & 0xFF00FF) * w)) >> 8) & 0xFF00FF;
    const std::uint32_t ag = (((((a >> 8) & 0xFF00FF) * (256 - w)) + (((b >> 8) & 0xFF00FF) * w)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

#if defined(__SSE2__)
// A pixel's channels in four 16-bit lanes (blue, green, red, alpha), where the steps below keep them between
// sampling and storing; and back, packed.
[[gnu::always_inline]] inline __m128i pixelLanes(std::uint32_t p)
{
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(p)), _mm_setzero_si128());
}

[[gnu::always_inline]] inline std::uint32_t lanesPixel(__m128i v)
{
    return std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}

// x · m / 255 in each lane, rounded as scalePixel does (m in 0..255, per lane).
[[gnu::always_inline]] inline __m128i scaleLanes(__m128i v, __m128i m)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(v, m), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Bilinear blend of the pixels p[0], p[1] (upper row) and q[0], q[1] (lower row), weights in 0..256: the same
// numbers as lerping each row by wx and then the two by wy, with the four pixels' channels side by side. The
// result is in the low four lanes.
[[gnu::always_inline]] inline __m128i bilinearLanes(
    const std::uint32_t* p, const std::uint32_t* q, std::uint32_t wx, std::uint32_t wy)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i upper = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    const __m128i lower = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
    const __m128i left = _mm_unpacklo_epi64(upper, lower), right = _mm_unpackhi_epi64(upper, lower);
    const __m128i rows = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, _mm_set1_epi16(short(256 - wx))),
                                            _mm_mullo_epi16(right, _mm_set1_epi16(short(wx)))),
        8);
    const __m128i below = _mm_unpackhi_epi64(rows, rows);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(rows, _mm_set1_epi16(short(256 - wy))),
                              _mm_mullo_epi16(below, _mm_set1_epi16(short(wy)))),
        8);
}

// Each lane group's alpha (lane 3 of each four) in all four of its lanes.
[[gnu::always_inline]] inline __m128i alphaLanes(__m128i v)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// under() on lanes: the destination over the source, one pixel (low lanes) or two.
[[gnu::always_inline]] inline __m128i underLanes(__m128i source, __m128i destination)
{
    return _mm_add_epi16(destination, scaleLanes(source, _mm_sub_epi16(_mm_set1_epi16(255), alphaLanes(destination))));
}
#else
[[gnu::always_inline]] inline std::uint32_t bilinear(
    const std::uint32_t* p, const std::uint32_t* q, std::uint32_t wx, std::uint32_t wy)
{
    return lerpPixels(lerpPixels(p[0], p[1], wx), lerpPixels(q[0], q[1], wx), wy);
}
#endif

[[gnu::always_inline]] inline std::uint32_t scalePixel(
    std::uint32_t p, std::uint32_t m) // m in 0..255, rounded as x·m/255
{
    std::uint32_t rb = (p & 0xFF00FF) * m + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((p >> 8) & 0xFF00FF) * m + 0x800080;
    ag = ((ag + ((ag >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

// What is in front (destination) over what goes under it (source). Nothing in front yet (most pixels, for the
// frontmost plane over them) leaves the source as it is: x · 255 / 255.
[[gnu::always_inline]] inline std::uint32_t under(std::uint32_t source, std::uint32_t destination)
{
    if (destination == 0)
        return source;
    return destination + scalePixel(source, 255 - (destination >> 24));
}

// The edge pixels of a picture repeated into a 2 × 2 block whose upper-left pixel (x0, y0) lies on or past its last
// column or row: the upper row in clamped[0..1], the lower in clamped[2..3]. Out of line: only pixels at a
// picture's edges come here.
[[gnu::noinline]] void clampedBlock(
    const std::uint8_t* data, std::ptrdiff_t stride, int width, int height, int x0, int y0, std::uint32_t* clamped)
{
    auto fetch = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(
            data + std::clamp(y, 0, height - 1) * stride)[std::clamp(x, 0, width - 1)];
    };
    clamped[0] = fetch(x0, y0);
    clamped[1] = fetch(x0 + 1, y0);
    clamped[2] = fetch(x0, y0 + 1);
    clamped[3] = fetch(x0 + 1, y0 + 1);
}

// A picture sampled bilinearly at 16.16 fixed-point positions (pixel centres at whole numbers), with the tint its
// samples are multiplied by (blue, green, red, alpha, out of 256). Kernels copy it into locals, which stores to the
// target cannot be taken to change.
struct CompositorSource {
    const std::uint8_t* data;
    std::ptrdiff_t stride;
    int width, height;
    std::uint32_t tint[4];

    // Whether rows, columns and the row step in pixels fit 16 bits, as the kernels that take four pixels at a time
    // need (pictures wider or taller than 32767 pixels go one pixel at a time).
    bool fitsGroups() const { return stride % 4 == 0 && stride / 4 <= 32767 && height <= 32767; }

    // The upper and lower rows of the 2 × 2 block at the position: in the picture, or at its edges in `clamped`.
    [[gnu::always_inline]] void block(std::int32_t fx, std::int32_t fy, std::uint32_t* clamped,
        const std::uint32_t*& upper, const std::uint32_t*& lower) const
    {
        const int x0 = fx >> 16, y0 = fy >> 16;
        if (unsigned(x0) < unsigned(width - 1) && unsigned(y0) < unsigned(height - 1)) [[likely]] {
            const std::uint8_t* at = data + y0 * stride + std::ptrdiff_t(x0) * 4;
            upper = reinterpret_cast<const std::uint32_t*>(at);
            lower = reinterpret_cast<const std::uint32_t*>(at + stride);
            return;
        }
        clampedBlock(data, stride, width, height, x0, y0, clamped);
        upper = clamped;
        lower = clamped + 2;
    }
};

// 16.16 positions step in 32 bits: the positions themselves stay within ±30000 pixels, so wrapping in the steps
// between (a step may not fit) leaves them exact.
[[gnu::always_inline]] inline std::int32_t stepped(std::int32_t f, std::int32_t step, int count)
{
    return std::int32_t(std::uint32_t(f) + std::uint32_t(step) * std::uint32_t(count));
}

[[gnu::always_inline]] inline std::uint32_t weightOf(std::int32_t f)
{
    return (std::uint32_t(f & 0xFFFF) + 128) >> 8;
}

// One pixel: the sample at (fx, fy) tinted, covered by c and put under the front pixel; the front pixel as it is
// where c is 0 or the front is opaque.
template <bool Tinted>
[[gnu::always_inline]] inline void compositeOne(
    const CompositorSource& s, std::int32_t fx, std::int32_t fy, std::uint32_t c, std::uint32_t* out)
{
    const std::uint32_t front = *out;
    if (c == 0 || (front >> 24) == 255)
        return;
    std::uint32_t clamped[4];
    const std::uint32_t *upper, *lower;
    s.block(fx, fy, clamped, upper, lower);
#if defined(__SSE2__)
    __m128i sample = bilinearLanes(upper, lower, weightOf(fx), weightOf(fy));
    if constexpr (Tinted) {
        const __m128i tint
            = _mm_setr_epi16(short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]), 0, 0, 0, 0);
        sample = _mm_srli_epi16(_mm_mullo_epi16(sample, tint), 8);
    }
    if (c != 255)
        sample = scaleLanes(sample, _mm_set1_epi16(short(c)));
    *out = front == 0 ? lanesPixel(sample) : lanesPixel(underLanes(sample, pixelLanes(front)));
#else
    std::uint32_t sample = bilinear(upper, lower, weightOf(fx), weightOf(fy));
    if constexpr (Tinted)
        sample = (((sample >> 24) * s.tint[3]) >> 8) << 24 | ((((sample >> 16) & 0xFF) * s.tint[2]) >> 8) << 16
            | ((((sample >> 8) & 0xFF) * s.tint[1]) >> 8) << 8 | (((sample & 0xFF) * s.tint[0]) >> 8);
    *out = under(c == 255 ? sample : scalePixel(sample, c), front);
#endif
}

// Runs of pixels whose source positions step linearly from (fx, fy) by (dx, dy): count pixels from start.
struct CompositorRun {
    std::int32_t fx, fy, dx, dy;
    int start, count;
};

// Composites a row's runs, given the row's coverage and pixels; one call a row, so the constants are set up once.
using CompositorRowKernel = void (*)(const CompositorSource&, const CompositorRun* runs, int runCount,
    const std::uint8_t* coverageRow, std::uint32_t* outRow);

template <bool Tinted>
void compositeRunsOneByOne(const CompositorSource& source, const CompositorRun* runs, int runCount,
    const std::uint8_t* coverageRow, std::uint32_t* outRow)
{
    const CompositorSource s = source;
    for (const CompositorRun* run = runs; run != runs + runCount; ++run)
        for (int k = 0; k < run->count; ++k)
            compositeOne<Tinted>(s, stepped(run->fx, run->dx, k), stepped(run->fy, run->dy, k),
                coverageRow[run->start + k], outRow + run->start + k);
}

#if defined(__SSE2__)
// Four pixels at a time, two to a register: each pixel's weights, coverage and tint in its four lanes, so every
// step works on full registers. Pixels whose coverage is 0 or whose front is opaque come out as they were (x · 0 /
// 255 added to the front), so a group only part of which shows is composited whole; a group none of which shows is
// skipped. The numbers are those of compositeOne.

// Four values, one per 32-bit lane, in 16-bit lanes: those of pixels 0 and 1 (each in four lanes), and of 2 and 3.
[[gnu::always_inline]] inline void spreadPairs(__m128i v, __m128i& first, __m128i& second)
{
    v = _mm_packs_epi32(v, v);
    v = _mm_unpacklo_epi16(v, v);
    first = _mm_unpacklo_epi32(v, v);
    second = _mm_unpackhi_epi32(v, v);
}

// The weights (0..256) of four 16.16 positions.
[[gnu::always_inline]] inline __m128i weightLanes(__m128i f)
{
    return _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(f, _mm_set1_epi32(0xFFFF)), _mm_set1_epi32(128)), 8);
}

// Two pixels from a and two from b, side by side.
[[gnu::always_inline]] inline __m128i twoPairs(const std::uint32_t* a, const std::uint32_t* b)
{
    return _mm_castpd_si128(_mm_loadh_pd(
        _mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a))), reinterpret_cast<const double*>(b)));
}

// Two pixels' left and right neighbours from their rows a and b (two pixels each): [a0, b0] and [a1, b1].
[[gnu::always_inline]] inline void pairNeighbours(
    const std::uint32_t* a, const std::uint32_t* b, __m128i& left, __m128i& right)
{
    const __m128i sorted = _mm_shuffle_epi32(twoPairs(a, b), _MM_SHUFFLE(3, 1, 2, 0));
    left = _mm_unpacklo_epi8(sorted, _mm_setzero_si128());
    right = _mm_unpackhi_epi8(sorted, _mm_setzero_si128());
}

// (a · (256 − w) + b · w) / 256, with one multiply: the sum is below 2^16, so the wrapping 16-bit steps give it
// exactly.
[[gnu::always_inline]] inline __m128i lerpLanes(__m128i a, __m128i b, __m128i w)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_slli_epi16(a, 8), _mm_mullo_epi16(_mm_sub_epi16(b, a), w)), 8);
}

// Whether none of four pixels shows: coverage 0 (c: four 16-bit lanes) or an opaque front.
[[gnu::always_inline]] inline bool allHidden(__m128i c, __m128i front)
{
    const __m128i zero = _mm_setzero_si128(), alpha = _mm_set1_epi32(int(0xFF000000));
    const __m128i hidden = _mm_or_si128(
        _mm_cmpeq_epi32(_mm_unpacklo_epi16(c, zero), zero), _mm_cmpeq_epi32(_mm_and_si128(front, alpha), alpha));
    return _mm_movemask_epi8(hidden) == 0xFFFF;
}

// Four pixels' coverage, as it is and in 16-bit lanes.
[[gnu::always_inline]] inline __m128i coverageLanes(const std::uint8_t* coverage, std::uint32_t& packed)
{
    std::memcpy(&packed, coverage, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(packed)), _mm_setzero_si128());
}

// Scaling by a coverage of 255 and going under a front of 0 leave a sample as it is (x · 255 / 255 = x), so
// groups wholly covered, or with nothing in front yet (most of them), skip those steps.
struct CompositorGroupSteps {
    bool covered { false }, bare { false };
    CompositorGroupSteps() = default;
    CompositorGroupSteps(std::uint32_t coverage, __m128i front)
        : covered(coverage == 0xFFFFFFFF)
        , bare(_mm_movemask_epi8(_mm_cmpeq_epi32(front, _mm_setzero_si128())) == 0xFFFF)
    {
    }
};

// Whether the blocks of four pixels lie wholly inside the picture.
[[gnu::always_inline]] inline bool groupInside(__m128i vx, __m128i vy, __m128i lastX, __m128i lastY)
{
    const __m128i x0 = _mm_srai_epi32(vx, 16), y0 = _mm_srai_epi32(vy, 16);
    const __m128i none = _mm_set1_epi32(-1);
    const __m128i inside = _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(x0, none), _mm_cmpgt_epi32(y0, none)),
        _mm_and_si128(_mm_cmpgt_epi32(lastX, x0), _mm_cmpgt_epi32(lastY, y0)));
    return _mm_movemask_epi8(inside) == 0xFFFF;
}

// The upper-left pixels of four blocks inside the picture as offsets in pixels from its start. Rows, columns and
// the row step fit 16 bits (fitsGroups), so one multiply-add finds them.
[[gnu::always_inline]] inline __m128i groupOffsets(__m128i vx, __m128i vy, __m128i rowStep)
{
    const __m128i x0 = _mm_srai_epi32(vx, 16), y0 = _mm_srai_epi32(vy, 16);
    return _mm_madd_epi16(_mm_unpacklo_epi16(_mm_packs_epi32(x0, x0), _mm_packs_epi32(y0, y0)), rowStep);
}

template <int Lane> [[gnu::always_inline]] inline std::int32_t laneOf(__m128i v)
{
    return _mm_cvtsi128_si32(_mm_shuffle_epi32(v, _MM_SHUFFLE(Lane, Lane, Lane, Lane)));
}

// Four pixels whose blocks reach past the picture's edges, one at a time. The source is a copy: the walk's own
// stays out of reach of the stores to the target.
template <bool Tinted>
[[gnu::noinline]] void compositeGroupOneByOne(
    CompositorSource s, __m128i vx, __m128i vy, const std::uint8_t* coverage, std::uint32_t* out)
{
    std::int32_t fx[4], fy[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(fx), vx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(fy), vy);
    for (int j = 0; j < 4; ++j)
        compositeOne<Tinted>(s, fx[j], fy[j], coverage[j], out + j);
}

// A group of four pixels that shows, with its blocks inside the picture: its positions (16.16), the front
// pixels, the coverage (16-bit lanes), the offsets of its blocks' upper-left pixels and the steps it skips.
struct CompositorGroup {
    __m128i vx, vy, front, coverage, offsets;
    CompositorGroupSteps steps;
    std::uint32_t* out;
};

// Walks a row's runs four pixels at a time for a kernel, which composites the groups it is handed. Groups none of
// whose pixels shows are skipped; groups whose blocks reach past the picture's edges, and the pixels after a run's
// last whole group, are composited one at a time.
class CompositorGroups {
public:
    explicit CompositorGroups(const CompositorSource& s)
        : m_source(s)
        , m_lastX(_mm_set1_epi32(s.width - 1))
        , m_lastY(_mm_set1_epi32(s.height - 1))
        , m_rowStep(_mm_set1_epi32(int(std::uint32_t(s.stride / 4) << 16 | 1)))
    {
    }

    [[gnu::always_inline]] void start(const CompositorRun& run, const std::uint8_t* coverageRow, std::uint32_t* outRow)
    {
        m_run = run;
        m_coverage = coverageRow + run.start;
        m_out = outRow + run.start;
        m_k = 0;
        m_vx = _mm_add_epi32(
            _mm_set1_epi32(run.fx), _mm_setr_epi32(0, run.dx, stepped(0, run.dx, 2), stepped(0, run.dx, 3)));
        m_vy = _mm_add_epi32(
            _mm_set1_epi32(run.fy), _mm_setr_epi32(0, run.dy, stepped(0, run.dy, 2), stepped(0, run.dy, 3)));
        m_stepX = _mm_set1_epi32(stepped(0, run.dx, 4));
        m_stepY = _mm_set1_epi32(stepped(0, run.dy, 4));
        // Positions step linearly, so when the first and last pixels' blocks lie inside the picture, all do, and
        // the groups need no check of their own.
        auto inside = [&](int k) {
            const int x0 = stepped(run.fx, run.dx, k) >> 16, y0 = stepped(run.fy, run.dy, k) >> 16;
            return unsigned(x0) < unsigned(m_source.width - 1) && unsigned(y0) < unsigned(m_source.height - 1);
        };
        m_inside = run.count > 0 && inside(0) && inside(run.count - 1);
    }

    // The run's next group for the kernel; false at the run's end.
    template <bool Tinted> [[gnu::always_inline]] bool next(CompositorGroup& group)
    {
        for (; m_k + 4 <= m_run.count; advance()) {
            std::uint32_t* out = m_out + m_k;
            const __m128i front = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
            std::uint32_t packed;
            const __m128i coverage = coverageLanes(m_coverage + m_k, packed);
            if (allHidden(coverage, front))
                continue;
            if (!m_inside && !groupInside(m_vx, m_vy, m_lastX, m_lastY)) [[unlikely]] {
                compositeGroupOneByOne<Tinted>(m_source, m_vx, m_vy, m_coverage + m_k, out);
                continue;
            }
            group = { m_vx, m_vy, front, coverage, groupOffsets(m_vx, m_vy, m_rowStep),
                CompositorGroupSteps(packed, front), out };
            advance();
            return true;
        }
        for (; m_k < m_run.count; ++m_k)
            compositeOne<Tinted>(m_source, stepped(m_run.fx, m_run.dx, m_k), stepped(m_run.fy, m_run.dy, m_k),
                m_coverage[m_k], m_out + m_k);
        return false;
    }

private:
    [[gnu::always_inline]] void advance()
    {
        m_k += 4;
        m_vx = _mm_add_epi32(m_vx, m_stepX);
        m_vy = _mm_add_epi32(m_vy, m_stepY);
    }

    const CompositorSource m_source;
    const __m128i m_lastX, m_lastY, m_rowStep;
    CompositorRun m_run {};
    const std::uint8_t* m_coverage { nullptr };
    std::uint32_t* m_out { nullptr };
    int m_k { 0 };
    bool m_inside { false };
    __m128i m_vx {}, m_vy {}, m_stepX {}, m_stepY {};
};

template <bool Tinted>
void compositeRunsSSE2(const CompositorSource& source, const CompositorRun* runs, int runCount,
    const std::uint8_t* coverageRow, std::uint32_t* outRow)
{
    const CompositorSource s = source;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(s.data);
    const auto* below = reinterpret_cast<const std::uint32_t*>(s.data + s.stride);
    const __m128i zero = _mm_setzero_si128();
    const __m128i tint = _mm_setr_epi16(short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]),
        short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]));
    CompositorGroups groups(s);
    for (const CompositorRun* run = runs; run != runs + runCount; ++run) {
        groups.start(*run, coverageRow, outRow);
        CompositorGroup g;
        while (groups.next<Tinted>(g)) {
            __m128i wx01, wx23, wy01, wy23, c01, c23;
            spreadPairs(weightLanes(g.vx), wx01, wx23);
            spreadPairs(weightLanes(g.vy), wy01, wy23);
            spreadPairs(_mm_unpacklo_epi16(g.coverage, zero), c01, c23);
            // Two pixels at offsets a and b, under their front pixels' lanes.
            auto pair = [&](std::int32_t a, std::int32_t b, __m128i wx, __m128i wy, __m128i cover, __m128i frontLanes)
                __attribute__((always_inline))
            {
                __m128i upperLeft, upperRight, lowerLeft, lowerRight;
                pairNeighbours(pixels + a, pixels + b, upperLeft, upperRight);
                pairNeighbours(below + a, below + b, lowerLeft, lowerRight);
                __m128i sample
                    = lerpLanes(lerpLanes(upperLeft, upperRight, wx), lerpLanes(lowerLeft, lowerRight, wx), wy);
                if constexpr (Tinted)
                    sample = _mm_srli_epi16(_mm_mullo_epi16(sample, tint), 8);
                if (!g.steps.covered)
                    sample = scaleLanes(sample, cover);
                return g.steps.bare ? sample : underLanes(sample, frontLanes);
            };
            const __m128i first
                = pair(laneOf<0>(g.offsets), laneOf<1>(g.offsets), wx01, wy01, c01, _mm_unpacklo_epi8(g.front, zero));
            const __m128i second
                = pair(laneOf<2>(g.offsets), laneOf<3>(g.offsets), wx23, wy23, c23, _mm_unpackhi_epi8(g.front, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(g.out), _mm_packus_epi16(first, second));
        }
    }
}
#endif

#if defined(COMPOSITOR_HAS_AVX2_KERNEL)
// The same four pixels in one 256-bit register (pixels 0, 1 in the low half, 2, 3 in the high).

// (a · (256 − w) + b · w) / 256 as lerpLanes.
COMPOSITOR_AVX2_INLINE __m256i lerpLanes256(__m256i a, __m256i b, __m256i w)
{
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_slli_epi16(a, 8), _mm256_mullo_epi16(_mm256_sub_epi16(b, a), w)), 8);
}

COMPOSITOR_AVX2_INLINE __m256i scaleLanes256(__m256i v, __m256i m)
{
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(v, m), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

COMPOSITOR_AVX2_INLINE __m256i underLanes256(__m256i source, __m256i destination)
{
    const __m256i alpha
        = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(destination, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    return _mm256_add_epi16(destination, scaleLanes256(source, _mm256_sub_epi16(_mm256_set1_epi16(255), alpha)));
}

// Four 32-bit lanes' low 16 bits, each in the four lanes of its pixel.
COMPOSITOR_AVX2_INLINE __m256i spreadLanes256(__m128i v)
{
    const __m256i spread = _mm256_setr_epi8(
        0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
    return _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(v), spread);
}

// The left and right neighbours of four pixels from their rows (two pixels each).
COMPOSITOR_AVX2_INLINE void neighbours256(const std::uint32_t* a, const std::uint32_t* b, const std::uint32_t* c,
    const std::uint32_t* d, __m256i& left, __m256i& right)
{
    const __m256i rows = _mm256_shuffle_epi32(
        _mm256_inserti128_si256(_mm256_castsi128_si256(twoPairs(a, b)), twoPairs(c, d), 1), _MM_SHUFFLE(3, 1, 2, 0));
    left = _mm256_unpacklo_epi8(rows, _mm256_setzero_si256());
    right = _mm256_unpackhi_epi8(rows, _mm256_setzero_si256());
}

template <bool Tinted>
COMPOSITOR_AVX2 void compositeRunsAVX2(const CompositorSource& source, const CompositorRun* runs, int runCount,
    const std::uint8_t* coverageRow, std::uint32_t* outRow)
{
    const CompositorSource s = source;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(s.data);
    const auto* below = reinterpret_cast<const std::uint32_t*>(s.data + s.stride);
    const __m256i tint = _mm256_setr_epi16(short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]),
        short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]), short(s.tint[0]), short(s.tint[1]),
        short(s.tint[2]), short(s.tint[3]), short(s.tint[0]), short(s.tint[1]), short(s.tint[2]), short(s.tint[3]));
    CompositorGroups groups(s);
    for (const CompositorRun* run = runs; run != runs + runCount; ++run) {
        groups.start(*run, coverageRow, outRow);
        CompositorGroup g;
        while (groups.next<Tinted>(g)) {
            const std::int32_t o0 = laneOf<0>(g.offsets), o1 = laneOf<1>(g.offsets), o2 = laneOf<2>(g.offsets),
                               o3 = laneOf<3>(g.offsets);
            __m256i upperLeft, upperRight, lowerLeft, lowerRight;
            neighbours256(pixels + o0, pixels + o1, pixels + o2, pixels + o3, upperLeft, upperRight);
            neighbours256(below + o0, below + o1, below + o2, below + o3, lowerLeft, lowerRight);
            const __m256i wx = spreadLanes256(weightLanes(g.vx));
            __m256i sample = lerpLanes256(lerpLanes256(upperLeft, upperRight, wx),
                lerpLanes256(lowerLeft, lowerRight, wx), spreadLanes256(weightLanes(g.vy)));
            if constexpr (Tinted)
                sample = _mm256_srli_epi16(_mm256_mullo_epi16(sample, tint), 8);
            if (!g.steps.covered)
                sample = scaleLanes256(sample, spreadLanes256(_mm_unpacklo_epi16(g.coverage, _mm_setzero_si128())));
            if (!g.steps.bare)
                sample = underLanes256(sample, _mm256_cvtepu8_epi16(g.front));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(g.out),
                _mm_packus_epi16(_mm256_castsi256_si128(sample), _mm256_extracti128_si256(sample, 1)));
        }
    }
}

// CompositorRowCoverage's part-covered pixels four at a time (the last group repeats its last pixel), with the
// same numbers, lane by lane, as one pixel at a time.
COMPOSITOR_AVX2 void partlyCoveredAVX2(
    const double* from, const double* to, const int* xs, int count, std::uint32_t level, std::uint8_t* at)
{
    const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1), lines = _mm256_set1_pd(16),
                  scale = _mm256_set1_pd(level);
    for (int k = 0; k < count; k += 4) {
        int x[4];
        for (int j = 0; j < 4; ++j)
            x[j] = xs[std::min(k + j, count - 1)];
        const __m256d left = _mm256_setr_pd(x[0], x[1], x[2], x[3]), right = _mm256_add_pd(left, one);
        __m256d sum = zero;
        for (int i = 0; i < 16; ++i) {
            const __m256d span = _mm256_sub_pd(
                _mm256_min_pd(_mm256_set1_pd(to[i]), right), _mm256_max_pd(_mm256_set1_pd(from[i]), left));
            sum = _mm256_add_pd(sum, _mm256_min_pd(_mm256_max_pd(span, zero), one));
        }
        double v[4];
        _mm256_storeu_pd(v, _mm256_mul_pd(_mm256_div_pd(sum, lines), scale));
        for (int j = 0; j < 4; ++j)
            at[x[j]] = coverageByte(v[j]);
    }
}
#endif

bool clampBox(PixelBox& box, const gfx::PixelBufferView& target)
{
    box.x0 = std::max(box.x0, 0);
    box.y0 = std::max(box.y0, 0);
    box.x1 = std::min(box.x1, target.width);
    box.y1 = std::min(box.y1, target.height);
    return !box.isEmpty();
}

// The whole-pixel offset of a map that only moves by whole pixels (an unscaled, unturned plane such as a view's
// background), where every target pixel takes one source pixel as it is: bilinear weights and outline coverage
// would all come out whole.
std::optional<std::array<int, 2>> wholePixelOffset(const Homography& map, const gfx::Rect& content)
{
    const auto& m = map.m;
    const double w = m[2][2];
    auto near = [](double a, double b) { return std::abs(a - b) < 1e-9; };
    if (!(w > 0) || !near(m[0][0], w) || !near(m[1][1], w) || !near(m[0][1], 0) || !near(m[1][0], 0)
        || !near(m[0][2], 0) || !near(m[1][2], 0))
        return std::nullopt;
    const double dx = m[2][0] / w, dy = m[2][1] / w;
    const double ox = std::round(dx), oy = std::round(dy);
    auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    if (!whole(dx) || !whole(dy) || !whole(content.minX()) || !whole(content.minY()) || !whole(content.maxX())
        || !whole(content.maxY()) || std::abs(ox) > 1e8 || std::abs(oy) > 1e8)
        return std::nullopt;
    return std::array<int, 2> { int(ox), int(oy) };
}

}

void compositeSolid(const std::array<double, 4>& rgba, const std::vector<gfx::Point>& outline,
    gfx::PixelBufferView target, PixelBox box)
{
    if (!target.isValid() || outline.size() < 3 || rgba[3] <= 0 || !clampBox(box, target))
        return;
    auto level = [](double c) { return std::uint8_t(std::lround(std::clamp(c, 0.0, 1.0) * 255)); };
    const double a = std::clamp(rgba[3], 0.0, 1.0);
    const std::uint32_t color = gfx::packPixel(level(a), level(rgba[0] * a), level(rgba[1] * a), level(rgba[2] * a));
    CompositorRowCoverage rowCoverage(outline);
    std::vector<std::uint8_t> coverageRow(std::size_t(box.x1 - box.x0));
    for (int y = box.y0; y < box.y1; ++y) {
        int first, last;
        if (!rowCoverage.fill(y, box.x0, box.x1, 255, coverageRow.data(), first, last))
            continue;
        const std::uint8_t* coverageAt = coverageRow.data() - box.x0;
        std::uint32_t* out = target.row(y);
        for (int x = first; x <= last; ++x) {
            const std::uint32_t c = coverageAt[x], front = out[x];
            if (c == 0 || (front >> 24) == 255)
                continue;
            out[x] = under(c == 255 ? color : scalePixel(color, c), front);
        }
    }
}

void compositeProjective(gfx::ConstPixelBufferView source, const gfx::Rect& content, const Homography& sourceToTarget,
    double opacity, gfx::PixelBufferView target, PixelBox box, const std::array<double, 4>& tint)
{
    if (!source.isValid() || !target.isValid() || opacity <= 0 || content.isEmpty() || !clampBox(box, target))
        return;
    auto inverse = sourceToTarget.inverted();
    if (!inverse)
        return;
    auto outline = projectedPolygon(sourceToTarget,
        { content.origin, { content.maxX(), content.minY() }, { content.maxX(), content.maxY() },
            { content.minX(), content.maxY() } });
    if (outline.size() < 3)
        return;

    // Row by row, only across the outline, with the outline's coverage worked out per row (as scanline
    // rasterisers do) rather than in a mask over the whole box. Sampling costs a division at the ends of runs of
    // pixels and nothing per row. A tint multiplies each premultiplied channel by its colour times its alpha, and
    // the alpha by its alpha.
    const bool tinted = tint != std::array<double, 4> { 1, 1, 1, 1 };
    std::uint32_t tintFactors[4] = { 256, 256, 256, 256 };
    for (int i = 0; i < 3; ++i)
        tintFactors[i] = std::uint32_t(std::lround(std::clamp(tint[i] * tint[3], 0.0, 1.0) * 256));
    tintFactors[3] = std::uint32_t(std::lround(std::clamp(tint[3], 0.0, 1.0) * 256));
    const auto& m = inverse->m;
    const std::uint32_t opacityLevel = std::uint32_t(std::lround(std::clamp(opacity, 0.0, 1.0) * 255));
    if (opacityLevel == 0)
        return;
    auto applyTint = [&](std::uint32_t p) __attribute__((always_inline))
    {
        return (((p >> 24) * tintFactors[3]) >> 8) << 24 | ((((p >> 16) & 0xFF) * tintFactors[0]) >> 8) << 16
            | ((((p >> 8) & 0xFF) * tintFactors[1]) >> 8) << 8 | (((p & 0xFF) * tintFactors[2]) >> 8);
    };

    if (auto offset = wholePixelOffset(sourceToTarget, content)) {
        const auto [ox, oy] = *offset;
        const int x0 = std::max(box.x0, int(content.minX()) + ox), x1 = std::min(box.x1, int(content.maxX()) + ox);
        const int y0 = std::max(box.y0, int(content.minY()) + oy), y1 = std::min(box.y1, int(content.maxY()) + oy);
        for (int y = y0; y < y1; ++y) {
            const std::uint32_t* in = source.row(y - oy) - ox;
            std::uint32_t* out = target.row(y);
            int x = x0;
#if defined(__SSE2__)
            // Four pixels at a time, with the same numbers as one at a time: where the front is opaque its
            // weight for what lies under is 0, where nothing is in front yet it is 255.
            const __m128i zero = _mm_setzero_si128();
            const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
            const __m128i tintLanes = _mm_setr_epi16(short(tintFactors[2]), short(tintFactors[1]),
                short(tintFactors[0]), short(tintFactors[3]), short(tintFactors[2]), short(tintFactors[1]),
                short(tintFactors[0]), short(tintFactors[3]));
            const __m128i opacityLanes = _mm_set1_epi16(short(opacityLevel));
            for (; x + 4 <= x1; x += 4) {
                auto* at = reinterpret_cast<__m128i*>(out + x);
                const __m128i front = _mm_loadu_si128(at);
                if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(front, alphaMask), alphaMask)) == 0xFFFF)
                    continue;
                const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
                __m128i low = _mm_unpacklo_epi8(samples, zero), high = _mm_unpackhi_epi8(samples, zero);
                if (tinted) {
                    low = _mm_srli_epi16(_mm_mullo_epi16(low, tintLanes), 8);
                    high = _mm_srli_epi16(_mm_mullo_epi16(high, tintLanes), 8);
                }
                if (opacityLevel != 255) {
                    low = scaleLanes(low, opacityLanes);
                    high = scaleLanes(high, opacityLanes);
                }
                low = underLanes(low, _mm_unpacklo_epi8(front, zero));
                high = underLanes(high, _mm_unpackhi_epi8(front, zero));
                _mm_storeu_si128(at, _mm_packus_epi16(low, high));
            }
#endif
            for (; x < x1; ++x) {
                const std::uint32_t front = out[x];
                if ((front >> 24) == 255)
                    continue;
                std::uint32_t sample = tinted ? applyTint(in[x]) : in[x];
                if (opacityLevel != 255)
                    sample = scalePixel(sample, opacityLevel);
                out[x] = under(sample, front);
            }
        }
        return;
    }

    std::vector<std::uint8_t> coverageRow(std::size_t(box.x1 - box.x0));
    CompositorRowCoverage rowCoverage(outline);
    // Exact at both ends of runs of RunLength pixels and linear in between (in 16.16 fixed point): over such a run
    // perspective bends the mapping by far less than a pixel, and no pixel pays for a division.
    constexpr int RunLength = 16;
    const CompositorSource sampled { source.data, source.stride, source.width, source.height,
        { tintFactors[2], tintFactors[1], tintFactors[0], tintFactors[3] } };
    auto compositeRows = [&]<bool Tinted>(CompositorRowKernel rowKernel) {
        std::vector<CompositorRun> runs(std::size_t((box.x1 - box.x0) / RunLength + 2));
        for (int y = box.y0; y < box.y1; ++y) {
            int first, last;
            if (!rowCoverage.fill(y, box.x0, box.x1, opacityLevel, coverageRow.data(), first, last))
                continue;
            const std::uint8_t* coverageAt = coverageRow.data() - box.x0;
            std::uint32_t* out = target.row(y);
            const double cy = y + 0.5;
            // The source point of a target pixel centre, and whether it lies in front of the viewer within reach.
            auto sourcePoint = [&](double x, double& sx, double& sy) {
                const double u = x * m[0][0] + cy * m[1][0] + m[2][0];
                const double v = x * m[0][1] + cy * m[1][1] + m[2][1];
                const double w = x * m[0][2] + cy * m[1][2] + m[2][2];
                if (!(w > 0))
                    return false;
                sx = u / w - 0.5;
                sy = v / w - 0.5;
                return std::abs(sx) < 30000 && std::abs(sy) < 30000;
            };
            // Each run's end is the next one's start: its point is worked out once.
            double sx0 = 0, sy0 = 0, sx1 = 0, sy1 = 0;
            int runCount = 0;
            bool endInReach = sourcePoint(first + 0.5, sx0, sy0);
            for (int runStart = first; runStart <= last; runStart += RunLength, sx0 = sx1, sy0 = sy1) {
                const int runEnd = std::min(last + 1, runStart + RunLength);
                const bool startInReach = endInReach;
                endInReach = sourcePoint(runEnd + 0.5, sx1, sy1);
                if (!startInReach || !endInReach) {
                    // Near where the plane turns away: each pixel on its own.
                    for (int x = runStart; x < runEnd; ++x) {
                        double sx, sy;
                        const std::uint32_t c = coverageAt[x];
                        if (c == 0 || (out[x] >> 24) == 255 || !sourcePoint(x + 0.5, sx, sy))
                            continue;
                        compositeOne<Tinted>(sampled, std::int32_t(std::floor(sx * 65536)),
                            std::int32_t(std::floor(sy * 65536)), c, out + x);
                    }
                    continue;
                }
                const int steps = runEnd - runStart;
                // A step may not fit 32 bits (a run of one pixel across the whole source); wrapped, it still
                // lands each position exactly. Dividing by a whole run's length is multiplying by its inverse, a
                // power of two: the same rounding of the same quotient, without a division's wait.
                auto step = [&](double d) {
                    d *= 65536;
                    d = steps == RunLength ? d * (1.0 / RunLength) : d / steps;
                    return std::int32_t(std::uint32_t(std::int64_t(d)));
                };
                runs[std::size_t(runCount++)] = { std::int32_t(sx0 * 65536), std::int32_t(sy0 * 65536), step(sx1 - sx0),
                    step(sy1 - sy0), runStart - first, steps };
            }
            rowKernel(sampled, runs.data(), runCount, coverageAt + first, out + first);
        }
    };
    const auto kernels = compositorKernels.load(std::memory_order_relaxed);
    if (kernels == CompositorKernels::OneByOne || !sampled.fitsGroups()) {
        if (tinted)
            compositeRows.template operator()<true>(compositeRunsOneByOne<true>);
        else
            compositeRows.template operator()<false>(compositeRunsOneByOne<false>);
    }
#if defined(COMPOSITOR_HAS_AVX2_KERNEL)
    else if (kernels == CompositorKernels::Fastest && compositorHasAVX2()) {
        if (tinted)
            compositeRows.template operator()<true>(compositeRunsAVX2<true>);
        else
            compositeRows.template operator()<false>(compositeRunsAVX2<false>);
    }
#endif
#if defined(__SSE2__)
    else if (tinted)
        compositeRows.template operator()<true>(compositeRunsSSE2<true>);
    else
        compositeRows.template operator()<false>(compositeRunsSSE2<false>);
#else
    else if (tinted)
        compositeRows.template operator()<true>(compositeRunsOneByOne<true>);
    else
        compositeRows.template operator()<false>(compositeRunsOneByOne<false>);
#endif
}

void useCompositorKernels(CompositorKernels kernels)
{
    compositorKernels.store(kernels, std::memory_order_relaxed);
}

void multiplyPixels(gfx::PixelBufferView pixels, const std::array<double, 4>& color)
{
    // Premultiplied: the alpha factor scales every channel.
    unsigned factor[4];
    for (int i = 0; i < 3; ++i)
        factor[i] = unsigned(std::lround(std::clamp(color[i] * color[3], 0.0, 1.0) * 256));
    factor[3] = unsigned(std::lround(std::clamp(color[3], 0.0, 1.0) * 256));
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = pixels.row(y);
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t p = row[x];
            if (!p)
                continue;
            row[x] = gfx::packPixel(std::uint8_t((gfx::alphaOf(p) * factor[3]) >> 8),
                std::uint8_t((gfx::redOf(p) * factor[0]) >> 8), std::uint8_t((gfx::greenOf(p) * factor[1]) >> 8),
                std::uint8_t((gfx::blueOf(p) * factor[2]) >> 8));
        }
    }
}

}
