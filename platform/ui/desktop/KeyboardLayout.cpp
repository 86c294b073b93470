#include "platform/ui/desktop/KeyboardLayout.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/detail/VirtualKeySyms.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

namespace ui {

namespace {

// Dead keys type nothing by themselves; shown alone they are the accent's spacing character.
constexpr std::array<std::pair<unsigned, char16_t>, 16> KeyboardLayoutDeadKeys { {
    { XKB_KEY_dead_grave, u'`' },
    { XKB_KEY_dead_acute, u'\u00B4' },
    { XKB_KEY_dead_circumflex, u'^' },
    { XKB_KEY_dead_tilde, u'~' },
    { XKB_KEY_dead_macron, u'\u00AF' },
    { XKB_KEY_dead_breve, u'\u02D8' },
    { XKB_KEY_dead_abovedot, u'\u02D9' },
    { XKB_KEY_dead_diaeresis, u'\u00A8' },
    { XKB_KEY_dead_abovering, u'\u02DA' },
    { XKB_KEY_dead_doubleacute, u'\u02DD' },
    { XKB_KEY_dead_caron, u'\u02C7' },
    { XKB_KEY_dead_cedilla, u'\u00B8' },
    { XKB_KEY_dead_ogonek, u'\u02DB' },
    { XKB_KEY_dead_iota, u'\u037A' },
    { XKB_KEY_dead_belowdot, u'.' },
    { XKB_KEY_dead_hook, u'\u02C0' },
} };

struct XkbContextDeleter {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct XkbKeymapDeleter {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};

std::mutex& keyboardLayoutCurrentMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<KeyboardLayout>& keyboardLayoutCurrentSlot()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& current = *new std::shared_ptr<KeyboardLayout>;
    return current;
}

}

struct KeyboardLayout::Keymap {
    std::unique_ptr<xkb_context, XkbContextDeleter> context;
    std::unique_ptr<xkb_keymap, XkbKeymapDeleter> keymap;
    xkb_mod_mask_t shiftMask { 0 };
    xkb_mod_mask_t levelThreeMask { 0 };
    xkb_mod_mask_t numLockMask { 0 };
};

KeyboardLayout::KeyboardLayout(Names names, unsigned group, std::unique_ptr<Keymap> keymap)
    : m_names(std::move(names))
    , m_group(group)
    , m_keymap(std::move(keymap))
{
}

KeyboardLayout::~KeyboardLayout() = default;

void KeyboardLayout::StateDeleter::operator()(xkb_state* state) const
{
    xkb_state_unref(state);
}

fnd::Expected<std::shared_ptr<KeyboardLayout>> KeyboardLayout::layoutWithNames(const Names& names, unsigned group)
{
    auto keymap = std::make_unique<Keymap>();
    keymap->context.reset(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!keymap->context)
        return std::unexpected(
            fnd::Error::make("UIKeyboardLayoutErrorDomain", 1, "The XKB context could not be made."));
    const std::string rules = names.rules.utf8(), model = names.model.utf8(), layout = names.layout.utf8(),
                      variant = names.variant.utf8(), options = names.options.utf8();
    xkb_rule_names rmlvo { rules.c_str(), model.c_str(), layout.c_str(), variant.c_str(), options.c_str() };
    keymap->keymap.reset(xkb_keymap_new_from_names(keymap->context.get(), &rmlvo, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap->keymap)
        return std::unexpected(fnd::Error::make("UIKeyboardLayoutErrorDomain", 2,
            fnd::String(
                "The keyboard layout \"" + layout + "\" (variant \"" + variant + "\") could not be compiled.")));
    auto maskOf = [&](const char* name) -> xkb_mod_mask_t {
        xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap->keymap.get(), name);
        return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t(1) << index;
    };
    keymap->shiftMask = maskOf(XKB_MOD_NAME_SHIFT);
    // The third level is chosen by LevelThree, which the standard rules put on Mod5.
    keymap->levelThreeMask = maskOf("Mod5");
    keymap->numLockMask = maskOf(XKB_MOD_NAME_NUM);
    const unsigned groups = xkb_keymap_num_layouts(keymap->keymap.get());
    const unsigned usedGroup = groups == 0 ? 0 : std::min(group, groups - 1);
    return std::shared_ptr<KeyboardLayout>(new KeyboardLayout(names, usedGroup, std::move(keymap)));
}

std::shared_ptr<KeyboardLayout> KeyboardLayout::current()
{
    std::lock_guard lock(keyboardLayoutCurrentMutex());
    auto& slot = keyboardLayoutCurrentSlot();
    if (!slot) {
        auto us = layoutWithNames({});
        if (!us) {
            fnd::logf(fnd::LogLevel::Error, "The US keyboard layout could not be compiled: {}",
                us.error().localizedDescription().utf8());
            return nullptr;
        }
        slot = *us;
    }
    return slot;
}

void KeyboardLayout::setCurrent(std::shared_ptr<KeyboardLayout> layout)
{
    if (!layout)
        return;
    bool changed = false;
    {
        std::lock_guard lock(keyboardLayoutCurrentMutex());
        auto& slot = keyboardLayoutCurrentSlot();
        changed = !slot || slot->names() != layout->names() || slot->group() != layout->group();
        slot = std::move(layout);
    }
    if (changed)
        fnd::NotificationCenter::defaultCenter().postNotificationName(KeyboardLayoutDidChangeNotification);
}

std::unique_ptr<xkb_state, KeyboardLayout::StateDeleter> KeyboardLayout::stateForFlags(unsigned modifierFlags) const
{
    std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(m_keymap->keymap.get()));
    if (!state)
        return state;
    xkb_mod_mask_t mods = 0;
    if (modifierFlags & ModifierFlags::Shift)
        mods |= m_keymap->shiftMask;
    if (modifierFlags & ModifierFlags::Alternate)
        mods |= m_keymap->levelThreeMask;
    // Num Lock on: the keypad's keys are its digits, which is what people call them.
    xkb_state_update_mask(state.get(), mods, 0, m_keymap->numLockMask, 0, 0, m_group);
    return state;
}

unsigned KeyboardLayout::keysymForKeyCode(unsigned short keyCode, unsigned modifierFlags) const
{
    const unsigned xKeyCode = detail::xKeyCodeForVirtualKeyCode(keyCode);
    if (xKeyCode == 0)
        return 0;
    auto state = stateForFlags(modifierFlags);
    return state ? xkb_state_key_get_one_sym(state.get(), xKeyCode) : 0;
}

fnd::String KeyboardLayout::charactersForKeysym(unsigned keysym)
{
    for (auto [dead, spacing] : KeyboardLayoutDeadKeys) {
        if (dead == keysym)
            return fnd::String(std::u16string(1, spacing));
    }
    char32_t c = xkb_keysym_to_utf32(keysym);
    if (c == 0 || fnd::isSurrogate(c) || c > 0x10FFFF)
        return {};
    return fnd::String::fromCodePoint(c);
}

fnd::String KeyboardLayout::charactersForKeyCode(unsigned short keyCode, unsigned modifierFlags) const
{
    return charactersForKeysym(keysymForKeyCode(keyCode, modifierFlags));
}

std::optional<unsigned short> KeyboardLayout::keyCodeForKeysym(unsigned keysym) const
{
    const unsigned wanted = xkb_keysym_to_lower(keysym);
    for (unsigned flags : { 0u, unsigned(ModifierFlags::Shift) }) {
        auto state = stateForFlags(flags);
        if (!state)
            continue;
        for (unsigned short code = 0; code < 128; ++code) {
            const unsigned xKeyCode = detail::xKeyCodeForVirtualKeyCode(code);
            unsigned sym = xKeyCode ? xkb_state_key_get_one_sym(state.get(), xKeyCode) : 0;
            if (sym != 0 && (sym == keysym || xkb_keysym_to_lower(sym) == wanted))
                return code;
        }
    }
    return std::nullopt;
}

std::optional<unsigned short> KeyboardLayout::keyCodeForCharacter(char32_t character) const
{
    unsigned keysym = xkb_utf32_to_keysym(character);
    return keysym ? keyCodeForKeysym(keysym) : std::nullopt;
}

}
