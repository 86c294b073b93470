// The regex operations on strings: each public form fills in its defaults and calls one worker, which runs the
// whole operation under the cache lock.

#include "frameworks/ZORRegex/detail/RegexCore.h"
#include "frameworks/ZORRegex/detail/RegexSteps.h"

#include "platform/foundation/runtime/StringFormat.h"

#include <mutex>

namespace ZORRegexAdditions {

using namespace ZRXRegexCore;

namespace {

struct Request {
    Caller caller;
    int op;
    const fnd::String& regex;
    ZRXRegexOptions options { 0 };
    fnd::Index capture { 0 };
    const fnd::String& subject;
    fnd::Range range { ZRXWholeString };
    const fnd::String* replacement { nullptr };
    std::span<const fnd::String> keys {};
    std::span<const std::int32_t> captures {};
};

struct Result {
    bool produced { false };
    fnd::Range range { fnd::Range::notFound() };
    fnd::StringArray strings;
    std::vector<fnd::StringArray> groups;
    std::vector<fnd::Dictionary> dictionaries;
    fnd::String replaced;
    fnd::Index replacedCount { -1 };
};

// Under the lock: one operation on the line, which is pointed at the range of the subject.
void run(const Request& request, CachedRegex& line, fnd::Range range, Result& result, Pending& pending)
{
    auto& matcher = line.matcher;
    UErrorCode status = U_ZERO_ERROR;
    switch (request.op & OpMask) {
    case RangeOp: {
        fnd::Range searchRange = range;
        if (search(matcher, searchRange, false, status))
            result.range = groupRange(matcher, request.capture, status);
        result.produced = true;
        break;
    }
    case ReplaceOp: {
        auto replaced = replaceString(
            matcher, *request.replacement, request.subject, range, result.replacedCount, status, pending);
        if (replaced) {
            result.replaced = std::move(*replaced);
            result.produced = true;
        }
        break;
    }
    default: {
        FindAll found;
        found.findInRange = range;
        found.capture = request.capture;
        found.findUpTo = request.op == CapturesArrayOp || request.op == DictionaryOfCapturesOp ? 1 : fnd::NotFound;
        findRanges(matcher, request.op, found, status);
        if (U_FAILURE(status))
            break;
        const auto groupSize = static_cast<std::size_t>(matcher.captureCount + 1);
        if (request.op == DictionaryOfCapturesOp || request.op == ArrayOfDictionariesOp) {
            result.dictionaries
                = makeDictionaries(found.ranges, groupSize, request.subject, request.keys, request.captures);
        } else if (request.op == ArrayOfCapturesOp) {
            result.groups = makeGroups(found.ranges, groupSize, request.subject);
        } else {
            result.strings = makeStrings(found.ranges, request.subject);
        }
        result.produced = true;
    }
    }
    if (U_FAILURE(status))
        pending.exception = exceptionForICUError(request.regex, request.options, status);
}

// The worker. Nothing produced and no exception means the pattern did not compile: the error says why.
Result perform(const Request& request, fnd::Error* error)
{
    if ((request.op == DictionaryOfCapturesOp || request.op == ArrayOfDictionariesOp)
        && request.keys.size() != request.captures.size())
        throw invalidArgument(request.caller, "The keys and captures arguments differ in length.");

    Result result;
    Pending pending;
    {
        std::lock_guard lock(cacheLock());
        auto* line = getCachedRegex(request.regex, &request.regex, request.options, error, pending);
        const fnd::Index length = request.subject.length();
        fnd::Range range = request.range;
        if (range.length == fnd::NotFound)
            range.length = length;
        if (range.location < 0 || range.length < 0 || range.location > length
            || range.length > length - range.location) {
            pending.exception = fnd::Exception::range("Range or index out of bounds.");
        } else if (length >= IntMax) {
            pending.exception = fnd::Exception::range("String length exceeds INT_MAX.");
        } else if (line && (request.op == RangeOp || request.op == ArrayOfStringsOp)
            && (request.capture < 0 || request.capture > line->matcher.captureCount)) {
            pending.exception = fnd::Exception::invalidArgument("The capture argument is not valid.");
        } else if (line) {
            for (std::size_t i = 0; i < request.captures.size() && !pending.any(); ++i) {
                auto capture = request.captures[i];
                if (capture < 0 || capture > line->matcher.captureCount)
                    pending.exception = fnd::Exception::invalidArgument(
                        fnd::stringWithFormat("The capture argument %d (capture %lu of %lu) for key '%@' is not valid.",
                            capture, i + 1, request.captures.size(), request.keys[i]));
            }
            if (!pending.any() && setCachedRegexToString(*line, request.subject, range, pending))
                run(request, *line, range, result, pending);
            // The receiver is about to change: its characters need not be kept.
            if ((request.op & MutableReplaceFlag) && result.replacedCount > 0)
                clearSetToString(*line);
        }
    }
    raisePending(request.caller, pending);
    return result;
}

template <typename T> fnd::Expected<T> answer(const Result& result, const fnd::Error& error, T value)
{
    if (!result.produced)
        return std::unexpected(error);
    return value;
}

constexpr fnd::Range Whole = ZRXWholeString;

std::vector<std::int32_t> capturesOf(const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    std::vector<std::int32_t> captures;
    for (const auto& item : keysAndCaptures)
        captures.push_back(item.capture);
    return captures;
}

fnd::StringArray keysOf(const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    fnd::StringArray keys;
    for (const auto& item : keysAndCaptures)
        keys.push_back(item.key);
    return keys;
}

}

fnd::StringArray componentsSeparatedByRegex(const fnd::String& string, const fnd::String& regex)
{
    return componentsSeparatedByRegex(string, regex, Whole);
}

fnd::StringArray componentsSeparatedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range)
{
    return perform({ { "componentsSeparatedByRegex" }, SplitOp, regex, 0, 0, string, range }, nullptr).strings;
}

fnd::Expected<fnd::StringArray> componentsSeparatedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range)
{
    fnd::Error error;
    auto result = perform({ { "componentsSeparatedByRegex" }, SplitOp, regex, options, 0, string, range }, &error);
    return answer(result, error, std::move(result.strings));
}

bool isMatchedByRegex(const fnd::String& string, const fnd::String& regex)
{
    return isMatchedByRegex(string, regex, Whole);
}

bool isMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range inRange)
{
    return perform({ { "isMatchedByRegex" }, RangeOp, regex, 0, 0, string, inRange }, nullptr).range.location
        != fnd::NotFound;
}

fnd::Expected<bool> isMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range inRange)
{
    fnd::Error error;
    auto result = perform({ { "isMatchedByRegex" }, RangeOp, regex, options, 0, string, inRange }, &error);
    return answer(result, error, result.range.location != fnd::NotFound);
}

fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex)
{
    return rangeOfRegex(string, regex, Whole);
}

fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex, fnd::Index capture)
{
    return perform({ { "rangeOfRegex" }, RangeOp, regex, 0, capture, string, Whole }, nullptr).range;
}

fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex, fnd::Range inRange)
{
    return perform({ { "rangeOfRegex" }, RangeOp, regex, 0, 0, string, inRange }, nullptr).range;
}

fnd::Expected<fnd::Range> rangeOfRegex(const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options,
    fnd::Range inRange, fnd::Index capture)
{
    fnd::Error error;
    auto result = perform({ { "rangeOfRegex" }, RangeOp, regex, options, capture, string, inRange }, &error);
    return answer(result, error, result.range);
}

namespace {

std::optional<fnd::String> substringOf(const fnd::String& string, fnd::Range range)
{
    if (range.location == fnd::NotFound)
        return std::nullopt;
    return string.substring(range);
}

}

std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex)
{
    return stringByMatching(string, regex, Whole);
}

std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex, fnd::Index capture)
{
    return substringOf(
        string, perform({ { "stringByMatching" }, RangeOp, regex, 0, capture, string, Whole }, nullptr).range);
}

std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex, fnd::Range inRange)
{
    return substringOf(
        string, perform({ { "stringByMatching" }, RangeOp, regex, 0, 0, string, inRange }, nullptr).range);
}

fnd::Expected<std::optional<fnd::String>> stringByMatching(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, fnd::Index capture)
{
    fnd::Error error;
    auto result = perform({ { "stringByMatching" }, RangeOp, regex, options, capture, string, inRange }, &error);
    return answer(result, error, substringOf(string, result.range));
}

std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const fnd::String& replacement)
{
    return stringByReplacingOccurrencesOfRegex(string, regex, replacement, Whole);
}

std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const fnd::String& replacement, fnd::Range range)
{
    auto result = perform(
        { { "stringByReplacingOccurrencesOfRegex" }, ReplaceOp, regex, 0, 0, string, range, &replacement }, nullptr);
    if (!result.produced)
        return std::nullopt;
    return std::move(result.replaced);
}

fnd::Expected<fnd::String> stringByReplacingOccurrencesOfRegex(const fnd::String& string, const fnd::String& regex,
    const fnd::String& replacement, ZRXRegexOptions options, fnd::Range range)
{
    fnd::Error error;
    auto result = perform(
        { { "stringByReplacingOccurrencesOfRegex" }, ReplaceOp, regex, options, 0, string, range, &replacement },
        &error);
    return answer(result, error, std::move(result.replaced));
}

fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex)
{
    return componentsMatchedByRegex(string, regex, Whole);
}

fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Index capture)
{
    return perform({ { "componentsMatchedByRegex" }, ArrayOfStringsOp, regex, 0, capture, string, Whole }, nullptr)
        .strings;
}

fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range)
{
    return perform({ { "componentsMatchedByRegex" }, ArrayOfStringsOp, regex, 0, 0, string, range }, nullptr).strings;
}

fnd::Expected<fnd::StringArray> componentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range, fnd::Index capture)
{
    fnd::Error error;
    auto result
        = perform({ { "componentsMatchedByRegex" }, ArrayOfStringsOp, regex, options, capture, string, range }, &error);
    return answer(result, error, std::move(result.strings));
}

fnd::StringArray captureComponentsMatchedByRegex(const fnd::String& string, const fnd::String& regex)
{
    return captureComponentsMatchedByRegex(string, regex, Whole);
}

fnd::StringArray captureComponentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range)
{
    return perform({ { "captureComponentsMatchedByRegex" }, CapturesArrayOp, regex, 0, 0, string, range }, nullptr)
        .strings;
}

fnd::Expected<fnd::StringArray> captureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range)
{
    fnd::Error error;
    auto result
        = perform({ { "captureComponentsMatchedByRegex" }, CapturesArrayOp, regex, options, 0, string, range }, &error);
    return answer(result, error, std::move(result.strings));
}

std::vector<fnd::StringArray> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex)
{
    return arrayOfCaptureComponentsMatchedByRegex(string, regex, Whole);
}

std::vector<fnd::StringArray> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, fnd::Range range)
{
    return perform(
        { { "arrayOfCaptureComponentsMatchedByRegex" }, ArrayOfCapturesOp, regex, 0, 0, string, range }, nullptr)
        .groups;
}

fnd::Expected<std::vector<fnd::StringArray>> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range)
{
    fnd::Error error;
    auto result = perform(
        { { "arrayOfCaptureComponentsMatchedByRegex" }, ArrayOfCapturesOp, regex, options, 0, string, range }, &error);
    return answer(result, error, std::move(result.groups));
}

fnd::Dictionary dictionaryByMatchingRegex(
    const fnd::String& string, const fnd::String& regex, const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    return dictionaryByMatchingRegex(string, regex, Whole, keysAndCaptures);
}

fnd::Dictionary dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range,
    const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    auto keys = keysOf(keysAndCaptures);
    auto captures = capturesOf(keysAndCaptures);
    auto result = perform({ { "dictionaryByMatchingRegex" }, DictionaryOfCapturesOp, regex, 0, 0, string, range,
                              nullptr, keys, captures },
        nullptr);
    return result.dictionaries.empty() ? fnd::Dictionary() : std::move(result.dictionaries.front());
}

fnd::Expected<fnd::Dictionary> dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range range, const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    auto keys = keysOf(keysAndCaptures);
    auto captures = capturesOf(keysAndCaptures);
    return dictionaryByMatchingRegex(string, regex, options, range, keys, captures);
}

fnd::Expected<fnd::Dictionary> dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range range, std::span<const fnd::String> keys,
    std::span<const std::int32_t> forCaptures)
{
    fnd::Error error;
    auto result = perform({ { "dictionaryByMatchingRegex" }, DictionaryOfCapturesOp, regex, options, 0, string, range,
                              nullptr, keys, forCaptures },
        &error);
    return answer(result, error, result.dictionaries.empty() ? fnd::Dictionary() : result.dictionaries.front());
}

std::vector<fnd::Dictionary> arrayOfDictionariesByMatchingRegex(
    const fnd::String& string, const fnd::String& regex, const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    return arrayOfDictionariesByMatchingRegex(string, regex, Whole, keysAndCaptures);
}

std::vector<fnd::Dictionary> arrayOfDictionariesByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    fnd::Range range, const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    auto keys = keysOf(keysAndCaptures);
    auto captures = capturesOf(keysAndCaptures);
    return perform({ { "arrayOfDictionariesByMatchingRegex" }, ArrayOfDictionariesOp, regex, 0, 0, string, range,
                       nullptr, keys, captures },
        nullptr)
        .dictionaries;
}

fnd::Expected<std::vector<fnd::Dictionary>> arrayOfDictionariesByMatchingRegex(const fnd::String& string,
    const fnd::String& regex, ZRXRegexOptions options, fnd::Range range,
    const std::vector<ZRXKeyAndCapture>& keysAndCaptures)
{
    auto keys = keysOf(keysAndCaptures);
    auto captures = capturesOf(keysAndCaptures);
    return arrayOfDictionariesByMatchingRegex(string, regex, options, range, keys, captures);
}

fnd::Expected<std::vector<fnd::Dictionary>> arrayOfDictionariesByMatchingRegex(const fnd::String& string,
    const fnd::String& regex, ZRXRegexOptions options, fnd::Range range, std::span<const fnd::String> keys,
    std::span<const std::int32_t> forCaptures)
{
    fnd::Error error;
    auto result = perform({ { "arrayOfDictionariesByMatchingRegex" }, ArrayOfDictionariesOp, regex, options, 0, string,
                              range, nullptr, keys, forCaptures },
        &error);
    return answer(result, error, std::move(result.dictionaries));
}

fnd::Index replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex, const fnd::String& replacement)
{
    return replaceOccurrencesOfRegex(string, regex, replacement, Whole);
}

fnd::Index replaceOccurrencesOfRegex(
    fnd::String& string, const fnd::String& regex, const fnd::String& replacement, fnd::Range range)
{
    return replaceOccurrencesOfRegex(string, regex, replacement, ZRXNoOptions, range).value_or(-1);
}

fnd::Expected<fnd::Index> replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex,
    const fnd::String& replacement, ZRXRegexOptions options, fnd::Range range)
{
    fnd::Error error;
    auto result = perform({ { "replaceOccurrencesOfRegex" }, ReplaceOp | MutableReplaceFlag, regex, options, 0, string,
                              range, &replacement },
        &error);
    if (!result.produced)
        return std::unexpected(error);
    if (result.replacedCount > 0) {
        // Written back with the lock released, as the receiver is the caller's.
        if (range.length == fnd::NotFound)
            range.length = string.length();
        string.replaceCharacters(range, result.replaced);
    }
    return result.replacedCount;
}

}
