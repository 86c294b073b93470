#include "platform/foundation/runtime/ObjectBridge.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/archiving/PropertyList.h"

#include <gio/gio.h>

#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <thread>

namespace fnd::ObjectBridge {

namespace {

const char* const InterfaceName = "org.barcodes.ObjectBridge";
const char* const IntrospectionXML = "<node><interface name='org.barcodes.ObjectBridge'><method name='Invoke'>"
                                     "<arg type='s' name='selector' direction='in'/>"
                                     "<arg type='ay' name='arguments' direction='in'/>"
                                     "<arg type='ay' name='result' direction='out'/></method></interface></node>";
const String ErrorDomainName = "ObjectBridgeErrorDomain";

Error bridgeError(std::int64_t code, const String& description, const String& reason = {})
{
    return Error::make(ErrorDomainName, code, description, reason);
}

GVariant* bytesVariant(const Data& data)
{
    return g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, data.bytes(), data.length(), 1);
}

Data variantBytes(GVariant* variant)
{
    gsize length = 0;
    auto bytes = static_cast<const std::uint8_t*>(g_variant_get_fixed_array(variant, &length, 1));
    return Data(bytes, length);
}

// The session bus connection and a thread running its own main context, where published objects receive calls.
class Bridge {
public:
    static Expected<Bridge*> shared()
    {
        static std::once_flag once;
        static Bridge* bridge = nullptr;
        static Error failure;
        std::call_once(once, [] {
            GError* error = nullptr;
            GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
            if (!connection) {
                failure = bridgeError(1, "There is no D-Bus session bus to talk to other applications.",
                    error ? String(error->message) : String());
                g_clear_error(&error);
                return;
            }
            bridge = new Bridge(connection); // lives for the process, with its thread
        });
        if (!bridge)
            return std::unexpected(failure);
        return bridge;
    }

    GDBusConnection* connection() const { return m_connection; }

    // Runs work on the bridge's thread and waits for it.
    template <typename F> auto onBridgeThread(F work) -> decltype(work())
    {
        using Result = decltype(work());
        // A handler publishing another object is already there.
        if (g_main_context_is_owner(m_context))
            return work();
        std::packaged_task<Result()> task(std::move(work));
        auto future = task.get_future();
        auto* heap = new std::packaged_task<Result()>(std::move(task));
        g_main_context_invoke_full(
            m_context, G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                (*static_cast<std::packaged_task<Result()>*>(data))();
                return G_SOURCE_REMOVE;
            },
            heap, [](gpointer data) { delete static_cast<std::packaged_task<Result()>*>(data); });
        return future.get();
    }

    Expected<void> publish(const String& path, Handler handler)
    {
        return onBridgeThread([&]() -> Expected<void> {
            std::lock_guard lock(m_mutex);
            if (m_objects.contains(path))
                return std::unexpected(bridgeError(2, "An object is already published at " + path + "."));
            auto* slot = new Handler(std::move(handler));
            static const GDBusInterfaceVTable vtable { &Bridge::methodCall, nullptr, nullptr, {} };
            GError* error = nullptr;
            guint id = g_dbus_connection_register_object(
                m_connection, path.utf8().c_str(), m_interface, &vtable, slot,
                [](gpointer data) { delete static_cast<Handler*>(data); }, &error);
            if (!id) {
                auto failure = bridgeError(
                    2, "The object at " + path + " could not be published.", error ? String(error->message) : String());
                g_clear_error(&error);
                delete slot;
                return std::unexpected(failure);
            }
            m_objects[path] = id;
            return {};
        });
    }

    void retract(const String& path)
    {
        onBridgeThread([&] {
            std::lock_guard lock(m_mutex);
            if (auto found = m_objects.find(path); found != m_objects.end()) {
                g_dbus_connection_unregister_object(m_connection, found->second);
                m_objects.erase(found);
            }
        });
    }

private:
    explicit Bridge(GDBusConnection* connection)
        : m_connection(connection)
        , m_context(g_main_context_new())
    {
        GError* error = nullptr;
        m_node = g_dbus_node_info_new_for_xml(IntrospectionXML, &error);
        m_interface = g_dbus_node_info_lookup_interface(m_node, InterfaceName);
        std::thread([this] {
            g_main_context_push_thread_default(m_context);
            for (;;)
                g_main_context_iteration(m_context, TRUE);
        }).detach();
    }

    static void methodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
        GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data)
    {
        auto& handler = *static_cast<Handler*>(data);
        if (g_strcmp0(method, "Invoke") != 0) {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod", method);
            return;
        }
        const gchar* selector = nullptr;
        GVariant* argumentBytes = nullptr;
        g_variant_get(parameters, "(&s@ay)", &selector, &argumentBytes);
        auto arguments = PropertyList::read(variantBytes(argumentBytes));
        g_variant_unref(argumentBytes);
        if (!arguments || !arguments->array()) {
            g_dbus_method_invocation_return_dbus_error(
                invocation, "org.barcodes.ObjectBridge.Error.BadArguments", "The arguments are no property list.");
            return;
        }
        Expected<Value> result = std::unexpected(Error());
        try {
            result = handler(String(selector), *arguments->array());
        } catch (const std::exception& e) {
            result = std::unexpected(bridgeError(3, String(e.what())));
        }
        if (!result) {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.barcodes.ObjectBridge.Error.Failed",
                result.error().localizedDescription().utf8().c_str());
            return;
        }
        Array wrapped;
        if (!result->isNil())
            wrapped.push_back(*result);
        auto bytes = PropertyList::writeXML(wrapped);
        if (!bytes) {
            g_dbus_method_invocation_return_dbus_error(invocation, "org.barcodes.ObjectBridge.Error.Failed",
                bytes.error().localizedDescription().utf8().c_str());
            return;
        }
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(@ay)", bytesVariant(*bytes)));
    }

    GDBusConnection* m_connection;
    GMainContext* m_context;
    GDBusNodeInfo* m_node { nullptr };
    GDBusInterfaceInfo* m_interface { nullptr };
    std::mutex m_mutex;
    std::map<String, guint> m_objects;
};

Expected<GVariant*> callBus(const char* method, GVariant* parameters, const GVariantType* replyType)
{
    auto bridge = Bridge::shared();
    if (!bridge)
        return std::unexpected(bridge.error());
    GError* error = nullptr;
    GVariant* reply
        = g_dbus_connection_call_sync((*bridge)->connection(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", method, parameters, replyType, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
    if (!reply) {
        auto failure
            = bridgeError(4, String("The bus refused ") + method + ".", error ? String(error->message) : String());
        g_clear_error(&error);
        return std::unexpected(failure);
    }
    return reply;
}

}

Expected<String> uniqueName()
{
    auto bridge = Bridge::shared();
    if (!bridge)
        return std::unexpected(bridge.error());
    return String(g_dbus_connection_get_unique_name((*bridge)->connection()));
}

Expected<void> ownName(const String& name)
{
    // Flag 4: do not queue behind the owner.
    auto reply = callBus("RequestName", g_variant_new("(su)", name.utf8().c_str(), 4u), G_VARIANT_TYPE("(u)"));
    if (!reply)
        return std::unexpected(reply.error());
    guint32 result = 0;
    g_variant_get(*reply, "(u)", &result);
    g_variant_unref(*reply);
    // 1: now the owner; 4: already the owner.
    if (result != 1 && result != 4)
        return std::unexpected(bridgeError(5, "The name " + name + " belongs to another application."));
    return {};
}

void releaseName(const String& name)
{
    if (auto reply = callBus("ReleaseName", g_variant_new("(s)", name.utf8().c_str()), G_VARIANT_TYPE("(u)")))
        g_variant_unref(*reply);
}

bool nameHasOwner(const String& name)
{
    auto reply = callBus("NameHasOwner", g_variant_new("(s)", name.utf8().c_str()), G_VARIANT_TYPE("(b)"));
    if (!reply)
        return false;
    gboolean owned = FALSE;
    g_variant_get(*reply, "(b)", &owned);
    g_variant_unref(*reply);
    return owned;
}

String busName(const StringArray& parts)
{
    std::string name;
    for (const auto& part : parts) {
        std::string utf8 = part.utf8();
        std::size_t start = 0;
        while (start <= utf8.size()) {
            auto end = utf8.find('.', start);
            if (end == std::string::npos)
                end = utf8.size();
            std::string element;
            for (char c : utf8.substr(start, end - start))
                element += (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') ? c : '_';
            if (element.empty() || std::isdigit(static_cast<unsigned char>(element.front())))
                element.insert(element.begin(), '_');
            if (!name.empty())
                name += '.';
            name += element;
            start = end + 1;
        }
    }
    return String(name);
}

Expected<void> publish(const String& path, Handler handler)
{
    auto bridge = Bridge::shared();
    if (!bridge)
        return std::unexpected(bridge.error());
    return (*bridge)->publish(path, std::move(handler));
}

void retract(const String& path)
{
    if (auto bridge = Bridge::shared())
        (*bridge)->retract(path);
}

Expected<Value> invoke(
    const String& busName, const String& path, const String& selector, const Array& arguments, double timeout)
{
    auto bridge = Bridge::shared();
    if (!bridge)
        return std::unexpected(bridge.error());
    auto bytes = PropertyList::writeXML(arguments);
    if (!bytes)
        return std::unexpected(bytes.error());
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync((*bridge)->connection(), busName.utf8().c_str(), path.utf8().c_str(),
        InterfaceName, "Invoke", g_variant_new("(s@ay)", selector.utf8().c_str(), bytesVariant(*bytes)),
        G_VARIANT_TYPE("(ay)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, static_cast<int>(timeout * 1000), nullptr, &error);
    if (!reply) {
        auto failure = bridgeError(
            6, selector + " could not be called on " + busName + ".", error ? String(error->message) : String());
        g_clear_error(&error);
        return std::unexpected(failure);
    }
    GVariant* resultBytes = nullptr;
    g_variant_get(reply, "(@ay)", &resultBytes);
    auto result = PropertyList::read(variantBytes(resultBytes));
    g_variant_unref(resultBytes);
    g_variant_unref(reply);
    if (!result || !result->array())
        return std::unexpected(bridgeError(7, "The answer to " + selector + " is no property list."));
    return result->array()->empty() ? Value() : result->array()->front();
}

void invokeOneWay(const String& busName, const String& path, const String& selector, const Array& arguments)
{
    auto bridge = Bridge::shared();
    auto bytes = PropertyList::writeXML(arguments);
    if (!bridge || !bytes)
        return;
    g_dbus_connection_call((*bridge)->connection(), busName.utf8().c_str(), path.utf8().c_str(), InterfaceName,
        "Invoke", g_variant_new("(s@ay)", selector.utf8().c_str(), bytesVariant(*bytes)), nullptr,
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000, nullptr, nullptr, nullptr);
}

}
