#include "platform/ui/views/Window.h"

#include "platform/text/TextContainer.h"
#include "platform/ui/text/TextView.h"

namespace ui {

std::shared_ptr<TextView> Window::fieldEditor(bool createFlag, const fnd::Object* client)
{
    if (auto d = delegate())
        if (auto editor = d->windowWillReturnFieldEditor(*this, client))
            return editor;
    if (!m_fieldEditor && createFlag) {
        m_fieldEditor = TextView::create({ 0, 0, 100, 20 });
        m_fieldEditor->setFieldEditor(true);
        m_fieldEditor->setRichText(false);
        m_fieldEditor->setHorizontallyResizable(false);
        m_fieldEditor->setVerticallyResizable(false);
        m_fieldEditor->textContainer()->setLineFragmentPadding(0);
    }
    return m_fieldEditor;
}

View* Window::fieldEditorView() const
{
    return m_fieldEditor.get();
}

std::shared_ptr<View> Window::fieldEditorClientView() const
{
    auto editor = std::dynamic_pointer_cast<TextView>(m_firstResponder.lock());
    if (!editor || !editor->isFieldEditor())
        return nullptr;
    return std::dynamic_pointer_cast<View>(editor->delegate());
}

void Window::endEditingFor(const fnd::Object* client)
{
    auto self = shared_from_this();
    auto editor = std::dynamic_pointer_cast<TextView>(firstResponder());
    if (!editor || !editor->isFieldEditor())
        return;
    auto delegate = editor->delegate();
    if (client && dynamic_cast<const fnd::Object*>(delegate.get()) != client)
        return;
    // The editor resigns and its client hears of the end, even if the client would rather keep editing.
    editor->m_forceEndEditing = true;
    makeFirstResponder(nullptr);
    editor->m_forceEndEditing = false;
}

}
