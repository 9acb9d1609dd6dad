// Navigation file makers: they only sequence the header, ionosphere,
// time-system and ephemeris writers. RINEX 3.05 gets one file per
// constellation (opened by the entry point), RINEX 4 one mixed file or one
// file per enabled constellation, opened here.
#include "rinex_nav/Rinex_File_maker.h"

#include <iostream>

#include "rinex_nav/Rin_NAV_Data_record.h"
#include "rinex_nav/Rin_hwriter.h"
#include "stores/VLX_objects.h"

namespace {

// A RINEX 3.05 file: its header once (heading, ionosphere lines where the
// constellation has them, time-system lines, END OF HEADER), then every
// ephemeris record.
int nav305_file(std::ofstream& os, bool& end_flag, int (*heading)(std::ofstream&),
                int (*iono)(std::ofstream&), int (*time_corr)(std::ofstream&),
                void (*ephemerides)(std::ofstream&)) {
    if (!end_flag) {
        heading(os);
        if (iono != nullptr) iono(os);
        time_corr(os);
        end_flag = Add_end_of_header(os) != 0;
    }
    ephemerides(os);
    return 1;
}

// One constellation of a RINEX 4 file: its switch, the ending of its own
// file, its header selector and its writers (ephemerides, time offsets,
// ionosphere), in the order the groups stand in a mixed file.
struct Nav4System {
    const bool* enabled;
    const char* ending;
    NavSys sys;
    void (*ephemerides)(std::ofstream&);
    int (*time_offsets)(std::ofstream&);
    int (*ionosphere)(std::ofstream&);
};

const Nav4System nav4_systems[] = {
    {&Enable_GPS, "_GN.rnx", NAV_GPS, Add_GPS_Ephemeris, Add_GPS_Nav_File_Time_corr_mixed,
     Add_GPS_Nav_File_iono_mixed},
    {&Enable_GLO, "_RN.rnx", NAV_GLO, Add_GLO_Ephemeris, Add_GLO_Nav_File_Time_corr_mixed, nullptr},
    {&Enable_GAL, "_EN.rnx", NAV_GAL, Add_GAL_Ephemeris, Add_GAL_Nav_File_Time_corr_mixed,
     Add_GAL_Nav_File_iono_mixed},
    {&Enable_QZSS, "_JN.rnx", NAV_QZSS, Add_QZSS_Ephemeris, Add_QZSS_Nav_File_Time_corr_mixed,
     Add_QZSS_Nav_File_iono_mixed},
    {&Enable_BDS, "_CN.rnx", NAV_BDS, Add_BDS_Ephemeris, Add_BDS_Nav_File_Time_corr_mixed,
     Add_BDS_Nav_File_iono_mixed},
    {&Enable_NavIC, "_IN.rnx", NAV_NAVIC, Add_NavIC_Ephemeris, Add_NavIC_Nav_File_Time_corr_mixed,
     Add_NavIC_Nav_File_iono_mixed},
    {&Enable_SBAS, "_SN.rnx", NAV_SBAS, Add_SBAS_Ephemeris, Add_SBAS_Nav_File_Time_corr_mixed, nullptr},
};

void nav4_group(std::ofstream& os, const Nav4System& s) {
    s.ephemerides(os);
    s.time_offsets(os);
    if (s.ionosphere != nullptr) s.ionosphere(os);
}

// Opens a RINEX 4 file for writing; a file that cannot be created is
// reported by name.
bool nav4_open(std::ofstream& os, const std::string& name) {
    os.open(name, std::ios::out | std::ios::trunc);
    if (os.is_open()) return true;
    std::cout << "Cannot create navigation file " << name << std::endl;
    return false;
}

// Closes a RINEX 4 file; a failed write is reported by name.
bool nav4_close(std::ofstream& os, const std::string& name) {
    os.close();
    if (!os.fail()) return true;
    std::cout << "Cannot write navigation file " << name << std::endl;
    return false;
}

}  // namespace

void GPS_NavigationFileMaker(std::ofstream& os) {
    nav305_file(os, END_flag_gps, Add_GPS_Nav_File_heading, Add_GPS_Nav_File_iono, Add_GPS_Nav_File_Time_corr,
                Add_GPS_Ephemeris);
}

int NavIC_NavigationFileMaker(std::ofstream& os) {
    return nav305_file(os, END_flag_NavIC, Add_NavIC_Nav_File_heading, Add_NavIC_Nav_File_iono,
                       Add_NavIC_Nav_File_Time_corr, Add_NavIC_Ephemeris);
}

// GLONASS has no ionosphere lines.
int GLO_NavigationFileMaker(std::ofstream& os) {
    return nav305_file(os, END_flag_GLO, Add_GLO_Nav_File_heading, nullptr, Add_GLO_Nav_File_Time_corr,
                       Add_GLO_Ephemeris);
}

int GAL_NavigationFileMaker(std::ofstream& os) {
    return nav305_file(os, END_flag_GAL, Add_GAL_Nav_File_heading, Add_GAL_Nav_File_iono,
                       Add_GAL_Nav_File_Time_corr, Add_GAL_Ephemeris);
}

int BDS_NavigationFileMaker(std::ofstream& os) {
    return nav305_file(os, END_flag_BDS, Add_BDS_Nav_File_heading, Add_BDS_Nav_File_iono,
                       Add_BDS_Nav_File_Time_corr, Add_BDS_Ephemeris);
}

// RINEX 4: one mixed file "<stem>_MN.rnx" holding every enabled
// constellation's group, or one file per enabled constellation. A file
// that cannot be created or written is reported and makes the result
// false; the other files are still written.
bool NavigationFileMaker(const std::string& stem, bool mixed) {
    bool ok = true;
    if (mixed) {
        const std::string name = stem + "_MN.rnx";
        std::ofstream os;
        if (!nav4_open(os, name)) return false;
        Add_Nav_File_heading(os, NAV_MIXED);
        Add_end_of_header(os);
        for (const Nav4System& s : nav4_systems)
            if (*s.enabled) nav4_group(os, s);
        return nav4_close(os, name);
    }
    for (const Nav4System& s : nav4_systems) {
        if (!*s.enabled) continue;
        const std::string name = stem + s.ending;
        std::ofstream os;
        if (!nav4_open(os, name)) {
            ok = false;
            continue;
        }
        Add_Nav_File_heading(os, s.sys);
        Add_end_of_header(os);
        nav4_group(os, s);
        ok = nav4_close(os, name) && ok;
    }
    return ok;
}
