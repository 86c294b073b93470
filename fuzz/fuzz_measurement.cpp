// Feeds arbitrary typed text through the measurement formatter's reading of lengths (with and without unit
// suffixes, in an English and a German locale) and the suffix lookup; whatever it reads must show again.
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Every unit the library has and one number past them.
constexpr std::size_t ShownUnits = ZORMeasurementUnit::Last + 2;

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
    // One formatter per locale and unit shown, made once: the input picks one and only reads through it.
    static auto formatters = [] {
        std::array<std::array<ZORMeasurementNumberFormatter, ShownUnits>, 2> made;
        for (std::size_t locale = 0; locale < made.size(); ++locale) {
            for (std::size_t unit = 0; unit < ShownUnits; ++unit) {
                auto& f = made[locale][unit];
                f.setLocale(fnd::Locale(locale ? "de_DE" : "en_US"));
                f.setShowType(static_cast<ZORMeasurementUnitType>(unit));
            }
        }
        return made;
    }();
    auto& formatter = formatters[(data[0] & 0x80) ? 1 : 0][data[0] % ShownUnits];
    fnd::String text(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    ZORMeasurementUnitType unit = 99;
    if (!ZORMeasurementUnitFromSuffix(text, unit))
        check(unit == 99);
    else
        check(unit <= ZORMeasurementUnit::Last);

    auto parsed = formatter.getObjectValue(text);
    if (parsed) {
        check(parsed->isNil() || parsed->isNumber());
        check(formatter.stringForObjectValue(*parsed).has_value());
    } else {
        check(!parsed.error().isEmpty());
    }
    return 0;
}
