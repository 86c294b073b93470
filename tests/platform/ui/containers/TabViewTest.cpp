#include "ContainersTestSupport.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/controls/SegmentedControl.h"

#include <cmath>
#include <random>

using namespace ui;
using containerstest::ColorView;
using containerstest::ContainersTest;

namespace {

// Writes down every call, and refuses items whose identifier it is told to.
class TabJournal : public TabViewDelegate {
public:
    std::optional<bool> tabViewShouldSelectTabViewItem(TabView&, TabViewItem& item) override
    {
        calls.push_back("should " + item.label().utf8());
        return item.identifier() != refuse;
    }
    void tabViewWillSelectTabViewItem(TabView& tabs, TabViewItem& item) override
    {
        auto selected = tabs.selectedTabViewItem();
        calls.push_back("will " + item.label().utf8() + " from " + (selected ? selected->label().utf8() : "none"));
    }
    void tabViewDidSelectTabViewItem(TabView& tabs, TabViewItem& item) override
    {
        EXPECT_EQ(tabs.selectedTabViewItem().get(), &item);
        calls.push_back("did " + item.label().utf8());
    }
    void tabViewDidChangeNumberOfTabViewItems(TabView& tabs) override
    {
        calls.push_back("count " + std::to_string(tabs.numberOfTabViewItems()));
    }
    std::vector<std::string> calls;
    fnd::Value refuse;
};

class LabelWatcher : public fnd::Object {
public:
    void observeValueForKeyPath(
        const fnd::String& key, fnd::Object&, const fnd::KeyValueChange& change, const void*) override
    {
        seen.push_back(
            key.utf8() + ": " + change.oldValue.stringValue().utf8() + " -> " + change.newValue.stringValue().utf8());
    }
    std::vector<std::string> seen;
};

class TabViewTest : public ContainersTest {
protected:
    std::shared_ptr<TabViewItem> item(const char* label, const char* identifier)
    {
        auto i = TabViewItem::create(fnd::String(identifier));
        i->setLabel(label);
        i->setView(ColorView::make({}, gfx::Color::colorWithCalibratedRed(1, 0.9, 0.7)));
        return i;
    }
    std::shared_ptr<TabView> makeTabView()
    {
        auto tabs = TabView::create({ 20, 20, 360, 200 });
        tabs->setDelegate(journal);
        tabs->addTabViewItem(item("General", "general"));
        tabs->addTabViewItem(item("Colours", "colours"));
        tabs->addTabViewItem(item("Export", "export"));
        add(tabs);
        return tabs;
    }

    std::shared_ptr<TabJournal> journal = std::make_shared<TabJournal>();
};

}

TEST_F(TabViewTest, TheFirstItemIsSelectedAndEveryChangeOfCountIsTold)
{
    auto tabs = makeTabView();
    EXPECT_EQ(journal->calls,
        (std::vector<std::string> {
            "count 1", "should General", "will General from none", "did General", "count 2", "count 3" }));
    EXPECT_EQ(tabs->selectedTabViewItem()->label().utf8(), "General");
    EXPECT_EQ(tabs->indexOfTabViewItemWithIdentifier(fnd::String("export")), 2);
    EXPECT_EQ(tabs->indexOfTabViewItemWithIdentifier(fnd::String("nothing")), long(fnd::NotFound));
    auto& view = tabs->selectedTabViewItem()->view();
    EXPECT_EQ(view->superview(), tabs);
    EXPECT_EQ(view->frame(), tabs->contentRect());
    EXPECT_THROW(tabs->insertTabViewItem(item("Late", "late"), 9), fnd::Exception);
    EXPECT_THROW(tabs->selectTabViewItemAtIndex(-1), fnd::Exception);
}

TEST_F(TabViewTest, TheDelegateVetoesAndHearsSelectionsInOrder)
{
    auto tabs = makeTabView();
    journal->calls.clear();
    journal->refuse = fnd::String("colours");
    tabs->selectTabViewItemWithIdentifier(fnd::String("colours"));
    EXPECT_EQ(tabs->selectedTabViewItem()->label().utf8(), "General");
    tabs->selectLastTabViewItem();
    EXPECT_EQ(journal->calls,
        (std::vector<std::string> { "should Colours", "should Export", "will Export from General", "did Export" }));
    // A segmented control picks by its selected segment; a sender without a choice changes nothing.
    auto segments = SegmentedControl::segmentedControlWithLabels(
        { "A", "B", "C" }, SegmentSwitchTracking::SelectOne, nullptr, {});
    segments->setSelectedSegment(0);
    tabs->takeSelectedTabViewItemFromSender(segments->selfValue());
    EXPECT_EQ(tabs->selectedTabViewItem()->label().utf8(), "General");
    tabs->takeSelectedTabViewItemFromSender(fnd::makeObject<fnd::Object>()->selfValue());
    EXPECT_EQ(tabs->selectedTabViewItem()->label().utf8(), "General");
    tabs->selectLastTabViewItem();
    auto general = tabs->tabViewItemAtIndex(0);
    EXPECT_EQ(general->tabState(), TabState::Background);
    EXPECT_EQ(general->view()->superview(), nullptr) << "only the selected item's view is shown";
    EXPECT_EQ(tabs->selectedTabViewItem()->tabState(), TabState::Selected);
}

TEST_F(TabViewTest, RemovingTheSelectedItemSelectsANeighbourFirst)
{
    auto tabs = makeTabView();
    tabs->selectTabViewItemAtIndex(1);
    journal->calls.clear();
    tabs->removeTabViewItem(tabs->tabViewItemAtIndex(1));
    EXPECT_EQ(journal->calls,
        (std::vector<std::string> { "should Export", "will Export from Colours", "did Export", "count 2" }));
    // The last one has no next neighbour: the previous one takes over.
    journal->calls.clear();
    tabs->removeTabViewItem(tabs->tabViewItemAtIndex(1));
    EXPECT_EQ(tabs->selectedTabViewItem()->label().utf8(), "General");
    tabs->removeTabViewItem(tabs->tabViewItemAtIndex(0));
    EXPECT_EQ(tabs->selectedTabViewItem(), nullptr);
    EXPECT_EQ(tabs->subviews().size(), 0u);
}

TEST_F(TabViewTest, LabelAndIdentifierAreObservable)
{
    auto tabs = makeTabView();
    auto first = tabs->tabViewItemAtIndex(0);
    auto watcher = std::make_shared<LabelWatcher>();
    first->addObserver(*watcher, "label", fnd::KeyValueObservingOptions::Old | fnd::KeyValueObservingOptions::New);
    first->addObserver(*watcher, "identifier", fnd::KeyValueObservingOptions::Old | fnd::KeyValueObservingOptions::New);
    first->setLabel("Basics");
    first->setValueForKey(fnd::String("basics"), "identifier");
    EXPECT_EQ(
        watcher->seen, (std::vector<std::string> { "label: General -> Basics", "identifier: general -> basics" }));
    first->removeObserver(*watcher, "label");
    first->removeObserver(*watcher, "identifier");
}

TEST_F(TabViewTest, ClickingATabSelectsItAndTablessTypesGiveTheirViewsTheBounds)
{
    auto tabs = makeTabView();
    auto exportItem = tabs->tabViewItemAtIndex(2);
    auto tab = tabs->rectOfTabViewItem(*exportItem);
    click(*tabs, { tab.midX(), tab.midY() });
    EXPECT_EQ(tabs->selectedTabViewItem(), exportItem);
    EXPECT_GT(tab.minX(), tabs->rectOfTabViewItem(*tabs->tabViewItemAtIndex(1)).minX());

    auto image = snapshot(*window, "tab-view");
    EXPECT_NE(pixelIn(*image, *tabs, { tab.midX(), tab.minY() + 3 }) & 0xffffff,
        pixelIn(*image, *tabs, { tabs->rectOfTabViewItem(*tabs->tabViewItemAtIndex(0)).midX(), tab.minY() + 3 })
            & 0xffffff)
        << "the selected tab looks different";

    tabs->setTabViewType(TabViewType::NoTabsNoBorder);
    EXPECT_EQ(exportItem->view()->frame(), (gfx::Rect { 0, 0, 360, 200 }));
    EXPECT_TRUE(tabs->rectOfTabViewItem(*exportItem).isEmpty());
    tabs->setTabViewType(TabViewType::NoTabsLineBorder);
    EXPECT_EQ(exportItem->view()->frame(), (gfx::Rect { 1, 1, 358, 198 }));
    tabs->setFrameSize({ 300, 150 });
    EXPECT_EQ(exportItem->view()->frame(), (gfx::Rect { 1, 1, 298, 148 }));
}

// Tabs are measured once for each label and font: every change of a label (also of an item outside the tab view, or
// one handed in already labelled) or of the font shows in the tabs' rects and hits. By hand: a tab is its label's
// width rounded up plus 14 points on each side; it is as high as "Xg" in the font rounded up plus 8 points.
TEST_F(TabViewTest, TabsFollowChangedLabelsAndFonts)
{
    auto tabs = makeTabView();
    auto textSize = [](const char* text, const std::shared_ptr<gfx::Font>& font) {
        txt::Attributes attributes;
        attributes.set(txt::FontAttributeName, fnd::Value(font));
        return txt::AttributedString(fnd::String(text), attributes).size();
    };
    auto systemFont = gfx::Font::systemFontOfSize(gfx::Font::systemFontSize());
    auto colours = tabs->tabViewItemAtIndex(1);
    EXPECT_EQ(tabs->rectOfTabViewItem(*colours).width(), std::ceil(textSize("Colours", systemFont).width) + 28);

    colours->setLabel("Colours and Shading");
    auto tab = tabs->rectOfTabViewItem(*colours);
    EXPECT_EQ(tab.width(), std::ceil(textSize("Colours and Shading", systemFont).width) + 28);
    EXPECT_EQ(tabs->tabViewItemAtPoint({ tab.maxX() - 2, tab.midY() }), colours) << "hits follow the new width";

    auto large = gfx::Font::systemFontOfSize(22);
    tabs->setFont(large);
    tab = tabs->rectOfTabViewItem(*colours);
    EXPECT_EQ(tab.width(), std::ceil(textSize("Colours and Shading", large).width) + 28);
    EXPECT_EQ(tab.height(), std::ceil(textSize("Xg", large).height) + 8);

    auto outside = item("Before", "later");
    outside->setLabel("Labelled while outside");
    tabs->insertTabViewItem(outside, 0);
    EXPECT_EQ(
        tabs->rectOfTabViewItem(*outside).width(), std::ceil(textSize("Labelled while outside", large).width) + 28);
    EXPECT_EQ(tabs->rectOfTabViewItem(*colours).minX(), tabs->rectOfTabViewItem(*tabs->tabViewItemAtIndex(1)).maxX())
        << "the tabs after it move along";
}

// Items inserted, removed and moved at random: every item's index is its place in the item list, and an item that
// left is not found, whether the tab view holds few items (scanned) or many (looked up).
TEST_F(TabViewTest, IndexesFollowRandomChangesOfTheItems)
{
    auto tabs = TabView::create({ 0, 0, 360, 200 });
    std::vector<std::shared_ptr<TabViewItem>> all;
    for (int i = 0; i < 40; ++i)
        all.push_back(item(("Tab " + std::to_string(i)).c_str(), ("tab" + std::to_string(i)).c_str()));
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::mt19937 random(seed);
        for (int step = 0; step < 300; ++step) {
            const auto& chosen = all[random() % all.size()];
            const long count = tabs->numberOfTabViewItems();
            const unsigned long changes = tabs->itemChangeCount();
            // The last change as it must be described: the item, the place it took or left, inserted or not.
            long place = tabs->indexOfTabViewItem(*chosen);
            bool inserted = true;
            unsigned long made = 1;
            if (chosen->tabView() != tabs) {
                place = long(random() % std::size_t(count + 1));
                tabs->insertTabViewItem(chosen, place);
            } else if (random() % 2) {
                tabs->removeTabViewItem(chosen);
                inserted = false;
            } else {
                // Moved: out and in again somewhere else.
                auto keep = chosen;
                tabs->removeTabViewItem(keep);
                place = long(random() % std::size_t(count));
                tabs->insertTabViewItem(keep, place);
                made = 2;
            }
            const auto& change = tabs->lastItemChange();
            ASSERT_EQ(tabs->itemChangeCount(), changes + made) << "seed " << seed << " step " << step;
            EXPECT_EQ(change.count, tabs->itemChangeCount());
            EXPECT_EQ(change.item.lock(), chosen);
            EXPECT_EQ(change.index, place);
            EXPECT_EQ(change.inserted, inserted);
            for (const auto& candidate : all) {
                const auto& items = tabs->tabViewItems();
                const auto place = std::ranges::find(items, candidate);
                const long expected = place == items.end() ? long(fnd::NotFound) : long(place - items.begin());
                ASSERT_EQ(tabs->indexOfTabViewItem(*candidate), expected)
                    << "seed " << seed << " step " << step << " with " << items.size() << " items";
            }
        }
    }
}

// A redraw of part of the tab strip draws only the tabs in it: its pixels are those of a redraw of the whole view.
TEST_F(TabViewTest, APartOfTheTabStripDrawsAsTheWholeDoes)
{
    auto tabs = TabView::create({ 0, 0, 1200, 120 });
    for (int i = 0; i < 12; ++i)
        tabs->addTabViewItem(item(("Tab number " + std::to_string(i)).c_str(), ("tab" + std::to_string(i)).c_str()));
    tabs->selectTabViewItemAtIndex(5);
    const auto fifth = tabs->rectOfTabViewItem(*tabs->tabViewItemAtIndex(5));
    // The whole height, so the rows of both pictures match.
    const gfx::Rect part { std::floor(fifth.minX()) - 30, 0, std::ceil(fifth.width()) + 60, 120 };
    auto whole = tabs->bitmapImageRepForCachingDisplayInRect(tabs->bounds());
    tabs->cacheDisplayInRect(tabs->bounds(), *whole);
    auto piece = tabs->bitmapImageRepForCachingDisplayInRect(part);
    tabs->cacheDisplayInRect(part, *piece);
    const auto wholePixels = whole->pixelBuffer();
    const auto piecePixels = piece->pixelBuffer();
    ASSERT_EQ(piecePixels.height, wholePixels.height);
    int differing = 0;
    for (int y = 0; y < piecePixels.height; ++y)
        for (int x = 0; x < piecePixels.width; ++x)
            differing += piecePixels.pixel(x, y) != wholePixels.pixel(x + int(part.minX()), y) ? 1 : 0;
    EXPECT_EQ(differing, 0) << "of " << piecePixels.width * piecePixels.height << " pixels";
}
