#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fnd {

// Sequential (non-keyed) archives: values are read back in the order they were written. The format is a compact
// byte stream of our own:
//
//   header   "fndseq" and the format version byte 1
//   items    one per encode call, a tag byte and its payload, little-endian throughout:
//            c C s S i I q Q f d B   a scalar of that type (1, 1, 2, 2, 4, 4, 8, 8, 4, 8, 1 bytes; B is 0 or 1)
//            D  data: length, bytes          P  point, Z size (2 doubles), R rect (4 doubles)
//            @  an object value:
//               0 nil   N null   r n  the object numbered n (objects are numbered from 0 as they first appear)
//               o class, the items the object's encodeWithCoder wrote, then e
//               $ string: count, UTF-16 units   b bool   i int64   u uint64   f float   d double   x data
//               t date (double, seconds since 2001)   a array: count, values   k dictionary: count, (key, value)
//               m set: count, values   g range (2 int64)   p point   z size   R rect
//   class    + count, then (name, version) for the class and each superclass, numbered from 0 as they appear;
//            = n for a class already written
// Lengths and counts are unsigned LEB128; versions are zigzag LEB128.
//
// A reader that reads fewer items of an object than were written (an older class version) skips the rest; one that
// reads more, or with another type, fails.
class SequentialArchiver final : public Coder {
public:
    SequentialArchiver();

    // Encodes twice, so that conditional objects are written whenever the object is archived anywhere.
    static Expected<Data> archivedDataWithRootObject(const Value& root);

    // The bytes so far, or the first encoding failure.
    Expected<Data> archiverData() const;

    bool allowsKeyedCoding() const override { return false; }
    const char* coderName() const override { return "SequentialArchiver"; }
    Index versionForClassName(const String& className) const override;
    std::size_t objectNesting() const override { return static_cast<std::size_t>(m_depth); }

    using Coder::encodeConditionalObject;
    using Coder::encodeObject;
    using Coder::encodePoint;
    using Coder::encodeRect;
    using Coder::encodeSize;
    void encodeObject(const Value& object) override;
    // Without the two passes of archivedDataWithRootObject, only an object already written is referenced.
    void encodeConditionalObject(const Value& object) override;
    void encodeValueOfObjCType(char type, Number value) override;
    void encodeDataObject(const Data& data) override;
    void encodePoint(gfx::Point point) override;
    void encodeSize(gfx::Size size) override;
    void encodeRect(gfx::Rect rect) override;

private:
    void put(char byte) { m_bytes.push_back(byte); }
    void putUnsigned(std::uint64_t value);
    void putSigned(std::int64_t value);
    void putFixed(std::uint64_t bits, int size);
    void putDouble(double value);
    void putString(const String& text);
    void putValue(const Value& value);
    void putObject(const std::shared_ptr<Object>& object);
    void putClass(const ClassInfo& cls);

    std::string m_bytes;
    std::unordered_map<const Object*, std::uint64_t> m_objectNumbers;
    std::vector<std::shared_ptr<Object>> m_retained;
    std::map<const ClassInfo*, std::uint64_t> m_classNumbers;
    // Objects a first pass found encoded unconditionally.
    std::unordered_set<const Object*> m_willBeEncoded;
    int m_depth { 0 };
};

}
