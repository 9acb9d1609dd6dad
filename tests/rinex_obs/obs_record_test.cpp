// Epoch records: merging of a satellite's records, the selection that both
// counts and writes the satellite lines, the epoch line, the 64-column
// observation groups, the SBAS and BeiDou column rules.
#include <gtest/gtest.h>

#include <string>

#include "rinex_obs/Rin_ODF_Data_record.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using rinexcap::blanks;
using rinexcap::capture;
using testfiles::lines_of;

namespace {

void set_slot(SV_data& r, int s, long double code, long double phase, double doppler, double snr, uint32_t digit,
              uint32_t flags = SLOT_HAS_DATA | SLOT_VALUES) {
    r.code[s] = code;
    r.phase[s] = phase;
    r.doppler[s] = doppler;
    r.snr[s] = snr;
    r.snr_digit[s] = digit;
    r.flags[s] = flags;
}

void set_codes(std::string* table, int group, const char* c) {
    table[5 * group] = std::string("C") + c;
    table[5 * group + 1] = std::string("L") + c;
    table[5 * group + 2] = std::string("D") + c;
    table[5 * group + 3] = std::string("S") + c;
}

// The receiver date of the epoch being written.
void set_date(float y, float mo, float d, float h, float mi, float s) { storedate::set_date(RCV_date, y, mo, d, h, mi, s); }

// The example group of the format: 21234567.123 m, 111587654.321 cycles,
// digit 7, -1234.567 Hz, 45.25 dB-Hz.
const std::string EXAMPLE_GROUP = "  21234567.123   111587654.321 7     -1234.567          45.250  ";

void set_example(SV_data& r, int s) { set_slot(r, s, 21234567.123L, 111587654.321L, -1234.567, 45.25, 7); }

std::string record_text() {
    return capture([](std::ofstream& o) { Add_data_record(o, Epoch_flag); });
}

std::string epoch_line(int count) {
    return "> 2024 05 09 10 30 30.0000000  0" + std::string(count < 10 ? "  " : " ") + std::to_string(count) +
           "       0.000000000000";
}

// Only the given system prints.
void only(int sys) {
    for (int& n : SYS_OBS_NUM) n = 0;
    SYS_OBS_NUM[sys] = 8;
}

}  // namespace

// ------------------------------------------------------------- merging

TEST(SatMerge, LaterRecordFillsOnlyEmptyOrAllZeroSlots) {
    struct Case {
        const char* what;
        uint32_t first_flags;
        long double first_code;
        uint32_t second_flags;
        long double second_code;
        long double merged_code;
        uint32_t merged_flags;
        uint32_t merged_digit;
    } cases[] = {
        {"data is kept", 0x40, 20000000.0L, 0x41, 22000000.0L, 20000000.0L, 0x40, 3},
        {"flagged zeros are replaced", 0x40, 0, 0x43, 22000000.0L, 22000000.0L, 0x43, 8},
        {"unflagged takes flagged zeros", 0x01, 5.0L, 0x40, 0, 0, 0x40, 8},
        {"unflagged source is ignored", 0x40, 0, 0x01, 22000000.0L, 0, 0x40, 3},
        {"flagged zeros stay on zeros", 0x40, 0, 0x42, 0, 0, 0x40, 3},
    };
    for (const Case& c : cases) {
        SV_data t[6] = {};
        t[2].SV_num = t[5].SV_num = 11;
        set_slot(t[2], 1, c.first_code, 0, 0, 0, 3, c.first_flags);
        set_slot(t[5], 1, c.second_code, 0, 0, 0, 8, c.second_flags);
        const SV_data m = getMergedSatellite(t, 2, 6, 'G');
        EXPECT_EQ(m.code[1], c.merged_code) << c.what;
        EXPECT_EQ(m.flags[1], c.merged_flags) << c.what;
        EXPECT_EQ(m.snr_digit[1], c.merged_digit) << c.what;
    }
}

TEST(SatMerge, InvalidKeysNeitherStandForNorMergeIntoASatellite) {
    SV_data t[4] = {};
    t[0].SV_num = 100;  // no GPS key
    set_slot(t[0], 0, 1.0L, 0, 0, 0, 1);
    t[1].SV_num = 7;
    t[2].SV_num = 0;
    set_slot(t[2], 0, 2.0L, 0, 0, 0, 1);
    GPS_OBS_Arr[0] = "C1C";
    EXPECT_EQ(countSatelliteBlock(t, 'G', 4, 6, true, GPS_OBS_Arr), 0);
    EXPECT_EQ(getMergedSatellite(t, 1, 4, 'G').flags[0], 0u);
}

TEST(SatMerge, OutputTestHonoursCodesAndExtendedSlots) {
    SV_data r = {};
    r.SV_num = 4;
    set_slot(r, 6, 1.0L, 0, 0, 0, 1);
    for (int g = 0; g < 8; ++g) set_codes(GLO_OBS_Arr, g, "1C");
    EXPECT_FALSE(hasOutputObservation(r, 'R', 8, false, GLO_OBS_Arr));
    EXPECT_TRUE(hasOutputObservation(r, 'R', 8, true, GLO_OBS_Arr));
    GLO_OBS_Arr[30].clear();
    EXPECT_FALSE(hasOutputObservation(r, 'R', 8, true, GLO_OBS_Arr));
}

TEST(SatMerge, SbasBandFiveDependsOnTheSatellite) {
    set_codes(SBAS_OBS_Arr, 4, "5I");
    SV_data r = {};
    set_slot(r, 4, 1.0L, 0, 0, 0, 1);
    r.SV_num = 136;
    EXPECT_FALSE(hasOutputObservation(r, 'S', 9, true, SBAS_OBS_Arr));  // no group-8 code
    set_codes(SBAS_OBS_Arr, 8, "5X");
    EXPECT_TRUE(hasOutputObservation(r, 'S', 9, true, SBAS_OBS_Arr));
    SBAS_OBS_Arr[20].clear();
    r.SV_num = 120;
    EXPECT_FALSE(hasOutputObservation(r, 'S', 9, true, SBAS_OBS_Arr));
}

TEST(SatMerge, BeidouBandTwoCountsOnlyThroughItsOwnGroup) {
    BDS_OBS_Arr[30] = "C7D";
    BDS_OBS_Arr[34] = "C7Z";
    SV_data r = {};
    r.SV_num = 9;
    set_slot(r, 2, 1.0L, 0, 0, 0, 1);
    EXPECT_FALSE(hasBdsOutputObservation(r));
    BDS_OBS_Arr[10] = "C7I";
    EXPECT_TRUE(hasBdsOutputObservation(r));
    r.SV_num = 64;
    SV_data t[61] = {};
    t[0] = r;
    EXPECT_EQ(countBdsSatelliteBlock(t, 61), 0);
}

// -------------------------------------------------------- epoch record

TEST(EpochRecord, EpochLineAndObservationGroupsByteForByte) {
    set_date(2024, 5, 9, 10, 30, 30);
    set_codes(GPS_OBS_Arr, 0, "1C");
    set_codes(GPS_OBS_Arr, 2, "2W");  // group 1 absent: two groups per line
    only(SYS_GPS);
    GPS_SVs[0].SV_num = 5;
    set_example(GPS_SVs[0], 0);
    set_slot(GPS_SVs[0], 1, 1.0L, 1.0L, 1.0, 1.0, 1);  // no code: never printed
    set_slot(GPS_SVs[0], 2, 0, 0, 0, 0, 4);           // flagged, all zero: blanks
    GPS_SVs[1].SV_num = 17;
    set_slot(GPS_SVs[1], 0, 0, 12.5L, 0, 0, 0);        // zero code with a phase; digit never set
    set_slot(GPS_SVs[1], 2, -0.0L, 1.0L, -0.0, -0.0, 9);
    const std::string expected = epoch_line(2) + "\n" + "G05" + EXAMPLE_GROUP + blanks(64) + "\n" + "G17" +
                                 "         0.000          12.500 0         0.000           0.000  " +
                                 "         0.000           1.000 9         0.000           0.000  \n";
    EXPECT_EQ(record_text(), expected);
    EXPECT_EQ(nSAt_current, 2);
}

// Texts wider than their columns push the rest of the group to the right
// (a code range of 16 characters, a strength digit of two), a phase of -0
// keeps its sign, and values that are doubles exactly print as such.
TEST(EpochRecord, WideFieldsAndSignedZeroInAGroup) {
    set_date(2024, 5, 9, 10, 30, 30);
    set_codes(GPS_OBS_Arr, 0, "1C");
    only(SYS_GPS);
    GPS_SVs[0].SV_num = 5;
    set_slot(GPS_SVs[0], 0, 123456789012.5L, -0.0L, -0.0, 45.25, 12);
    GPS_SVs[1].SV_num = 7;
    set_slot(GPS_SVs[1], 0, 21234567.125L, -111587654.25L, 98765432109876.5, 1e12, 3);
    const std::string expected = epoch_line(2) + "\n" + "G05" +
                                 "123456789012.500          -0.000 12         0.000          45.250  \n" + "G07" +
                                 "  21234567.125  -111587654.250 398765432109876.500   1000000000000.000  \n";
    EXPECT_EQ(record_text(), expected);
}

TEST(EpochRecord, SecondsRoundToMillisecondsWithoutCarry) {
    struct Case {
        float second;
        const char* printed;
    } cases[] = {{59.9996f, "60.0000000"}, {29.99999809f, "30.0000000"}, {0.0f, " 0.0000000"},
                 {12.3456f, "12.3460000"}, {7.0004f, " 7.0000000"}};
    for (const Case& c : cases) {
        set_date(2024, 12, 31, 23, 59, c.second);
        const auto lines = lines_of(record_text());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], std::string("> 2024 12 31 23 59 ") + c.printed + "  0  0       0.000000000000")
            << c.second;
    }
}

TEST(EpochRecord, ClockOffsetAndFlagAreAlwaysWritten) {
    set_date(2024, 1, 2, 3, 4, 5);
    RcvTimeOffset = -0.000123456789;
    int flag = 1;
    const std::string text = capture([&](std::ofstream& o) { Add_data_record(o, flag); });
    EXPECT_EQ(text, "> 2024 01 02 03 04  5.0000000  1  0      -0.000123456789\n");
}

TEST(EpochRecord, DuplicateRecordsGiveOneMergedLine) {
    set_date(2024, 5, 9, 10, 30, 30);
    set_codes(GAL_OBS_Arr, 0, "1X");
    set_codes(GAL_OBS_Arr, 1, "8X");
    only(SYS_GAL);
    GAL_SVs[2].SV_num = 11;
    set_example(GAL_SVs[2], 0);
    set_slot(GAL_SVs[2], 1, 0, 0, 0, 0, 2);  // flagged zeros: filled from record 5
    GAL_SVs[5].SV_num = 11;
    set_slot(GAL_SVs[5], 0, 1.0L, 2.0L, 3.0, 4.0, 5);  // ignored: record 2 has data
    set_example(GAL_SVs[5], 1);
    const std::string expected = epoch_line(1) + "\nE11" + EXAMPLE_GROUP + EXAMPLE_GROUP + "\n";
    EXPECT_EQ(record_text(), expected);
}

TEST(EpochRecord, KeysAndTheirPrintedNumbers) {
    set_date(2024, 5, 9, 10, 30, 30);
    for (int s : {SYS_GLO, SYS_QZSS, SYS_NAVIC, SYS_SBAS}) SYS_OBS_NUM[s] = 4;
    set_codes(GLO_OBS_Arr, 0, "1C");
    set_codes(QZSS_OBS_Arr, 0, "1C");
    set_codes(NAVIC_OBS_Arr, 0, "9A");
    set_codes(SBAS_OBS_Arr, 0, "1C");
    const uint32_t glo_slots[3] = {0, 100, 1};  // only slot 1 is a key
    for (int i = 0; i < 3; ++i) {
        GLO_SVs[i].glo_slot = glo_slots[i];
        GLO_SVs[i].SV_num = static_cast<uint32_t>(-4);
        set_example(GLO_SVs[i], 0);
    }
    const uint32_t qzss[3] = {192, 193, 223};
    for (int i = 0; i < 3; ++i) {
        QZSS_SVs[i].SV_num = qzss[i];
        set_example(QZSS_SVs[i], 0);
    }
    NavIC_SVs[0].SV_num = 100;
    set_example(NavIC_SVs[0], 0);
    NavIC_SVs[1].SV_num = 2;
    set_example(NavIC_SVs[1], 0);
    SBAS_SVs[0].SV_num = 158;
    set_example(SBAS_SVs[0], 0);
    const std::string expected = epoch_line(4) + "\nR01" + EXAMPLE_GROUP + "\nJ01" + EXAMPLE_GROUP + "\nI02" +
                                 EXAMPLE_GROUP + "\nS58" + EXAMPLE_GROUP + "\n";
    EXPECT_EQ(record_text(), expected);
}

TEST(EpochRecord, GlonassPrintsCodeDivisionSlotsOnlyWhenEnabled) {
    set_date(2024, 5, 9, 10, 30, 30);
    only(SYS_GLO);
    set_codes(GLO_OBS_Arr, 0, "1C");
    set_codes(GLO_OBS_Arr, 5, "4X");
    GLO_SVs[0].glo_slot = 3;
    set_example(GLO_SVs[0], 0);
    set_example(GLO_SVs[0], 5);
    GLO_SVs[1].glo_slot = 4;
    set_example(GLO_SVs[1], 5);  // only code-division data
    Enable_GLCDMA = false;
    EXPECT_EQ(record_text(), epoch_line(1) + "\nR03" + EXAMPLE_GROUP + "\n");
    Enable_GLCDMA = true;
    EXPECT_EQ(record_text(), epoch_line(2) + "\nR03" + EXAMPLE_GROUP + EXAMPLE_GROUP + "\nR04" + blanks(64) +
                                 EXAMPLE_GROUP + "\n");
}

TEST(EpochRecord, SbasBandFiveColumnsBySatellite) {
    set_date(2024, 5, 9, 10, 30, 30);
    only(SYS_SBAS);
    set_codes(SBAS_OBS_Arr, 0, "1C");
    set_codes(SBAS_OBS_Arr, 4, "5I");
    set_codes(SBAS_OBS_Arr, 8, "5X");
    SBAS_SVs[0].SV_num = 120;
    set_example(SBAS_SVs[0], 4);
    SBAS_SVs[1].SV_num = 123;
    set_example(SBAS_SVs[1], 0);
    set_example(SBAS_SVs[1], 4);
    SBAS_SVs[2].SV_num = 136;
    set_example(SBAS_SVs[2], 4);
    const std::string expected = epoch_line(3) + "\nS20" + blanks(64) + EXAMPLE_GROUP + blanks(64) + "\nS23" +
                                 EXAMPLE_GROUP + blanks(64) + EXAMPLE_GROUP + "\nS36" + blanks(128) +
                                 EXAMPLE_GROUP + "\n";
    EXPECT_EQ(record_text(), expected);
}

TEST(EpochRecord, BeidouColumnGroups) {
    set_date(2024, 5, 9, 10, 30, 30);
    only(SYS_BDS);
    set_codes(BDS_OBS_Arr, 0, "2I");
    BDS_OBS_Arr[10] = "C7I";
    BDS_OBS_Arr[30] = "C7D";
    BDS_OBS_Arr[34] = "C7Z";
    // band 2: 1..16 under C7I, 59..63 under C7D, 17..58 under C7Z
    const uint32_t sats[7] = {20, 3, 16, 17, 64, 59, 58};
    for (int i = 0; i < 7; ++i) {
        BDS_SVs[i].SV_num = sats[i];
        set_example(BDS_SVs[i], 2);
    }
    set_example(BDS_SVs[5], 0);
    BDS_SVs[5].code[0] = 1.0L;
    const std::string b = blanks(64), g = EXAMPLE_GROUP;
    const std::string one = "         1.000   111587654.321 7     -1234.567          45.250  ";
    const std::string expected = epoch_line(6) + "\nC20" + b + b + b + g + "\nC03" + b + g + b + b + "\nC16" + b + g +
                                 b + b + "\nC17" + b + b + b + g + "\nC59" + one + b + g + b + "\nC58" + b + b + b + g +
                                 "\n";
    EXPECT_EQ(record_text(), expected);
}

TEST(EpochRecord, NoCodesMeansOnlyTheEpochLine) {
    set_date(2024, 5, 9, 10, 30, 30);
    for (int& n : SYS_OBS_NUM) n = 0;
    GPS_SVs[0].SV_num = 5;
    set_example(GPS_SVs[0], 0);
    GPS_OBS_Arr[0] = "C1C";
    EXPECT_EQ(record_text(), epoch_line(0) + "\n");
    SYS_OBS_NUM[SYS_GPS] = 4;
    Enable_GPS = false;
    EXPECT_EQ(record_text(), epoch_line(0) + "\n");
}

// The count in the epoch line is the number of satellite lines that follow,
// whatever mixture of duplicates, empty slots and invalid keys the tables hold.
TEST(EpochRecord, CountAlwaysMatchesTheLines) {
    set_date(2024, 5, 9, 10, 30, 30);
    for (int s = 0; s < 7; ++s) SYS_OBS_NUM[s] = 4;
    set_codes(GPS_OBS_Arr, 0, "1C");
    set_codes(GAL_OBS_Arr, 1, "8X");
    set_codes(BDS_OBS_Arr, 0, "2I");
    set_codes(SBAS_OBS_Arr, 8, "5X");
    unsigned seed = 12345;
    auto rnd = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 20; ++round) {
        SV_data* tables[4] = {GPS_SVs, GAL_SVs, BDS_SVs, SBAS_SVs};
        const int sizes[4] = {32, 37, 61, 30};
        const uint32_t base[4] = {0, 0, 0, 100};
        for (int t = 0; t < 4; ++t)
            for (int i = 0; i < sizes[t]; ++i) {
                SV_data& r = tables[t][i];
                r = SV_data{};
                if (rnd(3) == 0) continue;
                r.SV_num = base[t] + rnd(70);
                const int s = static_cast<int>(rnd(5));
                set_slot(r, s, rnd(2) ? 20000000.0L : 0.0L, 0, 0, 0, 1, rnd(2) ? 0x40 : 0x01);
            }
        const auto lines = lines_of(record_text());
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(std::stoi(lines[0].substr(32, 3)), static_cast<int>(lines.size()) - 1) << "round " << round;
        EXPECT_EQ(nSAt_current, static_cast<int>(lines.size()) - 1);
    }
}
