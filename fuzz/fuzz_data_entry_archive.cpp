// Reads arbitrary bytes as an archived tree of data entries (groups, barcodes), walks it, tries to insert its root
// below itself, copies it and archives it again. Whatever the archive holds, the result is a tree: every walk ends,
// and nothing outlives the input. A decoded barcode holds only lengths its setters take, a work area of finite,
// non-negative size and the check characters its content makes; ranges outside the sub-entries raise.
#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
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

    // Every entry below the root has exactly one place, so its path ends at the root.
    auto entries = root->filteredFlatObjectTreeWithPredicate(nullptr, TBQDataEntry::staticClassInfo());
    for (const auto& entry : entries) {
        if (entry->rootObject() != root || entry->objectTree().front() != root
            || !entry->isDescendantOfNode(root.get()))
            std::abort();
        (void)entry->subObjectNames();
    }
    entries.push_back(root);
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
    (void)root->copy();
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(root));
    if (size > 0)
        checkRange(*root, bytes, size);
    return 0;
}
