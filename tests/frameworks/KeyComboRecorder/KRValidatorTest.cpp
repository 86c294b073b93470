#include "RecorderTestSupport.h"

#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "frameworks/KeyComboRecorder/KRValidator.h"

#include "platform/ui/UiTestSupport.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/desktop/SystemShortcuts.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"

#include <gtest/gtest.h>

namespace {

using namespace krtest;

class RefusingDelegate : public KRValidation {
public:
    bool keyComboValidator(KRValidator&, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason) override
    {
        asked = { keyCode, flags };
        if (keyCode != refused)
            return false;
        reason = givenReason;
        return true;
    }
    std::int64_t refused { -2 };
    fnd::String givenReason;
    std::pair<std::int64_t, std::uint64_t> asked { -1, 0 };
};

fnd::String suggestion(const std::optional<fnd::Error>& error)
{
    return error ? error->userInfo().get(KRErrorKey::RecoverySuggestion).stringValue() : fnd::String("(none)");
}

class KRValidatorTest : public uitest::UiTest {
protected:
    KRValidatorTest()
    {
        // Ctrl+Shift+K is the desktop's (disabled shortcuts never count), Ctrl+Alt+Left too.
        setDesktop(std::vector<ui::SystemShortcut> {
            { "test/logout", KeyK, ui::ModifierFlags::Command | ui::ModifierFlags::Shift, true },
            { "test/switch", KeyLeft, ui::ModifierFlags::Command | ui::ModifierFlags::Alternate, true },
            { "test/off", KeyQ, ui::ModifierFlags::Control, false },
        });
        auto main = ui::Menu::create("Main");
        auto fileItem = main->addItemWithTitle("File");
        file = ui::Menu::create("File");
        main->setSubmenu(file, *fileItem);
        auto quit = file->addItemWithTitle("Quit", fnd::Selector("terminate:"), "q");
        quit->setKeyEquivalentModifierMask(ui::ModifierFlags::Command);
        auto open = file->addItemWithTitle("Open Recent", fnd::Selector("openRecent:"), "\r");
        open->setKeyEquivalentModifierMask(ui::ModifierFlags::Command);
        auto reload
            = file->addItemWithTitle("Reload", fnd::Selector("reload:"), fnd::String(std::u16string(1, 0xF708)));
        reload->setKeyEquivalentModifierMask(0);
        app().setMainMenu(main);
    }
    ~KRValidatorTest() override
    {
        ui::SystemShortcutProvider::setShared(nullptr);
        app().setMainMenu(nullptr);
    }
    static void setDesktop(std::optional<std::vector<ui::SystemShortcut>> list)
    {
        ui::SystemShortcutProvider::setShared(std::make_shared<ui::FixedSystemShortcutProvider>(std::move(list)));
    }
    std::shared_ptr<ui::Menu> file;
};

// The delegate is asked first, with flags as events carry them; the desktop second; the main menu last.
TEST_F(KRValidatorTest, DelegateThenDesktopThenMenu)
{
    auto delegate = std::make_shared<RefusingDelegate>();
    KRValidator validator(delegate);
    std::optional<fnd::Error> error;

    delegate->refused = KeyK;
    delegate->givenReason = "it opens the kitchen";
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyK, CarbonCommand | CarbonShift, &error));
    EXPECT_EQ(delegate->asked, std::make_pair(std::int64_t(KeyK), std::uint64_t(0x120000)));
    EXPECT_EQ(suggestion(error).utf8(),
        "The key combination \"Ctrl + Shift + K\" can't be used because it opens the kitchen.");
    EXPECT_EQ(error->localizedDescription().utf8(), "The key combination \u21E7\u2318K can't be used!");
    EXPECT_EQ(error->domain(), fnd::ErrorDomain::Cocoa);
    EXPECT_EQ(error->code(), 0);
    EXPECT_EQ(error->userInfo().get(KRErrorKey::RecoveryOptions), fnd::Value(fnd::Array { fnd::Value("OK") }));

    delegate->refused = -2;
    error.reset();
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyK, CarbonCommand | CarbonShift, &error));
    EXPECT_NE(suggestion(error).utf8().find("already used by a system-wide keyboard shortcut"), std::string::npos)
        << suggestion(error).utf8();

    error.reset();
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyQ, CarbonCommand, &error));
    EXPECT_EQ(suggestion(error).utf8(),
        "The key combination \"Ctrl + Q\" can't be used because it's already used by the menu item \"Quit\".");

    error.reset();
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyQ, CarbonCommand | CarbonShift, &error));
    EXPECT_FALSE(error) << "nothing is filled for a free combination";
}

TEST_F(KRValidatorTest, DelegateWithoutReasonSaysItIsUsed)
{
    auto delegate = std::make_shared<RefusingDelegate>();
    delegate->refused = KeyQ;
    KRValidator validator(delegate);
    std::optional<fnd::Error> error;
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyQ, CarbonOption, &error));
    EXPECT_EQ(suggestion(error).utf8(), "The key combination \"Alt + Q\" can't be used because it's already used.");
}

// Only enabled shortcuts count; the four modifiers must agree, the function-key bit need not.
TEST_F(KRValidatorTest, DesktopShortcutsCompareKeyAndModifiers)
{
    KRValidator validator;
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyQ, CarbonControl)) << "that shortcut is switched off";
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyLeft, CarbonCommand | CarbonOption | 0x800000));
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyLeft, CarbonCommand));
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyK, CarbonCommand | CarbonShift | CarbonControl));
}

// A desktop list that cannot be read takes nothing: the menus still answer. A key without a name is refused with a
// message of its own, never with an empty alert.
TEST_F(KRValidatorTest, UnreadableListAndNamelessKey)
{
    KRValidator validator;
    setDesktop(std::nullopt);
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyK, CarbonCommand | CarbonShift));
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyQ, CarbonCommand));

    std::optional<fnd::Error> error;
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(55 /* the command key itself */, CarbonShift, &error));
    ASSERT_TRUE(error);
    EXPECT_NE(suggestion(error).utf8().find("no name"), std::string::npos);
}

// Menu items match by key, so Return, function keys and arrows are found; submenus are searched before their item.
TEST_F(KRValidatorTest, MenuItemsMatchByKey)
{
    KRValidator validator;
    std::optional<fnd::Error> error;
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyReturn, CarbonCommand, &error));
    EXPECT_NE(suggestion(error).utf8().find("\"Open Recent\""), std::string::npos);
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTaken(KeyF5, 0));
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTaken(KeyF5, CarbonShift));

    // The item that opens the submenu has the same key equivalent: the submenu's item is found first.
    auto main = std::dynamic_pointer_cast<ui::Menu>(app().mainMenu());
    main->itemArray().front()->setKeyEquivalent("q");
    main->itemArray().front()->setKeyEquivalentModifierMask(ui::ModifierFlags::Command);
    error.reset();
    EXPECT_TRUE(validator.isKeyCodeAndFlagsTakenInMenu(KeyQ, CarbonCommand, *main, &error));
    EXPECT_NE(suggestion(error).utf8().find("\"Quit\""), std::string::npos);
    EXPECT_FALSE(validator.isKeyCodeAndFlagsTakenInMenu(KeyQ, CarbonCommand | CarbonShift, *main));
}

// The alert shows the error's texts; the suggestion is text even when it holds format characters.
TEST_F(KRValidatorTest, AlertFromError)
{
    auto error = KRValidator::errorForTakenCombination(KeyQ, CarbonCommand, "100%@ taken %d");
    auto alert = KRAdditions::alertWithNonRecoverableError(&error);
    EXPECT_EQ(alert->alertStyle(), ui::AlertStyle::Critical);
    EXPECT_EQ(alert->messageText().utf8(), "The key combination \u2318Q can't be used!");
    EXPECT_EQ(alert->informativeText().utf8(), "100%@ taken %d");
    ASSERT_EQ(alert->buttons().size(), 1u);
    EXPECT_EQ(alert->buttons()[0]->title().utf8(), "OK");

    auto empty = KRAdditions::alertWithNonRecoverableError(nullptr);
    EXPECT_TRUE(empty->messageText().isEmpty());
    EXPECT_TRUE(empty->informativeText().isEmpty());
}

}
