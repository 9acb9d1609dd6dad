// Runs a program as a subprocess for end-to-end tests: its standard output
// and standard error captured separately, its exit status, optionally in
// another working directory.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/files.h"

namespace runcmd {

struct Result {
    int status = -1;  // exit status; 128 + signal number when killed by a signal
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs argv[0] with the arguments argv[1..] (no shell), in `cwd` when it
// is not empty; standard input is /dev/null.
inline Result run(const std::vector<std::string>& argv, const std::string& cwd = "") {
    Result r;
    const std::string dir = testfiles::temp_dir();
    if (dir.empty() || argv.empty()) return r;
    const std::string out_path = dir + "/stdout", err_path = dir + "/stderr";

    pid_t pid = fork();
    if (pid < 0) return r;
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int st = 0;
    while (waitpid(pid, &st, 0) < 0) {
        if (errno != EINTR) return r;
    }
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.out = testfiles::read_file(out_path);
    r.err = testfiles::read_file(err_path);
    return r;
}

}  // namespace runcmd
