#include "ControlsTestSupport.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/text/TextField.h"

#include <sstream>

using namespace ui;
using namespace controlstest;

namespace {

// A cell that writes down the tracking protocol as the base class runs it.
class ProtocolCell : public ActionCell {
    UI_CELL_OBJECT(ProtocolCell)
public:
    bool startTrackingAt(gfx::Point p, View& view) override
    {
        note("start", p);
        ActionCell::startTrackingAt(p, view);
        return startAnswer;
    }
    bool continueTracking(gfx::Point last, gfx::Point p, View& view) override
    {
        note("continue", p, &last);
        ActionCell::continueTracking(last, p, view);
        return continues > 0 ? (--continues, true) : false;
    }
    void stopTracking(gfx::Point last, gfx::Point p, View& view, bool up) override
    {
        note(up ? "stop up" : "stop", p, &last);
        ActionCell::stopTracking(last, p, view, up);
    }
    void highlight(bool flag, gfx::Rect frame, View& view) override
    {
        log.push_back(flag ? "highlight" : "unhighlight");
        ActionCell::highlight(flag, frame, view);
    }
    void note(const char* what, gfx::Point p, const gfx::Point* last = nullptr)
    {
        std::ostringstream out;
        out << what << " " << p.x << "," << p.y;
        if (last)
            out << " from " << last->x << "," << last->y;
        log.push_back(out.str());
    }
    bool startAnswer { true };
    int continues { 100 };
    std::vector<std::string> log;
};
FND_REGISTER_CLASS(ProtocolCell, ActionCell)

class LoggingWindowDelegate : public ActionLog, public WindowDelegate {
    FND_OBJECT(LoggingWindowDelegate)
};
FND_REGISTER_CLASS(LoggingWindowDelegate, ActionLog)

class TrackingProtocolTest : public ControlsTest {
protected:
    TrackingProtocolTest()
    {
        control = Control::create({ 20, 100, 100, 40 });
        control->setCell(fnd::makeObject<ProtocolCell>());
        control->setTarget(log);
        control->setAction("clicked:");
        add(control);
        cell = std::static_pointer_cast<ProtocolCell>(control->cell());
    }
    std::shared_ptr<Control> control;
    std::shared_ptr<ProtocolCell> cell;
};

TEST_F(TrackingProtocolTest, StartContinueStopInOrderWithPointsInTheView)
{
    press(*control, { 10, 10 });
    drag(*control, { 20, 15 });
    drag(*control, { 30, 20 });
    release(*control, { 35, 25 });
    dispatch();
    EXPECT_EQ(cell->log,
        (std::vector<std::string> { "highlight", "start 10,10", "continue 20,15 from 10,10",
            "continue 30,20 from 20,15", "stop up 35,25 from 30,20", "unhighlight" }));
    EXPECT_EQ(log->count("clicked"), 1);
}

TEST_F(TrackingProtocolTest, DeclinedTrackingStillWaitsForTheRelease)
{
    // startTrackingAt answering false means no continueTracking at all; one false from continueTracking stops
    // the later ones. The action still goes on the release inside.
    cell->startAnswer = false;
    press(*control, { 10, 10 });
    drag(*control, { 20, 10 });
    release(*control, { 20, 10 });
    dispatch();
    EXPECT_EQ(cell->log,
        (std::vector<std::string> { "highlight", "start 10,10", "stop up 20,10 from 20,10", "unhighlight" }));
    cell->log.clear();
    cell->startAnswer = true;
    cell->continues = 0;
    press(*control, { 10, 10 });
    drag(*control, { 20, 10 });
    drag(*control, { 30, 10 });
    release(*control, { 30, 10 });
    dispatch();
    EXPECT_EQ(cell->log,
        (std::vector<std::string> {
            "highlight", "start 10,10", "continue 20,10 from 10,10", "stop up 30,10 from 30,10", "unhighlight" }));
    EXPECT_EQ(log->count("clicked"), 2);
}

TEST_F(TrackingProtocolTest, LeavingTheFrameEndsTrackingUntilTheMouseComesBack)
{
    press(*control, { 10, 10 });
    drag(*control, { 200, 10 }); // out: the cell stops, the control waits
    drag(*control, { 220, 10 });
    drag(*control, { 50, 20 }); // back in: the cell tracks again
    release(*control, { 50, 20 });
    dispatch();
    EXPECT_EQ(cell->log,
        (std::vector<std::string> { "highlight", "start 10,10", "stop 200,10 from 10,10", "unhighlight", "highlight",
            "start 50,20", "stop up 50,20 from 50,20", "unhighlight" }));
    EXPECT_EQ(log->count("clicked"), 1);
}

TEST_F(TrackingProtocolTest, SendActionOnMasks)
{
    // On the press (and not on the release).
    control->sendActionOn(EventMasks::LeftMouseDown);
    press(*control, { 10, 10 });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1) << "before the release";
    release(*control, { 10, 10 });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1);

    // On every drag, and the release.
    control->sendActionOn(EventMasks::LeftMouseDragged | EventMasks::LeftMouseUp);
    press(*control, { 10, 10 });
    drag(*control, { 11, 10 });
    drag(*control, { 12, 10 });
    release(*control, { 12, 10 });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 4);

    // A double click on a control that ignores them does nothing the second time.
    control->sendActionOn(EventMasks::LeftMouseUp);
    control->setIgnoresMultiClick(true);
    backend->mouseDown(*window, inWindow(*control, { 10, 10 }), 0, 1);
    backend->mouseUp(*window, inWindow(*control, { 10, 10 }), 0, 1);
    backend->mouseDown(*window, inWindow(*control, { 10, 10 }), 0, 2);
    backend->mouseUp(*window, inWindow(*control, { 10, 10 }), 0, 2);
    dispatch();
    EXPECT_EQ(log->count("clicked"), 5);
}

TEST_F(TrackingProtocolTest, ActionsWithoutTargetTravelTheResponderChain)
{
    control->setTarget(nullptr);
    EXPECT_FALSE(control->sendAction(control->action(), nullptr)) << "nobody answers yet";
    // The window's delegate is on the key window's chain.
    auto delegate = std::make_shared<LoggingWindowDelegate>();
    window->setDelegate(delegate);
    click(*control);
    EXPECT_EQ(delegate->count("clicked"), 1);
    ASSERT_EQ(delegate->senders.size(), 1u);
    EXPECT_EQ(delegate->senders.back().object(), control);
    // A target given to sendAction wins over the chain.
    EXPECT_TRUE(control->sendAction("clicked:", log));
    EXPECT_EQ(log->count("clicked"), 1);

    // performClick clicks as the mouse would, unless the control is disabled.
    control->setTarget(log);
    control->performClick();
    EXPECT_EQ(log->count("clicked"), 2);
    control->setEnabled(false);
    control->performClick();
    click(*control);
    EXPECT_EQ(log->count("clicked"), 2);
}

TEST_F(TrackingProtocolTest, DisablingTheFirstResponderGivesTheKeyboardBack)
{
    auto field = TextField::create({ 20, 20, 150, 24 });
    add(field);
    ASSERT_TRUE(window->makeFirstResponder(field));
    field->setEnabled(false);
    EXPECT_EQ(window->firstResponder(), window);
    EXPECT_FALSE(window->makeFirstResponder(field)) << "a disabled field refuses the keyboard";
    // Values taken from another control.
    field->setEnabled(true);
    auto source = TextField::create();
    source->setStringValue("copied");
    field->takeStringValueFrom(fnd::Value(std::static_pointer_cast<fnd::Object>(source)));
    EXPECT_EQ(field->stringValue(), u"copied");
    field->takeDoubleValueFrom(fnd::Value(std::static_pointer_cast<fnd::Object>(source->cell())));
    EXPECT_EQ(field->doubleValue(), 0);
    // sizeToFit takes the cell's natural size.
    field->setStringValue("A longer text for the field");
    field->sizeToFit();
    EXPECT_EQ(field->frame().size, field->cell()->cellSize());
}

}
