#pragma once

#include "platform/text/LayoutManager.h"

// A layout manager that answers line heights for the barcode layout's captions and headlines.
class ZORLayoutManager : public txt::LayoutManager {
    FND_OBJECT(ZORLayoutManager)
public:
    // The default line height of a layout manager for the font.
    static double lineHeightForFont(const gfx::Font& font);
};
