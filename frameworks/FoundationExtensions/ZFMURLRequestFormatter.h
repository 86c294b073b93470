#pragma once

#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/services/URLRequest.h"

// URL requests as one-line summaries ("GET 'https://example.org/'") and as command lines that repeat them with curl
// or wget. Every argument of a command line is quoted for a POSIX shell, so the line can be pasted as it is.
class ZFMURLRequestFormatter : public fnd::Formatter {
    FND_OBJECT(ZFMURLRequestFormatter)

public:
    fnd::String stringFromURLRequest(const fnd::URLRequest& request) const;

    // curl with the method, the body, "--compressed" when the request accepts gzip, the cookies the shared cookie
    // storage holds for the address, the header fields and the address.
    static fnd::String cURLCommandFromURLRequest(const fnd::URLRequest& request);
    // wget with the body (as --post-data), the header fields and the address. Raises "Invalid HTTP Method" for
    // methods other than GET and POST, which wget cannot make.
    static fnd::String WgetCommandFromURLRequest(const fnd::URLRequest& request);

    // The command-line builder: the argument trimmed of white space at both ends, after one space.
    static void appendCommandLineArgument(fnd::String& commandLine, const fnd::String& argument);
    // The text as one word for a POSIX shell: as it is when it holds only characters no shell reads specially,
    // else in single quotes, each single quote written as '\''.
    static fnd::String shellQuoted(const fnd::String& text);

    std::shared_ptr<fnd::Formatter> copy() const override;
};

// HTTP responses as one-line summaries: "200 'https://example.org/'".
class ZFMHTTPURLResponseFormatter : public fnd::Formatter {
    FND_OBJECT(ZFMHTTPURLResponseFormatter)

public:
    fnd::String stringFromHTTPURLResponse(const fnd::HTTPURLResponse& response) const;
    // The summary of a response object; nothing for any other value.
    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;

    // Not offered: the answer is the reason.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;
};
