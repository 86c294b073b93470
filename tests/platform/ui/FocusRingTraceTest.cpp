// What the window shows after the focus ring moved, changed hands, was scrolled or resized, drawn only where the
// window was told to draw, compared with the whole window drawn afresh: no ring, nor a piece of one, stays where
// it no longer is.
#include "UiTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace ui;

namespace {

// An antialiased edge drawn again may round a level the other way; a ring left behind is 60 % of the accent colour.
constexpr int FocusRingTraceTolerance = 8;

// A grey rounded box that takes the keyboard; its focus shape is the box.
class FocusTraceBox : public View {
public:
    static std::shared_ptr<FocusTraceBox> make(gfx::Rect frame)
    {
        auto view = std::make_shared<FocusTraceBox>();
        view->initWithFrame(frame);
        return view;
    }
    bool acceptsFirstResponder() const override { return true; }
    gfx::Rect focusRingMaskBounds() const override { return bounds(); }
    void drawFocusRingMask() override { fillShape(); }
    void drawRect(gfx::Rect) override
    {
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::colorWithDeviceWhite(0.8, 1));
        fillShape();
    }

private:
    void fillShape()
    {
        gfx::GraphicsContext::current()->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(bounds(), 5, 5));
    }
};

// An opaque ground under everything, so what was drawn before shows unless it is drawn over.
class FocusTraceGround : public View {
public:
    static std::shared_ptr<FocusTraceGround> make(gfx::Rect frame)
    {
        auto view = std::make_shared<FocusTraceGround>();
        view->initWithFrame(frame);
        return view;
    }
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirty) override
    {
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::whiteColor());
        gfx::GraphicsContext::current()->fillRect(dirty);
    }
};

class FocusRingTraceTest : public uitest::UiTest, public ::testing::WithParamInterface<double> {
protected:
    FocusRingTraceTest()
    {
        backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, GetParam() } });
        window = Window::create({ { 100, 100 }, { 320, 240 } });
        ground = FocusTraceGround::make({ 0, 0, 320, 240 });
        window->contentView()->addSubview(ground);
        for (int k = 0; k < 3; ++k) {
            boxes.push_back(FocusTraceBox::make({ 20.0 + 90 * k, 150, 60, 40 }));
            ground->addSubview(boxes.back());
        }
        // A box inside a scrolled document, its ring clipped by the scroll view.
        scroll = ScrollView::create({ 20, 20, 200, 110 });
        auto document = FocusTraceGround::make({ 0, 0, 400, 400 });
        scroll->setDocumentView(document);
        ground->addSubview(scroll);
        boxes.push_back(FocusTraceBox::make({ 40, 40, 80, 50 }));
        document->addSubview(boxes.back());
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(boxes[0]);
        window->display();
    }

    // The surface as drawn by the last pass.
    std::vector<std::uint32_t> shown() const
    {
        auto pixels = backend->surfaceForWindow(*window)->pixels();
        std::vector<std::uint32_t> copy;
        copy.reserve(std::size_t(pixels.width) * std::size_t(pixels.height));
        for (int y = 0; y < pixels.height; ++y)
            copy.insert(copy.end(), pixels.row(y), pixels.row(y) + pixels.width);
        return copy;
    }
    // Pixels the redraw left unlike the whole window drawn afresh.
    int leftBehind()
    {
        window->displayIfNeeded();
        const auto drawnInParts = shown();
        window->display();
        const auto drawnWhole = shown();
        int differing = 0;
        for (std::size_t k = 0; k < drawnWhole.size(); ++k) {
            if (drawnInParts[k] == drawnWhole[k])
                continue;
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = int((drawnInParts[k] >> shift) & 0xFF), b = int((drawnWhole[k] >> shift) & 0xFF);
                if (std::abs(a - b) > FocusRingTraceTolerance) {
                    ++differing;
                    break;
                }
            }
        }
        return differing;
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<FocusTraceGround> ground;
    std::shared_ptr<ScrollView> scroll;
    std::vector<std::shared_ptr<FocusTraceBox>> boxes;
};

}

TEST_P(FocusRingTraceTest, NothingOfTheRingStaysWhereItNoLongerIs)
{
    struct Step {
        const char* name;
        std::function<void()> act;
    };
    auto& focused = boxes[0];
    const std::vector<Step> steps = {
        { "moved right by whole points",
            [&] {
                focused->setFrameOrigin({ 40, 150 });
            } },
        { "moved down by a fraction",
            [&] {
                focused->setFrameOrigin({ 40, 131.5 });
            } },
        { "made smaller",
            [&] {
                focused->setFrameSize({ 30, 20 });
            } },
        { "made larger",
            [&] {
                focused->setFrameSize({ 70, 45 });
            } },
        { "turned", [&] { focused->setFrameRotation(20); } },
        { "turned back", [&] { focused->setFrameRotation(0); } },
        { "focus handed on", [&] { window->makeFirstResponder(boxes[1]); } },
        { "focus into the document", [&] { window->makeFirstResponder(boxes[3]); } },
        { "document scrolled",
            [&] {
                scroll->contentView()->scrollToPoint({ 15, 22 });
            } },
        { "document scrolled back",
            [&] {
                scroll->contentView()->scrollToPoint({ 0, 0 });
            } },
        { "scroll view made smaller",
            [&] {
                scroll->setFrameSize({ 120, 70 });
            } },
        { "hidden", [&] { boxes[3]->setHidden(true); } },
        { "focus to a box again", [&] { window->makeFirstResponder(boxes[2]); } },
        { "made transparent", [&] { boxes[2]->setAlphaValue(0); } },
        { "made opaque", [&] { boxes[2]->setAlphaValue(1); } },
        { "removed", [&] { boxes[2]->removeFromSuperview(); } },
        { "focus to the first box", [&] { window->makeFirstResponder(focused); } },
        { "window no longer key", [&] { window->resignKeyWindow(); } },
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(leftBehind(), 0) << step.name;
    }
}

// Moves, resizes, scrolls and focus changes at random, each drawn only where the window was told to draw.
TEST_P(FocusRingTraceTest, AtRandomNothingOfTheRingStaysBehind)
{
    const unsigned seed = std::random_device {}();
    std::mt19937 random(seed);
    auto among = [&](int count) { return int(random() % unsigned(count)); };
    auto coordinate = [&](double from, double to) {
        // Whole points, half points and odd fractions.
        const double quantum[] = { 1, 0.5, 0.37 };
        const double q = quantum[among(3)];
        return from + q * std::floor(std::uniform_real_distribution<double>(0, to - from)(random) / q);
    };
    std::ostringstream done;
    for (int step = 0; step < 40; ++step) {
        auto& box = boxes[std::size_t(among(int(boxes.size())))];
        switch (among(5)) {
        case 0:
            box->setFrameOrigin({ coordinate(0, 240), coordinate(0, 180) });
            done << " move";
            break;
        case 1:
            box->setFrameSize({ coordinate(8, 90), coordinate(8, 60) });
            done << " resize";
            break;
        case 2:
            window->makeFirstResponder(among(6) == 0 ? nullptr : box);
            done << " focus";
            break;
        case 3:
            scroll->contentView()->scrollToPoint({ coordinate(0, 200), coordinate(0, 290) });
            done << " scroll";
            break;
        default:
            scroll->setFrame({ coordinate(0, 40), coordinate(0, 40), coordinate(60, 240), coordinate(40, 150) });
            done << " scroll view frame";
            break;
        }
        ASSERT_EQ(leftBehind(), 0) << "seed " << seed << ", after" << done.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, FocusRingTraceTest, ::testing::Values(1.0, 2.0));
