#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsContext.h"

#include <array>
#include <memory>

namespace gfx {
class Image;
}
namespace ui {
class Toolbar;
}

// What the tab styles share: the window settings they read, the strokes and fills they repeat, and the six close
// pictures each of them keeps.
namespace QFTabStyleSupport {

bool isSelected(const QFTabBarButtonCell& cell);
bool isSelected(const QFAttachedTabBarButton& button);
bool isVertical(const QFTabBarViewBase& view);
// The tab bar the cell's button stands in; nullptr for a button outside any bar.
std::shared_ptr<QFTabBarViewBase> tabBarOf(const QFTabBarButtonCell& cell);
// The toolbar of the view's window, when it has one.
ui::Toolbar* windowToolbar(const ui::View& view);
// The window has a toolbar and it is visible.
bool toolbarIsShown(const ui::View& view);
// The window has a toolbar that shows its baseline separator (visible or not).
bool toolbarShowsBaselineSeparator(const ui::View& view);

// Calibrated white 0.576: the outline and divider grey of the light styles.
gfx::ColorPtr lineGray();
void strokeLine(gfx::Point from, gfx::Point to, const gfx::ColorPtr& color);
void fillRect(gfx::Rect rect, const gfx::ColorPtr& color, gfx::CompositingOperation op);
// Black at 10 %, laid only over what is already drawn: the pointer is over a tab.
void hoverFill(gfx::Rect rect);
// The radius of a tab card: at most 6, at most half the rect's smaller side.
double cardRadius(gfx::Rect rect);
// True when the rect is the zero rect (what the layout uses for "absent").
bool isZeroRect(gfx::Rect rect);

// The rect of a tab being dragged: the button's stacking frame (zero without a button) one point wider.
gfx::Rect widenedStackingFrame(QFAttachedTabBarButton* button);

// A style's six close pictures, by close-image type: normal, rollover, pressed, then the same for an edited tab.
class CloseImages {
public:
    // Resource names and archive keys in the order normal, pressed, rollover, edited, edited pressed, edited
    // rollover (the order the styles declare them in).
    using Names = std::array<const char*, 6>;
    explicit CloseImages(const Names& resources);
    // The picture of a close-image type; nullptr for any other value.
    std::shared_ptr<gfx::Image> imageOfType(long type) const;
    // Writes all six pictures under their keys (nil for one the style lacks).
    void encode(fnd::Coder& coder, const Names& keys) const;
    // Reads back what the archive holds; missing keys keep the bundle's pictures.
    void decode(fnd::Coder& coder, const Names& keys);

private:
    Names m_resources;
    std::array<std::shared_ptr<gfx::Image>, 6> m_images;
};

// The named picture of the tab bar view's resources, loaded once.
std::shared_ptr<gfx::Image> image(const char* name);

}
