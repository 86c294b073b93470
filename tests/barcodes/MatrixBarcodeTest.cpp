#include "BarcodeTestSupport.h"

#include "barcodes/QR.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

std::shared_ptr<TBQGeneric2DBarcode> make2D(const char* className)
{
    auto barcode = std::dynamic_pointer_cast<TBQGeneric2DBarcode>(TBQGenericBarcode::barcodeWithClassName(className));
    EXPECT_TRUE(barcode) << className;
    return barcode;
}

}

TEST(MatrixBarcode, ModulesAreSevenToAByteLeastSignificantFirst)
{
    auto barcode = make2D("TBQGeneric2DBarcode");
    ASSERT_TRUE(barcode);
    auto* symbol = barcode->matrixSymbol();
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->eccLevelOption, -1);
    EXPECT_EQ(symbol->sizeOption, 0);
    EXPECT_EQ(symbol->shapeOption, 928);
    EXPECT_FALSE(barcode->matrixBased());

    struct Case {
        int y, x;
        std::size_t byte;
        std::uint8_t bits;
    };
    const Case cases[]
        = { { 0, 0, 0, 0x01 }, { 0, 6, 0, 0x40 }, { 0, 7, 1, 0x01 }, { 3, 15, 2, 0x02 }, { 177, 1000, 142, 0x40 } };
    for (const auto& c : cases) {
        barcode->setMatrixModuleWithY(c.y, c.x);
        EXPECT_EQ(symbol->encodedData[static_cast<std::size_t>(c.y)][c.byte], c.bits) << c.y << "," << c.x;
        EXPECT_TRUE(barcode->isModuleSetWithY(c.y, c.x));
        barcode->unsetMatrixModuleWithY(c.y, c.x);
        EXPECT_EQ(symbol->encodedData[static_cast<std::size_t>(c.y)][c.byte], 0) << c.y << "," << c.x;
    }
    // Outside the grid's capacity: ignored and read as light.
    for (auto [y, x] : { std::pair { -1, 0 }, { 0, -1 }, { 178, 0 }, { 0, 1001 } }) {
        barcode->setMatrixModuleWithY(y, x);
        EXPECT_FALSE(barcode->isModuleSetWithY(y, x));
    }
    barcode->releaseMatrixSymbol();
    EXPECT_EQ(barcode->matrixSymbol(), nullptr);
    EXPECT_FALSE(barcode->isModuleSetWithY(0, 0));
    barcode->releaseMatrixSymbol();
}

TEST(MatrixBarcode, WidthAndWorkAreaFollowTheGrid)
{
    auto qr = make2D("QR");
    qr->setContent("HELLO WORLD"); // 21 x 21
    ASSERT_EQ(qr->matrixSymbol()->width, 21);
    qr->setWidth(210);
    EXPECT_DOUBLE_EQ(qr->barWidth(), 10);
    qr->setWidth(0);
    EXPECT_DOUBLE_EQ(qr->barWidth(), 10);
    EXPECT_DOUBLE_EQ(qr->width(), 210);
    EXPECT_DOUBLE_EQ(qr->height(), 210);
    // 4 modules of quiet zone on each side.
    EXPECT_DOUBLE_EQ(qr->quietZoneLeft(), 40);
    EXPECT_DOUBLE_EQ(qr->quietZoneTop(), 40);
    EXPECT_DOUBLE_EQ(qr->workAreaSize().width, 290);
    EXPECT_DOUBLE_EQ(qr->workAreaSize().height, 290);

    // An empty grid has no columns to divide a width among.
    auto plain = make2D("TBQGeneric2DBarcode");
    double x = plain->barWidth();
    plain->setWidth(100);
    EXPECT_EQ(plain->barWidth(), x);
    qr->releaseMatrixSymbol();
    qr->setWidth(100);
    EXPECT_DOUBLE_EQ(qr->barWidth(), 10);
}

TEST(MatrixBarcode, NewEncodingStartsFromAFreshGrid)
{
    auto qr = make2D("QR");
    auto delegate = std::make_shared<RecordingDelegate>();
    qr->setDelegate(delegate);
    qr->setContent(String(std::string(200, 'w'))); // version 10 or so
    int large = qr->matrixSymbol()->width;
    ASSERT_GT(large, 40);
    EXPECT_EQ(delegate->calls.back(), "workArea QR");
    qr->setContent("x");
    ASSERT_EQ(qr->matrixSymbol()->width, 21);
    for (int y = 0; y < large; ++y) {
        for (int x = 0; x < large; ++x) {
            if (y >= 21 || x >= 21) {
                ASSERT_FALSE(qr->isModuleSetWithY(y, x)) << y << "," << x;
            }
        }
    }
    for (int y = 21; y < TBQGeneric2DBarcode::MaximumRows; ++y)
        ASSERT_EQ(qr->matrixSymbol()->rowHeight[static_cast<std::size_t>(y)], 0);
}

TEST(MatrixBarcode, CopiesEncodeTheSameGrid)
{
    for (const char* className : { "QR", "DataMatrix" }) {
        auto original = make2D(className);
        original->setContent("Copy me: 0123456789");
        auto copy = std::dynamic_pointer_cast<TBQGeneric2DBarcode>(original->copy());
        ASSERT_TRUE(copy) << className;
        ASSERT_NE(copy->matrixSymbol(), original->matrixSymbol());
        const auto& a = *original->matrixSymbol();
        const auto& b = *copy->matrixSymbol();
        EXPECT_EQ(a.rows, b.rows) << className;
        EXPECT_EQ(a.width, b.width) << className;
        EXPECT_EQ(a.encodedData, b.encodedData) << className;
    }
}

TEST(MatrixBarcode, GeometryChangesKeepTheGridAndContentChangesReplaceIt)
{
    struct Case {
        const char* className;
        String tooLong;
    };
    const Case cases[]
        = { { "QR", String(std::string(2954, 'a')) }, { "DataMatrix", String(std::u16string(778, u'\u00E9')) } };
    for (const auto& c : cases) {
        auto barcode = make2D(c.className);
        barcode->setContent("first content");
        const auto first = barcode->matrixSymbol()->encodedData;
        const int firstWidth = barcode->matrixSymbol()->width;

        // Bar width and quiet zone recalculate the work area over the same modules.
        barcode->setBarWidth(3);
        barcode->setCalcQuietZone(false);
        EXPECT_EQ(barcode->matrixSymbol()->encodedData, first) << c.className;
        EXPECT_DOUBLE_EQ(barcode->width(), 3.0 * firstWidth) << c.className;

        // Another content gives the grid a new barcode of it has, and the first content its first grid again.
        const String second = "a second, longer content: 0123456789 abcdefghij";
        barcode->setContent(second);
        auto fresh = make2D(c.className);
        fresh->setContent(second);
        EXPECT_EQ(barcode->matrixSymbol()->encodedData, fresh->matrixSymbol()->encodedData) << c.className;
        EXPECT_NE(barcode->matrixSymbol()->encodedData, first) << c.className;
        barcode->setContent("first content");
        EXPECT_EQ(barcode->matrixSymbol()->encodedData, first) << c.className;

        // Too much data: the error stays through a geometry change, and content that fits clears it.
        barcode->setContent(c.tooLong);
        barcode->setBarWidth(2);
        EXPECT_FALSE(barcode->encodingErrorString().isEmpty()) << c.className;
        EXPECT_EQ(barcode->matrixSymbol()->rows, 0) << c.className;
        barcode->setContent("first content");
        EXPECT_TRUE(barcode->encodingErrorString().isEmpty()) << c.className;
        EXPECT_EQ(barcode->matrixSymbol()->encodedData, first) << c.className;
    }
}
