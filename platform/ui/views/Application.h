#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Responder.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

// Answers of applicationShouldTerminate, with the platform's values.
enum class TerminateReply { Cancel = 0, Now = 1, Later = 2 };

// Names of the notifications the application posts (object: the application).
namespace ApplicationNotification {
inline const fnd::String WillFinishLaunching = "NSApplicationWillFinishLaunchingNotification";
inline const fnd::String DidFinishLaunching = "NSApplicationDidFinishLaunchingNotification";
inline const fnd::String WillTerminate = "NSApplicationWillTerminateNotification";
inline const fnd::String WillBecomeActive = "NSApplicationWillBecomeActiveNotification";
inline const fnd::String DidBecomeActive = "NSApplicationDidBecomeActiveNotification";
inline const fnd::String WillResignActive = "NSApplicationWillResignActiveNotification";
inline const fnd::String DidResignActive = "NSApplicationDidResignActiveNotification";
}

// Optional callbacks of the application's delegate. The delegate is also the last link of the nil-target search,
// so it may declare actions in its runtime class.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationWillFinishLaunching(Application& app) { (void)app; }
    virtual void applicationDidFinishLaunching(Application& app) { (void)app; }
    virtual TerminateReply applicationShouldTerminate(Application& app) { return (void)app, TerminateReply::Now; }
    virtual void applicationWillTerminate(Application& app) { (void)app; }
    virtual bool applicationShouldTerminateAfterLastWindowClosed(Application& app) { return (void)app, false; }
    virtual void applicationDidBecomeActive(Application& app) { (void)app; }
    virtual void applicationDidResignActive(Application& app) { (void)app; }
};

// A running modal session (beginModalSessionForWindow).
struct ModalSession {
    std::weak_ptr<Window> window;
    std::optional<long> response;
    bool ended { false };
};

// The application: its windows, the event queue and routing, target-action, modal sessions and its life cycle.
// One per process, used from the main thread.
class Application : public Responder {
    FND_OBJECT(Application)
public:
    Application() = default;
    static Application& shared();
    static std::shared_ptr<Application> sharedPointer();

    // The delegate may be any object that also derives from fnd::Object, so its actions join the chain.
    std::shared_ptr<ApplicationDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ApplicationDelegate>& delegate) { m_delegate = delegate; }

    // Life cycle.
    void finishLaunching();
    bool isRunning() const { return m_running; }
    // Processes events until stop() or terminate().
    void run();
    // Ends run() after the event being handled.
    void stop(const fnd::Value& sender = {});
    // Asks the delegate, then ends the editing open in every window (a field, a table cell: its text goes to its
    // owner), tells everyone, writes the standard user defaults and ends run(); the process is not exited here (main
    // returns).
    void terminate(const fnd::Value& sender = {});
    // The same end without asking anyone, for an end the program cannot refuse (a request to end from the system, the
    // display gone): what waits to be written is written first, before anything that might fail.
    void terminateImmediately();
    // From now on SIGTERM and SIGHUP (a logout, a service manager stopping the program) end the program through
    // terminateImmediately on the main run loop, and then the process ends by the signal, as it would have. The
    // handler only writes to a pipe; a second signal, or a main thread that does not get there within a few
    // seconds, ends the process at once. (ApplicationTermination.cpp)
    static void handleTerminationSignals();
    // The answer to a Later reply from applicationShouldTerminate.
    void replyToApplicationShouldTerminate(bool shouldTerminate);
    bool hasTerminated() const { return m_terminated; }

    // Events.
    // The first queued event in the mask, waiting in the mode until the date (nullptr when none came).
    std::shared_ptr<Event> nextEvent(EventMask mask, fnd::Date until, const fnd::String& mode, bool dequeue);
    void postEvent(const std::shared_ptr<Event>& event, bool atStart);
    void discardEvents(EventMask mask, const Event* before = nullptr);
    // Routes an event to its window (or the key window for keys), key equivalents first.
    virtual void sendEvent(const Event& event);
    // Sends every queued event, one by one, without waiting. Like run() and the modal loops, it logs an exception
    // raised while an event is handled and goes on with the next event; sendEvent itself lets it through.
    void dispatchPendingEvents();
    // Local monitors see the events of their mask that sendEvent routes, before anyone else; a monitor answering
    // false swallows the event. Monitors added while an event is being sent see the next one.
    using EventMonitor = std::function<bool(const Event&)>;
    long addLocalMonitorForEventsMatchingMask(EventMask mask, EventMonitor handler);
    void removeMonitor(long token);
    std::shared_ptr<Event> currentEvent() const { return m_currentEvent; }

    // A press in an inactive window whose view delays the window's ordering brings the window forward at the
    // release; called while the press is handled (a drag starting from it), this keeps the window where it is.
    void preventWindowOrdering() { m_delayedOrdering.reset(); }
    // Used by windows: the window waiting for its press's release to come forward.
    void setWindowWithDelayedOrdering(const std::shared_ptr<Window>& window) { m_delayedOrdering = window; }
    std::shared_ptr<Window> windowWithDelayedOrdering() const { return m_delayedOrdering.lock(); }

    // Target-action. A null target sends to the first object of the nil-target search that answers the action:
    // the key window's first responder and its chain (views, window, window delegate), then the main window's,
    // then the application and its delegate.
    bool sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target, const fnd::Value& sender);
    // The receiver the action would reach if the responder did not answer it: the responders after it, its window's
    // delegate, the application and its delegate. So a responder that has nothing to do for an action (a text view
    // asked to copy with nothing selected) can pass it on.
    std::shared_ptr<fnd::Object> targetForActionAfter(fnd::Selector action, const Responder& responder) const;
    std::shared_ptr<fnd::Object> targetForAction(fnd::Selector action) const;
    std::shared_ptr<fnd::Object> targetForAction(
        fnd::Selector action, const std::shared_ptr<fnd::Object>& target, const fnd::Value& sender) const;
    bool tryToPerform(fnd::Selector action, const fnd::Value& object) override;

    // Windows.
    std::vector<std::shared_ptr<Window>> windows() const;
    // On-screen windows, front to back.
    std::vector<std::shared_ptr<Window>> orderedWindows() const;
    std::shared_ptr<Window> windowWithWindowNumber(long number) const;
    std::shared_ptr<Window> keyWindow() const { return m_keyWindow.lock(); }
    std::shared_ptr<Window> mainWindow() const { return m_mainWindow.lock(); }

    // Modal windows and sessions.
    long runModalForWindow(const std::shared_ptr<Window>& window);
    void stopModal();
    void stopModalWithCode(long code);
    void abortModal();
    std::shared_ptr<ModalSession> beginModalSessionForWindow(const std::shared_ptr<Window>& window);
    // One pass over the queued events: Continue while the session runs, else the code it was stopped with.
    long runModalSession(const std::shared_ptr<ModalSession>& session);
    void endModalSession(const std::shared_ptr<ModalSession>& session);
    std::shared_ptr<Window> modalWindow() const;

    // Sheets, the older form: a sheet on the window with a handler for the return code.
    void beginSheet(const std::shared_ptr<Window>& sheet, const std::shared_ptr<Window>& docWindow,
        std::function<void(long)> completionHandler);
    void endSheet(const std::shared_ptr<Window>& sheet, long returnCode = -1000); // ModalResponse::Stopped

    // Odds and ends.
    void beep();
    fnd::Expected<void> openURL(const fnd::String& url);
    const std::shared_ptr<fnd::Object>& mainMenu() const { return m_mainMenu; }
    void setMainMenu(const std::shared_ptr<fnd::Object>& menu) { m_mainMenu = menu; }
    bool isActive() const { return m_active; }
    void activateIgnoringOtherApps(bool flag);
    void deactivate();

    // Accessibility (ApplicationAccessibility.cpp): the root of the tree, named after the main bundle, whose children
    // are the windows on screen, front to back.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;

    // Used by windows.
    void orderWindow(Window& window, int place, long otherWindowNumber);
    void windowWillClose(Window& window);
    void windowDidClose(Window& window);
    void makeKey(Window* window);
    void makeMain(Window* window);
    long registerWindow(Window& window);
    void unregisterWindow(Window& window);
    bool isWindowBlockedByModal(const Window& window) const;
    // Forgets every window, queued event, session and delegate: a fresh application (the headless backend calls
    // it when installed).
    void reset();

private:
    struct WindowEntry {
        std::weak_ptr<Window> window;
        long number;
    };
    bool windowsAbove(const Window& a, const Window& b) const;
    void chooseNewKeyAndMain(Window* leaving);
    void finishTermination();
    // Ends the field editors' editing in every window, the key window's first.
    void endEditingInWindows();
    void wakeUp();
    // The event loops' boundary: an exception raised while the event is handled is logged and the loop goes on.
    void deliverEvent(const Event& event);
    std::shared_ptr<fnd::Object> searchChain(const std::shared_ptr<Responder>& start, fnd::Selector action) const;

    std::weak_ptr<ApplicationDelegate> m_delegate;
    std::vector<WindowEntry> m_windows;
    // On-screen windows front to back; they are kept alive while they are on screen.
    std::vector<std::shared_ptr<Window>> m_order;
    std::weak_ptr<Window> m_keyWindow;
    std::weak_ptr<Window> m_mainWindow;
    std::weak_ptr<Window> m_delayedOrdering;
    std::deque<std::shared_ptr<Event>> m_queue;
    std::shared_ptr<Event> m_currentEvent;
    struct Monitor {
        long token;
        EventMask mask;
        std::shared_ptr<EventMonitor> handler;
    };
    std::vector<Monitor> m_monitors;
    long m_nextMonitorToken { 1 };
    std::vector<std::shared_ptr<ModalSession>> m_modalSessions;
    std::shared_ptr<fnd::Object> m_mainMenu;
    long m_nextWindowNumber { 1 };
    bool m_running { false };
    bool m_launched { false };
    bool m_terminated { false };
    bool m_active { true };
    bool m_terminatePending { false };
    // Counts stop requests, so that a waiting nextEvent returns to a loop that should end.
    std::uint64_t m_interrupts { 0 };
};

}
