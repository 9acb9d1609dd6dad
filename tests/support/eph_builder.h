// Builds the bodies of the Galileo ("EN"), BeiDou ("CN"), NavIC ("IE"),
// GLONASS ("NE") and SBAS ("WE") ephemeris messages from their fields, in
// the lengths the receiver sends. Angles are given in semicircles, as sent.
#pragma once

#include <cstdint>
#include <string>

#include "support/gps_eph_builder.h"
#include "vlxlog/vlx_builder.h"

namespace vlxlog {

// The 122-byte Keplerian block that opens the "EN", "CN" and "IE" bodies
// is the body of a 123-byte GPS ephemeris message.
using KeplerFields = GpsEphFields;
inline std::string kepler_block(const KeplerFields& f) { return gps_eph_payload(f, 123); }

// Galileo additions; the message is 149 bytes long with its checksum.
struct GalFields {
    float bgd_e5a = 0, bgd_e5b = 0;
    float ai0 = 0, ai1 = 0, ai2 = 0;
    uint8_t iono_flags = 0;
    uint8_t sources = 0x01;  // bit 0 I/NAV E1-B, bit 1 F/NAV E5a-I, bit 2 I/NAV E5b-I
    uint32_t spare = 0;
};
inline std::string gal_eph(const KeplerFields& k, const GalFields& g = {}) {
    return frame("EN", kepler_block(k) + f32(g.bgd_e5a) + f32(g.bgd_e5b) + f32(g.ai0) + f32(g.ai1) +
                           f32(g.ai2) + u8(g.iono_flags) + u8(g.sources) + le32(g.spare));
}

// BeiDou additions in the lengths 134 (D1/D2), 152 and 160 (CNAV).
struct BdsFields {
    float tgd2 = 0;
    uint8_t type_flags = 0x01;
    uint32_t word127 = 0;
    uint8_t aodc = 0, aode = 0;  // length 134
    double A_dot = 0;            // lengths 152 and 160
    float dn_dot = 0;            // semicircles per second squared
    float cnav_accuracy = 0;
    uint32_t word147 = 0;
    uint8_t bytes151[8] = {0, 0, 0, 0, 0, 0, 0, 0};  // length 160
};
inline std::string bds_eph(const KeplerFields& k, const BdsFields& b = {}, int length = 134) {
    std::string s = kepler_block(k) + f32(b.tgd2) + u8(b.type_flags) + le32(b.word127);
    if (length == 134) {
        s += u8(b.aodc) + u8(b.aode);
    } else {
        s += f64(b.A_dot) + f32(b.dn_dot) + f32(b.cnav_accuracy) + le32(b.word147);
        if (length == 160)
            for (uint8_t v : b.bytes151) s += u8(v);
    }
    return frame("CN", s);
}

// NavIC: the Keplerian block alone (length 123).
inline std::string navic_eph(const KeplerFields& k) { return frame("IE", kepler_block(k)); }

// GLONASS, lengths 88 and 103.
struct GloFields {
    uint8_t slot = 1;
    int8_t freq = 0;
    uint16_t day_number = 1;
    int32_t tk = 0;
    int32_t tb = 10800;
    uint8_t health = 0, age = 0, flags = 0;
    double pos[3] = {0, 0, 0};
    float vel[3] = {0, 0, 0};
    float acc[3] = {0, 0, 0};
    double tau_sys = 0;
    float tau = 0, gamma = 0, delta_tau = 0;
    uint8_t Ft = 0, N4 = 7;
    uint16_t flags2 = 0;
    // Length 103 only.
    uint8_t ext1 = 0;
    uint8_t ext2[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    uint16_t ext3 = 0;
    uint8_t ext4 = 0, ext5 = 0;
    uint16_t ext6 = 0;
};
inline std::string glo_eph(const GloFields& g, int length = 88) {
    std::string s = u8(g.slot) + i8(g.freq) + le16(g.day_number) + i32(g.tk) + i32(g.tb) + u8(g.health) +
                    u8(g.age) + u8(g.flags);
    for (double v : g.pos) s += f64(v);
    for (float v : g.vel) s += f32(v);
    for (float v : g.acc) s += f32(v);
    s += f64(g.tau_sys) + f32(g.tau) + f32(g.gamma) + f32(g.delta_tau) + u8(g.Ft) + u8(g.N4) + le16(g.flags2);
    if (length == 103) {
        s += u8(g.ext1);
        for (uint8_t v : g.ext2) s += u8(v);
        s += le16(g.ext3) + u8(g.ext4) + u8(g.ext5) + le16(g.ext6);
    }
    return frame("NE", s);
}

// SBAS, length 73.
struct SbasFields {
    uint8_t prn = 120;
    uint8_t byte1 = 0;
    uint8_t iod = 1;
    uint8_t ura = 0;
    uint32_t t0 = 0;
    double pos[3] = {0, 0, 0};
    float vel[3] = {0, 0, 0};
    float acc[3] = {0, 0, 0};
    float aGf0 = 0, aGf1 = 0;
    uint32_t tx = 0;
    uint16_t week = 260;
    uint16_t word70 = 0;
};
inline std::string sbas_eph_payload(const SbasFields& w) {
    std::string s = u8(w.prn) + u8(w.byte1) + u8(w.iod) + u8(w.ura) + le32(w.t0);
    for (double v : w.pos) s += f64(v);
    for (float v : w.vel) s += f32(v);
    for (float v : w.acc) s += f32(v);
    s += f32(w.aGf0) + f32(w.aGf1) + le32(w.tx) + le16(w.week) + le16(w.word70);
    return s;
}
inline std::string sbas_eph(const SbasFields& w) { return frame("WE", sbas_eph_payload(w)); }

}  // namespace vlxlog
