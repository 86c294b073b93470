#include "frameworks/ZORAppKit/ZORProgressWindowController/ZORProgressWindowController.h"

#include "frameworks/FoundationExtensions/QFProgressWindowController.h"
#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORProgressWindowController, ui::WindowController)

void ZORProgressWindowController::describeClass(fnd::ClassBuilder<ZORProgressWindowController>& c)
{
    c.property("imageView", &ZORProgressWindowController::imageView, &ZORProgressWindowController::setImageView);
    c.property(
        "infoTextField", &ZORProgressWindowController::infoTextField, &ZORProgressWindowController::setInfoTextField);
    c.property("progressDescriptionTextField", &ZORProgressWindowController::progressDescriptionTextField,
        &ZORProgressWindowController::setProgressDescriptionTextField);
    c.property("progressIndicator", &ZORProgressWindowController::progressIndicator,
        &ZORProgressWindowController::setProgressIndicator);
    c.property(
        "cancelButton", &ZORProgressWindowController::cancelButton, &ZORProgressWindowController::setCancelButton);
    c.property("currentProgressDescriptor", &ZORProgressWindowController::currentProgressDescriptor);
    c.property("operationQueue", &ZORProgressWindowController::operationQueue);
    c.action("cancel:", &ZORProgressWindowController::cancelAction);
}

ZORProgressWindowController::ZORProgressWindowController()
    : m_opQueue(fnd::makeObject<fnd::OperationQueue>())
{
    m_progressDescriptors.push_back(ZORProgressDescriptor::initWithTitle(defaultTitle(), {}, false));
}

ZORProgressWindowController::~ZORProgressWindowController()
{
    m_opQueue->removeOperationCountObserver(m_countObserver);
    for (auto token : m_observers)
        fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

void ZORProgressWindowController::init()
{
    initWithWindowNibName("ZORProgressWindow");
    std::weak_ptr<ZORProgressWindowController> weak
        = std::static_pointer_cast<ZORProgressWindowController>(shared_from_this());
    m_countObserver = m_opQueue->addOperationCountObserver([weak](std::size_t count) {
        if (auto self = weak.lock())
            self->operationCountChanged(count);
    });
}

std::shared_ptr<ZORProgressWindowController> ZORProgressWindowController::create()
{
    return fnd::makeObject<ZORProgressWindowController>();
}

fnd::String ZORProgressWindowController::defaultTitle() const
{
    auto bundle = ZORNSObject_Extension::bundle(staticClassInfo());
    return bundle ? bundle->localizedStringForKey("DefaultTitle", {}, "ZORProgressWindow") : fnd::String();
}

ZORProgressWindowController::CompletionBlock ZORProgressWindowController::completionBlock() const
{
    std::lock_guard guard(m_mutex);
    return m_completionBlock;
}

void ZORProgressWindowController::setCompletionBlock(CompletionBlock block)
{
    std::lock_guard guard(m_mutex);
    m_completionBlock = std::move(block);
}

// Setting up.

std::shared_ptr<ZORProgressDescriptor> ZORProgressWindowController::setupWithDescriptor(
    std::shared_ptr<ZORProgressDescriptor> descriptor)
{
    m_isCancelled = false;
    m_closeWindowOnCompletion = true;
    removeAllProgressDescriptors();
    addProgressDescriptor(descriptor);
    return descriptor;
}

std::shared_ptr<ZORProgressDescriptor> ZORProgressWindowController::setupAsIndeterminateWithTitle(
    const std::optional<fnd::String>& title, bool allowCancel)
{
    const fnd::String t = title.value_or(defaultTitle());
    return setupWithDescriptor(ZORProgressDescriptor::initWithTitle(t, t + u"\u2026", allowCancel));
}

std::shared_ptr<ZORProgressDescriptor> ZORProgressWindowController::setupAsDeterminateWithTitle(
    const std::optional<fnd::String>& title, double minValue, double maxValue, double initialValue, bool allowCancel)
{
    const fnd::String t = title.value_or(defaultTitle());
    auto descriptor = ZORProgressDescriptor::initWithTitle(t, t + u"\u2026", minValue, maxValue, allowCancel);
    if (initialValue != minValue)
        descriptor->setCurrentValue(initialValue);
    return setupWithDescriptor(descriptor);
}

// The stack.

void ZORProgressWindowController::addProgressDescriptor(const std::shared_ptr<ZORProgressDescriptor>& descriptor)
{
    if (!descriptor)
        return;
    if (auto current = currentProgressDescriptor()) {
        if (descriptor->title().isEmpty())
            descriptor->setTitle(current->title());
        if (descriptor->infoText().isEmpty())
            descriptor->setInfoText(current->infoText());
    }
    willChangeValueForKey("currentProgressDescriptor");
    m_progressDescriptors.push_back(descriptor);
    didChangeValueForKey("currentProgressDescriptor");
    if (isWindowLoaded())
        updateGUI();
}

void ZORProgressWindowController::removeProgressDescriptor(const std::shared_ptr<ZORProgressDescriptor>& descriptor)
{
    willChangeValueForKey("currentProgressDescriptor");
    std::erase(m_progressDescriptors, descriptor);
    didChangeValueForKey("currentProgressDescriptor");
    if (isWindowLoaded())
        updateGUI();
}

void ZORProgressWindowController::removeAllProgressDescriptors()
{
    willChangeValueForKey("currentProgressDescriptor");
    m_progressDescriptors.clear();
    didChangeValueForKey("currentProgressDescriptor");
    if (isWindowLoaded())
        updateGUI();
}

std::shared_ptr<ZORProgressDescriptor> ZORProgressWindowController::currentProgressDescriptor() const
{
    return m_progressDescriptors.empty() ? nullptr : m_progressDescriptors.back();
}

// The controls.

void ZORProgressWindowController::windowDidLoad()
{
    ui::WindowController::windowDidLoad();
    if (!m_progressIndicator)
        return;
    m_defaultProgressIndicatorWidth = m_progressIndicator->frame().width();
    m_progressIndicator->setUsesThreadedAnimation(true);
    auto current = currentProgressDescriptor();
    if (current && current->isIndeterminate() && m_progressIndicator->isIndeterminate())
        m_progressIndicator->startAnimation();
    updateGUI();
}

void ZORProgressWindowController::updateGUI()
{
    auto current = currentProgressDescriptor();
    if (!current || !isWindowLoaded() || !m_progressIndicator)
        return;
    auto& indicator = *m_progressIndicator;
    if (!current->isIndeterminate()) {
        if (indicator.isIndeterminate()) {
            indicator.stopAnimation();
            indicator.setIndeterminate(false);
        }
        indicator.setMinValue(current->minValue());
        indicator.setMaxValue(current->maxValue());
        indicator.setDoubleValue(std::clamp(
            current->currentValue(), current->minValue(), std::max(current->minValue(), current->maxValue())));
    } else if (!indicator.isIndeterminate()) {
        indicator.setDoubleValue(100.0);
        indicator.setIndeterminate(true);
        indicator.startAnimation();
    }
    if (m_cancelButton) {
        gfx::Rect frame = indicator.frame();
        if (current->allowCancel()) {
            frame.size.width = m_defaultProgressIndicatorWidth;
            m_cancelButton->setHidden(false);
            m_cancelButton->setEnabled(!m_isCancelled);
        } else {
            // The bar reaches over to where the button's right edge is.
            const gfx::Rect button = m_cancelButton->frame();
            frame.size.width = button.minX() + button.width() - frame.minX();
            m_cancelButton->setHidden(true);
            m_cancelButton->setEnabled(false);
        }
        indicator.setFrame(frame);
    }
    if (auto w = window())
        w->displayIfNeeded();
}

// Listening.

void ZORProgressWindowController::startObservingNotifications()
{
    std::lock_guard guard(m_mutex);
    m_shouldProcessNotifications = true;
    if (!m_observers.empty())
        return;
    std::weak_ptr<ZORProgressWindowController> weak
        = std::static_pointer_cast<ZORProgressWindowController>(shared_from_this());
    auto& centre = fnd::NotificationCenter::defaultCenter();
    auto main = fnd::OperationQueue::mainQueue();
    // Each observer checks the flag, so nothing comes through once the run is cancelled.
    auto observe = [&](const fnd::NotificationName& name,
                       std::function<void(ZORProgressWindowController&, const fnd::Notification&)> handle) {
        m_observers.push_back(centre.addObserverForName(name, {}, main, [weak, handle](const fnd::Notification& n) {
            auto self = weak.lock();
            if (self && self->m_shouldProcessNotifications)
                handle(*self, n);
        }));
    };
    observe(
        QFWillBeginProcessingWithProgressDescriptor, [](ZORProgressWindowController& self, const fnd::Notification& n) {
            if (auto descriptor = n.object().objectAs<ZORProgressDescriptor>())
                self.addProgressDescriptor(descriptor);
        });
    observe(
        QFUpdateProcessingWithProgressDescriptor, [](ZORProgressWindowController& self, const fnd::Notification& n) {
            if (auto descriptor = n.object().objectAs<ZORProgressDescriptor>()) {
                for (const auto& [key, value] : n.userInfo())
                    descriptor->setValueForKey(value, key);
                if (descriptor == self.currentProgressDescriptor() && self.isWindowLoaded())
                    self.updateGUI();
            }
            if (self.isWindowLoaded())
                if (auto w = self.window())
                    w->displayIfNeeded();
        });
    observe(
        QFDidEndProcessingWithProgressDescriptor, [](ZORProgressWindowController& self, const fnd::Notification& n) {
            if (auto descriptor = n.object().objectAs<ZORProgressDescriptor>())
                self.removeProgressDescriptor(descriptor);
        });
}

void ZORProgressWindowController::stopObservingNotifications()
{
    std::vector<fnd::NotificationObserverToken> tokens;
    {
        std::lock_guard guard(m_mutex);
        m_shouldProcessNotifications = false;
        tokens.swap(m_observers);
    }
    for (auto token : tokens)
        fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

void ZORProgressWindowController::operationCountChanged(std::size_t count)
{
    if (count > 0) {
        bool listening = false;
        {
            std::lock_guard guard(m_mutex);
            listening = !m_observers.empty();
        }
        if (!listening)
            startObservingNotifications();
        return;
    }
    std::weak_ptr<ZORProgressWindowController> weak
        = std::static_pointer_cast<ZORProgressWindowController>(shared_from_this());
    auto complete = [weak] {
        if (auto self = weak.lock())
            self->handleCompletion();
    };
    // The main queue runs in every mode, so completion also reaches a modal run.
    if (fnd::RunLoop::isMainThread())
        complete();
    else
        fnd::OperationQueue::mainQueue()->executor()(complete);
}

void ZORProgressWindowController::handleCompletion()
{
    fnd::assertThat(fnd::RunLoop::isMainThread(), "it is not allowd to call this on secondary thread!");
    // A queue that runs empty before the window is shown (or between runs) completes nothing.
    if (m_presentation == Presentation::None || m_opQueue->operationCount() > 0)
        return;
    auto self = shared_from_this();
    stopObservingNotifications();
    const auto presentation = std::exchange(m_presentation, Presentation::None);
    if (m_closeWindowOnCompletion && isWindowLoaded()) {
        auto w = window();
        if (presentation == Presentation::Sheet && w->isSheet()) {
            if (auto parent = w->sheetParent())
                parent->endSheet(w);
        } else if (presentation == Presentation::Modal) {
            ui::Application::shared().abortModal();
        }
        w->close();
    }
    CompletionBlock block;
    {
        std::lock_guard guard(m_mutex);
        block = std::move(m_completionBlock);
        m_completionBlock = nullptr;
    }
    if (block)
        block(m_isCancelled);
    removeAllProgressDescriptors();
}

// Showing.

bool ZORProgressWindowController::refusedOffMainThread(const char* method) const
{
    if (fnd::RunLoop::isMainThread())
        return false;
    fnd::logf(fnd::LogLevel::Error, "{} It is not allowed to invoke this method from a concurrent thread.", method);
    return true;
}

bool ZORProgressWindowController::hasNoOperations(const CompletionBlock& handler)
{
    if (m_opQueue->operationCount() > 0)
        return false;
    fnd::log(fnd::LogLevel::Warning, "Warning: ZORProgressWindowController no operations in queue");
    if (handler)
        handler(false);
    return true;
}

void ZORProgressWindowController::beginProgressSheetForWindow(
    const std::shared_ptr<ui::Window>& window, CompletionBlock handler)
{
    fnd::assertThat(window != nullptr, "Invalid parameter not satisfying: aWindow != nil");
    if (!window || refusedOffMainThread("-beginProgressSheetForWindow:completionHandler:"))
        return;
    if (hasNoOperations(handler))
        return;
    auto sheet = this->window();
    if (!sheet)
        return;
    setCompletionBlock(std::move(handler));
    m_presentation = Presentation::Sheet;
    window->beginSheet(sheet, nullptr);
}

void ZORProgressWindowController::showProgressWindowWithCompletionHandler(CompletionBlock handler)
{
    if (refusedOffMainThread("-showProgressWindowWithCompletionHandler:") || hasNoOperations(handler))
        return;
    auto w = window();
    if (!w)
        return;
    auto self = shared_from_this();
    setCompletionBlock(std::move(handler));
    m_presentation = Presentation::Modal;
    ui::Application::shared().runModalForWindow(w);
}

void ZORProgressWindowController::showProgressWindow()
{
    if (refusedOffMainThread("-showProgressWindow:"))
        return;
    m_presentation = Presentation::Plain;
    showWindow({});
    startObservingNotifications();
}

void ZORProgressWindowController::hideProgressWindow()
{
    if (refusedOffMainThread("-hideProgressWindow:"))
        return;
    stopObservingNotifications();
    m_presentation = Presentation::None;
    if (isWindowLoaded())
        window()->close();
}

void ZORProgressWindowController::cancel()
{
    for (const auto& descriptor : m_progressDescriptors)
        descriptor->setValueForKey(true, "isCancelled");
    m_opQueue->cancelAllOperations();
    m_shouldProcessNotifications = false;
    if (m_cancelButton)
        m_cancelButton->setEnabled(false);
    m_isCancelled = true;
}
