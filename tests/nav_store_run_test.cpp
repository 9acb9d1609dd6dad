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

#include "support/eph_builder.h"
#include "support/iono_utc_builder.h"
#include "support/run_command.h"

namespace fs = std::filesystem;
using namespace vlxlog;

namespace {

struct Conversion {
    std::string dir;
    int status;
};

// Converts `log` with the given options in a fresh directory.
Conversion convert(const std::string& log, std::vector<std::string> args) {
    Conversion r{runcmd::temp_dir(), -1};
    const std::string path = r.dir + "/rover.bin";
    if (!write_file(path, log)) return r;
    args.insert(args.begin(), {VORSKEL_BIN, "-f", path});
    r.status = runcmd::run(args, r.dir).status;
    return r;
}

// The text of the one output file whose name ends in `suffix`.
std::string output(const Conversion& r, const std::string& suffix) {
    std::string text = "(no file ending in " + suffix + ")";
    for (const auto& e : fs::directory_iterator(r.dir)) {
        if (e.path().filename().string().ends_with(suffix)) text = runcmd::slurp(e.path().string());
    }
    return text;
}

// Everything after END OF HEADER.
std::string body(const std::string& text) {
    const size_t end = text.find("END OF HEADER\n");
    return end == std::string::npos ? "?" : text.substr(end + 14);
}

// 2024-01-07 is the first day of GPS week 2296.
const std::string WEEK_2296 = receiver_date(2024, 1, 7) + epoch_time(0);

}  // namespace

// ------------------------------------------- the slot of a dropped repeat

namespace {

// A record A, its repeat, then a record B of another satellite that does
// not set a field A set.
struct RepeatCase {
    const char* name;
    std::string a, b;
    const char* file;     // RINEX 4 separate file
    const char* records;  // everything it holds after its header
};

std::string gps(uint8_t prn, int16_t iodc, int length = 123, uint8_t cnav_flags = 0) {
    GpsEphFields f;
    f.prn = prn;
    f.iodc = iodc;
    f.week = 248;
    f.cnav_flags = cnav_flags;
    return gps_eph(f, length);
}

std::string navic(uint8_t prn, uint8_t flags) {
    KeplerFields k;
    k.prn = prn;
    k.week = 248;
    k.flags = flags;
    k.iodc = 100;
    return navic_eph(k);
}

std::string galileo(uint8_t prn, uint8_t sources) {
    KeplerFields k;
    k.prn = prn;
    k.week = 1272;
    GalFields g;
    g.sources = sources;
    return gal_eph(k, g);
}

std::string beidou(uint8_t prn, uint8_t type_flags) {
    KeplerFields k;
    k.prn = prn;
    k.week = 940;
    BdsFields b;
    b.type_flags = type_flags;
    return bds_eph(k, b);
}

const RepeatCase repeat_cases[] = {
    // G07 LNAV with IODC 100 has a fit interval of 4 hours; G09 (IODC 300) none.
    {"GpsFitInterval", gps(7, 100), gps(9, 300), "_GN.rnx",
     "> EPH G07 LNAV\n"
     "G07 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
     "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.000000000000e+02\n"
     "     7.200000000000e+03 4.000000000000e+00\n"
     "> EPH G09 LNAV\n"
     "G09 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
     "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 3.000000000000e+02\n"
     "     7.200000000000e+03 0.000000000000e+00\n"},
    // A 168-byte message with no deciding type bit has no type and is not
    // written, whatever the dropped CNAV record before it was.
    {"GpsTypeOfUndecidedMessage", gps(7, 100, 168, 0x02), gps(9, 100, 168, 0x00), "_GN.rnx",
     "> EPH G07 CNAV\n"
     "G07 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     7.200000000000e+03 2.296000000000e+03\n"},
    // I05 with flag bit 0 and IODC 100 has a fit interval; I06 without the bit none.
    {"NavicFitInterval", navic(5, 0x01), navic(6, 0x00), "_IN.rnx",
     "> EPH I05 LNAV\n"
     "I05 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
     "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.000000000000e+02\n"
     "     7.200000000000e+03 4.000000000000e+00\n"
     "> EPH I06 LNAV\n"
     "I06 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
     "     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.000000000000e+02\n"
     "     7.200000000000e+03 0.000000000000e+00\n"},
    // E12 carries no data-source bit: no type.
    {"GalileoType", galileo(11, 0x01), galileo(12, 0x00), "_EN.rnx",
     "> EPH E11 INAV\n"
     "E11 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 5.170000000000e+02 2.296000000000e+03 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     7.200000000000e+03\n"
     "> EPH E12     \n"
     "E12 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     7.200000000000e+03\n"
     "> ION E   IFNV\n"
     "    2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00\n"},
    // C22's flag byte names no message kind: no type, so no orbit lines.
    {"BeidouType", beidou(21, 0x01), beidou(22, 0x10), "_CN.rnx",
     "> EPH C21 D1\n"
     "C21 2024 01 07 02 00 00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     0.000000000000e+00 1.000000000000e-02 0.000000000000e+00 5.153600000000e+03\n"
     "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
     "     9.424778223038e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
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
    const Conversion with = convert(WEEK_2296 + c.a + c.a + c.b + c.a + c.b, {"-rv", "4.00", "-SN"});
    const Conversion without = convert(WEEK_2296 + c.a + c.b, {"-rv", "4.00", "-SN"});
    ASSERT_EQ(with.status, 0);
    ASSERT_EQ(without.status, 0);
    const std::string records = body(output(with, c.file));
    EXPECT_EQ(records, c.records);
    EXPECT_EQ(records, body(output(without, c.file)));
}

INSTANTIATE_TEST_SUITE_P(NavStoreRun, RepeatThenUnsetField, testing::ValuesIn(repeat_cases),
                         [](const testing::TestParamInfo<RepeatCase>& i) { return std::string(i.param.name); });
