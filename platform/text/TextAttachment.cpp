#include "platform/text/TextAttachment.h"

namespace txt {

FND_REGISTER_CLASS(TextAttachmentCell, fnd::Object)
FND_REGISTER_CLASS(TextAttachment, fnd::Object)

gfx::Rect TextAttachmentCell::cellFrameForTextContainer(const TextContainer&, const gfx::Rect&, gfx::Point, fnd::Index)
{
    auto offset = cellBaselineOffset();
    auto size = cellSize();
    return { offset.x, offset.y, size.width, size.height };
}

void TextAttachmentCell::drawWithFrame(const gfx::Rect&, fnd::Index)
{
}

}
