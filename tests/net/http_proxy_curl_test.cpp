// libcurl takes the proxy from the environment, as the README says: nothing in
// the request turns that off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net/http_request.h"
#include "raw_server.h"

using namespace keeprun;
using namespace keeprun::test;

TEST(http_request, GoesThroughTheProxyOfTheEnvironment) {
    RawServer proxy;
    ::setenv("http_proxy", proxy.url("").c_str(), 1);
    EXPECT_EQ(http_request("GET", "http://mirror.example/zx/list.txt", "", 5000), "ok");
    ::unsetenv("http_proxy");
    const std::string& r = proxy.request();
    EXPECT_EQ(r.rfind("GET http://mirror.example/zx/list.txt HTTP/1.1\r\n", 0), 0u) << r;
}
