#pragma once

#include "platform/text/TextAttachment.h"

#include <memory>

namespace ui {

class View;

// An attachment cell that hosts a view in text: the text reserves the view's size at the attachment character, and
// each time the text view draws the attachment the view is placed on that rect (as a subview of the text view,
// shown). Until a draw pass has run, the view's frame says nothing.
class ViewAttachmentCell : public txt::TextAttachmentCell {
    FND_OBJECT(ViewAttachmentCell)

public:
    ViewAttachmentCell() = default;
    explicit ViewAttachmentCell(std::shared_ptr<View> view);

    const std::shared_ptr<View>& view() const { return m_view; }
    void setView(std::shared_ptr<View> view) { m_view = std::move(view); }

    gfx::Size cellSize() const override;
    void drawWithFrame(const gfx::Rect& frame, fnd::Index characterIndex) override;

private:
    std::shared_ptr<View> m_view;
};

}
