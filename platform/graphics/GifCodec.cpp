#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/detail/ImageCodecs.h"

#include <gif_lib.h>

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// GIF holds up to 256 colours and one fully transparent index. Pixels below half alpha become that index; the rest
// keep their colour. A picture with few colours (a barcode has two, plus antialiasing shades) gets an exact palette;
// a richer one is reduced by median cut. GIF itself has no field for the resolution, so it travels as XMP in an
// application extension (the XMP specification's "XMP DataXMP" block, tiff:XResolution and tiff:YResolution), which
// common metadata readers understand; a GIF without one reads back at 72 dpi.

namespace gfx::detail {

namespace {

constexpr std::uint32_t rgbKey(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2];
}

struct ColorCount {
    std::array<std::uint8_t, 3> rgb;
    std::uint64_t count;
};

// Median cut (Heckbert): split the box with the widest channel range at its population median until there are as
// many boxes as wanted; each box gives its population-weighted mean.
std::vector<std::array<std::uint8_t, 3>> medianCut(std::vector<ColorCount> colors, std::size_t wanted)
{
    struct Box {
        std::size_t begin, end;
    };
    auto widest = [&](const Box& box, int& channel) {
        int best = -1;
        for (int c = 0; c < 3; ++c) {
            auto [lo, hi] = std::minmax_element(colors.begin() + box.begin, colors.begin() + box.end,
                [c](const ColorCount& a, const ColorCount& b) { return a.rgb[c] < b.rgb[c]; });
            int range = hi->rgb[c] - lo->rgb[c];
            if (range > best) {
                best = range;
                channel = c;
            }
        }
        return best;
    };
    std::vector<Box> boxes { { 0, colors.size() } };
    while (boxes.size() < wanted) {
        int bestRange = 0, bestChannel = 0;
        std::size_t bestBox = boxes.size();
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            int channel = 0;
            int range = widest(boxes[i], channel);
            if (range > bestRange) {
                bestRange = range;
                bestChannel = channel;
                bestBox = i;
            }
        }
        if (bestBox == boxes.size())
            break;
        Box box = boxes[bestBox];
        std::sort(colors.begin() + box.begin, colors.begin() + box.end,
            [c = bestChannel](const ColorCount& a, const ColorCount& b) { return a.rgb[c] < b.rgb[c]; });
        std::uint64_t total = 0, half = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            total += colors[i].count;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            half += colors[i].count;
            split = i + 1;
            if (half * 2 >= total)
                break;
        }
        boxes[bestBox] = { box.begin, split };
        boxes.push_back({ split, box.end });
    }
    std::vector<std::array<std::uint8_t, 3>> palette;
    for (const Box& box : boxes) {
        std::uint64_t sum[3] = {}, total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += std::uint64_t(colors[i].rgb[c]) * colors[i].count;
            total += colors[i].count;
        }
        palette.push_back({ std::uint8_t((sum[0] + total / 2) / total), std::uint8_t((sum[1] + total / 2) / total),
            std::uint8_t((sum[2] + total / 2) / total) });
    }
    return palette;
}

int writeBytes(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<fnd::Data*>(gif->UserData)->append(bytes, static_cast<std::size_t>(length));
    return length;
}

struct Input {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t position;
};

int readBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* input = static_cast<Input*>(gif->UserData);
    std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)), input->size - input->position);
    std::memcpy(out, input->bytes + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

constexpr std::string_view XmpApplication = "XMP DataXMP";

// A resolution as an XMP rational: whole dots per inch exactly, others to a thousandth.
std::string rational(double dpi)
{
    double whole = std::round(dpi);
    if (std::abs(dpi - whole) < 1e-9)
        return fmt::format("{}/1", static_cast<long long>(whole));
    return fmt::format("{}/1000", std::llround(dpi * 1000));
}

std::string xmpPacket(double dpiX, double dpiY)
{
    return fmt::format("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
                       "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
                       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                       "<rdf:Description rdf:about=\"\" xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" "
                       "tiff:XResolution=\"{}\" tiff:YResolution=\"{}\" tiff:ResolutionUnit=\"2\"/>"
                       "</rdf:RDF></x:xmpmeta><?xpacket end=\"r\"?>",
        rational(dpiX), rational(dpiY));
}

// XMP is stored raw, not in sub-blocks, followed by the "magic trailer" (1, then 255 down to 0, then the block
// terminator) so that a reader walking the bytes as sub-blocks always lands on the terminator. Read as sub-blocks,
// those bytes are a chain that ends on that terminator; writing the chain block by block gives the same bytes.
std::vector<std::string> xmpSubBlocks(const std::string& packet)
{
    std::string raw = packet;
    raw.push_back('\x01');
    for (int v = 255; v >= 0; --v)
        raw.push_back(static_cast<char>(v));
    std::vector<std::string> blocks;
    std::size_t at = 0;
    while (at < raw.size()) {
        std::size_t length = static_cast<unsigned char>(raw[at]);
        if (length == 0)
            break;
        blocks.push_back(raw.substr(at + 1, length));
        at += 1 + length;
    }
    return blocks;
}

// The value of an attribute such as tiff:XResolution="300/1", as a number.
std::optional<double> xmpNumber(std::string_view xmp, std::string_view name)
{
    std::string key = std::string(name) + "=\"";
    auto at = xmp.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    auto text = xmp.substr(at + key.size());
    text = text.substr(0, text.find('"'));
    double numerator = 0, denominator = 1;
    auto slash = text.find('/');
    auto [end, error] = std::from_chars(text.data(), text.data() + std::min(slash, text.size()), numerator);
    if (error != std::errc())
        return std::nullopt;
    if (slash != std::string_view::npos) {
        auto [e2, error2] = std::from_chars(text.data() + slash + 1, text.data() + text.size(), denominator);
        if (error2 != std::errc() || denominator == 0)
            return std::nullopt;
    }
    return numerator / denominator;
}

std::string gifMessage(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "Unknown GIF error.";
}

}

fnd::Expected<fnd::Data> encodeGif(const BitmapImageRep& rep)
{
    if (rep.pixelsWide() > 65535 || rep.pixelsHigh() > 65535)
        return std::unexpected(encodeError("GIF", "The image is larger than GIF allows."));
    auto converted = rep.layout() == BitmapLayout::RGBA ? nullptr : rep.converted(BitmapLayout::RGBA);
    const BitmapImageRep& pixels = converted ? *converted : rep;
    const long width = pixels.pixelsWide(), height = pixels.pixelsHigh();
    auto pixelAt = [&](long x, long y) { return pixels.bitmapData() + y * pixels.bytesPerRow() + x * 4; };

    std::unordered_map<std::uint32_t, std::uint64_t> histogram;
    bool transparent = false;
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            const std::uint8_t* p = pixelAt(x, y);
            if (p[3] < 128)
                transparent = true;
            else
                ++histogram[rgbKey(p)];
        }

    std::size_t room = transparent ? 255 : 256;
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::unordered_map<std::uint32_t, int> indexOf;
    if (histogram.size() <= room) {
        std::vector<std::uint32_t> keys;
        for (auto& [key, count] : histogram)
            keys.push_back(key);
        std::sort(keys.begin(), keys.end());
        for (auto key : keys) {
            indexOf[key] = static_cast<int>(palette.size());
            palette.push_back({ std::uint8_t(key >> 16), std::uint8_t(key >> 8), std::uint8_t(key) });
        }
    } else {
        std::vector<ColorCount> colors;
        colors.reserve(histogram.size());
        for (auto& [key, count] : histogram)
            colors.push_back({ { std::uint8_t(key >> 16), std::uint8_t(key >> 8), std::uint8_t(key) }, count });
        std::sort(colors.begin(), colors.end(),
            [](const ColorCount& a, const ColorCount& b) { return rgbKey(a.rgb.data()) < rgbKey(b.rgb.data()); });
        palette = medianCut(std::move(colors), room);
        for (auto& [key, count] : histogram) {
            int best = 0;
            long bestDistance = -1;
            for (std::size_t i = 0; i < palette.size(); ++i) {
                long dr = long(key >> 16 & 0xff) - palette[i][0], dg = long(key >> 8 & 0xff) - palette[i][1],
                     db = long(key & 0xff) - palette[i][2];
                long distance = dr * dr + dg * dg + db * db;
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    best = static_cast<int>(i);
                }
            }
            indexOf[key] = best;
        }
    }
    const int transparentIndex = static_cast<int>(palette.size());
    int used = static_cast<int>(palette.size()) + (transparent ? 1 : 0);
    int mapSize = 2;
    while (mapSize < used)
        mapSize *= 2;

    std::vector<GifColorType> entries(mapSize, GifColorType { 0, 0, 0 });
    for (std::size_t i = 0; i < palette.size(); ++i)
        entries[i] = { palette[i][0], palette[i][1], palette[i][2] };

    fnd::Data out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeBytes, &error);
    if (!gif)
        return std::unexpected(encodeError("GIF", gifMessage(error)));
    ColorMapObject* map = GifMakeMapObject(mapSize, entries.data());
    auto fail = [&](int code) -> fnd::Expected<fnd::Data> {
        GifFreeMapObject(map);
        int closeError = 0;
        EGifCloseFile(gif, &closeError);
        return std::unexpected(encodeError("GIF", gifMessage(code)));
    };
    if (!map)
        return fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, int(width), int(height), GifBitSize(mapSize), 0, map) == GIF_ERROR)
        return fail(gif->Error);
    Size dpi = writableResolution(rep.resolution());
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
        || EGifPutExtensionBlock(gif, int(XmpApplication.size()), XmpApplication.data()) == GIF_ERROR)
        return fail(gif->Error);
    for (const auto& block : xmpSubBlocks(xmpPacket(dpi.width, dpi.height)))
        if (EGifPutExtensionBlock(gif, int(block.size()), block.data()) == GIF_ERROR)
            return fail(gif->Error);
    if (EGifPutExtensionTrailer(gif) == GIF_ERROR)
        return fail(gif->Error);
    if (transparent) {
        GraphicsControlBlock control {};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.DelayTime = 0;
        control.TransparentColor = transparentIndex;
        GifByteType extension[4];
        std::size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_ERROR)
            return fail(gif->Error);
    }
    if (EGifPutImageDesc(gif, 0, 0, int(width), int(height), false, nullptr) == GIF_ERROR)
        return fail(gif->Error);
    std::vector<GifPixelType> line(width);
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            const std::uint8_t* p = pixelAt(x, y);
            line[x] = static_cast<GifPixelType>(p[3] < 128 ? transparentIndex : indexOf[rgbKey(p)]);
        }
        if (EGifPutLine(gif, line.data(), int(width)) == GIF_ERROR)
            return fail(gif->Error);
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        return std::unexpected(encodeError("GIF", gifMessage(error)));
    return out;
}

fnd::Expected<std::shared_ptr<BitmapImageRep>> decodeGif(const fnd::Data& data)
{
    Input input { data.bytes(), data.length(), 0 };
    int error = 0;
    GifFileType* gif = DGifOpen(&input, readBytes, &error);
    if (!gif)
        return std::unexpected(decodeError("GIF", gifMessage(error)));
    struct Closer {
        GifFileType* gif;
        ~Closer()
        {
            int ignored = 0;
            DGifCloseFile(gif, &ignored);
        }
    } closer { gif };

    if (auto sizeError
        = checkDecodedSize("GIF", std::uint64_t(std::max(gif->SWidth, 0)), std::uint64_t(std::max(gif->SHeight, 0))))
        return std::unexpected(*sizeError);

    // Record by record rather than DGifSlurp, so a frame's size is checked before its raster is allocated.
    GraphicsControlBlock control {};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    std::string xmp;
    std::vector<GifPixelType> raster;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
        if (type == TERMINATE_RECORD_TYPE)
            return std::unexpected(decodeError("GIF", "The file holds no image."));
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* extension = nullptr;
            if (DGifGetExtension(gif, &code, &extension) == GIF_ERROR)
                return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
            if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4)
                DGifExtensionToGCB(extension[0], extension + 1, &control);
            const bool isXmp = code == APPLICATION_EXT_FUNC_CODE && extension && extension[0] == XmpApplication.size()
                && std::memcmp(extension + 1, XmpApplication.data(), XmpApplication.size()) == 0;
            while (extension) {
                if (DGifGetExtensionNext(gif, &extension) == GIF_ERROR)
                    return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
                // The raw packet again: each block's length byte is part of it.
                if (isXmp && extension)
                    xmp.append(reinterpret_cast<const char*>(extension), std::size_t(extension[0]) + 1);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
        const GifImageDesc& desc = gif->Image;
        if (auto sizeError
            = checkDecodedSize("GIF", std::uint64_t(std::max(desc.Width, 0)), std::uint64_t(std::max(desc.Height, 0))))
            return std::unexpected(*sizeError);
        raster.assign(std::size_t(desc.Width) * std::size_t(desc.Height), 0);
        auto readRow = [&](int y) { return DGifGetLine(gif, raster.data() + std::size_t(y) * desc.Width, desc.Width); };
        if (desc.Interlace) {
            // The four passes of an interlaced GIF: every 8th row from 0, every 8th from 4, every 4th from 2,
            // every 2nd from 1.
            constexpr int start[] = { 0, 4, 2, 1 }, step[] = { 8, 8, 4, 2 };
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < desc.Height; y += step[pass])
                    if (readRow(y) == GIF_ERROR)
                        return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
        } else {
            for (int y = 0; y < desc.Height; ++y)
                if (readRow(y) == GIF_ERROR)
                    return std::unexpected(decodeError("GIF", gifMessage(gif->Error)));
        }
        break;
    }

    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map)
        return std::unexpected(decodeError("GIF", "The image has no colour table."));
    auto rep = BitmapImageRep::create(gif->SWidth, gif->SHeight, BitmapLayout::RGBA);
    if (!rep)
        return std::unexpected(decodeError("GIF", "The image is too large."));
    for (int y = 0; y < desc.Height; ++y) {
        long row = long(desc.Top) + y;
        if (row < 0 || row >= gif->SHeight)
            continue;
        for (int x = 0; x < desc.Width; ++x) {
            long column = long(desc.Left) + x;
            if (column < 0 || column >= gif->SWidth)
                continue;
            int index = raster[std::size_t(y) * desc.Width + x];
            if (index == control.TransparentColor || index >= map->ColorCount)
                continue;
            std::uint8_t* p = rep->bitmapData() + row * rep->bytesPerRow() + column * 4;
            const GifColorType& c = map->Colors[index];
            p[0] = c.Red;
            p[1] = c.Green;
            p[2] = c.Blue;
            p[3] = 255;
        }
    }
    auto dpiX = xmpNumber(xmp, "tiff:XResolution"), dpiY = xmpNumber(xmp, "tiff:YResolution");
    if (dpiX && dpiY) {
        double perInch = xmp.find("tiff:ResolutionUnit=\"3\"") != std::string::npos ? 2.54 : 1.0;
        applyResolution(*rep, snapResolution(*dpiX * perInch), snapResolution(*dpiY * perInch));
    }
    return rep;
}

}
