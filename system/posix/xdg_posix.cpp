#include "system/posix/xdg_posix.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace keeprun {
namespace {

std::string home_folder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

} // namespace

std::string xdg_folder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string path =
        value && value[0] == '/' ? std::string(value) : home_folder() + "/" + fallback;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace keeprun
