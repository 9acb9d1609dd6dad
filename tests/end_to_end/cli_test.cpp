// End-to-end tests of the converter's command line and run: the built
// binary is run as a subprocess on small logs made here, and its standard
// output, standard error, exit status and the files it creates are checked.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"
#include "support/run_command.h"
#include "vlxlog/vlx_builder.h"

namespace fs = std::filesystem;
using convrun::run_converter;
using convrun::run_year;
using runcmd::Result;
using testfiles::lines_of;
using Names = std::set<std::string>;

namespace {

const std::string kBin = VORSKEL_BIN;

const char* const kProgress[] = {"Conversion in progress", "Preparing Observation data",
                                 "Preparing Navigation data", "The process is complete"};

// Two dated epochs 30 s apart on 1 January 2024.
std::string tiny_log() {
    using namespace vlxlog;
    return epoch_time(0) + receiver_date(2024, 1, 1) + epoch_time(30000) + receiver_date(2024, 1, 1);
}

// The names of the files in a directory (not recursive).
Names files_in(const std::string& dir) {
    Names n;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) n.insert(e.path().filename().string());
    return n;
}

// The progress lines appear in their order and the last line is the last
// of them.
void expect_complete_run(const Result& r) {
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    size_t at = 0;
    for (const char* line : kProgress) {
        size_t p = r.out.find(std::string(line) + "\n", at);
        ASSERT_NE(p, std::string::npos) << "missing \"" << line << "\" in:\n" << r.out;
        at = p;
    }
    std::vector<std::string> l = lines_of(r.out);
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.back(), "The process is complete");
}

std::string help_text() {
    Result h = runcmd::run({kBin, "-h"});
    return h.out;
}

TEST(Cli, UnsupportedVersionEndsBeforeTheLogIsOpened) {
    std::string dir = testfiles::temp_dir();
    for (const char* v : {"3.04", "4.02", "3", "5", "0", "-4", "4.001", "3.050001"}) {
        SCOPED_TRACE(v);
        Result r = run_converter({"-rv", v, "-f", "x"}, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "Unsupported Rinex Version\n");
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(files_in(dir), Names{});
}

TEST(Cli, AcceptedVersionsAndTheMissingLog) {
    std::string dir = testfiles::temp_dir();
    const std::string help = help_text();
    ASSERT_NE(help.find("Usage: VORSKEL"), std::string::npos);
    struct Case {
        std::vector<std::string> args;
        const char* shown;
    };
    const Case cases[] = {
        {{}, "4"},
        {{"-rv", "4.00"}, "4"},
        {{"-rv", "4"}, "4"},
        {{"--rinexver", "4.0"}, "4"},
        {{"-rv", "4.01"}, "4.01"},
        {{"-rv", "4.010"}, "4.01"},
        {{"-rv", "3.05"}, "3.05"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-f", "missing.bin"});
        SCOPED_TRACE(c.shown);
        Result r = run_converter(args, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out,
                  std::string("Rinex Version: ") + c.shown + "\nVLX File: missing.bin\n" + help + "\n");
        EXPECT_EQ(r.err, std::string("File Error: : ") + std::strerror(ENOENT) + "\n");
    }
    // Without "-f" the log name is a single blank.
    Result r = run_converter({}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("Rinex Version: 4\nVLX File:  \n", 0), 0u) << r.out;
    EXPECT_EQ(r.err, std::string("File Error: : ") + std::strerror(ENOENT) + "\n");
    // A log below a regular file cannot be opened either.
    ASSERT_TRUE(vlxlog::write_file(dir + "/plain", "x"));
    r = run_converter({"-f", "plain/rover.bin"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("File Error: : ") + std::strerror(ENOTDIR) + "\n");
    EXPECT_EQ(files_in(dir), Names{"plain"});
}

TEST(Cli, HelpAndVersionEndWithStatusZero) {
    std::string dir = testfiles::temp_dir();
    ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", tiny_log()));
    for (const char* opt : {"-h", "--help"}) {
        SCOPED_TRACE(opt);
        Result r = run_converter({"-f", "rover.bin", opt}, dir);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind("Usage: VORSKEL", 0), 0u);
        for (const char* text :
             {"VORSKEL v0.1.2b, TOVRA GNSS, Inc", "VORSKEL -h or --help for help",
              "Input file name (with extension)", "3.05|4.00|4.01 - rinex version, default version - 4.00",
              "Exclude all GLCDMA SVs", "Separate Navigation Files", "shows help message and exits",
              "prints version information and exits"})
            EXPECT_NE(r.out.find(text), std::string::npos) << text;
    }
    for (const char* opt : {"-v", "--version"}) {
        SCOPED_TRACE(opt);
        Result r = run_converter({opt, "-f", "rover.bin"}, dir);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "VORSKEL v0.1.2b\n");  // as the RINEX program line names it
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(files_in(dir), Names{"rover.bin"});
}

TEST(Cli, RejectedCommandLineGivesAReasonAndTheUsage) {
    std::string dir = testfiles::temp_dir();
    ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", tiny_log()));
    const std::string help = help_text();
    const std::string usage = help.substr(0, help.find("\n\n") + 1);
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"-f", "rover.bin", "-x"}, "-x"},         {{"-f", "rover.bin", "--bogus"}, "--bogus"},
        {{"-f", "rover.bin", "-rv"}, "-rv"},       {{"-f"}, "-f"},
        {{"-f", "rover.bin", "-p", "abc"}, "abc"}, {{"-f", "rover.bin", "-rv", "four"}, "four"},
        {{"-f", "rover.bin", "-DH", "1e"}, "1e"},  {{"-f", "rover.bin", "-DN", "nan"}, "nan"},
        {{"-f", "rover.bin", "extra"}, "extra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Result r = run_converter(c.args, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        std::vector<std::string> l = lines_of(r.err);
        ASSERT_GE(l.size(), 2u) << r.err;
        EXPECT_EQ(l[0].rfind("VORSKEL: ", 0), 0u) << l[0];
        EXPECT_NE(l[0].find(c.reason), std::string::npos) << l[0];
        EXPECT_EQ(r.err.substr(l[0].size() + 1), usage) << r.err;
    }
    EXPECT_EQ(files_in(dir), Names{"rover.bin"});
}

// Short names: the log name less its last four characters, the run year
// less 2000, the type letter; next to the log.
TEST(Cli, ShortNamesOfEveryFile) {
    const std::string y = run_year();
    struct Case {
        const char* log;
        std::vector<std::string> args;
        Names made;  // besides the log
    };
    const std::vector<Case> cases = {
        {"rover.bin", {}, {"rover." + y + "o", "rover." + y + "p_MN.rnx"}},
        {"rover.bin", {"-rv", "4.00"}, {"rover." + y + "o", "rover." + y + "p_MN.rnx"}},
        {"rover.bin", {"-rv", "4.01"}, {"rover." + y + "o", "rover." + y + "p_MN.rnx"}},
        {"abc", {}, {"abc." + y + "o", "abc." + y + "p_MN.rnx"}},
        {"ab.c", {}, {"." + y + "o", "." + y + "p_MN.rnx"}},  // exactly four characters: no base left
        {"rover.bin",
         {"-rv", "3.05"},
         {"rover." + y + "o", "rover." + y + "N", "rover." + y + "I", "rover." + y + "G", "rover." + y + "L",
          "rover." + y + "C"}},
        {"rover.bin",
         {"-rv", "3.05", "-R"},
         {"rover." + y + "o", "rover." + y + "N", "rover." + y + "I", "rover." + y + "L",
          "rover." + y + "C"}},
        {"rover.bin",
         {"-rv", "3.05", "-G", "-I", "-E", "-C", "-J", "-S"},
         {"rover." + y + "o", "rover." + y + "G"}},
        {"rover.bin",
         {"-rv", "3.05", "-SN"},
         {"rover." + y + "o", "rover." + y + "N", "rover." + y + "I", "rover." + y + "G", "rover." + y + "L",
          "rover." + y + "C"}},
        // Version 3.05 with long names requested: short names, no checks.
        {"rover.bin",
         {"-rv", "3.05", "-ln", "-sc", "AB"},
         {"rover." + y + "o", "rover." + y + "N", "rover." + y + "I", "rover." + y + "G", "rover." + y + "L",
          "rover." + y + "C"}},
        {"rover.bin",
         {"-SN"},
         {"rover." + y + "o", "rover." + y + "p_GN.rnx", "rover." + y + "p_RN.rnx", "rover." + y + "p_EN.rnx",
          "rover." + y + "p_JN.rnx", "rover." + y + "p_CN.rnx", "rover." + y + "p_IN.rnx",
          "rover." + y + "p_SN.rnx"}},
        // "-W" leaves out SBAS as "-S" does.
        {"rover.bin",
         {"-SN", "-W"},
         {"rover." + y + "o", "rover." + y + "p_GN.rnx", "rover." + y + "p_RN.rnx", "rover." + y + "p_EN.rnx",
          "rover." + y + "p_JN.rnx", "rover." + y + "p_CN.rnx", "rover." + y + "p_IN.rnx"}},
        {"rover.bin",
         {"-SN", "-G", "-S", "-W"},
         {"rover." + y + "o", "rover." + y + "p_RN.rnx", "rover." + y + "p_EN.rnx", "rover." + y + "p_JN.rnx",
          "rover." + y + "p_CN.rnx", "rover." + y + "p_IN.rnx"}},
        {"rover.bin",
         {"-G", "-R", "-E", "-C", "-J", "-I", "-GC", "-S"},
         {"rover." + y + "o", "rover." + y + "p_MN.rnx"}},
    };
    for (const Case& c : cases) {
        std::string trace = c.log;
        for (const std::string& a : c.args) trace += " " + a;
        SCOPED_TRACE(trace);
        std::string dir = testfiles::temp_dir();
        ASSERT_TRUE(vlxlog::write_file(dir + "/" + c.log, tiny_log()));
        std::vector<std::string> args = {"-f", c.log};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Result r = run_converter(args, dir);
        expect_complete_run(r);
        Names expect = c.made;
        expect.insert(c.log);
        EXPECT_EQ(files_in(dir), expect);
    }
}

TEST(Cli, ShortNamesKeepTheDirectoryOfTheLog) {
    const std::string y = run_year();
    std::string dir = testfiles::temp_dir();
    fs::create_directories(dir + "/sub/dir");
    ASSERT_TRUE(vlxlog::write_file(dir + "/sub/dir/rover.bin", tiny_log()));
    Result r = run_converter({"-f", "sub/dir/rover.bin"}, dir);
    expect_complete_run(r);
    EXPECT_NE(r.out.find("VLX File: sub/dir/rover.bin\n"), std::string::npos);
    EXPECT_EQ(files_in(dir + "/sub/dir"),
              (Names{"rover.bin", "rover." + y + "o", "rover." + y + "p_MN.rnx"}));
    EXPECT_EQ(files_in(dir), Names{"sub"});

    // An absolute path, run from elsewhere.
    std::string other = testfiles::temp_dir();
    r = run_converter({"-f", dir + "/sub/dir/rover.bin", "-rv", "3.05", "-R", "-I", "-E", "-C"}, other);
    expect_complete_run(r);
    EXPECT_EQ(files_in(dir + "/sub/dir"),
              (Names{"rover.bin", "rover." + y + "o", "rover." + y + "p_MN.rnx", "rover." + y + "N"}));
    EXPECT_EQ(files_in(other), Names{});
}

TEST(Cli, ALogThatIsADirectoryIsAnError) {
    std::string dir = testfiles::temp_dir();
    fs::create_directories(dir + "/logs.bin");
    Result r = run_converter({"-f", "logs.bin"}, dir);
    EXPECT_EQ(r.status, 1);
    std::vector<std::string> l = lines_of(r.out);
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.back(), std::string("File Error: logs.bin: ") + std::strerror(EISDIR));
    EXPECT_EQ(r.out.find("Conversion in progress"), std::string::npos);
    EXPECT_EQ(files_in(dir), Names{"logs.bin"});
}

// Without a calendar date in any "RD" no epoch has a date: the run ends
// after the first pass with one line and status 1, before any file is
// made. One date anywhere in the log is enough.
TEST(Cli, ALogWithoutAReceiverDateIsNotConverted) {
    using namespace vlxlog;
    const std::string y = run_year();
    struct Case {
        const char* what;
        std::string log;
        std::vector<std::string> args;
        bool dated;
    };
    const std::string two_epochs = epoch_time(0) + epoch_time(30000);
    const Case cases[] = {
        {"an empty log", "", {}, false},
        {"epochs only", two_epochs, {}, false},
        {"epochs only, RINEX 3.05", two_epochs, {"-rv", "3.05"}, false},
        {"epochs only, long names", two_epochs, {"-ln"}, false},
        {"a receiver date of year 0", two_epochs + receiver_date(0, 1, 1), {}, false},
        {"no such day", epoch_time(0) + receiver_date(2023, 2, 29) + epoch_time(30000), {"-ln"}, false},
        {"dated only by the last message", two_epochs + receiver_date(2024, 1, 1), {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string dir = testfiles::temp_dir();
        ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", c.log));
        std::vector<std::string> args = {"-f", "rover.bin"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Result r = run_converter(args, dir);
        if (c.dated) {
            expect_complete_run(r);
            EXPECT_EQ(files_in(dir), (Names{"rover.bin", "rover." + y + "o", "rover." + y + "p_MN.rnx"}));
            continue;
        }
        EXPECT_EQ(r.status, 1);
        std::vector<std::string> l = lines_of(r.out);
        ASSERT_EQ(l.size(), 4u) << r.out;
        EXPECT_EQ(l[2], "Conversion in progress");
        EXPECT_EQ(l[3], "No receiver date in the log");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(files_in(dir), Names{"rover.bin"});
    }
}

// An output that cannot be created: its name in a one-line message, status
// 1, and never the completion line. The tests run as root, so the outputs
// are made unwritable by pointing them below a regular file (a symbolic
// link) or by a directory in their place.
TEST(Cli, AnOutputFileThatCannotBeCreatedFailsTheRun) {
    const std::string y = run_year();
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string blocked;  // the output name made unwritable
        bool as_directory;
        const char* message;  // the start of the line naming it
    };
    const std::vector<Case> cases = {
        {"observation file below a regular file",
         {},
         "rover." + y + "o",
         false,
         "Cannot create observation file "},
        {"observation file is a directory", {}, "rover." + y + "o", true, "Cannot create observation file "},
        {"mixed navigation file", {}, "rover." + y + "p_MN.rnx", false, "Cannot create navigation file "},
        {"one of the separate files",
         {"-SN"},
         "rover." + y + "p_EN.rnx",
         true,
         "Cannot create navigation file "},
        {"a RINEX 3.05 file", {"-rv", "3.05"}, "rover." + y + "G", false, "Cannot create navigation file "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string dir = testfiles::temp_dir();
        ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", tiny_log()));
        ASSERT_TRUE(vlxlog::write_file(dir + "/plain", "not a directory"));
        if (c.as_directory)
            fs::create_directory(dir + "/" + c.blocked);
        else
            ASSERT_EQ(symlink("plain/out", (dir + "/" + c.blocked).c_str()), 0);
        std::vector<std::string> args = {"-f", "rover.bin"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Result r = run_converter(args, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.find("The process is complete"), std::string::npos) << r.out;
        std::vector<std::string> l = lines_of(r.out);
        bool named = false;
        for (const std::string& line : l) named = named || line == c.message + c.blocked;
        EXPECT_TRUE(named) << r.out;
    }
}

// ---------------------------------------------------------------------------
// RINEX long file names, created in the working directory.

// Some builds do not have the first pass that finds the receiver dates:
// long names then cannot be formed from a dated log.
bool first_pass_finds_no_dates(const Result& r) {
    return r.out.find("No receiver date in the log") != std::string::npos;
}

TEST(CliLongNames, ObservationAndNavigationNamesInTheWorkingDirectory) {
    struct Case {
        std::vector<std::string> args;
        Names made;
    };
    const std::vector<Case> cases = {
        {{}, {"ZELK00USA_R_20240010000_01M_30S_MO.rnx", "ZELK00USA_R_20240010000_01M_MN.rnx"}},
        {{"-rv", "4.01", "-p", "60"},
         {"ZELK00USA_R_20240010000_01M_01M_MO.rnx", "ZELK00USA_R_20240010000_01M_MN.rnx"}},
        {{"-p", "0"}, {"ZELK00USA_R_20240010000_01M_30S_MO.rnx", "ZELK00USA_R_20240010000_01M_MN.rnx"}},
        {{"-sc", "algo", "-mn", "1", "-rc", "2", "-cc", "can"},
         {"ALGO12CAN_R_20240010000_01M_30S_MO.rnx", "ALGO12CAN_R_20240010000_01M_MN.rnx"}},
        {{"--sitecode", "Abcd", "--monument", "9", "--receiver", "z", "--country", "Deu", "-SN", "-J", "-S",
          "-I"},
         {"ABCD9ZDEU_R_20240010000_01M_30S_MO.rnx", "ABCD9ZDEU_R_20240010000_01M_GN.rnx",
          "ABCD9ZDEU_R_20240010000_01M_RN.rnx", "ABCD9ZDEU_R_20240010000_01M_EN.rnx",
          "ABCD9ZDEU_R_20240010000_01M_CN.rnx"}},
    };
    for (const Case& c : cases) {
        std::string trace;
        for (const std::string& a : c.args) trace += " " + a;
        SCOPED_TRACE(trace);
        std::string dir = testfiles::temp_dir();
        std::string cwd = testfiles::temp_dir();
        ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", tiny_log()));
        std::vector<std::string> args = {"-f", dir + "/rover.bin", "--longname"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Result r = run_converter(args, cwd);
        if (first_pass_finds_no_dates(r)) GTEST_SKIP() << "this build has no first pass to find the dates";
        expect_complete_run(r);
        EXPECT_EQ(files_in(cwd), c.made);
        EXPECT_EQ(files_in(dir), Names{"rover.bin"});
    }
}

TEST(CliLongNames, AFieldThatFailsItsCheckEndsTheRunBeforeAnyFile) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"-sc", "AB"}, "Wrong site code length"},
        {{"-sc", "ABCDE", "-mn", "12"}, "Wrong site code length"},
        {{"-mn", "12"}, "Wrong monument number length"},
        {{"-rc", ""}, "Wrong receiver number length"},
        {{"-cc", "US"}, "Wrong country code length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::string dir = testfiles::temp_dir();
        ASSERT_TRUE(vlxlog::write_file(dir + "/rover.bin", tiny_log()));
        std::vector<std::string> args = {"-f", "rover.bin", "-ln"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Result r = run_converter(args, dir);
        if (first_pass_finds_no_dates(r)) GTEST_SKIP() << "this build has no first pass to find the dates";
        EXPECT_EQ(r.status, 1);
        std::vector<std::string> l = lines_of(r.out);
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), c.message);
        EXPECT_NE(r.out.find("Conversion in progress\n"), std::string::npos);
        EXPECT_EQ(r.out.find("Preparing Observation data"), std::string::npos);
        EXPECT_EQ(files_in(dir), Names{"rover.bin"});
    }
}

}  // namespace
