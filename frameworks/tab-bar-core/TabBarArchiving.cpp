#include "frameworks/tab-bar-core/TabBarArchiving.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/View.h"

#include <algorithm>

namespace tbcore {

fnd::Value archivedObject(const std::shared_ptr<fnd::Object>& object)
{
    return object ? fnd::Value(object) : fnd::Value();
}

void encodeFlags(fnd::Coder& coder, std::initializer_list<bool> flags, std::span<const char* const> keys)
{
    std::size_t i = 0;
    for (bool flag : flags)
        coder.encodeBool(flag, keys[i++]);
}

void encodeWidths(fnd::Coder& coder, std::initializer_list<long> widths, std::span<const char* const> keys)
{
    std::size_t i = 0;
    for (long width : widths)
        coder.encodeInteger(width, keys[i++]);
}

namespace {
void decodeTabBarFlags(fnd::Coder& coder, std::span<bool* const> flags, std::span<const char* const> keys)
{
    std::size_t i = 0;
    for (bool* flag : flags) {
        const char* key = keys[i++];
        if (coder.containsValueForKey(key))
            *flag = coder.decodeBoolForKey(key);
    }
}
}

bool isInsideItsTabView(const std::shared_ptr<ui::View>& bar, const ui::TabView& tabView)
{
    const auto& items = tabView.tabViewItems();
    for (auto view = bar; view; view = view->superview()) {
        if (view.get() == &tabView)
            return true;
        if (std::ranges::any_of(items, [&](const auto& item) { return item->view() == view; }))
            return true;
    }
    return false;
}

std::shared_ptr<ui::View> decodeTabBarSettings(fnd::Coder& coder, const TabBarArchivedSettings& settings)
{
    decodeTabBarFlags(coder, settings.flags, settings.flagKeys);
    std::size_t i = 0;
    for (long* width : settings.widths)
        *width = long(fnd::decodeBoundedIntegerForKey(coder, settings.widthKeys[i++], 0, 100000, *width));
    if (coder.containsValueForKey(settings.isHiddenKey))
        *settings.isHidden = coder.decodeBoolForKey(settings.isHiddenKey);
    decodeTabBarFlags(coder, settings.lastFlags, settings.lastFlagKeys);
    return fnd::decodeObjectOfClass<ui::View>(coder, settings.partnerViewKey);
}

}
