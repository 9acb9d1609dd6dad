// Navigation records: the shared record format (value fields, epoch line,
// orbit lines), the ephemeris record writers of every constellation, and
// the RINEX 4 time-offset and ionosphere records.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <string>

// A value printed exactly as inserting the double into the stream would
// print it, with the stream's current format; the exponent stays "e".
// (The record writers format through rinex_common/Rinex_format.h; this is
// for callers that print into a formatted stream.)
struct format_OUT {
    double value;
};
std::ostream& operator<<(std::ostream& os, const format_OUT& v);

// One value field: scientific, 12 decimals, lowercase "e", right-adjusted
// in 19 columns (a longer text is written whole).
void nav_value(std::string& line, double v);
// A field with no value: 19 blanks.
void nav_blank(std::string& line);
// Start of the satellite/epoch/clock line: the system letter, the
// satellite number in two zero-filled digits, the year in five columns and
// month, day, hour, minute, second as a blank and two zero-filled digits
// (the date values rounded to whole numbers).
void nav_sv_epoch(std::string& line, const std::string& letter, long long sv, const double date[6]);
// RINEX 4 record header line: "> EPH ", the system letter, the satellite
// number in two zero-filled digits and the message type right-adjusted in
// 5 columns ("> EPH G01 LNAV").
void nav_eph_header(std::ostream& os, const std::string& letter, long long sv, const std::string& type);
// A broadcast-orbit line: four blanks, up to four value fields, then
// `blank_fields` fields of 19 blanks (spares that the record leaves empty).
void nav_orbit_line(std::ostream& os, std::initializer_list<double> values, int blank_fields = 0);

// (The calendar dates of GPS weeks and seconds, GPS_week_tow_to_date and
// its siblings, are in decode/Decode_func.h.)

// Ephemeris records, in the form of the RINEX version in Rinex_Ver.
void Add_GPS_Ephemeris(std::ofstream& os);
void Add_QZSS_Ephemeris(std::ofstream& os);
void Add_GAL_Ephemeris(std::ofstream& os);
void Add_BDS_Ephemeris(std::ofstream& os);
void Add_NavIC_Ephemeris(std::ofstream& os);
void Add_GLO_Ephemeris(std::ofstream& os);
void writeGloOrbit4(std::ofstream& os, const struct GLO_Ephemeris& e);
void Add_SBAS_Ephemeris(std::ofstream& os);

// RINEX 4 system-time-offset and ionosphere records.
int Add_GPS_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_QZSS_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_NavIC_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_BDS_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_GAL_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_GLO_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_SBAS_Nav_File_Time_corr_mixed(std::ofstream& os);
int Add_GPS_Nav_File_iono_mixed(std::ofstream& os);
int Add_QZSS_Nav_File_iono_mixed(std::ofstream& os);
int Add_NavIC_Nav_File_iono_mixed(std::ofstream& os);
int Add_BDS_Nav_File_iono_mixed(std::ofstream& os);
int Add_GAL_Nav_File_iono_mixed(std::ofstream& os);
