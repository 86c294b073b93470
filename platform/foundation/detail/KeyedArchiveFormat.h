#pragma once

#include "platform/foundation/runtime/String.h"

#include <string_view>

// Names of the keyed archive format (documented in KeyedArchiver.h), shared by the archiver and the unarchiver.
namespace fnd::detail::KeyedArchiveFormat {

inline constexpr std::string_view Identifier = "fnd.keyed-archive";
inline constexpr std::int64_t Version = 1;
inline constexpr std::string_view RootKey = "root";

inline const String FormatKey = "$format";
inline const String FormatVersionKey = "$formatVersion";
inline const String TopKey = "$top";
inline const String ObjectsKey = "$objects";
inline const String ClassesKey = "$classes";
inline const String ClassKey = "$class";
inline const String HierarchyKey = "hierarchy";
inline const String VersionsKey = "versions";

inline const String Reference = "$ref";
inline const String Nil = "$nil";
inline const String Null = "$null";
inline const String EscapedString = "$string";
inline const String ArrayKey = "$array";
inline const String DictionaryKey = "$dictionary";
inline const String SetKey = "$set";
inline const String PointKey = "$point";
inline const String SizeKey = "$size";
inline const String RectKey = "$rect";
inline const String RangeKey = "$range";

// Object and class chains deeper than this are refused both ways (the coders recurse once per level).
inline constexpr int MaxObjectDepth = 512;

// A coded class's key as stored: keys beginning with "$" get one more, so they never meet the format's own.
inline String storedKey(const String& key)
{
    return key.view().starts_with(u'$') ? String("$") + key : key;
}

}
