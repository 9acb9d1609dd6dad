// Little-endian field reads from raw message records. Every decoder reads
// its fields through these, so alignment and byte order live in one place.
#pragma once

#include <cstdint>
#include <cstring>

inline uint8_t rd_u8(const unsigned char* p, int off) { return p[off]; }
inline int8_t rd_i8(const unsigned char* p, int off) { return static_cast<int8_t>(p[off]); }
inline uint16_t rd_u16(const unsigned char* p, int off) {
    return static_cast<uint16_t>(p[off] | (p[off + 1] << 8));
}
inline int16_t rd_i16(const unsigned char* p, int off) { return static_cast<int16_t>(rd_u16(p, off)); }
inline uint32_t rd_u32(const unsigned char* p, int off) {
    return static_cast<uint32_t>(p[off]) | (static_cast<uint32_t>(p[off + 1]) << 8) |
           (static_cast<uint32_t>(p[off + 2]) << 16) | (static_cast<uint32_t>(p[off + 3]) << 24);
}
inline int32_t rd_i32(const unsigned char* p, int off) { return static_cast<int32_t>(rd_u32(p, off)); }
inline uint64_t rd_u64(const unsigned char* p, int off) {
    return static_cast<uint64_t>(rd_u32(p, off)) | (static_cast<uint64_t>(rd_u32(p, off + 4)) << 32);
}
inline float rd_f32(const unsigned char* p, int off) {
    uint32_t u = rd_u32(p, off);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
inline double rd_f64(const unsigned char* p, int off) {
    uint64_t u = rd_u64(p, off);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}
inline void wr_u32(unsigned char* p, int off, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[off + i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void wr_f32(unsigned char* p, int off, float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    wr_u32(p, off, u);
}
