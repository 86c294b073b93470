#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Image.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ZOROutlineSourceListItem;

// Notification names (their values are their names). Object: the added, removed or changed item; user info
// "parent": the parent item (add and remove).
namespace ZOROutlineSourceListItemNotification {
inline const fnd::String DidAddEntry = "ZOROutlineSourceListItemDidAddEntryNotification";
inline const fnd::String DidRemoveEntry = "ZOROutlineSourceListItemDidRemoveEntryNotification";
inline const fnd::String AttributesChangedEntry = "ZOROutlineSourceListItemAttributesChangedEntryNotification";
}

// What the root item's delegate hears after each reported change (every call optional).
class ZOROutlineSourceListItemDelegate {
public:
    virtual ~ZOROutlineSourceListItemDelegate() = default;
    virtual void outlineSourceListItemDidAddEntry(
        ZOROutlineSourceListItem& /*parent*/, ZOROutlineSourceListItem& /*child*/, fnd::Index /*index*/)
    {
    }
    virtual void outlineSourceListItemDidRemoveEntry(
        ZOROutlineSourceListItem& /*parent*/, ZOROutlineSourceListItem& /*child*/, fnd::Index /*index*/)
    {
    }
    virtual void outlineSourceListItemAttributesChanged(ZOROutlineSourceListItem&) { }
};

// A ready-made node for a source list: a title, an optional identifier, icon and badge number, a parent link and
// ordered children. Every change of the tree comes in a reporting form (the tree changes, then the root item's
// delegate hears, then the notification goes out) and a silent form. Archived with its subtree; copied without it.
class ZOROutlineSourceListItem : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ZOROutlineSourceListItem)

public:
    using Ptr = std::shared_ptr<ZOROutlineSourceListItem>;
    using Children = std::vector<Ptr>;
    static constexpr std::int64_t NoBadge = -1;

    ZOROutlineSourceListItem() = default;
    // Lets go of the subtree one level at a time: a chain of any depth is freed without deep recursion.
    ~ZOROutlineSourceListItem() override;
    // Without a title the item reports nothing; given one, it sets it as setTitle does, reporting the change.
    static Ptr create();
    static Ptr create(const fnd::String& title, const fnd::String& identifier = {});

    const fnd::String& title() const { return m_title; }
    // Reports the change (delegate, then notification).
    void setTitle(const fnd::String& title);
    const fnd::String& identifier() const { return m_identifier; }
    void setIdentifier(const fnd::String& identifier) { m_identifier = identifier; }
    const std::shared_ptr<gfx::Image>& icon() const { return m_icon; }
    void setIcon(std::shared_ptr<gfx::Image> icon) { m_icon = std::move(icon); }
    // Negative: no badge.
    std::int64_t badgeValue() const { return m_badgeValue; }
    void setBadgeValue(std::int64_t value) { m_badgeValue = value; }
    // The item whose children hold this one; nullptr at the root.
    Ptr parent() const { return m_parent.lock(); }
    // An item under itself or under one of its own descendants raises InvalidArgument: the parent links would
    // circle, and rootObject would never return.
    void setParent(const Ptr& parent);
    std::shared_ptr<ZOROutlineSourceListItemDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ZOROutlineSourceListItemDelegate>& delegate) { m_delegate = delegate; }
    // nullopt until a first child is added (or childEnumerator made the list).
    const std::optional<Children>& children() const { return m_children; }
    // Sets no parent links. A list holding nil, this item, or one that holds it below itself, raises InvalidArgument
    // and changes nothing.
    void setChildren(std::optional<Children> children);

    bool hasBadge() const { return m_badgeValue >= 0; }
    bool hasChildren() const { return m_children && !m_children->empty(); }
    bool hasIcon() const { return m_icon != nullptr; }
    fnd::Index countOfChildren() const { return m_children ? fnd::Index(m_children->size()) : 0; }

    // Navigation.
    // Follows the parent links to the item without a parent. Remembered per item, so asking again costs nothing
    // until an item's links change (see m_root).
    Ptr rootObject();
    // nullptr outside the children.
    Ptr childAtIndex(fnd::Index index) const;
    // By identity; fnd::NotFound when absent.
    fnd::Index indexOfChild(const ZOROutlineSourceListItem* child) const;
    // The children to walk (making the empty list when there is none yet).
    const Children& childEnumerator();
    // The last child with that identifier.
    Ptr childWithIdentifier(const fnd::String& identifier) const;
    // True when the node is this item or one of its ancestors: an item counts as its own descendant.
    bool isDescendantOfNodeOrSelf(const ZOROutlineSourceListItem* node) const;
    bool isDescendantOfNodeInArray(const std::vector<Ptr>& nodes) const;
    // The direct children of the class that match, then each child's own result, in child order.
    std::vector<Ptr> filteredFlatObjectTreeWithPredicate(
        const std::function<bool(const ZOROutlineSourceListItem&)>& predicate, const fnd::ClassInfo& objectClass) const;

    // Reported changes. A removal reports first, then lets go of the child's parent link. Adding or inserting an
    // item under itself or under one of its own descendants raises InvalidArgument and changes nothing (silent forms
    // alike), whether it is a descendant by parent links or only through child lists (an item may stand in several).
    void addChild(const Ptr& child);
    void insertChild(const Ptr& child, fnd::Index index);
    // An index outside the children, or an item that is no child, changes nothing.
    void removeChildAtIndex(fnd::Index index);
    void removeChild(const ZOROutlineSourceListItem* child);
    void removeChildren(const std::vector<Ptr>& children);
    void removeAllChildren();
    // Silent changes.
    void silentAddChild(const Ptr& child);
    void silentInsertChild(const Ptr& child, fnd::Index index);
    // Links every item of the subtree to its parent (after unarchiving); an item met twice stays only where it
    // was met first.
    void setParentForTree();

    // The fewest nodes whose subtrees hold every given node (compared by identity), in the order first met.
    static std::vector<Ptr> minimumNodeCoverFromNodesInArray(const std::vector<Ptr>& nodes);

    // Same title, identifier, icon, badge and delegate; no children, no parent.
    Ptr copy() const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    Ptr self() { return std::static_pointer_cast<ZOROutlineSourceListItem>(shared_from_this()); }
    // Raises InvalidArgument when `child` is this item or one of its ancestors.
    void checkAdoptable(const Ptr& child) const;
    // Every change of a parent link goes through here, keeping the counts of linked children and the roots
    // remembered true.
    void linkParent(const Ptr& parent);
    // Raises InvalidArgument when `child` is this item or holds it somewhere below itself: listing it here would
    // close a loop through the child lists.
    void checkListable(const Ptr& child) const;

    fnd::String m_title;
    fnd::String m_identifier;
    std::shared_ptr<gfx::Image> m_icon;
    std::int64_t m_badgeValue { NoBadge };
    std::weak_ptr<ZOROutlineSourceListItem> m_parent;
    std::weak_ptr<ZOROutlineSourceListItemDelegate> m_delegate;
    std::optional<Children> m_children;
    // How many child lists hold this item. One that none holds heads its tree: no item below another can hold it,
    // so adding below it needs no search.
    std::size_t m_holders { 0 };
    // How many living items name this one as their parent. None: no item has this one on its way to the root, so
    // this item can be nobody's ancestor, and moving it changes no other item's root.
    std::size_t m_linkedChildren { 0 };
    // The root found last, true while m_rootEpoch is the current structural epoch. The epoch moves on whenever an
    // item with linked children changes its parent or is freed (every root below may change); an item without
    // makes only its own root stale.
    std::weak_ptr<ZOROutlineSourceListItem> m_root;
    std::uint64_t m_rootEpoch { 0 };
};
