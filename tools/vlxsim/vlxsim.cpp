// vlxsim: writes a simulated receiver log (a stream of VLX messages) for
// development and benchmarks of the converter: epochs of observations of the
// satellites in view over a fixed site, with their navigation messages, and
// optionally a text manifest of what was written.
//
// Each epoch is "~~" (time of day), "RD" (date), "SX" (satellite list), "NN"
// (GLONASS slots), the six flag messages, the code ranges, Dopplers, phases
// and signal strengths of every band, then "TD" unless the options drop it.
// Options also drop "RD" from some epochs (receivers date only now and
// then), leave out a run of epochs (a gap: the time moves on, nothing is
// written), thin the observations of long logs (only every N-th epoch
// is written; the navigation messages of the others still are, after the
// last written epoch) and write one earlier epoch once more after a later
// one (a repeated or out-of-order epoch, as a receiver may log it).
// Item i of every observation message belongs to entry i of "SX"; the values
// are encoded so that the converter's decoders give back the simulated
// pseudoranges, Dopplers, phases and densities.
//
// The manifest is text, one record per line: a few "key value" lines (seed,
// start, interval_ms, epochs, systems, td_every, and rd_every, rd_start,
// gap, again and obs_every when they are given); per epoch written, in log
// order
//   epoch K YYYY-MM-DD HH:MM:SS.mmm td=0|1 G=3,4,8 R=1,5 ...
// listing the satellites of each selected system in list order (GLONASS by
// orbital slot); "msg ID COUNT" per identifier written; and "store NAME COUNT"
// per navigation store: the distinct records the log carries for it (one
// ephemeris issue, or one parameter message, sent again counts once).
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim_emit.h"
#include "sim_nav.h"
#include "sim_orbit.h"
#include "sim_rng.h"
#include "sim_sky.h"
#include "sim_time.h"

namespace vlxsim {

uint32_t g_msg_count[128][128];

using vlxlog::put16;
using vlxlog::put32;
using vlxlog::put8;

struct Options {
    long epochs = 600;
    int64_t interval_ms = 1000;
    int64_t start_ms = 0;
    std::string start_text = "2024-03-15 00:00:00";
    uint64_t seed = 1;
    bool sys_on[NSYS] = {true, true, true, true, true, true, true};
    std::string systems = "GREJCIS";
    std::string out_path;
    std::string manifest_path;
    long td_every = 1;  // "TD" closes every N-th epoch; 0: never
    long rd_every = 1;  // "RD" in every N-th epoch from rd_start; 0: never
    long rd_start = 0;  // the first epoch with "RD"
    long gap_at = 0;    // the first epoch left out
    long gap_len = 0;   // epochs left out from gap_at
    long again_after = -1;  // after this epoch ...
    long again_of = -1;     // ... this one is written once more; -1: none
    long obs_every = 1; // observations in every N-th epoch only; navigation in all
};

// Whether epoch k carries a receiver date.
static bool dated_epoch(const Options& o, long k) {
    return o.rd_every > 0 && k >= o.rd_start && (k - o.rd_start) % o.rd_every == 0;
}
static bool in_gap(const Options& o, long k) { return k >= o.gap_at && k - o.gap_at < o.gap_len; }
// Whether epoch k is written with its observations; the other epochs of a
// thinned log still send the navigation messages of the satellites in view.
static bool observed_epoch(const Options& o, long k) { return k % o.obs_every == 0; }

constexpr double ELEV_MASK = 5.0 * PI / 180.0;

// Scale (s per unit) and offset (s) of the 32-bit receive-time items, by
// satellite-list system code (9: GLONASS code division).
static double rx_scale(int code) { return (code == 1 || code == 2 || code == 3 || code == 9) ? 1e-11 : 2e-11; }
static double rx_offset(int code) {
    switch (code) {
        case 1:
        case 2:
        case 9: return 0.075;
        case 3:
        case 5: return 0.125;  // SBAS, QZSS
        case 4: return 0.085;  // Galileo
        default: return 0.105;  // BeiDou, NavIC
    }
}

// Records per system in the converter's satellite tables (GLONASS also bounded
// by the 24 slot bytes of "NN").
static const int SYS_CAP[NSYS] = {32, 24, 37, 37, 61, 37, 37};
constexpr int MAX_SX = 180;
constexpr double PHASE_UNIT = 1.0 / 1099511627776.0;  // 2^-40 s

// Tracking state of one satellite between epochs.
struct Track {
    bool in_view;
    double ambiguity[NBAND];       // cycles, fixed for one pass
    double cdma_ambiguity[NBAND];  // GLONASS code-division signals
    double tau;                    // last signal travel time, s (0: none yet)
    double next_check;             // far below the horizon: not looked at before this time (s)
};
static Track s_track[MAX_SATS];

// Observables of one satellite in one epoch, already in item form. A GLONASS
// satellite with code-division signals has a second entry with cdma set.
struct Obs {
    int sat;
    bool cdma;
    int32_t rx;
    int16_t band_range[NBAND];
    int32_t dop_base;
    int32_t dop_ca;
    int16_t dop_diff[NBAND];
    int32_t phase[NBAND];
    uint8_t cn0[NBAND];
};

static int32_t clamp32(double v) {
    if (v > 2147483647.0) return 2147483647;
    if (v < -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(std::llround(v));
}
static int16_t clamp16(double v) {
    if (v > 32767.0) return 32767;
    if (v < -32768.0) return -32768;
    return static_cast<int16_t>(std::lround(v));
}

// Group delay of a signal (s), as each system's interface document has a
// single-frequency user of that signal correct it with the broadcast values:
// GPS and QZSS TGD (1575.42 / f)^2 (TGD on L1, gamma TGD on L2, and so on;
// the CNAV inter-signal corrections are broadcast to match); Galileo BGD(E1,E5b)
// (1575.42 / f)^2 for E1, E5b, E6 and E5, BGD(E1,E5a) (1575.42 / 1176.45)^2 for
// E5a; BeiDou TGD1 on B1I, TGD2 on B2I, none on B3I (the clock's reference)
// and the BeiDou-3 signals; NavIC TGD (1176.45 / f)^2 (TGD on L5). GLONASS
// and SBAS signals carry none.
static double group_delay_s(const Sat& s, int band, bool cdma) {
    if (cdma) return 0.0;
    const double f = band_mhz(s, band);
    switch (s.sys) {
        case SYS_G:
        case SYS_J: return s.tgd * (1575.42 / f) * (1575.42 / f);
        case SYS_E:
            if (band == BAND_5) return s.tgd2 * (1575.42 / f) * (1575.42 / f);
            return s.tgd * (1575.42 / f) * (1575.42 / f);
        case SYS_C: return band == BAND_CA ? s.tgd : band == BAND_2 ? s.tgd2 : 0.0;
        case SYS_I: return s.tgd * (1176.45 / f) * (1176.45 / f);
        default: return 0.0;
    }
}

// Fractions of a cycle that the converter adds to a phase (by system and
// band, BeiDou also by satellite); the simulator takes them off, so that the
// phases in the RINEX file are the range over the wavelength plus a whole
// number of cycles.
static double phase_shift(const Sat& s, int band, bool cdma) {
    static const double SHIFT[NSYS][NBAND] = {
        {0.0, -0.25, 0.0, 0.25, 0.25, -0.25},  // GPS
        {0.0, -0.25, 0.25, 0.0, 0.25, 0.0},    // GLONASS
        {0.5, 0.25, 0.25, 0.5, 0.25, 0.0},     // Galileo
        {0.0, 0.0, 0.0, 0.25, 0.25, -0.25},    // QZSS
        {0.0, 0.25, 0.0, 0.0, 0.25, 0.0},      // BeiDou
        {0.0, 0.0, 0.0, 0.0, 0.0, 0.0},        // NavIC
        {0.0, 0.0, 0.0, 0.0, 0.25, 0.0},       // SBAS
    };
    if (cdma) return 0.0;
    double v = SHIFT[s.sys][band];
    if (s.sys == SYS_C) {
        const bool igso_meo = s.prn >= 6 && s.prn <= 58;
        if ((band == BAND_CA || band == BAND_3) && igso_meo) v += 0.5;
        if (band == BAND_2 && s.prn != 9 && s.prn != 10) v += 0.25;
        if (band == BAND_5 && s.prn >= 6 && s.prn <= 18) v += 0.5;
    }
    return v;
}

// Forms the items of one satellite (or of its code-division signals) from
// the signal geometry l at epoch time t (s from the start, receiver clock).
// Code: range + c (receiver clock - satellite clock) + c group delay + noise;
// carrier phase: the same over the wavelength plus whole cycles (growing with
// the range); Doppler: minus the rate of the same over the wavelength. No
// ionosphere or troposphere: the signals travel in vacuum. False when the C/A
// range does not fit the receive-time item of its system (then it is not
// reported).
static bool observe(int i, bool cdma, double t, const Look& l, Rng& rng, Obs& o) {
    const Sat& s = g_sats[i];
    const uint8_t bands = cdma ? s.cdma : s.bands;
    const double sin_el = std::sin(l.elev);
    const double range = l.range + C_LIGHT * (rcv_clock_s(t) - l.clk);
    const double rate = l.rate + C_LIGHT * (0.002 / C_LIGHT - l.clk_rate);
    const double code_sigma = 0.25 * (1.0 + 2.0 * (1.0 - sin_el));
    const double* ambiguity = cdma ? s_track[i].cdma_ambiguity : s_track[i].ambiguity;
    auto carrier = [&](int b) { return (cdma ? cdma_band_mhz(b) : band_mhz(s, b)) * 1e6; };

    o.sat = i;
    o.cdma = cdma;
    const double p0 = range + C_LIGHT * group_delay_s(s, BAND_CA, cdma) + code_sigma * rng_gauss(rng);
    const int code = cdma ? 9 : SX_CODE[s.sys];
    const double scale = rx_scale(code), off = rx_offset(code);
    const double v = (p0 / C_LIGHT - off) / scale;
    if (!(v > -2147483000.0 && v < 2147483000.0)) return false;
    o.rx = static_cast<int32_t>(std::llround(v));
    const double t_rx = o.rx * scale + off;  // the receive time as the decoder forms it

    const double f0 = carrier(BAND_CA);
    const double fref = (cdma ? CDMA_REF_MHZ : ref_mhz(s)) * 1e6;
    o.dop_base = clamp32(rate * fref / C_LIGHT * 1e4);
    o.dop_ca = clamp32((rate * f0 / C_LIGHT - 0.03 * rng_gauss(rng)) * 1e4);
    for (int b = 0; b < NBAND; ++b) {
        o.band_range[b] = 0;
        o.dop_diff[b] = 0;
        o.phase[b] = 0;
        o.cn0[b] = 0;
        if (!(bands & (1u << b))) continue;
        const double fb = carrier(b);
        const double delayed = range + C_LIGHT * group_delay_s(s, b, cdma);
        if (b != BAND_CA) {
            const double pb = delayed + code_sigma * 0.8 * rng_gauss(rng);
            o.band_range[b] = clamp16((pb / C_LIGHT - t_rx - 2e-7) / 1e-11);
        }
        const double cycles = (delayed + 0.0015 * rng_gauss(rng)) * fb / C_LIGHT + ambiguity[b];
        o.phase[b] = clamp32(((cycles - phase_shift(s, b, cdma)) / fb - t_rx) / PHASE_UNIT);
        const double want = (rate * fb / C_LIGHT - 0.02 * rng_gauss(rng)) * fref / fb * 1e4;
        o.dop_diff[b] = clamp16(want - o.dop_base);
        const bool weak = (s.sys == SYS_G || s.sys == SYS_R) && (b == BAND_1 || b == BAND_2);
        double cn0 = 32.0 + 16.0 * std::pow(sin_el, 0.6) - (weak ? 4.0 : (b == BAND_CA ? 0.0 : 1.0)) +
                     0.4 * rng_gauss(rng);
        cn0 = std::fmin(50.0, std::fmax(30.0, cn0));
        o.cn0[b] = static_cast<uint8_t>(std::lround(cn0 * 4.0));
    }
    return true;
}

static const char* const FLAG_ID[NBAND] = {"FC", "F1", "F2", "F3", "F5", "Fl"};
static const char* const RANGE_ID[NBAND] = {nullptr, "1r", "2r", "3r", "5r", "lr"};
static const char* const DOP_ID[NBAND] = {"0d", "1d", "2d", "3d", "5d", "ld"};
static const char* const PHASE_ID[NBAND] = {"cp", "1p", "2p", "3p", "5p", "lp"};
static const char* const CN0_ID[NBAND] = {"CE", "1E", "2E", "3E", "5E", "lE"};

// Bands of an entry: the satellite's own, or its code-division signals.
static uint8_t obs_bands(const Obs& o) { return o.cdma ? g_sats[o.sat].cdma : g_sats[o.sat].bands; }

static void write_epoch_messages(std::string& out, int64_t t_ms, bool dated, double t, const Obs* obs, int n) {
    std::string p;
    p.reserve(4 * MAX_SX + 8);
    put32(p, static_cast<uint32_t>(ms_of_day(t_ms)));
    emit(out, "~~", p);
    if (dated) {
        const CivilDate d = date_of(t_ms);
        out += vlxlog::receiver_date(static_cast<uint16_t>(d.y), static_cast<uint8_t>(d.m), static_cast<uint8_t>(d.d),
                                     0);
        ++g_msg_count['R']['D'];
    }

    p.clear();
    for (int k = 0; k < n; ++k) {
        const Sat& s = g_sats[obs[k].sat];
        // A code-division GLONASS entry is numbered by its orbital slot.
        put8(p, obs[k].cdma ? 9 : SX_CODE[s.sys]);
        put8(p, s.sys == SYS_R && !obs[k].cdma ? static_cast<uint8_t>(s.channel) : s.prn);
    }
    emit(out, "SX", p);
    p.clear();
    for (int k = 0; k < n; ++k)
        if (g_sats[obs[k].sat].sys == SYS_R && !obs[k].cdma) put8(p, g_sats[obs[k].sat].prn);
    emit(out, "NN", p);
    // The receiver clock offset that the ranges of this epoch contain.
    p.clear();
    vlxlog::putf64(p, rcv_clock_s(t));
    vlxlog::putf64(p, 1.0e-9);
    emit(out, "TO", p);

    for (int b = 0; b < NBAND; ++b) {
        p.clear();
        for (int k = 0; k < n; ++k) put16(p, (obs_bands(obs[k]) & (1u << b)) ? 0x40 : 0x00);
        emit(out, FLAG_ID[b], p);
    }
    p.clear();
    for (int k = 0; k < n; ++k) put32(p, static_cast<uint32_t>(obs[k].rx));
    emit(out, "rx", p);
    emit(out, "rc", p);
    for (int b = 1; b < NBAND; ++b) {
        p.clear();
        for (int k = 0; k < n; ++k) put16(p, static_cast<uint16_t>(obs[k].band_range[b]));
        emit(out, RANGE_ID[b], p);
    }
    p.clear();
    for (int k = 0; k < n; ++k) put32(p, static_cast<uint32_t>(obs[k].dop_base));
    emit(out, "DX", p);
    p.clear();
    for (int k = 0; k < n; ++k) put32(p, static_cast<uint32_t>(obs[k].dop_ca));
    emit(out, "DC", p);
    for (int b = 0; b < NBAND; ++b) {
        p.clear();
        for (int k = 0; k < n; ++k) put16(p, static_cast<uint16_t>(obs[k].dop_diff[b]));
        emit(out, DOP_ID[b], p);
    }
    for (int b = 0; b < NBAND; ++b) {
        p.clear();
        for (int k = 0; k < n; ++k) put32(p, static_cast<uint32_t>(obs[k].phase[b]));
        emit(out, PHASE_ID[b], p);
    }
    for (int b = 0; b < NBAND; ++b) {
        p.clear();
        for (int k = 0; k < n; ++k) put8(p, obs[k].cn0[b]);
        emit(out, CN0_ID[b], p);
    }
}

static void usage(FILE* f) {
    std::fprintf(f,
                 "usage: vlxsim -o FILE [--epochs N] [--interval S] [--start \"YYYY-MM-DD HH:MM:SS\"]\n"
                 "              [--seed N] [--systems GREJCIS] [--td-every N] [--rd-every N]\n"
                 "              [--rd-start K] [--gap K:N] [--again K:J] [--obs-every N]\n"
                 "              [--manifest FILE]\n"
                 "  --epochs N     number of epochs (default 600)\n"
                 "  --interval S   seconds between epochs, whole milliseconds (default 1)\n"
                 "  --start T      GPS time of the first epoch (default 2024-03-15 00:00:00)\n"
                 "  --seed N       seed of the noise, phases and clocks (default 1)\n"
                 "  --systems L    G GPS, R GLONASS, E Galileo, J QZSS, C BeiDou, I NavIC, S SBAS\n"
                 "  --td-every N   close every N-th epoch with \"TD\" (default 1; 0: never)\n"
                 "  --rd-every N   date every N-th epoch from --rd-start with \"RD\" (default 1;\n"
                 "                 0: never; at least --epochs: only epoch --rd-start)\n"
                 "  --rd-start K   no \"RD\" before epoch K, counted from 0 (default 0)\n"
                 "  --gap K:N      leave out the N epochs from epoch K (their time passes)\n"
                 "  --again K:J    after epoch K write epoch J (J <= K) once more, as it was\n"
                 "  --obs-every N  observations only in every N-th epoch, counted from 0 (default 1);\n"
                 "                 the navigation messages of every epoch are still written, so long\n"
                 "                 logs stay small\n"
                 "  --manifest F   write a text manifest of the epochs and navigation stores\n");
}

static bool parse_long(const char* s, long lo, long hi, long* v) {
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0' || x < lo || x > hi) return false;
    *v = x;
    return true;
}

static bool parse_start(const std::string& s, int64_t* ms) {
    int y, mo, d, h, mi, se;
    char sep;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &y, &mo, &d, &sep, &h, &mi, &se, &tail) != 7) return false;
    if (sep != ' ' && sep != 'T') return false;
    if (y < 2010 || y > 2037 || mo < 1 || mo > 12 || d < 1 || h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 ||
        se > 59)
        return false;
    const int64_t days = days_from_civil(y, mo, d);
    const CivilDate back = civil_from_days(days);
    if (back.d != d || back.m != mo) return false;  // e.g. 2023-02-30
    *ms = ((days - GPS_EPOCH_DAYS) * 86400 + h * 3600 + mi * 60 + se) * 1000LL;
    return true;
}

static int parse_options(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "vlxsim: %s needs a value\n", a.c_str());
            return 2;
        }
        const char* v = argv[++i];
        if (a == "--epochs") {
            if (!parse_long(v, 0, 100000000L, &o.epochs)) {
                std::fprintf(stderr, "vlxsim: bad --epochs %s\n", v);
                return 2;
            }
        } else if (a == "--interval") {
            char* end = nullptr;
            const double s = std::strtod(v, &end);
            const double ms = s * 1000.0;
            if (end == v || *end != '\0' || !(s > 0.0) || s > 86400.0 || std::fabs(ms - std::round(ms)) > 1e-6) {
                std::fprintf(stderr, "vlxsim: bad --interval %s (seconds, whole milliseconds)\n", v);
                return 2;
            }
            o.interval_ms = static_cast<int64_t>(std::llround(ms));
        } else if (a == "--start") {
            o.start_text = v;
        } else if (a == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long long s = std::strtoull(v, &end, 10);
            if (errno != 0 || end == v || *end != '\0' || v[0] == '-') {
                std::fprintf(stderr, "vlxsim: bad --seed %s\n", v);
                return 2;
            }
            o.seed = s;
        } else if (a == "--systems") {
            o.systems = v;
            for (int k = 0; k < NSYS; ++k) o.sys_on[k] = false;
            if (o.systems.empty()) {
                std::fprintf(stderr, "vlxsim: --systems needs at least one of GREJCIS\n");
                return 2;
            }
            for (char c : o.systems) {
                const char* at = std::strchr(SYS_LETTERS, c);
                if (c == '\0' || at == nullptr) {
                    std::fprintf(stderr, "vlxsim: unknown system letter '%c' in --systems (GREJCIS)\n", c);
                    return 2;
                }
                o.sys_on[at - SYS_LETTERS] = true;
            }
        } else if (a == "-o") {
            o.out_path = v;
        } else if (a == "--manifest") {
            o.manifest_path = v;
        } else if (a == "--td-every") {
            if (!parse_long(v, 0, 1000000000L, &o.td_every)) {
                std::fprintf(stderr, "vlxsim: bad --td-every %s\n", v);
                return 2;
            }
        } else if (a == "--rd-every" || a == "--rd-start") {
            if (!parse_long(v, 0, 1000000000L, a == "--rd-every" ? &o.rd_every : &o.rd_start)) {
                std::fprintf(stderr, "vlxsim: bad %s %s\n", a.c_str(), v);
                return 2;
            }
        } else if (a == "--obs-every") {
            if (!parse_long(v, 1, 1000000000L, &o.obs_every)) {
                std::fprintf(stderr, "vlxsim: bad --obs-every %s\n", v);
                return 2;
            }
        } else if (a == "--gap") {
            const char* colon = std::strchr(v, ':');
            const std::string at = colon ? std::string(v, colon) : std::string();
            if (!colon || !parse_long(at.c_str(), 0, 100000000L, &o.gap_at) ||
                !parse_long(colon + 1, 1, 100000000L, &o.gap_len)) {
                std::fprintf(stderr, "vlxsim: bad --gap %s (K:N, N at least 1)\n", v);
                return 2;
            }
        } else if (a == "--again") {
            const char* colon = std::strchr(v, ':');
            const std::string after = colon ? std::string(v, colon) : std::string();
            if (!colon || !parse_long(after.c_str(), 0, 100000000L, &o.again_after) ||
                !parse_long(colon + 1, 0, o.again_after, &o.again_of)) {
                std::fprintf(stderr, "vlxsim: bad --again %s (K:J, J at most K)\n", v);
                return 2;
            }
        } else {
            std::fprintf(stderr, "vlxsim: unknown option %s\n", a.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (o.out_path.empty()) {
        std::fprintf(stderr, "vlxsim: -o FILE is required\n");
        usage(stderr);
        return 2;
    }
    if (o.again_after >= 0 && (o.again_after >= o.epochs || in_gap(o, o.again_after) || in_gap(o, o.again_of) ||
                               !observed_epoch(o, o.again_after) || !observed_epoch(o, o.again_of))) {
        std::fprintf(stderr, "vlxsim: --again names an epoch that is not written\n");
        return 2;
    }
    if (!parse_start(o.start_text, &o.start_ms)) {
        std::fprintf(stderr, "vlxsim: bad --start \"%s\" (YYYY-MM-DD HH:MM:SS, years 2010-2037)\n",
                     o.start_text.c_str());
        return 2;
    }
    return 0;
}

static bool flush_out(FILE* f, std::string& out) {
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    out.clear();
    return ok;
}

static void manifest_epoch(std::string& m, long k, int64_t t_ms, bool td, const Obs* obs, int n, const Options& o) {
    const CivilDate d = date_of(t_ms);
    const int64_t ms = ms_of_day(t_ms);
    char buf[96];
    std::snprintf(buf, sizeof buf, "epoch %ld %04d-%02d-%02d %02d:%02d:%02d.%03d td=%d", k, d.y, d.m, d.d,
                  static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000), td ? 1 : 0);
    m += buf;
    for (int sys = 0; sys < NSYS; ++sys) {
        if (!o.sys_on[sys]) continue;
        m += ' ';
        m += SYS_LETTERS[sys];
        m += '=';
        bool first = true;
        for (int j = 0; j < n; ++j) {
            const Sat& s = g_sats[obs[j].sat];
            if (s.sys != sys || obs[j].cdma) continue;
            if (!first) m += ',';
            first = false;
            m += std::to_string(s.prn);
        }
    }
    m += '\n';
}

static int run(const Options& o) {
    build_catalogue(o.seed, o.start_ms);
    FILE* f = std::fopen(o.out_path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "vlxsim: cannot write %s: %s\n", o.out_path.c_str(), std::strerror(errno));
        return 1;
    }
    std::string manifest;
    if (!o.manifest_path.empty()) {
        char buf[256];
        std::snprintf(buf, sizeof buf, "vlxsim manifest\nseed %llu\nstart %s\ninterval_ms %lld\nepochs %ld\nsystems %s\ntd_every %ld\n",
                      static_cast<unsigned long long>(o.seed), o.start_text.c_str(),
                      static_cast<long long>(o.interval_ms), o.epochs, o.systems.c_str(), o.td_every);
        manifest += buf;
        if (o.rd_every != 1 || o.rd_start != 0) {
            std::snprintf(buf, sizeof buf, "rd_every %ld\nrd_start %ld\n", o.rd_every, o.rd_start);
            manifest += buf;
        }
        if (o.gap_len > 0) {
            std::snprintf(buf, sizeof buf, "gap %ld %ld\n", o.gap_at, o.gap_len);
            manifest += buf;
        }
        if (o.again_after >= 0) {
            std::snprintf(buf, sizeof buf, "again %ld %ld\n", o.again_after, o.again_of);
            manifest += buf;
        }
        if (o.obs_every != 1) {
            std::snprintf(buf, sizeof buf, "obs_every %ld\n", o.obs_every);
            manifest += buf;
        }
    }

    std::string out;
    out.reserve(8u << 20);
    bool ok = true;
    nav_receiver_info(out);

    // Observation order of the satellite list: by system code, then number.
    int order[MAX_SATS];
    int n_order = 0;
    for (uint8_t code = 1; code <= 7; ++code)
        for (int i = 0; i < g_nsats; ++i)
            if (SX_CODE[g_sats[i].sys] == code && o.sys_on[g_sats[i].sys]) order[n_order++] = i;

    Obs obs[MAX_SX];
    int in_view[MAX_SX];
    Look looks[MAX_SX];
    // The epoch that --again writes once more, kept as it was written.
    static Obs again_obs[MAX_SX];
    int again_n = 0;
    for (long k = 0; k < o.epochs; ++k) {
        if (in_gap(o, k)) continue;
        const int64_t t_ms = o.start_ms + k * o.interval_ms;
        const double t = static_cast<double>(k * o.interval_ms) / 1000.0;
        // The epoch is taken when the receiver clock reads t: true time t - offset.
        const double t_true = t - rcv_clock_s(t);
        const bool observed = observed_epoch(o, k);
        Rng rng = rng_stream(o.seed, 0xE90C + static_cast<uint64_t>(k));
        int n = 0;
        int per_sys[NSYS] = {};
        for (int j = 0; j < n_order; ++j) {
            const int i = order[j];
            const Sat& s = g_sats[i];
            Track& tr = s_track[i];
            if (!tr.in_view && t < tr.next_check) continue;
            const Look l = look_at(i, t_ms, t_true, tr.tau);
            tr.tau = l.tau;
            // Far below the horizon: it cannot rise within two minutes.
            if (l.elev < -10.0 * PI / 180.0) tr.next_check = t + 120.0;
            const bool up = l.elev > ELEV_MASK && per_sys[s.sys] < SYS_CAP[s.sys] && n < MAX_SX;
            if (up && !tr.in_view) {
                // Rising: a new pass with new carrier ambiguities.
                Rng ra = rng_stream(o.seed, 0xA3B + static_cast<uint64_t>(i), static_cast<uint64_t>(k));
                for (int b = 0; b < NBAND; ++b) tr.ambiguity[b] = std::round(rng_range(ra, -1e5, 1e5));
                for (int b = 0; b < NBAND; ++b) tr.cdma_ambiguity[b] = std::round(rng_range(ra, -1e5, 1e5));
            }
            // An epoch without observations only needs to know what is in view.
            tr.in_view = up && (!observed || observe(i, false, t, l, rng, obs[n]));
            if (tr.in_view) {
                in_view[n] = i;
                looks[n] = l;
                ++n;
                ++per_sys[s.sys];
            }
        }
        // Code-division GLONASS entries follow the list (system code 9).
        const int n_sats = n;
        for (int j = 0; observed && j < n_sats && n < MAX_SX; ++j) {
            const int i = in_view[j];
            if (g_sats[i].sys == SYS_R && g_sats[i].cdma && observe(i, true, t, looks[j], rng, obs[n])) ++n;
        }
        const bool td = observed && o.td_every > 0 && (k % o.td_every) == 0;
        if (observed) write_epoch_messages(out, t_ms, dated_epoch(o, k), t, obs, n);
        if (td) emit(out, "TD", std::string());
        nav_epoch(out, t_ms, in_view, n_sats, o.sys_on);
        if (observed && !o.manifest_path.empty()) manifest_epoch(manifest, k, t_ms, td, obs, n, o);
        if (k == o.again_of) {
            for (int j = 0; j < n; ++j) again_obs[j] = obs[j];
            again_n = n;
        }
        if (k == o.again_after) {
            // The same messages with the same time, date and observations;
            // the navigation messages are not repeated.
            const long j = o.again_of;
            const int64_t tj_ms = o.start_ms + j * o.interval_ms;
            write_epoch_messages(out, tj_ms, dated_epoch(o, j), static_cast<double>(j * o.interval_ms) / 1000.0,
                                 again_obs, again_n);
            const bool td_j = o.td_every > 0 && (j % o.td_every) == 0;
            if (td_j) emit(out, "TD", std::string());
            if (!o.manifest_path.empty()) manifest_epoch(manifest, j, tj_ms, td_j, again_obs, again_n, o);
        }
        if (out.size() > (6u << 20)) ok = flush_out(f, out) && ok;
    }
    ok = flush_out(f, out) && ok;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "vlxsim: write error on %s\n", o.out_path.c_str());
        return 1;
    }

    if (!o.manifest_path.empty()) {
        FILE* m = std::fopen(o.manifest_path.c_str(), "w");
        if (!m) {
            std::fprintf(stderr, "vlxsim: cannot write %s: %s\n", o.manifest_path.c_str(), std::strerror(errno));
            return 1;
        }
        std::fwrite(manifest.data(), 1, manifest.size(), m);
        for (int a = 0; a < 128; ++a)
            for (int b = 0; b < 128; ++b)
                if (g_msg_count[a][b]) std::fprintf(m, "msg %c%c %u\n", a, b, g_msg_count[a][b]);
        nav_write_tally(m);
        if (std::fclose(m) != 0) {
            std::fprintf(stderr, "vlxsim: write error on %s\n", o.manifest_path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace vlxsim

int main(int argc, char** argv) {
    vlxsim::Options o;
    if (const int rc = vlxsim::parse_options(argc, argv, o)) return rc;
    return vlxsim::run(o);
}
