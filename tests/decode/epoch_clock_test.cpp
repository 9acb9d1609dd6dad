// The epoch clock: the receiver time of an epoch in whole milliseconds,
// carried into the next day (month, year) when the time of day wraps past
// midnight, dated by "RD" only when it holds a calendar date. Whole logs of
// every rate converted end to end are in end_to_end/epoch_times_test.cpp.
#include <gtest/gtest.h>

#include <cstdint>

#include "decode/Decode_func.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "vlxlog/vlx_builder.h"

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
