// Signal flags: the per-slot data bit of every epoch, and in the first pass
// the observation-code tables and the per-band satellite lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decode_OBS.h"
#include "decode/aux_file_process.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

constexpr int16_t ON = 0x40;

// A whole first pass over one epoch of the given satellites, every one
// flagged in band `msg`.
void first_pass_epoch(uint8_t sys, const std::vector<uint8_t>& nums, const char* msg, int16_t flag = ON) {
    std::string list, flags;
    for (uint8_t n : nums) {
        list += u8(sys) + u8(n);
        flags += i16(flag);
    }
    run_pass(epoch_time(1000) + frame("SX", list) + frame(msg, flags) + frame("TD", zeros(3)), process_aux_file);
}

std::vector<uint32_t> row_of(const uint32_t* row, int n) {
    std::vector<uint32_t> v;
    for (int j = 0; j < n && row[j] != 0; ++j) v.push_back(row[j]);
    return v;
}

std::vector<std::string> codes(const std::string* table, int first, int n) {
    return std::vector<std::string>(table + first, table + first + n);
}

using Strings = std::vector<std::string>;
using Numbers = std::vector<uint32_t>;

}  // namespace

TEST(SignalInventory, CodesAndListsPerSystemAndBand) {
    struct Case {
        uint8_t sys;
        const char* msg;
        std::vector<uint8_t> nums;
        int first;
        Strings expect;
    };
    const Case cases[] = {
        {SX_GPS, "FC", {5}, 0, {"C1C", "L1C", "D1C", "S1C"}},
        {SX_GPS, "F3", {5}, 15, {"C2X", "L2X", "D2X", "S2X"}},
        {SX_GPS, "Fl", {5}, 25, {"C1X", "L1X", "D1X", "S1X"}},
        {SX_GAL, "F1", {11}, 5, {"C8X", "L8X", "D8X", "S8X"}},
        {SX_GAL, "F2", {11}, 10, {"C7X", "L7X", "D7X", "S7X"}},
        {SX_QZSS, "F2", {193}, 10, {"C6Z", "L6Z", "D6Z", "S6Z"}},
        {SX_GLO, "F3", {1}, 15, {"C2C", "L2C", "D2C", "S2C"}},
        {SX_NAVIC, "FC", {3}, 0, {"C9A", "L9A", "D9A", "S9A"}},
        {SX_NAVIC, "F5", {3}, 20, {"C5A", "L5A", "D5A", "S5A"}},
        {SX_SBAS, "FC", {131}, 0, {"C1C", "L1C", "D1C", "S1C"}},
        {SX_GLCDMA, "F3", {4}, 15, {"C6X", "L6X", "D6X", "S6X"}},
        {SX_GLCDMA, "FC", {4}, 0, {"C4X", "L4X", "D4X", "S4X"}},
    };
    const std::string* tables[10] = {nullptr, GPS_OBS_Arr, GLO_OBS_Arr, SBAS_OBS_Arr, GAL_OBS_Arr,
                                     QZSS_OBS_Arr, BDS_OBS_Arr, NAVIC_OBS_Arr, nullptr, GLCDMA_OBS_Arr};
    for (const Case& c : cases) {
        first_pass_epoch(c.sys, c.nums, c.msg);
        EXPECT_EQ(codes(tables[c.sys], c.first, 4), c.expect) << c.msg << " system " << int(c.sys);
    }
    EXPECT_EQ(row_of(GPS_SAT_NUM_SYS[0], 32), Numbers({5}));
    EXPECT_EQ(row_of(GPS_SAT_NUM_SYS[3], 32), Numbers({5}));
    EXPECT_EQ(row_of(QZSS_SAT_NUM_SYS[2], 37), Numbers({193}));
    EXPECT_EQ(row_of(GLCDMA_SAT_NUM_SYS[3], 32), Numbers({4}));
    EXPECT_EQ(row_of(SBAS_SAT_NUM_SYS[0], 32), Numbers({131}));
}

TEST(SignalInventory, BeiDouRules) {
    struct Case {
        const char* msg;
        std::vector<uint8_t> nums;
        int first, n;
        Strings expect;
        int row;
        Numbers listed;
    };
    const Case cases[] = {
        // Band C/A: only satellites outside 6..58 register, all are listed.
        {"FC", {6, 20, 58}, 0, 4, {"", "", "", ""}, 0, {6, 20, 58}},
        {"FC", {20, 59}, 0, 4, {"C2I", "L2I", "D2I", "S2I"}, 0, {20, 59}},
        // Band 1: any satellite registers, only 6..58 are listed.
        {"F1", {3, 8, 60}, 5, 4, {"C8X", "L8X", "D8X", "S8X"}, 1, {8}},
        // Band 2 by satellite number: B2I for 1..16, B2b data for 59..63,
        // B2b data+pilot for 17..58.
        {"F2", {1, 16}, 10, 4, {"C7I", "L7I", "D7I", "S7I"}, 2, {1, 16}},
        {"F2", {1, 16}, 30, 8, {"", "", "", "", "", "", "", ""}, 2, {1, 16}},
        {"F2", {59, 63}, 10, 4, {"", "", "", ""}, 2, {59, 63}},
        {"F2", {59, 63}, 30, 8, {"C7D", "L7D", "D7D", "S7D", "", "", "", ""}, 2, {59, 63}},
        {"F2", {17, 58}, 10, 4, {"", "", "", ""}, 2, {17, 58}},
        {"F2", {17, 58}, 30, 8, {"", "", "", "", "C7Z", "L7Z", "D7Z", "S7Z"}, 2, {17, 58}},
        {"F2", {64}, 10, 4, {"", "", "", ""}, 2, {64}},
        {"F2", {64}, 30, 8, {"", "", "", "", "", "", "", ""}, 2, {64}},
        // Band 3: the fifth string only from a satellite in 6..58.
        {"F3", {3}, 15, 5, {"C6I", "L6I", "D6I", "S6I", ""}, 3, {3}},
        {"F3", {3, 40}, 15, 5, {"C6I", "L6I", "D6I", "S6I", "L6I"}, 3, {3, 40}},
        {"F5", {61}, 20, 5, {"C5X", "L5X", "D5X", "S5X", "L5X"}, 4, {61}},
        // Band l: above 116 without the fifth string.
        {"Fl", {117}, 25, 5, {"C1X", "L1X", "D1X", "S1X", ""}, 5, {117}},
        {"Fl", {116}, 25, 5, {"C1X", "L1X", "D1X", "S1X", "L1X"}, 5, {116}},
    };
    for (const Case& c : cases) {
        reset_stores();
        first_pass_epoch(SX_BDS, c.nums, c.msg);
        SCOPED_TRACE(std::string(c.msg) + " first satellite " + std::to_string(c.nums[0]));
        EXPECT_EQ(codes(BDS_OBS_Arr, c.first, c.n), c.expect);
        EXPECT_EQ(row_of(BDS_SAT_NUM_SYS[c.row], 61), c.listed);
    }
}

TEST(SignalInventory, SbasL5OfSatellites123And136) {
    first_pass_epoch(SX_SBAS, {123, 131, 136}, "F5");
    EXPECT_EQ(codes(SBAS_OBS_Arr, 20, 4), Strings({"C5I", "L5I", "D5I", "S5I"}));
    EXPECT_EQ(codes(SBAS_OBS_Arr, 40, 4), Strings({"C5X", "L5X", "D5X", "S5X"}));
    EXPECT_EQ(row_of(SBAS_SAT_NUM_SYS[4], 32), Numbers({131}));
}

TEST(SignalInventory, SbasGroup8NeedsRoomInTheBand5List) {
    for (uint32_t j = 0; j < 32; ++j) SBAS_SAT_NUM_SYS[4][j] = 140 + j;
    first_pass_epoch(SX_SBAS, {136}, "F5");
    EXPECT_EQ(codes(SBAS_OBS_Arr, 20, 4), Strings({"C5I", "L5I", "D5I", "S5I"}));
    EXPECT_TRUE(SBAS_OBS_Arr[40].empty());
}

TEST(SignalInventory, GlonassIsListedByOrbitalSlot) {
    const std::string sx = frame("SX", sx_payload({{SX_GLO, static_cast<uint8_t>(-2)}, {SX_GLO, 3}}));
    // First epoch without "NN": slots 0 add nothing; second epoch with slots.
    run_pass(epoch_time(1000) + sx + frame("FC", items16({ON, ON})) + frame("TD", zeros(3)) +
                 epoch_time(2000) + sx + frame("NN", items8({17, 4})) + frame("FC", items16({ON, ON})) +
                 frame("TD", zeros(3)),
             process_aux_file);
    EXPECT_EQ(row_of(GLO_SAT_NUM_SYS[0], 32), Numbers({17, 4}));
}

TEST(SignalInventory, NavicBandLOnlyWithRinex401) {
    for (double ver : {3.05, 4.0, 4.01}) {
        Rinex_Ver = ver;
        first_pass_epoch(SX_NAVIC, {3}, "Fl");
        EXPECT_EQ(NAVIC_OBS_Arr[25], ver == 4.01 ? "C1X" : "") << ver;
        EXPECT_EQ(row_of(NavIC_SAT_NUM_SYS[5], 32), ver == 4.01 ? Numbers({3}) : Numbers()) << ver;
    }
}

TEST(SignalInventory, UnflaggedOrDisabledRegistersNothing) {
    first_pass_epoch(SX_GPS, {5}, "FC", 0x3F);  // every bit but 0x40
    Enable_GAL = false;
    first_pass_epoch(SX_GAL, {11}, "FC");
    EXPECT_TRUE(GPS_OBS_Arr[0].empty());
    EXPECT_TRUE(GAL_OBS_Arr[0].empty());
    EXPECT_EQ(GPS_SAT_NUM_SYS[0][0], 0u);
    EXPECT_EQ(GAL_SAT_NUM_SYS[0][0], 0u);
}

TEST(SignalFlags, SecondPassMarksSlotsOnly) {
    Aux_stage = 0;
    GPS_SVs[0].flags[2] = 0x05;
    GPS_SVs[1].flags[2] = 0x45;
    feed(frame("SX", sx_payload({{SX_GPS, 5}, {SX_GPS, 7}, {SX_NAVIC, 2}})) +
         frame("F2", items16({0x7F, 0x00, 0x40})));
    decode_OBS();
    EXPECT_EQ(GPS_SVs[0].flags[2], 0x45u);  // only bit 0x40 is copied
    EXPECT_EQ(GPS_SVs[1].flags[2], 0x05u);
    EXPECT_EQ(NavIC_SVs[0].flags[2], 0u);  // "F2" does not handle NavIC
    EXPECT_EQ(GPS_SVs[0].SV_num, 5u);
    EXPECT_TRUE(GPS_OBS_Arr[10].empty());
    EXPECT_EQ(GPS_SAT_NUM_SYS[2][0], 0u);
}
