#include "platform/foundation/runtime/Error.h"

#include "platform/foundation/runtime/Object.h"

#include <fmt/format.h>

namespace fnd {

namespace {

// Lets an error sit in a userInfo dictionary as the underlying error.
class ErrorBox final : public Object {
    FND_OBJECT(ErrorBox)
public:
    ErrorBox() = default;
    explicit ErrorBox(Error e)
        : error(std::move(e))
    {
    }
    String description() const override { return error.localizedDescription(); }
    Error error;
};

}

FND_REGISTER_CLASS(ErrorBox, Object)

Error Error::make(String domain, std::int64_t code, const String& description, const String& reason)
{
    Dictionary info;
    if (!description.isEmpty())
        info.set(ErrorKey::LocalizedDescription, description);
    if (!reason.isEmpty())
        info.set(ErrorKey::LocalizedFailureReason, reason);
    return Error(std::move(domain), code, std::move(info));
}

String Error::localizedDescription() const
{
    if (auto* s = m_userInfo.find(ErrorKey::LocalizedDescription); s && s->isString())
        return *s->string();
    return String(fmt::format("The operation couldn\u2019t be completed. ({} error {}.)", m_domain.utf8(), m_code));
}

String Error::localizedFailureReason() const
{
    return m_userInfo.get(ErrorKey::LocalizedFailureReason).stringValue();
}

std::optional<Error> Error::underlyingError() const
{
    if (auto box = m_userInfo.get(ErrorKey::Underlying).objectAs<ErrorBox>())
        return box->error;
    return std::nullopt;
}

void Error::setUnderlyingError(const Error& underlying)
{
    m_userInfo.set(ErrorKey::Underlying, std::make_shared<ErrorBox>(underlying));
}

}
