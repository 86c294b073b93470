#include "TextFixture.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/text/TextRanges.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace txt;
using fnd::Range;

// The runs as "text[k]" pieces, k being the value of the attribute "k" (empty when absent).
std::string runs(const AttributedString& text)
{
    std::string out;
    fnd::Index i = 0;
    while (i < text.length()) {
        Range run;
        const auto& attributes = text.attributesAtIndex(i, &run);
        out += text.string().substring(run).utf8() + "[" + attributes.get("k").stringValue().utf8() + "]";
        i = run.max();
    }
    return out;
}

AttributedString sample()
{
    // "aaa" k=1, "bbb" k=2, "ccc" without k
    AttributedString text("aaabbbccc");
    text.addAttribute("k", "1", { 0, 3 });
    text.addAttribute("k", "2", { 3, 3 });
    return text;
}

TEST(AttributedString, RunsFollowEdits)
{
    struct Case {
        const char* name;
        std::function<void(AttributedString&)> edit;
        const char* expected;
    };
    const Case cases[] = {
        { "insert inside a run takes its attributes",
            [](auto& t) {
                t.replaceCharactersInRange({ 4, 0 }, fnd::String("XY"));
            },
            "aaa[1]bXYbb[2]ccc[]" },
        { "insert at a run's start takes the previous run's",
            [](auto& t) {
                t.replaceCharactersInRange({ 3, 0 }, fnd::String("X"));
            },
            "aaaX[1]bbb[2]ccc[]" },
        { "insert at the start takes the first run's",
            [](auto& t) {
                t.replaceCharactersInRange({ 0, 0 }, fnd::String("X"));
            },
            "Xaaa[1]bbb[2]ccc[]" },
        { "replacing across runs takes the first replaced character's",
            [](auto& t) {
                t.replaceCharactersInRange({ 2, 5 }, fnd::String("Z"));
            },
            "aaZ[1]cc[]" },
        { "deleting a whole run merges equal neighbours",
            [](auto& t) {
                t.addAttribute("k", "1", { 6, 3 });
                t.deleteCharactersInRange({ 3, 3 });
            },
            "aaaccc[1]" },
        { "setting equal attributes coalesces",
            [](auto& t) {
                t.setAttributes({ { "k", "2" } }, { 0, 3 });
            },
            "aaabbb[2]ccc[]" },
        { "removing an attribute",
            [](auto& t) {
                t.removeAttribute("k", { 2, 2 });
            },
            "aa[1]ab[]bb[2]ccc[]" },
        { "replacing with attributed text keeps its runs",
            [](auto& t) {
                AttributedString piece("PQ", { { "k", "9" } });
                t.replaceCharactersInRange({ 1, 7 }, piece);
            },
            "a[1]PQ[9]c[]" },
        { "inserting a string into itself", [](auto& t) { t.insertAttributedString(t, 3); },
            "aaaaaa[1]bbb[2]ccc[]bbb[2]ccc[]" },
        { "deleting everything",
            [](auto& t) {
                t.deleteCharactersInRange({ 0, 9 });
            },
            "" },
    };
    for (const auto& c : cases) {
        auto text = sample();
        c.edit(text);
        EXPECT_EQ(runs(text), c.expected) << c.name;
    }
}

TEST(AttributedString, EffectiveAndLongestRanges)
{
    AttributedString text("abcdefgh");
    text.addAttribute("k", "x", { 0, 6 });
    text.addAttribute("other", 1, { 2, 2 }); // splits the runs, not the value of k

    Range range;
    text.attributesAtIndex(3, &range);
    EXPECT_EQ(range, (Range { 2, 2 })) << "a run ends where any attribute changes";
    EXPECT_EQ(text.attributeAtIndex("k", 3, &range).stringValue(), "x");
    EXPECT_EQ(range, (Range { 0, 6 })) << "one attribute's range spans runs where it is equal";
    EXPECT_TRUE(text.attributeAtIndex("k", 7, &range).isNil());
    EXPECT_EQ(range, (Range { 6, 2 }));
    text.attributeAtIndexLongestEffectiveRange("k", 3, &range, { 1, 3 });
    EXPECT_EQ(range, (Range { 1, 3 })) << "cut to the limit";
    text.attributesAtIndexLongestEffectiveRange(0, &range, { 0, 8 });
    EXPECT_EQ(range, (Range { 0, 2 }));

    EXPECT_THROW(text.attributesAtIndex(8), fnd::Exception);
    EXPECT_THROW(text.addAttribute("k", "y", { 6, 3 }), fnd::Exception);
    EXPECT_EQ(runs(text.attributedSubstringFromRange({ 1, 6 })), "b[x]cd[x]ef[x]g[]");
}

TEST(TextRanges, ParagraphAndLineRanges)
{
    const fnd::String text(u"ab\r\ncd\u2028ef\u0085gh\u2029ij\rk\n");
    struct Case {
        Range in;
        Range paragraph;
        Range line;
    };
    const Case cases[] = {
        { { 0, 0 }, { 0, 4 }, { 0, 4 } }, // \r\n is one terminator
        { { 3, 0 }, { 0, 4 }, { 0, 4 } }, // inside \r\n
        { { 5, 0 }, { 4, 9 }, { 4, 3 } }, // U+2028 and U+0085 end lines only
        { { 8, 0 }, { 4, 9 }, { 7, 3 } }, { { 10, 1 }, { 4, 9 }, { 10, 3 } },
        { { 13, 0 }, { 13, 3 }, { 13, 3 } }, // a lone \r
        { { 5, 9 }, { 4, 12 }, { 4, 12 } }, { { 16, 0 }, { 16, 2 }, { 16, 2 } },
        { { 18, 0 }, { 18, 0 }, { 18, 0 } }, // after the last terminator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(paragraphRangeForRange(text, c.in), c.paragraph) << c.in.location << "+" << c.in.length;
        EXPECT_EQ(lineRangeForRange(text, c.in), c.line) << c.in.location << "+" << c.in.length;
    }
}

TEST(TextStorage, EditsGroupIntoOneProcessingAndInvalidateLayout)
{
    test::TextSystem system(AttributedString("hello world", test::withFont()));
    auto& storage = *system.storage;
    int posts = 0;
    unsigned mask = 0;
    Range edited;
    fnd::Index change = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        TextStorageDidProcessEditingNotification, storage.selfValue(), [&](const fnd::Notification&) {
            ++posts;
            mask = storage.editedMask();
            edited = storage.editedRange();
            change = storage.changeInLength();
        });
    EXPECT_EQ(system.manager->numberOfGlyphs(), 11);

    storage.beginEditing();
    storage.replaceCharactersInRange({ 0, 5 }, fnd::String("hi")); // "hi world"
    storage.beginEditing();
    storage.addAttribute("k", 1, { 3, 5 });
    storage.endEditing();
    EXPECT_EQ(posts, 0) << "nested editing waits for the outermost end";
    storage.endEditing();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(mask, TextStorageEdited::Characters | TextStorageEdited::Attributes);
    EXPECT_EQ(edited, (Range { 0, 8 }));
    EXPECT_EQ(change, -3);
    EXPECT_EQ(system.manager->numberOfGlyphs(), 8) << "layout follows the edit";

    storage.appendAttributedString(AttributedString("!"));
    EXPECT_EQ(posts, 2) << "a lone edit processes at once";
    EXPECT_EQ(edited, (Range { 8, 1 }));
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(TextStorage, SurrogatePairsKeepOneGlyphOnTheirFirstUnit)
{
    // U+1D400 MATHEMATICAL BOLD CAPITAL A: outside the basic plane, so two UTF-16 units.
    test::TextSystem system(AttributedString(fnd::String(u"a\U0001D400b"), test::withFont()));
    auto& storage = *system.storage;
    auto& manager = *system.manager;
    ASSERT_EQ(storage.length(), 4);
    storage.addAttribute("k", 1, { 1, 2 });
    Range run;
    storage.attributeAtIndex("k", 2, &run);
    EXPECT_EQ(run, (Range { 1, 2 }));

    ASSERT_EQ(manager.numberOfGlyphs(), 4);
    EXPECT_NE(manager.glyphAtIndex(1), NullGlyph);
    EXPECT_EQ(manager.glyphAtIndex(2), NullGlyph) << "the trailing unit has no glyph";
    EXPECT_DOUBLE_EQ(manager.locationForGlyphAtIndex(2).x, manager.locationForGlyphAtIndex(3).x) << "and no advance";
    EXPECT_GT(manager.locationForGlyphAtIndex(2).x, manager.locationForGlyphAtIndex(1).x);
    // A caret never lands between the two units.
    auto x = manager.locationForGlyphAtIndex(1).x;
    auto right = manager.locationForGlyphAtIndex(3).x;
    EXPECT_EQ(manager.characterIndexForInsertionAtPoint({ x + (right - x) * 0.9, 5 }, *system.container), 3);
    EXPECT_EQ(manager.characterIndexForInsertionAtPoint({ x + (right - x) * 0.1, 5 }, *system.container), 1);
}

}
