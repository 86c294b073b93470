#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"

#include <string>
#include <vector>

namespace pointertest {

using ui::Event;
using ui::EventPhase;
using ui::EventType;

// Runs its own tracking loop from the press to the release and notes where the pointer is after each event taken.
class TrackingView : public ui::View {
    FND_OBJECT(TrackingView)
public:
    void mouseDown(const ui::Event&) override
    {
        seen.push_back(Event::mouseLocation());
        for (;;) {
            auto e = ui::Application::shared().nextEvent(ui::EventMasks::LeftMouseDragged | ui::EventMasks::LeftMouseUp,
                fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
            if (!e)
                return;
            seen.push_back(Event::mouseLocation());
            buttons.push_back(Event::pressedMouseButtons());
            if (e->type() == EventType::LeftMouseUp)
                return;
        }
    }
    std::vector<gfx::Point> seen;
    std::vector<unsigned> buttons;
};
FND_REGISTER_CLASS(TrackingView, ui::View)

// Answers the ordering and moving questions as told, and records the presses and gestures it gets.
class PressView : public ui::View {
    FND_OBJECT(PressView)
public:
    bool isOpaque() const override { return opaque; }
    bool acceptsFirstMouse(const ui::Event*) override { return firstMouse; }
    bool shouldDelayWindowOrderingForEvent(const ui::Event&) override { return delay; }
    void mouseDown(const ui::Event& event) override
    {
        log.push_back("down");
        wasKeyDuringPress = window() && window()->isKeyWindow();
        if (preventOrdering)
            ui::Application::shared().preventWindowOrdering();
        if (passesPressOn)
            ui::View::mouseDown(event);
    }
    void swipeWithEvent(const ui::Event& e) override
    {
        log.push_back("swipe " + std::to_string(int(e.deltaX())) + " " + std::to_string(int(e.deltaY())));
    }
    void magnifyWithEvent(const ui::Event& e) override
    {
        log.push_back("magnify " + std::to_string(e.magnification()) + " phase "
            + std::to_string(static_cast<unsigned>(e.phase())));
    }
    bool opaque { false };
    bool firstMouse { true };
    bool delay { false };
    bool preventOrdering { false };
    bool passesPressOn { true };
    bool wasKeyDuringPress { false };
    std::vector<std::string> log;
};
FND_REGISTER_CLASS(PressView, ui::View)

// Fills itself with red.
class RedView : public ui::View {
    FND_OBJECT(RedView)
public:
    static std::shared_ptr<RedView> create(gfx::Rect frame)
    {
        auto view = ui::makeView<RedView>(frame);
        return view;
    }
    void drawRect(gfx::Rect dirty) override
    {
        gfx::Color::colorWithDeviceRed(1, 0, 0, 1)->setFill();
        gfx::GraphicsContext::current()->fillRect(dirty);
    }
};
FND_REGISTER_CLASS(RedView, ui::View)

// Takes the rotation only; the other gestures go up the chain.
class RotationView : public ui::View {
    FND_OBJECT(RotationView)
public:
    void rotateWithEvent(const ui::Event& e) override { degrees.push_back(e.rotation()); }
    std::vector<double> degrees;
};
FND_REGISTER_CLASS(RotationView, ui::View)

class PointerTest : public uitest::UiTest {
protected:
    // A window at (100, 100) of 300 × 200 with the view filling its content.
    template <typename V> std::shared_ptr<V> windowWith(unsigned style = ui::WindowStyleMask::Titled)
    {
        window = ui::Window::create({ 100, 100, 300, 200 }, style);
        auto view = ui::makeView<V>({ 0, 0, 300, 200 });
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront();
        return view;
    }
    std::shared_ptr<ui::Window> window;
};

// The pointer the program sees follows every event its own loops take, not only what the main loop sends.
TEST_F(PointerTest, ThePointerFollowsTheEventsATrackingLoopTakes)
{
    auto view = windowWith<TrackingView>();
    auto origin = window->convertBaseToScreen({ 0, 0 });
    backend->mouseDown(*window, { 30, 40 });
    backend->mouseDragged(*window, { 80, 60 });
    backend->mouseDragged({ 700, 500 }); // outside the window, on the screen
    backend->mouseUp({ 710, 505 });
    backend->dispatchEvents();

    ASSERT_EQ(view->seen.size(), 4u);
    EXPECT_EQ(view->seen[0], gfx::Point(origin.x + 30, origin.y + 40));
    EXPECT_EQ(view->seen[1], gfx::Point(origin.x + 80, origin.y + 60));
    EXPECT_EQ(view->seen[2], gfx::Point(700, 500));
    EXPECT_EQ(view->seen[3], gfx::Point(710, 505));
    EXPECT_EQ(view->buttons, (std::vector<unsigned> { 1, 1, 0 })) << "the left button is held until its release";
    EXPECT_EQ(window->mouseLocationOutsideOfEventStream(), gfx::Point(710 - origin.x, 505 - origin.y));
}

// A press on the background of a window movable by it moves the window once it becomes a drag; the window follows
// the pointer's movement on the screen. Views that keep the press, opaque views and other windows stay put.
TEST_F(PointerTest, ADragOnTheBackgroundMovesAWindowMovableByIt)
{
    struct Case {
        const char* what;
        unsigned style;
        std::optional<bool> movable;
        bool opaque;
        bool passesPressOn;
        gfx::Size expectedMove;
    };
    const Case cases[] = {
        { "textured windows move by their background",
            ui::WindowStyleMask::Titled | ui::WindowStyleMask::TexturedBackground, std::nullopt, false, true,
            { 75, -35 } },
        { "a plain window when told", ui::WindowStyleMask::Titled, true, false, true, { 75, -35 } },
        { "a plain window by default", ui::WindowStyleMask::Titled, std::nullopt, false, true, { 0, 0 } },
        { "a textured window told not to", ui::WindowStyleMask::TexturedBackground, false, false, true, { 0, 0 } },
        { "an opaque view is no background", ui::WindowStyleMask::TexturedBackground, std::nullopt, true, true,
            { 0, 0 } },
        { "a view that keeps the press", ui::WindowStyleMask::TexturedBackground, std::nullopt, false, false,
            { 0, 0 } },
    };
    for (const auto& c : cases) {
        auto view = windowWith<PressView>(c.style);
        if (c.movable)
            window->setMovableByWindowBackground(*c.movable);
        view->opaque = c.opaque;
        view->passesPressOn = c.passesPressOn;
        auto before = window->frame();
        auto press = window->convertBaseToScreen({ 20, 20 });
        backend->mouseDown(*window, { 20, 20 });
        backend->mouseDragged({ press.x + 50, press.y - 20 });
        backend->mouseDragged({ press.x + 75, press.y - 35 });
        backend->mouseUp({ press.x + 75, press.y - 35 });
        backend->dispatchEvents();
        EXPECT_EQ(window->frame().origin,
            gfx::Point(before.minX() + c.expectedMove.width, before.minY() + c.expectedMove.height))
            << c.what;
        EXPECT_EQ(window->frame().size, before.size) << c.what;
        window->close();
    }
}

// A click that does not become a drag leaves a movable window where it is.
TEST_F(PointerTest, AClickOnTheBackgroundDoesNotMoveTheWindow)
{
    windowWith<PressView>(ui::WindowStyleMask::TexturedBackground);
    auto before = window->frame();
    backend->click(*window, { 20, 20 });
    backend->dispatchEvents();
    EXPECT_EQ(window->frame(), before);
}

// A view that delays its window's ordering gets the press in an inactive window that stays behind until the
// release; a press that prevents the ordering (a drag starting) leaves it behind for good.
TEST_F(PointerTest, DelayedOrderingBringsTheWindowForwardAtTheRelease)
{
    auto view = windowWith<PressView>();
    auto back = window;
    auto front = ui::Window::create({ 600, 100, 200, 200 });
    front->makeKeyAndOrderFront();
    ASSERT_EQ(app().orderedWindows().front(), front);

    // Without a delay the press brings the window forward at once.
    backend->mouseDown(*back, { 20, 20 });
    backend->dispatchEvents();
    EXPECT_TRUE(view->wasKeyDuringPress);
    backend->mouseUp(*back, { 20, 20 });
    backend->dispatchEvents();

    front->makeKeyAndOrderFront();
    view->delay = true;
    backend->mouseDown(*back, { 20, 20 });
    backend->dispatchEvents();
    EXPECT_FALSE(view->wasKeyDuringPress);
    EXPECT_EQ(app().orderedWindows().front(), front) << "still behind while the button is held";
    backend->mouseUp(*back, { 20, 20 });
    backend->dispatchEvents();
    EXPECT_EQ(app().orderedWindows().front(), back);
    EXPECT_TRUE(back->isKeyWindow());

    front->makeKeyAndOrderFront();
    view->preventOrdering = true;
    backend->click(*back, { 20, 20 });
    backend->dispatchEvents();
    EXPECT_EQ(app().orderedWindows().front(), front);
    EXPECT_TRUE(front->isKeyWindow());
    EXPECT_EQ(view->log.size(), 3u) << "each press reached the view";
}

// Gestures come to the view under the pointer and go up the chain when it does not take them; a sheet blocks them.
TEST_F(PointerTest, GesturesReachTheViewUnderThePointer)
{
    auto outer = windowWith<PressView>();
    auto inner = ui::makeView<RotationView>({ 10, 10, 100, 100 });
    outer->addSubview(inner);

    backend->swipe(*window, { 50, 50 }, 1, 0);
    backend->magnify(*window, { 50, 50 }, 0.25, EventPhase::Changed);
    backend->rotate(*window, { 50, 50 }, -15, EventPhase::Changed);
    backend->swipe(*window, { 200, 150 }, 0, -1);
    backend->dispatchEvents();
    EXPECT_EQ(outer->log, (std::vector<std::string> { "swipe 1 0", "magnify 0.250000 phase 4", "swipe 0 -1" }));
    EXPECT_EQ(inner->degrees, (std::vector<double> { -15 }));

    auto sheet = ui::Window::create({ 0, 0, 100, 50 });
    window->beginSheet(sheet, nullptr);
    backend->swipe(*window, { 200, 150 }, 1, 0);
    backend->dispatchEvents();
    EXPECT_EQ(outer->log.size(), 3u) << "a window under a sheet takes no gestures";
    window->endSheet(sheet);
}

// A window whose zoom button is off neither zooms when asked as the button would be nor offers Zoom in a menu.
TEST_F(PointerTest, AWindowThatCannotZoomStaysItsSize)
{
    window = ui::Window::create({ 100, 100, 200, 122 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Resizable);
    window->orderFront();
    auto item = fnd::makeObject<ui::MenuItem>();
    item->setAction(fnd::Selector("performZoom:"));
    auto before = window->frame();

    window->setStandardWindowButtonEnabled(ui::WindowButton::Zoom, false);
    EXPECT_FALSE(window->isZoomable());
    EXPECT_FALSE(window->validateMenuItem(fnd::Value(item)));
    window->performZoom({});
    EXPECT_EQ(window->frame(), before);
    EXPECT_EQ(backend->beepCount(), 1);

    window->setStandardWindowButtonEnabled(ui::WindowButton::Zoom, true);
    EXPECT_TRUE(window->validateMenuItem(fnd::Value(item)));
    window->performZoom({});
    EXPECT_EQ(window->frame(), gfx::Rect(0, 0, 1440, 878)) << "the screen's visible frame";

    auto fixed = ui::Window::create({ 100, 100, 200, 122 }, ui::WindowStyleMask::Titled);
    EXPECT_FALSE(fixed->isZoomable()) << "a window that cannot be resized cannot zoom";
}

// A window shown at a smaller scale shows its picture about its middle over its background; its frame and content
// stay as they are.
TEST_F(PointerTest, AWindowShownSmallerShowsItsPictureAboutItsMiddle)
{
    window = ui::Window::create({ 100, 100, 200, 100 }, ui::WindowStyleMask::Borderless);
    window->setBackgroundColor(gfx::Color::colorWithDeviceRed(0, 0, 1, 1));
    window->contentView()->addSubview(RedView::create({ 0, 0, 200, 100 }));
    window->orderFront();
    const auto frame = window->frame();
    auto pixelAt = [](const gfx::BitmapImageRep& image, int x, int y) { return image.pixelBuffer().row(y)[x]; };

    window->setDisplayScale(0.5);
    auto half = backend->imageOfWindowAsShown(*window);
    EXPECT_EQ(pixelAt(*half, 100, 50), 0xFFFF0000u) << "the middle shows the picture";
    EXPECT_EQ(pixelAt(*half, 51, 26), 0xFFFF0000u) << "just inside the half-size picture";
    EXPECT_EQ(pixelAt(*half, 49, 24), 0xFF0000FFu) << "outside it, the background";
    EXPECT_EQ(pixelAt(*half, 190, 90), 0xFF0000FFu);
    EXPECT_EQ(window->frame(), frame);

    window->setDisplayScale(1);
    auto full = backend->imageOfWindowAsShown(*window);
    EXPECT_EQ(pixelAt(*full, 190, 90), 0xFFFF0000u);
    window->setDisplayScale(7);
    EXPECT_EQ(window->displayScale(), 1) << "never above its size";
}

}
