// The shared state of the converter: configuration values, header strings,
// receiver dates, observation-code tables, ephemeris, ionosphere and
// time-system stores, and the one-shot flags of the RINEX headers. All of
// it is global, built before main and alive for the whole run. Every value
// takes its start-up value from reset_stores, which runs once before main:
// the start-up values stand there and nowhere else.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

// ---------------------------------------------------------------- dates

// A receiver date: seven whole numbers stored as floats.
enum { EP_YEAR = 0, EP_MONTH, EP_DAY, EP_HOUR, EP_MIN, EP_SEC, EP_SYS };
struct RCV_Epoch {
    float v[7];  // year, month, day, hour, minute, second, time-system code
};
// Time-system codes of a receiver date.
enum { TS_GPS = 0, TS_UTC_USNO = 1, TS_GLONASS = 2, TS_UTC_SU = 3 };

extern RCV_Epoch RCV_date;        // date of the current epoch
extern RCV_Epoch RCV_date_first;  // first dated epoch of the log (first pass)
extern RCV_Epoch RCV_date_last;   // last dated epoch of the log (first pass)
// The first pass has seen a dated "RD" record: RCV_date_first is final.
extern bool RCV_date_first_fixed;

// The receiver time of an epoch in whole milliseconds: a day number (days
// from 1 March of year 0, as days_from_civil counts them) and the time of
// day. While no receiver date is known (`dated` false) the day counts the
// midnights passed since the first epoch of the log.
struct Epoch_ms {
    int64_t day;
    uint32_t ms;
    bool dated;
};
// The epoch clock of each pass over the log: the time of the epoch being
// read and the latest epoch time read so far.
struct Pass_clock {
    Epoch_ms epoch;
    Epoch_ms latest;
    bool begun;  // an epoch has been read: the first one steps from nothing
};
extern Epoch_ms Epoch_first_obs;  // the first epoch of the log (first pass)
extern Epoch_ms Epoch_last_obs;   // the last epoch record of the observation file (first pass)
// The epoch in which the message being read stands (first pass): the time
// of the latest "~~" read, on its receiver date. The time-parameter
// decoders stamp their records with it as the time of reception; the
// first pass puts the first epoch's time into the records read before it,
// and dates the records of epochs read before the log named a date.
extern Epoch_ms Epoch_reading;
extern float INTERVAL_Aux;        // data interval in seconds found by the first pass

// UTC wall-clock time of the run, for the "PGM / RUN BY / DATE" lines.
extern int32_t year, month, day, hour, minutes, sec;

// -------------------------------------------------------- configuration

extern double Rinex_Ver;  // 3.05, 4.0 or 4.01
extern bool Enable_GPS, Enable_GLO, Enable_GAL, Enable_QZSS, Enable_BDS, Enable_NavIC, Enable_SBAS,
    Enable_GLCDMA;
extern bool MixedNavFile;           // RINEX 4: one mixed navigation file
extern bool Enable_Long_File_Name;  // RINEX long file names requested
extern double INTERVAL_Requested;   // requested output interval, s; 0 = none
extern std::string filename;        // the log
extern std::string Site_Code, Monument_Number, Receiver_Number, Country_Code, Data_Source;
extern double Ant_delt_H, Ant_delt_E, Ant_delt_N;
extern std::string ANT_NUM;
extern const std::string version;  // the program's version, as the RINEX program line carries it
extern char Aux_stage;             // 1 while the first pass runs, 0 afterwards
// Set by the observation pass while the satellite tables hold a decoded
// epoch that is not written yet (the first epoch waits for the header).
extern bool Epoch_held;

// ------------------------------------------------------- header strings

extern std::string RCV_NAME, RCV_ID, RCV_IGS, FW_VER, ANT_Type, SYS_MARKER, OBSERVER, AGENCY,
    Time_marker;
extern double APPR_POS_X, APPR_POS_Y, APPR_POS_Z;
extern double RcvTimeOffset;
extern int32_t Leap_sec;
extern int32_t SYS_NUM;  // systems in the last "SX" list

// Antenna offsets from the antenna-information message.
struct Ant_Par {
    uint8_t flag1;
    double v1[3];
    uint8_t flag2;
    double v2[3];
};
extern Ant_Par Ant_Parameters;

// Systems present in the last "SX" list (0 or 1).
extern int gps_sys, glo_sys, gal_sys, qzss_sys, bds_sys, navic_sys, sbas_sys;

// GLONASS channel/slot pairs: element j (0..31) the channel of pair j,
// element 60+j its slot (0 = free pair), element 59 the number of pairs.
constexpr int GLO_SLOT_ARR_SIZE = 120;
extern int32_t GLO_SLOT_ARR[GLO_SLOT_ARR_SIZE];

// ----------------------------------------------------- system tables

// RINEX system letters in system-index order.
enum { SYS_GPS = 0, SYS_GLO, SYS_GAL, SYS_QZSS, SYS_BDS, SYS_NAVIC, SYS_SBAS };
extern std::string SatSys[7];
// Navigation-file selector.
enum NavSys { NAV_GPS = 0, NAV_GLO, NAV_GAL, NAV_QZSS, NAV_BDS, NAV_NAVIC, NAV_SBAS, NAV_MIXED };
// Navigation message type names of the GPS and QZSS records.
extern std::string Eph_type[3];

// Observation-code tables: 12 groups of 5 strings (code, phase, Doppler,
// strength code, and a fifth string only BeiDou sets).
constexpr int OBS_TYPES = 60;
typedef std::string OBS_Type_Table[OBS_TYPES];
extern OBS_Type_Table GPS_OBS_Arr, GLO_OBS_Arr, GAL_OBS_Arr, BDS_OBS_Arr, QZSS_OBS_Arr, NAVIC_OBS_Arr,
    SBAS_OBS_Arr, GLCDMA_OBS_Arr;
extern int32_t SYS_OBS_NUM[10];  // codes per system, system-index order

// ------------------------------------------------------ header flags

// One-shot flags of the observation header lines.
extern bool header_flag, SYS_OBS_flag, GLO_SLOT_flag, GLO_COD_flag, INT_flag, FOBS_flag, LOBS_flag,
    LEAP_flag, PHASE_SHFT_flag, OF_SAT_flag, END_flag;
// One-shot flags of the RINEX 3.05 navigation headers.
extern bool END_flag_gps, END_flag_NavIC, END_flag_GLO, END_flag_GAL, END_flag_BDS;
extern int Epoch_flag;  // epoch flag of every observation record: 0

// ------------------------------------------------------ growing stores

// The ephemeris, ionosphere and time-parameter stores are vectors of plain
// records in log order. Each holds a fixed number of empty records from
// start-up (the sizes below) and grows when a record is appended at its
// end, doubling, so that a log of many days keeps every record and the
// memory follows the number of records kept. A store takes at most
// STORE_LIMIT records; a new record beyond that is dropped and noted in
// Store_dropped, and the first pass names the store and the count on
// standard output.
constexpr int32_t STORE_LIMIT = 1 << 20;

// The stores that can reach the limit, for the count of dropped records.
enum StoreId {
    STORE_GPS_EPH,
    STORE_QZSS_EPH,
    STORE_GAL_EPH,
    STORE_BDS_EPH,
    STORE_NAVIC_EPH,
    STORE_GLO_EPH,
    STORE_SBAS_EPH,
    STORE_GPS_ION,
    STORE_QZSS_ION,
    STORE_BDS_ION,
    STORE_NAVIC_ION,
    STORE_GPS_UTC,
    STORE_QZSS_UTC,
    STORE_BDS_UTC,
    STORE_NAVIC_UTC,
    STORE_GAL_UTC,
    STORE_SBAS_UTC,
    STORE_COUNT
};
extern const char* const Store_name[STORE_COUNT];  // as the report names them
// The keys (hashes of what the store's repeat test compares) of the new
// records each store dropped at its limit, so that a record that is sent
// again after it was dropped counts once.
extern std::unordered_set<uint64_t> Store_dropped[STORE_COUNT];

// The record at position n of a store, which is enlarged first (empty
// records, at least doubling) when n lies at or past its end. One slot
// beyond the limit exists, so that a message arriving at a full store can
// still be decoded and tested for a repeat before it is dropped; nullptr
// for a position outside 0..STORE_LIMIT (only a corrupted count).
template <class Rec>
Rec* store_slot(std::vector<Rec>& store, int32_t n) {
    if (n < 0 || n > STORE_LIMIT) return nullptr;
    const size_t need = static_cast<size_t>(n) + 1;
    if (need > store.size())
        store.resize(std::min(std::max(need, 2 * store.size()), static_cast<size_t>(STORE_LIMIT) + 1));
    return &store[static_cast<size_t>(n)];
}

// Each record 0 .. count-1 of a store, in store order, handed to f; never
// past the store's end (a corrupted count), none for a count below 1.
template <class Store, class F>
void each_stored(Store& store, int32_t count, F f) {
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(store.size()));
    for (int64_t i = 0; i < n; ++i) f(store[static_cast<size_t>(i)]);
}

// Whether a new (not repeated) record at position n finds its store full;
// then its key is noted as dropped.
inline bool store_full(int32_t n, StoreId id, uint64_t key) {
    if (n < STORE_LIMIT) return false;
    Store_dropped[id].insert(key);
    return true;
}

// --------------------------------------------------------- ephemerides

constexpr int EPH_STORE_SIZE = 1024;  // records of an ephemeris store at start-up

// The Keplerian head shared by the GPS-like ephemeris records.
struct Kepler_head {
    uint32_t SV;       // satellite number; 0 = empty or dropped slot
    uint32_t tx_time;  // transmission time, s of week
    uint8_t flags;     // message flag byte
    int16_t IODC;      // issue of data (clock)
    int32_t toc;       // clock reference time, s of week
    int32_t accuracy;  // metres, or a raw index
    uint32_t health;
    uint16_t week;  // full week of toe
    float TGD, af2, af1, af0;
    int32_t toe;  // reference time of ephemeris, s of week
    uint16_t IODE;
    double sqrtA, e;
    double M0, OMEGA0, i0, omega;   // radians
    float delta_n, OMEGA_DOT, IDOT;  // radians per second
    float Crc, Crs, Cuc, Cus, Cic, Cis;
};

// Records of GPS_Eph and QZSS_Eph.
struct GPS_Ephemeris : Kepler_head {
    RCV_Epoch clock_epoch;  // calendar date of toc
    uint16_t toc_week;      // full week of toc, written by CNAV and CNAV-2 records
    float fit_interval;     // hours
    std::string type;       // "LNAV", "CNAV" or "CNV2"
    uint8_t cnav_flags;     // message byte 122
    int32_t t_op;
    uint32_t spare;  // message bytes 127-130, read by nobody
    double A_dot;
    float delta_n_dot;  // radians per second squared
    uint32_t URA_ED, URA_NED0, URA_NED1, URA_NED2;
    float ISC[4];       // inter-signal corrections (length 168)
    float ISC_L1C[2];   // L1C inter-signal corrections (length 160)
    float clock_bias_addend;
};

struct GAL_Ephemeris : Kepler_head {  // accuracy holds the raw SISA index
    std::string type;                 // "INAV" or "FNAV"
    float BGD_E5a, BGD_E5b;
    float ai0, ai1, ai2;
    uint8_t iono_flags;
    uint8_t data_sources;  // bit 0 I/NAV E1-B, bit 1 F/NAV E5a-I, bit 2 I/NAV E5b-I
    float SISA;            // metres
    uint32_t spare;
    uint16_t flag_word;        // 0x205 I/NAV, 0x102 F/NAV
    int32_t data_source_word;  // 517 I/NAV, 258 F/NAV
    RCV_Epoch clock_epoch;
};

struct BDS_Ephemeris : Kepler_head {  // week: BeiDou week
    std::string type;                 // "D1", "D2", "CNV1", "CNV2" or "CNV3"
    int32_t sat_type;                 // never set
    float TGD2;
    uint8_t type_flags;
    uint32_t word127;
    uint8_t AODC, AODE;
    double A_dot;
    float delta_n_dot;
    float cnav_accuracy;
    uint32_t word147;
    uint8_t bytes151[8];
    RCV_Epoch clock_epoch;  // computed with the BeiDou week + 1356
};

struct NavIC_Ephemeris : Kepler_head {
    RCV_Epoch clock_epoch;
    float fit_interval;
};

struct GLO_Ephemeris {
    uint32_t SV;  // slot number; 0 = empty or dropped
    int8_t freq;  // frequency channel
    uint32_t day_number;
    int32_t tk;
    int32_t tb;  // s of day, Moscow time
    uint8_t health, age, flags;
    double pos[3];
    float vel[3];
    float acc[3];
    double tau_sys;
    float tau, gamma, delta_tau;
    uint8_t Ft, N4;
    uint16_t flags2;
    uint8_t ext1;
    uint8_t ext2[8];
    uint16_t ext3;
    uint8_t ext4, ext5;
    uint16_t ext6;
    RCV_Epoch date;  // reference time as a UTC date
};

// The SBAS ephemeris message body as received, with the full week.
struct SBAS_Ephemeris {
    uint8_t SV;
    uint8_t byte1;
    uint8_t IOD;
    uint8_t URA;
    uint32_t t0;
    double pos[3];
    float vel[3];
    float acc[3];
    float aGf0, aGf1;
    uint32_t tx_time;
    uint16_t week;  // transmitted + 2048
    uint16_t word70;
};

extern std::vector<GPS_Ephemeris> GPS_Eph, QZSS_Eph;
extern std::vector<GAL_Ephemeris> GAL_Eph;
extern std::vector<BDS_Ephemeris> BDS_Eph;
extern std::vector<NavIC_Ephemeris> NavIC_Eph;
extern std::vector<GLO_Ephemeris> GLO_Eph;
extern std::vector<SBAS_Ephemeris> SBAS_Eph;
extern int32_t GPS_SV_index, QZSS_SV_index, GAL_SV_index, BDS_SV_index, NavIC_SV_index, GLO_SV_index,
    SBAS_SV_index;

// The repeat index of an ephemeris store, by StoreId (the ephemeris
// stores lead it): the positions of the store's records hashed by the key
// of its repeat test, so that a new record is tested against all earlier
// ones in constant time. It follows from the store alone: it is rebuilt
// when the store's records have moved.
struct Repeat_index {
    std::vector<int32_t> slot;  // position + 1 of a record, by hash; 0: free slot
    int32_t indexed;            // records 0..indexed-1 of the store are in it
};
constexpr int EPH_STORES = STORE_SBAS_EPH + 1;
extern Repeat_index Eph_repeat[EPH_STORES];

// ------------------------------------------- ionosphere and time systems

struct Iono_Par {
    uint32_t tot;  // BeiDou only
    float alpha[4];
    float beta[4];
    Epoch_ms received;      // reception time (Epoch_reading when the record was kept); dates the record
    std::string hour_mark;  // "A".."X", BeiDou only
    uint32_t SV;            // BeiDou only
};

struct UTC_Par {
    double A0;
    float A1;
    float A2;  // never set
    uint32_t tot;
    uint16_t WNt;
    int8_t dtLS;
    uint8_t DN;
    uint16_t WNlsf;
    int8_t dtLSF;
    RCV_Epoch date;
    Epoch_ms received;  // reception time (Epoch_reading when the record was kept)
};

struct UTC_GGTO_Par : UTC_Par {
    float a0G, a1G;
    uint32_t t0G;
    uint16_t WN0G;
};

struct UTC_SBAS_Par {
    double A0;
    float A1;
    uint32_t tot;
    uint16_t WNt;
    int8_t dtLS;
    uint8_t DN;
    uint16_t WNlsf;
    int8_t dtLSF;
    double date[7];
    uint8_t b23;
    uint32_t w24;
    uint16_t w28;
    uint8_t b30;
};

// "NU" bytes 0-19 as received, then the reception time of the last
// message, which also dates the record.
struct GLO_Time_Parameters {
    double corr0;  // tau_c: GLONASS time to UTC(SU), s
    float corr1;   // tau_GPS: GLONASS to GPS time, s
    uint8_t rest[8];
    bool has_message;  // a time message has come; without one the record stays zero
    Epoch_ms received;
};

// Records of the stores at start-up.
constexpr int IONO_STORE_SIZE = 1000;
constexpr int UTC_STORE_SIZE = 100;

extern std::vector<Iono_Par> Iono_GPS, Iono_QZSS, Iono_BDS, Iono_NavIC;
extern int32_t GPS_ION_Par_n, QZSS_ION_Par_n, BDS_ION_Par_n, NavIC_ION_Par_n;

extern std::vector<UTC_Par> GPS_UTC_Par, QZSS_UTC_Par, BDS_UTC_Par, NavIC_UTC_Par;
extern std::vector<UTC_GGTO_Par> GAL_UTC_Par;
extern std::vector<UTC_SBAS_Par> SBAS_UTC_Par;
extern GLO_Time_Parameters GLO_Time_Par;
extern int32_t GPS_UTC_Par_n, QZSS_UTC_Par_n, BDS_UTC_Par_n, NavIC_UTC_Par_n, GAL_UTC_Par_n,
    SBAS_UTC_Par_n;

// ---------------------------------------------------------------- reset

// Every store of the converter back to its start-up value: configuration,
// header strings and flags, dates, code tables, satellite tables and
// lists, navigation stores, raw message records. Runs once before main;
// a test calls it for a fresh run.
void reset_stores();
