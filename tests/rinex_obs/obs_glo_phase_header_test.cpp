// GLONASS slot and code-bias lines; the SYS / PHASE SHIFT lines and the
// "# OF SATELLITES" count, written from the first pass's survey of what
// the file stores.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "rinex_obs/Rin_hwriter.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"

using rinexcap::blanks;
using rinexcap::capture;
using rinexcap::H;
using testfiles::lines_of;

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

// Only the given system has codes and is listed; no code table holds a
// code and nothing is surveyed yet.
void only(int sys) {
    reset_stores();
    SYS_OBS_NUM[sys] = 4;
}

// The code-range and phase codes that make a column printed.
void column_codes(std::string* table, int first, const char* band) {
    table[first] = std::string("C") + band;
    table[first + 1] = std::string("L") + band;
}

// Phases of the given satellites in one column, all with one correction.
void phases(int sys, int column, float shift, std::initializer_list<uint32_t> keys) {
    for (uint32_t k : keys) note_stored_column(sys, k, column, true, shift);
}

std::string count_text() {
    return capture([](std::ofstream& o) { Add_of_sat(o); });
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
        reset_stores();
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

TEST(PhaseShift, OneLinePerCorrectionWithTheSatellitesThatCarryIt) {
    only(SYS_GPS);
    column_codes(GPS_OBS_Arr, 0, "1C");
    column_codes(GPS_OBS_Arr, 10, "2W");  // a column without phases in the file: no line
    phases(SYS_GPS, 0, 0.0f, {13, 5, 7});
    note_stored_column(SYS_GPS, 9, 0, false, 0.0f);  // data but no phase
    EXPECT_EQ(phase_text(), H("G L1C  0.00000  03 G05 G07 G13", "SYS / PHASE SHIFT"));

    // BeiDou C/A: the satellites 6..58 carry half a cycle more.
    only(SYS_BDS);
    column_codes(BDS_OBS_Arr, 0, "2I");
    phases(SYS_BDS, 0, 0.5f, {20, 8});
    phases(SYS_BDS, 0, 0.0f, {60, 1, 3});
    EXPECT_EQ(phase_text(), H("C L2I  0.00000  03 C01 C03 C60", "SYS / PHASE SHIFT") +
                                H("C L2I  0.50000  02 C08 C20", "SYS / PHASE SHIFT"));

    // GLONASS band 5: code-division phases without correction beside
    // frequency-division phases with a quarter cycle, in one column.
    only(SYS_GLO);
    column_codes(GLO_OBS_Arr, 20, "3X");
    phases(SYS_GLO, 4, 0.25f, {5, 12});
    phases(SYS_GLO, 4, 0.0f, {9});
    EXPECT_EQ(phase_text(), H("R L3X  0.00000  01 R09", "SYS / PHASE SHIFT") +
                                H("R L3X  0.25000  02 R05 R12", "SYS / PHASE SHIFT"));
}

TEST(PhaseShift, ContinuationLinesListEverySatellite) {
    struct Case {
        int sats;
        int lines;
    } cases[] = {{10, 1}, {12, 2}, {20, 2}, {25, 3}, {32, 4}};
    for (const Case& c : cases) {
        only(SYS_GPS);
        column_codes(GPS_OBS_Arr, 0, "1C");
        for (int k = 1; k <= c.sats; ++k) note_stored_column(SYS_GPS, static_cast<uint32_t>(k), 0, true, 0.0f);
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
        EXPECT_EQ(static_cast<int>(lines_of(expected).size()), c.lines);
    }
}

// Lines follow the order of the observation codes: BeiDou's band-2 column
// groups after the others, SBAS's group 8 after group 4, and GLONASS's
// code-division groups only while they are printed.
TEST(PhaseShift, ColumnsInTheOrderOfTheCodes) {
    only(SYS_BDS);
    column_codes(BDS_OBS_Arr, 34, "7Z");
    column_codes(BDS_OBS_Arr, 30, "7D");
    column_codes(BDS_OBS_Arr, 10, "7I");
    column_codes(BDS_OBS_Arr, 25, "1X");
    phases(SYS_BDS, 7, 0.25f, {20});
    phases(SYS_BDS, 6, 0.25f, {3});
    phases(SYS_BDS, 2, 0.0f, {9, 10});
    phases(SYS_BDS, 5, 0.0f, {20, 3});
    EXPECT_EQ(phase_text(), H("C L7I  0.00000  02 C09 C10", "SYS / PHASE SHIFT") +
                                H("C L1X  0.00000  02 C03 C20", "SYS / PHASE SHIFT") +
                                H("C L7D  0.25000  01 C03", "SYS / PHASE SHIFT") +
                                H("C L7Z  0.25000  01 C20", "SYS / PHASE SHIFT"));

    only(SYS_SBAS);
    column_codes(SBAS_OBS_Arr, 40, "5X");
    column_codes(SBAS_OBS_Arr, 20, "5I");
    phases(SYS_SBAS, 8, 0.25f, {23});
    phases(SYS_SBAS, 4, 0.25f, {27});
    EXPECT_EQ(phase_text(), H("S L5I  0.25000  01 S27", "SYS / PHASE SHIFT") +
                                H("S L5X  0.25000  01 S23", "SYS / PHASE SHIFT"));

    only(SYS_GLO);
    column_codes(GLO_OBS_Arr, 25, "4X");
    phases(SYS_GLO, 5, 0.0f, {9});
    Enable_GLCDMA = false;
    EXPECT_EQ(phase_text(), "");
    Enable_GLCDMA = true;
    EXPECT_EQ(phase_text(), H("R L4X  0.00000  01 R09", "SYS / PHASE SHIFT"));
}

TEST(PhaseShift, DisabledSystemsAndSystemsWithoutCodesHaveNoLines) {
    only(SYS_GPS);
    column_codes(GPS_OBS_Arr, 0, "1C");
    phases(SYS_GPS, 0, 0.0f, {5});
    Enable_GPS = false;
    EXPECT_EQ(phase_text(), "");
    Enable_GPS = true;
    SYS_OBS_NUM[SYS_GPS] = 0;
    EXPECT_EQ(phase_text(), "");
}

// The satellites whose lines the file holds: each once, under its key,
// when a printed column of its lines holds data.
TEST(SatelliteCount, SatellitesWithDataInAPrintedColumn) {
    only(SYS_GPS);
    SYS_OBS_NUM[SYS_GLO] = SYS_OBS_NUM[SYS_QZSS] = SYS_OBS_NUM[SYS_SBAS] = 4;
    column_codes(GPS_OBS_Arr, 0, "1C");
    column_codes(GLO_OBS_Arr, 0, "1C");
    column_codes(GLO_OBS_Arr, 25, "4X");
    column_codes(QZSS_OBS_Arr, 0, "1C");
    column_codes(SBAS_OBS_Arr, 0, "1C");
    note_stored_column(SYS_GPS, 5, 0, false, 0.0f);
    note_stored_column(SYS_GPS, 5, 0, true, 0.0f);  // seen again: still one satellite
    note_stored_column(SYS_GPS, 6, 1, false, 0.0f);  // only in a column the file does not print
    note_stored_column(SYS_QZSS, 1, 0, false, 0.0f);
    note_stored_column(SYS_SBAS, 36, 0, false, 0.0f);
    // GLONASS slot 4 with its own and code-division signals; slot 9 with
    // code-division signals only.
    note_stored_column(SYS_GLO, 4, 0, false, 0.0f);
    note_stored_column(SYS_GLO, 4, 5, false, 0.0f);
    note_stored_column(SYS_GLO, 9, 5, false, 0.0f);
    EXPECT_EQ(count_text(), H("     5", "# OF SATELLITES"));
    EXPECT_EQ(nSAt_max, 5);
    Enable_GLCDMA = false;  // the code-division columns are not printed
    EXPECT_EQ(count_text(), H("     4", "# OF SATELLITES"));
    Enable_GLCDMA = true;
    Enable_SBAS = false;
    EXPECT_EQ(count_text(), H("     4", "# OF SATELLITES"));
    Enable_SBAS = true;
}
