#pragma once

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

class QFTabBarView;
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

// A tab bar view's look. Apart from the name every operation is optional: an answer of nullopt (or false for the
// drawing operations) means "not implemented", and the view or the cell uses its built-in answer.
class QFTabStyle : public fnd::Object {
    FND_OBJECT(QFTabStyle)

public:
    virtual fnd::String name() const = 0;

    virtual std::optional<bool> supportsOrientation(QFTabBarOrientation, QFTabBarView&) { return std::nullopt; }
    virtual std::optional<double> leftMarginForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<double> rightMarginForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<double> topMarginForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<double> bottomMarginForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<gfx::Size> addTabButtonSizeForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> addTabButtonRectForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<gfx::Size> overflowButtonSizeForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<gfx::Rect> overflowButtonRectForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual std::optional<double> heightOfTabBarButtonsForTabBarView(QFTabBarView&) { return std::nullopt; }
    virtual bool updateAddButton(QFRolloverButton&, QFTabBarView&) { return false; }
    virtual bool updateOverflowPopUpButton(QFOverflowPopUpButton&, QFTabBarView&) { return false; }

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
    virtual bool drawTabBarView(QFTabBarView&, gfx::Rect) { return false; }
    virtual bool drawBezelOfTabBarView(QFTabBarView&, gfx::Rect) { return false; }
    virtual bool drawButtonBezelsOfTabBarView(QFTabBarView&, gfx::Rect) { return false; }
    virtual bool drawBezelOfButton(QFAttachedTabBarButton&, long /*index*/,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& /*buttons*/, long /*selectedIndex*/,
        QFTabBarView&, gfx::Rect)
    {
        return false;
    }
    virtual bool drawBezelOfOverflowButton(QFOverflowPopUpButton&, QFTabBarView&, gfx::Rect) { return false; }
    virtual bool drawInteriorOfTabBarView(QFTabBarView&, gfx::Rect) { return false; }
    virtual bool drawTabBarCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawBezelOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawInteriorOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawTitleOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawIconOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawLargeImageOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawIndicatorOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawObjectCounterOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual bool drawCloseButtonOfTabCell(QFTabBarButtonCell&, gfx::Rect, ui::View&) { return false; }
    virtual std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton&, QFTabBarView&)
    {
        return std::nullopt;
    }
};
