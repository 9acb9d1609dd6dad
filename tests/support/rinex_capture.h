// Captures what a RINEX writer puts into its std::ofstream: the writer runs
// against a scratch file, whose bytes come back as a string. Also splits
// text into lines and pads header contents to the label column.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace rinexcap {

inline std::string scratch_path() {
    static int n = 0;
    return ::testing::TempDir() + "vorskel_capture_" + std::to_string(getpid()) + "_" + std::to_string(n++) + ".txt";
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs `write` on a fresh output file and returns everything it wrote.
inline std::string capture(const std::function<void(std::ofstream&)>& write) {
    const std::string path = scratch_path();
    {
        std::ofstream out(path, std::ios::out | std::ios::trunc);
        write(out);
    }
    std::string text = read_file(path);
    std::remove(path.c_str());
    return text;
}

// The lines of a text, without their newlines.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> v;
    size_t p = 0;
    while (p < text.size()) {
        size_t e = text.find('\n', p);
        if (e == std::string::npos) e = text.size();
        v.push_back(text.substr(p, e - p));
        p = e + 1;
    }
    return v;
}

// A header line: its content blank-padded to 60 columns, then the label.
inline std::string H(const std::string& content, const std::string& label) {
    std::string s = content;
    if (s.size() < 60) s.append(60 - s.size(), ' ');
    return s + label + "\n";
}

inline std::string blanks(size_t n) { return std::string(n, ' '); }

}  // namespace rinexcap
