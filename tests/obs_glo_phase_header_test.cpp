// GLONASS slot and code-bias lines, and the SYS / PHASE SHIFT lines with
// their satellite lists and the two BeiDou phase sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "rinex_obs/Rin_hwriter.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"

using rinexcap::blanks;
using rinexcap::capture;
using rinexcap::H;

namespace {

void add_pair(int i, int slot, int freq) {
    GLO_SLOT_ARR[60 + i] = slot;
    GLO_SLOT_ARR[i] = freq;
}

std::string glo_slot_text() {
    return capture([](std::ofstream& o) { Add_glo_slot(o); });
}

std::string phase_text() {
    return capture([](std::ofstream& o) { Add_sys_phase(o); });
}

// " R01 -4" style entries of the slots first..last with channel slot % 7 - 3.
std::string glo_entries(int first, int last) {
    std::string s;
    for (int k = first; k <= last; ++k) {
        std::string f = std::to_string(k % 7 - 3);
        s += " R" + std::string(k < 10 ? "0" : "") + std::to_string(k) + blanks(3 - f.size()) + f;
    }
    return s;
}

void fill_row(uint32_t* row, std::initializer_list<uint32_t> v) {
    int i = 0;
    for (uint32_t x : v) row[i++] = x;
}

// Only the given system has codes and is listed.
void only(int sys) {
    for (int& n : SYS_OBS_NUM) n = 0;
    SYS_OBS_NUM[sys] = 4;
    SYS_NUM = 7;
}

}  // namespace

TEST(GloSlotLines, PairsAreSortedBySlot) {
    add_pair(0, 5, 1);
    add_pair(1, 2, -4);
    add_pair(2, 9, 3);
    EXPECT_EQ(glo_slot_text(), H("  3 R02 -4 R05  1 R09  3", "GLONASS SLOT / FRQ #"));
    EXPECT_EQ(GLO_SLOT_ARR[59], 3);
    EXPECT_EQ(GLO_SLOT_ARR[60], 2);
    EXPECT_EQ(GLO_SLOT_ARR[1], 1);
}

TEST(GloSlotLines, EightPerLineWithContinuations) {
    struct Case {
        int pairs;
        std::string text;
    } cases[] = {
        {0, H("  0", "GLONASS SLOT / FRQ #")},
        {8, H("  8" + glo_entries(1, 8), "GLONASS SLOT / FRQ #")},
        {9, H("  9" + glo_entries(1, 8), "GLONASS SLOT / FRQ #") + H("   " + glo_entries(9, 9), "GLONASS SLOT / FRQ #")},
        {16, H(" 16" + glo_entries(1, 8), "GLONASS SLOT / FRQ #") +
                 H("   " + glo_entries(9, 16), "GLONASS SLOT / FRQ #")},
        {32, H(" 32" + glo_entries(1, 8), "GLONASS SLOT / FRQ #") +
                 H("   " + glo_entries(9, 16), "GLONASS SLOT / FRQ #") +
                 H("   " + glo_entries(17, 24), "GLONASS SLOT / FRQ #") +
                 H("   " + glo_entries(25, 32), "GLONASS SLOT / FRQ #")},
    };
    for (const Case& c : cases) {
        for (int& v : GLO_SLOT_ARR) v = 0;
        // Stored in reverse to exercise the sort.
        for (int k = 1; k <= c.pairs; ++k) add_pair(c.pairs - k, k, k % 7 - 3);
        EXPECT_EQ(glo_slot_text(), c.text) << c.pairs;
    }
}

TEST(GloSlotLines, CodeBiasListsThePresentCodes) {
    GLO_OBS_Arr[0] = "C1C";
    GLO_OBS_Arr[10] = "C2C";
    EXPECT_EQ(capture([](std::ofstream& o) { Add_glo_cod(o); }),
              H(" C1C    0.000 C2C    0.000", "GLONASS COD/PHS/BIS"));
    GLO_OBS_Arr[0].clear();
    GLO_OBS_Arr[10].clear();
    EXPECT_EQ(capture([](std::ofstream& o) { Add_glo_cod(o); }), H("", "GLONASS COD/PHS/BIS"));
}

TEST(PhaseShift, GpsLineWithSatellites) {
    only(SYS_GPS);
    GPS_OBS_Arr[1] = "L1C";
    GPS_OBS_Arr[11] = "L2W";  // a group with a code and no satellites
    PHASE_SHIFT[SYS_GPS][2] = -0.25f;
    fill_row(GPS_SAT_NUM_SYS[0], {5, 7, 13});
    EXPECT_EQ(phase_text(), H("G L1C  0.00000  03 G05 G07 G13", "SYS / PHASE SHIFT") +
                                H("G L2W -0.25000  00", "SYS / PHASE SHIFT"));
    EXPECT_EQ(SAT_NUM_SYS[SYS_GPS][0], 3u);
}

TEST(PhaseShift, ContinuationLinesListEverySatellite) {
    only(SYS_GPS);
    GPS_OBS_Arr[1] = "L1C";
    struct Case {
        int sats;
        int lines;
    } cases[] = {{10, 1}, {12, 2}, {20, 2}, {25, 3}, {32, 4}};
    for (const Case& c : cases) {
        for (auto& v : GPS_SAT_NUM_SYS[0]) v = 0;
        for (int k = 0; k < c.sats; ++k) GPS_SAT_NUM_SYS[0][k] = static_cast<uint32_t>(k + 1);
        std::string expected;
        std::string list;
        for (int k = 1; k <= c.sats; ++k) {
            list += std::string(" G") + (k < 10 ? "0" : "") + std::to_string(k);
            if (k % 10 == 0 || k == c.sats) {
                const std::string head = expected.empty() ? "G L1C  0.00000  " + std::to_string(c.sats) : blanks(18);
                expected += H(head + list, "SYS / PHASE SHIFT");
                list.clear();
            }
        }
        EXPECT_EQ(phase_text(), expected) << c.sats;
    }
}

TEST(PhaseShift, PrintedNumbersPerSystem) {
    only(SYS_QZSS);
    QZSS_OBS_Arr[1] = "L1C";
    fill_row(QZSS_SAT_NUM_SYS[0], {193, 199});
    EXPECT_EQ(phase_text(), H("J L1C  0.00000  02 J01 J07", "SYS / PHASE SHIFT"));
    only(SYS_SBAS);
    SBAS_OBS_Arr[1] = "L1C";
    fill_row(SBAS_SAT_NUM_SYS[0], {120, 136});
    EXPECT_EQ(phase_text(), H("S L1C  0.00000  02 S20 S36", "SYS / PHASE SHIFT"));
    only(SYS_GLO);
    GLO_OBS_Arr[1] = "L1C";
    GLO_OBS_Arr[36] = "L6X";  // group 7: no satellite list
    fill_row(GLO_SAT_NUM_SYS[0], {3, 255, 17});
    EXPECT_EQ(phase_text(), H("R L1C  0.00000  02 R03 R17", "SYS / PHASE SHIFT") +
                                H("R L6X  0.00000  00", "SYS / PHASE SHIFT"));
}

TEST(PhaseShift, DisabledSystemsAndSystemsWithoutCodesHaveNoLines) {
    only(SYS_GPS);
    GPS_OBS_Arr[1] = "L1C";
    Enable_GPS = false;
    EXPECT_EQ(phase_text(), "");
    Enable_GPS = true;
    SYS_OBS_NUM[SYS_GPS] = 0;
    EXPECT_EQ(phase_text(), "");
}

TEST(PhaseShift, BeidouSetsByGroup) {
    struct Case {
        int group;
        std::initializer_list<uint32_t> sats;
        std::string text;
    } cases[] = {
        {0,
         {1, 3, 8, 20, 60},
         H("C L2I  0.12500  03 C01 C03 C60", "SYS / PHASE SHIFT") + H("C X0   0.62500  02 C08 C20", "SYS / PHASE SHIFT")},
        {1, {8, 12}, H("C X1   0.62500  02 C08 C12", "SYS / PHASE SHIFT")},
        {1, {3, 30}, H("C L8X  0.12500  02 C03 C30", "SYS / PHASE SHIFT")},
        {2,
         {2, 9, 10},
         H("C L7I  0.12500  01 C02", "SYS / PHASE SHIFT") + H("C X2   0.37500  02 C09 C10", "SYS / PHASE SHIFT")},
        {5, {1, 7, 40}, H("C L1X  0.12500  03 C01 C07 C40", "SYS / PHASE SHIFT")},
    };
    const char* phase_codes[6] = {"L2I", "L8X", "L7I", "L6I", "L5X", "L1X"};
    for (const Case& c : cases) {
        only(SYS_BDS);
        for (auto& s : BDS_OBS_Arr) s.clear();
        for (auto& row : BDS_SAT_NUM_SYS)
            for (auto& v : row) v = 0;
        const int k = 5 * c.group + 1;
        BDS_OBS_Arr[k] = phase_codes[c.group];
        BDS_OBS_Arr[k + 3] = "X" + std::to_string(c.group);  // the second set's code
        PHASE_SHIFT[SYS_BDS][c.group] = 0.125f;
        fill_row(BDS_SAT_NUM_SYS[c.group], c.sats);
        EXPECT_EQ(phase_text(), c.text) << "group " << c.group;
    }
    EXPECT_EQ(PHASE_SHIFT[SYS_BDS][2], -0.125f);  // band 2 keeps the lowered value
}

TEST(PhaseShift, BeidouSecondSetNeedsItsCode) {
    only(SYS_BDS);
    BDS_OBS_Arr[1] = "L2I";
    fill_row(BDS_SAT_NUM_SYS[0], {1, 8});
    EXPECT_EQ(phase_text(), H("C L2I  0.00000  01 C01", "SYS / PHASE SHIFT"));
}

TEST(PhaseShift, BeidouLongSetsContinueUntilAllAreListed) {
    only(SYS_BDS);
    BDS_OBS_Arr[1] = "L2I";
    BDS_OBS_Arr[4] = "L2X";
    // 10 satellites of the first set, 45 of the second: 6..50.
    uint32_t* row = BDS_SAT_NUM_SYS[0];
    int n = 0;
    for (uint32_t s : {1u, 2u, 3u, 4u, 5u, 59u, 60u, 61u, 62u, 63u}) row[n++] = s;
    for (uint32_t s = 6; s <= 50; ++s) row[n++] = s;
    std::sort(row, row + n);
    std::string expected = H("C L2I  0.00000  10 C01 C02 C03 C04 C05 C59 C60 C61 C62 C63", "SYS / PHASE SHIFT");
    std::string list;
    for (int s = 6; s <= 50; ++s) {
        list += std::string(" C") + (s < 10 ? "0" : "") + std::to_string(s);
        if ((s - 5) % 10 == 0 || s == 50) {
            expected += H((s <= 15 ? "C L2X  0.50000  45" : blanks(18)) + list, "SYS / PHASE SHIFT");
            list.clear();
        }
    }
    EXPECT_EQ(phase_text(), expected);
}
