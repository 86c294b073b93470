// The text inspector with 500 text fields: one character typed in the middle field, from the key to the redrawn
// window (only the edited paragraph is laid out again), and building the whole text from the fields again.
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int TextInspectorBenchFields = 500;

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
        inspector->beginFieldEditing();
        for (int i = 0; i < TextInspectorBenchFields; ++i) {
            auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("field" + std::to_string(i),
                ZORTextViewInspectorFieldLabel::fieldLabelWithString("Field " + std::to_string(i)),
                fnd::String("value"));
            field->setValue(fnd::String("Value of field " + std::to_string(i)));
            fields.push_back(field);
            inspector->addField(field);
        }
        inspector->endFieldEditing();
        window->makeFirstResponder(inspector);
        auto middle = fields[TextInspectorBenchFields / 2];
        inspector->jumpToField(middle);
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

void BM_TextInspectorTypingInTheMiddleField(benchmark::State& state)
{
    TextInspectorBenchForm form;
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
BENCHMARK(BM_TextInspectorTypingInTheMiddleField)->Unit(benchmark::kMillisecond);

void BM_TextInspectorRebuildingAllFields(benchmark::State& state)
{
    TextInspectorBenchForm form;
    for (auto _ : state) {
        form.inspector->recreateFieldTextStorage();
        form.inspector->layoutManager()->usedRectForTextContainer(*form.inspector->textContainer());
    }
}
BENCHMARK(BM_TextInspectorRebuildingAllFields)->Unit(benchmark::kMillisecond);

}
