#include "frameworks/KeyComboRecorder/KRValidator.h"

#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "platform/ui/desktop/KeyboardLayout.h"
#include "platform/ui/desktop/SystemShortcuts.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

FND_REGISTER_CLASS(KRValidator, fnd::Object)

namespace {

// The four modifiers agree one by one; other bits do not count.
bool krValidatorModifiersAgree(unsigned a, unsigned b)
{
    constexpr unsigned mask
        = KRCarbonFlags::Command | KRCarbonFlags::Option | KRCarbonFlags::Shift | KRCarbonFlags::Control;
    return (a & mask) == (b & mask);
}

// The key a menu item's key equivalent is typed with: keys without a glyph by their characters, the others by the
// key that types the character on the current layout.
std::optional<std::int64_t> krValidatorKeyCodeForKeyEquivalent(const fnd::String& keyEquivalent)
{
    if (keyEquivalent.isEmpty())
        return std::nullopt;
    const char16_t c = keyEquivalent.characterAt(0);
    switch (c) {
    case u'\r':
        return ui::KeyCode::Return;
    case u'\t':
    case 0x19:
        return ui::KeyCode::Tab;
    case 0x03:
        return ui::KeyCode::KeypadEnter;
    case 0x1B:
        return ui::KeyCode::Escape;
    case 0x08:
    case 0x7F:
        return ui::KeyCode::Delete;
    case u' ':
        return ui::KeyCode::Space;
    case ui::FunctionKey::UpArrow:
        return ui::KeyCode::UpArrow;
    case ui::FunctionKey::DownArrow:
        return ui::KeyCode::DownArrow;
    case ui::FunctionKey::LeftArrow:
        return ui::KeyCode::LeftArrow;
    case ui::FunctionKey::RightArrow:
        return ui::KeyCode::RightArrow;
    case ui::FunctionKey::Delete:
        return ui::KeyCode::ForwardDelete;
    case ui::FunctionKey::Home:
        return ui::KeyCode::Home;
    case ui::FunctionKey::End:
        return ui::KeyCode::End;
    case ui::FunctionKey::PageUp:
        return ui::KeyCode::PageUp;
    case ui::FunctionKey::PageDown:
        return ui::KeyCode::PageDown;
    case ui::FunctionKey::Help:
        return ui::KeyCode::Help;
    case ui::FunctionKey::Clear:
        return ui::KeyCode::KeypadClear;
    default:
        break;
    }
    if (c >= ui::FunctionKey::F1 && c < ui::FunctionKey::F1 + 19) {
        static constexpr std::int64_t functionKeys[]
            = { 122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80 };
        return functionKeys[c - ui::FunctionKey::F1];
    }
    auto layout = ui::KeyboardLayout::current();
    if (!layout)
        return std::nullopt;
    auto code = layout->keyCodeForCharacter(keyEquivalent.codePointAt(0).value);
    if (!code)
        return std::nullopt;
    return *code;
}

}

fnd::Error KRValidator::errorForTakenCombination(
    std::int64_t keyCode, unsigned carbonFlags, const fnd::String& suggestion)
{
    fnd::Dictionary info;
    info.set(fnd::ErrorKey::LocalizedDescription,
        fnd::String::format(KRLocalizedString("The key combination %@ can't be used!"),
            { KRCarbonShortcutGlyphs(carbonFlags, keyCode) }));
    info.set(KRErrorKey::RecoverySuggestion, suggestion);
    info.set(KRErrorKey::RecoveryOptions, fnd::Array { fnd::Value("OK") });
    return fnd::Error(fnd::ErrorDomain::Cocoa, 0, std::move(info));
}

bool KRValidator::isKeyCodeAndFlagsTaken(std::int64_t keyCode, unsigned carbonFlags, std::optional<fnd::Error>* error)
{
    if (auto delegate = m_delegate.lock()) {
        fnd::String reason;
        if (delegate->keyComboValidator(*this, keyCode, KRModifierMaskFromCarbon(carbonFlags), reason)) {
            if (error) {
                auto because = reason.isEmpty() ? fnd::String("it's already used") : reason;
                *error = errorForTakenCombination(keyCode, carbonFlags,
                    fnd::String::format(KRLocalizedString("The key combination \"%@\" can't be used because %@."),
                        { KRCarbonShortcutReadable(carbonFlags, keyCode), because }));
            }
            return true;
        }
    }

    // A key without a name could not be shown to the person, so it is refused, and said why.
    if (KRKeyCodeString(keyCode).isEmpty()) {
        if (error) {
            *error = errorForTakenCombination(keyCode, carbonFlags,
                KRLocalizedString("The key combination can't be used because its key has no name on this keyboard."));
        }
        return true;
    }

    // A desktop whose list cannot be read now takes nothing we know of; the menus are still asked.
    if (auto shortcuts = ui::SystemShortcutProvider::shared()->systemShortcuts()) {
        for (const auto& shortcut : *shortcuts) {
            if (!shortcut.enabled)
                continue;
            const unsigned hotKeyFlags = KRModifierMaskToCarbon(shortcut.modifierFlags);
            if (static_cast<std::int16_t>(shortcut.keyCode) != static_cast<std::int16_t>(keyCode)
                || !krValidatorModifiersAgree(hotKeyFlags, carbonFlags))
                continue;
            if (error) {
                *error = errorForTakenCombination(keyCode, carbonFlags,
                    fnd::String::format(
                        KRLocalizedString("The key combination \"%@\" can't be used because it's already used by a "
                                          "system-wide keyboard shortcut. (If you really want to use this key "
                                          "combination, most shortcuts can be changed in the Keyboard & Mouse panel "
                                          "in System Preferences.)"),
                        { KRCarbonShortcutReadable(carbonFlags, keyCode) }));
            }
            return true;
        }
    }

    auto mainMenu = std::dynamic_pointer_cast<ui::Menu>(ui::Application::shared().mainMenu());
    return mainMenu && isKeyCodeAndFlagsTakenInMenu(keyCode, carbonFlags, *mainMenu, error);
}

bool KRValidator::isKeyCodeAndFlagsTakenInMenu(
    std::int64_t keyCode, unsigned carbonFlags, const ui::Menu& menu, std::optional<fnd::Error>* error)
{
    for (const auto& item : menu.itemArray()) {
        if (item->hasSubmenu() && isKeyCodeAndFlagsTakenInMenu(keyCode, carbonFlags, *item->submenu(), error))
            return true;
        const auto& keyEquivalent = item->keyEquivalent();
        if (keyEquivalent.isEmpty())
            continue;
        // Compared by key, not by the name shown: Return, Tab, the arrows and the function keys have names that
        // are not their key equivalents' characters.
        auto itemCode = krValidatorKeyCodeForKeyEquivalent(keyEquivalent);
        const unsigned itemFlags = KRModifierMaskToCarbon(item->keyEquivalentModifierMask());
        if (!itemCode || static_cast<std::int16_t>(*itemCode) != static_cast<std::int16_t>(keyCode)
            || !krValidatorModifiersAgree(itemFlags, carbonFlags))
            continue;
        if (error) {
            *error = errorForTakenCombination(keyCode, carbonFlags,
                fnd::String::format(
                    KRLocalizedString("The key combination \"%@\" can't be used because it's already used by the "
                                      "menu item \"%@\"."),
                    { KRCocoaShortcutReadable(item->keyEquivalentModifierMask(), keyCode), item->title() }));
        }
        return true;
    }
    return false;
}

std::shared_ptr<ui::Alert> KRAdditions::alertWithNonRecoverableError(const fnd::Error* error)
{
    auto alert = ui::Alert::create();
    alert->setAlertStyle(ui::AlertStyle::Critical);
    if (!error)
        return alert;
    alert->setMessageText(error->localizedDescription());
    const auto options = error->userInfo().get(KRErrorKey::RecoveryOptions);
    if (const auto* list = options.array(); list && !list->empty() && list->front().isString())
        alert->addButtonWithTitle(*list->front().string());
    // The suggestion is text, never a format.
    alert->setInformativeText(error->userInfo().get(KRErrorKey::RecoverySuggestion).stringValue());
    return alert;
}
