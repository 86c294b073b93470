// Decodes arbitrary bytes in an encoding chosen by the first byte, from every encoding this system converts, sniffs
// their charset and parses the text as a number. Nothing may crash; text that decodes and encodes back must decode
// again to the same text (in a Unicode form or non-lossy ASCII it must encode back), the encoding's charset name must
// lead to an encoding that reads the bytes alike, and every charset the detector names must be one we convert.
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void textEncodingFail(const char* what, fnd::StringEncoding encoding)
{
    std::fprintf(stderr, "%s: %s\n", fnd::localizedNameOfStringEncoding(encoding).utf8().c_str(), what);
    std::abort();
}

// Every character of these has a form in them: whatever they decoded, they encode.
bool encodesEveryCharacter(fnd::StringEncoding encoding)
{
    return fnd::mostCompatibleMacStringEncoding(encoding) == fnd::CFStringEncodings::Unicode
        || encoding == fnd::StringEncoding::NonLossyASCII;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    auto encodings = fnd::availableStringEncodings();
    fnd::StringEncoding encoding = encodings[bytes[0] % encodings.size()];
    std::span<const std::uint8_t> body(bytes + 1, size - 1);

    for (const auto& candidate : fnd::detectStringEncodings(body)) {
        if (!fnd::isAvailableStringEncoding(candidate.encoding))
            textEncodingFail("detected, but not converted", candidate.encoding);
    }
    auto text = fnd::stringWithData(body, encoding);
    if (!text)
        return 0;

    auto encoded = fnd::dataUsingEncoding(*text, encoding);
    if (!encoded && encodesEveryCharacter(encoding))
        textEncodingFail("does not encode what it decoded", encoding);
    if (encoded) {
        auto decoded = fnd::stringWithData(*encoded, encoding);
        if (!decoded || *decoded != *text)
            textEncodingFail("does not round-trip", encoding);
    }
    if (auto name = fnd::IANACharSetNameOfStringEncoding(encoding)) {
        auto named = fnd::stringEncodingFromIANACharSetName(*name);
        if (!named)
            textEncodingFail("its charset name is not known", encoding);
        if (fnd::stringWithData(body, *named) != text)
            textEncodingFail("the encoding of its charset name reads the bytes otherwise", encoding);
    }

    static fnd::NumberFormatter formatter = [] {
        fnd::NumberFormatter f;
        f.setLocale(fnd::Locale("de_DE"));
        f.setFormat("#0.0000 mm");
        return f;
    }();
    formatter.setLenient(bytes[0] & 1);
    if (auto number = formatter.numberFromString(*text))
        formatter.stringFromNumber(*number);
    return 0;
}
