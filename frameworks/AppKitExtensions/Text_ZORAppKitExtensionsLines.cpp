// Underlines and strikethroughs that follow the path under text laid along it.

#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/TBQUnderlineCategory.h"
#include "frameworks/AppKitExtensions/ZORBezierLayoutManager.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/detail/PathLengthCursor.h"
#include "frameworks/AppKitExtensions/detail/SidewaysShift.h"
#include "frameworks/AppKitExtensions/detail/TextOrientation.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"

#include <fmt/format.h>

using gfx::BezierPath;
using gfx::Point;

namespace Text_ZORAppKitExtensions {

namespace {

constexpr double LineFlatness = 0.1;

std::shared_ptr<gfx::Font> fontAt(const txt::AttributedString& text, fnd::Index index)
{
    auto font = text.attributeAtIndex(txt::FontAttributeName, index).objectAs<gfx::Font>();
    return font ? font : txt::LayoutManager::defaultFont();
}

fnd::String cacheKey(const char* name, fnd::Range range, double value)
{
    return fnd::String(fmt::format("{}_{}_{:.2f}", name, gfx::stringFromRange(range).utf8(), value));
}

// The run's line colour, else its text colour, else black.
std::shared_ptr<gfx::Color> lineColor(const txt::AttributedString& text, fnd::Index index, const fnd::String& name)
{
    if (auto color = text.attributeAtIndex(name, index).objectAs<gfx::Color>())
        return color;
    if (auto color = text.attributeAtIndex(txt::ForegroundColorAttributeName, index).objectAs<gfx::Color>())
        return color;
    return gfx::Color::blackColor();
}

void strokeLine(
    const BezierPath& line, const txt::AttributedString& text, fnd::Index index, const fnd::String& colorName)
{
    if (!gfx::GraphicsContext::current())
        return;
    gfx::GraphicsStateGuard guard;
    if (auto shadow = text.attributeAtIndex(txt::ShadowAttributeName, index).objectAs<gfx::Shadow>())
        shadow->set();
    lineColor(text, index, colorName)->setStroke();
    line.stroke();
}

// Each run of the style attribute with a line style, one at a time.
template <typename Draw> void forEachStyledRun(const txt::AttributedString& text, const fnd::String& name, Draw&& draw)
{
    fnd::Index i = 0;
    while (i < text.length()) {
        fnd::Range run;
        auto style = text.attributeAtIndex(name, i, &run).integerValue();
        if (style > 0)
            draw(fnd::Range { i, run.max() - i });
        i = std::max(run.max(), i + 1);
    }
}

// The font's underline thickness, or the stand-in for fonts that give none. Only underlines take the stand-in; a
// strikethrough keeps the font's own thickness, drawn as the thinnest line when it is none.
double underlineThicknessOrStandIn(const gfx::Font& font)
{
    const double thickness = font.underlineThickness();
    return thickness > 0 ? thickness : TBQUnderlineCategory::valueForInvalidUnderlineThickness(font);
}

// What underlines and strikethroughs tell apart: the style and colour attributes and the name of their cached paths.
struct TextLineKind {
    const fnd::String& styleName;
    const fnd::String& colorName;
    const char* cacheName;
};

// The run's line: from the cache, else made by `make` (given the text, the run's font and its line style) and cached;
// then stroked in the run's line colour.
template <typename Make>
void drawTextLine(const TextLineKind& kind, txt::LayoutManager& layoutManager, fnd::Range range, double yOffset,
    fnd::Dictionary* cache, Make&& make)
{
    auto* text = layoutManager.textStorage();
    if (!text || range.length == 0 || range.max() > text->length() || layoutManager.textContainers().empty())
        return;
    const auto pathKey = cacheKey(kind.cacheName, range, yOffset);
    auto line = cache ? cache->get(pathKey).objectAs<BezierPath>() : nullptr;
    if (!line) {
        auto font = fontAt(*text, range.location);
        const int style = static_cast<int>(text->attributeAtIndex(kind.styleName, range.location).integerValue());
        line = make(*text, *font, style);
        if (line && cache)
            cache->set(pathKey, line);
    }
    if (line)
        strokeLine(*line, *text, range.location, kind.colorName);
}

}

void drawUnderlinePathForLayoutManager(
    const BezierPath& path, txt::LayoutManager& layoutManager, double yOffset, fnd::Dictionary* cache)
{
    auto* text = layoutManager.textStorage();
    if (!text)
        return;
    forEachStyledRun(*text, txt::UnderlineStyleAttributeName,
        [&](fnd::Range run) { drawUnderlinePathForLayoutManager(path, layoutManager, run, yOffset, cache); });
}

void drawUnderlinePathForLayoutManager(
    const BezierPath& path, txt::LayoutManager& layoutManager, fnd::Range range, double yOffset, fnd::Dictionary* cache)
{
    const TextLineKind underline { txt::UnderlineStyleAttributeName, txt::UnderlineColorAttributeName,
        "TBQUnderlinePath" };
    drawTextLine(underline, layoutManager, range, yOffset, cache,
        [&](const txt::TextStorage& text, const gfx::Font& font, int style) {
            // The underline sits half the line's depth below the baseline, superscripts aside.
            auto measuring = fnd::makeObject<txt::LayoutManager>();
            const auto& shown = *layoutManager.textContainers().back();
            auto container = std::make_shared<txt::TextContainer>(shown.containerSize());
            container->setLineFragmentPadding(shown.lineFragmentPadding());
            measuring->addTextContainer(container);
            auto plain = std::make_shared<txt::TextStorage>(static_cast<const txt::AttributedString&>(text));
            plain->removeAttribute(txt::SuperscriptAttributeName, { 0, plain->length() });
            plain->addLayoutManager(measuring);
            const auto first = measuring->glyphIndexForCharacterAtIndex(range.location);
            const double underlineOffset
                = -0.5 * measuring->typesetter()->baselineOffsetInLayoutManager(*measuring, first);

            double start = 0, length = 0;
            pathPosition(path, &start, &length, text, range);

            const auto breaksKey = cacheKey("TBQUnderlineBreaks", range, underlineOffset);
            std::vector<Point> breaks;
            if (const auto* stored = cache ? cache->find(breaksKey) : nullptr; stored && stored->array()) {
                for (const auto& value : *stored->array())
                    if (auto p = value.point())
                        breaks.push_back(*p);
            } else {
                breaks = descenderBreaksForString(path, text, range, underlineOffset);
                if (cache && !breaks.empty()) {
                    fnd::Array points(breaks.begin(), breaks.end());
                    cache->set(breaksKey, std::move(points));
                }
            }
            // Pieces between gaps shorter than two thirds of the run's mean advance are not worth drawing.
            double threshold = 0;
            if (range.length > 1) {
                double last = layoutManager
                                  .locationForGlyphAtIndex(layoutManager.glyphIndexForCharacterAtIndex(range.max() - 1))
                                  .x;
                double firstX = layoutManager.locationForGlyphAtIndex(first).x;
                threshold = 0.67 * (last - firstX) / static_cast<double>(range.length - 1);
            }
            return textLinePathWithMask(path, style, start, length, underlineOffset + yOffset,
                underlineThicknessOrStandIn(font), &breaks, threshold);
        });
}

void drawStrikethroughPathForLayoutManager(
    const BezierPath& path, txt::LayoutManager& layoutManager, double yOffset, fnd::Dictionary* cache)
{
    auto* text = layoutManager.textStorage();
    if (!text)
        return;
    forEachStyledRun(*text, txt::StrikethroughStyleAttributeName,
        [&](fnd::Range run) { drawStrikethroughPathForLayoutManager(path, layoutManager, run, yOffset, cache); });
}

void drawStrikethroughPathForLayoutManager(
    const BezierPath& path, txt::LayoutManager& layoutManager, fnd::Range range, double yOffset, fnd::Dictionary* cache)
{
    const TextLineKind strikethrough { txt::StrikethroughStyleAttributeName, txt::StrikethroughColorAttributeName,
        "TBQStrikethroughPath" };
    drawTextLine(strikethrough, layoutManager, range, yOffset, cache,
        [&](const txt::TextStorage& text, const gfx::Font& font, int style) {
            const auto glyph = layoutManager.glyphIndexForCharacterAtIndex(range.location);
            const auto& container = *layoutManager.textContainers().back();
            gfx::Rect box = layoutManager.boundingRectForGlyphRange({ glyph, 1 }, container);
            double base = layoutManager.typesetter()->baselineOffsetInLayoutManager(layoutManager, glyph);
            Point laidOut = layoutManager.locationForGlyphAtIndex(glyph);
            // Half the x-height above the baseline.
            double offset = font.xHeight() * 0.5 + (box.height() - base - laidOut.y) + yOffset;
            double start = 0, length = 0;
            pathPosition(path, &start, &length, text, range);
            return textLinePathWithMask(path, style, start, length, offset, font.underlineThickness(), nullptr, 0);
        });
}

std::vector<Point> descenderBreaksForString(
    const BezierPath&, const txt::AttributedString& string, fnd::Range range, double underlineOffset)
{
    if (range.length == 0 || range.max() > string.length())
        return {};
    auto run = string.attributedSubstringFromRange(range);
    auto left = txt::ParagraphStyle::defaultParagraphStyle();
    left->setAlignment(txt::TextAlignment::Left);
    run.addAttribute(txt::ParagraphStyleAttributeName, left, { 0, run.length() });
    auto storage = std::make_shared<txt::TextStorage>(run);
    auto outlines = fnd::makeObject<ZORBezierLayoutManager>();
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { 1e6, 1e6 });
    container->setLineFragmentPadding(DescenderBreakPadding);
    outlines->addTextContainer(container);
    storage->addLayoutManager(outlines);
    // Drawing gathers the glyphs' outlines (y up, each on its baseline) instead of drawing them.
    outlines->drawGlyphsForGlyphRange(outlines->glyphRangeForTextContainer(*container), { 0, 0 });
    double base = outlines->typesetter()->baselineOffsetInLayoutManager(*outlines, 0);
    gfx::Rect fragment = outlines->lineFragmentRectForGlyphAtIndex(0);
    // The baseline lies below the container's top, which maps downwards in a flipped context (or without one) and
    // upwards otherwise; the underline lies below the baseline in the outlines' own y-up sense.
    auto* context = gfx::GraphicsContext::current();
    double baseline = fragment.height() - base;
    if (context && !context->isFlipped())
        baseline = -baseline;
    return intersectingPointsWithHorizontalLineAtY(*outlines->textPath(), baseline - std::fabs(underlineOffset));
}

PathPtr textLinePathWithMask(const BezierPath& path, int mask, double startPosition, double length, double offset,
    double lineThickness, const std::vector<Point>* descenderBreaks, double grotThreshold)
{
    if ((mask & 0xF) == 0)
        return nullptr;
    double thickness = lineThickness;
    if (mask & txt::UnderlineStyle::Thick)
        thickness *= 2;
    const bool isDouble = (mask & 0x8) != 0;
    if (isDouble) {
        thickness *= 0.75;
        offset += 0.5 * thickness;
    }
    // The pieces between the gaps follow one another along the path: one walk along it finds them all.
    ZORPathLengthCursor::Cursor along(path);
    BezierPath pieces;
    auto addPiece = [&](double from, double pieceLength) { pieces.appendBezierPath(along.stretch(from, pieceLength)); };
    if (!descenderBreaks || descenderBreaks->empty()) {
        addPiece(startPosition, length);
    } else {
        // Gaps around each crossing; the crossings were measured with the container's padding before the text.
        const double gap = 0.3 * grotThreshold;
        double p = startPosition;
        bool considered = false;
        for (std::size_t k = 0; k + 1 < descenderBreaks->size(); k += 2) {
            double entry = (*descenderBreaks)[k].x, exit = (*descenderBreaks)[k + 1].x;
            double pieceLength = entry + startPosition - gap - DescenderBreakPadding - p;
            if (pieceLength > grotThreshold || !considered)
                addPiece(p, pieceLength);
            considered = true;
            p = exit + startPosition + gap - DescenderBreakPadding;
        }
        double pieceLength = startPosition + length - p;
        if (pieceLength > grotThreshold || !considered)
            addPiece(p, pieceLength);
    }
    const BezierPath flat = pieces.flattened(LineFlatness);
    const double side = ZORTextOrientation::textSide();
    auto line = std::make_shared<BezierPath>(ZORSidewaysShift::shiftedSideways(flat, offset, side));
    if (isDouble)
        line->appendBezierPath(ZORSidewaysShift::shiftedSideways(flat, offset - 2 * thickness, side));
    line->setLineWidth(thickness);
    line->setFlatness(LineFlatness);
    if (mask & 0xF00) {
        static constexpr double dash[] = { 4, 2 };
        static constexpr double dashDot[] = { 4, 2, 1, 2 };
        static constexpr double dashDotDot[] = { 4, 2, 1, 2, 1, 2 };
        static constexpr double dot[] = { 1, 1 };
        switch (mask & 0xF00) {
        case txt::UnderlineStyle::PatternDash:
            line->setLineDash(dash, 0);
            break;
        case txt::UnderlineStyle::PatternDashDot:
            line->setLineDash(dashDot, 0);
            break;
        case txt::UnderlineStyle::PatternDashDotDot:
            line->setLineDash(dashDotDot, 0);
            break;
        default:
            line->setLineDash(dot, 0);
            break;
        }
    }
    return line;
}

}
