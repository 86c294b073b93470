#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace ui {
class Layer;
class View;
}

// Accessibility attributes and roles, with the platform's names.
namespace QFAccessibility {
inline const fnd::String RoleAttribute = "AXRole";
inline const fnd::String RoleDescriptionAttribute = "AXRoleDescription";
inline const fnd::String ParentAttribute = "AXParent";
inline const fnd::String WindowAttribute = "AXWindow";
inline const fnd::String TopLevelUIElementAttribute = "AXTopLevelUIElement";
inline const fnd::String PositionAttribute = "AXPosition";
inline const fnd::String SizeAttribute = "AXSize";
inline const fnd::String FocusedAttribute = "AXFocused";
inline const fnd::String EnabledAttribute = "AXEnabled";
inline const fnd::String ChildrenAttribute = "AXChildren";
inline const fnd::String SelectedChildrenAttribute = "AXSelectedChildren";
inline const fnd::String VisibleChildrenAttribute = "AXVisibleChildren";
inline const fnd::String OrientationAttribute = "AXOrientation";
inline const fnd::String TitleAttribute = "AXTitle";
inline const fnd::String SelectedAttribute = "AXSelected";
inline const fnd::String ValueAttribute = "AXValue";
inline const fnd::String ContentsAttribute = "AXContents";
inline const fnd::String ListRole = "AXList";
inline const fnd::String ImageRole = "AXImage";
inline const fnd::String ScrollBarRole = "AXScrollBar";
inline const fnd::String ValueIndicatorRole = "AXValueIndicator";
inline const fnd::String CheckBoxRole = "AXCheckBox";
inline const fnd::String ScrollAreaRole = "AXScrollArea";
inline const fnd::String HorizontalOrientationValue = "AXHorizontalOrientation";
// The role's description from the component's string table.
fnd::String roleDescription(const fnd::String& role);
}

// An accessibility element that stands for one layer (layers are no elements themselves). It does not keep its
// parent, layer or view alive; its children it owns. Attributes beyond the common ones are answered by handlers.
class QFLayerAccessibilityHelper : public fnd::Object {
    FND_OBJECT(QFLayerAccessibilityHelper)

public:
    using GetHandler = std::function<fnd::Value(QFLayerAccessibilityHelper&)>;
    using SetHandler = std::function<void(QFLayerAccessibilityHelper&, const fnd::Value&)>;

    QFLayerAccessibilityHelper() = default;
    static std::shared_ptr<QFLayerAccessibilityHelper> layerAccesibilityHelperWithRole(const fnd::String& role,
        const std::shared_ptr<fnd::Object>& parent, const std::shared_ptr<ui::Layer>& layer,
        const std::shared_ptr<ui::View>& view);

    const fnd::String& role() const { return m_role; }
    std::shared_ptr<fnd::Object> parent() const { return m_parent.lock(); }
    void setParent(const std::shared_ptr<fnd::Object>& parent) { m_parent = parent; }
    std::shared_ptr<ui::Layer> layer() const { return m_layer.lock(); }
    std::shared_ptr<ui::View> view() const { return m_view.lock(); }
    bool isFocused() const { return m_focused; }
    void setFocused(bool flag) { m_focused = flag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool flag) { m_enabled = flag; }
    const std::set<fnd::String>& attributeNames() const { return m_attributeNames; }
    void setAttributeNames(std::set<fnd::String> names) { m_attributeNames = std::move(names); adjustChildrenAttribute(); }
    const std::set<fnd::String>& writableAttributeNames() const { return m_writableAttributeNames; }
    void setWritableAttributeNames(std::set<fnd::String> names) { m_writableAttributeNames = std::move(names); }

    // Children; inserting sets the child's parent, removing clears it.
    std::size_t countOfChildren() const { return m_children.size(); }
    std::shared_ptr<QFLayerAccessibilityHelper> objectInChildrenAtIndex(std::size_t index) const;
    const std::vector<std::shared_ptr<QFLayerAccessibilityHelper>>& children() const { return m_children; }
    void insertObjectInChildrenAtIndex(const std::shared_ptr<QFLayerAccessibilityHelper>& child, std::size_t index);
    void removeObjectFromChildrenAtIndex(std::size_t index);
    void addChildrenObject(const std::shared_ptr<QFLayerAccessibilityHelper>& child);
    void removeAllChildren();

    void addHandlerForAttribute(const fnd::String& attribute, GetHandler handler);
    void addHandlerForWritableAttribute(const fnd::String& attribute, SetHandler handler);

    std::vector<fnd::String> accessibilityAttributeNames() const;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute);
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute);
    bool accessibilityIsIgnored() const { return false; }
    // The element under a point of the view: this one when the layer hit there is its own, else its parent.
    fnd::Value accessibilityHitTest(gfx::Point pointInView);
    fnd::String description() const override;

private:
    void adjustChildrenAttribute();

    fnd::String m_role;
    std::weak_ptr<fnd::Object> m_parent;
    std::weak_ptr<ui::Layer> m_layer;
    std::weak_ptr<ui::View> m_view;
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> m_children;
    std::set<fnd::String> m_writableAttributeNames;
    std::set<fnd::String> m_attributeNames;
    std::map<fnd::String, GetHandler> m_getHandlers;
    std::map<fnd::String, SetHandler> m_setHandlers;
    bool m_focused { false };
    bool m_enabled { true };
};
