#include "PreferenceWindowTestSupport.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"
#include "frameworks/ZORAppKit/ZORWindow/ZORWindow.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Screen.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace prefstest;
using Strings = std::vector<std::string>;

namespace {

std::string joined(const Strings& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

}

TEST_F(PreferenceWindowTest, PanesRegisterOnceInOrderAndTheDelegateMayRefuse)
{
    auto first = addPane("general", gfx::Size { 300, 200 });
    addPane("fonts", gfx::Size { 300, 200 });
    addPane("export", gfx::Size { 300, 200 });
    auto again = RecordingPane::create("general", "Other", gfx::Size { 10, 10 }, messages);
    EXPECT_FALSE(controller->addPane(again, "general"));
    EXPECT_EQ(controller->prefPaneWithIdentifier("general"), first);
    EXPECT_EQ(controller->validPrefPaneIdentifiers(), (std::vector<fnd::String> { "general", "fonts", "export" }));
    EXPECT_EQ(controller->prefPaneWithIdentifier("export")->sortOrder(), 2u);

    auto delegate = std::make_shared<RecordingDelegate>(messages);
    delegate->refused = { "secret" };
    controller->setDelegate(delegate);
    EXPECT_FALSE(controller->addPane(RecordingPane::create("secret", "General", gfx::Size {}, messages), "secret"));
    EXPECT_FALSE(controller->prefPaneWithIdentifier("secret"));
    EXPECT_EQ(controller->iconView()->icons().size(), 3u);
}

// Switching panes asks the shown pane first, then tells everyone in a fixed order.
TEST_F(PreferenceWindowTest, SelectingSendsThePaneMessagesInOrder)
{
    auto delegate = std::make_shared<RecordingDelegate>(messages);
    controller->setDelegate(delegate);
    addPane("a", gfx::Size { 300, 200 });
    auto b = addPane("b", gfx::Size { 400, 250 });
    b->minimum = gfx::Size { 350, 220 };
    messages->clear();
    ASSERT_TRUE(controller->selectPaneWithIdentifier("a"));
    messages->clear();

    ASSERT_TRUE(controller->selectPaneWithIdentifier("b"));
    EXPECT_EQ(joined(*messages),
        joined({ "a.shouldUnselect", "b.loadMainView", "a.willUnselect", "delegate.willSelect b", "b.willSelect",
            "b.shouldResize", "b.minSize", "delegate.didUnselect a", "a.didUnselect", "b.didSelect" }));
    EXPECT_EQ(controller->activePane(), b);
    EXPECT_EQ(controller->window()->title(), u"b pane");
    EXPECT_EQ(controller->window()->minSize(), gfx::Size(350, 220));
    EXPECT_EQ(controller->window()->contentView(), b->mainView());

    messages->clear();
    EXPECT_TRUE(controller->selectPaneWithIdentifier("b"));
    EXPECT_TRUE(messages->empty()) << joined(*messages);
    EXPECT_FALSE(controller->selectPaneWithIdentifier("unknown"));
    EXPECT_EQ(controller->activePane(), b);
}

TEST_F(PreferenceWindowTest, APaneWithoutAViewOrThatWillNotBeLeftKeepsTheShownPane)
{
    testsupport::CapturedLog log;
    auto a = addPane("a", gfx::Size { 300, 200 });
    addPane("empty", std::nullopt);
    addPane("c", gfx::Size { 200, 100 });
    ASSERT_TRUE(controller->selectPaneWithIdentifier("a"));

    EXPECT_FALSE(controller->selectPaneWithIdentifier("empty"));
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "Preference Pane \"empty\" has no view"));
    EXPECT_EQ(controller->activePane(), a);

    a->allowsLeaving = false;
    messages->clear();
    EXPECT_FALSE(controller->selectPaneWithIdentifier("c"));
    EXPECT_FALSE(controller->selectIconViewPane());
    controller->toolbarShowAll();
    EXPECT_EQ(controller->activePane(), a);
    EXPECT_EQ(controller->window()->contentView(), a->mainView());
    EXPECT_EQ(*messages, (Strings { "a.shouldUnselect", "a.shouldUnselect", "a.shouldUnselect" }));

    a->allowsLeaving = true;
    EXPECT_TRUE(controller->selectPaneWithIdentifier("c"));
}

// The window follows each pane's size with its top edge kept, stepping on the run loop's (virtual) clock.
TEST_F(PreferenceWindowTest, SwitchingResizesTheWindowAroundThePaneWithItsTopEdgeKept)
{
    addPane("small", gfx::Size { 280, 120 });
    addPane("large", gfx::Size { 520, 360 });
    controller->showWindow({});
    auto window = controller->window();
    ASSERT_TRUE(window->isKeyWindow());
    auto top = window->frame().maxY();
    auto left = window->frame().minX();
    ASSERT_EQ(window->contentRectForFrameRect(window->frame()).size, gfx::Size(280, 120));

    for (const char* identifier : { "large", "small", "large" }) {
        resizes.clear();
        auto started = clock->now();
        ASSERT_TRUE(controller->selectPaneWithIdentifier(identifier));
        auto expected = controller->prefPaneWithIdentifier(identifier)->mainView()->frame().size;
        EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, expected) << identifier;
        EXPECT_GT(resizes.size(), 5u) << identifier << " resizes in steps";
        for (const auto& frame : resizes) {
            EXPECT_DOUBLE_EQ(frame.maxY(), top) << identifier;
            EXPECT_DOUBLE_EQ(frame.minX(), left) << identifier;
        }
        EXPECT_GT(clock->now().timeIntervalSince(started), 0) << identifier << " takes time";
    }
    shot("LargePane");
}

TEST_F(PreferenceWindowTest, ClickingEachOverviewIconShowsItsPane)
{
    const char* panes[][2]
        = { { "general", "Basics" }, { "updates", "Basics" }, { "fonts", "Appearance" }, { "colours", "Appearance" },
              { "bars", "Appearance" }, { "export", "Files" }, { "pdf", "Files" }, { "tiff", "Files" },
              { "eps", "Files" }, { "png", "Files" }, { "jpeg", "Files" }, { "gif", "Files" }, { "svg", "Files" } };
    for (const auto& pane : panes)
        addPane(pane[0], gfx::Size { 320, 160 }, pane[1]);
    controller->setSortByCategory(true);
    auto overview = controller->iconView();
    // Panes the overview's size, so the window need not resize (that is tested above) and the clicks run quickly.
    for (const auto& [identifier, pane] : controller->prefPanes())
        pane->mainView()->setFrameSize(overview->frame().size);
    auto window = controller->window();
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(controller->selectIconViewPane());
    ASSERT_EQ(window->contentView(), overview);
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, overview->frame().size);
    EXPECT_EQ(window->title(), u"Preferences");
    shot("Overview");

    std::size_t clicked = 0;
    for (long k = 0; k < long(overview->iconListList().size()); ++k) {
        for (long i = 0; i < long(overview->iconListList()[std::size_t(k)].size()); ++i) {
            auto identifier = overview->iconListList()[std::size_t(k)][std::size_t(i)]->itemIdentifier();
            auto picture = overview->imageFrameForIconInCategoryWithIndex(k, i);
            clickOverview({ picture.midX(), picture.midY() });
            ASSERT_TRUE(controller->activePane()) << identifier.utf8();
            EXPECT_EQ(controller->activePane()->identifier(), identifier);
            EXPECT_EQ(window->contentView(), controller->activePane()->mainView());
            ++clicked;
            controller->toolbarShowAll();
            ASSERT_FALSE(controller->activePane());
            ASSERT_EQ(window->contentView(), overview);
        }
    }
    EXPECT_EQ(clicked, std::size(panes));
}

TEST_F(PreferenceWindowTest, TheDelegateRemapsAndNamesCategories)
{
    auto delegate = std::make_shared<RecordingDelegate>(messages);
    delegate->categoryMap = { { "Fonts", "Appearance" } };
    delegate->displayNames = { { "Appearance", "Looks" } };
    controller->setDelegate(delegate);
    addPane("fonts", gfx::Size { 100, 100 }, "Fonts");
    addPane("colours", gfx::Size { 100, 100 }, "Appearance");
    addPane("general", gfx::Size { 100, 100 }, "General");
    controller->setSortByCategory(true);

    EXPECT_EQ(controller->categoryForIdentifier("fonts"), u"Appearance");
    EXPECT_EQ(controller->categoryDisplayNameForIdentifier("fonts"), u"Looks");
    // Panes name their own categories when the delegate does not.
    EXPECT_EQ(controller->categoryDisplayNameForIdentifier("general"), u"General");
    auto categories = controller->categories();
    std::sort(categories.begin(), categories.end());
    EXPECT_EQ(categories, (std::vector<fnd::String> { "Appearance", "General" }));
    // One band for the remapped category, sorted by shown name: "General" before "Looks".
    const auto& lists = controller->iconView()->iconListList();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].front()->itemIdentifier(), u"general");
    EXPECT_EQ(lists[1].size(), 2u);
}

TEST_F(PreferenceWindowTest, TheWindowTellsTheShownPaneWhenItClosesBecomesMainOrZooms)
{
    auto a = addPane("a", gfx::Size { 300, 200 });
    a->standard = gfx::Size { 500, 400 };
    auto window = controller->window();
    window->makeKeyAndOrderFront();
    ASSERT_EQ(controller->activePane(), a);
    auto other = ui::Window::create({ 600, 100, 100, 100 });
    other->makeKeyAndOrderFront();
    messages->clear();

    window->makeKeyAndOrderFront();
    auto standard = controller->windowWillUseStandardFrame(*window, {});
    ASSERT_TRUE(standard);
    EXPECT_EQ(window->contentRectForFrameRect(*standard).size, gfx::Size(500, 400));
    EXPECT_EQ(standard->maxY(), window->frame().maxY());
    fnd::NotificationCenter::defaultCenter().postNotificationName(ui::ApplicationNotification::WillTerminate);
    window->close();
    EXPECT_EQ(*messages,
        (Strings { "a.panelDidBecomeMain", "a.willUnselect", "a.didUnselect", "a.willUnselect", "a.didUnselect" }));
}

TEST_F(PreferenceWindowTest, ASavedFrameKeepsItsTopLeftCorner)
{
    // A pane that makes the window 250 points high, title bar and toolbar included.
    addPane("a", gfx::Size { 300, 100 });
    double chrome = controller->window()->frame().height() - 100;
    startOver();
    addPane("a", gfx::Size { 300, 250 - chrome });
    fnd::UserDefaults::standardUserDefaults().setObject(
        "100 200 300 400", ZORPreferenceWindowController::FrameDefaultsKeyPrefix + AutosaveName);
    auto window = controller->window();
    EXPECT_EQ(window->frame().height(), 250);
    EXPECT_EQ(window->frame().origin, gfx::Point(100, 350));

    // A damaged entry is ignored: the window is centred. Each number of the first is finite, but the corner they
    // give (y + height - 250) is not; the others reach far beyond any screen or have no size.
    for (const char* damaged : { "100 two", "0 1e308 300 1e308", "1e300 200 300 400", "100 -2e7 300 400",
             "100 200 300 -400", "100 200 0 400", "100 200 300 nan" }) {
        startOver();
        addPane("a", gfx::Size { 300, 250 - chrome });
        fnd::UserDefaults::standardUserDefaults().setObject(
            damaged, ZORPreferenceWindowController::FrameDefaultsKeyPrefix + AutosaveName);
        auto centred = controller->window();
        auto screen = centred->screen()->visibleFrame();
        EXPECT_NEAR(centred->frame().midX(), screen.midX(), 1) << damaged;
        EXPECT_TRUE(gfx::containsRect(screen, centred->frame())) << damaged;
    }
}

// What the person last saw comes back: the pane and the window's place, through the defaults on disk.
TEST_F(PreferenceWindowTest, ThePaneAndFrameComeBackAfterARestart)
{
    auto addPanes = [&] {
        addPane("general", gfx::Size { 300, 200 });
        addPane("export", gfx::Size { 420, 260 });
    };
    addPanes();
    auto window = controller->window();
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(controller->selectPaneWithIdentifier("export"));
    window->setFrameOrigin({ 123, 456 });
    auto frame = window->frame();
    window->close();

    // Written through to the file another process would read.
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    fnd::UserDefaults onDisk(defaults.suiteName());
    EXPECT_EQ(onDisk.stringForKey(ZORPreferenceWindowController::SelectedPaneDefaultsKeyPrefix + AutosaveName),
        fnd::String("export"));
    EXPECT_EQ(onDisk.stringForKey(ZORPreferenceWindowController::FrameDefaultsKeyPrefix + AutosaveName),
        fnd::String("123 456 " + std::to_string(int(frame.width())) + " " + std::to_string(int(frame.height()))));

    startOver();
    addPanes();
    controller->setSortByCategory(true); // shows the overview, but the window is not yet up: nothing to keep
    auto restored = controller->window();
    ASSERT_TRUE(controller->activePane());
    EXPECT_EQ(controller->activePane()->identifier(), u"export");
    EXPECT_EQ(restored->frame(), frame);
}

// The shared controller names itself, so it keeps its frame, and opens on the overview when "Show All" leads.
TEST_F(PreferenceWindowTest, TheSharedControllerHasAnAutosaveNameAndOpensOnTheOverview)
{
    controller.reset();
    ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    forgetDefaults(ZORPreferenceWindowController::DefaultAutosaveName);
    auto shared = ZORPreferenceWindowController::sharedPreferenceWindowController();
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->autosaveName(), ZORPreferenceWindowController::DefaultAutosaveName);
    EXPECT_EQ(ZORPreferenceWindowController::sharedPreferenceWindowController(), shared);
    EXPECT_FALSE(ZORPreferenceWindowController::create("Another")) << "one controller per process";

    shared->setUsesConfigurationPane(true);
    shared->addPane(RecordingPane::create("general", "Basics", gfx::Size { 300, 200 }, messages), "general");
    auto window = shared->window();
    EXPECT_FALSE(shared->activePane());
    EXPECT_EQ(window->contentView(), shared->iconView());
    EXPECT_EQ(window->title(), u"Preferences");
    auto zorWindow = std::dynamic_pointer_cast<ZORWindow>(window);
    ASSERT_TRUE(zorWindow);
    EXPECT_FALSE(zorWindow->canZoom()) << "the overview does not zoom";
    window->close();
    forgetDefaults(ZORPreferenceWindowController::DefaultAutosaveName);
}

namespace {

// Icons added one at a time (titles that sort together regardless of case, equal titles, categories new and old;
// now and then an icon's title or category changed in between), with the grouping, the category order and the
// columns switched at random: after each step the overview lays out exactly as one given all its icons at once.
TEST(ZORPrefPaneIconViewRandom, IconsAddedOneByOneLayOutAsAllAtOnce)
{
    const char* titles[] = { "General", "general", "Fonts", "Accounts", "accounts", "Zoom", "Mail", "Printing" };
    const char* categories[] = { "Personal", "System", "Internet", "Other" };
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 random(seed);
        auto view = ZORPrefPaneIconView::create();
        std::vector<std::shared_ptr<ZORPrefPaneIcon>> icons;
        bool edited = false;
        for (int step = 0; step < 60; ++step) {
            const unsigned what = random() % 10;
            if (what < 6) {
                auto icon = ZORPrefPaneIcon::create(
                    fnd::String("icon" + std::to_string(step)), nullptr, titles[random() % std::size(titles)]);
                icon->setCategory(categories[random() % std::size(categories)]);
                icons.push_back(icon);
                view->addIcon(icon);
            } else if (what == 6 && !icons.empty()) {
                icons[random() % icons.size()]->setTitle(titles[random() % std::size(titles)]);
            } else if (what == 7 && !icons.empty()) {
                icons[random() % icons.size()]->setCategory(categories[random() % std::size(categories)]);
            } else if (what == 8) {
                view->setSortByCategory(!view->sortByCategory());
                if (random() % 2)
                    view->setCategorySortOrder(std::vector<fnd::String> { "System", "Other" });
            } else {
                view->setColumns(2 + long(random() % 6));
            }
            // A changed title or category shows after the next icon added (the view is not told of it).
            if (what == 6 || what == 7)
                edited = true;
            else if (what < 6)
                edited = false;
            if (edited)
                continue;
            auto fresh = ZORPrefPaneIconView::create();
            fresh->setSortByCategory(view->sortByCategory());
            fresh->setCategorySortOrder(view->categorySortOrder());
            fresh->setColumns(view->columns());
            fresh->setIcons(icons);
            ASSERT_EQ(view->iconListList(), fresh->iconListList()) << "seed " << seed << " step " << step;
            ASSERT_EQ(view->frame(), fresh->frame()) << "seed " << seed << " step " << step;
            ASSERT_EQ(view->iconSpacing(), fresh->iconSpacing()) << "seed " << seed << " step " << step;
            ASSERT_EQ(view->horizontalPadding(), fresh->horizontalPadding()) << "seed " << seed << " step " << step;
        }
    }
}

}

// A pane's view, or its standard size, may be of any size. The window once took it: toward one of 1e308 points it
// resized in the animation's steps, which at 0.2 s for every 150 points never ended, and an infinite one made every
// step's frame not a number. The window takes the size the screen can show; a length that is no number leaves the
// window's.
TEST_F(PreferenceWindowTest, APaneOfAnOddSizeGetsAWindowTheScreenCanShow)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    addPane("normal", gfx::Size { 280, 120 });
    addPane("huge", gfx::Size { 1e308, 1e308 });
    addPane("infinite", gfx::Size { infinity, 2000 });
    addPane("nan", gfx::Size { notANumber, 90 });
    addPane("negative", gfx::Size { -500, 150 });
    auto zooming = addPane("zooming", gfx::Size { 300, 200 });
    zooming->standard = gfx::Size { 1e308, infinity };
    auto window = controller->window();
    const auto visible = ui::Screen::mainScreen()->visibleFrame();
    // What the title bar and toolbar take around the content, from the pane of an ordinary size.
    ASSERT_TRUE(controller->selectPaneWithIdentifier("normal"));
    const double aroundWidth = window->frame().width() - 280, aroundHeight = window->frame().height() - 120;
    // Pane, content size expected (worked out from the screen and the sizes the panes answer).
    const struct {
        const char* pane;
        gfx::Size content;
    } cases[] = {
        { "huge", { visible.width() - aroundWidth, visible.height() - aroundHeight } },
        { "normal", { 280, 120 } },
        { "infinite", { visible.width() - aroundWidth, visible.height() - aroundHeight } },
        { "nan", { visible.width() - aroundWidth, 90 } },
        { "negative", { 0, 150 } },
        { "normal", { 280, 120 } },
    };
    // Hidden, so the window jumps to each size: shown, it steps there on the run loop's clock, and toward the largest
    // ones it stepped for ever.
    for (const auto& c : cases) {
        ASSERT_TRUE(controller->selectPaneWithIdentifier(c.pane)) << c.pane;
        const auto frame = window->frame();
        EXPECT_EQ(window->contentRectForFrameRect(frame).size, c.content) << c.pane;
        EXPECT_LE(frame.width(), visible.width()) << c.pane;
        EXPECT_LE(frame.height(), visible.height()) << c.pane;
    }
    ASSERT_TRUE(controller->selectPaneWithIdentifier("zooming"));
    window->zoom({});
    EXPECT_EQ(window->frame().size, visible.size);
}
