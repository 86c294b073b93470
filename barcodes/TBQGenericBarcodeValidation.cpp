// Cleaning of the typed content into what is encoded and shown.
#include "barcodes/TBQGenericBarcode.h"

#include "barcodes/GS1ElementString.h"

#include "platform/foundation/runtime/StringFormat.h"

using namespace fnd;

CharacterSet TBQGenericBarcode::allowedCharacterSet() const
{
    static const CharacterSet digits = CharacterSet::characterSetWithCharactersInString("0123456789");
    return digits;
}

namespace {

// Steps shared by the plain and the GS1 validation: case, allowed characters, length and padding.
String cleanContent(const TBQGenericBarcode& barcode, String text)
{
    auto allowed = barcode.allowedCharacterSet();
    // A set with lower-case letters keeps the case as typed.
    if (!(allowed.characterIsMember(u'a') && allowed.characterIsMember(u'h') && allowed.characterIsMember(u'p')))
        text = text.uppercaseString();

    std::u16string kept;
    const auto& units = text.units();
    for (std::size_t i = 0; i < units.size(); ++i) {
        auto [cp, width] = codePointAt(units, i);
        if (allowed.longCharacterIsMember(cp))
            kept.append(units, i, width);
        i += width - 1;
    }

    auto maximum = barcode.maximumOfAllowedCharacters();
    if (maximum > 0 && static_cast<Index>(kept.size()) > maximum)
        kept.resize(static_cast<std::size_t>(maximum));
    if (barcode.minimumOfAllowedCharacters() >= 1) {
        while (static_cast<Index>(kept.size()) < maximum) {
            if (barcode.paddingRight())
                kept += barcode.paddingCharacter();
            else
                kept.insert(kept.begin(), barcode.paddingCharacter());
        }
    }
    return String(std::move(kept));
}

}

String TBQGenericBarcode::cleanedContentString() const
{
    String text = contentForValidation();
    if (contentForValidationIsPreValidated())
        return text;
    return cleanContent(*this, text);
}

String TBQGenericBarcode::validatedContentString() const
{
    setValidatedErrorString({});
    if (validateGS1())
        return validateGS1ContentString();
    return cleanedContentString();
}

String TBQGenericBarcode::validateGS1ContentString() const
{
    auto result = GS1ElementString::check(cleanedContentString().utf8(), contentForValidationIsPreValidated());
    if (result.ok())
        return String(result.reduced);
    String message = localizedBarcodeString(String(result.errorKey));
    if (!result.aiText.empty())
        message = stringWithFormat(message, String(result.aiText));
    setValidatedErrorString(message.isEmpty() ? String(result.errorKey) : message);
    return {};
}

std::optional<Index> TBQGenericBarcode::numberOfCharactersLeft() const
{
    const Index maximum = maximumOfAllowedCharacters();
    if (maximum <= 0)
        return std::nullopt;
    return std::max<Index>(maximum - numberOfValidateContentCharacters(), 0);
}

Index TBQGenericBarcode::numberOfValidateContentCharacters() const
{
    auto allowed = allowedCharacterSet();
    Index count = 0;
    for (char16_t unit : content().units()) {
        if (allowed.characterIsMember(unit))
            ++count;
    }
    return count;
}
