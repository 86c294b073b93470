// What the barcode view draws, read from its pixels.
#include "ApplicationTestSupport.h"

#include "application/Preferences.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using apptest::makeBarcode;
using apptest::picture;

namespace {

// A symbology whose module string is set by the test.
class FixedModules : public TBQGenericBarcode {
    FND_OBJECT(FixedModules)
public:
    ModuleString completeEncodedBarcode() const override { return modules; }
    ModuleString modules;
};

}

FND_REGISTER_CLASS(FixedModules, TBQGenericBarcode)

namespace {

std::shared_ptr<FixedModules> fixed(const std::string& modules, double barWidth)
{
    auto b = fnd::makeObject<FixedModules>();
    b->modules = modules;
    b->setBarColor(gfx::Color::blackColor());
    b->setBackgroundColor(gfx::Color::whiteColor());
    b->setShouldDrawBackground(true);
    b->setDrawCaption(false);
    b->setCalcQuietZone(false);
    b->setQuietZone({ 5, 5, 5, 5 });
    b->setHeight(20);
    b->setBarWidth(barWidth);
    return b;
}

int countPixels(const gfx::BitmapImageRep& rep, bool (*test)(std::uint32_t))
{
    auto pixels = rep.pixelBuffer();
    int n = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            n += test(pixels.pixel(x, y)) ? 1 : 0;
    return n;
}

bool isRed(std::uint32_t p)
{
    return gfx::redOf(p) > 200 && gfx::greenOf(p) < 80 && gfx::blueOf(p) < 80;
}

// Centres of the runs of dark pixels along one pixel row, in points.
std::vector<double> inkCentres(Canvas& canvas, int row, int width, double scale)
{
    std::vector<double> centres;
    int start = -1;
    for (int x = 0; x <= width; ++x) {
        bool dark = x < width && canvas.alpha(x, row) > 128;
        if (dark && start < 0)
            start = x;
        if (!dark && start >= 0) {
            centres.push_back((start + x) / 2.0 / scale);
            start = -1;
        }
    }
    return centres;
}

}

TEST(BarcodeViewDrawing, RunsOfDarkModulesBecomeBars)
{
    struct Case {
        const char* modules;
        double barWidth;
    };
    for (auto c : { Case { "11011", 1 }, Case { "0110", 2 }, Case { "0011", 1.5 }, Case { "1", 3 },
             Case { "1010111000101", 1.25 }, Case { "0000", 1 } }) {
        auto b = fixed(c.modules, c.barWidth);
        auto view = TBQBarcodeView::createWithBarcode(b);
        auto pic = picture(*view, 4);
        const std::string modules = c.modules;
        const double left = b->firstBarPosition(), mid = b->bottomPositionForBarIndex(0) + 10;
        for (std::size_t i = 0; i < modules.size(); ++i) {
            double x = left + (double(i) + 0.5) * c.barWidth;
            EXPECT_EQ(pic.isDark(x, mid), modules[i] == '1') << c.modules << " module " << i;
        }
        // Edges fall on module boundaries: the pixels just inside and outside each edge.
        for (std::size_t i = 0; i + 1 < modules.size(); ++i) {
            if (modules[i] == modules[i + 1])
                continue;
            double edge = left + double(i + 1) * c.barWidth;
            EXPECT_EQ(pic.isDark(edge - 0.2, mid), modules[i] == '1') << c.modules << " edge " << i;
            EXPECT_EQ(pic.isDark(edge + 0.2, mid), modules[i + 1] == '1') << c.modules << " edge " << i;
        }
        EXPECT_FALSE(pic.isDark(left - 0.2, mid)) << c.modules;
        EXPECT_FALSE(pic.isDark(left + modules.size() * c.barWidth + 0.2, mid)) << c.modules;
    }
}

TEST(BarcodeViewDrawing, EveryModuleOfASymbolSitsAtItsPositionWithItsOwnExtent)
{
    // Without caption, whose digits would stand between the guard bars.
    auto b = makeBarcode("EAN13", "400638133393");
    b->setDrawCaption(false);
    auto view = TBQBarcodeView::createWithBarcode(b);
    auto pic = picture(*view, 4);
    const ModuleString modules = b->completeEncodedBarcode();
    const double left = b->firstBarPosition(), X = b->barWidth();
    double lowest = 1e9, dataBottom = 0;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        lowest = std::min(lowest, b->bottomPositionForBarIndex(fnd::Index(i)));
        dataBottom = std::max(dataBottom, b->bottomPositionForBarIndex(fnd::Index(i)));
    }
    ASSERT_LT(lowest, dataBottom) << "EAN-13 guard bars reach below the data bars";
    const double top = b->topPositionForBarIndex(0);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const double x = left + (double(i) + 0.5) * X;
        const bool dark = modules[i] == '1';
        EXPECT_EQ(pic.isDark(x, (dataBottom + top) / 2), dark) << "module " << i << " of " << modules;
        // Between the lowest bottom and the data bars' bottom only the guard bars show.
        const double bottom = b->bottomPositionForBarIndex(fnd::Index(i));
        EXPECT_EQ(pic.isDark(x, (lowest + dataBottom) / 2), dark && bottom < dataBottom) << "module " << i;
        EXPECT_FALSE(pic.isDark(x, top + 0.3)) << "module " << i;
    }
}

TEST(BarcodeViewDrawing, BackgroundIsColourCheckerboardOrNothing)
{
    auto b = fixed("0101", 2);
    b->setBackgroundColor(gfx::Color::colorWithCalibratedRed(1, 0, 0));
    auto view = TBQBarcodeView::createWithBarcode(b);
    EXPECT_TRUE(isRed(picture(*view).at(1, 1)));

    // On screen, a barcode without background lies on a 10-point checkerboard, grey where x and y share a half.
    b->setShouldDrawBackground(false);
    view->setNeedsUpdate();
    auto screen = picture(*view);
    const auto grey = gfx::redOf(screen.at(2, 2));
    EXPECT_EQ(screen.alpha(2, 2), 255);
    EXPECT_NEAR(grey, 170, 2);
    EXPECT_EQ(screen.at(2, 2), screen.at(12, 2));
    EXPECT_EQ(screen.at(2, 2), screen.at(2, 12));
    EXPECT_EQ(screen.at(7, 2), 0xFFFFFFFFu);
    EXPECT_EQ(screen.at(2, 7), 0xFFFFFFFFu);

    // Exported, the same barcode is transparent around its bars.
    view->setDrawForExport(true);
    auto exported = picture(*view);
    EXPECT_EQ(exported.alpha(2, 2), 0);
    EXPECT_EQ(exported.alpha(7, 2), 0);
    EXPECT_TRUE(exported.isDark(b->firstBarPosition() + 3, 15));
}

TEST(BarcodeViewDrawing, MatrixRowsRunDownFromTheTopAndTheModelStaysUntouched)
{
    auto b = makeBarcode("QR", "https://example.org/matrix");
    auto* matrix = dynamic_cast<TBQGeneric2DBarcode*>(b.get());
    ASSERT_TRUE(matrix);
    b->setCalcQuietZone(false);
    b->setQuietZone({ 4, 6, 3, 5 });
    b->setBarWidth(1.5);
    const auto* symbol = matrix->matrixSymbol();
    ASSERT_TRUE(symbol);
    const int rows = symbol->drawnRows, columns = symbol->width;
    ASSERT_GT(rows, 20);

    auto view = TBQBarcodeView::createWithBarcode(b);
    EXPECT_EQ(view->frame().size, (gfx::Size { 4 + 3 + columns * 1.5, 6 + 5 + rows * 1.5 }));
    auto pic = picture(*view, 2);
    apptest::keepForLooking(*pic.rep, "preview-qr");
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double x = 4 + (c + 0.5) * 1.5, y = 6 + (rows - 1 - r + 0.5) * 1.5;
            ASSERT_EQ(pic.isDark(x, y), matrix->isModuleSetWithY(r, c)) << "row " << r << " column " << c;
        }
    // The bottom-left finder pattern's corner module sits exactly on the quiet zone's corner.
    EXPECT_TRUE(pic.isDark(4.1, 6.1));
    EXPECT_FALSE(pic.isDark(3.9, 6.1));
    EXPECT_FALSE(pic.isDark(4.1, 5.9));
    // Drawing reads the buffer and writes nothing into it.
    EXPECT_EQ(symbol->height, 0);
}

TEST(BarcodeViewDrawing, JustifiedCaptionCharactersStepEvenlyFromTheirOwnPositions)
{
    // Four characters of a monospace font in an area wider than them: the steps are min(U / c, (w − U) / (c − 1)),
    // and the run is centred in the area.
    auto font = gfx::Font::fontWithName("DejaVu Sans Mono", 10);
    const double advance = font->advancementForGlyph(font->glyphForCharacter(U'1')).width;
    const gfx::Rect ink = font->boundingRectForGlyph(font->glyphForCharacter(U'1'));
    const double used = 4 * advance;
    constexpr double scale = 8, x = 10, baseline = 20;
    for (double width : { 50.0, 30.0 }) {
        for (bool vector : { false, true }) {
            auto view = TBQBarcodeView::create();
            Canvas canvas(int(100 * scale), int(40 * scale), false, { 100, 40 });
            view->drawText("1111", { x, baseline }, width, true, font, gfx::Color::blackColor(), false, vector);
            const double step = std::min(used / 4, (width - used) / 3);
            const double start = x + (width - (used + 3 * step)) / 2;
            auto centres = inkCentres(canvas, int((baseline + 3) * scale), int(100 * scale), scale);
            ASSERT_EQ(centres.size(), 4u) << "width " << width << (vector ? " outlines" : " glyphs");
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(centres[k], start + k * (advance + step) + ink.midX(), 0.15)
                    << "character " << k << " in width " << width << (vector ? " outlines" : " glyphs");
            // The baseline is where the caption asked for it: nothing of a digit below it.
            EXPECT_EQ(canvas.alpha(int(centres[0] * scale), int((baseline - 0.3) * scale)), 0);
            EXPECT_GT(canvas.alpha(int(centres[0] * scale), int((baseline + 0.3) * scale)), 128);
        }
    }
}

TEST(BarcodeViewDrawing, WideTextOverflowsEvenlyOrShrinksToItsArea)
{
    auto font = gfx::Font::fontWithName("DejaVu Sans Mono", 10);
    constexpr double scale = 4, x = 40, width = 20;
    for (bool shrink : { false, true }) {
        for (bool justify : { false, true }) {
            auto view = TBQBarcodeView::create();
            Canvas canvas(int(100 * scale), int(40 * scale), false, { 100, 40 });
            view->drawText("HHHHHHHH", { x, 20 }, width, justify, font, gfx::Color::blackColor(), shrink, false);
            auto centres = inkCentres(canvas, int(22 * scale), int(100 * scale), scale);
            ASSERT_FALSE(centres.empty());
            double leftmost = 1e9, rightmost = -1e9;
            for (int px = 0; px < int(100 * scale); ++px)
                for (int py = int(18 * scale); py < int(35 * scale); ++py)
                    if (canvas.alpha(px, py) > 0) {
                        leftmost = std::min(leftmost, px / scale);
                        rightmost = std::max(rightmost, (px + 1) / scale);
                    }
            EXPECT_NEAR((leftmost + rightmost) / 2, x + width / 2, 0.5) << shrink << justify;
            if (shrink) {
                EXPECT_GE(leftmost, x - 0.3) << justify;
                EXPECT_LE(rightmost, x + width + 0.3) << justify;
            } else {
                EXPECT_LT(leftmost, x - 5) << justify;
                EXPECT_GT(rightmost, x + width + 5) << justify;
            }
        }
    }
}

TEST(BarcodeViewDrawing, CaptionsHeadlineAndAddOnHaveTheirPlaces)
{
    auto ean = makeBarcode("EAN13", "400638133393");
    ean->setAddOnContent("12");
    auto addOn = ean->addOn();
    ASSERT_TRUE(addOn);
    auto view = TBQBarcodeView::createWithBarcode(ean);
    const gfx::Size main = ean->workAreaSize(), extra = addOn->workAreaSize();
    EXPECT_EQ(view->frame(), (gfx::Rect { 0, 0, main.width + extra.width, std::max(main.height, extra.height) }));
    auto pic = picture(*view, 4);
    apptest::keepForLooking(*pic.rep, "preview-ean13-addon");
    // The add-on's modules stand right of the main symbol.
    const ModuleString addOnModules = addOn->completeEncodedBarcode();
    for (std::size_t i = 0; i < addOnModules.size(); ++i) {
        double x = main.width + addOn->firstBarPosition() + (i + 0.5) * addOn->barWidth();
        double y = (addOn->bottomPositionForBarIndex(fnd::Index(i)) + addOn->topPositionForBarIndex(fnd::Index(i))) / 2;
        EXPECT_EQ(pic.isDark(x, y), addOnModules[i] == '1') << "add-on module " << i;
    }
    // Caption ink below the bars: the first digit stands left of the first bar.
    int inkLeftOfBars = 0;
    for (double xx = 0; xx < ean->firstBarPosition(); xx += 0.25)
        for (double yy = 0; yy < ean->bottomPositionForBarIndex(0); yy += 0.25)
            inkLeftOfBars += pic.isDark(xx, yy) ? 1 : 0;
    EXPECT_GT(inkLeftOfBars, 10);

    // ISBN-13 writes its headline above the bars.
    auto isbn = makeBarcode("ISBN13", "978316148410");
    auto isbnView = TBQBarcodeView::createWithBarcode(isbn);
    auto isbnPic = picture(*isbnView, 4);
    int inkAbove = 0;
    for (double xx = 0; xx < isbn->workAreaSize().width; xx += 0.25)
        for (double yy = isbn->topPositionForBarIndex(0) + 0.5; yy < isbn->workAreaSize().height; yy += 0.25)
            inkAbove += isbnPic.isDark(xx, yy) ? 1 : 0;
    EXPECT_GT(inkAbove, 50);
    // Without caption there is no headline either.
    isbn->setDrawCaption(false);
    isbnView->setNeedsUpdate();
    auto bare = picture(*isbnView, 4);
    inkAbove = 0;
    for (double xx = 0; xx < isbn->workAreaSize().width; xx += 0.25)
        for (double yy = isbn->topPositionForBarIndex(0) + 0.5; yy < isbn->workAreaSize().height; yy += 0.25)
            inkAbove += bare.isDark(xx, yy) ? 1 : 0;
    EXPECT_EQ(inkAbove, 0);
}

TEST(BarcodeViewDrawing, ErrorsAndPlaceholdersReplaceTheSymbol)
{
    struct Case {
        const char* className;
        std::string content;
        const char* expectedInText; // part of the shown error
    };
    const Case cases[] = {
        { "EAN128", "(01)123", "(01)" },
        // More than the largest QR Code holds in bytes, fewer than the content maximum: the encoder's error.
        { "QR", std::string(3000, 'a'), "too long" },
        // More digits than the content maximum: no silently shortened symbol.
        { "QR", std::string(4297, '7'), "4296" },
        { "DataMatrix", std::string(2336, '1'), "2335" },
    };
    for (const auto& c : cases) {
        auto b = makeBarcode(c.className, c.content);
        auto text = TBQBarcodeView::errorTextOfBarcode(*b);
        EXPECT_NE(text.utf8().find(c.expectedInText), std::string::npos) << c.className << ": " << text.utf8();
        auto view = TBQBarcodeView::createWithBarcode(b);
        view->setNeedsUpdate();
        EXPECT_EQ(view->frame(), TBQBarcodeView::DefaultFrame) << c.className;
        auto pic = picture(*view);
        EXPECT_EQ(pic.at(1, 1), 0xFFFFFFFFu) << c.className;
        EXPECT_GT(countPixels(*pic.rep, isRed), 50) << c.className;
    }
    // At its maximum a matrix symbol draws.
    auto full = makeBarcode("QR", std::string(4296, '7'));
    EXPECT_TRUE(TBQBarcodeView::errorTextOfBarcode(*full).isEmpty())
        << TBQBarcodeView::errorTextOfBarcode(*full).utf8();

    // Without a barcode: the grey placeholder, and another text for a multiple selection.
    auto empty = TBQBarcodeView::create();
    auto none = picture(*empty);
    EXPECT_EQ(countPixels(*none.rep, isRed), 0);
    auto isGrey = [](std::uint32_t p) { return gfx::redOf(p) < 200 && gfx::redOf(p) == gfx::blueOf(p); };
    EXPECT_GT(countPixels(*none.rep, isGrey), 50);
    EXPECT_EQ(empty->noBarcodeText().utf8(), "Choose a barcode type to see it here.");
    empty->setMultiplySelection(true);
    EXPECT_NE(countPixels(*picture(*empty).rep, isGrey), countPixels(*none.rep, isGrey));
}
