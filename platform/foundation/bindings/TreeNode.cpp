#include "platform/foundation/bindings/TreeNode.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/IndexSet.h"

#include <fmt/format.h>

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(TreeNode, Object)

void TreeNode::describeClass(ClassBuilder<TreeNode>& c)
{
    c.property("representedObject", &TreeNode::representedObject);
    c.property("parentNode", &TreeNode::parentNode);
    c.property("indexPath", &TreeNode::indexPath);
    c.property("isLeaf", &TreeNode::isLeaf);
    c.property("leaf", &TreeNode::isLeaf);
    c.property("childNodes", &TreeNode::childNodes);
}

std::shared_ptr<TreeNode> TreeNode::treeNodeWithRepresentedObject(const Value& object)
{
    return std::make_shared<TreeNode>(object);
}

IndexPath TreeNode::indexPath() const
{
    std::vector<Index> indexes;
    const TreeNode* node = this;
    for (auto parent = node->parentNode(); parent; node = parent.get(), parent = parent->parentNode()) {
        auto& siblings = parent->m_children;
        auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& n) { return n.get() == node; });
        indexes.push_back(static_cast<Index>(it - siblings.begin()));
    }
    std::reverse(indexes.begin(), indexes.end());
    return IndexPath(std::move(indexes));
}

void TreeNode::insertChildNode(const std::shared_ptr<TreeNode>& node, Index index)
{
    if (!node || index < 0 || index > static_cast<Index>(m_children.size()))
        throw Exception::range(String(
            fmt::format("TreeNode insertChildNode: index {} is beyond {} child nodes.", index, m_children.size())));
    if (auto old = node->parentNode()) {
        auto& siblings = old->m_children;
        auto it = std::find(siblings.begin(), siblings.end(), node);
        if (it != siblings.end())
            old->removeChildNodeAtIndex(static_cast<Index>(it - siblings.begin()));
        index = std::min(index, static_cast<Index>(m_children.size()));
    }
    IndexSet changed(index);
    willChange(KeyValueChangeKind::Insertion, changed, "childNodes");
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(index), node);
    node->m_parent = std::static_pointer_cast<TreeNode>(shared_from_this());
    didChange(KeyValueChangeKind::Insertion, changed, "childNodes");
}

void TreeNode::removeChildNodeAtIndex(Index index)
{
    if (index < 0 || index >= static_cast<Index>(m_children.size()))
        throw Exception::range(String(fmt::format(
            "TreeNode removeChildNodeAtIndex: index {} is beyond {} child nodes.", index, m_children.size())));
    IndexSet changed(index);
    willChange(KeyValueChangeKind::Removal, changed, "childNodes");
    auto node = m_children[static_cast<std::size_t>(index)];
    m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(index));
    node->m_parent.reset();
    didChange(KeyValueChangeKind::Removal, changed, "childNodes");
}

std::shared_ptr<TreeNode> TreeNode::descendantNodeAtIndexPath(const IndexPath& path) const
{
    auto node = std::const_pointer_cast<TreeNode>(std::static_pointer_cast<const TreeNode>(shared_from_this()));
    for (auto i : path.indexes()) {
        if (i < 0 || i >= static_cast<Index>(node->m_children.size()))
            return nullptr;
        node = node->m_children[static_cast<std::size_t>(i)];
    }
    return node;
}

void TreeNode::sortWithSortDescriptors(const SortDescriptors& descriptors, bool recursively)
{
    if (!descriptors.empty() && m_children.size() > 1) {
        Array objects;
        objects.reserve(m_children.size());
        for (const auto& child : m_children)
            objects.push_back(child->m_representedObject);
        auto order = sortedIndexesUsingDescriptors(objects, descriptors);
        std::vector<std::shared_ptr<TreeNode>> sorted;
        sorted.reserve(order.size());
        for (auto i : order)
            sorted.push_back(m_children[i]);
        if (sorted != m_children) {
            willChangeValueForKey("childNodes");
            m_children = std::move(sorted);
            didChangeValueForKey("childNodes");
        }
    }
    if (recursively) {
        for (const auto& child : m_children)
            child->sortWithSortDescriptors(descriptors, true);
    }
}

String TreeNode::description() const
{
    return String(
        fmt::format("<TreeNode {} with {} children>", m_representedObject.description().utf8(), m_children.size()));
}

}
