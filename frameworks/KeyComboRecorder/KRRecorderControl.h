#pragma once

#include "frameworks/KeyComboRecorder/KRRecorderCell.h"
#include "platform/ui/controls/Control.h"

#include <cmath>

class KRRecorderControl;

// What the control asks and tells its delegate; each answered only where the delegate overrides it.
class KRRecorderControlDelegate {
public:
    virtual ~KRRecorderControlDelegate() = default;
    // True refuses the combination; nullopt: not answered.
    virtual std::optional<bool> keyComboRecorderIsKeyCode(
        KRRecorderControl& recorder, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason)
    {
        (void)recorder, (void)keyCode, (void)flags, (void)reason;
        return std::nullopt;
    }
    virtual void keyComboRecorderKeyComboDidChange(KRRecorderControl& recorder, _KeyCombo newKeyCombo)
    {
        (void)recorder, (void)newKeyCombo;
    }
};

// The view a window places to let the person record a keyboard shortcut: 22 points high, at least 50 wide. It owns
// a KRRecorderCell, is its delegate, hands it the keyboard and passes its questions and changes on to its own
// delegate. Its value (and the "value" binding) is the cell's dictionary; a recorded combination is written to the
// bound object at once.
class KRRecorderControl : public ui::Control, public KRRecorderCellDelegate {
    FND_OBJECT(KRRecorderControl)
    static void describeClass(fnd::ClassBuilder<KRRecorderControl>& c);

public:
    KRRecorderControl() = default;
    ~KRRecorderControl() override;
    static std::shared_ptr<KRRecorderControl> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;
    // The control's archive holds the cell; decoded, the cell's delegate is the control again.
    bool initWithCoder(fnd::Coder& coder) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    static const fnd::ClassInfo& cellClass() { return KRRecorderCell::staticClassInfo(); }
    std::shared_ptr<KRRecorderCell> recorderCell() const { return std::dynamic_pointer_cast<KRRecorderCell>(cell()); }

    std::shared_ptr<KRRecorderControlDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<KRRecorderControlDelegate>& delegate) { m_delegate = delegate; }

    // Forwarded to the cell.
    bool animates() const { return recorderCell()->animates(); }
    void setAnimates(bool flag) { recorderCell()->setAnimates(flag); }
    int style() const { return recorderCell()->style(); }
    void setStyle(int style) { recorderCell()->setStyle(style); }
    fnd::String keyChars() const { return recorderCell()->keyChars(); }
    fnd::String keyCharsIgnoringModifiers() const { return recorderCell()->keyCharsIgnoringModifiers(); }
    std::uint64_t allowedFlags() const { return recorderCell()->allowedFlags(); }
    void setAllowedFlags(std::uint64_t flags) { recorderCell()->setAllowedFlags(flags); }
    std::uint64_t requiredFlags() const { return recorderCell()->requiredFlags(); }
    void setRequiredFlags(std::uint64_t flags) { recorderCell()->setRequiredFlags(flags); }
    bool allowsKeyOnly() const { return recorderCell()->allowsKeyOnly(); }
    // Also stops the cancel keys being recorded.
    void setAllowsKeyOnly(bool flag) { setAllowsKeyOnlyEscapeKeysRecord(flag, false); }
    bool escapeKeysRecord() const { return recorderCell()->escapeKeysRecord(); }
    void setEscapeKeysRecord(bool flag) { recorderCell()->setEscapeKeysRecord(flag); }
    void setAllowsKeyOnlyEscapeKeysRecord(bool allowsKeyOnly, bool escapeKeysRecord)
    {
        recorderCell()->setAllowsKeyOnlyEscapeKeysRecord(allowsKeyOnly, escapeKeysRecord);
    }
    bool canCaptureGlobalHotKeys() const { return recorderCell()->canCaptureGlobalHotKeys(); }
    void setCanCaptureGlobalHotKeys(bool flag) { recorderCell()->setCanCaptureGlobalHotKeys(flag); }
    _KeyCombo keyCombo() const { return recorderCell()->keyCombo(); }
    void setKeyCombo(_KeyCombo combo) { recorderCell()->setKeyCombo(combo); }
    fnd::String autosaveName() const { return recorderCell()->autosaveName(); }
    void setAutosaveName(const fnd::String& name) { recorderCell()->setAutosaveName(name); }
    fnd::String keyComboString() const { return recorderCell()->keyComboString(); }

    static unsigned cocoaToCarbonFlags(std::uint64_t flags) { return KRModifierMaskToCarbon(flags); }
    static std::uint64_t carbonToCocoaFlags(unsigned flags) { return KRModifierMaskFromCarbon(flags); }

    // The class of the "value" binding's values.
    fnd::String valueClassForBinding(const fnd::String& binding) const;

    // Accessibility (KRRecorderCellAccessibility.cpp): the cell's answers, and its prompt as the help unless the
    // control has a tool tip.
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

    // Views and responders.
    bool isFlipped() const override { return false; }
    // A disabled recorder takes no keyboard, as no disabled control does: a click would hand it the keys to record.
    bool acceptsFirstResponder() const override { return isEnabled(); }
    bool acceptsFirstMouse(const ui::Event*) override { return true; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void viewDidMoveToWindow() override;
    void setFrameSize(gfx::Size size) override;
    void setFrame(gfx::Rect frame) override;
    bool performKeyEquivalent(const ui::Event& event) override;
    void keyDown(const ui::Event& event) override;
    void flagsChanged(const ui::Event& event) override;
    void mouseDown(const ui::Event& event) override;
    // An interface file sets the autosave name as a key: the stored combination is read once the file is loaded.
    void awakeFromNib() override;
    void resetTrackingRects();

    // The cell's delegate.
    std::optional<bool> keyComboRecorderCellIsKeyCode(
        KRRecorderCell& cell, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason) override;
    void keyComboRecorderCellKeyComboDidChange(KRRecorderCell& cell, _KeyCombo newKeyCombo) override;

protected:
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;

private:
    void adoptCell();
    // At least 50 points wide (a width that is not a number, which std::max lets through, takes 50), 22 high.
    static gfx::Size fixedSize(gfx::Size size)
    {
        return { std::isnan(size.width) ? 50.0 : std::max(size.width, 50.0), 22.0 };
    }
    // Writes the value through the "value" binding, as the cell reports a change.
    void pushValueToBinding();

    std::weak_ptr<KRRecorderControlDelegate> m_delegate;
    fnd::NotificationObserverToken m_frameObserver {};
    bool m_showingBoundValue { false };
};
