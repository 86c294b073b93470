#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Screen.h"

#include <cstdlib>
#include <filesystem>
#include <limits>

using namespace ui;
using uitest::TestView;

namespace {

using Strings = std::vector<std::string>;

class WindowTest : public uitest::UiTest {
protected:
    // Writes "<short name> <window number>" for each key/main notification.
    void watchKeyAndMain()
    {
        const std::pair<fnd::String, const char*> names[] = { { WindowNotification::DidBecomeKey, "becomeKey" },
            { WindowNotification::DidResignKey, "resignKey" }, { WindowNotification::DidBecomeMain, "becomeMain" },
            { WindowNotification::DidResignMain, "resignMain" } };
        for (const auto& [name, shortName] : names) {
            tokens.push_back(fnd::NotificationCenter::defaultCenter().addObserverForName(
                name, {}, [this, shortName](const fnd::Notification& n) {
                    auto w = std::static_pointer_cast<Window>(n.object().object());
                    notes.push_back(std::string(shortName) + " " + std::to_string(w->windowNumber()));
                }));
        }
    }
    void TearDown() override
    {
        for (auto t : tokens)
            fnd::NotificationCenter::defaultCenter().removeObserver(t);
    }
    std::string n(const std::shared_ptr<Window>& w) { return std::to_string(w->windowNumber()); }

    std::vector<fnd::NotificationObserverToken> tokens;
    Strings notes;
};

class RecordingDelegate : public WindowDelegate {
public:
    bool windowShouldClose(Window&) override { return allowClose; }
    void windowWillClose(Window&) override { log.push_back("willClose"); }
    void windowDidMove(Window&) override { log.push_back("didMove"); }
    void windowDidResize(Window&) override { log.push_back("didResize"); }
    bool allowClose { true };
    Strings log;
};

class QuitWhenLastCloses : public ApplicationDelegate {
public:
    bool applicationShouldTerminateAfterLastWindowClosed(Application&) override { return true; }
    void applicationWillTerminate(Application&) override { ++terminations; }
    int terminations { 0 };
};

}

TEST_F(WindowTest, KeyAndMainMoveWithActivationAndClosing)
{
    watchKeyAndMain();
    auto a = Window::create({ 0, 0, 100, 100 });
    auto b = Window::create({ 200, 0, 100, 100 });
    a->makeKeyAndOrderFront();
    b->makeKeyAndOrderFront();
    EXPECT_EQ(notes,
        (Strings { "becomeKey " + n(a), "becomeMain " + n(a), "resignKey " + n(a), "becomeKey " + n(b),
            "resignMain " + n(a), "becomeMain " + n(b) }));
    EXPECT_TRUE(b->isKeyWindow() && b->isMainWindow());
    EXPECT_FALSE(a->isKeyWindow() || a->isMainWindow());

    notes.clear();
    b->close();
    EXPECT_EQ(
        notes, (Strings { "resignKey " + n(b), "resignMain " + n(b), "becomeKey " + n(a), "becomeMain " + n(a) }));
    EXPECT_EQ(app().keyWindow(), a);
    EXPECT_EQ(app().windows(), std::vector<std::shared_ptr<Window>> { a });

    // A borderless window never takes the keyboard.
    notes.clear();
    auto borderless = Window::create({ 0, 0, 10, 10 }, WindowStyleMask::Borderless);
    borderless->makeKeyAndOrderFront();
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(borderless->isVisible());
}

TEST_F(WindowTest, SheetsBlockOnlyTheirParentAndReportTheirCodeOnce)
{
    auto parent = Window::create({ 100, 100, 300, 200 });
    auto other = Window::create({ 500, 100, 100, 100 });
    auto parentView = TestView::make({ 0, 0, 300, 200 });
    auto otherView = TestView::make({ 0, 0, 100, 100 });
    parent->contentView()->addSubview(parentView);
    other->contentView()->addSubview(otherView);
    other->orderFront();
    parent->makeKeyAndOrderFront();

    auto sheet = Window::create({ 0, 0, 200, 80 });
    auto sheetView = TestView::make({ 0, 0, 200, 80 });
    sheetView->takesFocus = true;
    sheetView->takesFirstMouse = true;
    otherView->takesFirstMouse = true;
    sheet->contentView()->addSubview(sheetView);
    std::vector<long> codes;
    parent->beginSheet(sheet, [&](long code) { codes.push_back(code); });
    EXPECT_EQ(parent->attachedSheet(), sheet);
    EXPECT_TRUE(sheet->isSheet());
    EXPECT_TRUE(sheet->isKeyWindow());
    // The sheet hangs from the top of the parent's content, centred.
    EXPECT_EQ(sheet->frame().maxY(), parent->contentRectForFrameRect(parent->frame()).maxY());
    EXPECT_EQ(sheet->frame().midX(), parent->frame().midX());

    backend->click(*parent, { 50, 50 });
    backend->click(*other, { 50, 50 });
    backend->click(*sheet, { 50, 50 });
    backend->keyDown(*sheet, "s", KeyCode::S);
    backend->dispatchEvents();
    EXPECT_TRUE(parentView->events.empty());
    EXPECT_EQ(backend->beepCount(), 1);
    EXPECT_EQ(otherView->events, (Strings { "down", "up" }));
    EXPECT_EQ(sheetView->events, (Strings { "down", "up", "key:s" }));

    parent->endSheet(sheet, 7);
    parent->endSheet(sheet, 8); // already ended: nothing more
    EXPECT_EQ(codes, std::vector<long> { 7 });
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(parent->isKeyWindow());
    backend->click(*parent, { 50, 50 });
    backend->dispatchEvents();
    EXPECT_EQ(parentView->events, (Strings { "down", "up" }));

    // A scripted answer ends the next sheet, through the application's older form.
    backend->answerNextSheet([](Window& s, Window&) {
        Application::shared().endSheet(std::static_pointer_cast<Window>(s.shared_from_this()), ModalResponse::OK);
    });
    app().beginSheet(sheet, parent, [&](long code) { codes.push_back(code); });
    backend->dispatchEvents();
    app().nextEvent(EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true);
    EXPECT_EQ(codes, (std::vector<long> { 7, ModalResponse::OK }));
}

TEST_F(WindowTest, ModalSessionsReturnTheCodeTheyWereStoppedWith)
{
    auto modal = Window::create({ 0, 0, 100, 100 });
    auto other = Window::create({ 300, 0, 100, 100 });
    auto modalView = TestView::make({ 0, 0, 100, 100 });
    auto otherView = TestView::make({ 0, 0, 100, 100 });
    modal->contentView()->addSubview(modalView);
    other->contentView()->addSubview(otherView);
    other->makeKeyAndOrderFront();

    struct Case {
        const char* name;
        std::function<void()> end;
        long expected;
    };
    const Case cases[] = {
        { "code", [&] { app().stopModalWithCode(42); }, 42 },
        { "stop", [&] { app().stopModal(); }, ModalResponse::Stopped },
        { "abort", [&] { app().abortModal(); }, ModalResponse::Aborted },
    };
    for (const auto& c : cases) {
        modalView->events.clear();
        otherView->events.clear();
        backend->answerNextModal([&](Window& w) {
            // Clicks while the session runs: only the modal window takes them.
            backend->click(*other, { 50, 50 });
            backend->click(w, { 50, 50 });
            backend->after(0.5, c.end);
        });
        auto start = clock->now();
        EXPECT_EQ(app().runModalForWindow(modal), c.expected) << c.name;
        EXPECT_NEAR(clock->now().timeIntervalSince(start), 0.5, 1e-9) << c.name;
        EXPECT_TRUE(otherView->events.empty()) << c.name;
        EXPECT_EQ(modalView->events, (Strings { "down", "up" })) << c.name;
        EXPECT_EQ(app().modalWindow(), nullptr);
    }

    // A session run step by step continues until stopped.
    auto session = app().beginModalSessionForWindow(modal);
    EXPECT_EQ(app().modalWindow(), modal);
    EXPECT_EQ(app().runModalSession(session), ModalResponse::Continue);
    app().stopModalWithCode(5);
    EXPECT_EQ(app().runModalSession(session), 5);
    app().endModalSession(session);
    EXPECT_EQ(app().modalWindow(), nullptr);

    // Nothing scripted under a virtual clock: the session ends instead of hanging.
    EXPECT_EQ(app().runModalForWindow(modal), ModalResponse::Aborted);
}

TEST_F(WindowTest, FramesContentRectsLevelsAndChildren)
{
    auto titled = Window::create({ 10, 20, 300, 200 });
    EXPECT_EQ(titled->frame(), gfx::Rect(10, 20, 300, 222));
    EXPECT_EQ(titled->contentView()->frame(), gfx::Rect(0, 0, 300, 200));
    auto plain = Window::create({ 10, 20, 300, 200 }, WindowStyleMask::Borderless);
    EXPECT_EQ(plain->frame(), gfx::Rect(10, 20, 300, 200));

    // A toolbar takes room in the frame, not from the content.
    titled->setToolbar(fnd::makeObject<fnd::Object>(), 30);
    EXPECT_EQ(titled->frame().height(), 252);
    EXPECT_EQ(titled->contentView()->frame().size, gfx::Size(300, 200));

    // Window levels keep floating windows in front; ordering back goes to the back of the level.
    auto floating = Window::create({ 0, 0, 10, 10 });
    floating->setLevel(WindowLevel::Floating);
    floating->orderFront();
    titled->orderFront();
    plain->orderFront();
    EXPECT_EQ(app().orderedWindows(), (std::vector<std::shared_ptr<Window>> { floating, plain, titled }));
    plain->orderBack();
    EXPECT_EQ(app().orderedWindows(), (std::vector<std::shared_ptr<Window>> { floating, titled, plain }));
    plain->orderWindow(WindowOrderingMode::Above, titled->windowNumber());
    EXPECT_EQ(app().orderedWindows(), (std::vector<std::shared_ptr<Window>> { floating, plain, titled }));
    plain->orderOut();
    EXPECT_FALSE(plain->isVisible());

    // Children move with their parent.
    auto child = Window::create({ 50, 50, 10, 10 }, WindowStyleMask::Borderless);
    titled->addChildWindow(child, WindowOrderingMode::Above);
    titled->setFrameOrigin({ 110, 120 });
    EXPECT_EQ(child->frame().origin, gfx::Point(150, 150));
    EXPECT_EQ(child->parentWindow(), titled);

    // Base coordinates sit on the frame's corner.
    EXPECT_EQ(titled->convertBaseToScreen({ 5, 6 }), gfx::Point(115, 126));
    EXPECT_EQ(titled->convertScreenToBase({ 115, 126 }), gfx::Point(5, 6));

    // Centring and zooming use the screen's visible frame (the menu bar is outside it).
    auto visible = Screen::mainScreen()->visibleFrame();
    EXPECT_EQ(visible, gfx::Rect(0, 0, 1440, 878));
    titled->center();
    EXPECT_EQ(titled->frame().midX(), 720);
    auto before = titled->frame();
    titled->zoom({});
    EXPECT_EQ(titled->frame(), visible);
    EXPECT_TRUE(titled->isZoomed());
    titled->zoom({});
    EXPECT_EQ(titled->frame(), before);
}

// A transparency, content border or size limit that is not a number is ignored: std::clamp and std::max let NaN
// through.
TEST_F(WindowTest, AlphaContentBordersAndSizeLimitsThatAreNoNumbersAreIgnored)
{
    auto w = Window::create({ 10, 20, 300, 200 });
    w->setAlphaValue(0.5);
    w->setContentBorderThickness(12, gfx::RectEdge::MinY);
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    w->setAlphaValue(NaN);
    w->setContentBorderThickness(NaN, gfx::RectEdge::MinY);
    EXPECT_EQ(w->alphaValue(), 0.5);
    EXPECT_EQ(w->contentBorderThicknessForEdge(gfx::RectEdge::MinY), 12);

    // Size limits keep a dimension that is no number and hold the rest within a frame's 0 to 10,000,000 points: the
    // backend makes whole pixels of them, which NaN or 1e300 made undefined.
    w->setMinSize({ 200, 100 });
    w->setMinSize({ NaN, 1e300 });
    EXPECT_EQ(w->minSize(), (gfx::Size { 200, 1e7 }));
    w->setMaxSize({ std::numeric_limits<double>::infinity(), -5 });
    EXPECT_EQ(w->maxSize(), (gfx::Size { 1e7, 0 }));
}

TEST_F(WindowTest, AnimatedResizingStepsAlongTheClock)
{
    auto w = Window::create({ 0, 0, 100, 100 });
    auto delegate = std::make_shared<RecordingDelegate>();
    w->setDelegate(delegate);
    w->orderFront();
    auto target = gfx::Rect(0, 0, 400, 422);
    double duration = w->animationResizeTime(target);
    EXPECT_NEAR(duration, 0.4, 1e-9); // 300 points at 0.2 s a 150
    auto start = clock->now();
    w->setFrame(target, true, true);
    EXPECT_EQ(w->frame(), target);
    EXPECT_NEAR(clock->now().timeIntervalSince(start), duration, 1.0 / 60 + 1e-9);
    EXPECT_GT(delegate->log.size(), 10u); // resized in steps
}

// A frame that was no number entered as it was: the window's size became nothing or not a number, and an animated
// resize toward an infinite size stepped for ever (every step's frame was not a number). A length that is no number
// or infinite keeps the window's; a finite one is taken within ten million points.
TEST_F(WindowTest, FramesThatAreNoNumbersKeepTheWindowsLengths)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    auto window = Window::create({ 10, 20, 300, 200 });
    ASSERT_EQ(window->frame(), gfx::Rect(10, 20, 300, 222));
    window->setFrame({ notANumber, 5, infinity, 1e308 }, false);
    ASSERT_EQ(window->frame(), gfx::Rect(10, 5, 300, 1e7));
    window->setFrame({ -infinity, -1e308, notANumber, -infinity }, false);
    ASSERT_EQ(window->frame(), gfx::Rect(10, -1e7, 300, 1e7));
    window->setFrame({ 10, 20, 300, 222 }, false);

    // Shown, it steps: toward an infinite size, it goes nowhere.
    window->makeKeyAndOrderFront();
    window->setFrame({ 40, 20, infinity, notANumber }, true, true);
    EXPECT_EQ(window->frame(), gfx::Rect(40, 20, 300, 222));
    EXPECT_EQ(window->contentView()->frame().size, gfx::Size(300, 200));
}

TEST_F(WindowTest, FrameStringsRoundTripAndBadOnesAreIgnored)
{
    auto w = Window::create({ 0, 0, 100, 100 });
    w->setFrameFromString("10 20 300 200");
    EXPECT_EQ(w->frame(), gfx::Rect(10, 20, 300, 200));
    EXPECT_EQ(w->stringWithSavedFrame(), "10 20 300 200");
    // Each number of "0 1e308 300 1e308" is finite, but its top edge is not; the others reach beyond ten million
    // points, which no arrangement of screens comes near.
    for (const char* bad : { "", "10 x 300 200", "10 20 300", "10 20 0 200", "1 2 -3 4", "nan 1 2 3",
             "0 1e308 300 1e308", "1e300 200 300 400", "100 -2e7 300 400", "100 200 300 10000001" }) {
        w->setFrameFromString(bad);
        EXPECT_EQ(w->frame(), gfx::Rect(10, 20, 300, 200)) << "\"" << bad << "\"";
        EXPECT_FALSE(Window::frameFromSavedString(bad)) << "\"" << bad << "\"";
    }
    // Ten million is still a place (a window may be saved off every screen); a size is cut to the 1440 x 900
    // screen the frame lands on.
    w->setFrameFromString("-10000000 10000000 300 200");
    EXPECT_EQ(w->frame(), gfx::Rect(-1e7, 1e7, 300, 200));
    w->setFrameFromString("10 20 5000 3000");
    EXPECT_EQ(w->frame(), gfx::Rect(10, 20, 1440, 900));
    w->setFrameFromString("10 20 300 200");

    // Autosaved frames go to the defaults and come back to a window with the same name.
    auto folder = std::filesystem::temp_directory_path() / "ui-window-defaults";
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey("NSWindow Frame Inspector");
    ASSERT_TRUE(w->setFrameAutosaveName("Inspector"));
    w->setFrameOrigin({ 30, 40 });
    auto second = Window::create({ 0, 0, 50, 50 });
    EXPECT_FALSE(second->setFrameAutosaveName("Inspector")); // taken
    w->close();
    EXPECT_TRUE(second->setFrameAutosaveName("Inspector"));
    EXPECT_EQ(second->frame(), gfx::Rect(30, 40, 300, 200));
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey("NSWindow Frame Inspector");
    std::filesystem::remove_all(folder);
}

TEST_F(WindowTest, ClosingAsksTheDelegateAndTheLastWindowCanEndTheApplication)
{
    auto quit = std::make_shared<QuitWhenLastCloses>();
    app().setDelegate(quit);
    app().finishLaunching();
    auto a = Window::create({ 0, 0, 100, 100 }, WindowStyleMask::Titled | WindowStyleMask::Closable);
    auto b = Window::create({ 0, 0, 100, 100 }, WindowStyleMask::Titled);
    auto delegate = std::make_shared<RecordingDelegate>();
    a->setDelegate(delegate);
    a->orderFront();
    b->orderFront();

    delegate->allowClose = false;
    a->performClose();
    EXPECT_FALSE(a->isClosed());
    b->performClose(); // no close button
    EXPECT_FALSE(b->isClosed());
    EXPECT_EQ(backend->beepCount(), 2);

    delegate->allowClose = true;
    a->performClose();
    EXPECT_TRUE(a->isClosed());
    EXPECT_EQ(delegate->log.back(), "willClose");
    EXPECT_FALSE(app().hasTerminated());
    // A pop-up or panel left on screen does not keep the application open.
    auto popUp = Window::create({ 0, 0, 50, 50 }, WindowStyleMask::Borderless);
    popUp->orderFront();
    b->close();
    EXPECT_TRUE(app().hasTerminated());
    EXPECT_EQ(quit->terminations, 1);
    app().setDelegate(nullptr);
}

TEST_F(WindowTest, WindowsAndViewsMadeByClassNameAreComplete)
{
    auto object = fnd::ClassRegistry::shared().create("Window");
    auto window = std::dynamic_pointer_cast<Window>(object);
    ASSERT_TRUE(window);
    EXPECT_NE(window->windowNumber(), 0);
    ASSERT_TRUE(window->contentView());
    window->setValueForKey(gfx::Rect(10, 10, 200, 122), "frame");
    window->setValueForKey("Made by name", "title");
    EXPECT_EQ(window->contentView()->frame(), gfx::Rect(0, 0, 200, 100));
    EXPECT_EQ(window->title(), "Made by name");

    auto view = std::dynamic_pointer_cast<View>(fnd::ClassRegistry::shared().create("View"));
    ASSERT_TRUE(view);
    view->setValueForKey(gfx::Rect(1, 2, 30, 40), "frame");
    view->setValueForKey(AutoresizingMask::WidthSizable, "autoresizingMask");
    EXPECT_EQ(view->bounds(), gfx::Rect(0, 0, 30, 40));
    EXPECT_EQ(view->autoresizingMask(), AutoresizingMask::WidthSizable);
    EXPECT_TRUE(view->respondsTo("awakeFromNib"));
}
