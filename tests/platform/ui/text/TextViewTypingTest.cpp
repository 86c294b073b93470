#include "TextTestSupport.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <cmath>

using namespace ui;
using namespace texttest;

namespace {

using TextViewTyping = TextTest;

constexpr unsigned Shift = ModifierFlags::Shift;
constexpr unsigned ControlKey = ModifierFlags::Command; // the desktop's Ctrl key

}

TEST_F(TextViewTyping, TypingDeletingAndUndoAsOneStep)
{
    auto view = makeTextView();
    type(u"Hello");
    key(Backspace, KeyCode::Delete, 0);
    type(u"p me");
    EXPECT_EQ(utf8(view->string()), "Hellp me");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 8, 0 }));
    // The typing and its deletions are one step; undo restores the empty text with the caret at its start.
    auto undo = view->undoManager();
    ASSERT_TRUE(undo->canUndo());
    key(u'z', KeyCode::Z, ControlKey);
    EXPECT_EQ(utf8(view->string()), "");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 0 }));
    EXPECT_FALSE(undo->canUndo());
    key(u'Z', KeyCode::Z, ControlKey | Shift);
    EXPECT_EQ(utf8(view->string()), "Hellp me");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 8, 0 }));
}

TEST_F(TextViewTyping, MovingTheCaretStartsANewUndoStepAndUndoRestoresTheSelection)
{
    auto view = makeTextView();
    type(u"abc");
    key(FunctionKey::LeftArrow, KeyCode::LeftArrow, 0);
    type(u"X");
    EXPECT_EQ(utf8(view->string()), "abXc");
    // Selecting and typing over the selection: undo brings the selected text back, selected.
    key(FunctionKey::LeftArrow, KeyCode::LeftArrow, Shift);
    key(FunctionKey::LeftArrow, KeyCode::LeftArrow, Shift);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 1, 2 }));
    type(u"Q");
    EXPECT_EQ(utf8(view->string()), "aQc");
    view->undo({});
    EXPECT_EQ(utf8(view->string()), "abXc");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 1, 2 }));
    view->undo({});
    EXPECT_EQ(utf8(view->string()), "abc");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 2, 0 }));
    view->undo({});
    EXPECT_EQ(utf8(view->string()), "");
    view->redo({});
    view->redo({});
    view->redo({});
    EXPECT_EQ(utf8(view->string()), "aQc");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 2, 0 }));
}

TEST_F(TextViewTyping, SurrogatePairsAndCombiningMarksAreNeverSplit)
{
    // a, an emoji (two units), e with a combining acute (two units), b.
    auto view = makeTextView(fnd::String(u"a\U0001F600e\u0301b"));
    std::vector<fnd::Index> stops;
    for (int i = 0; i < 5; ++i) {
        key(FunctionKey::RightArrow, KeyCode::RightArrow, 0);
        stops.push_back(view->selectedRange().location);
    }
    EXPECT_EQ(stops, (std::vector<fnd::Index> { 1, 3, 5, 6, 6 }));
    key(FunctionKey::LeftArrow, KeyCode::LeftArrow, Shift);
    key(FunctionKey::LeftArrow, KeyCode::LeftArrow, Shift);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 3, 3 }));
    key(FunctionKey::End, KeyCode::End, 0);
    key(Backspace, KeyCode::Delete, 0);
    key(Backspace, KeyCode::Delete, 0);
    EXPECT_EQ(view->string(), fnd::String(u"a\U0001F600"));
    key(Backspace, KeyCode::Delete, 0);
    EXPECT_EQ(view->string(), fnd::String(u"a"));
    // Forward deletion from the start takes whole characters too.
    view->setString(fnd::String(u"\U0001F600x"));
    key(FunctionKey::Delete, KeyCode::ForwardDelete, 0);
    EXPECT_EQ(utf8(view->string()), "x");
}

TEST_F(TextViewTyping, WordMovesFollowTheUnicodeWordBreaksOfEveryScript)
{
    // Latin, Chinese (one dictionary word), Thai (two words without a space between), accents.
    auto view = makeTextView(
        fnd::String(u"Hello \u4E16\u754C \u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35\u0E04\u0E23\u0E31\u0E1A caf\u00E9!"));
    std::vector<fnd::Index> forward, backward;
    for (int i = 0; i < 6; ++i) {
        key(FunctionKey::RightArrow, KeyCode::RightArrow, ControlKey);
        forward.push_back(view->selectedRange().location);
    }
    EXPECT_EQ(forward, (std::vector<fnd::Index> { 5, 8, 15, 19, 24, 25 }));
    for (int i = 0; i < 6; ++i) {
        key(FunctionKey::LeftArrow, KeyCode::LeftArrow, ControlKey);
        backward.push_back(view->selectedRange().location);
    }
    EXPECT_EQ(backward, (std::vector<fnd::Index> { 20, 15, 9, 6, 0, 0 }));
    // Deleting a word backwards from the end takes "café" but leaves the punctuation's neighbour alone.
    key(FunctionKey::End, KeyCode::End, ControlKey);
    key(Backspace, KeyCode::Delete, ControlKey);
    EXPECT_EQ(view->string().length(), 20);
}

TEST_F(TextViewTyping, LineParagraphAndDocumentMovesAndExtensions)
{
    auto view = makeTextView("first line\nsecond\n\nfourth");
    key(FunctionKey::DownArrow, KeyCode::DownArrow, 0);
    EXPECT_EQ(view->selectedRange().location, 11);
    key(FunctionKey::End, KeyCode::End, 0);
    EXPECT_EQ(view->selectedRange().location, 17) << "before the line break";
    key(FunctionKey::DownArrow, KeyCode::DownArrow, 0);
    EXPECT_EQ(view->selectedRange().location, 18) << "the empty line";
    key(FunctionKey::DownArrow, KeyCode::DownArrow, 0);
    EXPECT_EQ(view->selectedRange().location, 25) << "as far right as the column allows";
    key(FunctionKey::DownArrow, KeyCode::DownArrow, 0);
    EXPECT_EQ(view->selectedRange().location, 25) << "the end of the text";
    key(FunctionKey::UpArrow, KeyCode::UpArrow, ControlKey);
    EXPECT_EQ(view->selectedRange().location, 19);
    key(FunctionKey::UpArrow, KeyCode::UpArrow, ControlKey | Shift);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 18, 1 }));
    key(FunctionKey::Home, KeyCode::Home, ControlKey | Shift);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 19 })) << "the anchor stays where the extension began";
    key(FunctionKey::RightArrow, KeyCode::RightArrow, 0);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 19, 0 })) << "a selection collapses to its end";
    key(u'a', KeyCode::A, ControlKey);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 25 }));
}

TEST_F(TextViewTyping, TheDelegateSeesEveryChangeAndMayRefuseIt)
{
    auto view = makeTextView("abc");
    auto delegate = std::make_shared<RecordingTextDelegate>();
    view->setDelegate(delegate);
    key(FunctionKey::End, KeyCode::End, 0);
    type(u"de");
    key(Backspace, KeyCode::Delete, 0);
    EXPECT_EQ(
        delegate->log, (std::vector<std::string> { "shouldBegin", "didBegin", "didChange", "didChange", "didChange" }));
    ASSERT_EQ(delegate->changes.size(), 3u);
    EXPECT_EQ(delegate->changes[2].range, (fnd::Range { 4, 1 }));
    EXPECT_EQ(delegate->changes[2].replacement, "");
    delegate->allowChange = false;
    type(u"x");
    EXPECT_EQ(utf8(view->string()), "abcd");
    // A view that may not begin editing takes no typing at all.
    auto other = makeTextView("fixed", { 10, 200, 100, 40 });
    auto refusing = std::make_shared<RecordingTextDelegate>();
    refusing->allowBegin = false;
    other->setDelegate(refusing);
    type(u"y");
    EXPECT_EQ(utf8(other->string()), "fixed");
    EXPECT_EQ(refusing->log, (std::vector<std::string> { "shouldBegin" }));
}

TEST_F(TextViewTyping, TransposeAndDeletingToLineEnds)
{
    auto view = makeTextView("abcd\nefgh");
    view->setSelectedRange({ 2, 0 });
    view->transpose({});
    EXPECT_EQ(utf8(view->string()), "acbd\nefgh");
    view->setSelectedRange({ 4, 0 });
    view->transpose({}); // at the end of a line: the two characters before
    EXPECT_EQ(utf8(view->string()), "acdb\nefgh");
    view->setSelectedRange({ 7, 0 });
    view->deleteToEndOfLine({});
    EXPECT_EQ(utf8(view->string()), "acdb\nef");
    view->deleteToBeginningOfLine({});
    EXPECT_EQ(utf8(view->string()), "acdb\n");
}

TEST_F(TextViewTyping, TheCaretBlinksOnTheRunLoopAndTypingShowsIt)
{
    auto view = makeTextView("blink");
    EXPECT_TRUE(view->shouldDrawInsertionPoint());
    EXPECT_TRUE(view->isInsertionPointOn());
    auto runFor
        = [&](double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); };
    runFor(0.55);
    EXPECT_FALSE(view->isInsertionPointOn());
    runFor(0.5);
    EXPECT_TRUE(view->isInsertionPointOn());
    runFor(0.5);
    EXPECT_FALSE(view->isInsertionPointOn());
    type(u"!");
    EXPECT_TRUE(view->isInsertionPointOn()) << "typing shows the caret at once";
    // and starts the beat again: the caret stays a whole half second, past where the old beat would hide it.
    runFor(0.47);
    EXPECT_TRUE(view->isInsertionPointOn());
    runFor(0.05);
    EXPECT_FALSE(view->isInsertionPointOn());
    // Without the keyboard there is no caret.
    window->makeFirstResponder(nullptr);
    EXPECT_FALSE(view->shouldDrawInsertionPoint());
}

TEST_F(TextViewTyping, TypedTextTakesTheTypingAttributes)
{
    auto view = makeTextView();
    view->setRichText(true);
    auto plain = gfx::Font::fontWithName("DejaVu Sans", 12);
    auto big = gfx::Font::fontWithName("DejaVu Sans", 20);
    txt::AttributedString text("small", { { txt::FontAttributeName, plain } });
    text.appendAttributedString(txt::AttributedString("BIG", { { txt::FontAttributeName, big } }));
    view->setAttributedString(text);
    auto fontAt = [&](fnd::Index i) {
        return view->textStorage()->attributeAtIndex(txt::FontAttributeName, i).objectAs<gfx::Font>()->pointSize();
    };
    // Typing continues the look of the text before the caret.
    view->setSelectedRange({ 8, 0 });
    type(u"!");
    EXPECT_EQ(fontAt(8), 20);
    view->setSelectedRange({ 2, 0 });
    type(u"_");
    EXPECT_EQ(fontAt(2), 12);
    // Typing attributes set by hand hold until the selection moves.
    view->setTypingAttributes({ { txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Sans", 30) } });
    type(u"x");
    EXPECT_EQ(fontAt(3), 30);
    view->setSelectedRange({ 0, 0 });
    type(u"y");
    EXPECT_EQ(fontAt(0), 12);
}

TEST_F(TextViewTyping, ANewTextTakesTheViewsLookWhereTheTypingAttributesSayNothing)
{
    auto view = TextView::create({ 10, 10, 200, 60 });
    view->setRichText(true);
    add(view);
    auto font = [&] { return view->textStorage()->attributeAtIndex(txt::FontAttributeName, 0).objectAs<gfx::Font>(); };
    auto color = [&] {
        return view->textStorage()->attributeAtIndex(txt::ForegroundColorAttributeName, 0).objectAs<gfx::Color>();
    };
    auto setAnew = [&](const char* text) {
        view->setString({});
        view->setString(text);
    };
    // Nothing set: the user font at 12 points and the text colour.
    setAnew("abc");
    ASSERT_TRUE(font() && color());
    EXPECT_EQ(font()->familyName().utf8(), "DejaVu Sans");
    EXPECT_EQ(font()->pointSize(), 12);
    EXPECT_TRUE(color()->isEqual(*gfx::Color::textColor()));
    // A font of the view's own, then a colour: each keeps the other's default.
    view->setFont(gfx::Font::fontWithName("DejaVu Serif", 15));
    setAnew("def");
    EXPECT_EQ(font()->familyName().utf8(), "DejaVu Serif");
    EXPECT_EQ(font()->pointSize(), 15);
    EXPECT_TRUE(color()->isEqual(*gfx::Color::textColor()));
    view->setTextColor(gfx::Color::redColor());
    setAnew("ghi");
    EXPECT_EQ(font()->pointSize(), 15);
    EXPECT_TRUE(color()->isEqual(*gfx::Color::redColor()));
    // A plain-text view gives a new text its own look too.
    view->setRichText(false);
    view->setFont(gfx::Font::fontWithName("DejaVu Sans Mono", 11));
    setAnew("jkl");
    EXPECT_EQ(font()->familyName().utf8(), "DejaVu Sans Mono");
    EXPECT_EQ(font()->pointSize(), 11);
    EXPECT_TRUE(color()->isEqual(*gfx::Color::redColor()));
}

TEST_F(TextViewTyping, TheViewGrowsWithItsTextInsideItsInsets)
{
    auto view = makeTextView("", { 10, 10, 100, 40 });
    view->setTextContainerInset({ 10, 5 });
    view->setHorizontallyResizable(true);
    view->textContainer()->setWidthTracksTextView(false);
    view->textContainer()->setContainerSize({ 1e7, 1e7 });
    view->setMaxSize({ 300, 1e7 });
    type(u"A line that is longer than a hundred points");
    auto manager = view->layoutManager();
    auto used = manager->usedRectForTextContainer(*view->textContainer());
    EXPECT_DOUBLE_EQ(view->frame().width(), std::min(300.0, std::ceil(used.maxX() + 20)));
    EXPECT_EQ(view->textContainerOrigin(), (gfx::Point { 10, 5 }));
    // Lines added below grow it downwards; it never shrinks below the size it was made with.
    key(u'\r', KeyCode::Return);
    key(u'\r', KeyCode::Return);
    key(u'\r', KeyCode::Return);
    EXPECT_GT(view->frame().height(), 40);
    key(u'a', KeyCode::A, ModifierFlags::Command);
    key(0x7F, KeyCode::Delete);
    EXPECT_DOUBLE_EQ(view->frame().height(), 40);
    EXPECT_DOUBLE_EQ(view->frame().width(), 100);
}

TEST_F(TextViewTyping, CompletionOffersTheTextsWordsAndInsertsTheChosenOne)
{
    auto view = makeTextView("barcode banner bar ba");
    view->setSelectedRange({ 21, 0 });
    // Several words begin with "ba": the person picks the second from the menu.
    backend->answerNextPopUpMenu(1);
    key(0x1B, KeyCode::Escape);
    EXPECT_EQ(utf8(view->string()), "barcode banner bar banner");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 25, 0 }));
    // One candidate goes in at once; none beeps.
    type(u" barc");
    key(0x1B, KeyCode::Escape);
    EXPECT_EQ(utf8(view->string()), "barcode banner bar banner barcode");
    int beeps = backend->beepCount();
    type(u" zz");
    key(0x1B, KeyCode::Escape);
    EXPECT_EQ(backend->beepCount(), beeps + 1);
}

TEST_F(TextViewTyping, EditsOthersMakeToTheStorageKeepTheSelectionValid)
{
    auto view = makeTextView("0123456789");
    view->setSelectedRange({ 6, 2 });
    auto* storage = view->textStorage();
    storage->replaceCharactersInRange({ 0, 2 }, "abcd"); // before the selection: it moves along
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 8, 2 }));
    storage->replaceCharactersInRange({ 7, 4 }, "X"); // over it: the caret goes after the new text
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 8, 0 }));
    storage->deleteCharactersInRange({ 0, storage->length() });
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 0 }));
    type(u"ok");
    EXPECT_EQ(utf8(view->string()), "ok");
}

// A whole new text puts the caret at its start with one announced change of the selection, whatever the selection
// the replacement moved along.
TEST_F(TextViewTyping, ANewTextAnnouncesOneSelectionChange)
{
    auto view = makeTextView("0123456789");
    auto delegate = std::make_shared<RecordingTextDelegate>();
    view->setSelectedRange({ 4, 0 });
    view->setDelegate(delegate);
    view->setString("abc");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 0 }));
    EXPECT_EQ(delegate->selectionChanges, 1);
    view->setString("xy");
    EXPECT_EQ(delegate->selectionChanges, 1) << "the caret stayed at the start";
    view->setSelectedRange({ 1, 1 });
    delegate->selectionChanges = 0;
    view->setString("");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 0 }));
    EXPECT_EQ(delegate->selectionChanges, 1);
    type(u"ok");
    EXPECT_EQ(utf8(view->string()), "ok");
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 2, 0 }));
}

// Setting the font, colour or alignment reaches every character, also where only part of the text had them.
TEST_F(TextViewTyping, WholeTextSettersReachTextThatHadThemInPart)
{
    auto view = makeTextView("abcdef");
    view->setRichText(true);
    auto big = gfx::Font::userFontOfSize(20);
    auto* storage = view->textStorage();
    storage->addAttribute(txt::FontAttributeName, fnd::Value(big), { 0, 3 });
    view->setFont(gfx::Font::userFontOfSize(20)); // equal to what the first half has, another object
    fnd::Range run;
    auto font = storage->attributeAtIndex(txt::FontAttributeName, 5, &run).objectAs<gfx::Font>();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 20);
    EXPECT_EQ(run, (fnd::Range { 0, 6 }));

    auto red = gfx::Color::colorWithCalibratedRed(1, 0, 0, 1);
    storage->addAttribute(txt::ForegroundColorAttributeName, fnd::Value(red), { 3, 3 });
    view->setTextColor(gfx::Color::colorWithCalibratedRed(1, 0, 0, 1));
    auto color = storage->attributeAtIndex(txt::ForegroundColorAttributeName, 0, &run).objectAs<gfx::Color>();
    ASSERT_TRUE(color);
    EXPECT_EQ(color->redComponent(), 1);
    EXPECT_EQ(color->greenComponent(), 0);
    EXPECT_EQ(run, (fnd::Range { 0, 6 }));

    view->setAlignment(txt::TextAlignment::Center);
    auto right = txt::ParagraphStyle::defaultParagraphStyle();
    right->setAlignment(txt::TextAlignment::Right);
    storage->addAttribute(txt::ParagraphStyleAttributeName, fnd::Value(right), { 0, 6 });
    view->setAlignment(txt::TextAlignment::Center);
    EXPECT_EQ(view->alignment(), txt::TextAlignment::Center)
        << "the view's own style was centred already, the text's not";
}

TEST_F(TextViewTyping, ASelectableViewThatIsNotEditableCopiesButTakesNoTyping)
{
    auto view = makeTextView("read only");
    view->setEditable(false);
    EXPECT_TRUE(view->isSelectable());
    EXPECT_FALSE(view->shouldDrawInsertionPoint());
    int beeps = backend->beepCount();
    view->insertText(fnd::Value("x"));
    key(0x7F, KeyCode::Delete);
    EXPECT_EQ(utf8(view->string()), "read only");
    EXPECT_GE(backend->beepCount(), beeps + 2);
    key(FunctionKey::RightArrow, KeyCode::RightArrow, Shift);
    key(FunctionKey::RightArrow, KeyCode::RightArrow, ModifierFlags::Shift | ControlKey);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 4 }));
    key(u'c', KeyCode::C, ControlKey);
    EXPECT_EQ(Pasteboard::generalPasteboard()->stringForType(PasteboardType::String)->utf8(), "read");
}
