// The children of the bridge's objects, read through ATK as the ATK-to-AT-SPI bridge reads them for a client: what a
// read costs the element (its children are listed once for a walk of all of them, not once per child), which
// objects exist (only those asked for), what a change tells (the children that came and went, compared without a
// search per child), and that no object handed out is ever left dangling.
#include "GtkTestSupport.h"

#include "platform/backend/gtk/GtkAccessibilityBridge.h"

#include <atk/atk.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace gtktest;

namespace {

namespace A = ui::AccessibilityAttribute;

class CountedParent;

class CountedChild : public fnd::Object, public ui::AccessibilityElement {
public:
    CountedChild(std::string title, std::shared_ptr<fnd::Object> parent)
        : title(std::move(title))
        , parent(parent)
    {
    }
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        if (attribute == A::Role)
            return ui::AccessibilityRole::StaticText;
        if (attribute == A::Title)
            return fnd::String(title);
        if (attribute == A::Parent) {
            auto owner = parent.lock();
            return owner ? fnd::Value(owner) : fnd::Value();
        }
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
    bool accessibilityIsIgnored() const override { return false; }
    std::string title;
    std::weak_ptr<fnd::Object> parent;
};

// A group or a list of children that counts how often they are listed, and that tells when they change.
class CountedParent : public fnd::Object, public ui::AccessibilityElement {
public:
    explicit CountedParent(fnd::String role)
        : role(std::move(role))
    {
    }
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        if (attribute == A::Role)
            return role;
        if (attribute == A::Children) {
            ++listings;
            fnd::Array values;
            for (const auto& child : children)
                values.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(child)));
            return values;
        }
        if (attribute == A::SelectedChildren) {
            fnd::Array values;
            if (selected < children.size())
                values.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(children[selected])));
            return values;
        }
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }
    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        return { A::Role, A::Children, A::SelectedChildren };
    }
    bool accessibilityIsIgnored() const override { return false; }

    std::shared_ptr<CountedChild> make(const std::string& title)
    {
        return std::make_shared<CountedChild>(title, shared_from_this());
    }
    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            children.push_back(make("Child " + std::to_string(i)));
    }
    void changed() { ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged); }

    fnd::String role;
    std::vector<std::shared_ptr<CountedChild>> children;
    std::size_t selected { std::size_t(-1) };
    mutable int listings { 0 };
};

// The children-changed signals of an object, as "add 3 Child 7" / "remove 1 Child 2".
class ChildrenSignals {
public:
    explicit ChildrenSignals(AtkObject* object)
        : m_object(object)
    {
        m_handler = g_signal_connect(object, "children-changed",
            G_CALLBACK(+[](AtkObject*, guint index, gpointer child, ChildrenSignals* self) {
                // The signal's detail is not among its arguments: the emission hook's query tells it.
                auto* hint = g_signal_get_invocation_hint(self->m_object);
                auto detail = hint ? std::string(g_quark_to_string(hint->detail)) : std::string();
                const char* name = child ? atk_object_get_name(ATK_OBJECT(child)) : nullptr;
                self->heard.push_back(detail + " " + std::to_string(index) + " " + (name ? name : "?"));
            }),
            this);
    }
    ~ChildrenSignals() { g_signal_handler_disconnect(m_object, m_handler); }
    ChildrenSignals(const ChildrenSignals&) = delete;
    ChildrenSignals& operator=(const ChildrenSignals&) = delete;
    std::vector<std::string> heard;

private:
    AtkObject* m_object;
    gulong m_handler;
};

class AccessibilityBridgeChildrenTest : public GtkDisplayTest {
protected:
    static AtkObject* accessible(ui::AccessibilityElement& element)
    {
        return ui::GtkAccessibilityBridge::shared().accessibleFor(element);
    }
    static bool exists(const ui::AccessibilityElement& element)
    {
        return ui::GtkAccessibilityBridge::shared().existingAccessibleFor(element) != nullptr;
    }
    static bool has(AtkObject* object, AtkStateType state)
    {
        auto* set = atk_object_ref_state_set(object);
        bool contains = atk_state_set_contains_state(set, state);
        g_object_unref(set);
        return contains;
    }
    // The child, held by the caller.
    static AtkObject* child(AtkObject* parent, int index) { return atk_object_ref_accessible_child(parent, index); }
    static std::string name(AtkObject* object)
    {
        const char* text = object ? atk_object_get_name(object) : nullptr;
        return text ? text : "";
    }
};

}

// A client walking a parent of many children asks for the count, then for each child, its index and its parent:
// the element lists its children once for all of it (once per child made a walk of n children cost n² reads, a
// flow view of 5,000 pictures froze its program for seconds). Objects exist only for the children asked for.
TEST_F(AccessibilityBridgeChildrenTest, AWalkOfEveryChildListsTheChildrenOnceAndMakesObjectsOnlyForThoseAsked)
{
    for (const fnd::String& role : { ui::AccessibilityRole::Group, ui::AccessibilityRole::List }) {
        SCOPED_TRACE(role.utf8());
        auto parent = std::make_shared<CountedParent>(role);
        parent->fill(2000);
        auto* object = accessible(*parent);
        ASSERT_EQ(atk_object_get_n_accessible_children(object), 2000);
        EXPECT_EQ(std::ranges::count_if(parent->children, [](const auto& each) { return exists(*each); }), 0)
            << "counting makes no objects for the children";
        auto* seventh = child(object, 7);
        EXPECT_EQ(name(seventh), "Child 7");
        EXPECT_TRUE(exists(*parent->children[7]));
        EXPECT_FALSE(exists(*parent->children[8]));
        g_object_unref(seventh);

        for (int i = 0; i < 2000; ++i) {
            auto* each = child(object, i);
            ASSERT_TRUE(each) << i;
            EXPECT_EQ(atk_object_get_index_in_parent(each), i);
            EXPECT_EQ(atk_object_get_parent(each), object) << i;
            g_object_unref(each);
        }
        EXPECT_EQ(atk_object_get_n_accessible_children(object), 2000);
        EXPECT_LE(parent->listings, 2) << "listed once for the walk, not once per child";
    }
}

// A change of the children tells the ones that left (that a client was handed) and the ones that came, at their
// indexes. A list manages its descendants (clients ask for the items they need instead of keeping them all): it
// tells the places of the items that came without making objects for them, and the selected item as its active
// descendant.
TEST_F(AccessibilityBridgeChildrenTest, AChangeTellsTheChildrenThatCameAndWent)
{
    auto group = std::make_shared<CountedParent>(ui::AccessibilityRole::Group);
    group->fill(5);
    auto* groupObject = accessible(*group);
    ASSERT_EQ(atk_object_get_n_accessible_children(groupObject), 5);
    for (int i = 0; i < 5; ++i)
        g_object_unref(child(groupObject, i));
    EXPECT_FALSE(has(groupObject, ATK_STATE_MANAGES_DESCENDANTS));
    {
        ChildrenSignals signals(groupObject);
        group->children.erase(group->children.begin() + 1);
        group->children.push_back(group->make("Child 5"));
        group->changed();
        EXPECT_EQ(signals.heard, (std::vector<std::string> { "remove 1 Child 1", "add 4 Child 5" }));
    }

    auto list = std::make_shared<CountedParent>(ui::AccessibilityRole::List);
    list->fill(1000);
    auto* listObject = accessible(*list);
    EXPECT_TRUE(has(listObject, ATK_STATE_MANAGES_DESCENDANTS));
    ASSERT_EQ(atk_object_get_n_accessible_children(listObject), 1000);
    auto* held = child(listObject, 2);
    ASSERT_TRUE(held);
    {
        ChildrenSignals signals(listObject);
        std::vector<std::shared_ptr<CountedChild>> fresh;
        for (int i = 0; i < 1000; ++i)
            fresh.push_back(list->make("New " + std::to_string(i)));
        list->children = fresh;
        list->changed();
        ASSERT_EQ(signals.heard.size(), 1001u);
        EXPECT_EQ(signals.heard.front(), "remove 2 Child 2") << "the one item handed out leaves";
        EXPECT_EQ(signals.heard[1], "add 0 ?") << "the new ones are told by their places, not handed out";
        EXPECT_EQ(signals.heard.back(), "add 999 ?");
        EXPECT_FALSE(exists(*list->children[500])) << "no object is made for them";
    }
    EXPECT_TRUE(has(held, ATK_STATE_DEFUNCT)) << "its element is gone";
    EXPECT_EQ(atk_object_get_role(held), ATK_ROLE_INVALID);
    EXPECT_EQ(atk_object_get_index_in_parent(held), -1);
    g_object_unref(held);
    auto* now = child(listObject, 2);
    EXPECT_EQ(name(now), "New 2");

    AtkObject* active = nullptr;
    auto handler = g_signal_connect(listObject, "active-descendant-changed",
        G_CALLBACK(+[](AtkObject*, gpointer child, AtkObject** into) { *into = ATK_OBJECT(child); }), &active);
    list->selected = 500;
    ui::accessibilityPostNotification(*list, ui::AccessibilityNotification::SelectedChildrenChanged);
    EXPECT_EQ(name(active), "New 500") << "the selected item is the list's active descendant";
    g_signal_handler_disconnect(listObject, handler);
    g_object_unref(now);
}

// Children that go without a word (a view's parts freed) are never handed out afterwards: the objects a client
// holds answer as gone, and the parent lists its children again.
TEST_F(AccessibilityBridgeChildrenTest, AChildGoneWithoutANotificationIsNeverHandedOut)
{
    auto group = std::make_shared<CountedParent>(ui::AccessibilityRole::Group);
    group->fill(3);
    auto* object = accessible(*group);
    ASSERT_EQ(atk_object_get_n_accessible_children(object), 3);
    auto* first = child(object, 0);
    auto* second = child(object, 1);
    group->children.erase(group->children.begin() + 1);
    EXPECT_TRUE(has(second, ATK_STATE_DEFUNCT));
    EXPECT_EQ(atk_object_get_n_accessible_children(object), 2);
    auto* now = child(object, 1);
    EXPECT_EQ(name(now), "Child 2");
    EXPECT_EQ(atk_object_get_index_in_parent(now), 1);
    EXPECT_EQ(atk_object_get_index_in_parent(first), 0);
    EXPECT_EQ(atk_object_get_index_in_parent(second), -1);
    for (auto* held : { first, second, now })
        g_object_unref(held);

    // The parent itself gone: its object answers with no children, as gone.
    auto* kept = ATK_OBJECT(g_object_ref(object));
    group.reset();
    EXPECT_TRUE(has(kept, ATK_STATE_DEFUNCT));
    EXPECT_EQ(atk_object_get_n_accessible_children(kept), 0);
    EXPECT_EQ(child(kept, 0), nullptr);
    g_object_unref(kept);
}
