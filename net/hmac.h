#pragma once
// The signatures group bots ask for, from the platform's own crypto.
#include <string>
#include <string_view>

namespace keeprun {

// Base64 of the HMAC-SHA256 of `message` under `key`; "" should the platform fail.
std::string hmac_sha256_base64(std::string_view key, std::string_view message);

} // namespace keeprun
