// Epoch times end to end: simulator logs of every rate, with receiver dates
// in every epoch, now and then or never, gaps and midnights, converted by
// the converter binary (the epoch clock itself is tested in
// decode/epoch_clock_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

// Whole logs from the simulator, converted end to end: every epoch line,
// the header's first and last observation times and, with long names, the
// observation file's name, against the times at which the simulator wrote
// the epochs. A log without any receiver date is not converted.

namespace {

struct Start {
    int y, mo, d, h, mi, s;
};

struct SimCase {
    const char* name;
    Start start;
    uint32_t interval_ms;
    long epochs;
    long rd_every, rd_start;  // "RD" in every rd_every-th epoch from rd_start; 0: none
    long gap_at, gap_len;     // epochs left out of the log
    long td_every;
    uint32_t period_s;        // "-p"; 0: none
    long again_after = -1, again_of = -1;  // epoch again_of written once more after again_after
    const char* long_name = nullptr;       // with "-ln": the observation file's name
};

constexpr long ONLY_FIRST = 1000000;

// The receiver time of slot k of a case, in ms from 1970 (GPS time on the
// calendar, as the simulator dates its epochs).
int64_t slot_ms(const SimCase& c, long k) {
    namespace ch = std::chrono;
    const ch::sys_days day = ch::year{c.start.y} / c.start.mo / c.start.d;
    const int64_t start = day.time_since_epoch().count() * 86400000LL +
                          ((c.start.h * 60LL + c.start.mi) * 60 + c.start.s) * 1000;
    return start + static_cast<int64_t>(k) * c.interval_ms;
}

bool in_gap(const SimCase& c, long k) { return k >= c.gap_at && k < c.gap_at + c.gap_len; }

bool log_has_date(const SimCase& c) {
    for (long k = 0; k < c.epochs; ++k)
        if (!in_gap(c, k) && c.rd_every > 0 && k >= c.rd_start && (k - c.rd_start) % c.rd_every == 0) return true;
    return false;
}

// Date and time of day of a time.
struct Shown {
    int y, mo, d;
    unsigned h, mi, s, ms;
};
Shown shown(int64_t t) {
    const int64_t n = t >= 0 ? t / 86400000 : -((-t + 86399999) / 86400000);
    const auto tod = static_cast<uint32_t>(t - n * 86400000);
    const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{n}}};
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())), tod / 3600000,
            tod / 60000 % 60, tod / 1000 % 60, tod % 1000};
}

std::string epoch_line(const Shown& v) {
    char b[64];
    std::snprintf(b, sizeof b, "> %-5d%02d %02d %02u %02u %2u.%03u0000", v.y, v.mo, v.d, v.h, v.mi, v.s, v.ms);
    return b;
}
std::string header_time(const Shown& v) {
    char b[64];
    std::snprintf(b, sizeof b, "%6d%6d%6d%6u%6u%5u.%03u0000", v.y, v.mo, v.d, v.h, v.mi, v.s, v.ms);
    return b;
}

// What the observation file must hold: the epochs of the log, in the order
// written, that lie on the "-p" grid from the first one and come after the
// last one kept (RINEX epochs rise).
std::vector<int64_t> expected_epochs(const SimCase& c) {
    std::vector<int64_t> logged, v;
    for (long k = 0; k < c.epochs; ++k) {
        if (in_gap(c, k)) continue;
        logged.push_back(slot_ms(c, k));
        if (k == c.again_after) logged.push_back(slot_ms(c, c.again_of));
    }
    for (int64_t t : logged) {
        if (!v.empty() && (t <= v.back() || (c.period_s > 0 && (t - v.front()) % (c.period_s * 1000LL) != 0)))
            continue;
        v.push_back(t);
    }
    return v;
}

struct Converted {
    runcmd::Result run;
    std::vector<std::string> files;   // the files the run made
    std::vector<std::string> epochs;  // the first 29 columns of every "> " line
    std::string first_obs, last_obs;  // the date and time of the two header lines
};

Converted simulate_and_convert(const SimCase& c) {
    Converted r;
    const std::string dir = testfiles::temp_dir();
    char start[32];
    std::snprintf(start, sizeof start, "%04d-%02d-%02d %02d:%02d:%02d", c.start.y, c.start.mo, c.start.d, c.start.h,
                  c.start.mi, c.start.s);
    std::vector<std::string> sim = {VLXSIM_BIN, "-o", "s.vlx", "--systems", "G", "--epochs",
                                    std::to_string(c.epochs), "--interval", std::to_string(c.interval_ms / 1000.0),
                                    "--start", start, "--rd-every", std::to_string(c.rd_every), "--rd-start",
                                    std::to_string(c.rd_start), "--td-every", std::to_string(c.td_every)};
    if (c.gap_len > 0) sim.insert(sim.end(), {"--gap", std::to_string(c.gap_at) + ":" + std::to_string(c.gap_len)});
    if (c.again_after >= 0)
        sim.insert(sim.end(), {"--again", std::to_string(c.again_after) + ":" + std::to_string(c.again_of)});
    const runcmd::Result s = runcmd::run(sim, dir);
    EXPECT_EQ(s.status, 0) << s.err;
    std::vector<std::string> conv = {VORSKEL_BIN, "-f", "s.vlx"};
    if (c.period_s > 0) conv.insert(conv.end(), {"-p", std::to_string(c.period_s)});
    if (c.long_name) conv.push_back("-ln");
    r.run = runcmd::run(conv, dir);
    std::string text;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name == "s.vlx") continue;
        r.files.push_back(name);
        const bool short_obs = name.size() == 5 && name.rfind("s.", 0) == 0 && name.back() == 'o';
        if (short_obs || (c.long_name && name == c.long_name)) text = testfiles::read_file(e.path());
    }
    for (const std::string& l : testfiles::lines_of(text)) {
        if (l.rfind("> ", 0) == 0) r.epochs.push_back(l.substr(0, 29));
        if (l.size() > 60 && l.substr(60) == "TIME OF FIRST OBS") r.first_obs = l.substr(0, 43);
        if (l.size() > 60 && l.substr(60) == "TIME OF LAST OBS") r.last_obs = l.substr(0, 43);
    }
    return r;
}

}  // namespace

TEST(EpochTimesEndToEnd, EveryRateWithAndWithoutReceiverDates) {
    if (std::string(VLXSIM_BIN).empty()) GTEST_SKIP() << "simulator not built";
    const SimCase cases[] = {
        {"20 Hz, RD in every epoch", {2024, 3, 15, 10, 0, 0}, 50, 45, 1, 0, 0, 0, 1, 0},
        {"10 Hz, RD in every epoch", {2024, 3, 15, 0, 0, 0}, 100, 30, 1, 0, 0, 0, 1, 0},
        {"10 Hz, RD only in the first, over minutes", {2024, 3, 15, 10, 30, 0}, 100, 650, ONLY_FIRST, 0, 0, 0, 1, 0},
        {"5 Hz, RD now and then, no TD", {2024, 3, 15, 10, 0, 0}, 200, 40, 7, 0, 0, 0, 0, 0},
        {"5 Hz, no RD", {2024, 3, 15, 10, 0, 59}, 200, 40, 0, 0, 0, 0, 1, 0},
        {"1 Hz, no RD", {2024, 5, 9, 10, 30, 30}, 1000, 20, 0, 0, 0, 0, 1, 0},
        {"1 Hz over midnight, -p 30, no RD", {2024, 3, 15, 23, 58, 30}, 1000, 240, 0, 0, 0, 0, 3, 30},
        {"1 Hz, RD only in the first, a gap", {2024, 3, 15, 10, 0, 0}, 1000, 30, ONLY_FIRST, 0, 10, 8, 1, 0},
        {"1 Hz, RD every 5th, none right after a gap", {2024, 3, 15, 10, 0, 0}, 1000, 30, 5, 0, 3, 9, 1, 0},
        {"1/30 Hz, RD in every epoch", {2024, 3, 15, 10, 0, 0}, 30000, 20, 1, 0, 0, 0, 1, 0},
        {"1/30 Hz, first epoch without RD", {2024, 5, 9, 10, 30, 29}, 30000, 4, 1, 1, 0, 0, 1, 0},
        {"10 Hz over midnight, RD in every epoch", {2024, 3, 15, 23, 59, 58}, 100, 40, 1, 0, 0, 0, 1, 0},
        {"10 Hz over midnight, RD only in the first", {2024, 2, 28, 23, 59, 58}, 100, 40, ONLY_FIRST, 0, 0, 0, 0, 0},
        {"10 Hz over the new year, first RD after midnight", {2024, 12, 31, 23, 59, 58}, 100, 40, 1, 25, 0, 0, 3, 0},
        {"1 Hz, -p 30", {2024, 3, 15, 0, 0, 0}, 1000, 100, 1, 0, 0, 0, 1, 30},
        {"10 Hz, -p 1, RD only in the first", {2024, 3, 15, 10, 0, 0}, 100, 35, ONLY_FIRST, 0, 0, 0, 1, 1},
        {"1 Hz over midnight, -p 30, RD only in the first", {2024, 3, 15, 23, 58, 30}, 1000, 240, ONLY_FIRST, 0, 0, 0,
         3, 30},
        // 30, 31, 32, 31, 33, 34 s: the second 31 is not written, nor does
        // it pass for a midnight.
        {"1 Hz, an epoch out of order, RD only in the first", {2024, 3, 15, 10, 0, 30}, 1000, 5, ONLY_FIRST, 0, 0, 0,
         1, 0, 2, 1},
        {"1 Hz, an epoch out of order, RD in every epoch", {2024, 3, 15, 10, 0, 30}, 1000, 5, 1, 0, 0, 0, 1, 0, 2, 1},
        {"1 Hz, an epoch repeated, no TD", {2024, 3, 15, 10, 0, 30}, 1000, 6, ONLY_FIRST, 0, 0, 0, 0, 0, 3, 3},
        {"1 Hz, the first epoch repeated", {2024, 3, 15, 10, 0, 30}, 1000, 4, ONLY_FIRST, 0, 0, 0, 1, 0, 0, 0},
        {"1 Hz, the last epoch out of order", {2024, 3, 15, 10, 0, 30}, 1000, 6, ONLY_FIRST, 0, 0, 0, 1, 0, 5, 2},
        {"10 Hz just before midnight, an epoch out of order", {2024, 3, 15, 23, 59, 59}, 100, 20, ONLY_FIRST, 0, 0, 0,
         1, 0, 12, 8},
        {"1 Hz, -p 2, the grid epoch repeated", {2024, 3, 15, 10, 0, 0}, 1000, 9, ONLY_FIRST, 0, 0, 0, 1, 2, 4, 4},
        // A log of one epoch: its record, the first and the last observation.
        {"1 Hz, one epoch", {2024, 3, 15, 10, 0, 0}, 1000, 1, 1, 0, 0, 0, 1, 0},
        {"1 Hz, one epoch, no TD", {2024, 3, 15, 10, 0, 0}, 1000, 1, 1, 0, 0, 0, 0, 0},
        {"10 Hz, one epoch just before midnight, -p 30, no TD", {2024, 3, 15, 23, 59, 59}, 100, 1, 1, 0, 0, 0, 0, 30},
        // Long names from the first and last records, not from the first
        // receiver date: 23:30 on day 075 for two hours, dated from 00:30.
        {"1/30 Hz, long names, first RD an hour late", {2024, 3, 15, 23, 30, 0}, 30000, 240, 1, 120, 0, 0, 1, 0, -1,
         -1, "ZELK00USA_R_20240752330_02H_30S_MO.rnx"},
        {"1 Hz, long names, -p 30 over fifteen minutes", {2024, 3, 15, 10, 0, 0}, 1000, 900, 1, 0, 0, 0, 1, 30, -1,
         -1, "ZELK00USA_R_20240751000_15M_30S_MO.rnx"},
        {"1/30 Hz, long names, the last epoch repeated", {2024, 3, 15, 23, 0, 0}, 30000, 120, ONLY_FIRST, 0, 0, 0, 1,
         0, 119, 119, "ZELK00USA_R_20240752300_01H_30S_MO.rnx"},
        {"1/30 Hz, long names, no RD", {2024, 3, 15, 23, 0, 0}, 30000, 20, 0, 0, 0, 0, 1, 0, -1, -1,
         "(none)"},
    };
    for (const SimCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted got = simulate_and_convert(c);
        if (!log_has_date(c)) {
            // Nothing to date the epochs with: one line, status 1, no file.
            EXPECT_EQ(got.run.status, 1);
            EXPECT_EQ(got.run.out, "Rinex Version: 4\nVLX File: s.vlx\nConversion in progress\nNo receiver date in the log\n");
            EXPECT_TRUE(got.files.empty());
            continue;
        }
        EXPECT_EQ(got.run.status, 0) << got.run.out;
        if (c.long_name) {
            EXPECT_NE(std::find(got.files.begin(), got.files.end(), c.long_name), got.files.end());
        }
        const std::vector<int64_t> want = expected_epochs(c);
        ASSERT_FALSE(want.empty());
        std::vector<std::string> lines;
        for (int64_t t : want) lines.push_back(epoch_line(shown(t)));
        EXPECT_EQ(got.epochs, lines);
        // The header names the first and last epoch records, to the millisecond.
        EXPECT_EQ(got.first_obs, header_time(shown(want.front())));
        EXPECT_EQ(got.last_obs, header_time(shown(want.back())));
    }
}
