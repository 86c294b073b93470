#include "barcodes/QR.h"

#include "barcodes/detail/QREncoder.h"

#include <algorithm>

using namespace fnd;

FND_REGISTER_CLASS(QR, TBQGeneric2DBarcode)

String QR::barcodeName() const
{
    return localizedBarcodeString("QR");
}

CharacterSet QR::allowedCharacterSet() const
{
    static const CharacterSet latin = CharacterSet::characterSetWithRange({ 0x0001, 0x01FF });
    return latin;
}

String QR::humanReadableAllowedCharacterSet() const
{
    return localizedBarcodeString("UnicodeLatin");
}

std::optional<Index> QR::numberOfCharactersLeft() const
{
    auto left = TBQGeneric2DBarcode::numberOfCharactersLeft();
    if (!left || *left == 0)
        return left;
    // More of what the content holds: a two-byte letter where it has one, else a one-byte character outside the
    // alphanumeric set, else an alphanumeric character, else a digit.
    const std::string bytes = cleanedContentString().utf8();
    const bool digits = !bytes.empty() && std::ranges::all_of(bytes, [](char c) { return c >= '0' && c <= '9'; });
    const bool alphanumeric = !bytes.empty() && std::ranges::all_of(bytes, QREncoder::isAlphanumeric);
    const bool twoBytes = std::ranges::any_of(bytes, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    const std::string_view more = twoBytes ? "\u00e9" : digits ? "0" : alphanumeric ? "A" : "a";
    std::string grown = bytes;
    for (Index i = 0; i < *left; ++i)
        grown += more;
    auto fits = [&](Index count) {
        const std::string_view part(grown.data(), bytes.size() + static_cast<std::size_t>(count) * more.size());
        return QREncoder::versionForBits(QREncoder::estimatedBits(QREncoder::modeMarks(part))) != 0;
    };
    if (!fits(0))
        return 0;
    // A guess from the bits left and a character's cost in its mode (a byte 8 bits, two alphanumeric characters 11,
    // three digits 10) after a segment header of at most 20 bits.
    const double bitsEach = twoBytes ? 16 : digits ? 10.0 / 3 : alphanumeric ? 5.5 : 8;
    const int free = QREncoder::dataCodewords(QREncoder::MaximumVersion, QREncoder::Level::L) * 8
        - QREncoder::estimatedBits(QREncoder::modeMarks(bytes));
    return mostThatFit(static_cast<Index>((free - 20) / bitsEach), *left, fits);
}

void QR::encodeContentIntoMatrix()
{
    releaseMatrixSymbol();
    initMatrixSymbol();
    setEncodingErrorString({});
    const auto& symbol = m_lastEncoding.of(contentForEncoding().utf8(), QREncoder::encode);
    if (!symbol) {
        setEncodingErrorString(localizedBarcodeString("EEDataToLong"));
        return;
    }
    storeGrid(symbol->size, symbol->size, [&](int row, int column) { return symbol->dark(row, column); });
}
