// Header lines that the observation and navigation headers share.
#include "rinex_common/Rinex_header.h"

#include <ctime>
#include <string>

#include "rinex_common/Rinex_format.h"
#include "stores/VLX_objects.h"

void get_cur_time() {
    std::time_t now = std::time(nullptr);
    const std::tm* t = std::gmtime(&now);
    if (t == nullptr) return;  // a clock beyond the calendar: the date stays 0
    year = t->tm_year + 1900;
    month = t->tm_mon + 1;
    day = t->tm_mday;
    hour = t->tm_hour;
    minutes = t->tm_min;
    sec = t->tm_sec;
}

void Add_version_type(std::ostream& os, const char* file_type, const std::string& system_field) {
    std::string line;
    fmt_fixed(line, Rinex_Ver, 9, 2);
    fmt_blanks(line, 11);
    line += file_type;
    fmt_blanks(line, 4);
    fmt_left(line, system_field, 20);
    put_header_line(os, line, "RINEX VERSION / TYPE");
}

void Add_end_of_header_line(std::ostream& os) {
    std::string line;
    put_header_line(os, line, "END OF HEADER");
}

void Add_pgm_run_by_date(std::ostream& os) {
    std::string line;
    fmt_left(line, "VORSKEL " + version, 20);
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

int Add_leap_sec(std::ofstream& os) {
    std::string line;
    fmt_int(line, Leap_sec, 6);
    put_header_line(os, line, "LEAP SECONDS");
    os.flush();
    return 1;
}
