// Pins the QR Code output: the grids of a few hundred random contents, made with a fixed seed, hash to digests
// taken from the encoder as it was before any speed work. A change of any module, mask choice, version or level
// anywhere in them changes a digest.
#include "barcodes/QR.h"
#include "barcodes/detail/QREncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Alphanumerics = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

enum class Kind { Numeric, Alphanumeric, Byte, Mixed };

// Random contents of one kind; std::mt19937_64 gives the same sequence everywhere, and only its raw output is used.
class ContentMaker {
public:
    explicit ContentMaker(std::uint64_t seed)
        : m_random(seed)
    {
    }

    std::string make(Kind kind)
    {
        // Lengths up to somewhat past what version 40 holds: half of them even over that range (mostly large
        // versions), half spread over every order of magnitude (the small versions).
        const std::size_t limit = kind == Kind::Numeric ? 7200
            : kind == Kind::Alphanumeric                ? 4400
            : kind == Kind::Byte                        ? 3000
                                                        : 3600;
        std::size_t length = below(2) == 0 ? below(limit + 1) : std::min(limit, spread(12));
        std::string out;
        while (out.size() < length) {
            Kind run = kind == Kind::Mixed ? static_cast<Kind>(below(3)) : kind;
            std::size_t runLength = kind == Kind::Mixed ? 1 + below(24) : length;
            for (std::size_t i = 0; i < runLength && out.size() < length; ++i)
                out += character(run);
        }
        return out;
    }

private:
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(m_random() % n); }
    // 0 to 2^maximumBits - 1, about as often in every power of two.
    std::size_t spread(int maximumBits)
    {
        auto bits = below(static_cast<std::size_t>(maximumBits) + 1);
        return bits == 0 ? 0 : (std::size_t { 1 } << (bits - 1)) + below(std::size_t { 1 } << (bits - 1));
    }
    char character(Kind kind)
    {
        switch (kind) {
        case Kind::Numeric:
            return static_cast<char>('0' + below(10));
        case Kind::Alphanumeric:
            return Alphanumerics[below(Alphanumerics.size())];
        default:
            return static_cast<char>(below(256)); // NUL and the high half included
        }
    }

    std::mt19937_64 m_random;
};

// FNV-1a, 64 bits.
class Digest {
public:
    void add(std::uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i) {
            m_hash ^= (value >> (8 * i)) & 0xFF;
            m_hash *= 0x100000001B3;
        }
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash { 0xCBF29CE484222325 };
};

// Content length, version, level, mask and every module; a content too long for any version adds its length only.
// Returns the version, 0 for none.
int addSymbol(Digest& digest, std::string_view content)
{
    digest.add(content.size(), 4);
    auto symbol = QREncoder::encode(content);
    if (!symbol)
        return 0;
    digest.add(static_cast<std::uint64_t>(symbol->version), 1);
    digest.add(static_cast<std::uint64_t>(symbol->level), 1);
    digest.add(static_cast<std::uint64_t>(symbol->mask), 1);
    for (int r = 0; r < symbol->size; ++r) {
        for (int c = 0; c < symbol->size; ++c)
            digest.add(symbol->dark(r, c) ? 1 : 0, 1);
    }
    return symbol->version;
}

}

TEST(QRGridDigest, RandomContentsOfEveryModeKeepTheirGrids)
{
    struct Case {
        Kind kind;
        const char* name;
        std::uint64_t digest;
    };
    // Taken before the encoder was made faster; they must never change.
    const Case cases[] = {
        { Kind::Numeric, "numeric", 0x73de9c0d4fe71408 },
        { Kind::Alphanumeric, "alphanumeric", 0x27c448eb8c5c016a },
        { Kind::Byte, "byte", 0x6df3452eb18aec0f },
        { Kind::Mixed, "mixed", 0x70c0f0f51656c56e },
    };
    constexpr int ContentsPerKind = 75;
    for (const auto& c : cases) {
        ContentMaker maker(27 + static_cast<std::uint64_t>(c.kind));
        Digest digest;
        int encoded = 0;
        int largest = 0;
        for (int i = 0; i < ContentsPerKind; ++i) {
            if (int version = addSymbol(digest, maker.make(c.kind))) {
                ++encoded;
                largest = std::max(largest, version);
            }
        }
        EXPECT_EQ(digest.value(), c.digest) << c.name << " contents; 0x" << std::hex << digest.value();
        // The set reaches the large versions, and most of it fits.
        EXPECT_GE(largest, 35) << c.name;
        EXPECT_GT(encoded, ContentsPerKind / 2) << c.name;
    }
}

// The class stores exactly the encoder's grid, for a small and the largest symbol.
TEST(QRGridDigest, BarcodeGridIsTheEncoderGrid)
{
    std::string accents;
    for (int i = 0; i < 1476; ++i)
        accents += "\xC3\xA9"; // 2952 bytes: version 40
    for (const std::string& content : { std::string("HELLO WORLD"), accents }) {
        auto barcode = std::dynamic_pointer_cast<QR>(TBQGenericBarcode::barcodeWithClassName("QR"));
        ASSERT_TRUE(barcode);
        barcode->setContent(fnd::String(content));
        auto symbol = QREncoder::encode(barcode->contentForEncoding().utf8());
        ASSERT_TRUE(symbol);
        const auto* grid = barcode->matrixSymbol();
        ASSERT_EQ(grid->rows, symbol->size);
        ASSERT_EQ(grid->width, symbol->size);
        for (int r = 0; r < symbol->size; ++r) {
            for (int c = 0; c < symbol->size; ++c)
                ASSERT_EQ(barcode->isModuleSetWithY(r, c), symbol->dark(r, c)) << r << "," << c;
        }
    }
}
