// The converter run on a small log with GLONASS code-division satellites:
// the whole observation file compared with an expected file (run date
// masked). The code-division signals are folded into the GLONASS records
// of the matching slot; the epochs end in every way the observation pass
// knows (at the next "~~", at "TD", at a repeated "TD"), some epochs lack
// the code-division satellites, and a receiver-name message arrives in
// the middle, so the fold has to follow every change of the tables.
//
// The expected files change only on purpose; regenerate them with
//   UPDATE_EXPECTED=1 ctest --test-dir build -R ObsCodeDivision
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"
#include "vlxlog/vlx_builder.h"

using convrun::converted_obs;
using namespace vlxlog;

namespace {

constexpr int16_t ON = 0x40;
constexpr uint32_t T0 = (10 * 3600 + 30 * 60) * 1000u;

std::string station() {
    std::string pm = "\"rcv/ver/main=\"3.7.1\"rcv/id=\"0123456789ABCDEFGHIJKLMNOP\"rcv/igs=\"VLX RCV\"";
    return frame("JP", zeros(5) + " VLX ALPHA1 " + u8(0)) + frame("PM", pm + u8(0) + zeros(6)) +
           frame("==", zeros(4) + u8(0) + "_ANT=VLXANT1" + u8(0)) +
           frame("PV", f64(1234567.8912) + f64(-2345678.1234) + f64(3456789.0));
}

// Epoch e: GPS 5, GLONASS channel -3 in slot 4, code-division 4, GLONASS
// channel 1 in slot 9, code-division 9. Every third epoch from the second
// on has no code-division satellites.
std::string epoch(int e) {
    const uint32_t ms = T0 + 1000u * static_cast<uint32_t>(e);
    std::string s = epoch_time(ms) + receiver_date(2024, 5, 9, 0);
    const bool cdma = e % 3 != 1;
    const int16_t d = static_cast<int16_t>(e);
    if (cdma) {
        s += frame("SX", sx_payload({{1, 5}, {2, static_cast<uint8_t>(-3)}, {9, 4}, {2, 1}, {9, 9}}));
        s += frame("NN", u8(4) + u8(9));
        s += frame("FC", items16({ON, ON, ON, ON, ON}));
        s += frame("F3", items16({0, 0, ON, 0, ON}));
        s += frame("F5", items16({ON, ON, ON, ON, 0}));
        s += frame("rx", items32({1000 * e, -123456, 2000000 + e, 1000000, 3000000 - e}));
        s += frame("3r", items16({0, 0, static_cast<int16_t>(300 + d), 0, -40}));
        s += frame("5r", items16({static_cast<int16_t>(10 + d), -20, 30, 40, 0}));
        s += frame("cp", items32({100000 + e, 200000, 300000 - e, 400000, 500000}));
        s += frame("3p", items32({0, 0, 310000 + e, 0, 510000}));
        s += frame("5p", items32({110000, 210000 + e, 320000, 410000, 0}));
        s += frame("DX", items32({5000 + e, -6000, 7000, 8000 - e, 9000}));
        s += frame("0d", items16({1, 2, 3, 4, 5}));
        s += frame("3d", items16({0, 0, static_cast<int16_t>(7 + d), 0, 9}));
        s += frame("5d", items16({11, 12, 13, static_cast<int16_t>(14 + d), 0}));
        s += frame("CE", items8({180, 170, 160, 150, 140}));
        s += frame("3E", items8({0, 0, 161, 0, 141}));
        s += frame("5E", items8({181, 171, 162, 151, 0}));
    } else {
        s += frame("SX", sx_payload({{1, 5}, {2, static_cast<uint8_t>(-3)}, {2, 1}}));
        s += frame("NN", u8(4) + u8(9));
        s += frame("FC", items16({ON, ON, ON}));
        s += frame("F5", items16({ON, ON, ON}));
        s += frame("rx", items32({1000 * e, -123456, 1000000}));
        s += frame("5r", items16({static_cast<int16_t>(10 + d), -20, 40}));
        s += frame("cp", items32({100000 + e, 200000, 400000}));
        s += frame("CE", items8({180, 170, 150}));
    }
    if (e == 4) s += frame("JP", zeros(5) + " VLX BETA2 " + u8(0));
    if (e % 4 == 1 || e % 4 == 2) s += frame("TD", zeros(3));  // the others end at the next "~~"
    if (e % 4 == 2) s += frame("TD", zeros(3));                // a repeated end
    return s;
}

std::string log_of(int epochs) {
    std::string s = station();
    for (int e = 0; e < epochs; ++e) s += epoch(e);
    return s;
}

void check(const std::vector<std::string>& args, const char* expected_name) {
    const std::string got = converted_obs(log_of(12), args);
    ASSERT_FALSE(got.empty());
    const std::string path = std::string(VORSKEL_TEST_DATA) + "/" + expected_name;
    const char* update = std::getenv("UPDATE_EXPECTED");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << got;
        GTEST_SKIP() << "expected file written: " << path;
    }
    EXPECT_EQ(got, testfiles::read_file(path));
}

}  // namespace

TEST(ObsCodeDivision, Rinex401FoldsCodeDivisionIntoGlonass) { check({"-rv", "4.01"}, "obs_cdma_401.rnx"); }

TEST(ObsCodeDivision, Rinex305FoldsCodeDivisionIntoGlonass) { check({"-rv", "3.05"}, "obs_cdma_305.rnx"); }

TEST(ObsCodeDivision, WithoutCodeDivisionSwitch) { check({"-rv", "4.00", "-GC"}, "obs_cdma_400_off.rnx"); }
