// Runs the converter binary on one log under a time limit, with the
// sanitizers' exit codes set apart from the converter's own status 1, for
// tests that feed it hostile logs.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"
#include "support/run_command.h"

namespace limited {

struct Outcome {
    int status = -1;  // exit status, or 128 + signal
    bool timed_out = false;
    std::string err;
};

// Runs the converter on dir/log.vlx, in `dir`,, killed after `limit_s` seconds.
// The sanitizers get exit codes of their own, so that a report can never
// pass for the converter's status 1.
inline Outcome convert(const std::string& dir, const std::vector<std::string>& opts, int limit_s) {
    Outcome o;
    const std::string err_path = dir + "/stderr";
    std::vector<std::string> argv = {VORSKEL_BIN, "-f", dir + "/log.vlx"};
    argv.insert(argv.end(), opts.begin(), opts.end());
    pid_t pid = fork();
    if (pid < 0) return o;
    if (pid == 0) {
        setenv("ASAN_OPTIONS", "detect_leaks=0:exitcode=86", 1);
        setenv("UBSAN_OPTIONS", "halt_on_error=1:exitcode=87:print_stacktrace=1", 1);
        FILE* in = std::freopen("/dev/null", "r", stdin);
        FILE* out = std::freopen("/dev/null", "w", stdout);
        FILE* err = std::freopen(err_path.c_str(), "w", stderr);
        if (!in || !out || !err || chdir(dir.c_str()) != 0) _exit(127);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit_s);
    int st = 0;
    for (;;) {
        pid_t w = waitpid(pid, &st, WNOHANG);
        if (w == pid) break;
        if (w < 0) return o;
        if (std::chrono::steady_clock::now() > deadline) {
            o.timed_out = true;
            kill(pid, SIGKILL);
            waitpid(pid, &st, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    o.err = testfiles::read_file(err_path);
    return o;
}

// True when the run ended by itself with status 0 or 1 and no sanitizer
// spoke.
inline bool clean(const Outcome& o) {
    return !o.timed_out && (o.status == 0 || o.status == 1) && o.err.find("Sanitizer") == std::string::npos &&
           o.err.find("runtime error") == std::string::npos;
}

}  // namespace limited
