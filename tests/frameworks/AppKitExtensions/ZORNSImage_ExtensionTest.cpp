#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"

#include "DrawingTestSupport.h"

#include "support/GeneratedPictures.h"

#include "platform/graphics/BezierPath.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

namespace I = ZORNSImage_Extension;
using drawing::pixelNear;
using gfx::Color;

// An image of one bitmap, 8-bit RGB or RGBA (not premultiplied), from samples given row by row from the top.
std::shared_ptr<gfx::Image> bitmapImage(
    long wide, long high, bool alpha, const std::vector<unsigned>& samples, gfx::Size points = {})
{
    auto rep = gfx::BitmapImageRep::create(wide, high, 8, alpha ? 4 : 3, alpha, false,
        gfx::BitmapImageRep::CalibratedRGBColorSpace, alpha ? gfx::BitmapFormat::AlphaNonpremultiplied : 0, 0, 0);
    std::size_t n = alpha ? 4 : 3;
    for (long y = 0; y < high; ++y)
        for (long x = 0; x < wide; ++x)
            rep->setPixel(std::span(samples).subspan((static_cast<std::size_t>(y * wide + x)) * n, n), x, y);
    gfx::Size size = points.width > 0 ? points : gfx::Size { double(wide), double(high) };
    rep->setSize(size);
    auto image = gfx::Image::imageWithSize(size);
    image->addRepresentation(rep);
    return image;
}

std::vector<unsigned> samplesOf(const gfx::Image& image)
{
    auto rep = std::dynamic_pointer_cast<gfx::BitmapImageRep>(image.representations().front());
    std::vector<unsigned> all, one(static_cast<std::size_t>(rep->samplesPerPixel()));
    for (long y = 0; y < rep->pixelsHigh(); ++y)
        for (long x = 0; x < rep->pixelsWide(); ++x) {
            rep->getPixel(one, x, y);
            all.insert(all.end(), one.begin(), one.end());
        }
    return all;
}

TEST(ZORNSImageExtension, DarkeningLowersEachSampleByTheColoursComplementAndKeepsAlpha)
{
    const std::vector<unsigned> source = { 0, 1, 2, 255, /**/ 200, 100, 50, 128, /**/ 255, 255, 255, 0 };
    auto image = bitmapImage(3, 1, true, source);
    struct Case {
        const char* name;
        gfx::ColorPtr color;
        std::vector<unsigned> expected;
    };
    const Case cases[] = {
        // White lowers by 1; 0 stays 0.
        { "white", Color::whiteColor(), { 0, 0, 1, 255, 199, 99, 49, 128, 254, 254, 254, 0 } },
        // Black clears every colour sample; alpha stays.
        { "black", Color::blackColor(), { 0, 0, 0, 255, 0, 0, 0, 128, 0, 0, 0, 0 } },
        // Per channel: 1 lowers by 1, 0.7 by 77, 0.5 by 128.
        { "mixed", Color::colorWithCalibratedRed(1, 0.7, 0.5), { 0, 0, 0, 255, 199, 23, 0, 128, 254, 178, 127, 0 } },
    };
    for (const auto& c : cases) {
        auto darkened = I::darkenedImageWithColor(*image, *c.color);
        ASSERT_TRUE(darkened) << c.name;
        EXPECT_EQ(darkened->size(), image->size());
        EXPECT_EQ(samplesOf(*darkened), c.expected) << c.name;
    }
    EXPECT_EQ(samplesOf(*image), source) << "the receiver is unchanged";

    // Without alpha the result has none.
    auto opaque = bitmapImage(1, 1, false, { 10, 20, 30 });
    auto darkOpaque = I::darkenedImageWithColor(*opaque, *Color::whiteColor());
    EXPECT_EQ(samplesOf(*darkOpaque), (std::vector<unsigned> { 9, 19, 29 }));
    EXPECT_FALSE(std::dynamic_pointer_cast<gfx::BitmapImageRep>(darkOpaque->representations().front())->hasAlpha());
}

TEST(ZORNSImageExtension, DarkeningNeedsABitmapAndFollowsTheImageSizeInPoints)
{
    auto drawn = gfx::Image::imageWithSize({ 4, 4 }, false, [](const gfx::Rect&) { return true; });
    EXPECT_FALSE(I::darkenedImageWithColor(*drawn, *Color::whiteColor()));
    EXPECT_FALSE(I::darkenedImageWithColor(gfx::Image(), *Color::whiteColor()));

    // Four pixels a side at two points: every other pixel is read.
    std::vector<unsigned> samples;
    for (unsigned i = 0; i < 16; ++i)
        samples.insert(samples.end(), { 10 * i + 1, 10 * i + 1, 10 * i + 1 });
    auto dense = bitmapImage(4, 4, false, samples, { 2, 2 });
    auto darkened = I::darkenedImageWithColor(*dense, *Color::whiteColor());
    ASSERT_TRUE(darkened);
    EXPECT_EQ(samplesOf(*darkened), (std::vector<unsigned> { 0, 0, 0, 20, 20, 20, 80, 80, 80, 100, 100, 100 }));
}

TEST(ZORNSImageExtension, TintingCoversOnlyWhatTheImageShows)
{
    // Opaque red on the left half, half-transparent red at the top right, clear at the bottom right.
    auto image = bitmapImage(2, 2, true, { 255, 0, 0, 255, 255, 0, 0, 128, 255, 0, 0, 255, 0, 0, 0, 0 });
    auto tinted = I::zorTintedImageWithColor(*image, *Color::blueColor());
    EXPECT_EQ(tinted->size(), image->size());
    auto bitmap = tinted->CGImageForProposedRect();
    auto pixels = bitmap->pixelBuffer();
    EXPECT_EQ(pixels.pixel(0, 0), argb(255, 0, 0, 255));
    EXPECT_TRUE(pixelNear(pixels.pixel(1, 0), argb(128, 0, 0, 128), 1));
    EXPECT_EQ(pixels.pixel(0, 1), argb(255, 0, 0, 255));
    EXPECT_EQ(pixels.pixel(1, 1), 0u);
    // The receiver keeps its colours.
    EXPECT_EQ(image->CGImageForProposedRect()->pixelBuffer().pixel(0, 0), argb(255, 255, 0, 0));
}

TEST(ZORNSImageExtension, NormalisingGivesOnePointPerPixel)
{
    auto image = bitmapImage(30, 20, false, std::vector<unsigned>(30 * 20 * 3, 7), { 15, 10 });
    auto same = I::normalizeSize(image);
    EXPECT_EQ(same, image);
    EXPECT_EQ(image->size(), gfx::Size(30, 20));
    EXPECT_EQ(image->representations().front()->size(), gfx::Size(30, 20));

    auto drawn = gfx::Image::imageWithSize({ 5, 6 }, false, [](const gfx::Rect&) { return true; });
    EXPECT_EQ(I::normalizeSize(drawn), drawn);
    EXPECT_EQ(drawn->size(), gfx::Size(5, 6));
}

TEST(ZORNSImageExtension, ABitmapCopyIsTheWholeImageInTheContextsLayoutAndWorksOffTheMainThread)
{
    // A vector image: blue with a red square in its lower left quarter.
    auto image = gfx::Image::imageWithSize({ 10.7, 6 }, false, [](const gfx::Rect& r) {
        Color::blueColor()->setFill();
        gfx::BezierPath::fillRect(r);
        Color::redColor()->setFill();
        gfx::BezierPath::fillRect({ r.minX(), r.minY(), r.width() / 2, r.height() / 2 });
        return true;
    });
    Canvas canvas(4, 4);
    auto* before = gfx::GraphicsContext::current();
    std::shared_ptr<gfx::BitmapImageRep> copy;
    std::thread([&] { copy = I::imageRefCopy(*image); }).join();
    EXPECT_EQ(gfx::GraphicsContext::current(), before);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixelsWide(), 10);
    EXPECT_EQ(copy->pixelsHigh(), 6);
    EXPECT_EQ(copy->layout(), gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = copy->pixelBuffer();
    EXPECT_EQ(pixels.pixel(0, 5), argb(255, 255, 0, 0)) << "bottom left, as the image is not flipped";
    EXPECT_EQ(pixels.pixel(9, 0), argb(255, 0, 0, 255));
    EXPECT_FALSE(I::imageRefCopy(gfx::Image()));
    EXPECT_FALSE(I::imageRefCopy(*gfx::Image::imageWithSize({ 0.5, 3 }, false, [](const gfx::Rect&) { return true; })));
}

// A PNG of 5 × 5 pixels that declares 1 pixel per metre is 14,173.2 points a side: every work bitmap made from it
// has its 5 × 5 pixels, not 14,173 a side (800 MB each), and keeps its size in points.
TEST(ZORNSImageExtension, APictureThatDeclaresALowResolutionGetsBitmapsOfItsOwnPixels)
{
    auto decoded = gfx::Image::imageWithData(testsupport::lowResolutionPNG());
    ASSERT_TRUE(decoded);
    auto image = *decoded;
    const double points = 5 / 0.0254 * 72;
    ASSERT_NEAR(image->size().width, points, 0.01);
    ASSERT_NEAR(image->size().height, points, 0.01);
    // Pixel (x, y) from the top left is (40x + 20, 40y + 20, 100).
    auto expected = [](int x, int y, int lower = 0) {
        return argb(255, unsigned(40 * x + 20 - lower), unsigned(40 * y + 20 - lower), unsigned(100 - lower));
    };

    auto copy = I::imageRefCopy(*image);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixelsWide(), 5);
    EXPECT_EQ(copy->pixelsHigh(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(copy->pixelBuffer().pixel(x, y), expected(x, y)) << x << ", " << y;

    // White lowers every sample by 1.
    auto darkened = I::darkenedImageWithColor(*image, *Color::whiteColor());
    ASSERT_TRUE(darkened);
    EXPECT_NEAR(darkened->size().width, points, 0.01);
    auto darkBitmap = std::dynamic_pointer_cast<gfx::BitmapImageRep>(darkened->representations().front());
    ASSERT_EQ(darkBitmap->pixelsWide(), 5);
    ASSERT_EQ(darkBitmap->pixelsHigh(), 5);
    auto darkPixels = darkBitmap->converted(gfx::BitmapLayout::ARGB32Premultiplied);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(darkPixels->pixelBuffer().pixel(x, y), expected(x, y, 1)) << x << ", " << y;

    // Tinted opaque pixels take the colour.
    auto tinted = I::zorTintedImageWithColor(*image, *Color::blueColor());
    EXPECT_NEAR(tinted->size().width, points, 0.01);
    ASSERT_EQ(tinted->representations().size(), 1u);
    auto tint = std::dynamic_pointer_cast<gfx::BitmapImageRep>(tinted->representations().front());
    ASSERT_TRUE(tint);
    EXPECT_EQ(tint->pixelsWide(), 5);
    EXPECT_EQ(tint->pixelsHigh(), 5);
    EXPECT_EQ(tint->pixelBuffer().pixel(2, 3), argb(255, 0, 0, 255));
}

// A picture drawn by code or from a vector page has no pixels of its own: its bitmap copy is bounded at 4,096 pixels
// a side with its aspect kept, 100,000 × 50,000 points giving 4,096 × 2,048 (not 20 GB).
TEST(ZORNSImageExtension, AHugeVectorPictureGetsABoundedBitmapCopy)
{
    auto image = gfx::Image::imageWithSize({ 100000, 50000 }, false, [](const gfx::Rect& r) {
        Color::redColor()->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    });
    auto copy = I::imageRefCopy(*image);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixelsWide(), 4096);
    EXPECT_EQ(copy->pixelsHigh(), 2048);
    EXPECT_EQ(copy->pixelBuffer().pixel(4095, 2047), argb(255, 255, 0, 0));
    // A sliver keeps a pixel across: 100,000 × 2 points give 4,096 × 1.
    auto sliver
        = I::imageRefCopy(*gfx::Image::imageWithSize({ 100000, 2 }, false, [](const gfx::Rect&) { return true; }));
    ASSERT_TRUE(sliver);
    EXPECT_EQ(sliver->pixelsWide(), 4096);
    EXPECT_EQ(sliver->pixelsHigh(), 1);
}
}
