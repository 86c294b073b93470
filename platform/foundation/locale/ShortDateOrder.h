#pragma once

#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/runtime/String.h"

namespace fnd {

// The order of day, month and year in a locale's short numeric date, with the classic date-order codes.
enum class DateOrder {
    MonthDayYear = 0,
    DayMonthYear = 1,
    YearMonthDay = 2,
    MonthYearDay = 3,
    DayYearMonth = 4,
    YearDayMonth = 5,
};

// How a locale writes a short date: the order of its three numbers and the character between the first two.
struct ShortDateOrder {
    DateOrder order { DateOrder::MonthDayYear };
    String separator { "/" };
    bool operator==(const ShortDateOrder&) const = default;
};

// Read from ICU's short date pattern for the locale.
ShortDateOrder shortDateOrderForLocale(const Locale& locale);
// Read from a date pattern in ICU's syntax ("dd.MM.yy"): quoted text is skipped, the first day, month and year
// fields give the order, and the first non-blank literal character after the first field is the separator (a blank
// when there is nothing else). A pattern without all three fields gives month-day-year with "/".
ShortDateOrder shortDateOrderFromPattern(const String& pattern);

}
