// How a cell edits its text in the window's field editor, a text view. A part of Cell, kept with the text view.

#include "platform/ui/controls/Cell.h"

#include "platform/text/TextContainer.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

void Cell::editWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
    const std::shared_ptr<fnd::Object>& delegate, const Event* event)
{
    selectWithFrame(frame, controlView, fieldEditor, delegate, 0, 0);
    // The click that started editing places the caret.
    if (event && m_fieldEditor.lock() == fieldEditor)
        if (auto editor = std::dynamic_pointer_cast<TextView>(fieldEditor))
            editor->mouseDown(*event);
}

void Cell::selectWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
    const std::shared_ptr<fnd::Object>& delegate, fnd::Index selectionStart, fnd::Index selectionLength)
{
    if (!fieldEditor || m_type != CellType::Text || !isSelectable())
        return;
    auto self = shared_from_this();
    auto textView = std::dynamic_pointer_cast<TextView>(fieldEditor);
    if (textView) {
        // The shared editor starts from a clean slate for each cell; setUpFieldEditorAttributes adds the cell's look.
        textView->setDelegate(nullptr);
        textView->setFieldEditor(true);
        textView->setUsesSecureTextEntry(false);
        textView->setRichText(m_allowsEditingTextAttributes);
        textView->setImportsGraphics(m_importsGraphics);
        textView->setEditable(m_editable);
        textView->setSelectable(true);
        textView->setTextContainerInset({});
        textView->setHorizontallyResizable(false);
        textView->setVerticallyResizable(false);
    }
    auto editor = setUpFieldEditorAttributes(fieldEditor);
    if (!editor)
        return;
    m_fieldEditor = editor;
    auto rect = titleRectForBounds(frame);
    if (textView && editor == textView) {
        // One line runs on sideways (the editor scrolls); wrapping text wraps at the editor's width.
        bool singleLine = m_usesSingleLineMode || m_lineBreakMode != txt::LineBreakMode::ByWordWrapping;
        auto container = textView->textContainer();
        container->setLineFragmentPadding(0);
        container->setWidthTracksTextView(!singleLine);
        container->setContainerSize({ singleLine ? 1e7 : rect.width(), 1e7 });
        if (m_allowsEditingTextAttributes)
            textView->setAttributedString(*attributedStringValue());
        else
            textView->setString(stringValue());
        textView->setFrame(rect);
        textView->setBoundsOrigin({ 0, 0 });
        // An editor handed over by another cell of this control is already in place, on top.
        if (textView->superview().get() != &controlView || controlView.subviews().back() != textView)
            controlView.addSubview(textView);
        textView->setDelegate(std::dynamic_pointer_cast<TextViewDelegate>(delegate));
        auto length = textView->string().length();
        selectionStart = std::clamp<fnd::Index>(selectionStart, 0, length);
        selectionLength = std::clamp<fnd::Index>(selectionLength, 0, length - selectionStart);
        textView->setSelectedRange({ selectionStart, selectionLength });
        textView->scrollRangeToVisible({ selectionStart, selectionLength });
        if (auto w = controlView.window())
            w->makeFirstResponder(textView);
        controlView.setNeedsDisplay(true);
        controlView.noteFocusRingMaskChanged(); // the control shows the ring while its editor has the keyboard
        return;
    }
    // Another kind of editor offers its text as the "string" key.
    if (editor->classInfo().findProperty("string"))
        editor->setValueForKey(fnd::Value(stringValue()), "string");
    editor->setFrame(rect);
    controlView.addSubview(editor);
    controlView.setNeedsDisplay(true);
}

void Cell::endEditing(const std::shared_ptr<View>& fieldEditor)
{
    auto editor = letGoOfFieldEditor(fieldEditor);
    if (!editor)
        return;
    if (auto textView = std::dynamic_pointer_cast<TextView>(editor)) {
        // The editor is shared: it forgets this cell's text.
        textView->setString({});
        textView->setUsesSecureTextEntry(false);
    }
    editor->removeFromSuperview();
    noteFieldEditorGone();
}

void Cell::handOverFieldEditor(const std::shared_ptr<View>& fieldEditor)
{
    if (letGoOfFieldEditor(fieldEditor))
        noteFieldEditorGone();
}

std::shared_ptr<View> Cell::letGoOfFieldEditor(const std::shared_ptr<View>& fieldEditor)
{
    auto editor = m_fieldEditor.lock();
    if (!editor || (fieldEditor && fieldEditor != editor))
        return nullptr;
    m_fieldEditor.reset();
    // Whatever happens to the shared editor next (emptied, or taken by another cell), this cell's delegate must not
    // hear of it.
    if (auto textView = std::dynamic_pointer_cast<TextView>(editor))
        textView->setDelegate(nullptr);
    return editor;
}

void Cell::noteFieldEditorGone()
{
    noteChanged();
    if (auto view = controlView())
        view->noteFocusRingMaskChanged();
}
}
