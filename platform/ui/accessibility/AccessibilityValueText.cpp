#include "platform/ui/accessibility/AccessibilityValueText.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/graphics/Color.h"

#include <algorithm>
#include <cmath>

namespace ui {

fnd::String accessibilityColorDescription(const gfx::Color& color)
{
    auto rgba = color.rgbaIfAvailable();
    if (!rgba)
        return {};
    static const auto bundle = fnd::Bundle::bundleWithName("Foundation");
    auto text = [&](const char* key, const char* english) {
        return bundle ? bundle->localizedStringForKey(key, english, "Accessibility") : fnd::String(english);
    };
    auto percent = [](double component) { return long(std::lround(std::clamp(component, 0.0, 1.0) * 100)); };
    auto words = fnd::stringWithFormat(text("color:rgb", "red %ld%%, green %ld%%, blue %ld%%"), percent((*rgba)[0]),
        percent((*rgba)[1]), percent((*rgba)[2]));
    if ((*rgba)[3] < 1)
        words = words + fnd::stringWithFormat(text("color:opacity", ", opacity %ld%%"), percent((*rgba)[3]));
    return words;
}

}
