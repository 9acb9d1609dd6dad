// Whole runs of the converter on simulator logs of several days: three days
// at 30 s, eight days from a Sunday, a night across the GPS week boundary
// and a month. Each navigation file must hold, per system and message type,
// one record for every distinct ephemeris the log carries (counted here
// from the log itself), the ionosphere and time-offset records its
// parameter messages give, and its records in the order of their full
// times across the week and day boundaries. The observations of these logs
// are thinned (the navigation messages are not), so that they stay small.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "support/files.h"
#include "support/log_walk.h"
#include "support/rinex_text.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace {

using namespace logwalk;

// ------------------------------------------------ what the log carries

// The body of a Keplerian ephemeris ("GE", "QE", "EN", "CN", "IE") without
// its time of transmission and week as sent, with the week of toe instead:
// the same ephemeris sent again, also across a week boundary, gives the
// same identity.
std::string kepler_identity(std::string b) {
    const int64_t tx = u32_at(b, 1), toe = i32_at(b, 32);
    int64_t week = i16_at(b, 14);
    if (toe - tx > 302400) --week;
    if (toe - tx < -302400) ++week;
    b.replace(1, 4, 4, '\0');
    b.replace(14, 2, 2, '\0');
    return b + "/" + std::to_string(week);
}

// GLONASS: the body without tk and the age of data, which change while one
// ephemeris is sent again.
std::string glonass_identity(std::string b) {
    b.replace(4, 4, 4, '\0');
    b[13] = '\0';
    return b;
}

// SBAS: the body without time of transmission and week, with t0 placed on
// its day of its week (within half a day of the transmission).
std::string sbas_identity(std::string b) {
    const int64_t now = static_cast<int64_t>(static_cast<uint16_t>(i16_at(b, 68))) * 604800 + u32_at(b, 64);
    int64_t t = now / 86400 * 86400 + u32_at(b, 4);
    if (t - now > 43200) t -= 86400;
    if (now - t > 43200) t += 86400;
    b.replace(64, 6, 6, '\0');
    return b + "/" + std::to_string(t);
}

// Record kinds by "letter type", as the RINEX 4 record header names them
// ("G LNAV", "E FNAV", "C D1", "R FDMA", "G ION", ...), time-offset records
// by their identifier ("E STO GAUT").
struct Carried {
    std::map<std::string, std::unordered_set<std::string>> eph;    // distinct ephemerides
    std::map<std::string, std::unordered_set<std::string>> param;  // distinct parameter messages
    long bds_ion_kept = 0;  // BeiDou ionosphere records by the keep rule below
};

std::string gps_type(const Msg& m) {
    if (m.len == 123) return "LNAV";
    const uint8_t f = u8_at(m.body, 122);
    return (f & 0x08) ? "CNV2" : (f & 0x06) ? "CNAV" : "?";
}

// D2 is the message of the geostationary satellites, C01-C05 and C59-C63.
std::string beidou_type(const Msg& m) {
    const uint8_t f = u8_at(m.body, 126);
    const uint8_t sv = u8_at(m.body, 0);
    if (f & 0x07) return sv < 6 || (sv >= 59 && sv <= 63) ? "D2" : "D1";
    return (f & 0x08) ? "CNV1" : (f & 0x20) ? "CNV2" : (f & 0x40) ? "CNV3" : "?";
}

// The BeiDou ionosphere keep rule, replayed in log order: a message is
// dropped when it repeats the last kept record (alpha0, alpha1, beta0), or
// when an earlier kept record has its alpha0 and alpha1 and the same
// satellite, the one of the latest new BeiDou ephemeris; the file shows the
// records of satellites 1 to 63.
struct BdsIonRule {
    struct Rec {
        float a0, a1, b0;
        int sv;
    };
    std::vector<Rec> kept;
    int last_sat = 0;
    void add(const std::string& b) {
        const Rec r{f32_at(b, 6), f32_at(b, 10), f32_at(b, 22), last_sat};
        if (!kept.empty() && kept.back().a0 == r.a0 && kept.back().a1 == r.a1 && kept.back().b0 == r.b0) return;
        for (const Rec& k : kept)
            if (k.a0 == r.a0 && k.a1 == r.a1 && k.sv == r.sv) return;
        kept.push_back(r);
    }
    long shown() const {
        long n = 0;
        for (const Rec& k : kept) n += k.sv >= 1 && k.sv <= 63;
        return n;
    }
};

Carried carried_by(const std::vector<Msg>& msgs) {
    static const std::map<std::string, std::string> PARAM = {
        {"IO", "G ION"},      {"QI", "J ION"},      {"II", "I ION"},      {"UO", "G STO GPUT"},
        {"QU", "J STO QZUT"}, {"CU", "C STO BDUT"}, {"IU", "I STO IRUT"}, {"EU", "E STO GAUT"},
        {"CI", "C ION"}};
    Carried c;
    BdsIonRule bds_ion;
    for (const Msg& m : msgs) {
        const std::string& b = m.body;
        if (m.id == "GE" || m.id == "QE") {
            c.eph[(m.id == "GE" ? "G " : "J ") + gps_type(m)].insert(kepler_identity(b));
        } else if (m.id == "EN") {
            const uint8_t src = u8_at(b, 143);
            c.eph[(src & 0x05) ? "E INAV" : (src & 0x02) ? "E FNAV" : "E ?"].insert(kepler_identity(b));
        } else if (m.id == "CN") {
            if (c.eph["C " + beidou_type(m)].insert(kepler_identity(b)).second) bds_ion.last_sat = u8_at(b, 0);
        } else if (m.id == "IE") {
            c.eph["I LNAV"].insert(kepler_identity(b));
        } else if (m.id == "NE") {
            c.eph["R FDMA"].insert(glonass_identity(b));
        } else if (m.id == "WE") {
            c.eph["S SBAS"].insert(sbas_identity(b));
        } else if (PARAM.count(m.id)) {
            c.param[PARAM.at(m.id)].insert(b);
            if (m.id == "CI") bds_ion.add(b);
            if (m.id == "EU") c.param["E STO GAGP"].insert(b);  // its GPS-Galileo offset
        }
    }
    c.bds_ion_kept = bds_ion.shown();
    return c;
}

// ------------------------------------------------ what the file holds

// One ephemeris record of the file: its satellite and the time of its
// epoch line, in seconds of the file's time scale for that system.
struct Written {
    int prn;
    int64_t t;
};

// What a RINEX 4 navigation file holds: records per "letter type" ("> EPH
// G05 LNAV" counts as "G LNAV", "> ION C07 D1D2" as "C ION", "> STO E
// IFNV" with GAUT on its next line as "E STO GAUT"), and the ephemeris
// records of each system in file order. Only the record heads and the
// lines after them are read.
struct FileRecords {
    std::map<std::string, long> count;
    std::map<char, std::vector<Written>> eph;
};

FileRecords written_by(const std::string& nav) {
    FileRecords f;
    for (size_t p = 0; p < nav.size();) {
        size_t e = nav.find('\n', p);
        if (e == std::string::npos) e = nav.size();
        const std::string l = nav.substr(p, e - p);
        p = e + 1;
        if (l.size() < 7 || l.compare(0, 2, "> ") != 0) continue;
        const std::string kind = l.substr(2, 3);
        if (kind == "ION") ++f.count[l.substr(6, 1) + " ION"];
        if (kind == "STO") ++f.count[l.substr(6, 1) + " STO " + nav.substr(p + 24, 4)];
        if (kind != "EPH" || l.size() < 11) continue;
        std::string type = l.substr(10);
        type.erase(0, type.find_first_not_of(' '));
        ++f.count[l.substr(6, 1) + " " + type];
        // The epoch line: system and satellite, then the date.
        int y, mo, d, h, mi, sec;
        const std::string date = nav.substr(p + 3, 20);  // sscanf measures the whole string it reads
        if (std::sscanf(date.c_str(), "%d %d %d %d %d %d", &y, &mo, &d, &h, &mi, &sec) != 6) continue;
        f.eph[l[6]].push_back({std::atoi(l.substr(7, 2).c_str()), rnxtext::instant(y, mo, d, h, mi, sec).sec});
    }
    return f;
}

struct LongLog {
    const char* name;
    const char* sim;  // simulator options
    // A boundary the log crosses, as a date of each file's own time scale:
    // the GPS week (GPS, QZSS, Galileo, NavIC, SBAS), the BeiDou week
    // (BeiDou time) and the GLONASS day (Moscow midnight, in UTC).
    rnxtext::Instant week, bds_week, glo_day;
};

void PrintTo(const LongLog& c, std::ostream* os) { *os << c.name; }

const rnxtext::Instant SUN_17 = rnxtext::instant(2024, 3, 17, 0, 0, 0);
const rnxtext::Instant MSK_17 = rnxtext::instant(2024, 3, 16, 21, 0, 0);
const rnxtext::Instant SUN_24 = rnxtext::instant(2024, 3, 24, 0, 0, 0);
const rnxtext::Instant MSK_24 = rnxtext::instant(2024, 3, 23, 21, 0, 0);

const LongLog LOGS[] = {
    // Friday to Monday: the SBAS issue of data comes round after 42.7 hours.
    {"ThreeDaysAt30s", "--interval 30 --epochs 8640 --seed 3 --obs-every 120", SUN_17, SUN_17, MSK_17},
    // Sunday to Monday a week later: the same GPS times of ephemeris again.
    {"EightDaysFromSunday", "--start \"2024-03-17 00:00:00\" --interval 300 --epochs 2304 --seed 4 --obs-every 12",
     SUN_24, SUN_24, MSK_24},
    // Saturday evening to Sunday morning, at 30 s.
    {"NightAcrossTheWeek", "--start \"2024-03-16 19:00:00\" --interval 30 --epochs 1200 --seed 5 --obs-every 60",
     SUN_17, SUN_17, MSK_17},
    // A month: tens of thousands of records in the Galileo, BeiDou and
    // GLONASS stores.
    {"ThirtyOneDays", "--start \"2024-03-11 00:00:00\" --interval 1800 --epochs 1488 --seed 6 --obs-every 48",
     SUN_17, SUN_17, MSK_17},
};

class LongLogNav : public testing::TestWithParam<LongLog> {
protected:
    void SetUp() override {
        if (std::string(VLXSIM_BIN).empty()) GTEST_SKIP() << "simulator not built";
    }
};

}  // namespace

TEST_P(LongLogNav, EveryRecordOfTheLogInTheOrderOfItsFullTime) {
    const LongLog& c = GetParam();
    const std::string dir = testfiles::temp_dir();
    const std::string log = dir + "/long.vlx";
    const runcmd::Result sim = runcmd::run({"/bin/sh", "-c", std::string("\"") + VLXSIM_BIN + "\" -o \"" + log +
                                                                 "\" " + c.sim});
    ASSERT_EQ(sim.status, 0) << sim.err;

    std::vector<Msg> msgs;
    std::string err;
    {
        const std::string bytes = testfiles::read_file(log);
        ASSERT_TRUE(walk(bytes, &msgs, &err)) << err;
    }
    const Carried carried = carried_by(msgs);
    msgs.clear();

    const runcmd::Result run = runcmd::run({VORSKEL_BIN, "-f", log}, dir);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("store full"), std::string::npos) << run.out;
    std::string nav;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().ends_with("_MN.rnx")) nav = testfiles::read_file(e.path().string());
    ASSERT_FALSE(nav.empty());

    // Every distinct ephemeris once, per system and message type.
    const FileRecords file = written_by(nav);
    const std::map<std::string, long>& written = file.count;
    for (const auto& [kind, ids] : carried.eph) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(written.count(kind) ? written.at(kind) : 0, static_cast<long>(ids.size()));
    }
    for (const char* kind : {"G LNAV", "G CNAV", "G CNV2", "J LNAV", "E INAV", "E FNAV", "C D1", "C D2", "C CNV1",
                             "C CNV2", "I LNAV", "R FDMA", "S SBAS"})
        EXPECT_TRUE(carried.eph.count(kind)) << kind << " missing from the log";
    for (const auto& [kind, n] : written) {
        const bool parameters = kind.ends_with("ION") || kind.find(" STO ") != std::string::npos;
        EXPECT_TRUE(parameters || carried.eph.count(kind)) << kind << " written but not in the log";
    }

    // Every parameter set the keep rules take: one per distinct message
    // (those rules compare with the last record, or with every record and
    // its week), BeiDou ionosphere by its own rule.
    for (const auto& [kind, bodies] : carried.param) {
        SCOPED_TRACE(kind);
        const long want = kind == "C ION" ? carried.bds_ion_kept : static_cast<long>(bodies.size());
        EXPECT_EQ(written.count(kind) ? written.at(kind) : 0, want);
    }
    EXPECT_GT(carried.bds_ion_kept, 0);

    // Ascending full time, and ascending satellite at one time, within each
    // system; records on both sides of the boundary.
    EXPECT_EQ(file.eph.size(), 7u);
    for (const auto& [sys, recs] : file.eph) {
        SCOPED_TRACE(std::string(1, sys));
        const rnxtext::Instant boundary = sys == 'C' ? c.bds_week : sys == 'R' ? c.glo_day : c.week;
        long before = 0, after = 0;
        for (size_t i = 0; i < recs.size(); ++i) {
            (recs[i].t < boundary.sec ? before : after) += 1;
            if (i == 0) continue;
            const Written &a = recs[i - 1], &b = recs[i];
            ASSERT_TRUE(a.t < b.t || (a.t == b.t && a.prn <= b.prn))
                << "record " << i << ": " << b.prn << " at " << b.t << " after " << a.prn << " at " << a.t;
        }
        EXPECT_GT(before, 0);
        EXPECT_GT(after, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(LongLogs, LongLogNav, testing::ValuesIn(LOGS),
                         [](const testing::TestParamInfo<LongLog>& i) { return std::string(i.param.name); });
