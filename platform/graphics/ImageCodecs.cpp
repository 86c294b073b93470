#include "platform/graphics/ImageCodecs.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace gfx {

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

void applyResolution(BitmapImageRep& rep, double dpiX, double dpiY)
{
    if (!(dpiX > 0) || !(dpiY > 0) || !std::isfinite(dpiX) || !std::isfinite(dpiY))
        return;
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
    return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, FileReadCorruptFileError,
        "The data is not an image in a known format.", "Only PNG, TIFF, JPEG, JPEG 2000 and GIF images can be read."));
}

namespace {

fnd::Error fileError(int err, const fnd::String& path, bool writing)
{
    std::int64_t code;
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        code = writing ? FileWriteNoPermissionError : FileReadNoSuchFileError;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        code = writing ? FileWriteNoPermissionError : FileReadNoPermissionError;
        break;
    case ENOSPC:
    case EDQUOT:
        code = FileWriteOutOfSpaceError;
        break;
    default:
        code = writing ? FileWriteUnknownError : FileReadUnknownError;
    }
    auto error = fnd::Error::make(fnd::ErrorDomain::Cocoa, code,
        fnd::String(fmt::format("The file \u201c{}\u201d could not be {}.", path.utf8(), writing ? "saved" : "opened")),
        fnd::String(std::strerror(err)));
    error.userInfo().set(fnd::ErrorKey::FilePath, path);
    error.setUnderlyingError(fnd::Error(fnd::ErrorDomain::POSIX, err));
    return error;
}

}

fnd::Expected<fnd::Data> readFile(const fnd::String& path)
{
    int fd = ::open(path.utf8().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(fileError(errno, path, false));
    fnd::Data data;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            return std::unexpected(fileError(err, path, false));
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

fnd::Expected<void> writeFileAtomically(const fnd::String& path, const fnd::Data& data)
{
    std::string target = path.utf8();
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return std::unexpected(fileError(errno, path, true));
    auto fail = [&](int err) -> fnd::Expected<void> {
        ::close(fd);
        ::unlink(temp.c_str());
        return std::unexpected(fileError(err, path, true));
    };
    const std::uint8_t* p = data.bytes();
    std::size_t left = data.length();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; an image is an ordinary document.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return std::unexpected(fileError(err, path, true));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return std::unexpected(fileError(err, path, true));
    }
    return {};
}

}

fnd::Expected<fnd::Data> BitmapImageRep::representationUsingType(
    BitmapImageFileType type, const fnd::Dictionary& properties) const
{
    double factor = -1;
    if (auto* v = properties.find(ImagePropertyKey::CompressionFactor); v && v->isNumber())
        factor = std::clamp(v->doubleValue(), 0.0, 1.0);
    switch (type) {
    case BitmapImageFileType::TIFF: {
        auto method = TIFFCompression::None;
        if (auto* v = properties.find(ImagePropertyKey::CompressionMethod); v && v->isNumber()) {
            auto n = v->integerValue();
            if (n != int(TIFFCompression::None) && n != int(TIFFCompression::LZW)
                && n != int(TIFFCompression::PackBits))
                return std::unexpected(detail::encodeError("TIFF", fmt::format("Compression {} is not supported.", n)));
            method = static_cast<TIFFCompression>(n);
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
    return detail::writeFileAtomically(path, *data);
}

}
