#include "frameworks/KeyComboRecorder/KRKeyCombo.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/ui/desktop/KeyboardLayout.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

const fnd::String KRKeyComboTable = "ZORKeyComboRecorder";

fnd::String KRKeyComboGlyph(char16_t c)
{
    return fnd::String(std::u16string(1, c));
}

}

fnd::String KRLocalizedString(const fnd::String& key)
{
    // Every modifier and named key of a shortcut asks for its text, so the answers are kept for as long as the
    // preferred languages stay the same (the bundle keeps its tables for the life of the process anyway).
    struct Answers {
        std::mutex mutex;
        std::shared_ptr<fnd::Bundle> bundle;
        fnd::StringArray languages;
        std::map<fnd::String, fnd::String> byKey;
    };
    static auto& answers = *new Answers;
    auto languages = fnd::Bundle::preferredLanguages();
    std::lock_guard lock(answers.mutex);
    if (!answers.bundle)
        answers.bundle = ZORFrameworkBundle::bundle();
    if (!answers.bundle)
        return key;
    if (languages != answers.languages) {
        answers.byKey.clear();
        answers.languages = std::move(languages);
    }
    auto found = answers.byKey.find(key);
    if (found == answers.byKey.end())
        found = answers.byKey.emplace(key, answers.bundle->localizedStringForKey(key, {}, KRKeyComboTable)).first;
    return found->second;
}

fnd::String KRKeyCodeString(std::int64_t keyCode)
{
    // One transformer for the life of the process.
    static const auto transformer = std::make_shared<KRKeyCodeTransformer>();
    auto name = transformer->transformedValue(fnd::Value(static_cast<long long>(static_cast<std::int16_t>(keyCode))));
    return name.isString() ? *name.string() : fnd::String();
}

fnd::String KRCocoaModifierGlyphs(std::uint64_t flags)
{
    fnd::String glyphs;
    if (flags & KRCocoaFlags::Control)
        glyphs = glyphs + KRKeyComboGlyph(u'\u2303');
    if (flags & KRCocoaFlags::Option)
        glyphs = glyphs + KRKeyComboGlyph(u'\u2325');
    if (flags & KRCocoaFlags::Shift)
        glyphs = glyphs + KRKeyComboGlyph(u'\u21E7');
    if (flags & KRCocoaFlags::Command)
        glyphs = glyphs + KRKeyComboGlyph(u'\u2318');
    return glyphs;
}

fnd::String KRCarbonModifierGlyphs(unsigned flags)
{
    return KRCocoaModifierGlyphs(KRModifierMaskFromCarbon(flags));
}

fnd::String KRCocoaShortcutGlyphs(std::uint64_t flags, std::int64_t keyCode)
{
    return KRCocoaModifierGlyphs(flags) + KRKeyCodeString(keyCode);
}

fnd::String KRCarbonShortcutGlyphs(unsigned flags, std::int64_t keyCode)
{
    return KRCarbonModifierGlyphs(flags) + KRKeyCodeString(keyCode);
}

fnd::String KRCocoaShortcutReadable(std::uint64_t flags, std::int64_t keyCode)
{
    fnd::String text;
    if (flags & KRCocoaFlags::Command)
        text = text + KRLocalizedString("Command + ");
    if (flags & KRCocoaFlags::Option)
        text = text + KRLocalizedString("Option + ");
    if (flags & KRCocoaFlags::Control)
        text = text + KRLocalizedString("Control + ");
    if (flags & KRCocoaFlags::Shift)
        text = text + KRLocalizedString("Shift + ");
    return text + KRKeyCodeString(keyCode);
}

fnd::String KRCarbonShortcutReadable(unsigned flags, std::int64_t keyCode)
{
    return KRCocoaShortcutReadable(KRModifierMaskFromCarbon(flags), keyCode);
}

std::uint64_t KRModifierMaskFromCarbon(unsigned carbon)
{
    std::uint64_t cocoa = 0;
    if (carbon & KRCarbonFlags::Command)
        cocoa |= KRCocoaFlags::Command;
    if (carbon & KRCarbonFlags::Option)
        cocoa |= KRCocoaFlags::Option;
    if (carbon & KRCarbonFlags::Control)
        cocoa |= KRCocoaFlags::Control;
    if (carbon & KRCarbonFlags::Shift)
        cocoa |= KRCocoaFlags::Shift;
    if (carbon & KRCarbonFlags::Function)
        cocoa |= KRCocoaFlags::Function;
    return cocoa;
}

unsigned KRModifierMaskToCarbon(std::uint64_t cocoa)
{
    unsigned carbon = 0;
    if (cocoa & KRCocoaFlags::Command)
        carbon |= KRCarbonFlags::Command;
    if (cocoa & KRCocoaFlags::Option)
        carbon |= KRCarbonFlags::Option;
    if (cocoa & KRCocoaFlags::Control)
        carbon |= KRCarbonFlags::Control;
    if (cocoa & KRCocoaFlags::Shift)
        carbon |= KRCarbonFlags::Shift;
    if (cocoa & KRCocoaFlags::Function)
        carbon |= KRCarbonFlags::Function;
    return carbon;
}

fnd::String KRKeyCharacterForCarbonFlags(std::int64_t keyCode, unsigned carbonFlags)
{
    return KRKeyCharacterForCocoaFlags(keyCode, KRModifierMaskFromCarbon(carbonFlags));
}

fnd::String KRKeyCharacterForCocoaFlags(std::int64_t keyCode, std::uint64_t cocoaFlags)
{
    auto layout = ui::KeyboardLayout::current();
    if (!layout)
        return KRKeyCodeString(keyCode);
    // Only Shift and Option choose the character; the other modifiers leave it as it is.
    const auto code = static_cast<unsigned short>(keyCode & 0xFFFF);
    auto characters = layout->charactersForKeyCode(
        code, static_cast<unsigned>(cocoaFlags & (KRCocoaFlags::Shift | KRCocoaFlags::Option)));
    if (characters.isEmpty())
        return KRKeyCodeString(keyCode);
    return fnd::Locale::current().capitalizedString(KRKeyCodeTransformer::firstCharacter(characters));
}
