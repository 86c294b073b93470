#include "platform/ui/panels/PictureEditView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(PictureEditView, View)

std::shared_ptr<PictureEditView> PictureEditView::create(gfx::Rect frame)
{
    return makeView<PictureEditView>(frame);
}

void PictureEditView::setImage(std::shared_ptr<gfx::Image> image)
{
    if (image == m_image)
        return;
    m_image = std::move(image);
    m_crop.reset();
    m_dragStart.reset();
    m_moving.reset();
    setNeedsDisplay(true);
}

void PictureEditView::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    m_editable = flag;
    if (!flag)
        setCropRect(std::nullopt);
}

void PictureEditView::setCropRect(std::optional<gfx::Rect> rect)
{
    if (rect && m_image)
        rect = gfx::intersectionRect(*rect, { {}, m_image->size() });
    if (rect && rect->isEmpty())
        rect.reset();
    if (rect == m_crop)
        return;
    m_crop = rect;
    setNeedsDisplay(true);
}

gfx::Rect PictureEditView::pictureRect() const
{
    if (!m_image)
        return {};
    const gfx::Size size = m_image->size();
    const gfx::Rect area = gfx::insetRect(bounds(), Inset, Inset);
    if (size.width <= 0 || size.height <= 0 || area.isEmpty())
        return {};
    const double scale = std::min(area.width() / size.width, area.height() / size.height);
    const gfx::Size shown { size.width * scale, size.height * scale };
    return { area.midX() - shown.width / 2, area.midY() - shown.height / 2, shown.width, shown.height };
}

gfx::Point PictureEditView::pictureLocation(gfx::Point viewPoint) const
{
    const gfx::Rect shown = pictureRect();
    if (!m_image || shown.isEmpty())
        return {};
    const gfx::Size size = m_image->size();
    const double scale = size.width / shown.width();
    double x = (viewPoint.x - shown.minX()) * scale;
    double y = (viewPoint.y - shown.minY()) * scale;
    if (isFlipped())
        y = size.height - y;
    return { std::clamp(x, 0.0, size.width), std::clamp(y, 0.0, size.height) };
}

gfx::Rect PictureEditView::viewRectOfCrop(gfx::Rect crop) const
{
    const gfx::Rect shown = pictureRect();
    const double scale = shown.width() / m_image->size().width;
    double y = crop.minY() * scale;
    if (isFlipped())
        y = shown.height() - crop.maxY() * scale;
    return { shown.minX() + crop.minX() * scale, shown.minY() + y, crop.width() * scale, crop.height() * scale };
}

void PictureEditView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    gfx::Color::colorWithCalibratedWhite(0.85, 1)->setFill();
    gfx::BezierPath::fillRect(bounds());
    const gfx::Rect shown = pictureRect();
    if (m_image && !shown.isEmpty()) {
        m_image->drawInRect(shown, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
        if (m_crop) {
            const gfx::Rect kept = viewRectOfCrop(*m_crop);
            // Dim what is cut away: the picture less the kept rectangle.
            auto outside = gfx::BezierPath::bezierPathWithRect(shown);
            outside->appendBezierPathWithRect(kept);
            outside->setWindingRule(gfx::WindingRule::EvenOdd);
            gfx::Color::colorWithCalibratedWhite(0, 0.5)->setFill();
            outside->fill();
            gfx::Color::whiteColor()->setStroke();
            auto frame = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(kept, 0.5, 0.5));
            frame->setLineWidth(1);
            frame->stroke();
        }
    }
    context->restoreGraphicsState();
}

void PictureEditView::mouseDown(const Event& event)
{
    if (!m_editable || !m_image || pictureRect().isEmpty()) {
        View::mouseDown(event);
        return;
    }
    const gfx::Point at = pictureLocation(convertPointFromView(event.locationInWindow(), nullptr));
    m_dragStart = at;
    m_moving.reset();
    if (m_crop && gfx::pointInRect(at, *m_crop))
        m_moving = m_crop;
}

void PictureEditView::mouseDragged(const Event& event)
{
    if (!m_dragStart)
        return;
    track(convertPointFromView(event.locationInWindow(), nullptr));
}

void PictureEditView::mouseUp(const Event& event)
{
    if (!m_dragStart)
        return;
    track(convertPointFromView(event.locationInWindow(), nullptr));
    m_dragStart.reset();
    m_moving.reset();
}

void PictureEditView::track(gfx::Point viewPoint)
{
    const gfx::Point at = pictureLocation(viewPoint);
    const gfx::Size size = m_image->size();
    std::optional<gfx::Rect> crop;
    if (m_moving) {
        // Moved as a whole, stopping at the picture's edges.
        gfx::Rect moved = *m_moving;
        moved.origin.x = std::clamp(moved.minX() + at.x - m_dragStart->x, 0.0, size.width - moved.width());
        moved.origin.y = std::clamp(moved.minY() + at.y - m_dragStart->y, 0.0, size.height - moved.height());
        crop = moved;
    } else {
        const gfx::Point a = *m_dragStart;
        crop = gfx::Rect { std::min(a.x, at.x), std::min(a.y, at.y), std::abs(at.x - a.x), std::abs(at.y - a.y) };
    }
    const auto before = m_crop;
    setCropRect(crop);
    if (m_crop != before && m_cropHandler)
        m_cropHandler();
}

}
