// The simulated sky: a fixed catalogue of satellites on circular orbits
// (medium, inclined geosynchronous and geostationary) and their geometry as
// seen from one receiver site, plus the carriers of each signal band.
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

// One satellite of the catalogue. Orbit plane basis P, Q is inertial; the
// argument of latitude is u_start + n * t with t in seconds from the log start.
struct Sat {
    uint8_t sys;
    uint8_t prn;      // PRN; GLONASS: orbital slot
    int8_t channel;   // GLONASS frequency channel, else 0
    uint8_t orbit;
    uint8_t bands;    // bit b set: band b transmitted
    uint8_t modern;   // GPS III/IIF, GLONASS-K, BeiDou-3: newer message types
    double a;         // orbit radius, m
    double n;         // mean motion, rad/s
    double incl;      // rad
    double raan;      // inertial node, rad
    double u_start;   // argument of latitude at the log start, rad
    double P[3];
    double Q[3];
    double arg_perigee;  // for the broadcast elements, rad
    double ecc;          // for the broadcast elements
    double af0;          // broadcast clock offset, s
    double af1;          // broadcast clock drift, s/s
};

inline constexpr int MAX_SATS = 192;
extern Sat g_sats[MAX_SATS];
extern int g_nsats;

// Receiver site (ECEF, m) and its local up direction.
extern double g_rcv[3];
extern double g_up[3];
extern double g_rcv_lat;  // rad
extern double g_rcv_lon;  // rad
extern int64_t g_start_ms;  // GPS time of the log start, ms

inline constexpr double C_LIGHT = 299792458.0;
inline constexpr double OMEGA_E = 7.2921151467e-5;
inline constexpr double PI = 3.141592653589793;

// Builds the catalogue for a log starting at GPS time start_ms; seed jitters
// orbit phases and clock terms.
void build_catalogue(uint64_t seed, int64_t start_ms);

// Earth rotation angle t seconds after the log start.
double earth_angle(double t);

// ECEF position (m) and velocity (m/s) of a satellite t seconds after the log start.
void sat_state(const Sat& s, double t, double pos[3], double vel[3]);

struct Look {
    double range;  // geometric range, m
    double rate;   // range rate, m/s
    double elev;   // elevation, rad
};
Look look_at(const Sat& s, double t);

// Carrier of a band and the reference carrier of the Doppler base, in MHz;
// both follow the converter's tables (GLONASS by frequency channel).
double band_mhz(const Sat& s, int band);
double ref_mhz(const Sat& s);

}  // namespace vlxsim
