// Reads arbitrary bytes as a keyed archive of the flow view and checks that whatever comes back keeps its settings
// in their ranges (its perspective's entries too), has no title and takes no drags, then archives it again.
#include "FuzzEnvironment.h"

#include "frameworks/QFFlowView/QFFlowView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <cmath>
#include <cstdlib>

namespace {

// Lengths, depths and the perspective's entries are held within the largest coordinate a view holds.
constexpr double FlowViewLargest = ui::detail::ViewLargestCoordinate;

bool flowViewArchiveInRange(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

void flowViewArchiveRead(const std::uint8_t* data, std::size_t size)
{
    fnd::Value root;
    try {
        root = fnd::KeyedUnarchiver::unarchiveObjectWithData(fnd::Data(data, size));
    } catch (const fnd::Exception&) {
        return; // a damaged archive is refused with an exception, as documented
    }
    auto view = root.objectAs<QFFlowView>();
    if (!view)
        return;
    if (!flowViewArchiveInRange(view->stackedAngle(), 0, 90) || !flowViewArchiveInRange(view->itemScale(), 0.1, 1)
        || !flowViewArchiveInRange(view->previewScale(), 0.01, 1)
        || !flowViewArchiveInRange(view->reflectionOffset(), -1, 0)
        || !flowViewArchiveInRange(view->spacing(), -FlowViewLargest, FlowViewLargest)
        || !flowViewArchiveInRange(view->selectedScale(), -FlowViewLargest, FlowViewLargest)
        || !flowViewArchiveInRange(view->stackedScale(), -FlowViewLargest, FlowViewLargest)
        || !flowViewArchiveInRange(view->scrollDuration(), 0, QFFlowView::LongestScrollDuration))
        std::abort();
    auto p = view->perspective();
    for (double m : { p.m11, p.m12, p.m13, p.m14, p.m21, p.m22, p.m23, p.m24, p.m31, p.m32, p.m33, p.m34, p.m41, p.m42,
             p.m43, p.m44 })
        if (!flowViewArchiveInRange(m, -FlowViewLargest, FlowViewLargest))
            std::abort();
    // Decoded: no selection, no title, no drag types.
    if (!view->scrollLayer() || view->selectedIndex() != QFFlowView::NotFound || !view->title().isEmpty()
        || !ui::registeredDraggedTypes(*view).empty())
        std::abort();
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    flowViewArchiveRead(data, size);
    fuzzEndInputAsARunLoopPass();
    return 0;
}
