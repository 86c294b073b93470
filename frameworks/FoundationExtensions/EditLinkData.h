#pragma once

#include "platform/foundation/runtime/Value.h"

#include <optional>

// The EditLink pasteboard type and the dictionary a server application puts on it for an item it made, so that a
// client document can send the item back to it for editing.
inline const fnd::String EditLinkPboardType = "EditLinkData";

namespace EditLinkData {

// Keys: "bundleId" (this application's identifier), "serverName", "version" ("A"), "serverAppName" (this process's
// name), "serverActionKey" (when given), "appData" (when given), "ApplicationURL" (the main bundle's
// "EditLinkApplicationURL", when it has one) and "refresh" (single precision, 0 for none). A missing server name
// raises an invalid-argument exception.
fnd::Dictionary editLinkDataWithServerName(const std::optional<fnd::String>& serverName, const fnd::Value& appData);
fnd::Dictionary editLinkDataWithServerName(
    const std::optional<fnd::String>& serverName, const fnd::Value& appData, double suggestedRefreshRate);
fnd::Dictionary editLinkDataWithServerName(const std::optional<fnd::String>& serverName, const fnd::Value& appData,
    const std::optional<fnd::String>& actionName, double suggestedRefreshRate);

bool editLinkDataBelongsToActiveApplication(const fnd::Dictionary& data);
fnd::Value editLinkAppData(const fnd::Dictionary& data);
fnd::String editLinkSourceApplicationName(const fnd::Dictionary& data);
fnd::String editLinkVersion(const fnd::Dictionary& data);
// The localised text of "serverActionKey", "_Edit" when there is none.
fnd::String editLinkActionName(const fnd::Dictionary& data);
// "<action> in <application>", from the localised pattern "_EditPattern".
fnd::String editLinkEditMenuTitle(const fnd::Dictionary& data);
double editLinkSuggestedRefreshRate(const fnd::Dictionary& data);
std::optional<fnd::String> editLinkApplicationURL(const fnd::Dictionary& data);

}

fnd::Dictionary EditLinkCreatePasteboardData(const fnd::String& serverName, const fnd::Value& appData);
fnd::Value EditLinkAppDataOf(const fnd::Dictionary& data);
// "<bundle identifier><whole seconds since 2001>.<counter as 4 hex digits>", the counter counting from 0.
fnd::String EditLinkNewItemKey();
bool EditLinkIsFromActiveApplication(const fnd::Dictionary& data);
fnd::String EditLinkMultipleItemsMenuTitle();
fnd::String EditLinkNoItemMenuTitle();
// "<bundle identifier>:<server name>", the name a server is known by.
fnd::String EditLinkServerRegisteredName(const fnd::String& bundleIdentifier, const fnd::String& serverName);
