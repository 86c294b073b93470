#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButtonCell.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarLook.h"

#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

#include <cmath>

FND_REGISTER_CLASS(ZORSplitViewToolbarButtonCell, ui::ButtonCell)

namespace {

constexpr double ZORSplitViewToolbarButtonCellImageMargin = 10.0;
constexpr double ZORSplitViewToolbarButtonCellDimmedOpacity = 0.42;

bool ZORSplitViewToolbarButtonCellInKeyWindow(const ui::View& controlView)
{
    auto w = controlView.window();
    return w && w->isKeyWindow();
}

}

void ZORSplitViewToolbarButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    gfx::GraphicsStateGuard guard;
    ZORSplitViewToolbarLook::buttonGradient(isHighlighted(), !ZORSplitViewToolbarButtonCellInKeyWindow(controlView))
        ->drawInRect(frame, 90);
}

gfx::Rect ZORSplitViewToolbarButtonCell::imageRectInControl(gfx::Size controlSize, gfx::Size imageSize) const
{
    bool hasTitle = !title().isEmpty();
    double x;
    if (hasTitle && imagePosition() == ui::CellImagePosition::ImageRight)
        x = controlSize.width - imageSize.width - ZORSplitViewToolbarButtonCellImageMargin;
    else if (hasTitle)
        x = ZORSplitViewToolbarButtonCellImageMargin;
    else
        x = (controlSize.width - imageSize.width) / 2;
    double y = (controlSize.height - imageSize.height) / 2;
    return gfx::integralRect({ x, y, imageSize.width, imageSize.height });
}

double ZORSplitViewToolbarButtonCell::imageOpacity(const ui::View& controlView) const
{
    if (!isEnabled())
        return imageDimsWhenDisabled() ? ZORSplitViewToolbarButtonCellDimmedOpacity : 1.0;
    // The control's own window decides, so that each window shows its own state.
    return ZORSplitViewToolbarButtonCellInKeyWindow(controlView) ? 1.0 : ZORSplitViewToolbarButtonCellDimmedOpacity;
}

void ZORSplitViewToolbarButtonCell::drawImage(
    const std::shared_ptr<gfx::Image>& image, gfx::Rect, ui::View& controlView)
{
    if (!image)
        return;
    auto rect = imageRectInControl(controlView.frame().size, image->size());
    if (isEnabled() && isHighlighted())
        rect.origin.y += controlView.isFlipped() ? 1.0 : -1.0;
    image->drawInRect(rect, {}, gfx::CompositingOperation::SourceOver, imageOpacity(controlView), true);
}

gfx::Rect ZORSplitViewToolbarButtonCell::drawTitle(
    const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView)
{
    if (isHighlighted())
        frame.origin.y += controlView.isFlipped() ? 1.0 : -1.0;
    return ButtonCell::drawTitle(title, frame, controlView);
}
