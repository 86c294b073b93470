#include "frameworks/FoundationExtensions/ZORNSFileManagerExtension.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"

namespace ZORNSFileManagerExtension {

namespace {

fnd::String firstFolder(fnd::SearchPathDirectory directory)
{
    auto folders = fnd::FileManager::defaultManager().searchPathForDirectory(directory);
    return folders.empty() ? fnd::String() : folders.front().stringByExpandingTildeInPath();
}

}

fnd::String documentsDirectory()
{
    return firstFolder(fnd::SearchPathDirectory::Documents);
}

fnd::String preferencesDirectory()
{
    return firstFolder(fnd::SearchPathDirectory::Library);
}

fnd::String usersDirectory()
{
    return firstFolder(fnd::SearchPathDirectory::Users);
}

fnd::String applicationSupportDirectory()
{
    return firstFolder(fnd::SearchPathDirectory::ApplicationSupport);
}

fnd::String temporaryFolder()
{
    return fnd::Paths::temporaryDirectory();
}

}
