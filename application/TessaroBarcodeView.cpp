#include "application/TessaroBarcodeView.h"

#include "application/ApplicationSupport.h"
#include "application/PreferencesKeys.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/ui/dragging/Pasteboard.h"

FND_REGISTER_CLASS(TessaroBarcodeView, TBQBarcodeView)

std::shared_ptr<TessaroBarcodeView> TessaroBarcodeView::create(gfx::Rect frame)
{
    return ui::makeView<TessaroBarcodeView>(frame);
}

std::shared_ptr<TessaroBarcodeView> TessaroBarcodeView::createWithBarcode(const BarcodePtr& barcode)
{
    auto view = std::make_shared<TessaroBarcodeView>();
    view->initWithBarcode(barcode);
    return view;
}

void TessaroBarcodeView::copyBarcode(const BarcodePtr&, ui::Pasteboard& pasteboard)
{
    auto pdf = exportPDFData();
    if (!pdf) {
        fnd::logf(fnd::LogLevel::Error, "The barcode could not be drawn as PDF: {}",
            pdf.error().localizedDescription().utf8());
        return;
    }
    pasteboard.declareTypes({ ui::PasteboardType::PDF });
    pasteboard.setData(*pdf, ui::PasteboardType::PDF);
    // A program that pastes only bitmaps gets the drawing at the resolution image exports use.
    pasteboard.setImageResolution(double(defaults().integerForKey(LMVExportResolutionTag)));
}
