#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

namespace txt {

// A run's attributes: any value under any name. The names below are the platform's, so archived text and pasteboard
// data keep their meaning.
using Attributes = fnd::Dictionary;

inline const fnd::String FontAttributeName { "NSFont" };
inline const fnd::String ForegroundColorAttributeName { "NSColor" };
inline const fnd::String BackgroundColorAttributeName { "NSBackgroundColor" };
inline const fnd::String ParagraphStyleAttributeName { "NSParagraphStyle" };
inline const fnd::String KernAttributeName { "NSKern" };
inline const fnd::String UnderlineStyleAttributeName { "NSUnderline" };
inline const fnd::String UnderlineColorAttributeName { "NSUnderlineColor" };
inline const fnd::String StrikethroughStyleAttributeName { "NSStrikethrough" };
inline const fnd::String StrikethroughColorAttributeName { "NSStrikethroughColor" };
inline const fnd::String ShadowAttributeName { "NSShadow" };
inline const fnd::String SuperscriptAttributeName { "NSSuperScript" };
inline const fnd::String BaselineOffsetAttributeName { "NSBaselineOffset" };
inline const fnd::String LinkAttributeName { "NSLink" };
inline const fnd::String AttachmentAttributeName { "NSAttachment" };

// Underline and strikethrough styles, with the platform's bit values: a line style in the low byte, a pattern in
// the second.
namespace UnderlineStyle {
constexpr int None = 0x00;
constexpr int Single = 0x01;
constexpr int Thick = 0x02;
constexpr int Double = 0x09;
constexpr int PatternSolid = 0x0000;
constexpr int PatternDot = 0x0100;
constexpr int PatternDash = 0x0200;
constexpr int PatternDashDot = 0x0300;
constexpr int PatternDashDotDot = 0x0400;
}

// The object-replacement character that stands for an attachment in the text.
constexpr char16_t AttachmentCharacter = 0xFFFC;

}
