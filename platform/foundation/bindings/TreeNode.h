#pragma once

#include "platform/foundation/runtime/IndexPath.h"
#include "platform/foundation/bindings/SortDescriptor.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {

class TreeController;

// A node of a tree of objects: the object it stands for, its child nodes (owned) and its parent (not owned). A
// tree controller's arranged objects are such a tree, with a root that stands for nothing. Changes of the child
// nodes are announced on "childNodes" with their kind and index.
class TreeNode : public Object {
    FND_OBJECT(TreeNode)
    static void describeClass(ClassBuilder<TreeNode>& c);

public:
    TreeNode() = default;
    explicit TreeNode(Value representedObject)
        : m_representedObject(std::move(representedObject))
    {
    }
    static std::shared_ptr<TreeNode> treeNodeWithRepresentedObject(const Value& object);

    const Value& representedObject() const { return m_representedObject; }
    std::shared_ptr<TreeNode> parentNode() const { return m_parent.lock(); }
    // The child index at each level from the top of the tree; empty for the top node.
    IndexPath indexPath() const;
    // A node without children, unless the tree it belongs to decides by its own rule.
    bool isLeaf() const { return m_leaf.value_or(m_children.empty()); }

    const std::vector<std::shared_ptr<TreeNode>>& childNodes() const { return m_children; }
    // Takes the node out of any other parent first. An index past the end raises a range exception.
    void insertChildNode(const std::shared_ptr<TreeNode>& node, Index index);
    void removeChildNodeAtIndex(Index index);
    // nullptr when the path leads nowhere; the empty path is this node.
    std::shared_ptr<TreeNode> descendantNodeAtIndexPath(const IndexPath& path) const;
    // Orders the child nodes by their represented objects.
    void sortWithSortDescriptors(const SortDescriptors& descriptors, bool recursively);

    String description() const override;

private:
    friend class TreeController;

    Value m_representedObject;
    std::weak_ptr<TreeNode> m_parent;
    std::vector<std::shared_ptr<TreeNode>> m_children;
    std::optional<bool> m_leaf;
};

}
