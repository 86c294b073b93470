#pragma once

#include "platform/foundation/runtime/Value.h"

#include <optional>
#include <string>
#include <string_view>

// The text forms of property-list scalars, shared by the XML reader and writer.
namespace fnd::PropertyList::detail {

// Standard base64 on one line, with padding.
std::string encodeBase64(const Data& data);
// Ignores whitespace; accepts missing padding; nullopt on any other character or a dangling sextet.
std::optional<Data> decodeBase64(std::string_view text);

// "2001-01-01T00:00:00Z", with as many fraction digits as the date needs to read back identically; nullopt for
// dates outside the years 0000 to 9999 (and NaN).
std::optional<std::string> formatDate(Date date);
// Accepts the full form and its truncations ("2001", "2001-02", ... "2001-02-03T04:05:06Z").
std::optional<Date> parseDate(std::string_view text);

// Shortest text that reads back as the same double; "nan", "+infinity", "-infinity" for the specials.
std::string formatReal(double value);
enum class NumberProblem { Malformed, OutOfRange };
struct RealResult {
    double value { 0 };
    std::optional<NumberProblem> problem;
};
RealResult parseReal(std::string_view text);

struct IntegerResult {
    Number value;
    std::optional<NumberProblem> problem;
};
// Decimal, optionally signed; values above the signed 64-bit range up to the unsigned one become unsigned numbers.
IntegerResult parseInteger(std::string_view text);

std::string_view trimWhitespace(std::string_view text);

}
