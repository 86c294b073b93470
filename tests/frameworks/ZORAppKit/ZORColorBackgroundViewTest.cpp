#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "support/Canvas.h"

#include <cmath>
#include <map>
#include <utility>

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

// A ramp drawn a piece at a time (as a scroll view or a partial redisplay asks for it) has the pixels of the same
// region of a whole draw. The bands start a quarter point above the pixels' edges, so each pixel row is shared by two
// bands, and the colour is translucent, so what each band adds to a shared pixel shows.
TEST_F(ZORColorBackgroundViewTest, APartOfTheRampHasThePixelsOfTheWholeRamp)
{
    auto view = ZORColorBackgroundView::create({ 0, 0, 30, 120.5 });
    view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(0.2, 0.5, 0.9, 0.6));
    view->setBlended(true);
    view->setBoundsOrigin({ 0, 0.25 });
    const gfx::Rect whole { 0, 0, 30, 121 };
    auto all = view->bitmapImageRepForCachingDisplayInRect(whole);
    view->cacheDisplayInRect(whole, *all);
    const auto allPixels = std::as_const(*all).pixelBuffer();
    ASSERT_NE(gfx::alphaOf(allPixels.pixel(15, 60)), 0) << "the whole ramp is drawn";

    for (const gfx::Rect part : { gfx::Rect { 0, 40, 30, 20 }, gfx::Rect { 0, 0, 30, 7 }, gfx::Rect { 0, 113, 30, 8 },
             gfx::Rect { 0, 77, 30, 1 }, gfx::Rect { 10, 3, 5, 100 } }) {
        auto piece = view->bitmapImageRepForCachingDisplayInRect(part);
        view->cacheDisplayInRect(part, *piece);
        const auto pixels = std::as_const(*piece).pixelBuffer();
        int differing = 0;
        for (int y = 0; y < pixels.height; ++y) {
            // Rows run from the top: the piece's top row is the whole picture's row at the piece's top edge.
            const int wholeRow = allPixels.height - static_cast<int>(part.maxY()) + y;
            for (int x = 0; x < pixels.width; ++x)
                differing += pixels.pixel(x, y) != allPixels.pixel(static_cast<int>(part.minX()) + x, wholeRow);
        }
        EXPECT_EQ(differing, 0) << "part at y " << part.minY() << ", " << part.height() << " high";
    }
}

// A view far taller than any window draws the part in sight, in the colours the ramp has there: band k of n has
// start + (end − start) · k / n. Ten million points (single-precision steps added band after band no longer move
// the colour there) and three thousand million (more bands than a 32-bit count holds).
TEST_F(ZORColorBackgroundViewTest, ATallViewShowsTheRampsColoursWhereItIsScrolled)
{
    const double c[3] = { 0.3, 0.5, 0.8 };
    for (const double height : { 10'000'000.0, 3'000'000'000.5 }) {
        auto scrollView = ui::ScrollView::create({ 10, 10, 60, 100 });
        auto view = ZORColorBackgroundView::create({ 0, 0, 60, height });
        view->setBackgroundColor(gfx::Color::colorWithCalibratedRed(c[0], c[1], c[2]));
        view->setBlended(true);
        scrollView->setDocumentView(view);
        add(scrollView);
        const double bottom = std::floor(height * 0.37);
        scrollView->contentView()->scrollToPoint({ 0, bottom });
        ASSERT_EQ(scrollView->contentView()->bounds().minY(), bottom);
        auto image = snapshot();
        const double bands = std::floor(height);
        for (const double row : { 0.0, 1.0, 50.0, 99.0 }) {
            const double band = bottom + row;
            auto p = channels(pixelIn(*image, *view, { 30, band + 0.5 }));
            for (int k = 0; k < 3; ++k) {
                const double start = c[k] * 0.99 + 0.01, end = c[k] * 0.4 + 0.6;
                EXPECT_NEAR(p[k], (start + (end - start) * band / bands) * 255, 1)
                    << "height " << height << ", band " << band << ", channel " << k;
            }
        }
        scrollView->removeFromSuperview();
    }
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
