// Reads arbitrary bytes as a keyed and as a sequential archive, through a class that decodes every kind of value,
// then archives whatever came back again.
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"

using namespace fnd;

namespace {

// Objects inside decoded values are replaced by null, so graphs with cycles are not kept alive by their members.
Value withoutObjects(const Value& value)
{
    if (value.isObject())
        return Null {};
    if (auto* array = value.array()) {
        Array out;
        for (const Value& element : *array)
            out.push_back(withoutObjects(element));
        return out;
    }
    if (auto* dictionary = value.dictionary()) {
        Dictionary out;
        for (const auto& [key, element] : *dictionary)
            out.set(key, withoutObjects(element));
        return out;
    }
    if (auto* set = value.set()) {
        Set out;
        for (const Value& member : *set)
            out.add(withoutObjects(member));
        return out;
    }
    return value;
}

class FuzzNode final : public Object, public Coding {
    FND_OBJECT(FuzzNode)
public:
    Value value;
    std::weak_ptr<Object> link;
    bool flag { false };
    std::int32_t number { 0 };
    float ratio { 0 };
    gfx::Rect frame;
    Data bytes;

    void encodeWithCoder(Coder& coder) const override
    {
        if (coder.allowsKeyedCoding()) {
            coder.encodeObject(value, "value");
            coder.encodeConditionalObject(link.lock(), "link");
            coder.encodeBool(flag, "flag");
            coder.encodeInt32(number, "number");
            coder.encodeFloat(ratio, "ratio");
            coder.encodeRect(frame, "frame");
            coder.encodeBytes(bytes, "bytes");
            return;
        }
        coder.encodeObject(value);
        coder.encodeConditionalObject(link.lock());
        coder.encodeValueOfObjCType('c', flag);
        coder.encodeValueOfObjCType('i', number);
        coder.encodeValueOfObjCType('f', ratio);
        coder.encodeRect(frame);
        coder.encodeDataObject(bytes);
    }

    bool initWithCoder(Coder& coder) override
    {
        if (coder.allowsKeyedCoding()) {
            value = withoutObjects(coder.decodeObjectForKey("value"));
            link = coder.decodeObjectForKey("link").object();
            flag = coder.decodeBoolForKey("flag");
            number = coder.decodeInt32ForKey("number");
            ratio = coder.decodeFloatForKey("ratio");
            frame = coder.decodeRectForKey("frame");
            bytes = coder.decodeBytesForKey("bytes");
            coder.decodePointForKey("point");
            coder.decodeSizeForKey("size");
            coder.decodeDoubleForKey("double");
            coder.decodeInt64ForKey("int64");
            return !coder.containsValueForKey("refuse");
        }
        value = withoutObjects(coder.decodeObject());
        link = coder.decodeObject().object();
        flag = coder.decodeValueOfObjCType('c').boolValue();
        number = static_cast<std::int32_t>(coder.decodeValueOfObjCType('i').integerValue());
        ratio = coder.decodeValueOfObjCType('f').floatValue();
        frame = coder.decodeRect();
        bytes = coder.decodeDataObject();
        return coder.versionForClassName("FuzzNode") != 7;
    }
};
FND_REGISTER_CLASS(FuzzNode, Object)

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    Data data(bytes, size);
    auto keyed = KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
    if (keyed)
        (void)KeyedArchiver::archivedDataWithRootObject(*keyed);
    auto sequential = SequentialUnarchiver::unarchiveTopLevelObjectWithData(data);
    if (sequential)
        (void)SequentialArchiver::archivedDataWithRootObject(*sequential);
    return 0;
}
