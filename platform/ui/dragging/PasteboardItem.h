#pragma once

#include "platform/foundation/runtime/Object.h"

#include <optional>
#include <vector>

namespace ui {

// One item written to a pasteboard as an object. In-process readers get the very object back, so a subclass may
// carry references that no serialised form could (the dragged tab and its bar, say); its typed values are what
// other readers see.
class PasteboardItem : public fnd::Object {
    FND_OBJECT(PasteboardItem)

public:
    // Types in the order they were first set.
    std::vector<fnd::String> types() const;
    std::optional<fnd::String> availableTypeFromArray(const std::vector<fnd::String>& types) const;

    bool setDataForType(const fnd::Data& data, const fnd::String& type);
    bool setStringForType(const fnd::String& string, const fnd::String& type);
    bool setPropertyListForType(const fnd::Value& propertyList, const fnd::String& type);

    std::optional<fnd::Data> dataForType(const fnd::String& type) const;
    std::optional<fnd::String> stringForType(const fnd::String& type) const;
    fnd::Value propertyListForType(const fnd::String& type) const;

private:
    void store(const fnd::String& type, fnd::Value value);

    std::vector<std::pair<fnd::String, fnd::Value>> m_values;
};

}
