#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelColors.h"
#include "frameworks/ZORAppKit/ZORColorLabelWidget/ZORColorLabelWidget.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/look/SystemColors.h"
#include "support/Canvas.h"

#include <cmath>

namespace colorlabeltest {

// An entry whose label a widget is bound to.
class Entry : public fnd::Object {
    FND_OBJECT(Entry)
    static void describeClass(fnd::ClassBuilder<Entry>& c) { c.property("label", &Entry::label); }

public:
    fnd::Value label { 0 };
};
FND_REGISTER_CLASS(Entry, fnd::Object)

// Records the widget's value at every action.
class Recorder : public fnd::Object {
    FND_OBJECT(Recorder)
    static void describeClass(fnd::ClassBuilder<Recorder>& c) { c.action("picked:", &Recorder::picked); }

public:
    void picked(const fnd::Value& sender) { values.push_back(sender.objectAs<ui::Control>()->integerValue()); }
    std::vector<std::int64_t> values;
};
FND_REGISTER_CLASS(Recorder, fnd::Object)

TEST(ZORColorLabelColorsTest, SevenLabelsAndTheirLettering)
{
    const auto& list = ZORColorLabelColors::sharedTBQColorLabelColors().colorList();
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0]->alphaComponent(), 0) << "the clear colour stands for no label";
    EXPECT_EQ(ZORColorLabelColors::getLabelColorAtindex(0), nullptr);
    EXPECT_EQ(ZORColorLabelColors::getLabelColorAtindex(8), nullptr);
    auto blue = ZORColorLabelColors::getLabelColorForLabelType(5);
    ASSERT_NE(blue, nullptr);
    EXPECT_NEAR(blue->redComponent() * 255, 92, 1e-9);
    EXPECT_NEAR(blue->blueComponent() * 255, 255, 1e-9);
    for (std::int64_t type : { -1, 4, 5, 6 })
        EXPECT_TRUE(ZORColorLabelColors::letteringColorForLabelType(type)->isEqual(*gfx::Color::whiteColor())) << type;
    for (std::int64_t type : { -2, 0, 1, 2, 3, 7, 99 })
        EXPECT_TRUE(ZORColorLabelColors::letteringColorForLabelType(type)->isEqual(*gfx::Color::blackColor())) << type;
}

TEST(ZORColorLabelWidgetCellTest, EveryValueFormIsALabelTypeFromMinusOneToSeven)
{
    auto cell = fnd::makeObject<ZORColorLabelWidgetCell>();
    EXPECT_EQ(cell->colorLabelType(), 0);
    EXPECT_TRUE(cell->isContinuous());
    EXPECT_EQ(cell->actionMask(), ui::EventMasks::LeftMouseDown | ui::EventMasks::LeftMouseDragged);
    cell->setIntValue(12);
    EXPECT_EQ(cell->colorLabelType(), 7);
    cell->setIntValue(-5);
    EXPECT_EQ(cell->colorLabelType(), -1);
    cell->setDoubleValue(3.9);
    EXPECT_EQ(cell->stringValue(), "3");
    // Real numbers lose their fraction and are clamped like integers, however far out they lie; NaN is no label.
    const std::pair<double, std::int64_t> reals[] = {
        { 1e300, 7 },
        { HUGE_VAL, 7 },
        { 9.2e18, 7 },
        { -1e300, -1 },
        { -HUGE_VAL, -1 },
        { -0.5, 0 },
        { 7.99, 7 },
        { std::nan(""), -1 },
    };
    for (const auto& [real, type] : reals) {
        cell->setIntValue(3);
        cell->setDoubleValue(real);
        EXPECT_EQ(cell->colorLabelType(), type) << real;
    }
    cell->setStringValue("6");
    EXPECT_EQ(cell->objectValue(), fnd::Value(6));

    const std::pair<fnd::Value, std::int64_t> values[] = {
        { fnd::Array { 4 }, 4 },
        { fnd::Array { 2, 2, 2 }, 2 },
        { fnd::Array { 2, 3 }, -1 }, // a selection of entries with different labels
        { fnd::Array {}, -1 },
        { fnd::String("5"), 5 },
        { 1.0, 1 },
        // Not a number is no label as a real set directly is, alone or as a selection.
        { std::nan(""), -1 },
        { fnd::Array { std::nan("") }, -1 },
        { 1e300, 7 },
        { fnd::Dictionary {}, -1 },
        { fnd::Value(), -1 },
    };
    for (const auto& [value, type] : values) {
        cell->setObjectValue(value);
        EXPECT_EQ(cell->colorLabelType(), type) << value.description().utf8();
    }
    cell->setIntValue(3);
    EXPECT_EQ(cell->compare(2), 1);
    EXPECT_EQ(cell->compare(fnd::String("3")), 0);
    EXPECT_EQ(cell->compare(7), -1);

    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(cell))
                    .objectAs<ZORColorLabelWidgetCell>();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->colorLabelType(), 3);
    EXPECT_EQ(copy->actionMask(), cell->actionMask());
}

class ZORColorLabelWidgetTest : public viewstest::ViewsTest {
protected:
    ZORColorLabelWidgetTest()
    {
        widget = ZORColorLabelWidget::create({ 20, 60, 128, 16 });
        widget->setTarget(recorder);
        widget->setAction("picked:");
        add(widget);
    }
    void press(double x) { backend->mouseDown(*window, widget->convertPointToView({ x, 8 }, nullptr)); }
    void dragTo(double x) { backend->mouseDragged(*window, widget->convertPointToView({ x, 8 }, nullptr)); }
    void release(double x)
    {
        backend->mouseUp(*window, widget->convertPointToView({ x, 8 }, nullptr));
        backend->dispatchEvents();
    }

    std::shared_ptr<ZORColorLabelWidget> widget;
    std::shared_ptr<Recorder> recorder = fnd::makeObject<Recorder>();
};

TEST_F(ZORColorLabelWidgetTest, ClicksAndDragsPickTheLabelUnderTheMouseAndWriteItToTheBinding)
{
    auto entry = fnd::makeObject<Entry>();
    widget->bind("value", *entry, "label");
    EXPECT_TRUE(widget->acceptsFirstMouse(nullptr));

    press(0);
    release(0);
    EXPECT_EQ(widget->colorLabelType(), 0);
    press(40);
    release(40);
    EXPECT_EQ(widget->colorLabelType(), 2);
    EXPECT_EQ(entry->label, fnd::Value(2));
    EXPECT_EQ(recorder->values, (std::vector<std::int64_t> { 0, 2 })) << "the action carries the label just picked";

    recorder->values.clear();
    press(60);
    dragTo(90);
    dragTo(125);
    dragTo(300);
    release(300);
    EXPECT_EQ(widget->colorLabelType(), 7) << "beyond the last dot";
    EXPECT_EQ(entry->label, fnd::Value(7));
    EXPECT_EQ(recorder->values, (std::vector<std::int64_t> { 3, 5, 7 }));

    entry->setValueForKey(fnd::Array { 1, 4 }, "label");
    EXPECT_EQ(widget->colorLabelType(), -1) << "a mixed selection shows no label";
}

TEST_F(ZORColorLabelWidgetTest, DotsRingAndCrossDrawInTheCellsFrameWhereverItLies)
{
    widget->setColorLabelType(3);
    auto image = snapshot("ZORColorLabelWidget-enabled");
    auto dot = [&](int i) { return pixelIn(*image, *widget, { 8 + 16.0 * i, 8 }); };
    EXPECT_EQ(dot(1), argb(255, 252, 99, 89));
    EXPECT_EQ(dot(5), argb(255, 92, 160, 255));
    EXPECT_LT(gfx::redOf(pixelIn(*image, *widget, { 8 + 16.0 * 2 + 4, 8 })), 200) << "a black outline";
    // The ring of label 3 in the blue variant: fill (111, 166, 223) at 0.75 over white.
    EXPECT_LE(pixelDistance(pixelIn(*image, *widget, { 16 * 3 + 2.5, 8 }), argb(255, 147, 188, 231)), 2);
    EXPECT_NE(pixelIn(*image, *widget, { 8, 8 }), argb(255, 255, 255, 255)) << "the cross";

    widget->setEnabled(false);
    image = snapshot("ZORColorLabelWidget-disabled");
    EXPECT_LE(pixelDistance(dot(1), argb(255, 254, 193, 189)), 2) << "40 % of the colour over white";
    EXPECT_EQ(pixelIn(*image, *widget, { 16 * 3 + 2.5, 8 }), argb(255, 255, 255, 255)) << "no ring when disabled";

    // Graphite, once the system's colours change.
    widget->setEnabled(true);
    fnd::UserDefaults::standardUserDefaults().setInteger(6, "AppleAquaColorVariant");
    fnd::NotificationCenter::defaultCenter().postNotificationName(ui::SystemColorsDidChangeNotification);
    image = snapshot("ZORColorLabelWidget-graphite");
    EXPECT_LE(pixelDistance(pixelIn(*image, *widget, { 16 * 3 + 2.5, 8 }), argb(255, 205, 210, 214)), 2);
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey("AppleAquaColorVariant");
    fnd::NotificationCenter::defaultCenter().postNotificationName(ui::SystemColorsDidChangeNotification);

    // A cell drawn and tracked 30 points into a larger view keeps its own geometry.
    class Host : public ui::View {
    public:
        bool isFlipped() const override { return true; }
        void drawRect(gfx::Rect) override { cell->drawWithFrame(cellFrame, *this); }
        std::shared_ptr<ZORColorLabelWidgetCell> cell = fnd::makeObject<ZORColorLabelWidgetCell>();
        gfx::Rect cellFrame { 30, 0, 128, 16 };
    };
    auto host = std::make_shared<Host>();
    host->initWithFrame({ 20, 100, 200, 16 });
    add(host);
    image = snapshot();
    EXPECT_EQ(pixelIn(*image, *host, { 30 + 24, 8 }), argb(255, 252, 99, 89)) << "dot 1 within the cell's frame";
    auto down = ui::Event::mouseEventWithType(ui::EventType::LeftMouseDown,
        host->convertPointToView({ 30 + 40, 8 }, nullptr), 0, 0, window->windowNumber(), 0, 1, 1);
    backend->mouseUp(*window, host->convertPointToView({ 30 + 40, 8 }, nullptr));
    host->cell->trackMouse(*down, host->cellFrame, *host, false);
    EXPECT_EQ(host->cell->colorLabelType(), 2) << "x measured from the cell's left edge";
}

}
