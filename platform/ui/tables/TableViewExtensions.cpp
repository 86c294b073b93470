#include "platform/ui/tables/TableViewExtensions.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/tables/OutlineView.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

struct InstalledTableViewExtension {
    long token;
    TableViewExtension extension;
};

std::vector<InstalledTableViewExtension>& tableViewExtensions()
{
    static std::vector<InstalledTableViewExtension> installed;
    return installed;
}

bool tableViewExtensionApplies(const TableViewExtension& extension, TableView& view)
{
    return extension.scope == TableViewExtension::Scope::TableViews || dynamic_cast<OutlineView*>(&view);
}

// Wraps the view's own handling in the hooks that apply, the latest outermost. The hooks are copied first, so an
// extension installed or removed while one runs changes only later messages.
template <typename Result, typename Arg, typename Hook>
Result throughTableViewExtensions(
    TableView& view, Arg arg, Hook TableViewExtension::*member, const std::function<Result(Arg)>& own)
{
    std::function<Result(Arg)> chain = own;
    for (const auto& installed : std::vector(tableViewExtensions())) {
        const Hook& hook = installed.extension.*member;
        if (!hook || !tableViewExtensionApplies(installed.extension, view))
            continue;
        chain = [hook, next = std::move(chain), &view](Arg a) -> Result { return hook(view, a, next); };
    }
    return chain(arg);
}

}

long installTableViewExtension(TableViewExtension extension)
{
    static long lastToken = 0;
    tableViewExtensions().push_back({ ++lastToken, std::move(extension) });
    return lastToken;
}

void removeTableViewExtension(long token)
{
    std::erase_if(tableViewExtensions(), [token](const auto& installed) { return installed.token == token; });
}

namespace detail {

void keyDownThroughExtensions(TableView& view, const Event& event, const std::function<void(const Event&)>& own)
{
    throughTableViewExtensions<void, const Event&>(view, event, &TableViewExtension::keyDown, own);
}

std::shared_ptr<Menu> menuForEventThroughExtensions(
    TableView& view, const Event& event, const TableViewExtension::MenuNext& own)
{
    return throughTableViewExtensions<std::shared_ptr<Menu>, const Event&>(
        view, event, &TableViewExtension::menuForEvent, own);
}

void draggingExitedThroughExtensions(TableView& view, DraggingInfo& info, const std::function<void(DraggingInfo&)>& own)
{
    throughTableViewExtensions<void, DraggingInfo&>(view, info, &TableViewExtension::draggingExited, own);
}

void concludeDragOperationThroughExtensions(
    TableView& view, DraggingInfo& info, const std::function<void(DraggingInfo&)>& own)
{
    throughTableViewExtensions<void, DraggingInfo&>(view, info, &TableViewExtension::concludeDragOperation, own);
}

void textDidEndEditingThroughExtensions(
    TableView& view, const fnd::Notification& note, const std::function<void(const fnd::Notification&)>& own)
{
    throughTableViewExtensions<void, const fnd::Notification&>(view, note, &TableViewExtension::textDidEndEditing, own);
}

}

}
