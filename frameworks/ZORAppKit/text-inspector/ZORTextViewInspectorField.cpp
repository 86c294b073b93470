#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorField.h"

#include "frameworks/FoundationExtensions/ZORManagedObjectModelExtensions.h"
#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButton.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/model/EntityDescription.h"
#include "platform/foundation/model/ManagedObjectModel.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORTextViewInspectorField, fnd::Object)

namespace {
const fnd::Selector ZORTextViewInspectorFieldLabelChanged { "labelSelectionDidChange:" };
}

void ZORTextViewInspectorField::describeClass(fnd::ClassBuilder<ZORTextViewInspectorField>& c)
{
    c.property(
        "value", [](const ZORTextViewInspectorField& f) { return f.value(); },
        [](ZORTextViewInspectorField& f, const fnd::Value& v) { f.setValue(v); });
    c.property(
        "isValid", [](const ZORTextViewInspectorField& f) { return f.isValid(); },
        [](ZORTextViewInspectorField& f, bool v) { f.setValid(v); });
    c.property(
        "isEditable", [](const ZORTextViewInspectorField& f) { return f.isEditable(); },
        [](ZORTextViewInspectorField& f, bool v) { f.setEditable(v); });
    c.property(
        "isEnabled", [](const ZORTextViewInspectorField& f) { return f.isEnabled(); },
        [](ZORTextViewInspectorField& f, bool v) { f.setEnabled(v); });
    c.property(
        "isHidden", [](const ZORTextViewInspectorField& f) { return f.isHidden(); },
        [](ZORTextViewInspectorField& f, bool v) { f.setHidden(v); });
    c.property(
        "selectedRepresentedObjectOfLabel",
        [](const ZORTextViewInspectorField& f) { return f.selectedRepresentedObjectOfLabel(); },
        [](ZORTextViewInspectorField& f, const fnd::Value& v) { f.setSelectedRepresentedObjectOfLabel(v); });
    c.property(
        "identifier", [](const ZORTextViewInspectorField& f) { return f.identifier(); },
        [](ZORTextViewInspectorField& f, const fnd::String& v) { f.setIdentifier(v); });
    c.property(
        "label", [](const ZORTextViewInspectorField& f) { return f.label(); },
        [](ZORTextViewInspectorField& f, const std::shared_ptr<ZORTextViewInspectorFieldLabel>& v) { f.setLabel(v); });
    c.property(
        "placeholder", [](const ZORTextViewInspectorField& f) { return f.placeholder(); },
        [](ZORTextViewInspectorField& f, std::optional<fnd::String> v) { f.setPlaceholder(std::move(v)); });
    c.property(
        "defaultPlaceholder", [](const ZORTextViewInspectorField& f) { return f.defaultPlaceholder(); },
        [](ZORTextViewInspectorField& f, std::optional<fnd::String> v) { f.setDefaultPlaceholder(std::move(v)); });
    c.property("isLabelHidden", &ZORTextViewInspectorField::isLabelHidden, &ZORTextViewInspectorField::setLabelHidden);
    c.action(ZORTextViewInspectorFieldLabelChanged, &ZORTextViewInspectorField::labelSelectionDidChange);
    c.exposeBinding("value");
    c.exposeBinding("isValid");
    c.exposeBinding("selectedRepresentedObjectOfLabel");
}

fnd::String ZORTextViewInspectorLocalizedString(const fnd::String& key)
{
    auto bundle = ZORNSObject_Extension::bundle(ZORTextViewInspectorField::staticClassInfo());
    return bundle ? bundle->localizedStringForKey(key, "", "ZORTextViewInspector") : fnd::String();
}

ZORTextViewInspectorField::~ZORTextViewInspectorField()
{
    // Bindings end with the object; the pop-up's target is weak.
}

void ZORTextViewInspectorField::init()
{
}

void ZORTextViewInspectorField::initWithIdentifier(
    const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    m_placeholder = placeholder;
    m_defaultPlaceholder = placeholder;
    m_identifier = identifier;
    setLabel(label);
    m_lineFragmentRect = {};
}

void ZORTextViewInspectorField::initWithPropertyName(
    const fnd::String& name, const std::shared_ptr<fnd::EntityDescription>& entity)
{
    ZORTextViewInspectorFieldLabelPtr label;
    std::optional<fnd::String> placeholder;
    if (!name.isEmpty()) {
        fnd::Dictionary localization;
        fnd::String entityName;
        if (entity) {
            entityName = entity->name();
            if (auto model = entity->managedObjectModel())
                localization = model->localizationDictionary();
        }
        label = ZORTextViewInspectorFieldLabel::fieldLabelWithString(
            ZORExtensions::localizedLabelForPropertyName(localization, name, entityName));
        placeholder = ZORExtensions::localizedPlaceholderForPropertyName(localization, name, entityName);
    }
    initWithIdentifier(name, placeholder, label);
    m_entity = entity;
}

void ZORTextViewInspectorField::setNilValueForKey(const fnd::String&)
{
    // A flag bound to a model key that holds nothing yet keeps its state.
}

void ZORTextViewInspectorField::setValid(bool flag)
{
    if (m_isValid == flag)
        return;
    willChangeValueForKey("isValid");
    m_isValid = flag;
    didChangeValueForKey("isValid");
}

bool ZORTextViewInspectorField::shouldBeEnabledWithEditableState(bool) const
{
    auto info = infoForBinding("isEnabled");
    if (!info)
        return true;
    auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
    auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath);
    return !observed || !keyPath.string() || observed->valueForKeyPath(*keyPath.string()).boolValue();
}

void ZORTextViewInspectorField::setValue(const fnd::Value& value)
{
    m_value = value;
}

ZORInspectorValueState ZORTextViewInspectorField::valueState() const
{
    using State = ZORInspectorValueState;
    // An array or a set: one element per selected model object (of a set, any element stands for the one).
    const auto* array = m_value.array();
    const auto* set = m_value.set();
    if (array || set) {
        const std::size_t count = array ? array->size() : set->count();
        if (count == 0)
            return State::NoSelection;
        if (count >= 2) {
            auto* text = dynamic_cast<const ZORTextViewInspectorTextField*>(this);
            return text && text->supportMultipleValues() ? State::SingleValue : State::MultipleValues;
        }
        return (array ? array->front() : set->anyObject()).isNull() ? State::NoValue : State::SingleValue;
    }
    if (m_value.isNil() || m_value.isNull())
        return State::NoValue;
    return State::SingleValue;
}

std::vector<ZORTextViewInspectorFieldLabelPtr> ZORTextViewInspectorField::effectiveLabelArray() const
{
    if (!m_labelArray.empty())
        return m_labelArray;
    if (auto compound = compoundField())
        return compound->effectiveLabelArray();
    return {};
}

bool ZORTextViewInspectorField::shouldDisplayLabelMenu() const
{
    return effectiveLabelArray().size() >= 2 && isEditable();
}

std::shared_ptr<ui::Menu> ZORTextViewInspectorField::labelMenu()
{
    return effectiveLabelArray().size() >= 2 ? createLabelMenu() : nullptr;
}

std::shared_ptr<ui::Menu> ZORTextViewInspectorField::createLabelMenu()
{
    auto labels = effectiveLabelArray();
    if (labels.empty())
        return nullptr;
    std::stable_sort(labels.begin(), labels.end(),
        [](const auto& a, const auto& b) { return fnd::localizedCaseInsensitiveCompare(a->label(), b->label()) < 0; });
    auto menu = ui::Menu::create("");
    auto self = std::static_pointer_cast<fnd::Object>(shared_from_this());
    for (const auto& label : labels) {
        auto item = ui::MenuItem::create(label->label(), ZORTextViewInspectorFieldLabelChanged, "");
        item->setTarget(self);
        item->setRepresentedObject(fnd::Value(label));
        menu->addItem(item);
    }
    return menu;
}

std::shared_ptr<ZORPopUpButton> ZORTextViewInspectorField::labelSelectionPopup()
{
    if (m_labelSelectionPopup)
        return m_labelSelectionPopup;
    auto popup = ZORPopUpButton::create({ 0, 0, 80, 14 }, false);
    if (auto cell = popup->popUpCell())
        cell->setArrowPosition(ui::PopUpArrowPosition::ArrowAtBottom);
    popup->setPreferredEdge(ui::RectEdge::MinX);
    popup->setBezelStyle(ui::BezelStyle::SmallSquare);
    popup->setBordered(false);
    popup->setAlignment(txt::TextAlignment::Right);
    popup->setControlSize(ui::ControlSize::Small);
    popup->setTarget(shared_from_this());
    popup->setAction(ZORTextViewInspectorFieldLabelChanged);
    if (auto menu = labelMenu())
        popup->setMenu(menu);
    m_labelSelectionPopup = popup;
    if (auto item = labelWithRepresentedObject(m_selectedRepresentedObjectOfLabel)) {
        auto index = popup->indexOfItemWithRepresentedObject(fnd::Value(item));
        if (index >= 0)
            popup->selectItemAtIndex(index);
    }
    return popup;
}

void ZORTextViewInspectorField::labelSelectionDidChange(const fnd::Value& sender)
{
    auto item = sender.objectAs<ui::MenuItem>();
    if (!item) {
        // The pop-up itself sends when an item without an action of its own is chosen.
        if (auto popup = sender.objectAs<ui::PopUpButton>())
            item = popup->selectedItem();
    }
    if (!item)
        return;
    auto label = item->representedObject().objectAs<ZORTextViewInspectorFieldLabel>();
    if (label == m_label)
        return;
    auto self = shared_from_this();
    setLabel(label);
    setSelectedRepresentedObjectOfLabel(label ? label->representedObject() : fnd::Value());
    ZORNSObject_Extension::propagateValue(
        *this, m_selectedRepresentedObjectOfLabel, "selectedRepresentedObjectOfLabel");
    if (auto d = std::dynamic_pointer_cast<ZORTextViewInspectorFieldDelegate>(delegate()))
        d->inspectorFieldDidChangeLabelSelection(*this, label);
}

void ZORTextViewInspectorField::setLabel(const ZORTextViewInspectorFieldLabelPtr& label)
{
    if (label == m_label)
        return;
    if (m_label) {
        m_label.reset();
        setSelectedRepresentedObjectOfLabel({});
    }
    if (label) {
        m_label = label;
        setSelectedRepresentedObjectOfLabel(label->representedObject());
    }
    if (m_label && m_label->labelDependentPlaceholder())
        setPlaceholder(m_label->labelDependentPlaceholder());
    else
        setPlaceholder(m_defaultPlaceholder);
}

ZORTextViewInspectorFieldLabelPtr ZORTextViewInspectorField::labelWithRepresentedObject(const fnd::Value& object) const
{
    for (const auto& label : effectiveLabelArray())
        if (!label->representedObject().isNil() && label->representedObject() == object)
            return label;
    return nullptr;
}

void ZORTextViewInspectorField::setSelectedRepresentedObjectOfLabel(const fnd::Value& object)
{
    if (object == m_selectedRepresentedObjectOfLabel && object.isNil() == m_selectedRepresentedObjectOfLabel.isNil())
        return;
    m_selectedRepresentedObjectOfLabel = {};
    if (object.isNil())
        return;
    m_selectedRepresentedObjectOfLabel = object;
    // Without labels to choose from, the label given at creation stays.
    if (!effectiveLabelArray().empty())
        setLabel(labelWithRepresentedObject(object));
    if (m_labelSelectionPopup) {
        auto label = labelWithRepresentedObject(m_selectedRepresentedObjectOfLabel);
        auto index = label ? m_labelSelectionPopup->indexOfItemWithRepresentedObject(fnd::Value(label)) : -1;
        if (index >= 0)
            m_labelSelectionPopup->selectItemAtIndex(index);
    }
}

void ZORTextViewInspectorField::setCompoundField(const std::shared_ptr<ZORTextViewInspectorCompoundField>& field)
{
    m_compoundField = field;
}

bool ZORTextViewInspectorField::isSubFieldOf(const ZORTextViewInspectorField& field) const
{
    if (&field == this)
        return true;
    for (auto compound = compoundField(); compound; compound = compound->compoundField())
        if (compound.get() == &field)
            return true;
    return false;
}

bool ZORTextViewInspectorField::shouldBeVisibleWithEditableState(bool editable) const
{
    if (auto compound = compoundField(); compound && !compound->shouldBeVisibleWithEditableState(editable))
        return false;
    if (m_suppressFieldIfNotEditable && !editable)
        return false;
    if (m_isHidden)
        return false;
    if (m_conditionallySetsHidden && valueState() == ZORInspectorValueState::NoValue)
        return false;
    return true;
}

void ZORTextViewInspectorField::hasBecomeVisibleInInspector(const std::shared_ptr<ZORTextViewInspector>& inspector)
{
    m_textViewInspector = inspector;
}

std::shared_ptr<ZORTextViewInspectorField> ZORTextViewInspectorField::copy() const
{
    auto label = m_label ? m_label->copy() : nullptr;
    auto made = std::dynamic_pointer_cast<ZORTextViewInspectorField>(fnd::ClassRegistry::shared().create(className()));
    if (!made)
        return nullptr;
    made->initWithIdentifier(m_identifier, m_placeholder, label);
    copySettingsTo(*made);
    return made;
}

void ZORTextViewInspectorField::copySettingsTo(ZORTextViewInspectorField& copy) const
{
    copy.m_labelArray = m_labelArray;
    copy.m_selectedRepresentedObjectOfLabel = copy.m_label ? copy.m_label->representedObject() : fnd::Value();
    copy.m_isSeparator = m_isSeparator;
    copy.setEditable(m_isEditable);
    copy.setEnabled(m_isEnabled);
    copy.m_isHidden = m_isHidden;
    copy.m_isLabelHidden = m_isLabelHidden;
    copy.m_isValid = m_isValid;
    copy.m_shouldAppendNewline = m_shouldAppendNewline;
    copy.m_suppressFieldIfNotEditable = m_suppressFieldIfNotEditable;
    copy.m_minimumHeight = m_minimumHeight;
    copy.m_suppressMinimumHeight = m_suppressMinimumHeight;
    copy.m_conditionallySetsHidden = m_conditionallySetsHidden;
    copy.m_entity = m_entity;
    copy.setPlaceholder(m_placeholder);
    copy.setDelegate(delegate());
}
