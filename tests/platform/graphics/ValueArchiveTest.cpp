#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/graphics/Shadow.h"

#include <gtest/gtest.h>

// Images, gradients and shadows in archives: an image keeps its pictures as data other programs read (so a decoded
// image draws the same pixels), and damaged archives of them are refused.
namespace {

using fnd::KeyedArchiver;
using fnd::KeyedUnarchiver;

template <typename T> std::shared_ptr<T> valueArchiveRoundTrip(const std::shared_ptr<T>& object)
{
    auto data = KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    EXPECT_TRUE(data) << (data ? "" : data.error().localizedDescription().utf8());
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    EXPECT_TRUE(decoded) << (decoded ? "" : decoded.error().localizedDescription().utf8());
    return decoded ? decoded->objectAs<T>() : nullptr;
}

// The image drawn into a bitmap of `pixels` pixels standing for `points` points, as ARGB words, top row first.
std::vector<std::uint32_t> valueArchivePixels(const gfx::Image& image, gfx::Size points, int scale)
{
    auto bitmap = gfx::BitmapImageRep::create(
        long(points.width * scale), long(points.height * scale), gfx::BitmapLayout::ARGB32Premultiplied);
    bitmap->setSize(points);
    auto buffer = bitmap->pixelBuffer();
    auto context = gfx::GraphicsContext::createForBitmap(buffer, points, false);
    gfx::GraphicsContext::saveCurrentGraphicsState();
    gfx::GraphicsContext::setCurrent(context);
    image.drawInRect({ {}, points });
    gfx::GraphicsContext::restoreCurrentGraphicsState();
    context->flush();
    std::vector<std::uint32_t> words;
    for (int y = 0; y < buffer.height; ++y)
        for (int x = 0; x < buffer.width; ++x)
            words.push_back(buffer.pixel(x, y));
    return words;
}

std::shared_ptr<gfx::Image> valueArchiveChecker(int side)
{
    auto bitmap = gfx::BitmapImageRep::create(side, side, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = bitmap->pixelBuffer();
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            // Opaque squares and a half-transparent diagonal, so premultiplied values travel too.
            pixels.row(y)[x] = x == y ? 0x80400000u : ((x / 2 + y / 2) % 2 ? 0xff2060a0u : 0xffffffffu);
    return gfx::Image::imageWithRepresentation(bitmap);
}

TEST(ValueArchive, ImagesKeepTheirPicturesAsDataOtherProgramsRead)
{
    // A bitmap: the same pixels back, stored as PNG.
    auto checker = valueArchiveChecker(16);
    checker->setFlipped(true);
    auto decoded = valueArchiveRoundTrip(checker);
    ASSERT_NE(decoded, nullptr);
    EXPECT_TRUE(decoded->isFlipped());
    EXPECT_EQ(decoded->size(), checker->size());
    EXPECT_EQ(valueArchivePixels(*decoded, { 16, 16 }, 1), valueArchivePixels(*checker, { 16, 16 }, 1));

    // A drawing handler cannot be stored: it comes back as bitmaps at 1x and 2x, each drawn where it fits.
    auto drawn = gfx::Image::imageWithSize({ 10, 10 }, false, [](const gfx::Rect& r) {
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::bezierPathWithOvalInRect({ r.minX() + 1, r.minY() + 1, 8, 8 })->fill();
        return true;
    });
    auto rendered = valueArchiveRoundTrip(drawn);
    ASSERT_NE(rendered, nullptr);
    ASSERT_EQ(rendered->representations().size(), 2u);
    EXPECT_EQ(rendered->representations()[0]->pixelsWide(), 10);
    EXPECT_EQ(rendered->representations()[1]->pixelsWide(), 20);
    EXPECT_EQ(valueArchivePixels(*rendered, { 10, 10 }, 1), valueArchivePixels(*drawn, { 10, 10 }, 1));
    EXPECT_EQ(valueArchivePixels(*rendered, { 10, 10 }, 2), valueArchivePixels(*drawn, { 10, 10 }, 2));

    // A vector picture stays a vector picture.
    const char* svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="12" height="12"><rect x="2" y="2" width="8" )"
                      R"(height="8" fill="#00f"/></svg>)";
    auto vector = *gfx::Image::imageWithData(fnd::Data::fromString(svg));
    auto vectorBack = valueArchiveRoundTrip(vector);
    ASSERT_NE(vectorBack, nullptr);
    EXPECT_EQ(vectorBack->representations().front()->className(), "SVGImageRep");
    EXPECT_EQ(valueArchivePixels(*vectorBack, { 12, 12 }, 3), valueArchivePixels(*vector, { 12, 12 }, 3));

    // The sequential form carries the same.
    auto sequential = fnd::SequentialUnarchiver::unarchiveObjectWithData(
        *fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(checker)))
                          .objectAs<gfx::Image>();
    ASSERT_NE(sequential, nullptr);
    EXPECT_EQ(valueArchivePixels(*sequential, { 16, 16 }, 1), valueArchivePixels(*checker, { 16, 16 }, 1));
}

TEST(ValueArchive, GradientsAndShadowsComeBackEqual)
{
    auto gradient = gfx::Gradient::gradientWithColorsAndLocations(
        { { gfx::Color::redColor(), 0.0 }, { gfx::Color::colorWithCalibratedWhite(0.5, 0.5), 0.3 },
            { gfx::Color::blueColor(), 1.0 } },
        gfx::ColorSpaceName::DeviceRGB);
    auto decoded = valueArchiveRoundTrip(gradient);
    ASSERT_NE(decoded, nullptr);
    EXPECT_TRUE(decoded->isEqual(*gradient));
    EXPECT_EQ(decoded->colorSpaceName(), gfx::ColorSpaceName::DeviceRGB);
    EXPECT_EQ(decoded->colorStopAtIndex(1).location, 0.3);

    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowOffset({ 2, -3 });
    shadow->setShadowBlurRadius(4.5);
    shadow->setShadowColor(gfx::Color::colorWithCalibratedRed(0, 0, 0, 0.4));
    auto shadowBack = valueArchiveRoundTrip(shadow);
    ASSERT_NE(shadowBack, nullptr);
    EXPECT_TRUE(shadowBack->isEqual(*shadow));
}

TEST(ValueArchive, DamagedImagesGradientsAndShadowsAreRefused)
{
    struct Case {
        const char* what;
        fnd::Dictionary entry;
        const char* className;
    };
    const fnd::Data garbage = fnd::Data::fromString("not a picture at all");
    const Case cases[] = {
        { "an image whose picture is not data",
            { { "NSSize", fnd::Value(fnd::Dictionary { { "$size", fnd::Array { 4, 4 } } }) },
                { "NSRepresentations", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { 5 } } }) },
                { "NSRepresentationSizes",
                    fnd::Value(fnd::Dictionary { { "$array",
                        fnd::Array { fnd::Value(fnd::Dictionary { { "$size", fnd::Array { 4, 4 } } }) } } }) } },
            "Image" },
        { "an image whose picture cannot be read",
            { { "NSSize", fnd::Value(fnd::Dictionary { { "$size", fnd::Array { 4, 4 } } }) },
                { "NSRepresentations", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { garbage } } }) },
                { "NSRepresentationSizes",
                    fnd::Value(fnd::Dictionary { { "$array",
                        fnd::Array { fnd::Value(fnd::Dictionary { { "$size", fnd::Array { 4, 4 } } }) } } }) } },
            "Image" },
        { "an image of an impossible size",
            { { "NSSize", fnd::Value(fnd::Dictionary { { "$size", fnd::Array { -4, 1e300 } } }) },
                { "NSRepresentations", fnd::Value(fnd::Dictionary { { "$array", fnd::Array {} } }) },
                { "NSRepresentationSizes", fnd::Value(fnd::Dictionary { { "$array", fnd::Array {} } }) } },
            "Image" },
        { "a gradient with more colours than locations",
            { { "NSColors", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { fnd::String("red") } } }) },
                { "NSLocations", fnd::Value(fnd::Dictionary { { "$array", fnd::Array {} } }) } },
            "Gradient" },
        { "a shadow whose colour is a string", { { "NSShadowColor", fnd::Value(fnd::String("black")) } }, "Shadow" },
    };
    for (const auto& c : cases) {
        fnd::Dictionary entry = c.entry;
        entry.set("$class", fnd::Value(0));
        fnd::Dictionary archive { { "$format", fnd::Value(fnd::String("fnd.keyed-archive")) },
            { "$formatVersion", fnd::Value(1) },
            { "$top", fnd::Value(fnd::Dictionary { { "root", fnd::Value(fnd::Dictionary { { "$ref", 0 } }) } }) },
            { "$objects", fnd::Value(fnd::Array { fnd::Value(entry) }) },
            { "$classes",
                fnd::Value(fnd::Array {
                    fnd::Value(fnd::Dictionary { { "hierarchy", fnd::Value(fnd::Array { fnd::String(c.className) }) },
                        { "versions", fnd::Value(fnd::Array { 0 }) } }) }) } };
        auto data = fnd::PropertyList::writeXML(fnd::Value(archive));
        ASSERT_TRUE(data);
        auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        EXPECT_FALSE(decoded) << c.what << " was accepted";
    }
}

}
