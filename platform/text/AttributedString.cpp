#include "platform/text/AttributedString.h"

#include "platform/foundation/runtime/Exception.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

namespace txt {

FND_REGISTER_CLASS(AttributedString, fnd::Object)

namespace {

const Attributes& emptyAttributes()
{
    static const Attributes none;
    return none;
}

}

AttributedString::AttributedString(fnd::String string, Attributes attributes)
    : m_string(std::move(string))
{
    if (m_string.length() > 0)
        m_runs.push_back({ m_string.length(), std::move(attributes) });
}

void AttributedString::checkRange(fnd::Range range, const char* operation) const
{
    if (range.location < 0 || range.length < 0 || range.location > length() || range.length > length() - range.location)
        throw fnd::Exception::range(fmt::format(
            "{}: range {{{}, {}}} out of bounds; string length {}", operation, range.location, range.length, length()));
}

void AttributedString::checkIndex(fnd::Index index, const char* operation) const
{
    if (index < 0 || index >= length())
        throw fnd::Exception::range(
            fmt::format("{}: index {} out of bounds; string length {}", operation, index, length()));
}

std::size_t AttributedString::runAt(fnd::Index index, fnd::Index* runStart) const
{
    // Layout asks for every character's attributes: a text of thousands of runs must not be walked each time.
    if (m_runStarts.size() != m_runs.size() + 1) {
        m_runStarts.clear();
        m_runStarts.reserve(m_runs.size() + 1);
        fnd::Index start = 0;
        for (const auto& run : m_runs) {
            m_runStarts.push_back(start);
            start += run.length;
        }
        m_runStarts.push_back(start);
    }
    // The last run starting at or before index, unless index lies at or beyond the end.
    if (index >= m_runStarts.back()) {
        *runStart = m_runStarts.back();
        return m_runs.size();
    }
    if (index < 0) {
        *runStart = 0;
        return 0;
    }
    auto after = std::upper_bound(m_runStarts.begin(), m_runStarts.end() - 1, index);
    const auto i = static_cast<std::size_t>(after - m_runStarts.begin()) - 1;
    *runStart = m_runStarts[i];
    return i;
}

std::size_t AttributedString::split(fnd::Index index)
{
    fnd::Index start = 0;
    std::size_t i = runAt(index, &start);
    if (i == m_runs.size() || start == index)
        return i;
    Run tail { m_runs[i].length - (index - start), m_runs[i].attributes };
    m_runs[i].length = index - start;
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
    m_runStarts.clear();
    return i + 1;
}

void AttributedString::coalesce(std::size_t from, std::size_t to)
{
    // Runs outside [from, to] were coalesced before the change and did not change: only the runs of the window,
    // and its neighbours at both ends, may now meet equal ones.
    from = from > 0 ? from - 1 : 0;
    to = std::min(to + 1, m_runs.size());
    if (from >= to)
        return;
    std::size_t kept = from;
    for (std::size_t i = from; i < to; ++i) {
        if (m_runs[i].length == 0)
            continue;
        if (kept > from && m_runs[kept - 1].attributes == m_runs[i].attributes) {
            m_runs[kept - 1].length += m_runs[i].length;
            continue;
        }
        if (kept != i)
            m_runs[kept] = std::move(m_runs[i]);
        ++kept;
    }
    // A run before the window that the first kept one now equals.
    if (kept > from && from > 0 && m_runs[from - 1].attributes == m_runs[from].attributes) {
        m_runs[from - 1].length += m_runs[from].length;
        m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(from));
        --kept;
        --to;
    }
    m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(kept), m_runs.begin() + static_cast<std::ptrdiff_t>(to));
    m_runStarts.clear();
}

const Attributes& AttributedString::attributesAtIndex(fnd::Index index, fnd::Range* effectiveRange) const
{
    checkIndex(index, "attributesAtIndex");
    fnd::Index start = 0;
    auto i = runAt(index, &start);
    if (effectiveRange)
        *effectiveRange = { start, m_runs[i].length };
    return m_runs[i].attributes;
}

fnd::Value AttributedString::attributeAtIndex(
    const fnd::String& name, fnd::Index index, fnd::Range* effectiveRange) const
{
    checkIndex(index, "attributeAtIndex");
    fnd::Index start = 0;
    auto i = runAt(index, &start);
    auto value = m_runs[i].attributes.get(name);
    if (effectiveRange) {
        // Neighbouring runs differ in some attribute, maybe not in this one.
        fnd::Index lo = start, hi = start + m_runs[i].length;
        for (auto j = i; j > 0 && m_runs[j - 1].attributes.get(name) == value; --j)
            lo -= m_runs[j - 1].length;
        for (auto j = i + 1; j < m_runs.size() && m_runs[j].attributes.get(name) == value; ++j)
            hi += m_runs[j].length;
        *effectiveRange = { lo, hi - lo };
    }
    return value;
}

const Attributes& AttributedString::attributesAtIndexLongestEffectiveRange(
    fnd::Index index, fnd::Range* longestRange, fnd::Range rangeLimit) const
{
    fnd::Range effective;
    const auto& attributes = attributesAtIndex(index, &effective);
    if (longestRange)
        *longestRange = intersection(effective, rangeLimit);
    return attributes;
}

fnd::Value AttributedString::attributeAtIndexLongestEffectiveRange(
    const fnd::String& name, fnd::Index index, fnd::Range* longestRange, fnd::Range rangeLimit) const
{
    checkIndex(index, "attributeAtIndexLongestEffectiveRange");
    fnd::Index start = 0;
    auto i = runAt(index, &start);
    auto value = m_runs[i].attributes.get(name);
    if (longestRange) {
        // The walk stops at the limit: most runs share an absent attribute (no link), and a caller going run by run
        // through a part of a long text would otherwise walk the whole text at every step.
        fnd::Index lo = start, hi = start + m_runs[i].length;
        for (auto j = i; j > 0 && lo > rangeLimit.location && m_runs[j - 1].attributes.get(name) == value; --j)
            lo -= m_runs[j - 1].length;
        for (auto j = i + 1; j < m_runs.size() && hi < rangeLimit.max() && m_runs[j].attributes.get(name) == value; ++j)
            hi += m_runs[j].length;
        *longestRange = intersection({ lo, hi - lo }, rangeLimit);
    }
    return value;
}

AttributedString AttributedString::attributedSubstringFromRange(fnd::Range range) const
{
    checkRange(range, "attributedSubstringFromRange");
    AttributedString result;
    result.m_string = m_string.substring(range);
    fnd::Index start = 0;
    for (const auto& run : m_runs) {
        auto part = intersection({ start, run.length }, range);
        if (part.length > 0)
            result.m_runs.push_back({ part.length, run.attributes });
        start += run.length;
    }
    return result;
}

void AttributedString::replaceCharactersInRange(fnd::Range range, const fnd::String& string)
{
    checkRange(range, "replaceCharactersInRange");
    const Attributes* inherited = &emptyAttributes();
    if (length() > 0) {
        fnd::Index at = range.length > 0 || range.location == 0 ? range.location : range.location - 1;
        if (at >= length())
            at = length() - 1;
        inherited = &attributesAtIndex(at);
    }
    replaceCharactersInRange(range, AttributedString(string, *inherited));
}

void AttributedString::replaceCharactersInRange(fnd::Range range, const AttributedString& text)
{
    checkRange(range, "replaceCharactersInRange");
    // Copied only when it is this very string: the drawing text system takes every label drawn this way.
    std::optional<AttributedString> copy;
    if (&text == this)
        copy.emplace(text);
    const AttributedString& inserted = copy ? *copy : text;
    auto first = split(range.location);
    auto last = split(range.max());
    m_runs.erase(
        m_runs.begin() + static_cast<std::ptrdiff_t>(first), m_runs.begin() + static_cast<std::ptrdiff_t>(last));
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(first), inserted.m_runs.begin(), inserted.m_runs.end());
    m_runStarts.clear();
    m_string.replaceCharacters(range, inserted.m_string);
    coalesce(first, first + inserted.m_runs.size());
    unsigned mask = TextStorageEdited::Characters | (inserted.length() > 0 ? TextStorageEdited::Attributes : 0);
    edited(mask, { range.location, inserted.length() }, inserted.length() - range.length);
}

template <typename F> void AttributedString::modifyRuns(fnd::Range range, F&& change)
{
    if (range.length == 0)
        return;
    auto first = split(range.location);
    auto last = split(range.max());
    for (auto i = first; i < last; ++i)
        change(m_runs[i].attributes);
    coalesce(first, last);
    edited(TextStorageEdited::Attributes, range, 0);
}

void AttributedString::setAttributes(const Attributes& attributes, fnd::Range range)
{
    checkRange(range, "setAttributes");
    modifyRuns(range, [&](Attributes& a) { a = attributes; });
}

void AttributedString::addAttribute(const fnd::String& name, const fnd::Value& value, fnd::Range range)
{
    checkRange(range, "addAttribute");
    if (value.isNil())
        throw fnd::Exception::invalidArgument(fmt::format("addAttribute: nil value for {}", name.utf8()));
    modifyRuns(range, [&](Attributes& a) { a.set(name, value); });
}

void AttributedString::addAttributes(const Attributes& attributes, fnd::Range range)
{
    checkRange(range, "addAttributes");
    modifyRuns(range, [&](Attributes& a) {
        for (const auto& [name, value] : attributes)
            a.set(name, value);
    });
}

void AttributedString::removeAttribute(const fnd::String& name, fnd::Range range)
{
    checkRange(range, "removeAttribute");
    modifyRuns(range, [&](Attributes& a) { a.remove(name); });
}

void AttributedString::insertAttributedString(const AttributedString& text, fnd::Index index)
{
    replaceCharactersInRange({ index, 0 }, text);
}

void AttributedString::appendAttributedString(const AttributedString& text)
{
    replaceCharactersInRange({ length(), 0 }, text);
}

void AttributedString::deleteCharactersInRange(fnd::Range range)
{
    replaceCharactersInRange(range, AttributedString());
}

void AttributedString::setAttributedString(const AttributedString& text)
{
    replaceCharactersInRange({ 0, length() }, text);
}

bool AttributedString::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const AttributedString*>(&other);
    if (!o || m_string != o->m_string || m_runs.size() != o->m_runs.size())
        return false;
    for (std::size_t i = 0; i < m_runs.size(); ++i)
        if (m_runs[i].length != o->m_runs[i].length || !(m_runs[i].attributes == o->m_runs[i].attributes))
            return false;
    return true;
}

fnd::String AttributedString::description() const
{
    std::string text;
    fnd::Index start = 0;
    for (const auto& run : m_runs) {
        text += m_string.substring({ start, run.length }).utf8();
        text += "{";
        for (const auto& [name, value] : run.attributes)
            text += fmt::format("{} = {}; ", name.utf8(), value.description().utf8());
        text += "}";
        start += run.length;
    }
    return fnd::String(text);
}

}
