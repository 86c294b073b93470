// Any content, in every registered symbology: a symbol or an error text, never a crash. Any length the input's last
// eight bytes make is taken only within its bound, so the work area stays a finite, non-negative size.
#include "barcodes/TBQGenericBarcode.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One barcode of each symbology, made once. Each input fills one and leaves it as it was made (empty content, no
// check digit asked for, its first bar width), so an input reads alike whatever ran before it.
struct FuzzBarcode {
    std::shared_ptr<TBQGenericBarcode> barcode;
    double barWidth { 0 };
    double height { 0 };
};

std::vector<FuzzBarcode> makeFuzzBarcodes()
{
    std::vector<FuzzBarcode> made;
    for (const auto* info : fnd::ClassRegistry::shared().classesDerivedFrom(TBQGenericBarcode::staticClassInfo())) {
        auto barcode = TBQGenericBarcode::barcodeWithClassName(info->name);
        made.push_back({ barcode, barcode ? barcode->barWidth() : 0, barcode ? barcode->height() : 0 });
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
    const auto& [barcode, barWidth, height] = barcodes[data[0] % barcodes.size()];
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
    // The room the line under the content field promises: within the maximum, none while the content fits no symbol.
    if (const auto left = barcode->numberOfCharactersLeft()) {
        if (*left < 0 || *left > barcode->maximumOfAllowedCharacters())
            std::abort();
    }
    barcode->setWidth(100);
    if (size >= 9) {
        double length = 0;
        std::memcpy(&length, data + size - 8, sizeof length);
        barcode->setBarWidth(length);
        barcode->setHeight(length);
        barcode->setFontOffset(length);
        barcode->setQuietZoneBottom(length);
        barcode->setWidth(length);
        const auto area = barcode->workAreaSize();
        if (!std::isfinite(area.width) || !std::isfinite(area.height) || area.width < 0 || area.height < 0)
            std::abort();
    }

    barcode->setContent(fnd::String());
    barcode->setAddOnContent(fnd::String());
    barcode->setCalculateChecksum(false);
    barcode->setBarWidth(barWidth);
    barcode->setHeight(height);
    barcode->setFontOffset(0);
    return 0;
}
