// Feeds arbitrary text to the small date control as typed or pasted into its cells (tabbing between them) and as a
// short-date pattern; whatever it takes, the date stays a real one within the parts' limits.
#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/locale/ShortDateOrder.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
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
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), std::min(size - 1, MostSmallDateEntryBytes));

    auto pattern = fnd::shortDateOrderFromPattern(fnd::String(text));
    check(int(pattern.order) >= 0 && int(pattern.order) <= 5);
    check(!pattern.separator.isEmpty());

    // Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
    static auto* window = [] {
        static auto* backend = new std::shared_ptr<ui::HeadlessBackend>(ui::HeadlessBackend::install());
        (void)backend;
        auto* w = new std::shared_ptr<ui::Window>(ui::Window::create({ 0, 0, 300, 100 }));
        (*w)->makeKeyAndOrderFront();
        return w;
    }();
    auto control = std::make_shared<ZORSmallDateControl>();
    control->initWithFrame({ 10, 10, 10, 10 }, { fnd::DateOrder(data[0] % 6), pattern.separator });
    (*window)->contentView()->addSubview(control);
    control->editCell(0);
    // Tabs move on (wrapping round), everything else arrives as one insertion per line.
    text.resize(std::min(text.size(), MostSmallDateTypedBytes));
    std::size_t start = 0;
    for (int moves = 0; start <= text.size();) {
        auto end = text.find_first_of("\t\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (auto editor = std::dynamic_pointer_cast<ui::TextView>((*window)->firstResponder()))
            editor->insertText(fnd::Value(fnd::String(text.substr(start, end - start))));
        if (end < text.size()) {
            if (++moves > MostSmallDateMoves)
                break;
            if (auto editor = std::dynamic_pointer_cast<ui::TextView>((*window)->firstResponder()))
                text[end] == '\t' ? editor->insertTab({}) : editor->insertBacktab({});
        }
        start = end + 1;
    }
    control->editOff();
    check(control->month() >= 1 && control->month() <= 12);
    check(control->year() >= 1000 && control->year() <= 9999);
    check(control->day() >= 1 && control->day() <= ZORSmallDateControl::daysInMonth(control->month(), control->year()));
    control->removeFromSuperview();
    return 0;
}
