#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace fnd {

class Coder;

// What an archivable class implements, next to fnd::Object. An unarchiver makes the instance through the class
// registry (ClassInfo::decodingFactory: the default constructor, then init() where the class has one; or only the
// constructor for a class whose initWithCoder runs its designated initialiser itself, as views do with the archived
// frame), registers it, then lets it read its state, so objects that refer to each other come back as one graph.
class Coding {
public:
    virtual ~Coding() = default;
    virtual void encodeWithCoder(Coder& coder) const = 0;
    // False when the object cannot come from this coder (for instance a class that reads keyed archives only); the
    // decoded value is then nil.
    virtual bool initWithCoder(Coder& coder) = 0;
};

// Class versions, 0 until set. Archives record the version of every class they hold, with its superclasses.
void setClassVersion(const ClassInfo& cls, Index version);
Index classVersion(const ClassInfo& cls);

// Error codes in ErrorDomain::Cocoa.
namespace CoderError {
inline constexpr std::int64_t ReadCorrupt = 4864;
inline constexpr std::int64_t ValueNotFound = 4865;
inline constexpr std::int64_t InvalidArchiveOperation = 4866;
}

// The coder handed to encodeWithCoder and initWithCoder: either keyed (KeyedArchiver, KeyedUnarchiver) or
// sequential (SequentialArchiver, SequentialUnarchiver). A class asks allowsKeyedCoding() and uses the matching
// half; the other half raises ExceptionName::InvalidArchiveOperation (a programming error), as do decode calls on
// an encoder and encode calls on a decoder.
//
// Decoding never throws on bad data: the first problem is recorded (error()), and from then on every decode call
// returns its default (nil, 0, NO, the zero rectangle), so initWithCoder code needs no checks of its own.
class Coder {
public:
    virtual ~Coder() = default;

    virtual bool allowsKeyedCoding() const = 0;
    // The coder's class name, for messages.
    virtual const char* coderName() const = 0;
    // Decoding: the version the archive records for the class (NotFound when it holds no class of that name).
    // Encoding: the class's current version (NotFound for an unknown name).
    virtual Index versionForClassName(const String& className) const = 0;
    // How many objects are being encoded or decoded around the current call (0 at the top): classes whose coding
    // recurses deeply (view trees) bound their own nesting by it, whatever keys the chain runs through.
    virtual std::size_t objectNesting() const { return 0; }

    const std::optional<Error>& error() const { return m_error; }
    bool hasFailed() const { return m_error.has_value(); }
    // Records a failure; the first one is kept.
    void failWithError(const Error& error);

    // Keyed encoding.
    virtual void encodeObject(const Value& object, const String& key);
    // Written as a reference only when the object is also encoded unconditionally somewhere in the archive, else nil.
    virtual void encodeConditionalObject(const Value& object, const String& key);
    virtual void encodeBool(bool value, const String& key);
    virtual void encodeInt64(std::int64_t value, const String& key);
    void encodeInt32(std::int32_t value, const String& key) { encodeInt64(value, key); }
    void encodeInt(int value, const String& key) { encodeInt64(value, key); }
    void encodeInteger(std::int64_t value, const String& key) { encodeInt64(value, key); }
    // Stored with single precision: what is read back is the float, not the double it came from.
    virtual void encodeFloat(float value, const String& key);
    virtual void encodeDouble(double value, const String& key);
    virtual void encodeBytes(const Data& bytes, const String& key);
    virtual void encodePoint(gfx::Point point, const String& key);
    virtual void encodeSize(gfx::Size size, const String& key);
    virtual void encodeRect(gfx::Rect rect, const String& key);

    // A step an object takes once the whole archive is read (a tab bar that makes buttons for the items of a tab
    // view decoded after it). A keyed unarchiver runs the steps in order when decoding finishes without a failure;
    // other coders run a step at once.
    virtual void performAfterDecoding(std::function<void()> step) { step(); }

    // Keyed decoding. A missing key gives the default.
    virtual bool containsValueForKey(const String& key) const;
    virtual Value decodeObjectForKey(const String& key);
    // For what the decoding object will own (its children): objects are made as by decodeObjectForKey, but a
    // reference to an object still being decoded (the decoding object itself or one that contains it) is refused as
    // a damaged archive, since owning it would make a cycle of strong links that nothing frees and that tree walks
    // never leave. Back-links (parents, delegates, targets) are read with decodeObjectForKey and kept weak.
    virtual Value decodeOwnedObjectForKey(const String& key);
    virtual bool decodeBoolForKey(const String& key);
    virtual std::int64_t decodeInt64ForKey(const String& key);
    // A stored value outside 32 bits is a failure.
    std::int32_t decodeInt32ForKey(const String& key);
    int decodeIntForKey(const String& key) { return decodeInt32ForKey(key); }
    std::int64_t decodeIntegerForKey(const String& key) { return decodeInt64ForKey(key); }
    virtual float decodeFloatForKey(const String& key);
    virtual double decodeDoubleForKey(const String& key);
    virtual Data decodeBytesForKey(const String& key);
    virtual gfx::Point decodePointForKey(const String& key);
    virtual gfx::Size decodeSizeForKey(const String& key);
    virtual gfx::Rect decodeRectForKey(const String& key);

    // Sequential encoding: values are read back in the order written, each with the type it was written with.
    virtual void encodeObject(const Value& object);
    virtual void encodeConditionalObject(const Value& object);
    // Scalar type codes: c C (8 bits), s S (16), i I (32), q Q (64), f (float), d (double), B (bool). The value is
    // narrowed to the type.
    virtual void encodeValueOfObjCType(char type, Number value);
    virtual void encodeDataObject(const Data& data);
    virtual void encodePoint(gfx::Point point);
    virtual void encodeSize(gfx::Size size);
    virtual void encodeRect(gfx::Rect rect);

    // Sequential decoding.
    virtual Value decodeObject();
    virtual Number decodeValueOfObjCType(char type);
    virtual Data decodeDataObject();
    virtual gfx::Point decodePoint();
    virtual gfx::Size decodeSize();
    virtual gfx::Rect decodeRect();

protected:
    [[noreturn]] void refuse(const char* operation) const;

private:
    std::optional<Error> m_error;
};

namespace detail {

// Error helpers shared by the archivers.
Error coderError(std::int64_t code, const std::string& description);

// The Coding face of a value's object, or nullptr.
inline const Coding* codingOf(const Value& value)
{
    return dynamic_cast<const Coding*>(value.object().get());
}

}

}
