#include "ZTBTabBarControlTestSupport.h"
#include "frameworks/tab-bar-core/support/DragModelSequence.h"

#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

#include <algorithm>

namespace {

using namespace ztbtest;

// The drag model's sequences on tab bar controls: drags with the pointer through the platform's drag, the program
// acting at each of their steps.
class ZTBTabDragModelTest : public TabBarControlTest, protected tabbartest::DragModelSequence<BarWindow> {
protected:
    ZTBTabDragModelTest() { a.window->close(); }

    BarWindow makeBarWindow(gfx::Rect frame) override
    {
        auto w = BarWindow::make(frame.origin, frame.width(), frame.height());
        w.delegate->shouldDropOutside = true;
        return w;
    }
    std::vector<fnd::String> styleNames() const override { return ZTBTabStyleRegistry::shared().registeredNames(); }
    void setStyleNamed(BarWindow& w, const fnd::String& name) override { w.bar->setStyleNamed(name); }
    std::vector<std::shared_ptr<ui::TabViewItem>> barItems(const BarWindow& w) const override
    {
        std::vector<std::shared_ptr<ui::TabViewItem>> items;
        for (const auto& cell : w.bar->cells())
            items.push_back(cell->isPlaceholder() ? nullptr : cell->representedObject());
        return items;
    }
    tabbartest::TabLayout layoutOf(const BarWindow& w) const override
    {
        tabbartest::TabLayout layout;
        for (const auto& cell : w.bar->cells()) {
            const std::string title = cell->isPlaceholder() ? "_" : cell->stringValue().utf8();
            if (cell->isInOverflowMenu())
                layout.overflowed.push_back(title);
            else
                layout.shown.emplace_back(title, cell->frame());
        }
        return layout;
    }
    long closesHeard(const BarWindow& w, const std::string& label) const override
    {
        return long(std::ranges::count(w.delegate->calls, "didClose " + label));
    }
    bool assistantIsIdle() const override
    {
        const auto& assistant = *ZTBTabDragAssistant::sharedDragAssistant();
        return !assistant.isDragging() && !assistant.draggedCell() && !assistant.sourceTabBar()
            && !assistant.draggedTab() && !assistant.draggedView();
    }
    ui::HeadlessBackend& headless() override { return *backend; }
    void runFor(double seconds) override { TabBarControlTest::runFor(seconds); }
    void settleBars() override { settle(); }
    void closeThroughBar(BarWindow& w, const std::shared_ptr<ui::TabViewItem>& item) override
    {
        if (auto cell = w.bar->cellForItem(*item))
            w.bar->closeTabClick(*cell);
    }
};

TEST_F(ZTBTabDragModelTest, EveryTabEndsWhereTheModelSaysWhateverTheProgramDoesDuringTheDrag)
{
    runDragModelSequences(12);
}

TEST_F(ZTBTabDragModelTest, TheCellsFollowingTheProgramsChangesAreLaidOutAsAFreshBarsAre)
{
    for (unsigned seed = 1; seed <= styleNames().size(); ++seed)
        runChangeSequence(seed, 40);
}

}
