// Reads arbitrary bytes as an archived source-list item tree, links it up and walks it, then archives it again.
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Log.h"

#include <functional>

namespace {

// The decoded tree holds strong links (an archive may even make cycles before they are linked up): they are
// broken here so nothing outlives the input.
void ZORFuzzSourceListRelease(const ZOROutlineSourceListItem::Ptr& item, int depth)
{
    if (!item || depth > 10000 || !item->children())
        return;
    auto children = *item->children();
    item->setChildren(std::nullopt);
    for (const auto& child : children)
        ZORFuzzSourceListRelease(child, depth + 1);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool quiet = [] {
        fnd::setLogSink([](fnd::LogLevel, const fnd::String&) {});
        return true;
    }();
    (void)quiet;
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
    ZORFuzzSourceListRelease(root, 0);
    return 0;
}
