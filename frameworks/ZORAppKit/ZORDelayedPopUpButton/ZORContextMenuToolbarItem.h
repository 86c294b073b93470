#pragma once

#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButton.h"

#include "platform/ui/containers/ToolbarItem.h"

// A toolbar item whose view is a press-and-hold button, so that a toolbar button can carry a menu. The menu also
// stands for the item in the text-only mode and the overflow menu; the image is shown at 32 points in the regular
// size mode and at 24 in the small one. Target, action, image and menu are the button cell's.
class ZORContextMenuToolbarItem : public ui::ToolbarItem {
    FND_OBJECT(ZORContextMenuToolbarItem)

public:
    static constexpr gfx::Size RegularImageSize { 32, 32 };
    static constexpr gfx::Size SmallImageSize { 24, 24 };

    ZORContextMenuToolbarItem() = default;
    static std::shared_ptr<ZORContextMenuToolbarItem> create(const fnd::String& itemIdentifier);
    // A borderless 32-point button as the item's view.
    void initWithItemIdentifier(const fnd::String& itemIdentifier);

    const std::shared_ptr<ZORDelayedPopUpButton>& button() const { return m_button; }
    std::shared_ptr<ZORDelayedPopUpButtonCell> popupCell() const { return m_button->delayedCell(); }

    std::shared_ptr<ui::Menu> menu() const;
    // Also the item's menu form: an entry titled with the label that opens the menu.
    void setMenu(std::shared_ptr<ui::Menu> menu);
    fnd::Selector action() const;
    void setAction(fnd::Selector action);
    std::shared_ptr<fnd::Object> target() const;
    void setTarget(const std::shared_ptr<fnd::Object>& target);
    std::shared_ptr<gfx::Image> image() const;
    // Keeps a 32-point and a 24-point copy; the cell shows the one for the toolbar's size mode.
    void setImage(const std::shared_ptr<gfx::Image>& image);
    // The button's tool tip (kept by the item as well, for its copies).
    const fnd::String& toolTip() const { return m_button->toolTip(); }
    void setToolTip(const fnd::String& toolTip);

    // Shows the image for the toolbar's size mode, then enables the item (and its button) as the toolbar's
    // delegate says (validateToolbarItem:, else validateUserInterfaceItem:, else enabled) or, without a delegate,
    // when the target, or else the window's first responder, answers the action.
    void validate() override;

private:
    bool isSmall() const;

    std::shared_ptr<ZORDelayedPopUpButton> m_button;
    std::shared_ptr<gfx::Image> m_smallImage;
    std::shared_ptr<gfx::Image> m_regularImage;
    std::shared_ptr<ui::MenuItem> m_menuForm;
};
