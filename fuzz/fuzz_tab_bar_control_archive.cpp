// Reads arbitrary bytes as a keyed archive of a tab bar control: as a whole archive (whatever class it names) and
// through the control's own decoder, which must keep every setting sane whatever the archive holds, then lays out a
// few tabs with the decoded settings and runs a step of the drag's gap animation over the decoded cells with a
// decoded drag assistant's width table. A cell, however decoded, holds a step from 0 to 7.
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // Two tabs, made once: each input's bar takes them over and gives them back. Kept for the whole run and never
    // destroyed: at exit the runtime's own statics go first.
    static auto* tabView = [] {
        auto* view = new std::shared_ptr<ui::TabView>(ui::TabView::create({ 0, 22, 300, 100 }));
        for (int i = 0; i < 2; ++i) {
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("Tab " + std::to_string(i)));
            (*view)->addTabViewItem(item);
        }
        return view;
    }();

    const fnd::Data data(bytes, size);
    // Bytes that are no keyed archive at all give the readers nothing to read (the whole-archive read fails the same
    // way): every such input would only build the same default bar.
    fnd::KeyedUnarchiver coder(data);
    if (coder.hasFailed())
        return 0;
    if (auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data))
        if (auto bar = decoded->objectAs<ZTBTabBarControl>())
            (void)fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(bar));

    auto bar = std::make_shared<ZTBTabBarControl>();
    bar->initWithCoder(coder);
    if (bar->cellMinWidth() < 0 || bar->cellMaxWidth() < 0 || bar->cellOptimumWidth() < 0 || bar->currentStep() != -1)
        std::abort();
    if (bar->orientation() != 0 && bar->orientation() != 1)
        std::abort();
    bar->setTabView(*tabView);
    (*tabView)->setDelegate(bar);
    bar->tabViewDidChangeNumberOfTabViewItems(**tabView);
    bar->update(false);
    if (long(bar->cells().size()) != (*tabView)->numberOfTabViewItems())
        std::abort();
    for (const auto& decodedCell : bar->cells())
        if (decodedCell->currentStep() < 0 || decodedCell->currentStep() > 7)
            std::abort();

    // The gap animation reads the width table at each placeholder's step.
    auto assistant = std::make_shared<ZTBTabDragAssistant>();
    fnd::KeyedUnarchiver assistantCoder(data);
    if (assistant->initWithCoder(assistantCoder)) {
        const auto& widths = assistant->sineCurveWidths();
        if (!widths.empty() && widths.size() != ZTBTabDragAssistant::PlaceholderSteps)
            std::abort();
        assistant->distributePlaceholdersInTabBar(bar);
        assistant->calculateDragAnimationForTabBar(bar);
        assistant->removeAllPlaceholdersFromTabBar(bar);
    }

    // A cell's own decoder.
    auto cell = ZTBTabBarCell::create(bar);
    fnd::KeyedUnarchiver cellCoder(data);
    cell->initWithCoder(cellCoder);
    if (cell->count() < 0 || cell->currentStep() < 0 || cell->currentStep() > 7)
        std::abort();
    (*tabView)->setDelegate(nullptr);
    return 0;
}
