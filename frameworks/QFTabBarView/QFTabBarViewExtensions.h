#pragma once

#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/View.h"

#include <memory>

namespace gfx {
class Image;
class Color;
}
namespace ui {
class Event;
class TabViewItem;
}
class QFTabBarView;
class QFTabBarButton;

// The optional per-tab values a tab bar shows. A tab view item's identifier may offer them (as key-value coding
// properties of these names); otherwise each item carries its own set (QFTabBarViewExtensions::properties).
namespace QFTabBarItemKey {
inline const fnd::String Title = "title";
inline const fnd::String Icon = "icon";
inline const fnd::String LargeImage = "largeImage";
inline const fnd::String ObjectCount = "objectCount";
inline const fnd::String ObjectCountColor = "objectCountColor";
inline const fnd::String IsProcessing = "isProcessing";
inline const fnd::String IsEdited = "isEdited";
inline const fnd::String HasCloseButton = "hasCloseButton";
}

// The values a tab view item carries for its tab; never-set values read as null, NO or 0. Observable.
class QFTabBarItemProperties : public fnd::Object {
    FND_OBJECT(QFTabBarItemProperties)
    static void describeClass(fnd::ClassBuilder<QFTabBarItemProperties>& c);

public:
    fnd::Value largeImage;
    fnd::Value icon;
    bool isProcessing { false };
    long objectCount { 0 };
    fnd::Value objectCountColor;
    bool isEdited { false };
    bool hasCloseButton { false };
};

namespace QFTabBarViewExtensions {

// The item's own set of tab values, made on first use and living as long as the item.
std::shared_ptr<QFTabBarItemProperties> properties(const ui::TabViewItem& item);

// Waits (in the event-tracking mode, until the expiration) for the mouse to move at least the hysteresis from the
// mouse-down in x or y (true), or to go up, or for time to run out (false); every event it took is put back at the
// front of the queue, in the order it came, so the caller's own tracking sees them.
bool dragShouldBeginFromMouseDown(ui::View& view, const ui::Event& mouseDown, fnd::Date expiration,
    double xHysteresis = 5.0, double yHysteresis = 5.0);

// The nearest superview (never the view itself) of the class or a subclass of it; nullptr when there is none.
std::shared_ptr<ui::View> superviewOfClass(const ui::View& view, const fnd::ClassInfo& viewClass);
// The same for a C++ type, which may also be an interface the view implements.
template <typename T> std::shared_ptr<T> superviewOfClass(const ui::View& view)
{
    for (auto parent = view.superview(); parent; parent = parent->superview())
        if (auto found = std::dynamic_pointer_cast<T>(parent))
            return found;
    return nullptr;
}

std::shared_ptr<QFTabBarView> enclosingTabBarView(const ui::View& view);
std::shared_ptr<QFTabBarButton> enclosingTabBarButton(const ui::View& view);
// Moves the view to the end of its superview's subviews, so it is drawn on top.
void orderFront(ui::View& view);

// Overflow titles: a title of at least `length` units keeps its first length − 10 and gets "…"; a shorter one stays
// whole.
fnd::String stringByTruncatingToLength(const fnd::String& string, fnd::Index length);

}
