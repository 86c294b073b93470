#include "platform/graphics/Image.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/SVGImageRep.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace gfx {

FND_REGISTER_CLASS(Image, fnd::Object)

namespace {

struct NamedImages {
    std::mutex mutex;
    std::map<fnd::String, std::shared_ptr<Image>> images;
};

NamedImages& namedImages()
{
    static NamedImages registry;
    return registry;
}

// SVG is XML: look for its root element near the start, past a declaration, comments or a doctype.
bool looksLikeSVG(const fnd::Data& data)
{
    std::string_view head = data.view().substr(0, 4096);
    return head.find("<svg") != std::string_view::npos;
}

int pixelsFor(double points)
{
    return std::max(1, static_cast<int>(std::ceil(points - 1e-9)));
}

}

std::shared_ptr<Image> Image::imageWithSize(Size size)
{
    auto image = std::make_shared<Image>();
    image->m_size = size;
    return image;
}

std::shared_ptr<Image> Image::imageWithSize(Size size, bool flipped, DrawingHandler handler)
{
    auto image = imageWithSize(size);
    image->addRepresentation(CustomImageRep::create(size, flipped, std::move(handler)));
    return image;
}

std::shared_ptr<Image> Image::imageWithRepresentation(std::shared_ptr<ImageRep> rep)
{
    auto image = std::make_shared<Image>();
    if (rep) {
        image->m_size = rep->size();
        image->addRepresentation(std::move(rep));
    }
    return image;
}

fnd::Expected<std::shared_ptr<Image>> Image::imageWithData(const fnd::Data& data)
{
    if (data.view().starts_with("%PDF-")) {
        auto rep = PDFImageRep::imageRepWithData(data);
        if (!rep)
            return std::unexpected(rep.error());
        return imageWithRepresentation(*rep);
    }
    if (looksLikeSVG(data)) {
        auto rep = SVGImageRep::imageRepWithData(data);
        if (!rep)
            return std::unexpected(rep.error());
        return imageWithRepresentation(*rep);
    }
    auto rep = BitmapImageRep::imageRepWithData(data);
    if (!rep)
        return std::unexpected(rep.error());
    return imageWithRepresentation(*rep);
}

fnd::Expected<std::shared_ptr<Image>> Image::imageWithContentsOfFile(const fnd::String& path)
{
    auto data = fnd::FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::unexpected(data.error());
    auto image = imageWithData(*data);
    if (!image) {
        auto error = image.error();
        error.userInfo().set(fnd::ErrorKey::FilePath, path);
        return std::unexpected(error);
    }
    return image;
}

std::shared_ptr<Image> Image::imageForResource(const fnd::Bundle& bundle, const fnd::String& name)
{
    auto path = bundle.pathForImageResource(name);
    if (!path)
        path = bundle.pathForResource(name, {});
    if (!path)
        return nullptr;
    auto image = imageWithContentsOfFile(*path);
    if (!image) {
        fnd::logf(fnd::LogLevel::Warning, "The image \u201c{}\u201d could not be read: {}", path->utf8(),
            image.error().localizedFailureReason().utf8());
        return nullptr;
    }
    return *image;
}

std::shared_ptr<Image> Image::imageNamed(const fnd::String& name)
{
    {
        auto& registry = namedImages();
        std::lock_guard guard(registry.mutex);
        if (auto it = registry.images.find(name); it != registry.images.end())
            return it->second;
    }
    auto bundle = fnd::Bundle::mainBundle();
    auto image = bundle ? imageForResource(*bundle, name) : nullptr;
    if (image)
        image->setName(name);
    return image;
}

bool Image::setName(const fnd::String& name)
{
    auto& registry = namedImages();
    std::lock_guard guard(registry.mutex);
    if (!name.isEmpty()) {
        auto it = registry.images.find(name);
        if (it != registry.images.end() && it->second.get() != this)
            return false;
    }
    if (!m_name.isEmpty())
        registry.images.erase(m_name);
    m_name = name;
    if (!name.isEmpty())
        registry.images[name] = std::static_pointer_cast<Image>(shared_from_this());
    return true;
}

Size Image::size() const
{
    if ((m_size.width > 0 && m_size.height > 0) || m_reps.empty())
        return m_size;
    return m_reps.front()->size();
}

void Image::addRepresentation(std::shared_ptr<ImageRep> rep)
{
    if (rep)
        m_reps.push_back(std::move(rep));
}

void Image::removeRepresentation(const std::shared_ptr<ImageRep>& rep)
{
    std::erase(m_reps, rep);
}

std::shared_ptr<Image> Image::copy() const
{
    auto image = std::make_shared<Image>();
    image->m_reps = m_reps;
    image->m_size = m_size;
    image->m_flipped = m_flipped;
    return image;
}

std::shared_ptr<ImageRep> Image::bestRepresentation(std::optional<Size> devicePixels) const
{
    std::shared_ptr<ImageRep> best;
    for (const auto& rep : m_reps) {
        if (!dynamic_cast<BitmapImageRep*>(rep.get()))
            return rep;
        if (!best || rep->pixelsWide() * rep->pixelsHigh() > best->pixelsWide() * best->pixelsHigh())
            best = rep;
    }
    if (!devicePixels)
        return best;
    // Of bitmaps at several resolutions, the smallest that still covers the pixels drawn to.
    for (const auto& rep : m_reps)
        if (rep->pixelsWide() >= std::floor(devicePixels->width)
            && rep->pixelsHigh() >= std::floor(devicePixels->height)
            && rep->pixelsWide() * rep->pixelsHigh() < best->pixelsWide() * best->pixelsHigh())
            best = rep;
    return best;
}

void Image::drawInContext(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
    double fraction, bool flipped) const
{
    auto ctm = context.CTM();
    Size devicePixels { std::hypot(ctm.m11, ctm.m12) * std::abs(destination.width()),
        std::hypot(ctm.m21, ctm.m22) * std::abs(destination.height()) };
    if (!from.isEmpty() && size().width > 0 && size().height > 0) {
        // Only part of the image lands there: the whole image would cover proportionally more pixels.
        devicePixels.width *= size().width / from.width();
        devicePixels.height *= size().height / from.height();
    }
    auto rep = bestRepresentation(devicePixels);
    if (!rep)
        return;
    // `from` is in the image's points; the rep may have another size.
    Rect source = from;
    Size imageSize = size(), repSize = rep->size();
    if (!from.isEmpty() && imageSize.width > 0 && imageSize.height > 0) {
        double kx = repSize.width / imageSize.width, ky = repSize.height / imageSize.height;
        source = { from.minX() * kx, from.minY() * ky, from.width() * kx, from.height() * ky };
    }
    rep->drawInRect(context, destination, source, op, fraction, flipped);
}

void Image::drawInRect(
    const Rect& destination, const Rect& from, CompositingOperation op, double fraction, bool respectFlipped) const
{
    auto* context = GraphicsContext::current();
    if (!context)
        return;
    drawInContext(*context, destination, from, op, fraction, respectFlipped ? context->isFlipped() : m_flipped);
}

void Image::drawInRect(const Rect& destination) const
{
    drawInRect(destination, {}, CompositingOperation::SourceOver, 1.0, true);
}

void Image::drawAtPoint(Point point, const Rect& from, CompositingOperation op, double fraction) const
{
    drawInRect(Rect(point, from.isEmpty() ? size() : from.size), from, op, fraction);
}

void Image::lockFocusFlipped(bool flipped)
{
    Size s = size();
    auto rep = BitmapImageRep::create(pixelsFor(s.width), pixelsFor(s.height), BitmapLayout::ARGB32Premultiplied);
    if (!rep)
        throw fnd::Exception::invalidArgument(
            fnd::String(fmt::format("Cannot draw into an image of {} by {} points.", s.width, s.height)));
    if (s.width > 0 && s.height > 0)
        rep->setSize(s);
    auto context = GraphicsContext::createForBitmap(rep->pixelBuffer(), rep->size(), flipped);
    // What the image showed so far is the starting point.
    drawInContext(*context, Rect({}, rep->size()), {}, CompositingOperation::Copy, 1.0, flipped);
    GraphicsContext::saveCurrentGraphicsState();
    GraphicsContext::setCurrent(context);
    m_focus.push_back({ std::move(rep), std::move(context) });
}

void Image::unlockFocus()
{
    if (m_focus.empty()) {
        fnd::log(fnd::LogLevel::Warning, "unlockFocus called on an image without focus.");
        return;
    }
    Focus focus = std::move(m_focus.back());
    m_focus.pop_back();
    focus.context->flush();
    GraphicsContext::restoreCurrentGraphicsState();
    m_reps = { focus.rep };
}

std::shared_ptr<BitmapImageRep> Image::CGImageForProposedRect(std::optional<Rect> proposed) const
{
    Size s = proposed ? proposed->size : size();
    if (!isValid() || !(s.width > 0) || !(s.height > 0))
        return nullptr;
    auto rep = BitmapImageRep::create(pixelsFor(s.width), pixelsFor(s.height), BitmapLayout::ARGB32Premultiplied);
    if (!rep)
        return nullptr;
    Size pixels { double(rep->pixelsWide()), double(rep->pixelsHigh()) };
    auto context = GraphicsContext::createForBitmap(rep->pixelBuffer(), pixels, false);
    drawInContext(*context, Rect({}, pixels), {}, CompositingOperation::Copy, 1.0, false);
    context->flush();
    return rep;
}

std::shared_ptr<BitmapImageRep> Image::bitmapForEncoding() const
{
    std::shared_ptr<BitmapImageRep> best;
    for (const auto& rep : m_reps)
        if (auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(rep))
            if (!best || bitmap->pixelsWide() * bitmap->pixelsHigh() > best->pixelsWide() * best->pixelsHigh())
                best = bitmap;
    if (best)
        return best;
    auto rendered = CGImageForProposedRect();
    if (rendered)
        rendered->setSize(size());
    return rendered;
}

fnd::Expected<fnd::Data> Image::TIFFRepresentation() const
{
    return TIFFRepresentationUsingCompression(TIFFCompression::None, 0);
}

fnd::Expected<fnd::Data> Image::TIFFRepresentationUsingCompression(TIFFCompression compression, float factor) const
{
    auto bitmap = bitmapForEncoding();
    if (!bitmap)
        return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, 512, "The image has nothing to encode."));
    return bitmap->TIFFRepresentationUsingCompression(compression, factor);
}

fnd::Expected<fnd::Data> Image::representationUsingType(
    BitmapImageFileType type, const fnd::Dictionary& properties) const
{
    auto bitmap = bitmapForEncoding();
    if (!bitmap)
        return std::unexpected(fnd::Error::make(fnd::ErrorDomain::Cocoa, 512, "The image has nothing to encode."));
    return bitmap->representationUsingType(type, properties);
}

void Image::drawPatternTile(GraphicsContext& context) const
{
    drawInContext(context, Rect({}, size()), {}, CompositingOperation::SourceOver, 1.0, context.isFlipped());
}

}
