// A chat bot's answer, any bytes: reading it never fails, and any text quoted
// into a message body reads back as itself.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "net/json_text.h"
#include "net/webhook.h"

using keeprun::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    keeprun::webhook_failure({"", 200, text});
    const auto back = keeprun::json_field("{\"text\":" + keeprun::json_quoted(text) + "}", "text");
    require(back && *back == text, "a quoted text reads back as itself");
    return 0;
}
