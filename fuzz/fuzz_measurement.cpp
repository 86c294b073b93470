// Feeds arbitrary typed text through the measurement formatter's reading of lengths (with and without unit
// suffixes, in an English and a German locale) and the suffix lookup; whatever it reads must show again.
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static ZORMeasurementNumberFormatter english = [] {
        ZORMeasurementNumberFormatter f;
        f.setLocale(fnd::Locale("en_US"));
        return f;
    }();
    static ZORMeasurementNumberFormatter german = [] {
        ZORMeasurementNumberFormatter f;
        f.setLocale(fnd::Locale("de_DE"));
        return f;
    }();
    auto& formatter = (data[0] & 0x80) ? german : english;
    formatter.setShowType(data[0] % 6);
    fnd::String text(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    ZORMeasurementUnitType unit = 99;
    if (!ZORMeasurementUnitFromSuffix(text, unit))
        check(unit == 99);
    else
        check(unit <= ZORMeasurementUnit::Inch);

    auto parsed = formatter.getObjectValue(text);
    if (parsed) {
        check(parsed->isNil() || parsed->isNumber());
        check(formatter.stringForObjectValue(*parsed).has_value());
    } else {
        check(!parsed.error().isEmpty());
    }
    return 0;
}
