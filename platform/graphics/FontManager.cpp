#include "platform/graphics/FontManager.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/detail/FontFace.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <cstdlib>

namespace gfx {

namespace {

// fontconfig weights and the platform's 0-15 scale, lightest first.
struct WeightStep {
    int fontconfig;
    int platform;
};
constexpr std::array<WeightStep, 11> Weights = { {
    { FC_WEIGHT_THIN, 1 },
    { FC_WEIGHT_EXTRALIGHT, 2 },
    { FC_WEIGHT_LIGHT, 3 },
    { FC_WEIGHT_BOOK, 4 },
    { FC_WEIGHT_REGULAR, 5 },
    { FC_WEIGHT_MEDIUM, 6 },
    { FC_WEIGHT_DEMIBOLD, 8 },
    { FC_WEIGHT_BOLD, 9 },
    { FC_WEIGHT_EXTRABOLD, 10 },
    { FC_WEIGHT_BLACK, 11 },
    { FC_WEIGHT_EXTRABLACK, 12 },
} };

int platformWeight(int fontconfigWeight)
{
    const WeightStep* best = &Weights[0];
    for (const auto& step : Weights)
        if (std::abs(step.fontconfig - fontconfigWeight) < std::abs(best->fontconfig - fontconfigWeight))
            best = &step;
    return best->platform;
}

int fontconfigWeight(int platform)
{
    const WeightStep* best = &Weights[0];
    for (const auto& step : Weights)
        if (std::abs(step.platform - platform) < std::abs(best->platform - platform))
            best = &step;
    return best->fontconfig;
}

unsigned traitsOf(const detail::FaceInfo& info)
{
    unsigned traits = 0;
    if (info.weight >= FC_WEIGHT_DEMIBOLD)
        traits |= FontTraitMask::Bold;
    if (info.slant != FC_SLANT_ROMAN)
        traits |= FontTraitMask::Italic;
    if (info.isMonospace)
        traits |= FontTraitMask::FixedPitch;
    if (info.width < FC_WIDTH_NORMAL)
        traits |= FontTraitMask::Condensed;
    if (info.width > FC_WIDTH_NORMAL)
        traits |= FontTraitMask::Expanded;
    return traits;
}

}

FontManager& FontManager::shared()
{
    static FontManager manager;
    return manager;
}

unsigned FontManager::traitsOfFont(const Font& font) const
{
    return traitsOf(font.face()->info());
}

int FontManager::weightOfFont(const Font& font) const
{
    return platformWeight(font.face()->info().weight);
}

std::shared_ptr<Font> FontManager::fontWithFamily(
    const fnd::String& family, unsigned traits, int weight, double size) const
{
    int fcWeight = fontconfigWeight(weight);
    if (traits & FontTraitMask::Bold)
        fcWeight = std::max(fcWeight, int(FC_WEIGHT_BOLD));
    int slant = traits & FontTraitMask::Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
    const auto* info = detail::FontCatalog::shared().bestMember(family, fcWeight, slant);
    if (!info)
        return nullptr;
    return Font::make(detail::FontFace::forInfo(*info), info->postScriptName, size, false);
}

std::shared_ptr<Font> FontManager::convertFontToSize(const std::shared_ptr<Font>& font, double size) const
{
    if (!font || size <= 0 || size == font->pointSize())
        return font;
    return font->fontWithSize(size);
}

std::shared_ptr<Font> FontManager::convertFontToFamily(
    const std::shared_ptr<Font>& font, const fnd::String& family) const
{
    if (!font)
        return font;
    auto converted = fontWithFamily(family, traitsOfFont(*font), weightOfFont(*font), font->pointSize());
    return converted ? converted : font;
}

std::shared_ptr<Font> FontManager::convertFontToHaveTrait(const std::shared_ptr<Font>& font, unsigned trait) const
{
    if (!font)
        return font;
    const auto& info = font->face()->info();
    int weight = info.weight;
    int slant = info.slant;
    if (trait & FontTraitMask::Bold)
        weight = std::max(weight, int(FC_WEIGHT_BOLD));
    if (trait & FontTraitMask::Unbold)
        weight = FC_WEIGHT_REGULAR;
    if (trait & FontTraitMask::Italic)
        slant = FC_SLANT_ITALIC;
    if (trait & FontTraitMask::Unitalic)
        slant = FC_SLANT_ROMAN;
    if (weight == info.weight && slant == info.slant)
        return font;
    const auto* found = detail::FontCatalog::shared().bestMember(info.family(), weight, slant);
    // Only a face that really has the asked-for trait counts; the closest member may lack it.
    if (!found || found == &info || (found->weight >= FC_WEIGHT_DEMIBOLD) != (weight >= FC_WEIGHT_DEMIBOLD)
        || (found->slant != FC_SLANT_ROMAN) != (slant != FC_SLANT_ROMAN))
        return font;
    return Font::make(detail::FontFace::forInfo(*found), found->postScriptName, font->pointSize(), false);
}

std::shared_ptr<Font> FontManager::convertFontToNotHaveTrait(const std::shared_ptr<Font>& font, unsigned trait) const
{
    unsigned opposite = 0;
    if (trait & FontTraitMask::Bold)
        opposite |= FontTraitMask::Unbold;
    if (trait & FontTraitMask::Italic)
        opposite |= FontTraitMask::Unitalic;
    return opposite ? convertFontToHaveTrait(font, opposite) : font;
}

std::vector<fnd::String> FontManager::availableFontFamilies() const
{
    return detail::FontCatalog::shared().families();
}

fnd::Array FontManager::availableMembersOfFontFamily(const fnd::String& family) const
{
    fnd::Array result;
    for (const auto* info : detail::FontCatalog::shared().members(family))
        result.push_back(fnd::Array {
            info->postScriptName, info->style, platformWeight(info->weight), static_cast<long long>(traitsOf(*info)) });
    return result;
}

void FontManager::setSelectedFont(std::shared_ptr<Font> font, bool isMultiple)
{
    m_selectedFont = std::move(font);
    m_isMultiple = isMultiple;
    fnd::NotificationCenter::defaultCenter().postNotificationName(FontManagerSelectedFontDidChangeNotification);
}

std::shared_ptr<Font> FontManager::convertFont(const std::shared_ptr<Font>& font) const
{
    if (!font)
        return font;
    auto converted = font;
    // A face names its family too; a family alone keeps the font's traits.
    if (!m_choice.face.isEmpty()) {
        if (auto face = Font::fontWithName(m_choice.face, converted->pointSize()))
            converted = face;
    } else if (!m_choice.family.isEmpty()) {
        converted = convertFontToFamily(converted, m_choice.family);
    }
    if (m_choice.size > 0)
        converted = convertFontToSize(converted, m_choice.size);
    return converted;
}

}
