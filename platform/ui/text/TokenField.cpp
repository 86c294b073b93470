#include "platform/ui/text/TokenField.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextView.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TokenAttachmentCell, txt::TextAttachmentCell)
FND_REGISTER_CLASS(TokenFieldCell, TextFieldCell)
FND_REGISTER_CLASS(TokenField, TextField)

namespace {

// Room between a token's edge and its text, and between tokens.
constexpr double TokenPadding = 6;
constexpr double TokenGap = 3;

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

fnd::String trimmed(const fnd::String& s)
{
    return s.stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet());
}

}

// Tokens.

TokenAttachmentCell::TokenAttachmentCell(
    fnd::Value representedObject, fnd::String displayString, std::shared_ptr<gfx::Font> font, TokenStyle style)
    : m_representedObject(std::move(representedObject))
    , m_displayString(std::move(displayString))
    , m_font(std::move(font))
    , m_style(style)
{
}

gfx::Size TokenAttachmentCell::tokenSize(const fnd::String& text, const gfx::Font& font, TokenStyle style)
{
    auto size
        = txt::AttributedString(text, { { txt::FontAttributeName, fnd::Value(font.fontWithSize(font.pointSize())) } })
              .size();
    double padding = style == TokenStyle::None ? 0 : TokenPadding;
    return { std::ceil(size.width + 2 * padding + TokenGap), std::ceil(font.ascender() - font.descender()) + 2 };
}

gfx::Size TokenAttachmentCell::cellSize() const
{
    return m_font ? tokenSize(m_displayString, *m_font, m_style) : gfx::Size {};
}

gfx::Point TokenAttachmentCell::cellBaselineOffset() const
{
    // The token hangs below the baseline as far as the font's descender, and a point more.
    return { 0, m_font ? std::floor(m_font->descender()) - 1 : 0 };
}

void TokenAttachmentCell::drawWithFrame(const gfx::Rect& frame, fnd::Index)
{
    if (m_font)
        drawToken(frame, m_displayString, *m_font, m_style, true);
}

void TokenAttachmentCell::drawToken(
    const gfx::Rect& rect, const fnd::String& text, const gfx::Font& font, TokenStyle style, bool enabled)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    // The shape leaves the gap to the next token on its right.
    gfx::Rect shape { rect.minX() + 0.5, rect.minY() + 0.5, std::max(0.0, rect.width() - TokenGap - 1),
        rect.height() - 1 };
    if (style != TokenStyle::None) {
        double radius = style == TokenStyle::Squared || style == TokenStyle::PlainSquared ? 2 : shape.height() / 2;
        auto path = gfx::BezierPath::bezierPathWithRoundedRect(shape, radius, radius);
        auto accent = ControlLook::accentColor(true);
        context->saveGraphicsState();
        context->setFillColor(*accent->colorWithAlphaComponent(enabled ? 0.18 : 0.08));
        context->fillPath(*path);
        if (style != TokenStyle::PlainSquared) {
            path->setLineWidth(1);
            context->setStrokeColor(*accent->colorWithAlphaComponent(enabled ? 0.55 : 0.25));
            context->strokePath(*path);
        }
        context->restoreGraphicsState();
    }
    txt::AttributedString label(text,
        { { txt::FontAttributeName, fnd::Value(font.fontWithSize(font.pointSize())) },
            { txt::ForegroundColorAttributeName, ControlLook::textColor(enabled) } });
    auto size = label.size();
    double padding = style == TokenStyle::None ? 0 : TokenPadding;
    double y = context->isFlipped() ? shape.minY() + (shape.height() - size.height) / 2
                                    : shape.maxY() - (shape.height() - size.height) / 2;
    label.drawAtPoint({ shape.minX() + padding - 0.5, std::round(y) });
}

// The cell.

void TokenFieldCell::describeClass(fnd::ClassBuilder<TokenFieldCell>& c)
{
    c.property(
        "tokenStyle", [](const TokenFieldCell& cell) { return static_cast<long>(cell.tokenStyle()); },
        [](TokenFieldCell& cell, long style) {
            cell.setTokenStyle(static_cast<TokenStyle>(std::clamp(style, 0L, 4L)));
        });
    c.property("completionDelay", &TokenFieldCell::completionDelay, &TokenFieldCell::setCompletionDelay);
}

TokenFieldCell::TokenFieldCell()
    : m_tokenizingCharacterSet(fnd::CharacterSet::characterSetWithCharactersInString(","))
{
}

TokenField* TokenFieldCell::tokenField() const
{
    return dynamic_cast<TokenField*>(controlView().get());
}

void TokenFieldCell::setTokenStyle(TokenStyle style)
{
    if (style == m_tokenStyle)
        return;
    m_tokenStyle = style;
    noteChanged();
}

std::vector<fnd::Value> TokenFieldCell::representedObjects() const
{
    auto value = objectValue();
    if (const auto* array = value.array())
        return *array;
    if (value.isNil() || (value.isString() && value.stringValue().isEmpty()))
        return {};
    return { value };
}

void TokenFieldCell::setObjectValue(const fnd::Value& value)
{
    // A token that is a number that is not finite is ignored with the rest, as a single such number is.
    if (const auto* tokens = value.array(); tokens && std::ranges::any_of(*tokens, isNonFiniteNumber))
        return;
    if (value.isNil() || value.array())
        TextFieldCell::setObjectValue(value);
    else
        TextFieldCell::setObjectValue(fnd::Value(fnd::Array { value }));
}

fnd::String TokenFieldCell::stringValue() const
{
    std::u16string joiner = u",";
    for (char16_t c : { u',', u';', u'\n', u' ' })
        if (m_tokenizingCharacterSet.characterIsMember(c)) {
            joiner = std::u16string(1, c);
            break;
        }
    if (joiner == u",")
        joiner += u' ';
    std::u16string text;
    auto* field = tokenField();
    for (const auto& object : representedObjects()) {
        if (!text.empty())
            text += joiner;
        text += (field ? field->editingStringForRepresentedObject(object) : object.stringValue()).units();
    }
    return fnd::String(text);
}

void TokenFieldCell::setStringValue(const fnd::String& string)
{
    fnd::Array objects;
    std::u16string piece;
    auto* field = tokenField();
    auto flush = [&] {
        auto text = trimmed(fnd::String(piece));
        if (!text.isEmpty())
            objects.push_back(field ? field->representedObjectForEditingString(text) : fnd::Value(text));
        piece.clear();
    };
    for (char16_t c : string.units()) {
        if (m_tokenizingCharacterSet.characterIsMember(c) || isLineBreak(c))
            flush();
        else
            piece += c;
    }
    flush();
    setObjectValue(fnd::Value(std::move(objects)));
}

void TokenFieldCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    if (currentFieldEditor())
        return;
    auto objects = representedObjects();
    if (objects.empty()) {
        TextFieldCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    auto rect = titleRectForBounds(cellFrame);
    auto* context = gfx::GraphicsContext::current();
    if (context) {
        context->saveGraphicsState();
        context->clipToRect(rect);
    }
    auto f = font();
    auto* field = tokenField();
    double x = rect.minX();
    for (const auto& object : objects) {
        auto text = field ? field->displayStringForRepresentedObject(object) : object.stringValue();
        auto style = field ? field->styleForRepresentedObject(object) : m_tokenStyle;
        auto size = TokenAttachmentCell::tokenSize(text, *f, style);
        double y = rect.minY() + std::round((rect.height() - size.height) / 2);
        TokenAttachmentCell::drawToken({ x, y, size.width, size.height }, text, *f, style, isEnabled());
        x += size.width;
        if (x > rect.maxX())
            break;
    }
    if (context)
        context->restoreGraphicsState();
}

gfx::Size TokenFieldCell::cellSizeForBounds(gfx::Rect bounds) const
{
    auto size = TextFieldCell::cellSizeForBounds(bounds);
    double tokens = 0;
    auto f = font();
    auto* field = tokenField();
    for (const auto& object : representedObjects()) {
        auto text = field ? field->displayStringForRepresentedObject(object) : object.stringValue();
        tokens += TokenAttachmentCell::tokenSize(text, *f, m_tokenStyle).width;
    }
    size.width = std::max(size.width,
        tokens + (size.width - TextFieldCell::titleRectForBounds({ 0, 0, size.width, size.height }).width()));
    return size;
}

std::shared_ptr<View> TokenFieldCell::setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor)
{
    auto editor = TextFieldCell::setUpFieldEditorAttributes(fieldEditor);
    // Tokens are attachments in the editor's text.
    if (auto textView = std::dynamic_pointer_cast<TextView>(editor)) {
        textView->setRichText(true);
        textView->setImportsGraphics(true);
    }
    return editor;
}

void TokenFieldCell::selectWithFrame(gfx::Rect frame, View& controlView, const std::shared_ptr<View>& fieldEditor,
    const std::shared_ptr<fnd::Object>& delegate, fnd::Index selectionStart, fnd::Index selectionLength)
{
    TextFieldCell::selectWithFrame(frame, controlView, fieldEditor, delegate, selectionStart, selectionLength);
    auto textView = std::dynamic_pointer_cast<TextView>(fieldEditor);
    auto* field = tokenField();
    if (!textView || !field || currentFieldEditor() != fieldEditor)
        return;
    auto tokens = field->attributedStringForObjects(representedObjects());
    textView->replaceCharactersInRange({ 0, textView->string().length() }, tokens);
    if (auto manager = textView->undoManager())
        manager->removeAllActions();
    auto n = tokens.length();
    textView->setSelectedRange(
        selectionLength > 0 ? fnd::Range { 0, n } : fnd::Range { std::min(selectionStart, n), 0 });
}

void TokenFieldCell::encodeWithCoder(fnd::Coder& coder) const
{
    TextFieldCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_tokenStyle), "TokenStyle");
    coder.encodeDouble(m_completionDelay, "CompletionDelay");
}

bool TokenFieldCell::initWithCoder(fnd::Coder& coder)
{
    if (!TextFieldCell::initWithCoder(coder))
        return false;
    m_tokenStyle = static_cast<TokenStyle>(std::clamp(coder.decodeIntForKey("TokenStyle"), 0, 4));
    setCompletionDelay(coder.decodeDoubleForKey("CompletionDelay"));
    return !coder.hasFailed();
}

// The field.

void TokenField::describeClass(fnd::ClassBuilder<TokenField>& c)
{
    c.property(
        "tokenStyle", [](const TokenField& f) { return static_cast<long>(f.tokenStyle()); },
        [](TokenField& f, long style) { f.setTokenStyle(static_cast<TokenStyle>(std::clamp(style, 0L, 4L))); });
}

std::shared_ptr<TokenField> TokenField::create(gfx::Rect frame)
{
    return makeView<TokenField>(frame);
}

std::shared_ptr<Cell> TokenField::makeCell() const
{
    auto cell = fnd::makeObject<TokenFieldCell>();
    cell->setBezeled(true);
    cell->setDrawsBackground(true);
    cell->setScrollable(true);
    return cell;
}

TokenStyle TokenField::tokenStyle() const
{
    auto c = tokenFieldCell();
    return c ? c->tokenStyle() : TokenStyle::Default;
}

void TokenField::setTokenStyle(TokenStyle style)
{
    if (auto c = tokenFieldCell())
        c->setTokenStyle(style);
}

fnd::CharacterSet TokenField::tokenizingCharacterSet() const
{
    auto c = tokenFieldCell();
    return c ? c->tokenizingCharacterSet() : fnd::CharacterSet::characterSetWithCharactersInString(",");
}

void TokenField::setTokenizingCharacterSet(const fnd::CharacterSet& set)
{
    if (auto c = tokenFieldCell())
        c->setTokenizingCharacterSet(set);
}

fnd::String TokenField::displayStringForRepresentedObject(const fnd::Value& object)
{
    if (auto d = tokenDelegate())
        if (auto text = d->tokenFieldDisplayStringForRepresentedObject(*this, object))
            return *text;
    return object.stringValue();
}

fnd::String TokenField::editingStringForRepresentedObject(const fnd::Value& object)
{
    if (auto d = tokenDelegate())
        if (auto text = d->tokenFieldEditingStringForRepresentedObject(*this, object))
            return *text;
    return displayStringForRepresentedObject(object);
}

fnd::Value TokenField::representedObjectForEditingString(const fnd::String& string)
{
    if (auto d = tokenDelegate())
        if (auto object = d->tokenFieldRepresentedObjectForEditingString(*this, string))
            return *object;
    return fnd::Value(string);
}

TokenStyle TokenField::styleForRepresentedObject(const fnd::Value& object)
{
    if (auto d = tokenDelegate())
        if (auto style = d->tokenFieldStyleForRepresentedObject(*this, object))
            return *style;
    return tokenStyle();
}

txt::AttributedString TokenField::attributedStringForObjects(const std::vector<fnd::Value>& objects)
{
    txt::AttributedString text;
    auto f = font();
    for (const auto& object : objects) {
        auto cell = std::make_shared<TokenAttachmentCell>(
            object, displayStringForRepresentedObject(object), f, styleForRepresentedObject(object));
        text.appendAttributedString(txt::AttributedString(fnd::String(u"\uFFFC"),
            { { txt::FontAttributeName, fnd::Value(f) },
                { txt::AttachmentAttributeName, fnd::Value(std::make_shared<txt::TextAttachment>(cell)) } }));
    }
    return text;
}

bool TokenField::isSeparator(char16_t c) const
{
    auto c2 = tokenFieldCell();
    return c2 && c2->tokenizingCharacterSet().characterIsMember(c);
}

std::vector<fnd::Value> TokenField::objectsInEditor(TextView& editor, bool tokenizePending)
{
    std::vector<fnd::Value> objects;
    auto* storage = editor.textStorage();
    if (!storage)
        return objects;
    const auto& units = storage->string().units();
    std::u16string piece;
    auto flush = [&] {
        auto text = trimmed(fnd::String(piece));
        if (!text.isEmpty() && tokenizePending)
            objects.push_back(representedObjectForEditingString(text));
        piece.clear();
    };
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        if (c == txt::AttachmentCharacter) {
            flush();
            auto attachment = storage->attributeAtIndex(txt::AttachmentAttributeName, static_cast<fnd::Index>(i))
                                  .objectAs<txt::TextAttachment>();
            if (auto token
                = attachment ? std::dynamic_pointer_cast<TokenAttachmentCell>(attachment->attachmentCell()) : nullptr)
                objects.push_back(token->representedObject());
        } else if (isSeparator(c) || isLineBreak(c)) {
            flush();
        } else {
            piece += c;
        }
    }
    flush();
    return objects;
}

bool TokenField::tokenizeEditor(TextView& editor, bool all)
{
    auto* storage = editor.textStorage();
    if (!storage)
        return false;
    auto self = shared_from_this();
    const auto units = storage->string().units();
    struct Piece {
        fnd::Range range; // the text, with its separator
        fnd::String text;
        long index; // tokens before it
    };
    std::vector<Piece> pieces;
    long tokens = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= units.size(); ++i) {
        bool end = i == units.size();
        char16_t c = end ? 0 : units[i];
        bool separator = !end && (isSeparator(c) || (all && isLineBreak(c)));
        if (!end && c == txt::AttachmentCharacter) {
            ++tokens;
            start = i + 1;
            continue;
        }
        if (separator || (end && all && i > start)) {
            auto text = fnd::String(units.substr(start, i - start));
            pieces.push_back({ { static_cast<fnd::Index>(start), static_cast<fnd::Index>(i - start + (end ? 0 : 1)) },
                trimmed(text), tokens });
            start = i + 1;
        }
    }
    if (pieces.empty())
        return false;
    auto caret = editor.selectedRange().max();
    fnd::Index caretAfter = caret;
    // From the end, so the earlier ranges stay where they are.
    for (auto p = pieces.rbegin(); p != pieces.rend(); ++p) {
        std::vector<fnd::Value> objects;
        if (!p->text.isEmpty()) {
            objects = { representedObjectForEditingString(p->text) };
            if (auto d = tokenDelegate())
                objects = d->tokenFieldShouldAddObjects(*this, objects, p->index);
        }
        auto replacement = attributedStringForObjects(objects);
        editor.replaceCharactersInRange(p->range, replacement);
        if (caret >= p->range.max())
            caretAfter += replacement.length() - p->range.length;
        else if (caret > p->range.location)
            caretAfter = p->range.location + replacement.length();
    }
    // The editor's undo steps speak of text that is now tokens.
    if (auto manager = editor.undoManager())
        manager->removeAllActions();
    editor.setSelectedRange({ std::clamp<fnd::Index>(caretAfter, 0, editor.string().length()), 0 });
    return true;
}

void TokenField::validateEditing()
{
    auto editor = std::dynamic_pointer_cast<TextView>(currentEditor());
    auto c = tokenFieldCell();
    if (!editor || !c)
        return;
    auto objects = objectsInEditor(*editor, true);
    if (objects != c->representedObjects())
        c->setObjectValue(fnd::Value(fnd::Array(objects)));
}

void TokenField::textDidChange(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    if (auto editor = notification.object().objectAs<TextView>())
        tokenizeEditor(*editor, false);
    TextField::textDidChange(notification);
}

bool TokenField::textShouldEndEditing(TextView& fieldEditor)
{
    auto self = shared_from_this();
    tokenizeEditor(fieldEditor, true);
    return TextField::textShouldEndEditing(fieldEditor);
}

bool TokenField::textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector)
{
    // Return with text still typed makes it a token and goes on editing; without, it ends editing.
    if (selector == fnd::Selector("insertNewline:")) {
        auto pending = objectsInEditor(fieldEditor, true).size() != objectsInEditor(fieldEditor, false).size();
        if (pending && tokenizeEditor(fieldEditor, true))
            return true;
    }
    return TextField::textViewDoCommandBySelector(fieldEditor, selector);
}

bool TokenField::textViewDoubleClickedOnCell(
    TextView& fieldEditor, const std::shared_ptr<txt::TextAttachmentCell>& cell, gfx::Rect, fnd::Index characterIndex)
{
    auto token = std::dynamic_pointer_cast<TokenAttachmentCell>(cell);
    if (!token)
        return false;
    // The token turns back into text to edit.
    auto text = editingStringForRepresentedObject(token->representedObject());
    fieldEditor.replaceCharactersInRange(
        { characterIndex, 1 }, txt::AttributedString(text, { { txt::FontAttributeName, fnd::Value(font()) } }));
    if (auto manager = fieldEditor.undoManager())
        manager->removeAllActions();
    fieldEditor.setSelectedRange({ characterIndex, text.length() });
    return true;
}

}
