// Reads arbitrary bytes as an archived tree of data entries (groups, barcodes), walks it, tries to insert its root
// below itself, copies it and archives it again. Whatever the archive holds, the result is a tree: every walk ends,
// and nothing outlives the input.
#include "barcodes/TBQDataEntry.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include <cstdint>
#include <cstdlib>

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
    if (!entries.empty()) {
        try {
            entries.back()->addObject(root);
            std::abort();
        } catch (const fnd::Exception&) {
        }
    }
    (void)TBQDataEntry::minimumNodeCoverFromNodesInArray(entries);
    (void)root->copy();
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(root));
    return 0;
}
