#pragma once

// What the source-list tests drag as promised files, and a folder view that takes them: shared by the tests that drop
// inside one program and the display tests that drop through the window system.

#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include "support/TemporaryFolder.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/View.h"

#include <fstream>
#include <vector>

namespace sourcelisttest {

// Writes every dragged item as "<title>.txt", holding "item <title>", into the folder DESTINATION names and answers
// the names; ITEM_OF turns a dragged value into its item.
template <typename ItemOf>
std::vector<fnd::String> writePromisedItemFiles(const fnd::String& destination, const fnd::Array& items, ItemOf itemOf)
{
    std::vector<fnd::String> names;
    auto folder = fnd::pathOfFileURL(destination);
    for (const auto& value : items) {
        auto item = itemOf(value);
        names.push_back(item->title() + ".txt");
        if (folder)
            std::ofstream(folder->utf8() + "/" + names.back().utf8()) << "item " << item->title().utf8();
    }
    return names;
}

}

// A folder view that takes promised files: it names its own folder when something is dropped on it and keeps the
// names it got back. Each test program registers it once (FND_REGISTER_CLASS at file scope).
class PromisedFilesFolder : public ui::View, public ui::DraggingDestination {
    FND_OBJECT(PromisedFilesFolder)
public:
    ui::DragOperation draggingEntered(ui::DraggingInfo&) override { return ui::DragOperations::Copy; }
    bool performDragOperation(ui::DraggingInfo& info) override
    {
        names = info.namesOfPromisedFilesDroppedAtDestination(fnd::fileURLWithPath(fnd::String(folder.path())));
        return true;
    }
    testsupport::TemporaryFolder folder;
    std::vector<fnd::String> names;
};
