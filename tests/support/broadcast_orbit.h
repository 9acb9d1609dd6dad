// Satellite positions and clocks from broadcast navigation data, written
// from the public interface documents of each system: the Keplerian model
// with harmonic corrections (GPS, QZSS, NavIC, Galileo, BeiDou, BeiDou GEO
// included) and the GLONASS state vector integrated with the J2 term. Used by
// the end-to-end positioning checks; plain double-precision arithmetic.
#pragma once

#include <cmath>

namespace orbit {

constexpr double C = 299792458.0;

// Gravitational constant (m^3/s^2) and Earth rotation rate (rad/s) of the
// reference frame a system's broadcast elements refer to.
struct Frame {
    double gm;
    double omega_e;
};
constexpr Frame WGS84 = {3.986005e14, 7.2921151467e-5};     // GPS, QZSS, NavIC
constexpr Frame GTRF = {3.986004418e14, 7.2921151467e-5};   // Galileo
constexpr Frame CGCS2000 = {3.986004418e14, 7.292115e-5};   // BeiDou

// Keplerian broadcast ephemeris. Times toc and toe are seconds on the caller's
// continuous GPS time line; toe_sow is the reference time as broadcast
// (seconds of the system's own week), from which the node longitude counts.
struct Kepler {
    Frame frame = WGS84;
    bool geo = false;  // BeiDou geostationary satellite: its own rotation
    double toc = 0, toe = 0, toe_sow = 0;
    double af0 = 0, af1 = 0, af2 = 0;
    double group_delay = 0;  // s, subtracted for the single-frequency signal used
    double sqrt_a = 0, e = 0, m0 = 0, delta_n = 0;
    double omega0 = 0, omega_dot = 0, i0 = 0, idot = 0, omega = 0;
    double cuc = 0, cus = 0, crc = 0, crs = 0, cic = 0, cis = 0;
};

// Earth-fixed position (m) at time t (same line as toe); also returns the
// eccentric anomaly, which the relativistic clock term needs.
inline void kepler_position(const Kepler& k, double t, double pos[3], double* ecc_anomaly) {
    const double a = k.sqrt_a * k.sqrt_a;
    const double tk = t - k.toe;
    const double n = std::sqrt(k.frame.gm / (a * a * a)) + k.delta_n;
    const double m = k.m0 + n * tk;
    // Kepler's equation M = E - e sin E by Newton's method.
    double ea = m;
    for (int it = 0; it < 20; ++it) {
        const double d = (ea - k.e * std::sin(ea) - m) / (1.0 - k.e * std::cos(ea));
        ea -= d;
        if (std::fabs(d) < 1e-15) break;
    }
    *ecc_anomaly = ea;
    const double nu = std::atan2(std::sqrt(1.0 - k.e * k.e) * std::sin(ea), std::cos(ea) - k.e);
    const double phi = nu + k.omega;  // argument of latitude
    const double s2 = std::sin(2.0 * phi), c2 = std::cos(2.0 * phi);
    const double u = phi + k.cus * s2 + k.cuc * c2;
    const double r = a * (1.0 - k.e * std::cos(ea)) + k.crs * s2 + k.crc * c2;
    const double inc = k.i0 + k.idot * tk + k.cis * s2 + k.cic * c2;
    const double xp = r * std::cos(u), yp = r * std::sin(u);  // in the orbit plane
    const double we = k.frame.omega_e;
    if (!k.geo) {
        // Node longitude in the Earth-fixed frame.
        const double node = k.omega0 + (k.omega_dot - we) * tk - we * k.toe_sow;
        pos[0] = xp * std::cos(node) - yp * std::cos(inc) * std::sin(node);
        pos[1] = xp * std::sin(node) + yp * std::cos(inc) * std::cos(node);
        pos[2] = yp * std::sin(inc);
        return;
    }
    // BeiDou GEO: the elements describe an orbit in a frame tilted by -5
    // degrees about x; the node is inertial over tk, and the Earth rotation
    // over tk is applied after the tilt.
    const double node = k.omega0 + k.omega_dot * tk - we * k.toe_sow;
    const double xg = xp * std::cos(node) - yp * std::cos(inc) * std::sin(node);
    const double yg = xp * std::sin(node) + yp * std::cos(inc) * std::cos(node);
    const double zg = yp * std::sin(inc);
    const double f = -5.0 * M_PI / 180.0;  // Rx(f): y' = y cos f + z sin f, z' = -y sin f + z cos f
    const double y1 = yg * std::cos(f) + zg * std::sin(f);
    const double z1 = -yg * std::sin(f) + zg * std::cos(f);
    const double g = we * tk;  // Rz(g): x' = x cos g + y sin g, y' = -x sin g + y cos g
    pos[0] = xg * std::cos(g) + y1 * std::sin(g);
    pos[1] = -xg * std::sin(g) + y1 * std::cos(g);
    pos[2] = z1;
}

// Satellite clock offset (s, satellite time minus system time) for the
// single-frequency signal: polynomial, relativistic term F e sqrt(A) sin E,
// less the group delay of that signal.
inline double kepler_clock(const Kepler& k, double t, double ecc_anomaly) {
    const double dt = t - k.toc;
    const double f = -2.0 * std::sqrt(k.frame.gm) / (C * C);
    return k.af0 + k.af1 * dt + k.af2 * dt * dt + f * k.e * k.sqrt_a * std::sin(ecc_anomaly) - k.group_delay;
}

// GLONASS broadcast state (PZ-90, metres) at the reference time tb (seconds
// on the caller's GPS time line), with the lunisolar accelerations, and the
// clock terms as RINEX gives them (-tau_n and +gamma_n).
struct Glonass {
    double tb = 0;
    double pos[3] = {}, vel[3] = {}, acc[3] = {};
    double minus_tau = 0, gamma = 0;
};

// Derivative of the state (position, velocity) in the Earth-fixed frame:
// central term, J2, centrifugal and Coriolis terms, plus the broadcast
// lunisolar acceleration held constant over the interval.
inline void glonass_rate(const double s[6], const double ls[3], double d[6]) {
    constexpr double GM = 3.9860044e14, AE = 6378136.0, J2 = 1082625.75e-9, W = 7.292115e-5;
    const double r2 = s[0] * s[0] + s[1] * s[1] + s[2] * s[2];
    const double r = std::sqrt(r2);
    const double mu = GM / (r2 * r);
    const double j = 1.5 * J2 * GM * AE * AE / (r2 * r2 * r);
    const double z2 = 5.0 * s[2] * s[2] / r2;
    d[0] = s[3];
    d[1] = s[4];
    d[2] = s[5];
    d[3] = -mu * s[0] - j * s[0] * (1.0 - z2) + W * W * s[0] + 2.0 * W * s[4] + ls[0];
    d[4] = -mu * s[1] - j * s[1] * (1.0 - z2) + W * W * s[1] - 2.0 * W * s[3] + ls[1];
    d[5] = -mu * s[2] - j * s[2] * (3.0 - z2) + ls[2];
}

// Earth-fixed position (m) at time t, by fourth-order Runge-Kutta steps of
// at most 30 s from tb.
inline void glonass_position(const Glonass& g, double t, double pos[3]) {
    double s[6] = {g.pos[0], g.pos[1], g.pos[2], g.vel[0], g.vel[1], g.vel[2]};
    const double span = t - g.tb;
    const int steps = static_cast<int>(std::ceil(std::fabs(span) / 30.0));
    const double h = steps > 0 ? span / steps : 0.0;
    for (int n = 0; n < steps; ++n) {
        double k1[6], k2[6], k3[6], k4[6], tmp[6];
        glonass_rate(s, g.acc, k1);
        for (int i = 0; i < 6; ++i) tmp[i] = s[i] + 0.5 * h * k1[i];
        glonass_rate(tmp, g.acc, k2);
        for (int i = 0; i < 6; ++i) tmp[i] = s[i] + 0.5 * h * k2[i];
        glonass_rate(tmp, g.acc, k3);
        for (int i = 0; i < 6; ++i) tmp[i] = s[i] + h * k3[i];
        glonass_rate(tmp, g.acc, k4);
        for (int i = 0; i < 6; ++i) s[i] += h / 6.0 * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]);
    }
    pos[0] = s[0];
    pos[1] = s[1];
    pos[2] = s[2];
}

// GLONASS clock offset (s, satellite time minus system time): the broadcast
// clock includes the relativistic effects.
inline double glonass_clock(const Glonass& g, double t) { return g.minus_tau + g.gamma * (t - g.tb); }

}  // namespace orbit
