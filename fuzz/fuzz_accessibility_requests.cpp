// Plays arbitrary bytes as the requests an assistive technology sends over the accessibility bus to a window of the
// platform's controls: reading attributes, setting the settable ones to any kind of value, asking for text by
// ranges and positions, performing actions and hit testing. Any outcome but a crash, a hang or a leak is fine, and
// a text element always tells a selection that lies within its text.
//
// Input: the text the text controls start with, up to the first zero byte; then requests of eight bytes each:
// element, request, which name, two 16-bit operands, the kind of value. An input is a short exchange: only its first
// FuzzAccessibilityMaximumRequests requests and FuzzAccessibilityMaximumText bytes of text count. Every input's cost
// grows with both, and a long exchange mostly repeats what a few short ones reach.
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/text/AttributedString.h"
#include "platform/text/detail/ParagraphCache.h"
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
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

namespace {

namespace FuzzAccessibilityAttr = ui::AccessibilityAttribute;

constexpr std::size_t FuzzAccessibilityMaximumRequests = 16;
constexpr std::size_t FuzzAccessibilityMaximumText = 128;

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

// The window and its controls, made once: each input only puts its text in and resets what requests may change.
struct FuzzAccessibilityControls {
    std::shared_ptr<ui::Window> window;
    gfx::Rect windowFrame;
    std::shared_ptr<ui::TextField> field, secret;
    std::shared_ptr<ui::TextView> textView;
    std::shared_ptr<ui::Button> check;
    std::shared_ptr<ui::PopUpButton> popUp;
    std::shared_ptr<ui::Slider> slider;
    std::shared_ptr<ui::SegmentedControl> segmented;
    std::shared_ptr<ui::TabView> tabs;
    std::shared_ptr<ui::ScrollView> scroll;
    std::shared_ptr<ui::TableView> table;
    std::shared_ptr<ui::ComboBox> combo;
    std::shared_ptr<FuzzAccessibilityTableSource> source = std::make_shared<FuzzAccessibilityTableSource>();

    FuzzAccessibilityControls()
    {
        window = ui::Window::create({ 0, 0, 400, 400 });
        auto& content = *window->contentView();
        field = ui::TextField::create({ 10, 10, 200, 24 });
        content.addSubview(field);
        secret = ui::SecureTextField::create({ 10, 40, 200, 24 });
        content.addSubview(secret);
        textView = ui::TextView::create({ 10, 70, 200, 60 });
        content.addSubview(textView);
        content.addSubview(ui::Button::create({ 220, 10, 90, 30 }, "Export"));
        check = ui::Button::create({ 220, 40, 90, 30 }, "Caption");
        check->setButtonType(ui::ButtonType::Switch);
        content.addSubview(check);
        popUp = ui::PopUpButton::create({ 220, 70, 150, 26 });
        content.addSubview(popUp);
        slider = ui::Slider::create({ 10, 140, 200, 24 });
        slider->setMinValue(0);
        slider->setMaxValue(10);
        content.addSubview(slider);
        segmented = ui::SegmentedControl::create({ 220, 140, 150, 24 });
        segmented->setSegmentCount(3);
        content.addSubview(segmented);
        tabs = ui::TabView::create({ 10, 170, 300, 100 });
        for (const char* label : { "One", "Two" }) {
            auto item = ui::TabViewItem::create(fnd::String(label));
            item->setView(ui::View::create());
            tabs->addTabViewItem(item);
        }
        content.addSubview(tabs);
        scroll = ui::ScrollView::create({ 10, 280, 300, 100 });
        table = ui::TableView::create({ 0, 0, 300, 100 });
        table->addTableColumn(ui::TableColumn::create("name"));
        table->setDataSource(source);
        scroll->setDocumentView(table);
        scroll->setHasVerticalScroller(true);
        content.addSubview(scroll);
        table->reloadData();
        // A combo box whose list holds rows to choose (and any element handed to it as one of them).
        combo = ui::ComboBox::create({ 320, 170, 70, 24 });
        combo->addItemsWithObjectValues({ fnd::String("9"), fnd::String("10") });
        content.addSubview(combo);
        window->makeKeyAndOrderFront();
        windowFrame = window->frame();
        // Laid out once here; the backend draws nothing, as no request reads pixels.
        window->displayIfNeeded();
    }

    // What shows the input's text: all an input that changes nothing has to put in at its start and take out at its
    // end. The text view grows with a long text, so its frame goes back too.
    void showText(const fnd::String& text)
    {
        field->setStringValue(text);
        secret->setStringValue(text);
        textView->setString(text);
        textView->setSelectedRange({ 0, 0 });
        textView->setFrame({ 10, 70, 200, 60 });
        popUp->itemAtIndex(2)->setTitle(text);
    }

    // Every state a request may change goes back to where a new window of these controls starts.
    void reset(const fnd::String& text)
    {
        window->makeFirstResponder(nullptr);
        window->setFrame(windowFrame, false);
        field->setStringValue(text);
        secret->setStringValue(text);
        textView->setString(text);
        textView->setSelectedRange({ 0, 0 });
        textView->setFrame({ 10, 70, 200, 60 });
        check->setState(ui::ControlStateValue::Off);
        // The items are renamed, not made again: new items each input would outlive it until the next one.
        if (popUp->itemTitles() != std::vector<fnd::String> { "EAN-13", "QR Code", popUp->itemTitleAtIndex(2) }) {
            popUp->removeAllItems();
            popUp->addItemsWithTitles({ "EAN-13", "QR Code", text });
        }
        popUp->itemAtIndex(2)->setTitle(text);
        popUp->selectItemAtIndex(0);
        slider->setDoubleValue(0);
        segmented->setSelectedSegment(0);
        tabs->selectTabViewItemAtIndex(0);
        table->deselectAll();
        combo->closeList();
        combo->setStringValue({});
        combo->deselectItemAtIndex(combo->indexOfSelectedItem());
        scroll->contentView()->scrollToPoint({ 0, 0 });
        scroll->reflectScrolledClipView(*scroll->contentView());
    }

    std::array<const ui::View*, 3> textControls() const { return { field.get(), secret.get(), textView.get() }; }
};

// The elements a request may choose from, and each one's element part, told once when it is met.
struct FuzzAccessibilityTree {
    std::vector<fnd::Value> values;
    std::vector<ui::AccessibilityElement*> elements;
};

// Each element's attribute names, asked once while nothing changes, as an assistive technology keeps them: an
// element's names follow its state, which only a request that changes something moves (the tree is walked again
// then, and the names asked again).
class FuzzAccessibilityNames {
public:
    void forget(std::size_t elementCount)
    {
        m_names.clear();
        m_names.resize(elementCount);
    }
    const std::vector<fnd::String>& of(std::size_t at, const ui::AccessibilityElement& element)
    {
        auto& names = m_names[at];
        if (!names)
            names = ui::accessibilityAttributeNamesWithOverrides(element);
        return *names;
    }

private:
    std::vector<std::optional<std::vector<fnd::String>>> m_names;
};

// Every element reachable from the window, at most a few hundred, each once, breadth first: the list itself is the
// queue. An element is met through its parent's children only, so the walk costs one children request an element.
void fuzzAccessibilityElements(const fnd::Value& root, FuzzAccessibilityTree& found)
{
    constexpr std::size_t FuzzAccessibilityMaximumElements = 300;
    // Room for the window of controls this target makes, so no list grows while it is walked.
    constexpr std::size_t FuzzAccessibilityTypicalElements = 64;
    found.values.clear();
    found.elements.clear();
    found.values.reserve(FuzzAccessibilityTypicalElements);
    found.elements.reserve(FuzzAccessibilityTypicalElements);
    // The elements met, sorted, to tell a known one by a binary search. A plain array kept from walk to walk: it
    // holds addresses only, and needs no allocation.
    static std::array<const ui::AccessibilityElement*, FuzzAccessibilityMaximumElements> known;
    std::size_t knownCount = 0;
    auto meet = [&](fnd::Value&& value) {
        auto* element = ui::accessibilityElement(value);
        if (!element || found.values.size() >= FuzzAccessibilityMaximumElements)
            return;
        // Library searches and moves: a loop of our own here would count its trips into the coverage features.
        auto* end = known.data() + knownCount;
        auto* place = std::lower_bound(known.data(), end, element);
        if (place != end && *place == element)
            return;
        std::memmove(place + 1, place, std::size_t(end - place) * sizeof(*place));
        *place = element;
        ++knownCount;
        found.values.push_back(std::move(value));
        found.elements.push_back(element);
    };
    meet(fnd::Value(root));
    for (std::size_t at = 0; at < found.values.size() && found.values.size() < FuzzAccessibilityMaximumElements; ++at) {
        // Children hold rows, tabs, contents and menus too.
        auto held = ui::accessibilityAttribute(*found.elements[at], FuzzAccessibilityAttr::Children);
        if (auto* array = held.array())
            for (auto& child : *array)
                meet(std::move(child));
    }
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
    static auto* controls = [] {
        static auto* backend = new std::shared_ptr<ui::HeadlessBackend>(ui::HeadlessBackend::install());
        (*backend)->setDrawsWindows(false);
        return new FuzzAccessibilityControls;
    }();
    auto& window = controls->window;
    // Every element of the tree as each input finds it, walked once: its shape does not depend on the text.
    static const auto* restingElements = [] {
        controls->reset({});
        auto* found = new FuzzAccessibilityTree;
        fuzzAccessibilityElements(controls->window->selfValue(), *found);
        return found;
    }();

    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t textEnd = zero ? std::size_t(zero - data) : size;
    fnd::String text(std::string(reinterpret_cast<const char*>(data), std::min(textEnd, FuzzAccessibilityMaximumText)));
    // The controls rest with no text and nothing changed (the previous input put them back): only the text goes in.
    if (!text.isEmpty())
        controls->showText(text);
    const auto textControls = controls->textControls();
    for (const auto* control : textControls)
        fuzzAccessibilityCheckText(*control);

    const FuzzAccessibilityTree* tree = restingElements;
    FuzzAccessibilityTree walked;
    FuzzAccessibilityNames names;
    names.forget(tree->values.size());
    // Only a request that set a value or performed an action may have changed the tree and the texts: the texts are
    // checked at once, the tree walked again when the next request needs it.
    bool treeChanged = false;
    bool anyChanged = false;
    for (std::size_t at = textEnd + 1, count = 0; at + 8 <= size && count < FuzzAccessibilityMaximumRequests;
         at += 8, ++count) {
        const std::uint8_t* request = data + at;
        if (std::exchange(treeChanged, false)) {
            fuzzAccessibilityElements(window->selfValue(), walked);
            tree = &walked;
            names.forget(tree->values.size());
        }
        const auto& elements = tree->values;
        const std::size_t chosenAt = request[0] % elements.size();
        const auto& chosen = elements[chosenAt];
        auto* element = tree->elements[chosenAt];
        std::int64_t a = request[3] | (request[4] << 8);
        std::int64_t b = request[5] | (request[6] << 8);
        bool changed = false;
        switch (request[1] % 6) {
        case 0:
            for (const auto& name : names.of(chosenAt, *element))
                (void)ui::accessibilityAttribute(*element, name).stringValue();
            (void)element->accessibilityIsIgnored();
            (void)element->accessibilityFocusedUIElement();
            (void)ui::accessibilityUnignoredAncestor(chosen);
            break;
        case 1:
            if (const auto& known = names.of(chosenAt, *element); !known.empty()) {
                const auto& name = known[request[2] % known.size()];
                changed = element->accessibilityIsAttributeSettable(name);
                if (changed)
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
                changed = true;
            }
            break;
        }
        case 4:
            (void)element->accessibilityHitTest({ double(a) - 100, double(b) - 100 });
            break;
        default:
            // A request naming an attribute the element does not have.
            (void)ui::accessibilityAttribute(*element, text);
            changed = element->accessibilityIsAttributeSettable(text);
            if (changed)
                element->accessibilitySetValue(fuzzAccessibilityValue(request[7], a, b, text, elements), text);
            break;
        }
        if (changed) {
            treeChanged = anyChanged = true;
            for (const auto* control : textControls)
                fuzzAccessibilityCheckText(*control);
        }
    }
    // What this input made goes with it: kept until the next input, it would read to the leak check as a leak (and
    // libFuzzer would run the input again and scan the whole heap). That includes the layout caches' entries for
    // its text, and the layout the drawing calls keep of the last text they measured (a pop-up's menu measures its
    // items): a text of our own takes its place, the same every time.
    if (anyChanged)
        controls->reset({});
    else if (!text.isEmpty())
        controls->showText({});
    static const txt::AttributedString restingMeasure(fnd::String("x"));
    (void)restingMeasure.size();
    txt::detail::forgetThreadLayouts();
    return 0;
}
