#include "frameworks/AppKitExtensions/TBQPathGlyphInfo.h"

FND_REGISTER_CLASS(TBQPathGlyphInfo, fnd::Object)
