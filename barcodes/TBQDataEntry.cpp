#include "barcodes/TBQDataEntry.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/runtime/Exception.h"

#include <algorithm>
#include <atomic>
#include <fmt/format.h>
#include <unordered_map>
#include <unordered_set>

using namespace fnd;

FND_REGISTER_CLASS(TBQDataEntry, Object)
FND_REGISTER_CLASS(TBQDataGroupEntry, TBQDataEntry)
FND_REGISTER_CLASS(LMVFilteredDataEntryRoot, TBQDataEntry)

namespace {

// Moves on whenever a change may alter the roots of entries other than the one changed. Starts above 0, the epoch of
// an entry whose root was never looked up. Atomic only so that trees used on different threads stay sound; a change
// on another thread merely makes this thread's roots be looked up again.
std::atomic<std::uint64_t> dataEntryEpoch { 1 };

std::uint64_t dataEntryCurrentEpoch()
{
    return dataEntryEpoch.load(std::memory_order_relaxed);
}

void dataEntryNewEpoch()
{
    dataEntryEpoch.fetch_add(1, std::memory_order_relaxed);
}

}

void TBQDataEntry::describeClass(ClassBuilder<TBQDataEntry>& c)
{
    c.property("name", &TBQDataEntry::name, &TBQDataEntry::setName);
    c.property("descr", &TBQDataEntry::descr, &TBQDataEntry::setDescr);
    c.property("labelColorType", &TBQDataEntry::labelColorType, &TBQDataEntry::setLabelColorType);
    c.property("creationDate", &TBQDataEntry::creationDate, &TBQDataEntry::setCreationDate);
    c.property("modificationDate", &TBQDataEntry::modificationDate, &TBQDataEntry::setModificationDate);
    c.property("subObjectNames", &TBQDataEntry::subObjectNames);
    c.property("objectCount", &TBQDataEntry::objectCount);
}

TBQDataEntry::TBQDataEntry()
{
    m_cDate = m_lDate = Date::now();
}

TBQDataEntry::~TBQDataEntry()
{
    // The entries linked to this one become roots.
    if (m_linkedEntries > 0)
        dataEntryNewEpoch();
    if (auto up = m_parentObject.lock())
        --up->m_linkedEntries;
    // Each entry would free its sub-entries inside its own destruction, one stack frame per level. Those held by
    // nobody else are taken apart here instead, their own sub-entries moved onto the list before they go.
    EntryArray pending;
    auto letGo = [&pending](TBQDataEntry& holder) {
        for (auto& child : holder.m_subObjects) {
            // Only a sub-entry that outlives this list needs its count; one held by nothing else goes next.
            if (child.use_count() > 1)
                holder.letGoOfSubObject(child);
            pending.push_back(std::move(child));
        }
        holder.m_subObjects.clear();
    };
    letGo(*this);
    while (!pending.empty()) {
        EntryPtr entry = std::move(pending.back());
        pending.pop_back();
        if (entry.use_count() == 1 && !entry->m_subObjects.empty())
            letGo(*entry);
    }
}

void TBQDataEntry::init() { }

void TBQDataEntry::updateModficationDate() { m_lDate = Date::now(); }

void TBQDataEntry::setCreationDate(Date date)
{
    if (PropertyList::canHoldDate(date))
        m_cDate = date;
}

void TBQDataEntry::setModificationDate(Date date)
{
    if (PropertyList::canHoldDate(date))
        m_lDate = date;
}

std::shared_ptr<TBQDataEntryDelegate> TBQDataEntry::rootDelegate()
{
    auto root = rootObject();
    return root ? root->delegate() : nullptr;
}

void TBQDataEntry::setName(const String& name)
{
    m_itemName = name;
    updateModficationDate();
    if (auto d = rootDelegate())
        d->attributesChangedOfDataEntry(*this);
}

void TBQDataEntry::setDescr(const String& descr)
{
    m_description = descr;
    updateModficationDate();
    if (auto d = rootDelegate())
        d->attributesChangedOfDataEntry(*this);
}

void TBQDataEntry::setLabelColorType(int type)
{
    m_labelColor = type;
    updateModficationDate();
    if (auto d = rootDelegate())
        d->attributesChangedOfDataEntry(*this);
}

StringArray TBQDataEntry::subObjectNames() const
{
    StringArray names;
    names.reserve(m_subObjects.size());
    for (auto& child : m_subObjects)
        names.push_back(child->name());
    return names;
}

void TBQDataEntry::setParent(const EntryPtr& parent)
{
    auto current = this->parent();
    if (parent == current)
        return;
    // Unlinked, a listed entry could be listed a second time, and its tree would write an archive that its reader
    // refuses.
    if (current && current->indexOfObject(this) != NotFound)
        throw Exception::invalidArgument(
            String(fmt::format("cannot give the entry \"{}\" another parent: it is a sub-entry of \"{}\"",
                name().utf8(), current->name().utf8())));
    if (parent && parent->isDescendantOfNode(this))
        throw Exception::invalidArgument(
            String(fmt::format("cannot make \"{}\" the parent of \"{}\": its parent links lead back to it",
                parent->name().utf8(), name().utf8())));
    linkParent(parent);
}

void TBQDataEntry::linkParent(const EntryPtr& parent)
{
    auto old = m_parentObject.lock();
    if (old == parent) {
        m_parentObject = parent; // may have named an entry since freed
        return;
    }
    if (old)
        --old->m_linkedEntries;
    if (parent)
        ++parent->m_linkedEntries;
    m_parentObject = parent;
    // Only the entries linked below this one find their root through it.
    if (m_linkedEntries > 0)
        dataEntryNewEpoch();
    else
        m_rootEpoch = 0;
}

TBQDataEntry::EntryPtr TBQDataEntry::rootObject()
{
    // Climbs to the first entry whose remembered root is current (or to the root itself), then leaves that root with
    // every entry passed: after a change, each entry's climb is paid once.
    const auto now = dataEntryCurrentEpoch();
    TBQDataEntry* top = this;
    EntryPtr root;
    for (;;) {
        if (top->m_rootEpoch == now && (root = top->m_root.lock()))
            break;
        auto up = top->parent();
        if (!up) {
            root = top->selfPointer();
            break;
        }
        top = up.get(); // held by its own owners, not by this walk
    }
    for (TBQDataEntry* walk = this;; walk = walk->parent().get()) {
        walk->m_root = root;
        walk->m_rootEpoch = now;
        if (walk == top)
            break;
    }
    return root;
}

TBQDataEntry::EntryArray TBQDataEntry::objectTree()
{
    EntryArray path;
    for (EntryPtr entry = selfPointer(); entry; entry = entry->parent())
        path.push_back(entry);
    std::reverse(path.begin(), path.end());
    return path;
}

TBQDataEntry::EntryPtr TBQDataEntry::objectAtIndex(Index index) const
{
    if (index < 0 || index >= objectCount())
        return nullptr;
    return m_subObjects[static_cast<std::size_t>(index)];
}

Index TBQDataEntry::indexOfObject(const TBQDataEntry* entry) const
{
    for (std::size_t i = 0; i < m_subObjects.size(); ++i) {
        if (m_subObjects[i].get() == entry)
            return static_cast<Index>(i);
    }
    return NotFound;
}

TBQDataEntry::EntryArray TBQDataEntry::objectsInRange(Range range) const
{
    checkRange(range);
    return { m_subObjects.begin() + range.location, m_subObjects.begin() + range.max() };
}

bool TBQDataEntry::isDescendantOfNode(const TBQDataEntry* node) const
{
    if (!node)
        return false;
    if (node == this)
        return true;
    // An entry that none names as its parent is nobody's ancestor: a chain built from the top checks each new entry
    // without climbing.
    if (node->m_linkedEntries == 0)
        return false;
    for (auto up = parent(); up; up = up->parent()) {
        if (up.get() == node)
            return true;
    }
    return false;
}

bool TBQDataEntry::isDescendantOfNodeInArray(const EntryArray& nodes) const
{
    return std::any_of(nodes.begin(), nodes.end(), [&](const EntryPtr& n) { return isDescendantOfNode(n.get()); });
}

TBQDataEntry::EntryArray TBQDataEntry::filteredFlatObjectTreeWithPredicate(
    const std::function<bool(const TBQDataEntry&)>& predicate, const ClassInfo& objectClass) const
{
    // Each entry visited gives its matching sub-entries, then each sub-entry is visited in turn, depth first: walked
    // with a stack of its own, so a tree of any depth is listed, in time linear in its size. An entry that a
    // filtered root shows as well as its owner lists is met once.
    std::unordered_set<const TBQDataEntry*> seen { this };
    EntryArray result;
    std::vector<const TBQDataEntry*> pending { this };
    std::vector<const TBQDataEntry*> fresh;
    while (!pending.empty()) {
        const TBQDataEntry* entry = pending.back();
        pending.pop_back();
        fresh.clear();
        for (const auto& child : entry->m_subObjects) {
            if (!seen.insert(child.get()).second)
                continue;
            fresh.push_back(child.get());
            if (child->isKindOf(objectClass) && (!predicate || predicate(*child)))
                result.push_back(child);
        }
        pending.insert(pending.end(), fresh.rbegin(), fresh.rend());
    }
    return result;
}

TBQDataEntry::EntryArray TBQDataEntry::minimumNodeCoverFromNodesInArray(const EntryArray& nodes)
{
    // The given entries that no other given entry holds in its subtree, once each, in the order given: the result
    // does not depend on that order, and an entry below a given one is never listed beside it, however far up the
    // given one stands.
    std::unordered_set<const TBQDataEntry*> given;
    for (const auto& node : nodes)
        given.insert(node.get());
    auto coveredByAnother = [&](const TBQDataEntry& node) {
        for (auto up = node.parent(); up; up = up->parent()) {
            if (given.contains(up.get()))
                return true;
        }
        return false;
    };
    EntryArray cover;
    std::unordered_set<const TBQDataEntry*> listed;
    for (const auto& node : nodes) {
        if (node && !coveredByAnother(*node) && listed.insert(node.get()).second)
            cover.push_back(node);
    }
    return cover;
}

void TBQDataEntry::checkIndex(Index index, Index limit) const
{
    if (index < 0 || index > limit)
        throw Exception::range(String(fmt::format("index {} beyond {} entries", index, limit)));
}

void TBQDataEntry::checkRange(Range range) const
{
    // Written so that no sum can overflow: a negative length or one that reaches past the end is refused as such.
    const Index count = objectCount();
    if (range.location < 0 || range.length < 0 || range.location > count || range.length > count - range.location)
        throw Exception::range(
            String(fmt::format("range {{{}, {}}} beyond {} entries", range.location, range.length, count)));
}

bool TBQDataEntry::wouldOwnItselfThrough(const TBQDataEntry& entry) const
{
    if (isDescendantOfNode(&entry))
        return true;
    // Parent links follow owners only (a filtered root shows entries without linking them), so the entry is also
    // searched for this one below it.
    return standsBelowAnyOf({ &entry });
}

bool TBQDataEntry::standsBelowAnyOf(std::vector<const TBQDataEntry*> entries) const
{
    // An entry that no list holds stands below nothing; a search meets each entry once, however many lists hold it,
    // and ends at once on entries without sub-entries.
    if (m_holders == 0)
        return false;
    std::unordered_set<const TBQDataEntry*> seen(entries.begin(), entries.end());
    while (!entries.empty()) {
        const TBQDataEntry* entry = entries.back();
        entries.pop_back();
        for (const auto& child : entry->m_subObjects) {
            if (child.get() == this)
                return true;
            if (seen.insert(child.get()).second)
                entries.push_back(child.get());
        }
    }
    return false;
}

void TBQDataEntry::checkInsertable(const EntryPtr& entry) const
{
    if (!entry)
        throw Exception::invalidArgument("cannot insert a nil entry");
    // The tree would own itself: it would never be freed, and rootObject() would never reach a root.
    if (wouldOwnItselfThrough(*entry))
        throw Exception::invalidArgument(String(fmt::format(
            "cannot insert the entry \"{}\" into itself or into one of its own sub-entries", entry->name().utf8())));
    // An entry has one place: listed twice, the tree would write an archive that its reader refuses. One that was
    // removed keeps its parent link but is no longer listed, and may go in again.
    if (auto holder = entry->parent(); holder && holder->indexOfObject(entry.get()) != NotFound)
        throw Exception::invalidArgument(
            String(fmt::format("cannot insert the entry \"{}\": it is already a sub-entry of \"{}\"",
                entry->name().utf8(), holder->name().utf8())));
}

void TBQDataEntry::checkInsertable(const EntryArray& entries) const
{
    std::unordered_set<const TBQDataEntry*> listed;
    for (auto& e : entries) {
        checkInsertable(e);
        if (!listed.insert(e.get()).second)
            throw Exception::invalidArgument(
                String(fmt::format("cannot insert the entry \"{}\" twice", e->name().utf8())));
    }
}

void TBQDataEntry::insertObject(const EntryPtr& entry, Index index)
{
    checkInsertable(entry);
    checkIndex(index, objectCount());
    m_subObjects.insert(m_subObjects.begin() + index, entry);
    holdSubObject(entry);
    entry->linkParent(selfPointer());
    updateModficationDate();
    if (auto d = rootDelegate())
        d->dataEntryDidAddEntry(*this, *entry);
}

void TBQDataEntry::addObject(const EntryPtr& entry)
{
    insertObject(entry, objectCount());
}

void TBQDataEntry::insertObjects(const EntryArray& entries, Index index)
{
    checkIndex(index, objectCount());
    checkInsertable(entries);
    m_subObjects.insert(m_subObjects.begin() + index, entries.begin(), entries.end());
    // Only the inserted entries are linked: every entry listed already has the entry that lists it as its parent, so
    // relinking the whole subtree would change nothing at the cost of walking it.
    auto self = selfPointer();
    for (const auto& e : entries) {
        holdSubObject(e);
        e->linkParent(self);
    }
    updateModficationDate();
    if (auto d = rootDelegate())
        d->dataEntryDidInsertEntrys(*this, entries, index);
}

void TBQDataEntry::addObjects(const EntryArray& entries)
{
    insertObjects(entries, objectCount());
}

void TBQDataEntry::removeObject(const TBQDataEntry* entry)
{
    // Held while the callback runs: the entry may have no other owner.
    EntryPtr removed;
    std::erase_if(m_subObjects, [&](const EntryPtr& p) {
        if (p.get() != entry)
            return false;
        removed = p;
        letGoOfSubObject(p);
        return true;
    });
    updateModficationDate();
    if (auto d = rootDelegate(); d && removed)
        d->dataEntryDidRemoveEntry(*this, *removed);
}

void TBQDataEntry::removeObjectsInRange(Range range)
{
    checkRange(range);
    for (Index i = range.location; i < range.max(); ++i)
        letGoOfSubObject(m_subObjects[static_cast<std::size_t>(i)]);
    m_subObjects.erase(m_subObjects.begin() + range.location, m_subObjects.begin() + range.max());
    updateModficationDate();
    if (auto d = rootDelegate())
        d->dataEntryDidRemoveEntryInRange(*this, range);
}

void TBQDataEntry::setParentPointerForSubObjectTree()
{
    // Walked with a stack of its own, so a tree of any depth is linked. A filtered root's list shows entries that
    // belong elsewhere: linking them would take them from their owners.
    std::vector<TBQDataEntry*> pending { this };
    while (!pending.empty()) {
        TBQDataEntry* entry = pending.back();
        pending.pop_back();
        if (!entry->ownsSubObjects())
            continue;
        auto self = entry->selfPointer();
        for (const auto& child : entry->m_subObjects) {
            child->linkParent(self);
            pending.push_back(child.get());
        }
    }
}

TBQDataEntry::EntryPtr TBQDataEntry::copy() const
{
    // Walked with a stack of its own, so a tree of any depth is copied. Each entry is copied once, however many
    // lists hold it (a filtered root shows entries owned elsewhere), and the copies are held as the originals are:
    // linked to the copy of their owner, only shown in the copy of a filtered root.
    std::unordered_map<const TBQDataEntry*, EntryPtr> copies;
    auto top = copyWithoutSubObjects();
    copies.emplace(this, top);
    std::vector<std::pair<const TBQDataEntry*, TBQDataEntry*>> pending { { this, top.get() } };
    std::vector<TBQDataEntry*> made;
    while (!pending.empty()) {
        auto [original, copy] = pending.back();
        pending.pop_back();
        made.push_back(copy);
        auto self = copy->selfPointer();
        for (const auto& child : original->m_subObjects) {
            auto [slot, isNew] = copies.try_emplace(child.get());
            if (isNew) {
                slot->second = child->copyWithoutSubObjects();
                pending.emplace_back(child.get(), slot->second.get());
            }
            const EntryPtr& childCopy = slot->second;
            copy->m_subObjects.push_back(childCopy);
            copy->holdSubObject(childCopy);
            if (copy->ownsSubObjects())
                childCopy->linkParent(self);
        }
        copy->updateModficationDate();
    }
    // Every entry is made before the entries it lists, so backwards each comes after what it lists.
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        (*it)->copyIsComplete();
    return top;
}

TBQDataEntry::EntryPtr TBQDataEntry::copyWithoutSubObjects() const
{
    auto object = ClassRegistry::shared().create(className());
    auto entry = std::dynamic_pointer_cast<TBQDataEntry>(object);
    if (!entry)
        throw Exception::internalInconsistency(className() + " cannot be copied: it is not created by name");
    entry->m_itemName = m_itemName;
    entry->m_description = m_description;
    entry->m_labelColor = m_labelColor;
    return entry;
}

void TBQDataEntry::showObjects(const EntryArray& entries)
{
    std::vector<const TBQDataEntry*> shown;
    shown.reserve(entries.size());
    for (const auto& e : entries) {
        if (!e)
            throw Exception::invalidArgument("cannot show a nil entry");
        // Listing an entry that holds this one would make the tree own itself: never freed, never archived.
        if (e.get() == this)
            throw Exception::invalidArgument(String(fmt::format("the entry \"{}\" cannot show itself", name().utf8())));
        shown.push_back(e.get());
    }
    if (standsBelowAnyOf(std::move(shown)))
        throw Exception::invalidArgument(
            String(fmt::format("the entry \"{}\" cannot show an entry that holds it below itself", name().utf8())));
    m_subObjects.reserve(m_subObjects.size() + entries.size());
    for (const auto& e : entries) {
        m_subObjects.push_back(e);
        holdSubObject(e);
    }
}

void TBQDataEntry::encodeWithCoder(Coder& coder) const
{
    Array children;
    children.reserve(m_subObjects.size());
    for (auto& child : m_subObjects)
        children.emplace_back(std::static_pointer_cast<Object>(child));
    coder.encodeObject(children, "subObjects");
    coder.encodeObject(m_itemName, "itemName");
    coder.encodeObject(m_description, "description");
    coder.encodeInt32(m_labelColor, "labelColor");
    coder.encodeObject(m_cDate, "cDate");
    coder.encodeObject(m_lDate, "lDate");
}

bool TBQDataEntry::initWithCoder(Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    for (const auto& child : m_subObjects)
        letGoOfSubObject(child);
    m_subObjects.clear();
    // Owned: a reference back to this entry or to one that contains it fails the archive instead of making a loop.
    auto children = coder.decodeOwnedObjectForKey("subObjects");
    if (auto* array = children.array()) {
        auto self = selfPointer();
        const bool owns = ownsSubObjects();
        for (auto& child : *array) {
            auto entry = child.objectAs<TBQDataEntry>();
            if (!entry) {
                coder.failWithError(Error::make(
                    ErrorDomain::Cocoa, CoderError::ReadCorrupt, "A sub-entry of the archived entry is not an entry."));
                return false;
            }
            // An entry has one owner; a filtered root only shows entries, which may be owned elsewhere in the
            // archive (before or after it), or nowhere in it.
            if (owns) {
                if (entry->parent()) {
                    coder.failWithError(Error::make(ErrorDomain::Cocoa, CoderError::ReadCorrupt,
                        String(fmt::format(
                            "The archived entry \"{}\" appears twice in the tree.", entry->name().utf8()))));
                    return false;
                }
                // Decoded children would otherwise not know their parent (an add-on would forget it is one); their
                // own children were linked when they were read.
                entry->linkParent(self);
            }
            m_subObjects.push_back(entry);
            holdSubObject(entry);
        }
    }
    m_itemName = coder.decodeObjectForKey("itemName").stringValue();
    m_description = coder.decodeObjectForKey("description").stringValue();
    m_labelColor = coder.decodeInt32ForKey("labelColor");
    if (auto d = coder.decodeObjectForKey("cDate"); d.date())
        m_cDate = *d.date();
    if (auto d = coder.decodeObjectForKey("lDate"); d.date())
        m_lDate = *d.date();
    return !coder.hasFailed();
}
