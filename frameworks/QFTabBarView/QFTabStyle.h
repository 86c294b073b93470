#pragma once

#include "frameworks/tab-bar-core/TabStyleRegistry.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Image;
}
namespace txt {
class AttributedString;
}

class QFTabBarViewBase;
class QFTabBarButtonCell;
class QFAttachedTabBarButton;
class QFOverflowPopUpButton;
class QFRolloverButton;

enum class QFTabBarOrientation : unsigned { Horizontal = 0, Vertical = 1 };

// The bits a tab bar view keeps on each button for the styles to read.
using QFTabStateBits = std::uint64_t;
namespace QFTabState {
inline constexpr QFTabStateBits PreviousSelected = 0x4;
inline constexpr QFTabStateBits NextSelected = 0x8;
inline constexpr QFTabStateBits PreviousSliding = 0x10;
inline constexpr QFTabStateBits NextSliding = 0x20;
inline constexpr QFTabStateBits PreviousIsDropTarget = 0x40;
inline constexpr QFTabStateBits NextIsDropTarget = 0x80;
inline constexpr QFTabStateBits PositionFirst = 0x100;
inline constexpr QFTabStateBits PositionMiddle = 0x200;
inline constexpr QFTabStateBits PositionLast = 0x400;
inline constexpr QFTabStateBits PositionSingle = 0x800;
inline constexpr QFTabStateBits PositionMask = 0xF00;
}

// A tab bar view's look (the view passes itself as the QFTabBarViewBase it is). Apart from the name every operation is
// optional: an answer of nullopt (or false for the drawing operations) means "not implemented", and the view or the
// cell uses its built-in answer.
//
// Every style is archivable: by default it writes nothing and a decoded one is a new style of its class; the styles
// with pictures or switches of their own write them.
class QFTabStyle : public fnd::Object, public fnd::Coding {
    FND_OBJECT(QFTabStyle)

public:
    virtual fnd::String name() const = 0;

    void encodeWithCoder(fnd::Coder&) const override { }
    bool initWithCoder(fnd::Coder&) override { return true; }

    virtual std::optional<bool> supportsOrientation(QFTabBarOrientation, QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<double> leftMarginForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<double> rightMarginForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<double> topMarginForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<double> bottomMarginForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<gfx::Size> addTabButtonSizeForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> addTabButtonRectForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<gfx::Size> overflowButtonSizeForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> overflowButtonRectForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual std::optional<double> heightOfTabBarButtonsForTabBarView(QFTabBarViewBase&) { return std::nullopt; }
    virtual bool updateAddButton(QFRolloverButton&, QFTabBarViewBase&) { return false; }
    virtual bool updateOverflowPopUpButton(QFOverflowPopUpButton&, QFTabBarViewBase&) { return false; }

    // Cell-level operations.
    virtual std::optional<std::shared_ptr<txt::AttributedString>> attributedObjectCountStringValueForTabCell(
        QFTabBarButtonCell&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::shared_ptr<txt::AttributedString>> attributedStringValueForTabCell(QFTabBarButtonCell&)
    {
        return std::nullopt;
    }
    virtual std::optional<double> minimumWidthOfTabCell(QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<double> desiredWidthOfTabCell(QFTabBarButtonCell&) { return std::nullopt; }
    // nullopt: not implemented; false hides the close button.
    virtual std::optional<bool> updateCloseButton(QFRolloverButton&, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long, QFTabBarButtonCell&)
    {
        return std::nullopt;
    }
    virtual std::optional<gfx::Rect> drawingRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Size> closeButtonSizeForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> closeButtonRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> titleRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> iconRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> largeImageRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> indicatorRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Size> objectCounterSizeOfTabCell(QFTabBarButtonCell&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> objectCounterRectForBounds(gfx::Rect, QFTabBarButtonCell&) { return std::nullopt; }

    // Drawing; true when the style drew.
    virtual bool drawTabBarView(QFTabBarViewBase&, gfx::Rect) { return false; }
    virtual bool drawBezelOfTabBarView(QFTabBarViewBase&, gfx::Rect) { return false; }
    virtual bool drawButtonBezelsOfTabBarView(QFTabBarViewBase&, gfx::Rect) { return false; }
    virtual bool drawBezelOfButton(QFAttachedTabBarButton&, long /*index*/,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& /*buttons*/, long /*selectedIndex*/,
        QFTabBarViewBase&, gfx::Rect)
    {
        return false;
    }
    virtual bool drawBezelOfOverflowButton(QFOverflowPopUpButton&, QFTabBarViewBase&, gfx::Rect) { return false; }
    virtual bool drawInteriorOfTabBarView(QFTabBarViewBase&, gfx::Rect) { return false; }
    virtual bool drawTabBarCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawBezelOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawInteriorOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawTitleOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawIconOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawLargeImageOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawIndicatorOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawObjectCounterOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawCloseButtonOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton&, QFTabBarViewBase&)
    {
        return std::nullopt;
    }
};

// The looks of the tab bar view by name. Each style registers itself when the library loads
// (tbcore::TabStyleRegistration); QFTabBarView's registry methods are this registry's.
struct QFTabStyleRegistry {
    static tbcore::TabStyleRegistry<QFTabStyle>& shared();
};
