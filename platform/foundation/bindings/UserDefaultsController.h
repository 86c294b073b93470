#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/files/UserDefaults.h"

#include <memory>

namespace fnd {

namespace detail {
class DefaultsValues;
}

// The user defaults as something views bind to: "values.<key>" reads a default (or, when the defaults have no
// value for the key, the controller's initial value) and writes it at once. Every change of the defaults, whoever
// made it, reaches the bound views.
class UserDefaultsController : public Object {
    FND_OBJECT(UserDefaultsController)
    static void describeClass(ClassBuilder<UserDefaultsController>& c);

public:
    // Over the standard user defaults.
    static UserDefaultsController& sharedUserDefaultsController();

    UserDefaultsController();
    explicit UserDefaultsController(std::shared_ptr<UserDefaults> defaults, Dictionary initialValues = {});
    ~UserDefaultsController() override;

    UserDefaults& defaults() const { return *m_defaults; }
    const Dictionary& initialValues() const { return m_initialValues; }
    void setInitialValues(const Dictionary& values);
    // Changes go to the defaults as they are made; there is nothing to save or revert.
    bool appliesImmediately() const { return true; }

    // The object behind "values": key-value coding by defaults key.
    Value values() const;

private:
    std::shared_ptr<UserDefaults> m_defaults;
    Dictionary m_initialValues;
    std::shared_ptr<detail::DefaultsValues> m_values;
    NotificationObserverToken m_observer;
};

}
