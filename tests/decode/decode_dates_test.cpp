// Receiver dates from "RD" and "~~", the GPS week of a receiver date and
// the calendar date of a week and seconds of week.
#include <gtest/gtest.h>

#include "decode/Decode_func.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "support/store_dates.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;
using storedate::expect_date;

namespace {

void set_date(float y, float m, float d) {
    RCV_date = RCV_Epoch{};
    RCV_date.v[EP_YEAR] = y;
    RCV_date.v[EP_MONTH] = m;
    RCV_date.v[EP_DAY] = d;
}

}  // namespace

TEST(ReceiverDate, TimeOfDayFromEpochTimeAndDateFromRD) {
    struct Case {
        uint32_t ms;
        uint8_t code;
        int h, mi, s;
    };
    const Case cases[] = {
        {45296789, 0, 12, 34, 56},  // 12:34:56.789: milliseconds dropped
        {86399999, 1, 23, 59, 59},  // one millisecond before midnight
        {0, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        feed(epoch_time(c.ms) + receiver_date(2024, 3, 15, c.code));
        decode_RD();
        expect_date(RCV_date.v, 2024, 3, 15, c.h, c.mi, c.s);
        EXPECT_EQ(RCV_date.v[EP_SYS], c.code);
    }
}

TEST(ReceiverDate, GpsWeekOfReceiverDate) {
    struct Case {
        float y, m, d;
        int week;
    };
    const Case cases[] = {
        {2024, 1, 7, 2296},  // a Sunday starts the week
        {2024, 1, 6, 2295},
        {1980, 1, 6, 0},
        {1980, 1, 1, 0},  // before the first Sunday, truncated toward zero
        {1979, 12, 31, -1},
        {0, 0, 0, -1},
        {2024, 0, 7, -1},
        {2024, 1, 0, -1},
    };
    for (const Case& c : cases) {
        set_date(c.y, c.m, c.d);
        EXPECT_EQ(get_GPS_week_from_receiver_date(), c.week) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(ReceiverDate, CalendarDateOfWeekAndSeconds) {
    struct Case {
        int week, seconds;
        int y, mo, d, h, mi, s;
    };
    const Case cases[] = {
        {2296, 86399, 2024, 1, 7, 23, 59, 59},
        {2296, 604800, 2024, 1, 14, 0, 0, 0},  // first day of the next week
        {0, 0, 1980, 1, 6, 0, 0, 0},
        {0, -1, 1980, 1, 5, 23, 59, 59},  // negative instants still give 0..86399 s of day
    };
    RCV_date.v[EP_SYS] = 2;
    for (const Case& c : cases) {
        float date[7] = {};
        set_GPS_EPH_date(c.week, c.seconds, date);
        expect_date(date, c.y, c.mo, c.d, c.h, c.mi, c.s);
        EXPECT_EQ(date[EP_SYS], 2);
    }
}

// The seconds of the week of an epoch time, on GPS time and on BeiDou time
// (14 s behind), across the start of the week; milliseconds kept.
TEST(ReceiverDate, SecondsOfWeekOfAnEpochTime) {
    struct Case {
        const char* name;
        int64_t y, mo, d;
        uint32_t ms;
        int64_t behind_s;
        double seconds;
    };
    const Case cases[] = {
        {"Sunday 00:00", 2024, 3, 17, 0, 0, 0},
        {"Friday 12:34:56.789", 2024, 3, 15, 45296789, 0, 477296.789},
        {"Saturday 23:59:59.999", 2024, 3, 16, 86399999, 0, 604799.999},
        {"before GPS week 0", 1980, 1, 5, 0, 0, 518400},
        {"BeiDou, Friday", 2024, 3, 15, 45296789, BDT_BEHIND_GPS_S, 477282.789},
        {"BeiDou, its week starts 14 s after GPS's", 2024, 3, 17, 14000, BDT_BEHIND_GPS_S, 0},
        {"BeiDou, still the week before", 2024, 3, 17, 5000, BDT_BEHIND_GPS_S, 604791},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(seconds_of_week({days_from_civil(c.y, c.mo, c.d), c.ms, true}, c.behind_s), c.seconds);
    }
    // A time without a date has no week.
    EXPECT_EQ(seconds_of_week({3, 45296789, false}, 0), 0);
}
