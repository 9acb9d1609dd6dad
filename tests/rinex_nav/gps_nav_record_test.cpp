// GPS and QZSS navigation records: LNAV, CNAV and CNAV-2 layouts as whole
// text, the choice of records per RINEX version, the transmission-time
// adjustment, and the shared value format.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "decode/Decode_func.h"
#include "rinex_nav/Rin_NAV_Data_record.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using rinexcap::capture;
using storedate::set_epoch;

namespace {

// An LNAV record whose every field has its own value.
void fill_lnav(GPS_Ephemeris& r) {
    r.SV = 1;
    r.type = "LNAV";
    set_epoch(r.clock_epoch, 2024, 3, 5, 14, 0, 0);
    r.af0 = -4.5f;
    r.af1 = 0.125f;
    r.af2 = 0;
    r.IODE = 10;
    r.Crs = -1.5f;
    r.delta_n = 0.25f;
    r.M0 = 0.1;
    r.Cuc = 2.0f;
    r.e = 0.01;
    r.Cus = -0.0625f;
    r.sqrtA = 5153.5;
    r.toe = 7200;
    r.Cic = 0;
    r.OMEGA0 = -1e-100;
    r.Cis = 3.0f;
    r.i0 = 0.1;  // not a float: written whole
    r.Crc = 200.0f;
    r.omega = 1e100;
    r.OMEGA_DOT = -8.0f;
    r.IDOT = 0.5f;
    r.flags = 4;
    r.week = 2296;
    r.accuracy = 2;
    r.health = 0;
    r.TGD = -0.25f;
    r.IODC = 10;
    r.tx_time = 604000;
    r.fit_interval = 4.0f;
}

const char* const lnav_body =
    "G01 2024 03 05 14 00 00-4.500000000000e+00 1.250000000000e-01 0.000000000000e+00\n"
    "     1.000000000000e+01-1.500000000000e+00 2.500000000000e-01 1.000000000000e-01\n"
    "     2.000000000000e+00 1.000000000000e-02-6.250000000000e-02 5.153500000000e+03\n"
    "     7.200000000000e+03 0.000000000000e+00-1.000000000000e-100 3.000000000000e+00\n"
    "     1.000000000000e-01 2.000000000000e+021.000000000000e+100-8.000000000000e+00\n"
    "     5.000000000000e-01 1.000000000000e+00 2.296000000000e+03 0.000000000000e+00\n"
    "     2.000000000000e+00 0.000000000000e+00-2.500000000000e-01 1.000000000000e+01\n"
    "    -8.000000000000e+02 4.000000000000e+00\n";

// A CNAV record; CNAV-2 differs in its type and last lines. A-dot and i0
// are not floats, and af0 plus the clock-bias addend is not one either:
// all three are written whole.
void fill_cnav(GPS_Ephemeris& r, uint32_t sv, const char* type) {
    r.SV = sv;
    r.type = type;
    set_epoch(r.clock_epoch, 2024, 1, 9, 0, 0, 0);
    r.af0 = 1.0f;
    r.clock_bias_addend = std::ldexp(1.0f, -30);
    r.af1 = -1.0f;
    r.A_dot = 0.1;
    r.Crs = 8.0f;
    r.M0 = -2.0;
    r.t_op = 3600;
    r.i0 = 0.3;
    r.delta_n_dot = 0.25f;
    r.URA_NED0 = 1;
    r.URA_NED1 = 2;
    r.URA_ED = 255;
    r.health = 0xFFFFFFFF;
    r.URA_NED2 = 3;
    r.ISC[0] = 1;
    r.ISC[1] = 2;
    r.ISC[2] = -3;
    r.ISC[3] = 4;
    r.ISC_L1C[0] = 0.75f;
    r.ISC_L1C[1] = -0.125f;
    r.toc = 600000;
    r.toe = 601000;
    r.tx_time = 1000;
    r.week = 2296;
    r.toc_week = 2296;
}

std::string cnav_common(const char* sv) {
    return std::string(sv) +
           " 2024 01 09 00 00 00 1.000000000931e+00-1.000000000000e+00 0.000000000000e+00\n"
           "     1.000000000000e-01 8.000000000000e+00 0.000000000000e+00-2.000000000000e+00\n"
           "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
           "     3.600000000000e+03 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
           "     3.000000000000e-01 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
           "     0.000000000000e+00 2.500000000000e-01 1.000000000000e+00 2.000000000000e+00\n"
           "     2.550000000000e+02-1.000000000000e+00 0.000000000000e+00 3.000000000000e+00\n";
}

}  // namespace

TEST(GpsNavRecord, LnavRinex305HasNoHeaderLine) {
    Rinex_Ver = 3.05;
    fill_lnav(GPS_Eph[0]);
    EXPECT_EQ(capture(Add_GPS_Ephemeris), lnav_body);
}

TEST(GpsNavRecord, LnavRinex4) {
    Rinex_Ver = 4.01;
    fill_lnav(GPS_Eph[0]);
    EXPECT_EQ(capture(Add_GPS_Ephemeris), std::string("> EPH G01 LNAV\n") + lnav_body);
}

TEST(GpsNavRecord, CnavRecord) {
    Rinex_Ver = 4.0;
    fill_cnav(GPS_Eph[0], 2, "CNAV");
    const std::string want =
        "> EPH G02 CNAV\n" + cnav_common("G02") +
        "     1.000000000000e+00 2.000000000000e+00-3.000000000000e+00 4.000000000000e+00\n"
        "     6.058000000000e+05 2.296000000000e+03\n";
    EXPECT_EQ(capture(Add_GPS_Ephemeris), want);
}

TEST(GpsNavRecord, Cnav2Record) {
    Rinex_Ver = 4.0;
    fill_cnav(GPS_Eph[0], 3, "CNV2");
    GPS_Eph[0].tx_time = 302400;  // exactly half a week before toc: unchanged
    GPS_Eph[0].toc = 604800;
    const std::string want = "> EPH G03 CNV2\n" + cnav_common("G03") + std::string(80, ' ') + "\n" +
                             "    -1.250000000000e-01 7.500000000000e-01\n"
                             "     3.024000000000e+05 2.296000000000e+03\n";
    EXPECT_EQ(capture(Add_GPS_Ephemeris), want);
}

// The QZSS LNAV record is the GPS one but for two fields: orbit line 5
// field 4, the L2 P data flag, is 1 (QZSS has no L2 P code), and orbit line
// 7 field 2 is the fit-interval flag (0: the normal fit, 1: longer).
TEST(GpsNavRecord, QzssAlwaysRinex4WithOffsetNumbersAndFlags) {
    Rinex_Ver = 3.05;
    fill_lnav(QZSS_Eph[0]);
    QZSS_Eph[0].SV = 199;
    const std::string want =
        "> EPH J07 LNAV\n"
        "J07 2024 03 05 14 00 00-4.500000000000e+00 1.250000000000e-01 0.000000000000e+00\n"
        "     1.000000000000e+01-1.500000000000e+00 2.500000000000e-01 1.000000000000e-01\n"
        "     2.000000000000e+00 1.000000000000e-02-6.250000000000e-02 5.153500000000e+03\n"
        "     7.200000000000e+03 0.000000000000e+00-1.000000000000e-100 3.000000000000e+00\n"
        "     1.000000000000e-01 2.000000000000e+021.000000000000e+100-8.000000000000e+00\n"
        "     5.000000000000e-01 1.000000000000e+00 2.296000000000e+03 1.000000000000e+00\n"
        "     2.000000000000e+00 0.000000000000e+00-2.500000000000e-01 1.000000000000e+01\n"
        "    -8.000000000000e+02 0.000000000000e+00\n";
    EXPECT_EQ(capture(Add_QZSS_Ephemeris), want);
}

// The last line of an LNAV record by its stored fit interval: GPS writes
// the hours, QZSS the flag.
TEST(GpsNavRecord, FitIntervalHoursAndQzssFlag) {
    struct Case {
        float fit;
        const char *gps, *qzss;
    };
    const Case cases[] = {
        {0.0f, "    -8.000000000000e+02 0.000000000000e+00\n", "    -8.000000000000e+02 0.000000000000e+00\n"},
        {4.0f, "    -8.000000000000e+02 4.000000000000e+00\n", "    -8.000000000000e+02 0.000000000000e+00\n"},
        {6.0f, "    -8.000000000000e+02 6.000000000000e+00\n", "    -8.000000000000e+02 1.000000000000e+00\n"},
    };
    Rinex_Ver = 4.0;
    for (const Case& c : cases) {
        fill_lnav(GPS_Eph[0]);
        fill_lnav(QZSS_Eph[0]);
        QZSS_Eph[0].SV = 193;
        GPS_Eph[0].fit_interval = QZSS_Eph[0].fit_interval = c.fit;
        EXPECT_TRUE(capture(Add_GPS_Ephemeris).ends_with(c.gps)) << c.fit;
        EXPECT_TRUE(capture(Add_QZSS_Ephemeris).ends_with(c.qzss)) << c.fit;
    }
}

TEST(GpsNavRecord, RecordsChosenByVersionInStoreOrder) {
    // Slots: LNAV, empty, CNAV, unknown type, CNV2, ..., LNAV in the last slot.
    fill_lnav(GPS_Eph[0]);
    fill_cnav(GPS_Eph[2], 4, "CNAV");
    fill_cnav(GPS_Eph[3], 5, "XNAV");
    fill_cnav(GPS_Eph[4], 6, "CNV2");
    fill_lnav(GPS_Eph[EPH_STORE_SIZE - 1]);
    GPS_Eph[EPH_STORE_SIZE - 1].SV = 32;

    auto heads = [](const std::string& text) {
        std::string h;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line[0] != ' ') h += line.substr(0, 3) + (line[0] == '>' ? line.substr(6) : "") + ";";
        return h;
    };
    Rinex_Ver = 3.05;
    EXPECT_EQ(heads(capture(Add_GPS_Ephemeris)), "G01;G32;");
    Rinex_Ver = 4.0;
    EXPECT_EQ(heads(capture(Add_GPS_Ephemeris)),
              "> EG01 LNAV;G01;> EG04 CNAV;G04;> EG06 CNV2;G06;> EG32 LNAV;G32;");
}

TEST(GpsNavRecord, EmptyStoreWritesNothing) {
    Rinex_Ver = 4.0;
    EXPECT_EQ(capture(Add_GPS_Ephemeris), "");
    EXPECT_EQ(capture(Add_QZSS_Ephemeris), "");
}

TEST(GpsNavRecord, TransmissionTimeAdjustment) {
    struct Case {
        uint32_t tx;
        int32_t toe;
        const char* last;
    };
    const Case cases[] = {
        {604000, 7200, "    -8.000000000000e+02"},  // 596800 after toe: a week back
        {1000, 600000, "     6.058000000000e+05"},  // 599000 before toe: a week on
        {309600, 7200, "     3.096000000000e+05"},  // exactly half a week after: unchanged
        {309601, 7200, "    -2.951990000000e+05"},
        {0, 302400, "     0.000000000000e+00"},  // exactly half a week before: unchanged
    };
    Rinex_Ver = 4.0;
    for (const Case& c : cases) {
        fill_lnav(GPS_Eph[0]);
        GPS_Eph[0].tx_time = c.tx;
        GPS_Eph[0].toe = c.toe;
        const std::string text = capture(Add_GPS_Ephemeris);
        const size_t last = text.rfind('\n', text.size() - 2) + 1;
        EXPECT_EQ(text.substr(last, 23), c.last) << c.tx << " " << c.toe;
    }
}

TEST(GpsNavRecord, FlagBitsOfLnav) {
    struct Case {
        uint8_t flags;
        const char* line;
    };
    const Case cases[] = {
        {6, "     5.000000000000e-01 1.000000000000e+00 2.296000000000e+03 1.000000000000e+00"},
        {4, "     5.000000000000e-01 1.000000000000e+00 2.296000000000e+03 0.000000000000e+00"},
        {2, "     5.000000000000e-01 0.000000000000e+00 2.296000000000e+03 1.000000000000e+00"},
        {0xF9, "     5.000000000000e-01 0.000000000000e+00 2.296000000000e+03 0.000000000000e+00"},
    };
    Rinex_Ver = 3.05;
    for (const Case& c : cases) {
        fill_lnav(GPS_Eph[0]);
        GPS_Eph[0].flags = c.flags;
        const std::string text = capture(Add_GPS_Ephemeris);
        EXPECT_NE(text.find(std::string(c.line) + "\n"), std::string::npos) << int(c.flags);
    }
}

TEST(NavRecordFormat, ValueFields) {
    struct Case {
        double v;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.0, " 0.000000000000e+00"},      {0.00012345678901234, " 1.234567890123e-04"},
        {-4.5, "-4.500000000000e+00"},     {-1.0, "-1.000000000000e+00"},
        {2300, " 2.300000000000e+03"},     {1e-300, "1.000000000000e-300"},
        {-1e-300, "-1.000000000000e-300"}, {nan, "                nan"},
        {-nan, "               -nan"},     {inf, "                inf"},
        {-inf, "               -inf"},
    };
    for (const Case& c : cases) {
        std::string s;
        nav_value(s, c.v);
        EXPECT_EQ(s, c.text);
        // The value wrapper gives what inserting the double would give.
        std::ostringstream a, b;
        a << std::scientific << std::setprecision(12) << std::setw(19) << format_OUT{c.v} << '|';
        b << std::scientific << std::setprecision(12) << std::setw(19) << c.v << '|';
        EXPECT_EQ(a.str(), b.str());
        EXPECT_EQ(a.str(), std::string(c.text) + "|");
    }
    std::string blank;
    nav_blank(blank);
    EXPECT_EQ(blank, std::string(19, ' '));
}

TEST(NavRecordFormat, SatelliteEpochLineStart) {
    const double date[6] = {2024, 3, 5, 9, 0, 59.6};
    std::string s;
    nav_sv_epoch(s, "G", 1, date);
    EXPECT_EQ(s, "G01 2024 03 05 09 00 60");
}

TEST(NavRecordFormat, WeekAndSecondsToDate) {
    struct Case {
        int week;
        double seconds;
        int date[6];
    };
    const Case cases[] = {
        {0, 0, {1980, 1, 6, 0, 0, 0}},
        {0, 86399.5, {1980, 1, 6, 23, 59, 59}},
        {2048, 0, {2019, 4, 7, 0, 0, 0}},
        {0, -1, {1980, 1, 5, 23, 59, 59}},
        {2296, 604799.9, {2024, 1, 13, 23, 59, 59}},
        {-1, 0, {1979, 12, 30, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        int d[6];
        GPS_week_tow_to_date(c.week, c.seconds, d);
        for (int k = 0; k < 6; ++k) EXPECT_EQ(d[k], c.date[k]) << c.week << " " << c.seconds << " " << k;
    }
}
