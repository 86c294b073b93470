#include "platform/foundation/runtime/IndexSet.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Exception.h"

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(IndexSet, Object)

namespace {

// The largest index a set may hold: one below NotFound, so that lastIndex never collides with it.
constexpr Index LastValidIndex = NotFound - 1;

void checkRange(Range range)
{
    if (range.location < 0 || range.length < 0 || range.location > LastValidIndex
        || range.length > LastValidIndex - range.location + 1)
        throw Exception::range(String(fmt::format(
            "Index range {{{}, {}}} is outside the indexes an index set can hold.", range.location, range.length)));
}

}

IndexSet::IndexSet(std::initializer_list<Index> indexes)
{
    for (Index i : indexes)
        add(i);
}

void IndexSet::add(Range range)
{
    checkRange(range);
    if (range.isEmpty())
        return;
    // The first range that ends at or after the new start touches or follows it; merge every range it reaches.
    auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), range.location,
        [](const Range& r, Index location) { return r.max() < location; });
    auto last = first;
    Index lo = range.location;
    Index hi = range.max();
    while (last != m_ranges.end() && last->location <= hi) {
        lo = std::min(lo, last->location);
        hi = std::max(hi, last->max());
        ++last;
    }
    first = m_ranges.erase(first, last);
    m_ranges.insert(first, Range { lo, hi - lo });
}

void IndexSet::add(const IndexSet& other)
{
    for (const auto& r : other.m_ranges)
        add(r);
}

void IndexSet::remove(Range range)
{
    checkRange(range);
    if (range.isEmpty())
        return;
    std::vector<Range> kept;
    kept.reserve(m_ranges.size() + 1);
    for (const auto& r : m_ranges) {
        if (r.max() <= range.location || r.location >= range.max()) {
            kept.push_back(r);
            continue;
        }
        if (r.location < range.location)
            kept.push_back({ r.location, range.location - r.location });
        if (r.max() > range.max())
            kept.push_back({ range.max(), r.max() - range.max() });
    }
    m_ranges = std::move(kept);
}

void IndexSet::remove(const IndexSet& other)
{
    for (const auto& r : other.m_ranges)
        remove(r);
}

bool IndexSet::contains(Index index) const
{
    auto it = std::upper_bound(
        m_ranges.begin(), m_ranges.end(), index, [](Index i, const Range& r) { return i < r.location; });
    return it != m_ranges.begin() && std::prev(it)->contains(index);
}

bool IndexSet::contains(Range range) const
{
    if (range.isEmpty())
        return true;
    auto it = std::upper_bound(
        m_ranges.begin(), m_ranges.end(), range.location, [](Index i, const Range& r) { return i < r.location; });
    if (it == m_ranges.begin())
        return false;
    const Range& r = *std::prev(it);
    return r.location <= range.location && r.max() >= range.max();
}

bool IndexSet::contains(const IndexSet& other) const
{
    return std::all_of(other.m_ranges.begin(), other.m_ranges.end(), [&](const Range& r) { return contains(r); });
}

bool IndexSet::intersects(Range range) const
{
    return std::any_of(m_ranges.begin(), m_ranges.end(),
        [&](const Range& r) { return r.location < range.max() && range.location < r.max(); });
}

Index IndexSet::count() const
{
    Index n = 0;
    for (const auto& r : m_ranges)
        n += r.length;
    return n;
}

void IndexSet::enumerate(const std::function<void(Index, bool&)>& body) const
{
    bool stop = false;
    for (const auto& r : m_ranges) {
        for (Index i = r.location; i < r.max(); ++i) {
            body(i, stop);
            if (stop)
                return;
        }
    }
}

std::vector<Index> IndexSet::indexes() const
{
    std::vector<Index> all;
    enumerate([&](Index i, bool&) { all.push_back(i); });
    return all;
}

bool IndexSet::isEqual(const Object& other) const
{
    auto* set = dynamic_cast<const IndexSet*>(&other);
    return set && *set == *this;
}

std::size_t IndexSet::hash() const
{
    return static_cast<std::size_t>(count());
}

String IndexSet::description() const
{
    if (m_ranges.empty())
        return "(no indexes)";
    std::string items;
    for (const auto& r : m_ranges) {
        if (!items.empty())
            items += ' ';
        items += r.length == 1 ? fmt::format("{}", r.location) : fmt::format("{}-{}", r.location, r.max() - 1);
    }
    return String(
        fmt::format("[number of indexes: {} (in {} ranges), indexes: ({})]", count(), m_ranges.size(), items));
}

}

namespace fnd {

namespace {

// Indexes an archive may hold: far past any list a program shows, and far from overflowing a range's end.
constexpr Index IndexSetArchivedLimit = Index(1) << 48;
constexpr std::size_t IndexSetArchivedRangeLimit = std::size_t(1) << 20;

bool indexSetArchivedRangeIsSound(Range range)
{
    return range.location >= 0 && range.length > 0 && range.location < IndexSetArchivedLimit
        && range.length <= IndexSetArchivedLimit - range.location;
}

}

void IndexSet::encodeWithCoder(Coder& coder) const
{
    if (coder.allowsKeyedCoding()) {
        Array ranges;
        for (const auto& range : m_ranges)
            ranges.emplace_back(range);
        coder.encodeObject(Value(std::move(ranges)), "NSRanges");
        return;
    }
    coder.encodeValueOfObjCType('q', Number(static_cast<long long>(m_ranges.size())));
    for (const auto& range : m_ranges) {
        coder.encodeValueOfObjCType('q', Number(static_cast<long long>(range.location)));
        coder.encodeValueOfObjCType('q', Number(static_cast<long long>(range.length)));
    }
}

bool IndexSet::initWithCoder(Coder& coder)
{
    m_ranges.clear();
    auto refuse = [&] {
        failDecoding(coder, "an index set holds a range outside the indexes a set can have");
        m_ranges.clear();
        return false;
    };
    if (coder.allowsKeyedCoding()) {
        Value value = coder.decodeObjectForKey("NSRanges");
        if (coder.hasFailed())
            return false;
        if (value.isNil())
            return true;
        const Array* ranges = value.array();
        if (!ranges || ranges->size() > IndexSetArchivedRangeLimit)
            return refuse();
        for (const Value& element : *ranges) {
            auto range = element.range();
            if (!range || !indexSetArchivedRangeIsSound(*range))
                return refuse();
            add(*range);
        }
        return true;
    }
    auto count = coder.decodeValueOfObjCType('q').integerValue();
    if (count < 0 || std::uint64_t(count) > IndexSetArchivedRangeLimit)
        return refuse();
    for (long long i = 0; i < count && !coder.hasFailed(); ++i) {
        Range range { static_cast<Index>(coder.decodeValueOfObjCType('q').integerValue()),
            static_cast<Index>(coder.decodeValueOfObjCType('q').integerValue()) };
        if (!indexSetArchivedRangeIsSound(range))
            return refuse();
        add(range);
    }
    return !coder.hasFailed();
}

}
