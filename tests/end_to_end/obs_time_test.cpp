// Epoch times. The epoch clock: the receiver time of an epoch in whole
// milliseconds, carried into the next day (month, year) when the time of
// day wraps past midnight, dated by "RD" only when it holds a calendar
// date. Then simulator logs of every rate, with receiver dates in every
// epoch, now and then or never, gaps and midnights, converted end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "support/rinex_capture.h"
#include "support/run_command.h"
#include "vlxlog/vlx_builder.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

using namespace vlxlog;

namespace {

struct Civil {
    int y, mo, d;
};

Epoch_ms dated(Civil c, uint32_t ms) { return {days_from_civil(c.y, c.mo, c.d), ms, true}; }

// The fields as the writers print them: date, hour, minute, and the
// second in milliseconds.
void expect_fields(const Epoch_ms& t, Civil c, int h, int mi, int sec_ms) {
    RCV_Epoch e{};
    e.v[EP_SYS] = 2;
    epoch_fields(t, e);
    EXPECT_EQ(e.v[EP_YEAR], c.y);
    EXPECT_EQ(e.v[EP_MONTH], c.mo);
    EXPECT_EQ(e.v[EP_DAY], c.d);
    EXPECT_EQ(e.v[EP_HOUR], h);
    EXPECT_EQ(e.v[EP_MIN], mi);
    EXPECT_EQ(static_cast<int>(e.v[EP_SEC] * 1000.0f + 0.5f), sec_ms);
    EXPECT_LT(e.v[EP_SEC], 60.0f);
    EXPECT_EQ(e.v[EP_SYS], 2.0f);  // the time-system code is not the clock's
}

// Puts a date into the "RD" record as the reader would.
void receive_date(uint16_t y, uint8_t m, uint8_t d) { feed(receiver_date(y, m, d)); }

constexpr uint32_t LAST_SECOND = 86399000;

}  // namespace

TEST(EpochClock, MidnightCarriesIntoEveryCalendarField) {
    struct Case {
        Civil from;
        Civil to;
    } cases[] = {
        {{2024, 2, 28}, {2024, 2, 29}}, {{2023, 2, 28}, {2023, 3, 1}}, {{2100, 2, 28}, {2100, 3, 1}},
        {{2000, 2, 28}, {2000, 2, 29}}, {{2024, 2, 29}, {2024, 3, 1}}, {{2024, 12, 31}, {2025, 1, 1}},
        {{2024, 4, 30}, {2024, 5, 1}},  {{2024, 1, 31}, {2024, 2, 1}},
    };
    for (const Case& c : cases) {
        Epoch_ms t = dated(c.from, LAST_SECOND);
        epoch_clock_tick(t, 0);
        expect_fields(t, c.to, 0, 0, 0);
    }
    // Forwards within the day (also a step of hours) no day passes.
    Epoch_ms t = dated({2024, 4, 30}, 12 * 3600000u);
    epoch_clock_tick(t, 12 * 3600000u + 1000);
    expect_fields(t, {2024, 4, 30}, 12, 0, 1000);
    epoch_clock_tick(t, 23 * 3600000u + 59 * 60000u + 59999);
    expect_fields(t, {2024, 4, 30}, 23, 59, 59999);
    epoch_clock_tick(t, 23 * 3600000u + 59 * 60000u + 59999);  // the same time again
    expect_fields(t, {2024, 4, 30}, 23, 59, 59999);
}

// Tenths of a second for a whole hour: every epoch lands on its exact
// millisecond, the seconds never reach 60.
TEST(EpochClock, SubSecondStepsStayExact) {
    Epoch_ms t = dated({2024, 5, 9}, 0);
    const uint32_t start = 10 * 3600000u + 30 * 60000u;
    for (uint32_t k = 0; k <= 36000; ++k) {
        const uint32_t ms = start + 100 * k;
        epoch_clock_tick(t, ms);
        if (k % 997 == 0 || k == 36000 || k % 600 == 599) {
            SCOPED_TRACE(k);
            expect_fields(t, {2024, 5, 9}, ms / 3600000, ms / 60000 % 60, ms % 60000);
        }
    }
}

// A receiver date that already names the new day is taken as it stands, not
// carried again; one that names no calendar day leaves the clock alone.
TEST(EpochClock, ReceiverDatesSetTheDay) {
    Epoch_ms t = dated({2024, 5, 9}, LAST_SECOND);
    epoch_clock_tick(t, 0);
    receive_date(2024, 5, 10);
    EXPECT_TRUE(epoch_clock_date(t));
    epoch_clock_tick(t, 1000);
    expect_fields(t, {2024, 5, 10}, 0, 0, 1000);

    struct Case {
        uint16_t y;
        uint8_t m, d;
        bool taken;
    } cases[] = {
        {2024, 2, 29, true}, {2000, 2, 29, true},  {2023, 2, 29, false}, {1900, 2, 29, false},
        {2024, 4, 31, false}, {2024, 0, 10, false}, {2024, 13, 1, false}, {2024, 5, 0, false},
        {0, 5, 9, false},     {2024, 12, 31, true},
    };
    for (const Case& c : cases) {
        Epoch_ms u = dated({2030, 1, 1}, 5000);
        receive_date(c.y, c.m, c.d);
        EXPECT_EQ(epoch_clock_date(u), c.taken) << c.y << "-" << int(c.m) << "-" << int(c.d);
        expect_fields(u, c.taken ? Civil{c.y, c.m, c.d} : Civil{2030, 1, 1}, 0, 0, 5000);
    }
}

// Without any date the time of day still moves on; the date fields are 0
// and the day counts the midnights passed.
TEST(EpochClock, UndatedClockKeepsTheTimeOfDay) {
    Epoch_ms t = {0, 0, false};
    epoch_clock_tick(t, 10 * 3600000u + 30 * 60000u + 32000);
    expect_fields(t, {0, 0, 0}, 10, 30, 32000);
    epoch_clock_tick(t, 20 * 3600000u + 30 * 60000u + 32500);
    expect_fields(t, {0, 0, 0}, 20, 30, 32500);
    EXPECT_EQ(t.day, 0);
    epoch_clock_tick(t, 200);
    EXPECT_EQ(t.day, 1);
    EXPECT_FALSE(t.dated);
    expect_fields(t, {0, 0, 0}, 0, 0, 200);
}

// Only a step back of more than half a day is a midnight; a smaller one is
// an epoch repeated or out of order, on the same day, and no later than the
// epoch before it. A step forward of more than half a day is an epoch out
// of order back across a midnight, on the day before.
TEST(EpochClock, EachEpochWithinHalfADayOfTheOneBefore) {
    constexpr uint32_t HALF = 43200000;
    struct Case {
        uint32_t from, to;
        int days;
        bool after;  // the new epoch comes after the one before
    } cases[] = {
        {LAST_SECOND, 0, 1, true},        {HALF + 1, 0, 1, true},
        {HALF, 0, 0, false},              {32000, 31000, 0, false},
        {32000, 32000, 0, false},         {32000, 33000, 0, true},
        {HALF + 2, 1, 1, true},           {LAST_SECOND, HALF - 1000, 0, false},
        {0, HALF, 0, true},               {1000, 23 * 3600000u, -1, false},
        {200, 86399800, -1, false},       {0, HALF + 1, -1, false},
    };
    for (const Case& c : cases) {
        Epoch_ms t = dated({2024, 12, 31}, c.from);
        const Epoch_ms before = t;
        epoch_clock_tick(t, c.to);
        EXPECT_EQ(midnights_passed(c.from, c.to), c.days) << c.from << " -> " << c.to;
        EXPECT_EQ(t.day - before.day, c.days) << c.from << " -> " << c.to;
        EXPECT_EQ(t.ms, c.to);
        EXPECT_EQ(epoch_after(t, before), c.after) << c.from << " -> " << c.to;
    }
}

// ------------------------------------------------------------------------
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
    const std::string dir = runcmd::temp_dir();
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
        if (short_obs || (c.long_name && name == c.long_name)) text = runcmd::slurp(e.path());
    }
    for (const std::string& l : rinexcap::lines_of(text)) {
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
