#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

namespace fnd {

// Property lists: trees of Dictionary, Array, String, Number, Data, Date (and bool) values.
//
// The XML form is the public property-list DTD: <plist version="1.0"> around one of <dict> (alternating <key> and
// value), <array>, <string>, <integer> (64-bit, signed or unsigned), <real>, <true/>, <false/>, <data> (base64) and
// <date> (ISO 8601 in UTC, "2001-01-01T00:00:00Z"; fractional seconds are written only when the date has them).
// Integers stay exact; reals are written in the shortest form that reads back to the same double.
namespace PropertyList {

enum class Format { XML, Binary };

// Nesting deeper than this is refused both ways, so every list written can be read back.
inline constexpr int MaxDepth = 200;

// Error codes, in ErrorDomain::Cocoa.
inline constexpr std::int64_t ReadCorruptError = 3840;
inline constexpr std::int64_t WriteInvalidError = 3851;

// Reads an XML property list (the public DTD format). Malformed input gives an error naming what and where.
// Entities and external DTDs are never loaded; documents that declare entities are refused.
Expected<Value> read(const Data& data);
// Writes the XML form. Values a property list cannot hold (nil, objects, geometry, characters XML cannot carry,
// dates beyond year 9999) give an error naming where in the tree they sit.
Expected<Data> writeXML(const Value& root);
// Whether writeXML can write the date: one in the years 0000 to 9999 (so never NaN or infinite). What keeps a date
// that is archived checks it where the date comes in.
bool canHoldDate(Date date);

}

}
