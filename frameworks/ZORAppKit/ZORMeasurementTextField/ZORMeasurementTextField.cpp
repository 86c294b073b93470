#include "frameworks/ZORAppKit/ZORMeasurementTextField/ZORMeasurementTextField.h"

FND_REGISTER_CLASS(ZORMeasurementTextField, ui::TextField)

std::shared_ptr<ZORMeasurementTextField> ZORMeasurementTextField::create(gfx::Rect frame)
{
    return ui::makeView<ZORMeasurementTextField>(frame);
}
