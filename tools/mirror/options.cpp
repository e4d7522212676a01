#include "tools/mirror/options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>

#include "net/mirrors.h"

namespace keeprun {
namespace {

bool read_int(std::string_view s, int& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool read_seconds(std::string_view s, double& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= 0;
}

// "N=VALUE" with N a mirror number 1..3; gives the index 0..2 and the value.
bool mirror_item(std::string_view arg, int& index, std::string_view& value) {
    const std::size_t eq = arg.find('=');
    int n = 0;
    if (eq == std::string_view::npos || !read_int(arg.substr(0, eq), n) || n < 1 || n > 3)
        return false;
    index = n - 1;
    value = arg.substr(eq + 1);
    return true;
}

bool read_ports(std::string_view arg, std::array<int, 3>& ports) {
    for (std::size_t k = 0; k < ports.size(); ++k) {
        const std::size_t comma = arg.find(',');
        const bool last = k + 1 == ports.size();
        if ((comma == std::string_view::npos) != last) return false;
        if (!read_int(arg.substr(0, comma), ports[k]) || ports[k] < 0 || ports[k] > 65535)
            return false;
        if (!last) arg.remove_prefix(comma + 1);
    }
    return true;
}

bool read_answers(std::string_view arg, std::array<bool, 3>& answers) {
    answers = {false, false, false};
    if (arg == "none") return true;
    while (!arg.empty()) {
        const std::size_t comma = arg.find(',');
        int n = 0;
        if (!read_int(arg.substr(0, comma), n) || n < 1 || n > 3) return false;
        answers[static_cast<std::size_t>(n - 1)] = true;
        arg = comma == std::string_view::npos ? std::string_view{} : arg.substr(comma + 1);
    }
    return answers[0] || answers[1] || answers[2];
}

} // namespace

std::string mirror_usage(const MirrorOptions& d) {
    const auto port = [&](int k) { return std::to_string(d.ports[static_cast<std::size_t>(k)]); };
    const MirrorUrls& urls = mirror_base_urls();
    return "Usage: keeprun-mirror [options]\n"
           "\n"
           "A stand-in for keeprun's server: three mirrors that serve the configuration\n"
           "text list.txt under /m/zx/ and /zx/ and take the address reports\n"
           "(POST .../ip.asp with 200), appended with a time stamp to ip.log.\n"
           "Every mirror also stands in for a chat group's bot: a POST to /hook/ (any\n"
           "path below it, any query) is answered {\"errcode\":0,\"errmsg\":\"ok\"} and\n"
           "appended to hook.log, one line each: time, mirror, path and query, body.\n"
           "Point keeprun's \"通知设置\" at http://127.0.0.1:" +
           port(0) +
           "/hook/ to see its messages.\n"
           "keeprun asks its mirrors at\n  " +
           urls[0] + "\n  " + urls[1] + "\n  " + urls[2] +
           "\nat the same time. It takes the first mirror's text only in about its first\n"
           "1.9 s, the second's from 1.9 s to 3.9 s, the third's from 3.9 s to 5.9 s;\n"
           "without one it ends with a network failure.\n"
           "\n"
           "Options:\n"
           "  --dir DIR          folder holding list.txt (code page 936); ip.log and\n"
           "                     hook.log are written there (default: " +
           d.dir +
           ", the sample)\n"
           "  --host ADDR        address to listen on (default " +
           d.host +
           ")\n"
           "  --ports A,B,C      ports of mirrors 1, 2 and 3 (default " +
           port(0) + "," + port(1) + "," + port(2) +
           ");\n"
           "                     0 takes a free port\n"
           "  --answer LIST      the mirrors that answer: 1,2,3 (default), 2, 1,3, none...;\n"
           "                     the others do not listen at all, like a mirror that is down\n"
           "  --delay N=SECONDS  mirror N waits this long before it answers list.txt\n"
           "                     (repeatable; fractions allowed; a long one stalls it)\n"
           "  --down-for SECONDS no mirror listens until SECONDS after start, as when the\n"
           "                     network comes up late (\"ready\" is printed at once)\n"
           "  --list N=FILE      mirror N serves FILE (relative to DIR) instead of\n"
           "                     DIR/list.txt (repeatable)\n"
           "  --hook-delay SECONDS  /hook/ waits this long before it answers (a chat\n"
           "                     server that stalls)\n"
           "  --hook-error TEXT  /hook/ answers {\"errcode\":310000,\"errmsg\":TEXT}, as a\n"
           "                     bot does when the signature or the keyword is wrong\n"
           "  --help             this text\n"
           "\n"
           "It prints one line per listening mirror with its base URL, then \"ready\"\n"
           "(with --down-for, \"ready\" first),\n"
           "then one line per request. It stops on Ctrl+C (SIGINT) or SIGTERM.\n"
           "\n"
           "Examples:\n"
           "  keeprun-mirror                           all answer: mirror 1's text is taken\n"
           "  keeprun-mirror --answer 2                taken from mirror 2 in poll 20\n"
           "  keeprun-mirror --answer 3 --delay 3=2.5  taken from mirror 3 in poll 40\n"
           "  keeprun-mirror --answer 1 --delay 1=2.4  mirror 1 too late: network failure\n"
           "  keeprun-mirror --answer none             network failure\n"
           "  keeprun-mirror --down-for 40             network failure, except for keeprun\n"
           "                                           --login, which tries again\n"
           "  keeprun-mirror --list 1=upgrade.txt      mirror 1 serves another text (a newer\n"
           "                                           [banben], a malformed text...)\n"
           "  keeprun-mirror --hook-error 'sign not match'  a bot that refuses messages\n";
}

bool parse_mirror_options(int argc, char** argv, MirrorOptions& opt, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h") {
            opt.help = true;
            return true;
        }
        static constexpr std::string_view known[] = {"--dir",      "--host",       "--ports",
                                                     "--answer",   "--delay",      "--list",
                                                     "--down-for", "--hook-delay", "--hook-error"};
        if (std::find(std::begin(known), std::end(known), name) == std::end(known)) {
            error = "unknown option " + std::string(name);
            return false;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + std::string(name);
            return false;
        }
        const std::string_view value = argv[++i];
        int k = 0;
        std::string_view item;
        bool ok = true;
        if (name == "--dir") {
            opt.dir = value;
        } else if (name == "--host") {
            opt.host = value;
        } else if (name == "--ports") {
            ok = read_ports(value, opt.ports);
        } else if (name == "--answer") {
            ok = read_answers(value, opt.answers);
        } else if (name == "--down-for") {
            ok = read_seconds(value, opt.down_for);
        } else if (name == "--hook-delay") {
            ok = read_seconds(value, opt.hook_delay);
        } else if (name == "--hook-error") {
            opt.hook_error = value;
        } else if (name == "--delay") {
            ok = mirror_item(value, k, item) &&
                 read_seconds(item, opt.delays[static_cast<std::size_t>(k)]);
        } else {
            ok = mirror_item(value, k, item) && !item.empty();
            if (ok) opt.lists[static_cast<std::size_t>(k)] = item;
        }
        if (!ok) {
            error = "bad value for " + std::string(name) + ": " + std::string(value);
            return false;
        }
    }
    return true;
}

int url_port(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) return -1;
    const std::size_t host = scheme + 3;
    const std::size_t slash = url.find('/', host);
    const std::string_view authority = std::string_view(url).substr(
        host, slash == std::string::npos ? std::string::npos : slash - host);
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string_view::npos || authority.ends_with(']')) return 80;
    int port = 0;
    return read_int(authority.substr(colon + 1), port) && port > 0 && port <= 65535 ? port : -1;
}

} // namespace keeprun
