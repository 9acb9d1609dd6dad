// GLONASS and SBAS navigation records: whole records in RINEX 3.05 and
// RINEX 4, the clock sign and frame time, the positions written whole,
// the status and health flags, and the SBAS accuracy, epoch and unit rules.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "rinex_nav/Rin_NAV_Data_record.h"
#include "stores/VLX_objects.h"
#include "support/rinex_capture.h"
#include "support/store_dates.h"

using rinexcap::capture;
using storedate::set_epoch;

namespace {

// Slot 0: satellite 5 with tau = 2^-16 s, N_T 1 and t_k 0 (frame time
// 75600), x and y both 12345.678901234 and z -25000.123456789 (none of
// them a float: all three written whole), health 0x19, flag byte 0x0F and
// flag word 0x003E (status 511, health flags 3). Slot 1 empty. Slot 2: satellite 12 with N_T 0 and t_k 3600
// (frame time -7200), a tau the float holds as 9.99999974737875e-06, flag
// byte 0x01 and flag word 0x0003 (status 5, health flags 4).
void fill_glonass() {
    GLO_Ephemeris& a = GLO_Eph[0];
    a.SV = 5;
    a.freq = -7;
    a.day_number = 1;
    a.tk = 0;
    a.tb = 46800;
    a.health = 0x19;
    a.age = 3;
    a.flags = 0x0F;
    a.pos[0] = 12345.678901234;
    a.pos[1] = 12345.678901234;
    a.pos[2] = -25000.123456789;
    a.vel[0] = 1.5f;
    a.vel[1] = -2.75f;
    a.vel[2] = 3.1234567f;
    a.acc[0] = 9.3e-10f;
    a.acc[1] = -1.86e-9f;
    a.acc[2] = 0.0f;
    a.tau = 1.52587890625e-05f;
    a.gamma = 9.094947e-13f;
    a.delta_tau = -2.7e-9f;
    a.Ft = 2;
    a.flags2 = 0x003E;
    set_epoch(a.date, 2024, 3, 5, 13, 45, 0);

    GLO_Ephemeris& b = GLO_Eph[2];
    b.SV = 12;
    b.freq = 6;
    b.day_number = 0;
    b.tk = 3600;
    b.tb = 900;
    b.health = 0x00;
    b.age = 255;
    b.flags = 0x01;
    b.pos[0] = -1.0;
    b.pos[1] = 2.0;
    b.pos[2] = 3.0;
    b.tau = 9.99999974737875e-06f;
    b.Ft = 255;
    b.flags2 = 0x0003;
    set_epoch(b.date, 2024, 3, 14, 21, 15, 0);
    GLO_SV_index = 2;  // the count the first pass left
}

const char* GLO_V4 = R"(> EPH R05 FDMA
R05 2024 03 05 13 45 00-1.525878906250e-05 9.094947017729e-13 7.560000000000e+04
     1.234567890123e+04 1.500000000000e+00 9.300000214374e-10 1.000000000000e+00
     1.234567890123e+04-2.750000000000e+00-1.860000042875e-09-7.000000000000e+00
    -2.500012345679e+04 3.123456716537e+00 0.000000000000e+00 3.000000000000e+00
     5.110000000000e+02-2.700000001354e-09 2.000000000000e+00 3.000000000000e+00
> EPH R12 FDMA
R12 2024 03 14 21 15 00-9.999999747379e-06 0.000000000000e+00-7.200000000000e+03
    -1.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00
     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 6.000000000000e+00
     3.000000000000e+00 0.000000000000e+00 0.000000000000e+00 2.550000000000e+02
     5.000000000000e+00 0.000000000000e+00 2.550000000000e+02 4.000000000000e+00
)";

const char* GLO_V305 = R"(R05 2024 03 05 13 45 00-1.525878906250e-05 9.094947017729e-13 7.560000000000e+04
     1.234567890123e+04 1.500000000000e+00 9.300000214374e-10 1.000000000000e+00
     1.234567890123e+04-2.750000000000e+00-1.860000042875e-09-7.000000000000e+00
    -2.500012345679e+04 3.123456716537e+00 0.000000000000e+00 3.000000000000e+00
     5.110000000000e+02-2.700000001354e-09 2.000000000000e+00 3.000000000000e+00
R12 2024 03 14 21 15 00-9.999999747379e-06 0.000000000000e+00-7.200000000000e+03
    -1.000000000000e+00 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00
     2.000000000000e+00 0.000000000000e+00 0.000000000000e+00 6.000000000000e+00
     3.000000000000e+00 0.000000000000e+00 0.000000000000e+00 2.550000000000e+02
     5.000000000000e+00 0.000000000000e+00 2.550000000000e+02 4.000000000000e+00
)";

// Slot 0: satellite 120, URA 0, message at 86000 s with t0 100 (the epoch
// moves to the next day); slot 1: URA 16, not written; slot 2 empty;
// slot 3: satellite 138, URA 15, message at 100 s with t0 86300 (the epoch
// falls in the previous week); slot 4: satellite 131, message at 604700 s
// with t0 100 (the epoch falls in the next week); slot 5: URA 255.
void fill_sbas_record(int slot, uint8_t sv, uint8_t ura, uint32_t tx, uint32_t t0, uint8_t iod) {
    SBAS_Ephemeris& r = SBAS_Eph[slot];
    r.SV = sv;
    r.IOD = iod;
    r.URA = ura;
    r.t0 = t0;
    r.tx_time = tx;
    r.week = 2308;
    r.pos[0] = 26000000.5;
    r.pos[1] = -34000000.25;
    r.pos[2] = 12500.125;
    r.vel[0] = 1.5f;
    r.vel[1] = -0.25f;
    r.vel[2] = 0.0625f;
    r.acc[0] = 1.25e-4f;
    r.acc[1] = -2.5e-4f;
    r.acc[2] = 6.25e-5f;
    r.aGf0 = -1.1e-7f;
    r.aGf1 = 9.1e-12f;
}
void fill_sbas() {
    fill_sbas_record(0, 120, 0, 86000, 100, 77);
    fill_sbas_record(1, 127, 16, 86000, 100, 77);
    fill_sbas_record(3, 138, 15, 100, 86300, 3);
    fill_sbas_record(4, 131, 5, 604700, 100, 200);
    fill_sbas_record(5, 133, 255, 86000, 100, 77);
    SBAS_SV_index = 6;  // the count the first pass left
}

const char* SBAS_V4 = R"(> EPH S20 SBAS
S20 2024 04 01 00 01 40-1.100000019960e-07 9.100000267215e-12 8.600000000000e+04
     2.600000050000e+04 1.500000000000e-03 1.250000059372e-07 3.100000000000e+01
    -3.400000025000e+04-2.500000000000e-04-2.500000118744e-07 2.400000000000e+00
     1.250012500000e+01 6.250000000000e-05 6.250000296859e-08 7.700000000000e+01
> EPH S38 SBAS
S38 2024 03 30 23 58 20-1.100000019960e-07 9.100000267215e-12 6.049000000000e+05
     2.600000050000e+04 1.500000000000e-03 1.250000059372e-07 6.300000000000e+01
    -3.400000025000e+04-2.500000000000e-04-2.500000118744e-07 3.276700000000e+04
     1.250012500000e+01 6.250000000000e-05 6.250000296859e-08 3.000000000000e+00
> EPH S31 SBAS
S31 2024 04 07 00 01 40-1.100000019960e-07 9.100000267215e-12-1.000000000000e+02
     2.600000050000e+04 1.500000000000e-03 1.250000059372e-07 3.100000000000e+01
    -3.400000025000e+04-2.500000000000e-04-2.500000118744e-07 1.365000000000e+01
     1.250012500000e+01 6.250000000000e-05 6.250000296859e-08 2.000000000000e+02
)";

}  // namespace

TEST(GloEphRecord, Rinex4) {
    fill_glonass();
    Rinex_Ver = 4.0;
    EXPECT_EQ(capture(Add_GLO_Ephemeris), GLO_V4);
    EXPECT_EQ(GLO_SV_index, 2) << "writing leaves the store's count alone";
}

TEST(GloEphRecord, Rinex305HasNoRecordHeaderLines) {
    fill_glonass();
    Rinex_Ver = 3.05;
    EXPECT_EQ(capture(Add_GLO_Ephemeris), GLO_V305);
}

TEST(GloEphRecord, StatusAndHealthFlags) {
    struct Case {
        uint8_t health, flags;
        uint16_t flags2;
        const char* status;
        const char* health_flags;
    };
    const Case cases[] = {
        {0x00, 0x0F, 0x003E, " 5.110000000000e+02", " 0.000000000000e+00"},
        {0x00, 0x01, 0x0002, " 5.000000000000e+00", " 0.000000000000e+00"},
        {0x00, 0x00, 0x0008, " 6.400000000000e+01", " 0.000000000000e+00"},
        {0x00, 0x00, 0x0030, " 3.840000000000e+02", " 0.000000000000e+00"},
        {0x00, 0xF0, 0xFFC0, " 0.000000000000e+00", " 0.000000000000e+00"},  // bits outside the fields
        {0x19, 0x00, 0x0000, " 0.000000000000e+00", " 3.000000000000e+00"},
        {0x19, 0x00, 0x0001, " 0.000000000000e+00", " 7.000000000000e+00"},
        {0x10, 0x00, 0x0000, " 0.000000000000e+00", " 2.000000000000e+00"},
        {0xE7, 0x00, 0x0000, " 0.000000000000e+00", " 0.000000000000e+00"},
    };
    for (const Case& c : cases) {
        GLO_Ephemeris e{};
        e.health = c.health;
        e.flags = c.flags;
        e.flags2 = c.flags2;
        e.Ft = 1;
        std::string expected = std::string("    ") + c.status + " 0.000000000000e+00 1.000000000000e+00" +
                               c.health_flags + "\n";
        const std::string line = capture([&](std::ofstream& os) { writeGloOrbit4(os, e); });
        EXPECT_EQ(line, expected) << "health " << int(c.health) << " flags " << int(c.flags) << " word "
                                  << c.flags2;
    }
}

TEST(SbasEphRecord, AccuracyEpochAndUnits) {
    fill_sbas();
    Rinex_Ver = 3.05;  // the SBAS writer has only the RINEX 4 form
    EXPECT_EQ(capture(Add_SBAS_Ephemeris), SBAS_V4);
    EXPECT_EQ(SBAS_SV_index, 6) << "writing leaves the store's count alone";
}

TEST(SbasEphRecord, AccuracyOfEveryUsableIndex) {
    const char* metres[16] = {"2.400000000000e+00", "3.400000000000e+00", "4.850000000000e+00",
                              "6.850000000000e+00", "9.650000000000e+00", "1.365000000000e+01",
                              "2.400000000000e+01", "4.800000000000e+01", "9.600000000000e+01",
                              "1.920000000000e+02", "3.840000000000e+02", "7.680000000000e+02",
                              "1.536000000000e+03", "3.072000000000e+03", "6.144000000000e+03",
                              "3.276700000000e+04"};
    for (int i = 0; i < 17; ++i)
        fill_sbas_record(i, static_cast<uint8_t>(120 + i), static_cast<uint8_t>(i), 86000, 100, 1);
    const std::string text = capture(Add_SBAS_Ephemeris);
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    // Five lines per record: header, epoch, three orbit lines; the second
    // orbit line ends in the accuracy, the first in the health value.
    ASSERT_EQ(lines.size(), 16u * 5);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(lines[i * 5], "> EPH S" + std::to_string(20 + i) + " SBAS");
        EXPECT_EQ(lines[i * 5 + 3].substr(61), std::string(" ") + metres[i]) << "index " << i;
        EXPECT_EQ(lines[i * 5 + 2].substr(61), i < 15 ? " 3.100000000000e+01" : " 6.300000000000e+01");
    }
    EXPECT_EQ(text.find("S36"), std::string::npos) << "index 16 writes no record";
}
