// The controls' actions, the size combo boxes' lists and the barcode's callbacks.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "application/ApplicationSupport.h"
#include "application/Preferences.h"
#include "application/PreferencesKeys.h"
#include "application/TessaroBarcodeView.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/graphics/FontManager.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/FontPanel.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextField.h"

namespace {

bool isOn(const fnd::Value& sender)
{
    auto control = sender.objectAs<ui::Control>();
    return control && control->state() == ui::ControlStateValue::On;
}

fnd::String stringOf(const fnd::Value& sender)
{
    auto control = sender.objectAs<ui::Control>();
    return control ? control->stringValue() : fnd::String();
}

// A list entry's number: a preset's own number, a plain number as it is.
double numberOf(const fnd::Value& value)
{
    if (auto container = value.objectAs<ZORNumberContainer>())
        return container->numberObject().doubleValue();
    return value.isNumber() ? value.doubleValue() : 0;
}

// A length field's value in points. A preset chosen from a combo box's list gives its own number, not the number
// read back from its rounded text (0.363 mm shown in inches would come back as 0.014 in, 0.356 mm).
double lengthOf(const fnd::Value& sender)
{
    auto control = sender.objectAs<ui::Control>();
    if (!control)
        return 0;
    auto value = control->objectValue();
    if (value.objectAs<ZORNumberContainer>())
        return numberOf(value);
    auto box = sender.objectAs<ui::ComboBox>();
    auto formatter = box ? box->formatter() : nullptr;
    if (box && formatter && value.isNumber()) {
        const long index = box->indexOfSelectedItem();
        if (index >= 0 && index < box->numberOfItems()) {
            // The field reads what the chosen item shows: the item is what the person chose.
            auto item = box->itemObjectValueAtIndex(index);
            auto shown = formatter->stringForObjectValue(item);
            auto read = shown ? formatter->getObjectValue(*shown) : std::unexpected(fnd::String());
            if (read && read->isNumber() && float(read->doubleValue()) == float(value.doubleValue()))
                return numberOf(item);
        }
    }
    return value.isNumber() ? value.doubleValue() : control->doubleValue();
}

std::shared_ptr<gfx::Color> colorOf(const fnd::Value& sender)
{
    auto well = sender.objectAs<ui::ColorWell>();
    return well ? well->color() : nullptr;
}

}

void Lumvara_TessaroAppDelegate::barcodePopupButtonChanged(const fnd::Value& sender)
{
    auto popUp = sender.objectAs<ui::PopUpButton>();
    auto item = popUp ? popUp->selectedItem() : nullptr;
    if (!item || !item->representedObject().isString())
        return;
    setBarcodeWithClassName(item->representedObject().stringValue());
    if (m_currentBarcode)
        defaults().setObject(m_currentBarcode->className(), DefaultBarcodeClassNameKey);
}

void Lumvara_TessaroAppDelegate::contentChanged(const fnd::Value& sender)
{
    if (!m_currentBarcode)
        return;
    const auto content = stringOf(sender);
    m_currentBarcode->setContent(content);
    // Launching fills the field; only what the person types is remembered. The defaults write it with the other
    // changes of the moment.
    if (m_didFinishLaunching)
        defaults().setObject(content, DefaultBarcodeContentKey);
}

void Lumvara_TessaroAppDelegate::calculateChecksumButtonChanged(const fnd::Value& sender)
{
    applySwitch(sender, &TBQGenericBarcode::setCalculateChecksum, DefaultBarcodeValueCalculateChecksumKey,
        Remember::AfterLaunching);
}

void Lumvara_TessaroAppDelegate::addOnChanged(const fnd::Value& sender)
{
    if (!m_currentBarcode)
        return;
    const auto addOn = stringOf(sender);
    m_currentBarcode->setAddOnContent(addOn);
    defaults().setObject(addOn, DefaultBarcodeAddOnContentKey);
}

void Lumvara_TessaroAppDelegate::modulWidthChanged(const fnd::Value& sender)
{
    applySize(sender, &TBQGenericBarcode::setBarWidth, &TBQGenericBarcode::barWidth, &Preferences::usedModulWidth,
        DefaultBarcodeValueBarWidthKey);
}

void Lumvara_TessaroAppDelegate::barcodeHeightChanged(const fnd::Value& sender)
{
    applySize(sender, &TBQGenericBarcode::setHeight, &TBQGenericBarcode::height, &Preferences::usedBarcodeHeight,
        DefaultBarcodeValueHeightKey);
}

void Lumvara_TessaroAppDelegate::barcodeColorChanged(const fnd::Value& sender)
{
    applyColor(sender, &TBQGenericBarcode::setBarColor, DefaultBarcodeValueBarColorKey);
}

void Lumvara_TessaroAppDelegate::backgroundColorChanged(const fnd::Value& sender)
{
    applyColor(sender, &TBQGenericBarcode::setBackgroundColor, DefaultBarcodeValueBackgroundColorKey);
}

void Lumvara_TessaroAppDelegate::drawBackgroundStateChanged(const fnd::Value& sender)
{
    applySwitch(sender, &TBQGenericBarcode::setShouldDrawBackground, DefaultBarcodeValueShouldDrawBackgroundKey);
}

void Lumvara_TessaroAppDelegate::autoCalcQuietZoneStateChanged(const fnd::Value& sender)
{
    if (!m_currentBarcode)
        return;
    const bool on = isOn(sender);
    m_currentBarcode->setCalcQuietZone(on);
    if (!on)
        m_currentBarcode->setQuietZone({});
    defaults().setBool(on, DefaultBarcodeValueAutoCalcQuietZoneKey);
}

void Lumvara_TessaroAppDelegate::drawCaptionButtonChanged(const fnd::Value& sender)
{
    applySwitch(sender, &TBQGenericBarcode::setDrawCaption, DefaultBarcodeValueDrawCaptionKey);
}

void Lumvara_TessaroAppDelegate::applyFont(const std::shared_ptr<gfx::Font>& font)
{
    if (!m_currentBarcode || !font)
        return;
    m_currentBarcode->setFont(font);
    Preferences::setFont(font, DefaultBarcodeValueFontKey);
}

void Lumvara_TessaroAppDelegate::fontHeightChanged(const fnd::Value& sender)
{
    if (!m_currentBarcode)
        return;
    const double height = lengthOf(sender);
    if (height > 0) {
        if (auto font = gfx::FontManager::shared().convertFontToSize(m_currentBarcode->font(), height)) {
            applyFont(font);
            Preferences::usedFontHeight(static_cast<float>(height));
        }
    }
    // The field shows the size the font really has, now and once the person has stopped.
    scheduleUpdateUI(FontHeightRefreshDelay);
    updateUI();
}

void Lumvara_TessaroAppDelegate::changeFont(const fnd::Value&)
{
    if (!m_currentBarcode)
        return;
    applyFont(gfx::FontManager::shared().convertFont(m_currentBarcode->font()));
}

void Lumvara_TessaroAppDelegate::chooseFontButtonAction(const fnd::Value&)
{
    auto& fonts = gfx::FontManager::shared();
    fonts.setDelegate(self());
    fonts.setTarget(self());
    if (m_currentBarcode)
        fonts.setSelectedFont(m_currentBarcode->font(), false);
    ui::FontPanel::sharedFontPanel()->orderFrontFontPanel({});
}

void Lumvara_TessaroAppDelegate::barcodeWidthChanged(const fnd::Value& sender)
{
    auto width = acceptedLength(sender);
    if (!width)
        return;
    m_currentBarcode->setWidth(*width);
    // The width sets the module width, which the next start must find again.
    defaults().setFloat(static_cast<float>(m_currentBarcode->barWidth()), DefaultBarcodeValueBarWidthKey);
}

long Lumvara_TessaroAppDelegate::validModesForFontPanel(const fnd::Value&)
{
    return ui::FontPanelModeMask::Face | ui::FontPanelModeMask::Size | ui::FontPanelModeMask::Collection;
}

void Lumvara_TessaroAppDelegate::controlTextDidChange(const fnd::Object& notification)
{
    const auto* note = dynamic_cast<const fnd::Notification*>(&notification);
    if (!note)
        return;
    auto control = note->object().objectAs<ui::Control>();
    if (!control)
        return;
    if (control == m_contentTextField)
        contentChanged(note->object());
    else if (control == m_addOnTextField)
        addOnChanged(note->object());
}

// The size lists, read anew each time: another window of the application may have added to them.

std::optional<fnd::Array> Lumvara_TessaroAppDelegate::sizeListForComboBox(const ui::ComboBox& comboBox) const
{
    if (&comboBox == m_fontHeightComboBox.get())
        return Preferences::fontHeightArray();
    if (&comboBox == m_modulWidthComboBox.get())
        return Preferences::modulWidthArray();
    if (&comboBox == m_barcodeHeightComboBox.get())
        return Preferences::barcodeHeightArray();
    return std::nullopt;
}

long Lumvara_TessaroAppDelegate::numberOfItemsInComboBox(ui::ComboBox& comboBox)
{
    auto list = sizeListForComboBox(comboBox);
    return list ? long(list->size()) : 0;
}

fnd::Value Lumvara_TessaroAppDelegate::comboBoxObjectValueForItemAtIndex(ui::ComboBox& comboBox, long index)
{
    auto list = sizeListForComboBox(comboBox);
    if (!list || index < 0 || index >= long(list->size()))
        return fnd::Value(fnd::String());
    return (*list)[std::size_t(index)];
}

std::optional<long> Lumvara_TessaroAppDelegate::comboBoxIndexOfItemWithStringValue(
    ui::ComboBox& comboBox, const fnd::String& string)
{
    auto list = sizeListForComboBox(comboBox);
    auto formatter = comboBox.formatter();
    if (!list || !formatter)
        return long(fnd::NotFound);
    auto parsed = formatter->getObjectValue(string);
    if (!parsed || !parsed->isNumber())
        return long(fnd::NotFound);
    for (std::size_t i = 0; i < list->size(); ++i) {
        const auto& entry = (*list)[i];
        auto container = entry.objectAs<ZORNumberContainer>();
        if (container ? container->isEqualToValue(*parsed) : entry == *parsed)
            return long(i);
    }
    return long(fnd::NotFound);
}

// What the actions share.

void Lumvara_TessaroAppDelegate::applySwitch(
    const fnd::Value& sender, void (TBQGenericBarcode::*set)(bool), const fnd::String& key, Remember remember)
{
    if (!m_currentBarcode)
        return;
    const bool on = isOn(sender);
    ((*m_currentBarcode).*set)(on);
    if (remember == Remember::Always || m_didFinishLaunching)
        defaults().setBool(on, key);
}

void Lumvara_TessaroAppDelegate::applyColor(const fnd::Value& sender,
    void (TBQGenericBarcode::*set)(const std::shared_ptr<gfx::Color>&), const fnd::String& key)
{
    auto color = colorOf(sender);
    if (!m_currentBarcode || !color)
        return;
    ((*m_currentBarcode).*set)(color);
    Preferences::setColor(color, key);
}

std::optional<double> Lumvara_TessaroAppDelegate::acceptedLength(const fnd::Value& sender)
{
    if (!m_currentBarcode)
        return std::nullopt;
    const double length = lengthOf(sender);
    if (length > 0)
        return length;
    updateUI();
    return std::nullopt;
}

void Lumvara_TessaroAppDelegate::applySize(const fnd::Value& sender, void (TBQGenericBarcode::*set)(double),
    double (TBQGenericBarcode::*get)() const, void (*used)(float), const fnd::String& key)
{
    auto length = acceptedLength(sender);
    if (!length)
        return;
    ((*m_currentBarcode).*set)(*length);
    const float stored = static_cast<float>(((*m_currentBarcode).*get)());
    used(stored);
    defaults().setFloat(stored, key);
    // The list may have a new entry: the box shows it as the chosen one.
    updateUI();
}

// The barcode's callbacks.

void Lumvara_TessaroAppDelegate::barcodeChanged(TBQGenericBarcode& barcode)
{
    if (m_previewView && m_previewView->barcode()) {
        const auto* shown = m_previewView->barcode().get();
        auto parent = barcode.parent();
        if (&barcode == shown || parent.get() == shown)
            m_previewView->setNeedsUpdate();
    }
    updateUI();
}

void Lumvara_TessaroAppDelegate::barcodeWorkAreaChanged(TBQGenericBarcode& barcode)
{
    barcodeChanged(barcode);
}

void Lumvara_TessaroAppDelegate::drawingAttributeChanged(TBQGenericBarcode& barcode)
{
    barcodeChanged(barcode);
}

void Lumvara_TessaroAppDelegate::attributesChangedOfDataEntry(TBQDataEntry&)
{
    updateUI();
}
