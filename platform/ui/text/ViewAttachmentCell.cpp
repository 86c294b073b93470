#include "platform/ui/text/ViewAttachmentCell.h"

#include "platform/ui/text/TextView.h"

namespace ui {

FND_REGISTER_CLASS(ViewAttachmentCell, txt::TextAttachmentCell)

ViewAttachmentCell::ViewAttachmentCell(std::shared_ptr<View> view)
    : m_view(std::move(view))
{
}

gfx::Size ViewAttachmentCell::cellSize() const
{
    return m_view ? m_view->frame().size : gfx::Size {};
}

void ViewAttachmentCell::drawWithFrame(const gfx::Rect& frame, fnd::Index)
{
    // The frame is in the coordinates of the text view being drawn, which hosts the view.
    auto* textView = TextView::viewBeingDrawn();
    if (!m_view || !textView)
        return;
    if (m_view->superview().get() != textView)
        textView->addSubview(m_view);
    if (m_view->frame() != frame)
        m_view->setFrame(frame);
    m_view->setHidden(false);
}

}
