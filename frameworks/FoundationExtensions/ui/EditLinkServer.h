#pragma once

#include "frameworks/FoundationExtensions/ui/EditLink.h"

#include <memory>
#include <optional>

// A server an application publishes under a name, for clients of other applications to send items to. It owns the
// session-bus name built from "<bundle identifier>.<server name>" (the registered name
// "<identifier>:<name>" with its ":" and other characters D-Bus does not allow replaced). Applications declare their
// servers in their desktop entry, key "X-EditLinkServer" (a list), so a client can start them when they are not
// running.
class EditLinkServer : public fnd::Object {
    FND_OBJECT(EditLinkServer)

public:
    // Where another application's server answers.
    struct Remote {
        fnd::String busName;
        fnd::String path;
    };

    EditLinkServer() = default;
    ~EditLinkServer() override;

    static std::shared_ptr<EditLinkServer> EditLinkServerWithName(const fnd::String& name);
    static bool publishServerWithName(const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate);
    // Finds the server of another application; when it is not running and launching is allowed, starts the
    // application whose desktop entry declares the server and waits up to ten seconds for it, keeping the main run
    // loop running. When the application cannot be found, a critical alert says so (with a button opening the
    // fallback address when there is one); the result is then nullopt.
    static std::optional<Remote> EditLinkServerWithName(const fnd::String& name, const fnd::String& bundleIdentifier,
        bool launchIfNeeded, const std::optional<fnd::String>& fallbackURL, const fnd::String& appName);
    static fnd::String busNameFor(const fnd::String& bundleIdentifier, const fnd::String& serverName);
    // The desktop entry of the application with that identifier whose "X-EditLinkServer" names the server: in the
    // application folders first by its file name, then searched for down to three folders deep. A folder of the search
    // that exists but cannot be listed is reported to the person in an alert (the search goes on without it).
    static std::optional<fnd::String> desktopEntryForServer(
        const fnd::String& bundleIdentifier, const fnd::String& name);

    static std::shared_ptr<EditLinkServer> initWithName(
        const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate);
    bool publish();
    void retract();
    const fnd::String& name() const { return m_name; }
    std::shared_ptr<EditLinkServerDelegate> delegate() const { return m_delegate.lock(); }

private:
    fnd::Expected<fnd::Value> received(const fnd::String& selector, const fnd::Array& arguments);

    fnd::String m_name;
    std::weak_ptr<EditLinkServerDelegate> m_delegate;
    fnd::String m_busName;
    bool m_published { false };
};
