// Reads arbitrary bytes as the columns or rows a table grid drag carries on its pasteboard. Whatever is accepted is
// a valid index set that comes back the same through the pasteboard form.
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fnd::Data bytes(reinterpret_cast<const char*>(data), size);
    auto indexes = ZORTableGrid::unarchivedIndexSet(bytes);
    if (!indexes)
        return 0;
    auto again = ZORTableGrid::unarchivedIndexSet(ZORTableGrid::archivedIndexSet(*indexes));
    if (!again || !(*again == *indexes))
        std::abort();
    return 0;
}
