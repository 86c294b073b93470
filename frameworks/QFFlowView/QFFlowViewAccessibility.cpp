// The flow view's accessibility: an element per layer that stands for something, and the view's own answers.

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"
#include "platform/ui/views/Window.h"

namespace {

namespace QFFlowViewAttribute = ui::AccessibilityAttribute;
namespace QFFlowViewRole = ui::AccessibilityRole;

fnd::Value QFFlowViewElementValue(const std::shared_ptr<QFLayerAccessibilityHelper>& element)
{
    return element ? fnd::Value(std::static_pointer_cast<fnd::Object>(element)) : fnd::Value();
}

}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::accessibilityElementOfLayer(const ui::Layer& layer) const
{
    return layer.valueForKey(QFFlowViewLayerKey::AccessibilityElement).objectAs<QFLayerAccessibilityHelper>();
}

void QFFlowView::setupAccessibility()
{
    namespace A = QFFlowViewAttribute;
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());
    std::weak_ptr<QFFlowView> weakSelf = self;

    m_backgroundElement = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
        QFFlowViewRole::List, self, m_backgroundLayer, self);
    m_backgroundElement->setWritableAttributeNames({ A::SelectedChildren });
    m_backgroundElement->setAttributeNames({ A::Children, A::SelectedChildren, A::VisibleChildren, A::Orientation });
    m_backgroundElement->addHandlerForAttribute(A::Orientation,
        [](const QFLayerAccessibilityHelper&) { return fnd::Value(ui::AccessibilityOrientation::Horizontal); });
    // The items in view whose pictures meet the part of the view its window shows: the scroll layer holds items in
    // view that a window narrower than the view, or a clip view around it, hides.
    m_backgroundElement->addHandlerForAttribute(A::VisibleChildren, [weakSelf](const QFLayerAccessibilityHelper& e) {
        fnd::Array visible;
        auto view = weakSelf.lock();
        if (!view)
            return fnd::Value(visible);
        const auto shown = view->visibleRect();
        auto range = view->visibleItemIndexes();
        for (auto i = range.location; i < range.location + range.length; ++i) {
            auto frame = view->accessibilityFrameOfItem(std::size_t(i));
            if (!frame || !gfx::intersectsRect(*frame, shown))
                continue;
            if (auto child = e.objectInChildrenAtIndex(std::size_t(i)))
                visible.push_back(QFFlowViewElementValue(child));
        }
        return fnd::Value(visible);
    });
    m_backgroundElement->addHandlerForAttribute(A::SelectedChildren, [weakSelf](const QFLayerAccessibilityHelper& e) {
        fnd::Array selected;
        auto view = weakSelf.lock();
        if (view && view->selectedIndex() != NotFound)
            if (auto child = e.objectInChildrenAtIndex(view->selectedIndex()))
                selected.push_back(QFFlowViewElementValue(child));
        return fnd::Value(selected);
    });
    m_backgroundElement->addHandlerForWritableAttribute(
        A::SelectedChildren, [weakSelf](QFLayerAccessibilityHelper&, const fnd::Value& value) {
            auto view = weakSelf.lock();
            if (!view || !value.isArray() || value.array()->empty())
                return;
            // The first element: an item's element, or its index.
            const auto& first = value.array()->front();
            if (auto element = first.objectAs<QFLayerAccessibilityHelper>()) {
                const auto& children = view->m_backgroundElement->children();
                auto found = std::find(children.begin(), children.end(), element);
                if (found != children.end())
                    view->setSelectedIndex(std::size_t(found - children.begin()));
                return;
            }
            auto index = first.integerValue();
            if (first.isNumber() && index >= 0)
                view->setSelectedIndex(std::size_t(index));
        });
    m_backgroundLayer->setValueForKey(
        QFFlowViewElementValue(m_backgroundElement), QFFlowViewLayerKey::AccessibilityElement);

    m_scrollBarElement = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
        QFFlowViewRole::ScrollBar, self, m_scrollBarLayer, self);
    m_scrollBarElement->setAttributeNames({ A::Orientation, A::Children });
    m_scrollBarElement->addHandlerForAttribute(A::Orientation,
        [](const QFLayerAccessibilityHelper&) { return fnd::Value(ui::AccessibilityOrientation::Horizontal); });
    auto knob = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
        QFFlowViewRole::ValueIndicator, m_scrollBarElement, scrollKnobLayer(), self);
    knob->setAttributeNames({ A::Value });
    knob->addHandlerForAttribute(A::Value, [weakSelf](const QFLayerAccessibilityHelper&) {
        auto view = weakSelf.lock();
        // With fewer than two items the bar is hidden and the knob stands at its start.
        if (!view || view->numberOfItems() < 2 || view->selectedIndex() == NotFound)
            return fnd::Value(0.0);
        return fnd::Value(double(view->selectedIndex()) / double(view->numberOfItems() - 1));
    });
    m_scrollBarElement->addChildrenObject(knob);
    m_scrollBarLayer->setValueForKey(
        QFFlowViewElementValue(m_scrollBarElement), QFFlowViewLayerKey::AccessibilityElement);
    scrollKnobLayer()->setValueForKey(QFFlowViewElementValue(knob), QFFlowViewLayerKey::AccessibilityElement);
}

std::shared_ptr<QFLayerAccessibilityHelper> QFFlowView::makeItemAccessibility(const std::shared_ptr<ui::Layer>& content)
{
    if (!m_backgroundElement)
        return nullptr;
    auto self = std::static_pointer_cast<QFFlowView>(shared_from_this());
    if (!m_itemElementAnswers) {
        // Every item answers alike, for the item its layer holds: the handlers are made once and shared.
        namespace A = QFFlowViewAttribute;
        std::weak_ptr<QFFlowView> weakSelf = self;
        // The item's index is its layer's at the time of asking: items before it may come or go meanwhile.
        auto indexOf = [](const QFLayerAccessibilityHelper& element) -> std::size_t {
            auto layer = element.layer();
            auto index = layer ? layer->valueForKey(QFFlowViewLayerKey::Index).integerValue() : -1;
            return index < 0 ? NotFound : std::size_t(index);
        };
        auto answers = fnd::makeObject<QFLayerAccessibilityHelper>();
        answers->setAttributeNames({ A::Title, A::Selected });
        answers->setWritableAttributeNames({ A::Selected });
        answers->addHandlerForAttribute(A::Title, [weakSelf, indexOf](const QFLayerAccessibilityHelper& element) {
            auto view = weakSelf.lock();
            return view ? fnd::Value(view->titleAtIndex(indexOf(element))) : fnd::Value();
        });
        answers->addHandlerForAttribute(A::Selected, [weakSelf, indexOf](const QFLayerAccessibilityHelper& element) {
            auto view = weakSelf.lock();
            auto index = indexOf(element);
            return fnd::Value(view && index != NotFound && view->selectedIndex() == index);
        });
        answers->addHandlerForWritableAttribute(
            A::Selected, [weakSelf, indexOf](QFLayerAccessibilityHelper& element, const fnd::Value& value) {
                if (auto view = weakSelf.lock(); view && value.boolValue())
                    view->setSelectedIndex(indexOf(element));
            });
        answers->setFrameHandler(
            [weakSelf, indexOf](const QFLayerAccessibilityHelper& element) -> std::optional<gfx::Rect> {
                auto view = weakSelf.lock();
                return view ? view->accessibilityFrameOfItem(indexOf(element)) : std::nullopt;
            });
        m_itemElementAnswers = answers;
    }
    auto element = QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
        QFFlowViewRole::Image, m_backgroundElement, content, self);
    element->answerAs(*m_itemElementAnswers);
    content->setValueForKey(QFFlowViewElementValue(element), QFFlowViewLayerKey::AccessibilityElement);
    return element;
}

std::optional<gfx::Rect> QFFlowView::accessibilityFrameOfItem(std::size_t index) const
{
    // Where the picture shows; an item out of view is hidden and keeps an old place, so it reports the place the
    // layout gives it.
    auto item = itemLayerAtIndex(index);
    if (!item)
        return std::nullopt;
    if (item->isHidden())
        return itemFrameAtIndex(index);
    auto content = imageLayerAtIndex(index);
    return content ? std::optional(rectInViewForLayer(*content)) : std::nullopt;
}

std::vector<fnd::String> QFFlowView::accessibilityAttributeNames() const
{
    auto names = ui::View::accessibilityAttributeNames();
    names.push_back(QFFlowViewAttribute::Contents);
    return names;
}

fnd::Value QFFlowView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    namespace A = QFFlowViewAttribute;
    if (attribute == A::Role)
        return QFFlowViewRole::ScrollArea;
    if (attribute == A::RoleDescription)
        return ui::accessibilityRoleDescription(QFFlowViewRole::ScrollArea);
    auto elements
        = fnd::Array { QFFlowViewElementValue(m_backgroundElement), QFFlowViewElementValue(m_scrollBarElement) };
    std::erase_if(elements, [](const fnd::Value& element) { return element.isNil(); });
    if (attribute == A::Contents)
        return elements;
    if (attribute == A::Children)
        return ui::accessibilityUnignoredChildren(elements);
    return ui::View::accessibilityAttributeValue(attribute);
}

fnd::Value QFFlowView::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto w = window();
    auto inView = convertPointFromView(w ? w->convertScreenToBase(screenPoint) : screenPoint, nullptr);
    auto layer = hitLayerAtPoint(inView);
    auto element = layer ? accessibilityElementOfLayer(*layer) : nullptr;
    return element ? QFFlowViewElementValue(element) : selfValue();
}
