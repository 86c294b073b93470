#include "TextTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/DatePicker.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TokenField.h"

#include <cmath>

using namespace ui;
using namespace texttest;

namespace {

using EditingLooks = TextTest;

}

// Every kind of text editing on one window, drawn for a person to look at (BARCODES_UI_SNAPSHOTS), with the
// pixels that show editing checked: the selection's colour and the caret in the field being edited.
TEST_F(EditingLooks, ATextViewAndFieldsWhileEditing)
{
    window->setFrame({ 100, 100, 460, 330 }, true);
    auto view = makeTextView({}, { 10, 140, 440, 160 });
    view->setRichText(true);
    auto font = gfx::Font::fontWithName("DejaVu Sans", 13);
    auto bold = gfx::FontManager::shared().convertFontToHaveTrait(font, gfx::FontTraitMask::Bold);
    txt::AttributedString text("Rich text", { { txt::FontAttributeName, bold } });
    text.appendAttributedString(txt::AttributedString(
        " in a text view: selected words, a red run, a link and wrapping lines that go on past the edge.\n"
        "\u05E9\u05DC\u05D5\u05DD, right to left, mixed with Latin.",
        { { txt::FontAttributeName, font } }));
    text.addAttribute(txt::ForegroundColorAttributeName, gfx::Color::colorWithCalibratedRed(0.8, 0, 0),
        text.string().rangeOfString("a red run"));
    text.addAttribute(
        txt::LinkAttributeName, fnd::Value("https://example.org/"), text.string().rangeOfString("a link"));
    view->setAttributedString(text);
    view->setSelectedRange(text.string().rangeOfString("selected words"));

    auto field = TextField::create({ 10, 110, 200, 24 });
    field->setStringValue("Editing here");
    add(field);
    auto secret = SecureTextField::create({ 220, 110, 120, 24 });
    secret->setStringValue("password");
    add(secret);
    auto combo = ComboBox::create({ 10, 75, 200, 24 });
    combo->addItemsWithObjectValues({ fnd::Value("Apple"), fnd::Value("Banana") });
    combo->setStringValue("Banana");
    add(combo);
    auto tokens = TokenField::create({ 220, 75, 230, 24 });
    tokens->setStringValue("one, two, three");
    add(tokens);
    auto picker = DatePicker::create({ 10, 40, 160, 24 });
    add(picker);

    // The text view shows its selection (grey: the field has the keyboard), the field its caret at the end.
    window->makeFirstResponder(field);
    auto editor = std::dynamic_pointer_cast<TextView>(window->firstResponder());
    ASSERT_TRUE(editor);
    editor->setSelectedRange({ 12, 0 });
    auto image = snapshot("text-editing");
    auto selected = pointOfCharacter(*view, text.string().rangeOfString("selected").location + 3);
    auto inSelection = pixelIn(*image, *view, { selected.x, selected.y - 5 });
    EXPECT_LT(luminance(inSelection), 245) << std::hex << inSelection << ": the selection's background";
    auto caret = editor->insertionPointRect();
    int dark = 0;
    for (double y = caret.minY() + 2; y < caret.maxY() - 2; y += 1)
        dark += luminance(pixelIn(*image, *editor, { std::floor(caret.minX()) + 0.5, y })) < 100 ? 1 : 0;
    EXPECT_GT(dark, 5) << "the caret";
    // With the keyboard, the selection takes the selection colour.
    window->makeFirstResponder(view);
    auto focused = snapshot("text-editing-view");
    EXPECT_NE(pixelIn(*focused, *view, { selected.x, selected.y - 5 }), inSelection);
}

namespace {

// A layout manager a text view subclass might install: it sees the background pass, selection included.
class RecordingLayoutManager : public txt::LayoutManager {
    FND_OBJECT(RecordingLayoutManager)
public:
    void drawBackgroundForGlyphRange(fnd::Range glyphRange, gfx::Point origin) override
    {
        backgrounds.push_back(glyphRange);
        txt::LayoutManager::drawBackgroundForGlyphRange(glyphRange, origin);
    }
    void fillBackgroundRectArray(
        std::span<const gfx::Rect> rects, fnd::Range characterRange, const gfx::Color& color) override
    {
        filled.push_back(characterRange);
        txt::LayoutManager::fillBackgroundRectArray(rects, characterRange, color);
    }
    std::vector<fnd::Range> backgrounds;
    std::vector<fnd::Range> filled;
};
FND_REGISTER_CLASS(RecordingLayoutManager, txt::LayoutManager)

}

TEST_F(EditingLooks, AReplacedLayoutManagerDrawsTheSelectionInItsBackgroundPass)
{
    auto view = makeTextView("one two three");
    auto* storage = view->textStorage();
    auto old = view->layoutManager();
    auto recording = fnd::makeObject<RecordingLayoutManager>();
    auto container = view->textContainer();
    recording->addTextContainer(container);
    storage->removeLayoutManager(*old);
    storage->addLayoutManager(recording);
    EXPECT_EQ(view->layoutManager(), recording);
    view->setSelectedRange({ 4, 3 });
    snapshot();
    ASSERT_FALSE(recording->backgrounds.empty());
    EXPECT_EQ(recording->backgrounds.back(), (fnd::Range { 0, 13 }));
    EXPECT_EQ(recording->filled, (std::vector<fnd::Range> { { 4, 3 } })) << "the selection, and only it";
}
