#include "platform/ui/controls/detail/BindingPlaceholders.h"

#include "platform/foundation/detail/PlatformText.h"

namespace ui::detail {

fnd::String defaultPlaceholder(fnd::SelectionMarker::Kind kind)
{
    switch (kind) {
    case fnd::SelectionMarker::Kind::NoSelection:
        return fnd::detail::platformText("No Selection", "Bindings");
    case fnd::SelectionMarker::Kind::MultipleValues:
        return fnd::detail::platformText("Multiple Values", "Bindings");
    case fnd::SelectionMarker::Kind::NotApplicable:
        break;
    }
    return fnd::detail::platformText("Not Applicable", "Bindings");
}

}
