// The preview as assistive technologies read it: an image whose description says what the barcode holds.

#include "application/TBQBarcodeView.h"

#include "platform/foundation/files/Bundle.h"

std::vector<fnd::String> TBQBarcodeView::accessibilityAttributeNames() const
{
    auto names = ui::View::accessibilityAttributeNames();
    names.push_back(ui::AccessibilityAttribute::Description);
    return names;
}

fnd::Value TBQBarcodeView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    if (attribute == ui::AccessibilityAttribute::Role)
        return ui::AccessibilityRole::Image;
    if (attribute != ui::AccessibilityAttribute::Description)
        return ui::View::accessibilityAttributeValue(attribute);
    // What the view shows in place of a symbol, when it shows no symbol.
    if (!m_barcode)
        return m_placeHolderIsMultiplySelection
            ? fnd::Bundle::bundleForClass("TBQBarcodeView")
                  ->localizedStringForKey("MultiplySelection", {}, "DocumentStrings")
            : m_noBarcodeTextString;
    if (auto error = errorTextOfBarcode(*m_barcode); !error.isEmpty())
        return error;
    // What the bars hold, as their caption reads (the check digit included, what the symbology drops left out), not
    // what was typed: "EAN-13: 4006381333931", with the add-on after a plus; the name alone while there is nothing.
    auto text = m_barcode->barcodeName().utf8();
    if (auto encoded = m_barcode->caption(); !encoded.isEmpty())
        text += ": " + encoded.utf8();
    if (auto addOn = m_barcode->addOn())
        if (auto encoded = addOn->caption(); !encoded.isEmpty())
            text += " + " + encoded.utf8();
    return fnd::String(text);
}
