#include "QFFlowViewTestSupport.h"

#include "frameworks/QFFlowView/QFButtonLayer.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"
#include "frameworks/QFFlowView/QFVideoOverlayLayer.h"

#include "platform/layers/LayerRenderer.h"

namespace flowviewtest {
namespace {

// A pixel of a rendered layer at (x, y) counted from the bottom left.
std::uint32_t auxiliaryPixelAt(const gfx::BitmapImageRep& image, int x, int yUp)
{
    auto pixels = image.pixelBuffer();
    return pixels.pixel(x, pixels.height - 1 - yUp);
}

class AuxiliaryLayerTest : public uitest::UiTest {
protected:
    // Renders the layer on its own, committed, at its bounds.
    std::shared_ptr<gfx::BitmapImageRep> render(const std::shared_ptr<ui::Layer>& layer)
    {
        ui::Transaction::flush();
        auto b = layer->bounds();
        layer->setPosition({ b.width() / 2, b.height() / 2 });
        return ui::renderLayerTreeToBitmap(*layer, { 0, 0, b.width(), b.height() });
    }
};

TEST_F(AuxiliaryLayerTest, ButtonLayerDrawsItsStatesPictureDarkenedWhileHighlighted)
{
    auto button = QFButtonLayer::layer();
    button->setBounds({ 0, 0, 20, 20 });
    button->setImage(solidBitmap(20, 20, 0xFFFF0000));
    button->setAlternateImage(solidBitmap(20, 20, 0xFF0000FF));
    button->setNeedsDisplay();
    EXPECT_EQ(auxiliaryPixelAt(*render(button), 10, 10), 0xFFFF0000u);
    button->setState(1);
    EXPECT_TRUE(button->needsDisplay()) << "a state change redraws";
    EXPECT_EQ(auxiliaryPixelAt(*render(button), 10, 10), 0xFF0000FFu);
    button->setHighlighted(true);
    auto highlighted = auxiliaryPixelAt(*render(button), 10, 10);
    EXPECT_NEAR(gfx::blueOf(highlighted), 191, 2) << "blue multiplied by grey 0.75";
    EXPECT_EQ(gfx::redOf(highlighted), 0);
    button->performClick({});
    EXPECT_FALSE(button->isHighlighted());

    render(button);
    EXPECT_FALSE(button->isEnabled());
    button->setEnabled(true);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(button->needsDisplay()) << "enabling redraws";
    ASSERT_EQ(QFButtonLayer::selectedFilters().size(), 1u);
    auto filter = QFButtonLayer::selectedFilters()[0].dictionary();
    ASSERT_TRUE(filter);
    EXPECT_EQ(filter->get("name"), fnd::Value("CIColorControls"));
    EXPECT_DOUBLE_EQ(filter->get("inputBrightness").doubleValue(), -0.5);
}

TEST_F(AuxiliaryLayerTest, OverlayDrawsADiscThenARingThatFollowsItsValue)
{
    auto overlay = QFVideoOverlayLayer::layer();
    overlay->setBounds({ 0, 0, 62, 62 });
    overlay->buttonLayer()->setHidden(true); // the button is drawn over the centre; the disc is what is probed here
    overlay->setNeedsDisplay();
    auto small = render(overlay);
    // Scale 0: a 40-point disc only.
    EXPECT_GT(gfx::alphaOf(auxiliaryPixelAt(*small, 31, 31 + 18)), 150);
    EXPECT_EQ(gfx::alphaOf(auxiliaryPixelAt(*small, 31, 31 + 25)), 0);

    overlay->setIndicatorScale(1);
    overlay->setIndicatorValue(0.25);
    auto big = render(overlay);
    // Scale 1: a 60-point disc with a light ring; a quarter sweep runs clockwise from the top to the right.
    EXPECT_GT(gfx::alphaOf(auxiliaryPixelAt(*big, 31, 31 + 27)), 150);
    auto ringRight = auxiliaryPixelAt(*big, 31 + 19, 31 + 19);
    auto ringLeft = auxiliaryPixelAt(*big, 31 - 19, 31 + 19);
    EXPECT_GT(gfx::redOf(ringRight), gfx::redOf(ringLeft) + 60) << "the ring's quarter lies top right";
}

TEST_F(AuxiliaryLayerTest, OverlayWatchesItsVisibilityForwardsItsButtonAndEndsItsTimer)
{
    auto root = ui::Layer::layer();
    auto overlay = QFVideoOverlayLayer::layer();
    root->addSublayer(overlay);
    // Taken out before it was ever set up: nothing to end, and no failure.
    EXPECT_NO_THROW(overlay->removeFromSuperlayer());
    root->addSublayer(overlay);
    overlay->setupNotifications();
    EXPECT_TRUE(overlay->isObservingHidden());
    overlay->setHidden(true);
    EXPECT_NO_THROW(overlay->removeFromSuperlayer());
    EXPECT_FALSE(overlay->isObservingHidden());

    auto target = fnd::makeObject<fnd::Object>();
    overlay->setTarget(target);
    overlay->setAction(fnd::Selector("play:"));
    EXPECT_EQ(overlay->buttonLayer()->target(), target);
    EXPECT_EQ(overlay->buttonLayer()->action(), fnd::Selector("play:"));
    EXPECT_EQ(overlay->action(), fnd::Selector("play:"));

    auto timer = fnd::Timer::create(1.0, true, [](fnd::Timer&) {});
    overlay->setMovieUpdateTimer(timer);
    overlay.reset();
    EXPECT_FALSE(timer->isValid()) << "the overlay's timer ends with it";
}

TEST_F(AuxiliaryLayerTest, ExpandAnimatesTheIndicatorOnTheClock)
{
    auto root = ui::Layer::layer();
    root->setBounds({ 0, 0, 100, 100 });
    auto overlay = QFVideoOverlayLayer::layer();
    overlay->setBounds({ 0, 0, 60, 60 });
    root->addSublayer(overlay);
    ui::Transaction::flush();
    overlay->expand();
    EXPECT_DOUBLE_EQ(overlay->indicatorScale(), 1);
    EXPECT_EQ(overlay->buttonLayer()->state(), 1);
    clock->advance(QFVideoOverlayLayer::ExpandDuration / 2);
    double middle = overlay->presentationLayer()->valueForKey("indicatorScale").doubleValue();
    EXPECT_GT(middle, 0.2);
    EXPECT_LT(middle, 0.8);
    clock->advance(QFVideoOverlayLayer::ExpandDuration);
    EXPECT_DOUBLE_EQ(overlay->presentationLayer()->valueForKey("indicatorScale").doubleValue(), 1);
    overlay->collapse();
    EXPECT_EQ(overlay->buttonLayer()->state(), 0);
}

TEST_F(FlowViewTest, MovieOverlayShowsOnHoverAndAnswersAsACheckBox)
{
    useItems({ TestItem::create(
                   "m", fnd::String((folder / "clip.mp4").string()), QFFlowViewRepresentationType::Path, "Clip"),
        TestItem::create(
            "n", fnd::String((folder / "other.mp4").string()), QFFlowViewRepresentationType::Path, "Other") });
    EXPECT_TRUE(view->imageLayerAtIndex(0)->name().utf8().ends_with("Movie"));
    auto overlay = std::dynamic_pointer_cast<QFVideoOverlayLayer>(view->createMovieOverlayLayerWithIndex(0));
    ASSERT_TRUE(overlay);
    EXPECT_EQ(view->overlayLayerAtIndex(0), overlay);
    EXPECT_TRUE(overlay->isHidden());
    view->mouseEntered(
        *ui::Event::enterExitEventWithType(ui::EventType::MouseEntered, {}, 0, 0, window->windowNumber(), 0, 0, {}));
    EXPECT_FALSE(overlay->isHidden());
    view->mouseExited(
        *ui::Event::enterExitEventWithType(ui::EventType::MouseExited, {}, 0, 0, window->windowNumber(), 0, 0, {}));
    EXPECT_TRUE(overlay->isHidden());

    auto check = overlay->buttonLayer()->valueForKey("axHelper").objectAs<QFLayerAccessibilityHelper>();
    ASSERT_TRUE(check);
    EXPECT_EQ(
        check->accessibilityAttributeValue(ui::AccessibilityAttribute::Title), fnd::Value("Start movie playback"));
    check->accessibilitySetValue(1, ui::AccessibilityAttribute::Value);
    EXPECT_EQ(overlay->buttonLayer()->state(), 1);
    EXPECT_EQ(check->accessibilityAttributeValue(ui::AccessibilityAttribute::Title), fnd::Value("Stop movie playback"));

    // Moving the selection takes the overlay off its item, which ends its watch of its visibility.
    overlay->setupNotifications();
    view->setSelectedIndex(1);
    EXPECT_FALSE(overlay->superlayer());
    EXPECT_FALSE(overlay->isObservingHidden());
}

}
}
