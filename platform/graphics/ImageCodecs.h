#pragma once

#include "platform/foundation/runtime/String.h"

#include <span>

namespace gfx {

// File types a bitmap encodes to, with the platform's values.
enum class BitmapImageFileType { TIFF = 0, BMP = 1, GIF = 2, JPEG = 3, PNG = 4, JPEG2000 = 5 };

// TIFF compression schemes, numbered as in the TIFF tag. None, LZW and PackBits are written.
enum class TIFFCompression { None = 1, LZW = 5, PackBits = 32773 };

// The file types BitmapImageRep::representationUsingType writes (every type but BMP), and the TIFF compressions it
// takes in the properties: the encoder refuses whatever these leave out.
std::span<const BitmapImageFileType> writableBitmapImageFileTypes();
std::span<const TIFFCompression> writableTIFFCompressions();

// Keys of the properties dictionary given to an encoder.
namespace ImagePropertyKey {
// A TIFFCompression number.
inline const fnd::String CompressionMethod = "NSImageCompressionMethod";
// 0..1: JPEG quality; JPEG 2000 compression (see encodeJpeg2000); the TIFF call passes its factor here too.
inline const fnd::String CompressionFactor = "NSImageCompressionFactor";
}

}
