#include "platform/ui/views/detail/StandardPanelActions.h"

namespace ui::detail {

std::shared_ptr<fnd::Object>& standardPanelActions()
{
    static std::shared_ptr<fnd::Object> actions;
    return actions;
}

}
