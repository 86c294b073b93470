#include "frameworks/FoundationExtensions/ui/ZORCrashReporter.h"

#include "frameworks/FoundationExtensions/ui/ZORAlertPanel.h"
#include "frameworks/FoundationExtensions/ui/ZORInterfaceLoading.h"
#include "frameworks/FoundationExtensions/ZORMultipartFormData.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/services/CrashLog.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/services/Process.h"
#include "platform/foundation/runtime/StringEncoding.h"
#include "platform/foundation/services/URLConnection.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/TextView.h"

FND_REGISTER_CLASS(ZORCrashReporter, fnd::Object)

void ZORCrashReporter::describeClass(fnd::ClassBuilder<ZORCrashReporter>& c)
{
    c.property("reporterWindow", &ZORCrashReporter::reporterWindow, &ZORCrashReporter::setReporterWindow);
    c.property("reportTextView", &ZORCrashReporter::reportTextView, &ZORCrashReporter::setReportTextView);
    c.property("describeTextView", &ZORCrashReporter::describeTextView, &ZORCrashReporter::setDescribeTextView);
    c.property("cancelButton", &ZORCrashReporter::cancelButton, &ZORCrashReporter::setCancelButton);
    c.action("sendActionAbort:", &ZORCrashReporter::sendActionAbort);
}

namespace {

fnd::String crashReporterText(const char* key)
{
    auto bundle = fnd::Bundle::bundleForClass("ZORCrashReporter");
    return bundle ? bundle->localizedStringForKey(key, "", "ZORCrashReporter") : fnd::String(key);
}

fnd::String bundleIdentifier()
{
    auto identifier = fnd::Bundle::mainBundle()->bundleIdentifier();
    return identifier.isEmpty() ? ZORCrashReporter::applicationName() : identifier;
}

std::optional<fnd::String> readUTF8(const fnd::String& path)
{
    auto data = fnd::FileManager::defaultManager().contentsAtPath(path);
    if (!data)
        return std::nullopt;
    auto string = fnd::stringWithData(*data, fnd::StringEncoding::UTF8);
    if (!string)
        return std::nullopt;
    return *string;
}

}

fnd::String ZORCrashReporter::crashLogFolder()
{
    return fnd::CrashLog::defaultFolder(bundleIdentifier());
}

void ZORCrashReporter::installCrashHandler()
{
    fnd::CrashLog::install(crashLogFolder(), applicationName());
}

fnd::String ZORCrashReporter::applicationName()
{
    auto bundle = fnd::Bundle::mainBundle();
    for (const auto& info : { bundle->localizedInfoDictionary(), bundle->infoDictionary() }) {
        if (auto name = info.get("CFBundleExecutable"); name.string() && !name.string()->isEmpty())
            return *name.string();
    }
    return fnd::Process::executablePath().lastPathComponent();
}

std::optional<fnd::String> ZORCrashReporter::pathAndNameOfCrashReportFile()
{
    const auto folder = crashLogFolder();
    auto entries = fnd::FileManager::defaultManager().enumerateDirectory(folder);
    if (!entries)
        return std::nullopt;
    const auto prefix = applicationName() + "_";
    const fnd::DirectoryEntry* newest = nullptr;
    for (const auto& entry : *entries) {
        if (!entry.relativePath.hasPrefix(prefix) || !entry.relativePath.hasSuffix(".crash"))
            continue;
        if (entry.attributes.type != fnd::FileType::Regular)
            continue;
        if (!newest || entry.attributes.modificationDate > newest->attributes.modificationDate)
            newest = &entry;
    }
    if (!newest)
        return std::nullopt;
    return folder.stringByAppendingPathComponent(newest->relativePath);
}

fnd::String ZORCrashReporter::lastCrashReport()
{
    auto path = pathAndNameOfCrashReportFile();
    if (!path || !fnd::FileManager::defaultManager().fileExists(*path))
        return {};
    auto contents = readUTF8(*path);
    if (!contents)
        return "*** Couldn't read Report ***";
    return contents->componentsSeparatedByString(ReportSeparator).back();
}

fnd::String ZORCrashReporter::consoleLog()
{
    auto path = pathAndNameOfCrashReportFile();
    if (!path)
        return {};
    auto contents = readUTF8(path->stringByDeletingPathExtension() + ".log");
    if (!contents)
        return {};
    const auto marker = applicationName() + "[";
    fnd::StringArray kept;
    for (const auto& line : contents->componentsSeparatedByString("\n")) {
        if (kept.empty() && line.rangeOfString(marker).location == fnd::NotFound)
            continue;
        kept.push_back(line);
    }
    // The file ends with a line break, which is no line of its own.
    if (!kept.empty() && kept.back().isEmpty())
        kept.pop_back();
    return fnd::componentsJoinedByString(kept, "\n");
}

void ZORCrashReporter::recordOffer()
{
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.setDouble(fnd::Date::now().timeIntervalSince1970(), LastCrashReportDateKey);
    defaults.synchronize();
}

bool ZORCrashReporter::hasReceiver()
{
    auto address = fnd::Bundle::mainBundle()->objectForInfoDictionaryKey("ZORCrashReporterCGIURL");
    return address.string() && !address.string()->isEmpty();
}

void ZORCrashReporter::checkForCrash()
{
    try {
        // Offering a report that cannot be sent would only ask the person for nothing.
        if (!hasReceiver())
            return;
        auto path = pathAndNameOfCrashReportFile();
        if (!path)
            return;
        auto attributes = fnd::FileManager::defaultManager().attributesOfItem(*path);
        if (!attributes)
            return;
        // Seconds since 1970 in double precision: a single-precision time is only good to about two minutes.
        const double lastOffer = fnd::UserDefaults::standardUserDefaults().doubleForKey(LastCrashReportDateKey);
        if (!(lastOffer < attributes->modificationDate.timeIntervalSince1970()))
            return;

        auto panel = ZORAlertPanel::create(ZORAlertPanel::Style::Warning, crashReporterText("WANT_TO_SEND_CRASH_TITLE"),
            fnd::String::format(crashReporterText("WANT_TO_SEND_CRASH"), { applicationName() }),
            crashReporterText("WANT_TO_SEND_CRASH_SEND"), crashReporterText("WANT_TO_SEND_CRASH_DONT_SEND"));
        if (panel->runModal() == ZORAlertPanel::DefaultReturn) {
            auto reporter = fnd::makeObject<ZORCrashReporter>();
            reporter->showReporterDialog();
        } else {
            recordOffer();
        }
    } catch (const std::exception& e) {
        fnd::logf(fnd::LogLevel::Error, "Exception during check for crash: {}", e.what());
    }
}

void ZORCrashReporter::init()
{
    auto self = shared_from_this();
    const fnd::String reason = "ZORCrashReporter: Could not load views resources!";
    ZORInterfaceLoading::loadOrRaise("ZORCrashReporter", self, "ZORCrashReporter", reason);
    if (!m_reporterWindow || !m_reportTextView || !m_describeTextView)
        throw fnd::Exception(ZORInterfaceLoading::ViewInitializationFailed, reason);
    if (m_cancelButton)
        m_cancelButton->setKeyEquivalent(fnd::String(u"\x1b"));
    m_reporterWindow->center();
}

void ZORCrashReporter::showReporterDialog()
{
    auto self = std::static_pointer_cast<ZORCrashReporter>(shared_from_this());
    m_reporterWindow->setDelegate(std::static_pointer_cast<ui::WindowDelegate>(self));
    m_reportTextView->setString(lastCrashReport() + "\n\n" + consoleLog());
    m_reportTextView->setSelectedRange({ 0, 0 });
    m_reportTextView->scrollRangeToVisible({ 0, 0 });
    m_describeTextView->setString({});
    m_reporterWindow->makeFirstResponder(m_describeTextView);
    ui::Application::shared().runModalForWindow(m_reporterWindow);
}

void ZORCrashReporter::sendActionAbort(const fnd::Value& sender)
{
    auto self = shared_from_this();
    m_reporterWindow->orderOut();
    long tag = sender.integerValue();
    static const fnd::Selector tagSelector("tag");
    if (auto object = sender.object(); object && object->respondsTo(tagSelector))
        tag = static_cast<long>(object->perform(tagSelector).integerValue());

    if (tag == 1) {
        m_sent = send();
        if (m_sent)
            recordOffer();
    } else {
        recordOffer();
    }
    ui::Application::shared().stopModal();
}

bool ZORCrashReporter::send()
{
    if (!hasReceiver()) {
        fnd::log(fnd::LogLevel::Error, "The crash report was not sent: the application names no receiver.");
        return false;
    }
    auto address = fnd::Bundle::mainBundle()->objectForInfoDictionaryKey("ZORCrashReporterCGIURL");
    ZORMultipartFormData form;
    form.addField("crashlog", m_reportTextView->string());
    form.addField("description", m_describeTextView->string());
    fnd::URLRequest request(*address.string());
    request.setHTTPMethod("POST");
    request.setHTTPBody(form.body());
    request.setValue("ZORCrashReporter", "User-Agent");
    request.setValue(form.contentType(), "Content-Type");
    auto result = fnd::URLConnection::sendSynchronousRequest(request);
    if (!result) {
        fnd::logf(
            fnd::LogLevel::Error, "The crash report was not sent: {}", result.error().localizedDescription().utf8());
        return false;
    }
    auto status = result->response.statusCode();
    if (status < 200 || status > 299) {
        fnd::logf(fnd::LogLevel::Error, "The crash report receiver answered {}; the report stays pending.", status);
        return false;
    }
    return true;
}
