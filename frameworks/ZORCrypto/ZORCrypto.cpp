#include "frameworks/ZORCrypto/ZORCrypto.h"

#include "frameworks/ZORCrypto/ZORBase64.h"

#include "platform/foundation/runtime/HexDump.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/provider.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

namespace {

// Loaded once for the process and never unloaded: other objects may be working with the library at any time.
void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        OPENSSL_init_crypto(
            OPENSSL_INIT_LOAD_CRYPTO_STRINGS | OPENSSL_INIT_ADD_ALL_CIPHERS | OPENSSL_INIT_ADD_ALL_DIGESTS, nullptr);
        // Blowfish and other old ciphers live in the legacy provider. Loading any provider explicitly stops the
        // default one from loading by itself, so both are loaded.
        // The handles are kept for the life of the process.
        static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        static OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
        if (!legacy)
            fnd::log(fnd::LogLevel::Warning, "The OpenSSL legacy provider is missing: Blowfish is not available.");
        if (!standard)
            fnd::log(fnd::LogLevel::Error, "The OpenSSL default provider is missing.");
    });
}

template <auto Free> struct Deleter {
    template <typename T> void operator()(T* p) const { Free(p); }
};
using CipherPtr = std::unique_ptr<EVP_CIPHER, Deleter<EVP_CIPHER_free>>;
using CipherContextPtr = std::unique_ptr<EVP_CIPHER_CTX, Deleter<EVP_CIPHER_CTX_free>>;
using DigestPtr = std::unique_ptr<EVP_MD, Deleter<EVP_MD_free>>;
using DigestContextPtr = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX_free>>;
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using KeyContextPtr = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free>>;

void logError(const std::string& message)
{
    fnd::log(fnd::LogLevel::Error, fnd::String(message));
}

// The library's queued errors as one text, emptying the queue.
std::string libraryErrors()
{
    std::string text;
    while (unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty())
            text += "; ";
        text += buffer;
    }
    return text.empty() ? "no details" : text;
}

BioPtr memoryBio(const fnd::Data& data)
{
    return BioPtr(BIO_new_mem_buf(data.bytes(), static_cast<int>(data.length())));
}

// An RSA key from PEM text through the library's reader; a failure is logged under the reader's name.
KeyPtr readRSAKey(
    const fnd::Data& pem, EVP_PKEY* (*read)(BIO*, EVP_PKEY**, pem_password_cb*, void*), const char* readerName)
{
    auto bio = memoryBio(pem);
    if (!bio) {
        logError("BIO_new_mem_buf() failed!");
        return nullptr;
    }
    // No pass phrase: without a callback the library would ask for one on the terminal and wait for it there.
    auto noPassPhrase = [](char*, int, int, void*) { return 0; };
    KeyPtr key(read(bio.get(), nullptr, noPassPhrase, nullptr));
    if (!key || !EVP_PKEY_is_a(key.get(), "RSA")) {
        logError(fmt::format("{}() failed!", readerName));
        return nullptr;
    }
    return key;
}

KeyPtr readPrivateKey(const fnd::Data& pem)
{
    return readRSAKey(pem, PEM_read_bio_PrivateKey, "PEM_read_bio_RSAPrivateKey");
}

KeyPtr readPublicKey(const fnd::Data& pem)
{
    return readRSAKey(pem, PEM_read_bio_PUBKEY, "PEM_read_bio_RSA_PUBKEY");
}

// The named cipher; nullptr, logged, for a name the library does not know and for an authenticated cipher (GCM, CCM,
// OCB, SIV, ChaCha20-Poly1305, the TLS stitched ones): its output is of no use without its tag, which a cipher text
// here has no place for, so encrypting would report success and leave text that never decrypts.
CipherPtr fetchCipher(const fnd::String& name)
{
    CipherPtr cipher(EVP_CIPHER_fetch(nullptr, name.utf8().c_str(), nullptr));
    if (!cipher) {
        ERR_clear_error();
        logError(fmt::format("cannot get cipher with name {}", name.utf8()));
        return nullptr;
    }
    if (EVP_CIPHER_get_flags(cipher.get()) & EVP_CIPH_FLAG_AEAD_CIPHER) {
        logError(fmt::format("cannot get cipher with name {}: authenticated ciphers are not supported", name.utf8()));
        return nullptr;
    }
    return cipher;
}

// Sets the key length before the key is installed, so a key is never cut short or read beyond its end.
bool setKeyLength(EVP_CIPHER_CTX* context, const fnd::Data& key, const fnd::String& name)
{
    const auto expected = EVP_CIPHER_CTX_get_key_length(context);
    if (static_cast<std::size_t>(expected) == key.length())
        return true;
    // Ciphers of variable key length accept other lengths; fixed-length ones refuse.
    if (key.length() > 0 && EVP_CIPHER_CTX_set_key_length(context, static_cast<int>(key.length())) > 0
        && static_cast<std::size_t>(EVP_CIPHER_CTX_get_key_length(context)) == key.length())
        return true;
    ERR_clear_error();
    logError(fmt::format(
        "The cipher {} cannot use a key of {} bytes; its key length is {}.", name.utf8(), key.length(), expected));
    return false;
}

enum class Direction { Encrypt, Decrypt };

// A context of the named cipher for the direction, its key length set for the key (which is not installed yet);
// nullptr, logged, when the cipher is unknown or cannot take the key.
CipherContextPtr cipherContext(const fnd::String& cipherName, const fnd::Data& key, Direction direction)
{
    auto cipher = fetchCipher(cipherName);
    if (!cipher)
        return nullptr;
    CipherContextPtr context(EVP_CIPHER_CTX_new());
    const int encrypt = direction == Direction::Encrypt ? 1 : 0;
    if (!context || !EVP_CipherInit_ex2(context.get(), cipher.get(), nullptr, nullptr, encrypt, nullptr)) {
        logError(direction == Direction::Encrypt
                ? fmt::format("EVP_EncryptInit() failed! {}", libraryErrors())
                : fmt::format("EVP_DecryptInit() failed for cipher: {}! {}", cipherName.utf8(), libraryErrors()));
        return nullptr;
    }
    if (!setKeyLength(context.get(), key, cipherName))
        return nullptr;
    return context;
}

// Room for everything the context writes for the input in one update and the final step; nullopt, logged, when the
// cipher cannot take an input of that length. Block and stream modes write at most the input and one block. Key
// wrapping writes more (an integrity block, padding to half-blocks, an initialisation vector of its own), so a
// wrapping cipher is asked how much, which the library answers for them when given no output.
std::optional<std::size_t> outputCapacity(
    EVP_CIPHER_CTX* context, const std::uint8_t* input, std::size_t length, const fnd::String& cipherName)
{
    std::size_t capacity = length + static_cast<std::size_t>(std::max(EVP_CIPHER_CTX_get_block_size(context), 1));
    if (EVP_CIPHER_CTX_get_mode(context) != EVP_CIPH_WRAP_MODE)
        return capacity;
    int needed = 0;
    if (EVP_CipherUpdate(context, nullptr, &needed, input, static_cast<int>(length)) <= 0 || needed <= 0) {
        logError(fmt::format(
            "The cipher {} cannot take a text of {} bytes. {}", cipherName.utf8(), length, libraryErrors()));
        return std::nullopt;
    }
    return std::max(capacity, static_cast<std::size_t>(needed));
}

std::optional<fnd::String> textBeforeZero(const std::optional<fnd::Data>& data)
{
    if (!data)
        return std::nullopt;
    const auto* begin = data->bytes();
    const auto* end = std::find(begin, begin + data->length(), std::uint8_t(0));
    auto text = fnd::stringWithData(std::span(begin, end), fnd::StringEncoding::UTF8);
    if (!text)
        return std::nullopt;
    return *text;
}

const fnd::String DefaultNamedCipher = "bf-cbc";
const fnd::String DefaultCipher = "aes-128-cbc";

}

ZORCrypto::ZORCrypto()
{
    initialiseLibrary();
}

ZORCrypto ZORCrypto::initWithSymmetricKey(fnd::Data key)
{
    ZORCrypto crypto;
    crypto.m_symmetricKey = std::move(key);
    crypto.m_symmetric = true;
    return crypto;
}

ZORCrypto ZORCrypto::initWithRSAKeys(fnd::Data publicKey, fnd::Data privateKey)
{
    ZORCrypto crypto;
    crypto.m_publicKey = std::move(publicKey);
    crypto.setPrivateKey(std::move(privateKey));
    return crypto;
}

ZORCrypto ZORCrypto::initWithPublicKey(fnd::Data publicKey)
{
    ZORCrypto crypto;
    crypto.m_publicKey = std::move(publicKey);
    return crypto;
}

ZORCrypto ZORCrypto::initWithPrivateKey(fnd::Data privateKey)
{
    ZORCrypto crypto;
    crypto.setPrivateKey(std::move(privateKey));
    return crypto;
}

void ZORCrypto::setPrivateKey(std::optional<fnd::Data> key)
{
    m_privateKey = std::move(key);
    if (m_privateKey && !readPrivateKey(*m_privateKey))
        logError(fmt::format("PEM_read_bio_RSAPrivateKey returned NULL for key: {}", m_privateKey->length()));
}

std::optional<fnd::Data> ZORCrypto::encrypt()
{
    if (m_symmetric && m_symmetricKey)
        return encrypt(DefaultCipher);
    if (!m_privateKey) {
        logError("no key set!");
        return std::nullopt;
    }
    return encrypt(std::nullopt);
}

std::optional<fnd::Data> ZORCrypto::decrypt()
{
    if (m_symmetric)
        return decrypt(DefaultCipher);
    return decrypt(std::nullopt);
}

std::optional<fnd::Data> ZORCrypto::encrypt(const std::optional<fnd::String>& cipherName)
{
    if (!m_symmetric)
        return privateKeyEncrypt();
    return symmetricEncrypt(cipherName.value_or(DefaultNamedCipher));
}

std::optional<fnd::Data> ZORCrypto::decrypt(const std::optional<fnd::String>& cipherName)
{
    if (!m_symmetric)
        return publicKeyDecrypt();
    return symmetricDecrypt(cipherName.value_or(DefaultNamedCipher));
}

std::optional<fnd::Data> ZORCrypto::symmetricEncrypt(const fnd::String& cipherName)
{
    if (!m_clearText || m_clearText->isEmpty())
        return std::nullopt;
    if (!m_symmetricKey) {
        logError("no key set!");
        return std::nullopt;
    }
    auto context = cipherContext(cipherName, *m_symmetricKey, Direction::Encrypt);
    if (!context)
        return std::nullopt;

    std::vector<std::uint8_t> iv(static_cast<std::size_t>(EVP_CIPHER_CTX_get_iv_length(context.get())));
    if (!iv.empty() && RAND_bytes(iv.data(), static_cast<int>(iv.size())) != 1) {
        logError(fmt::format("No random initialisation vector: {}", libraryErrors()));
        return std::nullopt;
    }
    if (!EVP_EncryptInit_ex2(context.get(), nullptr, m_symmetricKey->bytes(), iv.data(), nullptr)) {
        logError(fmt::format("EVP_EncryptInit() failed! {}", libraryErrors()));
        return std::nullopt;
    }

    const auto& input = *m_clearText;
    if (input.length() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        logError(fmt::format("The clear text of {} bytes is too long to encrypt at once.", input.length()));
        return std::nullopt;
    }
    const auto capacity = outputCapacity(context.get(), input.bytes(), input.length(), cipherName);
    if (!capacity)
        return std::nullopt;
    std::vector<std::uint8_t> out(iv);
    const auto headerLength = out.size();
    out.resize(headerLength + *capacity);
    int updated = 0, finished = 0;
    if (!EVP_EncryptUpdate(
            context.get(), out.data() + headerLength, &updated, input.bytes(), static_cast<int>(input.length()))) {
        logError(fmt::format("EVP_EncryptUpdate() failed! {}", libraryErrors()));
        return std::nullopt;
    }
    if (!EVP_EncryptFinal_ex(context.get(), out.data() + headerLength + updated, &finished)) {
        logError(fmt::format("EVP_EncryptFinal() failed! {}", libraryErrors()));
        return std::nullopt;
    }
    out.resize(headerLength + static_cast<std::size_t>(updated + finished));
    m_cipherText = fnd::Data(std::move(out));
    return m_cipherText;
}

std::optional<fnd::Data> ZORCrypto::symmetricDecrypt(const fnd::String& cipherName)
{
    if (!m_cipherText || m_cipherText->isEmpty())
        return std::nullopt;
    if (!m_symmetricKey) {
        logError("no key set!");
        return std::nullopt;
    }
    auto context = cipherContext(cipherName, *m_symmetricKey, Direction::Decrypt);
    if (!context)
        return std::nullopt;

    const auto& input = *m_cipherText;
    const auto ivLength = static_cast<std::size_t>(EVP_CIPHER_CTX_get_iv_length(context.get()));
    if (input.length() <= ivLength) {
        logError(fmt::format("The cipher text of {} bytes is too short for {}.", input.length(), cipherName.utf8()));
        return std::nullopt;
    }
    if (!EVP_DecryptInit_ex2(context.get(), nullptr, m_symmetricKey->bytes(), input.bytes(), nullptr)) {
        logError(fmt::format("EVP_DecryptInit() failed for cipher: {}! {}", cipherName.utf8(), libraryErrors()));
        return std::nullopt;
    }
    const auto* body = input.bytes() + ivLength;
    const auto bodyLength = input.length() - ivLength;
    if (bodyLength > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        logError(fmt::format("The cipher text of {} bytes is too long to decrypt at once.", input.length()));
        return std::nullopt;
    }
    const auto capacity = outputCapacity(context.get(), body, bodyLength, cipherName);
    if (!capacity)
        return std::nullopt;
    std::vector<std::uint8_t> out(*capacity);
    int updated = 0, finished = 0;
    if (!EVP_DecryptUpdate(context.get(), out.data(), &updated, body, static_cast<int>(bodyLength))) {
        logError(fmt::format(
            "EVP_DecryptUpdate() failed for cipher: {}, line: {}! {}", cipherName.utf8(), __LINE__, libraryErrors()));
        return std::nullopt;
    }
    if (!EVP_DecryptFinal_ex(context.get(), out.data() + updated, &finished)) {
        logError(fmt::format(
            "EVP_DecryptUpdate() failed for cipher: {}, line: {}! {}", cipherName.utf8(), __LINE__, libraryErrors()));
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(updated + finished));
    m_clearText = fnd::Data(std::move(out));
    return m_clearText;
}

std::optional<fnd::Data> ZORCrypto::privateKeyEncrypt()
{
    if (!m_privateKey) {
        logError("cannot encrypt without the key, which is currently nil");
        return std::nullopt;
    }
    if (!m_clearText || m_clearText->isEmpty())
        return std::nullopt;
    auto key = readPrivateKey(*m_privateKey);
    if (!key)
        return std::nullopt;
    KeyContextPtr context(EVP_PKEY_CTX_new(key.get(), nullptr));
    if (!context || EVP_PKEY_check(context.get()) != 1) {
        logError(fmt::format("Encrypt error: the RSA key check failed ({})", libraryErrors()));
        return std::nullopt;
    }
    std::size_t length = static_cast<std::size_t>(EVP_PKEY_get_size(key.get()));
    std::vector<std::uint8_t> out(length);
    if (EVP_PKEY_sign_init(context.get()) != 1 || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1
        || EVP_PKEY_sign(context.get(), out.data(), &length, m_clearText->bytes(), m_clearText->length()) != 1) {
        logError(fmt::format("Encrypt error: {}", libraryErrors()));
        return std::nullopt;
    }
    out.resize(length);
    m_cipherText = fnd::Data(std::move(out));
    return m_cipherText;
}

std::optional<fnd::Data> ZORCrypto::publicKeyDecrypt()
{
    if (!m_publicKey) {
        logError("cannot decrypt without the public key, which is currently nil");
        return std::nullopt;
    }
    if (!m_cipherText || m_cipherText->isEmpty())
        return std::nullopt;
    auto key = readPublicKey(*m_publicKey);
    if (!key)
        return std::nullopt;
    KeyContextPtr context(EVP_PKEY_CTX_new(key.get(), nullptr));
    std::size_t length = static_cast<std::size_t>(EVP_PKEY_get_size(key.get()));
    std::vector<std::uint8_t> out(length);
    if (!context || EVP_PKEY_verify_recover_init(context.get()) != 1
        || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1
        || EVP_PKEY_verify_recover(context.get(), out.data(), &length, m_cipherText->bytes(), m_cipherText->length())
            != 1) {
        logError(fmt::format("Decrypt error: {}", libraryErrors()));
        return std::nullopt;
    }
    out.resize(length);
    m_clearText = fnd::Data(std::move(out));
    return m_clearText;
}

std::optional<fnd::Data> ZORCrypto::digest(const std::optional<fnd::String>& digestName) const
{
    if (!m_clearText || m_clearText->isEmpty())
        return std::nullopt;
    auto name = digestName.value_or("MD5");
    DigestPtr md(EVP_MD_fetch(nullptr, name.utf8().c_str(), nullptr));
    if (!md) {
        ERR_clear_error();
        logError(fmt::format("cannot get digest with name {}", name.utf8()));
        return std::nullopt;
    }
    DigestContextPtr context(EVP_MD_CTX_new());
    std::vector<std::uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned length = 0;
    if (!context || !EVP_DigestInit_ex2(context.get(), md.get(), nullptr)
        || !EVP_DigestUpdate(context.get(), m_clearText->bytes(), m_clearText->length())) {
        logError("EVP_DigestUpdate() failed!");
        return std::nullopt;
    }
    if (!EVP_DigestFinal_ex(context.get(), out.data(), &length)) {
        logError("EVP_DigesttFinal() failed!");
        return std::nullopt;
    }
    out.resize(length);
    return fnd::Data(std::move(out));
}

void ZORCrypto::setClearTextWithString(const fnd::String& string)
{
    auto utf8 = string.utf8();
    fnd::Data data(utf8.data(), utf8.size());
    const std::uint8_t zero = 0;
    data.append(&zero, 1);
    m_clearText = std::move(data);
}

std::optional<fnd::String> ZORCrypto::cipherTextAsString() const
{
    return textBeforeZero(m_cipherText);
}

std::optional<fnd::String> ZORCrypto::clearTextAsString() const
{
    return textBeforeZero(m_clearText);
}

fnd::String ZORCrypto::description() const
{
    auto dump = [](const std::optional<fnd::Data>& data) {
        return data ? fnd::hexDump(*data).utf8() : std::string("(null)");
    };
    return fnd::String(fmt::format("clearText: {}, cipherText: {}, symmetricKey: {}, publicKey: {}, privateKey: {}",
        dump(m_clearText), dump(m_cipherText), dump(m_symmetricKey), dump(m_publicKey), dump(m_privateKey)));
}

fnd::Data ZORCrypto::encodeBase64Data(const fnd::Data& data)
{
    return ZORBase64::encode(data);
}

std::optional<fnd::Data> ZORCrypto::decodeBase64Data(const fnd::Data& data)
{
    return ZORBase64::decode(data);
}

std::optional<fnd::Data> ZORCrypto::getKeyDataWithLength(std::int32_t length)
{
    if (length < 0)
        return std::nullopt;
    initialiseLibrary();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (length > 0 && RAND_bytes(bytes.data(), length) != 1) {
        logError(fmt::format("No random bytes: {}", libraryErrors()));
        return std::nullopt;
    }
    return fnd::Data(std::move(bytes));
}

fnd::Data ZORCrypto::getSHA1ForData(const fnd::Data& data)
{
    initialiseLibrary();
    std::vector<std::uint8_t> out(20);
    unsigned length = 0;
    EVP_Digest(data.bytes(), data.length(), out.data(), &length, EVP_sha1(), nullptr);
    return fnd::Data(std::move(out));
}

std::vector<ZORCryptoDetail::LibraryCipher> ZORCryptoDetail::libraryCiphers()
{
    initialiseLibrary();
    std::vector<LibraryCipher> ciphers;
    EVP_CIPHER_do_all_provided(
        nullptr,
        [](EVP_CIPHER* cipher, void* into) {
            auto& list = *static_cast<std::vector<LibraryCipher>*>(into);
            const auto keyLength = static_cast<std::size_t>(EVP_CIPHER_get_key_length(cipher));
            std::pair<std::vector<LibraryCipher>*, std::size_t> context { &list, keyLength };
            EVP_CIPHER_names_do_all(
                cipher,
                [](const char* name, void* data) {
                    auto& [names, length] = *static_cast<std::pair<std::vector<LibraryCipher>*, std::size_t>*>(data);
                    names->push_back({ fnd::String(name), length });
                },
                &context);
        },
        &ciphers);
    std::sort(ciphers.begin(), ciphers.end(),
        [](const LibraryCipher& a, const LibraryCipher& b) { return a.name.utf8() < b.name.utf8(); });
    // A name two providers both offer is listed once.
    ciphers.erase(std::unique(ciphers.begin(), ciphers.end(),
                      [](const LibraryCipher& a, const LibraryCipher& b) { return a.name == b.name; }),
        ciphers.end());
    return ciphers;
}
