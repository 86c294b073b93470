// A person records key combinations while the program acts at every step: it sets the bound value, allows key-only
// combinations or not, disables and enables the recorder, and takes it out of its window and puts it back. A model
// of the recorder and of the bound value says what the recorder holds, whether it records, what the model holds and
// how often it was written.
#include "RecorderTestSupport.h"
#include "support/GestureSeeds.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>
#include <random>

namespace {

using namespace krtest;

// The bound model: a "shortcut" whose every write is counted.
class GestureShortcutModel : public fnd::Object {
    FND_OBJECT(GestureShortcutModel)
    static void describeClass(fnd::ClassBuilder<GestureShortcutModel>& c)
    {
        c.property("shortcut", &GestureShortcutModel::shortcut, &GestureShortcutModel::setShortcut);
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
FND_REGISTER_CLASS(GestureShortcutModel, fnd::Object)

// A key the person may press: its code, what it types and what it types without modifiers.
struct GestureKey {
    unsigned short code;
    const char* characters;
};
constexpr GestureKey GestureKeys[] = { { KeyA, "a" }, { KeyQ, "q" }, { KeyK, "k" }, { KeyReturn, "\r" } };
constexpr std::uint64_t GestureModifiers[] = { 0, Command, Command | Shift, Option, Control | Option };

class KRRecorderGestureTest : public RecorderTest {
protected:
    KRRecorderGestureTest()
    {
        control->setCanCaptureGlobalHotKeys(true);
        model->m_shortcut = value({ Command, KeyK });
        control->bind("value", *model, "shortcut");
        combo = { Command, KeyK };
        held = model->m_shortcut;
        backend->setDrawsWindows(false);
    }
    ~KRRecorderGestureTest() override
    {
        control->unbind("value");
        backend->setDrawsWindows(true);
    }

    static fnd::Value value(_KeyCombo c)
    {
        return fnd::Dictionary { { "keyCode", fnd::Value(static_cast<long long>(c.code)) },
            { "modifierFlags", fnd::Value(static_cast<unsigned long long>(c.flags)) } };
    }
    // Whether the recorder shows a combination: a key with a name, and a modifier unless key-only ones are allowed.
    bool shows(_KeyCombo c) const
    {
        return c.code >= 0 && (allowsKeyOnly || (c.flags & (Command | Shift | Option | Control | Fn)) != 0);
    }
    std::string describe(const fnd::Value& v) const
    {
        const auto* entry = v.dictionary();
        if (!entry)
            return v.isNil() ? "nil" : "not a combination";
        return fmt::format("{}+{:x}", entry->get("keyCode").integerValue(),
            static_cast<unsigned long long>(entry->get("modifierFlags").integerValue()));
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }
    bool hasKeyboard() const { return inWindow && window->firstResponder() == control; }

    // What the recorder writes through its binding: what it shows now.
    void written()
    {
        held = shows(combo) ? value(combo) : fnd::Value();
        ++writes;
    }

    std::string personStep()
    {
        switch (pick(10)) {
        case 0:
        case 1: {
            if (!inWindow)
                return "no click: the recorder is not in its window";
            const auto bounds = control->bounds();
            // The text area: recording starts (and the keyboard comes) while the recorder is enabled.
            clickAt({ 30, bounds.midY() });
            if (enabled && !recording)
                recording = true;
            return "click the text area";
        }
        case 2: {
            if (!inWindow)
                return "no click: the recorder is not in its window";
            const auto bounds = control->bounds();
            const auto button
                = recording ? cell->_snapbackRectForFrame(bounds) : cell->_removeButtonRectForFrame(bounds);
            if (button.isEmpty())
                return "no button to click";
            clickAt({ button.midX(), button.midY() });
            if (recording) {
                recording = false;
                return "click the snap-back button";
            }
            combo = KREmptyKeyCombo;
            written();
            return "click the remove button";
        }
        case 3:
            key(" ", KeyCode::Space);
            if (!hasKeyboard())
                return "Space";
            if (!recording) {
                recording = true;
            } else if (allowsKeyOnly) {
                // Where a key alone is a combination, Space is one too.
                combo = { 0, KeyCode::Space };
                recording = false;
                written();
            }
            return "Space";
        case 4:
            key("\x1b", KeyCode::Escape);
            // Escape alone cancels: it is recorded only with escapeKeysRecord, which allowing key-only turns off.
            if (hasKeyboard())
                recording = false;
            return "Escape";
        default: {
            const auto& pressed = GestureKeys[pick(4)];
            const auto flags = GestureModifiers[pick(5)];
            holdFlags(unsigned(flags));
            key(pressed.characters, pressed.code, unsigned(flags), pressed.characters);
            holdFlags(0);
            const bool valid = allowsKeyOnly || flags != 0;
            if (hasKeyboard() && recording && valid) {
                combo = { flags, pressed.code };
                recording = false;
                written();
            }
            return fmt::format("press {} with {:x}", pressed.code, static_cast<unsigned long long>(flags));
        }
        }
    }

    std::string programStep()
    {
        if (!chance(40))
            return {};
        switch (pick(8)) {
        case 0:
        case 1: {
            const _KeyCombo set { GestureModifiers[pick(5)], GestureKeys[pick(4)].code };
            model->setValueForKey(value(set), "shortcut");
            held = value(set);
            ++writes;
            // The recorder shows the bound value; it does not write it back.
            combo = set;
            return fmt::format("sets the value to {}", describe(held));
        }
        case 2:
        case 3: {
            const bool before = shows(combo);
            allowsKeyOnly = !allowsKeyOnly;
            control->setAllowsKeyOnly(allowsKeyOnly);
            // A key-only combination appearing or vanishing is a change of what the recorder shows.
            if (shows(combo) != before)
                written();
            return allowsKeyOnly ? "allows key-only combinations" : "allows no key-only combinations";
        }
        case 4:
        case 5:
            enabled = !enabled;
            control->setEnabled(enabled);
            // Disabled, the recorder gives the keyboard back: recording ends.
            if (!enabled)
                recording = false;
            return enabled ? "enables the recorder" : "disables the recorder";
        default:
            if (inWindow) {
                control->removeFromSuperview();
                inWindow = false;
                recording = false;
                return "takes the recorder out of its window";
            }
            add(control);
            inWindow = true;
            return "puts the recorder back";
        }
    }

    void check(const std::string& where)
    {
        EXPECT_EQ(control->keyCombo(), combo) << where << ": the recorder holds " << control->keyCombo().code;
        EXPECT_EQ(cell->isRecording(), recording) << where;
        EXPECT_EQ(describe(model->m_shortcut), describe(held)) << where << ": the bound value";
        EXPECT_EQ(model->writes, writes) << where << ": writes to the model";
        EXPECT_EQ(describe(control->objectValue()), describe(shows(combo) ? value(combo) : fnd::Value()))
            << where << ": the recorder's value";
        EXPECT_EQ(ui::SystemShortcutPause::isPaused(*window), recording)
            << where << ": the desktop's shortcuts are paused only while recording";
        EXPECT_TRUE(!recording || hasKeyboard()) << where << ": a recorder records only with the keyboard";
    }

    std::shared_ptr<GestureShortcutModel> model = fnd::makeObject<GestureShortcutModel>();
    std::mt19937 random;
    _KeyCombo combo;
    fnd::Value held;
    int writes { 0 };
    bool recording { false };
    bool allowsKeyOnly { false };
    bool enabled { true };
    bool inWindow { true };
};

TEST_F(KRRecorderGestureTest, TheBoundValueHoldsWhatWasRecordedWhateverTheProgramDoesMeanwhile)
{
    const int seeds = testsupport::gestureSeeds(3);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
        random.seed(unsigned(seed));
        for (int step = 0; step < 150 && !HasFailure(); ++step) {
            std::string what = personStep();
            if (auto acted = programStep(); !acted.empty())
                what += "; the program " + acted;
            const auto where = fmt::format("seed {} step {} ({})", seed, step, what);
            try {
                check(where);
            } catch (const fnd::Exception& e) {
                ADD_FAILURE() << where << ": " << e.what();
            }
        }
    }
}

}
