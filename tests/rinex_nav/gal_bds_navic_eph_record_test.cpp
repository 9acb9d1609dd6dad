// Galileo, BeiDou and NavIC navigation records: whole records of every
// message kind in RINEX 3.05 and RINEX 4, which kinds each version carries,
// the satellite-number bounds and the empty slots of the store walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "rinex_nav/Rin_NAV_Data_record.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using rinexcap::capture;
using storedate::set_epoch;

namespace {

// One Keplerian head; every field has its own value so that a value in the
// wrong column shows.
void fill_kepler(Kepler_head& h) {
    h.SV = 11;
    h.tx_time = 604000;
    h.flags = 6;
    h.IODC = 97;
    h.toc = 3600;
    h.accuracy = 4;
    h.health = 2;
    h.week = 2296;
    h.TGD = -1.5e-9f;
    h.af2 = 0.0f;
    h.af1 = -7.5e-12f;
    h.af0 = -3.25e-4f;
    h.toe = 3600;
    h.IODE = 97;
    h.sqrtA = 5440.612;
    h.e = 2.1e-4;
    h.M0 = -1.1;
    h.OMEGA0 = 2.05;
    h.i0 = 0.9567;  // not a float: written whole
    h.omega = -0.6;
    h.delta_n = 3.1e-9f;
    h.OMEGA_DOT = -5.6e-9f;
    h.IDOT = 1.2e-10f;
    h.Crc = 187.5f;
    h.Crs = -20.25f;
    h.Cuc = -1.1e-6f;
    h.Cus = 7.3e-6f;
    h.Cic = 3.7e-8f;
    h.Cis = -5.2e-8f;
}

// Galileo: an I/NAV record in slot 0, an empty slot, an F/NAV record of the
// same satellite in slot 2. The I/NAV record is sent late in the week
// (604000 s) for a toe early in it, written without week adjustment.
void fill_galileo() {
    GAL_Ephemeris& a = GAL_Eph[0];
    fill_kepler(a);
    set_epoch(a.clock_epoch, 2024, 3, 5, 14, 10, 0);
    a.type = "INAV";
    a.data_source_word = 517;
    a.SISA = 3.12f;
    a.BGD_E5a = -2.3e-9f;
    a.BGD_E5b = -2.6e-9f;

    GAL_Ephemeris& b = GAL_Eph[2];
    fill_kepler(b);
    set_epoch(b.clock_epoch, 2024, 3, 5, 14, 10, 0);
    b.type = "FNAV";
    b.data_source_word = 258;
    b.SISA = -1.0f;
    b.BGD_E5a = 4.5e-9f;
    b.BGD_E5b = 0.0f;
    b.af0 = 1.25e-5f;
    b.tx_time = 3000;
    b.IODE = 98;
    b.health = 0;
}

const char* GAL_V4 = R"(> EPH E11 INAV
E11 2024 03 05 14 10 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     9.700000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.600000000000e+03 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 5.170000000000e+02 2.296000000000e+03 0.000000000000e+00
     3.119999885559e+00 2.000000000000e+00-2.299999968258e-09-2.599999993080e-09
     6.040000000000e+05
> EPH E11 FNAV
E11 2024 03 05 14 10 00 1.249999968422e-05-7.499999753191e-12 0.000000000000e+00
     9.800000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.600000000000e+03 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 2.580000000000e+02 2.296000000000e+03 0.000000000000e+00
    -1.000000000000e+00 0.000000000000e+00 4.499999928242e-09 0.000000000000e+00
     3.000000000000e+03
)";

const char* GAL_V305 = R"(E11 2024 03 05 14 10 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     9.700000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.600000000000e+03 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 5.170000000000e+02 2.296000000000e+03 0.000000000000e+00
     3.119999885559e+00 2.000000000000e+00-2.299999968258e-09-2.599999993080e-09
     6.040000000000e+05
E11 2024 03 05 14 10 00 1.249999968422e-05-7.499999753191e-12 0.000000000000e+00
     9.800000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.600000000000e+03 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 2.580000000000e+02 2.296000000000e+03 0.000000000000e+00
    -1.000000000000e+00 0.000000000000e+00 4.499999928242e-09 0.000000000000e+00
     3.000000000000e+03
)";

// BeiDou: D1, D2, CNV1, CNV2, CNV3 and a record without a type, then an
// empty slot.
void fill_bds_record(int slot, uint32_t sv, const char* type) {
    BDS_Ephemeris& r = BDS_Eph[slot];
    fill_kepler(r);
    set_epoch(r.clock_epoch, 2024, 3, 5, 1, 0, 0);
    r.SV = sv;
    r.type = type;
    r.TGD2 = -2.5e-9f;
    r.AODC = 7;
    r.AODE = 9;
    r.A_dot = 0.0123456789;  // not a float: written whole
    r.delta_n_dot = 2.0e-13f;
    r.cnav_accuracy = 2.75f;
    r.week = 945;
    r.tx_time = 345600;
    r.toe = 349200;
}
void fill_beidou() {
    fill_bds_record(0, 6, "D1");
    fill_bds_record(1, 1, "D2");
    BDS_Eph[1].AODC = 1;
    BDS_Eph[1].AODE = 1;
    BDS_Eph[1].health = 0;
    fill_bds_record(2, 21, "CNV1");
    BDS_Eph[2].IODC = 301;
    BDS_Eph[2].IODE = 45;
    fill_bds_record(3, 22, "CNV2");
    BDS_Eph[3].IODC = 302;
    BDS_Eph[3].IODE = 46;
    BDS_Eph[3].tx_time = 345700;
    fill_bds_record(4, 23, "CNV3");
    BDS_Eph[4].tx_time = 345800;
    fill_bds_record(5, 24, "");
}

// The CNAV records carry their orbit lines 5-9 as the RINEX 4 tables lay
// them out: IDOT, Delta n0 dot, satellite type, t_op; SISAI_oe (the CNAV
// accuracy value), SISAI_ocb, SISAI_oc1, SISAI_oc2; then CNAV-1 ISC_B1Cd,
// spare / CNAV-2 spare, ISC_B2ad, and TGD_B1Cp (TGD1), TGD_B2ap (TGD2);
// SISMAI (the head's accuracy), health, integrity flags, IODC;
// transmission time, spare, spare, IODE. CNAV-3 ends with SISMAI, health,
// integrity flags, TGD_B2bI (TGD2) and the transmission time. Values the
// log does not carry are 0.
// The record without a type ends after its clock line; its header line
// keeps the blank after the satellite number ("> EPH C24 ", trailing blank).
const char* BDS_V4 = R"(> EPH C06 D1
C06 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     9.000000000000e+00-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 0.000000000000e+00 9.450000000000e+02 0.000000000000e+00
     4.000000000000e+00 2.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     3.456000000000e+05 7.000000000000e+00
> EPH C01 D2
C01 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     1.000000000000e+00-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 0.000000000000e+00 9.450000000000e+02 0.000000000000e+00
     4.000000000000e+00 0.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     3.456000000000e+05 1.000000000000e+00
> EPH C21 CNV1
C21 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     1.234567890000e-02-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 1.999999964903e-13 0.000000000000e+00 0.000000000000e+00
     2.750000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00
     0.000000000000e+00 0.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     4.000000000000e+00 2.000000000000e+00 0.000000000000e+00 3.010000000000e+02
     3.456000000000e+05 0.000000000000e+00 0.000000000000e+00 4.500000000000e+01
> EPH C22 CNV2
C22 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     1.234567890000e-02-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 1.999999964903e-13 0.000000000000e+00 0.000000000000e+00
     2.750000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00
     0.000000000000e+00 0.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     4.000000000000e+00 2.000000000000e+00 0.000000000000e+00 3.020000000000e+02
     3.457000000000e+05 0.000000000000e+00 0.000000000000e+00 4.600000000000e+01
> EPH C23 CNV3
C23 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     1.234567890000e-02-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 1.999999964903e-13 0.000000000000e+00 0.000000000000e+00
     2.750000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00
     4.000000000000e+00 2.000000000000e+00 0.000000000000e+00-2.499999984806e-09
     3.458000000000e+05
> EPH C24 
C24 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
)";

const char* BDS_V305 = R"(C06 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     9.000000000000e+00-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 0.000000000000e+00 9.450000000000e+02 0.000000000000e+00
     4.000000000000e+00 2.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     3.456000000000e+05 7.000000000000e+00
C01 2024 03 05 01 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00
     1.000000000000e+00-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00
    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03
     3.492000000000e+05 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08
     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09
     1.199999960511e-10 0.000000000000e+00 9.450000000000e+02 0.000000000000e+00
     4.000000000000e+00 0.000000000000e+00-1.500000013088e-09-2.499999984806e-09
     3.456000000000e+05 1.000000000000e+00
)";

// NavIC: satellite 5 (transmitted 604000 s into the week of toe 0, with a
// fit interval that the record has no field for), 257 (out of range, not
// written) and 256.
void fill_navic() {
    NavIC_Ephemeris& a = NavIC_Eph[0];
    fill_kepler(a);
    a.SV = 5;
    a.fit_interval = 4.0f;
    a.flags = 4;
    a.toe = 0;
    a.toc = 0;
    set_epoch(a.clock_epoch, 2024, 3, 10, 0, 0, 0);

    NavIC_Ephemeris& b = NavIC_Eph[1];
    fill_kepler(b);
    b.SV = 257;
    set_epoch(b.clock_epoch, 2024, 3, 5, 14, 10, 0);

    NavIC_Ephemeris& c = NavIC_Eph[2];
    fill_kepler(c);
    c.SV = 256;
    c.flags = 2;
    c.accuracy = 8192;
    set_epoch(c.clock_epoch, 2024, 3, 5, 14, 10, 0);
}

// The standard's NavIC record leaves orbit line 5 fields 2 and 4 and
// orbit line 6 field 4 spare (written as 19 blanks, so that the lines keep
// their four fields; the flag bits of both records show in none of them)
// and orbit line 7 holds the transmission time alone.
std::string navic_records(bool rinex4) {
    const std::string spare(19, ' ');
    return std::string(rinex4 ? "> EPH I05 LNAV\n" : "") +
           "I05 2024 03 10 00 00 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00\n"
           "     9.700000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00\n"
           "    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03\n"
           "     0.000000000000e+00 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08\n"
           "     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09\n"
           "     1.199999960511e-10" + spare + " 2.296000000000e+03" + spare + "\n"
           "     4.000000000000e+00 2.000000000000e+00-1.500000013088e-09" +
           spare +
           "\n"
           "     6.040000000000e+05\n" +
           (rinex4 ? "> EPH I256 LNAV\n" : "") +
           "I256 2024 03 05 14 10 00-3.250000008848e-04-7.499999753191e-12 0.000000000000e+00\n"
           "     9.700000000000e+01-2.025000000000e+01 3.100000034451e-09-1.100000000000e+00\n"
           "    -1.099999963117e-06 2.100000000000e-04 7.300000106625e-06 5.440612000000e+03\n"
           "     3.600000000000e+03 3.699999950868e-08 2.050000000000e+00-5.200000074979e-08\n"
           "     9.567000000000e-01 1.875000000000e+02-6.000000000000e-01-5.600000019257e-09\n"
           "     1.199999960511e-10" + spare + " 2.296000000000e+03" + spare + "\n"
           "     8.192000000000e+03 2.000000000000e+00-1.500000013088e-09" +
           spare +
           "\n"
           "     6.040000000000e+05\n";
}

}  // namespace

TEST(GalEphRecord, Rinex4) {
    fill_galileo();
    Rinex_Ver = 4.0;
    EXPECT_EQ(capture(Add_GAL_Ephemeris), GAL_V4);
}

TEST(GalEphRecord, Rinex305WritesBothKindsWithoutHeaderLines) {
    fill_galileo();
    Rinex_Ver = 3.05;
    EXPECT_EQ(capture(Add_GAL_Ephemeris), GAL_V305);
}

TEST(BdsEphRecord, Rinex4WritesEveryKind) {
    fill_beidou();
    Rinex_Ver = 4.01;
    EXPECT_EQ(capture(Add_BDS_Ephemeris), BDS_V4);
}

TEST(BdsEphRecord, Rinex305WritesD1AndD2Only) {
    fill_beidou();
    Rinex_Ver = 3.05;
    EXPECT_EQ(capture(Add_BDS_Ephemeris), BDS_V305);
}

TEST(NavicEphRecord, Rinex4) {
    fill_navic();
    Rinex_Ver = 4.01;
    EXPECT_EQ(capture(Add_NavIC_Ephemeris), navic_records(true));
}

TEST(NavicEphRecord, Rinex305) {
    fill_navic();
    Rinex_Ver = 3.05;
    EXPECT_EQ(capture(Add_NavIC_Ephemeris), navic_records(false));
}

TEST(KeplerEphRecord, EmptyStoresWriteNothingAndTheLastSlotIsWritten) {
    Rinex_Ver = 4.0;
    EXPECT_EQ(capture(Add_GAL_Ephemeris), "");
    EXPECT_EQ(capture(Add_BDS_Ephemeris), "");
    EXPECT_EQ(capture(Add_NavIC_Ephemeris), "");

    GAL_Ephemeris& g = GAL_Eph[EPH_STORE_SIZE - 1];
    fill_kepler(g);
    g.type = "INAV";
    const std::string text = capture(Add_GAL_Ephemeris);
    EXPECT_EQ(text.rfind("> EPH E11 INAV\n", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);
}
