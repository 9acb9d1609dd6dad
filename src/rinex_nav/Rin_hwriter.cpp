// Navigation file headers.
#include "rinex_nav/Rin_hwriter.h"

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "rinex_common/Rinex_format.h"
#include "rinex_common/Rinex_header.h"
#include "rinex_nav/Rin_NAV_Data_record.h"
#include "stores/VLX_objects.h"

// ===================================================================
// Header lines
// ===================================================================

namespace {

// RINEX 4 header values carry a "D" exponent: the first "e" of the text
// from `from` on becomes "D" (a fixed-notation text has none).
void d_exponent(std::string& text, size_t from) {
    if (Rinex_Ver < 4.0) return;
    const size_t e = text.find('e', from);
    if (e != std::string::npos) text[e] = 'D';
}

}  // namespace

// The value as the stream prints it: the number formatting that inserting
// the double runs (the stream's flags, precision, width, fill and locale),
// into a buffer so that the exponent letter can change. It spends the
// stream's width, as any insertion does.
std::ostream& operator<<(std::ostream& os, const formattedOUT2& v) {
    std::stringbuf text;
    std::use_facet<std::num_put<char>>(os.getloc()).put(std::ostreambuf_iterator<char>(&text), os, os.fill(),
                                                         v.value);
    os.width(0);
    std::string s = text.str();
    d_exponent(s, 0);
    return os.write(s.data(), static_cast<std::streamsize>(s.size()));
}

NavHeaderInfo GetNavHeaderInfo(NavSys sys) {
    static const NavHeaderInfo systems[] = {
        {"G", "GPS"}, {"R", "GLONASS"}, {"E", "GALILEO"}, {"J", "QZSS"},
        {"C", "BEIDOU"}, {"I", "NAVIC"}, {"S", "SBAS"},
    };
    const int i = static_cast<int>(sys);
    if (i >= 0 && i < 7) return systems[i];
    return {"M", "MIXED"};
}

namespace {

// RINEX VERSION / TYPE with the given system field, PGM / RUN BY / DATE
// and LEAP SECONDS: the three lines every navigation header opens with.
int nav_header_lines(std::ofstream& os, const std::string& system_field) {
    Add_version_type(os, "N: GNSS NAV DATA", system_field);
    Add_pgm_run_by_date(os);
    LEAP_flag = Add_leap_sec(os);
    return 1;
}

}  // namespace

int Add_GPS_Nav_File_heading(std::ofstream& os) { return nav_header_lines(os, "G: GPS"); }
int Add_GLO_Nav_File_heading(std::ofstream& os) { return nav_header_lines(os, "R: GLONASS"); }
int Add_GAL_Nav_File_heading(std::ofstream& os) { return nav_header_lines(os, "E: Galileo"); }
int Add_BDS_Nav_File_heading(std::ofstream& os) { return nav_header_lines(os, "C: BDS"); }
int Add_NavIC_Nav_File_heading(std::ofstream& os) { return nav_header_lines(os, "I: IRNSS"); }

// RINEX 4: letter and upper-case name of the selected system, or MIXED.
int Add_Nav_File_heading(std::ofstream& os, NavSys sys) {
    const NavHeaderInfo info = GetNavHeaderInfo(sys);
    return nav_header_lines(os, info.letter + ": " + info.name);
}

// The 12 blanks belong to the field, so a longer marker moves the label.
int Add_Mixed_Nav_File_heading(std::ofstream& os) {
    return nav_header_lines(os, SYS_MARKER + ": MIXED" + std::string(12, ' '));
}

int Add_end_of_header(std::ofstream& os) {
    Add_end_of_header_line(os);
    return 1;
}

// ===================================================================
// RINEX 3.05 ionosphere and time-system lines
// ===================================================================

// The includes of this section stand here so that the sections of this
// file stay independent of each other.
#include <algorithm>
#include <cmath>

namespace {

// A header value as formattedOUT2 prints it in a scientific stream:
// `prec` decimals, right-adjusted in `w` columns, "D" for the first "e"
// from RINEX 4 on. (These lines exist only in RINEX 3.05 files, so in
// practice the exponent stays "e".)
void hdr_sci(std::string& line, double v, int w, int prec) {
    const size_t start = line.size();
    fmt_sci(line, v, w, prec);
    d_exponent(line, start);
}

// One IONOSPHERIC CORR line: type in 5 columns, four coefficients, then
// columns 54-60 (`tail`, 7 columns) and the label.
void put_iono_line(std::ostream& os, const char* type, const double c[4], const std::string& tail) {
    std::string line;
    fmt_left(line, type, 5);
    for (int i = 0; i < 4; ++i) hdr_sci(line, c[i], 12, 4);
    line += tail;
    put_header_line(os, line, "IONOSPHERIC CORR");
}

// The alpha and beta line pair of one Klobuchar record.
void put_iono_pair(std::ostream& os, const char* a_type, const char* b_type, const Iono_Par& r,
                   const std::string& tail) {
    double a[4], b[4];
    for (int i = 0; i < 4; ++i) {
        a[i] = r.alpha[i];
        b[i] = r.beta[i];
    }
    put_iono_line(os, a_type, a, tail);
    put_iono_line(os, b_type, b, tail);
}

// GPS and NavIC: the stored records with a non-zero alpha0; a record of
// zeros is left out, and hides none of the records after it.
void put_iono_records(std::ostream& os, const std::vector<Iono_Par>& store, int32_t count, const char* a_type,
                      const char* b_type) {
    each_stored(store, count, [&](const Iono_Par& r) {
        if (r.alpha[0] != 0) put_iono_pair(os, a_type, b_type, r, std::string(7, ' '));
    });
}

// One TIME SYSTEM CORR line: the correction type in columns 1-4, a0
// (D17.10) in 6-22, a1 (D16.9) in 23-38, T (I7) in 39-45 and W (I5) in
// 46-50, whatever the type and the signs; the source and UTC identifier
// fields (51-60) stay blank, and the label starts in column 61.
void put_time_corr(std::ostream& os, const char* id, double a0, double a1, uint32_t T, uint32_t W) {
    std::string line;
    fmt_left(line, id, 5);
    hdr_sci(line, a0, 17, 10);
    hdr_sci(line, a1, 16, 9);
    fmt_right(line, std::to_string(T), 7);
    fmt_right(line, std::to_string(W), 5);
    put_header_line(os, line, "TIME SYSTEM CORR");
}

// The stored UTC records that pass `keep`, in store order: A0, A1, tot and
// WNt. A record that fails is left out and the walk goes on, so that a
// broadcast of zeros hides none of the records after it.
template <typename Rec, typename Keep>
void put_utc_records(std::ostream& os, const std::vector<Rec>& store, int32_t count, const char* id, Keep keep) {
    each_stored(store, count, [&](const Rec& r) {
        if (keep(r)) put_time_corr(os, id, r.A0, r.A1, r.tot, r.WNt);
    });
}

}  // namespace

int Add_GPS_Nav_File_iono(std::ofstream& os) {
    put_iono_records(os, Iono_GPS, GPS_ION_Par_n, "GPSA", "GPSB");
    return 1;
}

int Add_NavIC_Nav_File_iono(std::ofstream& os) {
    put_iono_records(os, Iono_NavIC, NavIC_ION_Par_n, "IRNA", "IRNB");
    return 1;
}

// BeiDou: the stored records that pass the plausibility test, each with its
// hour mark (columns 54-55) and satellite (56-58).
int Add_BDS_Nav_File_iono(std::ofstream& os) {
    each_stored(Iono_BDS, BDS_ION_Par_n, [&](const Iono_Par& r) {
        if (!isValidBdsIon(r)) return;
        std::string tail;
        fmt_right(tail, r.hour_mark, 2);
        fmt_int(tail, r.SV, 3);
        fmt_blanks(tail, 2);
        put_iono_pair(os, "BDSA", "BDSB", r, tail);
    });
    return 1;
}

// Galileo: one line from the first ephemeris record (zeros without one).
int Add_GAL_Nav_File_iono(std::ofstream& os) {
    const double c[4] = {GAL_Eph[0].ai0, GAL_Eph[0].ai1, GAL_Eph[0].ai2, 0.0};
    put_iono_line(os, "GAL", c, std::string(7, ' '));
    return 1;
}

// A GPS record is written unless A0 and A1 are both zero; a record of the
// other constellations unless A0 is zero.
int Add_GPS_Nav_File_Time_corr(std::ofstream& os) {
    put_utc_records(os, GPS_UTC_Par, GPS_UTC_Par_n, "GPUT", [](const UTC_Par& r) { return r.A0 != 0 || r.A1 != 0; });
    return 1;
}

int Add_NavIC_Nav_File_Time_corr(std::ofstream& os) {
    put_utc_records(os, NavIC_UTC_Par, NavIC_UTC_Par_n, "IRUT", [](const UTC_Par& r) { return r.A0 != 0; });
    return 1;
}

int Add_BDS_Nav_File_Time_corr(std::ofstream& os) {
    put_utc_records(os, BDS_UTC_Par, BDS_UTC_Par_n, "BDUT", [](const UTC_Par& r) { return r.A0 != 0; });
    return 1;
}

// All GAUT lines first, then a GAGP line per record with a GPS offset
// (a0G not zero), at the offset's own reference time t0G and week WN0G
// (not the week of the UTC parameters, which may differ).
int Add_GAL_Nav_File_Time_corr(std::ofstream& os) {
    put_utc_records(os, GAL_UTC_Par, GAL_UTC_Par_n, "GAUT", [](const UTC_GGTO_Par& r) { return r.A0 != 0; });
    each_stored(GAL_UTC_Par, GAL_UTC_Par_n, [&](const UTC_GGTO_Par& r) {
        if (r.a0G != 0) put_time_corr(os, "GAGP", r.a0G, r.a1G, r.t0G, r.WN0G);
    });
    return 1;
}

// GLONASS, from the time message (zeros without one): GLUT is GLONASS time
// to UTC(SU), GLGP GLONASS to GPS time, each an offset without drift or
// reference time.
int Add_GLO_Nav_File_Time_corr(std::ofstream& os) {
    put_time_corr(os, "GLUT", GLO_GLUT_a0(), 0.0, 0, 0);
    put_time_corr(os, "GLGP", GLO_GLGP_a0(), 0.0, 0, 0);
    return 1;
}

double GLO_GLUT_a0() { return 0.0 - GLO_Time_Par.corr0; }
double GLO_GLGP_a0() { return GLO_Time_Par.corr1; }

// Plausibility of a BeiDou ionosphere record, tested in this order:
// satellite 1..63, a reception time dated in 1980..2099 within a day (a
// time of day beyond 24 h comes only from a corrupted epoch time), finite
// coefficients, not all (near) zero, |alpha| <= 0.01 and |beta| <= 1e8.
bool isValidBdsIon(const Iono_Par& rec) {
    if (rec.SV < 1 || rec.SV > 63) return false;
    int d[6];
    reception_date(rec.received, d);
    if (!rec.received.dated || d[0] < 1980 || d[0] > 2099 || d[3] > 23) return false;
    double largest = 0;
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(rec.alpha[i]) || !std::isfinite(rec.beta[i])) return false;
        largest = std::max({largest, std::fabs(static_cast<double>(rec.alpha[i])),
                            std::fabs(static_cast<double>(rec.beta[i]))});
    }
    if (largest < 1e-20) return false;
    for (int i = 0; i < 4; ++i)
        if (std::fabs(rec.alpha[i]) > 0.01) return false;
    for (int i = 0; i < 4; ++i)
        if (std::fabs(rec.beta[i]) > 1e8) return false;
    return true;
}
