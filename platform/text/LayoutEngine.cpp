// Line layout: shaping per paragraph, greedy line breaking, tabs, indents, alignment, truncation, line metrics and
// the stacking of line fragments into the containers.

#include "platform/text/detail/Layout.h"

#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"
#include "platform/text/detail/ParagraphCache.h"
#include "platform/text/detail/Shaping.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace txt::detail {

namespace {

using Layout = LayoutManager::Layout;
using fnd::Index;

constexpr char16_t Ellipsis = 0x2026;
// Superscript raises (or lowers) the baseline by this share of the point size per step.
constexpr double SuperscriptStep = 1.0 / 3;

char32_t codePointAt(std::u16string_view text, std::size_t i)
{
    return fnd::codePointAt(text, i).value;
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
        , m_mask(manager.maskCharacter())
    {
    }

    // Everything, from the top of the first container.
    void run()
    {
        const auto n = static_cast<Index>(m_text.size());
        m_layout.length = n;
        m_layout.paragraphs.clear();
        m_layout.containerRanges.assign(m_manager.textContainers().size(), { 0, 0 });
        const auto* typesetter = m_manager.typesetter().get();
        m_layout.incremental
            = m_manager.textContainers().size() == 1 && typesetter && !typesetter->lineFragmentsDependOnEarlierLines();
        if (m_manager.textContainers().empty())
            return;
        Index start = 0;
        while (start < n) {
            auto paragraph = paragraphRangeForRange(m_storage.string(), { start, 0 });
            m_layout.paragraphs.push_back(layoutParagraph(paragraph));
            start = paragraph.max();
        }
        m_layout.invalidateSumsFrom(0);
        m_layout.bottom = m_y;
        placeExtraLine();
        // Containers after the last one used hold no glyphs; their range starts where the text ended.
        Index laidOut = 0;
        for (auto& range : m_layout.containerRanges) {
            if (range.length == 0)
                range.location = laidOut;
            laidOut = range.max();
        }
        if (m_full)
            m_layout.incremental = false;
    }

    // Lays out the paragraphs of newRange (whole paragraphs of the new text) in place of old paragraphs
    // [first, first + oldCount), from where the first of them stood. False when they no longer fit the container.
    bool replace(std::size_t first, std::size_t oldCount, fnd::Range newRange)
    {
        // The whole text is laid anew: its fonts go with the old text, or a text system reused for many strings (the
        // one that measures and draws them) would keep every font it ever met, and look each up among them all.
        if (first == 0 && oldCount >= m_layout.paragraphs.size())
            m_layout.fonts.clear();
        m_layout.length = static_cast<Index>(m_text.size());
        if (first < m_layout.paragraphs.size())
            m_y = m_layout.paragraphs[first].layoutTop + m_layout.offset(first);
        else
            m_y = totalHeight();
        m_containerHasLines = m_y > 0;
        std::vector<Layout::Paragraph> laid;
        Index start = newRange.location;
        while (start < newRange.max()) {
            auto paragraph = paragraphRangeForRange(m_storage.string(), { start, 0 });
            laid.push_back(layoutParagraph(paragraph));
            if (m_full)
                return false;
            start = paragraph.max();
        }
        auto at = m_layout.paragraphs.begin() + static_cast<std::ptrdiff_t>(first);
        m_layout.noteReplacedParagraphs({ at, oldCount }, laid);
        for (auto p = at; p != at + static_cast<std::ptrdiff_t>(oldCount); ++p)
            m_layout.bottom -= p->height;
        for (const auto& p : laid)
            m_layout.bottom += p.height;
        if (laid.size() == oldCount) {
            // The usual edit: the same number of paragraphs, replaced where they are.
            std::move(laid.begin(), laid.end(), at);
        } else {
            at = m_layout.paragraphs.erase(at, at + static_cast<std::ptrdiff_t>(oldCount));
            m_layout.paragraphs.insert(at, std::make_move_iterator(laid.begin()), std::make_move_iterator(laid.end()));
        }
        m_layout.invalidateSumsFrom(first);
        m_layout.containerRanges.assign(1, { 0, m_layout.length });
        double bottom = totalHeight();
        placeExtraLineAt(bottom);
        const auto& container = *m_manager.textContainers().front();
        return bottom + (m_layout.extraLine ? m_layout.extraLine->rect.height() : 0)
            <= container.containerSize().height + 1e-9;
    }

private:
    struct Paragraph {
        fnd::Range range; // content, without the terminator
        fnd::Index end; // after the terminator
        const ParagraphStyle* style;
        std::uint8_t level;
        std::u16string_view content;
        // Relative to range.location; found when a line first overflows (most paragraphs fit on one line).
        mutable std::optional<std::vector<bool>> breaks;

        bool mayBreakBefore(Index i) const
        {
            if (!breaks)
                breaks = lineBreakOpportunities(content);
            return (*breaks)[static_cast<std::size_t>(i - range.location)];
        }
    };

    // Where the last paragraph ends (kept as a running total, so no paragraph positions are summed for it).
    double totalHeight() const
    {
        if (m_layout.paragraphs.empty())
            return 0;
        return m_layout.bottom;
    }

    Layout::Slot& slot(Index i) { return m_p->slots[static_cast<std::size_t>(i - m_pStart)]; }
    const Layout::Slot& slot(Index i) const { return m_p->slots[static_cast<std::size_t>(i - m_pStart)]; }

    std::int32_t fontIndex(const std::shared_ptr<gfx::Font>& font)
    {
        for (std::size_t i = 0; i < m_layout.fonts.size(); ++i)
            if (m_layout.fonts[i] == font)
                return static_cast<std::int32_t>(i);
        m_layout.fonts.push_back(font);
        return static_cast<std::int32_t>(m_layout.fonts.size() - 1);
    }

    std::shared_ptr<gfx::Font> fontAt(Index i) const { return fontIn(m_storage.attributesAtIndex(i)); }

    static std::shared_ptr<gfx::Font> fontIn(const Attributes& attributes)
    {
        if (auto font = attributes.get(FontAttributeName).objectAs<gfx::Font>())
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

    // Shaping: fonts, glyphs and advances of every slot of the paragraph. Attributes are read once per run.
    void shapeParagraph(const Paragraph& p)
    {
        for (Index i = p.range.location; i < p.end;) {
            fnd::Range run;
            const auto& attributes = m_storage.attributesAtIndex(i, &run);
            auto font = fontIn(attributes);
            const auto index = fontIndex(font);
            // Fallback fonts have the base font's size, so a run's shift holds for all of its units.
            double shift = attributes.get(BaselineOffsetAttributeName).doubleValue();
            if (auto superscript = attributes.get(SuperscriptAttributeName).doubleValue(); superscript != 0)
                shift += superscript * SuperscriptStep * font->pointSize();
            const Index end = std::min(std::max(run.max(), i + 1), p.end);
            for (; i < end; ++i) {
                slot(i).font = index;
                slot(i).shift = shift;
            }
        }
        Index i = p.range.location;
        while (i < p.range.max()) {
            if (isSpecial(i)) {
                ++i;
                continue;
            }
            // An item: one font (after fallback), one attribute run, one direction, no special characters.
            fnd::Range run;
            const auto& attributes = m_storage.attributesAtIndex(i, &run);
            const auto& baseFont = m_layout.fonts[static_cast<std::size_t>(slot(i).font)];
            auto level = slot(i).level;
            Index end = std::min(run.max(), p.range.max());
            std::shared_ptr<gfx::Font> itemFont;
            Index j = i;
            while (j < end && !isSpecial(j) && slot(j).level == level) {
                char32_t c = m_mask ? m_mask : codePointAt(m_text, static_cast<std::size_t>(j));
                const std::shared_ptr<gfx::Font>* font = &baseFont;
                std::shared_ptr<gfx::Font> fallback;
                if (itemFont && continuesCluster(c))
                    font = &itemFont;
                else if (baseFont->glyphForCharacter(c) == 0 && !continuesCluster(c))
                    if ((fallback = fallbackFontForCharacter(*baseFont, c)))
                        font = &fallback;
                if (itemFont && *font != itemFont)
                    break;
                if (!itemFont)
                    itemFont = *font;
                j += static_cast<Index>(codePointLength(codePointAt(m_text, static_cast<std::size_t>(j))));
            }
            j = std::min(j, end);
            if (m_mask)
                maskItem(i, j, *itemFont, attributes);
            else
                shapeItem(i, j, *itemFont, level & 1, attributes);
            if (itemFont != baseFont) {
                auto index = fontIndex(itemFont);
                for (Index k = i; k < j; ++k)
                    slot(k).font = index;
            }
            i = j;
        }
    }

    void shapeItem(Index from, Index to, const gfx::Font& font, bool rightToLeft, const Attributes& attributes)
    {
        auto glyphs
            = shapeText(font, m_text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), rightToLeft);
        const double kern = attributes.get(KernAttributeName).doubleValue();
        // Glyphs of one cluster are adjacent in the output; they go to the cluster's first unit in visual order.
        std::size_t g = 0;
        while (g < glyphs.size()) {
            auto cluster = static_cast<Index>(glyphs[g].cluster);
            auto& s = slot(cluster);
            s.firstRecord = static_cast<std::uint32_t>(m_p->records.size());
            double pen = 0;
            for (; g < glyphs.size() && static_cast<Index>(glyphs[g].cluster) == cluster; ++g) {
                m_p->records.push_back({ glyphs[g].glyph, pen + glyphs[g].dx, glyphs[g].dy });
                pen += glyphs[g].advance;
                ++s.recordCount;
            }
            s.advance = pen + kern;
        }
    }

    // Hidden text (secure entry): one mask glyph per character, on its first unit.
    void maskItem(Index from, Index to, const gfx::Font& font, const Attributes& attributes)
    {
        auto glyph = font.glyphForCharacter(m_mask);
        double advance = font.advancementForGlyph(glyph).width + attributes.get(KernAttributeName).doubleValue();
        for (Index i = from; i < to;) {
            auto& s = slot(i);
            s.firstRecord = static_cast<std::uint32_t>(m_p->records.size());
            s.recordCount = 1;
            s.advance = advance;
            m_p->records.push_back({ glyph, 0, 0 });
            i += static_cast<Index>(codePointLength(codePointAt(m_text, static_cast<std::size_t>(i))));
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
        auto& slot = this->slot(i);
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
            m_p->attachmentFrames[i - m_pStart] = frame;
            return frame.width();
        }
        return slot.advance;
    }

    double segmentWidth(Index from, Index lineEnd) const
    {
        double width = 0;
        for (Index i = from; i < lineEnd && m_text[static_cast<std::size_t>(i)] != u'\t'; ++i)
            width += slot(i).advance;
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
        const auto& font = m_layout.fontOf(slot(i));
        return font.advancementForGlyph(font.glyphForCharacter(U' ')).width;
    }

    bool wraps(const Paragraph& p) const
    {
        auto mode = p.style->lineBreakMode();
        return mode == LineBreakMode::ByWordWrapping || mode == LineBreakMode::ByCharWrapping;
    }

    bool isSpaceAt(Index i) const { return isWhitespace(m_text[static_cast<std::size_t>(i)]); }

    // A paragraph laid out before with the same text, fonts, style and width is taken from the cache and moved to
    // where this one starts; otherwise it is laid out and remembered.
    Layout::Paragraph layoutParagraph(fnd::Range whole)
    {
        if (!mayReuseParagraphs() || !isCacheableText(whole))
            return layoutParagraphAnew(whole);
        thread_local std::vector<ParagraphRun> runs;
        runs.clear();
        const auto probe = probeFor(whole, runs);
        auto& cache = ParagraphCache::forThread();
        // A paragraph met for the first time is neither looked for nor kept.
        if (!cache.admits(probe))
            return layoutParagraphAnew(whole);
        if (const auto* cached = cache.find(probe)) {
            const auto& container = currentContainer();
            if (m_y + cached->paragraph.height <= container.containerSize().height + 1e-9)
                return reuse(*cached, whole);
        }
        auto record = layoutParagraphAnew(whole);
        if (!m_full && !record.lines.empty())
            cache.insert(probe, cachedCopy(record));
        return record;
    }

    // Paragraphs depend only on themselves with one container and the plain typesetter (whose hook changes nothing).
    bool mayReuseParagraphs() const
    {
        const auto* typesetter = m_manager.typesetter().get();
        return m_manager.textContainers().size() == 1 && (!typesetter || typeid(*typesetter) == typeid(Typesetter));
    }

    // Attachments are sized by their cells where they stand: such paragraphs are laid out every time.
    bool isCacheableText(fnd::Range whole) const
    {
        auto units = m_text.substr(static_cast<std::size_t>(whole.location), static_cast<std::size_t>(whole.length));
        return units.find(AttachmentCharacter) == std::u16string_view::npos;
    }

    ParagraphProbe probeFor(fnd::Range whole, std::vector<ParagraphRun>& runs) const
    {
        for (Index i = whole.location; i < whole.max();) {
            fnd::Range run;
            const auto& attributes = m_storage.attributesAtIndex(i, &run);
            auto font = attributes.get(FontAttributeName).objectAs<gfx::Font>();
            if (!font)
                font = LayoutManager::defaultFont();
            const Index end = std::min(std::max(run.max(), i + 1), whole.max());
            const ParagraphRun next { end - i, font->face().get(), font->pointSize(),
                attributes.get(KernAttributeName).doubleValue(),
                attributes.get(BaselineOffsetAttributeName).doubleValue(),
                attributes.get(SuperscriptAttributeName).doubleValue() };
            i = end;
            // Runs that differ only in what layout does not read (colours, links) are one run here.
            if (!runs.empty()) {
                ParagraphRun joined = runs.back();
                joined.length = next.length;
                if (joined == next) {
                    runs.back().length += next.length;
                    continue;
                }
            }
            runs.push_back(next);
        }
        const auto& container = currentContainer();
        auto style = m_storage.attributeAtIndex(ParagraphStyleAttributeName, whole.location).objectAs<ParagraphStyle>();
        return { m_text.substr(static_cast<std::size_t>(whole.location), static_cast<std::size_t>(whole.length)), runs,
            style.get(), container.containerSize().width, container.lineFragmentPadding(), m_mask };
    }

    // The laid-out paragraph with its own list of the fonts its slots use.
    CachedParagraph cachedCopy(const Layout::Paragraph& record) const
    {
        CachedParagraph cached { record, {} };
        std::vector<std::int32_t> local(m_layout.fonts.size(), -1);
        for (auto& slot : cached.paragraph.slots) {
            if (slot.font < 0)
                continue;
            auto& index = local[static_cast<std::size_t>(slot.font)];
            if (index < 0) {
                index = static_cast<std::int32_t>(cached.fonts.size());
                cached.fonts.push_back(m_layout.fonts[static_cast<std::size_t>(slot.font)]);
            }
            slot.font = index;
        }
        return cached;
    }

    // The cached paragraph moved to where this one starts, its lines counted as placeLine counts them.
    Layout::Paragraph reuse(const CachedParagraph& cached, fnd::Range whole)
    {
        Layout::Paragraph record = cached.paragraph;
        const Index dl = whole.location - record.layoutStart;
        record.layoutStart = whole.location;
        record.layoutTop = m_y;
        // Each line stands where the last one ended, summed as placeLine sums it, so the numbers are the same to
        // the last bit as a fresh layout's.
        for (auto& line : record.lines) {
            line.rect.origin.y = m_y;
            line.usedRect.origin.y = m_y;
            line.range.location += dl;
            line.container = m_container;
            m_y = line.rect.maxY();
        }
        record.height = m_y - record.layoutTop;
        std::vector<std::int32_t> fonts;
        for (const auto& font : cached.fonts)
            fonts.push_back(fontIndex(font));
        for (auto& slot : record.slots)
            if (slot.font >= 0)
                slot.font = fonts[static_cast<std::size_t>(slot.font)];
        auto& containerRange = m_layout.containerRanges[m_container];
        if (!m_containerHasLines)
            containerRange = { record.lines.front().range.location, 0 };
        containerRange.length = record.lines.back().range.max() - containerRange.location;
        m_containerHasLines = true;
        return record;
    }

    Layout::Paragraph layoutParagraphAnew(fnd::Range whole)
    {
        Layout::Paragraph record;
        record.length = whole.length;
        record.layoutStart = whole.location;
        record.layoutTop = m_y;
        record.slots.assign(static_cast<std::size_t>(whole.length), {});
        m_p = &record;
        m_pStart = whole.location;
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
            slot(i).level = i < p.range.max() ? bidi.levels[static_cast<std::size_t>(i - p.range.location)] : p.level;
        p.content = content;
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
        record.height = m_y - record.layoutTop;
        record.usedMinX = record.lines.empty() ? 0 : INFINITY;
        for (const auto& line : record.lines) {
            record.usedMinX = std::min(record.usedMinX, line.usedRect.minX());
            record.usedMaxX = std::max(record.usedMaxX, line.usedRect.maxX());
        }
        m_p = nullptr;
        return record;
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
                for (Index i = lineStart; i < end; ++i) {
                    double w = widthAt(p, i, x, end, geometry.left, m_y);
                    if (x + w > available + 1e-9 && !isSpaceAt(i) && i > lineStart && w > 0) {
                        // By word: at the last opportunity after the line's start, up to before this unit.
                        Index lastBreak = -1;
                        if (p.style->lineBreakMode() == LineBreakMode::ByWordWrapping)
                            for (Index j = i; j > lineStart && lastBreak < 0; --j)
                                if (p.mayBreakBefore(j))
                                    lastBreak = j;
                        lineEnd = lastBreak > lineStart ? lastBreak : i;
                        break;
                    }
                    x += w;
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
        double total = 0;
        for (Index i = start; i < end; ++i)
            total += slot(i).advance;
        if (total <= available + 1e-9 || end == start)
            return;
        auto mode = p.style->lineBreakMode();
        // The ellipsis takes the place of the first cut cluster, in that cluster's font.
        auto showEllipsis = [&](Index at) {
            auto& s = slot(at);
            const auto& font = m_layout.fontOf(s);
            auto glyph = font.glyphForCharacter(Ellipsis);
            s.hidden = false;
            s.firstRecord = static_cast<std::uint32_t>(m_p->records.size());
            s.recordCount = 1;
            s.advance = font.advancementForGlyph(glyph).width;
            m_p->records.push_back({ glyph, 0, 0 });
        };
        auto ellipsisWidth = [&](Index at) {
            const auto& font = m_layout.fontOf(slot(at));
            return font.advancementForGlyph(font.glyphForCharacter(Ellipsis)).width;
        };
        auto hide = [&](Index from, Index to) {
            for (Index i = from; i < to; ++i) {
                slot(i).hidden = true;
                slot(i).advance = 0;
            }
        };
        if (mode == LineBreakMode::ByTruncatingTail) {
            double room = available - ellipsisWidth(end - 1);
            double x = 0;
            Index keep = start;
            while (keep < end && x + slot(keep).advance <= room + 1e-9)
                x += slot(keep++).advance;
            hide(keep, end);
            showEllipsis(std::min(keep, end - 1));
        } else if (mode == LineBreakMode::ByTruncatingHead) {
            double room = available - ellipsisWidth(start);
            double x = 0;
            Index keep = end;
            while (keep > start && x + slot(keep - 1).advance <= room + 1e-9)
                x += slot(--keep).advance;
            // Keep whole clusters: a cut that falls inside one moves to its start.
            while (keep < end && slot(keep).recordCount == 0 && slot(keep).advance == 0)
                ++keep;
            hide(start, keep);
            showEllipsis(std::max(start, keep - 1));
        } else if (mode == LineBreakMode::ByTruncatingMiddle) {
            double room = (available - ellipsisWidth(start)) / 2;
            double x = 0;
            Index head = start;
            while (head < end && x + slot(head).advance <= room + 1e-9)
                x += slot(head++).advance;
            x = 0;
            Index tail = end;
            while (tail > head && x + slot(tail - 1).advance <= room + 1e-9)
                x += slot(--tail).advance;
            while (tail < end && slot(tail).recordCount == 0 && slot(tail).advance == 0)
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
        levels.reserve(static_cast<std::size_t>(end - start));
        bool mixed = false;
        for (Index i = start; i < end; ++i) {
            auto level = i < visibleEnd ? slot(i).level : p.level;
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
                auto& slot = this->slot(i);
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
            slot(i).x += offset;

        // Line metrics from the fonts and attachments shown.
        double ascent = 0, descent = 0, leading = 0;
        bool measured = false;
        // A run of slots in one font at one shift adds nothing after its first: the font is asked once a run.
        std::int32_t lastFont = -1;
        double lastShift = 0;
        for (Index i = start; i < end; ++i) {
            const auto& slot = this->slot(i);
            if (slot.hidden || (i >= contentEnd && i > start))
                continue;
            if (auto frame = m_p->attachmentFrames.find(i - m_pStart); frame != m_p->attachmentFrames.end()) {
                ascent = std::max(ascent, frame->second.maxY());
                descent = std::max(descent, -frame->second.minY());
                continue;
            }
            if (measured && slot.font == lastFont && slot.shift == lastShift)
                continue;
            lastFont = slot.font;
            lastShift = slot.shift;
            const auto& font = m_layout.fontOf(slot);
            ascent = std::max(ascent, font.ascender() + slot.shift);
            descent = std::max(descent, -font.descender() - slot.shift);
            leading = std::max(leading, font.leading());
            measured = true;
        }
        if (!measured && start == end) {
            const auto& font = *(start - m_pStart < static_cast<Index>(m_p->slots.size()) && slot(start).font >= 0
                    ? m_layout.fonts[static_cast<std::size_t>(slot(start).font)]
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
        auto lineIndex = static_cast<std::int32_t>(m_p->lines.size());
        m_p->lines.push_back({ rect, used, range, baseline, m_container });
        for (Index i = start; i < end; ++i)
            slot(i).line = lineIndex;
        auto& containerRange = m_layout.containerRanges[m_container];
        if (!m_containerHasLines)
            containerRange = { start, 0 };
        containerRange.length = end - containerRange.location;
        m_containerHasLines = true;
        m_y = rect.maxY();
    }

    // The fragment the caret stands in after a final line break, or in an empty text: as high as a line in the
    // last character's font (or the default font), indented as a new paragraph's first line.
    void placeExtraLine()
    {
        double y = 0;
        if (!m_layout.paragraphs.empty()) {
            const auto& last = m_layout.paragraphs.back();
            if (last.lines.empty())
                return;
            y = last.lines.back().rect.maxY();
            if (last.lines.back().container + 1 != m_manager.textContainers().size()
                && last.lines.back().container != m_container)
                return;
        }
        placeExtraLineAt(y);
    }

    void placeExtraLineAt(double y)
    {
        m_layout.extraLine.reset();
        const auto n = static_cast<Index>(m_text.size());
        if (n > 0 && !isParagraphSeparator(m_text[static_cast<std::size_t>(n - 1)]))
            return;
        if (m_manager.textContainers().empty() || m_full)
            return;
        std::size_t containerIndex = m_layout.paragraphs.empty() ? 0 : m_container;
        const auto& container
            = *m_manager.textContainers()[std::min(containerIndex, m_manager.textContainers().size() - 1)];
        auto font = n > 0 ? fontAt(n - 1) : LayoutManager::defaultFont();
        const ParagraphStyle* style = &ParagraphStyle::defaultStyle();
        if (n > 0)
            if (auto s = m_storage.attributeAtIndex(ParagraphStyleAttributeName, n - 1).objectAs<ParagraphStyle>())
                style = s.get();
        double lineHeight = m_manager.defaultLineHeightForFont(*font);
        if (style->minimumLineHeight() > 0)
            lineHeight = std::max(lineHeight, style->minimumLineHeight());
        if (style->maximumLineHeight() > 0)
            lineHeight = std::min(lineHeight, style->maximumLineHeight());
        double before = n > 0 ? style->paragraphSpacingBefore() : 0;
        if (y + before + lineHeight > container.containerSize().height + 1e-9 && y > 0)
            return;
        double padding = container.lineFragmentPadding();
        double width = container.containerSize().width;
        double left = padding + style->firstLineHeadIndent();
        double right = std::max(left, width - padding);
        double x = left;
        if (style->alignment() == TextAlignment::Right)
            x = right;
        else if (style->alignment() == TextAlignment::Center)
            x = (left + right) / 2;
        Layout::Line line;
        line.rect = { 0, y, width, before + lineHeight + style->lineSpacing() };
        line.usedRect = { x - padding, y, 2 * padding, before + lineHeight + style->lineSpacing() };
        line.range = { n, 0 };
        line.baseline = before + font->ascender();
        line.container = containerIndex;
        m_layout.extraLine = line;
    }

    const LayoutManager& m_manager;
    Layout& m_layout;
    const TextStorage& m_storage;
    std::u16string_view m_text;
    char32_t m_mask;
    Layout::Paragraph* m_p { nullptr }; // the paragraph being laid out
    Index m_pStart { 0 };
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

bool updateLayout(const LayoutManager& manager, LayoutManager::Layout& layout, fnd::Range editedRange,
    fnd::Index changeInLength, std::size_t* paragraphsLaidOut)
{
    if (!layout.incremental || !manager.textStorage() || manager.textContainers().size() != 1)
        return false;
    const auto& text = manager.textStorage()->string();
    const Index newLength = text.length();
    const Index oldLength = layout.length;
    if (newLength != oldLength + changeInLength || editedRange.max() > newLength || editedRange.location < 0)
        return false;
    // The old paragraphs the edit touched: from the one holding its start (the one before, when a \r there may now
    // pair with a \n) to the one holding its old end.
    std::size_t first = 0, last = 0;
    if (!layout.paragraphs.empty()) {
        Index at = std::min(editedRange.location, oldLength - 1);
        if (at > 0 && at == layout.start(layout.paragraphAt(at))
            && text.units()[static_cast<std::size_t>(at - 1)] == u'\r')
            at -= 1; // a \n inserted after \r joins the previous paragraph's terminator
        first = layout.paragraphAt(std::max<Index>(at, 0));
        Index oldEnd = std::min(editedRange.max() - changeInLength, oldLength - 1);
        last = layout.paragraphAt(std::max(oldEnd, Index(0)));
        last = std::max(last, first);
    }
    const Index from = layout.paragraphs.empty() ? 0 : layout.start(first);
    // Grow until the new paragraphs end where an old one ended (shifted by the change).
    Index to = newLength;
    if (!layout.paragraphs.empty()) {
        for (;;) {
            Index oldEnd = layout.start(last) + layout.paragraphs[last].length + changeInLength;
            Index end = oldEnd > from ? paragraphRangeForRange(text, { from, oldEnd - from }).max() : oldEnd;
            if (end <= oldEnd || last + 1 >= layout.paragraphs.size()) {
                to = std::max(end, oldEnd);
                if (last + 1 >= layout.paragraphs.size())
                    to = newLength;
                break;
            }
            ++last;
        }
    }
    std::size_t oldCount = layout.paragraphs.empty() ? 0 : last - first + 1;
    std::size_t before = layout.paragraphs.size();
    Engine engine(manager, layout);
    if (!engine.replace(first, oldCount, { from, to - from }))
        return false;
    if (paragraphsLaidOut)
        *paragraphsLaidOut = layout.paragraphs.size() + oldCount - before;
    return true;
}

}

namespace txt {

// Paragraph positions.

using Layout = LayoutManager::Layout;

void Layout::invalidateSumsFrom(std::size_t k) const
{
    m_validSums = std::min(m_validSums, k);
    m_starts.resize(paragraphs.size());
    m_tops.resize(paragraphs.size());
}

void Layout::extendSums(std::size_t through) const
{
    if (m_starts.size() != paragraphs.size()) {
        m_starts.resize(paragraphs.size());
        m_tops.resize(paragraphs.size());
        m_validSums = std::min(m_validSums, paragraphs.size());
    }
    for (std::size_t k = m_validSums; k <= through && k < paragraphs.size(); ++k) {
        if (k == 0) {
            m_starts[0] = 0;
            m_tops[0] = paragraphs[0].layoutTop;
        } else {
            m_starts[k] = m_starts[k - 1] + paragraphs[k - 1].length;
            m_tops[k] = incremental ? m_tops[k - 1] + paragraphs[k - 1].height : paragraphs[k].layoutTop;
        }
        m_validSums = k + 1;
    }
}

fnd::Index Layout::start(std::size_t k) const
{
    if (k >= paragraphs.size())
        return length;
    extendSums(k);
    return m_starts[k];
}

double Layout::offset(std::size_t k) const
{
    if (!incremental || k >= paragraphs.size())
        return 0;
    extendSums(k);
    return m_tops[k] - paragraphs[k].layoutTop;
}

std::size_t Layout::paragraphAt(fnd::Index index) const
{
    if (paragraphs.empty())
        return 0;
    if (index >= length)
        return paragraphs.size() - 1;
    // The sums made so far are searched first; beyond them they are extended as far as needed.
    std::size_t lo = 0;
    if (m_validSums > 0 && m_starts.size() == paragraphs.size()) {
        auto end = m_starts.begin() + static_cast<std::ptrdiff_t>(m_validSums);
        auto it = std::upper_bound(m_starts.begin(), end, index);
        if (it != end)
            return static_cast<std::size_t>(it - m_starts.begin()) - 1;
        lo = m_validSums - 1;
    }
    for (std::size_t k = lo; k < paragraphs.size(); ++k)
        if (index < start(k) + paragraphs[k].length)
            return k;
    return paragraphs.size() - 1;
}

std::size_t Layout::paragraphBelow(double y) const
{
    if (!incremental) {
        for (std::size_t k = 0; k < paragraphs.size(); ++k)
            if (!paragraphs[k].lines.empty() && paragraphs[k].lines.back().rect.maxY() > y)
                return k;
        return paragraphs.size();
    }
    std::size_t lo = 0;
    if (m_validSums > 0 && m_tops.size() == paragraphs.size()) {
        auto end = m_tops.begin() + static_cast<std::ptrdiff_t>(m_validSums);
        auto it = std::upper_bound(m_tops.begin(), end, y);
        std::size_t k = it == m_tops.begin() ? 0 : static_cast<std::size_t>(it - m_tops.begin()) - 1;
        if (it != end || m_tops[m_validSums - 1] + paragraphs[m_validSums - 1].height > y) {
            // k is the last paragraph starting at or above y; skip empty-height ones.
            while (k < paragraphs.size() && offset(k) + paragraphs[k].layoutTop + paragraphs[k].height <= y)
                ++k;
            return k;
        }
        lo = m_validSums - 1;
    }
    for (std::size_t k = lo; k < paragraphs.size(); ++k)
        if (offset(k) + paragraphs[k].layoutTop + paragraphs[k].height > y)
            return k;
    return paragraphs.size();
}

std::pair<double, double> Layout::usedExtentX() const
{
    if (!m_usedExtentX) {
        double lo = INFINITY, hi = -INFINITY;
        for (const auto& p : paragraphs) {
            if (p.lines.empty())
                continue;
            lo = std::min(lo, p.usedMinX);
            hi = std::max(hi, p.usedMaxX);
        }
        m_usedExtentX = lo <= hi ? std::pair(lo, hi) : std::pair(0.0, 0.0);
    }
    return *m_usedExtentX;
}

void Layout::noteReplacedParagraphs(std::span<const Paragraph> removed, std::span<const Paragraph> added)
{
    if (!m_usedExtentX)
        return;
    auto [lo, hi] = *m_usedExtentX;
    double addedLo = INFINITY, addedHi = -INFINITY;
    for (const auto& p : added) {
        if (p.lines.empty())
            continue;
        addedLo = std::min(addedLo, p.usedMinX);
        addedHi = std::max(addedHi, p.usedMaxX);
    }
    // A removed paragraph that reached an end may have been the only one there, unless what replaces it reaches as
    // far: then measure again when next asked.
    for (const auto& p : removed) {
        if (p.lines.empty())
            continue;
        if ((p.usedMinX <= lo && addedLo > lo) || (p.usedMaxX >= hi && addedHi < hi)) {
            m_usedExtentX.reset();
            return;
        }
    }
    m_usedExtentX = std::pair(std::min(lo, addedLo), std::max(hi, addedHi));
}

const Layout::Slot& Layout::slot(fnd::Index index) const
{
    auto k = paragraphAt(index);
    return paragraphs[k].slots[static_cast<std::size_t>(index - start(k))];
}

Layout::Line Layout::placedLine(std::size_t paragraph, std::size_t line) const
{
    const auto& p = paragraphs[paragraph];
    auto placed = p.lines[line];
    double dy = offset(paragraph);
    fnd::Index dl = start(paragraph) - p.layoutStart;
    placed.rect.origin.y += dy;
    placed.usedRect.origin.y += dy;
    placed.range.location += dl;
    return placed;
}

bool Layout::lineOf(fnd::Index index, Line& line) const
{
    auto k = paragraphAt(index);
    const auto& s = paragraphs[k].slots[static_cast<std::size_t>(index - start(k))];
    if (s.line < 0)
        return false;
    line = placedLine(k, static_cast<std::size_t>(s.line));
    return true;
}

const gfx::Rect* Layout::attachmentFrame(fnd::Index index) const
{
    auto k = paragraphAt(index);
    const auto& frames = paragraphs[k].attachmentFrames;
    auto at = frames.find(index - start(k));
    return at == frames.end() ? nullptr : &at->second;
}

}
