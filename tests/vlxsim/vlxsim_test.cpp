// Checks the logs that the simulator writes: exact framing (the converter has
// no resynchronisation, so one bad length loses the rest of the log), record
// capacities, epoch structure, determinism, and physically consistent values.
// The log is walked by the tests' own minimal framing walker
// (support/log_walk.h), not by the simulator's or the converter's code.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/files.h"
#include "support/log_walk.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace {

using namespace logwalk;

constexpr double C = 299792458.0;

// A scratch file in this test process's own directory.
std::string temp_path(const std::string& name) {
    static const std::string dir = testfiles::temp_dir();
    return dir + "/" + name;
}

// Runs the simulator; returns its exit status (-1 if it did not exit normally).
int run_sim(const std::string& args) {
    const std::string cmd = std::string("\"") + VLXSIM_BIN + "\" " + args + " >/dev/null 2>&1";
    const int st = std::system(cmd.c_str());
    if (st == -1 || !WIFEXITED(st)) return -1;
    return WEXITSTATUS(st);
}

// Capacity of the converter's record for each identifier.
enum Kind { ITEMS, WHOLE, FIXED, TEXT_JP, TEXT_PM, TEXT_EV, TD_BODY };
struct Layout {
    Kind kind;
    unsigned a;  // ITEMS: item width; WHOLE: capacity; TD: capacity
    unsigned b;  // ITEMS: item limit
    std::vector<unsigned> lengths;  // FIXED: the lengths read
};

const std::map<std::string, Layout>& layouts() {
    static const std::map<std::string, Layout> m = [] {
        std::map<std::string, Layout> t;
        for (const char* id : {"0d", "1d", "2d", "3d", "5d", "ld", "1r", "2r", "3r", "5r", "lr", "SX"})
            t[id] = {ITEMS, 2, 180, {}};
        for (const char* id : {"rx", "rc", "cp", "1p", "2p", "3p", "5p", "lp", "DC", "DX"}) t[id] = {ITEMS, 4, 180, {}};
        for (const char* id : {"CE", "1E", "2E", "3E", "5E", "lE"}) t[id] = {ITEMS, 1, 180, {}};
        for (const char* id : {"FC", "F1", "F2", "F3", "F5", "Fl"}) t[id] = {ITEMS, 2, 360, {}};
        t["NN"] = {ITEMS, 1, 24, {}};
        const std::pair<const char*, unsigned> whole[] = {
            {"~~", 6},  {"AI", 108}, {"CU", 25}, {"CI", 40}, {"EN", 150}, {"EU", 41}, {"UO", 25},
            {"IO", 40}, {"II", 40},  {"IE", 425}, {"IU", 25}, {"NU", 28},  {"PV", 47}, {"QU", 25},
            {"QI", 40}, {"RD", 7},   {"TO", 18}};
        for (const auto& w : whole) t[w.first] = {WHOLE, w.second, 0, {}};
        t["GE"] = {FIXED, 0, 0, {123, 160, 168}};
        t["QE"] = {FIXED, 0, 0, {123, 160, 168}};
        t["CN"] = {FIXED, 0, 0, {134, 152, 160}};
        t["NE"] = {FIXED, 0, 0, {88, 103}};
        t["WE"] = {FIXED, 0, 0, {73}};
        t["WU"] = {FIXED, 0, 0, {32}};
        t["JP"] = {TEXT_JP, 87, 0, {}};
        t["PM"] = {TEXT_PM, 4096, 0, {}};
        t["=="] = {TEXT_EV, 105, 0, {}};
        t["TD"] = {TD_BODY, 300, 0, {}};
        return t;
    }();
    return m;
}

// Empty when the message fits the record of its identifier.
std::string capacity_fault(const Msg& m) {
    const auto it = layouts().find(m.id);
    if (it == layouts().end()) return "identifier without a record: " + m.id;
    const Layout& l = it->second;
    const unsigned L = m.len;
    auto has_nul = [&](size_t from, size_t limit) {
        return m.body.size() > from && m.body.find('\0', from) != std::string::npos && m.body.find('\0', from) < limit;
    };
    switch (l.kind) {
        case ITEMS:
            if ((L - 1) % l.a != 0) return m.id + ": body not a whole number of items";
            if ((L - 1) / l.a > l.b) return m.id + ": more items than the record holds";
            return "";
        case WHOLE: return L + 1 <= l.a ? "" : m.id + ": body and separator exceed the record";
        case FIXED:
            for (unsigned ok : l.lengths)
                if (L == ok) return "";
            return m.id + ": length " + std::to_string(L) + " is not read";
        case TEXT_JP:
            if (L + 2 > l.a) return "JP: exceeds its record";
            return has_nul(5, l.a) ? "" : "JP: text without a NUL";
        case TEXT_PM:
            if (L < 5 || L - 4 > l.a) return "PM: length outside 5..4100";
            return has_nul(0, L - 4) ? "" : "PM: text without a NUL in its first L-4 bytes";
        case TEXT_EV:
            if (L - 1 > l.a) return "==: exceeds its record";
            if (m.body.size() < 6 || m.body[4] != '\0') return "==: byte 4 not 0";
            return has_nul(5, L - 1) ? "" : "==: text without a NUL";
        case TD_BODY: return L + 2 <= l.a ? "" : "TD: exceeds its record";
    }
    return "";
}


// One epoch: the messages from a "~~" to the next.
struct Epoch {
    uint32_t ms;
    std::map<std::string, std::string> body;  // last body of each identifier in the epoch
    std::vector<std::string> order;
};

std::vector<Epoch> epochs_of(const std::vector<Msg>& msgs) {
    std::vector<Epoch> e;
    for (const Msg& m : msgs) {
        if (m.id == "~~") e.push_back({u32_at(m.body, 0), {}, {}});
        if (e.empty()) continue;
        e.back().body[m.id] = m.body;
        e.back().order.push_back(m.id);
    }
    return e;
}

struct Generated {
    std::string log;
    std::vector<Msg> msgs;
    std::vector<Epoch> epochs;
    std::string manifest;
};

// Generates a log with the given options and walks it.
void generate(const std::string& name, const std::string& opts, Generated* g) {
    const std::string log = temp_path(name + ".vlx"), man = temp_path(name + ".man");
    ASSERT_EQ(run_sim(opts + " -o \"" + log + "\" --manifest \"" + man + "\""), 0) << opts;
    g->log = testfiles::read_file(log);
    g->manifest = testfiles::read_file(man);
    std::string err;
    ASSERT_TRUE(walk(g->log, &g->msgs, &err)) << err;
    g->epochs = epochs_of(g->msgs);
    std::remove(log.c_str());
    std::remove(man.c_str());
}

// Satellite-list system codes by simulator letter.
int sx_code(char letter) {
    switch (letter) {
        case 'G': return 1;
        case 'R': return 2;
        case 'S': return 3;
        case 'E': return 4;
        case 'J': return 5;
        case 'C': return 6;
        case 'I': return 7;
    }
    return 0;
}

// Receive-time item scale (s per unit) and offset (s) by system code (9:
// GLONASS code division).
void rx_scale(int code, double* scale, double* offset) {
    static const double sc[10] = {0, 1e-11, 1e-11, 1e-11, 2e-11, 2e-11, 2e-11, 2e-11, 0, 1e-11};
    static const double of[10] = {0, 0.075, 0.075, 0.125, 0.085, 0.125, 0.105, 0.105, 0, 0.075};
    *scale = sc[code];
    *offset = of[code];
}

// Reference carrier of the Doppler base (Hz) of an "SX" entry.
double ref_hz(int code, uint8_t num) {
    if (code == 2) return (1602.0 + 0.5625 * static_cast<int8_t>(num)) * 1e6;
    if (code == 6) return 1561.098e6;
    if (code == 9) return 1600.995e6;
    return 1575.42e6;
}

const char* const OBS_IDS[] = {"rx", "rc", "1r", "2r", "3r", "5r", "lr", "DX", "DC", "0d", "1d", "2d", "3d", "5d",
                               "ld", "cp", "1p", "2p", "3p", "5p", "lp", "CE", "1E", "2E", "3E", "5E", "lE",
                               "FC", "F1", "F2", "F3", "F5", "Fl"};

// The navigation messages: ephemerides, ionosphere and time-system parameters.
const std::set<std::string> NAV_IDS = {"GE", "QE", "EN", "CN", "IE", "NE", "WE", "IO", "QI",
                                       "II", "CI", "UO", "QU", "CU", "IU", "EU", "WU", "NU"};

unsigned items(const std::string& id, const std::string& body) {
    const Layout& l = layouts().at(id);
    return static_cast<unsigned>(body.size() / l.a);
}

long manifest_store(const std::string& manifest, const std::string& store);

class VlxsimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(VLXSIM_BIN).empty()) GTEST_SKIP() << "simulator not built";
    }
};

// ------------------------------------------------------------- framing

struct FramingCase {
    const char* name;
    const char* opts;
    long epochs;
    uint32_t interval_ms;
    long td_every;
    const char* systems;
};

TEST_F(VlxsimTest, FramingCapacitiesAndEpochStructure) {
    const FramingCase cases[] = {
        {"all", "--epochs 90", 90, 1000, 1, "GREJCIS"},
        {"no_td", "--epochs 40 --td-every 0", 40, 1000, 0, "GREJCIS"},
        {"sparse_td", "--epochs 41 --td-every 4 --interval 0.5", 41, 500, 4, "GREJCIS"},
        {"gps_gal", "--epochs 30 --systems GE --interval 5", 30, 5000, 1, "GE"},
        {"glo_sbas", "--epochs 30 --systems RS --seed 7", 30, 1000, 1, "RS"},
        {"long_30s", "--epochs 240 --interval 30 --start \"2031-07-04 18:00:00\"", 240, 30000, 1, "GREJCIS"},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Generated g;
        generate(c.name, c.opts, &g);
        if (HasFatalFailure()) return;

        for (const Msg& m : g.msgs) {
            const std::string fault = capacity_fault(m);
            ASSERT_TRUE(fault.empty()) << fault;
        }
        ASSERT_EQ(static_cast<long>(g.epochs.size()), c.epochs);
        long td = 0;
        std::set<int> allowed;
        for (const char* s = c.systems; *s; ++s) allowed.insert(sx_code(*s));
        if (allowed.count(2)) allowed.insert(9);  // GLONASS code division
        for (size_t k = 0; k < g.epochs.size(); ++k) {
            const Epoch& e = g.epochs[k];
            SCOPED_TRACE("epoch " + std::to_string(k));
            if (k > 0) {
                EXPECT_EQ((e.ms + 86400000u - g.epochs[k - 1].ms) % 86400000u, c.interval_ms);
            }
            // The date follows the time of day, so the converter dates the epoch it opens.
            ASSERT_GE(e.order.size(), 3u);
            EXPECT_EQ(e.order[1], "RD");
            EXPECT_EQ(e.order[2], "SX");
            td += e.body.count("TD");
            if (c.td_every > 0) {
                EXPECT_EQ(e.body.count("TD"), k % c.td_every == 0 ? 1u : 0u);
            }

            const std::string& sx = e.body.at("SX");
            const unsigned n = static_cast<unsigned>(sx.size() / 2);
            ASSERT_GT(n, 0u);
            unsigned glo = 0;
            std::set<std::pair<int, int>> seen;
            for (unsigned i = 0; i < n; ++i) {
                const int code = u8_at(sx, 2 * i);
                EXPECT_TRUE(allowed.count(code)) << "system code " << code;
                if (code == 2) {
                    ++glo;
                } else {
                    EXPECT_TRUE(seen.insert({code, u8_at(sx, 2 * i + 1)}).second) << "satellite twice";
                }
            }
            // Item i of every observation message belongs to entry i of "SX".
            for (const char* id : OBS_IDS) {
                ASSERT_TRUE(e.body.count(id)) << id << " missing";
                EXPECT_EQ(items(id, e.body.at(id)), n) << id;
            }
            EXPECT_EQ(e.body.at("NN").size(), glo);
        }
        EXPECT_EQ(td, c.td_every == 0 ? 0 : (c.epochs + c.td_every - 1) / c.td_every);
    }
}

// Receiver dates only now and then, a gap of epochs whose time passes
// without messages, and an earlier epoch written once more, as it was; the
// epochs written keep their full structure.
TEST_F(VlxsimTest, ReceiverDatesAndGapsFollowTheOptions) {
    struct Case {
        const char* name;
        const char* opts;
        uint32_t interval_ms;
        std::vector<long> written;  // epoch numbers written (time slots from 0)
        std::set<long> dated;       // those with "RD"
    };
    const Case cases[] = {
        {"rd_every3", "--epochs 7 --rd-every 3", 1000, {0, 1, 2, 3, 4, 5, 6}, {0, 3, 6}},
        {"rd_first", "--epochs 5 --rd-every 100", 1000, {0, 1, 2, 3, 4}, {0}},
        {"rd_never", "--epochs 4 --rd-every 0", 1000, {0, 1, 2, 3}, {}},
        {"rd_late", "--epochs 6 --rd-start 2 --rd-every 2", 1000, {0, 1, 2, 3, 4, 5}, {2, 4}},
        {"gap", "--epochs 10 --gap 3:4 --interval 0.2", 200, {0, 1, 2, 7, 8, 9}, {0, 1, 2, 7, 8, 9}},
        {"gap_at_start", "--epochs 4 --gap 0:2 --rd-every 100", 1000, {2, 3}, {}},
        {"out_of_order", "--epochs 6 --again 3:1", 1000, {0, 1, 2, 3, 1, 4, 5}, {0, 1, 2, 3, 4, 5}},
        {"repeated_undated", "--epochs 3 --again 2:2 --rd-every 100 --td-every 0", 1000, {0, 1, 2, 2}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Generated g;
        generate(c.name, c.opts, &g);
        if (HasFatalFailure()) return;
        ASSERT_EQ(g.epochs.size(), c.written.size());
        for (size_t i = 0; i < g.epochs.size(); ++i) {
            const long k = c.written[i];
            const Epoch& e = g.epochs[i];
            EXPECT_EQ(e.ms, static_cast<uint32_t>(k) * c.interval_ms) << "epoch " << k;
            EXPECT_EQ(e.body.count("RD"), c.dated.count(k)) << "epoch " << k;
            EXPECT_EQ(e.order[c.dated.count(k) ? 2 : 1], "SX") << "epoch " << k;
            for (const char* id : OBS_IDS) EXPECT_TRUE(e.body.count(id)) << id << " missing in epoch " << k;
            for (size_t j = 0; j < i; ++j)
                if (c.written[j] == k) {
                    for (const char* id : OBS_IDS) EXPECT_EQ(e.body.at(id), g.epochs[j].body.at(id)) << id;
                }
        }
        std::istringstream in(g.manifest);
        std::string line;
        std::vector<long> listed;
        while (std::getline(in, line))
            if (line.rfind("epoch ", 0) == 0) listed.push_back(std::stol(line.substr(6)));
        EXPECT_EQ(listed, c.written);
    }
}

TEST_F(VlxsimTest, ReceiverInformationPrecedesEpochsAndNavigationFollowsADate) {
    Generated g;
    generate("info", "--epochs 5", &g);
    if (HasFatalFailure()) return;
    std::map<std::string, int> count;
    size_t first_epoch = g.msgs.size(), first_date = g.msgs.size(), first_nav = g.msgs.size();
    for (size_t i = 0; i < g.msgs.size(); ++i) {
        const std::string& id = g.msgs[i].id;
        ++count[id];
        if (id == "~~" && first_epoch == g.msgs.size()) first_epoch = i;
        if (id == "RD" && first_date == g.msgs.size()) first_date = i;
        if (NAV_IDS.count(id) && first_nav == g.msgs.size()) first_nav = i;
        if (id == "JP" || id == "PM" || id == "==" || id == "AI" || id == "PV") {
            EXPECT_LT(i, first_epoch) << id << " after the first epoch";
        }
    }
    for (const char* id : {"JP", "PM", "==", "AI", "PV"}) EXPECT_EQ(count[id], 1) << id;
    // The receiver clock offset: once before the epochs, then in every epoch.
    EXPECT_EQ(count["TO"], 1 + count["~~"]);
    // Every navigation store gets messages in a run with all systems.
    for (const std::string& id : NAV_IDS) EXPECT_GT(count[id], 0) << id;
    // Week numbers are resolved against the receiver date, so it must come first.
    EXPECT_LT(first_date, first_nav);
}

TEST_F(VlxsimTest, NavigationMessagesFollowTheSelectedSystems) {
    struct Case {
        const char* systems;
        std::set<std::string> want;
    };
    const Case cases[] = {
        {"G", {"GE", "IO", "UO"}},
        {"RE", {"NE", "NU", "EN", "EU"}},
        {"JCIS", {"QE", "QI", "QU", "CN", "CI", "CU", "IE", "II", "IU", "WE", "WU"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.systems);
        Generated g;
        generate(std::string("sys_") + c.systems, std::string("--epochs 3 --systems ") + c.systems, &g);
        if (HasFatalFailure()) return;
        std::set<std::string> got;
        for (const Msg& m : g.msgs)
            if (NAV_IDS.count(m.id)) got.insert(m.id);
        EXPECT_EQ(got, c.want);
    }
}

TEST_F(VlxsimTest, SameSeedSameLogOtherSeedOtherLog) {
    Generated a, b, c;
    generate("seed_a", "--epochs 60 --seed 42", &a);
    generate("seed_b", "--epochs 60 --seed 42", &b);
    generate("seed_c", "--epochs 60 --seed 43", &c);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(a.log == b.log);
    EXPECT_EQ(a.manifest, b.manifest);
    EXPECT_FALSE(a.log == c.log);
}

// A thinned log is the full log without the observation epochs left out:
// the same navigation messages in the same order, and the written epochs
// exactly as in the full log.
TEST_F(VlxsimTest, ThinnedObservationsKeepEveryNavigationMessage) {
    Generated full, thin;
    generate("thin_full", "--epochs 400 --interval 30 --seed 5", &full);
    generate("thin", "--epochs 400 --interval 30 --seed 5 --obs-every 7", &thin);
    if (HasFatalFailure()) return;
    auto nav_of = [](const Generated& g) {
        std::vector<std::string> v;
        for (const Msg& m : g.msgs)
            if (NAV_IDS.count(m.id)) v.push_back(m.id + m.body);
        return v;
    };
    EXPECT_EQ(nav_of(thin), nav_of(full));
    ASSERT_EQ(thin.epochs.size(), (400u + 6) / 7);
    for (size_t i = 0; i < thin.epochs.size(); ++i) {
        const Epoch &t = thin.epochs[i], &f = full.epochs[7 * i];
        EXPECT_EQ(t.ms, f.ms) << i;
        for (const char* id : {"RD", "SX", "NN", "rx", "cp", "CE", "FC"}) EXPECT_EQ(t.body.at(id), f.body.at(id)) << id;
    }
    EXPECT_NE(thin.manifest.find("\nobs_every 7\n"), std::string::npos);
    EXPECT_EQ(manifest_store(thin.manifest, "GAL_Eph"), manifest_store(full.manifest, "GAL_Eph"));
}

TEST_F(VlxsimTest, DayAndWeekRollover) {
    // 2024-03-16 is a Saturday: the log crosses midnight and the GPS week.
    Generated g;
    generate("rollover", "--epochs 6 --start \"2024-03-16 23:59:57\"", &g);
    if (HasFatalFailure()) return;
    ASSERT_EQ(g.epochs.size(), 6u);
    const uint32_t want_ms[6] = {86397000, 86398000, 86399000, 0, 1000, 2000};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(g.epochs[k].ms, want_ms[k]);
        const std::string& rd = g.epochs[k].body.at("RD");
        EXPECT_EQ(u8_at(rd, 0) | (u8_at(rd, 1) << 8), 2024);
        EXPECT_EQ(u8_at(rd, 2), 3);
        EXPECT_EQ(u8_at(rd, 3), k < 3 ? 16 : 17);
        EXPECT_EQ(u8_at(rd, 4), 0);  // GPS time
    }
    for (const Msg& m : g.msgs) EXPECT_TRUE(capacity_fault(m).empty()) << capacity_fault(m);
}

// ------------------------------------------------------------- values

// Decoded per satellite with the converter's formulas: C/A range from the
// receive time, range rate from the Doppler base, carrier range from the phase.
struct SatObs {
    double code;     // m
    double rate;     // m/s
    double carrier;  // m, (phase item * 2^-40 s + receive time) * c
    bool flagged[6];
};

std::map<std::pair<int, int>, SatObs> decode_epoch(const Epoch& e) {
    std::map<std::pair<int, int>, SatObs> out;
    const std::string& sx = e.body.at("SX");
    const char* const flag_ids[6] = {"FC", "F1", "F2", "F3", "F5", "Fl"};
    for (size_t i = 0; i < sx.size() / 2; ++i) {
        const int code = u8_at(sx, 2 * i);
        const uint8_t num = u8_at(sx, 2 * i + 1);
        double scale, offset;
        rx_scale(code, &scale, &offset);
        const double t = i32_at(e.body.at("rx"), 4 * i) * scale + offset;
        SatObs o;
        o.code = t * C;
        o.rate = i32_at(e.body.at("DX"), 4 * i) * 1e-4 * C / ref_hz(code, num);
        o.carrier = (i32_at(e.body.at("cp"), 4 * i) * std::ldexp(1.0, -40) + t) * C;
        for (int b = 0; b < 6; ++b) o.flagged[b] = (i16_at(e.body.at(flag_ids[b]), 2 * i) & 0x40) != 0;
        out[{code, num}] = o;
    }
    return out;
}

TEST_F(VlxsimTest, ObservationsArePlausibleAndMutuallyConsistent) {
    Generated g;
    generate("values", "--epochs 120", &g);
    if (HasFatalFailure()) return;
    const char* const cn0_ids[6] = {"CE", "1E", "2E", "3E", "5E", "lE"};
    const char* const band_ids[6] = {nullptr, "1r", "2r", "3r", "5r", "lr"};
    const char* const flag_ids[6] = {"FC", "F1", "F2", "F3", "F5", "Fl"};
    for (size_t k = 0; k < g.epochs.size(); ++k) {
        const Epoch& e = g.epochs[k];
        const std::string& sx = e.body.at("SX");
        for (size_t i = 0; i < sx.size() / 2; ++i) {
            SCOPED_TRACE("epoch " + std::to_string(k) + " entry " + std::to_string(i));
            const int code = u8_at(sx, 2 * i);
            const auto o = decode_epoch(e).at({code, u8_at(sx, 2 * i + 1)});
            EXPECT_GT(o.code, 19.0e6);
            EXPECT_LT(o.code, 42.5e6);
            EXPECT_LT(std::fabs(o.rate * 1575.42e6 / C), 6000.0);  // Doppler of a few kHz at most
            EXPECT_TRUE(o.flagged[0]) << "C/A always tracked";
            for (int b = 0; b < 6; ++b) {
                if (!o.flagged[b]) continue;
                const double cn0 = u8_at(e.body.at(cn0_ids[b]), i) * 0.25;
                EXPECT_GE(cn0, 30.0);
                EXPECT_LE(cn0, 50.0);
                if (b > 0) {
                    // A band range within 50 m of the C/A range, and not clipped at the item limits.
                    const int16_t d = i16_at(e.body.at(band_ids[b]), 2 * i);
                    EXPECT_GT(d, -32768);
                    EXPECT_LT(d, 32767);
                    EXPECT_LT(std::fabs((d * 1e-11 + 2e-7) * C), 50.0) << flag_ids[b];
                }
            }
        }
        if (k == 0) continue;
        // Ranges and carriers move as the Dopplers say between consecutive epochs.
        const auto prev = decode_epoch(g.epochs[k - 1]);
        const auto cur = decode_epoch(e);
        for (const auto& [key, o] : cur) {
            const auto p = prev.find(key);
            if (p == prev.end() || key.first == 2) continue;  // GLONASS channels are not unique
            const double predicted = 0.5 * (o.rate + p->second.rate);
            EXPECT_NEAR(o.code - p->second.code, predicted, 6.0) << "code " << key.first << "/" << key.second;
            EXPECT_NEAR(o.carrier - p->second.carrier, predicted, 0.05) << "carrier " << key.first << "/" << key.second;
        }
    }
}

TEST_F(VlxsimTest, SatellitesRiseAndSetOverALongLog) {
    Generated g;
    generate("passes", "--epochs 360 --interval 60", &g);
    if (HasFatalFailure()) return;
    std::set<std::pair<int, int>> ever, always;
    bool first = true;
    for (const Epoch& e : g.epochs) {
        std::set<std::pair<int, int>> now;
        const std::string& sx = e.body.at("SX");
        for (size_t i = 0; i < sx.size() / 2; ++i) now.insert({u8_at(sx, 2 * i), u8_at(sx, 2 * i + 1)});
        ever.insert(now.begin(), now.end());
        if (first) always = now;
        std::set<std::pair<int, int>> keep;
        for (const auto& s : always)
            if (now.count(s)) keep.insert(s);
        always = keep;
        first = false;
    }
    // Over six hours most medium-orbit satellites come and go; geostationary ones stay.
    EXPECT_GT(ever.size(), always.size() + 20);
    EXPECT_TRUE(always.count({3, 123}));
    EXPECT_TRUE(always.count({6, 1}));
    int gps_ever = 0;
    for (const auto& s : ever) gps_ever += s.first == 1;
    EXPECT_GT(gps_ever, 15);
}

// ------------------------------------------------------------- navigation

long manifest_store(const std::string& manifest, const std::string& store) {
    std::istringstream in(manifest);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string tag, name;
        long n = -1;
        if (f >> tag >> name >> n && tag == "store" && name == store) return n;
    }
    return -1;
}

TEST_F(VlxsimTest, EphemeridesRepeatAndManifestCountsDistinctRecords) {
    Generated g;
    generate("nav", "--epochs 1800 --interval 4", &g);  // two hours
    if (HasFatalFailure()) return;
    std::set<unsigned> ge_lengths, cn_lengths, ne_lengths;
    // Keys of the distinct ephemerides (within two hours no time of week
    // or SBAS issue of data comes round again).
    std::set<std::tuple<int, int32_t, unsigned>> ge;  // satellite, toe, type (by length)
    std::set<std::tuple<int, int, int, int32_t>> ne;  // slot, N4, day number, tb
    std::set<std::pair<int, int>> we;                 // satellite, IOD
    long ge_msgs = 0;
    for (const Msg& m : g.msgs) {
        if (m.id == "GE") {
            ++ge_msgs;
            ge_lengths.insert(m.len);
            ge.insert({u8_at(m.body, 0), i32_at(m.body, 32), m.len});
        } else if (m.id == "CN") {
            cn_lengths.insert(m.len);
        } else if (m.id == "NE") {
            ne_lengths.insert(m.len);
            ne.insert({u8_at(m.body, 0), u8_at(m.body, 84), u8_at(m.body, 2) | (u8_at(m.body, 3) << 8),
                       i32_at(m.body, 8)});
        } else if (m.id == "WE") {
            we.insert({u8_at(m.body, 0), u8_at(m.body, 2)});
        }
    }
    EXPECT_EQ(ge_lengths, (std::set<unsigned>{123, 160, 168}));
    EXPECT_EQ(cn_lengths, (std::set<unsigned>{134, 152, 160}));
    EXPECT_EQ(ne_lengths, (std::set<unsigned>{88, 103}));
    // The same ephemeris is broadcast many times, a new one every two hours.
    EXPECT_GT(ge_msgs, 10 * static_cast<long>(ge.size()));
    EXPECT_EQ(manifest_store(g.manifest, "GPS_Eph"), static_cast<long>(ge.size()));
    EXPECT_EQ(manifest_store(g.manifest, "GLO_Eph"), static_cast<long>(ne.size()));
    EXPECT_EQ(manifest_store(g.manifest, "SBAS_Eph"), static_cast<long>(we.size()));
    // One day: one set of GPS ionosphere and UTC parameters, however often repeated.
    EXPECT_EQ(manifest_store(g.manifest, "Iono_GPS"), 1);
    EXPECT_EQ(manifest_store(g.manifest, "GPS_UTC_Par"), 1);
}

// The manifest states what the log carries, not what a keep rule would
// keep: over three days the 8-bit SBAS issue of data comes round again
// (after 256 issues of ten minutes), and every issue still counts. The
// distinct ephemerides are counted from the log: satellite, issue of data
// and t0 on its day of its week.
TEST_F(VlxsimTest, ManifestCountsWhatTheLogCarriesOverDays) {
    Generated g;
    generate("sbas3d", "--systems S --interval 30 --epochs 8640 --seed 3 --obs-every 120", &g);
    if (HasFatalFailure()) return;
    std::set<std::tuple<int, int, int64_t>> issues;
    std::set<std::pair<int, int>> sat_iod;
    std::set<std::string> wu;
    for (const Msg& m : g.msgs) {
        if (m.id == "WU") wu.insert(m.body);
        if (m.id != "WE") continue;
        const int64_t week = static_cast<uint16_t>(i16_at(m.body, 68)), tx = u32_at(m.body, 64);
        const int64_t t0 = u32_at(m.body, 4);
        // t0 on the day of the message time, within half a day of it.
        const int64_t now = week * 604800 + tx;
        int64_t t = (now / 86400) * 86400 + t0;
        if (t - now > 43200) t -= 86400;
        if (now - t > 43200) t += 86400;
        issues.insert({u8_at(m.body, 0), u8_at(m.body, 2), t});
        sat_iod.insert({u8_at(m.body, 0), u8_at(m.body, 2)});
    }
    EXPECT_GT(issues.size(), sat_iod.size() + 300);
    EXPECT_EQ(manifest_store(g.manifest, "SBAS_Eph"), static_cast<long>(issues.size()));
    EXPECT_EQ(manifest_store(g.manifest, "SBAS_UTC_Par"), static_cast<long>(wu.size()));
    EXPECT_EQ(manifest_store(g.manifest, "SBAS_UTC_Par"), 3);  // one set a day
}

TEST_F(VlxsimTest, ManifestListsTheSatellitesOfEachEpoch) {
    Generated g;
    generate("manifest", "--epochs 20 --systems GRC", &g);
    if (HasFatalFailure()) return;
    std::istringstream in(g.manifest);
    std::string line;
    size_t k = 0;
    while (std::getline(in, line)) {
        if (line.rfind("epoch ", 0) != 0) continue;
        ASSERT_LT(k, g.epochs.size());
        const Epoch& e = g.epochs[k];
        // Satellites per system from the log: GLONASS by the slots of "NN".
        std::map<char, std::vector<int>> from_log;
        const std::string& sx = e.body.at("SX");
        size_t glo = 0;
        for (size_t i = 0; i < sx.size() / 2; ++i) {
            const int code = u8_at(sx, 2 * i);
            const char letter = code == 1 ? 'G' : code == 2 ? 'R' : code == 6 ? 'C' : '?';
            from_log[letter].push_back(code == 2 ? u8_at(e.body.at("NN"), glo++) : u8_at(sx, 2 * i + 1));
        }
        std::istringstream f(line);
        std::string tok;
        std::map<char, std::vector<int>> listed;
        while (f >> tok) {
            if (tok.size() < 2 || tok[1] != '=') continue;
            std::vector<int>& v = listed[tok[0]];
            std::istringstream nums(tok.substr(2));
            std::string num;
            while (std::getline(nums, num, ','))
                if (!num.empty()) v.push_back(std::stoi(num));
        }
        for (char s : {'G', 'R', 'C'}) EXPECT_EQ(listed[s], from_log[s]) << "epoch " << k << " system " << s;
        EXPECT_EQ(listed.count('E'), 0u);
        ++k;
    }
    EXPECT_EQ(k, g.epochs.size());
}

// ------------------------------------------------------------- one sky

// Satellite position (ECEF, m) and clock (s) at system time t_sys (seconds of
// week) from a Keplerian ephemeris message body, written here from the
// interface documents: GPS (WGS-84), Galileo and BeiDou (CGCS2000; GEO
// satellites 1-5 and 59-63 with their -5 degree rotation).
void kepler_from_message(const std::string& b, int code, double t_sys, double pos[3], double* clk) {
    const double PI = 3.141592653589793;
    const double gm = code == 1 ? 3.986005e14 : 3.986004418e14;
    const double we = code == 6 ? 7.292115e-5 : 7.2921151467e-5;
    const int prn = u8_at(b, 0);
    const bool geo = code == 6 && (prn <= 5 || prn >= 59);
    const double toe = i32_at(b, 32), toc = i32_at(b, 8);
    const double af0 = f32_at(b, 28), af1 = f32_at(b, 24), af2 = f32_at(b, 20);
    const double sqrt_a = f64_at(b, 38), e = f64_at(b, 46);
    const double m0 = f64_at(b, 54) * PI, node0 = f64_at(b, 62) * PI, i0 = f64_at(b, 70) * PI, w = f64_at(b, 78) * PI;
    const float dn = static_cast<float>(f32_at(b, 86) * PI), omd = static_cast<float>(f32_at(b, 90) * PI),
                idot = static_cast<float>(f32_at(b, 94) * PI);
    const double crc = f32_at(b, 98), crs = f32_at(b, 102), cuc = f32_at(b, 106), cus = f32_at(b, 110),
                 cic = f32_at(b, 114), cis = f32_at(b, 118);
    auto wrap = [](double dt) { return dt > 302400 ? dt - 604800 : dt < -302400 ? dt + 604800 : dt; };
    const double tk = wrap(t_sys - toe);
    const double a = sqrt_a * sqrt_a;
    const double m = m0 + (std::sqrt(gm / (a * a * a)) + dn) * tk;
    double E = m;
    for (int k = 0; k < 30; ++k) E -= (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    const double phi = std::atan2(std::sqrt(1 - e * e) * std::sin(E), std::cos(E) - e) + w;
    const double u = phi + cus * std::sin(2 * phi) + cuc * std::cos(2 * phi);
    const double r = a * (1 - e * std::cos(E)) + crs * std::sin(2 * phi) + crc * std::cos(2 * phi);
    const double inc = i0 + idot * tk + cis * std::sin(2 * phi) + cic * std::cos(2 * phi);
    const double node = node0 + (geo ? omd : omd - we) * tk - we * toe;
    const double xp = r * std::cos(u), yp = r * std::sin(u);
    double x = xp * std::cos(node) - yp * std::cos(inc) * std::sin(node);
    double y = xp * std::sin(node) + yp * std::cos(inc) * std::cos(node);
    double z = yp * std::sin(inc);
    if (geo) {
        const double f = -5.0 * PI / 180.0, th = we * tk;
        const double y1 = std::cos(f) * y + std::sin(f) * z, z1 = -std::sin(f) * y + std::cos(f) * z;
        const double x2 = std::cos(th) * x + std::sin(th) * y1, y2 = -std::sin(th) * x + std::cos(th) * y1;
        x = x2;
        y = y2;
        z = z1;
    }
    pos[0] = x;
    pos[1] = y;
    pos[2] = z;
    const double tc = wrap(t_sys - toc);
    *clk = af0 + af1 * tc + af2 * tc * tc - 2.0 * std::sqrt(gm) / (C * C) * e * sqrt_a * std::sin(E);
}

// The pseudoranges of the log agree with the navigation messages of the same
// log: satellite orbit and clock at transmit time, Earth rotation during the
// travel, the group delay of the signal, the receiver clock of "TO" and the
// station of "PV", to within the code noise. GPS C/A (TGD), Galileo E1
// (BGD E1-E5b) and BeiDou B1I (TGD1), BeiDou GEO satellites included, over a
// log that crosses ephemeris issues.
TEST_F(VlxsimTest, RangesAgreeWithTheBroadcastOrbitsAndClocks) {
    Generated g;
    generate("one_sky", "--epochs 40 --interval 30 --systems GEC --start \"2024-03-15 09:45:00\"", &g);
    if (HasFatalFailure()) return;
    double station[3] = {};
    double rcv_clock = 0.0;
    std::map<std::pair<int, int>, std::string> eph;  // latest D1/D2, I/NAV or LNAV body by (code, PRN)
    int64_t day_ms = 0;
    int checked[7] = {};
    double sum[7] = {}, sum2[7] = {};
    bool geo_checked = false;
    double worst = 0.0;
    std::string sx, rx;
    auto check_epoch = [&](uint32_t ms) {
        // Seconds of the GPS week: 2024-03-15 is a Friday.
        const double sow = 5 * 86400.0 + day_ms / 1000.0 + ms / 1000.0;
        for (size_t i = 0; i < sx.size() / 2; ++i) {
            const int code = u8_at(sx, 2 * i), prn = u8_at(sx, 2 * i + 1);
            const auto it = eph.find({code, prn});
            if (it == eph.end()) continue;
            double scale, offset;
            rx_scale(code, &scale, &offset);
            const double P = (i32_at(rx, 4 * i) * scale + offset) * C;
            const double we = code == 6 ? 7.292115e-5 : 7.2921151467e-5;
            const double t_sys = sow - rcv_clock - (code == 6 ? 14.0 : 0.0);
            double tau = 0.075, pos[3], clk = 0, rho = 0;
            for (int k = 0; k < 4; ++k) {
                kepler_from_message(it->second, code, t_sys - tau, pos, &clk);
                const double th = we * tau;
                const double p[3] = {std::cos(th) * pos[0] + std::sin(th) * pos[1],
                                     -std::sin(th) * pos[0] + std::cos(th) * pos[1], pos[2]};
                rho = std::sqrt((p[0] - station[0]) * (p[0] - station[0]) + (p[1] - station[1]) * (p[1] - station[1]) +
                                (p[2] - station[2]) * (p[2] - station[2]));
                tau = rho / C;
            }
            // Group delay of the signal: TGD, BGD E1-E5b (bytes 126-129) or TGD1.
            const double delay = code == 4 ? f32_at(it->second, 126) : f32_at(it->second, 16);
            // Galileo clocks run on Galileo time: GST - GPST as broadcast in "EU" (constant here).
            const double ggto = code == 4 ? 2.3283064e-9 : 0.0;
            const double expect = rho + C * (rcv_clock - clk - ggto + delay);
            const double res = P - expect;
            worst = std::max(worst, std::fabs(res));
            EXPECT_LT(std::fabs(res), 3.0) << "system " << code << " PRN " << prn << " at " << ms;
            ++checked[code];
            sum[code] += res;
            sum2[code] += res * res;
            if (code == 6 && (prn <= 5 || prn >= 59)) geo_checked = true;
        }
    };
    bool in_epoch = false;
    uint32_t ms = 0;
    for (const Msg& m : g.msgs) {
        if (m.id == "PV") {
            for (int k = 0; k < 3; ++k) station[k] = f64_at(m.body, 8 * k);
        } else if (m.id == "TO") {
            rcv_clock = f64_at(m.body, 0);
        } else if (m.id == "~~") {
            if (in_epoch) check_epoch(ms);
            in_epoch = true;
            ms = u32_at(m.body, 0);
        } else if (m.id == "SX") {
            sx = m.body;
        } else if (m.id == "rx") {
            rx = m.body;
        } else if ((m.id == "GE" && m.len == 123) || (m.id == "EN" && (u8_at(m.body, 143) & 1)) ||
                   (m.id == "CN" && m.len == 134)) {
            eph[{m.id == "GE" ? 1 : m.id == "EN" ? 4 : 6, u8_at(m.body, 0)}] = m.body;
        }
    }
    if (in_epoch) check_epoch(ms);
    // Unbiased: a missing group delay or clock term shows as an offset.
    for (int code : {1, 4, 6}) {
        ASSERT_GT(checked[code], 100) << code;
        EXPECT_LT(std::fabs(sum[code] / checked[code]), 0.15) << "mean residual of system " << code;
        EXPECT_LT(std::sqrt(sum2[code] / checked[code]), 1.0) << "rms residual of system " << code;
    }
    EXPECT_TRUE(geo_checked);
    EXPECT_GT(worst, 0.05) << "code noise expected";
}

// The inclination goes out at the message's resolution, 2^-31 semicircles
// (so not as a single-precision number, which would hide a writer that
// rounds it), and the rounded issues still describe one sky: at the
// reference time of each new issue, the issue before it puts the satellite
// at the same place. A BeiDou GEO orbit lies in the equator only for an
// inclination of exactly 5 degrees in its frame, which the message cannot
// carry; the rest (at most 7e-10 rad) turns with the Earth over an hour's
// issue, so its issues meet to within r x 7e-10 x 0.26 rad, 8 mm.
TEST_F(VlxsimTest, InclinationAtMessageResolutionAndIssuesMeet) {
    Generated g;
    generate("issues", "--epochs 30 --interval 60 --systems GEC --start \"2024-03-15 09:45:00\"", &g);
    if (HasFatalFailure()) return;
    std::map<std::pair<int, int>, std::map<int32_t, std::string>> issues;  // (code, PRN) -> toe -> body
    int on_grid = 0, not_float = 0;
    for (const Msg& m : g.msgs) {
        const bool kepler = (m.id == "GE" && m.len == 123) || (m.id == "EN" && (u8_at(m.body, 143) & 1)) ||
                            (m.id == "CN" && m.len == 134);
        if (!kepler) continue;
        const double i0_sc = f64_at(m.body, 70);
        const double steps = std::ldexp(i0_sc, 31);
        EXPECT_EQ(steps, std::round(steps)) << m.id << " PRN " << int(u8_at(m.body, 0));
        ++on_grid;
        const double i0 = i0_sc * 3.141592653589793;
        if (static_cast<double>(static_cast<float>(i0)) != i0) ++not_float;
        issues[{m.id == "GE" ? 1 : m.id == "EN" ? 4 : 6, u8_at(m.body, 0)}].emplace(i32_at(m.body, 32), m.body);
    }
    EXPECT_GT(on_grid, 100);
    EXPECT_EQ(not_float, on_grid) << "every i0 should need more than single precision";
    int switches[7] = {};
    for (const auto& [key, by_toe] : issues) {
        // Update periods: GPS 2 h, Galileo 10 min, BeiDou 1 h; a satellite
        // out of view leaves gaps, whose issues are not neighbours.
        const int32_t period = key.first == 1 ? 7200 : key.first == 4 ? 600 : 3600;
        for (auto it = by_toe.begin(); std::next(it) != by_toe.end(); ++it) {
            const auto next = std::next(it);
            if (next->first - it->first != period) continue;
            double a[3], b[3], clk;
            kepler_from_message(it->second, key.first, next->first, a, &clk);
            kepler_from_message(next->second, key.first, next->first, b, &clk);
            const double d = std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                                       (a[2] - b[2]) * (a[2] - b[2]));
            const bool bds_geo = key.first == 6 && (key.second <= 5 || key.second >= 59);
            EXPECT_LT(d, bds_geo ? 1e-2 : 1e-3)
                << "system " << key.first << " PRN " << key.second << " at toe " << next->first;
            ++switches[key.first];
        }
    }
    for (int code : {1, 4, 6}) EXPECT_GT(switches[code], 0) << code;
}

// ------------------------------------------------------------- options

TEST_F(VlxsimTest, RejectsBadOptions) {
    const std::string out = temp_path("bad.vlx");
    const char* const bad[] = {
        "--systems GX",  "--systems \"\"", "--start \"2024-02-30 00:00:00\"", "--start 2024-03-15",
        "--start \"1999-01-01 00:00:00\"", "--interval 0", "--interval 0.0005", "--interval -1",
        "--epochs -1", "--epochs 12x", "--td-every -2", "--seed abc", "--bogus 1", "--epochs",
        "--rd-every -1", "--rd-start x", "--gap 5", "--gap 5:0", "--gap :2", "--gap 3:2x",
        "--again 2:3", "--again 3", "--again 3:x", "--epochs 3 --again 5:1", "--epochs 10 --gap 2:3 --again 6:3",
        "--epochs 10 --gap 2:3 --again 3:1",
        "--obs-every 0", "--obs-every -3", "--obs-every 2.5", "--epochs 10 --obs-every 2 --again 5:2",
    };
    for (const char* opts : bad) {
        EXPECT_EQ(run_sim(std::string(opts) + " -o \"" + out + "\""), 2) << opts;
    }
    EXPECT_EQ(run_sim("--epochs 3"), 2) << "no output file";
    EXPECT_EQ(run_sim("--epochs 3 -o /nonexistent-dir/x.vlx"), 1);
    std::remove(out.c_str());
}

}  // namespace
