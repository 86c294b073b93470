// Reads arbitrary bytes as a keyed archive of a tab bar style (or of a bar holding one) and draws a bar of three
// tabs with whatever style comes out, pictures from the archive included; every close-image type is asked for.
#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data(bytes, size));
    if (!decoded)
        return 0;
    std::shared_ptr<QFTabStyle> style = decoded->objectAs<QFTabStyle>();
    if (auto bar = decoded->objectAs<QFTabBarView>())
        style = bar->style();
    if (!style)
        return 0;
    if (style->name().length() == 0)
        std::abort();

    auto bar = QFTabBarView::create({ 0, 0, 400, 22 });
    bar->setStyle(style);
    auto tabView = ui::TabView::create({ 0, 0, 400, 100 });
    for (const char* label : { "One", "Two", "Three" }) {
        auto item = ui::TabViewItem::create();
        item->setLabel(label);
        tabView->addTabViewItem(item);
    }
    bar->setTabView(tabView);
    bar->update(false);
    auto context = gfx::GraphicsContext::createForBitmap(400, 22, {}, true);
    gfx::CurrentContextScope scope(context);
    bar->drawRect(bar->bounds());
    for (const auto& button : bar->orderedAttachedButtons()) {
        auto cell = button->tabCell();
        for (long type = -1; type <= 6; ++type)
            (void)cell->closeButtonImageOfType(type);
        cell->drawWithFrame(button->bounds(), *button);
    }
    return 0;
}
