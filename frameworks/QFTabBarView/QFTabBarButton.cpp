#include "frameworks/QFTabBarView/QFTabBarButton.h"

#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(QFProgressIndicator, ui::ProgressIndicator)
FND_REGISTER_CLASS(QFTabBarButton, QFRolloverButton)

namespace {

// The context of the button's own observations.
const char* const TabBarButtonObserverContext = "QFTabBarView.QFTabBarButton.ObserverContext";
const fnd::String TabBarButtonConditionallySetsHidden = "NSConditionallySetsHidden";

enum TabBarButtonSlot { IsProcessing, IsEdited, ObjectCount, ObjectCountColor, Icon, LargeImage, HasCloseButton };

fnd::Value tabBarButtonTransformed(const fnd::Value& value, const fnd::Dictionary& options)
{
    if (auto transformer = fnd::valueTransformerForBindingOptions(options))
        return transformer->transformedValue(value);
    return value;
}

}

std::shared_ptr<QFProgressIndicator> QFProgressIndicator::create(gfx::Rect frame)
{
    return ui::makeView<QFProgressIndicator>(frame);
}

void QFProgressIndicator::startAnimationLater()
{
    const unsigned long generation = m_startGeneration;
    std::weak_ptr<QFProgressIndicator> weak = std::static_pointer_cast<QFProgressIndicator>(shared_from_this());
    fnd::RunLoop::current().post([weak, generation] {
        if (auto self = weak.lock(); self && self->m_startGeneration == generation)
            self->startAnimation();
    });
}

void QFProgressIndicator::stopAnimation(const fnd::Value& sender)
{
    ++m_startGeneration;
    ui::ProgressIndicator::stopAnimation(sender);
}

void QFTabBarButton::describeClass(fnd::ClassBuilder<QFTabBarButton>& c)
{
    c.property("title", &QFTabBarButton::title, &QFTabBarButton::setTitle);
    for (const auto& name : bindingNames())
        c.exposeBinding(name);
}

const std::array<fnd::String, 7>& QFTabBarButton::bindingNames()
{
    static const std::array<fnd::String, 7> names { "isProcessing", "isEdited", "objectCount", "objectCountColor",
        "icon", "largeImage", "hasCloseButton" };
    return names;
}

QFTabBarButton::~QFTabBarButton()
{
    for (auto& slot : m_bindings)
        if (auto object = slot.object.lock())
            object->removeObserver(*this, slot.keyPath, TabBarButtonObserverContext);
}

void QFTabBarButton::encodeWithCoder(fnd::Coder& coder) const
{
    QFRolloverButton::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(m_closeButton ? fnd::Value(m_closeButton) : fnd::Value(), "closeButton");
    coder.encodeObject(m_indicator ? fnd::Value(m_indicator) : fnd::Value(), "indicator");
}

bool QFTabBarButton::initWithCoder(fnd::Coder& coder)
{
    if (!QFRolloverButton::initWithCoder(coder))
        return false;
    auto close = coder.allowsKeyedCoding() ? decodeSubviewForKey<QFRolloverButton>(coder, "closeButton") : nullptr;
    auto indicator = coder.allowsKeyedCoding() ? decodeSubviewForKey<QFProgressIndicator>(coder, "indicator") : nullptr;
    if (coder.hasFailed())
        return false;
    // Parts the archive lacks: those initWithFrame made go back in.
    if (close)
        m_closeButton = close;
    else if (m_closeButton)
        addSubview(m_closeButton);
    if (indicator)
        m_indicator = indicator;
    else if (m_indicator)
        addSubview(m_indicator);
    return true;
}

std::shared_ptr<QFTabBarButton> QFTabBarButton::create(gfx::Rect frame)
{
    return ui::makeView<QFTabBarButton>(frame);
}

void QFTabBarButton::initWithFrame(gfx::Rect frame)
{
    QFRolloverButton::initWithFrame(frame);
    QFRolloverButton::setTitle("");
    m_closeButton = QFRolloverButton::create(_closeButtonRectForBounds(bounds()));
    m_closeButton->setTitle("");
    m_closeButton->setImagePosition(ui::CellImagePosition::ImageOnly);
    m_closeButton->setRolloverButtonType(0);
    m_closeButton->setBordered(false);
    m_closeButton->setBezelStyle(ui::BezelStyle::ShadowlessSquare);
    addSubview(m_closeButton);

    m_indicator = QFProgressIndicator::create({ 0, 0, 16, 16 });
    m_indicator->setStyle(ui::ProgressIndicatorStyle::Spinning);
    m_indicator->setAutoresizingMask(ui::AutoresizingMask::MinYMargin);
    m_indicator->setControlSize(gfx::ControlSize::Small);
    m_indicator->setFrame(_indicatorRectForBounds(bounds()));
    addSubview(m_indicator);
    if (auto c = tabCell()) {
        c->updateCloseButton();
        c->updateIndicator();
    }
}

std::shared_ptr<ui::Cell> QFTabBarButton::makeCell() const
{
    return std::make_shared<QFTabBarButtonCell>();
}

std::shared_ptr<QFTabBarView> QFTabBarButton::tabBarView() const
{
    return QFTabBarViewExtensions::enclosingTabBarView(*this);
}

gfx::Rect QFTabBarButton::stackingFrame() const
{
    std::lock_guard guard(m_frameLock);
    return m_stackingFrame;
}

void QFTabBarButton::setStackingFrame(gfx::Rect frame)
{
    std::lock_guard guard(m_frameLock);
    m_stackingFrame = frame;
}

fnd::Selector QFTabBarButton::closeButtonAction() const
{
    return m_closeButton->action();
}

void QFTabBarButton::setCloseButtonAction(fnd::Selector action)
{
    m_closeButton->setAction(action);
}

void QFTabBarButton::setTitle(const fnd::String& title)
{
    QFRolloverButton::setTitle(title);
    auto bar = tabBarView();
    if (bar && bar->sizeButtonsToFit())
        scheduleBarUpdate();
}

void QFTabBarButton::scheduleBarUpdate()
{
    // Coalesced: any number of changes in one run-loop turn give one layout pass.
    if (auto bar = tabBarView())
        bar->setNeedsUpdate(true);
}

bool QFTabBarButton::shouldDisplayLeftDivider() const
{
    return (tabState() & QFTabState::PreviousSliding) != 0;
}

bool QFTabBarButton::shouldDisplayRightDivider() const
{
    return (tabState() & QFTabState::NextSliding) != 0;
}

double QFTabBarButton::minimumWidth() const
{
    auto c = tabCell();
    return c ? c->minimumWidthOfCell() : 0;
}

double QFTabBarButton::desiredWidth() const
{
    auto c = tabCell();
    return c ? c->desiredWidthOfCell() : 0;
}

void QFTabBarButton::updateCell()
{
    setNeedsDisplay(true);
}

#define QF_TAB_BAR_BUTTON_FORWARD(Type, getter, setter, fallback)                                                      \
    Type QFTabBarButton::getter() const                                                                                \
    {                                                                                                                  \
        auto c = tabCell();                                                                                            \
        return c ? c->getter() : fallback;                                                                             \
    }                                                                                                                  \
    void QFTabBarButton::setter(Type value)                                                                            \
    {                                                                                                                  \
        if (auto c = tabCell())                                                                                        \
            c->setter(std::move(value));                                                                               \
        updateCell();                                                                                                  \
    }

QF_TAB_BAR_BUTTON_FORWARD(std::shared_ptr<QFTabStyle>, style, setStyle, nullptr)
QF_TAB_BAR_BUTTON_FORWARD(QFTabStateBits, tabState, setTabState, 0)
QF_TAB_BAR_BUTTON_FORWARD(bool, hasCloseButton, setHasCloseButton, false)
QF_TAB_BAR_BUTTON_FORWARD(bool, suppressCloseButton, setSuppressCloseButton, false)
QF_TAB_BAR_BUTTON_FORWARD(std::shared_ptr<gfx::Image>, icon, setIcon, nullptr)
QF_TAB_BAR_BUTTON_FORWARD(std::shared_ptr<gfx::Image>, largeImage, setLargeImage, nullptr)
QF_TAB_BAR_BUTTON_FORWARD(bool, showObjectCount, setShowObjectCount, false)
QF_TAB_BAR_BUTTON_FORWARD(long, objectCount, setObjectCount, 0)
QF_TAB_BAR_BUTTON_FORWARD(gfx::ColorPtr, objectCountColor, setObjectCountColor, nullptr)
QF_TAB_BAR_BUTTON_FORWARD(bool, isEdited, setIsEdited, false)
QF_TAB_BAR_BUTTON_FORWARD(bool, isProcessing, setIsProcessing, false)

#undef QF_TAB_BAR_BUTTON_FORWARD

bool QFTabBarButton::shouldDisplayCloseButton() const
{
    auto c = tabCell();
    return c && c->shouldDisplayCloseButton();
}

void QFTabBarButton::updateImages()
{
    if (auto c = tabCell())
        c->updateImages();
}

gfx::Rect QFTabBarButton::_closeButtonRectForBounds(gfx::Rect bounds) const
{
    auto c = tabCell();
    return c ? c->closeButtonRectForBounds(bounds) : gfx::ZeroRect;
}

gfx::Rect QFTabBarButton::_indicatorRectForBounds(gfx::Rect bounds) const
{
    auto c = tabCell();
    return c ? c->indicatorRectForBounds(bounds) : gfx::ZeroRect;
}

void QFTabBarButton::calcSize()
{
    if (auto c = tabCell()) {
        c->updateCloseButton();
        c->updateIndicator();
    }
}

bool QFTabBarButton::acceptsFirstMouse(const ui::Event* event)
{
    auto bar = tabBarView();
    return bar ? bar->acceptsFirstMouse(event) : QFRolloverButton::acceptsFirstMouse(event);
}

void QFTabBarButton::resizeSubviewsWithOldSize(gfx::Size oldSize)
{
    QFRolloverButton::resizeSubviewsWithOldSize(oldSize);
    calcSize();
}

void QFTabBarButton::setFrameSize(gfx::Size size)
{
    const bool changed = size != frame().size;
    QFRolloverButton::setFrameSize(size);
    if (changed)
        calcSize();
}

std::shared_ptr<ui::Menu> QFTabBarButton::menuForEvent(const ui::Event& event)
{
    auto bar = tabBarView();
    return bar ? bar->menuForTabBarButton(*this, event) : nullptr;
}

// Bindings.

int QFTabBarButton::slotIndex(const fnd::String& binding) const
{
    const auto& names = bindingNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == binding)
            return int(i);
    return -1;
}

void QFTabBarButton::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    const int index = slotIndex(binding);
    if (index < 0) {
        QFRolloverButton::bind(binding, observable, keyPath, options);
        return;
    }
    auto& slot = m_bindings[std::size_t(index)];
    if (slot.observed)
        unbind(binding);
    slot.object = std::static_pointer_cast<fnd::Object>(observable.shared_from_this());
    slot.observed = &observable;
    slot.keyPath = keyPath;
    slot.options = options;
    observable.addObserver(*this, keyPath, fnd::KeyValueObservingOptions::New | fnd::KeyValueObservingOptions::Initial,
        TabBarButtonObserverContext);
}

void QFTabBarButton::unbind(const fnd::String& binding)
{
    const int index = slotIndex(binding);
    if (index < 0) {
        QFRolloverButton::unbind(binding);
        return;
    }
    auto& slot = m_bindings[std::size_t(index)];
    if (auto object = slot.object.lock())
        object->removeObserver(*this, slot.keyPath, TabBarButtonObserverContext);
    slot = {};
}

std::optional<fnd::Dictionary> QFTabBarButton::infoForBinding(const fnd::String& binding) const
{
    const int index = slotIndex(binding);
    if (index < 0)
        return QFRolloverButton::infoForBinding(binding);
    const auto& slot = m_bindings[std::size_t(index)];
    auto object = slot.object.lock();
    if (!object)
        return std::nullopt;
    return fnd::Dictionary { { "NSObservedObject", fnd::Value(object) }, { "NSObservedKeyPath", slot.keyPath },
        { "NSOptions", slot.options } };
}

void QFTabBarButton::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context != TabBarButtonObserverContext) {
        QFRolloverButton::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    if (change.kind == fnd::KeyValueChangeKind::Setting) {
        for (int slot : { ObjectCount, ObjectCountColor, IsProcessing, IsEdited, Icon, LargeImage, HasCloseButton }) {
            const auto& binding = m_bindings[std::size_t(slot)];
            if (binding.observed == &object && binding.keyPath == keyPath) {
                applyBoundValue(slot, object.valueForKeyPath(keyPath));
                break;
            }
        }
    }
    auto bar = tabBarView();
    if (bar && bar->sizeButtonsToFit())
        scheduleBarUpdate();
}

void QFTabBarButton::applyBoundValue(int slot, const fnd::Value& value)
{
    const auto& options = m_bindings[std::size_t(slot)].options;
    switch (slot) {
    case ObjectCount: {
        if (fnd::isSelectionMarker(value) || !value.isNumber()) {
            setObjectCount(0);
        } else {
            setObjectCount(long(tabBarButtonTransformed(value, options).integerValue()));
        }
        const fnd::Value* hides = options.find(TabBarButtonConditionallySetsHidden);
        if (!hides) {
            setShowObjectCount(true);
        } else if (hides->boolValue()) {
            const fnd::Value shown = value.isNumber() ? tabBarButtonTransformed(value, options) : value;
            setShowObjectCount(
                !(fnd::isSelectionMarker(shown) || shown.isNil() || shown.isNull() || shown.integerValue() == 0));
        }
        break;
    }
    case ObjectCountColor:
        setObjectCountColor(value.objectAs<gfx::Color>());
        break;
    case IsProcessing:
    case IsEdited:
    case HasCloseButton: {
        bool flag = false;
        if (value.isNumber() && !fnd::isSelectionMarker(value))
            flag = tabBarButtonTransformed(value, options).boolValue();
        if (slot == IsProcessing)
            setIsProcessing(flag);
        else if (slot == IsEdited)
            setIsEdited(flag);
        else
            setHasCloseButton(flag);
        break;
    }
    case Icon:
        setIcon(value.objectAs<gfx::Image>());
        break;
    case LargeImage:
        setLargeImage(value.objectAs<gfx::Image>());
        break;
    default:
        break;
    }
}
