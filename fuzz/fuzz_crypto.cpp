// Reads arbitrary bytes as the crypto wrapper's outside data, the first byte choosing how: Base64 text, a symmetric
// cipher text, a clear text to encrypt, a PEM key or an RSA-transformed text. Nothing may crash; Base64 that decodes
// must encode back to the same text; every cipher the wrapper takes must give a clear text back from its cipher text,
// and every authenticated one must be refused.
#include "frameworks/ZORCrypto/ZORCrypto.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Cipher {
    const char* name;
    std::size_t keyLength;
    bool authenticated;
};

constexpr std::array<Cipher, 8> Ciphers { {
    { "aes-128-cbc", 16, false },
    { "aes-256-cbc", 32, false },
    { "bf-cbc", 16, false },
    { "aes-128-ecb", 16, false },
    { "aes-128-ctr", 16, false },
    { "aes-128-gcm", 16, true },
    { "aes-128-ccm", 16, true },
    { "chacha20-poly1305", 32, true },
} };

// A fixed key, so every run of an input takes the same paths.
fnd::Data keyFor(const Cipher& cipher)
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
    const fnd::Data input(bytes + 1, size - 1);
    const Cipher& cipher = Ciphers[(control >> 2) % Ciphers.size()];

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
        if (crypto.decrypt(fnd::String(cipher.name)) && cipher.authenticated)
            fail("an authenticated cipher decrypted", cipher.name);
        break;
    }
    case 2: {
        auto crypto = ZORCrypto::initWithSymmetricKey(keyFor(cipher));
        crypto.setClearTextWithData(input);
        auto encrypted = crypto.encrypt(fnd::String(cipher.name));
        if (cipher.authenticated || input.isEmpty()) {
            if (encrypted)
                fail("encrypted what must be refused", cipher.name);
            break;
        }
        if (!encrypted)
            fail("refused a clear text", cipher.name);
        auto back = ZORCrypto::initWithSymmetricKey(keyFor(cipher));
        back.setCipherText(*encrypted);
        if (back.decrypt(fnd::String(cipher.name)) != input)
            fail("the clear text did not come back", cipher.name);
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
