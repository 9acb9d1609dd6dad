// The observation header: each line byte for byte, the line set of each
// RINEX version, the observation-code lines and their continuations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "rinex_common/Rinex_header.h"
#include "rinex_obs/Rin_hwriter.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using rinexcap::blanks;
using rinexcap::capture;
using rinexcap::H;
using storedate::set_epoch;
using testfiles::lines_of;

namespace {

void set_gps_codes_groups_0_and_2() {
    const char* g0[4] = {"C1C", "L1C", "D1C", "S1C"};
    const char* g2[4] = {"C2W", "L2W", "D2W", "S2W"};
    for (int i = 0; i < 4; ++i) {
        GPS_OBS_Arr[i] = g0[i];
        GPS_OBS_Arr[10 + i] = g2[i];
    }
    SYS_OBS_NUM[SYS_GPS] = 8;
}

// A GPS-only receiver with two signal groups; every header value set.
void set_gps_station() {
    SYS_MARKER = "G";
    year = 2024, month = 5, day = 9, hour = 10, minutes = 30, sec = 0;
    RCV_NAME = "ALPHA1";
    RCV_ID = "ID123";
    RCV_IGS = "VLX RECEIVER";
    FW_VER = "1.2.3-abcdefghijklmnopq";
    ANT_NUM = "-Unknown-";
    ANT_Type = "ANT-X";
    APPR_POS_X = 1234567.8912;
    APPR_POS_Y = -2345678.1234;
    APPR_POS_Z = 3456789.0;
    Ant_delt_H = 1.5;
    for (int k = 0; k < RINEX_SYSTEMS; ++k) *SAT_SYSTEM[k].enabled = k == SYS_GPS;
    set_gps_codes_groups_0_and_2();
    set_epoch(RCV_date, 2024, 5, 9, 10, 30, 30, 0);
    set_epoch(RCV_date_last, 2024, 5, 9, 12, 0, 0, 0);  // its time-system code names the system
    Epoch_last_obs = {days_from_civil(2024, 5, 9), 12 * 3600000, true};
    Leap_sec = 18;
    // The first pass found G05, G07 and G13 with C/A phases, G07 also with
    // band-2 phases that carry a quarter cycle.
    clear_stored_survey();
    for (uint32_t k : {5u, 7u, 13u}) note_stored_column(SYS_GPS, k, 0, true, 0.0f);
    note_stored_column(SYS_GPS, 7, 2, true, 0.25f);
}

// The header of set_gps_station up to LEAP SECONDS; `interval` is the
// INTERVAL line ("" where the header has none).
std::string identification_lines(const char* version, const std::string& interval = H("    30.000", "INTERVAL")) {
    return H(std::string(version) + "           OBSERVATION DATA    G", "RINEX VERSION / TYPE") +
           H("VORSKEL v0.1.2b     TOVRA GNSS          20240509 103000 UTC ", "PGM / RUN BY / DATE") +
           H("", "OBSERVER / AGENCY") + H("ALPHA1", "MARKER NAME") +
           H("ID123               VLX RECEIVER        1.2.3-abcdefghijklmn", "REC # / TYPE / VERS") +
           H("  1234567.8912 -2345678.1234  3456789.0000", "APPROX POSITION XYZ") +
           H("-Unknown-           ANT-X", "ANT # / TYPE") +
           H("        1.5000        0.0000        0.0000", "ANTENNA: DELTA H/E/N") +
           H("G    8 C1C L1C D1C S1C C2W L2W D2W S2W", "SYS / # / OBS TYPES") +
           interval + H("  2024     5     9    10    30   30.0000000     GPS", "TIME OF FIRST OBS") +
           H("  2024     5     9    12     0    0.0000000     GPS", "TIME OF LAST OBS") +
           H("    18", "LEAP SECONDS");
}

}  // namespace

TEST(ObsHeader, Rinex305WholeHeader) {
    set_gps_station();
    Rinex_Ver = 3.05;
    float interval = 30.0f;
    const std::string text = capture([&](std::ofstream& o) { Add_OBS_File_heading(o, interval); });
    const std::string expected = identification_lines("     3.05") +
                                 H("G L1C  0.00000  03 G05 G07 G13", "SYS / PHASE SHIFT") +
                                 H("G L2W  0.25000  01 G07", "SYS / PHASE SHIFT") + H("     3", "# OF SATELLITES") +
                                 H("", "END OF HEADER");
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(END_flag);
    EXPECT_TRUE(LEAP_flag);
}

TEST(ObsHeader, Rinex4HeadersGoFromLeapSecondsToEnd) {
    for (double v : {4.0, 4.01}) {
        reset_stores();
        set_gps_station();
        Rinex_Ver = v;
        float interval = 30.0f;
        const std::string text = capture([&](std::ofstream& o) { Add_OBS_File_heading(o, interval); });
        EXPECT_EQ(text, identification_lines(v == 4.0 ? "     4.00" : "     4.01") + H("", "END OF HEADER"));
    }
}

// INTERVAL is optional: an interval of 0 (a log of one epoch, no "-p")
// leaves the line out and nothing else, in every version; the smallest
// interval the log can show, 1 ms, is still written.
TEST(ObsHeader, IntervalLineOnlyForAnInterval) {
    const std::string v305_tail = H("G L1C  0.00000  03 G05 G07 G13", "SYS / PHASE SHIFT") +
                                  H("G L2W  0.25000  01 G07", "SYS / PHASE SHIFT") + H("     3", "# OF SATELLITES");
    struct Case {
        double version;
        const char* version_field;
        float interval;
        std::string interval_line;
    } cases[] = {
        {3.05, "     3.05", 0.0f, ""},
        {4.0, "     4.00", 0.0f, ""},
        {4.01, "     4.01", 0.0f, ""},
        {3.05, "     3.05", 0.001f, H("     0.001", "INTERVAL")},
        {4.0, "     4.00", 0.001f, H("     0.001", "INTERVAL")},
    };
    for (const Case& c : cases) {
        reset_stores();
        set_gps_station();
        Rinex_Ver = c.version;
        float interval = c.interval;
        const std::string text = capture([&](std::ofstream& o) { Add_OBS_File_heading(o, interval); });
        const std::string tail = c.version < 4.0 ? v305_tail : "";
        EXPECT_EQ(text, identification_lines(c.version_field, c.interval_line) + tail + H("", "END OF HEADER"))
            << c.version << " " << c.interval;
        EXPECT_TRUE(END_flag);
    }
}

TEST(ObsHeader, WrittenOnceEvenWhenCalledAgain) {
    set_gps_station();
    float interval = 1.0f;
    const std::string text = capture([&](std::ofstream& o) {
        Add_OBS_File_heading(o, interval);
        Add_OBS_File_heading(o, interval);
    });
    const auto lines = lines_of(text);
    int leap = 0, end = 0;
    for (const auto& l : lines) {
        leap += l.find("LEAP SECONDS") == 60;
        end += l.find("END OF HEADER") == 60;
    }
    EXPECT_EQ(leap, 1);
    EXPECT_EQ(end, 1);
}

TEST(ObsHeader, GlonassLinesFollowTheCodeLinesWhenEnabled) {
    set_gps_station();
    Enable_GLO = true;
    GLO_OBS_Arr[0] = "C1C";
    GLO_OBS_Arr[1] = "L1C";
    SYS_OBS_NUM[SYS_GLO] = 2;
    GLO_SLOT_ARR[60] = 3;
    GLO_SLOT_ARR[0] = 5;
    Rinex_Ver = 4.0;
    float interval = 30.0f;
    const auto lines = lines_of(capture([&](std::ofstream& o) { Add_OBS_File_heading(o, interval); }));
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[8] + "\n", H("G    8 C1C L1C D1C S1C C2W L2W D2W S2W", "SYS / # / OBS TYPES"));
    EXPECT_EQ(lines[9] + "\n", H("R    2 C1C L1C", "SYS / # / OBS TYPES"));
    EXPECT_EQ(lines[10] + "\n", H("  1 R03  5", "GLONASS SLOT / FRQ #"));
    EXPECT_EQ(lines[11] + "\n", H(" C1C    0.000", "GLONASS COD/PHS/BIS"));
    EXPECT_EQ(lines[12] + "\n", H("    30.000", "INTERVAL"));
}

TEST(ObsHeader, OverlongAntennaFieldsAreCutToKeepTheLabelColumn) {
    ANT_NUM = "ANTENNA-NUMBER-0123456789";                              // 25 characters
    ANT_Type = "A-VERY-LONG-ANTENNA-TYPE-NAME-0123456789-XYZ-RADOME";  // 51 characters
    const auto lines = lines_of(capture([](std::ofstream& o) { Add_OBSheading(o); }));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[6], "ANTENNA-NUMBER-01234A-VERY-LONG-ANTENNA-TYPE-NAME-0123456789ANT # / TYPE");
    for (const auto& l : lines) EXPECT_GE(l.size(), 61u);
}

TEST(ObsHeader, OverlongTextFieldsAreCutToTheirWidths) {
    OBSERVER = "AN-OBSERVER-WITH-A-LONG-NAME";                                  // 28
    AGENCY = "THE-AGENCY-WITH-AN-EVEN-LONGER-NAME-THAN-FORTY";                // 47
    RCV_NAME = "MARKER-" + std::string(60, 'M');                                // 67
    RCV_ID = "R";
    RCV_IGS = "IGS-NAME-LONGER-THAN-TWENTY";                                     // 27
    FW_VER = "12345678901234567890EXTRA";                                       // 25
    const auto lines = lines_of(capture([](std::ofstream& o) { Add_OBSheading(o); }));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2] + "\n", H("AN-OBSERVER-WITH-A-LTHE-AGENCY-WITH-AN-EVEN-LONGER-NAME-THAN", "OBSERVER / AGENCY"));
    EXPECT_EQ(lines[3] + "\n", H("MARKER-" + std::string(53, 'M'), "MARKER NAME"));
    EXPECT_EQ(lines[4] + "\n", H("R                   IGS-NAME-LONGER-THAN12345678901234567890", "REC # / TYPE / VERS"));
    for (const auto& l : lines) EXPECT_EQ(l.find_first_of("ROMAP#", 60), 60u) << l;
}

TEST(ObsHeader, RunDateFieldsAreZeroFilled) {
    year = 2024, month = 1, day = 5, hour = 9, minutes = 5, sec = 2;
    const auto lines = lines_of(capture([](std::ofstream& o) { Add_OBSheading(o); }));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(40, 20), "20240105 090502 UTC ");
}

TEST(ObsHeader, ObservationTimeLinesNameTheTimeSystem) {
    struct Case {
        float code;
        const char* name;
    } cases[] = {{0, "     GPS"}, {1, "UTC_USNO"}, {2, " GLONASS"}, {3, "  UTC_SU"}, {7, "        "}};
    for (const Case& c : cases) {
        set_epoch(RCV_date, 2024, 12, 31, 23, 59, 59.5f, c.code);
        const std::string text = capture([](std::ofstream& o) { Add_first_obs(o); });
        EXPECT_EQ(text, H(std::string("  2024    12    31    23    59   59.5000000") + c.name, "TIME OF FIRST OBS"))
            << c.code;
    }
}

TEST(ObsHeader, LeapSeconds) {
    Leap_sec = -3;
    EXPECT_EQ(capture([](std::ofstream& o) { Add_leap_sec(o); }), H("    -3", "LEAP SECONDS"));
}

// Observation-code lines: 13 codes per line, continuation lines start with
// six blanks, at most three lines.
TEST(ObsHeader, CodeLinesWrapAtThirteenCodes) {
    struct Case {
        int codes;
        std::vector<int> per_line;
    } cases[] = {{1, {1}}, {13, {13}}, {14, {13, 1}}, {26, {13, 13}}, {27, {13, 13, 1}}, {39, {13, 13, 13}}};
    for (const Case& c : cases) {
        for (auto& s : GAL_OBS_Arr) s.clear();
        std::vector<std::string> codes;
        for (int i = 0; i < c.codes; ++i) {
            std::string code = "C" + std::to_string(10 + i);
            GAL_OBS_Arr[i] = code;
            codes.push_back(code);
        }
        for (int& n : SYS_OBS_NUM) n = 0;
        SYS_OBS_NUM[SYS_GAL] = c.codes;
        const auto lines = lines_of(capture([](std::ofstream& o) { Add_avail_OBS(o); }));
        ASSERT_EQ(lines.size(), c.per_line.size()) << c.codes;
        size_t next = 0;
        for (size_t l = 0; l < lines.size(); ++l) {
            std::string content = l == 0 ? "E" + blanks(2) + (c.codes < 10 ? "  " : " ") + std::to_string(c.codes)
                                         : blanks(6);
            for (int k = 0; k < c.per_line[l]; ++k) content += " " + codes[next++];
            EXPECT_EQ(lines[l] + "\n", H(content, "SYS / # / OBS TYPES")) << c.codes << " line " << l;
        }
    }
}

TEST(ObsHeader, CodeLinesSkipBlankEntriesBeidouFifthStringsAndDisabledSystems) {
    BDS_OBS_Arr[0] = "C2I";
    BDS_OBS_Arr[1] = "L2I";
    BDS_OBS_Arr[2] = " \t";
    BDS_OBS_Arr[3] = "S2I";
    BDS_OBS_Arr[19] = "L6I";
    BDS_OBS_Arr[24] = "L5X";
    BDS_OBS_Arr[30] = "C7D";
    BDS_OBS_Arr[31] = "L7D";
    SYS_OBS_NUM[SYS_BDS] = 5;
    QZSS_OBS_Arr[0] = "C1C";
    SYS_OBS_NUM[SYS_QZSS] = 1;
    NAVIC_OBS_Arr[0] = "C9A";  // codes but a count of 0: no line
    Enable_QZSS = false;
    const std::string text = capture([](std::ofstream& o) { Add_avail_OBS(o); });
    EXPECT_EQ(text, H("C    5 C2I L2I S2I C7D L7D", "SYS / # / OBS TYPES"));
}
