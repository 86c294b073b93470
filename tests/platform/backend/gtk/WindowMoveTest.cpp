#include "GtkTestSupport.h"

#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/backend/gtk/TouchpadGestures.h"

#include <fmt/format.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <csignal>
#include <numbers>
#include <optional>
#include <utility>

using namespace gtktest;

namespace {

// Where an X window's top left lies on the root (device pixels), as the server says.
std::optional<std::pair<int, int>> rootPositionOf(unsigned long xid)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    int x = 0, y = 0;
    ::Window child = 0;
    bool known = XTranslateCoordinates(display, xid, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    XCloseDisplay(display);
    return known ? std::optional(std::pair { x, y }) : std::nullopt;
}

// The Motif hints of an X window: flags, functions, decorations.
std::optional<std::array<long, 3>> motifHintsOf(unsigned long xid)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<std::array<long, 3>> hints;
    if (atom
        && XGetWindowProperty(display, xid, atom, 0, 5, False, AnyPropertyType, &type, &format, &count, &after, &data)
            == Success
        && data && format == 32 && count >= 3) {
        auto* values = reinterpret_cast<long*>(data);
        hints = std::array<long, 3> { values[0], values[1], values[2] };
    }
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return hints;
}

// Whether a client other than this program holds the pointer: a fresh connection cannot grab it then.
bool pointerIsGrabbed()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    int status = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask, GrabModeAsync,
        GrabModeAsync, None, None, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XCloseDisplay(display);
    return status == AlreadyGrabbed;
}

// The top-level X windows from the bottom of the stack to the top.
std::vector<unsigned long> stackingOrder()
{
    std::vector<unsigned long> order;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return order;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        order.assign(children, children + count);
        XFree(children);
    }
    XCloseDisplay(display);
    return order;
}

// A background that leaves presses to its window, optionally delaying the window's ordering.
class Background : public FillView {
    FND_OBJECT(Background)
public:
    bool shouldDelayWindowOrderingForEvent(const ui::Event&) override { return delay; }
    bool acceptsFirstMouse(const ui::Event*) override { return true; }
    void mouseDown(const ui::Event& event) override
    {
        ++presses;
        // Once, for the next press only.
        if (auto busy = std::exchange(beforeHandling, nullptr))
            busy();
        FillView::mouseDown(event);
        ++pressesHandled;
    }
    bool delay { false };
    // Runs while the next press is being handled, before the window sees it: the program is busy there.
    std::function<void()> beforeHandling;
    int presses { 0 };
    // Presses whose handling has returned: for a window moved by its background, once the move is under way.
    int pressesHandled { 0 };
};
FND_REGISTER_CLASS(Background, FillView)

}

class WindowMoveTest : public GtkDisplayTest {
protected:
    std::shared_ptr<Background> background()
    {
        auto view = ui::makeView<Background>({});
        view->fill = gfx::Color::colorWithDeviceWhite(0.85);
        return view;
    }
    // A point of the window's content (y up) as root device pixels.
    static std::string rootPoint(const ui::Window& window, gfx::Point p)
    {
        auto [x, y, width, height] = deviceRectOfContent(window);
        return fmt::format("{} {}", x + int(p.x * scale()), y + height - int(p.y * scale()));
    }
    void run(const std::string& command) { ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0); }
};

// The program knows where the pointer is from the X server, before any event about it arrived.
TEST_F(WindowMoveTest, ThePointerIsWhereTheServerSaysAlsoBeforeAnyEvent)
{
    run(fmt::format("mousemove {} {}", 300 * scale(), 200 * scale()));
    auto screen = ui::Screen::screens().front()->frame();
    auto at = ui::Event::mouseLocation();
    EXPECT_NEAR(at.x, 300, 1);
    EXPECT_NEAR(at.y, screen.maxY() - 200, 1);
}

// A press on the background of a window movable by it and a drag move the window by the pointer's way: the
// toolkit's interactive move, seen by the X server and reported back into the window's frame.
TEST_F(WindowMoveTest, APressAndDragOnTheBackgroundMovesTheWindow)
{
    auto view = background();
    auto window = showWindow({ 200, 300, 240, 160 }, view);
    window->setMovableByWindowBackground(true);
    auto xid = backend->hostFor(*window)->xid();
    auto before = rootPositionOf(xid);
    ASSERT_TRUE(before);
    auto frameBefore = window->frame();

    const auto content = deviceRectOfContent(*window);
    const int startX = content[0] + 40 * scale(), startY = content[1] + 40 * scale();
    auto at
        = [&](int step) { return fmt::format("{} {}", startX + step * 24 * scale(), startY + step * 10 * scale()); };
    // The press, then the first move, which starts the window system's move; only the moves after that one are the
    // window system's to follow.
    StagedGesture gesture;
    std::string rest;
    for (int step = 2; step <= 5; ++step)
        rest += fmt::format(" mousemove {} sleep 0.1", at(step));
    gesture.then("mousemove " + at(0) + " mousedown 1")
        .then("mousemove " + at(1), [&] { return view->presses == 1; })
        .then(rest + " mouseup 1", [&] { return view->pressesHandled == 1; })
        .start();
    // 120 points right and 50 down (the frame's y falls by 50).
    ASSERT_TRUE(waitFor(
        [&] {
            auto now = rootPositionOf(xid);
            return now && now->first - before->first == 120 * scale() && now->second - before->second == 50 * scale();
        },
        30))
        << "the X window did not follow the pointer; stages started: " << gesture.stagesStarted() << "; moved by "
        << (rootPositionOf(xid) ? rootPositionOf(xid)->first - before->first : -1) << ", "
        << (rootPositionOf(xid) ? rootPositionOf(xid)->second - before->second : -1) << " device pixels; pointer "
        << (pointerIsGrabbed() ? "still held by a move" : "free");
    ASSERT_TRUE(waitFor(
        [&] { return window->frame().origin == gfx::Point(frameBefore.minX() + 120, frameBefore.minY() - 50); }, 30))
        << "the frame did not follow the window";
    EXPECT_EQ(window->frame().size, frameBefore.size);
    ASSERT_TRUE(waitFor([&] { return gesture.isDone(); }, 30)) << "the gesture did not end";

    // Afterwards the window takes presses as before.
    run(fmt::format("mousemove {} click 1", rootPoint(*window, { 30, 30 })));
    EXPECT_TRUE(waitFor([&] { return view->presses == 2; }));
}

// A resizable window whose zoom button is off tells the window manager not to offer maximising, in its functions and
// its title bar; switched on again, it offers it.
TEST_F(WindowMoveTest, AWindowThatCannotZoomOffersNoMaximise)
{
    constexpr long FunctionMaximize = 1 << 4, FunctionResize = 1 << 1, DecorationAll = 1, DecorationMaximize = 1 << 6;
    auto window = showWindow({ 200, 300, 200, 122 }, background(),
        ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable | ui::WindowStyleMask::Resizable);
    auto xid = backend->hostFor(*window)->xid();
    auto shown = motifHintsOf(xid);
    ASSERT_TRUE(shown);
    EXPECT_TRUE((*shown)[1] & FunctionMaximize);

    window->setStandardWindowButtonEnabled(ui::WindowButton::Zoom, false);
    decltype(shown) off;
    EXPECT_TRUE(waitFor([&] {
        off = motifHintsOf(xid);
        return off && !((*off)[1] & FunctionMaximize);
    })) << "the maximise function is still offered";
    ASSERT_TRUE(off);
    EXPECT_TRUE((*off)[1] & FunctionResize) << "its edges still resize it";
    EXPECT_EQ((*off)[2], DecorationAll | DecorationMaximize) << "every decoration but the maximise button";

    window->setStandardWindowButtonEnabled(ui::WindowButton::Zoom, true);
    EXPECT_TRUE(waitFor([&] {
        auto on = motifHintsOf(xid);
        return on && ((*on)[1] & FunctionMaximize);
    })) << "the maximise function is offered again";
}

// A press on a view that delays ordering leaves its window behind the other until the release; then it comes
// forward. (No window manager runs here: on a desktop, the window manager's own raise on click comes first.)
TEST_F(WindowMoveTest, ADelayedWindowComesForwardAtTheRelease)
{
    auto behindView = background();
    behindView->delay = true;
    auto behind = showWindow({ 200, 300, 240, 160 }, behindView);
    auto front = showWindow({ 300, 350, 240, 160 }, background());
    const unsigned long behindId = backend->hostFor(*behind)->xid();
    const unsigned long frontId = backend->hostFor(*front)->xid();
    auto above = [&](unsigned long a, unsigned long b) {
        auto order = stackingOrder();
        auto ia = std::find(order.begin(), order.end(), a), ib = std::find(order.begin(), order.end(), b);
        return ia != order.end() && ib != order.end() && ia > ib;
    };
    ASSERT_TRUE(waitFor([&] { return above(frontId, behindId); }));

    run(fmt::format("mousemove {} mousedown 1", rootPoint(*behind, { 20, 20 })));
    ASSERT_TRUE(waitFor([&] { return behindView->presses == 1; }));
    // The press has been handled: a raise it asked for is at the server once this program's requests are.
    syncWithServer();
    EXPECT_TRUE(above(frontId, behindId)) << "raised while the button is held";
    EXPECT_FALSE(behind->isKeyWindow());

    run("mouseup 1");
    EXPECT_TRUE(waitFor([&] { return above(behindId, frontId); })) << "not raised at the release";
    EXPECT_TRUE(behind->isKeyWindow());
}

// A drag the program reads only after the person let go (busy while the press was handled) is no window move: the
// window follows the pointer's way as far as the program saw it, and nothing keeps holding the pointer.
TEST_F(WindowMoveTest, ADragReadAfterTheReleaseLeavesNoMoveBehind)
{
    auto view = background();
    auto window = showWindow({ 200, 300, 240, 160 }, view);
    window->setMovableByWindowBackground(true);
    auto xid = backend->hostFor(*window)->xid();
    auto before = rootPositionOf(xid);
    ASSERT_TRUE(before);
    const auto content = deviceRectOfContent(*window);
    const int s = scale();
    const int startX = content[0] + 40 * s, startY = content[1] + 40 * s;
    // The whole gesture reaches the server while the press is still being handled here.
    view->beforeHandling = [&] {
        auto command = fmt::format("xdotool mousemove {} {} mouseup 1", startX + 24 * s, startY + 10 * s);
        EXPECT_EQ(std::system(command.c_str()), 0);
    };
    run(fmt::format("mousemove {} {} mousedown 1", startX, startY));
    ASSERT_TRUE(waitFor([&] { return view->presses == 1 && view->pressesHandled == 1; }));
    // A move's grab is made while the press is handled: had one begun, the server would know it by now.
    EXPECT_FALSE(pointerIsGrabbed()) << "a move begun after the release still holds the pointer";
    auto movedBy = [&](int dx, int dy) {
        auto now = rootPositionOf(xid);
        return now && now->first - before->first == dx && now->second - before->second == dy;
    };
    EXPECT_TRUE(waitFor([&] { return movedBy(24 * s, 10 * s); })) << "not moved by the pointer's way";

    // The next press is the window's, and the window stays where it is (a move still under way would take the
    // click's motion, before its press).
    run(fmt::format("mousemove {} {} click 1", startX + 24 * s + 40 * s, startY + 10 * s));
    EXPECT_TRUE(waitFor([&] { return view->presses == 2; }));
    auto last = rootPositionOf(xid);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->first - before->first, 24 * s) << "the window jumped with a later move";
}

// A window shown at half its scale shows its picture about its middle, over its background, on the X server.
TEST_F(WindowMoveTest, AWindowShownSmallerShowsItsPictureAboutItsMiddle)
{
    auto red = FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0));
    auto window = showWindow({ 200, 300, 200, 100 }, red);
    window->setBackgroundColor(gfx::Color::colorWithDeviceRed(0, 0, 1));
    window->setDisplayScale(0.5);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    auto looks = [&](int px, int py, std::uint32_t rgb) {
        auto shot = grabScreen(x, y, width, height);
        return shot.width > 0 && shot.at(px, py) == rgb;
    };
    const int s = scale();
    EXPECT_TRUE(waitFor([&] { return looks(10 * s, 10 * s, 0x0000FF); })) << "outside the half-size picture";
    EXPECT_TRUE(looks(100 * s, 50 * s, 0xFF0000)) << "its middle";
    EXPECT_TRUE(looks(60 * s, 30 * s, 0xFF0000)) << "just inside it";
    grabScreen(x, y, width, height).save("window-shown-at-half.png");
    window->setDisplayScale(1);
    EXPECT_TRUE(waitFor([&] { return looks(10 * s, 10 * s, 0xFF0000); })) << "full size again";
}

// The toolkit's touchpad events become ours: a swipe once the fingers lift after a long enough way, pinch steps
// whose factors multiply to the pinch's scale, rotation in degrees counterclockwise.
TEST(TouchpadGestureConverterTest, TouchpadEventsBecomeSwipesMagnificationsAndRotations)
{
    using Sample = ui::TouchpadSample;
    ui::TouchpadGestureConverter converter;
    auto swipe = [&](double dx, double dy) {
        converter.convert({ Sample::Kind::Swipe, Sample::Phase::Begin });
        converter.convert({ Sample::Kind::Swipe, Sample::Phase::Update, dx / 2, dy / 2 });
        converter.convert({ Sample::Kind::Swipe, Sample::Phase::Update, dx / 2, dy / 2 });
        return converter.convert({ Sample::Kind::Swipe, Sample::Phase::End });
    };
    auto left = swipe(-80, 10);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].type, ui::EventType::Swipe);
    EXPECT_EQ(left[0].deltaX, 1) << "fingers moving left swipe left: positive";
    EXPECT_EQ(left[0].deltaY, 0);
    auto down = swipe(10, 60);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].deltaY, -1) << "fingers moving down (y growing) swipe down: negative";
    EXPECT_TRUE(swipe(20, -20).empty()) << "too short a way is no swipe";
    converter.convert({ Sample::Kind::Swipe, Sample::Phase::Begin });
    converter.convert({ Sample::Kind::Swipe, Sample::Phase::Update, 200, 0 });
    EXPECT_TRUE(converter.convert({ Sample::Kind::Swipe, Sample::Phase::Cancel }).empty());

    // A pinch to 1.5 and back to 1.2, turning a quarter turn anticlockwise on the way.
    auto begin = converter.convert({ Sample::Kind::Pinch, Sample::Phase::Begin, 0, 0, 1.0, 0 });
    ASSERT_EQ(begin.size(), 1u);
    EXPECT_EQ(begin[0].phase, ui::EventPhase::Began);
    auto grow = converter.convert({ Sample::Kind::Pinch, Sample::Phase::Update, 0, 0, 1.5, -std::numbers::pi / 2 });
    ASSERT_EQ(grow.size(), 3u);
    EXPECT_NEAR(grow[0].magnification, 0.5, 1e-12);
    EXPECT_EQ(grow[1].type, ui::EventType::Rotate);
    EXPECT_EQ(grow[1].phase, ui::EventPhase::Began);
    EXPECT_NEAR(grow[2].rotation, 90, 1e-9);
    auto shrink = converter.convert({ Sample::Kind::Pinch, Sample::Phase::Update, 0, 0, 1.2, 0 });
    ASSERT_EQ(shrink.size(), 1u);
    EXPECT_NEAR((1 + grow[0].magnification) * (1 + shrink[0].magnification), 1.2, 1e-12);
    auto end = converter.convert({ Sample::Kind::Pinch, Sample::Phase::End, 0, 0, 1.2, 0 });
    ASSERT_EQ(end.size(), 2u);
    EXPECT_EQ(end[0].type, ui::EventType::Magnify);
    EXPECT_EQ(end[0].phase, ui::EventPhase::Ended);
    EXPECT_EQ(end[1].type, ui::EventType::Rotate);
    EXPECT_EQ(end[1].phase, ui::EventPhase::Ended);
    EXPECT_TRUE(converter.convert({ Sample::Kind::Hold, Sample::Phase::Begin }).empty());
}
