#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/FoundationExtensions/ZORLanguageLocale.h"
#include "frameworks/ZORAppKit/ZORImageView/ZORImageView.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/graphics/Image.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/LevelIndicator.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/DatePicker.h"
#include "platform/ui/text/DatePickerCell.h"

FND_REGISTER_CLASS(ZORTextViewInspectorRatingField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorColorField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorDateField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorCheckboxField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorImageField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorSmallButtonField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorCountryField, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorLanguageField, ZORTextViewInspectorCountryField)

namespace {

fnd::Array ZORTextViewInspectorKindsDistinct(const fnd::Array& array)
{
    fnd::Array distinct;
    for (const auto& element : array)
        if (std::find(distinct.begin(), distinct.end(), element) == distinct.end())
            distinct.push_back(element);
    return distinct;
}

template <typename T> std::shared_ptr<T> ZORTextViewInspectorKindsControl(const ZORTextViewInspectorViewField& field)
{
    return std::dynamic_pointer_cast<T>(field.view());
}

std::shared_ptr<gfx::Font> ZORTextViewInspectorKindsSmallFont()
{
    return gfx::Font::systemFontOfSize(gfx::Font::systemFontSizeForControlSize(gfx::ControlSize::Small));
}

}

// Rating.

void ZORTextViewInspectorRatingField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorRatingField>& c)
{
    c.action("ratingChanged:", &ZORTextViewInspectorRatingField::ratingChanged);
}

void ZORTextViewInspectorRatingField::init()
{
    ZORTextViewInspectorViewField::init();
}

std::shared_ptr<ui::View> ZORTextViewInspectorRatingField::viewForField()
{
    auto indicator = ui::LevelIndicator::create({ 0, 0, 96, 14 });
    indicator->setControlSize(ui::ControlSize::Regular);
    indicator->setMinValue(0);
    indicator->setMaxValue(5);
    indicator->setEditable(true);
    indicator->setLevelIndicatorStyle(ui::LevelIndicatorStyle::Rating);
    indicator->setTarget(shared_from_this());
    indicator->setAction("ratingChanged:");
    setViewWidthShouldBeAdjusted(false);
    setViewShouldAlwaysBeVisible(true);
    return indicator;
}

void ZORTextViewInspectorRatingField::setValue(const fnd::Value& value)
{
    if (auto indicator = ZORTextViewInspectorKindsControl<ui::LevelIndicator>(*this)) {
        if (const auto* number = value.number()) {
            indicator->setIntegerValue(static_cast<std::int64_t>(number->unsignedValue()));
        } else if (const auto* array = value.array()) {
            auto distinct = ZORTextViewInspectorKindsDistinct(*array);
            indicator->setIntegerValue(distinct.size() == 1 ? distinct.front().integerValue() : 0);
        } else if (value.isNil() || value.isNull()) {
            // Nothing to show must not keep the previous object's stars.
            indicator->setIntegerValue(0);
        }
    }
    ZORTextViewInspectorViewField::setValue(value);
}

void ZORTextViewInspectorRatingField::setEditable(bool flag)
{
    if (auto indicator = ZORTextViewInspectorKindsControl<ui::LevelIndicator>(*this))
        indicator->setEditable(flag);
    ZORTextViewInspectorViewField::setEditable(flag);
}

void ZORTextViewInspectorRatingField::ratingChanged(const fnd::Value&)
{
    if (auto indicator = ZORTextViewInspectorKindsControl<ui::LevelIndicator>(*this))
        takeValueFromControl(fnd::Value(static_cast<long long>(indicator->integerValue())));
}

// Colour.

void ZORTextViewInspectorColorField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorColorField>& c)
{
    c.action("colorWellChanged:", &ZORTextViewInspectorColorField::colorWellChanged);
}

std::shared_ptr<ui::View> ZORTextViewInspectorColorField::viewForField()
{
    auto well = ui::ColorWell::create({ 0, 0, 100, 24 });
    well->setTarget(shared_from_this());
    well->setAction("colorWellChanged:");
    return well;
}

void ZORTextViewInspectorColorField::setValue(const fnd::Value& value)
{
    if (auto well = ZORTextViewInspectorKindsControl<ui::ColorWell>(*this)) {
        if (auto color = value.objectAs<gfx::Color>()) {
            well->setColor(color);
        } else if (const auto* array = value.array()) {
            auto distinct = ZORTextViewInspectorKindsDistinct(*array);
            auto single = distinct.size() == 1 ? distinct.front().objectAs<gfx::Color>() : nullptr;
            well->setColor(single);
        } else {
            well->setColor(gfx::Color::blackColor());
        }
    }
    ZORTextViewInspectorViewField::setValue(value);
}

void ZORTextViewInspectorColorField::colorWellChanged(const fnd::Value&)
{
    if (auto well = ZORTextViewInspectorKindsControl<ui::ColorWell>(*this))
        takeValueFromControl(well->color() ? fnd::Value(well->color()) : fnd::Value());
}

// Date.

void ZORTextViewInspectorDateField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorDateField>& c)
{
    c.action("dateChanged:", &ZORTextViewInspectorDateField::dateChanged);
}

std::shared_ptr<ui::View> ZORTextViewInspectorDateField::viewForField()
{
    auto picker = ui::DatePicker::create({ 0, 0, 68, 18 });
    picker->setDatePickerStyle(ui::DatePickerStyle::TextField);
    picker->setDatePickerMode(ui::DatePickerMode::Single);
    picker->setDatePickerElements(0xe0);
    picker->setControlSize(ui::ControlSize::Small);
    picker->setFont(ZORTextViewInspectorKindsSmallFont());
    picker->setFocusRingType(ui::FocusRingType::None);
    // 68 points cut the year in our font: the picker is at least as wide as the locale's widest date.
    if (auto cell = picker->cell()) {
        auto fitting = cell->cellSizeForBounds(picker->bounds());
        if (fitting.width > picker->frame().width())
            picker->setFrameSize({ fitting.width, picker->frame().height() });
    }
    picker->setTarget(shared_from_this());
    picker->setAction("dateChanged:");
    setViewWidthShouldBeAdjusted(false);
    setViewShouldAlwaysBeVisible(false);
    return picker;
}

void ZORTextViewInspectorDateField::setValue(const fnd::Value& value)
{
    if (auto picker = ZORTextViewInspectorKindsControl<ui::DatePicker>(*this)) {
        if (const auto* date = value.date()) {
            if (picker->dateValue() != *date)
                picker->setDateValue(*date);
        } else {
            picker->setDateValue(std::nullopt);
        }
    }
    ZORTextViewInspectorViewField::setValue(value);
}

void ZORTextViewInspectorDateField::dateChanged(const fnd::Value&)
{
    if (auto picker = ZORTextViewInspectorKindsControl<ui::DatePicker>(*this)) {
        auto date = picker->dateValue();
        takeValueFromControl(date ? fnd::Value(*date) : fnd::Value());
    }
}

// Check box.

void ZORTextViewInspectorCheckboxField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorCheckboxField>& c)
{
    c.action("checkboxStateChanged:", &ZORTextViewInspectorCheckboxField::checkboxStateChanged);
}

void ZORTextViewInspectorCheckboxField::initWithIdentifierAndView(const fnd::String& identifier,
    std::shared_ptr<ui::View> view, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorViewField::initWithIdentifierAndView(
        identifier, std::move(view), std::move(placeholder), std::move(label));
    setViewWidthShouldBeAdjusted(true);
    m_onValue = fnd::Value(true);
}

std::shared_ptr<ui::View> ZORTextViewInspectorCheckboxField::viewForField()
{
    auto box = ui::Button::create({ 0, 0, 126, 21 }, "");
    box->setButtonType(ui::ButtonType::Switch);
    box->setControlSize(ui::ControlSize::Small);
    box->setFont(ZORTextViewInspectorKindsSmallFont());
    box->setTitle("");
    box->setTarget(shared_from_this());
    box->setAction("checkboxStateChanged:");
    return box;
}

void ZORTextViewInspectorCheckboxField::setValue(const fnd::Value& value)
{
    if (auto box = ZORTextViewInspectorKindsControl<ui::Button>(*this)) {
        box->setAllowsMixedState(false);
        box->setEnabled(!value.isNil());
        if (value.isNumber()) {
            box->setState(value == m_onValue ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
        } else if (const auto* array = value.array()) {
            auto distinct = ZORTextViewInspectorKindsDistinct(*array);
            if (distinct.size() >= 2) {
                box->setAllowsMixedState(true);
                box->setState(ui::ControlStateValue::Mixed);
            } else if (distinct.empty()) {
                box->setState(ui::ControlStateValue::Off);
                box->setEnabled(false);
            } else {
                box->setState(distinct.front() == m_onValue ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
            }
        }
    }
    ZORTextViewInspectorViewField::setValue(value);
}

std::optional<fnd::String> ZORTextViewInspectorCheckboxField::notEditableReplacementString() const
{
    if (auto own = ZORTextViewInspectorViewField::notEditableReplacementString())
        return own;
    auto box = ZORTextViewInspectorKindsControl<ui::Button>(*this);
    if (!box)
        return std::nullopt;
    auto main = fnd::Bundle::mainBundle();
    switch (box->state()) {
    case ui::ControlStateValue::Mixed:
        return main ? main->localizedStringForKey("MultipleValues", "") : fnd::String();
    case ui::ControlStateValue::Off:
        return std::nullopt;
    case ui::ControlStateValue::On:
        return main ? main->localizedStringForKey("YES", "") : fnd::String();
    }
    return std::nullopt;
}

void ZORTextViewInspectorCheckboxField::checkboxStateChanged(const fnd::Value&)
{
    auto box = ZORTextViewInspectorKindsControl<ui::Button>(*this);
    if (!box)
        return;
    box->setAllowsMixedState(false);
    fnd::Value chosen;
    if (box->state() == ui::ControlStateValue::On)
        chosen = m_onValue;
    else if (box->state() == ui::ControlStateValue::Off)
        chosen = fnd::Value(0);
    takeValueFromControl(chosen);
}

void ZORTextViewInspectorCheckboxField::copySettingsTo(ZORTextViewInspectorField& copy) const
{
    ZORTextViewInspectorViewField::copySettingsTo(copy);
    static_cast<ZORTextViewInspectorCheckboxField&>(copy).m_onValue = m_onValue;
}

// Image.

void ZORTextViewInspectorImageField::initWithIdentifierAndView(const fnd::String& identifier,
    std::shared_ptr<ui::View> view, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorViewField::initWithIdentifierAndView(
        identifier, std::move(view), std::move(placeholder), std::move(label));
    setMinimumHeight(120);
}

std::shared_ptr<ui::View> ZORTextViewInspectorImageField::viewForField()
{
    return ZORImageView::create({ 0, 0, 120, 120 });
}

void ZORTextViewInspectorImageField::setValue(const fnd::Value& value)
{
    if (auto view = ZORTextViewInspectorKindsControl<ZORImageView>(*this))
        view->setImage(value.objectAs<gfx::Image>());
    ZORTextViewInspectorViewField::setValue(value);
}

void ZORTextViewInspectorImageField::setEditable(bool flag)
{
    ZORTextViewInspectorViewField::setEditable(flag);
    if (auto view = ZORTextViewInspectorKindsControl<ZORImageView>(*this))
        view->setEditable(true);
}

void ZORTextViewInspectorImageField::setTarget(const std::shared_ptr<fnd::Object>& target)
{
    if (auto view = ZORTextViewInspectorKindsControl<ZORImageView>(*this))
        view->setTarget(target);
}

void ZORTextViewInspectorImageField::setAction(fnd::Selector action)
{
    if (auto view = ZORTextViewInspectorKindsControl<ZORImageView>(*this))
        view->setAction(action);
}

// Small button.

std::shared_ptr<ui::View> ZORTextViewInspectorSmallButtonField::viewForField()
{
    auto button = ui::Button::create({ 0, 0, 14, 18 }, "");
    button->setBezelStyle(ui::BezelStyle::RegularSquare);
    button->setImageScaling(ui::ImageScaling::ProportionallyDown);
    button->setButtonType(ui::ButtonType::MomentaryPushIn);
    button->setImagePosition(ui::CellImagePosition::ImageOnly);
    button->setBordered(false);
    button->setControlSize(ui::ControlSize::Regular);
    setViewWidthShouldBeAdjusted(false);
    return button;
}

void ZORTextViewInspectorSmallButtonField::setTarget(const std::shared_ptr<fnd::Object>& target)
{
    if (auto button = ZORTextViewInspectorKindsControl<ui::Button>(*this))
        button->setTarget(target);
}

void ZORTextViewInspectorSmallButtonField::setAction(fnd::Selector action)
{
    if (auto button = ZORTextViewInspectorKindsControl<ui::Button>(*this))
        button->setAction(action);
}

void ZORTextViewInspectorSmallButtonField::setImage(const std::shared_ptr<gfx::Image>& image)
{
    if (auto button = ZORTextViewInspectorKindsControl<ui::Button>(*this))
        button->setImage(image);
}

// Country and language.

namespace {
template <typename Entry>
fnd::Array ZORTextViewInspectorKindsArrayOfLocales(const std::vector<std::shared_ptr<Entry>>& list)
{
    fnd::Array array;
    array.reserve(list.size());
    for (const auto& entry : list)
        if (entry)
            array.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(entry)));
    return array;
}

template <typename Entry>
std::vector<std::shared_ptr<Entry>> ZORTextViewInspectorKindsLocalesOfArray(const fnd::Array& array)
{
    std::vector<std::shared_ptr<Entry>> list;
    list.reserve(array.size());
    for (const auto& element : array)
        if (auto entry = element.objectAs<Entry>())
            list.push_back(std::move(entry));
    return list;
}

// Only entries of the field's own kind are offered: anything else in a list set by key has no code to give.
fnd::Array ZORTextViewInspectorKindsLocalesOfClass(const fnd::Value& value, const fnd::ClassInfo& entryClass)
{
    fnd::Array kept;
    if (const auto* array = value.array())
        for (const auto& element : *array)
            if (element.isObject() && element.object() && element.object()->isKindOf(entryClass))
                kept.push_back(element);
    return kept;
}

fnd::String ZORTextViewInspectorKindsCodeOf(const fnd::Value& entry)
{
    return entry.isObject() && entry.object() ? entry.object()->valueForKey("localeIdentifier").stringValue()
                                              : fnd::String();
}
}

void ZORTextViewInspectorCountryField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorCountryField>& c)
{
    c.action("countryPopUpButtonChanged:", &ZORTextViewInspectorCountryField::countryPopUpButtonChanged);
    c.property(
        "countryLocales", [](const ZORTextViewInspectorCountryField& f) { return fnd::Value(f.locales()); },
        [](ZORTextViewInspectorCountryField& f, const fnd::Value& v) {
            f.setLocales(ZORTextViewInspectorKindsLocalesOfClass(v, f.localeClass()));
        });
}

void ZORTextViewInspectorLanguageField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorLanguageField>& c)
{
    c.action("languagePopUpButtonChanged:", &ZORTextViewInspectorLanguageField::languagePopUpButtonChanged);
    c.property(
        "languageLocales", [](const ZORTextViewInspectorLanguageField& f) { return fnd::Value(f.locales()); },
        [](ZORTextViewInspectorLanguageField& f, const fnd::Value& v) {
            f.setLocales(ZORTextViewInspectorKindsLocalesOfClass(v, f.localeClass()));
        });
}

std::vector<std::shared_ptr<ZORCountryLocale>> ZORTextViewInspectorCountryField::countryLocales() const
{
    return ZORTextViewInspectorKindsLocalesOfArray<ZORCountryLocale>(m_locales);
}

void ZORTextViewInspectorCountryField::setCountryLocales(const std::vector<std::shared_ptr<ZORCountryLocale>>& locales)
{
    setLocales(ZORTextViewInspectorKindsArrayOfLocales(locales));
}

std::vector<std::shared_ptr<ZORLanguageLocale>> ZORTextViewInspectorLanguageField::languageLocales() const
{
    return ZORTextViewInspectorKindsLocalesOfArray<ZORLanguageLocale>(locales());
}

void ZORTextViewInspectorLanguageField::setLanguageLocales(
    const std::vector<std::shared_ptr<ZORLanguageLocale>>& locales)
{
    setLocales(ZORTextViewInspectorKindsArrayOfLocales(locales));
}

void ZORTextViewInspectorCountryField::setLocales(fnd::Array locales)
{
    const auto key = localesKey();
    willChangeValueForKey(key);
    m_locales = std::move(locales);
    didChangeValueForKey(key);
}

const fnd::ClassInfo& ZORTextViewInspectorCountryField::localeClass() const
{
    return ZORCountryLocale::staticClassInfo();
}

const fnd::ClassInfo& ZORTextViewInspectorLanguageField::localeClass() const
{
    return ZORLanguageLocale::staticClassInfo();
}

fnd::Array ZORTextViewInspectorCountryField::defaultLocales() const
{
    return ZORTextViewInspectorKindsArrayOfLocales(ZORCountryLocale::supportedCountryLocalesSortedByDisplayName());
}

fnd::Array ZORTextViewInspectorLanguageField::defaultLocales() const
{
    return ZORTextViewInspectorKindsArrayOfLocales(ZORLanguageLocale::supportedLanguageLocalesSortedByDisplayName());
}

fnd::String ZORTextViewInspectorCountryField::currentLocaleCode() const
{
    return fnd::Locale::current().countryCode();
}

fnd::String ZORTextViewInspectorLanguageField::currentLocaleCode() const
{
    return fnd::Locale::current().languageCode();
}

void ZORTextViewInspectorCountryField::initWithIdentifierAndView(const fnd::String& identifier,
    std::shared_ptr<ui::View> view, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorViewField::initWithIdentifierAndView(
        identifier, std::move(view), std::move(placeholder), std::move(label));
    setViewWidthShouldBeAdjusted(true);

    m_localeController = fnd::makeObject<fnd::ArrayController>();
    m_localeController->setObjectClass(&localeClass());
    m_localeController->bind(fnd::BindingName::ContentArray, *this, localesKey());
    if (auto popup = ZORTextViewInspectorKindsControl<ui::PopUpButton>(*this)) {
        const fnd::Dictionary options { { fnd::BindingOption::MultipleValuesPlaceholder, "Multiple Values" },
            { fnd::BindingOption::AllowsEditingMultipleValuesSelection, true } };
        popup->bind(fnd::BindingName::Content, *m_localeController, "arrangedObjects", options);
        popup->bind(fnd::BindingName::SelectedIndex, *m_localeController, "selectionIndex", options);
        popup->bind(fnd::BindingName::ContentObjects, *m_localeController, "arrangedObjects.self");
        popup->bind(fnd::BindingName::ContentValues, *m_localeController, "arrangedObjects.displayName");
    }
    // Only now, so that the pop-up fills from the list through the bindings.
    setLocales(defaultLocales());
}

std::shared_ptr<ui::View> ZORTextViewInspectorCountryField::viewForField()
{
    auto popup = ui::PopUpButton::create({ 0, 0, 126, 21 }, false);
    popup->setControlSize(ui::ControlSize::Small);
    popup->setFont(ZORTextViewInspectorKindsSmallFont());
    popup->setTarget(shared_from_this());
    popup->setAction(matchesUpperCased() ? "countryPopUpButtonChanged:" : "languagePopUpButtonChanged:");
    return popup;
}

fnd::Value ZORTextViewInspectorCountryField::entryForCode(const fnd::String& code) const
{
    auto lastWith = [&](const fnd::String& wanted) -> fnd::Value {
        fnd::Value found;
        for (const auto& entry : m_locales)
            if (ZORTextViewInspectorKindsCodeOf(entry) == wanted)
                found = entry;
        return found;
    };
    auto entry = lastWith(matchesUpperCased() ? code.uppercaseString() : code);
    if (entry.isNil())
        entry = lastWith(currentLocaleCode());
    if (entry.isNil() && !m_locales.empty())
        entry = m_locales.front();
    return entry;
}

void ZORTextViewInspectorCountryField::removeStandInItem()
{
    auto popup = ZORTextViewInspectorKindsControl<ui::PopUpButton>(*this);
    if (!popup || !m_localeController)
        return;
    const auto count = static_cast<long>(m_localeController->arrangedObjects().size());
    while (popup->numberOfItems() > count)
        popup->removeItemAtIndex(popup->numberOfItems() - 1);
}

void ZORTextViewInspectorCountryField::setValue(const fnd::Value& value)
{
    auto popup = ZORTextViewInspectorKindsControl<ui::PopUpButton>(*this);
    auto* controller = m_localeController.get();
    // Selects an entry by its place, so that of two equal entries the one found is the one chosen.
    auto select = [&](const fnd::Value& entry) {
        const auto& arranged = controller->arrangedObjects();
        fnd::IndexSet indexes;
        for (std::size_t i = 0; i < arranged.size(); ++i)
            if (entry.isObject() && arranged[i].isObject() && arranged[i].object() == entry.object()) {
                indexes = fnd::IndexSet(i);
                break;
            }
        controller->setSelectionIndexes(indexes);
    };
    if (popup && controller && (value.string() || value.array())) {
        removeStandInItem();
        if (const auto* string = value.string()) {
            select(entryForCode(*string));
        } else {
            fnd::Array mapped;
            for (const auto& element : *value.array())
                mapped.push_back(element.string() ? entryForCode(*element.string()) : element);
            auto distinct = ZORTextViewInspectorKindsDistinct(mapped);
            if (distinct.size() == 1) {
                select(distinct.front());
                popup->setEnabled(true);
            } else {
                controller->setSelectionIndexes({});
                popup->setTitle(ZORTextViewInspectorLocalizedString(
                    distinct.size() >= 2 ? "ZORTextViewInspectorMultipleValues" : "ZORTextViewInspectorNoSelection"));
                popup->setEnabled(!distinct.empty());
            }
        }
    }
    ZORTextViewInspectorViewField::setValue(value);
}

std::optional<fnd::String> ZORTextViewInspectorCountryField::notEditableReplacementString() const
{
    if (auto own = ZORTextViewInspectorViewField::notEditableReplacementString())
        return own;
    auto popup = ZORTextViewInspectorKindsControl<ui::PopUpButton>(*this);
    return popup ? std::optional<fnd::String>(popup->titleOfSelectedItem()) : std::nullopt;
}

void ZORTextViewInspectorCountryField::countryPopUpButtonChanged(const fnd::Value&)
{
    auto popup = ZORTextViewInspectorKindsControl<ui::PopUpButton>(*this);
    if (!popup || !m_localeController)
        return;
    const auto& arranged = m_localeController->arrangedObjects();
    auto index = popup->indexOfSelectedItem();
    // The stand-in text is no choice.
    if (index < 0 || static_cast<std::size_t>(index) >= arranged.size())
        return;
    auto code = ZORTextViewInspectorKindsCodeOf(arranged[static_cast<std::size_t>(index)]);
    removeStandInItem();
    takeValueFromControl(fnd::Value(code));
}
