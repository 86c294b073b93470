#include "TextFixture.h"

#include "platform/text/detail/ParagraphCache.h"

#include <gtest/gtest.h>

#include <random>

using namespace txt;
using txt::test::TextSystem;

namespace {

// Compares everything a caller can ask of two layouts of the same text.
void expectSameLayout(
    LayoutManager& edited, TextContainer& editedContainer, const AttributedString& text, const std::string& context)
{
    // Laid out from nothing: no paragraph comes from the cache the edited layout may have used.
    txt::detail::ParagraphCache::forThread().clear();
    TextSystem fresh(text, editedContainer.containerSize());
    fresh.manager->setTypesetter(edited.typesetter());
    ASSERT_EQ(edited.numberOfGlyphs(), fresh.manager->numberOfGlyphs()) << context;
    for (fnd::Index i = 0; i < edited.numberOfGlyphs(); ++i) {
        fnd::Range a, b;
        auto ra = edited.lineFragmentRectForGlyphAtIndex(i, &a);
        auto rb = fresh.manager->lineFragmentRectForGlyphAtIndex(i, &b);
        ASSERT_EQ(ra, rb) << context << " glyph " << i;
        ASSERT_EQ(a, b) << context << " glyph " << i;
        ASSERT_EQ(edited.locationForGlyphAtIndex(i), fresh.manager->locationForGlyphAtIndex(i)) << context << " " << i;
        ASSERT_EQ(edited.glyphAtIndex(i), fresh.manager->glyphAtIndex(i)) << context << " glyph " << i;
    }
    EXPECT_EQ(
        edited.usedRectForTextContainer(editedContainer), fresh.manager->usedRectForTextContainer(*fresh.container))
        << context;
    EXPECT_EQ(edited.extraLineFragmentRect(), fresh.manager->extraLineFragmentRect()) << context;
    gfx::Rect middle { 0, 40, 300, 30 };
    EXPECT_EQ(edited.glyphRangeForBoundingRect(middle, editedContainer),
        fresh.manager->glyphRangeForBoundingRect(middle, *fresh.container))
        << context;
    gfx::Point probe { 37, 51 };
    EXPECT_EQ(edited.characterIndexForInsertionAtPoint(probe, editedContainer),
        fresh.manager->characterIndexForInsertionAtPoint(probe, *fresh.container))
        << context;
}

}

TEST(IncrementalLayout, RandomEditsLayOutAsAFreshLayoutWould)
{
    // Line breaks of every kind, wrapping words, two fonts, right-to-left text and a surrogate pair.
    AttributedString start(u"First line\nsecond line that wraps around the narrow container\r\nthird\rfourth "
                           u"\u05E9\u05DC\u05D5\u05DD\u2028fifth \U0001F600 sixth\n",
        txt::test::withFont(12));
    TextSystem system(start, { 150, 1e7 });
    system.manager->numberOfGlyphs(); // laid out once
    std::mt19937 random(7);
    const std::u16string pieces[] = { u"x", u"word ", u"\n", u"\r", u"\r\n", u"\u2028", u"\u05D0", u"" };
    for (int step = 0; step < 300; ++step) {
        auto n = system.storage->length();
        std::uniform_int_distribution<fnd::Index> at(0, n);
        auto location = at(random);
        auto length = std::min<fnd::Index>(n - location, random() % 4);
        int kind = static_cast<int>(random() % 5);
        std::string what;
        if (kind == 4 && length > 0) {
            system.storage->addAttribute(FontAttributeName, txt::test::dejaVu(16), { location, length });
            what = "font";
        } else {
            const auto& piece = pieces[random() % std::size(pieces)];
            system.storage->replaceCharactersInRange({ location, length }, fnd::String(piece));
            what = "replace";
        }
        expectSameLayout(*system.manager, *system.container, *system.storage,
            "step " + std::to_string(step) + " " + what + " at " + std::to_string(location));
        if (HasFatalFailure())
            return;
    }
    // Down to nothing and back.
    system.storage->deleteCharactersInRange({ 0, system.storage->length() });
    expectSameLayout(*system.manager, *system.container, *system.storage, "emptied");
    system.storage->replaceCharactersInRange({ 0, 0 }, fnd::String(u"again\n"));
    expectSameLayout(*system.manager, *system.container, *system.storage, "refilled");
}

TEST(IncrementalLayout, TypingLaysOutOnlyTheEditedParagraph)
{
    std::u16string text;
    for (int i = 0; i < 2000; ++i)
        text += u"A line of text in a long document\n";
    TextSystem system(AttributedString(fnd::String(text), txt::test::withFont(12)), { 400, 1e7 });
    auto height = system.manager->usedRectForTextContainer(*system.container).height();
    auto before = system.manager->paragraphsLaidOut();
    EXPECT_EQ(before, 2000u);
    // Typing in the middle, then a line break there: the paragraphs below move down by one line.
    fnd::Index middle = 1000 * 34 + 5;
    auto below = system.manager->lineFragmentRectForGlyphAtIndex(middle + 34 * 10);
    system.storage->replaceCharactersInRange({ middle, 0 }, "x");
    system.manager->usedRectForTextContainer(*system.container);
    EXPECT_EQ(system.manager->paragraphsLaidOut() - before, 1u);
    system.storage->replaceCharactersInRange({ middle, 0 }, "\n");
    EXPECT_EQ(system.manager->paragraphsLaidOut() - before, 3u) << "the split paragraph becomes two";
    auto lineHeight = system.manager->defaultLineHeightForFont(*txt::test::dejaVu(12));
    EXPECT_DOUBLE_EQ(system.manager->usedRectForTextContainer(*system.container).height(), height + lineHeight);
    EXPECT_DOUBLE_EQ(
        system.manager->lineFragmentRectForGlyphAtIndex(middle + 2 + 34 * 10).minY(), below.minY() + lineHeight);
}

TEST(IncrementalLayout, CustomTypesettersAndFullContainersLayOutEverythingAgain)
{
    struct Indenting : Typesetter {
        void willSetLineFragmentRect(gfx::Rect& lineRect, fnd::Range, gfx::Rect& usedRect, double&) override
        {
            lineRect.origin.y += 2;
            usedRect.origin.y += 2;
        }
    };
    TextSystem system(AttributedString("one\ntwo\nthree\n", txt::test::withFont(12)), { 200, 1e7 });
    system.manager->setTypesetter(std::make_shared<Indenting>());
    auto before = system.manager->lineFragmentRectForGlyphAtIndex(10);
    system.storage->replaceCharactersInRange({ 0, 0 }, "zero\n");
    EXPECT_DOUBLE_EQ(system.manager->lineFragmentRectForGlyphAtIndex(15).minY(), before.minY() + before.height() + 2);
    expectSameLayout(*system.manager, *system.container, *system.storage, "typesetter");

    // A container that holds two lines: what does not fit stays without a line, before and after the edit.
    TextSystem small(AttributedString("one\ntwo\nthree\n", txt::test::withFont(12)), { 200, 30 });
    EXPECT_EQ(small.manager->glyphRangeForTextContainer(*small.container), (fnd::Range { 0, 8 }));
    small.storage->replaceCharactersInRange({ 0, 4 }, "");
    EXPECT_EQ(small.manager->glyphRangeForTextContainer(*small.container), (fnd::Range { 0, 10 }));
    expectSameLayout(*small.manager, *small.container, *small.storage, "small container");
}

TEST(IncrementalLayout, ExtraLineFragmentFollowsAFinalBreak)
{
    TextSystem system(AttributedString("ab", txt::test::withFont(12)), { 200, 1e7 });
    EXPECT_TRUE(system.manager->extraLineFragmentRect().isEmpty());
    system.storage->replaceCharactersInRange({ 2, 0 }, "\n");
    auto extra = system.manager->extraLineFragmentRect();
    auto first = system.manager->lineFragmentRectForGlyphAtIndex(0);
    EXPECT_DOUBLE_EQ(extra.minY(), first.maxY());
    EXPECT_DOUBLE_EQ(extra.height(), first.height());
    // The caret at the end stands on the extra line.
    auto caret = system.manager->rectsForCharacterRange({ 3, 0 }, *system.container);
    ASSERT_EQ(caret.size(), 1u);
    EXPECT_DOUBLE_EQ(caret[0].minY(), extra.minY());
    EXPECT_DOUBLE_EQ(system.manager->usedRectForTextContainer(*system.container).maxY(), first.maxY());
}

namespace {

// Indents every fragment; it says whether its fragments look back at earlier lines.
class IncrementalLayoutIndentingTypesetter : public Typesetter {
public:
    explicit IncrementalLayoutIndentingTypesetter(bool looksBack)
        : m_looksBack(looksBack)
    {
    }
    void willSetLineFragmentRect(gfx::Rect& lineRect, fnd::Range, gfx::Rect&, double&) override
    {
        lineRect.origin.x += 5;
    }
    bool lineFragmentsDependOnEarlierLines() const override { return m_looksBack; }

private:
    bool m_looksBack;
};

}

TEST(IncrementalLayout, ATypesetterDecidesWhetherEditsLayOutEverything)
{
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"A line\n";
    for (bool looksBack : { false, true }) {
        TextSystem system(AttributedString(fnd::String(text), txt::test::withFont(12)), { 400, 1e7 });
        system.manager->setTypesetter(std::make_shared<IncrementalLayoutIndentingTypesetter>(looksBack));
        system.manager->usedRectForTextContainer(*system.container);
        auto before = system.manager->paragraphsLaidOut();
        system.storage->replaceCharactersInRange({ 7 * 50 + 2, 0 }, "x");
        system.manager->usedRectForTextContainer(*system.container);
        EXPECT_EQ(system.manager->paragraphsLaidOut() - before, looksBack ? 100u : 1u) << looksBack;
        EXPECT_EQ(system.manager->lineFragmentRectForGlyphAtIndex(7 * 90).minX(), 5) << "the hook's work stays";
        expectSameLayout(*system.manager, *system.container, *system.storage, looksBack ? "looks back" : "local");
    }
    // A typesetter subclass that does not say otherwise is taken to look back.
    class Plain : public Typesetter { };
    EXPECT_TRUE(Plain().lineFragmentsDependOnEarlierLines());
    EXPECT_FALSE(Typesetter().lineFragmentsDependOnEarlierLines());
}
