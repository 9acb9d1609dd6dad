// GLONASS and SBAS ephemeris decoding: the UTC date of tb, frequency
// channels, the two GLONASS lengths, the SBAS week and fields, duplicates,
// messages of other lengths, growing and full stores, through the log
// reader and the first-pass dispatcher.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/VLX_reader.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "support/eph_builder.h"

using namespace vlxlog;

namespace {


// Receiver date 2024-03-15 in GLONASS time (code 2).
std::string receiver_day() { return receiver_date(2024, 3, 15, TS_GLONASS) + epoch_time(0); }

}  // namespace

// ------------------------------------------------------------ GLONASS

TEST(GloEphDecode, UtcDateOfTb) {
    struct Case {
        uint8_t N4;
        uint16_t day;
        int32_t tb;
        int y, mo, d, h, mi, s;
    };
    const Case cases[] = {
        {7, 1, 10800, 2020, 1, 1, 0, 0, 0},        // Moscow midnight is 21:00 UTC the day before ...
        {7, 1, 3600, 2019, 12, 31, 22, 0, 0},      // ... so an early tb falls on the previous day
        {7, 60, 10800 + 45296, 2020, 2, 29, 12, 34, 56},
        {7, 1461, 97199, 2023, 12, 31, 23, 59, 59},
        {7, 1461, 97200, 2024, 1, 1, 0, 0, 0},     // 86400 s or more roll into the next day
        {1, 1, 10800, 1996, 1, 1, 0, 0, 0},
        {8, 366, 10800, 2024, 12, 31, 0, 0, 0},
        // Without a usable interval or day the receiver's date is taken.
        {0, 5, 3600, 2024, 3, 15, 22, 0, 0},
        {7, 0, 50000, 2024, 3, 15, 10, 53, 20},
        {7, 1462, 97200, 2024, 3, 15, 0, 0, 0},
    };
    std::string log = receiver_day();
    uint8_t slot = 1;
    for (const Case& c : cases) {
        GloFields g;
        g.slot = slot++;
        g.N4 = c.N4;
        g.day_number = c.day;
        g.tb = c.tb;
        log += glo_eph(g);
    }
    feed_first_pass(log);
    ASSERT_EQ(GLO_SV_index, static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const RCV_Epoch& e = GLO_Eph[i].date;
        SCOPED_TRACE(testing::Message() << "N4 " << int(c.N4) << " day " << c.day << " tb " << c.tb);
        EXPECT_EQ(e.v[EP_YEAR], c.y);
        EXPECT_EQ(e.v[EP_MONTH], c.mo);
        EXPECT_EQ(e.v[EP_DAY], c.d);
        EXPECT_EQ(e.v[EP_HOUR], c.h);
        EXPECT_EQ(e.v[EP_MIN], c.mi);
        EXPECT_EQ(e.v[EP_SEC], c.s);
        EXPECT_EQ(e.v[EP_SYS], TS_GLONASS);
    }
}

TEST(GloEphDecode, FieldsAndSignedChannel) {
    GloFields a;
    a.slot = 24;
    a.freq = -7;
    a.day_number = 806;
    a.tk = 45000;
    a.tb = 46800;
    a.health = 0x19;
    a.age = 3;
    a.flags = 0x0F;
    a.pos[0] = 12345.678901234;
    a.pos[1] = -20100.5;
    a.pos[2] = 7000.25;
    a.vel[0] = 1.5f;
    a.vel[1] = -2.75f;
    a.vel[2] = 3.125f;
    a.acc[0] = 9.3e-10f;
    a.acc[1] = -1.86e-9f;
    a.acc[2] = 2.8e-9f;
    a.tau_sys = -1.2e-8;
    a.tau = 1.52587890625e-05f;
    a.gamma = 9.094947e-13f;
    a.delta_tau = -2.7e-9f;
    a.Ft = 2;
    a.N4 = 7;
    a.flags2 = 0x003E;
    GloFields b;
    b.slot = 3;
    b.freq = 6;
    feed_first_pass(receiver_day() + glo_eph(a) + glo_eph(b));
    ASSERT_EQ(GLO_SV_index, 2);
    const GLO_Ephemeris& r = GLO_Eph[0];
    EXPECT_EQ(r.SV, 24u);
    EXPECT_EQ(r.freq, -7);
    EXPECT_EQ(r.day_number, 806u);
    EXPECT_EQ(r.tk, 45000);
    EXPECT_EQ(r.tb, 46800);
    EXPECT_EQ(r.health, 0x19);
    EXPECT_EQ(r.age, 3);
    EXPECT_EQ(r.flags, 0x0F);
    EXPECT_EQ(r.pos[0], 12345.678901234);
    EXPECT_EQ(r.pos[1], -20100.5);
    EXPECT_EQ(r.pos[2], 7000.25);
    EXPECT_EQ(r.vel[0], 1.5f);
    EXPECT_EQ(r.vel[1], -2.75f);
    EXPECT_EQ(r.vel[2], 3.125f);
    EXPECT_EQ(r.acc[0], 9.3e-10f);
    EXPECT_EQ(r.acc[1], -1.86e-9f);
    EXPECT_EQ(r.acc[2], 2.8e-9f);
    EXPECT_EQ(r.tau_sys, -1.2e-8);
    EXPECT_EQ(r.tau, 1.52587890625e-05f);
    EXPECT_EQ(r.gamma, 9.094947e-13f);
    EXPECT_EQ(r.delta_tau, -2.7e-9f);
    EXPECT_EQ(r.Ft, 2);
    EXPECT_EQ(r.N4, 7);
    EXPECT_EQ(r.flags2, 0x003E);
    EXPECT_EQ(GLO_Eph[1].freq, 6);
}

TEST(GloEphDecode, ExtensionValuesOnlyFromTheLongMessage) {
    GloFields shortmsg;
    shortmsg.slot = 1;
    GloFields longmsg;
    longmsg.slot = 2;
    longmsg.ext1 = 0xA1;
    for (int i = 0; i < 8; ++i) longmsg.ext2[i] = static_cast<uint8_t>(i + 1);
    longmsg.ext3 = 0xBEEF;
    longmsg.ext4 = 0xC4;
    longmsg.ext5 = 0xD5;
    longmsg.ext6 = 0x1234;
    // A short message in the slot of a dropped long one leaves them zero too.
    GloFields repeat = longmsg;
    GloFields shortafter;
    shortafter.slot = 3;
    feed_first_pass(receiver_day() + glo_eph(shortmsg) + glo_eph(longmsg, 103) + glo_eph(repeat, 103) +
         glo_eph(shortafter, 88));
    ASSERT_EQ(GLO_SV_index, 3);
    EXPECT_EQ(GLO_Eph[0].ext1, 0);
    EXPECT_EQ(GLO_Eph[0].ext3, 0);
    const GLO_Ephemeris& l = GLO_Eph[1];
    EXPECT_EQ(l.ext1, 0xA1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(l.ext2[i], i + 1);
    EXPECT_EQ(l.ext3, 0xBEEF);
    EXPECT_EQ(l.ext4, 0xC4);
    EXPECT_EQ(l.ext5, 0xD5);
    EXPECT_EQ(l.ext6, 0x1234);
    EXPECT_EQ(GLO_Eph[2].SV, 3u);
    EXPECT_EQ(GLO_Eph[2].ext1, 0);
    EXPECT_EQ(GLO_Eph[2].ext3, 0);
    EXPECT_EQ(GLO_Eph[2].ext6, 0);
}

TEST(GloEphDecode, DuplicatesBySlotIntervalDayAndTb) {
    GloFields a;
    a.slot = 5;
    a.pos[0] = 1000.0;
    GloFields moved = a;
    moved.pos[0] = 2000.0;
    GloFields later = a;
    later.tb = 12600;
    GloFields next_day = a;
    next_day.day_number = 2;
    GloFields next_interval = a;
    next_interval.N4 = 8;
    GloFields other = a;
    other.slot = 6;
    feed_first_pass(receiver_day() + glo_eph(a) + glo_eph(moved) + glo_eph(later) + glo_eph(next_day) +
         glo_eph(next_interval) + glo_eph(other) + glo_eph(moved, 103));
    ASSERT_EQ(GLO_SV_index, 5);
    EXPECT_EQ(GLO_Eph[0].pos[0], 1000.0);
    EXPECT_EQ(GLO_Eph[1].tb, 12600);
    EXPECT_EQ(GLO_Eph[2].day_number, 2u);
    EXPECT_EQ(GLO_Eph[3].N4, 8);
    EXPECT_EQ(GLO_Eph[4].SV, 6u);
    EXPECT_EQ(GLO_Eph[5].SV, 0u);
}

TEST(GloEphDecode, MessageOfAnotherLengthAddsNothing) {
    // For another length the reader reads no body; the record still holds
    // the earlier message, which must not be stored a second time (or, in a
    // fresh store, as an empty record).
    GloFields a;
    a.slot = 9;
    std::string odd = frame_raw("NE", 0x050, "");
    feed_first_pass(receiver_day() + odd + glo_eph(a) + odd);
    ASSERT_EQ(GLO_SV_index, 1);
    EXPECT_EQ(GLO_Eph[0].SV, 9u);
}

// --------------------------------------------------------------- SBAS

TEST(SbasEphDecode, FieldsAndFullWeek) {
    SbasFields w;
    w.prn = 138;
    w.byte1 = 0x42;
    w.iod = 77;
    w.ura = 15;
    w.t0 = 86300;
    w.pos[0] = 26000000.5;
    w.pos[1] = -34000000.25;
    w.pos[2] = 12500.125;
    w.vel[0] = 1.5f;
    w.vel[1] = -0.25f;
    w.vel[2] = 0.0625f;
    w.acc[0] = 1.25e-4f;
    w.acc[1] = -2.5e-4f;
    w.acc[2] = 6.25e-5f;
    w.aGf0 = -1.1e-7f;
    w.aGf1 = 9.1e-12f;
    w.tx = 100;
    w.week = 260;
    w.word70 = 0xCAFE;
    SbasFields wrapped;
    wrapped.prn = 120;
    wrapped.week = 65000;  // the 16-bit sum wraps
    feed_first_pass(sbas_eph(w) + sbas_eph(wrapped));
    ASSERT_EQ(SBAS_SV_index, 2);
    const SBAS_Ephemeris& r = SBAS_Eph[0];
    EXPECT_EQ(r.SV, 138);
    EXPECT_EQ(r.byte1, 0x42);
    EXPECT_EQ(r.IOD, 77);
    EXPECT_EQ(r.URA, 15);
    EXPECT_EQ(r.t0, 86300u);
    EXPECT_EQ(r.pos[0], 26000000.5);
    EXPECT_EQ(r.pos[1], -34000000.25);
    EXPECT_EQ(r.pos[2], 12500.125);
    EXPECT_EQ(r.vel[0], 1.5f);
    EXPECT_EQ(r.vel[1], -0.25f);
    EXPECT_EQ(r.vel[2], 0.0625f);
    EXPECT_EQ(r.acc[0], 1.25e-4f);
    EXPECT_EQ(r.acc[1], -2.5e-4f);
    EXPECT_EQ(r.acc[2], 6.25e-5f);
    EXPECT_EQ(r.aGf0, -1.1e-7f);
    EXPECT_EQ(r.aGf1, 9.1e-12f);
    EXPECT_EQ(r.tx_time, 100u);
    EXPECT_EQ(r.week, 2308);
    EXPECT_EQ(r.word70, 0xCAFE);
    EXPECT_EQ(SBAS_Eph[1].week, static_cast<uint16_t>(65000 + 2048));
}

TEST(SbasEphDecode, OnlyTheListedLengthIsDecoded) {
    SbasFields w;
    // For any other length the reader takes only the checksum and separator.
    std::string shorter = frame_raw("WE", 72, std::string("\x01\n", 2));
    feed_first_pass(shorter + sbas_eph(w));
    ASSERT_EQ(SBAS_SV_index, 1);
    EXPECT_EQ(SBAS_Eph[0].SV, 120);
    EXPECT_EQ(SBAS_Eph[1].SV, 0);
}

// A repeat is the same satellite and issue of data with t0 on the same
// day of the same week; the 8-bit issue of data comes round again after
// 256 issues, so a later day or week, or another t0, is a new ephemeris.
TEST(SbasEphDecode, DuplicatesBySatelliteIssueOfDataAndReferenceTime) {
    SbasFields a;
    a.prn = 127;
    a.iod = 4;
    a.t0 = 1000;
    a.tx = 900;
    a.week = 260;
    SbasFields again = a;
    again.tx = 1200;
    SbasFields later = a;
    later.t0 = 2000;
    later.tx = 1900;
    SbasFields next_day = a;
    next_day.tx = 86400 + 900;
    SbasFields next_week = a;
    next_week.week = 261;
    SbasFields new_iod = a;
    new_iod.iod = 5;
    SbasFields other = a;
    other.prn = 131;
    // t0 just before midnight, sent again just after it: the same ephemeris.
    SbasFields evening = a;
    evening.prn = 128;
    evening.t0 = 86390;
    evening.tx = 86380;
    SbasFields after_midnight = evening;
    after_midnight.tx = 86400 + 20;
    const uint32_t kept_tx[] = {900, 1900, 86400 + 900, 900, 900, 900, 86380};
    const uint16_t kept_week[] = {2308, 2308, 2308, 2309, 2308, 2308, 2308};
    feed_first_pass(sbas_eph(a) + sbas_eph(again) + sbas_eph(later) + sbas_eph(next_day) + sbas_eph(next_week) +
                    sbas_eph(new_iod) + sbas_eph(other) + sbas_eph(evening) + sbas_eph(after_midnight) +
                    sbas_eph(next_day) + sbas_eph(a));
    ASSERT_EQ(SBAS_SV_index, 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(SBAS_Eph[i].tx_time, kept_tx[i]) << i;
        EXPECT_EQ(SBAS_Eph[i].week, kept_week[i]) << i;
    }
    EXPECT_EQ(SBAS_Eph[4].IOD, 5);
    EXPECT_EQ(SBAS_Eph[5].SV, 131);
    EXPECT_EQ(SBAS_Eph[6].SV, 128);
    EXPECT_EQ(SBAS_Eph[7].SV, 0);
}

TEST(GloSbasEphDecode, StoresGrowPastTheirStartSize) {
    GloFields g1, g2;
    g1.slot = 1;
    g2.slot = 2;
    SbasFields w1, w2;
    w1.prn = 120;
    w2.prn = 121;
    GLO_SV_index = SBAS_SV_index = EPH_STORE_SIZE - 1;
    feed_first_pass(receiver_day() + glo_eph(g1) + glo_eph(g2, 103) + sbas_eph(w1) + sbas_eph(w2));
    EXPECT_EQ(GLO_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(SBAS_SV_index, EPH_STORE_SIZE + 1);
    EXPECT_EQ(GLO_Eph[EPH_STORE_SIZE - 1].SV, 1u);
    EXPECT_EQ(GLO_Eph[EPH_STORE_SIZE].SV, 2u);
    EXPECT_EQ(SBAS_Eph[EPH_STORE_SIZE - 1].SV, 120);
    EXPECT_EQ(SBAS_Eph[EPH_STORE_SIZE].SV, 121);
}

// A store at its limit keeps what it holds; a repeat of a held record is
// still recognised, and only new records are counted as dropped.
TEST(GloSbasEphDecode, StoreAtItsLimitCountsTheRecordsItDrops) {
    SBAS_Eph.resize(STORE_LIMIT);
    for (int32_t i = 0; i < STORE_LIMIT; ++i) {
        SBAS_Ephemeris& r = SBAS_Eph[static_cast<size_t>(i)];
        r.SV = static_cast<uint8_t>(120 + i % 19);
        r.IOD = static_cast<uint8_t>(i / 19);
        r.t0 = static_cast<uint32_t>(i / (19 * 256));
        r.week = 2300;
    }
    SBAS_SV_index = STORE_LIMIT;
    SbasFields held;  // as record 0: satellite 120, IOD 0, t0 0, week 2300
    held.prn = 120;
    held.iod = 0;
    held.t0 = 0;
    held.tx = 0;
    held.week = 252;
    SbasFields fresh = held;
    fresh.iod = 200;
    fresh.t0 = 80000;
    SbasFields fresh2 = fresh;
    fresh2.prn = 121;
    feed_first_pass(sbas_eph(held) + sbas_eph(fresh) + sbas_eph(fresh2) + sbas_eph(fresh));
    EXPECT_EQ(SBAS_SV_index, STORE_LIMIT);
    EXPECT_EQ(Store_dropped[STORE_SBAS_EPH].size(), 2u);  // fresh, sent twice, counts once
    EXPECT_EQ(SBAS_Eph.size(), static_cast<size_t>(STORE_LIMIT) + 1);
    EXPECT_EQ(SBAS_Eph[STORE_LIMIT].SV, 0);  // the slot beyond the limit holds nothing
    EXPECT_EQ(SBAS_Eph[STORE_LIMIT - 1].SV, 120 + (STORE_LIMIT - 1) % 19);
}
