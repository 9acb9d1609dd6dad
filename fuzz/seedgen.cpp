// Writes small hand-made logs into a directory, as fuzz seeds for the
// message kinds and framing cases the simulator does not produce: the
// rarer item lists and whole bodies, the odd layouts ("PM", "==", "SS",
// "SE", "IU", ">>", ">A"), lengths that lie, and logs cut short.
//
//   seedgen DIR
#include <cstdio>
#include <string>

#include "vlxlog/vlx_builder.h"

using namespace vlxlog;

namespace {

std::string dir;

void put(const char* name, const std::string& bytes) {
    if (!write_file(dir + "/" + name, bytes)) std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name);
}

// One short epoch of a few GPS, GLONASS and BeiDou satellites.
std::string epoch(uint32_t ms) {
    std::string s = epoch_time(ms) + receiver_date(2024, 3, 15);
    s += frame("SX", sx_payload({{1, 5}, {2, 1}, {6, 30}, {4, 11}}));
    s += frame("NN", items8({7}));
    s += frame("FC", items32({0x40, 0x40, 0x40, 0x40}));
    s += frame("rx", items32({3000000, 2000000, 1000000, 1500000}));
    s += frame("rc", items32({3000000, 2000000, 1000000, 1500000}));
    s += frame("cp", items32({100, 200, 300, 400}));
    s += frame("DC", items32({1000, -1000, 50, 7}));
    s += frame("DX", items32({1000, -1000, 50, 7}));
    s += frame("CE", items8({160, 150, 170, 140}));
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seedgen DIR\n");
        return 2;
    }
    dir = argv[1];

    // Rare item lists and whole bodies around one epoch.
    std::string misc = epoch(36000000);
    for (const char* id : {"c1", "c2", "c3", "c5", "cc", "cl", "cr", "TC"})
        misc += frame(id, items16({10, -20, 30, -40}));
    misc += frame("SI", items8({1, 2, 3, 4}));
    misc += frame("EL", items8({10, 20, 30, 40}));
    for (const char* id : {"CA", "EA", "IA", "NA", "WA"}) misc += frame(id, zeros(40));
    misc += frame("GA", zeros(60));
    misc += frame("DP", zeros(17));
    misc += frame("DO", zeros(16));
    misc += frame("ST", zeros(5));
    misc += frame("MF", std::string("MFTEXT\0", 7));
    misc += frame("SS", std::string("SATINFO", 7) + "ab");
    misc += frame_raw("SE", 4, "abcdefg");
    misc += frame("==", std::string("event text\0", 11) + "x");
    misc += frame("PM", std::string("parameters\0", 11) + le16(1) + le16(2) + le16(3));
    misc += frame("IU", zeros(30));
    misc += frame(">>", "bytes");
    misc += ">A";
    misc += frame("JP", std::string("job\0", 4));
    misc += frame("TD", "");
    misc += epoch(36001000);
    put("misc.vlx", misc);

    // Lengths that lie: the largest length on every kind of layout.
    std::string lies = epoch(36000000);
    for (const char* id : {"rx", "SX", "FC", "NN", "CE", "~~", "GE", "CN", "NE", "PM", "==", "SS", "IU", "JP"})
        lies += frame_raw(id, 0xFFF, zeros(64));
    put("lies.vlx", lies);

    // Lengths that are not hexadecimal, negative or empty.
    std::string odd = epoch(36000000) + frame_raw("rx", 0, "xy") + "SX-01ab" + "rc 1Gabcd" + "GEzzz" +
                      frame_raw("==", 0, "ab") + frame_raw("SS", 1, "abc") + frame_raw("PM", 3, "abcde");
    put("odd-lengths.vlx", odd + epoch(36001000));

    // Cut inside a header and inside a body.
    std::string two = epoch(36000000) + epoch(36001000);
    put("cut-header.vlx", two + "GE0");
    put("cut-body.vlx", two.substr(0, two.size() - 7));

    // Zeros and noise.
    put("zeros.vlx", zeros(512));
    std::string noise;
    uint32_t x = 2463534242u;
    for (int i = 0; i < 1024; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        noise += static_cast<char>(x & 0xFF);
    }
    put("noise.vlx", noise);
    return 0;
}
