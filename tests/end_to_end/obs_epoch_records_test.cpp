// Observation records of small hand-built logs, run through the converter:
// each epoch is written whole, every value stays with its own satellite,
// nothing of an earlier epoch shows up in a later one, and the header
// describes the records that follow it. Each log shows one way a record
// could lose or mix data: a repeated epoch end, a receiver-name message
// while the first epoch waits for the header, the last epoch of a log
// without epoch ends, a full code-division table, GLONASS band-5 signals
// without code-division satellites or beside one without band 5, a table
// record that passes to another satellite, a system that appears after the
// first epoch, QZSS bands that one RINEX version might skip, messages that
// the log never gives, satellites of epochs that "-p" leaves out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "support/converter_run.h"
#include "support/rinex_text.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;
using convrun::converted_obs;
using convrun::has_lines;

namespace {

constexpr int16_t ON = 0x40;
constexpr uint8_t GPS = 1, GLO = 2, SBS = 3, GAL = 4, QZS = 5, BDS = 6, GLC = 9;  // "SX" system codes
constexpr uint32_t T0 = (10 * 3600 + 30 * 60) * 1000u;  // 10:30:00

// The "~~" and receiver date that open epoch e (one second apart).
std::string open_epoch(int e) { return epoch_time(T0 + 1000u * static_cast<uint32_t>(e)) + receiver_date(2024, 5, 9); }
std::string sat_list(std::initializer_list<SxEntry> v) { return frame("SX", sx_payload(v)); }
std::string epoch_end() { return frame("TD", zeros(3)); }

struct Case {
    const char* what;
    std::string log;
    std::vector<std::string> args;
    std::vector<std::string> lines;  // consecutive lines the file must hold
};

// Two GPS satellites listed against their order (G02 before G01), each
// epoch closed by "TD"; the first epoch's "TD" comes twice when `twice`.
std::string repeated_end_log(bool twice) {
    std::string log;
    for (int e = 0; e < 3; ++e) {
        log += open_epoch(e) + sat_list({{GPS, 2}, {GPS, 1}}) + frame("FC", items16({ON, ON})) +
               frame("rx", items32({2000000 + e, 1000000 + e})) + frame("CE", items8({180, 150}));
        log += epoch_end();
        if (e == 0 && twice) log += epoch_end();
    }
    return log;
}

// A receiver-name message between the first epoch's "TD" and the second "~~"
// (or the end of a log of one epoch).
std::string name_after_first_epoch_log(int epochs = 2) {
    std::string log;
    for (int e = 0; e < epochs; ++e) {
        log += open_epoch(e) + sat_list({{GPS, 5}}) + frame("FC", items16({ON})) + frame("rx", items32({1000 * e})) +
               epoch_end();
        if (e == 0) log += frame("JP", zeros(5) + " VLX BETA2 " + u8(0));
    }
    return log;
}

// GLONASS channel 1 in slot 9 with the code-division satellite 9, epochs
// ended only by the next "~~" (the last one by the end of the log).
std::string code_division_without_ends_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{GLO, 1}, {GLC, 9}}) + frame("NN", u8(9)) + frame("FC", items16({ON, ON})) +
               frame("rx", items32({1000000 + e, 3000000 + e})) + frame("CE", items8({150, 140}));
    return log;
}

// 31 code-division satellites (1..31) beside GLONASS channel 1 in slot 31
// in the first epoch; the second epoch has the GLONASS satellite alone.
std::string full_code_division_table_log() {
    std::string log;
    for (int e = 0; e < 2; ++e) {
        std::string sx = u8(GLO) + u8(1), fc = i16(ON), rx = i32(1000000), ce = u8(150);
        if (e == 0)
            for (uint8_t n = 1; n <= 31; ++n) {
                sx += u8(GLC) + u8(n);
                fc += i16(ON);
                rx += i32(3000000 + n);
                ce += u8(140);
            }
        log += open_epoch(e) + frame("SX", sx) + frame("NN", u8(31)) + frame("FC", fc) + frame("rx", rx) +
               frame("CE", ce) + epoch_end();
    }
    return log;
}

// GLONASS channel -3 in slot 4 with band-5 signals; no code-division satellite.
std::string glonass_band5_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{GLO, static_cast<uint8_t>(-3)}}) + frame("NN", u8(4)) +
               frame("FC", items16({ON})) + frame("F5", items16({ON})) + frame("rx", items32({1000000})) +
               frame("5r", items16({40})) + frame("cp", items32({200000})) + frame("5p", items32({210000})) +
               frame("CE", items8({170})) + frame("5E", items8({171})) + epoch_end();
    return log;
}

// G03 and G07 with strengths, then G07 alone without any.
std::string strength_then_none_log() {
    return open_epoch(0) + sat_list({{GPS, 3}, {GPS, 7}}) + frame("FC", items16({ON, ON})) +
           frame("rx", items32({1000000, 2000000})) + frame("CE", items8({180, 100})) + epoch_end() + open_epoch(1) +
           sat_list({{GPS, 7}}) + frame("FC", items16({ON})) + frame("rx", items32({2000000})) + frame("CE", "") +
           epoch_end() + open_epoch(2);
}

// GPS 5 alone in the first epoch, Galileo 11 beside it from the second on;
// every satellite with a C/A phase.
std::string late_galileo_log() {
    std::string log = open_epoch(0) + sat_list({{GPS, 5}}) + frame("FC", items16({ON})) +
                      frame("rx", items32({1000000})) + frame("cp", items32({100000})) + epoch_end();
    for (int e = 1; e < 3; ++e)
        log += open_epoch(e) + sat_list({{GPS, 5}, {GAL, 11}}) + frame("FC", items16({ON, ON})) +
               frame("rx", items32({1000000, 2000000})) + frame("cp", items32({100000, 300000})) + epoch_end();
    return log;
}

// Only code-division GLONASS satellites.
std::string code_division_only_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{GLC, 9}}) + frame("FC", items16({ON})) + frame("rx", items32({3000000})) +
               epoch_end();
    return log;
}

// QZSS 193 with signals in bands 1 and 3: every value of both bands.
std::string qzss_bands_1_and_3_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{QZS, 193}}) + frame("FC", items16({ON})) + frame("F1", items16({ON})) +
               frame("F3", items16({ON})) + frame("rx", items32({1000000})) + frame("1r", items16({40})) +
               frame("3r", items16({60})) + frame("cp", items32({100000})) + frame("1p", items32({110000})) +
               frame("3p", items32({130000})) + frame("DX", items32({20000})) + frame("0d", items16({0})) +
               frame("1d", items16({10})) + frame("3d", items16({30})) + frame("CE", items8({180})) +
               frame("1E", items8({171})) + frame("3E", items8({173})) + epoch_end();
    return log;
}

// G05 with band-2 code ranges and phases but no band-2 Doppler or strength
// message in the log.
std::string band2_without_doppler_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{GPS, 5}}) + frame("FC", items16({ON})) + frame("F2", items16({ON})) +
               frame("rx", items32({1000000})) + frame("2r", items16({50})) + frame("cp", items32({100000})) +
               frame("2p", items32({120000})) + frame("DX", items32({20000})) + frame("0d", items16({0})) +
               frame("CE", items8({180})) + epoch_end();
    return log;
}

// GLONASS channel 1 in slot 5 with band-5 signals; code-division satellite
// 5 beside it with its C/A signal only.
std::string glonass_band5_beside_code_division_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{GLO, 1}, {GLC, 5}}) + frame("NN", u8(5)) + frame("FC", items16({ON, ON})) +
               frame("F5", items16({ON, 0})) + frame("rx", items32({1000000, 3000000})) +
               frame("5r", items16({40, 0})) + frame("cp", items32({200000, 300000})) +
               frame("5p", items32({210000, 0})) + frame("CE", items8({170, 140})) + frame("5E", items8({171, 0})) +
               epoch_end();
    return log;
}

// Epochs 0 and 2: G05, QZSS 193, SBAS 131, GLONASS channel 1 in slot 4
// with code-division satellite 4, Galileo 11, each with a C/A phase;
// epoch 1 (left out by "-p 2"): G09 alone.
std::string every_kind_of_satellite_log() {
    std::string log;
    for (int e = 0; e < 3; ++e) {
        log += open_epoch(e);
        if (e == 1) {
            log += sat_list({{GPS, 9}}) + frame("FC", items16({ON})) + frame("rx", items32({1000000})) +
                   frame("cp", items32({100000}));
        } else {
            log += sat_list({{GPS, 5}, {QZS, 193}, {SBS, 131}, {GLO, 1}, {GLC, 4}, {GAL, 11}}) + frame("NN", u8(4)) +
                   frame("FC", items16({ON, ON, ON, ON, ON, ON})) +
                   frame("rx", items32({1000000, 2000000, 3000000, 4000000, 5000000, 6000000})) +
                   frame("cp", items32({100000, 200000, 300000, 400000, 500000, 600000}));
        }
        log += epoch_end();
    }
    return log;
}

// BeiDou C01 (BeiDou-2 geostationary), C06 (BeiDou-2 inclined), C20
// (BeiDou-3 medium orbit) and C59 (BeiDou-3 geostationary), each with C/A
// and band-2 code ranges, phases and strengths.
std::string beidou_band2_log() {
    std::string log;
    for (int e = 0; e < 2; ++e)
        log += open_epoch(e) + sat_list({{BDS, 1}, {BDS, 6}, {BDS, 20}, {BDS, 59}}) +
               frame("FC", items16({ON, ON, ON, ON})) + frame("F2", items16({ON, ON, ON, ON})) +
               frame("rx", items32({6000000, 5000000, 4000000, 7000000})) + frame("2r", items16({40, 50, 60, 70})) +
               frame("cp", items32({100000, 200000, 300000, 400000})) +
               frame("2p", items32({110000, 210000, 310000, 410000})) + frame("CE", items8({180, 170, 160, 150})) +
               frame("2E", items8({181, 171, 161, 151})) + epoch_end();
    return log;
}

void check(const Case& c) {
    const std::string text = converted_obs(c.log, c.args);
    EXPECT_TRUE(has_lines(text, c.lines)) << c.what << "\n" << text;
}

}  // namespace

// Each log against the lines of the epoch where a value went missing, to
// another satellite, or came back from an earlier epoch.
TEST(ObsEpochRecords, EveryEpochWholeWithItsOwnValues) {
    const Case cases[] = {
        {"a repeated first-epoch TD decodes nothing again",
         repeated_end_log(true),
         {},
         {"> 2024 05 09 10 30  0.0000000  0  2       0.000000000000",
          "G01  22487432.275                                          37.500  ",
          "G02  22490430.199                                          45.000  ",
          "> 2024 05 09 10 30  1.0000000  0  2       0.000000000000"}},
        {"a receiver name before the second epoch keeps the first",
         name_after_first_epoch_log(),
         {},
         {"> 2024 05 09 10 30  0.0000000  0  1       0.000000000000",
          "G05  22484434.350                                                  ",
          "> 2024 05 09 10 30  1.0000000  0  1       0.000000000000",
          "G05  22484437.348                                                  "}},
        {"a receiver name after the only epoch keeps it",
         name_after_first_epoch_log(1),
         {},
         {"                                                            END OF HEADER",
          "> 2024 05 09 10 30  0.0000000  0  1       0.000000000000",
          "G05  22484434.350                                                  "}},
        {"the last epoch at the end of the log has its code-division values",
         code_division_without_ends_log(),
         {},
         {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000",
          "R09  22487432.278                                          37.500    22493428.127                     "
          "                     35.000  "}},
        {"code-division record 30 does not outlive its epoch",
         full_code_division_table_log(),
         {},
         {"> 2024 05 09 10 30  0.0000000  0  1       0.000000000000",
          "R31  22487432.275                                          37.500    22493428.217                     "
          "                     35.000  ",
          "> 2024 05 09 10 30  1.0000000  0  1       0.000000000000",
          "R31  22487432.275                                          37.500  " + std::string(64, ' ')}},
        {"a satellite without strengths shows no digit of another",
         strength_then_none_log(),
         {},
         {"G03  22487432.275                                          45.000  ",
          "G07  22490430.199                                          25.000  ",
          "> 2024 05 09 10 30  1.0000000  0  1       0.000000000000",
          "G07  22490430.199                                                  "}},
    };
    for (const Case& c : cases) check(c);
}

TEST(ObsEpochRecords, RepeatedEpochEndChangesNothing) {
    const std::string once = converted_obs(repeated_end_log(false));
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(converted_obs(repeated_end_log(true)), once);
}

// Without code-division satellites the code-division switch changes
// nothing: the band-5 signals of GLONASS keep their codes, phase shift
// and values.
TEST(ObsEpochRecords, GlonassBand5WithoutCodeDivisionSatellites) {
    const std::string record =
        "R04  22487432.275   120039731.720 7                        42.500    22487492.353    90164125.079 7     "
        "                   42.750  ";
    const Case cases[] = {
        {"4.00",
         glonass_band5_log(),
         {},
         {"R    8 C1C L1C D1C S1C C3X L3X D3X S3X                      SYS / # / OBS TYPES"}},
        {"4.00 record", glonass_band5_log(), {}, {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000", record}},
        {"3.05",
         glonass_band5_log(),
         {"-rv", "3.05"},
         {"R L1C  0.00000  01 R04                                      SYS / PHASE SHIFT",
          "R L3X  0.25000  01 R04                                      SYS / PHASE SHIFT"}},
    };
    for (const Case& c : cases) {
        check(c);
        std::vector<std::string> off = c.args;
        off.push_back("-GC");
        EXPECT_EQ(converted_obs(c.log, c.args), converted_obs(c.log, off)) << c.what;
    }
}

// The header is written after the first epoch but describes the whole file.
TEST(ObsEpochRecords, HeaderDescribesLaterEpochsToo) {
    const Case cases[] = {
        {"Galileo phases from the second epoch carry their half cycle",
         late_galileo_log(),
         {"-rv", "3.05"},
         {"G L1C  0.00000  01 G05                                      SYS / PHASE SHIFT",
          "E L1X  0.50000  01 E11                                      SYS / PHASE SHIFT"}},
        {"GPS, then Galileo from the second epoch",
         late_galileo_log(),
         {},
         {"     4.00           OBSERVATION DATA    M                   RINEX VERSION / TYPE"}},
        {"code-division GLONASS only",
         code_division_only_log(),
         {},
         {"     4.00           OBSERVATION DATA    R                   RINEX VERSION / TYPE"}},
        {"GPS only",
         name_after_first_epoch_log(),
         {"-rv", "4.01"},
         {"     4.01           OBSERVATION DATA    G                   RINEX VERSION / TYPE"}},
    };
    for (const Case& c : cases) check(c);
}

// Every value that the log gives reaches the file in every version; a
// value that no message gives is a blank field, never a zero.
TEST(ObsEpochRecords, ValuesAsDecodedBlanksWhereNoneWasGiven) {
    const std::string qzss =
        "J01  37480053.099   196959151.684 7        -2.000          45.000    37480113.178   196959166.012 7     "
        "   -2.001          42.750    37480113.238   153474697.394 7        -1.561          43.250  ";
    const std::string gps_band2 =
        "G05  22487432.275   118172397.484 7        -2.000          45.000    22487492.383    92082409.979 0     "
        "                           ";
    const Case cases[] = {
        {"QZSS bands 1 and 3 in RINEX 3.05",
         qzss_bands_1_and_3_log(),
         {"-rv", "3.05"},
         {"J   12 C1C L1C D1C S1C C1W L1W D1W S1W C2X L2X D2X S2X      SYS / # / OBS TYPES"}},
        {"QZSS bands 1 and 3 in RINEX 3.05, records",
         qzss_bands_1_and_3_log(),
         {"-rv", "3.05"},
         {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000", qzss}},
        {"QZSS bands 1 and 3 in RINEX 4.00",
         qzss_bands_1_and_3_log(),
         {},
         {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000", qzss}},
        {"band 2 without Doppler and strength messages",
         band2_without_doppler_log(),
         {"-rv", "3.05"},
         {"> 2024 05 09 10 30  0.0000000  0  1       0.000000000000", gps_band2}},
    };
    for (const Case& c : cases) check(c);
}

// A code-division satellite without band-5 signals leaves the band-5
// values of the GLONASS satellite of its slot as they are.
TEST(ObsEpochRecords, EmptyCodeDivisionGroupKeepsTheGlonassValues) {
    const std::string band5 = "    22487492.353    90164125.079 7                        42.750  ";
    const std::string head = "R05  22487432.275   120208504.629 7                        42.500";
    const Case cases[] = {
        {"code division on",
         glonass_band5_beside_code_division_log(),
         {"-rv", "3.05"},
         {"R L1C  0.00000  01 R05                                      SYS / PHASE SHIFT",
          "R L3X  0.25000  01 R05                                      SYS / PHASE SHIFT",
          "R L4X  0.00000  01 R05                                      SYS / PHASE SHIFT"}},
        {"code division on, records",
         glonass_band5_beside_code_division_log(),
         {},
         {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000",
          head + band5 + "  22493428.124   120123091.679 5                        35.000  "}},
        {"code division off",
         glonass_band5_beside_code_division_log(),
         {"-GC"},
         {"> 2024 05 09 10 30  1.0000000  0  1       0.000000000000", head + band5}},
    };
    for (const Case& c : cases) check(c);
}

// The satellites of the header are those of the records that the file
// keeps: QZSS, SBAS and a GLONASS satellite with code-division signals
// (once) count; a satellite of an epoch that "-p" leaves out does not,
// neither in the count nor in the phase-shift lines.
TEST(ObsEpochRecords, HeaderCountsTheSatellitesOfTheRecords) {
    const std::vector<std::string> lines = {
        "R L1C  0.00000  01 R04                                      SYS / PHASE SHIFT",
        "R L4X  0.00000  01 R04                                      SYS / PHASE SHIFT",
        "E L1X  0.50000  01 E11                                      SYS / PHASE SHIFT",
        "J L1C  0.00000  01 J01                                      SYS / PHASE SHIFT",
        "S L1C  0.00000  01 S31                                      SYS / PHASE SHIFT"};
    std::vector<std::string> every = {"G L1C  0.00000  02 G05 G09                                  SYS / PHASE SHIFT"};
    every.insert(every.end(), lines.begin(), lines.end());
    every.push_back("     6                                                      # OF SATELLITES");
    std::vector<std::string> kept = {"G L1C  0.00000  01 G05                                      SYS / PHASE SHIFT"};
    kept.insert(kept.end(), lines.begin(), lines.end());
    kept.push_back("     5                                                      # OF SATELLITES");
    const Case cases[] = {
        {"every epoch", every_kind_of_satellite_log(), {"-rv", "3.05"}, every},
        {"every other epoch", every_kind_of_satellite_log(), {"-rv", "3.05", "-p", "2"}, kept},
    };
    for (const Case& c : cases) check(c);
}

// BeiDou-2 satellites broadcast B2I and no B2b: their band-2 data stand
// under the 7I codes in every version; the BeiDou-3 ones keep B2b, data
// codes (7D) on the geostationary satellites, data+pilot codes (7Z) on the
// others. The 3.05 header lists each satellite's phases under its code.
TEST(ObsEpochRecords, BeidouBand2UnderTheSignalOfTheSatellite) {
    const std::vector<std::string> types = {
        "C   16 C2I L2I D2I S2I C7I L7I D7I S7I C7D L7D D7D S7D C7Z  SYS / # / OBS TYPES",
        "       L7Z D7Z S7Z                                          SYS / # / OBS TYPES"};
    const Case cases[] = {
        {"3.05",
         beidou_band2_log(),
         {"-rv", "3.05"},
         {"C L7I  0.25000  02 C01 C06                                  SYS / PHASE SHIFT",
          "C L7D  0.25000  01 C59                                      SYS / PHASE SHIFT",
          "C L7Z  0.25000  01 C20                                      SYS / PHASE SHIFT",
          "     4                                                      # OF SATELLITES"}},
        {"3.05 types", beidou_band2_log(), {"-rv", "3.05"}, types},
        {"4.00", beidou_band2_log(), {}, types},
        {"4.01", beidou_band2_log(), {"-rv", "4.01"}, types},
    };
    const std::pair<const char*, const char*> band2_code[] = {
        {"C01", "C7I"}, {"C06", "C7I"}, {"C20", "C7Z"}, {"C59", "C7D"}};
    for (const Case& c : cases) {
        check(c);
        const std::string text = converted_obs(c.log, c.args);
        const rnxtext::ObsFile f = rnxtext::read_obs(text);
        ASSERT_TRUE(f.error.empty()) << c.what << ": " << f.error;
        ASSERT_EQ(f.epochs.size(), 2u) << c.what;
        for (const rnxtext::ObsEpoch& e : f.epochs)
            for (const auto& [sat, code] : band2_code) {
                SCOPED_TRACE(std::string(c.what) + " " + sat);
                ASSERT_TRUE(e.values.count(sat));
                const std::vector<double>& v = e.values.at(sat);
                for (const char* b2 : {"C7I", "C7D", "C7Z"}) {
                    const int k = f.index('C', b2);
                    ASSERT_GE(k, 0) << b2;
                    // code range, phase and strength under the satellite's
                    // codes; blanks under the other two sets
                    for (int j : {0, 1, 3}) EXPECT_EQ(std::isnan(v[k + j]), std::string(b2) != code) << b2 << j;
                }
            }
    }
}
