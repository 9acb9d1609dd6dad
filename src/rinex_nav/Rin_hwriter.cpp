// Navigation file headers.
#include "rinex_nav/Rin_hwriter.h"

#include <sstream>
#include <string>

#include "rinex_obs/Rin_hwriter.h"
#include "rinex_obs/Rinex_format.h"
#include "stores/VLX_objects.h"

// ===================================================================
// Header lines
// ===================================================================

// The value as the stream would print it, with the first "e" of the text
// turned into "D" for RINEX 4.
std::ostream& operator<<(std::ostream& os, const formattedOUT2& v) {
    std::ostringstream t;
    t.flags(os.flags());
    t.precision(os.precision());
    t.width(os.width());
    t.fill(os.fill());
    t << v.value;
    std::string text = t.str();
    if (Rinex_Ver >= 4.0) {
        const size_t e = text.find('e');
        if (e != std::string::npos) text[e] = 'D';
    }
    os.width(0);
    return os << text;
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
    std::string line;
    fmt_fixed(line, Rinex_Ver, 9, 2);
    fmt_blanks(line, 11);
    line += "N: GNSS NAV DATA";
    fmt_blanks(line, 4);
    fmt_left(line, system_field, 20);
    put_header_line(os, line, "RINEX VERSION / TYPE");
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
    std::string line;
    put_header_line(os, line, "END OF HEADER");
    return 1;
}

// ===================================================================
// RINEX 3.05 ionosphere and time-system lines
// ===================================================================

// Written in a later step of the work.
int Add_GPS_Nav_File_iono(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_iono(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_iono(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_iono(std::ofstream&) { return 1; }
int Add_GPS_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_GLO_Nav_File_Time_corr(std::ofstream&) { return 1; }
bool isValidBdsIon(const Iono_Par&) { return false; }
