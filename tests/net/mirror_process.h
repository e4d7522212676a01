#pragma once
// build/keeprun-mirror started for one test: free ports, its own folder holding
// a copy of the sample list.txt, stopped with SIGTERM at the end.
#include <sys/types.h>

#include <string>
#include <vector>

#include "net/mirrors.h"

namespace keeprun::test {

class MirrorProcess {
  public:
    // `args` are added to "--ports 0,0,0 --dir <own folder>".
    explicit MirrorProcess(const std::vector<std::string>& args);
    ~MirrorProcess();
    MirrorProcess(const MirrorProcess&) = delete;
    MirrorProcess& operator=(const MirrorProcess&) = delete;

    const std::string& dir() const { return dir_; }
    // The base URLs; a mirror that does not listen gets a port nothing listens on.
    const MirrorUrls& urls() const { return urls_; }
    // The lines of ip.log.
    std::vector<std::string> reports() const;

  private:
    std::string dir_;
    pid_t pid_ = -1;
    MirrorUrls urls_;
};

// The mirror program's path in the build tree.
std::string mirror_program();

// Runs the mirror program to its end with `args`; its exit code and standard output.
int run_mirror_program(const std::vector<std::string>& args, std::string& output);

} // namespace keeprun::test
