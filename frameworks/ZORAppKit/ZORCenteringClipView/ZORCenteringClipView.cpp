#include "frameworks/ZORAppKit/ZORCenteringClipView/ZORCenteringClipView.h"

#include "platform/foundation/archiving/Coding.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORCenteringClipView, ui::ClipView)

namespace {

[[maybe_unused]] const bool centeringClipViewVersionIsSet
    = (fnd::setClassVersion(ZORCenteringClipView::staticClassInfo(), 1), true);

// Rounded in single precision, half away from zero, so origins land on whole units as stored values expect.
double roundedToWhole(double value)
{
    return static_cast<double>(std::round(static_cast<float>(value)));
}

// Where one axis of the bounds may start: centred when the document is smaller, else within its extent.
double constrained(double proposed, double document, double visible)
{
    if (visible > document)
        return (document - visible) * 0.5;
    double limited = std::min(proposed, document - visible);
    return limited > 0 ? limited : 0;
}

}

std::shared_ptr<ZORCenteringClipView> ZORCenteringClipView::create(gfx::Rect frame)
{
    return ui::makeView<ZORCenteringClipView>(frame);
}

void ZORCenteringClipView::centerDocument()
{
    const auto& document = documentView();
    if (!document)
        return;
    const gfx::Size d = document->frame().size;
    const gfx::Rect b = bounds();
    gfx::Point origin = b.origin;
    if (b.width() > d.width)
        origin.x = roundedToWhole((d.width - b.width()) * 0.5);
    if (b.height() > d.height)
        origin.y = roundedToWhole((d.height - b.height()) * 0.5);
    scrollToPoint(origin);
}

gfx::Point ZORCenteringClipView::constrainScrollPoint(gfx::Point proposed)
{
    const auto& document = documentView();
    if (!document)
        return ui::ClipView::constrainScrollPoint(proposed);
    const gfx::Size d = document->frame().size;
    const gfx::Rect b = bounds();
    return { roundedToWhole(constrained(proposed.x, d.width, b.width())),
        roundedToWhole(constrained(proposed.y, d.height, b.height())) };
}

std::shared_ptr<ui::Menu> ZORCenteringClipView::menuForEvent(const ui::Event& event)
{
    const auto& document = documentView();
    return document ? document->menuForEvent(event) : nullptr;
}

void ZORCenteringClipView::setDocumentView(const std::shared_ptr<ui::View>& view)
{
    ui::ClipView::setDocumentView(view);
    centerDocument();
}

void ZORCenteringClipView::setFrame(gfx::Rect frame)
{
    ui::ClipView::setFrame(frame);
    centerDocument();
}

void ZORCenteringClipView::setFrameRotation(double degrees)
{
    ui::ClipView::setFrameRotation(degrees);
    centerDocument();
}

void ZORCenteringClipView::setFrameOrigin(gfx::Point origin)
{
    ui::ClipView::setFrameOrigin(origin);
    centerDocument();
}

void ZORCenteringClipView::setFrameSize(gfx::Size size)
{
    ui::ClipView::setFrameSize(size);
    centerDocument();
}

void ZORCenteringClipView::scaleUnitSquareToSize(gfx::Size size)
{
    ui::ClipView::scaleUnitSquareToSize(size);
    centerDocument();
}

void ZORCenteringClipView::viewFrameChanged(const fnd::Notification& notification)
{
    ui::ClipView::viewFrameChanged(notification);
    centerDocument();
}

void ZORCenteringClipView::viewBoundsChanged(const fnd::Notification& notification)
{
    ui::ClipView::viewBoundsChanged(notification);
    centerDocument();
}
