#include "frameworks/FoundationExtensions/ui/ZORInterfaceLoading.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/interface/InterfaceLocalization.h"

namespace ZORInterfaceLoading {

fnd::Expected<ui::InterfaceFile::Contents> load(
    const fnd::String& name, const std::shared_ptr<fnd::Object>& owner, const fnd::String& table)
{
    auto contents = ui::InterfaceFile::loadNamed(name, owner);
    if (!contents)
        return contents;
    if (auto bundle = fnd::Bundle::bundleForClass(owner->className()))
        ui::localizeInterface(*contents, *bundle, table);
    return contents;
}

void loadOrRaise(const fnd::String& name, const std::shared_ptr<fnd::Object>& owner, const fnd::String& table,
    const fnd::String& reason)
{
    auto contents = load(name, owner, table);
    if (contents)
        return;
    fnd::logf(fnd::LogLevel::Error, "{}", contents.error().localizedDescription().utf8());
    throw fnd::Exception(ViewInitializationFailed, reason);
}

}
