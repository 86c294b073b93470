#pragma once

#include "platform/graphics/Color.h"

#include <cstdint>
#include <vector>

// The seven colour labels an entry can carry (label type 1 to 7; 0 and −1 are none), and the lettering colour that
// reads well on each.
class ZORColorLabelColors {
public:
    static ZORColorLabelColors& sharedTBQColorLabelColors();

    // Eight colours: the clear colour at 0 (no label), then the seven labels.
    const std::vector<gfx::ColorPtr>& colorList() const { return m_colorList; }

    // A copy of the label's colour for 1 to 7 (a new object at every call), nullptr otherwise (0 included).
    static gfx::ColorPtr getLabelColorAtindex(std::int64_t index);
    static gfx::ColorPtr getLabelColorForLabelType(std::int64_t type) { return getLabelColorAtindex(type); }
    // White on the darker labels (4, 5, 6) and for −1, black on every other value.
    static gfx::ColorPtr letteringColorForLabelType(std::int64_t type);

    ZORColorLabelColors(const ZORColorLabelColors&) = delete;
    ZORColorLabelColors& operator=(const ZORColorLabelColors&) = delete;

private:
    ZORColorLabelColors();

    std::vector<gfx::ColorPtr> m_colorList;
};
