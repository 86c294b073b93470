#include "frameworks/FoundationExtensions/ui/ZORNSWorkspaceExtension.h"

#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/services/DesktopEntry.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/services/Process.h"
#include "platform/ui/views/Application.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace ZORNSWorkspaceExtension {

namespace {

struct Seams {
    std::mutex mutex;
    fnd::String emailProgram;
    Launcher launcher;
};

Seams& seams()
{
    static Seams s;
    return s;
}

fnd::String mainText(const char* key, const char* fallback)
{
    return fnd::Bundle::mainBundle()->localizedStringForKey(key, fallback, "ZORLocalizable");
}

fnd::String displayName()
{
    auto bundle = fnd::Bundle::mainBundle();
    for (const char* key : { "CFBundleDisplayName", "CFBundleName" }) {
        if (auto name = bundle->objectForInfoDictionaryKey(key); name.string() && !name.string()->isEmpty())
            return *name.string();
    }
    return fnd::Process::executablePath().lastPathComponent();
}

fnd::String resolved(const fnd::String& path)
{
    char buffer[PATH_MAX];
    return realpath(path.utf8().c_str(), buffer) ? fnd::String(buffer) : path;
}

// The user's autostart entries that run this executable.
fnd::StringArray loginItemFiles()
{
    fnd::StringArray files;
    auto folder = fnd::DesktopEntry::autostartFolder();
    auto names = fnd::FileManager::defaultManager().contentsOfDirectory(folder);
    if (!names)
        return files;
    const auto executable = resolved(fnd::Process::executablePath());
    for (const auto& name : *names) {
        if (name.pathExtension() != "desktop")
            continue;
        auto path = folder.stringByAppendingPathComponent(name);
        auto entry = fnd::DesktopEntry::read(path);
        if (!entry)
            continue;
        auto arguments = entry->execArguments();
        if (!arguments.empty() && resolved(arguments.front()) == executable)
            files.push_back(path);
    }
    return files;
}

fnd::String loginItemPath()
{
    auto identifier = fnd::Bundle::mainBundle()->bundleIdentifier();
    if (identifier.isEmpty())
        identifier = fnd::Process::executablePath().lastPathComponent();
    return fnd::DesktopEntry::autostartFolder().stringByAppendingPathComponent(identifier + ".desktop");
}

}

void setShowsDockIcon(bool show)
{
    if (show) {
        ui::Application::shared().activateIgnoringOtherApps(true);
        return;
    }
    auto panel = ZORAlertPanel::create(ZORAlertPanel::Style::Informational,
        fnd::String::format(mainText("ZORLRelaunchAlertTitle", "%@ needs to relaunch"), { displayName() }),
        mainText("ZORLRelaunchAlertText", "The change takes effect when the application starts again."),
        mainText("ZORLRelaunchNow", "Relaunch Now"), mainText("ZORLLater", "Later"));
    if (panel->runModal() != ZORAlertPanel::DefaultReturn)
        return;

    Launcher launcher;
    {
        std::lock_guard lock(seams().mutex);
        launcher = seams().launcher;
    }
    auto arguments = relaunchArguments();
    fnd::Expected<void> launched;
    if (launcher)
        launched = launcher(arguments);
    else if (auto pid = fnd::Process::launch(arguments); !pid)
        launched = std::unexpected(pid.error());
    if (!launched) {
        fnd::logf(fnd::LogLevel::Error, "The application could not be relaunched: {}",
            launched.error().localizedDescription().utf8());
        return;
    }
    ui::Application::shared().terminate();
}

fnd::StringArray relaunchArguments()
{
    auto arguments = fnd::Process::commandLine();
    auto executable = fnd::Process::executablePath();
    if (arguments.empty())
        arguments.push_back(executable);
    else
        arguments.front() = executable;
    return arguments;
}

bool emailTo(const std::optional<fnd::String>& recipient, const std::optional<fnd::String>& subject,
    const std::optional<fnd::String>& body, const fnd::StringArray& attachments)
{
    fnd::String program;
    {
        std::lock_guard lock(seams().mutex);
        program = seams().emailProgram.isEmpty() ? fnd::String("xdg-email") : seams().emailProgram;
    }
    // xdg-email refuses empty option values; a message without one has an empty subject or body all the same.
    fnd::StringArray arguments { program, "--utf8" };
    auto option = [&](const char* name, const std::optional<fnd::String>& value) {
        if (value && !value->isEmpty()) {
            arguments.push_back(name);
            arguments.push_back(*value);
        }
    };
    // "--to" takes the next argument whatever it looks like, so an address cannot pass for an option.
    option("--to", recipient);
    option("--subject", subject);
    option("--body", body);
    for (const auto& attachment : attachments)
        option("--attach", attachment);
    auto status = fnd::Process::run(arguments);
    if (!status) {
        fnd::logf(
            fnd::LogLevel::Error, "Error running mail to script: {}", status.error().localizedDescription().utf8());
        return false;
    }
    if (*status != 0) {
        fnd::logf(
            fnd::LogLevel::Error, "Error running mail to script: {} ended with status {}", program.utf8(), *status);
        return false;
    }
    return true;
}

bool isAppRegisteredAsLoginItem()
{
    return !loginItemFiles().empty();
}

bool addAppAsLoginItem()
{
    auto folder = fnd::DesktopEntry::autostartFolder();
    if (auto made = fnd::FileManager::defaultManager().createDirectory(folder); !made) {
        fnd::logf(
            fnd::LogLevel::Error, "The login item could not be added: {}", made.error().localizedDescription().utf8());
        return false;
    }
    fnd::DesktopEntry entry;
    entry.setValue("Type", "Application");
    entry.setValue("Name", displayName());
    entry.setValue("Exec", fnd::DesktopEntry::execLine({ fnd::Process::executablePath() }));
    entry.setValue("X-GNOME-Autostart-enabled", "true");
    if (auto written = entry.write(loginItemPath()); !written) {
        fnd::logf(fnd::LogLevel::Error, "The login item could not be added: {}",
            written.error().localizedDescription().utf8());
        return false;
    }
    return true;
}

bool removeAppFromLoginItem()
{
    bool removedAll = true;
    for (const auto& path : loginItemFiles()) {
        if (auto removed = fnd::FileManager::defaultManager().removeItem(path); !removed) {
            fnd::logf(fnd::LogLevel::Error, "The login item {} could not be removed: {}", path.utf8(),
                removed.error().localizedDescription().utf8());
            removedAll = false;
        }
    }
    return removedAll;
}

fnd::String setEmailProgram(const fnd::String& program)
{
    std::lock_guard lock(seams().mutex);
    return std::exchange(seams().emailProgram, program);
}

Launcher setRelaunchLauncher(Launcher launcher)
{
    std::lock_guard lock(seams().mutex);
    return std::exchange(seams().launcher, std::move(launcher));
}

}
