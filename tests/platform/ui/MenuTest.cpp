#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuView.h"

#include <algorithm>
#include <cmath>

namespace menutest {

using fnd::String;
using ui::Menu;
using ui::MenuItem;

// The focused view: it answers copy: and paste:, and validates paste: by a flag through its action table.
class MenuTestEditor : public uitest::TestView {
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

FND_REGISTER_CLASS(MenuTestEditor, uitest::TestView)

void MenuTestEditor::describeClass(fnd::ClassBuilder<MenuTestEditor>& c)
{
    c.action("copy:", &MenuTestEditor::copy);
    c.action("paste:", &MenuTestEditor::paste);
    c.action("validateMenuItem:", &MenuTestEditor::validateMenuItem);
}

// The end of the chain, validating through the C++ interface instead: only items tagged 7.
class MenuTestAppDelegate : public fnd::Object, public ui::ApplicationDelegate, public ui::MenuItemValidation {
    FND_OBJECT(MenuTestAppDelegate)
    static void describeClass(fnd::ClassBuilder<MenuTestAppDelegate>& c)
    {
        c.action("copy:", &MenuTestAppDelegate::copy);
    }

public:
    void copy(const fnd::Value&) { ++copies; }
    bool validateMenuItem(MenuItem& item) override { return item.tag() == 7; }
    int copies { 0 };
};

FND_REGISTER_CLASS(MenuTestAppDelegate, fnd::Object)

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

class MenuTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        window = ui::Window::create({ 0, 0, 200, 100 });
        editor = std::make_shared<MenuTestEditor>();
        editor->initWithFrame({ 10, 10, 50, 50 });
        editor->takesFocus = true;
        window->contentView()->addSubview(editor);
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(editor);
        app().setDelegate(application);
    }
    void TearDown() override { app().setDelegate(nullptr); }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MenuTestEditor> editor;
    std::shared_ptr<MenuTestAppDelegate> application = fnd::makeObject<MenuTestAppDelegate>();
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

    // Without the editor in the chain, copy: falls to the application's delegate, which validates by tag.
    window->makeFirstResponder(nullptr);
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

    // Typed keys reach the main menu through the application.
    app().setMainMenu(main);
    backend->keyDown(*window, "c", 0x08, ui::ModifierFlags::Command);
    backend->keyDown(*window, "x", 0x07, ui::ModifierFlags::Command);
    backend->dispatchEvents();
    EXPECT_EQ(editor->received, (std::vector<std::string> { "copy:Copy", "paste:", "copy:Copy" }));
    app().setMainMenu(nullptr);
}

TEST_F(MenuTest, PopUpsAndContextMenusAnswerFromTheScriptAndSendTheAction)
{
    auto menu = Menu::create("Context");
    menu->addItemWithTitle("Copy", "copy:");
    menu->addItemWithTitle("Paste", "paste:");
    menu->addItem(MenuItem::separatorItem());

    backend->answerNextPopUpMenu(0);
    EXPECT_TRUE(menu->popUpMenuPositioningItem(nullptr, { 10, 20 }));
    // A disabled item, a separator, an index past the end and a dismissal choose nothing.
    for (std::optional<long> answer :
        { std::optional<long>(1), std::optional<long>(2), std::optional<long>(9), std::optional<long>() }) {
        backend->answerNextPopUpMenu(answer);
        EXPECT_FALSE(menu->popUpMenuPositioningItem(nullptr, { 0, 0 })) << answer.value_or(-1);
    }
    EXPECT_EQ(editor->received, std::vector<std::string> { "copy:Copy" });

    // The right mouse on a view opens its menu there; the chosen item's action travels the chain.
    editor->canPaste = true;
    auto plain = ui::View::create({ 100, 10, 50, 50 });
    plain->setMenu(menu);
    window->contentView()->addSubview(plain);
    backend->answerNextPopUpMenu(1);
    backend->rightMouseDown(*window, { 120, 20 });
    backend->dispatchEvents();
    EXPECT_EQ(editor->received, (std::vector<std::string> { "copy:Copy", "paste:" }));

    // A delegate that rebuilds the menu sees the open and close around the pick.
    auto delegate = std::make_shared<Rebuilder>();
    auto dynamic = Menu::create("Dynamic");
    dynamic->setDelegate(delegate);
    backend->answerNextPopUpMenu(2);
    EXPECT_FALSE(dynamic->popUpMenuPositioningItem(nullptr, { 0, 0 })) << "items without an action are disabled";
    EXPECT_EQ(dynamic->numberOfItems(), 3);
    EXPECT_EQ(dynamic->itemAtIndex(2)->title(), fnd::String("Entry 2"));
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

// A menu is measured once for each text and font it shows: what a layout finds follows every change of a title, a
// key equivalent or the menu's font. Widths by hand: the mark column (22 points), the widest title, and 12 points at
// the right; a key equivalent adds 28 points and its own width.
TEST(MenuView, LayoutFollowsChangedTitlesKeysAndFonts)
{
    auto textWidth = [](const char* text, const std::shared_ptr<gfx::Font>& font) {
        txt::Attributes attributes;
        attributes.set(txt::FontAttributeName, fnd::Value(font));
        return std::ceil(txt::AttributedString(String(text), attributes).size().width);
    };
    const auto menuFont = ui::MenuView::fontOf(*Menu::create());
    auto menu = Menu::create();
    auto item = menu->addItemWithTitle("Open");
    menu->addItemWithTitle("Save");
    EXPECT_EQ(ui::MenuView::layoutMenu(*menu).size.width,
        22 + std::max(textWidth("Open", menuFont), textWidth("Save", menuFont)) + 12);

    item->setTitle("Open the document named in the field");
    EXPECT_EQ(ui::MenuView::layoutMenu(*menu).size.width,
        22 + textWidth("Open the document named in the field", menuFont) + 12);

    item->setKeyEquivalent("o");
    EXPECT_EQ(ui::MenuView::layoutMenu(*menu).size.width,
        22 + textWidth("Open the document named in the field", menuFont) + 28 + textWidth("Ctrl+O", menuFont) + 12);

    auto large = gfx::Font::systemFontOfSize(24);
    menu->setFont(large);
    const auto layout = ui::MenuView::layoutMenu(*menu);
    EXPECT_EQ(layout.size.width,
        22 + textWidth("Open the document named in the field", large) + 28 + textWidth("Ctrl+O", large) + 12);
    EXPECT_GT(layout.rows[0].rect.height(), ui::MenuView::layoutMenu(*Menu::create()).size.height);

    // Back to what it was: the earlier measurements still hold.
    menu->setFont(nullptr);
    item->setTitle("Open");
    item->setKeyEquivalent({});
    EXPECT_EQ(ui::MenuView::layoutMenu(*menu).size.width,
        22 + std::max(textWidth("Open", menuFont), textWidth("Save", menuFont)) + 12);
}

}
