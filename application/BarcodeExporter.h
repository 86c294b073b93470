#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

class TBQBarcodeView;
namespace gfx {
class BitmapImageRep;
}

// The file types of the export sheet, by the tags of its file-type pop-up.
enum class ExportFileType : long { PDF = 0, EPS = 1, TIFF = 2, JPEG = 3, JPEG2000 = 4, PNG = 5, GIF = 6 };

// What the export sheet shows for a file type: the extension a saved file must have (empty for an unknown tag), and
// the state of the resolution and colour-space pop-ups with their titles.
struct ExportFileTypeSettings {
    fnd::String requiredExtension;
    bool resolutionShown { true };
    bool resolutionEnabled { false };
    bool colorSpaceShown { true };
    bool colorSpaceEnabled { false };
    // The colour space falls back to tag 0 (RGB): the format has no CMYK the sheet offers.
    bool colorSpaceResetToRGB { false };
};

// Writes a barcode to a file as PDF, EPS or a bitmap, always drawn in export mode (transparent where the barcode
// has no background, no focus ring). Every file is written atomically: on failure the path keeps what it had, and
// the error names the path and the reason, for the caller's alert.
class BarcodeExporter {
public:
    using BarcodePtr = TBQGenericBarcode::BarcodePtr;

    // Tags of the colour-space pop-up: 0 is calibrated RGB with alpha, any other device CMYK without alpha.
    static constexpr long RGBColorSpaceTag = 0;

    BarcodeExporter() = delete;

    static ExportFileTypeSettings settingsForFileType(long fileTypeTag);
    // The extensions a file of the type may have, the required one first ("jpg", "jpeg", "jpe"); none for an unknown
    // tag. A typed name ending in one of them keeps it.
    static std::vector<fnd::String> extensionsForFileType(long fileTypeTag);
    // The file type an extension names, in any case ("PNG", "tif"); nullopt for one no file type has.
    static std::optional<long> fileTypeForExtension(const fnd::String& extension);
    // The name the export sheet proposes, without extension: the symbology's name and the content ("EAN-13
    // 4006381333931"), with what a file name cannot hold replaced, at most 60 characters.
    static fnd::String proposedFileName(const TBQGenericBarcode& barcode);

    // The save sheet's OK: the file type and colour space by their pop-up tags, the resolution in dots per inch. A
    // barcode that shows an error in place of its symbol is not written: its error text is no barcode, so the
    // export fails with that text as the reason (as do the three writers below).
    static fnd::Expected<void> exportBarcode(
        const BarcodePtr& barcode, long fileTypeTag, double resolution, long colorSpaceTag, const fnd::String& path);

    static fnd::Expected<void> exportBarcodesAsPDF(const BarcodePtr& barcode, const fnd::String& path);
    static fnd::Expected<void> exportBarcodesAsEPS(const BarcodePtr& barcode, const fnd::String& path);
    // imageType is a bitmap file-type tag (2 to 6); colorSpaceName a BitmapImageRep colour-space name.
    static fnd::Expected<void> exportBarcodesAsImage(const BarcodePtr& barcode, const fnd::String& path, long imageType,
        double resolution, const fnd::String& colorSpaceName);

    // A view in export mode whose frame is the barcode's work area (the view's error frame when it has an error).
    static std::shared_ptr<TBQBarcodeView> exportViewForBarcode(const BarcodePtr& barcode);
    // Pixels for a size in points at the resolution: ceil(points · dpi / 72) on each axis, at least 1, so the symbol
    // is drawn at exactly the resolution and no module is stretched.
    static gfx::Size pixelSizeForSize(gfx::Size points, double resolution);
    // The bitmap an image export encodes: the view drawn at the resolution with its top-left corner on the
    // bitmap's, premultiplied RGBA (CMYK composited over white when asked), its point size set so that its
    // resolution is the one asked for. Fails on a resolution that is not positive or a bitmap too large to make.
    static fnd::Expected<std::shared_ptr<gfx::BitmapImageRep>> bitmapForBarcode(
        const BarcodePtr& barcode, double resolution, const fnd::String& colorSpaceName, bool flattenAlpha = false);
};
