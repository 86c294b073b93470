#include "platform/foundation/locale/Formatter.h"

#include "platform/foundation/detail/PlatformText.h"

namespace fnd {

FND_REGISTER_CLASS(Formatter, Object)

std::optional<String> Formatter::stringForObjectValue(const Value&) const
{
    return std::nullopt;
}

std::shared_ptr<Object> Formatter::attributedStringForObjectValue(const Value&, const Dictionary&) const
{
    return nullptr;
}

std::expected<Value, String> Formatter::getObjectValue(const String&) const
{
    return std::unexpected(detail::platformText("This formatter does not read values from text.", "Formatters"));
}

}
