#pragma once

#include "platform/foundation/runtime/Object.h"

namespace fnd {

// What a controller's selection answers instead of a value: nothing is selected, the selected objects disagree, or
// the key does not apply to them. Each marker is one shared object, so markers compare by identity; a marker
// answers every key with itself, so a key path through a marker stays that marker, and ignores every set.
class SelectionMarker final : public Object {
    FND_OBJECT(SelectionMarker)
public:
    enum class Kind { NoSelection, MultipleValues, NotApplicable };

    SelectionMarker() = default;
    explicit SelectionMarker(Kind kind)
        : m_kind(kind)
    {
    }

    Kind kind() const { return m_kind; }
    String description() const override;
    Value valueForKey(const String& key) const override;
    Value valueForKeyPath(const String& keyPath) const override;
    void setValueForKey(const Value& value, const String& key) override;
    void setValueForKeyPath(const Value& value, const String& keyPath) override;

private:
    Kind m_kind { Kind::NoSelection };
};

const Value& noSelectionMarker();
const Value& multipleValuesMarker();
const Value& notApplicableMarker();
// The marker's kind, or nullopt for any other value.
std::optional<SelectionMarker::Kind> selectionMarkerKind(const Value& value);
inline bool isSelectionMarker(const Value& value)
{
    return selectionMarkerKind(value).has_value();
}

}
