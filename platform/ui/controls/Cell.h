#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/views/Event.h"

#include <memory>

namespace gfx {
class Font;
class Image;
}

namespace txt {
class AttributedString;
}

namespace ui {

class Cell;

// Use instead of FND_OBJECT in every cell class: it also makes copy() produce an instance of the class itself,
// with every field copied by the class's copy constructor.
#define UI_CELL_OBJECT(Class)                                                                                          \
    FND_OBJECT(Class)                                                                                                  \
protected:                                                                                                             \
    std::shared_ptr<::ui::Cell> cloneCell() const override                                                             \
    {                                                                                                                  \
        return std::make_shared<Class>(*this);                                                                         \
    }                                                                                                                  \
                                                                                                                       \
private:

// What a control shows and how it reacts, apart from the view: a value (with the forms a control forwards and a
// formatter between value and text), state, font and alignment, and the overridable steps of drawing and mouse
// tracking. A control draws its cell into its bounds and lets it track the mouse; many cells can share one view
// (tables, tab bars, scope bars draw cells one after another).
//
// Drawing: drawWithFrame draws the border or bezel the cell has, then drawInteriorWithFrame the content. Tracking:
// the control calls trackMouse, which calls startTrackingAt once, continueTracking for each drag, stopTracking at the
// end, sends the action on mouse-up inside (or as the sendActionOn mask asks, and periodically while held when the
// cell is continuous) and answers whether the mouse went up. Every step is virtual, and the base uses them, so a
// subclass overriding one sees it used.
class Cell : public fnd::Object, public fnd::Coding, public AccessibilityElement {
    FND_OBJECT(Cell)
    static void describeClass(fnd::ClassBuilder<Cell>& c);

protected:
    // The instance copy() returns; UI_CELL_OBJECT answers it for each class.
    virtual std::shared_ptr<Cell> cloneCell() const { return std::make_shared<Cell>(*this); }

public:
    Cell();
    Cell(const Cell&) = default;
    // The designated initializers: a text cell with the string, an image cell with the image.
    void initTextCell(const fnd::String& string);
    void initImageCell(std::shared_ptr<gfx::Image> image);
    // An independent copy of the same class; the formatter is copied, images and fonts are shared (immutable).
    virtual std::shared_ptr<Cell> copy() const;

    CellType type() const { return m_type; }
    virtual void setType(CellType type);

    // Values. The object value is what the cell holds; the other forms convert from and to it (a string through
    // the formatter when there is one).
    virtual fnd::Value objectValue() const { return m_objectValue; }
    // A number that is NaN or infinite is ignored by the value setters: no control shows, steps or archives one.
    virtual void setObjectValue(const fnd::Value& value);
    // False when a formatter could not read the last string set.
    bool hasValidObjectValue() const { return m_hasValidObjectValue; }
    virtual fnd::String stringValue() const;
    virtual void setStringValue(const fnd::String& string);
    virtual std::int64_t integerValue() const;
    virtual void setIntegerValue(std::int64_t value);
    int intValue() const { return static_cast<int>(integerValue()); }
    void setIntValue(int value) { setIntegerValue(value); }
    virtual double doubleValue() const;
    virtual void setDoubleValue(double value);
    float floatValue() const { return static_cast<float>(doubleValue()); }
    void setFloatValue(float value) { setDoubleValue(value); }
    bool boolValue() const { return integerValue() != 0; }
    // The value as styled text: the string in the cell's font, colour and alignment (or the attributed string the
    // cell holds).
    virtual std::shared_ptr<txt::AttributedString> attributedStringValue() const;
    virtual void setAttributedStringValue(const std::shared_ptr<txt::AttributedString>& text);
    void takeObjectValueFrom(const Cell& other) { setObjectValue(other.objectValue()); }
    void takeStringValueFrom(const Cell& other) { setStringValue(other.stringValue()); }
    void takeIntegerValueFrom(const Cell& other) { setIntegerValue(other.integerValue()); }
    void takeDoubleValueFrom(const Cell& other) { setDoubleValue(other.doubleValue()); }

    const std::shared_ptr<fnd::Formatter>& formatter() const { return m_formatter; }
    void setFormatter(std::shared_ptr<fnd::Formatter> formatter);

    // The title is the string value for text cells; buttons keep a title of their own.
    virtual fnd::String title() const { return stringValue(); }
    virtual void setTitle(const fnd::String& title) { setStringValue(title); }
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    virtual void setImage(std::shared_ptr<gfx::Image> image);

    // State. Mixed is kept only when the cell allows it (otherwise it reads as on).
    ControlStateValue state() const { return m_state; }
    virtual void setState(ControlStateValue state);
    bool allowsMixedState() const { return m_allowsMixedState; }
    virtual void setAllowsMixedState(bool flag);
    // On → off → (mixed →) on.
    virtual ControlStateValue nextState() const;
    virtual void setNextState() { setState(nextState()); }

    // Flags.
    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool flag);
    virtual bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool flag);
    bool isEditable() const { return m_editable; }
    virtual void setEditable(bool flag);
    bool isSelectable() const { return m_selectable || m_editable; }
    virtual void setSelectable(bool flag);
    bool isScrollable() const { return m_scrollable; }
    void setScrollable(bool flag);
    bool isBezeled() const { return m_bezeled; }
    virtual void setBezeled(bool flag);
    bool isBordered() const { return m_bordered; }
    virtual void setBordered(bool flag);
    bool isContinuous() const { return m_continuous; }
    virtual void setContinuous(bool flag);
    bool wraps() const { return m_lineBreakMode == txt::LineBreakMode::ByWordWrapping; }
    void setWraps(bool flag);
    bool truncatesLastVisibleLine() const { return m_truncatesLastVisibleLine; }
    void setTruncatesLastVisibleLine(bool flag) { m_truncatesLastVisibleLine = flag; }
    bool usesSingleLineMode() const { return m_usesSingleLineMode; }
    void setUsesSingleLineMode(bool flag) { m_usesSingleLineMode = flag; }
    bool allowsEditingTextAttributes() const { return m_allowsEditingTextAttributes; }
    void setAllowsEditingTextAttributes(bool flag) { m_allowsEditingTextAttributes = flag; }
    bool importsGraphics() const { return m_importsGraphics; }
    void setImportsGraphics(bool flag) { m_importsGraphics = flag; }
    bool sendsActionOnEndEditing() const { return m_sendsActionOnEndEditing; }
    void setSendsActionOnEndEditing(bool flag) { m_sendsActionOnEndEditing = flag; }

    // Text.
    std::shared_ptr<gfx::Font> font() const;
    virtual void setFont(std::shared_ptr<gfx::Font> font);
    txt::TextAlignment alignment() const { return m_alignment; }
    virtual void setAlignment(txt::TextAlignment alignment);
    txt::LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    virtual void setLineBreakMode(txt::LineBreakMode mode);

    // Look.
    ControlSize controlSize() const { return m_controlSize; }
    // Also gives the cell the system font of the size's point size, when its font is a system font.
    virtual void setControlSize(ControlSize size);
    gfx::ControlTint controlTint() const { return m_controlTint; }
    virtual void setControlTint(gfx::ControlTint tint);
    BackgroundStyle backgroundStyle() const { return m_backgroundStyle; }
    virtual void setBackgroundStyle(BackgroundStyle style);
    // The background style the content should use: dark when the cell is highlighted on a light background.
    virtual BackgroundStyle interiorBackgroundStyle() const;
    FocusRingType focusRingType() const { return m_focusRingType; }
    void setFocusRingType(FocusRingType type)
    {
        if (isWithin(type, FocusRingType::Default, FocusRingType::Exterior))
            m_focusRingType = type;
    }
    bool showsFirstResponder() const { return m_showsFirstResponder; }
    virtual void setShowsFirstResponder(bool flag);
    bool refusesFirstResponder() const { return m_refusesFirstResponder; }
    virtual void setRefusesFirstResponder(bool flag) { m_refusesFirstResponder = flag; }
    // Whether the control around the cell takes the keyboard.
    virtual bool acceptsFirstResponder() const;

    // Identity and odds and ends.
    virtual long tag() const { return -1; }
    virtual void setTag(long) { }
    const fnd::Value& representedObject() const { return m_representedObject; }
    // The cell itself, its control or a view around it raises InvalidArgument: the cell would hold what holds it, and
    // neither would be let go.
    void setRepresentedObject(const fnd::Value& object);
    std::shared_ptr<View> controlView() const { return m_controlView.lock(); }
    virtual void setControlView(const std::shared_ptr<View>& view) { m_controlView = view; }
    const std::shared_ptr<Menu>& menu() const { return m_menu; }
    virtual void setMenu(std::shared_ptr<Menu> menu) { m_menu = std::move(menu); }
    virtual std::shared_ptr<Menu> menuForEvent(const Event& event, gfx::Rect cellFrame, View& view);
    // Buttons answer their key equivalent; other cells have none.
    virtual fnd::String keyEquivalent() const { return {}; }
    // Target and action live in action cells; the plain cell has none.
    virtual fnd::Selector action() const { return {}; }
    virtual void setAction(fnd::Selector) { }
    virtual std::shared_ptr<fnd::Object> target() const { return nullptr; }
    virtual void setTarget(const std::shared_ptr<fnd::Object>&) { }

    // Geometry. The natural size of the cell, within bounds, and the parts of a frame.
    gfx::Size cellSize() const { return cellSizeForBounds({ 0, 0, 1e7, 1e7 }); }
    virtual gfx::Size cellSizeForBounds(gfx::Rect bounds) const;
    virtual gfx::Rect drawingRectForBounds(gfx::Rect bounds) const;
    virtual gfx::Rect titleRectForBounds(gfx::Rect bounds) const;
    virtual gfx::Rect imageRectForBounds(gfx::Rect bounds) const;
    // The colour a highlighted cell is drawn on.
    virtual gfx::ColorPtr highlightColorWithFrame(gfx::Rect cellFrame, View& controlView) const;

    // Drawing.
    virtual void drawWithFrame(gfx::Rect cellFrame, View& controlView);
    virtual void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView);
    // Highlights or unhighlights and redraws the control at once.
    virtual void highlight(bool flag, gfx::Rect cellFrame, View& controlView);
    // Fills the shape the focus ring follows (the view system draws the ring around it).
    virtual void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView);
    virtual gfx::Rect focusRingMaskBoundsForFrame(gfx::Rect cellFrame, View& controlView) const;

    // Mouse tracking. trackMouse answers whether the mouse went up inside (or anywhere with untilMouseUp).
    virtual bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp);
    virtual bool startTrackingAt(gfx::Point startPoint, View& controlView);
    virtual bool continueTracking(gfx::Point lastPoint, gfx::Point currentPoint, View& controlView);
    virtual void stopTracking(gfx::Point lastPoint, gfx::Point stopPoint, View& controlView, bool mouseIsUp);
    // Whether the cell keeps tracking outside its frame until the button goes up (sliders do).
    virtual bool prefersTrackingUntilMouseUp() const { return false; }
    // The wait before the first periodic action while the mouse is held, and between later ones (seconds).
    virtual void getPeriodicDelay(double& delay, double& interval) const;
    // The events that send the action (LeftMouseUp by default; continuous cells add Periodic); answers the old mask.
    EventMask sendActionOn(EventMask mask);
    EventMask actionMask() const { return m_actionMask; }
    // The modifier flags of the mouse-down being tracked.
    unsigned mouseDownFlags() const { return m_mouseDownFlags; }
    // Enter and exit events the control forwards to its cell.
    virtual void mouseEntered(const Event&) { }
    virtual void mouseExited(const Event&) { }

    // Clicks the cell as if with the mouse: highlights, changes the state, sends the action.
    virtual void performClick(const fnd::Value& sender);
    virtual void performClickWithFrame(gfx::Rect frame, View& controlView);
    // Sends the action to the target through the control (nothing without a control view).
    bool sendActionFromControlView();

    // Editing, for the field editor of the text system: the editor is placed over the title rect of the frame and
    // shows the cell's text; endEditing takes the text back. The field editor's own behaviour is the text system's.
    virtual void editWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
        const std::shared_ptr<fnd::Object>& delegate, const Event* event);
    virtual void selectWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
        const std::shared_ptr<fnd::Object>& delegate, fnd::Index selectionStart, fnd::Index selectionLength);
    virtual void endEditing(const std::shared_ptr<View>& fieldEditor);
    // Lets go of the field editor as endEditing does, but leaves it in the control view with its text and the
    // keyboard, for another cell of the same control to take over at once (selectWithFrame): moving between cells
    // then replaces the editor's text once, and the keyboard is not given up and taken back.
    void handOverFieldEditor(const std::shared_ptr<View>& fieldEditor);
    // Prepares the shared field editor for this cell (font, alignment, colours); answers the editor to use.
    virtual std::shared_ptr<View> setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor);
    // The field editor while the cell is being edited, else nullptr.
    std::shared_ptr<View> currentFieldEditor() const { return m_fieldEditor.lock(); }
    // Cursor rects the cell wants in its control (an I-beam over editable text).
    virtual void resetCursorRect(gfx::Rect cellFrame, View& controlView);

    // Accessibility (ControlAccessibility.cpp). A text cell is static text (a text field when editable), an image
    // cell an image; subclasses answer their own role, value and actions. A control showing one cell answers for it;
    // cells that share a view (tabs, a matrix) are elements of their own, children of that view, which gives their
    // frames through View::accessibilityFrameOfCell.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override;
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;
    // The element that stands for the cell: its control when the control shows it alone, else the cell.
    fnd::Value accessibilityRepresentative() const;

    // Keyed archiving; subclasses add their keys after calling these.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // Whether the value is the cell itself, its control or a view around the control: what holds the cell.
    bool holdsCell(const fnd::Value& value) const;
    // Redraws the control showing the cell (updateCell) after a change that shows.
    void noteChanged();
    // The text attributes the cell draws its string value with.
    virtual fnd::Dictionary textAttributes() const;
    // The colour of the text the cell draws (disabled text is lighter).
    virtual gfx::ColorPtr textColorForDrawing() const;
    // The size text takes within the width (its lines' extent, whatever its alignment).
    static gfx::Size textSize(const txt::AttributedString& text, double width = 1e7);
    // Draws the attributed text in the rect, vertically centred when it is one line in a taller rect and `centred`.
    static void drawText(const txt::AttributedString& text, gfx::Rect rect, bool centred);
    // Whether the control view's window is the key window (or there is no window to ask).
    bool isInActiveWindow() const;

private:
    // Ends this cell's hold on the field editor (nullptr when it held another or none).
    std::shared_ptr<View> letGoOfFieldEditor(const std::shared_ptr<View>& fieldEditor);
    void noteFieldEditorGone();

    CellType m_type { CellType::Null };
    fnd::Value m_objectValue;
    bool m_hasValidObjectValue { true };
    std::shared_ptr<fnd::Formatter> m_formatter;
    std::shared_ptr<gfx::Image> m_image;
    ControlStateValue m_state { ControlStateValue::Off };
    bool m_allowsMixedState { false };
    bool m_enabled { true };
    bool m_highlighted { false };
    bool m_editable { false };
    bool m_selectable { false };
    bool m_scrollable { false };
    bool m_bezeled { false };
    bool m_bordered { false };
    bool m_continuous { false };
    bool m_truncatesLastVisibleLine { false };
    bool m_usesSingleLineMode { false };
    bool m_allowsEditingTextAttributes { false };
    bool m_importsGraphics { false };
    bool m_sendsActionOnEndEditing { false };
    bool m_showsFirstResponder { true };
    bool m_refusesFirstResponder { false };
    std::shared_ptr<gfx::Font> m_font;
    txt::TextAlignment m_alignment { txt::TextAlignment::Natural };
    txt::LineBreakMode m_lineBreakMode { txt::LineBreakMode::ByWordWrapping };
    // The paragraph style of textAttributes, kept while the alignment and line break mode stay.
    mutable std::shared_ptr<txt::ParagraphStyle> m_textStyle;
    ControlSize m_controlSize { ControlSize::Regular };
    gfx::ControlTint m_controlTint { gfx::ControlTint::Default };
    BackgroundStyle m_backgroundStyle { BackgroundStyle::Light };
    FocusRingType m_focusRingType { FocusRingType::Default };
    EventMask m_actionMask { EventMasks::LeftMouseUp };
    unsigned m_mouseDownFlags { 0 };
    fnd::Value m_representedObject;
    std::weak_ptr<View> m_controlView;
    std::shared_ptr<Menu> m_menu;
    std::weak_ptr<View> m_fieldEditor;
};

}
