// Reads arbitrary bytes as the crypto wrapper's outside data, the first byte choosing how: Base64 text, a symmetric
// cipher text, a clear text to encrypt, a PEM key or an RSA-transformed text. The two bytes after it pick a cipher
// by any of the names the library offers. Nothing may crash or write out of bounds; Base64 that decodes must encode
// back to the same text; a clear text a cipher takes must come back from its cipher text.
#include "frameworks/ZORCrypto/ZORCrypto.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::vector<ZORCryptoDetail::LibraryCipher>& libraryCiphers()
{
    static const auto ciphers = ZORCryptoDetail::libraryCiphers();
    return ciphers;
}

// A fixed key of the cipher's length, so every run of an input takes the same paths; its halves differ, as the
// two-key modes require.
fnd::Data keyFor(const ZORCryptoDetail::LibraryCipher& cipher)
{
    std::string key;
    for (std::size_t i = 0; i < cipher.keyLength; ++i)
        key += static_cast<char>(0x30 + i * 7);
    return fnd::Data::fromString(key);
}

// A 1024-bit key made for this target alone; its private half is not kept anywhere.
const char* const PublicKey = "-----BEGIN PUBLIC KEY-----\n"
                              "MIGfMA0GCSqGSIb3DQEBAQUAA4GNADCBiQKBgQCywPRV3hJ5ie6HR6h/EwYOaXdz\n"
                              "mGUqK+4/JMVMLxqmUBX80j5tG46+76U+hdHpxsmBD5zf8nduzNtwqqnesM4EP34I\n"
                              "osT1r4GQC9y3uJaC7fEN61C5mORGepoHR1bB/MF/p4IDOMsZB40G50zEaHDLZMyO\n"
                              "pZ5TdMO+wrV7VyUr+QIDAQAB\n"
                              "-----END PUBLIC KEY-----\n";

[[noreturn]] void fail(const char* what, const char* cipher)
{
    std::fprintf(stderr, "%s (%s)\n", what, cipher);
    std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t control = bytes[0];
    const fnd::Data rest(bytes + 1, size - 1);
    const bool symmetric = (control & 3) == 1 || (control & 3) == 2;
    if (symmetric && size < 3)
        return 0;
    // Symmetric ones: two bytes choose the cipher, the rest is the text.
    const auto& ciphers = libraryCiphers();
    const auto& cipher = ciphers[symmetric ? (std::size_t(bytes[1]) << 8 | bytes[2]) % ciphers.size() : 0];
    const auto name = cipher.name.utf8();
    const fnd::Data input = symmetric ? fnd::Data(bytes + 3, size - 3) : rest;

    switch (control & 3) {
    case 0: {
        auto decoded = ZORCrypto::decodeBase64Data(input);
        if (decoded && ZORCrypto::encodeBase64Data(*decoded) != input)
            fail("decoded Base64 encodes to other text", "base64");
        break;
    }
    case 1: {
        auto crypto = ZORCrypto::initWithSymmetricKey(keyFor(cipher));
        crypto.setCipherText(input);
        crypto.decrypt(cipher.name);
        break;
    }
    case 2: {
        auto crypto = ZORCrypto::initWithSymmetricKey(keyFor(cipher));
        crypto.setClearTextWithData(input);
        auto encrypted = crypto.encrypt(cipher.name);
        if (!encrypted)
            break;
        if (input.isEmpty())
            fail("encrypted an empty clear text", name.c_str());
        auto back = ZORCrypto::initWithSymmetricKey(keyFor(cipher));
        back.setCipherText(*encrypted);
        if (back.decrypt(cipher.name) != input)
            fail("the clear text did not come back", name.c_str());
        break;
    }
    default: {
        // The input as a private key, signing a fixed text, and as a text transformed with a private key.
        auto signer = ZORCrypto::initWithPrivateKey(input);
        signer.setClearTextWithString("fuzz");
        signer.encrypt();
        auto verifier = ZORCrypto::initWithPublicKey(fnd::Data::fromString(PublicKey));
        verifier.setCipherText(input);
        verifier.decrypt();
        auto asPublicKey = ZORCrypto::initWithPublicKey(input);
        asPublicKey.setCipherText(fnd::Data::fromString("fuzz"));
        asPublicKey.decrypt();
        break;
    }
    }
    return 0;
}
