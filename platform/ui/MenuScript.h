#pragma once

#include "platform/ui/Menu.h"

#include <deque>
#include <memory>
#include <vector>

namespace ui {

// The headless way menus open: each pop-up takes the next answer a test queued (an item by title, tag or index,
// or a dismissal) and records what was shown. With nothing queued a menu is dismissed.
class MenuScript final : public MenuPresenter {
public:
    static std::shared_ptr<MenuScript> shared();

    void chooseItemWithTitle(const fnd::String& title);
    void chooseItemWithTag(long tag);
    void chooseItemAtIndex(long index);
    void dismiss();
    // Forgets queued answers and the record.
    void reset();

    struct Shown {
        fnd::String menuTitle;
        std::vector<fnd::String> itemTitles;
        // Enabled state of each item when it was shown.
        std::vector<bool> enabled;
        gfx::Point location;
    };
    const std::vector<Shown>& shown() const { return m_shown; }

    // Searches the menu and its submenus; a disabled or separator item cannot be chosen (nullptr, as a click on
    // it leaves the menu open until dismissed).
    std::shared_ptr<MenuItem> popUpMenu(
        Menu& menu, const std::shared_ptr<MenuItem>& positioningItem, gfx::Point screenLocation) override;

private:
    struct Answer {
        enum class Kind { Title, Tag, Index, Dismiss } kind;
        fnd::String title;
        long number { 0 };
    };

    std::deque<Answer> m_answers;
    std::vector<Shown> m_shown;
};

}
