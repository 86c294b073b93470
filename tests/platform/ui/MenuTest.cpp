#include "platform/ui/Menu.h"
#include "platform/foundation/Exception.h"
#include "platform/ui/MenuScript.h"

#include <gtest/gtest.h>

namespace menutest {

using fnd::String;
using ui::Menu;
using ui::MenuItem;

// A responder-like object: it answers copy: and paste:, and validates paste: by a flag through its action table.
class MenuTestEditor : public fnd::Object {
    FND_OBJECT(MenuTestEditor)
    static void describeClass(fnd::ClassBuilder<MenuTestEditor>& c);

public:
    void copy(const fnd::Value& sender) { received.push_back("copy:" + sender.objectAs<MenuItem>()->title().utf8()); }
    void paste(const fnd::Value&) { received.push_back("paste:"); }
    bool validateMenuItem(const fnd::Value& item) const
    {
        return item.objectAs<MenuItem>()->action() != fnd::Selector("paste:") || canPaste;
    }

    bool canPaste { false };
    std::vector<std::string> received;
};

FND_REGISTER_CLASS(MenuTestEditor, fnd::Object)

void MenuTestEditor::describeClass(fnd::ClassBuilder<MenuTestEditor>& c)
{
    c.action("copy:", &MenuTestEditor::copy);
    c.action("paste:", &MenuTestEditor::paste);
    c.action("validateMenuItem:", &MenuTestEditor::validateMenuItem);
}

// Validates through the C++ interface instead: only items tagged 7.
class MenuTestPicky : public fnd::Object, public ui::MenuItemValidation {
    FND_OBJECT(MenuTestPicky)
    static void describeClass(fnd::ClassBuilder<MenuTestPicky>& c) { c.action("copy:", &MenuTestPicky::copy); }

public:
    void copy(const fnd::Value&) { }
    bool validateMenuItem(MenuItem& item) override { return item.tag() == 7; }
};

FND_REGISTER_CLASS(MenuTestPicky, fnd::Object)

// Rebuilds its menu to three numbered items and records the calls.
class Rebuilder : public ui::MenuDelegate {
public:
    void menuNeedsUpdate(Menu&) override { calls.push_back("needsUpdate"); }
    std::optional<long> numberOfItemsInMenu(Menu&) override { return 3; }
    bool menuUpdateItem(Menu&, MenuItem& item, long index, bool) override
    {
        item.setTitle(String("Entry " + std::to_string(index)));
        item.setTag(index);
        return true;
    }
    void menuWillOpen(Menu&) override { calls.push_back("willOpen"); }
    void menuDidClose(Menu&) override { calls.push_back("didClose"); }
    std::vector<std::string> calls;
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::MenuScript::shared()->reset();
        // A two-object chain: the editor first, then the application object.
        Menu::setTargetResolver([this](fnd::Selector action, const fnd::Value&) -> std::shared_ptr<fnd::Object> {
            for (const auto& responder :
                { std::static_pointer_cast<fnd::Object>(editor), std::static_pointer_cast<fnd::Object>(application) })
                if (responder && responder->respondsTo(action))
                    return responder;
            return nullptr;
        });
    }
    void TearDown() override
    {
        Menu::setTargetResolver({});
        ui::MenuScript::shared()->reset();
    }

    std::shared_ptr<MenuTestEditor> editor = fnd::makeObject<MenuTestEditor>();
    std::shared_ptr<MenuTestPicky> application = fnd::makeObject<MenuTestPicky>();
};

TEST_F(MenuTest, AutoEnablingFollowsTargetsAndValidation)
{
    auto menu = Menu::create("Edit");
    auto copy = menu->addItemWithTitle("Copy", "copy:", "c");
    auto paste = menu->addItemWithTitle("Paste", "paste:", "v");
    auto unknown = menu->addItemWithTitle("Frobnicate", "frobnicate:");
    menu->addItem(MenuItem::separatorItem());
    auto submenuItem = menu->addItemWithTitle("More");
    submenuItem->setSubmenu(Menu::create("More"));
    auto inert = menu->addItemWithTitle("Label");
    auto explicitTarget = menu->addItemWithTitle("Copy There", "copy:");
    explicitTarget->setTarget(application);

    struct Case {
        const char* title;
        bool canPaste;
        std::vector<bool> enabled; // Copy, Paste, Frobnicate, separator, More, Label, Copy There
    };
    const Case cases[] = {
        { "paste refused by the editor", false, { true, false, false, false, true, false, false } },
        { "paste allowed", true, { true, true, false, false, true, false, false } },
    };
    for (const auto& c : cases) {
        editor->canPaste = c.canPaste;
        menu->update();
        std::vector<bool> enabled;
        for (const auto& item : menu->itemArray())
            enabled.push_back(item->isEnabled());
        EXPECT_EQ(enabled, c.enabled) << c.title;
    }

    // The explicit target validates through its interface: tag 7 only.
    explicitTarget->setTag(7);
    menu->update();
    EXPECT_TRUE(explicitTarget->isEnabled());

    // Without the editor, copy: falls to the next responder, which validates by tag.
    editor.reset();
    copy->setTag(7);
    menu->update();
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_FALSE(paste->isEnabled());

    // Auto-enabling off leaves the flags as set by hand.
    menu->setAutoenablesItems(false);
    unknown->setEnabled(true);
    menu->update();
    EXPECT_TRUE(unknown->isEnabled());
    EXPECT_FALSE(inert->isSeparatorItem());
}

TEST_F(MenuTest, ActionsAndKeyEquivalentsReachTheChain)
{
    auto main = Menu::create("Main");
    auto editMenu = Menu::create("Edit");
    main->addItemWithTitle("Edit")->setSubmenu(editMenu);
    editMenu->addItemWithTitle("Copy", "copy:", "c");
    editMenu->addItemWithTitle("Paste", "paste:", "v");
    auto shifted = editMenu->addItemWithTitle("Copy Style", "copy:", "C");
    shifted->setKeyEquivalentModifierMask(ui::KeyEquivalentModifier::Command | ui::KeyEquivalentModifier::Option);

    const unsigned long command = ui::KeyEquivalentModifier::Command;
    const unsigned long shift = ui::KeyEquivalentModifier::Shift;
    const unsigned long option = ui::KeyEquivalentModifier::Option;
    struct Case {
        const char* characters;
        unsigned long flags;
        const char* expectedTitle; // nullptr: no item
    };
    const Case cases[] = {
        { "c", command, "Copy" },
        { "C", command, "Copy" },
        { "c", command | shift | option, "Copy Style" },
        { "c", command | option, nullptr },
        { "c", 0, nullptr },
        { "x", command, nullptr },
        // Bits outside the four modifiers (caps lock) do not matter.
        { "v", command | (1ul << 16), "Paste" },
    };
    for (const auto& c : cases) {
        auto item = main->itemForKeyEquivalent(c.characters, c.flags);
        if (c.expectedTitle) {
            ASSERT_TRUE(item) << c.characters << " " << c.flags;
            EXPECT_EQ(item->title(), String(c.expectedTitle)) << c.characters << " " << c.flags;
        } else {
            EXPECT_FALSE(item) << c.characters << " " << c.flags;
        }
    }

    EXPECT_TRUE(main->performKeyEquivalent("c", command));
    // Paste is refused by validation, so its key does nothing.
    EXPECT_FALSE(main->performKeyEquivalent("v", command));
    editor->canPaste = true;
    EXPECT_TRUE(main->performKeyEquivalent("v", command));
    EXPECT_EQ(editor->received, (std::vector<std::string> { "copy:Copy", "paste:" }));
}

TEST_F(MenuTest, PopUpAnswersFromTheScriptAndSendsTheAction)
{
    auto menu = Menu::create("Context");
    menu->addItemWithTitle("Copy", "copy:");
    menu->addItemWithTitle("Paste", "paste:");
    auto script = ui::MenuScript::shared();

    script->chooseItemWithTitle("Copy");
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, { 10, 20 }));
    // A disabled item cannot be picked.
    script->chooseItemWithTitle("Paste");
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, { 0, 0 }));
    script->dismiss();
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, { 0, 0 }));
    EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, { 0, 0 })) << "nothing queued dismisses";

    EXPECT_EQ(editor->received, std::vector<std::string> { "copy:Copy" });
    ASSERT_EQ(script->shown().size(), 4u);
    EXPECT_EQ(script->shown()[0].location, (gfx::Point { 10, 20 }));
    EXPECT_EQ(script->shown()[1].enabled, (std::vector<bool> { true, false }));

    // A delegate that rebuilds the menu sees the open and close around the pick.
    auto delegate = std::make_shared<Rebuilder>();
    auto dynamic = Menu::create("Dynamic");
    dynamic->setAutoenablesItems(false);
    dynamic->setDelegate(delegate);
    script->chooseItemWithTag(2);
    EXPECT_TRUE(dynamic->popUpMenuPositioningItem(nullptr, { 0, 0 }));
    EXPECT_EQ(script->shown().back().itemTitles, (std::vector<String> { "Entry 0", "Entry 1", "Entry 2" }));
    EXPECT_EQ(delegate->calls, (std::vector<std::string> { "needsUpdate", "willOpen", "didClose" }));
}

TEST(Menu, ItemsBelongToOneMenuAndCopyDeeply)
{
    auto menu = Menu::create("File");
    auto item = menu->addItemWithTitle("Open", "open:", "o");
    item->setTag(4);
    item->setRepresentedObject(String("doc"));
    item->setState(ui::ControlStateValue::Mixed);
    item->setIndentationLevel(40);
    EXPECT_EQ(item->indentationLevel(), 15);
    auto sub = Menu::create("Recent");
    sub->addItemWithTitle("a.txt");
    menu->addItemWithTitle("Recent")->setSubmenu(sub);
    EXPECT_EQ(sub->supermenu(), menu);

    auto other = Menu::create("Other");
    EXPECT_THROW(other->addItem(item), fnd::Exception);
    EXPECT_THROW(other->addItemWithTitle("x")->setSubmenu(sub), fnd::Exception);
    EXPECT_THROW(menu->insertItem(MenuItem::create("late"), 9), fnd::Exception);
    EXPECT_THROW(menu->removeItemAtIndex(-1), fnd::Exception);

    EXPECT_EQ(menu->indexOfItemWithTag(4), 0);
    EXPECT_EQ(menu->indexOfItemWithRepresentedObject(String("doc")), 0);
    EXPECT_EQ(menu->indexOfItemWithSubmenu(*sub), 1);
    EXPECT_EQ(menu->indexOfItemWithTitle("missing"), -1);

    auto copied = menu->copy();
    ASSERT_EQ(copied->numberOfItems(), 2);
    auto copiedItem = copied->itemAtIndex(0);
    EXPECT_NE(copiedItem, item);
    EXPECT_EQ(copiedItem->menu(), copied);
    EXPECT_EQ(copiedItem->keyEquivalent(), String("o"));
    EXPECT_EQ(copiedItem->tag(), 4);
    EXPECT_EQ(copiedItem->state(), ui::ControlStateValue::Mixed);
    EXPECT_EQ(copiedItem->representedObject(), fnd::Value(String("doc")));
    ASSERT_TRUE(copied->itemAtIndex(1)->submenu());
    EXPECT_NE(copied->itemAtIndex(1)->submenu(), sub);
    EXPECT_EQ(copied->itemAtIndex(1)->submenu()->itemAtIndex(0)->title(), String("a.txt"));

    // Removed items may join another menu.
    menu->removeItem(item);
    EXPECT_FALSE(item->menu());
    other->addItem(item);
    EXPECT_EQ(item->menu(), other);
    // Keys travel through the runtime, as interface files set them.
    item->setValueForKey(1, "state");
    EXPECT_EQ(item->state(), ui::ControlStateValue::On);
}

}
