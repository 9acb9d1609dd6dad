// First-pass decoding of the ionosphere and time-system messages: logs are
// built message by message and read by the first pass, then the stores are
// checked.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "decode/aux_file_process.h"
#include "stores/VLX_objects.h"
#include "support/iono_utc_builder.h"
#include "support/store_dates.h"

using namespace vlxlog;
using storedate::expect_date;
using storedate::expect_received;

namespace {

// Reads a whole log through the first pass.
void run_log(const std::string& log) {
    std::string bytes = log;
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(f, nullptr);
    process_aux_file(f);
    std::fclose(f);
}

// A dated epoch: receiver date 2024-03-15 and 12:34:56.789 of day.
std::string dated() { return epoch_time(45296789) + receiver_date(2024, 3, 15); }

Klob klob(float a0, float a1 = 2e-8f, float b0 = 9e4f, float b1 = 6.5e4f) {
    return Klob{{a0, a1, -1.2e-7f, 1.1e-7f}, {b0, b1, -1.3e5f, -4.0e5f}};
}

// ------------------------------------------------ GPS, QZSS, NavIC ionosphere

struct KlobStore {
    const char* id;
    std::vector<Iono_Par>* store;
    int32_t* count;
};
const KlobStore klob_stores[] = {
    {"IO", &Iono_GPS, &GPS_ION_Par_n},
    {"QI", &Iono_QZSS, &QZSS_ION_Par_n},
    {"II", &Iono_NavIC, &NavIC_ION_Par_n},
};

}  // namespace

TEST(KlobucharDecode, StoresCoefficientsAndArrivalDate) {
    for (const KlobStore& s : klob_stores) {
        SCOPED_TRACE(s.id);
        Klob k{{1.1176e-8f, -7.4506e-9f, -5.9605e-8f, 1.1921e-7f}, {9.0112e4f, -6.5536e4f, -1.3107e5f, 4.5e5f}};
        run_log(dated() + iono_msg(s.id, k, 345600, 300));
        ASSERT_EQ(*s.count, 1);
        const Iono_Par& r = (*s.store)[0];
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(r.alpha[i], k.a[i]);
            EXPECT_EQ(r.beta[i], k.b[i]);
        }
        EXPECT_EQ(r.tot, 0u);  // kept for BeiDou only
        EXPECT_TRUE(r.hour_mark.empty());
        EXPECT_EQ(r.SV, 0u);
        expect_received(r.received, 2024, 3, 15, 12, 34, 56);
    }
}

// Only the last record is compared, and only alpha0, alpha1 and beta0.
TEST(KlobucharDecode, DuplicatesOfTheLastRecordAreDropped) {
    struct Case {
        const char* name;
        std::vector<Klob> sent;
        std::vector<float> stored_alpha0;
    };
    const Case cases[] = {
        {"same broadcast again", {klob(1e-8f), klob(1e-8f), klob(1e-8f)}, {1e-8f}},
        {"only beta1 changed", {klob(1e-8f, 2e-8f, 9e4f, 6.5e4f), klob(1e-8f, 2e-8f, 9e4f, 1.0f)}, {1e-8f}},
        {"alpha1 changed", {klob(1e-8f, 2e-8f), klob(1e-8f, 3e-8f)}, {1e-8f, 1e-8f}},
        {"beta0 changed", {klob(1e-8f, 2e-8f, 9e4f), klob(1e-8f, 2e-8f, 8e4f)}, {1e-8f, 1e-8f}},
        {"alternating A B A", {klob(1e-8f), klob(2e-8f), klob(1e-8f)}, {1e-8f, 2e-8f, 1e-8f}},
    };
    for (const Case& c : cases) {
        for (const KlobStore& s : klob_stores) {
            SCOPED_TRACE(std::string(c.name) + " / " + s.id);
            *s.count = 0;
            for (int i = 0; i < 4; ++i) (*s.store)[i] = Iono_Par{};
            std::string log = dated();
            for (const Klob& k : c.sent) log += iono_msg(s.id, k);
            run_log(log);
            ASSERT_EQ(*s.count, static_cast<int32_t>(c.stored_alpha0.size()));
            for (size_t i = 0; i < c.stored_alpha0.size(); ++i)
                EXPECT_EQ((*s.store)[i].alpha[0], c.stored_alpha0[i]);
            EXPECT_EQ((*s.store)[c.stored_alpha0.size()].alpha[0], 0.0f);
        }
    }
}

TEST(KlobucharDecode, A_DayOfRepeatsEverySecondEpochGivesOneRecord) {
    std::string log = dated();
    for (int i = 0; i < 2880; ++i) log += epoch_time(static_cast<uint32_t>(i) * 30000) + iono_msg("IO", klob(1e-8f));
    run_log(log);
    EXPECT_EQ(GPS_ION_Par_n, 1);
}

// The stores only grow: past the records they hold at start-up, every new
// record is appended (none is written over), still compared with the last.
TEST(KlobucharDecode, StoreGrowsPastItsStartSize) {
    const int n = IONO_STORE_SIZE + 500;
    for (const KlobStore& s : klob_stores) {
        SCOPED_TRACE(s.id);
        std::string log = dated();
        for (int i = 1; i <= n; ++i) log += iono_msg(s.id, klob(static_cast<float>(i) * 1e-9f));
        log += iono_msg(s.id, klob(static_cast<float>(n) * 1e-9f));  // a repeat of the last
        run_log(log);
        ASSERT_EQ(*s.count, n);
        for (int i = 0; i < n; ++i) ASSERT_EQ((*s.store)[i].alpha[0], static_cast<float>(i + 1) * 1e-9f) << i;
        ASSERT_GT(s.store->size(), static_cast<size_t>(n));
        EXPECT_EQ((*s.store)[n].alpha[0], 0.0f);
    }
}

// ------------------------------------------------------- BeiDou ionosphere

TEST(BdsIonoDecode, HourMarkOfTheReferenceTime) {
    struct Case {
        uint32_t tot;
        const char* mark;
    };
    const Case cases[] = {
        {0, "A"},     {3600, "A"},  {3601, "B"},  {7200, "B"},  {7201, "C"},   {82800, "W"},
        {82801, "X"}, {86399, "X"}, {86400, "A"}, {90000, "A"}, {90001, "B"}, {604799, "X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tot);
        reset_stores();
        run_log(iono_msg("CI", klob(1e-8f), c.tot));
        ASSERT_EQ(BDS_ION_Par_n, 1);
        EXPECT_EQ(Iono_BDS[0].hour_mark, c.mark);
        EXPECT_EQ(Iono_BDS[0].tot, c.tot);
    }
}

TEST(BdsIonoDecode, SatelliteOfTheLastEphemerisRecord) {
    run_log(dated() + iono_msg("CI", klob(1e-8f)));  // no BeiDou ephemeris yet
    ASSERT_EQ(BDS_ION_Par_n, 1);
    EXPECT_EQ(Iono_BDS[0].SV, 0u);
    expect_received(Iono_BDS[0].received, 2024, 3, 15, 12, 34, 56);

    BDS_Eph[0].SV = 7;
    BDS_Eph[1].SV = 12;
    BDS_SV_index = 2;
    run_log(iono_msg("CI", klob(2e-8f)));
    ASSERT_EQ(BDS_ION_Par_n, 2);
    EXPECT_EQ(Iono_BDS[1].SV, 12u);
}

TEST(BdsIonoDecode, EphemerisCountBeyondItsStoreReadsTheLastRecord) {
    BDS_Eph[EPH_STORE_SIZE - 1].SV = 33;
    BDS_SV_index = EPH_STORE_SIZE + 5;
    run_log(iono_msg("CI", klob(1e-8f)));
    ASSERT_EQ(BDS_ION_Par_n, 1);
    EXPECT_EQ(Iono_BDS[0].SV, 33u);
}

// A repeat of the last record is dropped outright; a record equal to an
// earlier one of the same satellite (alpha0, alpha1) is written, then
// dropped: its slot keeps satellite 0 and is reused by the next message.
TEST(BdsIonoDecode, RepeatsOfEarlierRecordsOfTheSameSatelliteAreDropped) {
    BDS_Eph[0].SV = 7;
    BDS_SV_index = 1;
    run_log(iono_msg("CI", klob(1e-8f, 2e-8f, 9e4f)) + iono_msg("CI", klob(1e-8f, 2e-8f, 9e4f)) +
            iono_msg("CI", klob(3e-8f)));
    ASSERT_EQ(BDS_ION_Par_n, 2);
    // Same alpha0 and alpha1 as record 0, other beta0: not the last record's repeat.
    run_log(iono_msg("CI", klob(1e-8f, 2e-8f, 5e4f)));
    EXPECT_EQ(BDS_ION_Par_n, 2);
    EXPECT_EQ(Iono_BDS[2].alpha[0], 1e-8f);
    EXPECT_EQ(Iono_BDS[2].SV, 0u);
    // The same values from another satellite are kept, in the reused slot.
    BDS_Eph[1].SV = 8;
    BDS_SV_index = 2;
    run_log(iono_msg("CI", klob(1e-8f, 2e-8f, 5e4f)));
    EXPECT_EQ(BDS_ION_Par_n, 3);
    EXPECT_EQ(Iono_BDS[2].SV, 8u);
}

TEST(BdsIonoDecode, StoreGrowsPastItsStartSize) {
    std::string log;
    for (int i = 1; i <= 100; ++i) log += iono_msg("CI", klob(static_cast<float>(i) * 1e-9f));
    run_log(log);
    ASSERT_EQ(BDS_ION_Par_n, 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(Iono_BDS[i].alpha[0], static_cast<float>(i + 1) * 1e-9f) << i;

    BDS_ION_Par_n = IONO_STORE_SIZE - 1;
    run_log(iono_msg("CI", klob(500e-9f)) + iono_msg("CI", klob(600e-9f)));
    EXPECT_EQ(BDS_ION_Par_n, IONO_STORE_SIZE + 1);
    EXPECT_EQ(Iono_BDS[IONO_STORE_SIZE - 1].alpha[0], 500e-9f);
    EXPECT_EQ(Iono_BDS[IONO_STORE_SIZE].alpha[0], 600e-9f);
    EXPECT_EQ(Iono_BDS[0].alpha[0], 1e-9f);
}

// ----------------------------------------------------------- UTC parameters

TEST(UtcDecode, FieldsWeeksAndLeapSeconds) {
    const Utc u{-1.862645149230957e-9, -2.6645353e-15f, 405504, 252, -18, 7, 137, 19};
    struct Case {
        const char* id;
        const std::vector<UTC_Par>* store;
        int32_t* count;
        uint16_t week;  // as stored
        bool gives_leap_sec;
    };
    const Case cases[] = {
        {"UO", &GPS_UTC_Par, &GPS_UTC_Par_n, 2300, true},
        {"QU", &QZSS_UTC_Par, &QZSS_UTC_Par_n, 2300, true},
        {"CU", &BDS_UTC_Par, &BDS_UTC_Par_n, 252, false},
        {"IU", &NavIC_UTC_Par, &NavIC_UTC_Par_n, 2300, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Leap_sec = 5;
        run_log(dated() + utc_msg(c.id, u));
        ASSERT_EQ(*c.count, 1);
        const UTC_Par& r = (*c.store)[0];
        EXPECT_EQ(r.A0, u.A0);
        EXPECT_EQ(r.A1, u.A1);
        EXPECT_EQ(r.A2, 0.0f);
        EXPECT_EQ(r.tot, 405504u);
        EXPECT_EQ(r.WNt, c.week);
        EXPECT_EQ(r.dtLS, -18);
        EXPECT_EQ(r.DN, 7);
        EXPECT_EQ(r.WNlsf, 137);
        EXPECT_EQ(r.dtLSF, 19);
        expect_date(r.date, 2024, 3, 15, 12, 34, 56);
        EXPECT_EQ(Leap_sec, c.gives_leap_sec ? -18 : 5);
    }
}

// GPS, QZSS, BeiDou and SBAS compare with the last record only (A0, A1,
// tot); NavIC and Galileo with every stored record (and the week).
TEST(UtcDecode, AlternatingBroadcasts) {
    const Utc a{1e-9, 1e-15f, 100, 252, 18, 7, 137, 18};
    const Utc b{2e-9, 1e-15f, 100, 252, 18, 7, 137, 18};
    const Utc a_other_dn{1e-9, 1e-15f, 100, 252, 18, 9, 137, 18};
    struct Case {
        const char* id;
        const int32_t* count;
        int32_t stored;
    };
    const Case cases[] = {
        {"UO", &GPS_UTC_Par_n, 4}, {"QU", &QZSS_UTC_Par_n, 4}, {"CU", &BDS_UTC_Par_n, 4},
        {"WU", &SBAS_UTC_Par_n, 4}, {"IU", &NavIC_UTC_Par_n, 2}, {"EU", &GAL_UTC_Par_n, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::string log;
        for (const Utc* u : {&a, &a_other_dn, &b, &a, &b}) {
            if (std::string(c.id) == "WU")
                log += wu_msg(*u);
            else if (std::string(c.id) == "EU")
                log += eu_msg(*u, 0, 0, 0, 0);
            else
                log += utc_msg(c.id, *u);
        }
        run_log(log);
        EXPECT_EQ(*c.count, c.stored);
    }
}

TEST(UtcDecode, NavicOutOfRangeWeekOrTimeIsIgnored) {
    struct Case {
        uint16_t week;
        uint32_t tot;
        int32_t stored;
    };
    const Case cases[] = {{1023, 604799, 1}, {1024, 0, 0}, {0, 604800, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.week);
        NavIC_UTC_Par_n = 0;
        run_log(utc_msg("IU", Utc{1e-9, 0, c.tot, c.week, 18, 0, 0, 18}));
        EXPECT_EQ(NavIC_UTC_Par_n, c.stored);
    }
    EXPECT_EQ(NavIC_UTC_Par[0].WNt, 3071);
}

TEST(UtcDecode, NavicStoreGrowsPastItsStartSize) {
    std::string log;
    for (int i = 1; i <= UTC_STORE_SIZE + 1; ++i) log += utc_msg("IU", Utc{i * 1e-9, 0, 0, 10, 18, 0, 0, 18});
    log += utc_msg("IU", Utc{1e-9, 0, 0, 10, 18, 0, 0, 18});  // repeats record 0
    run_log(log);
    ASSERT_EQ(NavIC_UTC_Par_n, UTC_STORE_SIZE + 1);
    for (int i = 0; i <= UTC_STORE_SIZE; ++i) EXPECT_EQ(NavIC_UTC_Par[i].A0, (i + 1) * 1e-9) << i;
}

TEST(UtcDecode, GalileoGpsOffset) {
    run_log(dated() + eu_msg(Utc{-9.3e-10, 8.8e-16f, 259200, 252, -18, 7, 137, 18}, 2.4e-9f, -4.4e-15f, 345600, 253));
    ASSERT_EQ(GAL_UTC_Par_n, 1);
    const UTC_GGTO_Par& r = GAL_UTC_Par[0];
    EXPECT_EQ(r.A0, -9.3e-10);
    EXPECT_EQ(r.WNt, 2300);
    EXPECT_EQ(r.a0G, 2.4e-9f);
    EXPECT_EQ(r.a1G, -4.4e-15f);
    EXPECT_EQ(r.t0G, 345600u);
    EXPECT_EQ(r.WN0G, 2301);
    EXPECT_EQ(Leap_sec, -18);
    expect_date(r.date, 2024, 3, 15, 12, 34, 56);
}

TEST(UtcDecode, SbasRecordKeepsTheRestAsReceived) {
    run_log(dated() + wu_msg(Utc{3e-9, -1e-14f, 86400, 252, 18, 4, 300, 19}, 0xAB, 0x12345678, 0xBEEF, 0x7F));
    ASSERT_EQ(SBAS_UTC_Par_n, 1);
    const UTC_SBAS_Par& r = SBAS_UTC_Par[0];
    EXPECT_EQ(r.A0, 3e-9);
    EXPECT_EQ(r.A1, -1e-14f);
    EXPECT_EQ(r.tot, 86400u);
    EXPECT_EQ(r.WNt, 252);  // as transmitted
    EXPECT_EQ(r.WNlsf, 300);
    EXPECT_EQ(r.dtLSF, 19);
    EXPECT_EQ(r.date[EP_YEAR], 2024.0);
    EXPECT_EQ(r.date[EP_SEC], 56.0);
    EXPECT_EQ(r.b23, 0xAB);
    EXPECT_EQ(r.w24, 0x12345678u);
    EXPECT_EQ(r.w28, 0xBEEF);
    EXPECT_EQ(r.b30, 0x7F);
    EXPECT_EQ(Leap_sec, 18);
}

// The reader stores no body for an "WU" of another length; such a message
// must not be decoded from whatever the record held.
TEST(UtcDecode, SbasMessageOfAnotherLengthIsNotDecoded) {
    run_log(frame("WU", utc_payload(Utc{3e-9, 0, 1, 2, 17, 0, 0, 0})));  // 24 bytes, not 32
    EXPECT_EQ(SBAS_UTC_Par_n, 0);
    EXPECT_EQ(Leap_sec, 0);
}

// The stores grow past their start size and keep every record; at their
// limit they keep what they hold and count the new records they drop, and
// the leap seconds come only from stored records.
TEST(UtcDecode, StoresGrowThenCountWhatTheyDropAtTheirLimit) {
    struct Case {
        const char* id;
        int32_t* count;
        StoreId store;
        double (*A0_at)(int);
        void (*resize)(size_t);
    };
    const Case cases[] = {
        {"UO", &GPS_UTC_Par_n, STORE_GPS_UTC, [](int i) { return GPS_UTC_Par[i].A0; },
         [](size_t n) { GPS_UTC_Par.resize(n); }},
        {"QU", &QZSS_UTC_Par_n, STORE_QZSS_UTC, [](int i) { return QZSS_UTC_Par[i].A0; },
         [](size_t n) { QZSS_UTC_Par.resize(n); }},
        {"CU", &BDS_UTC_Par_n, STORE_BDS_UTC, [](int i) { return BDS_UTC_Par[i].A0; },
         [](size_t n) { BDS_UTC_Par.resize(n); }},
        {"EU", &GAL_UTC_Par_n, STORE_GAL_UTC, [](int i) { return GAL_UTC_Par[i].A0; },
         [](size_t n) { GAL_UTC_Par.resize(n); }},
        {"WU", &SBAS_UTC_Par_n, STORE_SBAS_UTC, [](int i) { return SBAS_UTC_Par[i].A0; },
         [](size_t n) { SBAS_UTC_Par.resize(n); }},
    };
    auto msg = [](const std::string& id, const Utc& u) {
        if (id == "WU") return wu_msg(u);
        if (id == "EU") return eu_msg(u, 0, 0, 0, 0);
        return utc_msg(id.c_str(), u);
    };
    const int n = UTC_STORE_SIZE + 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::string log;
        for (int i = 1; i <= n; ++i)
            log += msg(c.id, Utc{i * 1e-12, 0, static_cast<uint32_t>(i), 10, static_cast<int8_t>(i), 0, 0, 0});
        Leap_sec = 0;
        run_log(log);
        EXPECT_EQ(*c.count, n);
        EXPECT_EQ(c.A0_at(0), 1e-12);
        EXPECT_EQ(c.A0_at(n - 1), n * 1e-12);
        EXPECT_EQ(Leap_sec, std::string(c.id) == "CU" ? 0 : n);

        // At the limit: two new records dropped, and the repeat of the last
        // held record (empty here) not counted; Galileo compares every
        // record with its week, and the empty ones have none, so its third
        // message is new as well.
        c.resize(STORE_LIMIT);
        *c.count = STORE_LIMIT;
        run_log(msg(c.id, Utc{5e-9, 0, 1, 10, -1, 0, 0, 0}) + msg(c.id, Utc{6e-9, 0, 2, 10, -1, 0, 0, 0}) +
                msg(c.id, Utc{0, 0, 0, 10, -1, 0, 0, 0}));
        EXPECT_EQ(*c.count, STORE_LIMIT);
        EXPECT_EQ(Store_dropped[c.store].size(), std::string(c.id) == "EU" ? 3u : 2u);
        EXPECT_EQ(Leap_sec, std::string(c.id) == "CU" ? 0 : n);
        c.resize(UTC_STORE_SIZE);
    }
}

// ------------------------------------------------------------ GLONASS time

TEST(GloTimeDecode, EveryMessageOverwritesTheRecord) {
    std::string rest1 = std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    std::string rest2 = std::string("\x11\x12\x13\x14\x15\x16\x17\x18", 8);
    run_log(nu_msg(-1.5e-8, 2.5e-9f, rest1) + dated() + nu_msg(-3.0e-8, -4.0e-9f, rest2));
    EXPECT_EQ(GLO_Time_Par.corr0, -3.0e-8);
    EXPECT_EQ(GLO_Time_Par.corr1, -4.0e-9f);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(GLO_Time_Par.rest[i], 0x11 + i);
    expect_received(GLO_Time_Par.received, 2024, 3, 15, 12, 34, 56);
}

// --------------------------------------------------------- reception times

namespace {

const Utc U1{1e-9, 0, 0, 252, 18, 0, 0, 18};
const uint32_t MS_10H = 36000000;
// Seconds of the GPS week of 2024-03-15, a Friday, at 10:00:00.
const double FRI_10H = 5 * 86400 + 36000;

}  // namespace

// A record keeps the time of the epoch in which its message stands: the
// latest "~~" before it, on the date that the log gives that epoch. A
// message before the first epoch takes the first epoch's time; a repeat
// dropped later leaves the time of the record it repeats.
TEST(UtcReception, TimeOfTheEpochTheMessageStandsIn) {
    const std::string rd = receiver_date(2024, 3, 15);
    struct Case {
        const char* name;
        std::string log;
        double seconds;
    };
    const Case cases[] = {
        {"before the first epoch", utc_msg("UO", U1) + epoch_time(MS_10H) + rd, FRI_10H},
        {"before the first epoch, after a date", rd + utc_msg("UO", U1) + epoch_time(MS_10H), FRI_10H},
        {"in an epoch before the first date", epoch_time(MS_10H) + utc_msg("UO", U1) + epoch_time(MS_10H + 1500) + rd,
         FRI_10H},
        {"in a dated epoch", epoch_time(MS_10H) + rd + epoch_time(MS_10H + 1500) + utc_msg("UO", U1), FRI_10H + 1.5},
        {"a repeat dropped in a later epoch",
         epoch_time(MS_10H) + rd + utc_msg("UO", U1) + epoch_time(MS_10H + 1500) + utc_msg("UO", U1), FRI_10H},
        // The receiver date still names the 14th; the epoch is on the 15th.
        {"after a midnight that no date names",
         epoch_time(86399000) + receiver_date(2024, 3, 14) + epoch_time(1000) + utc_msg("UO", U1), 5 * 86400 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_stores();
        run_log(c.log);
        ASSERT_EQ(GPS_UTC_Par_n, 1);
        EXPECT_TRUE(GPS_UTC_Par[0].received.dated);
        EXPECT_EQ(seconds_of_week(GPS_UTC_Par[0].received, 0), c.seconds);
        EXPECT_FALSE(GLO_Time_Par.received.dated);  // no GLONASS time message: nothing stamped
    }
}

// Every store of time parameters and ionosphere coefficients that the
// files show stamps its records, the GLONASS record too (here its message
// comes before the first epoch). The ionosphere messages stand in an
// epoch before the first receiver date, which dates them afterwards.
TEST(UtcReception, EveryIonosphereAndTimeRecord) {
    run_log(nu_msg(-1e-8, 0) + epoch_time(MS_10H) + iono_msg("IO", klob(1e-8f)) + iono_msg("QI", klob(1e-8f)) +
            iono_msg("II", klob(1e-8f)) + iono_msg("CI", klob(1e-8f)) + receiver_date(2024, 3, 15) +
            utc_msg("UO", U1) + utc_msg("QU", U1) + epoch_time(MS_10H + 1500) + utc_msg("CU", U1) +
            utc_msg("IU", U1) + eu_msg(U1, 1e-9f, 0, 0, 252));
    struct Case {
        const char* id;
        const Epoch_ms& received;
        double seconds;
    };
    const Case cases[] = {
        {"NU", GLO_Time_Par.received, FRI_10H},         {"UO", GPS_UTC_Par[0].received, FRI_10H},
        {"QU", QZSS_UTC_Par[0].received, FRI_10H},      {"CU", BDS_UTC_Par[0].received, FRI_10H + 1.5},
        {"IU", NavIC_UTC_Par[0].received, FRI_10H + 1.5}, {"EU", GAL_UTC_Par[0].received, FRI_10H + 1.5},
        {"IO", Iono_GPS[0].received, FRI_10H},          {"QI", Iono_QZSS[0].received, FRI_10H},
        {"II", Iono_NavIC[0].received, FRI_10H},        {"CI", Iono_BDS[0].received, FRI_10H},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(c.received.dated);
        EXPECT_EQ(seconds_of_week(c.received, 0), c.seconds);
    }
}
