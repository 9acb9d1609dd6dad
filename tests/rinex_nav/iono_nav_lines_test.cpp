// The ionosphere and time-system output of the navigation files: the
// RINEX 3.05 IONOSPHERIC CORR and TIME SYSTEM CORR header lines and the
// RINEX 4 STO and ION records, compared as whole text, and the week and
// time-of-week to date conversion that dates the STO records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "decode/Decode_func.h"
#include "rinex_nav/Rin_NAV_Data_record.h"
#include "rinex_nav/Rin_hwriter.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using storedate::set_date;

namespace {

// What one writer writes; it reports success.
std::string capture(int (*writer)(std::ofstream&)) {
    return rinexcap::capture([&](std::ofstream& os) { EXPECT_EQ(writer(os), 1); });
}

const double P29 = std::ldexp(1.0, -29);  // 1.862645149230957e-09
const double P30 = std::ldexp(1.0, -30);  // 9.313225746154785e-10
const float F50 = std::ldexp(1.0f, -50);  // 8.881784197001252e-16

// A reception time: a date and milliseconds of day.
Epoch_ms at(int64_t y, int64_t mo, int64_t d, uint32_t ms) { return {days_from_civil(y, mo, d), ms, true}; }

// A Klobuchar record whose coefficients are exact binary fractions.
Iono_Par klob(float a0) {
    Iono_Par r{};
    r.alpha[0] = a0;
    r.alpha[1] = std::ldexp(1.0f, -26);
    r.alpha[2] = 0;
    r.alpha[3] = -std::ldexp(1.0f, -24);
    r.beta[0] = 90112;
    r.beta[1] = 16384;
    r.beta[2] = -131072;
    r.beta[3] = -262144;
    r.received = at(2024, 3, 15, 45296789);  // 12:34:56.789
    return r;
}

// A BeiDou record that passes the plausibility test.
Iono_Par bds(uint32_t sv, const char* mark) {
    Iono_Par r = klob(-std::ldexp(1.0f, -27));
    r.SV = sv;
    r.hour_mark = mark;
    return r;
}

Iono_Par zero_coefficients(Iono_Par r) {
    for (int i = 0; i < 4; ++i) r.alpha[i] = r.beta[i] = 0;
    return r;
}

// Records 0-3 of a Klobuchar store with alpha0 zero in 0 and 2, and a
// fifth record that lies at a count of 4 (not stored).
void zeros_among_records(std::vector<Iono_Par>& store) {
    store[0] = klob(0);
    store[1] = klob(-std::ldexp(1.0f, -27));
    store[2] = klob(0);
    store[3] = klob(std::ldexp(1.0f, -24));
    store[4] = klob(1.0f);
}

// The header lines belong to RINEX 3.05 files.
class IonoCorrLines : public testing::Test {
  protected:
    void SetUp() override { Rinex_Ver = 3.05; }
};
class TimeCorrLines : public IonoCorrLines {};

}  // namespace

// ------------------------------------------------ RINEX 3.05 IONOSPHERIC CORR

// GPS (GPSA, GPSB) and NavIC (IRNA, IRNB): a line pair per stored record
// in store order; a record with alpha0 = 0 is left out, and the records
// after it are still written.
TEST_F(IonoCorrLines, KlobucharPairsOfTheStoredRecords) {
    struct Case {
        int (*writer)(std::ofstream&);
        std::vector<Iono_Par>* store;
        int32_t* count;
        const char *a, *b;
    };
    const Case cases[] = {
        {Add_GPS_Nav_File_iono, &Iono_GPS, &GPS_ION_Par_n, "GPSA", "GPSB"},
        {Add_NavIC_Nav_File_iono, &Iono_NavIC, &NavIC_ION_Par_n, "IRNA", "IRNB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a);
        zeros_among_records(*c.store);
        *c.count = 4;
        const std::string a = c.a, b = c.b;
        EXPECT_EQ(capture(c.writer),
                  a + "  -7.4506e-09  1.4901e-08  0.0000e+00 -5.9605e-08       IONOSPHERIC CORR\n" + b +
                      "   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05       IONOSPHERIC CORR\n" + a +
                      "   5.9605e-08  1.4901e-08  0.0000e+00 -5.9605e-08       IONOSPHERIC CORR\n" + b +
                      "   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05       IONOSPHERIC CORR\n");
        *c.count = 0;
        EXPECT_EQ(capture(c.writer), "");
    }
}

// A count beyond the store is not followed past its end.
TEST_F(IonoCorrLines, CountBeyondTheStoreStopsAtItsEnd) {
    for (int i = 0; i < IONO_STORE_SIZE; ++i) Iono_GPS[i] = klob(1e-8f);
    GPS_ION_Par_n = IONO_STORE_SIZE + 500;
    std::string out = capture(Add_GPS_Nav_File_iono);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2 * IONO_STORE_SIZE);
}

// Implausible BeiDou records are skipped and the scan goes on up to the count.
TEST_F(IonoCorrLines, BdsPlausibleRecordsWithHourMarkAndSatellite) {
    Iono_BDS[0] = bds(7, "B");
    Iono_BDS[1] = bds(0, "C");  // no satellite
    Iono_BDS[2] = bds(9, "D");
    Iono_BDS[2].alpha[1] = 0.02f;
    Iono_BDS[3] = bds(12, "X");
    Iono_BDS[3].received = at(2024, 3, 15, 86399999);  // the last millisecond of the day
    Iono_BDS[4] = bds(13, "A");  // at the count: not stored
    BDS_ION_Par_n = 4;
    EXPECT_EQ(capture(Add_BDS_Nav_File_iono),
              "BDSA  -7.4506e-09  1.4901e-08  0.0000e+00 -5.9605e-08 B  7  IONOSPHERIC CORR\n"
              "BDSB   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05 B  7  IONOSPHERIC CORR\n"
              "BDSA  -7.4506e-09  1.4901e-08  0.0000e+00 -5.9605e-08 X 12  IONOSPHERIC CORR\n"
              "BDSB   9.0112e+04  1.6384e+04 -1.3107e+05 -2.6214e+05 X 12  IONOSPHERIC CORR\n");
}

TEST_F(IonoCorrLines, BdsCountBeyondTheStoreStopsAtItsEnd) {
    Iono_BDS[IONO_STORE_SIZE - 1] = bds(5, "A");
    BDS_ION_Par_n = IONO_STORE_SIZE + 500;
    std::string out = capture(Add_BDS_Nav_File_iono);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
    BDS_ION_Par_n = -3;
    EXPECT_EQ(capture(Add_BDS_Nav_File_iono), "");
}

// RINEX 3.05 keeps its GAL line without an ephemeris: a header line of
// zeros states no date.
TEST_F(IonoCorrLines, GalileoLineFromTheFirstEphemeris) {
    EXPECT_EQ(capture(Add_GAL_Nav_File_iono),
              "GAL    0.0000e+00  0.0000e+00  0.0000e+00  0.0000e+00       IONOSPHERIC CORR\n");
    GAL_Eph[0].ai0 = 62.25f;
    GAL_Eph[0].ai1 = -0.1796875f;
    GAL_Eph[0].ai2 = 0.01171875f;
    GAL_Eph[1].ai0 = 99.0f;
    EXPECT_EQ(capture(Add_GAL_Nav_File_iono),
              "GAL    6.2250e+01 -1.7969e-01  1.1719e-02  0.0000e+00       IONOSPHERIC CORR\n");
}

TEST(BdsIonoPlausibility, EachRuleRejects) {
    struct Case {
        const char* name;
        void (*spoil)(Iono_Par&);
        bool valid;
    };
    const Case cases[] = {
        {"plausible", [](Iono_Par&) {}, true},
        {"satellite 63", [](Iono_Par& r) { r.SV = 63; }, true},
        {"satellite 64", [](Iono_Par& r) { r.SV = 64; }, false},
        {"satellite 0", [](Iono_Par& r) { r.SV = 0; }, false},
        {"reception undated", [](Iono_Par& r) { r.received.dated = false; }, false},
        {"received in 1979", [](Iono_Par& r) { r.received = at(1979, 12, 31, 86399999); }, false},
        {"received in 1980", [](Iono_Par& r) { r.received = at(1980, 1, 1, 0); }, true},
        {"received in 2099", [](Iono_Par& r) { r.received = at(2099, 12, 31, 86399999); }, true},
        {"received in 2100", [](Iono_Par& r) { r.received = at(2100, 1, 1, 0); }, false},
        {"time of day beyond the day", [](Iono_Par& r) { r.received.ms = 86400000; }, false},
        {"beta3 infinite", [](Iono_Par& r) { r.beta[3] = INFINITY; }, false},
        {"alpha2 NaN", [](Iono_Par& r) { r.alpha[2] = NAN; }, false},
        {"all zero", [](Iono_Par& r) { r = zero_coefficients(r); }, false},
        {"largest 2e-20",
         [](Iono_Par& r) {
             r = zero_coefficients(r);
             r.beta[3] = 2e-20f;
         },
         true},
        {"alpha1 0.02", [](Iono_Par& r) { r.alpha[1] = 0.02f; }, false},
        {"alpha3 -0.01", [](Iono_Par& r) { r.alpha[3] = -0.01f; }, true},
        {"beta0 1e8", [](Iono_Par& r) { r.beta[0] = 1e8f; }, true},
        {"beta2 -2e8", [](Iono_Par& r) { r.beta[2] = -2e8f; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Iono_Par r = bds(7, "A");
        c.spoil(r);
        EXPECT_EQ(isValidBdsIon(r), c.valid);
    }
}

// ------------------------------------------------ RINEX 3.05 TIME SYSTEM CORR

// Every line: type in columns 1-4, a0 in 6-22 (D17.10), a1 in 23-38
// (D16.9), T in 39-45, W in 46-50, blanks to column 60, label from 61.
// The stored records are written in store order; GPS leaves out a record
// with A0 and A1 both 0, and goes on.
TEST_F(TimeCorrLines, GpsRecordsBesidesThoseOfZeros) {
    GPS_UTC_Par[0] = UTC_Par{0, 0, 0, 7, 2299, 18, 0, 0, 0, {}, {}};
    GPS_UTC_Par[1] = UTC_Par{-P29, -F50, 0, 405504, 2300, 18, 0, 0, 0, {}, {}};
    GPS_UTC_Par[2] = UTC_Par{0, F50, 0, 61440, 2301, 18, 0, 0, 0, {}, {}};
    GPS_UTC_Par[3] = UTC_Par{0, 0, 0, 1, 2302, 18, 0, 0, 0, {}, {}};
    GPS_UTC_Par[4] = UTC_Par{P29, F50, 0, 1, 2302, 18, 0, 0, 0, {}, {}};
    GPS_UTC_Par[5] = GPS_UTC_Par[4];  // at the count: not stored
    GPS_UTC_Par_n = 5;
    EXPECT_EQ(capture(Add_GPS_Nav_File_Time_corr),
              "GPUT -1.8626451492e-09-8.881784197e-16 405504 2300          TIME SYSTEM CORR\n"
              "GPUT  0.0000000000e+00 8.881784197e-16  61440 2301          TIME SYSTEM CORR\n"
              "GPUT  1.8626451492e-09 8.881784197e-16      1 2302          TIME SYSTEM CORR\n");
}

// NavIC, BeiDou and Galileo leave out a record with A0 = 0 and go on.
TEST_F(TimeCorrLines, OtherSystemsLeaveOutZeroA0) {
    const UTC_Par first{P29, 0, 0, 14, 900, 18, 0, 0, 0, {}, {}};
    const UTC_Par zero_a0{0, F50, 0, 7, 901, 18, 0, 0, 0, {}, {}};
    const UTC_Par third{-P29, 0, 0, 21, 902, 18, 0, 0, 0, {}, {}};
    for (std::vector<UTC_Par>* store : {&NavIC_UTC_Par, &BDS_UTC_Par}) {
        (*store)[0] = zero_a0;
        (*store)[1] = first;
        (*store)[2] = zero_a0;
        (*store)[3] = third;
    }
    NavIC_UTC_Par_n = BDS_UTC_Par_n = 4;
    EXPECT_EQ(capture(Add_NavIC_Nav_File_Time_corr),
              "IRUT  1.8626451492e-09 0.000000000e+00     14  900          TIME SYSTEM CORR\n"
              "IRUT -1.8626451492e-09 0.000000000e+00     21  902          TIME SYSTEM CORR\n");
    EXPECT_EQ(capture(Add_BDS_Nav_File_Time_corr),
              "BDUT  1.8626451492e-09 0.000000000e+00     14  900          TIME SYSTEM CORR\n"
              "BDUT -1.8626451492e-09 0.000000000e+00     21  902          TIME SYSTEM CORR\n");
}

// All GAUT lines (records with A0 not 0), then a GAGP line for every
// record with a0G not 0, at the offset's own reference time and week
// (t0G, WN0G), also where its week is not that of the UTC parameters.
TEST_F(TimeCorrLines, GalileoUtcLinesThenGpsOffsetLines) {
    GAL_UTC_Par[0].A0 = 0;  // no GAUT line, but a GAGP line
    GAL_UTC_Par[0].tot = 172800;
    GAL_UTC_Par[0].WNt = 2299;
    GAL_UTC_Par[0].a0G = static_cast<float>(P30);
    GAL_UTC_Par[0].t0G = 86400;
    GAL_UTC_Par[0].WN0G = 2299;
    GAL_UTC_Par[1].A0 = P29;
    GAL_UTC_Par[1].A1 = F50;
    GAL_UTC_Par[1].tot = 259200;
    GAL_UTC_Par[1].WNt = 2300;
    GAL_UTC_Par[1].a0G = 0;  // no GAGP line
    GAL_UTC_Par[2] = GAL_UTC_Par[1];
    GAL_UTC_Par[2].A0 = -P29;
    GAL_UTC_Par[2].a0G = static_cast<float>(-P30);
    GAL_UTC_Par[2].a1G = F50;
    GAL_UTC_Par[2].t0G = 345600;
    GAL_UTC_Par[2].WN0G = 2301;  // a week after WNt
    GAL_UTC_Par[3] = GAL_UTC_Par[2];  // at the count: not stored
    GAL_UTC_Par_n = 3;
    EXPECT_EQ(capture(Add_GAL_Nav_File_Time_corr),
              "GAUT  1.8626451492e-09 8.881784197e-16 259200 2300          TIME SYSTEM CORR\n"
              "GAUT -1.8626451492e-09 8.881784197e-16 259200 2300          TIME SYSTEM CORR\n"
              "GAGP  9.3132257462e-10 0.000000000e+00  86400 2299          TIME SYSTEM CORR\n"
              "GAGP -9.3132257462e-10 8.881784197e-16 345600 2301          TIME SYSTEM CORR\n");
}

// A count beyond the store is not followed past its end.
TEST_F(TimeCorrLines, CountBeyondTheStoreStopsAtItsEnd) {
    for (int i = 0; i < UTC_STORE_SIZE; ++i) {
        GPS_UTC_Par[i].A0 = P29;
        NavIC_UTC_Par[i].A0 = P29;
        BDS_UTC_Par[i].A0 = P29;
        GAL_UTC_Par[i].A0 = P29;
        GAL_UTC_Par[i].a0G = 1;
    }
    GPS_UTC_Par_n = NavIC_UTC_Par_n = BDS_UTC_Par_n = GAL_UTC_Par_n = UTC_STORE_SIZE + 50;
    for (auto w : {Add_GPS_Nav_File_Time_corr, Add_NavIC_Nav_File_Time_corr, Add_BDS_Nav_File_Time_corr}) {
        std::string out = capture(w);
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), UTC_STORE_SIZE);
    }
    std::string out = capture(Add_GAL_Nav_File_Time_corr);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2 * UTC_STORE_SIZE);
}

// GLONASS from the time message: GLUT a0 = -tau_c (the double), GLGP a0 =
// tau_GPS (the float), both with a1 = 0, T = 0 and W = 0. Without a
// message both are zeros.
TEST_F(TimeCorrLines, GlonassLinesAlwaysWritten) {
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr),
              "GLUT  0.0000000000e+00 0.000000000e+00      0    0          TIME SYSTEM CORR\n"
              "GLGP  0.0000000000e+00 0.000000000e+00      0    0          TIME SYSTEM CORR\n");
    GLO_Time_Par.corr0 = -P29;
    GLO_Time_Par.corr1 = static_cast<float>(P30);
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr),
              "GLUT  1.8626451492e-09 0.000000000e+00      0    0          TIME SYSTEM CORR\n"
              "GLGP  9.3132257462e-10 0.000000000e+00      0    0          TIME SYSTEM CORR\n");
    GLO_Time_Par.corr0 = P29;
    GLO_Time_Par.corr1 = static_cast<float>(-P30);
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr),
              "GLUT -1.8626451492e-09 0.000000000e+00      0    0          TIME SYSTEM CORR\n"
              "GLGP -9.3132257462e-10 0.000000000e+00      0    0          TIME SYSTEM CORR\n");
}

// Whatever the type, the signs and the width of the numbers, the fields
// and the label keep their columns.
TEST_F(TimeCorrLines, EveryTypeInTheSameColumns) {
    GPS_UTC_Par[0] = UTC_Par{-P29, -F50, 0, 604799, 2300, 18, 0, 0, 0, {}, {}};
    NavIC_UTC_Par[0] = UTC_Par{-P29, F50, 0, 0, 2300, 18, 0, 0, 0, {}, {}};
    BDS_UTC_Par[0] = UTC_Par{-P29, -F50, 0, 14, 900, 18, 0, 0, 0, {}, {}};
    BDS_UTC_Par[1] = UTC_Par{P29, F50, 0, 604784, 65535, 18, 0, 0, 0, {}, {}};
    GAL_UTC_Par[0].A0 = P29;
    GAL_UTC_Par[0].A1 = -F50;
    GAL_UTC_Par[0].a0G = static_cast<float>(P30);
    GAL_UTC_Par[0].a1G = -F50;
    GPS_UTC_Par_n = NavIC_UTC_Par_n = GAL_UTC_Par_n = 1;
    BDS_UTC_Par_n = 2;
    GLO_Time_Par.corr0 = P29;
    GLO_Time_Par.corr1 = static_cast<float>(-P30);
    std::string all;
    for (auto w : {Add_GPS_Nav_File_Time_corr, Add_NavIC_Nav_File_Time_corr, Add_BDS_Nav_File_Time_corr,
                   Add_GAL_Nav_File_Time_corr, Add_GLO_Nav_File_Time_corr})
        all += capture(w);
    EXPECT_EQ(all,
              "GPUT -1.8626451492e-09-8.881784197e-16 604799 2300          TIME SYSTEM CORR\n"
              "IRUT -1.8626451492e-09 8.881784197e-16      0 2300          TIME SYSTEM CORR\n"
              "BDUT -1.8626451492e-09-8.881784197e-16     14  900          TIME SYSTEM CORR\n"
              "BDUT  1.8626451492e-09 8.881784197e-16 60478465535          TIME SYSTEM CORR\n"
              "GAUT  1.8626451492e-09-8.881784197e-16      0    0          TIME SYSTEM CORR\n"
              "GAGP  9.3132257462e-10-8.881784197e-16      0    0          TIME SYSTEM CORR\n"
              "GLUT -1.8626451492e-09 0.000000000e+00      0    0          TIME SYSTEM CORR\n"
              "GLGP -9.3132257462e-10 0.000000000e+00      0    0          TIME SYSTEM CORR\n");
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.size(), 76u) << line;
        EXPECT_EQ(line.find("TIME SYSTEM CORR"), 60u) << line;
        EXPECT_EQ(line[4], ' ') << line;
    }
}

// The header numbers take a "D" exponent when written for RINEX 4.
TEST_F(TimeCorrLines, ExponentLetterFollowsTheVersion) {
    Rinex_Ver = 4.0;
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr),
              "GLUT  0.0000000000D+00 0.000000000D+00      0    0          TIME SYSTEM CORR\n"
              "GLGP  0.0000000000D+00 0.000000000D+00      0    0          TIME SYSTEM CORR\n");
    Rinex_Ver = 3.05;
    Iono_GPS[0] = klob(-std::ldexp(1.0f, -27));
    std::string out = capture(Add_GPS_Nav_File_iono);
    EXPECT_EQ(out.find('D'), std::string::npos);
}

// --------------------------------------------------- week and time of week

TEST(WeekTowToDate, GpsAndBeidouWeeks) {
    struct Case {
        uint16_t week;
        uint32_t tow;
        bool beidou;
        int date[6];
    };
    const Case cases[] = {
        {2300, 345600, false, {2024, 2, 8, 0, 0, 0}},
        {0, 0, false, {1980, 1, 6, 0, 0, 0}},
        {0, 86399, false, {1980, 1, 6, 23, 59, 59}},
        {2048, 0, false, {2019, 4, 7, 0, 0, 0}},
        {2296, 604800, false, {2024, 1, 14, 0, 0, 0}},
        {65535, 4294967295u, false, {3372, 2, 12, 6, 28, 15}},  // no overflow in the sum
        {900, 0, true, {2023, 4, 2, 0, 0, 0}},
        {65535, 0, true, {2005, 12, 25, 0, 0, 0}},  // week + 1356 kept to 16 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.week);
        int d[6] = {-1, -1, -1, -1, -1, -1};
        if (c.beidou)
            BDS_week_tow_to_date(c.week, c.tow, d);
        else
            GPS_week_tow_to_date(c.week, c.tow, d);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(d[i], c.date[i]) << i;
    }
}

// ------------------------------------------------------- RINEX 4 STO records

namespace {
// The 18 blank columns of the missing SBAS identifier, with the blanks
// around them.
const std::string NO_SBAS = " " + std::string(18, ' ') + " ";
// An identifier left-adjusted in 18 columns.
std::string id18(const std::string& id) { return id + std::string(18 - id.size(), ' '); }
// Friday 2024-03-15 12:34:56.789 and Saturday 2024-03-16 23:59:59 in GPS
// time, and their transmission-time fields.
const Epoch_ms FRI = at(2024, 3, 15, 45296789), SAT = at(2024, 3, 16, 86399000);
const std::string TX_FRI = "     4.772967890000e+05", TX_SAT = "     6.047990000000e+05";
}  // namespace

// Line 3: the transmission time of the message (its reception time, in
// seconds of the week) from column 5, then a0, a1 and a2.
TEST(StoRecords, GpsRecordsUpToTheCount) {
    GPS_UTC_Par[0] = UTC_Par{-P29, F50, 0, 345600, 2300, 18, 0, 0, 0, {}, FRI};
    GPS_UTC_Par[1] = UTC_Par{0, 0, 0, 0, 2300, 18, 0, 0, 0, {}, SAT};  // A0 = 0 is still written
    GPS_UTC_Par[2] = GPS_UTC_Par[0];                                   // so is a repeat
    GPS_UTC_Par[3] = GPS_UTC_Par[0];                                   // at the count: not written
    GPS_UTC_Par_n = 3;
    const std::string first = "> STO G   LNAV\n"
                              "    2024 02 08 00 00 00 " + id18("GPUT") + NO_SBAS + id18("UTC(USNO)") + "\n" +
                              TX_FRI + "-1.862645149231e-09 8.881784197001e-16 0.000000000000e+00\n";
    const std::string second = "> STO G   LNAV\n"
                               "    2024 02 04 00 00 00 " + id18("GPUT") + NO_SBAS + id18("UTC(USNO)") + "\n" +
                               TX_SAT + " 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n";
    EXPECT_EQ(capture(Add_GPS_Nav_File_Time_corr_mixed), first + second + first);
}

// BeiDou's transmission time is in seconds of the BeiDou week, 14 s behind.
TEST(StoRecords, EachSystemsHeadAndIdentifiers) {
    struct Case {
        int (*writer)(std::ofstream&);
        UTC_Par* rec;
        int32_t* count;
        uint16_t week;
        const char* head;
        const char* id;
        const char* utc_id;
        const char* tx;
    };
    const Case cases[] = {
        {Add_QZSS_Nav_File_Time_corr_mixed, &QZSS_UTC_Par[0], &QZSS_UTC_Par_n, 2300, "> STO J   LNAV", "QZUT",
         "UTC(NICT)", " 4.772967890000e+05"},
        {Add_NavIC_Nav_File_Time_corr_mixed, &NavIC_UTC_Par[0], &NavIC_UTC_Par_n, 2300, "> STO I   LNAV", "IRUT",
         "UTCIRN", " 4.772967890000e+05"},
        {Add_BDS_Nav_File_Time_corr_mixed, &BDS_UTC_Par[0], &BDS_UTC_Par_n, 944, "> STO C   D1D2", "BDUT",
         "UTC(NTSC)", " 4.772827890000e+05"},
        {Add_GAL_Nav_File_Time_corr_mixed, &GAL_UTC_Par[0], &GAL_UTC_Par_n, 2300, "> STO E   IFNV", "GAUT",
         "UTCGAL", " 4.772967890000e+05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        EXPECT_EQ(capture(c.writer), "");  // count 0
        c.rec->A0 = P29;
        c.rec->tot = 345600;
        c.rec->WNt = c.week;
        c.rec->received = FRI;
        *c.count = 1;
        const std::string want = std::string(c.head) + "\n    2024 02 08 00 00 00 " + id18(c.id) + NO_SBAS +
                                 id18(c.utc_id) + "\n    " + c.tx +
                                 " 1.862645149231e-09 0.000000000000e+00 0.000000000000e+00\n";
        EXPECT_EQ(capture(c.writer).substr(0, want.size()), want);  // Galileo's GAGP record follows
        *c.count = -1;
        EXPECT_EQ(capture(c.writer), "");
    }
}

// Galileo: after the GAUT records, a GAGP record (GPS to Galileo time)
// from each stored record, also one whose a0G is 0: dated by WN0G and t0G,
// no UTC identifier, a0G and a1G, and no a2.
TEST(StoRecords, GalileoGpsOffsetRecordsAfterTheUtcRecords) {
    UTC_GGTO_Par& r0 = GAL_UTC_Par[0];
    r0.A0 = P29;
    r0.A1 = F50;
    r0.tot = 345600;
    r0.WNt = 2300;
    r0.received = FRI;
    r0.a0G = static_cast<float>(-P30);
    r0.a1G = F50;
    r0.t0G = 432000;
    r0.WN0G = 2300;
    UTC_GGTO_Par& r1 = GAL_UTC_Par[1];
    r1.A0 = -P29;
    r1.WNt = 2301;
    r1.received = SAT;
    r1.WN0G = 2301;
    GAL_UTC_Par_n = 2;
    const std::string head = "> STO E   IFNV\n    ";
    EXPECT_EQ(capture(Add_GAL_Nav_File_Time_corr_mixed),
              head + "2024 02 08 00 00 00 " + id18("GAUT") + NO_SBAS + id18("UTCGAL") + "\n" + TX_FRI +
                  " 1.862645149231e-09 8.881784197001e-16 0.000000000000e+00\n" +
              head + "2024 02 11 00 00 00 " + id18("GAUT") + NO_SBAS + id18("UTCGAL") + "\n" + TX_SAT +
                  "-1.862645149231e-09 0.000000000000e+00 0.000000000000e+00\n" +
              head + "2024 02 09 00 00 00 " + id18("GAGP") + NO_SBAS + id18("") + "\n" + TX_FRI +
                  "-9.313225746155e-10 8.881784197001e-16 0.000000000000e+00\n" +
              head + "2024 02 11 00 00 00 " + id18("GAGP") + NO_SBAS + id18("") + "\n" + TX_SAT +
                  " 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n");
}

TEST(StoRecords, CountBeyondTheStoreStopsAtItsEnd) {
    GPS_UTC_Par_n = UTC_STORE_SIZE + 50;
    GAL_UTC_Par_n = UTC_STORE_SIZE + 50;
    std::string out = capture(Add_GPS_Nav_File_Time_corr_mixed);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3 * UTC_STORE_SIZE);
    out = capture(Add_GAL_Nav_File_Time_corr_mixed);  // GAUT and GAGP
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2 * 3 * UTC_STORE_SIZE);
}

// GLONASS: a GLUT record (to UTC(SU), a0 = -tau_c) and a GLGP record
// (a0 = tau_GPS, the sign of the 3.05 line), dated by the day of the time
// message and with its reception time; none without a message, whose
// record of zeros would carry no date.
TEST(StoRecords, GlonassRecordsOfTheTimeMessage) {
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr_mixed), "");
    GLO_Time_Par.corr0 = -P29;
    GLO_Time_Par.corr1 = static_cast<float>(-P30);
    GLO_Time_Par.has_message = true;
    GLO_Time_Par.received = FRI;
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr_mixed),
              "> STO R   FDMA\n"
              "    2024 03 15 00 00 00 GLUT                                  UTC(SU)           \n" +
                  TX_FRI + " 1.862645149231e-09 0.000000000000e+00 0.000000000000e+00\n"
              "> STO R   FDMA\n"
              "    2024 03 15 00 00 00 GLGP                                                    \n" +
                  TX_FRI + "-9.313225746155e-10 0.000000000000e+00 0.000000000000e+00\n");
    // A message of zeros is a message: its values are written.
    GLO_Time_Par.corr0 = 0;
    GLO_Time_Par.corr1 = 0;
    GLO_Time_Par.received = SAT;
    EXPECT_EQ(capture(Add_GLO_Nav_File_Time_corr_mixed),
              "> STO R   FDMA\n"
              "    2024 03 16 00 00 00 GLUT                                  UTC(SU)           \n" +
                  TX_SAT + " 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
              "> STO R   FDMA\n"
              "    2024 03 16 00 00 00 GLGP                                                    \n" +
                  TX_SAT + " 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n");
}

TEST(StoRecords, SbasWritesNothing) {
    SBAS_UTC_Par[0].A0 = 1;
    SBAS_UTC_Par_n = 1;
    EXPECT_EQ(capture(Add_SBAS_Nav_File_Time_corr_mixed), "");
}

// ------------------------------------------------------- RINEX 4 ION records

namespace {
// Lines 3 and 4 of every Klobuchar record built by klob().
const std::string KLOB_TAIL = "    -5.960464477539e-08 9.011200000000e+04 1.638400000000e+04-1.310720000000e+05\n"
                              "    -2.621440000000e+05\n";
}  // namespace

// A record per stored record with a non-zero alpha0: one with alpha0 = 0
// is left out and the records after it are still written. A negative
// alpha0 fills its 19 columns and touches the seconds field.
TEST(IonRecords, KlobucharRecordsOfTheStoredRecords) {
    struct Case {
        int (*writer)(std::ofstream&);
        std::vector<Iono_Par>* store;
        int32_t* count;
        const char* head;
    };
    const Case cases[] = {
        {Add_GPS_Nav_File_iono_mixed, &Iono_GPS, &GPS_ION_Par_n, "> ION G   LNAV\n"},
        {Add_QZSS_Nav_File_iono_mixed, &Iono_QZSS, &QZSS_ION_Par_n, "> ION J   LNAV\n"},
        {Add_NavIC_Nav_File_iono_mixed, &Iono_NavIC, &NavIC_ION_Par_n, "> ION I   LNAV\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        zeros_among_records(*c.store);
        (*c.store)[3].received = at(2024, 3, 15, 45299600);  // 12:34:59.600: the whole second
        EXPECT_EQ(capture(c.writer), "");
        *c.count = 4;
        EXPECT_EQ(capture(c.writer),
                  std::string(c.head) + "    2024 03 15 12 34 56-7.450580596924e-09 1.490116119385e-08 0.000000000000e+00\n" +
                      KLOB_TAIL + c.head +
                      "    2024 03 15 12 34 59 5.960464477539e-08 1.490116119385e-08 0.000000000000e+00\n" + KLOB_TAIL);
    }
}

TEST(IonRecords, QzssRecordsOnlyFromTheQzssStore) {
    Iono_GPS[0] = klob(1e-8f);
    GPS_ION_Par_n = 1;
    EXPECT_EQ(capture(Add_QZSS_Nav_File_iono_mixed), "");
}

TEST(IonRecords, KlobucharCountBeyondTheStoreStopsAtItsEnd) {
    for (int i = 0; i < IONO_STORE_SIZE; ++i) Iono_NavIC[i] = klob(1e-8f);
    NavIC_ION_Par_n = IONO_STORE_SIZE + 500;
    std::string out = capture(Add_NavIC_Nav_File_iono_mixed);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4 * IONO_STORE_SIZE);
}

// BeiDou: plausible records only, headed by the satellite, dated to the
// whole second of their reception.
TEST(IonRecords, BeidouPlausibleRecordsWithSatellite) {
    Iono_BDS[0] = bds(0, "A");
    Iono_BDS[1] = bds(7, "A");
    Iono_BDS[1].received = at(2024, 3, 15, 86399600);
    Iono_BDS[2] = bds(12, "A");
    BDS_ION_Par_n = 2;
    EXPECT_EQ(capture(Add_BDS_Nav_File_iono_mixed),
              "> ION C07 D1D2\n"
              "    2024 03 15 23 59 59-7.450580596924e-09 1.490116119385e-08 0.000000000000e+00\n" +
                  KLOB_TAIL);
    BDS_ION_Par_n = IONO_STORE_SIZE * 3;
    std::string out = capture(Add_BDS_Nav_File_iono_mixed);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 8);
}

// Galileo: one record from the first ephemeris record; none without a
// Galileo ephemeris, whose empty record would state zeros at no date.
TEST(IonRecords, GalileoRecordOfTheFirstEphemeris) {
    EXPECT_EQ(capture(Add_GAL_Nav_File_iono_mixed), "");
    GAL_Eph[0].SV = 11;
    GAL_Eph[0].ai0 = 62.25f;
    GAL_Eph[0].ai1 = -0.1796875f;
    GAL_Eph[0].ai2 = 0.01171875f;
    GAL_Eph[0].iono_flags = 0x25;  // bits above bit 4 are dropped
    set_date(GAL_Eph[0].clock_epoch, 2024, 3, 5, 14, 0, 0);
    GAL_Eph[1] = GAL_Eph[0];
    GAL_Eph[1].ai0 = 99.0f;
    GAL_SV_index = 2;
    EXPECT_EQ(capture(Add_GAL_Nav_File_iono_mixed),
              "> ION E   IFNV\n"
              "    2024 03 05 14 00 00 6.225000000000e+01-1.796875000000e-01 1.171875000000e-02\n"
              "     5.000000000000e+00\n");
}
