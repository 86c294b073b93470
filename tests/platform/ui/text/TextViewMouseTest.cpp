#include "TextTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/ViewAttachmentCell.h"
#include "platform/ui/views/Cursor.h"

using namespace ui;
using namespace texttest;

namespace {

using TextViewMouse = TextTest;

}

TEST_F(TextViewMouse, ClicksPlaceTheCaretAndMultipleClicksSelectWordsAndParagraphs)
{
    auto view = makeTextView("one two three\nsecond paragraph here\nthird");
    // Past the middle of a character the caret goes after it.
    auto t = pointOfCharacter(*view, 4);
    click(*view, { t.x + 2, t.y });
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 5, 0 }));
    click(*view, { t.x - 2, t.y });
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 4, 0 }));
    click(*view, t, 0, 2);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 4, 3 })) << "a double click selects the word";
    EXPECT_EQ(view->selectionGranularity(), SelectionGranularity::ByWord);
    click(*view, pointOfCharacter(*view, 20), 0, 3);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 14, 22 })) << "a triple click the paragraph, with its break";
    // Beyond the end of a line the caret stands at its end.
    click(*view, { 300, t.y });
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 13, 0 }));
}

TEST_F(TextViewMouse, DraggingSelectsAndShiftClickExtends)
{
    auto view = makeTextView("alpha beta gamma delta");
    auto from = pointOfCharacter(*view, 2);
    auto to = pointOfCharacter(*view, 12);
    auto delegate = std::make_shared<RecordingTextDelegate>();
    view->setDelegate(delegate);
    press(*view, { from.x - 2, from.y });
    drag(*view, { to.x - 5, to.y });
    drag(*view, { to.x + 2, to.y });
    release(*view, { to.x + 2, to.y });
    dispatch();
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 2, 11 }));
    EXPECT_EQ(delegate->selectionChanges, 1) << "observers hear of the selection once, when the mouse goes up";
    // Shift-click moves the far end; the start of the drag stays.
    auto far = pointOfCharacter(*view, 18);
    click(*view, { far.x + 2, far.y }, ModifierFlags::Shift);
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 2, 17 }));
    // Dragging backwards by words: both ends snap to whole words.
    auto b = pointOfCharacter(*view, 8);
    press(*view, b, 0, 2);
    drag(*view, pointOfCharacter(*view, 1));
    release(*view, pointOfCharacter(*view, 1), 2);
    dispatch();
    EXPECT_EQ(view->selectedRange(), (fnd::Range { 0, 10 }));
}

TEST_F(TextViewMouse, LinksOpenOnClickAndShowThePointingHand)
{
    auto view = makeTextView();
    view->setRichText(true);
    txt::AttributedString text("Visit ", { { txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Sans", 12) } });
    text.appendAttributedString(txt::AttributedString("the site",
        { { txt::FontAttributeName, gfx::Font::fontWithName("DejaVu Sans", 12) },
            { txt::LinkAttributeName, fnd::Value("https://example.org/") } }));
    text.appendAttributedString(txt::AttributedString(" today."));
    view->setAttributedString(text);
    auto delegate = std::make_shared<RecordingTextDelegate>();
    view->setDelegate(delegate);
    click(*view, pointOfCharacter(*view, 8));
    EXPECT_EQ(delegate->links, (std::vector<std::string> { "https://example.org/" }));
    EXPECT_EQ(backend->openedURLs().size(), 1u) << "a delegate that does not handle it leaves it to the application";
    // A press on the link that ends elsewhere opens nothing; a click on plain text places the caret.
    press(*view, pointOfCharacter(*view, 8));
    release(*view, pointOfCharacter(*view, 2));
    dispatch();
    EXPECT_EQ(delegate->links.size(), 1u);
    click(*view, pointOfCharacter(*view, 2));
    EXPECT_EQ(view->selectedRange().length, 0);
    // The pointing hand over the link, the I-beam elsewhere.
    view->resetCursorRects();
    auto link = pointOfCharacter(*view, 9);
    std::shared_ptr<SettableCursor> over, beside;
    for (const auto& r : view->cursorRects()) {
        if (gfx::pointInRect(link, r.rect))
            over = r.cursor;
        if (gfx::pointInRect(pointOfCharacter(*view, 2), r.rect))
            beside = r.cursor;
    }
    EXPECT_EQ(over, Cursor::pointingHandCursor());
    EXPECT_EQ(beside, Cursor::IBeamCursor());
    // Link runs are drawn in the link look: blue.
    auto image = snapshot("text-view-link");
    bool blue = false;
    auto p = pointOfCharacter(*view, 7);
    for (double dx = -3; dx <= 3; dx += 1)
        for (double dy = -4; dy <= 4; dy += 1) {
            auto px = pixelIn(*image, *view, { p.x + dx, p.y + dy });
            blue = blue || (gfx::blueOf(px) > 150 && gfx::redOf(px) < 100);
        }
    EXPECT_TRUE(blue);
}

TEST_F(TextViewMouse, AnAttachmentHostsItsViewAtItsRectAfterADrawPass)
{
    auto view = makeTextView();
    view->setRichText(true);
    auto button = Button::create({ 0, 0, 60, 22 }, "Press");
    auto cell = std::make_shared<ViewAttachmentCell>(button);
    auto attachment = std::make_shared<txt::TextAttachment>(cell);
    auto font = gfx::Font::fontWithName("DejaVu Sans", 12);
    txt::AttributedString text("Before ", { { txt::FontAttributeName, font } });
    text.appendAttributedString(txt::AttributedString(fnd::String(u"\uFFFC"),
        { { txt::FontAttributeName, font }, { txt::AttachmentAttributeName, fnd::Value(attachment) } }));
    text.appendAttributedString(txt::AttributedString(" after", { { txt::FontAttributeName, font } }));
    view->setAttributedString(text);
    EXPECT_FALSE(button->superview()) << "nothing is placed before the text is drawn";
    snapshot();
    ASSERT_EQ(button->superview(), view);
    auto manager = view->layoutManager();
    auto line = manager->lineFragmentRectForGlyphAtIndex(7);
    auto location = manager->locationForGlyphAtIndex(7);
    auto origin = view->textContainerOrigin();
    // The cell sits on the baseline: its bottom there, its left at the glyph's pen position.
    gfx::Rect expected { origin.x + line.minX() + location.x, origin.y + line.minY() + location.y - 22, 60, 22 };
    EXPECT_EQ(button->frame(), expected);
    EXPECT_FALSE(button->isHidden());
    EXPECT_DOUBLE_EQ(manager->attachmentSizeForGlyphAtIndex(7).width, 60);
    // Text typed before it moves it on the next draw.
    view->setSelectedRange({ 0, 0 });
    type(u"More ");
    snapshot("text-view-attachment");
    EXPECT_GT(button->frame().minX(), expected.minX());
}
