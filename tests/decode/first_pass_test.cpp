// The first pass: epochs, first and last dates, the data interval, and the
// survey of what the observation file stores.
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
#include "vlxlog/vlx_builder.h"

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
        {{31000, 30000, 32000}, 1.0f},   // a step back is an epoch out of order, not a midnight
        {{43200000, 0, 43201000}, 1.0f}, // so is a step back of half a day
        {{43200001, 0}, 43199.999f},     // more than half a day back: a midnight
        {{1000, 86399000, 2000}, 1.0f},  // forward over half a day: out of order across a midnight
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
// on its grid, a repeated "TD" ends no epoch, a repeated or out-of-order
// last epoch is not the last one written and moves no later epoch a day.
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
        {"the last epoch out of order", receiver_date(2024, 3, 15) + epoch_time(30000) + epoch_time(31000) +
                                            epoch_time(32000) + epoch_time(31000),
         0, {MAR15, 30000, true}, {MAR15, 32000, true}},
        {"an epoch out of order, undated until the end", epoch_time(30000) + epoch_time(31000) + epoch_time(32000) +
                                                             epoch_time(31000) + epoch_time(33000) +
                                                             receiver_date(2024, 3, 15),
         0, {MAR15, 30000, true}, {MAR15, 33000, true}},
        {"the last epoch repeated on the grid", [] {
             std::string l = receiver_date(2024, 3, 15);
             for (uint32_t t : {0, 30000, 60000, 60000, 59000}) l += epoch_time(t) + TD;
             return l;
         }(),
         30, {MAR15, 0, true}, {MAR15, 60000, true}},
        {"out of order across a midnight", epoch_time(86399800) + epoch_time(100) + epoch_time(86399900) +
                                               epoch_time(200) + receiver_date(2024, 3, 16),
         0, {MAR15, 86399800, true}, {MAR15 + 1, 200, true}},
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
}

// The survey of what the observation file stores: every satellite of the
// epochs that the file keeps, by the key its lines print, with the columns
// that hold data and the corrections of its phases.
TEST(FirstPass, SurveysTheEpochsThatTheFileKeeps) {
    const std::string kept = epoch_time(1000) +
                             sx({{SX_GPS, 5}, {SX_GPS, 7}, {SX_GAL, 11}, {SX_BDS, 30}, {SX_QZSS, 193},
                                 {SX_SBAS, 131}, {SX_GLO, 1}, {SX_GLCDMA, 4}, {SX_NAVIC, 2}}) +
                             frame("NN", items8({4})) + fc_on(9) + frame("F5", items16({0, 0, 0, 0, 0, 0, 0, 0x40})) +
                             frame("rx", items32({0, 0, 0, 0, 0, 0, 0, 0, 0})) + frame("cp", items32({7, 0, 9})) +
                             frame("5r", items16({0, 0, 0, 0, 0, 0, 0, 5})) +
                             frame("5p", items32({0, 0, 0, 0, 0, 0, 0, 11})) + TD;
    // Epoch 2000 falls between the 2-second grid epochs.
    const std::string log = kept + epoch_time(2000) + sx({{SX_GPS, 9}}) + fc_on(1) + frame("rx", items32({0})) +
                            frame("cp", items32({0})) + frame("5r", "") + frame("5p", "") + TD + epoch_time(3000) +
                            sx({{SX_GPS, 12}}) + fc_on(1) + frame("rx", items32({0})) + TD;
    INTERVAL_Requested = 2;
    Rinex_Ver = 3.05;
    first_pass(log);
    struct Stored {
        int sys;
        uint32_t key;
        uint16_t columns;
    };
    const Stored stored[] = {
        {SYS_GPS, 5, 1},  {SYS_GPS, 7, 1},   {SYS_GPS, 9, 0},  {SYS_GPS, 12, 1}, {SYS_GAL, 11, 1},
        {SYS_BDS, 30, 1}, {SYS_QZSS, 1, 1},  {SYS_SBAS, 31, 1}, {SYS_NAVIC, 2, 1},
        // GLONASS slot 4: its own C/A signal, the code-division C/A signal
        // in column 5 and the code-division band 5 in column 4.
        {SYS_GLO, 4, 1 | 1 << 4 | 1 << 5},
    };
    for (const Stored& e : stored) EXPECT_EQ(SAT_COLUMNS_STORED[e.sys][e.key], e.columns) << e.sys << " " << e.key;
    // Phases: GPS C/A without correction for G05, G07 and G12 (the last
    // "cp" is decoded again in epoch 3000; G09's epoch is not kept),
    // Galileo C/A with half a cycle, the code-division band 5 without
    // correction.
    struct Set {
        int sys, column;
        float shift;
        uint64_t sats;
    };
    const Set sets[] = {
        {SYS_GPS, 0, 0.0f, 1u << 5 | 1u << 7 | 1u << 12}, {SYS_GAL, 0, 0.5f, 1u << 11}, {SYS_GLO, 4, 0.0f, 1u << 4}};
    for (const Set& e : sets) {
        const Phase_set& p = PHASE_SETS[e.sys][e.column][0];
        EXPECT_TRUE(p.used) << e.sys;
        EXPECT_EQ(p.shift, e.shift) << e.sys;
        EXPECT_EQ(p.sats[0], e.sats) << e.sys;
        EXPECT_FALSE(PHASE_SETS[e.sys][e.column][1].used) << e.sys;
    }
    // RINEX 4 headers state none of it: nothing is surveyed.
    Rinex_Ver = 4.0;
    first_pass(log);
    EXPECT_EQ(SAT_COLUMNS_STORED[SYS_GPS][5], 0);
    EXPECT_FALSE(PHASE_SETS[SYS_GPS][0][0].used);
    INTERVAL_Requested = 0;
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
