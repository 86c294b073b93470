// Settings at the extremes of what a double holds, given through the setters, key-value coding (as interface files
// and bindings set them) and archives: every frame the view reports stays finite, and its archive reads back to a
// view that shows its items and archives the same again.
#include "QFFlowViewTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Font.h"
#include "platform/layers/LayerAnimation.h"
#include "support/ArchiveEditing.h"
#include "support/FiniteLayerFrames.h"

#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <sstream>

namespace {

using namespace flowviewtest;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double ExtremePool[] = { NaN, Infinity, -Infinity, 1e308, -1e308, 0, -1, 1e7 };
using T = ui::Transform3D;
constexpr double T::*PerspectiveEntries[16] = { &T::m11, &T::m12, &T::m13, &T::m14, &T::m21, &T::m22, &T::m23, &T::m24,
    &T::m31, &T::m32, &T::m33, &T::m34, &T::m41, &T::m42, &T::m43, &T::m44 };

using testsupport::collectUnfiniteFrames;
using testsupport::describeRect;
using testsupport::rectIsFinite;

// Every layer of the view's tree, where it shows, and each item's frame and picture are finite.
::testing::AssertionResult framesAreFinite(QFFlowView& view)
{
    std::ostringstream out;
    if (auto root = view.backgroundLayer())
        collectUnfiniteFrames(*root, *root, out);
    for (std::size_t i = 0; i < view.numberOfItems(); ++i) {
        if (!rectIsFinite(view.itemFrameAtIndex(i)))
            out << "item " << i << "'s frame is " << describeRect(view.itemFrameAtIndex(i)) << "; ";
        if (auto content = view.imageLayerAtIndex(i); content && !rectIsFinite(view.rectInViewForLayer(*content)))
            out << "item " << i << " shows at " << describeRect(view.rectInViewForLayer(*content)) << "; ";
    }
    if (out.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << out.str();
}

// One numeric setting of the view, as a person's code, an interface file or an archive gives it.
struct Setting {
    const char* name;
    std::function<void(QFFlowView&, double)> set;
    // The key an interface file sets it by, when it has one.
    const char* key;
    // Depths may put the pictures behind the eye, where nothing is drawn: those views are only read back.
    bool readBackShowsItems { true };
};

const std::vector<Setting>& numericSettings()
{
    static const std::vector<Setting> settings {
        { "stackedAngle", [](QFFlowView& v, double x) { v.setStackedAngle(x); }, "stackedAngle" },
        { "spacing", [](QFFlowView& v, double x) { v.setSpacing(x); }, "spacing" },
        { "selectedScale", [](QFFlowView& v, double x) { v.setSelectedScale(x); }, "selectedScale", false },
        { "stackedScale", [](QFFlowView& v, double x) { v.setStackedScale(x); }, "stackedScale", false },
        { "reflectionOffset", [](QFFlowView& v, double x) { v.setReflectionOffset(x); }, "reflectionOffset" },
        { "itemScale", [](QFFlowView& v, double x) { v.setItemScale(x); }, "itemScale" },
        { "previewScale", [](QFFlowView& v, double x) { v.setPreviewScale(x); }, "previewScale" },
        { "scrollDuration", [](QFFlowView& v, double x) { v.setScrollDuration(x); }, "scrollDuration" },
        { "titleSize", [](QFFlowView& v, double x) { v.setTitleSize(x); }, nullptr },
        { "selectedIndex", [](QFFlowView& v, double x) { v.setValueForKey(x, "selectedIndex"); }, "selectedIndex" },
    };
    return settings;
}

class FlowViewExtremeSettingsTest : public FlowViewTest {
protected:
    // The archive reads back to a view that archives the same again and, put in the window in place of the
    // fixture's view and given the same items, keeps every frame finite; where `mustShow`, the first item, which the
    // reload selects, shows: its own picture, or its placeholder while a long first move holds the pictures back.
    ::testing::AssertionResult readsBack(const fnd::Data& archive, const std::string& what, bool mustShow = true)
    {
        // Extremes cut to one bound archive alike: each archive is read back once.
        if (!m_readBack.insert(archive.vector()).second)
            return ::testing::AssertionSuccess();
        auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(archive).objectAs<QFFlowView>();
        if (!copy)
            return ::testing::AssertionFailure() << what << ": the archive does not read back";
        auto again = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(copy));
        if (!again || *again != archive)
            return ::testing::AssertionFailure() << what << ": read back, the view archives otherwise";
        view->removeFromSuperview();
        copy->setFrame({ 0, 0, 800, 400 });
        window->contentView()->addSubview(copy);
        copy->setDataSource(source);
        copy->reloadContent();
        if (mustShow)
            drainPictures(*copy);
        else
            settle();
        auto frames = framesAreFinite(*copy);
        auto visible = copy->visibleItemIndexes();
        auto shown = copy->imageLayerAtIndex(0);
        const auto picture = source->items[0].objectAs<TestItem>()->representation.objectAs<gfx::BitmapImageRep>();
        const bool selectedShows = copy->selectedIndex() == 0 && visible.location == 0 && visible.length > 0 && shown
            && (copy->scrollDuration() < 1 ? shown->contents() == picture : shown->contents() != nullptr);
        copy->removeFromSuperview();
        copy->operationQueue()->cancelAllOperations();
        waitForOperations(*copy->operationQueue());
        window->contentView()->addSubview(view);
        if (!frames)
            return ::testing::AssertionFailure() << what << ", read back: " << frames.message();
        if (mustShow && !selectedShows)
            return ::testing::AssertionFailure() << what << ", read back: the selected item does not show its picture";
        return ::testing::AssertionSuccess();
    }

private:
    std::set<std::vector<std::uint8_t>> m_readBack;
};

// Every numeric setting, set to each extreme (by its setter and by its key), leaves the view's frames finite; its
// archive reads back to a view that shows its items and archives the same again.
TEST_F(FlowViewExtremeSettingsTest, ExtremeSettingsKeepFramesFiniteAndArchivesReadable)
{
    useItems(bitmapItems(3));
    for (const auto& setting : numericSettings()) {
        for (double value : ExtremePool) {
            for (bool byKey : { false, true }) {
                if (byKey && !setting.key)
                    continue;
                std::ostringstream what;
                what << setting.name << " set to " << value << (byKey ? " by its key" : "");
                view->setDefaults();
                view->setTitleSize(18);
                view->setSelectedIndex(1);
                if (byKey)
                    view->setValueForKey(value, setting.key);
                else
                    setting.set(*view, value);
                settle();
                EXPECT_TRUE(framesAreFinite(*view)) << what.str();
                if (byKey)
                    continue; // the key reaches the same setter: its archive is the same
                auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
                ASSERT_TRUE(archive) << what.str();
                EXPECT_TRUE(readsBack(*archive, what.str(), setting.readBackShowsItems));
            }
        }
    }
}

// The perspective, read when the scroll layer is made, carries its entries through the archive into the decoded
// view's tree: each entry at each extreme leaves that tree's frames finite and archives the same again.
TEST_F(FlowViewExtremeSettingsTest, ExtremePerspectiveEntriesKeepFramesFinite)
{
    useItems(bitmapItems(3));
    const auto defaults = view->perspective();
    for (int entry = 0; entry < 16; ++entry) {
        for (double value : ExtremePool) {
            std::ostringstream what;
            what << "perspective entry " << entry << " set to " << value;
            auto perspective = defaults;
            perspective.*PerspectiveEntries[entry] = value;
            view->setPerspective(defaults);
            view->setPerspective(perspective);
            for (auto member : PerspectiveEntries)
                ASSERT_TRUE(std::isfinite(view->perspective().*member)) << what.str();
            auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
            ASSERT_TRUE(archive);
            EXPECT_TRUE(readsBack(*archive, what.str(), false));
        }
    }
}

// An archive made elsewhere may hold any number: what it holds beyond a setting's bound reads back at that bound,
// and the view shows its items. A view archived with spacing 1e308 once read back showing nothing.
TEST_F(FlowViewExtremeSettingsTest, ArchivedExtremesReadBackAtTheirBounds)
{
    useItems(bitmapItems(3));
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
    ASSERT_TRUE(archive);
    struct Case {
        const char* key;
        double stored;
        double (QFFlowView::*get)() const;
        double expected;
        bool shows { true };
    };
    // Depths that far lie behind the eye or shrink the pictures to nothing: those views are only read back.
    const Case cases[] = {
        { "spacing", 1e308, &QFFlowView::spacing, 1e7 },
        { "spacing", -1e308, &QFFlowView::spacing, -1e7 },
        { "selectedScale", 1e308, &QFFlowView::selectedScale, 1e7, false },
        { "stackedScale", -1e308, &QFFlowView::stackedScale, -1e7, false },
        { "scrollDuration", 1e308, &QFFlowView::scrollDuration, 60 },
        { "scrollDuration", -1, &QFFlowView::scrollDuration, 0 },
    };
    for (const auto& c : cases) {
        std::ostringstream what;
        what << c.key << " archived as " << c.stored;
        auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(testsupport::withRootKey(*archive, c.key, c.stored))
                        .objectAs<QFFlowView>();
        ASSERT_TRUE(copy) << what.str();
        EXPECT_EQ((copy.get()->*c.get)(), c.expected) << what.str();
        auto bounded = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(copy));
        ASSERT_TRUE(bounded);
        EXPECT_TRUE(readsBack(*bounded, what.str(), c.shows));
    }
    fnd::Array entries;
    for (auto member : PerspectiveEntries)
        entries.push_back(member == &T::m34 ? -1e308 : member == &T::m41 ? 1e308 : view->perspective().*member);
    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(
        testsupport::withRootKey(*archive, "perspective", fnd::Dictionary { { "$array", entries } }))
                    .objectAs<QFFlowView>();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->perspective().m34, -1e7);
    EXPECT_EQ(copy->perspective().m41, 1e7);
    EXPECT_EQ(copy->perspective().m11, 1) << "the other entries as they were";
}

// A move takes at most a minute: the pictures, made when a move ends, then come. Given a longer one, a view waited
// with its placeholders for as long as it was told.
TEST_F(FlowViewExtremeSettingsTest, AMoveTakesAtMostAMinute)
{
    useItems(bitmapItems(5));
    view->setScrollDuration(1e7);
    view->setSelectedIndex(2);
    ui::Transaction::flush();
    auto layer = view->itemLayerAtIndex(2);
    ASSERT_FALSE(layer->animationKeys().empty()) << "the item moves";
    for (const auto& key : layer->animationKeys())
        EXPECT_EQ(layer->animationForKey(key)->duration(), 60) << key.utf8();
}

// What the bounds leave alone: values a person uses keep their exact values, and the item positions follow the
// formula with them.
TEST_F(FlowViewExtremeSettingsTest, ValuesWithinTheBoundsAreKeptExactly)
{
    view->setSpacing(-40);
    EXPECT_EQ(view->spacing(), -40) << "items may overlap";
    view->setSpacing(9.5e6);
    EXPECT_EQ(view->spacing(), 9.5e6);
    view->setSelectedScale(1234.5);
    EXPECT_EQ(view->selectedScale(), 1234.5);
    view->setStackedScale(-9e6);
    EXPECT_EQ(view->stackedScale(), -9e6);
    view->setScrollDuration(2.5);
    EXPECT_EQ(view->scrollDuration(), 2.5);
    view->setTitleSize(72);
    EXPECT_EQ(view->titleLayer()->fontSize(), 72);
    view->setTitleSize(-1);
    EXPECT_EQ(view->titleLayer()->fontSize(), 72) << "a size below 0 is no size";
    view->setTitleSize(1e308);
    EXPECT_EQ(view->titleLayer()->fontSize(), gfx::Font::LargestPointSize);

    view->setTitleSize(18);
    view->setSpacing(20);
    view->setStackedAngle(90);
    useItems(bitmapItems(4));
    view->setSelectedIndex(0);
    settle(1);
    // Angle 90: factor 0; selection 0 puts item i at i × spacing + w/2 for i > 0.
    double w = view->itemLayerAtIndex(0)->frame().width();
    EXPECT_DOUBLE_EQ(view->itemLayerAtIndex(2)->frame().minX(), 2 * 20 + w / 2);
}

}
