// Framing of the VLX log. A message is a two-character identifier, three
// hexadecimal digits of body length L, the body (its last byte a checksum)
// and a separator; a few identifiers are followed by two bytes instead of
// one, and the fixed-layout ephemeris messages are spread over their
// records field by field. The reader never checks a checksum and never
// searches for a message start: after a damaged length the following
// bytes are read as if a message started there.
//
// No write goes beyond a record: a body whose stored part would not fit is
// cut to the record (the rest is read and dropped), so the number of bytes
// consumed from the log is always the one the framing rule gives.
//
// At the end, the epoch framer: which message opens, ends or dates an
// epoch, for both passes.
#include "decode/VLX_reader.h"

#include <cstdint>

#include "decode/le_read.h"
#include "stores/VLX_msgs.h"

namespace {

// The reader takes a few bytes at a time (an identifier, a length, one
// item of a flag list), several hundred times per epoch. Such short reads
// go byte by byte through the stream's own buffer with the unlocked getc
// (a single-threaded reader needs no stream lock), which costs no more than
// a copy; longer ones go to fread. Either way the stream's position and its
// end-of-file and error flags are the ones fread alone leaves.
constexpr size_t SHORT_READ = 16;

inline int next_byte(FILE* log) {
#if defined(_WIN32)
    return _getc_nolock(log);
#else
    return getc_unlocked(log);
#endif
}

size_t take(FILE* log, void* dst, size_t n) {
    if (n > SHORT_READ) return std::fread(dst, 1, n, log);
    unsigned char* out = static_cast<unsigned char*>(dst);
    for (size_t i = 0; i < n; ++i) {
        const int c = next_byte(log);
        if (c == EOF) return i;
        out[i] = static_cast<unsigned char>(c);
    }
    return n;
}

// Drops n bytes, as reading them into a scratch area would.
bool skip(FILE* log, size_t n) {
    unsigned char sink[512];
    while (n > 0) {
        const size_t k = n < sizeof sink ? n : sizeof sink;
        if (take(log, sink, k) != k) return false;
        n -= k;
    }
    return true;
}

// Reads n bytes into dst[0 .. cap-1], dropping whatever does not fit.
void read_cut(FILE* log, unsigned char* dst, long cap, long n) {
    if (n <= 0) return;
    long keep = n < cap ? n : cap;
    if (keep > 0 && dst != nullptr) {  // a null record has no capacity: keep is 0 then
        if (take(log, dst, static_cast<size_t>(keep)) != static_cast<size_t>(keep)) return;
    }
    const long rest = n - (keep > 0 ? keep : 0);
    if (rest > 0) skip(log, static_cast<size_t>(rest));
}

// Bytes a framing rule consumes, L + k, never fewer than none (a signed
// length field can make L negative).
long span(long L, long k) { return L + k > 0 ? L + k : 0; }

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The three length characters as one base-16 number: leading blanks and a
// sign accepted, reading stops at the first character that is not a
// hexadecimal digit (so "0x5" is 0, not 5), no digits give 0.
long read_length(FILE* log) {
    char txt[3] = {0, 0, 0};
    size_t got = take(log, txt, 3);
    size_t i = 0;
    while (i < got && (txt[i] == ' ' || txt[i] == '\t' || txt[i] == '\n' || txt[i] == '\v' ||
                       txt[i] == '\f' || txt[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < got && (txt[i] == '+' || txt[i] == '-')) negative = txt[i++] == '-';
    long v = 0;
    for (; i < got && hex_digit(txt[i]) >= 0; ++i) v = v * 16 + hex_digit(txt[i]);
    return negative ? -v : v;
}

enum Kind {
    K_UNKNOWN,
    K_ITEMS,     // item list: n = (L-1)/w items
    K_SX,        // satellite list of pairs
    K_FLAGS,     // flag list: 2-byte items in 4-byte slots
    K_WHOLE,     // L+1 bytes from position 0
    K_PLUS2,     // L+2 bytes from position 0 ("JP", "TD", ">>")
    K_MF,
    K_PM,
    K_EV,
    K_SS,
    K_SE,
    K_IU,
    K_GE,        // "GE" and "QE"
    K_CN,
    K_NE,
    K_WE,
    K_WU,
};

struct Layout {
    const char* id;
    Kind kind;
    unsigned char* rec;
    int cap;       // record capacity in bytes
    int width;     // item width (item lists)
    int max_items; // items the record holds
    int cs_at;     // checksum position (separator follows)
    int count_at;  // -1: no count
};

// Every identifier the reader knows, with its record layout.
const Layout layouts[] = {
    {"0d", K_ITEMS, zero_d, 368, 2, 180, 360, 364},  {"1d", K_ITEMS, one_d, 368, 2, 180, 360, 364},
    {"2d", K_ITEMS, two_d, 368, 2, 180, 360, 364},   {"3d", K_ITEMS, three_d, 368, 2, 180, 360, 364},
    {"5d", K_ITEMS, five_d, 368, 2, 180, 360, 364},  {"ld", K_ITEMS, l_d, 368, 2, 180, 360, 364},
    {"1r", K_ITEMS, one_r, 368, 2, 180, 360, 364},   {"2r", K_ITEMS, two_r, 368, 2, 180, 360, 364},
    {"3r", K_ITEMS, three_r, 368, 2, 180, 360, 364}, {"5r", K_ITEMS, five_r, 368, 2, 180, 360, 364},
    {"lr", K_ITEMS, l_r, 368, 2, 180, 360, 364},     {"c1", K_ITEMS, c1, 368, 2, 180, 360, 364},
    {"c2", K_ITEMS, c2, 368, 2, 180, 360, 364},      {"c3", K_ITEMS, c3, 368, 2, 180, 360, 364},
    {"c5", K_ITEMS, c5, 368, 2, 180, 360, -1},       {"cc", K_ITEMS, cc, 368, 2, 180, 360, -1},
    {"cl", K_ITEMS, cl, 368, 2, 180, 360, -1},       {"cr", K_ITEMS, cr, 368, 2, 180, 360, -1},
    {"TC", K_ITEMS, TC, 362, 2, 180, 360, -1},
    {"rx", K_ITEMS, rx, 728, 4, 180, 720, 724},      {"rc", K_ITEMS, rc, 728, 4, 180, 720, 724},
    {"cp", K_ITEMS, cp, 728, 4, 180, 720, 724},      {"1p", K_ITEMS, one_p, 728, 4, 180, 720, 724},
    {"2p", K_ITEMS, two_p, 728, 4, 180, 720, 724},   {"3p", K_ITEMS, three_p, 728, 4, 180, 720, 724},
    {"5p", K_ITEMS, five_p, 728, 4, 180, 720, 724},  {"lp", K_ITEMS, l_p, 728, 4, 180, 720, 724},
    {"DC", K_ITEMS, DC, 728, 4, 180, 720, 724},      {"DX", K_ITEMS, DX, 728, 4, 180, 720, 724},
    {"CE", K_ITEMS, CE, 188, 1, 180, 180, 184},      {"1E", K_ITEMS, one_E, 188, 1, 180, 180, 184},
    {"2E", K_ITEMS, two_E, 188, 1, 180, 180, 184},   {"3E", K_ITEMS, three_E, 188, 1, 180, 180, 184},
    {"5E", K_ITEMS, five_E, 188, 1, 180, 180, 184},  {"lE", K_ITEMS, l_E, 188, 1, 180, 180, 184},
    {"SI", K_ITEMS, SI, 188, 1, 180, 180, 184},      {"EL", K_ITEMS, EL, 182, 1, 180, 180, -1},
    {"NN", K_ITEMS, NN, 32, 1, 24, 24, 28},
    {"SX", K_SX, SX, 368, 2, 180, 360, 364},
    {"FC", K_FLAGS, FC, 1444, 2, 360, 1440, -1},     {"F1", K_FLAGS, F1, 1444, 2, 360, 1440, -1},
    {"F2", K_FLAGS, F2, 1444, 2, 360, 1440, -1},     {"F3", K_FLAGS, F3, 1444, 2, 360, 1440, -1},
    {"F5", K_FLAGS, F5, 1444, 2, 360, 1440, -1},     {"Fl", K_FLAGS, Fl, 1444, 2, 360, 1440, -1},
    {"~~", K_WHOLE, RT, 6, 0, 0, 0, -1},             {"AI", K_WHOLE, AI, 108, 0, 0, 0, -1},
    {"CA", K_WHOLE, CA, 300, 0, 0, 0, -1},           {"CU", K_WHOLE, CU, 25, 0, 0, 0, -1},
    {"CI", K_WHOLE, CI, 40, 0, 0, 0, -1},            {"DP", K_WHOLE, DP, 19, 0, 0, 0, -1},
    {"DO", K_WHOLE, DO, 18, 0, 0, 0, -1},            {"EN", K_WHOLE, EN, 150, 0, 0, 0, -1},
    {"EA", K_WHOLE, EA, 300, 0, 0, 0, -1},           {"EU", K_WHOLE, EU, 41, 0, 0, 0, -1},
    {"GA", K_WHOLE, GE, 184, 0, 0, 0, -1},           {"IA", K_WHOLE, IA, 300, 0, 0, 0, -1},
    {"UO", K_WHOLE, UO, 25, 0, 0, 0, -1},            {"IO", K_WHOLE, IO, 40, 0, 0, 0, -1},
    {"II", K_WHOLE, II, 40, 0, 0, 0, -1},            {"IE", K_WHOLE, IE, 425, 0, 0, 0, -1},
    {"NA", K_WHOLE, NA, 300, 0, 0, 0, -1},           {"NU", K_WHOLE, NU, 28, 0, 0, 0, -1},
    {"PV", K_WHOLE, PV, 47, 0, 0, 0, -1},            {"QU", K_WHOLE, QU, 25, 0, 0, 0, -1},
    {"QI", K_WHOLE, QI, 40, 0, 0, 0, -1},            {"RD", K_WHOLE, RD, 7, 0, 0, 0, -1},
    {"ST", K_WHOLE, ST, 7, 0, 0, 0, -1},             {"TO", K_WHOLE, TO, 18, 0, 0, 0, -1},
    {"WA", K_WHOLE, WA, 300, 0, 0, 0, -1},
    {"IU", K_IU, IU, 25, 0, 0, 0, -1},
    {"JP", K_PLUS2, JP, 87, 0, 0, 0, -1},            {"TD", K_PLUS2, TD, 300, 0, 0, 0, -1},
    {">>", K_PLUS2, buf, SCRATCH_SIZE, 0, 0, 0, -1},
    {"MF", K_MF, MF, 16, 0, 0, 0, -1},               {"PM", K_PM, PM, 4108, 0, 0, 0, -1},
    {"==", K_EV, EV, 107, 0, 0, 0, -1},              {"SS", K_SS, SS, 183, 0, 0, 0, -1},
    {"SE", K_SE, SE, 7, 0, 0, 0, -1},
    {"GE", K_GE, GE, 184, 0, 0, 175, 180},           {"QE", K_GE, QE, 184, 0, 0, 175, 180},
    {"CN", K_CN, CN, 168, 0, 0, 161, 164},           {"NE", K_NE, NE, 108, 0, 0, 102, 104},
    {"WE", K_WE, WE, 80, 0, 0, 72, 76},              {"WU", K_WU, WU, 40, 0, 0, 31, 36},
};

// Identifier lookup by its two characters.
const Layout* layout_by_id[256][256];
bool build_index() {
    for (const Layout& l : layouts)
        layout_by_id[static_cast<unsigned char>(l.id[0])][static_cast<unsigned char>(l.id[1])] = &l;
    return true;
}
const bool index_built = build_index();

void read_items(FILE* log, const Layout& l, long L) {
    long n = L > 0 ? (L - 1) / l.width : 0;
    long stored = n < l.max_items ? n : l.max_items;
    if (l.kind == K_FLAGS) {
        // Item i goes to the low two bytes of the 4-byte slot at 4i.
        for (long i = 0; i < stored; ++i) read_cut(log, l.rec + 4 * i, 2, 2);
    } else if (l.kind == K_SX) {
        // Pair i: system code at i, satellite number at 180+i.
        for (long i = 0; i < stored; ++i) {
            read_cut(log, l.rec + i, 1, 1);
            read_cut(log, l.rec + 180 + i, 1, 1);
        }
    } else {
        read_cut(log, l.rec, static_cast<long>(l.max_items) * l.width, stored * l.width);
    }
    read_cut(log, nullptr, 0, (n - stored) * l.width);  // items beyond the record are dropped
    read_cut(log, l.rec + l.cs_at, 2, 2);               // checksum and separator
    if (l.count_at >= 0) wr_u32(l.rec, l.count_at, static_cast<uint32_t>(stored));
}

// Fixed-layout message of a listed length: runs of body bytes to record
// positions, then checksum and separator, then the stored length.
struct Run {
    int from, to, at;  // body bytes from..to go to record position `at`
};
void read_runs(FILE* log, const Layout& l, long L, std::initializer_list<Run> runs) {
    for (const Run& r : runs) read_cut(log, l.rec + r.at, r.to - r.from + 1, r.to - r.from + 1);
    read_cut(log, l.rec + l.cs_at, 2, 2);
    wr_u32(l.rec, l.count_at, static_cast<uint32_t>(L));
}
// Fixed-layout message of any other length: no body, two bytes into the
// checksum and separator positions, and the stored length.
void read_odd(FILE* log, const Layout& l, long L) {
    read_cut(log, l.rec + l.cs_at, 2, 2);
    wr_u32(l.rec, l.count_at, static_cast<uint32_t>(L));
}

void read_body(FILE* log, const Layout& l) {
    long L = read_length(log);
    switch (l.kind) {
        case K_UNKNOWN:
            break;
        case K_ITEMS:
        case K_SX:
        case K_FLAGS:
            read_items(log, l, L);
            break;
        case K_WHOLE:
            read_cut(log, l.rec, l.cap, span(L, 1));
            if (l.rec == RT) time_tag = rd_u32(RT, 0);
            break;
        case K_IU:
            read_cut(log, IU, 25, span(L, 1) < 25 ? span(L, 1) : 25);
            if (span(L, 1) > 25) read_cut(log, buf, SCRATCH_SIZE, span(L, 1) - 25);
            break;
        case K_PLUS2:
            read_cut(log, l.rec, l.cap, span(L, 2));
            break;
        case K_MF:
            read_cut(log, MF, 16, span(L, 2));
            wr_f32(MF, 12, static_cast<float>(time_tag));
            break;
        case K_PM:
            if (L < 4) {  // too short to hold its three trailing values: skip it
                read_cut(log, nullptr, 0, span(L, 2));
                break;
            }
            if (L - 4 > 4096) {  // beyond three hexadecimal digits; kept as a guard
                read_cut(log, PM, 4096, 4096);
                read_cut(log, buf, SCRATCH_SIZE, L - 4 - 4096);
                PM[4095] = 0;
            } else {
                read_cut(log, PM, 4096, L - 4);
            }
            read_cut(log, PM + 4096, 2, 2);
            read_cut(log, PM + 4098, 2, 2);
            read_cut(log, PM + 4100, 2, 2);
            wr_f32(PM, 4104, static_cast<float>(time_tag));
            ++count_PM;
            break;
        case K_EV:
            read_cut(log, EV, 105, span(L, -1));
            read_cut(log, EV + 105, 2, 2);
            break;
        case K_SS:
            read_cut(log, SS, 180, span(L, -2));
            read_cut(log, SS + 180, 3, 3);
            break;
        case K_SE:
            read_cut(log, SE, 7, 7);
            break;
        case K_GE:
            if (L == 123)
                read_runs(log, l, L, {{0, 121, 0}});
            else if (L == 160)
                read_runs(log, l, L, {{0, 146, 0}, {147, 154, 163}, {155, 158, 171}});
            else if (L == 168)
                read_runs(log, l, L, {{0, 146, 0}, {147, 162, 147}, {163, 166, 171}});
            else
                read_odd(log, l, L);
            break;
        case K_CN:
            if (L == 134)
                read_runs(log, l, L, {{0, 132, 0}});
            else if (L == 152)
                read_runs(log, l, L, {{0, 130, 0}, {131, 150, 133}});
            else if (L == 160)
                read_runs(log, l, L, {{0, 130, 0}, {131, 158, 133}});
            else
                read_odd(log, l, L);
            break;
        case K_NE:
            if (L == 88)
                read_runs(log, l, L, {{0, 86, 0}});
            else if (L == 103)
                read_runs(log, l, L, {{0, 101, 0}});
            else  // any other length: nothing after the header is read
                wr_u32(NE, 104, static_cast<uint32_t>(L));
            break;
        case K_WE:
            if (L == 73)
                read_runs(log, l, L, {{0, 71, 0}});
            else
                read_odd(log, l, L);
            break;
        case K_WU:
            if (L == 32)
                read_runs(log, l, L, {{0, 30, 0}});
            else
                read_odd(log, l, L);
            break;
    }
}

}  // namespace

std::string convertToString(const char* a, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += a[i];
    return s;
}

void unkown_msg(FILE* log) {
    long L = read_length(log);
    read_cut(log, buf, SCRATCH_SIZE, span(L, 1));
}

std::string VLXFileReader(FILE* log) {
    char id[2] = {0, 0};
    if (take(log, id, 2) != 2) return std::string(2, '\0');
    std::string ident(id, 2);
    // ">" followed by anything but ">" is a bare two-byte marker.
    if (id[0] == '>' && id[1] != '>') return ident;
    const Layout* l = layout_by_id[static_cast<unsigned char>(id[0])][static_cast<unsigned char>(id[1])];
    if (l == nullptr)
        unkown_msg(log);
    else
        read_body(log, *l);
    return ident;
}

Epoch_step frame_epoch(Epoch_frame& f, const std::string& id) {
    Epoch_step s = {};
    if (is_id(id, "~~")) {
        s.opened = true;
        s.first = !f.started;
        s.closed = f.started && !f.closed;
        f.started = true;
        f.closed = false;
    } else if (is_id(id, "TD")) {
        s.end = true;
        s.closed = !f.closed && (f.started || f.early_end_closes);
        f.closed = true;
    } else if (is_id(id, "RD")) {
        s.dated = true;
    }
    return s;
}

bool frame_log_end(Epoch_frame& f) {
    const bool closes = f.started && !f.closed;
    f.closed = true;
    return closes;
}
