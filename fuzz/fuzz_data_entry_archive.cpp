// Reads arbitrary bytes as an archived tree of data entries (groups, barcodes, filtered roots), walks it, tries to
// insert its root below itself, copies it and archives it again. Whatever the archive holds, the result is a tree:
// every walk ends, each entry has one owner, which is its parent, and nothing outlives the input; its archive reads
// back and archives again to the same data, and so does its copy's. A decoded barcode holds only lengths its setters
// take, a work area of finite, non-negative size and the check characters its content makes; ranges outside the
// sub-entries raise.
#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

namespace {

bool isSize(gfx::Size size)
{
    return std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height >= 0;
}

// What typing could have left in the barcode.
void checkBarcode(const TBQGenericBarcode& barcode)
{
    using B = TBQGenericBarcode;
    if (!B::PositiveLength.holds(barcode.barWidth()) || !barcode.heightBound().holds(barcode.height())
        || !B::FontOffsetLength.holds(barcode.fontOffset()) || !B::isQuietZone(barcode.quietZone())
        || !isSize(barcode.workAreaSize()) || !std::isfinite(barcode.width()))
        std::abort();
    if (barcode.font() && !B::PositiveLength.holds(barcode.font()->pointSize()))
        std::abort();
    // The same content typed into a new barcode of the class makes the same check characters.
    auto typed = B::barcodeWithClassName(barcode.className());
    if (!typed)
        std::abort();
    typed->setContent(barcode.content());
    typed->setCalculateChecksum(barcode.calculateChecksum());
    if (typed->checksum() != barcode.checksum())
        std::abort();
}

// Each entry listed by an entry that owns what it lists (any but a filtered root) is listed there once, and that
// entry is its parent.
void checkOwners(const TBQDataEntry::EntryArray& entries)
{
    std::unordered_map<const TBQDataEntry*, const TBQDataEntry*> owners;
    for (const auto& entry : entries) {
        if (entry->isKindOf(LMVFilteredDataEntryRoot::staticClassInfo()))
            continue;
        for (const auto& child : entry->subObjects()) {
            if (!owners.emplace(child.get(), entry.get()).second || child->parent() != entry)
                std::abort();
        }
    }
}

// The tree's archive reads back and the decoded tree archives again to the same data.
void checkArchiveReadsBack(const TBQDataEntry::EntryPtr& root)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(root));
    if (!data)
        return;
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    if (!decoded)
        std::abort();
    auto again = fnd::KeyedArchiver::archivedDataWithRootObject(*decoded);
    if (!again || !(*again == *data))
        std::abort();
}

// Takes a range of the root's sub-entries from the input: one inside them is answered, any other raises a range
// exception and changes nothing.
void checkRange(TBQDataEntry& root, const std::uint8_t* bytes, std::size_t size)
{
    const fnd::Index count = root.objectCount();
    const fnd::Index location = static_cast<fnd::Index>(size % static_cast<std::size_t>(count + 3)) - 1;
    const fnd::Index length = static_cast<fnd::Index>(bytes[size / 2] % (count + 4)) - 2;
    const bool inside = location >= 0 && length >= 0 && location + length <= count;
    try {
        if (static_cast<fnd::Index>(root.objectsInRange({ location, length }).size()) != length || !inside)
            std::abort();
        root.removeObjectsInRange({ location, length });
        if (root.objectCount() != count - length)
            std::abort();
    } catch (const fnd::Exception& e) {
        if (inside || e.name() != fnd::ExceptionName::Range || root.objectCount() != count)
            std::abort();
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data(bytes, size));
    if (!decoded) {
        if (decoded.error().localizedDescription().isEmpty())
            std::abort();
        return 0;
    }
    auto root = decoded->objectAs<TBQDataEntry>();
    if (!root)
        return 0;

    // Every entry below the root is listed once, and its path up ends at a root: the decoded root, or an entry that
    // only a filtered root shows.
    auto entries = root->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo());
    std::unordered_set<const TBQDataEntry*> listed;
    for (const auto& entry : entries) {
        if (!listed.insert(entry.get()).second || entry->objectTree().front() != entry->rootObject()
            || !entry->isDescendantOfNode(entry->rootObject().get()))
            std::abort();
        (void)entry->subObjectNames();
    }
    entries.push_back(root);
    checkOwners(entries);
    for (const auto& entry : entries) {
        if (auto barcode = std::dynamic_pointer_cast<TBQGenericBarcode>(entry))
            checkBarcode(*barcode);
    }
    entries.pop_back();
    if (!entries.empty()) {
        try {
            entries.back()->addObject(root);
            std::abort();
        } catch (const fnd::Exception&) {
        }
    }
    // No entry of the cover lies below another one; the walk up is as long as the tree is deep.
    auto cover = TBQDataEntry::minimumNodeCoverFromNodesInArray(entries);
    std::unordered_set<const TBQDataEntry*> covering;
    for (const auto& entry : cover)
        covering.insert(entry.get());
    for (const auto& entry : cover) {
        for (auto up = entry->parent(); up; up = up->parent()) {
            if (covering.contains(up.get()))
                std::abort();
        }
    }
    auto copy = root->copy();
    auto copied = copy->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo());
    copied.push_back(copy);
    checkOwners(copied);
    checkArchiveReadsBack(copy);
    checkArchiveReadsBack(root);
    if (size > 0)
        checkRange(*root, bytes, size);
    return 0;
}
