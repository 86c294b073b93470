#pragma once

#include "frameworks/tab-bar-core/TabStyleRegistry.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {
class Image;
}
namespace txt {
class AttributedString;
}
class ZTBTabBarCell;
class ZTBTabBarControlBase;

// The look of a tab bar control: its margins and tab height, the rectangles and widths of a tab's parts, and all
// drawing. Every style answers every operation. Every style is archivable: by default it writes nothing and a
// decoded one is a new style of its class; a style with pictures or switches of its own writes them.
class ZTBTabStyle : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ZTBTabStyle)

public:
    virtual fnd::String name() const = 0;
    void encodeWithCoder(fnd::Coder&) const override { }
    bool initWithCoder(fnd::Coder&) override { return true; }
    virtual double leftMarginForTabBarControl() const = 0;
    virtual double rightMarginForTabBarControl() const = 0;
    virtual double topMarginForTabBarControl() const = 0;
    // 0 horizontal, 1 vertical.
    virtual void setOrientation(int orientation) = 0;
    virtual std::shared_ptr<gfx::Image> addTabButtonImage() const = 0;
    virtual std::shared_ptr<gfx::Image> addTabButtonPressedImage() const = 0;
    virtual std::shared_ptr<gfx::Image> addTabButtonRolloverImage() const = 0;
    virtual gfx::Rect dragRectForTabCell(const ZTBTabBarCell& cell, int orientation) const = 0;
    virtual gfx::Rect closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const = 0;
    virtual gfx::Rect iconRectForTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual gfx::Rect indicatorRectForTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual gfx::Rect objectCounterRectForTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual double minimumWidthOfTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual double desiredWidthOfTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual double tabCellHeight() const = 0;
    virtual std::shared_ptr<txt::AttributedString> attributedObjectCountValueForTabCell(
        const ZTBTabBarCell& cell) const = 0;
    virtual std::shared_ptr<txt::AttributedString> attributedStringValueForTabCell(const ZTBTabBarCell& cell) const = 0;
    virtual void drawTabCell(ZTBTabBarCell& cell) = 0;
    virtual void drawBackgroundInRect(gfx::Rect rect) = 0;
    // The control is passed at every draw, so one style may serve several bars.
    virtual void drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect) = 0;
};

// The looks of the tab bar control by name. Each style registers itself when the library loads
// (tbcore::TabStyleRegistration); a name nobody registered gives the Metal look.
struct ZTBTabStyleRegistry {
    static tbcore::TabStyleRegistry<ZTBTabStyle>& shared();
};
