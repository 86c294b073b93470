#include "platform/foundation/services/URLConnection.h"

#include "platform/foundation/services/CookieStore.h"

#include <curl/curl.h>
#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <strings.h>
#include <thread>

namespace fnd {

namespace {

void initializeCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What one hop of a transfer collects. Header lines of interim answers ("100 Continue") are dropped when the next
// status line starts.
struct Transfer {
    Data body;
    HTTPHeaderFields headers;
    std::vector<String> setCookies;
    const std::atomic<bool>* cancelled { nullptr };
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* context)
{
    auto* transfer = static_cast<Transfer*>(context);
    transfer->body.append(data, size * count);
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* context)
{
    auto* transfer = static_cast<Transfer*>(context);
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        transfer->headers = HTTPHeaderFields();
        transfer->setCookies.clear();
        return size * count;
    }
    auto colon = line.find(':');
    if (colon == std::string_view::npos)
        return size * count;
    auto name = line.substr(0, colon);
    auto value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    transfer->headers.addValue(String(value), String(name));
    if (name.size() == 10 && strncasecmp(name.data(), "Set-Cookie", 10) == 0)
        transfer->setCookies.emplace_back(value);
    return size * count;
}

int onProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* transfer = static_cast<Transfer*>(context);
    return transfer->cancelled && transfer->cancelled->load() ? 1 : 0;
}

std::int64_t errorCodeFor(CURLcode code)
{
    switch (code) {
    case CURLE_URL_MALFORMAT:
        return URLErrorCode::BadURL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return URLErrorCode::UnsupportedURL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return URLErrorCode::CannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return URLErrorCode::CannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
        return URLErrorCode::TimedOut;
    case CURLE_ABORTED_BY_CALLBACK:
        return URLErrorCode::Cancelled;
    case CURLE_TOO_MANY_REDIRECTS:
        return URLErrorCode::HTTPTooManyRedirects;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return URLErrorCode::NetworkConnectionLost;
    case CURLE_WEIRD_SERVER_REPLY:
        return URLErrorCode::BadServerResponse;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
        return URLErrorCode::SecureConnectionFailed;
    default:
        return URLErrorCode::Unknown;
    }
}

Error urlError(std::int64_t code, const String& url, const std::string& description, const std::string& reason)
{
    auto error = Error::make(ErrorDomain::URL, code, String(description), String(reason));
    error.userInfo().set(URLErrorKey::FailingURLString, url);
    return error;
}

struct Hop {
    long status { 0 };
    HTTPHeaderFields headers;
    Data body;
    // Where the answer sends the client next, resolved against the hop's address; empty when nowhere.
    std::string redirectURL;
};

// One request without following redirects, sending the cookies stored for its address and storing the ones it gets.
Expected<Hop> performHop(const URLRequest& request, const std::string& url, const std::string& method, bool sendBody,
    long timeoutMs, const std::atomic<bool>* cancelled)
{
    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle)
        return std::unexpected(
            urlError(URLErrorCode::Unknown, request.url(), "The request could not be prepared.", ""));
    auto* easy = handle.get();
    Transfer transfer;
    transfer.cancelled = cancelled;
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    // Only web addresses: neither the request nor a redirect may reach file:// or any other scheme.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    const auto& body = request.httpBody();
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && !sendBody) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        if (method != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        auto length = sendBody ? body.length() : 0;
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, length > 0 ? body.view().data() : "");
    }

    std::unique_ptr<curl_slist, ListDeleter> headerList;
    auto addHeader = [&](const std::string& line) {
        if (auto* extended = curl_slist_append(headerList.get(), line.c_str())) {
            (void)headerList.release();
            headerList.reset(extended);
        }
    };
    for (const auto& [field, value] : request.allHTTPHeaderFields().fields()) {
        auto name = field.utf8();
        if (!sendBody
            && (strcasecmp(name.c_str(), "Content-Type") == 0 || strcasecmp(name.c_str(), "Content-Length") == 0))
            continue;
        auto text = value.utf8();
        addHeader(text.empty() ? name + ";" : name + ": " + text);
    }
    // Bodies go out at once instead of waiting for "100 Continue", which some small servers never send.
    if (!request.valueForHTTPHeaderField("Expect"))
        addHeader("Expect:");
    auto& cookieStorage = HTTPCookieStorage::sharedHTTPCookieStorage();
    if (request.httpShouldHandleCookies() && !request.valueForHTTPHeaderField("Cookie")) {
        auto cookies = cookieStorage.cookiesForURL(String(url));
        if (!cookies.empty())
            addHeader("Cookie: " + HTTPCookieStorage::cookieHeaderForCookies(cookies).utf8());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList.get());

    auto code = curl_easy_perform(easy);
    if (code != CURLE_OK) {
        auto reason = errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(code));
        return std::unexpected(urlError(errorCodeFor(code), request.url(),
            fmt::format("The request to \u201c{}\u201d failed: {}.", url, reason), reason));
    }
    if (request.httpShouldHandleCookies())
        cookieStorage.setCookiesFromHeaders(transfer.setCookies, String(url));

    Hop hop;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &hop.status);
    char* redirect = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &redirect) == CURLE_OK && redirect)
        hop.redirectURL = redirect;
    hop.headers = std::move(transfer.headers);
    hop.body = std::move(transfer.body);
    return hop;
}

Expected<URLResult> perform(const URLRequest& request, StatusPolicy policy, const std::atomic<bool>* cancelled)
{
    initializeCurlOnce();
    constexpr int MaximumRedirects = 16;
    const auto& requestURL = request.url();

    for (const auto& [field, value] : request.allHTTPHeaderFields().fields()) {
        // A line break in a field would let its value start another header or the body.
        auto name = field.utf8();
        if (name.empty() || name.find_first_of("\r\n: ") != std::string::npos
            || value.utf8().find_first_of("\r\n") != std::string::npos)
            return std::unexpected(urlError(URLErrorCode::BadURL, requestURL,
                fmt::format("The header field \u201c{}\u201d is not valid.", name), ""));
    }

    auto timeout = std::chrono::duration<double>(std::clamp(request.timeoutInterval(), 0.001, 86400.0));
    auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(timeout);
    auto url = requestURL.utf8();
    auto method = request.httpMethod().utf8();
    bool sendBody = !request.httpBody().isEmpty() || (method != "GET" && method != "HEAD");

    for (int hopCount = 0;; ++hopCount) {
        auto remaining
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0)
            return std::unexpected(urlError(
                URLErrorCode::TimedOut, requestURL, fmt::format("The request to \u201c{}\u201d timed out.", url), ""));
        auto hop = performHop(request, url, method, sendBody, static_cast<long>(remaining.count()), cancelled);
        if (!hop)
            return std::unexpected(hop.error());

        bool redirects = hop->status == 301 || hop->status == 302 || hop->status == 303 || hop->status == 307
            || hop->status == 308;
        if (redirects && !hop->redirectURL.empty()) {
            if (hopCount == MaximumRedirects)
                return std::unexpected(urlError(URLErrorCode::HTTPTooManyRedirects, requestURL,
                    fmt::format("The request to \u201c{}\u201d was redirected too many times.", requestURL.utf8()),
                    ""));
            // As browsers do: 303 always, and 301/302 after a POST, continue with a GET without body.
            if ((hop->status == 303 && method != "HEAD")
                || ((hop->status == 301 || hop->status == 302) && method == "POST")) {
                method = "GET";
                sendBody = false;
            }
            url = hop->redirectURL;
            continue;
        }

        if (policy == StatusPolicy::RequireSuccess && hop->status >= 400) {
            auto error = urlError(URLErrorCode::BadServerResponse, requestURL,
                fmt::format("The server at \u201c{}\u201d answered with status {}.", url, hop->status), "");
            error.userInfo().set(URLErrorKey::HTTPStatusCode, static_cast<long long>(hop->status));
            return std::unexpected(std::move(error));
        }
        URLResult result;
        result.response = HTTPURLResponse(String(url), hop->status, std::move(hop->headers));
        result.data = std::move(hop->body);
        return result;
    }
}

class ThreadTask final : public URLTask {
public:
    void start(
        URLRequest request, URLConnection::Completion completion, StatusPolicy policy, std::shared_ptr<ThreadTask> self)
    {
        std::thread([self = std::move(self), request = std::move(request), completion = std::move(completion),
                        policy]() mutable {
            auto result = perform(request, policy, &self->m_cancelled);
            if (completion)
                completion(std::move(result));
            {
                std::lock_guard lock(self->m_mutex);
                self->m_finished = true;
            }
            self->m_done.notify_all();
        }).detach();
    }

    void cancel() override { m_cancelled = true; }

    void wait() override
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return m_finished; });
    }

    bool isFinished() const override
    {
        std::lock_guard lock(m_mutex);
        return m_finished;
    }

private:
    std::atomic<bool> m_cancelled { false };
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished { false };
};

}

Expected<URLResult> URLConnection::sendSynchronousRequest(const URLRequest& request, StatusPolicy policy)
{
    return perform(request, policy, nullptr);
}

std::shared_ptr<URLTask> URLConnection::sendAsynchronousRequest(
    URLRequest request, Completion completion, StatusPolicy policy)
{
    auto task = std::make_shared<ThreadTask>();
    task->start(std::move(request), std::move(completion), policy, task);
    return task;
}

}
