#include "platform/text/RTF.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextRanges.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace txt {

namespace {

long twips(double points)
{
    return std::lround(points * 20);
}

// The font and colour tables, filled while the body is written.
struct Tables {
    std::vector<std::string> fonts; // family names
    std::vector<std::array<int, 3>> colors;

    std::size_t font(const std::string& family)
    {
        for (std::size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == family)
                return i;
        fonts.push_back(family);
        return fonts.size() - 1;
    }

    // Colour 0 is the automatic colour, so the first real one is 1.
    std::size_t color(const gfx::Color& c)
    {
        auto rgba = c.rgba();
        std::array<int, 3> rgb { static_cast<int>(std::lround(std::clamp(rgba[0], 0.0, 1.0) * 255)),
            static_cast<int>(std::lround(std::clamp(rgba[1], 0.0, 1.0) * 255)),
            static_cast<int>(std::lround(std::clamp(rgba[2], 0.0, 1.0) * 255)) };
        for (std::size_t i = 0; i < colors.size(); ++i)
            if (colors[i] == rgb)
                return i + 1;
        colors.push_back(rgb);
        return colors.size();
    }
};

// Escapes text for the body: braces and backslashes, tabs and breaks as control words, the rest as \u.
void appendText(std::string& out, std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'\\':
            out += "\\\\";
            break;
        case u'{':
            out += "\\{";
            break;
        case u'}':
            out += "\\}";
            break;
        case u'\t':
            out += "\\tab ";
            break;
        case 0x2028:
            out += "\\line ";
            break;
        case u'\n':
        case u'\r':
        case 0x2029:
            out += "\\par\n";
            break;
        case AttachmentCharacter:
            break; // attachments stay behind
        default:
            if (c >= 0x20 && c < 0x7F)
                out += static_cast<char>(c);
            else
                out += fmt::format("\\u{} ", static_cast<int>(static_cast<std::int16_t>(c)));
        }
    }
}

std::string paragraphControls(const ParagraphStyle& style)
{
    std::string out = "\\pard";
    switch (style.alignment()) {
    case TextAlignment::Right:
        out += "\\qr";
        break;
    case TextAlignment::Center:
        out += "\\qc";
        break;
    case TextAlignment::Justified:
        out += "\\qj";
        break;
    case TextAlignment::Left:
        out += "\\ql";
        break;
    case TextAlignment::Natural:
        break;
    }
    // The default stops are what a reader assumes without any.
    const auto& tabs
        = style.tabStops() == ParagraphStyle::defaultStyle().tabStops() ? std::vector<TextTab> {} : style.tabStops();
    for (const auto& tab : tabs) {
        if (tab.type == TextTabType::Right)
            out += "\\tqr";
        else if (tab.type == TextTabType::Center)
            out += "\\tqc";
        else if (tab.type == TextTabType::Decimal)
            out += "\\tqdec";
        out += fmt::format("\\tx{}", twips(tab.location));
    }
    if (style.headIndent() != 0)
        out += fmt::format("\\li{}", twips(style.headIndent()));
    if (style.firstLineHeadIndent() != style.headIndent())
        out += fmt::format("\\fi{}", twips(style.firstLineHeadIndent() - style.headIndent()));
    if (style.tailIndent() < 0)
        out += fmt::format("\\ri{}", twips(-style.tailIndent()));
    if (style.paragraphSpacingBefore() > 0)
        out += fmt::format("\\sb{}", twips(style.paragraphSpacingBefore()));
    if (style.paragraphSpacing() > 0)
        out += fmt::format("\\sa{}", twips(style.paragraphSpacing()));
    return out + ' ';
}

std::string characterControls(const Attributes& attributes, Tables& tables)
{
    std::string out = "\\plain";
    auto font = attributes.get(FontAttributeName).objectAs<gfx::Font>();
    if (!font)
        font = gfx::Font::fontWithName("DejaVu Sans", 12);
    auto traits = gfx::FontManager::shared().traitsOfFont(*font);
    out += fmt::format("\\f{}\\fs{}", tables.font(font->familyName().utf8()), std::lround(font->pointSize() * 2));
    if (traits & gfx::FontTraitMask::Bold)
        out += "\\b";
    if (traits & gfx::FontTraitMask::Italic)
        out += "\\i";
    if (auto color = attributes.get(ForegroundColorAttributeName).objectAs<gfx::Color>())
        out += fmt::format("\\cf{}", tables.color(*color));
    if (auto color = attributes.get(BackgroundColorAttributeName).objectAs<gfx::Color>())
        out += fmt::format("\\cb{}\\highlight{}", tables.color(*color), tables.color(*color));
    int underline = static_cast<int>(attributes.get(UnderlineStyleAttributeName).integerValue());
    if ((underline & 0x0F) == UnderlineStyle::Double)
        out += "\\uldb";
    else if ((underline & 0x0F) == UnderlineStyle::Thick)
        out += "\\ulth";
    else if (underline != 0)
        out += "\\ul";
    if (attributes.get(StrikethroughStyleAttributeName).integerValue() != 0)
        out += "\\strike";
    auto superscript = attributes.get(SuperscriptAttributeName).integerValue();
    if (superscript > 0)
        out += "\\super";
    else if (superscript < 0)
        out += "\\sub";
    if (double offset = attributes.get(BaselineOffsetAttributeName).doubleValue(); offset != 0)
        out += fmt::format("\\{}{}", offset > 0 ? "up" : "dn", std::lround(std::abs(offset) * 2));
    return out + ' ';
}

// A link's target as text: a string, or the description of another value.
std::string linkTarget(const fnd::Value& link)
{
    auto text = link.stringValue();
    std::string out;
    for (char c : text.utf8())
        if (c != '"' && c != '\\' && c != '{' && c != '}')
            out += c;
    return out;
}

}

fnd::Data RTFFromAttributedString(const AttributedString& text)
{
    Tables tables;
    std::string body;
    const auto& string = text.string();
    const auto n = text.length();
    fnd::Index i = 0;
    const ParagraphStyle* currentStyle = nullptr;
    while (i < n) {
        // Paragraph properties come first in each paragraph.
        auto paragraph = paragraphRangeForRange(string, { i, 0 });
        if (i == paragraph.location) {
            auto style = text.attributeAtIndex(ParagraphStyleAttributeName, i).objectAs<ParagraphStyle>();
            const auto& s = style ? *style : ParagraphStyle::defaultStyle();
            if (!currentStyle || !currentStyle->isEqual(s)) {
                body += paragraphControls(s);
                currentStyle = &s;
            }
        }
        fnd::Range run;
        const auto& attributes = text.attributesAtIndex(i, &run);
        run = intersection(run, paragraph);
        auto link = attributes.get(LinkAttributeName);
        if (!link.isNil())
            body += fmt::format("{{\\field{{\\*\\fldinst{{HYPERLINK \"{}\"}}}}{{\\fldrslt ", linkTarget(link));
        body += "{" + characterControls(attributes, tables);
        appendText(
            body, string.view().substr(static_cast<std::size_t>(run.location), static_cast<std::size_t>(run.length)));
        body += "}";
        if (!link.isNil())
            body += "}}";
        i = run.max();
    }
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\uc0\\deff0\n{\\fonttbl";
    for (std::size_t f = 0; f < tables.fonts.size(); ++f)
        out += fmt::format("{{\\f{}\\fnil {};}}", f, tables.fonts[f]);
    out += "}\n{\\colortbl;";
    for (const auto& c : tables.colors)
        out += fmt::format("\\red{}\\green{}\\blue{};", c[0], c[1], c[2]);
    out += "}\n" + body + "}";
    return fnd::Data::fromString(out);
}

}
