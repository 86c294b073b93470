// Autosaved layouts: the state string in both directions under a German locale, derived names, rejected strings,
// state arrays and archives.
#include "SplitViewTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <clocale>
#include <cstdio>
#include <fmt/format.h>
#include <limits>
#include <locale>
#include <regex>

namespace {

using namespace kjtest;

// Switches the C library and the C++ global locale to German (decimal comma) for a scope.
class GermanLocale {
public:
    GermanLocale()
        : m_saved(std::setlocale(LC_ALL, nullptr))
        , m_savedGlobal(std::locale())
    {
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "de_DE.utf8");
        if (m_active)
            std::locale::global(std::locale(std::setlocale(LC_ALL, nullptr)));
    }
    ~GermanLocale()
    {
        std::setlocale(LC_ALL, m_saved.c_str());
        std::locale::global(m_savedGlobal);
    }
    bool active() const { return m_active; }

private:
    std::string m_saved;
    std::locale m_savedGlobal;
    bool m_active { false };
};

// A vertical split view 500 points wide without dividers, three collapsible panes.
class KJSplitViewStateTest : public SplitViewTest {
protected:
    KJSplitViewStateTest()
        : SplitViewTest({ 500, 200 })
    {
        makePanes({ 150, 150, 200 }, 0);
        for (std::size_t i = 0; i < 3; ++i)
            pane(i)->setCanCollapse(true);
        defaults().removeObjectForKey("KJSplitView V Main");
        defaults().removeObjectForKey("KJSplitView H Main");
    }
    static fnd::UserDefaults& defaults() { return fnd::UserDefaults::standardUserDefaults(); }
    std::optional<fnd::String> stored(const char* key) { return defaults().stringForKey(key); }
};

TEST_F(KJSplitViewStateTest, TheStateStringReadsAndWritesWithAPointUnderAGermanLocale)
{
    GermanLocale german;
    ASSERT_TRUE(german.active()) << "the German locale is installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 120.25);
    ASSERT_EQ(std::string(probe), "120,25") << "the C library now writes a decimal comma";

    ASSERT_TRUE(split->setStateFromString("3 120.25 -300 80H"));
    EXPECT_EQ(pane(0)->frame().width(), 120);
    EXPECT_DOUBLE_EQ(pane(0)->fraction(), 0.25);
    EXPECT_TRUE(pane(1)->isCollapsed());
    EXPECT_DOUBLE_EQ(pane(1)->dimension(), 300);
    EXPECT_TRUE(pane(2)->isHidden());
    EXPECT_EQ(pane(2)->frame().width(), 80);
    EXPECT_TRUE(split->mustAdjust());
    EXPECT_EQ(split->stringWithSavedState(), "3 120.25 -300 80H");

    // No trailing zeros, and every digit a remainder needs to read back exactly.
    ASSERT_TRUE(split->setStateFromString("3 1234567 0.5 7.000"));
    EXPECT_EQ(split->stringWithSavedState(), "3 1234567 -250 7");
    ASSERT_TRUE(split->setStateFromString("3 324.49999999999994 10 10"));
    EXPECT_EQ(split->stringWithSavedState(), "3 324.49999999999994 10 10");
}

TEST_F(KJSplitViewStateTest, DamagedOrStaleStringsAreRefusedWithoutAChange)
{
    split->adjustSubviews();
    auto before = frames(*split);
    for (const char* bad : { "", "3", "2 100 200", "4 1 2 3 4", "3 100 200", "3 100  200 300", "x 1 2 3",
             "3 inf 100 100", "3 nan 1 1", "3 100 200 300 ",
             // As many blanks as panes, but the count is missing or wrong.
             " 3 100 200", "2 100 200 300", "+4 1 2 3" }) {
        EXPECT_FALSE(split->setStateFromString(bad)) << '"' << bad << '"';
        EXPECT_EQ(frames(*split), before) << '"' << bad << '"';
    }
    // Right count, nonsense numbers: applied as read; a component without a number reads 0 and collapses.
    EXPECT_TRUE(split->setStateFromString("3 abc 200 300"));
    EXPECT_TRUE(pane(0)->isCollapsed());
    // A pane that may no longer collapse comes back open at its remembered dimension.
    pane(1)->setCanCollapse(false);
    EXPECT_TRUE(split->setStateFromString("3 100 -300 100"));
    EXPECT_FALSE(pane(1)->isCollapsed());
    EXPECT_EQ(pane(1)->frame().width(), 300);
}

// A damaged settings file can hold any number: sizes are bounded to ten million points, as every frame a view reads,
// so what such a string leaves, here a hidden pane that no layout touches, archives and reads back (1e308 wide, the
// archive reported success and could not be read).
TEST_F(KJSplitViewStateTest, HugeSizesInAStateStringAreBoundedSoTheLayoutArchives)
{
    for (bool collapsible : { false, true }) {
        pane(2)->setCanCollapse(collapsible);
        ASSERT_TRUE(split->setStateFromString("3 1e308 1e308 -1e308H"));
        split->layoutSubtreeIfNeeded();
        EXPECT_TRUE(pane(2)->isHidden());
        EXPECT_EQ(pane(2)->isCollapsed(), collapsible);
        // Open, it keeps the bounded size; collapsed, it opens to at most its largest dimension.
        EXPECT_EQ(pane(2)->dimension(), collapsible ? 1e6 : 1e7);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_LE(pane(i)->frame().maxX(), 1e7) << "pane " << i;
        EXPECT_EQ(split->stringWithSavedState(), collapsible ? "3 250 250 -1e+06H" : "3 250 250 1e+07H");

        for (bool keyed : { true, false }) {
            auto data = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split))
                              : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(split));
            ASSERT_TRUE(data) << keyed;
            auto copy = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*data)
                               : fnd::SequentialUnarchiver::unarchiveObjectWithData(*data))
                            .objectAs<KJSplitView>();
            ASSERT_NE(copy, nullptr) << (keyed ? "keyed" : "sequential") << " archive after a state of 1e308, "
                                     << (collapsible ? "collapsible" : "not collapsible");
            ASSERT_EQ(copy->subviews().size(), 3u);
        }
    }
}

TEST_F(KJSplitViewStateTest, LayoutsAreSavedUnderTheNameOnceARestoreWasTried)
{
    EXPECT_EQ(KJSplitView::defaultsKeyForName("Main", false), "KJSplitView V Main");
    EXPECT_EQ(KJSplitView::defaultsKeyForName("Main", true), "KJSplitView H Main");

    // Without a name nothing is written, and restoring answers no but enables saving.
    EXPECT_FALSE(split->saveState(false));
    EXPECT_FALSE(split->restoreState(true));
    EXPECT_TRUE(split->canSaveState());
    EXPECT_FALSE(split->saveState(false));

    split->setAutosaveName("Main", false);
    split->adjustSubviews();
    EXPECT_EQ(stored("KJSplitView V Main"), fnd::String("3 150 150 200")) << "every adjustment saves";
    pane(0)->collapse();
    split->adjustSubviews();
    EXPECT_EQ(stored("KJSplitView V Main"), fnd::String("3 -150 214 286")) << "the others share what it left";

    // A new split view of the same shape comes back to that layout.
    auto again = KJSplitView::create({ 0, 0, 500, 200 });
    for (double d : { 250, 125, 125 }) {
        auto p = KJSplitSubview::create({ 0, 0, d, 200 });
        p->setCanCollapse(true);
        again->addSubview(p);
    }
    again->setAutosaveName("Main", false);
    EXPECT_FALSE(again->canSaveState());
    EXPECT_TRUE(again->restoreState(true));
    again->adjustSubviews();
    EXPECT_EQ(sizes(*again), "0 214 286");

    // A stale string (another count of panes) is refused and the layout kept.
    auto four = KJSplitView::create({ 0, 0, 500, 200 }, 4);
    four->adjustSubviews();
    four->setAutosaveName("Main", false);
    auto before = frames(*four);
    EXPECT_FALSE(four->restoreState(false));
    EXPECT_EQ(frames(*four), before);
    EXPECT_TRUE(four->canSaveState());
}

TEST_F(KJSplitViewStateTest, GivingTheSameNameAgainKeepsTheSavedLayout)
{
    split->setAutosaveName("Main", false);
    split->restoreState(false);
    split->saveState(false);
    ASSERT_TRUE(stored("KJSplitView V Main"));
    split->setAutosaveName("Main", false);
    EXPECT_TRUE(stored("KJSplitView V Main")) << "an interface file setting the name again loses nothing";
    split->setAutosaveName("Other", false);
    EXPECT_FALSE(stored("KJSplitView V Main")) << "a new name erases the old one's layouts";
    KJSplitView::removeStateUsingName("Other");
}

TEST_F(KJSplitViewStateTest, NestedSplitViewsSaveUnderDerivedNamesAndAsArrays)
{
    auto nested = KJSplitView::create({ 0, 0, 150, 200 });
    nested->addSubview(KJSplitSubview::create({ 0, 0, 150, 100 }));
    nested->addSubview(KJSplitSubview::create({ 0, 0, 150, 100 }));
    pane(1)->removeFromSuperview();
    split->addSubviewAtPosition(nested, 1);
    split->adjustSubviews();
    split->setAutosaveName("Main", true);
    EXPECT_EQ(nested->autosaveName(), "Main[1]");
    split->restoreState(true);
    nested->restoreState(false);
    EXPECT_TRUE(split->saveState(true));
    EXPECT_EQ(stored("KJSplitView H Main[1]"), fnd::String("2 100 100"));

    auto states = split->arrayWithStates();
    ASSERT_NE(states.array(), nullptr);
    ASSERT_EQ(states.array()->size(), 4u);
    EXPECT_TRUE((*states.array())[0].isString());
    EXPECT_TRUE((*states.array())[1].isNull());
    EXPECT_TRUE((*states.array())[2].isArray());
    EXPECT_TRUE((*states.array())[3].isNull());

    // Back from the arrays, nested ones included; a wrongly shaped array is refused.
    auto saved = states;
    nested->subviewAtPosition(0)->setDimension(150);
    split->setStateFromString("3 300 100 100");
    split->adjustSubviews();
    ASSERT_TRUE(split->setStatesFromArray(saved));
    split->adjustSubviews();
    EXPECT_EQ(sizes(*split), "150 150 200");
    EXPECT_EQ(sizes(*nested), "100 100");
    fnd::Array wrong { fnd::Value(split->stringWithSavedState()), fnd::Value(fnd::Null {}), fnd::Value(fnd::Null {}),
        fnd::Value(fnd::Null {}) };
    EXPECT_FALSE(split->setStatesFromArray(fnd::Value(wrong))) << "the nested split view needs its array";
    EXPECT_FALSE(split->setStatesFromArray(fnd::Value(fnd::Array {}))) << "one element more than panes";
    KJSplitView::removeStateUsingName("Main[1]");
}

TEST_F(KJSplitViewStateTest, ArchivesKeepTheSettingsAndACollapsedPane)
{
    split->setDivider(dividerImage({ 4, 8 }));
    split->setBackground(gfx::Color::colorWithCalibratedRed(0.2, 0.4, 0.6));
    split->setHorizontal(true);
    split->setHorizontal(false);
    EXPECT_EQ(split->dividerThickness(), 4) << "an orientation change takes the image's width again";
    split->setDividerThickness(5.7);
    split->adjustSubviews();
    pane(0)->setIdentifier("left");
    pane(0)->setTag(7);
    pane(0)->setMinDimension(20.5, 400);
    pane(1)->collapse();
    split->adjustSubviews();

    for (bool keyed : { true, false }) {
        auto data = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split))
                          : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(split));
        ASSERT_TRUE(data) << keyed;
        auto value = keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*data)
                           : fnd::SequentialUnarchiver::unarchiveObjectWithData(*data);
        auto copy = value.objectAs<KJSplitView>();
        ASSERT_NE(copy, nullptr) << keyed;
        EXPECT_EQ(copy->frame(), split->frame());
        EXPECT_TRUE(copy->isVertical());
        EXPECT_EQ(copy->dividerThickness(), 5);
        ASSERT_NE(copy->divider(), nullptr);
        EXPECT_EQ(copy->divider()->size(), gfx::Size(4, 8));
        EXPECT_TRUE(copy->divider()->isFlipped());
        ASSERT_NE(copy->background(), nullptr);
        EXPECT_NEAR(copy->background()->blueComponent(), 0.6, 1e-6);
        EXPECT_FALSE(copy->canSaveState());
        // The panes come back inside the split view, the collapsed one collapsed.
        ASSERT_EQ(copy->subviews().size(), split->subviews().size()) << keyed;
        auto copiedLeft = std::dynamic_pointer_cast<KJSplitSubview>(copy->subviews()[0]);
        ASSERT_NE(copiedLeft, nullptr);
        EXPECT_EQ(copiedLeft->identifier(), "left");
        EXPECT_EQ(copiedLeft->superview(), copy);

        // Each pane archives by itself too.
        auto paneData = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(pane(0)))
                              : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(pane(0)));
        auto left = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*paneData)
                           : fnd::SequentialUnarchiver::unarchiveObjectWithData(*paneData))
                        .objectAs<KJSplitSubview>();
        ASSERT_NE(left, nullptr);
        EXPECT_EQ(left->identifier(), "left");
        EXPECT_EQ(left->tag(), 7);
        EXPECT_EQ(left->minDimension(), 20);
        EXPECT_EQ(left->maxDimension(), 400);
        EXPECT_EQ(left->frame(), pane(0)->frame());

        // A collapsed pane comes back collapsed, remembering the size it had open.
        auto middleData = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(pane(1)))
                                : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(pane(1)));
        auto middle = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*middleData)
                             : fnd::SequentialUnarchiver::unarchiveObjectWithData(*middleData))
                          .objectAs<KJSplitSubview>();
        ASSERT_NE(middle, nullptr);
        EXPECT_EQ(middle->frame().origin.x, pane(1)->frame().origin.x);
        EXPECT_EQ(middle->frame().width(), 0);
        EXPECT_EQ(middle->savedSize(), pane(1)->savedSize());
        EXPECT_DOUBLE_EQ(middle->fraction(), pane(1)->fraction());
        EXPECT_TRUE(pane(1)->isCollapsed()) << "the original keeps its real frame";
    }
}

// Archives the split view, reads it back and archives the copy: the two archives must be the same.
void expectArchiveReadsBackTheSame(const std::shared_ptr<KJSplitView>& split, const std::string& what)
{
    for (bool keyed : { true, false }) {
        auto archive = [keyed](const fnd::Value& root) {
            return keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(root)
                         : fnd::SequentialArchiver::archivedDataWithRootObject(root);
        };
        const std::string kind = keyed ? " (keyed)" : " (sequential)";
        auto data = archive(fnd::Value(split));
        ASSERT_TRUE(data) << what << kind;
        auto copy = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*data)
                           : fnd::SequentialUnarchiver::unarchiveObjectWithData(*data))
                        .objectAs<KJSplitView>();
        ASSERT_NE(copy, nullptr) << what << kind << " is not read back";
        auto again = archive(fnd::Value(copy));
        ASSERT_TRUE(again) << what << kind;
        EXPECT_TRUE(*again == *data) << what << kind << " archives differently once read back";
    }
}

// A pane's limits are held within 1 to a million points however they are given (code, archive, interface file), so
// its frame stays on a screen and the split view archives what it reads back: a minimum of 1e308 or infinity made
// the pane that wide (or collapsed it), the archive then written was refused, and setting sound limits again left
// the layout broken.
TEST_F(KJSplitViewStateTest, ExtremeLimitsAreBoundedSoTheSplitViewArchivesWhatItReadsBack)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const struct {
        double given, minimum, maximum;
    } minimums[] = { { NaN, 1, 1e6 }, { Infinity, 1e6, 1e6 }, { -Infinity, 1, 1e6 }, { 1e308, 1e6, 1e6 },
        { -1, 1, 1e6 }, { 1e7, 1e6, 1e6 } },
      maximums[] = { { NaN, 1, 1e6 }, { Infinity, 1, 1e6 }, { -Infinity, 1, 1e6 }, { 1e308, 1, 1e6 }, { -1, 1, 1e6 },
          { 1e7, 1, 1e6 } };
    for (bool collapsible : { false, true }) {
        for (bool asMinimum : { true, false }) {
            for (const auto& c : asMinimum ? minimums : maximums) {
                const std::string what = std::string(asMinimum ? "a minimum of " : "a maximum of ")
                    + fmt::format("{}", c.given) + (collapsible ? ", collapsible" : "");
                while (!split->subviews().empty())
                    split->subviews().back()->removeFromSuperview();
                makePanes({ 150, 150, 200 }, 0);
                for (std::size_t i = 0; i < 3; ++i)
                    pane(i)->setCanCollapse(i > 0 || collapsible);
                if (asMinimum)
                    pane(0)->setMinDimension(c.given, 0);
                else
                    pane(0)->setMinDimension(1, c.given);
                EXPECT_EQ(pane(0)->minDimension(), c.minimum) << what;
                EXPECT_EQ(pane(0)->maxDimension(), c.maximum) << what;
                split->adjustSubviews();
                for (std::size_t i = 0; i < 3; ++i)
                    EXPECT_LE(pane(i)->frame().maxX(), 2e6) << what << ": pane " << i << " at " << frames(*split);
                expectArchiveReadsBackTheSame(split, what);

                // Sound limits again give a sound layout: opened again, the panes share the 500 points side by side.
                pane(0)->setMinDimension(1, 0);
                for (std::size_t i = 0; i < 3; ++i) {
                    pane(i)->expand();
                    split->adjustSubviews();
                }
                double x = 0;
                for (std::size_t i = 0; i < 3; ++i) {
                    EXPECT_EQ(pane(i)->frame().minX(), x) << what << ": " << frames(*split);
                    EXPECT_GE(pane(i)->frame().width(), 1) << what << ": " << frames(*split);
                    x += pane(i)->frame().width();
                }
                EXPECT_EQ(x, 500) << what << ": " << frames(*split);
                expectArchiveReadsBackTheSame(split, what + ", then limits of 1 and a million");
            }
        }
    }
}

// The same limits reach a pane through its archive and through an interface file.
TEST_F(KJSplitViewStateTest, ExtremeLimitsFromAnArchiveOrAnInterfaceFileAreBounded)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(pane(0)));
    ASSERT_TRUE(data);
    const std::regex limit(R"((<key>(min|max)Dimension</key>\s*<real>)[^<]*(</real>))");
    for (const char* value : { "1e308", "-1e308", "nan", "inf", "-inf" }) {
        const std::string text = std::regex_replace(std::string(data->view()), limit, std::string("$1") + value + "$3");
        ASSERT_NE(text, std::string(data->view()));
        auto decoded
            = fnd::KeyedUnarchiver::unarchiveObjectWithData(fnd::Data::fromString(text)).objectAs<KJSplitSubview>();
        if (!decoded)
            continue; // a value the archive format does not read is refused as a whole
        EXPECT_GE(decoded->minDimension(), 1) << value;
        EXPECT_LE(decoded->maxDimension(), 1e6) << value;
        EXPECT_LE(decoded->minDimension(), decoded->maxDimension()) << value;
    }

    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface>
  <object id="split" class="KJSplitView">
    <rect key="frame" x="0" y="0" width="500" height="200"/>
    <real key="dividerThickness">1</real>
    <subviews>
      <object id="wide" class="KJSplitSubview">
        <rect key="frame" x="0" y="0" width="200" height="200"/>
        <real key="minDimension">1e308</real>
      </object>
      <object id="rest" class="KJSplitSubview">
        <rect key="frame" x="0" y="0" width="299" height="200"/>
        <real key="maxDimension">1e308</real>
      </object>
    </subviews>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto fromFile = std::dynamic_pointer_cast<KJSplitView>(loaded->objectsById.at("split"));
    auto wide = std::dynamic_pointer_cast<KJSplitSubview>(loaded->objectsById.at("wide"));
    auto rest = std::dynamic_pointer_cast<KJSplitSubview>(loaded->objectsById.at("rest"));
    ASSERT_TRUE(fromFile && wide && rest);
    EXPECT_EQ(wide->minDimension(), 1e6);
    EXPECT_EQ(rest->maxDimension(), 1e6);
    fromFile->adjustSubviews();
    expectArchiveReadsBackTheSame(fromFile, "a split view from an interface file with a minimum of 1e308");
}

// A divider thickness is held within 0 to 10,000 whole points however it is given, so a split view always writes an
// archive it can read back (1e300 placed the panes at 1e300 and 2e300, frames no archive reader takes).
TEST_F(KJSplitViewStateTest, TheDividerThicknessIsBoundedOnEveryPath)
{
    const struct {
        double given;
        double kept;
    } cases[] = { { 1e300, 10000 }, { 12345.7, 10000 }, { 9999.9, 9999 }, { -5, 0 },
        { std::numeric_limits<double>::infinity(), 0 }, { std::numeric_limits<double>::quiet_NaN(), 0 } };
    for (const auto& c : cases) {
        split->setDividerThickness(c.given);
        EXPECT_EQ(split->KJ_dividerThickness(), c.kept) << "set to " << c.given;
    }

    split->setDividerThickness(1e300);
    split->adjustSubviews();
    for (bool keyed : { true, false }) {
        auto data = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split))
                          : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(split));
        ASSERT_TRUE(data) << keyed;
        auto copy = (keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*data)
                           : fnd::SequentialUnarchiver::unarchiveObjectWithData(*data))
                        .objectAs<KJSplitView>();
        ASSERT_NE(copy, nullptr) << (keyed ? "keyed" : "sequential") << " archive of a split view set to 1e300";
        EXPECT_EQ(copy->KJ_dividerThickness(), 10000);
        EXPECT_EQ(copy->subviews().size(), 3u);
    }

    // An archive that holds a larger thickness gives the largest.
    split->setDividerThickness(3);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split));
    ASSERT_TRUE(data);
    std::string text(reinterpret_cast<const char*>(data->bytes()), data->length());
    const std::string stored = "<key>dividerThickness</key>\n\t\t\t<real>3</real>";
    auto at = text.find(stored);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, stored.size(), "<key>dividerThickness</key><real>1e300</real>");
    auto decoded = fnd::KeyedUnarchiver::unarchiveObjectWithData(fnd::Data::fromString(text)).objectAs<KJSplitView>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->KJ_dividerThickness(), 10000);

    // So does an interface file.
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface>
  <object id="split" class="KJSplitView">
    <rect key="frame" x="0" y="0" width="401" height="200"/>
    <real key="dividerThickness">1e300</real>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto fromFile = std::dynamic_pointer_cast<KJSplitView>(loaded->objectsById.at("split"));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->KJ_dividerThickness(), 10000);
}

}

#include "support/KeyRecorder.h"

namespace {

TEST(KJSplitArchiveKeys, PanesAndSplitViewsWriteTheirKeysAfterTheirSuperclasss)
{
    using testsupport::KeyRecorder;
    auto split = KJSplitView::create({ 0, 0, 300, 200 }, 2);
    auto pane = std::dynamic_pointer_cast<KJSplitSubview>(split->subviews()[0]);
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::View>(*pane),
        (std::vector<std::string> { "identifier", "tag", "minDimension", "maxDimension", "fraction", "canCollapse" }));
    EXPECT_EQ(KeyRecorder::ownKeyNames<KJSplitSubview>(*split),
        (std::vector<std::string> {
            "delegate", "autosaveName", "divider", "background", "dividerThickness", "isHorizontal", "isCoupled" }));
    EXPECT_EQ(KeyRecorder::keysOf(*split)[KeyRecorder::keysOf(*pane).size()].kind, "conditional object")
        << "the delegate is a conditional reference";
}

}
