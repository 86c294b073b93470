// Reads arbitrary bytes as the file names a drag's source answers for its promised files (one a line) and as the
// promised types on the drag pasteboard: every name let through must name an entry right inside the destination
// folder, whatever the bytes.
#include "platform/foundation/files/FileURL.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/FilePromise.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <filesystem>
#include <string>

namespace {

class FuzzPromisingSource : public fnd::Object, public ui::DraggingSource {
    FND_OBJECT(FuzzPromisingSource)
public:
    std::vector<fnd::String> namesOfPromisedFilesDroppedAtDestination(const fnd::String&) override { return names; }
    std::vector<fnd::String> names;
};
FND_REGISTER_CLASS(FuzzPromisingSource, fnd::Object)

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto source = std::make_shared<FuzzPromisingSource>();
    std::size_t start = 0;
    while (start <= bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        source->names.push_back(fnd::String(bytes.substr(start, end - start)));
        start = end + 1;
    }

    auto pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    pasteboard->declareTypes({ ui::PasteboardType::FilesPromise });
    pasteboard->setData(fnd::Data(bytes.data(), bytes.size()), ui::PasteboardType::FilesPromise);
    (void)ui::promisedFileTypes(*pasteboard);

    const std::filesystem::path folder = "/tmp/promised folder";
    ui::DropSession session(std::make_shared<gfx::Image>(), pasteboard, source, ui::DragOperations::Copy, false);
    for (const auto& name : session.namesOfPromisedFilesDroppedAtDestination(fnd::fileURLWithPath(folder.c_str()))) {
        const auto path = (folder / name.utf8()).lexically_normal();
        if (path.parent_path() != folder || path.filename().empty())
            __builtin_trap();
    }
    // A named pasteboard lives until released; one kept per input would read to the leak check as a leak.
    pasteboard->releaseGlobally();
    return 0;
}
