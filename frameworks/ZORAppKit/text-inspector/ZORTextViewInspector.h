#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorListField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorTextField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/text/Attributes.h"
#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/text/TextView.h"

#include <map>
#include <memory>
#include <vector>

namespace fnd {
class Timer;
}
namespace gfx {
class Image;
}
namespace txt {
class AttributedString;
}
namespace ui {
class Button;
}

// The names of the inspector's own text attributes.
namespace ZORTextInspectorAttribute {
inline const fnd::String Field = "ZORTextInspectorFieldAttributeName";
inline const fnd::String PlaceholderValue = "PlaceholderValueAttributeName";
inline const fnd::String Label = "LabelAttributeName";
// Over a value run that shows its placeholder (grey, selected whole), never over typed text, whatever it reads.
inline const fnd::String ShowsPlaceholder = "ZORTextInspectorShowsPlaceholderAttributeName";
}

class ZORTextViewInspector;

// Optional calls of the inspector's delegate.
class ZORTextViewInspectorDelegate {
public:
    virtual ~ZORTextViewInspectorDelegate() = default;
    // A click on a non-editable inspector: the delegate may switch it to editing.
    virtual void delegateShouldChangeEditStateForTextViewInspector(ZORTextViewInspector&) { }
    virtual void textViewInspectorDidChangedValueOfField(ZORTextViewInspector&, ZORTextViewInspectorField&) { }
    // The text typed into a field is no value of its kind (the formatter's error says why); nothing was written and
    // the field shows its value again. True when the delegate told the person; otherwise the inspector beeps.
    virtual bool textViewInspectorDidFailToFormatString(ZORTextViewInspector&, ZORTextViewInspectorTextField&,
        const fnd::String& /*string*/, const fnd::String& /*error*/)
    {
        return false;
    }
};

// What the inspector shows: its fields, one shared view for no selection, or one for several selected objects.
enum class ZORInspectorDisplayMode : int { Fields = 0, NoSelection = 1, MultipleSelection = 2 };

// A form shown as one attributed text: each visible field is a label, tabs and a value run (or a hosted control at
// an attachment character). The person types only inside the value run of one text field at a time; Tab and
// Backtab move between fields; ending an edit converts the text and pushes it back through the field's binding.
class ZORTextViewInspector : public ui::TextView,
                             public ui::TextViewDelegate,
                             public ZORTextViewInspectorListFieldDelegate {
    FND_OBJECT(ZORTextViewInspector)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspector>& c);

public:
    ZORTextViewInspector() = default;
    ~ZORTextViewInspector() override;
    // A ready inspector: its own layout manager and typesetter, its own delegate.
    static std::shared_ptr<ZORTextViewInspector> create(gfx::Rect frame);
    void initWithFrame(gfx::Rect frame) override;
    void initWithFrame(gfx::Rect frame, const std::shared_ptr<txt::TextContainer>& container) override;
    void commonInitialize();
    void awakeFromNib() override;
    // The inspector's layout manager (in place of a plain one), its typesetter, no undo, itself as delegate; a second
    // call changes nothing.
    void installLayoutCompanions();
    void setupUI();

    // The field list.
    void addField(const ZORTextViewInspectorFieldPtr& field);
    void addFieldsArray(const std::vector<ZORTextViewInspectorFieldPtr>& fields);
    void removeAllFields();
    const std::vector<ZORTextViewInspectorFieldPtr>& fieldsArray() const { return m_fieldsArray; }
    const std::vector<ZORTextViewInspectorFieldPtr>& visibleFieldsArray() const { return m_visibleFieldsArray; }
    std::vector<ZORTextViewInspectorFieldPtr> fieldsWithIdentifier(const fnd::String& identifier) const;
    ZORTextViewInspectorFieldPtr firstFieldWithIdentifier(const fnd::String& identifier) const;
    ZORTextViewInspectorFieldPtr fieldWithIdentifier(const fnd::String& identifier) const
    {
        return firstFieldWithIdentifier(identifier);
    }
    void setObjectValueForFieldWithIdentifier(const fnd::Value& value, const fnd::String& identifier);
    void setValueForFieldWithIdentifier(const fnd::Value& value, const fnd::String& identifier);
    void beginFieldEditing();
    void endFieldEditing();
    long fieldEditingCounter() const { return m_fieldEditingCounter; }

    // State.
    bool editableState() const { return m_editableState; }
    void setEditableState(bool flag);
    bool showNoSelection() const { return m_showNoSelection; }
    void allFieldsShouldShowNoSelection(bool flag);
    ZORInspectorDisplayMode displayMode() const { return m_displayMode; }
    void setDisplaymode(ZORInspectorDisplayMode mode);
    // Not kept alive: the delegate usually owns the inspector.
    std::shared_ptr<ZORTextViewInspectorDelegate> inspectorDelegate() const { return m_inspectorDelegate.lock(); }
    void setInspectorDelegate(const std::shared_ptr<ZORTextViewInspectorDelegate>& delegate);
    static void setMinFieldLabelWidth(double width);
    static double minFieldLabelWidth();
    double maxLabelWidth() const { return m_maxLabelWidth; }
    // How many times the whole text was built, for tests and measuring.
    std::size_t rebuildCount() const { return m_rebuildCount; }

    // List rows.
    static std::shared_ptr<ui::Button> addButton();
    static std::shared_ptr<ui::Button> removeButton();
    bool shouldDisplayAddButtonForListField(
        ZORTextViewInspectorListField& list, ZORTextViewInspectorField& row, std::size_t index) const;
    bool shouldDisplayRemoveButtonForListField(
        ZORTextViewInspectorListField& list, ZORTextViewInspectorField& row, std::size_t index) const;
    void addListRow(const fnd::Value& sender);
    void removeListRow(const fnd::Value& sender);
    void listFieldDidInsertRow(
        ZORTextViewInspectorListField& list, const ZORTextViewInspectorFieldPtr& row, std::size_t index) override;
    void listFieldDidRemoveRow(
        ZORTextViewInspectorListField& list, const ZORTextViewInspectorFieldPtr& row, std::size_t index) override;

    // The text (fields become characters).
    void recreateFieldTextStorage();
    void updateTextFieldStorage();
    bool appendTextField(const std::shared_ptr<ZORTextViewInspectorTextField>& field);
    bool appendViewField(const std::shared_ptr<ZORTextViewInspectorViewField>& field);
    bool appendCompoundField(const std::shared_ptr<ZORTextViewInspectorCompoundField>& field);
    bool insertField(const ZORTextViewInspectorFieldPtr& field, fnd::Index characterIndex, std::size_t visibleRowIndex);
    bool insertViewField(const std::shared_ptr<ZORTextViewInspectorViewField>& field, fnd::Index characterIndex,
        std::size_t visibleRowIndex);
    bool insertTextField(const std::shared_ptr<ZORTextViewInspectorTextField>& field, fnd::Index characterIndex,
        std::size_t visibleRowIndex);
    // Names a control it hosts for assistive technologies by the field's label (ZORTextViewInspectorAccessibility.cpp).
    void nameHostedView(const ZORTextViewInspectorViewField& field, ui::View& view) const;
    // Names a list row's + or - button by the list's label.
    static void nameListRowButton(const ZORTextViewInspectorField& list, ui::View& button, bool adds);
    txt::AttributedString newTextFieldValueStringForTextField(const ZORTextViewInspectorTextField& field) const;
    void updateDisplayOfTextField(ZORTextViewInspectorTextField& field);
    // After a field's value changed: its characters as a rebuild would give them, the field shown or left out
    // (with the other parts of a URL or e-mail field) where its visibility follows the value.
    void updateDisplayOfField(ZORTextViewInspectorField& field);
    fnd::Range charRangeOfField(const ZORTextViewInspectorField& field) const;
    std::vector<std::shared_ptr<ui::View>> viewsInCharacterRange(fnd::Range range) const;
    void removeSubviewsAndEmptyTextStorage();
    ZORTextViewInspectorFieldPtr previousVisibleFieldForField(const ZORTextViewInspectorField& field) const;
    ZORTextViewInspectorFieldPtr previousVisibleFieldForField(const ZORTextViewInspectorField& field,
        const std::vector<ZORTextViewInspectorFieldPtr>& fields, bool* met = nullptr) const;
    void recalcMaxLabelWidth();
    fnd::String stringRepresentation() const;
    void setFieldToEdit(const ZORTextViewInspectorFieldPtr& field) { m_fieldToEdit = field; }

    // Attribute sets.
    static const txt::Attributes& labelAttributes();
    static std::shared_ptr<gfx::Font> labelFont();
    txt::Attributes placeholderValueAttributesWithValue(
        const std::optional<fnd::String>& value, const ZORTextViewInspectorField* field) const;
    txt::Attributes typingAttributesForPlaceholderValue(
        const std::optional<fnd::String>& value, const ZORTextViewInspectorField* field) const;
    static txt::Attributes replacementStringAttributes();
    txt::Attributes tabStopAttributes() const;
    static const txt::Attributes& rolloverAttributes();

    // Editing.
    ZORTextViewInspectorFieldPtr fieldAtCharacterIndex(fnd::Index index) const;
    bool isEditing() const { return m_currentEditedStartLocation != fnd::NotFound; }
    fnd::Index currentEditedStartLocation() const { return m_currentEditedStartLocation; }
    ZORTextViewInspectorFieldPtr activeField() const;
    fnd::Range currentEditingCharRange() const;
    fnd::Range currentEditingGlyphRange() const;
    txt::Attributes typingAttributes() const override;
    using ui::TextView::setSelectedRange;
    // Ignored while the inspector is not editable.
    void setSelectedRange(fnd::Range range, ui::SelectionAffinity affinity, bool stillSelecting) override;
    fnd::Range selectionRangeForProposedRange(fnd::Range proposed, ui::SelectionGranularity granularity) override;
    fnd::Range validateProposedRange(fnd::Range proposed, bool updateEditingInfo);
    fnd::Range textViewWillChangeSelection(ui::TextView&, fnd::Range oldRange, fnd::Range proposed) override;
    bool shouldChangeTextInRange(fnd::Range range, const fnd::String* replacement) override;
    void mouseDown(const ui::Event& event) override;
    // The first click into an inactive inspector window starts editing there, rather than only activating it.
    bool acceptsFirstMouse(const ui::Event*) override { return true; }
    void endEditing();
    // Ends the edit when it is in the field (what was typed is written to the object it was typed for): the field
    // is about to stand for another object, or stops taking edits.
    void endEditingOfField(const ZORTextViewInspectorField& field);
    void insertTab(const fnd::Value& sender) override;
    void insertBacktab(const fnd::Value& sender) override;
    void insertNewline(const fnd::Value& sender) override;
    // Tab or Backtab out of a hosted control goes on to the field after (before) it.
    bool moveKeyboardFocusFromSubview(ui::View& subview, bool forward) override;
    // The visible field whose hosted view is, or holds, the view (a control's field editor included).
    ZORTextViewInspectorFieldPtr fieldHostingView(const ui::View& view) const;
    fnd::Range nextEditableRange(fnd::Index location, bool forward) const;
    ZORTextViewInspectorFieldPtr nextEditableField(fnd::Index location, bool forward, fnd::Range* fieldRange) const;
    bool editableFieldAtIndex(fnd::Index index, ZORTextViewInspectorFieldPtr* field = nullptr) const;
    void jumpToField(const ZORTextViewInspectorFieldPtr& field);
    void startCompletionTimer();
    void stopCompletionTimer();
    void doCompletion(const fnd::Value& sender);
    bool hasCompletionTimer() const { return m_completionTimer != nullptr; }
    fnd::Index nextInsertionIndex() const { return m_nextInsertionIndex; }
    std::vector<fnd::String> completionsForPartialWordRange(fnd::Range range, long* indexOfSelectedItem) override;
    bool shouldDrawInsertionPoint() const override { return isEditing(); }
    bool smartInsertDeleteEnabled() const override { return false; }
    bool resignFirstResponder() override;
    void resetCursorRects() override;
    void drawRect(gfx::Rect dirtyRect) override;
    void viewWillMoveToWindow(ui::Window* window) override;
    // Values are plain text, and nothing can be dropped on the form; Paste works.
    std::vector<fnd::String> readablePasteboardTypes() override;
    std::vector<fnd::String> acceptableDragTypes() override { return {}; }
    using ui::TextView::readSelectionFromPasteboard;
    bool readSelectionFromPasteboard(ui::Pasteboard& pasteboard, const fnd::String& type) override;

    // The raised look of the run being edited.
    void calcSelectedRect();
    // Marks the edited run's surroundings for redrawing after it moved, grew or ended.
    void noteEditedRunChanged();
    gfx::Rect selectedRect() const { return m_selectedRect; }
    void drawRaisedEditorIfNecessaryInRect(gfx::Rect rect);
    gfx::BezierPath rolloverForCharacterRange(fnd::Range range) const;
    void setRollover(std::optional<gfx::BezierPath> path) { m_rollover = std::move(path); }
    // The characters the rollover outline surrounds, redrawn in white inside it.
    fnd::Range currentRolloverRange() const { return m_currentRolloverRange; }
    void setCurrentRolloverRange(fnd::Range range) { m_currentRolloverRange = range; }
    // The raised editor's frame: the path filled white under a soft shadow (while the inspector has the keyboard),
    // its inside cleared, its edge grey; 15 points of room on every side.
    std::shared_ptr<gfx::Image> shadowImageAroundPath(const gfx::BezierPath& path, bool focused) const;
    // The frame image the raised editor draws, kept from one drawing to the next while the run's height and the
    // keyboard focus stay.
    const std::shared_ptr<gfx::Image>& raisedEditorImage() const { return m_raisedEditorImage; }
    void drawRolloverIfNecessaryInRect(gfx::Rect rect);

private:
    std::shared_ptr<ZORTextViewInspector> self()
    {
        return std::static_pointer_cast<ZORTextViewInspector>(shared_from_this());
    }
    // The field and its sub-fields know the inspector, shown or not: a value arriving later may show them.
    void adoptField(const ZORTextViewInspectorFieldPtr& field);
    // Appends by the field's kind; false for kinds the inspector does not show.
    bool appendFieldByKind(const ZORTextViewInspectorFieldPtr& field);
    // The characters a rebuild gives a field, its line break or blank included (its hosted views become subviews);
    // `previousEndsLine`: the visible field before it ends its line.
    txt::AttributedString charactersOfTextField(
        const std::shared_ptr<ZORTextViewInspectorTextField>& field, bool previousEndsLine);
    std::optional<txt::AttributedString> charactersOfViewField(
        const std::shared_ptr<ZORTextViewInspectorViewField>& field, bool previousEndsLine);
    // The + and - buttons that open a list row, for any kind of row.
    txt::AttributedString listRowButtons(const ZORTextViewInspectorFieldPtr& field);
    bool previousVisibleEndsLine(std::size_t visibleIndex) const;
    std::size_t visibleIndexOf(const ZORTextViewInspectorField& field) const;
    // Where the characters of the field at the visible index begin (or would begin).
    fnd::Index characterIndexForVisibleIndex(std::size_t visibleIndex) const;
    // A shown field's characters, its line break or blank included (empty at its place for a field without any).
    fnd::Range charactersOfShownField(const ZORTextViewInspectorField& field) const;
    // The place in the visible list a rebuild would give the field; nullopt when a rebuild would not show it.
    std::optional<std::size_t> visibleIndexForRebuild(const ZORTextViewInspectorField& field) const;
    // Changes characters outside the edited run: the edit keeps its field, its run and its selection.
    void replaceCharactersKeepingEdit(fnd::Range range, const txt::AttributedString& with);
    // Builds a shown field's characters again in place; an edit in it goes on, what was typed kept or (for a new
    // value of the field) replaced by the value.
    void rebuildCharactersOfField(const ZORTextViewInspectorFieldPtr& field, bool keepTyped = true);
    void updateShownStateOfField(const ZORTextViewInspectorFieldPtr& field);
    // Puts a field's characters in at the place a rebuild gives it, or takes them out.
    void showField(const ZORTextViewInspectorFieldPtr& field, std::size_t visibleIndex);
    void removeShownField(const ZORTextViewInspectorFieldPtr& field);
    // Whether a list row shows a minus button where its value now decides otherwise.
    bool removeButtonShownChanges(ZORTextViewInspectorField& row, fnd::Range range) const;
    void refreshRemoveButtonsOfList(ZORTextViewInspectorListField& list);
    // A hosted view at one attachment character, hidden until its cell is drawn.
    txt::AttributedString attachmentStringHostingView(const std::shared_ptr<ui::View>& view, gfx::Size overrideSize);
    // The edited run's value goes back into its field when the edit ends by any means.
    void commitRunAt(fnd::Index start);
    // Whether the field whose value run is at the index takes edits.
    bool runTakesEdits(fnd::Index index) const;
    // Whether a value run's text (and its placeholder mark) is what the field's value shows: nothing typed there.
    bool runShowsValueOfTextField(
        const ZORTextViewInspectorTextField& field, const fnd::String& text, bool showsPlaceholder) const;
    // Tab and Backtab: from the edited run, the given field or the hosted control with the keyboard.
    void moveFocusToNextField(bool forward, ZORTextViewInspectorFieldPtr from = nullptr);
    // Whether the inspector's typesetter must lay out from the top after an edit.
    friend class ZORTextViewInspectorTypesetter;
    bool anyVisibleFieldHasMinimumHeight() const;

    fnd::Index m_currentEditedStartLocation { fnd::NotFound };
    std::optional<gfx::BezierPath> m_rollover;
    fnd::Range m_currentRolloverRange { fnd::NotFound, 0 };
    std::vector<ZORTextViewInspectorFieldPtr> m_fieldsArray;
    std::vector<ZORTextViewInspectorFieldPtr> m_visibleFieldsArray;
    long m_fieldEditingCounter { 0 };
    double m_maxLabelWidth { 0 };
    bool m_editableState { false };
    bool m_showNoSelection { true };
    gfx::Rect m_selectedRect;
    std::weak_ptr<ZORTextViewInspectorDelegate> m_inspectorDelegate;
    std::shared_ptr<fnd::Timer> m_completionTimer;
    fnd::Index m_nextInsertionIndex { fnd::NotFound };
    ZORInspectorDisplayMode m_displayMode { ZORInspectorDisplayMode::Fields };
    ZORTextViewInspectorFieldPtr m_fieldToEdit;
    std::size_t m_rebuildCount { 0 };
    bool m_replacingRun { false };
    std::shared_ptr<gfx::Image> m_raisedEditorImage;
    double m_raisedEditorImageHeight { 0 };
    bool m_raisedEditorImageFocused { false };
    // Per shown list, whether its controller could remove when its rows were built: the minus buttons of rows with
    // a value follow that answer.
    std::map<std::weak_ptr<fnd::Object>, bool, std::owner_less<>> m_listRemoveAnswers;
    // shouldChangeTextInRange replaced a whole value run itself (and answered no to the caller).
    bool m_replacedWholeRun { false };
    // An edit's value is being written back: the field hears of its own value changing then, and must not end the
    // edit a second time.
    bool m_committing { false };
    std::shared_ptr<txt::TextStorage> m_storage; // the inspector owns its text system
    // An edit still open when the window closes is written back, not lost.
    std::optional<fnd::NotificationObserverToken> m_windowCloseObserver;
};

// The two shared views the inspector shows instead of fields, from the interface file of the same name.
class ZORTextViewInspectorViewController : public fnd::Object {
    FND_OBJECT(ZORTextViewInspectorViewController)
    static void describeClass(fnd::ClassBuilder<ZORTextViewInspectorViewController>& c);

public:
    ZORTextViewInspectorViewController() = default;
    static std::shared_ptr<ZORTextViewInspectorViewController> sharedTextViewInspectorViewController();
    static std::shared_ptr<ui::View> noSelectionView();
    static std::shared_ptr<ui::View> multipleSelectionView();
    // Tests put views of their own in place (nullptr restores the interface file's).
    static void setSharedViews(std::shared_ptr<ui::View> noSelection, std::shared_ptr<ui::View> multipleSelection);

    std::shared_ptr<ui::View> m_noSelectionView;
    std::shared_ptr<ui::View> m_multipleSelectionView;

private:
    void load();
};
