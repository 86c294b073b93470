// Enumeration of matches and pieces with blocks, and replacement by block results. The search runs on a private
// clone of the compiled pattern and a private copy of the subject, with no lock held, so blocks may use the regex
// operations themselves and may change the caller's string.

#include "frameworks/ZORRegex/detail/RegexCore.h"
#include "frameworks/ZORRegex/detail/RegexSteps.h"

#include <mutex>

namespace ZORRegexAdditions {

using namespace ZRXRegexCore;

namespace {

enum class BlockOp { Match, Replace };

// The private copies one enumeration works on.
class ZRXBlockEnumerationHelper {
public:
    // nullptr when the pattern does not compile (the error says why) or ICU fails (pending exception).
    static std::unique_ptr<ZRXBlockEnumerationHelper> create(const fnd::String& regex, ZRXRegexOptions options,
        const fnd::String& subject, fnd::Range range, fnd::Error* error, Pending& pending)
    {
        auto helper = std::make_unique<ZRXBlockEnumerationHelper>(regex, subject);
        UErrorCode status = U_ZERO_ERROR;
        {
            std::lock_guard lock(cacheLock());
            auto* line = getCachedRegex(regex, &regex, options, error, pending);
            if (!line)
                return nullptr;
            helper->m_regex.reset(uregex_clone(line->icuRegex.get(), &status));
            helper->m_matcher.captureCount = line->matcher.captureCount;
        }
        helper->m_matcher.icu = helper->m_regex.get();
        if (U_SUCCESS(status))
            setMatcherText(helper->m_matcher, helper->m_subject.units().data(), range, status);
        if (U_FAILURE(status)) {
            pending.exception = exceptionForICUError(regex, options, status);
            if (error)
                *error = makeError(status,
                    errorUserInfo(&helper->m_regexString, options, status, {},
                        { { fnd::ErrorKey::LocalizedDescription, "The ICU library returned an unexpected error." } }));
            return nullptr;
        }
        return helper;
    }

    ZRXBlockEnumerationHelper(const fnd::String& regex, const fnd::String& subject)
        : m_regexString(regex)
        , m_subject(subject)
    {
    }

    Matcher& matcher() { return m_matcher; }
    const fnd::String& subject() const { return m_subject; }
    const fnd::String& regexString() const { return m_regexString; }

private:
    fnd::String m_regexString;
    ICURegex m_regex;
    Matcher m_matcher;
    fnd::String m_subject;
};

struct Enumeration {
    bool errorFree { false };
    fnd::Index count { -1 };
    fnd::String replaced;
};

// Refills a reused string in place, keeping its storage.
void refill(fnd::String& string, std::u16string_view characters)
{
    string.deleteCharacters({ 0, string.length() });
    for (char16_t c : characters)
        string.append(c);
}

Enumeration performEnumeration(const Caller& caller, int regexOp, const fnd::String& regex, ZRXRegexOptions options,
    const fnd::String& subject, fnd::Range range, BlockOp blockOp, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& matchBlock, const ZRXReplacementBlock& replacementBlock, fnd::Error* error)
{
    constexpr ZRXRegexEnumerationOptions Valid = 0xE00;
    if ((enumerationOptions & ZRXRegexEnumerationCapturedStringsNotRequired
            && enumerationOptions & ZRXRegexEnumerationReuseCapturedStrings)
        || (enumerationOptions & ~Valid)
        || (blockOp == BlockOp::Match && enumerationOptions & ZRXRegexEnumerationReleaseReplacementString))
        throw invalidArgument(caller, "The ZRXRegexEnumerationOptions argument is not valid.");
    if (range.length == fnd::NotFound)
        range.length = subject.length();
    if (range.location < 0 || range.length < 0 || range.location > subject.length()
        || range.length > subject.length() - range.location)
        throw rangeException(caller, "Range or index out of bounds.");
    if (subject.length() >= IntMax)
        throw rangeException(caller, "String length exceeds INT_MAX.");

    Enumeration result;
    Pending pending;
    auto helper = ZRXBlockEnumerationHelper::create(regex, options, subject, range, error, pending);
    if (!helper) {
        raisePending(caller, pending);
        return result;
    }
    auto& matcher = helper->matcher();
    const auto& text = helper->subject();
    const auto entryCount = static_cast<std::size_t>(matcher.captureCount + 1);
    const bool wantsStrings = !(enumerationOptions & ZRXRegexEnumerationCapturedStringsNotRequired);
    const bool reuses = enumerationOptions & ZRXRegexEnumerationReuseCapturedStrings;
    std::vector<fnd::String> strings(entryCount);
    std::u16string output;

    bool stop = false;
    fnd::Index calls = 0;
    auto call = [&](std::span<const fnd::Range> ranges) {
        if (wantsStrings) {
            for (std::size_t i = 0; i < ranges.size(); ++i) {
                auto r = ranges[i];
                bool none = r.location == fnd::NotFound || r.length == 0;
                if (reuses)
                    refill(strings[i], none ? std::u16string_view() : text.view().substr(r.location, r.length));
                else
                    strings[i] = none ? fnd::String() : text.substring(r);
            }
        }
        std::span<const fnd::String> shown = wantsStrings ? std::span<const fnd::String>(strings.data(), ranges.size())
                                                          : std::span<const fnd::String>();
        ++calls;
        if (blockOp == BlockOp::Match) {
            matchBlock(shown, ranges, stop);
        } else if (auto replacement = replacementBlock(shown, ranges, stop)) {
            output += replacement->view();
        }
    };

    UErrorCode status = U_ZERO_ERROR;
    fnd::Range searchRange = range;
    fnd::Index previousEnd = range.location;
    std::vector<fnd::Range> entries;
    // Empty pieces wait until a later piece shows they are not trailing ones.
    std::vector<std::vector<fnd::Range>> waitingPieces;
    auto flushWaiting = [&] {
        for (const auto& piece : waitingPieces) {
            if (stop)
                break;
            call(piece);
        }
        waitingPieces.clear();
    };
    // An empty match at the end leaves nothing to search.
    bool exhausted = false;
    while (!stop && !exhausted && search(matcher, searchRange, true, status)) {
        const fnd::Range match = matcher.lastMatchRange;
        exhausted = match.length == 0 && match.location == range.max();
        entries.clear();
        if (regexOp == SplitOp) {
            if (match.length == 0 && match.location == previousEnd)
                continue;
            entries.push_back({ previousEnd, match.location - previousEnd });
            for (fnd::Index group = 1; group <= matcher.captureCount; ++group)
                entries.push_back(groupRange(matcher, group, status));
            const bool empty = match.location == previousEnd;
            previousEnd = match.max();
            if (empty) {
                waitingPieces.push_back(entries);
                continue;
            }
            flushWaiting();
            if (!stop)
                call(entries);
        } else {
            for (fnd::Index group = 0; group <= matcher.captureCount; ++group)
                entries.push_back(groupRange(matcher, group, status));
            if (blockOp == BlockOp::Replace)
                output += text.view().substr(previousEnd, match.location - previousEnd);
            previousEnd = match.max();
            call(entries);
        }
        if (U_FAILURE(status))
            break;
    }
    if (U_SUCCESS(status) && !stop && regexOp == SplitOp && previousEnd < range.max()) {
        flushWaiting();
        fnd::Range trailing { previousEnd, range.max() - previousEnd };
        if (!stop)
            call(std::span<const fnd::Range>(&trailing, 1));
    }
    if (U_FAILURE(status)) {
        pending.exception = exceptionForICUError(regex, options, status);
        helper.reset();
        raisePending(caller, pending);
    }

    if (blockOp == BlockOp::Replace) {
        if (calls == 0) {
            result.replaced = text.substring(range);
        } else {
            output += text.view().substr(previousEnd, range.max() - previousEnd);
            result.replaced = fnd::String(std::move(output));
        }
    }
    result.count = calls;
    result.errorFree = true;
    return result;
}

fnd::Expected<void> enumerate(const Caller& caller, int regexOp, const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& block)
{
    fnd::Error error;
    auto result = performEnumeration(
        caller, regexOp, regex, options, string, inRange, BlockOp::Match, enumerationOptions, block, {}, &error);
    if (!result.errorFree)
        return std::unexpected(error);
    return {};
}

fnd::Expected<Enumeration> replace(const Caller& caller, const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXReplacementBlock& block)
{
    fnd::Error error;
    auto result = performEnumeration(caller, CapturesArrayOp, regex, options, string, inRange, BlockOp::Replace,
        enumerationOptions, {}, block, &error);
    if (!result.errorFree)
        return std::unexpected(error);
    return result;
}

}

bool enumerateStringsMatchedByRegex(const fnd::String& string, const fnd::String& regex, const ZRXMatchBlock& block)
{
    return enumerate({ "enumerateStringsMatchedByRegex" }, CapturesArrayOp, string, regex, ZRXNoOptions, ZRXWholeString,
        ZRXRegexEnumerationNoOptions, block)
        .has_value();
}

fnd::Expected<void> enumerateStringsMatchedByRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& block)
{
    return enumerate({ "enumerateStringsMatchedByRegex" }, CapturesArrayOp, string, regex, options, inRange,
        enumerationOptions, block);
}

bool enumerateStringsSeparatedByRegex(const fnd::String& string, const fnd::String& regex, const ZRXMatchBlock& block)
{
    return enumerate({ "enumerateStringsSeparatedByRegex" }, SplitOp, string, regex, ZRXNoOptions, ZRXWholeString,
        ZRXRegexEnumerationNoOptions, block)
        .has_value();
}

fnd::Expected<void> enumerateStringsSeparatedByRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& block)
{
    return enumerate(
        { "enumerateStringsSeparatedByRegex" }, SplitOp, string, regex, options, inRange, enumerationOptions, block);
}

std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const ZRXReplacementBlock& block)
{
    auto result = replace({ "stringByReplacingOccurrencesOfRegex" }, string, regex, ZRXNoOptions, ZRXWholeString,
        ZRXRegexEnumerationNoOptions, block);
    if (!result)
        return std::nullopt;
    return std::move(result->replaced);
}

fnd::Expected<fnd::String> stringByReplacingOccurrencesOfRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXReplacementBlock& block)
{
    auto result = replace(
        { "stringByReplacingOccurrencesOfRegex" }, string, regex, options, inRange, enumerationOptions, block);
    if (!result)
        return std::unexpected(result.error());
    return std::move(result->replaced);
}

fnd::Index replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex, const ZRXReplacementBlock& block)
{
    return replaceOccurrencesOfRegex(string, regex, ZRXNoOptions, ZRXWholeString, ZRXRegexEnumerationNoOptions, block)
        .value_or(-1);
}

fnd::Expected<fnd::Index> replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXReplacementBlock& block)
{
    auto result = replace({ "replaceOccurrencesOfRegex" }, string, regex, options, inRange, enumerationOptions, block);
    if (!result)
        return std::unexpected(result.error());
    if (result->count >= 1) {
        if (inRange.length == fnd::NotFound)
            inRange.length = string.length();
        string.replaceCharacters(inRange, result->replaced);
    }
    return result->count;
}

}
