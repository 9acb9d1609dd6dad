// Storage of the satellite tables and satellite lists, their clears and
// their start-up state, and SV_data::clear_SV.
#include "stores/Sat_type.h"

#include <cstring>

SV_data GPS_SVs[GPS_SV_MAX];
SV_data GLO_SVs[GLO_SV_MAX];
SV_data GAL_SVs[GAL_SV_MAX];
SV_data QZSS_SVs[QZSS_SV_MAX];
SV_data BDS_SVs[BDS_SV_MAX];
SV_data NavIC_SVs[NavIC_SV_MAX];
SV_data SBAS_SVs[SBAS_SV_MAX];
SV_data GLCDMA_SVs[GLCDMA_SV_MAX];

uint64_t SV_written[SAT_SYSTEMS];

namespace {

constexpr bool same_text(const char* a, const char* b) {
    for (; *a != 0 && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// What the code that iterates the systems table takes for granted: every
// extent lies within its table (and within the 64 written marks) or its
// band rows, and no two systems share a letter, a list code or a
// command-line switch.
constexpr bool systems_table_consistent() {
    for (int i = 0; i < SAT_SYSTEMS; ++i) {
        const Sat_system& s = SAT_SYSTEM[i];
        if (s.capacity > 64 || s.records > s.capacity || s.cleared > s.capacity ||
            RECEIVER_NAME_CLEARED > s.capacity || s.band_used > s.band_stride || s.band_rows < 6)
            return false;
        if ((i < RINEX_SYSTEMS) != (s.letter != 0)) return false;
        for (int j = 0; j < i; ++j) {
            const Sat_system& t = SAT_SYSTEM[j];
            if (t.sx_code == s.sx_code || (s.letter != 0 && t.letter == s.letter) || same_text(t.option, s.option))
                return false;
        }
    }
    return GLCDMA_FOLDED_RECORDS <= SAT_SYSTEM[SYS_GLCDMA].capacity;
}
static_assert(systems_table_consistent(), "an extent of the systems table beyond its table, or two systems alike");

}  // namespace

const Sat_system* system_of_letter(char letter) {
    for (const Sat_system& s : SAT_SYSTEM)
        if (s.letter != 0 && s.letter == letter) return &s;
    return nullptr;
}

uint64_t* written_marks_of(const SV_data* table) {
    for (int s = 0; s < SAT_SYSTEMS; ++s)
        if (SAT_SYSTEM[s].table == table) return &SV_written[s];
    return nullptr;
}

void clear_written(SV_data* table, int n, uint64_t& written) {
    for (int k = 0; k < n && k < 64; ++k)
        if (written & (uint64_t{1} << k)) table[k].clear_SV();
    const uint64_t cleared = n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    written &= ~cleared;
}

void clear_satellite_tables(Table_clear extent) {
    for (int s = 0; s < SAT_SYSTEMS; ++s) {
        const Sat_system& x = SAT_SYSTEM[s];
        const int n = extent == CLEAR_WHOLE ? x.capacity : extent == CLEAR_EPOCH ? x.cleared : RECEIVER_NAME_CLEARED;
        clear_written(x.table, n < x.capacity ? n : x.capacity, SV_written[s]);
    }
}

uint32_t GPS_SAT_NUM_SYS[7][32];
uint32_t GLO_SAT_NUM_SYS[14][32];
uint32_t GAL_SAT_NUM_SYS[7][37];
uint32_t QZSS_SAT_NUM_SYS[7][37];
uint32_t BDS_SAT_NUM_SYS[7][61];
uint32_t NavIC_SAT_NUM_SYS[7][32];
uint32_t SBAS_SAT_NUM_SYS[7][32];
uint32_t GLCDMA_SAT_NUM_SYS[7][32];

uint16_t SAT_COLUMNS_STORED[7][OBS_SAT_KEYS];
Phase_set PHASE_SETS[7][OBS_COLUMNS][PHASE_SETS_PER_COLUMN];

void clear_stored_survey() {
    std::memset(SAT_COLUMNS_STORED, 0, sizeof SAT_COLUMNS_STORED);
    std::memset(PHASE_SETS, 0, sizeof PHASE_SETS);
}

void note_stored_column(int sys, uint32_t key, int column, bool has_phase, float shift) {
    if (sys < 0 || sys >= 7 || key == 0 || key >= OBS_SAT_KEYS || column < 0 || column >= OBS_COLUMNS) return;
    SAT_COLUMNS_STORED[sys][key] |= static_cast<uint16_t>(1u << column);
    if (!has_phase) return;
    Phase_set* sets = PHASE_SETS[sys][column];
    for (int k = 0; k < PHASE_SETS_PER_COLUMN; ++k) {
        Phase_set& p = sets[k];
        if (p.used && p.shift != shift) continue;
        p.used = true;
        p.shift = shift;
        p.sats[key / 64] |= uint64_t{1} << (key % 64);
        return;
    }
    // A fifth correction in one column: no decoder adds one; dropped.
}

int32_t GPS_SAT_NUM, GLO_SAT_NUM, GAL_SAT_NUM, QZSS_SAT_NUM, BDS_SAT_NUM, NAVIC_SAT_NUM, SBAS_SAT_NUM,
    GLCDMA_SAT_NUM;

int nSAt_current;
int nSAt_max;

// Runs for every record of every table at each epoch of both passes:
// whole arrays are zeroed at once (all-zero bytes are +0 for double and
// long double alike).
void SV_data::clear_SV() {
    SV_num = 0;
    std::memset(code, 0, sizeof code);
    std::memset(doppler, 0, sizeof doppler);
    std::memset(phase, 0, sizeof phase);
    std::memset(snr, 0, sizeof snr);
    // The digit belongs to this epoch's strength: a record that passes to
    // another satellite must not show the previous one's digit.
    std::memset(snr_digit, 0, sizeof snr_digit);
    std::memset(phase_shift, 0, sizeof phase_shift);
    for (int s = 0; s < SV_SLOTS; ++s) flags[s] &= ~(SLOT_HAS_DATA | SLOT_VALUES);
    rcv_time = 0;
    doppler_base = 0;
}

void reset_satellite_tables() {
    for (int s = 0; s < SAT_SYSTEMS; ++s) {
        const Sat_system& x = SAT_SYSTEM[s];
        for (int k = 0; k < x.capacity; ++k) x.table[k] = SV_data{};
        // Every record counts as written: the first clear empties it
        // whatever it holds. Fuzzing builds (AFL++) leave the records
        // unmarked: they are empty already, and the first clear of every
        // input's process would otherwise copy every page of the tables.
#ifdef __AFL_HAVE_MANUAL_CONTROL
        SV_written[s] = 0;
#else
        SV_written[s] = ~uint64_t{0};
#endif
        *x.counter = 0;
        for (int e = 0; e < x.band_rows * x.band_stride; ++e) x.bands[e] = 0;
    }
    clear_stored_survey();
    nSAt_current = nSAt_max = 0;
}
