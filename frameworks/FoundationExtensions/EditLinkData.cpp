#include "frameworks/FoundationExtensions/EditLinkData.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/FoundationExtensions/detail/ProcessName.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"

#include <atomic>

namespace {

// EditLink's classes carry no prefix; their texts live with the framework's.
[[maybe_unused]] const bool registeredBundle = [] {
    fnd::Bundle::registerClass("EditLink", ZORFrameworkBundle::Name);
    fnd::Bundle::registerClass("EditLinkServer", ZORFrameworkBundle::Name);
    return true;
}();

fnd::String localized(const fnd::String& key, const fnd::String& fallback)
{
    auto bundle = fnd::Bundle::bundleForClass("EditLink");
    return bundle ? bundle->localizedStringForKey(key, fallback, "ZOREditLinkLocalized") : fallback;
}

fnd::String stringFor(const fnd::Dictionary& data, const char* key)
{
    auto value = data.get(key);
    return value.string() ? *value.string() : fnd::String();
}

}

namespace EditLinkData {

fnd::Dictionary editLinkDataWithServerName(const std::optional<fnd::String>& serverName, const fnd::Value& appData)
{
    return editLinkDataWithServerName(serverName, appData, std::nullopt, 0);
}

fnd::Dictionary editLinkDataWithServerName(
    const std::optional<fnd::String>& serverName, const fnd::Value& appData, double suggestedRefreshRate)
{
    return editLinkDataWithServerName(serverName, appData, fnd::String("_Refresh"), suggestedRefreshRate);
}

fnd::Dictionary editLinkDataWithServerName(const std::optional<fnd::String>& serverName, const fnd::Value& appData,
    const std::optional<fnd::String>& actionName, double suggestedRefreshRate)
{
    if (!serverName)
        throw fnd::Exception::invalidArgument("EditLink Data cannot be created without a server name.");
    auto bundle = fnd::Bundle::mainBundle();
    fnd::Dictionary data;
    data.set("bundleId", bundle->bundleIdentifier());
    data.set("serverName", *serverName);
    data.set("version", "A");
    if (auto name = ZORProcessName::processName(); !name.isEmpty())
        data.set("serverAppName", name);
    if (actionName)
        data.set("serverActionKey", *actionName);
    if (!appData.isNil())
        data.set("appData", appData);
    if (auto url = bundle->objectForInfoDictionaryKey("EditLinkApplicationURL"); url.string())
        data.set("ApplicationURL", *url.string());
    data.set("refresh", static_cast<float>(suggestedRefreshRate));
    return data;
}

bool editLinkDataBelongsToActiveApplication(const fnd::Dictionary& data)
{
    auto identifier = data.get("bundleId");
    return identifier.string() && *identifier.string() == fnd::Bundle::mainBundle()->bundleIdentifier();
}

fnd::Value editLinkAppData(const fnd::Dictionary& data)
{
    return data.get("appData");
}

fnd::String editLinkSourceApplicationName(const fnd::Dictionary& data)
{
    return stringFor(data, "serverAppName");
}

fnd::String editLinkVersion(const fnd::Dictionary& data)
{
    return stringFor(data, "version");
}

fnd::String editLinkActionName(const fnd::Dictionary& data)
{
    auto key = stringFor(data, "serverActionKey");
    if (key.isEmpty())
        key = "_Edit";
    return localized(key, key);
}

fnd::String editLinkEditMenuTitle(const fnd::Dictionary& data)
{
    return fnd::String::format(
        localized("_EditPattern", "%@ in %@"), { editLinkActionName(data), editLinkSourceApplicationName(data) });
}

double editLinkSuggestedRefreshRate(const fnd::Dictionary& data)
{
    return data.get("refresh").doubleValue();
}

std::optional<fnd::String> editLinkApplicationURL(const fnd::Dictionary& data)
{
    auto url = data.get("ApplicationURL");
    if (!url.string() || url.string()->isEmpty())
        return std::nullopt;
    return *url.string();
}

}

fnd::Dictionary EditLinkCreatePasteboardData(const fnd::String& serverName, const fnd::Value& appData)
{
    return EditLinkData::editLinkDataWithServerName(serverName, appData);
}

fnd::Value EditLinkAppDataOf(const fnd::Dictionary& data)
{
    return EditLinkData::editLinkAppData(data);
}

fnd::String EditLinkNewItemKey()
{
    static std::atomic<unsigned> counter { 0 };
    auto seconds = static_cast<unsigned long long>(fnd::Date::now().timeIntervalSinceReferenceDate());
    return fnd::String::format("%@%qu.%.4x", { fnd::Bundle::mainBundle()->bundleIdentifier(), seconds, counter++ });
}

bool EditLinkIsFromActiveApplication(const fnd::Dictionary& data)
{
    return EditLinkData::editLinkDataBelongsToActiveApplication(data);
}

fnd::String EditLinkMultipleItemsMenuTitle()
{
    return localized("_EditMultiple", "Edit EditLink Items");
}

fnd::String EditLinkNoItemMenuTitle()
{
    return localized("_EditNone", "Edit EditLink Item");
}

fnd::String EditLinkServerRegisteredName(const fnd::String& bundleIdentifier, const fnd::String& serverName)
{
    return bundleIdentifier + ":" + serverName;
}
