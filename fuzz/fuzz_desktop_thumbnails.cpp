// Reads arbitrary bytes as the desktop's thumbnail files read them: as a thumbnailer's description (its Exec line
// filled in for a file) or as a cached thumbnail's text chunks. Text put into a PNG must be read back first.
#include "platform/graphics/PngTextChunks.h"
#include "platform/graphics/SystemThumbnailer.h"
#include "platform/graphics/ThumbnailCache.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    fnd::Data data(bytes + 1, size - 1);
    if (bytes[0] & 1) {
        if (auto thumbnailer = gfx::SystemThumbnailer::parse(data, "fuzz")) {
            (void)thumbnailer->arguments("/tmp/in put", "file:///tmp/in%20put", "/tmp/out.png", 128);
            (void)thumbnailer->mimeTypes();
        }
        return 0;
    }
    auto text = gfx::PngTextChunks::read(data);
    (void)gfx::ThumbnailCache::describes(data, "file:///tmp/a", 1700000000);
    auto tagged = gfx::PngTextChunks::withText(data, { { "Thumb::URI", "file:///tmp/a" } });
    if (tagged.length() != data.length() && gfx::PngTextChunks::read(tagged)["Thumb::URI"] != "file:///tmp/a")
        std::abort();
    return 0;
}
