// Receiver dates, the epoch clock, and the calendar and week arithmetic.
#include "decode/Decode_func.h"

#include "decode/le_read.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

static int64_t floor_div(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    int64_t yp = (m <= 2) ? y - 1 : y;
    int64_t era = floor_div(yp, 400);
    int64_t yoe = yp - 400 * era;
    int64_t mp = (m <= 2) ? m + 9 : m - 3;
    int64_t doy = (153 * mp + 2) / 5 + d - 1;
    int64_t doe = 365 * yoe + yoe / 4 - yoe / 100 + doy;
    return 146097 * era + doe;
}

void civil_from_days(int64_t z, int64_t* y, int64_t* m, int64_t* d) {
    int64_t era = floor_div(z, 146097);
    int64_t doe = z - 146097 * era;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = 400 * era + yoe + (*m <= 2 ? 1 : 0);
}

void receiver_date_of_records(RCV_Epoch& date) {
    uint32_t t = rd_u32(RT, 0);  // milliseconds of day
    uint32_t h = t / 3600000;
    uint32_t mi = t / 60000 - 60 * h;
    uint32_t s = t / 1000 - 3600 * h - 60 * mi;  // whole seconds
    date.v[EP_YEAR] = rd_u16(RD, 0);
    date.v[EP_MONTH] = rd_u8(RD, 2);
    date.v[EP_DAY] = rd_u8(RD, 3);
    date.v[EP_HOUR] = static_cast<float>(h);
    date.v[EP_MIN] = static_cast<float>(mi);
    date.v[EP_SEC] = static_cast<float>(s);
    date.v[EP_SYS] = rd_u8(RD, 4);
}

void decode_RD() { receiver_date_of_records(RCV_date); }

namespace {
constexpr uint32_t HALF_DAY_MS = MS_PER_DAY / 2;
}

int midnights_passed(uint32_t previous, uint32_t now) {
    if (now < previous && previous - now > HALF_DAY_MS) return 1;
    if (now > previous && now - previous > HALF_DAY_MS) return -1;
    return 0;
}

void epoch_clock_tick(Epoch_ms& t, uint32_t ms_of_day) {
    t.day += midnights_passed(t.ms, ms_of_day);
    t.ms = ms_of_day;
}

bool epoch_after(const Epoch_ms& a, const Epoch_ms& b) { return a.day > b.day || (a.day == b.day && a.ms > b.ms); }

double seconds_of_week(const Epoch_ms& t, int64_t behind_s) {
    if (!t.dated) return 0;
    constexpr int64_t MS_PER_WEEK = SECONDS_PER_WEEK * 1000;
    const int64_t ms = (t.day - GPS_EPOCH_DAY) * int64_t{MS_PER_DAY} + t.ms - behind_s * 1000;
    return static_cast<double>(ms - floor_div(ms, MS_PER_WEEK) * MS_PER_WEEK) / 1000.0;
}

int64_t pass_clock_tick(Pass_clock& c, uint32_t ms_of_day) {
    if (!c.begun) {
        c.epoch.ms = ms_of_day;
        c.latest = c.epoch;
        c.begun = true;
        return 0;
    }
    if (epoch_after(c.epoch, c.latest)) c.latest = c.epoch;
    c.epoch = c.latest;
    epoch_clock_tick(c.epoch, ms_of_day);
    return (c.epoch.day - c.latest.day) * int64_t{MS_PER_DAY} + static_cast<int64_t>(c.epoch.ms) - c.latest.ms;
}

bool pass_clock_date(Pass_clock& c) {
    const int64_t before = c.epoch.day;
    if (!epoch_clock_date(c.epoch)) return false;
    c.latest.day += c.epoch.day - before;
    c.latest.dated = true;
    return true;
}

bool epoch_clock_date(Epoch_ms& t) {
    const int64_t y = rd_u16(RD, 0), m = rd_u8(RD, 2), d = rd_u8(RD, 3);
    if (y == 0) return false;
    // A day or month out of range (the 30th of February, month 0) does
    // not come back unchanged from the day number.
    const int64_t n = days_from_civil(y, m, d);
    int64_t cy, cm, cd;
    civil_from_days(n, &cy, &cm, &cd);
    if (cy != y || cm != m || cd != d) return false;
    t.day = n;
    t.dated = true;
    return true;
}

void epoch_fields(const Epoch_ms& t, RCV_Epoch& date) {
    int64_t y = 0, m = 0, d = 0;
    if (t.dated) civil_from_days(t.day, &y, &m, &d);
    date.v[EP_YEAR] = static_cast<float>(y);
    date.v[EP_MONTH] = static_cast<float>(m);
    date.v[EP_DAY] = static_cast<float>(d);
    date.v[EP_HOUR] = static_cast<float>(t.ms / 3600000);
    date.v[EP_MIN] = static_cast<float>(t.ms / 60000 % 60);
    // Exact to the millisecond once the writers round to milliseconds.
    date.v[EP_SEC] = static_cast<float>(t.ms % 60000) / 1000.0f;
}

void reception_date(const Epoch_ms& t, int date[6]) {
    for (int i = 0; i < 6; ++i) date[i] = 0;
    if (!t.dated) return;
    int64_t y, m, d;
    civil_from_days(t.day, &y, &m, &d);
    date[0] = static_cast<int>(y);
    date[1] = static_cast<int>(m);
    date[2] = static_cast<int>(d);
    date[3] = static_cast<int>(t.ms / 3600000);
    date[4] = static_cast<int>(t.ms / 60000 % 60);
    date[5] = static_cast<int>(t.ms / 1000 % 60);
}

// A request below half a millisecond means no interval filter. A negative
// (or NaN) request filters nothing either, as the header then shows the
// data interval; one beyond the 32-bit range keeps only the grid origin's
// time of day.
float file_interval() { return INTERVAL_Requested > 0 ? static_cast<float>(INTERVAL_Requested) : INTERVAL_Aux; }

uint32_t requested_interval_ms(double seconds) {
    const double ms = 1000.0 * seconds + 0.5;
    if (!(ms >= 1.0)) return 0;
    if (ms >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(ms);
}

bool on_grid(bool reference_set, uint32_t reference, uint32_t epoch, uint32_t interval_ms) {
    if (!reference_set || interval_ms == 0) return true;
    const uint32_t diff = reference <= epoch ? epoch - reference : epoch + MS_PER_DAY - reference;
    return diff % interval_ms == 0;
}

int get_GPS_week_from_receiver_date() {
    if (RCV_date.v[EP_YEAR] < 1980 || RCV_date.v[EP_MONTH] < 1 || RCV_date.v[EP_DAY] < 1) return -1;
    int64_t D = days_from_civil(static_cast<int64_t>(RCV_date.v[EP_YEAR]),
                                static_cast<int64_t>(RCV_date.v[EP_MONTH]),
                                static_cast<int64_t>(RCV_date.v[EP_DAY]));
    return static_cast<int>((D - GPS_EPOCH_DAY) / 7);
}

int64_t glo_reference_day(uint32_t N4, uint32_t N) {
    if (N4 == 0 || N == 0 || N > GLO_FOUR_YEAR_DAYS) return -1;
    return days_from_civil(1996 + 4 * (static_cast<int64_t>(N4) - 1), 1, 1) + (N - 1);
}

void date_of_gps_seconds(int64_t t, int64_t date[6]) {
    const int64_t days = floor_div(t, SECONDS_PER_DAY);
    const int64_t s = t - SECONDS_PER_DAY * days;
    civil_from_days(days + GPS_EPOCH_DAY, &date[0], &date[1], &date[2]);
    date[3] = s / 3600;
    date[4] = (s % 3600) / 60;
    date[5] = s % 60;
}

void set_GPS_EPH_date(int week, int seconds, float* date) {
    int64_t f[6];
    date_of_gps_seconds(static_cast<int64_t>(week) * SECONDS_PER_WEEK + seconds, f);
    for (int k = EP_YEAR; k <= EP_SEC; ++k) date[k] = static_cast<float>(f[k]);
    date[EP_SYS] = RCV_date.v[EP_SYS];
}

namespace {

void int_date_of_gps_seconds(int64_t t, int* date) {
    int64_t f[6];
    date_of_gps_seconds(t, f);
    for (int k = 0; k < 6; ++k) date[k] = static_cast<int>(f[k]);
}

}  // namespace

void GPS_week_tow_to_date(int week, double seconds, int* date) {
    // Seconds toward zero; a value out of range of 64 bits counts as 0.
    const int64_t whole = (seconds > -9.0e18 && seconds < 9.0e18) ? static_cast<int64_t>(seconds) : 0;
    int_date_of_gps_seconds(static_cast<int64_t>(week) * SECONDS_PER_WEEK + whole, date);
}

void GPS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date) {
    int_date_of_gps_seconds(static_cast<int64_t>(week) * SECONDS_PER_WEEK + seconds, date);
}

void BDS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date) {
    GPS_week_tow_to_date(static_cast<uint16_t>(week + BDS_GPS_WEEK_OFFSET), seconds, date);
}

int week_crossing(int64_t time_of_week, int64_t reference) {
    if (time_of_week - reference > HALF_WEEK_S) return -1;
    if (reference - time_of_week > HALF_WEEK_S) return 1;
    return 0;
}

Sbas_time sbas_reference_time(const SBAS_Ephemeris& r) {
    const uint32_t m = r.tx_time;
    double t = static_cast<double>(m / SECONDS_PER_DAY) * SECONDS_PER_DAY + r.t0;
    if (t - m > HALF_DAY_S)
        t -= SECONDS_PER_DAY;
    else if (m - t > HALF_DAY_S)
        t += SECONDS_PER_DAY;
    int w = r.week;
    if (t < 0.0) {
        t += SECONDS_PER_WEEK;
        --w;
    } else if (t >= SECONDS_PER_WEEK) {
        t -= SECONDS_PER_WEEK;
        ++w;
    }
    return {w, t};
}

double sbas_ephemeris_time(const SBAS_Ephemeris& r) {
    const Sbas_time t = sbas_reference_time(r);
    return t.week * static_cast<double>(SECONDS_PER_WEEK) + t.seconds;
}
