#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/Geometry.h"

namespace txt {

class LayoutManager;

// The layout manager's hooks into line layout. Subclasses adjust each line fragment before it is stored.
class Typesetter : public fnd::Object {
    FND_OBJECT(Typesetter)
public:
    Typesetter() = default;

    // Called for every line fragment, in container coordinates (y down). lineRect and usedRect may be moved or
    // resized; glyphs keep their place relative to the fragment, and the next line starts below the fragment's
    // new bottom. baselineOffset is the baseline's distance below the fragment's top.
    virtual void willSetLineFragmentRect(
        gfx::Rect& lineRect, fnd::Range glyphRange, gfx::Rect& usedRect, double& baselineOffset);

    // Whether a fragment may depend on the lines before it (a hook that looks back at earlier fragments). When it
    // does, an edit lays everything out again; when not, only the touched paragraphs, and the ones after them move
    // as a whole without the hook being asked again. The plain typesetter's fragments do not; a subclass is taken
    // to look back unless it answers otherwise.
    virtual bool lineFragmentsDependOnEarlierLines() const;

    // The distance from the bottom of the glyph's line fragment up to its baseline.
    virtual double baselineOffsetInLayoutManager(const LayoutManager& layoutManager, fnd::Index glyphIndex) const;
};

}
