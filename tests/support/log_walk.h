// A minimal framing walker of receiver logs for the tests, written apart
// from the converter's reader and the simulator: it splits a log into its
// messages (identifier, length, body) and reads little-endian values of a
// body.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace logwalk {

struct Msg {
    std::string id;
    unsigned len;      // L: body length with its checksum
    std::string body;  // the L-1 payload bytes (checksum dropped)
};

inline int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// These identifiers are followed by two bytes after the body, all others by one.
inline bool two_separators(const std::string& id) {
    return id == "JP" || id == "MF" || id == "PM" || id == "TD" || id == ">>";
}

// Walks the whole log; fails unless every message is framed with three
// hexadecimal length digits and the last one ends exactly at the end of file.
inline bool walk(const std::string& log, std::vector<Msg>* out, std::string* err) {
    size_t pos = 0;
    while (pos < log.size()) {
        if (log.size() - pos < 5) {
            *err = "truncated header at " + std::to_string(pos);
            return false;
        }
        Msg m;
        m.id = log.substr(pos, 2);
        int len = 0;
        for (int k = 0; k < 3; ++k) {
            const int d = hex_digit(log[pos + 2 + k]);
            if (d < 0) {
                *err = "bad length digits of " + m.id + " at " + std::to_string(pos);
                return false;
            }
            len = len * 16 + d;
        }
        m.len = static_cast<unsigned>(len);
        if (m.len == 0) {
            *err = "empty body of " + m.id + " at " + std::to_string(pos);
            return false;
        }
        const size_t tail = m.len + (two_separators(m.id) ? 2 : 1);
        if (log.size() - pos - 5 < tail) {
            *err = "message " + m.id + " at " + std::to_string(pos) + " runs past the end of the log";
            return false;
        }
        m.body = log.substr(pos + 5, m.len - 1);
        out->push_back(std::move(m));
        pos += 5 + tail;
    }
    return true;
}

inline int32_t i32_at(const std::string& s, size_t off) {
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(static_cast<unsigned char>(s[off + k])) << (8 * k);
    return static_cast<int32_t>(u);
}
inline int16_t i16_at(const std::string& s, size_t off) {
    const uint16_t u = static_cast<uint16_t>(static_cast<unsigned char>(s[off]) |
                                             (static_cast<unsigned char>(s[off + 1]) << 8));
    return static_cast<int16_t>(u);
}
inline uint32_t u32_at(const std::string& s, size_t off) { return static_cast<uint32_t>(i32_at(s, off)); }
inline uint8_t u8_at(const std::string& s, size_t off) { return static_cast<uint8_t>(s[off]); }
inline float f32_at(const std::string& s, size_t off) {
    const uint32_t u = u32_at(s, off);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
inline double f64_at(const std::string& s, size_t off) {
    uint64_t u = 0;
    for (int k = 0; k < 8; ++k) u |= static_cast<uint64_t>(static_cast<unsigned char>(s[off + k])) << (8 * k);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

}  // namespace logwalk
