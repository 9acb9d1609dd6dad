// Galileo, BeiDou and NavIC ephemeris decoding: accuracy and week rules,
// message kinds, clock epochs, scales, length-dependent fields, duplicates
// and full stores, all driven through the log reader and the first-pass
// dispatcher.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/VLX_reader.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "support/eph_builder.h"
#include "support/store_dates.h"

using namespace vlxlog;
using storedate::expect_date;

namespace {

constexpr double PI = 3.141592653589793;

}  // namespace

// ------------------------------------------------------------ Galileo

TEST(GalEphDecode, SisaIndexToMetres) {
    struct Case {
        uint8_t index;
        float metres;
    };
    const Case cases[] = {{0, 0.0f},  {1, 0.01f},  {49, 0.49f},  {50, 0.5f},   {74, 0.98f},   {75, 1.0f},
                          {99, 1.96f}, {100, 2.0f}, {125, 6.0f}, {126, -1.0f}, {255, -1.0f}};
    std::string log = week_2296();
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.week = 1272;
        k.ura = static_cast<int8_t>(c.index);
        log += gal_eph(k);
    }
    feed_first_pass(log);
    ASSERT_EQ(GAL_SV_index, static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_FLOAT_EQ(GAL_Eph[i].SISA, cases[i].metres) << "index " << int(cases[i].index);
        EXPECT_EQ(GAL_Eph[i].accuracy, cases[i].index) << "the raw index stays in the head";
    }
}

TEST(GalEphDecode, WeekResolvedAgainstReceiverWeek) {
    struct Case {
        int16_t sent;
        int full;
    };
    // Weeks are sent from the GST origin (GPS week 1024), modulo 4096.
    const Case cases[] = {{1272, 2296}, {0, 1024}, {3500, 428}, {3320, 4344}};
    std::string log = week_2296();
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.week = c.sent;
        log += gal_eph(k);
    }
    feed_first_pass(log);
    ASSERT_EQ(GAL_SV_index, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(GAL_Eph[i].week, cases[i].full) << "sent " << cases[i].sent;
}

TEST(GalEphDecode, WeekWithoutReceiverDateIsShiftedOnly) {
    KeplerFields k;
    k.week = 1272;
    feed_first_pass(gal_eph(k));
    ASSERT_EQ(GAL_SV_index, 1);
    EXPECT_EQ(GAL_Eph[0].week, 2296);
}

TEST(GalEphDecode, TocAndToeAcrossTheWeekBoundary) {
    // Sent late in week 2296 with toc and toe early in the next week.
    KeplerFields k;
    k.week = 1272;
    k.tx = 604000;
    k.toc = 1000;
    k.toe = 1000;
    feed_first_pass(week_2296() + gal_eph(k));
    ASSERT_EQ(GAL_SV_index, 1);
    EXPECT_EQ(GAL_Eph[0].week, 2297);
    expect_date(GAL_Eph[0].clock_epoch, 2024, 1, 14, 0, 16, 40);

    // And the other way round: toc late in the week before the transmission.
    reset_stores();
    k.tx = 1000;
    k.toc = 604000;
    k.toe = 604000;
    feed_first_pass(week_2296() + gal_eph(k));
    EXPECT_EQ(GAL_Eph[0].week, 2295);
    expect_date(GAL_Eph[0].clock_epoch, 2024, 1, 6, 23, 46, 40);
}

TEST(GalEphDecode, MessageKindFromDataSources) {
    struct Case {
        uint8_t sources;
        const char* type;
        uint16_t flag_word;
        int32_t data_source_word;
    };
    const Case cases[] = {{0x01, "INAV", 0x205, 517}, {0x04, "INAV", 0x205, 517}, {0x05, "INAV", 0x205, 517},
                          {0x02, "FNAV", 0x102, 258}, {0x03, "INAV", 0x205, 517}, {0x00, "", 0, 0},
                          {0x08, "", 0, 0}};
    std::string log = week_2296();
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.week = 1272;
        GalFields g;
        g.sources = c.sources;
        log += gal_eph(k, g);
    }
    feed_first_pass(log);
    ASSERT_EQ(GAL_SV_index, static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(int(cases[i].sources));
        EXPECT_EQ(GAL_Eph[i].type, cases[i].type);
        EXPECT_EQ(GAL_Eph[i].flag_word, cases[i].flag_word);
        EXPECT_EQ(GAL_Eph[i].data_source_word, cases[i].data_source_word);
        EXPECT_EQ(GAL_Eph[i].data_sources, cases[i].sources);
    }
}

TEST(GalEphDecode, FieldsAndSemicircleScales) {
    KeplerFields k;
    k.prn = 11;
    k.week = 1272;
    k.tx = 3000;
    k.flags = 0x5A;
    k.iodc = 97;
    k.toc = 3600;
    k.health = 3;
    k.tgd = -1.5e-9f;
    k.af2 = 1.0e-18f;
    k.af1 = -7.5e-12f;
    k.af0 = -3.25e-4f;
    k.toe = 3600;
    k.iode = 97;
    k.sqrtA = 5440.612;
    k.e = 2.1e-4;
    k.M0 = -0.5;
    k.OMEGA0 = 0.75;
    k.i0 = 0.3;
    k.omega = -0.125;
    k.dn = 1.0e-9f;
    k.omega_dot = -1.8e-9f;
    k.idot = 3.0e-11f;
    k.crc = 187.5f;
    k.crs = -20.25f;
    k.cuc = -1.1e-6f;
    k.cus = 7.3e-6f;
    k.cic = 3.7e-8f;
    k.cis = -5.2e-8f;
    GalFields g;
    g.bgd_e5a = -2.3e-9f;
    g.bgd_e5b = -2.6e-9f;
    g.ai0 = 62.5f;
    g.ai1 = 0.25f;
    g.ai2 = -0.0078125f;
    g.iono_flags = 0x1F;
    g.sources = 0x05;
    g.spare = 0xDEADBEEF;
    feed_first_pass(week_2296() + gal_eph(k, g));
    ASSERT_EQ(GAL_SV_index, 1);
    const GAL_Ephemeris& r = GAL_Eph[0];
    EXPECT_EQ(r.SV, 11u);
    EXPECT_EQ(r.tx_time, 3000u);
    EXPECT_EQ(r.flags, 0x5A);
    EXPECT_EQ(r.IODC, 97);
    EXPECT_EQ(r.toc, 3600);
    EXPECT_EQ(r.health, 3u);
    EXPECT_EQ(r.TGD, -1.5e-9f);
    EXPECT_EQ(r.af2, 1.0e-18f);
    EXPECT_EQ(r.af1, -7.5e-12f);
    EXPECT_EQ(r.af0, -3.25e-4f);
    EXPECT_EQ(r.toe, 3600);
    EXPECT_EQ(r.IODE, 97);
    EXPECT_EQ(r.sqrtA, 5440.612);
    EXPECT_EQ(r.e, 2.1e-4);
    EXPECT_EQ(r.M0, -0.5 * PI);
    EXPECT_EQ(r.OMEGA0, 0.75 * PI);
    EXPECT_EQ(r.i0, 0.3 * PI);
    EXPECT_EQ(r.omega, -0.125 * PI);
    // Rates are scaled in double precision, then rounded to float.
    EXPECT_EQ(r.delta_n, static_cast<float>(static_cast<double>(1.0e-9f) * PI));
    EXPECT_EQ(r.OMEGA_DOT, static_cast<float>(static_cast<double>(-1.8e-9f) * PI));
    EXPECT_EQ(r.IDOT, static_cast<float>(static_cast<double>(3.0e-11f) * PI));
    EXPECT_EQ(r.Crc, 187.5f);
    EXPECT_EQ(r.Crs, -20.25f);
    EXPECT_EQ(r.Cuc, -1.1e-6f);
    EXPECT_EQ(r.Cus, 7.3e-6f);
    EXPECT_EQ(r.Cic, 3.7e-8f);
    EXPECT_EQ(r.Cis, -5.2e-8f);
    EXPECT_EQ(r.BGD_E5a, -2.3e-9f);
    EXPECT_EQ(r.BGD_E5b, -2.6e-9f);
    EXPECT_EQ(r.ai0, 62.5f);
    EXPECT_EQ(r.ai1, 0.25f);
    EXPECT_EQ(r.ai2, -0.0078125f);
    EXPECT_EQ(r.iono_flags, 0x1F);
    EXPECT_EQ(r.spare, 0xDEADBEEFu);
    expect_date(r.clock_epoch, 2024, 1, 7, 1, 0, 0);
}

TEST(GalEphDecode, DuplicatesBySatelliteTimeWeekAndSources) {
    KeplerFields k;
    k.prn = 11;
    k.week = 1272;
    k.toe = 600;
    GalFields inav, fnav, e5b, inav_bit3;
    inav.sources = 0x01;
    fnav.sources = 0x02;
    e5b.sources = 0x05;
    inav_bit3.sources = 0x09;  // bit 3 takes no part in the comparison
    KeplerFields later = k;
    later.toe = 1200;
    KeplerFields other_week = k;
    other_week.week = 1273;
    KeplerFields changed = k;
    changed.af0 = 1.0e-3f;

    std::string log = week_2296() + gal_eph(k, inav) + gal_eph(k, fnav) + gal_eph(changed, inav) +
                      gal_eph(k, e5b) + gal_eph(k, inav_bit3) + gal_eph(later, inav) +
                      gal_eph(other_week, inav) + gal_eph(k, fnav);
    feed_first_pass(log);
    ASSERT_EQ(GAL_SV_index, 5);
    EXPECT_EQ(GAL_Eph[0].type, "INAV");
    EXPECT_EQ(GAL_Eph[1].type, "FNAV");
    EXPECT_EQ(GAL_Eph[2].data_sources, 0x05);
    EXPECT_EQ(GAL_Eph[3].toe, 1200);
    EXPECT_EQ(GAL_Eph[4].week, 2297);
    // The last message repeated record 1: its slot is left marked empty.
    EXPECT_EQ(GAL_Eph[5].SV, 0u);
    EXPECT_EQ(GAL_Eph[0].af0, 0.0f) << "the first of two repeats is the one kept";
}

// ------------------------------------------------------------- BeiDou

// D2 for the geostationary satellites C01-C05 and C59-C63, D1 for the
// others.
TEST(BdsEphDecode, MessageKindFromFlagsAndSatellite) {
    struct Case {
        uint8_t flags;
        uint8_t sv;
        const char* type;
    };
    const Case cases[] = {{0x01, 5, "D2"},   {0x01, 6, "D1"},   {0x02, 1, "D2"},   {0x04, 30, "D1"},
                          {0x01, 58, "D1"},  {0x01, 59, "D2"},  {0x02, 60, "D2"},  {0x04, 63, "D2"},
                          {0x01, 64, "D1"},  {0x01, 38, "D1"},
                          {0x08, 21, "CNV1"}, {0x20, 21, "CNV2"}, {0x40, 21, "CNV3"}, {0x68, 22, "CNV1"},
                          {0x60, 23, "CNV2"}, {0x09, 24, "D1"},  {0x10, 25, ""},    {0x80, 26, ""},
                          {0x08, 59, "CNV1"}};
    std::string log;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = c.sv;
        BdsFields b;
        b.type_flags = c.flags;
        log += bds_eph(k, b);
    }
    feed_first_pass(log);
    ASSERT_EQ(BDS_SV_index, static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(BDS_Eph[i].type, cases[i].type)
            << "flags " << int(cases[i].flags) << " sv " << int(cases[i].sv);
}

TEST(BdsEphDecode, WeekUnchangedAndClockEpochInBeiDouTime) {
    KeplerFields k;
    k.week = 900;
    k.tx = 0;
    k.toc = 0;
    k.toe = 0;
    KeplerFields late = k;
    late.prn = 2;
    late.tx = 604000;
    late.toc = 1000;  // early in the following week
    late.toe = 1000;
    // The receiver's week plays no part in the BeiDou week.
    feed_first_pass(week_2296() + bds_eph(k) + bds_eph(late));
    ASSERT_EQ(BDS_SV_index, 2);
    EXPECT_EQ(BDS_Eph[0].week, 900);
    expect_date(BDS_Eph[0].clock_epoch, 2023, 4, 2, 0, 0, 0);
    EXPECT_EQ(BDS_Eph[1].week, 901);
    expect_date(BDS_Eph[1].clock_epoch, 2023, 4, 9, 0, 16, 40);
}

TEST(BdsEphDecode, AccuracyIndexToMetres) {
    struct Case {
        int8_t index;
        int32_t metres;
    };
    const Case cases[] = {{-4, 0}, {-1, 2}, {0, 2}, {1, 2}, {3, 4}, {6, 16}, {7, 32}, {15, 8192}, {16, 16}};
    std::string log;
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.ura = c.index;
        log += bds_eph(k);
    }
    feed_first_pass(log);
    ASSERT_EQ(BDS_SV_index, static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(BDS_Eph[i].accuracy, cases[i].metres) << "index " << int(cases[i].index);
}

TEST(BdsEphDecode, FieldsOfEachLength) {
    KeplerFields k;
    k.prn = 6;
    k.week = 900;
    BdsFields d1;
    d1.tgd2 = -2.5e-9f;
    d1.type_flags = 0x01;
    d1.word127 = 0x01020304;
    d1.aodc = 7;
    d1.aode = 9;

    KeplerFields k2 = k;
    k2.prn = 21;
    BdsFields cnav;
    cnav.tgd2 = 1.25e-9f;
    cnav.type_flags = 0x08;
    cnav.A_dot = 0.0123;
    cnav.dn_dot = 2.0e-13f;
    cnav.cnav_accuracy = 2.75f;
    cnav.word147 = 0xA0B0C0D0;
    for (int i = 0; i < 8; ++i) cnav.bytes151[i] = static_cast<uint8_t>(0x11 * (i + 1));

    KeplerFields k3 = k2;
    k3.prn = 22;
    BdsFields cnav152 = cnav;
    cnav152.type_flags = 0x20;
    cnav152.A_dot = -0.5;

    // Record 2 gets the 152-byte message after a 160-byte one: its slot is
    // fresh, so the eight bytes it does not carry stay zero.
    feed_first_pass(bds_eph(k, d1, 134) + bds_eph(k2, cnav, 160) + bds_eph(k3, cnav152, 152));
    ASSERT_EQ(BDS_SV_index, 3);

    const BDS_Ephemeris& a = BDS_Eph[0];
    EXPECT_EQ(a.type, "D1");
    EXPECT_EQ(a.TGD2, -2.5e-9f);
    EXPECT_EQ(a.type_flags, 0x01);
    EXPECT_EQ(a.word127, 0x01020304u);
    EXPECT_EQ(a.AODC, 7);
    EXPECT_EQ(a.AODE, 9);
    EXPECT_EQ(a.A_dot, 0.0);

    const BDS_Ephemeris& b = BDS_Eph[1];
    EXPECT_EQ(b.type, "CNV1");
    EXPECT_EQ(b.TGD2, 1.25e-9f);
    EXPECT_EQ(b.A_dot, 0.0123);
    EXPECT_EQ(b.delta_n_dot, static_cast<float>(static_cast<double>(2.0e-13f) * PI));
    EXPECT_EQ(b.cnav_accuracy, 2.75f);
    EXPECT_EQ(b.word147, 0xA0B0C0D0u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b.bytes151[i], 0x11 * (i + 1));
    EXPECT_EQ(b.AODC, 0);

    const BDS_Ephemeris& c = BDS_Eph[2];
    EXPECT_EQ(c.type, "CNV2");
    EXPECT_EQ(c.A_dot, -0.5);
    EXPECT_EQ(c.cnav_accuracy, 2.75f);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(c.bytes151[i], 0);
}

TEST(BdsEphDecode, DuplicatesBySatelliteTimeWeekAndType) {
    KeplerFields k;
    k.prn = 21;
    k.week = 900;
    k.toe = 3600;
    BdsFields d1, cnv1;
    d1.type_flags = 0x01;
    cnv1.type_flags = 0x08;
    KeplerFields changed = k;
    changed.af0 = 1.0e-4f;
    KeplerFields next_week = k;
    next_week.week = 901;
    feed_first_pass(bds_eph(k, d1) + bds_eph(changed, d1) + bds_eph(k, cnv1, 152) + bds_eph(next_week, d1) +
         bds_eph(k, cnv1, 160));
    ASSERT_EQ(BDS_SV_index, 3);
    EXPECT_EQ(BDS_Eph[0].af0, 0.0f);
    EXPECT_EQ(BDS_Eph[1].type, "CNV1");
    EXPECT_EQ(BDS_Eph[2].week, 901);
    EXPECT_EQ(BDS_Eph[3].SV, 0u);
}

TEST(BdsEphDecode, MessageOfAnotherLengthAddsNothing) {
    // The reader keeps the previous body for a length it does not know; the
    // decoder must not turn those stale bytes into a record of their own.
    KeplerFields k;
    k.prn = 21;
    std::string odd = frame_raw("CN", 0x090, "\xAA\n");
    feed_first_pass(odd + bds_eph(k) + odd);
    EXPECT_EQ(BDS_SV_index, 1);
    EXPECT_EQ(BDS_Eph[0].SV, 21u);
    EXPECT_EQ(BDS_Eph[1].SV, 0u);
}

// -------------------------------------------------------------- NavIC

TEST(NavicEphDecode, WeekRules) {
    struct Case {
        uint16_t sent;
        int full;
    };
    const Case cases[] = {{248, 2296}, {0, 2048}, {1000, 2024}, {1023, 2047}};
    std::string log = week_2296();
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.week = static_cast<int16_t>(c.sent);
        log += navic_eph(k);
    }
    feed_first_pass(log);
    ASSERT_EQ(NavIC_SV_index, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(NavIC_Eph[i].week, cases[i].full) << "sent " << cases[i].sent;
}

TEST(NavicEphDecode, WeekWithoutReceiverDateAndOutOfRangeWeeks) {
    KeplerFields a, b, c;
    a.week = 100;
    b.prn = 2;
    b.week = 1024;  // not a 10-bit week: the message is ignored
    c.prn = 3;
    c.week = -1;  // 65535 as sent
    feed_first_pass(navic_eph(a) + navic_eph(b) + navic_eph(c));
    ASSERT_EQ(NavIC_SV_index, 1);
    EXPECT_EQ(NavIC_Eph[0].week, 2148);
    EXPECT_EQ(NavIC_Eph[1].SV, 0u);
}

TEST(NavicEphDecode, FitIntervalAccuracyAndClockEpoch) {
    struct Case {
        uint8_t flags;
        int16_t iod;
        float fit;
    };
    const Case cases[] = {{0x01, 239, 4.0f}, {0x01, 240, 0.0f}, {0x00, 10, 0.0f}, {0x03, 0, 4.0f}};
    std::string log = week_2296();
    uint8_t sv = 1;
    for (const Case& c : cases) {
        KeplerFields k;
        k.prn = sv++;
        k.week = 248;
        k.flags = c.flags;
        k.iodc = c.iod;
        k.ura = 3;
        k.toc = 86399;
        log += navic_eph(k);
    }
    feed_first_pass(log);
    ASSERT_EQ(NavIC_SV_index, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(NavIC_Eph[i].fit_interval, cases[i].fit) << "flags " << int(cases[i].flags);
        EXPECT_EQ(NavIC_Eph[i].accuracy, 4);
        expect_date(NavIC_Eph[i].clock_epoch, 2024, 1, 7, 23, 59, 59);
    }
}

TEST(NavicEphDecode, DuplicatesBySatelliteTimeAndWeek) {
    KeplerFields k;
    k.prn = 5;
    k.week = 248;
    k.toe = 7200;
    KeplerFields changed = k;
    changed.iode = 99;
    KeplerFields other = k;
    other.prn = 6;
    feed_first_pass(week_2296() + navic_eph(k) + navic_eph(changed) + navic_eph(other));
    ASSERT_EQ(NavIC_SV_index, 2);
    EXPECT_EQ(NavIC_Eph[0].IODE, 10);
    EXPECT_EQ(NavIC_Eph[1].SV, 6u);
}

// ------------------------------------------------------ growing stores

TEST(KeplerEphDecode, StoresGrowPastTheirStartSize) {
    KeplerFields a, b;
    a.prn = 7;
    a.week = 248;
    b.prn = 8;
    b.week = 248;
    GAL_SV_index = BDS_SV_index = NavIC_SV_index = EPH_STORE_SIZE - 1;
    feed_first_pass(week_2296() + gal_eph(a) + gal_eph(b) + bds_eph(a) + bds_eph(b) + navic_eph(a) + navic_eph(b));
    EXPECT_EQ(GAL_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(BDS_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(NavIC_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(GAL_Eph[EPH_STORE_SIZE - 1].SV, 7u);
    EXPECT_EQ(BDS_Eph[EPH_STORE_SIZE - 1].SV, 7u);
    EXPECT_EQ(NavIC_Eph[EPH_STORE_SIZE - 1].SV, 7u);
    EXPECT_EQ(GAL_Eph[EPH_STORE_SIZE].SV, 8u);
    EXPECT_EQ(BDS_Eph[EPH_STORE_SIZE].SV, 8u);
    EXPECT_EQ(NavIC_Eph[EPH_STORE_SIZE].SV, 8u);
}
