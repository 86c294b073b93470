// The preview in a window: its focus ring, copies to the general pasteboard and drags, as a person meets them.
#include "ApplicationTestSupport.h"

#include "application/BarcodeExporter.h"
#include "application/TessaroBarcodeView.h"

#include "frameworks/FoundationExtensions/EditLinkData.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Window.h"
#include "support/Canvas.h"
#include "support/Command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// The preview, recording what it hears of its drags.
class RecordingPreview : public TessaroBarcodeView {
    FND_OBJECT(RecordingPreview)
public:
    void draggedImageBeganAt(gfx::Image& image, gfx::Point screenPoint) override
    {
        dragImage = image.copy();
        beganAt = screenPoint;
    }
    void draggedImageEndedAt(gfx::Image&, gfx::Point, ui::DragOperation operation) override
    {
        ended = true;
        endOperation = operation;
    }
    std::shared_ptr<gfx::Image> dragImage;
    gfx::Point beganAt;
    bool ended { false };
    ui::DragOperation endOperation { 99 };
};

}

FND_REGISTER_CLASS(RecordingPreview, TessaroBarcodeView)

namespace {

class PreviewInWindow : public uitest::UiTest {
protected:
    PreviewInWindow()
    {
        barcode = apptest::makeBarcode("EAN13", "400638133393");
        barcode->setShouldDrawBackground(false);
        window = ui::Window::create({ { 100, 100 }, { 300, 200 } });
        preview = std::make_shared<RecordingPreview>();
        preview->initWithBarcode(barcode);
        preview->setFrameOrigin({ 20, 20 });
        window->contentView()->addSubview(preview);
        window->makeKeyAndOrderFront();
    }

    // A pixel of the window's picture at a point of its base coordinates.
    std::uint32_t windowPixel(gfx::Point p)
    {
        auto image = backend->imageOfWindow(*window);
        auto pixels = image->pixelBuffer();
        return pixels.pixel(int(p.x), pixels.height - 1 - int(p.y));
    }

    // The PDF drawn into a transparent bitmap at 2 pixels per point.
    static Canvas* drawPDF(std::unique_ptr<Canvas>& canvas, const fnd::Data& pdf, gfx::Size& pageSize)
    {
        auto rep = gfx::PDFImageRep::imageRepWithData(pdf);
        EXPECT_TRUE(rep);
        if (!rep)
            return nullptr;
        pageSize = (*rep)->size();
        canvas = std::make_unique<Canvas>(int(pageSize.width * 2), int(pageSize.height * 2), false, pageSize);
        (*rep)->drawInRect(canvas->context(), { {}, pageSize }, {}, gfx::CompositingOperation::SourceOver, 1, false);
        canvas->context().flush();
        return canvas.get();
    }

    std::shared_ptr<TBQGenericBarcode> barcode;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<RecordingPreview> preview;
};

}

TEST_F(PreviewInWindow, TheFocusRingShowsOnScreenOnly)
{
    const gfx::Point edge { 21, 20 + preview->frame().height() / 2 };
    const auto before = windowPixel(edge);
    window->makeFirstResponder(preview);
    const auto ring = windowPixel(edge);
    EXPECT_NE(ring, before);
    // The focus indicator colour, (0.231, 0.6, 0.988).
    EXPECT_LE(pixelDistance(ring, argb(255, 59, 153, 252)), 2) << std::hex << ring;
    // Copies and exports of the focused view have no ring: the same edge is the checkerboard or nothing.
    auto pdf = preview->exportPDFData();
    ASSERT_TRUE(pdf);
    std::unique_ptr<Canvas> canvas;
    gfx::Size page;
    ASSERT_TRUE(drawPDF(canvas, *pdf, page));
    EXPECT_EQ(canvas->alpha(2, int(page.height)), 0);
    window->makeFirstResponder(window->contentView());
    EXPECT_EQ(windowPixel(edge), before);
}

TEST_F(PreviewInWindow, CopyPutsTheExportPDFOnTheGeneralPasteboard)
{
    auto general = ui::Pasteboard::generalPasteboard();
    general->clearContents();
    window->makeFirstResponder(preview);
    ASSERT_TRUE(app().sendAction("copy:", nullptr, preview));
    EXPECT_EQ(general->types(), (std::vector<fnd::String> { ui::PasteboardType::PDF }));
    auto pdf = general->dataForType(ui::PasteboardType::PDF);
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->view().starts_with("%PDF"));

    std::unique_ptr<Canvas> canvas;
    gfx::Size page;
    ASSERT_TRUE(drawPDF(canvas, *pdf, page));
    EXPECT_NEAR(page.width, preview->bounds().width(), 0.01);
    EXPECT_NEAR(page.height, preview->bounds().height(), 0.01);
    // Transparent where the barcode has no background (no checkerboard), dark on the first bar.
    EXPECT_EQ(canvas->alpha(4, 4), 0);
    const double firstBar = barcode->firstBarPosition() + barcode->barWidth() / 2;
    EXPECT_EQ(canvas->alpha(int(firstBar * 2), int(page.height)), 255);
    // The view itself is back in screen mode.
    EXPECT_FALSE(preview->drawForExport());
}

TEST_F(PreviewInWindow, ADragCarriesThePDFUnderAHalfTransparentPicture)
{
    const gfx::Size size = preview->frame().size;
    const gfx::Point press { 20 + size.width / 2 + 5, 20 + size.height / 2 };
    backend->mouseDown(*window, press);
    backend->mouseDragged(*window, { press.x + 4, press.y + 2 });
    backend->mouseDragged(*window, { press.x + 40, press.y + 20 });
    backend->mouseUp(*window, { press.x + 40, press.y + 20 });
    backend->dispatchEvents();

    ASSERT_TRUE(preview->dragImage);
    EXPECT_TRUE(preview->ended);
    EXPECT_EQ(preview->endOperation, ui::DragOperations::None);
    EXPECT_EQ(preview->draggingSourceOperationMaskForLocal(true), ui::DragOperations::Copy);
    EXPECT_EQ(preview->draggingSourceOperationMaskForLocal(false), ui::DragOperations::Copy);

    // The picture is the view's size, centred on the pointer where the drag began.
    EXPECT_EQ(preview->dragImage->size(), size);
    const gfx::Point started { press.x + 4, press.y + 2 };
    EXPECT_EQ(
        preview->beganAt, window->convertBaseToScreen({ started.x - size.width / 2, started.y - size.height / 2 }));
    // It shows the screen drawing (checkerboard included) at half opacity.
    auto bitmap = preview->dragImage->CGImageForProposedRect();
    ASSERT_TRUE(bitmap);
    auto pixels = bitmap->pixelBuffer();
    const int alphaInCorner = gfx::alphaOf(pixels.pixel(2, pixels.height - 3));
    EXPECT_NEAR(alphaInCorner, 128, 2);

    // The data is the export drawing: transparent where there is no background.
    auto pdf = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag)->dataForType(ui::PasteboardType::PDF);
    ASSERT_TRUE(pdf);
    std::unique_ptr<Canvas> canvas;
    gfx::Size page;
    ASSERT_TRUE(drawPDF(canvas, *pdf, page));
    EXPECT_NEAR(page.width, size.width, 0.01);
    EXPECT_NEAR(page.height, size.height, 0.01);
    EXPECT_EQ(canvas->alpha(4, 4), 0);
}

TEST_F(PreviewInWindow, WithoutABarcodeNothingIsCopiedOrDragged)
{
    auto general = ui::Pasteboard::generalPasteboard();
    general->clearContents();
    auto drag = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    drag->clearContents();
    auto empty = TessaroBarcodeView::create();
    window->contentView()->addSubview(empty);
    empty->copy({});
    EXPECT_TRUE(general->types().empty());
    backend->mouseDown(*window, { 5, 5 });
    backend->mouseDragged(*window, { 30, 30 });
    backend->mouseUp(*window, { 30, 30 });
    backend->dispatchEvents();
    EXPECT_TRUE(drag->types().empty());
}

// The exported PDF carries the caption as text another reader finds, unless the barcode draws its text as
// outlines: then no text is there to find, only shapes.
TEST_F(PreviewInWindow, ThePDFCarriesTheCaptionAsTextUnlessOutlinesAreChosen)
{
    if (!testsupport::haveTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    auto textOf = [&]() {
        auto pdf = preview->exportPDFData();
        EXPECT_TRUE(pdf);
        const auto path = std::filesystem::path(::testing::TempDir()) / "caption.pdf";
        {
            std::ofstream out(path, std::ios::binary);
            if (pdf)
                out.write(reinterpret_cast<const char*>(pdf->vector().data()), std::streamsize(pdf->vector().size()));
        }
        auto result = testsupport::runCommand("pdftotext " + path.string() + " - 2>&1");
        EXPECT_EQ(result.status, 0) << result.output;
        // The digits are letter-spaced: a reader may put spaces between them.
        std::string text;
        for (char c : result.output)
            if (c != ' ' && c != '\n' && c != '\f')
                text += c;
        return text;
    };
    // EAN-13 of 400638133393 with its check digit 1.
    EXPECT_NE(textOf().find("4006381333931"), std::string::npos);
    barcode->setConvertTextToVector(true);
    EXPECT_EQ(textOf(), "");
}

// The plain view (class version 1), unlike the main window's preview, puts the barcode itself beside the PDF: the
// EditLink entry of server "Lumvara" whose application data is the barcode's keyed archive. Copies and drags carry
// the same entry, and the archive reads back as the barcode.
TEST_F(PreviewInWindow, ThePlainViewAddsTheBarcodeItselfAsEditLinkDataThatReadsBack)
{
    EXPECT_EQ(fnd::classVersion(TBQBarcodeView::staticClassInfo()), 1);
    auto plain = TBQBarcodeView::createWithBarcode(barcode);
    plain->setFrameOrigin({ 20, 20 });
    preview->removeFromSuperview();
    window->contentView()->addSubview(plain);
    auto general = ui::Pasteboard::generalPasteboard();
    general->clearContents();
    window->makeFirstResponder(plain);
    ASSERT_TRUE(app().sendAction("copy:", nullptr, plain));
    EXPECT_EQ(general->types(), (std::vector<fnd::String> { ui::PasteboardType::PDF, EditLinkPboardType }));
    auto pdf = general->dataForType(ui::PasteboardType::PDF);
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->view().starts_with("%PDF"));

    auto entry = general->propertyListForType(EditLinkPboardType);
    ASSERT_TRUE(entry.isDictionary());
    const auto& link = *entry.dictionary();
    EXPECT_EQ(link.get("serverName").stringValue(), u"Lumvara");
    EXPECT_EQ(EditLinkData::editLinkVersion(link), u"A");
    EXPECT_EQ(EditLinkData::editLinkSuggestedRefreshRate(link), 0);
    auto archive = EditLinkData::editLinkAppData(link);
    ASSERT_TRUE(archive.isData());

    // Read back, the archive is the barcode: an EAN-13 of the same content and look, whose exported picture a reader
    // decodes with the check digit its content makes (400638133393 → 1).
    auto restored = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*archive.data());
    ASSERT_TRUE(restored) << restored.error().localizedDescription().utf8();
    auto copy = restored->objectAs<TBQGenericBarcode>();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->className(), fnd::String("EAN13"));
    EXPECT_EQ(copy->content(), barcode->content());
    EXPECT_EQ(copy->barWidth(), static_cast<double>(static_cast<float>(barcode->barWidth())));
    EXPECT_FALSE(copy->shouldDrawBackground());
    // Exported on white: without a background the picture is transparent, which a reader takes for dark.
    copy->setShouldDrawBackground(true);
    auto folder = apptest::scratchFolder("EditLinkData");
    auto png = (folder / "restored.png").string();
    ASSERT_TRUE(BarcodeExporter::exportBarcode(copy, long(ExportFileType::PNG), 300, 0, fnd::String(png)));
    if (testsupport::haveTool("zbarimg")) {
        auto read = testsupport::runCommand("zbarimg --quiet --raw '" + png + "' 2>/dev/null");
        EXPECT_EQ(read.output, "4006381333931\n");
    }
    std::filesystem::remove_all(folder);

    // A drag carries the same entry.
    auto drag = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    drag->clearContents();
    const gfx::Point middle { 20 + plain->frame().width() / 2, 20 + plain->frame().height() / 2 };
    backend->mouseDown(*window, middle);
    backend->mouseDragged(*window, { middle.x + 5, middle.y });
    backend->mouseDragged(*window, { middle.x + 40, middle.y + 20 });
    backend->mouseUp(*window, { middle.x + 40, middle.y + 20 });
    backend->dispatchEvents();
    EXPECT_EQ(drag->types(), (std::vector<fnd::String> { ui::PasteboardType::PDF, EditLinkPboardType }));
    EXPECT_EQ(drag->propertyListForType(EditLinkPboardType), entry);
}
