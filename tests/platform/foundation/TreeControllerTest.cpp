#include "RuntimeModel.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/bindings/TreeController.h"

#include <gtest/gtest.h>

using namespace fnd;
using namespace rtmodel;

namespace {

std::shared_ptr<TestPerson> node(const String& name, std::vector<std::shared_ptr<TestPerson>> children = {})
{
    auto p = std::make_shared<TestPerson>();
    p->setName(name);
    for (auto& c : children)
        p->items.emplace_back(c);
    return p;
}

String nameOf(const Value& v)
{
    if (auto p = v.objectAs<TestPerson>())
        return p->name();
    return valueForKey(v, "name").stringValue();
}

// The tree as text: "name(children...)" with "." for a leaf, e.g. "A(a1. a2.) B.".
std::string outline(const TreeNode& node)
{
    std::string out;
    for (const auto& child : node.childNodes()) {
        if (!out.empty())
            out += ' ';
        out += nameOf(child->representedObject()).utf8();
        out += child->isLeaf() ? "." : "(" + outline(*child) + ")";
    }
    return out;
}

std::string paths(const std::vector<IndexPath>& list)
{
    std::string out;
    for (const auto& p : list) {
        std::string one;
        for (auto i : p.indexes())
            one += (one.empty() ? "" : ", ") + std::to_string(i);
        out += (out.empty() ? "[" : " [") + one + "]";
    }
    return out;
}

class TreeControllerTest : public ::testing::Test {
protected:
    TreeControllerTest()
    {
        a1 = node("a1");
        a2 = node("a2");
        a = node("A", { a2, a1 });
        b = node("B");
        controller->setChildrenKeyPath("items");
        controller->setContent(Array { Value(b), Value(a) });
    }

    std::shared_ptr<TreeController> controller = std::make_shared<TreeController>();
    std::shared_ptr<TestPerson> a, a1, a2, b;
};

}

TEST_F(TreeControllerTest, ArrangedObjectsAreANodeTreeByTheLeafRuleAndTheSortDescriptors)
{
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A(a2. a1.)") << "no children: a leaf";
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[0]") << "avoids an empty selection";
    auto nodeA1 = controller->arrangedObjects()->descendantNodeAtIndexPath({ 1, 1 });
    ASSERT_TRUE(nodeA1);
    EXPECT_EQ(nodeA1->representedObject().object(), a1);
    EXPECT_EQ(nodeA1->indexPath(), IndexPath({ 1, 1 }));
    EXPECT_EQ(nodeA1->parentNode()->representedObject().object(), a);
    EXPECT_FALSE(controller->arrangedObjects()->descendantNodeAtIndexPath({ 0, 0 }));

    controller->setSelectionIndexPaths({ IndexPath { 1, 1 } });
    controller->setSortDescriptors({ SortDescriptor::sortDescriptorWithKey("name") });
    EXPECT_EQ(outline(*controller->arrangedObjects()), "A(a1. a2.) B.") << "every level sorted";
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[0, 0]") << "a1 stays selected";

    // A leaf key path wins over the children; a count key path decides when there is no leaf key path.
    controller->setLeafKeyPath("isActive");
    a->isActive = true;
    controller->rearrangeObjects();
    EXPECT_EQ(outline(*controller->arrangedObjects()), "A. B()") << "B is a group without children";
    controller->setLeafKeyPath("");
    controller->setCountKeyPath("age");
    b->age = 1;
    a->age = 0;
    controller->rearrangeObjects();
    EXPECT_EQ(outline(*controller->arrangedObjects()), "A. B()");
    controller->setCountKeyPath("");
    EXPECT_EQ(outline(*controller->arrangedObjects()), "A(a1. a2.) B.");

    // The children changed elsewhere rebuild the tree; a cycle in the model ends its branch.
    a1->setValueForKey(Array { Value(node("x")), Value(a) }, "items");
    EXPECT_EQ(outline(*controller->arrangedObjects()), "A(a1(x.) a2.) B.");
    a1->items.clear(); // the test's own cycle
}

TEST_F(TreeControllerTest, InsertingAndRemovingAtIndexPathsChangeTheModelAndTheSelection)
{
    auto recorder = std::make_shared<Recorder>();
    auto nodeA = controller->arrangedObjects()->descendantNodeAtIndexPath({ 1 });
    nodeA->addObserver(*recorder, "childNodes");
    controller->addObserver(*recorder, "arrangedObjects");

    auto a3 = node("a3");
    controller->insertObjectAtArrangedObjectIndexPath(a3, { 1, 1 });
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A(a2. a3. a1.)");
    ASSERT_EQ(a->items.size(), 3u);
    EXPECT_EQ(a->items[1].object(), a3) << "the model's children took it in the same place";
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 1]") << "selects inserted objects";
    ASSERT_EQ(recorder->seen.size(), 2u);
    EXPECT_EQ(recorder->seen[0].keyPath, String("childNodes"));
    EXPECT_EQ(recorder->seen[0].change.kind, KeyValueChangeKind::Insertion);
    EXPECT_EQ(recorder->seen[0].change.indexes->indexes(), std::vector<Index> { 1 });
    EXPECT_EQ(recorder->seen[1].keyPath, String("arrangedObjects"));

    // A top object goes into the content; children of a leaf turn it into a group.
    auto c = node("C");
    controller->insertObjectAtArrangedObjectIndexPath(c, { 0 });
    EXPECT_EQ(nameOf(controller->content().array()->front()), String("C"));
    controller->insertObjectAtArrangedObjectIndexPath(node("c1"), { 0, 0 });
    EXPECT_EQ(outline(*controller->arrangedObjects()), "C(c1.) B. A(a2. a3. a1.)");

    // Removing selected nodes (and what lies below them) moves the selection to the node that took the place.
    controller->setSelectionIndexPaths({ IndexPath { 2, 1 }, IndexPath { 2, 2 } });
    controller->removeObjectsAtArrangedObjectIndexPaths({ IndexPath { 2, 1 }, IndexPath { 0 }, IndexPath { 0, 0 } });
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A(a2. a1.)");
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 1]") << "a1 moved up one level and one place";
    EXPECT_EQ(a->items.size(), 2u);
    EXPECT_EQ(controller->content().array()->size(), 2u);
    controller->remove({});
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A(a2.)");
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 0]") << "the neighbour before it";
    controller->remove({});
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A.") << "no children left: a leaf by the default rule";
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1]") << "no siblings left: the parent";

    EXPECT_THROW(controller->insertObjectAtArrangedObjectIndexPath(node("z"), { 1, 1 }), Exception);
    EXPECT_THROW(controller->insertObjectAtArrangedObjectIndexPath(node("z"), { 5, 0 }), Exception);
    EXPECT_THROW(controller->removeObjectAtArrangedObjectIndexPath({ 0, 0 }), Exception);
    EXPECT_EQ(outline(*controller->arrangedObjects()), "B. A.");
    nodeA->removeObserver(*recorder, "childNodes");
    controller->removeObserver(*recorder, "arrangedObjects");
}

TEST_F(TreeControllerTest, ActionsAddBesideAndBelowTheSelection)
{
    controller->setObjectClassName("TestPerson");
    controller->setSelectionIndexPath(IndexPath { 1, 0 });
    controller->add({});
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 2]") << "after the selection's siblings";
    EXPECT_FALSE(controller->canAddChild()) << "a new person has no children: a leaf";
    controller->setSelectionIndexPath(IndexPath { 1 });
    EXPECT_TRUE(controller->canAddChild());
    controller->addChild({});
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 3]");
    controller->setSelectionIndexPath(IndexPath { 1 });
    controller->insertChild({});
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 0]");
    controller->insert({});
    EXPECT_EQ(paths(controller->selectionIndexPaths()), "[1, 0]");
    EXPECT_EQ(a->items.size(), 6u);
    controller->setValueForKeyPath("new", "selection.name");
    EXPECT_EQ(nameOf(a->items[0]), String("new"));
    controller->setSelectionIndexPaths({ IndexPath { 1, 0 }, IndexPath { 1, 1 } });
    EXPECT_EQ(controller->valueForKeyPath("selection.name"), multipleValuesMarker());
    controller->setSelectionIndexPaths({});
    EXPECT_EQ(controller->valueForKeyPath("selection.name"), noSelectionMarker());
    EXPECT_FALSE(controller->canRemove());
}

TEST(TreeController, ATreeOfDictionariesIsEditedByReplacementUpToTheBoundContent)
{
    auto leaf = [](const char* name) { return Value(Dictionary { { "name", name } }); };
    auto model = std::make_shared<TestPerson>();
    model->items = { Value(Dictionary { { "name", "G" }, { "children", Array { leaf("g1") } } }) };
    auto controller = std::make_shared<TreeController>();
    controller->setChildrenKeyPath("children");
    controller->setLeafKeyPath("isLeaf");
    controller->bind(BindingName::ContentArray, *model, "items");
    EXPECT_EQ(outline(*controller->arrangedObjects()), "G(g1())") << "no isLeaf key: not a leaf";

    controller->insertObjectAtArrangedObjectIndexPath(leaf("g0"), { 0, 0 });
    EXPECT_EQ(outline(*controller->arrangedObjects()), "G(g0() g1())");
    ASSERT_EQ(model->items.size(), 1u);
    Value group = model->items[0].dictionary()->get("children");
    auto* children = group.array();
    ASSERT_TRUE(children);
    ASSERT_EQ(children->size(), 2u) << "the changed group went back into the bound content";
    EXPECT_EQ((*children)[0].dictionary()->get("name"), Value("g0"));

    controller->setSelectionIndexPath(IndexPath { 0, 1 });
    controller->setValueForKeyPath("renamed", "selection.name");
    EXPECT_EQ((*model->items[0].dictionary()->get("children").array())[1].dictionary()->get("name"), Value("renamed"));
    controller->removeObjectAtArrangedObjectIndexPath({ 0, 0 });
    EXPECT_EQ(model->items[0].dictionary()->get("children").array()->size(), 1u);
    EXPECT_EQ(outline(*controller->arrangedObjects()), "G(renamed())");
}

TEST(TreeNode, NodesKnowTheirPlaceAndAnnounceTheirChildren)
{
    auto root = TreeNode::treeNodeWithRepresentedObject("root");
    auto x = TreeNode::treeNodeWithRepresentedObject("x");
    auto y = TreeNode::treeNodeWithRepresentedObject("y");
    auto recorder = std::make_shared<Recorder>();
    root->addObserver(*recorder, "childNodes", KeyValueObservingOptions::New);
    root->insertChildNode(y, 0);
    root->insertChildNode(x, 0);
    x->insertChildNode(TreeNode::treeNodeWithRepresentedObject("x0"), 0);
    EXPECT_EQ(root->indexPath(), IndexPath {});
    EXPECT_EQ(y->indexPath(), IndexPath({ 1 }));
    EXPECT_EQ(root->descendantNodeAtIndexPath({ 0, 0 })->representedObject(), Value("x0"));
    EXPECT_TRUE(y->isLeaf());
    EXPECT_FALSE(x->isLeaf());
    ASSERT_EQ(recorder->seen.size(), 2u);
    EXPECT_EQ(recorder->seen[1].change.kind, KeyValueChangeKind::Insertion);

    // A node moved to another parent leaves the old one.
    y->insertChildNode(x, 0);
    EXPECT_EQ(root->childNodes().size(), 1u);
    EXPECT_EQ(x->indexPath(), IndexPath({ 0, 0 }));
    EXPECT_EQ(recorder->seen.back().change.kind, KeyValueChangeKind::Removal);

    root->insertChildNode(TreeNode::treeNodeWithRepresentedObject("a"), 1);
    root->sortWithSortDescriptors({ std::make_shared<SortDescriptor>("") }, true);
    EXPECT_EQ(root->childNodes()[0]->representedObject(), Value("a"));
    EXPECT_THROW(root->insertChildNode(TreeNode::treeNodeWithRepresentedObject("z"), 5), Exception);
    EXPECT_THROW(root->removeChildNodeAtIndex(2), Exception);
    root->removeObserver(*recorder, "childNodes");
}
