#include "platform/graphics/BitmapImageRep.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace gfx {

FND_REGISTER_CLASS(BitmapImageRep, ImageRep)

const fnd::String BitmapImageRep::CalibratedRGBColorSpace = "NSCalibratedRGBColorSpace";
const fnd::String BitmapImageRep::DeviceRGBColorSpace = "NSDeviceRGBColorSpace";
const fnd::String BitmapImageRep::DeviceCMYKColorSpace = "NSDeviceCMYKColorSpace";

namespace {

// Larger bitmaps are refused rather than risking an allocation the machine cannot make.
constexpr long MaxSide = 1 << 20;
constexpr std::size_t MaxBytes = std::size_t(1) << 30;

constexpr unsigned NativeARGB32Format = BitmapFormat::AlphaFirst
    | (std::endian::native == std::endian::little ? BitmapFormat::ThirtyTwoBitLittleEndian : 0);

std::uint8_t premultiply(unsigned c, unsigned a)
{
    return static_cast<std::uint8_t>((c * a + 127) / 255);
}

std::uint8_t unpremultiply(unsigned c, unsigned a)
{
    if (a == 0)
        return 0;
    return static_cast<std::uint8_t>(std::min(255u, (c * 255 + a / 2) / a));
}

// A pixel in a neutral form: non-premultiplied colour samples (RGB or CMYK) and alpha.
struct Neutral {
    unsigned c[4];
    unsigned a;
};

// The hash of a pixel's bytes picks its slot in the memo.
constexpr std::uint32_t PixelHashFactor = 2654435761u;

}

// Pixels one conversion has already converted, by their bytes. Pictures repeat their pixels, along a row (a barcode
// is runs of two colours) and down the rows (a bar's antialiased edge is the same few pixels in every row).
struct BitmapImageRep::ConversionMemo {
    static constexpr std::size_t Slots = 256;
    std::array<std::uint32_t, Slots> pixel {};
    std::array<std::uint32_t, Slots> converted {};
    std::array<bool, Slots> known {};
    // The slots of the last pixel and of the last other one before it (the two colours of a barcode), Slots for
    // none.
    std::size_t latest { Slots };
    std::size_t previous { Slots };
};

namespace {

// Converts a row pixel by pixel, looking every pixel up in the memo first. Constant steps let the copies compile to
// plain loads and stores.
template <int SrcStep, int DstStep, typename Memo, typename Convert>
void convertPixelsWithSteps(const std::uint8_t* s, std::uint8_t* d, long wide, Memo& memo, const Convert& convert)
{
    for (long x = 0; x < wide; ++x, s += SrcStep, d += DstStep) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, s, SrcStep);
        if (memo.latest == Memo::Slots || memo.pixel[memo.latest] != pixel) {
            std::size_t slot = memo.previous;
            if (slot == Memo::Slots || memo.pixel[slot] != pixel) {
                slot = (pixel * PixelHashFactor) >> 24;
                if (!memo.known[slot] || memo.pixel[slot] != pixel) {
                    convert(s, d);
                    memo.pixel[slot] = pixel;
                    std::memcpy(&memo.converted[slot], d, DstStep);
                    memo.known[slot] = true;
                }
            }
            memo.previous = memo.latest;
            memo.latest = slot;
        }
        std::memcpy(d, &memo.converted[memo.latest], DstStep);
    }
}

// Pixels are three or four bytes apart.
template <typename Memo, typename Convert>
void convertPixels(
    int srcStep, int dstStep, const std::uint8_t* s, std::uint8_t* d, long wide, Memo& memo, const Convert& convert)
{
    if (srcStep == 4)
        dstStep == 4 ? convertPixelsWithSteps<4, 4>(s, d, wide, memo, convert)
                     : convertPixelsWithSteps<4, 3>(s, d, wide, memo, convert);
    else
        dstStep == 4 ? convertPixelsWithSteps<3, 4>(s, d, wide, memo, convert)
                     : convertPixelsWithSteps<3, 3>(s, d, wide, memo, convert);
}

}

bool BitmapImageRep::configure(long wide, long high, int samplesPerPixel, bool hasAlpha, BitmapColorModel model,
    const fnd::String& colorSpaceName, unsigned format, long bytesPerRow, int bitsPerPixel)
{
    if (wide <= 0 || high <= 0 || wide > MaxSide || high > MaxSide)
        return false;
    int colorSamples = model == BitmapColorModel::CMYK ? 4 : 3;
    if (samplesPerPixel != colorSamples + (hasAlpha ? 1 : 0) || samplesPerPixel > 4)
        return false;
    if (format
        & (BitmapFormat::FloatingPointSamples | BitmapFormat::SixteenBitLittleEndian
            | BitmapFormat::SixteenBitBigEndian))
        return false;
    if (bitsPerPixel == 0)
        bitsPerPixel = samplesPerPixel * 8;
    if (bitsPerPixel != samplesPerPixel * 8 && bitsPerPixel != 32)
        return false;
    long minRow = wide * (bitsPerPixel / 8);
    if (bytesPerRow == 0)
        bytesPerRow = minRow;
    if (bytesPerRow < minRow)
        return false;
    if (static_cast<std::size_t>(bytesPerRow) * static_cast<std::size_t>(high) > MaxBytes)
        return false;

    m_samplesPerPixel = samplesPerPixel;
    m_bitsPerPixel = bitsPerPixel;
    m_bytesPerRow = bytesPerRow;
    m_bitmapFormat = hasAlpha ? format : format & ~(BitmapFormat::AlphaFirst | BitmapFormat::AlphaNonpremultiplied);
    m_colorModel = model;
    m_colorSpaceName = colorSpaceName;

    // Memory order of the samples, then the byte swap of a little-endian 32-bit word.
    int order[4];
    bool alphaFirst = hasAlpha && (m_bitmapFormat & BitmapFormat::AlphaFirst);
    for (int i = 0; i < samplesPerPixel; ++i) {
        if (!hasAlpha || i < colorSamples)
            order[i] = alphaFirst ? i + 1 : i;
        else
            order[i] = alphaFirst ? 0 : colorSamples;
    }
    bool swapped = bitsPerPixel == 32 && (m_bitmapFormat & BitmapFormat::ThirtyTwoBitLittleEndian);
    for (int i = 0; i < samplesPerPixel; ++i)
        m_sampleOffset[i] = static_cast<std::uint8_t>(swapped ? 3 - order[i] : order[i]);

    setPixelSize(wide, high);
    setHasAlpha(hasAlpha);
    setSize({ double(wide), double(high) });
    m_data = Pixels(static_cast<std::size_t>(bytesPerRow) * static_cast<std::size_t>(high));
    return true;
}

BitmapImageRep::Pixels::Pixels(std::size_t size)
    : m_bytes(static_cast<std::uint8_t*>(std::calloc(std::max<std::size_t>(size, 1), 1)))
    , m_size(size)
{
    if (!m_bytes)
        throw std::bad_alloc();
}

BitmapImageRep::Pixels::Pixels(const Pixels& other)
    : m_size(other.m_size)
{
    if (!other.m_bytes)
        return;
    m_bytes = static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(m_size, 1)));
    if (!m_bytes)
        throw std::bad_alloc();
    if (m_size)
        std::memcpy(m_bytes, other.m_bytes, m_size);
}

BitmapImageRep::Pixels& BitmapImageRep::Pixels::operator=(const Pixels& other)
{
    if (this != &other) {
        Pixels copy(other);
        swap(copy);
    }
    return *this;
}

BitmapImageRep::Pixels::~Pixels()
{
    std::free(m_bytes);
}

namespace detail {

void invertBytes(const std::uint8_t* from, std::uint8_t* to, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, from + i, 8);
        eight = ~eight;
        std::memcpy(to + i, &eight, 8);
    }
    for (; i < count; ++i)
        to[i] = static_cast<std::uint8_t>(255 - from[i]);
}

}

std::shared_ptr<BitmapImageRep> BitmapImageRep::create(long pixelsWide, long pixelsHigh, int bitsPerSample,
    int samplesPerPixel, bool hasAlpha, bool isPlanar, const fnd::String& colorSpaceName, unsigned bitmapFormat,
    long bytesPerRow, int bitsPerPixel)
{
    if (bitsPerSample != 8 || (isPlanar && samplesPerPixel > 1))
        return nullptr;
    BitmapColorModel model;
    if (colorSpaceName == CalibratedRGBColorSpace || colorSpaceName == DeviceRGBColorSpace)
        model = BitmapColorModel::RGB;
    else if (colorSpaceName == DeviceCMYKColorSpace)
        model = BitmapColorModel::CMYK;
    else
        return nullptr;
    auto rep = std::make_shared<BitmapImageRep>();
    if (!rep->configure(pixelsWide, pixelsHigh, samplesPerPixel, hasAlpha, model, colorSpaceName, bitmapFormat,
            bytesPerRow, bitsPerPixel))
        return nullptr;
    return rep;
}

std::shared_ptr<BitmapImageRep> BitmapImageRep::create(long pixelsWide, long pixelsHigh, BitmapLayout layout)
{
    switch (layout) {
    case BitmapLayout::RGB:
        return create(pixelsWide, pixelsHigh, 8, 3, false, false, CalibratedRGBColorSpace, 0, 0, 24);
    case BitmapLayout::RGBA:
        return create(pixelsWide, pixelsHigh, 8, 4, true, false, CalibratedRGBColorSpace,
            BitmapFormat::AlphaNonpremultiplied, 0, 32);
    case BitmapLayout::RGBAPremultiplied:
        return create(pixelsWide, pixelsHigh, 8, 4, true, false, CalibratedRGBColorSpace, 0, 0, 32);
    case BitmapLayout::ARGB32Premultiplied:
        return create(pixelsWide, pixelsHigh, 8, 4, true, false, CalibratedRGBColorSpace, NativeARGB32Format, 0, 32);
    case BitmapLayout::CMYK:
        return create(pixelsWide, pixelsHigh, 8, 4, false, false, DeviceCMYKColorSpace, 0, 0, 32);
    }
    return nullptr;
}

std::shared_ptr<BitmapImageRep> BitmapImageRep::copy() const
{
    return std::make_shared<BitmapImageRep>(*this);
}

std::optional<BitmapLayout> BitmapImageRep::layout() const
{
    if (m_colorModel == BitmapColorModel::CMYK)
        return hasAlpha() || m_bitsPerPixel != 32 ? std::nullopt : std::optional(BitmapLayout::CMYK);
    if (!hasAlpha())
        return m_bitsPerPixel == 24 ? std::optional(BitmapLayout::RGB) : std::nullopt;
    bool premultiplied = isPremultiplied();
    if (m_sampleOffset[0] == 0 && m_sampleOffset[3] == 3)
        return premultiplied ? BitmapLayout::RGBAPremultiplied : BitmapLayout::RGBA;
    if (premultiplied && (m_bitmapFormat & BitmapFormat::AlphaFirst)) {
        // The Cairo layout puts alpha in the word's top byte: the first byte on big-endian hosts, the last on
        // little-endian ones.
        constexpr std::uint8_t alphaByte = std::endian::native == std::endian::little ? 3 : 0;
        constexpr std::uint8_t redByte = std::endian::native == std::endian::little ? 2 : 1;
        if (m_sampleOffset[3] == alphaByte && m_sampleOffset[0] == redByte)
            return BitmapLayout::ARGB32Premultiplied;
    }
    return std::nullopt;
}

Size BitmapImageRep::resolution() const
{
    Size s = size();
    return { s.width > 0 ? double(pixelsWide()) / s.width * 72.0 : 72.0,
        s.height > 0 ? double(pixelsHigh()) / s.height * 72.0 : 72.0 };
}

std::size_t BitmapImageRep::pixelOffset(long x, long y) const
{
    if (x < 0 || y < 0 || x >= pixelsWide() || y >= pixelsHigh())
        throw fnd::Exception::range(fnd::String(fmt::format(
            "Pixel ({}, {}) lies outside the bitmap of {} by {} pixels.", x, y, pixelsWide(), pixelsHigh())));
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_bytesPerRow)
        + static_cast<std::size_t>(x) * static_cast<std::size_t>(m_bitsPerPixel / 8);
}

void BitmapImageRep::getPixel(std::span<unsigned> out, long x, long y) const
{
    if (out.size() < static_cast<std::size_t>(m_samplesPerPixel))
        throw fnd::Exception::invalidArgument("The pixel buffer is shorter than a pixel's samples.");
    const std::uint8_t* p = m_data.data() + pixelOffset(x, y);
    for (int i = 0; i < m_samplesPerPixel; ++i)
        out[i] = p[m_sampleOffset[i]];
}

void BitmapImageRep::setPixel(std::span<const unsigned> in, long x, long y)
{
    if (in.size() < static_cast<std::size_t>(m_samplesPerPixel))
        throw fnd::Exception::invalidArgument("The pixel buffer is shorter than a pixel's samples.");
    std::uint8_t* p = m_data.data() + pixelOffset(x, y);
    for (int i = 0; i < m_samplesPerPixel; ++i)
        p[m_sampleOffset[i]] = static_cast<std::uint8_t>(std::min(in[i], 255u));
}

std::shared_ptr<BitmapImageRep> BitmapImageRep::converted(BitmapLayout target) const
{
    auto result = create(pixelsWide(), pixelsHigh(), target);
    if (!result)
        return nullptr;
    result->setSize(size());
    result->setOpaque(isOpaque());
    ConversionMemo memo;
    for (long y = 0; y < pixelsHigh(); ++y)
        convertRowTo(y, *result, result->m_data.data() + static_cast<std::size_t>(y) * result->m_bytesPerRow, memo);
    return result;
}

const BitmapImageRep& BitmapImageRep::formatOf(BitmapLayout layout)
{
    // One pixel of each layout, made once, tells where its samples go.
    static const std::array<std::shared_ptr<BitmapImageRep>, 5> formats { create(1, 1, BitmapLayout::RGB),
        create(1, 1, BitmapLayout::RGBA), create(1, 1, BitmapLayout::RGBAPremultiplied),
        create(1, 1, BitmapLayout::ARGB32Premultiplied), create(1, 1, BitmapLayout::CMYK) };
    return *formats[static_cast<std::size_t>(layout)];
}

void BitmapImageRep::convertRow(long y, BitmapLayout layout, std::uint8_t* out) const
{
    if (y < 0 || y >= pixelsHigh())
        throw fnd::Exception::range(
            fnd::String(fmt::format("Row {} lies outside the bitmap of {} rows.", y, pixelsHigh())));
    ConversionMemo memo;
    convertRowTo(y, formatOf(layout), out, memo);
}

bool BitmapImageRep::convertInPlace(BitmapLayout layout)
{
    const BitmapImageRep& format = formatOf(layout);
    const std::size_t rowBytes
        = static_cast<std::size_t>(pixelsWide()) * static_cast<std::size_t>(format.m_bitsPerPixel / 8);
    if (this->layout() == layout && rowBytes == static_cast<std::size_t>(m_bytesPerRow))
        return true;
    if (rowBytes > static_cast<std::size_t>(m_bytesPerRow)) {
        auto result = converted(layout);
        if (!result)
            return false;
        m_data.swap(result->m_data);
    } else {
        // Row y of the result ends where row y of the source ends at the latest: only rows already read are
        // overwritten.
        std::vector<std::uint8_t> row(rowBytes);
        ConversionMemo memo;
        for (long y = 0; y < pixelsHigh(); ++y) {
            convertRowTo(y, format, row.data(), memo);
            std::memcpy(m_data.data() + static_cast<std::size_t>(y) * rowBytes, row.data(), rowBytes);
        }
        m_data.shrink(rowBytes * static_cast<std::size_t>(pixelsHigh()));
    }
    m_samplesPerPixel = format.m_samplesPerPixel;
    m_bitsPerPixel = format.m_bitsPerPixel;
    m_bytesPerRow = static_cast<long>(rowBytes);
    m_bitmapFormat = format.m_bitmapFormat;
    m_colorModel = format.m_colorModel;
    m_colorSpaceName = format.m_colorSpaceName;
    std::copy(std::begin(format.m_sampleOffset), std::end(format.m_sampleOffset), std::begin(m_sampleOffset));
    setHasAlpha(format.hasAlpha());
    return true;
}

void BitmapImageRep::convertRowTo(long y, const BitmapImageRep& format, std::uint8_t* d, ConversionMemo& memo) const
{
    const int srcColors = m_colorModel == BitmapColorModel::CMYK ? 4 : 3;
    const bool srcAlpha = hasAlpha();
    const bool srcPremultiplied = isPremultiplied();
    const int srcStep = m_bitsPerPixel / 8;
    const BitmapColorModel dstModel = format.m_colorModel;
    const int dstColors = dstModel == BitmapColorModel::CMYK ? 4 : 3;
    const bool dstAlpha = format.hasAlpha();
    const bool dstPremultiplied = format.isPremultiplied();
    const int dstStep = format.m_bitsPerPixel / 8;
    const std::uint8_t* dstOffset = format.m_sampleOffset;
    const std::uint8_t* s = m_data.data() + static_cast<std::size_t>(y) * m_bytesPerRow;
    const long wide = pixelsWide();

    // Same samples, only moved: no rounding through unpremultiplied values.
    auto move = [&](const std::uint8_t* in, std::uint8_t* out, unsigned a) {
        for (int i = 0; i < dstColors; ++i)
            out[dstOffset[i]] = in[m_sampleOffset[i]];
        if (dstAlpha)
            out[dstOffset[dstColors]] = static_cast<std::uint8_t>(a);
    };
    if (m_colorModel == dstModel && (!srcAlpha || (dstAlpha && srcPremultiplied == dstPremultiplied))) {
        convertPixels(srcStep, dstStep, s, d, wide, memo, [&](const std::uint8_t* in, std::uint8_t* out) {
            move(in, out, srcAlpha ? in[m_sampleOffset[srcColors]] : 255);
        });
        return;
    }

    auto convert = [&](const std::uint8_t* in, std::uint8_t* out) {
        Neutral px {};
        px.a = srcAlpha ? in[m_sampleOffset[srcColors]] : 255;
        if (m_colorModel == dstModel && (px.a == 255 || (dstAlpha && srcPremultiplied == dstPremultiplied))) {
            move(in, out, px.a);
            return;
        }
        for (int i = 0; i < srcColors; ++i)
            px.c[i] = srcPremultiplied ? unpremultiply(in[m_sampleOffset[i]], px.a) : in[m_sampleOffset[i]];

        if (m_colorModel != dstModel || (!dstAlpha && px.a != 255)) {
            // Through RGB, flattened over white where the target has no alpha.
            unsigned r, g, b;
            if (m_colorModel == BitmapColorModel::CMYK) {
                r = ((255 - px.c[0]) * (255 - px.c[3]) + 127) / 255;
                g = ((255 - px.c[1]) * (255 - px.c[3]) + 127) / 255;
                b = ((255 - px.c[2]) * (255 - px.c[3]) + 127) / 255;
            } else {
                r = px.c[0], g = px.c[1], b = px.c[2];
            }
            if (!dstAlpha) {
                r = (r * px.a + 255 * (255 - px.a) + 127) / 255;
                g = (g * px.a + 255 * (255 - px.a) + 127) / 255;
                b = (b * px.a + 255 * (255 - px.a) + 127) / 255;
                px.a = 255;
            }
            if (dstModel == BitmapColorModel::CMYK) {
                unsigned k = 255 - std::max({ r, g, b });
                px.c[3] = k;
                if (k == 255) {
                    px.c[0] = px.c[1] = px.c[2] = 0;
                } else {
                    unsigned span = 255 - k;
                    px.c[0] = ((255 - r - k) * 255 + span / 2) / span;
                    px.c[1] = ((255 - g - k) * 255 + span / 2) / span;
                    px.c[2] = ((255 - b - k) * 255 + span / 2) / span;
                }
            } else {
                px.c[0] = r, px.c[1] = g, px.c[2] = b;
            }
        }

        for (int i = 0; i < dstColors; ++i)
            out[dstOffset[i]] = static_cast<std::uint8_t>(dstPremultiplied ? premultiply(px.c[i], px.a) : px.c[i]);
        if (dstAlpha)
            out[dstOffset[dstColors]] = static_cast<std::uint8_t>(px.a);
    };
    convertPixels(srcStep, dstStep, s, d, wide, memo, convert);
}

PixelBufferView BitmapImageRep::pixelBuffer()
{
    if (layout() != BitmapLayout::ARGB32Premultiplied)
        return {};
    return { m_data.data(), int(pixelsWide()), int(pixelsHigh()), m_bytesPerRow };
}

ConstPixelBufferView BitmapImageRep::pixelBuffer() const
{
    if (layout() != BitmapLayout::ARGB32Premultiplied)
        return {};
    return { m_data.data(), int(pixelsWide()), int(pixelsHigh()), m_bytesPerRow };
}

void BitmapImageRep::drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from,
    CompositingOperation op, double fraction, bool flipped) const
{
    std::shared_ptr<BitmapImageRep> converted;
    ConstPixelBufferView pixels = pixelBuffer();
    if (!pixels.isValid()) {
        converted = this->converted(BitmapLayout::ARGB32Premultiplied);
        if (!converted)
            return;
        pixels = converted->pixelBuffer();
    }
    // Points of the rep (y up from its bottom edge) to pixels, measured from the bottom for an unflipped drawing
    // and from the top for a flipped one, as the context expects.
    Rect source;
    Size s = size();
    if (!from.isEmpty() && s.width > 0 && s.height > 0) {
        double kx = pixelsWide() / s.width, ky = pixelsHigh() / s.height;
        source = { from.minX() * kx, from.minY() * ky, from.width() * kx, from.height() * ky };
        if (flipped)
            source.origin.y = pixelsHigh() - source.maxY();
    }
    context.drawImage(pixels, destination, source, op, fraction, flipped);
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> BitmapImageRep::imageRepWithData(const fnd::Data& data)
{
    return detail::decodeImage(data);
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> BitmapImageRep::imageRepWithContentsOfFile(const fnd::String& path)
{
    auto data = fnd::FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::unexpected(data.error());
    return detail::decodeImage(*data);
}

}
