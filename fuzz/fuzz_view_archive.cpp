// Reads arbitrary bytes as a keyed archive of a view tree (crafted cycles, deep nesting, values of the wrong kind):
// whatever decodes is a whole tree that can be put into a window, drawn, resized, taken out and archived again;
// whatever does not decode is refused with an error and leaves nothing in the window.
#include "FuzzEnvironment.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/text/detail/ParagraphCache.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <cstdlib>

namespace {

void viewArchiveCheck(bool condition)
{
    if (!condition)
        std::abort();
}

// Every view of a decoded tree knows its superview.
void viewArchiveCheckTree(const ui::View& view, int depth)
{
    viewArchiveCheck(depth < 1000);
    for (const auto& subview : view.subviews()) {
        viewArchiveCheck(subview->superview().get() == &view);
        viewArchiveCheckTree(*subview, depth + 1);
    }
}

int viewArchiveRead(const std::uint8_t* bytes, std::size_t size)
{
    // Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
    static auto* window = [] {
        static auto* backend = new std::shared_ptr<ui::HeadlessBackend>(ui::HeadlessBackend::install());
        (void)backend;
        auto* w = new std::shared_ptr<ui::Window>(ui::Window::create({ 0, 0, 300, 200 }));
        (*w)->makeKeyAndOrderFront();
        return w;
    }();
    auto content = (*window)->contentView();
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data(bytes, size));
    viewArchiveCheck(content->subviews().empty());
    if (!decoded)
        return 0;
    auto view = decoded->objectAs<ui::View>();
    if (!view || view->superview())
        return 0;
    viewArchiveCheckTree(*view, 0);
    content->addSubview(view);
    viewArchiveCheck(view->window() == *window);
    // Resized with the tree inside (its autoresizing runs), then drawn once: a second draw at the first size would
    // repeat the same drawing code for every input.
    (*window)->setContentSize({ 200, 120 });
    (*window)->display();
    view->removeFromSuperview();
    (*window)->setContentSize({ 300, 200 });
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
    return 0;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    viewArchiveRead(bytes, size);
    fuzzEndInputAsARunLoopPass();
    // The layout caches keep a text from the second time they meet it: libFuzzer's second run of an input that
    // left blocks behind would fill them with the input's titles and labels, read as a leak, and cost a scan of the
    // whole heap.
    txt::detail::forgetThreadLayouts();
    return 0;
}
