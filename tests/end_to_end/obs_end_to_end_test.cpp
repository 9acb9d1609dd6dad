// The converter run on small logs: the whole observation file compared with
// an expected file (only the run date of the "PGM / RUN BY / DATE" line is
// masked). Each log has GPS, GLONASS and Galileo satellites, receiver,
// antenna and position messages, and epochs one second apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"
#include "vlxlog/vlx_builder.h"

using convrun::converted_obs;
using namespace vlxlog;

namespace {

constexpr uint32_t H_MS = 3600000, M_MS = 60000, S_MS = 1000;
constexpr int16_t ON = 0x40;

struct Date {
    uint16_t y;
    uint8_t m, d;
};

// Receiver, antenna and position messages that come before the first epoch.
std::string station() {
    std::string pm = "\"rcv/ver/main=\"3.7.1\"rcv/id=\"0123456789ABCDEFGHIJKLMNOP\"rcv/igs=\"VLX RCV\"";
    return frame("JP", zeros(5) + " VLX ALPHA1 " + u8(0)) + frame("PM", pm + u8(0) + zeros(6)) +
           frame("==", zeros(4) + u8(0) + "_ANT=VLXANT1" + u8(0)) +
           frame("PV", f64(1234567.8912) + f64(-2345678.1234) + f64(3456789.0));
}

// One epoch: GPS 5, GLONASS channel -3 in slot 4, GPS 12, Galileo 11 and
// GPS 20 (listed, but its C/A flag is clear: no data). GPS 5 and 12 also
// have band 2 data.
std::string epoch(uint32_t ms, Date date, int e, bool with_end) {
    std::string s = epoch_time(ms) + receiver_date(date.y, date.m, date.d, 0);
    s += frame("SX", sx_payload({{1, 5}, {2, static_cast<uint8_t>(-3)}, {1, 12}, {4, 11}, {1, 20}}));
    s += frame("NN", u8(4));
    s += frame("FC", items16({ON, ON, ON, ON, 0}));
    s += frame("F2", items16({ON, 0, ON, 0, 0}));
    s += frame("rx", items32({1000 * e, -123456, 2000000 + e, 1000000, 0}));
    s += frame("2r", items16({static_cast<int16_t>(100 + e), 0, -200, 0, 0}));
    if (with_end) s += frame("TD", zeros(3));
    return s;
}

std::string log_of(uint32_t start_ms, Date first, Date second_day, int epochs, bool with_end) {
    std::string s = station();
    for (int e = 0; e < epochs; ++e) {
        const uint32_t t = (start_ms + S_MS * static_cast<uint32_t>(e)) % 86400000u;
        const bool next_day = start_ms + S_MS * static_cast<uint32_t>(e) >= 86400000u;
        s += epoch(t, next_day ? second_day : first, e, with_end);
    }
    return s;
}

std::string expected(const char* name) { return testfiles::read_file(std::string(VORSKEL_TEST_DATA) + "/" + name); }

// The file that a log of only the first epoch of `text`'s log gives: the
// header with `interval` as its INTERVAL line ("" for none) and the first
// observation as the last one, then the first epoch record alone.
std::string first_epoch_only(const std::string& text, const std::string& interval) {
    std::string out, first_time;
    int epochs = 0;
    for (const std::string& l : testfiles::lines_of(text)) {
        const std::string label = l.size() > 60 ? l.substr(60) : "";
        if (l.rfind("> ", 0) == 0 && ++epochs == 2) break;
        if (label == "TIME OF FIRST OBS") first_time = l.substr(0, 60);
        if (label == "INTERVAL") {
            if (!interval.empty()) out += interval + "\n";
        } else if (label == "TIME OF LAST OBS") {
            out += first_time + label + "\n";
        } else {
            out += l + "\n";
        }
    }
    return out;
}

const Date MAY9 = {2024, 5, 9}, MAY10 = {2024, 5, 10};
constexpr uint32_t T1030 = 10 * H_MS + 30 * M_MS;

}  // namespace

TEST(ObsEndToEnd, Rinex400EpochsEndedByTD) {
    const std::string got = converted_obs(log_of(T1030, MAY9, MAY9, 4, true));
    EXPECT_EQ(got, expected("obs_400.rnx"));
}

// The log holds no phases: the 3.05 header has its satellite count and no
// SYS / PHASE SHIFT line; the records leave every value blank that the log
// does not give.
TEST(ObsEndToEnd, Rinex305HeaderAndRecordsOfALogWithoutPhases) {
    const std::string got = converted_obs(log_of(T1030, MAY9, MAY9, 4, true), {"-rv", "3.05"});
    EXPECT_EQ(got, expected("obs_305.rnx"));
}

// Without "TD" every epoch ends at the next "~~" and the last at the end of
// the log; the file is the same as with "TD".
TEST(ObsEndToEnd, Rinex401LogWithoutTD) {
    const std::string got = converted_obs(log_of(T1030, MAY9, MAY9, 4, false), {"-rv", "4.01"});
    EXPECT_EQ(got, expected("obs_401.rnx"));
}

TEST(ObsEndToEnd, PeriodKeepsEveryOtherEpochFromTheFirst) {
    for (bool with_end : {false, true}) {
        const std::string got = converted_obs(log_of(T1030, MAY9, MAY9, 5, with_end), {"-p", "2"});
        EXPECT_EQ(got, expected("obs_400_p2.rnx")) << (with_end ? "with TD" : "without TD");
    }
}

// A log of one epoch, closed by "TD" or by the end of the log: the header
// and the record that a longer log starts with, less the INTERVAL line
// (the log shows no interval) unless "-p" gives one, with the epoch as the
// first and the last observation.
TEST(ObsEndToEnd, SingleEpochGetsTheHeaderAndItsRecord) {
    const std::string p30 = "    30.000                                                  INTERVAL";
    struct Case {
        const char* file;
        std::vector<std::string> args;
        std::string interval;
    } cases[] = {
        {"obs_400.rnx", {}, ""},
        {"obs_305.rnx", {"-rv", "3.05"}, ""},
        {"obs_401.rnx", {"-rv", "4.01"}, ""},
        {"obs_400.rnx", {"-p", "30"}, p30},
        {"obs_305.rnx", {"-rv", "3.05", "-p", "30"}, p30},
    };
    for (bool with_end : {true, false})
        for (const Case& c : cases) {
            const std::string got = converted_obs(log_of(T1030, MAY9, MAY9, 1, with_end), c.args);
            EXPECT_EQ(got, first_epoch_only(expected(c.file), c.interval))
                << c.file << (c.interval.empty() ? "" : ", -p 30") << (with_end ? ", with TD" : ", without TD");
        }
}

// A log that starts at 23:59:59: its second epoch begins at 00:00:00.000.
TEST(ObsEndToEnd, LogCrossingMidnightKeepsItsFirstEpoch) {
    const std::string got = converted_obs(log_of(23 * H_MS + 59 * M_MS + 59 * S_MS, MAY9, MAY10, 3, true));
    EXPECT_EQ(got, expected("obs_400_midnight.rnx"));
}
