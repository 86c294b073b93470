// The card-flow view as assistive technologies read it: a horizontal list of cards, the selected one selected.

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/ui/views/Window.h"

namespace {

namespace ZORCardFlowAttr = ui::AccessibilityAttribute;

// One card: an image named by its object when the object is a text or a number.
class ZORCardFlowAccessibilityItem : public fnd::Object, public ui::AccessibilityElement {
public:
    ZORCardFlowAccessibilityItem(std::weak_ptr<ZORCardFlowView> view, std::int64_t index)
        : m_view(std::move(view))
        , m_index(index)
    {
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        namespace A = ZORCardFlowAttr;
        return { A::Role, A::RoleDescription, A::Title, A::Selected, A::Index, A::Parent, A::Window,
            A::TopLevelUIElement, A::Position, A::Size, A::Enabled };
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        namespace A = ZORCardFlowAttr;
        auto view = m_view.lock();
        if (!view || m_index >= std::int64_t(view->content().size()))
            return {};
        if (attribute == A::Role)
            return ui::AccessibilityRole::Image;
        if (attribute == A::Title) {
            const auto& object = view->content()[std::size_t(m_index)];
            return object.isString() || object.isNumber() ? fnd::Value(object.stringValue()) : fnd::Value();
        }
        if (attribute == A::Selected)
            return view->selectionIndex() == m_index;
        if (attribute == A::Index)
            return m_index;
        if (attribute == A::Parent)
            return view->selfValue();
        if (attribute == A::Window || attribute == A::TopLevelUIElement) {
            auto window = view->window();
            return window ? window->selfValue() : fnd::Value();
        }
        if (attribute == A::Position || attribute == A::Size) {
            // The pictures' rectangles are in the root layer's coordinates, which are the view's.
            auto inWindow = view->convertRectToView(view->rectForItemAtIndex(m_index), nullptr);
            auto window = view->window();
            auto onScreen = window ? window->convertRectToScreen(inWindow) : inWindow;
            return attribute == A::Position ? fnd::Value(onScreen.origin) : fnd::Value(onScreen.size);
        }
        if (attribute == A::Enabled)
            return true;
        return ui::AccessibilityElement::accessibilityAttributeValue(attribute);
    }

    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override
    {
        return attribute == ZORCardFlowAttr::Selected;
    }

    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override
    {
        if (auto view = m_view.lock(); view && attribute == ZORCardFlowAttr::Selected && value.boolValue())
            view->userSelectIndex(m_index);
    }

    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<ZORCardFlowView> m_view;
    std::int64_t m_index;
};

}

fnd::Value ZORCardFlowView::accessibilityElementOfItem(std::int64_t index) const
{
    if (index < 0 || std::size_t(index) >= m_content.size())
        return {};
    if (std::size_t(index) >= m_accessibilityItems.size())
        m_accessibilityItems.resize(std::size_t(index) + 1);
    auto& item = m_accessibilityItems[std::size_t(index)];
    if (!item) {
        auto self = std::static_pointer_cast<ZORCardFlowView>(std::const_pointer_cast<fnd::Object>(shared_from_this()));
        item = std::make_shared<ZORCardFlowAccessibilityItem>(self, index);
    }
    return item->selfValue();
}

std::vector<fnd::String> ZORCardFlowView::accessibilityAttributeNames() const
{
    namespace A = ZORCardFlowAttr;
    auto names = ui::View::accessibilityAttributeNames();
    for (const auto& name : { A::SelectedChildren, A::VisibleChildren, A::Orientation })
        names.push_back(name);
    return names;
}

fnd::Value ZORCardFlowView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    namespace A = ZORCardFlowAttr;
    if (attribute == A::Role)
        return ui::AccessibilityRole::List;
    if (attribute == A::Orientation)
        return ui::AccessibilityOrientation::Horizontal;
    if (attribute == A::Children || attribute == A::VisibleChildren) {
        fnd::Array children;
        for (std::int64_t i = 0; i < std::int64_t(m_content.size()); ++i)
            children.push_back(accessibilityElementOfItem(i));
        if (attribute == A::Children)
            for (const auto& child : accessibilityChildrenOfSubviews())
                children.push_back(child);
        return children;
    }
    if (attribute == A::SelectedChildren) {
        auto selected = accessibilityElementOfItem(m_selectionIndex);
        return selected.isNil() ? fnd::Array() : fnd::Array { selected };
    }
    return ui::View::accessibilityAttributeValue(attribute);
}

bool ZORCardFlowView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return attribute == ZORCardFlowAttr::SelectedChildren || ui::View::accessibilityIsAttributeSettable(attribute);
}

void ZORCardFlowView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (attribute != ZORCardFlowAttr::SelectedChildren) {
        ui::View::accessibilitySetValue(value, attribute);
        return;
    }
    const auto* selected = value.array();
    if (!selected || selected->empty())
        return;
    if (auto* element = ui::accessibilityElement(selected->front()))
        if (ui::accessibilityAttribute(*element, ZORCardFlowAttr::Parent).object().get() == this)
            userSelectIndex(ui::accessibilityAttribute(*element, ZORCardFlowAttr::Index).integerValue());
}

fnd::Value ZORCardFlowView::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto w = window();
    auto point = convertPointFromView(w ? w->convertScreenToBase(screenPoint) : screenPoint, nullptr);
    auto index = indexOfItemAtPoint(point);
    if (index >= 0)
        return accessibilityElementOfItem(index);
    return ui::View::accessibilityHitTest(screenPoint);
}
