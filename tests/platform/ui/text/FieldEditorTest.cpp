#include "TextTestSupport.h"

#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextFieldCell.h"

using namespace ui;
using namespace texttest;

namespace {

// What a control's delegate hears while its text is edited, with the movement each end carried.
class FieldLog : public ControlTextEditingDelegate {
public:
    void controlTextDidBeginEditing(const fnd::Object& n) override { note("begin", n); }
    void controlTextDidChange(const fnd::Object& n) override { note("change", n); }
    void controlTextDidEndEditing(const fnd::Object& n) override
    {
        const auto& notification = static_cast<const fnd::Notification&>(n);
        note("end " + std::to_string(notification.userInfo().get(TextNotification::MovementKey).integerValue()), n);
    }
    bool controlTextShouldBeginEditing(Control&, View&) override { return allowBegin; }
    bool controlDidFailToFormatString(Control&, const fnd::String& string, const fnd::String&) override
    {
        failedStrings.push_back(string.utf8());
        return false;
    }

    void note(const std::string& what, const fnd::Object& n)
    {
        const auto& notification = static_cast<const fnd::Notification&>(n);
        auto control = notification.object().objectAs<Control>();
        log.push_back((control ? control->stringValue().utf8() + ": " : std::string()) + what);
        editors.push_back(notification.userInfo().get(ControlNotification::FieldEditorKey).objectAs<TextView>());
    }

    bool allowBegin { true };
    std::vector<std::string> log;
    std::vector<std::shared_ptr<TextView>> editors;
    std::vector<std::string> failedStrings;
};

class Receiver : public fnd::Object {
    FND_OBJECT(Receiver)
    static void describeClass(fnd::ClassBuilder<Receiver>& c) { c.action("fieldAction:", &Receiver::fieldAction); }

public:
    void fieldAction(const fnd::Value& sender)
    {
        auto field = sender.objectAs<TextField>();
        actions.push_back(field ? field->stringValue().utf8() : std::string("?"));
    }
    std::vector<std::string> actions;
};
FND_REGISTER_CLASS(Receiver, fnd::Object)

class FieldEditor : public TextTest {
protected:
    std::shared_ptr<TextField> field(gfx::Rect frame, const fnd::String& text = {})
    {
        auto f = TextField::create(frame);
        f->setStringValue(text);
        f->setDelegate(log);
        add(f);
        return f;
    }
    void tab(unsigned flags = 0) { key(u'\t', KeyCode::Tab, flags); }
    std::shared_ptr<TextView> editor() const { return std::dynamic_pointer_cast<TextView>(window->firstResponder()); }

    std::shared_ptr<FieldLog> log = std::make_shared<FieldLog>();
};

}

TEST_F(FieldEditor, TheDelegateHearsBeginChangePerKeystrokeAndEndWithTheMovement)
{
    auto first = field({ 10, 250, 150, 24 });
    auto second = field({ 10, 200, 150, 24 }, "two");
    auto receiver = std::make_shared<Receiver>();
    second->setTarget(receiver);
    second->setAction("fieldAction:");
    window->makeFirstResponder(first);
    ASSERT_TRUE(editor());
    EXPECT_EQ(first->currentEditor(), editor());
    EXPECT_TRUE(editor()->isFieldEditor());
    type(u"ab");
    tab();
    EXPECT_EQ(first->stringValue().utf8(), "ab");
    // (While editing, the control's value is the editor's text.)
    EXPECT_EQ(log->log, (std::vector<std::string> { ": begin", "a: change", "ab: change", "ab: end 17" }));
    for (const auto& e : log->editors)
        EXPECT_EQ(e, window->fieldEditor(false, nullptr)) << "every notification names the one field editor";
    // Tab moved the keyboard to the next key view, with its whole text selected for typing over.
    EXPECT_EQ(second->currentEditor(), editor());
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 0, 3 }));
    type(u"2");
    key(u'\r', KeyCode::Return);
    EXPECT_EQ(receiver->actions, (std::vector<std::string> { "2" }));
    EXPECT_EQ(log->log.back(), "2: end 16");
    EXPECT_EQ(second->currentEditor(), editor()) << "after Return the field keeps the keyboard";
    tab(ModifierFlags::Shift);
    EXPECT_EQ(log->log.back(), "2: end 18");
    EXPECT_EQ(first->currentEditor(), editor());
    EXPECT_FALSE(second->currentEditor());
}

TEST_F(FieldEditor, ClickingAnotherFieldEndsEditingWithoutAMovement)
{
    auto first = field({ 10, 250, 150, 24 });
    auto second = field({ 10, 200, 150, 24 }, "two");
    window->makeFirstResponder(first);
    type(u"x");
    click(*second, { 100, 12 });
    EXPECT_EQ(log->log.back(), "x: end 0");
    EXPECT_EQ(second->currentEditor(), editor());
    // The click placed the caret where it landed (after the text), not a selection of everything.
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 3, 0 }));
}

TEST_F(FieldEditor, AFormatterRefusesBadTextWithoutLosingWhatWasTyped)
{
    auto number = field({ 10, 250, 150, 24 });
    auto next = field({ 10, 200, 150, 24 });
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    number->setFormatter(formatter);
    window->makeFirstResponder(number);
    type(u"12x");
    int beeps = backend->beepCount();
    tab();
    EXPECT_EQ(number->currentEditor(), editor()) << "editing goes on";
    EXPECT_EQ(utf8(editor()->string()), "12x") << "the typed text stays";
    EXPECT_EQ(log->failedStrings, (std::vector<std::string> { "12x" }));
    EXPECT_GT(backend->beepCount(), beeps);
    EXPECT_EQ(
        std::count_if(log->log.begin(), log->log.end(), [](const auto& s) { return s.find("end") != s.npos; }), 0);
    key(Backspace, KeyCode::Delete);
    tab();
    EXPECT_EQ(next->currentEditor(), editor());
    EXPECT_EQ(number->integerValue(), 12);
}

TEST_F(FieldEditor, AControlThatMayNotBeginEditingTakesNoTyping)
{
    auto locked = field({ 10, 250, 150, 24 }, "locked");
    log->allowBegin = false;
    window->makeFirstResponder(locked);
    type(u"zz");
    EXPECT_EQ(locked->stringValue().utf8(), "locked");
    EXPECT_TRUE(log->log.empty());
}

TEST_F(FieldEditor, EndEditingForEndsEditingEvenWhenTheControlWouldKeepIt)
{
    auto number = field({ 10, 250, 150, 24 });
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    number->setFormatter(formatter);
    window->makeFirstResponder(number);
    type(u"no");
    window->endEditingFor(number.get());
    EXPECT_FALSE(number->currentEditor());
    EXPECT_EQ(log->log.back(), "no: end 0");
    EXPECT_EQ(window->firstResponder().get(), window.get());
}

TEST_F(FieldEditor, SecureFieldsShowBulletsAndKeepTheirTextOffThePasteboard)
{
    auto secret = SecureTextField::create({ 10, 250, 150, 24 });
    add(secret);
    window->makeFirstResponder(secret);
    type(u"hunter2");
    auto pasteboard = Pasteboard::generalPasteboard();
    pasteboard->declareTypes({ PasteboardType::String });
    pasteboard->setString("before", PasteboardType::String);
    key(u'a', KeyCode::A, ModifierFlags::Command);
    int beeps = backend->beepCount();
    key(u'c', KeyCode::C, ModifierFlags::Command);
    EXPECT_GT(backend->beepCount(), beeps);
    EXPECT_EQ(pasteboard->stringForType(PasteboardType::String)->utf8(), "before");
    // The editor shows seven bullets of equal width, not the letters.
    auto manager = editor()->layoutManager();
    auto bullet = manager->glyphAtIndex(0);
    for (fnd::Index i = 1; i < 7; ++i)
        EXPECT_EQ(manager->glyphAtIndex(i), bullet);
    EXPECT_NE(manager->fontForGlyphAtIndex(0)->glyphForCharacter(U'h'), bullet);
    tab();
    EXPECT_EQ(secret->stringValue().utf8(), "hunter2");
    // Drawn without an editor, the field shows bullets too: its text is never drawn.
    window->makeFirstResponder(nullptr);
    EXPECT_FALSE(secret->currentEditor());
    auto image = snapshot("secure-field");
    int dark = 0;
    for (double x = 16; x < 80; x += 1)
        dark += luminance(pixelIn(*image, *secret, { x, 12 })) < 120 ? 1 : 0;
    EXPECT_GT(dark, 5) << "bullets along the middle of the line";
}

namespace {

// A control with two text cells of its own, edited in turn with the window's field editor, as compound controls
// (a date control's day and month cells) do: Tab goes from the first cell to the second, then on.
class TwoCells : public Control {
    FND_OBJECT(TwoCells)
public:
    static std::shared_ptr<TwoCells> make(gfx::Rect frame)
    {
        auto control = std::make_shared<TwoCells>();
        control->initWithFrame(frame);
        for (auto& cell : control->cells) {
            cell = fnd::makeObject<TextFieldCell>();
            cell->setControlView(control);
        }
        return control;
    }
    gfx::Rect rectOf(int i) const { return { i * bounds().width() / 2, 0, bounds().width() / 2, bounds().height() }; }
    void editCell(int i)
    {
        auto editor = window()->fieldEditor(true, this);
        edited = i;
        cells[i]->selectWithFrame(rectOf(i), *this, editor, shared_from_this(), 0, cells[i]->stringValue().length());
    }
    void textDidEndEditing(const fnd::Notification& n) override
    {
        auto editor = n.object().objectAs<TextView>();
        cells[edited]->setStringValue(editor->string());
        bool toSecond
            = n.userInfo().get(TextNotification::MovementKey).integerValue() == TextMovement::Tab && edited == 0;
        if (toSecond && handsOver)
            cells[edited]->handOverFieldEditor(editor);
        else
            cells[edited]->endEditing(editor);
        if (toSecond)
            editCell(1);
    }
    bool acceptsFirstResponder() const override { return true; }

    std::shared_ptr<TextFieldCell> cells[2];
    int edited { -1 };
    bool handsOver { false };
};
FND_REGISTER_CLASS(TwoCells, Control)

}

TEST_F(FieldEditor, AControlEditsItsOwnCellsInTurnWithTheSharedEditor)
{
    auto control = TwoCells::make({ 10, 250, 200, 24 });
    add(control);
    control->editCell(0);
    ASSERT_TRUE(editor());
    EXPECT_EQ(editor()->superview(), control);
    type(u"ab");
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(control->cells[0]->stringValue().utf8(), "ab");
    EXPECT_EQ(control->cells[1]->currentFieldEditor(), editor()) << "the same editor, now in the second cell";
    EXPECT_GE(editor()->frame().minX(), 100);
    EXPECT_EQ(utf8(editor()->string()), "") << "a fresh text for the second cell";
    type(u"cd");
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(control->cells[1]->stringValue().utf8(), "cd");
    EXPECT_FALSE(control->cells[1]->currentFieldEditor());
}

// Handed over, the editor stays in the control with the keyboard and takes the second cell's text and look in full,
// the text it still had from the first cell notwithstanding.
TEST_F(FieldEditor, AHandedOverEditorTakesTheNextCellsTextAndLook)
{
    auto control = TwoCells::make({ 10, 250, 200, 24 });
    control->handsOver = true;
    control->cells[1]->setStringValue("second");
    control->cells[1]->setFont(gfx::Font::userFontOfSize(20));
    control->cells[1]->setAlignment(txt::TextAlignment::Right);
    add(control);
    control->editCell(0);
    auto first = editor();
    ASSERT_TRUE(first);
    type(u"ab");
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(control->cells[0]->stringValue().utf8(), "ab");
    EXPECT_FALSE(control->cells[0]->currentFieldEditor());
    EXPECT_EQ(control->cells[1]->currentFieldEditor(), first);
    EXPECT_EQ(editor(), first) << "the keyboard stayed with the editor";
    int editors = 0;
    for (const auto& view : control->subviews())
        editors += view == first;
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(utf8(first->string()), "second");
    EXPECT_EQ(first->selectedRange(), (fnd::Range { 0, 6 }));
    fnd::Range run;
    auto font = first->textStorage()->attributeAtIndex(txt::FontAttributeName, 0, &run).objectAs<gfx::Font>();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 20);
    EXPECT_EQ(run, (fnd::Range { 0, 6 }));
    EXPECT_EQ(first->alignment(), txt::TextAlignment::Right);
    EXPECT_GE(first->frame().minX(), 100);
    type(u"cd");
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(control->cells[1]->stringValue().utf8(), "cd");
    EXPECT_EQ(first->superview(), nullptr) << "the last cell's end takes the editor out";
}

TEST_F(FieldEditor, AContinuousFieldSendsItsActionWithEveryChange)
{
    auto live = field({ 10, 250, 150, 24 });
    auto receiver = std::make_shared<Receiver>();
    live->setTarget(receiver);
    live->setAction("fieldAction:");
    live->setContinuous(true);
    window->makeFirstResponder(live);
    type(u"abc");
    EXPECT_EQ(receiver->actions, (std::vector<std::string> { "a", "ab", "abc" }));
}
