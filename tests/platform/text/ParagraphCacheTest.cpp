#include "TextFixture.h"

#include "platform/graphics/Color.h"
#include "platform/text/detail/Doorkeeper.h"
#include "platform/text/detail/ParagraphCache.h"
#include "platform/text/detail/Shaping.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace txt;
using txt::test::TextSystem;

namespace {

// What a caller can see of a layout, glyph by glyph.
struct Geometry {
    std::vector<gfx::Rect> fragments;
    std::vector<fnd::Range> fragmentRanges;
    std::vector<gfx::Point> locations;
    std::vector<gfx::Glyph> glyphs;
    std::vector<std::string> fonts;
    gfx::Rect used;
};

Geometry geometryOf(const AttributedString& text, double width, char32_t mask = 0)
{
    TextSystem system(text, { width, 1e7 });
    system.manager->setMaskCharacter(mask);
    Geometry g;
    for (fnd::Index i = 0; i < system.manager->numberOfGlyphs(); ++i) {
        fnd::Range range;
        g.fragments.push_back(system.manager->lineFragmentRectForGlyphAtIndex(i, &range));
        g.fragmentRanges.push_back(range);
        g.locations.push_back(system.manager->locationForGlyphAtIndex(i));
        g.glyphs.push_back(system.manager->glyphAtIndex(i));
        auto font = system.manager->fontForGlyphAtIndex(i);
        g.fonts.push_back(font->fontName().utf8() + " " + std::to_string(font->pointSize()));
    }
    g.used = system.manager->usedRectForTextContainer(*system.container);
    return g;
}

void expectSameGeometry(const Geometry& cached, const Geometry& fresh, const std::string& context)
{
    ASSERT_EQ(cached.glyphs.size(), fresh.glyphs.size()) << context;
    for (std::size_t i = 0; i < fresh.glyphs.size(); ++i) {
        ASSERT_EQ(cached.fragments[i], fresh.fragments[i]) << context << " glyph " << i;
        ASSERT_EQ(cached.fragmentRanges[i], fresh.fragmentRanges[i]) << context << " glyph " << i;
        ASSERT_EQ(cached.locations[i], fresh.locations[i]) << context << " glyph " << i;
        ASSERT_EQ(cached.glyphs[i], fresh.glyphs[i]) << context << " glyph " << i;
        ASSERT_EQ(cached.fonts[i], fresh.fonts[i]) << context << " glyph " << i;
    }
    EXPECT_EQ(cached.used, fresh.used) << context;
}

// A paragraph of random words, in one of a few fonts and styles, with runs of other fonts, kerning and raised text.
AttributedString randomParagraph(std::mt19937& random)
{
    static const std::u16string words[] = { u"bar", u"code", u"EAN-13", u"\t", u"quiet zone",
        u"\u05E9\u05DC\u05D5\u05DD", u"\u00C4rger", u"\U0001F600", u"caption", u"a\u2028b" };
    std::u16string text;
    const int count = 1 + int(random() % 9);
    for (int i = 0; i < count; ++i)
        text += words[random() % std::size(words)] + u" ";
    text += u"\n";
    auto style = ParagraphStyle::defaultParagraphStyle();
    style->setAlignment(static_cast<TextAlignment>(random() % 5));
    style->setLineBreakMode(static_cast<LineBreakMode>(random() % 6));
    style->setFirstLineHeadIndent(double(random() % 3) * 7);
    style->setParagraphSpacing(double(random() % 2) * 4);
    AttributedString paragraph(fnd::String(text), txt::test::withStyle(style, 10 + double(random() % 3) * 2));
    const auto n = paragraph.length();
    if (random() % 2 && n > 4) {
        const fnd::Range run { fnd::Index(random() % (n / 2)), 1 + fnd::Index(random() % (n / 2)) };
        paragraph.addAttribute(FontAttributeName, gfx::Font::fontWithName("DejaVu Serif", 15), run);
    }
    if (random() % 3 == 0)
        paragraph.addAttribute(KernAttributeName, 0.5, { 0, n / 2 });
    if (random() % 4 == 0)
        paragraph.addAttribute(SuperscriptAttributeName, 1, { n / 3, 1 });
    return paragraph;
}

}

// A paragraph taken from the cache, wherever it stands in the text, is laid out exactly as it would be anew.
TEST(ParagraphCache, ReusedParagraphsLayOutAsFreshOnesWouldWhereverTheyStand)
{
    auto& cache = detail::ParagraphCache::forThread();
    std::mt19937 random(23);
    constexpr int Rounds = 60;
    std::uint64_t reused = 0;
    for (int round = 0; round < Rounds; ++round) {
        std::vector<AttributedString> paragraphs;
        for (int i = 0; i < 4; ++i)
            paragraphs.push_back(randomParagraph(random));
        const double width = 60 + double(random() % 200);
        AttributedString first, second;
        for (const auto& p : paragraphs)
            first.appendAttributedString(p);
        // The same paragraphs after another one, in another order: they start at other indexes and heights.
        second.appendAttributedString(randomParagraph(random));
        for (auto it = paragraphs.rbegin(); it != paragraphs.rend(); ++it)
            second.appendAttributedString(*it);

        cache.clear();
        const auto fresh = geometryOf(second, width);
        cache.clear();
        // Kept from the second time a paragraph is met.
        geometryOf(first, width);
        geometryOf(first, width);
        const auto hitsBefore = cache.hits();
        const auto cached = geometryOf(second, width);
        reused += cache.hits() - hitsBefore;
        expectSameGeometry(cached, fresh, "round " + std::to_string(round));
        if (HasFatalFailure())
            return;
    }
    // The four paragraphs of every round come back; which keys were met is remembered in a table where two keys
    // may now and then take each other's place, so a paragraph may be laid out once more.
    EXPECT_GE(reused, std::uint64_t(4 * Rounds * 95 / 100));
}

// What reuses a paragraph and what lays it out again: drawing attributes do not count, text, fonts, style, width
// and a mask character do. A paragraph is kept the second time it is met, so text that passes once costs nothing.
TEST(ParagraphCache, OnlyWhatChangesTheLayoutMissesTheCache)
{
    auto& cache = detail::ParagraphCache::forThread();
    cache.clear();
    const AttributedString text("Code 128 caption", txt::test::withFont(12));
    auto misses = [&](const AttributedString& string, double width, char32_t mask = 0) {
        const auto before = cache.misses();
        geometryOf(string, width, mask);
        return cache.misses() - before;
    };
    EXPECT_EQ(misses(text, 100), 1u) << "the first time";
    EXPECT_EQ(cache.count(), 0u) << "met once";
    EXPECT_EQ(misses(text, 100), 1u) << "the second time";
    EXPECT_EQ(cache.count(), 1u) << "met twice";
    EXPECT_EQ(misses(text, 100), 0u) << "the same again";
    AttributedString coloured = text;
    coloured.addAttribute(ForegroundColorAttributeName, gfx::Color::redColor(), { 0, 4 });
    EXPECT_EQ(misses(coloured, 100), 0u) << "a colour";
    EXPECT_EQ(misses(AttributedString("Code 128 captions", txt::test::withFont(12)), 100), 1u) << "the text";
    EXPECT_EQ(misses(AttributedString("Code 128 caption", txt::test::withFont(13)), 100), 1u) << "the font size";
    EXPECT_EQ(misses(text, 80), 1u) << "the width";
    EXPECT_EQ(misses(text, 100, U'\u2022'), 1u) << "a mask character";
    auto centred = ParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(TextAlignment::Center);
    EXPECT_EQ(misses(AttributedString("Code 128 caption", txt::test::withStyle(centred)), 100), 1u) << "the style";
    // A style changed after the paragraph was laid out with it is not mistaken for the one it was.
    auto changing = ParagraphStyle::defaultParagraphStyle();
    const AttributedString styled("Code 39", txt::test::withStyle(changing));
    misses(styled, 100);
    EXPECT_EQ(misses(styled, 100), 1u);
    EXPECT_EQ(misses(styled, 100), 0u) << "kept";
    changing->setAlignment(TextAlignment::Right);
    EXPECT_EQ(misses(styled, 100), 1u) << "the same style object, changed";
}

// A run taken from the cache of shaped runs is what shaping it anew gives, whatever runs of the same text (longer,
// shorter, in other contexts) were shaped before it.
TEST(ParagraphCache, ShapedRunsFromTheCacheAreThoseShapingGives)
{
    const std::u16string text = u"e\u0301t\u00E9 \U0001F600 caf\u00E9 \u05E9\u05DC\u05D5\u05DD quiet zone\n";
    auto font = txt::test::dejaVu(13);
    std::mt19937 random(41);
    auto same = [](const std::vector<detail::ShapedGlyph>& a, const std::vector<detail::ShapedGlyph>& b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].glyph != b[i].glyph || a[i].cluster != b[i].cluster || a[i].advance != b[i].advance
                || a[i].dx != b[i].dx || a[i].dy != b[i].dy)
                return false;
        return true;
    };
    for (int round = 0; round < 400; ++round) {
        const std::size_t start = random() % text.size();
        const std::size_t length = 1 + random() % std::min<std::size_t>(8, text.size() - start);
        const bool rightToLeft = random() % 4 == 0;
        const auto warm = detail::shapeText(*font, text, start, length, rightToLeft);
        detail::forgetShapedRuns();
        const auto fresh = detail::shapeText(*font, text, start, length, rightToLeft);
        EXPECT_TRUE(same(warm, fresh)) << "round " << round << ": " << start << "+" << length;
        // Warm the cache with neighbours of this run for the next rounds.
        detail::shapeText(*font, text, start, std::max<std::size_t>(1, length - 1), rightToLeft);
        detail::shapeText(*font, text, start > 0 ? start - 1 : 0, length, rightToLeft);
    }
}

// A key is let in on its second sighting; a clear forgets every key, whether few slots were taken since the last
// one (emptied one by one) or more than are tracked (the whole table emptied).
TEST(Doorkeeper, AdmitsAKeyMetTwiceAndForgetsEveryKeyOnClear)
{
    txt::detail::Doorkeeper doorkeeper;
    auto key = [](std::size_t i) { return (std::size_t(i + 1) << 32) | i; }; // slot i, tag i + 1
    for (std::size_t count : { std::size_t(3), std::size_t(64), std::size_t(65), std::size_t(500) }) {
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_FALSE(doorkeeper.admits(key(i))) << count << " keys, key " << i;
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_TRUE(doorkeeper.admits(key(i))) << count << " keys, key " << i;
        doorkeeper.clear();
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_FALSE(doorkeeper.admits(key(i))) << count << " keys after a clear, key " << i;
        doorkeeper.clear();
    }
    // A key that takes an occupied slot is tracked through the slot's first taker.
    doorkeeper.admits(key(7));
    doorkeeper.admits((std::size_t(99) << 32) | 7);
    doorkeeper.clear();
    EXPECT_FALSE(doorkeeper.admits((std::size_t(99) << 32) | 7));
}
