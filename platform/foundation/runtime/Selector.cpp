#include "platform/foundation/runtime/Selector.h"

#include <mutex>
#include <unordered_set>

namespace fnd {

Selector::Selector(const String& name)
{
    static std::mutex mutex;
    static std::unordered_set<String> names; // nodes are stable, so pointers to them stay valid
    std::lock_guard lock(mutex);
    m_name = &*names.insert(name).first;
}

const String& Selector::name() const
{
    static const String empty;
    return m_name ? *m_name : empty;
}

}
