// The observation pass over small logs of epoch-time and epoch-end
// messages: where the header goes, which epochs are written on the
// interval grid (also across midnight), the end of the log, and the header
// and record of a log of one epoch (after a first pass over the same log).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "rinex_obs/Rinex_File_maker.h"
#include "rinex_obs/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/log_feed.h"
#include "support/rinex_capture.h"
#include "vlxlog/vlx_builder.h"

using rinexcap::capture;
using rinexcap::H;
using testfiles::lines_of;

namespace {

constexpr uint32_t H_MS = 3600000, M_MS = 60000, S_MS = 1000;

// A log of epochs: each a "~~" with its time of day, optionally closed by "TD".
std::string epochs_log(const std::vector<uint32_t>& times, bool with_end) {
    std::string log;
    for (uint32_t t : times) {
        log += vlxlog::epoch_time(t);
        if (with_end) log += vlxlog::frame("TD", std::string(8, '\0'));
    }
    return log;
}

std::vector<uint32_t> every(uint32_t start_ms, uint32_t step_ms, int n) {
    std::vector<uint32_t> v;
    for (int i = 0; i < n; ++i) v.push_back((start_ms + step_ms * static_cast<uint32_t>(i)) % 86400000u);
    return v;
}

// A fresh pass: the header not yet written, the first epoch's time as the
// first pass finds it (the logs carry no receiver dates) and the data
// interval known.
void fresh(int y, int mo, int d, int h, int mi, int s, float interval, double requested) {
    reset_stores();
    Epoch_first_obs = {days_from_civil(y, mo, d), static_cast<uint32_t>(h * H_MS + mi * M_MS + s * S_MS), true};
    RCV_date.v[EP_SYS] = 0;
    INTERVAL_Aux = interval;
    INTERVAL_Requested = requested;
}

std::string run_pass(std::string log) {
    FILE* f = fmemopen(log.data(), log.size(), "rb");
    EXPECT_NE(f, nullptr);
    std::string text = capture([f](std::ofstream& o) { ObservationFileMaker(o, f); });
    std::fclose(f);
    return text;
}

// Date and time of every epoch line ("2024 05 09 10 30 30.0000000").
std::vector<std::string> epoch_times(const std::string& text) {
    std::vector<std::string> v;
    for (const std::string& l : lines_of(text))
        if (l.rfind("> ", 0) == 0) v.push_back(l.substr(2, 27));
    return v;
}

// Epoch e of a GPS receiver, one second apart from 10:30:00 on 9 May
// 2024: G12 listed before G05, both with a code range, a C/A phase and a
// strength; closed by "TD" when `with_end`.
std::string gps_epoch(int e, bool with_end) {
    using namespace vlxlog;
    constexpr int16_t ON = 0x40;
    std::string s = epoch_time(10 * H_MS + 30 * M_MS + S_MS * static_cast<uint32_t>(e)) + receiver_date(2024, 5, 9);
    s += frame("SX", sx_payload({{1, 12}, {1, 5}})) + frame("FC", items16({ON, ON})) +
         frame("rx", items32({2000000 + e, 1000000 + e})) + frame("cp", items32({300000, 100000})) +
         frame("CE", items8({150, 180}));
    if (with_end) s += frame("TD", zeros(3));
    return s;
}

// Epoch e of a GLONASS receiver: channel 1 in slot 9 beside the
// code-division satellite 9, whose values the pass folds into R09.
std::string glonass_epoch(int e, bool with_end) {
    using namespace vlxlog;
    constexpr int16_t ON = 0x40;
    std::string s = epoch_time(10 * H_MS + 30 * M_MS + S_MS * static_cast<uint32_t>(e)) + receiver_date(2024, 5, 9);
    s += frame("SX", sx_payload({{2, 1}, {9, 9}})) + frame("NN", u8(9)) + frame("FC", items16({ON, ON})) +
         frame("rx", items32({1000000 + e, 3000000 + e})) + frame("cp", items32({100000, 300000})) +
         frame("CE", items8({150, 140}));
    if (with_end) s += frame("TD", zeros(3));
    return s;
}

using Epoch_builder = std::string (*)(int, bool);

std::string log_of(Epoch_builder epoch, int epochs, bool with_end) {
    std::string log;
    for (int e = 0; e < epochs; ++e) log += epoch(e, with_end);
    return log;
}

std::string gps_log(int epochs, bool with_end) { return log_of(gps_epoch, epochs, with_end); }

// Both passes over a log, as the converter runs them: the first pass
// (dates, data interval, code tables, the 3.05 survey of the records),
// then the observation pass, with a fixed run date.
std::string convert(const std::string& log, double version, double requested) {
    reset_stores();
    Rinex_Ver = version;
    INTERVAL_Requested = requested;
    vlxlog::feed_first_pass(log);
    Aux_stage = 0;
    sort_SV_num();
    year = 2024, month = 5, day = 9, hour = 12, minutes = 0, sec = 0;
    return run_pass(log);
}

// The text without its lines of the given labels, and without everything
// from the line that starts with `cut` on.
std::string without(const std::string& text, const std::vector<std::string>& labels, const std::string& cut) {
    std::string out;
    for (const std::string& l : lines_of(text)) {
        if (!cut.empty() && l.rfind(cut, 0) == 0) break;
        bool dropped = false;
        for (const std::string& label : labels) dropped = dropped || (l.size() > 60 && l.substr(60) == label);
        if (!dropped) out += l + "\n";
    }
    return out;
}

int header_lines_before_first_epoch(const std::string& text, int* end_line) {
    const auto lines = lines_of(text);
    *end_line = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > 60 && lines[i].substr(60) == "END OF HEADER") *end_line = static_cast<int>(i);
        if (lines[i].rfind("> ", 0) == 0) return static_cast<int>(i);
    }
    return static_cast<int>(lines.size());
}

}  // namespace

TEST(ObsPass, HeaderThenEveryEpochIncludingTheLastWithoutEnd) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    const std::string text = run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 4), false));
    int end_line;
    const int first_epoch = header_lines_before_first_epoch(text, &end_line);
    EXPECT_EQ(end_line, first_epoch - 1);
    EXPECT_EQ(lines_of(text)[0].substr(60), "RINEX VERSION / TYPE");
    EXPECT_NE(text.find(rinexcap::H("     1.000", "INTERVAL")), std::string::npos);
    EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 10 30  0.0000000", "2024 05 09 10 30  1.0000000",
                                                           "2024 05 09 10 30  2.0000000", "2024 05 09 10 30  3.0000000"}));
}

TEST(ObsPass, EpochsClosedByEndMessagesAreWrittenOnce) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    const std::string text = run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 3), true));
    EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 10 30  0.0000000", "2024 05 09 10 30  1.0000000",
                                                           "2024 05 09 10 30  2.0000000"}));
}

TEST(ObsPass, RepeatedEndMessageDoesNotWriteTheEpochAgain) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    std::string log = epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 3), true);
    log += vlxlog::frame("TD", std::string(8, '\0'));
    const std::string text = run_pass(log);
    EXPECT_EQ(epoch_times(text).size(), 3u);
}

// A log of one epoch, closed by "TD" or only by the end of the log: the
// header comes at the end of the log with the epoch's record. The epoch is
// the first and the last observation; the log shows no interval, so the
// INTERVAL line is there only with "-p"; RINEX 3.05 lists the phases and
// satellites of the one record.
TEST(ObsPass, OneEpochLogGetsTheHeaderAndItsRecord) {
    const std::string time = "  2024     5     9    10    30    0.0000000     GPS";
    const std::string v305 = H("G L1C  0.00000  02 G05 G12", "SYS / PHASE SHIFT") + H("     2", "# OF SATELLITES");
    const std::string record = "> 2024 05 09 10 30  0.0000000  0  2       0.000000000000\n"
                               "G05  22487432.275   118172397.484 7                        45.000  \n"
                               "G12  22490430.199   118188438.251 6                        37.500  \n";
    struct Case {
        double version;
        const char* version_field;
        double requested;
        std::string interval;  // the INTERVAL line, "" for none
        std::string tail;      // the lines between LEAP SECONDS and END OF HEADER
    } cases[] = {
        {3.05, "     3.05", 0, "", v305},
        {4.0, "     4.00", 0, "", ""},
        {4.01, "     4.01", 0, "", ""},
        {3.05, "     3.05", 30, H("    30.000", "INTERVAL"), v305},
        {4.0, "     4.00", 30, H("    30.000", "INTERVAL"), ""},
    };
    for (bool with_end : {true, false}) {
        for (const Case& c : cases) {
            const std::string text = convert(gps_log(1, with_end), c.version, c.requested);
            const std::string expected =
                H(std::string(c.version_field) + "           OBSERVATION DATA    G", "RINEX VERSION / TYPE") +
                H("VORSKEL v0.1.2b     TOVRA GNSS          20240509 120000 UTC ", "PGM / RUN BY / DATE") +
                H("", "OBSERVER / AGENCY") + H("", "MARKER NAME") + H("", "REC # / TYPE / VERS") +
                H("        0.0000        0.0000        0.0000", "APPROX POSITION XYZ") +
                H("-Unknown-", "ANT # / TYPE") + H("        0.0000        0.0000        0.0000", "ANTENNA: DELTA H/E/N") +
                H("G    4 C1C L1C D1C S1C", "SYS / # / OBS TYPES") + H("  0", "GLONASS SLOT / FRQ #") +
                H("", "GLONASS COD/PHS/BIS") + c.interval + H(time, "TIME OF FIRST OBS") +
                H(time, "TIME OF LAST OBS") + H("     0", "LEAP SECONDS") + c.tail + H("", "END OF HEADER") + record;
            EXPECT_EQ(text, expected) << c.version << " -p " << c.requested << (with_end ? ", TD" : ", no TD");
        }
    }
}

// Apart from its INTERVAL and TIME OF LAST OBS lines, the file of a log of
// one epoch is the start of the file of the same log with a second epoch:
// the same header lines and the same first record, also where code-division
// values are folded into a GLONASS satellite.
TEST(ObsPass, OneEpochFileIsTheStartOfALongerLogsFile) {
    for (Epoch_builder epoch : {gps_epoch, glonass_epoch})
        for (bool with_end : {true, false})
            for (double version : {3.05, 4.0, 4.01}) {
                const std::string one = convert(log_of(epoch, 1, with_end), version, 0);
                const std::string two = convert(log_of(epoch, 2, with_end), version, 0);
                ASSERT_NE(two.find(H("     1.000", "INTERVAL")), std::string::npos);
                EXPECT_EQ(without(one, {"TIME OF LAST OBS"}, ""),
                          without(two, {"INTERVAL", "TIME OF LAST OBS"}, "> 2024 05 09 10 30  1.0000000"))
                    << (epoch == gps_epoch ? "GPS " : "GLONASS ") << version << (with_end ? ", TD" : ", no TD");
            }
}

// A log without any epoch-time message has no epoch: the file stays empty,
// also when the log has an epoch end, a receiver date and observations.
TEST(ObsPass, LogWithoutEpochGivesAnEmptyFile) {
    const std::string no_epoch_time = gps_epoch(0, true).substr(vlxlog::epoch_time(0).size());
    for (double version : {3.05, 4.0}) {
        EXPECT_EQ(convert("", version, 0), "") << version;
        EXPECT_EQ(convert(no_epoch_time, version, 0), "") << version;
        EXPECT_EQ(convert(no_epoch_time, version, 30), "") << version;
    }
}

// The grid is counted from the first written epoch, whether epochs end at
// "TD" or at the next "~~".
TEST(ObsPass, IntervalGridFromTheFirstWrittenEpoch) {
    struct Case {
        double requested;
        bool with_end;
        std::vector<std::string> written;
    } cases[] = {
        {2.0, false, {"10 30  0", "10 30  2", "10 30  4"}},
        {2.0, true, {"10 30  0", "10 30  2", "10 30  4"}},
        {3.0, false, {"10 30  0", "10 30  3"}},
        {0.0004, false, {"10 30  0", "10 30  1", "10 30  2", "10 30  3", "10 30  4", "10 30  5"}},
        {-2.0, false, {"10 30  0", "10 30  1", "10 30  2", "10 30  3", "10 30  4", "10 30  5"}},
        {1e12, true, {"10 30  0"}},
    };
    for (const Case& c : cases) {
        fresh(2024, 5, 9, 10, 30, 0, 1.0f, c.requested);
        const auto times = epoch_times(run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 6), c.with_end)));
        std::vector<std::string> got;
        for (const auto& t : times) got.push_back(t.substr(11, 8));
        EXPECT_EQ(got, c.written) << c.requested << (c.with_end ? " TD" : "");
    }
}

TEST(ObsPass, GridAcrossMidnight) {
    for (bool with_end : {false, true}) {
        fresh(2024, 5, 9, 23, 59, 50, 1.0f, 30.0);
        const std::string text = run_pass(epochs_log(every(23 * H_MS + 59 * M_MS + 50 * S_MS, S_MS, 45), with_end));
        EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 23 59 50.0000000",
                                                               "2024 05 10 00 00 20.0000000"}))
            << with_end;
        EXPECT_NE(text.find(rinexcap::H("    30.000", "INTERVAL")), std::string::npos);
    }
}

// A log that starts one second before midnight: its second epoch begins at
// time of day 0, and the first epoch must still be written.
TEST(ObsPass, SecondEpochAtMidnightKeepsTheFirstEpoch) {
    for (bool with_end : {false, true}) {
        fresh(2024, 5, 9, 23, 59, 59, 1.0f, 0);
        const std::string text = run_pass(epochs_log(every(23 * H_MS + 59 * M_MS + 59 * S_MS, S_MS, 3), with_end));
        EXPECT_NE(text.find(rinexcap::H("  2024     5     9    23    59   59.0000000     GPS", "TIME OF FIRST OBS")),
                  std::string::npos);
        EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 23 59 59.0000000",
                                                               "2024 05 10 00 00  0.0000000",
                                                               "2024 05 10 00 00  1.0000000"}))
            << with_end;
        int end_line;
        header_lines_before_first_epoch(text, &end_line);
        EXPECT_GT(end_line, 0);
    }
}

// RINEX epochs rise: an epoch at or before the last one written is left
// out, and the epochs after it keep their own day, before and after a
// midnight, on and off the grid, ended by "TD" or not, and at the end of the
// log.
TEST(ObsPass, EpochsThatDoNotRiseAreLeftOut) {
    const uint32_t T0 = 10 * H_MS + 30 * M_MS, NIGHT = 23 * H_MS + 59 * M_MS + 58 * S_MS;
    struct Case {
        const char* what;
        std::vector<uint32_t> times;  // ms of day
        double requested;
        std::vector<std::string> written;
        int dated_at = -1;  // the epoch that carries the receiver date (the first pass's)
    } cases[] = {
        {"one out of order", {T0 + 30000, T0 + 31000, T0 + 32000, T0 + 31000, T0 + 33000, T0 + 34000}, 0,
         {"09 10 30 30", "09 10 30 31", "09 10 30 32", "09 10 30 33", "09 10 30 34"}},
        {"repeated", {T0, T0 + 1000, T0 + 1000, T0 + 2000}, 0, {"09 10 30  0", "09 10 30  1", "09 10 30  2"}},
        {"the first repeated", {T0, T0, T0 + 1000}, 0, {"09 10 30  0", "09 10 30  1"}},
        {"the last out of order", {T0, T0 + 1000, T0 + 2000, T0 + 1500}, 0,
         {"09 10 30  0", "09 10 30  1", "09 10 30  2"}},
        {"half a day back", {T0 + 12 * H_MS, T0, T0 + 12 * H_MS + 1000}, 0,
         {"09 22 30  0", "09 22 30  1"}},
        {"half a day back, dated", {T0 + 12 * H_MS, T0, T0 + 12 * H_MS + 1000, T0 + 12 * H_MS + 2000}, 0,
         {"09 22 30  0", "09 22 30  1", "09 22 30  2"}, 1},
        {"over midnight", {NIGHT, NIGHT + 1000, 0, 1000, NIGHT + 1000, 2000, 1000, 3000}, 0,
         {"09 23 59 58", "09 23 59 59", "10 00 00  0", "10 00 00  1", "10 00 00  2", "10 00 00  3"}},
        {"on the grid", {T0, T0 + 1000, T0 + 2000, T0 + 2000, T0 + 3000, T0 + 4000, T0 + 2000, T0 + 6000}, 2.0,
         {"09 10 30  0", "09 10 30  2", "09 10 30  4", "09 10 30  6"}},
    };
    for (bool with_end : {false, true}) {
        for (const Case& c : cases) {
            const uint32_t first = c.times[0];
            fresh(2024, 5, 9, first / H_MS, first / M_MS % 60, first / S_MS % 60, 1.0f, c.requested);
            std::string log;
            for (size_t k = 0; k < c.times.size(); ++k) {
                log += epochs_log({c.times[k]}, with_end);
                if (static_cast<int>(k) == c.dated_at) log += vlxlog::receiver_date(2024, 5, 9);
            }
            std::vector<std::string> got;
            for (const auto& t : epoch_times(run_pass(log))) got.push_back(t.substr(8, 11));
            EXPECT_EQ(got, c.written) << c.what << (with_end ? ", TD" : "");
        }
    }
}

TEST(ObsPass, CodeDivisionFoldOnlyWhileEnabled) {
    for (bool enabled : {false, true}) {
        fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
        GLCDMA_OBS_Arr[0] = "C4X";
        GLO_OBS_Arr[25].clear();
        Enable_GLCDMA = enabled;
        run_pass(epochs_log(every(10 * H_MS, S_MS, 2), true));
        EXPECT_EQ(GLO_OBS_Arr[25], enabled ? "C4X" : "") << enabled;
    }
}
