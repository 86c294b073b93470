#pragma once

#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/views/View.h"

namespace ui {

class Control;

// Names of the notifications a control posts while its text is edited (object: the control; userInfo
// "NSFieldEditor": the field editor).
namespace ControlNotification {
inline const fnd::String TextDidBeginEditing = "NSControlTextDidBeginEditingNotification";
inline const fnd::String TextDidChange = "NSControlTextDidChangeNotification";
inline const fnd::String TextDidEndEditing = "NSControlTextDidEndEditingNotification";
inline const fnd::String FieldEditorKey = "NSFieldEditor";
}

// Optional answers of a control's delegate while its text is edited; the defaults are what happens without one.
class ControlTextEditingDelegate {
public:
    virtual ~ControlTextEditingDelegate() = default;
    virtual bool controlTextShouldBeginEditing(Control&, View& /*fieldEditor*/) { return true; }
    virtual bool controlTextShouldEndEditing(Control&, View& /*fieldEditor*/) { return true; }
    // The formatter could not read the text: true accepts the text as it is.
    virtual bool controlDidFailToFormatString(Control&, const fnd::String&, const fnd::String& /*error*/)
    {
        return false;
    }
    virtual bool controlIsValidObject(Control&, const fnd::Value&) { return true; }
    // A command of the field editor (insertNewline:, cancelOperation:, ...): true when the delegate handled it.
    virtual bool controlDoCommandBySelector(Control&, View& /*fieldEditor*/, fnd::Selector) { return false; }
    virtual void controlTextDidBeginEditing(const fnd::Object& /*notification*/) { }
    virtual void controlTextDidChange(const fnd::Object& /*notification*/) { }
    virtual void controlTextDidEndEditing(const fnd::Object& /*notification*/) { }
};

// A view that shows one cell and forwards its value, state and settings to it. Flipped. A click makes the cell
// track the mouse (Control::mouseDown runs the platform's loop around Cell::trackMouse); a disabled control
// ignores the mouse and the keyboard. Subclasses choose their cell with makeCell.
//
// While its cell's text is edited the control is the field editor's delegate (ControlTextEditing.cpp): it asks its
// own delegate, checks the text with the cell's formatter before editing ends, takes the text into the cell and
// posts the control text notifications with the field editor under "NSFieldEditor".
class Control : public View, public TextViewDelegate {
    FND_OBJECT(Control)
    static void describeClass(fnd::ClassBuilder<Control>& c);

public:
    Control() = default;
    static std::shared_ptr<Control> create(gfx::Rect frame = {});
    // Makes the cell (makeCell).
    void initWithFrame(gfx::Rect frame) override;
    // The cell a new control of this class gets (an action cell here).
    virtual std::shared_ptr<Cell> makeCell() const;

    // After the view's data, keyed: "NSCell" (of the class makeCell gives, or a subclass), "NSEnabled", "NSTag",
    // "NSAction" and "NSTarget" (a conditional reference: kept only when the target is archived too); sequential: the
    // cell alone.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    const std::shared_ptr<Cell>& cell() const { return m_cell; }
    // Nil, or a cell the control does not take (acceptsCell), raises InvalidArgument: the control's own code relies on
    // the kind of cell it makes, and its archive would not read back.
    virtual void setCell(const std::shared_ptr<Cell>& cell);
    // A cell of the class makeCell gives or a subclass, or of a class between that one and ActionCell: a subclass
    // of a standard control loaded from an interface file holds the standard control's cell until it replaces it.
    bool acceptsCell(const Cell& cell) const;
    // The cell an action comes from (a matrix answers the one clicked).
    virtual std::shared_ptr<Cell> selectedCell() const { return m_cell; }

    // Values, forwarded to the cell (editing in progress is validated first).
    fnd::Value objectValue() const;
    void setObjectValue(const fnd::Value& value);
    fnd::String stringValue() const;
    void setStringValue(const fnd::String& string);
    std::shared_ptr<txt::AttributedString> attributedStringValue() const;
    void setAttributedStringValue(const std::shared_ptr<txt::AttributedString>& text);
    std::int64_t integerValue() const;
    void setIntegerValue(std::int64_t value);
    int intValue() const { return static_cast<int>(integerValue()); }
    void setIntValue(int value) { setIntegerValue(value); }
    double doubleValue() const;
    void setDoubleValue(double value);
    float floatValue() const { return static_cast<float>(doubleValue()); }
    void setFloatValue(float value) { setDoubleValue(value); }
    // Actions taking the value of the sender (a control or a cell).
    void takeObjectValueFrom(const fnd::Value& sender);
    void takeStringValueFrom(const fnd::Value& sender);
    void takeIntegerValueFrom(const fnd::Value& sender);
    void takeIntValueFrom(const fnd::Value& sender) { takeIntegerValueFrom(sender); }
    void takeDoubleValueFrom(const fnd::Value& sender);
    void takeFloatValueFrom(const fnd::Value& sender) { takeDoubleValueFrom(sender); }
    std::shared_ptr<fnd::Formatter> formatter() const;
    void setFormatter(std::shared_ptr<fnd::Formatter> formatter);

    // Settings, forwarded to the cell.
    bool isEnabled() const;
    virtual void setEnabled(bool flag);
    ControlStateValue state() const;
    void setState(ControlStateValue state);
    bool allowsMixedState() const;
    void setAllowsMixedState(bool flag);
    bool isHighlighted() const;
    void setHighlighted(bool flag);
    bool isContinuous() const;
    void setContinuous(bool flag);
    EventMask sendActionOn(EventMask mask);
    std::shared_ptr<gfx::Font> font() const;
    void setFont(std::shared_ptr<gfx::Font> font);
    txt::TextAlignment alignment() const;
    void setAlignment(txt::TextAlignment alignment);
    txt::LineBreakMode lineBreakMode() const;
    void setLineBreakMode(txt::LineBreakMode mode);
    ControlSize controlSize() const;
    void setControlSize(ControlSize size);
    long tag() const override;
    void setTag(long tag);
    bool refusesFirstResponder() const;
    void setRefusesFirstResponder(bool flag);
    bool ignoresMultiClick() const { return m_ignoresMultiClick; }
    void setIgnoresMultiClick(bool flag) { m_ignoresMultiClick = flag; }

    // Target and action, kept by the cell.
    fnd::Selector action() const;
    void setAction(fnd::Selector action);
    std::shared_ptr<fnd::Object> target() const;
    void setTarget(const std::shared_ptr<fnd::Object>& target);
    // Sends the action to the target (nil: along the responder chain) with the control as sender; false when
    // there is no action or nothing took it.
    virtual bool sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target);
    // Clicks the control as if with the mouse.
    void performClick(const fnd::Value& sender = {});

    // Redrawing when a cell changed.
    virtual void updateCell(Cell& cell);
    virtual void updateCellInside(Cell& cell);
    void drawCell(Cell& cell);
    void drawCellInside(Cell& cell);
    void selectCell(Cell& cell);
    // The frame's size becomes the cell's natural size.
    virtual void sizeToFit();
    virtual void calcSize() { }

    // Editing by the field editor.
    std::shared_ptr<View> currentEditor() const override;
    // Ends editing without taking the text; false when nothing was being edited.
    virtual bool abortEditing();
    // Takes the field editor's text into the cell now.
    virtual void validateEditing();
    std::shared_ptr<ControlTextEditingDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ControlTextEditingDelegate>& delegate) { m_delegate = delegate; }

    // The field editor's delegate.
    bool textShouldBeginEditing(TextView& fieldEditor) override;
    bool textShouldEndEditing(TextView& fieldEditor) override;
    void textDidBeginEditing(const fnd::Notification& notification) override;
    void textDidChange(const fnd::Notification& notification) override;
    void textDidEndEditing(const fnd::Notification& notification) override;
    bool textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector) override;
    // Bindings: "value" shows the bound value (a selection marker as its placeholder: in a text field as the
    // placeholder string, elsewhere as the value; with ConditionallySetsEnabled the control is disabled while it
    // shows no selection or a key that does not apply), "enabled" and "hidden" follow booleans. What the user
    // changes goes back through the bindings when the control sends its action, with or without one.
    void unbind(const fnd::String& binding) override;
    // Writes the control's value back through its bindings; sendAction does it first.
    virtual void pushBoundValues();

    // View.
    bool isFlipped() const override { return true; }
    bool acceptsFirstResponder() const override;
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void mouseEntered(const Event& event) override;
    void mouseExited(const Event& event) override;
    void resetCursorRects() override;
    std::shared_ptr<Menu> menuForEvent(const Event& event) override;
    FocusRingType focusRingType() const override;
    void setFocusRingType(FocusRingType type) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override;

    // Accessibility (ControlAccessibility.cpp): the control answers as its cell does (role, title, value, actions),
    // with its own place in the tree, frame and focus.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    fnd::String accessibilityActionDescription(const fnd::String& action) const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override;
    std::optional<gfx::Rect> accessibilityFrameOfCell(const Cell& cell) const override;

protected:
    // Runs the platform's loop: the cell tracks while the mouse is inside, the control waits while it is outside,
    // until the button goes up.
    virtual void trackMouseWithEvent(const Event& event);
    // That loop for any cell the control shows, in its frame.
    void trackCell(Cell& cell, gfx::Rect frame, const Event& event);
    void ensureCell();
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;
    // A field editor notification posted again as the control's, with the editor under "NSFieldEditor".
    std::shared_ptr<fnd::Notification> postControlNotification(
        const fnd::String& name, const fnd::Notification& fromEditor);
    // Whether an edit may end: the formatter (when there is one) must read the text, else editing goes on, with the
    // text as typed, unless the delegate accepts it as it is; then the delegate decides.
    bool textShouldEndEditingWith(TextView& fieldEditor, const fnd::Formatter* formatter,
        const std::shared_ptr<ControlTextEditingDelegate>& delegate);

private:
    // What the "value" and "enabled" bindings show now.
    struct BoundDisplay {
        bool enabledByBinding { true };
        bool enabledByValue { true };
        bool showsMarker { false };
        fnd::Value shownValue;
        std::optional<fnd::String> ownPlaceholder;
    };
    void showBoundValue(const fnd::Value& value, const fnd::Dictionary& options);
    // Text-field cells show a placeholder for markers and nil values (ControlTextBindings.cpp).
    bool cellTakesPlaceholders() const;
    void setPlaceholderForBinding(const std::optional<fnd::String>& placeholder);

    std::shared_ptr<Cell> m_cell;
    BoundDisplay m_boundDisplay;
    std::weak_ptr<ControlTextEditingDelegate> m_delegate;
    bool m_ignoresMultiClick { false };
};

}
