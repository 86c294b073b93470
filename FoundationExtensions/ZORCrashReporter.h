#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/Window.h"

#include <memory>
#include <optional>

// Offers, once per new crash log, to send the log of this application's last crash with the log lines of that run
// and the person's description to the crash-report receiver (the main bundle's "ZORCrashReporterCGIURL").
//
// The application calls installCrashHandler() early and checkForCrash() once at start. Crash logs are written by
// the platform's crash handler into $XDG_STATE_HOME/<bundle identifier>/crashes/. An offer counts as made when the
// person declines, or when the receiver accepted the report (a 2xx answer); a failed upload keeps the log pending,
// so the next start offers it again.
//
// FIXME: the dialog holds the report and description as text; its text views come with the text controls.
// The window's delegate is the object that owns it, as an interface file's owner would be.
class ZORCrashReporter : public fnd::Object, public ui::WindowDelegate {
    FND_OBJECT(ZORCrashReporter)
    static void describeClass(fnd::ClassBuilder<ZORCrashReporter>& c);

public:
    static inline const fnd::String LastCrashReportDateKey = "ZORCrashReporterLastCrashReportDate";
    static inline const fnd::String ReportSeparator = "\n\n**********\n\n";

    // The folder crash logs of this application go to.
    static fnd::String crashLogFolder();
    static void installCrashHandler();

    // The newest "<executable>_*.crash" below the folder, by modification date; nullopt when there is none.
    static std::optional<fnd::String> pathAndNameOfCrashReportFile();
    // The last report of that file: "" without a file, "*** Couldn't read Report ***" when it cannot be read.
    static fnd::String lastCrashReport();
    static fnd::String applicationName();
    // The log lines of the crashed run, from the first line of this application on.
    static fnd::String consoleLog();
    // Offers the newest crash log when it is newer than the last offer. Never raises.
    static void checkForCrash();

    ZORCrashReporter();
    void showReporterDialog();
    // Both buttons' action: tag 1 sends, anything else cancels.
    void sendActionAbort(const fnd::Value& sender);

    const std::shared_ptr<ui::Window>& reporterWindow() const { return m_reporterWindow; }
    const fnd::String& reportText() const { return m_reportText; }
    void setReportText(const fnd::String& text) { m_reportText = text; }
    const fnd::String& describeText() const { return m_describeText; }
    void setDescribeText(const fnd::String& text) { m_describeText = text; }
    // Whether the last send was accepted by the receiver.
    bool wasSent() const { return m_sent; }

private:
    bool send();
    static void recordOffer();

    std::shared_ptr<ui::Window> m_reporterWindow;
    fnd::String m_reportText;
    fnd::String m_describeText;
    bool m_sent { false };
};
