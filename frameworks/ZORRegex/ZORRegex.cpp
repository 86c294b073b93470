// The regex core: the cache of compiled patterns, the subject buffers, the search step, and the errors and
// exceptions of every operation.

#include "frameworks/ZORRegex/detail/RegexCore.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>

namespace ZRXRegexCore {

namespace {

// Storage of the fixed buffers: never freed, so short subjects never allocate.
char16_t g_fixedStorage[CacheWays][FixedBufferUnits];

struct Cache {
    std::array<CachedRegex, CacheLines> lines;
    std::array<std::uint16_t, CacheSets> setLRU;
    CachedRegex* last { nullptr };
    std::array<std::uint8_t, LookasideEntries> lookaside {};
    std::array<UTF16Buffer, CacheWays> fixedBuffers;
    std::uint16_t fixedLRU { LRUStart };
    std::array<UTF16Buffer, CacheWays> dynamicBuffers;
    std::uint16_t dynamicLRU { LRUStart };
    ZORRegexCacheStatistics::Counters counters;

    Cache()
    {
        setLRU.fill(LRUStart);
        for (int i = 0; i < CacheWays; ++i)
            fixedBuffers[static_cast<std::size_t>(i)].fixedStorage = g_fixedStorage[i];
    }
};

Cache& cache()
{
    static Cache c;
    return c;
}

// Checks of the cache's own bookkeeping: a failure means memory is corrupt, so the process stops.
[[noreturn]] void fatal(const char* condition, const std::source_location where = std::source_location::current())
{
    fnd::log(fnd::LogLevel::Error,
        fnd::String(
            fmt::format("{}:{}: Invalid parameter not satisfying: {}\n", where.file_name(), where.line(), condition)));
    std::abort();
}

const UChar* icuChars(const fnd::String& s)
{
    return reinterpret_cast<const UChar*>(s.units().data());
}

std::uint32_t lookasideIndex(const void* address, ZRXRegexOptions options)
{
    auto shifted = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) >> 4);
    return (shifted + options + (options >> 4)) & (LookasideEntries - 1);
}

int setOf(std::size_t hash, ZRXRegexOptions options)
{
    return static_cast<int>((hash ^ options) % CacheSets);
}

bool holds(const CachedRegex& line, const fnd::String& regex, ZRXRegexOptions options)
{
    return line.icuRegex && line.options == options && line.regexString && *line.regexString == regex;
}

int indexOf(const CachedRegex& line)
{
    auto index = &line - cache().lines.data();
    if (index < 0 || index >= CacheLines)
        fatal("cachedRegex != NULL");
    return static_cast<int>(index);
}

// The line becomes the last used, the lookaside entry of the caller's pattern names it, and its set's LRU word
// records the use.
void recordUse(CachedRegex& line, const void* patternAddress)
{
    auto& c = cache();
    int index = indexOf(line);
    c.last = &line;
    c.lookaside[lookasideIndex(patternAddress, line.options)] = static_cast<std::uint8_t>(index);
    touchLRU(c.setLRU[static_cast<std::size_t>(index / CacheWays)], index % CacheWays);
}

void resetCachedRegex(CachedRegex& line)
{
    auto& c = cache();
    clearSetToString(line);
    if (c.last == &line)
        c.last = nullptr;
    line.icuRegex.reset();
    line.matcher = {};
    line.regexString.reset();
    line.regexHash = 0;
    line.options = 0;
}

// The buffer goes back to its group; the lines that read from it lose their subject first.
void releaseBuffer(UTF16Buffer& buffer, bool freeStorage)
{
    for (auto& line : cache().lines) {
        if (line.buffer == &buffer)
            clearSetToString(line);
    }
    buffer.inUse = false;
    buffer.length = 0;
    buffer.uniChar = nullptr;
    if (freeStorage)
        std::vector<char16_t>().swap(buffer.dynamicStorage);
}

bool holdsText(const UTF16Buffer& buffer, std::u16string_view text)
{
    return buffer.inUse && buffer.length == static_cast<fnd::Index>(text.size())
        && std::equal(text.begin(), text.end(), buffer.uniChar);
}

// A buffer holding the subject's characters: one that holds them already, else the group's least recently used,
// filled. Short subjects use the fixed group, longer ones the dynamic group.
UTF16Buffer* bufferFor(const fnd::String& subject, Pending& pending)
{
    auto& c = cache();
    auto text = subject.view();
    const bool fixed = subject.length() < FixedBufferUnits;
    auto& group = fixed ? c.fixedBuffers : c.dynamicBuffers;
    auto& word = fixed ? c.fixedLRU : c.dynamicLRU;
    for (int i = CacheWays - 1; i >= 0; --i) {
        auto& buffer = group[static_cast<std::size_t>(i)];
        if (holdsText(buffer, text)) {
            ++c.counters.bufferReuses;
            touchLRU(word, i);
            return &buffer;
        }
    }
    int victim = leastRecentlyUsed(word);
    if (victim < 0)
        fatal("leastRecentlyUsed < (4UL)");
    auto& buffer = group[static_cast<std::size_t>(victim)];
    releaseBuffer(buffer, false);
    try {
        if (fixed) {
            std::ranges::copy(text, buffer.fixedStorage);
            buffer.uniChar = buffer.fixedStorage;
            ++c.counters.fixedBufferCopies;
        } else {
            buffer.dynamicStorage.assign(text.begin(), text.end());
            buffer.uniChar = buffer.dynamicStorage.data();
            ++c.counters.dynamicBufferCopies;
        }
    } catch (const std::bad_alloc&) {
        pending.assertion = { "Failed to set up UTF16 buffer.", std::source_location::current() };
        return nullptr;
    }
    buffer.inUse = true;
    buffer.length = subject.length();
    touchLRU(word, victim);
    return &buffer;
}

fnd::String errorName(UErrorCode status)
{
    return fnd::String(u_errorName(status));
}

fnd::String contextString(const UChar* context)
{
    std::size_t length = 0;
    while (length < U_PARSE_CONTEXT_LEN && context[length])
        ++length;
    return fnd::String(std::u16string(reinterpret_cast<const char16_t*>(context), length));
}

}

void touchLRU(std::uint16_t& word, int way)
{
    word = static_cast<std::uint16_t>(word | (0xF << (4 * way)));
    word = static_cast<std::uint16_t>(word & ~(0x1111 << (3 - way)));
}

int leastRecentlyUsed(std::uint16_t word)
{
    for (int way = CacheWays - 1; way >= 0; --way) {
        if (((word >> (4 * way)) & 0xF) == 0)
            return way;
    }
    return -1;
}

fnd::SpinLock& cacheLock()
{
    static fnd::SpinLock lock;
    return lock;
}

ZORRegexCacheStatistics::Counters& counters()
{
    return cache().counters;
}

CachedRegex* getCachedRegex(
    const fnd::String& regex, const void* patternAddress, ZRXRegexOptions options, fnd::Error* error, Pending& pending)
{
    auto& c = cache();
    // 1. The line used last.
    if (c.last && holds(*c.last, regex, options)) {
        ++c.counters.lastRegexHits;
        return c.last;
    }
    c.last = nullptr;
    // 2. The lookaside entry of the caller's pattern object.
    auto& candidate = c.lines[c.lookaside[lookasideIndex(patternAddress, options)]];
    if (holds(candidate, regex, options)) {
        ++c.counters.lookasideHits;
        recordUse(candidate, patternAddress);
        return &candidate;
    }
    // 3. The pattern's set, ways 3 down to 0.
    const auto hash = regex.hash();
    const int set = setOf(hash, options);
    for (int way = CacheWays - 1; way >= 0; --way) {
        auto& line = c.lines[static_cast<std::size_t>(set * CacheWays + way)];
        if (line.regexHash == hash && holds(line, regex, options)) {
            ++c.counters.setHits;
            recordUse(line, patternAddress);
            return &line;
        }
    }
    // 4. A miss: the set's least recently used way is compiled anew.
    const int way = leastRecentlyUsed(c.setLRU[static_cast<std::size_t>(set)]);
    if (way < 0)
        fatal("leastRecentlyUsed < (4UL)");
    auto& line = c.lines[static_cast<std::size_t>(set * CacheWays + way)];
    if (line.regexString)
        ++c.counters.evictions;
    resetCachedRegex(line);
    if (regex.length() >= IntMax) {
        pending.exception = fnd::Exception::range("Regex string length exceeds INT_MAX");
        return nullptr;
    }
    line.regexString = regex;
    line.regexHash = hash;
    line.options = options;
    ++c.counters.compilations;
    // ICU fills in the place of a syntax error only; line -1 marks errors without one.
    UParseError parseError {};
    parseError.line = -1;
    UErrorCode status = U_ZERO_ERROR;
    line.icuRegex.reset(
        uregex_open(icuChars(regex), static_cast<int32_t>(regex.length()), options, &parseError, &status));
    if (U_FAILURE(status)) {
        resetCachedRegex(line);
        c.last = nullptr;
        if (error) {
            ErrorContext context;
            context.parseError = &parseError;
            *error = makeError(status,
                errorUserInfo(&regex, options, status, context,
                    { { fnd::ErrorKey::LocalizedDescription,
                        "There was an error compiling the regular expression." } }));
        }
        return nullptr;
    }
    line.matcher.icu = line.icuRegex.get();
    line.matcher.captureCount = uregex_groupCount(line.matcher.icu, &status);
    recordUse(line, patternAddress);
    return &line;
}

void clearSetToString(CachedRegex& line)
{
    if (line.matcher.icu) {
        static const UChar empty[1] = { 0 };
        UErrorCode status = U_ZERO_ERROR;
        uregex_setText(line.matcher.icu, empty, 0, &status);
    }
    line.buffer = nullptr;
    line.setToLength = 0;
    line.setToUniChar = nullptr;
    line.matcher.setToRange = fnd::Range::notFound();
    line.matcher.lastFindRange = fnd::Range::notFound();
    line.matcher.lastMatchRange = fnd::Range::notFound();
}

bool setCachedRegexToString(CachedRegex& line, const fnd::String& subject, fnd::Range range, Pending& pending)
{
    auto& c = cache();
    // The line keeps its subject while its buffer still holds the same text: an edit of the caller's string, even
    // one that keeps its length, is seen.
    const bool keeps
        = line.buffer && line.setToUniChar == line.buffer->uniChar && holdsText(*line.buffer, subject.view());
    if (keeps) {
        auto& group = line.buffer->fixedStorage ? c.fixedBuffers : c.dynamicBuffers;
        touchLRU(line.buffer->fixedStorage ? c.fixedLRU : c.dynamicLRU, static_cast<int>(line.buffer - group.data()));
    } else {
        clearSetToString(line);
        ++c.counters.subjectsSet;
        auto* buffer = bufferFor(subject, pending);
        if (!buffer)
            return false;
        line.buffer = buffer;
        line.setToUniChar = buffer->uniChar;
        line.setToLength = subject.length();
    }
    UErrorCode status = U_ZERO_ERROR;
    setMatcherText(line.matcher, line.setToUniChar, range, status);
    if (U_FAILURE(status)) {
        pending.exception = exceptionForICUError(*line.regexString, line.options, status);
        return false;
    }
    return true;
}

void setMatcherText(Matcher& matcher, const char16_t* characters, fnd::Range range, UErrorCode& status)
{
    if (matcher.setToRange == range)
        return;
    matcher.lastFindRange = fnd::Range::notFound();
    matcher.lastMatchRange = fnd::Range::notFound();
    matcher.setToRange = range;
    uregex_setText(matcher.icu, reinterpret_cast<const UChar*>(characters + range.location),
        static_cast<int32_t>(range.length), &status);
    if (U_FAILURE(status))
        matcher.setToRange = fnd::Range::notFound();
}

fnd::Index continuationPoint(const Matcher& matcher)
{
    const auto& match = matcher.lastMatchRange;
    if (match.location == fnd::NotFound)
        return fnd::NotFound;
    fnd::Index point = match.max();
    if (match.length == 0 && point != matcher.setToRange.max())
        ++point;
    return point;
}

namespace {

// One runaway match (a lazily repeated anchor never ends; nested quantifiers backtrack exponentially) must not
// freeze the program: past the limit ICU fails the match with U_REGEX_TIME_OUT, raised like any ICU failure. The
// limit is the calling thread's, set on every search because cached matchers serve every thread, and block
// enumerations search on clones, which ICU makes without a limit.
void applyTimeLimit(Matcher& matcher, UErrorCode& status)
{
    const std::int32_t limit = ZORRegexAdditions::matchTimeLimitForCurrentThread();
    if (matcher.timeLimit == limit)
        return;
    uregex_setTimeLimit(matcher.icu, limit, &status);
    if (U_SUCCESS(status))
        matcher.timeLimit = limit;
}

}

bool search(Matcher& matcher, fnd::Range& searchRange, bool advance, UErrorCode& status)
{
    auto& c = cache();
    bool found = false;
    if (searchRange == matcher.lastFindRange) {
        ++c.counters.memoisedSearches;
        found = !(matcher.lastMatchRange.location == fnd::NotFound && matcher.lastMatchRange.length == 0);
    } else {
        const auto& text = matcher.setToRange;
        if (text.location == fnd::NotFound || searchRange.location < text.location || searchRange.max() > text.max()
            || searchRange.location - text.location >= IntMax) {
            status = U_INDEX_OUTOFBOUNDS_ERROR;
            return false;
        }
        ++c.counters.icuSearches;
        applyTimeLimit(matcher, status);
        if (U_FAILURE(status))
            return false;
        UBool matched = searchRange.location == continuationPoint(matcher)
            ? uregex_findNext(matcher.icu, &status)
            : uregex_find(matcher.icu, static_cast<int32_t>(searchRange.location - text.location), &status);
        matcher.lastFindRange = searchRange;
        if (matched && U_SUCCESS(status)) {
            int32_t start = uregex_start(matcher.icu, 0, &status);
            int32_t end = uregex_end(matcher.icu, 0, &status);
            matcher.lastMatchRange = { text.location + start, end - start };
            found = U_SUCCESS(status);
        }
        if (!found) {
            matcher.lastFindRange = fnd::Range::notFound();
            matcher.lastMatchRange = fnd::Range::notFound();
        }
    }
    if (advance) {
        const fnd::Index end = searchRange.max();
        if (found) {
            const fnd::Index next = std::min(continuationPoint(matcher), end);
            searchRange = { next, end - next };
        } else {
            searchRange = { end, 0 };
        }
    }
    return found;
}

fnd::Range groupRange(const Matcher& matcher, fnd::Index group, UErrorCode& status)
{
    if (group == 0)
        return matcher.lastMatchRange;
    int32_t start = uregex_start(matcher.icu, static_cast<int32_t>(group), &status);
    int32_t end = uregex_end(matcher.icu, static_cast<int32_t>(group), &status);
    if (U_FAILURE(status) || start < 0)
        return fnd::Range::notFound();
    return { matcher.setToRange.location + start, end - start };
}

fnd::String formatMethodMessage(const Caller& caller, const fnd::String& message)
{
    return fnd::String(fmt::format("*** {}[String {}]: {}", caller.isClassMethod ? '+' : '-',
        caller.method ? caller.method : ":NULL:", message.utf8()));
}

fnd::Exception invalidArgument(const Caller& caller, const fnd::String& message)
{
    return fnd::Exception::invalidArgument(formatMethodMessage(caller, message));
}

fnd::Exception rangeException(const Caller& caller, const fnd::String& message)
{
    return fnd::Exception::range(formatMethodMessage(caller, message));
}

void raisePending(const Caller& caller, Pending& pending)
{
    if (pending.exception) {
        auto userInfo = std::make_shared<const fnd::Dictionary>(pending.exception->userInfo());
        throw fnd::Exception(
            pending.exception->name(), formatMethodMessage(caller, pending.exception->reason()), userInfo);
    }
    if (pending.assertion)
        fnd::AssertionHandler::current().handleFailure(pending.assertion->first, pending.assertion->second);
}

fnd::Dictionary errorUserInfo(const fnd::String* regex, ZRXRegexOptions options, UErrorCode status,
    const ErrorContext& context, const fnd::Dictionary& extra)
{
    using namespace ZORRegexAdditions;
    fnd::Dictionary info;
    info.set(ZRXICURegexRegexErrorKey, regex ? *regex : fnd::String("<NULL regex>"));
    info.set(ZRXICURegexRegexOptionsErrorKey, static_cast<unsigned>(options));
    info.set(ZRXICURegexErrorCodeErrorKey, static_cast<int>(status));
    info.set(ZRXICURegexErrorNameErrorKey, errorName(status));
    if (context.subject)
        info.set(ZRXICURegexSubjectStringErrorKey, *context.subject);
    if (context.subjectRange)
        info.set(ZRXICURegexSubjectRangeErrorKey, *context.subjectRange);
    if (context.replacement)
        info.set(ZRXICURegexReplacementStringErrorKey, *context.replacement);
    if (context.replaced)
        info.set(ZRXICURegexReplacedStringErrorKey, *context.replaced);
    if (context.replacedCount)
        info.set(ZRXICURegexReplacedCountErrorKey, static_cast<long long>(*context.replacedCount));
    if (context.enumerationOptions)
        info.set(ZRXICURegexEnumerationOptionsErrorKey, static_cast<unsigned>(*context.enumerationOptions));
    const auto* parse = context.parseError;
    if (parse && parse->line != -1) {
        auto pre = contextString(parse->preContext);
        auto post = contextString(parse->postContext);
        info.set(ZRXICURegexLineErrorKey, static_cast<int>(parse->line));
        info.set(ZRXICURegexOffsetErrorKey, static_cast<int>(parse->offset));
        info.set(ZRXICURegexPreContextErrorKey, pre);
        info.set(ZRXICURegexPostContextErrorKey, post);
        info.set(fnd::ErrorKey::LocalizedFailureReason,
            fnd::stringWithFormat("The error %@ occurred at line %d, column %d: %@<<HERE>>%@", errorName(status),
                static_cast<int>(parse->line), static_cast<int>(parse->offset), pre, post));
    } else {
        info.set(
            fnd::ErrorKey::LocalizedFailureReason, fnd::stringWithFormat("The error %@ occurred.", errorName(status)));
    }
    for (const auto& [key, value] : extra)
        info.set(key, value);
    return info;
}

fnd::Exception exceptionForICUError(const fnd::String& regex, ZRXRegexOptions options, UErrorCode status)
{
    return fnd::Exception(ZORRegexAdditions::ZRXICURegexException,
        fnd::String(
            fmt::format("ICU regular expression error #{}, {}.", static_cast<int>(status), u_errorName(status))),
        std::make_shared<const fnd::Dictionary>(errorUserInfo(&regex, options, status, {})));
}

fnd::Error makeError(UErrorCode status, fnd::Dictionary userInfo)
{
    return fnd::Error(
        ZORRegexAdditions::ZRXICURegexErrorDomain, static_cast<std::int64_t>(status), std::move(userInfo));
}

}

namespace ZORRegexCacheStatistics {

Counters counters()
{
    std::lock_guard lock(ZRXRegexCore::cacheLock());
    return ZRXRegexCore::counters();
}

void resetCounters()
{
    std::lock_guard lock(ZRXRegexCore::cacheLock());
    ZRXRegexCore::counters() = {};
}

int setForRegex(const fnd::String& regex, ZORRegexAdditions::ZRXRegexOptions options)
{
    return ZRXRegexCore::setOf(regex.hash(), options);
}

std::optional<int> lineHoldingRegex(const fnd::String& regex, ZORRegexAdditions::ZRXRegexOptions options)
{
    std::lock_guard lock(ZRXRegexCore::cacheLock());
    int set = setForRegex(regex, options);
    for (int way = 0; way < ZRXRegexCore::CacheWays; ++way) {
        int index = set * ZRXRegexCore::CacheWays + way;
        if (ZRXRegexCore::holds(ZRXRegexCore::cache().lines[static_cast<std::size_t>(index)], regex, options))
            return index;
    }
    return std::nullopt;
}

}

namespace ZORRegexAdditions {

using namespace ZRXRegexCore;

namespace {

thread_local std::int32_t t_matchTimeLimit = DefaultMatchTimeLimit;

}

void setMatchTimeLimitForCurrentThread(std::int32_t units)
{
    t_matchTimeLimit = std::max<std::int32_t>(units, 0);
}

std::int32_t matchTimeLimitForCurrentThread()
{
    return t_matchTimeLimit;
}

void clearStringCache()
{
    std::lock_guard lock(cacheLock());
    auto& c = cache();
    c.last = nullptr;
    for (auto& line : c.lines)
        resetCachedRegex(line);
    // An emptied cache starts over as a new one does, filling each set from way 3 down.
    c.setLRU.fill(LRUStart);
    c.fixedLRU = LRUStart;
    c.dynamicLRU = LRUStart;
    for (auto& buffer : c.fixedBuffers)
        releaseBuffer(buffer, false);
    for (auto& buffer : c.dynamicBuffers)
        releaseBuffer(buffer, true);
}

void flushCachedRegexData(const fnd::String& string)
{
    std::lock_guard lock(cacheLock());
    auto& c = cache();
    const auto text = string.view();
    for (auto& line : c.lines) {
        if (line.buffer && holdsText(*line.buffer, text)) {
            clearSetToString(line);
            break;
        }
    }
    for (auto* group : { &c.fixedBuffers, &c.dynamicBuffers }) {
        for (auto& buffer : *group) {
            if (holdsText(buffer, text)) {
                releaseBuffer(buffer, false);
                break;
            }
        }
    }
}

namespace {

fnd::Index captureCountFor(const Caller& caller, const fnd::String& regex, ZRXRegexOptions options, fnd::Error* error)
{
    Pending pending;
    fnd::Index count = -1;
    {
        std::lock_guard lock(cacheLock());
        if (auto* line = getCachedRegex(regex, &regex, options, error, pending))
            count = line->matcher.captureCount;
    }
    raisePending(caller, pending);
    return count;
}

}

fnd::Index captureCountForRegex(const fnd::String& regex)
{
    return captureCountFor({ "captureCountForRegex", true }, regex, ZRXNoOptions, nullptr);
}

fnd::Expected<fnd::Index> captureCountForRegex(const fnd::String& regex, ZRXRegexOptions options)
{
    fnd::Error error;
    auto count = captureCountFor({ "captureCountForRegex", true }, regex, options, &error);
    if (count < 0)
        return std::unexpected(error);
    return count;
}

fnd::Index captureCount(const fnd::String& regex)
{
    return captureCountFor({ "captureCount" }, regex, ZRXNoOptions, nullptr);
}

fnd::Expected<fnd::Index> captureCount(const fnd::String& regex, ZRXRegexOptions options)
{
    fnd::Error error;
    auto count = captureCountFor({ "captureCount" }, regex, options, &error);
    if (count < 0)
        return std::unexpected(error);
    return count;
}

bool isRegexValid(const fnd::String& regex)
{
    return captureCountFor({ "isRegexValid" }, regex, ZRXNoOptions, nullptr) >= 0;
}

fnd::Expected<void> isRegexValid(const fnd::String& regex, ZRXRegexOptions options)
{
    fnd::Error error;
    if (captureCountFor({ "isRegexValid" }, regex, options, &error) < 0)
        return std::unexpected(error);
    return {};
}

}
