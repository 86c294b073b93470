#include "platform/graphics/PngTextChunks.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace gfx::PngTextChunks {

namespace {

constexpr std::array<std::uint8_t, 8> PngTextChunksSignature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };

std::uint32_t PngTextChunksBigEndian(const std::uint8_t* bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

void PngTextChunksAppendBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xff);
}

bool PngTextChunksIsPng(const fnd::Data& png)
{
    return png.length() >= PngTextChunksSignature.size()
        && std::memcmp(png.bytes(), PngTextChunksSignature.data(), PngTextChunksSignature.size()) == 0;
}

bool PngTextChunksValidKeyword(const std::string& keyword)
{
    if (keyword.empty() || keyword.size() > 79)
        return false;
    for (unsigned char c : keyword)
        if (c < 32 || (c > 126 && c < 161))
            return false;
    return true;
}

}

std::map<std::string, std::string> read(const fnd::Data& png)
{
    std::map<std::string, std::string> text;
    if (!PngTextChunksIsPng(png))
        return text;
    const std::uint8_t* bytes = png.bytes();
    std::size_t size = png.length();
    std::size_t position = PngTextChunksSignature.size();
    while (size - position >= 12) {
        std::uint32_t length = PngTextChunksBigEndian(bytes + position);
        if (length > size - position - 12)
            break;
        const std::uint8_t* type = bytes + position + 4;
        const char* data = reinterpret_cast<const char*>(bytes + position + 8);
        std::uint32_t stored = PngTextChunksBigEndian(bytes + position + 8 + length);
        // The checksum covers the type and the data: a chunk that fails it is damaged, and so is what follows.
        if (std::uint32_t(crc32(crc32(0, nullptr, 0), type, length + 4)) != stored)
            break;
        std::string_view chunk(data, length);
        std::string_view kind(reinterpret_cast<const char*>(type), 4);
        auto nul = chunk.find('\0');
        if (kind == "tEXt" && nul != std::string_view::npos) {
            text.emplace(std::string(chunk.substr(0, nul)), std::string(chunk.substr(nul + 1)));
        } else if (kind == "iTXt" && nul != std::string_view::npos && chunk.size() > nul + 2 && chunk[nul + 1] == 0) {
            // keyword NUL, compression flag (0), method, language NUL, translated keyword NUL, text.
            auto rest = chunk.substr(nul + 3);
            auto language = rest.find('\0');
            auto translated = language == std::string_view::npos ? language : rest.find('\0', language + 1);
            if (translated != std::string_view::npos)
                text.emplace(std::string(chunk.substr(0, nul)), std::string(rest.substr(translated + 1)));
        } else if (kind == "IEND") {
            break;
        }
        position += 12 + std::size_t(length);
    }
    return text;
}

fnd::Data withText(const fnd::Data& png, const std::vector<std::pair<std::string, std::string>>& text)
{
    // The header chunk (IHDR) always comes first and has 13 bytes of data.
    constexpr std::size_t headerEnd = PngTextChunksSignature.size() + 12 + 13;
    // A damaged header is left alone: the text would sit behind a chunk that readers stop at.
    if (!PngTextChunksIsPng(png) || png.length() < headerEnd || PngTextChunksBigEndian(png.bytes() + 8) != 13
        || std::memcmp(png.bytes() + 12, "IHDR", 4) != 0
        || std::uint32_t(crc32(crc32(0, nullptr, 0), png.bytes() + 12, 17)) != PngTextChunksBigEndian(png.bytes() + 29))
        return png;
    std::string chunks;
    for (const auto& [keyword, value] : text) {
        if (!PngTextChunksValidKeyword(keyword))
            continue;
        std::string body = "tEXt" + keyword + '\0' + value;
        PngTextChunksAppendBigEndian(chunks, std::uint32_t(body.size() - 4));
        chunks += body;
        PngTextChunksAppendBigEndian(chunks,
            std::uint32_t(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    }
    fnd::Data out(png.bytes(), headerEnd);
    out.append(reinterpret_cast<const std::uint8_t*>(chunks.data()), chunks.size());
    out.append(png.bytes() + headerEnd, png.length() - headerEnd);
    return out;
}

}
