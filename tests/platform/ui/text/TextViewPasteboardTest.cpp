#include "TextTestSupport.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/text/TextField.h"

using namespace ui;
using namespace texttest;

namespace {

using TextViewPasteboard = TextTest;
constexpr unsigned Ctrl = ModifierFlags::Command; // the desktop's Ctrl key

// Bold, a red run, a link and a centred second paragraph.
txt::AttributedString richSample()
{
    auto font = gfx::Font::fontWithName("DejaVu Sans", 14);
    auto bold = gfx::FontManager::shared().convertFontToHaveTrait(font, gfx::FontTraitMask::Bold);
    auto centred = txt::ParagraphStyle::defaultParagraphStyle();
    centred->setAlignment(txt::TextAlignment::Center);
    txt::AttributedString text("Bold", { { txt::FontAttributeName, bold } });
    text.appendAttributedString(txt::AttributedString(" red",
        { { txt::FontAttributeName, font },
            { txt::ForegroundColorAttributeName, gfx::Color::colorWithCalibratedRed(1, 0, 0) } }));
    text.appendAttributedString(txt::AttributedString(" link\n",
        { { txt::FontAttributeName, font }, { txt::LinkAttributeName, fnd::Value("https://example.org/x") } }));
    text.appendAttributedString(txt::AttributedString(
        "centred", { { txt::FontAttributeName, font }, { txt::ParagraphStyleAttributeName, centred } }));
    return text;
}

}

TEST_F(TextViewPasteboard, RichTextRoundTripsBetweenTwoTextViews)
{
    auto source = makeTextView({}, { 10, 160, 380, 130 });
    source->setRichText(true);
    source->setAttributedString(richSample());
    auto target = makeTextView("Start: ", { 10, 10, 380, 130 });
    target->setRichText(true);
    window->makeFirstResponder(source);
    key(u'a', KeyCode::A, Ctrl);
    key(u'c', KeyCode::C, Ctrl);
    auto pasteboard = Pasteboard::generalPasteboard();
    EXPECT_EQ(pasteboard->types(), (std::vector<fnd::String> { PasteboardType::RTF, PasteboardType::String }));
    window->makeFirstResponder(target);
    target->setSelectedRange({ 7, 0 });
    key(u'v', KeyCode::V, Ctrl);
    auto* pasted = target->textStorage();
    ASSERT_EQ(pasted->string(), fnd::String("Start: ") + richSample().string());
    EXPECT_EQ(target->selectedRange(), (fnd::Range { pasted->length(), 0 })) << "the caret after what was pasted";
    // Every attribute came across: the bold face, the colour, the link and the centred paragraph.
    auto font = pasted->attributeAtIndex(txt::FontAttributeName, 7).objectAs<gfx::Font>();
    ASSERT_TRUE(font);
    EXPECT_TRUE(gfx::FontManager::shared().traitsOfFont(*font) & gfx::FontTraitMask::Bold) << font->fontName().utf8();
    EXPECT_DOUBLE_EQ(font->pointSize(), 14);
    auto red = pasted->attributeAtIndex(txt::ForegroundColorAttributeName, 12).objectAs<gfx::Color>();
    ASSERT_TRUE(red);
    EXPECT_NEAR(red->redComponent(), 1, 0.01);
    EXPECT_NEAR(red->greenComponent(), 0, 0.01);
    EXPECT_EQ(pasted->attributeAtIndex(txt::LinkAttributeName, 17).stringValue().utf8(), "https://example.org/x");
    auto style = pasted->attributeAtIndex(txt::ParagraphStyleAttributeName, pasted->length() - 2)
                     .objectAs<txt::ParagraphStyle>();
    ASSERT_TRUE(style);
    EXPECT_EQ(style->alignment(), txt::TextAlignment::Center);
    // Undo takes the paste back and restores the selection before it.
    key(u'z', KeyCode::Z, Ctrl);
    EXPECT_EQ(utf8(target->string()), "Start: ");
    EXPECT_EQ(target->selectedRange(), (fnd::Range { 7, 0 }));
}

TEST_F(TextViewPasteboard, PlainTextPastesIntoATextFieldAndCutIsUndoable)
{
    auto source = makeTextView({}, { 10, 160, 380, 130 });
    source->setRichText(true);
    source->setAttributedString(richSample());
    source->setSelectedRange({ 0, 8 });
    key(u'x', KeyCode::X, Ctrl);
    EXPECT_EQ(utf8(source->string()).substr(0, 6), " link\n");
    EXPECT_EQ(source->selectedRange(), (fnd::Range { 0, 0 }));
    key(u'z', KeyCode::Z, Ctrl);
    EXPECT_EQ(utf8(source->string()).substr(0, 8), "Bold red");
    EXPECT_EQ(source->selectedRange(), (fnd::Range { 0, 8 })) << "undo selects what came back";
    auto field = TextField::create({ 10, 10, 200, 24 });
    add(field);
    window->makeFirstResponder(field);
    key(u'v', KeyCode::V, Ctrl);
    EXPECT_EQ(field->stringValue().utf8(), "Bold red");
    auto editor = std::dynamic_pointer_cast<TextView>(window->firstResponder());
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->isRichText());
    // Plain: one look for everything, the field's.
    EXPECT_EQ(editor->textStorage()->attributeAtIndex(txt::FontAttributeName, 0),
        editor->textStorage()->attributeAtIndex(txt::FontAttributeName, 6));
}

TEST_F(TextViewPasteboard, DraggingTheSelectionMovesTextWithinTheView)
{
    auto view = makeTextView("move these words");
    view->setSelectedRange({ 5, 6 }); // "these "
    auto from = pointOfCharacter(*view, 7);
    auto end = pointOfCharacter(*view, 15);
    press(*view, from);
    drag(*view, { from.x + 10, from.y });
    drag(*view, { end.x + 3, end.y });
    release(*view, { end.x + 3, end.y });
    dispatch();
    EXPECT_EQ(utf8(view->string()), "move wordsthese ");
    key(u'z', KeyCode::Z, Ctrl);
    EXPECT_EQ(utf8(view->string()), "move these words") << "the move is one undo step";
}

TEST_F(TextViewPasteboard, MarkedTextIsShownUnderlinedAndCommitsAsOneStep)
{
    auto view = makeTextView("say ");
    view->setSelectedRange({ 4, 0 });
    view->setMarkedText(fnd::String("ni"), { 2, 0 });
    EXPECT_TRUE(view->hasMarkedText());
    EXPECT_EQ(view->markedRange(), (fnd::Range { 4, 2 }));
    view->setMarkedText(fnd::String("nih"), { 3, 0 });
    EXPECT_EQ(utf8(view->string()), "say nih");
    auto underline
        = view->layoutManager()->temporaryAttributesAtCharacterIndex(5).get(txt::UnderlineStyleAttributeName);
    EXPECT_EQ(underline.integerValue(), txt::UnderlineStyle::Single);
    EXPECT_TRUE(view->firstRectForMarkedText()) << "for the candidate window";
    // The input method commits: the composed characters come as typing and replace the marked text.
    type(u"\u4F60");
    EXPECT_EQ(view->string(), fnd::String(u"say \u4F60"));
    EXPECT_FALSE(view->hasMarkedText());
    EXPECT_TRUE(
        view->layoutManager()->temporaryAttributesAtCharacterIndex(4).get(txt::UnderlineStyleAttributeName).isNil());
    view->undo({});
    EXPECT_EQ(utf8(view->string()), "say ");
    // An empty pre-edit ends a composition without leaving anything.
    view->setMarkedText(fnd::String("x"), { 1, 0 });
    view->setMarkedText(fnd::String(), { 0, 0 });
    EXPECT_EQ(utf8(view->string()), "say ");
    EXPECT_FALSE(view->hasMarkedText());
}
