#pragma once

#include "platform/ui/containers/TabView.h"
#include "platform/ui/views/View.h"

#include <memory>
#include <vector>

class ZTBTabBarCell;

// What a tab bar control's styles read of the bar they draw: its orientation, its tab view, its cells and whether
// they are moving. ZTBTabBarControl implements it; styles see no more of the control than this, so they do not
// depend on its header (nor it on theirs: styles are found by name in ZTBTabStyleRegistry).
class ZTBTabBarControlBase : public ui::View {
public:
    // 0 horizontal, 1 vertical.
    virtual int orientation() const = 0;
    virtual const std::shared_ptr<ui::TabView>& tabView() const = 0;
    virtual bool isAnimating() const = 0;
    virtual const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells() const = 0;
};
