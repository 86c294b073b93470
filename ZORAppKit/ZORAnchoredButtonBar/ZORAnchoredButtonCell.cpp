#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonCell.h"

#include "ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORAnchoredButtonCell, ui::ButtonCell)

void ZORAnchoredButtonCell::init()
{
    ButtonCell::init();
    setUp();
}

bool ZORAnchoredButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ButtonCell::initWithCoder(coder))
        return false;
    setUp();
    return true;
}

void ZORAnchoredButtonCell::setUp()
{
    setButtonType(ui::ButtonType::MomentaryPushIn);
    setBordered(true);
    setBezeled(true);
    setBezelStyle(ui::BezelStyle::TexturedSquare);
    ButtonCell::setControlSize(ui::ControlSize::Small);
}

void ZORAnchoredButtonCell::setControlSize(ui::ControlSize)
{
}

void ZORAnchoredButtonCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    ButtonCell::drawWithFrame(cellFrame, controlView);
    if (!isHighlighted())
        return;
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    ZORAnchoredButtonLook::anchored().pressedOverlay->setFill();
    context->fillRectUsingOperation(highlightRectForBounds(cellFrame), gfx::CompositingOperation::SourceOver);
}

void ZORAnchoredButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    ZORAnchoredButtonLook::drawAnchoredFace(frame, controlView);
}

gfx::ColorPtr ZORAnchoredButtonCell::textColor() const
{
    const auto& p = ZORAnchoredButtonLook::anchored();
    return isEnabled() ? p.textColor : p.disabledTextColor;
}

gfx::ColorPtr ZORAnchoredButtonCell::imageColor() const
{
    const auto& p = ZORAnchoredButtonLook::anchored();
    return isEnabled() ? p.imageColor : p.disabledImageColor;
}

fnd::Dictionary ZORAnchoredButtonCell::titleAttributes() const
{
    return ZORAnchoredButtonLook::textAttributes(ButtonCell::titleAttributes(), textColor());
}

gfx::Rect ZORAnchoredButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    return gfx::offsetRect(ButtonCell::titleRectForBounds(bounds), 0, 1);
}

void ZORAnchoredButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    auto lower = gfx::offsetRect(frame, 0, 1);
    if (image && ZORAnchoredButtonLook::isActionTemplate(*image))
        lower = ZORAnchoredButtonLook::actionTemplateRect(lower);
    ButtonCell::drawImage(image, lower, controlView);
}
