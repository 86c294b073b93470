#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/look/ControlState.h"
#include "platform/ui/views/View.h"

#include <cmath>
#include <type_traits>

namespace ui {

// Whether a value is a number that is NaN or infinite: what value setters ignore.
inline bool isNonFiniteNumber(const fnd::Value& value)
{
    const auto* number = value.number();
    return number && number->isReal() && !std::isfinite(number->doubleValue());
}

// The values below are the platform's: interface files, archives and callers store and compare them.

// Whether a value of an enumeration is one of first..last. A number cast to it (key-value coding, interface files)
// may be any other; setters keep what they hold for such a value, as decoders bound theirs.
template <typename E>
requires std::is_enum_v<E>
constexpr bool isWithin(E value, E first, E last)
{
    using U = std::underlying_type_t<E>;
    return static_cast<U>(value) >= static_cast<U>(first) && static_cast<U>(value) <= static_cast<U>(last);
}

enum class CellType { Null = 0, Text = 1, Image = 2 };

// What a button shows while pressed (highlightsBy) and while on (showsStateBy).
namespace CellMask {
constexpr unsigned None = 0;
constexpr unsigned Contents = 1; // the alternate title and image
constexpr unsigned PushIn = 2; // the face looks pressed in
constexpr unsigned ChangeGray = 4; // the face darkens
constexpr unsigned ChangeBackground = 8; // the face takes the highlight colour
}

enum class CellImagePosition {
    NoImage = 0,
    ImageOnly = 1,
    ImageLeft = 2,
    ImageRight = 3,
    ImageBelow = 4,
    ImageAbove = 5,
    ImageOverlaps = 6,
    ImageLeading = 7,
    ImageTrailing = 8,
};

enum class ImageScaling { ProportionallyDown = 0, AxesIndependently = 1, None = 2, ProportionallyUpOrDown = 3 };

enum class ImageAlignment {
    Center = 0,
    Top = 1,
    TopLeft = 2,
    TopRight = 3,
    Left = 4,
    Bottom = 5,
    BottomLeft = 6,
    BottomRight = 7,
    Right = 8,
};

// Borders of boxes and scroll views, with the platform's values; in a scroll view every border but NoBorder takes one
// point on each side.
enum class BorderType { NoBorder = 0, LineBorder = 1, BezelBorder = 2, GrooveBorder = 3 };

enum class ImageFrameStyle { None = 0, Photo = 1, GrayBezel = 2, Groove = 3, Button = 4 };

// The background a cell draws on: light (the default) or dark, where content turns light.
enum class BackgroundStyle { Light = 0, Dark = 1, Raised = 2, Lowered = 3 };

enum class ButtonType {
    MomentaryLight = 0,
    PushOnPushOff = 1,
    Toggle = 2,
    Switch = 3,
    Radio = 4,
    MomentaryChange = 5,
    OnOff = 6,
    MomentaryPushIn = 7,
    Accelerator = 8,
    MultiLevelAccelerator = 9,
};

enum class BezelStyle {
    Rounded = 1,
    RegularSquare = 2,
    ThickSquare = 3,
    ThickerSquare = 4,
    Disclosure = 5,
    ShadowlessSquare = 6,
    Circular = 7,
    TexturedSquare = 8,
    HelpButton = 9,
    SmallSquare = 10,
    TexturedRounded = 11,
    RoundRect = 12,
    Recessed = 13,
    RoundedDisclosure = 14,
    Inline = 15,
};

enum class TextFieldBezelStyle { Square = 0, Rounded = 1 };

using RectEdge = gfx::RectEdge;

}
