#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <fmt/format.h>
#include <unordered_set>

FND_REGISTER_CLASS(ZOROutlineSourceListItem, fnd::Object)

namespace {

// Moves on whenever a change may alter the roots of items other than the one changed. Starts above 0, the epoch of an
// item whose root was never looked up. Atomic only so that trees used on different threads stay sound; a move by
// another thread merely makes this thread's roots be looked up again.
std::atomic<std::uint64_t> sourceListItemEpoch { 1 };

std::uint64_t sourceListItemCurrentEpoch()
{
    return sourceListItemEpoch.load(std::memory_order_relaxed);
}

void sourceListItemNewEpoch()
{
    sourceListItemEpoch.fetch_add(1, std::memory_order_relaxed);
}

}

ZOROutlineSourceListItem::~ZOROutlineSourceListItem()
{
    // The items linked to this one become roots.
    if (m_linkedChildren > 0)
        sourceListItemNewEpoch();
    if (auto up = m_parent.lock())
        --up->m_linkedChildren;
    // Each item would free its children inside its own destruction, one stack frame per level. Children held by
    // nobody else are taken apart here instead, their own children moved onto the list before they go.
    if (!m_children)
        return;
    Children pending;
    auto letGo = [&pending](ZOROutlineSourceListItem& holder) {
        for (auto& child : *holder.m_children) {
            if (!child)
                continue;
            // Only a child that outlives this list needs its count; one held by nothing else goes next.
            if (child.use_count() > 1)
                --child->m_holders;
            pending.push_back(std::move(child));
        }
        holder.m_children.reset();
    };
    letGo(*this);
    while (!pending.empty()) {
        Ptr item = std::move(pending.back());
        pending.pop_back();
        if (item.use_count() == 1 && item->m_children)
            letGo(*item);
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
    linkParent(parent);
}

void ZOROutlineSourceListItem::linkParent(const Ptr& parent)
{
    auto old = m_parent.lock();
    if (old == parent) {
        m_parent = parent; // may have named an item since freed
        return;
    }
    if (old)
        --old->m_linkedChildren;
    if (parent)
        ++parent->m_linkedChildren;
    m_parent = parent;
    // Only the items linked below this one find their root through it.
    if (m_linkedChildren > 0)
        sourceListItemNewEpoch();
    else
        m_rootEpoch = 0;
}

void ZOROutlineSourceListItem::checkAdoptable(const Ptr& child) const
{
    if (!child)
        return;
    // An item no other names as its parent is on no other item's way to the root: only this item itself is refused.
    if (child.get() != this && child->m_linkedChildren == 0)
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

void ZOROutlineSourceListItem::checkListable(const Ptr& child) const
{
    // A loop through the lists needs this item below `child`: none when `child` has no children, or when no list
    // holds this item. Otherwise `child`'s subtree is searched, each item once (an item may stand in several lists).
    bool closesLoop = child.get() == this;
    if (!closesLoop && child->hasChildren() && m_holders > 0) {
        std::unordered_set<const ZOROutlineSourceListItem*> seen;
        std::vector<const ZOROutlineSourceListItem*> pending { child.get() };
        while (!pending.empty() && !closesLoop) {
            const auto* item = pending.back();
            pending.pop_back();
            if (!item->m_children)
                continue;
            for (const auto& below : *item->m_children) {
                if (below.get() == this) {
                    closesLoop = true;
                    break;
                }
                if (below && seen.insert(below.get()).second)
                    pending.push_back(below.get());
            }
        }
    }
    if (closesLoop)
        throw fnd::Exception::invalidArgument(fnd::String(fmt::format(
            "ZOROutlineSourceListItem: cannot list the item \"{}\" under \"{}\", which it holds below itself",
            child->title().utf8(), m_title.utf8())));
}

void ZOROutlineSourceListItem::setChildren(std::optional<Children> children)
{
    if (children) {
        for (const auto& child : *children) {
            // Every reader of the list (the lookups, the archive, the reports) takes its entries for items.
            if (!child)
                throw fnd::Exception::invalidArgument(fnd::String(fmt::format(
                    "ZOROutlineSourceListItem: the children of \"{}\" cannot include nil", m_title.utf8())));
            checkListable(child);
        }
        for (const auto& child : *children)
            ++child->m_holders;
    }
    if (m_children)
        for (const auto& child : *m_children)
            --child->m_holders;
    m_children = std::move(children);
}

ZOROutlineSourceListItem::Ptr ZOROutlineSourceListItem::rootObject()
{
    // Climbs to the first item whose remembered root is current (or the root itself), then leaves that root with
    // every item passed: after a move, each item's climb is paid once.
    const auto now = sourceListItemCurrentEpoch();
    ZOROutlineSourceListItem* top = this;
    Ptr root;
    while (!root) {
        if (top->m_rootEpoch == now)
            root = top->m_root.lock();
        if (root)
            break;
        auto up = top->parent();
        if (!up)
            root = top->self();
        else
            top = up.get(); // held by its own owners, not by this walk
    }
    for (auto* walk = this;; walk = walk->m_parent.lock().get()) {
        walk->m_root = root;
        walk->m_rootEpoch = now;
        if (walk == top)
            break;
    }
    return root;
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
    checkListable(child);
    if (!m_children)
        m_children.emplace();
    child->linkParent(self());
    m_children->push_back(child);
    ++child->m_holders;
}

void ZOROutlineSourceListItem::silentInsertChild(const Ptr& child, fnd::Index index)
{
    if (!child)
        return;
    checkAdoptable(child);
    checkListable(child);
    if (!m_children)
        m_children.emplace();
    index = std::clamp<fnd::Index>(index, 0, fnd::Index(m_children->size()));
    child->linkParent(self());
    m_children->insert(m_children->begin() + index, child);
    ++child->m_holders;
}

void ZOROutlineSourceListItem::addChild(const Ptr& child)
{
    if (!child)
        return;
    // The delegate told may drop this item from its tree; the report still names it.
    auto keep = shared_from_this();
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
    auto keep = shared_from_this();
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
    --child->m_holders;
    if (auto d = rootObject()->delegate())
        d->outlineSourceListItemDidRemoveEntry(*this, *child, index);
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZOROutlineSourceListItemNotification::DidRemoveEntry,
        child->selfValue(), fnd::Dictionary { { "parent", selfValue() } });
    // Those told could still ask the child where it was; afterwards it belongs to no tree.
    if (child->parent().get() == this)
        child->linkParent(nullptr);
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
        std::erase_if(*item->m_children, [&](const Ptr& child) {
            if (child && seen.insert(child.get()).second)
                return false;
            if (child)
                --child->m_holders;
            return true;
        });
        auto me = item->self();
        for (const auto& child : *item->m_children)
            child->linkParent(me);
        // The first child's subtree next: items are met in the order of a depth-first walk.
        for (auto it = item->m_children->rbegin(); it != item->m_children->rend(); ++it)
            pending.push_back(it->get());
    }
}

std::vector<ZOROutlineSourceListItem::Ptr> ZOROutlineSourceListItem::minimumNodeCoverFromNodesInArray(
    const std::vector<Ptr>& nodes)
{
    // The nodes still to take, by identity. Taking a node takes every copy of it, and of each node the climb passes,
    // so the next node to take is the next in the given order that is still here: sets instead of searches of the
    // list keep a selection of 100,000 siblings linear (it took seconds).
    std::unordered_set<const ZOROutlineSourceListItem*> remaining;
    for (const auto& node : nodes)
        if (node)
            remaining.insert(node.get());
    std::vector<Ptr> cover;
    std::unordered_set<const ZOROutlineSourceListItem*> covering;
    auto coveredFrom = [&](const ZOROutlineSourceListItem* start) {
        for (auto* walk = start; walk;) {
            if (covering.contains(walk))
                return true;
            auto up = walk->parent();
            walk = up.get();
        }
        return false;
    };
    for (const auto& given : nodes) {
        if (!given || !remaining.contains(given.get()))
            continue;
        auto node = given;
        for (auto up = node->parent(); up && remaining.contains(up.get()); up = node->parent()) {
            remaining.erase(node.get());
            node = up;
        }
        if (!coveredFrom(node.get())) {
            cover.push_back(node);
            covering.insert(node.get());
        }
        remaining.erase(node.get());
        remaining.erase(given.get());
    }
    // A node whose ancestor (not its parent) came later was kept before that ancestor: drop what is covered.
    std::vector<Ptr> pruned;
    for (const auto& node : cover) {
        auto up = node->parent();
        if (!coveredFrom(up.get()))
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
