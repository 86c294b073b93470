#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {
class Color;
class Image;
}
namespace txt {
class AttributedString;
}
class ZTBTabBarCell;
class ZTBTabBarControlBase;
namespace ui {
class View;
}

// What the tab bar control's styles have in common: their pictures, the counter text and capsule, the width sums and
// the walk over the cells of a bar.
namespace ztbstyle {

std::shared_ptr<gfx::Image> image(const fnd::String& name);
gfx::Size sizeOf(const std::shared_ptr<gfx::Image>& image);

// The count in bold Helvetica 11, white at 0.85.
std::shared_ptr<txt::AttributedString> counterText(const ZTBTabBarCell& cell);
// The title in the system font of 11 points, truncated at the tail, centred or not.
std::shared_ptr<txt::AttributedString> plainTitle(const ZTBTabBarCell& cell, bool centred);

// The counter box of the cell's frame with the given side margin and the shift for a running indicator; zero
// without a count.
gfx::Rect counterRect(const ZTBTabBarCell& cell, double counterPadding, double margin, double indicatorShift);
// The sum of the parts of a tab with the 6-point sides and 4-point gaps, raised to the next whole number.
double sixPointWidth(const ZTBTabBarCell& cell, double closeWidth, double titleWidth, double counterWidth);
// A capsule of radius 7 in the count colour (or the fallback) with the count centred in it.
void drawCounter(const ZTBTabBarCell& cell, gfx::Rect rect, const std::shared_ptr<gfx::Color>& fallback);

// The picture the tab view item's identifier answers for the key ("icon", "largeImage").
std::shared_ptr<gfx::Image> identifierImage(const ZTBTabBarCell& cell, const char* key);
// The picture drawn with its whole size so that its rectangle's top left is at the rect's top left.
void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect rect);
// A tab's icon at its own size in the 16-point icon rect: a smaller one is centred in it, a larger one keeps its
// top left at the rect's.
void drawIcon(const std::shared_ptr<gfx::Image>& image, gfx::Rect rect);

// The cells of the bar that meet the rect (all while the bar animates, none moved to the overflow menu); without a
// tab view the class name, centred, in place of the tabs.
void drawCells(ZTBTabBarControlBase& bar, gfx::Rect rect);

// Whether the view is in the key window (a view outside any window is not).
bool isInKeyWindow(const ui::View* view);
bool isApplicationActive();

}
