#include "ControlsTestSupport.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/TextField.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

class ButtonTest : public ControlsTest {
protected:
    std::shared_ptr<Button> pushButton(gfx::Rect frame, const char* title = "Press")
    {
        auto button = Button::create(frame, title);
        button->setTarget(log);
        button->setAction("clicked:");
        add(button);
        return button;
    }

    // The accent colour as a pixel.
    static std::uint32_t accentPixel()
    {
        auto rgba = SystemColors::accentColor()->rgba();
        return argb(255, unsigned(rgba[0] * 255 + 0.5), unsigned(rgba[1] * 255 + 0.5), unsigned(rgba[2] * 255 + 0.5));
    }
};

TEST_F(ButtonTest, PushButtonActsOnceOnReleaseInsideOnly)
{
    auto button = pushButton({ 20, 20, 100, 30 });
    click(*button);
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(log->senders.back().object(), button) << "the control is the sender";

    // Released outside: nothing.
    press(*button, { 50, 15 });
    drag(*button, { 150, 15 });
    release(*button, { 150, 15 });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 1);

    // Out and back in before the release: one action.
    press(*button, { 50, 15 });
    drag(*button, { 150, 15 });
    drag(*button, { 60, 10 });
    release(*button, { 60, 10 });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 2);
    EXPECT_FALSE(button->isHighlighted()) << "the highlight ends with the click";
}

TEST_F(ButtonTest, ContinuousButtonRepeatsWhileHeld)
{
    auto button = pushButton({ 20, 20, 100, 30 });
    button->setContinuous(true);
    press(*button, { 50, 15 });
    // Held for 0.9 s: periodic actions at 0.4 s and every 0.075 s after (0.4 … 0.85), then the release.
    backend->after(0.9, [&] { release(*button, { 50, 15 }); });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 7 + 1);

    // Not continuous: only the release.
    button->setContinuous(false);
    press(*button, { 50, 15 });
    backend->after(0.9, [&] { release(*button, { 50, 15 }); });
    dispatch();
    EXPECT_EQ(log->count("clicked"), 9);
}

TEST_F(ButtonTest, RadioButtonsBesideEachOtherFormAGroup)
{
    std::vector<std::shared_ptr<Button>> radios;
    for (int i = 0; i < 3; ++i) {
        auto radio = Button::radioButtonWithTitle("Choice", log, "clicked:");
        radio->setFrameOrigin({ 20, 20 + 30.0 * i });
        add(radio);
        radios.push_back(radio);
    }
    auto other = Button::radioButtonWithTitle("Other group", log, "cancelled:");
    other->setFrameOrigin({ 150, 20 });
    other->setState(ControlStateValue::On);
    add(other);

    click(*radios[0]);
    click(*radios[2]);
    EXPECT_EQ(radios[0]->state(), ControlStateValue::Off);
    EXPECT_EQ(radios[2]->state(), ControlStateValue::On);
    click(*radios[2]);
    EXPECT_EQ(radios[2]->state(), ControlStateValue::On) << "a click never unchooses a radio button";
    EXPECT_EQ(other->state(), ControlStateValue::On) << "another action is another group";
    EXPECT_EQ(log->count("clicked"), 3);
}

TEST_F(ButtonTest, KeyEquivalentsReachTheirButtons)
{
    auto save = pushButton({ 10, 10, 80, 30 }, "Save");
    save->setKeyEquivalent("s");
    save->setKeyEquivalentModifierMask(KeyEquivalentModifier::Command);
    auto ok = pushButton({ 100, 10, 80, 30 }, "OK");
    window->setDefaultButtonCell(ok->buttonCell());
    EXPECT_EQ(ok->keyEquivalent(), u"\r");
    auto cancel = Button::create({ 190, 10, 80, 30 }, "Cancel");
    cancel->setTarget(log);
    cancel->setAction("cancelled:");
    cancel->setKeyEquivalent(u"\x1b");
    add(cancel);

    key("s", KeyCode::S, ModifierFlags::Command);
    ASSERT_EQ(log->received, std::vector<std::string> { "clicked" });
    EXPECT_EQ(log->senders.back().object(), save);
    key("s", KeyCode::S);
    EXPECT_EQ(log->received.size(), 1u) << "the letter alone is not the equivalent";

    key(u"\r", KeyCode::Return);
    EXPECT_EQ(log->senders.back().object(), ok);
    key(u"\x03", KeyCode::KeypadEnter);
    EXPECT_EQ(log->count("clicked"), 3) << "Enter acts as Return";
    key(u"\x1b", KeyCode::Escape);
    EXPECT_EQ(log->received.back(), "cancelled");

    // Return no longer presses the default button while its key equivalent is switched off.
    window->disableKeyEquivalentForDefaultButtonCell();
    key(u"\r", KeyCode::Return);
    EXPECT_EQ(log->count("clicked"), 3);
    window->enableKeyEquivalentForDefaultButtonCell();

    // A disabled button takes no key equivalent; the unhandled key beeps.
    ok->setEnabled(false);
    int beeps = backend->beepCount();
    key(u"\r", KeyCode::Return);
    EXPECT_EQ(log->count("clicked"), 3);
    EXPECT_EQ(backend->beepCount(), beeps + 1);
}

TEST_F(ButtonTest, SpacePressesTheFocusedButton)
{
    auto first = pushButton({ 10, 10, 80, 30 }, "First");
    auto second = pushButton({ 100, 10, 80, 30 }, "Second");
    key(" ", KeyCode::Space);
    EXPECT_TRUE(log->received.empty()) << "no button has the keyboard";
    ASSERT_TRUE(window->makeFirstResponder(second));
    key(" ", KeyCode::Space);
    ASSERT_EQ(log->senders.size(), 1u);
    EXPECT_EQ(log->senders.back().object(), second);
    (void)first;
}

TEST_F(ButtonTest, DisabledButtonIgnoresInputAndDrawsFaded)
{
    auto enabled = pushButton({ 10, 100, 120, 30 }, "Same");
    auto disabled = pushButton({ 150, 100, 120, 30 }, "Same");
    disabled->setEnabled(false);
    click(*disabled);
    EXPECT_TRUE(log->received.empty());
    EXPECT_FALSE(disabled->acceptsFirstResponder());

    auto image = snapshot("button-disabled");
    // The darkest pixel of each title: the disabled one is clearly lighter.
    auto darkest = [&](Button& b) {
        int dark = 255;
        for (double x = 30; x < 90; x += 1)
            for (double y = 8; y < 22; y += 1)
                dark = std::min(dark, luminance(pixelIn(*image, b, { x, y })));
        return dark;
    };
    EXPECT_LT(darkest(*enabled), 80);
    EXPECT_GT(darkest(*disabled), darkest(*enabled) + 60);
}

TEST_F(ButtonTest, FacesShowPressedOnAndDefault)
{
    auto normal = pushButton({ 10, 180, 90, 30 }, "");
    auto pressed = pushButton({ 110, 180, 90, 30 }, "");
    pressed->setHighlighted(true);
    auto toggle = pushButton({ 210, 180, 90, 30 }, "");
    toggle->setButtonType(ButtonType::PushOnPushOff);
    toggle->setState(ControlStateValue::On);
    auto def = pushButton({ 10, 120, 90, 30 }, "");
    def->setKeyEquivalent(u"\r");
    auto image = snapshot("button-faces");
    auto face = [&](Button& b) { return pixelIn(*image, b, { 45, 15 }); };
    auto background = pixel(*image, 5, 5);
    EXPECT_LT(luminance(face(*normal)), luminance(background)) << "a face shows on the window";
    EXPECT_LT(luminance(face(*pressed)), luminance(face(*normal)) - 10);
    EXPECT_LT(luminance(face(*toggle)), luminance(face(*normal)) - 10);
    EXPECT_LE(pixelDistance(face(*def), accentPixel()), 2) << "the default button wears the accent";

    // In a window that is not key the default button's accent is muted.
    auto other = Window::create({ 500, 100, 100, 100 });
    other->makeKeyAndOrderFront();
    ASSERT_FALSE(window->isKeyWindow());
    image = snapshot();
    auto inactive = face(*def);
    EXPECT_GT(pixelDistance(inactive, accentPixel()), 30);
    EXPECT_LT(gfx::blueOf(inactive) - gfx::redOf(inactive), gfx::blueOf(accentPixel()) - gfx::redOf(accentPixel()))
        << "less saturated";
}

TEST_F(ButtonTest, CheckBoxAndRadioDrawTheirStates)
{
    std::vector<std::shared_ptr<Button>> boxes;
    const ControlStateValue states[] = { ControlStateValue::Off, ControlStateValue::On, ControlStateValue::Mixed };
    for (int i = 0; i < 3; ++i) {
        auto box = Button::checkboxWithTitle("", log, "clicked:");
        box->setAllowsMixedState(true);
        box->setState(states[i]);
        box->setFrame({ 20 + 40.0 * i, 100, 20, 20 });
        add(box);
        boxes.push_back(box);
    }
    auto image = snapshot("check-states");
    auto at = [&](int i, gfx::Point p) { return pixelIn(*image, *boxes[i], p); };
    // The 14-point box sits at the left, centred: white inside when off, accent when on or mixed, with a white
    // dash across the middle when mixed and a tick (not crossing the middle's right half) when on.
    EXPECT_EQ(at(0, { 7, 10 }), argb(255, 255, 255, 255));
    EXPECT_LE(pixelDistance(at(1, { 2, 6 }), accentPixel()), 2);
    EXPECT_LE(pixelDistance(at(2, { 2, 6 }), accentPixel()), 2);
    EXPECT_GT(luminance(at(2, { 7, 10 })), 230) << "the mixed dash";
    EXPECT_LE(pixelDistance(at(1, { 11, 12 }), accentPixel()), 2);
    EXPECT_LT(luminance(at(1, { 4, 10 })), 200) << "no dash when on";
}

TEST_F(ButtonTest, ButtonsAreSharpAtDoubleScale)
{
    backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 2 } });
    auto sharp = Window::create({ 100, 100, 200, 100 });
    sharp->makeKeyAndOrderFront();
    auto button = Button::create({ 20, 20, 100, 30 }, "");
    button->setBezelStyle(BezelStyle::SmallSquare);
    sharp->contentView()->addSubview(button);
    auto image = backend->imageOfWindow(*sharp);
    ASSERT_EQ(image->pixelsWide(), 400);
    // The one-point border of a square bezel covers exactly two device pixels: no blurred third.
    auto pixels = image->pixelBuffer();
    int row = pixels.height - 1 - 2 * 35; // the middle of the button, in device rows from the top
    auto border = pixels.pixel(2 * 20, row);
    auto second = pixels.pixel(2 * 20 + 1, row);
    auto inside = pixels.pixel(2 * 20 + 2, row);
    auto outside = pixels.pixel(2 * 20 - 1, row);
    EXPECT_EQ(border, second);
    EXPECT_LT(luminance(border), luminance(inside) - 20);
    EXPECT_EQ(outside, pixels.pixel(2 * 20 - 3, row)) << "nothing bleeds outside the border";
}

}
