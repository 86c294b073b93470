#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace txt {
class AttributedString;
}

// The texts both tab-bar families show the same way: the object counter (its figure and its capsule) and the titles
// of the Metal look.
namespace tbcore {

// The counter's figure, formatted unsigned (a negative count shows as the large number it is when read unsigned),
// in bold Helvetica 11, white at 85 %. The attributes are made once per process.
std::shared_ptr<txt::AttributedString> countString(unsigned long count);

// The counter's capsule: the rect filled with ends of radius 7 (the counter is 14 high), and the figure drawn at its
// own size in the middle, a quarter point right and `textDrop` points further down the rect's y.
void drawCountCapsule(gfx::Rect rect, const gfx::ColorPtr& fill, const txt::AttributedString& figure, double textDrop);

// A Metal title: bold system font 11, the text colour at 75 %, a white shadow one point below (80 % when the tab
// is selected or under the pointer, else 50 %), centred and cut at the tail.
std::shared_ptr<txt::AttributedString> metalTitle(const fnd::String& title, bool emphasised);

// The width of a Metal title, measured once per text: every layout asks it of every tab.
double metalTitleWidth(const fnd::String& title);

}
