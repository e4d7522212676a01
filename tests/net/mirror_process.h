#pragma once
// build/keeprun-mirror started for one test: free ports, its own folder with a
// copy of the sample list.txt, stopped with SIGTERM at the end.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/mirrors.h"
#include "waiting.h"

extern char** environ;

namespace keeprun::test {

inline std::string read_file(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

class MirrorProcess {
  public:
    // `args` follow "--ports 0,0,0 --dir <own folder>".
    explicit MirrorProcess(std::vector<std::string> args) {
        std::filesystem::copy_file(KEEPRUN_SAMPLE_LIST, dir_ + "/list.txt");
        args.insert(args.begin(), {KEEPRUN_MIRROR_PROGRAM, "--ports", "0,0,0", "--dir", dir_});
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = dir_ + "/out.txt";
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        if (pid_ < 0 ||
            !eventually([&] { return read_file(out).find("ready\n") != std::string::npos; }))
            throw std::runtime_error("keeprun-mirror did not start");
        // A mirror that does not listen gets a port nothing listens on.
        urls_ = {"http://127.0.0.1:1/m/zx/", "http://127.0.0.1:1/zx/", "http://127.0.0.1:1/zx/"};
        const std::string lines = read_file(out);
        const std::regex listening(R"(mirror (\d): (http://\S+/) serving)");
        for (std::sregex_iterator it(lines.begin(), lines.end(), listening), end; it != end; ++it)
            urls_[std::stoul((*it)[1]) - 1] = (*it)[2];
    }
    ~MirrorProcess() {
        if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& dir() const { return dir_; }
    const MirrorUrls& urls() const { return urls_; }
    // The lines of ip.log.
    std::vector<std::string> reports() const {
        std::vector<std::string> lines;
        std::istringstream in(read_file(dir_ + "/ip.log"));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

  private:
    static std::string make_dir() {
        std::string p = (std::filesystem::temp_directory_path() / "keeprun-mirror-XXXXXX").string();
        if (!mkdtemp(p.data())) throw std::runtime_error("mkdtemp failed");
        return p;
    }
    std::string dir_ = make_dir();
    pid_t pid_ = -1;
    MirrorUrls urls_;
};

} // namespace keeprun::test
