#pragma once

#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PixelBuffer.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// A bitmap of one premultiplied ARGB value throughout, its size in points its size in pixels.
inline std::shared_ptr<gfx::BitmapImageRep> solidBitmap(int w, int h, std::uint32_t argb)
{
    auto bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = bitmap->pixelBuffer();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.row(y)[x] = argb;
    bitmap->setSize({ double(w), double(h) });
    return bitmap;
}

// A folder of picture files in the four formats the image browsers meet most (PNG, JPEG, TIFF, PDF), each a flat
// colour of its own with a white frame, so that a probe of a picture's middle tells which file it shows.
struct GeneratedPicture {
    std::filesystem::path path;
    std::array<int, 3> rgb;
};

inline std::array<int, 3> generatedPictureColor(int i)
{
    // Distinct, saturated enough that a darkened copy is still told apart.
    return { 40 + (i * 67) % 200, 40 + (i * 131) % 200, 40 + (i * 29) % 200 };
}

inline std::vector<GeneratedPicture> generatePictureFolder(const std::filesystem::path& folder, int count)
{
    std::filesystem::create_directories(folder);
    static const char* const extensions[4] = { "png", "jpg", "tif", "pdf" };
    std::vector<GeneratedPicture> pictures;
    for (int i = 0; i < count; ++i) {
        auto rgb = generatedPictureColor(i);
        auto path = folder / ("picture-" + std::to_string(1000 + i) + "." + extensions[i % 4]);
        const int w = 96, h = 72;
        auto color = gfx::Color::colorWithDeviceRed(rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0, 1);
        if (i % 4 == 3) {
            auto context = gfx::GraphicsContext::createForPDF({ double(w), double(h) });
            context->setFillColor(*gfx::Color::whiteColor());
            context->fillRect({ 0, 0, double(w), double(h) });
            context->setFillColor(*color);
            context->fillRect({ 4, 4, double(w - 8), double(h - 8) });
            (void)context->writeDocumentToFile(path);
        } else {
            auto bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
            bitmap->setSize({ double(w), double(h) });
            auto pixels = bitmap->pixelBuffer();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    bool frame = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
                    pixels.row(y)[x] = frame
                        ? 0xFFFFFFFFu
                        : gfx::packPixel(255, std::uint8_t(rgb[0]), std::uint8_t(rgb[1]), std::uint8_t(rgb[2]));
                }
            static const gfx::BitmapImageFileType types[3]
                = { gfx::BitmapImageFileType::PNG, gfx::BitmapImageFileType::JPEG, gfx::BitmapImageFileType::TIFF };
            fnd::Dictionary properties;
            if (i % 4 == 1)
                properties.set(gfx::ImagePropertyKey::CompressionFactor, 0.95);
            (void)bitmap->writeToFile(fnd::String(path.string()), types[i % 4], properties);
        }
        pictures.push_back({ path, rgb });
    }
    return pictures;
}

// A PNG of 5 × 5 opaque pixels, pixel (x, y) from the top left coloured (40x + 20, 40y + 20, 100), that declares 1
// pixel per metre: 5 m, 5 / 0.0254 × 72 = 14,173.2 points, a side.
inline fnd::Data lowResolutionPNG()
{
    auto bitmap = gfx::BitmapImageRep::create(5, 5, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = bitmap->pixelBuffer();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(40 * x + 20), std::uint8_t(40 * y + 20), 100);
    bitmap->setSize({ 5 / 0.0254 * 72, 5 / 0.0254 * 72 });
    return *bitmap->representationUsingType(gfx::BitmapImageFileType::PNG);
}

inline bool pixelShowsColor(std::uint32_t argb, const std::array<int, 3>& rgb, int tolerance = 12)
{
    return std::abs(gfx::redOf(argb) - rgb[0]) <= tolerance && std::abs(gfx::greenOf(argb) - rgb[1]) <= tolerance
        && std::abs(gfx::blueOf(argb) - rgb[2]) <= tolerance;
}

}
