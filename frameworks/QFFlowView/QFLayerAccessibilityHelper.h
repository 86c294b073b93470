#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/accessibility/AccessibilityElement.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace ui {
class Layer;
class View;
}

// An accessibility element that stands for one layer (layers are no elements themselves). It does not keep its
// parent, layer or view alive; its children it owns. Attributes beyond the common ones are answered by handlers.
class QFLayerAccessibilityHelper : public fnd::Object, public ui::AccessibilityElement {
    FND_OBJECT(QFLayerAccessibilityHelper)

public:
    using GetHandler = std::function<fnd::Value(const QFLayerAccessibilityHelper&)>;
    using SetHandler = std::function<void(QFLayerAccessibilityHelper&, const fnd::Value&)>;
    // Where the element lies in its view's coordinates, when its owner knows better than its layer.
    using FrameHandler = std::function<std::optional<gfx::Rect>(const QFLayerAccessibilityHelper&)>;

    QFLayerAccessibilityHelper() = default;
    static std::shared_ptr<QFLayerAccessibilityHelper> layerAccesibilityHelperWithRole(const fnd::String& role,
        const std::shared_ptr<fnd::Object>& parent, const std::shared_ptr<ui::Layer>& layer,
        const std::shared_ptr<ui::View>& view);
    void initWithRole(const fnd::String& role, const std::shared_ptr<fnd::Object>& parent,
        const std::shared_ptr<ui::Layer>& layer, const std::shared_ptr<ui::View>& view);

    const fnd::String& role() const { return m_role; }
    void setRole(const fnd::String& role) { m_role = role; }
    std::shared_ptr<fnd::Object> parent() const { return m_parent.lock(); }
    void setParent(const std::shared_ptr<fnd::Object>& parent) { m_parent = parent; }
    std::shared_ptr<ui::Layer> layer() const { return m_layer.lock(); }
    std::shared_ptr<ui::View> view() const { return m_view.lock(); }
    bool isFocused() const { return m_focused; }
    void setFocused(bool flag) { m_focused = flag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool flag) { m_enabled = flag; }
    const std::set<fnd::String>& attributeNames() const { return answers().attributeNames; }
    void setAttributeNames(std::set<fnd::String> names)
    {
        ownAnswers().attributeNames = std::move(names);
        adjustChildrenAttribute();
    }
    const std::set<fnd::String>& writableAttributeNames() const { return answers().writableAttributeNames; }
    void setWritableAttributeNames(std::set<fnd::String> names)
    {
        ownAnswers().writableAttributeNames = std::move(names);
    }
    // Answers what the other element answers (its attribute names and handlers, which take the element they answer
    // for), sharing them until either changes its own: a list of thousands of alike items makes them once.
    void answerAs(const QFLayerAccessibilityHelper& other);

    // Children, in the forms key-value coding knows; inserting sets each child's parent, removing clears it, and
    // the children attribute is listed exactly while there are children. Indexes past the end are ignored.
    std::size_t countOfChildren() const { return m_children.size(); }
    std::shared_ptr<QFLayerAccessibilityHelper> objectInChildrenAtIndex(std::size_t index) const;
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> childrenAtIndexes(const fnd::IndexSet& indexes) const;
    const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children() const { return m_children; }
    void insertObjectInChildrenAtIndex(const std::shared_ptr<QFLayerAccessibilityHelper>& child, std::size_t index);
    // The children go to the indexes in ascending order, each index counted in the list as it grows. The changes of
    // many children at once take one pass over the list and tell of one change.
    void insertChildren(
        const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children, const fnd::IndexSet& indexes);
    void removeObjectFromChildrenAtIndex(std::size_t index);
    // Answers the children taken out, in order, so a caller letting go of them needs no copy of its own.
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> removeChildrenAtIndexes(const fnd::IndexSet& indexes);
    // The children at the indexes (ascending) give way to these, one for one.
    void replaceChildrenAtIndexes(
        const fnd::IndexSet& indexes, const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children);
    void addChildrenObject(const std::shared_ptr<QFLayerAccessibilityHelper>& child);
    void removeAllChildren();

    void addHandlerForAttribute(const fnd::String& attribute, GetHandler handler);
    void addHandlerForWritableAttribute(const fnd::String& attribute, SetHandler handler);
    void setFrameHandler(FrameHandler handler) { ownAnswers().frameHandler = std::move(handler); }
    // The element's rectangle in its view's coordinates: the frame handler's answer, else where its layer shows (its
    // bounds through every transform of the tree, turns and perspective included). Position and size report it on
    // the screen (position: its bottom-left corner, y up).
    std::optional<gfx::Rect> frameInView() const;

    // The accessibility protocol.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override { return {}; }
    fnd::String accessibilityActionDescription(const fnd::String&) const override { return {}; }
    void accessibilityPerformAction(const fnd::String&) override { }
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityFocusedUIElement() const override;
    // This element when the view's layer under the screen point is its own, else its parent's unignored ancestor.
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::String description() const override;

private:
    // What the element answers beyond the common attributes.
    struct Answers {
        std::set<fnd::String> writableAttributeNames;
        std::set<fnd::String> attributeNames;
        std::map<fnd::String, GetHandler> getHandlers;
        std::map<fnd::String, SetHandler> setHandlers;
        FrameHandler frameHandler;
    };
    const Answers& answers() const;
    // The element's own answers, copied first when they are shared.
    Answers& ownAnswers();
    void adjustChildrenAttribute();
    void childrenDidChange();

    fnd::String m_role;
    std::weak_ptr<fnd::Object> m_parent;
    std::weak_ptr<ui::Layer> m_layer;
    std::weak_ptr<ui::View> m_view;
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> m_children;
    // Nothing beyond the common attributes while null.
    std::shared_ptr<Answers> m_answers;
    bool m_focused { false };
    bool m_enabled { true };
};
