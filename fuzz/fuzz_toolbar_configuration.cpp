// A toolbar's kept arrangement comes back from the user defaults, which anyone can edit: whatever the configuration
// holds, the toolbar takes at most its bound of items, only identifiers it allows, each item but separators and
// spaces once, and modes within their ranges; what it then keeps reads back to the same arrangement.
//
// The input is a property list (an XML one, as the defaults file holds) when it starts with '<'; otherwise its
// bytes build a configuration directly: keys and identifiers picked from the ones a toolbar knows (the keys a toolbar
// writes, every standard identifier and the program's own), with values of every kind, so the exploration reaches
// the reader without having to learn XML first.
#include "FuzzEnvironment.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <utility>

namespace {

void toolbarConfigurationCheck(bool condition)
{
    if (!condition)
        std::abort();
}

const fnd::String ToolbarConfigurationName = "Fuzz";
const fnd::String ToolbarConfigurationKey = "NSToolbar Configuration Fuzz";
// The key of the item list, which the target fills with identifiers, a run of them at a time.
const fnd::String ToolbarConfigurationIdentifiersKey = "TB Item Identifiers";
constexpr std::size_t ToolbarConfigurationMostEntries = 4 * std::size_t(ui::Toolbar::MaximumItemCount);

// The program's side: two items of its own beside the standard ones.
class ToolbarConfigurationDelegate : public fnd::Object, public ui::ToolbarDelegate {
    FND_OBJECT(ToolbarConfigurationDelegate)
public:
    std::shared_ptr<ui::ToolbarItem> toolbarItemForItemIdentifier(
        ui::Toolbar&, const fnd::String& identifier, bool) override
    {
        if (identifier != fnd::String("Export") && identifier != fnd::String("Clipboard"))
            return nullptr;
        auto item = ui::ToolbarItem::create(identifier);
        item->setLabel(identifier);
        item->setAction("export:");
        return item;
    }
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(ui::Toolbar&) override
    {
        return { "Export", ui::ToolbarItemIdentifier::FlexibleSpace, "Clipboard" };
    }
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(ui::Toolbar&) override
    {
        auto allowed = ui::ToolbarItemIdentifier::standardIdentifiers();
        allowed.insert(allowed.end(), { "Export", "Clipboard" });
        return allowed;
    }
};
FND_REGISTER_CLASS(ToolbarConfigurationDelegate, fnd::Object)

// Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
struct ToolbarConfigurationBench {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window = ui::Window::create({ 0, 0, 500, 100 });
    std::shared_ptr<ToolbarConfigurationDelegate> delegate = fnd::makeObject<ToolbarConfigurationDelegate>();
};

ToolbarConfigurationBench& toolbarConfigurationBench()
{
    static auto& bench = *new ToolbarConfigurationBench;
    return bench;
}

// A value of any kind a property list holds from the bytes, taking what it uses off the front.
fnd::Value toolbarConfigurationValue(std::span<const std::uint8_t>& bytes)
{
    static const auto identifiers = [] {
        std::vector<fnd::String> known { "Export", "Clipboard", "Gone" };
        const auto& standard = ui::ToolbarItemIdentifier::standardIdentifiers();
        known.insert(known.end(), standard.begin(), standard.end());
        known.push_back("");
        return known;
    }();
    if (bytes.empty())
        return fnd::String("Export");
    const std::uint8_t b = bytes.front();
    bytes = bytes.subspan(1);
    switch (b % 8) {
    case 0:
    case 1:
    case 2:
        return identifiers[(b / 8) % identifiers.size()];
    case 3:
        return static_cast<long long>(static_cast<std::int8_t>(b)) * (b % 3 == 0 ? 1000000000000LL : 1);
    case 4:
        return b % 2 ? 1e300 : -0.5;
    case 5:
        return b % 2 == 0;
    case 6:
        return fnd::Array { fnd::String("Export") };
    default:
        return fnd::Dictionary { { ToolbarConfigurationIdentifiersKey, fnd::Array {} } };
    }
}

fnd::Value toolbarConfigurationFromBytes(std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty() && bytes.front() == '<') {
        auto read = fnd::PropertyList::read(fnd::Data(bytes.data(), bytes.size()));
        return read ? *read : fnd::Value();
    }
    fnd::Dictionary configuration;
    fnd::Array identifiers;
    // The keys besides the identifiers', as a toolbar writes them.
    static const auto keys = [] {
        std::vector<fnd::String> written;
        for (const auto& [key, value] : ui::Toolbar::create("")->configurationDictionary())
            if (key != ToolbarConfigurationIdentifiersKey)
                written.push_back(key);
        toolbarConfigurationCheck(!written.empty());
        return written;
    }();
    while (!bytes.empty()) {
        const std::uint8_t op = bytes.front();
        bytes = bytes.subspan(1);
        if (op < 0xE0) {
            // Mostly identifiers, and runs of them: a byte may stand for up to 64 copies. Four times the toolbar's
            // bound is list enough to cross it with any mix of refused entries; copying longer lists into and out of
            // the defaults only cost time.
            auto value = toolbarConfigurationValue(bytes);
            const std::size_t copies = (op & 0x40) ? (op & 0x3F) + 1 : 1;
            identifiers.insert(identifiers.end(),
                std::min(copies,
                    ToolbarConfigurationMostEntries - std::min(identifiers.size(), ToolbarConfigurationMostEntries)),
                value);
        } else {
            configuration.set(keys[op % keys.size()], toolbarConfigurationValue(bytes));
        }
    }
    configuration.set(ToolbarConfigurationIdentifiersKey, std::move(identifiers));
    return configuration;
}

void toolbarConfigurationCheckArrangement(const ui::Toolbar& toolbar, const std::vector<fnd::String>& allowed)
{
    auto identifiers = toolbar.itemIdentifiers();
    toolbarConfigurationCheck(long(identifiers.size()) <= ui::Toolbar::MaximumItemCount);
    std::set<fnd::String> once;
    for (const auto& id : identifiers) {
        toolbarConfigurationCheck(std::ranges::find(allowed, id) != allowed.end());
        if (!ui::ToolbarItemIdentifier::isRepeatable(id))
            toolbarConfigurationCheck(once.insert(id).second);
    }
    const long display = long(toolbar.displayMode());
    const long size = long(toolbar.sizeMode());
    toolbarConfigurationCheck(display >= 0 && display <= 3 && size >= 0 && size <= 2);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& bench = toolbarConfigurationBench();
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    auto configuration = toolbarConfigurationFromBytes({ data, size });
    if (configuration.isNil())
        return 0;
    defaults.setObject(configuration, ToolbarConfigurationKey);
    static const auto allowed = bench.delegate->toolbarAllowedItemIdentifiers(*ui::Toolbar::create(""));
    const auto* dictionary = configuration.dictionary();
    const auto* list = dictionary ? dictionary->find(ToolbarConfigurationIdentifiersKey) : nullptr;

    {
        // As at a start: the kept configuration is read when the toolbar first needs its items, in a window.
        auto toolbar = ui::Toolbar::create(ToolbarConfigurationName);
        toolbar->setDelegate(bench.delegate);
        toolbar->setAllowsUserCustomization(true);
        toolbar->setAutosavesConfiguration(true);
        toolbar->attachToWindow(bench.window);
        toolbarConfigurationCheckArrangement(*toolbar, allowed);
        toolbarConfigurationCheck(toolbar->view()->viewers().size() == toolbar->items().size());
        const auto taken = toolbar->itemIdentifiers();

        // Applied to a toolbar that has its items already, the same configuration gives the same arrangement.
        auto running = ui::Toolbar::create("");
        running->setDelegate(bench.delegate);
        (void)running->items();
        if (dictionary) {
            running->setConfigurationFromDictionary(*dictionary);
            toolbarConfigurationCheckArrangement(*running, allowed);
            if (list && list->isArray())
                toolbarConfigurationCheck(running->itemIdentifiers() == taken);
        }

        // What the toolbar keeps reads back to what it shows, as after a restart.
        toolbar->setVisible(!toolbar->isVisible());
        auto again = ui::Toolbar::create(ToolbarConfigurationName);
        again->setDelegate(bench.delegate);
        again->setAutosavesConfiguration(true);
        toolbarConfigurationCheck(again->itemIdentifiers() == taken);
        toolbarConfigurationCheck(again->displayMode() == toolbar->displayMode());
        toolbarConfigurationCheck(again->isVisible() == toolbar->isVisible());
        toolbar->attachToWindow(nullptr);
    }
    defaults.removeObjectForKey(ToolbarConfigurationKey);
    fuzzEndInputAsARunLoopPass();
    return 0;
}
