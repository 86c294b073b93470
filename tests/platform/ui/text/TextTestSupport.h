#pragma once

#include "platform/ui/UiTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"

#include <cstdint>
#include <string>
#include <vector>

namespace texttest {

// The character the Backspace key types.
inline constexpr char16_t Backspace = 0x7F;

// Records what a text view's (or a control's) delegate hears, in order.
class RecordingTextDelegate : public ui::TextViewDelegate {
public:
    bool textShouldBeginEditing(ui::TextView&) override
    {
        log.push_back("shouldBegin");
        return allowBegin;
    }
    bool textShouldEndEditing(ui::TextView&) override
    {
        log.push_back("shouldEnd");
        return allowEnd;
    }
    void textDidBeginEditing(const fnd::Notification&) override { log.push_back("didBegin"); }
    void textDidChange(const fnd::Notification&) override { log.push_back("didChange"); }
    void textDidEndEditing(const fnd::Notification& n) override
    {
        log.push_back("didEnd " + std::to_string(n.userInfo().get(ui::TextNotification::MovementKey).integerValue()));
    }
    bool textViewShouldChangeTextInRange(ui::TextView&, fnd::Range range, const fnd::String* replacement) override
    {
        changes.push_back({ range, replacement ? replacement->utf8() : std::string("<attributes>") });
        return allowChange;
    }
    void textViewDidChangeSelection(const fnd::Notification&) override { ++selectionChanges; }
    bool textViewClickedOnLink(ui::TextView&, const fnd::Value& link, fnd::Index) override
    {
        links.push_back(link.stringValue().utf8());
        return handleLinks;
    }

    bool allowBegin { true };
    bool allowEnd { true };
    bool allowChange { true };
    bool handleLinks { false };
    std::vector<std::string> log;
    struct Change {
        fnd::Range range;
        std::string replacement;
    };
    std::vector<Change> changes;
    int selectionChanges { 0 };
    std::vector<std::string> links;
};

// A key window of 400 × 300 points on the headless backend and a virtual clock, with helpers that inject keys and
// the mouse.
class TextTest : public uitest::KeyWindowTest {
protected:
    TextTest()
        : KeyWindowTest({ 400, 300 })
    {
    }

    // A text view filling most of the window, first responder, with the text (plain DejaVu Sans 12).
    std::shared_ptr<ui::TextView> makeTextView(const fnd::String& text = {}, gfx::Rect frame = { 10, 10, 380, 280 });

    // Each character typed as its own key press.
    void type(const std::u16string& text);
    // A key press with a character (function keys as their private-use characters).
    void key(char16_t character, unsigned short keyCode, unsigned flags = 0);
    void press(ui::View& view, gfx::Point point, unsigned flags = 0, long clicks = 1);
    void drag(ui::View& view, gfx::Point point);
    void release(ui::View& view, gfx::Point point, long clicks = 1);
    void click(ui::View& view, gfx::Point point, unsigned flags = 0, long clicks = 1);
    // The view point of the middle of a character of a text view.
    static gfx::Point pointOfCharacter(ui::TextView& view, fnd::Index index);
};

std::string utf8(const fnd::String& s);

}
