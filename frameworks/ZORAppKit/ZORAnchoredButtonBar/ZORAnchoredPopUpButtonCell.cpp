#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButtonCell.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <cmath>

FND_REGISTER_CLASS(ZORAnchoredPopUpButtonCell, ui::PopUpButtonCell)

void ZORAnchoredPopUpButtonCell::init()
{
    initTextCell({}, false);
}

void ZORAnchoredPopUpButtonCell::initTextCell(const fnd::String& title, bool pullsDown)
{
    PopUpButtonCell::initTextCell(title, pullsDown);
    PopUpButtonCell::setControlSize(ui::ControlSize::Small);
}

bool ZORAnchoredPopUpButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!PopUpButtonCell::initWithCoder(coder))
        return false;
    PopUpButtonCell::setControlSize(ui::ControlSize::Small);
    return true;
}

void ZORAnchoredPopUpButtonCell::drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    ZORAnchoredButtonLook::drawAnchoredFace(cellFrame, controlView);
    drawArrowInFrame(cellFrame);
}

void ZORAnchoredPopUpButtonCell::drawArrowInFrame(gfx::Rect frame)
{
    const auto& palette = ZORAnchoredButtonLook::anchored();
    if (!palette.pullDownArrow || !gfx::GraphicsContext::current())
        return;
    auto arrow = ZORNSImage_Extension::zorTintedImageWithColor(*palette.pullDownArrow, *imageColor());
    const auto size = arrow->size();
    const double x = frame.minX() + frame.width() - 11;
    const double middle = static_cast<double>(std::lround(static_cast<float>(frame.height() / 2)));
    // Measured upwards from the frame's bottom edge, as if the cell were not flipped.
    auto upright = [&](double bottom) {
        return gfx::Rect { x, frame.minY() + frame.height() - bottom - size.height, size.width, size.height };
    };
    gfx::GraphicsStateGuard guard;
    palette.textShadow->set();
    if (pullsDown()) {
        arrow->drawInRect(upright(middle - 2), {}, gfx::CompositingOperation::SourceOver, 1.0, true);
        return;
    }
    arrow->drawInRect(upright(middle - 4), {}, gfx::CompositingOperation::SourceOver, 1.0, true);
    // Its mirror image above, pointing up, a point apart.
    gfx::Rect above { x, frame.minY() + middle - 5, size.width, size.height };
    auto* context = gfx::GraphicsContext::current();
    gfx::GraphicsStateGuard mirror;
    context->translateCTM(0, above.midY());
    context->scaleCTM(1, -1);
    context->translateCTM(0, -above.midY());
    arrow->drawInRect(above, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}

gfx::Rect ZORAnchoredPopUpButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    return gfx::insetRect(gfx::offsetRect(PopUpButtonCell::titleRectForBounds(bounds), 0, -1), 3, 0);
}

gfx::Rect ZORAnchoredPopUpButtonCell::imageRectForBounds(gfx::Rect bounds) const
{
    auto rect = PopUpButtonCell::imageRectForBounds(bounds);
    auto item = shownItem();
    auto image = item ? item->image() : ButtonCell::image();
    if (image && image->size().width > rect.width())
        rect.size.width += 1;
    return gfx::offsetRect(rect, 1, 0);
}

void ZORAnchoredPopUpButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View&)
{
    if (!image)
        return;
    auto rect
        = ZORAnchoredButtonLook::isActionTemplate(*image) ? ZORAnchoredButtonLook::actionTemplateRect(frame) : frame;
    image->drawInRect(rect, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
}
