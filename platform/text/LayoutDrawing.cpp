// Drawing of laid-out text: backgrounds, glyph runs, attachments, underlines and strikethroughs, each through an
// overridable step.

#include "platform/text/detail/Layout.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace txt {

using fnd::Index;

namespace {

// Maps container coordinates (y down) to user space at origin, the container's top left.
struct ContainerMapping {
    gfx::Point origin;
    bool flipped;
    gfx::Point map(double x, double y) const { return { origin.x + x, flipped ? origin.y + y : origin.y - y }; }
    gfx::Rect map(const gfx::Rect& r) const
    {
        return { origin.x + r.minX(), flipped ? origin.y + r.minY() : origin.y - r.maxY(), r.width(), r.height() };
    }
};

ContainerMapping mappingAt(gfx::Point origin)
{
    auto* context = gfx::GraphicsContext::current();
    return { origin, context ? context->isFlipped() : true };
}

std::shared_ptr<gfx::Color> colorFor(const Attributes& attributes, const fnd::String& name)
{
    return attributes.get(name).objectAs<gfx::Color>();
}

}

void LayoutManager::drawBackgroundForGlyphRange(fnd::Range glyphRange, gfx::Point origin)
{
    if (!m_textStorage)
        return;
    const auto& l = layout();
    auto mapping = mappingAt(origin);
    auto range = intersection(glyphRange, { 0, numberOfGlyphs() });
    const auto& text = m_textStorage->string().units();
    Index i = range.location;
    while (i < range.max()) {
        fnd::Range run;
        Attributes scratch;
        const auto& attributes = drawingAttributesAtIndex(i, &run, scratch);
        run = intersection(run, range);
        if (run.length == 0)
            run = { i, 1 };
        if (auto color = attributes.get(BackgroundColorAttributeName).objectAs<gfx::Color>()) {
            std::vector<gfx::Rect> rects;
            l.forLinesIn(run, -1, [&](const Layout::Line& line, const Layout::Paragraph& p, Index start) {
                auto part = intersection(line.range, run);
                double minX = INFINITY, maxX = -INFINITY;
                bool toEnd = false;
                for (Index k = part.location; k < part.max(); ++k) {
                    const auto& slot = p.slots[static_cast<std::size_t>(k - start)];
                    minX = std::min(minX, slot.x);
                    maxX = std::max(maxX, slot.x + slot.advance);
                    // A line's coloured break reaches to the fragment's end, as a selected line end does.
                    auto c = text[static_cast<std::size_t>(k)];
                    toEnd = toEnd || isParagraphSeparator(c) || isLineSeparator(c);
                }
                if (toEnd)
                    maxX = std::max(maxX, line.rect.width());
                if (maxX > minX)
                    rects.push_back(mapping.map(
                        gfx::Rect { line.rect.minX() + minX, line.rect.minY(), maxX - minX, line.usedRect.height() }));
            });
            if (!rects.empty())
                fillBackgroundRectArray(rects, run, *color);
        }
        i = run.max();
    }
}

void LayoutManager::fillBackgroundRectArray(std::span<const gfx::Rect> rects, fnd::Range, const gfx::Color& color)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->setFillColor(color);
    for (const auto& rect : rects)
        context->fillRect(rect);
    context->restoreGraphicsState();
}

void LayoutManager::drawGlyphsForGlyphRange(fnd::Range glyphRange, gfx::Point origin)
{
    if (!m_textStorage)
        return;
    const auto& l = layout();
    auto* context = gfx::GraphicsContext::current();
    auto mapping = mappingAt(origin);
    const auto matrix = mapping.flipped ? gfx::AffineTransform::scaling(1, -1) : gfx::AffineTransform::identity();
    auto range = intersection(glyphRange, { 0, numberOfGlyphs() });
    std::vector<gfx::Glyph> glyphs;
    std::vector<gfx::Point> positions;
    // A long line (a one-line field holding a long text) reaches far beyond what is drawn: glyphs whose origin lies
    // well outside the clip leave no mark, so they are not shaped into the drawing at all. A short run (a label, a
    // cell) is drawn whole: asking for the clip's extent would cost more than its few glyphs.
    constexpr Index ShortRun = 256;
    const bool cull = context && range.length > ShortRun;
    const gfx::Rect clip = cull ? context->clipBoundingBox() : gfx::Rect {};
    for (std::size_t k = range.length > 0 ? l.paragraphAt(range.location) : l.paragraphs.size();
         k < l.paragraphs.size() && l.start(k) < range.max(); ++k) {
        const auto& p = l.paragraphs[k];
        const Index start = l.start(k);
        auto slotAt = [&](Index i) -> const Layout::Slot& { return p.slots[static_cast<std::size_t>(i - start)]; };
        auto paragraphRange = intersection(range, { start, p.length });
        Index i = paragraphRange.location;
        while (i < paragraphRange.max()) {
            // A run: one attribute run, one font, one line.
            fnd::Range run;
            Attributes scratch;
            const auto& attributes = drawingAttributesAtIndex(i, &run, scratch);
            run = intersection(run, paragraphRange);
            if (run.length == 0)
                run = { i, 1 };
            const auto& first = slotAt(i);
            Index end = i + 1;
            while (end < run.max() && slotAt(end).font == first.font && slotAt(end).line == first.line)
                ++end;
            if (first.line >= 0) {
                auto line = l.placedLine(k, static_cast<std::size_t>(first.line));
                glyphs.clear();
                positions.clear();
                // Twice the size covers any glyph's overhang from its origin.
                const double reach = 2 * l.fonts[static_cast<std::size_t>(first.font)]->pointSize() + 1;
                const gfx::Rect visible = gfx::insetRect(clip, -reach, -reach);
                for (Index g = i; g < end; ++g) {
                    const auto& slot = slotAt(g);
                    if (slot.hidden)
                        continue;
                    if (auto frame = p.attachmentFrames.find(g - start); frame != p.attachmentFrames.end()) {
                        auto attachment = attributes.get(AttachmentAttributeName).objectAs<TextAttachment>();
                        if (attachment && attachment->attachmentCell()) {
                            const auto& f = frame->second;
                            gfx::Rect inContainer { line.rect.minX() + slot.x + f.minX(),
                                line.rect.minY() + line.baseline - slot.shift - f.maxY(), f.width(), f.height() };
                            showAttachmentCell(attachment->attachmentCell(), mapping.map(inContainer), g);
                        }
                        continue;
                    }
                    for (std::uint32_t r = 0; r < slot.recordCount; ++r) {
                        const auto& record = p.records[slot.firstRecord + r];
                        auto position = mapping.map(line.rect.minX() + slot.x + record.dx,
                            line.rect.minY() + line.baseline - slot.shift - record.dy);
                        if (cull && !gfx::pointInRect(position, visible))
                            continue;
                        glyphs.push_back(record.glyph);
                        positions.push_back(position);
                    }
                }
                if (!glyphs.empty()) {
                    if (context) {
                        context->saveGraphicsState();
                        auto color = colorFor(attributes, ForegroundColorAttributeName);
                        context->setFillColor(color ? *color : *gfx::Color::blackColor());
                        if (auto shadow = attributes.get(ShadowAttributeName).objectAs<gfx::Shadow>())
                            context->setShadow(*shadow);
                    }
                    showCGGlyphs(
                        glyphs, positions, l.fonts[static_cast<std::size_t>(first.font)], matrix, attributes, context);
                    if (context)
                        context->restoreGraphicsState();
                }
            }
            i = end;
        }
    }
    drawLineDecorations(range, origin, false);
    drawLineDecorations(range, origin, true);
}

void LayoutManager::drawLineDecorations(fnd::Range range, gfx::Point origin, bool strikethrough)
{
    const auto& l = layout();
    const auto& name = strikethrough ? StrikethroughStyleAttributeName : UnderlineStyleAttributeName;
    Index i = range.location;
    while (i < range.max()) {
        fnd::Range run;
        Attributes scratch;
        int style = static_cast<int>(drawingAttributesAtIndex(i, &run, scratch).get(name).integerValue());
        run = intersection(run, range);
        if (style != UnderlineStyle::None) {
            l.forLinesIn(run, -1, [&](const Layout::Line& line, const Layout::Paragraph&, Index) {
                auto part = intersection(line.range, run);
                if (part.length == 0)
                    return;
                if (strikethrough)
                    drawStrikethroughForGlyphRange(part, style, line.baseline, line.rect, line.range, origin);
                else
                    drawUnderlineForGlyphRange(part, style, line.baseline, line.rect, line.range, origin);
            });
        }
        i = std::max(run.max(), i + 1);
    }
}

void LayoutManager::showCGGlyphs(std::span<const gfx::Glyph> glyphs, std::span<const gfx::Point> positions,
    const std::shared_ptr<gfx::Font>& font, const gfx::AffineTransform& matrix, const Attributes&,
    gfx::GraphicsContext* context)
{
    if (!context || !font)
        return;
    context->showGlyphs(*font, glyphs, positions, matrix);
}

namespace {

// The horizontal span, relative to the line fragment, that the glyphs in [first, end) cover.
std::pair<double, double> glyphExtent(const LayoutManager::Layout& l, Index first, Index end)
{
    double minX = INFINITY, maxX = -INFINITY;
    for (Index k = first; k < end; ++k) {
        const auto& slot = l.slot(k);
        minX = std::min(minX, slot.x);
        maxX = std::max(maxX, slot.x + slot.advance);
    }
    return { minX, maxX };
}

// A decoration's own colour, else the text's, else black.
gfx::Color decorationColor(const Attributes& attributes, const fnd::String& name)
{
    auto color = colorFor(attributes, name);
    if (!color)
        color = colorFor(attributes, ForegroundColorAttributeName);
    return color ? *color : *gfx::Color::blackColor();
}

// Strokes a horizontal line from x0 to x1 at y (user space) in the style.
void strokeDecoration(gfx::GraphicsContext& context, double x0, double x1, double y, double thickness, int style,
    double direction, const gfx::Color& color)
{
    if (style & 0x08)
        thickness *= 0.75; // double lines are thinner so the pair stays close to one line's weight
    if ((style & 0x0F) == UnderlineStyle::Thick)
        thickness *= 2;
    context.saveGraphicsState();
    context.setStrokeColor(color);
    gfx::BezierPath path;
    path.setLineWidth(thickness);
    std::vector<double> dash;
    switch (style & 0xF00) {
    case UnderlineStyle::PatternDot:
        dash = { thickness, 2 * thickness };
        break;
    case UnderlineStyle::PatternDash:
        dash = { 4 * thickness, 2 * thickness };
        break;
    case UnderlineStyle::PatternDashDot:
        dash = { 4 * thickness, 2 * thickness, thickness, 2 * thickness };
        break;
    case UnderlineStyle::PatternDashDotDot:
        dash = { 4 * thickness, 2 * thickness, thickness, 2 * thickness, thickness, 2 * thickness };
        break;
    default:
        break;
    }
    if (!dash.empty())
        path.setLineDash(dash, 0);
    path.moveToPoint({ x0, y });
    path.lineToPoint({ x1, y });
    if ((style & 0x0F) == UnderlineStyle::Double) {
        // The second line goes away from the text.
        path.moveToPoint({ x0, y + direction * 2 * thickness });
        path.lineToPoint({ x1, y + direction * 2 * thickness });
    }
    context.strokePath(path);
    context.restoreGraphicsState();
}

}

void LayoutManager::drawUnderlineForGlyphRange(fnd::Range glyphRange, int underlineType, double baselineOffset,
    const gfx::Rect& lineFragmentRect, fnd::Range, gfx::Point containerOrigin)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || glyphRange.length == 0)
        return;
    const auto& l = layout();
    const auto& text = m_textStorage->string().units();
    // Trailing white space of the line is not underlined.
    Index end = glyphRange.max();
    while (end > glyphRange.location
        && (text[static_cast<std::size_t>(end - 1)] == u' ' || text[static_cast<std::size_t>(end - 1)] < 0x20
            || text[static_cast<std::size_t>(end - 1)] == 0x2028))
        --end;
    if (end == glyphRange.location)
        return;
    auto [minX, maxX] = glyphExtent(l, glyphRange.location, end);
    auto font = fontForGlyphAtIndex(glyphRange.location);
    double thickness = font->underlineThickness() > 0 ? font->underlineThickness() : font->pointSize() / 14;
    double below = -font->underlinePosition();
    if (below <= 0)
        below = thickness * 1.5;
    auto mapping = mappingAt(containerOrigin);
    double y = lineFragmentRect.minY() + baselineOffset + below;
    auto from = mapping.map(lineFragmentRect.minX() + minX, y);
    auto to = mapping.map(lineFragmentRect.minX() + maxX, y);
    auto attributes = drawingAttributesAtIndex(glyphRange.location, nullptr);
    strokeDecoration(*context, from.x, to.x, from.y, thickness, underlineType, mapping.flipped ? 1 : -1,
        decorationColor(attributes, UnderlineColorAttributeName));
}

void LayoutManager::drawStrikethroughForGlyphRange(fnd::Range glyphRange, int strikethroughType, double baselineOffset,
    const gfx::Rect& lineFragmentRect, fnd::Range, gfx::Point containerOrigin)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || glyphRange.length == 0)
        return;
    const auto& l = layout();
    auto [minX, maxX] = glyphExtent(l, glyphRange.location, glyphRange.max());
    if (!(maxX > minX))
        return;
    auto font = fontForGlyphAtIndex(glyphRange.location);
    double thickness = font->underlineThickness() > 0 ? font->underlineThickness() : font->pointSize() / 14;
    auto mapping = mappingAt(containerOrigin);
    double y = lineFragmentRect.minY() + baselineOffset - font->xHeight() / 2;
    auto from = mapping.map(lineFragmentRect.minX() + minX, y);
    auto to = mapping.map(lineFragmentRect.minX() + maxX, y);
    auto attributes = drawingAttributesAtIndex(glyphRange.location, nullptr);
    strokeDecoration(*context, from.x, to.x, from.y, thickness, strikethroughType, mapping.flipped ? -1 : 1,
        decorationColor(attributes, StrikethroughColorAttributeName));
}

void LayoutManager::showAttachmentCell(
    const std::shared_ptr<TextAttachmentCell>& cell, const gfx::Rect& rect, Index characterIndex)
{
    if (cell)
        cell->drawWithFrame(rect, characterIndex);
}

}
