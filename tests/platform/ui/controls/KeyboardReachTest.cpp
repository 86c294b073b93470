// What the keyboard reaches beyond Tab: F6 between the parts of a window, the editing menu of a text field, and a
// Copy that passes on when no text is selected.
#include "ControlsTestSupport.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"

using namespace ui;
using namespace controlstest;

namespace {

// A container that copies something of its own, as a document view does.
class CopyingView : public View {
    FND_OBJECT(CopyingView)
    static void describeClass(fnd::ClassBuilder<CopyingView>& c) { c.action("copy:", &CopyingView::copy); }

public:
    void copy(const fnd::Value&) { ++copies; }
    int copies { 0 };
};

FND_REGISTER_CLASS(CopyingView, View)

class KeyboardReachTest : public ControlsTest {
protected:
    KeyboardReachTest()
    {
        form = View::create({ 0, 120, 320, 120 });
        first = TextField::create({ 10, 80, 200, 24 });
        second = TextField::create({ 10, 40, 200, 24 });
        form->addSubview(first);
        form->addSubview(second);
        preview = makeView<CopyingView>({ 0, 0, 320, 110 });
        inPreview = TextField::create({ 10, 40, 200, 24 });
        preview->addSubview(inPreview);
        add(form);
        add(preview);
    }
    // The control the keyboard is in (a field, for its editor).
    std::shared_ptr<View> keyboardIn()
    {
        auto view = std::dynamic_pointer_cast<View>(window->firstResponder());
        if (auto editor = std::dynamic_pointer_cast<TextView>(view); editor && editor->isFieldEditor())
            return editor->superview();
        return view;
    }
    std::shared_ptr<TextView> editor() { return std::dynamic_pointer_cast<TextView>(window->firstResponder()); }
    void f6(unsigned flags = 0) { key(fnd::String(std::u16string(1, char16_t(FunctionKey::F1 + 5))), 0x61, flags); }

    std::shared_ptr<View> form;
    std::shared_ptr<TextField> first, second, inPreview;
    std::shared_ptr<CopyingView> preview;
};

}

TEST_F(KeyboardReachTest, F6MovesTheKeyboardBetweenTheAreasAndShiftGoesBack)
{
    window->setKeyViewAreas({ form, preview });
    window->makeFirstResponder(second);
    f6();
    EXPECT_EQ(keyboardIn(), inPreview) << "the next area's first key view";
    f6();
    EXPECT_EQ(keyboardIn(), first) << "round again to the first area's first key view";
    f6(ModifierFlags::Shift);
    EXPECT_EQ(keyboardIn(), inPreview);
    // Hidden areas are passed over; with one area left F6 does nothing.
    preview->setHidden(true);
    window->makeFirstResponder(second);
    f6();
    EXPECT_EQ(keyboardIn(), second);
}

TEST_F(KeyboardReachTest, ARightClickOrTheMenuKeyOffersTheEditingMenuOfAField)
{
    first->setStringValue("4006381333931");
    // A right click edits the field and offers Cut, Copy, Paste, a line, Select All; Select All is chosen.
    backend->answerNextPopUpMenu(4);
    const auto middle = inWindow(*first, { 50, 12 });
    backend->rightMouseDown(*window, middle);
    backend->rightMouseUp(*window, middle);
    dispatch();
    EXPECT_EQ(backend->popUpMenuLocations().size(), 1u);
    ASSERT_TRUE(editor());
    EXPECT_EQ(keyboardIn(), first);
    EXPECT_EQ(editor()->selectedRange().length, 13u);

    // The menu key over the selection: Copy.
    backend->answerNextPopUpMenu(1);
    key(fnd::String(std::u16string(1, FunctionKey::Menu)), 0x6E);
    EXPECT_EQ(backend->popUpMenuLocations().size(), 2u);
    EXPECT_EQ(Pasteboard::generalPasteboard()->stringForType(PasteboardType::String).value_or(fnd::String()).utf8(),
        "4006381333931");

    auto menu = editor()->standardEditingMenu();
    std::vector<std::string> titles;
    for (const auto& item : menu->itemArray())
        titles.push_back(item->isSeparatorItem() ? "-" : item->title().utf8());
    EXPECT_EQ(titles, (std::vector<std::string> { "Cut", "Copy", "Paste", "-", "Select All" }));
}

TEST_F(KeyboardReachTest, CopyWithNothingSelectedPassesOnToWhatElseCopies)
{
    inPreview->setStringValue("text");
    window->makeFirstResponder(inPreview);
    ASSERT_TRUE(editor());
    editor()->setSelectedRange({ 2, 0 });
    auto copyItem = MenuItem::create("Copy", fnd::Selector("copy:"), "c");
    EXPECT_TRUE(editor()->validateUserInterfaceItem(fnd::Value(copyItem))) << "the view around the field copies";
    editor()->copy({});
    EXPECT_EQ(preview->copies, 1);
    // With text selected the text is copied, and nothing passes on.
    editor()->setSelectedRange({ 0, 4 });
    editor()->copy({});
    EXPECT_EQ(preview->copies, 1);

    // In a field nothing around copies: Copy without a selection is not available.
    window->makeFirstResponder(first);
    editor()->setSelectedRange({ 0, 0 });
    EXPECT_FALSE(editor()->validateUserInterfaceItem(fnd::Value(copyItem)));
}
