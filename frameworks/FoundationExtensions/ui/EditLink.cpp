#include "frameworks/FoundationExtensions/ui/EditLink.h"

#include "frameworks/FoundationExtensions/ui/EditLinkServer.h"
#include "frameworks/FoundationExtensions/detail/ProcessName.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/ObjectBridge.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <atomic>
#include <map>
#include <mutex>

FND_REGISTER_CLASS(EditLink, fnd::Object)

namespace {

// Open links by item key, and by the path they are published at for calls from the other end.
struct LinkTable {
    std::recursive_mutex mutex;
    std::map<fnd::String, std::shared_ptr<EditLink>> byItemKey;
};

LinkTable& links()
{
    static LinkTable table;
    return table;
}

fnd::String newLinkPath()
{
    static std::atomic<unsigned> counter { 0 };
    return "/org/barcodes/EditLink/link" + fnd::String(std::to_string(++counter));
}

}

EditLink::~EditLink()
{
    if (m_peer)
        fnd::ObjectBridge::invokeOneWay(m_peer->busName, m_peer->path, "remoteCloseLink", {});
    if (!m_path.isEmpty())
        fnd::ObjectBridge::retract(m_path);
    if (!m_isServer && m_pboard)
        m_pboard->releaseGlobally();
}

std::shared_ptr<EditLink> EditLink::activeEditLinkForItemKey(const fnd::String& itemKey)
{
    auto& table = links();
    std::lock_guard lock(table.mutex);
    auto found = table.byItemKey.find(itemKey);
    return found == table.byItemKey.end() ? nullptr : found->second;
}

bool EditLink::publishServerWithName(const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate)
{
    return EditLinkServer::publishServerWithName(name, delegate);
}

void EditLink::retractServerWithName(const fnd::String& name)
{
    if (auto server = EditLinkServer::EditLinkServerWithName(name))
        server->retract();
}

std::shared_ptr<EditLink> EditLink::initClientWithSourceName(
    const fnd::String& sourceName, const std::shared_ptr<EditLinkDelegate>& delegate, const fnd::String& itemKey)
{
    auto link = std::make_shared<EditLink>();
    link->m_isServer = false;
    link->m_delegate = delegate;
    link->m_pboard = ui::Pasteboard::pasteboardWithUniqueName();
    link->m_sourceName = sourceName;
    link->m_sourceApplicationName = ZORProcessName::processName();
    link->m_itemKey = itemKey;
    return link;
}

std::shared_ptr<EditLink> EditLink::initServerWithClient(const Peer& client, const fnd::String& sourceName,
    const fnd::String& sourceApplicationName, const fnd::String& itemKey,
    const std::shared_ptr<EditLinkDelegate>& delegate)
{
    auto link = std::make_shared<EditLink>();
    link->m_isServer = true;
    link->m_peer = client;
    link->m_delegate = delegate;
    link->m_sourceName = sourceName;
    link->m_sourceApplicationName = sourceApplicationName;
    link->m_itemKey = itemKey;
    if (!link->publishSelf())
        return nullptr;
    auto& table = links();
    std::lock_guard lock(table.mutex);
    table.byItemKey[itemKey] = link;
    return link;
}

bool EditLink::publishSelf()
{
    m_path = newLinkPath();
    std::weak_ptr<EditLink> weak = std::static_pointer_cast<EditLink>(shared_from_this());
    auto published
        = fnd::ObjectBridge::publish(m_path, [weak](const fnd::String& selector, const fnd::Array& arguments) {
              auto link = weak.lock();
              if (!link)
                  return fnd::Expected<fnd::Value>(
                      std::unexpected(fnd::Error::make("EditLink", 1, "The link is closed.")));
              return link->received(selector, arguments);
          });
    if (!published) {
        fnd::logf(fnd::LogLevel::Error, "An EditLink could not be published: {}",
            published.error().localizedDescription().utf8());
        m_path = {};
        return false;
    }
    return true;
}

std::shared_ptr<EditLink> EditLink::editEditLinkData(const fnd::Value& data, const fnd::String& sourceName,
    const std::shared_ptr<EditLinkDelegate>& delegate, const fnd::String& itemKey)
{
    auto dictionary = data.dictionary();
    auto link = activeEditLinkForItemKey(itemKey);
    if (!link) {
        // The address to get the server application from is optional: data made without it is still editable.
        if (!dictionary || !dictionary->get("serverName").string() || !dictionary->get("bundleId").string())
            throw fnd::Exception::invalidArgument("EditLinkData is not of the correct format: " + data.description());
        link = initClientWithSourceName(sourceName, delegate, itemKey);
        if (!link->connectToServerWithName(*dictionary->get("serverName").string(),
                *dictionary->get("bundleId").string(), EditLinkData::editLinkApplicationURL(*dictionary),
                EditLinkData::editLinkSourceApplicationName(*dictionary)))
            return nullptr;
    }
    link->m_pboard->declareTypes({ EditLinkPboardType });
    link->m_pboard->setPropertyList(data, EditLinkPboardType);
    link->requestEdit();
    return link;
}

bool EditLink::connectToServerWithName(const fnd::String& serverName, const fnd::String& bundleIdentifier,
    const std::optional<fnd::String>& fallbackURL, const fnd::String& appName)
{
    auto server = EditLinkServer::EditLinkServerWithName(serverName, bundleIdentifier, true, fallbackURL, appName);
    if (!server)
        return false;
    if (m_path.isEmpty() && !publishSelf())
        return false;
    auto self = fnd::ObjectBridge::uniqueName();
    if (!self)
        return false;
    auto answer = fnd::ObjectBridge::invoke(server->busName, server->path,
        "initiateEditLinkFromClient:", { *self, m_path, m_sourceName, m_sourceApplicationName, m_itemKey });
    if (!answer || !answer->string()) {
        fnd::logf(fnd::LogLevel::Error, "The EditLink server {} did not open a link: {}", serverName.utf8(),
            answer ? std::string("no answer") : answer.error().localizedDescription().utf8());
        return false;
    }
    m_peer = Peer { server->busName, *answer->string() };
    auto& table = links();
    std::lock_guard lock(table.mutex);
    table.byItemKey[m_itemKey] = std::static_pointer_cast<EditLink>(shared_from_this());
    return true;
}

void EditLink::requestEdit()
{
    sendPasteboard("requestEditWithPasteboardName:");
}

void EditLink::sendEdit()
{
    sendPasteboard("refreshEditWithPasteboardName:");
}

void EditLink::sendPasteboard(const char* selector)
{
    if (!m_peer)
        throw fnd::Exception(
            fnd::ExceptionName::Generic, "tried to request edit from a live link not connect to a server.");
    if (!m_pboard)
        m_pboard = ui::Pasteboard::pasteboardWithUniqueName();
    // The pasteboard travels by value: its name and every type's data.
    fnd::Dictionary contents;
    for (const auto& type : m_pboard->types()) {
        if (auto data = m_pboard->dataForType(type))
            contents.set(type, *data);
    }
    fnd::ObjectBridge::invokeOneWay(m_peer->busName, m_peer->path, selector, { m_pboard->name(), contents });
}

fnd::Expected<fnd::Value> EditLink::received(const fnd::String& selector, const fnd::Array& arguments)
{
    auto self = std::static_pointer_cast<EditLink>(shared_from_this());
    if (selector == "requestEditWithPasteboardName:" || selector == "refreshEditWithPasteboardName:") {
        if (arguments.size() < 2)
            return std::unexpected(fnd::Error::make("EditLink", 2, selector + " needs a pasteboard."));
        auto name = arguments[0];
        auto contents = arguments[1];
        auto callback = selector == "requestEditWithPasteboardName:" ? &EditLinkDelegate::editLinkClientDidRequestEdit
                                                                     : &EditLinkDelegate::editLinkServerDidSendEdit;
        // Pasteboards belong to the main thread, as do delegates.
        fnd::RunLoop::main().post([self, name, contents, callback] {
            self->adoptPasteboard(name, contents);
            self->tellDelegate(callback);
        });
        return fnd::Value();
    }
    if (selector == "remoteCloseLink") {
        fnd::RunLoop::main().post([self] {
            self->forgetPeer();
            self->tellDelegate(&EditLinkDelegate::editLinkDidClose);
        });
        return fnd::Value();
    }
    return std::unexpected(fnd::Error::make("EditLink", 3, "EditLink does not answer " + selector + "."));
}

void EditLink::adoptPasteboard(const fnd::Value& name, const fnd::Value& contents)
{
    if (name.string() && (!m_pboard || m_pboard->name() != *name.string()))
        m_pboard = ui::Pasteboard::pasteboardWithName(*name.string());
    if (!m_pboard || !contents.dictionary())
        return;
    m_pboard->declareTypes(contents.dictionary()->keys());
    for (const auto& [type, data] : *contents.dictionary()) {
        if (data.data())
            m_pboard->setData(*data.data(), type);
    }
}

void EditLink::tellDelegate(void (EditLinkDelegate::*callback)(EditLink&))
{
    if (auto delegate = m_delegate.lock())
        (delegate.get()->*callback)(*this);
}

void EditLink::forgetPeer()
{
    m_peer.reset();
    auto& table = links();
    std::lock_guard lock(table.mutex);
    if (auto found = table.byItemKey.find(m_itemKey); found != table.byItemKey.end() && found->second.get() == this)
        table.byItemKey.erase(found);
}

void EditLink::closeLink()
{
    auto self = shared_from_this();
    if (m_peer)
        fnd::ObjectBridge::invokeOneWay(m_peer->busName, m_peer->path, "remoteCloseLink", {});
    forgetPeer();
}

bool EditLink::isConnected() const
{
    return m_peer.has_value();
}

std::shared_ptr<ui::Pasteboard> EditLink::pasteboard() const
{
    return m_pboard;
}
