#include "platform/foundation/bindings/SelectionMarker.h"

namespace fnd {

FND_REGISTER_CLASS(SelectionMarker, Object)

namespace {

const Value& marker(SelectionMarker::Kind kind)
{
    static const Value markers[] = {
        Value(std::make_shared<SelectionMarker>(SelectionMarker::Kind::NoSelection)),
        Value(std::make_shared<SelectionMarker>(SelectionMarker::Kind::MultipleValues)),
        Value(std::make_shared<SelectionMarker>(SelectionMarker::Kind::NotApplicable)),
    };
    return markers[static_cast<int>(kind)];
}

}

String SelectionMarker::description() const
{
    switch (m_kind) {
    case Kind::NoSelection:
        return "<NO SELECTION MARKER>";
    case Kind::MultipleValues:
        return "<MULTIPLE VALUES MARKER>";
    case Kind::NotApplicable:
        break;
    }
    return "<NOT APPLICABLE MARKER>";
}

Value SelectionMarker::valueForKey(const String&) const
{
    return selfValue();
}

Value SelectionMarker::valueForKeyPath(const String&) const
{
    return selfValue();
}

void SelectionMarker::setValueForKey(const Value&, const String&)
{
}

void SelectionMarker::setValueForKeyPath(const Value&, const String&)
{
}

const Value& noSelectionMarker()
{
    return marker(SelectionMarker::Kind::NoSelection);
}

const Value& multipleValuesMarker()
{
    return marker(SelectionMarker::Kind::MultipleValues);
}

const Value& notApplicableMarker()
{
    return marker(SelectionMarker::Kind::NotApplicable);
}

std::optional<SelectionMarker::Kind> selectionMarkerKind(const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    auto object = value.objectAs<SelectionMarker>();
    if (!object)
        return std::nullopt;
    return object->kind();
}

}
