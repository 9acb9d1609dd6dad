// Per-satellite epoch records and the per-constellation tables that hold
// one epoch of observations, plus the per-band satellite inventory that the
// first pass builds and the observation header prints.
#pragma once

#include <cstdint>

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

// Records written since their table was last cleared, one bit per record
// (no table holds more than 64). Whatever writes a record marks it; the
// per-epoch clears empty only the marked records, as the others are still
// in the state clear_SV leaves (that clear runs for every record at every
// epoch of both passes and was a tenth of a conversion). Every bit starts
// set, so the first clear empties each record whatever it held.
extern uint64_t GPS_SVs_written, GLO_SVs_written, GAL_SVs_written, QZSS_SVs_written, BDS_SVs_written,
    NavIC_SVs_written, SBAS_SVs_written, GLCDMA_SVs_written;
inline void mark_written(uint64_t& written, int k) { written |= uint64_t{1} << k; }
// clear_SV for the marked records among the first n; their marks are dropped.
void clear_written(SV_data* table, int n, uint64_t& written);
// The marks of one of the eight tables above; nullptr for any other array.
uint64_t* written_marks_of(const SV_data* table);

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

// Satellites per [system][signal group], rows 0..6 in system-index order.
extern uint32_t SAT_NUM_SYS[14][12];

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

// Per-system record counters of the observation decoders: the index of the
// record that the next "SX" entry of that system will use.
extern int32_t GPS_SAT_NUM, GLO_SAT_NUM, GAL_SAT_NUM, QZSS_SAT_NUM, BDS_SAT_NUM, NAVIC_SAT_NUM,
    SBAS_SAT_NUM, GLCDMA_SAT_NUM;

// Satellites with data in the current epoch, and the largest count so far.
extern int nSAt_current;
extern int nSAt_max;
