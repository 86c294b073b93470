#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentationView.h"

#include "platform/graphics/GraphicsContext.h"

FND_REGISTER_CLASS(ZORSheetPresentationView, ui::View)

std::shared_ptr<ZORSheetPresentationView> ZORSheetPresentationView::create(gfx::Rect frame)
{
    return ui::makeView<ZORSheetPresentationView>(frame);
}

void ZORSheetPresentationView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    context->fillRect(bounds());
    context->restoreGraphicsState();
}
