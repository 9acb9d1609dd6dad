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

void nav_eph_header(std::ostream& os, const std::string& letter, long long sv, const std::string& type) {
    std::string line = "> EPH ";
    line += letter;
    fmt_int0(line, sv, 2);
    fmt_right(line, type, 5);
    put_line(os, line);
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

namespace {

// The transmission time moved by one week when it lies more than half a
// week from the reference time (toe for LNAV, toc for CNAV and CNAV-2).
double gps_tx_time(uint32_t tx, int32_t ref) {
    const int64_t t = tx;
    if (t - ref > 302400) return static_cast<double>(t - 604800);
    if (ref - t > 302400) return static_cast<double>(t + 604800);
    return static_cast<double>(t);
}

void gps_sv_epoch_line(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                       double c0, double c1, double c2) {
    double date[6];
    for (int k = 0; k < 6; ++k) date[k] = r.clock_epoch.v[k];
    std::string line;
    nav_sv_epoch(line, letter, sv, date);
    nav_value(line, c0);
    nav_value(line, c1);
    nav_value(line, c2);
    put_line(os, line);
}

// Health is printed as a signed 32-bit value, the week as a signed 16-bit
// one; i0 and A-dot are printed at single precision.
void gps_lnav_record(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                     bool with_head) {
    if (with_head) nav_eph_header(os, letter, sv, r.type);
    gps_sv_epoch_line(os, letter, sv, r, r.af0, r.af1, r.af2);
    nav_orbit_line(os, {static_cast<double>(r.IODE), r.Crs, r.delta_n, r.M0});
    nav_orbit_line(os, {r.Cuc, r.e, r.Cus, r.sqrtA});
    nav_orbit_line(os, {static_cast<double>(r.toe), r.Cic, r.OMEGA0, r.Cis});
    nav_orbit_line(os, {static_cast<float>(r.i0), r.Crc, r.omega, r.OMEGA_DOT});
    nav_orbit_line(os, {r.IDOT, static_cast<double>((r.flags >> 2) & 1),
                        static_cast<double>(static_cast<int16_t>(r.week)), static_cast<double>((r.flags >> 1) & 1)});
    nav_orbit_line(os, {static_cast<double>(r.accuracy), static_cast<double>(static_cast<int32_t>(r.health)), r.TGD,
                        static_cast<double>(r.IODC)});
    nav_orbit_line(os, {gps_tx_time(r.tx_time, r.toe), r.fit_interval});
}

// CNAV and CNAV-2 share their first seven lines; the clock offset carries
// the clock-bias addend of the message (summed at single precision).
void gps_cnav_record(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                     bool cnav2) {
    const double week = static_cast<int16_t>(r.week);
    nav_eph_header(os, letter, sv, r.type);
    gps_sv_epoch_line(os, letter, sv, r, static_cast<float>(r.af0 + r.clock_bias_addend), r.af1, r.af2);
    nav_orbit_line(os, {static_cast<float>(r.A_dot), r.Crs, r.delta_n, r.M0});
    nav_orbit_line(os, {r.Cuc, r.e, r.Cus, r.sqrtA});
    nav_orbit_line(os, {static_cast<double>(r.t_op), r.Cic, r.OMEGA0, r.Cis});
    nav_orbit_line(os, {static_cast<float>(r.i0), r.Crc, r.omega, r.OMEGA_DOT});
    nav_orbit_line(os, {r.IDOT, r.delta_n_dot, static_cast<double>(r.URA_NED0), static_cast<double>(r.URA_NED1)});
    nav_orbit_line(os, {static_cast<double>(r.URA_ED), static_cast<double>(static_cast<int32_t>(r.health)), r.TGD,
                        static_cast<double>(r.URA_NED2)});
    if (cnav2) {
        std::string blank = "    ";
        for (int k = 0; k < 4; ++k) nav_blank(blank);
        put_line(os, blank);
        nav_orbit_line(os, {r.ISC_L1C[1], r.ISC_L1C[0]});
    } else {
        nav_orbit_line(os, {r.ISC[0], r.ISC[1], r.ISC[2], r.ISC[3]});
    }
    nav_orbit_line(os, {gps_tx_time(r.tx_time, r.toc), week});
}

// The stream state a record leaves behind: blank fill, scientific
// notation, 12 decimals.
void gps_leave_stream_state(std::ostream& os) {
    os.fill(' ');
    os.setf(std::ios::scientific, std::ios::floatfield);
    os.precision(12);
}

// Every non-empty slot of a GPS-like store in store order. RINEX 3.05 has
// LNAV records only, without header lines; RINEX 4 has all three types.
void gps_like_records(std::ostream& os, const GPS_Ephemeris* store, const std::string& letter, long long sv_offset,
                      bool rinex4) {
    for (int i = 0; i < EPH_STORE_SIZE; ++i) {
        const GPS_Ephemeris& r = store[i];
        if (r.SV == 0) continue;
        const long long sv = static_cast<long long>(r.SV) - sv_offset;
        if (r.type == Eph_type[0]) gps_lnav_record(os, letter, sv, r, rinex4);
        else if (rinex4 && r.type == Eph_type[1]) gps_cnav_record(os, letter, sv, r, false);
        else if (rinex4 && r.type == Eph_type[2]) gps_cnav_record(os, letter, sv, r, true);
        else continue;
        gps_leave_stream_state(os);
    }
}

}  // namespace

void Add_GPS_Ephemeris(std::ofstream& os) { gps_like_records(os, GPS_Eph, SatSys[SYS_GPS], 0, Rinex_Ver >= 4.0); }

// QZSS has only the RINEX 4 form; its numbers 193.. are written J01...
void Add_QZSS_Ephemeris(std::ofstream& os) { gps_like_records(os, QZSS_Eph, SatSys[SYS_QZSS], 192, true); }

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
