#pragma once

#include "platform/foundation/runtime/String.h"

// Keys of the application's user defaults. Their texts are what the defaults file holds, so they never change.

// Size lists offered by the combo boxes.
inline const fnd::String TBQBCFontHeightArrayKey = "TBQBCFontHeightArrayKey";
inline const fnd::String TBQBCModulWidthArrayKey = "TBQBCModulWidthArrayKey";
inline const fnd::String TBQBCBarcodeHeightArrayKey = "TBQBCBarcodeHeightArrayKey";

// Export.
inline const fnd::String LMVExportFilenamePrefix = "LMVExportFilenamePrefix";
inline const fnd::String LMVExportFilenameExtension = "LMVExportFilenameExtension";
inline const fnd::String LMVExportFileTypeTag = "LMVExportFileTypeTag";
inline const fnd::String LMVExportResolutionTag = "LMVExportResolutionTag";
inline const fnd::String LMVExportColorSpaceTag = "LMVExportColorSpaceTag";
// The folder the last export went to, where the next export sheet opens (not registered: absent at first).
inline const fnd::String LMVExportFolderKey = "LMVExportFolder";

// The drawing settings every new barcode starts with.
inline const fnd::String DefaultBarcodeValueBarColorKey = "DefaultBarcodeValueBarColorKey";
inline const fnd::String DefaultBarcodeValueBackgroundColorKey = "DefaultBarcodeValueBackgroundColorKey";
inline const fnd::String DefaultBarcodeValueBarWidthKey = "DefaultBarcodeValueBarWidthKey";
inline const fnd::String DefaultBarcodeValueHeightKey = "DefaultBarcodeValueHeightKey";
inline const fnd::String DefaultBarcodeValueFontKey = "DefaultBarcodeValueFontKey";
inline const fnd::String DefaultBarcodeValueDrawCaptionKey = "DefaultBarcodeValueDrawCaptionKey";
inline const fnd::String DefaultBarcodeValueAutoCalcQuietZoneKey = "DefaultBarcodeValueAutoCalcQuietZoneKey";
inline const fnd::String DefaultBarcodeValueCalculateChecksumKey = "DefaultBarcodeValueCalculateChecksumKey";
inline const fnd::String DefaultBarcodeValueShouldDrawBackgroundKey = "DefaultBarcodeValueShouldDrawBackgroundKey";

// The last barcode and view.
inline const fnd::String DefaultBarcodeContentKey = "DefaultBarcodeContentKey";
inline const fnd::String DefaultBarcodeAddOnContentKey = "DefaultBarcodeAddOnContentKey";
inline const fnd::String DefaultBarcodeZoomScaleKey = "DefaultBarcodeZoomScaleKey";
inline const fnd::String DefaultBarcodeClassNameKey = "DefaultBarcodeClassNameKey";
