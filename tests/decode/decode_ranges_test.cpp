// The shared observation walk (satellite list, per-system ranks, claim rule,
// gates, bounds) shown through the pseudorange decoders, and the code
// counting that closes every epoch.
#include <gtest/gtest.h>

#include <string>

#include "decode/Decode_OBS.h"
#include "decode/le_read.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

double code_of(const SV_data& r, int slot) { return static_cast<double>(r.code[slot]); }

}  // namespace

TEST(Pseudorange, ReceiveTimeAndBandRanges) {
    struct Case {
        uint8_t sys, num;
        int32_t rx_item;
        const char* band;  // band message
        int16_t band_item;
        int slot;
        double ref, slot0, band_range;  // s, m, m
    };
    const Case cases[] = {
        {SX_GPS, 5, 0, "2r", 1000, 2, 0.075, 22484434.35, 22484497.3064},
        {SX_GAL, 11, 1000000, "1r", -500, 1, 0.08502, 25488354.7792, 25488413.2387},
        {SX_GLO, static_cast<uint8_t>(-3), -123456, "2r", 300, 2, -123456e-11 + 0.075, 22484064.2382,
         22484125.0961},
        {SX_BDS, 30, 7000000, "5r", -32768, 4, 7000000 * 2e-11 + 0.105, 31520179.0341, 31520140.7566},
        {SX_SBAS, 131, 500000, "5r", 1000, 4, 500000e-11 + 0.125, 37475556.2123, 37475619.1687},
        {SX_QZSS, 194, -2000000, "lr", 32767, 5, -2000000 * 2e-11 + 0.125, 37462065.5517, 37462223.7432},
        {SX_NAVIC, 3, 0, "5r", 0, 4, 0.105, 31478208.0900, 31478268.0485},
        {SX_GLCDMA, 21, 100, "3r", 7, 3, 100e-11 + 0.075, 22484434.6498, 22484494.6293},
    };
    for (const Case& c : cases) {
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, c.num}}) + frame("rx", items32({c.rx_item})) + frame(c.band, items16({c.band_item})));
        SCOPED_TRACE(std::string(c.band) + " of system " + std::to_string(c.sys));
        EXPECT_DOUBLE_EQ(r.rcv_time, c.ref);
        EXPECT_NEAR(code_of(r, 0), c.slot0, 0.0005);
        EXPECT_NEAR(code_of(r, c.slot), c.band_range, 0.0005);
        // The GLONASS number is the channel, widened with its sign.
        EXPECT_EQ(r.SV_num, c.sys == SX_GLO ? static_cast<uint32_t>(static_cast<int8_t>(c.num)) : c.num);
    }
}

TEST(Pseudorange, CodeRangeFromRcOnlyBeyondTheRxEntries) {
    // "rx" overwrites slot 0 of every listed satellite; an "rc" value stays
    // only for an item beyond the entries (here entry 1, left over from the
    // longer list of an earlier epoch).
    epoch(sx({{SX_GPS, 5}, {SX_GPS, 7}}));
    for (SV_data& r : GPS_SVs) r.clear_SV();
    epoch(sx({{SX_GPS, 5}}) + frame("rc", items32({1000, 2000})) + frame("rx", items32({0})));
    EXPECT_NEAR(code_of(GPS_SVs[0], 0), 22484434.35, 0.0005);
    EXPECT_NEAR(code_of(GPS_SVs[1], 0), (2000 * 1e-11 + 0.075) * 299792458.0, 0.0005);
    EXPECT_EQ(GPS_SVs[1].SV_num, 7u);  // claimed by "rc" from the stale entry
    EXPECT_EQ(GPS_SVs[1].rcv_time, 0.0);
}

TEST(ObservationWalk, EntriesWithoutSystemTakeAnItemPosition) {
    epoch(sx({{0, 1}, {SX_GPS, 5}, {8, 3}, {SX_GPS, 7}, {10, 4}}) +
          frame("1r", items16({111, 1000, 333, 2000, 555})));
    EXPECT_EQ(GPS_SVs[0].SV_num, 5u);
    EXPECT_EQ(GPS_SVs[1].SV_num, 7u);
    EXPECT_NEAR(code_of(GPS_SVs[0], 1) - code_of(GPS_SVs[1], 1), -1000 * 1e-11 * 299792458.0, 1e-6);
    EXPECT_EQ(GPS_SVs[2].SV_num, 0u);
}

TEST(ObservationWalk, ClaimRule) {
    // Record 0 of GPS already belongs to satellite 9: the band decoders
    // leave it alone, "rx" writes it regardless.
    GPS_SVs[0].SV_num = 9;
    // GLONASS channel 0 leaves the record's number 0: every decoder takes it as free.
    epoch(sx({{SX_GPS, 5}, {SX_GLO, 0}}) + frame("rx", items32({0, 0})) + frame("2r", items16({10, 20})));
    EXPECT_EQ(GPS_SVs[0].SV_num, 9u);
    EXPECT_EQ(code_of(GPS_SVs[0], 2), 0.0);
    EXPECT_NEAR(code_of(GPS_SVs[0], 0), 22484434.35, 0.0005);
    EXPECT_EQ(GLO_SVs[0].SV_num, 0u);
    EXPECT_NEAR(code_of(GLO_SVs[0], 2), (20e-11 + 2e-7 + 0.075) * 299792458.0, 0.0005);
}

TEST(ObservationWalk, ShortMessageAppliesToTheFirstEntriesOnly) {
    epoch(sx({{SX_GAL, 1}, {SX_GAL, 2}, {SX_GAL, 3}}) + frame("rx", items32({0, 0, 0})) +
          frame("3r", items16({0})));
    EXPECT_NE(code_of(GAL_SVs[0], 3), 0.0);
    EXPECT_EQ(code_of(GAL_SVs[1], 3), 0.0);
    EXPECT_EQ(code_of(GAL_SVs[2], 3), 0.0);
}

TEST(ObservationWalk, MissingMessageIsDecodedAgainFromItsLastBody) {
    epoch(sx({{SX_GPS, 5}}) + frame("rx", items32({0})) + frame("1r", items16({0})));
    for (SV_data& r : GPS_SVs) r.clear_SV();
    // The next epoch lists another satellite and brings no "rx" or "1r".
    epoch(sx({{SX_GPS, 8}}));
    EXPECT_EQ(GPS_SVs[0].SV_num, 8u);
    EXPECT_NEAR(code_of(GPS_SVs[0], 0), 22484434.35, 0.0005);
    EXPECT_NEAR(code_of(GPS_SVs[0], 1), (2e-7 + 0.075) * 299792458.0, 0.0005);
}

TEST(ObservationWalk, SwitchGates) {
    // GPS off: "rc" and "rx" skip GPS entries without moving its counter,
    // the ungated "2r" still claims and fills the record from a zero reference.
    Enable_GPS = false;
    feed(sx({{SX_GPS, 5}, {SX_GAL, 11}, {SX_GPS, 7}}) + frame("rc", items32({1, 2, 3})) +
         frame("rx", items32({0, 0, 0})) + frame("2r", items16({1000, 0, 1000})) +
         frame("1r", items16({0, 0, 0})));
    decode_rc();
    EXPECT_EQ(GPS_SAT_NUM, 0);
    EXPECT_EQ(GAL_SAT_NUM, 1);
    Aux_stage = 0;
    decode_OBS();
    EXPECT_EQ(GPS_SVs[0].SV_num, 5u);
    EXPECT_EQ(GPS_SVs[1].SV_num, 7u);
    EXPECT_EQ(code_of(GPS_SVs[0], 0), 0.0);
    EXPECT_EQ(code_of(GPS_SVs[0], 1), 0.0);  // "1r" is gated for GPS too
    EXPECT_NEAR(code_of(GPS_SVs[1], 2), 62.9564, 0.0005);
    EXPECT_NEAR(code_of(GAL_SVs[0], 0), 0.085 * 299792458.0, 0.0005);
}

TEST(ObservationWalk, GlonassOffStillGetsBand2FromTheRecordsReference) {
    Enable_GLO = false;
    GLO_SVs[0].rcv_time = 0.07;  // as an earlier decoder left it
    epoch(sx({{SX_GLO, 1}}) + frame("rx", items32({0})) + frame("rc", items32({0})) +
          frame("2r", items16({0})));
    EXPECT_EQ(code_of(GLO_SVs[0], 0), 0.0);
    EXPECT_NEAR(code_of(GLO_SVs[0], 2), (2e-7 + 0.07) * 299792458.0, 0.0005);
}

TEST(ObservationWalk, VersionAndCodeDivisionGates) {
    struct Case {
        double ver;
        bool glcdma_on;
        const char* msg;
        int slot;
        uint8_t sys;
        bool written;
    };
    const Case cases[] = {
        {3.05, true, "lr", 5, SX_GLO, false},   {3.05, true, "lr", 5, SX_NAVIC, false},
        {3.05, true, "lr", 5, SX_GLCDMA, false}, {3.05, true, "lr", 5, SX_GPS, true},
        {3.05, true, "2r", 2, SX_NAVIC, false},  {4.0, true, "2r", 2, SX_NAVIC, true},
        {4.0, true, "lr", 5, SX_GLO, true},      {4.0, true, "lr", 5, SX_NAVIC, false},
        {4.01, true, "lr", 5, SX_NAVIC, true},   {4.01, true, "lr", 5, SX_GAL, false},
        {4.01, true, "1r", 1, SX_NAVIC, false},  {4.01, true, "1r", 1, SX_SBAS, false},
        {3.05, true, "1r", 1, SX_GLCDMA, false}, {4.0, true, "1r", 1, SX_GLCDMA, true},
        {4.0, false, "1r", 1, SX_GLCDMA, false}, {3.05, false, "3r", 3, SX_GLCDMA, false},
        {3.05, true, "3r", 3, SX_GLCDMA, true},  {3.05, true, "3r", 3, SX_SBAS, false},
        {3.05, true, "5r", 4, SX_SBAS, true},    {3.05, true, "5r", 4, SX_NAVIC, true},
    };
    for (const Case& c : cases) {
        Rinex_Ver = c.ver;
        Enable_GLCDMA = c.glcdma_on;
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, 3}}) + frame("rx", items32({0})) + frame(c.msg, items16({0})));
        EXPECT_EQ(code_of(r, c.slot) != 0.0, c.written)
            << c.msg << " system " << int(c.sys) << " version " << c.ver << " glcdma " << c.glcdma_on;
        EXPECT_EQ((r.flags[c.slot] & SLOT_VALUES) == SLOT_HAS_CODE, c.written) << c.msg;
    }
}

TEST(ObservationWalk, MoreSatellitesOfOneSystemThanItsTable) {
    // 40 GPS entries (the table holds 32) and a Galileo entry behind them.
    std::string list, rxs, ones;
    for (int i = 0; i < 40; ++i) {
        list += u8(SX_GPS) + u8(static_cast<uint8_t>(i + 1));
        rxs += i32(i);
        ones += i16(static_cast<int16_t>(i));
    }
    list += u8(SX_GAL) + u8(12);
    rxs += i32(0);
    ones += i16(0);
    epoch(frame("SX", list) + frame("rx", rxs) + frame("rc", rxs) + frame("1r", ones) + frame("5r", ones));
    EXPECT_EQ(GPS_SVs[31].SV_num, 32u);
    EXPECT_NEAR(code_of(GPS_SVs[31], 0), (31e-11 + 0.075) * 299792458.0, 0.0005);
    EXPECT_NE(code_of(GPS_SVs[31], 4), 0.0);
    EXPECT_EQ(GAL_SVs[0].SV_num, 12u);
    EXPECT_NE(code_of(GAL_SVs[0], 1), 0.0);
    EXPECT_EQ(GAL_SVs[1].SV_num, 0u);
}

TEST(ObservationWalk, CountsBeyondTheRecordsAreBounded) {
    // Counts that no log can set through the reader (a damaged store): the
    // walk stays inside the records and the tables.
    feed(sx({{SX_BDS, 1}}));
    for (int i = 1; i < 180; ++i) {
        SX[i] = SX_BDS;
        SX[180 + i] = static_cast<unsigned char>(i + 1);
    }
    wr_u32(SX, SX_COUNT_AT, 100000);
    wr_u32(rc, 724, 0xFFFFFFFFu);
    wr_u32(one_r, 364, 5000);
    wr_u32(CE, 184, 5000);
    Aux_stage = 0;
    decode_OBS();
    EXPECT_EQ(BDS_SVs[60].SV_num, 61u);
}

TEST(EpochClose, GlonassCodeCompletionAndCodeCounts) {
    GLO_OBS_Arr[5] = "C1P";
    GLO_OBS_Arr[18] = "S2P";
    GPS_OBS_Arr[0] = "C1C";
    GPS_OBS_Arr[1] = "L1C";
    GPS_OBS_Arr[59] = "X";
    for (int j : {4, 9, 14, 19, 24, 29}) BDS_OBS_Arr[j] = "L5X";
    SBAS_OBS_Arr[40] = "C5X";
    epoch("");
    EXPECT_EQ(GLO_OBS_Arr[6], "L1P");
    EXPECT_EQ(GLO_OBS_Arr[7], "D1P");
    EXPECT_EQ(GLO_OBS_Arr[8], "S1P");
    EXPECT_EQ(GLO_OBS_Arr[18], "");
    EXPECT_EQ(SYS_OBS_NUM[SYS_GLO], 4);
    EXPECT_EQ(SYS_OBS_NUM[SYS_GPS], 3);
    EXPECT_EQ(SYS_OBS_NUM[SYS_BDS], 0);  // fifth strings are no codes
    EXPECT_EQ(SYS_OBS_NUM[SYS_SBAS], 1);
    BDS_OBS_Arr[34] = "C7Z";
    GLO_OBS_Arr[18] = "S2C";
    epoch("");
    EXPECT_EQ(SYS_OBS_NUM[SYS_BDS], 1);
    EXPECT_EQ(GLO_OBS_Arr[18], "S2C");
    EXPECT_EQ(SYS_OBS_NUM[SYS_GLO], 5);
}
