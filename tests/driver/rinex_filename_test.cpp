// Tests of the RINEX long file names: the day of year, the data-frequency
// and file-period codes at their boundaries, every field check of the
// name with its message, and the observation name and navigation stem.
#include "driver/Rinex_FileNameCreate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace {

struct Date {
    float v[7];
};
Date date(float y, float m, float d, float h = 0, float mi = 0, float s = 0) {
    return {{y, m, d, h, mi, s, 0}};
}

TEST(LongNameTime, DayOfYearAcrossLeapYearsAndTruncatedFields) {
    struct Case {
        Date d;
        int year, doy, hour, minute;
    };
    const Case cases[] = {
        {date(2024, 1, 1), 2024, 1, 0, 0},
        {date(2024, 2, 29), 2024, 60, 0, 0},
        {date(2024, 3, 1), 2024, 61, 0, 0},
        {date(2023, 3, 1), 2023, 60, 0, 0},
        {date(2100, 3, 1), 2100, 60, 0, 0},  // divisible by 100: not a leap year
        {date(1900, 3, 1), 1900, 60, 0, 0},
        {date(2000, 3, 1), 2000, 61, 0, 0},  // divisible by 400: a leap year
        {date(2000, 12, 31), 2000, 366, 0, 0},
        {date(2023, 12, 31), 2023, 365, 0, 0},
        {date(2024, 2, 1), 2024, 32, 0, 0},                           // a leap day counts only from March
        {date(2026, 7, 4, 23.9f, 59.99f, 59.9f), 2026, 185, 23, 59},  // fields are truncated, seconds unused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + " day " + std::to_string(c.doy));
        int out[4] = {-7, -7, -7, -7};
        get_RINEX_long_file_name_time(c.d.v, out);
        EXPECT_EQ(out[0], c.year);
        EXPECT_EQ(out[1], c.doy);
        EXPECT_EQ(out[2], c.hour);
        EXPECT_EQ(out[3], c.minute);
    }
}

// A log without a receiver date leaves the first date all zeros: there is
// no month to look up, and the long name is refused with a message.
TEST(LongNameTime, NoMonthIsRefusedWithAMessage) {
    for (float m : {0.0f, 13.0f, -1.0f, 255.0f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(m);
        Date d = date(2024, m, 5);
        int out[4] = {0, 0, 0, 0};
        try {
            get_RINEX_long_file_name_time(d.v, out);
            ADD_FAILURE() << "no message raised";
        } catch (const std::string& message) {
            EXPECT_EQ(message, "No receiver date in the log for the long file name");
        }
    }
    Date zero = date(0, 0, 0);
    int out[4];
    EXPECT_THROW(get_RINEX_long_file_name_time(zero.v, out), std::string);
}

TEST(LongNameCodes, DataFrequency) {
    struct Case {
        float seconds;
        const char* code;
    };
    const Case cases[] = {
        {30, "30S"},
        {1, "01S"},
        {59.7f, "60S"},
        {0.4f, "00S"},
        {0.5f, "01S"},
        {0, "00S"},
        {59.99f, "60S"},
        {60, "01M"},
        {89, "01M"},
        {90, "02M"},
        {300, "05M"},
        {3599, "60M"},
        {3600, "01H"},
        {5400, "02H"},
        {86399, "24H"},
        {86400, "00U"},
        {1e6f, "00U"},
        {std::numeric_limits<float>::quiet_NaN(), "00U"},
        {std::numeric_limits<float>::infinity(), "00U"},
    };
    for (const Case& c : cases) EXPECT_EQ(make_RINEX_data_freq(c.seconds), c.code) << c.seconds;
}

TEST(LongNameCodes, FilePeriod) {
    struct Case {
        const char* what;
        Date first, last;
        float interval;
        const char* code;
    };
    const Case cases[] = {
        {"a day of 30 s epochs", date(2024, 1, 1), date(2024, 1, 1, 23, 59, 30), 30, "01D"},
        {"a day of 1 min epochs", date(2024, 1, 1), date(2024, 1, 1, 23, 59), 60, "01D"},
        {"an hour of 30 s epochs", date(2024, 1, 1), date(2024, 1, 1, 0, 59, 30), 30, "01H"},
        {"an hour of 1 s epochs", date(2024, 1, 1), date(2024, 1, 1, 0, 59, 59), 1, "01H"},
        {"fifteen minutes", date(2024, 1, 1), date(2024, 1, 1, 0, 14, 30), 30, "15M"},
        {"thirty minutes", date(2024, 1, 1, 6), date(2024, 1, 1, 6, 29), 60, "30M"},
        {"one minute", date(2024, 1, 1), date(2024, 1, 1, 0, 0, 30), 30, "01M"},
        {"23 hours", date(2024, 1, 1), date(2024, 1, 1, 22, 59, 30), 30, "23H"},
        {"one epoch, no interval", date(2024, 5, 5, 3, 2, 1), date(2024, 5, 5, 3, 2, 1), 0, "00M"},
        {"one epoch of 30 s", date(2024, 5, 5), date(2024, 5, 5), 30, "00U"},
        {"59 min 59 s", date(2024, 1, 1), date(2024, 1, 1, 0, 59, 58), 1, "00U"},
        {"90 minutes", date(2024, 1, 1), date(2024, 1, 1, 1, 29), 60, "00U"},
        {"two days", date(2024, 1, 1), date(2024, 1, 2, 23, 59, 30), 30, "00U"},
        {"first later than last", date(2024, 1, 1, 1), date(2024, 1, 1, 0, 30), 30, "00U"},
        {"later by one interval", date(2024, 1, 1, 1), date(2024, 1, 1, 0, 59, 30), 30, "00M"},
        {"a common year", date(2023, 1, 1), date(2023, 12, 31, 23, 59, 30), 30, "01Y"},
        {"a leap year", date(2024, 1, 1), date(2024, 12, 31, 23, 59, 30), 30, "01Y"},
        {"over a leap day", date(2024, 2, 28, 23, 30), date(2024, 2, 29, 0, 29, 30), 30, "01H"},
        {"over the end of February", date(2023, 2, 28, 23, 30), date(2023, 3, 1, 0, 29, 30), 30, "01H"},
        {"end of February 2100", date(2100, 2, 28, 23, 30), date(2100, 3, 1, 0, 29, 30), 30, "01H"},
        {"over the new year", date(2024, 12, 31, 23), date(2025, 1, 1), 0, "01H"},
        {"over a month end", date(2024, 4, 30, 12), date(2024, 5, 1, 11, 59, 30), 30, "01D"},
        {"seconds and interval rounded", date(2024, 1, 1), date(2024, 1, 1, 0, 14, 29.6f), 29.6f, "15M"},
        {"seconds rounded down", date(2024, 1, 1), date(2024, 1, 1, 0, 14, 30.4f), 30.4f, "15M"},
        {"no receiver date at all", date(0, 0, 0), date(0, 0, 0), 0, "00M"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(make_RINEX_file_duration(c.first.v, c.last.v, c.interval), c.code) << c.what;
    }
}

// The arguments of one name, changed case by case.
struct Fields {
    std::string site = "ZELK", monument = "0", receiver = "0", country = "USA", source = "R";
    int year = 2024, doy = 1, hour = 0, minute = 0;
    std::string period = "01D", frequency = "30S", type = "MO";
};
std::string name_of(const Fields& f) {
    return make_RINEX_long_file_name(f.site, f.monument, f.receiver, f.country, f.source, f.year, f.doy,
                                     f.hour, f.minute, f.period, f.frequency, f.type);
}

TEST(LongFileName, ObservationNameAndNavigationStem) {
    struct Case {
        const char* what;
        std::function<void(Fields&)> change;
        const char* name;
    };
    const Case cases[] = {
        {"defaults", [](Fields&) {}, "ZELK00USA_R_20240010000_01D_30S_MO.rnx"},
        {"lower case fields",
         [](Fields& f) {
             f.site = "zelk";
             f.country = "usa";
             f.source = "r";
             f.type = "mo";
             f.frequency = "30s";
             f.period = "01d";
         },
         "ZELK00USA_R_20240010000_01D_30S_MO.rnx"},
        {"other fields",
         [](Fields& f) {
             f.site = "Algo";
             f.monument = "3";
             f.receiver = "x";
             f.country = "can";
             f.source = "s";
             f.year = 987;
             f.doy = 45;
             f.hour = 7;
             f.minute = 5;
             f.period = "15M";
             f.frequency = "01S";
         },
         "ALGO3XCAN_S_09870450705_15M_01S_MO.rnx"},
        {"latest time",
         [](Fields& f) {
             f.year = 9999;
             f.doy = 366;
             f.hour = 23;
             f.minute = 59;
             f.source = "U";
         },
         "ZELK00USA_U_99993662359_01D_30S_MO.rnx"},
        {"year 0", [](Fields& f) { f.year = 0; }, "ZELK00USA_R_00000010000_01D_30S_MO.rnx"},
        {"mixed navigation stem",
         [](Fields& f) {
             f.type = "MN";
             f.frequency = "";
         },
         "ZELK00USA_R_20240010000_01D"},
        {"stem ignores a frequency", [](Fields& f) { f.type = "GN"; }, "ZELK00USA_R_20240010000_01D"},
        {"another data type",
         [](Fields& f) {
             f.type = "MM";
             f.frequency = "";
         },
         "ZELK00USA_R_20240010000_01D_MM.rnx"},
    };
    for (const Case& c : cases) {
        Fields f;
        c.change(f);
        std::string got;
        try {
            got = name_of(f);
        } catch (const std::string& message) {
            ADD_FAILURE() << c.what << ": raised " << message;
            continue;
        }
        EXPECT_EQ(got, c.name) << c.what;
    }
}

TEST(LongFileName, EveryFieldCheckRaisesItsMessage) {
    struct Case {
        std::function<void(Fields&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](Fields& f) { f.site = "ZEL"; }, "Wrong site code length"},
        {[](Fields& f) { f.site = "ZELKA"; }, "Wrong site code length"},
        {[](Fields& f) { f.site = ""; }, "Wrong site code length"},
        {[](Fields& f) { f.monument = "12"; }, "Wrong monument number length"},
        {[](Fields& f) { f.monument = ""; }, "Wrong monument number length"},
        {[](Fields& f) { f.receiver = ""; }, "Wrong receiver number length"},
        {[](Fields& f) { f.receiver = "10"; }, "Wrong receiver number length"},
        {[](Fields& f) { f.country = "US"; }, "Wrong country code length"},
        {[](Fields& f) { f.country = "USAA"; }, "Wrong country code length"},
        {[](Fields& f) { f.source = ""; }, "Wrong data source length"},
        {[](Fields& f) { f.source = "RS"; }, "Wrong data source length"},
        {[](Fields& f) { f.source = "X"; }, "Wrong data source"},
        {[](Fields& f) { f.source = "0"; }, "Wrong data source"},
        {[](Fields& f) { f.year = -1; }, "Wrong year"},
        {[](Fields& f) { f.year = 10000; }, "Wrong year"},
        {[](Fields& f) { f.doy = 0; }, "Wrong day of year"},
        {[](Fields& f) { f.doy = 367; }, "Wrong day of year"},
        {[](Fields& f) { f.hour = -1; }, "Wrong hour"},
        {[](Fields& f) { f.hour = 24; }, "Wrong hour"},
        {[](Fields& f) { f.minute = -1; }, "Wrong minute"},
        {[](Fields& f) { f.minute = 60; }, "Wrong minute"},
        {[](Fields& f) { f.period = "1D"; }, "Wrong file period length"},
        {[](Fields& f) { f.period = ""; }, "Wrong file period length"},
        {[](Fields& f) { f.type = "M"; }, "Wrong data type length"},
        {[](Fields& f) { f.type = ""; }, "Wrong data type length"},
        {[](Fields& f) { f.type = "MOO"; }, "Wrong data type length"},
        {[](Fields& f) { f.frequency = ""; }, "Wrong data frequency length"},
        {[](Fields& f) { f.frequency = "30SS"; }, "Wrong data frequency length"},
        // The first failing check wins, whatever follows.
        {[](Fields& f) { f = Fields{"ABCDE", "", "", "", "X", -5, 0, 99, 99, "", "", ""}; },
         "Wrong site code length"},
        {[](Fields& f) {
             f.monument = "12";
             f.year = -1;
             f.type = "";
         },
         "Wrong monument number length"},
        {[](Fields& f) {
             f.source = "Q";
             f.doy = 400;
         },
         "Wrong data source"},
        {[](Fields& f) {
             f.minute = 60;
             f.period = "x";
         },
         "Wrong minute"},
        {[](Fields& f) {
             f.period = "x";
             f.type = "x";
         },
         "Wrong file period length"},
        {[](Fields& f) {
             f.type = "x";
             f.frequency = "";
         },
         "Wrong data type length"},
    };
    for (const Case& c : cases) {
        Fields f;
        c.change(f);
        try {
            std::string got = name_of(f);
            ADD_FAILURE() << "expected \"" << c.message << "\", got the name " << got;
        } catch (const std::string& message) {
            EXPECT_EQ(message, c.message);
        }
    }
}

}  // namespace
