#include "frameworks/AppKitExtensions/TBQTextOnPathGlyphDrawer.h"

#include "frameworks/AppKitExtensions/detail/TextOrientation.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/LayoutManager.h"

FND_REGISTER_CLASS(TBQTextOnPathGlyphDrawer, fnd::Object)

void TBQTextOnPathGlyphDrawer::layoutManager(
    txt::LayoutManager& layoutManager, std::uint64_t glyphIndex, gfx::Point location, double angle, double yOffset)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto g = static_cast<fnd::Index>(glyphIndex);
    gfx::Point laidOut = layoutManager.locationForGlyphAtIndex(g);
    gfx::GraphicsStateGuard guard;
    gfx::AffineTransform placement;
    placement.translateBy(location.x, location.y);
    placement.rotateByRadians(angle);
    context->concatCTM(placement);
    // The layout manager draws its line with the top at the origin, downwards on the page whichever way the context
    // runs; the baseline lands yOffset from the path on the text's side.
    gfx::Point origin { -laidOut.x, ZORTextOrientation::textSide() * yOffset };
    layoutManager.drawBackgroundForGlyphRange({ g, 1 }, origin);
    layoutManager.drawGlyphsForGlyphRange({ g, 1 }, origin);
}
