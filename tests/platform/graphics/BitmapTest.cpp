#include "platform/graphics/BitmapImageRep.h"

#include "platform/foundation/runtime/Exception.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

using namespace gfx;

namespace {

std::vector<unsigned> pixel(const BitmapImageRep& rep, long x, long y)
{
    std::vector<unsigned> out(rep.samplesPerPixel());
    rep.getPixel(out, x, y);
    return out;
}

}

TEST(BitmapImageRep, CairoLayoutIsOneNativeWordPerPixel)
{
    auto rep = BitmapImageRep::create(3, 2, BitmapLayout::ARGB32Premultiplied);
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->bytesPerRow(), 12);
    EXPECT_EQ(rep->layout(), BitmapLayout::ARGB32Premultiplied);
    rep->setPixel(std::array<unsigned, 4> { 0x11, 0x22, 0x33, 0xff }, 2, 1);
    std::uint32_t word;
    std::memcpy(&word, rep->bitmapData() + 12 + 8, 4);
    EXPECT_EQ(word, 0xff112233u);
    EXPECT_EQ(pixel(*rep, 2, 1), (std::vector<unsigned> { 0x11, 0x22, 0x33, 0xff }));
}

TEST(BitmapImageRep, SampleOrderFollowsTheFormat)
{
    struct Case {
        const char* name;
        int samples;
        bool alpha;
        fnd::String space;
        unsigned format;
        int bitsPerPixel;
        std::vector<std::uint8_t> bytes; // memory of the first pixel after setting samples 1, 2, 3(, 4)
    };
    const Case cases[] = {
        { "RGB packed", 3, false, BitmapImageRep::CalibratedRGBColorSpace, 0, 24, { 1, 2, 3 } },
        { "RGB padded", 3, false, BitmapImageRep::DeviceRGBColorSpace, 0, 32, { 1, 2, 3, 0 } },
        { "RGBA", 4, true, BitmapImageRep::CalibratedRGBColorSpace, 0, 32, { 1, 2, 3, 4 } },
        { "ARGB", 4, true, BitmapImageRep::CalibratedRGBColorSpace, BitmapFormat::AlphaFirst, 32, { 4, 1, 2, 3 } },
        { "ARGB little-endian word", 4, true, BitmapImageRep::CalibratedRGBColorSpace,
            BitmapFormat::AlphaFirst | BitmapFormat::ThirtyTwoBitLittleEndian, 32, { 3, 2, 1, 4 } },
        { "CMYK", 4, false, BitmapImageRep::DeviceCMYKColorSpace, 0, 32, { 1, 2, 3, 4 } },
    };
    for (const auto& c : cases) {
        auto rep = BitmapImageRep::create(2, 2, 8, c.samples, c.alpha, false, c.space, c.format, 0, c.bitsPerPixel);
        ASSERT_TRUE(rep) << c.name;
        std::vector<unsigned> in { 1, 2, 3, 4 };
        rep->setPixel(in, 0, 0);
        std::vector<std::uint8_t> memory(rep->bitmapData(), rep->bitmapData() + c.bytes.size());
        EXPECT_EQ(memory, c.bytes) << c.name;
        in.resize(c.samples);
        EXPECT_EQ(pixel(*rep, 0, 0), in) << c.name;
    }
}

TEST(BitmapImageRep, RefusesWhatItCannotHold)
{
    const auto rgb = BitmapImageRep::CalibratedRGBColorSpace;
    struct Case {
        const char* name;
        long w, h;
        int bps, spp;
        bool alpha, planar;
        fnd::String space;
        long bytesPerRow;
        int bpp;
    };
    const Case cases[] = {
        { "16-bit samples", 4, 4, 16, 4, true, false, rgb, 0, 0 },
        { "planar", 4, 4, 8, 4, true, true, rgb, 0, 0 },
        { "two samples of RGB", 4, 4, 8, 2, false, false, rgb, 0, 0 },
        { "unknown colour space", 4, 4, 8, 4, true, false, "NSPatternColorSpace", 0, 0 },
        { "rows too short", 4, 4, 8, 4, true, false, rgb, 15, 32 },
        { "no pixels", 0, 4, 8, 4, true, false, rgb, 0, 0 },
        { "CMYK with alpha", 4, 4, 8, 5, true, false, BitmapImageRep::DeviceCMYKColorSpace, 0, 0 },
        { "far too large", 1L << 21, 1L << 21, 8, 4, true, false, rgb, 0, 0 },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(
            BitmapImageRep::create(c.w, c.h, c.bps, c.spp, c.alpha, c.planar, c.space, 0, c.bytesPerRow, c.bpp))
            << c.name;
}

TEST(BitmapImageRep, NewPixelsAreZeroAndCopiesOwnTheirs)
{
    // Large enough for the allocator to map fresh pages, small enough for a quick test.
    auto large = BitmapImageRep::create(1500, 1000, BitmapLayout::RGBA);
    ASSERT_TRUE(large);
    const std::vector<std::uint8_t> zeroRow(std::size_t(large->bytesPerRow()), 0);
    for (long y = 0; y < large->pixelsHigh(); y += 97)
        EXPECT_EQ(std::memcmp(large->bitmapData() + y * large->bytesPerRow(), zeroRow.data(), zeroRow.size()), 0) << y;

    auto rep = BitmapImageRep::create(3, 2, BitmapLayout::RGBA);
    rep->setPixel(std::array<unsigned, 4> { 9, 8, 7, 255 }, 1, 1);
    auto copy = rep->copy();
    copy->setPixel(std::array<unsigned, 4> { 1, 2, 3, 4 }, 1, 1);
    EXPECT_EQ(pixel(*rep, 1, 1), (std::vector<unsigned> { 9, 8, 7, 255 }));
    EXPECT_EQ(pixel(*copy, 1, 1), (std::vector<unsigned> { 1, 2, 3, 4 }));
    // A copy of a bitmap converted into less memory holds just its rows.
    ASSERT_TRUE(rep->convertInPlace(BitmapLayout::RGB));
    auto narrow = rep->copy();
    EXPECT_EQ(pixel(*narrow, 1, 1), (std::vector<unsigned> { 9, 8, 7 }));
    EXPECT_EQ(pixel(*narrow, 0, 0), (std::vector<unsigned> { 255, 255, 255 })); // transparent goes to white
}

TEST(BitmapImageRep, ResolutionComesFromPixelAndPointSize)
{
    // The export of a 100 by 50 point barcode at 300 dpi: 417 by 209 pixels, 100.08 by 50.16 points.
    auto rep
        = BitmapImageRep::create(417, 209, 8, 4, true, false, BitmapImageRep::CalibratedRGBColorSpace, 0, 417 * 4, 32);
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->resolution(), (Size { 72, 72 }));
    double s = 300.0 / 72.0;
    rep->setSize({ 417 / s, 209 / s });
    EXPECT_NEAR(rep->size().width, 100.08, 1e-9);
    EXPECT_NEAR(rep->resolution().width, 300.0, 1e-9);
    EXPECT_NEAR(rep->resolution().height, 300.0, 1e-9);
    EXPECT_EQ(rep->converted(BitmapLayout::CMYK)->resolution().width, rep->resolution().width);
}

TEST(BitmapImageRep, ConversionsBetweenLayouts)
{
    struct Case {
        const char* name;
        BitmapLayout from;
        std::vector<unsigned> in;
        BitmapLayout to;
        std::vector<unsigned> out;
    };
    const Case cases[] = {
        { "premultiply", BitmapLayout::RGBA, { 200, 100, 50, 128 }, BitmapLayout::RGBAPremultiplied,
            { 100, 50, 25, 128 } },
        { "unpremultiply", BitmapLayout::ARGB32Premultiplied, { 100, 50, 25, 128 }, BitmapLayout::RGBA,
            { 199, 100, 50, 128 } },
        { "premultiplied moves exactly", BitmapLayout::ARGB32Premultiplied, { 3, 2, 1, 4 },
            BitmapLayout::RGBAPremultiplied, { 3, 2, 1, 4 } },
        { "transparent over white", BitmapLayout::RGBA, { 0, 0, 0, 0 }, BitmapLayout::RGB, { 255, 255, 255 } },
        { "half black over white", BitmapLayout::RGBA, { 0, 0, 0, 128 }, BitmapLayout::RGB, { 127, 127, 127 } },
        { "white has no ink", BitmapLayout::RGB, { 255, 255, 255 }, BitmapLayout::CMYK, { 0, 0, 0, 0 } },
        { "black is key only", BitmapLayout::RGB, { 0, 0, 0 }, BitmapLayout::CMYK, { 0, 0, 0, 255 } },
        { "red", BitmapLayout::RGB, { 255, 0, 0 }, BitmapLayout::CMYK, { 0, 255, 255, 0 } },
        { "grey is key", BitmapLayout::RGB, { 128, 128, 128 }, BitmapLayout::CMYK, { 0, 0, 0, 127 } },
        { "dark orange", BitmapLayout::RGB, { 200, 100, 0 }, BitmapLayout::CMYK, { 0, 128, 255, 55 } },
        { "transparent is paper", BitmapLayout::ARGB32Premultiplied, { 0, 0, 0, 0 }, BitmapLayout::CMYK,
            { 0, 0, 0, 0 } },
        { "cyan back to RGB", BitmapLayout::CMYK, { 255, 0, 0, 0 }, BitmapLayout::RGBA, { 0, 255, 255, 255 } },
        { "CMYK with key", BitmapLayout::CMYK, { 0, 128, 255, 55 }, BitmapLayout::RGB, { 200, 100, 0 } },
    };
    for (const auto& c : cases) {
        auto rep = BitmapImageRep::create(2, 1, c.from);
        rep->setPixel(c.in, 1, 0);
        auto converted = rep->converted(c.to);
        ASSERT_TRUE(converted) << c.name;
        EXPECT_EQ(converted->layout(), c.to) << c.name;
        EXPECT_EQ(pixel(*converted, 1, 0), c.out) << c.name;
    }
}

TEST(BitmapImageRep, WholeBitmapsAndSingleRowsConvertAsEachPixelAlone)
{
    // Runs of equal pixels, runs alternating between two pixels, pixels that differ from the one or the two before
    // in one sample only, and colour samples above alpha too (premultiplied data that is not well formed must
    // convert the same way wherever it sits); then rows where one sample takes every value, the others fixed, so
    // that pixels alike but for one byte meet in whatever a conversion remembers.
    constexpr BitmapLayout layouts[] = { BitmapLayout::RGB, BitmapLayout::RGBA, BitmapLayout::RGBAPremultiplied,
        BitmapLayout::ARGB32Premultiplied, BitmapLayout::CMYK };
    std::uint32_t seed = 0x9E3779B9;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    for (BitmapLayout from : layouts) {
        auto rep = BitmapImageRep::create(256, 9, from);
        std::vector<unsigned> px(4), before(4);
        for (long y = 0; y < 5; ++y)
            for (long x = 0; x < rep->pixelsWide();) {
                std::uint32_t v = next();
                if (v % 4 != 0)
                    std::swap(px, before);
                if (v % 4 == 0) {
                    px = { v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, v >> 24 };
                    if (v % 5 == 0)
                        px[3] = 255;
                } else if (v % 4 == 1) {
                    px[v / 4 % std::size_t(rep->samplesPerPixel())] = next() & 0xFF;
                }
                for (long run = 1 + long(next() % 4); run > 0 && x < rep->pixelsWide(); --run, ++x)
                    rep->setPixel(px, x, y);
            }
        for (long sample = 0; sample < 4; ++sample)
            for (long x = 0; x < rep->pixelsWide(); ++x) {
                std::vector<unsigned> sweep { 90, 160, 30, 200 };
                sweep[std::size_t(sample)] = unsigned(x);
                rep->setPixel(sweep, x, 5 + sample);
            }
        for (BitmapLayout to : layouts) {
            auto whole = rep->converted(to);
            ASSERT_TRUE(whole);
            std::vector<std::uint8_t> row(std::size_t(rep->pixelsWide()) * (to == BitmapLayout::RGB ? 3 : 4));
            for (long y = 0; y < rep->pixelsHigh(); ++y) {
                rep->convertRow(y, to, row.data());
                EXPECT_EQ(0, std::memcmp(row.data(), whole->bitmapData() + y * whole->bytesPerRow(), row.size()))
                    << int(from) << " to " << int(to) << ", row " << y;
                for (long x = 0; x < rep->pixelsWide(); ++x) {
                    auto alone = BitmapImageRep::create(1, 1, from);
                    alone->setPixel(pixel(*rep, x, y), 0, 0);
                    ASSERT_EQ(pixel(*whole, x, y), pixel(*alone->converted(to), 0, 0))
                        << int(from) << " to " << int(to) << " at " << x << ", " << y;
                }
            }
        }
        EXPECT_THROW(rep->convertRow(rep->pixelsHigh(), BitmapLayout::RGB, nullptr), fnd::Exception);
    }
}

TEST(BitmapImageRep, ConversionInPlaceGivesTheConvertedBitmap)
{
    constexpr BitmapLayout layouts[] = { BitmapLayout::RGB, BitmapLayout::RGBA, BitmapLayout::RGBAPremultiplied,
        BitmapLayout::ARGB32Premultiplied, BitmapLayout::CMYK };
    // Rows with bytes to spare, in a layout of its own, as well as every conversion layout.
    auto padded = [] {
        return BitmapImageRep::create(13, 7, 8, 3, false, false, BitmapImageRep::DeviceRGBColorSpace, 0, 64, 32);
    };
    std::vector<std::shared_ptr<BitmapImageRep>> sources { padded() };
    for (BitmapLayout from : layouts)
        sources.push_back(BitmapImageRep::create(13, 7, from));
    for (std::size_t n = 0; n < sources.size(); ++n) {
        auto& rep = *sources[n];
        for (long y = 0; y < rep.pixelsHigh(); ++y)
            for (long x = 0; x < rep.pixelsWide(); ++x)
                rep.setPixel(std::vector<unsigned> { unsigned(x * 19), unsigned(y * 37), unsigned(x * y), 200 }, x, y);
        rep.setSize({ 3.5, 2.25 });
        rep.setOpaque(true);
        for (BitmapLayout to : layouts) {
            auto expected = rep.converted(to);
            auto inPlace = n == 0 ? padded() : BitmapImageRep::create(13, 7, rep.layout().value());
            std::memcpy(inPlace->bitmapData(), rep.bitmapData(), std::size_t(rep.bytesPerRow()) * 7);
            inPlace->setSize(rep.size());
            inPlace->setOpaque(true);
            ASSERT_TRUE(inPlace->convertInPlace(to));
            EXPECT_EQ(inPlace->layout(), to);
            EXPECT_EQ(inPlace->bytesPerRow(), expected->bytesPerRow());
            EXPECT_EQ(inPlace->samplesPerPixel(), expected->samplesPerPixel());
            EXPECT_EQ(inPlace->hasAlpha(), expected->hasAlpha());
            EXPECT_EQ(inPlace->colorSpaceName(), expected->colorSpaceName());
            EXPECT_EQ(inPlace->size(), rep.size());
            EXPECT_TRUE(inPlace->isOpaque());
            EXPECT_EQ(
                0, std::memcmp(inPlace->bitmapData(), expected->bitmapData(), std::size_t(expected->bytesPerRow()) * 7))
                << n << " to " << int(to);
        }
    }
}

TEST(BitmapImageRep, PixelsOutsideRaise)
{
    auto rep = BitmapImageRep::create(4, 3, BitmapLayout::RGB);
    std::vector<unsigned> out(3);
    EXPECT_NO_THROW(rep->getPixel(out, 3, 2));
    for (auto [x, y] : { std::pair { 4L, 0L }, { 0L, 3L }, { -1L, 0L } })
        EXPECT_THROW(rep->getPixel(out, x, y), fnd::Exception) << x << "," << y;
    std::vector<unsigned> tooShort(2);
    EXPECT_THROW(rep->getPixel(tooShort, 0, 0), fnd::Exception);
}
