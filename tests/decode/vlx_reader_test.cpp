// Tests of the log reader's framing: where each identifier's body lands in
// its raw record, how many bytes each message consumes (the next message
// must be read in step), odd and damaged lengths, overlong bodies, and the
// end of the log. Logs are built in memory and read through fmemopen. Last,
// the epoch framer that both passes run on the identifiers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "stores/VLX_msgs.h"
#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

const std::string kEnd(2, '\0');

// Keeps the bytes alive for the stream; fmemopen refuses a size of 0, so
// an empty log gets a temporary file.
FILE* open_log(std::string& bytes) {
    if (bytes.empty()) return std::tmpfile();
    return fmemopen(bytes.data(), bytes.size(), "rb");
}

// n bytes of a recognisable pattern.
std::string pattern(size_t n, int seed) {
    std::string s(n, '\0');
    for (size_t k = 0; k < n; ++k) s[k] = static_cast<char>((seed + 7 * k + (k >> 8)) & 0xFF);
    return s;
}
uint8_t pat(size_t k, int seed) { return static_cast<uint8_t>((seed + 7 * k + (k >> 8)) & 0xFF); }

// A small "ST" message with contents that depend on k: reading it right
// after a message proves that message consumed exactly its bytes.
std::string sentinel(int k) {
    std::string p;
    for (int i = 0; i < 5; ++i) p += static_cast<char>(0x40 + k * 5 + i);
    return frame("ST", p);
}
void expect_sentinel(FILE* f, int k, const std::string& after) {
    SCOPED_TRACE("message after " + after);
    ASSERT_EQ(VLXFileReader(f), "ST");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ST[i], static_cast<uint8_t>(0x40 + k * 5 + i)) << "ST byte " << i;
    }
    EXPECT_EQ(ST[6], '\n');
}
void expect_end(FILE* f) {
    EXPECT_EQ(VLXFileReader(f), kEnd);
    EXPECT_EQ(VLXFileReader(f), kEnd);
}

// ---------------------------------------------------------------------------
// Item lists.

enum ListKind { PLAIN, PAIRS, FLAGS };
struct ItemRow {
    const char* id;
    unsigned char* rec;
    int cap;
    int width;
    int cs_at;
    int count_at;  // -1: the record has no count
    ListKind kind;
    int max_items;
};
const ItemRow item_rows[] = {
    {"0d", zero_d, 368, 2, 360, 364, PLAIN, 180},  {"1d", one_d, 368, 2, 360, 364, PLAIN, 180},
    {"2d", two_d, 368, 2, 360, 364, PLAIN, 180},   {"3d", three_d, 368, 2, 360, 364, PLAIN, 180},
    {"5d", five_d, 368, 2, 360, 364, PLAIN, 180},  {"ld", l_d, 368, 2, 360, 364, PLAIN, 180},
    {"1r", one_r, 368, 2, 360, 364, PLAIN, 180},   {"2r", two_r, 368, 2, 360, 364, PLAIN, 180},
    {"3r", three_r, 368, 2, 360, 364, PLAIN, 180}, {"5r", five_r, 368, 2, 360, 364, PLAIN, 180},
    {"lr", l_r, 368, 2, 360, 364, PLAIN, 180},     {"c1", c1, 368, 2, 360, 364, PLAIN, 180},
    {"c2", c2, 368, 2, 360, 364, PLAIN, 180},      {"c3", c3, 368, 2, 360, 364, PLAIN, 180},
    {"c5", c5, 368, 2, 360, -1, PLAIN, 180},       {"cc", cc, 368, 2, 360, -1, PLAIN, 180},
    {"cl", cl, 368, 2, 360, -1, PLAIN, 180},       {"cr", cr, 368, 2, 360, -1, PLAIN, 180},
    {"TC", TC, 362, 2, 360, -1, PLAIN, 180},       {"rx", rx, 728, 4, 720, 724, PLAIN, 180},
    {"rc", rc, 728, 4, 720, 724, PLAIN, 180},      {"cp", cp, 728, 4, 720, 724, PLAIN, 180},
    {"1p", one_p, 728, 4, 720, 724, PLAIN, 180},   {"2p", two_p, 728, 4, 720, 724, PLAIN, 180},
    {"3p", three_p, 728, 4, 720, 724, PLAIN, 180}, {"5p", five_p, 728, 4, 720, 724, PLAIN, 180},
    {"lp", l_p, 728, 4, 720, 724, PLAIN, 180},     {"DC", DC, 728, 4, 720, 724, PLAIN, 180},
    {"DX", DX, 728, 4, 720, 724, PLAIN, 180},      {"CE", CE, 188, 1, 180, 184, PLAIN, 180},
    {"1E", one_E, 188, 1, 180, 184, PLAIN, 180},   {"2E", two_E, 188, 1, 180, 184, PLAIN, 180},
    {"3E", three_E, 188, 1, 180, 184, PLAIN, 180}, {"5E", five_E, 188, 1, 180, 184, PLAIN, 180},
    {"lE", l_E, 188, 1, 180, 184, PLAIN, 180},     {"SI", SI, 188, 1, 180, 184, PLAIN, 180},
    {"EL", EL, 182, 1, 180, -1, PLAIN, 180},       {"NN", NN, 32, 1, 24, 28, PLAIN, 24},
    {"SX", SX, 368, 2, 360, 364, PAIRS, 180},      {"FC", FC, 1444, 2, 1440, -1, FLAGS, 360},
    {"F1", F1, 1444, 2, 1440, -1, FLAGS, 360},     {"F2", F2, 1444, 2, 1440, -1, FLAGS, 360},
    {"F3", F3, 1444, 2, 1440, -1, FLAGS, 360},     {"F5", F5, 1444, 2, 1440, -1, FLAGS, 360},
    {"Fl", Fl, 1444, 2, 1440, -1, FLAGS, 360},
};

// Record position of byte b of item i.
int item_pos(const ItemRow& r, int i, int b) {
    switch (r.kind) {
        case PAIRS:
            return b == 0 ? i : 180 + i;
        case FLAGS:
            return 4 * i + b;
        default:
            return i * r.width + b;
    }
}

// The record holds n items of `payload`, then checksum and separator.
void expect_items(const ItemRow& r, const std::string& payload, int n, uint8_t cs, uint8_t sep) {
    for (int i = 0; i < n; ++i)
        for (int b = 0; b < r.width; ++b)
            ASSERT_EQ(r.rec[item_pos(r, i, b)], static_cast<uint8_t>(payload[i * r.width + b]))
                << "item " << i << " byte " << b;
    EXPECT_EQ(r.rec[r.cs_at], cs) << "checksum";
    EXPECT_EQ(r.rec[r.cs_at + 1], sep) << "separator";
    if (r.count_at >= 0) {
        EXPECT_EQ(rd_u32(r.rec, r.count_at), static_cast<uint32_t>(n)) << "count";
    }
}

TEST(ReaderItemLists, EveryRowStoresItemsChecksumSeparatorAndCount) {
    for (const ItemRow& r : item_rows) {
        SCOPED_TRACE(r.id);
        std::string three = pattern(3 * r.width, 11);
        std::string full = pattern(r.max_items * r.width, 29);
        std::string log = frame(r.id, three) + sentinel(0) + frame_raw(r.id, 0, "\xAB\xCD") +
                          sentinel(1) +                      // L = 0: no items
                          frame(r.id, full) + sentinel(2) +  // a full record
                          frame(r.id, three) + sentinel(3);  // and back to three
        FILE* f = open_log(log);
        ASSERT_NE(f, nullptr);

        ASSERT_EQ(VLXFileReader(f), r.id);
        expect_items(r, three, 3, checksum(three), '\n');
        if (r.kind == FLAGS)  // the upper halves of the slots are never written
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(rd_u16(r.rec, 4 * i + 2), 0) << "slot " << i;
            }
        if (r.count_at < 0)  // no count: the bytes after the separator stay untouched
            for (int p = r.cs_at + 2; p < r.cap; ++p) {
                EXPECT_EQ(r.rec[p], 0) << "position " << p;
            }
        expect_sentinel(f, 0, "three items");

        ASSERT_EQ(VLXFileReader(f), r.id);
        EXPECT_EQ(r.rec[r.cs_at], 0xAB);
        EXPECT_EQ(r.rec[r.cs_at + 1], 0xCD);
        if (r.count_at >= 0) {
            EXPECT_EQ(rd_u32(r.rec, r.count_at), 0u);
        }
        // The items of the earlier message are still there.
        EXPECT_EQ(r.rec[item_pos(r, 0, 0)], static_cast<uint8_t>(three[0]));
        expect_sentinel(f, 1, "L = 0");

        ASSERT_EQ(VLXFileReader(f), r.id);
        expect_items(r, full, r.max_items, checksum(full), '\n');
        expect_sentinel(f, 2, "full record");

        ASSERT_EQ(VLXFileReader(f), r.id);
        expect_items(r, three, 3, checksum(three), '\n');
        // Item 3 keeps the value of the full message.
        EXPECT_EQ(r.rec[item_pos(r, 3, 0)], static_cast<uint8_t>(full[3 * r.width]));
        expect_sentinel(f, 3, "three items again");
        expect_end(f);
        std::fclose(f);
    }
}

// L-1 not a multiple of the item width: the left-over body bytes are read
// as checksum and separator, and the message's own separator (and its
// checksum, for width 4 with three left over) stays in the stream.
TEST(ReaderItemLists, LeftOverBytesAreReadAsChecksumAndSeparator) {
    struct Case {
        const char* id;
        unsigned char* rec;
        int width, cs_at, count_at;
        unsigned L;
        int items;
    };
    const Case cases[] = {
        {"rc", rc, 4, 720, 724, 9, 2},   // (9-1)/4 = 2, nothing left over: consumes L+1
        {"rc", rc, 4, 720, 724, 10, 2},  // one byte left over
        {"rc", rc, 4, 720, 724, 12, 2},  // three left over
        {"1d", one_d, 2, 360, 364, 4, 1}, {"SX", SX, 2, 360, 364, 4, 1}, {"FC", FC, 2, 1440, -1, 6, 2},
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " L=" + std::to_string(c.L));
        // Exactly the bytes the reader consumes: items, then two bytes.
        std::string items = pattern(static_cast<size_t>(c.items * c.width), 3 + k);
        std::string log = frame_raw(c.id, c.L, items + "\x91\x92") + sentinel(k);
        FILE* f = open_log(log);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(VLXFileReader(f), c.id);
        EXPECT_EQ(c.rec[c.cs_at], 0x91);
        EXPECT_EQ(c.rec[c.cs_at + 1], 0x92);
        if (c.count_at >= 0) {
            EXPECT_EQ(rd_u32(c.rec, c.count_at), static_cast<uint32_t>(c.items));
        }
        expect_sentinel(f, k, c.id);
        std::fclose(f);
        ++k;
    }
}

TEST(ReaderItemLists, RcWithLengthNineAndTen) {
    // L = 9: two items, checksum, separator: 10 bytes.
    std::string nine = frame("rc", items32({0x11223344, -2}));
    ASSERT_EQ(nine.size(), 5u + 10u);
    // L = 10: two items and one more body byte; the checksum lands in the
    // separator position and the real separator is left in the stream.
    std::string ten = frame("rc", items32({7, 8}) + "\x33");
    std::string log = nine + ten + sentinel(0);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "rc");
    EXPECT_EQ(rd_i32(rc, 0), 0x11223344);
    EXPECT_EQ(rd_i32(rc, 4), -2);
    EXPECT_EQ(rd_u32(rc, 724), 2u);
    EXPECT_EQ(rc[721], '\n');
    ASSERT_EQ(VLXFileReader(f), "rc");
    EXPECT_EQ(rd_i32(rc, 0), 7);
    EXPECT_EQ(rd_i32(rc, 4), 8);
    EXPECT_EQ(rc[720], 0x33);
    EXPECT_EQ(rc[721], checksum(items32({7, 8}) + "\x33"));
    // The left separator is read as the start of the next identifier.
    std::string next = VLXFileReader(f);
    EXPECT_EQ(next[0], '\n');
    EXPECT_EQ(next[1], 'S');
    std::fclose(f);
}

// ---------------------------------------------------------------------------
// Whole bodies: L+1 bytes from position 0.

struct WholeRow {
    const char* id;
    unsigned char* rec;
    int cap;
};
const WholeRow whole_rows[] = {
    {"~~", RT, 6},  {"AI", AI, 108}, {"CA", CA, 300}, {"CU", CU, 25},  {"CI", CI, 40},  {"DP", DP, 19},
    {"DO", DO, 18}, {"EN", EN, 150}, {"EA", EA, 300}, {"EU", EU, 41},  {"GA", GE, 184}, {"IA", IA, 300},
    {"UO", UO, 25}, {"IO", IO, 40},  {"II", II, 40},  {"IE", IE, 425}, {"IU", IU, 25},  {"NA", NA, 300},
    {"NU", NU, 28}, {"PV", PV, 47},  {"QU", QU, 25},  {"QI", QI, 40},  {"RD", RD, 7},   {"ST", ST, 7},
    {"TO", TO, 18}, {"WA", WA, 300},
};

TEST(ReaderWholeBodies, EveryIdentifierFillsItsRecordExactly) {
    for (const WholeRow& r : whole_rows) {
        SCOPED_TRACE(r.id);
        std::memset(r.rec, 0xEE, static_cast<size_t>(r.cap));
        // A payload of cap-2 bytes: with checksum and separator, the record.
        std::string p = pattern(static_cast<size_t>(r.cap - 2), r.cap);
        std::string shorter = pattern(3, 99);
        std::string log = frame(r.id, p) + sentinel(1) + frame(r.id, shorter) + sentinel(2);
        FILE* f = open_log(log);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(VLXFileReader(f), r.id);
        for (int i = 0; i < r.cap - 2; ++i) {
            ASSERT_EQ(r.rec[i], static_cast<uint8_t>(p[i])) << i;
        }
        EXPECT_EQ(r.rec[r.cap - 2], checksum(p));
        EXPECT_EQ(r.rec[r.cap - 1], '\n');
        if (r.rec == RT) {
            EXPECT_EQ(time_tag, rd_u32(reinterpret_cast<const unsigned char*>(p.data()), 0));
        }
        expect_sentinel(f, 1, "full body");
        // A shorter body overwrites only its own bytes.
        ASSERT_EQ(VLXFileReader(f), r.id);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(r.rec[i], static_cast<uint8_t>(shorter[i]));
        }
        EXPECT_EQ(r.rec[3], checksum(shorter));
        EXPECT_EQ(r.rec[4], '\n');
        if (r.cap - 2 > 5) {
            EXPECT_EQ(r.rec[5], static_cast<uint8_t>(p[5]));
        }
        expect_sentinel(f, 2, "short body");
        expect_end(f);
        std::fclose(f);
    }
}

TEST(ReaderWholeBodies, EpochTimeSetsTimeTagAndGaSharesTheGeRecord) {
    std::string log = frame("~~", le32(86399999)) + frame("GA", "\x01\x02\x03") + sentinel(0);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "~~");
    EXPECT_EQ(time_tag, 86399999u);
    ASSERT_EQ(VLXFileReader(f), "GA");
    EXPECT_EQ(GE[0], 1);
    EXPECT_EQ(GE[2], 3);
    EXPECT_EQ(GE[4], '\n');
    EXPECT_EQ(time_tag, 86399999u);
    expect_sentinel(f, 0, "GA");
    std::fclose(f);
}

TEST(ReaderWholeBodies, IuBeyondTwentyFiveBytesSpillsIntoScratch) {
    for (size_t n : {size_t(23), size_t(24), size_t(38), size_t(4000)}) {
        SCOPED_TRACE(n);
        std::memset(IU, 0xEE, sizeof IU);
        std::memset(buf, 0xEE, 64);
        std::string p = pattern(n, 5);
        std::string whole = p + static_cast<char>(checksum(p)) + "\n";  // the L+1 bytes
        std::string log = frame("IU", p) + sentinel(0);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), "IU");
        size_t in_iu = whole.size() < 25 ? whole.size() : 25;
        for (size_t i = 0; i < in_iu; ++i) {
            ASSERT_EQ(IU[i], static_cast<uint8_t>(whole[i])) << i;
        }
        for (size_t i = in_iu; i < 25; ++i) {
            EXPECT_EQ(IU[i], 0xEE) << i;
        }
        if (whole.size() > 25) {
            for (size_t i = 0; i < 40 && 25 + i < whole.size(); ++i)
                ASSERT_EQ(buf[i], static_cast<uint8_t>(whole[25 + i])) << i;
        } else {
            EXPECT_EQ(buf[0], 0xEE);
        }
        expect_sentinel(f, 0, "IU");
        std::fclose(f);
    }
}

// ---------------------------------------------------------------------------
// Two trailing bytes, "PM", "==", "SS", "SE" and ">".

TEST(ReaderOtherLayouts, TwoTrailingBytesAfterJpTdMfAndChevrons) {
    struct Case {
        const char* id;
        unsigned char* rec;
    };
    const Case cases[] = {{"JP", JP}, {"TD", TD}, {">>", buf}, {"MF", MF}};
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::string p = pattern(9, 40 + k);
        // frame() appends two separators for these identifiers; make them
        // distinct to see both stored.
        std::string m = frame(c.id, p);
        ASSERT_EQ(m.size(), 5u + 9u + 1u + 2u);
        m[m.size() - 2] = '\r';
        std::string log = frame("~~", le32(1234567)) + m + sentinel(k);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), "~~");
        ASSERT_EQ(VLXFileReader(f), c.id);
        for (int i = 0; i < 9; ++i) {
            ASSERT_EQ(c.rec[i], static_cast<uint8_t>(p[i])) << i;
        }
        EXPECT_EQ(c.rec[9], checksum(p));
        if (c.rec == MF) {
            // The time of the last epoch replaces bytes 12-15.
            EXPECT_EQ(c.rec[10], '\r');
            EXPECT_EQ(c.rec[11], '\n');
            EXPECT_FLOAT_EQ(rd_f32(MF, 12), 1234567.0f);
        } else {
            EXPECT_EQ(c.rec[10], '\r');
            EXPECT_EQ(c.rec[11], '\n');
        }
        expect_sentinel(f, k, c.id);
        std::fclose(f);
        ++k;
    }
}

TEST(ReaderOtherLayouts, PmTextTrailingValuesTimeTagAndCount) {
    // L-4 text bytes from position 0, then three 2-byte values: L+2 bytes.
    std::string text = "RECEIVER ID 123";
    const unsigned L = static_cast<unsigned>(text.size() + 4);
    std::string pm = frame_raw("PM", L, text + le16(0x0102) + le16(0xA0B0) + le16(0xFFFE));
    std::string log = frame("~~", le32(5000)) + pm + pm + sentinel(0);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "~~");
    ASSERT_EQ(VLXFileReader(f), "PM");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(PM), text.size()), text);
    EXPECT_EQ(PM[text.size()], 0);
    EXPECT_EQ(rd_u16(PM, 4096), 0x0102);
    EXPECT_EQ(rd_u16(PM, 4098), 0xA0B0);
    EXPECT_EQ(rd_u16(PM, 4100), 0xFFFE);
    EXPECT_FLOAT_EQ(rd_f32(PM, 4104), 5000.0f);
    EXPECT_EQ(count_PM, 1u);
    ASSERT_EQ(VLXFileReader(f), "PM");
    EXPECT_EQ(count_PM, 2u);
    expect_sentinel(f, 0, "PM");
    std::fclose(f);
}

TEST(ReaderOtherLayouts, PmOfTheLongestLengthFitsAndTooShortIsSkipped) {
    // Three hexadecimal digits reach 0xFFF: L-4 = 4091 text bytes, which
    // fit the 4096 text positions.
    std::string longest = frame_raw("PM", 0xFFF, pattern(0xFFF + 2, 1));
    // Lengths below 4 cannot hold the three trailing values: skipped
    // (L+2 bytes), nothing stored, not counted.
    std::string log = longest + sentinel(0) + frame_raw("PM", 3, "abcde") + sentinel(1) +
                      frame_raw("PM", 0, "xy") + sentinel(2);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "PM");
    EXPECT_EQ(PM[4090], pat(4090, 1));
    EXPECT_EQ(PM[4091], 0);
    EXPECT_EQ(rd_u16(PM, 4096), pat(4091, 1) | (pat(4092, 1) << 8));
    EXPECT_EQ(count_PM, 1u);
    expect_sentinel(f, 0, "PM 0xFFF");
    ASSERT_EQ(VLXFileReader(f), "PM");
    EXPECT_EQ(PM[0], pat(0, 1));
    EXPECT_EQ(count_PM, 1u);
    expect_sentinel(f, 1, "PM L=3");
    ASSERT_EQ(VLXFileReader(f), "PM");
    EXPECT_EQ(count_PM, 1u);
    expect_sentinel(f, 2, "PM L=0");
    std::fclose(f);
}

TEST(ReaderOtherLayouts, EventAndSatelliteStatusLayouts) {
    // "==": L-1 bytes from 0, checksum at 105, separator at 106.
    std::string ev = pattern(20, 3);
    // "SS": L-2 bytes from 0, then three bytes at 180, 181, 182.
    std::string ss = pattern(30, 8);
    std::string log = frame("==", ev) + sentinel(0) + frame("SS", ss) + sentinel(1) +
                      frame("==", pattern(200, 4)) + sentinel(2) +  // longer than the record
                      frame("SS", pattern(300, 6)) + sentinel(3);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "==");
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(EV[i], static_cast<uint8_t>(ev[i]));
    }
    EXPECT_EQ(EV[20], 0);  // L-1 = 20 bytes only
    EXPECT_EQ(EV[105], checksum(ev));
    EXPECT_EQ(EV[106], '\n');
    expect_sentinel(f, 0, "==");
    ASSERT_EQ(VLXFileReader(f), "SS");
    for (int i = 0; i < 29; ++i) {
        ASSERT_EQ(SS[i], static_cast<uint8_t>(ss[i]));
    }
    EXPECT_EQ(SS[29], 0);
    EXPECT_EQ(SS[180], static_cast<uint8_t>(ss[29]));
    EXPECT_EQ(SS[181], checksum(ss));
    EXPECT_EQ(SS[182], '\n');
    expect_sentinel(f, 1, "SS");
    ASSERT_EQ(VLXFileReader(f), "==");
    EXPECT_EQ(EV[104], pat(104, 4));
    EXPECT_EQ(EV[105], checksum(pattern(200, 4)));
    EXPECT_EQ(EV[106], '\n');
    expect_sentinel(f, 2, "long ==");
    ASSERT_EQ(VLXFileReader(f), "SS");
    EXPECT_EQ(SS[179], pat(179, 6));
    EXPECT_EQ(SS[180], pat(299, 6));
    EXPECT_EQ(SS[182], '\n');
    expect_sentinel(f, 3, "long SS");
    std::fclose(f);
}

TEST(ReaderOtherLayouts, SeAlwaysConsumesSevenBytes) {
    int k = 0;
    for (unsigned L : {0u, 5u, 6u, 7u, 0x100u, 0xFFFu}) {
        SCOPED_TRACE(L);
        std::string body = pattern(7, static_cast<int>(L));
        std::string log = frame_raw("SE", L, body) + sentinel(k);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), "SE");
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(SE[i], static_cast<uint8_t>(body[i]));
        }
        expect_sentinel(f, k, "SE");
        std::fclose(f);
        ++k;
    }
}

TEST(ReaderOtherLayouts, ChevronWithAnotherCharacterIsABareMarker) {
    // ">A" and friends: only the two identifier bytes; the next message
    // starts right after them, even when that looks like a length.
    for (const char* id : {">A", "> ", ">\n", ">0"}) {
        SCOPED_TRACE(id);
        std::string log = std::string(id, 2) + sentinel(0);
        FILE* f = open_log(log);
        EXPECT_EQ(VLXFileReader(f), std::string(id, 2));
        expect_sentinel(f, 0, id);
        expect_end(f);
        std::fclose(f);
    }
}

TEST(ReaderOtherLayouts, UnknownIdentifiersSkipTheirBody) {
    for (const char* id :
         {"~A", "~>", "zz", "ab", "Zq", "{x", "z~", "\x01\x02", "\xff\xfe", "00", "G1", "rd", "ge"}) {
        std::string ident(id, 2);
        SCOPED_TRACE(ident);
        std::memset(buf, 0, 64);
        std::string p = pattern(12, 2);
        std::string log = frame(ident, p) + sentinel(0);
        FILE* f = open_log(log);
        EXPECT_EQ(VLXFileReader(f), ident);
        // The skipped bytes go to the scratch buffer.
        EXPECT_EQ(buf[0], static_cast<uint8_t>(p[0]));
        EXPECT_EQ(buf[12], checksum(p));
        expect_sentinel(f, 0, ident);
        std::fclose(f);
    }
}

// ---------------------------------------------------------------------------
// Fixed-layout ephemeris and time messages.

struct ByteRun {
    int from, to, at;  // body bytes from..to land at record position `at`
};
struct FixedCase {
    const char* id;
    unsigned char* rec;
    int cap;
    unsigned L;
    std::vector<ByteRun> runs;
    int cs_at;   // -1: nothing read after the header ("NE" of another length)
    int len_at;  // position of the stored length
    size_t consumed;
};
const FixedCase fixed_cases[] = {
    {"GE", GE, 184, 123, {{0, 121, 0}}, 175, 180, 124},
    {"GE", GE, 184, 160, {{0, 146, 0}, {147, 154, 163}, {155, 158, 171}}, 175, 180, 161},
    {"GE", GE, 184, 168, {{0, 146, 0}, {147, 162, 147}, {163, 166, 171}}, 175, 180, 169},
    {"GE", GE, 184, 100, {}, 175, 180, 2},
    {"GE", GE, 184, 0xFFF, {}, 175, 180, 2},
    {"QE", QE, 184, 123, {{0, 121, 0}}, 175, 180, 124},
    {"QE", QE, 184, 160, {{0, 146, 0}, {147, 154, 163}, {155, 158, 171}}, 175, 180, 161},
    {"QE", QE, 184, 168, {{0, 146, 0}, {147, 162, 147}, {163, 166, 171}}, 175, 180, 169},
    {"QE", QE, 184, 122, {}, 175, 180, 2},
    {"CN",
     CN,
     168,
     134,
     {{0, 121, 0}, {122, 125, 122}, {126, 126, 126}, {127, 130, 127}, {131, 132, 131}},
     161,
     164,
     135},
    {"CN",
     CN,
     168,
     152,
     {{0, 130, 0}, {131, 138, 133}, {139, 142, 141}, {143, 146, 145}, {147, 150, 149}},
     161,
     164,
     153},
    {"CN", CN, 168, 160, {{0, 130, 0}, {131, 158, 133}}, 161, 164, 161},
    {"CN", CN, 168, 135, {}, 161, 164, 2},
    {"NE", NE, 108, 88, {{0, 86, 0}}, 102, 104, 89},
    {"NE", NE, 108, 103, {{0, 86, 0}, {87, 101, 87}}, 102, 104, 104},
    {"NE", NE, 108, 89, {}, -1, 104, 0},
    {"NE", NE, 108, 0xFFF, {}, -1, 104, 0},
    {"WE", WE, 80, 73, {{0, 71, 0}}, 72, 76, 74},
    {"WE", WE, 80, 74, {}, 72, 76, 2},
    {"WU", WU, 40, 32, {{0, 30, 0}}, 31, 36, 33},
    {"WU", WU, 40, 1, {}, 31, 36, 2},
};

TEST(ReaderFixedLayouts, EveryLengthLandsWhereItsTableSaysAndLeavesTheRest) {
    int k = 0;
    for (const FixedCase& c : fixed_cases) {
        SCOPED_TRACE(std::string(c.id) + " L=" + std::to_string(c.L));
        std::memset(c.rec, 0xEE, static_cast<size_t>(c.cap));
        std::string bytes = pattern(c.consumed, k + 1);
        std::string log = frame_raw(c.id, c.L, bytes) + sentinel(k % 10);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), c.id);
        std::vector<int> expect(static_cast<size_t>(c.cap), 0xEE);
        for (const ByteRun& r : c.runs)
            for (int b = r.from; b <= r.to; ++b)
                expect[static_cast<size_t>(r.at + b - r.from)] = static_cast<uint8_t>(bytes[b]);
        if (c.cs_at >= 0) {
            expect[static_cast<size_t>(c.cs_at)] = static_cast<uint8_t>(bytes[c.consumed - 2]);
            expect[static_cast<size_t>(c.cs_at + 1)] = static_cast<uint8_t>(bytes[c.consumed - 1]);
        }
        for (int i = 0; i < 4; ++i)
            expect[static_cast<size_t>(c.len_at + i)] = static_cast<uint8_t>(c.L >> (8 * i));
        for (int p = 0; p < c.cap; ++p) {
            ASSERT_EQ(c.rec[p], expect[static_cast<size_t>(p)]) << "position " << p;
        }
        expect_sentinel(f, k % 10, "fixed layout");
        std::fclose(f);
        ++k;
    }
}

TEST(ReaderFixedLayouts, ShorterLengthKeepsThePositionsItDoesNotReach) {
    std::string m168 = pattern(167, 50);  // payload of L = 168
    std::string m160 = pattern(159, 90);
    std::string log = frame("GE", m168) + frame("GE", m160) + sentinel(0);
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "GE");
    ASSERT_EQ(rd_u32(GE, 180), 168u);
    ASSERT_EQ(VLXFileReader(f), "GE");
    EXPECT_EQ(rd_u32(GE, 180), 160u);
    for (int p = 147; p <= 162; ++p) {
        EXPECT_EQ(GE[p], static_cast<uint8_t>(m168[p])) << p;
    }
    for (int p = 163; p <= 170; ++p) {
        EXPECT_EQ(GE[p], static_cast<uint8_t>(m160[p - 16])) << p;
    }
    EXPECT_EQ(GE[146], static_cast<uint8_t>(m160[146]));
    expect_sentinel(f, 0, "GE 160");
    std::fclose(f);
}

TEST(ReaderFixedLayouts, OddLengthLeavesTheRestOfTheBodyAsTheNextMessage) {
    // A "WE" of length 4: two bytes into checksum/separator, then the rest
    // of its body is read from the start as a message of its own.
    std::string log = frame_raw("WE", 4, "\x01\x02" + sentinel(3));
    FILE* f = open_log(log);
    ASSERT_EQ(VLXFileReader(f), "WE");
    EXPECT_EQ(WE[72], 1);
    EXPECT_EQ(WE[73], 2);
    EXPECT_EQ(rd_u32(WE, 76), 4u);
    expect_sentinel(f, 3, "WE odd");
    std::fclose(f);
}

// ---------------------------------------------------------------------------
// Length field, overlong bodies, end of the log.

TEST(ReaderLength, ThreeCharactersReadAsOneBase16Number) {
    struct Case {
        const char* text;
        uint32_t L;
    };
    const Case cases[] = {
        {"07B", 123},  {"07b", 123},         {"FFF", 0xFFF}, {" 7F", 0x7F}, {"  A", 10},
        {"+7F", 0x7F}, {"-01", 0xFFFFFFFFu}, {"- 1", 0},     {"1G2", 1},    {"G12", 0},
        {"0x5", 0},    {"\0\0\0", 0},        {"\t1\n", 1},   {"++1", 0},
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + std::string(c.text, 3) + "\"");
        // A "WU" of any length but 32 stores L and reads two bytes.
        std::string log = std::string("WU") + std::string(c.text, 3) + "\x05\x06" + sentinel(k);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), "WU");
        EXPECT_EQ(rd_u32(WU, 36), c.L);
        EXPECT_EQ(WU[31], 5);
        expect_sentinel(f, k, "WU");
        std::fclose(f);
        k = (k + 1) % 10;
    }
}

TEST(ReaderLength, NegativeLengthsConsumeNoBody) {
    // "-0F" is -15: L+1 is below zero, so nothing after the header is read.
    struct Case {
        const char* id;
        size_t consumed;
    };
    const Case cases[] = {{"zz", 0}, {"AI", 0}, {"JP", 0}, {"IU", 0}, {"rc", 2}, {"SX", 2},
                          {"==", 2}, {"SS", 3}, {"SE", 7}, {"PM", 0}, {"NE", 0}, {"GE", 2}};
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::string log = std::string(c.id) + "-0F" + pattern(c.consumed, 1) + sentinel(k);
        FILE* f = open_log(log);
        ASSERT_EQ(VLXFileReader(f), c.id);
        expect_sentinel(f, k, c.id);
        std::fclose(f);
        k = (k + 1) % 10;
    }
}

// Bytes a message of length L consumes after its header.
size_t consumed_for(const std::string& id, long L) {
    for (const ItemRow& r : item_rows)
        if (id == r.id) return static_cast<size_t>((L - 1) / r.width * r.width + 2);
    if (id == "JP" || id == "MF" || id == "PM" || id == "TD" || id == ">>") return static_cast<size_t>(L + 2);
    if (id == "SE") return 7;
    if (id == "NE") return L == 88 || L == 103 ? static_cast<size_t>(L + 1) : 0;
    if (id == "GE" || id == "QE") return L == 123 || L == 160 || L == 168 ? static_cast<size_t>(L + 1) : 2;
    if (id == "CN") return L == 134 || L == 152 || L == 160 ? static_cast<size_t>(L + 1) : 2;
    if (id == "WE") return L == 73 ? static_cast<size_t>(L + 1) : 2;
    if (id == "WU") return L == 32 ? static_cast<size_t>(L + 1) : 2;
    return static_cast<size_t>(L + 1);  // whole bodies, "IU", "==", "SS", unknown
}

std::vector<std::string> every_identifier() {
    std::vector<std::string> ids;
    for (const ItemRow& r : item_rows) ids.push_back(r.id);
    for (const WholeRow& r : whole_rows) ids.push_back(r.id);
    for (const char* id :
         {"JP", "TD", ">>", "MF", "PM", "==", "SS", "SE", "GE", "QE", "CN", "NE", "WE", "WU", "zz"})
        ids.push_back(id);
    return ids;
}

// Lengths up to 0xFFF on every identifier: what does not fit its record is
// dropped, nothing is written beyond it (the sanitizer build checks the
// writes), and the next message is read in step.
TEST(ReaderOverlong, BodiesLongerThanTheirRecordAreCutAndTheReaderStaysInStep) {
    for (long L : {0xFFFL, 0xFFEL, 0x800L, 0x5A3L, 0x2D5L}) {
        std::string log;
        std::vector<std::string> ids = every_identifier();
        int k = 0;
        for (const std::string& id : ids) {
            log +=
                frame_raw(id, static_cast<unsigned>(L), pattern(consumed_for(id, L), k)) + sentinel(k % 10);
            ++k;
        }
        FILE* f = open_log(log);
        ASSERT_NE(f, nullptr);
        k = 0;
        for (const std::string& id : ids) {
            SCOPED_TRACE(id + " L=" + std::to_string(L));
            ASSERT_EQ(VLXFileReader(f), id);
            for (const ItemRow& r : item_rows)
                if (id == r.id) {
                    if (r.count_at >= 0) {
                        EXPECT_EQ(rd_u32(r.rec, r.count_at), static_cast<uint32_t>(r.max_items));
                    }
                    // The last item that fits, then checksum and separator.
                    const int last = r.max_items - 1;
                    EXPECT_EQ(r.rec[item_pos(r, last, 0)], pat(static_cast<size_t>(last * r.width), k));
                    size_t c = consumed_for(id, L);
                    EXPECT_EQ(r.rec[r.cs_at], pat(c - 2, k));
                    EXPECT_EQ(r.rec[r.cs_at + 1], pat(c - 1, k));
                }
            for (const WholeRow& r : whole_rows)
                if (id == r.id) {
                    EXPECT_EQ(r.rec[r.cap - 1], pat(static_cast<size_t>(r.cap - 1), k));
                }
            expect_sentinel(f, k % 10, id);
            if (HasFatalFailure()) break;
            ++k;
        }
        expect_end(f);
        std::fclose(f);
    }
}

TEST(ReaderEnd, EmptyLogOneByteAndTruncatedMessages) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> ids;
    };
    const std::vector<Case> cases = {
        {"empty log", "", {}},
        {"one byte", "r", {}},
        {"identifier only", "rc", {"rc"}},
        {"half a length", "GE1", {"GE"}},
        {"item list cut short", frame_raw("rc", 0x21, "\x01\x02\x03\x04\x05"), {"rc"}},
        {"whole body cut short", frame_raw("IE", 0x1A8, "abc"), {"IE"}},
        {"PM cut in its text", frame_raw("PM", 0x800, "text"), {"PM"}},
        {"GE cut in its body", frame_raw("GE", 168, pattern(100, 1)), {"GE"}},
        {"SE cut short", frame_raw("SE", 6, "ab"), {"SE"}},
        {"a whole message, then a cut one", sentinel(0) + frame_raw("SX", 9, "\x01"), {"ST", "SX"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        FILE* f = open_log(c.bytes);
        ASSERT_NE(f, nullptr);
        for (const std::string& id : c.ids) {
            EXPECT_EQ(VLXFileReader(f), id);
        }
        expect_end(f);
        EXPECT_NE(std::feof(f), 0);
        std::fclose(f);
    }
}

// ---------------------------------------------------------------------------
// One log with every message kind, read the way the passes read it.

TEST(ReaderWholeLog, EveryMessageKindIsReadToItsEndWithEveryRecordAsTheTablesSay) {
    struct Expect {
        std::string id;
        std::function<void()> check;
    };
    std::string log;
    std::vector<Expect> expects;
    int k = 0;
    for (const ItemRow& r : item_rows) {
        std::string p = pattern(static_cast<size_t>(5 * r.width), k++);
        log += frame(r.id, p);
        expects.push_back({r.id, [r, p] { expect_items(r, p, 5, checksum(p), '\n'); }});
    }
    for (const WholeRow& r : whole_rows) {
        if (r.rec == GE) continue;  // "GA" is checked with "GE" below
        std::string p = pattern(static_cast<size_t>(r.cap - 2), k++);
        log += frame(r.id, p);
        expects.push_back({r.id, [r, p] {
                               for (int i = 0; i < r.cap - 2; ++i) {
                                   ASSERT_EQ(r.rec[i], static_cast<uint8_t>(p[i]));
                               }
                               EXPECT_EQ(r.rec[r.cap - 1], '\n');
                           }});
    }
    std::string ga = pattern(40, k++);
    std::string ge = pattern(167, k++);
    log += frame("GA", ga) + frame("GE", ge);
    expects.push_back({"GA", [] {}});
    expects.push_back({"GE", [ga, ge] {
                           EXPECT_EQ(GE[100], static_cast<uint8_t>(ge[100]));
                           EXPECT_EQ(GE[174], static_cast<uint8_t>(ge[166]));
                           EXPECT_EQ(rd_u32(GE, 180), 168u);
                       }});
    std::string qe = pattern(122, k++), cn = pattern(151, k++), ne = pattern(102, k++), we = pattern(72, k++),
                wu = pattern(31, k++), jp = pattern(60, k++), td = pattern(200, k++), mf = pattern(11, k++),
                pm = "FW 1.2.3" + le16(1) + le16(2) + le16(3), ev = pattern(50, k++), ss = pattern(100, k++);
    log += frame("QE", qe) + frame("CN", cn) + frame("NE", ne) + frame("WE", we) + frame("WU", wu) +
           frame("JP", jp) + frame("TD", td) + frame(">>", "chev") + frame("MF", mf) + frame("PM", pm) +
           frame("==", ev) + frame("SS", ss) + frame_raw("SE", 0x10, "1234567") + ">A" + frame("~X", "zz");
    expects.push_back({"QE", [qe] {
                           EXPECT_EQ(QE[121], static_cast<uint8_t>(qe[121]));
                           EXPECT_EQ(rd_u32(QE, 180), 123u);
                       }});
    expects.push_back({"CN", [cn] {
                           EXPECT_EQ(CN[152], static_cast<uint8_t>(cn[150]));
                           EXPECT_EQ(rd_u32(CN, 164), 152u);
                       }});
    expects.push_back({"NE", [ne] {
                           EXPECT_EQ(NE[101], static_cast<uint8_t>(ne[101]));
                           EXPECT_EQ(NE[103], '\n');
                       }});
    expects.push_back({"WE", [we] {
                           EXPECT_EQ(WE[71], static_cast<uint8_t>(we[71]));
                           EXPECT_EQ(WE[73], '\n');
                       }});
    expects.push_back({"WU", [wu] {
                           EXPECT_EQ(WU[30], static_cast<uint8_t>(wu[30]));
                           EXPECT_EQ(WU[32], '\n');
                       }});
    expects.push_back({"JP", [jp] {
                           EXPECT_EQ(JP[59], static_cast<uint8_t>(jp[59]));
                           EXPECT_EQ(JP[62], '\n');
                       }});
    expects.push_back({"TD", [td] {
                           EXPECT_EQ(TD[199], static_cast<uint8_t>(td[199]));
                           EXPECT_EQ(TD[202], '\n');
                       }});
    expects.push_back({">>", [] { EXPECT_EQ(std::memcmp(buf, "chev", 4), 0); }});
    expects.push_back({"MF", [mf] { EXPECT_EQ(MF[10], static_cast<uint8_t>(mf[10])); }});
    expects.push_back({"PM", [] {
                           EXPECT_EQ(std::memcmp(PM, "FW 1.2.3", 8), 0);
                           EXPECT_EQ(count_PM, 1u);
                       }});
    expects.push_back({"==", [ev] {
                           EXPECT_EQ(EV[49], static_cast<uint8_t>(ev[49]));
                           EXPECT_EQ(EV[106], '\n');
                       }});
    expects.push_back({"SS", [ss] {
                           EXPECT_EQ(SS[98], static_cast<uint8_t>(ss[98]));
                           EXPECT_EQ(SS[182], '\n');
                       }});
    expects.push_back({"SE", [] { EXPECT_EQ(std::memcmp(SE, "1234567", 7), 0); }});
    expects.push_back({">A", [] {}});
    expects.push_back({"~X", [] {}});

    FILE* f = open_log(log);
    ASSERT_NE(f, nullptr);
    size_t next = 0;
    std::vector<std::string> seen;
    while (!std::feof(f)) {
        std::string id = VLXFileReader(f);
        seen.push_back(id);
        if (next < expects.size()) {
            SCOPED_TRACE(expects[next].id);
            ASSERT_EQ(id, expects[next].id);
            expects[next].check();
        }
        ++next;
    }
    ASSERT_EQ(seen.size(), expects.size() + 1);
    EXPECT_EQ(seen.back(), kEnd);
    // At the end every record still holds its own message.
    for (const Expect& e : expects) {
        if (e.id == "GA" || e.id == ">>") continue;  // later messages share their records
        SCOPED_TRACE("at the end: " + e.id);
        e.check();
    }
    std::fclose(f);
}

}  // namespace

namespace {

TEST(ReaderHelpers, UnknownMessageSkipAndIdentifierText) {
    // unkown_msg starts after the identifier: three length characters,
    // then L+1 bytes.
    std::string log = "00A" + pattern(11, 3) + sentinel(4);
    FILE* f = open_log(log);
    unkown_msg(f);
    EXPECT_EQ(buf[10], pat(10, 3));
    expect_sentinel(f, 4, "unkown_msg");
    std::fclose(f);

    const char raw[] = {'G', '\0', 'E', '\0'};
    EXPECT_EQ(convertToString(raw, 2), std::string("G\0", 2));
    EXPECT_EQ(convertToString(raw, 4).size(), 4u);
    EXPECT_EQ(convertToString(raw, 0), "");
}

}  // namespace

namespace {

// Damaged logs: known identifiers with random length fields (digits, signs,
// blanks, junk) and random amounts of body, and plain random bytes. Every
// log is read to its end (each call consumes at least its two identifier
// bytes) and, in the sanitizer build, nothing is written beyond a record.
TEST(ReaderRobustness, DamagedLogsAreReadToTheEndWithoutOverrun) {
    std::mt19937 rng(20260101);
    const std::vector<std::string> ids = every_identifier();
    const char length_chars[] = "0123456789ABCDEFabcdef +-xG\n";
    for (int round = 0; round < 300; ++round) {
        std::string log;
        const int messages = static_cast<int>(rng() % 40);
        for (int m = 0; m < messages; ++m) {
            if (rng() % 8 == 0) {  // a stretch of noise
                log += pattern(rng() % 64, static_cast<int>(rng()));
                continue;
            }
            log += ids[rng() % ids.size()];
            for (int c = 0; c < 3; ++c) log += length_chars[rng() % (sizeof length_chars - 1)];
            log += pattern(rng() % 0x1100, static_cast<int>(rng()));
        }
        FILE* f = open_log(log);
        ASSERT_NE(f, nullptr);
        size_t calls = 0;
        while (!std::feof(f)) {
            VLXFileReader(f);
            ++calls;
            ASSERT_LE(calls, log.size() / 2 + 2) << "round " << round;
        }
        std::fclose(f);
    }
}

}  // namespace

namespace {

// One, two and three bytes more than the record holds: the last positions
// hold the bytes that fit, the rest is dropped (the sanitizer build sees
// any write beyond), and the next message is read in step.
TEST(ReaderOverlong, JustBeyondTheRecord) {
    struct Case {
        std::string id;
        unsigned char* rec;
        int room;   // bytes of the record the body runs into from position 0
        int extra;  // bytes consumed after the header besides the body bytes
    };
    std::vector<Case> cases;
    for (const WholeRow& r : whole_rows) cases.push_back({r.id, r.rec, r.cap, 0});
    cases.push_back({"JP", JP, 87, 0});
    cases.push_back({"TD", TD, 300, 0});
    cases.push_back({"MF", MF, 16, 0});
    cases.push_back({"==", EV, 105, 2});
    cases.push_back({"SS", SS, 180, 3});
    int k = 0;
    for (const Case& c : cases) {
        for (int over = 1; over <= 3; ++over) {
            SCOPED_TRACE(c.id + " +" + std::to_string(over));
            const size_t n = static_cast<size_t>(c.room + over + c.extra);  // bytes consumed
            // L from the consumption: L+1 (whole, "=="), L+2 (two trailing
            // bytes), L+1 ("SS": L-2 then three).
            const bool two = c.id == "JP" || c.id == "TD" || c.id == "MF";
            const unsigned L = static_cast<unsigned>(n - (two ? 2 : 1));
            std::string bytes = pattern(n, k);
            std::string log = frame_raw(c.id, L, bytes) + sentinel(k % 10);
            FILE* f = open_log(log);
            ASSERT_EQ(VLXFileReader(f), c.id);
            if (c.rec == MF) {  // bytes 12-15 are replaced by the time of the epoch
                EXPECT_EQ(MF[11], pat(11, k));
            } else {
                EXPECT_EQ(c.rec[c.room - 1], pat(static_cast<size_t>(c.room - 1), k));
            }
            expect_sentinel(f, k % 10, c.id);
            std::fclose(f);
            ++k;
        }
    }
    // Item lists one to three items beyond their capacity.
    for (const ItemRow& r : item_rows) {
        for (int over = 1; over <= 3; ++over) {
            SCOPED_TRACE(std::string(r.id) + " +" + std::to_string(over) + " items");
            std::string p = pattern(static_cast<size_t>((r.max_items + over) * r.width), k);
            std::string log = frame(r.id, p) + sentinel(k % 10);
            FILE* f = open_log(log);
            ASSERT_EQ(VLXFileReader(f), r.id);
            expect_items(r, p, r.max_items, checksum(p), '\n');
            expect_sentinel(f, k % 10, r.id);
            std::fclose(f);
            ++k;
        }
    }
}

}  // namespace

// The epoch framer on sequences of identifiers, for either setting of a
// "TD" before the first "~~". Each step is written as its letters: O opened,
// F first, C closed, D dated, E end; the last value is whether the end of
// the log closes an epoch.
TEST(EpochFramer, StepsOfEachMessageAndTheEndOfTheLog) {
    struct Case {
        bool early_end_closes;
        std::vector<std::string> ids;
        std::vector<std::string> steps;
        bool log_end_closes;
    };
    const Case cases[] = {
        // A repeated "TD" ends nothing new; a "~~" after a "TD" only opens;
        // a "~~" without a "TD" before it ends the epoch it follows.
        {false,
         {"JP", "TD", "~~", "rx", "RD", "TD", "TD", "~~", "~~", "td", kEnd},
         {"", "E", "OF", "", "D", "CE", "E", "O", "OC", "", ""},
         true},
        {true,
         {"JP", "TD", "~~", "rx", "RD", "TD", "TD", "~~", "~~", "td", kEnd},
         {"", "CE", "OF", "", "D", "CE", "E", "O", "OC", "", ""},
         true},
        {false, {"~~", "RD", "TD"}, {"OF", "D", "CE"}, false},  // ended by its "TD"
        {true, {"TD", "TD", "RD"}, {"CE", "E", "D"}, false},    // no "~~": nothing open at the end
        {false, {"RD", "~~", "RD", "~~"}, {"D", "OF", "D", "OC"}, true},
        {false, {}, {}, false},
    };
    for (const Case& c : cases) {
        Epoch_frame f = {c.early_end_closes, false, false};
        for (size_t i = 0; i < c.ids.size(); ++i) {
            const Epoch_step s = frame_epoch(f, c.ids[i]);
            std::string got;
            if (s.opened) got += 'O';
            if (s.first) got += 'F';
            if (s.closed) got += 'C';
            if (s.dated) got += 'D';
            if (s.end) got += 'E';
            EXPECT_EQ(got, c.steps[i]) << "message " << i << " (" << c.ids[i] << ")";
        }
        EXPECT_EQ(frame_log_end(f), c.log_end_closes);
        EXPECT_FALSE(frame_log_end(f)) << "the end closes the last epoch once";
    }
}
