#include "TextFixture.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

namespace {

using namespace txt;
using namespace txt::test;

// Rows of a canvas with ink, from the bottom, and how many inked pixels each has.
std::vector<std::pair<int, int>> inkedRows(Canvas& canvas, int width, int height)
{
    std::vector<std::pair<int, int>> rows;
    for (int y = 0; y < height; ++y) {
        int count = 0;
        for (int x = 0; x < width; ++x)
            count += canvas.alpha(x, y) > 128 ? 1 : 0;
        if (count > 0)
            rows.emplace_back(y, count);
    }
    return rows;
}

// The leftmost and rightmost inked columns of a canvas (width and -1 when nothing is inked).
std::pair<int, int> inkedColumns(Canvas& canvas, int width, int height)
{
    int leftmost = width, rightmost = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.alpha(x, y) > 128)
                leftmost = std::min(leftmost, x), rightmost = std::max(rightmost, x);
    return { leftmost, rightmost };
}

TEST(AttributedStringDrawing, TextStandsUprightWithinItsSizeInBothSpaces)
{
    AttributedString text("T", withFont(24));
    auto size = text.size();
    auto font = dejaVu(24);
    EXPECT_NEAR(size.height, font->ascender() - font->descender() + font->leading(), 1e-9);
    EXPECT_NEAR(size.width, advanceOf("T", *font), 1e-9);
    for (bool flipped : { false, true }) {
        Canvas canvas(40, 40, flipped);
        // The point is the text's bottom left in y-up space and its top left in a flipped one: either way the
        // text fills (5, 5) .. (5 + w, 5 + h) as seen from the bottom of the canvas in y-up, or its top when flipped.
        text.drawAtPoint({ 5, flipped ? 40 - 5 - size.height : 5 });
        auto rows = inkedRows(canvas, 40, 40);
        ASSERT_FALSE(rows.empty()) << canvas.picture();
        // The T's bar is its top: the highest inked rows are the widest.
        EXPECT_GT(rows.back().second, 3 * rows.front().second) << "flipped " << flipped << "\n" << canvas.picture();
        // The baseline sits ascender below the top of the text.
        double baseline = 5 + size.height - font->ascender();
        EXPECT_NEAR(rows.front().first, baseline, 1.0) << canvas.picture();
        EXPECT_NEAR(rows.back().first + 1, baseline + font->capHeight(), 1.0) << canvas.picture();
    }
}

TEST(AttributedStringDrawing, SizeAndPointDrawingIgnoreTheAlignment)
{
    // With nothing to align in, a centred or right-aligned title is as wide as its glyphs, and drawn at a point it
    // starts at that point.
    auto font = dejaVu(12);
    const double width = advanceOf("T1", *font);
    for (auto alignment :
        { TextAlignment::Left, TextAlignment::Center, TextAlignment::Right, TextAlignment::Natural }) {
        auto style = ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        style->setAlignment(alignment);
        AttributedString text("T1", withStyle(style));
        EXPECT_NEAR(text.size().width, width, 1e-9) << int(alignment);
        EXPECT_NEAR(text.boundingRectWithSize({ 0, 0 }).width(), width, 1e-9) << int(alignment);
        Canvas canvas(60, 30, true);
        text.drawAtPoint({ 10, 5 });
        const auto [leftmost, rightmost] = inkedColumns(canvas, 60, 30);
        EXPECT_GE(leftmost, 10) << int(alignment) << "\n" << canvas.picture();
        EXPECT_LE(rightmost, 10 + int(width) + 1) << int(alignment) << "\n" << canvas.picture();
    }
    // Given a width, a centred line still centres in it.
    auto centred = ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    centred->setAlignment(TextAlignment::Center);
    AttributedString text("T1", withStyle(centred));
    EXPECT_NEAR(text.boundingRectWithSize({ 100, 0 }).width(), 50 + width / 2, 1e-9);
}

// Right-to-left text in its natural alignment would stand at the far right of the unbounded line it is measured in:
// its size would be the line's whole width and, drawn at a point, it would land out of sight.
TEST(AttributedStringDrawing, RightToLeftTextIsMeasuredAndDrawnFromItsPoint)
{
    auto font = dejaVu(12);
    const char* shalom = "\u05E9\u05DC\u05D5\u05DD";
    const double width = advanceOf(shalom, *font);
    ASSERT_GT(width, 20);
    auto natural = ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    natural->setAlignment(TextAlignment::Natural);
    for (const auto& text : { AttributedString(shalom, withFont(12)), AttributedString(shalom, withStyle(natural)) }) {
        EXPECT_NEAR(text.size().width, width, 1e-9);
        EXPECT_NEAR(text.boundingRectWithSize({ 0, 0 }).width(), width, 1e-9);
        Canvas canvas(60, 30, true);
        text.drawAtPoint({ 10, 5 });
        const auto [leftmost, rightmost] = inkedColumns(canvas, 60, 30);
        EXPECT_GE(leftmost, 10) << canvas.picture();
        EXPECT_LE(rightmost, 10 + int(width) + 1) << canvas.picture();
        EXPECT_GT(rightmost, 10 + int(width) / 2) << canvas.picture();
    }
}

TEST(AttributedStringDrawing, DrawingInARectWrapsClipsAndEndsWithAnEllipsis)
{
    auto font = dejaVu(12);
    AttributedString text("0000 1111 2222 3333 4444 5555", withFont(12));
    const double width = advanceOf("0000 1111", *font) + 2;
    EXPECT_NEAR(text.boundingRectWithSize({ width, 0 }).height(), 3 * (font->ascender() - font->descender()), 1e-9)
        << "three lines of two words";

    // Room for one line: the first line loses its second word to the ellipsis.
    const double lineHeight = font->ascender() - font->descender();
    Canvas canvas(100, 40, true);
    text.drawInRect({ 10, 10, width, lineHeight + 1 });
    Canvas expected(100, 40, true);
    AttributedString("0000 1111", withFont(12)).drawAtPoint({ 10, 10 });
    int cut = 0, same = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            int a = canvas.alpha(x, y);
            EXPECT_TRUE(a == 0 || (x >= 10 && x < 10 + width + 1)) << "ink outside the rect at " << x << "," << y;
            if (x < 10 + advanceOf("0000 ", *font))
                same += std::abs(a - expected.alpha(x, y)) > 64 ? 1 : 0;
            else
                cut += std::abs(a - expected.alpha(x, y)) > 64 ? 1 : 0;
        }
    EXPECT_EQ(same, 0) << "the first word is drawn as is\n" << canvas.picture();
    EXPECT_GT(cut, 0) << "the second word gives way to the ellipsis\n" << canvas.picture();
}

// The text system that measures and draws strings is shared and long-lived: a font stays alive only while a string
// that uses it is laid out, however many strings with fonts of their own went through before.
TEST(AttributedStringDrawing, MeasuringKeepsNoFontOfAnEarlierString)
{
    std::weak_ptr<gfx::Font> first;
    {
        auto font = gfx::Font::fontWithName("DejaVu Sans", 13);
        first = font;
        EXPECT_GT(AttributedString("first", { { FontAttributeName, fnd::Value(font) } }).size().width, 0);
    }
    for (double size : { 9.0, 10.0, 11.0 })
        (void)AttributedString(
            "later", { { FontAttributeName, fnd::Value(gfx::Font::fontWithName("DejaVu Sans", size)) } })
            .size();
    EXPECT_TRUE(first.expired()) << "the first string's font outlived it";
}
}
