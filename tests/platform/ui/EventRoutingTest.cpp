#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"

using namespace ui;
using uitest::TestView;

namespace {

using Strings = std::vector<std::string>;

class EventRoutingTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        window = Window::create({ 100, 100, 200, 100 });
        left = TestView::make({ 0, 0, 100, 100 });
        right = TestView::make({ 100, 0, 100, 100 });
        window->contentView()->addSubview(left);
        window->contentView()->addSubview(right);
        window->makeKeyAndOrderFront();
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<TestView> left, right;
};

// Owns tracking areas and writes down what they report.
class AreaOwner : public Responder {
public:
    void mouseEntered(const Event& e) override { log.push_back("enter " + name(e)); }
    void mouseExited(const Event& e) override { log.push_back("exit " + name(e)); }
    void mouseMoved(const Event& e) override { log.push_back("moved " + name(e)); }
    std::string name(const Event& e) const
    {
        return e.trackingArea() ? e.trackingArea()->userInfo().stringValue().utf8() : "?";
    }
    Strings log;
};

class CountingCursor : public SettableCursor {
public:
    explicit CountingCursor(std::string name, Strings& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    void set() override { m_log.push_back(m_name); }

private:
    std::string m_name;
    Strings& m_log;
};

}

TEST_F(EventRoutingTest, TheViewUnderThePressKeepsTheDragAndTheRelease)
{
    backend->mouseDown(*window, { 50, 50 });
    backend->mouseDragged(*window, { 150, 50 });
    backend->mouseUp(*window, { 160, 40 });
    backend->dispatchEvents();
    EXPECT_EQ(left->events, (Strings { "down", "dragged", "up" }));
    EXPECT_TRUE(right->events.empty());
    ASSERT_EQ(left->locations.size(), 3u);
    EXPECT_EQ(left->locations[2], gfx::Point(160, 40));
    EXPECT_EQ(app().currentEvent()->type(), EventType::LeftMouseUp);
    // The mouse position follows the events, on the screen.
    EXPECT_EQ(Event::mouseLocation(), gfx::Point(260, 140));

    // A pressed view that leaves the window hears nothing more of the press.
    left->events.clear();
    left->onMouseDown = [&](const Event&) { left->removeFromSuperview(); };
    backend->mouseDown(*window, { 50, 50 });
    backend->mouseDragged(*window, { 60, 50 });
    backend->mouseUp(*window, { 60, 50 });
    backend->dispatchEvents();
    EXPECT_EQ(left->events, (Strings { "down" }));
    left->onMouseDown = nullptr;
    window->contentView()->addSubview(left, WindowOrderingMode::Below, nullptr);

    backend->scrollWheel(*window, { 150, 50 }, 0, -3);
    backend->rightMouseDown(*window, { 10, 10 });
    backend->dispatchEvents();
    EXPECT_EQ(right->events.back(), "scroll");
    EXPECT_EQ(left->events.back(), "rightDown");
}

TEST_F(EventRoutingTest, ATrackingLoopPullsLaterEventsOnTheVirtualClock)
{
    Strings seen;
    std::vector<double> times;
    auto start = clock->now();
    left->onMouseDown = [&](const Event&) {
        for (;;) {
            auto e = app().nextEvent(EventMasks::LeftMouseDragged | EventMasks::LeftMouseUp, fnd::Date::distantFuture(),
                fnd::RunLoopMode::EventTracking, true);
            if (!e)
                break;
            seen.push_back(e->type() == EventType::LeftMouseUp ? "up" : "dragged");
            times.push_back(e->timestamp() - start.timeIntervalSinceReferenceDate());
            if (e->type() == EventType::LeftMouseUp)
                break;
        }
    };
    backend->mouseDown(*window, { 20, 20 });
    // A key press while tracking is left in the queue for later.
    backend->keyDown(*window, "x", KeyCode::X);
    backend->after(0.1, [&] { backend->mouseDragged(*window, { 30, 20 }); });
    backend->after(0.25, [&] { backend->mouseDragged(*window, { 40, 20 }); });
    backend->after(0.5, [&] { backend->mouseUp(*window, { 40, 20 }); });
    left->takesFocus = true;
    backend->dispatchEvents();

    EXPECT_EQ(seen, (Strings { "dragged", "dragged", "up" }));
    ASSERT_EQ(times.size(), 3u);
    EXPECT_NEAR(times[0], 0.1, 1e-9);
    EXPECT_NEAR(times[1], 0.25, 1e-9);
    EXPECT_NEAR(times[2], 0.5, 1e-9);
    // The loop consumed the drags and the release; the key press went on to the view after it.
    EXPECT_EQ(left->events, (Strings { "down", "key:x" }));
}

TEST_F(EventRoutingTest, NextEventPeeksWaitsUntilADateAndPostsAtTheFront)
{
    auto e1 = Event::otherEventWithType(EventType::ApplicationDefined, {}, 0, 0, 0, 1, 0, 0);
    auto e2 = Event::otherEventWithType(EventType::ApplicationDefined, {}, 0, 0, 0, 2, 0, 0);
    app().postEvent(e1, false);
    app().postEvent(e2, true);
    EXPECT_EQ(app().nextEvent(EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, false), e2);
    EXPECT_EQ(app().nextEvent(EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true), e2);
    EXPECT_EQ(app().nextEvent(EventMasks::KeyDown, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true), nullptr);
    EXPECT_EQ(
        app().nextEvent(EventMasks::ApplicationDefined, fnd::Date::distantPast(), fnd::RunLoopMode::Default, true), e1);

    auto before = clock->now();
    EXPECT_EQ(
        app().nextEvent(EventMasks::Any, before.addingTimeInterval(2), fnd::RunLoopMode::EventTracking, true), nullptr);
    EXPECT_NEAR(clock->now().timeIntervalSince(before), 2, 1e-9);
}

TEST_F(EventRoutingTest, KeysGoToTheFirstResponderAndUnansweredKeysBeep)
{
    left->takesFocus = true;
    backend->click(*window, { 10, 10 });
    backend->keyDown(*window, "a", KeyCode::A);
    backend->dispatchEvents();
    EXPECT_EQ(window->firstResponder(), left);
    EXPECT_EQ(left->events.back(), "key:a");
    EXPECT_EQ(backend->beepCount(), 0);

    // A view that does not take focus leaves the first responder where it was; the window answers nothing.
    backend->click(*window, { 150, 10 });
    backend->dispatchEvents();
    EXPECT_EQ(window->firstResponder(), left);
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(window->firstResponder(), window);
    backend->keyDown(*window, "b", KeyCode::B);
    backend->dispatchEvents();
    EXPECT_EQ(backend->beepCount(), 1);

    // A focused view taken out of the window gives the keyboard back to the window.
    window->makeFirstResponder(left);
    left->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), window);
    window->contentView()->addSubview(left);

    // Function keys carry the platform's private-use characters.
    left->takesFocus = true;
    window->makeFirstResponder(left);
    backend->keyDown(*window, fnd::String(std::u16string(1, FunctionKey::LeftArrow)), KeyCode::LeftArrow);
    backend->dispatchEvents();
    EXPECT_EQ(left->events.back(), "key:" + fnd::String(std::u16string(1, char16_t(0xF702))).utf8());
}

TEST_F(EventRoutingTest, AFirstClickOnABackgroundWindowOnlyActivatesIt)
{
    auto other = Window::create({ 400, 100, 100, 100 });
    auto view = TestView::make({ 0, 0, 100, 100 });
    other->contentView()->addSubview(view);
    other->orderFront();
    ASSERT_TRUE(window->isKeyWindow());

    backend->click(*other, { 50, 50 });
    backend->dispatchEvents();
    EXPECT_TRUE(other->isKeyWindow());
    EXPECT_EQ(view->events, (Strings { "up" })); // the press only activated the window

    window->makeKeyWindow();
    view->events.clear();
    view->takesFirstMouse = true;
    backend->click(*other, { 50, 50 });
    backend->dispatchEvents();
    EXPECT_EQ(view->events, (Strings { "down", "up" }));
}

TEST_F(EventRoutingTest, TrackingAreasReportLeavingBeforeEntering)
{
    auto owner = std::make_shared<AreaOwner>();
    using namespace TrackingOptions;
    left->addTrackingArea(TrackingArea::create({ 0, 0, 50, 50 }, MouseEnteredAndExited | ActiveAlways, owner, "A"));
    left->addTrackingArea(
        TrackingArea::create({ 50, 0, 50, 50 }, MouseEnteredAndExited | MouseMoved | ActiveAlways, owner, "B"));
    // Only while the window is key.
    right->addTrackingArea(
        TrackingArea::create({ 0, 0, 100, 100 }, MouseEnteredAndExited | ActiveInKeyWindow, owner, "K"));

    struct Step {
        gfx::Point point;
        bool drag;
        Strings expected;
    };
    const Step steps[] = {
        { { 10, 10 }, false, { "enter A" } },
        { { 20, 20 }, false, {} },
        { { 60, 10 }, false, { "exit A", "enter B" } },
        { { 70, 10 }, false, { "moved B" } },
        { { 150, 10 }, true, {} }, // dragging past areas not enabled during drags changes nothing
        { { 150, 10 }, false, { "exit B", "enter K" } },
        { { 10, 90 }, false, { "exit K" } },
    };
    for (const auto& step : steps) {
        owner->log.clear();
        if (step.drag)
            backend->mouseDragged(*window, step.point);
        else
            backend->mouseMoved(*window, step.point);
        backend->dispatchEvents();
        EXPECT_EQ(owner->log, step.expected) << "at " << step.point.x << ", " << step.point.y;
    }

    // An area that assumes the mouse inside reports leaving at the first move outside.
    owner->log.clear();
    auto assumed
        = TrackingArea::create({ 0, 60, 10, 10 }, MouseEnteredAndExited | ActiveAlways | AssumeInside, owner, "S");
    left->addTrackingArea(assumed);
    backend->mouseMoved(*window, { 30, 30 });
    backend->dispatchEvents();
    EXPECT_EQ(owner->log, (Strings { "exit S", "enter A" }));

    // The older tracking rects go away by tag.
    long tag = right->addTrackingRect({ 0, 0, 10, 10 }, owner, "T", false);
    right->removeTrackingRect(tag);
    EXPECT_EQ(right->trackingAreas().size(), 1u);
}

TEST_F(EventRoutingTest, CursorRectsSetTheirCursorAndTheDefaultOutside)
{
    Strings log;
    auto arrow = std::make_shared<CountingCursor>("arrow", log);
    auto beam = std::make_shared<CountingCursor>("beam", log);
    auto cross = std::make_shared<CountingCursor>("cross", log);
    setDefaultCursor(arrow);
    struct CursorView : TestView {
        void resetCursorRects() override
        {
            ++resets;
            addCursorRect({ 0, 0, 50, 50 }, outer);
            addCursorRect({ 10, 10, 10, 10 }, inner);
        }
        std::shared_ptr<SettableCursor> outer, inner;
        int resets { 0 };
    };
    auto view = std::make_shared<CursorView>();
    view->initWithFrame({ 0, 0, 100, 100 });
    view->outer = beam;
    view->inner = cross;
    left->addSubview(view);

    for (gfx::Point p : { gfx::Point { 30, 30 }, gfx::Point { 31, 31 }, gfx::Point { 15, 15 }, gfx::Point { 80, 80 } })
        backend->mouseMoved(*window, p);
    backend->dispatchEvents();
    EXPECT_EQ(log, (Strings { "beam", "cross", "arrow" }));
    EXPECT_EQ(view->resets, 1);

    // Moving the view invalidates the rects; they are rebuilt at the next move.
    view->setFrameOrigin({ 50, 50 });
    backend->mouseMoved(*window, { 85, 85 });
    backend->dispatchEvents();
    EXPECT_EQ(view->resets, 2);
    EXPECT_EQ(log.back(), "beam");
    setDefaultCursor(nullptr);
}

TEST_F(EventRoutingTest, KeyEquivalentsAreOfferedToTheViewsFirst)
{
    struct Shortcut : TestView {
        bool performKeyEquivalent(const Event& e) override
        {
            if (e.charactersIgnoringModifiers() != "k")
                return false;
            ++taken;
            return true;
        }
        int taken { 0 };
    };
    auto view = std::make_shared<Shortcut>();
    view->initWithFrame({ 0, 0, 10, 10 });
    view->takesFocus = true;
    right->addSubview(view);
    window->makeFirstResponder(view);
    backend->keyDown(*window, "k", KeyCode::K, ModifierFlags::Command);
    backend->keyDown(*window, "j", KeyCode::J, ModifierFlags::Command);
    backend->dispatchEvents();
    EXPECT_EQ(view->taken, 1);
    EXPECT_EQ(view->events, (Strings { "key:j" })); // not taken as an equivalent: an ordinary key press
}
