// Time scales of the simulator: GPS time as milliseconds since the GPS epoch
// (1980-01-06 00:00:00), calendar conversions, and the GLONASS, BeiDou and
// UTC offsets the navigation messages need.
#pragma once

#include <cstdint>

namespace vlxsim {

constexpr int64_t MS_PER_DAY = 86400000;
constexpr int64_t MS_PER_WEEK = 7 * MS_PER_DAY;
constexpr int64_t GPS_EPOCH_DAYS = 3657;  // 1980-01-06 counted from 1970-01-01
constexpr int LEAP_SECONDS = 18;          // GPS - UTC since 2017
constexpr int BDT_OFFSET_S = 14;          // GPS - BDT
constexpr int BDS_WEEK_OFFSET = 1356;     // GPS week of the BDT origin (2006-01-01)

struct CivilDate {
    int y;
    int m;
    int d;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
inline int64_t days_from_civil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

inline CivilDate civil_from_days(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

inline int64_t floor_div(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t floor_mod(int64_t a, int64_t b) { return a - floor_div(a, b) * b; }

// GPS week and seconds of week of a GPS time in ms.
inline int gps_week(int64_t t_ms) { return static_cast<int>(floor_div(t_ms, MS_PER_WEEK)); }
inline int64_t sow_ms(int64_t t_ms) { return floor_mod(t_ms, MS_PER_WEEK); }

// Calendar date and ms of day of a time whose day count starts at the GPS epoch.
inline CivilDate date_of(int64_t t_ms) { return civil_from_days(GPS_EPOCH_DAYS + floor_div(t_ms, MS_PER_DAY)); }
inline int64_t ms_of_day(int64_t t_ms) { return floor_mod(t_ms, MS_PER_DAY); }

// Moscow time (UTC + 3 h) on the same day count, for the GLONASS messages.
inline int64_t moscow_ms(int64_t gps_ms) { return gps_ms - LEAP_SECONDS * 1000 + 3 * 3600 * 1000; }

}  // namespace vlxsim
