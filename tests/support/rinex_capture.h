// Captures what a RINEX writer puts into its std::ofstream: the writer runs
// against a scratch file, whose bytes come back as a string, so that tests
// compare whole lines and records byte for byte. Also a header line padded
// to its label column.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "support/files.h"

namespace rinexcap {

// A scratch file of its own per call: the tests of one process run one
// after another, those of several processes at once.
inline std::string scratch_path() {
    static int n = 0;
    return ::testing::TempDir() + "vorskel_capture_" + std::to_string(getpid()) + "_" + std::to_string(n++) + ".txt";
}

// Runs `write` on a fresh output file and returns everything it wrote.
inline std::string capture(const std::function<void(std::ofstream&)>& write) {
    const std::string path = scratch_path();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        write(out);
    }
    std::string text = testfiles::read_file(path);
    std::remove(path.c_str());
    return text;
}

// A header line: its content blank-padded to 60 columns, then the label.
inline std::string H(const std::string& content, const std::string& label) {
    std::string s = content;
    if (s.size() < 60) s.append(60 - s.size(), ' ');
    return s + label + "\n";
}

inline std::string blanks(size_t n) { return std::string(n, ' '); }

}  // namespace rinexcap
