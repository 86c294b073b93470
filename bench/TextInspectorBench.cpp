// The text inspector with 20 text fields (a typical record: a contact or a document's properties), 200 and 2,000,
// and a list field following an array controller of 10 entries (a typical list of addresses or keywords), 100 and
// 1,000. What a person does with it: filling the form, one character typed in the middle field from the key to the
// redrawn window (only the edited paragraph is laid out again), Tab moving to the next field, building the whole
// text from the fields again, and an entry added to and removed from the list.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorListField.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/bindings/ArrayController.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr long TextInspectorBenchTypicalFields = 20;
constexpr long TextInspectorBenchTypicalEntries = 10;

struct TextInspectorBenchForm {
    std::shared_ptr<ui::HeadlessBackend> backend { ui::HeadlessBackend::install() };
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORTextViewInspector> inspector;
    std::vector<std::shared_ptr<ZORTextViewInspectorTextField>> fields;

    TextInspectorBenchForm()
    {
        window = ui::Window::create({ { 100, 100 }, { 420, 600 } });
        auto scroll = ui::ScrollView::create({ 0, 0, 420, 600 });
        scroll->setHasVerticalScroller(true);
        inspector = ZORTextViewInspector::create({ 0, 0, 400, 600 });
        scroll->setDocumentView(inspector);
        window->contentView()->addSubview(scroll);
        window->makeKeyAndOrderFront();
        inspector->setEditableState(true);
    }
    void fill(long count)
    {
        inspector->beginFieldEditing();
        for (long i = 0; i < count; ++i) {
            auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("field" + std::to_string(i),
                ZORTextViewInspectorFieldLabel::fieldLabelWithString("Field " + std::to_string(i)),
                fnd::String("value"));
            field->setValue(fnd::String("Value of field " + std::to_string(i)));
            fields.push_back(field);
            inspector->addField(field);
        }
        inspector->endFieldEditing();
    }
    // The insertion point in the middle field's value, the window drawn.
    void editMiddleField()
    {
        window->makeFirstResponder(inspector);
        inspector->jumpToField(fields[fields.size() / 2]);
        auto run = inspector->selectedRange();
        inspector->setSelectedRange({ run.location + 5, 0 });
        window->displayIfNeeded();
    }
    ~TextInspectorBenchForm()
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Backend::install(nullptr);
    }
};

void fieldSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, TextInspectorBenchTypicalFields);
    b->ArgNames({ "fields", "a11y" })->Unit(benchmark::kMicrosecond);
}

// Adding every field in one editing batch and the first drawing.
void TextInspectorFill(benchmark::State& state)
{
    for (auto _ : state) {
        TextInspectorBenchForm form;
        form.fill(state.range(0));
        form.window->displayIfNeeded();
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(TextInspectorFill)->Apply(fieldSizes);

void TextInspectorTypingInTheMiddleField(benchmark::State& state)
{
    TextInspectorBenchForm form;
    form.fill(state.range(0));
    form.editMiddleField();
    auto manager = form.inspector->layoutManager();
    auto before = manager->paragraphsLaidOut();
    std::int64_t typed = 0;
    for (auto _ : state) {
        form.backend->keyDown(*form.window, "x", 7);
        form.backend->dispatchEvents();
        form.window->displayIfNeeded();
        ++typed;
    }
    state.counters["paragraphs_per_key"] = static_cast<double>(manager->paragraphsLaidOut() - before)
        / static_cast<double>(std::max<std::int64_t>(typed, 1));
}
BENCHMARK(TextInspectorTypingInTheMiddleField)->Apply(fieldSizes);

// Tab moving from the middle field to the next and Shift-Tab back.
void TextInspectorTabToTheNextField(benchmark::State& state)
{
    TextInspectorBenchForm form;
    form.fill(state.range(0));
    form.editMiddleField();
    const fnd::String tab(u"\t"), backtab(std::u16string(1, char16_t(0x19)));
    for (auto _ : state) {
        form.backend->keyDown(*form.window, tab, 48);
        form.backend->dispatchEvents();
        form.window->displayIfNeeded();
        form.backend->keyDown(*form.window, backtab, 48, ui::ModifierFlags::Shift);
        form.backend->dispatchEvents();
        form.window->displayIfNeeded();
    }
}
BENCHMARK(TextInspectorTabToTheNextField)->Apply(fieldSizes);

void TextInspectorRebuildingAllFields(benchmark::State& state)
{
    TextInspectorBenchForm form;
    form.fill(state.range(0));
    form.window->displayIfNeeded();
    for (auto _ : state) {
        form.inspector->recreateFieldTextStorage();
        form.inspector->layoutManager()->usedRectForTextContainer(*form.inspector->textContainer());
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(TextInspectorRebuildingAllFields)->Apply(fieldSizes);

// The list field.

class TextInspectorBenchEntry : public fnd::Object {
    FND_OBJECT(TextInspectorBenchEntry)
    static void describeClass(fnd::ClassBuilder<TextInspectorBenchEntry>& c)
    {
        c.property("title", &TextInspectorBenchEntry::title);
    }

public:
    static fnd::Value make(long i)
    {
        auto entry = fnd::makeObject<TextInspectorBenchEntry>();
        entry->title = fnd::String("entry" + std::to_string(i) + "@example.org");
        return fnd::Value(std::static_pointer_cast<fnd::Object>(entry));
    }
    fnd::String title;
};

struct TextInspectorBenchList {
    TextInspectorBenchForm form;
    std::shared_ptr<fnd::ArrayController> controller = fnd::makeObject<fnd::ArrayController>();
    std::shared_ptr<ZORTextViewInspectorListField> list = fnd::makeObject<ZORTextViewInspectorListField>();
    long made { 0 };

    explicit TextInspectorBenchList(long entries)
    {
        form.fill(4);
        list->initWithIdentifier("entries", std::nullopt, ZORTextViewInspectorFieldLabel::fieldLabelWithString("Mail"));
        list->setEditable(true);
        list->setEntryFieldTemplate(ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
            "entry", ZORTextViewInspectorFieldLabel::fieldLabelWithString("Mail"), fnd::String("address")));
        list->bindToObject(controller, "arrangedObjects", "title", "");
        fnd::Array content;
        for (; made < entries; ++made)
            content.push_back(TextInspectorBenchEntry::make(made));
        controller->setContent(fnd::Value(content));
        form.inspector->addField(list);
        form.window->displayIfNeeded();
    }
};

void entrySizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, TextInspectorBenchTypicalEntries);
    b->ArgNames({ "entries", "a11y" })->Unit(benchmark::kMicrosecond);
}

// An entry added at the end of the controller and the window redrawn; taking it away is not timed.
void TextInspectorListAddEntry(benchmark::State& state)
{
    TextInspectorBenchList bench(state.range(0));
    for (auto _ : state) {
        bench.controller->addObject(TextInspectorBenchEntry::make(bench.made++));
        bench.form.window->displayIfNeeded();
        state.PauseTiming();
        bench.controller->removeObjectAtArrangedObjectIndex(state.range(0));
        bench.form.window->displayIfNeeded();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(bench.list->allRows().size());
}
BENCHMARK(TextInspectorListAddEntry)->Apply(entrySizes);

// The first entry removed and the window redrawn; putting it back is not timed.
void TextInspectorListRemoveEntry(benchmark::State& state)
{
    TextInspectorBenchList bench(state.range(0));
    for (auto _ : state) {
        auto first = bench.controller->arrangedObjects().front();
        bench.controller->removeObjectAtArrangedObjectIndex(0);
        bench.form.window->displayIfNeeded();
        state.PauseTiming();
        bench.controller->insertObjectAtArrangedObjectIndex(first, 0);
        bench.form.window->displayIfNeeded();
        state.ResumeTiming();
    }
}
BENCHMARK(TextInspectorListRemoveEntry)->Apply(entrySizes);

// New content for the whole list (the same entries in reverse), as a new record shown in the inspector.
void TextInspectorListSetContent(benchmark::State& state)
{
    TextInspectorBenchList bench(state.range(0));
    auto content = bench.controller->arrangedObjects();
    fnd::Array reversed(content.rbegin(), content.rend());
    bool flip = true;
    for (auto _ : state) {
        bench.controller->setContent(fnd::Value(flip ? reversed : content));
        bench.form.window->displayIfNeeded();
        flip = !flip;
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(TextInspectorListSetContent)->Apply(entrySizes);

}

FND_REGISTER_CLASS(TextInspectorBenchEntry, fnd::Object)
