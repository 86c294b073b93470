#include "barcodes/Code128.h"

#include "barcodes/Code128Encoder.h"
#include "barcodes/detail/QuietZone.h"

#include <algorithm>

using namespace fnd;

FND_REGISTER_CLASS(Code128, TBQGenericBarcode)

String Code128::barcodeName() const
{
    return localizedBarcodeString("Code128");
}

ModuleString Code128::completeEncodedBarcode() const
{
    using namespace Code128Encoder;
    std::string bytes = contentForEncoding().utf8();
    if (bytes.empty())
        return {};
    auto runs = smoothedRuns(bytes, false);

    // An odd stretch of set C: the first run hands its last digit on, a later one its first digit back.
    if (runs[0].decision == 'C' && runs[0].length % 2 == 1) {
        --runs[0].length;
        if (runs.size() > 1)
            ++runs[1].length;
        else
            runs.push_back({ CharClass::AnySet, 1, 'B' });
    }
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].decision == 'C' && runs[i].length % 2 == 1) {
            ++runs[i - 1].length;
            --runs[i].length;
        }
    }

    auto marks = marksForRuns(runs);
    // A symbol does not begin with a shift: leading shifted characters latch instead.
    if (marks[0] == 'a' || marks[0] == 'b') {
        char shift = marks[0];
        for (std::size_t i = 0; i < marks.size() && marks[i] == shift; ++i)
            marks[i] = static_cast<char>(shift - 'a' + 'A');
    }
    return modulesForValues(symbolValues(bytes, marks, false));
}

gfx::Rect Code128::autoCalcedQuietZone() const
{
    double v = std::max(10 * barWidth(), QuietZone::Minimum);
    return { v, v / 2, v, v / 2 };
}

CharacterSet Code128::allowedCharacterSet() const
{
    static const CharacterSet printable = [] {
        std::string chars;
        for (char c = ' '; c <= '~'; ++c) {
            if (c != '=' && c != '`')
                chars += c;
        }
        return CharacterSet::characterSetWithCharactersInString(String(chars));
    }();
    return printable;
}

String Code128::humanReadableAllowedCharacterSet() const
{
    return R"([0-9A-Za-z!"#$%&'()*+,-./:;<>?@[\]^{|}~_ ])";
}

String Code128::validatedContentString() const
{
    String text = TBQGenericBarcode::validatedContentString();
    if (text.length() > MaximumLength) {
        setValidatedErrorString(localizedBarcodeString("Code128TooLong"));
        return {};
    }
    return text;
}
