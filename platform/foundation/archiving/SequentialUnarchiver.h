#pragma once

#include "platform/foundation/archiving/Coding.h"

#include <map>
#include <vector>

namespace fnd {

// Reads the sequential archives SequentialArchiver writes (the format is described there). A damaged or foreign
// archive, an unknown class, or a read of the wrong type or past an object's items is recorded as error(); every
// decode after it returns its default.
class SequentialUnarchiver final : public Coder {
public:
    explicit SequentialUnarchiver(const Data& data);

    // The one root object, or why it could not be read.
    static Expected<Value> unarchiveTopLevelObjectWithData(const Data& data);
    // The same, nil on failure.
    static Value unarchiveObjectWithData(const Data& data);

    bool isAtEnd() const { return m_position == m_data.length(); }

    bool allowsKeyedCoding() const override { return false; }
    const char* coderName() const override { return "SequentialUnarchiver"; }
    Index versionForClassName(const String& className) const override;
    std::size_t objectNesting() const override { return static_cast<std::size_t>(m_depth); }

    Value decodeObject() override;
    Number decodeValueOfObjCType(char type) override;
    Data decodeDataObject() override;
    gfx::Point decodePoint() override;
    gfx::Size decodeSize() override;
    gfx::Rect decodeRect() override;

private:
    struct ClassRecord {
        String name;
        const ClassInfo* cls;
    };

    void fail(const std::string& description);
    bool expectItem(char tag);
    std::optional<std::uint8_t> byte();
    std::optional<std::uint64_t> fixed(int size);
    std::optional<double> readDouble();
    std::optional<std::uint64_t> readUnsigned();
    std::optional<std::int64_t> readSigned();
    // A count of things at least `unit` bytes each, checked against what remains.
    std::optional<std::size_t> readCount(std::size_t unit);
    std::optional<String> readString();
    // Length-prefixed bytes.
    std::optional<Data> readBytes();
    std::optional<std::vector<double>> readDoubles(int count);
    Value readValue();
    Value readNewObject();
    const ClassRecord* readClass();
    bool skipItemsOfObject();

    Data m_data;
    std::size_t m_position { 0 };
    std::vector<ClassRecord> m_classes;
    std::map<String, Index> m_versions;
    std::vector<Value> m_objects;
    // Classes of the objects being read, innermost last, for messages.
    std::vector<String> m_objectStack;
    int m_depth { 0 };
};

}
