#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <optional>
#include <utility>
#include <vector>

namespace fnd {

// HTTP header fields in the order they were set; names compare without regard to case, and setting a name again
// replaces its value.
class HTTPHeaderFields {
public:
    using Field = std::pair<String, String>;

    std::optional<String> valueForField(const String& name) const;
    void setValue(const String& value, const String& name);
    // Adds to an existing value as ", value" (how repeated response fields are combined).
    void addValue(const String& value, const String& name);
    void remove(const String& name);

    const std::vector<Field>& fields() const { return m_fields; }
    bool isEmpty() const { return m_fields.empty(); }
    std::size_t count() const { return m_fields.size(); }

private:
    std::vector<Field> m_fields;
};

// What to ask of a web server: address, method, header fields, body and a time limit.
class URLRequest {
public:
    URLRequest() = default;
    explicit URLRequest(String url, double timeoutInterval = 60.0)
        : m_url(std::move(url))
        , m_timeoutInterval(timeoutInterval)
    {
    }

    const String& url() const { return m_url; }
    void setURL(String url) { m_url = std::move(url); }
    const String& httpMethod() const { return m_method; }
    void setHTTPMethod(String method) { m_method = std::move(method); }
    const Data& httpBody() const { return m_body; }
    void setHTTPBody(Data body) { m_body = std::move(body); }
    // The whole exchange must end within this many seconds.
    double timeoutInterval() const { return m_timeoutInterval; }
    void setTimeoutInterval(double seconds) { m_timeoutInterval = seconds; }
    // Whether stored cookies are sent and received ones stored.
    bool httpShouldHandleCookies() const { return m_handleCookies; }
    void setHTTPShouldHandleCookies(bool handle) { m_handleCookies = handle; }

    std::optional<String> valueForHTTPHeaderField(const String& name) const { return m_headers.valueForField(name); }
    void setValue(const String& value, const String& field) { m_headers.setValue(value, field); }
    void addValue(const String& value, const String& field) { m_headers.addValue(value, field); }
    const HTTPHeaderFields& allHTTPHeaderFields() const { return m_headers; }

private:
    String m_url;
    String m_method { "GET" };
    Data m_body;
    HTTPHeaderFields m_headers;
    double m_timeoutInterval { 60.0 };
    bool m_handleCookies { true };
};

// The answer's head: the final address (after redirects), status code and header fields. An object, so values,
// formatters and key-value coding can carry it; copies are independent.
class HTTPURLResponse : public Object {
    FND_OBJECT(HTTPURLResponse)

public:
    HTTPURLResponse() = default;
    HTTPURLResponse(String url, std::int64_t statusCode, HTTPHeaderFields headers)
        : m_url(std::move(url))
        , m_statusCode(statusCode)
        , m_headers(std::move(headers))
    {
    }

    const String& url() const { return m_url; }
    std::int64_t statusCode() const { return m_statusCode; }
    std::optional<String> valueForHTTPHeaderField(const String& name) const { return m_headers.valueForField(name); }
    const HTTPHeaderFields& allHeaderFields() const { return m_headers; }

private:
    String m_url;
    std::int64_t m_statusCode { 0 };
    HTTPHeaderFields m_headers;
};

}
