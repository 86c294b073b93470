#include "ControlsTestSupport.h"

#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/look/SystemColors.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

// A component's segmented cell that lays its segments out itself and notes what it is asked to draw.
class SquareSegmentsCell : public SegmentedCell {
    UI_CELL_OBJECT(SquareSegmentsCell)
public:
    gfx::Rect rectForSegment(long segment, gfx::Rect frame) const override
    {
        return { frame.minX() + 40.0 * double(segment), frame.minY(), 30, frame.height() };
    }
    void drawSegment(long segment, gfx::Rect frame, View& view) override
    {
        drawn.push_back(frame);
        SegmentedCell::drawSegment(segment, frame, view);
    }
    std::vector<gfx::Rect> drawn;
};
FND_REGISTER_CLASS(SquareSegmentsCell, SegmentedCell)

class SegmentedControlTest : public ControlsTest {
protected:
    std::shared_ptr<SegmentedControl> make(SegmentSwitchTracking mode)
    {
        auto control = SegmentedControl::segmentedControlWithLabels({ "One", "Two", "Three" }, mode, log, "clicked:");
        control->setFrame({ 20, 100, 240, 30 });
        add(control);
        return control;
    }
    void clickSegment(SegmentedControl& control, long segment)
    {
        auto rect = control.segmentedCell()->rectForSegment(segment, control.bounds());
        press(control, { rect.midX(), rect.midY() });
        release(control, { rect.midX(), rect.midY() });
        dispatch();
    }
    static std::vector<bool> selection(const SegmentedControl& control)
    {
        std::vector<bool> flags;
        for (long i = 0; i < control.segmentCount(); ++i)
            flags.push_back(control.isSelectedForSegment(i));
        return flags;
    }
};

TEST_F(SegmentedControlTest, SelectOneKeepsOneSegmentChosen)
{
    auto control = make(SegmentSwitchTracking::SelectOne);
    clickSegment(*control, 1);
    clickSegment(*control, 2);
    EXPECT_EQ(control->selectedSegment(), 2);
    EXPECT_EQ(selection(*control), (std::vector<bool> { false, false, true }));
    EXPECT_EQ(log->count("clicked"), 2);

    control->setEnabled(false, 0);
    clickSegment(*control, 0);
    EXPECT_EQ(control->selectedSegment(), 2) << "a disabled segment cannot be chosen";
    // Pressed on one segment, released on another: nothing.
    auto first = control->segmentedCell()->rectForSegment(1, control->bounds());
    auto other = control->segmentedCell()->rectForSegment(2, control->bounds());
    press(*control, { first.midX(), first.midY() });
    drag(*control, { other.midX(), other.midY() });
    release(*control, { other.midX(), other.midY() });
    dispatch();
    EXPECT_EQ(control->selectedSegment(), 2);
    EXPECT_EQ(log->count("clicked"), 2);
    EXPECT_TRUE(control->selectSegmentWithTag(0));
}

TEST_F(SegmentedControlTest, SelectAnyTogglesAndMomentaryKeepsNothing)
{
    auto any = make(SegmentSwitchTracking::SelectAny);
    clickSegment(*any, 0);
    clickSegment(*any, 2);
    clickSegment(*any, 0);
    EXPECT_EQ(selection(*any), (std::vector<bool> { false, false, true }));
    EXPECT_EQ(any->selectedSegment(), 0) << "the last segment clicked";

    auto momentary = make(SegmentSwitchTracking::Momentary);
    momentary->setFrameOrigin({ 20, 40 });
    clickSegment(*momentary, 1);
    EXPECT_EQ(momentary->selectedSegment(), 1);
    EXPECT_EQ(selection(*momentary), (std::vector<bool> { false, false, false }));
    EXPECT_EQ(log->count("clicked"), 4);
}

TEST_F(SegmentedControlTest, KeyboardMovesBetweenSegmentsAndChooses)
{
    auto control = make(SegmentSwitchTracking::SelectOne);
    control->setEnabled(false, 1);
    window->makeFirstResponder(control);
    auto right = fnd::String(std::u16string(1, FunctionKey::RightArrow));
    key(right, KeyCode::RightArrow);
    EXPECT_EQ(control->segmentedCell()->keyboardSegment(), 2) << "the disabled segment is skipped";
    key(" ", KeyCode::Space);
    EXPECT_EQ(control->selectedSegment(), 2);
    EXPECT_EQ(log->count("clicked"), 1);
}

TEST_F(SegmentedControlTest, LayoutAndDrawingFollowTheSegmentHooks)
{
    auto control = make(SegmentSwitchTracking::SelectOne);
    control->setWidth(100, 0);
    auto* cell = control->segmentedCell().get();
    auto bounds = control->bounds();
    EXPECT_EQ(cell->rectForSegment(0, bounds), (gfx::Rect { 0, 0, 100, 30 }));
    auto second = cell->rectForSegment(1, bounds), third = cell->rectForSegment(2, bounds);
    EXPECT_EQ(second.minX(), 100);
    EXPECT_EQ(third.maxX(), 240) << "segments sized to their content share the rest";
    EXPECT_NEAR(second.width() - cell->naturalWidthForSegment(1), third.width() - cell->naturalWidthForSegment(2), 1);

    control->setSelectedSegment(1);
    auto image = snapshot("segmented");
    auto accent = SystemColors::accentColor()->rgba();
    auto accentPixel
        = argb(255, unsigned(accent[0] * 255 + 0.5), unsigned(accent[1] * 255 + 0.5), unsigned(accent[2] * 255 + 0.5));
    EXPECT_LE(pixelDistance(pixelIn(*image, *control, { second.minX() + 6, 15 }), accentPixel), 2);
    EXPECT_GT(pixelDistance(pixelIn(*image, *control, { third.minX() + 6, 15 }), accentPixel), 60);

    // A component's cell that lays segments out itself is drawn and hit where it says.
    auto custom = SegmentedControl::create({ 20, 40, 200, 30 });
    custom->setCell(fnd::makeObject<SquareSegmentsCell>());
    custom->setSegmentCount(3);
    custom->setTarget(log);
    custom->setAction("clicked:");
    add(custom);
    snapshot();
    auto hooked = std::static_pointer_cast<SquareSegmentsCell>(custom->cell());
    ASSERT_EQ(hooked->drawn.size(), 3u);
    EXPECT_EQ(hooked->drawn[2], (gfx::Rect { 80, 0, 30, 30 }));
    press(*custom, { 95, 15 });
    release(*custom, { 95, 15 });
    dispatch();
    EXPECT_EQ(custom->selectedSegment(), 2);
    press(*custom, { 35, 15 }); // between the segments
    release(*custom, { 35, 15 });
    dispatch();
    EXPECT_EQ(custom->selectedSegment(), 2);
}

}
