#pragma once

// The codecs behind BitmapImageRep. Each lives in its own file and keeps its C library to itself.

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/ImageCodecs.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace gfx {
class BitmapImageRep;
}

namespace gfx::detail {

// Decoded images above this many pixels are refused: a few header bytes must not make us allocate gigabytes.
constexpr std::uint64_t MaxDecodedPixels = std::uint64_t(1) << 26;

// Error codes, as the platform numbers file errors.
constexpr std::int64_t FileReadCorruptFileError = 259;
constexpr std::int64_t FileWriteUnknownError = 512;

// "The <format> data could not be read: <reason>" and the like.
fnd::Error decodeError(const char* format, const std::string& reason);
fnd::Error encodeError(const char* format, const std::string& reason);
// Refuses zero and oversized dimensions before anything is allocated.
std::optional<fnd::Error> checkDecodedSize(const char* format, std::uint64_t width, std::uint64_t height);

// The highest resolution written and read, in dots per inch: PNG's most pixels a metre (2^32 - 1) hold it. A picture
// whose point size is next to nothing has a higher one, and a file may claim any.
constexpr double MaxResolution = 1e8;
// A resolution as an encoder writes it: at most MaxResolution, 72 for one that is no number.
double writableResolution(double dpi);
Size writableResolution(Size dpi);

// Sets the point size from the stored dots per inch, at most MaxResolution; values that are not positive leave 72
// dpi.
void applyResolution(BitmapImageRep& rep, double dpiX, double dpiY);
// Stored resolutions come back as whole numbers when they were whole before being rounded into the format's units
// (300 dpi is 11811 pixels per metre in PNG, which reads back as 299.9994).
double snapResolution(double dpi);

// to[i] = 255 - from[i] for count bytes (from may be to): CMYK as JPEG stores it, where 0 means full ink. Lives with
// the other pixel loops, which the sanitizer build compiles optimised.
void invertBytes(const std::uint8_t* from, std::uint8_t* to, std::size_t count);

fnd::Expected<fnd::Data> encodePng(const BitmapImageRep& rep);
fnd::Expected<fnd::Data> encodeTiff(const BitmapImageRep& rep, TIFFCompression compression);
fnd::Expected<fnd::Data> encodeJpeg(const BitmapImageRep& rep, double quality);
fnd::Expected<fnd::Data> encodeJpeg2000(const BitmapImageRep& rep, double quality);
fnd::Expected<fnd::Data> encodeGif(const BitmapImageRep& rep);

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodePng(const fnd::Data& data);
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeTiff(const fnd::Data& data);
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeJpeg(const fnd::Data& data);
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeJpeg2000(const fnd::Data& data);
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeGif(const fnd::Data& data);
// Through the desktop's image library (gdk-pixbuf), which reads XPM's colour names.
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeXpm(const fnd::Data& data);

// Picks the decoder by the data's signature.
fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeImage(const fnd::Data& data);

}
