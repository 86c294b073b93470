#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/BoundedNumbers.h"
#include "platform/ui/views/Responder.h"
#include "platform/ui/views/TrackingArea.h"

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace gfx {
class BitmapImageRep;
class Color;
}

namespace ui {

class Layer;
namespace detail {
struct ViewLayerHosting;
// Called with every view as it goes, once a module above that keeps per-view records (the dragged-types table) has
// set it: the view's memory would otherwise stay held by the record for as long as the program runs.
using ViewGoneHandler = void (*)(const View&);
void setViewGoneHandler(ViewGoneHandler handler);
}

// Gives the text of a tool-tip rectangle when the tip is about to show.
class ToolTipOwner {
public:
    virtual ~ToolTipOwner() = default;
    virtual fnd::String stringForToolTip(View& view, long tag, gfx::Point point, const fnd::Value& userData) = 0;
};

// Autoresizing-mask bits with the platform's values.
namespace AutoresizingMask {
constexpr unsigned NotSizable = 0;
constexpr unsigned MinXMargin = 1;
constexpr unsigned WidthSizable = 2;
constexpr unsigned MaxXMargin = 4;
constexpr unsigned MinYMargin = 8;
constexpr unsigned HeightSizable = 16;
constexpr unsigned MaxYMargin = 32;
}
constexpr unsigned AutoresizingMaskAllBits = 63;

// Where addSubview puts a view relative to another.
enum class WindowOrderingMode { Below = -1, Out = 0, Above = 1 };

// Names of the notifications a view posts (object: the view).
namespace ViewNotification {
inline const fnd::String FrameDidChange = "NSViewFrameDidChangeNotification";
inline const fnd::String BoundsDidChange = "NSViewBoundsDidChangeNotification";
}

enum class ComparisonResult { Ascending = -1, Same = 0, Descending = 1 };

// Whether a view shows a focus ring while it has the keyboard, with the platform's values.
enum class FocusRingType { Default = 0, None = 1, Exterior = 2 };

// A rectangle of a window's content, with its own coordinate system (bounds) inside its frame (in the superview's
// coordinates). The bounds origin is the scroll position; the bounds scale (frame size over bounds size) is
// cumulative through scaleUnitSquareToSize and survives frame resizes. Subviews are owned and drawn in order, the
// first at the back. Views live in a shared_ptr and are set up once by their designated initialiser, initWithFrame.
//
// Archives: a view decodes through its designated initialiser (initWithCoder runs initWithFrame with the archived
// frame, so it is set up as one made in code), then reads its keys; the subviews it archived take the place of those
// initWithFrame made, and a class that keeps pointers to such parts takes them back from its own keys. A subclass
// writes and reads its superclass's data first.
class View : public Responder, public fnd::Coding {
    FND_OBJECT(View)
    static void describeClass(fnd::ClassBuilder<View>& c);

public:
    // Unarchivers only construct a view: initWithCoder initialises it.
    static constexpr bool initWithCoderInitialises = true;

    View() = default;
    ~View() override;
    static std::shared_ptr<View> create(gfx::Rect frame = {});
    // The designated initialiser, run exactly once on every view: by each class's create() (makeView), by the class
    // registry's factory (through init(), with the empty frame) and by interface files with the file's frame. A class
    // that sets itself up overrides it and calls its superclass's first; create() adds only what its own arguments
    // ask for. A second call is a programming error (it would build the view's parts twice).
    virtual void initWithFrame(gfx::Rect frame);
    void init() { initWithFrame({}); }
    bool isInitialised() const { return m_initialised; }

    // Keyed: "NSFrame", "NSBounds", "NSAutoresizingMask", "NSAutoresizesSubviews", "NSHidden", "NSToolTip" (when
    // there is one) and "NSSubviews"; sequential: the same, in that order. Frames with numbers that are not finite or
    // beyond ten million points, and subviews that are not views, fail the decoding.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Tree.
    std::shared_ptr<View> superview() const { return m_superview.lock(); }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    std::shared_ptr<Window> window() const { return m_window.lock(); }
    void addSubview(const std::shared_ptr<View>& view);
    void addSubview(const std::shared_ptr<View>& view, WindowOrderingMode place, const View* relativeTo);
    void removeFromSuperview();
    void replaceSubview(const std::shared_ptr<View>& oldView, const std::shared_ptr<View>& newView);
    void setSubviews(const std::vector<std::shared_ptr<View>>& views);
    void sortSubviewsUsingFunction(const std::function<ComparisonResult(const View&, const View&)>& compare);
    bool isDescendantOf(const View& view) const;
    std::shared_ptr<View> ancestorSharedWithView(const View& view) const;
    virtual long tag() const { return -1; }
    std::shared_ptr<View> viewWithTag(long tag) const;

    // Hooks around tree changes.
    virtual void viewWillMoveToWindow(Window* window);
    virtual void viewDidMoveToWindow();
    virtual void viewWillMoveToSuperview(View* superview);
    virtual void viewDidMoveToSuperview();
    virtual void didAddSubview(View& subview);
    virtual void willRemoveSubview(View& subview);
    // Sent by the interface-file loader once every object of the file is connected.
    virtual void awakeFromNib() { }
    // Around a resize the person drags (the window sends them to every view of its tree).
    virtual void viewWillStartLiveResize() { }
    virtual void viewDidEndLiveResize() { }
    bool inLiveResize() const;
    // A view whose drawing does not change when it only grows or shrinks at its far edges answers true: while a live
    // resize changes its size (its origin staying put), only the area the change uncovers is drawn, and the whole
    // view once more when the resize ends.
    virtual bool preservesContentDuringLiveResize() const { return false; }

    // Geometry. A frame or bounds keeps each of its numbers within detail::ViewLargestExtent of 0 (a larger one
    // or an infinity is taken as that bound) and takes the current number in place of NaN.
    gfx::Rect frame() const { return m_frame; }
    virtual void setFrame(gfx::Rect frame);
    virtual void setFrameOrigin(gfx::Point origin);
    virtual void setFrameSize(gfx::Size size);
    gfx::Rect bounds() const { return m_bounds; }
    virtual void setBounds(gfx::Rect bounds);
    virtual void setBoundsOrigin(gfx::Point origin);
    virtual void setBoundsSize(gfx::Size size);
    // Degrees the frame is turned about its origin, counter-clockwise in the superview's coordinates; frame() stays
    // the unturned rectangle. Drawing, hit testing and conversions follow the turn. Not a finite number: no turn.
    double frameRotation() const { return m_frameRotation; }
    virtual void setFrameRotation(double degrees);
    // Scales the unit square of the bounds: a cumulative zoom (2, 2) halves the bounds.
    virtual void scaleUnitSquareToSize(gfx::Size size);
    void translateOriginToPoint(gfx::Point point);
    virtual bool isFlipped() const { return false; }

    bool postsFrameChangedNotifications() const { return m_postsFrameChanged; }
    void setPostsFrameChangedNotifications(bool flag) { m_postsFrameChanged = flag; }
    bool postsBoundsChangedNotifications() const { return m_postsBoundsChanged; }
    void setPostsBoundsChangedNotifications(bool flag) { m_postsBoundsChanged = flag; }

    // Autoresizing.
    unsigned autoresizingMask() const { return m_autoresizingMask; }
    // Bits outside the six of AutoresizingMask are dropped.
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask & AutoresizingMaskAllBits; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    virtual void setAutoresizesSubviews(bool flag) { m_autoresizesSubviews = flag; }
    // oldSize is the superview's bounds size before the change.
    virtual void resizeSubviewsWithOldSize(gfx::Size oldSize);
    virtual void resizeWithOldSuperviewSize(gfx::Size oldSize);

    // Conversions between this view and another of the same window; nullptr means the window's base coordinates.
    gfx::Point convertPointFromView(gfx::Point point, const View* view) const;
    gfx::Point convertPointToView(gfx::Point point, const View* view) const;
    gfx::Size convertSizeFromView(gfx::Size size, const View* view) const;
    gfx::Size convertSizeToView(gfx::Size size, const View* view) const;
    gfx::Rect convertRectFromView(gfx::Rect rect, const View* view) const;
    gfx::Rect convertRectToView(gfx::Rect rect, const View* view) const;
    // This view's coordinates to its window's base coordinates (y up, origin at the content's bottom left).
    gfx::AffineTransform transformToBase() const;
    // Bounds to the superview's coordinates.
    gfx::AffineTransform transformToSuperview() const;

    // Visibility and hit testing.
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // After the view itself was hidden or shown again.
    virtual void viewDidHide() { }
    virtual void viewDidUnhide() { }
    bool isHiddenOrHasHiddenAncestor() const;
    // The opacity the view and its subviews are drawn with (0 to 1); view animations fade views through it.
    double alphaValue() const { return m_alpha; }
    void setAlphaValue(double alpha);
    virtual bool isOpaque() const { return false; }
    // A view whose whole look is a colour laid over what lies beneath it (the dimming under a sheet) answers that
    // colour, and draws it in drawRect all the same; nullptr (the default) for any other view. The last such
    // subviews of a window's content view are laid over the window's drawing as it is handed to the screen, and
    // a change of their alpha redraws nothing beneath them (Window::displayRegion).
    virtual std::shared_ptr<gfx::Color> overlayTintColor() const { return nullptr; }
    // The nearest of the view and its ancestors that is opaque; nullptr when none is (the window's own background
    // shows behind them all).
    std::shared_ptr<View> opaqueAncestor() const;
    // The part of the bounds not clipped by the superviews.
    gfx::Rect visibleRect() const;
    // point is in the superview's coordinates; the deepest visible view under it, or nullptr.
    virtual std::shared_ptr<View> hitTest(gfx::Point point);
    bool mouseInRect(gfx::Point point, gfx::Rect rect) const;

    // Layout. A view that must place its subviews (or its own parts) again asks with setNeedsLayout; a change of the
    // frame's size asks by itself. The window's display pass lays out every view that asked, a view before its
    // subviews, and only then draws; layoutSubtreeIfNeeded does the same now for this view and below. layout() is
    // the hook: the default places nothing, since autoresizing already happened when the frame changed. Layout that
    // asks for more layout runs again until it settles, a bounded number of rounds.
    bool needsLayout() const { return m_needsLayout; }
    void setNeedsLayout(bool flag = true);
    virtual void layout() { }
    void layoutSubtreeIfNeeded();

    // Display.
    bool needsDisplay() const { return !m_dirtyRects.empty(); }
    void setNeedsDisplay(bool flag);
    void setNeedsDisplayInRect(gfx::Rect rect);
    // Draws the visible rect (or the rect) now, with the views behind and in front of it.
    void display();
    void displayRect(gfx::Rect rect);
    // Draws what was marked as needing display, in this view and below.
    void displayIfNeeded();
    virtual void viewWillDraw() { }
    virtual void drawRect(gfx::Rect dirtyRect);
    // During drawRect: whether any of the rects being drawn meets the rect, and those rects (view coordinates).
    bool needsToDrawRect(gfx::Rect rect) const;
    std::vector<gfx::Rect> getRectsBeingDrawn() const;
    // Drawing outside a display pass: the view's coordinates and clip on the window's context.
    bool canDraw() const;
    bool lockFocusIfCanDraw();
    void lockFocus();
    void unlockFocus();
    static bool isDrawingToScreen();

    // Scrolling through the enclosing clip views (ViewScrolling.cpp). scrollRectToVisible moves each enclosing clip
    // view, innermost first, as little as needed to show the rect (in this view's coordinates); true when one moved.
    virtual bool scrollRectToVisible(gfx::Rect rect);
    // Scrolls the nearest enclosing clip view so the point (this view's coordinates) is its bounds origin.
    void scrollPoint(gfx::Point point);
    std::shared_ptr<ScrollView> enclosingScrollView() const;
    // During a drag that left the enclosing clip view: scrolls it toward the mouse; true when it moved.
    virtual bool autoscroll(const Event& event);

    // Drawing the view elsewhere.
    fnd::Expected<fnd::Data> dataWithPDFInsideRect(gfx::Rect rect);
    fnd::Expected<fnd::Data> dataWithEPSInsideRect(gfx::Rect rect);
    std::shared_ptr<gfx::BitmapImageRep> bitmapImageRepForCachingDisplayInRect(gfx::Rect rect) const;
    void cacheDisplayInRect(gfx::Rect rect, gfx::BitmapImageRep& bitmap);

    // Tracking areas and cursor rects.
    const std::vector<std::shared_ptr<TrackingArea>>& trackingAreas() const;
    // The view's area with the tracking number (the tag of addTrackingRect); nullptr when it has none.
    std::shared_ptr<TrackingArea> trackingAreaWithNumber(long number) const;
    void addTrackingArea(const std::shared_ptr<TrackingArea>& area);
    void removeTrackingArea(const std::shared_ptr<TrackingArea>& area);
    // Sent when the visible rect may have changed, so areas tied to geometry can be rebuilt.
    virtual void updateTrackingAreas() { }
    // The older form: returns the area's tag.
    long addTrackingRect(
        gfx::Rect rect, const std::shared_ptr<Responder>& owner, fnd::Value userData, bool assumeInside);
    // The same for an owner that is not a responder (a cell): it hears the enter and exit events through
    // TrackingOwner, with the tag as their tracking number.
    long addTrackingRect(
        gfx::Rect rect, const std::shared_ptr<TrackingOwner>& owner, fnd::Value userData, bool assumeInside);
    void removeTrackingRect(long tag);
    void addCursorRect(gfx::Rect rect, std::shared_ptr<SettableCursor> cursor);
    void removeCursorRect(gfx::Rect rect, const std::shared_ptr<SettableCursor>& cursor);
    void discardCursorRects();
    // Rebuilds the cursor rects; the window calls it when they were invalidated.
    virtual void resetCursorRects() { }
    struct CursorRect {
        gfx::Rect rect;
        std::shared_ptr<SettableCursor> cursor;
    };
    const std::vector<CursorRect>& cursorRects() const { return m_cursorRects; }

    // Mouse answers.
    virtual std::shared_ptr<Menu> menuForEvent(const Event& event);
    virtual bool acceptsFirstMouse(const Event* event) { return (void)event, false; }
    // Whether a press on the view that nobody takes may move a window movable by its background: by default a view
    // that is not opaque (the window's background shows through it).
    virtual bool mouseDownCanMoveWindow() const { return !isOpaque(); }
    // Whether a press on the view in an inactive window leaves the window where it is until the release, so a drag
    // may start from it without bringing it forward (Application::preventWindowOrdering keeps it there for good).
    virtual bool shouldDelayWindowOrderingForEvent(const Event& event) { return (void)event, false; }
    // Whether the view wants the touchpad's single touches. The desktop's touchpad reports gestures, not single
    // touches, so none arrive; gestures (swipe, magnify, rotate) reach the view under the pointer either way.
    bool acceptsTouchEvents() const { return m_acceptsTouchEvents; }
    void setAcceptsTouchEvents(bool flag) { m_acceptsTouchEvents = flag; }
    virtual bool needsPanelToBecomeKey() const { return false; }

    // Tool tips. The view's own tip covers its bounds (empty: none). toolTipAtPoint answers the tip at a point (view
    // coordinates) and, through rect, the area it holds for; views with a tip per part (cells, segments, tabs)
    // answer their own and fall back to the view's.
    const fnd::String& toolTip() const { return m_toolTip; }
    void setToolTip(const fnd::String& toolTip);
    virtual fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr);
    // Tool-tip rectangles whose text the owner gives when the tip is about to show (the latest added wins where
    // they overlap). The owner is not kept alive. Tags are unique in the process.
    long addToolTipRect(gfx::Rect rect, const std::shared_ptr<ToolTipOwner>& owner, fnd::Value userData = {});
    void removeToolTip(long tag);
    void removeAllToolTips();
    std::size_t numberOfToolTipRects() const { return m_toolTipRects.size(); }

    // Offers the key equivalent to the subviews, front to back.
    bool performKeyEquivalent(const Event& event) override;

    // Keyboard focus. The key view loop is the order Tab walks; setNextKeyView also makes this view the next one's
    // previous key view. The valid key views are the next (previous) views of the loop that can take the keyboard.
    std::shared_ptr<View> nextKeyView() const { return m_nextKeyView.lock(); }
    void setNextKeyView(const std::shared_ptr<View>& view);
    std::shared_ptr<View> previousKeyView() const { return m_previousKeyView.lock(); }
    std::shared_ptr<View> nextValidKeyView() const;
    std::shared_ptr<View> previousValidKeyView() const;
    // Takes the keyboard, is shown and sits in a window.
    virtual bool canBecomeKeyView() const;
    // Tab or Backtab leaves a view inside this one: a view that orders its own hosted controls (a form) moves the
    // keyboard itself and answers true; by default the window's key view loop does.
    virtual bool moveKeyboardFocusFromSubview(View&, bool /*forward*/) { return false; }
    // The window draws a ring around the shape drawFocusRingMask fills (within focusRingMaskBounds, in the view's
    // coordinates) while the view is the first responder of the key window.
    virtual FocusRingType focusRingType() const { return m_focusRingType; }
    virtual void setFocusRingType(FocusRingType type) { m_focusRingType = type; }
    virtual void drawFocusRingMask() { }
    virtual gfx::Rect focusRingMaskBounds() const { return {}; }
    // Redraws the rect with the room a focus ring takes around it.
    void setKeyboardFocusRingNeedsDisplayInRect(gfx::Rect rect);
    void noteFocusRingMaskChanged() { setKeyboardFocusRingNeedsDisplayInRect(focusRingMaskBounds()); }
    // Whether the view shows its focus ring now (the key window's first responder with a ring).
    bool showsFocusRingNow() const;
    // The field editor (a subview) editing this view's contents now, or nullptr; controls answer theirs.
    virtual std::shared_ptr<View> currentEditor() const { return nullptr; }

    // The right mouse shows the context menu through the installed presenter (the menu classes install it).
    void rightMouseDown(const Event& event) override;
    using ContextMenuPresenter = std::function<void(const std::shared_ptr<Menu>&, const Event&, View&)>;
    static void setContextMenuPresenter(ContextMenuPresenter presenter);

    // Used by the window.
    void setWindowFromSuperview(const std::shared_ptr<Window>& window);
    const std::vector<gfx::Rect>& dirtyRects() const { return m_dirtyRects; }
    void clearDirtyRects() { m_dirtyRects.clear(); }
    void setRectsBeingDrawn(std::vector<gfx::Rect> rects) { m_rectsBeingDrawn = std::move(rects); }
    static void setIsRootViewOfWindow(View& view, const std::shared_ptr<Window>& window);

    // A layer tree the view hosts: drawn over the view's own drawing, upright (y up) also in a flipped view, its
    // root kept on the view's bounds, and redrawn whenever the tree changes or animates. wantsLayer without a
    // layer set makes a plain root layer.
    std::shared_ptr<Layer> layer() const;
    void setLayer(std::shared_ptr<Layer> layer);
    bool wantsLayer() const;
    void setWantsLayer(bool flag);

    // Accessibility (ViewAccessibility.cpp). A plain view is ignored: it only groups the elements of its shown
    // subviews, which its unignored ancestor takes up. Views that stand for something answer a role and are not
    // ignored; the parent is the unignored ancestor (the window for the root view), position and size the frame on
    // the screen, help the tool tip.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override;
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;
    // The frame of a cell the view shows, in its own coordinates; nullopt when it does not show the cell.
    virtual std::optional<gfx::Rect> accessibilityFrameOfCell(const Cell& cell) const;
    // The view's bounds on the screen (y up); its frame in its superview's coordinates while it has no window.
    gfx::Rect accessibilityFrameOnScreen() const;
    // Whether the view has the keyboard: it (or the field editor editing it) is the first responder of the key window.
    bool accessibilityHasKeyboardFocus() const;
    // Appends the view, or in its place its unignored children, as accessibilityAppendUnignoredChild does with the
    // view's value, without looking the view up through its value.
    void accessibilityAppendUnignoredSelf(fnd::Array& into) const;
    // The label read for this view: another element, usually the text beside a field (interface files connect it).
    std::shared_ptr<View> accessibilityTitleUIElement() const { return m_accessibilityTitleUIElement.lock(); }
    void setAccessibilityTitleUIElement(const std::shared_ptr<View>& view) { m_accessibilityTitleUIElement = view; }
    // A description for a view whose look says what it is (an image button); kept as an override value.
    fnd::String accessibilityDescription() const;
    void setAccessibilityDescription(const fnd::String& description);

protected:
    // The frame an archive records (a class may mark it, as a collapsed split pane does).
    virtual gfx::Rect frameForCoding() const { return m_frame; }
    // The subviews an archive records: all of them, unless a class makes some again from its own data when it is
    // decoded (a tab bar's buttons come from its tab view).
    virtual std::vector<std::shared_ptr<View>> subviewsForCoding() const { return m_subviews; }
    // During initWithCoder, after the view's own data: a part of the view under the key, which must be nil or one of
    // its subviews of class T (anything else fails the decoding).
    template <typename T> std::shared_ptr<T> decodeSubviewForKey(fnd::Coder& coder, const fnd::String& key) const
    {
        auto view = fnd::decodeObjectOfClass<T>(coder, key);
        if (view && view->superview().get() != this) {
            fnd::failDecoding(
                coder, "the view under the key \"" + key.utf8() + "\" is not a subview of its " + className().utf8());
            return nullptr;
        }
        return view;
    }

    // The children as the view itself has them: the unignored elements of its shown subviews.
    fnd::Array accessibilityChildrenOfSubviews() const;
    // Tells the observers that this view's unignored ancestor has other children now.
    void accessibilityNoteChildrenChanged();

private:
    friend void takeDirtyRects(View& view, std::vector<gfx::Rect>& rects);
    void accessibilityAppendUnignoredSubviews(fnd::Array& into) const;

    void insertSubview(const std::shared_ptr<View>& view, std::size_t index);
    void removeSubviewAt(std::size_t index);
    // After a change of the frame or (with the rotation before it) of its turn.
    void frameDidChange(gfx::Rect oldFrame, std::optional<double> oldRotation = std::nullopt);
    void boundsDidChange();
    void propagateWindow(Window* window);
    void noteWindowDirty();
    // Layout bookkeeping (ViewLayout.cpp).
    bool layoutIsDue() const { return m_needsLayout || m_subtreeNeedsLayout; }
    void noteLayoutDueInSubtree();
    void layOutOnce();
    void forgetDueLayout();
    void hostedLayerGeometryDidChange();

    std::weak_ptr<View> m_superview;
    std::weak_ptr<Window> m_window;
    std::vector<std::shared_ptr<View>> m_subviews;
    gfx::Rect m_frame;
    double m_frameRotation { 0 };
    gfx::Rect m_bounds;
    unsigned m_autoresizingMask { AutoresizingMask::NotSizable };
    // How far autoresizing took the frame's size below zero on each axis (it stops at zero): given back before the
    // view grows again, so a superview that shrinks past the view's room and grows back restores its frame.
    gfx::Size m_autoresizingShortfall;
    // The bounds' scale (bounds over frame) on an axis where the frame is empty, which the bounds cannot hold: it
    // comes back when the frame grows (a zoomed clip view keeps its zoom through a window of no width). 0: none.
    gfx::Size m_scaleWhileEmpty;
    bool m_autoresizesSubviews { true };
    bool m_hidden { false };
    double m_alpha { 1 };
    bool m_postsFrameChanged { true };
    bool m_postsBoundsChanged { true };
    bool m_focusLocked { false };
    bool m_acceptsTouchEvents { false };
    bool m_needsLayout { false };
    // Some view below this one needs layout.
    bool m_subtreeNeedsLayout { false };
    std::vector<gfx::Rect> m_dirtyRects;
    std::vector<gfx::Rect> m_rectsBeingDrawn;
    // Tracking areas in the order they were added. A removal leaves a hole that the next reader of the list closes
    // up, so a view that replaces the rects of its parts one by one pays for each part once, not once per part.
    mutable std::vector<std::shared_ptr<TrackingArea>> m_trackingAreas;
    mutable std::size_t m_trackingAreaHoles { 0 };
    // Each area's place in that list, and the areas by tracking number.
    mutable std::unordered_map<const TrackingArea*, std::size_t> m_trackingAreaSlots;
    std::unordered_multimap<long, const TrackingArea*> m_trackingAreasByNumber;
    std::vector<CursorRect> m_cursorRects;
    std::weak_ptr<View> m_nextKeyView;
    std::weak_ptr<View> m_previousKeyView;
    FocusRingType m_focusRingType { FocusRingType::Default };
    std::shared_ptr<detail::ViewLayerHosting> m_layerHosting;
    fnd::String m_toolTip;
    struct ToolTipRect {
        long tag;
        gfx::Rect rect;
        std::weak_ptr<ToolTipOwner> owner;
        fnd::Value userData;
    };
    std::vector<ToolTipRect> m_toolTipRects;
    std::weak_ptr<View> m_accessibilityTitleUIElement;
    bool m_initialised { false };
};

// A view of class T set up by its designated initialiser: what create() does.
template <typename T> std::shared_ptr<T> makeView(gfx::Rect frame = {})
{
    auto view = std::make_shared<T>();
    view->initWithFrame(frame);
    return view;
}

}
