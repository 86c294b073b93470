#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/layers/Layer.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(QFLayerAccessibilityHelper, fnd::Object)

fnd::String QFAccessibility::roleDescription(const fnd::String& role)
{
    auto bundle = fnd::Bundle::bundleWithName("QFFlowView");
    return bundle ? bundle->localizedStringForKey(role, {}, "QFFlowView") : role;
}

std::shared_ptr<QFLayerAccessibilityHelper> QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
    const fnd::String& role, const std::shared_ptr<fnd::Object>& parent, const std::shared_ptr<ui::Layer>& layer,
    const std::shared_ptr<ui::View>& view)
{
    auto helper = fnd::makeObject<QFLayerAccessibilityHelper>();
    helper->m_role = role;
    helper->m_parent = parent;
    helper->m_layer = layer;
    helper->m_view = view;
    return helper;
}

std::shared_ptr<QFLayerAccessibilityHelper> QFLayerAccessibilityHelper::objectInChildrenAtIndex(std::size_t index) const
{
    return index < m_children.size() ? m_children[index] : nullptr;
}

void QFLayerAccessibilityHelper::insertObjectInChildrenAtIndex(
    const std::shared_ptr<QFLayerAccessibilityHelper>& child, std::size_t index)
{
    index = std::min(index, m_children.size());
    child->m_parent = std::static_pointer_cast<fnd::Object>(shared_from_this());
    m_children.insert(m_children.begin() + std::ptrdiff_t(index), child);
    adjustChildrenAttribute();
}

void QFLayerAccessibilityHelper::removeObjectFromChildrenAtIndex(std::size_t index)
{
    if (index >= m_children.size())
        return;
    m_children[index]->m_parent.reset();
    m_children.erase(m_children.begin() + std::ptrdiff_t(index));
    adjustChildrenAttribute();
}

void QFLayerAccessibilityHelper::addChildrenObject(const std::shared_ptr<QFLayerAccessibilityHelper>& child)
{
    insertObjectInChildrenAtIndex(child, m_children.size());
}

void QFLayerAccessibilityHelper::removeAllChildren()
{
    for (const auto& child : m_children)
        child->m_parent.reset();
    m_children.clear();
    adjustChildrenAttribute();
}

void QFLayerAccessibilityHelper::adjustChildrenAttribute()
{
    if (m_children.empty())
        m_attributeNames.erase(QFAccessibility::ChildrenAttribute);
    else
        m_attributeNames.insert(QFAccessibility::ChildrenAttribute);
}

void QFLayerAccessibilityHelper::addHandlerForAttribute(const fnd::String& attribute, GetHandler handler)
{
    m_getHandlers[attribute] = std::move(handler);
}

void QFLayerAccessibilityHelper::addHandlerForWritableAttribute(const fnd::String& attribute, SetHandler handler)
{
    m_setHandlers[attribute] = std::move(handler);
}

std::vector<fnd::String> QFLayerAccessibilityHelper::accessibilityAttributeNames() const
{
    using namespace QFAccessibility;
    static const std::vector<fnd::String> common { RoleAttribute, RoleDescriptionAttribute, ParentAttribute,
        WindowAttribute, TopLevelUIElementAttribute, PositionAttribute, SizeAttribute, FocusedAttribute,
        EnabledAttribute };
    auto names = common;
    for (const auto& name : m_attributeNames)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

fnd::Value QFLayerAccessibilityHelper::accessibilityAttributeValue(const fnd::String& attribute)
{
    using namespace QFAccessibility;
    if (attribute == RoleAttribute)
        return m_role;
    if (attribute == RoleDescriptionAttribute)
        return roleDescription(m_role);
    if (attribute == ParentAttribute)
        return m_parent.lock();
    if (attribute == WindowAttribute || attribute == TopLevelUIElementAttribute) {
        auto parent = m_parent.lock();
        if (auto element = std::dynamic_pointer_cast<QFLayerAccessibilityHelper>(parent))
            return element->accessibilityAttributeValue(attribute);
        auto view = std::dynamic_pointer_cast<ui::View>(parent);
        return view ? fnd::Value(std::static_pointer_cast<fnd::Object>(view->window())) : fnd::Value();
    }
    if (attribute == PositionAttribute || attribute == SizeAttribute) {
        auto layer = m_layer.lock();
        auto view = m_view.lock();
        if (!layer || !view || !view->layer())
            return {};
        if (attribute == SizeAttribute)
            return layer->bounds().size;
        auto root = view->layer();
        auto super = layer->superlayer();
        auto inRoot = root->convertPointFromLayer(layer->frame().origin, super.get());
        if (!inRoot)
            return {};
        auto inWindow = view->convertPointToView(*inRoot, nullptr);
        auto window = view->window();
        return window ? window->convertBaseToScreen(inWindow) : inWindow;
    }
    if (attribute == FocusedAttribute)
        return m_focused;
    if (attribute == EnabledAttribute)
        return m_enabled;
    if (attribute == ChildrenAttribute) {
        fnd::Array children;
        for (const auto& child : m_children)
            children.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(child)));
        return children;
    }
    if (auto handler = m_getHandlers.find(attribute); handler != m_getHandlers.end())
        return handler->second(*this);
    return {};
}

bool QFLayerAccessibilityHelper::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return m_writableAttributeNames.contains(attribute);
}

void QFLayerAccessibilityHelper::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (auto handler = m_setHandlers.find(attribute); handler != m_setHandlers.end())
        handler->second(*this, value);
}

fnd::Value QFLayerAccessibilityHelper::accessibilityHitTest(gfx::Point pointInView)
{
    auto view = m_view.lock();
    auto root = view ? view->layer() : nullptr;
    if (root) {
        auto presentation = root->presentationLayer();
        auto hit = presentation ? presentation->hitTest(pointInView) : nullptr;
        if (hit && hit->modelLayer() == m_layer.lock())
            return selfValue();
    }
    return m_parent.lock();
}

fnd::String QFLayerAccessibilityHelper::description() const
{
    return fnd::String("<QFLayerAccessibilityHelper> role: " + m_role.utf8());
}
