#include "frameworks/AppKitExtensions/ZORNSWindowExtension.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/UiTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace windowflip {

namespace X = ZORNSWindowExtension;

// Fills its bounds with one colour.
class Painted : public ui::View {
public:
    void drawRect(gfx::Rect) override
    {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*colour);
        context->fillRect(bounds());
    }
    gfx::ColorPtr colour;
};

class WindowFlipTest : public uitest::UiTest {
protected:
    WindowFlipTest()
    {
        front = window({ 200, 200, 300, 200 }, gfx::Color::redColor());
        back = window({ 0, 0, 200, 120 }, gfx::Color::blueColor());
        front->makeKeyAndOrderFront();
    }
    ~WindowFlipTest() override { ui::Event::setCurrentModifierFlags(0); }

    static std::shared_ptr<ui::Window> window(gfx::Rect frame, gfx::ColorPtr colour)
    {
        auto w = ui::Window::create(ui::Window::contentRectForFrameRect(frame, ui::WindowStyleMask::Titled));
        auto content = std::make_shared<Painted>();
        content->colour = std::move(colour);
        w->setContentView(content);
        return w;
    }
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }

    // The visible windows that are neither of the two.
    std::vector<std::shared_ptr<ui::Window>> flipWindows() const
    {
        std::vector<std::shared_ptr<ui::Window>> found;
        for (const auto& w : ui::Application::shared().orderedWindows())
            if (w != front && w != back)
                found.push_back(w);
        return found;
    }
    static std::shared_ptr<ui::Layer> cardOf(const ui::Window& flipWindow) { return flipWindow.contentView()->layer(); }
    void save(ui::Window& w, const char* name)
    {
        if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"))
            (void)backend->writePNG(w, fnd::String(std::string(folder) + "/" + name + ".png"));
    }

    std::shared_ptr<ui::Window> front;
    std::shared_ptr<ui::Window> back;
};

TEST_F(WindowFlipTest, TheTurnRunsOnTwoClearWindowsAndEndsWithTheBackWindowInFront)
{
    X::flipToWindow(*front, back, 1.0, true);
    EXPECT_EQ(X::midpoint(*back), X::midpoint(*front)) << "centred where the front window is";
    EXPECT_EQ(back->frame().size, (gfx::Size { 200, 120 }));
    EXPECT_FALSE(front->isVisible());
    EXPECT_TRUE(back->isVisible());
    EXPECT_EQ(back->alphaValue(), 0);

    auto flips = flipWindows();
    ASSERT_EQ(flips.size(), 2u);
    auto fromFlip = flips[0], toFlip = flips[1]; // front to back: the front window's card lies on top
    EXPECT_EQ(fromFlip->frame(), gfx::insetRect(front->frame(), -100, -100));
    EXPECT_EQ(toFlip->frame(), gfx::insetRect(back->frame(), -100, -100));
    for (const auto& flip : flips) {
        EXPECT_EQ(flip->styleMask(), ui::WindowStyleMask::Borderless);
        EXPECT_FALSE(flip->isOpaque());
        EXPECT_FALSE(flip->hasShadow());
        auto card = cardOf(*flip);
        ASSERT_NE(card, nullptr);
        EXPECT_FALSE(card->isDoubleSided());
        EXPECT_EQ(card->contentsGravity(), ui::ContentsGravity::Center);
        EXPECT_NEAR(card->shadowOpacity(), 0.4, 1e-9);
        EXPECT_EQ(card->shadowOffset(), (gfx::Size { 0, -22.5 }));
        auto turn = std::dynamic_pointer_cast<ui::BasicAnimation>(card->animationForKey("transform"));
        ASSERT_NE(turn, nullptr);
        EXPECT_EQ(turn->duration(), 1.0);
        EXPECT_FALSE(turn->isRemovedOnCompletion());
    }
    auto frontCard = cardOf(*fromFlip);
    EXPECT_EQ(frontCard->contents()->size(), front->frame().size) << "a picture of the whole window";

    // A quarter of the way, the front card shows turned, narrower than it is; past half way the back card shows.
    auto centre = [&](ui::Window& w) {
        auto image = backend->imageOfWindow(w);
        auto pixels = image->pixelBuffer();
        return pixels.pixel(pixels.width / 2, pixels.height / 2);
    };
    auto widthShown = [&](ui::Window& w) {
        auto image = backend->imageOfWindow(w);
        auto pixels = image->pixelBuffer();
        int shown = 0;
        for (int x = 0; x < pixels.width; ++x)
            shown += gfx::alphaOf(pixels.pixel(x, pixels.height / 2)) == 255;
        return shown;
    };
    EXPECT_EQ(widthShown(*fromFlip), 300) << "the front card faces the user";
    EXPECT_EQ(centre(*toFlip), 0u) << "the back card is turned away";
    runFor(0.3);
    EXPECT_EQ(centre(*fromFlip), 0xFFFF0000u);
    EXPECT_LT(widthShown(*fromFlip), 290) << "turning";
    save(*fromFlip, "WindowFlip-front-turning");
    runFor(0.4);
    EXPECT_EQ(centre(*fromFlip), 0u) << "past a quarter turn the front card is away";
    EXPECT_EQ(centre(*toFlip), 0xFF0000FFu) << "and the back card shows";
    save(*toFlip, "WindowFlip-back-turning");
    EXPECT_EQ(flipWindows().size(), 2u) << "still turning";

    runFor(0.5);
    EXPECT_TRUE(flipWindows().empty()) << "the flip windows are closed";
    EXPECT_TRUE(fromFlip->isClosed());
    EXPECT_TRUE(toFlip->isClosed());
    EXPECT_EQ(back->alphaValue(), 1);
    EXPECT_TRUE(back->isKeyWindow());
    EXPECT_FALSE(front->isVisible());
    EXPECT_EQ(ui::Application::shared().orderedWindows().front(), back);
}

TEST_F(WindowFlipTest, ShiftSlowsTheTurnDownTwiceAndWithControlEightTimes)
{
    const std::pair<unsigned, double> cases[] = {
        { 0, 1.0 },
        { ui::ModifierFlags::Shift, 2.0 },
        { ui::ModifierFlags::Shift | ui::ModifierFlags::Control, 8.0 },
        { ui::ModifierFlags::Control, 1.0 },
    };
    for (auto [flags, factor] : cases) {
        ui::Event::setCurrentModifierFlags(flags);
        front->makeKeyAndOrderFront();
        X::flipToWindow(*front, back, 0.5, false);
        auto flips = flipWindows();
        ASSERT_EQ(flips.size(), 2u);
        for (const auto& flip : flips) {
            EXPECT_EQ(cardOf(*flip)->animationForKey("transform")->duration(), 0.5 * factor) << "flags " << flags;
            EXPECT_EQ(cardOf(*flip)->shadowOpacity(), 0) << "no shadow asked for";
        }
        runFor(0.5 * factor + 0.1);
        EXPECT_TRUE(flipWindows().empty());
    }
}

TEST_F(WindowFlipTest, TheTargetCanTakeTheFrameAndTheFlipEndsAlsoWhenItsTurnIsStopped)
{
    X::flipToWindow(*front, back, true, 1.0, false);
    EXPECT_EQ(back->frame(), front->frame());
    auto flips = flipWindows();
    ASSERT_EQ(flips.size(), 2u);
    cardOf(*flips[1])->removeAnimationForKey("transform");
    runFor(0.05);
    EXPECT_TRUE(flipWindows().empty()) << "a stopped turn ends the flip too";
    EXPECT_EQ(back->alphaValue(), 1);
    EXPECT_TRUE(back->isKeyWindow());
}

TEST_F(WindowFlipTest, MidpointsMoveTheFrameAroundItsCentre)
{
    X::setMidpoint(*back, { 500, 400 });
    EXPECT_EQ(back->frame(), (gfx::Rect { 400, 340, 200, 120 }));
    EXPECT_EQ(X::midpoint(*back), (gfx::Point { 500, 400 }));
}

}
