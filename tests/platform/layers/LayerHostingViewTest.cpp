#include "LayerTestSupport.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

using namespace ui;
using layerstest::near;
using layerstest::rgb;
using layerstest::rgbaAt;

namespace {

// A view that counts its drawing passes.
class HostView : public View {
    FND_OBJECT(HostView)
public:
    bool isFlipped() const override { return flipped; }
    void drawRect(gfx::Rect) override { ++draws; }
    bool flipped { false };
    int draws { 0 };
};

FND_REGISTER_CLASS(HostView, View)

class LayerHostingViewTest : public layerstest::LayerTest {
protected:
    void SetUp() override
    {
        backend = HeadlessBackend::install();
        window = Window::create({ 100, 100, 200, 100 });
        view = std::make_shared<HostView>();
        view->initWithFrame({ 0, 0, 200, 100 });
        window->setContentView(view);
        window->orderFront();
        root = Layer::layer();
        root->setBackgroundColor(rgb(0, 0, 1));
        marker = Layer::layer();
        marker->setFrame({ 0, 0, 50, 50 });
        marker->setBackgroundColor(rgb(1, 0, 0));
        root->addSublayer(marker);
    }
    void TearDown() override
    {
        for (const auto& w : Application::shared().windows())
            w->close();
        Backend::install(nullptr);
    }

    std::shared_ptr<HeadlessBackend> backend;
    std::shared_ptr<Window> window;
    std::shared_ptr<HostView> view;
    std::shared_ptr<Layer> root, marker;
};

}

TEST_F(LayerHostingViewTest, AViewShowsItsLayerTreeUprightOnItsBounds)
{
    view->setLayer(root);
    EXPECT_FALSE(view->wantsLayer());
    auto image = backend->imageOfWindow(*window);
    EXPECT_EQ(rgbaAt(*image, 10, 10)[2], rgbaAt(*image, 150, 80)[2]) << "not drawn before wantsLayer";
    view->setWantsLayer(true);
    EXPECT_EQ(root->frame(), gfx::Rect(0, 0, 200, 100));
    image = backend->imageOfWindow(*window);
    EXPECT_TRUE(near(rgbaAt(*image, 10, 10), { 255, 0, 0, 255 })) << "the marker at the bottom left";
    EXPECT_TRUE(near(rgbaAt(*image, 150, 80), { 0, 0, 255, 255 }));
    // In a flipped view the tree stays upright.
    view->flipped = true;
    image = backend->imageOfWindow(*window);
    EXPECT_TRUE(near(rgbaAt(*image, 10, 10), { 255, 0, 0, 255 }));
    EXPECT_TRUE(near(rgbaAt(*image, 10, 90), { 0, 0, 255, 255 }));
    // The root follows the view's size without animating.
    commit();
    view->setFrameSize({ 150, 80 });
    EXPECT_EQ(root->frame(), gfx::Rect(0, 0, 150, 80));
    EXPECT_TRUE(root->animationKeys().empty());
    // A view that wants a layer without being given one makes a plain one.
    auto other = std::make_shared<HostView>();
    other->initWithFrame({ 0, 0, 30, 30 });
    other->setWantsLayer(true);
    ASSERT_TRUE(other->layer());
    EXPECT_EQ(other->layer()->bounds(), gfx::Rect(0, 0, 30, 30));
}

TEST_F(LayerHostingViewTest, TheViewRedrawsWhileAnimationsRunAndThenStops)
{
    view->setLayer(root);
    view->setWantsLayer(true);
    commit();
    runFor(0.1);
    const int settled = view->draws;
    runFor(1);
    EXPECT_EQ(view->draws, settled) << "nothing changes, nothing is drawn";
    {
        TransactionScope transaction;
        Transaction::setAnimationDuration(1);
        Transaction::setAnimationTimingFunction(MediaTimingFunction::functionWithName(MediaTimingFunctionName::Linear));
        marker->setPosition({ 175, 25 });
    }
    runFor(0.5);
    EXPECT_GT(view->draws, settled + 10) << "about one pass a frame";
    auto image = backend->imageOfWindow(*window);
    EXPECT_TRUE(near(rgbaAt(*image, 100, 25), { 255, 0, 0, 255 })) << "halfway: the marker is centred at x 100";
    EXPECT_TRUE(near(rgbaAt(*image, 20, 25), { 0, 0, 255, 255 }));
    runFor(1);
    const int done = view->draws;
    runFor(2);
    EXPECT_EQ(view->draws, done) << "the animation ended: no more passes";
    image = backend->imageOfWindow(*window);
    EXPECT_TRUE(near(rgbaAt(*image, 175, 25), { 255, 0, 0, 255 }));
}
