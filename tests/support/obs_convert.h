// Runs the converter binary on a log built in memory and hands back its
// observation file, with the run date of "PGM / RUN BY / DATE" masked; and
// finds a run of whole lines in such a file.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "support/files.h"
#include "support/run_command.h"
#include "vlxlog/vlx_builder.h"

namespace obsconv {

inline std::string mask_run_date(std::string text) {
    size_t p = 0;
    while ((p = text.find("PGM / RUN BY / DATE", p)) != std::string::npos) {
        if (p >= 60) text.replace(p - 20, 15, "YYYYMMDD HHMMSS");
        p += 19;
    }
    return text;
}

// Converts `log` with the options `args` in a directory of its own; ""
// when no observation file was written.
inline std::string convert(const std::string& log, const std::vector<std::string>& args = {}) {
    const std::string dir = testfiles::temp_dir();
    EXPECT_FALSE(dir.empty());
    const std::string path = dir + "/log.vlx";
    EXPECT_TRUE(vlxlog::write_file(path, log));
    std::vector<std::string> argv = {VORSKEL_BIN, "-f", path};
    argv.insert(argv.end(), args.begin(), args.end());
    const runcmd::Result r = runcmd::run(argv, dir);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::string text;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.rfind("log.", 0) == 0 && name.size() == 7 && name.back() == 'o')
                text = testfiles::read_file(dir + "/" + name);
        }
        closedir(d);
    }
    return mask_run_date(text);
}

// Whether `block` stands in `text` as consecutive whole lines.
inline bool has_lines(const std::string& text, const std::vector<std::string>& block) {
    std::string joined;
    for (const std::string& l : block) joined += l + "\n";
    if (joined.empty()) return true;
    for (size_t p = text.find(joined); p != std::string::npos; p = text.find(joined, p + 1))
        if (p == 0 || text[p - 1] == '\n') return true;
    return false;
}

}  // namespace obsconv
