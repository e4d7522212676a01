#pragma once
// build/keeprun-mirror started for one test: free ports, its own folder with a
// copy of the sample list.txt, stopped with SIGTERM at the end.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/mirrors.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"

extern char** environ;

namespace keeprun::test {

class MirrorProcess {
  public:
    // `args` follow "--ports 0,0,0 --dir <own folder>".
    explicit MirrorProcess(std::vector<std::string> args) {
        std::filesystem::copy_file(KEEPRUN_SAMPLE_LIST, dir_.file("list.txt"));
        args.insert(args.begin(),
                    {KEEPRUN_MIRROR_PROGRAM, "--ports", "0,0,0", "--dir", dir_.path().string()});
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = dir_.file("out.txt");
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        const auto ready = [&] { return testing::slurp(out).find("ready\n") != std::string::npos; };
        if (pid_ < 0 || !testing::wait_until(ready))
            throw std::runtime_error("keeprun-mirror did not start");
        // A mirror that does not listen gets a port nothing listens on.
        urls_ = {"http://127.0.0.1:1/m/zx/", "http://127.0.0.1:1/zx/", "http://127.0.0.1:1/zx/"};
        const std::string lines = testing::slurp(out);
        const std::regex listening(R"(mirror (\d): (http://\S+/) serving)");
        for (std::sregex_iterator it(lines.begin(), lines.end(), listening), end; it != end; ++it)
            urls_[std::stoul((*it)[1]) - 1] = (*it)[2];
    }
    ~MirrorProcess() {
        if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
    }
    const testing::TempDir& dir() const { return dir_; }
    const MirrorUrls& urls() const { return urls_; }
    // The lines of ip.log.
    std::vector<std::string> reports() const {
        std::vector<std::string> lines;
        std::istringstream in(testing::slurp(dir_.file("ip.log")));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

  private:
    testing::TempDir dir_;
    pid_t pid_ = -1;
    MirrorUrls urls_;
};

} // namespace keeprun::test
