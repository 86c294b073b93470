#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Responder.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Timer;
}

namespace gfx {
class GraphicsContext;
class WindowSurface;
}

namespace ui {

namespace detail {
struct KeptFocusRing;
struct WindowUnderlay;
}

// Style-mask bits with the platform's values.
namespace WindowStyleMask {
constexpr unsigned Borderless = 0;
constexpr unsigned Titled = 1 << 0;
constexpr unsigned Closable = 1 << 1;
constexpr unsigned Miniaturizable = 1 << 2;
constexpr unsigned Resizable = 1 << 3;
constexpr unsigned Utility = 1 << 4;
constexpr unsigned DocModal = 1 << 6;
constexpr unsigned NonactivatingPanel = 1 << 7;
constexpr unsigned TexturedBackground = 1 << 8;
constexpr unsigned UnifiedTitleAndToolbar = 1 << 12;
constexpr unsigned HUD = 1 << 13;
constexpr unsigned FullSizeContentView = 1 << 15;
}

// Window levels with the platform's values; higher levels stay in front.
namespace WindowLevel {
constexpr long Normal = 0;
constexpr long Floating = 3;
constexpr long Submenu = 3;
constexpr long TornOffMenu = 3;
constexpr long ModalPanel = 8;
constexpr long MainMenu = 24;
constexpr long Status = 25;
constexpr long PopUpMenu = 101;
constexpr long ScreenSaver = 1000;
}

enum class BackingStoreType { Retained = 0, Nonretained = 1, Buffered = 2 };

// The standard buttons of a title bar, with the platform's values.
enum class WindowButton { Close = 0, Miniaturize = 1, Zoom = 2, Toolbar = 3, DocumentIcon = 4 };

// How the first responder was reached, with the platform's values (fields select their text when tabbed into).
enum class KeyViewSelectionDirection { Direct = 0, Next = 1, Previous = 2 };

class ButtonCell;
class TextView;

// Names of the notifications a window posts (object: the window).
namespace WindowNotification {
inline const fnd::String DidBecomeKey = "NSWindowDidBecomeKeyNotification";
inline const fnd::String DidResignKey = "NSWindowDidResignKeyNotification";
inline const fnd::String DidBecomeMain = "NSWindowDidBecomeMainNotification";
inline const fnd::String DidResignMain = "NSWindowDidResignMainNotification";
inline const fnd::String WillClose = "NSWindowWillCloseNotification";
inline const fnd::String DidMove = "NSWindowDidMoveNotification";
inline const fnd::String DidResize = "NSWindowDidResizeNotification";
inline const fnd::String WillBeginSheet = "NSWindowWillBeginSheetNotification";
inline const fnd::String DidEndSheet = "NSWindowDidEndSheetNotification";
}

// Optional callbacks of a window's delegate; the defaults are what the window does without one.
class WindowDelegate {
public:
    virtual ~WindowDelegate() = default;
    virtual bool windowShouldClose(Window& sender) { return (void)sender, true; }
    virtual void windowWillClose(Window& window) { (void)window; }
    virtual void windowDidMove(Window& window) { (void)window; }
    virtual void windowDidResize(Window& window) { (void)window; }
    virtual void windowDidBecomeKey(Window& window) { (void)window; }
    virtual void windowDidResignKey(Window& window) { (void)window; }
    virtual void windowDidBecomeMain(Window& window) { (void)window; }
    virtual void windowDidResignMain(Window& window) { (void)window; }
    // The frame zoom() moves to; nullopt keeps the default frame.
    virtual std::optional<gfx::Rect> windowWillUseStandardFrame(Window& window, gfx::Rect defaultFrame)
    {
        return (void)window, (void)defaultFrame, std::nullopt;
    }
    // A text view to edit the client's text instead of the window's shared field editor; nullptr: the shared one.
    virtual std::shared_ptr<TextView> windowWillReturnFieldEditor(Window& window, const fnd::Object* client)
    {
        return (void)window, (void)client, nullptr;
    }
};

// Return codes of modal sessions and sheets, with the platform's values.
namespace ModalResponse {
constexpr long Stopped = -1000;
constexpr long Aborted = -1001;
constexpr long Continue = -1002;
constexpr long OK = 1;
constexpr long Cancel = 0;
}

// A window: a frame on the screen (y up), a content view filling the content rect, a first responder, and the
// state the window system shows (level, order, key and main status). Made with create(); the application keeps
// the windows that are on screen alive.
class Window : public Responder {
    FND_OBJECT(Window)
    static void describeClass(fnd::ClassBuilder<Window>& c);

public:
    Window() = default;
    ~Window() override;
    static std::shared_ptr<Window> create(gfx::Rect contentRect, unsigned styleMask = WindowStyleMask::Titled,
        BackingStoreType backing = BackingStoreType::Buffered, bool defer = false);
    // A window made by class name (interface files): titled, empty, to be sized by its frame property.
    void init();
    // Sets everything up; subclasses made by their own create() call it (again, after init()).
    void initWithContentRect(gfx::Rect contentRect, unsigned styleMask);

    // Geometry (screen coordinates).
    gfx::Rect frame() const { return m_frame; }
    void setFrame(gfx::Rect frame, bool display);
    // Animated: the frame moves over animationResizeTime on the run loop (at once while time does not move).
    void setFrame(gfx::Rect frame, bool display, bool animate);
    void setFrameOrigin(gfx::Point origin);
    void setFrameTopLeftPoint(gfx::Point point);
    void setContentSize(gfx::Size size);
    gfx::Rect contentRectForFrameRect(gfx::Rect frame) const;
    gfx::Rect frameRectForContentRect(gfx::Rect content) const;
    static gfx::Rect contentRectForFrameRect(gfx::Rect frame, unsigned styleMask);
    static gfx::Rect frameRectForContentRect(gfx::Rect content, unsigned styleMask);
    // Seconds an animated resize to the frame takes.
    double animationResizeTime(gfx::Rect newFrame) const;
    void center();
    // The limits are held between 0 and 10,000,000 points, where frames are; a dimension that is not a number keeps
    // the value it had. A change reaches the backend, which holds a shown window to the minimum as far as the
    // window system can make windows (the screen).
    gfx::Size minSize() const { return m_minSize; }
    void setMinSize(gfx::Size size);
    gfx::Size maxSize() const { return m_maxSize; }
    void setMaxSize(gfx::Size size);
    bool showsResizeIndicator() const { return m_showsResizeIndicator; }
    void setShowsResizeIndicator(bool flag) { m_showsResizeIndicator = flag; }
    // A resizable window whose zoom button is enabled.
    bool isZoomable() const;
    // Whether a standard button of the title bar is enabled (all are at first); the backend takes a disabled one
    // off the title bar (the zoom button: the window manager's maximise).
    bool isStandardWindowButtonEnabled(WindowButton button) const;
    void setStandardWindowButtonEnabled(WindowButton button, bool enabled);
    bool isZoomed() const;
    // Toggles between the standard frame and the one before, whatever the zoom button says.
    void zoom(const fnd::Value& sender);
    // As if the zoom button were pressed: zooms a zoomable window, beeps otherwise. Menu items sending it are
    // enabled only for a zoomable window.
    void performZoom(const fnd::Value& sender);
    bool validateMenuItem(const fnd::Value& item);
    // The delegate's frame, or the screen's visible frame.
    gfx::Rect standardFrame();

    // Frames as "x y w h" text, kept in the user defaults under "NSWindow Frame <name>".
    fnd::String stringWithSavedFrame() const;
    // Anyone may edit a saved frame. One that frameFromSavedString refuses is logged and leaves the frame as it is;
    // a size larger than the screen the frame lands on is cut to that screen's size (a window's pixels follow its
    // size).
    void setFrameFromString(const fnd::String& string);
    // The frame of a saved-frame string: its four leading numbers, each finite and within
    // detail::ViewLargestCoordinate of 0 (so no corner or edge computed from them overflows), with a size that is not
    // empty; nullopt for anything else. Every reader of saved window frames goes through it.
    static std::optional<gfx::Rect> frameFromSavedString(const fnd::String& string);
    bool setFrameAutosaveName(const fnd::String& name);
    const fnd::String& frameAutosaveName() const { return m_frameAutosaveName; }
    void saveFrameUsingName(const fnd::String& name) const;
    bool setFrameUsingName(const fnd::String& name);

    // Appearance.
    unsigned styleMask() const { return m_styleMask; }
    void setStyleMask(unsigned mask);
    const fnd::String& title() const { return m_title; }
    void setTitle(const fnd::String& title);
    long level() const { return m_level; }
    void setLevel(long level);
    double alphaValue() const { return m_alpha; }
    void setAlphaValue(double alpha);
    // The window system shows the window's picture scaled about its centre by this (1: as drawn; a window growing
    // into place shows less); frame, input and drawing stay as they are. Not above 1, and above 0.
    double displayScale() const { return m_displayScale; }
    void setDisplayScale(double scale);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool flag) { m_opaque = flag; }
    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool hasShadow() const { return m_hasShadow; }
    void setHasShadow(bool flag) { m_hasShadow = flag; }
    bool acceptsMouseMovedEvents() const { return m_acceptsMouseMovedEvents; }
    void setAcceptsMouseMovedEvents(bool flag) { m_acceptsMouseMovedEvents = flag; }
    bool ignoresMouseEvents() const { return m_ignoresMouseEvents; }
    void setIgnoresMouseEvents(bool flag) { m_ignoresMouseEvents = flag; }
    // Whether a press on the background (a view whose mouseDownCanMoveWindow is true that leaves the press to the
    // window) moves the window once it becomes a drag; textured windows are unless told otherwise. Sheets never move.
    bool isMovableByWindowBackground() const;
    void setMovableByWindowBackground(bool flag) { m_movableByWindowBackground = flag; }
    bool hidesOnDeactivate() const { return m_hidesOnDeactivate; }
    void setHidesOnDeactivate(bool flag) { m_hidesOnDeactivate = flag; }
    // Panels that keep working while a modal session runs answer true.
    virtual bool worksWhenModal() const { return m_worksWhenModal; }
    void setWorksWhenModal(bool flag) { m_worksWhenModal = flag; }
    double backingScaleFactor() const;
    // The bars of a textured window along the bottom (MinY) and top (MaxY) of its content: views that slide in from
    // those edges leave them free. Other edges have none; a negative thickness is taken as 0.
    double contentBorderThicknessForEdge(gfx::RectEdge edge) const;
    void setContentBorderThickness(double thickness, gfx::RectEdge edge);
    // A slot for the toolbar (its class comes later); its height counts in the frame.
    const std::shared_ptr<fnd::Object>& toolbar() const { return m_toolbar; }
    void setToolbar(const std::shared_ptr<fnd::Object>& toolbar, double height);
    // The view shown above the content view across the toolbar's height (the toolbar's own view): drawn, hit and
    // tracked like the content view, outside the content rect.
    const std::shared_ptr<View>& toolbarView() const { return m_toolbarView; }
    void setToolbarView(const std::shared_ptr<View>& view);
    // The deepest view under a point of the base coordinates, in the toolbar view or the content view.
    std::shared_ptr<View> hitTestViews(gfx::Point basePoint) const;
    // While set, the mouse reaches the toolbar view even when a sheet blocks the window (the toolbar's
    // customisation sheet lets the person drag items along the toolbar).
    void setToolbarViewTakesMouseWhileBlocked(bool flag) { m_toolbarTakesMouseWhileBlocked = flag; }
    // The menus' Show/Hide Toolbar and Customise Toolbar…, sent along the responder chain to the window: they act
    // on its toolbar (validateMenuItem retitles the first after the toolbar's state, and disables both while the
    // window has no toolbar or shows a sheet).
    void toggleToolbarShown(const fnd::Value& sender);
    void runToolbarCustomizationPalette(const fnd::Value& sender);

    // Content.
    const std::shared_ptr<View>& contentView() const { return m_contentView; }
    void setContentView(const std::shared_ptr<View>& view);

    // Order on the screen.
    bool isVisible() const { return m_visible; }
    void orderFront(const fnd::Value& sender = {});
    void orderBack(const fnd::Value& sender = {});
    void orderOut(const fnd::Value& sender = {});
    void orderFrontRegardless();
    void makeKeyAndOrderFront(const fnd::Value& sender = {});
    // place Out removes the window; otherwise it goes just above or below the other window (number 0: all).
    void orderWindow(WindowOrderingMode place, long otherWindowNumber);
    long windowNumber() const { return m_windowNumber; }
    std::shared_ptr<Screen> screen() const;

    // Key and main status.
    bool isKeyWindow() const;
    bool isMainWindow() const;
    virtual bool canBecomeKeyWindow() const;
    virtual bool canBecomeMainWindow() const;
    void makeKeyWindow();
    void makeMainWindow();
    virtual void becomeKeyWindow();
    virtual void resignKeyWindow();
    virtual void becomeMainWindow();
    virtual void resignMainWindow();

    // First responder: the window itself when nothing else is.
    std::shared_ptr<Responder> firstResponder() const;
    // false when the current first responder refuses to resign or the new one refuses to become it.
    bool makeFirstResponder(const std::shared_ptr<Responder>& responder);
    std::shared_ptr<View> initialFirstResponder() const { return m_initialFirstResponder.lock(); }
    void setInitialFirstResponder(const std::shared_ptr<View>& view) { m_initialFirstResponder = view; }

    // The key view loop: Tab and Shift-Tab move the keyboard along it. Without links of its own (or with
    // autorecalculation) the window links its views from the top left to the bottom right first.
    void selectNextKeyView(const fnd::Value& sender = {});
    void selectPreviousKeyView(const fnd::Value& sender = {});
    void selectKeyViewFollowingView(View& view);
    void selectKeyViewPrecedingView(View& view);
    void recalculateKeyViewLoop();
    bool autorecalculatesKeyViewLoop() const { return m_autorecalculatesKeyViewLoop; }
    void setAutorecalculatesKeyViewLoop(bool flag) { m_autorecalculatesKeyViewLoop = flag; }
    KeyViewSelectionDirection keyViewSelectionDirection() const { return m_keyViewSelectionDirection; }

    // The button Return presses: setting one gives its cell the key equivalent Return (and takes it from the old one).
    std::shared_ptr<ButtonCell> defaultButtonCell() const { return m_defaultButtonCell.lock(); }
    // The control that shows the default button cell; nullptr when there is none (WindowDefaultButton.cpp).
    View* defaultButtonView() const;
    void setDefaultButtonCell(const std::shared_ptr<ButtonCell>& cell);
    // The button Escape presses when no view takes the key (an alert's Cancel, wherever it stands).
    std::shared_ptr<ButtonCell> cancelButtonCell() const { return m_cancelButtonCell.lock(); }
    void setCancelButtonCell(const std::shared_ptr<ButtonCell>& cell) { m_cancelButtonCell = cell; }
    // Escape that no view took: the cancel button's click, else a closable utility window (a panel, an About
    // window) closes. Whether it did anything.
    bool cancelOperation(const fnd::Value& sender = {});
    // Closable utility windows (panels, About windows) close with Escape and Ctrl+W.
    bool closesOnEscape() const;
    // The parts of the window F6 moves the keyboard between (a form, a preview, the toolbar), in order; Shift+F6
    // goes back. Each part takes the keyboard itself when it can, else its first key view in reading order.
    void setKeyViewAreas(const std::vector<std::shared_ptr<View>>& areas);
    bool selectNextKeyViewArea(bool forward = true);
    void disableKeyEquivalentForDefaultButtonCell() { m_defaultButtonKeyEnabled = false; }
    void enableKeyEquivalentForDefaultButtonCell() { m_defaultButtonKeyEnabled = true; }
    bool isKeyEquivalentForDefaultButtonCellEnabled() const { return m_defaultButtonKeyEnabled; }

    // The end of the key path: Tab and Shift-Tab walk the key view loop, other keys nobody took are offered to the
    // views' key equivalents (Return presses the default button, Escape a cancel button), the rest beep.
    void keyDown(const Event& event) override;

    // The text view that edits the text of the window's controls and cells (one per window, made when first asked
    // for with createFlag), or the delegate's editor for the client (WindowFieldEditor.cpp).
    std::shared_ptr<TextView> fieldEditor(bool createFlag, const fnd::Object* client);
    // Ends the field editor's editing for the client (any client when nullptr): the client hears of the end, and
    // the editor gives up the keyboard even if the client wanted it to keep it.
    void endEditingFor(const fnd::Object* client);
    // The window's own field editor seen as a view, nullptr before it is made (the text layer knows it is a view).
    View* fieldEditorView() const;
    // The view a field editor that is the first responder edits for; nullptr when no field editor has the keyboard.
    std::shared_ptr<View> fieldEditorClientView() const;

    std::shared_ptr<WindowDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<WindowDelegate>& delegate) { m_delegate = delegate; }

    // Closing.
    void close();
    // As if the close button were pressed: asks the delegate, beeps when it refuses; an edit in the field editor
    // ends (its text goes to its owner) before the window closes.
    void performClose(const fnd::Value& sender = {});
    bool isClosed() const { return m_closed; }

    // Child windows move with their parent and stay just above (or below) it.
    void addChildWindow(const std::shared_ptr<Window>& child, WindowOrderingMode place);
    void removeChildWindow(const std::shared_ptr<Window>& child);
    std::vector<std::shared_ptr<Window>> childWindows() const;
    std::shared_ptr<Window> parentWindow() const { return m_parentWindow.lock(); }

    // Sheets: the sheet blocks this window only, until endSheet; the handler gets the return code once.
    void beginSheet(const std::shared_ptr<Window>& sheet, std::function<void(long)> completionHandler);
    void endSheet(const std::shared_ptr<Window>& sheet, long returnCode = ModalResponse::Stopped);
    std::shared_ptr<Window> attachedSheet() const { return m_attachedSheet; }
    bool isSheet() const { return !m_sheetParent.expired(); }
    std::shared_ptr<Window> sheetParent() const { return m_sheetParent.lock(); }

    // Events.
    virtual void sendEvent(const Event& event);
    // The end of the responder chain for presses: a press on the background of a window movable by its background
    // moves it (performWindowDragWithEvent).
    void mouseDown(const Event& event) override;
    // Moves the window with the mouse from the press until the left button goes up. Where the window system moves
    // windows itself (the window manager), it takes over once the press becomes a drag; otherwise each left-button
    // event taken in the event-tracking mode moves the frame by the mouse's movement on the screen since the last.
    void performWindowDragWithEvent(const Event& event);
    gfx::Point mouseLocationOutsideOfEventStream() const;
    std::shared_ptr<Event> currentEvent() const;
    // Whether the window takes mouse and key events now (no sheet, no other window's modal session).
    bool acceptsInput() const;

    // Conversions between the window's base coordinates and the screen.
    gfx::Point convertBaseToScreen(gfx::Point point) const;
    gfx::Point convertScreenToBase(gfx::Point point) const;
    gfx::Rect convertRectToScreen(gfx::Rect rect) const;
    gfx::Rect convertRectFromScreen(gfx::Rect rect) const;

    // Layout: the display pass first lays out the views that asked for it (View::setNeedsLayout), top-down.
    bool viewsNeedLayout() const { return m_viewsNeedLayout; }
    void setViewsNeedLayout(bool flag);
    void layoutIfNeeded();

    // Display. Marking views for display asks for the window's next frame; the frame draws everything marked
    // since the last one, once (display and displayIfNeeded still draw at once when called).
    bool viewsNeedDisplay() const { return m_viewsNeedDisplay; }
    void setViewsNeedDisplay(bool flag);
    void display();
    void displayIfNeeded();
    // Draws the window's base-coordinate rects: background, then the view tree where it meets them.
    void displayRegion(const std::vector<gfx::Rect>& rects);
    // The context drawing into this window (nullptr when the backend shows nothing).
    std::shared_ptr<gfx::GraphicsContext> graphicsContext();
    void flushWindow();
    // A frame of the window's frame clock begins (Backend::requestFrame): lays out and draws what needs it.
    void displayFrame();
    // The focus ring drawn last in the window, kept to be drawn again while its shape stays
    // (views/detail/FocusRing.cpp); it goes with the window.
    std::shared_ptr<detail::KeptFocusRing>& keptFocusRing() { return m_keptFocusRing; }

    // Cursor rects and tracking areas.
    void invalidateCursorRectsForView(View& view);
    void resetCursorRects();
    void discardCursorRects();
    bool areCursorRectsEnabled() const { return m_cursorRectsEnabled; }
    void enableCursorRects() { m_cursorRectsEnabled = true; }
    void disableCursorRects() { m_cursorRectsEnabled = false; }

    // Used by the application and the views.
    void setKeyState(bool isKey);
    void setMainState(bool isMain);
    void setVisibleState(bool visible) { m_visible = visible; }
    void setModalBlocked(bool blocked) { m_modalBlocked = blocked; }
    void setSheetParent(const std::shared_ptr<Window>& parent) { m_sheetParent = parent; }
    void updateTrackingAreas(gfx::Point basePoint, const Event& cause);
    std::shared_ptr<View> mouseDownView() const { return m_mouseDownView.lock(); }
    // Drops the pressed view when it is the view or inside it.
    void forgetMouseDownView(const View& view);

    // Accessibility (WindowAccessibility.cpp): a window element (a sheet for a sheet) whose children are the elements
    // of its toolbar view and content view; its parent is the application.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;
    // The view that has the keyboard: the first responder, or the control the field editor edits for.
    std::shared_ptr<View> accessibilityFocusedView() const;

    // The backend brackets a resize the person drags with these; views hear of it.
    void beginLiveResize();
    void endLiveResize();
    bool inLiveResize() const { return m_inLiveResize; }

private:
    void applyFrame(gfx::Rect frame, bool display);
    // Has the display pass run before the run loop next waits: it lays out, and asks for a frame when something
    // needs drawing (a window draws at most once a frame).
    void scheduleDisplayPass();
    void runDisplayPass();
    // The frame clock of a window no window-system clock serves: frames at most once a refresh interval of the
    // run loop's clock, the first after a quiet spell at once.
    void requestVirtualFrame();
    // The last subviews of the content view whose look is a tint (View::overlayTintColor), bottom to top; the
    // window lays them over its drawing as it hands it to the screen (empty when the window draws them itself).
    std::vector<std::shared_ptr<View>> contentOverlays() const;
    // Redraws the base rects, then hands them and the rects only the tints changed in to the screen.
    void compositeRegion(const std::vector<gfx::Rect>& redraw, const std::vector<gfx::Rect>& retint);
    void drawRegion(
        gfx::GraphicsContext& context, const std::vector<gfx::Rect>& rects, const std::vector<const View*>* leftOut);
    // The frame moved inside the visible frame of its screen when the window has a title bar.
    gfx::Rect frameKeptOnScreen(gfx::Rect frame) const;
    void layoutToolbarView();
    // The content view, then the toolbar view, when there are.
    std::vector<std::shared_ptr<View>> rootViews() const;
    void layoutContentView(gfx::Size oldSize);
    void postNotification(const fnd::String& name);
    void sendMouseToView(const Event& event);
    // A press on an inactive window: makes it key and brings it forward unless the view under the press delays
    // that; answers whether the press goes on to the view.
    bool activateForPress(const std::shared_ptr<View>& view, const Event& event);
    void updateCursor(gfx::Point basePoint);
    void selectKeyView(const std::shared_ptr<View>& view, KeyViewSelectionDirection direction);
    std::shared_ptr<View> firstKeyViewIn(const std::shared_ptr<View>& area) const;
    std::shared_ptr<View> keyViewStart() const;
    bool hasKeyViewLinks() const;

    gfx::Rect m_frame;
    unsigned m_styleMask { WindowStyleMask::Titled };
    fnd::String m_title;
    long m_level { WindowLevel::Normal };
    double m_alpha { 1 };
    double m_displayScale { 1 };
    bool m_opaque { true };
    gfx::ColorPtr m_backgroundColor;
    bool m_hasShadow { true };
    bool m_ignoresMouseEvents { false };
    bool m_hidesOnDeactivate { false };
    std::optional<bool> m_movableByWindowBackground;
    bool m_worksWhenModal { false };
    bool m_showsResizeIndicator { true };
    unsigned m_disabledButtons { 0 };
    gfx::Size m_minSize { 1, 1 };
    gfx::Size m_maxSize { 1e7, 1e7 };
    double m_toolbarHeight { 0 };
    double m_contentBorderBottom { 0 };
    double m_contentBorderTop { 0 };
    std::shared_ptr<fnd::Object> m_toolbar;
    std::shared_ptr<View> m_toolbarView;
    bool m_toolbarTakesMouseWhileBlocked { false };
    std::shared_ptr<View> m_contentView;
    std::weak_ptr<Responder> m_firstResponder;
    std::weak_ptr<View> m_initialFirstResponder;
    std::weak_ptr<WindowDelegate> m_delegate;
    std::weak_ptr<View> m_mouseDownView;
    fnd::String m_frameAutosaveName;
    std::optional<gfx::Rect> m_unzoomedFrame;
    long m_windowNumber { 0 };
    bool m_visible { false };
    bool m_closed { false };
    bool m_isKey { false };
    bool m_isMain { false };
    bool m_modalBlocked { false };
    bool m_viewsNeedDisplay { false };
    bool m_viewsNeedLayout { false };
    bool m_cursorRectsEnabled { true };
    bool m_cursorRectsValid { false };
    bool m_acceptsMouseMovedEvents { false };
    std::shared_ptr<SettableCursor> m_currentCursor;
    bool m_displayScheduled { false };
    // When the window last drew (a frame of its own frame clock begins no sooner than an interval later), and the
    // timer that begins that frame.
    std::optional<fnd::Date> m_lastDrawDate;
    std::shared_ptr<fnd::Timer> m_nextFrameTimer;
    bool m_inLiveResize { false };
    std::weak_ptr<Window> m_parentWindow;
    std::vector<std::pair<std::weak_ptr<Window>, WindowOrderingMode>> m_children;
    std::shared_ptr<Window> m_attachedSheet;
    std::weak_ptr<Window> m_sheetParent;
    std::function<void(long)> m_sheetHandler;
    std::shared_ptr<gfx::GraphicsContext> m_context;
    std::shared_ptr<gfx::WindowSurface> m_surface;
    // The backing scale the surface was made at (asking the screen for it may ask the window system).
    double m_surfaceScale { 1 };
    // While tints lie over the content: the window's drawing without them, which they are laid over.
    std::shared_ptr<detail::WindowUnderlay> m_underlay;
    // Whether the drawing may hold a tint the view tree drew (one that was not laid as a tint at the time).
    bool m_drawingMayHoldTints { true };
    std::shared_ptr<detail::KeptFocusRing> m_keptFocusRing;
    bool m_autorecalculatesKeyViewLoop { false };
    KeyViewSelectionDirection m_keyViewSelectionDirection { KeyViewSelectionDirection::Direct };
    std::weak_ptr<ButtonCell> m_defaultButtonCell;
    std::weak_ptr<ButtonCell> m_cancelButtonCell;
    std::vector<std::weak_ptr<View>> m_keyViewAreas;
    std::shared_ptr<TextView> m_fieldEditor;
    bool m_defaultButtonKeyEnabled { true };
};

}
