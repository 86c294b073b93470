#include "platform/ui/dragging/FilePromise.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

void declareFilePromise(Pasteboard& pasteboard, const std::vector<fnd::String>& fileTypes)
{
    fnd::Array types;
    for (const auto& type : fileTypes)
        types.push_back(fnd::Value(type));
    pasteboard.addTypes({ PasteboardType::FilesPromise });
    pasteboard.setPropertyList(fnd::Value(types), PasteboardType::FilesPromise);
}

bool hasFilePromise(const Pasteboard& pasteboard)
{
    auto types = pasteboard.types();
    return std::ranges::find(types, PasteboardType::FilesPromise) != types.end();
}

std::vector<fnd::String> promisedFileTypes(Pasteboard& pasteboard)
{
    std::vector<fnd::String> types;
    if (!hasFilePromise(pasteboard))
        return types;
    auto list = pasteboard.propertyListForType(PasteboardType::FilesPromise);
    if (const auto* array = list.array())
        for (const auto& type : *array)
            if (type.isString())
                types.push_back(type.stringValue());
    return types;
}

bool isPromisedFileName(const fnd::String& name)
{
    const std::string bytes = name.utf8();
    return !bytes.empty() && bytes != "." && bytes != ".." && bytes.find('/') == std::string::npos
        && bytes.find('\0') == std::string::npos;
}

std::vector<fnd::String> fulfilFilePromise(DraggingSource& source, const fnd::String& destinationURL)
{
    std::vector<fnd::String> names;
    for (auto& name : source.namesOfPromisedFilesDroppedAtDestination(destinationURL)) {
        if (isPromisedFileName(name))
            names.push_back(std::move(name));
        else
            fnd::log(fnd::LogLevel::Warning, "A promised file name that leaves its folder is ignored: " + name);
    }
    return names;
}

std::vector<fnd::String> DraggingInfo::namesOfPromisedFilesDroppedAtDestination(const fnd::String& destinationURL)
{
    auto* source = dynamic_cast<DraggingSource*>(draggingSource().get());
    auto pasteboard = draggingPasteboard();
    if (!source || !pasteboard || !hasFilePromise(*pasteboard))
        return {};
    return fulfilFilePromise(*source, destinationURL);
}

std::optional<fnd::String> makeFilePromiseFolder()
{
    const std::string base = fnd::Paths::cacheHome().utf8() + "/barcodes-drags";
    if (!fnd::FileManager::defaultManager().createDirectory(fnd::String(base)))
        return std::nullopt;
    std::string pattern = base + "/promise-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return std::nullopt;
    return fnd::String(pattern);
}

std::vector<fnd::String> fulfilFilePromiseInNewFolder(DraggingSource& source)
{
    std::vector<fnd::String> paths;
    auto folder = makeFilePromiseFolder();
    if (!folder)
        return paths;
    auto& files = fnd::FileManager::defaultManager();
    for (const auto& name : fulfilFilePromise(source, fnd::fileURLWithPath(*folder))) {
        fnd::String path = *folder + "/" + name;
        if (files.fileExists(path))
            paths.push_back(path);
    }
    return paths;
}

}
