#pragma once

#include "frameworks/AppKitExtensions/TextOnPathPlacement.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Range.h"

// Measures where a range of characters lies along the path: the distance of its first glyph and its length.
class TBQTextOnPathMetricsHelper : public fnd::Object, public TextOnPathPlacement {
    FND_OBJECT(TBQTextOnPathMetricsHelper)
public:
    TBQTextOnPathMetricsHelper() = default;

    void setCharacterRange(fnd::Range range) { m_characterRange = range; }
    double position() const { return m_startPosition; }
    double length() const { return m_length; }

    void layoutManager(txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point location, double angle,
        double yOffset) override;

private:
    fnd::Range m_characterRange { 0, 0 };
    double m_startPosition { 0 };
    double m_length { 0 };
};
