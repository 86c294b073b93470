// Decodes arbitrary bytes in an encoding chosen by the first byte, sniffs their charset and parses the text as a
// number. Nothing may crash; text that decodes in a Unicode form or non-lossy ASCII must encode back to bytes that
// decode to the same text.
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool roundTripsExactly(fnd::StringEncoding encoding)
{
    using fnd::StringEncoding;
    switch (encoding) {
    case StringEncoding::UTF8:
    case StringEncoding::Unicode:
    case StringEncoding::UTF16BigEndian:
    case StringEncoding::UTF16LittleEndian:
    case StringEncoding::UTF32:
    case StringEncoding::UTF32BigEndian:
    case StringEncoding::UTF32LittleEndian:
    case StringEncoding::NonLossyASCII:
        return true;
    default:
        return false;
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    auto encodings = fnd::availableStringEncodings();
    fnd::StringEncoding encoding = encodings[bytes[0] % encodings.size()];
    std::span<const std::uint8_t> body(bytes + 1, size - 1);

    fnd::detectStringEncodings(body);
    auto text = fnd::stringWithData(body, encoding);
    if (!text)
        return 0;

    auto encoded = fnd::dataUsingEncoding(*text, encoding);
    if (roundTripsExactly(encoding)) {
        auto decoded = encoded ? fnd::stringWithData(*encoded, encoding) : fnd::Expected<fnd::String>();
        if (!encoded || !decoded || *decoded != *text) {
            std::fprintf(
                stderr, "%s does not round-trip\n", fnd::localizedNameOfStringEncoding(encoding).utf8().c_str());
            std::abort();
        }
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
