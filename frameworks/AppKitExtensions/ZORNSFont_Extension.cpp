#include "frameworks/AppKitExtensions/ZORNSFont_Extension.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/StringEncoding.h"
#include "platform/graphics/FontManager.h"

namespace ZORNSFont_Extension {

fnd::String fullDisplayName(const gfx::Font& font)
{
    const fnd::String family = font.familyName();
    fnd::String style;
    // The last member of that name wins, as several may share it.
    for (const auto& member : gfx::FontManager::shared().availableMembersOfFontFamily(family)) {
        const auto* fields = member.array();
        if (fields && fields->size() >= 2 && (*fields)[0].stringValue() == font.fontName())
            style = (*fields)[1].stringValue();
    }
    fnd::String name = family + " " + style;
    return name.stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceCharacterSet());
}

fnd::String localizedNameOfMostCompatibleStringEncoding(const gfx::Font& font)
{
    return fnd::localizedNameOfStringEncoding(static_cast<fnd::StringEncoding>(font.mostCompatibleStringEncoding()));
}

}
