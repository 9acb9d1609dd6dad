// Observation epoch records: the epoch line and the satellite lines of each
// constellation, and the selection and merging of a satellite's records.
#include "rinex_obs/Rin_ODF_Data_record.h"

#include <cstdint>

#include "rinex_common/Rinex_format.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"

// ===================================================================
// Satellite keys, merging and output tests
// ===================================================================

namespace {

// SBAS satellites 123 and 136 deliver band 5 under code group 8; every
// other SBAS satellite under group 4. The data stand in slot 4 for all.
constexpr int SBAS_L5_GROUP = 4;
constexpr int SBAS_ALT_L5_GROUP = 8;
bool sbas_alt_l5(uint32_t sv) { return sv == 123 || sv == 136; }

// The data slot shown under code group s of a block, or -1 when the group
// shows blanks for this satellite.
int data_slot(const SV_data& r, char letter, int s) {
    if (letter != 'S') return s;
    if (s == SBAS_L5_GROUP) return sbas_alt_l5(r.SV_num) ? -1 : SBAS_L5_GROUP;
    if (s == SBAS_ALT_L5_GROUP) return sbas_alt_l5(r.SV_num) ? SBAS_L5_GROUP : -1;
    return s;
}

// The code groups a block prints: code group s needs its code-range code
// (string 5s), and slots above 4 only with the extended switch.
int printed_groups(int slots) {
    const int max_groups = OBS_TYPES / 5 < SV_SLOTS ? OBS_TYPES / 5 : SV_SLOTS;
    return slots < max_groups ? slots : max_groups;
}
bool group_printed(int s, bool extendedSlots, const std::string* codes) {
    return (s < 5 || extendedSlots) && !codes[5 * s].empty();
}

// The BeiDou column groups: the code that opens the group, the data slot
// it shows and the satellites whose data it shows, one bit per satellite
// number. The three band-2 groups share slot 2, and each shows the
// satellites whose band-2 code set it is; every other group shows all.
struct BdsColumn {
    int code_index;
    int slot;
    uint64_t sats;
};
// The satellites of a column: those whose band-2 set opens at `band2`, or
// every BeiDou satellite when it is -1.
constexpr uint64_t bds_column_sats(int band2) {
    uint64_t m = 0;
    for (uint32_t sv = 1; sv < 64; ++sv) {
        const Bds_band2_codes b2 = bds_band2_codes(sv);
        if (b2.first >= 0 && (band2 < 0 || b2.first == band2)) m |= uint64_t{1} << sv;
    }
    return m;
}
constexpr uint64_t BDS_ALL = bds_column_sats(-1);
constexpr BdsColumn band2_column(const Bds_band2_codes& b2) { return {b2.first, 2, bds_column_sats(b2.first)}; }
constexpr BdsColumn BDS_COLUMNS[8] = {
    {0, 0, BDS_ALL},                   // C2I
    {5, 1, BDS_ALL},                   // C8X
    band2_column(BDS_B2I_CODES),       // C7I
    {15, 3, BDS_ALL},                  // C6I
    {20, 4, BDS_ALL},                  // C5X
    {25, 5, BDS_ALL},                  // C1X
    band2_column(BDS_B2B_DATA_CODES),  // C7D
    band2_column(BDS_B2B_DP_CODES),    // C7Z
};
bool bds_in_column(const BdsColumn& c, uint32_t sv) { return sv < 64 && ((c.sats >> sv) & 1); }

// Record `index` with the slots of its satellite's later records merged in.
SV_data merged_satellite(const SV_data* table, int index, int count, const Sat_system& sys) {
    SV_data merged = table[index];
    const uint32_t key = satellite_key(table[index], sys);
    for (int j = index + 1; j < count; ++j)
        if (satellite_key(table[j], sys) == key) mergeSatelliteData(merged, table[j]);
    return merged;
}

}  // namespace

void mergeSatelliteData(SV_data& target, const SV_data& source) {
    for (int s = 0; s < SV_SLOTS; ++s) {
        if (!(source.flags[s] & SLOT_HAS_DATA)) continue;
        const bool take = !(target.flags[s] & SLOT_HAS_DATA) ||
                          (slot_values_zero(target, s) && !slot_values_zero(source, s));
        if (!take) continue;  // a slot that holds data is never replaced
        copy_slot_values(target, s, source, s);
        target.flags[s] = source.flags[s];
    }
}

SV_data getMergedSatellite(const SV_data* table, int index, int count, char letter) {
    const Sat_system* sys = system_of_letter(letter);
    if (sys == nullptr) return table[index];  // no system: no other record of its satellite
    return merged_satellite(table, index, count, *sys);
}

bool hasOutputObservation(const SV_data& record, char letter, int slots, bool extendedSlots,
                          const std::string* codes) {
    const int groups = printed_groups(slots);
    for (int s = 0; s < groups; ++s) {
        if (!group_printed(s, extendedSlots, codes)) continue;
        const int d = data_slot(record, letter, s);
        if (d >= 0 && slot_holds_data(record, d)) return true;
    }
    return false;
}

bool hasBdsOutputObservation(const SV_data& record) {
    for (const BdsColumn& c : BDS_COLUMNS)
        if (!BDS_OBS_Arr[c.code_index].empty() && bds_in_column(c, record.SV_num) && slot_holds_data(record, c.slot))
            return true;
    return false;
}

namespace {

// The most records that a block of the systems table holds.
constexpr int most_records() {
    int n = 0;
    for (const Sat_system& s : SAT_SYSTEM) n = s.records > n ? s.records : n;
    return n;
}
constexpr int MOST_RECORDS = most_records();

// Calls `fn` with the record that stands for each satellite of a block, in
// table order: the first record of each valid key, merged with the later
// records of the same key.
template <class Fn>
void for_each_satellite(const SV_data* table, const Sat_system& sys, int records, Fn fn) {
    uint32_t keys[MOST_RECORDS];
    const int cap = static_cast<int>(sizeof keys / sizeof keys[0]);
    const int n = records < cap ? records : cap;
    // Keys are 1..99: per key its first record and its number of records
    // tell whether a record is the first of its key and has later ones.
    constexpr int KEYS = 100;
    int first[KEYS], records_of[KEYS];
    for (int k = 0; k < KEYS; ++k) records_of[k] = 0;
    for (int i = 0; i < n; ++i) {
        keys[i] = satellite_key(table[i], sys);
        const uint32_t k = keys[i];
        if (k == 0 || k >= KEYS) continue;
        if (records_of[k]++ == 0) first[k] = i;
    }
    for (int i = 0; i < n; ++i) {
        const uint32_t k = keys[i];
        if (k == 0) continue;
        if (k >= KEYS) continue;  // satellite_key never gives one; no record to stand for
        if (first[k] != i) continue;  // an earlier record stands for this satellite
        if (records_of[k] == 1)
            fn(table[i], k);  // the common case: one record per satellite, nothing to merge
        else
            fn(merged_satellite(table, i, n, sys), k);
    }
}

// Calls `emit` with the record that stands for each selected satellite of
// a block (one that has something to print), in table order. The count of
// the epoch line and the lines written both come from here, so they always
// agree.
template <class Emit>
void for_each_selected(const SV_data* table, const Sat_system& sys, int records, int slots, bool extendedSlots,
                       const std::string* codes, Emit emit) {
    const char letter = sys.letter;
    for_each_satellite(table, sys, records, [&](const SV_data& r, uint32_t key) {
        const bool shown = letter == 'C' ? hasBdsOutputObservation(r)
                                         : hasOutputObservation(r, letter, slots, extendedSlots, codes);
        if (shown) emit(r, key);
    });
}

int selected_satellites(const SV_data* table, const Sat_system& sys, int records, int slots, bool extendedSlots,
                        const std::string* codes) {
    int n = 0;
    for_each_selected(table, sys, records, slots, extendedSlots, codes, [&n](const SV_data&, uint32_t) { ++n; });
    return n;
}

}  // namespace

int countSatelliteBlock(const SV_data* table, char letter, int records, int slots, bool extendedSlots,
                        const std::string* codes) {
    const Sat_system* sys = system_of_letter(letter);
    return sys == nullptr ? 0 : selected_satellites(table, *sys, records, slots, extendedSlots, codes);
}

int countBdsSatelliteBlock(const SV_data* table, int records) {
    return countSatelliteBlock(table, 'C', records, 0, true, BDS_OBS_Arr);
}

// ===================================================================
// Epoch record
// ===================================================================

namespace {

constexpr int GROUP_WIDTH = 64;

// A zero of either sign prints as "0.000".
template <class T>
T unsigned_zero(T v) {
    return v == 0 ? T(0) : v;
}

// One observation group of 64 columns: code range F14.3, phase F14.3 with
// its blank loss-of-lock place and the strength digit, Doppler F14.3 and
// strength F14.3 with blank indicator places.
// The group laid out in place in 64 blank columns: every field right-
// adjusted in its columns. It gives the bytes of the field-by-field form
// below whenever every text fits its width and both long double values
// are doubles exactly (fmt_fixed prints those through double); otherwise
// false, and the caller takes the field-by-field form.
bool observation_group_in_place(std::string& line, const SV_data& r, int s) {
    const long double code = unsigned_zero(r.code[s]);
    const long double phase = r.phase[s];
    const double code_d = static_cast<double>(code), phase_d = static_cast<double>(phase);
    if (static_cast<long double>(code_d) != code || static_cast<long double>(phase_d) != phase) return false;
    if (r.snr_digit[s] > 9) return false;
    const size_t at = line.size();
    line.append(GROUP_WIDTH, ' ');
    char* g = &line[at];
    // columns: code 0-13, phase 14-29, blank 30, digit 31, Doppler 32-45,
    // blanks 46-48, strength 49-61, blanks 62-63
    if (fixed_into(g, 14, code_d, 3) && fixed_into(g + 14, 16, phase_d, 3) &&
        fixed_into(g + 32, 14, unsigned_zero(r.doppler[s]), 3) && fixed_into(g + 49, 13, unsigned_zero(r.snr[s]), 3)) {
        g[31] = static_cast<char>('0' + r.snr_digit[s]);
        return true;
    }
    line.resize(at);
    return false;
}

void observation_group(std::string& line, const SV_data& r, int s) {
    if (s < 0 || s >= SV_SLOTS || !slot_holds_data(r, s)) {
        fmt_blanks(line, GROUP_WIDTH);
        return;
    }
    const uint32_t decoded = r.flags[s] & SLOT_VALUES;
    if (decoded == SLOT_VALUES && observation_group_in_place(line, r, s)) return;
    // A value that no decoder gave this epoch is a blank field (and a
    // blank phase takes its indicator places with it).
    if (decoded & SLOT_HAS_CODE)
        fmt_fixed(line, unsigned_zero(r.code[s]), 14, 3);
    else
        fmt_blanks(line, 14);
    if (decoded & SLOT_HAS_PHASE) {
        fmt_fixed(line, r.phase[s], 16, 3);
        line += ' ';
        fmt_int(line, r.snr_digit[s], 1);
    } else {
        fmt_blanks(line, 18);
    }
    if (decoded & SLOT_HAS_DOPPLER)
        fmt_fixed(line, unsigned_zero(r.doppler[s]), 14, 3);
    else
        fmt_blanks(line, 14);
    fmt_blanks(line, 3);
    if (decoded & SLOT_HAS_SNR)
        fmt_fixed(line, unsigned_zero(r.snr[s]), 13, 3);
    else
        fmt_blanks(line, 13);
    fmt_blanks(line, 2);
}

void satellite_head(std::string& line, char letter, uint32_t key) {
    line += letter;
    fmt_int0(line, key, 2);
}

// The constellation block of a system in an epoch: its table entry and
// the switches as they stand.
struct Block {
    int sys;                // system index
    const Sat_system* x;    // its entry of the systems table
    bool enabled;           // its switch
    bool extendedSlots;     // code groups above 4 admitted
};

Block block_of(int sys) {
    const Sat_system& x = SAT_SYSTEM[sys];
    return {sys, &x, *x.enabled, x.extended == nullptr || *x.extended};
}

// A block is printed when its system is on and has observation codes.
bool block_printed(const Block& b) { return b.enabled && SYS_OBS_NUM[b.sys] > 0; }

// The printed blocks of an epoch, in system-index order: the order they
// are counted and written.
int epoch_blocks(Block* b) {
    int n = 0;
    for (int s = 0; s < RINEX_SYSTEMS; ++s) {
        const Block x = block_of(s);
        if (block_printed(x)) b[n++] = x;
    }
    return n;
}

// Columns of a block, whether printed or not: its code groups (BeiDou: its
// column groups), the groups above 4 only with the extended switch.
int column_count(const Block& b) {
    if (b.x->letter == 'C') return 8;
    const int groups = printed_groups(b.x->line_groups);
    return b.extendedSlots || groups < 5 ? groups : 5;
}

// The data slot that column c shows for a satellite, -1 for blanks.
int column_data_slot(const Block& b, const SV_data& r, int c) {
    if (b.x->letter != 'C') return data_slot(r, b.x->letter, c);
    return bds_in_column(BDS_COLUMNS[c], r.SV_num) ? BDS_COLUMNS[c].slot : -1;
}

// String k of column c's code group (0 the code range, 1 the phase code).
const std::string& column_code(const Block& b, int c, int k) {
    return b.x->letter == 'C' ? BDS_OBS_Arr[BDS_COLUMNS[c].code_index + k] : b.x->codes[5 * c + k];
}

// The satellite lines of a block, appended to the epoch's text; the number
// of lines. The selection is that of countSatelliteBlock.
int write_satellite_block(std::string& text, const Block& b) {
    const Sat_system& x = *b.x;
    const int columns = column_count(b);
    int lines = 0;
    for_each_selected(x.table, x, x.records, x.line_groups, b.extendedSlots, x.codes,
                      [&](const SV_data& r, uint32_t key) {
                          satellite_head(text, x.letter, key);
                          for (int c = 0; c < columns; ++c)
                              if (!column_code(b, c, 0).empty())
                                  observation_group(text, r, column_data_slot(b, r, c));
                          text += '\n';
                          ++lines;
                      });
    return lines;
}

}  // namespace

void survey_data_record() {
    for (int s = 0; s < RINEX_SYSTEMS; ++s) {
        const Block b = block_of(s);
        if (!b.enabled) continue;
        // Every column: the code tables are still growing in the first
        // pass; the header keeps the columns that the file prints.
        const int columns = column_count(b);
        for_each_satellite(b.x->table, *b.x, b.x->records, [&](const SV_data& r, uint32_t key) {
            for (int c = 0; c < columns; ++c) {
                const int d = column_data_slot(b, r, c);
                if (d < 0 || !slot_holds_data(r, d)) continue;
                note_stored_column(b.sys, key, c, (r.flags[d] & SLOT_HAS_PHASE) != 0, r.phase_shift[d]);
            }
        });
    }
}

uint32_t printed_columns(int sys) {
    if (sys < 0 || sys >= RINEX_SYSTEMS) return 0;
    const Block b = block_of(sys);
    if (!block_printed(b)) return 0;
    uint32_t mask = 0;
    for (int c = 0; c < column_count(b); ++c)
        if (!column_code(b, c, 0).empty()) mask |= 1u << c;
    return mask;
}

const std::string* printed_phase_code(int sys, int column) {
    if (!(printed_columns(sys) & (1u << column))) return nullptr;
    const std::string& code = column_code(block_of(sys), column, 1);
    return code.empty() ? nullptr : &code;
}

void Add_data_record(std::ofstream& obs, int& epochFlag) {
    Block blocks[RINEX_SYSTEMS];
    const int nblocks = epoch_blocks(blocks);

    // The whole record is built in one buffer, kept between epochs so that
    // its capacity is reused, and written with one call: a day of 1 Hz
    // data is tens of thousands of lines per hour. The satellite count of
    // the epoch line is the number of lines the blocks write, put into its
    // field once they are written (one walk of the tables per epoch).
    static std::string text;
    text.clear();
    std::string& line = text;
    line += "> ";
    fmt_fixed_left(line, static_cast<double>(RCV_date.v[EP_YEAR]), 5, 0);
    fmt_fixed0(line, static_cast<double>(RCV_date.v[EP_MONTH]), 2, 0);
    line += ' ';
    fmt_fixed0(line, static_cast<double>(RCV_date.v[EP_DAY]), 2, 0);
    line += ' ';
    fmt_fixed0(line, static_cast<double>(RCV_date.v[EP_HOUR]), 2, 0);
    line += ' ';
    fmt_fixed0(line, static_cast<double>(RCV_date.v[EP_MIN]), 2, 0);
    line += ' ';
    fmt_second(line, RCV_date.v[EP_SEC], 10);
    fmt_int(line, epochFlag, 3);
    const size_t count_at = line.size();
    fmt_blanks(line, 3);
    fmt_blanks(line, 6);
    fmt_fixed(line, RcvTimeOffset, 15, 12);
    text += '\n';

    int satellites = 0;
    for (int b = 0; b < nblocks; ++b) satellites += write_satellite_block(text, blocks[b]);
    nSAt_current = satellites;
    if (nSAt_current > nSAt_max) nSAt_max = nSAt_current;

    std::string count;  // I3; a wider count widens the line, as it always did
    fmt_int(count, nSAt_current, 3);
    text.replace(count_at, 3, count);
    obs.write(text.data(), static_cast<std::streamsize>(text.size()));
}
