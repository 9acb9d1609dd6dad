// Builds receiver logs byte by byte for tests, fuzz seeds and the simulator.
// A message on the wire is: two identifier characters, three hexadecimal
// digits of body length L, L body bytes (the last one a checksum), then the
// separator byte(s). Payloads here are given without the checksum; the
// builder appends it and counts it in L.
//
// Header only and standard C++ only: the simulator, the tests and the fuzz
// seed generator all include it as "vlxlog/vlx_builder.h", and it depends on
// none of them nor on the converter.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace vlxlog {

// Little-endian packers for message payloads.
inline std::string u8(uint8_t v) { return std::string(1, static_cast<char>(v)); }
inline std::string i8(int8_t v) { return u8(static_cast<uint8_t>(v)); }
inline std::string le16(uint16_t v) {
    std::string s(2, '\0');
    s[0] = static_cast<char>(v & 0xFF);
    s[1] = static_cast<char>(v >> 8);
    return s;
}
inline std::string le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
inline std::string le64(uint64_t v) {
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
inline std::string i16(int16_t v) { return le16(static_cast<uint16_t>(v)); }
inline std::string i32(int32_t v) { return le32(static_cast<uint32_t>(v)); }
inline std::string f32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return le32(u);
}
inline std::string f64(double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    return le64(u);
}
inline std::string zeros(size_t n) { return std::string(n, '\0'); }

// Appending packers, for payloads built item by item in bulk (the simulator
// writes millions of items; these avoid a temporary string per item).
inline void put8(std::string& s, uint8_t v) { s += static_cast<char>(v); }
// Little-endian values appended in one piece (the simulator writes
// millions of them, and unoptimised builds run the tests too).
inline void put16(std::string& s, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    s.append(b, 2);
}
inline void put32(std::string& s, uint32_t v) {
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    s.append(b, 4);
}
inline void put64(std::string& s, uint64_t v) {
    char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    s.append(b, 8);
}
inline void putf32(std::string& s, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    put32(s, u);
}
inline void putf64(std::string& s, double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    put64(s, u);
}

// Number of separator bytes the reader consumes after the body.
inline int separators_for(const std::string& id) {
    if (id == "JP" || id == "MF" || id == "PM" || id == "TD" || id == ">>") return 2;
    return 1;
}

// Simple 8-bit sum; the converter never verifies it, but a realistic log has one.
inline uint8_t checksum(const std::string& payload) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(payload.data());
    unsigned c = 0;
    for (size_t i = 0, n = payload.size(); i < n; ++i) c += p[i];
    return static_cast<uint8_t>(c);
}

// Three hexadecimal digits of a length (upper case).
inline std::string hex3(unsigned len) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%03X", len & 0xFFF);
    return buf;
}

// Frames one message: L = payload length + 1 (the checksum byte).
inline std::string frame(const std::string& id, const std::string& payload) {
    std::string m = id.substr(0, 2);
    m += hex3(static_cast<unsigned>(payload.size() + 1));
    m += payload;
    m += static_cast<char>(checksum(payload));
    m += std::string(static_cast<size_t>(separators_for(id)), '\n');
    return m;
}

// Frames a message with an explicit length field and raw bytes after it,
// for logs that lie about their lengths.
inline std::string frame_raw(const std::string& id, unsigned len, const std::string& rest) {
    return id.substr(0, 2) + hex3(len) + rest;
}

// Item-list payloads: a body of items each `w` bytes wide.
inline std::string items32(std::initializer_list<int32_t> v) {
    std::string s;
    for (int32_t x : v) s += i32(x);
    return s;
}
inline std::string items16(std::initializer_list<int16_t> v) {
    std::string s;
    for (int16_t x : v) s += i16(x);
    return s;
}
inline std::string items8(std::initializer_list<uint8_t> v) {
    std::string s;
    for (uint8_t x : v) s += u8(x);
    return s;
}

// An "SX" satellite list: (system code, satellite number) pairs, sent pair by pair.
struct SxEntry {
    uint8_t sys;
    uint8_t num;
};
inline std::string sx_payload(std::initializer_list<SxEntry> v) {
    std::string s;
    for (const SxEntry& e : v) {
        s += static_cast<char>(e.sys);
        s += static_cast<char>(e.num);
    }
    return s;
}

// Epoch time "~~": milliseconds of day (body of 5 with checksum; with the
// separator that fills the 6-byte record exactly).
inline std::string epoch_time(uint32_t ms_of_day) { return frame("~~", le32(ms_of_day)); }

// Receiver date "RD": year, month, day, time-system code.
inline std::string receiver_date(uint16_t y, uint8_t m, uint8_t d, uint8_t code = 0) {
    return frame("RD", le16(y) + u8(m) + u8(d) + u8(code));
}

// Writes a log to disk; returns false on failure.
inline bool write_file(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return n == bytes.size();
}

}  // namespace vlxlog
