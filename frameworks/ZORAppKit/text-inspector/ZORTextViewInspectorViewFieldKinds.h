#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include <vector>

namespace fnd {
class ArrayController;
}
namespace gfx {
class Image;
}
class ZORCountryLocale;
class ZORLanguageLocale;

// A five-star rating in a level indicator.
class ZORTextViewInspectorRatingField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorRatingField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorRatingField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorRatingField)
    void init();
    std::shared_ptr<ui::View> viewForField() override;
    void setValue(const fnd::Value& value) override;
    void setEditable(bool flag) override;
    void ratingChanged(const fnd::Value& sender);
};

class ZORTextViewInspectorColorField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorColorField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorColorField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorColorField)
    std::shared_ptr<ui::View> viewForField() override;
    void setValue(const fnd::Value& value) override;
    void colorWellChanged(const fnd::Value& sender);
};

class ZORTextViewInspectorDateField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorDateField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorDateField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorDateField)
    std::shared_ptr<ui::View> viewForField() override;
    void setValue(const fnd::Value& value) override;
    void dateChanged(const fnd::Value& sender);
};

// A check box that may show the mixed state for several selected objects.
class ZORTextViewInspectorCheckboxField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorCheckboxField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorCheckboxField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorCheckboxField)
    void initWithIdentifierAndView(const fnd::String& identifier, std::shared_ptr<ui::View> view,
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label) override;
    std::shared_ptr<ui::View> viewForField() override;
    const fnd::Value& ONValue() const { return m_onValue; }
    void setONValue(const fnd::Value& value) { m_onValue = value; }
    void setValue(const fnd::Value& value) override;
    std::optional<fnd::String> notEditableReplacementString() const override;
    void checkboxStateChanged(const fnd::Value& sender);

protected:
    void copySettingsTo(ZORTextViewInspectorField& copy) const override;

private:
    fnd::Value m_onValue { true };
};

class ZORTextViewInspectorImageField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorImageField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorImageField)
    void initWithIdentifierAndView(const fnd::String& identifier, std::shared_ptr<ui::View> view,
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label) override;
    std::shared_ptr<ui::View> viewForField() override;
    void setValue(const fnd::Value& value) override;
    void setEditable(bool flag) override;
    void setTarget(const std::shared_ptr<fnd::Object>& target);
    void setAction(fnd::Selector action);
};

// A small image button (the URL and e-mail fields' buttons).
class ZORTextViewInspectorSmallButtonField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorSmallButtonField)

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorSmallButtonField)
    // Made here rather than only in the initialiser, so that a copy has a button too.
    std::shared_ptr<ui::View> viewForField() override;
    void setTarget(const std::shared_ptr<fnd::Object>& target);
    void setAction(fnd::Selector action);
    void setImage(const std::shared_ptr<gfx::Image>& image);
};

// A pop-up of countries (or languages) whose value is the chosen entry's code. The pop-up shows the list through an
// array controller: the controller's content is bound to the list, the pop-up's items and choice to the controller.
class ZORTextViewInspectorCountryField : public ZORTextViewInspectorViewField {
    FND_OBJECT(ZORTextViewInspectorCountryField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorCountryField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorCountryField)
    void initWithIdentifierAndView(const fnd::String& identifier, std::shared_ptr<ui::View> view,
        std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label) override;
    std::shared_ptr<ui::View> viewForField() override;
    void setValue(const fnd::Value& value) override;
    std::optional<fnd::String> notEditableReplacementString() const override;
    void countryPopUpButtonChanged(const fnd::Value& sender);
    // The countries offered (by default every country with a name, sorted by it).
    std::vector<std::shared_ptr<ZORCountryLocale>> countryLocales() const;
    void setCountryLocales(const std::vector<std::shared_ptr<ZORCountryLocale>>& locales);
    // Between the list and the pop-up: its arranged objects are the items, its selection the choice.
    const std::shared_ptr<fnd::ArrayController>& localeController() const { return m_localeController; }

protected:
    // Upper-cased codes for countries; languages match as given.
    virtual bool matchesUpperCased() const { return true; }
    virtual fnd::String currentLocaleCode() const;
    // The key the list is reached by, the class of its entries and the list a new field offers.
    virtual fnd::String localesKey() const { return "countryLocales"; }
    virtual const fnd::ClassInfo& localeClass() const;
    virtual fnd::Array defaultLocales() const;
    // The list as locale entry objects; setting it is announced under localesKey(), so the controller follows.
    const fnd::Array& locales() const { return m_locales; }
    void setLocales(fnd::Array locales);
    // The entry of the list for a code, with the fallbacks: the current locale's, then the first; nil without one.
    fnd::Value entryForCode(const fnd::String& code) const;
    // The multiple-values or no-selection text stands in one item after the entries while it is shown.
    void removeStandInItem();

private:
    fnd::Array m_locales;
    std::shared_ptr<fnd::ArrayController> m_localeController;
};

class ZORTextViewInspectorLanguageField : public ZORTextViewInspectorCountryField {
    FND_OBJECT(ZORTextViewInspectorLanguageField)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorLanguageField>& c);

public:
    ZOR_INSPECTOR_FIELD_FACTORIES(ZORTextViewInspectorLanguageField)
    void languagePopUpButtonChanged(const fnd::Value& sender) { countryPopUpButtonChanged(sender); }
    // The languages offered (by default every language with a name, sorted by it).
    std::vector<std::shared_ptr<ZORLanguageLocale>> languageLocales() const;
    void setLanguageLocales(const std::vector<std::shared_ptr<ZORLanguageLocale>>& locales);

protected:
    bool matchesUpperCased() const override { return false; }
    fnd::String currentLocaleCode() const override;
    fnd::String localesKey() const override { return "languageLocales"; }
    const fnd::ClassInfo& localeClass() const override;
    fnd::Array defaultLocales() const override;
};
