// Whole runs of the converter on a log with ionosphere and time-system
// messages of every constellation: where the IONOSPHERIC CORR and TIME
// SYSTEM CORR lines stand in the RINEX 3.05 headers, and the STO and ION
// records in the RINEX 4 mixed and separate files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"
#include "support/gps_eph_builder.h"
#include "support/iono_utc_builder.h"
#include "support/rinex_text.h"

using convrun::run_year;
using rnxtext::body;
using testfiles::read_file;
using namespace vlxlog;

namespace {

const double P29 = std::ldexp(1.0, -29);
const float F50 = std::ldexp(1.0f, -50);
const float F30 = std::ldexp(1.0f, -30);

Klob klob(float a0) {
    return Klob{{a0, std::ldexp(1.0f, -26), 0, -std::ldexp(1.0f, -24)}, {90112, 16384, -131072, -262144}};
}

// Receiver date 2024-03-15 12:34:56, one GPS ephemeris, and the parameters
// of every constellation (no BeiDou ephemeris, so no plausible BeiDou
// ionosphere record; no Galileo ephemeris, so no Galileo ionosphere
// record). The Galileo GPS offset's week WN0G is a week after the UTC
// parameters' WNt.
std::string iono_log() {
    GpsEphFields g3;
    g3.prn = 3;
    g3.week = 248;
    std::string log = epoch_time(45296789) + receiver_date(2024, 3, 15) + gps_eph(g3);
    log += iono_msg("IO", klob(-std::ldexp(1.0f, -27)));
    log += iono_msg("QI", klob(std::ldexp(1.0f, -24)));
    log += iono_msg("II", klob(std::ldexp(1.0f, -26)));
    log += iono_msg("CI", klob(1e-8f), 3601);
    log += utc_msg("UO", Utc{-P29, -F50, 405504, 252, 18, 0, 0, 18});
    log += utc_msg("QU", Utc{P29, 0, 345600, 252, 18, 0, 0, 18});
    log += utc_msg("IU", Utc{P29, F50, 0, 252, 18, 0, 0, 18});
    log += utc_msg("CU", Utc{-P29, 0, 0, 900, 4, 0, 0, 4});
    log += eu_msg(Utc{P29, F50, 259200, 248, 18, 0, 0, 18}, -F30, F50, 432000, 249);
    log += nu_msg(-P29, F30);
    return log;
}

// Converts the log in `dir` with `args`; the converter's exit status.
int convert(const std::string& dir, const std::vector<std::string>& args) {
    return convrun::convert_in(dir, iono_log(), args).status;
}

// The header lines after PGM / RUN BY / DATE, up to END OF HEADER.
std::string header_tail(const std::string& text) {
    size_t pgm = text.find("PGM / RUN BY / DATE\n");
    size_t end = text.find("END OF HEADER\n");
    if (pgm == std::string::npos || end == std::string::npos) return "?";
    size_t from = pgm + 20;
    return text.substr(from, end + 14 - from);
}

const std::string END = std::string(60, ' ') + "END OF HEADER\n";
const std::string NO_SBAS = std::string(20, ' ');
std::string id18(const std::string& id) { return id + std::string(18 - id.size(), ' '); }
// The transmission time of every record: the messages stand in the epoch
// of Friday 12:34:56.789, in seconds of the GPS week and, for BeiDou, of
// the BeiDou week (14 s behind).
const std::string TX = "     4.772967890000e+05", TX_BDS = "     4.772827890000e+05";

const std::string KLOB_TAIL = "    -5.960464477539e-08 9.011200000000e+04 1.638400000000e+04-1.310720000000e+05\n"
                              "    -2.621440000000e+05\n";

std::string sto(const char* head, const char* date, const char* id, const char* utc, const char* values,
                const std::string& tx = TX) {
    return std::string(head) + "\n    " + date + " " + id18(id) + NO_SBAS + id18(utc) + "\n" + tx + values + "\n";
}
std::string ion(const char* head, const char* alpha0) {
    return std::string(head) + "\n    2024 03 15 12 34 56" + alpha0 + " 1.490116119385e-08 0.000000000000e+00\n" +
           KLOB_TAIL;
}

const std::string STO_G = sto("> STO G   LNAV", "2024 02 08 16 38 24", "GPUT", "UTC(USNO)",
                              "-1.862645149231e-09-8.881784197001e-16 0.000000000000e+00");
const std::string ION_G = ion("> ION G   LNAV", "-7.450580596924e-09");
// GLONASS from tau_c = -2^-29 s and tau_GPS = 2^-30 s.
const std::string STO_R = sto("> STO R   FDMA", "2024 03 15 00 00 00", "GLUT", "UTC(SU)",
                              " 1.862645149231e-09 0.000000000000e+00 0.000000000000e+00") +
                          sto("> STO R   FDMA", "2024 03 15 00 00 00", "GLGP", "",
                              " 9.313225746155e-10 0.000000000000e+00 0.000000000000e+00");
// Galileo's UTC record (week 2296), then its GPS-Galileo offset (a0G of
// the 3.05 GAGP line), dated by WN0G and t0G: Friday of week 2297.
const std::string STO_E = sto("> STO E   IFNV", "2024 01 10 00 00 00", "GAUT", "UTCGAL",
                              " 1.862645149231e-09 8.881784197001e-16 0.000000000000e+00") +
                          sto("> STO E   IFNV", "2024 01 19 00 00 00", "GAGP", "",
                              "-9.313225746155e-10 8.881784197001e-16 0.000000000000e+00");
const std::string STO_J = sto("> STO J   LNAV", "2024 02 08 00 00 00", "QZUT", "UTC(NICT)",
                              " 1.862645149231e-09 0.000000000000e+00 0.000000000000e+00");
const std::string ION_J = ion("> ION J   LNAV", " 5.960464477539e-08");
const std::string STO_C = sto("> STO C   D1D2", "2023 04 02 00 00 00", "BDUT", "UTC(NTSC)",
                              "-1.862645149231e-09 0.000000000000e+00 0.000000000000e+00", TX_BDS);
const std::string STO_I = sto("> STO I   LNAV", "2024 02 04 00 00 00", "IRUT", "UTCIRN",
                              " 1.862645149231e-09 8.881784197001e-16 0.000000000000e+00");
const std::string ION_I = ion("> ION I   LNAV", " 1.490116119385e-08");

}  // namespace

TEST(IonoNavRun, Rinex305HeaderLinesBeforeEndOfHeader) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "3.05"}), 0);
    const std::string stem = dir + "/rover." + run_year();
    struct Case {
        const char* letter;
        std::string lines;
    };
    const Case cases[] = {
        {"N", "GPSA  -7.4506e-09  1.4901e-08  0.0000e+00 -5.9605e-08       IONOSPHERIC CORR\n"
              "GPSB   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05       IONOSPHERIC CORR\n"
              "GPUT -1.8626451492e-09-8.881784197e-16 405504 2300          TIME SYSTEM CORR\n"},
        {"I", "IRNA   1.4901e-08  1.4901e-08  0.0000e+00 -5.9605e-08       IONOSPHERIC CORR\n"
              "IRNB   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05       IONOSPHERIC CORR\n"
              "IRUT  1.8626451492e-09 8.881784197e-16      0 2300          TIME SYSTEM CORR\n"},
        {"G", "GLUT  1.8626451492e-09 0.000000000e+00      0    0          TIME SYSTEM CORR\n"
              "GLGP  9.3132257462e-10 0.000000000e+00      0    0          TIME SYSTEM CORR\n"},
        {"L", "GAL    0.0000e+00  0.0000e+00  0.0000e+00  0.0000e+00       IONOSPHERIC CORR\n"
              "GAUT  1.8626451492e-09 8.881784197e-16 259200 2296          TIME SYSTEM CORR\n"
              "GAGP -9.3132257462e-10 8.881784197e-16 432000 2297          TIME SYSTEM CORR\n"},
        {"C", "BDUT -1.8626451492e-09 0.000000000e+00      0  900          TIME SYSTEM CORR\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        const std::string text = read_file(stem + c.letter);
        std::string tail = header_tail(text);
        // The LEAP SECONDS line (its writer belongs to the observation
        // header) comes first, with the leap seconds of the last UTC record
        // that carries them.
        if (tail.size() > 72 && tail.compare(60, 12, "LEAP SECONDS") == 0) {
            EXPECT_EQ(tail.substr(0, 73), "    18" + std::string(54, ' ') + "LEAP SECONDS\n");
            tail.erase(0, 73);
        }
        EXPECT_EQ(tail, c.lines + END);
    }
}

// Each constellation's records follow its ephemerides: GPS, GLONASS,
// Galileo, QZSS, BeiDou, NavIC.
TEST(IonoNavRun, Rinex4MixedFileGroupsByConstellation) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "4.00"}), 0);
    const std::string text = body(read_file(dir + "/rover." + run_year() + "p_MN.rnx"));
    ASSERT_EQ(text.compare(0, 15, "> EPH G03 LNAV\n"), 0) << text;
    const size_t sto = text.find("> STO");
    ASSERT_NE(sto, std::string::npos);
    EXPECT_EQ(text.find("> EPH", sto), std::string::npos);
    EXPECT_EQ(text.substr(sto), STO_G + ION_G + STO_R + STO_E + STO_J + ION_J + STO_C + STO_I + ION_I);
}

TEST(IonoNavRun, Rinex4SeparateFiles) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "4.01", "-SN"}), 0);
    const std::string stem = dir + "/rover." + run_year() + "p";
    const std::string gps = body(read_file(stem + "_GN.rnx"));
    ASSERT_EQ(gps.compare(0, 15, "> EPH G03 LNAV\n"), 0) << gps;
    EXPECT_EQ(gps.substr(gps.find("> STO")), STO_G + ION_G);
    EXPECT_EQ(body(read_file(stem + "_RN.rnx")), STO_R);
    EXPECT_EQ(body(read_file(stem + "_EN.rnx")), STO_E);
    EXPECT_EQ(body(read_file(stem + "_JN.rnx")), STO_J + ION_J);
    EXPECT_EQ(body(read_file(stem + "_CN.rnx")), STO_C);
    EXPECT_EQ(body(read_file(stem + "_IN.rnx")), STO_I + ION_I);
    EXPECT_EQ(body(read_file(stem + "_SN.rnx")), "");
}

// A first UTC message of zeros in every constellation, then one with
// values: the 3.05 headers hold the lines of the second record (the record
// of zeros hides nothing after it); the RINEX 4 file has a record of each.
TEST(IonoNavRun, RecordsOfZerosHideNothing) {
    const Utc zero{0, 0, 0, 0, 0, 0, 0, 0};
    std::string log = epoch_time(45296789) + receiver_date(2024, 3, 15);
    for (const char* id : {"UO", "IU", "CU"})
        log += utc_msg(id, zero) + utc_msg(id, Utc{P29, F50, 61440, 252, 18, 0, 0, 18});
    log += eu_msg(zero, 0, 0, 0, 0) + eu_msg(Utc{-P29, F50, 259200, 252, 18, 0, 0, 18}, -F30, F50, 345600, 252);
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convrun::convert_in(dir, log, {"-rv", "3.05"}).status, 0);
    const std::string stem = dir + "/rover." + run_year();
    struct Case {
        const char* letter;
        std::string lines;
    };
    const Case cases[] = {
        {"N", "GPUT  1.8626451492e-09 8.881784197e-16  61440 2300          TIME SYSTEM CORR\n"},
        {"I", "IRUT  1.8626451492e-09 8.881784197e-16  61440 2300          TIME SYSTEM CORR\n"},
        {"C", "BDUT  1.8626451492e-09 8.881784197e-16  61440  252          TIME SYSTEM CORR\n"},
        {"L", "GAUT -1.8626451492e-09 8.881784197e-16 259200 2300          TIME SYSTEM CORR\n"
              "GAGP -9.3132257462e-10 8.881784197e-16 345600 2300          TIME SYSTEM CORR\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        std::string lines;
        for (const std::string& l : testfiles::lines_of(read_file(stem + c.letter)))
            if (l.ends_with("TIME SYSTEM CORR")) lines += l + "\n";
        EXPECT_EQ(lines, c.lines);
    }

    ASSERT_EQ(convrun::convert_in(dir, log, {"-rv", "4.00"}).status, 0);
    const std::string nav = read_file(stem + "p_MN.rnx");
    for (const char* id : {" GPUT ", " IRUT ", " BDUT ", " GAUT ", " GAGP "}) {
        SCOPED_TRACE(id);
        size_t n = 0;
        for (size_t p = nav.find(id); p != std::string::npos; p = nav.find(id, p + 1)) ++n;
        EXPECT_EQ(n, 2u);
    }
}
