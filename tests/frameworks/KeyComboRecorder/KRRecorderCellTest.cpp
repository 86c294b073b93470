#include "RecorderTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"

namespace {

using namespace krtest;

using KRRecorderCellTest = RecorderTest;

// Space starts recording; held modifiers show while recording; a combination with a modifier is taken, the delegate
// told, and recording ends.
TEST_F(KRRecorderCellTest, RecordsACombination)
{
    EXPECT_EQ(cell->textForDisplay().utf8(), "Click to record shortcut");
    startRecording();
    EXPECT_EQ(cell->textForDisplay().utf8(), "Type shortcut");
    holdFlags(Flags::Command | Flags::Shift);
    EXPECT_EQ(cell->recordingFlags(), Command | Shift);
    EXPECT_EQ(cell->textForDisplay().utf8(), "\u21E7\u2318");
    key("k", KeyK, Flags::Command | Flags::Shift, "K");
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(cell->keyCombo(), (_KeyCombo { Command | Shift, KeyK }));
    ASSERT_EQ(delegate->changes.size(), 1u);
    EXPECT_EQ(delegate->changes[0], (_KeyCombo { Command | Shift, KeyK }));
    EXPECT_EQ(control->keyComboString().utf8(), "\u21E7\u2318K");
    EXPECT_EQ(cell->keyChars().utf8(), "k");
    EXPECT_EQ(cell->keyCharsIgnoringModifiers().utf8(), "K");
    EXPECT_EQ(cell->recordingFlags(), 0u);
}

// Escape cancels; with key-only combinations and escapeKeysRecord, Escape alone is recorded.
TEST_F(KRRecorderCellTest, CancelKeys)
{
    cell->setKeyCombo({ Command, KeyA });
    delegate->changes.clear();
    startRecording();
    key("\x1b", KeyCode::Escape);
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(cell->keyCombo(), (_KeyCombo { Command, KeyA })) << "cancelled without change";
    EXPECT_TRUE(delegate->changes.empty());

    cell->setAllowsKeyOnlyEscapeKeysRecord(true, false);
    startRecording();
    key("\x7f", KeyCode::Delete);
    EXPECT_FALSE(cell->isRecording()) << "a cancel key alone cancels while escapeKeysRecord is off";
    EXPECT_EQ(cell->keyCombo().code, KeyA);

    cell->setEscapeKeysRecord(true);
    startRecording();
    key("\x1b", KeyCode::Escape);
    EXPECT_EQ(cell->keyCombo(), (_KeyCombo { 0, KeyCode::Escape }));
}

// Without allowsKeyOnly a plain key is not consumed and not recorded; the function-key bit alone is enough.
TEST_F(KRRecorderCellTest, ModifierValidity)
{
    startRecording();
    EXPECT_FALSE(cell->performKeyEquivalent(
        *ui::Event::keyEventWithType(ui::EventType::KeyDown, {}, 0, 0, window->windowNumber(), "a", "a", false, KeyA)));
    EXPECT_TRUE(cell->isRecording());
    EXPECT_EQ(cell->keyCombo().code, -1);
    key(std::string(1, '\0').c_str(), 122, Flags::Function, "\xEF\x9C\x84"); // F1 with the function-key bit
    EXPECT_EQ(cell->keyCombo(), (_KeyCombo { Fn, 122 }));
    EXPECT_EQ(cell->keyComboString().utf8(), "F1");
}

// A key that types nothing is not recorded: a beep, and recording ends without a change.
TEST_F(KRRecorderCellTest, KeyWithoutCharactersBeeps)
{
    startRecording();
    int beeps = backend->beepCount();
    key("", 55, Flags::Command, "");
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    EXPECT_FALSE(cell->isRecording());
    EXPECT_EQ(cell->keyCombo().code, -1);
}

// A combination the desktop keeps is refused with an alert; recording goes on and the old combination stays.
TEST_F(KRRecorderCellTest, TakenCombinationShowsAlertAndKeepsRecording)
{
    setDesktop({ { "test/logout", KeyK, Flags::Command | Flags::Shift, true } });
    cell->setKeyCombo({ Command, KeyA });
    startRecording();
    bool alerted = false;
    backend->answerNextModal([&](ui::Window& w) {
        alerted = true;
        backend->keyDown(w, "\r", KeyCode::Return);
    });
    key("k", KeyK, Flags::Command | Flags::Shift, "K");
    EXPECT_TRUE(alerted);
    EXPECT_TRUE(cell->isRecording());
    EXPECT_EQ(cell->keyCombo(), (_KeyCombo { Command, KeyA }));

    EXPECT_TRUE(window->isKeyWindow()) << "the key window is back after the alert";
    delegate->refusedKey = KeyA;
    alerted = false;
    backend->answerNextModal([&](ui::Window& w) {
        alerted = true;
        backend->keyDown(w, "\r", KeyCode::Return);
    });
    key("a", KeyA, Flags::Alternate, "a");
    EXPECT_TRUE(alerted) << "the delegate refuses too";
    EXPECT_TRUE(cell->isRecording());
}

// Flags are filtered by the allowed and required flags, whenever they are set.
TEST_F(KRRecorderCellTest, FilteringByAllowedAndRequiredFlags)
{
    cell->setKeyCombo({ Command | Option | 0x10000 /* caps lock */, KeyA });
    EXPECT_EQ(cell->keyCombo().flags, Command | Option);
    delegate->changes.clear();
    cell->setRequiredFlags(Control);
    EXPECT_EQ(cell->keyCombo().flags, Command | Option | Control);
    ASSERT_EQ(delegate->changes.size(), 1u) << "the added modifier is reported";
    cell->setAllowedFlags(Command);
    EXPECT_EQ(cell->keyCombo().flags, Command | Control);
    cell->setKeyCombo({ 0, -1 });
    EXPECT_TRUE(cell->keyComboString().isEmpty());
    EXPECT_TRUE(control->objectValue().isNil());
}

// The combination is stored under "KeyComboRecorder <name>" and read back, also from the Carbon word alone.
TEST_F(KRRecorderCellTest, AutosaveStoresAndLoads)
{
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    cell->setAutosaveName("Test Shortcut");
    cell->setKeyCombo({ Command | Shift, KeyK }); // stores it
    auto stored = defaults.objectForKey("KeyComboRecorder Test Shortcut");
    ASSERT_TRUE(stored.isDictionary());
    EXPECT_EQ(stored.dictionary()->get("keyCode").integerValue(), KeyK);
    EXPECT_EQ(stored.dictionary()->get("modifierFlags").integerValue(), static_cast<std::int64_t>(Command | Shift));
    EXPECT_EQ(stored.dictionary()->get("modifiers").integerValue(), 0x300);
    EXPECT_FALSE(stored.dictionary()->contains("keyChars"));

    defaults.setObject(fnd::Dictionary { { "keyCode", 12 }, { "modifiers", 0x1100 } }, "KeyComboRecorder Carbon");
    defaults.setObject(fnd::Dictionary { { "keyCode", 12 }, { "modifiers", 0x1100 }, { "modifierFlags", 0x80000 } },
        "KeyComboRecorder Both");
    struct Case {
        const char* name;
        _KeyCombo expected;
    } cases[] = {
        { "Test Shortcut", { Command | Shift, KeyK } },
        { "Carbon", { Command | Control, 12 } },
        { "Both", { Option, 12 } },
    };
    for (const auto& c : cases) {
        auto other = fnd::makeObject<KRRecorderCell>();
        other->setKeyCombo({ Option, 3 });
        other->setAutosaveName(c.name); // neither stores nor loads
        // Loading happens when the cell is read from an archive that names it.
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(other));
        auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<KRRecorderCell>();
        ASSERT_TRUE(back);
        EXPECT_EQ(back->keyCombo(), c.expected) << c.name;
    }

    auto nothing = fnd::makeObject<KRRecorderCell>();
    nothing->setKeyCombo({ Option, 3 });
    nothing->setAutosaveName("Never Stored");
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(nothing));
    auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<KRRecorderCell>();
    EXPECT_EQ(back->keyCombo(), (_KeyCombo { Option, 3 })) << "no entry leaves the combination";
}

// Keyed archives keep every setting; sequential ones the five values; both add the function-key bit to allowed.
TEST_F(KRRecorderCellTest, ArchiveRoundTrips)
{
    auto original = fnd::makeObject<KRRecorderCell>();
    original->setAllowedFlags(Command | Shift);
    original->setRequiredFlags(Shift);
    original->setKeyCombo({ Command | Shift, KeyK });
    original->setAllowsKeyOnlyEscapeKeysRecord(true, true);
    original->setAnimates(true);
    original->setStyle(1);

    auto keyed = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(original));
    ASSERT_TRUE(keyed);
    auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(*keyed).objectAs<KRRecorderCell>();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->keyCombo(), original->keyCombo());
    EXPECT_EQ(back->allowedFlags(), Command | Shift | Fn);
    EXPECT_EQ(back->requiredFlags(), Shift);
    EXPECT_TRUE(back->allowsKeyOnly());
    EXPECT_TRUE(back->escapeKeysRecord());
    EXPECT_TRUE(back->animates());
    EXPECT_EQ(back->style(), 1);

    auto sequential = fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(original));
    ASSERT_TRUE(sequential);
    auto fromSequential = fnd::SequentialUnarchiver::unarchiveObjectWithData(*sequential).objectAs<KRRecorderCell>();
    ASSERT_TRUE(fromSequential);
    EXPECT_EQ(fromSequential->keyCombo(), original->keyCombo());
    EXPECT_EQ(fromSequential->allowedFlags(), Command | Shift | Fn);
    EXPECT_EQ(fromSequential->requiredFlags(), Shift);
    EXPECT_FALSE(fromSequential->allowsKeyOnly()) << "not in the sequential form";
}

// The animated style takes eleven ticks of 1/30 s each way on the run loop's clock.
TEST_F(KRRecorderCellTest, AnimatedTransitionOnTheVirtualClock)
{
    control->setStyle(1);
    control->setAnimates(true);
    key(" ", KeyCode::Space);
    EXPECT_FALSE(cell->isRecording());
    EXPECT_TRUE(cell->isAnimatingNow());
    int ticks = 0;
    while (cell->isAnimatingNow() && ticks < 20) {
        clock->advance(1.0 / 30.0 + 1e-6);
        fnd::RunLoop::current().runUntilDate(clock->now());
        ++ticks;
    }
    EXPECT_EQ(ticks, 11);
    EXPECT_TRUE(cell->isRecording());
    EXPECT_EQ(cell->transitionProgress(), 0);
    auto image = snapshot("recorder-animated-recording");
    (void)image;
}

// Space while recording does not start recording again, so the desktop's shortcuts are paused once and come back
// when recording ends.
TEST_F(KRRecorderCellTest, DesktopShortcutsPausedOnceWhileRecording)
{
    control->setCanCaptureGlobalHotKeys(true);
    startRecording();
    auto token = cell->hotKeyModeToken();
    EXPECT_NE(token, 0u);
    EXPECT_TRUE(ui::SystemShortcutPause::isPaused(*window));
    key(" ", KeyCode::Space);
    EXPECT_EQ(cell->hotKeyModeToken(), token);
    key("\x1b", KeyCode::Escape);
    EXPECT_FALSE(cell->isRecording());
    EXPECT_FALSE(ui::SystemShortcutPause::isPaused(*window));
}

// A copy has its own validator and keeps the combination and settings, without the original's pause.
TEST_F(KRRecorderCellTest, CopyKeepsSettings)
{
    cell->setKeyCombo({ Command, KeyA });
    cell->setAllowedFlags(Command | Option);
    auto copy = std::dynamic_pointer_cast<KRRecorderCell>(cell->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->keyCombo(), cell->keyCombo());
    EXPECT_EQ(copy->allowedFlags(), cell->allowedFlags());
    EXPECT_EQ(copy->delegate(), cell->delegate());
    EXPECT_EQ(copy->hotKeyModeToken(), 0u);
}

}
