#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarBundle.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <algorithm>

FND_REGISTER_CLASS(KRScopeBarGroup, fnd::Object)

namespace {

fnd::String krScopeBarGroupText(const char* key)
{
    auto bundle = KRScopeBarBundle::bundle();
    return bundle ? bundle->localizedStringForKey(key, key, "KRScopeBar") : fnd::String(key);
}

void krScopeBarGroupRaise(const fnd::String& name, const char* reason)
{
    throw fnd::Exception(name, reason);
}

// Whether two optional strings count as equal for the label setters (a stored nil never does).
bool krScopeBarGroupSameText(const std::optional<fnd::String>& stored, const std::optional<fnd::String>& value)
{
    return stored && value && *stored == *value;
}

}

void KRScopeBarGroup::describeClass(fnd::ClassBuilder<KRScopeBarGroup>& c)
{
    c.exposeBinding(fnd::BindingName::Content);
    c.exposeBinding(fnd::BindingName::ContentValues);
    c.exposeBinding("image");
    c.property(
        "content", [](const KRScopeBarGroup&) { return fnd::Value(); },
        [](KRScopeBarGroup& g, fnd::Value v) { g.setContent(v); });
    c.property(
        "contentValues", [](const KRScopeBarGroup&) { return fnd::Value(); },
        [](KRScopeBarGroup& g, fnd::Value v) { g.setContentValues(v); });
    c.property(
        "image", [](const KRScopeBarGroup&) { return fnd::Value(); },
        [](KRScopeBarGroup& g, fnd::Value v) { g.setImage(v); });
    c.property(
        "identifier", [](const KRScopeBarGroup& g) { return g.identifier(); },
        [](KRScopeBarGroup& g, std::optional<fnd::String> v) { g.setIdentifier(std::move(v)); });
    c.property(
        "label", [](const KRScopeBarGroup& g) { return g.label(); },
        [](KRScopeBarGroup& g, std::optional<fnd::String> v) { g.setLabel(std::move(v)); });
    c.property("groupSelectionStyle", &KRScopeBarGroup::groupSelectionStyle, &KRScopeBarGroup::setGroupSelectionStyle);
    c.property("showsSeparator", &KRScopeBarGroup::showsSeparator, &KRScopeBarGroup::setShowsSeparator);
    c.property("showsLabel", &KRScopeBarGroup::showsLabel, &KRScopeBarGroup::setShowsLabel);
    c.property("collapsed", &KRScopeBarGroup::isCollapsed, &KRScopeBarGroup::setCollapsed);
    c.property(
        "selectionIndexes", [](const KRScopeBarGroup& g) { return g.selectionIndexes(); },
        [](KRScopeBarGroup& g, fnd::IndexSet v) { g.setSelectionIndexes(v); });
}

KRScopeBarGroup::~KRScopeBarGroup()
{
    if (auto owner = m_observedSelectionOwner.lock())
        owner->removeObserver(*this, fnd::BindingName::SelectionIndexes);
}

void KRScopeBarGroup::initWithIdentifier(std::optional<fnd::String> identifier, std::int32_t style)
{
    m_identifier = std::move(identifier);
    m_selectionStyle = style;
    m_showsSeparator = true;
    m_selectionIndexes = {};
}

std::shared_ptr<KRScopeBarGroup> KRScopeBarGroup::create(std::optional<fnd::String> identifier, std::int32_t style)
{
    auto group = std::make_shared<KRScopeBarGroup>();
    group->initWithIdentifier(std::move(identifier), style);
    return group;
}

void KRScopeBarGroup::refreshBar()
{
    auto bar = scopeBar();
    if (!bar)
        return;
    auto index = bar->indexOfGroup(*this);
    if (index != fnd::NotFound)
        bar->reloadDataForGroup(static_cast<std::uint64_t>(index));
}

// Labels and placeholders.

void KRScopeBarGroup::setLabel(std::optional<fnd::String> label)
{
    if (krScopeBarGroupSameText(m_label, label))
        return;
    m_label = std::move(label);
    m_showsLabel = m_label || m_attributedLabel;
    refreshBar();
}

std::shared_ptr<txt::AttributedString> KRScopeBarGroup::attributedLabel() const
{
    if (m_attributedLabel)
        return std::make_shared<txt::AttributedString>(*m_attributedLabel);
    if (!m_label)
        return nullptr;
    txt::Attributes attributes;
    if (auto bar = scopeBar()) {
        if (bar->labelColor())
            attributes.set(txt::ForegroundColorAttributeName, fnd::Value(bar->labelColor()));
        attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(11.0)));
    }
    return std::make_shared<txt::AttributedString>(*m_label, attributes);
}

void KRScopeBarGroup::setAttributedLabel(const std::shared_ptr<txt::AttributedString>& label)
{
    if (m_attributedLabel && label && m_attributedLabel->isEqual(*label))
        return;
    m_attributedLabel = label ? std::make_shared<txt::AttributedString>(*label) : nullptr;
    m_showsLabel = m_label || m_attributedLabel;
    refreshBar();
}

fnd::String KRScopeBarGroup::multipleSelectionPlaceholder() const
{
    return m_multipleSelectionPlaceholder ? *m_multipleSelectionPlaceholder : krScopeBarGroupText("<Multiple>");
}

void KRScopeBarGroup::setMultipleSelectionPlaceholder(std::optional<fnd::String> text)
{
    if (krScopeBarGroupSameText(m_multipleSelectionPlaceholder, text))
        return;
    m_multipleSelectionPlaceholder = std::move(text);
    refreshBar();
}

fnd::String KRScopeBarGroup::noSelectionPlaceholder() const
{
    if (m_noSelectionPlaceholder)
        return *m_noSelectionPlaceholder;
    if (m_identifier)
        return *m_identifier;
    return krScopeBarGroupText("<Untitled>");
}

void KRScopeBarGroup::setNoSelectionPlaceholder(std::optional<fnd::String> text)
{
    if (krScopeBarGroupSameText(m_noSelectionPlaceholder, text))
        return;
    m_noSelectionPlaceholder = std::move(text);
    refreshBar();
}

// Flags.

void KRScopeBarGroup::setGroupSelectionStyle(std::int32_t style)
{
    m_selectionStyle = style;
    refreshBar();
}

void KRScopeBarGroup::setShowsSeparator(bool flag)
{
    m_showsSeparator = flag;
    refreshBar();
}

void KRScopeBarGroup::setShowsLabel(bool flag)
{
    m_showsLabel = flag;
    refreshBar();
}

void KRScopeBarGroup::setCollapsed(bool flag)
{
    if (flag == m_collapsed)
        return;
    if (auto bar = scopeBar()) {
        if (flag && bar->delegateImplementsShouldCollapse_() && !bar->delegateShouldCollapseGroup(*this))
            return;
        if (!flag && bar->delegateImplementsShouldExpand_() && !bar->delegateShouldExpandGroup(*this))
            return;
    }
    m_collapsed = flag;
}

// Bindings.

void KRScopeBarGroup::setContent(const fnd::Value&)
{
    if (usesBindings())
        refreshBar();
}

void KRScopeBarGroup::setContentValues(const fnd::Value&)
{
    if (usesBindings())
        refreshBar();
}

void KRScopeBarGroup::setImage(const fnd::Value&)
{
    if (usesBindings())
        refreshBar();
}

bool KRScopeBarGroup::usesBindings() const
{
    return infoForBinding(fnd::BindingName::Content).has_value();
}

void KRScopeBarGroup::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    fnd::Object::bind(binding, observable, keyPath, options);
    if (binding != fnd::BindingName::Content)
        return;
    if (auto old = m_observedSelectionOwner.lock())
        old->removeObserver(*this, fnd::BindingName::SelectionIndexes);
    observable.addObserver(*this, fnd::BindingName::SelectionIndexes, fnd::KeyValueObservingOptions::New);
    m_observedSelectionOwner = fnd::WeakObjectRef(observable);
}

void KRScopeBarGroup::unbind(const fnd::String& binding)
{
    if (binding == fnd::BindingName::Content) {
        if (auto owner = m_observedSelectionOwner.lock())
            owner->removeObserver(*this, fnd::BindingName::SelectionIndexes);
        m_observedSelectionOwner = {};
    }
    fnd::Object::unbind(binding);
}

void KRScopeBarGroup::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange&, const void*)
{
    if (keyPath != fnd::BindingName::SelectionIndexes)
        return;
    auto* controller = dynamic_cast<fnd::ArrayController*>(&object);
    fnd::assertThat(controller != nullptr,
        "KRScopeBarGroup: Observing selectionIndexes from object not of class NSArrayController");
    if (controller)
        setSelectionIndexes(controller->selectionIndexes());
}

std::optional<fnd::Array> KRScopeBarGroup::boundContent() const
{
    auto info = infoForBinding(fnd::BindingName::Content);
    if (!info)
        return std::nullopt;
    auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
    if (!observed)
        return fnd::Array {};
    auto value = observed->valueForKeyPath(info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue());
    if (const auto* array = value.array())
        return *array;
    return fnd::Array {};
}

std::optional<fnd::Value> KRScopeBarGroup::boundElement(const fnd::String& binding, std::uint64_t index) const
{
    auto info = infoForBinding(binding);
    if (!info)
        return std::nullopt;
    auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
    if (!observed)
        return fnd::Value();
    auto value = observed->valueForKeyPath(info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue());
    const auto* array = value.array();
    if (!array || index >= array->size())
        return fnd::Value();
    return (*array)[index];
}

// Objects.

std::uint64_t KRScopeBarGroup::numberOfObjects() const
{
    if (auto content = boundContent())
        return content->size();
    // Outside a bar there is no data source to ask: no objects (callers compare indexes with this count).
    auto bar = scopeBar();
    auto* dataSource = bar ? bar->dataSourceInterface() : nullptr;
    if (!dataSource)
        return 0;
    auto index = bar->indexOfGroup(*this);
    if (index == fnd::NotFound)
        return 0;
    return dataSource->scopeBarNumberOfObjectsInScopeBarGroup(*bar, static_cast<std::uint64_t>(index));
}

fnd::Value KRScopeBarGroup::objectAtIndex(std::uint64_t index) const
{
    if (index >= numberOfObjects())
        krScopeBarGroupRaise(fnd::ExceptionName::Range, "KRScopeBarGroup:objectAtIndex: objectIndex invalid");
    if (auto content = boundContent())
        return (*content)[index];
    auto bar = scopeBar();
    auto* dataSource = bar ? bar->dataSourceInterface() : nullptr;
    if (!dataSource)
        return {};
    auto groupIndex = bar->indexOfGroup(*this);
    if (groupIndex == fnd::NotFound)
        return {};
    return dataSource->scopeBarValueForObjectInGroup(*bar, static_cast<std::uint64_t>(groupIndex), index);
}

fnd::Index KRScopeBarGroup::indexForObject(const fnd::Value& object) const
{
    if (auto content = boundContent()) {
        for (std::size_t i = 0; i < content->size(); ++i) {
            if ((*content)[i] == object)
                return static_cast<fnd::Index>(i);
        }
        return fnd::NotFound;
    }
    auto bar = scopeBar();
    auto* dataSource = bar ? bar->dataSourceInterface() : nullptr;
    if (!dataSource)
        return fnd::NotFound;
    auto groupIndex = bar->indexOfGroup(*this);
    if (groupIndex == fnd::NotFound)
        return fnd::NotFound;
    auto count = dataSource->scopeBarNumberOfObjectsInScopeBarGroup(*bar, static_cast<std::uint64_t>(groupIndex));
    for (std::uint64_t i = 0; i < count; ++i) {
        auto value = dataSource->scopeBarValueForObjectInGroup(*bar, static_cast<std::uint64_t>(groupIndex), i);
        // Objects are told apart by identity, plain values by equality.
        bool same = object.isObject() ? value.isObject() && value.object() == object.object() : value == object;
        if (same)
            return static_cast<fnd::Index>(i);
    }
    return fnd::NotFound;
}

// Selection.

void KRScopeBarGroup::setSelectionIndexes(const fnd::IndexSet& indexes)
{
    const bool changed = !(indexes == m_selectionIndexes);
    m_selectionIndexes = indexes;
    if (auto info = infoForBinding(fnd::BindingName::Content)) {
        if (auto controller = info->get(fnd::BindingInfoKey::ObservedObject).objectAs<fnd::ArrayController>()) {
            // Our own observation hears the controller's answer; the selection is already stored.
            if (!(controller->selectionIndexes() == m_selectionIndexes))
                controller->setSelectionIndexes(m_selectionIndexes);
        }
    }
    auto bar = scopeBar();
    if (!bar)
        return;
    auto index = bar->indexOfGroup(*this);
    if (index == fnd::NotFound)
        return;
    bar->reloadDataForGroup(static_cast<std::uint64_t>(index));
    if (!changed)
        return;
    bar->accessibilityTellSelectionChanged(*this);
    fnd::Dictionary userInfo;
    if (m_identifier)
        userInfo.set(KRGroupIdentifierKey, fnd::Value(*m_identifier));
    fnd::NotificationCenter::defaultCenter().postNotificationName(
        KRScopeBarSelectionDidChangeNotification, bar->selfValue(), userInfo);
}

fnd::Array KRScopeBarGroup::selectedObjects() const
{
    // A decoded selection may cover far more indexes than the group has objects: walk its ranges clipped to the
    // count instead of listing every index.
    fnd::Array objects;
    const auto count = numberOfObjects();
    for (const auto& range : m_selectionIndexes.ranges()) {
        const auto first = static_cast<std::uint64_t>(range.location);
        if (first >= count)
            break;
        const auto end = std::min(count, static_cast<std::uint64_t>(range.max()));
        for (auto index = first; index < end; ++index)
            objects.push_back(objectAtIndex(index));
    }
    return objects;
}

fnd::Value KRScopeBarGroup::selectedObject() const
{
    auto objects = selectedObjects();
    return objects.empty() ? fnd::Value() : objects.front();
}

void KRScopeBarGroup::didClickObject_(std::uint64_t index, bool alwaysSetToOnState)
{
    if (index >= numberOfObjects())
        krScopeBarGroupRaise(
            fnd::ExceptionName::Range, "KRScopeBarGroup:didClickObject_:alwaysSetToOnState: objectIndex invalid");
    const auto i = static_cast<fnd::Index>(index);
    if (alwaysSetToOnState && m_selectionIndexes.contains(i))
        return;
    fnd::IndexSet selection;
    if (m_selectionStyle == KRScopeBarGroupSelectionStyleRadio) {
        selection.add(i);
    } else {
        selection = m_selectionIndexes;
        if (selection.contains(i))
            selection.remove(i);
        else
            selection.add(i);
    }
    setSelectionIndexes(selection);
}

void KRScopeBarGroup::selectObject(const fnd::Value& object)
{
    auto index = indexForObject(object);
    if (index == fnd::NotFound)
        krScopeBarGroupRaise(
            fnd::ExceptionName::InvalidArgument, "KRScopeBarGroup:selectObject theObject not a member of this group");
    selectObjectWithIndex(index);
}

void KRScopeBarGroup::selectObjectWithIndex(std::int64_t index)
{
    if (index < 0 || static_cast<std::uint64_t>(index) >= numberOfObjects())
        krScopeBarGroupRaise(fnd::ExceptionName::Range, "KRScopeBarGroup:selectObjectWithIndex: objectIndex invalid");
    didClickObject_(static_cast<std::uint64_t>(index), true);
}

// Archive (keyed coding only).

void KRScopeBarGroup::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    auto text = [](const std::optional<fnd::String>& s) { return s ? fnd::Value(*s) : fnd::Value(); };
    coder.encodeObject(text(m_identifier), "KRScopeBarGroup identifier");
    coder.encodeObject(text(m_label), "KRScopeBarGroup label");
    coder.encodeObject(
        m_attributedLabel ? fnd::Value(m_attributedLabel) : fnd::Value(), "KRScopeBarGroup attributedLabel");
    coder.encodeInt32(m_selectionStyle, "KRScopeBarGroup groupSelectionStyle");
    coder.encodeBool(m_showsSeparator, "KRScopeBarGroup showsSeparator");
    coder.encodeBool(m_showsLabel, "KRScopeBarGroup showsLabel");
    coder.encodeObject(
        fnd::Value(std::make_shared<fnd::IndexSet>(m_selectionIndexes)), "KRScopeBarGroup selectionIndexes");
    auto bar = scopeBar();
    coder.encodeConditionalObject(bar ? bar->selfValue() : fnd::Value(), "KRScopeBarGroup scopeBar");
    coder.encodeObject(text(m_multipleSelectionPlaceholder), "KRScopeBarGroup multipleSelectionPlaceholder");
    coder.encodeObject(text(m_noSelectionPlaceholder), "KRScopeBarGroup noSelectionPlaceholder");
}

bool KRScopeBarGroup::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    auto text = [&](const char* key) { return fnd::decodeOptionalStringForKey(coder, key); };
    auto identifier = text("KRScopeBarGroup identifier");
    auto label = text("KRScopeBarGroup label");
    auto attributedLabel = fnd::decodeObjectOfClass<txt::AttributedString>(coder, "KRScopeBarGroup attributedLabel");
    auto style = coder.decodeInt32ForKey("KRScopeBarGroup groupSelectionStyle");
    bool showsSeparator = coder.decodeBoolForKey("KRScopeBarGroup showsSeparator");
    bool showsLabel = coder.decodeBoolForKey("KRScopeBarGroup showsLabel");
    auto bar = fnd::decodeObjectOfClass<KRScopeBar>(coder, "KRScopeBarGroup scopeBar");
    auto selection = fnd::decodeObjectOfClass<fnd::IndexSet>(coder, "KRScopeBarGroup selectionIndexes");
    auto multiple = text("KRScopeBarGroup multipleSelectionPlaceholder");
    auto none = text("KRScopeBarGroup noSelectionPlaceholder");
    if (coder.hasFailed())
        return false;
    m_identifier = identifier;
    setLabel(label);
    setAttributedLabel(attributedLabel);
    setGroupSelectionStyle(style);
    setShowsSeparator(showsSeparator);
    setShowsLabel(showsLabel);
    m_scopeBar = bar;
    setSelectionIndexes(selection ? *selection : fnd::IndexSet());
    setMultipleSelectionPlaceholder(multiple);
    setNoSelectionPlaceholder(none);
    return true;
}
