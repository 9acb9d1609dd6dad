// Receiver dates, the epoch clock and week arithmetic.
#pragma once

#include <cstdint>

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
// Takes the date of the "RD" record when it is a calendar date (year not
// 0); false, and the clock unchanged, when it is not.
bool epoch_clock_date(Epoch_ms& t);
// Year, month, day, hour, minute and second (with its milliseconds) of an
// epoch time; the date fields are 0 while no date is known. The
// time-system code is left alone.
void epoch_fields(const Epoch_ms& t, RCV_Epoch& date);

// The epoch clock of a pass over the log (Pass_clock): each "~~" finds its
// day from the latest epoch read so far, so that an epoch repeated or out
// of order moves no later epoch to another day.
struct Pass_clock;
void pass_clock_tick(Pass_clock& c, uint32_t ms_of_day);
// Dates the epoch being read from "RD" (false when it holds no calendar
// date); the latest epoch moves by the same days, so the receiver's date
// also dates the epochs that follow.
bool pass_clock_date(Pass_clock& c);

// The output grid of the observation pass: the requested interval in whole
// milliseconds (0: every epoch is kept), and whether an epoch lies on the
// grid counted from the reference epoch (times of day, one wrap over
// midnight).
uint32_t requested_interval_ms(double seconds);
bool on_grid(bool reference_set, uint32_t reference, uint32_t epoch, uint32_t interval_ms);

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
