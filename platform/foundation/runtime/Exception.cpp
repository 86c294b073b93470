#include "platform/foundation/runtime/Exception.h"

#include "platform/foundation/runtime/Value.h"

namespace fnd {

Exception::Exception(String name, String reason)
    : Exception(std::move(name), std::move(reason), nullptr)
{
}

Exception::Exception(String name, String reason, std::shared_ptr<const Dictionary> userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what(m_name.utf8() + ": " + m_reason.utf8())
{
}

const Dictionary& Exception::userInfo() const
{
    static const Dictionary empty;
    return m_userInfo ? *m_userInfo : empty;
}

}
