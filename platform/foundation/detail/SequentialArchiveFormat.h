#pragma once

#include <cstdint>
#include <string_view>

// Tags of the sequential archive format (documented in SequentialArchiver.h), shared by the archiver and the
// unarchiver.
namespace fnd::detail::SequentialArchiveFormat {

inline constexpr std::string_view Magic = "fndseq";
inline constexpr std::uint8_t Version = 1;

// Items, one per encode call. The scalar items use their type codes: c C s S i I q Q f d B.
inline constexpr char DataItem = 'D';
inline constexpr char PointItem = 'P';
inline constexpr char SizeItem = 'Z';
inline constexpr char RectItem = 'R';
inline constexpr char ObjectItem = '@';
inline constexpr char EndOfObject = 'e';

// Object values, after ObjectItem and inside arrays and dictionaries.
inline constexpr char NilValue = '0';
inline constexpr char NullValue = 'N';
inline constexpr char ObjectReference = 'r';
inline constexpr char NewObject = 'o';
inline constexpr char StringValue = '$';
inline constexpr char BoolValue = 'b';
inline constexpr char IntegerValue = 'i';
inline constexpr char UnsignedValue = 'u';
inline constexpr char FloatValue = 'f';
inline constexpr char DoubleValue = 'd';
inline constexpr char DataValue = 'x';
inline constexpr char DateValue = 't';
inline constexpr char ArrayValue = 'a';
inline constexpr char DictionaryValue = 'k';
inline constexpr char SetValue = 'm';
inline constexpr char RangeValue = 'g';
inline constexpr char PointValue = 'p';
inline constexpr char SizeValue = 'z';
inline constexpr char RectValue = 'R';

// Classes, before a new object's items.
inline constexpr char NewClass = '+';
inline constexpr char ClassReference = '=';

// Nesting of objects and containers deeper than this is refused both ways.
inline constexpr int MaxDepth = 512;

// Size in bytes of a scalar item's payload, 0 for a code that is not a scalar type.
constexpr int scalarSize(char type)
{
    switch (type) {
    case 'c':
    case 'C':
    case 'B':
        return 1;
    case 's':
    case 'S':
        return 2;
    case 'i':
    case 'I':
    case 'f':
        return 4;
    case 'q':
    case 'Q':
    case 'd':
        return 8;
    default:
        return 0;
    }
}

}
