// Navigation headers: RINEX VERSION / TYPE per constellation and for the
// RINEX 4 selectors, the run-date line, END OF HEADER and the "D"
// exponent wrapper of the RINEX 3.05 header values.
#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "rinex_nav/Rin_hwriter.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"

namespace {

// The lines a header writer writes.
std::vector<std::string> header_of(int (*writer)(std::ofstream&)) {
    return testfiles::lines_of(rinexcap::capture([&](std::ofstream& os) { writer(os); }));
}

void run_date_2025() {
    year = 2025;
    month = 3;
    day = 7;
    hour = 4;
    minutes = 5;
    sec = 6;
}

const char* const pgm_line =
    "VORSKEL v0.1.2b     TOVRA GNSS          20250307 040506 UTC PGM / RUN BY / DATE";

NavSys nav_selector = NAV_GPS;
int rinex4_heading(std::ofstream& os) { return Add_Nav_File_heading(os, nav_selector); }

}  // namespace

TEST(NavHeader, Rinex305LinesPerConstellation) {
    struct Case {
        int (*writer)(std::ofstream&);
        const char* field;
    };
    const Case cases[] = {
        {Add_GPS_Nav_File_heading, "G: GPS              "},
        {Add_GLO_Nav_File_heading, "R: GLONASS          "},
        {Add_GAL_Nav_File_heading, "E: Galileo          "},
        {Add_BDS_Nav_File_heading, "C: BDS              "},
        {Add_NavIC_Nav_File_heading, "I: IRNSS            "},
    };
    for (const Case& c : cases) {
        reset_stores();
        Rinex_Ver = 3.05;
        run_date_2025();
        const std::vector<std::string> lines = header_of(c.writer);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0],
                  std::string("     3.05           N: GNSS NAV DATA    ") + c.field + "RINEX VERSION / TYPE");
        EXPECT_EQ(lines[1], pgm_line);
        EXPECT_TRUE(LEAP_flag);
    }
}

TEST(NavHeader, Rinex4SelectorsAndVersions) {
    struct Case {
        int sel;
        const char* field;
    };
    const Case cases[] = {{0, "G: GPS              "}, {1, "R: GLONASS          "},
                          {2, "E: GALILEO          "}, {3, "J: QZSS             "},
                          {4, "C: BEIDOU           "}, {5, "I: NAVIC            "},
                          {6, "S: SBAS             "}, {7, "M: MIXED            "}};
    run_date_2025();
    for (double ver : {4.0, 4.01}) {
        Rinex_Ver = ver;
        for (const Case& c : cases) {
            nav_selector = static_cast<NavSys>(c.sel);
            const std::vector<std::string> lines = header_of(rinex4_heading);
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[0], std::string(ver == 4.0 ? "     4.00" : "     4.01") +
                                    "           N: GNSS NAV DATA    " + c.field + "RINEX VERSION / TYPE")
                << c.sel;
            EXPECT_EQ(lines[1], pgm_line);
        }
    }
    EXPECT_EQ(GetNavHeaderInfo(NAV_QZSS).letter, "J");
    EXPECT_EQ(GetNavHeaderInfo(NAV_QZSS).name, "QZSS");
}

TEST(NavHeader, MixedHeadingFromSystemMarker) {
    Rinex_Ver = 4.0;
    SYS_MARKER = "M";
    EXPECT_EQ(header_of(Add_Mixed_Nav_File_heading)[0],
              "     4.00           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE");
    SYS_MARKER = "XYZ";  // the field's own 12 blanks push the label on
    EXPECT_EQ(header_of(Add_Mixed_Nav_File_heading)[0],
              "     4.00           N: GNSS NAV DATA    XYZ: MIXED            RINEX VERSION / TYPE");
}

TEST(NavHeader, EndOfHeader) {
    const std::vector<std::string> lines = header_of(Add_end_of_header);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(60, ' ') + "END OF HEADER");
}

TEST(NavHeader, ExponentLetterOfHeaderValues) {
    struct Case {
        double ver;
        const char* sci;
    };
    for (const Case& c :
         {Case{3.05, "  1.2500e-03|"}, Case{4.0, "  1.2500D-03|"}, Case{4.01, "  1.2500D-03|"}}) {
        Rinex_Ver = c.ver;
        std::ostringstream os;
        os << std::scientific << std::setprecision(4) << std::setw(12) << formattedOUT2{0.00125} << '|';
        EXPECT_EQ(os.str(), c.sci);
        std::ostringstream fx;
        fx << std::fixed << std::setprecision(2) << std::setw(8) << formattedOUT2{-2.5} << '|';
        EXPECT_EQ(fx.str(), "   -2.50|");
    }
}
