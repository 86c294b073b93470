#pragma once

#include "frameworks/KeyComboRecorder/KRRecorderControl.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/desktop/SystemShortcuts.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <vector>

namespace krtest {

namespace Flags = ui::ModifierFlags;
namespace KeyCode = ui::KeyCode;

// Modifier flags as the recorder keeps them, the hot-key word's bits, and the keys the tests press.
constexpr std::uint64_t Command = 0x100000, Shift = 0x20000, Option = 0x80000, Control = 0x40000, Fn = 0x800000;
constexpr unsigned CarbonCommand = 0x100, CarbonShift = 0x200, CarbonOption = 0x800, CarbonControl = 0x1000;
constexpr unsigned short KeyA = 0, KeyQ = 12, KeyK = 40, KeyReturn = 36, KeyF5 = 96, KeyLeft = 123;

// Records what a recorder tells its delegate and refuses what it is told to.
class RecorderDelegate : public KRRecorderControlDelegate, public KRRecorderCellDelegate {
public:
    std::optional<bool> keyComboRecorderIsKeyCode(
        KRRecorderControl&, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason) override
    {
        return refuse(keyCode, flags, reason);
    }
    void keyComboRecorderKeyComboDidChange(KRRecorderControl&, _KeyCombo combo) override { changes.push_back(combo); }
    std::optional<bool> keyComboRecorderCellIsKeyCode(
        KRRecorderCell&, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason) override
    {
        return refuse(keyCode, flags, reason);
    }
    void keyComboRecorderCellKeyComboDidChange(KRRecorderCell&, _KeyCombo combo) override { changes.push_back(combo); }

    std::optional<bool> refuse(std::int64_t keyCode, std::uint64_t, fnd::String& reason)
    {
        if (keyCode != refusedKey)
            return false;
        reason = "it is kept for testing";
        return true;
    }
    std::vector<_KeyCombo> changes;
    std::int64_t refusedKey { -2 };
};

// A recorder in a key window, first responder, with a delegate; no desktop shortcuts unless a test sets some.
class RecorderTest : public uitest::KeyWindowTest {
protected:
    RecorderTest()
        : KeyWindowTest({ 300, 100 })
    {
        ui::SystemShortcutProvider::setShared(nullptr);
        control = KRRecorderControl::create({ { 20, 40 }, { 200, 22 } });
        add(control);
        window->makeFirstResponder(control);
        delegate = std::make_shared<RecorderDelegate>();
        control->setDelegate(delegate);
        cell = control->recorderCell();
    }
    ~RecorderTest() override { ui::SystemShortcutProvider::setShared(nullptr); }

    void key(const char* characters, unsigned short code, unsigned flags = 0, const char* ignoring = nullptr)
    {
        backend->keyDown(*window, fnd::String(characters), code, flags,
            ignoring ? std::optional<fnd::String>(fnd::String(ignoring)) : std::nullopt);
        dispatch();
    }
    void holdFlags(unsigned flags)
    {
        backend->flagsChanged(*window, flags, KeyCode::Shift);
        dispatch();
    }
    // A click at a point of the control (y up).
    void clickAt(gfx::Point point)
    {
        backend->click(*window, control->convertPointToView(point, nullptr));
        dispatch();
    }
    void startRecording()
    {
        key(" ", KeyCode::Space);
        ASSERT_TRUE(cell->isRecording());
    }
    void setDesktop(std::vector<ui::SystemShortcut> shortcuts)
    {
        ui::SystemShortcutProvider::setShared(std::make_shared<ui::FixedSystemShortcutProvider>(std::move(shortcuts)));
    }

    std::shared_ptr<KRRecorderControl> control;
    std::shared_ptr<KRRecorderCell> cell;
    std::shared_ptr<RecorderDelegate> delegate;
};

// A model that counts what is written to its "shortcut" key (registered by KRRecorderControlTest.cpp).
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

}
