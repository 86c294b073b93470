#include "platform/foundation/runtime/Set.h"

#include "platform/foundation/runtime/Value.h"

namespace fnd {

Set::Set(std::initializer_list<Value> members)
{
    for (const Value& v : members)
        add(v);
}

Set::Set(const std::vector<Value>& members)
{
    for (const Value& v : members)
        add(v);
}

std::size_t Set::count() const
{
    return m_members.size();
}

bool Set::isEmpty() const
{
    return m_members.empty();
}

std::vector<Value>::const_iterator Set::begin() const
{
    return m_members.begin();
}

std::vector<Value>::const_iterator Set::end() const
{
    return m_members.end();
}

std::ptrdiff_t Set::positionOf(const Value& value, std::size_t hash) const
{
    auto [first, last] = m_positions.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (m_members[it->second] == value)
            return static_cast<std::ptrdiff_t>(it->second);
    }
    return -1;
}

bool Set::contains(const Value& value) const
{
    return member(value) != nullptr;
}

const Value* Set::member(const Value& value) const
{
    if (value.isNil())
        return nullptr;
    auto position = positionOf(value, value.hash());
    return position < 0 ? nullptr : &m_members[static_cast<std::size_t>(position)];
}

Value Set::anyObject() const
{
    return m_members.empty() ? Value() : m_members.front();
}

bool Set::add(Value value)
{
    if (value.isNil())
        return false;
    auto hash = value.hash();
    if (positionOf(value, hash) >= 0)
        return false;
    m_positions.emplace(hash, m_members.size());
    m_members.push_back(std::move(value));
    return true;
}

bool Set::remove(const Value& value)
{
    if (value.isNil())
        return false;
    auto hash = value.hash();
    auto found = positionOf(value, hash);
    if (found < 0)
        return false;
    auto position = static_cast<std::size_t>(found);
    auto forgetPosition = [this](std::size_t h, std::size_t p) {
        auto [first, last] = m_positions.equal_range(h);
        for (auto it = first; it != last; ++it) {
            if (it->second == p)
                return m_positions.erase(it);
        }
        return m_positions.end();
    };
    forgetPosition(hash, position);
    std::size_t lastPosition = m_members.size() - 1;
    if (position != lastPosition) {
        auto movedHash = m_members[lastPosition].hash();
        forgetPosition(movedHash, lastPosition);
        m_positions.emplace(movedHash, position);
        m_members[position] = std::move(m_members[lastPosition]);
    }
    m_members.pop_back();
    return true;
}

void Set::removeAll()
{
    m_members.clear();
    m_positions.clear();
}

void Set::unionSet(const Set& other)
{
    for (const Value& v : other)
        add(v);
}

void Set::intersectSet(const Set& other)
{
    Set kept;
    for (const Value& v : m_members) {
        if (other.contains(v))
            kept.add(v);
    }
    *this = std::move(kept);
}

void Set::minusSet(const Set& other)
{
    for (const Value& v : other)
        remove(v);
}

Set Set::unioned(const Set& other) const
{
    Set result = *this;
    result.unionSet(other);
    return result;
}

Set Set::intersected(const Set& other) const
{
    Set result = *this;
    result.intersectSet(other);
    return result;
}

Set Set::subtracting(const Set& other) const
{
    Set result = *this;
    result.minusSet(other);
    return result;
}

bool Set::isSubsetOf(const Set& other) const
{
    if (count() > other.count())
        return false;
    for (const Value& v : m_members) {
        if (!other.contains(v))
            return false;
    }
    return true;
}

bool Set::intersectsSet(const Set& other) const
{
    const Set& smaller = count() <= other.count() ? *this : other;
    const Set& larger = &smaller == this ? other : *this;
    for (const Value& v : smaller) {
        if (larger.contains(v))
            return true;
    }
    return false;
}

bool Set::operator==(const Set& other) const
{
    return count() == other.count() && isSubsetOf(other);
}

std::size_t Set::hash() const
{
    // A sum, so the order members were added in does not matter.
    std::size_t sum = 0;
    for (const Value& v : m_members)
        sum += v.hash();
    return sum ^ m_members.size();
}

}
