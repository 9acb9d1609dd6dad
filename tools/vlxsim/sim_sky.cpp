// The satellite catalogue and the orbit geometry of the simulator. Orbits are
// circular and Keplerian; that is enough for smooth ranges, Dopplers of a few
// kHz, and satellites that rise and set during a long log.
#include "sim_sky.h"

#include <cmath>

#include "sim_rng.h"
#include "sim_time.h"

namespace vlxsim {

Sat g_sats[MAX_SATS];
int g_nsats = 0;
double g_rcv[3];
double g_up[3];
double g_rcv_lat;
double g_rcv_lon;
int64_t g_start_ms = 0;

// Earth rotation angle at the log start (rad).
static double s_theta_start = 0.0;

constexpr double DEG = PI / 180.0;
constexpr double GM = 3.986004418e14;
// Radius of a geosynchronous orbit: mean motion equal to the Earth's rotation.
static const double A_GEO = std::cbrt(GM / (OMEGA_E * OMEGA_E));

// Receiver site: a latitude where every simulated system is in view
// (BeiDou, QZSS and NavIC geostationary and inclined satellites included).
constexpr double SITE_LAT_DEG = 13.7563;
constexpr double SITE_LON_DEG = 100.5018;
constexpr double SITE_H = 20.0;

// GLONASS frequency channel of each orbital slot 1..24.
static const int8_t GLO_CHANNEL[25] = {0,  1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1,
                                       -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2};

static bool in_list(int v, const int* list, int n) {
    for (int i = 0; i < n; ++i)
        if (list[i] == v) return true;
    return false;
}

static void set_plane(Sat& s) {
    const double cO = std::cos(s.raan), sO = std::sin(s.raan);
    const double ci = std::cos(s.incl), si = std::sin(s.incl);
    s.P[0] = cO;
    s.P[1] = sO;
    s.P[2] = 0.0;
    s.Q[0] = -sO * ci;
    s.Q[1] = cO * ci;
    s.Q[2] = si;
}

static Sat& add_sat(uint8_t sys, uint8_t prn, Rng& rng) {
    Sat& s = g_sats[g_nsats++];
    s = Sat{};
    s.sys = sys;
    s.prn = prn;
    s.arg_perigee = rng_range(rng, -PI, PI);
    s.ecc = rng_range(rng, 0.001, 0.015);
    s.af0 = rng_range(rng, -4e-4, 4e-4);
    s.af1 = rng_range(rng, -5e-12, 5e-12);
    return s;
}

static void medium(Sat& s, double a, double incl_deg, double raan_deg, double u_deg, Rng& rng) {
    s.orbit = ORBIT_MEO;
    s.a = a;
    s.n = std::sqrt(GM / (a * a * a));
    s.incl = incl_deg * DEG;
    s.raan = raan_deg * DEG + rng_range(rng, -2.0, 2.0) * DEG;
    s.u_start = u_deg * DEG + rng_range(rng, -5.0, 5.0) * DEG;
    set_plane(s);
}

// Inclined geosynchronous: a figure-eight ground track whose node lies at
// lon_deg; phase_deg spreads satellites that share the track.
static void inclined_geo(Sat& s, double lon_deg, double incl_deg, double phase_deg) {
    s.orbit = ORBIT_IGSO;
    s.a = A_GEO;
    s.n = OMEGA_E;
    s.incl = incl_deg * DEG;
    s.u_start = phase_deg * DEG;
    // The ascending node crosses longitude raan - theta_start + u_start.
    s.raan = lon_deg * DEG + s_theta_start - s.u_start;
    set_plane(s);
    s.ecc = 0.0005;
}

static void stationary(Sat& s, double lon_deg) {
    s.orbit = ORBIT_GEO;
    s.a = A_GEO;
    s.n = OMEGA_E;
    s.incl = 0.0;
    s.raan = 0.0;
    s.u_start = lon_deg * DEG + s_theta_start;
    set_plane(s);
    s.ecc = 0.0002;
}

void build_catalogue(uint64_t seed, int64_t start_ms) {
    g_nsats = 0;
    g_start_ms = start_ms;
    Rng rng = rng_stream(seed, 0x5C7);
    const long double t0 = static_cast<long double>(start_ms) / 1000.0L;
    s_theta_start = static_cast<double>(std::fmod(static_cast<long double>(OMEGA_E) * t0, 2.0L * PI));

    // Receiver site on the WGS84 ellipsoid.
    const double a = 6378137.0, f = 1.0 / 298.257223563, e2 = f * (2.0 - f);
    g_rcv_lat = SITE_LAT_DEG * DEG;
    g_rcv_lon = SITE_LON_DEG * DEG;
    const double sl = std::sin(g_rcv_lat), cl = std::cos(g_rcv_lat);
    const double N = a / std::sqrt(1.0 - e2 * sl * sl);
    g_rcv[0] = (N + SITE_H) * cl * std::cos(g_rcv_lon);
    g_rcv[1] = (N + SITE_H) * cl * std::sin(g_rcv_lon);
    g_rcv[2] = (N * (1.0 - e2) + SITE_H) * sl;
    g_up[0] = cl * std::cos(g_rcv_lon);
    g_up[1] = cl * std::sin(g_rcv_lon);
    g_up[2] = sl;

    const uint8_t CA = 1u << BAND_CA, B1 = 1u << BAND_1, B2 = 1u << BAND_2, B3 = 1u << BAND_3,
                  B5 = 1u << BAND_5, BL = 1u << BAND_L;

    // GPS: six planes; the block decides L2C, L5 and L1C.
    static const int GPS_III[] = {4, 11, 14, 18, 21, 23, 28};
    static const int GPS_IIF[] = {1, 3, 6, 8, 9, 10, 24, 25, 26, 27, 30, 32};
    static const int GPS_IIR[] = {2, 13, 16, 19, 20, 22};
    for (int prn = 1; prn <= 32; ++prn) {
        if (prn == 31) continue;  // a PRN out of service
        Sat& s = add_sat(SYS_G, static_cast<uint8_t>(prn), rng);
        const int plane = (prn - 1) % 6, idx = (prn - 1) / 6;
        medium(s, 26559.7e3, 55.0, plane * 60.0, idx * 60.0 + plane * 10.0, rng);
        const bool iii = in_list(prn, GPS_III, 7), iif = in_list(prn, GPS_IIF, 12);
        s.bands = CA | B1 | B2;
        if (!in_list(prn, GPS_IIR, 6)) s.bands |= B3;
        if (iii || iif) s.bands |= B5;
        if (iii) s.bands |= BL;
        s.modern = (iii || iif) ? 1 : 0;
    }
    // GLONASS: three planes of eight slots; K and M+ satellites add L3.
    for (int slot = 1; slot <= 24; ++slot) {
        Sat& s = add_sat(SYS_R, static_cast<uint8_t>(slot), rng);
        const int plane = (slot - 1) / 8, idx = (slot - 1) % 8;
        medium(s, 25508.0e3, 64.8, plane * 120.0, idx * 45.0 + plane * 15.0, rng);
        s.channel = GLO_CHANNEL[slot];
        s.bands = CA | B1 | B2 | B3;
        if (slot == 9 || slot == 11 || slot == 17 || slot == 21) {
            s.bands |= B5;
            s.modern = 1;
        }
    }
    // Galileo: three planes of eight.
    static const int GAL[] = {2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 15, 19, 21, 24, 25, 26, 27, 29, 30, 31, 33, 34, 36};
    for (int i = 0; i < 24; ++i) {
        Sat& s = add_sat(SYS_E, static_cast<uint8_t>(GAL[i]), rng);
        medium(s, 29600.3e3, 56.0, (i % 3) * 120.0, (i / 3) * 45.0 + (i % 3) * 15.0, rng);
        s.bands = CA | B1 | B2 | B3 | B5;
    }
    // QZSS: three inclined geosynchronous on one track and one geostationary.
    static const int QZS_IGSO[] = {193, 194, 195};
    for (int i = 0; i < 3; ++i) {
        Sat& s = add_sat(SYS_J, static_cast<uint8_t>(QZS_IGSO[i]), rng);
        inclined_geo(s, 136.0, 41.0, i * 120.0);
        s.bands = CA | B2 | B3 | B5 | BL;
        s.modern = 1;
    }
    {
        Sat& s = add_sat(SYS_J, 199, rng);
        stationary(s, 127.0);
        s.bands = CA | B2 | B3 | B5 | BL;
        s.modern = 1;
    }
    // BeiDou: geostationary 1-5 and 59-63, inclined 6-10 and 38, medium 19-37.
    static const int BDS_GEO[] = {1, 3, 59, 60};
    static const double BDS_GEO_LON[] = {140.0, 110.5, 144.5, 80.0};
    for (int i = 0; i < 4; ++i) {
        Sat& s = add_sat(SYS_C, static_cast<uint8_t>(BDS_GEO[i]), rng);
        stationary(s, BDS_GEO_LON[i]);
        s.bands = CA | B2 | B3;
        s.modern = BDS_GEO[i] >= 59 ? 1 : 0;
    }
    static const int BDS_IGSO[] = {6, 9, 10, 38};
    static const double BDS_IGSO_LON[] = {118.0, 95.0, 118.0, 110.0};
    static const double BDS_IGSO_PHASE[] = {0.0, 60.0, 240.0, 150.0};
    for (int i = 0; i < 4; ++i) {
        Sat& s = add_sat(SYS_C, static_cast<uint8_t>(BDS_IGSO[i]), rng);
        inclined_geo(s, BDS_IGSO_LON[i], 55.0, BDS_IGSO_PHASE[i]);
        s.bands = CA | B2 | B3;
        if (BDS_IGSO[i] >= 19) {
            s.bands |= B1 | B5 | BL;
            s.modern = 1;
        }
    }
    static const int BDS_MEO[] = {19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 34, 35, 36, 37};
    for (int i = 0; i < 18; ++i) {
        Sat& s = add_sat(SYS_C, static_cast<uint8_t>(BDS_MEO[i]), rng);
        medium(s, 27906.1e3, 55.0, (i % 3) * 120.0, (i / 3) * 60.0 + (i % 3) * 20.0, rng);
        s.bands = CA | B1 | B2 | B3 | B5 | BL;
        s.modern = 1;
    }
    // NavIC: two geostationary (one with L1) and two inclined.
    {
        Sat& s = add_sat(SYS_I, 3, rng);
        stationary(s, 83.0);
        s.bands = CA | B5;
    }
    {
        Sat& s = add_sat(SYS_I, 5, rng);
        inclined_geo(s, 111.75, 29.0, 30.0);
        s.bands = CA | B5;
    }
    {
        Sat& s = add_sat(SYS_I, 9, rng);
        inclined_geo(s, 55.0, 29.0, 200.0);
        s.bands = CA | B5;
    }
    {
        Sat& s = add_sat(SYS_I, 10, rng);
        stationary(s, 129.5);
        s.bands = CA | B5 | BL;
        s.modern = 1;
    }
    // SBAS: EGNOS 123 (with L5) and GAGAN 127.
    {
        Sat& s = add_sat(SYS_S, 123, rng);
        stationary(s, 31.5);
        s.bands = CA | B5;
    }
    {
        Sat& s = add_sat(SYS_S, 127, rng);
        stationary(s, 55.0);
        s.bands = CA | B5;
    }
}

double earth_angle(double t) { return s_theta_start + OMEGA_E * t; }

void sat_state(const Sat& s, double t, double pos[3], double vel[3]) {
    const double u = s.u_start + s.n * t;
    const double cu = std::cos(u), su = std::sin(u);
    double ri[3], vi[3];
    for (int k = 0; k < 3; ++k) {
        ri[k] = s.a * (cu * s.P[k] + su * s.Q[k]);
        vi[k] = s.a * s.n * (-su * s.P[k] + cu * s.Q[k]);
    }
    const double th = earth_angle(t);
    const double ct = std::cos(th), st = std::sin(th);
    pos[0] = ct * ri[0] + st * ri[1];
    pos[1] = -st * ri[0] + ct * ri[1];
    pos[2] = ri[2];
    // d/dt of the rotated position: rotated inertial velocity plus the frame term.
    vel[0] = ct * vi[0] + st * vi[1] + OMEGA_E * pos[1];
    vel[1] = -st * vi[0] + ct * vi[1] - OMEGA_E * pos[0];
    vel[2] = vi[2];
}

Look look_at(const Sat& s, double t) {
    double p[3], v[3];
    sat_state(s, t, p, v);
    const double d[3] = {p[0] - g_rcv[0], p[1] - g_rcv[1], p[2] - g_rcv[2]};
    const double r = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    Look l;
    l.range = r;
    l.rate = (d[0] * v[0] + d[1] * v[1] + d[2] * v[2]) / r;
    l.elev = std::asin((d[0] * g_up[0] + d[1] * g_up[1] + d[2] * g_up[2]) / r);
    return l;
}

// Band carriers in MHz by system and band (0 = band not used by that system).
static const double BAND_MHZ[NSYS][NBAND] = {
    {1575.42, 1575.42, 1227.60, 1227.60, 1176.45, 1575.42},    // GPS
    {0, 0, 0, 0, 1202.025, 0},                                  // GLONASS (L1, L2 by channel)
    {1575.42, 1191.795, 1207.14, 1278.75, 1176.45, 0},          // Galileo
    {1575.42, 1575.42, 1278.75, 1227.60, 1176.45, 1575.42},     // QZSS
    {1561.098, 1191.795, 1207.14, 1268.52, 1176.45, 1575.42},   // BeiDou
    {2492.028, 0, 0, 0, 1176.45, 1575.42},                      // NavIC
    {1575.42, 0, 0, 0, 1176.45, 0},                             // SBAS
};

double band_mhz(const Sat& s, int band) {
    if (s.sys == SYS_R) {
        if (band == BAND_CA || band == BAND_1) return 1602.0 + 0.5625 * s.channel;
        if (band == BAND_2 || band == BAND_3) return 1246.0 + 0.4375 * s.channel;
    }
    return BAND_MHZ[s.sys][band];
}

double ref_mhz(const Sat& s) {
    if (s.sys == SYS_R) return 1602.0 + 0.5625 * s.channel;
    if (s.sys == SYS_C) return 1561.098;
    return 1575.42;
}

}  // namespace vlxsim
