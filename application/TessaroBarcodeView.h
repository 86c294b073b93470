#pragma once

#include "application/TBQBarcodeView.h"

// The main window's preview. Its copies and drags carry the PDF alone, which is all the base class writes as
// long as it has no EditLink entry to add.
class TessaroBarcodeView : public TBQBarcodeView {
    FND_OBJECT(TessaroBarcodeView)
public:
    static std::shared_ptr<TessaroBarcodeView> create(gfx::Rect frame = DefaultFrame);
    static std::shared_ptr<TessaroBarcodeView> createWithBarcode(const BarcodePtr& barcode);
};
