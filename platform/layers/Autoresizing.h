#pragma once

#include "platform/graphics/Geometry.h"

namespace ui {

// Autoresizing, for layers and views alike (their masks have the same bits): the frame, with its origin counted from
// the superlayer's or superview's origin, after the super's size changed from oldSuperSize to newSuperSize. Along
// each axis the change is shared among the parts the mask makes flexible (the two margins and the size) in
// proportion to their lengths, or equally when they are all zero.
gfx::Rect autoresizedFrame(gfx::Rect frame, unsigned mask, gfx::Size oldSuperSize, gfx::Size newSuperSize);
// The same with a size that may go below zero (autoresizedFrame stops it at zero), so a caller can keep how far the
// super shrank past the frame's room and give it back before the frame grows again.
gfx::Rect autoresizedFrameBelowZero(gfx::Rect frame, unsigned mask, gfx::Size oldSuperSize, gfx::Size newSuperSize);

}
