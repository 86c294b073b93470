#pragma once

#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewDelegate.h"
#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/tab-bar-core/EdgeResize.h"
#include "frameworks/tab-bar-core/SpringLoading.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/Axis.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Animation.h"
#include "platform/ui/views/View.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fnd {
class Bundle;
class IndexSet;
class Timer;
}
namespace ui {
class ViewAnimation;
}
class QFAttachedTabBarButton;
class QFOverflowPopUpButton;
class QFRolloverButton;
class QFSlideButtonsAnimation;
class QFTabBarButton;
class QFTabBarController;

// Options of enumerateAttachedButtons.
namespace QFTabBarButtonEnumeration {
inline constexpr unsigned UpdateTabState = 2;
inline constexpr unsigned UpdateSelection = 4;
}

// A tab of a tab bar view in bar order, with its button once it has one.
struct QFTabBarTab {
    std::shared_ptr<ui::TabViewItem> item;
    std::shared_ptr<QFAttachedTabBarButton> button;
};

// The drag type of a tab of a tab bar view.
inline const fnd::String QFAttachedTabBarButtonPasteboardType = "org.barcodes.QFTabBarView.attachedButton";

// A row (or column) of tabs beside a tab view, one button per item, kept in step with it both ways: the bar is the
// tab view's delegate and passes its calls on to its own delegate; clicks, closes, the overflow menu and drags act
// on the tab view. Its look comes from a style found by name in a registry.
class QFTabBarView : public QFTabBarViewBase,
                     public ui::TabViewDelegate,
                     public ui::DraggingSource,
                     public ui::DraggingDestination,
                     public ui::AnimationDelegate,
                     public ui::MenuItemValidation {
    FND_OBJECT(QFTabBarView)
    static void describeClass(fnd::ClassBuilder<QFTabBarView>& c);

public:
    QFTabBarView();
    ~QFTabBarView() override;
    static std::shared_ptr<QFTabBarView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // The bundle of the class: the family's pictures and texts.
    static std::shared_ptr<fnd::Bundle> bundle();

    // Style registry (QFTabStyleRegistry, which the styles fill themselves): a class is stored under its style
    // name, replacing an earlier class of that name.
    using StyleFactory = std::function<std::shared_ptr<QFTabStyle>()>;
    template <typename Style> static void registerTabStyleClass()
    {
        registerTabStyleClass(Style::styleName(), Style::staticClassInfo(), [] { return Style::create(); });
    }
    static void registerTabStyleClass(const fnd::String& name, const fnd::ClassInfo& styleClass, StyleFactory factory);
    static void unregisterTabStyleClass(const fnd::String& name);
    static std::vector<const fnd::ClassInfo*> registeredTabStyleClasses();
    // nullptr for a name nobody registered.
    static const fnd::ClassInfo* registeredClassForStyleName(const fnd::String& name);
    static inline const fnd::String DefaultStyleName = "Metal";

    // Style.
    const std::shared_ptr<QFTabStyle>& style() const { return m_style; }
    void setStyle(std::shared_ptr<QFTabStyle> style);
    fnd::String styleName() const;
    void setStyleNamed(const fnd::String& name);

    // The tab view.
    std::shared_ptr<ui::TabView> tabView() const;
    void setTabView(const std::shared_ptr<ui::TabView>& tabView);
    std::shared_ptr<QFTabBarViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<QFTabBarViewDelegate>& delegate);
    std::shared_ptr<ui::View> partnerView() const { return m_partnerView.lock(); }
    // The bar itself raises InvalidArgument, as an archive naming it is refused: a bar is no partner of its own.
    void setPartnerView(std::shared_ptr<ui::View> view)
    {
        if (view.get() == this)
            throw fnd::Exception::invalidArgument(
                "QFTabBarView: setPartnerView: a tab bar view cannot be its own partner");
        m_partnerView = std::move(view);
    }

    // Options.
    bool onlyShowCloseOnHover() const override { return m_onlyShowCloseOnHover; }
    void setOnlyShowCloseOnHover(bool flag);
    bool canCloseOnlyTab() const { return m_canCloseOnlyTab; }
    void setCanCloseOnlyTab(bool flag);
    bool disableTabClose() const { return m_disableTabClose; }
    void setDisableTabClose(bool flag);
    bool hideForSingleTab() const { return m_hideForSingleTab; }
    void setHideForSingleTab(bool flag);
    bool showAddTabButton() const override { return m_showAddTabButton; }
    void setShowAddTabButton(bool flag);
    bool sizeButtonsToFit() const { return m_sizeButtonsToFit; }
    void setSizeButtonsToFit(bool flag);
    bool useOverflowMenu() const { return m_useOverflowMenu; }
    void setUseOverflowMenu(bool flag);
    bool alwaysShowActiveTab() const { return m_alwaysShowActiveTab; }
    void setAlwaysShowActiveTab(bool flag) { m_alwaysShowActiveTab = flag; }
    bool allowsScrubbing() const { return m_allowsScrubbing; }
    void setAllowsScrubbing(bool flag);
    QFTabBarOrientation orientation() const override { return m_orientation; }
    // The axis the buttons run along: x for a horizontal bar, y for a vertical one.
    gfx::Axis barAxis() const { return m_orientation == QFTabBarOrientation::Vertical ? gfx::Axis::Y : gfx::Axis::X; }
    void setOrientation(QFTabBarOrientation orientation);
    bool automaticallyAnimates() const { return m_automaticallyAnimates; }
    void setAutomaticallyAnimates(bool flag) { m_automaticallyAnimates = flag; }
    unsigned tearOffStyle() const { return m_tearOffStyle; }
    void setTearOffStyle(unsigned style) { m_tearOffStyle = style; }
    bool allowsBackgroundTabClosing() const { return m_allowsBackgroundTabClosing; }
    void setAllowsBackgroundTabClosing(bool flag);
    bool selectsTabsOnMouseDown() const { return m_selectsTabsOnMouseDown; }
    void setSelectsTabsOnMouseDown(bool flag) { m_selectsTabsOnMouseDown = flag; }
    bool allowsResizing() const { return m_allowsResizing; }
    void setAllowsResizing(bool flag) { m_allowsResizing = flag; }
    bool isResizing() const { return m_isResizing; }
    long buttonMinWidth() const { return m_buttonMinWidth; }
    void setButtonMinWidth(long width);
    long buttonMaxWidth() const { return m_buttonMaxWidth; }
    void setButtonMaxWidth(long width);
    long buttonOptimumWidth() const { return m_buttonOptimumWidth; }
    void setButtonOptimumWidth(long width);
    bool isReorderingTabViewItems() const { return m_isReorderingTabViewItems; }
    void setIsReorderingTabViewItems(bool flag) { m_isReorderingTabViewItems = flag; }
    long destinationIndexForDraggedItem() const override { return m_destinationIndexForDraggedItem; }
    void setDestinationIndexForDraggedItem(long index) { m_destinationIndexForDraggedItem = index; }
    long resizeAreaCompensation() const { return m_resizeAreaCompensation; }

    // Tab view access.
    long numberOfTabViewItems() const;
    long numberOfVisibleTabViewItems() const;
    std::vector<std::shared_ptr<ui::TabViewItem>> visibleTabViewItems() const;
    long indexOfTabViewItem(const ui::TabViewItem* item) const;
    std::shared_ptr<ui::TabViewItem> selectedTabViewItem() const;
    void selectTabViewItem(const std::shared_ptr<ui::TabViewItem>& item);
    void removeTabViewItem(const std::shared_ptr<ui::TabViewItem>& item);
    void moveTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, long index);

    // Buttons.
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> attachedButtons() const;
    long numberOfAttachedButtons() const;
    // Where the attached buttons stand among the subviews.
    fnd::IndexSet viewIndexesOfAttachedButtons() const;
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> orderedAttachedButtons() const;
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> sortedAttachedButtonsUsingComparator(
        const std::function<ui::ComparisonResult(const QFAttachedTabBarButton&, const QFAttachedTabBarButton&)>&
            compare) const;
    std::shared_ptr<QFAttachedTabBarButton> lastAttachedButton() const override;
    long indexOfAttachedButton(const QFAttachedTabBarButton& button) const;
    std::shared_ptr<QFAttachedTabBarButton> selectedAttachedButton() const;
    // The subview index of selectedAttachedButton, fnd::NotFound without one.
    long viewIndexOfSelectedAttachedButton() const;
    std::shared_ptr<QFAttachedTabBarButton> attachedButtonForTabViewItem(const ui::TabViewItem& item) const;
    // A button for the item, placed after `last` (insertAttachedButtonForTabViewItem with the last button).
    std::shared_ptr<QFAttachedTabBarButton> makeAttachedButtonForTabViewItem(
        const std::shared_ptr<ui::TabViewItem>& item, long index, const std::shared_ptr<QFAttachedTabBarButton>& last);
    // A button for each item of the tab view that has none, in the items' order (the dragged item's left out when
    // asked): what setTabView does, and the update pass while a tab is dragged or slides.
    void insertAttachedButtonsForItemsWithoutOne(bool skipDraggedItem);
    // Whether the layout makes the buttons itself, only for the tabs it shows (the tabs in the overflow menu have
    // none): so while no tab is dragged or slides, when the bar's order is its tab view's.
    bool laysOutTabsWithoutButtons() const;
    // Every tab in bar order, with its button where it has one: first the buttons whose items left the tab view,
    // then the tab view's items. nullopt when the layout cannot go by the items (see laysOutTabsWithoutButtons), or
    // when the buttons are out of step with them.
    std::optional<std::vector<QFTabBarTab>> tabsInBarOrder() const;
    // The title a button bound to the item shows (its identifier's title, else its label); the item's label
    // follows that title, as it follows its button's.
    fnd::String titleOfTabViewItem(ui::TabViewItem& item) const;
    std::shared_ptr<QFAttachedTabBarButton> attachedButtonAtPoint(gfx::Point point) const;
    std::shared_ptr<QFTabBarButton> tabBarButtonAtPoint(gfx::Point point) const;
    void insertAttachedButtonForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, long index);
    void addAttachedButtonForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item);
    void removeAttachedButton(QFAttachedTabBarButton& button);
    void removeAttachedButton(QFAttachedTabBarButton& button, bool synchronizeTabViewItems);
    void insertAttachedButton(const std::shared_ptr<QFAttachedTabBarButton>& button, long tabItemIndex);
    std::shared_ptr<ui::TabViewItem> tabViewItemPinnedToOverflowButton() const;
    void setTabViewItemPinnedToOverflowButton(const std::shared_ptr<ui::TabViewItem>& item);
    const std::shared_ptr<QFOverflowPopUpButton>& overflowPopUpButton() const { return m_overflowPopUpButton; }
    const std::shared_ptr<QFRolloverButton>& addTabButton() const { return m_addTabButton; }
    QFTabBarController& controller() const { return *m_controller; }

    using ButtonVisitor = std::function<void(QFAttachedTabBarButton& button, long index,
        QFAttachedTabBarButton* previous, QFAttachedTabBarButton* next, bool& stop)>;
    void enumerateAttachedButtons(const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, fnd::Range range,
        unsigned options, const ButtonVisitor& block);
    void enumerateAttachedButtonsUsingBlock(const ButtonVisitor& block);
    void enumerateAttachedButtonsWithOptions(unsigned options, const ButtonVisitor& block);
    void updateTabStateMaskOfAttachedButton(
        QFAttachedTabBarButton& button, long index, QFAttachedTabBarButton* previous, QFAttachedTabBarButton* next);
    void updateTabStateMaskOfAttachedButton(QFAttachedTabBarButton& button, long index);
    void updateTabStateMaskOfAttachedButtons();

    // Geometry and metrics (each asked of the style first).
    double leftMargin();
    double rightMargin();
    double topMargin() override;
    double bottomMargin();
    gfx::Size addTabButtonSize();
    gfx::Rect addTabButtonRect();
    // The built-in rects, for styles that adjust them.
    gfx::Rect _addTabButtonRect() override;
    gfx::Rect _overflowButtonRect() override;
    gfx::Size overflowButtonSize();
    gfx::Rect overflowButtonRect();
    double heightOfTabBarButtons();
    bool supportsOrientation(QFTabBarOrientation orientation);
    double availableWidthForButtons();
    double availableHeightForButtons();
    gfx::Rect genericButtonRect();
    gfx::Rect dividerRect() const;
    bool isOverflowButtonVisible() const override;
    bool isWindowActive() const override;

    // Update cycle.
    bool needsUpdate() const;
    // Any number of requests before the window's next layout pass give one update, in that pass (from any thread).
    void setNeedsUpdate(bool flag);
    void layout() override;
    void update();
    void update(bool animate);
    void layoutButtons();

    // Hiding and showing.
    void hideTabBar(bool hide, bool animate);
    bool isTabBarHidden() const override { return m_isHidden; }
    bool isAnimating() const { return m_slideButtonsAnimation || m_hideShowTabBarAnimation; }

    // Bindings of a button to its item.
    void bindPropertiesOfAttachedButton(QFAttachedTabBarButton& button, ui::TabViewItem& item);
    void unbindPropertiesOfAttachedButton(QFAttachedTabBarButton& button);

    // Actions.
    void _addNewTab(const fnd::Value& sender);
    void _didClickTabButton(const fnd::Value& sender);
    void _didClickCloseButton(const fnd::Value& sender);
    void _overflowMenuAction(const fnd::Value& sender);
    bool validateMenuItem(ui::MenuItem& item) override;
    std::shared_ptr<ui::Menu> menuForTabBarButton(QFTabBarButton& button, const ui::Event& event);
    std::shared_ptr<ui::Menu> menuForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, const ui::Event& event);

    // Drag source side (forwarded to the shared drag assistant).
    bool shouldStartDraggingAttachedTabBarButton(QFAttachedTabBarButton& button, const ui::Event& event);
    void startDraggingAttachedTabBarButton(QFAttachedTabBarButton& button, const ui::Event& event);
    std::shared_ptr<QFAttachedTabBarButton> attachedTabBarButtonForDraggedItems() const;
    bool isSliding() const;
    // A tab of this bar slides along it (another bar's slide leaves this one in its tabs' order).
    bool isSlidingHere() const;
    bool isDragging() const;
    bool allowsDetachedDraggingOfTabViewItem(ui::TabViewItem& item);
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    bool ignoreModifierKeysWhileDragging() override { return true; }
    void draggedImageBeganAt(gfx::Image& image, gfx::Point screenPoint) override;
    void draggedImageMovedTo(gfx::Image& image, gfx::Point screenPoint) override;
    void draggedImageEndedAt(gfx::Image& image, gfx::Point screenPoint, ui::DragOperation operation) override;

    // Drag destination side.
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

    // Animation delegate (slides and hide/show).
    void animationDidStop(ui::Animation& animation) override;
    void animationDidEnd(ui::Animation& animation) override;

    // View.
    bool isFlipped() const override { return true; }
    bool acceptsFirstMouse(const ui::Event*) override { return true; }
    // A press in an inactive window reaches the bar, which never moves its window, while the window stays where it
    // is until the release.
    bool shouldDelayWindowOrderingForEvent(const ui::Event&) override { return true; }
    bool mouseDownCanMoveWindow() const override { return false; }
    void drawRect(gfx::Rect dirtyRect) override;
    void drawBezelInRect(gfx::Rect rect);
    void drawButtonBezelsInRect(gfx::Rect rect);
    void drawBezelOfButton(QFAttachedTabBarButton& button, long index,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, gfx::Rect rect);
    void drawBezelOfOverflowButton(QFOverflowPopUpButton& button, gfx::Rect rect);
    void drawInteriorInRect(gfx::Rect rect);
    void mouseDown(const ui::Event& event) override;
    std::shared_ptr<ui::View> hitTest(gfx::Point point) override;
    void resetCursorRects() override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewDidMoveToWindow() override;
    void viewWillStartLiveResize() override;
    void viewDidEndLiveResize() override;
    void updateTrackingAreas() override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    // Accessibility (QFTabBarViewAccessibility.cpp): a group whose children are its tabs' buttons, in bar order. The
    // element at a screen point is the tab under it (by geometry: the highlight is only where the mouse last was),
    // else the bar.
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;

    // After the view's data (without the attached buttons, made again from the tab view): "QFtabView",
    // "QFOverflowPopUpButton", "QFaddTabButton", "QFstyle", the options, "QFpartnerView" and "QFdelegate" (a
    // conditional reference), in that order (QFTabBarViewArchiving.cpp).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Used by the drag assistant and the tests.
    void _checkWindowFrame();
    bool _shouldDisplayTabBar() const;
    void _synchronizeSelection();
    // Told by a button's cell when the button becomes selected or takes a mark for a selected neighbour.
    void noteSelectionMark(QFAttachedTabBarButton& button);
    void _positionAddTabButton();
    void _finalizeAnimation(ui::Animation& animation);

protected:
    std::vector<std::shared_ptr<ui::View>> subviewsForCoding() const override;

private:
    void commonInit();
    // Our own tab drags, and whatever the delegate allows for the tab view.
    void registerDraggedTypes();
    void _updateAddTabButton();
    void _updateOverflowPopUpButton();
    void _positionOverflowMenu();
    void _beginResizingWithMouseDownEvent(const ui::Event& event);
    void frameDidChange();
    void forEachButton(const std::function<void(QFAttachedTabBarButton&)>& visit) const;
    // The bar stops watching its items' identifiers (it is going away).
    void stopObservingItems();
    // The window's toolbar being shown or hidden (observed as "toolbar.visible"): true when the context is that one.
    bool observeToolbar(const void* context);
    void stopObservingToolbar();
    void stopAnimations();
    bool isTabDrag(ui::DraggingInfo& info) const;
    std::shared_ptr<QFTabBarView> self();

    std::shared_ptr<ui::TabView> m_tabView;
    std::shared_ptr<QFOverflowPopUpButton> m_overflowPopUpButton;
    std::shared_ptr<QFRolloverButton> m_addTabButton;
    std::unique_ptr<QFTabBarController> m_controller;
    tbcore::SpringLoading m_spring { [this](fnd::Timer& timer) { fireSpring(timer); } };
    tbcore::EdgeResize m_edgeResize;
    std::shared_ptr<QFTabStyle> m_style;
    bool m_onlyShowCloseOnHover { false };
    bool m_canCloseOnlyTab { false };
    bool m_disableTabClose { false };
    bool m_hideForSingleTab { false };
    bool m_showAddTabButton { false };
    bool m_sizeButtonsToFit { false };
    bool m_useOverflowMenu { true };
    bool m_alwaysShowActiveTab { false };
    bool m_allowsScrubbing { false };
    long m_resizeAreaCompensation { 0 };
    QFTabBarOrientation m_orientation { QFTabBarOrientation::Horizontal };
    bool m_automaticallyAnimates { false };
    unsigned m_tearOffStyle { 0 };
    bool m_allowsBackgroundTabClosing { true };
    bool m_selectsTabsOnMouseDown { true };
    bool m_allowsResizing { true };
    bool m_isResizing { false };
    long m_buttonMinWidth { 100 };
    long m_buttonMaxWidth { 280 };
    long m_buttonOptimumWidth { 130 };
    std::shared_ptr<QFSlideButtonsAnimation> m_slideButtonsAnimation;
    std::shared_ptr<ui::ViewAnimation> m_hideShowTabBarAnimation;
    bool m_hideShowHiding { false };
    bool m_isHidden { false };
    std::weak_ptr<ui::View> m_partnerView;
    long m_tabBarWidth { 0 };
    // The bar's height when it was hidden, so showing it gives back exactly that room.
    double m_hiddenBarHeight { 0 };
    bool m_isReorderingTabViewItems { false };
    bool m_needsUpdate { false };
    long m_destinationIndexForDraggedItem { fnd::NotFound };
    std::weak_ptr<QFTabBarViewDelegate> m_delegate;
    // The tab view and the pending-update flag are atomic properties: a reader always gets a value some writer
    // stored whole. Every caller runs on the main thread today, so the lock is never contended; it keeps that
    // promise for a delegate or timer that reads them from a thread of its own. Recursive because setTabView holds
    // it while adding the buttons, and adding a button reads tabView() again.
    mutable std::recursive_mutex m_lock;
    std::weak_ptr<ui::Window> m_observedWindow;
    std::vector<fnd::NotificationObserverToken> m_windowObservers;

    // The attached buttons among the subviews, followed as they come and go: their number and the button of each
    // item, so closing or selecting a tab looks at no other tab's button.
    void didAddSubview(ui::View& subview) override;
    void willRemoveSubview(ui::View& subview) override;
    void noteButtonsChanged();
    long m_attachedButtonCount { 0 };
    // The buttons that may be selected or carry a mark for a selected neighbour, whoever set it: the selection
    // sync resets these rather than every button.
    std::unordered_set<const QFAttachedTabBarButton*> m_selectionMarked;
    std::unordered_map<const ui::TabViewItem*, std::weak_ptr<QFAttachedTabBarButton>> m_buttonOfItem;
    // The buttons in bar order by their items' places, made again only after the buttons, their items or the tab
    // view's items changed (while buttons slide, the order is where they rest, asked each time).
    struct ButtonOrder {
        std::vector<std::shared_ptr<QFAttachedTabBarButton>> buttons;
        const ui::TabView* tabView { nullptr };
        unsigned long itemChangeCount { 0 };
        // Buttons whose items left the tab view: they come first, and go in the next update.
        std::size_t departed { 0 };
        // Each button's place in `buttons`.
        std::unordered_map<const QFAttachedTabBarButton*, std::size_t> places;
        bool valid { false };
    };
    // Brings the order up to the tab view's one change since it was made; false when it must be made again.
    bool followItemChange(const ui::TabView& tabs) const;
    mutable ButtonOrder m_buttonOrder;
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttonsInItemOrder() const;
    // Whether the last button, pinned to the item, keeps its place in the bar order.
    bool staysLastWhenPinned(const QFAttachedTabBarButton& last, const ui::TabViewItem& item) const;
};
