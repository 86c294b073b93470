#include "ControlsTestSupport.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/LevelIndicator.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/ProgressIndicator.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/controls/Stepper.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/text/TextField.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

class LookTest : public ControlsTest {
protected:
    ~LookTest() override { SystemColors::setAccentColor(nullptr); }

    // Every control, in several of its states, in the window.
    std::vector<std::shared_ptr<View>> fillGallery()
    {
        std::vector<std::shared_ptr<View>> views;
        auto put = [&](std::shared_ptr<View> v) {
            add(v);
            views.push_back(v);
        };
        auto push = Button::create({ 10, 200, 90, 28 }, "Push");
        push->setKeyEquivalent(u"\r");
        put(push);
        auto pressed = Button::create({ 110, 200, 90, 28 }, "Pressed");
        pressed->setHighlighted(true);
        put(pressed);
        auto disabled = Button::create({ 210, 200, 100, 28 }, "Disabled");
        disabled->setEnabled(false);
        put(disabled);
        auto check = Button::checkboxWithTitle("Mixed", nullptr, {});
        check->setAllowsMixedState(true);
        check->setState(ControlStateValue::Mixed);
        check->setFrameOrigin({ 10, 170 });
        put(check);
        auto radio = Button::radioButtonWithTitle("Radio", nullptr, {});
        radio->setState(ControlStateValue::On);
        radio->setFrameOrigin({ 110, 170 });
        put(radio);
        auto popUp = PopUpButton::create({ 210, 166, 100, 26 });
        popUp->addItemsWithTitles({ "Pop-up", "Other" });
        put(popUp);
        auto field = TextField::textFieldWithString("Field");
        field->setFrame({ 10, 136, 120, 24 });
        put(field);
        auto segmented = SegmentedControl::segmentedControlWithLabels(
            { "A", "B", "C" }, SegmentSwitchTracking::SelectOne, nullptr, {});
        segmented->setSelectedSegment(1);
        segmented->setFrame({ 140, 134, 120, 28 });
        put(segmented);
        auto stepper = Stepper::create({ 280, 134, 19, 28 });
        put(stepper);
        auto slider = Slider::sliderWithValue(30, 0, 100, nullptr, {});
        slider->setFrame({ 10, 100, 140, 24 });
        put(slider);
        auto progress = ProgressIndicator::create({ 160, 104, 140, 16 });
        progress->setIndeterminate(false);
        progress->setDoubleValue(60);
        put(progress);
        auto level = LevelIndicator::create({ 10, 76, 140, 16 });
        level->setMaxValue(10);
        level->setDoubleValue(4);
        put(level);
        auto well = ColorWell::create({ 160, 70, 50, 26 });
        well->setColor(gfx::Color::colorWithCalibratedRed(0.9, 0.4, 0.1));
        put(well);
        auto box = Box::create({ 10, 10, 290, 54 });
        box->setTitle("Box");
        put(box);
        window->makeFirstResponder(field);
        return views;
    }
};

TEST_F(LookTest, AccentColourChangesAreAnnounced)
{
    int posts = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        SystemColorsDidChangeNotification, {}, [&](const fnd::Notification&) { ++posts; });
    auto button = Button::create({ 20, 100, 100, 30 }, "");
    button->setKeyEquivalent(u"\r");
    add(button);
    auto red = gfx::Color::colorWithCalibratedRed(0.8, 0.1, 0.1);
    window->displayIfNeeded();
    ASSERT_FALSE(window->viewsNeedDisplay());
    SystemColors::setAccentColor(red);
    SystemColors::setAccentColor(gfx::Color::colorWithCalibratedRed(0.8, 0.1, 0.1));
    EXPECT_EQ(posts, 1) << "only a change is announced";
    EXPECT_TRUE(window->viewsNeedDisplay()) << "windows are drawn again";
    EXPECT_TRUE(gfx::Color::alternateSelectedControlColor()->rgba() == red->rgba());
    EXPECT_TRUE(gfx::Color::keyboardFocusIndicatorColor()->rgba() == red->rgba());
    EXPECT_EQ(gfx::Color::keyboardFocusIndicatorColor()->colorName(), u"keyboardFocusIndicatorColor");
    EXPECT_LE(pixelDistance(pixelIn(*snapshot(), *button, { 50, 15 }), argb(255, 204, 26, 26)), 1)
        << "the default button follows";
    SystemColors::setAccentColor(nullptr);
    EXPECT_EQ(posts, 2);
    EXPECT_TRUE(gfx::Color::keyboardFocusIndicatorColor()->rgba() == SystemColors::defaultAccentColor()->rgba());
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(LookTest, InterfaceFilesMakeControlsByName)
{
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="100" width="300" height="200"/>
    <object key="contentView" class="View">
      <subviews>
        <object id="box" class="Button">
          <rect key="frame" x="20" y="150" width="120" height="24"/>
          <integer key="buttonType">3</integer>
          <string key="title">Remember</string>
          <integer key="state">1</integer>
        </object>
        <object id="ok" class="Button">
          <rect key="frame" x="200" y="20" width="80" height="28"/>
          <string key="title">OK</string>
          <string key="keyEquivalent">&#13;</string>
        </object>
        <object id="field" class="TextField">
          <rect key="frame" x="20" y="100" width="160" height="24"/>
          <string key="placeholderString">Name</string>
        </object>
        <object id="slider" class="Slider">
          <rect key="frame" x="20" y="60" width="160" height="24"/>
          <real key="maxValue">10</real>
          <real key="doubleValue">4</real>
          <integer key="numberOfTickMarks">11</integer>
        </object>
      </subviews>
    </object>
  </object>
  <connections>
    <action source="ok" selector="clicked:" destination="owner"/>
  </connections>
</interface>)";
    auto loaded = InterfaceFile::load(fnd::Data::fromString(xml), log);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription();
    auto& objects = loaded->objectsById;
    auto box = std::dynamic_pointer_cast<Button>(objects.at("box"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->buttonCell()->buttonType(), ButtonType::Switch);
    EXPECT_EQ(box->state(), ControlStateValue::On);
    EXPECT_EQ(box->title(), u"Remember");
    auto slider = std::dynamic_pointer_cast<Slider>(objects.at("slider"));
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->doubleValue(), 4);
    EXPECT_EQ(slider->numberOfTickMarks(), 11);
    auto field = std::dynamic_pointer_cast<TextField>(objects.at("field"));
    ASSERT_TRUE(field);
    EXPECT_EQ(field->placeholderString(), u"Name");
    EXPECT_TRUE(field->isEditable());

    auto loadedWindow = std::dynamic_pointer_cast<Window>(objects.at("window"));
    loadedWindow->makeKeyAndOrderFront();
    backend->keyDown(*loadedWindow, u"\r", KeyCode::Return);
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1) << "Return reaches the default button made by the file";
    loadedWindow->close();
}

TEST_F(LookTest, EveryControlDrawsAtOneAndTwoTimes)
{
    auto views = fillGallery();
    auto image = snapshot("gallery");
    auto background = pixel(*image, 318, 238);
    for (const auto& view : views) {
        auto f = view->frame();
        bool drawn = false;
        for (double y = f.minY() + 0.5; y < f.maxY() && !drawn; y += 1)
            for (double x = f.minX() + 0.5; x < f.maxX() && !drawn; x += 1)
                drawn = pixel(*image, x, y) != background;
        EXPECT_TRUE(drawn) << view->className().utf8() << " drew nothing";
    }

    // The same window at twice the pixels: the same picture, with sharp edges (no more than a few distinct
    // colours along a horizontal edge of a face).
    backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 2 } });
    window->close();
    window = Window::create({ 100, 100, 320, 240 });
    window->makeKeyAndOrderFront();
    fillGallery();
    auto doubled = snapshot("gallery-2x");
    ASSERT_EQ(doubled->pixelsWide(), 640);
    int alike = 0, total = 0;
    for (double y = 0.25; y < 240; y += 3) {
        for (double x = 0.25; x < 320; x += 3) {
            ++total;
            alike += pixelDistance(pixel(*image, x, y), pixel(*doubled, x, y)) < 48 ? 1 : 0;
        }
    }
    EXPECT_GT(double(alike) / total, 0.97) << "the 2× picture shows the same controls in the same places";
}

}
