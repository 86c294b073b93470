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

fnd::String methodNotImplemented()
{
    return text("Method Not Implemented");
}

}
