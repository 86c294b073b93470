#pragma once

#include "application/TBQBarcodeView.h"

// The main window's preview. Its copies and drags carry the PDF alone: the application serves no EditLink edits.
// Programs that take only bitmaps get the PDF as PNG at the export resolution.
class TessaroBarcodeView : public TBQBarcodeView {
    FND_OBJECT(TessaroBarcodeView)
public:
    static std::shared_ptr<TessaroBarcodeView> create(gfx::Rect frame = DefaultFrame);
    static std::shared_ptr<TessaroBarcodeView> createWithBarcode(const BarcodePtr& barcode);

    void copyBarcode(const BarcodePtr& barcode, ui::Pasteboard& pasteboard) override;
};
