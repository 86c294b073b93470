#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "support/Canvas.h"

#include <cmath>
#include <map>

namespace colorbackgroundviewtest {

using viewstest::SolidView;

class ZORColorBackgroundViewTest : public viewstest::ViewsTest { };

// Components 0..255 of a premultiplied pixel, alpha last.
std::array<int, 4> channels(std::uint32_t p)
{
    return { gfx::redOf(p), gfx::greenOf(p), gfx::blueOf(p), gfx::alphaOf(p) };
}

TEST_F(ZORColorBackgroundViewTest, APlainViewCopiesItsColourAlphaIncluded)
{
    add(SolidView::create({ 0, 0, 240, 180 }, gfx::Color::redColor()));
    auto view = ZORColorBackgroundView::create({ 20, 20, 100, 60 });
    add(view);
    auto defaults = channels(pixelIn(*snapshot("ZORColorBackgroundView-plain"), *view, { 50, 30 }));
    EXPECT_EQ(defaults, (std::array<int, 4> { 204, 204, 204, 255 })) << "calibrated grey 0.8 by default";

    view->setNeedsDisplay(false);
    view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0, 0, 1, 0.5));
    EXPECT_TRUE(view->needsDisplay());
    auto p = channels(pixelIn(*snapshot(), *view, { 50, 30 }));
    EXPECT_EQ(p[0], 0) << "the red beneath is replaced, not blended";
    EXPECT_NEAR(p[2], 128, 1);
    EXPECT_NEAR(p[3], 128, 1);

    view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0.3, 0.5, 0.8));
    view->setBlended(true);
    auto ramp = snapshot("ZORColorBackgroundView-ramp");
    EXPECT_LT(gfx::redOf(pixelIn(*ramp, *view, { 50, 0.5 })), gfx::redOf(pixelIn(*ramp, *view, { 50, 59.5 })));
}

TEST_F(ZORColorBackgroundViewTest, ABlendedViewDrawsOneBandPerWholePointOfHeight)
{
    auto view = ZORColorBackgroundView::create({ 20, 20, 20, 10.5 });
    add(view);
    view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0.2, 0.4, 0.6));
    view->setNeedsDisplay(false);
    view->setBlended(true);
    EXPECT_TRUE(view->needsDisplay());
    window->setBackgroundColor(gfx::Color::clearColor());
    auto image = snapshot("ZORColorBackgroundView-blended");
    // 10 bands for 10.5 points: start = 1 % towards white, step = (60 % − 1 %) towards white / 10, so the top band
    // stops one step short of the end colour.
    const double start[3] = { 0.2 * 0.99 + 0.01, 0.4 * 0.99 + 0.01, 0.6 * 0.99 + 0.01 };
    const double end[3] = { 0.2 * 0.4 + 0.6, 0.4 * 0.4 + 0.6, 0.6 * 0.4 + 0.6 };
    for (int band = 0; band < 10; ++band) {
        auto p = channels(pixelIn(*image, *view, { 10, band + 0.5 }));
        for (int c = 0; c < 3; ++c) {
            double expected = (start[c] + (end[c] - start[c]) / 10 * band) * 255;
            EXPECT_NEAR(p[c], expected, 1) << "band " << band << " channel " << c;
        }
        EXPECT_EQ(p[3], 255);
    }
    EXPECT_EQ(gfx::alphaOf(pixelIn(*image, *view, { 10, 10.25 })), 0) << "the last half point stays unpainted";

    auto thin = ZORColorBackgroundView::create({ 60, 20, 20, 0.9 });
    thin->setBlended(true);
    add(thin);
    EXPECT_EQ(gfx::alphaOf(pixelIn(*snapshot(), *thin, { 10, 0.5 })), 0) << "less than a point draws nothing";

    // Interface designers drop views into it and select from the inside out.
    EXPECT_TRUE(view->ibIsContainer() && view->ibSupportsInsideOutSelection() && view->ibShouldShowContainerGuides());
    EXPECT_TRUE(view->ibDrawFrameWhileResizing() && view->canEditSelf() && view->editorHandlesCaches());
    EXPECT_EQ(&view->ibNearestTargetForDrag(), view.get());
}

TEST_F(ZORColorBackgroundViewTest, SystemColoursBlendAndPatternsFillPlainly)
{
    auto view = ZORColorBackgroundView::create({ 0, 0, 20, 20 });
    view->setBlended(true);
    view->setBackgroundColor(gfx::Color::windowBackgroundColor());
    auto image = snapshotOf(*view);
    auto bottom = image->pixelBuffer().pixel(10, 19), top = image->pixelBuffer().pixel(10, 0);
    EXPECT_LT(gfx::redOf(bottom), gfx::redOf(top)) << "a ramp towards white";

    class Tile : public gfx::PatternImage {
    public:
        gfx::Size patternSize() const override { return { 4, 4 }; }
        void drawPatternTile(gfx::GraphicsContext& context) const override
        {
            context.setFillColor(*gfx::Color::greenColor());
            context.fillRect({ 0, 0, 4, 4 });
        }
    };
    view->setBackgroundColor(gfx::Color::colorWithPatternImage(std::make_shared<Tile>()));
    auto p = channels(snapshotOf(*view)->pixelBuffer().pixel(10, 10));
    EXPECT_EQ(p, (std::array<int, 4> { 0, 255, 0, 255 }));
}

TEST_F(ZORColorBackgroundViewTest, ArchivesKeepColourAndFlagAndOldVersionsHaveNoFlag)
{
    auto view = ZORColorBackgroundView::create({ 0, 0, 10, 10 });
    view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0.1, 0.2, 0.3));
    view->setBlended(true);
    EXPECT_EQ(fnd::classVersion(ZORColorBackgroundView::staticClassInfo()), 1);

    auto keyed = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(view))
                     .objectAs<ZORColorBackgroundView>();
    ASSERT_NE(keyed, nullptr);
    EXPECT_TRUE(keyed->backgroundColor()->isEqual(*view->backgroundColor()));
    EXPECT_TRUE(keyed->blended());
    auto sequential
        = fnd::SequentialUnarchiver::unarchiveObjectWithData(*fnd::SequentialArchiver::archivedDataWithRootObject(view))
              .objectAs<ZORColorBackgroundView>();
    ASSERT_NE(sequential, nullptr);
    EXPECT_TRUE(sequential->backgroundColor()->isEqual(*view->backgroundColor()));
    EXPECT_TRUE(sequential->blended());

    // An archive of the class under its earlier name at version 1: the view's data, the colour, and no flag after it.
    class OldArchive : public fnd::Coder {
    public:
        bool allowsKeyedCoding() const override { return false; }
        const char* coderName() const override { return "OldArchive"; }
        fnd::Index versionForClassName(const fnd::String& name) const override
        {
            return name == "TBQColorBackgroundView" ? 1 : fnd::NotFound;
        }
        gfx::Rect decodeRect() override { return { 0, 0, 40, 30 }; }
        // The view's tool tip and subviews (nil), then the colour.
        fnd::Value decodeObject() override
        {
            return ++objectsRead == 3 ? fnd::Value(gfx::Color::redColor()) : fnd::Value();
        }
        fnd::Number decodeValueOfObjCType(char) override
        {
            ++scalarsRead;
            return 1;
        }
        int objectsRead { 0 };
        int scalarsRead { 0 };
    } old;
    auto decoded = std::make_shared<ZORColorBackgroundView>();
    EXPECT_TRUE(decoded->initWithCoder(old));
    EXPECT_TRUE(decoded->backgroundColor()->isEqual(*gfx::Color::redColor()));
    EXPECT_FALSE(decoded->blended());
    EXPECT_EQ(old.scalarsRead, 3) << "the view's mask and two flags, and no blending flag";
}

}
