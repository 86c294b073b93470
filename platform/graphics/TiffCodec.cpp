#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace gfx::detail {

namespace {

// A TIFF file in memory: libtiff seeks while writing (it patches directory offsets), so the buffer grows as needed.
struct MemoryFile {
    const std::uint8_t* input { nullptr };
    std::vector<std::uint8_t>* output { nullptr };
    std::size_t size { 0 };
    std::size_t position { 0 };
    std::string error;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (length < 0 || file->position >= file->size)
        return 0;
    std::size_t n = std::min(static_cast<std::size_t>(length), file->size - file->position);
    const std::uint8_t* source = file->input ? file->input : file->output->data();
    std::memcpy(buffer, source + file->position, n);
    file->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* file = static_cast<MemoryFile*>(handle);
    if (!file->output || length < 0)
        return -1;
    std::size_t end = file->position + static_cast<std::size_t>(length);
    if (end > file->output->size())
        file->output->resize(end);
    std::memcpy(file->output->data() + file->position, buffer, static_cast<std::size_t>(length));
    file->position = end;
    file->size = std::max(file->size, end);
    return length;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    std::uint64_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->size : 0;
    std::uint64_t target = base + offset;
    // Reading may not seek past the end; writing may (the gap is filled when written).
    if (!file->output && target > file->size)
        return static_cast<toff_t>(-1);
    if (target > (std::uint64_t(1) << 32))
        return static_cast<toff_t>(-1);
    file->position = static_cast<std::size_t>(target);
    return target;
}

int closeProc(thandle_t)
{
    return 0;
}
toff_t sizeProc(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->size;
}
int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
}
void unmapProc(thandle_t, void*, toff_t)
{
}

int onError(TIFF*, void* userData, const char* module, const char* format, va_list args)
{
    auto* file = static_cast<MemoryFile*>(userData);
    char message[512];
    std::vsnprintf(message, sizeof message, format, args);
    if (file->error.empty())
        file->error = module ? std::string(module) + ": " + message : std::string(message);
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle open(MemoryFile& file, const char* mode)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &file);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(1) << 28);
    TIFF* tif = TIFFClientOpenExt(
        "memory", mode, &file, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

}

fnd::Expected<fnd::Data> encodeTiff(const BitmapImageRep& rep, TIFFCompression compression)
{
    // RGB without alpha, RGB with associated (premultiplied) alpha, or separated CMYK.
    BitmapLayout layout = rep.colorModel() == BitmapColorModel::CMYK ? BitmapLayout::CMYK
        : rep.hasAlpha()                                             ? BitmapLayout::RGBAPremultiplied
                                                                     : BitmapLayout::RGB;
    // Rows in another layout are converted one at a time, into the copy libtiff needs anyway.
    const bool asStored = rep.layout() == layout;
    const int samples = layout == BitmapLayout::RGB ? 3 : 4;
    Size dpi = writableResolution(rep.resolution());

    std::vector<std::uint8_t> bytes;
    MemoryFile file;
    file.output = &bytes;
    {
        TiffHandle tif = open(file, "w");
        if (!tif)
            return std::unexpected(encodeError("TIFF", file.error));
        auto width = static_cast<std::uint32_t>(rep.pixelsWide());
        auto height = static_cast<std::uint32_t>(rep.pixelsHigh());
        TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, static_cast<int>(compression));
        if (layout == BitmapLayout::CMYK) {
            TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
            TIFFSetField(tif.get(), TIFFTAG_INKSET, INKSET_CMYK);
        } else {
            TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        }
        if (layout == BitmapLayout::RGBAPremultiplied) {
            std::uint16_t extra[] = { EXTRASAMPLE_ASSOCALPHA };
            TIFFSetField(tif.get(), TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        TIFFSetField(tif.get(), TIFFTAG_XRESOLUTION, static_cast<float>(dpi.width));
        TIFFSetField(tif.get(), TIFFTAG_YRESOLUTION, static_cast<float>(dpi.height));
        TIFFSetField(tif.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif.get(), 0));

        std::vector<std::uint8_t> row(std::size_t(width) * samples);
        for (std::uint32_t y = 0; y < height; ++y) {
            // libtiff may encode in place, so each row is handed over as a copy.
            if (asStored)
                std::memcpy(row.data(), rep.bitmapData() + std::size_t(y) * rep.bytesPerRow(), row.size());
            else
                rep.convertRow(y, layout, row.data());
            if (TIFFWriteScanline(tif.get(), row.data(), y, 0) < 0)
                return std::unexpected(encodeError("TIFF", file.error));
        }
        if (!TIFFWriteDirectory(tif.get()))
            return std::unexpected(encodeError("TIFF", file.error));
    }
    if (!file.error.empty())
        return std::unexpected(encodeError("TIFF", file.error));
    bytes.resize(file.size);
    return fnd::Data(std::move(bytes));
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeTiff(const fnd::Data& data)
{
    MemoryFile file;
    file.input = data.bytes();
    file.size = data.length();
    TiffHandle tif = open(file, "rm");
    if (!tif)
        return std::unexpected(decodeError("TIFF", file.error));

    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, inkSet = INKSET_CMYK;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_INKSET, &inkSet);
    if (!TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (auto error = checkDecodedSize("TIFF", width, height))
        return std::unexpected(*error);
    std::uint16_t extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetField(tif.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);

    // Our own layouts are read sample for sample, so CMYK stays CMYK and values come back exactly.
    bool contiguous8 = bits == 8 && planar == PLANARCONFIG_CONTIG && !TIFFIsTiled(tif.get());
    std::shared_ptr<BitmapImageRep> rep;
    if (contiguous8 && photometric == PHOTOMETRIC_SEPARATED && inkSet == INKSET_CMYK && samples == 4)
        rep = BitmapImageRep::create(width, height, BitmapLayout::CMYK);
    else if (contiguous8 && photometric == PHOTOMETRIC_RGB && samples == 3)
        rep = BitmapImageRep::create(width, height, BitmapLayout::RGB);
    else if (contiguous8 && photometric == PHOTOMETRIC_RGB && samples == 4 && extraCount == 1)
        rep = BitmapImageRep::create(width, height,
            extraTypes[0] == EXTRASAMPLE_ASSOCALPHA ? BitmapLayout::RGBAPremultiplied : BitmapLayout::RGBA);

    if (rep) {
        std::size_t rowBytes = std::size_t(width) * samples;
        if (static_cast<std::size_t>(TIFFScanlineSize(tif.get())) != rowBytes)
            return std::unexpected(decodeError("TIFF", "The row size does not match the image width."));
        std::vector<std::uint8_t> row(rowBytes);
        for (std::uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tif.get(), row.data(), y, 0) < 0)
                return std::unexpected(decodeError("TIFF", file.error));
            std::memcpy(rep->bitmapData() + std::size_t(y) * rep->bytesPerRow(), row.data(), rowBytes);
        }
    } else {
        // Everything else goes through libtiff's general reader, which yields premultiplied RGBA.
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tif.get(), message))
            return std::unexpected(decodeError("TIFF", message));
        std::vector<std::uint32_t> raster(std::size_t(width) * height);
        if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), ORIENTATION_TOPLEFT, 0))
            return std::unexpected(decodeError("TIFF", file.error));
        rep = BitmapImageRep::create(width, height, BitmapLayout::RGBAPremultiplied);
        if (!rep)
            return std::unexpected(decodeError("TIFF", "The image is too large."));
        for (std::uint32_t y = 0; y < height; ++y) {
            std::uint8_t* out = rep->bitmapData() + std::size_t(y) * rep->bytesPerRow();
            for (std::uint32_t x = 0; x < width; ++x, out += 4) {
                std::uint32_t p = raster[std::size_t(y) * width + x];
                out[0] = static_cast<std::uint8_t>(TIFFGetR(p));
                out[1] = static_cast<std::uint8_t>(TIFFGetG(p));
                out[2] = static_cast<std::uint8_t>(TIFFGetB(p));
                out[3] = static_cast<std::uint8_t>(TIFFGetA(p));
            }
        }
    }

    float resX = 0, resY = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &resX) && TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &resY)) {
        double scale = unit == RESUNIT_CENTIMETER ? 2.54 : unit == RESUNIT_INCH ? 1.0 : 0.0;
        applyResolution(*rep, snapResolution(resX * scale), snapResolution(resY * scale));
    }
    return rep;
}

}
