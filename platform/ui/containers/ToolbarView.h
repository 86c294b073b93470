#pragma once

#include "platform/graphics/Font.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/View.h"

namespace ui {

class Button;

// How a toolbar lays out its items in a display and size mode.
struct ToolbarMetrics {
    double iconSize;
    std::shared_ptr<gfx::Font> labelFont;
    double labelHeight;
    bool showsIcon;
    bool showsLabel;
    // The height of the items' row (without the baseline).
    double itemHeight;

    static ToolbarMetrics forModes(ToolbarDisplayMode display, ToolbarSizeMode size);
    // The narrowest an item may be in this mode.
    double minimumWidthOf(const ToolbarItem& item) const;
};

// One item in the toolbar's row: draws the item's image and label (or holds its view), and sends its action when
// clicked. While the toolbar is being customised the item is dragged instead: out of the toolbar to remove it,
// along it to move it.
class ToolbarItemViewer : public View, public DraggingSource {
    FND_OBJECT(ToolbarItemViewer)
public:
    static std::shared_ptr<ToolbarItemViewer> create(const std::shared_ptr<ToolbarItem>& item);

    const std::shared_ptr<ToolbarItem>& item() const { return m_item; }
    // The item's tip over the whole viewer.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;
    bool isPressed() const { return m_pressed; }

    // Draws an item (with the palette's looks when `inPalette`) into a rect, as the toolbar and the palette show it.
    static void drawItem(const ToolbarItem& item, gfx::Rect rect, const ToolbarMetrics& metrics, bool pressed,
        bool selected, bool inPalette);

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    bool acceptsFirstMouse(const Event*) override { return true; }
    std::shared_ptr<View> hitTest(gfx::Point point) override;
    DragOperation draggingSourceOperationMaskForLocal(bool) override { return DragOperations::Move; }
    // A button item takes the keyboard when the keyboard comes to the toolbar (F6), never from a click: Space and
    // Return press it, Left, Right, Tab and Shift+Tab go to the next item.
    bool acceptsFirstResponder() const override;
    void keyDown(const Event& event) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override { return bounds(); }

    // Accessibility: a button named by the item's label (an item with a view of its own lends it that view's
    // element; spaces are ignored); pressing it sends the item's action.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override;

private:
    std::shared_ptr<ToolbarView> toolbarView() const;
    bool isButton() const;
    void press();

    std::shared_ptr<ToolbarItem> m_item;
    bool m_pressed { false };
};

// The strip a window shows its toolbar in: the items' viewers in a row, an overflow button with a menu of the
// items that do not fit, and a line along its bottom. While the toolbar is customised it takes dragged item
// identifiers and shows where they would go.
class ToolbarView : public View, public DraggingDestination {
    FND_OBJECT(ToolbarView)
    static void describeClass(fnd::ClassBuilder<ToolbarView>& c);

public:
    static std::shared_ptr<ToolbarView> create(const std::shared_ptr<Toolbar>& toolbar);
    // The overflow button; the items come with the toolbar (create).
    void initWithFrame(gfx::Rect frame) override;
    // The view's data, with the overflow button named among the subviews (the toolbar is not archived with it).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    std::shared_ptr<Toolbar> toolbar() const { return m_toolbar.lock(); }
    ToolbarMetrics metrics() const;
    // Brings the viewers in line with the toolbar's items (keeping those of items still there) and lays them out,
    // unless the caller lays the strip out next anyway.
    void reloadItems(bool layOut = true);
    void layoutItems();
    const std::vector<std::shared_ptr<ToolbarItemViewer>>& viewers() const { return m_viewers; }
    // The items that did not fit.
    const std::vector<std::shared_ptr<ToolbarItem>>& overflowItems() const { return m_overflow; }
    const std::shared_ptr<Button>& overflowButton() const { return m_overflowButton; }
    // The index among the items a drop at the point (this view's coordinates) would take.
    long insertionIndexAt(gfx::Point point) const;
    long dropIndex() const { return m_dropIndex; }

    // The overflow button's action.
    void showOverflowMenu(const fnd::Value& sender);

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void viewWillDraw() override;
    // The toolbar's context menu, on the strip and on its items (which pass the right mouse on).
    std::shared_ptr<Menu> menuForEvent(const Event& event) override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;

    DragOperation draggingEntered(DraggingInfo& info) override;
    std::optional<DragOperation> draggingUpdated(DraggingInfo& info) override;
    void draggingExited(DraggingInfo& info) override;
    bool performDragOperation(DraggingInfo& info) override;
    void draggingEnded(DraggingInfo& info) override;

    // Accessibility: a toolbar whose children are its items and, when shown, the overflow button.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<Toolbar> m_toolbar;
    std::vector<std::shared_ptr<ToolbarItemViewer>> m_viewers;
    std::vector<std::shared_ptr<ToolbarItem>> m_overflow;
    std::shared_ptr<Button> m_overflowButton;
    long m_dropIndex { -1 };
};

}
