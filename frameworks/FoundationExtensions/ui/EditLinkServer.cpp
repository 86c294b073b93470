#include "frameworks/FoundationExtensions/ui/EditLinkServer.h"

#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/ObjectBridge.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/services/DesktopEntry.h"
#include "platform/foundation/services/Process.h"
#include "platform/ui/views/Application.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>

FND_REGISTER_CLASS(EditLinkServer, fnd::Object)

namespace {

// Each server of an application is an object of its own.
fnd::String serverPath(const fnd::String& name)
{
    std::string path = "/org/barcodes/EditLinkServer/";
    for (char c : name.utf8())
        path += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return fnd::String(path);
}
constexpr double LaunchWait = 10;

struct ServerTable {
    std::mutex mutex;
    std::map<fnd::String, std::shared_ptr<EditLinkServer>> byName;
};

ServerTable& servers()
{
    static ServerTable table;
    return table;
}

fnd::String editLinkServerText(const char* key, const char* fallback)
{
    auto bundle = fnd::Bundle::bundleForClass("EditLinkServer");
    return bundle ? bundle->localizedStringForKey(key, fallback, "ZOREditLinkLocalized") : fnd::String(fallback);
}

bool declaresServer(const fnd::String& path, const fnd::String& name)
{
    auto entry = fnd::DesktopEntry::read(path);
    if (!entry)
        return false;
    auto declared = entry->list("X-EditLinkServer");
    return std::find(declared.begin(), declared.end(), name) != declared.end();
}

// A folder the search could not list: the person is told why, since the application may be in it. A folder that
// does not exist is passed over quietly: the data folders of the desktop name many without applications.
void presentListingError(const fnd::Error& error)
{
    if (error.domain() == fnd::ErrorDomain::POSIX && error.code() == ENOENT)
        return;
    ZORAlertPanel::create(ZORAlertPanel::Style::Warning, error.localizedDescription(), {}, {})->runModal();
}

// Walks a folder from its last entry to its first for "<identifier>.desktop" declaring the server, then its
// subfolders, at most three levels down.
std::optional<fnd::String> search(
    const fnd::String& folder, const fnd::String& bundleIdentifier, const fnd::String& name, int depth)
{
    auto& files = fnd::FileManager::defaultManager();
    auto entries = files.contentsOfDirectory(folder.stringByExpandingTildeInPath());
    if (!entries) {
        presentListingError(entries.error());
        return std::nullopt;
    }
    fnd::logf(fnd::LogLevel::Debug, "searching for {} in folder: {}", bundleIdentifier.utf8(), folder.utf8());
    for (auto it = entries->rbegin(); it != entries->rend(); ++it) {
        auto path = folder.stringByAppendingPathComponent(*it);
        if (*it == bundleIdentifier + ".desktop" && declaresServer(path, name))
            return path;
    }
    if (depth > 3)
        return std::nullopt;
    for (auto it = entries->rbegin(); it != entries->rend(); ++it) {
        auto path = folder.stringByAppendingPathComponent(*it);
        if (files.typeOfItem(path) == fnd::FileType::Directory) {
            if (auto found = search(path, bundleIdentifier, name, depth + 1))
                return found;
        }
    }
    return std::nullopt;
}

void showApplicationNotFound(const std::optional<fnd::String>& fallbackURL, const fnd::String& appName)
{
    auto title = fnd::String::format(editLinkServerText("_AppNotFoundTitle", "%@ Not Found"), { appName });
    std::shared_ptr<ZORAlertPanel> panel;
    if (fallbackURL)
        panel = ZORAlertPanel::create(ZORAlertPanel::Style::Critical, title,
            editLinkServerText("_AppNotFoundMessageWithURL", "The application that made this item is not installed."),
            editLinkServerText("_OK", "OK"), editLinkServerText("_GetApplication", "Get Application"));
    else
        panel = ZORAlertPanel::create(ZORAlertPanel::Style::Critical, title,
            editLinkServerText("_AppNotFoundMessageNoURL", "The application that made this item is not installed."),
            editLinkServerText("_OK", "OK"));
    if (panel->runModal() == ZORAlertPanel::AlternateReturn && fallbackURL) {
        if (auto opened = ui::Application::shared().openURL(*fallbackURL); !opened)
            fnd::logf(fnd::LogLevel::Error, "{} could not be opened: {}", fallbackURL->utf8(),
                opened.error().localizedDescription().utf8());
    }
}

}

EditLinkServer::~EditLinkServer()
{
    if (m_published) {
        fnd::ObjectBridge::releaseName(m_busName);
        fnd::ObjectBridge::retract(serverPath(m_name));
    }
}

fnd::String EditLinkServer::busNameFor(const fnd::String& bundleIdentifier, const fnd::String& serverName)
{
    return fnd::ObjectBridge::busName({ bundleIdentifier, serverName });
}

std::shared_ptr<EditLinkServer> EditLinkServer::EditLinkServerWithName(const fnd::String& name)
{
    auto& table = servers();
    std::lock_guard lock(table.mutex);
    auto found = table.byName.find(name);
    return found == table.byName.end() ? nullptr : found->second;
}

bool EditLinkServer::publishServerWithName(
    const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate)
{
    return initWithName(name, delegate)->publish();
}

std::shared_ptr<EditLinkServer> EditLinkServer::initWithName(
    const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate)
{
    auto server = std::make_shared<EditLinkServer>();
    server->m_name = name;
    server->m_delegate = delegate;
    return server;
}

bool EditLinkServer::publish()
{
    if (m_published)
        return true;
    m_busName = busNameFor(fnd::Bundle::mainBundle()->bundleIdentifier(), m_name);
    std::weak_ptr<EditLinkServer> weak = std::static_pointer_cast<EditLinkServer>(shared_from_this());
    auto published = fnd::ObjectBridge::publish(
        serverPath(m_name), [weak](const fnd::String& selector, const fnd::Array& arguments) {
            auto server = weak.lock();
            if (!server)
                return fnd::Expected<fnd::Value>(
                    std::unexpected(fnd::Error::make("EditLink", 4, "The server is gone.")));
            return server->received(selector, arguments);
        });
    if (!published) {
        fnd::logf(fnd::LogLevel::Error, "The EditLink server {} could not be published: {}", m_name.utf8(),
            published.error().localizedDescription().utf8());
        return false;
    }
    if (auto owned = fnd::ObjectBridge::ownName(m_busName); !owned) {
        fnd::ObjectBridge::retract(serverPath(m_name));
        fnd::logf(fnd::LogLevel::Error, "The EditLink server {} could not be published: {}", m_name.utf8(),
            owned.error().localizedDescription().utf8());
        return false;
    }
    m_published = true;
    auto& table = servers();
    std::lock_guard lock(table.mutex);
    table.byName[m_name] = std::static_pointer_cast<EditLinkServer>(shared_from_this());
    return true;
}

void EditLinkServer::retract()
{
    auto self = shared_from_this();
    if (m_published) {
        fnd::ObjectBridge::releaseName(m_busName);
        fnd::ObjectBridge::retract(serverPath(m_name));
        m_published = false;
    }
    auto& table = servers();
    std::lock_guard lock(table.mutex);
    if (auto found = table.byName.find(m_name); found != table.byName.end() && found->second.get() == this)
        table.byName.erase(found);
}

fnd::Expected<fnd::Value> EditLinkServer::received(const fnd::String& selector, const fnd::Array& arguments)
{
    if (selector != "initiateEditLinkFromClient:" || arguments.size() < 5)
        return std::unexpected(fnd::Error::make("EditLink", 5, "EditLinkServer does not answer " + selector + "."));
    auto text = [&](std::size_t i) { return arguments[i].string() ? *arguments[i].string() : fnd::String(); };
    auto link = EditLink::initServerWithClient(
        EditLink::Peer { text(0), text(1) }, text(2), text(3), text(4), m_delegate.lock());
    if (!link)
        return std::unexpected(fnd::Error::make("EditLink", 6, "The server could not open a link."));
    return fnd::Value(link->m_path);
}

std::optional<fnd::String> EditLinkServer::desktopEntryForServer(
    const fnd::String& bundleIdentifier, const fnd::String& name)
{
    const auto folders = fnd::DesktopEntry::applicationFolders();
    for (const auto& folder : folders) {
        auto path = folder.stringByAppendingPathComponent(bundleIdentifier + ".desktop");
        if (declaresServer(path, name))
            return path;
    }
    for (const auto& folder : folders) {
        if (auto found = search(folder, bundleIdentifier, name, 0))
            return found;
    }
    return std::nullopt;
}

std::optional<EditLinkServer::Remote> EditLinkServer::EditLinkServerWithName(const fnd::String& name,
    const fnd::String& bundleIdentifier, bool launchIfNeeded, const std::optional<fnd::String>& fallbackURL,
    const fnd::String& appName)
{
    const Remote remote { busNameFor(bundleIdentifier, name), serverPath(name) };
    if (fnd::ObjectBridge::nameHasOwner(remote.busName))
        return remote;
    if (!launchIfNeeded)
        return std::nullopt;

    auto entry = desktopEntryForServer(bundleIdentifier, name);
    fnd::StringArray arguments;
    if (entry) {
        if (auto read = fnd::DesktopEntry::read(*entry))
            arguments = read->execArguments();
    }
    if (arguments.empty()) {
        showApplicationNotFound(fallbackURL, appName.isEmpty() ? bundleIdentifier : appName);
        return std::nullopt;
    }
    if (auto launched = fnd::Process::launch(arguments); !launched) {
        fnd::logf(fnd::LogLevel::Error, "{} could not be started: {}", arguments.front().utf8(),
            launched.error().localizedDescription().utf8());
        return std::nullopt;
    }
    // The main run loop keeps running while the application starts, so this application stays responsive.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::duration<double>(LaunchWait);
    while (std::chrono::steady_clock::now() < limit) {
        if (fnd::ObjectBridge::nameHasOwner(remote.busName))
            return remote;
        // On the run loop's clock: the wall clock's date may lie hours away from it (a suspend, a clock set).
        fnd::RunLoop::current().runUntilDate(fnd::Clock::current()->now().addingTimeInterval(0.05));
    }
    fnd::logf(fnd::LogLevel::Error, "The EditLink server {} of {} did not start within {} seconds.", name.utf8(),
        bundleIdentifier.utf8(), LaunchWait);
    return std::nullopt;
}
