#pragma once

#include "frameworks/QFTabBarView/QFTabBarButton.h"
#include "platform/ui/views/ViewAnimation.h"

namespace ui {
class TabViewItem;
}

class QFAttachedTabBarButtonCell : public QFTabBarButtonCell {
    FND_OBJECT(QFAttachedTabBarButtonCell)

public:
    std::shared_ptr<ui::Cell> cloneCell() const override;
    bool isOverflowButton() const { return m_isOverflowButton; }
    void setIsOverflowButton(bool flag) { m_isOverflowButton = flag; }
    // Accessibility: the tab's button tells through its value whether it is the selected tab (its state).
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    bool m_isOverflowButton { false };
};

// The tab of one tab view item: selects its item on a click, starts tab drags, slides when its neighbours move and
// renders the picture that is dragged.
class QFAttachedTabBarButton : public QFTabBarButton {
    FND_OBJECT(QFAttachedTabBarButton)

public:
    static std::shared_ptr<QFAttachedTabBarButton> create(gfx::Rect frame, std::shared_ptr<ui::TabViewItem> item);
    // A button made by name (the class registry, interface files, archives): it is set up without an item, which
    // its bar gives it later.
    static std::shared_ptr<QFAttachedTabBarButton> allocateByName();
    // The designated initializer.
    void initWithFrame(gfx::Rect frame, std::shared_ptr<ui::TabViewItem> item);
    // Only a button made by name is set up without an item; code that calls this fails the assertion that names the
    // designated initializer, and the button stays uninitialised.
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<QFAttachedTabBarButtonCell> attachedCell() const
    {
        return std::dynamic_pointer_cast<QFAttachedTabBarButtonCell>(cell());
    }

    std::shared_ptr<ui::TabViewItem> tabViewItem() const;
    void setTabViewItem(std::shared_ptr<ui::TabViewItem> item);
    bool isInAnimatedSlide() const { return m_isInAnimatedSlide; }
    bool isInDraggedSlide() const { return m_isInDraggedSlide; }
    void setIsInDraggedSlide(bool flag) { m_isInDraggedSlide = flag; }
    bool isSliding() const { return m_isInDraggedSlide || m_isInAnimatedSlide; }
    // Reading answers the frame; writing moves x and resizes, keeping y.
    gfx::Rect slidingFrame() const;
    void setSlidingFrame(gfx::Rect frame);
    bool isOverflowButton() const;
    void setIsOverflowButton(bool flag);

    // Also sets the item's label when it differs.
    void setTitle(const fnd::String& title) override;
    bool shouldDisplayLeftDivider() const override;
    bool shouldDisplayRightDivider() const override;
    void slideAnimationWillStart() { m_isInAnimatedSlide = true; }
    void slideAnimationDidEnd() { m_isInAnimatedSlide = false; }

    gfx::Rect draggingRect();
    gfx::Rect _draggingRect() const { return frame(); }
    // The tab as the tab bar view shows it, with the spinner's stand-in picture while it is processing.
    std::shared_ptr<gfx::Image> dragImage();

    void viewWillDraw() override;
    void mouseDown(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    std::shared_ptr<QFAttachedTabBarButton> _selectedAttachedTabBarButton() const;

private:
    void selectThis();

    std::shared_ptr<ui::TabViewItem> m_tabViewItem;
    // The tab view item is an atomic property: the shared pointer is swapped whole under the lock, so a reader on
    // another thread never copies one that is half replaced. The button itself is used on the main thread only.
    mutable std::mutex m_itemLock;
    bool m_isInAnimatedSlide { false };
    bool m_isInDraggedSlide { false };
    bool m_madeByName { false };
};

// Moves tab buttons from where they are to their stacking frames (0.3 s).
class QFSlideButtonsAnimation : public ui::ViewAnimation {
    FND_OBJECT(QFSlideButtonsAnimation)

public:
    static std::shared_ptr<QFSlideButtonsAnimation> create(
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons);
    void addAnimationDictionary(const fnd::Dictionary& dictionary);
};
