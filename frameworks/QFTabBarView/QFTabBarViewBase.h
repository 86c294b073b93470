#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "platform/ui/views/View.h"

#include <memory>

// What a tab bar view's styles and buttons read of it: its orientation and options and the few built-in rects a
// style adjusts. QFTabBarView implements it; a style sees no more of the view than this, so styles do not depend on
// the view's header (nor the view on theirs: styles are found by name in QFTabStyleRegistry).
class QFTabBarViewBase : public ui::View {
public:
    virtual QFTabBarOrientation orientation() const = 0;
    virtual bool showAddTabButton() const = 0;
    virtual bool onlyShowCloseOnHover() const = 0;
    virtual bool isTabBarHidden() const = 0;
    // The index a dragged tab would land at, fnd::NotFound while no tab is dragged over the bar.
    virtual long destinationIndexForDraggedItem() const = 0;
    // The window is key, or it is a panel of the active application.
    virtual bool isWindowActive() const = 0;
    virtual bool isOverflowButtonVisible() const = 0;
    virtual std::shared_ptr<QFAttachedTabBarButton> lastAttachedButton() const = 0;
    virtual double topMargin() = 0;
    // The built-in add and overflow button rects, for styles that adjust them.
    virtual gfx::Rect _addTabButtonRect() = 0;
    virtual gfx::Rect _overflowButtonRect() = 0;
};
