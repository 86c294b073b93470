#pragma once

#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlDelegate.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"
#include "frameworks/tab-bar-core/EdgeResize.h"
#include "frameworks/tab-bar-core/SpringLoading.h"
#include "frameworks/tab-bar-core/TabOverflowMenu.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Axis.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace fnd {
class Bundle;
class Timer;
}
namespace ui {
class Animation;
class Menu;
class MenuItem;
class Event;
}
class ZTBOverflowPopUpButton;
class ZTBRolloverButton;
class ZTBTabBarCell;
class ZTBTabBarControl;

// The drag type of a tab of a tab bar control; the pasteboard holds the tab's index as a decimal string.
inline const fnd::String ZTBTabBarControlItemPBType = "ZTBTabBarControlItemPBType";

// The geometry of a tab bar control: widths, frames, tracking and close rects, state bits and the overflow menu.
class ZTBTabBarController {
public:
    explicit ZTBTabBarController(ZTBTabBarControl& control)
        : m_control(control)
    {
    }
    void layoutCells();
    gfx::Rect cellFrameAtIndex(long index) const;
    gfx::Rect cellTrackingRectAtIndex(long index) const;
    gfx::Rect closeButtonTrackingRectAtIndex(long index) const;
    gfx::Rect addButtonRect() const { return m_addButtonRect; }
    const std::shared_ptr<ui::Menu>& overflowMenu() const { return m_overflowMenu; }
    void setSelectedCell(ZTBTabBarCell& cell);
    // Widths (horizontal) or y origins (vertical) of the tabs that fit.
    std::vector<double> generateWidthsFromCells(const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells);
    void setupCells(const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells, const std::vector<double>& widths);

private:
    ZTBTabBarControl& m_control;
    std::vector<gfx::Rect> m_cellTrackingRects;
    std::vector<gfx::Rect> m_closeButtonTrackingRects;
    std::vector<gfx::Rect> m_cellFrames;
    gfx::Rect m_addButtonRect;
    std::shared_ptr<ui::Menu> m_overflowMenu;
    std::shared_ptr<tbcore::OverflowMenuDelegate> m_menuDelegate = std::make_shared<tbcore::OverflowMenuDelegate>();
};

// A cell-based tab bar beside a tab view: one cell per item, appended in the order items arrive. The bar is the tab
// view's delegate (set from outside) and passes the calls on to its own delegate.
class ZTBTabBarControl : public ZTBTabBarControlBase,
                         public ui::TabViewDelegate,
                         public ui::DraggingSource,
                         public ui::DraggingDestination,
                         public ui::ToolTipOwner,
                         public ui::MenuItemValidation {
    FND_OBJECT(ZTBTabBarControl)
    static void describeClass(fnd::ClassBuilder<ZTBTabBarControl>& c);

public:
    ZTBTabBarControl();
    ~ZTBTabBarControl() override;
    static std::shared_ptr<ZTBTabBarControl> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // The bundle of the class: the family's pictures and texts.
    static std::shared_ptr<fnd::Bundle> bundle();
    // The limits a split view's knob may give the bar: 100 to 10000 wide, 22 high.
    gfx::Size minimumFrameSizeFromKnobPosition(gfx::Point) const { return { 100, 22 }; }
    gfx::Size maximumFrameSizeFromKnobPosition(gfx::Point) const { return { 10000, 22 }; }

    // Styles by name (ZTBTabStyleRegistry): "Aqua", "Unified", "Capsule", "Card" and "Metal"; any other name gives
    // Metal, the default.
    static inline const fnd::String DefaultStyleName = "Metal";
    static std::shared_ptr<ZTBTabStyle> makeTabStyleNamed(const fnd::String& name);
    const std::shared_ptr<ZTBTabStyle>& style() const { return m_style; }
    void setStyle(std::shared_ptr<ZTBTabStyle> style);
    fnd::String styleName() const { return m_style ? m_style->name() : fnd::String(); }
    void setStyleNamed(const fnd::String& name);

    const std::shared_ptr<ui::TabView>& tabView() const override { return m_tabView; }
    // The items the tab view already has show at once; later ones come through its delegate calls.
    void setTabView(std::shared_ptr<ui::TabView> tabView);
    std::shared_ptr<ZTBTabBarControlDelegate> delegate() const { return m_delegate.lock(); }
    // Registers the bar for the tab drag type and the extra types the delegate allows for the tab view.
    void setDelegate(const std::shared_ptr<ZTBTabBarControlDelegate>& delegate);
    std::shared_ptr<ui::View> partnerView() const { return m_partnerView; }
    // The bar itself raises InvalidArgument, as an archive naming it is refused: a bar is no partner of its own.
    void setPartnerView(std::shared_ptr<ui::View> view)
    {
        if (view.get() == this)
            throw fnd::Exception::invalidArgument(
                "ZTBTabBarControl: setPartnerView: a tab bar control cannot be its own partner");
        m_partnerView = std::move(view);
    }

    // Options.
    bool canCloseOnlyTab() const { return m_canCloseOnlyTab; }
    void setCanCloseOnlyTab(bool flag);
    bool disableTabClose() const { return m_disableTabClose; }
    void setDisableTabClose(bool flag) { m_disableTabClose = flag, update(); }
    bool hideForSingleTab() const { return m_hideForSingleTab; }
    void setHideForSingleTab(bool flag) { m_hideForSingleTab = flag, update(); }
    bool showAddTabButton() const { return m_showAddTabButton; }
    void setShowAddTabButton(bool flag);
    bool sizeCellsToFit() const { return m_sizeCellsToFit; }
    void setSizeCellsToFit(bool flag) { m_sizeCellsToFit = flag, update(); }
    bool useOverflowMenu() const { return m_useOverflowMenu; }
    void setUseOverflowMenu(bool flag) { m_useOverflowMenu = flag, update(); }
    long cellMinWidth() const { return m_cellMinWidth; }
    void setCellMinWidth(long width) { m_cellMinWidth = width, update(); }
    long cellMaxWidth() const { return m_cellMaxWidth; }
    void setCellMaxWidth(long width) { m_cellMaxWidth = width, update(); }
    long cellOptimumWidth() const { return m_cellOptimumWidth; }
    void setCellOptimumWidth(long width) { m_cellOptimumWidth = width, update(); }
    int orientation() const override { return m_orientation; }
    // The axis the tabs run along: x for a horizontal bar, y for a vertical one.
    gfx::Axis barAxis() const { return m_orientation == 1 ? gfx::Axis::Y : gfx::Axis::X; }
    void setOrientation(int orientation);
    bool allowsBackgroundTabClosing() const { return m_allowsBackgroundTabClosing; }
    void setAllowsBackgroundTabClosing(bool flag) { m_allowsBackgroundTabClosing = flag; }
    bool allowsResizing() const { return m_allowsResizing; }
    void setAllowsResizing(bool flag) { m_allowsResizing = flag; }
    bool selectsTabsOnMouseDown() const { return m_selectsTabsOnMouseDown; }
    void setSelectsTabsOnMouseDown(bool flag) { m_selectsTabsOnMouseDown = flag; }
    bool automaticallyAnimates() const { return m_automaticallyAnimates; }
    void setAutomaticallyAnimates(bool flag) { m_automaticallyAnimates = flag; }
    bool alwaysShowActiveTab() const { return m_alwaysShowActiveTab; }
    void setAlwaysShowActiveTab(bool flag) { m_alwaysShowActiveTab = flag; }
    bool allowsScrubbing() const { return m_allowsScrubbing; }
    void setAllowsScrubbing(bool flag) { m_allowsScrubbing = flag; }
    int tearOffStyle() const { return m_tearOffStyle; }
    void setTearOffStyle(int style) { m_tearOffStyle = style; }
    long tabBarWidth() const { return m_tabBarWidth; }
    long resizeAreaCompensation() const { return m_resizeAreaCompensation; }
    bool isResizing() const { return m_resizing; }
    long currentStep() const { return m_currentStep; }
    bool awakenedFromNib() const { return m_awakenedFromNib; }

    // Cells.
    std::vector<std::shared_ptr<ZTBTabBarCell>>& cells() { return m_cells; }
    const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells() const override { return m_cells; }
    const std::shared_ptr<ZTBRolloverButton>& addTabButton() const { return m_addTabButton; }
    const std::shared_ptr<ZTBOverflowPopUpButton>& overflowPopUpButton() const { return m_overflowPopUpButton; }
    ZTBTabBarController& controller() { return *m_controller; }
    void addTabViewItem(const std::shared_ptr<ui::TabViewItem>& item);
    void removeTabForCell(const std::shared_ptr<ZTBTabBarCell>& cell);
    void bindPropertiesForCell(ZTBTabBarCell& cell, ui::TabViewItem& item);
    std::vector<std::shared_ptr<ui::TabViewItem>> representedTabViewItems() const;
    void addCellsForItemsNotShown();
    // A cell, appended, for each of the items (in their order) that no cell shows.
    void addCellsForItemsNotShown(const std::vector<std::shared_ptr<ui::TabViewItem>>& items);
    std::shared_ptr<ZTBTabBarCell> cellForPoint(gfx::Point point, gfx::Rect* cellFrame = nullptr) const;
    std::shared_ptr<ZTBTabBarCell> cellForItem(const ui::TabViewItem& item) const;
    long indexOfCell(const ZTBTabBarCell& cell) const;
    std::shared_ptr<ZTBTabBarCell> lastVisibleTab() const;
    long numberOfVisibleTabs() const;
    double availableCellWidth() const;
    gfx::Rect genericCellRect() const;
    bool isTabBarHidden() const { return m_isHidden; }
    bool isAnimating() const override { return m_animationTimer != nullptr; }
    const std::shared_ptr<ui::Event>& lastMouseDownEvent() const { return m_lastMouseDownEvent; }
    void setLastMouseDownEvent(std::shared_ptr<ui::Event> event) { m_lastMouseDownEvent = std::move(event); }
    // The tool tip of the tab under the point (the bar registers one rect per visible tab), from the delegate.
    fnd::String stringForToolTip(ui::View& view, long tag, gfx::Point point, const fnd::Value& userData) override;

    // Update cycle.
    void update() { update(m_automaticallyAnimates); }
    void update(bool animate);
    // An update in the window's next layout pass (one for any number of requests).
    void setNeedsUpdate();
    void layout() override;
    void animateCellsStep();
    void placeView(gfx::Rect rect);

    // Hiding and showing in four timer steps (one without animation).
    void hideTabBar(bool hide, bool animate);
    void animateShowHideStep();
    void windowDidUpdate();
    void awakeFromNib() override;

    // Actions.
    void tabClick(ZTBTabBarCell& cell);
    void tabNothing(ZTBTabBarCell*) { }
    void closeTabClick(ZTBTabBarCell& cell);
    void overflowMenuAction(ui::MenuItem& item);
    bool validateMenuItem(ui::MenuItem& item) override;
    std::shared_ptr<ui::Menu> menuForEvent(const ui::Event& event) override;

    // Mouse.
    void mouseDown(const ui::Event& event) override;
    void mouseDragged(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    void resetCursorRects() override;
    bool acceptsFirstMouse(const ui::Event*) override { return true; }
    // A press in an inactive window reaches the bar, which never moves its window, while the window stays where it
    // is until the release.
    bool shouldDelayWindowOrderingForEvent(const ui::Event&) override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }

    // Drag source.
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    bool ignoreModifierKeysWhileDragging() override { return true; }
    void draggedImageBeganAt(gfx::Image& image, gfx::Point screenPoint) override;
    void draggedImageMovedTo(gfx::Image& image, gfx::Point screenPoint) override;
    void draggedImageEndedAt(gfx::Image& image, gfx::Point screenPoint, ui::DragOperation operation) override;

    // Drag destination.
    ui::DragOperation draggingEntered(ui::DraggingInfo& info) override;
    std::optional<ui::DragOperation> draggingUpdated(ui::DraggingInfo& info) override;
    void draggingExited(ui::DraggingInfo& info) override;
    bool prepareForDragOperation(ui::DraggingInfo& info) override;
    bool performDragOperation(ui::DraggingInfo& info) override;
    void concludeDragOperation(ui::DraggingInfo&) override { }
    // A drag that ended (dropped or not) springs no tab open afterwards.
    void draggingEnded(ui::DraggingInfo&) override { m_spring.stop(); }
    void fireSpring(fnd::Timer& timer);
    const std::shared_ptr<fnd::Timer>& springTimer() const { return m_spring.timer(); }

    // Tab view delegate (forwarded to ours).
    std::optional<bool> tabViewShouldSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item) override;
    void tabViewWillSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item) override;
    void tabViewDidSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item) override;
    void tabViewDidChangeNumberOfTabViewItems(ui::TabView& tabView) override;

    // View.
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewDidMoveToWindow() override;
    void viewWillStartLiveResize() override;
    void viewDidEndLiveResize() override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;
    // Accessibility (ZTBTabBarControlAccessibility.cpp): a group whose children are its tabs' cells. The element at
    // a screen point is the cell under it (by geometry: the highlight is only where the mouse last was), else the bar.
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;

    // After the view's data: the cells, the tab view, both buttons, the style object and every option, and the
    // delegate as a conditional reference. The step and the awakened flag are written but not read back, and the
    // last mouse-down event is written as nil, so a decoded bar is at rest; a missing key keeps the initial value.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Layout pieces.
    void _positionOverflowMenu();
    void _checkWindowFrame();
    void _setupTrackingRectsForCell(ZTBTabBarCell& cell);
    // The same for the cell at the index, where the caller walks the cells (each would be looked for otherwise).
    void _setupTrackingRectsForCell(ZTBTabBarCell& cell, long index);

private:
    // Removes the rect the tag names only when this bar holds it for the cell: a tag may be stale (set from
    // outside) and must never take another owner's rect.
    void removeTrackingRectOfCell(const ZTBTabBarCell& cell, long tag);
    void initAddedProperties();
    void registerDraggedTypes();
    void frameDidChange();
    void finishShowHide();
    bool isTabDrag(ui::DraggingInfo& info) const;
    void updateSpring(ui::DraggingInfo& info, ZTBTabBarCell& cell);
    std::shared_ptr<ZTBTabBarControl> self();
    gfx::Point mouseInBar() const;
    std::shared_ptr<ui::Event> currentEvent() const;

    std::vector<std::shared_ptr<ZTBTabBarCell>> m_cells;
    std::shared_ptr<ui::TabView> m_tabView;
    std::shared_ptr<ZTBOverflowPopUpButton> m_overflowPopUpButton;
    std::shared_ptr<ZTBRolloverButton> m_addTabButton;
    std::unique_ptr<ZTBTabBarController> m_controller;
    tbcore::SpringLoading m_spring { [this](fnd::Timer& timer) { fireSpring(timer); } };
    std::shared_ptr<ZTBTabStyle> m_style;
    bool m_canCloseOnlyTab { false };
    bool m_disableTabClose { false };
    bool m_hideForSingleTab { false };
    bool m_showAddTabButton { false };
    bool m_sizeCellsToFit { false };
    bool m_useOverflowMenu { true };
    bool m_alwaysShowActiveTab { false };
    bool m_allowsScrubbing { false };
    long m_resizeAreaCompensation { 0 };
    int m_orientation { 0 };
    bool m_automaticallyAnimates { false };
    std::shared_ptr<fnd::Timer> m_animationTimer;
    std::vector<gfx::Rect> m_animationTargets;
    std::shared_ptr<ui::Animation> m_animation;
    int m_tearOffStyle { 0 };
    bool m_allowsBackgroundTabClosing { true };
    bool m_selectsTabsOnMouseDown { false };
    bool m_allowsResizing { false };
    bool m_resizing { false };
    tbcore::EdgeResize m_edgeResize;
    bool m_resizeCursorPushed { false };
    long m_cellMinWidth { 100 };
    long m_cellMaxWidth { 280 };
    long m_cellOptimumWidth { 130 };
    long m_currentStep { -1 };
    bool m_isHidden { false };
    std::shared_ptr<ui::View> m_partnerView;
    bool m_awakenedFromNib { false };
    long m_tabBarWidth { 0 };
    std::shared_ptr<fnd::Timer> m_showHideAnimationTimer;
    // Along the bar's axis: origin and size of the bar and its partner (or window), from and to.
    struct ShowHideValues {
        double myOriginalOrigin, partnerOriginalOrigin, myOriginalSize, partnerOriginalSize;
        double myTargetOrigin, partnerTargetOrigin, myTargetSize, partnerTargetSize;
    } m_showHide {};
    // The height of a horizontal bar when it was collapsed, so it comes back at exactly that height.
    double m_hiddenBarHeight { 0 };
    // The bar's and its partner's (or, without one, the window's) frames once hidden or shown; false without a
    // partner or a window.
    bool collapsedFrames(bool hide, gfx::Rect& bar, gfx::Rect& partner);
    std::shared_ptr<ui::Event> m_lastMouseDownEvent;
    bool m_didDrag { false };
    bool m_closeClicked { false };
    bool m_needsUpdate { false };
    bool m_windowUpdatePending { false };
    std::weak_ptr<ZTBTabBarControlDelegate> m_delegate;
    std::vector<fnd::NotificationObserverToken> m_windowObservers;
    fnd::NotificationObserverToken m_windowUpdateObserver {};
    fnd::NotificationObserverToken m_frameObserver {};
    // Items whose "identifier" the bar watches, each with the cell the bar bound to it: a cell of the bar, or the
    // one a drag from the bar carries. Found by the item, so no change of one tab searches all the cells.
    struct BoundItem {
        std::weak_ptr<ui::TabViewItem> item;
        std::weak_ptr<ZTBTabBarCell> cell;
    };
    std::unordered_map<const ui::TabViewItem*, BoundItem> m_boundItems;
    // Forgets the item; true when it was watched (and still lives), so its observer is to be removed.
    bool forgetObservedItem(const ui::TabViewItem& item);
    // The cell bound to the item, whether among the cells or carried by a drag.
    std::shared_ptr<ZTBTabBarCell> boundCellOf(const ui::TabViewItem& item) const;
    // Removes the cell, looked for first at the place given.
    void removeTabForCell(const std::shared_ptr<ZTBTabBarCell>& cell, long place);

    // The tab view's change count when the cells last matched its items (a count of another tab view's, or of none,
    // never matches).
    const ui::TabView* m_followedTabView { nullptr };
    unsigned long m_followedItemChangeCount { 0 };
    void noteWhetherCellsMatchItems();
    // Takes the tab view's one change since the cells last matched its items as the change it is; false when that
    // is not known (changes came unreported, a drag is under way), so the cells are to be compared with the items.
    bool followLastItemChange(ui::TabView& tabView, const std::shared_ptr<ZTBTabBarControlDelegate>& delegate);
};
