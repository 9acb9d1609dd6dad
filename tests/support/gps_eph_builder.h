// Builds the body of a GPS or QZSS ephemeris message ("GE", "QE") from its
// fields, in the three lengths the receiver sends: 123 (LNAV only), 160
// (CNAV with the two L1C corrections) and 168 (CNAV with four
// inter-signal corrections). Angles are given in semicircles, as sent.
#pragma once

#include <cstdint>
#include <string>

#include "vlxlog/vlx_builder.h"

namespace vlxlog {

struct GpsEphFields {
    uint8_t prn = 1;
    uint32_t tx = 7200;
    uint8_t flags = 0;
    int16_t iodc = 10;
    int32_t toc = 7200;
    int8_t ura = 0;
    uint8_t health = 0;
    int16_t week = 2296;
    float tgd = 0, af2 = 0, af1 = 0, af0 = 0;
    int32_t toe = 7200;
    uint16_t iode = 10;
    double sqrtA = 5153.6, e = 0.01;
    double M0 = 0, OMEGA0 = 0, i0 = 0.3, omega = 0;  // semicircles
    float dn = 0, omega_dot = 0, idot = 0;           // semicircles per second
    float crc = 0, crs = 0, cuc = 0, cus = 0, cic = 0, cis = 0;
    // Lengths 160 and 168 only.
    uint8_t cnav_flags = 0;
    int32_t t_op = 0;
    uint32_t spare = 0;
    double A_dot = 0;
    float dn_dot = 0;
    uint8_t ura_ed = 0, ura_ned0 = 0, ura_ned1 = 0, ura_ned2 = 0;
    float isc[4] = {0, 0, 0, 0};  // length 168
    float l1c[2] = {0, 0};        // length 160
    float addend = 0;
};

// Payload without the checksum; frame() adds it, so L is 123, 160 or 168.
inline std::string gps_eph_payload(const GpsEphFields& f, int length = 123) {
    std::string s;
    s += u8(f.prn) + le32(f.tx) + u8(f.flags) + i16(f.iodc) + i32(f.toc) + i8(f.ura) + u8(f.health) +
         i16(f.week);
    s += f32(f.tgd) + f32(f.af2) + f32(f.af1) + f32(f.af0) + i32(f.toe) + le16(f.iode);
    s += f64(f.sqrtA) + f64(f.e) + f64(f.M0) + f64(f.OMEGA0) + f64(f.i0) + f64(f.omega);
    s += f32(f.dn) + f32(f.omega_dot) + f32(f.idot);
    s += f32(f.crc) + f32(f.crs) + f32(f.cuc) + f32(f.cus) + f32(f.cic) + f32(f.cis);
    if (length == 123) return s;
    s += u8(f.cnav_flags) + i32(f.t_op) + le32(f.spare) + f64(f.A_dot) + f32(f.dn_dot);
    s += u8(f.ura_ed) + u8(f.ura_ned0) + u8(f.ura_ned1) + u8(f.ura_ned2);
    if (length == 160)
        s += f32(f.l1c[0]) + f32(f.l1c[1]);
    else
        for (float v : f.isc) s += f32(v);
    s += f32(f.addend);
    return s;
}

inline std::string gps_eph(const GpsEphFields& f, int length = 123, const std::string& id = "GE") {
    return frame(id, gps_eph_payload(f, length));
}

// A receiver date and epoch time that put a log into GPS week 2296
// (2024-01-07 is its first day), against which the decoders resolve the
// weeks that the ephemeris messages send.
inline std::string week_2296() { return receiver_date(2024, 1, 7) + epoch_time(0); }

}  // namespace vlxlog
