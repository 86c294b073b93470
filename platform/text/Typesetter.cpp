#include "platform/text/Typesetter.h"

#include "platform/text/LayoutManager.h"

#include <typeinfo>

namespace txt {

FND_REGISTER_CLASS(Typesetter, fnd::Object)

void Typesetter::willSetLineFragmentRect(gfx::Rect&, fnd::Range, gfx::Rect&, double&)
{
}

bool Typesetter::lineFragmentsDependOnEarlierLines() const
{
    return typeid(*this) != typeid(Typesetter);
}

double Typesetter::baselineOffsetInLayoutManager(const LayoutManager& layoutManager, fnd::Index glyphIndex) const
{
    return layoutManager.lineFragmentRectForGlyphAtIndex(glyphIndex).height()
        - layoutManager.locationForGlyphAtIndex(glyphIndex).y;
}

}
