#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/services/URLRequest.h"

#include <functional>
#include <memory>

namespace fnd {

struct URLResult {
    HTTPURLResponse response;
    Data data;
};

// Codes of ErrorDomain::URL, with the platform's numbers.
namespace URLErrorCode {
inline constexpr std::int64_t Unknown = -1;
inline constexpr std::int64_t Cancelled = -999;
inline constexpr std::int64_t BadURL = -1000;
inline constexpr std::int64_t TimedOut = -1001;
inline constexpr std::int64_t UnsupportedURL = -1002;
inline constexpr std::int64_t CannotFindHost = -1003;
inline constexpr std::int64_t CannotConnectToHost = -1004;
inline constexpr std::int64_t NetworkConnectionLost = -1005;
inline constexpr std::int64_t HTTPTooManyRedirects = -1007;
inline constexpr std::int64_t BadServerResponse = -1011;
inline constexpr std::int64_t SecureConnectionFailed = -1200;
}

// userInfo keys of URL errors.
namespace URLErrorKey {
inline const String FailingURLString = "NSErrorFailingURLStringKey";
// The status code of an answer rejected under StatusPolicy::RequireSuccess.
inline const String HTTPStatusCode = "HTTPStatusCode";
}

// Whether an answer with status 400 or more counts as a failure.
enum class StatusPolicy { AnyAnswer, RequireSuccess };

// One request running on its own thread; cancel() ends it early with a Cancelled error. Dropping the handle does not
// stop the request: its completion still runs.
class URLTask {
public:
    virtual ~URLTask() = default;
    virtual void cancel() = 0;
    // Blocks until the completion has returned.
    virtual void wait() = 0;
    virtual bool isFinished() const = 0;
};

// HTTP and HTTPS over libcurl. Redirects are followed (http and https only); cookies of the shared cookie storage
// are sent and stored unless the request says otherwise. Every request ends within its timeout interval.
class URLConnection {
public:
    using Completion = std::function<void(Expected<URLResult>)>;

    static Expected<URLResult> sendSynchronousRequest(
        const URLRequest& request, StatusPolicy policy = StatusPolicy::AnyAnswer);
    // The completion runs on the request's own background thread.
    static std::shared_ptr<URLTask> sendAsynchronousRequest(
        URLRequest request, Completion completion, StatusPolicy policy = StatusPolicy::AnyAnswer);
};

}
