#pragma once

#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "frameworks/KeyComboRecorder/KRValidator.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/desktop/SystemShortcuts.h"

#include <memory>
#include <optional>
#include <set>

namespace gfx {
class Gradient;
}

class KRRecorderCell;

// What the cell asks and tells its delegate; each answered only where the delegate overrides it.
class KRRecorderCellDelegate {
public:
    virtual ~KRRecorderCellDelegate() = default;
    // True refuses the combination (flags as events carry them); a reason may be left. nullopt: not answered.
    virtual std::optional<bool> keyComboRecorderCellIsKeyCode(
        KRRecorderCell& cell, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason)
    {
        (void)cell, (void)keyCode, (void)flags, (void)reason;
        return std::nullopt;
    }
    virtual void keyComboRecorderCellKeyComboDidChange(KRRecorderCell& cell, _KeyCombo newKeyCombo)
    {
        (void)cell, (void)newKeyCombo;
    }
};

// Holds one key combination and records a new one from the keyboard: a click or Space starts recording, the next
// combination with a valid modifier is checked by the validator (the delegate, the desktop's shortcuts, the main
// menu) and taken, Escape or Delete cancel. The combination is kept in the user defaults under the autosave name.
// It draws itself as a rounded field with a button at the right end: remove while idle, snap back while recording.
class KRRecorderCell : public ui::ActionCell, public KRValidation {
    UI_CELL_OBJECT(KRRecorderCell)
    static void describeClass(fnd::ClassBuilder<KRRecorderCell>& c);

public:
    KRRecorderCell();
    KRRecorderCell(const KRRecorderCell& other);
    ~KRRecorderCell() override;
    void init();

    // The combination; the flags are filtered by the allowed and required flags. Setting tells the delegate,
    // stores the combination and redraws, changed or not.
    _KeyCombo keyCombo() const { return m_keyCombo; }
    void setKeyCombo(_KeyCombo combo);

    std::uint64_t allowedFlags() const { return m_allowedFlags; }
    void setAllowedFlags(std::uint64_t flags);
    std::uint64_t requiredFlags() const { return m_requiredFlags; }
    void setRequiredFlags(std::uint64_t flags);
    // A combination without modifiers shows, and has a value, only while key-only combinations are allowed: when
    // the flag makes one appear or vanish, the delegate is told as of any change of the combination.
    bool allowsKeyOnly() const { return m_allowsKeyOnly; }
    void setAllowsKeyOnly(bool flag);
    bool escapeKeysRecord() const { return m_escapeKeysRecord; }
    void setEscapeKeysRecord(bool flag) { m_escapeKeysRecord = flag; }
    void setAllowsKeyOnlyEscapeKeysRecord(bool allowsKeyOnly, bool escapeKeysRecord);
    // Whether recording pauses the desktop's own shortcuts, so they can be recorded.
    bool canCaptureGlobalHotKeys() const { return m_globalHotKeys; }
    void setCanCaptureGlobalHotKeys(bool flag) { m_globalHotKeys = flag; }
    const fnd::String& autosaveName() const { return m_autosaveName; }
    // Neither loads nor stores.
    void setAutosaveName(const fnd::String& name) { m_autosaveName = name; }
    bool animates() const { return m_isAnimating; }
    void setAnimates(bool flag) { m_isAnimating = flag; }
    // 0 regular, 1 the style with the animated transition.
    int style() const { return m_style; }
    void setStyle(int style);
    static bool styleSupportsAnimation(int style) { return style == 1; }

    // The value a control shows and binds: a dictionary with "keyCode", "modifierFlags" and, when the key types
    // something, "characters"; nil without a key. Setting a dictionary whose two numbers are present sets the
    // combination; anything else clears it.
    fnd::Value objectValue() const override;
    void setObjectValue(const fnd::Value& value) override;

    // The modifiers' symbols and the key's name; empty when the cell is empty.
    fnd::String keyComboString() const;
    // The characters typed for the combination, else the key's name.
    fnd::String keyChars() const;
    // The same without modifiers, else the character the key types with the combination's Shift and Option.
    fnd::String keyCharsIgnoringModifiers() const;

    std::shared_ptr<KRRecorderCellDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<KRRecorderCellDelegate>& delegate) { m_delegate = delegate; }

    // Keyboard, sent by the control. performKeyEquivalent answers whether the event was consumed.
    bool performKeyEquivalent(const ui::Event& event);
    void flagsChanged(const ui::Event& event);

    // State, for the control and for drawing.
    bool isRecording() const { return m_isRecording; }
    std::uint64_t recordingFlags() const { return m_recordingFlags; }
    bool isAnimatingNow() const { return m_isAnimatingNow; }
    double transitionProgress() const { return m_transitionProgress; }
    bool mouseInsideTrackingArea() const { return m_mouseInsideTrackingArea; }
    // The desktop-shortcut pause recording holds (0 when none).
    ui::SystemShortcutPause::Token hotKeyModeToken() const { return m_hotKeyModeToken; }

    // The validator's question, passed on to the delegate with the cell.
    bool keyComboValidator(
        KRValidator& validator, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason) override;

    // Drawing, buttons and mouse tracking.
    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    gfx::Rect _removeButtonRectForFrame(gfx::Rect frame) const;
    gfx::Rect _snapbackRectForFrame(gfx::Rect frame) const;
    void resetTrackingRects();
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;
    bool becomeFirstResponder();
    bool resignFirstResponder();
    // The text drawn now (the combination, a prompt, or the held modifiers).
    fnd::String textForDisplay() const;

    // Accessibility (KRRecorderCellAccessibility.cpp): a text field that cannot be typed in, whose value is the
    // combination in words ("Ctrl + Shift + K"), empty without one, and whose help is the prompt it shows; pressing
    // it starts recording, cancelling ends it.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;

    // Keyed and sequential archives.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Reads the combination stored under the autosave name, when there is one (archives read do it themselves).
    void loadStoredKeyCombo() { _loadKeyCombo(); }

    // The key under which an autosave name's combination is stored.
    static fnd::String _defaultsKeyForAutosaveName(const fnd::String& name);

private:
    std::uint64_t _filteredCocoaFlags(std::uint64_t flags) const;
    bool _validModifierFlags(std::uint64_t flags) const;
    unsigned _filteredCocoaToCarbonFlags(std::uint64_t flags) const;
    bool _isEmpty() const;
    void _startRecordingTransition();
    void _endRecordingTransition();
    void _transitionTick();
    void _scheduleTick();
    void _startRecording();
    void _endRecording();
    bool _effectiveIsAnimating() const;
    bool _supportsAnimation() const { return styleSupportsAnimation(m_style); }
    void _saveKeyCombo();
    void _loadKeyCombo();
    void _createGradient();
    void _tellDelegateKeyComboDidChange();
    void _redrawControl() const;
    // Tells assistive technologies that the combination or the prompt changed.
    void _announceValue() const;
    void _markFocusRing() const;
    bool _controlIsFirstResponder() const;
    std::shared_ptr<ui::Window> _window() const;
    void _observeSystemColors();
    void _drawRegular(gfx::Rect frame, ui::View& controlView);
    void _drawAnimated(gfx::Rect frame, ui::View& controlView);
    bool _drawsAsRecording() const { return m_isRecording || (m_isAnimatingNow && m_isAnimatingTowardsRecording); }
    void _drawText(const fnd::String& text, bool isCombination, gfx::Rect rect, double alpha) const;
    fnd::String _removeImageName() const;

    std::shared_ptr<gfx::Gradient> m_recordingGradient;
    fnd::String m_autosaveName;
    bool m_isRecording { false };
    bool m_mouseInsideTrackingArea { false };
    bool m_mouseDown { false };
    int m_style { 0 };
    bool m_isAnimating { false };
    double m_transitionProgress { 0 };
    bool m_isAnimatingNow { false };
    bool m_isAnimatingTowardsRecording { false };
    bool m_comboJustChanged { false };
    long m_removeTrackingRectTag { 0 };
    long m_snapbackTrackingRectTag { 0 };
    _KeyCombo m_keyCombo { KREmptyKeyCombo };
    bool m_hasKeyChars { false };
    fnd::String m_keyChars;
    fnd::String m_keyCharsIgnoringModifiers;
    std::uint64_t m_allowedFlags { 0x9E0000 };
    std::uint64_t m_requiredFlags { 0 };
    std::uint64_t m_recordingFlags { 0 };
    bool m_allowsKeyOnly { false };
    bool m_escapeKeysRecord { false };
    std::shared_ptr<const std::set<std::int64_t>> m_cancelCharacterSet;
    std::shared_ptr<KRValidator> m_validator;
    std::weak_ptr<KRRecorderCellDelegate> m_delegate;
    bool m_globalHotKeys { false };
    ui::SystemShortcutPause::Token m_hotKeyModeToken { 0 };
    fnd::NotificationObserverToken m_colorsObserver {};
    std::shared_ptr<fnd::Block> m_pendingTick;
};
