#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/ImageRep.h"
#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace gfx {

// Bits of a bitmap's format, with the platform's values.
namespace BitmapFormat {
constexpr unsigned AlphaFirst = 1 << 0;
constexpr unsigned AlphaNonpremultiplied = 1 << 1;
constexpr unsigned FloatingPointSamples = 1 << 2;
constexpr unsigned SixteenBitLittleEndian = 1 << 8;
constexpr unsigned ThirtyTwoBitLittleEndian = 1 << 9;
constexpr unsigned SixteenBitBigEndian = 1 << 10;
constexpr unsigned ThirtyTwoBitBigEndian = 1 << 11;
}

// The colour models a bitmap can hold. Calibrated and device RGB are the same numbers here.
enum class BitmapColorModel { RGB, CMYK };

// The pixel layouts conversions produce. ARGB32Premultiplied is a native-endian 32-bit word per pixel with
// premultiplied alpha in the top byte: the layout a Cairo image surface of format ARGB32 draws into.
enum class BitmapLayout {
    RGB, // 3 bytes R G B
    RGBA, // 4 bytes R G B A, alpha not premultiplied
    RGBAPremultiplied, // 4 bytes R G B A, premultiplied
    ARGB32Premultiplied, // 32-bit words 0xAARRGGBB in host order, premultiplied
    CMYK, // 4 bytes C M Y K, no alpha
};

// Pixels in memory, 8 bits a sample, interleaved: RGB with or without alpha (alpha first or last, premultiplied or
// not, 24 or 32 bits a pixel), or CMYK. Pixel (0, 0) is the top left; the point size is kept apart from the pixel
// size, so a bitmap of 300 pixels that is 72 points wide has 300 dpi.
class BitmapImageRep final : public ImageRep {
    FND_OBJECT(BitmapImageRep)
public:
    // Platform colour-space names accepted and reported.
    static const fnd::String CalibratedRGBColorSpace;
    static const fnd::String DeviceRGBColorSpace;
    static const fnd::String DeviceCMYKColorSpace;

    BitmapImageRep() = default;

    // The platform's general initialiser for a bitmap that owns its (zeroed) pixels. bytesPerRow and bitsPerPixel of
    // 0 let the bitmap choose. Answers nullptr for a combination it cannot hold (planar data, other sample sizes,
    // an unknown colour space, rows too short).
    static std::shared_ptr<BitmapImageRep> create(long pixelsWide, long pixelsHigh, int bitsPerSample,
        int samplesPerPixel, bool hasAlpha, bool isPlanar, const fnd::String& colorSpaceName, unsigned bitmapFormat,
        long bytesPerRow, int bitsPerPixel);
    // A zeroed bitmap in one of the conversion layouts; nullptr for a non-positive or oversized pixel size.
    static std::shared_ptr<BitmapImageRep> create(long pixelsWide, long pixelsHigh, BitmapLayout layout);

    // Decodes PNG, TIFF, JPEG, JPEG 2000 or GIF data, with the stored resolution as the point size.
    static fnd::Expected<std::shared_ptr<BitmapImageRep>> imageRepWithData(const fnd::Data& data);
    static fnd::Expected<std::shared_ptr<BitmapImageRep>> imageRepWithContentsOfFile(const fnd::String& path);

    std::shared_ptr<BitmapImageRep> copy() const;

    int bitsPerSample() const { return 8; }
    int samplesPerPixel() const { return m_samplesPerPixel; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    long bytesPerRow() const { return m_bytesPerRow; }
    unsigned bitmapFormat() const { return m_bitmapFormat; }
    bool isPlanar() const { return false; }
    int numberOfPlanes() const { return 1; }
    BitmapColorModel colorModel() const { return m_colorModel; }
    const fnd::String& colorSpaceName() const { return m_colorSpaceName; }
    bool isPremultiplied() const { return hasAlpha() && !(m_bitmapFormat & BitmapFormat::AlphaNonpremultiplied); }
    // The layout this bitmap has, when it is one of the conversion layouts.
    std::optional<BitmapLayout> layout() const;

    std::uint8_t* bitmapData() { return m_data.data(); }
    const std::uint8_t* bitmapData() const { return m_data.data(); }
    // The pixels as a drawing context reads and writes them: valid only in the ARGB32Premultiplied layout.
    PixelBufferView pixelBuffer();
    ConstPixelBufferView pixelBuffer() const;

    // Other layouts are converted for the drawing; `from` is mapped from points to pixels.
    void drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
        double fraction, bool flipped) const override;
    using ImageRep::drawInRect;

    // Dots per inch: pixels / points * 72 on each axis (72 when the point size is empty).
    Size resolution() const;

    // Samples of the pixel at (x, y), top-left origin, as stored (premultiplied when the bitmap is), in the order
    // colour components then alpha, whatever the order in memory. A position outside the bitmap raises a range
    // exception; out and in need samplesPerPixel() entries.
    void getPixel(std::span<unsigned> out, long x, long y) const;
    void setPixel(std::span<const unsigned> in, long x, long y);

    // A copy in another layout. RGB and CMYK convert naively (K = 1 - max(R, G, B), C = (1 - R - K) / (1 - K);
    // back: R = (1 - C)(1 - K)), without colour management. Going to a layout without alpha composites over white,
    // so transparent areas come out as paper rather than black. Resolution and opacity are kept.
    std::shared_ptr<BitmapImageRep> converted(BitmapLayout layout) const;
    // Row y (0 is the top) as converted() gives it, written to out: pixelsWide() pixels of the layout, packed. For
    // encoders that take a row at a time rather than a converted copy of the whole bitmap. A row outside the bitmap
    // raises a range exception.
    void convertRow(long y, BitmapLayout layout, std::uint8_t* out) const;
    // The pixels converted as converted() would, in this bitmap's own memory when the layout needs no more of it
    // (no second bitmap to allocate); for a bitmap only its owner reads. Resolution and opacity are kept. False,
    // with the bitmap unchanged, when the pixels cannot be held in the layout.
    bool convertInPlace(BitmapLayout layout);

    // Encodes the pixels with their resolution. Properties use ImagePropertyKey; BMP is not written.
    fnd::Expected<fnd::Data> representationUsingType(
        BitmapImageFileType type, const fnd::Dictionary& properties = {}) const;
    fnd::Expected<fnd::Data> TIFFRepresentation() const
    {
        return TIFFRepresentationUsingCompression(TIFFCompression::None, 0);
    }
    fnd::Expected<fnd::Data> TIFFRepresentationUsingCompression(TIFFCompression compression, float factor) const;
    // Encodes and writes the file atomically: on failure the path keeps what it had and no temporary is left.
    fnd::Expected<void> writeToFile(
        const fnd::String& path, BitmapImageFileType type, const fnd::Dictionary& properties = {}) const;

private:
    bool configure(long wide, long high, int samplesPerPixel, bool hasAlpha, BitmapColorModel model,
        const fnd::String& colorSpaceName, unsigned format, long bytesPerRow, int bitsPerPixel);
    std::size_t pixelOffset(long x, long y) const;
    struct ConversionMemo;
    void convertRowTo(long y, const BitmapImageRep& format, std::uint8_t* out, ConversionMemo& memo) const;
    static const BitmapImageRep& formatOf(BitmapLayout layout);

    int m_samplesPerPixel { 0 };
    int m_bitsPerPixel { 0 };
    long m_bytesPerRow { 0 };
    unsigned m_bitmapFormat { 0 };
    BitmapColorModel m_colorModel { BitmapColorModel::RGB };
    fnd::String m_colorSpaceName;
    // Byte offset within a pixel of each sample in canonical order (colour components, then alpha).
    std::uint8_t m_sampleOffset[4] {};

    // Zeroed pixel memory from calloc: the system hands a large block over as untouched zero pages, so a bitmap
    // only part of which is ever written (a small frame on a large GIF screen, a decoder that stops at a fault)
    // costs no pass over the rest.
    class Pixels {
    public:
        Pixels() = default;
        explicit Pixels(std::size_t size);
        Pixels(const Pixels& other);
        Pixels& operator=(const Pixels& other);
        Pixels(Pixels&& other) noexcept { swap(other); }
        Pixels& operator=(Pixels&& other) noexcept
        {
            swap(other);
            return *this;
        }
        ~Pixels();

        std::uint8_t* data() { return m_bytes; }
        const std::uint8_t* data() const { return m_bytes; }
        std::size_t size() const { return m_size; }
        // Keeps the first `size` bytes; the memory stays the same block.
        void shrink(std::size_t size) { m_size = std::min(size, m_size); }
        void swap(Pixels& other) noexcept
        {
            std::swap(m_bytes, other.m_bytes);
            std::swap(m_size, other.m_size);
        }

    private:
        std::uint8_t* m_bytes { nullptr };
        std::size_t m_size { 0 };
    };
    Pixels m_data;
};

}
