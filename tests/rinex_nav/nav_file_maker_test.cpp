// Navigation file makers: the RINEX 3.05 once-only header, the RINEX 4
// mixed and separate files with their names and groups, files that cannot
// be created, and whole runs of the converter on a log with GPS and QZSS
// ephemerides.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rinex_nav/Rinex_File_maker.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/converter_run.h"
#include "support/files.h"
#include "support/gps_eph_builder.h"
#include "support/run_command.h"
#include "support/store_dates.h"

namespace fs = std::filesystem;
using convrun::run_year;
using storedate::set_epoch;
using testfiles::file_lines;
using testfiles::read_file;
using namespace vlxlog;

namespace {

// The header lines these makers write themselves (the LEAP SECONDS,
// ionosphere and time-system lines have writers of their own) and the first
// line of every ephemeris record (time-offset and ionosphere records left
// out for the same reason).
std::string outline(const std::vector<std::string>& lines) {
    std::string o;
    bool in_header = true;
    for (const std::string& l : lines) {
        if (in_header) {
            const std::string label = l.size() > 60 ? l.substr(60) : "";
            if (label == "RINEX VERSION / TYPE" || label == "PGM / RUN BY / DATE" || label == "END OF HEADER")
                o += label + ";";
            if (label == "END OF HEADER") in_header = false;
        } else if (!l.empty() && l[0] != ' ' && l.rfind("> STO", 0) != 0 && l.rfind("> ION", 0) != 0) {
            o += l.substr(0, l[0] == '>' ? 14 : 3) + ";";
        }
    }
    return o;
}

std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

// Every system with lines of its own on, or every one off.
void all_systems(bool on) {
    for (int k = 0; k < RINEX_SYSTEMS; ++k) *SAT_SYSTEM[k].enabled = on;
}

void one_lnav(GPS_Ephemeris& r, uint32_t sv) {
    r.SV = sv;
    r.type = "LNAV";
    r.toe = 7200;
    set_epoch(r.clock_epoch, 2024, 1, 7, 2, 0, 0);
}

}  // namespace

TEST(NavFileMaker, Rinex305HeaderWrittenOnce) {
    Rinex_Ver = 3.05;
    one_lnav(GPS_Eph[0], 7);
    const std::string path = testfiles::temp_dir() + "/x.26N";
    {
        std::ofstream os(path);
        GPS_NavigationFileMaker(os);
        EXPECT_TRUE(END_flag_gps);
        GPS_NavigationFileMaker(os);
    }
    EXPECT_EQ(outline(file_lines(path)), "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;G07;G07;");
}

TEST(NavFileMaker, Rinex305MakersOfTheOtherConstellations) {
    Rinex_Ver = 3.05;
    struct Case {
        int (*maker)(std::ofstream&);
        bool* flag;
        const char* field;
    };
    const Case cases[] = {{NavIC_NavigationFileMaker, &END_flag_NavIC, "I: IRNSS"},
                          {GLO_NavigationFileMaker, &END_flag_GLO, "R: GLONASS"},
                          {GAL_NavigationFileMaker, &END_flag_GAL, "E: Galileo"},
                          {BDS_NavigationFileMaker, &END_flag_BDS, "C: BDS"}};
    const std::string dir = testfiles::temp_dir();
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.field[0];
        {
            std::ofstream os(path);
            EXPECT_EQ(c.maker(os), 1);
        }
        EXPECT_TRUE(*c.flag);
        const std::vector<std::string> lines = file_lines(path);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].substr(40, 20).substr(0, std::string(c.field).size()), c.field);
        EXPECT_EQ(lines.back(), std::string(60, ' ') + "END OF HEADER");
    }
}

TEST(NavFileMaker, MixedFileWithEverySystemOff) {
    Rinex_Ver = 4.0;
    all_systems(false);
    one_lnav(GPS_Eph[0], 1);
    const std::string dir = testfiles::temp_dir();
    EXPECT_TRUE(NavigationFileMaker(dir + "/run.26p", true));
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"run.26p_MN.rnx"});
    const std::vector<std::string> lines = file_lines(dir + "/run.26p_MN.rnx");
    EXPECT_EQ(outline(lines), "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;");
    EXPECT_EQ(lines[0].substr(40), "M: MIXED            RINEX VERSION / TYPE");
}

TEST(NavFileMaker, SeparateFilesWithEverySystemOffCreateNothing) {
    Rinex_Ver = 4.0;
    all_systems(false);
    const std::string dir = testfiles::temp_dir();
    EXPECT_TRUE(NavigationFileMaker(dir + "/run.26p", false));
    EXPECT_TRUE(files_in(dir).empty());
}

TEST(NavFileMaker, SeparateFilesPerEnabledSystem) {
    Rinex_Ver = 4.01;
    all_systems(false);
    Enable_GPS = Enable_QZSS = Enable_SBAS = true;
    one_lnav(GPS_Eph[0], 2);
    one_lnav(QZSS_Eph[0], 194);
    const std::string dir = testfiles::temp_dir();
    EXPECT_TRUE(NavigationFileMaker(dir + "/run.26p", false));
    EXPECT_EQ(files_in(dir),
              (std::vector<std::string>{"run.26p_GN.rnx", "run.26p_JN.rnx", "run.26p_SN.rnx"}));
    const std::string head = "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;";
    EXPECT_EQ(outline(file_lines(dir + "/run.26p_GN.rnx")), head + "> EPH G02 LNAV;G02;");
    EXPECT_EQ(outline(file_lines(dir + "/run.26p_JN.rnx")), head + "> EPH J02 LNAV;J02;");
    EXPECT_EQ(file_lines(dir + "/run.26p_JN.rnx")[0].substr(0, 60),
              "     4.01           N: GNSS NAV DATA    J: QZSS             ");
    EXPECT_EQ(file_lines(dir + "/run.26p_SN.rnx")[0].substr(40, 20), "S: SBAS             ");
}

TEST(NavFileMaker, MixedFileGroupsByConstellation) {
    Rinex_Ver = 4.0;
    all_systems(true);
    one_lnav(QZSS_Eph[0], 193);
    one_lnav(GPS_Eph[0], 9);
    one_lnav(GPS_Eph[1], 4);
    const std::string dir = testfiles::temp_dir();
    EXPECT_TRUE(NavigationFileMaker(dir + "/run.26p", true));
    EXPECT_EQ(outline(file_lines(dir + "/run.26p_MN.rnx")),
              "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;"
              "> EPH G09 LNAV;G09;> EPH G04 LNAV;G04;> EPH J01 LNAV;J01;");
}

TEST(NavFileMaker, FileThatCannotBeCreatedIsAnError) {
    Rinex_Ver = 4.0;
    all_systems(false);
    Enable_GPS = Enable_GAL = true;
    const std::string dir = testfiles::temp_dir();
    const std::string stem = dir + "/missing/run.26p";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(NavigationFileMaker(stem, true));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot create navigation file " + stem + "_MN.rnx\n");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(NavigationFileMaker(stem, false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot create navigation file " + stem +
                                                          "_GN.rnx\nCannot create navigation file " + stem +
                                                          "_EN.rnx\n");
}

// The entry point of the navigation stage: the files of either version
// named from the stem, each store ordered before it is written, a file that
// cannot be created reported while the others are still written.
TEST(NavFileMaker, EveryFileOfTheVersionFromTheStem) {
    all_systems(true);
    Enable_GLO = false;
    const std::string head = "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;";
    struct Case {
        double ver;
        bool mixed;
        const char* stem;
        std::vector<std::string> files;
        const char* gps_file;
        const char* gps_outline;
    };
    const Case cases[] = {
        {3.05, true, "run.26", {"run.26C", "run.26I", "run.26L", "run.26N"}, "run.26N", "G04;G09;"},
        {4.0, true, "run.26p", {"run.26p_MN.rnx"}, "run.26p_MN.rnx", "> EPH G04 LNAV;G04;> EPH G09 LNAV;G09;"},
        {4.01,
         false,
         "run.26p",
         {"run.26p_CN.rnx", "run.26p_EN.rnx", "run.26p_GN.rnx", "run.26p_IN.rnx", "run.26p_JN.rnx", "run.26p_SN.rnx"},
         "run.26p_GN.rnx",
         "> EPH G04 LNAV;G04;> EPH G09 LNAV;G09;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stem);
        Rinex_Ver = c.ver;
        one_lnav(GPS_Eph[0], 9);
        one_lnav(GPS_Eph[1], 4);
        GPS_SV_index = 2;
        const std::string dir = testfiles::temp_dir() + "/" + std::to_string(c.ver);
        fs::create_directories(dir);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(write_navigation_files(dir + "/" + c.stem, c.mixed));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(files_in(dir), c.files);
        EXPECT_EQ(outline(file_lines(dir + "/" + c.gps_file)), head + c.gps_outline);
    }

    // RINEX 3.05 with the NavIC file blocked: reported, the rest written
    // (their headers were written above: the once-flags stay set).
    Rinex_Ver = 3.05;
    const std::string dir = testfiles::temp_dir() + "/blocked";
    fs::create_directories(dir + "/run.26I");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(write_navigation_files(dir + "/run.26", false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot create navigation file " + dir + "/run.26I\n");
    EXPECT_EQ(files_in(dir), (std::vector<std::string>{"run.26C", "run.26I", "run.26L", "run.26N"}));
    EXPECT_EQ(file_lines(dir + "/run.26N").size(), 16u);  // two GPS records
}

// ------------------------------------------------------------ whole runs

namespace {

// A log with the receiver week (2296), three GPS ephemerides (one of them
// CNAV, one repeated) and a QZSS one.
std::string gps_qzss_log() {
    GpsEphFields g3;
    g3.prn = 3;
    g3.tx = 7000;
    g3.toc = g3.toe = 7200;
    g3.iodc = 10;
    g3.ura = 3;
    g3.week = 248;
    g3.af0 = 0.5f;
    g3.iode = 10;
    g3.sqrtA = 5153.5;
    g3.e = 0.25;
    g3.M0 = 0.5;
    g3.i0 = 0.25;
    GpsEphFields g5 = g3;
    g5.prn = 5;
    GpsEphFields c3 = g3;
    c3.cnav_flags = 0x02;
    GpsEphFields q1 = g3;
    q1.prn = 193;
    return receiver_date(2024, 1, 7) + epoch_time(0) + gps_eph(g5) + gps_eph(g3) + gps_eph(c3, 168) +
           gps_eph(g5) + gps_eph(q1, 123, "QE");
}

const char* const g03_lnav =
    "G03 2024 01 07 02 00 00 5.000000000000e-01 0.000000000000e+00 0.000000000000e+00\n"
    "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 1.570796326795e+00\n"
    "     0.000000000000e+00 2.500000000000e-01 0.000000000000e+00 5.153500000000e+03\n"
    "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
    "     7.853981633974e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
    "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
    "     4.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.000000000000e+01\n"
    "     7.000000000000e+03 4.000000000000e+00\n";

// Converts the log in `dir` with `args`.
runcmd::Result convert(const std::string& dir, const std::vector<std::string>& args) {
    return convrun::convert_in(dir, gps_qzss_log(), args);
}

}  // namespace

TEST(NavFileMakerRun, Rinex305GpsFile) {
    const std::string dir = testfiles::temp_dir();
    const runcmd::Result r = convert(dir, {"-rv", "3.05"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("The process is complete"), std::string::npos);
    const std::string yy = run_year();
    const std::string nav = dir + "/rover." + yy + "N";
    EXPECT_TRUE(fs::exists(nav));
    for (const char* letter : {"I", "G", "L", "C"})
        EXPECT_TRUE(fs::exists(dir + "/rover." + yy + letter)) << letter;
    EXPECT_FALSE(fs::exists(dir + "/rover." + yy + "J"));
    const std::vector<std::string> lines = file_lines(nav);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "     3.05           N: GNSS NAV DATA    G: GPS              RINEX VERSION / TYPE");
    // LNAV only, no record header lines; the repeat of G05 is gone.
    EXPECT_EQ(outline(lines), "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;G03;G05;");
    const std::string text = read_file(nav);
    const size_t end = text.find("END OF HEADER\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(text.substr(end + 14, std::string(g03_lnav).size()), g03_lnav);
}

TEST(NavFileMakerRun, Rinex4MixedFile) {
    const std::string dir = testfiles::temp_dir();
    const runcmd::Result r = convert(dir, {"-rv", "4.00"});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string nav = dir + "/rover." + run_year() + "p_MN.rnx";
    ASSERT_TRUE(fs::exists(nav));
    const std::vector<std::string> lines = file_lines(nav);
    EXPECT_EQ(lines[0], "     4.00           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE");
    EXPECT_EQ(outline(lines),
              "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;"
              "> EPH G03 LNAV;G03;> EPH G03 CNAV;G03;> EPH G05 LNAV;G05;> EPH J01 LNAV;J01;");
    const std::string text = read_file(nav);
    EXPECT_NE(text.find(std::string("> EPH G03 LNAV\n") + g03_lnav + "> EPH G03 CNAV\n"), std::string::npos);
    // The QZSS record: L2 P data flag 1, fit-interval flag 0 for the fit of 4 hours.
    const std::string j01 =
        "J01 2024 01 07 02 00 00 5.000000000000e-01 0.000000000000e+00 0.000000000000e+00\n"
        "     1.000000000000e+01 0.000000000000e+00 0.000000000000e+00 1.570796326795e+00\n"
        "     0.000000000000e+00 2.500000000000e-01 0.000000000000e+00 5.153500000000e+03\n"
        "     7.200000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
        "     7.853981633974e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
        "     0.000000000000e+00 0.000000000000e+00 2.296000000000e+03 1.000000000000e+00\n"
        "     4.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.000000000000e+01\n"
        "     7.000000000000e+03 0.000000000000e+00\n";
    EXPECT_NE(text.find("> EPH J01 LNAV\n" + j01), std::string::npos);
}

TEST(NavFileMakerRun, Rinex4SeparateFiles) {
    const std::string dir = testfiles::temp_dir();
    const runcmd::Result r = convert(dir, {"-rv", "4.01", "-SN"});
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string stem = "rover." + run_year() + "p";
    std::vector<std::string> want = {"rover.bin", "rover." + run_year() + "o"};
    for (const char* e : {"_CN", "_EN", "_GN", "_IN", "_JN", "_RN", "_SN"}) want.push_back(stem + e + ".rnx");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(files_in(dir), want);
    const std::string head = "RINEX VERSION / TYPE;PGM / RUN BY / DATE;END OF HEADER;";
    EXPECT_EQ(outline(file_lines(dir + "/" + stem + "_GN.rnx")),
              head + "> EPH G03 LNAV;G03;> EPH G03 CNAV;G03;> EPH G05 LNAV;G05;");
    EXPECT_EQ(outline(file_lines(dir + "/" + stem + "_JN.rnx")), head + "> EPH J01 LNAV;J01;");
    EXPECT_EQ(file_lines(dir + "/" + stem + "_GN.rnx")[0],
              "     4.01           N: GNSS NAV DATA    G: GPS              RINEX VERSION / TYPE");
    EXPECT_EQ(file_lines(dir + "/" + stem + "_JN.rnx")[0],
              "     4.01           N: GNSS NAV DATA    J: QZSS             RINEX VERSION / TYPE");
}

TEST(NavFileMakerRun, Rinex4NavigationFileThatCannotBeCreated) {
    const std::string dir = testfiles::temp_dir();
    // A directory in the way of the mixed file's name.
    fs::create_directories(dir + "/rover." + run_year() + "p_MN.rnx");
    const runcmd::Result r = convert(dir, {"-rv", "4.00"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Cannot create navigation file " + dir + "/rover." + run_year() + "p_MN.rnx"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("The process is complete"), std::string::npos);
}
