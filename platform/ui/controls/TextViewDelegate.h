#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/Selector.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class UndoManager;
}

namespace txt {
class TextAttachmentCell;
}

namespace ui {

class TextView;

// Names of the notifications a text view posts (object: the text view).
namespace TextNotification {
inline const fnd::String DidBeginEditing = "NSTextDidBeginEditingNotification";
inline const fnd::String DidChange = "NSTextDidChangeNotification";
inline const fnd::String DidEndEditing = "NSTextDidEndEditingNotification";
inline const fnd::String DidChangeSelection = "NSTextViewDidChangeSelectionNotification";
inline const fnd::String DidChangeTypingAttributes = "NSTextViewDidChangeTypingAttributesNotification";
// userInfo keys: how editing ended (a TextMovement number); the selection before the change.
inline const fnd::String MovementKey = "NSTextMovement";
inline const fnd::String OldSelectedCharacterRangeKey = "NSOldSelectedCharacterRange";
}

// How editing in a field editor ended, with the platform's values (stored in NSTextMovement).
namespace TextMovement {
constexpr long Other = 0;
constexpr long Return = 0x10;
constexpr long Tab = 0x11;
constexpr long Backtab = 0x12;
constexpr long Left = 0x13;
constexpr long Right = 0x14;
constexpr long Up = 0x15;
constexpr long Down = 0x16;
constexpr long Cancel = 0x17;
}

// Optional answers of a text view's delegate; the defaults are what the view does without one. The begin, change
// and end calls receive the notification the view posts. A field editor's delegate is the control (or other
// object) whose text it edits.
class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;

    // Before the first change of an editing session, and before the view gives up the keyboard after one.
    virtual bool textShouldBeginEditing(TextView&) { return true; }
    virtual bool textShouldEndEditing(TextView&) { return true; }
    virtual void textDidBeginEditing(const fnd::Notification&) { }
    virtual void textDidChange(const fnd::Notification&) { }
    virtual void textDidEndEditing(const fnd::Notification&) { }

    // Every change of the text: replacement is nullptr when only attributes change. False refuses the change.
    virtual bool textViewShouldChangeTextInRange(TextView&, fnd::Range, const fnd::String* /*replacement*/)
    {
        return true;
    }
    // The selection the view takes instead of the proposed one.
    virtual fnd::Range textViewWillChangeSelection(TextView&, fnd::Range /*oldRange*/, fnd::Range proposed)
    {
        return proposed;
    }
    virtual void textViewDidChangeSelection(const fnd::Notification&) { }
    // A click on a link run: true when handled; otherwise the link opens through the application.
    virtual bool textViewClickedOnLink(TextView&, const fnd::Value& /*link*/, fnd::Index /*characterIndex*/)
    {
        return false;
    }
    // A double click on an attachment's cell (frame in the view): true when handled.
    virtual bool textViewDoubleClickedOnCell(TextView&, const std::shared_ptr<txt::TextAttachmentCell>&,
        gfx::Rect /*cellFrame*/, fnd::Index /*characterIndex*/)
    {
        return false;
    }
    // A command before the view performs it: true when the delegate handled it.
    virtual bool textViewDoCommandBySelector(TextView&, fnd::Selector) { return false; }
    // Completions for the partial word; nullopt keeps the view's own.
    virtual std::optional<std::vector<fnd::String>> textViewCompletions(TextView&,
        const std::vector<fnd::String>& /*words*/, fnd::Range /*partialWordRange*/, long* /*indexOfSelectedItem*/)
    {
        return std::nullopt;
    }
    // The types the view writes the selection as, and reads; nullopt keeps the view's own.
    virtual std::optional<std::vector<fnd::String>> textViewWritablePasteboardTypes(TextView&) { return std::nullopt; }
    virtual std::optional<std::vector<fnd::String>> textViewReadablePasteboardTypes(TextView&) { return std::nullopt; }
    // The undo manager the view records into; nullptr keeps the view's own.
    virtual std::shared_ptr<fnd::UndoManager> undoManagerForTextView(TextView&) { return nullptr; }
};

}
