// Any content, in every registered symbology: a symbol or an error text, never a crash.
#include "barcodes/TBQGenericBarcode.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto classes = fnd::ClassRegistry::shared().classesDerivedFrom(TBQGenericBarcode::staticClassInfo());
    if (size == 0)
        return 0;
    // The first byte picks the symbology, the rest is the content; the add-on gets the same text.
    const auto* info = classes[data[0] % classes.size()];
    auto barcode = TBQGenericBarcode::barcodeWithClassName(info->name);
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
    return 0;
}
