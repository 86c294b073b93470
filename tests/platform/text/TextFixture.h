#pragma once

#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"

#include <memory>

namespace txt::test {

// A storage with one layout manager and one container, padding 0, as the callers in this system set them up.
template <typename Manager = LayoutManager> struct TextSystem {
    std::shared_ptr<TextStorage> storage;
    std::shared_ptr<Manager> manager;
    std::shared_ptr<TextContainer> container;

    explicit TextSystem(const AttributedString& text, gfx::Size size = { 1e7, 1e7 })
        : storage(std::make_shared<TextStorage>(text))
        , manager(fnd::makeObject<Manager>())
        , container(std::make_shared<TextContainer>(size))
    {
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }
};

inline std::shared_ptr<gfx::Font> dejaVu(double size = 12)
{
    return gfx::Font::fontWithName("DejaVu Sans", size);
}

inline Attributes withFont(double size = 12)
{
    return { { FontAttributeName, dejaVu(size) } };
}

inline Attributes withStyle(std::shared_ptr<ParagraphStyle> style, double size = 12)
{
    return { { FontAttributeName, dejaVu(size) }, { ParagraphStyleAttributeName, std::move(style) } };
}

// The pen advance of a string in the font, glyph by glyph without kerning.
inline double advanceOf(const fnd::String& text, const gfx::Font& font)
{
    double width = 0;
    for (char16_t c : text.units())
        width += font.advancementForGlyph(font.glyphForCharacter(c)).width;
    return width;
}

}
