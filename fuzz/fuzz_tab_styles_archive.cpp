// Reads arbitrary bytes as a keyed archive of a tab bar style (or of a bar holding one) and draws a bar of three
// tabs with whatever style comes out, pictures from the archive included; every close-image type is asked for. An
// archive that holds neither is read by the decoder of a style the registry makes (every registered look, picked by
// the input's length), so each look's decoder is reached whatever class the archive names.
#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabStyle.h"

#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <cstdint>
#include <cstdlib>

namespace {

// One bar over one tab view of three tabs serves every input: an input only brings the style, which the bar hands
// to its buttons.
struct TabStylesFuzzBar {
    std::shared_ptr<QFTabBarView> bar = QFTabBarView::create({ 0, 0, 400, 22 });
    std::shared_ptr<ui::TabView> tabView = ui::TabView::create({ 0, 0, 400, 100 });
    std::shared_ptr<gfx::GraphicsContext> canvas = gfx::GraphicsContext::createForBitmap(400, 22, {}, true);
    // The bar's own style, which it takes back after each input: an input that left its style behind would end
    // with more blocks than it began with, and libFuzzer would take every such input for a leak to look into.
    std::shared_ptr<QFTabStyle> restingStyle = bar->style();

    TabStylesFuzzBar()
    {
        for (const char* label : { "One", "Two", "Three" }) {
            auto item = ui::TabViewItem::create();
            item->setLabel(label);
            tabView->addTabViewItem(item);
        }
        bar->setTabView(tabView);
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
    static auto* shared = new TabStylesFuzzBar;

    const fnd::Data data(bytes, size);
    std::shared_ptr<QFTabStyle> style;
    if (auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data)) {
        style = decoded->objectAs<QFTabStyle>();
        if (auto bar = decoded->objectAs<QFTabBarView>())
            style = bar->style();
    }
    if (!style) {
        fnd::KeyedUnarchiver coder(data);
        if (coder.hasFailed())
            return 0;
        static const auto names = QFTabStyleRegistry::shared().registeredNames();
        const auto& name = names[size % names.size()];
        style = QFTabStyleRegistry::shared().makeStyle(name);
        if (!style || style->name() != name)
            std::abort();
        style->initWithCoder(coder);
    }
    if (style->name().length() == 0)
        std::abort();

    // Taking the style lays the bar out with it.
    auto& bar = *shared->bar;
    bar.setStyle(style);
    if (bar.style() != style)
        std::abort();
    gfx::CurrentContextScope scope(shared->canvas);
    bar.drawRect(bar.bounds());
    for (const auto& button : bar.orderedAttachedButtons()) {
        auto cell = button->tabCell();
        for (long type = -1; type <= 6; ++type)
            (void)cell->closeButtonImageOfType(type);
        cell->drawWithFrame(button->bounds(), *button);
    }
    bar.setStyle(shared->restingStyle);
    bar.setOrientation(QFTabBarOrientation::Horizontal);
    return 0;
}
