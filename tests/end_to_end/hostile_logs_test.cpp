// Hostile and broken logs: lengths that lie, lists longer than the records
// and tables that receive them, logs cut off inside a message, logs that
// are not logs. Nothing may be written or read beyond a record or table
// (the sanitized build of these tests catches that), the reader must keep
// its framing, and the converter must end by itself with status 0 or 1.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
#include "decode/VLX_decode.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/log_feed.h"
#include "support/run_limited.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

// Every identifier the reader stores, except the fixed-layout ephemeris
// and time messages, whose unlisted lengths leave the body in the stream.
const char* const kStoredIds[] = {
    "0d", "1d", "2d", "3d", "5d", "ld", "1r", "2r", "3r", "5r", "lr", "c1", "c2", "c3", "c5", "cc", "cl",
    "cr", "TC", "rx", "rc", "cp", "1p", "2p", "3p", "5p", "lp", "DC", "DX", "CE", "1E", "2E", "3E", "5E",
    "lE", "SI", "EL", "NN", "SX", "FC", "F1", "F2", "F3", "F5", "Fl", "~~", "AI", "CA", "CU", "CI", "DP",
    "DO", "EN", "EA", "EU", "GA", "IA", "UO", "IO", "II", "IE", "NA", "NU", "PV", "QU", "QI", "RD", "ST",
    "TO", "WA", "IU", "JP", "TD", ">>", "MF", "PM", "==", "SS", "SE"};

// Bytes the reader consumes after the header for a body of length L. The
// lists of 4-byte items leave the bytes of a partial item in the stream.
size_t consumed(const std::string& id, unsigned L) {
    if (id == "SE") return 7;
    for (const char* w4 : {"rx", "rc", "cp", "1p", "2p", "3p", "5p", "lp", "DC", "DX"})
        if (id == w4) return (L - 1) / 4 * 4 + 2;
    return L + static_cast<size_t>(separators_for(id));
}

// Both dispatchers and the epoch decoders of both passes, on whatever the
// records hold.
void decode_everything(std::string id) {
    Aux_stage = 1;
    decode_for_avail_OBS(id);
    decode_RD_aux();
    decode_RD();
    decode_OBS_aux();
    Aux_stage = 0;
    decode_vlx(id);
    decode_NN();
    decode_OBS();
}

std::string filler(size_t n, char c) { return std::string(n, c); }

}  // namespace

// A length of 0xFFF on every identifier: the body is cut to its record,
// the rest is read and dropped, and the next message is read where it
// starts. Every decoder then runs on the record filled to its end.
TEST(HostileLogs, LargestLengthOnEveryIdentifierKeepsTheFraming) {
    for (const char* id : kStoredIds) {
        for (char fill : {'\0', '\x7f', '\xff'}) {
            std::string log = frame_raw(id, 0xFFF, filler(consumed(id, 0xFFF), fill)) + epoch_time(4321000);
            std::vector<std::string> ids;
            feed(log, [&](std::string& got) {
                ids.push_back(got);
                decode_everything(got);
            });
            ASSERT_GE(ids.size(), 2u) << id;
            EXPECT_EQ(ids[0], id);
            EXPECT_EQ(ids[1], "~~") << id << ": framing lost after a length of 0xFFF";
            EXPECT_EQ(time_tag, 4321000u) << id;
        }
    }
}

// Item counts beyond a record's capacity: the stored count is the
// record's capacity, never the count the length implies.
TEST(HostileLogs, ItemCountsAreCutToTheRecord) {
    struct Case {
        const char* id;
        const unsigned char* rec;
        int count_at;
        uint32_t capacity;
    };
    const Case cases[] = {
        {"rx", rx, 724, 180}, {"1r", one_r, 364, 180}, {"CE", CE, 184, 180},
        {"NN", NN, 28, 24},   {"SX", SX, 364, 180},
    };
    for (const Case& c : cases) {
        feed(frame_raw(c.id, 0xFFF, filler(consumed(c.id, 0xFFF), '\x01')));
        EXPECT_EQ(rd_u32(c.rec, c.count_at), c.capacity) << c.id;
    }
}

// An epoch with more satellites of one constellation than its table
// holds, and an "SX" list of 180 entries: the surplus is skipped.
TEST(HostileLogs, MoreSatellitesThanTheTableHolds) {
    struct Case {
        uint8_t sys;
        int first;
        SV_data* table;
        int table_size;
    };
    const Case cases[] = {
        {SX_GPS, 1, GPS_SVs, GPS_SV_MAX},      {SX_GLO, 1, GLO_SVs, GLO_SV_MAX},
        {SX_GAL, 1, GAL_SVs, GAL_SV_MAX},      {SX_QZSS, 193, QZSS_SVs, QZSS_SV_MAX},
        {SX_BDS, 1, BDS_SVs, BDS_SV_MAX},      {SX_NAVIC, 1, NavIC_SVs, NavIC_SV_MAX},
        {SX_SBAS, 100, SBAS_SVs, SBAS_SV_MAX}, {SX_GLCDMA, 1, GLCDMA_SVs, GLCDMA_SV_MAX},
    };
    for (const Case& c : cases) {
        std::string sx, slots, flags, r32, r16, r8;
        for (int i = 0; i < 180; ++i) {
            sx += static_cast<char>(c.sys);
            sx += static_cast<char>((c.first + i) & 0xFF);
            slots += static_cast<char>(1 + i % 24);
            put16(flags, 0x40);
            put32(r32, 1000000 + i);
            put16(r16, static_cast<uint16_t>(i));
            put8(r8, 160);
        }
        std::string log = epoch_time(1000) + receiver_date(2024, 3, 15) + frame("SX", sx) +
                          frame("NN", slots.substr(0, 23));
        for (const char* id : {"FC", "F1", "F2", "F3", "F5", "Fl"}) log += frame(id, flags);
        for (const char* id : {"rx", "rc", "cp", "1p", "2p", "3p", "5p", "lp", "DC", "DX"}) log += frame(id, r32);
        for (const char* id : {"1r", "2r", "3r", "5r", "lr", "0d", "1d", "2d", "3d", "5d", "ld", "c1", "c2", "c3",
                               "c5", "cc", "cl", "cr"})
            log += frame(id, r16);
        for (const char* id : {"CE", "1E", "2E", "3E", "5E", "lE"}) log += frame(id, r8);
        log += frame("TD", "");
        feed(log, [](std::string& id) { decode_everything(id); });
        int held = 0;
        for (int k = 0; k < c.table_size; ++k) held += c.table[k].SV_num != 0 ? 1 : 0;
        // The decoders ran and filled the table; the sanitized build catches
        // any entry written past its end.
        EXPECT_GT(held, 0) << "system code " << int(c.sys);
        for (int k = 0; k < c.table_size; ++k) c.table[k].clear_SV();
    }
}

// Whole runs of the converter on logs that are broken as a whole.
TEST(HostileLogs, BrokenLogsEndCleanly) {
    std::string good = epoch_time(36000000) + receiver_date(2024, 3, 15) +
                       frame("SX", sx_payload({{SX_GPS, 5}, {SX_GLO, 1}, {SX_BDS, 30}})) + frame("NN", items8({7})) +
                       frame("FC", items32({0x40, 0x40, 0x40})) + frame("rx", items32({3000000, 2000000, 1000000})) +
                       frame("rc", items32({3000000, 2000000, 1000000})) + frame("TD", "");
    good += epoch_time(36001000) + receiver_date(2024, 3, 15) + frame("SX", sx_payload({{SX_GPS, 5}})) +
            frame("rx", items32({3000001}));
    std::string noise;
    uint32_t x = 88172645u;
    for (int i = 0; i < 4096; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        noise += static_cast<char>(x & 0xFF);
    }
    std::string every_fff;
    for (const char* id : kStoredIds) every_fff += frame_raw(id, 0xFFF, filler(consumed(id, 0xFFF), '\x55'));
    for (const char* id : {"GE", "QE", "CN", "NE", "WE", "WU"}) every_fff += frame_raw(id, 0xFFF, "ab");
    struct Case {
        const char* name;
        std::string log;
    };
    const Case cases[] = {
        {"empty", ""},
        {"only zeros", std::string(8192, '\0')},
        {"random bytes", noise},
        {"ends inside a header", good + "GE0"},
        {"ends after an identifier", good + "rc"},
        {"ends inside a body", good + frame("rc", items32({1, 2, 3})).substr(0, 9)},
        {"ends inside an ephemeris", good + frame_raw("GE", 123, filler(40, '\x11'))},
        {"every identifier at 0xFFF", good + every_fff + good},
        {"lengths that are not numbers", good + "SX-FF" + "rc zz" + "GEGGG" + filler(16, '\x01') + good},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& opts :
             std::vector<std::vector<std::string>>{{"-rv", "4.00"}, {"-rv", "3.05"}, {"-rv", "4.01", "-SN"}}) {
            const std::string dir = testfiles::temp_dir();
            ASSERT_FALSE(dir.empty());
            ASSERT_TRUE(write_file(dir + "/log.vlx", c.log));
            const limited::Outcome o = limited::convert(dir, opts, 60);
            EXPECT_TRUE(limited::clean(o)) << c.name << " " << opts[1] << ": status " << o.status
                                           << (o.timed_out ? " (time limit)" : "") << "\n"
                                           << o.err;
        }
    }
}
