#include "frameworks/KeyComboRecorder/KRRecorderCell.h"

#include "platform/foundation/bindings/UserDefaultsController.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Gradient.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(KRRecorderCell, ui::ActionCell)

namespace {

// Escape, Delete and Forward Delete cancel recording.
const std::shared_ptr<const std::set<std::int64_t>>& krRecorderCellCancelSet()
{
    static const auto set = std::make_shared<const std::set<std::int64_t>>(std::set<std::int64_t> { 53, 51, 117 });
    return set;
}

constexpr double KRRecorderCellTickInterval = 1.0 / 30.0;
constexpr double KRRecorderCellTickStep = 0.0952381;

}

void KRRecorderCell::describeClass(fnd::ClassBuilder<KRRecorderCell>& c)
{
    c.property("autosaveName", &KRRecorderCell::autosaveName, &KRRecorderCell::setAutosaveName);
    c.property("allowsKeyOnly", &KRRecorderCell::allowsKeyOnly, &KRRecorderCell::setAllowsKeyOnly);
    c.property("escapeKeysRecord", &KRRecorderCell::escapeKeysRecord, &KRRecorderCell::setEscapeKeysRecord);
    c.property("animates", &KRRecorderCell::animates, &KRRecorderCell::setAnimates);
    c.property("style", &KRRecorderCell::style, &KRRecorderCell::setStyle);
}

KRRecorderCell::KRRecorderCell()
    : m_cancelCharacterSet(krRecorderCellCancelSet())
    , m_validator(std::make_shared<KRValidator>())
{
    _observeSystemColors();
    _createGradient();
    _loadKeyCombo();
}

KRRecorderCell::KRRecorderCell(const KRRecorderCell& other)
    : ui::ActionCell(other)
    , KRValidation(other)
    , m_recordingGradient(other.m_recordingGradient)
    , m_autosaveName(other.m_autosaveName)
    , m_isRecording(other.m_isRecording)
    , m_mouseInsideTrackingArea(other.m_mouseInsideTrackingArea)
    , m_mouseDown(other.m_mouseDown)
    , m_style(other.m_style)
    , m_isAnimating(other.m_isAnimating)
    , m_transitionProgress(other.m_transitionProgress)
    , m_isAnimatingNow(other.m_isAnimatingNow)
    , m_isAnimatingTowardsRecording(other.m_isAnimatingTowardsRecording)
    , m_comboJustChanged(other.m_comboJustChanged)
    , m_removeTrackingRectTag(other.m_removeTrackingRectTag)
    , m_snapbackTrackingRectTag(other.m_snapbackTrackingRectTag)
    , m_keyCombo(other.m_keyCombo)
    // The typed characters are plain values; a copy keeps them with the combination they belong to.
    , m_hasKeyChars(other.m_hasKeyChars)
    , m_keyChars(other.m_keyChars)
    , m_keyCharsIgnoringModifiers(other.m_keyCharsIgnoringModifiers)
    , m_allowedFlags(other.m_allowedFlags)
    , m_requiredFlags(other.m_requiredFlags)
    , m_recordingFlags(other.m_recordingFlags)
    , m_allowsKeyOnly(other.m_allowsKeyOnly)
    , m_escapeKeysRecord(other.m_escapeKeysRecord)
    , m_cancelCharacterSet(other.m_cancelCharacterSet)
    // A validator of its own: a copy owns what it points to.
    , m_validator(std::make_shared<KRValidator>())
    , m_delegate(other.m_delegate)
    , m_globalHotKeys(other.m_globalHotKeys)
{
    // The desktop-shortcut pause belongs to the original, which ends it; a pending tick too.
    _observeSystemColors();
}

KRRecorderCell::~KRRecorderCell()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_colorsObserver);
    if (m_hotKeyModeToken)
        ui::SystemShortcutPause::resume(m_hotKeyModeToken);
}

void KRRecorderCell::init()
{
    initTextCell({});
}

void KRRecorderCell::_observeSystemColors()
{
    // The gradient follows the accent colour.
    m_colorsObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        "NSSystemColorsDidChangeNotification", {}, [this](const fnd::Notification&) { _createGradient(); });
}

void KRRecorderCell::_createGradient()
{
    auto base = gfx::Color::alternateSelectedControlColor();
    auto shadow = base->shadowWithLevel(0.2)->colorWithAlphaComponent(0.9);
    auto highlight = base->highlightWithLevel(0.2)->colorWithAlphaComponent(0.9);
    m_recordingGradient = gfx::Gradient::gradientWithStartingColor(*shadow, *highlight);
}

// Filtering and validity.

std::uint64_t KRRecorderCell::_filteredCocoaFlags(std::uint64_t flags) const
{
    std::uint64_t filtered = 0;
    for (std::uint64_t bit : { KRCocoaFlags::Command, KRCocoaFlags::Option, KRCocoaFlags::Control, KRCocoaFlags::Shift,
             KRCocoaFlags::Function }) {
        if ((m_requiredFlags & bit) || ((flags & bit) && (m_allowedFlags & bit)))
            filtered |= bit;
    }
    return filtered;
}

bool KRRecorderCell::_validModifierFlags(std::uint64_t flags) const
{
    return m_allowsKeyOnly || (flags & KRCocoaFlags::Modifiers) || (flags & KRCocoaFlags::Function);
}

unsigned KRRecorderCell::_filteredCocoaToCarbonFlags(std::uint64_t flags) const
{
    return KRModifierMaskToCarbon(_filteredCocoaFlags(flags));
}

bool KRRecorderCell::_isEmpty() const
{
    return !_validModifierFlags(m_keyCombo.flags) || KRKeyCodeString(m_keyCombo.code).isEmpty();
}

// Configuration.

void KRRecorderCell::setKeyCombo(_KeyCombo combo)
{
    m_keyCombo.code = combo.code;
    m_keyCombo.flags = _filteredCocoaFlags(combo.flags);
    m_hasKeyChars = false;
    _tellDelegateKeyComboDidChange();
    _saveKeyCombo();
    _redrawControl();
}

void KRRecorderCell::setAllowedFlags(std::uint64_t flags)
{
    m_allowedFlags = flags;
    if (m_isRecording) {
        m_recordingFlags = _filteredCocoaFlags(ui::Event::currentModifierFlags());
    } else {
        auto filtered = _filteredCocoaFlags(m_keyCombo.flags);
        if (filtered != m_keyCombo.flags && m_keyCombo.code >= 0) {
            m_keyCombo.flags = filtered;
            _tellDelegateKeyComboDidChange();
            _saveKeyCombo();
        }
    }
    _redrawControl();
}

void KRRecorderCell::setRequiredFlags(std::uint64_t flags)
{
    m_requiredFlags = flags;
    if (m_isRecording) {
        m_recordingFlags = _filteredCocoaFlags(ui::Event::currentModifierFlags());
    } else {
        auto filtered = _filteredCocoaFlags(m_keyCombo.flags);
        if (filtered != m_keyCombo.flags && m_keyCombo.code >= 0) {
            m_keyCombo.flags = filtered;
            _tellDelegateKeyComboDidChange();
            _saveKeyCombo();
        }
    }
    _redrawControl();
}

void KRRecorderCell::setAllowsKeyOnly(bool flag)
{
    bool wasEmpty = _isEmpty();
    m_allowsKeyOnly = flag;
    // The combination is kept, but what the cell shows and binds may have changed.
    if (_isEmpty() != wasEmpty) {
        _tellDelegateKeyComboDidChange();
        _redrawControl();
    }
}

void KRRecorderCell::setAllowsKeyOnlyEscapeKeysRecord(bool allowsKeyOnly, bool escapeKeysRecord)
{
    m_escapeKeysRecord = escapeKeysRecord;
    setAllowsKeyOnly(allowsKeyOnly);
}

void KRRecorderCell::setStyle(int style)
{
    m_style = style == 1 ? 1 : 0;
    _redrawControl();
}

fnd::Value KRRecorderCell::objectValue() const
{
    // Nil whenever the cell shows no combination ("Click to record shortcut"): no key, a key without a name, or a
    // key without modifiers where key-only combinations are not allowed. With allowsKeyOnly a key pressed alone is a
    // combination too, and has its value.
    if (_isEmpty())
        return {};
    fnd::Dictionary value;
    auto characters = keyCharsIgnoringModifiers();
    if (!characters.isEmpty())
        value.set("characters", characters);
    value.set("keyCode", fnd::Value(static_cast<long long>(m_keyCombo.code)));
    value.set("modifierFlags", fnd::Value(static_cast<unsigned long long>(m_keyCombo.flags)));
    return value;
}

void KRRecorderCell::setObjectValue(const fnd::Value& value)
{
    const auto* entry = value.dictionary();
    const auto* codeValue = entry ? entry->find("keyCode") : nullptr;
    const auto* flagsValue = entry ? entry->find("modifierFlags") : nullptr;
    const auto* code = codeValue ? codeValue->number() : nullptr;
    const auto* flags = flagsValue ? flagsValue->number() : nullptr;
    if (code && flags)
        setKeyCombo({ flags->unsignedValue(), code->integerValue() });
    else
        setKeyCombo(KREmptyKeyCombo);
}

fnd::String KRRecorderCell::keyComboString() const
{
    if (_isEmpty())
        return {};
    return KRCocoaModifierGlyphs(m_keyCombo.flags) + KRKeyCodeString(m_keyCombo.code);
}

fnd::String KRRecorderCell::keyChars() const
{
    return m_hasKeyChars ? m_keyChars : KRKeyCodeString(m_keyCombo.code);
}

fnd::String KRRecorderCell::keyCharsIgnoringModifiers() const
{
    return m_hasKeyChars ? m_keyCharsIgnoringModifiers : KRKeyCharacterForCocoaFlags(m_keyCombo.code, m_keyCombo.flags);
}

bool KRRecorderCell::keyComboValidator(KRValidator&, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason)
{
    auto delegate = m_delegate.lock();
    if (!delegate)
        return false;
    return delegate->keyComboRecorderCellIsKeyCode(*this, keyCode, flags, reason).value_or(false);
}

// The control around the cell.

std::shared_ptr<ui::Window> KRRecorderCell::_window() const
{
    auto view = controlView();
    return view ? view->window() : nullptr;
}

void KRRecorderCell::_redrawControl() const
{
    if (auto view = controlView())
        view->setNeedsDisplay(true);
}

void KRRecorderCell::_markFocusRing() const
{
    if (auto view = controlView())
        view->setKeyboardFocusRingNeedsDisplayInRect(view->bounds());
}

bool KRRecorderCell::_controlIsFirstResponder() const
{
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    return window && window->firstResponder() == view;
}

void KRRecorderCell::_tellDelegateKeyComboDidChange()
{
    _announceValue();
    if (auto delegate = m_delegate.lock())
        delegate->keyComboRecorderCellKeyComboDidChange(*this, m_keyCombo);
}

// Key capture.

bool KRRecorderCell::performKeyEquivalent(const ui::Event& event)
{
    auto self = shared_from_this();
    const std::uint64_t raw = event.modifierFlags();
    const std::uint64_t filtered = _filteredCocoaFlags(raw);
    const bool cancelKey = m_cancelCharacterSet->contains(event.keyCode());
    const bool valid = cancelKey ? _validModifierFlags(raw) : _validModifierFlags(filtered);
    const fnd::String& characters = event.characters();

    if (m_isRecording && (valid || cancelKey)) {
        const bool cancels = (cancelKey && !valid)
            || (cancelKey && valid && m_allowsKeyOnly && (filtered & ~KRCocoaFlags::Function) == 0
                && !m_escapeKeysRecord);
        if (!cancels) {
            if (event.charactersIgnoringModifiers().uppercaseString().isEmpty()) {
                // A key that types nothing cannot be shown; nothing is recorded.
                ui::Application::shared().beep();
            } else {
                std::optional<fnd::Error> error;
                m_validator->setDelegate(std::dynamic_pointer_cast<KRValidation>(self));
                const auto code = static_cast<std::int16_t>(event.keyCode());
                if (m_validator->isKeyCodeAndFlagsTaken(code, KRModifierMaskToCarbon(filtered), &error)) {
                    auto alert = KRAdditions::alertWithNonRecoverableError(error ? &*error : nullptr);
                    auto window = _window();
                    const bool wasKey = window && window->isKeyWindow();
                    alert->runModal();
                    // The keyboard comes back to the recorder, which is still recording.
                    if (wasKey && !window->isKeyWindow())
                        window->makeKeyWindow();
                    // The modifiers may have been let go while the alert was up; recording goes on.
                    auto current = ui::Application::shared().currentEvent();
                    m_recordingFlags = _filteredCocoaFlags(current ? current->modifierFlags() : 0);
                    _redrawControl();
                    return true;
                }
                m_keyCombo = { filtered, code };
                m_hasKeyChars = true;
                m_keyChars = characters;
                m_keyCharsIgnoringModifiers = event.charactersIgnoringModifiers();
                _tellDelegateKeyComboDidChange();
                _saveKeyCombo();
                m_comboJustChanged = true;
            }
        }
        m_recordingFlags = 0;
        _endRecordingTransition();
        resetTrackingRects();
        _redrawControl();
        return true;
    }

    if (!m_isRecording && characters == fnd::String(" ")) {
        if (!(m_isAnimatingNow && m_isAnimatingTowardsRecording))
            _startRecordingTransition();
        return true;
    }

    // Space in the focused control starts recording; while recording (or on the way there) it does not start it
    // again, which would pause the desktop's shortcuts twice.
    if (!m_isRecording && !(m_isAnimatingNow && m_isAnimatingTowardsRecording) && _controlIsFirstResponder()
        && !characters.isEmpty() && characters.characterAt(0) == u' ' && isEnabled())
        _startRecordingTransition();
    return false;
}

void KRRecorderCell::flagsChanged(const ui::Event& event)
{
    if (!m_isRecording)
        return;
    m_recordingFlags = _filteredCocoaFlags(event.modifierFlags());
    _redrawControl();
}

// Recording and its transition.

bool KRRecorderCell::_effectiveIsAnimating() const
{
    return m_isAnimating && _supportsAnimation();
}

void KRRecorderCell::_scheduleTick()
{
    if (m_pendingTick)
        fnd::cancelPreviousPerformRequests(*this, m_pendingTick);
    std::weak_ptr<fnd::Object> weak = weak_from_this();
    m_pendingTick = fnd::performAfterDelay(
        shared_from_this(),
        [weak] {
            if (auto cell = std::static_pointer_cast<KRRecorderCell>(weak.lock()))
                cell->_transitionTick();
        },
        KRRecorderCellTickInterval);
}

void KRRecorderCell::_startRecordingTransition()
{
    if (!_effectiveIsAnimating()) {
        _startRecording();
        return;
    }
    m_isAnimatingTowardsRecording = true;
    m_isAnimatingNow = true;
    m_transitionProgress = 0;
    _scheduleTick();
}

void KRRecorderCell::_endRecordingTransition()
{
    if (!_effectiveIsAnimating()) {
        _endRecording();
        return;
    }
    m_isAnimatingTowardsRecording = false;
    m_isAnimatingNow = true;
    m_transitionProgress = 0;
    _scheduleTick();
}

void KRRecorderCell::_transitionTick()
{
    m_pendingTick.reset();
    m_transitionProgress += KRRecorderCellTickStep;
    if (m_transitionProgress < 0.998) {
        _redrawControl();
        _scheduleTick();
        return;
    }
    m_isAnimatingNow = false;
    m_transitionProgress = 0;
    if (m_isAnimatingTowardsRecording)
        _startRecording();
    else
        _endRecording();
}

void KRRecorderCell::_startRecording()
{
    m_isRecording = true;
    m_recordingFlags = _filteredCocoaFlags(0);
    _redrawControl();
    _announceValue();
    _markFocusRing();
    if (m_globalHotKeys && m_hotKeyModeToken == 0) {
        if (auto window = _window())
            m_hotKeyModeToken = ui::SystemShortcutPause::pause(*window);
    }
}

void KRRecorderCell::_endRecording()
{
    m_isRecording = false;
    m_comboJustChanged = false;
    _redrawControl();
    _announceValue();
    _markFocusRing();
    // Given back whenever one is held, even when capturing was switched off meanwhile.
    if (m_hotKeyModeToken) {
        ui::SystemShortcutPause::resume(m_hotKeyModeToken);
        m_hotKeyModeToken = 0;
    }
}

// The user defaults.

fnd::String KRRecorderCell::_defaultsKeyForAutosaveName(const fnd::String& name)
{
    return fnd::String::format("KeyComboRecorder %@", { name });
}

void KRRecorderCell::_saveKeyCombo()
{
    if (m_autosaveName.isEmpty())
        return;
    fnd::Dictionary entry;
    entry.set("keyCode", fnd::Value(static_cast<long long>(static_cast<std::int16_t>(m_keyCombo.code))));
    entry.set("modifierFlags", fnd::Value(static_cast<unsigned long long>(m_keyCombo.flags)));
    entry.set("modifiers", fnd::Value(static_cast<unsigned long long>(KRModifierMaskToCarbon(m_keyCombo.flags))));
    if (m_hasKeyChars) {
        entry.set("keyChars", m_keyChars);
        entry.set("keyCharsIgnoringModifiers", m_keyCharsIgnoringModifiers);
    }
    auto values = fnd::UserDefaultsController::sharedUserDefaultsController().values().object();
    if (values)
        values->setValueForKey(entry, _defaultsKeyForAutosaveName(m_autosaveName));
}

void KRRecorderCell::_loadKeyCombo()
{
    if (m_autosaveName.isEmpty())
        return;
    auto values = fnd::UserDefaultsController::sharedUserDefaultsController().values().object();
    if (!values)
        return;
    auto stored = values->valueForKey(_defaultsKeyForAutosaveName(m_autosaveName));
    const auto* entry = stored.dictionary();
    // Nothing stored (or something that is not an entry): the combination stays.
    if (!entry)
        return;
    const auto code = static_cast<std::int16_t>(entry->get("keyCode").integerValue());
    std::uint64_t flags = 0;
    const auto* modifierFlags = entry->find("modifierFlags");
    const auto* modifiers = entry->find("modifiers");
    if (modifierFlags && modifierFlags->isNumber())
        flags = modifierFlags->number()->unsignedValue();
    else if (modifiers && modifiers->isNumber())
        flags = KRModifierMaskFromCarbon(static_cast<unsigned>(modifiers->number()->unsignedValue()));
    m_keyCombo = { _filteredCocoaFlags(flags), code };
    m_hasKeyChars = entry->contains("keyChars");
    if (m_hasKeyChars) {
        m_keyChars = entry->get("keyChars").stringValue();
        m_keyCharsIgnoringModifiers = entry->get("keyCharsIgnoringModifiers").stringValue();
    }
    _tellDelegateKeyComboDidChange();
    _redrawControl();
}

// Archives.

void KRRecorderCell::encodeWithCoder(fnd::Coder& coder) const
{
    ui::ActionCell::encodeWithCoder(coder);
    const auto code = static_cast<std::int16_t>(m_keyCombo.code);
    if (!coder.allowsKeyedCoding()) {
        coder.encodeObject(fnd::Value(m_autosaveName));
        coder.encodeObject(fnd::Value(static_cast<long long>(code)));
        coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_keyCombo.flags)));
        coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_allowedFlags)));
        coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_requiredFlags)));
        return;
    }
    coder.encodeObject(fnd::Value(m_autosaveName), "autosaveName");
    coder.encodeObject(fnd::Value(static_cast<long long>(code)), "keyComboCode");
    coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_keyCombo.flags)), "keyComboFlags");
    coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_allowedFlags)), "allowedFlags");
    coder.encodeObject(fnd::Value(static_cast<unsigned long long>(m_requiredFlags)), "requiredFlags");
    if (m_hasKeyChars) {
        coder.encodeObject(fnd::Value(m_keyChars), "keyChars");
        coder.encodeObject(fnd::Value(m_keyCharsIgnoringModifiers), "keyCharsIgnoringModifiers");
    }
    coder.encodeObject(fnd::Value(m_allowsKeyOnly), "allowsKeyOnly");
    coder.encodeObject(fnd::Value(m_escapeKeysRecord), "escapeKeysRecord");
    coder.encodeObject(fnd::Value(m_isAnimating), "isAnimating");
    coder.encodeObject(fnd::Value(static_cast<long long>(static_cast<std::int16_t>(m_style))), "style");
}

bool KRRecorderCell::initWithCoder(fnd::Coder& coder)
{
    auto text = [](const fnd::Value& v) { return v.isString() ? *v.string() : fnd::String(); };
    auto unsignedOf
        = [](const fnd::Value& v) -> std::uint64_t { return v.isNumber() ? v.number()->unsignedValue() : 0; };
    auto int16Of = [](const fnd::Value& v, std::int16_t fallback) {
        return v.isNumber() ? static_cast<std::int16_t>(v.number()->integerValue()) : fallback;
    };
    if (coder.allowsKeyedCoding()) {
        if (!ui::ActionCell::initWithCoder(coder))
            return false;
        m_autosaveName = text(coder.decodeObjectForKey("autosaveName"));
        m_keyCombo.code = int16Of(coder.decodeObjectForKey("keyComboCode"), -1);
        m_keyCombo.flags = unsignedOf(coder.decodeObjectForKey("keyComboFlags"));
        m_allowedFlags = unsignedOf(coder.decodeObjectForKey("allowedFlags"));
        m_requiredFlags = unsignedOf(coder.decodeObjectForKey("requiredFlags"));
        m_hasKeyChars = coder.containsValueForKey("keyChars");
        if (m_hasKeyChars) {
            m_keyChars = text(coder.decodeObjectForKey("keyChars"));
            m_keyCharsIgnoringModifiers = text(coder.decodeObjectForKey("keyCharsIgnoringModifiers"));
        }
        m_allowsKeyOnly = coder.decodeObjectForKey("allowsKeyOnly").boolValue();
        m_escapeKeysRecord = coder.decodeObjectForKey("escapeKeysRecord").boolValue();
        m_isAnimating = coder.decodeObjectForKey("isAnimating").boolValue();
        m_style = int16Of(coder.decodeObjectForKey("style"), 0);
    } else {
        m_autosaveName = text(coder.decodeObject());
        m_keyCombo.code = int16Of(coder.decodeObject(), -1);
        m_keyCombo.flags = unsignedOf(coder.decodeObject());
        m_allowedFlags = unsignedOf(coder.decodeObject());
        m_requiredFlags = unsignedOf(coder.decodeObject());
    }
    if (coder.hasFailed())
        return false;
    m_allowedFlags |= KRCocoaFlags::Function;
    // Read flags are filtered like every other: bits outside the modifiers never reach the binding.
    m_keyCombo.flags = _filteredCocoaFlags(m_keyCombo.flags);
    _loadKeyCombo();
    return true;
}
