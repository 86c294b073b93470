#include "frameworks/ZORAppKit/source-list/ZORTreeExtensions.h"

#include "frameworks/FoundationExtensions/ZORNSIndexPath_Extensions.h"

#include <algorithm>

namespace ZORNSTreeNode_Extensions {

namespace {

void ZORTreeCollect(const fnd::TreeNode& node, Nodes& into, int which)
{
    for (const auto& child : node.childNodes()) {
        if (which == 0 || (which == 1 && !child->isLeaf()) || (which == 2 && child->isLeaf()))
            into.push_back(child);
        ZORTreeCollect(*child, into, which);
    }
}

}

Nodes descendants(const fnd::TreeNode& node)
{
    Nodes all;
    ZORTreeCollect(node, all, 0);
    return all;
}

Nodes groupDescendants(const fnd::TreeNode& node)
{
    Nodes groups;
    ZORTreeCollect(node, groups, 1);
    return groups;
}

Nodes leafDescendants(const fnd::TreeNode& node)
{
    Nodes leaves;
    ZORTreeCollect(node, leaves, 2);
    return leaves;
}

Nodes siblings(const fnd::TreeNode& node)
{
    auto parent = node.parentNode();
    return parent ? parent->childNodes() : Nodes {};
}

bool isDescendantOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other)
{
    const auto below = descendants(other);
    return std::any_of(below.begin(), below.end(), [&](const auto& n) { return n.get() == &node || n->isEqual(node); });
}

bool isSiblingOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other)
{
    return node.parentNode() == other.parentNode();
}

bool isSiblingOfOrDescendantOfNode(const fnd::TreeNode& node, const fnd::TreeNode& other)
{
    return isSiblingOfNode(node, other) || isDescendantOfNode(node, other);
}

fnd::IndexPath adjacentIndexPath(const fnd::TreeNode& node)
{
    return ZORNSIndexPath_Extensions::indexPathByIncrementingLastIndex(node.indexPath());
}

fnd::IndexPath nextSiblingIndexPath(const fnd::TreeNode& node)
{
    auto parent = node.parentNode();
    if (!parent)
        return adjacentIndexPath(node);
    return parent->indexPath().indexPathByAddingIndex(fnd::Index(parent->childNodes().size()));
}

fnd::IndexPath nextChildIndexPath(const fnd::TreeNode& node)
{
    if (node.isLeaf())
        return nextSiblingIndexPath(node);
    return node.indexPath().indexPathByAddingIndex(fnd::Index(node.childNodes().size()));
}

}

namespace ZORNSTreeController {

Nodes rootNodes(const fnd::TreeController& controller)
{
    const auto& root = controller.arrangedObjects();
    return root ? root->childNodes() : Nodes {};
}

std::shared_ptr<fnd::TreeNode> nodeAtIndexPath(const fnd::TreeController& controller, const fnd::IndexPath& path)
{
    const auto& root = controller.arrangedObjects();
    return root ? root->descendantNodeAtIndexPath(path) : nullptr;
}

void selectNone(fnd::TreeController& controller)
{
    controller.setSelectionIndexPaths({});
}

fnd::IndexPath indexPathForInsertion(const fnd::TreeController& controller)
{
    const auto roots = fnd::Index(rootNodes(controller).size());
    const auto selected = controller.selectedNodes();
    if (selected.empty())
        return fnd::IndexPath { roots };
    if (selected.size() > 1)
        return ZORNSTreeNode_Extensions::adjacentIndexPath(*selected.back());
    const auto& node = *selected.front();
    if (!node.isLeaf())
        return node.indexPath().indexPathByAddingIndex(0);
    // A root node's parent is the invisible root, which stands for no node.
    auto parent = node.parentNode();
    if (parent && parent != controller.arrangedObjects())
        return ZORNSTreeNode_Extensions::adjacentIndexPath(node);
    return fnd::IndexPath { roots };
}

namespace {

bool ZORTreeIsLeafObject(const fnd::TreeController& controller, const fnd::Value& object)
{
    const auto& key = controller.leafKeyPath();
    auto target = object.object();
    if (key.isEmpty() || !target)
        return false;
    return target->valueForKeyPath(key).boolValue();
}

}

fnd::Array flattenedContent(const fnd::TreeController& controller)
{
    fnd::Array flat;
    const auto content = controller.content();
    const auto* objects = content.array();
    if (!objects)
        return flat;
    for (const auto& object : *objects) {
        flat.push_back(object);
        if (ZORTreeIsLeafObject(controller, object))
            continue;
        if (auto target = object.object(); target && target->respondsTo(fnd::Selector("descendants")))
            if (const auto below = target->valueForKey("descendants"); below.array())
                flat.insert(flat.end(), below.array()->begin(), below.array()->end());
    }
    return flat;
}

Nodes flattenedNodes(const fnd::TreeController& controller)
{
    Nodes flat;
    for (const auto& node : rootNodes(controller)) {
        flat.push_back(node);
        if (ZORTreeIsLeafObject(controller, node->representedObject()))
            continue;
        const auto below = ZORNSTreeNode_Extensions::descendants(*node);
        flat.insert(flat.end(), below.begin(), below.end());
    }
    return flat;
}

std::shared_ptr<fnd::TreeNode> treeNodeForObject(const fnd::TreeController& controller, const fnd::Value& object)
{
    for (const auto& node : flattenedNodes(controller)) {
        const auto& represented = node->representedObject();
        const bool same = object.object() ? represented.object() == object.object() : represented == object;
        if (same)
            return node;
    }
    return nullptr;
}

std::optional<fnd::IndexPath> indexPathToObject(const fnd::TreeController& controller, const fnd::Value& object)
{
    auto node = treeNodeForObject(controller, object);
    return node ? std::optional<fnd::IndexPath>(node->indexPath()) : std::nullopt;
}

std::vector<fnd::IndexPath> indexPathsToObjects(const fnd::TreeController& controller, const fnd::Array& objects)
{
    std::vector<fnd::IndexPath> paths;
    for (const auto& object : objects)
        if (auto path = indexPathToObject(controller, object))
            paths.push_back(*path);
    return paths;
}

void selectParentFromSelection(fnd::TreeController& controller)
{
    const auto selected = controller.selectedNodes();
    if (selected.empty())
        return;
    auto parent = selected.front()->parentNode();
    if (!parent || parent == controller.arrangedObjects()) {
        selectNone(controller);
        return;
    }
    controller.setSelectionIndexPath(parent->indexPath());
}

std::shared_ptr<fnd::TreeNode> nextSiblingOfNodeAtIndexPath(
    const fnd::TreeController& controller, const fnd::IndexPath& path)
{
    if (path.length() == 0)
        return nullptr;
    return nodeAtIndexPath(controller, ZORNSIndexPath_Extensions::indexPathByIncrementingLastIndex(path));
}

std::shared_ptr<fnd::TreeNode> nextSiblingOfNode(const fnd::TreeController& controller, const fnd::TreeNode& node)
{
    return nextSiblingOfNodeAtIndexPath(controller, node.indexPath());
}

}
