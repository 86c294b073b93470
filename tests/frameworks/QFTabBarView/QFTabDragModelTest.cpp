#include "QFTabBarViewTestSupport.h"
#include "frameworks/tab-bar-core/support/DragModelSequence.h"

#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"
#include "frameworks/QFTabBarView/QFTabStyle.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <limits>

namespace {

using namespace qftest;

// The drag model's sequences on tab bar views: slides and drags with the pointer, the program acting at each of
// their steps.
class QFTabDragModelTest : public TabBarTest, protected tabbartest::DragModelSequence<BarWindow> {
protected:
    QFTabDragModelTest() { a.window->close(); }

    BarWindow makeBarWindow(gfx::Rect frame) override
    {
        auto w = BarWindow::make(frame.origin, frame.width(), frame.height());
        w.delegate->allowLeaving = true;
        return w;
    }
    std::vector<fnd::String> styleNames() const override { return QFTabStyleRegistry::shared().registeredNames(); }
    void setStyleNamed(BarWindow& w, const fnd::String& name) override { w.bar->setStyleNamed(name); }
    // The buttons' items and those listed in the overflow menu only, in the order of the bar's tab view (the
    // button pinned to the overflow menu shows the selected tab, whose place in the menu is its place there).
    std::vector<std::shared_ptr<ui::TabViewItem>> barItems(const BarWindow& w) const override
    {
        std::vector<std::shared_ptr<ui::TabViewItem>> items;
        for (const auto& button : w.bar->orderedAttachedButtons())
            items.push_back(button->tabViewItem());
        if (const auto& menu = w.bar->controller().overflowMenu())
            for (const auto& entry : menu->itemArray())
                if (auto item = entry->representedObject().objectAs<ui::TabViewItem>();
                    item && std::ranges::find(items, item) == items.end())
                    items.push_back(item);
        if (auto tabs = w.bar->tabView())
            std::ranges::stable_sort(items, [&](const auto& x, const auto& y) {
                auto at = [&](const auto& item) {
                    return item ? tabs->indexOfTabViewItem(*item) : std::numeric_limits<long>::max();
                };
                return at(x) < at(y);
            });
        return items;
    }
    tabbartest::TabLayout layoutOf(const BarWindow& w) const override
    {
        tabbartest::TabLayout layout;
        for (const auto& button : w.bar->orderedAttachedButtons()) {
            auto item = button->tabViewItem();
            // A button that does not rest where it stands is still moving.
            const std::string title
                = (item ? item->label().utf8() : "?") + (button->frame() == button->stackingFrame() ? "" : "(moving)");
            layout.shown.emplace_back(title, button->frame());
        }
        if (const auto& menu = w.bar->controller().overflowMenu())
            for (const auto& entry : menu->itemArray())
                if (auto item = entry->representedObject().objectAs<ui::TabViewItem>())
                    layout.overflowed.push_back(item->label().utf8());
        return layout;
    }
    long closesHeard(const BarWindow& w, const std::string& label) const override
    {
        return long(std::ranges::count(w.delegate->calls, "didDetach " + label)
            + std::ranges::count(w.delegate->calls, "didClose " + label));
    }
    bool hasTabOfItsOwn(const BarWindow& w, const ui::TabViewItem& item) const override
    {
        return w.bar->attachedButtonForTabViewItem(item) != nullptr;
    }
    bool assistantIsIdle() const override
    {
        const auto& assistant = *QFTabDragAssistant::sharedDragAssistant();
        return !assistant.pasteboardItem() && !assistant.isDragging() && !assistant.isSliding()
            && !assistant.draggedTab() && !assistant.draggedView() && !assistant.destinationTabBar();
    }
    ui::HeadlessBackend& headless() override { return *backend; }
    void runFor(double seconds) override { TabBarTest::runFor(seconds); }
    void settleBars() override { settle(); }
    void closeThroughBar(BarWindow& w, const std::shared_ptr<ui::TabViewItem>& item) override
    {
        if (auto button = w.bar->attachedButtonForTabViewItem(*item))
            w.bar->_didClickCloseButton(fnd::Value(button->closeButton()));
    }
};

TEST_F(QFTabDragModelTest, EveryTabEndsWhereTheModelSaysWhateverTheProgramDoesDuringTheDrag)
{
    runDragModelSequences(6);
}

TEST_F(QFTabDragModelTest, TheButtonsFollowingTheProgramsChangesAreLaidOutAsAFreshBarsAre)
{
    for (unsigned seed = 1; seed <= styleNames().size(); ++seed)
        runChangeSequence(seed, 25);
}

}
