// GPS and QZSS ephemeris decoding: week resolution, accuracy, message type,
// toc/toe weeks, unit conversion, the duplicate rule and the growing store,
// all driven through the log reader and the first-pass dispatcher.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/VLX_reader.h"
#include "decode/aux_decoder_func.h"
#include "rinex_nav/Rin_NAV_Data_record.h"
#include "rinex_nav/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/gps_eph_builder.h"
#include "support/log_feed.h"
#include "support/rinex_capture.h"

using namespace vlxlog;

TEST(GpsEphDecode, WeekResolvedAgainstReceiverWeek) {
    struct Case {
        int16_t sent;
        int full;
    };
    const Case cases[] = {{248, 2296}, {1784, 1784}, {1783, 2807}, {2296, 2296}, {1272, 2296}};
    std::string log = week_2296();
    uint8_t prn = 1;
    for (const Case& c : cases) {
        GpsEphFields f;
        f.prn = prn++;
        f.week = c.sent;
        log += gps_eph(f);
    }
    feed_first_pass(log);
    ASSERT_EQ(GPS_SV_index, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GPS_Eph[i].week, cases[i].full) << "sent " << cases[i].sent;
}

TEST(GpsEphDecode, WeekWithoutReceiverDate) {
    GpsEphFields a, b;
    a.week = 100;
    b.prn = 2;
    b.week = 1500;
    feed_first_pass(gps_eph(a) + gps_eph(b));
    ASSERT_EQ(GPS_SV_index, 2);
    EXPECT_EQ(GPS_Eph[0].week, 2148);
    EXPECT_EQ(GPS_Eph[1].week, 1500);
}

TEST(GpsEphDecode, AccuracyIndexToMetres) {
    struct Case {
        int8_t index;
        int32_t metres;
    };
    const Case cases[] = {{-5, 0}, {-4, 0},    {-3, 1},    {-2, 1},  {-1, 2},   {0, 2},
                          {1, 2},  {2, 4},     {3, 4},     {5, 8},   {6, 16},   {7, 32},
                          {8, 64}, {14, 4096}, {15, 8192}, {16, 16}, {127, 127}};
    std::string log = week_2296();
    int n = 0;
    for (const Case& c : cases) {
        GpsEphFields f;
        f.prn = static_cast<uint8_t>(++n);
        f.ura = c.index;
        log += gps_eph(f);
    }
    feed_first_pass(log);
    ASSERT_EQ(GPS_SV_index, n);
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(GPS_Eph[i].accuracy, cases[i].metres) << "index " << int(cases[i].index);
}

TEST(GpsEphDecode, TypeFromFlagBitsPerLength) {
    struct Case {
        uint8_t flags;
        const char* type160;
        const char* type168;
    };
    // The two long layouts rank the bits differently; no bit keeps the
    // slot's (here empty) type.
    const Case cases[] = {{0x08, "CNV2", "CNV2"}, {0x0A, "CNV2", "CNAV"}, {0x0C, "CNV2", "CNAV"},
                          {0x09, "CNV2", "LNAV"}, {0x02, "CNAV", "CNAV"}, {0x04, "CNAV", "CNAV"},
                          {0x03, "CNAV", "CNAV"}, {0x01, "LNAV", "LNAV"}, {0x00, "", ""},
                          {0xF0, "", ""}};
    std::string log = week_2296();
    uint8_t prn = 1;
    for (const Case& c : cases)
        for (int len : {160, 168}) {
            GpsEphFields f;
            f.prn = prn++;
            f.cnav_flags = c.flags;
            log += gps_eph(f, len);
        }
    feed_first_pass(log);
    ASSERT_EQ(GPS_SV_index, 20);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(GPS_Eph[2 * i].type, cases[i].type160) << "flags " << int(cases[i].flags);
        EXPECT_EQ(GPS_Eph[2 * i + 1].type, cases[i].type168) << "flags " << int(cases[i].flags);
    }
}

TEST(GpsEphDecode, FieldsAndUnitsOfTheLongLayouts) {
    GpsEphFields f;
    f.prn = 7;
    f.tx = 3000;
    f.flags = 6;
    f.iodc = 300;
    f.toc = 3600;
    f.toe = 3700;
    f.health = 63;
    f.iode = 65535;
    f.tgd = -1.5e-8f;
    f.af0 = 1.25e-4f;
    f.af1 = -2e-12f;
    f.af2 = 1e-20f;
    f.M0 = 0.5;
    f.OMEGA0 = -0.25;
    f.i0 = 0.3;
    f.omega = 1.0;
    f.dn = 1.5e-9f;
    f.omega_dot = -2.5e-9f;
    f.idot = 3e-10f;
    f.crc = 200.5f;
    f.cis = -1e-7f;
    f.cnav_flags = 0x02;
    f.t_op = -5;
    f.spare = 0xDEADBEEF;
    f.A_dot = 0.0125;
    f.dn_dot = 1e-14f;
    f.ura_ed = 255;
    f.ura_ned0 = 1;
    f.ura_ned1 = 2;
    f.ura_ned2 = 3;
    f.isc[0] = 1e-9f;
    f.isc[1] = 2e-9f;
    f.isc[2] = 3e-9f;
    f.isc[3] = 4e-9f;
    f.l1c[0] = 5e-9f;
    f.l1c[1] = 6e-9f;
    f.addend = 7e-6f;
    GpsEphFields g = f;
    g.prn = 8;
    feed_first_pass(week_2296() + gps_eph(f, 168) + gps_eph(g, 160));
    ASSERT_EQ(GPS_SV_index, 2);

    const double pi = 3.141592653589793;
    const GPS_Ephemeris& r = GPS_Eph[0];
    EXPECT_EQ(r.SV, 7u);
    EXPECT_EQ(r.tx_time, 3000u);
    EXPECT_EQ(r.flags, 6);
    EXPECT_EQ(r.IODC, 300);
    EXPECT_EQ(r.toc, 3600);
    EXPECT_EQ(r.toe, 3700);
    EXPECT_EQ(r.health, 63u);
    EXPECT_EQ(r.IODE, 65535);
    EXPECT_EQ(r.TGD, -1.5e-8f);
    EXPECT_EQ(r.af0, 1.25e-4f);
    EXPECT_EQ(r.af1, -2e-12f);
    EXPECT_EQ(r.af2, 1e-20f);
    EXPECT_EQ(r.sqrtA, 5153.6);
    EXPECT_EQ(r.e, 0.01);
    EXPECT_EQ(r.M0, 0.5 * pi);
    EXPECT_EQ(r.OMEGA0, -0.25 * pi);
    EXPECT_EQ(r.i0, 0.3 * pi);
    EXPECT_EQ(r.omega, pi);
    EXPECT_EQ(r.delta_n, static_cast<float>(static_cast<double>(1.5e-9f) * pi));
    EXPECT_EQ(r.OMEGA_DOT, static_cast<float>(static_cast<double>(-2.5e-9f) * pi));
    EXPECT_EQ(r.IDOT, static_cast<float>(static_cast<double>(3e-10f) * pi));
    EXPECT_EQ(r.Crc, 200.5f);
    EXPECT_EQ(r.Cis, -1e-7f);
    EXPECT_EQ(r.type, "CNAV");
    EXPECT_EQ(r.cnav_flags, 2);
    EXPECT_EQ(r.t_op, -5);
    EXPECT_EQ(r.spare, 0xDEADBEEFu);
    EXPECT_EQ(r.A_dot, 0.0125);
    EXPECT_EQ(r.delta_n_dot, static_cast<float>(static_cast<double>(1e-14f) * pi));
    EXPECT_EQ(r.URA_ED, 255u);
    EXPECT_EQ(r.URA_NED0, 1u);
    EXPECT_EQ(r.URA_NED1, 2u);
    EXPECT_EQ(r.URA_NED2, 3u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(r.ISC[k], f.isc[k]);
    EXPECT_EQ(r.ISC_L1C[0], 0.0f);  // not part of length 168
    EXPECT_EQ(r.clock_bias_addend, 7e-6f);
    EXPECT_EQ(r.fit_interval, 0.0f);  // only LNAV records get one

    const GPS_Ephemeris& s = GPS_Eph[1];
    EXPECT_EQ(s.SV, 8u);
    EXPECT_EQ(s.ISC_L1C[0], 5e-9f);
    EXPECT_EQ(s.ISC_L1C[1], 6e-9f);
    EXPECT_EQ(s.ISC[0], 0.0f);  // not part of length 160
    EXPECT_EQ(s.clock_bias_addend, 7e-6f);
}

TEST(GpsEphDecode, TocAndToeWeeksAroundTheWeekBoundary) {
    // toc 1000 sent at 604000: toc lies in the next week. Every record's
    // week is the week of toe; the week of toc is kept beside it.
    GpsEphFields f;
    f.tx = 604000;
    f.toc = 1000;
    f.toe = 604000;
    GpsEphFields c = f;
    c.prn = 2;
    c.cnav_flags = 0x02;
    // toc 604000 sent at 1000: toc lies in the week before.
    GpsEphFields b;
    b.prn = 3;
    b.tx = 1000;
    b.toc = 604000;
    b.toe = 1000;
    feed_first_pass(week_2296() + gps_eph(f) + gps_eph(c, 168) + gps_eph(b));
    ASSERT_EQ(GPS_SV_index, 3);
    const float next_week[7] = {2024, 1, 14, 0, 16, 40, 0};
    const float prev_week[7] = {2024, 1, 6, 23, 46, 40, 0};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(GPS_Eph[0].clock_epoch.v[k], next_week[k]) << k;
        EXPECT_EQ(GPS_Eph[1].clock_epoch.v[k], next_week[k]) << k;
        EXPECT_EQ(GPS_Eph[2].clock_epoch.v[k], prev_week[k]) << k;
    }
    const uint16_t toe_weeks[3] = {2296, 2296, 2296}, toc_weeks[3] = {2297, 2297, 2295};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GPS_Eph[i].week, toe_weeks[i]) << i;
        EXPECT_EQ(GPS_Eph[i].toc_week, toc_weeks[i]) << i;
    }
}

// A CNAV record whose toc lies in the next week and whose toe does not is
// ordered by the full time of its toe, before the next week's records; it
// still writes the week of toc, with the transmission time counted from it.
TEST(GpsEphDecode, CnavOrderedByTheWeekOfToe) {
    GpsEphFields next;  // G03 LNAV, toe at the start of week 2297
    next.prn = 3;
    next.week = 2297;
    next.tx = 100;
    next.toc = next.toe = 0;
    GpsEphFields late;  // G02 CNAV, toe late in week 2296, toc early in 2297
    late.prn = 2;
    late.cnav_flags = 0x02;
    late.tx = 604000;
    late.toc = 1000;
    late.toe = 604000;
    feed_first_pass(week_2296() + gps_eph(next) + gps_eph(late, 168));
    ASSERT_EQ(GPS_SV_index, 2);
    sort_GPS_ephemeris();
    EXPECT_EQ(GPS_Eph[0].SV, 2u);
    EXPECT_EQ(GPS_Eph[1].SV, 3u);
    Rinex_Ver = 4.0;
    const std::string text = rinexcap::capture(Add_GPS_Ephemeris);
    EXPECT_NE(text.find("    -8.000000000000e+02 2.297000000000e+03\n> EPH G03 LNAV\n"), std::string::npos)
        << text;
}

TEST(GpsEphDecode, ClockEpochCarriesTheTimeSystemCode) {
    GpsEphFields f;
    f.toc = 50400;  // Sunday 14:00
    feed_first_pass(receiver_date(2024, 1, 7, 1) + epoch_time(0) + gps_eph(f));
    ASSERT_EQ(GPS_SV_index, 1);
    const float want[7] = {2024, 1, 7, 14, 0, 0, 1};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(GPS_Eph[0].clock_epoch.v[k], want[k]) << k;
}

TEST(GpsEphDecode, FitIntervalOnlyForLnavBelowIodc240) {
    GpsEphFields a, b;
    a.iodc = 239;
    b.prn = 2;
    b.iodc = 240;
    feed_first_pass(week_2296() + gps_eph(a) + gps_eph(b));
    ASSERT_EQ(GPS_SV_index, 2);
    EXPECT_EQ(GPS_Eph[0].fit_interval, 4.0f);
    EXPECT_EQ(GPS_Eph[1].fit_interval, 0.0f);
}

TEST(GpsEphDecode, DuplicatesByPrnToeAndType) {
    GpsEphFields a;
    a.prn = 5;
    a.toe = 7200;
    GpsEphFields same = a;  // other fields differ: still a repeat
    same.af0 = 1e-3f;
    same.iodc = 99;
    GpsEphFields cnav = a;  // same PRN and toe as CNAV: kept
    cnav.cnav_flags = 0x02;
    GpsEphFields other_toe = a;
    other_toe.toe = 14400;
    GpsEphFields other_prn = a;
    other_prn.prn = 6;
    feed_first_pass(week_2296() + gps_eph(a) + gps_eph(same) + gps_eph(cnav, 168) + gps_eph(same) + gps_eph(other_toe) +
         gps_eph(other_prn));
    ASSERT_EQ(GPS_SV_index, 4);
    EXPECT_EQ(GPS_Eph[0].af0, 0.0f);
    EXPECT_EQ(GPS_Eph[1].type, "CNAV");
    EXPECT_EQ(GPS_Eph[2].toe, 14400);
    EXPECT_EQ(GPS_Eph[3].SV, 6u);
    EXPECT_EQ(GPS_Eph[4].SV, 0u);  // no dropped record left behind
}

// The week belongs to the key: the same toe a week later is a new
// ephemeris (a log longer than a week), while one ephemeris sent on both
// sides of a week boundary stays one record.
TEST(GpsEphDecode, DuplicatesWithinOneFullTimeOfEphemeris) {
    for (const char* id : {"GE", "QE"}) {
        SCOPED_TRACE(id);
        const bool qzss = id[0] == 'Q';
        GpsEphFields a;
        a.prn = qzss ? 194 : 5;
        GpsEphFields next_week = a;
        next_week.week = 2297;
        next_week.tx = a.tx;
        GpsEphFields cnav_next_week = next_week;
        cnav_next_week.cnav_flags = 0x02;
        GpsEphFields cnav = a;
        cnav.cnav_flags = 0x02;
        // toe and toc late on Saturday, sent before and after the boundary.
        GpsEphFields late = a;
        late.toe = late.toc = 604000;
        late.tx = 603000;
        GpsEphFields late_again = late;
        late_again.week = 2297;
        late_again.tx = 100;
        feed_first_pass(week_2296() + gps_eph(a, 123, id) + gps_eph(cnav, 168, id) + gps_eph(next_week, 123, id) +
                        gps_eph(cnav_next_week, 168, id) + gps_eph(late, 123, id) + gps_eph(late_again, 123, id) +
                        gps_eph(next_week, 123, id) + gps_eph(a, 123, id));
        const std::vector<GPS_Ephemeris>& store = qzss ? QZSS_Eph : GPS_Eph;
        ASSERT_EQ(qzss ? QZSS_SV_index : GPS_SV_index, 5);
        const uint16_t weeks[] = {2296, 2296, 2297, 2297, 2296};
        const int32_t toes[] = {7200, 7200, 7200, 7200, 604000};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(store[i].week, weeks[i]) << i;
            EXPECT_EQ(store[i].toe, toes[i]) << i;
        }
        EXPECT_EQ(store[5].SV, 0u);
    }
}

TEST(GpsEphDecode, DroppedSlotIsReusedEmpty) {
    GpsEphFields a;
    a.cnav_flags = 0x02;
    a.addend = 5e-6f;
    a.isc[2] = 3e-9f;
    GpsEphFields lnav;
    lnav.prn = 2;
    lnav.iodc = 300;
    // The repeat sits in slot 1 until the LNAV message takes it; none of the
    // repeat's CNAV fields stay behind.
    feed_first_pass(week_2296() + gps_eph(a, 168) + gps_eph(a, 168) + gps_eph(lnav));
    ASSERT_EQ(GPS_SV_index, 2);
    const GPS_Ephemeris& r = GPS_Eph[1];
    EXPECT_EQ(r.SV, 2u);
    EXPECT_EQ(r.type, "LNAV");
    EXPECT_EQ(r.cnav_flags, 0);
    EXPECT_EQ(r.clock_bias_addend, 0.0f);
    EXPECT_EQ(r.ISC[2], 0.0f);
    EXPECT_EQ(r.fit_interval, 0.0f);
}

TEST(GpsEphDecode, UnsupportedLengthGivesAnEmptyRecord) {
    GpsEphFields a;
    // Length 100: the reader takes only the checksum and separator bytes.
    feed_first_pass(week_2296() + gps_eph(a) + frame_raw("GE", 100, "\x01\n"));
    EXPECT_EQ(GPS_Eph[0].SV, 1u);
    EXPECT_EQ(GPS_Eph[1].SV, 0u);
    EXPECT_TRUE(GPS_Eph[1].type.empty());
}

TEST(GpsEphDecode, QzssGoesToItsOwnStore) {
    GpsEphFields q;
    q.prn = 195;
    q.week = 248;
    feed_first_pass(week_2296() + gps_eph(q, 123, "QE"));
    EXPECT_EQ(GPS_SV_index, 0);
    ASSERT_EQ(QZSS_SV_index, 1);
    EXPECT_EQ(QZSS_Eph[0].SV, 195u);
    EXPECT_EQ(QZSS_Eph[0].week, 2296);
    EXPECT_EQ(QZSS_Eph[0].type, "LNAV");
}

// The stores grow past the records they hold at start-up.
TEST(GpsEphDecode, StoresGrowPastTheirStartSize) {
    GPS_SV_index = EPH_STORE_SIZE - 1;
    GpsEphFields a, b;
    b.prn = 2;
    feed_first_pass(week_2296() + gps_eph(a) + gps_eph(b));
    ASSERT_EQ(GPS_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(GPS_Eph[EPH_STORE_SIZE - 1].SV, 1u);
    EXPECT_EQ(GPS_Eph[EPH_STORE_SIZE].SV, 2u);

    QZSS_SV_index = EPH_STORE_SIZE;
    GpsEphFields q;
    q.prn = 193;
    feed_first_pass(gps_eph(q, 123, "QE"));
    ASSERT_EQ(QZSS_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(QZSS_Eph[EPH_STORE_SIZE].SV, 193u);
    EXPECT_TRUE(Store_dropped[STORE_GPS_EPH].empty() && Store_dropped[STORE_QZSS_EPH].empty());
}
