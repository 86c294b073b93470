#pragma once

#include "platform/graphics/Font.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/View.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace ui {

// Tab view types, with the platform's values. The tabs are drawn on top (the side styles draw as top tabs); the
// tabless types show only the selected item's view, with a bezel, a line or no border.
enum class TabViewType {
    TopTabsBezelBorder = 0,
    LeftTabsBezelBorder = 1,
    BottomTabsBezelBorder = 2,
    RightTabsBezelBorder = 3,
    NoTabsBezelBorder = 4,
    NoTabsLineBorder = 5,
    NoTabsNoBorder = 6,
};

// Optional calls to a tab view's delegate.
class TabViewDelegate {
public:
    virtual ~TabViewDelegate() = default;
    // A veto: false keeps the current selection (nullopt: the delegate does not answer, so the item is selected).
    virtual std::optional<bool> tabViewShouldSelectTabViewItem(TabView&, TabViewItem&) { return std::nullopt; }
    virtual void tabViewWillSelectTabViewItem(TabView&, TabViewItem&) { }
    virtual void tabViewDidSelectTabViewItem(TabView&, TabViewItem&) { }
    // After every add, insert or remove.
    virtual void tabViewDidChangeNumberOfTabViewItems(TabView&) { }
};

// Pages (TabViewItems) of which one is shown: its view fills the content rect. The first item added is selected;
// removing the selected item selects its neighbour first. Clicking a tab selects its item. Flipped.
class TabView : public View {
    FND_OBJECT(TabView)
    static void describeClass(fnd::ClassBuilder<TabView>& c);

public:
    TabView() = default;
    static std::shared_ptr<TabView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // After the view's data: "NSTabViewItems", "NSSelectedTabViewItem" (one of them), "NSTabViewType",
    // "NSDrawsBackground", "NSFont" and "NSDelegate" (conditional). The selected item's view is among the subviews.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Items.
    const std::vector<std::shared_ptr<TabViewItem>>& tabViewItems() const { return m_items; }
    long numberOfTabViewItems() const { return long(m_items.size()); }
    std::shared_ptr<TabViewItem> tabViewItemAtIndex(long index) const;
    // NotFound (-1 as a long) when absent.
    long indexOfTabViewItem(const TabViewItem& item) const;
    long indexOfTabViewItemWithIdentifier(const fnd::Value& identifier) const;
    void addTabViewItem(const std::shared_ptr<TabViewItem>& item);
    // An index out of range raises a range exception.
    void insertTabViewItem(const std::shared_ptr<TabViewItem>& item, long index);
    void removeTabViewItem(const std::shared_ptr<TabViewItem>& item);
    // Each change of the items counts one. The last insert or remove, with the place the item took or left, lets a
    // delegate that mirrors the items follow one change without comparing them all: it holds when its count is the
    // tab view's (other changes, such as decoding, count without being described).
    struct ItemChange {
        std::weak_ptr<TabViewItem> item;
        long index { -1 };
        bool inserted { false };
        unsigned long count { 0 };
    };
    unsigned long itemChangeCount() const { return m_itemChangeCount; }
    const ItemChange& lastItemChange() const { return m_lastItemChange; }

    // Selection, each through the delegate's veto and its will/did calls.
    std::shared_ptr<TabViewItem> selectedTabViewItem() const { return m_selected.lock(); }
    void selectTabViewItem(const std::shared_ptr<TabViewItem>& item);
    void selectTabViewItemAtIndex(long index);
    void selectTabViewItemWithIdentifier(const fnd::Value& identifier);
    void selectFirstTabViewItem(const fnd::Value& sender = {});
    void selectLastTabViewItem(const fnd::Value& sender = {});
    void selectNextTabViewItem(const fnd::Value& sender = {});
    void selectPreviousTabViewItem(const fnd::Value& sender = {});
    // Selects the item at the sender's selected index (a control's integer value).
    void takeSelectedTabViewItemFromSender(const fnd::Value& sender);

    std::shared_ptr<TabViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TabViewDelegate>& delegate) { m_delegate = delegate; }

    // Look.
    TabViewType tabViewType() const { return m_type; }
    void setTabViewType(TabViewType type);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    std::shared_ptr<gfx::Font> font() const;
    void setFont(std::shared_ptr<gfx::Font> font);
    // Where the selected item's view goes.
    gfx::Rect contentRect() const;
    // The tab's rect (empty for tabless types).
    gfx::Rect rectOfTabViewItem(const TabViewItem& item) const;
    std::shared_ptr<TabViewItem> tabViewItemAtPoint(gfx::Point point) const;
    // The tip of the tab under the point.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;

    // Used by items when their label changes.
    void itemLabelChanged(TabViewItem& item);

    // View.
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;

    // Accessibility: a tab group whose children are its tabs (radio buttons) and the selected item's view.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override { return false; }
    std::optional<gfx::Rect> accessibilityFrameOfTab(const TabViewItem& item) const;

private:
    bool hasTabs() const { return long(m_type) <= long(TabViewType::RightTabsBezelBorder); }
    double tabHeight() const;
    // The tabs' rects, in the items' order (empty for tabless types).
    std::vector<gfx::Rect> tabRects() const;
    // The tabs' widths by their labels in the font: measured once for each label and font, and checked against
    // the labels and the font at every use, so no change of either keeps an old width.
    const std::vector<double>& tabWidths() const;
    void showSelectedView();

    // After any change of the items the index map is made again when it pays: a bar of many tabs asks for the
    // index of every tab it lays out, while a program closing tabs one after another asks once between changes,
    // which a scan answers for less than the making of the map.
    void itemsDidChange()
    {
        m_itemIndexesValid = false;
        m_lookupsSinceChange = 0;
        ++m_itemChangeCount;
    }

    std::vector<std::shared_ptr<TabViewItem>> m_items;
    mutable std::unordered_map<const TabViewItem*, long> m_itemIndexes;
    mutable bool m_itemIndexesValid { false };
    mutable unsigned m_lookupsSinceChange { 0 };
    // An archive may name one item twice (its first place is its index): then no item is looked for beside the
    // last change, where its second place may be.
    bool m_itemsMayRepeat { false };
    unsigned long m_itemChangeCount { 0 };
    ItemChange m_lastItemChange;
    std::weak_ptr<TabViewItem> m_selected;
    std::weak_ptr<TabViewDelegate> m_delegate;
    TabViewType m_type { TabViewType::TopTabsBezelBorder };
    bool m_drawsBackground { true };
    std::shared_ptr<gfx::Font> m_font;
    struct MeasuredLabel {
        fnd::String label;
        double width { 0 };
    };
    mutable std::vector<MeasuredLabel> m_measuredLabels;
    mutable std::vector<double> m_tabWidths;
    // The font the labels were measured in (name and size), and its tab height.
    mutable fnd::String m_measuredFontName;
    mutable double m_measuredFontSize { 0 };
    mutable double m_measuredTabHeight { 0 };
};

}
