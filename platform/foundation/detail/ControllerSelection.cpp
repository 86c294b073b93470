#include "platform/foundation/detail/ControllerSelection.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/detail/KeyPath.h"

namespace fnd::detail {

FND_REGISTER_CLASS(ControllerSelection, Object)

ControllerSelection::~ControllerSelection()
{
    stopFollowing();
}

Value ControllerSelection::valueForKeyPath(const String& keyPath) const
{
    if (!m_controller)
        return noSelectionMarker();
    auto objects = m_controller->selectedObjects();
    if (objects.empty())
        return noSelectionMarker();
    follow(splitFirstKey(keyPath).first);
    Value common;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        Value value;
        try {
            value = fnd::valueForKeyPath(objects[i], keyPath);
        } catch (const Exception&) {
            // A key the object does not have.
            return notApplicableMarker();
        }
        if (i == 0)
            common = std::move(value);
        else if (!(value == common))
            return multipleValuesMarker();
    }
    return common;
}

void ControllerSelection::setValueForKeyPath(const Value& value, const String& keyPath)
{
    // A marker is never a value to store: a view showing one has nothing of its own to write.
    if (m_controller && !isSelectionMarker(value))
        m_controller->setValueForKeyPathOfSelection(value, keyPath);
}

std::vector<String> ControllerSelection::keyPathsForValuesAffectingValueForKey(const String& key) const
{
    follow(key);
    return {};
}

String ControllerSelection::description() const
{
    return "<selection proxy>";
}

void ControllerSelection::follow(const String& key) const
{
    if (!m_controller || key.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (!m_keys.insert(key).second)
            return;
    }
    auto objects = m_controller->selectedObjects();
    auto self = const_cast<ControllerSelection*>(this);
    WeakObjectRef me(*this);
    for (const auto& element : objects) {
        auto object = element.object();
        if (!object)
            continue;
        auto registration
            = observe(*object, key, KeyValueObservingOptions::Prior, [me, key](Object&, const KeyValueChange& change) {
                  auto proxy = me.lock();
                  if (!proxy)
                      return;
                  if (change.isPrior)
                      proxy->willChangeValueForKey(key);
                  else
                      proxy->didChangeValueForKey(key);
              });
        std::lock_guard lock(m_mutex);
        self->m_followed.push_back({ WeakObjectRef(*object), std::move(registration) });
    }
}

void ControllerSelection::stopFollowing()
{
    std::vector<Followed> followed;
    {
        std::lock_guard lock(m_mutex);
        followed.swap(m_followed);
    }
    for (const auto& f : followed)
        stopObserving(f.object, f.registration);
}

void ControllerSelection::selectionChanged()
{
    stopFollowing();
    std::set<String> keys;
    {
        std::lock_guard lock(m_mutex);
        keys.swap(m_keys);
    }
    for (const auto& key : keys)
        follow(key);
}

void ControllerSelection::detach()
{
    stopFollowing();
    m_controller = nullptr;
}

}
