#include "frameworks/FoundationExtensions/ZFMURLRequestFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/foundation/services/CookieStore.h"

#include <algorithm>

FND_REGISTER_CLASS(ZFMURLRequestFormatter, fnd::Formatter)
FND_REGISTER_CLASS(ZFMHTTPURLResponseFormatter, fnd::Formatter)

namespace {

bool isPlainShellCharacter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
        || std::u16string_view(u"@%+=:,./-_").find(c) != std::u16string_view::npos;
}

fnd::String bodyText(const fnd::URLRequest& request)
{
    // Bytes that are not UTF-8 show as U+FFFD: the line is for people, and stays one line of text.
    return fnd::String(request.httpBody().view());
}

fnd::String headerArgument(const fnd::HTTPHeaderFields::Field& field)
{
    return fnd::stringWithFormat("%@: %@", field.first, field.second);
}

}

fnd::String ZFMURLRequestFormatter::stringFromURLRequest(const fnd::URLRequest& request) const
{
    return fnd::stringWithFormat("%@ '%@'", request.httpMethod(), request.url());
}

void ZFMURLRequestFormatter::appendCommandLineArgument(fnd::String& commandLine, const fnd::String& argument)
{
    commandLine += " ";
    commandLine += argument.stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
}

fnd::String ZFMURLRequestFormatter::shellQuoted(const fnd::String& text)
{
    if (!text.isEmpty() && std::ranges::all_of(text.view(), isPlainShellCharacter))
        return text;
    return "'" + text.stringByReplacingOccurrencesOfString("'", "'\\''", fnd::StringCompareOptions::Literal) + "'";
}

fnd::String ZFMURLRequestFormatter::cURLCommandFromURLRequest(const fnd::URLRequest& request)
{
    fnd::String line = "curl";
    appendCommandLineArgument(line, "-X " + shellQuoted(request.httpMethod()));
    if (!request.httpBody().isEmpty())
        appendCommandLineArgument(line, "-d " + shellQuoted(bodyText(request)));
    auto encoding = request.valueForHTTPHeaderField("Accept-Encoding");
    if (encoding && encoding->rangeOfString("gzip").location != fnd::NotFound)
        appendCommandLineArgument(line, "--compressed");
    if (!request.url().isEmpty()) {
        for (const auto& cookie : fnd::HTTPCookieStorage::sharedHTTPCookieStorage().cookiesForURL(request.url()))
            appendCommandLineArgument(
                line, "--cookie " + shellQuoted(fnd::stringWithFormat("%@=%@", cookie.name, cookie.value)));
    }
    for (const auto& field : request.allHTTPHeaderFields().fields())
        appendCommandLineArgument(line, "-H " + shellQuoted(headerArgument(field)));
    appendCommandLineArgument(line, shellQuoted(request.url()));
    return line;
}

fnd::String ZFMURLRequestFormatter::WgetCommandFromURLRequest(const fnd::URLRequest& request)
{
    const auto& method = request.httpMethod();
    if (method != fnd::String("GET") && method != fnd::String("POST"))
        throw fnd::Exception("Invalid HTTP Method", "Wget can only make GET and POST requests");
    fnd::String line = "wget";
    // wget reads -d as its debug switch; the body goes in --post-data.
    if (!request.httpBody().isEmpty())
        appendCommandLineArgument(line, "--post-data=" + shellQuoted(bodyText(request)));
    for (const auto& field : request.allHTTPHeaderFields().fields())
        appendCommandLineArgument(line, "--header=" + shellQuoted(headerArgument(field)));
    appendCommandLineArgument(line, shellQuoted(request.url()));
    return line;
}

std::shared_ptr<fnd::Formatter> ZFMURLRequestFormatter::copy() const
{
    return std::make_shared<ZFMURLRequestFormatter>(*this);
}

fnd::String ZFMHTTPURLResponseFormatter::stringFromHTTPURLResponse(const fnd::HTTPURLResponse& response) const
{
    return fnd::stringWithFormat("%ld '%@'", response.statusCode(), response.url());
}

std::optional<fnd::String> ZFMHTTPURLResponseFormatter::stringForObjectValue(const fnd::Value& value) const
{
    if (auto response = value.objectAs<fnd::HTTPURLResponse>())
        return stringFromHTTPURLResponse(*response);
    return std::nullopt;
}

std::expected<fnd::Value, fnd::String> ZFMHTTPURLResponseFormatter::getObjectValue(const fnd::String&) const
{
    return std::unexpected(ZFMFormatterStrings::methodNotImplemented());
}

std::shared_ptr<fnd::Formatter> ZFMHTTPURLResponseFormatter::copy() const
{
    return std::make_shared<ZFMHTTPURLResponseFormatter>(*this);
}
