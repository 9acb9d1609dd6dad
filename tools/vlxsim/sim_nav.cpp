// Navigation messages of the simulated log and the tally of the distinct
// records they carry. Each satellite broadcasts its
// current ephemeris again every 30 s and changes issue at its system's update
// rate; ionosphere and time-system parameters are repeated every 60 s and
// change daily (BeiDou ionosphere every two hours).
#include "sim_nav.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <unordered_set>

#include "sim_emit.h"
#include "sim_orbit.h"
#include "sim_sky.h"
#include "sim_time.h"

namespace vlxsim {

using vlxlog::put16;
using vlxlog::put32;
using vlxlog::put64;
using vlxlog::put8;
using vlxlog::putf32;
using vlxlog::putf64;

constexpr int64_t REPEAT_EPH_MS = 30000;
constexpr int64_t REPEAT_AUX_MS = 60000;

// ---------------------------------------------------------------- tally
// What the log physically carries for each navigation store: the distinct
// ephemerides (one issue of one satellite in one message type, however
// often it is sent) and the distinct ionosphere and time-system messages
// (the same body sent again counts once). The converter's keep rules are
// not replayed: the tests compare what the converter writes with this.

enum Tally {
    N_GPS_EPH,
    N_QZSS_EPH,
    N_GAL_EPH,
    N_BDS_EPH,
    N_GLO_EPH,
    N_NAVIC_EPH,
    N_SBAS_EPH,
    N_GPS_ION,
    N_QZSS_ION,
    N_NAVIC_ION,
    N_BDS_ION,
    N_GPS_UTC,
    N_QZSS_UTC,
    N_BDS_UTC,
    N_NAVIC_UTC,
    N_GAL_UTC,
    N_SBAS_UTC,
    N_GLO_TIME,
    N_TALLY
};
static const char* const TALLY_NAME[N_TALLY] = {
    "GPS_Eph",      "QZSS_Eph",      "GAL_Eph",       "BDS_Eph",     "GLO_Eph",       "NavIC_Eph",
    "SBAS_Eph",     "Iono_GPS",      "Iono_QZSS",     "Iono_NavIC",  "Iono_BDS",      "GPS_UTC_Par",
    "QZSS_UTC_Par", "BDS_UTC_Par",   "NavIC_UTC_Par", "GAL_UTC_Par", "SBAS_UTC_Par",  "GLO_Time_Par"};
// Ephemerides by satellite, type and issue; parameter messages by body.
static std::unordered_set<uint64_t> s_tally_eph[N_TALLY];
static std::set<std::string> s_tally[N_TALLY];

// An ephemeris: satellite, message type and the issue (its start in ms, or
// its index), one key of 64 bits.
static void tally_issue(Tally store, int sat, int type, int64_t issue) {
    s_tally_eph[store].insert(static_cast<uint64_t>(issue) << 16 | static_cast<uint64_t>(sat & 0xFF) << 8 |
                              static_cast<uint64_t>(type & 0xFF));
}

void nav_write_tally(FILE* f) {
    for (int k = 0; k < N_TALLY; ++k)
        std::fprintf(f, "store %s %zu\n", TALLY_NAME[k], s_tally_eph[k].size() + s_tally[k].size());
}

// ---------------------------------------------------------------- messages

// The 122-byte Keplerian block shared by "GE", "QE", "EN", "CN" and "IE".
struct HeadFields {
    uint32_t tt;
    uint8_t flags;
    int16_t iodc;
    int8_t ura;
    int16_t week;
    uint16_t iode;
};

static void put_head(std::string& s, const Sat& sat, const HeadFields& h, const KepEph& e) {
    const int32_t toe = static_cast<int32_t>((e.issue_ms - e.week_ms) / 1000);
    put8(s, sat.prn);
    put32(s, h.tt);
    put8(s, h.flags);
    put16(s, static_cast<uint16_t>(h.iodc));
    put32(s, static_cast<uint32_t>(toe));  // toc = toe
    put8(s, static_cast<uint8_t>(h.ura));
    put8(s, 0);  // healthy
    put16(s, static_cast<uint16_t>(h.week));
    putf32(s, e.tgd);
    putf32(s, e.af2);
    putf32(s, e.af1);
    putf32(s, e.af0);
    put32(s, static_cast<uint32_t>(toe));
    put16(s, h.iode);
    putf64(s, e.sqrt_a);
    putf64(s, e.ecc);
    putf64(s, e.m0_sc);
    putf64(s, e.node0_sc);
    putf64(s, e.i0_sc);
    putf64(s, e.omega_sc);
    putf32(s, e.dn_sc);
    putf32(s, e.omd_sc);
    putf32(s, e.idot_sc);
    putf32(s, e.crc);
    putf32(s, e.crs);
    putf32(s, e.cuc);
    putf32(s, e.cus);
    putf32(s, e.cic);
    putf32(s, e.cis);
}

// GPS-like ephemeris types and the flag byte and length that carry them:
// "LNAV" (length 123), "CNAV" (168, flag bit 1), "CNV2" (160, flag bit 3).
enum { T_LNAV, T_CNAV, T_CNV2 };

// Inter-signal corrections of the CNAV messages that agree with the group
// delays of the ranges: a signal at f is delayed by TGD (1575.42 / f)^2, and a
// CNAV user applies -TGD + ISC; so ISC = TGD (1 - (1575.42 / f)^2). Order:
// L1 C/A, L2C, L5I5, L5Q5.
static float isc_of(const KepEph& e, double f_mhz) {
    const double g = (1575.42 / f_mhz) * (1575.42 / f_mhz);
    return static_cast<float>(static_cast<double>(e.tgd) * (1.0 - g));
}

static void emit_gps_like(std::string& out, const char* id, Tally store, int i, int type, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const KepEph& e = kep_issue_at(i, t_ms);
    const int64_t period_ms = eph_period_ms(sat.sys);
    HeadFields h{};
    h.tt = static_cast<uint32_t>(sow_ms(t_ms) / 1000);
    h.iode = static_cast<uint16_t>(floor_div(e.issue_ms, period_ms) % 240);
    h.iodc = static_cast<int16_t>(h.iode);
    h.ura = 0;
    h.week = static_cast<int16_t>(gps_week(t_ms) % (type == T_LNAV ? 1024 : 8192));
    std::string s;
    s.reserve(168);
    put_head(s, sat, h, e);
    if (type != T_LNAV) {
        put8(s, type == T_CNAV ? 0x02 : 0x08);
        put32(s, static_cast<uint32_t>((e.issue_ms - e.week_ms) / 1000));  // t_op
        put32(s, 0);
        // A-dot and Delta n dot: small enough to move the orbit by millimetres
        // over an issue, so that CNAV and LNAV users see the same orbit.
        putf64(s, 1.0e-6 * std::sin(sat.prn + 0.5));
        putf32(s, static_cast<float>(1.0e-19 / PI));
        for (int k = 0; k < 4; ++k) put8(s, 0);  // URA indices
        if (type == T_CNAV) {
            putf32(s, 0.0f);
            putf32(s, isc_of(e, 1227.60));
            putf32(s, isc_of(e, 1176.45));
            putf32(s, isc_of(e, 1176.45));
        } else {
            putf32(s, 0.0f);  // L1C: same delay as L1 C/A
            putf32(s, 0.0f);
        }
        putf32(s, 0.0f);
    }
    emit(out, id, s);
    tally_issue(store, sat.prn, type, e.issue_ms);
}

static void emit_galileo(std::string& out, int i, bool fnav, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const KepEph& e = kep_issue_at(i, t_ms);
    HeadFields h{};
    h.tt = static_cast<uint32_t>(sow_ms(t_ms) / 1000);
    h.iode = static_cast<uint16_t>(floor_div(e.issue_ms, eph_period_ms(SYS_E)) % 1024);
    h.iodc = static_cast<int16_t>(h.iode);
    h.ura = 107;  // SISA 3.12 m
    h.week = static_cast<int16_t>((gps_week(t_ms) - 1024) % 4096);
    std::string s;
    s.reserve(150);
    put_head(s, sat, h, e);
    putf32(s, e.tgd2);  // BGD E1-E5a
    putf32(s, e.tgd);   // BGD E1-E5b
    putf32(s, 62.75f);
    putf32(s, 0.2265625f);
    putf32(s, 0.0048828125f);
    put8(s, 0);
    const uint8_t navdata = fnav ? 0x02 : 0x05;
    put8(s, navdata);
    put32(s, 0);
    emit(out, "EN", s);
    tally_issue(N_GAL_EPH, sat.prn, navdata, e.issue_ms);
}

// BeiDou types: "D1"/"D2" (length 134, flag bit 0), "CNV1" (152, bit 3),
// "CNV2" (160, bit 5). Times are BeiDou time.
static void emit_beidou(std::string& out, int i, int type, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const KepEph& e = kep_issue_at(i, t_ms);
    const int64_t bdt = t_ms - BDT_OFFSET_S * 1000;
    HeadFields h{};
    h.tt = static_cast<uint32_t>(sow_ms(bdt) / 1000);
    h.iode = static_cast<uint16_t>(floor_div(e.issue_ms, eph_period_ms(SYS_C)) % 32);
    h.iodc = static_cast<int16_t>(h.iode);
    h.ura = 2;
    h.week = static_cast<int16_t>(gps_week(bdt) - BDS_WEEK_OFFSET);
    std::string s;
    s.reserve(160);
    put_head(s, sat, h, e);
    putf32(s, e.tgd2);
    static const uint8_t FLAG[3] = {0x01, 0x08, 0x20};
    put8(s, FLAG[type]);
    put32(s, 0);
    if (type == 0) {
        put8(s, static_cast<uint8_t>(h.iode));  // AODC
        put8(s, static_cast<uint8_t>(h.iode));  // AODE
    } else {
        putf64(s, 1.0e-6 * std::cos(sat.prn + 0.25));  // A-dot: millimetres over an issue
        putf32(s, static_cast<float>(2.0e-19 / PI));
        putf32(s, 2.0f);
        put32(s, 0);
        if (type == 2) put64(s, 0);
    }
    emit(out, "CN", s);
    tally_issue(N_BDS_EPH, sat.prn, type, e.issue_ms);
}

static void emit_navic(std::string& out, int i, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const KepEph& e = kep_issue_at(i, t_ms);
    HeadFields h{};
    h.tt = static_cast<uint32_t>(sow_ms(t_ms) / 1000);
    h.iode = static_cast<uint16_t>(floor_div(e.issue_ms, eph_period_ms(SYS_I)) % 256);
    h.iodc = static_cast<int16_t>(h.iode);
    h.ura = 1;
    h.week = static_cast<int16_t>(gps_week(t_ms) % 1024);
    std::string s;
    s.reserve(122);
    put_head(s, sat, h, e);
    emit(out, "IE", s);
    tally_issue(N_NAVIC_EPH, sat.prn, 0, e.issue_ms);
}

// GLONASS: issues every 30 min, tb at the middle of each half hour (Moscow
// time); the newer satellites send the long form with its extension.
static void emit_glonass(std::string& out, int i, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const GloEph& e = glo_issue_at(i, t_ms);
    const int64_t msk = moscow_ms(t_ms);
    const int64_t sod = msk - floor_div(msk, MS_PER_DAY) * MS_PER_DAY;
    const int32_t tb = static_cast<int32_t>((sod / 1800000) * 1800 + 900);
    const int32_t tk = static_cast<int32_t>((sod / 30000) * 30);
    const CivilDate d = civil_from_days(GPS_EPOCH_DAYS + floor_div(msk, MS_PER_DAY));
    const int n4 = (d.y - 1996) / 4 + 1;
    const int nt = static_cast<int>(days_from_civil(d.y, d.m, d.d) - days_from_civil(1996 + 4 * (n4 - 1), 1, 1)) + 1;
    std::string s;
    s.reserve(103);
    put8(s, sat.prn);
    put8(s, static_cast<uint8_t>(sat.channel));
    put16(s, static_cast<uint16_t>(nt));
    put32(s, static_cast<uint32_t>(tk));
    put32(s, static_cast<uint32_t>(tb));
    put8(s, 0);  // health
    put8(s, 0);  // age
    put8(s, 0x05);
    for (int k = 0; k < 3; ++k) putf64(s, e.pos_km[k]);
    for (int k = 0; k < 3; ++k) putf32(s, e.vel_kms[k]);
    for (int k = 0; k < 3; ++k) putf32(s, e.acc_kms2[k]);
    putf64(s, -2.7e-8);  // tau sys
    putf32(s, e.tau);
    putf32(s, e.gamma);
    // Delta tau (L1-L2 delay difference) is broadcast but not in the ranges:
    // the GLONASS signals carry no group delay.
    putf32(s, static_cast<float>(-1.9e-9 + 1.0e-10 * (sat.prn % 5)));
    put8(s, 2);  // Ft
    put8(s, static_cast<uint8_t>(n4));
    put16(s, 0x0002);
    if (sat.modern) {
        put8(s, 0);
        put64(s, 0);
        put16(s, 0);
        put8(s, 0);
        put8(s, 0);
        put16(s, 0);
    }
    emit(out, "NE", s);
    tally_issue(N_GLO_EPH, sat.prn, 0, e.index);
}

// SBAS: a new ephemeris (IOD + 1) every 10 min, t0 in its middle.
static void emit_sbas(std::string& out, int i, int64_t t_ms) {
    const Sat& sat = g_sats[i];
    const SbasEph& e = sbas_issue_at(i, t_ms);
    const uint8_t iod = static_cast<uint8_t>((e.index + sat.prn) % 256);
    std::string s;
    s.reserve(72);
    put8(s, sat.prn);
    put8(s, 0);
    put8(s, iod);
    put8(s, 2);  // URA index
    put32(s, static_cast<uint32_t>(ms_of_day(e.t0_ms) / 1000));
    for (int j = 0; j < 3; ++j) putf64(s, e.pos[j]);
    for (int j = 0; j < 3; ++j) putf32(s, e.vel[j]);
    for (int j = 0; j < 3; ++j) putf32(s, e.acc[j]);
    putf32(s, e.agf0);
    putf32(s, e.agf1);
    put32(s, static_cast<uint32_t>(sow_ms(t_ms) / 1000));
    put16(s, static_cast<uint16_t>(gps_week(t_ms) - 2048));
    put16(s, 0);
    emit(out, "WE", s);
    tally_issue(N_SBAS_EPH, sat.prn, 0, e.index);
}

// Klobuchar set of the day (or of the BeiDou two-hour issue): alpha0 differs
// from one issue to the next, so every change is a new record.
static void iono_values(int64_t issue, int sys, float alpha[4], float beta[4]) {
    const int j = static_cast<int>(floor_mod(issue * 37 + sys, 17));
    alpha[0] = static_cast<float>(1.0e-8 + 1.0e-9 * j);
    alpha[1] = 7.4505806e-9f;
    alpha[2] = -5.9604645e-8f;
    alpha[3] = -5.9604645e-8f;
    beta[0] = static_cast<float>(88064.0 + 2048.0 * (j % 4));
    beta[1] = 0.0f;
    beta[2] = -196608.0f;
    beta[3] = -65536.0f;
}

static void emit_iono(std::string& out, const char* id, int64_t issue, int sys, uint32_t tot, uint16_t week) {
    float a[4], b[4];
    iono_values(issue, sys, a, b);
    std::string s;
    s.reserve(38);
    put32(s, tot);
    put16(s, week);
    for (int i = 0; i < 4; ++i) putf32(s, a[i]);
    for (int i = 0; i < 4; ++i) putf32(s, b[i]);
    emit(out, id, s);
    const Tally store = id[0] == 'I' && id[1] == 'O' ? N_GPS_ION : id[0] == 'Q' ? N_QZSS_ION : id[0] == 'I' ? N_NAVIC_ION
                                                                                                       : N_BDS_ION;
    s_tally[store].insert(s);
}

struct UtcFields {
    double a0;
    float a1;
    uint32_t tot;
    uint16_t wnt;
};

// UTC parameters of the day: A0 changes daily, tot is the day's start.
static UtcFields utc_values(int64_t day, int sys, int64_t day_start_ms, int64_t week_offset) {
    UtcFields u;
    u.a0 = 1.0e-9 * static_cast<double>(1 + floor_mod(day + sys, 7));
    u.a1 = 3.5527137e-15f;
    u.tot = static_cast<uint32_t>(sow_ms(day_start_ms) / 1000);
    u.wnt = static_cast<uint16_t>(gps_week(day_start_ms) - week_offset);
    return u;
}

static void put_utc(std::string& s, const UtcFields& u) {
    putf64(s, u.a0);
    putf32(s, u.a1);
    put32(s, u.tot);
    put16(s, u.wnt);
    put8(s, static_cast<uint8_t>(LEAP_SECONDS));
    put8(s, 7);    // DN
    put16(s, 137);  // WNlsf (week 1929, 8 bits)
    put8(s, static_cast<uint8_t>(LEAP_SECONDS));
}

static void emit_utc(std::string& out, const char* id, int64_t t_ms) {
    const bool bds = id[0] == 'C';
    const int64_t t = bds ? t_ms - BDT_OFFSET_S * 1000 : t_ms;
    const int64_t day = floor_div(t, MS_PER_DAY);
    const int sys = id[0];
    const UtcFields u = utc_values(day, sys, day * MS_PER_DAY, bds ? BDS_WEEK_OFFSET : 2048);
    std::string s;
    s.reserve(37);
    put_utc(s, u);
    if (id[0] == 'E') {
        // GST - GPST, constant: the Galileo ranges carry it (sim_orbit).
        putf32(s, GGTO_S);
        putf32(s, 0.0f);
        put32(s, u.tot);
        put16(s, u.wnt);
        emit(out, id, s);
        s_tally[N_GAL_UTC].insert(s);
        return;
    }
    if (id[0] == 'W') {
        put8(s, 0);
        put32(s, 0);
        put16(s, 0);
        put8(s, 0);
    }
    emit(out, id, s);
    switch (id[0]) {
        case 'U': s_tally[N_GPS_UTC].insert(s); break;
        case 'Q': s_tally[N_QZSS_UTC].insert(s); break;
        case 'C': s_tally[N_BDS_UTC].insert(s); break;
        case 'W': s_tally[N_SBAS_UTC].insert(s); break;
        case 'I': s_tally[N_NAVIC_UTC].insert(s); break;
        default: break;
    }
}

static void emit_glo_time(std::string& out, int64_t t_ms) {
    const int64_t day = floor_div(t_ms, MS_PER_DAY);
    std::string s;
    s.reserve(20);
    putf64(s, -1.0e-9 * static_cast<double>(1 + floor_mod(day, 5)));  // tau c
    putf32(s, 0.0f);  // tau GPS: GLONASS time is exactly UTC + 3 h = GPS time - leap seconds + 3 h
    put64(s, 0);
    emit(out, "NU", s);
    s_tally[N_GLO_TIME].insert(s);
}

void nav_receiver_info(std::string& out) {
    std::string jp = "RX001";
    jp += "VLX VLXSIM-RX 1.0";
    jp += '\0';
    emit(out, "JP", jp);

    std::string pm = "rcv/ver/main=\"3.7.5 Sim\"rcv/id=\"00VLXSIM0001DEMO0042XXXXXX\"rcv/igs=\"VLXSIM RX\"";
    pm += '\0';
    pm += std::string(3, '\0');  // the three trailing values that the reader keeps apart
    emit(out, "PM", pm);

    std::string ev = "ANT";
    ev += '\0';
    ev += '\0';  // byte 4: 0, so the antenna key counts
    ev += "_ANT=VLXSIM-ANT      NONE";
    ev += '\0';
    emit(out, "==", ev);

    std::string ai;
    put8(ai, 1);
    putf64(ai, 0.0);
    putf64(ai, 0.0);
    putf64(ai, 0.0);
    put8(ai, 0);
    for (int i = 0; i < 3; ++i) putf64(ai, 0.0);
    emit(out, "AI", ai);

    std::string pv;
    putf64(pv, g_rcv[0]);
    putf64(pv, g_rcv[1]);
    putf64(pv, g_rcv[2]);
    putf32(pv, 1.5f);
    for (int i = 0; i < 3; ++i) putf32(pv, 0.0f);
    putf32(pv, 0.05f);
    put8(pv, 1);
    emit(out, "PV", pv);

    std::string to;
    putf64(to, rcv_clock_s(0.0));
    putf64(to, 1.0e-9);
    emit(out, "TO", to);
}

// Emission bookkeeping per satellite and message type.
static int64_t s_eph_issue[MAX_SATS][3];
static int64_t s_eph_sent[MAX_SATS][3];
enum { A_IO, A_QI, A_II, A_CI, A_UO, A_QU, A_CU, A_IU, A_EU, A_WU, A_NU, N_AUX };
static int64_t s_aux_issue[N_AUX];
static int64_t s_aux_sent[N_AUX];
static bool s_init = false;

static bool due(int64_t& issue_slot, int64_t& sent_slot, int64_t issue, int64_t t_ms, int64_t repeat_ms) {
    if (issue_slot == issue && t_ms - sent_slot < repeat_ms) return false;
    issue_slot = issue;
    sent_slot = t_ms;
    return true;
}

void nav_epoch(std::string& out, int64_t t_ms, const int* in_view, int n_in_view, const bool* sys_on) {
    if (!s_init) {
        for (int i = 0; i < MAX_SATS; ++i)
            for (int j = 0; j < 3; ++j) s_eph_issue[i][j] = s_eph_sent[i][j] = LLONG_MIN / 2;
        for (int j = 0; j < N_AUX; ++j) s_aux_issue[j] = s_aux_sent[j] = LLONG_MIN / 2;
        s_init = true;
    }
    bool seen[NSYS] = {};
    for (int v = 0; v < n_in_view; ++v) {
        const int i = in_view[v];
        const Sat& sat = g_sats[i];
        seen[sat.sys] = true;
        switch (sat.sys) {
            case SYS_G:
            case SYS_J: {
                const char* id = sat.sys == SYS_G ? "GE" : "QE";
                const Tally st = sat.sys == SYS_G ? N_GPS_EPH : N_QZSS_EPH;
                const int64_t issue = floor_div(t_ms, eph_period_ms(sat.sys));
                // LNAV always; CNAV from the modern blocks; CNAV-2 from those with L1C.
                for (int type = T_LNAV; type <= T_CNV2; ++type) {
                    if (type == T_CNAV && !sat.modern) continue;
                    if (type == T_CNV2 && !(sat.bands & (1u << BAND_L))) continue;
                    if (due(s_eph_issue[i][type], s_eph_sent[i][type], issue, t_ms, REPEAT_EPH_MS))
                        emit_gps_like(out, id, st, i, type, t_ms);
                }
                break;
            }
            case SYS_E: {
                const int64_t issue = floor_div(t_ms, 600000);
                for (int type = 0; type < 2; ++type)
                    if (due(s_eph_issue[i][type], s_eph_sent[i][type], issue, t_ms, REPEAT_EPH_MS))
                        emit_galileo(out, i, type == 1, t_ms);
                break;
            }
            case SYS_C: {
                const int64_t issue = floor_div(t_ms - BDT_OFFSET_S * 1000, 3600000);
                const int ntypes = (sat.modern && sat.orbit != ORBIT_GEO) ? 3 : 1;
                for (int type = 0; type < ntypes; ++type)
                    if (due(s_eph_issue[i][type], s_eph_sent[i][type], issue, t_ms, REPEAT_EPH_MS))
                        emit_beidou(out, i, type, t_ms);
                break;
            }
            case SYS_I:
                if (due(s_eph_issue[i][0], s_eph_sent[i][0], floor_div(t_ms, 7200000), t_ms, REPEAT_EPH_MS))
                    emit_navic(out, i, t_ms);
                break;
            case SYS_R:
                if (due(s_eph_issue[i][0], s_eph_sent[i][0], floor_div(moscow_ms(t_ms), 1800000), t_ms,
                        REPEAT_EPH_MS))
                    emit_glonass(out, i, t_ms);
                break;
            case SYS_S:
                if (due(s_eph_issue[i][0], s_eph_sent[i][0], floor_div(t_ms, 600000), t_ms, REPEAT_EPH_MS))
                    emit_sbas(out, i, t_ms);
                break;
            default: break;
        }
    }

    // Ionosphere and time-system parameters of the systems in view.
    const int64_t day = floor_div(t_ms, MS_PER_DAY);
    const int64_t bdt = t_ms - BDT_OFFSET_S * 1000;
    const uint32_t day_sow = static_cast<uint32_t>(sow_ms(day * MS_PER_DAY) / 1000);
    const uint16_t week = static_cast<uint16_t>(gps_week(t_ms));
    auto aux = [&](int which, int64_t issue) { return due(s_aux_issue[which], s_aux_sent[which], issue, t_ms, REPEAT_AUX_MS); };
    if (sys_on[SYS_G] && seen[SYS_G]) {
        if (aux(A_IO, day)) emit_iono(out, "IO", day, 1, day_sow, week);
        if (aux(A_UO, day)) emit_utc(out, "UO", t_ms);
    }
    if (sys_on[SYS_J] && seen[SYS_J]) {
        if (aux(A_QI, day)) emit_iono(out, "QI", day, 5, day_sow, week);
        if (aux(A_QU, day)) emit_utc(out, "QU", t_ms);
    }
    if (sys_on[SYS_I] && seen[SYS_I]) {
        if (aux(A_II, day)) emit_iono(out, "II", day, 7, day_sow, week);
        if (aux(A_IU, day)) emit_utc(out, "IU", t_ms);
    }
    if (sys_on[SYS_C] && seen[SYS_C]) {
        const int64_t issue = floor_div(bdt, 7200000);
        if (aux(A_CI, issue))
            emit_iono(out, "CI", issue, 6, static_cast<uint32_t>(sow_ms(issue * 7200000) / 1000),
                      static_cast<uint16_t>(gps_week(bdt) - BDS_WEEK_OFFSET));
        if (aux(A_CU, floor_div(bdt, MS_PER_DAY))) emit_utc(out, "CU", t_ms);
    }
    if (sys_on[SYS_E] && seen[SYS_E] && aux(A_EU, day)) emit_utc(out, "EU", t_ms);
    if (sys_on[SYS_S] && seen[SYS_S] && aux(A_WU, day)) emit_utc(out, "WU", t_ms);
    if (sys_on[SYS_R] && seen[SYS_R] && aux(A_NU, day)) emit_glo_time(out, t_ms);
}

}  // namespace vlxsim
