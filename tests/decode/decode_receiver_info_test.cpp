// Second-pass dispatch and the receiver-information decoders: receiver
// name, firmware and ids, antenna type, offsets, the system marker and the
// GLONASS slot table.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "decode/VLX_decode.h"
#include "rinex_obs/Rinex_File_maker.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"
#include "support/log_feed.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

void second_pass(const std::string& log) { feed(log, [](std::string& id) { decode_vlx(id); }); }
// The whole observation pass, with no file to write: its epochs are
// decoded where they end, and nothing is sorted, written or cleared.
void observation_pass(const std::string& log) {
    run_pass(log, [](FILE* f) {
        std::ofstream none;
        ObservationFileMaker(none, f);
    });
}

// "JP": five leading bytes, then the text and its NUL.
std::string jp(const std::string& text) { return frame("JP", zeros(5) + text + u8(0)); }
std::string pm(const std::string& text) { return frame("PM", text + u8(0) + zeros(6)); }
// "==": bytes 0-3, byte 4 (0 lets the key count), then the text and its NUL.
std::string ev(const std::string& text, uint8_t byte4 = 0) {
    return frame("==", zeros(4) + u8(byte4) + text + u8(0));
}

}  // namespace

TEST(ReceiverName, TokenWalk) {
    struct Case {
        std::string text;
        std::string name;  // "" : unchanged
    };
    const Case cases[] = {
        {" VLX VORSKEL-R2 fw 1.0", "VORSKEL-R2"},  // empty token and "VLX" skipped
        {"NAME ", "NAME"},
        {"VLX  X ", "X"},
        {"ONLYNAME", ""},  // no blank after the name
        {"VLX", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        RCV_NAME = "old";
        second_pass(jp(c.text));
        EXPECT_EQ(RCV_NAME, c.name.empty() ? "old" : c.name) << '"' << c.text << '"';
    }
}

TEST(ReceiverName, ClearsLeadingSatelliteRecords) {
    GPS_SVs[29].SV_num = 7;
    GPS_SVs[29].flags[0] = 0x41;
    GPS_SVs[30].SV_num = 8;
    BDS_SVs[0].SV_num = 3;
    second_pass(jp("A "));
    EXPECT_EQ(GPS_SVs[29].SV_num, 0u);
    EXPECT_EQ(GPS_SVs[29].flags[0], 0x01u);
    EXPECT_EQ(GPS_SVs[30].SV_num, 8u);  // beyond the 30 cleared records
    EXPECT_EQ(BDS_SVs[0].SV_num, 0u);
}

TEST(ReceiverName, TextFillingTheRecordStopsAtItsEnd) {
    // 82 text bytes with no NUL: the body fills "JP" to its last byte.
    second_pass(frame("JP", zeros(5) + std::string(81, 'A')));
    EXPECT_TRUE(RCV_NAME.empty());
    std::string noblank(82, 'B');
    noblank[40] = ' ';
    second_pass(frame("JP", zeros(5) + noblank.substr(0, 81)));
    EXPECT_EQ(RCV_NAME, std::string(40, 'B'));
}

TEST(ReceiverParameters, QuotedKeysAndValues) {
    const std::string id26 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";      // 26 characters
    const std::string id30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";  // 30 characters
    struct Case {
        std::string text;
        std::string fw, id, igs;
    };
    const Case cases[] = {
        {"rcv/ver/main=\"1.2.3\"rcv/id=\"" + id26 + "\"rcv/igs=\"VORSKEL VX1\"", "1.2.3",
         "ABCDEFGHIJKLMNOPQRST", "VORSKEL VX1"},
        {"rcv/ver/main=\"1.2.3\" rcv/id=\"X\"", "1.2.3", "", ""},  // " rcv/id=" is no key
        {"rcv/id=\"" + id30 + "\"", "", "ABCDEFGHIJKLMNOPQRST0123", ""},
        {"rcv/id=\"SHORT\"", "", "SHORT", ""},  // no characters at 20..25 to remove
        {"rcv/id=\"" + id26 + "\"x", "", "ABCDEFGHIJKLMNOPQRST", ""},
        {"rcv/igs=\"LAST", "", "", ""},      // the piece after the last quote is never used
        {"xrcv/id=\"V\"", "", "", ""},       // the key must match exactly
        {"rcv/id=\"\"rcv/igs=\"G\"", "", "", "G"},  // empty value; the value piece is no key
    };
    for (const Case& c : cases) {
        FW_VER = RCV_ID = RCV_IGS = "";
        second_pass(pm(c.text));
        EXPECT_EQ(FW_VER, c.fw) << c.text;
        EXPECT_EQ(RCV_ID, c.id) << c.text;
        EXPECT_EQ(RCV_IGS, c.igs) << c.text;
    }
}

TEST(ReceiverParameters, TextWithoutNulStopsAtTheTextArea) {
    // A text that runs through the whole 4096-byte area; the reader ends it
    // there, and the walk must not read the trailing values as text.
    std::string text = "rcv/id=\"" + std::string(5000, 'Q');
    second_pass(frame("PM", text + zeros(6)));
    EXPECT_TRUE(RCV_ID.empty());
}

TEST(AntennaType, PieceAfterTheKey) {
    struct Case {
        std::string text;
        uint8_t byte4;
        std::string type;
    };
    const Case cases[] = {
        {"_ANT=VX-ANT01", 0, "VX-ANT01"},           // the value runs to the end of the text
        {"_ANT=VX-ANT01=more", 0, "VX-ANT01="},     // the "=" that ends it stays
        {"a=_ANT=TYPE", 0, "TYPE"},
        {"_ANT=VX-ANT01", 1, ""},                   // byte 4 not 0: the key never counts
        {"ANT=VX", 0, ""},
        {"_ANT=", 0, ""},
    };
    for (const Case& c : cases) {
        ANT_Type = "";
        second_pass(ev(c.text, c.byte4));
        EXPECT_EQ(ANT_Type, c.type) << c.text;
    }
}

TEST(AntennaType, TextFillingTheRecordStopsAtItsEnd) {
    // 100 text bytes and no NUL: the walk ends at the checksum position.
    second_pass(frame("==", zeros(4) + u8(0) + "_ANT=" + std::string(95, 'Z')));
    EXPECT_EQ(ANT_Type, std::string(95, 'Z'));
}

TEST(AntennaOffsets, OnlyFlaggedTriplesAreCopied) {
    Ant_Parameters.v2[0] = 9.0;
    second_pass(frame("AI", u8(1) + f64(1.5) + f64(-2.25) + f64(3.0) + u8(0) + f64(7) + f64(8) + f64(9)));
    EXPECT_EQ(Ant_Parameters.flag1, 1);
    EXPECT_EQ(Ant_Parameters.v1[1], -2.25);
    EXPECT_EQ(Ant_Parameters.v1[2], 3.0);
    EXPECT_EQ(Ant_Parameters.flag2, 0);
    EXPECT_EQ(Ant_Parameters.v2[0], 9.0);
}

TEST(PositionAndOffset, Doubles) {
    second_pass(frame("PV", f64(4000000.5) + f64(-1.25) + f64(4900000) + zeros(22)) +
                frame("TO", f64(0.000123) + zeros(9)));
    EXPECT_EQ(APPR_POS_X, 4000000.5);
    EXPECT_EQ(APPR_POS_Y, -1.25);
    EXPECT_EQ(APPR_POS_Z, 4900000);
    EXPECT_EQ(RcvTimeOffset, 0.000123);
}

TEST(SystemMarker, MarkerAndNumberOfSystems) {
    struct Case {
        std::string sx;
        bool gal_on;
        std::string marker;
        int systems;
        int gps, gal;
    };
    const Case cases[] = {
        {sx_payload({{1, 5}, {4, 11}, {1, 7}}), true, "M", 2, 2, 1},
        {sx_payload({{1, 5}, {4, 11}, {1, 7}}), false, "G", 1, 2, 0},
        {sx_payload({{9, 3}, {0, 1}, {5, 193}}), true, "J", 1, 0, 0},  // code division and 0 count nothing
    };
    for (const Case& c : cases) {
        Enable_GAL = c.gal_on;
        SYS_MARKER = "";
        second_pass(frame("SX", c.sx));
        EXPECT_EQ(SYS_MARKER, c.marker);
        EXPECT_EQ(SYS_NUM, c.systems);
        EXPECT_EQ(GPS_SAT_NUM, c.gps);
        EXPECT_EQ(GAL_SAT_NUM, c.gal);
    }
}

TEST(GlonassSlots, PairsAndRecords) {
    // Channels -7, 1, 2, 3 on slots 5, 0, 255, 5; a Galileo entry in between.
    second_pass(frame("SX", sx_payload({{2, static_cast<uint8_t>(-7)}, {4, 11}, {2, 1}, {2, 2}, {2, 3}})) +
                frame("NN", items8({5, 0, 255, 5})));
    decode_NN();
    EXPECT_EQ(GLO_SLOT_ARR[59], 1);  // slot 0 and 255 are never stored, slot 5 once
    EXPECT_EQ(GLO_SLOT_ARR[60], 5);
    EXPECT_EQ(GLO_SLOT_ARR[0], -7);  // the slot keeps its first channel
    EXPECT_EQ(GLO_SLOT_ARR[61], 0);
    EXPECT_EQ(GLO_SVs[0].SV_num, static_cast<uint32_t>(-7));
    EXPECT_EQ(GLO_SVs[0].glo_slot, 5u);
    EXPECT_EQ(GLO_SVs[2].SV_num, 2u);
    EXPECT_EQ(GLO_SVs[2].glo_slot, 255u);

    // Next epoch: record 0 belongs to channel -7, a different channel leaves it.
    second_pass(frame("SX", sx_payload({{2, 4}, {2, static_cast<uint8_t>(-7)}})) +
                frame("NN", items8({6, 5})));
    decode_NN();
    EXPECT_EQ(GLO_SVs[0].SV_num, static_cast<uint32_t>(-7));
    EXPECT_EQ(GLO_SVs[0].glo_slot, 5u);
    EXPECT_EQ(GLO_SLOT_ARR[59], 2);
    EXPECT_EQ(GLO_SLOT_ARR[61], 6);
    EXPECT_EQ(GLO_SLOT_ARR[1], 4);
}

TEST(GlonassSlots, LongListIsBoundedBySlotBytesAndRecords) {
    std::string sx;
    for (int i = 0; i < 40; ++i) sx += u8(2) + u8(static_cast<uint8_t>(i + 1));
    std::string nn;
    for (int i = 0; i < 23; ++i) nn += u8(static_cast<uint8_t>(i + 1));
    second_pass(frame("SX", sx) + frame("NN", nn));
    decode_NN();
    EXPECT_EQ(GLO_SLOT_ARR[59], 23);
    for (int k = 0; k < GLO_SV_MAX; ++k) EXPECT_EQ(GLO_SVs[k].SV_num, k < 24 ? static_cast<uint32_t>(k + 1) : 0u);
}

TEST(SecondPassDispatch, TDEndsTheEpoch) {
    // "TD" decodes the epoch: slots from "NN", then the observations.
    observation_pass(frame("SX", sx_payload({{2, 1}, {1, 5}})) + frame("NN", items8({9})) +
                     frame("rx", items32({0, 0})) + frame("TD", zeros(3)));
    EXPECT_EQ(GLO_SVs[0].glo_slot, 9u);
    EXPECT_EQ(GLO_SVs[0].SV_num, 1u);
    EXPECT_NEAR(static_cast<double>(GPS_SVs[0].code[0]), 22484434.35, 0.005);
    EXPECT_EQ(GPS_SVs[0].SV_num, 5u);  // claimed by the flag decoders, which run first
}
