// Ordering of the satellite tables and satellite lists for output, and the
// fold of the GLONASS code-division signals into the GLONASS tables.
#include "rinex_obs/Sat_type.h"

#include <cstdint>
#include <utility>

#include "stores/VLX_objects.h"

void sortSatelliteBlock(SV_data* table, int count, bool bySlot) {
    auto key = [bySlot](const SV_data& r) {
        return static_cast<int32_t>(bySlot ? r.glo_slot : r.SV_num);
    };
    // An empty record (key 0) never moves, so it splits the table into runs
    // that are each ordered by key, equal keys keeping their order (what a
    // bubble sort of adjacent non-empty records gives). Insertion by
    // adjacent swaps gives that same order and takes one comparison per
    // record when a run is ordered already, as it usually is.
    uint64_t* written = written_marks_of(table);
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0; --j) {
            const int32_t a = key(table[j - 1]);
            const int32_t b = key(table[j]);
            if (a == 0 || b == 0 || a <= b) break;
            std::swap(table[j - 1], table[j]);
            if (written != nullptr && j < 64) *written |= uint64_t{3} << (j - 1);
        }
}

void sort_SV_arr() {
    for (const Sat_system& s : SAT_SYSTEM) sortSatelliteBlock(s.table, s.records, s.by_slot);
}

namespace {

// Ordering of the first m entries of a satellite-number row; zero entries
// stay where they are.
// Same order as the satellite tables: runs between zeros, by insertion.
void sort_row(uint32_t* row, int m) {
    for (int i = 1; i < m; ++i)
        for (int j = i; j > 0; --j) {
            const int32_t a = static_cast<int32_t>(row[j - 1]);
            const int32_t b = static_cast<int32_t>(row[j]);
            if (a == 0 || b == 0 || a <= b) break;
            std::swap(row[j - 1], row[j]);
        }
}

}  // namespace

void sort_SV_num() {
    for (const Sat_system& s : SAT_SYSTEM)
        if (s.band_sorted)
            for (int r = 0; r < 6; ++r) sort_row(s.bands + r * s.band_stride, s.band_used);
}

namespace {

// Which code-division signal group lands in which GLONASS group; the
// slots of SV_data follow the same numbering.
struct GloCdmaFold {
    int glo_group;
    int cdma_group;
};
constexpr GloCdmaFold GLO_CDMA_FOLD[3] = {{4, 4}, {5, 0}, {7, 3}};

// A code-division group holds something when the signal inventory gave it
// a code, that is when some code-division satellite has the signal.
bool cdma_group_holds(int g) {
    for (int e = 0; e < 5; ++e)
        if (!GLCDMA_OBS_Arr[5 * g + e].empty()) return true;
    return false;
}

}  // namespace

void fold_GLCDMA_observations() {
    // A code-division record belongs to the GLONASS record whose slot is
    // the low byte of its satellite number read as a signed 8-bit value;
    // when several match, the last one wins. A slot equals such a value
    // only when it is 0..127, so the last record of each low byte is all
    // that is needed (this runs on every message of the pass).
    int last_of_byte[128];
    for (int& j : last_of_byte) j = -1;
    for (int j = 0; j < GLCDMA_FOLDED_RECORDS; ++j) {
        const uint32_t b = GLCDMA_SVs[j].SV_num & 0xFF;
        if (b < 128) last_of_byte[b] = j;
    }
    for (int i = 0; i < GLO_SV_MAX; ++i) {
        SV_data& g = GLO_SVs[i];
        if (g.glo_slot >= 128 || last_of_byte[g.glo_slot] < 0) continue;
        const SV_data& c = GLCDMA_SVs[last_of_byte[g.glo_slot]];
        for (const GloCdmaFold& f : GLO_CDMA_FOLD) {
            const int t = f.glo_group, s = f.cdma_group;
            // Only a group that the code-division record holds data in:
            // an empty one would erase the satellite's frequency-division
            // values of that group. Where both hold, code division wins.
            if (!slot_holds_data(c, s)) continue;
            mark_written(SV_written[SYS_GLO], i);
            copy_slot_values(g, t, c, s);
            constexpr uint32_t carried = SLOT_HAS_DATA | SLOT_VALUES;
            g.flags[t] = (g.flags[t] & ~carried) | (c.flags[s] & carried);
        }
    }
}

void add_GLCDMAtoGLO() {
    // Only the groups that hold something are folded: an empty one would
    // erase the frequency-division codes and satellites that the GLONASS
    // group holds (band 5 shares its group).
    for (const GloCdmaFold& f : GLO_CDMA_FOLD) {
        if (!cdma_group_holds(f.cdma_group)) continue;
        for (int e = 0; e < 5; ++e) GLO_OBS_Arr[5 * f.glo_group + e] = GLCDMA_OBS_Arr[5 * f.cdma_group + e];
        for (int k = 0; k < 32; ++k) GLO_SAT_NUM_SYS[f.glo_group][k] = GLCDMA_SAT_NUM_SYS[f.cdma_group][k];
    }
    fold_GLCDMA_observations();
    int n = 0;
    for (int e = 0; e < OBS_TYPES; ++e)
        if (!GLO_OBS_Arr[e].empty()) ++n;
    SYS_OBS_NUM[SYS_GLO] = n;
}
