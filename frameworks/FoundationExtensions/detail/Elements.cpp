#include "frameworks/FoundationExtensions/detail/Elements.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/runtime/StringFormat.h"

namespace ZORElements {

bool isIdentical(const fnd::Value& a, const fnd::Value& b)
{
    if (a.isObject() || b.isObject())
        return a.object() == b.object();
    return a == b;
}

bool isEqualTo(const fnd::Value& receiver, const fnd::Value& other)
{
    if (auto container = receiver.objectAs<ZORNumberContainer>())
        return container->isEqualToValue(other);
    return receiver == other;
}

fnd::Value perform(const fnd::Value& element, fnd::Selector selector, std::span<const fnd::Value> arguments)
{
    if (auto object = element.object())
        return object->perform(selector, arguments);
    if (arguments.empty() && !element.isNil())
        return fnd::valueForKey(element, selector.name());
    throw fnd::Exception::invalidArgument(fnd::stringWithFormat(
        "%@ does not respond to %@", fnd::classNameOf(element), selector ? selector.name() : fnd::String("(null)")));
}

}
