// Whole runs of the converter on logs that work the navigation stores hard:
// an ephemeris repeat, dropped, whose slot takes the next message of the
// store (that record must hold only what its own message gives), and the
// BeiDou ionosphere and NavIC UTC stores filled past a hundred records
// (every stored record must reach the files).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/eph_builder.h"
#include "support/files.h"
#include "support/iono_utc_builder.h"
#include "support/rinex_text.h"

namespace fs = std::filesystem;
using rnxtext::body;
using namespace vlxlog;

namespace {

struct Conversion {
    std::string dir;
    int status;
};

// Converts `log` with the given options in a fresh directory.
Conversion convert(const std::string& log, const std::vector<std::string>& args) {
    Conversion r{testfiles::temp_dir(), -1};
    r.status = convrun::convert_in(r.dir, log, args).status;
    return r;
}

// The text of the one output file whose name ends in `suffix`.
std::string output(const Conversion& r, const std::string& suffix) {
    std::string text = "(no file ending in " + suffix + ")";
    for (const auto& e : fs::directory_iterator(r.dir)) {
        if (e.path().filename().string().ends_with(suffix)) text = testfiles::read_file(e.path().string());
    }
    return text;
}

}  // namespace

// ------------------------------------------- the slot of a dropped repeat

namespace {

// A record A, its repeat, then a record B of another satellite that does
// not set a field A set.
struct RepeatCase {
    const char* name;
    std::string a, b;
    const char* file;     // RINEX 4 separate file
    std::string records;  // everything it holds after its header
};

// The fields of a GPS-like message: satellite and week as sent, the rest
// the builder's defaults (toc = toe = 7200 s).
KeplerFields kepler(uint8_t prn, int16_t week) {
    KeplerFields k;
    k.prn = prn;
    k.week = week;
    return k;
}

std::string gps(uint8_t prn, int16_t iodc, int length = 123, uint8_t cnav_flags = 0) {
    GpsEphFields f = kepler(prn, 248);
    f.iodc = iodc;
    f.cnav_flags = cnav_flags;
    return gps_eph(f, length);
}

std::string navic(uint8_t prn, uint8_t flags) {
    KeplerFields k = kepler(prn, 248);
    k.flags = flags;
    k.iodc = 100;
    return navic_eph(k);
}

std::string galileo(uint8_t prn, uint8_t sources) {
    GalFields g;
    g.sources = sources;
    return gal_eph(kepler(prn, 1272), g);
}

std::string beidou(uint8_t prn, uint8_t type_flags) {
    BdsFields b;
    b.type_flags = type_flags;
    return bds_eph(kepler(prn, 940), b);
}

// The lines every Keplerian record of these messages shares: orbit lines
// 2 to 4 (Cuc, e, Cus, sqrt(A); toe, Cic, OMEGA0, Cis; i0, Crc, omega,
// OMEGA DOT).
const std::string ORBIT_2_TO_4 =
    "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
    "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
    "     9.424777960769e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";

// Head and clock line of a record (all clock terms 0, toc 02:00 on
// 2024-01-07), then its first orbit line with IODE (or AODE) `iode`.
std::string head(const std::string& sv, const std::string& type, const char* iode) {
    return "> EPH " + sv + type + "\n" + sv +
           " 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
           "     " +
           iode + " 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";
}

// A GPS LNAV record of these messages: satellite, IODC and fit interval.
std::string lnav_record(const std::string& sv, const char* iodc, const char* fit) {
    return head(sv, " LNAV", "1.000000000000e+01") + ORBIT_2_TO_4 +
           "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
           "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 " +
           iodc + "\n     7.200000000000e+03 " + fit + "\n";
}

// A NavIC record: the spare after TGD is blank and the transmission time
// stands alone on the last line (no fit interval, no IODEC there).
std::string navic_record(const std::string& sv) {
    const std::string spare(19, ' ');
    return head(sv, " LNAV", "1.000000000000e+01") + ORBIT_2_TO_4 + "     0.000000000000e+00" + spare +
           " 2.296000000000e+03" + spare +
           "\n"
           "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00" +
           spare + "\n     7.200000000000e+03\n";
}

// Galileo: the type (right-adjusted in five columns) and the data-source word.
std::string gal_record(const std::string& sv, const char* type5, const char* sources) {
    return head(sv, type5, "1.000000000000e+01") + ORBIT_2_TO_4 + "     0.000000000000e+00 " + sources +
           " 2.296000000000e+03 0.000000000000e+00\n"
           "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
           "     7.200000000000e+03\n";
}

const RepeatCase repeat_cases[] = {
    // G07 LNAV with IODC 100 has a fit interval of 4 hours; G09 (IODC 300) none.
    {"GpsFitInterval", gps(7, 100), gps(9, 300), "_GN.rnx",
     lnav_record("G07", "1.000000000000e+02", "4.000000000000e+00") +
         lnav_record("G09", "3.000000000000e+02", "0.000000000000e+00")},
    // A 168-byte message with no deciding type bit has no type and is not
    // written, whatever the dropped CNAV record before it was.
    {"GpsTypeOfUndecidedMessage", gps(7, 100, 168, 0x02), gps(9, 100, 168, 0x00), "_GN.rnx",
     head("G07", " CNAV", "0.000000000000e+00") +
         "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
         "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     9.424777960769e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     7.200000000000e+03 2.296000000000e+03\n"},
    // I05 with flag bit 0 and IODC 100 has a fit interval, I06 without the
    // bit none; the NavIC record has no field for either.
    {"NavicFitInterval", navic(5, 0x01), navic(6, 0x00), "_IN.rnx", navic_record("I05") + navic_record("I06")},
    // E12 carries no data-source bit: no type, data-source word 0.
    {"GalileoType", galileo(11, 0x01), galileo(12, 0x00), "_EN.rnx",
     gal_record("E11", " INAV", "5.170000000000e+02") + gal_record("E12", "     ", "0.000000000000e+00") +
         "> ION E   IFNV\n"
         "    2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     0.000000000000e+00\n"},
    // C22's flag byte names no message kind: no type, so no orbit lines.
    {"BeidouType", beidou(21, 0x01), beidou(22, 0x10), "_CN.rnx",
     "> EPH C21 D1\n"
     "C21 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n" +
         ORBIT_2_TO_4 +
         "     0.000000000000e+00 0.000000000000e+00 9.400000000000e+02 0.000000000000e+00\n"
         "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
         "     7.200000000000e+03 0.000000000000e+00\n"
         "> EPH C22 \n"
         "C22 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"},
};

void PrintTo(const RepeatCase& c, std::ostream* os) { *os << c.name; }

class RepeatThenUnsetField : public testing::TestWithParam<RepeatCase> {};

}  // namespace

// B is written exactly as when the repeat never came. Further repeats of
// both records (A A B A B) are still recognised after the slot was reused.
TEST_P(RepeatThenUnsetField, RecordHoldsOnlyItsOwnMessage) {
    const RepeatCase& c = GetParam();
    const Conversion with = convert(week_2296() + c.a + c.a + c.b + c.a + c.b, {"-rv", "4.00", "-SN"});
    const Conversion without = convert(week_2296() + c.a + c.b, {"-rv", "4.00", "-SN"});
    ASSERT_EQ(with.status, 0);
    ASSERT_EQ(without.status, 0);
    const std::string records = body(output(with, c.file));
    EXPECT_EQ(records, c.records);
    EXPECT_EQ(records, body(output(without, c.file)));
}

INSTANTIATE_TEST_SUITE_P(NavStoreRun, RepeatThenUnsetField, testing::ValuesIn(repeat_cases),
                         [](const testing::TestParamInfo<RepeatCase>& i) { return std::string(i.param.name); });

// ------------------------------ BeiDou ionosphere and NavIC UTC stores

namespace {

// The value that tells the i-th message from the others: i * 2^-30.
double nth(int i) { return std::ldexp(static_cast<double>(i), -30); }

// A receiver date, one BeiDou ephemeris (C07, whose number the ionosphere
// records carry), then `n` distinct BeiDou ionosphere and `n` distinct
// NavIC UTC messages.
std::string filled_stores_log(int n) {
    std::string log = epoch_time(45296789) + receiver_date(2024, 3, 15) + beidou(7, 0x01);
    const float a1 = std::ldexp(1.0f, -26), a3 = -std::ldexp(1.0f, -24);
    for (int i = 1; i <= n; ++i)
        log += iono_msg("CI", Klob{{static_cast<float>(nth(i)), a1, 0, a3}, {90112, 16384, -131072, -262144}}, 3601);
    for (int i = 1; i <= n; ++i) log += utc_msg("IU", Utc{nth(i), 0, 0, 252, 18, 0, 0, 18});
    return log;
}

std::string sci(double v, int decimals) {
    char b[32];
    std::snprintf(b, sizeof b, "%.*e", decimals, v);
    return b;
}

// The records and header lines of the i-th message (a positive value, so
// a leading blank in its field).
std::string ion_record(int i) {
    return "> ION C07 D1D2\n    2024 03 15 12 34 56 " + sci(nth(i), 12) +
           " 1.490116119385e-08 0.000000000000e+00\n"
           "    -5.960464477539e-08 9.011200000000e+04 1.638400000000e+04-1.310720000000e+05\n"
           "    -2.621440000000e+05\n";
}
// The NavIC records were received on Friday 12:34:56.789: their
// transmission time in seconds of the week.
std::string sto_record(int i) {
    return "> STO I   LNAV\n    2024 02 04 00 00 00 IRUT" + std::string(34, ' ') + "UTCIRN" + std::string(12, ' ') +
           "\n     4.772967890000e+05 " + sci(nth(i), 12) + " 0.000000000000e+00 0.000000000000e+00\n";
}
std::string bds_iono_lines(int i) {
    return "BDSA   " + sci(nth(i), 4) +
           "  1.4901e-08  0.0000e+00 -5.9605e-08 B  7  IONOSPHERIC CORR\n"
           "BDSB   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05 B  7  IONOSPHERIC CORR\n";
}
std::string irut_line(int i) {
    return "IRUT  " + sci(nth(i), 10) + " 0.000000000e+00      0 2300          TIME SYSTEM CORR\n";
}

// The lines of `text` that end in `label`.
std::string lines_labelled(const std::string& text, const std::string& label) {
    std::string lines;
    for (size_t p = 0, e; p < text.size(); p = e + 1) {
        e = text.find('\n', p);
        if (e == std::string::npos) e = text.size();
        const std::string line = text.substr(p, e - p);
        if (line.ends_with(label)) lines += line + "\n";
    }
    return lines;
}

class FilledStores : public testing::TestWithParam<int> {};

}  // namespace

// 99 and 100 messages: where stores that started again at record 0 after
// record 98 would leave the writers bounded by the count nothing, or only
// the last record.
TEST_P(FilledStores, EveryStoredRecordIsWritten) {
    const int n = GetParam();
    std::string ion, sto, bds_lines, irut_lines;
    for (int i = 1; i <= n; ++i) {
        ion += ion_record(i);
        sto += sto_record(i);
        bds_lines += bds_iono_lines(i);
        irut_lines += irut_line(i);
    }
    const std::string log = filled_stores_log(n);

    const Conversion v4 = convert(log, {"-rv", "4.00", "-SN"});
    ASSERT_EQ(v4.status, 0);
    const std::string bds_file = body(output(v4, "_CN.rnx"));
    const size_t first_ion = bds_file.find("> ION");
    ASSERT_NE(first_ion, std::string::npos) << bds_file;
    EXPECT_EQ(bds_file.substr(first_ion), ion);
    EXPECT_EQ(body(output(v4, "_IN.rnx")), sto);

    const Conversion v3 = convert(log, {"-rv", "3.05"});
    ASSERT_EQ(v3.status, 0);
    EXPECT_EQ(lines_labelled(output(v3, "C"), "IONOSPHERIC CORR"), bds_lines);
    EXPECT_EQ(lines_labelled(output(v3, "I"), "TIME SYSTEM CORR"), irut_lines);
}

INSTANTIATE_TEST_SUITE_P(NavStoreRun, FilledStores, testing::Values(99, 100));
