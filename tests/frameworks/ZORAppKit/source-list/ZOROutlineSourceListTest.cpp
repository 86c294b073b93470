#include "SourceListTestSupport.h"

#include "support/TemporaryFolder.h"

#include "platform/foundation/runtime/Log.h"

using namespace sourcelisttest;
using ui::FunctionKey::DownArrow;
using ui::FunctionKey::UpArrow;

FND_REGISTER_CLASS(PromisedFilesFolder, ui::View)

namespace {

using ZOROutlineSourceListTest = SourceListTest;

TEST_F(ZOROutlineSourceListTest, GroupsAreNeverSelectedByClickKeyOrProgram)
{
    expandAll();
    // Rows: Places, Home, Desktop, Documents, Devices, Disk, Stick.
    ASSERT_EQ(list->numberOfRows(), 7);
    EXPECT_EQ(list->numberOfGroups(), 2);
    EXPECT_TRUE(list->isGroupItem(list->itemAtRow(4)));
    EXPECT_FALSE(list->isGroupItem(list->itemAtRow(5)));
    click(0);
    EXPECT_EQ(selection(), "");
    click(2);
    EXPECT_EQ(selection(), "Desktop");
    click(4);
    EXPECT_EQ(selection(), "Desktop") << "a click on a group changes nothing";
    list->selectRowIndexes(fnd::IndexSet { 0, 4 }, false);
    EXPECT_EQ(selection(), "") << "a set of groups selects nothing";
    list->setAllowsMultipleSelection(true);
    list->selectRowIndexes(fnd::IndexSet { 0, 1, 4, 5 }, false);
    EXPECT_EQ(selection(), "Home Disk");
    // Select-all is not offered, and Ctrl-A does not select the groups either.
    EXPECT_FALSE(list->respondsTo(fnd::Selector("selectAll:")));
    key(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
    EXPECT_EQ(selection(), "Home Disk");
}

// A drag as the list sees it when it ends over the list.
class SourceListEndedDrag : public ui::DraggingInfo {
public:
    std::shared_ptr<ui::Window> draggingDestinationWindow() const override { return nullptr; }
    ui::DragOperation draggingSourceOperationMask() const override { return ui::DragOperations::Copy; }
    gfx::Point draggingLocation() const override { return {}; }
    gfx::Point draggedImageLocation() const override { return {}; }
    std::shared_ptr<gfx::Image> draggedImage() const override { return nullptr; }
    std::shared_ptr<ui::Pasteboard> draggingPasteboard() const override { return nullptr; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return nullptr; }
    long draggingSequenceNumber() const override { return 7; }
};

TEST_F(ZOROutlineSourceListTest, TheDataSourceHearsThatADragEnded)
{
    SourceListEndedDrag drag;
    list->draggingEnded(drag);
    EXPECT_EQ(source->dragsEnded, 1);
    list->setDataSource(nullptr);
    list->draggingEnded(drag);
    EXPECT_EQ(source->dragsEnded, 1);
}

TEST_F(ZOROutlineSourceListTest, DraggedItemsAreWrittenAsFilesIntoTheFolderTheyAreDroppedOn)
{
    expandAll();
    // The folder's window spans screen x 500..600, y 100..200; the list's window starts at (100, 100).
    auto folderWindow = ui::Window::create({ { 500, 100 }, { 100, 100 } });
    auto target = std::make_shared<PromisedFilesFolder>();
    target->initWithFrame({ 0, 0, 100, 100 });
    folderWindow->contentView()->addSubview(target);
    ui::registerForDraggedTypes(*target, { ui::PasteboardType::FilesPromise });
    folderWindow->orderFront();

    list->setAllowsMultipleSelection(true);
    click(1);
    backend->mouseDown(*window, rowPoint(3), ui::ModifierFlags::Shift);
    backend->mouseUp(*window, rowPoint(3), ui::ModifierFlags::Shift);
    dispatch();
    ASSERT_EQ(selection(), "Home Desktop Documents");
    const auto from = rowPoint(2);
    backend->mouseDown(*window, from);
    backend->mouseDragged(*window, { from.x, from.y - 10 });
    backend->mouseDragged(*window, { 440, 40 });
    backend->mouseDragged(*window, { 450, 50 });
    backend->mouseUp(*window, { 450, 50 });
    dispatch();
    EXPECT_EQ(target->names, (std::vector<fnd::String> { "Home.txt", "Desktop.txt", "Documents.txt" }));
    EXPECT_EQ(target->folder.read("Desktop.txt"), "item Desktop");
    EXPECT_EQ(source->dragsEnded, 0) << "the drag ended over the folder, not the list";
    folderWindow->close();
}

TEST_F(ZOROutlineSourceListTest, AReloadPutsTheSelectionOnTheFirstItemBelowAGroup)
{
    expandAll();
    list->setAllowsEmptySelection(false);
    list->selectRowIndexes({}, false);
    list->reloadData();
    EXPECT_EQ(selection(), "Home") << "with no selection, the first row that is no group";

    // A selection left on a group (as the rows changed under it) moves to the item below that group, not above.
    list->ui::TableView::selectRowIndexes(fnd::IndexSet { 4 }, false);
    ASSERT_EQ(selection(), "Devices");
    list->reloadData();
    EXPECT_EQ(selection(), "Disk");

    // An empty selection may stay empty when that is allowed; a selected item survives a reload.
    list->setAllowsEmptySelection(true);
    list->ui::TableView::selectRowIndexes({}, false);
    list->reloadData();
    EXPECT_EQ(selection(), "");
    click(3);
    list->reloadData();
    EXPECT_EQ(selection(), "Documents");
}

TEST_F(ZOROutlineSourceListTest, AlwaysExpandedGroupsOpenOnReloadShowNoTriangleAndNeverClose)
{
    delegate->alwaysExpanded = { "Places" };
    list->reloadData();
    EXPECT_TRUE(list->isItemExpanded(itemValue(places)));
    EXPECT_FALSE(list->isItemExpanded(itemValue(devices)));
    EXPECT_TRUE(list->frameOfOutlineCellAtRow(0).isEmpty());
    const long devicesRow = list->rowForItem(itemValue(devices));
    EXPECT_FALSE(list->frameOfOutlineCellAtRow(devicesRow).isEmpty());
    EXPECT_EQ(list->frameOfCellAtColumn(0, 0).minX(), ZOROutlineSourceList::GroupInset);

    list->collapseItem(itemValue(places));
    EXPECT_TRUE(list->isItemExpanded(itemValue(places))) << "not even by the program";
    click(1);
    key(ui::FunctionKey::LeftArrow, ui::KeyCode::LeftArrow);
    list->selectRowIndexes(fnd::IndexSet { 1 }, false);
    EXPECT_TRUE(list->isItemExpanded(itemValue(places)));

    // The other group opens and closes with its triangle.
    const auto triangle = list->frameOfOutlineCellAtRow(devicesRow);
    auto at = list->convertPointToView({ triangle.midX(), triangle.midY() }, nullptr);
    backend->mouseDown(*window, at);
    backend->mouseUp(*window, at);
    dispatch();
    EXPECT_TRUE(list->isItemExpanded(itemValue(devices)));
    backend->mouseDown(*window, at);
    backend->mouseUp(*window, at);
    dispatch();
    EXPECT_FALSE(list->isItemExpanded(itemValue(devices)));
    EXPECT_EQ(delegate->collapses, 1) << "the delegate hears through its subscription";
}

TEST_F(ZOROutlineSourceListTest, BadgesGrowWithTheirNumberAndTakeTheirColours)
{
    expandAll();
    const long desktop = 2, disk = 5;
    EXPECT_EQ(list->sizeOfBadgeAtRow(desktop), (gfx::Size { 22, 14 })) << "one digit: the minimum width";
    const auto wide = list->sizeOfBadgeAtRow(disk);
    EXPECT_GT(wide.width, 22);
    EXPECT_EQ(wide.height, 14);
    EXPECT_EQ(list->sizeOfBadgeAtRow(1), (gfx::Size {}));
    EXPECT_EQ(list->badgeValueForItem(list->itemAtRow(1)), std::numeric_limits<std::int64_t>::max());
    // The text stops before the badge.
    EXPECT_EQ(list->frameOfCellAtColumn(0, desktop).maxX(), list->rectOfRow(desktop).maxX() - 22 - 5);

    source->badgeColors[devices->childAtIndex(0).get()] = gfx::Color::colorWithCalibratedRed(1, 0, 0);
    auto image = snapshot("source-list-badges");
    const auto desktopBadge = list->badgeRectForRow(desktop);
    auto fill = pixelIn(*image, *list, { desktopBadge.midX() - 8, desktopBadge.midY() });
    EXPECT_NEAR(gfx::redOf(fill), 152, 3);
    EXPECT_NEAR(gfx::greenOf(fill), 168, 3);
    EXPECT_NEAR(gfx::blueOf(fill), 202, 3);
    const auto diskBadge = list->badgeRectForRow(disk);
    fill = pixelIn(*image, *list, { diskBadge.minX() + 4, diskBadge.midY() });
    EXPECT_EQ(fill, 0xFFFF0000u) << "the data source's fill";
    // Selected: a white badge.
    click(desktop);
    image = snapshot("source-list-badge-selected");
    fill = pixelIn(*image, *list, { desktopBadge.midX() - 8, desktopBadge.midY() });
    EXPECT_EQ(fill, 0xFFFFFFFFu);
}

TEST_F(ZOROutlineSourceListTest, ArrowKeysStepOverGroupsAndDeleteIsAnnounced)
{
    expandAll();
    click(3); // Documents
    key(DownArrow, ui::KeyCode::DownArrow);
    EXPECT_EQ(selection(), "Disk") << "over the Devices heading";
    key(UpArrow, ui::KeyCode::UpArrow);
    EXPECT_EQ(selection(), "Documents");
    click(6);
    key(DownArrow, ui::KeyCode::DownArrow);
    EXPECT_EQ(selection(), "Stick") << "past the last row the selection stays";
    click(1);
    key(UpArrow, ui::KeyCode::UpArrow);
    EXPECT_EQ(selection(), "Home");

    key(u'\x7f', ui::KeyCode::Delete);
    ASSERT_EQ(delegate->deleted.size(), 1u);
    EXPECT_EQ(delegate->deleted[0], (fnd::IndexSet { 1 }));
    list->ui::TableView::selectRowIndexes({}, false);
    key(u'\x7f', ui::KeyCode::Delete);
    EXPECT_EQ(delegate->deleted.size(), 1u) << "nothing selected: nothing announced";
}

TEST_F(ZOROutlineSourceListTest, TheDelegateHearsOnlyWhileItIsTheDelegateAndIconsFitTheRows)
{
    expandAll();
    click(1);
    EXPECT_EQ(delegate->selectionChanges, 1);
    auto other = std::make_shared<ListDelegate>();
    list->setDelegate(other);
    click(2);
    EXPECT_EQ(delegate->selectionChanges, 1);
    EXPECT_EQ(other->selectionChanges, 1);

    EXPECT_EQ(list->iconSize(), (gfx::Size { 16, 16 }));
    list->setIconSize({ 40, 40 });
    EXPECT_EQ(list->iconSize(), (gfx::Size { list->rowHeight(), list->rowHeight() }));
    list->setIconSize({ 16, 16 });
    auto icon = gfx::Image::imageWithSize({ 16, 16 });
    places->childAtIndex(0)->setIcon(icon);
    const double plain = list->frameOfCellAtColumn(0, 2).minX();
    EXPECT_EQ(list->frameOfCellAtColumn(0, 1).minX(), plain + 16 + 4) << "room for the icon";
    EXPECT_EQ(list->iconRectForRow(1).maxX(), list->frameOfCellAtColumn(0, 1).minX() - 2);
}

TEST_F(ZOROutlineSourceListTest, ADataSourceOfAnotherKindIsNamedInTheLogAtEachReload)
{
    std::vector<std::string> lines;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& line) { lines.push_back(line.utf8()); });
    list->setDataSourceObject({});
    EXPECT_TRUE(lines.empty()) << "no data source: no rows and no message";
    EXPECT_EQ(list->numberOfRows(), 0);
    auto stranger = std::make_shared<fnd::Object>();
    list->setDataSourceObject(fnd::Value(stranger));
    list->reloadData();
    fnd::setLogSink(previous);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("is not conform to protocol <ZOROutlineSourceListDataSource>"), std::string::npos);
    EXPECT_EQ(list->numberOfRows(), 0);
}

}
