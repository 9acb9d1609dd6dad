// The simulated sky: a fixed catalogue of satellites (medium, inclined
// geosynchronous and geostationary orbits) described by the broadcast orbit
// and clock models of their systems, the receiver site, and the carriers of
// each signal band.
#pragma once

#include <cstdint>

namespace vlxsim {

// System index of the simulator ("--systems" letters in this order).
enum Sys : uint8_t { SYS_G, SYS_R, SYS_E, SYS_J, SYS_C, SYS_I, SYS_S, NSYS };
inline constexpr char SYS_LETTERS[] = "GREJCIS";
// Satellite-list system codes of the log, by system index.
inline constexpr uint8_t SX_CODE[NSYS] = {1, 2, 4, 5, 6, 7, 3};

// Signal bands: the slots of the flag messages "FC" "F1" "F2" "F3" "F5" "Fl".
enum Band : uint8_t { BAND_CA, BAND_1, BAND_2, BAND_3, BAND_5, BAND_L, NBAND };

enum Orbit : uint8_t { ORBIT_MEO, ORBIT_IGSO, ORBIT_GEO };

// One satellite of the catalogue. Its orbit and clock are those of the
// broadcast model of its system (Keplerian elements; GLONASS: the state vector
// integrated from them), given here at the log start; every ephemeris issue is
// these elements carried to its own reference time (sim_orbit).
struct Sat {
    uint8_t sys;
    uint8_t prn;      // PRN; GLONASS: orbital slot
    int8_t channel;   // GLONASS frequency channel, else 0
    uint8_t orbit;
    uint8_t bands;    // bit b set: band b transmitted
    uint8_t modern;   // GPS III/IIF, GLONASS-K, BeiDou-3: newer message types
    uint8_t cdma;     // GLONASS: bands of the code-division signals (BAND_CA L1OC, BAND_3 L2OC, BAND_5 L3OC)
    double sqrt_a;    // sqrt(m)
    double ecc;
    double omega;     // argument of perigee, rad
    double incl;      // rad (BeiDou GEO: in the frame of the GEO rotation)
    double node;      // longitude of the ascending node at the log start, Earth-fixed, rad
    double mean_anom; // mean anomaly at the log start, rad
    float dn_sc;      // broadcast Delta n, OMEGA DOT and IDOT (semicircles/s)
    float omd_sc;
    float idot_sc;
    float crc, crs, cuc, cus, cic, cis;  // harmonic corrections (m, rad)
    double clk0;      // clock offset at the log start, s
    float clk1;       // clock drift, s/s
    float tgd;        // group delay: GPS/QZSS/NavIC TGD, Galileo BGD E1-E5b, BeiDou TGD1
    float tgd2;       // Galileo BGD E1-E5a, BeiDou TGD2
};

inline constexpr int MAX_SATS = 192;
extern Sat g_sats[MAX_SATS];
extern int g_nsats;

// Receiver site (ECEF, m) and its local up direction. The "PV" message
// carries this position exactly.
extern double g_rcv[3];
extern double g_up[3];
extern double g_rcv_lat;  // rad
extern double g_rcv_lon;  // rad
extern int64_t g_start_ms;  // GPS time of the log start, ms

inline constexpr double C_LIGHT = 299792458.0;

// Hides a constant from the compiler, so that a library function of it is
// evaluated by the C library at run time, never folded at build time (with
// other rounding): optimised and debug builds then write the same log.
inline double at_run_time(double v) {
    volatile double x = v;
    return x;
}
inline constexpr double PI = 3.141592653589793;

// Receiver clock offset (s) t seconds after the log start: 15 m and a drift
// of 2 mm/s. The ranges contain it and "TO" reports it.
inline double rcv_clock_s(double t) { return (15.0 + 0.002 * t) / C_LIGHT; }

// Galileo system time minus GPS time as broadcast (s); the Galileo satellite
// clocks run on Galileo time.
inline constexpr float GGTO_S = 2.3283064e-9f;

// Earth's gravitational constant and rotation rate of each system's broadcast
// model (GPS, QZSS, NavIC and SBAS: WGS-84; Galileo; BeiDou: CGCS2000;
// GLONASS: PZ-90).
struct SysConst {
    double gm;
    double omega_e;
};
SysConst sys_const(int sys);

// Builds the catalogue for a log starting at GPS time start_ms; seed jitters
// orbit phases and clock terms.
void build_catalogue(uint64_t seed, int64_t start_ms);

// Carrier of a band and the reference carrier of the Doppler base, in MHz;
// both follow the converter's tables (GLONASS by frequency channel).
double band_mhz(const Sat& s, int band);
double ref_mhz(const Sat& s);
// The same for the GLONASS code-division signals (one carrier per band).
double cdma_band_mhz(int band);
inline constexpr double CDMA_REF_MHZ = 1600.995;

}  // namespace vlxsim
