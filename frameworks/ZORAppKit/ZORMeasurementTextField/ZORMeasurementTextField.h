#pragma once

#include "platform/ui/text/TextField.h"

// The field that carries a measurement formatter: lengths are kept in points and shown and typed in a unit.
class ZORMeasurementTextField : public ui::TextField {
    FND_OBJECT(ZORMeasurementTextField)

public:
    ZORMeasurementTextField() = default;
    static std::shared_ptr<ZORMeasurementTextField> create(gfx::Rect frame = {});
};
