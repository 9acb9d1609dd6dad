// Whole runs of the converter on simulator logs of the shapes real
// receivers write: every record of every RINEX 4 navigation file carries a
// calendar date (a strict reader rejects the whole file for one record
// dated year 0, month 0 or day 0), a record that no message filled is not
// written, and the ionosphere and GLONASS time records are dated within
// the log, also where the first epochs come before the first receiver date
// or a midnight passes without one.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"
#include "support/rinex_text.h"
#include "support/run_command.h"

namespace fs = std::filesystem;
using rnxtext::body;
using rnxtext::starts_with;
using testfiles::lines_of;
using testfiles::read_file;

namespace {

// A simulator log converted in a directory of its own; its RINEX 4
// navigation files, by name.
struct NavRun {
    std::string dir;
    std::vector<std::string> nav_files;
};

NavRun simulate_and_convert(const std::vector<std::string>& sim_args, const std::vector<std::string>& conv_args) {
    NavRun r;
    r.dir = testfiles::temp_dir();
    std::vector<std::string> sim = {VLXSIM_BIN, "-o", r.dir + "/log.vlx"};
    sim.insert(sim.end(), sim_args.begin(), sim_args.end());
    const runcmd::Result s = runcmd::run(sim);
    EXPECT_EQ(s.status, 0) << s.err;
    std::vector<std::string> conv = {"-f", r.dir + "/log.vlx"};
    conv.insert(conv.end(), conv_args.begin(), conv_args.end());
    const runcmd::Result c = convrun::run_converter(conv, r.dir);
    EXPECT_EQ(c.status, 0) << c.out << c.err;
    for (const auto& e : fs::directory_iterator(r.dir))
        if (e.path().extension() == ".rnx") r.nav_files.push_back(e.path().string());
    return r;
}

// One record of a navigation file: its head line ("> ION G   LNAV") and
// the date of its epoch line as "yyyy mm dd hh mm ss" (year, month, day
// read as numbers; "" when they are not three numbers).
struct Dated {
    std::string head;
    int y, mo, d;
    std::string date;
};

std::vector<Dated> record_dates(const std::string& text) {
    std::vector<Dated> v;
    const std::vector<std::string> lines = lines_of(body(text));
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (!starts_with(lines[i], "> ")) continue;
        // An ephemeris epoch line opens with the satellite, the others with
        // four blanks.
        const std::string& l = lines[i + 1];
        std::istringstream in(starts_with(lines[i], "> EPH ") ? l.substr(l.find(' ')) : l);
        Dated r{lines[i], 0, 0, 0, ""};
        int h = -1, mi = -1, s = -1;
        in >> r.y >> r.mo >> r.d >> h >> mi >> s;
        char b[20];
        std::snprintf(b, sizeof b, "%04d %02d %02d %02d %02d %02d", r.y, r.mo, r.d, h, mi, s);
        r.date = b;
        v.push_back(r);
    }
    return v;
}

struct Shape {
    const char* name;
    std::vector<std::string> sim;
    const char* first;  // the first and last epoch of the log
    const char* last;
};

const Shape SHAPES[] = {
    {"every system, dated in every epoch",
     {"--epochs", "120", "--start", "2024-03-15 10:00:00", "--seed", "2"},
     "2024 03 15 10 00 00",
     "2024 03 15 10 01 59"},
    {"every system, the first 300 epochs before the first receiver date",
     {"--epochs", "600", "--start", "2024-03-15 10:00:00", "--rd-start", "300", "--seed", "1"},
     "2024 03 15 10 00 00",
     "2024 03 15 10 09 59"},
    {"every system, 5 Hz across midnight, dated only in the first epoch",
     {"--epochs", "900", "--interval", "0.2", "--start", "2024-03-15 23:59:00", "--rd-every", "100000", "--seed",
      "3"},
     "2024 03 15 23 59 00",
     "2024 03 16 00 01 59"},
};

}  // namespace

// Every record carries a calendar date; the ionosphere records of every
// constellation that has them are written (BeiDou's too, whose plausibility
// test reads the date) and lie within the log, as do the days of the
// GLONASS time records.
TEST(NavRecordDates, EveryRecordOfEveryShapeIsDatedWithinTheLog) {
    for (const Shape& shape : SHAPES) {
        for (const char* version : {"4.00", "4.01"}) {
            SCOPED_TRACE(std::string(shape.name) + " / " + version);
            const NavRun run = simulate_and_convert(shape.sim, {"-rv", version});
            ASSERT_EQ(run.nav_files.size(), 1u);
            const std::vector<Dated> records = record_dates(read_file(run.nav_files[0]));
            ASSERT_FALSE(records.empty());
            std::string ion_systems;
            for (const Dated& r : records) {
                SCOPED_TRACE(r.head + " " + r.date);
                EXPECT_GE(r.y, 1980);
                EXPECT_GE(r.mo, 1);
                EXPECT_LE(r.mo, 12);
                EXPECT_GE(r.d, 1);
                EXPECT_LE(r.d, 31);
                const bool klobuchar = starts_with(r.head, "> ION ") && r.head[6] != 'E';
                if (klobuchar) {
                    ion_systems += r.head[6];
                    EXPECT_GE(r.date, shape.first);
                    EXPECT_LE(r.date, shape.last);
                }
                if (starts_with(r.head, "> STO R")) {
                    EXPECT_GE(r.date.substr(0, 10), std::string(shape.first).substr(0, 10));
                    EXPECT_LE(r.date.substr(0, 10), std::string(shape.last).substr(0, 10));
                }
            }
            for (char sys : std::string("GJCI")) EXPECT_NE(ion_systems.find(sys), std::string::npos) << sys;
        }
    }
}

// A GPS-only receiver: no GLONASS time message and no Galileo ephemeris, so
// no GLONASS time-offset record and no Galileo ionosphere record, in the
// mixed file and in files of their own (which then hold their header only).
TEST(NavRecordDates, GpsOnlyLogHasNoRecordFromNothing) {
    const std::vector<std::string> sim = {"--epochs", "60", "--systems", "G", "--seed", "1"};
    {
        SCOPED_TRACE("4.00 mixed");
        const NavRun run = simulate_and_convert(sim, {"-rv", "4.00"});
        ASSERT_EQ(run.nav_files.size(), 1u);
        const std::vector<Dated> records = record_dates(read_file(run.nav_files[0]));
        ASSERT_FALSE(records.empty());
        for (const Dated& r : records) {
            EXPECT_EQ(r.head[6], 'G') << r.head;
            EXPECT_GE(r.y, 1980) << r.head;
        }
    }
    {
        SCOPED_TRACE("4.01 -SN");
        const NavRun run = simulate_and_convert(sim, {"-rv", "4.01", "-SN"});
        ASSERT_EQ(run.nav_files.size(), 7u);
        for (const std::string& f : run.nav_files) {
            SCOPED_TRACE(f);
            const std::string text = read_file(f);
            const bool gps = f.size() > 7 && f.compare(f.size() - 7, 7, "_GN.rnx") == 0;
            if (gps)
                EXPECT_FALSE(record_dates(text).empty());
            else
                EXPECT_EQ(body(text), "");
        }
    }
}
