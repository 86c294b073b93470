#include "application/BarcodeExporter.h"

#include "application/ApplicationSupport.h"
#include "application/TBQBarcodeView.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <cmath>

namespace {

// The platform's file error code for a failed write.
constexpr std::int64_t FileWriteUnknownError = 512;
// w · s is computed in doubles; a product that is whole but for rounding noise must not gain a pixel.
constexpr double PixelEpsilon = 1e-6;
constexpr double PointsPerInch = 72;
constexpr double LossyCompressionFactor = 0.8;

fnd::Error exportError(const fnd::String& path, const fnd::String& reason, const std::optional<fnd::Error>& underlying)
{
    auto error = fnd::Error::make(fnd::ErrorDomain::Cocoa, FileWriteUnknownError,
        fnd::stringWithFormat(applicationText("ExportCouldNotWrite"), path), reason);
    error.userInfo().set(fnd::ErrorKey::FilePath, path);
    if (underlying)
        error.setUnderlyingError(*underlying);
    return error;
}

// What a person would say about a file the system could not write, for the reasons people run into; nothing for
// other failures.
fnd::String sentenceForFileError(const fnd::Error& error, const fnd::String& path)
{
    if (error.domain() != fnd::ErrorDomain::POSIX)
        return {};
    const auto folder = path.stringByDeletingLastPathComponent();
    const auto shown = folder.isEmpty() ? fnd::String(".") : folder;
    switch (error.code()) {
    case EACCES:
    case EPERM:
        return fnd::stringWithFormat(applicationText("ExportNoPermission"), shown);
    case EROFS:
        return fnd::stringWithFormat(applicationText("ExportReadOnlyDisk"), shown);
    case ENOSPC:
    case EDQUOT:
        return applicationText("ExportDiskFull");
    case ENOENT:
    case ENOTDIR:
        return fnd::stringWithFormat(applicationText("ExportNoFolder"), shown);
    case ENAMETOOLONG:
        return applicationText("ExportNameTooLong");
    case EISDIR:
        return fnd::stringWithFormat(applicationText("ExportIsFolder"), path.lastPathComponent());
    default:
        return {};
    }
}

// The reason of a lower-level failure, once: said as a person would when it is a common file problem, else the
// failure's own reason, else its description.
fnd::String reasonOf(const fnd::Error& error, const fnd::String& path)
{
    if (auto sentence = sentenceForFileError(error, path); !sentence.isEmpty())
        return sentence;
    fnd::String reason = error.localizedFailureReason();
    if (reason.isEmpty())
        return error.localizedDescription();
    if (!reason.hasSuffix(".") && !reason.hasSuffix("!") && !reason.hasSuffix("?"))
        reason = reason + ".";
    return reason;
}

// 94000 as the person's locale writes it: "94,000", "94.000".
fnd::String groupedNumber(long long number)
{
    auto digits = std::to_string(number);
    const auto separator = fnd::Locale::current().groupingSeparator().utf8();
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return fnd::String(text);
}

// A whole number from 0 to below 10^15 with its digits grouped, as a person reads it; anything else (a fraction, a
// number past any integer) in scientific notation.
fnd::String countText(double number)
{
    if (number == std::floor(number) && number >= 0 && number < 1e15)
        return groupedNumber(static_cast<long long>(number));
    return fnd::String(fmt::format("{:g}", number));
}

fnd::Expected<void> failed(const fnd::String& path, const fnd::Error& underlying)
{
    return std::unexpected(exportError(path, reasonOf(underlying, path), underlying));
}

// A barcode whose symbol gives way to its error text has nothing to export: writing the text would report a failure
// as a success.
std::optional<fnd::Error> errorOfBarcode(const TBQGenericBarcode::BarcodePtr& barcode, const fnd::String& path)
{
    const auto text = barcode ? TBQBarcodeView::errorTextOfBarcode(*barcode) : fnd::String();
    if (barcode && text.isEmpty())
        return std::nullopt;
    return exportError(path, fnd::stringWithFormat(applicationText("ExportBarcodeHasError"), text), std::nullopt);
}

// An export killed mid-write (the program ended, the machine switched off) left its hidden temporary file in the
// folder: the next export there takes it away, and with it the room it took. Only files the atomic writer made and
// tagged as its own (a person's file stays, whatever its name), unwritten for a while and held by no writer at work,
// so a second copy exporting here keeps its own.
void removeLeftTemporaryFiles(const fnd::String& path)
{
    const auto folder = path.stringByDeletingLastPathComponent();
    auto removed = fnd::FileManager::defaultManager().removeStaleTemporaryFiles(folder.isEmpty() ? "." : folder);
    if (removed && *removed > 0)
        fnd::logf(fnd::LogLevel::Info, "Removed {} temporary file(s) an interrupted export left in \u201c{}\u201d.",
            *removed, folder.utf8());
}

fnd::Expected<void> writeDocument(const fnd::String& path, const fnd::Expected<fnd::Data>& data)
{
    if (!data)
        return failed(path, data.error());
    removeLeftTemporaryFiles(path);
    if (auto written = fnd::FileManager::defaultManager().writeAtomically(path, *data); !written)
        return failed(path, written.error());
    return {};
}

struct BitmapFormat {
    gfx::BitmapImageFileType type;
    fnd::Dictionary properties;
    // JPEG has no alpha: transparent areas become paper white rather than black.
    bool flattenAlpha;
    // PNG and GIF hold no CMYK.
    bool rgbOnly;
};

std::optional<BitmapFormat> bitmapFormat(long tag)
{
    using gfx::BitmapImageFileType;
    namespace Key = gfx::ImagePropertyKey;
    switch (static_cast<ExportFileType>(tag)) {
    case ExportFileType::TIFF:
        return BitmapFormat { BitmapImageFileType::TIFF,
            { { Key::CompressionMethod, int(gfx::TIFFCompression::LZW) }, { Key::CompressionFactor, 1.0 } }, false,
            false };
    case ExportFileType::JPEG:
        return BitmapFormat { BitmapImageFileType::JPEG, { { Key::CompressionFactor, LossyCompressionFactor } }, true,
            false };
    case ExportFileType::JPEG2000:
        return BitmapFormat { BitmapImageFileType::JPEG2000, { { Key::CompressionFactor, LossyCompressionFactor } },
            true, false };
    case ExportFileType::PNG:
        return BitmapFormat { BitmapImageFileType::PNG, {}, false, true };
    case ExportFileType::GIF:
        return BitmapFormat { BitmapImageFileType::GIF, {}, false, true };
    default:
        return std::nullopt;
    }
}

}

ExportFileTypeSettings BarcodeExporter::settingsForFileType(long tag)
{
    switch (static_cast<ExportFileType>(tag)) {
    case ExportFileType::PDF:
        return { "pdf", false, false, false, false, false };
    case ExportFileType::EPS:
        return { "eps", false, false, false, false, false };
    case ExportFileType::TIFF:
        return { "tiff", true, true, true, true, false };
    case ExportFileType::JPEG:
        return { "jpg", true, true, true, false, true };
    case ExportFileType::JPEG2000:
        return { "jp2", true, true, true, false, true };
    case ExportFileType::PNG:
        return { "png", true, true, true, false, true };
    case ExportFileType::GIF:
        return { "gif", true, true, true, false, true };
    }
    return {};
}

namespace {

// The extensions of each file type, the required one first.
struct FileTypeExtension {
    const char* extension;
    ExportFileType type;
};
constexpr std::array<FileTypeExtension, 11> FileTypeExtensions { {
    { "pdf", ExportFileType::PDF }, { "eps", ExportFileType::EPS }, { "epsf", ExportFileType::EPS },
    { "tiff", ExportFileType::TIFF }, { "tif", ExportFileType::TIFF }, { "jpg", ExportFileType::JPEG }, // 5
    { "jpeg", ExportFileType::JPEG }, { "jpe", ExportFileType::JPEG }, { "jp2", ExportFileType::JPEG2000 },
    { "png", ExportFileType::PNG }, { "gif", ExportFileType::GIF }, // 10
} };

}

std::vector<fnd::String> BarcodeExporter::extensionsForFileType(long tag)
{
    std::vector<fnd::String> extensions;
    for (const auto& entry : FileTypeExtensions)
        if (long(entry.type) == tag)
            extensions.emplace_back(entry.extension);
    return extensions;
}

std::optional<long> BarcodeExporter::fileTypeForExtension(const fnd::String& extension)
{
    const auto lower = extension.lowercaseString();
    for (const auto& entry : FileTypeExtensions)
        if (lower == fnd::String(entry.extension))
            return long(entry.type);
    return std::nullopt;
}

fnd::String BarcodeExporter::proposedFileName(const TBQGenericBarcode& barcode)
{
    constexpr std::size_t MaximumLength = 60;
    std::u16string name = (barcode.barcodeName() + " " + barcode.content()).units();
    for (auto& c : name)
        if (c == u'/' || c < 0x20 || c == 0x7F)
            c = u'_';
    // Spaces at either end and a leading dot (a hidden file) would surprise.
    while (!name.empty() && (name.back() == u' ' || name.back() == u'_'))
        name.pop_back();
    while (!name.empty() && (name.front() == u' ' || name.front() == u'.'))
        name.erase(name.begin());
    if (name.size() > MaximumLength) {
        name.resize(MaximumLength);
        // Never half of a surrogate pair.
        if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF)
            name.pop_back();
    }
    return fnd::String(name);
}

fnd::Expected<void> BarcodeExporter::exportBarcode(
    const BarcodePtr& barcode, long fileTypeTag, double resolution, long colorSpaceTag, const fnd::String& path)
{
    if (fileTypeTag == long(ExportFileType::PDF))
        return exportBarcodesAsPDF(barcode, path);
    if (fileTypeTag == long(ExportFileType::EPS))
        return exportBarcodesAsEPS(barcode, path);
    return exportBarcodesAsImage(barcode, path, fileTypeTag, resolution,
        colorSpaceTag == RGBColorSpaceTag ? gfx::BitmapImageRep::CalibratedRGBColorSpace
                                          : gfx::BitmapImageRep::DeviceCMYKColorSpace);
}

std::shared_ptr<TBQBarcodeView> BarcodeExporter::exportViewForBarcode(const BarcodePtr& barcode)
{
    auto view = TBQBarcodeView::create({ 0, 0, 1, 1 });
    view->setDrawForExport(true);
    view->setBarcode(barcode);
    return view;
}

fnd::Expected<void> BarcodeExporter::exportBarcodesAsPDF(const BarcodePtr& barcode, const fnd::String& path)
{
    if (auto error = errorOfBarcode(barcode, path))
        return std::unexpected(*error);
    auto view = exportViewForBarcode(barcode);
    return writeDocument(path, view->dataWithPDFInsideRect(view->bounds()));
}

fnd::Expected<void> BarcodeExporter::exportBarcodesAsEPS(const BarcodePtr& barcode, const fnd::String& path)
{
    if (auto error = errorOfBarcode(barcode, path))
        return std::unexpected(*error);
    auto view = exportViewForBarcode(barcode);
    return writeDocument(path, view->dataWithEPSInsideRect(view->bounds()));
}

gfx::Size BarcodeExporter::pixelSizeForSize(gfx::Size points, double resolution)
{
    const double scale = resolution / PointsPerInch;
    auto pixels = [&](double length) { return std::max(1.0, std::ceil(length * scale - PixelEpsilon)); };
    return { pixels(points.width), pixels(points.height) };
}

fnd::Expected<std::shared_ptr<gfx::BitmapImageRep>> BarcodeExporter::bitmapForBarcode(
    const BarcodePtr& barcode, double resolution, const fnd::String& colorSpaceName, bool flattenAlpha)
{
    auto cannotDraw = [&] {
        return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, FileWriteUnknownError,
            fnd::stringWithFormat(
                applicationText("ExportCouldNotDraw"), fnd::String(fmt::format("{:g}", resolution)))));
    };
    if (!(resolution > 0) || !std::isfinite(resolution))
        return cannotDraw();
    auto view = exportViewForBarcode(barcode);
    const gfx::Rect bounds = view->bounds();
    const double scale = resolution / PointsPerInch;
    const gfx::Size pixels = pixelSizeForSize(bounds.size, resolution);
    if (!std::isfinite(pixels.width) || !std::isfinite(pixels.height))
        return cannotDraw();
    // Counts are checked before they become integers: a count past the integers' range has no integer to become.
    constexpr double MaximumPixelsASide = 1e15;
    std::shared_ptr<gfx::BitmapImageRep> rep;
    if (pixels.width <= MaximumPixelsASide && pixels.height <= MaximumPixelsASide)
        rep = gfx::BitmapImageRep::create(
            long(pixels.width), long(pixels.height), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!rep) {
        // Too many pixels to hold: the person learns how many, and what makes them fewer.
        return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, FileWriteUnknownError,
            fnd::stringWithFormat(applicationText("ExportTooLarge"), countText(resolution), countText(pixels.width),
                countText(pixels.height))));
    }
    // The whole pixels hold a little more than the symbol: that sliver, right and below, shows the background.
    const gfx::Size points { pixels.width / scale, pixels.height / scale };
    rep->setSize(points);

    // What the view fills its bounds with, extended over the sliver; the error text is drawn on white.
    std::shared_ptr<gfx::Color> background;
    if (!TBQBarcodeView::errorTextOfBarcode(*barcode).isEmpty())
        background = gfx::Color::whiteColor();
    else if (barcode->shouldDrawBackground())
        background = barcode->backgroundColor();
    {
        auto context = gfx::GraphicsContext::createForBitmap(rep->pixelBuffer(), points);
        gfx::CurrentContextScope scope(context);
        // The view fills its own bounds; only the strips right of and below them need the background here, from
        // the last pixel the view covers in part.
        if (background) {
            const double right = std::floor(bounds.width() * scale) / scale;
            const double below = points.height - std::floor(bounds.height() * scale) / scale;
            context->setFillColor(*background);
            context->fillRect({ right, 0, points.width - right, points.height });
            context->fillRect({ 0, 0, points.width, below });
        }
        context->flush();
    }
    // The view's top edge on the bitmap's top edge.
    view->cacheDisplayInRect({ 0, bounds.height() - points.height, points.width, points.height }, *rep);

    const bool cmyk = colorSpaceName == gfx::BitmapImageRep::DeviceCMYKColorSpace;
    const bool opaqueBackground = background && background->alphaComponent() >= 1;
    if (cmyk || flattenAlpha) {
        // In the bitmap's own memory: a second bitmap of this size costs more than the conversion.
        if (!rep->convertInPlace(cmyk ? gfx::BitmapLayout::CMYK : gfx::BitmapLayout::RGB))
            return cannotDraw();
        rep->setOpaque(true);
    } else {
        rep->setOpaque(opaqueBackground);
    }
    return rep;
}

fnd::Expected<void> BarcodeExporter::exportBarcodesAsImage(const BarcodePtr& barcode, const fnd::String& path,
    long imageType, double resolution, const fnd::String& colorSpaceName)
{
    if (auto error = errorOfBarcode(barcode, path))
        return std::unexpected(*error);
    auto format = bitmapFormat(imageType);
    if (!format) {
        auto reason
            = fnd::stringWithFormat(applicationText("ExportUnknownFileType"), fnd::String(std::to_string(imageType)));
        return std::unexpected(exportError(path, reason, std::nullopt));
    }
    const fnd::String colorSpace = format->rgbOnly ? gfx::BitmapImageRep::CalibratedRGBColorSpace : colorSpaceName;
    auto rep = bitmapForBarcode(barcode, resolution, colorSpace, format->flattenAlpha);
    if (!rep)
        return failed(path, rep.error());
    removeLeftTemporaryFiles(path);
    if (auto written = (*rep)->writeToFile(path, format->type, format->properties); !written)
        return failed(path, written.error());
    return {};
}
