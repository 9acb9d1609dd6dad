// Broadcast ephemerides of the simulated satellites and their evaluation:
// the Keplerian model of GPS, QZSS, Galileo, BeiDou (GEO rotation included)
// and NavIC, the GLONASS state vector integrated with J2 and the broadcast
// lunisolar acceleration (RK4), and the SBAS quadratic model; then the signal
// geometry with travel time and Earth rotation.
#include "sim_orbit.h"

#include <cmath>

#include "sim_time.h"

namespace vlxsim {

namespace {

constexpr double DEG = PI / 180.0;

double wrap_pi(double a) {
    a = std::fmod(a, 2.0 * PI);
    if (a > PI) a -= 2.0 * PI;
    if (a <= -PI) a += 2.0 * PI;
    return a;
}

// Narrows to single precision through memory. At -O3, GCC 12's SLP
// vectorizer was seen to hand a later read of such a float the unrounded
// double instead, which made optimised and debug builds write other logs.
float to_float(double v) {
    volatile float f = static_cast<float>(v);
    return f;
}

// A rate as the converter decodes it: semicircles times pi in double
// precision, rounded to single.
float decoded_rate(float sc) { return to_float(static_cast<double>(sc) * PI); }

bool bds_geo(const Sat& s) { return s.sys == SYS_C && s.orbit == ORBIT_GEO; }

// An angle in semicircles at the resolution of the message: 32 bits at
// 2^-31 semicircles.
double angle_sc32(double sc) { return std::ldexp(std::round(std::ldexp(sc, 31)), -31); }

double rel_s(int64_t gps_ms) { return static_cast<double>(gps_ms - g_start_ms) / 1000.0; }

// Keplerian elements of satellite s carried from the log start to toe =
// issue_ms (system time), so that every issue describes the same orbit: the
// mean anomaly advances with the mean motion, the node with its rate (and is
// referred to the start of the week of toe), the inclination with IDOT. A
// BeiDou GEO orbit lies in a frame tied to the Earth at toe: there the same
// orbit has its perigee turned back by the Earth's rotation since the start.
// i0 is broadcast at the message's resolution; so that the rounded issues
// still meet, each issue's IDOT carries its i0 to the rounded i0 of the next
// issue at the next toe (it differs from the satellite's mean rate by less
// than one resolution step per update period). A BeiDou GEO keeps its i0 in
// every issue; the 5 degrees that would put it exactly in the equator are
// not on the grid, and the rest of up to half a step turns with the Earth,
// so its issues meet to within some millimetres.
KepEph make_kep(const Sat& s, int64_t issue_ms) {
    const SysConst k = sys_const(s.sys);
    KepEph e{};
    e.issue_ms = issue_ms;
    e.week_ms = floor_div(issue_ms, MS_PER_WEEK) * MS_PER_WEEK;
    e.t_toe = rel_s(issue_ms + sys_time_offset_ms(s.sys));
    const double d = e.t_toe;
    const double toe_sow = static_cast<double>(issue_ms - e.week_ms) / 1000.0;
    e.sqrt_a = s.sqrt_a;
    e.ecc = s.ecc;
    e.dn_sc = s.dn_sc;
    e.omd_sc = s.omd_sc;
    e.idot_sc = s.idot_sc;
    e.dn = decoded_rate(s.dn_sc);
    e.omd = decoded_rate(s.omd_sc);
    e.idot = decoded_rate(s.idot_sc);
    e.crc = s.crc;
    e.crs = s.crs;
    e.cuc = s.cuc;
    e.cus = s.cus;
    e.cic = s.cic;
    e.cis = s.cis;
    const double a = s.sqrt_a * s.sqrt_a;
    const double n = std::sqrt(k.gm / (a * a * a)) + e.dn;
    double node0, omega;
    if (bds_geo(s)) {
        node0 = s.node + e.omd * d + k.omega_e * toe_sow;
        omega = s.omega - k.omega_e * d;
    } else {
        node0 = s.node + (e.omd - k.omega_e) * d + k.omega_e * toe_sow;
        omega = s.omega;
    }
    const double period_s = static_cast<double>(eph_period_ms(s.sys)) / 1000.0;
    const double i0_next_sc = angle_sc32((s.incl + e.idot * (d + period_s)) / PI);
    e.m0_sc = wrap_pi(s.mean_anom + n * d) / PI;
    e.node0_sc = wrap_pi(node0) / PI;
    e.i0_sc = angle_sc32((s.incl + e.idot * d) / PI);
    e.omega_sc = wrap_pi(omega) / PI;
    e.idot_sc = to_float((i0_next_sc - e.i0_sc) / period_s);
    e.idot = decoded_rate(e.idot_sc);
    e.m0 = e.m0_sc * PI;
    e.node0 = e.node0_sc * PI;
    e.i0 = e.i0_sc * PI;
    e.omega = e.omega_sc * PI;
    e.af0 = to_float(s.clk0 + static_cast<double>(s.clk1) * d);
    e.af1 = s.clk1;
    e.af2 = 0.0f;
    e.tgd = s.tgd;
    e.tgd2 = s.tgd2;
    return e;
}

// The broadcast Keplerian model at t (seconds from the log start, GPS time),
// with its time derivatives.
void kep_eval(const Sat& s, const KepEph& e, double t, SatState* st) {
    const SysConst k = sys_const(s.sys);
    const double tk = t - e.t_toe;
    const double a = e.sqrt_a * e.sqrt_a;
    const double n = std::sqrt(k.gm / (a * a * a)) + e.dn;
    const double m = e.m0 + n * tk;
    double E = m;
    for (int it = 0; it < 20; ++it) {
        const double dE = (E - e.ecc * std::sin(E) - m) / (1.0 - e.ecc * std::cos(E));
        E -= dE;
        if (std::fabs(dE) < 1e-14) break;
    }
    const double sE = std::sin(E), cE = std::cos(E);
    const double den = 1.0 - e.ecc * cE;
    const double q = std::sqrt(1.0 - e.ecc * e.ecc);
    const double phi = std::atan2(q * sE, cE - e.ecc) + e.omega;
    const double s2 = std::sin(2.0 * phi), c2 = std::cos(2.0 * phi);
    const double u = phi + e.cus * s2 + e.cuc * c2;
    const double r = a * den + e.crs * s2 + e.crc * c2;
    const double incl = e.i0 + e.cis * s2 + e.cic * c2 + e.idot * tk;
    const double E_dot = n / den;
    const double phi_dot = q * E_dot / den;
    const double u_dot = phi_dot * (1.0 + 2.0 * (e.cus * c2 - e.cuc * s2));
    const double r_dot = a * e.ecc * sE * E_dot + 2.0 * phi_dot * (e.crs * c2 - e.crc * s2);
    const double i_dot = e.idot + 2.0 * phi_dot * (e.cis * c2 - e.cic * s2);
    const double cu = std::cos(u), su = std::sin(u);
    const double xp = r * cu, yp = r * su;
    const double xpd = r_dot * cu - r * u_dot * su, ypd = r_dot * su + r * u_dot * cu;
    const double toe_sow = static_cast<double>(e.issue_ms - e.week_ms) / 1000.0;
    const bool geo = bds_geo(s);
    // The node in the Earth-fixed frame; for a BeiDou GEO in the frame of toe.
    const double node_dot = geo ? e.omd : e.omd - k.omega_e;
    const double node = e.node0 + node_dot * tk - k.omega_e * toe_sow;
    const double cO = std::cos(node), sO = std::sin(node), ci = std::cos(incl), si = std::sin(incl);
    double p[3] = {xp * cO - yp * ci * sO, xp * sO + yp * ci * cO, yp * si};
    double v[3] = {xpd * cO - ypd * ci * sO + yp * si * i_dot * sO - node_dot * p[1],
                   xpd * sO + ypd * ci * cO - yp * si * i_dot * cO + node_dot * p[0], ypd * si + yp * ci * i_dot};
    if (geo) {
        // Rotation by -5 degrees about X, then by the Earth's rotation since toe about Z.
        const double tilt = at_run_time(-5.0 * DEG), cx = std::cos(tilt), sx = std::sin(tilt);
        const double th = k.omega_e * tk, cz = std::cos(th), sz = std::sin(th);
        const double p1[3] = {p[0], cx * p[1] + sx * p[2], -sx * p[1] + cx * p[2]};
        const double v1[3] = {v[0], cx * v[1] + sx * v[2], -sx * v[1] + cx * v[2]};
        p[0] = cz * p1[0] + sz * p1[1];
        p[1] = -sz * p1[0] + cz * p1[1];
        p[2] = p1[2];
        v[0] = cz * v1[0] + sz * v1[1] + k.omega_e * p[1];
        v[1] = -sz * v1[0] + cz * v1[1] - k.omega_e * p[0];
        v[2] = v1[2];
    }
    for (int j = 0; j < 3; ++j) {
        st->pos[j] = p[j];
        st->vel[j] = v[j];
    }
    // Clock polynomial from toc = toe, plus the relativistic term F e sqrt(A) sin E.
    const double F = -2.0 * std::sqrt(k.gm) / (C_LIGHT * C_LIGHT);
    st->clk = e.af0 + e.af1 * tk + e.af2 * tk * tk + F * e.ecc * e.sqrt_a * sE;
    st->clk_rate = e.af1 + 2.0 * e.af2 * tk + F * e.ecc * e.sqrt_a * cE * E_dot;
}

// ------------------------------------------------------------ GLONASS

constexpr int GLO_MID = 31;          // grid index of tb
constexpr double GLO_STEP = 30.0;    // s
constexpr int64_t GLO_HALF_HOUR = 1800000;

// Equations of motion of the GLONASS interface document in the rotating
// PZ-90 frame: central term, J2, centrifugal and Coriolis terms, and the
// broadcast lunisolar acceleration ls (m/s^2).
void glo_deriv(const double x[6], const double ls[3], double d[6]) {
    constexpr double GM = 3.9860044e14, AE = 6378136.0, J2 = 1082625.75e-9, W = 7.292115e-5;
    const double r2 = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
    const double r = std::sqrt(r2);
    const double mu = GM / (r2 * r);
    const double j = 1.5 * J2 * GM * AE * AE / (r2 * r2 * r);
    const double zz = 5.0 * x[2] * x[2] / r2;
    d[0] = x[3];
    d[1] = x[4];
    d[2] = x[5];
    d[3] = -mu * x[0] - j * x[0] * (1.0 - zz) + W * W * x[0] + 2.0 * W * x[4] + ls[0];
    d[4] = -mu * x[1] - j * x[1] * (1.0 - zz) + W * W * x[1] - 2.0 * W * x[3] + ls[1];
    d[5] = -mu * x[2] - j * x[2] * (3.0 - zz) + ls[2];
}

void rk4_step(double x[6], double h, const double ls[3]) {
    double k1[6], k2[6], k3[6], k4[6], y[6];
    glo_deriv(x, ls, k1);
    for (int j = 0; j < 6; ++j) y[j] = x[j] + 0.5 * h * k1[j];
    glo_deriv(y, ls, k2);
    for (int j = 0; j < 6; ++j) y[j] = x[j] + 0.5 * h * k2[j];
    glo_deriv(y, ls, k3);
    for (int j = 0; j < 6; ++j) y[j] = x[j] + h * k3[j];
    glo_deriv(y, ls, k4);
    for (int j = 0; j < 6; ++j) x[j] += h / 6.0 * (k1[j] + 2.0 * k2[j] + 2.0 * k3[j] + k4[j]);
}

// Integrates x over dt seconds in steps of at most GLO_STEP.
void glo_integrate(double x[6], double dt, const double ls[3]) {
    const int n = static_cast<int>(std::ceil(std::fabs(dt) / GLO_STEP - 1e-9));
    for (int k = 0; k < n; ++k) rk4_step(x, dt / n, ls);
}

void glo_ls(const GloEph& e, double ls[3]) {
    for (int j = 0; j < 3; ++j) ls[j] = static_cast<double>(e.acc_kms2[j]) * 1000.0;
}

// The state at tb as the converter decodes it (km and km/s to m and m/s).
void glo_decoded(const GloEph& e, double x[6]) {
    for (int j = 0; j < 3; ++j) {
        x[j] = e.pos_km[j] * 1000.0;
        x[3 + j] = static_cast<double>(e.vel_kms[j]) * 1000.0;
    }
}

void glo_fill_grid(GloEph& e) {
    double ls[3];
    glo_ls(e, ls);
    glo_decoded(e, e.grid[GLO_MID]);
    for (int j = GLO_MID + 1; j < 63; ++j) {
        for (int c = 0; c < 6; ++c) e.grid[j][c] = e.grid[j - 1][c];
        rk4_step(e.grid[j], GLO_STEP, ls);
    }
    for (int j = GLO_MID - 1; j >= 0; --j) {
        for (int c = 0; c < 6; ++c) e.grid[j][c] = e.grid[j + 1][c];
        rk4_step(e.grid[j], -GLO_STEP, ls);
    }
}

// Clock terms of a GLONASS satellite: offset clk0/10 at the log start and a
// relative frequency offset of half its drift; tau is referred to tb.
void glo_clock(const Sat& s, GloEph& e) {
    e.gamma = to_float(0.5 * static_cast<double>(s.clk1));
    e.tau = to_float(-(0.1 * s.clk0 + static_cast<double>(e.gamma) * e.t_tb));
}

void glo_times(GloEph& e, int64_t index) {
    e.index = index;
    // tb is the middle of the half hour, Moscow time = GPS - leap seconds + 3 h.
    e.tb_ms = index * GLO_HALF_HOUR + GLO_HALF_HOUR / 2 + LEAP_SECONDS * 1000LL - 3 * 3600 * 1000LL;
    e.t_tb = rel_s(e.tb_ms);
}

// Lunisolar acceleration of a satellite (km/s^2), the same in every issue.
void glo_acc(const Sat& s, GloEph& e) {
    for (int k = 0; k < 3; ++k) e.acc_kms2[k] = to_float(1.0e-9 * (k + 1) * std::sin(s.prn + k));
}

// The first issue: the state of the satellite's elements at tb.
void glo_first(const Sat& s, int64_t index, GloEph& e) {
    glo_times(e, index);
    SatState st;
    kep_eval(s, make_kep(s, e.tb_ms), e.t_tb, &st);
    for (int j = 0; j < 3; ++j) {
        e.pos_km[j] = st.pos[j] / 1000.0;
        e.vel_kms[j] = to_float(st.vel[j] / 1000.0);
    }
    glo_acc(s, e);
    glo_clock(s, e);
    glo_fill_grid(e);
}

// The next issue from the previous one: its orbit integrated to the next tb.
// The velocity is narrowed to single precision there; the position is then
// set so that, integrated back to the switch-over time (15 min before the new
// tb), the new issue meets the old orbit again.
void glo_next(const Sat& s, const GloEph& prev, GloEph& e) {
    glo_times(e, prev.index + 1);
    glo_acc(s, e);
    double ls[3];
    glo_ls(e, ls);
    double x[6];
    for (int c = 0; c < 6; ++c) x[c] = prev.grid[62][c];
    glo_integrate(x, e.t_tb - (prev.t_tb + GLO_STEP * (62 - GLO_MID)), ls);
    for (int j = 0; j < 3; ++j) {
        e.pos_km[j] = x[j] / 1000.0;
        e.vel_kms[j] = to_float(x[3 + j] / 1000.0);
    }
    const double* meet = prev.grid[GLO_MID + 30];  // old orbit at old tb + 900 s
    for (int it = 0; it < 3; ++it) {
        double y[6];
        glo_decoded(e, y);
        glo_integrate(y, (prev.t_tb + 900.0) - e.t_tb, ls);
        for (int j = 0; j < 3; ++j) e.pos_km[j] += (meet[j] - y[j]) / 1000.0;
    }
    glo_clock(s, e);
    glo_fill_grid(e);
}

void glo_eval(const GloEph& e, double t, SatState* st) {
    const double tk = t - e.t_tb;
    long j = std::lround(tk / GLO_STEP);
    if (j < -GLO_MID) j = -GLO_MID;
    if (j > GLO_MID) j = GLO_MID;
    double x[6];
    for (int c = 0; c < 6; ++c) x[c] = e.grid[j + GLO_MID][c];
    double ls[3];
    glo_ls(e, ls);
    glo_integrate(x, tk - static_cast<double>(j) * GLO_STEP, ls);
    for (int c = 0; c < 3; ++c) {
        st->pos[c] = x[c];
        st->vel[c] = x[3 + c];
    }
    st->clk = -static_cast<double>(e.tau) + static_cast<double>(e.gamma) * tk;
    st->clk_rate = e.gamma;
}

// ------------------------------------------------------------ SBAS

constexpr int64_t SBAS_PERIOD = 600000;

void sbas_make(const Sat& s, int64_t index, SbasEph& e) {
    e.index = index;
    e.t0_ms = index * SBAS_PERIOD + SBAS_PERIOD / 2;
    e.t_t0 = rel_s(e.t0_ms);
    // Position at t0; velocity and acceleration of the parabola through the
    // positions 5 min before and after, so that consecutive issues meet at
    // their switch-over time.
    const KepEph k = make_kep(s, e.t0_ms);
    constexpr double H = SBAS_PERIOD / 2000.0;
    SatState a, b, c;
    kep_eval(s, k, e.t_t0, &a);
    kep_eval(s, k, e.t_t0 - H, &b);
    kep_eval(s, k, e.t_t0 + H, &c);
    for (int j = 0; j < 3; ++j) {
        e.pos[j] = a.pos[j];
        e.vel[j] = to_float((c.pos[j] - b.pos[j]) / (2.0 * H));
        e.acc[j] = to_float((c.pos[j] - 2.0 * a.pos[j] + b.pos[j]) / (H * H));
    }
    e.agf0 = to_float(0.01 * s.clk0 + static_cast<double>(s.clk1) * e.t_t0);
    e.agf1 = s.clk1;
}

void sbas_eval(const SbasEph& e, double t, SatState* st) {
    const double dt = t - e.t_t0;
    for (int j = 0; j < 3; ++j) {
        st->pos[j] = e.pos[j] + e.vel[j] * dt + 0.5 * e.acc[j] * dt * dt;
        st->vel[j] = e.vel[j] + e.acc[j] * dt;
    }
    st->clk = e.agf0 + static_cast<double>(e.agf1) * dt;
    st->clk_rate = e.agf1;
}

// ------------------------------------------------------------ caches

KepEph s_kep[MAX_SATS];
bool s_kep_set[MAX_SATS];

struct GloCache {
    bool any;
    bool has_prev;
    GloEph cur;
    GloEph prev;
};
GloCache s_glo[MAX_SATS];

SbasEph s_sbas[MAX_SATS];
bool s_sbas_set[MAX_SATS];

}  // namespace

int64_t eph_period_ms(int sys) {
    switch (sys) {
        case SYS_G:
        case SYS_I: return 7200000;
        case SYS_J:
        case SYS_C: return 3600000;
        case SYS_R: return GLO_HALF_HOUR;
        default: return 600000;  // Galileo I/NAV and F/NAV, SBAS
    }
}

int64_t sys_time_offset_ms(int sys) { return sys == SYS_C ? BDT_OFFSET_S * 1000LL : 0; }

const KepEph& kep_issue_at(int i, int64_t t_ms) {
    const Sat& s = g_sats[i];
    const int64_t p = eph_period_ms(s.sys);
    const int64_t issue = floor_div(t_ms - sys_time_offset_ms(s.sys), p) * p;
    if (!s_kep_set[i] || s_kep[i].issue_ms != issue) {
        s_kep[i] = make_kep(s, issue);
        s_kep_set[i] = true;
    }
    return s_kep[i];
}

const GloEph& glo_issue_at(int i, int64_t t_ms) {
    const int64_t q = floor_div(moscow_ms(t_ms), GLO_HALF_HOUR);
    GloCache& c = s_glo[i];
    if (!c.any) {
        glo_first(g_sats[i], q, c.cur);
        c.any = true;
        return c.cur;
    }
    if (q == c.cur.index) return c.cur;
    if (c.has_prev && q == c.prev.index) return c.prev;
    if (q < c.cur.index) return c.has_prev ? c.prev : c.cur;  // before the first issue: the oldest kept
    while (c.cur.index < q) {
        c.prev = c.cur;
        glo_next(g_sats[i], c.prev, c.cur);
        c.has_prev = true;
    }
    return c.cur;
}

const SbasEph& sbas_issue_at(int i, int64_t t_ms) {
    const int64_t k = floor_div(t_ms, SBAS_PERIOD);
    if (!s_sbas_set[i] || s_sbas[i].index != k) {
        sbas_make(g_sats[i], k, s_sbas[i]);
        s_sbas_set[i] = true;
    }
    return s_sbas[i];
}

void sat_state(int i, int64_t issue_t_ms, double t, SatState* st) {
    const Sat& s = g_sats[i];
    if (s.sys == SYS_R) glo_eval(glo_issue_at(i, issue_t_ms), t, st);
    else if (s.sys == SYS_S) sbas_eval(sbas_issue_at(i, issue_t_ms), t, st);
    else kep_eval(s, kep_issue_at(i, issue_t_ms), t, st);
    if (s.sys == SYS_E) st->clk += GGTO_S;  // a Galileo clock reads Galileo time
}

Look look_at(int i, int64_t issue_t_ms, double t_rx, double tau_guess) {
    const double we = sys_const(g_sats[i].sys).omega_e;
    double tau = tau_guess > 0.0 ? tau_guess : 0.075;
    const int iterations = tau_guess > 0.0 ? 2 : 3;
    SatState st{};
    double p[3] = {}, v[3] = {}, d[3] = {}, rho = 0.0;
    for (int it = 0; it < iterations; ++it) {
        sat_state(i, issue_t_ms, t_rx - tau, &st);
        // The Earth turns by we * tau while the signal travels: the position in
        // the Earth-fixed frame of the receive time.
        const double th = we * tau, c = std::cos(th), sn = std::sin(th);
        p[0] = c * st.pos[0] + sn * st.pos[1];
        p[1] = -sn * st.pos[0] + c * st.pos[1];
        p[2] = st.pos[2];
        v[0] = c * st.vel[0] + sn * st.vel[1];
        v[1] = -sn * st.vel[0] + c * st.vel[1];
        v[2] = st.vel[2];
        for (int j = 0; j < 3; ++j) d[j] = p[j] - g_rcv[j];
        rho = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (it + 1 < iterations) tau = rho / C_LIGHT;
    }
    double u[3];
    for (int j = 0; j < 3; ++j) u[j] = d[j] / rho;
    // Range rate with the travel time's own rate: rate = a (1 - rate/c) + (rate/c) b.
    const double a = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    const double b = we * (u[0] * p[1] - u[1] * p[0]);
    Look l;
    l.range = rho;
    l.rate = a / (1.0 + (a - b) / C_LIGHT);
    l.elev = std::asin(u[0] * g_up[0] + u[1] * g_up[1] + u[2] * g_up[2]);
    l.clk = st.clk;
    l.clk_rate = st.clk_rate * (1.0 - l.rate / C_LIGHT);
    l.tau = rho / C_LIGHT;
    return l;
}

}  // namespace vlxsim
