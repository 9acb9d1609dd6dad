// Storage of the shared state and its start-up values.
#include "stores/VLX_objects.h"

RCV_Epoch RCV_date, RCV_date_first, RCV_date_last;
Epoch_ms Epoch_first_obs, Epoch_last_obs;
float INTERVAL_Aux;
int32_t year, month, day, hour, minutes, sec;

double Rinex_Ver = 4.01;  // the entry point replaces it by 4.0 before parsing
bool Enable_GPS = true, Enable_GLO = true, Enable_GAL = true, Enable_QZSS = true, Enable_BDS = true,
     Enable_NavIC = true, Enable_SBAS = true, Enable_GLCDMA = true;
bool MixedNavFile = true;
bool Enable_Long_File_Name = false;
double INTERVAL_Requested = 0;
std::string filename = " ";
std::string Site_Code = "ZELK", Monument_Number = "0", Receiver_Number = "0", Country_Code = "USA",
            Data_Source = "R";
double Ant_delt_H = 0, Ant_delt_E = 0, Ant_delt_N = 0;
std::string ANT_NUM = "-Unknown-";
const std::string version = "v0.1.2b";
char Aux_stage = 1;
bool Epoch_held = false;

std::string RCV_NAME, RCV_ID, RCV_IGS, FW_VER, ANT_Type, SYS_MARKER, OBSERVER, AGENCY;
std::string Time_marker = "UTC";
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
int Epoch_flag = 0;

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

std::vector<GPS_Ephemeris> GPS_Eph(EPH_STORE_SIZE), QZSS_Eph(EPH_STORE_SIZE);
std::vector<GAL_Ephemeris> GAL_Eph(EPH_STORE_SIZE);
std::vector<BDS_Ephemeris> BDS_Eph(EPH_STORE_SIZE);
std::vector<NavIC_Ephemeris> NavIC_Eph(EPH_STORE_SIZE);
std::vector<GLO_Ephemeris> GLO_Eph(EPH_STORE_SIZE);
std::vector<SBAS_Ephemeris> SBAS_Eph(EPH_STORE_SIZE);
int32_t GPS_SV_index, QZSS_SV_index, GAL_SV_index, BDS_SV_index, NavIC_SV_index, GLO_SV_index,
    SBAS_SV_index;

std::vector<Iono_Par> Iono_GPS(IONO_STORE_SIZE), Iono_QZSS(IONO_STORE_SIZE), Iono_BDS(IONO_STORE_SIZE),
    Iono_NavIC(IONO_STORE_SIZE);
int32_t GPS_ION_Par_n, QZSS_ION_Par_n, BDS_ION_Par_n, NavIC_ION_Par_n;

std::vector<UTC_Par> GPS_UTC_Par(UTC_STORE_SIZE), QZSS_UTC_Par(UTC_STORE_SIZE), BDS_UTC_Par(UTC_STORE_SIZE),
    NavIC_UTC_Par(UTC_STORE_SIZE);
std::vector<UTC_GGTO_Par> GAL_UTC_Par(UTC_STORE_SIZE);
std::vector<UTC_SBAS_Par> SBAS_UTC_Par(UTC_STORE_SIZE);
GLO_Time_Parameters GLO_Time_Par;
int32_t GPS_UTC_Par_n, QZSS_UTC_Par_n, BDS_UTC_Par_n, NavIC_UTC_Par_n, GAL_UTC_Par_n, SBAS_UTC_Par_n;
