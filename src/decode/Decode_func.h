// Receiver dates and week arithmetic.
#pragma once

#include <cstdint>

// Sets RCV_date from the "RD" record and the time of day of the last "~~".
void decode_RD();
// The same date into any receiver date: year, month, day and time-system
// code from "RD", whole hours, minutes and seconds from the "~~" time.
struct RCV_Epoch;
void receiver_date_of_records(RCV_Epoch& date);
// GPS week (no rollover) of the calendar day in RCV_date, or -1 when the
// date is unusable (before 1980, or month or day below 1).
int get_GPS_week_from_receiver_date();
// The seven floats of a receiver date for week*604800 + seconds after the
// start of GPS week 0; the time-system code is copied from RCV_date.
void set_GPS_EPH_date(int week, int seconds, float* date);

// Days from 1 March of year 0 in the proleptic Gregorian calendar, and
// back (6 January 1980, the start of GPS week 0, is day 723125).
constexpr int64_t GPS_EPOCH_DAY = 723125;
int64_t days_from_civil(int64_t y, int64_t m, int64_t d);
void civil_from_days(int64_t z, int64_t* y, int64_t* m, int64_t* d);
