#include "platform/graphics/Image.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/SVGImageRep.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace gfx;

namespace {

// A pixel as "R G B A" (premultiplied), for readable failures.
std::string at(const PixelBufferView& pixels, int x, int y)
{
    std::uint32_t p = pixels.pixel(x, y);
    return std::to_string(redOf(p)) + " " + std::to_string(greenOf(p)) + " " + std::to_string(blueOf(p)) + " "
        + std::to_string(alphaOf(p));
}

const std::string RedPixel = "255 0 0 255", BluePixel = "0 0 255 255", GreenPixel = "0 255 0 255",
                  ClearPixel = "0 0 0 0", WhitePixel = "255 255 255 255", BlackPixel = "0 0 0 255";

// A 10 × 10 point image: red top half, blue bottom half, as pixels (row 0 is the top).
std::shared_ptr<Image> redOverBlue()
{
    auto rep = BitmapImageRep::create(10, 10, BitmapLayout::RGBA);
    for (long y = 0; y < 10; ++y)
        for (long x = 0; x < 10; ++x)
            rep->setPixel(
                y < 5 ? std::vector<unsigned> { 255, 0, 0, 255 } : std::vector<unsigned> { 0, 0, 255, 255 }, x, y);
    return Image::imageWithRepresentation(rep);
}

// Runs the drawing with a fresh transparent bitmap context current and returns the context.
template <typename Draw> std::shared_ptr<GraphicsContext> drawn(int w, int h, bool flipped, Draw draw)
{
    auto context = GraphicsContext::createForBitmap(w, h, {}, flipped);
    {
        CurrentContextScope scope(context);
        draw();
    }
    context->flush();
    return context;
}

}

TEST(Image, DrawsUprightOrUpsideDownAsTheContextAndFlagsSay)
{
    struct Case {
        const char* name;
        bool contextFlipped;
        bool imageFlipped;
        bool respectFlipped;
        const std::string& top; // the destination's top row
    };
    const Case cases[] = {
        { "plain", false, false, false, RedPixel },
        { "flipped context, old call", true, false, false, BluePixel },
        { "flipped context, respecting it", true, false, true, RedPixel },
        { "flipped image in a plain context", false, true, false, BluePixel },
        { "flipped image, respecting the context", false, true, true, RedPixel },
    };
    for (const auto& c : cases) {
        auto image = redOverBlue();
        image->setFlipped(c.imageFlipped);
        auto context = drawn(10, 10, c.contextFlipped, [&] {
            image->drawInRect({ 0, 0, 10, 10 }, {}, CompositingOperation::SourceOver, 1.0, c.respectFlipped);
        });
        auto pixels = *context->pixelBuffer();
        EXPECT_EQ(at(pixels, 5, 1), c.top) << c.name;
        EXPECT_NE(at(pixels, 5, 8), c.top) << c.name;
    }
}

TEST(Image, SourceRectsOperationsAndFractions)
{
    auto image = redOverBlue();
    struct Case {
        const char* name;
        std::function<void()> draw;
        std::vector<std::pair<std::pair<int, int>, std::string>> expected; // (x, y from the top) → pixel
    };
    const std::vector<Case> cases = {
        { "the top half stretched over all",
            [&] {
                image->drawInRect({ 0, 0, 10, 10 }, { 0, 5, 10, 5 }, CompositingOperation::SourceOver, 1);
            },
            { { { 5, 11 }, RedPixel }, { { 5, 18 }, RedPixel }, { { 5, 8 }, ClearPixel } } },
        { "at a point, at its size",
            [&] {
                image->drawAtPoint({ 3, 2 }, {}, CompositingOperation::SourceOver, 1);
            },
            { { { 2, 9 }, ClearPixel }, { { 3, 8 }, RedPixel }, { { 3, 7 }, ClearPixel }, { { 12, 17 }, BluePixel },
                { { 13, 17 }, ClearPixel }, { { 5, 18 }, ClearPixel }, { { 5, 3 }, ClearPixel } } },
        { "half opacity over white",
            [&] {
                Color::whiteColor()->setFill();
                GraphicsContext::current()->fillRect({ 0, 0, 20, 20 });
                image->drawInRect({ 0, 0, 20, 20 }, {}, CompositingOperation::SourceOver, 0.5);
            },
            { { { 5, 2 }, "255 127 127 255" }, { { 5, 18 }, "127 127 255 255" } } },
        { "copy replaces what was there",
            [&] {
                Color::greenColor()->setFill();
                GraphicsContext::current()->fillRect({ 0, 0, 20, 20 });
                Image::imageWithSize({ 4, 4 })->drawInRect({ 0, 0, 4, 4 });
                auto clearImage = Image::imageWithRepresentation(BitmapImageRep::create(4, 4, BitmapLayout::RGBA));
                clearImage->drawInRect({ 0, 0, 4, 4 }, {}, CompositingOperation::Copy, 1);
            },
            { { { 1, 18 }, ClearPixel }, { { 5, 18 }, GreenPixel } } },
    };
    for (const auto& c : cases) {
        auto context = drawn(20, 20, false, c.draw);
        auto pixels = *context->pixelBuffer();
        for (const auto& [xy, expected] : c.expected) {
            std::string actual = at(pixels, xy.first, xy.second);
            // Blending rounds either way by one.
            if (expected.find("127") != std::string::npos)
                EXPECT_TRUE(
                    actual == expected || actual == std::string(expected).replace(expected.find("127"), 3, "128"))
                    << c.name << " at " << xy.first << "," << xy.second << ": " << actual;
            else
                EXPECT_EQ(actual, expected) << c.name << " at " << xy.first << "," << xy.second;
        }
    }
}

TEST(Image, LockFocusDrawsIntoTheImage)
{
    auto image = Image::imageWithSize({ 20, 10 });
    image->lockFocus();
    Color::redColor()->setFill();
    GraphicsContext::current()->fillRect({ 0, 0, 10, 5 }); // the bottom-left quarter, y up
    image->unlockFocus();
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    ASSERT_EQ(image->representations().size(), 1u);
    auto rep = std::dynamic_pointer_cast<BitmapImageRep>(image->representations()[0]);
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->pixelsWide(), 20);
    EXPECT_EQ(rep->pixelsHigh(), 10);
    auto pixels = rep->pixelBuffer();
    EXPECT_EQ(at(pixels, 2, 8), RedPixel);
    EXPECT_EQ(at(pixels, 2, 2), ClearPixel);
    EXPECT_EQ(at(pixels, 12, 8), ClearPixel);

    // A second round keeps the first drawing; a flipped one measures from the top.
    image->lockFocusFlipped(true);
    Color::blueColor()->setFill();
    GraphicsContext::current()->fillRect({ 10, 0, 10, 5 }); // the top-right quarter
    image->unlockFocus();
    pixels = std::dynamic_pointer_cast<BitmapImageRep>(image->representations()[0])->pixelBuffer();
    EXPECT_EQ(at(pixels, 2, 8), RedPixel);
    EXPECT_EQ(at(pixels, 15, 2), BluePixel);
    EXPECT_EQ(at(pixels, 15, 8), ClearPixel);

    // Its TIFF reads back with the same pixels.
    auto tiff = image->TIFFRepresentation();
    ASSERT_TRUE(tiff);
    auto back = BitmapImageRep::imageRepWithData(*tiff);
    ASSERT_TRUE(back);
    std::vector<unsigned> px(4);
    (*back)->getPixel(px, 15, 2);
    EXPECT_EQ(px, (std::vector<unsigned> { 0, 0, 255, 255 }));
}

TEST(Image, DrawingHandlersDrawWhenDrawn)
{
    int calls = 0;
    auto image = Image::imageWithSize({ 10, 10 }, false, [&](const Rect& r) {
        ++calls;
        EXPECT_EQ(r, Rect(0, 0, 10, 10));
        Color::redColor()->setFill();
        GraphicsContext::current()->fillRect({ 0, 0, 10, 5 }); // bottom half
        return true;
    });
    auto direct = drawn(20, 20, false, [&] { image->drawInRect({ 0, 0, 20, 20 }); });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(at(*direct->pixelBuffer(), 5, 15), RedPixel);
    EXPECT_EQ(at(*direct->pixelBuffer(), 5, 5), ClearPixel);

    // Upright in a flipped context, and through a bitmap for a fraction.
    auto flipped = drawn(20, 20, true, [&] { image->drawInRect({ 0, 0, 20, 20 }); });
    EXPECT_EQ(at(*flipped->pixelBuffer(), 5, 15), RedPixel);
    auto faded = drawn(20, 20, false, [&] {
        image->drawInRect({ 0, 0, 20, 20 }, {}, CompositingOperation::SourceOver, 0.5);
    });
    EXPECT_EQ(alphaOf(faded->pixelBuffer()->pixel(5, 15)), 128);
    EXPECT_EQ(alphaOf(faded->pixelBuffer()->pixel(5, 5)), 0);
    // Faded, in a flipped context (a dimmed toolbar item), from a picture drawn top down too: each the way up it
    // is when drawn whole. The picture draws its top half (y down), which stands at the top when upright.
    // The handler sees the context flipped as its picture is (text and arcs follow the flag), however it is drawn.
    std::vector<bool> seenFlipped;
    auto topDown = Image::imageWithSize({ 10, 10 }, true, [&](const Rect&) {
        seenFlipped.push_back(GraphicsContext::current()->isFlipped());
        Color::redColor()->setFill();
        GraphicsContext::current()->fillRect({ 0, 0, 10, 5 });
        return true;
    });
    for (bool contextFlipped : { false, true })
        for (double fraction : { 1.0, 0.5 }) {
            // Flipped as a flipped view draws in its window: a y-down CTM over a y-up context.
            auto shown = drawn(20, 20, false, [&] {
                auto& context = *GraphicsContext::current();
                if (contextFlipped) {
                    context.concatCTM({ 1, 0, 0, -1, 0, 20 });
                    context.setFlipped(true);
                }
                topDown->drawInRect({ 0, 0, 20, 20 }, {}, CompositingOperation::SourceOver, fraction, true);
            });
            EXPECT_EQ(alphaOf(shown->pixelBuffer()->pixel(5, 5)), fraction == 1 ? 255 : 128)
                << contextFlipped << " " << fraction;
            EXPECT_EQ(alphaOf(shown->pixelBuffer()->pixel(5, 15)), 0) << contextFlipped << " " << fraction;
        }
    EXPECT_EQ(seenFlipped, std::vector<bool>(4, true));
    seenFlipped.clear();
    auto upright = Image::imageWithSize({ 10, 10 }, false, [&](const Rect&) {
        seenFlipped.push_back(GraphicsContext::current()->isFlipped());
        return true;
    });
    (void)drawn(20, 20, true, [&] { upright->drawInRect({ 0, 0, 20, 20 }); });
    (void)drawn(20, 20, true, [&] {
        upright->drawInRect({ 0, 0, 20, 20 }, {}, CompositingOperation::SourceOver, 0.5, true);
    });
    EXPECT_EQ(seenFlipped, std::vector<bool>(2, false));
}

TEST(Image, VectorPicturesDrawAtTheDestinationsResolution)
{
    // A PDF page of 20 × 10 points, black in its bottom-left quarter.
    auto pdf = GraphicsContext::createForPDF({ 20, 10 });
    {
        CurrentContextScope scope(pdf);
        Color::blackColor()->setFill();
        pdf->fillRect({ 0, 0, 10, 5 });
    }
    auto data = pdf->finishDocument();
    ASSERT_TRUE(data);
    // An SVG of the same size, red in its top-left quarter (SVG measures from the top).
    auto svg = fnd::Data::fromString(R"(<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10"><rect x="0" y="0" width="10" height="5" fill="#ff0000"/></svg>)");

    struct Case {
        const char* name;
        fnd::Data data;
        std::string quarter;
        int row; // a row inside the painted quarter, from the top, at twice the size
    };
    const Case cases[] = { { "PDF", *data, BlackPixel, 15 }, { "SVG", svg, RedPixel, 5 } };
    for (const auto& c : cases) {
        auto image = Image::imageWithData(c.data);
        ASSERT_TRUE(image) << c.name << ": " << image.error().localizedFailureReason();
        EXPECT_EQ((*image)->size(), (Size { 20, 10 })) << c.name;
        // Twice the size: the edge between the halves is still sharp, as vectors are drawn at the target's pixels.
        auto context = drawn(40, 20, false, [&] { (*image)->drawInRect({ 0, 0, 40, 20 }); });
        auto pixels = *context->pixelBuffer();
        EXPECT_EQ(at(pixels, 19, c.row), c.quarter) << c.name;
        EXPECT_EQ(at(pixels, 20, c.row), ClearPixel) << c.name;
        EXPECT_EQ(at(pixels, 19, 19 - c.row), ClearPixel) << c.name;

        auto bitmap = (*image)->CGImageForProposedRect(Rect(0, 0, 60, 30));
        ASSERT_TRUE(bitmap) << c.name;
        EXPECT_EQ(bitmap->pixelsWide(), 60);
        EXPECT_EQ(bitmap->layout(), BitmapLayout::ARGB32Premultiplied);
        EXPECT_EQ(at(bitmap->pixelBuffer(), 29, c.row * 3 / 2), c.quarter) << c.name;
    }
    EXPECT_FALSE(Image::imageWithData(fnd::Data::fromString("%PDF-1.4 truncated")));
    EXPECT_FALSE(Image::imageWithData(fnd::Data::fromString("<svg xmlns='http://www.w3.org/2000/svg'><rect")));
}

// A PDF's object numbers size poppler's table of objects: one naming more objects than a PDF may have (8,388,607)
// is refused wherever it names them, while large numbers elsewhere (a string, a line width) leave it readable.
TEST(Image, APDFNamingTooManyObjectsIsRefused)
{
    // A page of 20 × 10 points in objects 1 to 3, the page numbered as asked, with what the cases put before the
    // trailer and in it. No valid cross-reference table: poppler rebuilds it from the objects' headers.
    auto pdf = [](long long page, const std::string& tail, const std::string& trailer = "") {
        const std::string number = std::to_string(page);
        return fnd::Data::fromString("%PDF-1.4\n1 0 obj\n<</Type/Catalog/Pages 2 0 R>>\nendobj\n"
                                     "2 0 obj\n<</Type/Pages/Kids["
            + number + " 0 R]/Count 1>>\nendobj\n" + number + " 0 obj\n<</Type/Page/Parent 2 0 R/MediaBox[0 0 20 10]"
            + "/Contents 4 0 R>>\nendobj\n4 0 obj\n<</Length 33>>\nstream\nBT (123456789012) Tj 99999999.5 w\n"
            + "endstream\nendobj\n" + tail + "trailer\n<</Root 1 0 R" + trailer + ">>\n%%EOF\n");
    };
    struct Case {
        const char* name;
        fnd::Data data;
        bool opens;
    };
    const Case cases[] = {
        { "object numbers within the limit", pdf(3, "", "/Size 5"), true },
        { "an object numbered 9,000,000", pdf(9'000'000, ""), false },
        { "glued to its keyword", pdf(3, "9000000 0obj\n<<>>\nendobj\n"), false },
        { "a subsection of 9,000,000", pdf(3, "xref\n0 1\n0000000000 65535 f \n8999999 1\n0000000009 00000 n \n"),
            false },
        { "a trailer's size", pdf(3, "", "/Size 8388609"), false },
        { "a stream's index", pdf(3, "5 0 obj\n<</Type/XRef/Index[0 5 8388607 2]/W[1 2 1]>>\nendobj\n"), false },
    };
    for (const auto& c : cases) {
        auto rep = PDFImageRep::imageRepWithData(c.data);
        EXPECT_EQ(bool(rep), c.opens) << c.name;
        if (rep) {
            EXPECT_EQ((*rep)->bounds().size, Size(20, 10)) << c.name;
        }
    }
}

TEST(Image, NamedImagesComeFromBundles)
{
    gfx::test::TemporaryFolder folder;
    auto bundlePath = folder.file("Pictures");
    std::filesystem::create_directory(bundlePath);
    auto rep = BitmapImageRep::create(6, 4, BitmapLayout::RGB);
    rep->setSize({ 3, 2 }); // 144 dpi
    ASSERT_TRUE(rep->writeToFile(bundlePath + "/Swatch.png", BitmapImageFileType::PNG));
    std::ofstream(bundlePath + "/Broken.png") << "not a picture";

    auto bundle = fnd::Bundle::bundleWithPath(bundlePath);
    ASSERT_TRUE(bundle);
    auto image = Image::imageForResource(*bundle, "Swatch");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (Size { 3, 2 }));
    EXPECT_EQ(image->representations()[0]->pixelsWide(), 6);
    EXPECT_FALSE(Image::imageForResource(*bundle, "Broken"));
    EXPECT_FALSE(Image::imageForResource(*bundle, "Missing"));

    // The registry of names.
    EXPECT_TRUE(image->setName("TestSwatch"));
    EXPECT_EQ(Image::imageNamed("TestSwatch"), image);
    EXPECT_FALSE(Image::imageWithSize({ 1, 1 })->setName("TestSwatch"));
    EXPECT_TRUE(image->setName(""));
    EXPECT_FALSE(Image::imageNamed("TestSwatch"));
}
