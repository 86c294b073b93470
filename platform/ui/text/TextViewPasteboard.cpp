// Cut, copy and paste, and dragging text out of and into a text view, as RTF and plain text.

#include "platform/ui/text/TextView.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/RTF.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

std::vector<fnd::String> TextView::writablePasteboardTypes()
{
    if (m_secure)
        return {};
    if (auto d = delegate())
        if (auto types = d->textViewWritablePasteboardTypes(*this))
            return *types;
    if (m_richText)
        return { PasteboardType::RTF, PasteboardType::String };
    return { PasteboardType::String };
}

std::vector<fnd::String> TextView::readablePasteboardTypes()
{
    if (auto d = delegate())
        if (auto types = d->textViewReadablePasteboardTypes(*this))
            return *types;
    if (m_richText)
        return { PasteboardType::RTF, PasteboardType::String };
    return { PasteboardType::String };
}

bool TextView::writeSelectionToPasteboard(Pasteboard& pasteboard, const std::vector<fnd::String>& types)
{
    if (m_selectedRange.length == 0 || types.empty() || m_secure)
        return false;
    pasteboard.declareTypes(types);
    bool wrote = false;
    for (const auto& type : types)
        wrote = writeSelectionToPasteboard(pasteboard, type) || wrote;
    return wrote;
}

bool TextView::writeSelectionToPasteboard(Pasteboard& pasteboard, const fnd::String& type)
{
    auto text = attributedSubstringFromRange(m_selectedRange);
    if (type == PasteboardType::String)
        return pasteboard.setString(text->string(), type);
    if (type == PasteboardType::RTF)
        return pasteboard.setData(txt::RTFFromAttributedString(*text), type);
    return false;
}

bool TextView::readSelectionFromPasteboard(Pasteboard& pasteboard)
{
    for (const auto& type : readablePasteboardTypes())
        if (pasteboard.availableTypeFromArray({ type }) && readSelectionFromPasteboard(pasteboard, type))
            return true;
    return false;
}

bool TextView::readSelectionFromPasteboard(Pasteboard& pasteboard, const fnd::String& type)
{
    std::optional<txt::AttributedString> text;
    if (type == PasteboardType::RTF) {
        auto data = pasteboard.dataForType(type);
        if (!data)
            return false;
        auto parsed = txt::attributedStringFromRTF(*data);
        if (!parsed)
            return false;
        text = m_richText ? *parsed : txt::AttributedString(parsed->string(), typingAttributes());
    } else if (type == PasteboardType::String) {
        auto string = pasteboard.stringForType(type);
        if (!string)
            return false;
        text = txt::AttributedString(*string, typingAttributes());
    } else {
        return false;
    }
    auto range = hasMarkedText() ? m_markedRange : m_selectedRange;
    unmarkText();
    breakUndoCoalescing();
    return userReplace(range, *text, { range.location + text->length(), 0 });
}

void TextView::copy(const fnd::Value& sender)
{
    if (m_selectedRange.length == 0 && !m_secure) {
        // With nothing selected, Copy is for whatever else around the text copies (the document, a picture).
        if (auto other = Application::shared().targetForActionAfter(fnd::Selector("copy:"), *this)) {
            other->perform(fnd::Selector("copy:"), sender);
            return;
        }
    }
    if (m_selectedRange.length == 0 || m_secure) {
        Application::shared().beep();
        return;
    }
    writeSelectionToPasteboard(*Pasteboard::generalPasteboard(), writablePasteboardTypes());
}

void TextView::cut(const fnd::Value& sender)
{
    if (!m_editable || m_selectedRange.length == 0 || m_secure) {
        Application::shared().beep();
        return;
    }
    copy(sender);
    breakUndoCoalescing();
    deleteRange(m_selectedRange, false);
}

void TextView::paste(const fnd::Value&)
{
    if (!m_editable || !readSelectionFromPasteboard(*Pasteboard::generalPasteboard()))
        Application::shared().beep();
}

void TextView::pasteAsPlainText(const fnd::Value&)
{
    if (!m_editable || !readSelectionFromPasteboard(*Pasteboard::generalPasteboard(), PasteboardType::String))
        Application::shared().beep();
}

void TextView::pasteAsRichText(const fnd::Value&)
{
    auto pasteboard = Pasteboard::generalPasteboard();
    if (!m_editable
        || !(readSelectionFromPasteboard(*pasteboard, PasteboardType::RTF)
            || readSelectionFromPasteboard(*pasteboard, PasteboardType::String)))
        Application::shared().beep();
}

// Dragging the selection out.

bool TextView::dragSelectionWithEvent(const Event& event, gfx::Size offset, bool slideBack)
{
    auto types = writablePasteboardTypes();
    if (m_selectedRange.length == 0 || types.empty())
        return false;
    auto self = std::static_pointer_cast<TextView>(shared_from_this());
    auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
    if (!writeSelectionToPasteboard(*pasteboard, types))
        return false;
    // The picture under the mouse: the selected text itself.
    auto text = attributedSubstringFromRange(m_selectedRange);
    auto size = text->size();
    size.width = std::clamp(std::ceil(size.width), 1.0, 600.0);
    size.height = std::clamp(std::ceil(size.height), 1.0, 300.0);
    auto image = gfx::Image::imageWithSize(size, true, [text](gfx::Rect) {
        text->drawAtPoint({ 0, 0 });
        return true;
    });
    auto rect = rectForCharacterRange(m_selectedRange);
    auto dragged = m_selectedRange;
    m_draggingSelection = true;
    auto result = dragImage(*this, image, { rect.minX(), rect.maxY() }, offset, event, pasteboard, self, slideBack);
    m_draggingSelection = false;
    // Moved elsewhere: the text leaves here (a move within this view was done by the drop).
    if ((result.operation & DragOperations::Move) && !m_dropMovedOwnSelection && m_editable
        && m_selectedRange == dragged)
        deleteRange(dragged, false);
    m_dropMovedOwnSelection = false;
    return true;
}

DragOperation TextView::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal && m_editable ? DragOperations::Copy | DragOperations::Move | DragOperations::Generic
                                 : DragOperations::Copy;
}

// Dropping text in.

namespace {

DragOperation dropOperation(DraggingInfo& info, const TextView& view)
{
    auto mask = info.draggingSourceOperationMask();
    bool own = info.draggingSource().get() == &view;
    if (own && (mask & (DragOperations::Move | DragOperations::Generic)))
        return DragOperations::Move;
    if (mask & DragOperations::Copy)
        return DragOperations::Copy;
    if (mask & DragOperations::Generic)
        return DragOperations::Generic;
    return DragOperations::None;
}

}

DragOperation TextView::draggingEntered(DraggingInfo& info)
{
    auto answer = draggingUpdated(info);
    return answer ? *answer : DragOperations::None;
}

std::optional<DragOperation> TextView::draggingUpdated(DraggingInfo& info)
{
    auto pasteboard = info.draggingPasteboard();
    if (!m_editable || !pasteboard || !pasteboard->availableTypeFromArray(acceptableDragTypes()))
        return DragOperations::None;
    auto point = convertPointFromView(info.draggingLocation(), nullptr);
    auto index = insertionIndexForViewPoint(point);
    // Dropping text onto itself does nothing.
    if (info.draggingSource().get() == this && m_selectedRange.contains(index) && index != m_selectedRange.location) {
        draggingExited(info);
        return DragOperations::None;
    }
    if (index != m_dropIndex) {
        if (m_dropIndex != fnd::NotFound)
            setNeedsDisplayInRect(gfx::insetRect(rectForCharacterRange({ m_dropIndex, 0 }), -2, 0));
        m_dropIndex = index;
        setNeedsDisplayInRect(gfx::insetRect(rectForCharacterRange({ m_dropIndex, 0 }), -2, 0));
    }
    return dropOperation(info, *this);
}

void TextView::draggingExited(DraggingInfo&)
{
    if (m_dropIndex != fnd::NotFound)
        setNeedsDisplayInRect(gfx::insetRect(rectForCharacterRange({ m_dropIndex, 0 }), -2, 0));
    m_dropIndex = fnd::NotFound;
}

bool TextView::performDragOperation(DraggingInfo& info)
{
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard || m_dropIndex == fnd::NotFound || !m_editable
        || !pasteboard->availableTypeFromArray(acceptableDragTypes()))
        return false;
    auto self = shared_from_this();
    auto index = m_dropIndex;
    auto operation = dropOperation(info, *this);
    auto manager = undoManager();
    if (manager)
        manager->beginUndoGrouping();
    breakUndoCoalescing();
    bool moved = false;
    if (operation == DragOperations::Move && info.draggingSource().get() == this && m_selectedRange.length > 0) {
        // A move within this view: the text leaves its old place, and the drop point shifts if it was after it.
        auto from = m_selectedRange;
        if (userReplace(from, txt::AttributedString(), { from.location, 0 })) {
            if (index >= from.max())
                index -= from.length;
            moved = true;
        }
    }
    setSelectedRange({ index, 0 });
    bool done = readSelectionFromPasteboard(*pasteboard);
    if (manager)
        manager->endUndoGrouping();
    m_dropMovedOwnSelection = moved;
    return done;
}

void TextView::concludeDragOperation(DraggingInfo& info)
{
    draggingExited(info);
}

}
