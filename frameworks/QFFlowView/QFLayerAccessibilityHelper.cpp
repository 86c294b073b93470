#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

#include "platform/layers/Layer.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(QFLayerAccessibilityHelper, fnd::Object)

namespace {

namespace QFLayerAccessibilityAttribute = ui::AccessibilityAttribute;

fnd::Value QFLayerAccessibilityHelperValueOf(const std::shared_ptr<fnd::Object>& object)
{
    return object ? fnd::Value(object) : fnd::Value();
}

// A hosted tree stays upright in a flipped view: its space is the view's mirrored in y (and the same otherwise).
double QFLayerAccessibilityHelperMirroredY(const ui::View& view, double y)
{
    auto b = view.bounds();
    return view.isFlipped() ? b.minY() + b.maxY() - y : y;
}

}

std::shared_ptr<QFLayerAccessibilityHelper> QFLayerAccessibilityHelper::layerAccesibilityHelperWithRole(
    const fnd::String& role, const std::shared_ptr<fnd::Object>& parent, const std::shared_ptr<ui::Layer>& layer,
    const std::shared_ptr<ui::View>& view)
{
    auto helper = fnd::makeObject<QFLayerAccessibilityHelper>();
    helper->initWithRole(role, parent, layer, view);
    return helper;
}

void QFLayerAccessibilityHelper::initWithRole(const fnd::String& role, const std::shared_ptr<fnd::Object>& parent,
    const std::shared_ptr<ui::Layer>& layer, const std::shared_ptr<ui::View>& view)
{
    m_role = role;
    m_parent = parent;
    m_layer = layer;
    m_view = view;
}

// Children.

std::shared_ptr<QFLayerAccessibilityHelper> QFLayerAccessibilityHelper::objectInChildrenAtIndex(std::size_t index) const
{
    return index < m_children.size() ? m_children[index] : nullptr;
}

std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> QFLayerAccessibilityHelper::childrenAtIndexes(
    const fnd::IndexSet& indexes) const
{
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> children;
    for (const auto& range : indexes.ranges())
        for (auto i = range.location; i < range.max() && std::size_t(i) < m_children.size(); ++i)
            children.push_back(m_children[std::size_t(i)]);
    return children;
}

void QFLayerAccessibilityHelper::insertObjectInChildrenAtIndex(
    const std::shared_ptr<QFLayerAccessibilityHelper>& child, std::size_t index)
{
    if (!child)
        return;
    index = std::min(index, m_children.size());
    child->m_parent = shared_from_this();
    m_children.insert(m_children.begin() + std::ptrdiff_t(index), child);
    childrenDidChange();
}

void QFLayerAccessibilityHelper::insertChildren(
    const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children, const fnd::IndexSet& indexes)
{
    // Merged in one pass: the list before each index is the one the earlier children made.
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> merged;
    merged.reserve(m_children.size() + children.size());
    std::size_t next = 0, from = 0;
    for (const auto& range : indexes.ranges())
        for (auto i = range.location; i < range.max() && next < children.size(); ++i, ++next) {
            const auto& child = children[next];
            if (!child)
                continue;
            while (merged.size() < std::size_t(i) && from < m_children.size())
                merged.push_back(std::move(m_children[from++]));
            child->m_parent = shared_from_this();
            merged.push_back(child);
        }
    for (; from < m_children.size(); ++from)
        merged.push_back(std::move(m_children[from]));
    m_children = std::move(merged);
    childrenDidChange();
}

void QFLayerAccessibilityHelper::removeObjectFromChildrenAtIndex(std::size_t index)
{
    if (index >= m_children.size())
        return;
    m_children[index]->m_parent.reset();
    m_children.erase(m_children.begin() + std::ptrdiff_t(index));
    childrenDidChange();
}

std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> QFLayerAccessibilityHelper::removeChildrenAtIndexes(
    const fnd::IndexSet& indexes)
{
    // One pass, the others moving up over the gaps.
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> removed;
    removed.reserve(std::min(std::size_t(indexes.count()), m_children.size()));
    const auto& ranges = indexes.ranges();
    auto range = ranges.begin();
    std::size_t to = 0;
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        while (range != ranges.end() && std::size_t(range->max()) <= i)
            ++range;
        if (range != ranges.end() && std::size_t(range->location) <= i) {
            m_children[i]->m_parent.reset();
            removed.push_back(std::move(m_children[i]));
            continue;
        }
        if (to != i)
            m_children[to] = std::move(m_children[i]);
        ++to;
    }
    m_children.resize(to);
    childrenDidChange();
    return removed;
}

void QFLayerAccessibilityHelper::replaceChildrenAtIndexes(
    const fnd::IndexSet& indexes, const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children)
{
    std::size_t next = 0;
    for (const auto& range : indexes.ranges())
        for (auto i = range.location; i < range.max() && next < children.size(); ++i, ++next) {
            const auto& child = children[next];
            if (!child || std::size_t(i) >= m_children.size())
                continue;
            m_children[std::size_t(i)]->m_parent.reset();
            child->m_parent = shared_from_this();
            m_children[std::size_t(i)] = child;
        }
    childrenDidChange();
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
    childrenDidChange();
}

const QFLayerAccessibilityHelper::Answers& QFLayerAccessibilityHelper::answers() const
{
    static const Answers none;
    return m_answers ? *m_answers : none;
}

QFLayerAccessibilityHelper::Answers& QFLayerAccessibilityHelper::ownAnswers()
{
    if (!m_answers)
        m_answers = std::make_shared<Answers>();
    else if (m_answers.use_count() > 1)
        m_answers = std::make_shared<Answers>(*m_answers);
    return *m_answers;
}

void QFLayerAccessibilityHelper::answerAs(const QFLayerAccessibilityHelper& other)
{
    m_answers = other.m_answers;
    adjustChildrenAttribute();
}

void QFLayerAccessibilityHelper::adjustChildrenAttribute()
{
    // Changed only when it differs, so that shared answers stay shared.
    if (answers().attributeNames.contains(QFLayerAccessibilityAttribute::Children) == !m_children.empty())
        return;
    if (m_children.empty())
        ownAnswers().attributeNames.erase(QFLayerAccessibilityAttribute::Children);
    else
        ownAnswers().attributeNames.insert(QFLayerAccessibilityAttribute::Children);
}

void QFLayerAccessibilityHelper::childrenDidChange()
{
    adjustChildrenAttribute();
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged);
}

void QFLayerAccessibilityHelper::addHandlerForAttribute(const fnd::String& attribute, GetHandler handler)
{
    ownAnswers().getHandlers[attribute] = std::move(handler);
}

void QFLayerAccessibilityHelper::addHandlerForWritableAttribute(const fnd::String& attribute, SetHandler handler)
{
    ownAnswers().setHandlers[attribute] = std::move(handler);
}

// The protocol.

std::vector<fnd::String> QFLayerAccessibilityHelper::accessibilityAttributeNames() const
{
    namespace A = QFLayerAccessibilityAttribute;
    static const std::vector<fnd::String> common { A::Role, A::RoleDescription, A::Parent, A::Window,
        A::TopLevelUIElement, A::Position, A::Size, A::Focused, A::Enabled };
    auto names = common;
    for (const auto& name : answers().attributeNames)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

fnd::Value QFLayerAccessibilityHelper::accessibilityAttributeValue(const fnd::String& attribute) const
{
    namespace A = QFLayerAccessibilityAttribute;
    if (attribute == A::Role)
        return m_role;
    if (attribute == A::RoleDescription)
        return ui::accessibilityRoleDescription(m_role);
    if (attribute == A::Parent)
        return ui::accessibilityUnignoredAncestor(QFLayerAccessibilityHelperValueOf(m_parent.lock()));
    if (attribute == A::Window || attribute == A::TopLevelUIElement) {
        auto* parent = ui::accessibilityElement(QFLayerAccessibilityHelperValueOf(m_parent.lock()));
        return parent ? ui::accessibilityAttribute(*parent, attribute) : fnd::Value();
    }
    if (attribute == A::Position || attribute == A::Size) {
        auto view = m_view.lock();
        auto frame = frameInView();
        if (!view || !frame)
            return {};
        auto inWindow = view->convertRectToView(*frame, nullptr);
        if (attribute == A::Size)
            return inWindow.size;
        auto window = view->window();
        return window ? window->convertBaseToScreen(inWindow.origin) : inWindow.origin;
    }
    if (attribute == A::Focused)
        return m_focused;
    if (attribute == A::Enabled)
        return m_enabled;
    if (attribute == A::Children) {
        fnd::Array children;
        for (const auto& child : m_children)
            children.push_back(fnd::Value(child));
        return ui::accessibilityUnignoredChildren(children);
    }
    const auto& handlers = answers().getHandlers;
    if (auto handler = handlers.find(attribute); handler != handlers.end())
        return handler->second(*this);
    return {};
}

std::optional<gfx::Rect> QFLayerAccessibilityHelper::frameInView() const
{
    if (const auto& handler = answers().frameHandler)
        return handler(*this);
    auto layer = m_layer.lock();
    auto view = m_view.lock();
    if (!layer || !view || !view->layer())
        return std::nullopt;
    auto shown = layer->convertRectToLayer(layer->bounds(), nullptr);
    double top = QFLayerAccessibilityHelperMirroredY(*view, shown.maxY());
    double bottom = QFLayerAccessibilityHelperMirroredY(*view, shown.minY());
    return gfx::Rect { shown.minX(), std::min(top, bottom), shown.width(), shown.height() };
}

bool QFLayerAccessibilityHelper::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return answers().writableAttributeNames.contains(attribute);
}

void QFLayerAccessibilityHelper::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    // A copy: the handler may change the element's answers.
    const auto& handlers = answers().setHandlers;
    if (auto handler = handlers.find(attribute); handler != handlers.end()) {
        auto run = handler->second;
        run(*this, value);
    }
}

fnd::Value QFLayerAccessibilityHelper::accessibilityFocusedUIElement() const
{
    return ui::accessibilityUnignoredAncestor(selfValue());
}

fnd::Value QFLayerAccessibilityHelper::accessibilityHitTest(gfx::Point screenPoint) const
{
    auto view = m_view.lock();
    auto root = view ? view->layer() : nullptr;
    if (root) {
        auto window = view->window();
        auto inWindow = window ? window->convertScreenToBase(screenPoint) : screenPoint;
        auto inView = view->convertPointFromView(inWindow, nullptr);
        auto presentation = root->presentationLayer();
        auto hit = presentation
            ? presentation->hitTest({ inView.x, QFLayerAccessibilityHelperMirroredY(*view, inView.y) })
            : nullptr;
        if (hit && hit->modelLayer() == m_layer.lock())
            return selfValue();
    }
    // The point is not over this element's layer: the element is not the answer, its nearest unignored
    // ancestor is.
    return ui::accessibilityUnignoredAncestor(QFLayerAccessibilityHelperValueOf(m_parent.lock()));
}

fnd::String QFLayerAccessibilityHelper::description() const
{
    return fnd::String("<QFLayerAccessibilityHelper> role: " + m_role.utf8());
}
