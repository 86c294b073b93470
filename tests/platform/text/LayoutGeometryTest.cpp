#include "TextFixture.h"

#include "platform/text/TextAttachment.h"

#include <gtest/gtest.h>

namespace {

using namespace txt;
using namespace txt::test;
using fnd::Range;

TEST(LayoutGeometry, OneFontLineHasTheDefaultLineHeightAndItsAscenderAsBaseline)
{
    for (double size : { 10.0, 12.0, 31.5 }) {
        TextSystem system(AttributedString("012345678901234", withFont(size)));
        auto& manager = *system.manager;
        auto font = dejaVu(size);
        Range range;
        auto fragment = manager.lineFragmentRectForGlyphAtIndex(3, &range);
        EXPECT_EQ(range, (Range { 0, 15 }));
        EXPECT_DOUBLE_EQ(fragment.height(), manager.defaultLineHeightForFont(*font)) << size;
        EXPECT_DOUBLE_EQ(fragment.minY(), 0);
        for (fnd::Index i : { 0, 7, 14 })
            EXPECT_DOUBLE_EQ(manager.locationForGlyphAtIndex(i).y, font->ascender()) << size << " glyph " << i;
        // Pen positions are the sums of the advances (digits have no kerning pairs).
        EXPECT_NEAR(manager.locationForGlyphAtIndex(14).x, advanceOf("01234567890123", *font), 1e-9) << size;
        auto used = manager.usedRectForTextContainer(*system.container);
        EXPECT_NEAR(used.width(), advanceOf("012345678901234", *font), 1e-9);
        EXPECT_DOUBLE_EQ(used.height(), fragment.height());
    }
}

TEST(LayoutGeometry, LinesWrapAtTheContainerWidthAndStack)
{
    auto font = dejaVu();
    double width = advanceOf("aaa bbb", *font) + 1; // "aaa bbb " fits with its space hanging; "ccc" does not
    TextSystem system(AttributedString("aaa bbb ccc\ndd", withFont()), { width, 1e7 });
    auto& manager = *system.manager;
    const double lineHeight = manager.defaultLineHeightForFont(*font);
    struct Case {
        fnd::Index glyph;
        Range line;
        double y;
        double x;
    };
    const Case cases[] = {
        { 0, { 0, 8 }, 0, 0 },
        { 6, { 0, 8 }, 0, advanceOf("aaa bb", *font) },
        { 8, { 8, 4 }, lineHeight, 0 }, // the word that did not fit, with the paragraph's terminator
        { 11, { 8, 4 }, lineHeight, advanceOf("ccc", *font) },
        { 12, { 12, 2 }, 2 * lineHeight, 0 },
    };
    for (const auto& c : cases) {
        Range range;
        auto fragment = manager.lineFragmentRectForGlyphAtIndex(c.glyph, &range);
        EXPECT_EQ(range, c.line) << c.glyph;
        EXPECT_NEAR(fragment.minY(), c.y, 1e-9) << c.glyph;
        EXPECT_DOUBLE_EQ(fragment.width(), width);
        EXPECT_NEAR(manager.locationForGlyphAtIndex(c.glyph).x, c.x, 1e-9) << c.glyph;
    }
    EXPECT_EQ(manager.glyphRangeForBoundingRect({ 0, lineHeight + 1, 10, 1 }, *system.container), (Range { 8, 4 }));
    auto rects = manager.rectsForCharacterRange({ 5, 5 }, *system.container);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_NEAR(rects[0].minX(), advanceOf("aaa b", *font), 1e-9);
    EXPECT_NEAR(rects[1].width(), advanceOf("cc", *font), 1e-9);
    auto caret = manager.rectsForCharacterRange({ 9, 0 }, *system.container);
    ASSERT_EQ(caret.size(), 1u);
    EXPECT_EQ(caret[0], (gfx::Rect { advanceOf("c", *font), lineHeight, 0, lineHeight }));
    EXPECT_EQ(manager.glyphIndexForPoint({ advanceOf("c", *font) + 1, lineHeight + 2 }, *system.container), 9);
}

TEST(LayoutGeometry, CharacterWrappingBreaksInsideWordsAndPaddingInsetsLines)
{
    auto font = dejaVu();
    auto style = ParagraphStyle::defaultParagraphStyle();
    style->setLineBreakMode(LineBreakMode::ByCharWrapping);
    double width = advanceOf("abcd", *font) + 10 + 1;
    TextSystem system(AttributedString("abcdefgh", withStyle(style)), { width, 1e7 });
    system.container->setLineFragmentPadding(5);
    Range range;
    system.manager->lineFragmentRectForGlyphAtIndex(0, &range);
    EXPECT_EQ(range, (Range { 0, 4 }));
    EXPECT_DOUBLE_EQ(system.manager->locationForGlyphAtIndex(0).x, 5);
    EXPECT_DOUBLE_EQ(system.manager->lineFragmentUsedRectForGlyphAtIndex(0).width(), advanceOf("abcd", *font) + 10);
}

TEST(LayoutGeometry, TabStopsAlignTheFollowingText)
{
    auto font = dejaVu();
    auto style = ParagraphStyle::defaultParagraphStyle();
    style->setTabStops({ { TextTabType::Right, 150 }, { TextTabType::Left, 160 } });
    style->setDefaultTabInterval(50);
    TextSystem system(AttributedString("Name\tValue\tx\tlast", withStyle(style)));
    auto& manager = *system.manager;
    // A right tab puts the end of the text after it at the stop (where the next tab starts); a left tab its start.
    EXPECT_NEAR(manager.locationForGlyphAtIndex(10).x, 150, 1e-9);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(11).x, 160, 1e-9);
    // Past the last stop, tabs go to multiples of the default interval.
    EXPECT_NEAR(manager.locationForGlyphAtIndex(13).x, 200, 1e-9);
}

TEST(LayoutGeometry, AlignmentPlacesLinesInTheirWidth)
{
    auto font = dejaVu();
    const double width = 200;
    auto styled = [&](TextAlignment alignment) {
        auto style = ParagraphStyle::defaultParagraphStyle();
        style->setAlignment(alignment);
        return withStyle(style);
    };
    const double word = advanceOf("2024", *font);
    struct Case {
        TextAlignment alignment;
        double firstX;
    };
    const Case cases[] = {
        { TextAlignment::Left, 0 }, { TextAlignment::Natural, 0 }, { TextAlignment::Right, width - word },
        { TextAlignment::Center, (width - word) / 2 }, { TextAlignment::Justified, 0 }, // a last line is not justified
    };
    for (const auto& c : cases) {
        TextSystem system(AttributedString("2024", styled(c.alignment)), { width, 1e7 });
        EXPECT_NEAR(system.manager->locationForGlyphAtIndex(0).x, c.firstX, 1e-9) << int(c.alignment);
    }

    // A justified line that wraps spreads the extra room over its inner spaces: its last glyph ends at the edge.
    TextSystem justified(
        AttributedString("11 22 33 44 55 66 77 88 99 00 11 22", styled(TextAlignment::Justified)), { 100, 1e7 });
    Range first;
    justified.manager->lineFragmentRectForGlyphAtIndex(0, &first);
    fnd::Index last = first.max() - 2; // before the hanging space
    EXPECT_NEAR(justified.manager->locationForGlyphAtIndex(last).x + advanceOf("1", *font), 100, 1e-9);
}

TEST(LayoutGeometry, TruncationShowsAnEllipsisWithinTheWidth)
{
    auto font = dejaVu();
    const double width = 60;
    const auto ellipsis = font->glyphForCharacter(0x2026);
    struct Case {
        LineBreakMode mode;
        fnd::Index ellipsisAt;
    };
    const fnd::String text("abcdefghijklmnopqrstuvwxyz");
    for (auto mode : { LineBreakMode::ByTruncatingTail, LineBreakMode::ByTruncatingHead,
             LineBreakMode::ByTruncatingMiddle, LineBreakMode::ByClipping }) {
        auto style = ParagraphStyle::defaultParagraphStyle();
        style->setLineBreakMode(mode);
        TextSystem system(AttributedString(text, withStyle(style)), { width, 1e7 });
        auto& manager = *system.manager;
        Range line;
        manager.lineFragmentRectForGlyphAtIndex(0, &line);
        EXPECT_EQ(line, (Range { 0, 26 })) << "one line, no wrapping, mode " << int(mode);
        int ellipses = 0, shown = 0;
        for (fnd::Index i = 0; i < 26; ++i) {
            ellipses += manager.glyphAtIndex(i) == ellipsis ? 1 : 0;
            shown += manager.glyphAtIndex(i) != NullGlyph ? 1 : 0;
        }
        auto used = manager.usedRectForTextContainer(*system.container);
        if (mode == LineBreakMode::ByClipping) {
            EXPECT_EQ(ellipses, 0);
            EXPECT_EQ(shown, 26);
            EXPECT_GT(used.width(), width);
            continue;
        }
        EXPECT_EQ(ellipses, 1) << int(mode);
        EXPECT_LE(used.width(), width + 1e-9) << int(mode);
        EXPECT_GT(used.width(), width - 2 * font->advancementForGlyph(font->glyphForCharacter('m')).width);
        EXPECT_LT(shown, 26);
    }
    auto style = ParagraphStyle::defaultParagraphStyle();
    style->setLineBreakMode(LineBreakMode::ByTruncatingTail);
    TextSystem tail(AttributedString(text, withStyle(style)), { width, 1e7 });
    EXPECT_EQ(tail.manager->glyphAtIndex(0), font->glyphForCharacter('a')) << "the tail mode keeps the start";
    TextSystem head(AttributedString(text, withStyle([] {
        auto s = ParagraphStyle::defaultParagraphStyle();
        s->setLineBreakMode(LineBreakMode::ByTruncatingHead);
        return s;
    }())),
        { width, 1e7 });
    EXPECT_EQ(head.manager->glyphAtIndex(25), font->glyphForCharacter('z')) << "the head mode keeps the end";
}

class RecordingManager : public LayoutManager {
public:
    std::vector<std::pair<gfx::Rect, fnd::Index>> cells;
    void showAttachmentCell(const std::shared_ptr<TextAttachmentCell>&, const gfx::Rect& rect, fnd::Index i) override
    {
        cells.emplace_back(rect, i);
    }
};

TEST(LayoutGeometry, AttachmentsReserveTheirCellFrame)
{
    auto font = dejaVu();
    auto cell = std::make_shared<TextAttachmentCell>(gfx::Size { 20, 30 }, gfx::Point { 0, -4 });
    AttributedString text("ab", withFont());
    AttributedString object(fnd::String(std::u16string(1, AttachmentCharacter)), withFont());
    object.addAttribute(AttachmentAttributeName, std::make_shared<TextAttachment>(cell), { 0, 1 });
    text.insertAttributedString(object, 1); // "a", attachment, "b"
    TextSystem<RecordingManager> system(text);
    auto& manager = *system.manager;

    // The cell rises 26 above the baseline, higher than the font's ascender, and hangs 4 below it.
    const double ascent = 26, descent = std::max(4.0, -font->descender());
    EXPECT_DOUBLE_EQ(manager.lineFragmentRectForGlyphAtIndex(0).height(), ascent + descent + font->leading());
    EXPECT_DOUBLE_EQ(manager.locationForGlyphAtIndex(0).y, ascent);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(2).x, advanceOf("a", *font) + 20, 1e-9);
    EXPECT_EQ(manager.attachmentSizeForGlyphAtIndex(1), (gfx::Size { 20, 30 }));
    EXPECT_EQ(manager.glyphAtIndex(1), NullGlyph);

    manager.drawGlyphsForGlyphRange({ 0, 3 }, { 10, 100 }); // no context: treated as flipped
    ASSERT_EQ(manager.cells.size(), 1u);
    EXPECT_EQ(manager.cells[0].second, 1);
    EXPECT_NEAR(manager.cells[0].first.minX(), 10 + advanceOf("a", *font), 1e-9);
    EXPECT_DOUBLE_EQ(manager.cells[0].first.minY(), 100 + ascent - 26);
    EXPECT_EQ(manager.cells[0].first.size, (gfx::Size { 20, 30 }));
}

TEST(LayoutGeometry, ContainersFillInTurnAndMoveBetweenLayoutManagers)
{
    auto font = dejaVu();
    const double lineHeight = font->ascender() - font->descender() + font->leading();
    TextSystem system(AttributedString("one\ntwo\nthree\nfour", withFont()), { 100, lineHeight * 2.5 });
    auto second = std::make_shared<TextContainer>(gfx::Size { 100, 1e7 });
    system.manager->addTextContainer(second);
    EXPECT_EQ(system.manager->glyphRangeForTextContainer(*system.container), (Range { 0, 8 }));
    EXPECT_EQ(system.manager->glyphRangeForTextContainer(*second), (Range { 8, 10 }));
    EXPECT_DOUBLE_EQ(system.manager->lineFragmentRectForGlyphAtIndex(8).minY(), 0) << "the second starts at its top";

    // Another layout manager on the same storage takes the second container over.
    auto other = fnd::makeObject<LayoutManager>();
    system.storage->addLayoutManager(other);
    other->addTextContainer(second);
    EXPECT_EQ(second->layoutManager(), other);
    EXPECT_EQ(system.manager->textContainers().size(), 1u);
    EXPECT_EQ(other->glyphRangeForTextContainer(*second), (Range { 0, 18 }));
    EXPECT_EQ(system.manager->glyphRangeForTextContainer(*system.container), (Range { 0, 8 }));
    EXPECT_EQ(system.storage->layoutManagers().size(), 2u);
}

class ShiftingTypesetter : public Typesetter {
public:
    void willSetLineFragmentRect(gfx::Rect& lineRect, Range, gfx::Rect& usedRect, double&) override
    {
        lineRect.origin.y += 10;
        usedRect.origin.y += 10;
        lineRect.origin.x += 3;
    }
};

TEST(LayoutGeometry, TypesetterHookMovesFragmentsAndLaterLinesFollow)
{
    auto font = dejaVu();
    const double lineHeight = font->ascender() - font->descender() + font->leading();
    TextSystem system(AttributedString("one\ntwo", withFont()));
    system.manager->setTypesetter(std::make_shared<ShiftingTypesetter>());
    EXPECT_EQ(system.manager->lineFragmentRectForGlyphAtIndex(0), (gfx::Rect { 3, 10, 1e7, lineHeight }));
    EXPECT_DOUBLE_EQ(system.manager->lineFragmentRectForGlyphAtIndex(4).minY(), 10 + lineHeight + 10);
    EXPECT_DOUBLE_EQ(
        system.manager->typesetter()->baselineOffsetInLayoutManager(*system.manager, 4), lineHeight - font->ascender());
    EXPECT_DOUBLE_EQ(system.manager->boundingRectForGlyphRange({ 4, 1 }, *system.container).minX(), 3);
}

TEST(LayoutGeometry, MissingCharactersComeFromAFallbackFont)
{
    // DejaVu Sans Mono has no Hebrew letters; DejaVu Sans has.
    auto mono = gfx::Font::fontWithName("DejaVu Sans Mono", 12);
    ASSERT_EQ(mono->glyphForCharacter(0x05D0), 0u);
    TextSystem system(AttributedString(fnd::String(u"a\u05D0"), { { FontAttributeName, mono } }));
    auto fallback = system.manager->fontForGlyphAtIndex(1);
    EXPECT_NE(fallback->familyName(), mono->familyName());
    EXPECT_NE(fallback->glyphForCharacter(0x05D0), 0u);
    EXPECT_EQ(system.manager->glyphAtIndex(1), fallback->glyphForCharacter(0x05D0));
    EXPECT_EQ(system.manager->bidiLevelForGlyphAtIndex(1), 1);
    EXPECT_DOUBLE_EQ(fallback->pointSize(), 12);
}

}
