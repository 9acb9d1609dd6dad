// Runs a program as a subprocess for end-to-end tests: its standard output
// and standard error captured separately, its exit status, optionally in
// another working directory. Also a fresh temporary directory per test.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace runcmd {

struct Result {
    int status = -1;  // exit status; 128 + signal number when killed by a signal
    std::string out;  // standard output
    std::string err;  // standard error
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Directories made by temp_dir, removed with their contents when the test
// process ends.
inline std::vector<std::string>& made_dirs() {
    static std::vector<std::string> dirs;
    return dirs;
}
inline void remove_made_dirs() {
    std::error_code ec;
    for (const std::string& d : made_dirs()) std::filesystem::remove_all(d, ec);
}

// A new empty directory under the system's temporary directory; it is
// removed at the end of the test process.
inline std::string temp_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/vorskel-XXXXXX";
    std::vector<char> name(templ.begin(), templ.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) return "";
    if (made_dirs().empty()) std::atexit(remove_made_dirs);
    made_dirs().push_back(name.data());
    return name.data();
}

// Runs argv[0] with the arguments argv[1..] (no shell), in `cwd` when it
// is not empty; standard input is /dev/null.
inline Result run(const std::vector<std::string>& argv, const std::string& cwd = "") {
    Result r;
    const std::string dir = temp_dir();
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
    r.out = slurp(out_path);
    r.err = slurp(err_path);
    return r;
}

}  // namespace runcmd
