#include "net/hmac.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace keeprun {

std::string hmac_sha256_base64(std::string_view key, std::string_view message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest,
              &length))
        return {};
    // Four characters for every three bytes, and the closing NUL.
    unsigned char text[4 * ((EVP_MAX_MD_SIZE + 2) / 3) + 1];
    const int n = EVP_EncodeBlock(text, digest, static_cast<int>(length));
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n));
}

} // namespace keeprun
