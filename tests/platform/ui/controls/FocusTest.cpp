#include "ControlsTestSupport.h"

#include "platform/ui/containers/Box.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/text/TextField.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

class FocusTest : public ControlsTest {
protected:
    // A 3 × 2 grid of buttons, added in scrambled order so the tree order is not the reading order:
    // row one (top) A B C, row two D E F.
    void makeGrid()
    {
        const char* names[] = { "E", "A", "F", "C", "B", "D" };
        for (const char* name : names) {
            int index = name[0] - 'A';
            double x = 10 + 100.0 * (index % 3);
            double y = index < 3 ? 180 : 120;
            auto button = Button::create({ x, y, 90, 30 }, name);
            add(button);
            buttons[name[0]] = button;
        }
    }

    std::string focused() const
    {
        auto button = std::dynamic_pointer_cast<Button>(window->firstResponder());
        return button ? button->title().utf8() : "-";
    }

    std::string tabs(int count, unsigned flags = 0)
    {
        std::string order;
        for (int i = 0; i < count; ++i) {
            key(u"\t", KeyCode::Tab, flags);
            order += focused();
        }
        return order;
    }

    std::map<char, std::shared_ptr<Button>> buttons;
};

TEST_F(FocusTest, TabWalksTheViewsInReadingOrder)
{
    makeGrid();
    EXPECT_EQ(tabs(7), "ABCDEFA");
    EXPECT_EQ(tabs(3, ModifierFlags::Shift), "FED");
    // Views that cannot take the keyboard are skipped.
    buttons['E']->setEnabled(false);
    buttons['F']->setHidden(true);
    buttons['A']->setRefusesFirstResponder(true);
    ASSERT_TRUE(window->makeFirstResponder(buttons['D']));
    EXPECT_EQ(tabs(3), "BCD");
}

TEST_F(FocusTest, BacktabWithNothingFocusedStartsAtTheEnd)
{
    makeGrid();
    // The window itself has the keyboard, as when the view that had it left: Shift+Tab comes in at the bottom right.
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(tabs(3, ModifierFlags::Shift), "FED");
}

TEST_F(FocusTest, ATallViewBesideAColumnOfRowsComesAfterTheWholeColumn)
{
    makeGrid();
    // A preview on the right, its top between the two rows' tops, its bottom below the second row: the rows come
    // first, row by row.
    auto preview = Button::create({ 320, 100, 150, 100 }, "P");
    add(preview);
    buttons['P'] = preview;
    window->recalculateKeyViewLoop();
    window->makeFirstResponder(buttons['A']);
    EXPECT_EQ(tabs(7), "BCDEFPA");
}

TEST_F(FocusTest, ExplicitLinksWinUntilTheLoopIsRecalculated)
{
    makeGrid();
    buttons['A']->setNextKeyView(buttons['F']);
    buttons['F']->setNextKeyView(buttons['B']);
    buttons['B']->setNextKeyView(buttons['A']);
    EXPECT_EQ(buttons['F']->previousKeyView(), buttons['A']);
    window->makeFirstResponder(buttons['A']);
    EXPECT_EQ(tabs(3), "FBA");
    EXPECT_EQ(tabs(1, ModifierFlags::Shift), "B");
    window->recalculateKeyViewLoop();
    window->makeFirstResponder(buttons['A']);
    EXPECT_EQ(tabs(2), "BC");
}

// Stands in for the text system's field editor.
class EditorView : public View {
    FND_OBJECT(EditorView)
public:
    bool acceptsFirstResponder() const override { return true; }
};
FND_REGISTER_CLASS(EditorView, View)

TEST_F(FocusTest, LoopStartsAtTheInitialViewAndGoesOnFromAnEditedField)
{
    // Views inside a box come in reading order with the rest.
    auto box = Box::create({ 10, 20, 300, 120 });
    add(box);
    auto inBox = TextField::create({ 10, 50, 120, 24 });
    inBox->setStringValue("in box");
    box->contentView()->addSubview(inBox);
    auto top = TextField::create({ 10, 180, 120, 24 });
    top->setStringValue("top");
    add(top);
    auto right = TextField::create({ 160, 180, 120, 24 });
    right->setStringValue("right");
    add(right);
    // A field being edited has the keyboard through its field editor, a subview of it.
    auto name = [&] {
        auto first = window->firstResponder();
        auto field = std::dynamic_pointer_cast<TextField>(first);
        if (auto view = std::dynamic_pointer_cast<View>(first); !field && view)
            field = std::dynamic_pointer_cast<TextField>(view->superview());
        return field ? field->stringValue().utf8() : std::string("-");
    };
    window->setInitialFirstResponder(right);
    key(u"\t", KeyCode::Tab);
    EXPECT_EQ(name(), "right") << "the loop starts at the initial first responder";
    EXPECT_EQ(window->keyViewSelectionDirection(), KeyViewSelectionDirection::Direct) << "only during the change";
    key(u"\t", KeyCode::Tab);
    EXPECT_EQ(name(), "in box");

    // While a field is edited the editor has the keyboard; Tab goes on from the field.
    auto editor = std::make_shared<EditorView>();
    editor->initWithFrame({});
    inBox->cell()->selectWithFrame(inBox->bounds(), *inBox, editor, nullptr, 0, 0);
    ASSERT_TRUE(window->makeFirstResponder(editor));
    key(u"\t", KeyCode::Tab);
    EXPECT_EQ(name(), "top");
}

TEST_F(FocusTest, ClickGivesTheKeyboardToControlsThatTakeIt)
{
    auto button = Button::create({ 10, 10, 90, 30 }, "Take");
    auto refusing = Button::create({ 110, 10, 90, 30 }, "Refuse");
    refusing->setRefusesFirstResponder(true);
    auto label = TextField::labelWithString("Label");
    label->setFrameOrigin({ 210, 15 });
    auto field = TextField::create({ 10, 60, 150, 24 });
    for (auto& v : std::vector<std::shared_ptr<View>> { button, refusing, label, field })
        add(v);
    click(*button);
    EXPECT_EQ(window->firstResponder(), button);
    click(*refusing);
    EXPECT_EQ(window->firstResponder(), button) << "a refusing control leaves the keyboard where it was";
    click(*label);
    EXPECT_EQ(window->firstResponder(), button);
    click(*field);
    // The field edits its text in the window's field editor, which has the keyboard on its behalf.
    EXPECT_EQ(window->firstResponder(), field->currentEditor());
    EXPECT_EQ(field->currentEditor()->superview(), field);
}

TEST_F(FocusTest, FocusRingSurroundsTheFirstResponderOfTheKeyWindow)
{
    auto button = Button::create({ 100, 100, 90, 30 }, "");
    add(button);
    auto plain = snapshot();
    window->makeFirstResponder(button);
    auto focused = snapshot("focus-ring");
    auto rgba = SystemColors::accentColor()->rgba();
    auto tinted = [&](std::uint32_t p) { return gfx::blueOf(p) > gfx::redOf(p) + 20; };
    // Just outside the face's left edge (the face is the frame inset by one point): the ring.
    EXPECT_TRUE(tinted(pixel(*focused, 100, 115))) << std::hex << pixel(*focused, 100, 115);
    EXPECT_FALSE(tinted(pixel(*plain, 100, 115)));
    EXPECT_FALSE(tinted(pixel(*focused, 94, 115))) << "the ring is a few points wide";
    EXPECT_EQ(pixel(*focused, 145, 115), pixel(*plain, 145, 115)) << "the face itself is unchanged";
    (void)rgba;

    // No ring while the window is not key, and none for a view that asks for none.
    auto other = Window::create({ 600, 100, 100, 100 });
    other->makeKeyAndOrderFront();
    EXPECT_FALSE(tinted(pixel(*snapshot(), 100, 115)));
    window->makeKeyAndOrderFront();
    EXPECT_TRUE(tinted(pixel(*snapshot(), 100, 115)));
    button->setFocusRingType(FocusRingType::None);
    button->noteFocusRingMaskChanged();
    EXPECT_FALSE(tinted(pixel(*snapshot(), 100, 115)));
}

TEST_F(FocusTest, FocusRingIsDrawnInDevicePixelsAtDoubleScale)
{
    backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 2 } });
    auto sharp = Window::create({ 100, 100, 200, 100 });
    sharp->makeKeyAndOrderFront();
    auto field = TextField::create({ 40, 40, 100, 24 });
    sharp->contentView()->addSubview(field);
    sharp->makeFirstResponder(field);
    auto image = backend->imageOfWindow(*sharp);
    auto pixels = image->pixelBuffer();
    // Along the middle row, leftwards from the field's edge (device x 80): the ring fades out over FocusRingOutset
    // points, that is six device pixels, not three.
    int row = pixels.height - 1 - 2 * 52;
    auto tint = [&](int x) {
        auto p = pixels.pixel(x, row);
        return int(gfx::blueOf(p)) - int(gfx::redOf(p));
    };
    EXPECT_GT(tint(79), 40);
    EXPECT_GT(tint(75), 40);
    EXPECT_LT(tint(72), 10);
}

}
