#include "net/hmac.h"

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

namespace keeprun {
namespace {

struct Algorithm {
    BCRYPT_ALG_HANDLE h = nullptr;
    ~Algorithm() {
        if (h) BCryptCloseAlgorithmProvider(h, 0);
    }
};

struct Hash {
    BCRYPT_HASH_HANDLE h = nullptr;
    ~Hash() {
        if (h) BCryptDestroyHash(h);
    }
};

bool ok(NTSTATUS status) {
    return status >= 0;
}

} // namespace

std::string hmac_sha256_base64(std::string_view key, std::string_view message) {
    Algorithm alg;
    if (!ok(BCryptOpenAlgorithmProvider(&alg.h, BCRYPT_SHA256_ALGORITHM, nullptr,
                                        BCRYPT_ALG_HANDLE_HMAC_FLAG)))
        return {};
    Hash hash;
    // BCrypt wants a key of at least one byte; HMAC pads a key with zeros anyway.
    const UCHAR zero = 0;
    auto* key_bytes = key.empty() ? const_cast<UCHAR*>(&zero)
                                  : reinterpret_cast<UCHAR*>(const_cast<char*>(key.data()));
    if (!ok(BCryptCreateHash(alg.h, &hash.h, nullptr, 0, key_bytes,
                             key.empty() ? 1 : static_cast<ULONG>(key.size()), 0)))
        return {};
    if (!ok(BCryptHashData(hash.h, reinterpret_cast<UCHAR*>(const_cast<char*>(message.data())),
                           static_cast<ULONG>(message.size()), 0)))
        return {};
    UCHAR digest[32];
    if (!ok(BCryptFinishHash(hash.h, digest, sizeof digest, 0))) return {};
    DWORD size = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (!CryptBinaryToStringA(digest, sizeof digest, flags, nullptr, &size)) return {};
    std::string text(size, '\0');
    if (!CryptBinaryToStringA(digest, sizeof digest, flags, text.data(), &size)) return {};
    text.resize(size);
    return text;
}

} // namespace keeprun
