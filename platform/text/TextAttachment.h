#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace txt {

class TextContainer;

// What lays out and draws an attachment: the text reserves its frame on the line. Subclasses draw (or host a view)
// by overriding drawWithFrame, or change the frame per position through cellFrameForTextContainer.
class TextAttachmentCell : public fnd::Object {
    FND_OBJECT(TextAttachmentCell)
public:
    TextAttachmentCell() = default;
    explicit TextAttachmentCell(gfx::Size size, gfx::Point baselineOffset = {})
        : m_size(size)
        , m_baselineOffset(baselineOffset)
    {
    }

    virtual gfx::Size cellSize() const { return m_size; }
    void setCellSize(gfx::Size size) { m_size = size; }
    // Where the cell's origin sits relative to the glyph's origin on the baseline, y up (a negative y hangs the cell
    // below the baseline).
    virtual gfx::Point cellBaselineOffset() const { return m_baselineOffset; }
    void setCellBaselineOffset(gfx::Point offset) { m_baselineOffset = offset; }

    // The frame relative to the glyph's origin on the baseline, y up: by default the baseline offset and the size.
    // lineFragment is the proposed fragment in container coordinates; glyphPosition is the pen position in it.
    virtual gfx::Rect cellFrameForTextContainer(const TextContainer& container, const gfx::Rect& lineFragment,
        gfx::Point glyphPosition, fnd::Index characterIndex);

    // Draws into the current context; the frame is in the drawing's user space. Draws nothing by default.
    virtual void drawWithFrame(const gfx::Rect& frame, fnd::Index characterIndex);

private:
    gfx::Size m_size;
    gfx::Point m_baselineOffset;
};

// An object in text: the value of the attachment attribute on an object-replacement character.
class TextAttachment : public fnd::Object {
    FND_OBJECT(TextAttachment)
public:
    TextAttachment() = default;
    explicit TextAttachment(std::shared_ptr<TextAttachmentCell> cell)
        : m_cell(std::move(cell))
    {
    }

    // nullptr: the attachment takes no room and draws nothing.
    const std::shared_ptr<TextAttachmentCell>& attachmentCell() const { return m_cell; }
    void setAttachmentCell(std::shared_ptr<TextAttachmentCell> cell) { m_cell = std::move(cell); }

private:
    std::shared_ptr<TextAttachmentCell> m_cell;
};

}
