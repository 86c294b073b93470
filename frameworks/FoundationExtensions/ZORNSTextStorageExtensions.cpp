#include "frameworks/FoundationExtensions/ZORNSTextStorageExtensions.h"

#include "frameworks/FoundationExtensions/detail/Elements.h"

namespace ZORNSTextStorageExtensions {

fnd::Range longestRangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute,
    const fnd::Value& object, std::uint32_t startAtIndex)
{
    const fnd::Range all { 0, text.length() };
    for (fnd::Index i = startAtIndex; i < text.length();) {
        fnd::Range run;
        auto value = text.attributeAtIndexLongestEffectiveRange(attribute, i, &run, all);
        if (ZORElements::isIdentical(value, object))
            return run;
        i = run.max();
    }
    return fnd::Range::notFound();
}

fnd::Range rangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute, const fnd::Value& object,
    std::uint32_t startAtIndex)
{
    for (fnd::Index i = startAtIndex; i < text.length();) {
        // The run of all attributes: any other attribute that changes ends it.
        fnd::Range run;
        auto value = text.attributesAtIndex(i, &run).get(attribute);
        if (ZORElements::isIdentical(value, object))
            return run;
        i = run.max();
    }
    return fnd::Range::notFound();
}

fnd::Range rangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute, fnd::Range inRange)
{
    const fnd::Index end = std::min(inRange.max(), text.length());
    for (fnd::Index i = inRange.location; i < end;) {
        fnd::Range run;
        auto value = text.attributeAtIndex(attribute, i, &run);
        if (!value.isNil()) {
            auto cut = fnd::intersection(run, inRange);
            return cut.length > 0 ? cut : fnd::Range::notFound();
        }
        i = run.max();
    }
    return fnd::Range::notFound();
}

}
