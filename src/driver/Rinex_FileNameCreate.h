// RINEX long file names: the fields from the first and last epoch and the
// data interval, and the checked name itself.
#pragma once

#include <string>

// Year, day of year, hour and minute of a receiver date into out[0..3].
// Raises a message text (a std::string) when the date has no month
// (no receiver date in the log): there is no day of year then.
void get_RINEX_long_file_name_time(const float* date, int* out);
// Data-frequency code of an interval in seconds ("30S", "05M", "01H";
// "00U" for a day or more, or not a number).
std::string make_RINEX_data_freq(float seconds);
// File-period code of the span from the first to the last date plus one
// interval ("15M", "01H", "01D", "01Y"; "00U" for anything else).
std::string make_RINEX_file_duration(const float* first, const float* last, float interval);
// Raises the failed field check's message text (a std::string) as the
// exception value.
std::string make_RINEX_long_file_name(std::string site, std::string monument, std::string receiver,
                                      std::string country, std::string source, int year, int dayOfYear,
                                      int hour, int minute, std::string period, std::string frequency,
                                      std::string type);
