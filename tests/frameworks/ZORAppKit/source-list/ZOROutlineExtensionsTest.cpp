#include "SourceListTestSupport.h"

#include "frameworks/ZORAppKit/source-list/ZORTableViewExtension.h"
#include "frameworks/ZORAppKit/source-list/ZORTreeExtensions.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/tables/TableViewDataSource.h"
#include "platform/ui/text/TextView.h"

using namespace sourcelisttest;

namespace {

// A plain outline's data: fruit under two headings, editable titles.
class FruitSource : public fnd::Object, public ui::OutlineViewDataSource {
public:
    FruitSource()
    {
        for (const char* name : { "Red", "Yellow" })
            root->silentAddChild(Item::create(name));
        root->childAtIndex(0)->silentAddChild(Item::create("Cherry"));
        root->childAtIndex(0)->silentAddChild(Item::create("Apple"));
        root->childAtIndex(1)->silentAddChild(Item::create("Lemon"));
    }
    Item::Ptr of(const fnd::Value& v) const { return v.isNil() ? root : v.objectAs<Item>(); }
    long outlineViewNumberOfChildrenOfItem(ui::OutlineView&, const fnd::Value& item) override
    {
        return long(of(item)->countOfChildren());
    }
    fnd::Value outlineViewChildOfItem(ui::OutlineView&, long index, const fnd::Value& item) override
    {
        return itemValue(of(item)->childAtIndex(index));
    }
    bool outlineViewIsItemExpandable(ui::OutlineView&, const fnd::Value& item) override
    {
        return of(item)->hasChildren();
    }
    fnd::Value outlineViewObjectValueForTableColumn(ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override
    {
        return fnd::Value(of(item)->title());
    }
    void outlineViewSetObjectValue(
        ui::OutlineView&, const fnd::Value& value, ui::TableColumn*, const fnd::Value& item) override
    {
        of(item)->setTitle(value.stringValue());
    }
    Item::Ptr root = Item::create("root");
};

class ExtendedDelegate : public fnd::Object, public ZOROutlineViewDelegate {
public:
    bool outlineViewDidReceiveDelete(ui::OutlineView&, const ui::Event&) override
    {
        ++deletes;
        return takesDelete;
    }
    std::shared_ptr<ui::Menu> outlineViewMenuForTableColumn(
        ui::OutlineView&, ui::TableColumn*, const fnd::Value& item) override
    {
        auto menu = ui::Menu::create();
        menu->setTitle(item.objectAs<Item>()->title());
        return menu;
    }
    void outlineViewDraggingExited(ui::OutlineView&, ui::DraggingInfo&) override { drops.push_back("exited"); }
    void outlineViewConcludeDragOperation(ui::OutlineView&, ui::DraggingInfo&) override
    {
        drops.push_back("concluded");
    }
    int deletes { 0 };
    bool takesDelete { true };
    std::vector<std::string> drops;
};

// A drag as an outline sees it when it leaves or is dropped.
class ExtensionsTestDrag : public ui::DraggingInfo {
public:
    std::shared_ptr<ui::Window> draggingDestinationWindow() const override { return nullptr; }
    ui::DragOperation draggingSourceOperationMask() const override { return ui::DragOperations::Copy; }
    gfx::Point draggingLocation() const override { return {}; }
    gfx::Point draggedImageLocation() const override { return {}; }
    std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
    std::shared_ptr<ui::Pasteboard> draggingPasteboard() const override { return nullptr; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return nullptr; }
    long draggingSequenceNumber() const override { return 1; }
};

// The framework's additions hold for every outline view: a plain one of the platform (false) and the framework's
// own subclass (true) behave alike.
class ZOROutlineExtensionsTest : public uitest::KeyWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    ZOROutlineExtensionsTest()
        : KeyWindowTest({ 240, 200 })
    {
        outline = GetParam() ? ZOROutlineView::create({ 0, 0, 240, 200 }) : ui::OutlineView::create({ 0, 0, 240, 200 });
        auto column = ui::TableColumn::create("title");
        column->setWidth(200);
        column->setEditable(true);
        outline->addTableColumn(column);
        outline->setOutlineTableColumn(column);
        add(outline);
        outline->setDelegate(delegate);
        outline->setDataSource(source);
        window->makeFirstResponder(outline);
    }
    void key(char16_t character, unsigned short keyCode, unsigned flags = 0)
    {
        backend->keyDown(*window, fnd::String(std::u16string(1, character)), keyCode, flags);
        dispatch();
    }
    fnd::Value red() const { return itemValue(source->root->childAtIndex(0)); }

    std::shared_ptr<FruitSource> source = std::make_shared<FruitSource>();
    std::shared_ptr<ExtendedDelegate> delegate = std::make_shared<ExtendedDelegate>();
    std::shared_ptr<ui::OutlineView> outline;
};

TEST_P(ZOROutlineExtensionsTest, DeleteGoesToTheDelegateAndArrowsOnlyOpenAndCloseTheOneSelectedItem)
{
    outline->selectRowIndexes(fnd::IndexSet { 0 }, false);
    key(u'\x7f', ui::KeyCode::Delete);
    key(ui::FunctionKey::Delete, ui::KeyCode::ForwardDelete);
    EXPECT_EQ(delegate->deletes, 2);

    key(ui::FunctionKey::RightArrow, ui::KeyCode::RightArrow);
    EXPECT_TRUE(outline->isItemExpanded(red()));
    key(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    EXPECT_FALSE(outline->isItemExpanded(red()));
    // On a collapsed item Left does nothing: the outline's own move to the parent does not run.
    outline->expandItem(red());
    outline->selectRowIndexes(fnd::IndexSet { 1 }, false); // Cherry
    key(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    EXPECT_EQ(outline->selectedRow(), 1);
    // With two rows selected neither arrow does anything.
    outline->setAllowsMultipleSelection(true);
    outline->selectRowIndexes(fnd::IndexSet { 0, 3 }, false);
    key(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    EXPECT_TRUE(outline->isItemExpanded(red()));

    EXPECT_EQ(ZOROutlineViewExtension::selectedItem(*outline).objectAs<Item>()->title().utf8(), "Yellow");
    EXPECT_EQ(ZOROutlineViewExtension::allSelectedItems(*outline).size(), 2u);
    ZOROutlineViewExtension::selectItems(*outline, { red(), itemValue(Item::create("stranger")) }, false);
    EXPECT_EQ(outline->selectedRowIndexes(), (fnd::IndexSet { 0 }));
    ZOROutlineViewExtension::selectItems(*outline, {}, false);
    EXPECT_TRUE(outline->selectedRowIndexes().isEmpty());
}

TEST_P(ZOROutlineExtensionsTest, ReturnEndsAnEditOnTheSameRowAndTheOutlineKeepsTheKeyboard)
{
    outline->expandItem(red());
    outline->selectRowIndexes(fnd::IndexSet { 1 }, false);
    outline->editColumn(0, 1, nullptr, true);
    auto editor = std::dynamic_pointer_cast<ui::TextView>(outline->currentEditor());
    ASSERT_TRUE(editor);
    editor->insertText(fnd::Value(fnd::String("Plum")));
    key(u'\r', ui::KeyCode::Return);
    EXPECT_EQ(source->root->childAtIndex(0)->childAtIndex(0)->title().utf8(), "Plum");
    EXPECT_EQ(outline->editedRow(), -1) << "no edit of the next row";
    EXPECT_EQ(outline->selectedRow(), 1);
    EXPECT_EQ(window->firstResponder(), outline);
}

TEST_P(ZOROutlineExtensionsTest, AMenuForTheClickedCellAndNoneBelowTheLastRow)
{
    auto onRow = ui::Event::mouseEventWithType(ui::EventType::RightMouseDown,
        outline->convertPointToView({ 50, outline->rectOfRow(1).midY() }, nullptr), 0, 0, window->windowNumber(), 0, 1,
        1);
    auto menu = outline->menuForEvent(*onRow);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title().utf8(), "Yellow");
    auto below = ui::Event::mouseEventWithType(ui::EventType::RightMouseDown,
        outline->convertPointToView({ 50, 150 }, nullptr), 0, 0, window->windowNumber(), 0, 1, 1);
    EXPECT_EQ(outline->menuForEvent(*below), nullptr);
    // The view's own menu gives way to the delegate's answer.
    outline->setMenu(ui::Menu::create());
    EXPECT_EQ(outline->menuForEvent(*below), nullptr);
}

TEST_P(ZOROutlineExtensionsTest, TheDelegateHearsOfDragsThatLeaveOrAreDropped)
{
    ExtensionsTestDrag drag;
    outline->draggingExited(drag);
    outline->concludeDragOperation(drag);
    EXPECT_EQ(delegate->drops, (std::vector<std::string> { "exited", "concluded" }));
}

INSTANTIATE_TEST_SUITE_P(OutlineKinds, ZOROutlineExtensionsTest, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "FrameworkSubclass" : "PlainOutlineView"; });

// Deletes reported to a table's delegate.
class DeleteTaker : public fnd::Object, public ZORTableViewExtensionDelegate, public ui::TableViewDataSource {
public:
    bool tableViewDidReceiveDeleteEvent(ui::TableView&, const ui::Event&) override { return ++deletes > 0; }
    long numberOfRowsInTableView(ui::TableView&) override { return long(names.size()); }
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn*, long row) override
    {
        return fnd::Value(fnd::String(names[std::size_t(row)]));
    }
    int deletes { 0 };
    std::vector<std::string> names { "fig", "a much longer name" };
};

TEST(ZORTableViewExtension, DeleteReachesTheDelegateAndColumnsFitTheirContent)
{
    auto table = ZORTableViewExtension::create({ 0, 0, 200, 100 });
    auto column = ui::TableColumn::create("name");
    column->setWidth(30);
    table->addTableColumn(column);
    auto taker = std::make_shared<DeleteTaker>();
    table->setDelegate(taker);
    table->setDataSource(taker);
    auto del = ui::Event::keyEventWithType(
        ui::EventType::KeyDown, {}, 0, 0, 0, u"\x7f", u"\x7f", false, ui::KeyCode::Delete);
    table->keyDown(*del);
    EXPECT_EQ(taker->deletes, 1);

    ZORTableViewExtensionCat::adjustWidthForTableColumns(*table, { column });
    const double fitted = column->width();
    EXPECT_GT(fitted, 60) << "as wide as the longest name";
    taker->names.clear();
    table->reloadData();
    ZORTableViewExtensionCat::adjustWidthForTableColumns(*table, { column });
    EXPECT_EQ(column->width(), column->minWidth()) << "no rows: no width (within the column's limits)";
}

// Tree walks over a controller of dictionaries: G1 (a, b, c), G2 (d), e.
class ZORTreeExtensionsTest : public ::testing::Test {
protected:
    ZORTreeExtensionsTest()
    {
        auto leaf = [](const char* name) {
            return fnd::Value(fnd::Dictionary { { "name", name }, { "isLeaf", true } });
        };
        controller->setChildrenKeyPath("children");
        controller->setLeafKeyPath("isLeaf");
        controller->setContent(fnd::Array {
            fnd::Value(
                fnd::Dictionary { { "name", "G1" }, { "children", fnd::Array { leaf("a"), leaf("b"), leaf("c") } } }),
            fnd::Value(fnd::Dictionary { { "name", "G2" }, { "children", fnd::Array { leaf("d") } } }),
            leaf("e"),
        });
    }
    static std::string names(const ZORNSTreeNode_Extensions::Nodes& nodes)
    {
        std::string text;
        for (const auto& node : nodes)
            text += node->representedObject().dictionary()->get("name").stringValue().utf8();
        return text;
    }
    std::shared_ptr<fnd::TreeController> controller = std::make_shared<fnd::TreeController>();
};

TEST_F(ZORTreeExtensionsTest, DescendantsSiblingsAndPaths)
{
    using namespace ZORNSTreeNode_Extensions;
    const auto& root = *controller->arrangedObjects();
    EXPECT_EQ(names(descendants(root)), "G1abcG2de");
    EXPECT_EQ(names(groupDescendants(root)), "G1G2");
    EXPECT_EQ(names(leafDescendants(root)), "abcde");
    auto g1 = ZORNSTreeController::nodeAtIndexPath(*controller, { 0 });
    auto b = ZORNSTreeController::nodeAtIndexPath(*controller, { 0, 1 });
    auto e = ZORNSTreeController::nodeAtIndexPath(*controller, { 2 });
    ASSERT_TRUE(g1 && b && e);
    EXPECT_TRUE(descendants(*e).empty());
    EXPECT_EQ(names(siblings(*g1)), "G1G2e") << "the roots are each other's siblings";
    EXPECT_TRUE(isDescendantOfNode(*b, *g1));
    EXPECT_FALSE(isDescendantOfNode(*g1, *g1)) << "unlike a source-list item, no node is its own descendant";
    EXPECT_TRUE(isSiblingOfNode(*g1, *g1));
    EXPECT_TRUE(isSiblingOfOrDescendantOfNode(*b, *g1));
    EXPECT_FALSE(isSiblingOfOrDescendantOfNode(*b, *e));
    EXPECT_EQ(adjacentIndexPath(*b), (fnd::IndexPath { 0, 2 }));
    EXPECT_EQ(nextSiblingIndexPath(*b), (fnd::IndexPath { 0, 3 }));
    EXPECT_EQ(nextChildIndexPath(*g1), (fnd::IndexPath { 0, 3 }));
    EXPECT_EQ(nextChildIndexPath(*e), (fnd::IndexPath { 3 }));
    EXPECT_EQ(ZORNSTreeController::rootNodes(*controller).size(), 3u);
    EXPECT_EQ(names({ ZORNSTreeController::nextSiblingOfNode(*controller, *b) }), "c");
    EXPECT_EQ(ZORNSTreeController::nextSiblingOfNodeAtIndexPath(*controller, { 2 }), nullptr);
}

TEST_F(ZORTreeExtensionsTest, InsertionPointsSelectionWalksAndObjectLookUps)
{
    using namespace ZORNSTreeController;
    controller->setSelectionIndexPaths({});
    EXPECT_EQ(indexPathForInsertion(*controller), (fnd::IndexPath { 3 }));
    controller->setSelectionIndexPath(fnd::IndexPath { 0 });
    EXPECT_EQ(indexPathForInsertion(*controller), (fnd::IndexPath { 0, 0 })) << "into the selected group, first";
    controller->setSelectionIndexPath(fnd::IndexPath { 0, 1 });
    EXPECT_EQ(indexPathForInsertion(*controller), (fnd::IndexPath { 0, 2 }));
    controller->setSelectionIndexPath(fnd::IndexPath { 2 });
    EXPECT_EQ(indexPathForInsertion(*controller), (fnd::IndexPath { 3 })) << "a leaf at the top: at the end";
    controller->setSelectionIndexPaths({ fnd::IndexPath { 0, 0 }, fnd::IndexPath { 1, 0 } });
    EXPECT_EQ(indexPathForInsertion(*controller), (fnd::IndexPath { 1, 1 }));

    controller->setSelectionIndexPath(fnd::IndexPath { 1, 0 });
    selectParentFromSelection(*controller);
    EXPECT_EQ(controller->selectionIndexPaths(), (std::vector<fnd::IndexPath> { { 1 } }));
    selectParentFromSelection(*controller);
    EXPECT_TRUE(controller->selectionIndexPaths().empty());

    EXPECT_EQ(names(flattenedNodes(*controller)), "G1abcG2de");
    const auto d = nodeAtIndexPath(*controller, { 1, 0 })->representedObject();
    const auto e = nodeAtIndexPath(*controller, { 2 })->representedObject();
    const fnd::Value stranger(fnd::Dictionary { { "name", "z" } });
    EXPECT_EQ(indexPathsToObjects(*controller, { d, stranger, e }), (std::vector<fnd::IndexPath> { { 1, 0 }, { 2 } }));
    EXPECT_FALSE(indexPathToObject(*controller, stranger));
    EXPECT_EQ(flattenedContent(*controller).size(), 3u) << "dictionaries have no descendants of their own";
}

}
