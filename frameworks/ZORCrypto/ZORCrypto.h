#pragma once

#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <optional>
#include <vector>

// One object holding a clear text, a cipher text and keys, over OpenSSL's libcrypto: symmetric ciphers by name,
// RSA private-key transforms and public-key recovery with PKCS #1 v1.5 padding, digests, random bytes and Base64.
// Failures give nullopt and a line in the log.
//
// Symmetric cipher texts start with the random initialisation vector the cipher needs (none for ciphers without
// one), followed by the cipher's output; decryption reads it back from there. The key must have exactly the
// cipher's key length, or, for ciphers of variable key length (Blowfish, RC4), a length the cipher accepts.
//
// The RSA "encryption" transforms with the private key, so anyone with the public key restores the text: it proves
// who made the data (a signature over the raw text), it does not keep it secret.
class ZORCrypto {
public:
    ZORCrypto();
    static ZORCrypto initWithSymmetricKey(fnd::Data key);
    static ZORCrypto initWithRSAKeys(fnd::Data publicKey, fnd::Data privateKey);
    static ZORCrypto initWithPublicKey(fnd::Data publicKey);
    static ZORCrypto initWithPrivateKey(fnd::Data privateKey);

    // Symmetric with a key: AES-128 in CBC mode, for both directions. RSA: with the private key, respectively the
    // public key.
    std::optional<fnd::Data> encrypt();
    std::optional<fnd::Data> decrypt();
    // A cipher by OpenSSL's name ("aes-256-cbc", "bf-cbc", ...); nullopt names Blowfish in CBC mode. Ignored for RSA.
    // Authenticated ciphers (GCM, CCM, OCB, ...) are refused as unknown names are: a cipher text has no place for
    // their tag.
    std::optional<fnd::Data> encrypt(const std::optional<fnd::String>& cipherName);
    std::optional<fnd::Data> decrypt(const std::optional<fnd::String>& cipherName);
    // The named digest (nullopt: MD5) of the clear text; nullopt without a clear text or for an empty one.
    std::optional<fnd::Data> digest(const std::optional<fnd::String>& digestName = std::nullopt) const;

    const std::optional<fnd::Data>& symmetricKey() const { return m_symmetricKey; }
    void setSymmetricKey(std::optional<fnd::Data> key) { m_symmetricKey = std::move(key); }
    const std::optional<fnd::Data>& publicKey() const { return m_publicKey; }
    void setPublicKey(std::optional<fnd::Data> key) { m_publicKey = std::move(key); }
    const std::optional<fnd::Data>& privateKey() const { return m_privateKey; }
    // Kept even when it does not read as a PEM private key; that is logged.
    void setPrivateKey(std::optional<fnd::Data> key);
    bool symmetric() const { return m_symmetric; }
    void setSymmetric(bool symmetric) { m_symmetric = symmetric; }

    const std::optional<fnd::Data>& cipherTextAsData() const { return m_cipherText; }
    void setCipherText(std::optional<fnd::Data> data) { m_cipherText = std::move(data); }
    const std::optional<fnd::Data>& clearTextAsData() const { return m_clearText; }
    void setClearTextWithData(std::optional<fnd::Data> data) { m_clearText = std::move(data); }
    // The UTF-8 bytes and one zero byte, so a decrypted text reads back as a C string.
    void setClearTextWithString(const fnd::String& string);
    // The bytes before the first zero byte (or all of them) as UTF-8; nullopt without data or for invalid UTF-8.
    std::optional<fnd::String> cipherTextAsString() const;
    std::optional<fnd::String> clearTextAsString() const;

    // "clearText: …, cipherText: …, symmetricKey: …, publicKey: …, privateKey: …" with a hex dump of each.
    fnd::String description() const;

    static fnd::Data encodeBase64Data(const fnd::Data& data);
    // nullopt for text that is not whole, padded Base64.
    static std::optional<fnd::Data> decodeBase64Data(const fnd::Data& data);
    // Random bytes from OpenSSL's generator; nullopt for a negative count or when the generator fails.
    static std::optional<fnd::Data> getKeyDataWithLength(std::int32_t length);
    static fnd::Data getSHA1ForData(const fnd::Data& data);

private:
    std::optional<fnd::Data> symmetricEncrypt(const fnd::String& cipherName);
    std::optional<fnd::Data> symmetricDecrypt(const fnd::String& cipherName);
    std::optional<fnd::Data> privateKeyEncrypt();
    std::optional<fnd::Data> publicKeyDecrypt();

    std::optional<fnd::Data> m_symmetricKey;
    std::optional<fnd::Data> m_cipherText;
    std::optional<fnd::Data> m_clearText;
    std::optional<fnd::Data> m_publicKey;
    std::optional<fnd::Data> m_privateKey;
    bool m_symmetric { false };
};

namespace ZORCryptoDetail {

struct LibraryCipher {
    fnd::String name;
    std::size_t keyLength { 0 };
};

// Every name (aliases and object identifiers included) of every cipher the library's loaded providers offer, with
// the cipher's default key length, sorted by name: what the tests and the fuzz target go over.
std::vector<LibraryCipher> libraryCiphers();

}
