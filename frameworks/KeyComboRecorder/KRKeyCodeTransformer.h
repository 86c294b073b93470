#pragma once

#include "platform/foundation/bindings/ValueTransformer.h"

#include <map>

// Names key codes (a number holding a virtual key code) and maps names back: special keys from a fixed table, the
// others by what they type on the current keyboard layout, upper-cased. The reverse map covers the codes 0 to 127
// and is built again whenever the keyboard layout changes.
class KRKeyCodeTransformer : public fnd::ValueTransformer {
    FND_OBJECT(KRKeyCodeTransformer)
public:
    KRKeyCodeTransformer();

    static bool allowsReverseTransformationForClass() { return true; }
    bool allowsReverseTransformation() const override { return true; }
    // The class of what transformedValue gives: strings.
    static fnd::String transformedValueClass() { return "NSString"; }

    // A number → its name (a string), or nil.
    fnd::Value transformedValue(const fnd::Value& value) const override;
    // A name → the key code number, or nil when it is not a string or no key has that name.
    fnd::Value reverseTransformedValue(const fnd::Value& value) const override;

    static void regenerateStringToKeyCodeMapping();

    // The first character (a whole surrogate pair when the text starts with one).
    static fnd::String firstCharacter(const fnd::String& text);

private:
    // A namer that leaves the shared tables alone (the reverse map is built with one).
    struct NoTables { };
    explicit KRKeyCodeTransformer(NoTables) { }
    static void ensureTables();
};
