// Reads arbitrary bytes as a keyed archive of a tab bar view: as a whole archive (whatever class it names) and
// through the tab bar view's own decoder, which must keep every setting sane whatever the archive holds.
#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const fnd::Data data(bytes, size);
    // Bytes that are no keyed archive at all give the readers nothing to read (the whole-archive read fails the same
    // way): every such input would only build the same default bar.
    fnd::KeyedUnarchiver coder(data);
    if (coder.hasFailed())
        return 0;
    if (auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data))
        if (auto bar = decoded->objectAs<QFTabBarView>())
            (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(bar));

    auto bar = std::make_shared<QFTabBarView>();
    bar->initWithCoder(coder);
    if (bar->buttonMinWidth() < 0 || bar->buttonMaxWidth() < 0 || bar->buttonOptimumWidth() < 0)
        std::abort();
    // A layout with the decoded settings.
    bar->update(false);
    return 0;
}
