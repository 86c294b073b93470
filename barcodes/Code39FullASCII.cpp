#include "barcodes/Code39FullASCII.h"

#include "barcodes/PrintableASCII.h"

#include <array>

using namespace fnd;

FND_REGISTER_CLASS(Code39FullASCII, Code39)

namespace {

struct Pair {
    char character;
    const char* pair;
};

// The full ASCII pairs of ISO/IEC 16388 for the printable characters that are not Code 39 characters themselves
// (lower-case letters are "+" and the capital, handled apart).
// clang-format off
constexpr std::array<Pair, 30> Pairs { {
    { '!', "/A" },
    { '"', "/B" },
    { '#', "/C" },
    { '$', "/D" },
    { '%', "/E" },
    { '&', "/F" }, // 5
    { '\'', "/G" },
    { '(', "/H" },
    { ')', "/I" },
    { '*', "/J" },
    { '+', "/K" }, // 10
    { ',', "/L" },
    { '/', "/O" },
    { ':', "/Z" },
    { ';', "%F" },
    { '<', "%G" }, // 15
    { '=', "%H" },
    { '>', "%I" },
    { '?', "%J" },
    { '@', "%V" },
    { '[', "%K" }, // 20
    { '\\', "%L" },
    { ']', "%M" },
    { '^', "%N" },
    { '_', "%O" },
    { '`', "%W" }, // 25
    { '{', "%P" },
    { '|', "%Q" },
    { '}', "%R" },
    { '~', "%S" },
} };
// clang-format on
static_assert(Pairs.size() == 30);

}

String Code39FullASCII::barcodeName() const
{
    return localizedBarcodeString("Code39FullASCII");
}

CharacterSet Code39FullASCII::allowedCharacterSet() const
{
    return PrintableASCII::characterSet();
}

String Code39FullASCII::humanReadableAllowedCharacterSet() const
{
    return PrintableASCII::HumanReadable;
}

String Code39FullASCII::contentForEncoding() const
{
    std::string out;
    for (char c : TBQGenericBarcode::contentForEncoding().utf8()) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '-' || c == '.';
        if (plain) {
            out += c;
        } else if (c >= 'a' && c <= 'z') {
            out += '+';
            out += static_cast<char>(c - 'a' + 'A');
        } else {
            for (const auto& p : Pairs) {
                if (p.character == c) {
                    out += p.pair;
                    break;
                }
            }
        }
    }
    return String(out);
}
