// Feeds arbitrary text to the small date control as typed or pasted into its cells (tabbing between them) and as a
// short-date pattern; whatever it takes, the date stays a real one within the parts' limits.
#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/locale/ShortDateOrder.h"
#include "platform/text/detail/ParagraphCache.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void smallDateEntryCheck(bool condition)
{
    if (!condition)
        std::abort();
}

// A pattern is read from up to this many bytes; typing takes fewer: three cells of at most four digits and a tab
// each, twice round. More text or more moves between the cells only repeat the same edits through the text system,
// each of them costly under the sanitizers.
constexpr std::size_t MostSmallDateEntryBytes = 48;
constexpr std::size_t MostSmallDateTypedBytes = 30;
constexpr int MostSmallDateMoves = 6;

// The window, and a control for each date order, laid out for the separator it was last asked for: building a
// control measures its texts and makes its cells, which costs more than a whole input's typing, so an input takes
// over the control of its order (alone in the window, so tabs wrap round inside it) and only sets the date back; a
// new separator builds the control anew. Kept for the whole run and never destroyed: at exit the runtime's own
// statics go first.
struct SmallDateEntryBench {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window = ui::Window::create({ 0, 0, 300, 100 });
    std::array<std::shared_ptr<ZORSmallDateControl>, 6> controls;
    ZORSmallDateControl* shown = nullptr;

    SmallDateEntryBench() { window->makeKeyAndOrderFront(); }

    ZORSmallDateControl& controlFor(const fnd::ShortDateOrder& dateOrder)
    {
        auto& control = controls[std::size_t(dateOrder.order)];
        if (!control || control->dateSeparator() != dateOrder.separator) {
            if (control && control.get() == shown) {
                control->removeFromSuperview();
                shown = nullptr;
            }
            control = std::make_shared<ZORSmallDateControl>();
            control->initWithFrame({ 10, 10, 10, 10 }, dateOrder);
        } else if (control->day() != 1 || control->month() != 1 || control->year() != 2000) {
            // Where a new control starts: 1 January 2000.
            control->setDay(1);
            control->setMonth(1);
            control->setYear(2000);
        }
        if (control.get() != shown) {
            if (shown)
                shown->removeFromSuperview();
            window->contentView()->addSubview(control);
            shown = control.get();
        }
        return *control;
    }

    std::shared_ptr<ui::TextView> editor() const
    {
        return std::dynamic_pointer_cast<ui::TextView>(window->firstResponder());
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), std::min(size - 1, MostSmallDateEntryBytes));

    auto pattern = fnd::shortDateOrderFromPattern(fnd::String(text));
    smallDateEntryCheck(int(pattern.order) >= 0 && int(pattern.order) <= 5);
    smallDateEntryCheck(!pattern.separator.isEmpty());

    static auto* bench = new SmallDateEntryBench;
    auto& control = bench->controlFor({ fnd::DateOrder(data[0] % 6), pattern.separator });
    control.editCell(0);
    // Tabs move on (wrapping round), everything else arrives as one insertion per line.
    text.resize(std::min(text.size(), MostSmallDateTypedBytes));
    std::size_t start = 0;
    for (int moves = 0; start <= text.size();) {
        auto end = text.find_first_of("\t\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (auto editor = bench->editor())
            editor->insertText(fnd::Value(fnd::String(text.substr(start, end - start))));
        if (end < text.size()) {
            if (++moves > MostSmallDateMoves)
                break;
            if (auto editor = bench->editor())
                text[end] == '\t' ? editor->insertTab({}) : editor->insertBacktab({});
        }
        start = end + 1;
    }
    control.editOff();
    smallDateEntryCheck(control.month() >= 1 && control.month() <= 12);
    smallDateEntryCheck(control.year() >= 1000 && control.year() <= 9999);
    smallDateEntryCheck(
        control.day() >= 1 && control.day() <= ZORSmallDateControl::daysInMonth(control.month(), control.year()));
    // The layout caches keep a text from the second time it is met: libFuzzer's second run of an input that left
    // blocks behind would fill them, read as a leak, and cost a scan of the whole heap. What this input's text put
    // there goes with it (the caches remember which texts they met until they hold one).
    txt::detail::forgetThreadLayouts();
    return 0;
}
