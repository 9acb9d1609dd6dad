// Observation decoding at each epoch close. Every observation message of
// the epoch sits in its raw record; item i of each belongs to entry i of the
// "SX" satellite list. All decoders share one walk over those items: the
// walk finds the system of the entry, applies the decoder's gates, picks the
// satellite's record by its rank among the entries of its system, claims it
// and hands the item to the decoder's conversion. A decoder is one row of
// the table below (its record, item type, slot and per-system gates), not a
// loop of its own.
#include "decode/Decode_OBS.h"

#include <iostream>
#include <string>

#include "decode/le_read.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

constexpr double SPEED_OF_LIGHT = 299792458.0;  // m/s
constexpr double BAND_BIAS = 2e-7;              // s, added to every band code range
constexpr double DIFF_SCALE = 1e-11;            // s per unit of a 16-bit code difference
constexpr double PHASE_UNIT = 0x1p-40;           // s per unit of a phase item
constexpr double DOPPLER_UNIT = 1e-4;           // Hz per unit of the Doppler items
constexpr double SNR_UNIT = 0.25;               // dB-Hz per unit of a strength item

// Systems in the order of the systems table (SAT_SYSTEM).
enum Sys { GPS = SYS_GPS, GLO = SYS_GLO, GAL = SYS_GAL, QZS = SYS_QZSS, BDS = SYS_BDS, NAV = SYS_NAVIC,
           SBS = SYS_SBAS, GLC = SYS_GLCDMA, NSYS = SAT_SYSTEMS };

// The constants of a system's code ranges and Doppler base.
struct CodeScale {
    double scale, offset;       // seconds per unit and offset of the 32-bit code items
    double ref_base, ref_step;  // carrier of the Doppler base, MHz: ref_step * channel + ref_base
};

//                                   GPS, GLONASS, Galileo, QZSS, BeiDou, NavIC, SBAS, GLONASS code division
const CodeScale code_scale[NSYS] = {{1e-11, 0.075, 1575.42, 0},  {1e-11, 0.075, 1602, 0.5625},
                                    {2e-11, 0.085, 1575.42, 0},  {2e-11, 0.125, 1575.42, 0},
                                    {2e-11, 0.105, 1561.098, 0}, {2e-11, 0.105, 1575.42, 0},
                                    {1e-11, 0.125, 1575.42, 0},  {1e-11, 0.075, 1600.995, 0}};

// "SX" system code to system index, for every byte (-1 names no system),
// looked up once per item of every walk.
struct SysOfCodeTable {
    int8_t v[256];
    constexpr SysOfCodeTable() : v() {
        for (int c = 0; c < 256; ++c) v[c] = -1;
        for (int s = 0; s < NSYS; ++s) v[SAT_SYSTEM[s].sx_code] = static_cast<int8_t>(s);
    }
    constexpr int operator[](uint8_t c) const { return v[c]; }
};
constexpr SysOfCodeTable SYS_OF_CODE;

// What a decoder does with a message item.
enum Kind : uint8_t {
    K_FLAG,        // signal flag: bit 0x40 marks the slot; the signal inventory in the first pass
    K_RX,          // receive-time reference and C/A code range; no claim
    K_RC,          // C/A code range
    K_BAND_RANGE,  // band code range from a 16-bit difference to the reference
    K_DX,          // Doppler base; no claim
    K_DC,          // full C/A Doppler
    K_DOPPLER,     // band Doppler from a 16-bit difference to the base
    K_PHASE,       // carrier phase relative to the receive-time reference
    K_SNR,         // signal strength and its RINEX digit
};

// How an item is stored in its raw record.
enum Item : uint8_t { I_S32, I_S16, I_U8, I_FLAG };

// Gate bits of a system in a decoder row. A system without H is not
// handled; a closed S, V40 or V401 gate skips the entry without advancing
// the system's counter.
enum : uint8_t {
    H = 1,      // handled
    S = 2,      // only while the system's switch is on
    V40 = 4,    // only while Rinex_Ver >= 4.0
    V401 = 8,   // only while Rinex_Ver == 4.01
    CLAIM = 16, // the switch is tested only when the record is free
};
constexpr uint8_t NO = 0, YES = H, SW = H | S, SW40 = H | S | V40, SW401 = H | S | V401, Y40 = H | V40,
                  Y401 = H | V401;

// Carrier of a band, step * channel + base (GLONASS frequency division
// alone has a step): MHz in the Doppler rows, Hz in the phase rows; and the
// phase correction in cycles. A phase row with base 0 claims the record but
// stores no phase.
struct Band {
    double base = 0, step = 0;
    float shift = 0;
};

struct ObsRow {
    const unsigned char* rec;
    Item item;
    int count_at;  // position of the item count; -1: the entry count of "SX"
    Kind kind;
    int slot;
    uint8_t gate[NSYS];  // GPS GLO GAL QZS BDS NAV SBS GLC
    Band band[NSYS] = {};
    // Line printed when a record of the system belongs to another satellite.
    const char* mismatch[NSYS] = {};
};

int32_t read_item(const ObsRow& r, int i) {
    switch (r.item) {
        case I_S32: return rd_i32(r.rec, 4 * i);
        case I_S16: return rd_i16(r.rec, 2 * i);
        case I_U8: return rd_u8(r.rec, i);
        case I_FLAG: return rd_u16(r.rec, 4 * i);  // low two bytes of the 4-byte slot
    }
    return 0;
}

// ------------------------------------------------------ signal inventory

// RINEX code suffixes per system and band (flag slot 0..5); nullptr: the
// band registers no codes for that system. BeiDou band 2 follows its own
// rule (register_signal).
const char* const code_suffix[NSYS][6] = {
    {"1C", "1W", "2W", "2X", "5X", "1X"},           // GPS
    {"1C", "1P", "2P", "2C", "3X", nullptr},        // GLONASS
    {"1X", "8X", "7X", "6X", "5X", nullptr},        // Galileo
    {"1C", "1W", "6Z", "2X", "5X", "1X"},           // QZSS
    {"2I", "8X", nullptr, "6I", "5X", "1X"},        // BeiDou
    {"9A", nullptr, nullptr, nullptr, "5A", "1X"},  // NavIC
    {"1C", nullptr, nullptr, nullptr, "5I", nullptr},  // SBAS
    {"4X", nullptr, nullptr, "6X", "3X", nullptr},  // GLONASS code division
};

// Stores the C, L, D and S codes of one signal at codes[first..first+3]
// unless the set is already registered (the first flagged satellite fixes
// it; the texts never differ between satellites).
void set_codes(std::string* codes, int first, const char* suffix) {
    if (!codes[first].empty()) return;
    static const char letters[4] = {'C', 'L', 'D', 'S'};
    for (int j = 0; j < 4; ++j) {
        codes[first + j] = letters[j];
        codes[first + j] += suffix;
    }
}

// Appends a satellite to a packed band list unless it is there already; a
// full list drops it.
void list_add(uint32_t* row, int scan, uint32_t num) {
    if (num == 0) return;
    for (int j = 0; j < scan; ++j) {
        if (row[j] == num) return;
        if (row[j] == 0) {
            row[j] = num;
            return;
        }
    }
}

bool list_has_room(const uint32_t* row, int scan) {
    for (int j = 0; j < scan; ++j)
        if (row[j] == 0) return true;
    return false;
}

// First pass: a satellite flagged in band `slot` registers the band's codes
// and enters the band's satellite list.
void register_signal(int sys, int slot, const SV_data& R) {
    const Sat_system& si = SAT_SYSTEM[sys];
    std::string* codes = si.codes;
    uint32_t* row = si.bands + slot * si.band_stride;
    const uint32_t n = R.SV_num;
    // GLONASS satellites are listed by orbital slot (0 until "NN" gave one).
    const uint32_t listed = sys == GLO ? R.glo_slot : n;
    const char* suffix = code_suffix[sys][slot];

    if (sys == BDS) {
        const bool geo_igso = n >= 6 && n <= 58;  // numbers 6..58
        switch (slot) {
            case 0:  // only satellites outside 6..58 register B1I
                if (!geo_igso) set_codes(codes, 0, suffix);
                break;
            case 1:  // any satellite registers, only 6..58 are listed
                set_codes(codes, 5, suffix);
                if (!geo_igso) return;
                break;
            case 2:  // B2I or B2b: three code sets by satellite number
                if (const Bds_band2_codes b2 = bds_band2_codes(n); b2.first >= 0) set_codes(codes, b2.first, b2.suffix);
                break;
            case 3:  // the fifth string names the second phase-shift set
                set_codes(codes, 15, suffix);
                if (geo_igso && codes[19].empty()) codes[19] = "L6I";
                break;
            case 4:
                set_codes(codes, 20, suffix);
                if (codes[24].empty()) codes[24] = "L5X";
                break;
            case 5:
                set_codes(codes, 25, suffix);
                if (n <= 116 && codes[29].empty()) codes[29] = "L1X";
                break;
        }
        list_add(row, si.band_used, listed);
        return;
    }
    if (suffix != nullptr) set_codes(codes, 5 * slot, suffix);
    if (sys == SBS && slot == 4 && (n == 123 || n == 136)) {
        // These two satellites print their L5 data in the group-8 columns
        // and are kept out of the band-5 list.
        if (list_has_room(row, si.band_used)) set_codes(codes, 40, "5X");
        return;
    }
    list_add(row, si.band_used, listed);
}

// ------------------------------------------------------------- the walk

// BeiDou phase correction on top of the band's shift, by satellite number.
double bds_phase_extra(int slot, uint32_t n) {
    switch (slot) {
        case 0:
        case 3: return (n >= 6 && n <= 58) ? 0.5 : 0.0;
        case 2: return (n == 9 || n == 10) ? 0.0 : 0.25;
        case 4: return (n >= 6 && n <= 18) ? 0.5 : 0.0;
        default: return 0.0;
    }
}

// Writes the item v of a claimed (or own) record.
void write_item(const ObsRow& r, int sys, SV_data& R, int32_t v) {
    switch (r.kind) {
        case K_FLAG:
            R.flags[r.slot] = (R.flags[r.slot] & ~SLOT_HAS_DATA) | (static_cast<uint32_t>(v) & SLOT_HAS_DATA);
            if (Aux_stage && (R.flags[r.slot] & SLOT_HAS_DATA)) register_signal(sys, r.slot, R);
            break;
        case K_RX: {
            const double t = v * code_scale[sys].scale + code_scale[sys].offset;
            R.rcv_time = t;
            R.code[0] = t * SPEED_OF_LIGHT;
            R.flags[0] |= SLOT_HAS_CODE;
            break;
        }
        case K_RC:
            R.code[0] = (v * code_scale[sys].scale + code_scale[sys].offset) * SPEED_OF_LIGHT;
            R.flags[0] |= SLOT_HAS_CODE;
            break;
        case K_BAND_RANGE:
            R.code[r.slot] = (v * DIFF_SCALE + BAND_BIAS + R.rcv_time) * SPEED_OF_LIGHT;
            R.flags[r.slot] |= SLOT_HAS_CODE;
            break;
        case K_DX:
            R.doppler_base = v;
            break;
        case K_DC:  // negated in 64 bits: the most negative item has no 32-bit negation
            R.doppler[0] = static_cast<double>(-static_cast<int64_t>(v)) * DOPPLER_UNIT;
            R.flags[0] |= SLOT_HAS_DOPPLER;
            break;
        case K_DOPPLER: {
            // The base refers to the system's reference carrier; scale it to the band.
            const double ch = sys == GLO ? static_cast<int32_t>(R.SV_num) : 0;
            const double f_band = r.band[sys].step * ch + r.band[sys].base;
            const double f_ref = code_scale[sys].ref_step * ch + code_scale[sys].ref_base;
            const double w = static_cast<double>(-(static_cast<int64_t>(v) + R.doppler_base));
            R.doppler[r.slot] = w * f_band / f_ref * DOPPLER_UNIT;
            R.flags[r.slot] |= SLOT_HAS_DOPPLER;
            break;
        }
        case K_PHASE: {
            const Band& b = r.band[sys];
            if (b.base == 0) break;
            const double ch = sys == GLO ? static_cast<int32_t>(R.SV_num) : 0;
            const double f = b.step * ch + b.base;
            const double extra = sys == BDS ? bds_phase_extra(r.slot, R.SV_num) : 0.0;
            R.phase[r.slot] = (v * PHASE_UNIT + R.rcv_time) * f + static_cast<double>(b.shift) + extra;
            R.phase_shift[r.slot] = static_cast<float>(static_cast<double>(b.shift) + extra);
            R.flags[r.slot] |= SLOT_HAS_PHASE;
            break;
        }
        case K_SNR: {
            const double snr = v * SNR_UNIT;
            R.snr[r.slot] = snr;
            uint32_t digit = static_cast<uint32_t>(snr / 6);  // 6 dB-Hz per step, 1..9
            R.snr_digit[r.slot] = digit < 1 ? 1 : (digit > 9 ? 9 : digit);
            R.flags[r.slot] |= SLOT_HAS_SNR;
            break;
        }
    }
}

// Whether a decoder row handles the entries of a system under the current
// switches and RINEX version.
// The number of items a row's message holds (or the entries of "SX"). A
// count after a damaged log could be anything: never beyond the record.
uint32_t item_count(const ObsRow& r) {
    const uint32_t n = rd_u32(r.count_at < 0 ? SX : r.rec, r.count_at < 0 ? SX_COUNT_AT : r.count_at);
    return n > OBS_MAX_ITEMS ? OBS_MAX_ITEMS : n;
}

bool gate_open(const ObsRow& r, int sys) {
    const uint8_t g = r.gate[sys];
    return (g & H) && !((g & S) && !*SAT_SYSTEM[sys].enabled) && !((g & V40) && !(Rinex_Ver >= 4.0)) &&
           !((g & V401) && !(Rinex_Ver == 4.01));
}

void walk(const ObsRow& r) {
    for (const Sat_system& si : SAT_SYSTEM) *si.counter = 0;
    const uint32_t n = item_count(r);
    // The gates depend only on the switches and the version, which nothing
    // changes during a walk: decided once per system, not once per item.
    bool open[NSYS];
    for (int sys = 0; sys < NSYS; ++sys) open[sys] = gate_open(r, sys);
    for (int i = 0; i < static_cast<int>(n); ++i) {
        const int sys = SYS_OF_CODE[SX[i]];
        if (sys < 0 || !open[sys]) continue;
        const uint8_t g = r.gate[sys];
        const Sat_system& si = SAT_SYSTEM[sys];

        const int k = (*si.counter)++;
        if (k >= si.capacity) continue;  // more satellites of the system than its table holds
        SV_data& R = si.table[k];
        mark_written(SV_written[sys], k);
        const int32_t v = read_item(r, i);

        if (r.kind == K_RX || r.kind == K_DX) {  // written into record k whoever holds it
            write_item(r, sys, R, v);
            continue;
        }
        // GLONASS numbers are signed frequency channels, widened with the sign.
        const uint32_t p = sys == GLO ? static_cast<uint32_t>(static_cast<int32_t>(rd_i8(SX, SX_NUM_AT + i)))
                                      : rd_u8(SX, SX_NUM_AT + i);
        if (R.SV_num == 0) {
            if ((g & CLAIM) && !*si.enabled) continue;
            R.SV_num = p;
        } else if (R.SV_num != p) {  // the record belongs to another satellite
            // Reported once per run: by the observation pass, not by the
            // first pass that decodes the same epochs for its survey.
            if (r.mismatch[sys] != nullptr && !Aux_stage) std::cout << r.mismatch[sys] << std::endl;
            continue;
        }
        write_item(r, sys, R, v);
    }
}

//                        GPS   GLO   GAL   QZS   BDS   NAV    SBS   GLC
const ObsRow row_FC = {FC, I_FLAG, -1, K_FLAG, 0, {SW, SW, SW, SW, SW, SW, SW, SW}};
const ObsRow row_F1 = {F1, I_FLAG, -1, K_FLAG, 1, {SW, SW, SW, SW, SW, NO, NO, NO}};
const ObsRow row_F2 = {F2, I_FLAG, -1, K_FLAG, 2, {SW, SW, SW, SW, SW, NO, NO, NO}};
const ObsRow row_F3 = {F3, I_FLAG, -1, K_FLAG, 3, {SW, SW, SW, SW, SW, NO, NO, SW}};
const ObsRow row_F5 = {F5, I_FLAG, -1, K_FLAG, 4, {SW, SW, SW, SW, SW, SW, SW, SW}};
const ObsRow row_Fl = {Fl, I_FLAG, -1, K_FLAG, 5, {SW, NO, NO, SW, SW, SW401, NO, NO}};

const ObsRow row_rc = {rc, I_S32, 724, K_RC, 0, {SW, SW, SW, SW, SW, SW, SW, SW}};
const ObsRow row_rx = {rx, I_S32, -1, K_RX, 0, {SW, SW, SW, SW, SW, SW, SW, SW}};
const ObsRow row_1r = {one_r, I_S16, 364, K_BAND_RANGE, 1, {SW, SW, SW, SW, SW, NO, NO, SW40}};
const ObsRow row_2r = {two_r, I_S16, 364, K_BAND_RANGE, 2, {YES, YES, YES, YES, YES, Y40, NO, SW40}};
const ObsRow row_3r = {three_r, I_S16, 364, K_BAND_RANGE, 3, {YES, YES, YES, YES, YES, NO, NO, SW}};
const ObsRow row_5r = {five_r, I_S16, 364, K_BAND_RANGE, 4, {YES, YES, YES, YES, YES, YES, YES, SW}};
const ObsRow row_lr = {l_r, I_S16, 364, K_BAND_RANGE, 5, {YES, Y40, NO, YES, YES, Y401, NO, SW40}};

// Doppler rows: band carriers in MHz. QZSS is decoded alike for every
// RINEX version: 3.05 defines each QZSS code that these rows fill.
const ObsRow row_DX = {DX, I_S32, 724, K_DX, 0, {YES, YES, YES, YES, YES, YES, YES, YES}};
const ObsRow row_DC = {DC, I_S32, 724, K_DC, 0, {YES, YES, YES, YES, YES, YES, YES, YES}, {},
                       {nullptr, "----->>> Error glo dc"}};
const ObsRow row_0d = {zero_d, I_S16, 364, K_DOPPLER, 0, {YES, YES, YES, YES, YES, YES, YES, SW},
                       {{1575.42}, {1602, 0.5625}, {1575.42}, {1575.42}, {1561.098}, {2492.028}, {1575.42},
                        {1600.995}}};
const ObsRow row_1d = {one_d, I_S16, 364, K_DOPPLER, 1, {YES, YES, YES, YES, YES, Y40, NO, NO},
                       {{1575.42}, {1602, 0.5625}, {1191.795}, {1575.42}, {1191.795}, {2492.028}},
                       {nullptr, nullptr, nullptr, "----->>> Error qzss 1d"}};
const ObsRow row_2d = {two_d, I_S16, 364, K_DOPPLER, 2, {YES, YES, YES, YES, YES, NO, NO, NO},
                       {{1227.60}, {1246, 0.4375}, {1207.14}, {1278.75}, {1207.14}},
                       {nullptr, nullptr, nullptr, "----->>> Error qzss 2d"}};
const ObsRow row_3d = {three_d, I_S16, 364, K_DOPPLER, 3, {YES, YES, YES, YES, YES, NO, NO, YES},
                       {{1227.60}, {1246, 0.4375}, {1278.75}, {1227.60}, {1268.52}, {}, {}, {1248.06}},
                       {nullptr, nullptr, nullptr, "----->>> Error qzss 3d"}};
const ObsRow row_5d = {five_d, I_S16, 364, K_DOPPLER, 4, {YES, YES, YES, YES, YES, YES, YES, YES},
                       {{1176.45}, {1202.025}, {1176.45}, {1176.45}, {1176.45}, {1176.45}, {1176.45},
                        {1202.025}},
                       {nullptr, nullptr, nullptr, "----->>> Error qzss 5d"}};
const ObsRow row_ld = {l_d, I_S16, 364, K_DOPPLER, 5, {YES, NO, NO, YES, YES, Y401, NO, NO},
                       {{1575.42}, {}, {}, {1575.42}, {1575.42}, {1575.42}},
                       {nullptr, nullptr, nullptr, "----->>>  qzss dLError"}};

// Phase rows: carriers in Hz and the correction in cycles. GLONASS band l
// is claimed from RINEX 4.00 on but has no carrier here: no phase is stored.
const ObsRow row_cp = {cp, I_S32, 724, K_PHASE, 0, {YES, YES, YES, YES, YES, YES, YES, YES},
                       {{1575.42e6, 0, 0}, {1602e6, 562500, 0}, {1575.42e6, 0, 0.5f}, {1575.42e6, 0, 0},
                        {1561.098e6, 0, 0}, {2492.028e6, 0, 0}, {1575.42e6, 0, 0}, {1600.995e6, 0, 0}}};
const ObsRow row_1p = {one_p, I_S32, 724, K_PHASE, 1, {YES, YES, YES, YES, YES, NO, NO, NO},
                       {{1575.42e6, 0, -0.25f}, {1602e6, 562500, -0.25f}, {1191.795e6, 0, 0.25f},
                        {1575.42e6, 0, 0}, {1191.795e6, 0, 0.25f}}};
const ObsRow row_2p = {two_p, I_S32, 724, K_PHASE, 2, {YES, YES, YES, YES, YES, Y40, NO, NO},
                       {{1227.6e6, 0, 0}, {1246e6, 437500, 0.25f}, {1207.14e6, 0, 0.25f}, {1278.75e6, 0, 0},
                        {1207.14e6, 0, 0}, {2492.028e6, 0, 0}}};
const ObsRow row_3p = {three_p, I_S32, 724, K_PHASE, 3, {YES, YES, YES, YES, YES, Y40, NO, YES},
                       {{1227.6e6, 0, 0.25f}, {1246e6, 437500, 0}, {1278.75e6, 0, 0.5f}, {1227.6e6, 0, 0.25f},
                        {1268.52e6, 0, 0}, {2492.028e6, 0, 0}, {}, {1248.06e6, 0, 0}}};
const ObsRow row_5p = {five_p, I_S32, 724, K_PHASE, 4, {YES, YES, YES, YES, YES, YES, YES, YES},
                       {{1176.45e6, 0, 0.25f}, {1202.025e6, 0, 0.25f}, {1176.45e6, 0, 0.25f},
                        {1176.45e6, 0, 0.25f}, {1176.45e6, 0, 0.25f}, {1176.45e6, 0, 0}, {1176.45e6, 0, 0.25f},
                        {1202.025e6, 0, 0}}};
const ObsRow row_lp = {l_p, I_S32, 724, K_PHASE, 5, {YES, Y40, NO, YES, YES, Y401, NO, NO},
                       {{1575.42e6, 0, -0.25f}, {}, {}, {1575.42e6, 0, -0.25f}, {1575.42e6, 0, 0},
                        {1575.42e6, 0, 0}}};

// Strength rows. GPS and QZSS C/A test their switch only when the record is free.
constexpr uint8_t SWC = H | CLAIM;
const ObsRow row_CE = {CE, I_U8, 184, K_SNR, 0, {SWC, SW, SW, SWC, SW, SW, YES, SW}};
const ObsRow row_1E = {one_E, I_U8, 184, K_SNR, 1, {SW, SW, SW, SW, SW, NO, NO, NO}};
const ObsRow row_2E = {two_E, I_U8, 184, K_SNR, 2, {SW, SW, SW, SW, SW, NO, NO, NO}};
const ObsRow row_3E = {three_E, I_U8, 184, K_SNR, 3, {SW, SW, SW, SW, SW, NO, NO, SW}};
const ObsRow row_5E = {five_E, I_U8, 184, K_SNR, 4, {SW, SW, SW, SW, SW, SW, SW, SW}};
const ObsRow row_lE = {l_E, I_U8, 184, K_SNR, 5, {SW, NO, NO, SW, SW, SW401, NO, NO}};

// Number of non-empty strings of a code table; BeiDou leaves out the fifth
// strings of groups 0..5, which name phase-shift sets, not codes.
int32_t count_codes(const std::string* codes, bool skip_fifth) {
    int32_t c = 0;
    for (int j = 0; j < OBS_TYPES; ++j) {
        if (skip_fifth && j < 30 && j % 5 == 4) continue;
        if (!codes[j].empty()) ++c;
    }
    return c;
}

}  // namespace

void decode_FC() { walk(row_FC); }
void decode_F1() { walk(row_F1); }
void decode_F2() { walk(row_F2); }
void decode_F3() { walk(row_F3); }
void decode_F5() { walk(row_F5); }
void decode_Fl() { walk(row_Fl); }

void decode_rc() { walk(row_rc); }
void decode_rx() { walk(row_rx); }
void decode_1r() { walk(row_1r); }
void decode_2r() { walk(row_2r); }
void decode_3r() { walk(row_3r); }
void decode_5r() { walk(row_5r); }
void decode_lr() { walk(row_lr); }

void decode_DX() { walk(row_DX); }
void decode_DC() { walk(row_DC); }
void decode_0d() { walk(row_0d); }
void decode_1d() { walk(row_1d); }
void decode_2d() { walk(row_2d); }
void decode_3d() { walk(row_3d); }
void decode_5d() { walk(row_5d); }
void decode_ld() { walk(row_ld); }

void decode_cp() { walk(row_cp); }
void decode_1p() { walk(row_1p); }
void decode_2p() { walk(row_2p); }
void decode_3p() { walk(row_3p); }
void decode_5p() { walk(row_5p); }
void decode_lp() { walk(row_lp); }

void decode_CE() { walk(row_CE); }
void decode_1E() { walk(row_1E); }
void decode_2E() { walk(row_2E); }
void decode_3E() { walk(row_3E); }
void decode_5E() { walk(row_5E); }
void decode_lE() { walk(row_lE); }

void decode_signal_flags() {
    decode_FC();
    decode_F1();
    decode_F2();
    decode_F3();
    decode_F5();
    decode_Fl();
}

void decode_observation_values() {
    decode_rc();
    decode_rx();
    decode_1r();
    decode_2r();
    decode_3r();
    decode_5r();
    decode_lr();

    decode_DX();
    decode_DC();
    decode_0d();
    decode_1d();
    decode_2d();
    decode_3d();
    decode_5d();
    decode_ld();

    decode_cp();
    decode_1p();
    decode_2p();
    decode_3p();
    decode_5p();
    decode_lp();

    decode_CE();
    decode_1E();
    decode_2E();
    decode_3E();
    decode_5E();
    decode_lE();
}

void decode_OBS() {
    decode_signal_flags();
    decode_observation_values();

    // GLONASS: band 1 is printed with the P phase, Doppler and strength
    // codes; of band 3 only the C/A strength code survives.
    if (!GLO_OBS_Arr[5].empty()) {
        GLO_OBS_Arr[6] = "L1P";
        GLO_OBS_Arr[7] = "D1P";
        GLO_OBS_Arr[8] = "S1P";
    }
    if (GLO_OBS_Arr[18] != "S2C") GLO_OBS_Arr[18].clear();

    for (int s = 0; s < RINEX_SYSTEMS; ++s) SYS_OBS_NUM[s] = count_codes(SAT_SYSTEM[s].codes, s == SYS_BDS);
}
