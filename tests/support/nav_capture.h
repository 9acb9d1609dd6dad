// Runs a navigation record writer into a scratch file and returns what it
// wrote, so tests can compare whole records byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "stores/VLX_objects.h"

namespace vlxlog {

inline std::string capture_writer(void (*writer)(std::ofstream&)) {
    // Suite and test name: tests of several suites share a name and run in
    // parallel processes.
    const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
    const std::string path =
        testing::TempDir() + "nav_capture_" + t->test_suite_name() + "_" + t->name() + ".rnx";
    {
        std::ofstream os(path, std::ios::binary | std::ios::trunc);
        writer(os);
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A calendar date in the form the ephemeris records keep it.
inline void set_epoch(RCV_Epoch& e, int y, int mo, int d, int h, int mi, int s, int sys = TS_GPS) {
    const int v[7] = {y, mo, d, h, mi, s, sys};
    for (int i = 0; i < 7; ++i) e.v[i] = static_cast<float>(v[i]);
}

}  // namespace vlxlog
