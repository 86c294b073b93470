// The text interfaces of the accessible objects: what a label, field or text view shows, its caret and selection,
// where its characters are, and editing through the element's value.

#include "platform/backend/gtk/GtkAccessible.h"

#include <algorithm>

namespace ui::gtkaccessible {

namespace {

namespace AXAttr = AccessibilityAttribute;
namespace AXParam = AccessibilityParameterizedAttribute;

struct TextModel {
    Live live;
    fnd::String text;
    // In characters.
    long length { 0 };
};

TextModel textOf(AtkText* text)
{
    TextModel model;
    model.live = liveElement(ATK_OBJECT(text));
    if (model.live) {
        model.text = textFor(*model.live.element);
        model.length = characterOffsetFor(model.text, model.text.length());
    }
    return model;
}

// The characters [start, end) as UTF-8; an end of -1 (or past the text) means its end.
gchar* substring(const TextModel& model, long start, long end)
{
    if (end < 0 || end > model.length)
        end = model.length;
    start = std::clamp(start, 0L, end);
    auto from = utf16IndexFor(model.text, start);
    auto to = utf16IndexFor(model.text, end);
    return g_strdup(model.text.substring({ from, to - from }).utf8().c_str());
}

std::optional<fnd::Range> selectedRange(const TextModel& model)
{
    if (!model.live)
        return std::nullopt;
    return accessibilityAttribute(*model.live.element, AXAttr::SelectedTextRange).range();
}

gchar* textGetText(AtkText* text, gint start, gint end)
{
    return substring(textOf(text), start, end);
}

gunichar textGetCharacterAtOffset(AtkText* text, gint offset)
{
    auto model = textOf(text);
    if (offset < 0 || offset >= model.length)
        return 0;
    auto i = utf16IndexFor(model.text, offset);
    auto unit = model.text.characterAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < model.text.length())
        return 0x10000 + ((gunichar(unit) - 0xD800) << 10) + (gunichar(model.text.characterAt(i + 1)) - 0xDC00);
    return unit;
}

gint textGetCharacterCount(AtkText* text)
{
    return gint(textOf(text).length);
}

gint textGetCaretOffset(AtkText* text)
{
    auto model = textOf(text);
    auto range = selectedRange(model);
    return range ? gint(characterOffsetFor(model.text, range->max())) : -1;
}

gboolean textSetCaretOffset(AtkText* text, gint offset)
{
    auto model = textOf(text);
    if (!model.live || !model.live.element->accessibilityIsAttributeSettable(AXAttr::SelectedTextRange))
        return false;
    auto at = utf16IndexFor(model.text, std::clamp<long>(offset, 0, model.length));
    model.live.element->accessibilitySetValue(fnd::Range { at, 0 }, AXAttr::SelectedTextRange);
    return true;
}

gint textGetNSelections(AtkText* text)
{
    auto range = selectedRange(textOf(text));
    return range && range->length > 0 ? 1 : 0;
}

gchar* textGetSelection(AtkText* text, gint index, gint* start, gint* end)
{
    auto model = textOf(text);
    auto range = selectedRange(model);
    if (index != 0 || !range || range->length == 0) {
        *start = *end = 0;
        return nullptr;
    }
    *start = gint(characterOffsetFor(model.text, range->location));
    *end = gint(characterOffsetFor(model.text, range->max()));
    return substring(model, *start, *end);
}

gboolean textSetSelection(AtkText* text, gint index, gint start, gint end)
{
    auto model = textOf(text);
    if (index != 0 || !model.live || !model.live.element->accessibilityIsAttributeSettable(AXAttr::SelectedTextRange))
        return false;
    auto from = utf16IndexFor(model.text, std::clamp<long>(std::min(start, end), 0, model.length));
    auto to = utf16IndexFor(model.text, std::clamp<long>(std::max(start, end), 0, model.length));
    model.live.element->accessibilitySetValue(fnd::Range { from, to - from }, AXAttr::SelectedTextRange);
    return true;
}

gboolean textAddSelection(AtkText* text, gint start, gint end)
{
    return textGetNSelections(text) == 0 && textSetSelection(text, 0, start, end);
}

gboolean textRemoveSelection(AtkText* text, gint index)
{
    auto model = textOf(text);
    auto range = selectedRange(model);
    if (index != 0 || !range)
        return false;
    auto caret = gint(characterOffsetFor(model.text, range->max()));
    return textSetSelection(text, 0, caret, caret);
}

void textGetCharacterExtents(AtkText* text, gint offset, gint* x, gint* y, gint* width, gint* height, AtkCoordType type)
{
    *x = *y = *width = *height = -1;
    auto model = textOf(text);
    if (!model.live || offset < 0 || offset >= model.length)
        return;
    auto from = utf16IndexFor(model.text, offset);
    auto to = utf16IndexFor(model.text, offset + 1);
    auto bounds = model.live.element->accessibilityAttributeValueForParameter(
        AXParam::BoundsForRange, fnd::Range { from, to - from });
    auto rect = bounds.rect();
    if (!rect)
        return;
    auto onScreen = screenRectForRect(*rect);
    if (type != ATK_XY_SCREEN) {
        gint ox = 0, oy = 0;
        atk_component_get_extents(ATK_COMPONENT(text), &ox, &oy, nullptr, nullptr, ATK_XY_SCREEN);
        gint rx = 0, ry = 0;
        atk_component_get_extents(ATK_COMPONENT(text), &rx, &ry, nullptr, nullptr, type);
        onScreen.x -= ox - rx;
        onScreen.y -= oy - ry;
    }
    *x = onScreen.x;
    *y = onScreen.y;
    *width = onScreen.width;
    *height = onScreen.height;
}

gint textGetOffsetAtPoint(AtkText* text, gint x, gint y, AtkCoordType type)
{
    auto model = textOf(text);
    if (!model.live)
        return -1;
    if (type != ATK_XY_SCREEN) {
        gint ox = 0, oy = 0, rx = 0, ry = 0;
        atk_component_get_extents(ATK_COMPONENT(text), &ox, &oy, nullptr, nullptr, ATK_XY_SCREEN);
        atk_component_get_extents(ATK_COMPONENT(text), &rx, &ry, nullptr, nullptr, type);
        x += ox - rx;
        y += oy - ry;
    }
    auto range = model.live.element
                     ->accessibilityAttributeValueForParameter(AXParam::RangeForPosition, screenPointFromRoot(x, y))
                     .range();
    return range ? gint(characterOffsetFor(model.text, range->location)) : -1;
}

bool isWordCharacter(char16_t c)
{
    return c != u' ' && c != u'\t' && c != u'\n' && c != u'\r';
}

// The stretch of text around an offset for a granularity, in characters: a character; a word with the spaces
// after it; a line or paragraph with its line break.
gchar* textGetStringAtOffset(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start, gint* end)
{
    auto model = textOf(text);
    *start = *end = 0;
    if (!model.live || offset < 0 || offset > model.length)
        return g_strdup("");
    const auto& s = model.text;
    auto at = utf16IndexFor(s, offset);
    fnd::Index from = at;
    fnd::Index to = at;
    switch (granularity) {
    case ATK_TEXT_GRANULARITY_CHAR:
        to = utf16IndexFor(s, offset + 1);
        break;
    case ATK_TEXT_GRANULARITY_WORD:
        while (from > 0 && isWordCharacter(s.characterAt(from - 1)))
            --from;
        while (to < s.length() && isWordCharacter(s.characterAt(to)))
            ++to;
        while (to < s.length() && !isWordCharacter(s.characterAt(to)) && s.characterAt(to) != u'\n')
            ++to;
        break;
    case ATK_TEXT_GRANULARITY_SENTENCE:
    case ATK_TEXT_GRANULARITY_LINE:
    case ATK_TEXT_GRANULARITY_PARAGRAPH:
        while (from > 0 && s.characterAt(from - 1) != u'\n')
            --from;
        while (to < s.length() && s.characterAt(to) != u'\n')
            ++to;
        if (to < s.length())
            ++to;
        break;
    }
    *start = gint(characterOffsetFor(s, from));
    *end = gint(characterOffsetFor(s, to));
    return substring(model, *start, *end);
}

AtkAttributeSet* textGetRunAttributes(AtkText* text, gint, gint* start, gint* end)
{
    *start = 0;
    *end = textGetCharacterCount(text);
    return nullptr;
}

// Editing: the new text goes through the element's value, as the person's typing would.

void setText(const TextModel& model, const fnd::String& text)
{
    if (model.live && model.live.element->accessibilityIsAttributeSettable(AXAttr::Value))
        model.live.element->accessibilitySetValue(text, AXAttr::Value);
}

void editableSetTextContents(AtkEditableText* text, const gchar* string)
{
    setText(textOf(ATK_TEXT(text)), fnd::String(string ? string : ""));
}

void editableInsertText(AtkEditableText* text, const gchar* string, gint length, gint* position)
{
    auto model = textOf(ATK_TEXT(text));
    if (!string || !position)
        return;
    auto inserted = fnd::String(length < 0 ? std::string(string) : std::string(string, std::size_t(length)));
    auto at = utf16IndexFor(model.text, std::clamp<long>(*position, 0, model.length));
    auto result = model.text.substringTo(at);
    result.append(inserted);
    result.append(model.text.substringFrom(at));
    setText(model, result);
    *position += gint(characterOffsetFor(inserted, inserted.length()));
}

void editableDeleteText(AtkEditableText* text, gint start, gint end)
{
    auto model = textOf(ATK_TEXT(text));
    if (end < 0 || end > model.length)
        end = gint(model.length);
    start = std::clamp<gint>(start, 0, end);
    auto from = utf16IndexFor(model.text, start);
    auto to = utf16IndexFor(model.text, end);
    auto result = model.text.substringTo(from);
    result.append(model.text.substringFrom(to));
    setText(model, result);
}

}

void initText(AtkTextIface* iface)
{
    iface->get_text = textGetText;
    iface->get_character_at_offset = textGetCharacterAtOffset;
    iface->get_character_count = textGetCharacterCount;
    iface->get_caret_offset = textGetCaretOffset;
    iface->set_caret_offset = textSetCaretOffset;
    iface->get_n_selections = textGetNSelections;
    iface->get_selection = textGetSelection;
    iface->set_selection = textSetSelection;
    iface->add_selection = textAddSelection;
    iface->remove_selection = textRemoveSelection;
    iface->get_character_extents = textGetCharacterExtents;
    iface->get_offset_at_point = textGetOffsetAtPoint;
    iface->get_string_at_offset = textGetStringAtOffset;
    iface->get_run_attributes = textGetRunAttributes;
}

void initEditableText(AtkEditableTextIface* iface)
{
    iface->set_text_contents = editableSetTextContents;
    iface->insert_text = editableInsertText;
    iface->delete_text = editableDeleteText;
}

}
