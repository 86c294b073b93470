#include "platform/foundation/runtime/String.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/detail/StringDetail.h"

#include <unicode/normalizer2.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>

namespace fnd {

using Options = StringCompareOptions;

namespace {

const icu::Normalizer2& nfd()
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || !n)
        throw Exception::internalInconsistency("the Unicode decomposition data is missing");
    return *n;
}

std::u16string decompose(std::u16string_view s)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString in(false, s.data(), static_cast<int32_t>(s.size()));
    icu::UnicodeString out = nfd().normalize(in, status);
    if (U_FAILURE(status))
        return std::u16string(s);
    return std::u16string(out.getBuffer(), static_cast<std::size_t>(out.length()));
}

std::u16string foldCase(std::u16string_view s)
{
    std::u16string out(s.size() + 8, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t n = u_strFoldCase(out.data(), static_cast<int32_t>(out.size()), s.data(),
            static_cast<int32_t>(s.size()), U_FOLD_CASE_DEFAULT, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(static_cast<std::size_t>(n));
            continue;
        }
        if (U_FAILURE(status))
            break;
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    return std::u16string(s);
}

// The comparable form of a piece of text: canonical decomposition unless Literal, case folding when
// CaseInsensitive (decomposed again afterwards, as folding may compose).
std::u16string comparable(std::u16string_view s, Options options)
{
    bool literal = hasOption(options, Options::Literal);
    bool caseless = hasOption(options, Options::CaseInsensitive);
    if (std::all_of(s.begin(), s.end(), [](char16_t u) { return u < 0x80; })) {
        std::u16string out(s);
        if (caseless)
            for (auto& u : out)
                u = (u >= 'A' && u <= 'Z') ? static_cast<char16_t>(u + 32) : u;
        return out;
    }
    std::u16string out = literal ? std::u16string(s) : decompose(s);
    if (caseless) {
        out = foldCase(out);
        if (!literal)
            out = decompose(out);
    }
    return out;
}

// Whether searching the text with these options is a plain search of its code units: always for Literal without
// case folding, and for text in which no character has a decomposition or a combining mark.
bool searchesLiterally(std::u16string_view a, std::u16string_view b, Options options)
{
    if (hasOption(options, Options::CaseInsensitive))
        return false;
    if (hasOption(options, Options::Literal))
        return true;
    auto plain = [](char16_t u) { return u < 0xC0; };
    return std::all_of(a.begin(), a.end(), plain) && std::all_of(b.begin(), b.end(), plain);
}

// The text in comparable form with, for each of its positions, the source offset when the position is the boundary
// of a segment (a character with its combining marks; a single code point under Literal), else -1. Matches must
// begin and end on such boundaries so that a match never takes part of a character.
struct SearchText {
    std::u16string text;
    std::vector<Index> source;
};

SearchText searchText(std::u16string_view s, Options options)
{
    bool literal = hasOption(options, Options::Literal);
    SearchText out;
    out.text.reserve(s.size());
    out.source.reserve(s.size() + 1);
    std::size_t i = 0, count;
    while (i < s.size()) {
        std::size_t start = i;
        char32_t c = detail::codePointAt(s, i, count);
        i += count;
        if (c < 0x80 && (i == s.size() || s[i] < 0x300)) {
            out.source.push_back(static_cast<Index>(start));
            bool fold = hasOption(options, Options::CaseInsensitive) && c >= 'A' && c <= 'Z';
            out.text += static_cast<char16_t>(fold ? c + 32 : c);
            continue;
        }
        if (!literal) {
            while (i < s.size()) {
                char32_t mark = detail::codePointAt(s, i, count);
                if (u_getCombiningClass(static_cast<UChar32>(mark)) == 0)
                    break;
                i += count;
            }
        }
        std::u16string piece = comparable(s.substr(start, i - start), options);
        if (piece.empty())
            continue;
        out.source.push_back(static_cast<Index>(start));
        out.source.insert(out.source.end(), piece.size() - 1, -1);
        out.text += piece;
    }
    out.source.push_back(static_cast<Index>(s.size()));
    return out;
}

// Matches of needle in the code units of hay, in search order, with offsets relative to hay; aligned(start, end)
// accepts a match. With all, later matches follow the earlier ones without overlapping; Anchored allows one match.
template <typename Aligned>
std::vector<Range> matchUnits(
    std::u16string_view hay, std::u16string_view needle, Options options, bool all, Aligned&& aligned)
{
    constexpr auto npos = std::u16string_view::npos;
    std::vector<Range> found;
    std::size_t m = needle.size();
    if (m == 0)
        return found;
    bool anchored = hasOption(options, Options::Anchored);
    if (anchored)
        all = false;
    if (hasOption(options, Options::Backwards)) {
        for (std::size_t end = hay.size(); end >= m;) {
            std::size_t k = npos;
            if (anchored) {
                if (hay.substr(end - m, m) == needle && aligned(end - m, end))
                    k = end - m;
            } else {
                for (std::size_t from = end - m;;) {
                    std::size_t c = hay.rfind(needle, from);
                    if (c == npos)
                        break;
                    if (aligned(c, c + m)) {
                        k = c;
                        break;
                    }
                    if (c == 0)
                        break;
                    from = c - 1;
                }
            }
            if (k == npos)
                break;
            found.push_back({ Index(k), Index(m) });
            if (!all)
                break;
            end = k;
        }
        return found;
    }
    for (std::size_t from = 0; from + m <= hay.size();) {
        std::size_t k = npos;
        if (anchored) {
            if (hay.substr(from, m) == needle && aligned(from, from + m))
                k = from;
        } else {
            for (std::size_t at = from;;) {
                std::size_t c = hay.find(needle, at);
                if (c == npos)
                    break;
                if (aligned(c, c + m)) {
                    k = c;
                    break;
                }
                at = c + 1;
            }
        }
        if (k == npos)
            break;
        found.push_back({ Index(k), Index(m) });
        if (!all)
            break;
        from = k + m;
    }
    return found;
}

// Matches of needle inside range of text, as ranges of text.
std::vector<Range> matches(std::u16string_view text, std::u16string_view needle, Options options, Range range, bool all)
{
    auto hay = text.substr(static_cast<std::size_t>(range.location), static_cast<std::size_t>(range.length));
    std::vector<Range> found;
    if (needle.empty() || hay.empty())
        return found;
    if (searchesLiterally(hay, needle, options)) {
        found = matchUnits(hay, needle, options, all, [](std::size_t, std::size_t) { return true; });
        for (Range& r : found)
            r.location += range.location;
        return found;
    }
    SearchText searchable = searchText(hay, options);
    std::u16string key = comparable(needle, options);
    const auto& source = searchable.source;
    found = matchUnits(searchable.text, key, options, all,
        [&](std::size_t a, std::size_t b) { return source[a] >= 0 && source[b] >= 0; });
    for (Range& r : found) {
        Index begin = source[static_cast<std::size_t>(r.location)];
        Index end = source[static_cast<std::size_t>(r.max())];
        r = { range.location + begin, end - begin };
    }
    return found;
}

std::weak_ordering compareUnits(std::u16string_view a, std::u16string_view b)
{
    return a.compare(b) <=> 0;
}

// The decimal value of a digit character, or -1.
int digitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c < 0x80)
        return -1;
    return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER ? u_charDigitValue(static_cast<UChar32>(c))
                                                                         : -1;
}

// Compares with runs of digits taken as numbers of any length (leading zeros do not count).
std::weak_ordering compareNumeric(std::u16string_view a, std::u16string_view b)
{
    std::size_t i = 0, j = 0, ca, cb;
    while (i < a.size() && j < b.size()) {
        char32_t x = detail::codePointAt(a, i, ca);
        char32_t y = detail::codePointAt(b, j, cb);
        if (digitValue(x) >= 0 && digitValue(y) >= 0) {
            std::vector<int> da, db;
            for (int d; i < a.size() && (d = digitValue(detail::codePointAt(a, i, ca))) >= 0; i += ca)
                if (d || !da.empty())
                    da.push_back(d);
            for (int d; j < b.size() && (d = digitValue(detail::codePointAt(b, j, cb))) >= 0; j += cb)
                if (d || !db.empty())
                    db.push_back(d);
            if (da.size() != db.size())
                return da.size() <=> db.size();
            if (auto c = da <=> db; c != 0)
                return c;
            continue;
        }
        if (a[i] != b[j])
            return a[i] <=> b[j];
        ++i;
        ++j;
    }
    return (a.size() - i) == 0 && (b.size() - j) == 0 ? std::weak_ordering::equivalent
        : (a.size() - i) == 0                         ? std::weak_ordering::less
                                                      : std::weak_ordering::greater;
}

struct BreakIteratorCloser {
    void operator()(UBreakIterator* b) const { ubrk_close(b); }
};

UBreakIterator* characterBreaks()
{
    thread_local std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UBreakIterator, BreakIteratorCloser> b(ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
        if (U_FAILURE(status))
            throw Exception::internalInconsistency("the Unicode break rules are missing");
        return b;
    }();
    return iterator.get();
}

}

Range String::rangeOfString(const String& needle, StringCompareOptions options) const
{
    return rangeOfString(needle, options, { 0, length() });
}

Range String::rangeOfString(const String& needle, StringCompareOptions options, Range range) const
{
    detail::checkRange(range, length());
    auto found = matches(view(), needle.view(), options, range, false);
    return found.empty() ? Range::notFound() : found.front();
}

Range String::rangeOfCharacterFromSet(const CharacterSet& set, StringCompareOptions options) const
{
    return rangeOfCharacterFromSet(set, options, { 0, length() });
}

Range String::rangeOfCharacterFromSet(const CharacterSet& set, StringCompareOptions options, Range range) const
{
    detail::checkRange(range, length());
    bool caseless = hasOption(options, Options::CaseInsensitive);
    auto member = [&](char32_t c) {
        if (set.longCharacterIsMember(c))
            return true;
        if (!caseless)
            return false;
        auto u = static_cast<UChar32>(c);
        for (UChar32 variant : { u_tolower(u), u_toupper(u), u_totitle(u), u_foldCase(u, U_FOLD_CASE_DEFAULT) })
            if (set.longCharacterIsMember(static_cast<char32_t>(variant)))
                return true;
        return false;
    };
    auto text = view().substr(0, static_cast<std::size_t>(range.max()));
    auto begin = static_cast<std::size_t>(range.location);
    bool anchored = hasOption(options, Options::Anchored);
    std::size_t count;
    if (hasOption(options, Options::Backwards)) {
        for (std::size_t end = text.size(); end > begin; end -= count) {
            char32_t c = detail::codePointBefore(text.substr(begin), end - begin, count);
            if (member(c))
                return { Index(end - count), Index(count) };
            if (anchored)
                break;
        }
        return Range::notFound();
    }
    for (std::size_t i = begin; i < text.size(); i += count) {
        if (member(detail::codePointAt(text, i, count)))
            return { Index(i), Index(count) };
        if (anchored)
            break;
    }
    return Range::notFound();
}

bool String::hasPrefix(const String& prefix) const
{
    return view().starts_with(prefix.view());
}
bool String::hasSuffix(const String& suffix) const
{
    return view().ends_with(suffix.view());
}

std::weak_ordering String::compare(const String& other, StringCompareOptions options) const
{
    return compare(other, options, { 0, length() });
}

std::weak_ordering String::compare(const String& other, StringCompareOptions options, Range range) const
{
    detail::checkRange(range, length());
    auto self = view().substr(static_cast<std::size_t>(range.location), static_cast<std::size_t>(range.length));
    bool numeric = hasOption(options, Options::Numeric);
    if (!numeric && searchesLiterally(self, other.view(), options))
        return compareUnits(self, other.view());
    std::u16string a = comparable(self, options);
    std::u16string b = comparable(other.view(), options);
    return numeric ? compareNumeric(a, b) : compareUnits(a, b);
}

std::weak_ordering String::caseInsensitiveCompare(const String& other) const
{
    return compare(other, Options::CaseInsensitive);
}

Range String::rangeOfComposedCharacterSequenceAtIndex(Index index) const
{
    detail::checkIndex(index, length());
    auto i = static_cast<std::size_t>(index);
    auto n = m_units.size();
    char16_t u = m_units[i];
    // ASCII is settled without the break rules: only CR LF joins it with a neighbour, characters that extend the
    // one before them all lie at or above U+0300, and characters that join the one after them at or above U+0600.
    if (u < 0x80) {
        if (u == '\n' && i > 0 && m_units[i - 1] == '\r')
            return { index - 1, 2 };
        if (u == '\r' && i + 1 < n && m_units[i + 1] == '\n')
            return { index, 2 };
        bool control = u < 0x20 || u == 0x7F;
        if (control || ((i == 0 || m_units[i - 1] < 0x600) && (i + 1 == n || m_units[i + 1] < 0x300)))
            return { index, 1 };
    }
    UBreakIterator* breaks = characterBreaks();
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(breaks, m_units.data(), static_cast<int32_t>(n), &status);
    if (U_FAILURE(status))
        return { index, 1 };
    // ICU moves offsets inside a surrogate pair to the pair's start, so start from there.
    if (i > 0 && detail::isTrailSurrogate(m_units[i]) && detail::isLeadSurrogate(m_units[i - 1]))
        --i;
    auto at = static_cast<int32_t>(i);
    int32_t start = ubrk_isBoundary(breaks, at) ? at : ubrk_preceding(breaks, at);
    int32_t end = ubrk_following(breaks, start);
    ubrk_setText(breaks, nullptr, 0, &status); // drop the pointer into this string
    if (start == UBRK_DONE || end == UBRK_DONE || end <= start)
        return { index, 1 };
    return { start, end - start };
}

Range String::rangeOfComposedCharacterSequencesForRange(Range r) const
{
    detail::checkRange(r, length());
    if (r.location == length())
        return r;
    Index start = rangeOfComposedCharacterSequenceAtIndex(r.location).location;
    if (r.length == 0)
        return { start, 0 };
    Index end = rangeOfComposedCharacterSequenceAtIndex(r.max() - 1).max();
    return { start, end - start };
}

String String::stringByReplacingOccurrencesOfString(
    const String& target, const String& replacement, StringCompareOptions options) const
{
    return stringByReplacingOccurrencesOfString(target, replacement, options, { 0, length() });
}

String String::stringByReplacingOccurrencesOfString(
    const String& target, const String& replacement, StringCompareOptions options, Range range) const
{
    String copy = *this;
    copy.replaceOccurrencesOfString(target, replacement, options, range);
    return copy;
}

Index String::replaceOccurrencesOfString(
    const String& target, const String& replacement, StringCompareOptions options, Range range)
{
    detail::checkRange(range, length());
    std::vector<Range> found = matches(view(), target.view(), options, range, true);
    if (found.empty())
        return 0;
    if (hasOption(options, Options::Backwards))
        std::reverse(found.begin(), found.end());
    std::u16string out;
    out.reserve(m_units.size() + found.size() * replacement.m_units.size());
    std::size_t copied = 0;
    for (const Range& r : found) {
        out.append(m_units, copied, static_cast<std::size_t>(r.location) - copied);
        out += replacement.m_units;
        copied = static_cast<std::size_t>(r.max());
    }
    out.append(m_units, copied);
    m_units = std::move(out);
    return static_cast<Index>(found.size());
}

}
