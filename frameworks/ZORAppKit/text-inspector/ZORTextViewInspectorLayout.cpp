#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorLayout.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewField.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/DatePicker.h"
#include "platform/ui/text/TokenField.h"

#include <cmath>

FND_REGISTER_CLASS(ZORTextViewInspectorViewTextAttachmentCell, txt::TextAttachmentCell)
FND_REGISTER_CLASS(ZORTextViewInspectorFieldTextAttachmentCell, ZORTextViewInspectorViewTextAttachmentCell)
FND_REGISTER_CLASS(ZORTextViewInspectorLayoutManager, txt::LayoutManager)
FND_REGISTER_CLASS(ZORTextViewInspectorTypesetter, txt::Typesetter)

gfx::Size ZORTextViewInspectorViewTextAttachmentCell::cellSize() const
{
    if (m_viewShouldNotShowAtAttachmentPosition)
        return m_overrideCellSize;
    return m_view ? m_view->frame().size : gfx::Size {};
}

gfx::Point ZORTextViewInspectorViewTextAttachmentCell::cellBaselineOffset() const
{
    return m_viewShouldNotShowAtAttachmentPosition ? gfx::Point { -1, 0 } : gfx::Point { 0, 0 };
}

gfx::Rect ZORTextViewInspectorViewTextAttachmentCell::cellFrameForTextContainer(const txt::TextContainer& container,
    const gfx::Rect& lineFragment, gfx::Point glyphPosition, fnd::Index characterIndex)
{
    auto frame
        = txt::TextAttachmentCell::cellFrameForTextContainer(container, lineFragment, glyphPosition, characterIndex);
    if (m_viewShouldNotShowAtAttachmentPosition)
        return frame;
    double y = frame.minY();
    if (m_labelFont)
        y += m_labelFont->descender() + m_labelFont->leading();
    double viewHeight = m_view ? m_view->frame().height() : frame.height();
    y -= (viewHeight - lineFragment.height()) * 0.5;
    // Controls sit a little lower on the label's line by kind; the small date control is known by class name, as
    // it lives in a library above this one.
    if (m_view && m_view->isKindOf("ZORSmallDateControl")) {
        y -= 4;
    } else if (auto popup = std::dynamic_pointer_cast<ui::PopUpButton>(m_view)) {
        y -= popup->isBordered() ? 2 : 1;
    } else if (auto token = std::dynamic_pointer_cast<ui::TokenField>(m_view)) {
        y -= token->isBordered() ? 0 : 2;
    } else if (auto button = std::dynamic_pointer_cast<ui::Button>(m_view)) {
        y -= button->isBordered() ? 2 : 1;
    } else if (std::dynamic_pointer_cast<ui::DatePicker>(m_view)) {
        y -= 2;
    }
    return gfx::integralRect({ frame.minX(), y, frame.width(), frame.height() });
}

void ZORTextViewInspectorFieldTextAttachmentCell::setField(const std::shared_ptr<ZORTextViewInspectorViewField>& field)
{
    if (m_field) {
        m_field.reset();
        setView(nullptr);
    }
    if (field) {
        m_field = field;
        setView(field->view());
        setViewShouldNotShowAtAttachmentPosition(field->viewShouldNotShowAtAttachmentPosition());
    }
}

void ZORTextViewInspectorLayoutManager::drawBackgroundForGlyphRange(fnd::Range glyphRange, gfx::Point origin)
{
    auto inspector = m_inspector.lock();
    auto* context = gfx::GraphicsContext::current();
    if (!inspector || !context) {
        txt::LayoutManager::drawBackgroundForGlyphRange(glyphRange, origin);
        return;
    }
    gfx::GraphicsStateGuard guard;
    context->clipToRect(inspector->selectedRect());
    txt::LayoutManager::drawBackgroundForGlyphRange(glyphRange, origin);
}

void ZORTextViewInspectorLayoutManager::showAttachmentCell(
    const std::shared_ptr<txt::TextAttachmentCell>& cell, const gfx::Rect& rect, fnd::Index characterIndex)
{
    txt::LayoutManager::showAttachmentCell(cell, rect, characterIndex);
    auto viewCell = std::dynamic_pointer_cast<ZORTextViewInspectorViewTextAttachmentCell>(cell);
    if (!viewCell || !viewCell->view())
        return;
    auto inspector = m_inspector.lock();
    const auto& view = viewCell->view();
    // The rect is in the inspector's (flipped) space: its top left is where the view goes. A view kept off its
    // attachment stands at the text's left edge, raised by the label font's size above the attachment's baseline.
    gfx::Point origin = rect.origin;
    if (viewCell->viewShouldNotShowAtAttachmentPosition()) {
        double padding
            = inspector && inspector->textContainer() ? inspector->textContainer()->lineFragmentPadding() : 0;
        double size = viewCell->labelFont() ? viewCell->labelFont()->pointSize() : 0;
        auto containerOrigin = inspector ? inspector->textContainerOrigin() : gfx::Point {};
        origin = { containerOrigin.x + padding, rect.maxY() - size };
    }
    if (view->frame().origin != origin)
        view->setFrameOrigin(origin);
    view->setHidden(false);
}

void ZORTextViewInspectorTypesetter::willSetLineFragmentRect(
    gfx::Rect& lineRect, fnd::Range glyphRange, gfx::Rect& usedRect, double&)
{
    auto inspector = m_inspector.lock();
    if (!inspector)
        return;
    auto field = inspector->fieldAtCharacterIndex(glyphRange.location);
    if (!field)
        return;
    const auto& visible = inspector->visibleFieldsArray();
    auto at = std::find(visible.begin(), visible.end(), field);
    ZORTextViewInspectorFieldPtr previous;
    if (at != visible.end() && at != visible.begin()) {
        auto position = static_cast<std::size_t>(at - visible.begin());
        std::size_t p = position - 1;
        previous = visible[p];
        auto compoundOf = [&](const ZORTextViewInspectorFieldPtr& candidate) -> ZORTextViewInspectorFieldPtr {
            if (auto compound = candidate->compoundField(); compound && !field->isSubFieldOf(*compound))
                return compound;
            return candidate;
        };
        previous = compoundOf(previous);
        while (previous && previous->suppressMinimumHeight() && p > 0) {
            --p;
            previous = compoundOf(visible[p]);
        }
    }
    if (previous && previous->minimumHeight() != 0 && !field->suppressMinimumHeight()) {
        double lowest = static_cast<float>(previous->lineFragmentRect().minY() + previous->minimumHeight());
        if (lowest > lineRect.minY()) {
            lineRect.origin.y = lowest;
            usedRect.origin.y = lowest;
        }
    }
    if (field->insetValue() > 0)
        lineRect.origin.x += field->insetValue();
    field->setLineFragmentRect(lineRect);
}

bool ZORTextViewInspectorTypesetter::lineFragmentsDependOnEarlierLines() const
{
    auto inspector = m_inspector.lock();
    return !inspector || inspector->anyVisibleFieldHasMinimumHeight();
}
