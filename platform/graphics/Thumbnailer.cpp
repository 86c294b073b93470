#include "platform/graphics/Thumbnailer.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/SystemThumbnailer.h"
#include "platform/graphics/ThumbnailCache.h"

#include <gio/gio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

namespace gfx {

namespace {

// Draws into a new transparent bitmap of whole pixels with a y-up context made current on this thread only.
std::shared_ptr<BitmapImageRep> ThumbnailerDraw(
    int width, int height, const std::function<void(GraphicsContext&)>& draw)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    auto bitmap = BitmapImageRep::create(width, height, BitmapLayout::ARGB32Premultiplied);
    // A bitmap the platform cannot hold is no picture: the caller shows its placeholder.
    if (!bitmap)
        return nullptr;
    bitmap->setSize({ double(width), double(height) });
    {
        auto context = GraphicsContext::createForBitmap(bitmap->pixelBuffer());
        auto previous = GraphicsContext::currentShared();
        GraphicsContext::setCurrent(context);
        context->saveGraphicsState();
        draw(*context);
        context->restoreGraphicsState();
        context->flush();
        GraphicsContext::setCurrent(previous);
    }
    return bitmap;
}

Size ThumbnailerFit(Size source, Size maxSize)
{
    if (source.width <= 0 || source.height <= 0 || maxSize.width <= 0 || maxSize.height <= 0)
        return {};
    double scale = std::min(maxSize.width / source.width, maxSize.height / source.height);
    return { std::max(1.0, std::floor(source.width * scale)), std::max(1.0, std::floor(source.height * scale)) };
}

// The icon theme's folders, in the order the freedesktop icon-theme rules search them.
std::vector<std::filesystem::path> ThumbnailerIconFolders()
{
    std::vector<std::filesystem::path> roots;
    if (const char* home = std::getenv("HOME"))
        roots.emplace_back(std::filesystem::path(home) / ".icons");
    std::string dataDirs = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "/usr/local/share:/usr/share";
    std::stringstream stream(dataDirs);
    for (std::string dir; std::getline(stream, dir, ':');)
        if (!dir.empty())
            roots.emplace_back(std::filesystem::path(dir) / "icons");
    std::vector<std::filesystem::path> folders;
    for (const auto& root : roots)
        for (const char* theme : { "Adwaita", "hicolor" })
            folders.push_back(root / theme);
    return folders;
}

// The file of the named icon whose size comes closest above the wanted one (else the largest), or empty. Only the
// content-type context is searched unless anyContext is set; a scalable picture counts as the largest size.
std::optional<std::filesystem::path> ThumbnailerFindIcon(
    const std::string& name, double wanted, bool anyContext = false)
{
    // An icon name is one path component: no folder may be reached through it.
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return std::nullopt;
    std::optional<std::filesystem::path> best;
    int bestSize = 0;
    for (const auto& theme : ThumbnailerIconFolders()) {
        std::error_code error;
        if (!std::filesystem::is_directory(theme, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(theme, error)) {
            std::vector<std::filesystem::path> contexts;
            if (anyContext) {
                for (const auto& context : std::filesystem::directory_iterator(entry.path(), error))
                    contexts.push_back(context.path());
            } else {
                contexts.push_back(entry.path() / "mimetypes");
            }
            std::optional<std::filesystem::path> file;
            for (const auto& context : contexts)
                for (const char* extension : { ".png", ".svg" })
                    if (!file && std::filesystem::exists(context / (name + extension), error))
                        file = context / (name + extension);
            if (!file)
                continue;
            int size = entry.path().filename().string().starts_with("scalable")
                ? 4096
                : std::atoi(entry.path().filename().string().c_str());
            bool better = !best || (bestSize < wanted && size > bestSize) || (size >= wanted && size < bestSize);
            if (better) {
                best = *file;
                bestSize = size;
            }
        }
        if (best)
            return best;
    }
    return best;
}

std::shared_ptr<BitmapImageRep> ThumbnailerBitmapOfIcon(const std::optional<std::filesystem::path>& file, Size size)
{
    if (!file)
        return nullptr;
    auto image = Image::imageWithContentsOfFile(fnd::String(file->string()));
    if (!image)
        return nullptr;
    return Thumbnailer::bitmapOfImage(**image, size);
}

}

Size Thumbnailer::boundedSize(Size size)
{
    if (!(std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0))
        return {};
    double scale = std::min({ 1.0, MaximumSide / size.width, MaximumSide / size.height });
    return { std::min(size.width * scale, MaximumSide), std::min(size.height * scale, MaximumSide) };
}

fnd::String Thumbnailer::mimeTypeForFileName(const fnd::String& fileName)
{
    gboolean uncertain = false;
    gchar* type = g_content_type_guess(fileName.utf8().c_str(), nullptr, 0, &uncertain);
    gchar* mime = type ? g_content_type_get_mime_type(type) : nullptr;
    fnd::String result(mime ? mime : "application/octet-stream");
    g_free(mime);
    g_free(type);
    return result;
}

std::shared_ptr<BitmapImageRep> Thumbnailer::iconForMIMEType(const fnd::String& mimeType, Size size)
{
    auto mime = mimeType.utf8();
    std::string name = mime;
    std::replace(name.begin(), name.end(), '/', '-');
    auto file = ThumbnailerFindIcon(name, std::max(size.width, size.height));
    if (!file) {
        auto family = mime.substr(0, mime.find('/'));
        file = ThumbnailerFindIcon(family + "-x-generic", std::max(size.width, size.height));
    }
    return ThumbnailerBitmapOfIcon(file, size);
}

std::shared_ptr<BitmapImageRep> Thumbnailer::iconNamed(const fnd::String& name, Size size)
{
    return ThumbnailerBitmapOfIcon(ThumbnailerFindIcon(name.utf8(), std::max(size.width, size.height), true), size);
}

std::shared_ptr<BitmapImageRep> Thumbnailer::desktopThumbnailOfFile(
    const fnd::String& path, const fnd::String& mimeType, Size maxSize)
{
    // The program's name in the cache's failure records.
    static const fnd::String application = "barcodes";
    auto flavour = ThumbnailCache::flavourForSize(maxSize);
    auto fitted = [&](const std::shared_ptr<BitmapImageRep>& picture) {
        return picture ? bitmapOfImage(*Image::imageWithRepresentation(picture), maxSize) : nullptr;
    };
    // A larger flavour serves a smaller request.
    for (int larger = int(flavour); larger <= int(ThumbnailCache::Flavour::XXLarge); ++larger)
        if (auto cached = ThumbnailCache::lookup(path, ThumbnailCache::Flavour(larger)))
            return fitted(cached);
    if (ThumbnailCache::isInsideCache(path) || ThumbnailCache::hasFailed(path, application))
        return nullptr;
    auto thumbnailer = SystemThumbnailer::forMIMEType(mimeType);
    if (!thumbnailer)
        return nullptr;
    int side = ThumbnailCache::pixels(flavour);
    auto made = thumbnailer->thumbnail(path, ThumbnailCache::uriForPath(path), side);
    if (!made) {
        ThumbnailCache::recordFailure(path, application);
        return nullptr;
    }
    // The cache holds pictures no larger than their flavour; a thumbnailer may write a bigger one.
    if (made->pixelsWide() > side || made->pixelsHigh() > side)
        made = bitmapOfImage(*Image::imageWithRepresentation(made), { double(side), double(side) });
    if (!made)
        return nullptr;
    (void)ThumbnailCache::store(path, *made, flavour, mimeType);
    return fitted(made);
}

std::shared_ptr<BitmapImageRep> Thumbnailer::bitmapOfImage(const Image& image, Size maxSize)
{
    maxSize = boundedSize(maxSize);
    auto source = image.size();
    // Bitmaps are not enlarged past their own pixels.
    if (!image.representations().empty()) {
        if (auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(image.representations().front())) {
            Size pixels { double(bitmap->pixelsWide()), double(bitmap->pixelsHigh()) };
            maxSize = { std::min(maxSize.width, pixels.width), std::min(maxSize.height, pixels.height) };
            source = pixels;
        }
    }
    auto fitted = ThumbnailerFit(source, maxSize);
    return ThumbnailerDraw(int(fitted.width), int(fitted.height), [&](GraphicsContext&) {
        image.drawInRect({ {}, fitted }, {}, CompositingOperation::Copy, 1.0);
    });
}

std::shared_ptr<BitmapImageRep> Thumbnailer::bitmapOfPDFPage(const PDFImageRep& page, Size size, bool transparent)
{
    size = boundedSize(size);
    auto width = static_cast<unsigned>(std::max(0.0, size.width));
    auto height = static_cast<unsigned>(std::max(0.0, size.height));
    if (std::uint64_t(width) * height == 0)
        return nullptr;
    auto crop = page.bounds();
    return ThumbnailerDraw(int(width), int(height), [&](GraphicsContext& context) {
        if (!transparent) {
            context.setFillColor(*Color::colorWithDeviceWhite(1, 1));
            context.fillRect({ {}, size });
        }
        if (crop.width() <= 0 || crop.height() <= 0)
            return;
        Rect target;
        if (crop.width() >= size.width) {
            // Fitted down, aspect kept, centred as the platform's drawing transform centres it.
            double scale = std::min(size.width / crop.width(), size.height / crop.height());
            Size drawn { crop.width() * scale, crop.height() * scale };
            target = { { (size.width - drawn.width) / 2, (size.height - drawn.height) / 2 }, drawn };
        } else {
            // Scaled up to fit both sides: by the widths alone a tall page would be cut off at the top.
            double scale = std::min(size.width / crop.width(), size.height / crop.height());
            target = { { 0, 0 }, { crop.width() * scale, crop.height() * scale } };
        }
        page.drawInRect(context, target, crop, CompositingOperation::SourceOver, 1.0, false);
    });
}

std::shared_ptr<BitmapImageRep> Thumbnailer::thumbnailOfFile(const fnd::String& path, Size maxSize)
{
    auto type = fnd::Workspace::sharedWorkspace().typeOfFile(path);
    fnd::String mime = type ? fnd::Workspace::mimeTypeForType(*type) : mimeTypeForFileName(path);
    if (mime.isEmpty())
        mime = mimeTypeForFileName(path);
    // A pipe, socket or device has no picture of its own, and a decoder or thumbnailer opening it could wait for
    // ever: its kind's icon stands.
    if (auto text = mime.utf8(); text.starts_with("inode/") && text != "inode/directory")
        return iconForMIMEType(mime, maxSize);
    bool isPicture
        = type && (fnd::Workspace::typeConformsTo(*type, "public.image") || *type == fnd::String("com.adobe.pdf"));
    if (isPicture) {
        if (auto image = Image::imageWithContentsOfFile(path)) {
            if (auto bitmap = bitmapOfImage(**image, maxSize))
                return bitmap;
        }
    } else if (auto thumbnail = desktopThumbnailOfFile(path, mime, maxSize)) {
        return thumbnail;
    }
    return iconForMIMEType(mime, maxSize);
}

}
