#include "platform/ui/views/Application.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/ToolTipManager.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/StandardPanelActions.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(Application, Responder)

std::shared_ptr<Application> Application::sharedPointer()
{
    // Never destroyed, as the notification centre: views a program keeps alive past main still reach both.
    static auto& app = *new std::shared_ptr<Application>([] {
        auto& center = fnd::NotificationCenter::defaultCenter();
        auto made = fnd::makeObject<Application>();
        // Everything on screen may use the system colours: it is all drawn again when they change.
        center.addObserverForName(SystemColorsDidChangeNotification, {}, [](const fnd::Notification&) {
            for (const auto& window : Application::shared().windows()) {
                if (auto content = window->contentView())
                    content->setNeedsDisplay(true);
            }
        });
        return made;
    }());
    return app;
}

Application& Application::shared()
{
    return *sharedPointer();
}

namespace {

void post(const fnd::String& name)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(name, Application::shared().selfValue());
}

// The delegate as a runtime object, when it is one, so that its actions join the nil-target search.
std::shared_ptr<fnd::Object> delegateObject(const std::shared_ptr<ApplicationDelegate>& delegate)
{
    return std::dynamic_pointer_cast<fnd::Object>(delegate);
}

template <typename D> std::shared_ptr<fnd::Object> windowDelegateObject(const std::shared_ptr<D>& delegate)
{
    return std::dynamic_pointer_cast<fnd::Object>(delegate);
}

}

// Life cycle.

void Application::finishLaunching()
{
    if (m_launched)
        return;
    auto self = shared_from_this();
    post(ApplicationNotification::WillFinishLaunching);
    if (auto d = delegate())
        d->applicationWillFinishLaunching(*this);
    m_launched = true;
    post(ApplicationNotification::DidFinishLaunching);
    if (auto d = delegate())
        d->applicationDidFinishLaunching(*this);
}

void Application::run()
{
    auto self = shared_from_this();
    finishLaunching();
    m_running = !m_terminated;
    bool idle = false;
    while (m_running) {
        auto event = nextEvent(EventMasks::Any, fnd::Date::distantFuture(), fnd::RunLoopMode::Default, true);
        if (event) {
            idle = false;
            deliverEvent(*event);
            continue;
        }
        // Under a virtual clock nothing can arrive once time has run out: stop instead of spinning.
        if (fnd::Clock::current()->isVirtual()) {
            if (idle) {
                fnd::log("The application has nothing left to wait for under a virtual clock; leaving run().");
                break;
            }
            idle = true;
        }
    }
    m_running = false;
}

void Application::stop(const fnd::Value&)
{
    m_running = false;
    ++m_interrupts;
    wakeUp();
}

void Application::terminate(const fnd::Value&)
{
    auto self = shared_from_this();
    auto reply = TerminateReply::Now;
    if (auto d = delegate())
        reply = d->applicationShouldTerminate(*this);
    if (reply == TerminateReply::Cancel)
        return;
    if (reply == TerminateReply::Later) {
        m_terminatePending = true;
        return;
    }
    finishTermination();
}

void Application::replyToApplicationShouldTerminate(bool shouldTerminate)
{
    if (!m_terminatePending)
        return;
    m_terminatePending = false;
    if (shouldTerminate)
        finishTermination();
}

void Application::finishTermination()
{
    if (m_terminated)
        return;
    // A cell or field being edited hands its text to its owner now, or it would be lost with the window.
    endEditingInWindows();
    post(ApplicationNotification::WillTerminate);
    if (auto d = delegate())
        d->applicationWillTerminate(*this);
    m_terminated = true;
    fnd::UserDefaults::standardUserDefaults().synchronize();
    stop();
}

// Events.

void Application::wakeUp()
{
    fnd::RunLoop::main().post([] {}, { fnd::RunLoopMode::Common });
}

void Application::postEvent(const std::shared_ptr<Event>& event, bool atStart)
{
    if (!event)
        return;
    if (atStart)
        m_queue.push_front(event);
    else
        m_queue.push_back(event);
    wakeUp();
}

void Application::discardEvents(EventMask mask, const Event* before)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (before && it->get() == before)
            break;
        if ((*it)->mask() & mask)
            it = m_queue.erase(it);
        else
            ++it;
    }
}

std::shared_ptr<Event> Application::nextEvent(EventMask mask, fnd::Date until, const fnd::String& mode, bool dequeue)
{
    auto take = [&]() -> std::shared_ptr<Event> {
        auto it = std::find_if(m_queue.begin(), m_queue.end(), [&](const auto& e) { return (e->mask() & mask) != 0; });
        if (it == m_queue.end())
            return nullptr;
        auto event = *it;
        if (dequeue) {
            m_queue.erase(it);
            m_currentEvent = event;
            Event::noteTaken(*event);
        }
        return event;
    };
    auto interrupts = m_interrupts;
    for (;;) {
        if (auto e = take())
            return e;
        auto result = fnd::RunLoop::current().runInMode(mode, until, true);
        if (auto e = take())
            return e;
        if (m_interrupts != interrupts)
            return nullptr;
        if (result != fnd::RunLoop::RunResult::HandledSource
            || fnd::Clock::current()->now().timeIntervalSince(until) >= 0)
            return nullptr;
    }
}

long Application::addLocalMonitorForEventsMatchingMask(EventMask mask, EventMonitor handler)
{
    auto token = m_nextMonitorToken++;
    m_monitors.push_back({ token, mask, std::make_shared<EventMonitor>(std::move(handler)) });
    return token;
}

void Application::removeMonitor(long token)
{
    std::erase_if(m_monitors, [&](const Monitor& m) { return m.token == token; });
}

void Application::sendEvent(const Event& event)
{
    auto self = shared_from_this();
    m_currentEvent = std::static_pointer_cast<Event>(std::const_pointer_cast<fnd::Object>(event.shared_from_this()));
    auto window = event.window();
    Event::noteTaken(event);
    for (const auto& monitor : std::vector(m_monitors)) {
        bool stillThere = std::any_of(
            m_monitors.begin(), m_monitors.end(), [&](const Monitor& m) { return m.token == monitor.token; });
        if (stillThere && (monitor.mask & event.mask()) && !(*monitor.handler)(event))
            return;
    }

    if (event.type() == EventType::KeyDown || event.type() == EventType::KeyUp
        || event.type() == EventType::FlagsChanged) {
        auto key = keyWindow();
        if (event.type() == EventType::KeyDown
            && (event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control))) {
            // Key equivalents: the key window's views first, then the main menu.
            if (key && key->acceptsInput() && key->contentView() && key->contentView()->performKeyEquivalent(event))
                return;
            static const fnd::Selector performKeyEquivalentSelector("performKeyEquivalent:");
            if (m_mainMenu && m_mainMenu->respondsTo(performKeyEquivalentSelector)
                && m_mainMenu->perform(performKeyEquivalentSelector, m_currentEvent).boolValue())
                return;
        }
        if (key)
            key->sendEvent(event);
        return;
    }
    if (window)
        window->sendEvent(event);
}

void Application::deliverEvent(const Event& event)
{
    try {
        sendEvent(event);
    } catch (const fnd::Exception& e) {
        fnd::logf(fnd::LogLevel::Error, "An exception was raised while an event was handled: {}: {}", e.name().utf8(),
            e.reason().utf8());
    } catch (const std::exception& e) {
        fnd::logf(fnd::LogLevel::Error, "An exception was raised while an event was handled: {}", e.what());
    }
}

void Application::dispatchPendingEvents()
{
    auto self = shared_from_this();
    while (!m_queue.empty()) {
        auto event = m_queue.front();
        m_queue.pop_front();
        m_currentEvent = event;
        deliverEvent(*event);
    }
}

// Target-action.

std::shared_ptr<fnd::Object> Application::searchChain(
    const std::shared_ptr<Responder>& start, fnd::Selector action) const
{
    for (auto r = start; r; r = r->nextResponder()) {
        if (r->respondsTo(action))
            return r;
    }
    return nullptr;
}

std::shared_ptr<fnd::Object> Application::targetForAction(fnd::Selector action) const
{
    auto searchWindow = [&](const std::shared_ptr<Window>& window) -> std::shared_ptr<fnd::Object> {
        if (!window)
            return nullptr;
        if (auto found = searchChain(window->firstResponder(), action))
            return found;
        if (auto d = windowDelegateObject(window->delegate()); d && d->respondsTo(action))
            return d;
        return nullptr;
    };
    auto key = keyWindow();
    if (auto found = searchWindow(key))
        return found;
    if (auto main = mainWindow(); main != key) {
        if (auto found = searchWindow(main))
            return found;
    }
    auto self = std::const_pointer_cast<fnd::Object>(shared_from_this());
    if (self->respondsTo(action))
        return self;
    if (auto d = delegateObject(delegate()); d && d->respondsTo(action))
        return d;
    // The shared font and colour panels come to the front for a menu's Show Fonts and Show Colours.
    if (auto panels = detail::standardPanelActions(); panels && panels->respondsTo(action))
        return panels;
    return nullptr;
}

std::shared_ptr<fnd::Object> Application::targetForActionAfter(fnd::Selector action, const Responder& responder) const
{
    if (auto found = searchChain(responder.nextResponder(), action))
        return found;
    std::shared_ptr<Window> window;
    if (auto* view = dynamic_cast<const View*>(&responder))
        window = view->window();
    else if (auto* w = dynamic_cast<const Window*>(&responder))
        window = std::const_pointer_cast<Window>(std::static_pointer_cast<const Window>(w->shared_from_this()));
    if (window)
        if (auto d = windowDelegateObject(window->delegate()); d && d->respondsTo(action))
            return d;
    auto self = std::const_pointer_cast<fnd::Object>(shared_from_this());
    if (self->respondsTo(action))
        return self;
    if (auto d = delegateObject(delegate()); d && d->respondsTo(action))
        return d;
    return nullptr;
}

std::shared_ptr<fnd::Object> Application::targetForAction(
    fnd::Selector action, const std::shared_ptr<fnd::Object>& target, const fnd::Value&) const
{
    if (target)
        return target->respondsTo(action) ? target : nullptr;
    return targetForAction(action);
}

bool Application::sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target, const fnd::Value& sender)
{
    if (!action)
        return false;
    auto receiver = targetForAction(action, target, sender);
    if (!receiver)
        return false;
    receiver->perform(action, sender);
    return true;
}

bool Application::tryToPerform(fnd::Selector action, const fnd::Value& object)
{
    if (Responder::tryToPerform(action, object))
        return true;
    if (auto d = delegateObject(delegate()); d && d->respondsTo(action)) {
        d->perform(action, object);
        return true;
    }
    return false;
}

// Windows.

long Application::registerWindow(Window& window)
{
    long number = m_nextWindowNumber++;
    // A window dropped without being closed leaves an expired entry, which would keep its memory for good.
    std::erase_if(m_windows, [](const WindowEntry& e) { return e.window.expired(); });
    m_windows.push_back({ std::static_pointer_cast<Window>(window.shared_from_this()), number });
    return number;
}

void Application::unregisterWindow(Window& window)
{
    std::erase_if(m_windows, [&](const WindowEntry& e) {
        auto w = e.window.lock();
        return !w || w.get() == &window;
    });
}

std::vector<std::shared_ptr<Window>> Application::windows() const
{
    std::vector<std::shared_ptr<Window>> result;
    for (const auto& e : m_windows) {
        if (auto w = e.window.lock())
            result.push_back(w);
    }
    return result;
}

std::vector<std::shared_ptr<Window>> Application::orderedWindows() const
{
    return m_order;
}

std::shared_ptr<Window> Application::windowWithWindowNumber(long number) const
{
    for (const auto& e : m_windows) {
        if (e.number == number)
            return e.window.lock();
    }
    return nullptr;
}

void Application::orderWindow(Window& window, int place, long otherWindowNumber)
{
    auto keep = std::static_pointer_cast<Window>(window.shared_from_this());
    std::erase(m_order, keep);
    if (place == static_cast<int>(WindowOrderingMode::Out)) {
        bool wasVisible = window.isVisible();
        window.setVisibleState(false);
        if (wasVisible)
            chooseNewKeyAndMain(&window);
        Backend::current().windowChanged(window);
        return;
    }
    window.setVisibleState(true);
    auto level = window.level();
    std::size_t index = m_order.size();
    auto other = otherWindowNumber ? windowWithWindowNumber(otherWindowNumber) : nullptr;
    auto otherIt = other ? std::find(m_order.begin(), m_order.end(), other) : m_order.end();
    if (otherIt != m_order.end() && (*otherIt)->level() == level) {
        index = std::size_t(otherIt - m_order.begin()) + (place == static_cast<int>(WindowOrderingMode::Below) ? 1 : 0);
    } else {
        // Front (or back) of the window's own level; higher levels stay in front.
        bool below = place == static_cast<int>(WindowOrderingMode::Below);
        auto it = std::find_if(m_order.begin(), m_order.end(),
            [&](const auto& w) { return below ? w->level() < level : w->level() <= level; });
        index = std::size_t(it - m_order.begin());
    }
    m_order.insert(m_order.begin() + std::ptrdiff_t(index), keep);
    Backend::current().windowChanged(window);
}

namespace {

// Hands a role (key or main) to `window`: the old holder is told first, then the new one.
void transferRole(std::weak_ptr<Window>& slot, Window* window, void (Window::*setState)(bool))
{
    auto old = slot.lock();
    if (old.get() == window)
        return;
    auto keep = window ? std::static_pointer_cast<Window>(window->shared_from_this()) : nullptr;
    slot = keep;
    if (old)
        ((*old).*setState)(false);
    if (keep)
        ((*keep).*setState)(true);
}

}

void Application::makeKey(Window* window)
{
    transferRole(m_keyWindow, window, &Window::setKeyState);
}

void Application::makeMain(Window* window)
{
    transferRole(m_mainWindow, window, &Window::setMainState);
}

void Application::chooseNewKeyAndMain(Window* leaving)
{
    bool wasKey = keyWindow().get() == leaving;
    bool wasMain = mainWindow().get() == leaving;
    if (wasKey)
        makeKey(nullptr);
    if (wasMain)
        makeMain(nullptr);
    if (wasKey) {
        // A sheet's parent takes the keyboard back; otherwise the frontmost window that can.
        std::shared_ptr<Window> next = leaving ? leaving->sheetParent() : nullptr;
        if (!next || !next->isVisible()) {
            next.reset();
            for (const auto& w : m_order) {
                if (w.get() != leaving && w->canBecomeKeyWindow() && !isWindowBlockedByModal(*w)) {
                    next = w;
                    break;
                }
            }
        }
        if (next)
            next->makeKeyWindow();
    }
    if (wasMain && !mainWindow()) {
        for (const auto& w : m_order) {
            if (w.get() != leaving && w->canBecomeMainWindow()) {
                w->makeMainWindow();
                break;
            }
        }
    }
}

void Application::windowWillClose(Window&)
{
}

void Application::windowDidClose(Window& window)
{
    unregisterWindow(window);
    auto d = delegate();
    if (!d || !m_launched || m_terminated)
        return;
    // Panels and pop-ups serve the windows people work in; they keep nothing open on their own.
    bool anyOpen = std::any_of(
        m_order.begin(), m_order.end(), [](const auto& w) { return !w->isClosed() && w->canBecomeMainWindow(); });
    if (!anyOpen && d->applicationShouldTerminateAfterLastWindowClosed(*this))
        terminate();
}

// Modal sessions.

bool Application::isWindowBlockedByModal(const Window& window) const
{
    auto modal = modalWindow();
    if (!modal || modal.get() == &window || window.worksWhenModal())
        return false;
    // The modal window's sheets and child windows work with it.
    for (auto parent = window.parentWindow(); parent; parent = parent->parentWindow()) {
        if (parent == modal)
            return false;
    }
    return true;
}

std::shared_ptr<Window> Application::modalWindow() const
{
    for (auto it = m_modalSessions.rbegin(); it != m_modalSessions.rend(); ++it) {
        if (!(*it)->ended)
            return (*it)->window.lock();
    }
    return nullptr;
}

std::shared_ptr<ModalSession> Application::beginModalSessionForWindow(const std::shared_ptr<Window>& window)
{
    auto session = std::make_shared<ModalSession>();
    session->window = window;
    m_modalSessions.push_back(session);
    if (window) {
        window->makeKeyAndOrderFront();
        Backend::current().modalSessionBegan(*window);
    }
    return session;
}

long Application::runModalSession(const std::shared_ptr<ModalSession>& session)
{
    if (!session)
        return ModalResponse::Aborted;
    while (!session->response) {
        auto event = nextEvent(EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::ModalPanel, true);
        if (!event)
            break;
        deliverEvent(*event);
    }
    return session->response.value_or(ModalResponse::Continue);
}

void Application::endModalSession(const std::shared_ptr<ModalSession>& session)
{
    if (!session)
        return;
    session->ended = true;
    std::erase(m_modalSessions, session);
}

long Application::runModalForWindow(const std::shared_ptr<Window>& window)
{
    auto self = shared_from_this();
    auto session = beginModalSessionForWindow(window);
    bool idle = false;
    while (!session->response) {
        auto event = nextEvent(EventMasks::Any, fnd::Date::distantFuture(), fnd::RunLoopMode::ModalPanel, true);
        if (event) {
            idle = false;
            deliverEvent(*event);
            continue;
        }
        // Under a virtual clock an empty queue stays empty: end the session rather than hang.
        if (fnd::Clock::current()->isVirtual()) {
            if (idle) {
                fnd::log("A modal session has nothing left to wait for under a virtual clock; it is aborted.");
                session->response = ModalResponse::Aborted;
                break;
            }
            idle = true;
        }
    }
    endModalSession(session);
    return *session->response;
}

void Application::stopModal()
{
    stopModalWithCode(ModalResponse::Stopped);
}

void Application::stopModalWithCode(long code)
{
    for (auto it = m_modalSessions.rbegin(); it != m_modalSessions.rend(); ++it) {
        if (!(*it)->ended && !(*it)->response) {
            (*it)->response = code;
            ++m_interrupts;
            wakeUp();
            return;
        }
    }
}

void Application::abortModal()
{
    stopModalWithCode(ModalResponse::Aborted);
}

void Application::beginSheet(const std::shared_ptr<Window>& sheet, const std::shared_ptr<Window>& docWindow,
    std::function<void(long)> completionHandler)
{
    if (docWindow)
        docWindow->beginSheet(sheet, std::move(completionHandler));
}

void Application::endSheet(const std::shared_ptr<Window>& sheet, long returnCode)
{
    if (auto parent = sheet ? sheet->sheetParent() : nullptr)
        parent->endSheet(sheet, returnCode);
}

// Odds and ends.

void Application::beep()
{
    Backend::current().beep();
}

fnd::Expected<void> Application::openURL(const fnd::String& url)
{
    return Backend::current().openURL(url);
}

void Application::activateIgnoringOtherApps(bool)
{
    if (m_active)
        return;
    post(ApplicationNotification::WillBecomeActive);
    m_active = true;
    post(ApplicationNotification::DidBecomeActive);
    if (auto d = delegate())
        d->applicationDidBecomeActive(*this);
}

void Application::deactivate()
{
    if (!m_active)
        return;
    post(ApplicationNotification::WillResignActive);
    m_active = false;
    ToolTipManager::shared().applicationDidResignActive();
    post(ApplicationNotification::DidResignActive);
    if (auto d = delegate())
        d->applicationDidResignActive(*this);
}

void Application::reset()
{
    ToolTipManager::shared().reset();
    for (auto& w : m_order)
        w->setVisibleState(false);
    m_order.clear();
    m_windows.clear();
    m_monitors.clear();
    if (auto k = keyWindow())
        k->setKeyState(false);
    if (auto m = mainWindow())
        m->setMainState(false);
    m_keyWindow.reset();
    m_mainWindow.reset();
    m_delayedOrdering.reset();
    m_queue.clear();
    m_currentEvent.reset();
    m_modalSessions.clear();
    m_mainMenu.reset();
    m_delegate.reset();
    m_running = m_launched = m_terminated = m_terminatePending = false;
    m_active = true;
}

}
