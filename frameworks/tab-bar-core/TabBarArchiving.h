#pragma once

#include "platform/foundation/runtime/Value.h"

#include <initializer_list>
#include <memory>
#include <span>

namespace fnd {
class Coder;
class Object;
}
namespace ui {
class TabView;
class View;
}

// What both tab-bar families archive alike, each under keys of its own: groups of flags, the tab widths, the hidden
// flag and the partner view.
namespace tbcore {

// An object reference as an archive value: nil for none.
fnd::Value archivedObject(const std::shared_ptr<fnd::Object>& object);

// Each value under the key at its place.
void encodeFlags(fnd::Coder& coder, std::initializer_list<bool> flags, std::span<const char* const> keys);
void encodeWidths(fnd::Coder& coder, std::initializer_list<long> widths, std::span<const char* const> keys);

// Where the settings a bar reads from its archive go, and their keys.
struct TabBarArchivedSettings {
    std::span<bool* const> flags;
    std::span<const char* const> flagKeys;
    std::span<long* const> widths;
    std::span<const char* const> widthKeys;
    bool* isHidden;
    const char* isHiddenKey;
    std::span<bool* const> lastFlags;
    std::span<const char* const> lastFlagKeys;
    const char* partnerViewKey;
};

// Reads the settings: a key the archive lacks keeps the value as it is; a width outside what a screen could show
// (0 to 100000) fails the coder. Answers the partner view (nullptr when there is none; the coder has failed when
// it is no view).
std::shared_ptr<ui::View> decodeTabBarSettings(fnd::Coder& coder, const TabBarArchivedSettings& settings);

// Whether the bar sits inside the tab view it serves: the tab view itself, one of its items' views, or inside one
// of those. A bar holds its tab view, which holds its subviews and its items' views, so such a bar would close a
// cycle of strong links that nothing ever frees; a decoder refuses it, once the whole archive is read and every view
// is in its place.
bool isInsideItsTabView(const std::shared_ptr<ui::View>& bar, const ui::TabView& tabView);

// A button the archive holds takes the place of the one the bar's initialiser made; without one, the initialiser's
// goes back in.
template <typename Bar, typename Button>
void adoptArchivedButton(Bar& bar, std::shared_ptr<Button>& button, std::shared_ptr<Button> archived)
{
    if (archived)
        button = std::move(archived);
    else if (button)
        bar.addSubview(button);
}

}
