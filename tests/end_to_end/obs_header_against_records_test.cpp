// Simulator logs of every system converted end to end and read back: the
// epoch records of a RINEX 3.05 file are those of the 4.00 file of the same
// log, and what the 3.05 header says about the records (the satellites and
// phase corrections of SYS / PHASE SHIFT, "# OF SATELLITES") holds against
// the records of the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/rinex_text.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace {

struct Sim {
    const char* name;
    std::vector<std::string> args;  // simulator options besides the output file
};

// Every system; epochs closed by "TD", or only now and then; two skies; a
// log of one epoch, closed by "TD" or only by the end of the log.
const Sim SIMS[] = {
    {"all systems", {"--epochs", "120", "--systems", "GREJCIS", "--seed", "1"}},
    {"all systems, TD every 3rd, other sky",
     {"--epochs", "90", "--systems", "GREJCIS", "--seed", "7", "--td-every", "3", "--start", "2024-03-15 23:59:00"}},
    {"one epoch", {"--epochs", "1", "--systems", "GREJCIS", "--seed", "7"}},
    {"one epoch, no TD", {"--epochs", "1", "--systems", "GREJCIS", "--seed", "1", "--td-every", "0"}},
};

// Simulates `sim` in a directory of its own and converts it with `args`;
// returns the observation file.
std::string simulate_and_convert(const Sim& sim, const std::vector<std::string>& args) {
    const std::string dir = testfiles::temp_dir();
    std::vector<std::string> s = {VLXSIM_BIN, "-o", "s.vlx"};
    s.insert(s.end(), sim.args.begin(), sim.args.end());
    const runcmd::Result r = runcmd::run(s, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> conv = {VORSKEL_BIN, "-f", "s.vlx"};
    conv.insert(conv.end(), args.begin(), args.end());
    const runcmd::Result v = runcmd::run(conv, dir);
    EXPECT_EQ(v.status, 0) << v.out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.size() == 5 && name.rfind("s.", 0) == 0 && name.back() == 'o') return testfiles::read_file(e.path());
    }
    ADD_FAILURE() << "no observation file";
    return "";
}

std::string records_of(const std::string& text) {
    const size_t end = text.find("END OF HEADER\n");
    return end == std::string::npos ? "" : text.substr(end);
}

// One SYS / PHASE SHIFT line with its continuation lines.
struct PhaseLine {
    double shift;
    int count;
    std::set<std::string> sats;
};

// Phase-shift lines per system letter and phase code, in file order.
std::map<std::string, std::vector<PhaseLine>> phase_lines(const std::string& text) {
    std::map<std::string, std::vector<PhaseLine>> out;
    std::vector<PhaseLine>* last = nullptr;
    for (const std::string& l : testfiles::lines_of(text)) {
        if (l.size() <= 60 || l.substr(60) != "SYS / PHASE SHIFT") continue;
        if (l[0] != ' ') {
            last = &out[l.substr(0, 1) + l.substr(2, 3)];
            last->push_back({rnxtext::field(l, 6, 8), static_cast<int>(rnxtext::field(l, 16, 2)), {}});
        }
        if (last == nullptr) continue;
        for (size_t c = 18; c + 4 <= 60; c += 4)
            if (l.substr(c + 1, 3) != "   ") last->back().sats.insert(l.substr(c + 1, 3));
    }
    return out;
}

// The satellites that have a value of each phase code in the records, by
// system letter and code.
std::map<std::string, std::set<std::string>> phases_in_records(const rnxtext::ObsFile& f) {
    std::map<std::string, std::set<std::string>> out;
    for (const rnxtext::ObsEpoch& e : f.epochs)
        for (const auto& [sat, values] : e.values) {
            const auto& types = f.types.at(sat[0]);
            for (size_t k = 0; k < types.size() && k < values.size(); ++k)
                if (types[k][0] == 'L' && !std::isnan(values[k])) out[std::string(1, sat[0]) + types[k]].insert(sat);
        }
    return out;
}

int header_satellite_count(const std::string& text) {
    for (const std::string& l : testfiles::lines_of(text))
        if (l.size() > 60 && l.substr(60) == "# OF SATELLITES") return static_cast<int>(rnxtext::field(l, 0, 6));
    return -1;
}

bool skip() { return std::string(VLXSIM_BIN).empty(); }

struct Converted {
    std::string what;  // the log and the options
    std::string text;
};

// The RINEX 3.05 files of every simulator log, converted with each set of
// options.
std::vector<Converted> rinex305_files(const std::vector<std::vector<std::string>>& options) {
    std::vector<Converted> out;
    for (const Sim& sim : SIMS)
        for (const auto& opt : options) {
            std::vector<std::string> args = {"-rv", "3.05"};
            args.insert(args.end(), opt.begin(), opt.end());
            std::string what = sim.name;
            for (const std::string& o : opt) what += " " + o;
            out.push_back({what, simulate_and_convert(sim, args)});
        }
    return out;
}

}  // namespace

// QZSS and every other system are decoded alike for 3.05 and 4.00: the
// records of the two files of one log are the same, byte for byte.
TEST(HeaderAgainstRecords, Rinex305RecordsAreThoseOfRinex400) {
    if (skip()) GTEST_SKIP() << "simulator not built";
    for (const Sim& sim : SIMS) {
        SCOPED_TRACE(sim.name);
        const std::string v305 = simulate_and_convert(sim, {"-rv", "3.05"});
        const std::string v400 = simulate_and_convert(sim, {"-rv", "4.00"});
        ASSERT_FALSE(records_of(v400).empty());
        EXPECT_EQ(records_of(v305), records_of(v400));
    }
}

// Per system and phase code, the lines list exactly the satellites whose
// phases the records hold, each satellite under the correction its phases
// carry; a code whose phases the records hold always has its line.
TEST(HeaderAgainstRecords, PhaseShiftListsAreTheSatellitesWithPhases) {
    if (skip()) GTEST_SKIP() << "simulator not built";
    for (const Converted& file : rinex305_files({{}, {"-p", "30"}, {"-GC"}, {"-C", "-E"}})) {
        SCOPED_TRACE(file.what);
        const std::string& text = file.text;
        const rnxtext::ObsFile f = rnxtext::read_obs(text);
        ASSERT_TRUE(f.error.empty()) << f.error;
        const auto lines = phase_lines(text);
        const auto phases = phases_in_records(f);
        ASSERT_FALSE(phases.empty());
        for (const auto& [code, sats] : phases) {
            const auto it = lines.find(code);
            ASSERT_NE(it, lines.end()) << code << " has phases and no line";
            std::set<std::string> listed;
            for (const PhaseLine& p : it->second) listed.insert(p.sats.begin(), p.sats.end());
            EXPECT_EQ(listed, sats) << code;
        }
        for (const auto& [code, ls] : lines) {
            EXPECT_TRUE(phases.count(code)) << code << " has a line and no phases";
            for (size_t i = 0; i < ls.size(); ++i) {
                EXPECT_EQ(ls[i].count, static_cast<int>(ls[i].sats.size())) << code;
                if (i > 0) {
                    EXPECT_LT(ls[i - 1].shift, ls[i].shift) << code;  // one line per correction
                }
            }
        }
        // GLONASS band 5: the code-division satellites (those with L4X
        // phases) without correction, the others with a quarter cycle.
        if (lines.count("RL3X") && phases.count("RL4X")) {
            const std::set<std::string>& cdma = phases.at("RL4X");
            for (const PhaseLine& p : lines.at("RL3X"))
                for (const std::string& sat : p.sats) EXPECT_EQ(p.shift, cdma.count(sat) ? 0.0 : 0.25) << sat;
        }
    }
}

// "# OF SATELLITES" is the number of satellites that the records hold.
TEST(HeaderAgainstRecords, SatelliteCountIsTheSatellitesOfTheRecords) {
    if (skip()) GTEST_SKIP() << "simulator not built";
    for (const Converted& file : rinex305_files({{}, {"-p", "30"}, {"-R"}, {"-GC"}})) {
        SCOPED_TRACE(file.what);
        const std::string& text = file.text;
        std::set<std::string> sats;
        for (const rnxtext::ObsEpoch& e : rnxtext::read_obs(text).epochs)
            for (const auto& [sat, values] : e.values) sats.insert(sat);
        ASSERT_FALSE(sats.empty());
        EXPECT_EQ(header_satellite_count(text), static_cast<int>(sats.size()));
    }
}
