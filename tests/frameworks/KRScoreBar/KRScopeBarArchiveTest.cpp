#include "KRScopeBarScene.h"

#include "frameworks/KRScoreBar/KRButtonCell.h"
#include "frameworks/KRScoreBar/KROverflowPullDownCell.h"
#include "frameworks/KRScoreBar/KRPopUpButtonCell.h"
#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Gradient.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using krtest::layoutState;
using krtest::makeScene;

std::string krArchiveTestText(const fnd::Data& data)
{
    return std::string(reinterpret_cast<const char*>(data.bytes()), data.length());
}

bool krArchiveTestSameColor(const gfx::ColorPtr& a, const gfx::ColorPtr& b)
{
    return a && b && a->isEqual(*b);
}

// A bar archived with its delegate and data source comes back with its groups, cells, widths, colours, gradient,
// formatter and flags, and lays out as before.
TEST(KRScopeBarArchive, BarRoundTrip)
{
    auto scene = makeScene({ 0, 0, 420, 30 });
    auto& bar = *scene.bar;
    scene.delegate->refusedObjects = { "Kind" };
    bar.setMinimumButtonWidth(60);
    bar.setMinimumPopUpWidth(80);
    bar.setIntercellSpacing(3);
    bar.setBorderColor(gfx::Color::colorWithCalibratedRed(0.5, 0.1, 0.1));
    bar.setSeparatorColor(gfx::Color::colorWithCalibratedRed(0.1, 0.5, 0.1));
    bar.setLabelColor(gfx::Color::colorWithCalibratedRed(0.1, 0.1, 0.5));
    bar.setBackgroundTopColor(gfx::Color::colorWithCalibratedWhite(1.0));
    auto formatter = fnd::makeObject<fnd::NumberFormatter>();
    bar.setFormatter(formatter);
    bar.setIbInitialized(true);
    auto group = bar.groupAtIndex(1);
    group->setSelectionIndexes(fnd::IndexSet { 0, 2 });
    group->setMultipleSelectionPlaceholder(fnd::String("Several"));
    auto fancy = std::make_shared<txt::AttributedString>(fnd::String("When"));
    fancy->addAttribute(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(13)), { 0, 2 });
    group->setAttributedLabel(fancy);
    bar.calcSize();
    const auto stateBefore = layoutState(bar);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(
        fnd::Value(fnd::Array { fnd::Value(scene.bar), fnd::Value(scene.delegate), fnd::Value(scene.source) }));
    ASSERT_TRUE(data) << data.error().localizedDescription().utf8();
    // Archives written so far spell the overflow cell's key this way.
    EXPECT_NE(krArchiveTestText(*data).find("KRScopeBar overfloPullDownCell"), std::string::npos);

    auto root = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(root) << root.error().localizedDescription().utf8();
    const auto* objects = root->array();
    ASSERT_TRUE(objects && objects->size() == 3);
    auto copy = (*objects)[0].objectAs<KRScopeBar>();
    ASSERT_TRUE(copy);
    auto delegate = (*objects)[1].objectAs<krtest::ScopeDelegate>();
    EXPECT_EQ(copy->delegate(), delegate);
    EXPECT_EQ(copy->dataSource(), (*objects)[2].object());
    copy->setFrame({ 0, 0, 420, 30 });

    ASSERT_EQ(copy->numberOfGroups(), 3u);
    EXPECT_EQ(copy->groupAtIndex(1)->scopeBar(), copy);
    EXPECT_EQ(copy->groupAtIndex(2)->identifier()->utf8(), "sort");
    EXPECT_EQ(copy->groupAtIndex(0)->label()->utf8(), "Show:");
    EXPECT_EQ(copy->groupAtIndex(1)->groupSelectionStyle(), KRScopeBarGroupSelectionStyleMultiple);
    EXPECT_EQ(copy->groupAtIndex(1)->selectionIndexes().indexes(), std::vector<fnd::Index>({ 0, 2 }));
    EXPECT_EQ(copy->groupAtIndex(1)->multipleSelectionPlaceholder().utf8(), "Several");
    EXPECT_EQ(copy->groupAtIndex(1)->noSelectionPlaceholder().utf8(), "date") << "the default is not archived";
    auto label = copy->groupAtIndex(1)->explicitAttributedLabel();
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->isEqual(*fancy));
    EXPECT_EQ(copy->minimumButtonWidth(), 60u);
    EXPECT_EQ(copy->minimumPopUpWidth(), 80u);
    EXPECT_EQ(copy->intercellSpacing(), 3u);
    EXPECT_TRUE(copy->autoResizesGroups());
    EXPECT_TRUE(copy->ibInitialized());
    EXPECT_TRUE(krArchiveTestSameColor(copy->borderColor(), bar.borderColor()));
    EXPECT_TRUE(krArchiveTestSameColor(copy->separatorColor(), bar.separatorColor()));
    EXPECT_TRUE(krArchiveTestSameColor(copy->labelColor(), bar.labelColor()));
    EXPECT_TRUE(krArchiveTestSameColor(copy->backgroundTopColor(), bar.backgroundTopColor()));
    EXPECT_TRUE(krArchiveTestSameColor(copy->backgroundBottomColor(), bar.backgroundBottomColor()));
    EXPECT_TRUE(std::dynamic_pointer_cast<fnd::NumberFormatter>(copy->formatter()));
    EXPECT_TRUE(std::dynamic_pointer_cast<KRButtonCell>(copy->buttonCell()));
    EXPECT_TRUE(std::dynamic_pointer_cast<KRPopUpButtonCell>(copy->popUpButtonCell()));
    EXPECT_TRUE(std::dynamic_pointer_cast<KROverflowPullDownCell>(copy->overflowPullDownCell()));
    EXPECT_EQ(copy->overflowPullDownCell()->cellSize(), bar.overflowPullDownCell()->cellSize());
    EXPECT_EQ(copy->buttonCell()->bezelStyle(), ui::BezelStyle::Recessed);
    EXPECT_EQ(copy->preparedButtonCellForGroup(0, 1)->cellSize(), bar.preparedButtonCellForGroup(0, 1)->cellSize());

    copy->calcSize();
    EXPECT_EQ(layoutState(*copy), stateBefore);
    EXPECT_EQ(krtest::overflowTitles(*copy), krtest::overflowTitles(bar));
    EXPECT_FALSE(copy->delegateShouldSelectObject(fnd::Value("Kind")));
}

// A group archived alone keeps what was set explicitly; its derived label and defaults are not stored.
TEST(KRScopeBarArchive, GroupRoundTripAndNonKeyedCoders)
{
    auto group = KRScopeBarGroup::create(fnd::String("kind"), KRScopeBarGroupSelectionStyleMultiple);
    group->setLabel(fnd::String("Kind:"));
    group->setShowsLabel(false);
    group->setShowsSeparator(false);
    group->setNoSelectionPlaceholder(fnd::String("Any kind"));
    group->setSelectionIndexes(fnd::IndexSet { 3, 4, 5, 9 });
    group->setCollapsed(true);

    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(group));
    ASSERT_TRUE(data);
    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<KRScopeBarGroup>();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->identifier()->utf8(), "kind");
    EXPECT_EQ(copy->label()->utf8(), "Kind:");
    EXPECT_FALSE(copy->showsLabel()) << "the stored flag wins over what the label setter derived";
    EXPECT_FALSE(copy->showsSeparator());
    EXPECT_EQ(copy->noSelectionPlaceholder().utf8(), "Any kind");
    EXPECT_EQ(copy->selectionIndexes().indexes(), std::vector<fnd::Index>({ 3, 4, 5, 9 }));
    EXPECT_FALSE(copy->isCollapsed()) << "collapsing is the layout's business and not archived";
    EXPECT_FALSE(copy->explicitAttributedLabel());
    EXPECT_EQ(copy->scopeBar(), nullptr);

    // Sequential coders: nothing is written and nothing comes back.
    auto sequential = fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(group));
    ASSERT_TRUE(sequential);
    auto back = fnd::SequentialUnarchiver::unarchiveObjectWithData(*sequential);
    EXPECT_FALSE(back.objectAs<KRScopeBarGroup>());
}

}

#include "support/KeyRecorder.h"

namespace {

// The bar's and the group's keys, in the order each writes them (the bar after the control's own data).
TEST(KRScopeBarArchive, KeysAreWrittenInTheOrderOfTheirTables)
{
    using testsupport::KeyRecorder;
    auto bar = KRScopeBar::create({ 0, 0, 400, 25 });
    EXPECT_EQ(KeyRecorder::ownKeyNames<ui::Control>(*bar),
        (std::vector<std::string> { "KRScopeBar delegate", "KRScopeBar dataSource", "KRScopeBar groups",
            "KRScopeBar buttonCell", "KRScopeBar popUpButtonCell", "KRScopeBar overfloPullDownCell",
            "KRScopeBar minimumButtonWidth", "KRScopeBar minimumPopUpWidth", "KRScopeBar intercellSpacing",
            "KRScopeBar accessoryView", "KRScopeBar backgroundGradient", "KRScopeBar borderColor",
            "KRScopeBar separatorColor", "KRScopeBar labelColor", "KRScopeBar autoResizesGroups",
            "KRScopeBar formatter", "KRScopeBar ibInitialized" }));
    auto group = fnd::makeObject<KRScopeBarGroup>();
    EXPECT_EQ(KeyRecorder::keyNamesOf(*group),
        (std::vector<std::string> { "KRScopeBarGroup identifier", "KRScopeBarGroup label",
            "KRScopeBarGroup attributedLabel", "KRScopeBarGroup groupSelectionStyle", "KRScopeBarGroup showsSeparator",
            "KRScopeBarGroup showsLabel", "KRScopeBarGroup selectionIndexes", "KRScopeBarGroup scopeBar",
            "KRScopeBarGroup multipleSelectionPlaceholder", "KRScopeBarGroup noSelectionPlaceholder" }));
    // The selection is an index set and the gradient a gradient, archived as the objects they are.
    group->setSelectionIndexes(fnd::IndexSet { 1, 3 });
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(group));
    ASSERT_TRUE(data);
    EXPECT_NE(krArchiveTestText(*data).find("<string>IndexSet</string>"), std::string::npos);
    auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<KRScopeBarGroup>();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->selectionIndexes(), (fnd::IndexSet { 1, 3 }));
}

}
