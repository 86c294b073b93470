// The size fields while they are edited: what they show when the person takes back or mistypes a length, and when
// the units change under them. A size field never shows a length the barcode does not use once editing ends.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "application/Preferences.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/graphics/Font.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"

std::vector<std::shared_ptr<ui::TextField>> Lumvara_TessaroAppDelegate::sizeFields() const
{
    std::vector<std::shared_ptr<ui::TextField>> fields;
    for (const auto& field : { std::static_pointer_cast<ui::TextField>(m_modulWidthComboBox),
             std::static_pointer_cast<ui::TextField>(m_barcodeHeightComboBox),
             std::static_pointer_cast<ui::TextField>(m_fontHeightComboBox), m_barcodeWidthTextField })
        if (field)
            fields.push_back(field);
    return fields;
}

std::optional<fnd::Value> Lumvara_TessaroAppDelegate::appliedSizeOf(const ui::Control& control) const
{
    if (!m_currentBarcode)
        return std::nullopt;
    const auto& barcode = *m_currentBarcode;
    // A length the size list holds shows as its entry, with the entry's name.
    auto asListed = [](const fnd::Array& list, double value) {
        const fnd::Value number(static_cast<float>(value));
        fnd::Value shown = number;
        for (const auto& entry : list)
            if (auto container = entry.objectAs<ZORNumberContainer>(); container && container->isEqualToValue(number))
                shown = entry;
        return shown;
    };
    if (&control == m_modulWidthComboBox.get())
        return asListed(Preferences::modulWidthArray(), barcode.barWidth());
    if (&control == m_barcodeHeightComboBox.get())
        return asListed(Preferences::barcodeHeightArray(), barcode.height());
    if (&control == m_fontHeightComboBox.get())
        return barcode.font() ? std::optional(fnd::Value(barcode.font()->pointSize())) : std::nullopt;
    if (&control == m_barcodeWidthTextField.get())
        return fnd::Value(barcode.width());
    return std::nullopt;
}

bool Lumvara_TessaroAppDelegate::showAppliedSize(ui::Control& control)
{
    auto applied = appliedSizeOf(control);
    if (!applied)
        return false;
    if (auto editor = std::dynamic_pointer_cast<ui::TextView>(control.currentEditor())) {
        auto formatter = control.formatter();
        auto text = formatter ? formatter->stringForObjectValue(*applied) : std::optional<fnd::String>();
        editor->setString(text.value_or(applied->description()));
        editor->selectAll({});
    } else if (control.objectValue() != *applied) {
        control.setObjectValue(*applied);
    }
    return true;
}

bool Lumvara_TessaroAppDelegate::controlDidFailToFormatString(
    ui::Control& control, const fnd::String&, const fnd::String&)
{
    // Text that is no length is refused where it stands: a beep, and the field shows the length in use again.
    if (!showAppliedSize(control))
        return false;
    ui::Application::shared().beep();
    return true;
}

bool Lumvara_TessaroAppDelegate::controlDoCommandBySelector(ui::Control& control, ui::View&, fnd::Selector selector)
{
    // Escape takes back what was typed or browsed to: the field shows the length in use.
    if (selector != fnd::Selector("cancelOperation:"))
        return false;
    return showAppliedSize(control);
}

void Lumvara_TessaroAppDelegate::showAppliedSizesInEditedFields()
{
    for (const auto& field : sizeFields())
        if (field->currentEditor())
            showAppliedSize(*field);
}
