#include "TextFixture.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/FontManager.h"
#include "platform/text/RTF.h"

#include <gtest/gtest.h>

using namespace txt;

namespace {

std::shared_ptr<gfx::Font> face(unsigned traits, double size = 12)
{
    auto font = gfx::Font::fontWithName("DejaVu Sans", size);
    return traits ? gfx::FontManager::shared().convertFontToHaveTrait(font, traits) : font;
}

AttributedString readBack(const AttributedString& text)
{
    auto back = attributedStringFromRTF(RTFFromAttributedString(text));
    EXPECT_TRUE(back.has_value());
    return back ? *back : AttributedString();
}

}

TEST(RTF, EveryAttributeRoundTrips)
{
    auto right = ParagraphStyle::defaultParagraphStyle();
    right->setAlignment(TextAlignment::Right);
    right->setHeadIndent(20);
    right->setFirstLineHeadIndent(30);
    right->setTailIndent(-15);
    right->setParagraphSpacing(6);
    right->setParagraphSpacingBefore(3);
    right->setTabStops({ { TextTabType::Left, 40 }, { TextTabType::Right, 200 }, { TextTabType::Center, 120 } });
    struct Case {
        const char* what;
        Attributes attributes;
    };
    const Case cases[] = {
        { "bold", { { FontAttributeName, face(gfx::FontTraitMask::Bold) } } },
        { "italic 18", { { FontAttributeName, face(gfx::FontTraitMask::Italic, 18) } } },
        { "colours",
            { { FontAttributeName, face(0) },
                { ForegroundColorAttributeName, gfx::Color::colorWithCalibratedRed(0, 0.5, 1) },
                { BackgroundColorAttributeName, gfx::Color::colorWithCalibratedRed(1, 1, 0) } } },
        { "underline",
            { { FontAttributeName, face(0) }, { UnderlineStyleAttributeName, long(UnderlineStyle::Double) } } },
        { "strike",
            { { FontAttributeName, face(0) }, { StrikethroughStyleAttributeName, long(UnderlineStyle::Single) } } },
        { "super", { { FontAttributeName, face(0) }, { SuperscriptAttributeName, 1L } } },
        { "baseline", { { FontAttributeName, face(0) }, { BaselineOffsetAttributeName, 3.0 } } },
        { "link", { { FontAttributeName, face(0) }, { LinkAttributeName, fnd::Value("https://example.org/?a=1") } } },
        { "paragraph", { { FontAttributeName, face(0) }, { ParagraphStyleAttributeName, right } } },
    };
    for (const auto& c : cases) {
        auto attributes = c.attributes;
        AttributedString text(fnd::String(u"x \u00E9 \U0001F600 {\\}\ty"), attributes);
        auto back = readBack(text);
        ASSERT_EQ(back.string(), text.string()) << c.what;
        fnd::Range run;
        const auto& read = back.attributesAtIndex(0, &run);
        EXPECT_EQ(run.length, back.length()) << c.what << ": one run";
        for (const auto& [name, value] : attributes) {
            auto got = read.get(name);
            if (auto color = value.objectAs<gfx::Color>()) {
                auto other = got.objectAs<gfx::Color>();
                ASSERT_TRUE(other) << c.what << " " << name.utf8();
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(color->rgba()[k], other->rgba()[k], 0.005) << c.what;
            } else if (auto font = value.objectAs<gfx::Font>()) {
                auto other = got.objectAs<gfx::Font>();
                ASSERT_TRUE(other) << c.what;
                EXPECT_EQ(other->fontName(), font->fontName()) << c.what;
                EXPECT_DOUBLE_EQ(other->pointSize(), font->pointSize()) << c.what;
            } else {
                EXPECT_EQ(got, value) << c.what << " " << name.utf8();
            }
        }
    }
}

TEST(RTF, ReadsWhatOtherProgramsWrite)
{
    // The shape a word processor writes: font and colour tables, a generator destination, raw Windows-1252
    // bytes, \u with a fallback character, a hyperlink field and paragraph properties that change.
    const char* rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 DejaVu Sans;}}
{\colortbl ;\red255\green0\blue0;\red0\green0\blue255;}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1
\pard\sa200\qc\f0\fs24 Centred \b bold\b0  and \i italic\i0\par
\pard\li720\fi-360\tqr\tx4320 Indented\tab right\cf1  red\cf0  caf\'e9 \u8364?\par
{\field{\*\fldinst{HYPERLINK "https://example.org/"}}{\fldrslt{\ul\cf2 a link}}}\line after\par
})";
    auto text = attributedStringFromRTF(fnd::Data::fromString(rtf));
    ASSERT_TRUE(text.has_value()) << text.error().localizedDescription().utf8();
    EXPECT_EQ(text->string(),
        fnd::String(u"Centred bold and italic\nIndented\tright red caf\u00E9 \u20AC\na link\u2028after\n"));
    auto fontAt = [&](fnd::Index i) { return text->attributeAtIndex(FontAttributeName, i).objectAs<gfx::Font>(); };
    auto traits = [&](fnd::Index i) { return gfx::FontManager::shared().traitsOfFont(*fontAt(i)); };
    EXPECT_TRUE(traits(9) & gfx::FontTraitMask::Bold);
    EXPECT_FALSE(traits(14) & gfx::FontTraitMask::Bold);
    EXPECT_TRUE(traits(20) & gfx::FontTraitMask::Italic);
    EXPECT_DOUBLE_EQ(fontAt(0)->pointSize(), 12);
    auto style = [&](fnd::Index i) {
        return text->attributeAtIndex(ParagraphStyleAttributeName, i).objectAs<ParagraphStyle>();
    };
    EXPECT_EQ(style(0)->alignment(), TextAlignment::Center);
    EXPECT_DOUBLE_EQ(style(0)->paragraphSpacing(), 10);
    EXPECT_EQ(style(30)->alignment(), TextAlignment::Natural);
    EXPECT_DOUBLE_EQ(style(30)->headIndent(), 36);
    EXPECT_DOUBLE_EQ(style(30)->firstLineHeadIndent(), 18);
    ASSERT_EQ(style(30)->tabStops().size(), 1u);
    EXPECT_EQ(style(30)->tabStops()[0], (TextTab { TextTabType::Right, 216 }));
    auto red = text->attributeAtIndex(ForegroundColorAttributeName, 40).objectAs<gfx::Color>();
    ASSERT_TRUE(red);
    EXPECT_NEAR(red->redComponent(), 1, 0.01);
    fnd::Index link = text->string().rangeOfString("a link").location;
    EXPECT_EQ(text->attributeAtIndex(LinkAttributeName, link).stringValue().utf8(), "https://example.org/");
    EXPECT_EQ(text->attributeAtIndex(UnderlineStyleAttributeName, link).integerValue(), UnderlineStyle::Single);
    EXPECT_TRUE(text->attributeAtIndex(LinkAttributeName, link + 7).isNil()) << "the link ends with its field";
}

TEST(RTF, RefusesWhatIsNotRTFAndRunawayNesting)
{
    EXPECT_FALSE(attributedStringFromRTF(fnd::Data::fromString("plain text")).has_value());
    EXPECT_FALSE(attributedStringFromRTF(fnd::Data()).has_value());
    std::string deep = "{\\rtf1 " + std::string(5000, '{') + "x" + std::string(5000, '}') + "}";
    EXPECT_FALSE(attributedStringFromRTF(fnd::Data::fromString(deep)).has_value());
    // Cut short, it keeps what it read.
    auto cut = attributedStringFromRTF(fnd::Data::fromString("{\\rtf1 half a sent"));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->string().utf8(), "half a sent");
}

TEST(RTF, RunsOfCharactersShareAttributesOnlyWhileNothingTheyAreMadeOfChanges)
{
    // The same colour index before and after the table that gives it a colour, and a style switched off and on
    // again between two characters.
    const char* rtf = R"({\rtf1 \cf1 ab{\colortbl;\red255\green0\blue0;}cd\b e\b0 f\b g})";
    auto text = attributedStringFromRTF(fnd::Data::fromString(rtf));
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->string().utf8(), "abcdefg");
    EXPECT_TRUE(text->attributeAtIndex(ForegroundColorAttributeName, 1).isNil());
    auto red = text->attributeAtIndex(ForegroundColorAttributeName, 2).objectAs<gfx::Color>();
    ASSERT_TRUE(red);
    EXPECT_NEAR(red->redComponent(), 1, 0.01);
    auto bold = [&](fnd::Index i) {
        auto font = text->attributeAtIndex(FontAttributeName, i).objectAs<gfx::Font>();
        return (gfx::FontManager::shared().traitsOfFont(*font) & gfx::FontTraitMask::Bold) != 0;
    };
    EXPECT_EQ(
        (std::vector<bool> { bold(3), bold(4), bold(5), bold(6) }), (std::vector<bool> { false, true, false, true }));
    fnd::Range run;
    text->attributesAtIndex(2, &run);
    EXPECT_EQ(run, (fnd::Range { 2, 2 }));
}
