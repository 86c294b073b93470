#include "platform/foundation/services/URLConnection.h"

#include "platform/foundation/services/CookieStore.h"
#include "support/LocalHTTPServer.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fnd;
using Server = testsupport::LocalHTTPServer;
using namespace std::chrono_literals;

namespace {

Server::Response echo(const Server::Request& r)
{
    Server::Response response;
    response.headers.push_back({ "X-Method", r.method });
    response.headers.push_back({ "Content-Type", "text/plain" });
    response.body = r.body;
    return response;
}

// A multipart form body, as the crash reporter and the feedback sender build it.
std::string multipartBody(const std::string& boundary)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"crashlog\"\r\n\r\nline one\r\nline two\xC3\xA9"
        + "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"description\"\r\n\r\n"
        + std::string("\0\1", 2) + "\r\n--" + boundary + "--\r\n";
}

}

TEST(URLConnection, PostsAMultipartBodyUnchanged)
{
    Server server(echo);
    auto boundary = std::string("0xKhTmLbOuNdArY");
    auto body = multipartBody(boundary);
    URLRequest request(String(server.url("/cgi/report")), 10);
    request.setHTTPMethod("POST");
    request.setValue("ZORCrashReporter", "User-Agent");
    request.setValue(String("multipart/form-data; boundary=" + boundary), "Content-Type");
    request.setHTTPBody(Data::fromString(body));

    auto result = URLConnection::sendSynchronousRequest(request, StatusPolicy::RequireSuccess);
    ASSERT_TRUE(result) << result.error().localizedDescription();
    EXPECT_EQ(result->response.statusCode(), 200);
    EXPECT_EQ(result->data.view(), body) << "the echo must match byte for byte";
    EXPECT_EQ(result->response.valueForHTTPHeaderField("x-method")->utf8(), "POST");

    auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].target, "/cgi/report");
    EXPECT_EQ(seen[0].header("User-Agent"), "ZORCrashReporter");
    EXPECT_EQ(seen[0].header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    EXPECT_EQ(seen[0].header("Content-Length"), std::to_string(body.size()));
    EXPECT_FALSE(seen[0].hasHeader("Expect"));
}

TEST(URLConnection, HeadAsksForHeadersOnly)
{
    Server server([](const Server::Request&) {
        Server::Response response;
        response.status = 405;
        response.body = std::string(100, 'x');
        return response;
    });
    URLRequest request(String(server.url("/")), 10);
    request.setHTTPMethod("HEAD");
    auto result = URLConnection::sendSynchronousRequest(request);
    ASSERT_TRUE(result) << result.error().localizedDescription();
    EXPECT_EQ(result->response.statusCode(), 405);
    EXPECT_EQ(result->response.valueForHTTPHeaderField("Content-Length")->utf8(), "100");
    EXPECT_TRUE(result->data.isEmpty());
    EXPECT_EQ(server.requests().at(0).method, "HEAD");
}

TEST(URLConnection, ServerErrorsAreErrorsOnlyWhenSuccessIsRequired)
{
    Server server([](const Server::Request&) {
        Server::Response response;
        response.status = 500;
        response.body = "Internal trouble";
        return response;
    });
    URLRequest request(String(server.url("/feedback")), 10);
    request.setHTTPMethod("POST");
    request.setHTTPBody(Data::fromString("a=b"));

    auto answered = URLConnection::sendSynchronousRequest(request, StatusPolicy::AnyAnswer);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->response.statusCode(), 500);
    EXPECT_EQ(answered->data.view(), "Internal trouble");

    auto failed = URLConnection::sendSynchronousRequest(request, StatusPolicy::RequireSuccess);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().domain(), ErrorDomain::URL);
    EXPECT_EQ(failed.error().code(), URLErrorCode::BadServerResponse);
    EXPECT_EQ(failed.error().userInfo().get(URLErrorKey::HTTPStatusCode).integerValue(), 500);
    EXPECT_EQ(
        failed.error().userInfo().get(URLErrorKey::FailingURLString).stringValue().utf8(), server.url("/feedback"));
}

TEST(URLConnection, TransportFailuresAreErrors)
{
    struct Case {
        std::string url;
        std::int64_t code;
    };
    const Case cases[] = {
        { "http://127.0.0.1:" + std::to_string(testsupport::unusedLocalPort()) + "/",
            URLErrorCode::CannotConnectToHost },
        { "file:///etc/passwd", URLErrorCode::UnsupportedURL },
        { "not a url", URLErrorCode::BadURL },
    };
    for (const auto& c : cases) {
        auto result = URLConnection::sendSynchronousRequest(URLRequest(String(c.url), 10));
        ASSERT_FALSE(result) << c.url;
        EXPECT_EQ(result.error().domain(), ErrorDomain::URL) << c.url;
        EXPECT_EQ(result.error().code(), c.code) << c.url << ": " << result.error().localizedDescription();
    }
}

TEST(URLConnection, ASlowServerRunsIntoTheTimeout)
{
    Server server([](const Server::Request&) {
        Server::Response response;
        response.delay = 20s;
        return response;
    });
    auto result = URLConnection::sendSynchronousRequest(URLRequest(String(server.url("/slow")), 0.3));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code(), URLErrorCode::TimedOut) << result.error().localizedDescription();
}

TEST(URLConnection, HeaderValuesWithLineBreaksAreRefused)
{
    Server server(echo);
    URLRequest request(String(server.url("/")), 10);
    request.setValue("x\r\nX-Injected: 1", "X-Note");
    auto result = URLConnection::sendSynchronousRequest(request);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code(), URLErrorCode::BadURL);
    EXPECT_TRUE(server.requests().empty());
}

TEST(URLConnection, RedirectsAreFollowedAndCookiesTravelBothWays)
{
    HTTPCookieStorage::sharedHTTPCookieStorage().removeAllCookies();
    Server server([](const Server::Request& r) {
        Server::Response response;
        if (r.target == "/login") {
            response.status = 302;
            response.headers = { { "Location", "/account/home" }, { "Set-Cookie", "session=abc; Path=/" },
                { "Set-Cookie", "scoped=1; Path=/other" } };
        } else {
            response.body = r.header("Cookie");
        }
        return response;
    });
    auto login = URLConnection::sendSynchronousRequest(URLRequest(String(server.url("/login")), 10));
    ASSERT_TRUE(login) << login.error().localizedDescription();
    EXPECT_EQ(login->response.url().utf8(), server.url("/account/home"));
    EXPECT_EQ(login->data.view(), "session=abc") << "the redirected request carries the cookie";

    URLRequest withoutCookies(String(server.url("/account")), 10);
    withoutCookies.setHTTPShouldHandleCookies(false);
    EXPECT_EQ(URLConnection::sendSynchronousRequest(withoutCookies)->data.view(), "");
    HTTPCookieStorage::sharedHTTPCookieStorage().removeAllCookies();
}

TEST(URLConnection, AsynchronousCompletionRunsOnABackgroundThread)
{
    Server server(echo);
    URLRequest request(String(server.url("/async")), 10);
    request.setHTTPMethod("PUT");
    request.setHTTPBody(Data::fromString("payload"));
    std::thread::id completionThread;
    std::optional<Expected<URLResult>> received;
    auto task = URLConnection::sendAsynchronousRequest(request, [&](Expected<URLResult> result) {
        completionThread = std::this_thread::get_id();
        received = std::move(result);
    });
    task->wait();
    EXPECT_TRUE(task->isFinished());
    ASSERT_TRUE(received && *received);
    EXPECT_EQ((*received)->data.view(), "payload");
    EXPECT_EQ((*received)->response.valueForHTTPHeaderField("X-Method")->utf8(), "PUT");
    EXPECT_NE(completionThread, std::this_thread::get_id());
}

TEST(URLConnection, CancellingEndsARequestWithACancelledError)
{
    // The answer and the request's own timeout come long after any wait of the test: only the cancel ends it.
    Server server([](const Server::Request&) {
        Server::Response response;
        response.delay = 120s;
        return response;
    });
    std::optional<Expected<URLResult>> received;
    auto task = URLConnection::sendAsynchronousRequest(
        URLRequest(String(server.url("/")), 120), [&](Expected<URLResult> result) { received = std::move(result); });
    // Cancel once the server has the request, so the cancel hits a transfer in progress.
    EXPECT_TRUE(testsupport::waitUntil([&] { return !server.requests().empty(); })) << "the request never arrived";
    task->cancel();
    task->wait();
    ASSERT_TRUE(received);
    ASSERT_FALSE(*received);
    EXPECT_EQ(received->error().code(), URLErrorCode::Cancelled);
}

TEST(HTTPCookieStorage, SetCookieRulesForDomainPathSecurityAndExpiry)
{
    HTTPCookieStorage storage;
    const char* page = "http://www.example.com/shop/cart";
    struct Set {
        const char* header;
        bool accepted;
    };
    const Set sets[] = {
        { "plain=1", true }, // host-only, default path /shop
        { "wide=2; Domain=.example.com; Path=/", true }, // the parent domain, all paths
        { "foreign=3; Domain=other.com", false }, // not the page's domain
        { "tight=4; Path=/shop/cart/item", true }, // a deeper path
        { "secret=5; Secure; Path=/", true }, // https only
        { "gone=6; Max-Age=0", true }, // expires at once
        { "old=7; Expires=Wed, 21 Oct 2015 07:28:00 GMT", true }, // in the past
        { "kept=8; Max-Age=3600; Expires=Wed, 21 Oct 2015 07:28:00 GMT", true }, // Max-Age wins
        { "=novalue", false },
        { "noequals", false },
    };
    for (const auto& s : sets) {
        auto cookie = HTTPCookieStorage::cookieFromSetCookieHeader(s.header, page);
        EXPECT_EQ(cookie.has_value(), s.accepted) << s.header;
        if (cookie)
            storage.setCookie(*cookie);
    }
    auto names = [&](const char* url) {
        std::string out;
        for (const auto& c : storage.cookiesForURL(url)) {
            if (!out.empty())
                out += ' ';
            out += c.name.utf8();
        }
        return out;
    };
    // Longer paths first, then in the order they were set.
    EXPECT_EQ(names("http://www.example.com/shop/cart/item/9"), "tight plain kept wide");
    EXPECT_EQ(names("http://www.example.com/shopping"), "wide") << "a path prefix must end at a slash";
    EXPECT_EQ(names("https://www.example.com/"), "wide secret");
    EXPECT_EQ(names("http://sub.www.example.com/shop"), "wide") << "host-only cookies stay on their host";
    EXPECT_EQ(names("http://example.org/"), "");
    EXPECT_EQ(HTTPCookieStorage::cookieHeaderForCookies(storage.cookiesForURL("http://www.example.com/shop")).utf8(),
        "plain=1; kept=8; wide=2");

    // A later Set-Cookie with the same name, domain and path replaces the value; an expired one deletes it.
    storage.setCookiesFromHeaders({ "plain=changed", "wide=; Domain=example.com; Path=/; Max-Age=-1" }, page);
    EXPECT_EQ(HTTPCookieStorage::cookieHeaderForCookies(storage.cookiesForURL("http://www.example.com/shop")).utf8(),
        "plain=changed; kept=8");
}
