#include "platform/graphics/ImageCodecs.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace gfx {

namespace {

constexpr std::array WritableTypes = { BitmapImageFileType::TIFF, BitmapImageFileType::GIF, BitmapImageFileType::JPEG,
    BitmapImageFileType::PNG, BitmapImageFileType::JPEG2000 };
constexpr std::array WritableCompressions = { TIFFCompression::None, TIFFCompression::LZW, TIFFCompression::PackBits };

}

std::span<const BitmapImageFileType> writableBitmapImageFileTypes()
{
    return WritableTypes;
}

std::span<const TIFFCompression> writableTIFFCompressions()
{
    return WritableCompressions;
}

namespace detail {

fnd::Error decodeError(const char* format, const std::string& reason)
{
    return fnd::Error::make(fnd::ErrorDomain::Cocoa, FileReadCorruptFileError,
        fnd::String(fmt::format("The {} data could not be read.", format)), fnd::String(reason));
}

fnd::Error encodeError(const char* format, const std::string& reason)
{
    return fnd::Error::make(fnd::ErrorDomain::Cocoa, FileWriteUnknownError,
        fnd::String(fmt::format("The image could not be encoded as {}.", format)), fnd::String(reason));
}

std::optional<fnd::Error> checkDecodedSize(const char* format, std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0)
        return decodeError(format, "The image has no pixels.");
    if (width > MaxDecodedPixels || height > MaxDecodedPixels || width * height > MaxDecodedPixels)
        return decodeError(format, fmt::format("An image of {} by {} pixels is too large.", width, height));
    return std::nullopt;
}

double snapResolution(double dpi)
{
    double whole = std::round(dpi);
    return std::abs(dpi - whole) < 0.01 ? whole : dpi;
}

double writableResolution(double dpi)
{
    return std::isnan(dpi) ? 72.0 : std::min(dpi, MaxResolution);
}

Size writableResolution(Size dpi)
{
    return { writableResolution(dpi.width), writableResolution(dpi.height) };
}

void applyResolution(BitmapImageRep& rep, double dpiX, double dpiY)
{
    if (!(dpiX > 0) || !(dpiY > 0) || !std::isfinite(dpiX) || !std::isfinite(dpiY))
        return;
    dpiX = std::min(dpiX, MaxResolution);
    dpiY = std::min(dpiY, MaxResolution);
    rep.setSize({ double(rep.pixelsWide()) * 72.0 / dpiX, double(rep.pixelsHigh()) * 72.0 / dpiY });
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeImage(const fnd::Data& data)
{
    std::string_view bytes = data.view();
    if (bytes.starts_with("\x89PNG\r\n\x1a\n"))
        return decodePng(data);
    if (bytes.starts_with("II*\0") || bytes.starts_with(std::string_view("MM\0*", 4)))
        return decodeTiff(data);
    if (bytes.starts_with("\xff\xd8\xff"))
        return decodeJpeg(data);
    if (bytes.starts_with(std::string_view("\0\0\0\x0cjP  \r\n\x87\n", 12)))
        return decodeJpeg2000(data);
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a"))
        return decodeGif(data);
    if (bytes.starts_with("/* XPM */"))
        return decodeXpm(data);
    return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, FileReadCorruptFileError,
        "The data is not an image in a known format.",
        "Only PNG, TIFF, JPEG, JPEG 2000, GIF and XPM images can be read."));
}

}

fnd::Expected<fnd::Data> BitmapImageRep::representationUsingType(
    BitmapImageFileType type, const fnd::Dictionary& properties) const
{
    // BMP, the one type left out, and numbers no type has.
    if (std::ranges::find(WritableTypes, type) == WritableTypes.end())
        return std::unexpected(detail::encodeError("BMP", "Writing BMP files is not supported."));
    // A factor that is no number counts as none: std::clamp would hand it on.
    double factor = -1;
    if (auto* v = properties.find(ImagePropertyKey::CompressionFactor);
        v && v->isNumber() && !std::isnan(v->doubleValue()))
        factor = std::clamp(v->doubleValue(), 0.0, 1.0);
    switch (type) {
    case BitmapImageFileType::TIFF: {
        auto method = TIFFCompression::None;
        if (auto* v = properties.find(ImagePropertyKey::CompressionMethod); v && v->isNumber()) {
            auto n = v->integerValue();
            auto listed = std::ranges::find_if(
                WritableCompressions, [n](TIFFCompression compression) { return int(compression) == n; });
            if (listed == WritableCompressions.end())
                return std::unexpected(detail::encodeError("TIFF", fmt::format("Compression {} is not supported.", n)));
            method = *listed;
        }
        return detail::encodeTiff(*this, method);
    }
    case BitmapImageFileType::JPEG:
        // Without a factor the platform's default quality.
        return detail::encodeJpeg(*this, factor < 0 ? 0.9 : factor);
    case BitmapImageFileType::JPEG2000:
        return detail::encodeJpeg2000(*this, factor < 0 ? 1.0 : factor);
    case BitmapImageFileType::PNG:
        return detail::encodePng(*this);
    case BitmapImageFileType::GIF:
        return detail::encodeGif(*this);
    case BitmapImageFileType::BMP:
        break;
    }
    return std::unexpected(detail::encodeError("BMP", "Writing BMP files is not supported."));
}

fnd::Expected<fnd::Data> BitmapImageRep::TIFFRepresentationUsingCompression(
    TIFFCompression compression, float factor) const
{
    return representationUsingType(BitmapImageFileType::TIFF,
        { { ImagePropertyKey::CompressionMethod, int(compression) }, { ImagePropertyKey::CompressionFactor, factor } });
}

fnd::Expected<void> BitmapImageRep::writeToFile(
    const fnd::String& path, BitmapImageFileType type, const fnd::Dictionary& properties) const
{
    auto data = representationUsingType(type, properties);
    if (!data)
        return std::unexpected(data.error());
    return fnd::FileManager::defaultManager().writeAtomically(path, *data);
}

}
