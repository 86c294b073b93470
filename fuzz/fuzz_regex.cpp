// Feeds patterns, replacement templates and subjects through the regex operations: a pattern that does not compile
// must give an error, a malformed template or a failing search a ZRXICURegexException, and nothing may crash or leave
// the cache inconsistent. Input: one byte of options, then pattern, template and subject as UTF-8, separated by zero
// bytes.
#include "frameworks/ZORRegex/ZORRegexAdditions.h"

#include "platform/foundation/runtime/Exception.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace ZORRegexAdditions;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Patterns can backtrack exponentially in the subject's length: short subjects keep most inputs fast, and a lowered
// match limit stops the runaways after some 10,000 matcher steps, where the program's own limit allows a hundred
// million (about 1.5 seconds). A runaway is found as surely either way: it raises once the limit is reached.
constexpr std::size_t MostPatternBytes = 64;
constexpr fnd::Index MostSubjectUnits = 12;
constexpr std::int32_t FuzzMatchTimeLimit = 1;

void checkRanges(std::span<const fnd::Range> ranges, fnd::Index length)
{
    for (auto r : ranges)
        check(r.location == fnd::NotFound || (r.location >= 0 && r.length >= 0 && r.max() <= length));
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const bool limited = (setMatchTimeLimitForCurrentThread(FuzzMatchTimeLimit), true);
    (void)limited;
    // Case-insensitive, comments, multiline, dot-all and Unicode word boundaries, as callers pass them.
    const ZRXRegexOptions options = (data[0] & (2 | 4 | 8 | 32)) | (data[0] & 1 ? 256 : 0);
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    auto next = [&rest] {
        auto end = rest.find('\0');
        auto part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        return fnd::String(part);
    };
    const auto patternBytes = rest.substr(0, rest.find('\0')).size();
    if (patternBytes > MostPatternBytes)
        return 0;
    const fnd::String pattern = next();
    const fnd::String replacement = next();
    fnd::String subject = next();
    if (subject.length() > MostSubjectUnits)
        return 0;

    auto valid = isRegexValid(pattern, options);
    auto count = captureCountForRegex(pattern, options);
    check(valid.has_value() == count.has_value());
    if (!valid) {
        check(valid.error().domain() == ZRXICURegexErrorDomain && valid.error().code() != 0);
        check(!componentsSeparatedByRegex(subject, pattern, options, ZRXWholeString));
        return 0;
    }
    check(*count >= 0);

    // ICU can also fail while searching (its backtracking stack is bounded, so "$^++" overflows it): that raises a
    // ZRXICURegexException, the documented answer, and must leave nothing broken behind.
    try {
        auto pieces = componentsSeparatedByRegex(subject, pattern, options, ZRXWholeString);
        check(pieces.has_value());
        fnd::Index total = 0;
        for (const auto& piece : *pieces)
            total += piece.length();
        check(total <= subject.length() * (*count + 1));

        auto groups = arrayOfCaptureComponentsMatchedByRegex(subject, pattern, options, ZRXWholeString);
        check(groups.has_value());
        for (const auto& group : *groups)
            check(static_cast<fnd::Index>(group.size()) == *count + 1);

        auto enumerated = enumerateStringsMatchedByRegex(
            subject, pattern, options, ZRXWholeString, 0, [&](auto strings, auto ranges, bool&) {
                check(strings.size() == ranges.size() && static_cast<fnd::Index>(ranges.size()) == *count + 1);
                checkRanges(ranges, subject.length());
            });
        check(enumerated.has_value());

        // Templates come from the input too: a malformed one raises, which is its documented answer.
        try {
            auto replaced = stringByReplacingOccurrencesOfRegex(subject, pattern, replacement, options, ZRXWholeString);
            check(replaced.has_value());
            auto copy = subject;
            auto replacedCount = replaceOccurrencesOfRegex(copy, pattern, replacement, options, ZRXWholeString);
            check(replacedCount.has_value() && *replacedCount >= 0);
            check(*replacedCount > 0 ? copy == *replaced : copy == subject);
        } catch (const fnd::Exception& e) {
            check(e.name() == ZRXICURegexException);
        }
        auto byBlock = stringByReplacingOccurrencesOfRegex(subject, pattern, options, ZRXWholeString, 0,
            [&](auto strings, auto, bool&) { return std::optional(strings[0] + replacement); });
        check(byBlock.has_value());
    } catch (const fnd::Exception& e) {
        check(e.name() == ZRXICURegexException);
    }
    return 0;
}
