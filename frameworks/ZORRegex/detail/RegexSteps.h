#pragma once

// The steps the operations are made of: collecting match ranges, turning ranges into strings, arrays and
// dictionaries, and template replacement.

#include "frameworks/ZORRegex/detail/RegexCore.h"

#include <span>
#include <vector>

namespace ZRXRegexCore {

// Operation codes: the low four bits choose the operation, higher bits are flags.
enum RegexOp : int {
    SplitOp = 1, // the pieces between matches, each followed by the match's captures
    ReplaceOp = 2, // template replacement
    RangeOp = 3, // the range of the first match or of one capture of it
    ArrayOfStringsOp = 4, // every match, or one capture of every match
    ArrayOfCapturesOp = 5, // every match with its captures, one group each
    CapturesArrayOp = 6, // the first match and its captures
    DictionaryOfCapturesOp = 7, // keyed captures of the first match
    ArrayOfDictionariesOp = 8, // keyed captures of every match
    OpMask = 15,
    MutableReplaceFlag = 16, // with ReplaceOp: the result goes back into the receiver
};

struct FindAll {
    std::vector<fnd::Range> ranges;
    // Matches taken, and the most to take.
    fnd::Index found { 0 };
    fnd::Index findUpTo { fnd::NotFound };
    // The capture ArrayOfStringsOp collects.
    fnd::Index capture { 0 };
    // Trailing split pieces added after the last match.
    fnd::Index addedSplitRanges { 0 };
    fnd::Range findInRange;
};

// Repeated search steps over findInRange, storing per match (by the operation): the piece before it and its
// captures (split), the match and its captures, or one capture. A capture that took no part is {NotFound, 0}.
// Splitting skips an empty match where the previous one ended, adds the piece after the last match when there is
// text left, and otherwise drops the trailing empty pieces.
void findRanges(Matcher& matcher, int op, FindAll& findAll, UErrorCode& status);

// One string per range ("" for an empty range or one that took no part).
fnd::StringArray makeStrings(std::span<const fnd::Range> ranges, const fnd::String& subject);
// The same, grouped by groupSize.
std::vector<fnd::StringArray> makeGroups(
    std::span<const fnd::Range> ranges, std::size_t groupSize, const fnd::String& subject);
// One dictionary per group of ranges: key i maps to the string of capture i (no entry when it took no part).
std::vector<fnd::Dictionary> makeDictionaries(std::span<const fnd::Range> ranges, std::size_t groupSize,
    const fnd::String& subject, std::span<const fnd::String> keys, std::span<const std::int32_t> captures);

// The matcher's text (the range of the subject) with every match replaced by the template; replacedCount gets the
// number of matches. nullopt with a pending exception when the lengths exceed what ICU takes; an ICU failure (a
// malformed template) is left in status.
std::optional<fnd::String> replaceString(Matcher& matcher, const fnd::String& replacement, const fnd::String& subject,
    fnd::Range range, fnd::Index& replacedCount, UErrorCode& status, Pending& pending);

}
