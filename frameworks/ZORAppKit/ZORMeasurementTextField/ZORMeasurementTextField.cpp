#include "frameworks/ZORAppKit/ZORMeasurementTextField/ZORMeasurementTextField.h"

FND_REGISTER_CLASS(ZORMeasurementTextField, ui::TextField)

std::shared_ptr<ZORMeasurementTextField> ZORMeasurementTextField::create(gfx::Rect frame)
{
    auto field = fnd::makeObject<ZORMeasurementTextField>();
    field->initWithFrame(frame);
    return field;
}
