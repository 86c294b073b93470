#include "platform/text/detail/ParagraphCache.h"

#include "platform/text/ParagraphStyle.h"
#include "platform/text/detail/Shaping.h"

#include <bit>
#include <functional>

namespace txt::detail {

namespace {

std::size_t mixHash(std::size_t seed, std::size_t value)
{
    return seed ^ (value + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2));
}

bool sameStyle(const ParagraphStyle* a, const ParagraphStyle* b)
{
    const ParagraphStyle& x = a ? *a : ParagraphStyle::defaultStyle();
    const ParagraphStyle& y = b ? *b : ParagraphStyle::defaultStyle();
    return &x == &y || x.isEqual(y);
}

}

std::size_t ParagraphProbe::hash() const
{
    if (knownHash)
        return *knownHash;
    std::size_t h = std::hash<std::u16string_view>()(units);
    for (const auto& run : runs) {
        h = mixHash(h, static_cast<std::size_t>(run.length));
        h = mixHash(h, std::hash<const void*>()(run.face));
        h = mixHash(h, std::bit_cast<std::uint64_t>(run.size));
    }
    h = mixHash(h, std::bit_cast<std::uint64_t>(width));
    h = mixHash(h, std::bit_cast<std::uint64_t>(padding));
    knownHash = mixHash(h, mask);
    return *knownHash;
}

bool ParagraphCache::Entry::matches(const ParagraphProbe& probe, std::size_t probeHash) const
{
    return hash == probeHash && width == probe.width && padding == probe.padding && mask == probe.mask
        && units == probe.units && std::equal(runs.begin(), runs.end(), probe.runs.begin(), probe.runs.end())
        && sameStyle(style.get(), probe.style);
}

ParagraphCache& ParagraphCache::forThread()
{
    thread_local ParagraphCache cache;
    return cache;
}

const CachedParagraph* ParagraphCache::find(const ParagraphProbe& probe)
{
    const std::size_t h = probe.hash();
    auto [first, last] = m_byHash.equal_range(h);
    for (auto it = first; it != last; ++it) {
        if (!it->second->matches(probe, h))
            continue;
        // Most recently used to the front.
        m_entries.splice(m_entries.begin(), m_entries, it->second);
        ++m_hits;
        return &m_entries.front().laidOut;
    }
    ++m_misses;
    return nullptr;
}

bool ParagraphCache::admits(const ParagraphProbe& probe)
{
    if (m_seen.admits(probe.hash()))
        return true;
    ++m_misses;
    return false;
}

void ParagraphCache::insert(const ParagraphProbe& probe, CachedParagraph paragraph)
{
    if (probe.units.size() > UnitBudget / 4)
        return;
    // A paragraph laid out again after all its copies went stays out until the next time it is met.
    const std::size_t h = probe.hash();
    m_entries.push_front({ h, std::u16string(probe.units), { probe.runs.begin(), probe.runs.end() },
        probe.style ? probe.style->mutableCopy() : nullptr, probe.width, probe.padding, probe.mask,
        std::move(paragraph) });
    m_byHash.emplace(h, m_entries.begin());
    m_units += probe.units.size() + 1;
    while (m_units > UnitBudget && m_entries.size() > 1) {
        auto oldest = std::prev(m_entries.end());
        auto [first, last] = m_byHash.equal_range(oldest->hash);
        for (auto it = first; it != last; ++it)
            if (it->second == oldest) {
                m_byHash.erase(it);
                break;
            }
        m_units -= oldest->units.size() + 1;
        m_entries.erase(oldest);
    }
}

void ParagraphCache::clear()
{
    m_entries.clear();
    m_byHash.clear();
    m_seen.clear();
    m_units = 0;
}

void forgetThreadLayouts()
{
    if (auto& paragraphs = ParagraphCache::forThread(); paragraphs.count() > 0)
        paragraphs.clear();
    if (shapedRunCount() > 0)
        forgetShapedRuns();
}

}
