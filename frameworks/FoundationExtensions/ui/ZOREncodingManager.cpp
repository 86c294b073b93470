#include "frameworks/FoundationExtensions/ui/ZOREncodingManager.h"

#include "frameworks/FoundationExtensions/ui/ZORInterfaceLoading.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(ZOREncodingManager, fnd::Object)

void ZOREncodingManager::describeClass(fnd::ClassBuilder<ZOREncodingManager>& c)
{
    c.property("panel", &ZOREncodingManager::panel, &ZOREncodingManager::setPanel);
    c.property("encodingMatrix", &ZOREncodingManager::encodingMatrix, &ZOREncodingManager::setEncodingMatrix);
    c.action("showPanel:", &ZOREncodingManager::showPanel);
    c.action("encodingListChanged:", &ZOREncodingManager::encodingListChanged);
    c.action("clearAll:", &ZOREncodingManager::clearAll);
    c.action("selectAll:", &ZOREncodingManager::selectAll);
    c.action("revertToDefault:", &ZOREncodingManager::revertToDefault);
}

namespace {

fnd::String text(const char* key, const char* fallback)
{
    auto bundle = fnd::Bundle::bundleForClass("ZOREncodingManager");
    return bundle ? bundle->localizedStringForKey(key, fallback, "ZOREncodingManager") : fnd::String(fallback);
}

std::uint64_t number(fnd::StringEncoding encoding)
{
    return static_cast<std::uint64_t>(encoding);
}

fnd::StringEncoding encoding(std::uint64_t value)
{
    return static_cast<fnd::StringEncoding>(value);
}

}

std::shared_ptr<ZOREncodingManager> ZOREncodingManager::sharedPointer()
{
    // Never destroyed: at exit its panel's views would go after the notification centre they still observe.
    static const auto* shared = new std::shared_ptr<ZOREncodingManager>(std::make_shared<ZOREncodingManager>());
    return *shared;
}

ZOREncodingManager& ZOREncodingManager::sharedInstance()
{
    return *sharedPointer();
}

std::uint64_t ZOREncodingManager::stringEncodingForMIMEEncoding(const fnd::String& name)
{
    if (name.isEmpty())
        return 0;
    auto found = fnd::stringEncodingFromIANACharSetName(name);
    return found ? number(*found) : 0;
}

fnd::String ZOREncodingManager::MIMEEncodingForStringEncoding(std::uint64_t value)
{
    return fnd::IANACharSetNameOfStringEncoding(encoding(value)).value_or("");
}

fnd::StringEncoding ZOREncodingManager::encodingForFile(const fnd::String& path)
{
    auto data = fnd::FileManager::defaultManager().contentsAtPath(path, 1'000'000);
    if (!data || data->isEmpty())
        return fnd::StringEncoding::UTF8;
    auto bytes = data->view();
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return fnd::StringEncoding::UTF8;
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4))
        || bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return fnd::StringEncoding::UTF32;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return fnd::StringEncoding::Unicode;
    // A cut-off last character does not make the rest any less UTF-8.
    for (std::size_t cut = 0; cut < 4 && cut < bytes.size(); ++cut) {
        if (fnd::stringWithData(std::span(data->bytes(), data->length() - cut), fnd::StringEncoding::UTF8))
            return fnd::StringEncoding::UTF8;
        if (data->length() < 1'000'000)
            break;
    }
    return autoDetectedStringEncodingOfData(*data);
}

fnd::StringEncoding ZOREncodingManager::autoDetectedStringEncodingOfData(const fnd::Data& data)
{
    auto candidates = fnd::detectStringEncodings(std::span(data.bytes(), data.length()));
    if (candidates.empty()) {
        fnd::log(fnd::LogLevel::Warning, "TECSniffer - sniff: / Failed to sniff text encoding.");
        return fnd::StringEncoding::UTF8;
    }
    for (const auto& candidate : candidates)
        fnd::logf(fnd::LogLevel::Debug, "encoding: {} result: {}",
            fnd::localizedNameOfStringEncoding(candidate.encoding).utf8(), candidate.confidence);
    return candidates.front().encoding;
}

const std::vector<std::uint64_t>& ZOREncodingManager::allAvailableStringEncodings()
{
    static const std::vector<std::uint64_t> sorted = [] {
        std::vector<std::uint64_t> list;
        for (auto available : fnd::availableStringEncodings()) {
            if (!fnd::localizedNameOfStringEncoding(available).isEmpty())
                list.push_back(number(available));
        }
        auto rank = [](std::uint64_t value) {
            auto mac = fnd::mostCompatibleMacStringEncoding(encoding(value));
            // Unicode before every script.
            return mac == fnd::CFStringEncodings::Unicode ? -1LL : static_cast<long long>(mac);
        };
        std::stable_sort(list.begin(), list.end(), [&](std::uint64_t a, std::uint64_t b) {
            auto ra = rank(a), rb = rank(b);
            return ra != rb ? ra < rb : a < b;
        });
        return list;
    }();
    return sorted;
}

std::vector<std::uint64_t> ZOREncodingManager::defaultEncodings()
{
    namespace CF = fnd::CFStringEncodings;
    const fnd::CFStringEncoding table[] = { CF::Unicode, CF::UTF8, CF::MacRoman, CF::WindowsLatin1, CF::MacJapanese,
        CF::ShiftJIS, CF::MacChineseTrad, CF::MacKorean, CF::MacChineseSimp, CF::GB_18030_2000 };
    std::vector<std::uint64_t> list;
    for (auto cf : table) {
        auto converted = fnd::convertCFStringEncodingToStringEncoding(cf);
        if (fnd::isAvailableStringEncoding(converted)
            && std::find(list.begin(), list.end(), number(converted)) == list.end())
            list.push_back(number(converted));
    }
    auto cString = number(fnd::defaultCStringEncoding());
    if (std::find(list.begin(), list.end(), cString) == list.end())
        list.push_back(cString);
    return list;
}

std::vector<std::uint64_t> ZOREncodingManager::enabledEncodings()
{
    if (!m_loaded) {
        m_loaded = true;
        auto stored = fnd::UserDefaults::standardUserDefaults().arrayForKey(DefaultsKey);
        if (stored && !stored->empty()) {
            for (const auto& value : *stored) {
                if (value.number())
                    m_encodings.push_back(value.number()->unsignedValue());
            }
        } else {
            m_encodings = defaultEncodings();
        }
    }
    return m_encodings;
}

void ZOREncodingManager::setupPopUp(ui::PopUpButton& popUp, std::uint64_t selectedEncoding, bool withDefaultEntry)
{
    auto self = sharedPointer();
    popUp.removeAllItems();
    auto menu = popUp.menu();
    auto list = enabledEncodings();
    long selectedIndex = 0;
    if (withDefaultEntry) {
        auto automatic = ui::MenuItem::create(text("Automatic", "Automatic"));
        automatic->setTag(static_cast<long>(NoEncodingTag));
        menu->addItem(automatic);
    } else if (selectedEncoding != NoEncodingTag
        && std::find(list.begin(), list.end(), selectedEncoding) == list.end()) {
        list.push_back(selectedEncoding);
    }
    for (auto value : list) {
        auto item = ui::MenuItem::create(fnd::localizedNameOfStringEncoding(encoding(value)));
        item->setTag(static_cast<long>(value));
        item->setEnabled(true);
        if (value == selectedEncoding)
            selectedIndex = menu->numberOfItems();
        menu->addItem(item);
    }
    if (menu->numberOfItems() > 0) {
        auto separator = ui::MenuItem::separatorItem();
        separator->setTag(static_cast<long>(NoEncodingTag));
        menu->addItem(separator);
    }
    auto customize = ui::MenuItem::create(text("Customize Encodings List\\U2026", "Customise Encodings List\u2026"));
    customize->setAction("showPanel:");
    customize->setTarget(self);
    customize->setTag(static_cast<long>(NoEncodingTag));
    menu->addItem(customize);
    popUp.selectItemAtIndex(selectedIndex);
    // The encoding pop-up button keeps whether its first item stands for no encoding.
    static const fnd::Selector setHasDefaultEntry("setHasDefaultEntry:");
    if (popUp.respondsTo(setHasDefaultEntry))
        popUp.perform(setHasDefaultEntry, withDefaultEntry);
}

void ZOREncodingManager::noteEncodingListChange(bool writeDefault, bool updateList, bool postNotification)
{
    if (writeDefault) {
        fnd::Array values;
        for (auto value : m_encodings)
            values.push_back(static_cast<unsigned long long>(value));
        fnd::UserDefaults::standardUserDefaults().setObject(values, DefaultsKey);
    }
    if (updateList)
        updateCheckBoxes();
    if (postNotification)
        fnd::NotificationCenter::defaultCenter().postNotificationName(EncodingsListChanged);
}

void ZOREncodingManager::updateCheckBoxes()
{
    if (!m_encodingMatrix)
        return;
    auto enabled = enabledEncodings();
    for (const auto& box : m_encodingMatrix->cells()) {
        bool on = std::find(enabled.begin(), enabled.end(), static_cast<std::uint64_t>(box->tag())) != enabled.end();
        box->setState(on ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
    }
}

bool ZOREncodingManager::loadPanel()
{
    auto self = shared_from_this();
    auto loaded = ZORInterfaceLoading::load("ZORSelectEncodingsPanel", self, "ZOREncodingManager");
    if (!loaded || !m_panel || !m_encodingMatrix) {
        fnd::log(fnd::LogLevel::Error, "Failed to load ZORSelectEncodingsPanel");
        if (!loaded)
            fnd::log(fnd::LogLevel::Error, loaded.error().localizedDescription());
        m_panel.reset();
        m_encodingMatrix.reset();
        return false;
    }
    m_panel->setWorksWhenModal(true);
    m_panel->setLevel(ui::WindowLevel::ModalPanel);
    // One check box per available encoding, each tagged with its encoding.
    const auto& all = allAvailableStringEncodings();
    m_encodingMatrix->renewRows(static_cast<long>(all.size()), 1);
    for (std::size_t row = 0; row < all.size(); ++row) {
        auto box = m_encodingMatrix->cellAtRowColumn(static_cast<long>(row), 0);
        box->setTitle(fnd::localizedNameOfStringEncoding(encoding(all[row])));
        box->setTag(static_cast<long>(all[row]));
    }
    m_encodingMatrix->sizeToCells();
    m_panel->center();
    return true;
}

void ZOREncodingManager::showPanel(const fnd::Value&)
{
    auto self = shared_from_this();
    if (!m_panel && !loadPanel())
        return;
    updateCheckBoxes();
    m_panel->makeKeyAndOrderFront();
}

void ZOREncodingManager::encodingListChanged(const fnd::Value&)
{
    if (!m_encodingMatrix)
        return;
    m_loaded = true;
    m_encodings.clear();
    for (const auto& box : m_encodingMatrix->cells()) {
        auto tag = static_cast<std::uint64_t>(box->tag());
        if (box->state() == ui::ControlStateValue::On && tag != NoEncodingTag)
            m_encodings.push_back(tag);
    }
    noteEncodingListChange(true, false, true);
}

void ZOREncodingManager::clearAll(const fnd::Value&)
{
    m_loaded = true;
    m_encodings.clear();
    noteEncodingListChange(true, true, true);
}

void ZOREncodingManager::selectAll(const fnd::Value&)
{
    m_loaded = true;
    m_encodings = allAvailableStringEncodings();
    noteEncodingListChange(true, true, true);
}

void ZOREncodingManager::revertToDefault(const fnd::Value&)
{
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey(DefaultsKey);
    m_loaded = true;
    m_encodings = defaultEncodings();
    noteEncodingListChange(false, true, true);
}
