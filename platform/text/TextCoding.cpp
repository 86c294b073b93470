#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"

#include <cmath>

namespace txt {

namespace {

// Lengths of a paragraph: points, far beyond a page.
constexpr double TextCodingLargestLength = ParagraphStyle::LargestLength;
constexpr std::size_t TextCodingTabStopLimit = ParagraphStyle::TabStopLimit;

const char* const TextCodingLengthKeys[]
    = { "NSDefaultTabInterval", "NSFirstLineHeadIndent", "NSHeadIndent", "NSTailIndent", "NSParagraphSpacingBefore",
          "NSParagraphSpacing", "NSLineSpacing", "NSMinimumLineHeight", "NSMaximumLineHeight" };

bool textCodingArchivable(const fnd::Value& value)
{
    switch (value.type()) {
    case fnd::Value::Type::Object:
        return dynamic_cast<const fnd::Coding*>(value.object().get()) != nullptr;
    case fnd::Value::Type::Null:
    case fnd::Value::Type::Array:
    case fnd::Value::Type::Dictionary:
        // Collections may hold anything; attributes carry none the text system reads.
        return false;
    default:
        return true;
    }
}

}

void ParagraphStyle::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_alignment), "NSAlignment");
    coder.encodeInt(static_cast<int>(m_lineBreakMode), "NSLineBreakMode");
    fnd::Array tabs;
    for (const auto& tab : m_tabStops)
        tabs.emplace_back(fnd::Array { fnd::Value(static_cast<long long>(tab.type)), fnd::Value(tab.location) });
    coder.encodeObject(fnd::Value(std::move(tabs)), "NSTabStops");
    const double lengths[] = { m_defaultTabInterval, m_firstLineHeadIndent, m_headIndent, m_tailIndent,
        m_paragraphSpacingBefore, m_paragraphSpacing, m_lineSpacing, m_minimumLineHeight, m_maximumLineHeight };
    for (std::size_t i = 0; i < std::size(lengths); ++i)
        coder.encodeDouble(lengths[i], TextCodingLengthKeys[i]);
}

bool ParagraphStyle::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    m_alignment = static_cast<TextAlignment>(
        fnd::decodeBoundedIntegerForKey(coder, "NSAlignment", 0, 4, static_cast<int>(m_alignment)));
    m_lineBreakMode = static_cast<LineBreakMode>(
        fnd::decodeBoundedIntegerForKey(coder, "NSLineBreakMode", 0, 5, static_cast<int>(m_lineBreakMode)));
    fnd::Value tabs = coder.decodeObjectForKey("NSTabStops");
    std::vector<TextTab> stops;
    if (!tabs.isNil() && !coder.hasFailed()) {
        const fnd::Array* list = tabs.array();
        if (!list || list->size() > TextCodingTabStopLimit) {
            fnd::failDecoding(coder, "a paragraph style's tab stops are malformed");
            return false;
        }
        for (const fnd::Value& tab : *list) {
            const fnd::Array* pair = tab.array();
            auto type = pair && pair->size() == 2 ? (*pair)[0].number() : nullptr;
            auto location = pair && pair->size() == 2 ? (*pair)[1].number() : nullptr;
            if (!type || !location || type->integerValue() < 0 || type->integerValue() > 3
                || !std::isfinite(location->doubleValue())
                || std::abs(location->doubleValue()) > TextCodingLargestLength) {
                fnd::failDecoding(coder, "a paragraph style's tab stop is malformed");
                return false;
            }
            stops.push_back({ static_cast<TextTabType>(type->integerValue()), location->doubleValue() });
        }
    }
    double* lengths[] = { &m_defaultTabInterval, &m_firstLineHeadIndent, &m_headIndent, &m_tailIndent,
        &m_paragraphSpacingBefore, &m_paragraphSpacing, &m_lineSpacing, &m_minimumLineHeight, &m_maximumLineHeight };
    for (std::size_t i = 0; i < std::size(lengths); ++i)
        *lengths[i] = fnd::decodeBoundedDoubleForKey(
            coder, TextCodingLengthKeys[i], -TextCodingLargestLength, TextCodingLargestLength, *lengths[i]);
    if (coder.hasFailed())
        return false;
    setTabStops(std::move(stops));
    // The setters keep their own bounds (no negative spacing).
    setDefaultTabInterval(m_defaultTabInterval);
    setFirstLineHeadIndent(m_firstLineHeadIndent);
    setHeadIndent(m_headIndent);
    setParagraphSpacingBefore(m_paragraphSpacingBefore);
    setParagraphSpacing(m_paragraphSpacing);
    setLineSpacing(m_lineSpacing);
    setMinimumLineHeight(m_minimumLineHeight);
    setMaximumLineHeight(m_maximumLineHeight);
    return true;
}

void AttributedString::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(fnd::Value(m_string), "NSString");
    fnd::Array runs;
    for (const auto& run : m_runs) {
        fnd::Dictionary kept;
        for (const auto& [name, value] : run.attributes)
            if (textCodingArchivable(value))
                kept.set(name, value);
        fnd::Dictionary entry;
        entry.set("NSLength", fnd::Value(static_cast<long long>(run.length)));
        entry.set("NSAttributes", fnd::Value(std::move(kept)));
        runs.emplace_back(std::move(entry));
    }
    coder.encodeObject(fnd::Value(std::move(runs)), "NSAttributeRuns");
}

bool AttributedString::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    fnd::String string = fnd::decodeStringForKey(coder, "NSString");
    fnd::Value runs = coder.decodeObjectForKey("NSAttributeRuns");
    if (coder.hasFailed())
        return false;
    setAttributedString(AttributedString(string));
    if (runs.isNil())
        return true;
    const fnd::Array* list = runs.array();
    if (!list || list->size() > std::size_t(string.length()) + 1) {
        fnd::failDecoding(coder, "an attributed string's runs are malformed");
        return false;
    }
    fnd::Index at = 0;
    for (const fnd::Value& run : *list) {
        const fnd::Dictionary* entry = run.dictionary();
        fnd::Value length = entry ? entry->get("NSLength") : fnd::Value();
        fnd::Value attributes = entry ? entry->get("NSAttributes") : fnd::Value();
        if (!length.number() || length.number()->isReal() || !attributes.dictionary() || length.integerValue() < 0
            || length.integerValue() > string.length() - at) {
            fnd::failDecoding(coder, "an attribute run of an attributed string is malformed");
            return false;
        }
        if (length.integerValue() > 0)
            setAttributes(*attributes.dictionary(), { at, static_cast<fnd::Index>(length.integerValue()) });
        at += static_cast<fnd::Index>(length.integerValue());
    }
    return true;
}

}
