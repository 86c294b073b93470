#include "platform/graphics/ThumbnailCache.h"

#include "platform/foundation/files/Paths.h"
#include "platform/graphics/PngTextChunks.h"

#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace gfx {

namespace {

std::optional<fnd::Data> ThumbnailCacheReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fnd::Data(bytes.data(), bytes.size());
}

// Creates each missing folder from the cache root down with owner-only access, as the standard asks.
bool ThumbnailCacheMakeFolders(const std::filesystem::path& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    if (folder.has_parent_path() && folder.parent_path() != folder && !ThumbnailCacheMakeFolders(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Writes through a temporary in the same folder and a rename, so readers see the old file or the whole new one.
fnd::Expected<void> ThumbnailCacheWrite(const std::filesystem::path& path, const fnd::Data& bytes)
{
    auto fail = [&](const char* what) {
        return std::unexpected(fnd::Error::make("NSPOSIXErrorDomain", errno,
            fnd::String(std::string("The thumbnail could not be ") + what + ": " + path.string())));
    };
    if (!ThumbnailCacheMakeFolders(path.parent_path()))
        return fail("given a folder");
    std::string temporary = path.string() + ".XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return fail("created");
    ::fchmod(descriptor, 0600);
    std::size_t written = 0;
    while (written < bytes.length()) {
        auto n = ::write(descriptor, bytes.bytes() + written, bytes.length() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(descriptor);
            ::unlink(temporary.c_str());
            return fail("written");
        }
        written += std::size_t(n);
    }
    if (::close(descriptor) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return fail("written");
    }
    return {};
}

fnd::String ThumbnailCacheName(const fnd::String& uri)
{
    gchar* digest = g_compute_checksum_for_string(G_CHECKSUM_MD5, uri.utf8().c_str(), -1);
    fnd::String name(std::string(digest) + ".png");
    g_free(digest);
    return name;
}

fnd::String ThumbnailCacheFailurePath(const fnd::String& uri, const fnd::String& application)
{
    return fnd::String((std::filesystem::path(ThumbnailCache::root().utf8()) / "fail" / application.utf8()
        / ThumbnailCacheName(uri).utf8())
                           .string());
}

}

int ThumbnailCache::pixels(Flavour flavour)
{
    return 128 << int(flavour);
}

fnd::String ThumbnailCache::folderName(Flavour flavour)
{
    switch (flavour) {
    case Flavour::Normal:
        return "normal";
    case Flavour::Large:
        return "large";
    case Flavour::XLarge:
        return "x-large";
    case Flavour::XXLarge:
        break;
    }
    return "xx-large";
}

ThumbnailCache::Flavour ThumbnailCache::flavourForSize(Size size)
{
    double side = std::max(size.width, size.height);
    for (auto flavour : { Flavour::Normal, Flavour::Large, Flavour::XLarge })
        if (side <= pixels(flavour))
            return flavour;
    return Flavour::XXLarge;
}

fnd::String ThumbnailCache::root()
{
    return fnd::Paths::cacheHome().stringByAppendingPathComponent("thumbnails");
}

fnd::String ThumbnailCache::uriForPath(const fnd::String& path)
{
    std::error_code error;
    auto absolute = std::filesystem::absolute(path.utf8(), error).lexically_normal();
    gchar* uri = g_filename_to_uri(absolute.c_str(), nullptr, nullptr);
    fnd::String result(uri ? uri : "");
    g_free(uri);
    return result;
}

fnd::String ThumbnailCache::thumbnailPath(const fnd::String& uri, Flavour flavour)
{
    return root()
        .stringByAppendingPathComponent(folderName(flavour))
        .stringByAppendingPathComponent(ThumbnailCacheName(uri));
}

std::optional<std::time_t> ThumbnailCache::modificationTime(const fnd::String& path)
{
    struct stat info { };
    if (::stat(path.utf8().c_str(), &info) != 0)
        return std::nullopt;
    return info.st_mtim.tv_sec;
}

bool ThumbnailCache::describes(const fnd::Data& png, const fnd::String& uri, std::time_t modified)
{
    auto text = PngTextChunks::read(png);
    auto storedURI = text.find("Thumb::URI");
    auto storedTime = text.find("Thumb::MTime");
    return storedURI != text.end() && storedTime != text.end() && storedURI->second == uri.utf8()
        && storedTime->second == std::to_string(modified);
}

std::shared_ptr<BitmapImageRep> ThumbnailCache::lookup(const fnd::String& path, Flavour flavour)
{
    auto modified = modificationTime(path);
    auto uri = uriForPath(path);
    if (!modified || uri.isEmpty())
        return nullptr;
    auto png = ThumbnailCacheReadFile(thumbnailPath(uri, flavour).utf8());
    if (!png || !describes(*png, uri, *modified))
        return nullptr;
    auto bitmap = BitmapImageRep::imageRepWithData(*png);
    return bitmap ? *bitmap : nullptr;
}

fnd::Expected<void> ThumbnailCache::store(
    const fnd::String& path, const BitmapImageRep& thumbnail, Flavour flavour, const fnd::String& mimeType)
{
    auto modified = modificationTime(path);
    auto uri = uriForPath(path);
    if (!modified || uri.isEmpty())
        return std::unexpected(
            fnd::Error::make("NSPOSIXErrorDomain", ENOENT, fnd::String("No such file: " + path.utf8())));
    auto png = thumbnail.representationUsingType(BitmapImageFileType::PNG);
    if (!png)
        return std::unexpected(png.error());
    std::vector<std::pair<std::string, std::string>> text {
        { "Thumb::URI", uri.utf8() },
        { "Thumb::MTime", std::to_string(*modified) },
        { "Software", "barcodes" },
    };
    struct stat info { };
    if (::stat(path.utf8().c_str(), &info) == 0)
        text.emplace_back("Thumb::Size", std::to_string(info.st_size));
    if (!mimeType.isEmpty())
        text.emplace_back("Thumb::Mime", mimeType.utf8());
    return ThumbnailCacheWrite(thumbnailPath(uri, flavour).utf8(), PngTextChunks::withText(*png, text));
}

bool ThumbnailCache::hasFailed(const fnd::String& path, const fnd::String& application)
{
    auto modified = modificationTime(path);
    auto uri = uriForPath(path);
    if (!modified || uri.isEmpty())
        return false;
    auto png = ThumbnailCacheReadFile(ThumbnailCacheFailurePath(uri, application).utf8());
    return png && describes(*png, uri, *modified);
}

void ThumbnailCache::recordFailure(const fnd::String& path, const fnd::String& application)
{
    auto modified = modificationTime(path);
    auto uri = uriForPath(path);
    if (!modified || uri.isEmpty())
        return;
    // The standard's failure record: an empty 1 x 1 picture that carries the file's URI and time.
    auto pixel = BitmapImageRep::create(1, 1, BitmapLayout::RGBA);
    if (!pixel)
        return;
    auto png = pixel->representationUsingType(BitmapImageFileType::PNG);
    if (!png)
        return;
    auto record = PngTextChunks::withText(
        *png, { { "Thumb::URI", uri.utf8() }, { "Thumb::MTime", std::to_string(*modified) } });
    (void)ThumbnailCacheWrite(ThumbnailCacheFailurePath(uri, application).utf8(), record);
}

bool ThumbnailCache::isInsideCache(const fnd::String& path)
{
    std::error_code error;
    auto file = std::filesystem::weakly_canonical(path.utf8(), error);
    auto cache = std::filesystem::weakly_canonical(root().utf8(), error);
    auto [cacheEnd, fileAt] = std::mismatch(cache.begin(), cache.end(), file.begin(), file.end());
    return cacheEnd == cache.end();
}

}
