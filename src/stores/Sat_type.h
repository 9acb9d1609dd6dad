// Per-satellite epoch records and the per-constellation tables that hold
// one epoch of observations, plus the per-band satellite inventory that the
// first pass builds and the observation header prints.
#pragma once

#include <cstdint>
#include <string>

#include "stores/VLX_objects.h"

// Signal slots of an SV_data record: 0 C/A, 1 band 1, 2 band 2, 3 band 3,
// 4 band 5, 5 band l; slots 6..10 receive GLONASS code-division copies and
// are otherwise unused.
constexpr int SV_SLOTS = 11;
constexpr uint32_t SLOT_HAS_DATA = 0x40;  // flag-word bit: the slot holds data this epoch
// Flag-word bits that the value decoders set: which of the slot's four
// values this epoch decoded. A value that was not decoded is written as a
// blank field, not as a zero.
constexpr uint32_t SLOT_HAS_CODE = 0x100;
constexpr uint32_t SLOT_HAS_PHASE = 0x200;
constexpr uint32_t SLOT_HAS_DOPPLER = 0x400;
constexpr uint32_t SLOT_HAS_SNR = 0x800;
constexpr uint32_t SLOT_VALUES = SLOT_HAS_CODE | SLOT_HAS_PHASE | SLOT_HAS_DOPPLER | SLOT_HAS_SNR;

// One satellite's observations in the current epoch. A plain record with
// no heap parts: it is copied, swapped and cleared many times per epoch.
struct SV_data {
    // Satellite number from the epoch's "SX" list; for GLONASS the signed
    // frequency channel (sign-extended), 0 = entry empty.
    uint32_t SV_num;
    // Observation-code names per slot group (6 groups of C, L, D, S and a
    // fifth name), as short fixed texts. No decoder fills them and nothing
    // prints them (the writers take their codes from the code tables); they
    // travel with the entry and clear_SV keeps them.
    char OBS_code[30][4];
    long double code[SV_SLOTS];    // pseudorange, metres
    double doppler[SV_SLOTS];      // Hz
    long double phase[SV_SLOTS];   // cycles
    double snr[SV_SLOTS];          // dB-Hz
    uint32_t snr_digit[SV_SLOTS];  // RINEX signal-strength indicator 1..9; 0: no strength this epoch
    uint32_t spare[SV_SLOTS];      // never set by a decoder; copied with its slot
    double rcv_time;               // receive-time reference of the code measurements, s
    int32_t doppler_base;          // Doppler base, 1e-4 Hz on the system's reference carrier
    uint32_t glo_slot;             // GLONASS orbital slot: the key of GLONASS entries
    uint32_t flags[SV_SLOTS];      // bit 0x40: slot holds data; SLOT_VALUES: values decoded; other bits carried along
    float phase_shift[SV_SLOTS];   // correction in cycles that the phase decoder added to the slot's phase

    // Empties the entry for the next epoch; keeps the code names, the
    // spare words and the GLONASS slot.
    void clear_SV();
};

// A slot holds data when it is flagged and one of its values is non-zero
// (a NaN counts as non-zero).
inline bool slot_values_zero(const SV_data& r, int s) {
    return r.code[s] == 0 && r.phase[s] == 0 && r.doppler[s] == 0 && r.snr[s] == 0;
}
inline bool slot_holds_data(const SV_data& r, int s) {
    return (r.flags[s] & SLOT_HAS_DATA) && !slot_values_zero(r, s);
}
// Copies the values of slot `from` of one record into slot `to` of another
// (the flag word is the caller's: merging and folding carry different bits).
inline void copy_slot_values(SV_data& dst, int to, const SV_data& src, int from) {
    dst.code[to] = src.code[from];
    dst.phase[to] = src.phase[from];
    dst.doppler[to] = src.doppler[from];
    dst.snr[to] = src.snr[from];
    dst.snr_digit[to] = src.snr_digit[from];
    dst.phase_shift[to] = src.phase_shift[from];
}

// Satellite tables; the entry index is the satellite's rank among its
// constellation's entries of the epoch's "SX" list.
constexpr int GPS_SV_MAX = 32;
constexpr int GLO_SV_MAX = 32;
constexpr int GAL_SV_MAX = 37;
constexpr int QZSS_SV_MAX = 37;
constexpr int BDS_SV_MAX = 61;
constexpr int NavIC_SV_MAX = 37;
constexpr int SBAS_SV_MAX = 37;
constexpr int GLCDMA_SV_MAX = 37;

extern SV_data GPS_SVs[GPS_SV_MAX];
extern SV_data GLO_SVs[GLO_SV_MAX];
extern SV_data GAL_SVs[GAL_SV_MAX];
extern SV_data QZSS_SVs[QZSS_SV_MAX];
extern SV_data BDS_SVs[BDS_SV_MAX];
extern SV_data NavIC_SVs[NavIC_SV_MAX];
extern SV_data SBAS_SVs[SBAS_SV_MAX];
extern SV_data GLCDMA_SVs[GLCDMA_SV_MAX];

// Per-band satellite lists (rows 0..5 one per band, row 6 unused); GLONASS
// has 14 rows, the rows above 6 receive the code-division lists. 0 ends a
// packed row.
extern uint32_t GPS_SAT_NUM_SYS[7][32];
extern uint32_t GLO_SAT_NUM_SYS[14][32];
extern uint32_t GAL_SAT_NUM_SYS[7][37];
extern uint32_t QZSS_SAT_NUM_SYS[7][37];
extern uint32_t BDS_SAT_NUM_SYS[7][61];
extern uint32_t NavIC_SAT_NUM_SYS[7][32];
extern uint32_t SBAS_SAT_NUM_SYS[7][32];
extern uint32_t GLCDMA_SAT_NUM_SYS[7][32];

// Per-system record counters of the observation decoders: the index of the
// record that the next "SX" entry of that system will use.
extern int32_t GPS_SAT_NUM, GLO_SAT_NUM, GAL_SAT_NUM, QZSS_SAT_NUM, BDS_SAT_NUM, NAVIC_SAT_NUM,
    SBAS_SAT_NUM, GLCDMA_SAT_NUM;

// ------------------------------------------------------ the systems

// System index of the table below: the SatSys order (SYS_GPS .. SYS_SBAS,
// the systems with satellite lines of their own), then GLONASS code
// division, whose records are folded into the GLONASS lines.
constexpr int SYS_GLCDMA = 7;
constexpr int RINEX_SYSTEMS = 7;  // systems 0..6: a letter, lines and header entries of their own
constexpr int SAT_SYSTEMS = 8;

// System code of an "SX" entry as the observation decoders read it. Any
// other value names no system: the entry is skipped, its item position is
// still consumed.
enum SX_SysId : uint8_t {
    SX_GPS = 1,
    SX_GLO = 2,  // GLONASS frequency division: the number byte is the signed channel
    SX_SBAS = 3,
    SX_GAL = 4,
    SX_QZSS = 5,
    SX_BDS = 6,
    SX_NAVIC = 7,
    SX_GLCDMA = 9,  // GLONASS code division
};

// Everything the per-system loops need to know of one system. Where the
// passes and writers take different extents of one table, each extent is
// a field of its own: they do not agree, and the output depends on each.
// The records written since the last clear are SV_written[index] (run
// state, below).
struct Sat_system {
    char letter;            // RINEX letter of its satellite lines; 0: none (folded into GLONASS)
    uint8_t sx_code;        // system code of its entries in the "SX" list
    bool* enabled;          // enable switch; the command line clears it
    const char* option;     // command-line switch that clears it
    int* listed;            // 1 while the last "SX" list names the system; nullptr: not reported
    SV_data* table;         // satellite table
    int capacity;           // its records: the decoders claim none beyond, the first pass empties all
    int32_t* counter;       // record counter of the observation decoders, and the "SX" count
    int records;            // records ordered at each epoch, and read by the epoch record and the survey
    int cleared;            // records the observation pass empties after each epoch
    bool by_slot;           // ordered and keyed by the GLONASS slot instead of the satellite number
    uint32_t key_first;     // lowest satellite number (GLONASS: slot) that is a satellite key
    uint32_t key_last;      // highest one; below key_first: no keys (no lines of its own)
    uint32_t key_base;      // subtracted for the key printed after the letter (J01 is 193)
    std::string* codes;     // observation-code table (OBS_Type_Table)
    int line_groups;        // code groups a satellite line may hold (BeiDou: its own column groups, 0)
    const bool* extended;   // switch that admits code groups above 4; nullptr: always admitted
    uint32_t* bands;        // band lists (Band_Sat_List): row r at bands + r * band_stride
    int band_rows;          // rows of the band lists
    int band_stride;        // entries a row holds
    int band_used;          // entries of a row that are filled and ordered; a satellite beyond is dropped
    bool band_sorted;       // rows 0..5 are ordered once the first pass has filled them
};

// The records of the code-division table that its fold into GLONASS
// reads (beyond the 30 that are ordered and written).
constexpr int GLCDMA_FOLDED_RECORDS = 32;
// The leading records of every table that the receiver-name message
// empties.
constexpr int RECEIVER_NAME_CLEARED = 30;

inline constexpr Sat_system SAT_SYSTEM[SAT_SYSTEMS] = {
    // letter, "SX" code, switch, option, listed, table, capacity, counter,
    // records, cleared, by slot, keys, codes, groups, extended,
    // band lists, rows, stride, used, sorted
    {'G', SX_GPS, &Enable_GPS, "-G", &gps_sys, GPS_SVs, GPS_SV_MAX, &GPS_SAT_NUM,
     32, 32, false, 1, 99, 0, GPS_OBS_Arr, 6, nullptr,
     &GPS_SAT_NUM_SYS[0][0], 7, 32, 32, true},
    {'R', SX_GLO, &Enable_GLO, "-R", &glo_sys, GLO_SVs, GLO_SV_MAX, &GLO_SAT_NUM,
     32, 32, true, 1, 99, 0, GLO_OBS_Arr, 8, &Enable_GLCDMA,
     &GLO_SAT_NUM_SYS[0][0], 14, 32, 32, true},
    {'E', SX_GAL, &Enable_GAL, "-E", &gal_sys, GAL_SVs, GAL_SV_MAX, &GAL_SAT_NUM,
     37, 37, false, 1, 99, 0, GAL_OBS_Arr, 5, nullptr,
     &GAL_SAT_NUM_SYS[0][0], 7, 37, 32, true},
    // QZSS: 37 records, 30 of them ordered, written and emptied; band rows
    // of 37 entries, 32 of them used. J01..J30 are the numbers 193..222.
    {'J', SX_QZSS, &Enable_QZSS, "-J", &qzss_sys, QZSS_SVs, QZSS_SV_MAX, &QZSS_SAT_NUM,
     30, 30, false, 193, 222, 192, QZSS_OBS_Arr, 6, nullptr,
     &QZSS_SAT_NUM_SYS[0][0], 7, 37, 32, true},
    {'C', SX_BDS, &Enable_BDS, "-C", &bds_sys, BDS_SVs, BDS_SV_MAX, &BDS_SAT_NUM,
     61, 61, false, 1, 63, 0, BDS_OBS_Arr, 0, nullptr,
     &BDS_SAT_NUM_SYS[0][0], 7, 61, 61, true},
    {'I', SX_NAVIC, &Enable_NavIC, "-I", &navic_sys, NavIC_SVs, NavIC_SV_MAX, &NAVIC_SAT_NUM,
     30, 30, false, 1, 99, 0, NAVIC_OBS_Arr, 7, nullptr,
     &NavIC_SAT_NUM_SYS[0][0], 7, 32, 32, true},
    // SBAS: S01..S58 are the numbers 101..158; its band lists stay unordered.
    {'S', SX_SBAS, &Enable_SBAS, "-S", &sbas_sys, SBAS_SVs, SBAS_SV_MAX, &SBAS_SAT_NUM,
     30, 30, false, 101, 158, 100, SBAS_OBS_Arr, 9, nullptr,
     &SBAS_SAT_NUM_SYS[0][0], 7, 32, 32, false},
    // GLONASS code division: 30 records ordered, GLCDMA_FOLDED_RECORDS
    // folded, all emptied after each epoch; no lines of its own.
    {0, SX_GLCDMA, &Enable_GLCDMA, "-GC", nullptr, GLCDMA_SVs, GLCDMA_SV_MAX, &GLCDMA_SAT_NUM,
     30, GLCDMA_SV_MAX, false, 1, 0, 0, GLCDMA_OBS_Arr, 0, nullptr,
     &GLCDMA_SAT_NUM_SYS[0][0], 7, 32, 32, false},
};

// The system of a RINEX letter; nullptr for any other letter.
const Sat_system* system_of_letter(char letter);

// BeiDou band 2: which of three code sets a satellite's band-2 observations
// stand under. The BeiDou-2 satellites C01-C16 broadcast B2I; the BeiDou-3
// ones B2b, the geostationary C59-C63 under the data codes and C17-C58
// under the data+pilot codes. The first pass registers the set by this
// rule and the epoch record prints the data under it, so the header and
// the records always agree.
struct Bds_band2_codes {
    int first;           // index of its code-range code in BDS_OBS_Arr, C, L, D, S following; -1: none
    const char* suffix;  // band and attribute of its four codes
};
inline constexpr Bds_band2_codes BDS_B2I_CODES = {10, "7I"};       // code group 2
inline constexpr Bds_band2_codes BDS_B2B_DATA_CODES = {30, "7D"};  // past the 6 code groups
inline constexpr Bds_band2_codes BDS_B2B_DP_CODES = {34, "7Z"};
// The set of satellite `sv`; first = -1 for a number that is no BeiDou
// satellite. (A value, not a pointer: the record writer builds its column
// table from it at compile time.)
constexpr Bds_band2_codes bds_band2_codes(uint32_t sv) {
    if (sv >= 1 && sv <= 16) return BDS_B2I_CODES;
    if (sv >= 17 && sv <= 58) return BDS_B2B_DP_CODES;
    if (sv >= 59 && sv <= 63) return BDS_B2B_DATA_CODES;
    return {-1, nullptr};
}

// The key that identifies a record's satellite within its system, as
// printed after the letter; 0 when the record stands for no satellite.
inline uint32_t satellite_key(const SV_data& r, const Sat_system& s) {
    const uint32_t n = s.by_slot ? r.glo_slot : r.SV_num;
    return n >= s.key_first && n <= s.key_last ? n - s.key_base : 0;
}

// Records written since their table was last cleared, one bit per record
// (no table holds more than 64), by system index. Whatever writes a record
// marks it; the clears empty only the marked records, as the others are
// still in the state clear_SV leaves (that clear runs for every record at
// every epoch of both passes and was a tenth of a conversion). Every bit
// starts set, so the first clear empties each record whatever it held.
extern uint64_t SV_written[SAT_SYSTEMS];
inline void mark_written(uint64_t& written, int k) { written |= uint64_t{1} << k; }
// clear_SV for the marked records among the first n; their marks are dropped.
void clear_written(SV_data* table, int n, uint64_t& written);
// The marks of one of the satellite tables; nullptr for any other array.
uint64_t* written_marks_of(const SV_data* table);

// How much of every satellite table a clear empties.
enum Table_clear {
    CLEAR_WHOLE,    // every record (`capacity`): the first pass, after each epoch
    CLEAR_EPOCH,    // the records the observation pass uses (`cleared`), after each epoch
    CLEAR_LEADING,  // the leading RECEIVER_NAME_CLEARED: the receiver-name message
};
// Empties the satellite tables for the next epoch.
void clear_satellite_tables(Table_clear extent);
// The satellite tables, band lists, counters, survey and counts as at
// start-up (part of reset_stores).
void reset_satellite_tables();

// What the observation file stores, as the first pass finds it in the
// epochs that the file keeps (for the RINEX 3.05 header). Satellites are
// by system (system-index order) and by the key printed after the letter
// (1..99); a column is one observation group of the satellite lines (the
// code group, for BeiDou the column group).
constexpr int OBS_SAT_KEYS = 100;
constexpr int OBS_COLUMNS = 12;
// Per satellite, one bit per column in which some epoch holds its data.
extern uint16_t SAT_COLUMNS_STORED[7][OBS_SAT_KEYS];
// Per column, the phase corrections that its printed phases carry, each
// with the satellites whose phases carry it. The phase decoders add at
// most two corrections to one column; four leave room.
constexpr int PHASE_SETS_PER_COLUMN = 4;
struct Phase_set {
    bool used;
    float shift;       // cycles
    uint64_t sats[2];  // bit k: the satellite of key k
};
extern Phase_set PHASE_SETS[7][OBS_COLUMNS][PHASE_SETS_PER_COLUMN];
// Starts the survey afresh.
void clear_stored_survey();
// Notes a column of a satellite that holds data, and the correction of
// its phase when it has one (has_phase).
void note_stored_column(int sys, uint32_t key, int column, bool has_phase, float shift);

// The satellite lines of the last epoch record, counted by the epoch
// record writer alone; and the largest count so far, which the RINEX 3.05
// "# OF SATELLITES" line starts from the first pass's survey.
extern int nSAt_current;
extern int nSAt_max;
