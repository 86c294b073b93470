// Owned references in keyed archives: children read with decodeOwnedObjectForKey, back-links with
// decodeObjectForKey. A reference from an owned slot back into the objects still being decoded is a damaged archive.
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

// A tree node: owns its children, knows its owner weakly. Every decoded node is remembered weakly, so a test can see
// that nothing outlives a failed decode.
class OwnershipNode final : public Object, public Coding {
    FND_OBJECT(OwnershipNode)
public:
    String name;
    std::vector<std::shared_ptr<OwnershipNode>> children;
    std::weak_ptr<OwnershipNode> owner;

    static std::vector<std::weak_ptr<OwnershipNode>>& decodedNodes()
    {
        static std::vector<std::weak_ptr<OwnershipNode>> nodes;
        return nodes;
    }

    void encodeWithCoder(Coder& coder) const override
    {
        coder.encodeObject(name, "name");
        Array list;
        for (const auto& child : children)
            list.emplace_back(std::static_pointer_cast<Object>(child));
        coder.encodeObject(list, "children");
        coder.encodeConditionalObject(owner.lock(), "owner");
    }
    bool initWithCoder(Coder& coder) override
    {
        decodedNodes().push_back(std::static_pointer_cast<OwnershipNode>(shared_from_this()));
        name = coder.decodeObjectForKey("name").stringValue();
        if (auto list = coder.decodeOwnedObjectForKey("children"); list.array()) {
            for (const Value& child : *list.array())
                if (auto node = child.objectAs<OwnershipNode>())
                    children.push_back(node);
        }
        // Read after the owned slot: the back-link to an owner still being decoded is wanted here.
        owner = coder.decodeObjectForKey("owner").objectAs<OwnershipNode>();
        return true;
    }
};
FND_REGISTER_CLASS(OwnershipNode, Object)

std::shared_ptr<OwnershipNode> ownershipNode(const char* name, std::vector<std::shared_ptr<OwnershipNode>> children)
{
    auto node = std::make_shared<OwnershipNode>();
    node->name = name;
    node->children = std::move(children);
    for (const auto& child : node->children)
        child->owner = node;
    return node;
}

Value ownershipRef(int index)
{
    return Dictionary { { "$ref", index } };
}

// A hand-made archive of nodes; nodes[i] lists the slots of object i's children, and object 0 is the root.
Data ownershipArchive(const std::vector<Array>& nodes)
{
    Array objects;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        objects.emplace_back(Dictionary {
            { "$class", 0 },
            { "name", String(std::string("n") + std::to_string(i)) },
            { "children", Dictionary { { "$array", nodes[i] } } },
        });
    }
    return *PropertyList::writeXML(Dictionary {
        { "$format", "fnd.keyed-archive" },
        { "$formatVersion", 1 },
        { "$top", Dictionary { { "root", ownershipRef(0) } } },
        { "$objects", objects },
        { "$classes",
            Array { Dictionary {
                { "hierarchy", Array { "OwnershipNode", "NSObject" } }, { "versions", Array { 0, 0 } } } } },
    });
}

}

// Owned children come back as a tree; their back-links, read while the owner is still being decoded, point at it;
// an object already decoded in full may be listed again (shared, not a cycle).
TEST(ArchiveOwnership, OwnedTreesWithBackLinksComeBackWhole)
{
    auto leaf = ownershipNode("leaf", {});
    auto root = ownershipNode("root", { ownershipNode("a", { leaf }), ownershipNode("b", {}) });
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(root));
    ASSERT_TRUE(data);
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription().utf8();
    auto copy = decoded->objectAs<OwnershipNode>();
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->children.size(), 2u);
    EXPECT_EQ(copy->children[0]->name, "a");
    EXPECT_EQ(copy->children[1]->name, "b");
    EXPECT_EQ(copy->children[0]->owner.lock(), copy);
    EXPECT_EQ(copy->children[1]->owner.lock(), copy);
    ASSERT_EQ(copy->children[0]->children.size(), 1u);
    EXPECT_EQ(copy->children[0]->children[0]->owner.lock(), copy->children[0]);

    // Object 1 is complete before object 0 lists it a second time.
    auto shared = KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        ownershipArchive({ Array { ownershipRef(1), ownershipRef(1) }, Array {} }));
    ASSERT_TRUE(shared) << shared.error().localizedDescription().utf8();
    auto twice = shared->objectAs<OwnershipNode>();
    ASSERT_EQ(twice->children.size(), 2u);
    EXPECT_EQ(twice->children[0], twice->children[1]);
}

// A node that would own itself, its owner or an owner further up fails the archive with an error, and every node
// made on the way is freed with it.
TEST(ArchiveOwnership, OwningAnObjectStillBeingDecodedFailsAndFreesEverything)
{
    const std::vector<std::pair<const char*, std::vector<Array>>> cases {
        { "itself", { Array { ownershipRef(0) } } },
        { "its owner", { Array { ownershipRef(1) }, Array { ownershipRef(0) } } },
        { "the root, two levels up",
            { Array { ownershipRef(1) }, Array { ownershipRef(2) }, Array { ownershipRef(0) } } },
        { "the root, inside a plain dictionary",
            { Array { ownershipRef(1) },
                Array { Dictionary { { "$dictionary", Dictionary { { "k", ownershipRef(0) } } } } } } },
        { "its owner, after a sibling",
            { Array { ownershipRef(1), ownershipRef(2) }, Array {}, Array { ownershipRef(0) } } },
    };
    for (const auto& [what, nodes] : cases) {
        OwnershipNode::decodedNodes().clear();
        auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(ownershipArchive(nodes));
        ASSERT_FALSE(decoded) << what;
        EXPECT_EQ(decoded.error().code(), CoderError::ReadCorrupt) << what;
        EXPECT_NE(decoded.error().localizedDescription().utf8().find("would own itself"), std::string::npos)
            << what << ": " << decoded.error().localizedDescription().utf8();
        EXPECT_FALSE(OwnershipNode::decodedNodes().empty()) << what;
        for (const auto& node : OwnershipNode::decodedNodes())
            EXPECT_TRUE(node.expired()) << what << ": a node outlived the failed decode";
    }
}
