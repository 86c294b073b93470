#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// libpng reports errors by longjmp. Every function that calls setjmp below keeps only trivially destructible locals,
// and all C++ objects live in the caller, so a jump never skips a destructor.

namespace gfx::detail {

namespace {

struct PngState {
    // Reading.
    const std::uint8_t* input { nullptr };
    std::size_t inputSize { 0 };
    std::size_t position { 0 };
    // Writing.
    fnd::Data* output { nullptr };
    char message[256] {};
};

void onError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
}

void readBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (state->inputSize - state->position < length)
        png_error(png, "The data ends before the image does.");
    std::memcpy(out, state->input + state->position, length);
    state->position += length;
}

void writeBytes(png_structp png, png_bytep bytes, png_size_t length)
{
    static_cast<PngState*>(png_get_io_ptr(png))->output->append(bytes, length);
}

void flush(png_structp)
{
}

struct PngImageInfo {
    png_uint_32 width { 0 };
    png_uint_32 height { 0 };
    bool hasAlpha { false };
    png_uint_32 pixelsPerMetreX { 0 };
    png_uint_32 pixelsPerMetreY { 0 };
};

// Where the rows of RGB or RGBA bytes come from: the bitmap's own rows when they are in the layout, otherwise each
// converted into `row` just before it is written.
struct PngRowSource {
    const BitmapImageRep* rep;
    BitmapLayout layout;
    bool asStored;
    std::uint8_t* row;

    png_const_bytep rowAt(png_uint_32 y) const
    {
        if (asStored)
            return rep->bitmapData() + std::size_t(y) * rep->bytesPerRow();
        rep->convertRow(y, layout, row);
        return row;
    }
};

bool writePng(PngState& state, const PngImageInfo& info, const PngRowSource& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (!png)
        return false;
    png_infop pngInfo = png_create_info_struct(png);
    if (!pngInfo) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &pngInfo);
        return false;
    }
    png_set_write_fn(png, &state, writeBytes, flush);
    png_set_IHDR(png, pngInfo, info.width, info.height, 8, info.hasAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, pngInfo, info.pixelsPerMetreX, info.pixelsPerMetreY, PNG_RESOLUTION_METER);
    png_write_info(png, pngInfo);
    for (png_uint_32 y = 0; y < info.height; ++y)
        png_write_row(png, rows.rowAt(y));
    png_write_end(png, pngInfo);
    png_destroy_write_struct(&png, &pngInfo);
    return true;
}

// Reads the header, then (when rows are given) the pixels as 8-bit RGBA or RGB.
bool readPng(PngState& state, PngImageInfo& info, std::vector<std::uint8_t>& pixels, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (!png)
        return false;
    png_infop pngInfo = png_create_info_struct(png);
    if (!pngInfo) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, readBytes);
    png_set_user_limits(png, 1u << 26, 1u << 26);
    png_read_info(png, pngInfo);

    png_uint_32 width = png_get_image_width(png, pngInfo);
    png_uint_32 height = png_get_image_height(png, pngInfo);
    int colorType = png_get_color_type(png, pngInfo);
    int bitDepth = png_get_bit_depth(png, pngInfo);
    bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, pngInfo, PNG_INFO_tRNS);
    if (checkDecodedSize("PNG", width, height)) {
        std::snprintf(
            state.message, sizeof state.message, "An image of %u by %u pixels cannot be held.", width, height);
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return false;
    }
    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(png, pngInfo, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
        info.pixelsPerMetreX = resX;
        info.pixelsPerMetreY = resY;
    }

    // Everything becomes 8-bit RGB, with alpha when the file has any.
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, pngInfo, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, pngInfo);

    info.width = width;
    info.height = height;
    info.hasAlpha = alpha;
    std::size_t rowBytes = png_get_rowbytes(png, pngInfo);
    if (rowBytes != std::size_t(width) * (alpha ? 4 : 3)) {
        std::snprintf(state.message, sizeof state.message, "The pixel layout is not supported.");
        png_destroy_read_struct(&png, &pngInfo, nullptr);
        return false;
    }
    // The vectors belong to the caller; resizing them here happens before any further jump can occur.
    pixels.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = pixels.data() + rowBytes * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &pngInfo, nullptr);
    return true;
}

}

fnd::Expected<fnd::Data> encodePng(const BitmapImageRep& rep)
{
    auto layout = rep.hasAlpha() ? BitmapLayout::RGBA : BitmapLayout::RGB;
    Size dpi = writableResolution(rep.resolution());
    PngImageInfo info;
    info.width = static_cast<png_uint_32>(rep.pixelsWide());
    info.height = static_cast<png_uint_32>(rep.pixelsHigh());
    info.hasAlpha = rep.hasAlpha();
    info.pixelsPerMetreX = static_cast<png_uint_32>(std::lround(dpi.width / 0.0254));
    info.pixelsPerMetreY = static_cast<png_uint_32>(std::lround(dpi.height / 0.0254));

    // A row at a time rather than a converted copy of the whole bitmap.
    const bool asStored = rep.layout() == layout;
    std::vector<std::uint8_t> row(asStored ? 0 : std::size_t(info.width) * (info.hasAlpha ? 4 : 3));
    fnd::Data out;
    PngState state;
    state.output = &out;
    if (!writePng(state, info, { &rep, layout, asStored, row.data() }))
        return std::unexpected(encodeError("PNG", state.message));
    return out;
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodePng(const fnd::Data& data)
{
    PngState state;
    state.input = data.bytes();
    state.inputSize = data.length();
    PngImageInfo info;
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (!readPng(state, info, pixels, rows))
        return std::unexpected(decodeError("PNG", state.message));

    auto rep = BitmapImageRep::create(info.width, info.height, info.hasAlpha ? BitmapLayout::RGBA : BitmapLayout::RGB);
    if (!rep)
        return std::unexpected(decodeError("PNG", "The image is too large."));
    std::size_t rowBytes = std::size_t(info.width) * (info.hasAlpha ? 4 : 3);
    for (png_uint_32 y = 0; y < info.height; ++y)
        std::memcpy(rep->bitmapData() + std::size_t(y) * rep->bytesPerRow(), pixels.data() + rowBytes * y, rowBytes);
    if (info.pixelsPerMetreX && info.pixelsPerMetreY)
        applyResolution(
            *rep, snapResolution(info.pixelsPerMetreX * 0.0254), snapResolution(info.pixelsPerMetreY * 0.0254));
    return rep;
}

}
