// Storage of the shared state, and reset_stores: the one place of the
// start-up values (it runs once before main).
#include "stores/VLX_objects.h"

#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"

RCV_Epoch RCV_date, RCV_date_first, RCV_date_last;
bool RCV_date_first_fixed;
Epoch_ms Epoch_first_obs, Epoch_last_obs;
Epoch_ms Epoch_reading;
float INTERVAL_Aux;
int32_t year, month, day, hour, minutes, sec;

double Rinex_Ver;
bool Enable_GPS, Enable_GLO, Enable_GAL, Enable_QZSS, Enable_BDS, Enable_NavIC, Enable_SBAS, Enable_GLCDMA;
bool MixedNavFile;
bool Enable_Long_File_Name;
double INTERVAL_Requested;
std::string filename;
std::string Site_Code, Monument_Number, Receiver_Number, Country_Code, Data_Source;
double Ant_delt_H, Ant_delt_E, Ant_delt_N;
std::string ANT_NUM;
const std::string version = "v0.1.2b";
char Aux_stage;
bool Epoch_held;

std::string RCV_NAME, RCV_ID, RCV_IGS, FW_VER, ANT_Type, SYS_MARKER, OBSERVER, AGENCY;
std::string Time_marker;
double APPR_POS_X, APPR_POS_Y, APPR_POS_Z;
double RcvTimeOffset;
int32_t Leap_sec;
int32_t SYS_NUM;
Ant_Par Ant_Parameters;
int gps_sys, glo_sys, gal_sys, qzss_sys, bds_sys, navic_sys, sbas_sys;
int32_t GLO_SLOT_ARR[GLO_SLOT_ARR_SIZE];

std::string SatSys[7] = {"G", "R", "E", "J", "C", "I", "S"};
std::string Eph_type[3] = {"LNAV", "CNAV", "CNV2"};

OBS_Type_Table GPS_OBS_Arr, GLO_OBS_Arr, GAL_OBS_Arr, BDS_OBS_Arr, QZSS_OBS_Arr, NAVIC_OBS_Arr,
    SBAS_OBS_Arr, GLCDMA_OBS_Arr;
int32_t SYS_OBS_NUM[10];

bool header_flag, SYS_OBS_flag, GLO_SLOT_flag, GLO_COD_flag, INT_flag, FOBS_flag, LOBS_flag, LEAP_flag,
    PHASE_SHFT_flag, OF_SAT_flag, END_flag;
bool END_flag_gps, END_flag_NavIC, END_flag_GLO, END_flag_GAL, END_flag_BDS;
int Epoch_flag;

const char* const Store_name[STORE_COUNT] = {"GPS ephemerides",
                                             "QZSS ephemerides",
                                             "Galileo ephemerides",
                                             "BeiDou ephemerides",
                                             "NavIC ephemerides",
                                             "GLONASS ephemerides",
                                             "SBAS ephemerides",
                                             "GPS ionosphere parameters",
                                             "QZSS ionosphere parameters",
                                             "BeiDou ionosphere parameters",
                                             "NavIC ionosphere parameters",
                                             "GPS UTC parameters",
                                             "QZSS UTC parameters",
                                             "BeiDou UTC parameters",
                                             "NavIC UTC parameters",
                                             "Galileo UTC parameters",
                                             "SBAS UTC parameters"};
std::unordered_set<uint64_t> Store_dropped[STORE_COUNT];

std::vector<GPS_Ephemeris> GPS_Eph, QZSS_Eph;
std::vector<GAL_Ephemeris> GAL_Eph;
std::vector<BDS_Ephemeris> BDS_Eph;
std::vector<NavIC_Ephemeris> NavIC_Eph;
std::vector<GLO_Ephemeris> GLO_Eph;
std::vector<SBAS_Ephemeris> SBAS_Eph;
int32_t GPS_SV_index, QZSS_SV_index, GAL_SV_index, BDS_SV_index, NavIC_SV_index, GLO_SV_index,
    SBAS_SV_index;
Repeat_index Eph_repeat[EPH_STORES];

std::vector<Iono_Par> Iono_GPS, Iono_QZSS, Iono_BDS, Iono_NavIC;
int32_t GPS_ION_Par_n, QZSS_ION_Par_n, BDS_ION_Par_n, NavIC_ION_Par_n;

std::vector<UTC_Par> GPS_UTC_Par, QZSS_UTC_Par, BDS_UTC_Par, NavIC_UTC_Par;
std::vector<UTC_GGTO_Par> GAL_UTC_Par;
std::vector<UTC_SBAS_Par> SBAS_UTC_Par;
GLO_Time_Parameters GLO_Time_Par;
int32_t GPS_UTC_Par_n, QZSS_UTC_Par_n, BDS_UTC_Par_n, NavIC_UTC_Par_n, GAL_UTC_Par_n, SBAS_UTC_Par_n;

namespace {

// A growing store with its start-up records, all empty. Fuzzing builds
// (AFL++) start every store at one record: the stores are built before the
// fork server starts, and what it holds then is copied into the process of
// every input; the short inputs of a fuzzer also reach the stores' growth.
template <class Rec>
void fresh_store(std::vector<Rec>& store, size_t records) {
#ifdef __AFL_HAVE_MANUAL_CONTROL
    records = 1;
#endif
    store = std::vector<Rec>(records);
}

}  // namespace

void reset_stores() {
    RCV_date = RCV_date_first = RCV_date_last = RCV_Epoch{};
    RCV_date_first_fixed = false;
    Epoch_first_obs = Epoch_last_obs = Epoch_reading = Epoch_ms{};
    INTERVAL_Aux = 0;
    year = month = day = hour = minutes = sec = 0;

    // Configuration: RINEX 4.00, every system on, one mixed navigation
    // file, short names, every epoch; the long-name fields of a station
    // that names none.
    Rinex_Ver = 4.0;
    for (const Sat_system& s : SAT_SYSTEM) *s.enabled = true;
    MixedNavFile = true;
    Enable_Long_File_Name = false;
    INTERVAL_Requested = 0;
    filename = " ";
    Site_Code = "ZELK";
    Monument_Number = "0";
    Receiver_Number = "0";
    Country_Code = "USA";
    Data_Source = "R";
    Ant_delt_H = Ant_delt_E = Ant_delt_N = 0;
    ANT_NUM = "-Unknown-";
    Aux_stage = 1;
    Epoch_held = false;

    RCV_NAME.clear();
    RCV_ID.clear();
    RCV_IGS.clear();
    FW_VER.clear();
    ANT_Type.clear();
    SYS_MARKER.clear();
    OBSERVER.clear();
    AGENCY.clear();
    Time_marker = "UTC";
    APPR_POS_X = APPR_POS_Y = APPR_POS_Z = 0;
    RcvTimeOffset = 0;
    Leap_sec = 0;
    SYS_NUM = 0;
    Ant_Parameters = Ant_Par{};
    for (int32_t& v : GLO_SLOT_ARR) v = 0;

    for (const Sat_system& s : SAT_SYSTEM) {
        for (int e = 0; e < OBS_TYPES; ++e) s.codes[e].clear();
        if (s.listed != nullptr) *s.listed = 0;
    }
    for (int32_t& n : SYS_OBS_NUM) n = 0;

    header_flag = SYS_OBS_flag = GLO_SLOT_flag = GLO_COD_flag = INT_flag = FOBS_flag = LOBS_flag = LEAP_flag =
        PHASE_SHFT_flag = OF_SAT_flag = END_flag = false;
    END_flag_gps = END_flag_NavIC = END_flag_GLO = END_flag_GAL = END_flag_BDS = false;
    Epoch_flag = 0;

    for (std::unordered_set<uint64_t>& d : Store_dropped) d.clear();
    fresh_store(GPS_Eph, EPH_STORE_SIZE);
    fresh_store(QZSS_Eph, EPH_STORE_SIZE);
    fresh_store(GAL_Eph, EPH_STORE_SIZE);
    fresh_store(BDS_Eph, EPH_STORE_SIZE);
    fresh_store(NavIC_Eph, EPH_STORE_SIZE);
    fresh_store(GLO_Eph, EPH_STORE_SIZE);
    fresh_store(SBAS_Eph, EPH_STORE_SIZE);
    GPS_SV_index = QZSS_SV_index = GAL_SV_index = BDS_SV_index = NavIC_SV_index = GLO_SV_index = SBAS_SV_index = 0;
    for (Repeat_index& r : Eph_repeat) r = Repeat_index{};

    fresh_store(Iono_GPS, IONO_STORE_SIZE);
    fresh_store(Iono_QZSS, IONO_STORE_SIZE);
    fresh_store(Iono_BDS, IONO_STORE_SIZE);
    fresh_store(Iono_NavIC, IONO_STORE_SIZE);
    GPS_ION_Par_n = QZSS_ION_Par_n = BDS_ION_Par_n = NavIC_ION_Par_n = 0;

    fresh_store(GPS_UTC_Par, UTC_STORE_SIZE);
    fresh_store(QZSS_UTC_Par, UTC_STORE_SIZE);
    fresh_store(BDS_UTC_Par, UTC_STORE_SIZE);
    fresh_store(NavIC_UTC_Par, UTC_STORE_SIZE);
    fresh_store(GAL_UTC_Par, UTC_STORE_SIZE);
    fresh_store(SBAS_UTC_Par, UTC_STORE_SIZE);
    GLO_Time_Par = GLO_Time_Parameters{};
    GPS_UTC_Par_n = QZSS_UTC_Par_n = BDS_UTC_Par_n = NavIC_UTC_Par_n = GAL_UTC_Par_n = SBAS_UTC_Par_n = 0;

    reset_satellite_tables();
    reset_message_records();
}

// The start-up values, before main: this file's objects are built by now
// (they stand above), and those of the other store files have no
// construction of their own (plain records, zero until this runs).
[[maybe_unused]] static const bool stores_built = (reset_stores(), true);
