#include "LayerTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/layers/GradientLayer.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/ReplicatorLayer.h"
#include "platform/layers/TextLayer.h"

#include <cmath>
#include <filesystem>

using namespace ui;
using layerstest::near;
using layerstest::rgb;
using layerstest::rgbaAt;
using layerstest::solidImage;
using RGBA = std::array<int, 4>;

namespace {

class LayerRenderTest : public layerstest::LayerTest {
protected:
    std::shared_ptr<Layer> makeRoot(double w, double h)
    {
        auto root = Layer::layer();
        root->setFrame({ 0, 0, w, h });
        root->setBackgroundColor(rgb(0, 0, 0));
        return root;
    }

    void save(const gfx::BitmapImageRep& image, const char* name)
    {
        auto path = std::filesystem::path(::testing::TempDir()) / name;
        auto written = image.writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
        EXPECT_TRUE(written.has_value()) << path;
    }
};

// A card like the image browsers show: a replicator whose second instance is the picture mirrored below its
// bottom edge and darkened, holding the picture layer that turns in 3-D.
std::shared_ptr<ReplicatorLayer> makeCard(
    gfx::Rect frame, std::uint32_t color, double angle, gfx::Point anchor, double z)
{
    auto card = ReplicatorLayer::layer();
    card->setFrame(frame);
    card->setInstanceCount(2);
    card->setPreservesDepth(true);
    card->setInstanceRedOffset(-0.5);
    card->setInstanceGreenOffset(-0.5);
    card->setInstanceBlueOffset(-0.5);
    auto mirror = Transform3D::scaling(1, -1, 1);
    mirror = concatenated(mirror, Transform3D::translation(0, -frame.height(), 0));
    card->setInstanceTransform(mirror);
    auto picture = Layer::layer();
    picture->setAnchorPoint(anchor);
    picture->setFrame({ 0, 0, frame.width(), frame.height() });
    picture->setContents(solidImage(int(frame.width()), int(frame.height()), color));
    picture->setBorderWidth(4);
    picture->setBorderColor(rgb(1, 1, 1));
    picture->setTransform(Transform3D::rotation(angle, 0, 1, 0));
    picture->setZPosition(z);
    card->addSublayer(picture);
    return card;
}

}

TEST_F(LayerRenderTest, RotatedCardsWithReflectionsInPerspective)
{
    auto root = makeRoot(640, 360);
    auto stage = Layer::layer();
    stage->setFrame({ 0, 0, 640, 360 });
    stage->setSublayerTransform(Transform3D::perspective(500));
    root->addSublayer(stage);
    stage->addSublayer(makeCard({ 90, 150, 140, 140 }, 0xFFFF0000, M_PI / 3, { 0, 0 }, 0));
    stage->addSublayer(makeCard({ 410, 150, 140, 140 }, 0xFF0000FF, -M_PI / 3, { 1, 0 }, 0));
    auto centre = makeCard({ 250, 150, 140, 140 }, 0xFF00FF00, 0, { 0.5, 0 }, 100);
    centre->setZPosition(1);
    stage->addSublayer(centre);

    auto image = renderLayerTreeToBitmap(*root, { 0, 0, 640, 360 });
    ASSERT_TRUE(image);
    save(*image, "layers-cards.png");

    // The selected card is 100 points nearer the eye at 500: scaled by 1.25 about the stage centre (320, 180).
    EXPECT_TRUE(near(rgbaAt(*image, 320, 230), { 0, 255, 0, 255 })) << "centre card";
    // Its border, 4 points wide, lands 5 pixels wide inside its projected edge at x = 320 + 70 × 1.25.
    EXPECT_TRUE(near(rgbaAt(*image, 404, 230), { 255, 255, 255, 255 })) << "centre card border";
    EXPECT_TRUE(near(rgbaAt(*image, 410, 230), { 0, 0, 0, 255 })) << "beside the centre card";
    // The reflection: the card mirrored under the line y = 150 and darkened by half.
    EXPECT_TRUE(near(rgbaAt(*image, 320, 55), { 0, 128, 0, 255 }, 4)) << "reflection";
    // The left card turns about its left edge (x = 90) by 60°: its point (20, 70) goes to (100, 220, −17.3),
    // which the perspective divide puts at (107.4, 218.7).
    EXPECT_TRUE(near(rgbaAt(*image, 107, 218), { 255, 0, 0, 255 })) << "left card";
    // Its point (130, 70) goes to (155, 220, −112.6) and lands at (185.3, 212.7); its far edge at x = 191.2.
    EXPECT_TRUE(near(rgbaAt(*image, 185, 212), { 255, 0, 0, 255 }, 4)) << "far part of the left card";
    EXPECT_TRUE(near(rgbaAt(*image, 197, 212), { 0, 0, 0, 255 })) << "beyond the left card's far edge";
    // The right card mirrors the left one about the centre line x = 320.
    EXPECT_TRUE(near(rgbaAt(*image, 640 - 108, 218), { 0, 0, 255, 255 })) << "right card";
    EXPECT_TRUE(near(rgbaAt(*image, 600, 300), { 0, 0, 0, 255 })) << "background";
}

TEST_F(LayerRenderTest, AReplicatedReflectionMirrorsItsSource)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 40, 100 });
    auto replicator = ReplicatorLayer::layer();
    replicator->setFrame({ 10, 50, 20, 40 });
    replicator->setInstanceCount(2);
    replicator->setInstanceTransform(concatenated(Transform3D::scaling(1, -1, 1), Transform3D::translation(0, -40, 0)));
    replicator->setInstanceRedOffset(-0.5);
    replicator->setInstanceBlueOffset(-0.5);
    // The picture: red on top, blue below.
    auto picture = gfx::BitmapImageRep::create(20, 40, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = picture->pixelBuffer();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x)
            pixels.row(y)[x] = y < 20 ? 0xFFFF0000 : 0xFF0000FF;
    auto source = Layer::layer();
    source->setFrame({ 0, 0, 20, 40 });
    source->setContents(picture);
    replicator->addSublayer(source);
    root->addSublayer(replicator);

    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    const std::pair<int, RGBA> probes[] = {
        { 80, { 255, 0, 0, 255 } }, // the source's top
        { 60, { 0, 0, 255, 255 } }, // its bottom
        { 40, { 0, 0, 128, 255 } }, // the reflection starts with the bottom, darkened
        { 20, { 128, 0, 0, 255 } }, // and ends with the top
        { 5, { 0, 0, 0, 0 } }, // below it nothing
    };
    for (const auto& [y, rgba] : probes)
        EXPECT_TRUE(near(rgbaAt(*image, 20, y), rgba)) << "at y " << y;
    // Hit testing sees the sublayer itself, not its instances.
    EXPECT_EQ(root->hitTest({ 20, 70 }), source);
    EXPECT_EQ(root->hitTest({ 20, 30 }), root);
}

TEST_F(LayerRenderTest, ContentsSitInTheBoundsByTheirGravity)
{
    struct Case {
        fnd::String gravity;
        std::vector<gfx::Point> covered;
        std::vector<gfx::Point> clear;
    };
    // A 50 × 25 picture in a 100 × 100 layer at (50, 50) of a 200 × 200 root; y up, top is maxY.
    const Case cases[] = {
        { ContentsGravity::Resize, { { 52, 52 }, { 148, 148 } }, { { 48, 100 } } },
        { ContentsGravity::ResizeAspect, { { 52, 78 }, { 148, 122 } }, { { 100, 72 }, { 100, 128 } } },
        { ContentsGravity::ResizeAspectFill, { { 5, 100 }, { 195, 148 } }, { { 100, 155 } } },
        { ContentsGravity::Center, { { 78, 90 }, { 122, 110 } }, { { 72, 100 }, { 100, 115 } } },
        { ContentsGravity::TopLeft, { { 52, 148 }, { 98, 127 } }, { { 102, 148 }, { 52, 123 } } },
        { ContentsGravity::BottomRight, { { 148, 52 }, { 102, 73 } }, { { 98, 52 }, { 148, 77 } } },
    };
    for (const auto& c : cases) {
        auto root = Layer::layer();
        root->setFrame({ 0, 0, 200, 200 });
        auto layer = Layer::layer();
        layer->setFrame({ 50, 50, 100, 100 });
        layer->setContents(solidImage(50, 25, 0xFFFF0000));
        layer->setContentsGravity(c.gravity);
        root->addSublayer(layer);
        auto image = renderLayerTreeToBitmap(*root, root->bounds());
        for (auto p : c.covered)
            EXPECT_TRUE(near(rgbaAt(*image, int(p.x), int(p.y)), { 255, 0, 0, 255 }))
                << c.gravity.utf8() << " covers " << p.x << "," << p.y;
        for (auto p : c.clear)
            EXPECT_EQ(rgbaAt(*image, int(p.x), int(p.y))[3], 0) << c.gravity.utf8() << " leaves " << p.x << "," << p.y;
        // Masking to the bounds cuts the overflow off.
        layer->setMasksToBounds(true);
        image = renderLayerTreeToBitmap(*root, root->bounds());
        EXPECT_EQ(rgbaAt(*image, 5, 100)[3], 0) << c.gravity.utf8();
    }
}

TEST_F(LayerRenderTest, BackgroundBorderCornersOpacityMasksAndShadows)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 200, 200 });
    auto card = Layer::layer();
    card->setFrame({ 20, 20, 100, 100 });
    card->setBackgroundColor(rgb(1, 1, 1));
    card->setBorderWidth(10);
    card->setBorderColor(rgb(0, 0, 0));
    card->setCornerRadius(20);
    auto inner = Layer::layer();
    inner->setFrame({ 80, 80, 100, 100 });
    inner->setBackgroundColor(rgb(1, 0, 0));
    card->addSublayer(inner);
    auto faint = Layer::layer();
    faint->setFrame({ 150, 20, 30, 30 });
    faint->setBackgroundColor(rgb(0, 1, 0));
    faint->setOpacity(0.5);
    auto shadowed = Layer::layer();
    shadowed->setFrame({ 150, 100, 30, 30 });
    shadowed->setBackgroundColor(rgb(0, 0, 1));
    shadowed->setShadowOpacity(1);
    shadowed->setShadowOffset({ 0, -10 });
    shadowed->setShadowRadius(0);
    root->setSublayers({ card, faint, shadowed });

    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    save(*image, "layers-looks.png");
    EXPECT_EQ(rgbaAt(*image, 22, 22)[3], 0) << "rounded corner";
    EXPECT_TRUE(near(rgbaAt(*image, 70, 24), { 0, 0, 0, 255 })) << "border";
    EXPECT_TRUE(near(rgbaAt(*image, 70, 60), { 255, 255, 255, 255 })) << "background";
    EXPECT_TRUE(near(rgbaAt(*image, 160, 160), { 255, 0, 0, 255 })) << "unmasked sublayer";
    EXPECT_TRUE(near(rgbaAt(*image, 165, 35), { 0, 128, 0, 128 })) << "half opacity";
    EXPECT_TRUE(near(rgbaAt(*image, 165, 115), { 0, 0, 255, 255 })) << "shadow caster";
    EXPECT_TRUE(near(rgbaAt(*image, 165, 95), { 0, 0, 0, 255 })) << "its shadow 10 below";
    EXPECT_EQ(rgbaAt(*image, 165, 85)[3], 0) << "below the shadow";

    card->setMasksToBounds(true);
    faint->setHidden(true);
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*image, 110, 110), { 255, 0, 0, 255 })) << "sublayer inside the mask";
    EXPECT_EQ(rgbaAt(*image, 160, 160)[3], 0) << "sublayer outside the mask";
    EXPECT_EQ(rgbaAt(*image, 118, 118)[3], 0) << "sublayer in the cut corner";
    EXPECT_EQ(rgbaAt(*image, 165, 35)[3], 0) << "hidden";
}

TEST_F(LayerRenderTest, PlanesTurnedAwayShowOnlyWhenDoubleSidedAndNothingLeaksPastTheirOutline)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 300, 300 });
    root->setSublayerTransform(Transform3D::perspective(400));
    auto card = Layer::layer();
    card->setFrame({ 50, 50, 200, 200 });
    card->setBackgroundColor(rgb(1, 1, 0));
    card->setBorderWidth(6);
    card->setBorderColor(rgb(1, 1, 1));
    card->setTransform(Transform3D::rotation(1.2, 1, 1, 0));
    root->addSublayer(card);
    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    save(*image, "layers-steep.png");
    // Every pixel with ink lies within a pixel of the card's projected outline.
    int inked = 0, strays = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            if (rgbaAt(*image, x, y)[3] == 0)
                continue;
            ++inked;
            auto local = card->convertPointFromLayer({ x + 0.5, y + 0.5 }, root.get());
            if (!local || !gfx::pointInRect(*local, gfx::insetRect(card->bounds(), -3, -3)))
                ++strays;
        }
    EXPECT_GT(inked, 5000);
    EXPECT_EQ(strays, 0);

    card->setTransform(Transform3D::rotation(M_PI, 0, 1, 0));
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*image, 150, 150), { 255, 255, 0, 255 })) << "seen from behind";
    card->setDoubleSided(false);
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_EQ(rgbaAt(*image, 150, 150)[3], 0) << "turned away";
}

TEST_F(LayerRenderTest, GradientAndTextLayersDrawThemselves)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 200, 100 });
    root->setBackgroundColor(rgb(0, 0, 0));
    auto gradient = GradientLayer::layer();
    gradient->setFrame({ 0, 0, 50, 100 });
    gradient->setColors({ rgb(1, 0, 0), rgb(0, 0, 1) });
    auto title = TextLayer::layer();
    title->setFrame({ 60, 0, 140, 100 });
    title->setString(fnd::String("Hello"));
    title->setFontSize(20);
    title->setAlignmentMode(TextAlignmentMode::Center);
    root->setSublayers({ gradient, title });

    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    save(*image, "layers-text.png");
    // From the start point at the bottom to the end point at the top.
    EXPECT_TRUE(near(rgbaAt(*image, 25, 1), { 252, 0, 2, 255 }, 4));
    EXPECT_TRUE(near(rgbaAt(*image, 25, 98), { 2, 0, 252, 255 }, 4));
    EXPECT_TRUE(near(rgbaAt(*image, 25, 50), { 127, 0, 127, 255 }, 4));
    // White text in the top band of the layer, centred; nothing in the lower half.
    auto inkIn = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += rgbaAt(*image, x, y)[0] > 128;
        return n;
    };
    EXPECT_GT(inkIn(90, 170, 75, 100), 50);
    EXPECT_EQ(inkIn(60, 200, 0, 60), 0);
    EXPECT_EQ(inkIn(60, 85, 60, 100) + inkIn(175, 200, 60, 100), 0) << "centred";
    // A change of the string draws again.
    title->setString(fnd::String(""));
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_EQ(inkIn(60, 200, 0, 100), 0);
}

namespace {

class StopRecorder : public LayerAnimationDelegate {
public:
    void animationDidStop(LayerAnimation&, bool finished) override { stops.push_back(finished); }
    std::vector<bool> stops;
};

// Rows of the colour in column x of the image.
int columnHeight(const gfx::BitmapImageRep& image, int x, const RGBA& color)
{
    int n = 0;
    for (int y = 0; y < image.pixelsHigh(); ++y)
        n += near(rgbaAt(image, x, y), color, 40);
    return n;
}

}

TEST_F(LayerRenderTest, ACardTurnShowsTheFrontThenTheBackTurningTheSameWay)
{
    // Two one-sided pictures on the two faces of a card: the back starts turned away; both turn half a turn with
    // a perspective of their own, the back from a half turn on to a whole one.
    auto root = makeRoot(200, 200);
    auto front = Layer::layer();
    auto back = Layer::layer();
    const auto halfTurn = Transform3D::rotation(M_PI, 0, 1, 0);
    int i = 0;
    for (const auto& face : { front, back }) {
        face->setFrame({ 50, 50, 100, 100 });
        face->setContents(solidImage(100, 100, i++ ? 0xFF0000FF : 0xFFFF0000));
        face->setContentsGravity(ContentsGravity::Center);
        face->setDoubleSided(false);
        root->addSublayer(face);
    }
    back->setTransform(halfTurn);
    commit();
    const auto t1 = concatenated(halfTurn, Transform3D::perspective(850));
    const auto t2 = concatenated(Transform3D::rotation(2 * M_PI, 0, 1, 0), Transform3D::perspective(850));
    auto recorder = std::make_shared<StopRecorder>();
    auto turn = [&](const std::shared_ptr<Layer>& face, const Transform3D& from, const Transform3D& to, bool observed) {
        auto a = BasicAnimation::animationWithKeyPath("transform");
        a->setFromValue(fnd::toValue(from));
        a->setToValue(fnd::toValue(to));
        a->setDuration(1);
        a->setRemovedOnCompletion(false);
        a->setTimingFunction(MediaTimingFunction::functionWithName(MediaTimingFunctionName::EaseInEaseOut));
        if (observed)
            a->setDelegate(recorder);
        face->setTransform(to);
        face->addAnimation(a, "transform");
    };
    turn(front, {}, t1, false);
    turn(back, halfTurn, t2, true);

    const RGBA red { 255, 0, 0, 255 }, blue { 0, 0, 255, 255 };
    advance(0.25);
    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*image, 100, 100), red)) << "the front faces the eye";
    EXPECT_EQ(columnHeight(*image, 100, blue), 0) << "the back faces away and is not drawn";
    // Near the quarter turn (eased: 43% of the turn at 45% of the time) the front is edge-on and its right edge
    // the far one.
    advance(0.2);
    image = renderLayerTreeToBitmap(*root, root->bounds());
    save(*image, "layers-flip-front.png");
    EXPECT_GE(columnHeight(*image, 89, red), columnHeight(*image, 111, red) + 3);
    // Past it the back shows, turning on the same way: now its right edge is the near one.
    advance(0.1);
    image = renderLayerTreeToBitmap(*root, root->bounds());
    save(*image, "layers-flip-back.png");
    EXPECT_EQ(columnHeight(*image, 100, red), 0);
    EXPECT_GE(columnHeight(*image, 111, blue), columnHeight(*image, 89, blue) + 3);
    advance(0.2);
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*image, 100, 100), blue)) << "the back has come round";
    runFor(0.3);
    EXPECT_EQ(recorder->stops, std::vector<bool> { true });
    ASSERT_TRUE(back->animationForKey("transform")) << "kept after the end";
    image = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*image, 100, 100), blue));
    EXPECT_TRUE(near(rgbaAt(*image, 52, 52), blue));
}

// A plane's raster is kept from frame to frame: moving the layer shows it at its new place, and a change of what it
// is drawn from shows at once. Planes in front blend over those behind as they are stacked, whatever order the
// compositor fills them in.
TEST_F(LayerRenderTest, KeptRastersFollowChangesAndStackedPlanesBlendInOrder)
{
    auto root = makeRoot(100, 60);
    auto card = Layer::layer();
    card->setFrame({ 10, 10, 30, 30 });
    card->setBackgroundColor(rgb(0, 0, 1));
    card->setBorderWidth(4);
    card->setBorderColor(rgb(1, 1, 1));
    card->setCornerRadius(3);
    root->addSublayer(card);
    // Half-transparent red in front of part of the card and of the black root.
    auto veil = Layer::layer();
    veil->setFrame({ 30, 20, 40, 10 });
    veil->setBackgroundColor(rgb(1, 0, 0, 0.5));
    veil->setZPosition(1);
    root->addSublayer(veil);
    commit();

    auto first = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*first, 20, 25), { 0, 0, 255, 255 })) << "the card's middle";
    EXPECT_TRUE(near(rgbaAt(*first, 11, 25), { 255, 255, 255, 255 })) << "its border";
    EXPECT_TRUE(near(rgbaAt(*first, 35, 25), { 128, 0, 127, 255 })) << "red over blue";
    EXPECT_TRUE(near(rgbaAt(*first, 60, 25), { 128, 0, 0, 255 })) << "red over black";

    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        card->setPosition({ 65, 25 });
    }
    auto moved = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*moved, 20, 25), { 0, 0, 0, 255 })) << "where the card was";
    EXPECT_TRUE(near(rgbaAt(*moved, 65, 35), { 0, 0, 255, 255 })) << "the card where it went";
    EXPECT_TRUE(near(rgbaAt(*moved, 51, 35), { 255, 255, 255, 255 })) << "its border there";
    EXPECT_TRUE(near(rgbaAt(*moved, 60, 25), { 128, 0, 127, 255 })) << "the veil over it now";

    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        card->setBorderColor(rgb(0, 1, 0));
    }
    auto recoloured = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_TRUE(near(rgbaAt(*recoloured, 51, 35), { 0, 255, 0, 255 })) << "the new border colour";
}

TEST_F(LayerRenderTest, EdgePixelsAreCoveredByTheShareOfThemThePlaneCovers)
{
    // A plain background and a picture, each from x = 10.25 to 30.75 at full height: the end pixels are covered by
    // three quarters. Then the same background turned by 45° about its centre, its edge from (10, 20) to (20, 10)
    // cutting pixel (14, 15) along its diagonal: half covered.
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 40, 40 });
    auto plane = Layer::layer();
    plane->setFrame({ 10.25, 0, 20.5, 40 });
    root->addSublayer(plane);
    commit();
    const auto coverageAlongARow = [&](const char* what) {
        auto image = renderLayerTreeToBitmap(*root, root->bounds());
        EXPECT_EQ(rgbaAt(*image, 9, 20)[3], 0) << what;
        EXPECT_NEAR(rgbaAt(*image, 10, 20)[3], 191, 2) << what;
        EXPECT_EQ(rgbaAt(*image, 20, 20)[3], 255) << what;
        EXPECT_NEAR(rgbaAt(*image, 30, 20)[3], 191, 2) << what;
        EXPECT_EQ(rgbaAt(*image, 31, 20)[3], 0) << what;
    };
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        plane->setBackgroundColor(rgb(1, 1, 1));
    }
    coverageAlongARow("background");
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        plane->setBackgroundColor(nullptr);
        plane->setContents(solidImage(41, 80, 0xFFFFFFFF));
    }
    coverageAlongARow("picture");

    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        plane->setContents(nullptr);
        plane->setBackgroundColor(rgb(1, 1, 1));
        plane->setFrame({ 20 - 5 * M_SQRT2, 20 - 5 * M_SQRT2, 10 * M_SQRT2, 10 * M_SQRT2 });
        plane->setTransform(Transform3D::rotation(M_PI / 4, 0, 0, 1));
    }
    auto turned = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_NEAR(rgbaAt(*turned, 14, 15)[3], 128, 2);
    EXPECT_EQ(rgbaAt(*turned, 13, 15)[3], 0);
    EXPECT_EQ(rgbaAt(*turned, 15, 16)[3], 255);
    EXPECT_EQ(rgbaAt(*turned, 20, 20)[3], 255);

    // A plane whose edges lie billions of points out (beyond any pixel column's number) covers what it spans: the
    // left half of the target, from x -5e9 to 20.
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        plane->setTransform(Transform3D::identity());
        plane->setFrame({ -5e9, 0, 5e9 + 20, 40 });
    }
    auto wide = renderLayerTreeToBitmap(*root, root->bounds());
    EXPECT_EQ(rgbaAt(*wide, 0, 20)[3], 255);
    EXPECT_EQ(rgbaAt(*wide, 19, 20)[3], 255);
    EXPECT_EQ(rgbaAt(*wide, 20, 20)[3], 0);
}

TEST_F(LayerRenderTest, APicturePlacedPixelForPixelKeepsEveryPixel)
{
    // 4 × 3 pixels of distinct colours in a layer of 4 × 3 at (5, 7) of a 20 × 20 root: each lands on one pixel as
    // it is (rows from the top: the first row at y up 9), and at half opacity at half its value.
    auto picture = gfx::BitmapImageRep::create(4, 3, gfx::BitmapLayout::ARGB32Premultiplied);
    auto source = picture->pixelBuffer();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source.row(y)[x]
                = gfx::packPixel(255, std::uint8_t(40 * x + 10), std::uint8_t(60 * y + 20), std::uint8_t(200 - 30 * x));
    picture->setSize({ 4, 3 });
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 20, 20 });
    auto layer = Layer::layer();
    layer->setFrame({ 5, 7, 4, 3 });
    layer->setContents(picture);
    root->addSublayer(layer);
    for (double opacity : { 1.0, 0.5 }) {
        {
            TransactionScope transaction;
            Transaction::setDisableActions(true);
            layer->setOpacity(opacity);
        }
        auto image = renderLayerTreeToBitmap(*root, root->bounds());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                auto p = source.row(y)[x];
                auto scaled = [&](int v) { return opacity == 1 ? v : int(std::lround(v * 128 / 255.0)); };
                std::array<int, 4> expected { scaled(gfx::redOf(p)), scaled(gfx::greenOf(p)), scaled(gfx::blueOf(p)),
                    scaled(255) };
                EXPECT_TRUE(near(rgbaAt(*image, 5 + x, 9 - y), expected, 1))
                    << "pixel " << x << "," << y << " at " << opacity;
            }
        EXPECT_EQ(rgbaAt(*image, 4, 8)[3], 0);
        EXPECT_EQ(rgbaAt(*image, 9, 8)[3], 0);
        EXPECT_EQ(rgbaAt(*image, 6, 10)[3], 0);
    }
}

// Planes billions of pixels away on either side (a scale or a row of pictures can carry them there) draw nothing and
// leave the rest as it is; their pixel boxes were once made by converting such places to int, which is undefined.
TEST_F(LayerRenderTest, PlanesFarBeyondTheTargetDrawNothing)
{
    auto root = makeRoot(100, 100);
    auto inView = Layer::layer();
    inView->setFrame({ 10, 10, 30, 30 });
    inView->setBackgroundColor(rgb(1, 0, 0));
    root->addSublayer(inView);
    for (double x : { 3.4e9, -3.4e9 }) {
        for (bool withPicture : { false, true }) {
            auto far = Layer::layer();
            far->setFrame({ x, 20, 60, 60 });
            if (withPicture)
                far->setContents(solidImage(6, 6, 0xFF00FF00));
            else
                far->setBackgroundColor(rgb(0, 1, 0));
            root->addSublayer(far);
        }
    }
    auto far = Layer::layer();
    far->setFrame({ 50, 3.4e9, 40, 40 });
    far->setBackgroundColor(rgb(0, 0, 1));
    far->setBorderWidth(2);
    far->setBorderColor(rgb(0, 1, 0));
    root->addSublayer(far);
    auto image = renderLayerTreeToBitmap(*root, root->bounds());
    ASSERT_TRUE(image);
    EXPECT_EQ(rgbaAt(*image, 25, 25), (RGBA { 255, 0, 0, 255 })) << "the plane in view";
    for (auto [x, y] : { std::pair { 70, 50 }, { 5, 5 }, { 95, 95 }, { 50, 20 } })
        EXPECT_EQ(rgbaAt(*image, x, y), (RGBA { 0, 0, 0, 255 })) << x << "," << y;
}
