#include "PanelsTestSupport.h"

#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/detail/ColorPanelViews.h"
#include "platform/ui/text/TextField.h"

#include <cmath>

using namespace ui;
using panelstest::PanelsTest;

namespace {

// Takes changeColor: and the wells' actions, keeping the colours it was given.
class ColorSink : public View {
    FND_OBJECT(ColorSink)
    static void describeClass(fnd::ClassBuilder<ColorSink>& c);

public:
    static std::shared_ptr<ColorSink> make()
    {
        auto sink = std::make_shared<ColorSink>();
        sink->initWithFrame({ 0, 0, 10, 10 });
        return sink;
    }
    bool acceptsFirstResponder() const override { return true; }
    void changeColor(const fnd::Value& sender)
    {
        colors.push_back(sender.object()->valueForKey("color").objectAs<gfx::Color>());
    }
    void wellChanged(const fnd::Value& sender) { colors.push_back(sender.objectAs<ColorWell>()->color()); }
    std::vector<gfx::ColorPtr> colors;
};
FND_REGISTER_CLASS(ColorSink, View)
void ColorSink::describeClass(fnd::ClassBuilder<ColorSink>& c)
{
    c.action("changeColor:", &ColorSink::changeColor);
    c.action("wellChanged:", &ColorSink::wellChanged);
}

class ColorPanelTest : public PanelsTest {
protected:
    ColorPanelTest()
    {
        panel = ColorPanel::sharedColorPanel();
        panel->setShowsAlpha(false);
        panel->setContinuous(true);
        panel->setTarget(nullptr);
        panel->setMode(ColorPanelMode::Wheel);
    }
    ~ColorPanelTest() override
    {
        if (auto well = ColorWell::activeColorWell())
            well->deactivate();
    }
    // A drag over a picker of the panel, through the points, released at the last.
    void dragOver(View& view, std::initializer_list<gfx::Point> points)
    {
        auto it = points.begin();
        backend->mouseDown(*panel, at(view, *it));
        for (++it; it != points.end(); ++it)
            backend->mouseDragged(*panel, at(view, *it));
        backend->mouseUp(*panel, at(view, *(points.end() - 1)));
        dispatch();
    }
    static void expectRGB(const gfx::ColorPtr& c, double r, double g, double b, const char* what)
    {
        ASSERT_TRUE(c) << what;
        auto rgba = c->rgba();
        EXPECT_NEAR(rgba[0], r, 0.02) << what;
        EXPECT_NEAR(rgba[1], g, 0.02) << what;
        EXPECT_NEAR(rgba[2], b, 0.02) << what;
    }

    std::shared_ptr<ColorPanel> panel;
    std::shared_ptr<ColorSink> sink = ColorSink::make();
};

}

TEST_F(ColorPanelTest, DraggingTheWheelSendsContinuousColoursThroughTheActiveWellToItsTarget)
{
    auto well = ColorWell::create({ 20, 20, 44, 24 });
    well->setColor(gfx::Color::colorWithCalibratedRed(0.5, 0.5, 0.5));
    well->setTarget(sink);
    well->setAction("wellChanged:");
    window->contentView()->addSubview(well);
    backend->click(*window, at(*well, { 22, 12 }));
    dispatch();
    ASSERT_TRUE(well->isActive());
    EXPECT_TRUE(panel->isVisible()) << "an active well opens the panel";
    expectRGB(panel->color(), 0.5, 0.5, 0.5, "the panel shows the well's colour");

    // Full brightness, then along the wheel: red at the right edge, green a third of the way round.
    auto& wheel = *panel->wheel();
    panel->setColor(gfx::Color::whiteColor());
    auto red = wheel.pointFor(0, 1);
    auto green = wheel.pointFor(1.0 / 3, 1);
    auto centre = wheel.pointFor(0, 0);
    dragOver(wheel, { centre, red, green });
    ASSERT_EQ(sink->colors.size(), 4u) << "the press, two drags and the release";
    expectRGB(sink->colors[0], 1, 1, 1, "the centre is white");
    expectRGB(sink->colors[1], 1, 0, 0, "the right edge is red");
    expectRGB(sink->colors[2], 0, 1, 0, "a third round is green");
    expectRGB(well->color(), 0, 1, 0, "the well took the last colour");

    // Not continuous: only the release is sent.
    sink->colors.clear();
    panel->setContinuous(false);
    dragOver(wheel, { centre, red, green });
    EXPECT_EQ(sink->colors.size(), 1u);
    well->deactivate();
}

TEST_F(ColorPanelTest, WithoutAWellChangeColorGoesToTheTargetOrTheFirstResponder)
{
    window->contentView()->addSubview(sink);
    window->makeFirstResponder(sink);
    panel->setMode(ColorPanelMode::RGB);
    ASSERT_EQ(panel->channelSliders().size(), 3u);
    panel->setColor(gfx::Color::blackColor());
    auto& redSlider = *panel->channelSliders()[0];
    auto track = redSlider.trackRect();
    dragOver(redSlider, { { track.minX(), track.midY() }, { track.maxX() + 20, track.midY() } });
    ASSERT_FALSE(sink->colors.empty()) << "the nil target finds the first responder";
    expectRGB(sink->colors.back(), 1, 0, 0, "red at full");
    EXPECT_EQ(panel->channelFields()[0]->stringValue().utf8(), "255");
    EXPECT_EQ(panel->hexField()->stringValue().utf8(), "#FF0000");

    auto other = ColorSink::make();
    panel->setTarget(other);
    panel->hexField()->setStringValue("#00f");
    panel->hexField()->performClick();
    panel->hexFieldChanged(panel->hexField()->selfValue());
    ASSERT_FALSE(other->colors.empty());
    expectRGB(other->colors.back(), 0, 0, 1, "the hex field");
    std::size_t before = other->colors.size();
    panel->hexField()->setStringValue("#12345");
    panel->hexFieldChanged(panel->hexField()->selfValue());
    EXPECT_EQ(other->colors.size(), before) << "a malformed hex colour is refused";
    EXPECT_EQ(panel->hexField()->stringValue().utf8(), "#0000FF");
}

TEST_F(ColorPanelTest, EveryWayOfEnteringAColourKeepsItsHueForTheOtherViews)
{
    auto hueOf = [](const gfx::ColorPtr& c) { return c->hueComponent(); };
    const auto blue = gfx::Color::colorWithCalibratedRed(0x10 / 255.0, 0x30 / 255.0, 0xC0 / 255.0);
    panel->setColor(gfx::Color::colorWithCalibratedRed(1, 0, 0));

    // Typed as hex in the wheel's mode: the brightness slider then darkens the blue, not the old red.
    panel->hexField()->setStringValue("#1030C0");
    panel->hexFieldChanged(panel->hexField()->selfValue());
    ASSERT_EQ(panel->channelSliders().size(), 1u);
    auto& brightness = *panel->channelSliders()[0];
    auto track = brightness.trackRect();
    dragOver(brightness, { { track.midX(), track.midY() }, { track.minX() + track.width() / 4, track.midY() } });
    EXPECT_NEAR(hueOf(panel->color()), hueOf(blue), 0.01);
    EXPECT_LT(panel->color()->brightnessComponent(), blue->brightnessComponent());

    // Through the RGB sliders, then the HSB mode shows that hue.
    panel->setMode(ColorPanelMode::RGB);
    auto& green = *panel->channelSliders()[1];
    auto greenTrack = green.trackRect();
    dragOver(green, { { greenTrack.minX(), greenTrack.midY() }, { greenTrack.maxX(), greenTrack.midY() } });
    const double hue = hueOf(panel->color());
    panel->setMode(ColorPanelMode::HSB);
    EXPECT_NEAR(panel->channelSliders()[0]->value(), hue, 0.01);

    // Grey has no hue of its own: the panel keeps the last one.
    panel->setMode(ColorPanelMode::Gray);
    auto& white = *panel->channelSliders()[0];
    auto whiteTrack = white.trackRect();
    dragOver(white, { { whiteTrack.midX(), whiteTrack.midY() } });
    panel->setMode(ColorPanelMode::HSB);
    EXPECT_NEAR(panel->channelSliders()[0]->value(), hue, 0.01);
    panel->setMode(ColorPanelMode::Wheel);
}

TEST_F(ColorPanelTest, EachModeShowsItsChannelsAndOpacityOnlyWithAlpha)
{
    panel->setColor(gfx::Color::colorWithCalibratedRed(1, 0.5, 0, 0.25));
    panel->setMode(ColorPanelMode::HSB);
    ASSERT_EQ(panel->channelFields().size(), 3u);
    EXPECT_EQ(panel->channelFields()[0]->stringValue().utf8(), "30") << "hue in degrees";
    panel->setMode(ColorPanelMode::CMYK);
    EXPECT_EQ(panel->channelSliders().size(), 4u);
    panel->setMode(ColorPanelMode::Gray);
    EXPECT_EQ(panel->channelSliders().size(), 1u);
    EXPECT_TRUE(panel->opacitySlider()->isHidden());
    panel->setShowsAlpha(true);
    EXPECT_FALSE(panel->opacitySlider()->isHidden());
    EXPECT_NEAR(panel->opacitySlider()->value(), 0.25, 1e-9);
    EXPECT_DOUBLE_EQ(panel->alpha(), 0.25);
    panel->setShowsAlpha(false);
    EXPECT_DOUBLE_EQ(panel->alpha(), 1.0) << "without alpha the panel's colours are opaque";

    // The mode controls switch between the wheel and the sliders.
    panel->modeControl()->setSelectedSegment(0);
    panel->modeChanged(panel->modeControl()->selfValue());
    EXPECT_EQ(panel->mode(), ColorPanelMode::Wheel);
    EXPECT_EQ(panel->channelSliders().size(), 1u) << "the wheel's brightness";
    panel->modeControl()->setSelectedSegment(1);
    panel->modeChanged(panel->modeControl()->selfValue());
    panel->sliderModePopUp()->selectItemAtIndex(2);
    panel->modeChanged(panel->sliderModePopUp()->selfValue());
    EXPECT_EQ(panel->mode(), ColorPanelMode::CMYK);
}

TEST_F(ColorPanelTest, ThePanelDrawsTheWheelAndTheSliders)
{
    panel->setShowsAlpha(true);
    panel->setColor(gfx::Color::colorWithCalibratedRed(0.2, 0.6, 0.9, 0.8));
    panel->orderFront();
    auto image = snapshot(*panel, "color-panel-wheel");
    auto& wheel = *panel->wheel();
    auto base = wheel.convertPointToView(wheel.pointFor(0, 0.9), nullptr);
    auto px = image->pixelBuffer().pixel(int(base.x) - 3, image->pixelBuffer().height - 1 - int(base.y));
    EXPECT_GT(int((px >> 16) & 0xff), int(px & 0xff) + 60) << "red at the wheel's right";
    panel->setMode(ColorPanelMode::RGB);
    snapshot(*panel, "color-panel-sliders");
}

TEST_F(ColorPanelTest, CmykAndGreySlidersMakeColoursOfTheirModel)
{
    panel->setTarget(sink);
    panel->setColor(gfx::Color::whiteColor());
    panel->setMode(ColorPanelMode::CMYK);
    auto& black = *panel->channelSliders()[3];
    auto track = black.trackRect();
    dragOver(black, { { track.maxX(), track.midY() } });
    ASSERT_FALSE(sink->colors.empty());
    EXPECT_EQ(sink->colors.back()->model(), gfx::Color::Model::CMYK);
    expectRGB(sink->colors.back(), 0, 0, 0, "full black ink");
    EXPECT_EQ(panel->channelFields()[3]->stringValue().utf8(), "100");

    panel->setMode(ColorPanelMode::Gray);
    auto& white = *panel->channelSliders()[0];
    track = white.trackRect();
    dragOver(white, { { track.minX() + track.width() / 4, track.midY() } });
    EXPECT_EQ(sink->colors.back()->model(), gfx::Color::Model::Gray);
    EXPECT_NEAR(sink->colors.back()->whiteComponent(), 0.25, 0.01);
    // A number typed into a field (and its action) sets the channel.
    panel->channelFields()[0]->setStringValue("80");
    panel->channelFieldChanged(panel->channelFields()[0]->selfValue());
    EXPECT_NEAR(sink->colors.back()->whiteComponent(), 0.8, 1e-9);
}
