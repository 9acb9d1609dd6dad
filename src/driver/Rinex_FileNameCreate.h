// RINEX long file names: the fields from the first and last epoch and the
// data interval, and the checked name itself.
#pragma once

#include <string>

void get_RINEX_long_file_name_time(const float* date, int* out);
std::string make_RINEX_data_freq(float seconds);
std::string make_RINEX_file_duration(const float* first, const float* last, float interval);
// Raises the failed field check's message text (a std::string) as the
// exception value.
std::string make_RINEX_long_file_name(std::string site, std::string monument, std::string receiver,
                                      std::string country, std::string source, int year, int dayOfYear,
                                      int hour, int minute, std::string period, std::string frequency,
                                      std::string type);
