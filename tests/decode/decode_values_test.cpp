// Doppler, carrier phase and signal strength decoders: the conversions and
// carriers of each system and band, their gates, and the mismatch lines.
#include <gtest/gtest.h>

#include <string>

#include "decode/Decode_OBS.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

constexpr uint8_t ch(int n) { return static_cast<uint8_t>(n); }  // GLONASS channel byte

}  // namespace

TEST(Doppler, BaseScaledToTheBandCarrier) {
    struct Case {
        uint8_t sys, num;
        int32_t base;
        const char* msg;
        int16_t item;
        int slot;
        double hz;
    };
    const Case cases[] = {
        {SX_GPS, 5, 10000, "2d", 0, 2, -10000 * 1227.6 / 1575.42 * 1e-4},  // -0.77922
        {SX_GLO, ch(-7), 10000, "2d", 0, 2, -0.777777777777778},
        {SX_GLO, ch(-7), 10000, "5d", 0, 4, -0.752176463686495},
        {SX_GLO, ch(6), 10000, "1d", 5, 1, -1.0005},  // band 1 is the reference carrier
        {SX_NAVIC, 2, 10000, "0d", -250, 0, -1.542272727272727},
        {SX_GAL, 11, 20000, "1d", 100, 1, -20100 * 1191.795 / 1575.42 * 1e-4},
        {SX_BDS, 30, -40000, "3d", 0, 3, 40000 * 1268.52 / 1561.098 * 1e-4},
        {SX_QZSS, 193, 10000, "2d", 0, 2, -10000 * 1278.75 / 1575.42 * 1e-4},
        {SX_GLCDMA, 4, 10000, "3d", 0, 3, -10000 * 1248.06 / 1600.995 * 1e-4},
        {SX_GLCDMA, 4, 10000, "0d", 0, 0, -1.0},
        {SX_SBAS, 131, 10000, "5d", 0, 4, -10000 * 1176.45 / 1575.42 * 1e-4},
        {SX_BDS, 30, 10000, "ld", 0, 5, -10000 * 1575.42 / 1561.098 * 1e-4},
        // The sum of base and difference that overflows 32 bits stays exact.
        {SX_GPS, 5, 2147483647, "1d", 1, 1, -214748.3648},
    };
    for (const Case& c : cases) {
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, c.num}}) + frame("DX", items32({c.base})) + frame(c.msg, items16({c.item})));
        EXPECT_EQ(r.doppler_base, c.base);
        EXPECT_NEAR(r.doppler[c.slot], c.hz, 1e-12) << c.msg << " system " << int(c.sys);
    }
}

TEST(Doppler, FullCADopplerAndTheDifferenceThatReplacesIt) {
    // Two GPS satellites: "0d" reaches only the first, so "DC" stands for
    // the second.
    epoch(sx({{SX_GPS, 5}, {SX_GPS, 7}}) + frame("DX", items32({10000, 0})) +
          frame("DC", items32({999, 123456})) + frame("0d", items16({0})));
    EXPECT_DOUBLE_EQ(GPS_SVs[0].doppler[0], -1.0);
    EXPECT_DOUBLE_EQ(GPS_SVs[1].doppler[0], -12.3456);
    // The most negative item negates without overflow.
    for (SV_data& r : GPS_SVs) r.clear_SV();
    epoch(sx({{SX_GPS, 5}}) + frame("DC", items32({INT32_MIN})) + frame("0d", items16({})));
    EXPECT_DOUBLE_EQ(GPS_SVs[0].doppler[0], 214748.3648);
}

TEST(Doppler, BaseIsWrittenWhoeverHoldsTheRecord) {
    GAL_SVs[0].SV_num = 30;
    epoch(sx({{SX_GAL, 11}}) + frame("DX", items32({777})));
    EXPECT_EQ(GAL_SVs[0].doppler_base, 777);
    EXPECT_EQ(GAL_SVs[0].SV_num, 30u);
}

TEST(Doppler, VersionAndSwitchGates) {
    struct Case {
        double ver;
        bool glcdma_on;
        const char* msg;
        int slot;
        uint8_t sys;
        bool written;
    };
    const Case cases[] = {
        // QZSS is decoded alike for every version.
        {3.05, true, "1d", 1, SX_QZSS, true}, {4.0, true, "1d", 1, SX_QZSS, true},
        {3.05, true, "3d", 3, SX_QZSS, true}, {4.0, true, "3d", 3, SX_QZSS, true},
        {3.05, true, "1d", 1, SX_NAVIC, false}, {4.0, true, "1d", 1, SX_NAVIC, true},
        {4.0, true, "ld", 5, SX_NAVIC, false}, {4.01, true, "ld", 5, SX_NAVIC, true},
        {4.01, true, "ld", 5, SX_GLO, false},  {4.01, true, "2d", 2, SX_NAVIC, false},
        {4.0, false, "0d", 0, SX_GLCDMA, false}, {4.0, false, "3d", 3, SX_GLCDMA, true},
        {4.0, true, "1d", 1, SX_SBAS, false},
    };
    for (const Case& c : cases) {
        Rinex_Ver = c.ver;
        Enable_GLCDMA = c.glcdma_on;
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, 3}}) + frame("DX", items32({10000})) + frame(c.msg, items16({0})));
        EXPECT_EQ(r.doppler[c.slot] != 0.0, c.written)
            << c.msg << " system " << int(c.sys) << " version " << c.ver;
        EXPECT_EQ((r.flags[c.slot] & SLOT_VALUES) == SLOT_HAS_DOPPLER, c.written) << c.msg;
    }
}

TEST(Doppler, MismatchLines) {
    struct Case {
        double ver;
        uint8_t sys;
        const char* msg;
        bool wide;  // 32-bit items
        std::string line;
    };
    const Case cases[] = {
        {4.0, SX_QZSS, "3d", false, "----->>> Error qzss 3d\n"},
        {3.05, SX_QZSS, "3d", false, "----->>> Error qzss 3d\n"},
        {4.0, SX_QZSS, "1d", false, "----->>> Error qzss 1d\n"},
        {4.0, SX_QZSS, "2d", false, "----->>> Error qzss 2d\n"},
        {4.0, SX_QZSS, "5d", false, "----->>> Error qzss 5d\n"},
        {4.0, SX_QZSS, "ld", false, "----->>>  qzss dLError\n"},
        {4.0, SX_QZSS, "0d", false, ""},
        {4.0, SX_GLO, "DC", true, "----->>> Error glo dc\n"},
        {4.0, SX_QZSS, "DC", true, ""},
        {4.0, SX_GPS, "2d", false, ""},
    };
    Aux_stage = 0;
    for (const Case& c : cases) {
        Rinex_Ver = c.ver;
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        r.SV_num = 193;  // claimed by another satellite earlier in the epoch
        feed(sx({{c.sys, 194}}) + frame(c.msg, c.wide ? items32({5}) : items16({5})));
        testing::internal::CaptureStdout();
        if (std::string(c.msg) == "DC") decode_DC();
        else if (std::string(c.msg) == "0d") decode_0d();
        else if (std::string(c.msg) == "1d") decode_1d();
        else if (std::string(c.msg) == "2d") decode_2d();
        else if (std::string(c.msg) == "3d") decode_3d();
        else if (std::string(c.msg) == "5d") decode_5d();
        else decode_ld();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line) << c.msg << " system " << int(c.sys);
        EXPECT_EQ(r.SV_num, 193u);
        for (double d : r.doppler) EXPECT_EQ(d, 0.0);
    }
    // The first pass decodes the same epochs for its survey and reports
    // nothing: each line comes once per run.
    Aux_stage = 1;
    QZSS_SVs[0].clear_SV();
    QZSS_SVs[0].SV_num = 193;
    feed(sx({{SX_QZSS, 194}}) + frame("3d", items16({5})));
    testing::internal::CaptureStdout();
    decode_3d();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    Aux_stage = 0;
}

TEST(CarrierPhase, CarriersShiftsAndBeiDouCorrections) {
    struct Case {
        uint8_t sys, num;
        int32_t rx_item;  // gives the receive-time reference
        const char* msg;
        int32_t item;
        int slot;
        double cycles;
        float shift;  // the correction the phase carries, as the record keeps it
    };
    const Case cases[] = {
        {SX_GPS, 5, 0, "cp", 0, 0, 118156500.0, 0},  // an item of 0 is not a phase of 0
        {SX_GAL, 11, 0, "cp", 1000000, 0, 133912133.336143, 0.5f},
        {SX_BDS, 30, 0, "cp", -5000000, 0, 163908191.448200, 0.5f},  // +0.5 for 6..58
        {SX_BDS, 3, 0, "cp", -5000000, 0, 163908190.948200, 0},
        {SX_BDS, 9, 0, "2p", 123, 2, 126749700.135040, 0},  // no correction for 9 and 10
        {SX_BDS, 20, 0, "2p", 123, 2, 126749700.385040, 0.25f},
        {SX_BDS, 10, 0, "5p", 0, 4, 123527250.750000, 0.75f},
        {SX_GLO, ch(-7), 0, "cp", 0, 0, 119854687.5, 0},    // 1598.0625 MHz
        {SX_GLO, ch(-7), 0, "2p", 0, 2, 93220312.75, 0.25f},  // 1242.9375 MHz
        {SX_GPS, 5, 0, "1p", 77, 1, 118156499.860328, -0.25f},
        {SX_NAVIC, 2, 0, "2p", 0, 2, 261662940.0, 0},
        {SX_GLCDMA, 4, 0, "3p", 0, 3, 93604500.0, 0},
        {SX_QZSS, 193, 0, "3p", 0, 3, 153450000.25, 0.25f},
    };
    for (const Case& c : cases) {
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, c.num}}) + frame("rx", items32({c.rx_item})) + frame(c.msg, items32({c.item})));
        EXPECT_NEAR(static_cast<double>(r.phase[c.slot]), c.cycles, 2e-6) << c.msg << " system " << int(c.sys)
                                                                         << " satellite " << int(c.num);
        EXPECT_EQ(r.phase_shift[c.slot], c.shift);
    }
}

TEST(CarrierPhase, VersionGates) {
    struct Case {
        double ver;
        const char* msg;
        void (*decode)();
        int slot;
        uint8_t sys;
        bool claimed, written;
    };
    const Case cases[] = {
        {3.05, "3p", decode_3p, 3, SX_QZSS, true, true},    {4.0, "3p", decode_3p, 3, SX_QZSS, true, true},
        {3.05, "2p", decode_2p, 2, SX_NAVIC, false, false}, {3.05, "3p", decode_3p, 3, SX_NAVIC, false, false},
        {4.0, "lp", decode_lp, 5, SX_NAVIC, false, false},  {4.01, "lp", decode_lp, 5, SX_NAVIC, true, true},
        {3.05, "lp", decode_lp, 5, SX_GLO, false, false},   {4.0, "lp", decode_lp, 5, SX_GLO, true, false},
        {4.01, "1p", decode_1p, 1, SX_SBAS, false, false},  {4.01, "5p", decode_5p, 4, SX_SBAS, true, true},
    };
    for (const Case& c : cases) {
        Rinex_Ver = c.ver;
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        feed(sx({{c.sys, 3}}) + frame(c.msg, items32({1000000})));
        c.decode();
        SCOPED_TRACE(std::string(c.msg) + " system " + std::to_string(c.sys) + " version " +
                     std::to_string(c.ver));
        EXPECT_EQ(r.SV_num != 0, c.claimed);
        EXPECT_EQ(r.phase[c.slot] != 0, c.written);
        EXPECT_EQ((r.flags[c.slot] & SLOT_VALUES) == SLOT_HAS_PHASE, c.written);
    }
}

TEST(CarrierPhase, ForeignRecordsStayEmpty) {
    BDS_SVs[1].SV_num = 44;  // the second BeiDou record belongs to another satellite
    epoch(sx({{SX_BDS, 20}, {SX_BDS, 21}}) + frame("rx", items32({0, 0})) + frame("2p", items32({0, 0})));
    EXPECT_NE(BDS_SVs[0].phase[2], 0);
    EXPECT_EQ(BDS_SVs[1].phase[2], 0);
    EXPECT_EQ(BDS_SVs[1].flags[2] & SLOT_HAS_PHASE, 0u);
}

TEST(SignalStrength, DensityAndDigit) {
    struct Case {
        uint8_t b;
        double snr;
        uint32_t digit;
    };
    const Case cases[] = {{0, 0.0, 1}, {47, 11.75, 1}, {48, 12.0, 2}, {180, 45.0, 7}, {216, 54.0, 9}, {255, 63.75, 9}};
    const char* msgs[6] = {"CE", "1E", "2E", "3E", "5E", "lE"};
    for (const Case& c : cases)
        for (int slot = 0; slot < 6; ++slot) {
            GPS_SVs[0].clear_SV();
            epoch(sx({{SX_GPS, 5}}) + frame(msgs[slot], items8({c.b})));
            EXPECT_DOUBLE_EQ(GPS_SVs[0].snr[slot], c.snr) << msgs[slot];
            EXPECT_EQ(GPS_SVs[0].snr_digit[slot], c.digit) << msgs[slot] << " b " << int(c.b);
        }
}

TEST(SignalStrength, GatesBySwitchAndVersion) {
    struct Case {
        double ver;
        bool on;  // the system's switch
        const char* msg;
        int slot;
        uint8_t sys;
        bool written;
    };
    const Case cases[] = {
        {3.05, true, "1E", 1, SX_QZSS, true},  {4.0, true, "1E", 1, SX_QZSS, true},
        {4.0, true, "lE", 5, SX_NAVIC, false}, {4.01, true, "lE", 5, SX_NAVIC, true},
        {4.01, false, "CE", 0, SX_SBAS, true}, {4.01, false, "5E", 4, SX_SBAS, false},
        {4.01, true, "5E", 4, SX_SBAS, true},  {4.01, false, "CE", 0, SX_GAL, false},
        {4.01, false, "3E", 3, SX_GLCDMA, false}, {4.01, true, "3E", 3, SX_GLCDMA, true},
        {4.01, true, "1E", 1, SX_NAVIC, false},
    };
    bool* switches[10] = {nullptr, &Enable_GPS, &Enable_GLO, &Enable_SBAS, &Enable_GAL,
                          &Enable_QZSS, &Enable_BDS, &Enable_NavIC, nullptr, &Enable_GLCDMA};
    for (const Case& c : cases) {
        Rinex_Ver = c.ver;
        *switches[c.sys] = c.on;
        SV_data& r = table_of(c.sys)[0];
        r.clear_SV();
        epoch(sx({{c.sys, 3}}) + frame(c.msg, items8({100})));
        EXPECT_EQ(r.snr[c.slot] != 0, c.written) << c.msg << " system " << int(c.sys) << " version " << c.ver;
        EXPECT_EQ((r.flags[c.slot] & SLOT_VALUES) == SLOT_HAS_SNR, c.written) << c.msg;
        *switches[c.sys] = true;
    }
}

TEST(SignalStrength, GpsCAWithSwitchOffWritesOnlyRecordsAlreadyHeld) {
    Enable_GPS = false;
    GPS_SVs[0].SV_num = 5;  // claimed earlier in the epoch by an ungated decoder
    feed(sx({{SX_GPS, 5}, {SX_GPS, 7}, {SX_QZSS, 193}}) + frame("CE", items8({100, 120, 140})));
    Enable_QZSS = false;
    decode_CE();
    EXPECT_DOUBLE_EQ(GPS_SVs[0].snr[0], 25.0);
    EXPECT_EQ(GPS_SVs[1].SV_num, 0u);  // a free record stays free
    EXPECT_EQ(GPS_SVs[1].snr[0], 0.0);
    EXPECT_EQ(GPS_SAT_NUM, 2);  // the counter advanced for both
    EXPECT_EQ(QZSS_SVs[0].SV_num, 0u);
    EXPECT_EQ(QZSS_SAT_NUM, 1);
}
