#include "LayerTestSupport.h"

#include "platform/layers/ReplicatorLayer.h"
#include "platform/layers/ScrollLayer.h"

#include <cmath>

using namespace ui;

namespace {

class LayerGeometryTest : public layerstest::LayerTest {
protected:
    // A 200 × 200 root whose sublayers are seen with the eye 500 points in front of its centre.
    void SetUp() override
    {
        root = Layer::layer();
        root->setFrame({ 0, 0, 200, 200 });
        root->setSublayerTransform(Transform3D::perspective(500));
        card = Layer::layer();
        card->setFrame({ 50, 50, 100, 100 });
        card->setTransform(Transform3D::rotation(M_PI / 3, 0, 1, 0));
        root->addSublayer(card);
    }

    std::shared_ptr<Layer> root, card;
};

constexpr double Sin60 = 0.86602540378443865;

}

TEST_F(LayerGeometryTest, ConvertedCornersOfATurnedLayerInPerspectiveMatchHandComputedValues)
{
    struct Corner {
        gfx::Point local;
        gfx::Point inRoot;
    };
    const Corner corners[] = {
        { { 0, 0 }, { 72.6296589325329, 45.2593178650658 } },
        { { 100, 0 }, { 123.00749268568151, 53.98501462863697 } },
        { { 100, 100 }, { 123.00749268568151, 146.01498537136303 } },
        { { 0, 100 }, { 72.6296589325329, 154.7406821349342 } },
        { { 50, 50 }, { 100, 100 } },
    };
    for (const auto& c : corners) {
        auto p = card->convertPointToLayer(c.local, root.get());
        ASSERT_TRUE(p);
        EXPECT_NEAR(p->x, c.inRoot.x, 1e-9) << c.local.x << "," << c.local.y;
        EXPECT_NEAR(p->y, c.inRoot.y, 1e-9) << c.local.x << "," << c.local.y;
        auto back = card->convertPointFromLayer(c.inRoot, root.get());
        ASSERT_TRUE(back);
        EXPECT_NEAR(back->x, c.local.x, 1e-9);
        EXPECT_NEAR(back->y, c.local.y, 1e-9);
    }
    // The rectangle converts to the bounding box of its projected corners.
    auto box = card->convertRectToLayer(card->bounds(), root.get());
    EXPECT_NEAR(box.minX(), 72.6296589325329, 1e-9);
    EXPECT_NEAR(box.maxX(), 123.00749268568151, 1e-9);
    EXPECT_NEAR(box.minY(), 45.2593178650658, 1e-9);
    EXPECT_NEAR(box.maxY(), 154.7406821349342, 1e-9);
    // The root's superlayer space (nullptr) is the root's frame origin away.
    root->setPosition({ 110, 100 });
    auto outside = card->convertPointToLayer({ 50, 50 }, nullptr);
    EXPECT_NEAR(outside->x, 110, 1e-9);
    // A point the eye sees behind it has no image.
    card->setTransform(concatenated(Transform3D::scaling(20, 1, 1), Transform3D::rotation(M_PI / 3, 0, 1, 0)));
    EXPECT_FALSE(card->convertPointToLayer({ -10, 50 }, root.get()));
}

TEST_F(LayerGeometryTest, HitTestsGoThroughTheInversePlaneProjection)
{
    // (80, 100) lies on the turned card's middle line: dx solves 0.5·dx / (1 + dx·sin 60°/500) = −20.
    EXPECT_EQ(root->hitTest({ 80, 100 }), card);
    auto local = card->convertPointFromLayer({ 80, 100 }, root.get());
    EXPECT_NEAR(local->x, 50 - 20 / (0.5 + 20 * Sin60 / 500), 1e-9);
    EXPECT_NEAR(local->y, 50, 1e-9);
    // Inside the card's untransformed frame but beyond its foreshortened far edge at x = 123.0: the root.
    EXPECT_EQ(root->hitTest({ 125, 100 }), root);
    // Just inside the near bottom corner's edge, and just outside it.
    EXPECT_EQ(root->hitTest({ 75, 47 }), card);
    EXPECT_EQ(root->hitTest({ 75, 45 }), root);
    EXPECT_EQ(root->hitTest({ 300, 100 }), nullptr);

    // A card turned away that is not double-sided is not hit; hidden ones neither.
    card->setTransform(Transform3D::rotation(M_PI, 0, 1, 0));
    EXPECT_EQ(root->hitTest({ 100, 100 }), card);
    card->setDoubleSided(false);
    EXPECT_EQ(root->hitTest({ 100, 100 }), root);
    card->setDoubleSided(true);
    card->setHidden(true);
    EXPECT_EQ(root->hitTest({ 100, 100 }), root);

    // A masking superlayer cuts its sublayers off at its bounds.
    auto outer = Layer::layer();
    outer->setFrame({ 0, 0, 60, 60 });
    auto inner = Layer::layer();
    inner->setFrame({ 40, 40, 60, 60 });
    outer->addSublayer(inner);
    root->addSublayer(outer);
    EXPECT_EQ(root->hitTest({ 80, 80 }), inner);
    outer->setMasksToBounds(true);
    EXPECT_EQ(root->hitTest({ 80, 80 }), root);
    EXPECT_EQ(root->hitTest({ 50, 50 }), inner);
    // Rounded corners are part of the mask (of the sublayers: the layer itself is hit in its whole bounds).
    outer->setCornerRadius(20);
    EXPECT_EQ(root->hitTest({ 58, 58 }), outer);
    EXPECT_EQ(root->hitTest({ 45, 45 }), inner);
}

TEST_F(LayerGeometryTest, SiblingsDrawInAscendingZPositionAndKeepTheirOrderOtherwise)
{
    root->setSublayerTransform({});
    card->removeFromSuperlayer();
    auto make = [&](double z) {
        auto l = Layer::layer();
        l->setFrame({ 0, 0, 100, 100 });
        l->setZPosition(z);
        root->addSublayer(l);
        return l;
    };
    auto a = make(0), b = make(-1), c = make(0);
    // Drawn b, a, c: the last drawn is hit.
    EXPECT_EQ(root->hitTest({ 50, 50 }), c);
    c->setZPosition(-2);
    EXPECT_EQ(root->hitTest({ 50, 50 }), a);
    a->setZPosition(-1);
    EXPECT_EQ(root->hitTest({ 50, 50 }), b) << "equal z keeps sublayer order, b after a";
    // In a replicator that keeps depth, depth from a transform counts; a flattening layer looks at zPosition only.
    auto group = ReplicatorLayer::layer();
    group->setFrame({ 0, 0, 100, 100 });
    auto raised = Layer::layer();
    raised->setFrame({ 0, 0, 100, 100 });
    raised->setTransform(Transform3D::translation(0, 0, 10));
    auto later = Layer::layer();
    later->setFrame({ 0, 0, 100, 100 });
    group->addSublayer(raised);
    group->addSublayer(later);
    root->addSublayer(group);
    EXPECT_EQ(root->hitTest({ 50, 50 }), later);
    group->setPreservesDepth(true);
    EXPECT_EQ(root->hitTest({ 50, 50 }), raised);
}

TEST_F(LayerGeometryTest, FrameIgnoresTheTransformAndRoundTrips)
{
    // The card is turned in 3-D; its frame still reads back as set.
    card->setAnchorPoint({ 0, 0 });
    card->setFrame({ 10, 20, 140, 100 });
    EXPECT_EQ(card->frame(), gfx::Rect(10, 20, 140, 100));
    EXPECT_EQ(card->position(), gfx::Point(10, 20));
    EXPECT_EQ(card->bounds().size, gfx::Size(140, 100));
    card->setAnchorPoint({ 1, 0 });
    EXPECT_EQ(card->frame(), gfx::Rect(-130, 20, 140, 100)) << "the position stays; the frame follows the anchor";
    card->setFrame({ 0, -50, 30, 40 });
    EXPECT_EQ(card->position(), gfx::Point(30, -50));
}

TEST_F(LayerGeometryTest, ScrollLayersMoveTheirBoundsAndLimitWhatIsVisible)
{
    auto scroll = ScrollLayer::layer();
    scroll->setFrame({ 0, 0, 100, 100 });
    scroll->setScrollMode(ScrollMode::Horizontally);
    auto item = Layer::layer();
    item->setFrame({ 120, 10, 40, 40 });
    scroll->addSublayer(item);
    root->addSublayer(scroll);
    EXPECT_TRUE(item->visibleRect().isEmpty());
    // In horizontal mode the y of the point is ignored.
    scroll->scrollToPoint({ 50, 999 });
    EXPECT_EQ(scroll->bounds().origin, gfx::Point(50, 0));
    EXPECT_EQ(item->visibleRect(), gfx::Rect(0, 0, 30, 40));
    // Scrolling to a rect moves as little as needed; a sublayer asks its scroll layer.
    item->scrollRectToVisible(item->bounds());
    EXPECT_EQ(scroll->bounds().origin, gfx::Point(60, 0));
    EXPECT_EQ(item->visibleRect(), item->bounds());
    item->scrollPoint({ -120, 0 });
    EXPECT_EQ(scroll->bounds().origin, gfx::Point(0, 0));
    // The item's point in the root follows the scroll.
    EXPECT_NEAR(item->convertPointToLayer({ 0, 0 }, root.get())->x, 120, 1e-9);
}

TEST_F(LayerGeometryTest, ReplicatorInstancesTurnAboutTheCentre)
{
    auto r = ReplicatorLayer::layer();
    r->setFrame({ 0, 0, 140, 100 });
    r->setInstanceTransform(concatenated(Transform3D::scaling(1, -1, 1), Transform3D::translation(0, -100, 0)));
    // The mirror about the centre line y = 50, then 100 down: y 0..100 lands on −100..0, top edge to bottom.
    auto once = r->transformOfInstance(1);
    EXPECT_NEAR(once.transformPoint(30, 100).y, -100, 1e-12);
    EXPECT_NEAR(once.transformPoint(30, 0).y, 0, 1e-12);
    EXPECT_NEAR(once.transformPoint(30, 0).x, 30, 1e-12);
    r->setInstanceRedOffset(-0.4);
    r->setInstanceAlphaOffset(-0.75);
    auto color = r->colorOfInstance(2);
    EXPECT_NEAR(color[0], 0.2, 1e-12);
    EXPECT_NEAR(color[1], 1, 1e-12);
    EXPECT_NEAR(color[3], 0, 1e-12) << "clamped";
}
