// The source list in a real window through the GTK backend, worked with the real pointer (xdotool): clicks select
// items and never groups, a click on a group's triangle closes it, the badges are on the screen, and items dragged
// to another program arrive there as the files they promise.
#include "GtkTestSupport.h"

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableColumn.h"

#include "frameworks/ZORAppKit/source-list/SourceListPromisedFiles.h"
#include "support/AccessibleTree.h"
#include "support/TemporaryFolder.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/dragging/FilePromise.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <fmt/format.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace gtktest;

FND_REGISTER_CLASS(PromisedFilesFolder, ui::View)

namespace {

using Item = ZOROutlineSourceListItem;

fnd::Value itemValue(const Item::Ptr& item)
{
    return fnd::Value(std::static_pointer_cast<fnd::Object>(item));
}

class DisplayItems : public fnd::Object, public ZOROutlineSourceListDataSource {
public:
    Item::Ptr of(const fnd::Value& v) const { return v.isNil() ? root : v.objectAs<Item>(); }
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->countOfChildren();
    }
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override
    {
        return itemValue(of(item)->childAtIndex(index));
    }
    fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return fnd::Value(of(item)->title());
    }
    bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->hasChildren();
    }
    bool sourceListItemHasBadge(ZOROutlineSourceList&, const fnd::Value& item) override { return of(item)->hasBadge(); }
    std::optional<std::int64_t> sourceListBadgeValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override
    {
        return of(item)->badgeValue();
    }
    // Dragged items are promised as text files named by their titles.
    bool sourceListWriteItems(ZOROutlineSourceList&, const fnd::Array&, ui::Pasteboard& pasteboard) override
    {
        pasteboard.declareTypes({});
        ui::declareFilePromise(pasteboard, { "txt" });
        dragStarted = true;
        return true;
    }
    std::vector<fnd::String> sourceListNamesOfPromisedFilesDroppedAtDestination(
        ZOROutlineSourceList&, const fnd::String& destination, const fnd::Array& items) override
    {
        return sourcelisttest::writePromisedItemFiles(
            destination, items, [this](const fnd::Value& v) { return of(v); });
    }
    Item::Ptr root = Item::create("root");
    bool dragStarted { false };
};

class ZOROutlineSourceListDisplayTest : public GtkDisplayTest {
protected:
    void SetUp() override
    {
        places = Item::create("Places");
        for (const char* name : { "Home", "Desktop", "Documents" })
            places->silentAddChild(Item::create(name));
        places->childAtIndex(1)->setBadgeValue(7);
        devices = Item::create("Devices");
        for (const char* name : { "Disk", "Stick" })
            devices->silentAddChild(Item::create(name));
        devices->childAtIndex(0)->setBadgeValue(128);
        items->root->silentAddChild(places);
        items->root->silentAddChild(devices);

        scrollView = ui::ScrollView::create({ 0, 0, 220, 260 });
        scrollView->setHasVerticalScroller(true);
        scrollView->setAutohidesScrollers(true);
        list = ZOROutlineSourceList::create({ 0, 0, 220, 260 });
        auto column = ui::TableColumn::create("title");
        column->setWidth(216);
        list->addTableColumn(column);
        list->setOutlineTableColumn(column);
        list->setHeaderView(nullptr);
        scrollView->setDocumentView(list);
        list->setDataSource(items);
        list->expandItem(itemValue(places));
        list->expandItem(itemValue(devices));
        window = showWindow({ 200, 200, 220, 260 }, scrollView);
    }
    std::string at(long row, double x) const
    {
        auto r = list->rectOfRow(row);
        auto p = list->convertPointToView({ x, r.midY() }, scrollView.get());
        auto [left, top, width, height] = deviceRectOfContent(*window);
        return fmt::format("{} {}", left + int(p.x * scale()), top + int(p.y * scale()));
    }
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
    // The window as drawn once nothing waits for display and the screen has stopped changing.
    Screenshot shoot(const std::string& name)
    {
        waitFor([&] { return !window->viewsNeedDisplay(); });
        auto [x, y, width, height] = deviceRectOfContent(*window);
        auto shot = settledScreen(*backend, x, y, width, height);
        shot.save("source-list-" + name + ".png");
        return shot;
    }
    std::string selectedTitle() const
    {
        const long row = list->selectedRow();
        auto item = row >= 0 ? list->itemAtRow(row).objectAs<Item>() : nullptr;
        return item ? item->title().utf8() : "";
    }

    void TearDown() override
    {
        if (peer > 0)
            ::kill(peer, SIGTERM);
        if (finish)
            finish->invalidate();
        // A drag that never began leaves the button down for the next test.
        runWhileServing(*backend, "xdotool mouseup 1");
        GtkDisplayTest::TearDown();
    }

    // Presses on the row, pulls a little and, once the list started its drag, carries it to the device point and
    // lets go there.
    void dragRowTo(long row, int toX, int toY)
    {
        std::string steps;
        for (int step = 1; step <= 6; ++step)
            steps += fmt::format(" mousemove {} {} sleep 0.1", toX + step, toY + step);
        const std::string carry = "xdotool" + steps + " mouseup 1";
        finish = fnd::Timer::create(0.05, true, [this, carry](fnd::Timer& timer) {
            if (!items->dragStarted)
                return;
            timer.invalidate();
            startInBackground({ "/bin/sh", "-c", carry });
        });
        fnd::RunLoop::main().addTimer(finish, fnd::RunLoopMode::Common);
        auto start = at(row, 80);
        auto space = start.find(' ');
        const int x = std::stoi(start.substr(0, space)), y = std::stoi(start.substr(space + 1));
        startInBackground({ "xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "mousemove",
            std::to_string(x + 8 * scale()), std::to_string(y + 12 * scale()) });
    }

    std::shared_ptr<DisplayItems> items = std::make_shared<DisplayItems>();
    std::shared_ptr<fnd::Timer> finish;
    int peer { -1 };
    Item::Ptr places, devices;
    std::shared_ptr<ui::ScrollView> scrollView;
    std::shared_ptr<ZOROutlineSourceList> list;
    std::shared_ptr<ui::Window> window;
};

TEST_F(ZOROutlineSourceListDisplayTest, ClicksSelectItemsAndATriangleClosesItsGroup)
{
    ASSERT_EQ(list->numberOfRows(), 7);
    run("mousemove " + at(2, 80) + " click 1");
    ASSERT_TRUE(waitFor([&] { return selectedTitle() == "Desktop"; })) << selectedTitle();
    EventCount presses(ui::EventMasks::LeftMouseDown);
    run("mousemove " + at(4, 80) + " click 1");
    ASSERT_TRUE(waitFor([&] { return presses.count() == 1; })) << "the click on the heading never came";
    EXPECT_EQ(selectedTitle(), "Desktop") << "the Devices heading is not selected";
    auto shot = shoot("open");
    // The badge of Disk (not selected) in its fill colour: a bluish grey right of the text.
    const auto badge = list->badgeRectForRow(5);
    const auto p = list->convertPointToView({ badge.minX() + 3, badge.midY() }, scrollView.get());
    const auto fill = shot.at(int(p.x * scale()), int(p.y * scale()));
    EXPECT_GT(int(fill & 0xFF), int((fill >> 16) & 0xFF) + 30) << std::hex << fill;

    const auto triangle = list->frameOfOutlineCellAtRow(4);
    ASSERT_FALSE(triangle.isEmpty());
    run("mousemove " + at(4, triangle.midX()) + " click 1");
    ASSERT_TRUE(waitFor([&] { return !list->isItemExpanded(itemValue(devices)); }));
    EXPECT_EQ(list->numberOfRows(), 5);
    shoot("closed");
}

// Read through the desktop's accessibility bus as a screen reader reads it: every row is named by its title and
// tells its badge's number, and only the rows inside the scroll view's visible rectangle (and their cells) are
// showing; a row scrolled into view shows, one scrolled out does not.
TEST_F(ZOROutlineSourceListDisplayTest, AnAtSpiClientHearsTitlesAndBadgesAndOnlyTheRowsInView)
{
    for (int i = 1; i <= 30; ++i)
        places->silentAddChild(Item::create(fnd::String(fmt::format("Folder {}", i))));
    list->reloadData();
    list->expandItem(itemValue(places));
    list->expandItem(itemValue(devices));
    window->setTitle("Sidebar");
    ASSERT_EQ(list->numberOfRows(), 37);
    const std::string self = "pid:" + std::to_string(::getpid());
    auto read = [&] {
        return testsupport::AccessibleTree::fromDump(
            runWhileServing(*backend, testsupport::AccessibleTree::dumpCommand(self)).output);
    };

    auto tree = read();
    const auto* outline = tree.find("tree table", "");
    ASSERT_TRUE(outline) << tree.text();
    auto rows = tree.childrenOf(*outline);
    ASSERT_EQ(rows.size(), 37u) << tree.text();
    std::vector<std::string> names;
    for (const auto* row : rows)
        names.push_back(row->name);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
        (std::vector<std::string> { "Places", "Home", "Desktop", "Documents", "Folder 1" }));
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
        (std::vector<std::string> { "Devices", "Disk", "Stick" }));
    EXPECT_EQ(rows[2]->description, "7");
    EXPECT_EQ(rows[35]->description, "128");
    EXPECT_EQ(rows[1]->description, "");

    // The rows the scroll view shows, worked out from the list's own geometry: those that meet its visible rectangle.
    const double rowHeight = list->rectOfRow(1).minY() - list->rectOfRow(0).minY();
    ASSERT_GT(rowHeight, 0);
    const long inView = long(std::ceil(260 / rowHeight));
    ASSERT_LT(inView, 30) << "the list must reach far below its scroll view";
    auto showing = [&](const testsupport::AccessibleTree& t) {
        std::vector<std::string> shown;
        for (const auto* row : t.childrenOf(*t.find("tree table", "")))
            if (row->has("showing")) {
                shown.push_back(row->name);
                for (const auto* cell : t.childrenOf(*row))
                    EXPECT_TRUE(cell->has("showing")) << row->name;
            } else {
                for (const auto* cell : t.childrenOf(*row))
                    EXPECT_FALSE(cell->has("showing")) << row->name << "'s cell";
            }
        return shown;
    };
    auto shown = showing(tree);
    ASSERT_EQ(long(shown.size()), inView) << fmt::format("{}", fmt::join(shown, ", "));
    EXPECT_EQ(shown.front(), "Places");

    // Scrolled to the end: the last rows show, the first do not.
    list->scrollRowToVisible(36);
    ASSERT_TRUE(waitFor([&] { return gfx::intersectsRect(list->rectOfRow(36), list->visibleRect()); }));
    tree = read();
    shown = showing(tree);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "Stick");
    EXPECT_TRUE(std::ranges::find(shown, "Places") == shown.end()) << fmt::format("{}", fmt::join(shown, ", "));
    EXPECT_LE(long(shown.size()), inView + 1);
}

}

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(ZOROutlineSourceListDisplayTest, DraggedItemsAreWrittenIntoAFolderOfOursTheyAreDroppedOn)
{
    auto target = std::make_shared<PromisedFilesFolder>();
    target->initWithFrame({ 0, 0, 160, 120 });
    ui::registerForDraggedTypes(*target, { ui::PasteboardType::FilesPromise });
    auto folderWindow = showWindow({ 520, 260, 160, 120 }, target);
    auto [left, top, width, height] = deviceRectOfContent(*folderWindow);
    // The list's window takes the press as the start of a drag only while it is the key window.
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(waitFor([&] { return window->isKeyWindow(); }));
    dragRowTo(5, left + width / 2, top + height / 2);
    ASSERT_TRUE(waitFor([&] { return !target->names.empty(); }, 20)) << "nothing was dropped on the folder";
    EXPECT_EQ(target->names, std::vector<fnd::String> { "Disk.txt" });
    EXPECT_EQ(target->folder.read("Disk.txt"), "item Disk");
}

TEST_F(ZOROutlineSourceListDisplayTest, DraggedItemsArriveInAnotherProgramAsTheFilesTheyPromise)
{
    // The other program takes file drops at the screen's top left and reports the files it got.
    const std::string report = ::testing::TempDir() + "source-list-peer-" + std::to_string(::getpid()) + ".txt";
    std::remove(report.c_str());
    peer = startInBackground({ DND_PEER, "target", report });
    ASSERT_GT(peer, 0);
    ASSERT_TRUE(waitFor([&] { return readFile(report).find("ready") != std::string::npos; }));

    dragRowTo(2, 100 * scale(), 75 * scale());
    ASSERT_TRUE(waitFor([&] { return readFile(report).find("file ") != std::string::npos; }, 20)) << readFile(report);
    auto lines = readFile(report);
    auto from = lines.find("file ") + 5;
    auto path = lines.substr(from, lines.find('\n', from) - from);
    EXPECT_TRUE(path.ends_with("/Desktop.txt")) << path;
    EXPECT_EQ(readFile(path), "item Desktop");
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ignored);
}

}
