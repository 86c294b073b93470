#include "frameworks/FoundationExtensions/QFAppKitExtensions.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"

namespace QFAppKitExtensions {

void setColor(fnd::UserDefaults& defaults, const gfx::ColorPtr& color, const fnd::String& key)
{
    if (!color) {
        defaults.removeObjectForKey(key);
        return;
    }
    auto data = fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(color));
    if (!data) {
        fnd::logf(fnd::LogLevel::Error, "The colour for {} could not be archived: {}", key.utf8(),
            data.error().localizedDescription().utf8());
        return;
    }
    defaults.setObject(*data, key);
}

gfx::ColorPtr colorForKey(const fnd::UserDefaults& defaults, const fnd::String& key)
{
    auto data = defaults.dataForKey(key);
    if (!data)
        return nullptr;
    return fnd::SequentialUnarchiver::unarchiveObjectWithData(*data).objectAs<gfx::Color>();
}

}
