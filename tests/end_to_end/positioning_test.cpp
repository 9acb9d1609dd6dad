// End to end through a user's eyes: a short simulated log is converted, and
// the RINEX files are read back as text and used the way a positioning
// program uses them. Per constellation, a single-point position from the
// single-frequency code ranges and the broadcast ephemerides must land on
// the station the log reports, and every Doppler must agree with the change
// of its carrier phase. This checks the scaling, signs and time tags of the
// observations and every ephemeris field that positioning needs.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/broadcast_orbit.h"
#include "support/files.h"
#include "support/rinex_text.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace {

using rnxtext::NavRecord;
using rnxtext::ObsEpoch;
using rnxtext::ObsFile;

// One ephemeris issue of one satellite: Keplerian or GLONASS, with its
// reference time on the test's GPS time line.
struct Eph {
    double ref = 0;
    bool glonass = false;
    orbit::Kepler k;
    orbit::Glonass g;
};

// A constellation as the test positions it: its letter, the code range used
// (single frequency) and what it must reach.
struct System {
    char letter;
    const char* name;
    const char* code;
    bool required;  // must be solved within the limit; others are reported
};

const System SYSTEMS[] = {
    {'G', "GPS", "C1C", true},     {'E', "Galileo", "C1X", true}, {'C', "BeiDou", "C2I", true},
    {'R', "GLONASS", "C1C", true}, {'J', "QZSS", "C1C", false},   {'I', "NavIC", "C5A", false},
};

constexpr double MAX_ERROR_M = 10.0;
// Doppler against phase rate: the simulated Doppler noise (a few hundredths
// of a hertz, the largest on GLONASS at about 0.05 Hz rms over a pair) and
// the phase noise (a few millimetres) allow 6 sigma of the noisiest system
// for any pair; the rms over all pairs of a system also catches systematic
// errors smaller than that, such as a carrier off by one GLONASS channel
// (3.5e-4 of the Doppler). A sign or scale fault is hundreds of hertz.
constexpr double MAX_DOPPLER_HZ = 0.3, RMS_DOPPLER_HZ = 0.1;
// Keplerian issues are used up to 4 hours from their reference time (the
// GPS fit interval), GLONASS ones up to 1 hour.
constexpr double KEPLER_SPAN_S = 4 * 3600.0, GLONASS_SPAN_S = 3600.0;

bool bad(double v) { return std::isnan(v); }

// Ephemerides of the nav records, per satellite ("G03"), on the time line
// that starts at t0 (whole GPS seconds since 1980-01-06). Only the records
// that serve the single-frequency code of each system, healthy and complete.
std::map<std::string, std::vector<Eph>> ephemerides(const std::vector<NavRecord>& recs, int64_t t0, int leap) {
    std::map<std::string, std::vector<Eph>> out;
    for (const NavRecord& r : recs) {
        char id[4];
        std::snprintf(id, sizeof id, "%c%02d", r.sys, r.prn);
        Eph e;
        if (r.sys == 'R') {
            if (!(r.type.empty() || r.type == "FDMA") || r.v.size() < 15 || r.at(6) != 0) continue;
            // Epochs in UTC; GPS time runs ahead by the leap seconds.
            e.glonass = true;
            e.g.tb = rnxtext::since(r.epoch(), t0) + leap;
            e.g.minus_tau = r.at(0);
            e.g.gamma = r.at(1);
            for (int k = 0; k < 3; ++k) {  // km, km/s, km/s^2
                e.g.pos[k] = r.at(3 + 4 * k) * 1e3;
                e.g.vel[k] = r.at(4 + 4 * k) * 1e3;
                e.g.acc[k] = r.at(5 + 4 * k) * 1e3;
            }
            e.ref = e.g.tb;
            bool ok = true;
            for (size_t k = 0; k < 15; ++k) ok = ok && !bad(r.at(k));
            if (ok) out[id].push_back(e);
            continue;
        }
        orbit::Kepler& k = e.k;
        double gps_minus_sys = 0;  // seconds: GPS time minus the system's time
        switch (r.sys) {
            case 'G':
            case 'J':
            case 'I':
                if (!(r.type.empty() || r.type == "LNAV")) continue;
                k.frame = orbit::WGS84;
                k.group_delay = r.at(25);  // TGD
                break;
            case 'E':
                // I/NAV (data source bit 0): clock for E1/E5b, so BGD(E1,E5b).
                if (bad(r.at(20)) || (static_cast<int>(r.at(20)) & 1) == 0) continue;
                k.frame = orbit::GTRF;
                k.group_delay = r.at(26);
                break;
            case 'C':
                if (!(r.type.empty() || r.type == "D1" || r.type == "D2")) continue;
                k.frame = orbit::CGCS2000;
                k.geo = r.prn <= 5 || (r.prn >= 59 && r.prn <= 63);
                k.group_delay = r.at(25);  // TGD1, B1I
                gps_minus_sys = 14;
                break;
            default:
                continue;
        }
        if (r.v.size() < 27 || r.at(24) != 0) continue;  // incomplete or unhealthy
        bool ok = true;
        for (size_t n = 0; n < 27; ++n) ok = ok && (n == 20 || n == 22 || n == 23 || !bad(r.at(n)));
        if (!ok) continue;
        k.af0 = r.at(0), k.af1 = r.at(1), k.af2 = r.at(2);
        k.crs = r.at(4), k.delta_n = r.at(5), k.m0 = r.at(6);
        k.cuc = r.at(7), k.e = r.at(8), k.cus = r.at(9), k.sqrt_a = r.at(10);
        k.toe_sow = r.at(11), k.cic = r.at(12), k.omega0 = r.at(13), k.cis = r.at(14);
        k.i0 = r.at(15), k.crc = r.at(16), k.omega = r.at(17), k.omega_dot = r.at(18);
        k.idot = r.at(19);
        // The epoch line dates the clock (toc) in the system's own time; toe
        // is a second of the week, taken in the week nearest to toc.
        const rnxtext::Instant toc = r.epoch();
        const int64_t week_start = (toc.sec / 604800) * 604800;
        double toe = static_cast<double>(week_start) + k.toe_sow;
        const double toc_s = static_cast<double>(toc.sec) + toc.frac;
        if (toe - toc_s > 302400) toe -= 604800;
        if (toc_s - toe > 302400) toe += 604800;
        k.toc = rnxtext::since(toc, t0) + gps_minus_sys;
        k.toe = toe - static_cast<double>(t0) + gps_minus_sys;
        e.ref = k.toe;
        out[id].push_back(e);
    }
    return out;
}

// The issue nearest to t within its span, or nullptr.
const Eph* nearest(const std::vector<Eph>& list, double t) {
    const Eph* best = nullptr;
    for (const Eph& e : list) {
        const double span = e.glonass ? GLONASS_SPAN_S : KEPLER_SPAN_S;
        if (std::fabs(t - e.ref) > span) continue;
        if (!best || std::fabs(t - e.ref) < std::fabs(t - best->ref)) best = &e;
    }
    return best;
}

// Satellite position (Earth-fixed at the instant t) and clock offset (s).
void sat_at(const Eph& e, double t, double pos[3], double* clock) {
    if (e.glonass) {
        orbit::glonass_position(e.g, t, pos);
        *clock = orbit::glonass_clock(e.g, t);
        return;
    }
    double ea = 0;
    orbit::kepler_position(e.k, t, pos, &ea);
    *clock = orbit::kepler_clock(e.k, t, ea);
}

double earth_rate(const Eph& e) { return e.glonass ? 7.292115e-5 : e.k.frame.omega_e; }

// Solves a small symmetric positive system n x n in place (Gaussian
// elimination with partial pivoting); false when singular.
bool solve(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>* x) {
    const size_t n = b.size();
    for (size_t c = 0; c < n; ++c) {
        size_t p = c;
        for (size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (std::fabs(a[p][c]) < 1e-12) return false;
        std::swap(a[p], a[c]);
        std::swap(b[p], b[c]);
        for (size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    x->assign(n, 0.0);
    for (size_t c = n; c-- > 0;) {
        double s = b[c];
        for (size_t k = c + 1; k < n; ++k) s -= a[c][k] * (*x)[k];
        (*x)[c] = s / a[c][c];
    }
    return true;
}

// One satellite's range at one epoch, with its position at the transmit time
// (Earth-fixed at that instant) and its clock offset.
struct Ranged {
    double p;
    double pos[3];
    double clock;
    double omega_e;
};

struct Fix {
    bool ok = false;
    double x[3] = {};
    double clock_m = 0;
    double max_residual = 0;
};

// Iterative least squares for the position and one receiver clock, from the
// Earth's centre; light time and the Earth's rotation during it from the
// current position estimate.
Fix position(const std::vector<Ranged>& sats) {
    Fix f;
    if (sats.size() < 4) return f;
    for (int it = 0; it < 12; ++it) {
        std::vector<std::vector<double>> n(4, std::vector<double>(4, 0.0));
        std::vector<double> b(4, 0.0);
        f.max_residual = 0;
        for (const Ranged& s : sats) {
            double q[3] = {s.pos[0], s.pos[1], s.pos[2]};
            double rho = 0;
            for (int pass = 0; pass < 3; ++pass) {
                const double dx = q[0] - f.x[0], dy = q[1] - f.x[1], dz = q[2] - f.x[2];
                rho = std::sqrt(dx * dx + dy * dy + dz * dz);
                // The frame turns by omega * travel time while the signal travels.
                const double th = s.omega_e * rho / orbit::C;
                q[0] = s.pos[0] * std::cos(th) + s.pos[1] * std::sin(th);
                q[1] = -s.pos[0] * std::sin(th) + s.pos[1] * std::cos(th);
            }
            const double d[3] = {q[0] - f.x[0], q[1] - f.x[1], q[2] - f.x[2]};
            rho = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            const double row[4] = {-d[0] / rho, -d[1] / rho, -d[2] / rho, 1.0};
            const double res = s.p - (rho + f.clock_m - orbit::C * s.clock);
            f.max_residual = std::fmax(f.max_residual, std::fabs(res));
            for (int i = 0; i < 4; ++i) {
                b[i] += row[i] * res;
                for (int j = 0; j < 4; ++j) n[i][j] += row[i] * row[j];
            }
        }
        std::vector<double> dx;
        if (!solve(n, b, &dx)) return f;
        for (int i = 0; i < 3; ++i) f.x[i] += dx[i];
        f.clock_m += dx[3];
        if (std::sqrt(dx[0] * dx[0] + dx[1] * dx[1] + dx[2] * dx[2]) < 1e-4) {
            f.ok = it > 0;  // at least one pass with the final residuals
            if (f.ok) break;
        }
    }
    return f;
}

struct Solved {
    int epochs = 0;       // epochs with a fix
    int short_epochs = 0; // epochs with fewer than 4 usable satellites
    int max_sats = 0;
    double sum_error = 0, max_error = 0, max_residual = 0;
    // Receiver clock of the fix less the epoch's clock offset field (m).
    double sum_clock_diff = 0, max_clock_diff = 0;
};

Solved solve_system(const ObsFile& obs, const std::map<std::string, std::vector<Eph>>& ephs, const System& sys,
                    int64_t t0) {
    Solved out;
    const int k = obs.index(sys.letter, sys.code);
    if (k < 0) return out;
    for (const ObsEpoch& ep : obs.epochs) {
        const double t_rx = rnxtext::since(ep.time, t0);
        std::vector<Ranged> sats;
        for (const auto& [sat, vals] : ep.values) {
            if (sat[0] != sys.letter) continue;
            const double p = rnxtext::obs_value(ep, sat, k);
            const auto it = ephs.find(sat);
            if (bad(p) || it == ephs.end()) continue;
            const Eph* e = nearest(it->second, t_rx);
            if (!e) continue;
            // Transmit time: the range less the satellite clock, iterated
            // once the clock at the transmit time is known.
            Ranged r;
            r.p = p;
            r.omega_e = earth_rate(*e);
            double t_tx = t_rx - p / orbit::C;
            sat_at(*e, t_tx, r.pos, &r.clock);
            t_tx = t_rx - p / orbit::C - r.clock;
            sat_at(*e, t_tx, r.pos, &r.clock);
            sats.push_back(r);
        }
        out.max_sats = std::max(out.max_sats, static_cast<int>(sats.size()));
        const Fix f = position(sats);
        if (!f.ok) {
            ++out.short_epochs;
            continue;
        }
        const double d[3] = {f.x[0] - obs.approx[0], f.x[1] - obs.approx[1], f.x[2] - obs.approx[2]};
        const double err = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        ++out.epochs;
        out.sum_error += err;
        out.max_error = std::fmax(out.max_error, err);
        out.max_residual = std::fmax(out.max_residual, f.max_residual);
        const double clock_diff = f.clock_m - (bad(ep.clock) ? 0.0 : ep.clock * orbit::C);
        out.sum_clock_diff += clock_diff;
        out.max_clock_diff = std::fmax(out.max_clock_diff, std::fabs(clock_diff));
    }
    return out;
}

// Doppler against the carrier phase: over one interval, the mean of the two
// Dopplers equals the negated change of phase per second (cycles), up to the
// noise of both and a third-order term of the motion.
struct DopplerCheck {
    int pairs = 0;
    double sum_sq = 0, max_diff = 0;
    std::string worst;
};

std::map<char, DopplerCheck> doppler_against_phase(const ObsFile& obs) {
    std::map<char, DopplerCheck> out;
    for (const auto& [sys, types] : obs.types) {
        for (size_t l = 0; l < types.size(); ++l) {
            if (types[l][0] != 'L') continue;
            const int d = obs.index(sys, "D" + types[l].substr(1));
            if (d < 0) continue;
            for (size_t n = 0; n + 1 < obs.epochs.size(); ++n) {
                const ObsEpoch& a = obs.epochs[n];
                const ObsEpoch& b = obs.epochs[n + 1];
                const double dt = static_cast<double>(b.time.sec - a.time.sec) + (b.time.frac - a.time.frac);
                for (const auto& [sat, vals] : b.values) {
                    if (sat[0] != sys) continue;
                    const double l0 = rnxtext::obs_value(a, sat, static_cast<int>(l));
                    const double l1 = rnxtext::obs_value(b, sat, static_cast<int>(l));
                    const double d0 = rnxtext::obs_value(a, sat, d), d1 = rnxtext::obs_value(b, sat, d);
                    if (bad(l0) || bad(l1) || bad(d0) || bad(d1) || (b.lli.at(sat)[l] & 1)) continue;
                    const double diff = 0.5 * (d0 + d1) + (l1 - l0) / dt;
                    DopplerCheck& c = out[sys];
                    ++c.pairs;
                    c.sum_sq += diff * diff;
                    if (std::fabs(diff) > c.max_diff) {
                        c.max_diff = std::fabs(diff);
                        c.worst = sat + " " + types[l];
                    }
                }
            }
        }
    }
    return out;
}

struct Case {
    const char* name;
    const char* version;  // RINEX version the converter writes
    const char* start;    // GPS time of the log's first epoch
};

// RINEX 4 from a log of the simulator's usual start, RINEX 3.05 (one
// navigation file per constellation) from a log that crosses the GPS week.
const Case CASES[] = {
    {"Rinex4", "4.01", "2024-03-15 00:00:00"},
    {"Rinex305AcrossWeek", "3.05", "2024-03-16 23:58:30"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Positioning : public ::testing::TestWithParam<Case> {};

TEST_P(Positioning, ConvertedFilesPositionTheStationAndDopplerFollowsPhase) {
    const Case& c = GetParam();
    const std::string dir = testfiles::temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string log = dir + "/sky.vlx";
    const runcmd::Result sim =
        runcmd::run({VLXSIM_BIN, "-o", log, "--epochs", "180", "--start", c.start, "--seed", "7"});
    ASSERT_EQ(sim.status, 0) << sim.err;
    const runcmd::Result conv = runcmd::run({VORSKEL_BIN, "-f", "sky.vlx", "-rv", c.version}, dir);
    ASSERT_EQ(conv.status, 0) << conv.out << conv.err;

    // The observation file ends in "o"; every other new file is navigation.
    ObsFile obs;
    std::vector<NavRecord> nav;
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    int obs_files = 0, nav_files = 0;
    while (const dirent* ent = readdir(d)) {
        const std::string name = ent->d_name;
        if (name.rfind("sky.", 0) != 0 || name == "sky.vlx") continue;
        const std::string text = testfiles::read_file(dir + "/" + name);
        if (name.back() == 'o') {
            obs = rnxtext::read_obs(text);
            ++obs_files;
        } else {
            const std::vector<NavRecord> r = rnxtext::read_nav(text);
            nav.insert(nav.end(), r.begin(), r.end());
            ++nav_files;
        }
    }
    closedir(d);
    ASSERT_EQ(obs_files, 1);
    ASSERT_GE(nav_files, 1);
    ASSERT_TRUE(obs.error.empty()) << obs.error;
    ASSERT_EQ(obs.epochs.size(), 180u);
    ASSERT_GE(obs.leap_seconds, 0) << "no LEAP SECONDS line";
    ASSERT_EQ(obs.time_system, "GPS");
    ASSERT_FALSE(bad(obs.approx[0]) || bad(obs.approx[1]) || bad(obs.approx[2]));

    const int64_t t0 = obs.epochs.front().time.sec;
    const auto ephs = ephemerides(nav, t0, obs.leap_seconds);

    for (const System& sys : SYSTEMS) {
        const Solved s = solve_system(obs, ephs, sys, t0);
        std::printf("[ %-18s ] %-7s %s: %3d epochs solved (%d short), up to %2d satellites, "
                    "3-D error mean %8.2f m max %8.2f m, largest residual %9.2f m; "
                    "receiver clock less the epochs' clock offset mean %.2f m max %.2f m\n",
                    c.name, sys.name, sys.code, s.epochs, s.short_epochs, s.max_sats,
                    s.epochs ? s.sum_error / s.epochs : 0.0, s.max_error, s.max_residual,
                    s.epochs ? s.sum_clock_diff / s.epochs : 0.0, s.max_clock_diff);
        const bool has_nav = c.version[0] == '4' || sys.letter != 'J';  // RINEX 3.05 has no QZSS file
        if (!sys.required || !has_nav) continue;
        EXPECT_EQ(s.epochs, static_cast<int>(obs.epochs.size())) << sys.name << ": epochs without a fix";
        EXPECT_LE(s.max_error, MAX_ERROR_M) << sys.name;
    }

    auto dop = doppler_against_phase(obs);
    for (const auto& [sys, ck] : dop) {
        std::printf("[ %-18s ] %c Doppler + phase rate: %5d pairs, rms %.4f Hz, max %.4f Hz (%s)\n", c.name, sys,
                    ck.pairs, std::sqrt(ck.sum_sq / std::max(ck.pairs, 1)), ck.max_diff, ck.worst.c_str());
        EXPECT_LE(ck.max_diff, MAX_DOPPLER_HZ) << sys << " worst " << ck.worst;
        EXPECT_LE(std::sqrt(ck.sum_sq / ck.pairs), RMS_DOPPLER_HZ) << sys;
    }
    for (const System& sys : SYSTEMS) EXPECT_GT(dop[sys.letter].pairs, 0) << sys.name;
}

INSTANTIATE_TEST_SUITE_P(Sky, Positioning, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace
