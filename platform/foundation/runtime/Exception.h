#pragma once

#include "platform/foundation/runtime/String.h"

#include <fmt/format.h>

#include <exception>
#include <memory>
#include <string>

namespace fnd {

class Dictionary;

// The platform's standard exception names.
namespace ExceptionName {
inline const String InvalidArgument = "NSInvalidArgumentException";
inline const String Range = "NSRangeException";
inline const String InternalInconsistency = "NSInternalInconsistencyException";
inline const String Generic = "NSGenericException";
inline const String InvalidArchiveOperation = "NSInvalidArchiveOperationException";
inline const String InvalidUnarchiveOperation = "NSInvalidUnarchiveOperationException";
inline const String UndefinedKey = "NSUnknownKeyException";
}

// A programming error: raised, never used for bad user content (that is recorded, not thrown).
class Exception : public std::exception {
public:
    Exception(String name, String reason);
    Exception(String name, String reason, std::shared_ptr<const Dictionary> userInfo);

    static Exception invalidArgument(const String& reason) { return { ExceptionName::InvalidArgument, reason }; }
    static Exception range(const String& reason) { return { ExceptionName::Range, reason }; }
    static Exception internalInconsistency(const String& reason)
    {
        return { ExceptionName::InternalInconsistency, reason };
    }

    const String& name() const { return m_name; }
    const String& reason() const { return m_reason; }
    // Empty dictionary when none was given.
    const Dictionary& userInfo() const;

    const char* what() const noexcept override { return m_what.c_str(); }

private:
    String m_name;
    String m_reason;
    std::shared_ptr<const Dictionary> m_userInfo;
    std::string m_what;
};

}
