#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/runtime/Exception.h"

#include "platform/foundation/ValuePrinter.h"

#include <gtest/gtest.h>

#include <limits>

using namespace fnd;

namespace {

// Every kind of value both coders carry, written with the keyed or the sequential half.
class ArchiveNode final : public Object, public Coding {
    FND_OBJECT(ArchiveNode)
public:
    String name;
    bool flag { false };
    std::int32_t small { 0 };
    std::int64_t big { 0 };
    float ratio { 0 };
    double precise { 0 };
    gfx::Rect frame;
    gfx::Point origin;
    gfx::Size extent;
    Data bytes;
    Value tree;
    std::shared_ptr<ArchiveNode> left;
    std::shared_ptr<ArchiveNode> right;
    Index versionSeen { -1 };

    void encodeWithCoder(Coder& coder) const override
    {
        if (coder.allowsKeyedCoding()) {
            coder.encodeObject(name, "name");
            coder.encodeBool(flag, "flag");
            coder.encodeInt32(small, "small");
            coder.encodeInt64(big, "big");
            coder.encodeFloat(ratio, "ratio");
            coder.encodeDouble(precise, "precise");
            coder.encodeRect(frame, "frame");
            coder.encodePoint(origin, "origin");
            coder.encodeSize(extent, "extent");
            coder.encodeBytes(bytes, "bytes");
            coder.encodeObject(tree, "$tree");
            coder.encodeObject(left, "left");
            coder.encodeObject(right, "right");
            return;
        }
        coder.encodeObject(name);
        coder.encodeValueOfObjCType('c', flag);
        coder.encodeValueOfObjCType('i', small);
        coder.encodeValueOfObjCType('q', static_cast<long long>(big));
        coder.encodeValueOfObjCType('f', ratio);
        coder.encodeValueOfObjCType('d', precise);
        coder.encodeRect(frame);
        coder.encodePoint(origin);
        coder.encodeSize(extent);
        coder.encodeDataObject(bytes);
        coder.encodeObject(tree);
        coder.encodeObject(left);
        coder.encodeObject(right);
    }

    bool initWithCoder(Coder& coder) override
    {
        versionSeen = coder.versionForClassName("ArchiveNode");
        if (coder.allowsKeyedCoding()) {
            name = coder.decodeObjectForKey("name").stringValue();
            flag = coder.decodeBoolForKey("flag");
            small = coder.decodeInt32ForKey("small");
            big = coder.decodeInt64ForKey("big");
            ratio = coder.decodeFloatForKey("ratio");
            precise = coder.decodeDoubleForKey("precise");
            frame = coder.decodeRectForKey("frame");
            origin = coder.decodePointForKey("origin");
            extent = coder.decodeSizeForKey("extent");
            bytes = coder.decodeBytesForKey("bytes");
            tree = coder.decodeObjectForKey("$tree");
            left = coder.decodeObjectForKey("left").objectAs<ArchiveNode>();
            right = coder.decodeObjectForKey("right").objectAs<ArchiveNode>();
            return true;
        }
        name = coder.decodeObject().stringValue();
        flag = coder.decodeValueOfObjCType('c').boolValue();
        small = static_cast<std::int32_t>(coder.decodeValueOfObjCType('i').integerValue());
        big = coder.decodeValueOfObjCType('q').integerValue();
        ratio = coder.decodeValueOfObjCType('f').floatValue();
        precise = coder.decodeValueOfObjCType('d').doubleValue();
        frame = coder.decodeRect();
        origin = coder.decodePoint();
        extent = coder.decodeSize();
        bytes = coder.decodeDataObject();
        tree = coder.decodeObject();
        left = coder.decodeObject().objectAs<ArchiveNode>();
        right = coder.decodeObject().objectAs<ArchiveNode>();
        return true;
    }
};
FND_REGISTER_CLASS(ArchiveNode, Object)

// Holds one object conditionally.
class ArchiveWatcher final : public Object, public Coding {
    FND_OBJECT(ArchiveWatcher)
public:
    std::shared_ptr<Object> watched;
    void encodeWithCoder(Coder& coder) const override
    {
        if (coder.allowsKeyedCoding())
            coder.encodeConditionalObject(watched, "watched");
        else
            coder.encodeConditionalObject(watched);
    }
    bool initWithCoder(Coder& coder) override
    {
        watched = (coder.allowsKeyedCoding() ? coder.decodeObjectForKey("watched") : coder.decodeObject()).object();
        return true;
    }
};
FND_REGISTER_CLASS(ArchiveWatcher, Object)

// Writes a colour and a flag, but reads the flag only from archives of version 2 or later.
class ArchiveVersioned final : public Object, public Coding {
    FND_OBJECT(ArchiveVersioned)
public:
    String colour;
    bool blended { false };
    void encodeWithCoder(Coder& coder) const override
    {
        coder.encodeObject(colour);
        coder.encodeValueOfObjCType('c', blended);
    }
    bool initWithCoder(Coder& coder) override
    {
        colour = coder.decodeObject().stringValue();
        if (static_cast<std::uint64_t>(coder.versionForClassName("ArchiveVersioned")) >= 2)
            blended = coder.decodeValueOfObjCType('c').boolValue();
        return true;
    }
};
FND_REGISTER_CLASS(ArchiveVersioned, Object)

// Reads keyed archives only; reads one value too many from sequential ones.
class ArchiveKeyedOnly final : public Object, public Coding {
    FND_OBJECT(ArchiveKeyedOnly)
public:
    void encodeWithCoder(Coder& coder) const override
    {
        if (!coder.allowsKeyedCoding())
            coder.encodeValueOfObjCType('i', 1);
    }
    bool initWithCoder(Coder& coder) override
    {
        if (coder.allowsKeyedCoding())
            return false;
        coder.decodeValueOfObjCType('i');
        coder.decodeValueOfObjCType('i');
        return true;
    }
};
FND_REGISTER_CLASS(ArchiveKeyedOnly, Object)

class NotArchivable final : public Object {
    FND_OBJECT(NotArchivable)
};
FND_REGISTER_CLASS(NotArchivable, Object)

enum class Kind { Keyed, Sequential };
constexpr Kind Kinds[] = { Kind::Keyed, Kind::Sequential };
const char* nameOf(Kind kind)
{
    return kind == Kind::Keyed ? "keyed" : "sequential";
}

Expected<Data> archive(Kind kind, const Value& root)
{
    return kind == Kind::Keyed ? KeyedArchiver::archivedDataWithRootObject(root)
                               : SequentialArchiver::archivedDataWithRootObject(root);
}

Expected<Value> unarchive(Kind kind, const Data& data)
{
    return kind == Kind::Keyed ? KeyedUnarchiver::unarchiveTopLevelObjectWithData(data)
                               : SequentialUnarchiver::unarchiveTopLevelObjectWithData(data);
}

Value roundTrip(Kind kind, const Value& root)
{
    auto data = archive(kind, root);
    EXPECT_TRUE(data) << nameOf(kind) << ": " << data.error().localizedDescription();
    if (!data)
        return {};
    auto back = unarchive(kind, *data);
    EXPECT_TRUE(back) << nameOf(kind) << ": " << back.error().localizedDescription();
    return back ? *back : Value();
}

std::string messageOf(const Expected<Value>& result)
{
    return result ? std::string("(no error)") : result.error().localizedDescription().utf8();
}

std::shared_ptr<ArchiveNode> fullNode()
{
    auto node = std::make_shared<ArchiveNode>();
    node->name = "n\u00f6de \U0001F600";
    node->flag = true;
    node->small = std::numeric_limits<std::int32_t>::min();
    node->big = std::numeric_limits<std::int64_t>::max();
    node->ratio = 0.25f;
    node->precise = 1.0 / 3.0;
    node->frame = gfx::Rect(-1.5, 2, 300.25, 1e-9);
    node->origin = { 7, -8 };
    node->extent = { 0.1, 0.2 };
    node->bytes = Data::fromString(std::string("\0\xff\x01", 3));
    node->tree = Array {
        "plain",
        String(u"control \u0001\u001d and lone \xd800"),
        "",
        std::numeric_limits<std::uint64_t>::max(),
        std::numeric_limits<std::int64_t>::min(),
        -0.5,
        true,
        Data(),
        Date::fromReferenceDate(123.5),
        Null {},
        Value(),
        Range { 3, 4 },
        // The not-found location is the largest index, which no double holds.
        Range { NotFound, 0 },
        gfx::Point { 1, 2 },
        gfx::Size { 3, 4 },
        gfx::Rect(5, 6, 7, 8),
        Dictionary { { "$dollar", 1 }, { "nested", Array { Dictionary {} } }, { "\u00e9", "x" } },
        // The number 1 and the string "1" are two members.
        Set { 1, "1", -0.5, Array { "x" }, Set { "inner" }, Set {} },
    };
    return node;
}

}

TEST(Archive, EveryKindOfValueRoundTripsThroughBothCoders)
{
    auto original = fullNode();
    original->left = std::make_shared<ArchiveNode>();
    original->left->name = "child";
    for (Kind kind : Kinds) {
        auto decoded = roundTrip(kind, original).objectAs<ArchiveNode>();
        ASSERT_TRUE(decoded) << nameOf(kind);
        EXPECT_EQ(decoded->name, original->name) << nameOf(kind);
        EXPECT_EQ(decoded->flag, original->flag) << nameOf(kind);
        EXPECT_EQ(decoded->small, original->small) << nameOf(kind);
        EXPECT_EQ(decoded->big, original->big) << nameOf(kind);
        EXPECT_EQ(decoded->ratio, original->ratio) << nameOf(kind);
        EXPECT_EQ(decoded->precise, original->precise) << nameOf(kind);
        EXPECT_EQ(decoded->frame, original->frame) << nameOf(kind);
        EXPECT_EQ(decoded->origin, original->origin) << nameOf(kind);
        EXPECT_EQ(decoded->extent, original->extent) << nameOf(kind);
        EXPECT_EQ(decoded->bytes, original->bytes) << nameOf(kind);
        EXPECT_EQ(decoded->tree, original->tree) << nameOf(kind);
        ASSERT_TRUE(decoded->left) << nameOf(kind);
        EXPECT_EQ(decoded->left->name, "child") << nameOf(kind);
        EXPECT_FALSE(decoded->right) << nameOf(kind);
    }
}

TEST(Archive, PlainValuesAndNilAreRoots)
{
    const std::vector<Value> roots { Value(), "text", 42, Array { 1, "two" }, Dictionary { { "k", Null {} } } };
    for (Kind kind : Kinds) {
        for (const Value& root : roots)
            EXPECT_EQ(roundTrip(kind, root), root) << nameOf(kind) << " " << root.description();
    }
}

TEST(Archive, FloatsKeepSinglePrecision)
{
    auto node = std::make_shared<ArchiveNode>();
    node->ratio = static_cast<float>(0.9354330708661419);
    for (Kind kind : Kinds) {
        auto decoded = roundTrip(kind, node).objectAs<ArchiveNode>();
        ASSERT_TRUE(decoded);
        EXPECT_EQ(static_cast<double>(decoded->ratio), 0.9354330897331238) << nameOf(kind);
    }
}

TEST(Archive, SharedObjectsAndCyclesComeBackAsOneGraph)
{
    auto shared = std::make_shared<ArchiveNode>();
    shared->name = "shared";
    auto a = std::make_shared<ArchiveNode>();
    auto b = std::make_shared<ArchiveNode>();
    a->left = b;
    b->left = a; // a cycle
    a->right = shared;
    b->right = shared;
    shared->right = shared; // a cycle of one

    for (Kind kind : Kinds) {
        Value root = Array { a, shared, a };
        auto decoded = roundTrip(kind, root);
        ASSERT_TRUE(decoded.array()) << nameOf(kind);
        auto da = (*decoded.array())[0].objectAs<ArchiveNode>();
        auto dshared = (*decoded.array())[1].objectAs<ArchiveNode>();
        ASSERT_TRUE(da && dshared) << nameOf(kind);
        EXPECT_EQ((*decoded.array())[2].object(), da) << nameOf(kind);
        ASSERT_TRUE(da->left) << nameOf(kind);
        EXPECT_EQ(da->left->left, da) << nameOf(kind);
        EXPECT_EQ(da->right, dshared) << nameOf(kind);
        EXPECT_EQ(da->left->right, dshared) << nameOf(kind);
        EXPECT_EQ(dshared->right, dshared) << nameOf(kind);
        EXPECT_EQ(dshared->name, "shared") << nameOf(kind);
        da->left->left.reset();
        dshared->right.reset();
    }
    b->left.reset();
    shared->right.reset();
}

TEST(Archive, ConditionalObjectsAreKeptOnlyWhenArchivedElsewhere)
{
    for (Kind kind : Kinds) {
        auto watched = std::make_shared<ArchiveNode>();
        watched->name = "watched";
        auto watcher = std::make_shared<ArchiveWatcher>();
        watcher->watched = watched;

        Value alone = roundTrip(kind, Array { watcher });
        ASSERT_TRUE(alone.array() && alone.array()->size() == 1) << nameOf(kind);
        auto decoded = (*alone.array())[0].objectAs<ArchiveWatcher>();
        ASSERT_TRUE(decoded) << nameOf(kind);
        EXPECT_FALSE(decoded->watched) << nameOf(kind);

        // The watcher comes first, so the object is met conditionally before it is archived for real.
        Value both = roundTrip(kind, Array { watcher, watched });
        ASSERT_TRUE(both.array() && both.array()->size() == 2) << nameOf(kind);
        auto decodedWatcher = (*both.array())[0].objectAs<ArchiveWatcher>();
        ASSERT_TRUE(decodedWatcher) << nameOf(kind);
        EXPECT_EQ(decodedWatcher->watched, (*both.array())[1].object()) << nameOf(kind);
        EXPECT_EQ((*both.array())[1].objectAs<ArchiveNode>()->name, "watched") << nameOf(kind);
    }
}

TEST(Archive, ClassNamesAreSubstitutedBothWays)
{
    auto node = std::make_shared<ArchiveNode>();
    node->name = "renamed";

    KeyedArchiver archiver;
    archiver.setClassName("NumberContainerTest", ArchiveNode::staticClassInfo());
    archiver.encodeObject(node, "root");
    auto data = archiver.encodedData();
    ASSERT_TRUE(data);
    EXPECT_NE(data->view().find("<string>NumberContainerTest</string>"), std::string::npos);
    EXPECT_EQ(data->view().find("<string>ArchiveNode</string>"), std::string::npos);

    // Without a mapping the stored name is an unknown class.
    auto unmapped = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_FALSE(unmapped);
    EXPECT_NE(
        messageOf(unmapped).find("class NumberContainerTest, which this program does not know"), std::string::npos)
        << messageOf(unmapped);

    KeyedUnarchiver unarchiver(*data);
    unarchiver.setClass(ArchiveNode::staticClassInfo(), "NumberContainerTest");
    auto decoded = unarchiver.decodeObjectForKey("root").objectAs<ArchiveNode>();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, "renamed");
    EXPECT_EQ(decoded->versionSeen, 0) << "the version stored under the former name";
    EXPECT_FALSE(unarchiver.error());

    // The process-wide tables serve every archiver and unarchiver.
    KeyedArchiver::setGlobalClassName("GlobalNodeTest", ArchiveNode::staticClassInfo());
    auto globalData = KeyedArchiver::archivedDataWithRootObject(node);
    KeyedArchiver::setGlobalClassName("ArchiveNode", ArchiveNode::staticClassInfo());
    ASSERT_TRUE(globalData);
    EXPECT_NE(globalData->view().find("<string>GlobalNodeTest</string>"), std::string::npos);
    KeyedUnarchiver::setGlobalClass(ArchiveNode::staticClassInfo(), "GlobalNodeTest");
    auto globalDecoded = KeyedUnarchiver::unarchiveObjectWithData(*globalData).objectAs<ArchiveNode>();
    ASSERT_TRUE(globalDecoded);
    EXPECT_EQ(globalDecoded->name, "renamed");
}

TEST(Archive, ClassVersionsAreRecordedInTheArchive)
{
    setClassVersion(ArchiveNode::staticClassInfo(), 3);
    auto node = std::make_shared<ArchiveNode>();
    for (Kind kind : Kinds) {
        auto data = archive(kind, node);
        ASSERT_TRUE(data);
        // Decoding sees the version the archive was written with, not the one in force now.
        setClassVersion(ArchiveNode::staticClassInfo(), 4);
        auto decoded = unarchive(kind, *data).value_or(Value()).objectAs<ArchiveNode>();
        setClassVersion(ArchiveNode::staticClassInfo(), 3);
        ASSERT_TRUE(decoded) << nameOf(kind);
        EXPECT_EQ(decoded->versionSeen, 3) << nameOf(kind);
    }
    setClassVersion(ArchiveNode::staticClassInfo(), 0);

    KeyedUnarchiver keyed(*KeyedArchiver::archivedDataWithRootObject(node));
    SequentialUnarchiver sequential(*SequentialArchiver::archivedDataWithRootObject(node));
    for (Coder* coder : std::initializer_list<Coder*> { &keyed, &sequential }) {
        coder->allowsKeyedCoding() ? coder->decodeObjectForKey("root") : coder->decodeObject();
        EXPECT_EQ(coder->versionForClassName("ArchiveNode"), 0);
        EXPECT_EQ(coder->versionForClassName("NSObject"), 0);
        EXPECT_EQ(coder->versionForClassName("NoSuchClass"), NotFound);
    }
}

TEST(Archive, ASequentialReaderPassesOverValuesOfANewerWriter)
{
    auto versioned = std::make_shared<ArchiveVersioned>();
    versioned->colour = "red";
    versioned->blended = true;
    auto after = std::make_shared<ArchiveNode>();
    after->name = "after";

    for (Index version : { 1, 2 }) {
        setClassVersion(ArchiveVersioned::staticClassInfo(), version);
        auto decoded = roundTrip(Kind::Sequential, Array { versioned, after });
        ASSERT_TRUE(decoded.array() && decoded.array()->size() == 2) << version;
        auto v = (*decoded.array())[0].objectAs<ArchiveVersioned>();
        ASSERT_TRUE(v);
        EXPECT_EQ(v->colour, "red");
        EXPECT_EQ(v->blended, version >= 2) << version;
        EXPECT_EQ((*decoded.array())[1].objectAs<ArchiveNode>()->name, "after");
    }
    setClassVersion(ArchiveVersioned::staticClassInfo(), 0);
}

TEST(Archive, ObjectsThatRefuseACoderDecodeAsNil)
{
    auto keyed = KeyedArchiver::archivedDataWithRootObject(Array { std::make_shared<ArchiveKeyedOnly>(), 1 });
    ASSERT_TRUE(keyed);
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*keyed);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, Value(Array { Value(), 1 }));

    // Reading more values than the object wrote is a failure, not a read into the next object.
    auto sequential = SequentialArchiver::archivedDataWithRootObject(std::make_shared<ArchiveKeyedOnly>());
    ASSERT_TRUE(sequential);
    auto overread = SequentialUnarchiver::unarchiveTopLevelObjectWithData(*sequential);
    ASSERT_FALSE(overread);
    EXPECT_NE(messageOf(overread).find("ArchiveKeyedOnly read more values than were written"), std::string::npos)
        << messageOf(overread);
}

TEST(Archive, ObjectsThatCannotBeArchivedGiveAnError)
{
    auto chain = std::make_shared<ArchiveNode>();
    for (int i = 0; i < 600; ++i) {
        auto next = std::make_shared<ArchiveNode>();
        next->left = chain;
        chain = next;
    }
    const std::vector<std::pair<Value, std::string>> cases {
        { std::make_shared<NotArchivable>(), "Objects of class NotArchivable cannot be archived." },
        { Dictionary { { "k", Array { std::make_shared<NotArchivable>() } } }, "NotArchivable" },
        { chain, "nested more than" },
    };
    for (Kind kind : Kinds) {
        for (const auto& [root, expected] : cases) {
            auto data = archive(kind, root);
            ASSERT_FALSE(data) << nameOf(kind) << " " << expected;
            EXPECT_NE(data.error().localizedDescription().utf8().find(expected), std::string::npos)
                << data.error().localizedDescription();
        }
    }
    // Releasing a long chain one link at a time keeps the destructor off a deep recursion.
    while (chain)
        chain = std::exchange(chain->left, nullptr);
}

TEST(Archive, UnknownClassesGiveAnErrorAndDefaultsAfterIt)
{
    auto node = fullNode();
    for (Kind kind : Kinds) {
        auto data = archive(kind, Array { node, 5 });
        ASSERT_TRUE(data);
        // Rename the class in place: the stored name is ASCII text in both formats (UTF-16 in the sequential one).
        std::string bytes(data->view());
        std::string from = kind == Kind::Keyed ? std::string("ArchiveNode") : std::string("A\0r\0c\0h\0i\0v\0e\0N", 15);
        std::string to = kind == Kind::Keyed ? std::string("ArchiveNoDe") : std::string("A\0r\0c\0h\0i\0v\0e\0X", 15);
        auto at = bytes.find(from);
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, from.size(), to);
        auto decoded = unarchive(kind, Data::fromString(bytes));
        ASSERT_FALSE(decoded) << nameOf(kind);
        EXPECT_NE(messageOf(decoded).find("which this program does not know"), std::string::npos) << messageOf(decoded);
    }

    KeyedArchiver archiver;
    archiver.encodeObject(node, "node");
    archiver.encodeInt64(std::int64_t(1) << 40, "wide");
    archiver.encodeObject("text", "text");
    archiver.encodeInt32(7, "seven");
    KeyedUnarchiver unarchiver(*archiver.encodedData());
    EXPECT_EQ(unarchiver.decodeInt32ForKey("seven"), 7);
    EXPECT_EQ(unarchiver.decodeInt32ForKey("wide"), 0);
    ASSERT_TRUE(unarchiver.error());
    EXPECT_NE(unarchiver.error()->localizedDescription().utf8().find("does not fit in 32 bits"), std::string::npos);
    // After the failure every decode gives its default.
    EXPECT_EQ(unarchiver.decodeInt32ForKey("seven"), 0);
    EXPECT_TRUE(unarchiver.decodeObjectForKey("node").isNil());
    EXPECT_FALSE(unarchiver.containsValueForKey("text"));

    KeyedUnarchiver mismatch(*archiver.encodedData());
    EXPECT_FALSE(mismatch.decodeBoolForKey("text"));
    ASSERT_TRUE(mismatch.error());
    EXPECT_NE(mismatch.error()->localizedDescription().utf8().find("\"text\" is not a boolean"), std::string::npos);
}

TEST(Archive, MissingKeysGiveDefaultsAndNilIsAValue)
{
    KeyedArchiver archiver;
    archiver.encodeObject(Value(), "nothing");
    archiver.encodeBool(true, "yes");
    KeyedUnarchiver unarchiver(*archiver.encodedData());
    EXPECT_TRUE(unarchiver.containsValueForKey("nothing"));
    EXPECT_TRUE(unarchiver.decodeObjectForKey("nothing").isNil());
    EXPECT_FALSE(unarchiver.containsValueForKey("absent"));
    EXPECT_TRUE(unarchiver.decodeObjectForKey("absent").isNil());
    EXPECT_FALSE(unarchiver.decodeBoolForKey("absent"));
    EXPECT_EQ(unarchiver.decodeFloatForKey("absent"), 0.0f);
    EXPECT_EQ(unarchiver.decodeRectForKey("absent"), gfx::Rect());
    EXPECT_TRUE(unarchiver.decodeBoolForKey("yes"));
    EXPECT_FALSE(unarchiver.error());

    // A coder's other half is a programming error.
    EXPECT_THROW(unarchiver.decodeObject(), Exception);
    EXPECT_THROW(archiver.decodeObjectForKey("yes"), Exception);
    SequentialArchiver sequential;
    EXPECT_THROW(sequential.encodeBool(true, "k"), Exception);
}

TEST(Archive, TruncatedAndForeignInputGivesAnError)
{
    auto node = fullNode();
    node->left = std::make_shared<ArchiveNode>();
    for (Kind kind : Kinds) {
        auto data = archive(kind, node);
        ASSERT_TRUE(data);
        // Every cut short of the closing tag (keyed) or of the last byte (sequential) must fail cleanly.
        std::size_t complete = kind == Kind::Keyed ? data->view().rfind("</plist>") : data->length();
        for (std::size_t length = 0; length < complete; ++length) {
            auto decoded = unarchive(kind, Data(data->bytes(), length));
            EXPECT_FALSE(decoded) << nameOf(kind) << " cut at " << length;
        }
    }

    auto keyedData = *KeyedArchiver::archivedDataWithRootObject(1);
    auto sequentialData = *SequentialArchiver::archivedDataWithRootObject(1);
    std::string newer(keyedData.view());
    newer.replace(newer.find("<integer>1</integer>"), 20, "<integer>9</integer>");
    // A hand-made keyed archive whose root slot is `slot`.
    auto keyedWithRoot = [](Value slot) {
        return *PropertyList::writeXML(Dictionary {
            { "$format", "fnd.keyed-archive" },
            { "$formatVersion", 1 },
            { "$top", Dictionary { { "root", std::move(slot) } } },
            { "$objects", Array { Dictionary { { "$class", 5 } } } },
            { "$classes", Array {} },
        });
    };
    const std::vector<std::tuple<Kind, Data, std::string>> cases {
        { Kind::Keyed, sequentialData, "could not be read" },
        { Kind::Sequential, keyedData, "not a sequential archive" },
        { Kind::Keyed, *PropertyList::writeXML(Dictionary { { "a", 1 } }), "not a keyed archive" },
        { Kind::Keyed, Data::fromString(newer), "format version 9" },
        { Kind::Sequential, Data::fromString(std::string("fndseq\x09", 7)), "format version 9" },
        { Kind::Sequential, Data::fromString(std::string(sequentialData.view()) + "junk"), "data follows" },
        { Kind::Sequential, Data::fromString(std::string("fndseq\x01@o+\xff\xff\xff\xff\x0f", 15)),
            "runs past the end" },
        { Kind::Sequential, Data::fromString(std::string("fndseq\x01@r\x05", 10)), "before writing it" },
        { Kind::Sequential, Data::fromString(std::string("fndseq\x01@?", 9)), "not an object value" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$ref", 3 } }), "object 3, which the archive does not hold" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$ref", 0 } }), "refers to class 5" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$ref", "0" } }), "reference is malformed" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$what", 1 } }), "unknown tag \"$what\"" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$nil", true }, { "$null", true } }), "value is malformed" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$string", Data::fromString("abc") } }), "escaped string" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$rect", Array { 1, 2, 3 } } }), "rect is malformed" },
        { Kind::Keyed, keyedWithRoot(Array { 1 }), "value is malformed" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$range", Array { 1 } } }), "range is malformed" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$range", Array { "1", 2 } } }), "range is malformed" },
        // Past the largest index: a real that no index reaches, and an unsigned integer above it.
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$range", Array { 0x1p64, 0 } } }), "beyond the indexes" },
        { Kind::Keyed, keyedWithRoot(Dictionary { { "$range", Array { 0, 0x1p63 } } }), "beyond the indexes" },
        { Kind::Keyed,
            keyedWithRoot(Dictionary { { "$range", Array { std::numeric_limits<std::uint64_t>::max(), 0 } } }),
            "beyond the indexes" },
    };
    for (const auto& [kind, data, expected] : cases) {
        auto decoded = unarchive(kind, data);
        ASSERT_FALSE(decoded) << expected;
        EXPECT_EQ(decoded.error().domain(), ErrorDomain::Cocoa);
        EXPECT_NE(messageOf(decoded).find(expected), std::string::npos) << messageOf(decoded);
    }
    // A real end within the indexes is cut to its whole part; -2^63 is the smallest index.
    auto cut = unarchive(Kind::Keyed, keyedWithRoot(Dictionary { { "$range", Array { 2.9, -0x1p63 } } }));
    ASSERT_TRUE(cut) << messageOf(cut);
    EXPECT_EQ(cut->range(), (Range { 2, std::numeric_limits<Index>::min() }));
}

TEST(Archive, KeyedArchivesHaveTheDocumentedLayout)
{
    auto node = std::make_shared<ArchiveWatcher>();
    KeyedArchiver archiver;
    archiver.encodeObject(Array { node, node, String(u"a\u0001") }, "list");
    archiver.encodeFloat(0.5f, "$half");
    auto data = archiver.encodedData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->view(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "\t<key>$classes</key>\n"
        "\t<array>\n"
        "\t\t<dict>\n"
        "\t\t\t<key>hierarchy</key>\n"
        "\t\t\t<array>\n"
        "\t\t\t\t<string>ArchiveWatcher</string>\n"
        "\t\t\t\t<string>NSObject</string>\n"
        "\t\t\t</array>\n"
        "\t\t\t<key>versions</key>\n"
        "\t\t\t<array>\n"
        "\t\t\t\t<integer>0</integer>\n"
        "\t\t\t\t<integer>0</integer>\n"
        "\t\t\t</array>\n"
        "\t\t</dict>\n"
        "\t</array>\n"
        "\t<key>$format</key>\n"
        "\t<string>fnd.keyed-archive</string>\n"
        "\t<key>$formatVersion</key>\n"
        "\t<integer>1</integer>\n"
        "\t<key>$objects</key>\n"
        "\t<array>\n"
        "\t\t<dict>\n"
        "\t\t\t<key>$class</key>\n"
        "\t\t\t<integer>0</integer>\n"
        "\t\t\t<key>watched</key>\n"
        "\t\t\t<dict>\n"
        "\t\t\t\t<key>$nil</key>\n"
        "\t\t\t\t<true/>\n"
        "\t\t\t</dict>\n"
        "\t\t</dict>\n"
        "\t</array>\n"
        "\t<key>$top</key>\n"
        "\t<dict>\n"
        "\t\t<key>$$half</key>\n"
        "\t\t<real>0.5</real>\n"
        "\t\t<key>list</key>\n"
        "\t\t<dict>\n"
        "\t\t\t<key>$array</key>\n"
        "\t\t\t<array>\n"
        "\t\t\t\t<dict>\n"
        "\t\t\t\t\t<key>$ref</key>\n"
        "\t\t\t\t\t<integer>0</integer>\n"
        "\t\t\t\t</dict>\n"
        "\t\t\t\t<dict>\n"
        "\t\t\t\t\t<key>$ref</key>\n"
        "\t\t\t\t\t<integer>0</integer>\n"
        "\t\t\t\t</dict>\n"
        "\t\t\t\t<dict>\n"
        "\t\t\t\t\t<key>$string</key>\n"
        "\t\t\t\t\t<data>YQABAA==</data>\n"
        "\t\t\t\t</dict>\n"
        "\t\t\t</array>\n"
        "\t\t</dict>\n"
        "\t</dict>\n"
        "</dict>\n"
        "</plist>\n");
    // Asked again, the archiver writes the same.
    EXPECT_EQ(archiver.encodedData()->view(), data->view());
}
