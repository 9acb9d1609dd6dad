// Broadcast orbits and clocks of the simulated satellites. The truth of the
// simulator is the broadcast model itself: each issue of an ephemeris holds
// its fields exactly as the log carries them (single-precision fields
// narrowed, angles as the converter scales them), and a satellite's position
// and clock at any instant are those fields evaluated by the system's own
// model. Successive issues describe the same orbit and clock, so that a user
// may take any issue near its reference time.
#pragma once

#include <cstdint>

#include "sim_sky.h"

namespace vlxsim {

// One Keplerian issue (GPS, QZSS, Galileo, BeiDou, NavIC). Angles are kept
// both as broadcast (semicircles) and as the converter decodes them (radians).
struct KepEph {
    int64_t issue_ms;  // toe = toc, in the system's own time (ms on the GPS-epoch day count)
    int64_t week_ms;   // start of the week of toe, same scale
    double t_toe;      // toe as seconds from the log start, GPS time
    double sqrt_a, ecc;
    double m0_sc, node0_sc, i0_sc, omega_sc;  // broadcast, semicircles
    double m0, node0, i0, omega;              // decoded, rad
    float dn_sc, omd_sc, idot_sc;             // broadcast, semicircles/s
    float dn, omd, idot;                      // decoded, rad/s
    float crc, crs, cuc, cus, cic, cis;
    float af0, af1, af2;
    float tgd, tgd2;
};

// One GLONASS issue: the state at tb in the units of the message (km, km/s,
// km/s^2) and the clock terms; plus the integrated states around tb.
struct GloEph {
    int64_t index;   // half hours of Moscow time since the GPS epoch day count
    int64_t tb_ms;   // tb as GPS time, ms
    double t_tb;     // tb as seconds from the log start, GPS time
    double pos_km[3];
    float vel_kms[3];
    float acc_kms2[3];
    float tau;    // -tau is the clock offset at tb
    float gamma;  // relative frequency offset
    double grid[63][6];  // states (m, m/s) at tb + 30 s * (j - 31)
};

// One SBAS issue: position, velocity and acceleration at t0 and the clock terms.
struct SbasEph {
    int64_t index;  // ten-minute slots since the GPS epoch
    int64_t t0_ms;  // GPS time
    double t_t0;    // seconds from the log start
    double pos[3];  // m
    float vel[3];   // m/s
    float acc[3];   // m/s^2
    float agf0, agf1;
};

// Update period of the ephemerides of a system (ms) and the offset of its
// time scale behind GPS time (ms; BeiDou 14 s).
int64_t eph_period_ms(int sys);
int64_t sys_time_offset_ms(int sys);

// The issue of satellite i that is broadcast at GPS time t_ms (cached).
const KepEph& kep_issue_at(int i, int64_t t_ms);
const GloEph& glo_issue_at(int i, int64_t t_ms);
const SbasEph& sbas_issue_at(int i, int64_t t_ms);

// Earth-fixed position (m) and velocity (m/s) of satellite i at time t
// (seconds from the log start, GPS time), from the issue broadcast at GPS
// time issue_t_ms; clock offset (s, relativistic term included for the
// Keplerian systems; no group delay) and its rate.
struct SatState {
    double pos[3];
    double vel[3];
    double clk;
    double clk_rate;
};
void sat_state(int i, int64_t issue_t_ms, double t, SatState* st);

// Geometry of a signal received at true time t_rx (seconds from the log
// start, GPS time): travel time solved with the transmit-time position, the
// Earth's rotation during the travel applied; range and range rate (m, m/s),
// elevation (rad), and the satellite clock at transmission (s) and its rate
// per second of receive time.
struct Look {
    double range;
    double rate;
    double elev;
    double clk;
    double clk_rate;
    double tau;  // travel time, s
};
Look look_at(int i, int64_t issue_t_ms, double t_rx, double tau_guess);

}  // namespace vlxsim
