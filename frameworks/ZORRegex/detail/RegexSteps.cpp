#include "frameworks/ZORRegex/detail/RegexSteps.h"

namespace ZRXRegexCore {

void findRanges(Matcher& matcher, int op, FindAll& findAll, UErrorCode& status)
{
    const bool splitting = op == SplitOp;
    const fnd::Range range = findAll.findInRange;
    fnd::Range searchRange = range;
    fnd::Index previousEnd = range.location;
    std::size_t keptPieces = 0;
    bool matched = false;
    // An empty match at the end leaves nothing to search.
    bool exhausted = false;
    while (!exhausted && findAll.found < findAll.findUpTo) {
        if (!search(matcher, searchRange, true, status))
            break;
        const fnd::Range match = matcher.lastMatchRange;
        exhausted = match.length == 0 && match.location == range.max();
        // An empty match where the last one ended separates nothing.
        if (splitting && match.length == 0 && match.location == previousEnd)
            continue;
        matched = true;
        if (splitting) {
            findAll.ranges.push_back({ previousEnd, match.location - previousEnd });
            bool emptyPiece = match.location == previousEnd;
            for (fnd::Index group = 1; group <= matcher.captureCount; ++group)
                findAll.ranges.push_back(groupRange(matcher, group, status));
            previousEnd = match.max();
            if (!emptyPiece)
                keptPieces = findAll.ranges.size();
        } else if (op == ArrayOfStringsOp) {
            findAll.ranges.push_back(groupRange(matcher, findAll.capture, status));
        } else {
            for (fnd::Index group = 0; group <= matcher.captureCount; ++group)
                findAll.ranges.push_back(groupRange(matcher, group, status));
        }
        ++findAll.found;
        if (U_FAILURE(status))
            return;
    }
    if (U_FAILURE(status) || !splitting)
        return;
    if (previousEnd < range.max()) {
        findAll.ranges.push_back({ previousEnd, range.max() - previousEnd });
        ++findAll.addedSplitRanges;
    } else if (matched) {
        findAll.ranges.resize(keptPieces);
    }
}

namespace {

fnd::String stringFor(fnd::Range range, const fnd::String& subject)
{
    if (range.location == fnd::NotFound || range.length == 0)
        return {};
    return subject.substring(range);
}

}

fnd::StringArray makeStrings(std::span<const fnd::Range> ranges, const fnd::String& subject)
{
    fnd::StringArray strings;
    strings.reserve(ranges.size());
    for (auto range : ranges)
        strings.push_back(stringFor(range, subject));
    return strings;
}

std::vector<fnd::StringArray> makeGroups(
    std::span<const fnd::Range> ranges, std::size_t groupSize, const fnd::String& subject)
{
    std::vector<fnd::StringArray> groups;
    for (std::size_t start = 0; start + groupSize <= ranges.size(); start += groupSize)
        groups.push_back(makeStrings(ranges.subspan(start, groupSize), subject));
    return groups;
}

std::vector<fnd::Dictionary> makeDictionaries(std::span<const fnd::Range> ranges, std::size_t groupSize,
    const fnd::String& subject, std::span<const fnd::String> keys, std::span<const std::int32_t> captures)
{
    std::vector<fnd::Dictionary> dictionaries;
    for (std::size_t start = 0; start + groupSize <= ranges.size(); start += groupSize) {
        fnd::Dictionary dictionary;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            auto range = ranges[start + static_cast<std::size_t>(captures[i])];
            if (range.location != fnd::NotFound)
                dictionary.set(keys[i], stringFor(range, subject));
        }
        dictionaries.push_back(std::move(dictionary));
    }
    return dictionaries;
}

namespace {

struct ReplaceRun {
    std::u16string output;
    fnd::Index count { 0 };
    // The length the whole output needs; more than the capacity when it overflowed.
    std::int64_t needed { 0 };
    bool overflowed { false };
};

// Every match replaced into an output of the capacity; past the capacity only the needed length is counted.
ReplaceRun replaceAll(Matcher& matcher, const fnd::String& replacement, std::int32_t capacity, UErrorCode& status)
{
    ReplaceRun run;
    matcher.lastFindRange = fnd::Range::notFound();
    matcher.lastMatchRange = fnd::Range::notFound();
    uregex_reset(matcher.icu, 0, &status);
    // An empty text has no index 0 to reset to, and nothing to replace.
    if (status == U_INDEX_OUTOFBOUNDS_ERROR && matcher.setToRange.length == 0)
        status = U_ZERO_ERROR;
    if (U_FAILURE(status))
        return run;
    run.output.assign(static_cast<std::size_t>(capacity), u'\0');
    UChar* destination = reinterpret_cast<UChar*>(run.output.data());
    std::int32_t room = capacity;
    const auto* text = reinterpret_cast<const UChar*>(replacement.units().data());
    const auto textLength = static_cast<std::int32_t>(replacement.length());
    auto noteOverflow = [&] {
        if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
            run.overflowed = run.overflowed || status == U_BUFFER_OVERFLOW_ERROR;
            status = U_ZERO_ERROR;
        }
    };
    while (uregex_findNext(matcher.icu, &status) && U_SUCCESS(status)) {
        run.needed += uregex_appendReplacement(matcher.icu, text, textLength, &destination, &room, &status);
        ++run.count;
        noteOverflow();
        if (U_FAILURE(status))
            return run;
    }
    if (U_FAILURE(status))
        return run;
    run.needed += uregex_appendTail(matcher.icu, &destination, &room, &status);
    noteOverflow();
    if (run.needed > capacity)
        run.overflowed = true;
    if (!run.overflowed)
        run.output.resize(static_cast<std::size_t>(run.needed));
    return run;
}

}

std::optional<fnd::String> replaceString(Matcher& matcher, const fnd::String& replacement, const fnd::String& subject,
    fnd::Range range, fnd::Index& replacedCount, UErrorCode& status, Pending& pending)
{
    replacedCount = -1;
    const std::int64_t subjectLength = range.length;
    const std::int64_t replacementLength = replacement.length();
    if (replacementLength > IntMax - 1 || subjectLength / 2 + 2 * replacementLength >= IntMax) {
        pending.exception = fnd::Exception::range("Replacement string length exceeds INT_MAX.");
        return std::nullopt;
    }
    auto capacity = replacementLength * 2 + subjectLength / 2 + subjectLength + 16;
    auto run
        = replaceAll(matcher, replacement, static_cast<std::int32_t>(std::min<std::int64_t>(capacity, IntMax)), status);
    if (U_FAILURE(status))
        return std::nullopt;
    if (run.overflowed) {
        if (run.needed + 4 >= IntMax) {
            pending.exception = fnd::Exception::internalInconsistency("Replaced string length exceeds INT_MAX.");
            return std::nullopt;
        }
        run = replaceAll(matcher, replacement, static_cast<std::int32_t>(run.needed + 8), status);
        if (U_FAILURE(status) || run.overflowed)
            return std::nullopt;
    }
    replacedCount = run.count;
    if (run.count == 0 && range.length == subject.length())
        return subject;
    if (run.output.empty())
        return fnd::String();
    return fnd::String(std::move(run.output));
}

}
