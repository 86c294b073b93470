// Renders a sheet of previews and exports to $TMPDIR for a person to look at.
#include "ApplicationTestSupport.h"

#include <gtest/gtest.h>

TEST(Look, Previews)
{
    for (auto [cls, content] :
        { std::pair { "EAN13", "400638133393" }, { "QR", "https://example.org" }, { "ISBN13", "978316148410" },
            { "Code128", "ABC-123" }, { "DataMatrix", "Hello" }, { "UPC_A", "03600029145" } }) {
        auto b = apptest::makeBarcode(cls, content);
        if (std::string(cls) == "EAN13")
            b->setAddOnContent("12");
        auto view = TBQBarcodeView::createWithBarcode(b);
        apptest::keepForLooking(*apptest::render(*view, 4), std::string("look-") + cls);
        b->setShouldDrawBackground(false);
        view->setNeedsUpdate();
        apptest::keepForLooking(*apptest::render(*view, 4), std::string("look-") + cls + "-nobg");
    }
    auto view = TBQBarcodeView::createWithBarcode(apptest::makeBarcode("EAN128", "(01)123"));
    apptest::keepForLooking(*apptest::render(*view, 2), "look-error");
}
