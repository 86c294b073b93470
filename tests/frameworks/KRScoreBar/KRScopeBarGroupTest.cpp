#include "KRScopeBarScene.h"
#include "support/Raised.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/ui/controls/ButtonCell.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <gtest/gtest.h>

namespace {

using krtest::makeScene;
using krtest::SelectionRecorder;

std::vector<fnd::Index> krGroupTestIndexes(const KRScopeBarGroup& group)
{
    return group.selectionIndexes().indexes();
}

// A radio group holds exactly one item; clicking the selected one again changes nothing and posts nothing.
TEST(KRScopeBarGroup, RadioSelectionPostsOnceForEachChange)
{
    auto scene = makeScene({ 0, 0, 800, 30 });
    auto group = scene.bar->groupAtIndex(0);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 0 })) << "a radio group starts on its first item";

    SelectionRecorder recorder;
    group->didClickObject(2);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 2 }));
    group->didClickObject(2);
    group->selectObjectWithIndex(2);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 2 }));
    group->selectObject(fnd::Value("Documents"));
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 1 }));
    ASSERT_EQ(recorder.identifiers, std::vector<std::string>({ "show", "show" }));
    EXPECT_EQ(recorder.bars[0].object().get(), scene.bar.get());
    EXPECT_EQ(group->selectedObject().stringValue().utf8(), "Documents");
}

// A multiple group toggles each click, may end with nothing selected, and keeps a selected item selected when it is
// selected programmatically.
TEST(KRScopeBarGroup, MultipleSelectionTogglesDownToNone)
{
    auto scene = makeScene({ 0, 0, 800, 30 });
    auto group = scene.bar->groupAtIndex(1);
    ASSERT_EQ(group->groupSelectionStyle(), KRScopeBarGroupSelectionStyleMultiple);
    EXPECT_TRUE(group->selectionIndexes().isEmpty()) << "reloading leaves multiple groups alone";

    SelectionRecorder recorder;
    group->didClickObject(0);
    group->didClickObject(2);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 0, 2 }));
    group->selectObjectWithIndex(2);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 0, 2 }));
    group->didClickObject(0);
    group->didClickObject(2);
    EXPECT_TRUE(group->selectionIndexes().isEmpty());
    EXPECT_TRUE(group->selectedObjects().empty());
    EXPECT_TRUE(group->selectedObject().isNil());
    EXPECT_EQ(recorder.identifiers.size(), 4u);

    // Any style other than radio toggles as the multiple style does.
    group->setGroupSelectionStyle(7);
    group->didClickObject(1);
    group->didClickObject(2);
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 1, 2 }));
}

// Outside a bar a group has no objects (not a huge count), refuses clicks and announces nothing.
TEST(KRScopeBarGroup, OutsideABarItHasNoObjectsAndStaysSilent)
{
    auto group = KRScopeBarGroup::create(fnd::String("alone"));
    EXPECT_EQ(group->numberOfObjects(), 0u);
    EXPECT_EQ(group->indexForObject(fnd::Value("x")), fnd::NotFound);
    auto e = raised([&] { group->didClickObject(0); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::Range);
    EXPECT_EQ(e->reason().utf8(), "KRScopeBarGroup:didClickObject_:alwaysSetToOnState: objectIndex invalid");

    SelectionRecorder recorder;
    group->setSelectionIndexes(fnd::IndexSet { 1, 2 });
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 1, 2 }));
    EXPECT_TRUE(recorder.identifiers.empty());
}

// Bad arguments raise with the class, operation and argument named, before anything changes.
TEST(KRScopeBarGroup, BadArgumentsRaiseBeforeAnyChange)
{
    auto scene = makeScene({ 0, 0, 800, 30 });
    auto group = scene.bar->groupAtIndex(0);
    SelectionRecorder recorder;
    struct Case {
        std::function<void()> call;
        fnd::String name;
        const char* reason;
    } cases[] = {
        { [&] { group->objectAtIndex(3); }, fnd::ExceptionName::Range,
            "KRScopeBarGroup:objectAtIndex: objectIndex invalid" },
        { [&] { group->selectObject(fnd::Value("Nowhere")); }, fnd::ExceptionName::InvalidArgument,
            "KRScopeBarGroup:selectObject theObject not a member of this group" },
        { [&] { group->selectObjectWithIndex(-1); }, fnd::ExceptionName::Range,
            "KRScopeBarGroup:selectObjectWithIndex: objectIndex invalid" },
        { [&] { group->selectObjectWithIndex(3); }, fnd::ExceptionName::Range,
            "KRScopeBarGroup:selectObjectWithIndex: objectIndex invalid" },
    };
    for (const auto& c : cases) {
        auto e = raised(c.call);
        ASSERT_TRUE(e) << c.reason;
        EXPECT_EQ(e->name(), c.name);
        EXPECT_EQ(e->reason().utf8(), c.reason);
    }
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 0 }));
    EXPECT_TRUE(recorder.identifiers.empty());
}

// Labels: an equal label refreshes nothing; both labels gone turn the label off; placeholders fall back.
TEST(KRScopeBarGroup, LabelsAndPlaceholders)
{
    auto scene = makeScene({ 0, 0, 800, 30 });
    auto group = scene.bar->groupAtIndex(0);
    scene.bar->calcSize();
    group->setLabel(fnd::String("Show:"));
    EXPECT_FALSE(scene.bar->needsLayout()) << "the same label must not refresh the bar";
    group->setLabel(fnd::String("Filter:"));
    EXPECT_TRUE(scene.bar->needsLayout());
    EXPECT_TRUE(group->showsLabel());

    auto fancy = std::make_shared<txt::AttributedString>(fnd::String("Fancy"));
    group->setLabel(std::nullopt);
    EXPECT_FALSE(group->showsLabel());
    group->setAttributedLabel(fancy);
    EXPECT_TRUE(group->showsLabel());
    EXPECT_EQ(group->attributedLabel()->string().utf8(), "Fancy");
    group->setAttributedLabel(nullptr);
    EXPECT_FALSE(group->showsLabel());

    // The derived label takes the bar's colour and the bold small font.
    group->setLabel(fnd::String("Kind:"));
    auto derived = group->attributedLabel();
    ASSERT_TRUE(derived);
    EXPECT_TRUE(derived->attributeAtIndex(txt::ForegroundColorAttributeName, 0).objectAs<gfx::Color>());
    EXPECT_TRUE(KRScopeBarGroup::create()->attributedLabel() == nullptr);

    auto lone = KRScopeBarGroup::create();
    EXPECT_EQ(lone->noSelectionPlaceholder().utf8(), "<Untitled>");
    EXPECT_EQ(lone->multipleSelectionPlaceholder().utf8(), "<Multiple>");
    lone->setIdentifier(fnd::String("kind"));
    EXPECT_EQ(lone->noSelectionPlaceholder().utf8(), "kind");
    lone->setNoSelectionPlaceholder(fnd::String("Any"));
    EXPECT_EQ(lone->noSelectionPlaceholder().utf8(), "Any");
}

// Collapsing asks the bar's delegate; a refusal keeps the group as it was.
TEST(KRScopeBarGroup, CollapsingAsksTheDelegate)
{
    auto scene = makeScene({ 0, 0, 800, 30 });
    scene.delegate->keptExpanded = { "date" };
    scene.bar->setDelegate(nullptr);
    scene.bar->setDelegate(scene.delegate);
    scene.bar->groupAtIndex(1)->setCollapsed(true);
    scene.bar->groupAtIndex(2)->setCollapsed(true);
    EXPECT_FALSE(scene.bar->groupAtIndex(1)->isCollapsed());
    EXPECT_TRUE(scene.bar->groupAtIndex(2)->isCollapsed());
}

// A decoded selection may run to the largest index an archive holds (2^48); the selected objects are only those
// below the group's count, found without listing the selection's indexes.
TEST(KRScopeBarGroup, SelectedObjectsOfAHugeDecodedSelectionAreTheOnesInTheGroup)
{
    constexpr fnd::Index archivedLimit = fnd::Index(1) << 48;
    auto stored = KRScopeBarGroup::create(fnd::String("date"), KRScopeBarGroupSelectionStyleMultiple);
    fnd::IndexSet selection(fnd::Index(0));
    selection.add(fnd::Range { 2, archivedLimit - 2 });
    stored->setSelectionIndexes(selection);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(stored));
    ASSERT_TRUE(data);
    auto group = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<KRScopeBarGroup>();
    ASSERT_TRUE(group);
    ASSERT_EQ(group->selectionIndexes().count(), archivedLimit - 1);

    // The scene's second group holds "Today", "This Week", "Older": indexes 0 and 2 are in the selection, 1 is not.
    auto scene = makeScene({ 0, 0, 800, 30 });
    scene.bar->removeGroupAtIndex(1);
    scene.bar->insertGroup(group, 1);
    auto objects = group->selectedObjects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].stringValue().utf8(), "Today");
    EXPECT_EQ(objects[1].stringValue().utf8(), "Older");
    EXPECT_EQ(group->selectedObject().stringValue().utf8(), "Today");

    // A selection wholly past the objects selects none of them.
    group->setSelectionIndexes(fnd::IndexSet(fnd::Range { 3, archivedLimit - 3 }));
    EXPECT_TRUE(group->selectedObjects().empty());
    EXPECT_TRUE(group->selectedObject().isNil());
}

// With "content" bound to an array controller, a selection made in the controller reaches the group and a click
// in the group reaches the controller; "contentValues" gives the titles.
TEST(KRScopeBarGroup, BoundSelectionFollowsBothWays)
{
    auto bar = KRScopeBar::create({ 0, 0, 800, 30 });
    auto controller = fnd::makeObject<fnd::ArrayController>();
    controller->setAvoidsEmptySelection(false);
    controller->setContent(fnd::Array { fnd::Value("red"), fnd::Value("green"), fnd::Value("blue") });
    auto titles = fnd::makeObject<fnd::ArrayController>();
    titles->setContent(fnd::Array { fnd::Value("Red"), fnd::Value("Green"), fnd::Value("Blue") });

    auto group = KRScopeBarGroup::create(fnd::String("colour"), KRScopeBarGroupSelectionStyleMultiple);
    bar->addGroup(group);
    group->bind(fnd::BindingName::Content, *controller, "arrangedObjects");
    group->bind(fnd::BindingName::ContentValues, *titles, "arrangedObjects");
    ASSERT_TRUE(group->usesBindings());
    EXPECT_EQ(group->numberOfObjects(), 3u);
    EXPECT_EQ(bar->preparedButtonCellForGroup(0, 1)->title().utf8(), "Green");
    EXPECT_EQ(group->indexForObject(fnd::Value("blue")), 2);

    SelectionRecorder recorder;
    controller->setSelectionIndexes(fnd::IndexSet { 0, 2 });
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 0, 2 }));
    group->didClickObject(1);
    EXPECT_EQ(controller->selectionIndexes().indexes(), std::vector<fnd::Index>({ 0, 1, 2 }));
    group->didClickObject(0);
    EXPECT_EQ(controller->selectionIndexes().indexes(), std::vector<fnd::Index>({ 1, 2 }));
    EXPECT_EQ(recorder.identifiers.size(), 3u);

    // After unbinding the controller's changes no longer arrive.
    group->unbind(fnd::BindingName::Content);
    controller->setSelectionIndexes(fnd::IndexSet { 0 });
    EXPECT_EQ(krGroupTestIndexes(*group), std::vector<fnd::Index>({ 1, 2 }));
    EXPECT_FALSE(group->usesBindings());
}

}
