#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"

#include <algorithm>
#include <fmt/format.h>
#include <unordered_set>

FND_REGISTER_CLASS(ZOROutlineSourceListItem, fnd::Object)

ZOROutlineSourceListItem::~ZOROutlineSourceListItem()
{
    // Each item would free its children inside its own destruction, one stack frame per level. Children held by
    // nobody else are taken apart here instead, their own children moved onto the list before they go.
    if (!m_children)
        return;
    Children pending = std::move(*m_children);
    m_children.reset();
    while (!pending.empty()) {
        Ptr item = std::move(pending.back());
        pending.pop_back();
        if (item && item.use_count() == 1 && item->m_children) {
            for (auto& child : *item->m_children)
                pending.push_back(std::move(child));
            item->m_children.reset();
        }
    }
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::create()
{
    return std::make_shared<ZOROutlineSourceListItem>();
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::create(const fnd::String& title, const fnd::String& identifier)
{
    auto item = create();
    item->setTitle(title);
    item->setIdentifier(identifier);
    return item;
}

void ZOROutlineSourceListItem::setTitle(const fnd::String& title)
{
    auto keep = shared_from_this();
    m_title = title;
    if (auto d = rootObject()->delegate())
        d->outlineSourceListItemAttributesChanged(*this);
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        ZOROutlineSourceListItemNotification::AttributesChangedEntry, selfValue());
}

void ZOROutlineSourceListItem::setParent(const Ptr& parent)
{
    if (parent)
        parent->checkAdoptable(self());
    m_parent = parent;
}

void ZOROutlineSourceListItem::setChildren(std::optional<Children> children)
{
    if (children) {
        std::unordered_set<const ZOROutlineSourceListItem*> seen;
        for (const auto& child : *children) {
            if (!child)
                throw fnd::Exception::invalidArgument("ZOROutlineSourceListItem: setChildren: a child list holds nil");
            if (!seen.insert(child.get()).second)
                throw fnd::Exception::invalidArgument(fnd::String(
                    fmt::format("ZOROutlineSourceListItem: setChildren: the item \"{}\" is in the list twice",
                        child->title().utf8())));
            checkAdoptable(child);
        }
    }
    m_children = std::move(children);
}

void ZOROutlineSourceListItem::checkAdoptable(const Ptr& child) const
{
    if (!child)
        return;
    for (auto* walk = this; walk;) {
        if (walk == child.get())
            throw fnd::Exception::invalidArgument(fnd::String(fmt::format(
                "ZOROutlineSourceListItem: cannot place the item \"{}\" under itself or one of its own descendants",
                child->title().utf8())));
        auto up = walk->parent();
        walk = up.get();
    }
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::rootObject()
{
    auto node = self();
    while (auto up = node->parent())
        node = up;
    return node;
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::childAtIndex(fnd::Index index) const
{
    if (!m_children || index < 0 || index >= fnd::Index(m_children->size()))
        return nullptr;
    return (*m_children)[std::size_t(index)];
}

fnd::Index ZOROutlineSourceListItem::indexOfChild(const ZOROutlineSourceListItem* child) const
{
    if (!m_children)
        return fnd::NotFound;
    for (std::size_t i = 0; i < m_children->size(); ++i)
        if ((*m_children)[i].get() == child)
            return fnd::Index(i);
    return fnd::NotFound;
}

const ZOROutlineSourceListItem::Children& ZOROutlineSourceListItem::childEnumerator()
{
    if (!m_children)
        m_children.emplace();
    return *m_children;
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::childWithIdentifier(const fnd::String& identifier) const
{
    if (!m_children)
        return nullptr;
    for (auto it = m_children->rbegin(); it != m_children->rend(); ++it)
        if ((*it)->identifier() == identifier)
            return *it;
    return nullptr;
}

bool ZOROutlineSourceListItem::isDescendantOfNodeOrSelf(const ZOROutlineSourceListItem* node) const
{
    if (!node)
        return false;
    for (auto* walk = this; walk;) {
        if (walk == node)
            return true;
        auto up = walk->parent();
        walk = up.get();
    }
    return false;
}

bool ZOROutlineSourceListItem::isDescendantOfNodeInArray(const std::vector<Ptr>& nodes) const
{
    return std::any_of(
        nodes.begin(), nodes.end(), [&](const Ptr& node) { return isDescendantOfNodeOrSelf(node.get()); });
}

std::vector<ZOROutlineSourceListItem::Ptr> ZOROutlineSourceListItem::filteredFlatObjectTreeWithPredicate(
    const std::function<bool(const ZOROutlineSourceListItem&)>& predicate, const fnd::ClassInfo& objectClass) const
{
    // Each item visited gives its matching children, then each child is visited in turn, depth first: walked with a
    // stack of its own, so a tree of any depth can be listed. A decoded tree may still hold a cycle or an item twice
    // before its parents are set: each item is met once.
    std::unordered_set<const ZOROutlineSourceListItem*> seen { this };
    std::vector<Ptr> result;
    std::vector<const ZOROutlineSourceListItem*> pending { this };
    std::vector<const ZOROutlineSourceListItem*> fresh;
    while (!pending.empty()) {
        const auto* item = pending.back();
        pending.pop_back();
        if (!item->m_children)
            continue;
        fresh.clear();
        for (const auto& child : *item->m_children) {
            if (!child || !seen.insert(child.get()).second)
                continue;
            fresh.push_back(child.get());
            if (child->isKindOf(objectClass) && (!predicate || predicate(*child)))
                result.push_back(child);
        }
        pending.insert(pending.end(), fresh.rbegin(), fresh.rend());
    }
    return result;
}

// Changes.

void ZOROutlineSourceListItem::silentAddChild(const Ptr& child)
{
    if (!child)
        return;
    checkAdoptable(child);
    if (!m_children)
        m_children.emplace();
    child->m_parent = self();
    m_children->push_back(child);
}

void ZOROutlineSourceListItem::silentInsertChild(const Ptr& child, fnd::Index index)
{
    if (!child)
        return;
    checkAdoptable(child);
    if (!m_children)
        m_children.emplace();
    index = std::clamp<fnd::Index>(index, 0, fnd::Index(m_children->size()));
    child->m_parent = self();
    m_children->insert(m_children->begin() + index, child);
}

void ZOROutlineSourceListItem::addChild(const Ptr& child)
{
    if (!child)
        return;
    silentAddChild(child);
    const auto index = fnd::Index(m_children->size()) - 1;
    if (auto d = rootObject()->delegate())
        d->outlineSourceListItemDidAddEntry(*this, *child, index);
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZOROutlineSourceListItemNotification::DidAddEntry,
        child->selfValue(), fnd::Dictionary { { "parent", selfValue() } });
}

void ZOROutlineSourceListItem::insertChild(const Ptr& child, fnd::Index index)
{
    if (!child)
        return;
    index = std::clamp<fnd::Index>(index, 0, countOfChildren());
    silentInsertChild(child, index);
    if (auto d = rootObject()->delegate())
        d->outlineSourceListItemDidAddEntry(*this, *child, index);
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZOROutlineSourceListItemNotification::DidAddEntry,
        child->selfValue(), fnd::Dictionary { { "parent", selfValue() } });
}

void ZOROutlineSourceListItem::removeChildAtIndex(fnd::Index index)
{
    auto child = childAtIndex(index);
    if (!child)
        return;
    auto keep = shared_from_this();
    m_children->erase(m_children->begin() + index);
    if (auto d = rootObject()->delegate())
        d->outlineSourceListItemDidRemoveEntry(*this, *child, index);
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZOROutlineSourceListItemNotification::DidRemoveEntry,
        child->selfValue(), fnd::Dictionary { { "parent", selfValue() } });
    // Those told could still ask the child where it was; afterwards it belongs to no tree.
    if (child->parent().get() == this)
        child->m_parent.reset();
}

void ZOROutlineSourceListItem::removeChild(const ZOROutlineSourceListItem* child)
{
    const auto index = indexOfChild(child);
    if (index != fnd::NotFound)
        removeChildAtIndex(index);
}

void ZOROutlineSourceListItem::removeChildren(const std::vector<Ptr>& children)
{
    for (const auto& child : children)
        removeChild(child.get());
}

void ZOROutlineSourceListItem::removeAllChildren()
{
    if (!m_children)
        return;
    const auto all = *m_children;
    removeChildren(all);
}

void ZOROutlineSourceListItem::setParentForTree()
{
    // An archive may name one item twice in the tree, or an ancestor among its children: such an item stays where
    // it was met first, so the tree stays a tree. This item's own ancestors count as met, so none of them is
    // linked below it. Walked with a stack of its own, so a tree of any depth can be linked.
    std::unordered_set<const ZOROutlineSourceListItem*> seen;
    for (const auto* walk = this; walk;) {
        seen.insert(walk);
        auto up = walk->parent();
        walk = up.get();
    }
    std::vector<ZOROutlineSourceListItem*> pending { this };
    while (!pending.empty()) {
        auto* item = pending.back();
        pending.pop_back();
        if (!item->m_children)
            continue;
        std::erase_if(*item->m_children, [&](const Ptr& child) { return !child || !seen.insert(child.get()).second; });
        auto me = item->self();
        for (const auto& child : *item->m_children)
            child->m_parent = me;
        // The first child's subtree next: items are met in the order of a depth-first walk.
        for (auto it = item->m_children->rbegin(); it != item->m_children->rend(); ++it)
            pending.push_back(it->get());
    }
}

std::vector<ZOROutlineSourceListItem::Ptr> ZOROutlineSourceListItem::minimumNodeCoverFromNodesInArray(
    const std::vector<Ptr>& nodes)
{
    auto remaining = nodes;
    std::vector<Ptr> cover;
    auto removeFrom = [](std::vector<Ptr>& list, const ZOROutlineSourceListItem* node) {
        list.erase(std::remove_if(list.begin(), list.end(), [&](const Ptr& p) { return p.get() == node; }), list.end());
    };
    auto holds = [](const std::vector<Ptr>& list, const ZOROutlineSourceListItem* node) {
        return std::any_of(list.begin(), list.end(), [&](const Ptr& p) { return p.get() == node; });
    };
    while (!remaining.empty()) {
        auto node = remaining.front();
        remaining.erase(remaining.begin());
        if (!node)
            continue;
        for (auto up = node->parent(); up && holds(remaining, up.get()); up = node->parent()) {
            removeFrom(remaining, node.get());
            node = up;
        }
        if (!node->isDescendantOfNodeInArray(cover))
            cover.push_back(node);
        removeFrom(remaining, node.get());
    }
    // A node whose ancestor (not its parent) came later was kept before that ancestor: drop what is covered.
    std::vector<Ptr> pruned;
    for (const auto& node : cover) {
        const bool covered = std::any_of(cover.begin(), cover.end(),
            [&](const Ptr& other) { return other != node && node->isDescendantOfNodeOrSelf(other.get()); });
        if (!covered)
            pruned.push_back(node);
    }
    return pruned;
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::copy() const
{
    // An item of the receiver's own class.
    const auto& cls = classInfo();
    auto item = cls.factory ? std::dynamic_pointer_cast<ZOROutlineSourceListItem>(cls.factory()) : nullptr;
    if (!item)
        item = std::make_shared<ZOROutlineSourceListItem>();
    item->m_title = m_title;
    item->m_identifier = m_identifier;
    item->m_icon = m_icon;
    item->m_badgeValue = m_badgeValue;
    item->m_delegate = m_delegate;
    return item;
}

// Archiving: the icon goes as TIFF data, the children as items; parent links are rebuilt by setParentForTree.

void ZOROutlineSourceListItem::encodeWithCoder(fnd::Coder& coder) const
{
    coder.encodeObject(m_title.isEmpty() ? fnd::Value {} : fnd::Value(m_title), "title");
    coder.encodeObject(m_identifier.isEmpty() ? fnd::Value {} : fnd::Value(m_identifier), "identifier");
    // Every key is written, an absent icon or child list as nil, so the archive always holds the same keys.
    coder.encodeObject(m_icon ? fnd::Value(m_icon) : fnd::Value {}, "icon");
    fnd::Value children;
    if (m_children) {
        fnd::Array list;
        for (const auto& child : *m_children)
            list.push_back(child->selfValue());
        children = fnd::Value(std::move(list));
    }
    coder.encodeObject(children, "children");
    coder.encodeInt64(m_badgeValue, "badgeValue");
}

bool ZOROutlineSourceListItem::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    m_badgeValue = NoBadge;
    const auto title = coder.decodeObjectForKey("title");
    if (title.isString())
        setTitle(title.stringValue());
    const auto identifier = coder.decodeObjectForKey("identifier");
    if (identifier.isString())
        setIdentifier(identifier.stringValue());
    if (auto icon = fnd::decodeObjectOfClass<gfx::Image>(coder, "icon"))
        setIcon(icon);
    // Owned: an archive that lists an item below itself fails instead of making a cycle that nothing frees.
    const auto children = coder.decodeOwnedObjectForKey("children");
    if (const auto* array = children.array()) {
        Children decoded;
        for (const auto& value : *array)
            if (auto child = value.objectAs<ZOROutlineSourceListItem>())
                decoded.push_back(child);
        setChildren(std::move(decoded));
    }
    if (coder.containsValueForKey("badgeValue"))
        setBadgeValue(coder.decodeInt64ForKey("badgeValue"));
    return true;
}
