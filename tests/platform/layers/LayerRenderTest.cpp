#include "LayerTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/layers/GradientLayer.h"
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
