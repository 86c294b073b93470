#include "platform/text/TextRanges.h"

#include "platform/foundation/Exception.h"

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

fnd::Range paragraphRangeForRange(const fnd::String& string, fnd::Range range)
{
    return enclosingRange(string, range, isParagraphSeparator);
}

fnd::Range lineRangeForRange(const fnd::String& string, fnd::Range range)
{
    return enclosingRange(string, range, [](char16_t c) { return isParagraphSeparator(c) || isLineSeparator(c); });
}

}
