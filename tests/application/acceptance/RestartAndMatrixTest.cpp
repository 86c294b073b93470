// What a restart brings back, matrix symbols, content that cannot be encoded, and the zoom.
#include "AcceptanceSupport.h"

#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Event.h"
#include "support/DecoderCheck.h"

#include <cmath>

using namespace acceptance;

namespace {

class RestartAndMatrix : public ApplicationTest { };

std::vector<double> numbersOf(const fnd::Array& list)
{
    std::vector<double> numbers;
    for (const auto& v : list) {
        auto container = v.objectAs<ZORNumberContainer>();
        numbers.push_back(container ? container->numberObject().doubleValue() : v.doubleValue());
    }
    return numbers;
}

}

TEST_F(RestartAndMatrix, ARestartBringsBackEveryChoice)
{
    choose(*app().barcodePopupButton(), "Code 128");
    typeInto(*app().contentTextField(), u"ABC-123");
    pickColour(*app().barcodeColorWell(), "#003366");
    pickColour(*app().backgroundColorWell(), "#FFF0C0");
    typeInto(*app().modulWidthComboBox(), u"0.5");
    pressReturn();
    typeInto(*app().fontHeightComboBox(), u"15");
    pressReturn();
    chooseTag(*app().zoomPopupButton(), 200);
    exportAs(ExportChoice::as(TIFF).at(600).in(CMYK).named("code"));
    const float moduleWidth = float(barcode().barWidth());

    // Quitting writes what still waited.
    quit();
    auto stored = storedDefaults();
    EXPECT_EQ(stored.get(DefaultBarcodeClassNameKey), fnd::Value("Code128"));
    EXPECT_EQ(stored.get(DefaultBarcodeContentKey), fnd::Value("ABC-123"));
    EXPECT_EQ(stored.get(DefaultBarcodeZoomScaleKey), fnd::Value(200));

    launch();
    EXPECT_EQ(barcode().className(), fnd::String("Code128"));
    EXPECT_EQ(app().barcodePopupButton()->titleOfSelectedItem(), barcode().barcodeName());
    EXPECT_EQ(barcode().content().utf8(), "ABC-123");
    EXPECT_EQ(app().contentTextField()->stringValue().utf8(), "ABC-123");
    EXPECT_EQ(hexOf(barcode().barColor()), "#003366");
    EXPECT_EQ(hexOf(app().barcodeColorWell()->color()), "#003366");
    EXPECT_EQ(hexOf(barcode().backgroundColor()), "#FFF0C0");
    EXPECT_FLOAT_EQ(float(barcode().barWidth()), moduleWidth);
    EXPECT_EQ(app().modulWidthComboBox()->stringValue().utf8(), "0.500 mm");
    EXPECT_EQ(barcode().font()->pointSize(), 15);
    EXPECT_EQ(app().zoomPopupButton()->selectedTag(), 200);
    EXPECT_EQ(app().scaleFactor(), 2.0);
    EXPECT_EQ(app().previewScrollView()->contentView()->bounds().width() * 2,
        app().previewScrollView()->contentView()->frame().width())
        << "the preview is shown at twice its size";

    // The lists grew by the sizes applied, in order; the new module width has no preset name.
    const auto widths = Preferences::modulWidthArray();
    auto numbers = numbersOf(widths);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    auto added = std::find_if(widths.begin(), widths.end(), [&](const fnd::Value& v) {
        return v.objectAs<ZORNumberContainer>()->numberObject().floatValue() == moduleWidth;
    });
    ASSERT_NE(added, widths.end());
    EXPECT_TRUE(added->objectAs<ZORNumberContainer>()->infoString().value_or("").isEmpty());
    EXPECT_EQ(numbersOf(Preferences::fontHeightArray()),
        (std::vector<double> { 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 20 }));

    // The export sheet opens with the last choices.
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    EXPECT_EQ(app().exportFileTypePopup()->selectedTag(), TIFF);
    EXPECT_EQ(app().exportImageResolutionPopup()->selectedTag(), 600);
    EXPECT_EQ(app().exportImageColorSpacePopup()->selectedTag(), CMYK);
    click(*exportPanel()->cancelButton());
}

TEST_F(RestartAndMatrix, QRCodeExportsSquareModulesInsideFourModulesOfQuietZone)
{
    choose(*app().barcodePopupButton(), "QR Code");
    typeInto(*app().contentTextField(), u"https://example.org/barcodes");
    auto path = exportAs(ExportChoice::as(PNG).at(300).named("qr"));
    auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(path));
    ASSERT_TRUE(rep);
    const double module = barcode().barWidth() * 300 / 72;
    // The first dark pixel of the top-left finder pattern: four modules in from both edges.
    long firstX = -1, firstY = -1;
    for (long y = 0; y < (*rep)->pixelsHigh() && firstY < 0; ++y)
        for (long x = 0; x < (*rep)->pixelsWide(); ++x)
            if (isDarkPixel(**rep, x, y)) {
                firstX = x;
                firstY = y;
                break;
            }
    EXPECT_NEAR(double(firstX), 4 * module, 1.0);
    EXPECT_NEAR(double(firstY), 4 * module, 1.0);
    // The finder's top row is seven modules long, as high as it is wide per module.
    auto runs = darkRunsOnRow(**rep, firstY);
    ASSERT_FALSE(runs.dark.empty());
    EXPECT_NEAR(double(runs.dark.front().second), 7 * module, 1.0);
    long height = 0;
    while (firstY + height < (*rep)->pixelsHigh() && isDarkPixel(**rep, firstX + 1, firstY + height))
        ++height;
    EXPECT_NEAR(double(height), 7 * module, 1.0) << "square modules";
    // The background is on: a reader sees the content.
    if (auto read = DecoderCheck::zbarimg(path, true)) {
        EXPECT_EQ(*read, "https://example.org/barcodes");
    }
}

// Content a symbology cannot encode has no symbol: the preview shows why, and Export and Copy are disabled wherever
// they are offered (menu, shortcut, toolbar, drag) until the content can be encoded again. Its red sentence written
// as the barcode would report a failure as a success.
TEST_F(RestartAndMatrix, ContentThatCannotBeEncodedDisablesExportAndCopy)
{
    struct Case {
        const char* symbology;
        std::u16string content;
    };
    auto general = ui::Pasteboard::generalPasteboard();
    auto drag = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    auto toolbarItemEnabled = [&](const fnd::String& identifier) {
        auto viewer = toolbarItemViewer(identifier);
        EXPECT_TRUE(viewer) << identifier.utf8();
        return viewer && viewer->item()->isEnabled();
    };
    for (const auto& c :
        { Case { "QR Code", u"Preis 5 \u20ac" }, Case { "GS1-128", u"[01]123" }, Case { "Codabar", u"40156" } }) {
        SCOPED_TRACE(c.symbology);
        choose(*app().barcodePopupButton(), c.symbology);
        typeInto(*app().contentTextField(), c.content);
        const auto error = TBQBarcodeView::errorTextOfBarcode(barcode());
        ASSERT_FALSE(error.isEmpty());
        EXPECT_EQ(preview().frame(), TBQBarcodeView::DefaultFrame);
        EXPECT_EQ(preview().accessibilityAttributeValue(ui::AccessibilityAttribute::Description), fnd::Value(error))
            << "the preview says why";
        EXPECT_FALSE(toolbarItemEnabled(Lumvara_TessaroAppDelegate::ExportItemIdentifier));
        EXPECT_FALSE(toolbarItemEnabled(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier));

        click(preview());
        EXPECT_FALSE(menuItemIsEnabled("export:"));
        EXPECT_FALSE(menuItemIsEnabled("copy:"));
        general->declareTypes({ ui::PasteboardType::String });
        general->setString("kept", ui::PasteboardType::String);
        pressKey(u'e', ui::KeyCode::E, ui::ModifierFlags::Command);
        pressKey(u'c', ui::KeyCode::C, ui::ModifierFlags::Command);
        pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
        pressToolbarItem(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier);
        EXPECT_FALSE(exportPanel()) << "no save sheet";
        EXPECT_EQ(general->types(), (std::vector<fnd::String> { ui::PasteboardType::String })) << "nothing copied";
        drag->clearContents();
        const auto middle
            = preview().convertPointToView({ preview().bounds().midX(), preview().bounds().midY() }, nullptr);
        backend->mouseDown(window(), middle);
        backend->mouseDragged(window(), { middle.x + 30, middle.y + 30 });
        backend->mouseUp(window(), { middle.x + 30, middle.y + 30 });
        backend->dispatchEvents();
        EXPECT_TRUE(drag->types().empty()) << "no drag";
    }

    // Content it can encode brings them back.
    typeInto(*app().contentTextField(), u"A40156B");
    ASSERT_TRUE(TBQBarcodeView::errorTextOfBarcode(barcode()).isEmpty());
    EXPECT_TRUE(toolbarItemEnabled(Lumvara_TessaroAppDelegate::ExportItemIdentifier));
    EXPECT_TRUE(toolbarItemEnabled(Lumvara_TessaroAppDelegate::ClipboardItemIdentifier));
    EXPECT_TRUE(menuItemIsEnabled("export:"));
    auto path = exportAs(ExportChoice::as(PDF).named("codabar"));
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST_F(RestartAndMatrix, TheZoomScalesThePreviewAndRemembersOnlyChanges)
{
    auto clip = app().previewScrollView()->contentView();
    const double frameWidth = clip->frame().width();
    chooseTag(*app().zoomPopupButton(), 100);
    wait(1.5);
    EXPECT_FALSE(storedDefaults().contains(DefaultBarcodeZoomScaleKey)) << "the zoom that is shown is not stored";

    chooseTag(*app().zoomPopupButton(), 400);
    EXPECT_NEAR(clip->bounds().width() * 4, frameWidth, 1e-6);
    chooseTag(*app().zoomPopupButton(), 50);
    EXPECT_NEAR(clip->bounds().width() / 2, frameWidth, 1e-6);
    wait(1.5);
    EXPECT_EQ(storedDefaults().get(DefaultBarcodeZoomScaleKey), fnd::Value(50));
    // The zoom sits beside the horizontal scroller.
    auto scrollView = app().previewScrollView();
    ASSERT_EQ(scrollView->horRightSlots().size(), 1u);
    EXPECT_EQ(scrollView->horRightSlots().front(), app().zoomPopupButton());
    quit();
}
