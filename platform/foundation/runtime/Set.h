#pragma once

#include <cstddef>
#include <initializer_list>
#include <unordered_map>
#include <vector>

namespace fnd {

class Value;

// An unordered collection of distinct values, as the platform's sets are: two values are the same member when they
// compare equal (numbers across kinds, objects by isEqual). A value type like Array and Dictionary.
//
// Members are traversed in the order they were added, except that removing a member moves the last one into its
// place; callers must not rely on any order. Nil is never a member.
class Set {
public:
    Set() = default;
    Set(std::initializer_list<Value> members);
    explicit Set(const std::vector<Value>& members);

    // Defined out of line, as is everything touching the members: Value is incomplete here, and a compiler may
    // instantiate the vector's constexpr members where they are first named.
    std::size_t count() const;
    bool isEmpty() const;
    bool contains(const Value& value) const;
    // The member equal to `value`, or nullptr.
    const Value* member(const Value& value) const;
    // Some member, or nil when empty.
    Value anyObject() const;
    const std::vector<Value>& allObjects() const { return m_members; }

    // False when the value is nil or an equal member is already present (the present one is kept).
    bool add(Value value);
    // False when no equal member was present.
    bool remove(const Value& value);
    void removeAll();

    void unionSet(const Set& other);
    void intersectSet(const Set& other);
    void minusSet(const Set& other);
    Set unioned(const Set& other) const;
    Set intersected(const Set& other) const;
    Set subtracting(const Set& other) const;

    bool isSubsetOf(const Set& other) const;
    bool intersectsSet(const Set& other) const;

    std::vector<Value>::const_iterator begin() const;
    std::vector<Value>::const_iterator end() const;

    // Same count and every member of one equal to a member of the other.
    bool operator==(const Set& other) const;
    // Independent of the order members were added in.
    std::size_t hash() const;

private:
    std::ptrdiff_t positionOf(const Value& value, std::size_t hash) const;

    std::vector<Value> m_members;
    // Value hash -> position in m_members.
    std::unordered_multimap<std::size_t, std::size_t> m_positions;
};

}
