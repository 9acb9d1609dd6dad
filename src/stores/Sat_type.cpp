// Storage of the satellite tables and satellite lists, and SV_data::clear_SV.
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

uint64_t GPS_SVs_written = ~uint64_t{0}, GLO_SVs_written = ~uint64_t{0}, GAL_SVs_written = ~uint64_t{0},
         QZSS_SVs_written = ~uint64_t{0}, BDS_SVs_written = ~uint64_t{0}, NavIC_SVs_written = ~uint64_t{0},
         SBAS_SVs_written = ~uint64_t{0}, GLCDMA_SVs_written = ~uint64_t{0};

uint64_t* written_marks_of(const SV_data* table) {
    if (table == GPS_SVs) return &GPS_SVs_written;
    if (table == GLO_SVs) return &GLO_SVs_written;
    if (table == GAL_SVs) return &GAL_SVs_written;
    if (table == QZSS_SVs) return &QZSS_SVs_written;
    if (table == BDS_SVs) return &BDS_SVs_written;
    if (table == NavIC_SVs) return &NavIC_SVs_written;
    if (table == SBAS_SVs) return &SBAS_SVs_written;
    if (table == GLCDMA_SVs) return &GLCDMA_SVs_written;
    return nullptr;
}

void clear_written(SV_data* table, int n, uint64_t& written) {
    for (int k = 0; k < n && k < 64; ++k)
        if (written & (uint64_t{1} << k)) table[k].clear_SV();
    const uint64_t cleared = n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    written &= ~cleared;
}

uint32_t GPS_SAT_NUM_SYS[7][32];
uint32_t GLO_SAT_NUM_SYS[14][32];
uint32_t GAL_SAT_NUM_SYS[7][37];
uint32_t QZSS_SAT_NUM_SYS[7][37];
uint32_t BDS_SAT_NUM_SYS[7][61];
uint32_t NavIC_SAT_NUM_SYS[7][32];
uint32_t SBAS_SAT_NUM_SYS[7][32];
uint32_t GLCDMA_SAT_NUM_SYS[7][32];

uint32_t SAT_NUM_SYS[14][12];

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
    for (int s = 0; s < SV_SLOTS; ++s) flags[s] &= ~(SLOT_HAS_DATA | SLOT_VALUES);
    rcv_time = 0;
    doppler_base = 0;
}
