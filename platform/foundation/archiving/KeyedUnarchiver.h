#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <map>
#include <vector>

namespace fnd {

// Reads the keyed archives KeyedArchiver writes (the format is described there). Damaged, truncated or foreign
// data, unknown classes and mismatched types are recorded as the coder's error(); decoding then goes on returning
// defaults, so initWithCoder code never has to guard against a bad archive.
class KeyedUnarchiver final : public Coder {
public:
    explicit KeyedUnarchiver(const Data& data);

    // The object archivedDataWithRootObject stored, or why it could not be read.
    static Expected<Value> unarchiveTopLevelObjectWithData(const Data& data);
    // The same, nil on failure.
    static Value unarchiveObjectWithData(const Data& data);

    // Objects stored under `className` are made as `cls` (this unarchiver first, then the process-wide table, then
    // the class registry).
    void setClass(const ClassInfo& cls, const String& className);
    static void setGlobalClass(const ClassInfo& cls, const String& className);
    const ClassInfo* classForClassName(const String& className) const;
    static const ClassInfo* globalClassForClassName(const String& className);

    // Runs the steps objects asked to take after decoding (performAfterDecoding), unless decoding failed.
    void finishDecoding();
    void performAfterDecoding(std::function<void()> step) override;

    bool allowsKeyedCoding() const override { return true; }
    const char* coderName() const override { return "KeyedUnarchiver"; }
    Index versionForClassName(const String& className) const override;
    std::size_t objectNesting() const override { return m_entryStack.size() - 1; }

    bool containsValueForKey(const String& key) const override;
    Value decodeObjectForKey(const String& key) override;
    Value decodeOwnedObjectForKey(const String& key) override;
    bool decodeBoolForKey(const String& key) override;
    std::int64_t decodeInt64ForKey(const String& key) override;
    float decodeFloatForKey(const String& key) override;
    double decodeDoubleForKey(const String& key) override;
    Data decodeBytesForKey(const String& key) override;
    gfx::Point decodePointForKey(const String& key) override;
    gfx::Size decodeSizeForKey(const String& key) override;
    gfx::Rect decodeRectForKey(const String& key) override;

private:
    static constexpr Index TopLevel = -1;

    void fail(const std::string& description);
    const Dictionary* currentEntry() const;
    // The stored slot for a key, or nullptr when absent or after a failure.
    const Value* slot(const String& key) const;
    const Number* numberSlot(const String& key, const char* expected);
    Value valueFrom(const Value& slot);
    Value objectAt(std::int64_t index);
    const ClassInfo* resolveClass(std::int64_t classIndex);
    std::optional<std::vector<double>> numbersIn(const Value& slot, const String& tag, std::size_t count);
    std::optional<Range> rangeIn(const Value& slot);

    Dictionary m_top;
    Array m_objects;
    Array m_classes;
    std::map<String, Index> m_versions;
    bool isBeingDecoded(std::int64_t index) const;

    // Decoded objects by index; an entry is set before the object reads itself, so cycles resolve.
    std::map<std::int64_t, Value> m_decoded;
    // The objects being decoded, outermost first.
    std::vector<Index> m_entryStack { TopLevel };
    // Set while decodeOwnedObjectForKey reads its value (not while the objects it makes read theirs).
    bool m_refusesObjectsBeingDecoded { false };
    std::map<String, const ClassInfo*> m_classesForNames;
    std::vector<std::function<void()>> m_afterDecoding;
};

}
