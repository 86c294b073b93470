// The barcode view as a source of data: copies to a pasteboard and drags, both carrying the PDF of the view and the
// EditLink entry that holds the barcode itself.
#include "application/TBQBarcodeView.h"

#include "frameworks/FoundationExtensions/EditLinkData.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

namespace {

constexpr double DragImageOpacity = 0.5;

}

bool TBQBarcodeView::hasExportableBarcode() const
{
    return m_barcode && errorTextOfBarcode(*m_barcode).isEmpty();
}

void TBQBarcodeView::copy(const fnd::Value&)
{
    if (!hasExportableBarcode()) {
        ui::Application::shared().beep();
        return;
    }
    copyBarcode(m_barcode, *ui::Pasteboard::generalPasteboard());
}

bool TBQBarcodeView::validateMenuItem(ui::MenuItem& item)
{
    return item.action() != fnd::Selector("copy:") || hasExportableBarcode();
}

fnd::Expected<fnd::Data> TBQBarcodeView::exportPDFData()
{
    const bool wasExporting = m_drawForExport;
    m_drawForExport = true;
    auto data = dataWithPDFInsideRect(bounds());
    m_drawForExport = wasExporting;
    return data;
}

void TBQBarcodeView::copyBarcode(const BarcodePtr& barcode, ui::Pasteboard& pasteboard)
{
    auto pdf = exportPDFData();
    if (!pdf) {
        fnd::logf(fnd::LogLevel::Error, "The barcode could not be drawn as PDF: {}",
            pdf.error().localizedDescription().utf8());
        return;
    }
    pasteboard.declareTypes({ ui::PasteboardType::PDF, EditLinkPboardType });
    pasteboard.setPropertyList(fnd::Value(editLinkData(barcode)), EditLinkPboardType);
    pasteboard.setData(*pdf, ui::PasteboardType::PDF);
}

fnd::Dictionary TBQBarcodeView::editLinkData(const BarcodePtr& barcode)
{
    fnd::Value archive;
    if (barcode) {
        if (auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(barcode)))
            archive = fnd::Value(*data);
        else
            fnd::logf(fnd::LogLevel::Error, "The barcode could not be archived: {}",
                data.error().localizedDescription().utf8());
    }
    return EditLinkData::editLinkDataWithServerName(fnd::String(EditLinkServerName), archive);
}

ui::DragOperation TBQBarcodeView::draggingSourceOperationMaskForLocal(bool)
{
    return ui::DragOperations::Copy;
}

std::shared_ptr<gfx::Image> TBQBarcodeView::dragImage()
{
    auto data = dataWithPDFInsideRect(bounds());
    if (!data)
        return nullptr;
    auto rep = gfx::PDFImageRep::imageRepWithData(*data);
    if (!rep)
        return nullptr;
    const gfx::Size size = bounds().size;
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocus();
    if (auto* context = gfx::GraphicsContext::current())
        (*rep)->drawInRect(*context, { {}, size }, {}, gfx::CompositingOperation::SourceOver, DragImageOpacity, false);
    image->unlockFocus();
    return image;
}

void TBQBarcodeView::mouseDragged(const ui::Event& event)
{
    if (!hasExportableBarcode()) {
        View::mouseDragged(event);
        return;
    }
    auto image = dragImage();
    if (!image)
        return;
    // Centred on the pointer: half the image's size on screen, in this view's units.
    const gfx::Size unit = convertSizeFromView({ 1, 1 }, nullptr);
    const gfx::Size size = image->size();
    const gfx::Point mouse = convertPointFromView(event.locationInWindow(), nullptr);
    const gfx::Point origin { mouse.x - unit.width * size.width / 2, mouse.y - unit.height * size.height / 2 };

    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    auto self = std::static_pointer_cast<TBQBarcodeView>(shared_from_this());
    copyBarcode(m_barcode, *pasteboard);
    ui::dragImage(*this, image, origin, {}, event, pasteboard, self, true);
}
