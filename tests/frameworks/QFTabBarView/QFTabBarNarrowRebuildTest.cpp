#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"

#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <fmt/format.h>

#include <algorithm>
#include <random>

namespace {

using namespace qftest;

// An identifier that gives its tab the title (the tab's label follows it).
class RetitledDocument : public fnd::Object {
    FND_OBJECT(RetitledDocument)
    static void describeClass(fnd::ClassBuilder<RetitledDocument>& c) { c.property("title", &RetitledDocument::title); }

public:
    fnd::String title;
};
FND_REGISTER_CLASS(RetitledDocument, fnd::Object)

// Writes down what the bar tells about the overflow menu and asks for tool tips, in order; some tabs may not be
// closed, which makes their buttons narrower when sized to fit.
class LayoutRecorder : public RecordingDelegate {
public:
    std::vector<std::string> told;

    void tabViewTabViewItemIsInOverflowMenu(ui::TabView&, ui::TabViewItem& item, bool inMenu) override
    {
        told.push_back((inMenu ? "in menu " : "on bar ") + item.label().utf8());
    }
    std::optional<fnd::String> tabViewToolTipForTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        told.push_back("tip " + item.label().utf8());
        return fnd::String("About " + item.label().utf8());
    }
    std::optional<bool> tabViewDisableTabCloseForTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        return item.label().utf8().ends_with('3');
    }
};

struct Bar {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<QFTabBarView> bar;
    std::shared_ptr<LayoutRecorder> delegate = std::make_shared<LayoutRecorder>();

    // A bar `width` wide over a tab view holding `items` (none: an empty one to fill later), the bar given its
    // tab view already filled, as a window restored with its tabs is.
    static Bar make(double width, const std::vector<std::shared_ptr<ui::TabViewItem>>& items, long selected)
    {
        Bar b;
        b.window = ui::Window::create({ { 100, 100 }, { 800, 200 } });
        b.tabView = ui::TabView::create({ 0, 0, 800, 178 });
        b.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        for (const auto& item : items)
            b.tabView->addTabViewItem(item);
        if (selected >= 0)
            b.tabView->selectTabViewItemAtIndex(selected);
        b.bar = QFTabBarView::create({ 0, 178, width, 22 });
        b.window->contentView()->addSubview(b.tabView);
        b.window->contentView()->addSubview(b.bar);
        b.bar->setDelegate(b.delegate);
        b.bar->setTabView(b.tabView);
        b.bar->setPartnerView(b.tabView);
        b.window->makeKeyAndOrderFront();
        return b;
    }
};

std::string labelOf(const std::shared_ptr<ui::TabViewItem>& item)
{
    return item ? item->label().utf8() : "(none)";
}

// Everything a person or a screen reader meets of the bar, one line each.
std::string describe(const QFTabBarView& bar)
{
    namespace A = ui::AccessibilityAttribute;
    std::string out;
    for (const auto& button : bar.orderedAttachedButtons()) {
        const auto f = button->frame();
        out += fmt::format("tab {} \"{}\" at {} {} {}x{} state {} bits {:#x} overflow {} no-close {} tip \"{}\"\n",
            labelOf(button->tabViewItem()), button->title().utf8(), f.minX(), f.minY(), f.width(), f.height(),
            int(button->state()), unsigned(button->tabState()), button->isOverflowButton(),
            button->suppressCloseButton(), button->toolTip().utf8());
    }
    // A hidden button keeps wherever it stood last.
    const auto& popUp = bar.overflowPopUpButton();
    out += popUp->isHidden() ? std::string("no overflow button\n")
                             : fmt::format("overflow button at {}\n", popUp->frame().minX());
    const auto& add = bar.addTabButton();
    out += add->isHidden() ? std::string("no add button\n") : fmt::format("add button at {}\n", add->frame().minX());
    if (auto menu = popUp->menu())
        for (const auto& entry : menu->itemArray())
            out += fmt::format("menu \"{}\" for {}\n", entry->title().utf8(),
                labelOf(entry->representedObject().objectAs<ui::TabViewItem>()));
    if (const auto& menu = bar.controller().overflowMenu(); menu && menu != popUp->menu())
        out += "the controller's menu is not the one the pop-up shows\n";
    const auto children = bar.accessibilityAttributeValue(A::Children);
    for (const auto& child : *children.array()) {
        auto element = ui::accessibilityElement(child);
        out += fmt::format("child {} \"{}\" value {}\n",
            ui::accessibilityAttribute(*element, A::Role).stringValue().utf8(),
            ui::accessibilityAttribute(*element, A::Title).stringValue().utf8(),
            ui::accessibilityAttribute(*element, A::Value).stringValue().utf8());
    }
    out += "selected " + labelOf(bar.selectedTabViewItem()) + "\n";
    if (auto tabs = bar.tabView())
        for (const auto& item : tabs->tabViewItems())
            out += "item " + item->label().utf8() + "\n";
    return out;
}

// A copy of the item as a program restoring its window makes it: the same label and identifier.
std::shared_ptr<ui::TabViewItem> copyOf(const ui::TabViewItem& item)
{
    auto copy = ui::TabViewItem::create();
    copy->setLabel(item.label());
    copy->setIdentifier(item.identifier());
    return copy;
}

class QFTabBarNarrowRebuildTest : public TabBarTest {
protected:
    QFTabBarNarrowRebuildTest() { a.window->close(); }

    // After a layout pass: the bar shows, lists and told in that pass what a bar made afresh for its tabs does.
    void expectLikeAFreshBar(Bar& bar, double width, const std::string& context)
    {
        const auto& tabs = *bar.tabView;
        std::vector<std::shared_ptr<ui::TabViewItem>> copies;
        for (const auto& item : tabs.tabViewItems())
            copies.push_back(copyOf(*item));
        const auto selected = bar.bar->selectedTabViewItem();
        Bar fresh = Bar::make(width, copies, selected ? tabs.indexOfTabViewItem(*selected) : -1);
        fresh.bar->setSizeButtonsToFit(bar.bar->sizeButtonsToFit());
        fresh.bar->setShowAddTabButton(bar.bar->showAddTabButton());
        fresh.bar->setUseOverflowMenu(bar.bar->useOverflowMenu());
        fresh.delegate->told.clear();
        settle();

        ASSERT_EQ(describe(*bar.bar), describe(*fresh.bar)) << context;
        ASSERT_EQ(selectionMarksProblem(*bar.bar), "") << context;
        // The last pass told the delegate what a fresh bar's first pass tells it, in the same order.
        const auto& told = bar.delegate->told;
        const auto& freshTold = fresh.delegate->told;
        ASSERT_FALSE(freshTold.empty()) << context;
        ASSERT_GE(told.size(), freshTold.size()) << context;
        ASSERT_TRUE(std::equal(freshTold.begin(), freshTold.end(), told.end() - long(freshTold.size())))
            << context << "\ntold: " << fmt::format("{}", fmt::join(told, ", "))
            << "\na fresh bar: " << fmt::format("{}", fmt::join(freshTold, ", "));
        fresh.window->close();
    }

    // Runs `steps` rounds of one to three changes before a layout pass on a bar too narrow for most of its tabs,
    // each round compared with a bar made afresh for the same tabs.
    void run(unsigned seed, int steps)
    {
        std::mt19937 random(seed);
        auto pick = [&](long n) { return n <= 0 ? 0L : long(random() % unsigned(n)); };
        long made = 0;
        std::vector<std::shared_ptr<RetitledDocument>> documents;
        auto newItem = [&] {
            auto item = ui::TabViewItem::create();
            const long number = made++;
            item->setLabel(fnd::String(fmt::format("Tab {}", number)));
            if (pick(4) == 0) {
                auto document = std::make_shared<RetitledDocument>();
                document->title = fnd::String(fmt::format("Doc {}", number));
                documents.push_back(document);
                item->setIdentifier(fnd::Value(document));
            }
            return item;
        };
        std::vector<std::shared_ptr<ui::TabViewItem>> first;
        for (long i = 0, n = 8 + pick(30); i < n; ++i)
            first.push_back(newItem());
        double width = 200 + double(pick(400));
        Bar bar = Bar::make(width, first, pick(long(first.size())));
        settle();

        for (int step = 0; step < steps; ++step) {
            std::string done;
            const auto& tabs = *bar.tabView;
            for (long change = 0, changes = 1 + pick(3); change < changes; ++change) {
                const long n = tabs.numberOfTabViewItems();
                switch (pick(12)) {
                case 0:
                case 1: {
                    auto item = newItem();
                    const long at = pick(n + 1);
                    bar.tabView->insertTabViewItem(item, at);
                    done += fmt::format("insert {} at {}; ", labelOf(item), at);
                    break;
                }
                case 2:
                case 3:
                    if (n > 1) {
                        auto item = tabs.tabViewItemAtIndex(pick(n));
                        done += "remove " + labelOf(item) + "; ";
                        bar.tabView->removeTabViewItem(item);
                    }
                    break;
                case 4:
                    if (n > 0) {
                        auto item = tabs.tabViewItemAtIndex(pick(n));
                        const long to = pick(n);
                        done += fmt::format("move {} to {}; ", labelOf(item), to);
                        bar.bar->moveTabViewItem(item, to);
                    }
                    break;
                case 5:
                    if (n > 0) {
                        auto item = tabs.tabViewItemAtIndex(pick(n));
                        done += "select " + labelOf(item) + "; ";
                        bar.tabView->selectTabViewItem(item);
                    }
                    break;
                case 6:
                    width = 120 + double(pick(600));
                    done += fmt::format("width {}; ", width);
                    bar.bar->setFrameSize({ width, 22 });
                    break;
                case 7:
                    done += fmt::format("sized to fit {}; ", !bar.bar->sizeButtonsToFit());
                    bar.bar->setSizeButtonsToFit(!bar.bar->sizeButtonsToFit());
                    break;
                case 8:
                    // A document renamed, its bar asked to show it.
                    if (!documents.empty()) {
                        auto& document = documents[std::size_t(pick(long(documents.size())))];
                        document->setValueForKey(fnd::Value(fnd::String(fmt::format("Doc {}", made++))), "title");
                        done += "rename " + document->title.utf8() + "; ";
                        bar.bar->setNeedsUpdate(true);
                    }
                    break;
                case 9:
                    done += fmt::format("add button {}; ", !bar.bar->showAddTabButton());
                    bar.bar->setShowAddTabButton(!bar.bar->showAddTabButton());
                    break;
                case 11: {
                    // Several tabs closed one after another (the selection moving on through them), every one or
                    // every second one, forwards or backwards.
                    const long step = pick(2) + 1, count = 2 + pick(5);
                    const bool backwards = pick(2) == 0;
                    long at = pick(n);
                    if (pick(2) == 0)
                        bar.tabView->selectTabViewItem(tabs.tabViewItemAtIndex(at));
                    for (long k = 0; k < count && tabs.numberOfTabViewItems() > 1; ++k) {
                        at = std::clamp(at, 0L, tabs.numberOfTabViewItems() - 1);
                        auto item = tabs.tabViewItemAtIndex(at);
                        done += "close " + labelOf(item) + "; ";
                        bar.tabView->removeTabViewItem(item);
                        at += backwards ? -step : step - 1;
                    }
                    break;
                }
                case 10:
                    // Rarely without the menu: every tab shown, however narrow.
                    if (pick(3) == 0 || !bar.bar->useOverflowMenu()) {
                        done += fmt::format("overflow menu {}; ", !bar.bar->useOverflowMenu());
                        bar.bar->setUseOverflowMenu(!bar.bar->useOverflowMenu());
                    }
                    break;
                }
            }
            bar.delegate->told.clear();
            settle();

            expectLikeAFreshBar(bar, width, fmt::format("seed {}, step {}: {}", seed, step, done));
            if (HasFatalFailure())
                return;
        }
        bar.window->close();
    }
};

TEST_F(QFTabBarNarrowRebuildTest, ANarrowBarFollowingTheProgramsChangesShowsWhatAFreshBarShows)
{
    // Kept short for the sanitizer pass: each step makes a second bar.
    for (unsigned seed = 1; seed <= 4; ++seed)
        run(seed, 25);
}

}
