#include "frameworks/ZORCrypto/ZORCrypto.h"

#include "platform/foundation/TestSupport.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// Lengths around the block sizes (8 and 16) and one of many blocks.
constexpr std::size_t ClearTextLengths[] = { 0, 1, 7, 8, 9, 15, 16, 17, 1000 };

std::string clearTextOfLength(std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + (i * 7) % 26);
    return text;
}

std::string shownText(const std::optional<fnd::Data>& data)
{
    return data ? std::string(data->view()) : std::string("<none>");
}

// Every name of the cipher, upper-cased and joined, so a mode can be told from any of them.
std::string allNamesOf(const EVP_CIPHER* cipher)
{
    std::string names;
    EVP_CIPHER_names_do_all(
        cipher,
        [](const char* name, void* into) {
            auto& joined = *static_cast<std::string*>(into);
            joined += ' ';
            for (const char* c = name; *c; ++c)
                joined += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        },
        &names);
    return names + ' ';
}

// Whether a clear text of the length can be encrypted with the cipher, from what its mode is defined to take.
bool cipherTakes(const EVP_CIPHER* cipher, std::size_t length)
{
    if (length == 0)
        return false; // nothing to work on
    if (EVP_CIPHER_get_flags(cipher) & EVP_CIPH_FLAG_AEAD_CIPHER)
        return false; // a tag has no place in the cipher text
    const auto names = allNamesOf(cipher);
    switch (EVP_CIPHER_get_mode(cipher)) {
    case EVP_CIPH_XTS_MODE:
        return length >= 16; // at least one whole block
    case EVP_CIPH_WRAP_MODE:
        if (names.find("WRAP-PAD") != std::string::npos)
            return true; // padded to whole half-blocks
        if (names.find("DES3-WRAP") != std::string::npos)
            return length % 8 == 0;
        return length % 8 == 0 && length >= 16; // two half-blocks or more
    default:
        // Ciphertext stealing needs one whole block to steal from.
        return names.find("-CTS ") == std::string::npos || length >= 16;
    }
}

// Key wrapping once wrote past the end of its output (a wrapped text is longer than the text and a block) and still
// answered success with a text that never decrypted. Every cipher of the library, under every name it has, takes a
// text and gives it back, or refuses it and keeps the cipher text it held.
TEST(Crypto, EveryCipherTheLibraryNamesGivesItsTextBackOrRefusesIt)
{
    const auto ciphers = ZORCryptoDetail::libraryCiphers();
    ASSERT_GT(ciphers.size(), 100u);
    std::size_t roundTrips = 0;
    for (const auto& [name, keyLength] : ciphers) {
        EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.utf8().c_str(), nullptr);
        ASSERT_TRUE(cipher) << name.utf8();
        const auto key = *ZORCrypto::getKeyDataWithLength(static_cast<std::int32_t>(keyLength));
        for (auto length : ClearTextLengths) {
            const auto clear = fnd::Data::fromString(clearTextOfLength(length));
            testsupport::CapturedLog log;
            auto crypto = ZORCrypto::initWithSymmetricKey(key);
            crypto.setClearTextWithData(clear);
            crypto.setCipherText(fnd::Data::fromString("earlier cipher text"));
            auto encrypted = crypto.encrypt(name);
            const auto where = name.utf8() + ", " + std::to_string(length) + " bytes";
            if (!cipherTakes(cipher, length)) {
                EXPECT_FALSE(encrypted) << where;
                EXPECT_EQ(shownText(crypto.cipherTextAsData()), "earlier cipher text") << where;
                EXPECT_TRUE(length == 0 || !log.lines().empty()) << where << ": refused without a word";
                continue;
            }
            ASSERT_TRUE(encrypted) << where;
            auto back = ZORCrypto::initWithSymmetricKey(key);
            back.setCipherText(*encrypted);
            auto decrypted = back.decrypt(name);
            EXPECT_TRUE(decrypted == clear) << where << ": " << (decrypted ? "another text" : "no text") << " back";
            ++roundTrips;
        }
        EVP_CIPHER_free(cipher);
    }
    EXPECT_GT(roundTrips, ciphers.size() * 5);
}

}
