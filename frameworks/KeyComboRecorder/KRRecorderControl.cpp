#include "frameworks/KeyComboRecorder/KRRecorderControl.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(KRRecorderControl, ui::Control)

namespace {
constexpr const char* KRRecorderControlChangeOperation = "-[KRRecorderControl keyComboRecorderCell:keyComboDidChange:]";
}

void KRRecorderControl::describeClass(fnd::ClassBuilder<KRRecorderControl>& c)
{
    // The settings an interface file gives a recorder.
    c.property("autosaveName", &KRRecorderControl::autosaveName, &KRRecorderControl::setAutosaveName);
    c.property("allowsKeyOnly", &KRRecorderControl::allowsKeyOnly, &KRRecorderControl::setAllowsKeyOnly);
    c.property("escapeKeysRecord", &KRRecorderControl::escapeKeysRecord, &KRRecorderControl::setEscapeKeysRecord);
    c.property("canCaptureGlobalHotKeys", &KRRecorderControl::canCaptureGlobalHotKeys,
        &KRRecorderControl::setCanCaptureGlobalHotKeys);
    c.property("animates", &KRRecorderControl::animates, &KRRecorderControl::setAnimates);
    c.property("style", &KRRecorderControl::style, &KRRecorderControl::setStyle);
}

KRRecorderControl::~KRRecorderControl()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_frameObserver);
}

std::shared_ptr<KRRecorderControl> KRRecorderControl::create(gfx::Rect frame)
{
    return ui::makeView<KRRecorderControl>(frame);
}

void KRRecorderControl::initWithFrame(gfx::Rect frame)
{
    ui::Control::initWithFrame(frame);
    adoptCell();
    setFrameSize(frame.size);
}

bool KRRecorderControl::initWithCoder(fnd::Coder& coder)
{
    if (!ui::Control::initWithCoder(coder))
        return false;
    adoptCell();
    return true;
}

void KRRecorderControl::adoptCell()
{
    if (auto cell = recorderCell())
        cell->setDelegate(std::dynamic_pointer_cast<KRRecorderCellDelegate>(shared_from_this()));
}

std::shared_ptr<ui::Cell> KRRecorderControl::makeCell() const
{
    return fnd::makeObject<KRRecorderCell>();
}

fnd::String KRRecorderControl::valueClassForBinding(const fnd::String& binding) const
{
    return binding == fnd::BindingName::Value ? fnd::String("NSDictionary") : fnd::String();
}

// Responders.

bool KRRecorderControl::becomeFirstResponder()
{
    bool accepted = recorderCell()->becomeFirstResponder();
    if (accepted)
        setKeyboardFocusRingNeedsDisplayInRect(bounds());
    return accepted;
}

bool KRRecorderControl::resignFirstResponder()
{
    bool accepted = recorderCell()->resignFirstResponder();
    if (accepted)
        setKeyboardFocusRingNeedsDisplayInRect(bounds());
    return accepted;
}

void KRRecorderControl::viewDidMoveToWindow()
{
    ui::Control::viewDidMoveToWindow();
    if (!window())
        return;
    auto& center = fnd::NotificationCenter::defaultCenter();
    center.removeObserver(m_frameObserver);
    std::weak_ptr<fnd::Object> weak = weak_from_this();
    m_frameObserver = center.addObserverForName(
        ui::ViewNotification::FrameDidChange, fnd::Value(shared_from_this()), [weak](const fnd::Notification&) {
            if (auto self = std::static_pointer_cast<KRRecorderControl>(weak.lock()))
                self->resetTrackingRects();
        });
    resetTrackingRects();
}

void KRRecorderControl::resetTrackingRects()
{
    if (auto cell = recorderCell())
        cell->resetTrackingRects();
}

void KRRecorderControl::setFrameSize(gfx::Size size)
{
    ui::Control::setFrameSize(fixedSize(size));
}

void KRRecorderControl::setFrame(gfx::Rect frame)
{
    ui::Control::setFrame({ frame.origin, fixedSize(frame.size) });
}

bool KRRecorderControl::performKeyEquivalent(const ui::Event& event)
{
    auto w = window();
    if (w && w->firstResponder() == shared_from_this() && recorderCell()->performKeyEquivalent(event))
        return true;
    return ui::Control::performKeyEquivalent(event);
}

void KRRecorderControl::keyDown(const ui::Event& event)
{
    if (recorderCell()->performKeyEquivalent(event))
        return;
    ui::Control::keyDown(event);
}

void KRRecorderControl::flagsChanged(const ui::Event& event)
{
    recorderCell()->flagsChanged(event);
}

void KRRecorderControl::mouseDown(const ui::Event& event)
{
    auto self = shared_from_this();
    recorderCell()->trackMouse(event, bounds(), *this, false);
}

void KRRecorderControl::awakeFromNib()
{
    ui::Control::awakeFromNib();
    recorderCell()->loadStoredKeyCombo();
}

// The cell's delegate.

std::optional<bool> KRRecorderControl::keyComboRecorderCellIsKeyCode(
    KRRecorderCell&, std::int64_t keyCode, std::uint64_t flags, fnd::String& reason)
{
    auto delegate = m_delegate.lock();
    if (!delegate)
        return false;
    return delegate->keyComboRecorderIsKeyCode(*this, keyCode, flags, reason).value_or(false);
}

void KRRecorderControl::keyComboRecorderCellKeyComboDidChange(KRRecorderCell&, _KeyCombo newKeyCombo)
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->keyComboRecorderKeyComboDidChange(*this, newKeyCombo);
    // A value arriving from the binding is not written back to where it came from.
    if (!m_showingBoundValue)
        pushValueToBinding();
}

void KRRecorderControl::pushValueToBinding()
{
    auto info = infoForBinding(fnd::BindingName::Value);
    if (!info)
        return;
    fnd::Value value = objectValue();
    const auto options = info->get(fnd::BindingInfoKey::Options);
    if (const auto* dictionary = options.dictionary()) {
        if (auto transformer = fnd::valueTransformerForBindingOptions(*dictionary)) {
            if (transformer->allowsReverseTransformation()) {
                value = transformer->reverseTransformedValue(value);
            } else {
                fnd::logf(fnd::LogLevel::Warning,
                    "WARNING: value has value transformer, but it doesn't allow reverse transformations in {}",
                    KRRecorderControlChangeOperation);
            }
        }
    }
    const auto observed = info->get(fnd::BindingInfoKey::ObservedObject);
    const auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath);
    auto object = observed.object();
    if (!object) {
        fnd::logf(fnd::LogLevel::Error, "ERROR: NSObservedObjectKey was nil for value binding in {}",
            KRRecorderControlChangeOperation);
        return;
    }
    if (!keyPath.isString()) {
        fnd::logf(fnd::LogLevel::Error, "ERROR: NSObservedKeyPathKey was nil for value binding in {}",
            KRRecorderControlChangeOperation);
        return;
    }
    object->setValueForKeyPath(value, *keyPath.string());
}

void KRRecorderControl::takeBoundValue(
    const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    // The value this control wrote a moment ago comes back through the binding: nothing to show anew.
    if (binding == fnd::BindingName::Value && value == objectValue())
        return;
    m_showingBoundValue = true;
    ui::Control::takeBoundValue(value, binding, options);
    m_showingBoundValue = false;
}
