#include "TextTestSupport.h"

#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/ui/text/ComboBox.h"

using namespace ui;
using namespace texttest;

namespace {

class Chosen : public fnd::Object {
    FND_OBJECT(Chosen)
    static void describeClass(fnd::ClassBuilder<Chosen>& c) { c.action("chosen:", &Chosen::chosen); }

public:
    void chosen(const fnd::Value& sender)
    {
        auto box = sender.objectAs<ComboBox>();
        values.push_back(box ? box->objectValue() : fnd::Value());
    }
    std::vector<fnd::Value> values;
};
FND_REGISTER_CLASS(Chosen, fnd::Object)

// Serves numbers 10, 20, 30 ... and reads an item's text with the box's formatter.
class Tens : public ComboBoxDataSource {
public:
    long numberOfItemsInComboBox(ComboBox&) override { return count; }
    fnd::Value comboBoxObjectValueForItemAtIndex(ComboBox&, long index) override
    {
        return fnd::Value(10 * (index + 1));
    }
    std::optional<long> comboBoxIndexOfItemWithStringValue(ComboBox&, const fnd::String& string) override
    {
        asked.push_back(string.utf8());
        long value = string.integerValue();
        return value % 10 == 0 && value >= 10 && value <= 10 * count ? value / 10 - 1 : fnd::NotFound;
    }
    long count { 4 };
    std::vector<std::string> asked;
};

class ComboBoxTest : public TextTest {
protected:
    std::shared_ptr<ComboBox> makeBox(std::vector<fnd::Value> items = {})
    {
        auto box = ComboBox::create({ 20, 240, 200, 24 });
        box->addItemsWithObjectValues(items);
        box->setTarget(chosen);
        box->setAction("chosen:");
        add(box);
        return box;
    }
    std::shared_ptr<TextView> editor() const { return std::dynamic_pointer_cast<TextView>(window->firstResponder()); }

    std::shared_ptr<Chosen> chosen = std::make_shared<Chosen>();
};

std::vector<fnd::Value> fruit()
{
    return { fnd::Value("Apple"), fnd::Value("Apricot"), fnd::Value("Banana") };
}

}

TEST_F(ComboBoxTest, CompletesWhileTypingAndChoosesFromItsListByKeyboard)
{
    auto box = makeBox(fruit());
    box->setCompletes(true);
    window->makeFirstResponder(box);
    type(u"ap");
    EXPECT_EQ(utf8(editor()->string()), "Apple") << "the item's text, the part not typed selected";
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 2, 3 }));
    type(u"r");
    EXPECT_EQ(utf8(editor()->string()), "Apricot");
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 3, 4 }));
    key(Backspace, KeyCode::Delete);
    EXPECT_EQ(utf8(editor()->string()), "Apr") << "deleting does not complete again";
    // Down opens the list, and then walks it, showing each item's text.
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    ASSERT_TRUE(box->isListShown());
    EXPECT_TRUE(box->listWindow()->isVisible());
    EXPECT_EQ(box->listWindow()->parentWindow(), window);
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    EXPECT_EQ(box->highlightedIndex(), 1);
    EXPECT_EQ(utf8(editor()->string()), "Apricot");
    key(u'\r', KeyCode::Return);
    EXPECT_FALSE(box->isListShown());
    EXPECT_EQ(box->indexOfSelectedItem(), 1);
    EXPECT_EQ(chosen->values, (std::vector<fnd::Value> { fnd::Value("Apricot") }));
    // Escape closes an open list without choosing.
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    EXPECT_TRUE(box->isListShown());
    key(0x1B, KeyCode::Escape);
    EXPECT_FALSE(box->isListShown());
    EXPECT_EQ(chosen->values.size(), 1u);
}

TEST_F(ComboBoxTest, ChoosesFromItsListByMouse)
{
    auto box = makeBox(fruit());
    auto button = box->comboBoxCell()->buttonRectForBounds(box->bounds());
    click(*box, { button.midX(), button.midY() });
    ASSERT_TRUE(box->isListShown());
    // The list hangs under the box, as wide as it is, one row per item.
    auto list = box->listWindow()->frame();
    auto boxOnScreen = window->convertRectToScreen(box->convertRectToView(box->bounds(), nullptr));
    EXPECT_DOUBLE_EQ(list.maxY(), boxOnScreen.minY());
    EXPECT_DOUBLE_EQ(list.width(), boxOnScreen.width());
    EXPECT_DOUBLE_EQ(list.height(), 3 * box->itemHeight());
    snapshot("combo-box-list");
    auto listShot = backend->imageOfWindow(*box->listWindow());
    ASSERT_TRUE(listShot);
    // The third row, from the top of the list window.
    gfx::Point third { 40, list.height() - 2.5 * box->itemHeight() };
    backend->mouseDown(*box->listWindow(), third);
    backend->mouseUp(*box->listWindow(), third);
    dispatch();
    EXPECT_FALSE(box->isListShown());
    EXPECT_EQ(box->stringValue().utf8(), "Banana");
    EXPECT_EQ(box->indexOfSelectedItem(), 2);
    EXPECT_EQ(chosen->values, (std::vector<fnd::Value> { fnd::Value("Banana") }));
    // A press outside an open list closes it.
    click(*box, { button.midX(), button.midY() });
    ASSERT_TRUE(box->isListShown());
    backend->mouseDown(*window, { 350, 50 });
    backend->mouseUp(*window, { 350, 50 });
    dispatch();
    EXPECT_FALSE(box->isListShown());
}

TEST_F(ComboBoxTest, ParsesTypedTextWithItsFormatter)
{
    auto box = makeBox({ fnd::Value(1.5), fnd::Value(2.25) });
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    formatter->setLocale(fnd::Locale("en_US"));
    box->setFormatter(formatter);
    EXPECT_EQ(box->comboBoxCell()->itemStringAtIndex(1).utf8(), "2.25") << "items show through the formatter";
    EXPECT_EQ(box->indexOfItemWithStringValue("1.5"), 0);
    window->makeFirstResponder(box);
    type(u"3.75");
    key(u'\r', KeyCode::Return);
    ASSERT_EQ(chosen->values.size(), 1u);
    EXPECT_DOUBLE_EQ(chosen->values[0].doubleValue(), 3.75);
    EXPECT_TRUE(chosen->values[0].isNumber()) << "the value is the number the formatter read";
    // Text the formatter cannot read keeps the editor open and sends nothing.
    key(u'a', KeyCode::A, ModifierFlags::Command);
    type(u"lots");
    key(u'\r', KeyCode::Return);
    EXPECT_EQ(chosen->values.size(), 1u);
    EXPECT_EQ(utf8(editor()->string()), "lots");
    EXPECT_EQ(box->currentEditor(), editor());
}

TEST_F(ComboBoxTest, ADataSourceServesItemsAndFindsTypedOnes)
{
    auto box = makeBox();
    auto tens = std::make_shared<Tens>();
    box->setUsesDataSource(true);
    box->setDataSource(tens);
    EXPECT_EQ(box->numberOfItems(), 4);
    EXPECT_EQ(box->itemObjectValueAtIndex(2), fnd::Value(30));
    window->makeFirstResponder(box);
    type(u"20");
    EXPECT_EQ(box->indexOfSelectedItem(), 1) << "the typed text names the second item";
    EXPECT_EQ(tens->asked.back(), "20");
    type(u"5");
    EXPECT_EQ(box->indexOfSelectedItem(), -1);
    tens->count = 2;
    box->reloadData();
    key(FunctionKey::DownArrow, KeyCode::DownArrow);
    ASSERT_TRUE(box->isListShown());
    EXPECT_DOUBLE_EQ(box->listWindow()->frame().height(), 2 * box->itemHeight());
}
