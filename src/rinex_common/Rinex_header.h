// Header lines that the observation and navigation headers share, and the
// run date they carry.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

// "RINEX VERSION / TYPE": the version as F9.2, the file type from column
// 21 and the system field from column 41 (a field of 20 or more
// characters moves the label).
void Add_version_type(std::ostream& os, const char* file_type, const std::string& system_field);
// "END OF HEADER".
void Add_end_of_header_line(std::ostream& os);

// The UTC run date into year, month, day, hour, minutes, sec.
void get_cur_time();
// The "PGM / RUN BY / DATE" line, the same in every header of a run.
void Add_pgm_run_by_date(std::ostream& os);
// "LEAP SECONDS": Leap_sec in the first 6 columns; written and flushed.
int Add_leap_sec(std::ofstream& os);
