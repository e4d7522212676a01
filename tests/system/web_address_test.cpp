#include <gtest/gtest.h>

#include "system/web_address.h"

namespace keeprun {
namespace {

TEST(WebAddress, OnlyAbsoluteHttpAddressesWithAHostAndNothingHidden) {
    struct Case {
        const char* address;
        const char* host; // nullptr: refused
        bool secure;
    } cases[] = {
        {"http://example.com/zx/list.txt", "example.com", false},
        {"HTTPS://Example.COM:8443/a?b#c", "example.com", true},
        {"https://user:pw@host.example/x", "host.example", true},
        {"http://[::1]:18081/m/zx/", "[::1]", false},
        {"http://example.com?q=1", "example.com", false},
        {"https://", nullptr, false},
        {"http:///path", nullptr, false},
        {"http://:80/", nullptr, false},
        {"http://[::1/", nullptr, false},
        {"ftp://example.com/", nullptr, false},
        {"file:///etc/passwd", nullptr, false},
        {"javascript:alert(1)", nullptr, false},
        {"//example.com/", nullptr, false},
        {"example.com", nullptr, false},
        {" http://example.com/", nullptr, false},
        {"http://example.com/a b", nullptr, false},
        {"http://example.com/\ttab", nullptr, false},
        {"http://example.com/\x7f", nullptr, false},
        {"http://evil.example\\@good.example/", nullptr, false},
        {"http://example.com/\r\nx", nullptr, false},
    };
    for (const Case& c : cases) {
        const auto got = parse_web_address(c.address);
        ASSERT_EQ(got.has_value(), c.host != nullptr) << c.address;
        if (!got) continue;
        EXPECT_EQ(got->host, c.host) << c.address;
        EXPECT_EQ(got->secure, c.secure) << c.address;
    }
    for (const char* local : {"localhost", "127.0.0.1", "127.1.2.3", "[::1]"})
        EXPECT_TRUE(is_local_host(local)) << local;
    for (const char* remote :
         {"example.com", "10.0.0.1", "[::2]", "localhost.example", "127.example"})
        EXPECT_FALSE(is_local_host(remote)) << remote;
}

} // namespace
} // namespace keeprun
