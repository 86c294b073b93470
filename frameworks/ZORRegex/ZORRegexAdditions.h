#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// Regular expressions on strings, over ICU's regular expressions: matching, ranges, splitting, captures, keyed
// captures, template replacement and enumeration with blocks.
//
// Patterns and replacement templates use ICU's syntax ("$1", "${name}", "\$" in templates). Indexes and ranges count
// UTF-16 units, as everywhere. Compiled patterns are kept in a process-wide cache (13 sets of 4 ways, least recently
// used out first), and each cache entry remembers its last subject and last search, so repeated queries on the same
// text cost little. Any thread may call; one spin lock guards the cache, and no lock is held while a block runs.
//
// Short forms answer "nothing" for a pattern that does not compile (false, NotFound, an empty result, nullopt, -1);
// full forms (those with options) answer the error instead, in ZRXICURegexErrorDomain with the ICU status as code
// and the line, offset and context of the fault. Programming errors raise fnd::Exception: a range beyond the text
// (NSRangeException), an invalid capture or enumeration option (NSInvalidArgumentException), and ICU failures while
// searching or replacing, including a malformed replacement template (ZRXICURegexException).
namespace ZORRegexAdditions {

// Handed to ICU unchanged.
using ZRXRegexOptions = std::uint32_t;
inline constexpr ZRXRegexOptions ZRXNoOptions = 0;
inline constexpr ZRXRegexOptions ZRXCaseInsensitive = 2;
inline constexpr ZRXRegexOptions ZRXComments = 4;
inline constexpr ZRXRegexOptions ZRXMultiline = 8;
inline constexpr ZRXRegexOptions ZRXDotAll = 32;
inline constexpr ZRXRegexOptions ZRXUnicodeWordBoundaries = 256;

using ZRXRegexEnumerationOptions = std::uint32_t;
inline constexpr ZRXRegexEnumerationOptions ZRXRegexEnumerationNoOptions = 0;
// The block gets no strings, only ranges.
inline constexpr ZRXRegexEnumerationOptions ZRXRegexEnumerationCapturedStringsNotRequired = 0x200;
// Replacing only. Kept for callers that pass it; strings are values here, so nothing needs releasing.
inline constexpr ZRXRegexEnumerationOptions ZRXRegexEnumerationReleaseReplacementString = 0x400;
// The captured strings are the same string objects at every call, refilled for each match.
inline constexpr ZRXRegexEnumerationOptions ZRXRegexEnumerationReuseCapturedStrings = 0x800;

// The whole receiver, whatever its length.
inline constexpr fnd::Range ZRXWholeString { 0, fnd::NotFound };

inline const fnd::String ZRXICURegexErrorDomain = "ZRXICURegexErrorDomain";
inline const fnd::String ZRXICURegexException = "ZRXICURegexException";

// Keys of the userInfo of errors and exceptions.
inline const fnd::String ZRXICURegexRegexErrorKey = "ZRXICURegexRegex";
inline const fnd::String ZRXICURegexRegexOptionsErrorKey = "ZRXICURegexRegexOptions";
inline const fnd::String ZRXICURegexErrorCodeErrorKey = "ZRXICURegexErrorCode";
inline const fnd::String ZRXICURegexErrorNameErrorKey = "ZRXICURegexErrorName";
inline const fnd::String ZRXICURegexLineErrorKey = "ZRXICURegexLine";
inline const fnd::String ZRXICURegexOffsetErrorKey = "ZRXICURegexOffset";
inline const fnd::String ZRXICURegexPreContextErrorKey = "ZRXICURegexPreContext";
inline const fnd::String ZRXICURegexPostContextErrorKey = "ZRXICURegexPostContext";
inline const fnd::String ZRXICURegexSubjectStringErrorKey = "ZRXICURegexSubjectString";
inline const fnd::String ZRXICURegexSubjectRangeErrorKey = "ZRXICURegexSubjectRange";
inline const fnd::String ZRXICURegexReplacementStringErrorKey = "ZRXICURegexReplacementString";
inline const fnd::String ZRXICURegexReplacedStringErrorKey = "ZRXICURegexReplacedString";
inline const fnd::String ZRXICURegexReplacedCountErrorKey = "ZRXICURegexReplacedCount";
inline const fnd::String ZRXICURegexEnumerationOptionsErrorKey = "ZRXICURegexEnumerationOptions";

// --- The cache and pattern checks ---

// The most work one match may take on the calling thread, in ICU's units of 10,000 matcher steps; past it the
// search raises ZRXICURegexException (U_REGEX_TIME_OUT). The default, about 1.5 seconds, stops a runaway pattern
// without cutting short any reasonable one; a thread that runs many untrusted patterns may lower it. 0 is no limit;
// a negative limit counts as 0.
inline constexpr std::int32_t DefaultMatchTimeLimit = 10000;
void setMatchTimeLimitForCurrentThread(std::int32_t units);
std::int32_t matchTimeLimitForCurrentThread();

// Forgets every compiled pattern and every remembered subject.
void clearStringCache();
// Forgets the string as a subject (call it after changing a string that may be searched again).
void flushCachedRegexData(const fnd::String& string);

// The number of capture groups; -1 when the pattern does not compile.
fnd::Index captureCountForRegex(const fnd::String& regex);
fnd::Expected<fnd::Index> captureCountForRegex(const fnd::String& regex, ZRXRegexOptions options);
// The same with the receiver as the pattern.
fnd::Index captureCount(const fnd::String& regex);
fnd::Expected<fnd::Index> captureCount(const fnd::String& regex, ZRXRegexOptions options);
bool isRegexValid(const fnd::String& regex);
fnd::Expected<void> isRegexValid(const fnd::String& regex, ZRXRegexOptions options);

// --- Operations ---

// The pieces between matches, each followed by that match's captures; trailing empty pieces are dropped. No match:
// the whole range as one piece (none for an empty range).
fnd::StringArray componentsSeparatedByRegex(const fnd::String& string, const fnd::String& regex);
fnd::StringArray componentsSeparatedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range);
fnd::Expected<fnd::StringArray> componentsSeparatedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range);

bool isMatchedByRegex(const fnd::String& string, const fnd::String& regex);
bool isMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range inRange);
fnd::Expected<bool> isMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range inRange);

// The first match, or one capture of it ({NotFound, 0} when the capture took no part).
fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex);
fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex, fnd::Index capture);
fnd::Range rangeOfRegex(const fnd::String& string, const fnd::String& regex, fnd::Range inRange);
fnd::Expected<fnd::Range> rangeOfRegex(const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options,
    fnd::Range inRange, fnd::Index capture);

std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex);
std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex, fnd::Index capture);
std::optional<fnd::String> stringByMatching(const fnd::String& string, const fnd::String& regex, fnd::Range inRange);
fnd::Expected<std::optional<fnd::String>> stringByMatching(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, fnd::Index capture);

// The text of the range with every match replaced by the template. Without a match, the range's text.
std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const fnd::String& replacement);
std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const fnd::String& replacement, fnd::Range range);
fnd::Expected<fnd::String> stringByReplacingOccurrencesOfRegex(const fnd::String& string, const fnd::String& regex,
    const fnd::String& replacement, ZRXRegexOptions options, fnd::Range range);

// Every match, or one capture of every match ("" where it took no part).
fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex);
fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Index capture);
fnd::StringArray componentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range);
fnd::Expected<fnd::StringArray> componentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range, fnd::Index capture);

// The first match followed by each of its captures.
fnd::StringArray captureComponentsMatchedByRegex(const fnd::String& string, const fnd::String& regex);
fnd::StringArray captureComponentsMatchedByRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range);
fnd::Expected<fnd::StringArray> captureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range);

// The same for every match, one array each.
std::vector<fnd::StringArray> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex);
std::vector<fnd::StringArray> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, fnd::Range range);
fnd::Expected<std::vector<fnd::StringArray>> arrayOfCaptureComponentsMatchedByRegex(
    const fnd::String& string, const fnd::String& regex, ZRXRegexOptions options, fnd::Range range);

// Keyed captures: each key maps to the string of its capture; a capture that took no part gives no entry.
struct ZRXKeyAndCapture {
    fnd::String key;
    std::int32_t capture;
};
fnd::Dictionary dictionaryByMatchingRegex(
    const fnd::String& string, const fnd::String& regex, const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
fnd::Dictionary dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex, fnd::Range range,
    const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
fnd::Expected<fnd::Dictionary> dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range range, const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
// Keys and captures as two lists of the same length.
fnd::Expected<fnd::Dictionary> dictionaryByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range range, std::span<const fnd::String> keys,
    std::span<const std::int32_t> forCaptures);

std::vector<fnd::Dictionary> arrayOfDictionariesByMatchingRegex(
    const fnd::String& string, const fnd::String& regex, const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
std::vector<fnd::Dictionary> arrayOfDictionariesByMatchingRegex(const fnd::String& string, const fnd::String& regex,
    fnd::Range range, const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
fnd::Expected<std::vector<fnd::Dictionary>> arrayOfDictionariesByMatchingRegex(const fnd::String& string,
    const fnd::String& regex, ZRXRegexOptions options, fnd::Range range,
    const std::vector<ZRXKeyAndCapture>& keysAndCaptures);
fnd::Expected<std::vector<fnd::Dictionary>> arrayOfDictionariesByMatchingRegex(const fnd::String& string,
    const fnd::String& regex, ZRXRegexOptions options, fnd::Range range, std::span<const fnd::String> keys,
    std::span<const std::int32_t> forCaptures);

// In place: the range's text replaced as stringByReplacingOccurrencesOfRegex gives it, when anything matched. The
// number of replacements; -1 when the pattern does not compile.
fnd::Index replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex, const fnd::String& replacement);
fnd::Index replaceOccurrencesOfRegex(
    fnd::String& string, const fnd::String& regex, const fnd::String& replacement, fnd::Range range);
fnd::Expected<fnd::Index> replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex,
    const fnd::String& replacement, ZRXRegexOptions options, fnd::Range range);

// --- Blocks ---
//
// The search runs on private copies of the compiled pattern and of the subject, with no lock held, so a block may
// call any regex operation and may change the string it enumerates.

// capturedRanges[0] is the match (or, splitting, the piece), then each capture; capturedStrings holds their texts
// (empty with ZRXRegexEnumerationCapturedStringsNotRequired). Setting stop ends the enumeration.
using ZRXMatchBlock = std::function<void(
    std::span<const fnd::String> capturedStrings, std::span<const fnd::Range> capturedRanges, bool& stop)>;
// The same, answering the text that replaces the match (nullopt removes it).
using ZRXReplacementBlock = std::function<std::optional<fnd::String>(
    std::span<const fnd::String> capturedStrings, std::span<const fnd::Range> capturedRanges, bool& stop)>;

// Once per match. False when the pattern does not compile.
bool enumerateStringsMatchedByRegex(const fnd::String& string, const fnd::String& regex, const ZRXMatchBlock& block);
fnd::Expected<void> enumerateStringsMatchedByRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& block);

// Once per piece between matches, as componentsSeparatedByRegex gives them; the trailing piece has no captures.
bool enumerateStringsSeparatedByRegex(const fnd::String& string, const fnd::String& regex, const ZRXMatchBlock& block);
fnd::Expected<void> enumerateStringsSeparatedByRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXMatchBlock& block);

// The range's text with each match replaced by what the block answers.
std::optional<fnd::String> stringByReplacingOccurrencesOfRegex(
    const fnd::String& string, const fnd::String& regex, const ZRXReplacementBlock& block);
fnd::Expected<fnd::String> stringByReplacingOccurrencesOfRegex(const fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXReplacementBlock& block);

// In place, written back after the enumeration when the block was called at least once; the number of calls.
fnd::Index replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex, const ZRXReplacementBlock& block);
fnd::Expected<fnd::Index> replaceOccurrencesOfRegex(fnd::String& string, const fnd::String& regex,
    ZRXRegexOptions options, fnd::Range inRange, ZRXRegexEnumerationOptions enumerationOptions,
    const ZRXReplacementBlock& block);

}
