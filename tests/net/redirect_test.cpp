#include <gtest/gtest.h>

#include "net/redirect.h"

namespace keeprun {
namespace {

TEST(FollowRedirect, NeverDowngradesAndKeepsTheKeyOnItsHost) {
    struct Case {
        const char *from, *to;
        long status;
        bool get;
        bool follow, next_get, keep_body;
    } cases[] = {
        {"http://a.example/x", "http://a.example/y", 302, false, true, true, false},
        {"http://a.example/x", "https://b.example/y", 301, true, true, true, false},
        {"https://a.example/x", "https://a.example/y", 303, false, true, true, false},
        {"http://a.example/x", "http://a.example:81/y", 307, false, true, false, true},
        {"https://a.example/x", "https://A.EXAMPLE/y", 308, true, true, true, true},
        {"http://a.example/x", "http://b.example/y", 307, false, true, false, false},
        {"http://a.example/x", "http://user@b.example/y", 308, true, true, true, false},
        {"https://a.example/x", "http://a.example/y", 302, false, false, false, false},
        {"https://a.example/x", "http://a.example/y", 307, false, false, false, false},
        {"http://a.example/x", "ftp://a.example/y", 302, false, false, false, false},
        {"http://a.example/x", "http://a.example/a b", 302, false, false, false, false},
    };
    for (const Case& c : cases) {
        const auto next = follow_redirect(c.from, c.to, c.status, c.get);
        ASSERT_EQ(next.has_value(), c.follow) << c.from << " -> " << c.to;
        if (!next) continue;
        EXPECT_EQ(next->get, c.next_get) << c.to;
        EXPECT_EQ(next->keep_body, c.keep_body) << c.to;
    }
}

} // namespace
} // namespace keeprun
