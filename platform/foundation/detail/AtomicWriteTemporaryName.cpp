#include "platform/foundation/detail/AtomicWriteTemporaryName.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace fnd::detail {

namespace {

constexpr std::string_view TemporaryInfix = ".partial-";
constexpr std::size_t TemporaryRandomLength = 6;
constexpr std::size_t TemporaryTagLength = 16;
// What follows the target's name: the infix, the random part, "-" and the tag.
constexpr std::size_t TemporarySuffixLength = TemporaryInfix.size() + TemporaryRandomLength + 1 + TemporaryTagLength;

// 64-bit FNV-1a: no secret is needed, only a tag no person writes by chance or by hand.
std::string temporaryTagOf(std::string_view madeName, const FileIdentity& file)
{
    std::uint64_t hash = 0xcbf29ce484222325;
    auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 0x100000001b3; };
    for (char c : std::string_view("fnd::FileManager::writeAtomically"))
        mix(static_cast<unsigned char>(c));
    mix(0);
    for (char c : madeName)
        mix(static_cast<unsigned char>(c));
    mix(0);
    auto mixNumber = [&mix](std::uint64_t number) {
        for (int shift = 0; shift < 64; shift += 8)
            mix(static_cast<unsigned char>(number >> shift));
    };
    mixNumber(file.inode);
    mixNumber(static_cast<std::uint64_t>(file.bornSeconds));
    mixNumber(file.bornNanoseconds);
    char text[TemporaryTagLength + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(text, TemporaryTagLength);
}

bool isTemporaryRandomCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}

std::string atomicWriteCreationName(std::string_view targetName, long nameMax)
{
    const long room = nameMax - 1 - static_cast<long>(TemporarySuffixLength);
    std::size_t keep = std::min<std::size_t>(targetName.size(), room > 0 ? static_cast<std::size_t>(room) : 0);
    // Never inside a UTF-8 sequence: step back over continuation bytes.
    while (keep > 0 && keep < targetName.size() && (static_cast<unsigned char>(targetName[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + std::string(targetName.substr(0, keep)) + std::string(TemporaryInfix)
        + std::string(TemporaryRandomLength, 'X');
}

std::optional<FileIdentity> fileIdentity(int fd)
{
    struct statx info { };
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &info) != 0 || !(info.stx_mask & STATX_INO))
        return std::nullopt;
    FileIdentity identity { info.stx_ino };
    if (info.stx_mask & STATX_BTIME) {
        identity.bornSeconds = info.stx_btime.tv_sec;
        identity.bornNanoseconds = info.stx_btime.tv_nsec;
    }
    return identity;
}

std::string atomicWriteTaggedName(std::string_view madeName, const FileIdentity& file)
{
    return std::string(madeName) + "-" + temporaryTagOf(madeName, file);
}

bool hasAtomicWriteTemporaryForm(std::string_view name)
{
    if (name.size() < 1 + TemporarySuffixLength || name.front() != '.')
        return false;
    const auto made = name.substr(0, name.size() - 1 - TemporaryTagLength);
    const auto random = made.substr(made.size() - TemporaryRandomLength);
    const auto tag = name.substr(made.size() + 1);
    return name[made.size()] == '-'
        && made.substr(made.size() - TemporaryRandomLength - TemporaryInfix.size(), TemporaryInfix.size())
        == TemporaryInfix
        && std::all_of(random.begin(), random.end(), isTemporaryRandomCharacter)
        && std::all_of(tag.begin(), tag.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool isAtomicWriteTemporaryFile(std::string_view name, const FileIdentity& file)
{
    return hasAtomicWriteTemporaryForm(name)
        && name.substr(name.size() - TemporaryTagLength)
        == temporaryTagOf(name.substr(0, name.size() - 1 - TemporaryTagLength), file);
}

}
