// Whole runs of the converter on a hand-built log whose broadcast values are
// not single-precision numbers: a GPS and a BeiDou inclination at the
// message's resolution (2^-31 semicircles) and GLONASS positions to the
// millimetre. The navigation files of both RINEX versions must carry them
// whole. The BeiDou satellites are a geostationary one of the upper range
// (C59, which sends D2) and its neighbour C58 (D1).
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/eph_builder.h"
#include "support/files.h"
#include "support/run_command.h"

using namespace vlxlog;

namespace {

// i0 = 644245094 x 2^-31 semicircles = 0.2999999998137355 semicircles,
// 0.9424777954917707 rad; the nearest float is 0.94247782230377.
const double I0_SC = 644245094.0 / 2147483648.0;
const char* const I0_FIELD = "     9.424777954918e-01";

std::string values_log() {
    std::string log = receiver_date(2024, 1, 7) + epoch_time(0);

    GpsEphFields g;
    g.prn = 3;
    g.i0 = I0_SC;
    g.crc = 187.5f;
    log += gps_eph(g);

    // Positions in km: floats would hold 19100.123046875 and -7654.3212890625.
    GloFields r;
    r.slot = 4;
    r.pos[0] = 19100.123456789;
    r.pos[1] = 12345.5;
    r.pos[2] = -7654.3210987654;
    log += glo_eph(r);

    BdsFields d1;
    d1.type_flags = 0x01;
    for (uint8_t prn : {58, 59}) {
        KeplerFields c;
        c.prn = prn;
        c.week = 940;
        c.i0 = I0_SC;
        c.crc = 187.5f;
        log += bds_eph(c, d1);
    }
    return log;
}

// Converts the log with `args` in a directory of its own and returns it.
std::string convert(const std::vector<std::string>& args) {
    const std::string dir = testfiles::temp_dir();
    EXPECT_FALSE(dir.empty());
    const runcmd::Result r = convrun::convert_in(dir, values_log(), args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    return dir;
}

// The file of `dir` whose name ends in `ending` ("N", "p_MN.rnx"); the
// short names carry the run year in between.
std::string file_ending(const std::string& dir, const std::string& ending) {
    std::string text;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.rfind("rover.", 0) == 0 && name.size() == 8 + ending.size() &&
                name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                text = testfiles::read_file(dir + "/" + name);
        }
        closedir(d);
    }
    EXPECT_FALSE(text.empty()) << "no file rover.YY" << ending;
    return text;
}

// Orbit line 4 of the Keplerian records: i0, Crc, omega, OMEGA DOT.
const std::string KEPLER_ORBIT_4 = std::string(I0_FIELD) +
                                   " 1.875000000000e+02 0.000000000000e+00 0.000000000000e+00\n";
// Orbit lines 1 and 3 of the GLONASS record: x and z with velocity,
// acceleration, health and age 0.
const std::string GLO_X = "     1.910012345679e+04 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";
const std::string GLO_Y = "     1.234550000000e+04 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";
const std::string GLO_Z = "    -7.654321098765e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";

size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(BroadcastValuesRun, Rinex305CarriesTheValuesWhole) {
    const std::string dir = convert({"-rv", "3.05"});
    EXPECT_EQ(count_of(file_ending(dir, "N"), KEPLER_ORBIT_4), 1u);
    EXPECT_EQ(count_of(file_ending(dir, "C"), KEPLER_ORBIT_4), 2u);
    const std::string glo = file_ending(dir, "G");
    EXPECT_NE(glo.find(GLO_X + GLO_Y + GLO_Z), std::string::npos) << glo;
}

TEST(BroadcastValuesRun, Rinex4CarriesTheValuesWholeAndC59SendsD2) {
    const std::string nav = file_ending(convert({"-rv", "4.00"}), "p_MN.rnx");
    EXPECT_EQ(count_of(nav, KEPLER_ORBIT_4), 3u);
    EXPECT_NE(nav.find(GLO_X + GLO_Y + GLO_Z), std::string::npos) << nav;
    EXPECT_NE(nav.find("\n> EPH C58 D1\nC58 "), std::string::npos) << nav;
    EXPECT_NE(nav.find("\n> EPH C59 D2\nC59 "), std::string::npos) << nav;
}
