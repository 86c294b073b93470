// The small application, built from its three interface files, worked as a person would on the private X server:
// tabs, the split view's divider, typing into the grid, typing and Tab through the inspector, editing a list row,
// and recording a key combination.
#include "GtkTestSupport.h"
#include "Organiser.h"

#include "frameworks/ZORAppKit/table-grid/ZORTableGridContentView.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"

#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <fmt/format.h>

#include <algorithm>

using namespace gtktest;

namespace {

class OrganiserDisplayTest : public GtkDisplayTest {
protected:
    void SetUp() override
    {
        for (const char* file : { "OrganiserWindow", "OrganiserInspector", "OrganiserPanel" }) {
            auto loaded = ui::InterfaceFile::loadFile(
                fnd::String(fmt::format("{}/{}.interface", ORGANISER_INTERFACE_DIR, file)), organiser);
            ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
            contents.push_back(std::move(*loaded));
        }
        organiser->panel->orderFront();
        organiser->inspectorWindow->orderFront();
        organiser->mainWindow->makeKeyAndOrderFront();
        for (const auto& window : { organiser->mainWindow, organiser->inspectorWindow, organiser->panel })
            ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > 0; })) << "never painted";
        ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*organiser->mainWindow); }));
    }
    void TearDown() override
    {
        organiser->mainWindow->close();
        organiser->inspectorWindow->close();
        organiser->panel->close();
        GtkDisplayTest::TearDown();
    }

    // The screen point (device pixels) of a point of a view.
    std::pair<int, int> onScreen(ui::View& view, gfx::Point point)
    {
        auto inWindow = view.convertPointToView(point, nullptr);
        auto content = deviceRectOfContent(*view.window());
        int s = scale();
        return { content[0] + int(inWindow.x * s), content[1] + content[3] - int(inWindow.y * s) };
    }
    std::string at(ui::View& view, gfx::Point point)
    {
        auto [x, y] = onScreen(view, point);
        return fmt::format("{} {}", x, y);
    }
    void xdotool(const std::string& arguments)
    {
        auto result = runWhileServing(*backend, "xdotool " + arguments);
        ASSERT_EQ(result.status, 0) << "xdotool " << arguments << ": " << result.output;
    }
    void clickAt(ui::View& view, gfx::Point point) { xdotool("mousemove " + at(view, point) + " click 1"); }
    // Presses the key and waits until the program has handled it: its release comes after it.
    void pressKey(const std::string& key)
    {
        EventCount releases(ui::EventMasks::KeyUp);
        xdotool("key " + key);
        EXPECT_TRUE(waitFor([&] { return releases.count() > 0; })) << key << " never reached the program";
    }
    // The whole screen, written to look at, once every window has drawn what it was asked to and the screen has
    // stopped changing.
    void shoot(const std::string& name)
    {
        waitFor([] {
            return std::ranges::none_of(
                ui::Application::shared().windows(), [](const auto& w) { return w->viewsNeedDisplay(); });
        });
        settledScreen(*backend, 0, 0, 1280 * scale(), 1024 * scale()).save("organiser-" + name + ".png");
    }
    // Where the keyboard is in the inspector: a field's identifier (after its compound field's: "mail/button"),
    // "inspector", or "elsewhere".
    std::string inspectorFocus()
    {
        auto& inspector = *organiser->inspector;
        auto name = [](const ZORTextViewInspectorFieldPtr& field) {
            auto compound = field->compoundField();
            return (compound ? compound->identifier().utf8() + "/" : std::string()) + field->identifier().utf8();
        };
        auto responder = std::dynamic_pointer_cast<ui::View>(organiser->inspectorWindow->firstResponder());
        if (responder.get() == &inspector)
            return inspector.isEditing() ? name(inspector.activeField()) : "inspector";
        auto hosting = responder ? inspector.fieldHostingView(*responder) : nullptr;
        return hosting ? name(hosting) : "elsewhere";
    }

    std::shared_ptr<Organiser> organiser { fnd::makeObject<Organiser>() };
    std::vector<ui::InterfaceFile::Contents> contents;
};

}

TEST_F(OrganiserDisplayTest, TabsDividerAndGridOfTheMainWindow)
{
    auto& main = *organiser;
    shoot("start");
    ASSERT_EQ(main.tabView->numberOfTabViewItems(), 3);
    ASSERT_EQ(main.tabBar->cells().size(), 3u) << "the bar shows the items the file gave its tab view";
    EXPECT_EQ(main.scopeBar->groupAtIndex(0)->label(), fnd::String("Show:"));

    // A click on the second tab shows the notes; a click on the first brings the library back.
    auto notes = main.tabBar->cells().at(1)->frame();
    clickAt(*main.tabBar, { notes.midX(), notes.midY() });
    ASSERT_TRUE(waitFor([&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Notes"); }));
    shoot("notes-tab");
    auto library = main.tabBar->cells().at(0)->frame();
    clickAt(*main.tabBar, { library.midX(), library.midY() });
    ASSERT_TRUE(waitFor([&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Library"); }));

    // The divider between the source list and the grid, dragged 80 points to the right.
    auto panes = main.split->subviews();
    ASSERT_EQ(panes.size(), 2u);
    const double listWidth = panes[0]->frame().width();
    const double gap = panes[1]->frame().minX() - panes[0]->frame().maxX();
    ASSERT_GT(gap, 0);
    const double dividerX = panes[0]->frame().maxX() + gap / 2, y = main.split->bounds().midY();
    xdotool("mousemove " + at(*main.split, { dividerX, y }) + " mousedown 1 mousemove "
        + at(*main.split, { dividerX + 20, y }) + " mousemove " + at(*main.split, { dividerX + 50, y }) + " mousemove "
        + at(*main.split, { dividerX + 80, y }) + " mouseup 1");
    ASSERT_TRUE(waitFor([&] { return panes[0]->frame().width() == listWidth + 80; }))
        << panes[0]->frame().width() << " from " << listWidth;

    // A cell of the 1,000-row grid: selected by a click, typed into, written back with Return.
    auto& grid = *main.grid;
    EXPECT_EQ(grid.numberOfRows(), Organiser::GridRows);
    const auto cell = grid.frameOfCellAtColumn(1, 2);
    clickAt(grid, { cell.midX(), cell.midY() });
    ASSERT_TRUE(waitFor([&] { return grid.selectedRowIndexes()->contains(2); }));
    EXPECT_TRUE(grid.selectedColumnIndexes()->contains(1));
    xdotool("type --delay 40 Widgets");
    ASSERT_TRUE(waitFor([&] { return grid.contentView()->isEditing(); })) << "typing starts editing";
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return main.typed[{ 1, 2 }] == "Widgets"; }));
    shoot("grid-typed");
}

TEST_F(OrganiserDisplayTest, InspectorTypingTabThroughEveryFieldAndListRows)
{
    auto& inspector = *organiser->inspector;
    auto& window = *organiser->inspectorWindow;
    auto& person = *organiser->person;
    // The first click into the inspector, in a window that is not key, starts editing the name.
    auto name = organiser->fields.at("name");
    auto nameRange = inspector.charRangeOfField(*name);
    auto rects
        = inspector.layoutManager()->rectsForCharacterRange({ nameRange.max() - 2, 1 }, *inspector.textContainer());
    auto origin = inspector.textContainerOrigin();
    clickAt(inspector, { rects.at(0).midX() + origin.x, rects.at(0).midY() + origin.y });
    ASSERT_TRUE(waitFor([&] { return inspector.activeField() == name; })) << "the click did not start editing";
    xdotool("type --delay 30 'Ada Lovelace'");
    xdotool("key Tab");
    xdotool("type --delay 30 'Analytical Engines'");
    xdotool("key Tab");
    xdotool("type --delay 30 12345");
    xdotool("key Tab");
    xdotool("type --delay 30 ada@example.org");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return !person.values.get("mail").isNil(); })) << inspectorFocus();
    EXPECT_EQ(person.values.get("name"), fnd::Value("Ada Lovelace"));
    EXPECT_EQ(person.values.get("company"), fnd::Value("Analytical Engines"));
    EXPECT_EQ(person.values.get("zip"), fnd::Value(12345));
    EXPECT_EQ(person.values.get("mail"), fnd::Value("ada@example.org"));
    shoot("inspector-typed");

    // Tab walks every field in order, hosted controls included, and comes back to the first.
    inspector.jumpToField(name);
    std::vector<std::string> walked { inspectorFocus() };
    for (int i = 0; i < 15; ++i) {
        pressKey("Tab");
        walked.push_back(inspectorFocus());
    }
    EXPECT_EQ(walked,
        (std::vector<std::string> { "name", "company", "zip", "mail/mail", "mail/button", "homepage/homepage", "rating",
            "done", "born", "born", "born", "colour", "country", "tags/tag", "tags/tag", "name" }))
        << "the homepage's button waits for a valid address; Tab crosses the date's three parts";
    std::vector<std::string> back;
    for (int i = 0; i < 3; ++i) {
        pressKey("shift+Tab");
        back.push_back(inspectorFocus());
    }
    EXPECT_EQ(back, (std::vector<std::string> { "tags/tag", "tags/tag", "country" }));

    // A list row edited and ended with Return writes its tag.
    auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(organiser->fields.at("tags"));
    inspector.jumpToField(list->rowAtIndex(1));
    xdotool("type --delay 30 green");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return organiser->tagObjects[1]->title == fnd::String("green"); }));
    EXPECT_EQ(organiser->tagObjects[0]->title, fnd::String("red"));
    shoot("inspector-rows");
    (void)window;
}

TEST_F(OrganiserDisplayTest, ThePanelRecordsACombination)
{
    auto& recorder = *organiser->recorder;
    clickAt(recorder, { recorder.bounds().midX() - 30, recorder.bounds().midY() });
    ASSERT_TRUE(waitFor([&] { return recorder.recorderCell()->isRecording(); }))
        << "a click in the field starts recording";
    xdotool("key --delay 60 ctrl+shift+k");
    ASSERT_TRUE(waitFor([&] { return !recorder.recorderCell()->isRecording(); }));
    EXPECT_EQ(recorder.keyCombo(), (_KeyCombo { KRCocoaFlags::Command | KRCocoaFlags::Shift, 40 }));
    shoot("panel-recorded");

    // The review date: its day chosen with a click, raised by one with the stepper the file connected.
    auto& date = *organiser->reviewDate;
    ASSERT_TRUE(date.stepper());
    long dayCell = -1;
    for (long cell = 0; cell < 3; ++cell)
        if (date.cellAtIndex(cell)->stringValue() == fnd::String("14"))
            dayCell = cell;
    ASSERT_GE(dayCell, 0) << "the file's day is shown";
    auto dayRect = date.rectOfCell(dayCell);
    clickAt(date, { dayRect.midX(), dayRect.midY() });
    ASSERT_TRUE(waitFor([&] { return date.selected() == dayCell; }));
    auto& stepper = *date.stepper();
    // The upper arrow (a flipped stepper counts y downwards).
    clickAt(stepper, { stepper.bounds().midX(), stepper.isFlipped() ? 4.0 : stepper.bounds().maxY() - 4 });
    ASSERT_TRUE(waitFor([&] { return date.day() == 15; })) << date.day();
    EXPECT_EQ(date.month(), 7);
    EXPECT_EQ(date.year(), 2025);
    shoot("panel-date");
}
