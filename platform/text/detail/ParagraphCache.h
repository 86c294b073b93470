#pragma once

// Laid-out paragraphs kept for reuse: a paragraph whose text, fonts and container width have been laid out before
// is taken from here instead of being shaped and broken into lines again. Private to the layout code.

#include "platform/text/detail/Doorkeeper.h"
#include "platform/text/detail/Layout.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace txt {
class ParagraphStyle;
}

namespace txt::detail {

// One attribute run of a paragraph as far as layout sees it.
struct ParagraphRun {
    fnd::Index length { 0 };
    const void* face { nullptr }; // the font's face: the same face at the same size shapes the same
    double size { 0 };
    double kern { 0 };
    double baselineOffset { 0 };
    double superscript { 0 };

    bool operator==(const ParagraphRun&) const = default;
};

// Everything a paragraph's layout depends on but where it starts: its units (terminator included), its runs, its
// style, the container's width and padding and the mask character.
struct ParagraphProbe {
    std::u16string_view units;
    std::span<const ParagraphRun> runs;
    const ParagraphStyle* style { nullptr }; // nullptr: the default style
    double width { 0 };
    double padding { 0 };
    char32_t mask { 0 };

    // Worked out once per probe.
    std::size_t hash() const;
    mutable std::optional<std::size_t> knownHash {};
};

// Lets go of the paragraphs and shaped runs this thread's caches keep, when they keep any (emptying an empty cache
// still costs a pass over its table of recently met keys). For a caller that must leave no layout behind, such as a
// fuzz target at the end of an input.
void forgetThreadLayouts();

// A paragraph as laid out, with the fonts its slots index.
struct CachedParagraph {
    LayoutManager::Layout::Paragraph paragraph;
    std::vector<std::shared_ptr<gfx::Font>> fonts;
};

// Per thread, most recently used first; bounded by the number of units it holds.
class ParagraphCache {
public:
    static ParagraphCache& forThread();

    // Whether the paragraph was met before (its hash is remembered): only then is it looked for, and kept when not
    // found, so text that passes once (a grid scrolled page after page) costs neither a search nor a copy.
    bool admits(const ParagraphProbe& probe);
    const CachedParagraph* find(const ParagraphProbe& probe);
    void insert(const ParagraphProbe& probe, CachedParagraph paragraph);
    void clear();
    std::size_t count() const { return m_entries.size(); }
    // Paragraphs found, and paragraphs laid out instead (met for the first time, or not found), since the thread
    // began.
    std::uint64_t hits() const { return m_hits; }
    std::uint64_t misses() const { return m_misses; }

    // Kept within this many UTF-16 units of text, about 100 bytes of layout each.
    static constexpr std::size_t UnitBudget = 64 * 1024;

private:
    struct Entry {
        std::size_t hash;
        std::u16string units;
        std::vector<ParagraphRun> runs;
        std::shared_ptr<ParagraphStyle> style;
        double width;
        double padding;
        char32_t mask;
        CachedParagraph laidOut;
        bool matches(const ParagraphProbe& probe, std::size_t probeHash) const;
    };
    std::list<Entry> m_entries;
    std::unordered_multimap<std::size_t, std::list<Entry>::iterator> m_byHash;
    Doorkeeper m_seen;
    std::size_t m_units { 0 };
    std::uint64_t m_hits { 0 };
    std::uint64_t m_misses { 0 };
};

}
