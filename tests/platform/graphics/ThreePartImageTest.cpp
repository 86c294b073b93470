#include "platform/graphics/ThreePartImage.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gfx;

namespace {

// A w × h picture of one colour, with a red top row so orientation shows.
std::shared_ptr<Image> threePartPiece(int w, int h, std::vector<unsigned> rgba)
{
    auto rep = BitmapImageRep::create(w, h, BitmapLayout::RGBA);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            rep->setPixel(y == 0 ? std::vector<unsigned> { 255, 0, 0, 255 } : rgba, x, y);
    return Image::imageWithRepresentation(rep);
}

std::string threePartAt(const PixelBufferView& pixels, int x, int y)
{
    std::uint32_t p = pixels.pixel(x, y);
    return std::to_string(redOf(p)) + " " + std::to_string(greenOf(p)) + " " + std::to_string(blueOf(p));
}

}

TEST(ThreePartImage, CapsKeepTheirWidthTheFillStretchesAndMissingPiecesLeaveGaps)
{
    auto start = threePartPiece(4, 10, { 0, 255, 0, 255 });
    auto fill = threePartPiece(1, 10, { 0, 0, 255, 255 });
    auto end = threePartPiece(6, 10, { 255, 255, 255, 255 });
    struct Case {
        const char* name;
        const Image *s, *c, *e;
        std::vector<std::pair<int, std::string>> row5; // x → pixel on row 5 (from the top)
    };
    const Case cases[] = {
        { "all three", start.get(), fill.get(), end.get(),
            { { 1, "0 255 0" }, { 3, "0 255 0" }, { 4, "0 0 255" }, { 23, "0 0 255" }, { 24, "255 255 255" } } },
        { "no fill", start.get(), nullptr, end.get(), { { 3, "0 255 0" }, { 10, "0 0 0" }, { 29, "255 255 255" } } },
        { "fill only", nullptr, fill.get(), nullptr, { { 0, "0 0 255" }, { 29, "0 0 255" } } },
        { "end cap only", nullptr, nullptr, end.get(), { { 0, "0 0 0" }, { 23, "0 0 0" }, { 25, "255 255 255" } } },
    };
    for (const auto& c : cases) {
        auto context = GraphicsContext::createForBitmap(30, 10, {}, true);
        {
            CurrentContextScope scope(context);
            drawThreePartImage({ 0, 0, 30, 10 }, c.s, c.c, c.e, false, CompositingOperation::SourceOver, 1.0, true);
        }
        context->flush();
        auto pixels = *context->pixelBuffer();
        for (const auto& [x, pixel] : c.row5)
            EXPECT_EQ(threePartAt(pixels, x, 5), pixel) << c.name << " at x " << x;
    }
}

TEST(ThreePartImage, OrientationFollowsTheFlippedArgumentAndTheImage)
{
    struct Case {
        bool contextFlipped, argument, imageFlipped;
        bool upright;
    };
    const Case cases[] = {
        { true, true, false, true }, { false, false, false, true }, { true, false, false, false },
        { true, false, true, true }, // a flipped picture drawn with the other orientation stands upright
    };
    for (const auto& c : cases) {
        auto fill = threePartPiece(1, 10, { 0, 0, 255, 255 });
        fill->setFlipped(c.imageFlipped);
        auto context = GraphicsContext::createForBitmap(8, 10, {}, c.contextFlipped);
        {
            CurrentContextScope scope(context);
            drawThreePartImage({ 0, 0, 8, 10 }, nullptr, fill.get(), nullptr, false, CompositingOperation::SourceOver,
                1.0, c.argument);
        }
        context->flush();
        auto pixels = *context->pixelBuffer();
        EXPECT_EQ(threePartAt(pixels, 4, c.upright ? 0 : 9), "255 0 0")
            << c.contextFlipped << c.argument << c.imageFlipped;
    }
}

TEST(ThreePartImage, CapsNarrowerThanTheFrameAllowsAndNothingWithoutPieces)
{
    auto start = threePartPiece(8, 10, { 0, 255, 0, 255 });
    auto end = threePartPiece(8, 10, { 255, 255, 255, 255 });
    auto context = GraphicsContext::createForBitmap(10, 10, {}, true);
    {
        CurrentContextScope scope(context);
        drawThreePartImage(
            { 0, 0, 10, 10 }, start.get(), nullptr, end.get(), false, CompositingOperation::SourceOver, 1.0, true);
        drawThreePartImage({ 0, 0, 10, 10 }, nullptr, nullptr, nullptr, false, CompositingOperation::Copy, 1.0, true);
    }
    context->flush();
    auto pixels = *context->pixelBuffer();
    EXPECT_EQ(threePartAt(pixels, 4, 5), "0 255 0");
    EXPECT_EQ(threePartAt(pixels, 5, 5), "255 255 255");
}
