// The epoch time advance: single-precision carries from the second up to
// the year, month lengths and leap years.
#include <gtest/gtest.h>

#include "rinex_obs/Rin_ODF_Data_record.h"
#include "stores/VLX_objects.h"

namespace {

struct Date {
    float y, mo, d, h, mi, s;
};

void set(const Date& x) {
    RCV_date.v[0] = x.y;
    RCV_date.v[1] = x.mo;
    RCV_date.v[2] = x.d;
    RCV_date.v[3] = x.h;
    RCV_date.v[4] = x.mi;
    RCV_date.v[5] = x.s;
    RCV_date.v[6] = 2;
}

}  // namespace

TEST(UpdateTime, CarriesIntoEveryField) {
    struct Case {
        Date from;
        float interval;
        Date to;
    } cases[] = {
        {{2024, 2, 28, 23, 59, 59}, 1, {2024, 2, 29, 0, 0, 0}},
        {{2023, 2, 28, 23, 59, 59}, 1, {2023, 3, 1, 0, 0, 0}},
        {{2100, 2, 28, 23, 59, 59}, 1, {2100, 3, 1, 0, 0, 0}},
        {{2000, 2, 28, 23, 59, 59}, 1, {2000, 2, 29, 0, 0, 0}},
        {{2024, 2, 29, 23, 59, 59}, 1, {2024, 3, 1, 0, 0, 0}},
        {{2024, 12, 31, 23, 59, 30}, 30, {2025, 1, 1, 0, 0, 0}},
        {{2024, 4, 30, 12, 0, 0}, 1, {2024, 4, 30, 12, 0, 1}},  // last day of the month stays
        {{2024, 5, 9, 10, 30, 0}, 3600, {2024, 5, 9, 11, 30, 0}},
        {{2024, 5, 9, 10, 30, 59.5f}, 0.5f, {2024, 5, 9, 10, 31, 0}},
        {{2024, 1, 31, 0, 0, 0}, 86400.0f * 30, {2024, 3, 1, 0, 0, 0}},  // several days and months
        {{2024, 5, 9, 10, 30, 0.5f}, -1, {2024, 5, 9, 10, 30, -0.5f}},  // no borrow
    };
    for (const Case& c : cases) {
        set(c.from);
        float interval = c.interval;
        Update_time(interval);
        const float want[6] = {c.to.y, c.to.mo, c.to.d, c.to.h, c.to.mi, c.to.s};
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(RCV_date.v[f], want[f]) << "from " << c.from.y << "-" << c.from.mo << "-" << c.from.d << " "
                                              << c.from.h << ":" << c.from.mi << ":" << c.from.s << " field " << f;
        EXPECT_EQ(RCV_date.v[6], 2.0f);
    }
}

TEST(UpdateTime, TenthsAccumulateSinglePrecisionDrift) {
    set({2024, 5, 9, 10, 30, 0});
    float interval = 0.1f;
    float expected = 0.0f;
    for (int i = 0; i < 300; ++i) {
        Update_time(interval);
        expected += 0.1f;
        if (expected >= 60.0f) expected -= 60.0f;
    }
    EXPECT_EQ(RCV_date.v[5], expected);
    EXPECT_EQ(RCV_date.v[4], 30.0f);
}

TEST(UpdateTime, DateWithoutMonthIsLeftUnchanged) {
    set({0, 0, 0, 0, 0, 0});
    float interval = 1.0f;
    Update_time(interval);
    for (int f = 0; f < 6; ++f) EXPECT_EQ(RCV_date.v[f], 0.0f);
    set({2024, 13, 40, 23, 59, 59});
    Update_time(interval);
    EXPECT_EQ(RCV_date.v[1], 13.0f);
    EXPECT_EQ(RCV_date.v[5], 59.0f);
}

TEST(UpdateTime, AbsurdIntervalsEndTheLoop) {
    set({2024, 5, 9, 10, 30, 0});
    float huge = 1e30f;
    Update_time(huge);  // must return
    float inf = __builtin_inff();
    set({2024, 5, 9, 10, 30, 0});
    Update_time(inf);
    SUCCEED();
}

TEST(UpdateTime, MonthLengths) {
    const int y2023[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(daysInMonth(2023, m), y2023[m - 1]);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2024, 0), 0);
    EXPECT_EQ(daysInMonth(2024, 13), 0);
}
