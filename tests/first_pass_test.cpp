// The first pass: epochs, first and last dates, the data interval, and the
// satellite count of the observation header.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
#include "decode/aux_file_process.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/iono_utc_builder.h"
#include "support/log_feed.h"
#include "support/vlx_builder.h"

using namespace vlxlog;

namespace {

void first_pass(const std::string& log) { run_pass(log, process_aux_file); }

std::string fc_on(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += i16(0x40);
    return frame("FC", s);
}
const std::string TD = frame("TD", zeros(3));

}  // namespace

TEST(FirstPass, IntervalFromTheFirstDifferingEpochTimes) {
    struct Case {
        std::vector<uint32_t> times;  // ms of day of the "~~" messages
        float interval;
    };
    const Case cases[] = {
        {{86399000, 1000}, 2.0f},        // across midnight
        {{1000, 1000, 2000}, 1.0f},      // the equal pair is passed over
        {{0, 30000, 31000}, 30.0f},      // measured once
        {{43200000, 43200250}, 0.25f},
        {{5000}, 0.0f},                  // a single epoch measures nothing
    };
    for (const Case& c : cases) {
        INTERVAL_Aux = 0;
        std::string log;
        for (uint32_t t : c.times) log += epoch_time(t);
        first_pass(log);
        EXPECT_FLOAT_EQ(INTERVAL_Aux, c.interval) << c.times[0];
    }
}

TEST(FirstPass, FirstAndLastDates) {
    // The first "~~" comes before any "RD": the first date follows until a
    // dated "RD" has been seen.
    first_pass(epoch_time(1000) + epoch_time(2000) + receiver_date(2024, 3, 15, 1) + epoch_time(3000) +
               epoch_time(3600000 + 61500) + receiver_date(2024, 3, 16, 1));
    EXPECT_EQ(RCV_date_first.v[EP_YEAR], 2024);
    EXPECT_EQ(RCV_date_first.v[EP_DAY], 15);
    EXPECT_EQ(RCV_date_first.v[EP_SEC], 2);  // the time of day of the "RD"'s epoch
    EXPECT_EQ(RCV_date_first.v[EP_SYS], 1);
    EXPECT_EQ(RCV_date_last.v[EP_DAY], 16);
    EXPECT_EQ(RCV_date_last.v[EP_HOUR], 1);
    EXPECT_EQ(RCV_date_last.v[EP_MIN], 1);
    EXPECT_EQ(RCV_date_last.v[EP_SEC], 1);
    EXPECT_EQ(RCV_date.v[EP_DAY], 16);
}

// The first epoch of the log and the last one that the observation file
// will hold, timed to the millisecond: epochs before the first receiver
// date are dated from it (back over a midnight), "-p" keeps the last epoch
// on its grid, a repeated "TD" ends no epoch.
TEST(FirstPass, FirstAndLastEpochRecords) {
    const int64_t MAR15 = days_from_civil(2024, 3, 15);
    struct Case {
        const char* name;
        std::string log;
        double period;
        Epoch_ms first, last;
    };
    const Case cases[] = {
        {"dated every epoch", epoch_time(1000) + receiver_date(2024, 3, 15) + epoch_time(1100) +
                                  receiver_date(2024, 3, 15) + epoch_time(1200) + receiver_date(2024, 3, 15),
         0, {MAR15, 1000, true}, {MAR15, 1200, true}},
        {"first date after midnight", epoch_time(86399900) + TD + TD + epoch_time(0) + TD + epoch_time(100) +
                                          receiver_date(2024, 3, 16) + TD,
         0, {MAR15, 86399900, true}, {MAR15 + 1, 100, true}},
        {"no date", epoch_time(86399000) + epoch_time(0) + receiver_date(2024, 2, 30), 0, {0, 86399000, false},
         {1, 0, false}},
        {"grid of -p", [] {
             std::string l = receiver_date(2024, 3, 15);
             for (uint32_t t = 0; t <= 100000; t += 1000) l += epoch_time(t);
             return l;
         }(),
         30, {MAR15, 0, true}, {MAR15, 90000, true}},
    };
    for (const Case& c : cases) {
        INTERVAL_Requested = c.period;
        first_pass(c.log);
        for (const auto& [got, want] : {std::pair{Epoch_first_obs, c.first}, std::pair{Epoch_last_obs, c.last}}) {
            EXPECT_EQ(got.day, want.day) << c.name;
            EXPECT_EQ(got.ms, want.ms) << c.name;
            EXPECT_EQ(got.dated, want.dated) << c.name;
        }
    }
    INTERVAL_Requested = 0;
}

TEST(FirstPass, EpochClosedByTDIsNotClosedAgainAtTheNextEpochTime) {
    // Between the "TD" and the next "~~" the list changes to a Galileo
    // satellite: a second close would register it.
    first_pass(epoch_time(1000) + sx({{SX_GPS, 5}}) + fc_on(1) + TD + sx({{SX_GAL, 11}}) + epoch_time(2000) +
               sx({{SX_GPS, 5}}) + TD);
    EXPECT_EQ(GPS_OBS_Arr[0], "C1C");
    EXPECT_TRUE(GAL_OBS_Arr[0].empty());
    EXPECT_EQ(GAL_SAT_NUM_SYS[0][0], 0u);
}

TEST(FirstPass, EpochsCloseAtTheNextEpochTimeAndAtTheEnd) {
    // No "TD": the first epoch closes at the second "~~", the last at the
    // end of the log; the tables are left cleared.
    first_pass(epoch_time(1000) + sx({{SX_GPS, 5}}) + fc_on(1) + epoch_time(2000) + sx({{SX_GAL, 11}}));
    EXPECT_EQ(GPS_SAT_NUM_SYS[0][0], 5u);
    EXPECT_EQ(GAL_SAT_NUM_SYS[0][0], 11u);
    EXPECT_EQ(GPS_SVs[0].SV_num, 0u);
    EXPECT_EQ(GAL_SVs[0].SV_num, 0u);
}

TEST(FirstPass, LogWithoutEpochTimesRunsNoFlagDecoder) {
    first_pass(sx({{SX_GPS, 5}}) + fc_on(1) + receiver_date(2024, 1, 1));
    EXPECT_EQ(INTERVAL_Aux, 0.0f);
    EXPECT_TRUE(GPS_OBS_Arr[0].empty());
    EXPECT_EQ(GPS_SVs[0].SV_num, 0u);
    EXPECT_EQ(nSAt_max, 0);
}

TEST(FirstPass, SatelliteCountOfTheHeader) {
    const std::string log = epoch_time(1000) +
                            sx({{SX_GPS, 5}, {SX_GPS, 7}, {SX_GAL, 11}, {SX_BDS, 30}, {SX_QZSS, 193},
                                {SX_SBAS, 131}, {SX_GLCDMA, 4}, {SX_NAVIC, 2}}) +
                            fc_on(8) + TD;
    struct Case {
        bool gal_on;
        int count;
    };
    for (const Case& c : {Case{true, 5}, Case{false, 4}}) {
        Enable_GAL = c.gal_on;
        first_pass(log);
        // QZSS, SBAS and code-division satellites are not counted.
        EXPECT_EQ(nSAt_max, c.count);
    }
    EXPECT_EQ(BDS_SAT_NUM_SYS[6][0], 30u);
    EXPECT_EQ(QZSS_SAT_NUM_SYS[0][0], 193u);
    EXPECT_EQ(QZSS_SAT_NUM_SYS[6][0], 0u);
}

TEST(FirstPass, SatellitesRankedBeyond31AreClaimedAfreshEachEpoch) {
    // 35 BeiDou satellites; in the second epoch a new satellite takes rank 33.
    std::string first, second;
    for (int i = 0; i < 35; ++i) {
        first += u8(SX_BDS) + u8(static_cast<uint8_t>(i + 1));
        second += u8(SX_BDS) + u8(static_cast<uint8_t>(i == 33 ? 50 : i + 1));
    }
    first_pass(epoch_time(1000) + frame("SX", first) + fc_on(35) + TD + epoch_time(2000) + frame("SX", second) +
               fc_on(35) + TD);
    int found = 0;
    for (uint32_t n : BDS_SAT_NUM_SYS[0])
        if (n == 50) ++found;
    EXPECT_EQ(found, 1);
}

TEST(FirstPass, MoreSatellitesOfOneSystemThanItsTable) {
    // 40 GPS and 70 BeiDou satellites, all flagged in every band: the
    // tables take the first 32 and 61, the lists keep what fits.
    std::string list;
    for (int i = 0; i < 40; ++i) list += u8(SX_GPS) + u8(static_cast<uint8_t>(i + 1));
    for (int i = 0; i < 70; ++i) list += u8(SX_BDS) + u8(static_cast<uint8_t>(i + 1));
    std::string flags;
    for (int i = 0; i < 110; ++i) flags += i16(0x40);
    std::string log = epoch_time(1000) + frame("SX", list);
    for (const char* id : {"FC", "F1", "F2", "F3", "F5", "Fl"}) log += frame(id, flags);
    first_pass(log + TD);
    EXPECT_EQ(GPS_SAT_NUM_SYS[0][31], 32u);
    EXPECT_EQ(GPS_SAT_NUM_SYS[1][31], 32u);
    EXPECT_EQ(BDS_SAT_NUM_SYS[0][60], 61u);
    EXPECT_EQ(BDS_SAT_NUM_SYS[2][60], 61u);
    EXPECT_EQ(nSAt_max, 32 + 61);
}

// A store at its limit is named on standard output with the number of new
// records it dropped (a dropped record sent again counts once); a run that
// drops nothing prints nothing of it.
TEST(FirstPass, NamesEveryStoreThatDroppedRecords) {
    const Utc a{1e-9, 0, 100, 252, 18, 0, 0, 18}, b{2e-9, 0, 200, 252, 18, 0, 0, 18};
    testing::internal::CaptureStdout();
    first_pass(utc_msg("UO", a) + utc_msg("UO", b));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(GPS_UTC_Par_n, 2);

    GPS_UTC_Par.resize(STORE_LIMIT);
    GPS_UTC_Par_n = STORE_LIMIT;
    BDS_ION_Par_n = STORE_LIMIT;  // each store is counted and named apart
    testing::internal::CaptureStdout();
    first_pass(utc_msg("UO", a) + utc_msg("UO", b) + utc_msg("UO", b) +
               iono_msg("CI", Klob{{1e-8f, 0, 0, 0}, {9e4f, 0, 0, 0}}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Navigation store full: BeiDou ionosphere parameters, 1 records dropped\n"
              "Navigation store full: GPS UTC parameters, 2 records dropped\n");
}
