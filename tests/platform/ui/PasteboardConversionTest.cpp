#include "platform/ui/dragging/PasteboardConversion.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using ui::Pasteboard;
namespace Type = ui::PasteboardType;
namespace conversion = ui::pasteboardconversion;

// A page of 60 × 40 points with a black rectangle from (5, 5) to (55, 25), y up: 15 points below the page's top
// and 5 above its bottom.
fnd::Data pagePDF(gfx::Size page = { 60, 40 })
{
    auto context = gfx::GraphicsContext::createForPDF(page);
    {
        gfx::CurrentContextScope scope(context);
        context->setFillColor(*gfx::Color::blackColor());
        context->fillRect({ 5, 5, 50, 20 });
    }
    return *context->finishDocument();
}

std::shared_ptr<gfx::BitmapImageRep> decoded(const fnd::Data& png)
{
    auto rep = gfx::BitmapImageRep::imageRepWithData(png);
    EXPECT_TRUE(rep) << "the conversion's PNG does not decode";
    return rep ? (*rep)->converted(gfx::BitmapLayout::ARGB32Premultiplied) : nullptr;
}

// Promises a PDF and counts how often it is asked for it.
class PDFOwner : public ui::PasteboardOwner {
public:
    void pasteboardProvideDataForType(Pasteboard& pasteboard, const fnd::String& type) override
    {
        ++asked;
        pasteboard.setData(pagePDF(), type);
    }
    int asked { 0 };
};

}

// The page at 144 dots per inch: twice its points in pixels (120 × 80), the rectangle opaque black from pixel
// (10, 30) to (110, 70) counted from the top left, the rest transparent, and the PNG says 144 dpi.
TEST(PasteboardConversion, APDFPageBecomesAPNGAtTheResolution)
{
    auto png = conversion::pngOfPDF(pagePDF(), 144);
    ASSERT_TRUE(png) << png.error().localizedDescription().utf8();
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->pixelsWide(), 120);
    ASSERT_EQ(bitmap->pixelsHigh(), 80);
    EXPECT_NEAR(bitmap->resolution().width, 144, 0.5);
    auto pixels = bitmap->pixelBuffer();
    EXPECT_EQ(pixels.pixel(60, 50), 0xFF000000u) << "inside the rectangle";
    EXPECT_EQ(pixels.pixel(11, 31), 0xFF000000u) << "just inside its top left corner";
    EXPECT_EQ(pixels.pixel(108, 68), 0xFF000000u) << "just inside its bottom right corner";
    EXPECT_EQ(pixels.pixel(60, 20) >> 24, 0u) << "above it, the page is clear";
    EXPECT_EQ(pixels.pixel(8, 50) >> 24, 0u) << "left of it";
    EXPECT_EQ(pixels.pixel(60, 75) >> 24, 0u) << "below it";
}

// Each side is rounded up to whole pixels (61 points at 100 dpi: 84.7 → 85); a resolution outside the limits is
// brought inside them (9 dpi: 60 points → 7.5 → 8 pixels; 2400 dpi: 2000), and one that is not a number is the
// default, a pixel a point.
TEST(PasteboardConversion, SidesRoundUpAndTheResolutionIsBounded)
{
    struct Case {
        gfx::Size page;
        double resolution;
        long wide, high;
    };
    const Case cases[] = {
        { { 61, 40 }, 100, 85, 56 },
        { { 60, 40 }, 0, 8, 5 },
        { { 60, 40 }, -300, 8, 5 },
        { { 60, 40 }, 1e12, 2000, 1334 },
        { { 60, 40 }, std::numeric_limits<double>::quiet_NaN(), 60, 40 },
        { { 60, 40 }, std::numeric_limits<double>::infinity(), 2000, 1334 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page.width << " × " << c.page.height << " pt at " << c.resolution);
        auto png = conversion::pngOfPDF(pagePDF(c.page), c.resolution);
        ASSERT_TRUE(png);
        auto bitmap = decoded(*png);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->pixelsWide(), c.wide);
        EXPECT_EQ(bitmap->pixelsHigh(), c.high);
    }
}

// A page that would have more pixels than a bitmap may is rendered at the resolution that fits it; what is not a
// PDF gives no PNG.
TEST(PasteboardConversion, AHugePageIsBoundedAndOtherDataRefused)
{
    auto png = conversion::pngOfPDF(pagePDF({ 4000, 3000 }), 2400);
    ASSERT_TRUE(png);
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    const double pixels = double(bitmap->pixelsWide()) * double(bitmap->pixelsHigh());
    EXPECT_LE(pixels, conversion::MaxPixels);
    EXPECT_GT(pixels, conversion::MaxPixels * 0.99);
    EXPECT_NEAR(double(bitmap->pixelsWide()) / double(bitmap->pixelsHigh()), 4.0 / 3.0, 0.001);

    EXPECT_FALSE(conversion::pngOfPDF(fnd::Data::fromString("%PDF-1.4 nothing else"), 72));
    EXPECT_FALSE(conversion::pngOfPDF(fnd::Data::fromString("GIF89a"), 72));
}

// A pasteboard holding a PDF and no PNG also gives PNG, made from its PDF (asked of the owner once) at the
// resolution the writer chose; one holding a PNG of its own converts nothing, nor does one without a PDF.
TEST(PasteboardConversion, APasteboardOffersPNGForItsPDF)
{
    auto pasteboard = Pasteboard::pasteboardWithUniqueName();
    auto owner = std::make_shared<PDFOwner>();
    pasteboard->declareTypes({ Type::PDF, Type::String }, owner);
    pasteboard->setImageResolution(216);
    EXPECT_EQ(conversion::convertedTypes(*pasteboard), std::vector<fnd::String> { Type::PNG });
    EXPECT_EQ(owner->asked, 0) << "offering makes no data";
    EXPECT_FALSE(conversion::convertedData(*pasteboard, Type::String));
    auto png = conversion::convertedData(*pasteboard, Type::PNG);
    ASSERT_TRUE(png);
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 180);
    EXPECT_EQ(bitmap->pixelsHigh(), 120);
    ASSERT_TRUE(conversion::convertedData(*pasteboard, Type::PNG));
    EXPECT_EQ(owner->asked, 1);

    pasteboard->declareTypes({ Type::PDF, Type::PNG });
    EXPECT_TRUE(conversion::convertedTypes(*pasteboard).empty());
    EXPECT_FALSE(conversion::convertedData(*pasteboard, Type::PNG));
    pasteboard->declareTypes({ Type::String });
    EXPECT_TRUE(conversion::convertedTypes(*pasteboard).empty());
    pasteboard->releaseGlobally();
}

// The writer's resolution lasts until the next declaration or clearing; it is kept inside the limits.
TEST(PasteboardConversion, TheResolutionBelongsToOneDeclaration)
{
    auto pasteboard = Pasteboard::pasteboardWithUniqueName();
    EXPECT_EQ(pasteboard->imageResolution(), 72);
    pasteboard->declareTypes({ Type::PDF });
    pasteboard->setImageResolution(300);
    EXPECT_EQ(pasteboard->imageResolution(), 300);
    pasteboard->declareTypes({ Type::PDF });
    EXPECT_EQ(pasteboard->imageResolution(), 72);
    pasteboard->setImageResolution(600);
    pasteboard->clearContents();
    EXPECT_EQ(pasteboard->imageResolution(), 72);
    pasteboard->setImageResolution(1e9);
    EXPECT_EQ(pasteboard->imageResolution(), 2400);
    pasteboard->setImageResolution(-1);
    EXPECT_EQ(pasteboard->imageResolution(), 9);
    pasteboard->setImageResolution(std::nan(""));
    EXPECT_EQ(pasteboard->imageResolution(), 72);
    pasteboard->releaseGlobally();
}
