// Replays every log kept in tests/data/fuzz-regressions (inputs that once
// crashed the converter, tripped a sanitizer or hung it) through the
// converter binary under a few command lines. Each run must end by itself
// within a time limit with status 0 or 1, without a signal and without a
// sanitizer report; in the sanitized build the binary is sanitized too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/run_limited.h"

namespace fs = std::filesystem;
using limited::Outcome;

namespace {

std::vector<fs::path> regression_logs() {
    std::vector<fs::path> logs;
    const fs::path dir = fs::path(VORSKEL_TEST_DATA) / "fuzz-regressions";
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file()) logs.push_back(e.path());
    std::sort(logs.begin(), logs.end());
    return logs;
}

}  // namespace

TEST(FuzzRegressions, EveryKeptInputEndsCleanly) {
    const std::vector<fs::path> logs = regression_logs();
    ASSERT_FALSE(logs.empty()) << "no inputs in tests/data/fuzz-regressions";
    const std::vector<std::vector<std::string>> command_lines = {
        {"-rv", "4.00"}, {"-rv", "3.05"}, {"-rv", "4.01", "-SN"}};
    for (const fs::path& log : logs) {
        for (const std::vector<std::string>& opts : command_lines) {
            const std::string dir = testfiles::temp_dir();
            ASSERT_FALSE(dir.empty());
            fs::copy_file(log, dir + "/log.vlx");
            const Outcome o = limited::convert(dir, opts, 60);
            std::string what = log.filename().string();
            for (const std::string& a : opts) what += " " + a;
            EXPECT_FALSE(o.timed_out) << what << ": still running after the time limit";
            EXPECT_TRUE(o.status == 0 || o.status == 1) << what << ": status " << o.status << "\n" << o.err;
            EXPECT_EQ(o.err.find("Sanitizer"), std::string::npos) << what << "\n" << o.err;
            EXPECT_EQ(o.err.find("runtime error"), std::string::npos) << what << "\n" << o.err;
        }
    }
}
