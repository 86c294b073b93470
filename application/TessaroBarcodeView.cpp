#include "application/TessaroBarcodeView.h"

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
