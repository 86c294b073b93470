#pragma once

#include "platform/text/LayoutManager.h"

#include <map>

namespace txt {

// What one layout pass produces. Container coordinates (y down); x positions relative to the line fragment.
struct LayoutManager::Layout {
    struct Record {
        gfx::Glyph glyph;
        double dx; // from the slot's pen position, y up
        double dy;
    };
    // One per UTF-16 unit.
    struct Slot {
        std::uint32_t firstRecord { 0 };
        std::uint32_t recordCount { 0 };
        double x { 0 };
        double advance { 0 };
        double shift { 0 }; // baseline shift, y up
        std::int32_t font { -1 }; // into fonts
        std::int32_t line { -1 }; // -1: not laid out (no room in the containers)
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

    std::vector<Slot> slots;
    std::vector<Record> records;
    std::vector<std::shared_ptr<gfx::Font>> fonts;
    std::vector<Line> lines;
    // Attachment frames relative to the glyph's origin on the baseline, y up.
    std::map<fnd::Index, gfx::Rect> attachmentFrames;
    std::vector<fnd::Range> containerRanges;

    const gfx::Font& fontOf(const Slot& slot) const { return *fonts[static_cast<std::size_t>(slot.font)]; }
};

namespace detail {

std::unique_ptr<LayoutManager::Layout> buildLayout(const LayoutManager& manager);

}

}
