#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"

#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/desktop/KeyboardLayout.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

FND_REGISTER_CLASS(KRKeyCodeTransformer, fnd::ValueTransformer)

namespace {

// Keys named by a fixed string rather than by what they type. "Space" is looked up in the string table.
constexpr std::array<std::pair<std::int16_t, const char16_t*>, 36> KRKeyCodeSpecialKeys { {
    { 122, u"F1" }, { 120, u"F2" }, { 99, u"F3" }, { 118, u"F4" }, { 96, u"F5" }, // 5
    { 97, u"F6" }, { 98, u"F7" }, { 100, u"F8" }, { 101, u"F9" }, { 109, u"F10" }, // 10
    { 103, u"F11" }, { 111, u"F12" }, { 105, u"F13" }, { 107, u"F14" }, { 113, u"F15" }, // 15
    { 106, u"F16" }, { 64, u"F17" }, { 79, u"F18" }, { 80, u"F19" }, { 49, u"Space" }, // 20, localised
    { 51, u"\u232B" }, // erase to the left
    { 117, u"\u2326" }, // erase to the right
    { 71, u"\u2327" }, // clear
    { 123, u"\u2190" }, // left arrow
    { 124, u"\u2192" }, // 25, right arrow
    { 126, u"\u2191" }, // up arrow
    { 125, u"\u2193" }, // down arrow
    { 119, u"\u2198" }, // end
    { 115, u"\u2196" }, // home
    { 53, u"\u238B" }, // 30, escape
    { 121, u"\u21DF" }, // page down
    { 116, u"\u21DE" }, // page up
    { 36, u"\u21A9" }, // return
    { 76, u"\u2305" }, // enter
    { 48, u"\u21E5" }, // 35, tab
    { 114, u"?" }, // help
} };
static_assert(KRKeyCodeSpecialKeys.size() == 36);

constexpr std::array<std::int16_t, 16> KRKeyCodeKeypadKeys { 65, 67, 69, 75, 78, 81, 82, 83, 84, 85, 86, 87, 88, 89, 91,
    92 };

constexpr std::int16_t KRKeyCodeSpace = 49;

struct KRKeyCodeTables {
    std::mutex mutex;
    std::map<fnd::String, std::int64_t> stringToKeyCode;
    bool built { false };
};

KRKeyCodeTables& krKeyCodeTables()
{
    static KRKeyCodeTables tables;
    return tables;
}

}

KRKeyCodeTransformer::KRKeyCodeTransformer()
{
    ensureTables();
}

void KRKeyCodeTransformer::ensureTables()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The reverse map follows the layout the person types with.
        fnd::NotificationCenter::defaultCenter().addObserverForName(ui::KeyboardLayoutDidChangeNotification, {},
            [](const fnd::Notification&) { regenerateStringToKeyCodeMapping(); });
    });
    bool build = false;
    {
        std::lock_guard lock(krKeyCodeTables().mutex);
        build = !krKeyCodeTables().built;
        krKeyCodeTables().built = true;
    }
    if (build)
        regenerateStringToKeyCodeMapping();
}

fnd::String KRKeyCodeTransformer::firstCharacter(const fnd::String& text)
{
    if (text.isEmpty())
        return {};
    return text.substringTo(static_cast<fnd::Index>(text.codePointAt(0).length));
}

fnd::Value KRKeyCodeTransformer::transformedValue(const fnd::Value& value) const
{
    const auto* number = value.number();
    if (!number)
        return {};
    const auto code = static_cast<std::int16_t>(number->integerValue());
    if (code < 0)
        return {};
    for (auto [special, name] : KRKeyCodeSpecialKeys) {
        if (special == code)
            return code == KRKeyCodeSpace ? KRLocalizedString("Space") : fnd::String(std::u16string(name));
    }
    const bool keypad = std::ranges::find(KRKeyCodeKeypadKeys, code) != KRKeyCodeKeypadKeys.end();
    auto layout = ui::KeyboardLayout::current();
    if (!layout)
        return {};
    auto characters = layout->charactersForKeyCode(static_cast<unsigned short>(code), 0);
    if (characters.isEmpty())
        return {};
    auto name = firstCharacter(characters).uppercaseString();
    if (keypad)
        return fnd::String::format(KRLocalizedString("Pad %@"), { name });
    return name;
}

fnd::Value KRKeyCodeTransformer::reverseTransformedValue(const fnd::Value& value) const
{
    const auto* name = value.string();
    if (!name)
        return {};
    auto& tables = krKeyCodeTables();
    std::lock_guard lock(tables.mutex);
    auto it = tables.stringToKeyCode.find(*name);
    if (it == tables.stringToKeyCode.end())
        return {};
    return fnd::Value(static_cast<long long>(it->second));
}

void KRKeyCodeTransformer::regenerateStringToKeyCodeMapping()
{
    // Named outside the lock: naming consults the layout and the string table.
    std::map<fnd::String, std::int64_t> map;
    KRKeyCodeTransformer namer(KRKeyCodeTransformer::NoTables {});
    for (long long code = 0; code < 128; ++code) {
        auto name = namer.transformedValue(fnd::Value(code));
        // Where two keys share a name, the higher code wins.
        if (name.isString() && !name.string()->isEmpty())
            map[*name.string()] = code;
    }
    auto& tables = krKeyCodeTables();
    std::lock_guard lock(tables.mutex);
    tables.stringToKeyCode = std::move(map);
}
