// Runs the converter binary for end-to-end tests: on a log built in memory,
// written into a directory of the test's own, where the converter writes
// its files beside it. Also what such tests compare by: the observation
// file of a run with the run date of "PGM / RUN BY / DATE" masked, the run
// year that the short file names carry, and a run of whole lines in a file.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/run_command.h"
#include "vlxlog/vlx_builder.h"

namespace convrun {

// Hides the run date and time in every "PGM / RUN BY / DATE" line.
inline std::string mask_run_date(std::string text) {
    size_t p = 0;
    while ((p = text.find("PGM / RUN BY / DATE", p)) != std::string::npos) {
        if (p >= 60) text.replace(p - 20, 15, "YYYYMMDD HHMMSS");
        p += 19;
    }
    return text;
}

// The run year less 2000, as the short file names carry it ("26").
inline std::string run_year() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return std::to_string(utc.tm_year + 1900 - 2000);
}

// Runs the converter binary with `args` in `cwd`.
inline runcmd::Result run_converter(std::vector<std::string> args, const std::string& cwd) {
    args.insert(args.begin(), VORSKEL_BIN);
    return runcmd::run(args, cwd);
}

// Writes `log` as dir/name and converts it there with the options `args`.
inline runcmd::Result convert_in(const std::string& dir, const std::string& log,
                                 std::vector<std::string> args = {}, const std::string& name = "rover.bin") {
    const std::string path = dir + "/" + name;
    EXPECT_TRUE(vlxlog::write_file(path, log)) << path;
    args.insert(args.begin(), {"-f", path});
    return run_converter(args, dir);
}

// Converts `log` with the options `args` in a directory of its own and
// returns its observation file, run date masked. A run that fails or writes
// no observation file is a test failure (and gives "").
inline std::string converted_obs(const std::string& log, const std::vector<std::string>& args = {}) {
    const std::string dir = testfiles::temp_dir();
    EXPECT_FALSE(dir.empty());
    const runcmd::Result r = convert_in(dir, log, args, "log.vlx");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::string text;
    bool found = false;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("log.", 0) == 0 && name.size() == 7 && name.back() == 'o') {
            text = testfiles::read_file(e.path().string());
            found = true;
        }
    }
    EXPECT_TRUE(found) << "no observation file in " << dir;
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

}  // namespace convrun
