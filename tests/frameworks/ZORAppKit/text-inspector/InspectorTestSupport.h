#pragma once

#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/views/Window.h"

#include <optional>
#include <string>

namespace inspectortest {

// The text with its invisible characters spelled out: \t, \n, U+FFFC as [o], U+2028 as [ls].
inline std::string visible(const fnd::String& text)
{
    std::string out;
    for (fnd::Index i = 0; i < text.length(); ++i) {
        char16_t c = text.characterAt(i);
        if (c == u'\t')
            out += "\\t";
        else if (c == u'\n')
            out += "\\n";
        else if (c == 0xFFFC)
            out += "[o]";
        else if (c == 0x2028)
            out += "[ls]";
        else
            out += fnd::String(std::u16string(1, c)).utf8();
    }
    return out;
}

// Where a click on the character at the index lands, in the inspector's window (the text laid out); nullopt when
// the character has no place.
inline std::optional<gfx::Point> characterPointInWindow(ZORTextViewInspector& inspector, fnd::Index index)
{
    auto rects = inspector.layoutManager()->rectsForCharacterRange({ index, 1 }, *inspector.textContainer());
    if (rects.empty())
        return std::nullopt;
    auto origin = inspector.textContainerOrigin();
    return inspector.convertPointToView({ rects[0].midX() + origin.x, rects[0].midY() + origin.y }, nullptr);
}

// An inspector of 400 × 300 in a key window, editable unless told otherwise.
class InspectorTest : public uitest::KeyWindowTest {
protected:
    InspectorTest()
        : KeyWindowTest({ 400, 300 })
    {
        inspector = ZORTextViewInspector::create({ 0, 0, 400, 300 });
        add(inspector);
        window->makeFirstResponder(inspector);
    }

    fnd::String text() const { return inspector->textStorage()->string(); }
    std::string shown() const { return visible(text()); }
    // The range of the first occurrence of the text.
    fnd::Range rangeOf(const fnd::String& part) const { return text().rangeOfString(part); }
    fnd::Value attributeAt(const fnd::String& name, fnd::Index index, fnd::Range* range = nullptr) const
    {
        return inspector->textStorage()->attributeAtIndexLongestEffectiveRange(
            name, index, range, { 0, inspector->textStorage()->length() });
    }
    void draw() { (void)snapshot(); }

    std::shared_ptr<ZORTextViewInspector> inspector;
};

}
