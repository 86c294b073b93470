#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <openjpeg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Quality to compression: a factor of 1 is lossless (reversible 5/3 wavelet); below it the irreversible 9/7 wavelet
// at a target ratio of 100^(1 - q) to 1, so 0.8 asks for about 2.5:1, 0.5 for 10:1 and 0 for 100:1. Barcodes are
// sharp black and white edges, which lose their crispness quickly, hence the gentle curve.

namespace gfx::detail {

namespace {

struct Buffer {
    const std::uint8_t* input { nullptr };
    std::vector<std::uint8_t>* output { nullptr };
    std::size_t size { 0 };
    std::size_t position { 0 };
};

OPJ_SIZE_T readStream(void* buffer, OPJ_SIZE_T length, void* user)
{
    auto* b = static_cast<Buffer*>(user);
    if (b->position >= b->size)
        return static_cast<OPJ_SIZE_T>(-1);
    std::size_t n = std::min<std::size_t>(length, b->size - b->position);
    std::memcpy(buffer, b->input + b->position, n);
    b->position += n;
    return n;
}

OPJ_SIZE_T writeStream(void* buffer, OPJ_SIZE_T length, void* user)
{
    auto* b = static_cast<Buffer*>(user);
    std::size_t end = b->position + length;
    if (end > b->output->size())
        b->output->resize(end);
    std::memcpy(b->output->data() + b->position, buffer, length);
    b->position = end;
    b->size = std::max(b->size, end);
    return length;
}

OPJ_OFF_T skipStream(OPJ_OFF_T count, void* user)
{
    auto* b = static_cast<Buffer*>(user);
    auto target = static_cast<std::int64_t>(b->position) + count;
    if (target < 0 || (b->input && static_cast<std::uint64_t>(target) > b->size))
        return -1;
    b->position = static_cast<std::size_t>(target);
    return count;
}

OPJ_BOOL seekStream(OPJ_OFF_T offset, void* user)
{
    auto* b = static_cast<Buffer*>(user);
    if (offset < 0 || (b->input && static_cast<std::uint64_t>(offset) > b->size))
        return OPJ_FALSE;
    b->position = static_cast<std::size_t>(offset);
    return OPJ_TRUE;
}

void onMessage(const char* message, void* user)
{
    auto* text = static_cast<std::string*>(user);
    if (text->empty()) {
        *text = message;
        while (!text->empty() && text->back() == '\n')
            text->pop_back();
    }
}

void onQuiet(const char*, void*)
{
}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using Codec = std::unique_ptr<opj_codec_t, CodecDeleter>;
using Stream = std::unique_ptr<opj_stream_t, StreamDeleter>;
using Image = std::unique_ptr<opj_image_t, ImageDeleter>;

Stream makeStream(Buffer& buffer, bool input)
{
    Stream stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE));
    if (!stream)
        return nullptr;
    opj_stream_set_user_data(stream.get(), &buffer, nullptr);
    if (input) {
        opj_stream_set_user_data_length(stream.get(), buffer.size);
        opj_stream_set_read_function(stream.get(), readStream);
    } else {
        opj_stream_set_write_function(stream.get(), writeStream);
    }
    opj_stream_set_skip_function(stream.get(), skipStream);
    opj_stream_set_seek_function(stream.get(), seekStream);
    return stream;
}

void putU32(std::uint8_t* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint32_t getU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// A resolution box body (ISO/IEC 15444-1 I.5.3.7): grid points per metre as N / D × 10^E, vertical first.
// With D = 127, N = dpi × 5000 / 10^E is exact for whole dpi values.
void putResolution(std::uint8_t* out, double dpiX, double dpiY)
{
    auto encode = [](double dpi, std::uint8_t* n, std::uint8_t* e) {
        int exponent = 0;
        double value = dpi * 5000;
        while (std::lround(value) > 65535 && exponent < 127) {
            value /= 10;
            ++exponent;
        }
        long number = std::max(1L, std::lround(value));
        n[0] = static_cast<std::uint8_t>(number >> 8);
        n[1] = static_cast<std::uint8_t>(number);
        n[2] = 0;
        n[3] = 127;
        *e = static_cast<std::uint8_t>(exponent);
    };
    encode(dpiY, out, out + 8);
    encode(dpiX, out + 4, out + 9);
}

// Completes OpenJPEG's header box: it writes no resolution, so a 'res ' box holding capture and display resolution is
// added, and it leaves the colour space of CMYK unnamed, so the 'colr' box gets enumerated space 12 (CMYK).
bool completeHeaderBox(std::vector<std::uint8_t>& file, double dpiX, double dpiY, bool cmyk)
{
    constexpr std::size_t BoxSize = 8 + 2 * 18;
    std::array<std::uint8_t, BoxSize> box {};
    putU32(box.data(), BoxSize);
    std::memcpy(box.data() + 4, "res ", 4);
    for (int i = 0; i < 2; ++i) {
        std::uint8_t* sub = box.data() + 8 + 18 * i;
        putU32(sub, 18);
        std::memcpy(sub + 4, i == 0 ? "resc" : "resd", 4);
        putResolution(sub + 8, dpiX, dpiY);
    }
    std::size_t at = 0;
    while (at + 8 <= file.size()) {
        std::uint32_t length = getU32(file.data() + at);
        if (length < 8 || at + length > file.size())
            return false;
        if (std::memcmp(file.data() + at + 4, "jp2h", 4) == 0) {
            for (std::size_t sub = at + 8; cmyk && sub + 8 <= at + length;) {
                std::uint32_t subLength = getU32(file.data() + sub);
                if (subLength < 8 || sub + subLength > at + length)
                    return false;
                if (std::memcmp(file.data() + sub + 4, "colr", 4) == 0 && subLength >= 15 && file[sub + 8] == 1)
                    putU32(file.data() + sub + 11, 12);
                sub += subLength;
            }
            putU32(file.data() + at, length + static_cast<std::uint32_t>(BoxSize));
            file.insert(file.begin() + static_cast<std::ptrdiff_t>(at + length), box.begin(), box.end());
            return true;
        }
        at += length;
    }
    return false;
}

// Reads the display (else capture) resolution from the header box, in dpi.
std::optional<Size> findResolution(const fnd::Data& data)
{
    auto boxes = [](const std::uint8_t* p, std::size_t size,
                     const char* type) -> std::optional<std::pair<const std::uint8_t*, std::size_t>> {
        std::size_t at = 0;
        while (at + 8 <= size) {
            std::uint64_t length = getU32(p + at);
            std::size_t header = 8;
            if (length == 1) {
                if (at + 16 > size)
                    return std::nullopt;
                length = std::uint64_t(getU32(p + at + 8)) << 32 | getU32(p + at + 12);
                header = 16;
            } else if (length == 0) {
                length = size - at;
            }
            if (length < header || length > size - at)
                return std::nullopt;
            if (std::memcmp(p + at + 4, type, 4) == 0)
                return std::pair(p + at + header, static_cast<std::size_t>(length - header));
            at += length;
        }
        return std::nullopt;
    };
    auto header = boxes(data.bytes(), data.length(), "jp2h");
    if (!header)
        return std::nullopt;
    auto res = boxes(header->first, header->second, "res ");
    if (!res)
        return std::nullopt;
    auto body = boxes(res->first, res->second, "resd");
    if (!body)
        body = boxes(res->first, res->second, "resc");
    if (!body || body->second < 10)
        return std::nullopt;
    const std::uint8_t* b = body->first;
    auto value = [](std::uint16_t n, std::uint16_t d, std::int8_t e) {
        return d == 0 ? 0.0 : double(n) / double(d) * std::pow(10.0, e) * 0.0254;
    };
    double dpiY = value(std::uint16_t(b[0] << 8 | b[1]), std::uint16_t(b[2] << 8 | b[3]), std::int8_t(b[8]));
    double dpiX = value(std::uint16_t(b[4] << 8 | b[5]), std::uint16_t(b[6] << 8 | b[7]), std::int8_t(b[9]));
    return Size { dpiX, dpiY };
}

std::uint8_t sample8(OPJ_INT32 v, const opj_image_comp_t& comp)
{
    std::int64_t value = v;
    if (comp.sgnd)
        value += std::int64_t(1) << (comp.prec - 1);
    if (comp.prec > 8)
        value >>= comp.prec - 8;
    else if (comp.prec < 8)
        value = value * 255 / ((std::int64_t(1) << comp.prec) - 1);
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

}

fnd::Expected<fnd::Data> encodeJpeg2000(const BitmapImageRep& rep, double quality)
{
    BitmapLayout layout = rep.colorModel() == BitmapColorModel::CMYK ? BitmapLayout::CMYK
        : rep.hasAlpha()                                             ? BitmapLayout::RGBA
                                                                     : BitmapLayout::RGB;
    auto converted = rep.layout() == layout ? nullptr : rep.converted(layout);
    const BitmapImageRep& pixels = converted ? *converted : rep;
    auto width = static_cast<OPJ_UINT32>(pixels.pixelsWide());
    auto height = static_cast<OPJ_UINT32>(pixels.pixelsHigh());
    int count = pixels.samplesPerPixel();

    opj_image_cmptparm_t params[4] = {};
    for (int i = 0; i < count; ++i) {
        params[i].dx = params[i].dy = 1;
        params[i].w = width;
        params[i].h = height;
        params[i].prec = 8;
        params[i].sgnd = 0;
    }
    Image image(opj_image_create(
        static_cast<OPJ_UINT32>(count), params, layout == BitmapLayout::CMYK ? OPJ_CLRSPC_CMYK : OPJ_CLRSPC_SRGB));
    if (!image)
        return std::unexpected(encodeError("JPEG 2000", "The image could not be set up."));
    image->x1 = width;
    image->y1 = height;
    if (layout == BitmapLayout::RGBA)
        image->comps[3].alpha = 1;
    for (OPJ_UINT32 y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.bitmapData() + std::size_t(y) * pixels.bytesPerRow();
        for (OPJ_UINT32 x = 0; x < width; ++x)
            for (int c = 0; c < count; ++c)
                image->comps[c].data[std::size_t(y) * width + x] = row[std::size_t(x) * count + c];
    }

    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.cp_disto_alloc = 1;
    if (quality >= 1.0) {
        parameters.irreversible = 0;
        parameters.tcp_rates[0] = 0;
    } else {
        parameters.irreversible = 1;
        parameters.tcp_rates[0] = static_cast<float>(std::pow(100.0, 1.0 - std::max(0.0, quality)));
    }
    parameters.tcp_mct = count >= 3 && layout != BitmapLayout::CMYK ? 1 : 0;
    // Each resolution level halves the image; the smallest side must still hold one sample at the coarsest level.
    int levels = 1;
    while (levels < 6 && (std::min(width, height) >> levels) > 0)
        ++levels;
    parameters.numresolution = levels;

    std::string message;
    Codec codec(opj_create_compress(OPJ_CODEC_JP2));
    opj_set_error_handler(codec.get(), onMessage, &message);
    opj_set_warning_handler(codec.get(), onQuiet, nullptr);
    opj_set_info_handler(codec.get(), onQuiet, nullptr);
    if (!opj_setup_encoder(codec.get(), &parameters, image.get()))
        return std::unexpected(encodeError("JPEG 2000", message));

    std::vector<std::uint8_t> bytes;
    Buffer buffer;
    buffer.output = &bytes;
    {
        Stream stream = makeStream(buffer, false);
        if (!stream || !opj_start_compress(codec.get(), image.get(), stream.get())
            || !opj_encode(codec.get(), stream.get()) || !opj_end_compress(codec.get(), stream.get()))
            return std::unexpected(encodeError("JPEG 2000", message));
    }
    bytes.resize(buffer.size);
    Size dpi = writableResolution(rep.resolution());
    if (!completeHeaderBox(bytes, dpi.width, dpi.height, layout == BitmapLayout::CMYK))
        return std::unexpected(encodeError("JPEG 2000", "The file has no header box."));
    return fnd::Data(std::move(bytes));
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeJpeg2000(const fnd::Data& data)
{
    Buffer buffer;
    buffer.input = data.bytes();
    buffer.size = data.length();
    std::string message;
    Codec codec(opj_create_decompress(OPJ_CODEC_JP2));
    opj_set_error_handler(codec.get(), onMessage, &message);
    opj_set_warning_handler(codec.get(), onQuiet, nullptr);
    opj_set_info_handler(codec.get(), onQuiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return std::unexpected(decodeError("JPEG 2000", message));
    Stream stream = makeStream(buffer, true);
    opj_image_t* header = nullptr;
    if (!stream || !opj_read_header(stream.get(), codec.get(), &header)) {
        opj_image_destroy(header);
        return std::unexpected(decodeError("JPEG 2000", message.empty() ? "The header is damaged." : message));
    }
    Image image(header);
    if (auto error = checkDecodedSize("JPEG 2000", image->x1 - image->x0, image->y1 - image->y0))
        return std::unexpected(*error);
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return std::unexpected(decodeError("JPEG 2000", message.empty() ? "The data is damaged." : message));

    OPJ_UINT32 count = image->numcomps;
    if (count == 0 || count > 4)
        return std::unexpected(decodeError("JPEG 2000", "The number of components is not supported."));
    const opj_image_comp_t& first = image->comps[0];
    OPJ_UINT32 width = first.w, height = first.h;
    for (OPJ_UINT32 c = 0; c < count; ++c) {
        const auto& comp = image->comps[c];
        if (comp.w != width || comp.h != height || comp.dx != 1 || comp.dy != 1 || !comp.data || comp.prec < 1
            || comp.prec > 31)
            return std::unexpected(decodeError("JPEG 2000", "Subsampled components are not supported."));
    }
    if (auto error = checkDecodedSize("JPEG 2000", width, height))
        return std::unexpected(*error);
    if (image->color_space == OPJ_CLRSPC_SYCC || image->color_space == OPJ_CLRSPC_EYCC)
        return std::unexpected(decodeError("JPEG 2000", "YCC colour is not supported."));

    bool cmyk = image->color_space == OPJ_CLRSPC_CMYK && count == 4;
    bool gray = count <= 2;
    bool alpha = !cmyk && (count == 2 || count == 4);
    auto rep = BitmapImageRep::create(width, height,
        cmyk        ? BitmapLayout::CMYK
            : alpha ? BitmapLayout::RGBA
                    : BitmapLayout::RGB);
    if (!rep)
        return std::unexpected(decodeError("JPEG 2000", "The image is too large."));
    int outSamples = rep->samplesPerPixel();
    for (OPJ_UINT32 y = 0; y < height; ++y) {
        std::uint8_t* row = rep->bitmapData() + std::size_t(y) * rep->bytesPerRow();
        for (OPJ_UINT32 x = 0; x < width; ++x) {
            std::size_t i = std::size_t(y) * width + x;
            std::uint8_t* out = row + std::size_t(x) * outSamples;
            if (gray) {
                out[0] = out[1] = out[2] = sample8(image->comps[0].data[i], image->comps[0]);
                if (alpha)
                    out[3] = sample8(image->comps[1].data[i], image->comps[1]);
            } else {
                for (int c = 0; c < outSamples; ++c)
                    out[c] = sample8(image->comps[c].data[i], image->comps[c]);
            }
        }
    }
    if (auto dpi = findResolution(data))
        applyResolution(*rep, snapResolution(dpi->width), snapResolution(dpi->height));
    return rep;
}

}
