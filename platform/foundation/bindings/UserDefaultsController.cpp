#include "platform/foundation/bindings/UserDefaultsController.h"

#include <map>
#include <mutex>

namespace fnd {

FND_REGISTER_CLASS(UserDefaultsController, Object)

namespace detail {

// Reads and writes defaults by key, and tells observers of a key when its value changed, however the defaults
// were changed. It remembers the last value each observed key showed, so a change notice compares against it.
class DefaultsValues final : public Object {
    FND_OBJECT(DefaultsValues)
public:
    DefaultsValues() = default;
    // The controller owns this object and outlives it.
    explicit DefaultsValues(UserDefaultsController& controller)
        : m_controller(&controller)
    {
    }

    Value valueForKey(const String& key) const override
    {
        std::lock_guard lock(m_mutex);
        // While a change is announced, observers asking for the old value get the one they saw.
        if (auto it = m_announcing.find(key); it != m_announcing.end())
            return it->second;
        Value value = current(key);
        m_seen[key] = value;
        return value;
    }

    void setValueForKey(const Value& value, const String& key) override
    {
        if (!m_controller)
            return;
        Value stored = value.isNull() ? Value() : value;
        // The defaults' notification announces the change.
        if (stored.isNil())
            m_controller->defaults().removeObjectForKey(key);
        else
            m_controller->defaults().setObject(stored, key);
    }

    // Called when an observer starts listening to a key: from then on its changes are announced.
    std::vector<String> keyPathsForValuesAffectingValueForKey(const String& key) const override
    {
        std::lock_guard lock(m_mutex);
        if (!m_seen.contains(key))
            m_seen[key] = current(key);
        return {};
    }

    void defaultsChanged()
    {
        std::vector<std::pair<String, Value>> changed;
        {
            std::lock_guard lock(m_mutex);
            for (auto& [key, seen] : m_seen) {
                Value now = current(key);
                if (!(now == seen))
                    changed.emplace_back(key, seen);
            }
        }
        for (const auto& [key, old] : changed) {
            {
                std::lock_guard lock(m_mutex);
                m_announcing[key] = old;
            }
            willChangeValueForKey(key);
            {
                std::lock_guard lock(m_mutex);
                m_announcing.erase(key);
                m_seen[key] = current(key);
            }
            didChangeValueForKey(key);
        }
    }

    void detach() { m_controller = nullptr; }

private:
    Value current(const String& key) const
    {
        if (!m_controller)
            return {};
        Value value = m_controller->defaults().objectForKey(key);
        if (value.isNil())
            value = m_controller->initialValues().get(key);
        return value;
    }

    UserDefaultsController* m_controller { nullptr };
    mutable std::mutex m_mutex;
    mutable std::map<String, Value> m_seen;
    std::map<String, Value> m_announcing;
};

FND_REGISTER_CLASS(DefaultsValues, Object)

}

void UserDefaultsController::describeClass(ClassBuilder<UserDefaultsController>& c)
{
    c.property("values", &UserDefaultsController::values);
    c.property("initialValues", &UserDefaultsController::initialValues, &UserDefaultsController::setInitialValues);
    c.property("appliesImmediately", &UserDefaultsController::appliesImmediately);
}

UserDefaultsController& UserDefaultsController::sharedUserDefaultsController()
{
    static const std::shared_ptr<UserDefaultsController> shared = std::make_shared<UserDefaultsController>();
    return *shared;
}

UserDefaultsController::UserDefaultsController()
    : UserDefaultsController(
        std::static_pointer_cast<UserDefaults>(UserDefaults::standardUserDefaults().shared_from_this()))
{
}

UserDefaultsController::UserDefaultsController(std::shared_ptr<UserDefaults> defaults, Dictionary initialValues)
    : m_defaults(std::move(defaults))
    , m_initialValues(std::move(initialValues))
    , m_values(std::make_shared<detail::DefaultsValues>(*this))
{
    std::weak_ptr<detail::DefaultsValues> values = m_values;
    m_observer = NotificationCenter::defaultCenter().addObserverForName(
        UserDefaults::DidChangeNotification, m_defaults->selfValue(), [values](const Notification&) {
            if (auto v = values.lock())
                v->defaultsChanged();
        });
}

UserDefaultsController::~UserDefaultsController()
{
    NotificationCenter::defaultCenter().removeObserver(m_observer);
    m_values->detach();
}

void UserDefaultsController::setInitialValues(const Dictionary& values)
{
    m_initialValues = values;
    m_values->defaultsChanged();
}

Value UserDefaultsController::values() const
{
    return m_values->selfValue();
}

}
