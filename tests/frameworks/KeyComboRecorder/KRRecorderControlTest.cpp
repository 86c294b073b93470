#include "RecorderTestSupport.h"

#include "frameworks/KeyComboRecorder/KRSharedImageProvider.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Image.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <cmath>

namespace {

using namespace krtest;

// A model object with a "shortcut" key, to bind the recorder's value to.
class ShortcutModel : public fnd::Object {
    FND_OBJECT(ShortcutModel)
    static void describeClass(fnd::ClassBuilder<ShortcutModel>& c)
    {
        c.property("shortcut", &ShortcutModel::m_shortcut);
    }

public:
    fnd::Value m_shortcut;
};
FND_REGISTER_CLASS(ShortcutModel, fnd::Object)

// Wraps the dictionary one level deeper, and back.
class WrappingTransformer : public fnd::ValueTransformer {
public:
    fnd::Value transformedValue(const fnd::Value& value) const override
    {
        return value.isDictionary() ? value.dictionary()->get("wrapped") : fnd::Value();
    }
    fnd::Value reverseTransformedValue(const fnd::Value& value) const override
    {
        return fnd::Dictionary { { "wrapped", value } };
    }
};

using KRRecorderControlTest = RecorderTest;

TEST_F(KRRecorderControlTest, SizeIsFixedInHeight)
{
    control->setFrame({ { 0, 0 }, { 30, 40 } });
    EXPECT_EQ(control->frame().size, (gfx::Size { 50, 22 }));
    control->setFrameSize({ 120, 10 });
    EXPECT_EQ(control->frame().size, (gfx::Size { 120, 22 }));
    control->setFrameSize({ std::nan(""), 10 });
    EXPECT_EQ(control->frame().size, (gfx::Size { 50, 22 })) << "a width that is not a number takes the least";
}

// The value is a dictionary; a combination the cell shows as empty has none, and key-only combinations, where they
// are allowed, reach bindings.
TEST_F(KRRecorderControlTest, ValueDictionary)
{
    EXPECT_TRUE(control->objectValue().isNil());
    control->setAllowsKeyOnly(true);
    control->setKeyCombo({ 0, KeyA });
    auto value = control->objectValue();
    ASSERT_TRUE(value.isDictionary());
    EXPECT_EQ(value.dictionary()->get("keyCode").integerValue(), 0);
    EXPECT_EQ(value.dictionary()->get("modifierFlags").integerValue(), 0);
    EXPECT_EQ(value.dictionary()->get("characters").stringValue().utf8(), "A");

    control->setObjectValue(fnd::Dictionary { { "keyCode", 0 }, { "modifierFlags", 0x100000 | 0x10000 } });
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyA })) << "flags filtered by the cell";
    control->setObjectValue(fnd::String("Ctrl+A"));
    EXPECT_EQ(control->keyCombo(), KREmptyKeyCombo);
    control->setObjectValue(fnd::Dictionary { { "keyCode", 0 } });
    EXPECT_EQ(control->keyCombo(), KREmptyKeyCombo) << "both numbers are needed";
    EXPECT_EQ(control->valueClassForBinding("value").utf8(), "NSDictionary");
}

// What the cell shows as "Click to record shortcut" has no value: a key without modifiers where key-only
// combinations are not allowed, and a key code that names no key.
TEST_F(KRRecorderControlTest, ACombinationShownAsEmptyHasNoValue)
{
    control->setAllowsKeyOnly(false);
    const std::vector<std::pair<const char*, _KeyCombo>> empty {
        { "A without modifiers", { 0, KeyA } },
        { "command with key code -5", { Command, -5 } },
        { "command with no key", { Command, -1 } },
    };
    for (const auto& [what, combo] : empty) {
        control->setKeyCombo(combo);
        EXPECT_TRUE(control->keyComboString().isEmpty()) << what;
        EXPECT_TRUE(control->objectValue().isNil()) << what;
    }
    control->setObjectValue(fnd::Dictionary { { "keyCode", 0 }, { "modifierFlags", 0 } });
    EXPECT_TRUE(control->objectValue().isNil()) << "keyCode 0 without modifiers";

    control->setKeyCombo({ Command, KeyA });
    EXPECT_FALSE(control->keyComboString().isEmpty());
    ASSERT_TRUE(control->objectValue().isDictionary());
    EXPECT_EQ(control->objectValue().dictionary()->get("keyCode").integerValue(), KeyA);
}

TEST_F(KRRecorderControlTest, AllowsKeyOnlyResetsEscapeKeysRecord)
{
    control->setAllowsKeyOnlyEscapeKeysRecord(false, true);
    control->setAllowsKeyOnly(true);
    EXPECT_TRUE(control->allowsKeyOnly());
    EXPECT_FALSE(control->escapeKeysRecord());
}

// The "value" binding shows the model's value and receives what the person records, through its transformer.
TEST_F(KRRecorderControlTest, BindingPushesAndReceivesValues)
{
    auto model = fnd::makeObject<ShortcutModel>();
    model->setValueForKey(fnd::Dictionary { { "keyCode", 12 }, { "modifierFlags", 0x100000 } }, "shortcut");
    control->bind("value", *model, "shortcut");
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, 12 })) << "the model's value is shown";

    startRecording();
    key("k", KeyK, Flags::Command | Flags::Shift, "K");
    auto stored = model->valueForKey("shortcut");
    ASSERT_TRUE(stored.isDictionary());
    EXPECT_EQ(stored.dictionary()->get("keyCode").integerValue(), KeyK);
    EXPECT_EQ(stored.dictionary()->get("modifierFlags").integerValue(), static_cast<std::int64_t>(Command | Shift));
    ASSERT_EQ(delegate->changes.size(), 2u) << "the bound value and the recorded one";

    // Clearing with the remove button writes nil.
    auto remove = cell->_removeButtonRectForFrame(control->bounds());
    clickAt({ remove.midX(), remove.midY() });
    EXPECT_TRUE(model->valueForKey("shortcut").isNil());
    control->unbind("value");

    // Through a reversible transformer.
    fnd::Dictionary options { { fnd::BindingOption::ValueTransformer,
        fnd::Value(std::make_shared<WrappingTransformer>()) } };
    model->setValueForKey(
        fnd::Dictionary { { "wrapped", fnd::Dictionary { { "keyCode", 3 }, { "modifierFlags", 0x80000 } } } },
        "shortcut");
    control->bind("value", *model, "shortcut", options);
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { 0x80000, 3 }));
    startRecording();
    key("k", KeyK, Flags::Command, "k");
    auto wrapped = model->valueForKey("shortcut");
    ASSERT_TRUE(wrapped.isDictionary());
    EXPECT_EQ(wrapped.dictionary()->get("wrapped").dictionary()->get("keyCode").integerValue(), KeyK);
    control->unbind("value");
}

// A model that counts what is written to its "shortcut" key.
class CountingShortcutModel : public fnd::Object {
    FND_OBJECT(CountingShortcutModel)
    static void describeClass(fnd::ClassBuilder<CountingShortcutModel>& c)
    {
        c.property("shortcut", &CountingShortcutModel::shortcut, &CountingShortcutModel::setShortcut);
    }

public:
    fnd::Value shortcut() const { return m_shortcut; }
    void setShortcut(const fnd::Value& value)
    {
        m_shortcut = value;
        ++writes;
    }
    fnd::Value m_shortcut;
    int writes { 0 };
};
FND_REGISTER_CLASS(CountingShortcutModel, fnd::Object)

// Allowing key-only combinations or not changes what a key-only combination's recorder shows and its value, and the
// bound model hears of it as of any change; a combination with modifiers is not touched.
TEST_F(KRRecorderControlTest, AllowingKeyOnlyOrNotReachesTheBoundModel)
{
    auto model = fnd::makeObject<CountingShortcutModel>();
    control->setAllowsKeyOnly(true);
    model->setValueForKey(fnd::Dictionary { { "keyCode", KeyQ }, { "modifierFlags", 0 } }, "shortcut");
    control->bind("value", *model, "shortcut");
    ASSERT_EQ(control->keyCombo(), (_KeyCombo { 0, KeyQ }));
    ASSERT_TRUE(control->objectValue().isDictionary());
    delegate->changes.clear();
    model->writes = 0;

    control->setAllowsKeyOnly(false);
    EXPECT_TRUE(control->keyComboString().isEmpty()) << "the recorder shows no combination";
    EXPECT_TRUE(control->objectValue().isNil());
    EXPECT_TRUE(model->shortcut().isNil()) << "the model still held the key-only combination";
    EXPECT_EQ(model->writes, 1);
    EXPECT_EQ(delegate->changes.size(), 1u) << "the delegate hears of it as of any change";

    // Allowed again, the combination the recorder kept shows again, and the model has it back.
    control->setAllowsKeyOnly(true);
    auto restored = model->shortcut();
    ASSERT_TRUE(restored.isDictionary());
    EXPECT_EQ(restored.dictionary()->get("keyCode").integerValue(), KeyQ);
    EXPECT_EQ(restored.dictionary()->get("modifierFlags").integerValue(), 0);
    EXPECT_EQ(model->writes, 2);
    control->setAllowsKeyOnly(true);
    EXPECT_EQ(model->writes, 2) << "setting the same flag again changes nothing";
    control->unbind("value");

    // A combination with modifiers is a combination either way: nothing is written, nobody is told.
    model->setValueForKey(fnd::Dictionary { { "keyCode", KeyK }, { "modifierFlags", 0x100000 } }, "shortcut");
    control->bind("value", *model, "shortcut");
    ASSERT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyK }));
    delegate->changes.clear();
    model->writes = 0;
    control->setAllowsKeyOnly(false);
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyK }));
    ASSERT_TRUE(control->objectValue().isDictionary());
    EXPECT_EQ(control->objectValue().dictionary()->get("keyCode").integerValue(), KeyK);
    EXPECT_EQ(model->writes, 0);
    EXPECT_TRUE(delegate->changes.empty());
    control->unbind("value");
}

// Keys typed while another view has the keyboard are not taken; the control's own keyDown always offers them.
TEST_F(KRRecorderControlTest, KeysOnlyWhenFirstResponder)
{
    auto other = ui::View::create({ { 0, 0 }, { 10, 10 } });
    add(other);
    window->makeFirstResponder(nullptr);
    auto space = ui::Event::keyEventWithType(
        ui::EventType::KeyDown, {}, 0, 0, window->windowNumber(), " ", " ", false, KeyCode::Space);
    EXPECT_FALSE(control->performKeyEquivalent(*space));
    EXPECT_FALSE(cell->isRecording());
    control->keyDown(*space);
    EXPECT_TRUE(cell->isRecording());
}

// Mouse: a click in the text area starts recording, the snap-back button ends it keeping the combination, the remove
// button clears and stores the empty combination; a drag off the button does nothing.
TEST_F(KRRecorderControlTest, ButtonsAndTextArea)
{
    control->setKeyCombo({ Command, KeyA });
    const auto bounds = control->bounds();
    const auto remove = cell->_removeButtonRectForFrame(bounds);
    EXPECT_FALSE(remove.isEmpty());
    EXPECT_DOUBLE_EQ(remove.midY(), bounds.midY()) << "the button is centred";
    // Centred in a frame that does not start at zero too (a cell drawn lower in a view).
    const gfx::Rect lower { { 0, 10 }, { 200, 22 } };
    EXPECT_DOUBLE_EQ(cell->_removeButtonRectForFrame(lower).midY(), 21);
    EXPECT_DOUBLE_EQ(cell->_snapbackRectForFrame(lower).midY(), 22);

    clickAt({ 30, 11 });
    EXPECT_TRUE(cell->isRecording());
    const auto snapback = cell->_snapbackRectForFrame(bounds);
    clickAt({ snapback.midX(), snapback.midY() });
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyA })) << "snapping back keeps the combination";

    // Pressed on the button, dragged off and released outside the text area: nothing.
    auto press = control->convertPointToView({ remove.midX(), remove.midY() }, nullptr);
    auto away = control->convertPointToView({ remove.midX(), 60 }, nullptr);
    backend->mouseDown(*window, press);
    backend->mouseDragged(*window, away);
    backend->mouseUp(*window, away);
    dispatch();
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyA }));

    clickAt({ remove.midX(), remove.midY() });
    EXPECT_EQ(control->keyCombo(), KREmptyKeyCombo);
    EXPECT_TRUE(cell->_removeButtonRectForFrame(bounds).isEmpty()) << "an empty cell has no remove button";
}

// What the recorder shows: the white field with the dark combination text and the remove button while idle, the
// accent gradient while recording.
TEST_F(KRRecorderControlTest, DrawsItsStates)
{
    control->setKeyCombo({ Command | Shift, KeyK });
    window->makeFirstResponder(nullptr);
    auto idle = snapshot("recorder-idle");
    int dark = 0;
    for (double y = 5; y < 18; y += 1) {
        for (double x = 60; x < 160; x += 1)
            dark += luminance(pixelIn(*idle, *control, { x, y })) < 128;
    }
    EXPECT_GT(dark, 3) << "the combination's text";
    EXPECT_GT(luminance(pixelIn(*idle, *control, { 12, 11 })), 240) << "white field";
    const auto remove = cell->_removeButtonRectForFrame(control->bounds());
    EXPECT_LT(luminance(pixelIn(*idle, *control, { remove.minX() + 2, remove.midY() })), 200) << "remove button";

    window->makeFirstResponder(control);
    startRecording();
    auto recording = snapshot("recorder-recording");
    auto edge = pixelIn(*recording, *control, { 186, 3 });
    EXPECT_NE(gfx::redOf(edge), gfx::blueOf(edge)) << "the accent-coloured gradient behind the snap-back arrow";
    EXPECT_GT(luminance(pixelIn(*recording, *control, { 30, 11 })), 200) << "the white field inside";
}

TEST_F(KRRecorderControlTest, ImagesAndEasing)
{
    for (const char* name :
        { "KRSnapback", "KRRemoveShortcut", "KRRemoveShortcutRollover", "KRRemoveShortcutPressed" }) {
        auto image = KRSharedImageProvider::supportingImageWithName(name);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->size(), (gfx::Size { 14, 14 }));
        EXPECT_EQ(KRSharedImageProvider::supportingImageWithName(name), image) << "made once";
    }
    EXPECT_FALSE(KRSharedImageProvider::supportingImageWithName("KRNoSuchImage"));
    EXPECT_NEAR(KRRecorderEaseInOut(0), 0, 1e-12);
    EXPECT_NEAR(KRRecorderEaseInOut(0.5), 0.5, 1e-12);
    EXPECT_NEAR(KRRecorderEaseInOut(1), 1, 1e-12);
}

}

namespace {

using namespace krtest;

// An interface file names the class and sets its keys; the stored combination of its autosave name shows.
TEST_F(KRRecorderControlTest, MadeByAnInterfaceFile)
{
    fnd::UserDefaults::standardUserDefaults().setObject(
        fnd::Dictionary { { "keyCode", 40 }, { "modifierFlags", 0x120000 } }, "KeyComboRecorder From File");
    auto xml = fnd::Data::fromString(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="recorder" class="KRRecorderControl">
    <rect key="frame" x="10" y="10" width="30" height="40"/>
    <string key="autosaveName">From File</string>
    <bool key="canCaptureGlobalHotKeys">true</bool>
    <integer key="style">1</integer>
  </object>
</interface>
)");
    auto contents = ui::InterfaceFile::load(xml);
    ASSERT_TRUE(contents) << contents.error().localizedDescription().utf8();
    auto made = std::dynamic_pointer_cast<KRRecorderControl>(contents->topLevelObjects.front());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->frame().size, (gfx::Size { 50, 22 }));
    EXPECT_EQ(made->keyCombo(), (_KeyCombo { Command | Shift, KeyK }));
    EXPECT_TRUE(made->canCaptureGlobalHotKeys());
    EXPECT_EQ(made->style(), 1);
}

}

// Assistive technologies read the combination in words (the control draws symbols), the prompt as help, and start
// and cancel recording through the control's actions, hearing each change.
TEST_F(KRRecorderControlTest, AssistiveTechnologiesReadTheCombinationInWordsAndRecordThroughActions)
{
    namespace A = ui::AccessibilityAttribute;
    struct Recorder : ui::AccessibilityObserver {
        Recorder() { ui::addAccessibilityObserver(this); }
        ~Recorder() override { ui::removeAccessibilityObserver(this); }
        void accessibilityNotification(ui::AccessibilityElement& element, const fnd::String& name) override
        {
            heard += name == ui::AccessibilityNotification::ValueChanged && &element == watched;
        }
        void accessibilityElementDestroyed(const ui::AccessibilityElement*) override { }
        const ui::AccessibilityElement* watched { nullptr };
        int heard { 0 };
    } recorder;
    recorder.watched = control.get();
    control->setKeyCombo(KREmptyKeyCombo);
    EXPECT_FALSE(control->accessibilityIsIgnored());
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Role), fnd::Value(ui::AccessibilityRole::TextField));
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Value), fnd::Value(fnd::String()));
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Help), fnd::Value("Click to record shortcut"));
    EXPECT_FALSE(control->accessibilityIsAttributeSettable(A::Value)) << "typed through recording only";

    recorder.heard = 0;
    control->setKeyCombo({ Command | Shift, KeyK });
    // The Command flag is the Ctrl key here.
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Value), fnd::Value("Ctrl + Shift + K"));
    EXPECT_TRUE(ui::accessibilityAttribute(*control, A::Help).isNil()) << "the combination needs no prompt";
    EXPECT_GE(recorder.heard, 1);

    EXPECT_EQ(control->accessibilityActionNames(), std::vector<fnd::String> { ui::AccessibilityAction::Press });
    window->makeFirstResponder(nullptr);
    recorder.heard = 0;
    control->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_TRUE(cell->isRecording());
    EXPECT_EQ(window->firstResponder(), control) << "recording needs the keyboard";
    EXPECT_EQ(ui::accessibilityAttribute(*control, A::Help), fnd::Value("Type shortcut"));
    EXPECT_GE(recorder.heard, 1);
    EXPECT_EQ(control->accessibilityActionNames(), std::vector<fnd::String> { ui::AccessibilityAction::Cancel });
    control->accessibilityPerformAction(ui::AccessibilityAction::Cancel);
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command | Shift, KeyK })) << "cancelling keeps the combination";
}

// A disabled recorder takes no keyboard from a click, so Space and a combination reach nothing: the gesture test's
// seed 1 clicked a disabled recorder, which then started recording at Space.
TEST_F(KRRecorderControlTest, ADisabledRecorderTakesNoKeyboardAndRecordsNothing)
{
    auto model = fnd::makeObject<CountingShortcutModel>();
    model->setValueForKey(fnd::Dictionary { { "keyCode", KeyK }, { "modifierFlags", 0x100000 } }, "shortcut");
    control->bind("value", *model, "shortcut");
    model->writes = 0;
    control->setEnabled(false);
    EXPECT_TRUE(window->firstResponder() != control) << "disabled, the recorder gives the keyboard back";
    clickAt({ 30, 11 });
    EXPECT_TRUE(window->firstResponder() != control) << "a click gives a disabled recorder no keyboard";
    key(" ", KeyCode::Space);
    key("q", KeyQ, Flags::Command, "q");
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(control->keyCombo(), (_KeyCombo { Command, KeyK }));
    EXPECT_EQ(model->writes, 0);
    // Enabled again, a click gives it the keyboard and starts recording.
    control->setEnabled(true);
    clickAt({ 30, 11 });
    EXPECT_TRUE(window->firstResponder() == control);
    EXPECT_TRUE(cell->isRecording());
    control->unbind("value");
}
