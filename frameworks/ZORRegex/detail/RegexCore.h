#pragma once

// The regex core shared by the operations and the block enumeration: the cache of compiled patterns, the buffers
// that hold subjects, the search step, and the errors and exceptions every operation reports. Only the ZORRegex
// sources include this header (it brings in ICU).

#include "frameworks/ZORRegex/ZORRegexAdditions.h"
#include "frameworks/ZORRegex/detail/RegexCacheStatistics.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Lock.h"

#include <unicode/uregex.h>

#include <array>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

namespace ZRXRegexCore {

using ZORRegexAdditions::ZRXRegexOptions;

inline constexpr int CacheSets = 13;
inline constexpr int CacheWays = 4;
inline constexpr int CacheLines = CacheSets * CacheWays;
inline constexpr int LookasideEntries = 64;
// Subjects shorter than this go into one of the fixed buffers, never allocating.
inline constexpr fnd::Index FixedBufferUnits = 2048;
// ICU takes lengths and positions as 32-bit numbers.
inline constexpr fnd::Index IntMax = 2147483647;
// An LRU word's start: rows 7, 3, 1, 0, so empty ways are taken 3, 2, 1, 0.
inline constexpr std::uint16_t LRUStart = 0x0137;

struct ICURegexClose {
    void operator()(URegularExpression* regex) const { uregex_close(regex); }
};
using ICURegex = std::unique_ptr<URegularExpression, ICURegexClose>;

// Four ways under one 16-bit word: row w (bits 4w..4w+3) belongs to way w. Using way w fills its row and clears
// bit 3 − w in every row, so the way whose row is empty is the least recently used.
void touchLRU(std::uint16_t& word, int way);
// The highest way whose row is empty.
int leastRecentlyUsed(std::uint16_t word);

// A subject's characters, kept by the cache because the caller's string may change or go away between calls.
struct UTF16Buffer {
    bool inUse { false };
    fnd::Index length { 0 };
    const char16_t* uniChar { nullptr };
    char16_t* fixedStorage { nullptr }; // fixed buffers: static storage of FixedBufferUnits units
    std::vector<char16_t> dynamicStorage; // dynamic buffers: sized to the subject
};

// A compiled pattern pointed at a text, with the memory of its last search. Positions ICU reports are relative to
// the start of setToRange; the ranges kept here are in subject coordinates.
struct Matcher {
    URegularExpression* icu { nullptr };
    fnd::Index captureCount { -1 };
    fnd::Range setToRange { fnd::Range::notFound() };
    fnd::Range lastFindRange { fnd::Range::notFound() };
    fnd::Range lastMatchRange { fnd::Range::notFound() };
    // The time limit ICU holds for this matcher; -1 until one is given. Clones start without one.
    std::int32_t timeLimit { -1 };
};

// One cache line.
struct CachedRegex {
    std::optional<fnd::String> regexString; // nullopt marks a free line
    std::size_t regexHash { 0 };
    ZRXRegexOptions options { 0 };
    ICURegex icuRegex;
    Matcher matcher;
    // The subject: a buffer holding its characters.
    UTF16Buffer* buffer { nullptr };
    fnd::Index setToLength { 0 };
    const char16_t* setToUniChar { nullptr };
};

// A failure found under the lock, raised or reported once the lock is released.
struct Pending {
    std::optional<fnd::Exception> exception;
    // An internal inconsistency for the assertion handler.
    std::optional<std::pair<fnd::String, std::source_location>> assertion;
    bool any() const { return exception || assertion; }
};

// Where an operation was called from, for the messages of its exceptions: "*** -[String rangeOfRegex]: ...".
struct Caller {
    const char* method;
    bool isClassMethod { false };
};

// "*** %c[%@ %@]: %@".
fnd::String formatMethodMessage(const Caller& caller, const fnd::String& message);
fnd::Exception invalidArgument(const Caller& caller, const fnd::String& message);
fnd::Exception rangeException(const Caller& caller, const fnd::String& message);
// Raises the pending failure, if any: exceptions with their reasons prefixed by the caller, assertions through the
// current assertion handler.
void raisePending(const Caller& caller, Pending& pending);

// What goes into an error's or exception's userInfo besides the pattern and the status.
struct ErrorContext {
    const fnd::String* subject { nullptr };
    std::optional<fnd::Range> subjectRange;
    const fnd::String* replacement { nullptr };
    const fnd::String* replaced { nullptr };
    std::optional<fnd::Index> replacedCount;
    std::optional<std::uint32_t> enumerationOptions;
    const UParseError* parseError { nullptr };
};
fnd::Dictionary errorUserInfo(const fnd::String* regex, ZRXRegexOptions options, UErrorCode status,
    const ErrorContext& context, const fnd::Dictionary& extra = {});
// ZRXICURegexException: "ICU regular expression error #%d, %s."
fnd::Exception exceptionForICUError(const fnd::String& regex, ZRXRegexOptions options, UErrorCode status);
fnd::Error makeError(UErrorCode status, fnd::Dictionary userInfo);

// The process-wide lock and everything it guards.
fnd::SpinLock& cacheLock();

// With the lock held: the line for (pattern, options), compiling on a miss; nullptr when the pattern does not
// compile (with the error when asked for) or is too long (with a pending exception). patternAddress is the caller's
// string object, whose address picks the lookaside entry.
CachedRegex* getCachedRegex(
    const fnd::String& regex, const void* patternAddress, ZRXRegexOptions options, fnd::Error* error, Pending& pending);
// With the lock held: points the line at the subject (kept when it still holds the same text) and ICU at the
// range. False, with a pending failure, when that cannot be done.
bool setCachedRegexToString(CachedRegex& line, const fnd::String& subject, fnd::Range range, Pending& pending);
// Points the matcher's ICU text at the range of the characters, unless it is there already.
void setMatcherText(Matcher& matcher, const char16_t* characters, fnd::Range range, UErrorCode& status);

// One search step over searchRange (inside the matcher's text). Answers whether a match was found; the match is
// in lastMatchRange. A repeated search of the same range is answered from memory. With advance, searchRange moves
// past the match (past one more unit after an empty match), or becomes empty at its end when nothing was found.
bool search(Matcher& matcher, fnd::Range& searchRange, bool advance, UErrorCode& status);
// Where a search after the last match continues.
fnd::Index continuationPoint(const Matcher& matcher);
// Group i of the last match in subject coordinates; {NotFound, 0} when it took no part.
fnd::Range groupRange(const Matcher& matcher, fnd::Index group, UErrorCode& status);

// Detaches the subject from the line (ICU gets an empty text).
void clearSetToString(CachedRegex& line);

ZORRegexCacheStatistics::Counters& counters();

}
