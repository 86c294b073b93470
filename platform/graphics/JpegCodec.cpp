#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
// jpeglib.h needs stdio first; jerror.h after it.
#include <jerror.h>

// libjpeg reports fatal errors through error_exit, which here longjmps back. As with PNG, the functions calling
// setjmp hold only trivially destructible locals; buffers live in the callers.

namespace gfx::detail {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void onErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void onMessage(j_common_ptr info, int level)
{
    // A file cut short still decodes (the rest is grey); we count that as corrupt rather than show a damaged
    // picture. Other warnings are the usual noise of files from the wild.
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        errors->truncated = true;
}

void installErrors(ErrorManager& errors)
{
    jpeg_std_error(&errors.base);
    errors.base.error_exit = onErrorExit;
    errors.base.emit_message = onMessage;
    errors.message[0] = 0;
    errors.truncated = false;
}

struct JpegImageInfo {
    JDIMENSION width { 0 };
    JDIMENSION height { 0 };
    bool cmyk { false };
    bool invertedCmyk { false };
    int quality { 90 };
    unsigned densityX { 72 };
    unsigned densityY { 72 };
    double dpiX { 0 };
    double dpiY { 0 };
};

// Where the rows of RGB or CMYK bytes come from: the bitmap's own rows when they are in the layout, otherwise each
// converted into `row` just before libjpeg takes it. CMYK is written inverted (Adobe's convention, which every CMYK
// JPEG reader expects: 0 means full ink).
struct JpegRowSource {
    const BitmapImageRep* rep;
    BitmapLayout layout;
    bool asStored;
    std::uint8_t* row;

    JSAMPROW rowAt(JDIMENSION y) const
    {
        const std::uint8_t* stored = rep->bitmapData() + std::size_t(y) * rep->bytesPerRow();
        if (asStored && layout != BitmapLayout::CMYK)
            return const_cast<JSAMPROW>(stored);
        if (!asStored) {
            rep->convertRow(y, layout, row);
            stored = row;
        }
        if (layout == BitmapLayout::CMYK)
            invertBytes(stored, row, std::size_t(rep->pixelsWide()) * 4);
        return row;
    }
};

bool compress(ErrorManager& errors, const JpegImageInfo& info, const JpegRowSource& rows, unsigned char** out,
    unsigned long* outSize)
{
    jpeg_compress_struct cinfo {};
    cinfo.err = &errors.base;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = info.width;
    cinfo.image_height = info.height;
    cinfo.input_components = info.cmyk ? 4 : 3;
    cinfo.in_color_space = info.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, info.quality, TRUE);
    // The density goes into a JFIF marker for CMYK too (where libjpeg leaves it out by default), so the file keeps
    // its resolution; readers take the Adobe marker for the colour transform.
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(info.densityX);
    cinfo.Y_density = static_cast<UINT16>(info.densityY);
    jpeg_start_compress(&cinfo, TRUE);
    for (JDIMENSION y = 0; y < info.height; ++y) {
        JSAMPROW row = rows.rowAt(y);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool decompressHeader(ErrorManager& errors, jpeg_decompress_struct& cinfo, const fnd::Data& data, JpegImageInfo& info)
{
    cinfo.err = &errors.base;
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.bytes(), static_cast<unsigned long>(data.length()));
    jpeg_read_header(&cinfo, TRUE);
    info.width = cinfo.image_width;
    info.height = cinfo.image_height;
    info.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    info.invertedCmyk = info.cmyk && cinfo.saw_Adobe_marker;
    if (cinfo.saw_JFIF_marker && (cinfo.density_unit == 1 || cinfo.density_unit == 2)) {
        double scale = cinfo.density_unit == 2 ? 2.54 : 1.0;
        info.dpiX = cinfo.X_density * scale;
        info.dpiY = cinfo.Y_density * scale;
    }
    return true;
}

// Decodes into rows already sized for width × components. Stops once the data has run out: a cut file is refused
// whatever the rest would hold, so its missing rows are not filled in.
bool decompressPixels(ErrorManager& errors, jpeg_decompress_struct& cinfo, const JpegImageInfo& info, JSAMPROW* rows)
{
    if (setjmp(errors.jump))
        return false;
    cinfo.out_color_space = info.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        if (errors.truncated)
            return false;
        JDIMENSION before = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
        if (cinfo.output_scanline == before)
            return false;
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}

fnd::Expected<fnd::Data> encodeJpeg(const BitmapImageRep& rep, double quality)
{
    // JPEG has no alpha: the picture is flattened over white.
    BitmapLayout layout = rep.colorModel() == BitmapColorModel::CMYK ? BitmapLayout::CMYK : BitmapLayout::RGB;
    if (rep.pixelsWide() > JPEG_MAX_DIMENSION || rep.pixelsHigh() > JPEG_MAX_DIMENSION)
        return std::unexpected(encodeError("JPEG", "The image is larger than JPEG allows."));

    JpegImageInfo info;
    info.width = static_cast<JDIMENSION>(rep.pixelsWide());
    info.height = static_cast<JDIMENSION>(rep.pixelsHigh());
    info.cmyk = layout == BitmapLayout::CMYK;
    info.quality = std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100);
    Size dpi = writableResolution(rep.resolution());
    info.densityX = static_cast<unsigned>(std::clamp(std::lround(dpi.width), 1L, 65535L));
    info.densityY = static_cast<unsigned>(std::clamp(std::lround(dpi.height), 1L, 65535L));

    // A row at a time rather than a converted (or inverted) copy of the whole bitmap.
    const bool asStored = rep.layout() == layout;
    std::vector<std::uint8_t> row(std::size_t(info.width) * (info.cmyk ? 4 : 3));
    ErrorManager errors;
    installErrors(errors);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = compress(errors, info, { &rep, layout, asStored, row.data() }, &buffer, &size);
    fnd::Data out;
    if (ok)
        out = fnd::Data(buffer, size);
    std::free(buffer);
    if (!ok)
        return std::unexpected(encodeError("JPEG", errors.message));
    return out;
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeJpeg(const fnd::Data& data)
{
    ErrorManager errors;
    installErrors(errors);
    jpeg_decompress_struct cinfo {};
    JpegImageInfo info;
    if (!decompressHeader(errors, cinfo, data, info)) {
        jpeg_destroy_decompress(&cinfo);
        return std::unexpected(decodeError("JPEG", errors.message));
    }
    if (auto error = checkDecodedSize("JPEG", info.width, info.height)) {
        jpeg_destroy_decompress(&cinfo);
        return std::unexpected(*error);
    }
    auto rep = BitmapImageRep::create(info.width, info.height, info.cmyk ? BitmapLayout::CMYK : BitmapLayout::RGB);
    if (!rep) {
        jpeg_destroy_decompress(&cinfo);
        return std::unexpected(decodeError("JPEG", "The image is too large."));
    }
    std::vector<JSAMPROW> rows(info.height);
    for (JDIMENSION y = 0; y < info.height; ++y)
        rows[y] = rep->bitmapData() + std::size_t(y) * rep->bytesPerRow();
    bool ok = decompressPixels(errors, cinfo, info, rows.data());
    jpeg_destroy_decompress(&cinfo);
    if (errors.truncated)
        return std::unexpected(decodeError("JPEG", "The data ends before the image does."));
    if (!ok)
        return std::unexpected(decodeError("JPEG", errors.message[0] ? errors.message : "The data ends early."));
    if (info.invertedCmyk)
        invertBytes(rep->bitmapData(), rep->bitmapData(), std::size_t(rep->bytesPerRow()) * info.height);
    if (info.dpiX > 0 && info.dpiY > 0)
        applyResolution(*rep, snapResolution(info.dpiX), snapResolution(info.dpiY));
    return rep;
}

}
