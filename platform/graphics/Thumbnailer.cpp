#include "platform/graphics/Thumbnailer.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"

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
std::shared_ptr<BitmapImageRep> ThumbnailerDraw(int width, int height, const std::function<void(GraphicsContext&)>& draw)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    auto bitmap = BitmapImageRep::create(width, height, BitmapLayout::ARGB32Premultiplied);
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

// The file of the named icon whose size comes closest above the wanted one (else the largest), or empty.
std::optional<std::filesystem::path> ThumbnailerFindIcon(const std::string& name, double wanted)
{
    std::optional<std::filesystem::path> best;
    int bestSize = 0;
    for (const auto& theme : ThumbnailerIconFolders()) {
        std::error_code error;
        if (!std::filesystem::is_directory(theme, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(theme, error)) {
            auto file = entry.path() / "mimetypes" / (name + ".png");
            if (!std::filesystem::exists(file, error))
                continue;
            int size = std::atoi(entry.path().filename().string().c_str());
            bool better = !best || (bestSize < wanted && size > bestSize) || (size >= wanted && size < bestSize);
            if (better) {
                best = file;
                bestSize = size;
            }
        }
        if (best)
            return best;
    }
    return best;
}

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
    if (!file)
        return nullptr;
    auto image = Image::imageWithContentsOfFile(fnd::String(file->string()));
    if (!image)
        return nullptr;
    return bitmapOfImage(**image, size);
}

std::shared_ptr<BitmapImageRep> Thumbnailer::bitmapOfImage(const Image& image, Size maxSize)
{
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
    bool isPicture = type
        && (fnd::Workspace::typeConformsTo(*type, "public.image") || *type == fnd::String("com.adobe.pdf"));
    if (isPicture) {
        if (auto image = Image::imageWithContentsOfFile(path)) {
            if (auto bitmap = bitmapOfImage(**image, maxSize))
                return bitmap;
        }
    }
    return iconForMIMEType(mime, maxSize);
}

}
