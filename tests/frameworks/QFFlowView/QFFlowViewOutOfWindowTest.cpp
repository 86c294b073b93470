// A view out of every window (a tab page not shown) holds nothing it would need only to show: no layer tree, no item
// layers, no accessibility elements (assistive technologies read the items of views on screen only); shown again, it
// builds them for the items it has then.
#include "QFFlowViewTestSupport.h"

#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

namespace flowviewtest {
namespace {

namespace A = ui::AccessibilityAttribute;

// Hears which elements go.
class FlowViewGoneElements : public ui::AccessibilityObserver {
public:
    FlowViewGoneElements() { ui::addAccessibilityObserver(this); }
    ~FlowViewGoneElements() override { ui::removeAccessibilityObserver(this); }
    FlowViewGoneElements(const FlowViewGoneElements&) = delete;
    FlowViewGoneElements& operator=(const FlowViewGoneElements&) = delete;
    void accessibilityNotification(ui::AccessibilityElement&, const fnd::String&) override { }
    void accessibilityElementDestroyed(const ui::AccessibilityElement* element) override { gone.insert(element); }
    std::set<const ui::AccessibilityElement*> gone;
};

std::vector<std::string> flowViewItemTitles(const QFFlowView& view)
{
    std::vector<std::string> titles;
    auto children = view.accessibilityAttributeValue(A::Children);
    if (!children.isArray() || children.array()->empty())
        return titles;
    auto list = children.array()->front().objectAs<QFLayerAccessibilityHelper>();
    for (const auto& item : list ? list->children() : std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> {})
        titles.push_back(item->accessibilityAttributeValue(A::Title).stringValue().utf8());
    return titles;
}

TEST_F(FlowViewTest, AViewOutOfItsWindowHoldsNoLayersNorElementsAndBuildsThemWhenShownAgain)
{
    useItems(bitmapItems(6));
    view->setSelectedIndex(2);
    settle(1);
    std::weak_ptr<ui::Layer> background = view->backgroundLayer();
    std::weak_ptr<ui::Layer> itemLayer = view->itemLayerAtIndex(3);
    auto list = view->accessibilityElementOfLayer(*view->backgroundLayer());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->countOfChildren(), 6u);
    const ui::AccessibilityElement* listElement = list.get();
    const ui::AccessibilityElement* itemElement = list->objectInChildrenAtIndex(3).get();
    std::weak_ptr<QFLayerAccessibilityHelper> weakList = list;
    list.reset();
    FlowViewGoneElements gone;

    view->removeFromSuperview();
    settle();
    EXPECT_TRUE(background.expired()) << "the layer tree";
    EXPECT_TRUE(itemLayer.expired()) << "an item's layer";
    EXPECT_TRUE(weakList.expired()) << "the list's element";
    EXPECT_TRUE(gone.gone.contains(listElement) && gone.gone.contains(itemElement))
        << "the bridge hears that the elements went, so the objects it gave out answer as gone";
    EXPECT_EQ(view->queuedItemLayerCount(), 0u);
    EXPECT_TRUE(flowViewItemTitles(*view).empty()) << "no items to read out of the window";

    // What changes meanwhile shows once it is back.
    auto items = bitmapItems(8);
    source->items = items;
    view->reloadContent();
    view->setSelectedIndex(5);
    settle(1);
    EXPECT_EQ(view->numberOfItems(), 8u);
    EXPECT_FALSE(view->itemLayerAtIndex(0));

    window->contentView()->addSubview(view);
    settle(1);
    drainPictures();
    ASSERT_EQ(view->layer(), view->backgroundLayer());
    EXPECT_EQ(view->selectedIndex(), 5u);
    EXPECT_EQ(view->scrollLayer()->sublayers().size(), 8u);
    EXPECT_EQ(flowViewItemTitles(*view),
        (std::vector<std::string> { "Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6", "Item 7" }));
    auto shown = view->accessibilityElementOfLayer(*view->backgroundLayer());
    auto selected = shown->accessibilityAttributeValue(A::SelectedChildren);
    ASSERT_EQ(selected.array()->size(), 1u);
    EXPECT_EQ(selected.array()->front().objectAs<QFLayerAccessibilityHelper>()->accessibilityAttributeValue(A::Title),
        fnd::Value("Item 5"));
    EXPECT_EQ(view->title(), fnd::String("Item 5"));
}

}
}
