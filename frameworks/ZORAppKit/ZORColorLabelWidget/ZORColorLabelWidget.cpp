#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelWidget.h"

#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORColorLabelWidget, ui::Control)

void ZORColorLabelWidget::describeClass(fnd::ClassBuilder<ZORColorLabelWidget>& c)
{
    c.property("value", &ZORColorLabelWidget::value, &ZORColorLabelWidget::setValue);
    c.property("colorLabelType", &ZORColorLabelWidget::colorLabelType, &ZORColorLabelWidget::setColorLabelType);
    c.exposeBinding("value");
    c.exposeBinding("enabled");
}

std::shared_ptr<ZORColorLabelWidget> ZORColorLabelWidget::create(gfx::Rect frame)
{
    return ui::makeView<ZORColorLabelWidget>(frame);
}

std::shared_ptr<ui::Cell> ZORColorLabelWidget::makeCell() const
{
    return fnd::makeObject<ZORColorLabelWidgetCell>();
}
