#pragma once

#include "platform/text/LayoutManager.h"

#include <map>
#include <optional>
#include <span>

namespace txt {

// What layout produces, paragraph by paragraph, so that an edit lays out again only the paragraphs it touched.
// Container coordinates (y down); x positions relative to the line fragment.
//
// A paragraph keeps the geometry it was laid out with (its lines' rects and ranges as they were then); where it
// stands now is its start and top, summed from the paragraphs before it when first needed. In incremental mode
// (one container, the plain typesetter) a paragraph laid out again moves the ones after it only through these
// sums. Otherwise every edit lays the text out again from the first changed paragraph on.
struct LayoutManager::Layout {
    struct Record {
        gfx::Glyph glyph;
        double dx; // from the slot's pen position, y up
        double dy;
    };
    // One per UTF-16 unit.
    struct Slot {
        std::uint32_t firstRecord { 0 }; // into the paragraph's records
        std::uint32_t recordCount { 0 };
        double x { 0 };
        double advance { 0 };
        double shift { 0 }; // baseline shift, y up
        std::int32_t font { -1 }; // into fonts
        std::int32_t line { -1 }; // into the paragraph's lines; -1: not laid out (no room in the containers)
        std::uint8_t level { 0 };
        bool hidden { false }; // cut by truncation
    };
    struct Line {
        gfx::Rect rect;
        gfx::Rect usedRect;
        fnd::Range range;
        double baseline; // below the fragment's top
        std::size_t container;
    };
    struct Paragraph {
        fnd::Index length { 0 }; // units, terminator included
        fnd::Index layoutStart { 0 }; // where it started when laid out
        double layoutTop { 0 }; // the y its lines were laid out from
        double height { 0 }; // from layoutTop to the bottom of its last line
        double usedMinX { 0 }; // left end of its used rects
        double usedMaxX { 0 }; // right end of its widest used rect
        std::vector<Slot> slots;
        std::vector<Record> records;
        std::vector<Line> lines;
        // Attachment frames by index in the paragraph, relative to the glyph's origin on the baseline, y up.
        std::map<fnd::Index, gfx::Rect> attachmentFrames;
    };

    std::vector<Paragraph> paragraphs;
    std::vector<std::shared_ptr<gfx::Font>> fonts;
    std::vector<fnd::Range> containerRanges;
    bool incremental { false };
    // In incremental mode: the bottom of the last paragraph's lines.
    double bottom { 0 };
    // The fragment after text ending in a line break (or of an empty text), where the caret goes at the end.
    std::optional<Line> extraLine;
    fnd::Index length { 0 };

    // Where paragraph k starts and how far its lines have moved since they were laid out.
    fnd::Index start(std::size_t k) const;
    double offset(std::size_t k) const;
    // The paragraph holding index (the last one for the text's end).
    std::size_t paragraphAt(fnd::Index index) const;
    // The first paragraph whose lines reach below y (paragraphs.size() when none).
    std::size_t paragraphBelow(double y) const;
    // Paragraph k changed from here on: the sums after it are made again when asked for.
    void invalidateSumsFrom(std::size_t k) const;
    // The left and right ends of all used rects, kept across edits that do not touch the widest paragraphs.
    std::pair<double, double> usedExtentX() const;
    void noteReplacedParagraphs(std::span<const Paragraph> removed, std::span<const Paragraph> added);

    // A glyph's slot, and its line as it stands now (rect and range moved to the paragraph's place).
    const Slot& slot(fnd::Index index) const;
    bool lineOf(fnd::Index index, Line& line) const;
    Line placedLine(std::size_t paragraph, std::size_t line) const;
    const gfx::Font& fontOf(const Slot& slot) const { return *fonts[static_cast<std::size_t>(slot.font)]; }
    // The attachment frame of the glyph, when it has one.
    const gfx::Rect* attachmentFrame(fnd::Index index) const;

    // Calls visit(line, paragraph, paragraphStart) for the placed lines that meet the glyph range, in the container
    // (any container when -1). An empty line counts when the range holds its location.
    template <typename F> void forLinesIn(fnd::Range range, std::ptrdiff_t container, F&& visit) const
    {
        if (paragraphs.empty() || range.length <= 0)
            return;
        for (std::size_t k = paragraphAt(range.location); k < paragraphs.size(); ++k) {
            auto s = start(k);
            if (s >= range.max())
                break;
            const auto& p = paragraphs[k];
            for (std::size_t li = 0; li < p.lines.size(); ++li) {
                if (container >= 0 && static_cast<std::ptrdiff_t>(p.lines[li].container) != container)
                    continue;
                auto line = placedLine(k, li);
                if (intersection(line.range, range).length == 0
                    && !(line.range.length == 0 && range.contains(line.range.location)))
                    continue;
                visit(line, p, s);
            }
        }
    }

private:
    void extendSums(std::size_t through) const;
    mutable std::vector<fnd::Index> m_starts;
    mutable std::vector<double> m_tops;
    mutable std::size_t m_validSums { 0 };
    mutable std::optional<std::pair<double, double>> m_usedExtentX;
};

namespace detail {

std::unique_ptr<LayoutManager::Layout> buildLayout(const LayoutManager& manager);
// Lays out again what an edit changed (range in the new text, change in length); false when the layout must be
// made anew instead.
bool updateLayout(const LayoutManager& manager, LayoutManager::Layout& layout, fnd::Range editedRange,
    fnd::Index changeInLength, std::size_t* paragraphsLaidOut);

}

}
