#include "frameworks/FoundationExtensions/ui/ZHKHotKey.h"

#include "platform/ui/views/Event.h"

FND_REGISTER_CLASS(ZHKHotKey, fnd::Object)

bool ZHKHotKey::isEqual(const fnd::Object& other) const
{
    auto hotKey = dynamic_cast<const ZHKHotKey*>(&other);
    return hotKey && hotKey->keyCode() == keyCode() && hotKey->modifierFlags() == modifierFlags();
}

fnd::String ZHKHotKey::description() const
{
    fnd::StringArray names;
    const std::pair<std::uint64_t, const char*> masks[]
        = { { ui::ModifierFlags::Control, "NSControlKeyMask" }, { ui::ModifierFlags::Command, "NSCommandKeyMask" },
              { ui::ModifierFlags::Shift, "NSShiftKeyMask" }, { ui::ModifierFlags::Alternate, "NSAlternateKeyMask" } };
    for (auto [mask, name] : masks) {
        if (modifierFlags() & mask)
            names.push_back(name);
    }
    auto flags = names.empty() ? fnd::String("ERROR: No valid flags") : fnd::componentsJoinedByString(names, " | ");
    fnd::String invokes = "(block)";
    if (auto t = target())
        invokes = "[" + t->description() + " " + (action() ? action().name() : fnd::String("(null)")) + "]";
    return fnd::String::format("%@\n\t(key: %hu\n\tflags: (%@)\n\tinvokes: %@)",
        { fnd::Object::description(), static_cast<unsigned>(keyCode()), flags, invokes });
}
