#include "barcodes/TBQGeneric2DBarcode.h"

#include "barcodes/detail/QuietZone.h"

#include "platform/foundation/runtime/StringFormat.h"

using namespace fnd;

FND_REGISTER_CLASS(TBQGeneric2DBarcode, TBQGenericBarcode)

namespace {

bool inGrid(int y, int x)
{
    return y >= 0 && y < TBQGeneric2DBarcode::MaximumRows && x >= 0 && x < TBQGeneric2DBarcode::MaximumColumns;
}

}

void TBQGeneric2DBarcode::init()
{
    initMatrixSymbol();
    TBQGenericBarcode::init();
}

TBQGeneric2DBarcode::_matrixSymbol* TBQGeneric2DBarcode::initMatrixSymbol()
{
    m_symbol = std::make_unique<_matrixSymbol>();
    return m_symbol.get();
}

void TBQGeneric2DBarcode::releaseMatrixSymbol()
{
    m_symbol.reset();
}

void TBQGeneric2DBarcode::setMatrixModuleWithY(int y, int x)
{
    if (m_symbol && inGrid(y, x))
        m_symbol->encodedData[static_cast<std::size_t>(y)][static_cast<std::size_t>(x / ModulesPerByte)]
            |= static_cast<std::uint8_t>(1u << (x % ModulesPerByte));
}

void TBQGeneric2DBarcode::unsetMatrixModuleWithY(int y, int x)
{
    if (m_symbol && inGrid(y, x))
        m_symbol->encodedData[static_cast<std::size_t>(y)][static_cast<std::size_t>(x / ModulesPerByte)]
            &= static_cast<std::uint8_t>(~(1u << (x % ModulesPerByte)));
}

bool TBQGeneric2DBarcode::isModuleSetWithY(int y, int x) const
{
    if (!m_symbol || !inGrid(y, x))
        return false;
    auto byte = m_symbol->encodedData[static_cast<std::size_t>(y)][static_cast<std::size_t>(x / ModulesPerByte)];
    return (byte >> (x % ModulesPerByte)) & 1u;
}

String TBQGeneric2DBarcode::validatedContentString() const
{
    String cleaned = TBQGenericBarcode::validatedContentString();
    if (!validatedErrorString().isEmpty())
        return cleaned;
    // The first character the cleaning dropped, so the user learns which one cannot be encoded.
    auto allowed = allowedCharacterSet();
    const String text = contentForValidation();
    const auto& units = text.units();
    for (std::size_t i = 0; i < units.size(); ++i) {
        auto [cp, width] = codePointAt(units, i);
        if (!allowed.longCharacterIsMember(cp)) {
            String message = localizedBarcodeString("EEUnsupportedCharacter");
            String shown = cp == 0 ? String("U+0000") : String(std::u16string(units, i, width));
            setValidatedErrorString(
                message.isEmpty() ? String("EEUnsupportedCharacter") : stringWithFormat(message, shown));
            return cleaned;
        }
        i += width - 1;
    }
    // A matrix symbol has no caption that would show a cut: content beyond the maximum is an error, not a shorter
    // symbol.
    auto maximum = maximumOfAllowedCharacters();
    if (maximum > 0 && text.length() > maximum) {
        String message = localizedBarcodeString("EEContentTooLong");
        setValidatedErrorString(message.isEmpty() ? String("EEContentTooLong")
                                                  : stringWithFormat(message, static_cast<long long>(maximum)));
    }
    return cleaned;
}

std::optional<Index> TBQGeneric2DBarcode::numberOfCharactersLeft() const
{
    auto left = TBQGenericBarcode::numberOfCharactersLeft();
    if (left && !encodingErrorString().isEmpty())
        return 0;
    return left;
}

gfx::Rect TBQGeneric2DBarcode::autoCalcedQuietZone() const
{
    double v = 4 * barWidth();
    return { v, v, v, v };
}

void TBQGeneric2DBarcode::recalculateWorkAreaSize()
{
    // 1. The delegate first hears of the error the previous validation left; this run overwrites the size below.
    if (!validatedErrorString().isEmpty()) {
        setComputedWorkAreaSize({ 300, 300 });
        updateModficationDate();
        notifyWorkAreaChanged();
    }

    // 2.
    if (calcQuietZone()) {
        for (auto& key : QuietZone::Keys)
            willChangeValueForKey(key);
        // Stored directly: the quiet-zone setters would recalculate again.
        setComputedQuietZone(autoCalcedQuietZone());
        for (auto& key : QuietZone::Keys)
            didChangeValueForKey(key);
    }

    // 3.
    encodeContentIntoMatrix();

    // 4.
    double columns = m_symbol ? m_symbol->width : 0;
    double rows = m_symbol ? m_symbol->rows : 0;
    double width = barWidth() * columns;
    double height = barWidth() * rows;
    setComputedWidth(width);
    setComputedHeight(height);

    // 5.
    setComputedWorkAreaSize(
        { width + quietZoneLeft() + quietZoneRight(), height + quietZoneBottom() + quietZoneTop() });

    // 6.
    updateModficationDate();
    notifyWorkAreaChanged();
}

void TBQGeneric2DBarcode::setWidth(double width)
{
    // An empty grid has no column to divide the width among.
    if (width == 0 || !m_symbol || m_symbol->width == 0)
        return;
    setBarWidth(width / m_symbol->width);
}
