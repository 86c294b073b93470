#include "platform/graphics/Thumbnailer.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/PixelBuffer.h"
#include "support/SpecialFiles.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

class ThumbnailerTest : public ::testing::Test {
protected:
    fnd::String file(const char* name) { return fnd::String((folder / name).string()); }
    testsupport::TemporaryFolder temporary;
    std::filesystem::path folder = temporary.path();
};

TEST_F(ThumbnailerTest, PicturesFitTheSizeWithTheirAspectAndKeepTheirPixels)
{
    auto bitmap = gfx::BitmapImageRep::create(200, 100, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = bitmap->pixelBuffer();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            pixels.row(y)[x] = x < 100 ? 0xFFFF0000u : 0xFF0000FFu;
    bitmap->setSize({ 200, 100 });
    for (auto type :
        { gfx::BitmapImageFileType::PNG, gfx::BitmapImageFileType::TIFF, gfx::BitmapImageFileType::JPEG }) {
        auto path = file(type == gfx::BitmapImageFileType::PNG ? "a.png"
                : type == gfx::BitmapImageFileType::TIFF       ? "a.tif"
                                                               : "a.jpg");
        ASSERT_TRUE(bitmap->writeToFile(path, type));
        auto thumbnail = gfx::Thumbnailer::thumbnailOfFile(path, { 50, 50 });
        ASSERT_TRUE(thumbnail) << path.utf8();
        EXPECT_EQ(thumbnail->pixelsWide(), 50);
        EXPECT_EQ(thumbnail->pixelsHigh(), 25);
        auto left = thumbnail->pixelBuffer().pixel(10, 12);
        auto right = thumbnail->pixelBuffer().pixel(40, 12);
        EXPECT_GT(gfx::redOf(left), 200) << path.utf8();
        EXPECT_GT(gfx::blueOf(right), 200) << path.utf8();
        // Never larger than the picture itself.
        EXPECT_EQ(gfx::Thumbnailer::thumbnailOfFile(path, { 1000, 1000 })->pixelsWide(), 200);
    }
}

TEST_F(ThumbnailerTest, APDFShowsItsFirstPage)
{
    auto context = gfx::GraphicsContext::createForPDF({ 100, 50 });
    context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 1, 0, 1));
    context->fillRect({ 0, 0, 100, 50 });
    context->beginPage({ 100, 50 });
    context->setFillColor(*gfx::Color::colorWithDeviceRed(1, 0, 0, 1));
    context->fillRect({ 0, 0, 100, 50 });
    ASSERT_TRUE(context->writeDocumentToFile((folder / "two pages.pdf")));
    auto thumbnail = gfx::Thumbnailer::thumbnailOfFile(file("two pages.pdf"), { 40, 40 });
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->pixelsWide(), 40);
    EXPECT_EQ(thumbnail->pixelsHigh(), 20);
    EXPECT_GT(gfx::greenOf(thumbnail->pixelBuffer().pixel(20, 10)), 200);
}

TEST_F(ThumbnailerTest, OtherFilesShowTheirTypesIconOrNothing)
{
    FILE* f = std::fopen((folder / "notes.txt").c_str(), "w");
    std::fputs("plain words", f);
    std::fclose(f);
    EXPECT_EQ(gfx::Thumbnailer::mimeTypeForFileName("x.png"), fnd::String("image/png"));
    EXPECT_EQ(gfx::Thumbnailer::mimeTypeForFileName("x.pdf"), fnd::String("application/pdf"));
    auto icon = gfx::Thumbnailer::thumbnailOfFile(file("notes.txt"), { 64, 64 });
    // The icon theme is a desktop package: where it is installed the text icon is found, fitted to the size.
    if (icon) {
        EXPECT_LE(icon->pixelsWide(), 64);
        EXPECT_LE(icon->pixelsHigh(), 64);
    }
    // A damaged picture file falls back to its type's icon rather than failing.
    f = std::fopen((folder / "broken.png").c_str(), "w");
    std::fputs("not a png", f);
    std::fclose(f);
    auto broken = gfx::Thumbnailer::thumbnailOfFile(file("broken.png"), { 32, 32 });
    if (broken) {
        EXPECT_LE(broken->pixelsWide(), 32);
    }
}

// A named pipe (named as a picture), a socket and a device get their kind's icon, or nothing, and are never opened:
// a decoder or thumbnailer reading the pipe would wait for a writer that never comes.
TEST_F(ThumbnailerTest, PipesSocketsAndDevicesAreNeverOpened)
{
    testsupport::WatchedSpecialFiles special("pipe.png", "socket.pdf");
    ASSERT_TRUE(special.isReady());
    for (const std::string& path : { special.pipe(), special.socket(), std::string("/dev/null") }) {
        std::shared_ptr<gfx::BitmapImageRep> picture;
        EXPECT_TRUE(special.runBounded([&] {
            picture = gfx::Thumbnailer::thumbnailOfFile(fnd::String(path), { 32, 32 });
        })) << path
            << " waited";
        if (picture) {
            EXPECT_LE(picture->pixelsWide(), 32) << path;
        }
    }
    EXPECT_EQ(special.opened(), std::vector<std::string>());
}

}

namespace {

// Sizes beyond what a bitmap may hold (a side above 16,384 pixels is over 1 GiB) give pictures of at most 4,096
// pixels a side with the aspect of the request; sizes that are no length give none.
TEST_F(ThumbnailerTest, PicturesAreBoundedToTheirLargestSide)
{
    auto context = gfx::GraphicsContext::createForPDF({ 100, 50 });
    context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 1, 0, 1));
    context->fillRect({ 0, 0, 100, 50 });
    auto data = context->finishDocument();
    ASSERT_TRUE(data);
    auto page = gfx::PDFImageRep::imageRepWithData(*data);
    ASSERT_TRUE(page);

    // 17,000 square becomes 4096 × 4096; the page, narrower than asked, is scaled up to fit both sides,
    // by min(4096 / 100, 4096 / 50) = 40.96: 4096 × 2048 along the bottom (rows 2048 to 4095 from the top).
    auto square = gfx::Thumbnailer::bitmapOfPDFPage(**page, { 17000, 17000 }, true);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->pixelsWide(), 4096);
    EXPECT_EQ(square->pixelsHigh(), 4096);
    EXPECT_GT(gfx::greenOf(square->pixelBuffer().pixel(2048, 3000)), 200);
    EXPECT_EQ(gfx::alphaOf(square->pixelBuffer().pixel(2048, 1000)), 0);
    // 40,000 × 10,000 keeps its 4 : 1 aspect: 4096 × 1024; the page, 2 : 1, fills 2048 × 1024 from the left.
    auto wide = gfx::Thumbnailer::bitmapOfPDFPage(**page, { 40000, 10000 }, true);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->pixelsWide(), 4096);
    EXPECT_EQ(wide->pixelsHigh(), 1024);
    EXPECT_GT(gfx::greenOf(wide->pixelBuffer().pixel(1000, 512)), 200);
    EXPECT_EQ(gfx::alphaOf(wide->pixelBuffer().pixel(3000, 512)), 0) << "right of the page stays clear";

    // A picture drawn by code has no pixels of its own, so it is drawn at the size asked for, bounded.
    auto drawn = gfx::Image::imageWithSize({ 20000, 10000 }, false, [](const gfx::Rect& r) {
        gfx::Color::colorWithDeviceRed(1, 0, 0, 1)->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    });
    auto fitted = gfx::Thumbnailer::bitmapOfImage(*drawn, { 17000, 17000 });
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->pixelsWide(), 4096);
    EXPECT_EQ(fitted->pixelsHigh(), 2048);
    EXPECT_GT(gfx::redOf(fitted->pixelBuffer().pixel(2048, 1024)), 200);

    const double nan = std::nan(""), infinity = HUGE_VAL;
    for (gfx::Size size : { gfx::Size { nan, 10 }, gfx::Size { infinity, 10 }, gfx::Size { 10, -1 }, gfx::Size {} }) {
        EXPECT_FALSE(gfx::Thumbnailer::bitmapOfPDFPage(**page, size, false)) << size.width << " × " << size.height;
        EXPECT_FALSE(gfx::Thumbnailer::bitmapOfImage(*drawn, size)) << size.width << " × " << size.height;
    }
    EXPECT_EQ(gfx::Thumbnailer::boundedSize({ 300, 200 }), (gfx::Size { 300, 200 }));
}

}
