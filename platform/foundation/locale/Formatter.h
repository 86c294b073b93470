#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <expected>
#include <memory>
#include <optional>

namespace fnd {

// Turns values into text for people and text back into values. Subclasses override what they offer; the base
// formats nothing and parses nothing.
class Formatter : public Object {
    FND_OBJECT(Formatter)

public:
    // The text for a value; nullopt when this formatter has none for it.
    virtual std::optional<String> stringForObjectValue(const Value& value) const;
    // A styled form of the text. The platform's formatters offer none and answer nullptr; a subclass may answer
    // an attributed string object.
    virtual std::shared_ptr<Object> attributedStringForObjectValue(
        const Value& value, const Dictionary& defaultAttributes) const;
    // The value a text stands for (nil is a valid answer), or a sentence saying why there is none.
    virtual std::expected<Value, String> getObjectValue(const String& string) const;

    // An independent copy with the same settings (controls keep their own copy of a formatter).
    virtual std::shared_ptr<Formatter> copy() const = 0;
};

}
