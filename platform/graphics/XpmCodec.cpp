#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <fmt/format.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// XPM is C source: an array of strings holding the header ("width height colours characters-per-pixel"), one line
// per colour and one line per row of pixels. The desktop's image library reads it, colour names included, from such
// an array. It trusts the array to hold what the header announces, so the header is checked here first against
// what the data holds: every line it needs is there and long enough, so the picture it makes is no larger than the
// data allows.

namespace gfx::detail {

namespace {

struct XpmPixbufUnref {
    void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};

// The string literals of the source in order, without comments; at most `limit` of them.
std::vector<std::string> xpmStrings(std::string_view text, std::size_t limit)
{
    std::vector<std::string> strings;
    std::size_t i = 0;
    while (i < text.size() && strings.size() < limit) {
        if (text.compare(i, 2, "/*") == 0) {
            auto end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (text.compare(i, 2, "//") == 0) {
            auto end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end + 1;
        } else if (text[i] == '"') {
            std::string literal;
            ++i;
            while (i < text.size() && text[i] != '"') {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                // A NUL would end the string early for the library; it is no character of XPM.
                if (text[i] == '\0')
                    return {};
                literal.push_back(text[i++]);
            }
            if (i >= text.size())
                return {}; // an unterminated string
            ++i;
            strings.push_back(std::move(literal));
        } else {
            ++i;
        }
    }
    return strings;
}

bool xpmNumber(std::string_view& text, std::uint64_t& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return false;
    text.remove_prefix(std::size_t(end - text.data()));
    return true;
}

// The library's XPM loader, which a system may lack.
bool xpmLoaderInstalled()
{
    static const bool installed = [] {
        bool found = false;
        GSList* formats = gdk_pixbuf_get_formats();
        for (GSList* entry = formats; entry; entry = entry->next) {
            gchar* name = gdk_pixbuf_format_get_name(static_cast<GdkPixbufFormat*>(entry->data));
            found = found || std::strcmp(name, "xpm") == 0;
            g_free(name);
        }
        g_slist_free(formats);
        return found;
    }();
    return installed;
}

}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeXpm(const fnd::Data& data)
{
    auto header = xpmStrings(data.view(), 1);
    if (header.empty())
        return std::unexpected(decodeError("XPM", "The data holds no header."));
    std::string_view fields = header.front();
    std::uint64_t width = 0, height = 0, colours = 0, charsPerPixel = 0;
    if (!xpmNumber(fields, width) || !xpmNumber(fields, height) || !xpmNumber(fields, colours)
        || !xpmNumber(fields, charsPerPixel))
        return std::unexpected(decodeError("XPM", "The header does not give the size, colours and characters."));
    if (auto sizeError = checkDecodedSize("XPM", width, height))
        return std::unexpected(*sizeError);
    // The library's own bounds on these two.
    if (charsPerPixel < 1 || charsPerPixel > 31)
        return std::unexpected(decodeError("XPM", fmt::format("{} characters a pixel is not allowed.", charsPerPixel)));
    if (colours < 1 || colours > data.length())
        return std::unexpected(decodeError("XPM", fmt::format("{} colours do not fit the data.", colours)));
    const std::uint64_t lines = 1 + colours + height;
    if (lines > data.length())
        return std::unexpected(decodeError("XPM", "The data holds fewer lines than the header announces."));
    auto strings = xpmStrings(data.view(), std::size_t(lines));
    if (strings.size() < lines)
        return std::unexpected(decodeError("XPM", "The data holds fewer lines than the header announces."));
    for (std::size_t i = 1; i <= colours; ++i)
        if (strings[i].size() < charsPerPixel)
            return std::unexpected(decodeError("XPM", fmt::format("Colour line {} is too short.", i)));
    for (std::size_t i = 1 + colours; i < lines; ++i)
        if (strings[i].size() < width * charsPerPixel)
            return std::unexpected(decodeError("XPM", fmt::format("Row {} is shorter than the width.", i - colours)));
    if (!xpmLoaderInstalled())
        return std::unexpected(decodeError("XPM", "No XPM loader is installed for the desktop's image library."));

    std::vector<const char*> array;
    array.reserve(strings.size() + 1);
    for (const auto& line : strings)
        array.push_back(line.c_str());
    array.push_back(nullptr);
    std::unique_ptr<GdkPixbuf, XpmPixbufUnref> pixbuf(gdk_pixbuf_new_from_xpm_data(array.data()));
    if (!pixbuf || gdk_pixbuf_get_colorspace(pixbuf.get()) != GDK_COLORSPACE_RGB
        || gdk_pixbuf_get_bits_per_sample(pixbuf.get()) != 8 || gdk_pixbuf_get_n_channels(pixbuf.get()) < 3)
        return std::unexpected(decodeError("XPM", "The desktop's image library could not read it."));

    const int columns = gdk_pixbuf_get_width(pixbuf.get()), rows = gdk_pixbuf_get_height(pixbuf.get());
    const int channels = gdk_pixbuf_get_n_channels(pixbuf.get()), stride = gdk_pixbuf_get_rowstride(pixbuf.get());
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf.get());
    auto rep = BitmapImageRep::create(columns, rows, BitmapLayout::RGBA);
    if (!rep)
        return std::unexpected(decodeError("XPM", "The image is too large."));
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf.get());
    for (int y = 0; y < rows; ++y) {
        const guchar* from = pixels + std::ptrdiff_t(y) * stride;
        std::uint8_t* to = rep->bitmapData() + y * rep->bytesPerRow();
        for (int x = 0; x < columns; ++x, from += channels, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = alpha ? from[3] : 255;
        }
    }
    return rep;
}

}
