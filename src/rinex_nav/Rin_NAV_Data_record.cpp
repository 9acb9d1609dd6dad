// Navigation records.
#include "rinex_nav/Rin_NAV_Data_record.h"

#include <sstream>

#include "decode/Decode_func.h"
#include "rinex_obs/Rinex_format.h"
#include "stores/VLX_objects.h"

// ===================================================================
// Record format shared by every constellation
// ===================================================================

std::ostream& operator<<(std::ostream& os, const format_OUT& v) {
    std::ostringstream t;
    t.flags(os.flags());
    t.precision(os.precision());
    t.width(os.width());
    t.fill(os.fill());
    t << v.value;
    os.width(0);
    return os << t.str();
}

void nav_value(std::string& line, double v) { fmt_sci(line, v, 19, 12); }

void nav_blank(std::string& line) { fmt_blanks(line, 19); }

void nav_sv_epoch(std::string& line, const std::string& letter, long long sv, const double date[6]) {
    line += letter;
    fmt_int0(line, sv, 2);
    fmt_fixed(line, date[0], 5, 0);
    for (int i = 1; i < 6; ++i) {
        line += ' ';
        fmt_fixed0(line, date[i], 2, 0);
    }
}

void nav_orbit_line(std::ostream& os, std::initializer_list<double> values) {
    std::string line = "    ";
    for (double v : values) nav_value(line, v);
    put_line(os, line);
}

static void date_of_gps_seconds(int64_t t, int* date) {
    int64_t d = t / 86400, s = t % 86400;
    if (s < 0) {
        s += 86400;
        --d;
    }
    int64_t y, m, dd;
    civil_from_days(d + GPS_EPOCH_DAY, &y, &m, &dd);
    date[0] = static_cast<int>(y);
    date[1] = static_cast<int>(m);
    date[2] = static_cast<int>(dd);
    date[3] = static_cast<int>(s / 3600);
    date[4] = static_cast<int>((s % 3600) / 60);
    date[5] = static_cast<int>(s % 60);
}

void GPS_week_tow_to_date(int week, double seconds, int* date) {
    // Seconds toward zero; a value out of range of 64 bits counts as 0.
    int64_t whole = (seconds > -9.0e18 && seconds < 9.0e18) ? static_cast<int64_t>(seconds) : 0;
    date_of_gps_seconds(static_cast<int64_t>(week) * 604800 + whole, date);
}

void GPS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date) {
    date_of_gps_seconds(static_cast<int64_t>(week) * 604800 + seconds, date);
}

void BDS_week_tow_to_date(uint16_t week, uint32_t seconds, int* date) {
    GPS_week_tow_to_date(static_cast<uint16_t>(week + 1356), seconds, date);
}

// ===================================================================
// GPS and QZSS ephemeris records
// ===================================================================

// Written in a later step of the work.
void Add_GPS_Ephemeris(std::ofstream&) {}
void Add_QZSS_Ephemeris(std::ofstream&) {}

// ===================================================================
// Galileo, BeiDou and NavIC ephemeris records
// ===================================================================

// Written in a later step of the work.
void Add_GAL_Ephemeris(std::ofstream&) {}
void Add_BDS_Ephemeris(std::ofstream&) {}
void Add_NavIC_Ephemeris(std::ofstream&) {}

// ===================================================================
// GLONASS and SBAS ephemeris records
// ===================================================================

// Written in a later step of the work.
void Add_GLO_Ephemeris(std::ofstream&) {}
void writeGloOrbit4(std::ofstream&, const GLO_Ephemeris&) {}
void Add_SBAS_Ephemeris(std::ofstream&) {}

// ===================================================================
// RINEX 4 system-time-offset and ionosphere records
// ===================================================================

// Written in a later step of the work.
int Add_GPS_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_QZSS_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_GLO_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_SBAS_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }
int Add_GPS_Nav_File_iono_mixed(std::ofstream&) { return 1; }
int Add_QZSS_Nav_File_iono_mixed(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_iono_mixed(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_iono_mixed(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_iono_mixed(std::ofstream&) { return 1; }
