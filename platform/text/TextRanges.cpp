#include "platform/text/TextRanges.h"

#include "platform/foundation/runtime/Exception.h"

#include <unicode/ubrk.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace txt {

namespace {

template <typename IsEnd> fnd::Range enclosingRange(const fnd::String& string, fnd::Range range, IsEnd isEnd)
{
    const auto& u = string.units();
    const auto n = string.length();
    if (range.location < 0 || range.length < 0 || range.location > n || range.length > n - range.location)
        throw fnd::Exception::range("lineRangeForRange: range out of bounds");
    fnd::Index start = range.location;
    // A \n right after \r belongs to the same terminator.
    if (start > 0 && start < n && u[start] == u'\n' && u[start - 1] == u'\r')
        --start;
    while (start > 0 && !isEnd(u[start - 1]))
        --start;
    fnd::Index end = range.max();
    if (range.length > 0 && isEnd(u[end - 1])) {
        if (u[end - 1] == u'\r' && end < n && u[end] == u'\n')
            ++end;
        return { start, end - start };
    }
    while (end < n && !isEnd(u[end]))
        ++end;
    if (end < n) {
        ++end;
        if (u[end - 1] == u'\r' && end < n && u[end] == u'\n')
            ++end;
    }
    return { start, end - start };
}

}

namespace {

struct WordSegment {
    fnd::Index start;
    fnd::Index end;
    bool isWord; // letters, numbers, ideographs; not space or punctuation
};

struct BreakIteratorCloser {
    void operator()(UBreakIterator* b) const { ubrk_close(b); }
};

// The word-break segments of the paragraph holding index (absolute indexes).
std::vector<WordSegment> wordSegmentsOfParagraph(const fnd::String& string, fnd::Index index, fnd::Range* paragraph)
{
    thread_local std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UBreakIterator, BreakIteratorCloser> b(ubrk_open(UBRK_WORD, "", nullptr, 0, &status));
        if (U_FAILURE(status))
            throw fnd::Exception::internalInconsistency("the Unicode word break rules are missing");
        return b;
    }();
    *paragraph = paragraphRangeForRange(string, { index, 0 });
    std::vector<WordSegment> segments;
    if (paragraph->length == 0)
        return segments;
    UBreakIterator* it = iterator.get();
    UErrorCode status = U_ZERO_ERROR;
    const auto* units = string.units().data() + paragraph->location;
    ubrk_setText(it, units, static_cast<int32_t>(paragraph->length), &status);
    if (U_FAILURE(status))
        return segments;
    int32_t previous = ubrk_first(it);
    for (int32_t at = ubrk_next(it); at != UBRK_DONE; at = ubrk_next(it)) {
        bool word = ubrk_getRuleStatus(it) >= UBRK_WORD_NONE_LIMIT;
        segments.push_back({ paragraph->location + previous, paragraph->location + at, word });
        previous = at;
    }
    ubrk_setText(it, nullptr, 0, &status); // drop the pointer into the string
    return segments;
}

}

fnd::Index nextWordFromIndex(const fnd::String& string, fnd::Index index, bool forward)
{
    const auto n = string.length();
    index = std::clamp<fnd::Index>(index, 0, n);
    fnd::Range paragraph;
    if (forward) {
        while (index < n) {
            for (const auto& s : wordSegmentsOfParagraph(string, index, &paragraph))
                if (s.isWord && s.end > index)
                    return s.end;
            index = paragraph.max();
        }
        return n;
    }
    while (index > 0) {
        auto segments = wordSegmentsOfParagraph(string, index - 1, &paragraph);
        for (auto s = segments.rbegin(); s != segments.rend(); ++s)
            if (s->isWord && s->start < index)
                return s->start;
        index = paragraph.location;
    }
    return 0;
}

fnd::Range doubleClickAtIndex(const fnd::String& string, fnd::Index index)
{
    const auto n = string.length();
    if (n == 0)
        return { 0, 0 };
    index = std::clamp<fnd::Index>(index, 0, n - 1);
    fnd::Range paragraph;
    for (const auto& s : wordSegmentsOfParagraph(string, index, &paragraph))
        if (index >= s.start && index < s.end)
            return { s.start, s.end - s.start };
    return { index, 1 };
}

fnd::Range paragraphRangeForRange(const fnd::String& string, fnd::Range range)
{
    return enclosingRange(string, range, isParagraphSeparator);
}

fnd::Range lineRangeForRange(const fnd::String& string, fnd::Range range)
{
    return enclosingRange(string, range, [](char16_t c) { return isParagraphSeparator(c) || isLineSeparator(c); });
}

}
