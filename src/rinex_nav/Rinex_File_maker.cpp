// Navigation file makers: they only sequence the header, ionosphere,
// time-system and ephemeris writers. Two tables name the files: the RINEX
// 3.05 files, one per constellation, and the constellations of RINEX 4
// (one mixed file or one file each); write_navigation_files names, opens,
// orders and writes the files of either version.
#include "rinex_nav/Rinex_File_maker.h"

#include <iostream>

#include "rinex_nav/Rin_NAV_Data_record.h"
#include "rinex_nav/Rin_hwriter.h"
#include "rinex_nav/Sat_type.h"
#include "stores/Sat_type.h"
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

// The makers differ in their result (the GPS one has none), which no
// caller uses: the table calls them through one type.
template <auto Maker>
void make(std::ofstream& os) {
    Maker(os);
}

// One RINEX 3.05 file per row, in the order they are written.
struct Nav305File {
    int sys;                        // the constellation (its switch in SAT_SYSTEM)
    const char* letter;             // the type letter after the stem: rover.26 + N
    void (*sort_store)();           // orders its ephemeris store, just before it is written
    void (*maker)(std::ofstream&);  // writes the file: header once, then the records
};

const Nav305File nav305_files[] = {
    {SYS_GPS, "N", sort_GPS_ephemeris, make<GPS_NavigationFileMaker>},
    {SYS_NAVIC, "I", sort_NavIC_ephemeris, make<NavIC_NavigationFileMaker>},
    {SYS_GLO, "G", sort_GLO_ephemeris, make<GLO_NavigationFileMaker>},
    {SYS_GAL, "L", sort_GAL_ephemeris, make<GAL_NavigationFileMaker>},
    {SYS_BDS, "C", sort_BDS_ephemeris, make<BDS_NavigationFileMaker>},
};

// One constellation of a RINEX 4 file, in the order the groups stand in a
// mixed file.
struct Nav4System {
    NavSys sys;                           // the constellation (its switch in SAT_SYSTEM), header selector of its own file
    const char* ending;                   // ending of its own file after the stem
    void (*sort_store)();                 // orders its ephemeris store before any file is written
    void (*ephemerides)(std::ofstream&);  // its ephemeris records
    int (*time_offsets)(std::ofstream&);  // its time-offset records
    int (*ionosphere)(std::ofstream&);    // its ionosphere records (none: nullptr)
};

const Nav4System nav4_systems[] = {
    {NAV_GPS, "_GN.rnx", sort_GPS_ephemeris, Add_GPS_Ephemeris, Add_GPS_Nav_File_Time_corr_mixed,
     Add_GPS_Nav_File_iono_mixed},
    {NAV_GLO, "_RN.rnx", sort_GLO_ephemeris, Add_GLO_Ephemeris, Add_GLO_Nav_File_Time_corr_mixed,
     nullptr},
    {NAV_GAL, "_EN.rnx", sort_GAL_ephemeris, Add_GAL_Ephemeris, Add_GAL_Nav_File_Time_corr_mixed,
     Add_GAL_Nav_File_iono_mixed},
    {NAV_QZSS, "_JN.rnx", sort_QZSS_ephemeris, Add_QZSS_Ephemeris, Add_QZSS_Nav_File_Time_corr_mixed,
     Add_QZSS_Nav_File_iono_mixed},
    {NAV_BDS, "_CN.rnx", sort_BDS_ephemeris, Add_BDS_Ephemeris, Add_BDS_Nav_File_Time_corr_mixed,
     Add_BDS_Nav_File_iono_mixed},
    {NAV_NAVIC, "_IN.rnx", sort_NavIC_ephemeris, Add_NavIC_Ephemeris,
     Add_NavIC_Nav_File_Time_corr_mixed, Add_NavIC_Nav_File_iono_mixed},
    {NAV_SBAS, "_SN.rnx", sort_SBAS_ephemeris, Add_SBAS_Ephemeris, Add_SBAS_Nav_File_Time_corr_mixed,
     nullptr},
};

// A navigation selector names the system of the same index.
constexpr bool same_index(NavSys n, int s) { return static_cast<int>(n) == s; }
static_assert(same_index(NAV_GPS, SYS_GPS) && same_index(NAV_GLO, SYS_GLO) && same_index(NAV_GAL, SYS_GAL) &&
              same_index(NAV_QZSS, SYS_QZSS) && same_index(NAV_BDS, SYS_BDS) && same_index(NAV_NAVIC, SYS_NAVIC) &&
              same_index(NAV_SBAS, SYS_SBAS));
bool enabled(int sys) { return *SAT_SYSTEM[sys].enabled; }

void nav4_group(std::ofstream& os, const Nav4System& s) {
    s.ephemerides(os);
    s.time_offsets(os);
    if (s.ionosphere != nullptr) s.ionosphere(os);
}

// Creates (or truncates) one navigation file, writes it and closes it.
// A file that cannot be created, or whose writing failed, is reported by
// name and gives false.
template <class Write>
bool write_file(const std::string& name, Write write) {
    std::ofstream os(name, std::ios::out | std::ios::trunc);
    if (!os.is_open()) {
        std::cout << "Cannot create navigation file " << name << std::endl;
        return false;
    }
    write(os);
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
    if (mixed) {
        return write_file(stem + "_MN.rnx", [](std::ofstream& os) {
            Add_Nav_File_heading(os, NAV_MIXED);
            Add_end_of_header(os);
            for (const Nav4System& s : nav4_systems)
                if (enabled(s.sys)) nav4_group(os, s);
        });
    }
    bool ok = true;
    for (const Nav4System& s : nav4_systems) {
        if (!enabled(s.sys)) continue;
        const bool written = write_file(stem + s.ending, [&s](std::ofstream& os) {
            Add_Nav_File_heading(os, s.sys);
            Add_end_of_header(os);
            nav4_group(os, s);
        });
        ok = ok && written;
    }
    return ok;
}

bool write_navigation_files(const std::string& stem, bool mixed) {
    if (Rinex_Ver >= 4.0) {
        for (const Nav4System& s : nav4_systems)
            if (enabled(s.sys)) s.sort_store();
        return NavigationFileMaker(stem, mixed);
    }
    bool ok = true;
    for (const Nav305File& f : nav305_files) {
        if (!enabled(f.sys)) continue;
        const bool written = write_file(stem + f.letter, [&f](std::ofstream& os) {
            f.sort_store();
            f.maker(os);
        });
        ok = ok && written;
    }
    return ok;
}
