#include "application/TessaroBarcodeView.h"

FND_REGISTER_CLASS(TessaroBarcodeView, TBQBarcodeView)

std::shared_ptr<TessaroBarcodeView> TessaroBarcodeView::create(gfx::Rect frame)
{
    auto view = fnd::makeObject<TessaroBarcodeView>();
    view->initWithFrame(frame);
    return view;
}

std::shared_ptr<TessaroBarcodeView> TessaroBarcodeView::createWithBarcode(const BarcodePtr& barcode)
{
    auto view = fnd::makeObject<TessaroBarcodeView>();
    view->initWithBarcode(barcode);
    return view;
}
