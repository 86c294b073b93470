#pragma once

#include "platform/graphics/Color.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/text/TextInputClient.h"
#include "platform/ui/views/View.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Timer;
class UndoManager;
}

namespace gfx {
class Font;
}

namespace txt {
class AttributedString;
class LayoutManager;
class TextContainer;
class TextStorage;
}

namespace ui {

class KeyBindings;
class Pasteboard;
namespace detail {
class TextChange;
class TextViewLayoutWatcher;
}

// Which side of a line break the caret belongs to when its index is both the end of one line and the start of the
// next, with the platform's values.
enum class SelectionAffinity { Upstream = 0, Downstream = 1 };
// What a selection grows by while the mouse extends it, with the platform's values.
enum class SelectionGranularity { ByCharacter = 0, ByWord = 1, ByParagraph = 2 };

// Pasteboard types of text beyond the plain string.
namespace PasteboardType {
inline const fnd::String RTF = "NSRTFPboardType";
}

// An editable, selectable view of a text storage, laid out by its layout manager into its text container. The text
// container sits at textContainerOrigin (the inset, in the flipped view); the view grows with its text along the
// axes it is resizable in, between minSize and maxSize.
//
// Keys go through interpretKeyEvents: a key bound in the key-binding table becomes a command performed by
// doCommandBySelector (asking the delegate first), any other key with printable characters is typed through
// insertText. Every change of the text passes shouldChangeTextInRange (which asks textShouldBeginEditing at the
// start of an editing session and the delegate), is made, and is followed by didChangeText. Changes are undoable
// through the undo manager, consecutive typing as one step.
//
// As a field editor (one per window, editing the text of controls and cells) Return, Tab and Backtab end editing
// instead of entering text: the view asks textShouldEndEditing, then posts NSTextDidEndEditingNotification with the
// movement; giving up the keyboard ends editing the same way with movement 0.
class TextView : public View, public TextInputClient, public DraggingSource, public DraggingDestination {
    FND_OBJECT(TextView)
    static void describeClass(fnd::ClassBuilder<TextView>& c);

public:
    TextView() = default;
    ~TextView() override;
    // A view with its own storage, layout manager and container (whose width tracks the view).
    static std::shared_ptr<TextView> create(gfx::Rect frame = {});
    // A view showing a container another layout manager (and storage) already holds.
    static std::shared_ptr<TextView> create(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container);
    void initWithFrame(gfx::Rect frame) override;
    // The designated initialiser with a container: initWithFrame(frame) calls it with a container of its own.
    virtual void initWithFrame(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container);

    // The text system.
    const std::shared_ptr<txt::TextContainer>& textContainer() const { return m_textContainer; }
    void setTextContainer(const std::shared_ptr<txt::TextContainer>& container);
    // Swaps in a new container for the old one in its layout manager.
    void replaceTextContainer(const std::shared_ptr<txt::TextContainer>& container);
    std::shared_ptr<txt::LayoutManager> layoutManager() const;
    txt::TextStorage* textStorage() const;
    gfx::Size textContainerInset() const { return m_textContainerInset; }
    void setTextContainerInset(gfx::Size inset);
    // The container's top left in the view.
    gfx::Point textContainerOrigin() const { return m_textContainerOrigin; }
    void invalidateTextContainerOrigin();

    // The text.
    fnd::String string() const;
    void setString(const fnd::String& string);
    // Replaces the whole text with styled text (a plain view keeps its own look).
    void setAttributedString(const txt::AttributedString& text);
    // Programmatic changes: no delegate is asked and nothing is recorded for undo.
    void replaceCharactersInRange(fnd::Range range, const fnd::String& string);
    void replaceCharactersInRange(fnd::Range range, const txt::AttributedString& text);
    // The styled text of the range (the whole text when no range is given).
    std::shared_ptr<txt::AttributedString> attributedSubstringFromRange(fnd::Range range) const;

    // Behaviour.
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag);
    bool isSelectable() const { return m_selectable || m_editable; }
    void setSelectable(bool flag);
    // Rich text keeps attributes per character and pastes styled text; plain text has one look for everything.
    bool isRichText() const { return m_richText; }
    void setRichText(bool flag);
    bool importsGraphics() const { return m_importsGraphics; }
    void setImportsGraphics(bool flag) { m_importsGraphics = flag; }
    bool isFieldEditor() const { return m_fieldEditor; }
    void setFieldEditor(bool flag);
    // Secure entry: characters show as bullets, and the text cannot be copied, cut or dragged.
    bool usesSecureTextEntry() const { return m_secure; }
    void setUsesSecureTextEntry(bool flag);
    bool allowsUndo() const { return m_allowsUndo; }
    void setAllowsUndo(bool flag) { m_allowsUndo = flag; }
    virtual bool smartInsertDeleteEnabled() const { return false; }

    // Looks.
    std::shared_ptr<gfx::Font> font() const;
    // The whole text (and the typing attributes) in the font; setFontRange for a range of rich text.
    void setFont(std::shared_ptr<gfx::Font> font);
    void setFontRange(std::shared_ptr<gfx::Font> font, fnd::Range range);
    gfx::ColorPtr textColor() const;
    void setTextColor(gfx::ColorPtr color);
    void setTextColorRange(gfx::ColorPtr color, fnd::Range range);
    txt::TextAlignment alignment() const;
    void setAlignment(txt::TextAlignment alignment);
    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool flag);
    gfx::ColorPtr insertionPointColor() const;
    void setInsertionPointColor(gfx::ColorPtr color);
    // The looks of the selection, of marked text and of link runs, drawn over the text without changing it.
    const txt::Attributes& selectedTextAttributes() const { return m_selectedTextAttributes; }
    void setSelectedTextAttributes(txt::Attributes attributes);
    const txt::Attributes& markedTextAttributes() const { return m_markedTextAttributes; }
    void setMarkedTextAttributes(txt::Attributes attributes);
    const txt::Attributes& linkTextAttributes() const { return m_linkTextAttributes; }
    void setLinkTextAttributes(txt::Attributes attributes);
    // What typed text gets: by default the attributes of the text before the caret.
    virtual txt::Attributes typingAttributes() const;
    void setTypingAttributes(txt::Attributes attributes);

    // Size.
    bool isHorizontallyResizable() const { return m_horizontallyResizable; }
    void setHorizontallyResizable(bool flag) { m_horizontallyResizable = flag; }
    bool isVerticallyResizable() const { return m_verticallyResizable; }
    void setVerticallyResizable(bool flag) { m_verticallyResizable = flag; }
    gfx::Size minSize() const { return m_minSize; }
    // Each length is bounded as boundedLength bounds it (NaN keeps the one there is).
    void setMinSize(gfx::Size size) { m_minSize = boundedSize(size, m_minSize); }
    gfx::Size maxSize() const { return m_maxSize; }
    void setMaxSize(gfx::Size size) { m_maxSize = boundedSize(size, m_maxSize); }
    // Grows or shrinks the view along its resizable axes to hold its text.
    virtual void sizeToFit();
    // Brings the range into view: through the enclosing clip views, or, in a view without one (a field editor),
    // by moving its own bounds.
    virtual void scrollRangeToVisible(fnd::Range range);
    void centerSelectionInVisibleArea(const fnd::Value& sender = {});
    void setFrame(gfx::Rect frame) override;

    // Selection.
    fnd::Range selectedRange() const { return m_selectedRange; }
    void setSelectedRange(fnd::Range range);
    // While the mouse still moves (stillSelecting), the delegate is not told and typing attributes stay.
    virtual void setSelectedRange(fnd::Range range, SelectionAffinity affinity, bool stillSelecting);
    SelectionAffinity selectionAffinity() const { return m_affinity; }
    SelectionGranularity selectionGranularity() const { return m_granularity; }
    void setSelectionGranularity(SelectionGranularity granularity) { m_granularity = granularity; }
    // The range a proposed selection grows to at the granularity: whole characters, words or paragraphs.
    virtual fnd::Range selectionRangeForProposedRange(fnd::Range proposed, SelectionGranularity granularity);
    // The range around the caret that completion completes: the partial word before it.
    virtual fnd::Range rangeForUserCompletion() const;

    // Editing.
    // Asks whether the change may be made (starting an editing session first); replacement nullptr: attributes only.
    virtual bool shouldChangeTextInRange(fnd::Range range, const fnd::String* replacement);
    // After a change: the delegate and observers hear NSTextDidChangeNotification.
    virtual void didChangeText();
    // Typing: replaces the selection (or the marked text) through shouldChangeTextInRange, in the typing
    // attributes, leaving the caret after it.
    void insertText(const fnd::Value& string);
    void insertText(const fnd::Value& string, fnd::Range replacementRange);
    // Ends the current undo step, so the next typing starts a new one.
    void breakUndoCoalescing();
    std::shared_ptr<fnd::UndoManager> undoManager();
    void setUndoManager(std::shared_ptr<fnd::UndoManager> manager) { m_undoManager = std::move(manager); }

    // Keys.
    void keyDown(const Event& event) override;
    virtual void interpretKeyEvents(const std::vector<std::shared_ptr<Event>>& events);
    // Performs the command: the delegate first, then the view's own action; beeps when nobody has it.
    virtual void doCommandBySelector(fnd::Selector selector);
    const KeyBindings* keyBindings() const { return m_keyBindings; }
    // nullptr: the standard table.
    void setKeyBindings(const KeyBindings* bindings) { m_keyBindings = bindings; }

    // Commands. Moves put the caret; their AndModifySelection forms extend the selection from its anchor.
    void moveForward(const fnd::Value& sender);
    void moveBackward(const fnd::Value& sender);
    void moveLeft(const fnd::Value& sender);
    void moveRight(const fnd::Value& sender);
    void moveUp(const fnd::Value& sender);
    void moveDown(const fnd::Value& sender);
    void moveWordForward(const fnd::Value& sender);
    void moveWordBackward(const fnd::Value& sender);
    void moveWordLeft(const fnd::Value& sender);
    void moveWordRight(const fnd::Value& sender);
    void moveToBeginningOfLine(const fnd::Value& sender);
    void moveToEndOfLine(const fnd::Value& sender);
    void moveToBeginningOfParagraph(const fnd::Value& sender);
    void moveToEndOfParagraph(const fnd::Value& sender);
    void moveParagraphBackward(const fnd::Value& sender);
    void moveParagraphForward(const fnd::Value& sender);
    void moveToBeginningOfDocument(const fnd::Value& sender);
    void moveToEndOfDocument(const fnd::Value& sender);
    void pageUp(const fnd::Value& sender);
    void pageDown(const fnd::Value& sender);
    void moveForwardAndModifySelection(const fnd::Value& sender);
    void moveBackwardAndModifySelection(const fnd::Value& sender);
    void moveLeftAndModifySelection(const fnd::Value& sender);
    void moveRightAndModifySelection(const fnd::Value& sender);
    void moveUpAndModifySelection(const fnd::Value& sender);
    void moveDownAndModifySelection(const fnd::Value& sender);
    void moveWordForwardAndModifySelection(const fnd::Value& sender);
    void moveWordBackwardAndModifySelection(const fnd::Value& sender);
    void moveWordLeftAndModifySelection(const fnd::Value& sender);
    void moveWordRightAndModifySelection(const fnd::Value& sender);
    void moveToBeginningOfLineAndModifySelection(const fnd::Value& sender);
    void moveToEndOfLineAndModifySelection(const fnd::Value& sender);
    void moveToBeginningOfParagraphAndModifySelection(const fnd::Value& sender);
    void moveToEndOfParagraphAndModifySelection(const fnd::Value& sender);
    void moveParagraphBackwardAndModifySelection(const fnd::Value& sender);
    void moveParagraphForwardAndModifySelection(const fnd::Value& sender);
    void moveToBeginningOfDocumentAndModifySelection(const fnd::Value& sender);
    void moveToEndOfDocumentAndModifySelection(const fnd::Value& sender);
    void pageUpAndModifySelection(const fnd::Value& sender);
    void pageDownAndModifySelection(const fnd::Value& sender);
    void deleteForward(const fnd::Value& sender);
    void deleteBackward(const fnd::Value& sender);
    void deleteWordForward(const fnd::Value& sender);
    void deleteWordBackward(const fnd::Value& sender);
    void deleteToBeginningOfLine(const fnd::Value& sender);
    void deleteToEndOfLine(const fnd::Value& sender);
    void deleteToBeginningOfParagraph(const fnd::Value& sender);
    void deleteToEndOfParagraph(const fnd::Value& sender);
    virtual void insertNewline(const fnd::Value& sender);
    virtual void insertTab(const fnd::Value& sender);
    virtual void insertBacktab(const fnd::Value& sender);
    void insertLineBreak(const fnd::Value& sender);
    void insertNewlineIgnoringFieldEditor(const fnd::Value& sender);
    void insertTabIgnoringFieldEditor(const fnd::Value& sender);
    virtual void cancelOperation(const fnd::Value& sender);
    void selectAll(const fnd::Value& sender);
    void selectWord(const fnd::Value& sender);
    void selectParagraph(const fnd::Value& sender);
    void selectLine(const fnd::Value& sender);
    void transpose(const fnd::Value& sender);
    void cut(const fnd::Value& sender);
    void copy(const fnd::Value& sender);
    void paste(const fnd::Value& sender);
    void pasteAsPlainText(const fnd::Value& sender);
    void pasteAsRichText(const fnd::Value& sender);
    void deleteSelection(const fnd::Value& sender);
    void undo(const fnd::Value& sender);
    void redo(const fnd::Value& sender);
    // Completes the partial word before the caret from completionsForPartialWordRange: one completion is inserted
    // at once; several are offered in a pop-up menu.
    virtual void complete(const fnd::Value& sender);
    virtual std::vector<fnd::String> completionsForPartialWordRange(fnd::Range range, long* indexOfSelectedItem);
    virtual void insertCompletion(const fnd::String& word, fnd::Range charRange, long movement, bool isFinal);
    // The menu a right click or the menu key (Shift+F10) opens: Cut, Copy, Paste and Select All, enabled as the
    // Edit menu's items are.
    std::shared_ptr<Menu> menuForEvent(const Event& event) override;
    std::shared_ptr<Menu> standardEditingMenu();
    void showContextMenu(const fnd::Value& sender);
    // Menu validation: cut and copy need a selection, paste something readable, undo and redo their stacks.
    bool validateUserInterfaceItem(const fnd::Value& item);

    // Marked text: an input method's pre-edit, shown underlined until it is committed. The string (plain or styled)
    // replaces the marked text, else the replacement range, else the selection; selectedRange lies within it. An
    // empty string ends the composition and leaves what it replaced gone.
    void setMarkedText(const fnd::Value& string, fnd::Range selectedRange, fnd::Range replacementRange);
    // The input method's form: the pre-edit replaces the marked text (or the selection); empty ends the
    // composition without inserting anything. The committed text then arrives as typing.
    void setMarkedText(const fnd::String& text, fnd::Range selectedRange) override;
    // Commits the marked text as it stands, as one undo step.
    void unmarkText() override;
    bool hasMarkedText() const override { return m_markedRange.location != fnd::NotFound; }
    fnd::Range markedRange() const { return m_markedRange; }
    std::optional<gfx::Rect> firstRectForMarkedText() const override;
    // The first line's rect of the range, on the screen (y up), where an input method puts its candidates.
    gfx::Rect firstRectForCharacterRange(fnd::Range range, fnd::Range* actualRange) const;
    fnd::Index characterIndexForPoint(gfx::Point screenPoint) const;

    // The pasteboard.
    virtual std::vector<fnd::String> writablePasteboardTypes();
    virtual std::vector<fnd::String> readablePasteboardTypes();
    // What a drop may bring; the types Paste reads unless a subclass refuses drops.
    virtual std::vector<fnd::String> acceptableDragTypes() { return readablePasteboardTypes(); }
    bool writeSelectionToPasteboard(Pasteboard& pasteboard, const std::vector<fnd::String>& types);
    virtual bool writeSelectionToPasteboard(Pasteboard& pasteboard, const fnd::String& type);
    // Replaces the selection with what the pasteboard holds in the best type the view reads.
    bool readSelectionFromPasteboard(Pasteboard& pasteboard);
    virtual bool readSelectionFromPasteboard(Pasteboard& pasteboard, const fnd::String& type);
    // Whether a drag of the selection starts when the mouse goes down in it and moves.
    bool dragSelectionWithEvent(const Event& event, gfx::Size offset, bool slideBack);

    // Links and the mouse.
    virtual void clickedOnLink(const fnd::Value& link, fnd::Index characterIndex);
    void mouseDown(const Event& event) override;
    void resetCursorRects() override;
    bool acceptsFirstResponder() const override { return isSelectable(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFlipped() const override { return true; }
    bool isOpaque() const override;

    // Drawing, in steps subclasses override.
    void drawRect(gfx::Rect dirtyRect) override;
    virtual void drawBackgroundInRect(gfx::Rect rect);
    // The caret: drawn while turned on; the view blinks it on the run loop while it has the keyboard.
    virtual bool shouldDrawInsertionPoint() const;
    virtual void drawInsertionPointInRect(gfx::Rect rect, const gfx::Color& color, bool turnedOn);
    // Restarts the blink with the caret shown (after a change or a move).
    void updateInsertionPointStateAndRestartTimer(bool restartFlag);
    bool isInsertionPointOn() const { return m_insertionPointOn; }
    // The caret's rect in the view (zero width), or an empty rect when the selection is not empty.
    gfx::Rect insertionPointRect() const;
    // The view whose text is being drawn (for attachment cells that host views); nullptr outside drawRect.
    static TextView* viewBeingDrawn();

    void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) { m_delegate = delegate; }
    std::shared_ptr<TextViewDelegate> delegate() const { return m_delegate.lock(); }

    // Dragging.
    DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    DragOperation draggingEntered(DraggingInfo& info) override;
    std::optional<DragOperation> draggingUpdated(DraggingInfo& info) override;
    void draggingExited(DraggingInfo& info) override;
    bool performDragOperation(DraggingInfo& info) override;
    void concludeDragOperation(DraggingInfo& info) override;

    void viewDidMoveToWindow() override;

    // Accessibility (TextAccessibility.cpp): a text area with its text, selection and caret, editable through the
    // value and selected-text attributes as typing would. The field editor is ignored: the field it edits answers.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityParameterizedAttributeNames() const override;
    fnd::Value accessibilityAttributeValueForParameter(
        const fnd::String& attribute, const fnd::Value& parameter) const override;
    bool accessibilityIsIgnored() const override { return m_fieldEditor; }
    // The element whose text this is: the edited control for the field editor, else the text view.
    fnd::Value accessibilityTextOwner() const;

protected:
    // The undoable change the user made: the delegate was asked, the old text is recorded for undo, the change is
    // made and announced. False when refused.
    bool userReplace(
        fnd::Range range, const txt::AttributedString& text, fnd::Range selectionAfter, bool coalesceAsTyping = false);
    // Ends editing as a field editor does, with the movement; false when the delegate keeps editing on.
    bool endEditingWithMovement(long movement);

private:
    friend class Window; // endEditingFor forces the end of editing
    friend class detail::TextChange;
    friend class detail::TextViewLayoutWatcher;
    struct TypingUndo;

    void setUpTextSystem(const std::shared_ptr<txt::TextContainer>& container, bool ownsStorage);
    // The container's tracked sides take the frame's size less the inset.
    void containerFollowsFrame();
    void textStorageDidProcessEditing();
    void interpretKeyEvent(const Event& event);
    // The layout manager took in an edit: an edit of someone else's is shown and sized for here.
    void layoutDidProcessEditing(fnd::Range range);
    void watchLayoutManager();
    // Every character has this value of the attribute already: a setter for the whole text has nothing to change.
    bool wholeTextHas(const fnd::String& name, const fnd::Object& value) const;
    bool scrollRectInEnclosingClipViews(gfx::Rect rect);
    void keyStatusChanged();
    void noteSelectionChanged(fnd::Range oldRange, bool stillSelecting);
    void updateSelectionHighlight();
    void clearHighlight();
    void updateLinkLooks(fnd::Range range);
    void setNeedsDisplayForRange(fnd::Range range);
    gfx::Rect rectForCharacterRange(fnd::Range range) const;
    fnd::Index characterIndexForViewPoint(gfx::Point point) const;
    fnd::Index insertionIndexForViewPoint(gfx::Point point) const;
    txt::AttributedString attributedForInsertion(const fnd::Value& string) const;
    txt::Attributes defaultAttributes() const { return withDefaultAttributes({}); }
    // The attributes with the view's defaults added where they say nothing.
    txt::Attributes withDefaultAttributes(txt::Attributes attributes) const;
    void restartBlinkTimer();
    void stopBlinkTimer();
    void blink();
    bool isKeyFocus() const;

    // Moves.
    enum class Move {
        Forward,
        Backward,
        Left,
        Right,
        Up,
        Down,
        WordForward,
        WordBackward,
        WordLeft,
        WordRight,
        LineStart,
        LineEnd,
        ParagraphStart,
        ParagraphEnd,
        ParagraphBackward,
        ParagraphForward,
        DocumentStart,
        DocumentEnd,
        PageUp,
        PageDown,
    };
    void move(Move move, bool extend);
    fnd::Index destination(Move move, fnd::Index from, SelectionAffinity* affinity);
    fnd::Index verticalDestination(fnd::Index from, double lines, SelectionAffinity* affinity);
    fnd::Index nextCharacter(fnd::Index index) const;
    fnd::Index previousCharacter(fnd::Index index) const;
    void deleteTo(Move move);
    bool deleteRange(fnd::Range range, bool coalesce);
    fnd::Range lineRangeAt(fnd::Index index, SelectionAffinity affinity) const;

    // Mouse.
    void trackSelection(const Event& event);
    bool trackLink(const Event& event, fnd::Index index);
    fnd::Range linkRangeAt(fnd::Index index, fnd::Value* link) const;

    // Undo.
    void recordUndo(
        fnd::Range newRange, const txt::AttributedString& oldText, fnd::Range oldSelection, bool coalesceAsTyping);
    void applyUndo(fnd::Range range, const txt::AttributedString& text, fnd::Range selection);

    std::shared_ptr<txt::TextStorage> m_ownedStorage; // the storage of a view made with its own text system
    std::shared_ptr<txt::TextContainer> m_textContainer;
    gfx::Size m_textContainerInset;
    gfx::Point m_textContainerOrigin;
    fnd::NotificationObserverToken m_storageObserver;
    std::vector<fnd::NotificationObserverToken> m_windowObservers;
    std::shared_ptr<detail::TextViewLayoutWatcher> m_layoutWatcher;
    bool m_externalEditPending { false };
    bool m_resigning { false };
    bool m_becoming { false };

    bool m_editable { true };
    bool m_selectable { true };
    bool m_richText { true };
    bool m_importsGraphics { false };
    bool m_fieldEditor { false };
    bool m_secure { false };
    bool m_allowsUndo { true };
    bool m_drawsBackground { true };
    bool m_horizontallyResizable { false };
    bool m_verticallyResizable { true };
    gfx::Size m_minSize;
    gfx::Size m_maxSize { 1e7, 1e7 };
    gfx::ColorPtr m_backgroundColor;
    gfx::ColorPtr m_insertionPointColor;
    txt::Attributes m_selectedTextAttributes;
    txt::Attributes m_markedTextAttributes;
    txt::Attributes m_linkTextAttributes;
    txt::Attributes m_typingAttributes;
    bool m_typingAttributesSet { false };
    std::shared_ptr<gfx::Font> m_font; // the plain-text look
    gfx::ColorPtr m_textColor;
    std::shared_ptr<txt::ParagraphStyle> m_paragraphStyle;

    fnd::Range m_selectedRange { 0, 0 };
    SelectionAffinity m_affinity { SelectionAffinity::Downstream };
    SelectionGranularity m_granularity { SelectionGranularity::ByCharacter };
    // The fixed end of a selection extended by keys, and the column vertical moves keep.
    fnd::Index m_anchor { fnd::NotFound };
    std::optional<double> m_goalX;
    bool m_keepGoalX { false };
    bool m_changedWhileSelecting { false };
    // What the layout manager shows as the selection and the marked text now.
    std::vector<fnd::String> m_appliedSelectionLook;
    fnd::Range m_selectionHighlight { 0, 0 };
    fnd::Range m_markedHighlight { 0, 0 };
    fnd::Range m_markedRange { fnd::NotFound, 0 };
    // What marking replaced, for the undo step the committed text makes.
    std::shared_ptr<txt::AttributedString> m_textBeforeMarking;
    fnd::Range m_rangeBeforeMarking { fnd::NotFound, 0 };

    bool m_editingBegan { false };
    bool m_changingText { false }; // a change of the view's own is being made
    bool m_settingString { false }; // the selection is set once the whole text is replaced
    bool m_endingEditing { false };
    bool m_forceEndEditing { false };
    std::weak_ptr<TextViewDelegate> m_delegate;
    std::shared_ptr<fnd::UndoManager> m_undoManager;
    std::shared_ptr<TypingUndo> m_typingUndo;
    const KeyBindings* m_keyBindings { nullptr };

    std::shared_ptr<fnd::Timer> m_blinkTimer;
    bool m_insertionPointOn { true };

    // A drag over the view: where the dropped text would go.
    fnd::Index m_dropIndex { fnd::NotFound };
    bool m_draggingSelection { false };
    bool m_dropMovedOwnSelection { false };
};

}
