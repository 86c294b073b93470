#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

// A keyed coder that only notes what an object's encodeWithCoder writes: each key with the kind of value, in the
// order written. Objects written under keys are not entered, so the list is the object's own (with its
// superclasses' keys first).
class KeyRecorder final : public fnd::Coder {
public:
    struct Entry {
        std::string key;
        std::string kind;
        bool operator==(const Entry&) const = default;
    };

    static std::vector<Entry> keysOf(const fnd::Coding& object)
    {
        KeyRecorder recorder;
        object.encodeWithCoder(recorder);
        return recorder.entries;
    }
    // The keys alone, from the first that is not in `skipped` (the superclass's, for instance).
    static std::vector<std::string> keyNamesOf(const fnd::Coding& object, std::size_t skipped = 0)
    {
        std::vector<std::string> names;
        auto entries = keysOf(object);
        for (std::size_t i = skipped; i < entries.size(); ++i)
            names.push_back(entries[i].key);
        return names;
    }

    // The keys an object writes after its superclass Base has written its own (Base's part must come first).
    template <typename Base, typename T> static std::vector<std::string> ownKeyNames(const T& object)
    {
        KeyRecorder base;
        object.Base::encodeWithCoder(base);
        auto all = keysOf(object);
        std::vector<std::string> names;
        if (all.size() < base.entries.size() || !std::equal(base.entries.begin(), base.entries.end(), all.begin()))
            return { "(the superclass's keys do not come first)" };
        for (std::size_t i = base.entries.size(); i < all.size(); ++i)
            names.push_back(all[i].key);
        return names;
    }

    bool allowsKeyedCoding() const override { return true; }
    const char* coderName() const override { return "KeyRecorder"; }
    fnd::Index versionForClassName(const fnd::String&) const override { return 0; }

    void encodeObject(const fnd::Value&, const fnd::String& key) override { note(key, "object"); }
    void encodeConditionalObject(const fnd::Value&, const fnd::String& key) override
    {
        note(key, "conditional object");
    }
    void encodeBool(bool, const fnd::String& key) override { note(key, "bool"); }
    void encodeInt64(std::int64_t, const fnd::String& key) override { note(key, "integer"); }
    void encodeFloat(float, const fnd::String& key) override { note(key, "float"); }
    void encodeDouble(double, const fnd::String& key) override { note(key, "double"); }
    void encodeBytes(const fnd::Data&, const fnd::String& key) override { note(key, "bytes"); }
    void encodePoint(gfx::Point, const fnd::String& key) override { note(key, "point"); }
    void encodeSize(gfx::Size, const fnd::String& key) override { note(key, "size"); }
    void encodeRect(gfx::Rect, const fnd::String& key) override { note(key, "rect"); }

    std::vector<Entry> entries;

private:
    void note(const fnd::String& key, const char* kind) { entries.push_back({ key.utf8(), kind }); }
};

}
