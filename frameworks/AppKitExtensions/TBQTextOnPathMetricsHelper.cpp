#include "frameworks/AppKitExtensions/TBQTextOnPathMetricsHelper.h"

#include "platform/text/LayoutManager.h"

FND_REGISTER_CLASS(TBQTextOnPathMetricsHelper, fnd::Object)

void TBQTextOnPathMetricsHelper::layoutManager(
    txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point, double, double)
{
    auto g = static_cast<fnd::Index>(glyphIndex);
    auto character = layoutManager.characterIndexForGlyphAtIndex(g);
    if (character < m_characterRange.location || character >= m_characterRange.max())
        return;
    double x = layoutManager.locationForGlyphAtIndex(g).x;
    if (m_length == 0)
        m_startPosition = x;
    double end;
    if (g + 1 < layoutManager.numberOfGlyphs()) {
        end = layoutManager.locationForGlyphAtIndex(g + 1).x;
    } else {
        auto used = layoutManager.lineFragmentUsedRectForGlyphAtIndex(g);
        end = used.maxX();
    }
    m_length = end - m_startPosition;
}
