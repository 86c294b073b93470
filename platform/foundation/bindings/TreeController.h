#pragma once

#include "platform/foundation/runtime/IndexPath.h"
#include "platform/foundation/bindings/ObjectController.h"
#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/foundation/bindings/TreeNode.h"

#include <functional>
#include <optional>

namespace fnd {

namespace detail {
class TreeObservations;
}

// Mediates between a tree of objects and the views bound to it. The content is the array of top objects; an
// object's children are its value for childrenKeyPath (an array). Whether an object is a leaf comes from
// leafKeyPath when set, else from countKeyPath (a count of 0), else from having no children.
//
// The arranged objects are a TreeNode tree whose root stands for nothing and whose nodes stand for the objects,
// each level sorted by the sort descriptors. An outline binds its rows to "arrangedObjects" and its selection to
// "selectionIndexPaths" (paths of child indexes from the root). Objects inserted or removed at an index path
// change both the tree and the model (an object's children through key-value coding, so observers of the model
// hear it; a value's children by replacing the value in its parent's children); changes made to the objects'
// children elsewhere rebuild the tree. The selection rules are those of the array controller.
class TreeController : public ObjectController {
    FND_OBJECT(TreeController)
    static void describeClass(ClassBuilder<TreeController>& c);

public:
    TreeController();
    ~TreeController() override;

    // An array of top objects; nil gives none and any other value one top object.
    Value content() const override { return Value(m_contentArray); }
    void setContent(const Value& content) override;

    const String& childrenKeyPath() const { return m_childrenKeyPath; }
    void setChildrenKeyPath(const String& keyPath);
    const String& countKeyPath() const { return m_countKeyPath; }
    void setCountKeyPath(const String& keyPath);
    const String& leafKeyPath() const { return m_leafKeyPath; }
    void setLeafKeyPath(const String& keyPath);

    const std::shared_ptr<TreeNode>& arrangedObjects() const { return m_root; }
    const SortDescriptors& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const SortDescriptors& descriptors);
    // Builds the tree again from the content, keeping the selected objects selected.
    void rearrangeObjects();

    // Selection, as index paths of the arranged tree (kept sorted). The setters answer whether it changed; paths
    // that lead to no node are dropped.
    const std::vector<IndexPath>& selectionIndexPaths() const { return m_selection; }
    bool setSelectionIndexPaths(const std::vector<IndexPath>& paths);
    // The first selected path; nullopt when nothing is selected.
    std::optional<IndexPath> selectionIndexPath() const;
    bool setSelectionIndexPath(const std::optional<IndexPath>& path);
    bool addSelectionIndexPaths(const std::vector<IndexPath>& paths);
    bool removeSelectionIndexPaths(const std::vector<IndexPath>& paths);
    std::vector<std::shared_ptr<TreeNode>> selectedNodes() const;
    Array selectedObjects() const override;
    bool setSelectedObjects(const Array& objects) override;

    bool avoidsEmptySelection() const { return m_avoidsEmptySelection; }
    void setAvoidsEmptySelection(bool flag) { m_avoidsEmptySelection = flag; }
    bool preservesSelection() const { return m_preservesSelection; }
    void setPreservesSelection(bool flag) { m_preservesSelection = flag; }
    bool selectsInsertedObjects() const { return m_selectsInsertedObjects; }
    void setSelectsInsertedObjects(bool flag) { m_selectsInsertedObjects = flag; }

    // Editing at index paths; a path whose parent is no node, or whose last index is past the parent's children,
    // raises a range exception.
    void insertObjectAtArrangedObjectIndexPath(const Value& object, const IndexPath& path);
    // Inserted in order, each path being where its object is afterwards.
    void insertObjectsAtArrangedObjectIndexPaths(const Array& objects, const std::vector<IndexPath>& paths);
    void removeObjectAtArrangedObjectIndexPath(const IndexPath& path);
    void removeObjectsAtArrangedObjectIndexPaths(const std::vector<IndexPath>& paths);

    // Actions: a new object after the selection's siblings (add:), at the selection (insert:), as the last or
    // first child of the one selected node (addChild:, insertChild:); the selection removed (remove:).
    bool canInsert() const { return isEditable(); }
    bool canAddChild() const;
    bool canInsertChild() const { return canAddChild(); }
    void add(const Value& sender) override;
    void insert(const Value& sender);
    void addChild(const Value& sender);
    void insertChild(const Value& sender);
    void remove(const Value& sender) override;
    void addObject(const Value& object) override;
    void removeObject(const Value& object) override;

protected:
    void setValueForKeyPathOfSelection(const Value& value, const String& keyPath) override;

private:
    friend class detail::TreeObservations;

    Array childrenOf(const Value& object) const;
    bool leafRule(const Value& object) const;
    std::shared_ptr<TreeNode> makeNode(const Value& object, std::vector<const Object*>& ancestors) const;
    std::shared_ptr<TreeNode> buildTree(const Array& content) const;
    // The objects under a node in the model: the content for the root.
    Array modelChildren(const TreeNode& node) const;
    // Stores a node's children in the model; a value's new form goes up into its parent's children.
    void setModelChildren(TreeNode& node, const Array& children);
    // A node that stands for a value takes its changed copy, in the tree and among its parent's children in the
    // model, and so on up.
    void replaceRepresentedValue(TreeNode& node, const Value& changed);
    // Sets one of the key paths the tree is built by, and builds it again.
    void setTreeKeyPath(String& member, const String& keyPath);
    // The selection the paths give in the tree, with avoidsEmptySelection applied (preferring the path given).
    std::vector<IndexPath> settledSelection(
        const TreeNode& root, std::vector<IndexPath> paths, std::optional<IndexPath> preferred) const;
    // Announces a new tree, selection or both; the tree is only announced when it is another object or changed.
    void commit(std::shared_ptr<TreeNode> root, Array content, std::vector<IndexPath> selection, bool treeChanged);
    // Edits the tree and the model in place, announcing the arranged objects, the selection and, when top objects
    // change, the content around it; the edit answers the settled selection.
    void editTree(bool touchesContent, const std::function<std::vector<IndexPath>()>& edit);
    void observeModel();
    void modelChildrenChanged();

    Array m_contentArray;
    String m_childrenKeyPath;
    String m_countKeyPath;
    String m_leafKeyPath;
    std::shared_ptr<TreeNode> m_root;
    SortDescriptors m_sortDescriptors;
    std::vector<IndexPath> m_selection;
    bool m_avoidsEmptySelection { true };
    bool m_preservesSelection { true };
    bool m_selectsInsertedObjects { true };
    bool m_changingModel { false };
    std::unique_ptr<detail::TreeObservations> m_observations;
};

}
