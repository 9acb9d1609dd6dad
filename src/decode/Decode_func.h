// Receiver dates, the epoch clock, and the calendar and week arithmetic
// of every part of the converter.
#pragma once

#include <cstdint>

// Lengths of days and weeks, and the offsets between the time scales.
constexpr int64_t SECONDS_PER_DAY = 86400;
constexpr int64_t SECONDS_PER_WEEK = 7 * SECONDS_PER_DAY;  // 604800
constexpr int64_t HALF_DAY_S = SECONDS_PER_DAY / 2;        // 43200
constexpr int64_t HALF_WEEK_S = SECONDS_PER_WEEK / 2;      // 302400
constexpr uint32_t MS_PER_DAY = 86400000;
// BeiDou week 0 begins on 1 January 2006, at GPS week 1356.
constexpr int BDS_GPS_WEEK_OFFSET = 1356;
// BeiDou time runs 14 s behind GPS time (it began at 00:00:00 of 1 January
// 2006, when GPS time read 00:00:14).
constexpr int64_t BDT_BEHIND_GPS_S = 14;
// Moscow time, the scale of GLONASS times of day, is UTC + 3 h.
constexpr int32_t MOSCOW_OFFSET_S = 10800;
// Days of a GLONASS four-year interval (day numbers 1 .. 1461 from the
// 1 January of a leap year).
constexpr uint32_t GLO_FOUR_YEAR_DAYS = 1461;

// Sets RCV_date from the "RD" record and the time of day of the last "~~",
// in whole seconds: the date that navigation records store. The epoch
// lines take their time from the epoch clock below.
void decode_RD();
// The same date into any receiver date: year, month, day and time-system
// code from "RD", whole hours, minutes and seconds from the "~~" time.
struct RCV_Epoch;
void receiver_date_of_records(RCV_Epoch& date);
// The epoch clock: the receiver time of the epoch being read, kept in
// whole milliseconds. A "~~" moves it to its time of day, on the day that
// puts it within half a day of the epoch before (see midnights_passed); a
// valid date in "RD" sets the day, so a date that already names the new day
// is not carried again.
struct Epoch_ms;
void epoch_clock_tick(Epoch_ms& t, uint32_t ms_of_day);
// The midnights passed as the time of day runs from `previous` to `now`:
// 1 for a step back of more than half a day, -1 for a step forward of more
// than half a day (an epoch out of order just across a midnight), else 0
// (a smaller step back is an epoch repeated or out of order, not a day).
int midnights_passed(uint32_t previous, uint32_t now);
// Whether epoch time a comes after b (both dated, or both counted from the
// same first epoch).
bool epoch_after(const Epoch_ms& a, const Epoch_ms& b);
// Seconds of the week of an epoch time, milliseconds kept, on a time scale
// `behind_s` seconds behind the epoch's (0: the GPS week of a GPS time;
// BDT_BEHIND_GPS_S: the BeiDou week); 0 for a time without a date.
double seconds_of_week(const Epoch_ms& t, int64_t behind_s);
// Takes the date of the "RD" record when it is a calendar date (year not
// 0); false, and the clock unchanged, when it is not.
bool epoch_clock_date(Epoch_ms& t);
// Year, month, day, hour, minute and second (with its milliseconds) of an
// epoch time; the date fields are 0 while no date is known. The
// time-system code is left alone.
void epoch_fields(const Epoch_ms& t, RCV_Epoch& date);
// Year, month, day, hour, minute and whole second of a reception time, the
// date of the ionosphere and time records; all 0 while no date is known.
void reception_date(const Epoch_ms& t, int date[6]);

// The epoch clock of a pass over the log (Pass_clock): each "~~" finds its
// day from the latest epoch read so far, so that an epoch repeated or out
// of order moves no later epoch to another day.
// The result is the step in ms from the latest epoch before (0 for the
// first; not above 0 for an epoch repeated or out of order).
struct Pass_clock;
int64_t pass_clock_tick(Pass_clock& c, uint32_t ms_of_day);
// Dates the epoch being read from "RD" (false when it holds no calendar
// date); the latest epoch moves by the same days, so the receiver's date
// also dates the epochs that follow.
bool pass_clock_date(Pass_clock& c);

// The output grid of the observation pass: the requested interval in whole
// milliseconds (0: every epoch is kept), and whether an epoch lies on the
// grid counted from the reference epoch (times of day, one wrap over
// midnight).
uint32_t requested_interval_ms(double seconds);
// The interval of the observation file, s: the requested one ("-p"), else
// the data interval that the first pass found (0 when the log shows none:
// a single epoch, or epochs that never step forward).
float file_interval();
bool on_grid(bool reference_set, uint32_t reference, uint32_t epoch, uint32_t interval_ms);

// GPS week (no rollover) of the calendar day in RCV_date, or -1 when the
// date is unusable (before 1980, or month or day below 1).
int get_GPS_week_from_receiver_date();

// Days from 1 March of year 0 in the proleptic Gregorian calendar, and
// back (6 January 1980, the start of GPS week 0, is day 723125).
constexpr int64_t GPS_EPOCH_DAY = 723125;
int64_t days_from_civil(int64_t y, int64_t m, int64_t d);
void civil_from_days(int64_t z, int64_t* y, int64_t* m, int64_t* d);

// The day (as days_from_civil counts it) of a GLONASS reference time: day
// N of the four-year interval N4, counted from 1 January 1996; -1 when the
// pair names no day (N4 0, or N outside 1..1461).
int64_t glo_reference_day(uint32_t N4, uint32_t N);

// Calendar date and time of `t` seconds after the start of GPS week 0, no
// leap seconds: year, month, day, hour, minute, second (the day by floor
// division, so that a negative t gives the days before).
void date_of_gps_seconds(int64_t t, int64_t date[6]);
// The seven floats of a receiver date for week*604800 + seconds after the
// start of GPS week 0; the time-system code is copied from RCV_date.
void set_GPS_EPH_date(int week, int seconds, float* date);
// The same as six ints: date[0..5] = year, month, day, hour, minute,
// second. Two conversions: one takes an int week and double seconds (the
// fraction is dropped), the other an unsigned 16-bit week and unsigned
// 32-bit seconds. Call them with arguments of exactly these types.
void GPS_week_tow_to_date(int week, double seconds, int* date);
void GPS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date);
// The BeiDou week plus 1356 (kept to 16 bits), then as above.
void BDS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date);

// The weeks to add to the week of a reference time of week to get the
// week of another time of week near it: -1 when the time exceeds the
// reference by more than half a week (it stands at the end of the week
// before), 1 when it falls short by more than half a week (it stands at
// the start of the week after), else 0.
int week_crossing(int64_t time_of_week, int64_t reference);

// The reference time of an SBAS record: its t0, a time of day, placed on
// the day of its message time, moved by a day when more than half a day
// from the message time, and carried into the neighbouring week when it
// falls outside the record's week.
struct SBAS_Ephemeris;
struct Sbas_time {
    int week;        // GPS week of the reference time
    double seconds;  // its seconds of that week
};
Sbas_time sbas_reference_time(const SBAS_Ephemeris& r);
// The same in seconds from the GPS origin: the time that the repeats of a
// record share and that orders the SBAS store.
double sbas_ephemeris_time(const SBAS_Ephemeris& r);
