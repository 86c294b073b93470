#include "platform/ui/dragging/PasteboardConversion.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

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

// A one-page PDF written out by hand, for pages a drawing context does not make (no width, a million points long).
fnd::Data handWrittenPDF(const std::string& mediaBox, const std::string& content)
{
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(out.size());
        out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<</Type/Catalog/Pages 2 0 R>>");
    object("<</Type/Pages/Kids[3 0 R]/Count 1>>");
    object("<</Type/Page/Parent 2 0 R/MediaBox[" + mediaBox + "]/Contents 4 0 R>>");
    object("<</Length " + std::to_string(content.size()) + ">>\nstream\n" + content + "\nendstream");
    const std::size_t xref = out.size();
    out += "xref\n0 5\n0000000000 65535 f \n";
    for (auto offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    out += "trailer\n<</Size 5/Root 1 0 R>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return fnd::Data::fromString(out);
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
        double dpi;
    };
    const Case cases[] = {
        { { 61, 40 }, 100, 85, 56, 100 },
        { { 60, 40 }, 0, 8, 5, 9 },
        { { 60, 40 }, -300, 8, 5, 9 },
        { { 60, 40 }, 1e12, 2000, 1334, 2400 },
        { { 60, 40 }, std::numeric_limits<double>::quiet_NaN(), 60, 40, 72 },
        { { 60, 40 }, std::numeric_limits<double>::infinity(), 2000, 1334, 2400 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page.width << " × " << c.page.height << " pt at " << c.resolution);
        auto size = conversion::bitmapSize(c.page, c.resolution);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->wide, c.wide);
        EXPECT_EQ(size->high, c.high);
        EXPECT_EQ(size->resolution, c.dpi);
    }
    auto png = conversion::pngOfPDF(pagePDF({ 61, 40 }), 100);
    ASSERT_TRUE(png);
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 85);
    EXPECT_EQ(bitmap->pixelsHigh(), 56);
}

// A page whose bitmap would have more than 16 Mi pixels, or a side longer than 32,767, is rendered at the highest
// resolution at which it has neither: there one side fills its pixels exactly and one more pixel on it is too many.
// Worked by hand (a × b pixels, k pixels a point):
//   4000 × 3000 pt at 2400 dpi: a = 4729, b = ⌈0.75 a⌉ = 3547, 16,773,763 pixels (a = 4730 gives b = 3548 and
//   16,782,040; b = 3547 as the exact side needs a = ⌈4729.3⌉ = 4730, too many), k = 4729 / 4000: 85.122 dpi;
//   40,000 × 10 pt at 72 dpi: 40,000 pixels is too long a side, so a = 32,767, k = 0.819175, b = ⌈8.19⌉ = 9;
//   a million × 1 pt at 2400 dpi: a = 32,767, b = 1, k = 0.032767: 2.359224 dpi;
//   1000 × 10 pt within 1000 pixels: a = 300, b = 3 (900 pixels: a = 301 needs b = 4, 1204), 21.6 dpi, where
//   shrinking by the ratio of the areas alone gives 316 × 4, too many.
TEST(PasteboardConversion, ALargePageIsRenderedAtTheHighestResolutionThatFits)
{
    struct Case {
        gfx::Size page;
        double resolution, maxPixels;
        long wide, high;
        double dpi;
    };
    const Case cases[] = {
        { { 4000, 3000 }, 2400, conversion::MaxPixels, 4729, 3547, 85.122 },
        { { 3000, 4000 }, 2400, conversion::MaxPixels, 3547, 4729, 85.122 },
        { { 40000, 10 }, 72, conversion::MaxPixels, 32767, 9, 58.98060 },
        { { 1e6, 1 }, 2400, conversion::MaxPixels, 32767, 1, 2.359224 },
        { { 1000, 10 }, 2400, 1000, 300, 3, 21.6 },
        { { 4000, 3000 }, 2400, 1200, 40, 30, 0.72 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page.width << " × " << c.page.height << " pt at " << c.resolution
                                        << " dpi within " << c.maxPixels << " pixels");
        auto size = conversion::bitmapSize(c.page, c.resolution, c.maxPixels);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->wide, c.wide);
        EXPECT_EQ(size->high, c.high);
        EXPECT_NEAR(size->resolution, c.dpi, 1e-5);
    }

    // The bitmap drawn is that one: the page 40,000 points long shows its rectangle (from 5 points in, at 0.82
    // pixels a point: pixels 4 to 45 across, 0 to 4 down from the top of a page 10 points high).
    auto png = conversion::pngOfPDF(pagePDF({ 40000, 10 }), 72);
    ASSERT_TRUE(png);
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 32767);
    EXPECT_EQ(bitmap->pixelsHigh(), 9);
    EXPECT_EQ(bitmap->pixelBuffer().pixel(20, 2), 0xFF000000u) << "the rectangle is drawn";
    EXPECT_EQ(bitmap->pixelBuffer().pixel(60, 2) >> 24, 0u) << "and the page beyond it is clear";
    png = conversion::pngOfPDF(handWrittenPDF("0 0 1000000 1", ""), 2400);
    ASSERT_TRUE(png) << png.error().localizedFailureReason().utf8();
    bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 32767);
    EXPECT_EQ(bitmap->pixelsHigh(), 1);
    png = conversion::pngOfPDF(pagePDF({ 4000, 3000 }), 2400, 1200);
    ASSERT_TRUE(png);
    bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 40);
    EXPECT_EQ(bitmap->pixelsHigh(), 30);
}

// What poppler does not open, a page without area and one whose area is beyond numbers give no PNG; a page that
// draws nothing gives a clear one.
TEST(PasteboardConversion, OnlyAPageWithAreaConverts)
{
    EXPECT_FALSE(conversion::pngOfPDF(fnd::Data::fromString("%PDF-1.4 nothing else"), 72));
    EXPECT_FALSE(conversion::pngOfPDF(fnd::Data::fromString("GIF89a"), 72));
    EXPECT_FALSE(conversion::pngOfPDF(handWrittenPDF("10 10 10 50", "0 0 1 rg 0 0 10 10 re f"), 72))
        << "a page no wide";
    EXPECT_FALSE(conversion::bitmapSize({ 60, 0 }, 72));
    EXPECT_FALSE(conversion::bitmapSize({ -60, 40 }, 72));
    EXPECT_FALSE(conversion::bitmapSize({ 1e200, 1e200 }, 72)) << "an area beyond numbers";
    EXPECT_FALSE(conversion::bitmapSize({ std::numeric_limits<double>::quiet_NaN(), 40 }, 72));

    auto png = conversion::pngOfPDF(handWrittenPDF("0 0 60 40", ""), 72);
    ASSERT_TRUE(png);
    auto bitmap = decoded(*png);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->pixelsWide(), 60);
    ASSERT_EQ(bitmap->pixelsHigh(), 40);
    for (long y = 0; y < 40; ++y)
        for (long x = 0; x < 60; ++x)
            ASSERT_EQ(bitmap->pixelBuffer().pixel(x, y), 0u) << "at " << x << ", " << y;
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
