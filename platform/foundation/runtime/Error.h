#pragma once

#include "platform/foundation/runtime/Value.h"

#include <expected>

namespace fnd {

// Keys of an error's userInfo, as the platform names them.
namespace ErrorKey {
inline const String LocalizedDescription = "NSLocalizedDescription";
inline const String LocalizedFailureReason = "NSLocalizedFailureReason";
inline const String Underlying = "NSUnderlyingError";
inline const String FilePath = "NSFilePath";
}

// A recoverable failure: a domain, a code and a userInfo dictionary.
class Error {
public:
    Error() = default;
    Error(String domain, std::int64_t code, Dictionary userInfo = {})
        : m_domain(std::move(domain))
        , m_code(code)
        , m_userInfo(std::move(userInfo))
    {
    }
    // The usual shape: a description sentence, optionally a failure reason.
    static Error make(String domain, std::int64_t code, const String& description, const String& reason = {});

    const String& domain() const { return m_domain; }
    std::int64_t code() const { return m_code; }
    const Dictionary& userInfo() const { return m_userInfo; }
    Dictionary& userInfo() { return m_userInfo; }

    // The description from userInfo, else "The operation couldn't be completed. (<domain> error <code>.)".
    String localizedDescription() const;
    String localizedFailureReason() const;
    // An underlying error stored in userInfo, if any.
    std::optional<Error> underlyingError() const;
    void setUnderlyingError(const Error& underlying);

    bool operator==(const Error&) const = default;

private:
    String m_domain;
    std::int64_t m_code { 0 };
    Dictionary m_userInfo;
};

template <typename T> using Expected = std::expected<T, Error>;

// Domains used by the platform layer.
namespace ErrorDomain {
inline const String Cocoa = "NSCocoaErrorDomain";
inline const String POSIX = "NSPOSIXErrorDomain";
inline const String URL = "NSURLErrorDomain";
}

}
