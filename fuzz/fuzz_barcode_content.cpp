// Any content, in every registered symbology: a symbol or an error text, never a crash.
#include "barcodes/TBQGenericBarcode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// One barcode of each symbology, made once. Each input fills one and leaves it as it was made (empty content, no
// check digit asked for, its first bar width), so an input reads alike whatever ran before it.
struct FuzzBarcode {
    std::shared_ptr<TBQGenericBarcode> barcode;
    double barWidth { 0 };
};

std::vector<FuzzBarcode> makeFuzzBarcodes()
{
    std::vector<FuzzBarcode> made;
    for (const auto* info : fnd::ClassRegistry::shared().classesDerivedFrom(TBQGenericBarcode::staticClassInfo())) {
        auto barcode = TBQGenericBarcode::barcodeWithClassName(info->name);
        made.push_back({ barcode, barcode ? barcode->barWidth() : 0 });
    }
    return made;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto barcodes = makeFuzzBarcodes();
    if (size == 0)
        return 0;
    // The first byte picks the symbology, the rest is the content; the add-on gets the same text.
    const auto& [barcode, barWidth] = barcodes[data[0] % barcodes.size()];
    if (!barcode)
        return 0;
    fnd::String content(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    barcode->setContent(content);
    barcode->setAddOnContent(content);
    barcode->setCalculateChecksum(true);
    (void)barcode->completeEncodedBarcode();
    (void)barcode->caption();
    for (int i = 0; i < barcode->numberOfCaptionStrings(); ++i)
        (void)barcode->captionStringWithIndex(i);
    (void)barcode->headline();
    barcode->setWidth(100);

    barcode->setContent(fnd::String());
    barcode->setAddOnContent(fnd::String());
    barcode->setCalculateChecksum(false);
    barcode->setBarWidth(barWidth);
    return 0;
}
