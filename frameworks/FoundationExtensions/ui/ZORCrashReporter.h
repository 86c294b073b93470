#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/Window.h"

#include <memory>
#include <optional>

namespace ui {
class Button;
class TextView;
}

// Offers, once per new crash log, to send the log of this application's last crash with the log lines of that run
// and the person's description to the crash-report receiver (the main bundle's "ZORCrashReporterCGIURL").
//
// The application calls installCrashHandler() early and checkForCrash() once at start. Crash logs are written by
// the platform's crash handler into $XDG_STATE_HOME/<bundle identifier>/crashes/. An offer counts as made when the
// person declines, or when the receiver accepted the report (a 2xx answer); a failed upload keeps the log pending,
// so the next start offers it again.
//
// The dialog comes from the interface file "ZORCrashReporter" of the class's bundle, with the reporter as its owner
// and its window's delegate: the report (which the person may edit) and a description in two text views, a Cancel
// button and a Send button (tag 1), both sending sendActionAbort:. Its texts are keys of the "ZORCrashReporter"
// string table.
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
    // Whether the application names a receiver for crash reports; without one nothing is offered.
    static bool hasReceiver();

    ZORCrashReporter() = default;
    // Loads the dialog; raises "View initialization failed" when the interface file cannot be loaded or lacks a part.
    void init();
    void showReporterDialog();
    // Both buttons' action: tag 1 sends, anything else cancels.
    void sendActionAbort(const fnd::Value& sender);

    // The interface file's outlets.
    const std::shared_ptr<ui::Window>& reporterWindow() const { return m_reporterWindow; }
    void setReporterWindow(const std::shared_ptr<ui::Window>& window) { m_reporterWindow = window; }
    const std::shared_ptr<ui::TextView>& reportTextView() const { return m_reportTextView; }
    void setReportTextView(const std::shared_ptr<ui::TextView>& view) { m_reportTextView = view; }
    const std::shared_ptr<ui::TextView>& describeTextView() const { return m_describeTextView; }
    void setDescribeTextView(const std::shared_ptr<ui::TextView>& view) { m_describeTextView = view; }
    const std::shared_ptr<ui::Button>& cancelButton() const { return m_cancelButton; }
    void setCancelButton(const std::shared_ptr<ui::Button>& button) { m_cancelButton = button; }
    // Whether the last send was accepted by the receiver.
    bool wasSent() const { return m_sent; }

private:
    bool send();
    static void recordOffer();

    std::shared_ptr<ui::Window> m_reporterWindow;
    std::shared_ptr<ui::TextView> m_reportTextView;
    std::shared_ptr<ui::TextView> m_describeTextView;
    std::shared_ptr<ui::Button> m_cancelButton;
    bool m_sent { false };
};
