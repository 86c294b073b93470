// The card-flow view's pictures: loading on the serial queue, the placeholder, the shadow and edge bitmaps and
// the item size rule.

#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"
#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double ZORCardFlowViewPlaceholderHeight = 600;
constexpr double ZORCardFlowViewIconHeight = 300;
// The edge bitmaps are made at a fixed size and stretched by their layers, so a view made with an empty frame
// still gets them.
constexpr int ZORCardFlowViewEdgeSize = 256;
constexpr int ZORCardFlowViewBottomEdgeHeight = 32;
// The placeholder and the shadow are stretched by their layers, so an extreme item size needs no bitmap of its
// own extent: these bounds keep the bitmaps small and always within what the platform can make.
constexpr double ZORCardFlowViewPlaceholderMaxWidth = 8 * ZORCardFlowViewPlaceholderHeight;
constexpr double ZORCardFlowViewShadowMaxSide = 1024;

// A bitmap of the pixel size drawn by the function into a flipped context made current for the purpose.
std::shared_ptr<gfx::BitmapImageRep> ZORCardFlowViewBitmap(
    int width, int height, const std::function<void(gfx::GraphicsContext&)>& draw)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    bitmap->setSize({ double(width), double(height) });
    auto pixels = bitmap->pixelBuffer();
    {
        auto context = gfx::GraphicsContext::createForBitmap(pixels, {}, true);
        auto previous = gfx::GraphicsContext::currentShared();
        gfx::GraphicsContext::setCurrent(context);
        context->saveGraphicsState();
        draw(*context);
        context->restoreGraphicsState();
        context->flush();
        gfx::GraphicsContext::setCurrent(previous);
    }
    return bitmap;
}

std::shared_ptr<gfx::BitmapImageRep> ZORCardFlowViewGradientBitmap(int width, int height, double angle)
{
    return ZORCardFlowViewBitmap(width, height, [&](gfx::GraphicsContext&) {
        auto gradient = gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithDeviceWhite(0, 1), *gfx::Color::colorWithDeviceWhite(0, 0));
        gradient->drawInRect({ 0, 0, double(width), double(height) }, angle);
    });
}

}

// An eye, drawn in black so that only its shape counts.
std::shared_ptr<gfx::Image> ZORCardFlowView::templateIcon()
{
    static const auto icon = gfx::Image::imageWithSize({ 64, 64 }, false, [](const gfx::Rect& r) {
        gfx::Color::blackColor()->setFill();
        gfx::BezierPath eye;
        eye.moveToPoint({ r.minX() + 2, r.midY() });
        eye.curveToPoint({ r.maxX() - 2, r.midY() }, { r.minX() + 18, r.maxY() - 8 }, { r.maxX() - 18, r.maxY() - 8 });
        eye.curveToPoint({ r.minX() + 2, r.midY() }, { r.maxX() - 18, r.minY() + 8 }, { r.minX() + 18, r.minY() + 8 });
        eye.closePath();
        eye.appendBezierPathWithOvalInRect({ r.midX() - 12, r.midY() - 12, 24, 24 });
        eye.setWindingRule(gfx::WindingRule::EvenOdd);
        eye.fill();
        gfx::BezierPath::bezierPathWithOvalInRect({ r.midX() - 6, r.midY() - 6, 12, 12 })->fill();
        return true;
    });
    return icon;
}

void ZORCardFlowView::makeShadowAndEdgeImages()
{
    auto size = itemSize();
    size = { std::clamp(size.width, 1.0, ZORCardFlowViewShadowMaxSide),
        std::clamp(size.height, 1.0, ZORCardFlowViewShadowMaxSide) };
    m_shadowImage = ZORCardFlowViewBitmap(int(size.width), int(size.height), [&](gfx::GraphicsContext&) {
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithDeviceWhite(0, 0.6), *gfx::Color::colorWithDeviceWhite(0, 1))
            ->drawInRect({ 0, 0, size.width, size.height }, 90);
    });
    m_leftGradientLayer->setContents(
        ZORCardFlowViewGradientBitmap(ZORCardFlowViewEdgeSize, ZORCardFlowViewEdgeSize, 0));
    m_rightGradientLayer->setContents(
        ZORCardFlowViewGradientBitmap(ZORCardFlowViewEdgeSize, ZORCardFlowViewEdgeSize, 180));
    m_bottomGradientLayer->setContents(
        ZORCardFlowViewGradientBitmap(ZORCardFlowViewEdgeSize, ZORCardFlowViewBottomEdgeHeight, 90));
}

// Item size.

gfx::Size ZORCardFlowView::itemSize() const
{
    if (!m_autoresizesItems)
        return m_itemSize;
    float reserved = 20;
    if (m_showsScrollbar && m_scroller)
        reserved = float(m_scroller->frame().height()) + 16 + 20;
    if (m_accessoryController && m_accessoryController->isViewLoaded())
        reserved += float(m_accessoryController->view()->frame().height());
    double H = frame().height();
    double height = std::max(H - reserved - H / 3, 1.0);
    // Proportions far from square could carry the width beyond any frame.
    double width = std::min(m_itemSize.width * height / m_itemSize.height, ui::detail::ViewLargestCoordinate);
    return { std::floor(width), std::floor(height) };
}

void ZORCardFlowView::setItemSize(gfx::Size size)
{
    // Interface files can set any number: a side that is not a positive finite length takes the default, and one
    // beyond the largest coordinate a frame holds is cut to it (the row of items, some widths long, stays finite).
    auto side = [](double value, double fallback) {
        return std::isfinite(value) && value > 0 ? std::min(value, ui::detail::ViewLargestCoordinate) : fallback;
    };
    m_itemSize = { side(size.width, DefaultItemWidth), side(size.height, DefaultItemHeight) };
    rebuildContainerConstraints();
    rebuildEdgeConstraints();
    recachePlaceholder();
    m_rootLayer->setNeedsLayout();
    if (m_selectionIndex >= 0 && std::size_t(m_selectionIndex) < m_items.size())
        m_scrollLayer->scrollToPoint(
            { positionOfSelectedItem(), m_items[std::size_t(m_selectionIndex)].layer->frame().minY() });
}

// Placeholder.

void ZORCardFlowView::recachePlaceholder()
{
    auto size = itemSize();
    double P = size.width * ZORCardFlowViewPlaceholderHeight / size.height;
    if (!std::isfinite(P))
        P = DefaultItemWidth * ZORCardFlowViewPlaceholderHeight / DefaultItemHeight;
    P = std::floor(std::clamp(P, 1.0, ZORCardFlowViewPlaceholderMaxWidth));
    const auto& icon = m_placeholderIcon;
    m_placeholder = ZORCardFlowViewBitmap(int(P), int(ZORCardFlowViewPlaceholderHeight), [&](gfx::GraphicsContext& c) {
        // Drawn y up, as the canvas image it stands for.
        c.translateCTM(0, ZORCardFlowViewPlaceholderHeight);
        c.scaleCTM(1, -1);
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(0.15), *gfx::Color::colorWithCalibratedWhite(0.0))
            ->drawInRect({ 0, 0, P, ZORCardFlowViewPlaceholderHeight }, gfx::Point { 0, 1 });
        gfx::Color::colorWithCalibratedWhite(0.3)->setFill();
        gfx::BezierPath::fillRect({ 0, 595, P, 5 });
        gfx::Color::colorWithCalibratedWhite(0.1)->setFill();
        gfx::BezierPath::fillRect({ 0, 0, P, 5 });
        if (!icon || icon->size().width <= 0 || icon->size().height <= 0)
            return;
        double iw = icon->size().width, ih = icon->size().height;
        double H = ZORCardFlowViewIconHeight;
        double Wi = iw * H / ih;
        if (Wi > 0.666 * P) {
            Wi = 0.5 * P;
            H = ih * Wi / iw;
        }
        auto tint = gfx::Image::imageWithSize({ Wi, H }, false, [&](const gfx::Rect& r) {
            gfx::Gradient::gradientWithStartingColor(*gfx::Color::colorWithCalibratedRed(0.38, 0.4, 0.427, 1),
                *gfx::Color::colorWithCalibratedRed(0.224, 0.255, 0.302, 1))
                ->drawInRect(r, -90);
            icon->drawInRect(r, {}, gfx::CompositingOperation::DestinationIn, 1.0);
            return true;
        });
        tint->drawInRect({ (P - Wi) / 2, (ZORCardFlowViewPlaceholderHeight - H) / 2, Wi, H }, {},
            gfx::CompositingOperation::SourceOver, 1.0);
    });
    for (const auto& item : m_items) {
        if (item.layer->valueForKey("hasImage").boolValue())
            continue;
        item.image->setContents(m_placeholder);
        item.reflection->setContents(m_placeholder);
    }
}

// Loading.

void ZORCardFlowView::refreshLayer(const std::shared_ptr<ui::Layer>& itemLayer)
{
    // The layer keeps its position's index (set by setContent), so equal objects keep their own places.
    auto object = itemLayer->valueForKey("representedObject");
    itemLayer->setValueForKey(false, "hasImage");
    // A later refresh supersedes this load: its picture must not replace a newer one.
    auto generation = ++m_nextLoadGeneration;
    itemLayer->setValueForKey(generation, "loadGeneration");

    // The source is read here on the main thread, where the content objects live; only decoding and drawing
    // the bitmap happen on the queue's thread.
    fnd::Value source = object;
    if (m_imageKeyPath) {
        try {
            auto o = object.object();
            source = o ? o->valueForKeyPath(*m_imageKeyPath) : fnd::Value();
        } catch (const fnd::Exception&) {
            source = {};
        }
    }
    std::weak_ptr<ZORCardFlowView> weakSelf = std::static_pointer_cast<ZORCardFlowView>(shared_from_this());
    auto placeholder = m_placeholder;
    m_imageLoadQueue->addOperationWithBlock([weakSelf, itemLayer, generation, source, placeholder] {
        // Superseded by a later refresh, or its item left the content: nothing to decode.
        if (!itemLayer->superlayer()
            || itemLayer->valueForKey("loadGeneration").integerValue() != static_cast<std::int64_t>(generation))
            return;
        std::shared_ptr<gfx::BitmapImageRep> picture;
        try {
            std::shared_ptr<gfx::Image> image;
            if (source.isData()) {
                // Data that is no picture is no source: the item shows the placeholder, as it says.
                if (auto decoded = gfx::Image::imageWithData(*source.data()))
                    image = *decoded;
            } else if (!source.isNil() && !source.isNull()) {
                image = source.objectAs<gfx::Image>();
                if (!image)
                    return; // neither a picture nor data
            }
            picture = image ? ZORNSImage_Extension::imageRefCopy(*image) : nullptr;
            if (image && !picture)
                return;
        } catch (const std::exception&) {
            return;
        }
        fnd::OperationQueue::mainQueue()->addOperationWithBlock([weakSelf, itemLayer, generation, picture] {
            if (auto self = weakSelf.lock())
                self->applyPicture(itemLayer, generation, picture);
        });
    });
}

void ZORCardFlowView::applyPicture(const std::shared_ptr<ui::Layer>& itemLayer, std::uint64_t generation,
    const std::shared_ptr<gfx::BitmapImageRep>& picture)
{
    if (itemLayer->valueForKey("loadGeneration").integerValue() != static_cast<std::int64_t>(generation))
        return;
    if (itemLayer->superlayer() != m_scrollLayer)
        return;
    auto contents = picture ? picture : m_placeholder;
    auto subs = itemLayer->sublayers();
    if (subs.empty())
        return;
    auto image = subs.front();
    image->setContents(contents);
    image->setBackgroundColor(nullptr);
    if (auto reflections = image->sublayers(); !reflections.empty()) {
        reflections.front()->setContents(contents);
        reflections.front()->setBackgroundColor(nullptr);
    }
    itemLayer->setValueForKey(picture != nullptr, "hasImage");
}
