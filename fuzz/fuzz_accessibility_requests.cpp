// Plays arbitrary bytes as the requests an assistive technology sends over the accessibility bus to a window of the
// platform's controls: reading attributes, setting the settable ones to any kind of value, asking for text by
// ranges and positions, performing actions and hit testing. Any outcome but a crash, a hang or a leak is fine, and
// a text element always tells a selection that lies within its text.
//
// Input: the text the text controls start with, up to the first zero byte; then requests of eight bytes each:
// element, request, which name, two 16-bit operands, the kind of value.
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/tables/TableViewDataSource.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>

namespace {

namespace FuzzAccessibilityAttr = ui::AccessibilityAttribute;

void fuzzAccessibilityCheck(bool condition)
{
    if (!condition)
        std::abort();
}

class FuzzAccessibilityTableSource : public ui::TableViewDataSource {
public:
    long numberOfRowsInTableView(ui::TableView&) override { return 3; }
    fnd::Value tableViewObjectValueForTableColumn(ui::TableView&, ui::TableColumn*, long row) override
    {
        return fnd::String("row " + std::to_string(row));
    }
};

// Adds the controls; answers the text controls.
std::vector<std::shared_ptr<ui::View>> fuzzAccessibilityAddControls(ui::View& content, const fnd::String& text)
{
    auto field = ui::TextField::create({ 10, 10, 200, 24 });
    field->setStringValue(text);
    content.addSubview(field);
    auto secret = ui::SecureTextField::create({ 10, 40, 200, 24 });
    secret->setStringValue(text);
    content.addSubview(secret);
    auto textView = ui::TextView::create({ 10, 70, 200, 60 });
    textView->setString(text);
    content.addSubview(textView);
    auto button = ui::Button::create({ 220, 10, 90, 30 }, "Export");
    content.addSubview(button);
    auto check = ui::Button::create({ 220, 40, 90, 30 }, "Caption");
    check->setButtonType(ui::ButtonType::Switch);
    content.addSubview(check);
    auto popUp = ui::PopUpButton::create({ 220, 70, 150, 26 });
    popUp->addItemsWithTitles({ "EAN-13", "QR Code", text });
    content.addSubview(popUp);
    auto slider = ui::Slider::create({ 10, 140, 200, 24 });
    slider->setMinValue(0);
    slider->setMaxValue(10);
    content.addSubview(slider);
    auto segmented = ui::SegmentedControl::create({ 220, 140, 150, 24 });
    segmented->setSegmentCount(3);
    segmented->setSelectedSegment(0);
    content.addSubview(segmented);
    auto tabs = ui::TabView::create({ 10, 170, 300, 100 });
    for (const char* label : { "One", "Two" }) {
        auto item = ui::TabViewItem::create(fnd::String(label));
        item->setView(ui::View::create());
        tabs->addTabViewItem(item);
    }
    content.addSubview(tabs);
    static auto* source
        = new std::shared_ptr<FuzzAccessibilityTableSource>(std::make_shared<FuzzAccessibilityTableSource>());
    auto scroll = ui::ScrollView::create({ 10, 280, 300, 100 });
    auto table = ui::TableView::create({ 0, 0, 300, 100 });
    table->addTableColumn(ui::TableColumn::create("name"));
    table->setDataSource(*source);
    scroll->setDocumentView(table);
    scroll->setHasVerticalScroller(true);
    content.addSubview(scroll);
    table->reloadData();
    return { field, secret, textView };
}

// Every element reachable from the window, at most a few hundred.
std::vector<fnd::Value> fuzzAccessibilityElements(const fnd::Value& root)
{
    std::vector<fnd::Value> found;
    std::set<const ui::AccessibilityElement*> seen;
    std::deque<fnd::Value> queue { root };
    while (!queue.empty() && found.size() < 300) {
        auto value = queue.front();
        queue.pop_front();
        auto* element = ui::accessibilityElement(value);
        if (!element || !seen.insert(element).second)
            continue;
        found.push_back(value);
        // Children hold rows, tabs, contents and menus too.
        auto held = ui::accessibilityAttribute(*element, FuzzAccessibilityAttr::Children);
        if (const auto* array = held.array())
            queue.insert(queue.end(), array->begin(), array->end());
    }
    return found;
}

fnd::Value fuzzAccessibilityValue(
    unsigned kind, std::int64_t a, std::int64_t b, const fnd::String& text, const std::vector<fnd::Value>& elements)
{
    switch (kind % 8) {
    case 0:
        return fnd::Value(bool(a & 1));
    case 1:
        return fnd::Value(a - b);
    case 2:
        return fnd::Value(double(a) / double(b ? b : 1));
    case 3:
        return fnd::Value(text.substring({ 0, std::min<fnd::Index>(a, text.length()) }));
    case 4:
        // Ranges from anywhere, past the end and not-found included.
        return fnd::Value(fnd::Range { a == 0xFFFF ? fnd::NotFound : a, b });
    case 5:
        return fnd::Value(gfx::Point { double(a) - 100, double(b) - 100 });
    case 6:
        return elements.empty() ? fnd::Value() : fnd::Value(fnd::Array { elements[std::size_t(a) % elements.size()] });
    default:
        return fnd::Value();
    }
}

void fuzzAccessibilityCheckText(const ui::AccessibilityElement& element)
{
    auto count = ui::accessibilityAttribute(element, FuzzAccessibilityAttr::NumberOfCharacters);
    auto selection = ui::accessibilityAttribute(element, FuzzAccessibilityAttr::SelectedTextRange).range();
    if (!count.isNumber() || !selection)
        return;
    fuzzAccessibilityCheck(selection->location >= 0 && selection->length >= 0);
    fuzzAccessibilityCheck(selection->max() <= count.integerValue());
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
    static auto* window = [] {
        static auto* backend = new std::shared_ptr<ui::HeadlessBackend>(ui::HeadlessBackend::install());
        (void)backend;
        auto* w = new std::shared_ptr<ui::Window>(ui::Window::create({ 0, 0, 400, 400 }));
        (*w)->makeKeyAndOrderFront();
        return w;
    }();

    std::size_t textEnd = 0;
    while (textEnd < size && data[textEnd] != 0)
        ++textEnd;
    fnd::String text(std::string(reinterpret_cast<const char*>(data), textEnd));
    auto content = ui::View::create({ 0, 0, 400, 400 });
    (*window)->setContentView(content);
    auto textControls = fuzzAccessibilityAddControls(*content, text);

    // The tree is walked again only after a request that may change it.
    auto elements = fuzzAccessibilityElements((*window)->selfValue());
    for (std::size_t at = textEnd + 1, count = 0; at + 8 <= size && count < 32; at += 8, ++count) {
        const std::uint8_t* request = data + at;
        auto* element = ui::accessibilityElement(elements[request[0] % elements.size()]);
        std::int64_t a = request[3] | (request[4] << 8);
        std::int64_t b = request[5] | (request[6] << 8);
        auto names = ui::accessibilityAttributeNamesWithOverrides(*element);
        switch (request[1] % 6) {
        case 0:
            for (const auto& name : names)
                (void)ui::accessibilityAttribute(*element, name).stringValue();
            (void)element->accessibilityIsIgnored();
            (void)element->accessibilityFocusedUIElement();
            (void)ui::accessibilityUnignoredAncestor(elements[request[0] % elements.size()]);
            break;
        case 1:
            if (!names.empty()) {
                const auto& name = names[request[2] % names.size()];
                if (element->accessibilityIsAttributeSettable(name))
                    element->accessibilitySetValue(fuzzAccessibilityValue(request[7], a, b, text, elements), name);
            }
            break;
        case 2: {
            auto parameterized = element->accessibilityParameterizedAttributeNames();
            if (!parameterized.empty())
                (void)element
                    ->accessibilityAttributeValueForParameter(parameterized[request[2] % parameterized.size()],
                        fuzzAccessibilityValue(request[7], a, b, text, elements))
                    .stringValue();
            break;
        }
        case 3: {
            auto actions = element->accessibilityActionNames();
            if (!actions.empty()) {
                const auto& action = actions[request[2] % actions.size()];
                (void)element->accessibilityActionDescription(action);
                element->accessibilityPerformAction(action);
            }
            break;
        }
        case 4:
            (void)element->accessibilityHitTest({ double(a) - 100, double(b) - 100 });
            break;
        default:
            // A request naming an attribute the element does not have.
            (void)ui::accessibilityAttribute(*element, text);
            if (element->accessibilityIsAttributeSettable(text))
                element->accessibilitySetValue(fuzzAccessibilityValue(request[7], a, b, text, elements), text);
            break;
        }
        if (request[1] % 6 == 1 || request[1] % 6 == 3 || request[1] % 6 == 5)
            elements = fuzzAccessibilityElements((*window)->selfValue());
        for (const auto& control : textControls)
            fuzzAccessibilityCheckText(*control);
    }
    (*window)->makeFirstResponder(nullptr);
    (*window)->setContentView(ui::View::create());
    return 0;
}
