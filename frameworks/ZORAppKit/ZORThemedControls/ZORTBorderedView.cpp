#include "frameworks/ZORAppKit/ZORThemedControls/ZORTBorderedView.h"

#include "frameworks/AppKitExtensions/ZORNSViewExtension.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/views/Window.h"

namespace {

const fnd::String IsActiveBinding = "isActive";
// Tells the view's own observation of the "isActive" binding from any other.
constexpr char ActiveBindingContext[] = "org.barcodes.ZORTBorderedView.isActive";

const fnd::Selector UpdateWindowState("updateWindowState:");

namespace Key {
const fnd::String BorderSides = "borderSides";
const fnd::String BorderStyle = "borderStyle";
const fnd::String PathStyle = "pathStyle";
const fnd::String ActiveAngle = "activeBackgroundGradientAngle";
const fnd::String InactiveAngle = "inactiveBackgroundGradientAngle";
const fnd::String RespectWindowState = "respectWindowState";
const fnd::String IsActive = "isActive";
}

}

// After the names describeClass uses, which must be made first.
FND_REGISTER_CLASS(ZORTBorderedView, ui::View)

void ZORTBorderedView::describeClass(fnd::ClassBuilder<ZORTBorderedView>& c)
{
    c.property("themeKey", &ZORTBorderedView::themeKey, &ZORTBorderedView::setThemeKey);
    c.property("borderSides", &ZORTBorderedView::borderSides, &ZORTBorderedView::setBorderSides);
    c.property("borderStyle", &ZORTBorderedView::borderStyle, &ZORTBorderedView::setBorderStyle);
    c.property("pathStyle", &ZORTBorderedView::pathStyle, &ZORTBorderedView::setPathStyle);
    c.property("activeBackgroundGradientAngle", &ZORTBorderedView::activeBackgroundGradientAngle,
        &ZORTBorderedView::setActiveBackgroundGradientAngle);
    c.property("inactiveBackgroundGradientAngle", &ZORTBorderedView::inactiveBackgroundGradientAngle,
        &ZORTBorderedView::setInactiveBackgroundGradientAngle);
    c.property("respectWindowState", &ZORTBorderedView::respectWindowState, &ZORTBorderedView::setRespectWindowState);
    c.property("isActive", &ZORTBorderedView::isActive, &ZORTBorderedView::setActive);
    c.action(UpdateWindowState, &ZORTBorderedView::updateWindowState);
    c.exposeBinding(IsActiveBinding);
}

ZORTBorderedView::~ZORTBorderedView()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(*this);
    if (m_activeBinding) {
        if (auto observed = m_activeBinding->object.lock())
            observed->removeObserver(*this, m_activeBinding->keyPath, ActiveBindingContext);
    }
}

std::shared_ptr<ZORTBorderedView> ZORTBorderedView::create(gfx::Rect frame)
{
    return ui::makeView<ZORTBorderedView>(frame);
}

void ZORTBorderedView::setActiveBackgroundGradient(std::shared_ptr<gfx::Gradient> gradient)
{
    m_look.activeBackgroundGradient = std::move(gradient);
}

void ZORTBorderedView::setInactiveBackgroundGradient(std::shared_ptr<gfx::Gradient> gradient)
{
    m_look.inactiveBackgroundGradient = std::move(gradient);
}

bool ZORTBorderedView::drawsActive() const
{
    if (!m_isActive)
        return false;
    if (!m_respectWindowState)
        return true;
    auto w = window();
    return w && w->isMainWindow();
}

void ZORTBorderedView::drawRect(gfx::Rect dirtyRect)
{
    auto theme = ZORThemedControls::themeForKey(m_themeKey);
    if (!theme) {
        View::drawRect(dirtyRect);
        return;
    }
    ZORThemeDrawing::drawBorderedView(*theme, bounds(), drawsActive(), m_look);
}

// The dark background style of the contents.

void ZORTBorderedView::propagateDarkBackgroundStyle()
{
    auto theme = ZORThemedControls::themeForKey(m_themeKey);
    if (!theme || theme->backgroundStyle() != ZORBackgroundStyleValue::Dark)
        return;
    for (const auto& view : ZORNSViewExtension::descendantsKindOfClass(*this, &ui::Control::staticClassInfo()))
        view->setValueForKeyPath(fnd::Value(static_cast<long>(ui::BackgroundStyle::Dark)), "cell.backgroundStyle");
}

void ZORTBorderedView::awakeFromNib()
{
    View::awakeFromNib();
    propagateDarkBackgroundStyle();
}

void ZORTBorderedView::didAddSubview(ui::View& subview)
{
    View::didAddSubview(subview);
    propagateDarkBackgroundStyle();
}

// The window's main state.

void ZORTBorderedView::observeWindow(bool start)
{
    // Every window's notifications, sorted out when they arrive: the centre would keep a window given as the
    // object alive, and the window keeps this view.
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (const auto& name : { ui::WindowNotification::DidBecomeMain, ui::WindowNotification::DidResignMain }) {
        if (start)
            center.addObserver(*this, UpdateWindowState, name);
        else
            center.removeObserver(*this, name);
    }
}

void ZORTBorderedView::viewWillMoveToWindow(ui::Window* newWindow)
{
    View::viewWillMoveToWindow(newWindow);
    if (window())
        observeWindow(false);
}

void ZORTBorderedView::viewDidMoveToWindow()
{
    View::viewDidMoveToWindow();
    if (window())
        observeWindow(true);
}

void ZORTBorderedView::updateWindowState(const fnd::Value& notification)
{
    auto n = notification.objectAs<fnd::Notification>();
    auto w = window();
    if (n && w && n->object().object().get() == w.get())
        setNeedsDisplay(true);
}

// The "isActive" binding.

void ZORTBorderedView::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    if (binding != IsActiveBinding) {
        View::bind(binding, observable, keyPath, options);
        return;
    }
    unbind(binding);
    m_activeBinding = ActiveBinding { fnd::WeakObjectRef(observable), keyPath, options };
    observable.addObserver(*this, keyPath, fnd::KeyValueObservingOptions::New | fnd::KeyValueObservingOptions::Initial,
        ActiveBindingContext);
    setNeedsDisplay(true);
}

void ZORTBorderedView::unbind(const fnd::String& binding)
{
    if (binding != IsActiveBinding) {
        View::unbind(binding);
        return;
    }
    if (!m_activeBinding)
        return;
    auto bound = std::move(*m_activeBinding);
    m_activeBinding.reset();
    if (auto observed = bound.object.lock())
        observed->removeObserver(*this, bound.keyPath, ActiveBindingContext);
    setNeedsDisplay(true);
}

std::optional<fnd::Dictionary> ZORTBorderedView::infoForBinding(const fnd::String& binding) const
{
    if (binding != IsActiveBinding)
        return View::infoForBinding(binding);
    if (!m_activeBinding)
        return std::nullopt;
    auto observed = m_activeBinding->object.lock();
    fnd::Dictionary info;
    info.set(fnd::BindingInfoKey::ObservedObject, observed ? observed->selfValue() : fnd::Value());
    info.set(fnd::BindingInfoKey::ObservedKeyPath, fnd::Value(m_activeBinding->keyPath));
    info.set(fnd::BindingInfoKey::Options, fnd::Value(m_activeBinding->options));
    return info;
}

void ZORTBorderedView::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context != ActiveBindingContext || !m_activeBinding || keyPath != m_activeBinding->keyPath) {
        View::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    if (change.kind != fnd::KeyValueChangeKind::Setting)
        return;
    auto value = object.valueForKeyPath(keyPath);
    if (fnd::selectionMarkerKind(value) == fnd::SelectionMarker::Kind::NoSelection) {
        // Nothing selected: nothing to be active for.
        setActive(false);
    } else if (value.isNumber()) {
        const auto& options = m_activeBinding->options;
        auto transformer = fnd::ValueTransformer::valueTransformerForName(
            options.get(fnd::BindingOption::ValueTransformerName).stringValue());
        if (!transformer)
            transformer = options.get(fnd::BindingOption::ValueTransformer).objectAs<fnd::ValueTransformer>();
        if (transformer)
            value = transformer->transformedValue(value);
        setActive(!value.isNil() && value.boolValue());
    }
    setNeedsDisplay(true);
}

// Archiving.

void ZORTBorderedView::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    ZORThemedControls::encodeThemeKey(coder, m_themeKey);
    coder.encodeInt64(static_cast<std::int64_t>(m_look.borderSides), Key::BorderSides);
    coder.encodeInt64(static_cast<std::int64_t>(m_look.borderStyle), Key::BorderStyle);
    coder.encodeInt64(static_cast<std::int64_t>(m_look.pathStyle), Key::PathStyle);
    coder.encodeDouble(m_look.activeBackgroundGradientAngle, Key::ActiveAngle);
    coder.encodeDouble(m_look.inactiveBackgroundGradientAngle, Key::InactiveAngle);
    coder.encodeBool(m_respectWindowState, Key::RespectWindowState);
    coder.encodeBool(m_isActive, Key::IsActive);
}

bool ZORTBorderedView::initWithCoder(fnd::Coder& coder)
{
    if (!ui::View::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    if (auto key = ZORThemedControls::decodeThemeKey(coder))
        m_themeKey = *key;
    m_look.borderSides = static_cast<std::uint64_t>(coder.decodeInt64ForKey(Key::BorderSides));
    m_look.borderStyle = static_cast<std::uint64_t>(coder.decodeInt64ForKey(Key::BorderStyle));
    m_look.pathStyle = static_cast<std::uint64_t>(coder.decodeInt64ForKey(Key::PathStyle));
    auto angle = [&](const fnd::String& key) {
        const double degrees = coder.decodeDoubleForKey(key);
        return std::isfinite(degrees) ? degrees : 0.0;
    };
    m_look.activeBackgroundGradientAngle = angle(Key::ActiveAngle);
    m_look.inactiveBackgroundGradientAngle = angle(Key::InactiveAngle);
    m_respectWindowState = coder.decodeBoolForKey(Key::RespectWindowState);
    // Archives written before the flag was kept decoded active, and still do.
    m_isActive = !coder.containsValueForKey(Key::IsActive) || coder.decodeBoolForKey(Key::IsActive);
    return !coder.hasFailed();
}
