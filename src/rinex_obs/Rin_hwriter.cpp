// Observation header writers.
#include "rinex_obs/Rin_hwriter.h"

#include <ctime>

#include "rinex_obs/Rinex_format.h"
#include "stores/VLX_objects.h"

void get_cur_time() {
    std::time_t now = std::time(nullptr);
    const std::tm* t = std::gmtime(&now);
    year = t->tm_year + 1900;
    month = t->tm_mon + 1;
    day = t->tm_mday;
    hour = t->tm_hour;
    minutes = t->tm_min;
    sec = t->tm_sec;
}

void Add_pgm_run_by_date(std::ostream& os) {
    std::string line;
    fmt_left(line, "VORSKEL v0.1.2b", 20);
    fmt_left(line, "TOVRA GNSS", 20);
    fmt_int(line, year, 4);
    fmt_int0(line, month, 2);
    fmt_int0(line, day, 2);
    line += ' ';
    fmt_int0(line, hour, 2);
    fmt_int0(line, minutes, 2);
    fmt_int0(line, sec, 2);
    line += ' ';
    fmt_left(line, Time_marker, 4);
    put_header_line(os, line, "PGM / RUN BY / DATE");
}

// The header lines come in a later step of the work.
void Add_OBS_File_heading(std::ofstream&, float&) {}
int Add_OBSheading(std::ofstream&) { return 1; }
int Add_avail_OBS(std::ofstream&) { return 1; }
int Add_first_obs(std::ofstream&) { return 1; }
int Add_last_obs(std::ofstream&) { return 1; }
int Add_leap_sec(std::ofstream&) { return 1; }
int Add_of_sat(std::ofstream&) { return 1; }
int Add_glo_slot(std::ofstream&) { return 1; }
int Add_glo_cod(std::ofstream&) { return 1; }
int Add_sys_phase(std::ofstream&) { return 1; }
void make_BDS_header_phase(int&, int&, std::ofstream&) {}
