#include "frameworks/FoundationExtensions/ZORNSAttributedStringExtension.h"
#include "frameworks/FoundationExtensions/ZORNSMutableAttributedStringExtensions.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/FoundationExtensions/ZORNSTextStorageExtensions.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/TextStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

using fnd::String;
using namespace ZORNSAttributedStringExtension;

std::shared_ptr<gfx::Font> dejaVu(double size = 12)
{
    return gfx::Font::fontWithName("DejaVu Sans", size);
}

txt::Attributes withFont(double size = 12)
{
    return { { txt::FontAttributeName, dejaVu(size) } };
}

// A bitmap made current, readable as rows from the top, and written as a PNG for a person to look at.
class Sheet {
public:
    Sheet(int width, int height, bool flipped = true)
        : m_rep(gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied))
        , m_context(gfx::GraphicsContext::createForBitmap(m_rep->pixelBuffer(), {}, flipped))
        , m_scope(m_context)
        , m_width(width)
        , m_height(height)
    {
    }

    // Alpha of the pixel in column x, row y from the top.
    int alpha(int x, int y) { return gfx::alphaOf(m_rep->pixelBuffer().pixel(x, y)); }
    bool inked(int x, int y) { return alpha(x, y) > 96; }

    // Inked columns and rows: first and one past the last, or nullopt without ink.
    std::optional<std::pair<int, int>> inkedColumns(int fromX = 0, int toX = -1)
    {
        int first = -1, last = -1;
        for (int x = fromX; x < (toX < 0 ? m_width : toX); ++x)
            for (int y = 0; y < m_height; ++y)
                if (inked(x, y)) {
                    first = first < 0 ? x : first;
                    last = x;
                }
        return first < 0 ? std::nullopt : std::optional(std::pair { first, last + 1 });
    }
    std::optional<std::pair<int, int>> inkedRows(int fromX = 0, int toX = -1)
    {
        int first = -1, last = -1;
        for (int y = 0; y < m_height; ++y)
            for (int x = fromX; x < (toX < 0 ? m_width : toX); ++x)
                if (inked(x, y)) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        return first < 0 ? std::nullopt : std::optional(std::pair { first, last + 1 });
    }
    // Pixels that differ clearly from the other sheet's in the columns.
    int differences(Sheet& other, int fromX, int toX)
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = fromX; x < toX; ++x)
                count += std::abs(alpha(x, y) - other.alpha(x, y)) > 96 ? 1 : 0;
        return count;
    }

    // Written four times enlarged on white, so the drawing can be looked at.
    void save(const std::string& name)
    {
        constexpr int Scale = 4;
        auto view = gfx::BitmapImageRep::create(m_width * Scale, m_height * Scale, gfx::BitmapLayout::RGB);
        for (int y = 0; y < m_height * Scale; ++y)
            for (int x = 0; x < m_width * Scale; ++x) {
                auto p = m_rep->pixelBuffer().pixel(x / Scale, y / Scale);
                unsigned a = gfx::alphaOf(p);
                const unsigned rgb[]
                    = { ((p >> 16) & 0xFF) + 255 - a, ((p >> 8) & 0xFF) + 255 - a, (p & 0xFF) + 255 - a };
                view->setPixel(rgb, x, y);
            }
        auto folder = std::filesystem::temp_directory_path() / "attributed-drawing";
        std::filesystem::create_directories(folder);
        auto path = folder / (name + ".png");
        ASSERT_TRUE(view->writeToFile(String(path.string()), gfx::BitmapImageFileType::PNG));
        std::cout << "drawn: " << path.string() << "\n";
    }

private:
    std::shared_ptr<gfx::BitmapImageRep> m_rep;
    std::shared_ptr<gfx::GraphicsContext> m_context;
    gfx::CurrentContextScope m_scope;
    int m_width, m_height;
};

double ellipsisWidth(double size = 12)
{
    auto font = dejaVu(size);
    return font->advancementForGlyph(font->glyphForCharacter(0x2026)).width;
}

const String Long = "The quick brown fox jumps over the lazy dog";
// Hebrew: "hello world, this is a very long text".
const String LongRightToLeft
    = "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, \u05D6\u05D4 \u05D8\u05E7\u05E1\u05D8 "
      "\u05D0\u05E8\u05D5\u05DA \u05DE\u05D0\u05D5\u05D3 \u05DE\u05D0\u05D5\u05D3";

TEST(AttributedStringExtension, AShortLineIsAlignedAsAskedWithoutEllipsis)
{
    const gfx::Rect rect { 10, 4, 180, 20 };
    txt::AttributedString text("Hello", withFont());
    std::optional<std::pair<int, int>> extents[3];
    for (int alignment : { Left, Right, Centre }) {
        Sheet sheet(200, 28);
        drawInRectangle(text, rect, alignment, false);
        extents[alignment] = sheet.inkedColumns();
        ASSERT_TRUE(extents[alignment]) << "alignment " << alignment;
    }
    EXPECT_NEAR(extents[Left]->first, 10, 2);
    EXPECT_NEAR(extents[Right]->second, 190, 2);
    EXPECT_NEAR((extents[Centre]->first + extents[Centre]->second) / 2.0, 100, 2);
    // The same glyphs each time: nothing was cut or added.
    for (int alignment : { Right, Centre })
        EXPECT_NEAR(
            extents[alignment]->second - extents[alignment]->first, extents[Left]->second - extents[Left]->first, 1);

    Sheet empty(200, 28);
    drawInRectangle(txt::AttributedString("", withFont()), rect, Left, false);
    EXPECT_EQ(empty.inkedColumns(), std::nullopt);
}

// The ellipsis shows as three dots on the baseline: ink only in the lowest few rows of the line. Callers leave out
// the column next to the kept letters: glyphs stand on whole pixels, so a letter's overhang may reach into it.
void expectDotsOnly(Sheet& sheet, int fromX, int toX, const std::string& what)
{
    auto dots = sheet.inkedRows(fromX, toX);
    ASSERT_TRUE(dots) << what << ": no ellipsis";
    EXPECT_LE(dots->second - dots->first, 3) << what << ": letters where the ellipsis should be";
    auto letters = sheet.inkedRows();
    EXPECT_GE(letters->second - letters->first, 8) << what;
}

TEST(AttributedStringExtension, ALongLeftToRightLineKeepsItsStartAndEndsInAnEllipsis)
{
    const gfx::Rect rect { 10, 4, 120, 20 };
    txt::AttributedString text(Long, withFont());
    const int e = static_cast<int>(std::ceil(ellipsisWidth()));
    for (bool flipped : { true, false }) {
        Sheet sheet(200, 28, flipped);
        drawInRectangle(text, rect, Left, false);
        if (flipped)
            sheet.save("left-to-right-truncated");
        auto columns = sheet.inkedColumns();
        ASSERT_TRUE(columns);
        EXPECT_GE(columns->first, 10);
        EXPECT_LE(columns->second, 130) << "ink beyond the rectangle";
        EXPECT_GE(columns->second, 130 - e - 4) << "the ellipsis closes the line";
        expectDotsOnly(sheet, columns->second - e + 2, columns->second, "flipped " + std::to_string(flipped));

        // The kept text is the start of the line, where the whole line would stand.
        Sheet whole(200, 28, flipped);
        txt::AttributedString whole_(Long, withFont());
        whole_.drawAtPoint({ 10, flipped ? 4.0 : 24.0 - whole_.size().height });
        EXPECT_EQ(sheet.differences(whole, 0, columns->second - 2 * e), 0) << "flipped " << flipped;
    }

    // Right alignment puts the ellipsis at the rectangle's right edge.
    Sheet right(200, 28);
    drawInRectangle(text, rect, Right, false);
    auto columns = right.inkedColumns();
    ASSERT_TRUE(columns);
    EXPECT_NEAR(columns->second, 130, 2);
    EXPECT_GE(columns->first, 10);
    expectDotsOnly(right, columns->second - e + 2, columns->second, "right aligned");
}

TEST(AttributedStringExtension, ALongRightToLeftLineKeepsItsStartAtTheRightAndPutsTheEllipsisLeft)
{
    const gfx::Rect rect { 10, 4, 120, 20 };
    txt::AttributedString text(LongRightToLeft, withFont());
    const int e = static_cast<int>(std::ceil(ellipsisWidth()));
    Sheet sheet(200, 28);
    drawInRectangle(text, rect, Right, false);
    sheet.save("right-to-left-truncated");
    auto columns = sheet.inkedColumns();
    ASSERT_TRUE(columns);
    EXPECT_NEAR(columns->second, 130, 2);
    EXPECT_GE(columns->first, 10);
    expectDotsOnly(sheet, columns->first, columns->first + e - 2, "right to left");

    // The first word (at the right) is drawn where it stands in the whole line ending at the same edge.
    Sheet whole(200, 28);
    drawInRectangle(text, { -1000, 4, 1130, 20 }, Right, false);
    EXPECT_EQ(sheet.differences(whole, columns->first + 2 * e, 200), 0);

    Sheet left(200, 28);
    drawInRectangle(text, rect, Left, false);
    auto leftColumns = left.inkedColumns();
    ASSERT_TRUE(leftColumns);
    EXPECT_NEAR(leftColumns->first, 10, 2) << "the ellipsis starts a left-aligned line";
    EXPECT_LE(leftColumns->second, 130);
    expectDotsOnly(left, leftColumns->first, leftColumns->first + e - 2, "right to left, left aligned");
}

TEST(AttributedStringExtension, ALineBreakCutsTheTextAfterTheFirstLine)
{
    const gfx::Rect rect { 10, 4, 180, 20 };
    Sheet sheet(200, 28);
    drawInRectangle(txt::AttributedString("Short\nSecond line", withFont()), rect, Left, false);
    Sheet alone(200, 28);
    drawInRectangle(txt::AttributedString("Short", withFont()), rect, Left, false);
    auto columns = sheet.inkedColumns();
    auto short_ = alone.inkedColumns();
    ASSERT_TRUE(columns && short_);
    EXPECT_EQ(sheet.differences(alone, 0, short_->second), 0) << "the first line as it is";
    const int e = static_cast<int>(std::ceil(ellipsisWidth()));
    EXPECT_NEAR(columns->second - short_->second, e, 3);
    expectDotsOnly(sheet, short_->second + 1, columns->second, "after a line break");
}

TEST(AttributedStringExtension, VerticalCentringAndTheStringForms)
{
    const gfx::Rect rect { 0, 0, 200, 60 };
    Sheet sheet(200, 60);
    ZORNSStringExtension::drawWithFont("Hxy", dejaVu(), gfx::Color::redColor(), Left, true, rect);
    auto rows = sheet.inkedRows();
    ASSERT_TRUE(rows);
    // The line box (ascender to descender) is centred, so the ink sits a little above the middle at most.
    auto font = dejaVu();
    double lineTop = 30 - (font->ascender() - font->descender() + font->leading()) / 2;
    EXPECT_NEAR(rows->first, lineTop + font->ascender() - font->capHeight(), 1.5);
    EXPECT_NEAR(rows->second, lineTop + font->ascender() - font->descender(), 2.5);

    Sheet top(200, 60);
    ZORNSStringExtension::drawWithFontAttributes("Hxy", withFont(), Left, rect);
    EXPECT_NEAR(top.inkedRows()->first, font->ascender() - font->capHeight(), 1.5);
}

struct CountingStorage : txt::TextStorage {
    int processed = 0;
    void processEditing() override
    {
        ++processed;
        txt::TextStorage::processEditing();
    }
};

TEST(AttributedStringExtension, MutatingRangesRewritesMatchesInOneEditingPass)
{
    using namespace ZORNSMutableAttributedStringExtensions;
    auto red = gfx::Color::redColor();
    CountingStorage storage;
    storage.setAttributedString(txt::AttributedString("cat and cat and cat", withFont()));
    storage.processed = 0;
    int calls = 0;
    std::vector<bool> editingSeen;
    bool changed = mutateRanges(
        storage,
        [&](const String& string, const txt::Attributes& attributes, fnd::Range matched, fnd::Range run,
            bool editingBegun) -> std::optional<txt::AttributedString> {
            ++calls;
            editingSeen.push_back(editingBegun);
            EXPECT_EQ(string.substring(matched), String("cat"));
            EXPECT_EQ(run, matched);
            EXPECT_TRUE(attributes.contains(txt::FontAttributeName));
            // The replacement holds the match again: the walk must go on after it, not into it.
            return txt::AttributedString("cats cat", { { txt::ForegroundColorAttributeName, red } });
        },
        { 0, storage.length() - 4 }, String("cat"));
    EXPECT_TRUE(changed);
    EXPECT_EQ(calls, 2) << "the last cat lies outside the range";
    EXPECT_EQ(editingSeen, (std::vector<bool> { false, true }));
    EXPECT_EQ(storage.string(), String("cats cat and cats cat and cat"));
    EXPECT_EQ(storage.processed, 1) << "one editing pass";
    EXPECT_EQ(storage.attributeAtIndex(txt::ForegroundColorAttributeName, 14).objectAs<gfx::Color>(), red);

    // Without a matching string, every attribute run is offered; a function that keeps everything changes nothing.
    txt::AttributedString runs("aaBBcc", withFont());
    runs.addAttribute(txt::ForegroundColorAttributeName, red, { 2, 2 });
    std::vector<fnd::Range> offered;
    EXPECT_FALSE(mutateRanges(
        runs,
        [&](const String&, const txt::Attributes&, fnd::Range matched, fnd::Range,
            bool) -> std::optional<txt::AttributedString> {
            offered.push_back(matched);
            return std::nullopt;
        },
        std::nullopt));
    EXPECT_EQ(offered, (std::vector<fnd::Range> { { 0, 2 }, { 2, 2 }, { 4, 2 } }));
    EXPECT_EQ(runs.string(), String("aaBBcc"));

    // Runs are cut to the range, and shrinking replacements move the end.
    EXPECT_TRUE(mutateRanges(
        runs,
        [&](const String& string, const txt::Attributes&, fnd::Range matched, fnd::Range,
            bool) -> std::optional<txt::AttributedString> {
            return txt::AttributedString(string.substring(matched).substringTo(1), {});
        },
        { 1, 4 }, std::nullopt));
    EXPECT_EQ(runs.string(), String("aaBcc"));
}

TEST(AttributedStringExtension, LinkDetectionMarksAddressesOnly)
{
    auto blue = gfx::Color::blueColor();
    txt::AttributedString text("see http://a.org/x?y=1 and www.b.org\nftp.c.net gopher.d.org mailto:me@e.org "
                               "plain.host me@e.org www.bad\"quote",
        withFont());
    ZORNSMutableAttributedStringExtensions::detectURLs(text, blue);
    struct Expected {
        const char* word;
        const char* link;
    };
    const Expected links[] = {
        { "http://a.org/x?y=1", "http://a.org/x?y=1" },
        { "www.b.org", "http://www.b.org" },
        { "ftp.c.net", "ftp://ftp.c.net" },
        { "gopher.d.org", "gopher://gopher.d.org" },
        { "mailto:me@e.org", "mailto:me@e.org" },
    };
    for (const auto& l : links) {
        auto at = text.string().rangeOfString(l.word);
        fnd::Range run;
        auto link = text.attributeAtIndex(txt::LinkAttributeName, at.location, &run);
        EXPECT_EQ(link, fnd::Value(l.link)) << l.word;
        EXPECT_EQ(run, at) << l.word;
        EXPECT_EQ(text.attributeAtIndex(txt::UnderlineStyleAttributeName, at.location),
            fnd::Value(txt::UnderlineStyle::Single));
        EXPECT_EQ(text.attributeAtIndex(txt::ForegroundColorAttributeName, at.location).objectAs<gfx::Color>(), blue);
    }
    for (const char* word : { "see", "plain.host", "me@e.org ", "www.bad" }) {
        auto at = text.string().rangeOfString(word, fnd::StringCompareOptions::Backwards);
        EXPECT_TRUE(text.attributeAtIndex(txt::LinkAttributeName, at.location).isNil()) << word;
    }
}

TEST(AttributedStringExtension, RunSearchesByIdentityAndAttribute)
{
    using namespace ZORNSTextStorageExtensions;
    auto red = gfx::Color::redColor();
    auto sameRed = gfx::Color::colorWithCalibratedRed(1, 0, 0);
    txt::AttributedString text("0123456789", withFont());
    text.addAttribute(txt::ForegroundColorAttributeName, red, { 2, 6 });
    // A second attribute splits the effective runs but not the colour's longest run.
    text.addAttribute(txt::UnderlineStyleAttributeName, 1, { 4, 2 });
    text.addAttribute(txt::ForegroundColorAttributeName, gfx::Color::blueColor(), { 8, 1 });

    EXPECT_EQ(longestRangeForAttribute(text, txt::ForegroundColorAttributeName, red, 0), (fnd::Range { 2, 6 }));
    EXPECT_EQ(rangeForAttribute(text, txt::ForegroundColorAttributeName, red, 0), (fnd::Range { 2, 2 }));
    EXPECT_EQ(rangeForAttribute(text, txt::ForegroundColorAttributeName, red, 5), (fnd::Range { 4, 2 }));
    // Equal is not the same object.
    EXPECT_EQ(longestRangeForAttribute(text, txt::ForegroundColorAttributeName, sameRed, 0), fnd::Range::notFound());
    EXPECT_EQ(rangeForAttribute(text, txt::ForegroundColorAttributeName, sameRed, 0), fnd::Range::notFound());
    EXPECT_EQ(longestRangeForAttribute(text, txt::ForegroundColorAttributeName, red, 9), fnd::Range::notFound());
    EXPECT_EQ(rangeForAttribute(text, txt::UnderlineStyleAttributeName, 1, 0), (fnd::Range { 4, 2 }));

    EXPECT_EQ(rangeForAttribute(text, txt::UnderlineStyleAttributeName, fnd::Range { 1, 4 }), (fnd::Range { 4, 1 }));
    EXPECT_EQ(rangeForAttribute(text, txt::UnderlineStyleAttributeName, fnd::Range { 6, 4 }), fnd::Range::notFound());
    EXPECT_EQ(rangeForAttribute(text, txt::ForegroundColorAttributeName, fnd::Range { 0, 3 }), (fnd::Range { 2, 1 }));
}

TEST(AttributedStringExtension, DescriptionsComparisonsAndAppending)
{
    EXPECT_EQ(humanReadableDescriptionForAttributes(withFont(12)), String("DejaVu Sans, 12.00 pt"));
    EXPECT_EQ(humanReadableDescriptionForAttributes(withFont(9.5)), String("DejaVu Sans, 9.50 pt"));
    EXPECT_EQ(humanReadableDescriptionForAttributes({}), String());

    EXPECT_EQ(caseInsensitiveCompare(txt::AttributedString("abc"), txt::AttributedString("ABC", withFont())),
        std::weak_ordering::equivalent);
    EXPECT_EQ(localizedCaseInsensitiveCompare(txt::AttributedString("a"), txt::AttributedString("B")),
        std::weak_ordering::less);

    using namespace ZORNSMutableAttributedStringExtensions;
    txt::AttributedString text;
    appendString(text, "plain");
    EXPECT_TRUE(text.attributesAtIndex(0).isEmpty());
    appendString(text, " big", withFont(20));
    appendString(text, " too");
    EXPECT_EQ(text.string(), String("plain big too"));
    EXPECT_EQ(text.attributesAtIndex(12), withFont(20));
}

}
