#include "mirror_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "waiting.h"

extern char** environ;

namespace keeprun::test {
namespace {

namespace fs = std::filesystem;

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

pid_t spawn(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    std::vector<std::string> argv_s{mirror_program()};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) throw std::runtime_error("cannot start " + argv_s[0]);
    return pid;
}

std::string make_temp_dir() {
    std::string pattern = (fs::temp_directory_path() / "keeprun-mirror-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

} // namespace

std::string mirror_program() {
    return KEEPRUN_MIRROR_PROGRAM;
}

MirrorProcess::MirrorProcess(const std::vector<std::string>& args) : dir_(make_temp_dir()) {
    fs::copy_file(KEEPRUN_SAMPLE_LIST, dir_ + "/list.txt");
    std::vector<std::string> all{"--ports", "0,0,0", "--dir", dir_};
    all.insert(all.end(), args.begin(), args.end());
    const std::string out = dir_ + "/out.txt";
    pid_ = spawn(all, out, dir_ + "/err.txt");
    int status = 0;
    bool exited = false;
    const bool ready = eventually([&] {
        exited = exited || waitpid(pid_, &status, WNOHANG) == pid_;
        return exited || read_all(out).find("ready\n") != std::string::npos;
    });
    if (exited) pid_ = -1;
    if (!ready || exited)
        throw std::runtime_error("keeprun-mirror did not start: " + read_all(dir_ + "/err.txt"));
    const std::string lines = read_all(out);
    const std::regex listening(R"(mirror (\d): (http://\S+/) serving)");
    urls_ = {"http://127.0.0.1:1/m/zx/", "http://127.0.0.1:1/zx/", "http://127.0.0.1:1/zx/"};
    for (std::sregex_iterator it(lines.begin(), lines.end(), listening), end; it != end; ++it)
        urls_[static_cast<std::size_t>(std::stoi((*it)[1]) - 1)] = (*it)[2];
}

MirrorProcess::~MirrorProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::vector<std::string> MirrorProcess::reports() const {
    std::vector<std::string> lines;
    std::istringstream in(read_all(dir_ + "/ip.log"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int run_mirror_program(const std::vector<std::string>& args, std::string& output) {
    const std::string dir = make_temp_dir();
    const pid_t pid = spawn(args, dir + "/out.txt", dir + "/err.txt");
    int status = 0;
    waitpid(pid, &status, 0);
    output = read_all(dir + "/out.txt") + read_all(dir + "/err.txt");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace keeprun::test
