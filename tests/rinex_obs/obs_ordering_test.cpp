// Ordering of the satellite tables and band lists, the per-epoch satellite
// count, and the fold of GLONASS code-division data into GLONASS.
#include <gtest/gtest.h>

#include <vector>

#include "rinex_obs/Rin_ODF_Data_record.h"
#include "rinex_obs/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"

namespace {

// The epoch record of the tables as they stand.
void record() {
    rinexcap::capture([](std::ofstream& o) { Add_data_record(o, Epoch_flag); });
}

std::vector<uint32_t> numbers(const SV_data* t, int n) {
    std::vector<uint32_t> v;
    for (int i = 0; i < n; ++i) v.push_back(t[i].SV_num);
    return v;
}

}  // namespace

TEST(SatOrdering, EmptyRecordSplitsTheTableAndNeverMoves) {
    const uint32_t in[5] = {7, 3, 0, 5, 1};
    for (int i = 0; i < 5; ++i) {
        GPS_SVs[i].SV_num = in[i];
        GPS_SVs[i].code[0] = 1000.0L * in[i];  // whole records travel
    }
    sortSatelliteBlock(GPS_SVs, 5, false);
    EXPECT_EQ(numbers(GPS_SVs, 5), (std::vector<uint32_t>{3, 7, 0, 1, 5}));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GPS_SVs[i].code[0], 1000.0L * GPS_SVs[i].SV_num);
}

TEST(SatOrdering, GlonassSortsBySlotNotChannel) {
    const uint32_t slots[4] = {9, 2, 5, 1};
    const int32_t channels[4] = {-4, 1, 3, 0};
    for (int i = 0; i < 4; ++i) {
        GLO_SVs[i].glo_slot = slots[i];
        GLO_SVs[i].SV_num = static_cast<uint32_t>(channels[i]);
    }
    sortSatelliteBlock(GLO_SVs, 32, true);
    EXPECT_EQ(GLO_SVs[0].glo_slot, 1u);
    EXPECT_EQ(GLO_SVs[1].glo_slot, 2u);
    EXPECT_EQ(GLO_SVs[1].SV_num, 1u);
    EXPECT_EQ(GLO_SVs[2].glo_slot, 5u);
    EXPECT_EQ(GLO_SVs[3].glo_slot, 9u);
    EXPECT_EQ(static_cast<int32_t>(GLO_SVs[3].SV_num), -4);
}

// The count of the epoch line (the one count of satellites): every record
// holds a code range in slot 3, which its system prints; only the flag
// bit 0x40 tells a record with data from one without.
TEST(SatOrdering, CountsDistinctValidKeysWithFlaggedSlots) {
    struct Case {
        char sys;
        std::vector<uint32_t> keys;   // satellite number, or slot for 'R'
        std::vector<bool> flagged;    // a slot with bit 0x40
        int expected;
    } cases[] = {
        {'G', {5, 5, 7}, {true, false, true}, 2},  // duplicate counted once
        {'G', {5, 5}, {false, true}, 1},           // a later record's flag counts
        {'G', {5, 9}, {false, false}, 0},          // nothing flagged
        {'R', {0, 100, 3}, {true, true, true}, 1}, // slots 0 and 100 are no keys
        {'J', {192, 193, 222, 223}, {true, true, true, true}, 2},
        {'S', {100, 101, 158, 159}, {true, true, true, true}, 2},
    };
    for (const Case& c : cases) {
        const Sat_system& x = *system_of_letter(c.sys);
        x.codes[15] = "C2X";  // group 3 printed
        SV_data table[8] = {};
        for (size_t i = 0; i < c.keys.size(); ++i) {
            if (c.sys == 'R')
                table[i].glo_slot = c.keys[i];
            else
                table[i].SV_num = c.keys[i];
            table[i].code[3] = 20000000.0L;
            table[i].flags[3] = c.flagged[i] ? 0x41 : 0x01;
        }
        EXPECT_EQ(countSatelliteBlock(table, c.sys, 8, x.line_groups, true, x.codes), c.expected)
            << c.sys << " case of " << c.keys.size();
    }
}

// A sorted epoch as the epoch record counts it (the record writer alone
// sets the count).
TEST(SatOrdering, SortedEpochCountsEnabledSystemsWithCodesAndRaisesTheMaximum) {
    auto with_data = [](SV_data& r, uint32_t sv, int slot) {
        r.SV_num = sv;
        r.code[slot] = 20000000.0L;
        r.flags[slot] = 0x40;
    };
    with_data(GPS_SVs[0], 12, 0);
    with_data(GPS_SVs[1], 3, 1);
    with_data(GAL_SVs[0], 4, 0);
    with_data(BDS_SVs[60], 30, 0);
    with_data(GLCDMA_SVs[0], 5, 0);  // never counted
    GPS_OBS_Arr[0] = GAL_OBS_Arr[0] = BDS_OBS_Arr[0] = GLCDMA_OBS_Arr[0] = "C1C";
    GPS_OBS_Arr[5] = "C1W";
    SYS_OBS_NUM[SYS_GPS] = 4;
    SYS_OBS_NUM[SYS_GAL] = 4;
    SYS_OBS_NUM[SYS_BDS] = 0;  // no codes: not counted
    nSAt_max = 1;
    sort_SV_arr();
    EXPECT_EQ(GPS_SVs[0].SV_num, 3u);
    record();
    EXPECT_EQ(nSAt_current, 3);
    EXPECT_EQ(nSAt_max, 3);

    Enable_GAL = false;
    sort_SV_arr();
    record();
    EXPECT_EQ(nSAt_current, 2);
    EXPECT_EQ(nSAt_max, 3);  // only grows
}

TEST(SatOrdering, ShortTablesOrderOnlyTheirFirstThirtyRecords) {
    QZSS_SVs[29].SV_num = 200;
    QZSS_SVs[30].SV_num = 195;  // beyond the ordered range
    QZSS_SVs[28].SV_num = 199;
    sort_SV_arr();
    EXPECT_EQ(QZSS_SVs[28].SV_num, 199u);
    EXPECT_EQ(QZSS_SVs[29].SV_num, 200u);
    EXPECT_EQ(QZSS_SVs[30].SV_num, 195u);
}

TEST(SatOrdering, BandListsSortRowsZeroToFiveOnly) {
    const uint32_t row[6] = {9, 4, 0, 7, 2, 0};
    for (int j = 0; j < 6; ++j) {
        GPS_SAT_NUM_SYS[1][j] = row[j];
        GPS_SAT_NUM_SYS[6][j] = row[j];
        BDS_SAT_NUM_SYS[5][55 + j] = row[j];
        SBAS_SAT_NUM_SYS[0][j] = row[j];
    }
    sort_SV_num();
    const uint32_t sorted[6] = {4, 9, 0, 2, 7, 0};
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(GPS_SAT_NUM_SYS[1][j], sorted[j]);
        EXPECT_EQ(GPS_SAT_NUM_SYS[6][j], row[j]);
        EXPECT_EQ(BDS_SAT_NUM_SYS[5][55 + j], sorted[j]);  // BeiDou rows sort all 61
        EXPECT_EQ(SBAS_SAT_NUM_SYS[0][j], row[j]);         // SBAS lists are not sorted
    }
}

TEST(SatOrdering, CodeDivisionDataLandInTheMatchingGlonassRecord) {
    GLCDMA_OBS_Arr[0] = "C4X";
    GLCDMA_OBS_Arr[15] = "C6X";
    GLCDMA_OBS_Arr[20] = "C3X";
    GLCDMA_SAT_NUM_SYS[0][0] = 14;
    GLCDMA_SAT_NUM_SYS[3][0] = 14;
    GLO_OBS_Arr[0] = "C1C";
    GLO_SVs[2].glo_slot = 14;
    GLO_SVs[2].flags[5] = 0x02;  // other bits are kept
    GLO_SVs[3].glo_slot = 15;
    GLCDMA_SVs[0].SV_num = 14;
    GLCDMA_SVs[0].code[0] = 21000000.5L;
    GLCDMA_SVs[0].phase[3] = 100.25L;
    GLCDMA_SVs[0].snr_digit[3] = 6;
    GLCDMA_SVs[0].flags[0] = 0x40;
    GLCDMA_SVs[0].flags[3] = 0x40;
    GLCDMA_SVs[1].SV_num = 20;  // matches no GLONASS slot
    GLCDMA_SVs[1].code[0] = 1.0L;
    GLCDMA_SVs[1].flags[0] = 0x40;

    add_GLCDMAtoGLO();
    EXPECT_EQ(GLO_OBS_Arr[25], "C4X");
    EXPECT_EQ(GLO_OBS_Arr[35], "C6X");
    EXPECT_EQ(GLO_OBS_Arr[20], "C3X");
    EXPECT_EQ(SYS_OBS_NUM[SYS_GLO], 4);
    EXPECT_EQ(GLO_SAT_NUM_SYS[5][0], 14u);
    EXPECT_EQ(GLO_SAT_NUM_SYS[7][0], 14u);
    EXPECT_EQ(GLO_SVs[2].code[5], 21000000.5L);
    EXPECT_EQ(GLO_SVs[2].flags[5], 0x42u);
    EXPECT_EQ(GLO_SVs[2].phase[7], 100.25L);
    EXPECT_EQ(GLO_SVs[2].snr_digit[7], 6u);
    EXPECT_EQ(GLO_SVs[2].flags[7], 0x40u);
    EXPECT_EQ(GLO_SVs[3].code[5], 0.0L);
    EXPECT_EQ(GLO_SVs[3].flags[5], 0u);
}

TEST(SatOrdering, CodeDivisionMatchUsesTheLowByteAndTheLastMatchWins) {
    GLCDMA_OBS_Arr[20] = "C3X";  // band 5 is a code-division signal of the log
    GLO_SVs[0].glo_slot = 14;
    GLO_SVs[1].glo_slot = 142;  // the signed low byte of 142 is -114: no match
    GLCDMA_SVs[0].SV_num = 14;
    GLCDMA_SVs[0].code[4] = 1.0L;
    GLCDMA_SVs[0].flags[4] = 0x40;
    GLCDMA_SVs[5].SV_num = 0x10E;  // low byte 14
    GLCDMA_SVs[5].code[4] = 2.0L;
    GLCDMA_SVs[5].flags[4] = 0x40 | SLOT_HAS_CODE;
    GLCDMA_SVs[6].SV_num = 142;
    GLCDMA_SVs[6].code[4] = 3.0L;
    GLCDMA_SVs[6].flags[4] = 0x40;
    add_GLCDMAtoGLO();
    EXPECT_EQ(GLO_SVs[0].code[4], 2.0L);
    EXPECT_EQ(GLO_SVs[0].flags[4], 0x40u | SLOT_HAS_CODE);  // flags and decoded values go along
    EXPECT_EQ(GLO_SVs[1].code[4], 0.0L);
}

// A code-division group without data leaves the GLONASS record's group as
// it is: its frequency-division band-5 values stay; the group that holds
// data is folded.
TEST(SatOrdering, EmptyCodeDivisionGroupKeepsTheFrequencyDivisionValues) {
    reset_stores();
    GLCDMA_OBS_Arr[0] = "C4X";
    GLCDMA_OBS_Arr[20] = "C3X";  // some other code-division satellite has band 5
    GLO_SVs[0].glo_slot = 5;
    GLO_SVs[0].code[4] = 22000000.0L;
    GLO_SVs[0].phase[4] = 115000000.25L;
    GLO_SVs[0].phase_shift[4] = 0.25f;
    GLO_SVs[0].flags[4] = 0x40 | SLOT_HAS_CODE | SLOT_HAS_PHASE;
    GLCDMA_SVs[0].SV_num = 5;
    GLCDMA_SVs[0].code[0] = 21000000.0L;
    GLCDMA_SVs[0].flags[0] = 0x40 | SLOT_HAS_CODE;
    GLCDMA_SVs[0].flags[4] = 0x40;  // flagged, but no value: no data
    add_GLCDMAtoGLO();
    EXPECT_EQ(GLO_SVs[0].code[4], 22000000.0L);
    EXPECT_EQ(GLO_SVs[0].phase[4], 115000000.25L);
    EXPECT_EQ(GLO_SVs[0].phase_shift[4], 0.25f);
    EXPECT_EQ(GLO_SVs[0].flags[4], 0x40u | SLOT_HAS_CODE | SLOT_HAS_PHASE);
    EXPECT_EQ(GLO_SVs[0].code[5], 21000000.0L);
    EXPECT_EQ(GLO_SVs[0].flags[5], 0x40u | SLOT_HAS_CODE);
}
