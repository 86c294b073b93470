#pragma once

#include "platform/foundation/bindings/TreeController.h"
#include "platform/foundation/bindings/TreeNode.h"

#include <optional>
#include <vector>

// Walks of a tree controller's nodes, for lists bound to trees.
namespace ZORNSTreeNode_Extensions {
using Nodes = std::vector<std::shared_ptr<fnd::TreeNode>>;
// Every node below, in pre-order.
Nodes descendants(const fnd::TreeNode& node);
// Only the non-leaf, or only the leaf, nodes below, in pre-order.
Nodes groupDescendants(const fnd::TreeNode& node);
Nodes leafDescendants(const fnd::TreeNode& node);
// The parent's children, the node among them (none without a parent).
Nodes siblings(const fnd::TreeNode& node);
// Strictly below the other node: a node is not its own descendant (unlike ZOROutlineSourceListItem's
// isDescendantOfNodeOrSelf).
bool isDescendantOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other);
// Both have the same parent node: a node is its own sibling.
bool isSiblingOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other);
bool isSiblingOfOrDescendantOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other);
// The place after the node, after its last sibling, and after its last child (a leaf: after its last sibling).
fnd::IndexPath adjacentIndexPath(const fnd::TreeNode& node);
fnd::IndexPath nextSiblingIndexPath(const fnd::TreeNode& node);
fnd::IndexPath nextChildIndexPath(const fnd::TreeNode& node);
}

namespace ZORNSTreeController {
using Nodes = ZORNSTreeNode_Extensions::Nodes;
Nodes rootNodes(const fnd::TreeController& controller);
std::shared_ptr<fnd::TreeNode> nodeAtIndexPath(const fnd::TreeController& controller, const fnd::IndexPath& path);
void selectNone(fnd::TreeController& controller);
// Where a new object goes: after the selection's last node, into a selected group, or at the end.
fnd::IndexPath indexPathForInsertion(const fnd::TreeController& controller);
// Each content object followed (unless it is a leaf) by its "descendants" value.
fnd::Array flattenedContent(const fnd::TreeController& controller);
// Each root node followed (unless its object is a leaf) by its descendants.
Nodes flattenedNodes(const fnd::TreeController& controller);
// The first node representing the very object; nullptr, nullopt or nothing when none does.
std::shared_ptr<fnd::TreeNode> treeNodeForObject(const fnd::TreeController& controller, const fnd::Value& object);
std::optional<fnd::IndexPath> indexPathToObject(const fnd::TreeController& controller, const fnd::Value& object);
std::vector<fnd::IndexPath> indexPathsToObjects(const fnd::TreeController& controller, const fnd::Array& objects);
void selectParentFromSelection(fnd::TreeController& controller);
std::shared_ptr<fnd::TreeNode> nextSiblingOfNodeAtIndexPath(
    const fnd::TreeController& controller, const fnd::IndexPath& path);
std::shared_ptr<fnd::TreeNode> nextSiblingOfNode(const fnd::TreeController& controller, const fnd::TreeNode& node);
}
