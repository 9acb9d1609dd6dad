// Observation header writers.
#include "rinex_obs/Rin_hwriter.h"

#include <string>
#include <utility>

#include "decode/Decode_func.h"
#include "rinex_common/Rinex_format.h"
#include "rinex_common/Rinex_header.h"
#include "rinex_obs/Rin_ODF_Data_record.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"

namespace {

// Writes a line that is complete as it stands, then flushes: the header is
// small and a flushed header survives a run that stops later.
void put_whole(std::ofstream& obs, std::string& line, const char* label) {
    put_header_line(obs, line, label);
    obs.flush();
}

// A code entry that holds no code: empty, or only blanks, tabs and line ends.
bool is_blank_code(const std::string& s) { return s.find_first_not_of(" \t\r\n") == std::string::npos; }

// Whether the header lists the observation types of system s: its switch
// is on and it has codes.
bool system_listed(int s) { return s >= 0 && s < RINEX_SYSTEMS && *SAT_SYSTEM[s].enabled && SYS_OBS_NUM[s] >= 1; }

// The system field of the first line: the letter of the one system whose
// observation types the file lists, "M" when it lists several. (The last
// satellite list before the header may show fewer systems than the file
// holds.) A file that lists none keeps the marker of that satellite list.
std::string file_system_marker() {
    int listed = 0, last = -1;
    for (int s = 0; s < RINEX_SYSTEMS; ++s)
        if (system_listed(s)) {
            ++listed;
            last = s;
        }
    if (listed == 0) return SYS_MARKER;
    return listed == 1 ? SatSys[last] : "M";
}

// Time-system names of a receiver date, by its seventh field.
const char* const TIME_SYSTEM_NAME[4] = {"GPS", "UTC_USNO", "GLONASS", "UTC_SU"};

int add_obs_time(std::ofstream& obs, const RCV_Epoch& d, const char* label) {
    std::string line;
    for (int f = EP_YEAR; f <= EP_MIN; ++f) fmt_fixed(line, static_cast<double>(d.v[f]), 6, 0);
    fmt_second(line, d.v[EP_SEC], 13);
    // A code outside the table names no time system: the field stays blank.
    const float code = d.v[EP_SYS];
    const int ts = (code >= 0.0f && code < 4.0f) ? static_cast<int>(code) : -1;
    fmt_right(line, ts >= 0 ? TIME_SYSTEM_NAME[ts] : "", 8);
    put_whole(obs, line, label);
    return 1;
}

}  // namespace

void Add_OBS_File_heading(std::ofstream& obs, float& interval) {
    LEAP_flag = false;
    // The header is written once; a later call adds nothing (and so no
    // second LEAP SECONDS line).
    if (END_flag) return;
    if (!header_flag) header_flag = Add_OBSheading(obs);
    if (!SYS_OBS_flag) SYS_OBS_flag = Add_avail_OBS(obs);
    if (Enable_GLO) {
        if (!GLO_SLOT_flag) GLO_SLOT_flag = Add_glo_slot(obs);
        if (!GLO_COD_flag) GLO_COD_flag = Add_glo_cod(obs);
    }
    // INTERVAL is optional: an interval of 0 is no interval (a log of one
    // epoch shows none, and none was requested), and the line is left out.
    if (!INT_flag) {
        if (interval > 0.0f) {
            std::string line;
            fmt_fixed(line, static_cast<double>(interval), 10, 3);
            put_whole(obs, line, "INTERVAL");
        }
        INT_flag = true;
    }
    if (!FOBS_flag) FOBS_flag = Add_first_obs(obs);
    if (!LOBS_flag) LOBS_flag = Add_last_obs(obs);
    if (!LEAP_flag) LEAP_flag = Add_leap_sec(obs);
    if (Rinex_Ver < 4.0) {
        if (!PHASE_SHFT_flag) PHASE_SHFT_flag = Add_sys_phase(obs);
        if (!OF_SAT_flag) OF_SAT_flag = Add_of_sat(obs);
    } else {
        PHASE_SHFT_flag = true;
        OF_SAT_flag = true;
    }
    if (!END_flag) {
        Add_end_of_header_line(obs);
        obs.flush();
        END_flag = true;
    }
}

int Add_OBSheading(std::ofstream& obs) {
    Add_version_type(obs, "OBSERVATION DATA", file_system_marker());
    Add_pgm_run_by_date(obs);
    obs.flush();

    // Text fields are cut to their widths: a longer text would push the
    // label out of column 61 and spoil the line for every reader.
    std::string line;
    fmt_left_cut(line, OBSERVER, 20);
    fmt_left_cut(line, AGENCY, 40);
    put_whole(obs, line, "OBSERVER / AGENCY");

    line.clear();
    fmt_left_cut(line, RCV_NAME, 60);
    put_whole(obs, line, "MARKER NAME");

    line.clear();
    fmt_left_cut(line, RCV_ID, 20);
    fmt_left_cut(line, RCV_IGS, 20);
    fmt_left_cut(line, FW_VER, 20);
    put_whole(obs, line, "REC # / TYPE / VERS");

    line.clear();
    fmt_fixed(line, APPR_POS_X, 14, 4);
    fmt_fixed(line, APPR_POS_Y, 14, 4);
    fmt_fixed(line, APPR_POS_Z, 14, 4);
    put_whole(obs, line, "APPROX POSITION XYZ");

    line.clear();
    fmt_left_cut(line, ANT_NUM, 20);
    fmt_left_cut(line, ANT_Type, 40);
    put_whole(obs, line, "ANT # / TYPE");

    line.clear();
    fmt_fixed(line, Ant_delt_H, 14, 4);
    fmt_fixed(line, Ant_delt_E, 14, 4);
    fmt_fixed(line, Ant_delt_N, 14, 4);
    put_whole(obs, line, "ANTENNA: DELTA H/E/N");
    return 1;
}

int Add_avail_OBS(std::ofstream& obs) {
    constexpr int PER_LINE = 13;
    constexpr int MAX_LINES = 3;
    for (int s = 0; s < RINEX_SYSTEMS; ++s) {
        if (!system_listed(s)) continue;
        const std::string* table = SAT_SYSTEM[s].codes;
        const int wanted = SYS_OBS_NUM[s] < PER_LINE * MAX_LINES ? SYS_OBS_NUM[s] : PER_LINE * MAX_LINES;
        // The codes in table order; BeiDou's fifth strings of groups 0..5
        // name phase-shift sets, not observations.
        const std::string* codes[PER_LINE * MAX_LINES];
        int n = 0;
        for (int e = 0; e < OBS_TYPES && n < wanted; ++e) {
            if (is_blank_code(table[e])) continue;
            if (s == SYS_BDS && e < 30 && e % 5 == 4) continue;
            codes[n++] = &table[e];
        }
        std::string line;
        fmt_left(line, SatSys[s], 3);
        fmt_int(line, SYS_OBS_NUM[s], 3);
        int c = 0;
        do {
            if (c > 0) {
                line.clear();
                fmt_blanks(line, 6);
            }
            for (int k = 0; k < PER_LINE && c < n; ++k, ++c) fmt_right(line, *codes[c], 4);
            put_whole(obs, line, "SYS / # / OBS TYPES");
        } while (c < n);
    }
    return 1;
}

int Add_first_obs(std::ofstream& obs) { return add_obs_time(obs, RCV_date, "TIME OF FIRST OBS"); }

// The last epoch record that the file holds, as the first pass found it;
// the time-system code is that of the last receiver date.
int Add_last_obs(std::ofstream& obs) {
    RCV_Epoch last = RCV_date_last;
    epoch_fields(Epoch_last_obs, last);
    return add_obs_time(obs, last, "TIME OF LAST OBS");
}

int Add_of_sat(std::ofstream& obs) {
    // A satellite counts once, under its key, when some printed column of
    // its line holds data in a kept epoch; GLONASS code-division data are
    // folded into the GLONASS satellite of the same slot.
    int n = 0;
    for (int s = 0; s < RINEX_SYSTEMS; ++s) {
        const uint32_t printed = printed_columns(s);
        for (int k = 1; k < OBS_SAT_KEYS && printed != 0; ++k)
            if (SAT_COLUMNS_STORED[s][k] & printed) ++n;
    }
    nSAt_max = n;
    std::string line;
    fmt_int(line, nSAt_max, 6);
    put_whole(obs, line, "# OF SATELLITES");
    return 1;
}

// ===================================================================
// GLONASS header lines
// ===================================================================

namespace {

constexpr int GLO_PAIRS = 32;       // pairs 0..31: channel at j, slot at 60 + j
constexpr int GLO_SLOT_BASE = 60;
constexpr int GLO_PAIR_COUNT = 59;  // element holding the number of pairs

// " R01 -4": letter, slot (zero-filled), frequency channel.
void glo_slot_entry(std::string& line, int32_t slot, int32_t freq) {
    fmt_right(line, SatSys[SYS_GLO], 2);
    fmt_int0(line, slot, 2);
    fmt_int(line, freq, 3);
}

}  // namespace

int Add_glo_slot(std::ofstream& obs) {
    int32_t* const a = GLO_SLOT_ARR;
    a[GLO_PAIR_COUNT] = 0;
    // Bubble sort by slot; a free pair (slot 0) never moves.
    for (int pass = 0; pass < GLO_PAIRS; ++pass)
        for (int i = 0; i + 1 < GLO_PAIRS; ++i) {
            int32_t& s0 = a[GLO_SLOT_BASE + i];
            int32_t& s1 = a[GLO_SLOT_BASE + i + 1];
            if (s0 != 0 && s1 != 0 && s0 > s1) {
                std::swap(s0, s1);
                std::swap(a[i], a[i + 1]);
            }
        }
    // The listed pairs: every used pair, in order. Only pairs 0..31 exist.
    int listed[GLO_PAIRS];
    int n = 0;
    for (int i = 0; i < GLO_PAIRS; ++i)
        if (a[GLO_SLOT_BASE + i] != 0) listed[n++] = i;
    a[GLO_PAIR_COUNT] = n;

    constexpr int PER_LINE = 8;
    std::string line;
    fmt_int(line, n, 3);
    int c = 0;
    do {
        if (c > 0) {
            line.clear();
            fmt_blanks(line, 3);
        }
        for (int k = 0; k < PER_LINE && c < n; ++k, ++c)
            glo_slot_entry(line, a[GLO_SLOT_BASE + listed[c]], a[listed[c]]);
        put_whole(obs, line, "GLONASS SLOT / FRQ #");
    } while (c < n);
    return 1;
}

int Add_glo_cod(std::ofstream& obs) {
    std::string line;
    for (int e = 0; e <= 15; e += 5) {
        if (GLO_OBS_Arr[e].empty()) continue;
        fmt_right(line, GLO_OBS_Arr[e], 4);
        fmt_fixed(line, 0.0, 9, 3);  // the receiver applies no code-phase bias
    }
    put_whole(obs, line, "GLONASS COD/PHS/BIS");
    return 1;
}

// ===================================================================
// Phase shift header lines
// ===================================================================

namespace {

constexpr int PHASE_SATS_PER_LINE = 10;

// The SYS / PHASE SHIFT lines of one phase set: the head line with up to
// ten satellites, then continuation lines of ten until every satellite of
// the set is listed, so that the count and the list agree. Satellites are
// given by the key printed after the letter in the records.
void put_phase_lines(std::ofstream& obs, int s, const std::string& code, double correction, const uint32_t* sats,
                     int nsats) {
    std::string line;
    fmt_left(line, SatSys[s], 2);
    fmt_left(line, code, 4);
    fmt_fixed(line, correction, 8, 5);
    fmt_blanks(line, 2);
    fmt_int0(line, nsats, 2);
    int c = 0;
    do {
        if (c > 0) {
            line.clear();
            fmt_blanks(line, 18);
        }
        for (int k = 0; k < PHASE_SATS_PER_LINE && c < nsats; ++k, ++c) {
            fmt_right(line, SatSys[s], 2);
            fmt_int0(line, sats[c], 2);
        }
        put_whole(obs, line, "SYS / PHASE SHIFT");
    } while (c < nsats);
}

}  // namespace

int Add_sys_phase(std::ofstream& obs) {
    for (int s = 0; s < RINEX_SYSTEMS; ++s) {
        if (!system_listed(s)) continue;
        // Columns in the order of the observation codes, each correction
        // of a column on its own line, the smaller first.
        for (int c = 0; c < OBS_COLUMNS; ++c) {
            const std::string* code = printed_phase_code(s, c);
            if (code == nullptr) continue;
            const Phase_set* sets[PHASE_SETS_PER_COLUMN];
            int nsets = 0;
            for (const Phase_set& p : PHASE_SETS[s][c]) {
                if (!p.used) continue;
                int at = nsets++;
                for (; at > 0 && sets[at - 1]->shift > p.shift; --at) sets[at] = sets[at - 1];
                sets[at] = &p;
            }
            for (int i = 0; i < nsets; ++i) {
                uint32_t sats[OBS_SAT_KEYS];
                int n = 0;
                for (uint32_t k = 1; k < OBS_SAT_KEYS; ++k)
                    if (sets[i]->sats[k / 64] & (uint64_t{1} << (k % 64))) sats[n++] = k;
                put_phase_lines(obs, s, *code, static_cast<double>(sets[i]->shift), sats, n);
            }
        }
    }
    return 1;
}
