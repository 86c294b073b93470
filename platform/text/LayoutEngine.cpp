// Line layout: shaping per paragraph, greedy line breaking, tabs, indents, alignment, truncation, line metrics and
// the stacking of line fragments into the containers.

#include "platform/text/detail/Layout.h"

#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"
#include "platform/text/detail/Shaping.h"

#include <algorithm>
#include <cmath>

namespace txt::detail {

namespace {

using Layout = LayoutManager::Layout;
using fnd::Index;

constexpr char16_t Ellipsis = 0x2026;
// Superscript raises (or lowers) the baseline by this share of the point size per step.
constexpr double SuperscriptStep = 1.0 / 3;

char32_t codePointAt(std::u16string_view text, std::size_t i)
{
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    return c;
}

std::size_t codePointLength(char32_t c)
{
    return c >= 0x10000 ? 2 : 1;
}

class Engine {
public:
    Engine(const LayoutManager& manager, Layout& layout)
        : m_manager(manager)
        , m_layout(layout)
        , m_storage(*manager.textStorage())
        , m_text(m_storage.string().view())
    {
    }

    void run()
    {
        const auto n = static_cast<Index>(m_text.size());
        m_layout.slots.assign(static_cast<std::size_t>(n), {});
        m_layout.containerRanges.assign(m_manager.textContainers().size(), { 0, 0 });
        if (m_manager.textContainers().empty())
            return;
        Index start = 0;
        while (start < n && !m_full) {
            auto paragraph = paragraphRangeForRange(m_storage.string(), { start, 0 });
            layoutParagraph(paragraph);
            start = paragraph.max();
        }
        // Containers after the last one used hold no glyphs; their range starts where the text ended.
        Index laidOut = 0;
        for (auto& range : m_layout.containerRanges) {
            if (range.length == 0)
                range.location = laidOut;
            laidOut = range.max();
        }
    }

private:
    struct Paragraph {
        fnd::Range range; // content, without the terminator
        fnd::Index end; // after the terminator
        const ParagraphStyle* style;
        std::uint8_t level;
        std::vector<bool> breaks; // relative to range.location
    };

    std::int32_t fontIndex(const std::shared_ptr<gfx::Font>& font)
    {
        for (std::size_t i = 0; i < m_layout.fonts.size(); ++i)
            if (m_layout.fonts[i] == font)
                return static_cast<std::int32_t>(i);
        m_layout.fonts.push_back(font);
        return static_cast<std::int32_t>(m_layout.fonts.size() - 1);
    }

    std::shared_ptr<gfx::Font> fontAt(Index i) const
    {
        if (auto font = m_storage.attributeAtIndex(FontAttributeName, i).objectAs<gfx::Font>())
            return font;
        return LayoutManager::defaultFont();
    }

    std::shared_ptr<TextAttachmentCell> attachmentCellAt(Index i) const
    {
        if (m_text[static_cast<std::size_t>(i)] != AttachmentCharacter)
            return nullptr;
        auto attachment = m_storage.attributeAtIndex(AttachmentAttributeName, i).objectAs<TextAttachment>();
        return attachment ? attachment->attachmentCell() : nullptr;
    }

    bool isSpecial(Index i) const
    {
        char16_t c = m_text[static_cast<std::size_t>(i)];
        return c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029 || c == AttachmentCharacter;
    }

    // Shaping: fonts, glyphs and advances of every slot of the paragraph.
    void shapeParagraph(const Paragraph& p)
    {
        auto& slots = m_layout.slots;
        for (Index i = p.range.location; i < p.end; ++i)
            slots[static_cast<std::size_t>(i)].font = fontIndex(fontAt(i));
        Index i = p.range.location;
        while (i < p.range.max()) {
            if (isSpecial(i)) {
                ++i;
                continue;
            }
            // An item: one font (after fallback), one attribute run, one direction, no special characters.
            fnd::Range run;
            const auto& attributes = m_storage.attributesAtIndex(i, &run);
            auto baseFont = fontAt(i);
            auto level = slots[static_cast<std::size_t>(i)].level;
            Index end = std::min(run.max(), p.range.max());
            std::shared_ptr<gfx::Font> itemFont;
            Index j = i;
            while (j < end && !isSpecial(j) && slots[static_cast<std::size_t>(j)].level == level) {
                char32_t c = codePointAt(m_text, static_cast<std::size_t>(j));
                std::shared_ptr<gfx::Font> font = baseFont;
                if (itemFont && continuesCluster(c))
                    font = itemFont;
                else if (baseFont->glyphForCharacter(c) == 0 && !continuesCluster(c))
                    if (auto fallback = fallbackFontForCharacter(*baseFont, c))
                        font = fallback;
                if (itemFont && font != itemFont)
                    break;
                itemFont = font;
                j += static_cast<Index>(codePointLength(c));
            }
            j = std::min(j, end);
            shapeItem(i, j, *itemFont, level & 1, attributes);
            auto index = fontIndex(itemFont);
            for (Index k = i; k < j; ++k)
                slots[static_cast<std::size_t>(k)].font = index;
            i = j;
        }
        for (Index k = p.range.location; k < p.end; ++k)
            slots[static_cast<std::size_t>(k)].shift = baselineShiftAt(k);
    }

    double baselineShiftAt(Index i) const
    {
        const auto& attributes = m_storage.attributesAtIndex(i);
        double shift = attributes.get(BaselineOffsetAttributeName).doubleValue();
        if (auto superscript = attributes.get(SuperscriptAttributeName).doubleValue(); superscript != 0)
            shift += superscript * SuperscriptStep
                * m_layout.fonts[static_cast<std::size_t>(m_layout.slots[static_cast<std::size_t>(i)].font)]
                      ->pointSize();
        return shift;
    }

    void shapeItem(Index from, Index to, const gfx::Font& font, bool rightToLeft, const Attributes& attributes)
    {
        auto glyphs
            = shapeText(font, m_text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), rightToLeft);
        const double kern = attributes.get(KernAttributeName).doubleValue();
        // Glyphs of one cluster are adjacent in the output; they go to the cluster's first unit in visual order.
        std::size_t g = 0;
        while (g < glyphs.size()) {
            auto cluster = glyphs[g].cluster;
            auto& slot = m_layout.slots[cluster];
            slot.firstRecord = static_cast<std::uint32_t>(m_layout.records.size());
            double pen = 0;
            for (; g < glyphs.size() && glyphs[g].cluster == cluster; ++g) {
                m_layout.records.push_back({ glyphs[g].glyph, pen + glyphs[g].dx, glyphs[g].dy });
                pen += glyphs[g].advance;
                ++slot.recordCount;
            }
            slot.advance = pen + kern;
        }
    }

    // Line building.
    struct LineGeometry {
        double left; // text area start, from the fragment's left edge
        double right;
    };

    LineGeometry lineGeometry(const Paragraph& p, bool firstLine) const
    {
        double width = currentContainer().containerSize().width;
        double padding = currentContainer().lineFragmentPadding();
        double indent = firstLine ? p.style->firstLineHeadIndent() : p.style->headIndent();
        double tail = p.style->tailIndent();
        double right = tail > 0 ? std::min(width - padding, padding + tail) : width - padding + tail;
        return { padding + indent, std::max(right, padding + indent) };
    }

    const TextContainer& currentContainer() const { return *m_manager.textContainers()[m_container]; }

    // The advance of slot i with the pen at x (from the text area's start), for tabs and attachments.
    double widthAt(const Paragraph& p, Index i, double x, Index lineEnd, double areaLeft, double areaTop)
    {
        auto& slot = m_layout.slots[static_cast<std::size_t>(i)];
        if (slot.hidden)
            return 0;
        char16_t c = m_text[static_cast<std::size_t>(i)];
        if (c == u'\t')
            return tabWidth(p, i, x, lineEnd);
        if (c == AttachmentCharacter) {
            auto cell = attachmentCellAt(i);
            if (!cell)
                return 0;
            const auto& font = m_layout.fontOf(slot);
            gfx::Rect proposed { 0, areaTop, currentContainer().containerSize().width,
                m_manager.defaultLineHeightForFont(font) };
            auto frame = cell->cellFrameForTextContainer(
                currentContainer(), proposed, { areaLeft + x, areaTop + font.ascender() }, i);
            m_layout.attachmentFrames[i] = frame;
            return frame.width();
        }
        return slot.advance;
    }

    double segmentWidth(Index from, Index lineEnd) const
    {
        double width = 0;
        for (Index i = from; i < lineEnd && m_text[static_cast<std::size_t>(i)] != u'\t'; ++i)
            width += m_layout.slots[static_cast<std::size_t>(i)].advance;
        return width;
    }

    double tabWidth(const Paragraph& p, Index i, double x, Index lineEnd) const
    {
        const double padding = currentContainer().lineFragmentPadding();
        const double position = x + padding; // stops are measured from the fragment's edge after padding
        for (const auto& tab : p.style->tabStops()) {
            double stop = tab.location + padding;
            if (stop <= position + 1e-9)
                continue;
            double following = 0;
            if (tab.type == TextTabType::Right || tab.type == TextTabType::Center || tab.type == TextTabType::Decimal)
                following = segmentWidth(i + 1, lineEnd) * (tab.type == TextTabType::Center ? 0.5 : 1);
            return std::max(0.0, stop - following - position);
        }
        if (double interval = p.style->defaultTabInterval(); interval > 0)
            return (std::floor(x / interval) + 1) * interval - x;
        const auto& font = m_layout.fontOf(m_layout.slots[static_cast<std::size_t>(i)]);
        return font.advancementForGlyph(font.glyphForCharacter(U' ')).width;
    }

    bool wraps(const Paragraph& p) const
    {
        auto mode = p.style->lineBreakMode();
        return mode == LineBreakMode::ByWordWrapping || mode == LineBreakMode::ByCharWrapping;
    }

    bool isSpaceAt(Index i) const { return isWhitespace(m_text[static_cast<std::size_t>(i)]); }

    void layoutParagraph(fnd::Range whole)
    {
        Paragraph p;
        p.end = whole.max();
        Index contentEnd = p.end;
        if (contentEnd > whole.location && isParagraphSeparator(m_text[static_cast<std::size_t>(contentEnd - 1)])) {
            --contentEnd;
            if (contentEnd > whole.location && m_text[static_cast<std::size_t>(contentEnd)] == u'\n'
                && m_text[static_cast<std::size_t>(contentEnd - 1)] == u'\r')
                --contentEnd;
        }
        p.range = { whole.location, contentEnd - whole.location };
        auto style = m_storage.attributeAtIndex(ParagraphStyleAttributeName, whole.location).objectAs<ParagraphStyle>();
        p.style = style ? style.get() : &ParagraphStyle::defaultStyle();
        auto content
            = m_text.substr(static_cast<std::size_t>(p.range.location), static_cast<std::size_t>(p.range.length));
        auto bidi = bidiLevels(content);
        p.level = bidi.paragraphLevel;
        for (Index i = p.range.location; i < p.end; ++i)
            m_layout.slots[static_cast<std::size_t>(i)].level
                = i < p.range.max() ? bidi.levels[static_cast<std::size_t>(i - p.range.location)] : p.level;
        p.breaks = lineBreakOpportunities(content);
        shapeParagraph(p);

        // Forced line breaks split the paragraph into segments; each segment wraps on its own.
        bool firstLine = true;
        Index segmentStart = p.range.location;
        while (!m_full) {
            Index segmentEnd = segmentStart;
            while (segmentEnd < p.range.max() && !isLineSeparator(m_text[static_cast<std::size_t>(segmentEnd)]))
                ++segmentEnd;
            bool lastSegment = segmentEnd >= p.range.max();
            Index terminatorEnd = lastSegment ? p.end : segmentEnd + 1;
            layoutSegment(p, segmentStart, segmentEnd, terminatorEnd, lastSegment, firstLine);
            firstLine = false;
            if (lastSegment)
                break;
            segmentStart = terminatorEnd;
        }
    }

    void layoutSegment(
        const Paragraph& p, Index start, Index end, Index terminatorEnd, bool lastSegment, bool firstLine)
    {
        Index lineStart = start;
        do {
            auto geometry = lineGeometry(p, firstLine);
            const double available = geometry.right - geometry.left;
            Index lineEnd = end;
            if (wraps(p)) {
                double x = 0;
                Index lastBreak = -1;
                for (Index i = lineStart; i < end; ++i) {
                    double w = widthAt(p, i, x, end, geometry.left, m_y);
                    if (x + w > available + 1e-9 && !isSpaceAt(i) && i > lineStart && w > 0) {
                        bool byWord = p.style->lineBreakMode() == LineBreakMode::ByWordWrapping;
                        lineEnd = byWord && lastBreak > lineStart ? lastBreak : i;
                        break;
                    }
                    x += w;
                    if (i + 1 < end && p.breaks[static_cast<std::size_t>(i + 1 - p.range.location)])
                        lastBreak = i + 1;
                }
            }
            bool endsSegment = lineEnd >= end;
            placeLine(p, lineStart, lineEnd, endsSegment ? terminatorEnd : lineEnd, firstLine,
                endsSegment && lastSegment, endsSegment);
            firstLine = false;
            lineStart = lineEnd;
        } while (lineStart < end && !m_full);
    }

    void truncate(const Paragraph& p, Index start, Index end, double available)
    {
        auto& slots = m_layout.slots;
        double total = 0;
        for (Index i = start; i < end; ++i)
            total += slots[static_cast<std::size_t>(i)].advance;
        if (total <= available + 1e-9 || end == start)
            return;
        auto mode = p.style->lineBreakMode();
        // The ellipsis takes the place of the first cut cluster, in that cluster's font.
        auto showEllipsis = [&](Index at) {
            auto& slot = slots[static_cast<std::size_t>(at)];
            const auto& font = m_layout.fontOf(slot);
            auto glyph = font.glyphForCharacter(Ellipsis);
            slot.hidden = false;
            slot.firstRecord = static_cast<std::uint32_t>(m_layout.records.size());
            slot.recordCount = 1;
            slot.advance = font.advancementForGlyph(glyph).width;
            m_layout.records.push_back({ glyph, 0, 0 });
        };
        auto ellipsisWidth = [&](Index at) {
            const auto& font = m_layout.fontOf(slots[static_cast<std::size_t>(at)]);
            return font.advancementForGlyph(font.glyphForCharacter(Ellipsis)).width;
        };
        auto hide = [&](Index from, Index to) {
            for (Index i = from; i < to; ++i) {
                slots[static_cast<std::size_t>(i)].hidden = true;
                slots[static_cast<std::size_t>(i)].advance = 0;
            }
        };
        if (mode == LineBreakMode::ByTruncatingTail) {
            double room = available - ellipsisWidth(end - 1);
            double x = 0;
            Index keep = start;
            while (keep < end && x + slots[static_cast<std::size_t>(keep)].advance <= room + 1e-9)
                x += slots[static_cast<std::size_t>(keep++)].advance;
            hide(keep, end);
            showEllipsis(std::min(keep, end - 1));
        } else if (mode == LineBreakMode::ByTruncatingHead) {
            double room = available - ellipsisWidth(start);
            double x = 0;
            Index keep = end;
            while (keep > start && x + slots[static_cast<std::size_t>(keep - 1)].advance <= room + 1e-9)
                x += slots[static_cast<std::size_t>(--keep)].advance;
            // Keep whole clusters: a cut that falls inside one moves to its start.
            while (keep < end && slots[static_cast<std::size_t>(keep)].recordCount == 0
                && slots[static_cast<std::size_t>(keep)].advance == 0)
                ++keep;
            hide(start, keep);
            showEllipsis(std::max(start, keep - 1));
        } else if (mode == LineBreakMode::ByTruncatingMiddle) {
            double room = (available - ellipsisWidth(start)) / 2;
            double x = 0;
            Index head = start;
            while (head < end && x + slots[static_cast<std::size_t>(head)].advance <= room + 1e-9)
                x += slots[static_cast<std::size_t>(head++)].advance;
            x = 0;
            Index tail = end;
            while (tail > head && x + slots[static_cast<std::size_t>(tail - 1)].advance <= room + 1e-9)
                x += slots[static_cast<std::size_t>(--tail)].advance;
            while (tail < end && slots[static_cast<std::size_t>(tail)].recordCount == 0
                && slots[static_cast<std::size_t>(tail)].advance == 0)
                ++tail;
            if (tail == head)
                return;
            hide(head, tail);
            showEllipsis(head);
        }
    }

    // Positions, metrics and the fragment of one line: glyphs [start, contentEnd), terminator up to end.
    void placeLine(
        const Paragraph& p, Index start, Index contentEnd, Index end, bool firstLine, bool lastLine, bool endsSegment)
    {
        auto& slots = m_layout.slots;
        auto geometry = lineGeometry(p, firstLine);
        const double available = geometry.right - geometry.left;
        auto mode = p.style->lineBreakMode();
        if (mode == LineBreakMode::ByTruncatingHead || mode == LineBreakMode::ByTruncatingTail
            || mode == LineBreakMode::ByTruncatingMiddle)
            truncate(p, start, contentEnd, available);

        // Trailing white space hangs: it does not count for alignment and takes the paragraph's direction.
        Index visibleEnd = contentEnd;
        while (visibleEnd > start && isSpaceAt(visibleEnd - 1))
            --visibleEnd;
        std::vector<std::uint8_t> levels;
        bool mixed = false;
        for (Index i = start; i < end; ++i) {
            auto level = i < visibleEnd ? slots[static_cast<std::size_t>(i)].level : p.level;
            levels.push_back(level);
            mixed = mixed || level != 0;
        }
        std::vector<std::int32_t> order;
        if (mixed) {
            order = visualOrder(levels);
        } else {
            order.resize(levels.size());
            for (std::size_t k = 0; k < order.size(); ++k)
                order[k] = static_cast<std::int32_t>(k);
        }

        // Pen positions in visual order; tabs measure from the text area's start.
        auto position = [&](double extraPerSpace) {
            double x = 0;
            double visibleWidth = 0;
            for (auto k : order) {
                Index i = start + k;
                auto& slot = slots[static_cast<std::size_t>(i)];
                bool terminator = i >= contentEnd;
                double w = terminator ? 0 : widthAt(p, i, x, contentEnd, geometry.left, m_y);
                if (extraPerSpace > 0 && i < visibleEnd && m_text[static_cast<std::size_t>(i)] == u' ')
                    w += extraPerSpace;
                if (m_text[static_cast<std::size_t>(i)] == u'\t'
                    || m_text[static_cast<std::size_t>(i)] == AttachmentCharacter || extraPerSpace > 0)
                    slot.advance = w;
                slot.x = geometry.left + x;
                x += w;
                if (i < visibleEnd)
                    visibleWidth = x;
            }
            return visibleWidth;
        };
        double width = position(0);
        double extra = available - width;
        auto alignment = p.style->alignment();
        if (alignment == TextAlignment::Natural)
            alignment = p.level & 1 ? TextAlignment::Right : TextAlignment::Left;
        double offset = 0;
        if (alignment == TextAlignment::Justified && !endsSegment && extra > 0) {
            int spaces = 0;
            for (Index i = start; i < visibleEnd; ++i)
                spaces += m_text[static_cast<std::size_t>(i)] == u' ' ? 1 : 0;
            if (spaces > 0)
                width = position(extra / spaces);
        } else if (alignment == TextAlignment::Right && extra > 0) {
            offset = extra;
        } else if (alignment == TextAlignment::Center && extra > 0) {
            offset = extra / 2;
        }
        double minX = geometry.left + offset;
        for (Index i = start; i < end; ++i)
            slots[static_cast<std::size_t>(i)].x += offset;

        // Line metrics from the fonts and attachments shown.
        double ascent = 0, descent = 0, leading = 0;
        bool measured = false;
        for (Index i = start; i < end; ++i) {
            const auto& slot = slots[static_cast<std::size_t>(i)];
            if (slot.hidden || (i >= contentEnd && i > start))
                continue;
            if (auto frame = m_layout.attachmentFrames.find(i); frame != m_layout.attachmentFrames.end()) {
                ascent = std::max(ascent, frame->second.maxY());
                descent = std::max(descent, -frame->second.minY());
                continue;
            }
            const auto& font = m_layout.fontOf(slot);
            ascent = std::max(ascent, font.ascender() + slot.shift);
            descent = std::max(descent, -font.descender() - slot.shift);
            leading = std::max(leading, font.leading());
            measured = true;
        }
        if (!measured && start == end) {
            const auto& font
                = *(start < static_cast<Index>(slots.size()) && slots[static_cast<std::size_t>(start)].font >= 0
                        ? m_layout.fonts[static_cast<std::size_t>(slots[static_cast<std::size_t>(start)].font)]
                        : LayoutManager::defaultFont());
            ascent = font.ascender();
            descent = -font.descender();
            leading = font.leading();
        }
        double lineHeight = ascent + descent + leading;
        if (p.style->minimumLineHeight() > 0)
            lineHeight = std::max(lineHeight, p.style->minimumLineHeight());
        if (p.style->maximumLineHeight() > 0)
            lineHeight = std::min(lineHeight, p.style->maximumLineHeight());
        double before = firstLine ? p.style->paragraphSpacingBefore() : 0;
        double after = lastLine ? p.style->paragraphSpacing() : 0;
        double baseline = before + lineHeight - descent - leading;
        double height = before + lineHeight + p.style->lineSpacing() + after;

        const auto& container = currentContainer();
        double padding = container.lineFragmentPadding();
        if (m_y + height > container.containerSize().height + 1e-9 && m_containerHasLines) {
            if (m_container + 1 >= m_manager.textContainers().size()) {
                m_full = true;
                return;
            }
            ++m_container;
            m_y = 0;
            m_containerHasLines = false;
            // Widths and tab positions depend on the container: lay the line out again there.
            placeLine(p, start, contentEnd, end, firstLine, lastLine, endsSegment);
            return;
        }
        gfx::Rect rect { 0, m_y, container.containerSize().width, height };
        gfx::Rect used { minX - padding, m_y, width + 2 * padding, before + lineHeight + p.style->lineSpacing() };
        fnd::Range range { start, end - start };
        if (const auto& typesetter = m_manager.typesetter())
            typesetter->willSetLineFragmentRect(rect, range, used, baseline);
        auto lineIndex = static_cast<std::int32_t>(m_layout.lines.size());
        m_layout.lines.push_back({ rect, used, range, baseline, m_container });
        for (Index i = start; i < end; ++i)
            slots[static_cast<std::size_t>(i)].line = lineIndex;
        auto& containerRange = m_layout.containerRanges[m_container];
        if (!m_containerHasLines)
            containerRange = { start, 0 };
        containerRange.length = end - containerRange.location;
        m_containerHasLines = true;
        m_y = rect.maxY();
    }

    const LayoutManager& m_manager;
    Layout& m_layout;
    const TextStorage& m_storage;
    std::u16string_view m_text;
    std::size_t m_container { 0 };
    double m_y { 0 };
    bool m_containerHasLines { false };
    bool m_full { false };
};

}

std::unique_ptr<LayoutManager::Layout> buildLayout(const LayoutManager& manager)
{
    auto layout = std::make_unique<LayoutManager::Layout>();
    if (manager.textStorage())
        Engine(manager, *layout).run();
    else
        layout->containerRanges.assign(manager.textContainers().size(), { 0, 0 });
    return layout;
}

}
