#pragma once

#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

#include <vector>

namespace gfx {
class Font;
}

namespace ui {

// An open menu as we draw it: the items top to bottom on a white panel, each with its state mark (a tick for on,
// a dash for mixed), its indentation, image, title, key equivalent and a chevron when it opens a submenu;
// separators as thin lines, disabled items greyed, the highlighted item on a soft band. Flipped.
class MenuView : public View {
    FND_OBJECT(MenuView)
public:
    MenuView() = default;
    static std::shared_ptr<MenuView> create(std::shared_ptr<Menu> menu);
    void initWithFrame(gfx::Rect frame) override;
    // Where the titles of items without indentation or image start, from the menu's left edge.
    static constexpr double TitleInset = 22;

    // Where the items go, in a flipped view with the menu's size: one row per item shown (hidden items have none).
    struct Row {
        long index;
        gfx::Rect rect;
    };
    struct Layout {
        std::vector<Row> rows;
        gfx::Size size;
    };
    static Layout layoutMenu(const Menu& menu);
    // The font the menu's items are drawn in.
    static std::shared_ptr<gfx::Font> fontOf(const Menu& menu);
    // A key equivalent as the menu shows it, "Ctrl+Shift+S" (Command shows as Ctrl, which plays its part here).
    static fnd::String keyEquivalentDisplayString(const MenuItem& item);

    const std::shared_ptr<Menu>& menu() const { return m_menu; }
    // Takes the menu's items again (after the menu changed).
    void reloadMenu();
    const Layout& menuLayout() const { return m_layout; }
    // The empty rect for an item that is hidden or out of range.
    gfx::Rect rectOfItemAtIndex(long index) const;
    // -1 when no item is there.
    long indexOfItemAtPoint(gfx::Point point) const;
    // The tip of the item under the point.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;
    // Whether the item can be chosen: shown, enabled, not a separator and not the title of a submenu.
    static bool isChoosable(const MenuItem& item);

    long highlightedIndex() const { return m_highlighted; }
    void setHighlightedIndex(long index);

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;

    // Accessibility: the open menu's element stands for the view; its items tell which one is highlighted.
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    std::shared_ptr<Menu> m_menu;
    Layout m_layout;
    long m_highlighted { -1 };
};

}
