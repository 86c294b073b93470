// Reads arbitrary bytes as an archived source-list item tree, links it up and walks it, then archives it again. An
// archive cannot make the items own each other, so the tree is freed with its root.
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include <functional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fnd::Data bytes(reinterpret_cast<const char*>(data), size);
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(bytes);
    if (!decoded)
        return 0;
    auto root = decoded->objectAs<ZOROutlineSourceListItem>();
    if (!root)
        return 0;
    root->setParentForTree();
    // Every item now has one place: walking up from any of them ends at the root.
    std::function<void(const ZOROutlineSourceListItem::Ptr&)> walk = [&](const ZOROutlineSourceListItem::Ptr& item) {
        if (item->rootObject() != root)
            __builtin_trap();
        (void)item->hasBadge();
        (void)item->childWithIdentifier("x");
        for (fnd::Index i = 0; i < item->countOfChildren(); ++i)
            walk(item->childAtIndex(i));
    };
    walk(root);
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(std::static_pointer_cast<fnd::Object>(root)));
    return 0;
}
