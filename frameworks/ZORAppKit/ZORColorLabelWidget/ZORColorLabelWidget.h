#pragma once

#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelWidgetCell.h"

#include "platform/ui/controls/Control.h"

// The control around a colour label cell: bindable through "value" and "enabled", and taking the first click
// even in a window that is not key.
class ZORColorLabelWidget : public ui::Control {
    FND_OBJECT(ZORColorLabelWidget)
    static void describeClass(fnd::ClassBuilder<ZORColorLabelWidget>& c);

public:
    ZORColorLabelWidget() = default;
    static std::shared_ptr<ZORColorLabelWidget> create(gfx::Rect frame = {});
    std::shared_ptr<ui::Cell> makeCell() const override;

    std::int64_t colorLabelType() const { return integerValue(); }
    void setColorLabelType(std::int64_t type) { setIntegerValue(type); }
    fnd::Value value() const { return objectValue(); }
    void setValue(const fnd::Value& value) { setObjectValue(value); }

    bool acceptsFirstMouse(const ui::Event*) override { return true; }
};
