#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <map>
#include <unordered_map>
#include <vector>

namespace fnd {

// Keyed archives: an XML property list (see PropertyList.h) whose root dictionary holds
//
//   "$format"         "fnd.keyed-archive"
//   "$formatVersion"  1 (readers refuse newer versions)
//   "$top"            the top-level keys: { key: slot }; archivedDataWithRootObject uses the key "root"
//   "$objects"        one entry per archived object (instances of Coding classes), in order of first encoding;
//                     an entry is { "$class": index into $classes, key: slot ... }
//   "$classes"        { "hierarchy": [stored class name, its superclasses' names ...],
//                       "versions": [the class versions, in the same order] }
//
// A slot is what one key holds:
//   <true/> <false/> <integer> <real> <data> <date> <string>   a scalar or a plain value, as written
//   { "$ref": n }                 the object at index n of $objects (shared references and cycles point here)
//   { "$nil": true }              nil, written by encodeObject with nil (containsValueForKey is then true)
//   { "$null": true }             the null object
//   { "$string": <data> }         a string XML cannot carry (control characters), as UTF-16LE units
//   { "$array": [slot ...] }      an array; { "$dictionary": { key: slot } } a dictionary
//   { "$set": [slot ...] }        a set (members equal to an earlier one are dropped when read)
//   { "$point": [x, y] }, { "$size": [w, h] }, { "$rect": [x, y, w, h] }, { "$range": [location, length] }
// Keys the coded classes choose that begin with "$" are stored with one more "$" in front.
// Typed scalars: encodeBool <true/>/<false/>, encodeInt32/Int64 <integer>, encodeFloat <real> (the float's value),
// encodeDouble <real>, encodeBytes <data>, encodePoint/Size/Rect the geometry slots above.
class KeyedArchiver final : public Coder {
public:
    KeyedArchiver();

    // The archive of one root object (stored under "root"), or the first encoding failure.
    static Expected<Data> archivedDataWithRootObject(const Value& root);

    // Objects of `cls` are stored under `name` (this archiver first, then the process-wide table).
    void setClassName(const String& name, const ClassInfo& cls);
    static void setGlobalClassName(const String& name, const ClassInfo& cls);
    std::optional<String> classNameForClass(const ClassInfo& cls) const;
    static std::optional<String> globalClassNameForClass(const ClassInfo& cls);

    // Resolves conditional objects; no encoding after it.
    void finishEncoding();
    // Finishes encoding if needed; the failure if any object could not be archived.
    Expected<Data> encodedData();

    bool allowsKeyedCoding() const override { return true; }
    const char* coderName() const override { return "KeyedArchiver"; }
    Index versionForClassName(const String& className) const override;
    std::size_t objectNesting() const override { return m_entryStack.size() - 1; }

    using Coder::encodeConditionalObject;
    using Coder::encodeObject;
    using Coder::encodePoint;
    using Coder::encodeRect;
    using Coder::encodeSize;
    void encodeObject(const Value& object, const String& key) override;
    void encodeConditionalObject(const Value& object, const String& key) override;
    void encodeBool(bool value, const String& key) override;
    void encodeInt64(std::int64_t value, const String& key) override;
    void encodeFloat(float value, const String& key) override;
    void encodeDouble(double value, const String& key) override;
    void encodeBytes(const Data& bytes, const String& key) override;
    void encodePoint(gfx::Point point, const String& key) override;
    void encodeSize(gfx::Size size, const String& key) override;
    void encodeRect(gfx::Rect rect, const String& key) override;

private:
    static constexpr Index TopLevel = -1;

    struct ConditionalReference {
        Index entry;
        String key;
        const Object* object;
    };

    Dictionary& currentEntry();
    void store(const String& key, Value slot);
    Value slotFor(const Value& value);
    Value referenceTo(const std::shared_ptr<Object>& object);
    Index classIndexFor(const ClassInfo& cls);
    String storedName(const ClassInfo& cls) const;

    Dictionary m_top;
    std::vector<Dictionary> m_objects;
    std::vector<Value> m_classes;
    std::map<const ClassInfo*, Index> m_classIndexes;
    std::unordered_map<const Object*, Index> m_objectIndexes;
    // Keeps every archived object alive until the end, so no address is reused by a temporary.
    std::vector<std::shared_ptr<Object>> m_retained;
    std::vector<ConditionalReference> m_conditionals;
    std::vector<Index> m_entryStack { TopLevel };
    std::map<const ClassInfo*, String> m_classNames;
    bool m_finished { false };
};

}
