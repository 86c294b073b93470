// What a restart brings back, matrix symbols and error texts in exports, and the zoom.
#include "AcceptanceSupport.h"

#include "application/Preferences.h"
#include "application/PreferencesKeys.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"
#include "barcodes/TBQGeneric2DBarcode.h"
#include "platform/foundation/files/UserDefaults.h"
#include "support/Command.h"
#include "support/DecoderCheck.h"

#include <cmath>

using namespace acceptance;
using testsupport::haveTool;
using testsupport::runCommand;

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

TEST_F(RestartAndMatrix, AValidationErrorIsShownAndExportedInPlaceOfTheSymbol)
{
    choose(*app().barcodePopupButton(), "GS1-128");
    typeInto(*app().contentTextField(), u"(17)99");
    ASSERT_FALSE(barcode().validatedErrorString().isEmpty()) << "a date that is too short";
    EXPECT_EQ(preview().frame(), TBQBarcodeView::DefaultFrame);
    auto path = exportAs(ExportChoice::as(PDF).named("error"));
    if (haveTool("pdfinfo")) {
        EXPECT_NE(runCommand("pdfinfo " + path).output.find("Page size:       160 x 160 pts"), std::string::npos);
    }
    // Red text on white: rasterised, the page has red pixels and no dark ones.
    if (haveTool("pdftoppm")) {
        const auto png = scratch("error-page");
        ASSERT_EQ(runCommand("pdftoppm -png -r 72 -singlefile " + path + " " + png).status, 0);
        auto rep = gfx::BitmapImageRep::imageRepWithContentsOfFile(fnd::String(png + ".png"));
        ASSERT_TRUE(rep);
        long red = 0, dark = 0;
        std::vector<unsigned> rgb(std::size_t((*rep)->samplesPerPixel()));
        for (long y = 0; y < (*rep)->pixelsHigh(); ++y)
            for (long x = 0; x < (*rep)->pixelsWide(); ++x) {
                (*rep)->getPixel(rgb, x, y);
                red += rgb[0] > 180 && rgb[1] < 90 && rgb[2] < 90;
                dark += rgb[0] < 60 && rgb[1] < 60 && rgb[2] < 60;
            }
        EXPECT_GT(red, 50);
        EXPECT_EQ(dark, 0) << "no bars";
    }
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
