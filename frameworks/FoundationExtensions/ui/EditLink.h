#pragma once

#include "frameworks/FoundationExtensions/EditLinkData.h"

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <optional>

namespace ui {
class Pasteboard;
}

class EditLink;

// What a link tells its owner, always on the main thread. Every operation is optional.
class EditLinkDelegate {
public:
    virtual ~EditLinkDelegate() = default;
    // On the server side: the client sent the item (on the link's pasteboard) to be edited.
    virtual void editLinkClientDidRequestEdit(EditLink&) { }
    // On the client side: the server sent the edited item.
    virtual void editLinkServerDidSendEdit(EditLink&) { }
    virtual void editLinkDidClose(EditLink&) { }
};
// A server's delegate is the delegate of every link the server opens.
using EditLinkServerDelegate = EditLinkDelegate;

// One item being edited in another application: the client end in the document that holds the item, the server end
// in the application that made it. The ends talk over the D-Bus session bus (see EditLinkServer); each has a
// pasteboard of its own whose contents travel with every request.
class EditLink : public fnd::Object {
    FND_OBJECT(EditLink)

public:
    EditLink() = default;
    ~EditLink() override;

    static std::shared_ptr<EditLink> activeEditLinkForItemKey(const fnd::String& itemKey);
    static bool publishServerWithName(const fnd::String& name, const std::shared_ptr<EditLinkServerDelegate>& delegate);
    static void retractServerWithName(const fnd::String& name);

    // The client's entry: reuses the open link of the item key, or connects to the server the data names (starting
    // its application when needed), then puts the data on the link's pasteboard and asks for the edit. The data
    // needs "serverName" and "bundleId" (else an invalid-argument exception); nullptr when no server answers.
    static std::shared_ptr<EditLink> editEditLinkData(const fnd::Value& data, const fnd::String& sourceName,
        const std::shared_ptr<EditLinkDelegate>& delegate, const fnd::String& itemKey);

    static std::shared_ptr<EditLink> initClientWithSourceName(
        const fnd::String& sourceName, const std::shared_ptr<EditLinkDelegate>& delegate, const fnd::String& itemKey);
    bool connectToServerWithName(const fnd::String& serverName, const fnd::String& bundleIdentifier,
        const std::optional<fnd::String>& fallbackURL, const fnd::String& appName);

    // Send this end's pasteboard to the other end; without a connection they raise NSGenericException.
    void requestEdit();
    void sendEdit();
    // Tells the other end and forgets the connection.
    void closeLink();
    bool isConnected() const;

    std::shared_ptr<ui::Pasteboard> pasteboard() const;
    const fnd::Value& representedObject() const { return m_representedObject; }
    void setRepresentedObject(fnd::Value object) { m_representedObject = std::move(object); }
    const fnd::String& sourceName() const { return m_sourceName; }
    const fnd::String& sourceApplicationName() const { return m_sourceApplicationName; }
    const fnd::String& itemKey() const { return m_itemKey; }
    bool isServer() const { return m_isServer; }
    std::shared_ptr<EditLinkDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<EditLinkDelegate>& delegate) { m_delegate = delegate; }

private:
    friend class EditLinkServer;
    struct Peer {
        fnd::String busName;
        fnd::String path;
    };

    // The server end for a client that connected.
    static std::shared_ptr<EditLink> initServerWithClient(const Peer& client, const fnd::String& sourceName,
        const fnd::String& sourceApplicationName, const fnd::String& itemKey,
        const std::shared_ptr<EditLinkDelegate>& delegate);
    bool publishSelf();
    void sendPasteboard(const char* selector);
    // Calls from the other end, on the bus thread.
    fnd::Expected<fnd::Value> received(const fnd::String& selector, const fnd::Array& arguments);
    void adoptPasteboard(const fnd::Value& name, const fnd::Value& contents);
    void forgetPeer();
    void tellDelegate(void (EditLinkDelegate::*callback)(EditLink&));

    std::optional<Peer> m_peer;
    bool m_isServer { false };
    std::weak_ptr<EditLinkDelegate> m_delegate;
    std::shared_ptr<ui::Pasteboard> m_pboard;
    fnd::Value m_representedObject;
    fnd::String m_sourceName;
    fnd::String m_sourceApplicationName;
    fnd::String m_key;
    fnd::String m_itemKey;
    fnd::String m_path;
};
