#include "frameworks/FoundationExtensions/detail/FormatterStrings.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Value.h"

#include <vector>

namespace ZFMFormatterStrings {

fnd::String text(const fnd::String& key, const fnd::String& defaultText)
{
    auto bundle = fnd::Bundle::mainBundle();
    if (!bundle)
        return defaultText.isEmpty() ? key : defaultText;
    return bundle->localizedStringForKey(key, defaultText, "ZORFormatters");
}

fnd::String fill(const fnd::String& format, std::initializer_list<fnd::String> strings)
{
    std::vector<fnd::Value> arguments(strings.begin(), strings.end());
    return fnd::String::format(format, arguments);
}

bool isFillableFormat(const fnd::String& format, std::size_t count)
{
    const std::u16string_view units = format.view();
    std::size_t inOrder = 0;
    for (std::size_t at = units.find(u'%'); at != std::u16string_view::npos; at = units.find(u'%', at)) {
        ++at;
        if (at < units.size() && units[at] == u'%') {
            ++at;
            continue;
        }
        std::size_t position = 0;
        const std::size_t digitsStart = at;
        while (at < units.size() && units[at] >= u'0' && units[at] <= u'9' && position <= count)
            position = position * 10 + (units[at++] - u'0');
        if (at > digitsStart) {
            if (at >= units.size() || units[at] != u'$' || position == 0 || position > count)
                return false;
            ++at;
        } else if (++inOrder > count) {
            return false;
        }
        if (at >= units.size() || units[at] != u'@')
            return false;
        ++at;
    }
    return true;
}

fnd::String methodNotImplemented()
{
    return text("Method Not Implemented");
}

}
