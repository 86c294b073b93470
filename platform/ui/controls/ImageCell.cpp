#include "platform/ui/controls/ImageCell.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/View.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ImageCell, ActionCell)

void ImageCell::describeClass(fnd::ClassBuilder<ImageCell>& c)
{
    c.property("imageScaling", &ImageCell::imageScaling, &ImageCell::setImageScaling);
    c.property("imageAlignment", &ImageCell::imageAlignment, &ImageCell::setImageAlignment);
    c.property("imageFrameStyle", &ImageCell::imageFrameStyle, &ImageCell::setImageFrameStyle);
    c.property("animates", &ImageCell::animates, &ImageCell::setAnimates);
}

void ImageCell::init()
{
    initImageCell(nullptr);
}

void ImageCell::initImageCell(std::shared_ptr<gfx::Image> image)
{
    ActionCell::initImageCell(std::move(image));
}

void ImageCell::setImageScaling(ImageScaling scaling)
{
    if (!isWithin(scaling, ImageScaling::ProportionallyDown, ImageScaling::ProportionallyUpOrDown))
        return;
    m_imageScaling = scaling;
    noteChanged();
}

void ImageCell::setImageAlignment(ImageAlignment alignment)
{
    if (!isWithin(alignment, ImageAlignment::Center, ImageAlignment::Right))
        return;
    m_imageAlignment = alignment;
    noteChanged();
}

void ImageCell::setImageFrameStyle(ImageFrameStyle style)
{
    if (!isWithin(style, ImageFrameStyle::None, ImageFrameStyle::Button))
        return;
    m_imageFrameStyle = style;
    noteChanged();
}

fnd::Value ImageCell::objectValue() const
{
    return image() ? fnd::Value(image()) : fnd::Value();
}

void ImageCell::setObjectValue(const fnd::Value& value)
{
    setImage(value.objectAs<gfx::Image>());
}

// Geometry.

namespace {

// The room a frame style takes on each side.
double frameInset(ImageFrameStyle style)
{
    switch (style) {
    case ImageFrameStyle::Photo:
        return 4;
    case ImageFrameStyle::GrayBezel:
    case ImageFrameStyle::Groove:
    case ImageFrameStyle::Button:
        return 3;
    default:
        return 0;
    }
}

}

gfx::Size ImageCell::cellSizeForBounds(gfx::Rect) const
{
    auto size = image() ? image()->size() : gfx::Size {};
    double inset = frameInset(m_imageFrameStyle);
    return { size.width + 2 * inset, size.height + 2 * inset };
}

gfx::Rect ImageCell::drawingRectForBounds(gfx::Rect bounds) const
{
    double inset = frameInset(m_imageFrameStyle);
    return gfx::insetRect(bounds, inset, inset);
}

gfx::Rect ImageCell::imageRectForBounds(gfx::Rect bounds) const
{
    auto area = drawingRectForBounds(bounds);
    if (!image() || area.isEmpty())
        return {};
    auto size = image()->size();
    if (size.width <= 0 || size.height <= 0)
        return {};
    switch (m_imageScaling) {
    case ImageScaling::AxesIndependently:
        return area;
    case ImageScaling::ProportionallyUpOrDown:
    case ImageScaling::ProportionallyDown: {
        double fit = std::min(area.width() / size.width, area.height() / size.height);
        if (m_imageScaling == ImageScaling::ProportionallyUpOrDown || fit < 1)
            size = { size.width * fit, size.height * fit };
        break;
    }
    default:
        break;
    }
    // Placed by the alignment, on the screen (top means the top whichever way the view is turned).
    const bool flipped = controlView() ? controlView()->isFlipped() : false;
    double x = area.midX() - size.width / 2;
    double yCentre = area.midY() - size.height / 2;
    double yTop = flipped ? area.minY() : area.maxY() - size.height;
    double yBottom = flipped ? area.maxY() - size.height : area.minY();
    double y = yCentre;
    switch (m_imageAlignment) {
    case ImageAlignment::Top:
    case ImageAlignment::TopLeft:
    case ImageAlignment::TopRight:
        y = yTop;
        break;
    case ImageAlignment::Bottom:
    case ImageAlignment::BottomLeft:
    case ImageAlignment::BottomRight:
        y = yBottom;
        break;
    default:
        break;
    }
    switch (m_imageAlignment) {
    case ImageAlignment::Left:
    case ImageAlignment::TopLeft:
    case ImageAlignment::BottomLeft:
        x = area.minX();
        break;
    case ImageAlignment::Right:
    case ImageAlignment::TopRight:
    case ImageAlignment::BottomRight:
        x = area.maxX() - size.width;
        break;
    default:
        break;
    }
    return { std::round(x), std::round(y), std::round(size.width), std::round(size.height) };
}

// Drawing.

void ImageCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    auto* context = gfx::GraphicsContext::current();
    auto rect = ControlLook::snapped(cellFrame);
    if (context && !rect.isEmpty()) {
        auto outline = [&](gfx::Rect r, const gfx::Color& color) {
            auto path = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(r, 0.5, 0.5));
            path->setLineWidth(1);
            context->setStrokeColor(color);
            context->strokePath(*path);
        };
        switch (m_imageFrameStyle) {
        case ImageFrameStyle::Photo:
            // A white mount with a thin edge and a soft line below it.
            context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0, 0.08));
            context->fillRect({ rect.minX() + 1, rect.minY(), rect.width() - 1, rect.height() - 1 });
            context->setFillColor(*ControlLook::fieldBackgroundColor());
            context->fillRect(gfx::insetRect(rect, 1, 1));
            outline(gfx::insetRect(rect, 1, 1), *ControlLook::borderColor());
            break;
        case ImageFrameStyle::GrayBezel:
            context->setFillColor(*ControlLook::troughColor());
            context->fillRect(rect);
            outline(rect, *ControlLook::borderColor());
            break;
        case ImageFrameStyle::Groove:
            outline(rect, *ControlLook::borderColor());
            outline(gfx::insetRect(rect, 1, 1), *gfx::Color::colorWithCalibratedWhite(1, 0.8));
            break;
        case ImageFrameStyle::Button:
            ControlLook::drawOutlinedFace(rect, ControlLook::FaceShape::RoundedRect, ControlSize::Mini,
                { .enabled = isEnabled(), .pressed = isHighlighted() });
            break;
        default:
            break;
        }
    }
    drawInteriorWithFrame(cellFrame, controlView);
}

void ImageCell::drawInteriorWithFrame(gfx::Rect cellFrame, View&)
{
    auto rect = imageRectForBounds(cellFrame);
    if (!image() || rect.isEmpty())
        return;
    auto* context = gfx::GraphicsContext::current();
    context->saveGraphicsState();
    context->clipToRect(drawingRectForBounds(cellFrame));
    image()->drawInRect(rect, {}, gfx::CompositingOperation::SourceOver, isEnabled() ? 1.0 : 0.5, true);
    context->restoreGraphicsState();
}

// Archiving.

void ImageCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_imageScaling), "ImageScaling");
    coder.encodeInt(static_cast<int>(m_imageAlignment), "ImageAlignment");
    coder.encodeInt(static_cast<int>(m_imageFrameStyle), "ImageFrameStyle");
    coder.encodeBool(m_animates, "Animates");
}

bool ImageCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    m_imageScaling = static_cast<ImageScaling>(std::clamp(coder.decodeIntForKey("ImageScaling"), 0, 3));
    m_imageAlignment = static_cast<ImageAlignment>(std::clamp(coder.decodeIntForKey("ImageAlignment"), 0, 8));
    m_imageFrameStyle = static_cast<ImageFrameStyle>(std::clamp(coder.decodeIntForKey("ImageFrameStyle"), 0, 4));
    m_animates = !coder.containsValueForKey("Animates") || coder.decodeBoolForKey("Animates");
    return !coder.hasFailed();
}

}
