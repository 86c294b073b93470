// The flow view's accessibility: an element per layer that stands for something, and the view's own answers.

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

namespace {

fnd::Value QFFlowViewElementValue(const std::shared_ptr<QFLayerAccessibilityHelper>& element)
{
    return element ? fnd::Value(std::static_pointer_cast<fnd::Object>(element)) : fnd::Value();
}

}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::accessibilityElementOfLayer(const ui::Layer& layer) const
{
    return layer.valueForKey("axHelper").objectAs<QFLayerAccessibilityHelper>();
}

void QFFlowView::setupAccessibility()
{
    using namespace QFAccessibility;
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());
    std::weak_ptr<QFFlowView> weakSelf = self;

    m_backgroundElement = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(ListRole, self, m_backgroundLayer, self);
    m_backgroundElement->setWritableAttributeNames({ SelectedChildrenAttribute });
    m_backgroundElement->setAttributeNames(
        { ChildrenAttribute, SelectedChildrenAttribute, VisibleChildrenAttribute, OrientationAttribute });
    m_backgroundElement->addHandlerForAttribute(
        OrientationAttribute, [](QFLayerAccessibilityHelper&) { return fnd::Value(HorizontalOrientationValue); });
    m_backgroundElement->addHandlerForAttribute(VisibleChildrenAttribute, [weakSelf](QFLayerAccessibilityHelper& e) {
        fnd::Array visible;
        auto view = weakSelf.lock();
        if (!view)
            return fnd::Value(visible);
        auto range = view->visibleItemIndexes();
        for (auto i = range.location; i < range.location + range.length; ++i)
            if (auto child = e.objectInChildrenAtIndex(std::size_t(i)))
                visible.push_back(QFFlowViewElementValue(child));
        return fnd::Value(visible);
    });
    m_backgroundElement->addHandlerForAttribute(SelectedChildrenAttribute, [weakSelf](QFLayerAccessibilityHelper& e) {
        fnd::Array selected;
        auto view = weakSelf.lock();
        if (view && view->selectedIndex() != NotFound)
            if (auto child = e.objectInChildrenAtIndex(view->selectedIndex()))
                selected.push_back(QFFlowViewElementValue(child));
        return fnd::Value(selected);
    });
    m_backgroundElement->addHandlerForWritableAttribute(
        SelectedChildrenAttribute, [weakSelf](QFLayerAccessibilityHelper&, const fnd::Value& value) {
            auto view = weakSelf.lock();
            if (!view || !value.isArray() || value.array()->empty())
                return;
            auto index = value.array()->front().integerValue();
            if (index >= 0)
                view->setSelectedIndex(std::size_t(index));
        });
    m_backgroundLayer->setValueForKey(QFFlowViewElementValue(m_backgroundElement), "axHelper");

    m_scrollBarElement
        = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(ScrollBarRole, self, m_scrollBarLayer, self);
    m_scrollBarElement->setAttributeNames({ OrientationAttribute, ChildrenAttribute });
    m_scrollBarElement->addHandlerForAttribute(
        OrientationAttribute, [](QFLayerAccessibilityHelper&) { return fnd::Value(HorizontalOrientationValue); });
    auto knob = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
        ValueIndicatorRole, m_scrollBarElement, scrollKnobLayer(), self);
    knob->setAttributeNames({ ValueAttribute });
    knob->addHandlerForAttribute(ValueAttribute, [weakSelf](QFLayerAccessibilityHelper&) {
        auto view = weakSelf.lock();
        // With fewer than two items the bar is hidden and the knob stands at its start.
        if (!view || view->numberOfItems() < 2 || view->selectedIndex() == NotFound)
            return fnd::Value(0.0);
        return fnd::Value(double(view->selectedIndex()) / double(view->numberOfItems() - 1));
    });
    m_scrollBarElement->addChildrenObject(knob);
    m_scrollBarLayer->setValueForKey(QFFlowViewElementValue(m_scrollBarElement), "axHelper");
    scrollKnobLayer()->setValueForKey(QFFlowViewElementValue(knob), "axHelper");
}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::addItemAccessibility(
    const std::shared_ptr<ui::Layer>& content, std::size_t index)
{
    using namespace QFAccessibility;
    if (!m_backgroundElement)
        return nullptr;
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());
    std::weak_ptr<QFFlowView> weakSelf = self;
    auto element = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(ImageRole, m_backgroundElement, content, self);
    element->setAttributeNames({ TitleAttribute, SelectedAttribute });
    element->setWritableAttributeNames({ SelectedAttribute });
    element->addHandlerForAttribute(TitleAttribute, [weakSelf, index](QFLayerAccessibilityHelper&) {
        auto view = weakSelf.lock();
        return view ? fnd::Value(view->titleAtIndex(index)) : fnd::Value();
    });
    element->addHandlerForAttribute(SelectedAttribute, [weakSelf, index](QFLayerAccessibilityHelper&) {
        auto view = weakSelf.lock();
        return fnd::Value(view && view->selectedIndex() == index);
    });
    element->addHandlerForWritableAttribute(
        SelectedAttribute, [weakSelf, index](QFLayerAccessibilityHelper&, const fnd::Value& value) {
            if (auto view = weakSelf.lock(); view && value.boolValue())
                view->setSelectedIndex(index);
        });
    content->setValueForKey(QFFlowViewElementValue(element), "axHelper");
    // One element per item: a reused layer replaces its element rather than adding another.
    const auto& children = m_backgroundElement->children();
    if (index < children.size()) {
        m_backgroundElement->removeObjectFromChildrenAtIndex(index);
        m_backgroundElement->insertObjectInChildrenAtIndex(element, index);
    } else {
        m_backgroundElement->addChildrenObject(element);
    }
    return element;
}

std::vector<fnd::String> QFFlowView::accessibilityAttributeNames() const
{
    using namespace QFAccessibility;
    return { RoleAttribute, RoleDescriptionAttribute, ParentAttribute, WindowAttribute, PositionAttribute,
        SizeAttribute, ChildrenAttribute, ContentsAttribute };
}

fnd::Value QFFlowView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    using namespace QFAccessibility;
    if (attribute == RoleAttribute)
        return ScrollAreaRole;
    if (attribute == RoleDescriptionAttribute)
        return roleDescription(ScrollAreaRole);
    if (attribute == ChildrenAttribute || attribute == ContentsAttribute)
        return fnd::Array { QFFlowViewElementValue(m_backgroundElement), QFFlowViewElementValue(m_scrollBarElement) };
    if (attribute == ParentAttribute)
        return superview() ? fnd::Value(std::static_pointer_cast<fnd::Object>(superview())) : fnd::Value();
    if (attribute == WindowAttribute)
        return window() ? fnd::Value(std::static_pointer_cast<fnd::Object>(window())) : fnd::Value();
    if (attribute == SizeAttribute)
        return frame().size;
    if (attribute == PositionAttribute)
        return frame().origin;
    return {};
}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::accessibilityHitTest(gfx::Point pointInView) const
{
    auto layer = hitLayerAtPoint(pointInView);
    return layer ? accessibilityElementOfLayer(*layer) : nullptr;
}
