// Header lines that the observation and navigation headers share, and the
// run date they carry.
#pragma once

#include <fstream>
#include <ostream>

// The UTC run date into year, month, day, hour, minutes, sec.
void get_cur_time();
// The "PGM / RUN BY / DATE" line, the same in every header of a run.
void Add_pgm_run_by_date(std::ostream& os);
// "LEAP SECONDS": Leap_sec in the first 6 columns; written and flushed.
int Add_leap_sec(std::ofstream& os);
