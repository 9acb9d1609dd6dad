// The satellite catalogue of the simulator: orbit elements and clock terms of
// every satellite at the log start, the receiver site and the band carriers.
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

constexpr double DEG = PI / 180.0;

SysConst sys_const(int sys) {
    switch (sys) {
        case SYS_E: return {3.986004418e14, 7.2921151467e-5};
        case SYS_C: return {3.986004418e14, 7.292115e-5};
        case SYS_R: return {3.9860044e14, 7.292115e-5};
        default: return {3.986005e14, 7.2921151467e-5};  // GPS, QZSS, NavIC, SBAS
    }
}

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

// Mean anomaly of a true anomaly nu on an orbit of eccentricity e.
static double mean_of_true(double nu, double e) {
    const double E = 2.0 * std::atan(std::sqrt((1.0 - e) / (1.0 + e)) * std::tan(nu / 2.0));
    return E - e * std::sin(E);
}

// Places the satellite at argument of latitude u (rad) at the log start.
static void set_phase(Sat& s, double u) { s.mean_anom = mean_of_true(u - s.omega, s.ecc); }

static Sat& add_sat(uint8_t sys, uint8_t prn, Rng& rng) {
    Sat& s = g_sats[g_nsats++];
    s = Sat{};
    s.sys = sys;
    s.prn = prn;
    s.omega = rng_range(rng, -PI, PI);
    s.ecc = rng_range(rng, 0.001, 0.015);
    s.clk0 = rng_range(rng, -4e-4, 4e-4);
    s.clk1 = static_cast<float>(rng_range(rng, -5e-12, 5e-12));
    // Broadcast rates and harmonic terms of the satellite, the same in every
    // issue (IDOT: the mean rate; each issue adjusts it to its rounded i0).
    const double k = at_run_time(prn + 3.0 * sys);
    s.dn_sc = static_cast<float>(4.5e-9 / PI);
    s.omd_sc = static_cast<float>(-8.0e-9 / PI);
    s.idot_sc = static_cast<float>(1.0e-10 / PI);
    s.crc = static_cast<float>(180.0 + 60.0 * std::sin(k));
    s.crs = static_cast<float>(20.0 + 15.0 * std::cos(k));
    s.cuc = static_cast<float>(1.0e-6 * std::sin(0.3 * k));
    s.cus = static_cast<float>(6.0e-6 * std::cos(0.7 * k));
    s.cic = static_cast<float>(5.0e-8 * std::sin(1.3 * k));
    s.cis = static_cast<float>(-6.0e-8 * std::cos(0.9 * k));
    s.tgd = static_cast<float>(-4.0e-9 - 1.0e-10 * (prn % 20));
    s.tgd2 = sys == SYS_E ? 2.1e-9f : -3.1e-9f;
    return s;
}

static void medium(Sat& s, double a, double incl_deg, double node_deg, double u_deg, Rng& rng) {
    s.orbit = ORBIT_MEO;
    s.sqrt_a = std::sqrt(a);
    s.incl = incl_deg * DEG;
    s.node = node_deg * DEG + rng_range(rng, -2.0, 2.0) * DEG;
    set_phase(s, u_deg * DEG + rng_range(rng, -5.0, 5.0) * DEG);
}

// Radius of a geosynchronous orbit in a system's model: mean motion equal to
// the Earth's rotation.
static double geo_radius(int sys) {
    const SysConst k = sys_const(sys);
    return std::cbrt(at_run_time(k.gm / (k.omega_e * k.omega_e)));
}

// Inclined geosynchronous: a figure-eight ground track whose node lies at
// lon_deg; phase_deg spreads satellites that share the track.
static void inclined_geo(Sat& s, double lon_deg, double incl_deg, double phase_deg) {
    s.orbit = ORBIT_IGSO;
    s.sqrt_a = std::sqrt(geo_radius(s.sys));
    s.incl = incl_deg * DEG;
    s.ecc = 0.0005;
    // The satellite crosses its ascending node at lon_deg.
    s.node = (lon_deg - phase_deg) * DEG;
    set_phase(s, phase_deg * DEG);
}

// Geostationary at lon_deg: no rates and no harmonic terms. BeiDou GEO
// satellites are given in the frame of their system's GEO rotation: an orbit
// inclined by 5 degrees with its node at 180 degrees there lies in the equator.
static void stationary(Sat& s, double lon_deg) {
    s.orbit = ORBIT_GEO;
    s.sqrt_a = std::sqrt(geo_radius(s.sys));
    s.ecc = 0.0002;
    s.dn_sc = s.omd_sc = s.idot_sc = 0.0f;
    s.crc = s.crs = s.cuc = s.cus = s.cic = s.cis = 0.0f;
    if (s.sys == SYS_C) {
        s.incl = 5.0 * DEG;  // exactly the tilt of the GEO rotation
        s.node = PI;
        set_phase(s, lon_deg * DEG - PI);
    } else {
        s.incl = 0.0;
        s.node = 0.0;
        set_phase(s, lon_deg * DEG);
    }
}

void build_catalogue(uint64_t seed, int64_t start_ms) {
    g_nsats = 0;
    g_start_ms = start_ms;
    Rng rng = rng_stream(seed, 0x5C7);

    // Receiver site on the WGS84 ellipsoid.
    const double a = 6378137.0, f = 1.0 / 298.257223563, e2 = f * (2.0 - f);
    g_rcv_lat = at_run_time(SITE_LAT_DEG * DEG);
    g_rcv_lon = at_run_time(SITE_LON_DEG * DEG);
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
    // GLONASS: three planes of eight slots; K and M+ satellites add L3 and
    // the code-division signals (L1OC and L3OC; the K2 satellites 11 and 21 also L2OC).
    for (int slot = 1; slot <= 24; ++slot) {
        Sat& s = add_sat(SYS_R, static_cast<uint8_t>(slot), rng);
        const int plane = (slot - 1) / 8, idx = (slot - 1) % 8;
        medium(s, 25508.0e3, 64.8, plane * 120.0, idx * 45.0 + plane * 15.0, rng);
        s.channel = GLO_CHANNEL[slot];
        s.bands = CA | B1 | B2 | B3;
        if (slot == 9 || slot == 11 || slot == 17 || slot == 21) {
            s.bands |= B5;
            s.modern = 1;
            s.cdma = CA | B5;
            if (slot == 11 || slot == 21) s.cdma |= B3;
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

double cdma_band_mhz(int band) {
    if (band == BAND_3) return 1248.06;
    if (band == BAND_5) return 1202.025;
    return CDMA_REF_MHZ;
}

double ref_mhz(const Sat& s) {
    if (s.sys == SYS_R) return 1602.0 + 0.5625 * s.channel;
    if (s.sys == SYS_C) return 1561.098;
    return 1575.42;
}

}  // namespace vlxsim
