// Whole runs of the converter on a log holding ephemerides of every
// constellation: which records reach which navigation file, in which
// order, and how many lines each record has. Also the NavIC records of the
// bundled sample log as a reader that counts their fields takes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/eph_builder.h"
#include "support/files.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace fs = std::filesystem;
using convrun::run_year;
using testfiles::file_lines;
using namespace vlxlog;

namespace {

// Ephemerides of every system, deliberately out of order and with one
// repeat per system (dropped), one SBAS record of URA 16 (not written) and
// one I/NAV and one F/NAV batch of the same Galileo satellite and time.
std::string all_systems_log() {
    std::string log = receiver_date(2024, 1, 7) + epoch_time(0);

    GpsEphFields g;
    g.prn = 3;
    log += gps_eph(g) + gps_eph(g);

    GloFields r9, r2, r7;
    r9.slot = 9;
    r9.tb = 10800;
    r7.slot = 7;
    r7.tb = 14400;
    r2.slot = 2;
    r2.tb = 14400;
    log += glo_eph(r7) + glo_eph(r2, 103) + glo_eph(r9) + glo_eph(r7);

    KeplerFields e5, e11;
    e5.prn = 5;
    e5.week = 1272;
    e5.toe = 7200;
    e11.prn = 11;
    e11.week = 1272;
    e11.toe = 3600;
    GalFields inav, fnav;
    inav.sources = 0x01;
    fnav.sources = 0x02;
    log += gal_eph(e5, inav) + gal_eph(e11, inav) + gal_eph(e11, fnav) + gal_eph(e11, inav);

    KeplerFields c21, c6;
    c21.prn = 21;
    c21.week = 940;
    c6.prn = 6;
    c6.week = 940;
    BdsFields cnv1, d1;
    cnv1.type_flags = 0x08;
    d1.type_flags = 0x01;
    log += bds_eph(c21, cnv1, 152) + bds_eph(c6, d1) + bds_eph(c6, d1);

    KeplerFields i5;
    i5.prn = 5;
    i5.week = 248;
    log += navic_eph(i5) + navic_eph(i5);

    SbasFields s20, s27, s33;
    s20.prn = 120;
    s20.tx = 86000;
    s20.t0 = 100;
    s27.prn = 127;
    s27.ura = 16;
    s33.prn = 133;
    s33.ura = 2;
    s33.tx = 7200;
    s33.t0 = 7200;
    log += sbas_eph(s20) + sbas_eph(s27) + sbas_eph(s33) + sbas_eph(s20);
    return log;
}

// Converts the log in `dir` with `args`; the converter's exit status.
int convert(const std::string& dir, const std::vector<std::string>& args) {
    return convrun::convert_in(dir, all_systems_log(), args).status;
}

// Each ephemeris record's header line with its number of lines, the
// header line included ("> EPH E11 FNAV:9;"); other records are left out.
std::string eph_records(const std::vector<std::string>& lines) {
    std::string o;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("> EPH ", 0) != 0) continue;
        size_t n = 1;
        while (i + n < lines.size() && lines[i + n].rfind(">", 0) != 0) ++n;
        o += lines[i] + ":" + std::to_string(n) + ";";
    }
    return o;
}

// The head lines of the records other than ephemerides ("> ION E   IFNV;").
std::string other_records(const std::vector<std::string>& lines) {
    std::string o;
    for (const std::string& l : lines)
        if (l.rfind("> ", 0) == 0 && l.rfind("> EPH ", 0) != 0) o += l + ";";
    return o;
}

// RINEX 3.05: each record's satellite with its number of lines.
std::string records_305(const std::vector<std::string>& lines) {
    std::string o;
    size_t i = 0;
    while (i < lines.size() && lines[i].find("END OF HEADER") == std::string::npos) ++i;
    for (++i; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == ' ') continue;
        size_t n = 1;
        while (i + n < lines.size() && lines[i + n].rfind("    ", 0) == 0) ++n;
        o += lines[i].substr(0, 3) + ":" + std::to_string(n) + ";";
    }
    return o;
}

}  // namespace

TEST(AllSystemsNavRun, Rinex4MixedFileHoldsEverySystemInOrder) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "4.00"}), 0);
    const std::string nav = dir + "/rover." + run_year() + "p_MN.rnx";
    ASSERT_TRUE(fs::exists(nav));
    // Groups in the order GPS, GLONASS, Galileo, QZSS, BeiDou, NavIC, SBAS;
    // within a group by reference time, then satellite; the Galileo F/NAV
    // batch before the I/NAV one of the same satellite.
    EXPECT_EQ(eph_records(file_lines(nav)),
              "> EPH G03 LNAV:9;"
              "> EPH R09 FDMA:6;> EPH R02 FDMA:6;> EPH R07 FDMA:6;"
              "> EPH E11 FNAV:9;> EPH E11 INAV:9;> EPH E05 INAV:9;"
              "> EPH C06 D1:9;> EPH C21 CNV1:11;"
              "> EPH I05 LNAV:9;"
              "> EPH S33 SBAS:5;> EPH S20 SBAS:5;");
}

TEST(AllSystemsNavRun, Rinex4SeparateFiles) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "4.01", "-SN"}), 0);
    const std::string stem = dir + "/rover." + run_year() + "p";
    EXPECT_EQ(eph_records(file_lines(stem + "_RN.rnx")), "> EPH R09 FDMA:6;> EPH R02 FDMA:6;> EPH R07 FDMA:6;");
    EXPECT_EQ(eph_records(file_lines(stem + "_EN.rnx")),
              "> EPH E11 FNAV:9;> EPH E11 INAV:9;> EPH E05 INAV:9;");
    EXPECT_EQ(eph_records(file_lines(stem + "_CN.rnx")), "> EPH C06 D1:9;> EPH C21 CNV1:11;");
    EXPECT_EQ(eph_records(file_lines(stem + "_IN.rnx")), "> EPH I05 LNAV:9;");
    EXPECT_EQ(eph_records(file_lines(stem + "_SN.rnx")), "> EPH S33 SBAS:5;> EPH S20 SBAS:5;");
    EXPECT_EQ(eph_records(file_lines(stem + "_JN.rnx")), "");
    // GLONASS ephemerides without a GLONASS time message: no time-offset
    // record. Galileo ephemerides: the ionosphere record of the first.
    EXPECT_EQ(other_records(file_lines(stem + "_RN.rnx")), "");
    EXPECT_EQ(other_records(file_lines(stem + "_EN.rnx")), "> ION E   IFNV;");
}

TEST(AllSystemsNavRun, Rinex305FilePerConstellation) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_EQ(convert(dir, {"-rv", "3.05"}), 0);
    const std::string base = dir + "/rover." + run_year();
    EXPECT_EQ(records_305(file_lines(base + "N")), "G03:8;");
    EXPECT_EQ(records_305(file_lines(base + "G")), "R09:5;R02:5;R07:5;");
    EXPECT_EQ(records_305(file_lines(base + "L")), "E11:8;E11:8;E05:8;");
    EXPECT_EQ(records_305(file_lines(base + "C")), "C06:8;") << "RINEX 3.05 has no CNAV records";
    EXPECT_EQ(records_305(file_lines(base + "I")), "I05:8;");
    EXPECT_FALSE(fs::exists(base + "S"));
}

namespace {

// The ephemeris records of a navigation file as a reader that takes each
// record by its count of fields sees them: the clock line from column 24
// and every orbit line from column 5 joined as written, then cut into
// fields of 19 columns. RINEX 4 records other than "> EPH" are passed over.
std::vector<std::vector<std::string>> record_fields(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> records;
    size_t i = 0;
    while (i < lines.size() && lines[i].find("END OF HEADER") == std::string::npos) ++i;
    bool eph = true;
    std::string joined;
    auto flush = [&] {
        if (joined.empty()) return;
        std::vector<std::string> fields;
        for (size_t k = 0; k < joined.size(); k += 19) fields.push_back(joined.substr(k, 19));
        records.push_back(fields);
        joined.clear();
    };
    for (++i; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.rfind("    ", 0) == 0) {
            if (eph && !joined.empty()) joined += l.substr(4);
            continue;
        }
        flush();
        if (l.rfind("> ", 0) == 0) eph = l.rfind("> EPH ", 0) == 0;
        else if (eph && l.size() > 23) joined = l.substr(23);
    }
    flush();
    return records;
}

bool blank(const std::string& field) { return field.find_first_not_of(' ') == std::string::npos; }

}  // namespace

// The standard's NavIC record has 28 fields: the three clock terms, four
// on each of orbit lines 1 to 6 (blank spares: orbit line 5 fields 2 and
// 4, orbit line 6 field 4) and the transmission time alone on orbit line 7.
TEST(AllSystemsNavRun, SampleNavicRecordsHaveTheFieldsOfTheStandard) {
    if (std::string(VLXSIM_BIN).empty()) GTEST_SKIP() << "simulator not built";
    const std::string dir = testfiles::temp_dir();
    const runcmd::Result sim = runcmd::run(
        {VLXSIM_BIN, "-o", dir + "/sample.vlx", "--epochs", "600", "--start", "2024-03-15 10:00:00", "--seed", "1"});
    ASSERT_EQ(sim.status, 0) << sim.err;
    for (const char* version : {"3.05", "4.00"}) {
        SCOPED_TRACE(version);
        const runcmd::Result run = convrun::run_converter({"-f", dir + "/sample.vlx", "-rv", version, "-SN"}, dir);
        ASSERT_EQ(run.status, 0) << run.out;
        const std::string file =
            dir + "/sample." + run_year() + (std::string(version) == "3.05" ? "I" : "p_IN.rnx");
        const std::vector<std::vector<std::string>> records = record_fields(file_lines(file));
        ASSERT_GE(records.size(), 2u);
        for (const std::vector<std::string>& f : records) {
            ASSERT_EQ(f.size(), 28u) << f[0];
            for (size_t k = 0; k < f.size(); ++k) EXPECT_EQ(blank(f[k]), k == 20 || k == 22 || k == 26) << "field " << k;
            for (size_t k : {20, 22, 26}) EXPECT_EQ(f[k].size(), 19u) << "field " << k;
            EXPECT_EQ(f[27].size(), 19u);
        }
    }
}
