#include "barcodes/TBQGeneric2DBarcode.h"
#include "barcodes/TBQGenericBarcode.h"

#include <gtest/gtest.h>

using namespace fnd;

// The application offers these classes by name; each must be made by name, carry a display name and draw a symbol
// from a content it accepts.
TEST(SymbologyList, EveryOfferedClassIsMadeByNameAndDraws)
{
    const struct {
        const char* className;
        const char* content;
    } offered[] = {
        { "EAN13", "400638133393" }, { "EAN128", "(01)09501101530003" }, { "EAN18", "00012345600012345" },
        { "EAN8", "1234567" }, { "EAN5", "52495" }, { "EAN2", "12" }, { "EANVelocity", "1234" },
        { "ISBN13", "978316148410" }, { "ISSN", "0317847" }, { "ISMN", "979023012340" }, { "UPC_A", "03600029145" },
        { "UPC_E", "0123456" }, { "PZN", "123456" }, { "ITF14", "1234567890123" }, { "Identcode", "12345678901" },
        { "Leitcode", "1234567890123" }, { "CodeTwoOfFiveInterleaved", "1234" }, { "CodeTwoOfFiveIndustrial", "1234" },
        { "CodeTwoOfFiveMatrix", "1234" }, { "Codabar", "A1234B" }, { "Code11", "123-45" }, { "MSIPlessey", "1234" },
        { "Telepen", "AB12" }, { "TelepenNum", "1234" }, { "OPC", "123456789" }, { "Code39", "CODE39" },
        { "Code39FullASCII", "Code 39" }, { "Code93", "TEST93" }, { "Code128", "K1234567M" }, { "QR", "HELLO WORLD" },
        { "DataMatrix", "123456" },
    };
    static_assert(std::size(offered) == 31);
    for (const auto& o : offered) {
        auto barcode = TBQGenericBarcode::barcodeWithClassName(o.className);
        ASSERT_TRUE(barcode) << o.className << " is not registered";
        EXPECT_EQ(barcode->className(), String(o.className));
        EXPECT_FALSE(barcode->barcodeName().isEmpty()) << o.className << " has no display name";
        barcode->setContent(o.content);
        EXPECT_TRUE(barcode->validatedErrorString().isEmpty())
            << o.className << " \"" << o.content << "\": " << barcode->validatedErrorString();
        EXPECT_TRUE(barcode->encodingErrorString().isEmpty()) << o.className << ": " << barcode->encodingErrorString();
        if (auto matrix = std::dynamic_pointer_cast<TBQGeneric2DBarcode>(barcode))
            EXPECT_GT(matrix->width(), 0) << o.className;
        else
            EXPECT_GE(barcode->completeEncodedBarcode().size(), 20u) << o.className; // EAN-2, the smallest, has 20
        EXPECT_GT(barcode->workAreaSize().width, 0) << o.className;
        EXPECT_GT(barcode->workAreaSize().height, 0) << o.className;
    }
}
